// The Env in use and the whole-file helpers; portable, everything goes through the Env.
#include "platform/env.h"

namespace qs {

namespace {
// Set only by tests, before the code under test runs.
Env* env_for_testing = nullptr;
}  // namespace

Env* CurrentEnv() {
  return env_for_testing != nullptr ? env_for_testing : Env::Default();
}

void SetEnvForTesting(Env* env) {
  env_for_testing = env;
}

bool ReadWholeFile(Env* env, const std::string& path, std::string* contents) {
  contents->clear();
  std::unique_ptr<File> file = env->Open(path, OpenMode::kRead);
  if (!file) return false;
  char buf[16384];
  for (;;) {
    size_t got;
    if (!file->Read(buf, sizeof buf, &got)) return false;
    contents->append(buf, got);
    if (got < sizeof buf) break;
  }
  return file->Close();
}

bool WriteWholeFile(Env* env, const std::string& path, std::string_view contents) {
  std::unique_ptr<File> file = env->Open(path, OpenMode::kCreate);
  if (!file) return false;
  bool ok = file->Write(contents.data(), contents.size());
  return file->Close() && ok;
}

}  // namespace qs
