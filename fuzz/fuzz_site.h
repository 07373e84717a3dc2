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

// The template "FIELDS" that the seed with field placements names: plain fields, a table, a record
// and a sub-table, so that the placement records of a form file are read and not dropped.
constexpr const char kSiteTemplate[] =
    "$FIELD=x,1,Plain,ST,10\n$FIELD=x,2,Plain2,IT,4\n"
    "$TABLE=x,10,Items\n$FIELD=x,11,Code,CH,6\n$FIELD=x,12,Amount,RL,8\n"
    "$FIELD=x,13,Note,ST,20\n$/TABLE\n"
    "$RECORD=x,20,Lines,3\n$FIELD=x,21,Item,ST,10\n$FIELD=x,22,Qty,IT,3\n$/RECORD\n"
    "$SUBTBL=x,30,Sub\n$FIELD=x,31,Inner,ST,1\n$/SUBTBL\n";

inline void SetUpSite() {
  SiteDirectory() = qs::MakeTempDirectory("qstore-fuzz-");
  if (SiteDirectory().empty()) std::abort();
  qs::Env* env = qs::CurrentEnv();
  if (!env->CreateDirectories(SiteDirectory() + "QFT") ||
      !qs::WriteWholeFile(env, SiteDirectory() + "QFT/FIELDS.QFT", kSiteTemplate))
    std::abort();
  for (const char* var : {"SITEPATHS_WORK_DIR", "SITEPATHS_BASE_DIR", "SITEPATHS_FLAT_DIR"})
    qs::SetEnvVar(var, SiteDirectory().c_str());
  qs::ReloadFormWorkDir();
  std::atexit(RemoveSite);
}

}  // namespace qs_fuzz

#endif  // QSTORE_FUZZ_FUZZ_SITE_H_
