// Library statuses in words, and the one error line the tool prints for a failed call.
#ifndef QSTORE_TOOLS_QSTORE_STATUS_H_
#define QSTORE_TOOLS_QSTORE_STATUS_H_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qstore::tool {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // a library call failed, or a check found differences
inline constexpr int kExitUsage = 2;   // bad arguments
inline constexpr int kExitFound = 3;   // the character check found characters (not an error)

// What a status of a library call means. `call` picks the meaning where numbers differ by call.
std::string StatusMeaning(std::string_view call, int32_t status);

// A failed library call: "qstore: FILE: CALL returned STATUS (MEANING)".
class CallError : public std::runtime_error {
 public:
  CallError(std::string file, std::string call, int32_t status);
  int32_t status() const { return status_; }

 private:
  int32_t status_;
};

// A failure that is no library call (a file the tool writes, an argument that makes no sense).
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws CallError when status is not 0.
inline void Check(int32_t status, const std::string& file, const char* call) {
  if (status != 0) throw CallError(file, call, status);
}

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_STATUS_H_
