#include "common/file/atomic_file.h"

#include <memory>

#include "common/status.h"

namespace qs {

namespace {

// Attempts at a temporary name before giving up; names are only taken by saves that failed in a
// way that left their file behind, or by saves running at the same moment.
constexpr int kTemporaryNameAttempts = 100;

}  // namespace

int WriteFileAtomically(const std::string& path, const std::function<int(File&)>& write) {
  Env* env = CurrentEnv();
  std::string temporary;
  std::unique_ptr<File> file;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && !file; ++attempt) {
    temporary = path + ".~" + std::to_string(attempt) + ".tmp";
    file = env->Open(temporary, OpenMode::kCreateNew);
    // A name that does not exist yet and still cannot be created means the directory refuses.
    if (!file && !env->Exists(temporary)) break;
  }
  if (!file) return kCannotOpen;

  int status;
  try {
    status = write(*file);
  } catch (...) {
    file->Close();
    env->Delete(temporary);
    throw;
  }
  if (status == kOk && !file->Sync()) status = kDamaged;
  if (!file->Close() && status == kOk) status = kDamaged;
  if (status == kOk && !env->Rename(temporary, path)) status = kCannotOpen;
  if (status != kOk) env->Delete(temporary);
  return status;
}

}  // namespace qs
