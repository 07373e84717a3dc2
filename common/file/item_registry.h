// What a storage library keeps for all its open forms or documents in one process: the work
// directory their scratch files go to, and the counter, shared by every process on the machine,
// that numbers them.
#ifndef QSTORE_COMMON_FILE_ITEM_REGISTRY_H_
#define QSTORE_COMMON_FILE_ITEM_REGISTRY_H_

#include <memory>
#include <mutex>
#include <string>

#include "platform/env.h"

namespace qs {

class ItemRegistry {
 public:
  // `counter_name` names the shared counter ("/formstore.fmshare").
  explicit ItemRegistry(const char* counter_name) : counter_name_(counter_name) {}

  // Ends in '/' (or is empty: the current directory).
  const std::string& work_dir() const { return work_dir_; }
  // Asks the directory service for the work directory (at process attach, and for tests that
  // change it).
  void ReloadWorkDir();

  // The counter, mapped on first use; null when it cannot be. The shared object belongs to the
  // user who made it first; another user numbers his items with one of his own (his default work
  // directory is his own too, so the numbers cannot make scratch names collide).
  SharedCounter* counter();
  // Numbers items from a counter of another name, so tests running side by side see numbers of
  // their own.
  void UseCounter(const std::string& name);

 private:
  const char* const counter_name_;
  std::string work_dir_;
  std::once_flag mapped_;
  std::unique_ptr<SharedCounter> counter_;
};

}  // namespace qs

#endif  // QSTORE_COMMON_FILE_ITEM_REGISTRY_H_
