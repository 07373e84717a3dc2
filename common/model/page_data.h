// A page-data entry names one item of page content: its kind and its number within the kind.
#ifndef QSTORE_COMMON_MODEL_PAGE_DATA_H_
#define QSTORE_COMMON_MODEL_PAGE_DATA_H_

#include <cstdint>

namespace qs {

enum Kind : uint8_t {
  kNoKind = 0,
  kChart = 1,
  kText = 2,
  kFreCell = 3,
  kFigure = 4,
  kInsFigure = 5,
};

// Compared and copied as one 16-bit value: byte 0 the kind, byte 1 the number.
struct PageData {
  uint8_t kind = 0;
  uint8_t no = 0;

  static PageData FromValue(uint32_t v) {
    return PageData{uint8_t(v & 0xFF), uint8_t((v >> 8) & 0xFF)};
  }
  uint16_t value() const { return uint16_t(kind | (no << 8)); }
  bool operator==(const PageData& o) const { return kind == o.kind && no == o.no; }
  bool operator!=(const PageData& o) const { return !(*this == o); }
};

// Capacity of each kind's table on a page, by kind (0 for kinds that have no table).
constexpr int KindCapacity(uint8_t kind) {
  switch (kind) {
    case kChart:
    case kText:
    case kFreCell:
      return 32;
    case kFigure:
      return 128;
    case kInsFigure:
      return 64;
    default:
      return 0;
  }
}

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_PAGE_DATA_H_
