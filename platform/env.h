// The operating-system layer. Everything above platform/ reaches files, directories, time, shared
// memory and plug-ins only through this header, so tests can swap the file system for one that
// fails on demand and a Windows build needs only another implementation of it.
#ifndef QSTORE_PLATFORM_ENV_H_
#define QSTORE_PLATFORM_ENV_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qs {

// An open file. Reads and writes are unbuffered. A read fills the buffer unless it meets the end of
// the file, which is no error; a write writes every byte or reports false.
class File {
 public:
  virtual ~File() = default;
  // Reads up to n bytes; *got receives the count. False only on an I/O error (end of file is not an
  // error: *got is then smaller than n).
  virtual bool Read(void* buf, size_t n, size_t* got) = 0;
  // Writes all n bytes or reports false.
  virtual bool Write(const void* buf, size_t n) = 0;
  virtual bool Seek(uint64_t offset) = 0;
  // Reads or writes at `offset`, as Seek() followed by Read() or Write(); where the file position
  // is afterwards is not said. Implementations may do it in one step.
  virtual bool ReadAt(uint64_t offset, void* buf, size_t n, size_t* got) {
    *got = 0;
    return Seek(offset) && Read(buf, n, got);
  }
  virtual bool WriteAt(uint64_t offset, const void* buf, size_t n) {
    return Seek(offset) && Write(buf, n);
  }
  virtual bool Tell(uint64_t* offset) = 0;
  virtual bool Size(uint64_t* size) = 0;
  // Flushes what was written to the storage device (used before an atomic rename).
  virtual bool Sync() = 0;
  virtual bool Close() = 0;
};

enum class OpenMode {
  kRead,        // existing file, read only
  kReadWrite,   // existing file, read and write, no truncation
  kCreate,      // create or truncate, read and write
  kCreateNew,   // create, read and write; fails when the file exists
  kOpenAlways,  // create when missing, never truncate, read and write
  // As kCreateNew, holding an exclusive advisory lock on the file until it is closed. Fails when
  // the lock cannot be had at once or the name no longer names the file once locked (another
  // process took the fresh file for an abandoned one and removed it): the writer of a file opened
  // so is known to be alive while the file is locked.
  kCreateNewLocked,
};

// The file system and other process-level services. Default() is the real one; tests may install
// another with SetEnvForTesting().
class Env {
 public:
  virtual ~Env() = default;
  static Env* Default();

  virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;
  // True when a file or directory of that name exists.
  virtual bool Exists(const std::string& path) = 0;
  virtual bool IsDirectory(const std::string& path) = 0;
  virtual bool Delete(const std::string& path) = 0;
  // Replaces `to` by `from` in one step (both in the same directory).
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Copies the bytes of `from` to `to`, overwriting `to`.
  virtual bool CopyFile(const std::string& from, const std::string& to) = 0;
  // Creates the directory with any missing parents (splits at '/'). True when it exists afterwards.
  virtual bool CreateDirectories(const std::string& path, int mode = 0755) = 0;
  // Names (not paths) of the entries of a directory, '.' and '..' left out. False when the
  // directory cannot be read.
  virtual bool ListDirectory(const std::string& dir, std::vector<std::string>* names) = 0;
  // Deletes a regular file that no open file holds locked (see kCreateNewLocked), holding the lock
  // itself while it deletes, so a writer cannot come in between. False when the file is locked,
  // gone or cannot be deleted. An Env without locks deletes nothing.
  virtual bool DeleteIfUnlocked(const std::string& /*path*/) { return false; }
  // Makes the entries of a directory ("" is the current one) durable, so that a file renamed into
  // it is found there after a power loss. True also where the file system has nothing to sync.
  virtual bool SyncDirectory(const std::string& /*dir*/) { return true; }
};

// Returns the Env in use (Default() unless a test installed another). A form or document takes it
// when it is made and keeps it; calls that have no item read it each time.
Env* CurrentEnv();
// Installs an Env for tests; nullptr restores the default. Items already made keep theirs. Not
// thread-safe; tests only.
void SetEnvForTesting(Env* env);

// Whole-file helpers over an Env.
bool ReadWholeFile(Env* env, const std::string& path, std::string* contents);
bool WriteWholeFile(Env* env, const std::string& path, std::string_view contents);

// Seconds since 1970-01-01 00:00 UTC.
int32_t NowSeconds();
struct CalendarTime {
  int year, month, day, hour, minute, second;
};
// UTC calendar fields of a time (no time-zone adjustment). Negative times are converted too.
CalendarTime UtcCalendar(int64_t seconds);

// A 32-bit counter shared by every process on the machine that opens the same name (POSIX shared
// memory). Used to number open forms and documents.
class SharedCounter {
 public:
  // `name` is the shared-memory object name, for example "/formstore.fmshare". Returns nullptr when
  // it cannot be mapped.
  static std::unique_ptr<SharedCounter> Open(const std::string& name);
  virtual ~SharedCounter() = default;
  // Atomically adds one and returns the new value.
  virtual uint32_t Increment() = 0;
  // Atomically lowers the counter by one if it still equals `value`; true when it did.
  virtual bool GiveBack(uint32_t value) = 0;
  virtual uint32_t Load() = 0;
  // Removes the name from the system; processes that have it open keep their mapping. True when the
  // name is gone afterwards.
  static bool Unlink(const std::string& name);
};

// A dynamically loaded plug-in.
class Plugin {
 public:
  // nullptr when it cannot be loaded. A path without '/' names a file in the current directory (it
  // is not searched for along the library path). The plug-in is unloaded when the object goes.
  static std::unique_ptr<Plugin> Load(const std::string& path);
  virtual ~Plugin() = default;
  virtual void* Symbol(const char* name) = 0;
};

// Reads `key` of `section` from an INI file of `env` with the contract of GetPrivateProfileStringA:
// section and key names compare case-insensitively; the value is trimmed of surrounding blanks; a
// missing file, section or key gives `default_value`; the result is cut to size - 1 bytes and
// NUL-terminated in `out`. Returns the number of bytes placed in `out` (without the NUL).
size_t IniGetString(Env& env, const std::string& path, const char* section, const char* key,
                    const char* default_value, char* out, size_t size);

// Shift-JIS (code page 932): true for a byte that starts a two-byte character.
inline bool IsSjisLeadByte(uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
// Length of the longest start of `s`, at most `max` bytes, that ends between two characters (a
// lead byte with nothing after it counts as a character cut in two).
inline size_t SjisWholePrefix(std::string_view s, size_t max) {
  size_t end = 0;
  while (end < s.size()) {
    const size_t width = IsSjisLeadByte(static_cast<uint8_t>(s[end])) ? 2 : 1;
    if (end + width > s.size() || end + width > max) break;
    end += width;
  }
  return end;
}

// The value of an environment variable, or nullptr.
const char* GetEnvVar(const char* name);
// Directory of the shared object that contains `address` (ending in '/'), or "" when unknown.
std::string DirectoryOfModule(const void* address);
// Current user's id and home directory ($HOME, else the user database; "" when unknown), the
// temporary directory ($TMPDIR, else /tmp). Directories are returned as found, with or without a
// trailing '/'.
unsigned CurrentUserId();
std::string HomeDirectory();
std::string TempDirectory();

// Sets an environment variable of this process; nullptr removes it. Not thread-safe.
bool SetEnvVar(const char* name, const char* value);
// True when `path` is a directory, not a symbolic link to one, owned by the current user.
bool IsOwnedDirectory(const std::string& path);
// Makes a new directory, readable only by the current user, in TempDirectory() with a name that
// begins with `prefix`. Returns its path ending in '/', or "" when none could be made.
std::string MakeTempDirectory(const std::string& prefix);
// Removes a file, or a directory with everything below it. Symbolic links are removed, never
// followed. True when nothing of that name is left.
bool RemoveTree(const std::string& path);

// A copy of this process that runs one function (fork). For tests of process-shared state.
class ChildProcess {
 public:
  // Starts the copy; it runs `body` and ends with its result as exit status. nullptr when no
  // process could be made.
  static std::unique_ptr<ChildProcess> Start(const std::function<int()>& body);
  // Waits for the child unless Wait() already did.
  virtual ~ChildProcess() = default;
  // Waits for the child to end. Returns the body's result (0..255), or -1 when the child ended
  // any other way.
  virtual int Wait() = 0;
  // Ends the child at once, wherever it is (as a crash or a power cut would). True when the child
  // was there to end.
  virtual bool Kill() = 0;
};

}  // namespace qs

#endif  // QSTORE_PLATFORM_ENV_H_
