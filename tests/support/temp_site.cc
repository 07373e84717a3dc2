#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "support/form_fixture.h"

namespace qs_test {

namespace fs = std::filesystem;

namespace {
const char* const kVars[3] = {"SITEPATHS_WORK_DIR", "SITEPATHS_BASE_DIR", "SITEPATHS_FLAT_DIR"};
}

TempSite::TempSite() {
  std::random_device rd;
  const fs::path tmp = fs::temp_directory_path();
  fs::path dir;
  do {
    dir = tmp / ("qstore-test-" + std::to_string(rd()) + std::to_string(rd()));
  } while (!fs::create_directory(dir));
  root_ = dir.string() + "/";
  work_ = root_ + "work/";
  base_ = root_ + "base/";
  flat_ = root_ + "flat/";
  for (const auto& d : {work_, base_ + "QFD/", base_ + "QFT/", flat_}) fs::create_directories(d);
  const std::string values[3] = {work_, base_, flat_};
  for (int i = 0; i < 3; ++i) {
    if (const char* old = std::getenv(kVars[i])) {
      had_[i] = true;
      saved_[i] = old;
    }
    setenv(kVars[i], values[i].c_str(), 1);
  }
  qs::ReloadFormWorkDir();
}

TempSite::~TempSite() {
  for (int i = 0; i < 3; ++i) {
    if (had_[i])
      setenv(kVars[i], saved_[i].c_str(), 1);
    else
      unsetenv(kVars[i]);
  }
  std::error_code ec;
  fs::remove_all(root_, ec);
  qs::ReloadFormWorkDir();
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
