#include "support/scratch_dir.h"

#include <cstdio>
#include <cstdlib>

#include "platform/env.h"

namespace qs {
namespace test {

ScratchDir::ScratchDir(const char* tag) {
  std::string prefix = "qstore-test-";
  for (const char* p = tag != nullptr ? tag : ""; *p != '\0'; ++p) {
    const char c = *p;
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    prefix += plain || c == '-' ? c : '_';
  }
  prefix += '-';
  path_ = MakeTempDirectory(prefix);
  if (path_.empty()) {
    // Going on would scatter the test's files over the current directory.
    std::fprintf(stderr, "cannot make a scratch directory in %s\n", TempDirectory().c_str());
    std::abort();
  }
}

ScratchDir::~ScratchDir() {
  RemoveTree(path_);
}

std::string ScratchDir::Sub(std::string_view name) const {
  return path_ + std::string(name);
}

std::string ScratchDir::MakeDir(std::string_view name) const {
  std::string dir = Sub(name);
  if (dir.back() != '/') dir += '/';
  Env::Default()->CreateDirectories(dir, 0755);
  return dir;
}

ScopedEnvVar::ScopedEnvVar(const char* name, const char* value) : name_(name) {
  if (const char* old = GetEnvVar(name)) previous_ = old;
  SetEnvVar(name, value);
}

ScopedEnvVar::~ScopedEnvVar() {
  SetEnvVar(name_.c_str(), previous_ ? previous_->c_str() : nullptr);
}

}  // namespace test
}  // namespace qs
