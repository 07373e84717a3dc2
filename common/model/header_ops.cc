#include "common/model/header_ops.h"

#include <cstring>

#include "common/status.h"
#include "platform/env.h"

namespace qs {

namespace {

// Counts the change and stores the edited copy.
int Store(Binder& b, const Header& next) {
  b.CountChange();
  return b.StoreHeader(next);
}

}  // namespace

int GetInf(Binder& b, FormInf* inf) {
  *inf = b.header().rec.inf;
  return kOk;
}

int GetInf2(Binder& b, FormInf* inf, char* title41) {
  *inf = b.header().rec.inf;
  CopyBounded(title41, kTitleSize, b.header().rec.title);
  return kOk;
}

int PutInf(Binder& b, const FormInf* inf) {
  Header next = b.header();
  next.rec.inf = *inf;
  return Store(b, next);
}

int PutInf2(Binder& b, const FormInf* inf, const char* title) {
  Header next = b.header();
  next.rec.inf = *inf;
  CopyBounded(next.rec.title, kTitleSize, title);
  return Store(b, next);
}

int GetCColor(Binder& b, uint32_t* colors16) {
  const Header& h = b.header();
  if (!h.ccolor) return kRefused;
  std::memcpy(colors16, h.ccolor->data(), sizeof(ColorTable));
  return kOk;
}

int PutCColor(Binder& b, const uint32_t* colors16) {
  Header next = b.header();
  next.ccolor.emplace();
  std::memcpy(next.ccolor->data(), colors16, sizeof(ColorTable));
  return Store(b, next);
}

int GetHeaderFooter(Binder& b, uint8_t* block360) {
  const Header& h = b.header();
  if (!h.header_footer) return kRefused;
  if (b.traits().zero_header_footer_is_absent) {
    bool all_zero = true;
    for (uint8_t byte : *h.header_footer) all_zero = all_zero && byte == 0;
    if (all_zero) return kRefused;
  }
  std::memcpy(block360, h.header_footer->data(), kHeaderFooterSize);
  return kOk;
}

int PutHeaderFooter(Binder& b, const uint8_t* block360) {
  Header next = b.header();
  next.header_footer.emplace();
  std::memcpy(next.header_footer->data(), block360, kHeaderFooterSize);
  return Store(b, next);
}

int GetMemo(Binder& b, char* text) {
  text[0] = '\0';
  const Header& h = b.header();
  if (!h.memo) return kRefused;
  std::memcpy(text, h.memo->c_str(), h.memo->size() + 1);
  return kOk;
}

int PutMemo(Binder& b, const char* text) {
  if (text == nullptr || text[0] == '\0') return kOk;
  const size_t length = strnlen(text, kMaxMemoLength + 1);
  if (length > kMaxMemoLength) return kRefused;
  Header next = b.header();
  next.memo.emplace(text, length);
  return Store(b, next);
}

int GetWorkInf(Binder&) {
  return kRefused;
}

int PutWorkInf(Binder& b) {
  b.CountChange();
  return kRefused;
}

void ToDateTime(int32_t seconds, FormDateTime* out) {
  const CalendarTime t = UtcCalendar(seconds);
  out->Year = uint16_t(t.year);
  out->Month = uint8_t(t.month);
  out->Day = uint8_t(t.day);
  out->Hour = uint8_t(t.hour);
  out->Minute = uint8_t(t.minute);
  out->Second = uint8_t(t.second);
}

int GetDateTime(Binder& b, FormDateTime* created, FormDateTime* updated) {
  ToDateTime(b.header().rec.created, created);
  ToDateTime(b.header().rec.updated, updated);
  return kOk;
}

int ResetDateTime(Binder& b) {
  Header next = b.header();
  next.rec.created = next.rec.updated = NowSeconds();
  return Store(b, next);
}

int UpdateDateTime(Binder& b) {
  Header next = b.header();
  next.rec.updated = NowSeconds();
  return Store(b, next);
}

}  // namespace qs
