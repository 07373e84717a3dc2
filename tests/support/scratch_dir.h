// A fresh directory per test, and environment settings that last as long as a test.
//
//   qs::test::ScratchDir dir("open_form");
//   qs::test::SitePathsEnv site(dir.MakeDir("work"), dir.MakeDir("base"), dir.MakeDir("flat"));
//   ... dir.Sub("flat/A.QFD") ...
#ifndef QSTORE_TESTS_SUPPORT_SCRATCH_DIR_H_
#define QSTORE_TESTS_SUPPORT_SCRATCH_DIR_H_

#include <optional>
#include <string>
#include <string_view>

namespace qs {
namespace test {

// A new, empty directory in the temporary directory, removed with all its contents at the end.
class ScratchDir {
 public:
  // `tag` becomes part of the name, to tell the directories of different tests apart.
  explicit ScratchDir(const char* tag);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Ends in '/'.
  const std::string& path() const { return path_; }
  // path() + name.
  std::string Sub(std::string_view name) const;
  // Creates the directory path() + name (with parents) and returns its path ending in '/'.
  std::string MakeDir(std::string_view name) const;

 private:
  std::string path_;
};

// Sets an environment variable (nullptr removes it) and restores the earlier state at the end.
class ScopedEnvVar {
 public:
  ScopedEnvVar(const char* name, const char* value);
  ScopedEnvVar(const char* name, const std::string& value) : ScopedEnvVar(name, value.c_str()) {}
  ~ScopedEnvVar();
  ScopedEnvVar(const ScopedEnvVar&) = delete;
  ScopedEnvVar& operator=(const ScopedEnvVar&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Points the directory service's work, base and flat directories at the given paths for the
// lifetime of this object.
class SitePathsEnv {
 public:
  SitePathsEnv(const std::string& work, const std::string& base, const std::string& flat)
      : work_("SITEPATHS_WORK_DIR", work),
        base_("SITEPATHS_BASE_DIR", base),
        flat_("SITEPATHS_FLAT_DIR", flat) {}

 private:
  ScopedEnvVar work_, base_, flat_;
};

}  // namespace test
}  // namespace qs

#endif  // QSTORE_TESTS_SUPPORT_SCRATCH_DIR_H_
