// A private work directory for a fuzz target, with the directory service pointed at it, removed
// when the process ends.
#ifndef QSTORE_FUZZ_FUZZ_SITE_H_
#define QSTORE_FUZZ_FUZZ_SITE_H_

#include <cstdlib>
#include <string>

#include "formstore/form.h"
#include "platform/env.h"

namespace qs_fuzz {

inline std::string& SiteDirectory() {
  static std::string dir;
  return dir;
}

inline void RemoveSite() {
  qs::RemoveTree(SiteDirectory());
}

inline void SetUpSite() {
  SiteDirectory() = qs::MakeTempDirectory("qstore-fuzz-");
  if (SiteDirectory().empty()) std::abort();
  for (const char* var : {"SITEPATHS_WORK_DIR", "SITEPATHS_BASE_DIR", "SITEPATHS_FLAT_DIR"})
    qs::SetEnvVar(var, SiteDirectory().c_str());
  qs::ReloadFormWorkDir();
  std::atexit(RemoveSite);
}

}  // namespace qs_fuzz

#endif  // QSTORE_FUZZ_FUZZ_SITE_H_
