// The log of a prohibited-character check: one line per finding, appended to a file the caller
// names. Messages are Shift-JIS text.
#ifndef QSTORE_DOCSTORE_CHECK_CHECK_LOG_H_
#define QSTORE_DOCSTORE_CHECK_CHECK_LOG_H_

#include <bitset>
#include <cstdint>
#include <memory>
#include <string_view>

#include "docstore/check/text_convert.h"
#include "platform/env.h"

namespace qs {

class CheckLog final : public SpecialCharSink {
 public:
  CheckLog() = default;
  ~CheckLog() override = default;
  CheckLog(const CheckLog&) = delete;
  CheckLog& operator=(const CheckLog&) = delete;

  // Opens `path` in `env` for appending (created when missing) and forgets the characters already
  // logged. A null or empty path leaves the log closed: every line is then dropped. kOk or
  // kCheckLogOpen.
  int Open(Env& env, const char* path);
  void Close() { file_.reset(); }

  // "The check failed (status)."
  void Failed(int status);
  // The summary lines of the categories found: full-width alphanumerics, then half-width katakana,
  // each as replaced or as present.
  void Summary(int found_mask, int replace_mask);
  // A user-defined or special character, logged at its first occurrence only.
  void SpecialMet(std::string_view ch, uint16_t code, bool replaced) override;

 private:
  // Formats one line (at most 1023 bytes) and appends it with its newline.
  void Line(const char* format, ...) __attribute__((format(printf, 2, 3)));

  std::unique_ptr<File> file_;
  std::bitset<65536> logged_;
};

}  // namespace qs

#endif  // QSTORE_DOCSTORE_CHECK_CHECK_LOG_H_
