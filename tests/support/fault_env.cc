#include "support/fault_env.h"

namespace qs {
namespace test {

// Passes everything to the real file except the failures its FaultEnv asks for.
class FaultFile final : public File {
 public:
  FaultFile(FaultEnv* env, std::unique_ptr<File> base) : env_(env), base_(std::move(base)) {}

  bool Read(void* buf, size_t n, size_t* got) override { return base_->Read(buf, n, got); }
  bool Write(const void* buf, size_t n) override {
    if (env_->WriteShouldFail()) {
      base_->Write(buf, n / 2);
      return false;
    }
    return base_->Write(buf, n);
  }
  bool Seek(uint64_t offset) override { return base_->Seek(offset); }
  bool Tell(uint64_t* offset) override { return base_->Tell(offset); }
  bool Size(uint64_t* size) override { return base_->Size(size); }
  bool Sync() override { return !env_->SyncShouldFail() && base_->Sync(); }
  bool Close() override { return base_->Close(); }

 private:
  FaultEnv* const env_;
  std::unique_ptr<File> base_;
};

void FaultEnv::Reset() {
  calls_ = writes_ = write_to_fail_ = failures_ = 0;
  fail_all_writes_ = fail_creates_ = fail_renames_ = fail_copies_ = fail_syncs_ = false;
  fail_directory_syncs_ = false;
  directory_syncs_ = 0;
}

bool FaultEnv::SyncDirectory(const std::string& dir) {
  ++calls_;
  ++directory_syncs_;
  if (fail_directory_syncs_) {
    ++failures_;
    return false;
  }
  return base_->SyncDirectory(dir);
}

bool FaultEnv::WriteShouldFail() {
  ++writes_;
  if (fail_all_writes_ || writes_ == write_to_fail_) {
    ++failures_;
    return true;
  }
  return false;
}

bool FaultEnv::SyncShouldFail() {
  if (!fail_syncs_) return false;
  ++failures_;
  return true;
}

std::unique_ptr<File> FaultEnv::Open(const std::string& path, OpenMode mode) {
  ++calls_;
  if (fail_creates_ && mode != OpenMode::kRead && mode != OpenMode::kReadWrite) {
    ++failures_;
    return nullptr;
  }
  std::unique_ptr<File> file = base_->Open(path, mode);
  if (!file) return nullptr;
  return std::make_unique<FaultFile>(this, std::move(file));
}

bool FaultEnv::Rename(const std::string& from, const std::string& to) {
  ++calls_;
  if (fail_renames_) {
    ++failures_;
    return false;
  }
  return base_->Rename(from, to);
}

bool FaultEnv::CopyFile(const std::string& from, const std::string& to) {
  ++calls_;
  if (fail_copies_) {
    ++failures_;
    return false;
  }
  return base_->CopyFile(from, to);
}

ScopedEnv::ScopedEnv(Env* env) : previous_(CurrentEnv()) {
  SetEnvForTesting(env);
}

ScopedEnv::~ScopedEnv() {
  SetEnvForTesting(previous_ == Env::Default() ? nullptr : previous_);
}

}  // namespace test
}  // namespace qs
