// The compact forms in which page content is kept in memory and in files: colours as palette
// indexes, fonts as two-byte packed fonts. Their layouts are also the bodies of the file records.
#ifndef QSTORE_COMMON_MODEL_STORED_RECORDS_H_
#define QSTORE_COMMON_MODEL_STORED_RECORDS_H_

#include <cstddef>
#include <cstdint>

namespace qs {

#pragma pack(push, 1)

// Byte 0: bits 0-2 font number (slot 1..5 of the header's font names), bits 3-7 Value5.
// Byte 1: bits 0-2 Value3, bits 3-4 ValueA, bits 5-6 ValueB, bit 7 ValueC.
struct PackedFont {
  uint8_t b0;
  uint8_t b1;
  int number() const { return b0 & 0x07; }
};

// A chart cell's attributes, kept in the page's cell-attribute pool.
struct CellAttr {
  uint8_t kind;
  PackedFont font;
  uint16_t attr[6];
  uint8_t color1;
  uint8_t mode;
  uint8_t color2;
};

// A ruled line.
struct LineRec {
  uint8_t style;  // 0 = no line
  uint16_t param;
  uint8_t color;
};

// The head of a chart record: the chart's information with its line colour as a palette index.
struct ChartInfRec {
  uint8_t flag;
  int32_t left, top, right, bottom;
  uint16_t rows, cols;
  uint16_t row_hight;
  uint8_t line_style;
  uint16_t line_param;
  uint8_t line_color;
};

// Texts and free cells share one stored layout.
struct TextRec {
  uint8_t kind;
  int32_t left, top, right, bottom;
  PackedFont font;
  uint16_t attr[6];
  uint8_t color1;
  uint8_t mode;
  uint8_t color2;
  uint16_t text_id;  // id in the page's string pool, 0 = none
};
using FreCellRec = TextRec;

struct FigureRec {
  uint8_t shape;
  uint8_t style;
  uint16_t param;
  uint8_t color1;
  uint8_t fill;
  uint8_t color2;
  uint8_t geometry[24];
};

struct InsFigureRec {
  int32_t geometry[9];
  uint8_t mode;
  char file_name[256];  // full path of the library's own copy of the picture
};

#pragma pack(pop)

static_assert(sizeof(PackedFont) == 2, "packed font is 2 bytes");
static_assert(sizeof(CellAttr) == 18, "cell attribute record is 18 bytes");
static_assert(sizeof(LineRec) == 4, "line record is 4 bytes");
static_assert(sizeof(ChartInfRec) == 27, "chart head is 27 bytes");
static_assert(sizeof(TextRec) == 36, "text record is 36 bytes");
static_assert(sizeof(FigureRec) == 31, "figure record is 31 bytes");
static_assert(sizeof(InsFigureRec) == 293, "inserted-figure record is 293 bytes");

// The picture file of an inserted figure moves between files (a saved item, a work file, an undo
// journal) in pieces of at most this size, so a picture never needs memory of its own size.
constexpr size_t kPicturePiece = 10240;

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_STORED_RECORDS_H_
