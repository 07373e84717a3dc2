// The few operating-system services the tool needs beyond the C++ library: character-set
// conversion, whether stderr is a terminal, and the environment that the directory service reads.
// os_posix.cc is the only file of the tool that includes system headers.
#ifndef QSTORE_TOOLS_QSTORE_OS_H_
#define QSTORE_TOOLS_QSTORE_OS_H_

#include <memory>
#include <string>
#include <string_view>

namespace qstore::tool {

// A converter between two character sets. Convert() turns as much of `in` as it can into `out`
// (appended) and returns the number of input bytes used; it stops early at a sequence the source
// set does not define or the target set cannot hold.
class CharsetConverter {
 public:
  virtual ~CharsetConverter() = default;
  virtual size_t Convert(std::string_view in, std::string* out) = 0;
  // Null when the C library knows neither set.
  static std::unique_ptr<CharsetConverter> Make(const char* to, const char* from);
};

bool StderrIsTerminal();
// Columns of the terminal on stderr, 80 when unknown.
int TerminalColumns();
// Sets an environment variable of this process (the directory service reads it at every call).
bool SetEnvironment(const std::string& name, const std::string& value);

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_OS_H_
