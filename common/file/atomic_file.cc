#include "common/file/atomic_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string_view>
#include <vector>

#include "common/contained.h"
#include "common/status.h"

namespace qs {

namespace {

// A temporary's name: a stem of the target's name, then ".~", eight hex digits of a hash of the
// whole target name, '-', eight hex digits of noise, ".tmp".
constexpr size_t kNoiseDigits = 8;
constexpr size_t kSuffixSize = 2 + 8 + 1 + kNoiseDigits + 4;
constexpr std::string_view kExtension = ".tmp";
// Names up to this length fit every file system in use; beyond it a temporary is never longer than
// its target.
constexpr size_t kAlwaysFits = 64;
// Fresh names are random: a taken one means a collision, not a shortage, so a few attempts do.
constexpr int kNameAttempts = 16;

struct SplitPath {
  std::string dir;  // with its trailing '/', or "" for the current directory
  std::string base;
};

SplitPath Split(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {std::string(), path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

uint32_t NameHash(std::string_view s) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (char c : s) h = (h ^ uint8_t(c)) * 16777619u;
  return h;
}

std::string Hex8(uint32_t v) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08x", unsigned(v));
  return digits;
}

// The first bytes of the target's name that the temporary keeps, never ending inside a two-byte
// character.
std::string_view Stem(std::string_view base) {
  const size_t keep = std::min(base.size(), std::max(base.size(), kAlwaysFits) - kSuffixSize);
  return base.substr(0, SjisWholePrefix(base, keep));
}

// Everything of a temporary's name before the noise.
std::string NamePrefix(const std::string& base) {
  return std::string(Stem(base)) + ".~" + Hex8(NameHash(base)) + "-";
}

uint32_t Noise(int attempt) {
  uint32_t noise = 0;
  const bool random = Contained(false, [&noise] {
    std::random_device device;
    noise = device();
    return true;
  });
  if (random) return noise;
  // No random source: the clock differs between attempts and processes well enough.
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return NameHash(std::to_string(ticks) + "/" + std::to_string(attempt));
}

// Removes the temporaries of `path` whose writers are gone: a live writer holds its file locked.
void RemoveAbandonedTemporaries(Env* env, const std::string& path) {
  const SplitPath split = Split(path);
  std::vector<std::string> names;
  if (!env->ListDirectory(split.dir.empty() ? std::string(".") : split.dir, &names)) return;
  for (const std::string& name : names)
    if (IsTemporaryNameOf(path, name)) env->DeleteIfUnlocked(split.dir + name);
}

}  // namespace

std::string TemporaryNameFor(const std::string& path, uint32_t noise) {
  const SplitPath split = Split(path);
  return split.dir + NamePrefix(split.base) + Hex8(noise) + std::string(kExtension);
}

bool IsTemporaryNameOf(const std::string& path, const std::string& name) {
  const std::string prefix = NamePrefix(Split(path).base);
  if (name.size() != prefix.size() + kNoiseDigits + kExtension.size() ||
      name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0)
    return false;
  return std::all_of(name.begin() + prefix.size(), name.end() - kExtension.size(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

int WriteFileAtomically(const std::string& path, const std::function<int(File&)>& write) {
  Env* env = CurrentEnv();
  RemoveAbandonedTemporaries(env, path);

  std::string temporary;
  std::unique_ptr<File> file;
  for (int attempt = 0; attempt < kNameAttempts && !file; ++attempt) {
    temporary = TemporaryNameFor(path, Noise(attempt));
    file = env->Open(temporary, OpenMode::kCreateNewLocked);
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
  // Renamed while still locked: until then another save's sweep must see a live writer.
  if (status == kOk && !env->Rename(temporary, path)) status = kCannotOpen;
  if (status != kOk) {
    file->Close();
    env->Delete(temporary);
    return status;
  }
  // The new name reaches the disk only with its directory.
  if (!env->SyncDirectory(Split(path).dir)) status = kDamaged;
  // Everything written is on the disk already (Sync above); closing only gives the lock up.
  file->Close();
  return status;
}

}  // namespace qs
