// The real file system on POSIX.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include "platform/env.h"

namespace qs {

namespace {

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// True when `path` names the file open as `fd` (and not one that has taken its name since).
bool NamesDescriptor(const std::string& path, int fd) {
  struct stat by_name, by_fd;
  return ::lstat(path.c_str(), &by_name) == 0 && ::fstat(fd, &by_fd) == 0 &&
         by_name.st_dev == by_fd.st_dev && by_name.st_ino == by_fd.st_ino;
}

// flock() locks belong to the open file, not to the process, so a second open of the same file in
// this process is refused as another process's would be.
bool TryLockExclusive(int fd) {
  return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

class PosixFile final : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  bool Read(void* buf, size_t n, size_t* got) override {
    *got = 0;
    if (fd_ < 0) return false;
    char* p = static_cast<char*>(buf);
    while (*got < n) {
      ssize_t r = ::read(fd_, p + *got, n - *got);
      if (r < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (r == 0) break;  // end of file
      *got += static_cast<size_t>(r);
    }
    return true;
  }

  bool Write(const void* buf, size_t n) override {
    if (fd_ < 0) return false;
    const char* p = static_cast<const char*>(buf);
    while (n > 0) {
      ssize_t w = ::write(fd_, p, n);
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      p += w;
      n -= static_cast<size_t>(w);
    }
    return true;
  }

  bool ReadAt(uint64_t offset, void* buf, size_t n, size_t* got) override {
    *got = 0;
    if (fd_ < 0 || offset > static_cast<uint64_t>(INT64_MAX) - n) return false;
    char* p = static_cast<char*>(buf);
    while (*got < n) {
      ssize_t r = ::pread(fd_, p + *got, n - *got, static_cast<off_t>(offset + *got));
      if (r < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (r == 0) break;  // end of file
      *got += static_cast<size_t>(r);
    }
    return true;
  }

  bool WriteAt(uint64_t offset, const void* buf, size_t n) override {
    if (fd_ < 0 || offset > static_cast<uint64_t>(INT64_MAX) - n) return false;
    const char* p = static_cast<const char*>(buf);
    while (n > 0) {
      ssize_t w = ::pwrite(fd_, p, n, static_cast<off_t>(offset));
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      p += w;
      offset += static_cast<uint64_t>(w);
      n -= static_cast<size_t>(w);
    }
    return true;
  }

  bool Seek(uint64_t offset) override {
    if (fd_ < 0 || offset > static_cast<uint64_t>(INT64_MAX)) return false;
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
  }

  bool Tell(uint64_t* offset) override {
    if (fd_ < 0) return false;
    off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) return false;
    *offset = static_cast<uint64_t>(at);
    return true;
  }

  bool Size(uint64_t* size) override {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
  }

  bool Sync() override { return fd_ >= 0 && ::fsync(fd_) == 0; }

  bool Close() override {
    if (fd_ < 0) return false;
    int r = ::close(fd_);
    fd_ = -1;
    // The descriptor is released even when close reports an error, so it must not be retried.
    return r == 0;
  }

 private:
  int fd_;
};

class PosixEnv final : public Env {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    int flags = O_RDWR;
    switch (mode) {
      case OpenMode::kRead:
        flags = O_RDONLY;
        break;
      case OpenMode::kReadWrite:
        break;
      case OpenMode::kCreate:
        flags |= O_CREAT | O_TRUNC;
        break;
      case OpenMode::kCreateNew:
      case OpenMode::kCreateNewLocked:
        flags |= O_CREAT | O_EXCL;
        break;
      case OpenMode::kOpenAlways:
        flags |= O_CREAT;
        break;
    }
    int fd = OpenRetrying(path.c_str(), flags, 0666);
    if (fd < 0) return nullptr;
    // A directory opens read-only on Linux but is never a file the callers could use.
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    // Between the create and the lock, a sweep may have taken the fresh file for an abandoned one:
    // then the lock is its, or the name is gone. Either way the file is not ours to use.
    if (mode == OpenMode::kCreateNewLocked &&
        (!TryLockExclusive(fd) || !NamesDescriptor(path, fd))) {
      ::close(fd);
      return nullptr;
    }
    std::unique_ptr<File> file(new (std::nothrow) PosixFile(fd));
    if (!file) ::close(fd);
    return file;
  }

  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
  }

  bool IsDirectory(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  bool Delete(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

  bool Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  bool CopyFile(const std::string& from, const std::string& to) override {
    int in = OpenRetrying(from.c_str(), O_RDONLY);
    if (in < 0) return false;
    struct stat in_st, to_st;
    // Only regular files: a device could be endless. Copying a file onto itself would truncate the
    // only copy of its bytes before reading them.
    if (::fstat(in, &in_st) != 0 || !S_ISREG(in_st.st_mode) ||
        (::stat(to.c_str(), &to_st) == 0 && to_st.st_dev == in_st.st_dev &&
         to_st.st_ino == in_st.st_ino)) {
      ::close(in);
      return false;
    }
    int out = OpenRetrying(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (out < 0) {
      ::close(in);
      return false;
    }
    PosixFile source(in), target(out);
    bool ok = true;
    char buf[16384];
    for (;;) {
      size_t got;
      if (!source.Read(buf, sizeof buf, &got)) {
        ok = false;
        break;
      }
      if (got > 0 && !target.Write(buf, got)) {
        ok = false;
        break;
      }
      if (got < sizeof buf) break;
    }
    if (!target.Close()) ok = false;
    // A partial copy is worse than none: whoever reads the target would take it for complete.
    if (!ok) ::unlink(to.c_str());
    return ok;
  }

  bool CreateDirectories(const std::string& path, int mode) override {
    if (path.empty()) return false;
    size_t start = 0;
    for (;;) {
      size_t slash = path.find('/', start);
      std::string prefix = path.substr(0, slash);
      // Failures are not final here (a parent may exist but be unreadable); the check at the end
      // decides.
      if (!prefix.empty() && !IsDirectory(prefix))
        ::mkdir(prefix.c_str(), static_cast<mode_t>(mode));
      if (slash == std::string::npos) break;
      start = slash + 1;
    }
    return IsDirectory(path);
  }

  bool DeleteIfUnlocked(const std::string& path) override {
    // O_NONBLOCK: opening a FIFO of that name must not wait for a writer.
    int fd = OpenRetrying(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    const bool deleted = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && TryLockExclusive(fd) &&
                         NamesDescriptor(path, fd) && ::unlink(path.c_str()) == 0;
    ::close(fd);
    return deleted;
  }

  bool SyncDirectory(const std::string& dir) override {
    int fd = OpenRetrying(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int r;
    do {
      r = ::fsync(fd);
    } while (r != 0 && errno == EINTR);
    // Some file systems cannot sync a directory (EINVAL): their renames need nothing more.
    const bool ok = r == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
  }

  bool ListDirectory(const std::string& dir, std::vector<std::string>* names) override {
    names->clear();
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return false;
    while (struct dirent* entry = ::readdir(d)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names->push_back(std::move(name));
    }
    ::closedir(d);
    return true;
  }
};

// Removes what `path` names; `path` has no trailing '/'.
bool RemoveTreeAt(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0 || errno == ENOENT;
  // O_NOFOLLOW: if the directory was swapped for a link since lstat, open fails instead of
  // descending into the link's target.
  int fd = OpenRetrying(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
  if (fd >= 0) {
    DIR* d = ::fdopendir(fd);
    if (d == nullptr) {
      ::close(fd);
    } else {
      std::vector<std::string> names;
      while (struct dirent* entry = ::readdir(d)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(std::move(name));
      }
      ::closedir(d);
      for (const std::string& name : names) RemoveTreeAt(path + "/" + name);
    }
  }
  return ::rmdir(path.c_str()) == 0 || errno == ENOENT;
}

std::string WithoutTrailingSlashes(const std::string& path) {
  size_t end = path.find_last_not_of('/');
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

}  // namespace

Env* Env::Default() {
  static Env* const env = new PosixEnv;
  return env;
}

bool IsOwnedDirectory(const std::string& path) {
  // Without the trailing '/' lstat looks at a link itself instead of at its target.
  std::string name = WithoutTrailingSlashes(path);
  if (name.empty()) name = path;
  struct stat st;
  return ::lstat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

std::string MakeTempDirectory(const std::string& prefix) {
  std::string dir = TempDirectory();
  if (dir.empty() || dir.back() != '/') dir += '/';
  std::string pattern = dir + prefix + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) return std::string();
  return std::string(name.data()) + "/";
}

bool RemoveTree(const std::string& path) {
  std::string name = WithoutTrailingSlashes(path);
  if (name.empty()) return false;  // never the root, never nothing
  return RemoveTreeAt(name);
}

}  // namespace qs
