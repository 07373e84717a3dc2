// What the tool reads back from an open form or document, and the one interface over both kinds.
// The page model and the header are the same in both libraries, so info, dump and render work on
// these plain values and never ask which library they came from.
#ifndef QSTORE_TOOLS_QSTORE_READER_H_
#define QSTORE_TOOLS_QSTORE_READER_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qstore_records.h"

namespace qstore::tool {

enum class FileKind { kForm, kDocument };

const char* KindName(FileKind kind);
// ".QFD" or no extension: a form (the form library's own rule); anything else: a document.
FileKind KindFromPath(const std::string& path);

// Strings below are the Shift-JIS bytes as stored; ShowText() turns them into UTF-8.
struct HeaderInfo {
  FormInf inf{};
  std::string title;  // the title kept beside the information block
  std::string memo;
  FormDateTime created{}, updated{};
  bool own_colors = false;  // false: the default colour table
  std::array<uint32_t, 16> colors{};
  bool has_header_footer = false;
};

struct CellInfo {
  uint16_t row = 0, col = 0;            // the cell's origin
  uint16_t last_row = 0, last_col = 0;  // its far corner
  ChartCell attr{};
  std::string text;
};

struct ChartInfo {
  uint16_t entry = 0;
  ChartInf inf{};
  uint16_t hr1 = 0, hr2 = 0;
  std::vector<uint16_t> heights;               // rows
  std::vector<uint16_t> widths;                // columns
  std::vector<std::vector<ChartLine>> vlines;  // [row - 1][boundary 0..Cols]
  std::vector<std::vector<ChartLine>> hlines;  // [boundary 0..Rows][col - 1]
  std::vector<CellInfo> cells;                 // cells with attributes, in row order
};

struct TextInfo {
  uint16_t entry = 0;
  Text rec{};
  std::string text;
};

struct FigureInfo {
  uint16_t entry = 0;
  Figure rec{};
};

struct PictureInfo {
  uint16_t entry = 0;
  InsFigure rec{};
  std::string path;     // the library's copy of the picture
  std::string format;   // "png", "jpeg", "gif", "bmp", "webp", "svg" or "" when not recognised
  long long size = -1;  // bytes, -1 when the copy cannot be read
};

// A field placement record of a form page.
struct PlacementInfo {
  uint16_t layout_id = 0;  // field id, or structure id of a table placement
  uint32_t layout_no = 0;
  uint16_t entry = 0;  // the chart or free cell that holds it
  LayoutPos pos{};
  bool table = false;
};

struct PageInfo {
  int number = 0;
  PageInf inf{};
  std::vector<uint16_t> order;  // the page-data entries in list order
  std::vector<ChartInfo> charts;
  std::vector<TextInfo> texts;
  std::vector<TextInfo> free_cells;
  std::vector<FigureInfo> figures;
  std::vector<PictureInfo> pictures;
  std::vector<PlacementInfo> placements;
};

struct FieldInfo {
  Field field{};
  FieldForm form{};
  int def_form = -1;
  int layout_count = 0;
  uint16_t offset_row = 0, offset_col = 0;
};

// The field definitions a form's template yields.
struct FieldSet {
  bool has_control = false;
  FieldControl control{};
  std::vector<FieldStruct> structs;
  std::vector<FieldInfo> fields;
};

class Reader {
 public:
  virtual ~Reader() = default;
  virtual FileKind kind() const = 0;
  const std::string& path() const { return path_; }

  virtual HeaderInfo Header() = 0;
  virtual int PageCount() = 0;
  // Everything of page `number` (1-based); throws CallError when the library refuses a read.
  virtual PageInfo Page(int number) = 0;
  // The field definitions (forms only; empty for documents).
  virtual FieldSet Fields() { return {}; }

 protected:
  explicit Reader(std::string path) : path_(std::move(path)) {}

 private:
  std::string path_;
};

// Opens the file as a form or a document; throws CallError when the library cannot open it.
std::unique_ptr<Reader> OpenReader(const std::string& path, FileKind kind);

// The absolute form of a path: the form library looks names that are no full path up in its
// search directories, so every path the tool hands a library is made absolute first.
std::string LibraryPath(const std::string& path);

// A form opens only when its template can be read, and templates are looked up under the directory
// service's base directory (SITEPATHS_BASE_DIR), in QFT/. When that is not set, the tool uses the
// form's own directory, or the parent of a directory named QFD: the layout the libraries expect.
void PrepareTemplateLookup(const std::string& form_path);

// The picture format from a file's first bytes ("" when unknown or malformed).
std::string PictureFormat(const std::string& bytes);

// Where a figure or picture lies: the tool reads the first four 32-bit values of its geometry as
// left, top, right and bottom in page units.
struct Box {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
Box FigureBox(const Figure& figure);
Box PictureBox(const InsFigure& picture);

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_READER_H_
