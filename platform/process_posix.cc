// Facts about the running process and its user, and child processes for tests.
#include <dlfcn.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <vector>

#include "platform/env.h"

namespace qs {

namespace {

class PosixChildProcess final : public ChildProcess {
 public:
  explicit PosixChildProcess(pid_t pid) : pid_(pid) {}
  ~PosixChildProcess() override { Wait(); }
  PosixChildProcess(const PosixChildProcess&) = delete;
  PosixChildProcess& operator=(const PosixChildProcess&) = delete;

  int Wait() override {
    if (pid_ > 0) {
      int status = 0;
      pid_t r;
      do {
        r = ::waitpid(pid_, &status, 0);
      } while (r < 0 && errno == EINTR);
      pid_ = -1;
      result_ = (r > 0 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    }
    return result_;
  }

  bool Kill() override { return pid_ > 0 && ::kill(pid_, SIGKILL) == 0; }

 private:
  pid_t pid_;
  int result_ = -1;
};

}  // namespace

const char* GetEnvVar(const char* name) {
  return name != nullptr ? std::getenv(name) : nullptr;
}

bool SetEnvVar(const char* name, const char* value) {
  if (name == nullptr) return false;
  return (value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name)) == 0;
}

std::string DirectoryOfModule(const void* address) {
  Dl_info info;
  if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return std::string();
  std::string file = info.dli_fname;
  // A module loaded by a relative name is reported by that name; resolve it now, while the current
  // directory may still be the one it was loaded from.
  if (char* real = ::realpath(file.c_str(), nullptr)) {
    file = real;
    std::free(real);
  }
  size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

unsigned CurrentUserId() {
  return static_cast<unsigned>(::getuid());
}

std::string HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(size > 0 ? static_cast<size_t>(size) : 16384);
  struct passwd entry;
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buf.data(), buf.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr) {
    return std::string();
  }
  return found->pw_dir;
}

std::string TempDirectory() {
  const char* dir = std::getenv("TMPDIR");
  return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::function<int()>& body) {
  pid_t pid = ::fork();
  if (pid < 0) return nullptr;
  if (pid == 0) {
    int result = 255;
    try {
      result = body();
    } catch (...) {
    }
    // _exit: the parent's exit handlers (test reports, buffered output) are the parent's business.
    ::_exit(result & 0xFF);
  }
  std::unique_ptr<ChildProcess> child(new (std::nothrow) PosixChildProcess(pid));
  if (!child) {
    int status;
    ::waitpid(pid, &status, 0);
  }
  return child;
}

}  // namespace qs
