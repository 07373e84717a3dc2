// An Env that fails on demand, for tests that a failed write, create, rename or copy leaves the
// files it touches as they were.
//
//   qs::test::FaultEnv env;
//   qs::test::ScopedEnv use(&env);   // CurrentEnv() is now env
//   env.FailWriteNumber(3);          // the third write from now fails
#ifndef QSTORE_TESTS_SUPPORT_FAULT_ENV_H_
#define QSTORE_TESTS_SUPPORT_FAULT_ENV_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"

namespace qs {
namespace test {

class FaultEnv : public Env {
 public:
  explicit FaultEnv(Env* base = Env::Default()) : base_(base) {}

  // Each switch stays as set until changed or Reset().
  // The n-th File::Write from now fails (n >= 1); 0 disarms.
  void FailWriteNumber(int n) { write_to_fail_ = n > 0 ? writes_ + n : 0; }
  void FailAllWrites(bool on) { fail_all_writes_ = on; }
  // Open with kCreate, kCreateNew or kOpenAlways.
  void FailCreates(bool on) { fail_creates_ = on; }
  void FailRenames(bool on) { fail_renames_ = on; }
  void FailCopies(bool on) { fail_copies_ = on; }
  void FailSyncs(bool on) { fail_syncs_ = on; }
  void FailDirectorySyncs(bool on) { fail_directory_syncs_ = on; }
  // Directories synced since construction or Reset().
  int directory_syncs() const { return directory_syncs_; }
  // Clears every switch and both counts.
  void Reset();

  // Writes attempted, and failures injected, since construction or Reset().
  int writes() const { return writes_; }
  // Calls of this Env (not of the files it opened) since construction or Reset().
  int calls() const { return calls_; }
  int failures() const { return failures_; }

  // A failing write first writes half of its bytes, as a full disk does, then reports false.
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  bool Exists(const std::string& path) override { return ++calls_, base_->Exists(path); }
  bool IsDirectory(const std::string& path) override { return ++calls_, base_->IsDirectory(path); }
  bool Delete(const std::string& path) override { return ++calls_, base_->Delete(path); }
  bool Rename(const std::string& from, const std::string& to) override;
  bool CopyFile(const std::string& from, const std::string& to) override;
  bool CreateDirectories(const std::string& path, int mode) override {
    return ++calls_, base_->CreateDirectories(path, mode);
  }
  bool ListDirectory(const std::string& dir, std::vector<std::string>* names) override {
    return ++calls_, base_->ListDirectory(dir, names);
  }
  bool DeleteIfUnlocked(const std::string& path) override {
    return ++calls_, base_->DeleteIfUnlocked(path);
  }
  bool SyncDirectory(const std::string& dir) override;

 private:
  friend class FaultFile;
  bool WriteShouldFail();
  bool SyncShouldFail();

  Env* const base_;
  int calls_ = 0;
  int writes_ = 0;
  int write_to_fail_ = 0;
  int failures_ = 0;
  bool fail_all_writes_ = false;
  bool fail_creates_ = false;
  bool fail_renames_ = false;
  bool fail_copies_ = false;
  bool fail_syncs_ = false;
  bool fail_directory_syncs_ = false;
  int directory_syncs_ = 0;
};

// An Env that passes every call to another, which a test may change at any time. A form or
// document keeps the Env it was made with for its whole life, so a test that means to fail some of
// an open item's file operations makes the item with a SwitchEnv and later switches that to a
// FaultEnv (see ScopedSwitch). Files already open stay with the Env that opened them.
class SwitchEnv : public Env {
 public:
  explicit SwitchEnv(Env* to = Env::Default()) : to_(to) {}
  // nullptr switches back to Env::Default().
  void SwitchTo(Env* to) { to_ = to != nullptr ? to : Env::Default(); }
  Env* target() const { return to_; }

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    return to_->Open(path, mode);
  }
  bool Exists(const std::string& path) override { return to_->Exists(path); }
  bool IsDirectory(const std::string& path) override { return to_->IsDirectory(path); }
  bool Delete(const std::string& path) override { return to_->Delete(path); }
  bool Rename(const std::string& from, const std::string& to) override {
    return to_->Rename(from, to);
  }
  bool CopyFile(const std::string& from, const std::string& to) override {
    return to_->CopyFile(from, to);
  }
  bool CreateDirectories(const std::string& path, int mode) override {
    return to_->CreateDirectories(path, mode);
  }
  bool ListDirectory(const std::string& dir, std::vector<std::string>* names) override {
    return to_->ListDirectory(dir, names);
  }
  bool DeleteIfUnlocked(const std::string& path) override { return to_->DeleteIfUnlocked(path); }
  bool SyncDirectory(const std::string& dir) override { return to_->SyncDirectory(dir); }

 private:
  Env* to_;
};

// Switches a SwitchEnv to `to` for the lifetime of this object.
class ScopedSwitch {
 public:
  ScopedSwitch(SwitchEnv& env, Env* to) : env_(env), previous_(env.target()) { env.SwitchTo(to); }
  ~ScopedSwitch() { env_.SwitchTo(previous_); }
  ScopedSwitch(const ScopedSwitch&) = delete;
  ScopedSwitch& operator=(const ScopedSwitch&) = delete;

 private:
  SwitchEnv& env_;
  Env* const previous_;
};

// Makes `env` the CurrentEnv() for the lifetime of this object.
class ScopedEnv {
 public:
  explicit ScopedEnv(Env* env);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  Env* const previous_;
};

}  // namespace test
}  // namespace qs

#endif  // QSTORE_TESTS_SUPPORT_FAULT_ENV_H_
