// A test fixture with a private work, base and flat directory and one open form.
#ifndef QSTORE_TESTS_SUPPORT_FORM_FIXTURE_H_
#define QSTORE_TESTS_SUPPORT_FORM_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formstore.h"
#include "formstore/form.h"
#include "support/fault_env.h"
#include "support/scratch_dir.h"

namespace qs_test {

// Makes a fresh directory tree under the system's temporary directory:
//   <root>/work/  the work directory (scratch files)
//   <root>/base/  the base directory (with QFD/ and QFT/ below it)
//   <root>/flat/  the flat directory
// points the directory service at it for the lifetime of the object and reloads the form library's
// work directory. Its item_env() is the CurrentEnv() meanwhile, so every form and document made
// in the site is made with it; switching it reaches their file operations. Until switched it
// passes everything to the Env that was current when the site was made. Forms are numbered from
// a counter of the site's own, starting at 1, so tests that run side by side do not see each
// other's numbers. The tree is removed afterwards.
class TempSite {
 public:
  TempSite();
  ~TempSite();
  TempSite(const TempSite&) = delete;
  TempSite& operator=(const TempSite&) = delete;

  const std::string& root() const { return root_; }  // all four end in '/'
  const std::string& work() const { return work_; }
  const std::string& base() const { return base_; }
  const std::string& flat() const { return flat_; }
  // Writes a file (creating parent directories) and returns its path.
  std::string WriteFile(const std::string& relative_path, const std::string& contents) const;
  // Names of the files in the work directory.
  std::vector<std::string> WorkFiles() const;
  // Name of the site's form counter (a shared-memory object).
  const std::string& counter_name() const { return counter_name_; }
  qs::test::SwitchEnv& item_env() { return item_env_; }

 private:
  qs::test::ScratchDir dir_;
  std::string root_, work_, base_, flat_;
  qs::test::SitePathsEnv env_;
  std::string counter_name_;
  qs::test::SwitchEnv item_env_{qs::CurrentEnv()};
  qs::test::ScopedEnv use_item_env_{&item_env_};
};

// One created form with `pages` pages inserted (page 1 current). ReadOrder and title are left 0.
class FormTest : public ::testing::Test {
 protected:
  explicit FormTest(int pages = 1) : pages_(pages) {}
  void SetUp() override;
  void TearDown() override;

  qs::Form& form() { return *qs::Form::FromHandle(&h); }

  TempSite site;
  FormHandle h{};

 private:
  int pages_;
};

// A FontSpec with the given face name and all its values 0.
FontSpec Font(const char* name);

}  // namespace qs_test

#endif  // QSTORE_TESTS_SUPPORT_FORM_FIXTURE_H_
