#include "common/file/item_registry.h"

#include <cstring>

#include "sitepaths/sitepaths.h"

namespace qs {

void ItemRegistry::ReloadWorkDir() {
  char dir[SITEPATHS_DIR_SIZE] = {};
  SitePathsWorkDir(dir);
  work_dir_.assign(dir, strnlen(dir, sizeof dir));
}

SharedCounter* ItemRegistry::counter() {
  std::call_once(mapped_, [this] {
    counter_ = SharedCounter::Open(counter_name_);
    if (!counter_)
      counter_ =
          SharedCounter::Open(std::string(counter_name_) + "." + std::to_string(CurrentUserId()));
  });
  return counter_.get();
}

void ItemRegistry::UseCounter(const std::string& name) {
  std::call_once(mapped_, [] {});
  counter_ = SharedCounter::Open(name);
}

}  // namespace qs
