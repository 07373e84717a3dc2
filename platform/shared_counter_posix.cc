// The machine-wide counter: one 32-bit cell at the start of a POSIX shared-memory object, changed
// only by atomic instructions so that processes never need a lock.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "platform/env.h"

namespace qs {

namespace {

constexpr size_t kMappedSize = 4096;

class PosixSharedCounter final : public SharedCounter {
 public:
  explicit PosixSharedCounter(void* base) : base_(base) {}
  ~PosixSharedCounter() override { ::munmap(base_, kMappedSize); }
  PosixSharedCounter(const PosixSharedCounter&) = delete;
  PosixSharedCounter& operator=(const PosixSharedCounter&) = delete;

  uint32_t Increment() override { return __atomic_add_fetch(cell(), 1u, __ATOMIC_SEQ_CST); }

  bool GiveBack(uint32_t value) override {
    // 0 was never handed out by Increment (short of wrapping), and lowering it would wrap the
    // counter to its largest value.
    if (value == 0) return false;
    uint32_t expected = value;
    return __atomic_compare_exchange_n(cell(), &expected, value - 1, false, __ATOMIC_SEQ_CST,
                                       __ATOMIC_SEQ_CST);
  }

  uint32_t Load() override { return __atomic_load_n(cell(), __ATOMIC_SEQ_CST); }

 private:
  uint32_t* cell() { return static_cast<uint32_t*>(base_); }

  void* base_;
};

}  // namespace

std::unique_ptr<SharedCounter> SharedCounter::Open(const std::string& name) {
  // Readable and writable by the owner only: another user could otherwise reset the counter and
  // make the numbers, and so the scratch-file names, of this user's items collide.
  int fd = ::shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  // A new object has size 0. Two processes may both see that and both extend it; extending to the
  // size it already has changes nothing, so a counter already in use is never cleared.
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && (st.st_size >= static_cast<off_t>(kMappedSize) ||
                                      ::ftruncate(fd, static_cast<off_t>(kMappedSize)) == 0);
  void* base =
      ok ? ::mmap(nullptr, kMappedSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
  ::close(fd);  // the mapping stays valid without the descriptor
  if (base == MAP_FAILED) return nullptr;
  std::unique_ptr<SharedCounter> counter(new (std::nothrow) PosixSharedCounter(base));
  if (!counter) ::munmap(base, kMappedSize);
  return counter;
}

bool SharedCounter::Unlink(const std::string& name) {
  return ::shm_unlink(name.c_str()) == 0 || errno == ENOENT;
}

}  // namespace qs
