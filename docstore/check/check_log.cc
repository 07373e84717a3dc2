#include "docstore/check/check_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/status.h"

namespace qs {

namespace {

constexpr size_t kLineSize = 1024;

// The messages, as Shift-JIS bytes.
// 全角英数字を置換しました。
constexpr char kWideReplaced[] =
    "\x91S\x8Ap\x89p\x90\x94\x8E\x9A\x82\xF0\x92u\x8A\xB7\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
    "B";
// 全角英数字が含まれています。
constexpr char kWidePresent[] =
    "\x91S\x8Ap\x89p\x90\x94\x8E\x9A\x82\xAA\x8A\xDC\x82\xDC\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82"
    "\xB7\x81"
    "B";
// 半角カタカナを置換しました。
constexpr char kKanaReplaced[] =
    "\x94\xBC\x8Ap\x83J\x83^\x83J\x83i\x82\xF0\x92u\x8A\xB7\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
    "B";
// 半角カタカナが含まれています。
constexpr char kKanaPresent[] =
    "\x94\xBC\x8Ap\x83J\x83^\x83J\x83i\x82\xAA\x8A\xDC\x82\xDC\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82"
    "\xB7\x81"
    "B";
// 外字・特殊文字“%s(0x%4X)”を置換しました。
constexpr char kSpecialReplaced[] =
    "\x8AO\x8E\x9A\x81"
    "E\x93\xC1\x8E\xEA\x95\xB6\x8E\x9A\x81g%s(0x%4X)\x81h\x82\xF0\x92u\x8A\xB7\x82\xB5\x82\xDC\x82"
    "\xB5\x82\xBD\x81"
    "B";
// 外字・特殊文字“%s(0x%4X)”が含まれています。
constexpr char kSpecialPresent[] =
    "\x8AO\x8E\x9A\x81"
    "E\x93\xC1\x8E\xEA\x95\xB6\x8E\x9A\x81g%s(0x%4X)\x81h\x82\xAA\x8A\xDC\x82\xDC\x82\xEA\x82\xC4"
    "\x82\xA2\x82\xDC\x82\xB7\x81"
    "B";
// 禁則文字チェックに失敗しました。(%d)
constexpr char kFailed[] =
    "\x8B\xD6\x91\xA5\x95\xB6\x8E\x9A\x83`\x83"
    "F\x83"
    "b\x83N\x82\xC9\x8E\xB8\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
    "B(%d)";

}  // namespace

int CheckLog::Open(Env& env, const char* path) {
  file_.reset();
  if (path == nullptr || *path == '\0') return kOk;
  std::unique_ptr<File> file = env.Open(path, OpenMode::kOpenAlways);
  uint64_t size = 0;
  if (!file || !file->Size(&size) || !file->Seek(size)) return kCheckLogOpen;
  file_ = std::move(file);
  logged_.reset();
  return kOk;
}

void CheckLog::Line(const char* format, ...) {
  if (!file_) return;
  // Room for the newline after the longest line; nothing here allocates, so a failure report can
  // still be written when memory has run out.
  char line[kLineSize + 1];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, kLineSize, format, args);
  va_end(args);
  if (n < 0) return;
  const size_t length = size_t(n) < kLineSize ? size_t(n) : kLineSize - 1;
  line[length] = '\n';
  // A line that cannot be written is lost; the check goes on.
  file_->Write(line, length + 1);
}

void CheckLog::Failed(int status) {
  Line(kFailed, status);
}

void CheckLog::Summary(int found_mask, int replace_mask) {
  if (found_mask & kCategoryWide)
    Line("%s", replace_mask & kCategoryWide ? kWideReplaced : kWidePresent);
  if (found_mask & kCategoryKana)
    Line("%s", replace_mask & kCategoryKana ? kKanaReplaced : kKanaPresent);
}

void CheckLog::SpecialMet(std::string_view ch, uint16_t code, bool replaced) {
  if (!file_ || logged_.test(code)) return;
  logged_.set(code);
  char text[3] = {};
  std::memcpy(text, ch.data(), ch.size() < 2 ? ch.size() : 2);
  Line(replaced ? kSpecialReplaced : kSpecialPresent, text, unsigned(code));
}

}  // namespace qs
