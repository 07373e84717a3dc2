#include "formstore/form_names.h"

#include <cstring>
#include <string>

#include "platform/env.h"
#include "sitepaths/sitepaths.h"

namespace qs {

namespace {

struct SearchDirs {
  char a[SITEPATHS_SHORT_SIZE];
  char base[SITEPATHS_DIR_SIZE];
  char flat[SITEPATHS_DIR_SIZE];
  char d[SITEPATHS_SHORT_SIZE];
};

bool AskSearchDirs(SearchDirs* dirs) {
  std::memset(dirs, 0, sizeof *dirs);
  const bool ok = SitePathsFormDirs(dirs->a, dirs->base, dirs->flat, dirs->d) == 0;
  // The service's answers are NUL-terminated within their buffers; make sure of it.
  dirs->base[sizeof dirs->base - 1] = dirs->flat[sizeof dirs->flat - 1] = '\0';
  return ok;
}

const char* ExtensionFor(NameKind kind) {
  return kind == NameKind::kFormData ? ".QFD" : ".QFT";
}
const char* SubdirFor(NameKind kind) {
  return kind == NameKind::kFormData ? "QFD/" : "QFT/";
}

// Copies `path` into the caller's buffer when it exists there and fits.
bool TakeIfExists(Env& env, const std::string& path, char* buffer) {
  if (path.size() >= kNameBufferSize || !env.Exists(path)) return false;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

bool IsFullPath(const char* name) {
  return name[0] == '/' || std::strchr(name, ':') != nullptr;
}

bool AppendDefaultExtension(char* name, size_t size, const char* extension) {
  if (std::strchr(name, '.') != nullptr) return true;
  const size_t length = strnlen(name, size);
  if (length + std::strlen(extension) + 1 > size) return false;
  std::memcpy(name + length, extension, std::strlen(extension) + 1);
  return true;
}

bool ResolveName(Env& env, char* buffer, NameKind kind) {
  buffer[kNameBufferSize - 1] = '\0';
  if (!AppendDefaultExtension(buffer, kNameBufferSize, ExtensionFor(kind))) return false;
  if (IsFullPath(buffer)) return env.Exists(buffer);
  SearchDirs dirs;
  if (!AskSearchDirs(&dirs)) return false;
  const std::string name(buffer);
  if (TakeIfExists(env, std::string(dirs.base) + SubdirFor(kind) + name, buffer)) return true;
  return kind == NameKind::kFormData && TakeIfExists(env, std::string(dirs.flat) + name, buffer);
}

int FormExist2(Env& env, char* name) {
  // The caller provides room for the extension, as for a save.
  AppendDefaultExtension(name, std::strlen(name) + 5, ".QFD");
  SearchDirs dirs;
  if (!AskSearchDirs(&dirs)) return 0;
  if (std::strchr(name, ':') == nullptr && name[0] != '/') {
    if (env.Exists(std::string(dirs.base) + "QFD/" + name)) return 1;
    if (env.Exists(std::string(dirs.flat) + name)) return 2;
    return 0;
  }
  // A full path: where does it lie? The name is compared as given (the file system is
  // case-sensitive). The test is a plain substring test, so an empty directory answer (the
  // current directory) is found in every path.
  if (!env.Exists(name)) return 0;
  if (std::strstr(name, dirs.base) != nullptr) return 1;
  if (std::strstr(name, dirs.flat) != nullptr) return 2;
  return 0;
}

}  // namespace qs
