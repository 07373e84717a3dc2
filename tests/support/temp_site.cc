#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/env.h"
#include "support/form_fixture.h"

namespace qs_test {

namespace fs = std::filesystem;

TempSite::TempSite()
    : dir_("site"),
      root_(dir_.path()),
      work_(dir_.MakeDir("work")),
      base_(dir_.MakeDir("base")),
      flat_(dir_.MakeDir("flat")),
      env_(work_, base_, flat_) {
  dir_.MakeDir("base/QFD");
  dir_.MakeDir("base/QFT");
  qs::ReloadFormWorkDir();
  // The scratch directory's name is unique on the machine; so is a counter named after it.
  const std::string tail = root_.substr(root_.find_last_of('/', root_.size() - 2) + 1);
  counter_name_ = "/qstore-test-" + tail.substr(0, tail.size() - 1);
  qs::SharedCounter::Unlink(counter_name_);
  qs::UseFormCounterForTesting(counter_name_);
}

TempSite::~TempSite() {
  qs::SharedCounter::Unlink(counter_name_);
}

std::string TempSite::WriteFile(const std::string& relative_path,
                                const std::string& contents) const {
  const fs::path path = fs::path(root_) / relative_path;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << contents;
  return path.string();
}

std::vector<std::string> TempSite::WorkFiles() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(work_)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace qs_test
