// The directory service. It answers from the environment, a configuration file and defaults, and
// keeps nothing between calls.
#define SITEPATHS_BUILDING_LIBRARY
#include "sitepaths/sitepaths.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "common/contained.h"
#include "platform/env.h"

namespace {

constexpr char kConfigVariable[] = "SITEPATHS_CONFIG";
constexpr char kConfigSection[] = "sitepaths";
// Longer than any buffer, so that a value the INI reader had to cut is still seen as too long.
constexpr size_t kConfigValueSize = 1024;

struct Setting {
  const char* variable;
  const char* key;
};
constexpr Setting kWorkDir{"SITEPATHS_WORK_DIR", "WorkDir"};
constexpr Setting kBaseDir{"SITEPATHS_BASE_DIR", "BaseDir"};
constexpr Setting kFlatDir{"SITEPATHS_FLAT_DIR", "FlatDir"};
constexpr Setting kPluginDir{"SITEPATHS_PLUGIN_DIR", "PluginDir"};
constexpr Setting kSharedDir{"SITEPATHS_SHARED_DIR", "SharedDir"};
constexpr Setting kUserDir{"SITEPATHS_USER_DIR", "UserDir"};

// Strings here are built with the members of std::string only: a template instantiated in this
// file (a constructor from a pointer, operator+, std::to_string) would be exported from the library
// beside the five functions of the service.

// The environment's value, else the configuration file's; "" when neither has one.
std::string Configured(const Setting& setting) {
  std::string result;
  const char* value = qs::GetEnvVar(setting.variable);
  if (value != nullptr && *value != '\0') return result.assign(value);
  const char* config = qs::GetEnvVar(kConfigVariable);
  if (config == nullptr || *config == '\0') return result;
  std::string path;
  path.assign(config);
  char buf[kConfigValueSize];
  size_t n = qs::IniGetString(path, kConfigSection, setting.key, "", buf, sizeof buf);
  return result.assign(buf, n);
}

void AppendSeparator(std::string* dir) {
  if (!dir->empty() && dir->back() != '/') dir->push_back('/');
}

// Places `dir` as a directory (ending in '/'), or leaves the buffer empty when it does not fit with
// its NUL.
int Answer(std::string dir, char* out, size_t size) {
  if (out == nullptr) return SITEPATHS_NO_BUFFER;
  AppendSeparator(&dir);
  if (dir.size() >= size) {
    out[0] = '\0';
    return SITEPATHS_TOO_LONG;
  }
  std::memcpy(out, dir.c_str(), dir.size() + 1);
  return SITEPATHS_OK;
}

// Runs one answer; nothing thrown may leave the library. A failed answer leaves `out` empty.
template <typename Body>
int Guarded(char* out, Body body) noexcept {
  return qs::Contained(
      [out] {
        if (out != nullptr) out[0] = '\0';
        return SITEPATHS_NO_MEMORY;
      },
      body);
}

// An answer that is a setting, else the default `fallback` gives.
template <typename Fallback>
int AnswerSetting(const Setting& setting, Fallback fallback, char* out) {
  if (out == nullptr) return SITEPATHS_NO_BUFFER;
  std::string dir = Configured(setting);
  if (dir.empty()) dir = fallback();
  return Answer(std::move(dir), out, SITEPATHS_DIR_SIZE);
}

std::string NoDefault() {
  return std::string();
}

// $TMPDIR (else /tmp) + "/qstore-<uid>".
std::string DefaultWorkDir() {
  std::string dir = qs::TempDirectory();
  AppendSeparator(&dir);
  char name[32];
  std::snprintf(name, sizeof name, "qstore-%u", qs::CurrentUserId());
  return dir.append(name);
}

// $HOME + "/.config/qstore", or "" when the home directory is unknown.
std::string DefaultUserDir() {
  std::string dir = qs::HomeDirectory();
  if (dir.empty()) return dir;
  AppendSeparator(&dir);
  return dir.append(".config/qstore");
}

std::string DefaultPluginDir() {
  // Any address inside this library will do.
  return qs::DirectoryOfModule(kConfigSection);
}

}  // namespace

extern "C" {

SITEPATHS_API int SITEPATHS_CALL SitePathsWorkDir(char* dir256) {
  return Guarded(dir256, [&] {
    if (dir256 == nullptr) return SITEPATHS_NO_BUFFER;
    std::string dir = Configured(kWorkDir);
    const bool is_default = dir.empty();
    if (is_default) dir = DefaultWorkDir();
    AppendSeparator(&dir);
    if (dir.size() >= SITEPATHS_DIR_SIZE) return Answer(std::move(dir), dir256, SITEPATHS_DIR_SIZE);
    const bool ready = qs::Env::Default()->CreateDirectories(dir, 0700);
    // The default lies in a directory every user may write to; someone else may have put a
    // directory or a link of that name there first, to read or replace our scratch files.
    if (is_default && !(ready && qs::IsOwnedDirectory(dir))) {
      dir256[0] = '\0';
      return SITEPATHS_NOT_READY;
    }
    int result = Answer(std::move(dir), dir256, SITEPATHS_DIR_SIZE);
    return ready ? result : SITEPATHS_NOT_READY;
  });
}

SITEPATHS_API int SITEPATHS_CALL SitePathsFormDirs(char* a64, char* base256, char* flat256,
                                                   char* d64) {
  if (a64 != nullptr) a64[0] = '\0';
  if (d64 != nullptr) d64[0] = '\0';
  int base = Guarded(base256, [&] { return AnswerSetting(kBaseDir, NoDefault, base256); });
  int flat = Guarded(flat256, [&] { return AnswerSetting(kFlatDir, NoDefault, flat256); });
  return base != SITEPATHS_OK ? base : flat;
}

SITEPATHS_API int SITEPATHS_CALL SitePathsPluginDir(char* dir256) {
  return Guarded(dir256, [&] { return AnswerSetting(kPluginDir, DefaultPluginDir, dir256); });
}

SITEPATHS_API int SITEPATHS_CALL SitePathsSharedDir(char* dir256) {
  return Guarded(dir256, [&] { return AnswerSetting(kSharedDir, NoDefault, dir256); });
}

SITEPATHS_API int SITEPATHS_CALL SitePathsUserDir(char* dir256) {
  return Guarded(dir256, [&] { return AnswerSetting(kUserDir, DefaultUserDir, dir256); });
}

}  // extern "C"
