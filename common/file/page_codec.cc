#include "common/file/page_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

#include "common/model/chart_ops.h"
#include "common/status.h"
#include "platform/env.h"

namespace qs {

namespace {

constexpr size_t kChartHeadSize = sizeof(ChartInfRec);                    // 27
constexpr size_t kChartBodySize = kChartHeadSize + 4;                     // with the HR pair
constexpr size_t kSizeBodySize = 4;                                       // 'h', 'w'
constexpr size_t kLinesStart = 3;                                         // direction, boundary
constexpr size_t kFigureBodySize = 1 + sizeof(FigureRec);                 // 32
constexpr size_t kInsFigureBodySize = offsetof(InsFigureRec, file_name);  // 37

constexpr uint8_t kVertical = 0;
constexpr uint8_t kHorizontal = 1;

static_assert(kTextBodySize == 34, "text body is 34 bytes");
static_assert(kInsFigureBodySize == 37, "inserted figure body is 37 bytes");
static_assert(kFontByteOfCell == 5 + offsetof(CellAttr, font) &&
                  kFontByteOfText == offsetof(TextRec, font),
              "packed fonts where the files have them");

int WriteString(RecordWriter& out, std::string_view text) {
  return out.Write(kTagString, text.data(), text.size());
}

int WriteLines(RecordWriter& out, uint8_t direction, int boundary, int count,
               const LineTable& table) {
  int status = out.WriteHead(kTagLines, kLinesStart + 4 * size_t(count));
  uint8_t start[kLinesStart] = {direction};
  PutU16(start + 1, uint16_t(boundary));
  if (status == kOk) status = out.WriteBytes(start, sizeof start);
  for (int j = 1; j <= count && status == kOk; ++j) {
    const LineRec line = direction == kVertical ? table.Get(j, boundary) : table.Get(boundary, j);
    status = out.WriteBytes(&line, sizeof line);
  }
  return status;
}

int WriteChart(RecordWriter& out, const Page& page, const ChartRec& chart) {
  const int rows = chart.rows(), cols = chart.cols();
  // A chart whose only row or column was deleted has no grid left to carry and no reader would
  // take its head: like a text without string, it is not written.
  if (rows == 0 || cols == 0) return kOk;
  if (rows > kMaxChartRows || cols > kMaxChartCols) return kRefused;

  uint8_t body[kChartBodySize];
  std::memcpy(body, &chart.inf, kChartHeadSize);
  PutU16(body + kChartHeadSize, chart.hr1);
  PutU16(body + kChartHeadSize + 2, chart.hr2);
  int status = out.Write(kTagChart, body, sizeof body);

  for (int r = 1; r <= rows && status == kOk; ++r) {
    if (chart.rhight[r - 1] == chart.inf.row_hight) continue;
    uint8_t size[kSizeBodySize];
    PutU16(size, uint16_t(r));
    PutU16(size + 2, chart.rhight[r - 1]);
    status = out.Write(kTagRowHeight, size, sizeof size);
  }
  for (int c = 1; c <= cols && status == kOk; ++c) {
    uint8_t size[kSizeBodySize];
    PutU16(size, uint16_t(c));
    PutU16(size + 2, chart.cwidth[c - 1]);
    status = out.Write(kTagColWidth, size, sizeof size);
  }
  for (int k = 0; k <= cols && status == kOk; ++k)
    status = WriteLines(out, kVertical, k, rows, chart.vlines);
  for (int k = 0; k <= rows && status == kOk; ++k)
    status = WriteLines(out, kHorizontal, k, cols, chart.hlines);

  for (int r = 1; r <= rows && status == kOk; ++r) {
    for (int c = 1; c <= cols && status == kOk; ++c) {
      const uint16_t id = chart.cell_attr[r][c];
      if (id == 0) continue;
      CellAttr attr;
      if (page.cell_attrs.Get(id, &attr) != kOk) return kRefused;
      uint8_t cell[kCellBodySize] = {0};
      PutU16(cell + 1, uint16_t(r));
      PutU16(cell + 3, uint16_t(c));
      std::memcpy(cell + 5, &attr, sizeof attr);
      status = out.Write(kTagCell, cell, sizeof cell);
      const std::string_view text = page.strings.View(chart.cell_text[r][c]);
      if (status == kOk && !text.empty()) status = WriteString(out, text);
    }
  }
  return status;
}

int WriteTextLike(RecordWriter& out, const Page& page, uint8_t tag, const TextRec& rec) {
  int status = out.Write(tag, &rec, kTextBodySize);
  const std::string_view text = page.strings.View(rec.text_id);
  if (status == kOk && rec.text_id != 0 && !text.empty()) status = WriteString(out, text);
  return status;
}

int WriteInsFigure(Env& env, RecordWriter& out, const InsFigureRec& rec) {
  const std::string path(rec.file_name, strnlen(rec.file_name, sizeof rec.file_name));
  std::unique_ptr<File> picture = env.Open(path, OpenMode::kRead);
  uint64_t size = 0;
  // A picture that is gone cannot be carried, and an empty one would make a record no reader
  // takes; either fails the write rather than leave the figure out.
  if (!picture || !picture->Size(&size) || size == 0 ||
      size > uint64_t(INT32_MAX) - kInsFigureBodySize)
    return kPictureCopy;
  int status = out.WriteHead(kTagInsFigure, kInsFigureBodySize + size);
  if (status == kOk) status = out.WriteBytes(&rec, kInsFigureBodySize);
  std::unique_ptr<uint8_t[]> piece(new uint8_t[kPicturePiece]);
  for (uint64_t left = size; left > 0 && status == kOk;) {
    const size_t want = size_t(std::min<uint64_t>(left, kPicturePiece));
    size_t got = 0;
    if (!picture->Read(piece.get(), want, &got) || got != want) return kRefused;
    status = out.WriteBytes(piece.get(), want);
    left -= want;
  }
  return status;
}

// The extension a picture's first bytes suggest, as a name FreshScratchName takes it from; the
// file format does not carry the original name.
const char* PictureNameLike(const uint8_t* p, size_t n) {
  auto starts = [&](const char* magic, size_t len) {
    return n >= len && std::memcmp(p, magic, len) == 0;
  };
  if (starts("BM", 2)) return "picture.bmp";
  if (starts("\x89PNG", 4)) return "picture.png";
  if (starts("\xFF\xD8\xFF", 3)) return "picture.jpg";
  if (starts("GIF8", 4)) return "picture.gif";
  if (starts("II*\0", 4) || starts("MM\0*", 4)) return "picture.tif";
  if (starts("\xD7\xCD\xC6\x9A", 4)) return "picture.wmf";
  if (n >= 44 && std::memcmp(p + 40, " EMF", 4) == 0) return "picture.emf";
  return "picture";
}

}  // namespace

int WritePageHead(RecordWriter& out, int number, uint16_t inf) {
  uint8_t body[kPageBodySize];
  PutU16(body, uint16_t(number));
  PutU16(body + 2, inf);
  return out.Write(kTagPage, body, sizeof body);
}

int ReadPageHead(RecordReader& in, const RecordHead& head, int* number, uint16_t* inf) {
  uint8_t body[kPageBodySize];
  if (size_t(head.length) != sizeof body || in.ReadBody(body, sizeof body) != kOk) return kDamaged;
  *number = GetU16(body);
  *inf = GetU16(body + 2);
  return kOk;
}

int WritePageItem(Env& env, RecordWriter& out, const Page& page, PageData entry) {
  switch (entry.kind) {
    case kChart:
      if (const ChartRec* chart = page.charts.Get(entry.no)) return WriteChart(out, page, *chart);
      break;
    case kText:
      if (const TextRec* text = page.texts.Get(entry.no))
        if (text->text_id != 0) return WriteTextLike(out, page, kTagText, *text);
      break;
    case kFreCell:
      if (const FreCellRec* cell = page.fre_cells.Get(entry.no))
        return WriteTextLike(out, page, kTagFreCell, *cell);
      break;
    case kFigure:
      if (const FigureRec* figure = page.figures.Get(entry.no)) {
        uint8_t body[kFigureBodySize] = {0};
        std::memcpy(body + 1, figure, sizeof *figure);
        return out.Write(kTagFigure, body, sizeof body);
      }
      break;
    case kInsFigure:
      if (const InsFigureRec* figure = page.ins_figures.Get(entry.no))
        return WriteInsFigure(env, out, *figure);
      break;
    default:
      break;
  }
  return kOk;
}

PageContentReader::PageContentReader(Binder& b, RecordReader& in, PageReadRules rules)
    : binder_(b), in_(in), rules_(rules) {}

void PageContentReader::StartPage(Page* page) {
  page_ = page;
  chart_ = nullptr;
  last_entry_ = PageData{};
  pictures_.clear();
}

bool PageContentReader::Takes(uint8_t tag) {
  switch (tag) {
    case kTagChart:
    case kTagRowHeight:
    case kTagColWidth:
    case kTagLines:
    case kTagCell:
    case kTagText:
    case kTagFreCell:
    case kTagFigure:
    case kTagInsFigure:
      return true;
    default:
      return false;
  }
}

int PageContentReader::Read(const RecordHead& head) {
  if (page_ == nullptr) return kDamaged;
  switch (head.tag) {
    case kTagChart:
      return ReadChart(head);
    case kTagRowHeight:
    case kTagColWidth:
      return ReadLineSize(head);
    case kTagLines:
      return ReadLines(head);
    case kTagCell:
      return ReadCell(head);
    case kTagText:
    case kTagFreCell:
      return ReadTextLike(head);
    case kTagFigure:
      return ReadFigure(head);
    case kTagInsFigure:
      return ReadInsFigure(head);
    default:
      return kDamaged;
  }
}

uint8_t PageContentReader::FixedFontByte(uint8_t b0) const {
  return CurrentFontByte(version_, b0);
}

int PageContentReader::CheckRoom(uint8_t kind) const {
  return page_->data_count < Page::kMaxData && page_->LowestFree(kind) >= 0 ? kOk : kRefused;
}

int PageContentReader::ReadChart(const RecordHead& head) {
  const size_t n = size_t(head.length);
  if (n != kChartBodySize && !(rules_.accept_short_chart_head && n == kChartHeadSize))
    return kDamaged;
  uint8_t body[kChartBodySize] = {0};
  if (in_.ReadBody(body, n) != kOk) return kDamaged;
  ChartInfRec inf;
  std::memcpy(&inf, body, kChartHeadSize);
  std::unique_ptr<ChartRec> chart = ChartFromHead(inf, ChartEdges::kAsGiven);
  if (chart == nullptr) return kDamaged;
  if (CheckRoom(kChart) != kOk) return kRefused;
  if (n == kChartBodySize) {
    chart->hr1 = GetU16(body + kChartHeadSize);
    chart->hr2 = GetU16(body + kChartHeadSize + 2);
  }
  ChartRec* made = chart.get();
  const int no = page_->charts.Store(0, std::move(chart));
  last_entry_ = PageData{kChart, uint8_t(no)};
  page_->AppendEntry(last_entry_);
  chart_ = made;
  return kOk;
}

int PageContentReader::ReadLineSize(const RecordHead& head) {
  const bool rows = head.tag == kTagRowHeight;
  uint8_t body[kSizeBodySize];
  if (chart_ == nullptr || head.length != int32_t(sizeof body) ||
      in_.ReadBody(body, sizeof body) != kOk)
    return kDamaged;
  const int line = GetU16(body);
  if (!(rows ? chart_->RowInRange(line) : chart_->ColInRange(line))) return kDamaged;
  (rows ? chart_->rhight : chart_->cwidth)[line - 1] = GetU16(body + 2);
  if (rows)
    chart_->RecomputeRowPos();
  else
    chart_->RecomputeColPos();
  return kOk;
}

int PageContentReader::ReadLines(const RecordHead& head) {
  if (chart_ == nullptr || size_t(head.length) < kLinesStart) return kDamaged;
  uint8_t start[kLinesStart];
  if (in_.ReadBody(start, sizeof start) != kOk) return kDamaged;
  const bool vertical = start[0] == kVertical;
  const int boundary = GetU16(start + 1);
  const int count = vertical ? chart_->rows() : chart_->cols();
  const int last_boundary = vertical ? chart_->cols() : chart_->rows();
  if (size_t(head.length) != kLinesStart + 4 * size_t(count) || boundary > last_boundary)
    return kDamaged;
  for (int j = 1; j <= count; ++j) {
    LineRec line;
    if (in_.ReadBody(&line, sizeof line) != kOk) return kDamaged;
    if (vertical)
      chart_->vlines.Set(j, boundary, line);
    else
      chart_->hlines.Set(boundary, j, line);
  }
  return kOk;
}

int PageContentReader::ReadFollowingString(bool* found, std::string* text) {
  *found = false;
  text->clear();
  RecordHead next;
  if (in_.ReadHead(&next) != kOk) return kDamaged;
  if (next.end || next.tag != kTagString) {
    in_.PutBack(next);
    return kOk;
  }
  if (size_t(next.length) > StringPool::kMaxLength) return kDamaged;
  char body[StringPool::kMaxLength];
  if (in_.ReadBody(body, size_t(next.length)) != kOk) return kDamaged;
  *found = true;
  text->assign(body, strnlen(body, size_t(next.length)));
  return kOk;
}

int PageContentReader::ReadCell(const RecordHead& head) {
  uint8_t body[kCellBodySize];
  if (chart_ == nullptr || head.length != int32_t(sizeof body) ||
      in_.ReadBody(body, sizeof body) != kOk)
    return kDamaged;
  body[kFontByteOfCell] = FixedFontByte(body[kFontByteOfCell]);
  const int row = GetU16(body + 1), col = GetU16(body + 3);
  CellAttr attr;
  std::memcpy(&attr, body + 5, sizeof attr);
  if (!chart_->RowInRange(row) || !chart_->ColInRange(col) || CellAttrPool::IsFreedRecord(attr))
    return kDamaged;

  bool found = false;
  std::string text;
  const int status = ReadFollowingString(&found, &text);
  if (status != kOk) return status;

  // A position named twice keeps the last record; its ids are reused, so nothing is left behind.
  uint16_t attr_id = chart_->cell_attr[row][col];
  uint16_t text_id = chart_->cell_text[row][col];
  if (page_->cell_attrs.Put(&attr_id, attr) != kOk) return kRefused;
  chart_->cell_attr[row][col] = attr_id;
  if (!text.empty()) {
    if (page_->strings.Put(&text_id, text) != kOk) return kRefused;
  } else if (text_id != 0) {
    page_->strings.Free(&text_id);
  }
  chart_->cell_text[row][col] = text_id;
  return kOk;
}

int PageContentReader::ReadTextLike(const RecordHead& head) {
  const bool is_text = head.tag == kTagText;
  uint8_t body[kTextBodySize];
  if (head.length != int32_t(sizeof body) || in_.ReadBody(body, sizeof body) != kOk)
    return kDamaged;
  body[kFontByteOfText] = FixedFontByte(body[kFontByteOfText]);
  std::unique_ptr<TextRec> rec(new TextRec());
  std::memcpy(rec.get(), body, sizeof body);
  rec->text_id = 0;
  // A free cell comes in as an add makes it: where the library does not keep a free cell's Kind,
  // a foreign byte must not survive into the files it writes.
  if (!is_text && !binder_.traits().free_cell_keeps_kind) rec->kind = 0;

  bool found = false;
  std::string text;
  int status = ReadFollowingString(&found, &text);
  if (status != kOk) return status;
  // A text exists only through its string: one without is dropped.
  if (is_text && text.empty()) return kOk;
  status = CheckRoom(is_text ? kText : kFreCell);
  if (status != kOk) return status;
  if (!text.empty() && page_->strings.Put(&rec->text_id, text) != kOk) return kRefused;

  const uint8_t kind = is_text ? kText : kFreCell;
  const int no =
      is_text ? page_->texts.Store(0, std::move(rec)) : page_->fre_cells.Store(0, std::move(rec));
  last_entry_ = PageData{kind, uint8_t(no)};
  page_->AppendEntry(last_entry_);
  return kOk;
}

int PageContentReader::ReadFigure(const RecordHead& head) {
  const size_t n = size_t(head.length);
  const bool older = n == kFigureBodySize - 1;
  if (!older && n != kFigureBodySize && !(rules_.accept_long_figures && n > kFigureBodySize))
    return kDamaged;
  uint8_t body[kFigureBodySize] = {0};
  // The older layout lacks the leading byte; the older shape 1 also lacked two bytes before its
  // geometry.
  if (in_.ReadBody(older ? body + 1 : body, kFigureBodySize - (older ? 1 : 0)) != kOk)
    return kDamaged;
  if (older && body[1] == 1) {
    std::memmove(body + 8, body + 6, 24);
    body[6] = body[7] = 0;
  }
  if (CheckRoom(kFigure) != kOk) return kRefused;
  std::unique_ptr<FigureRec> figure(new FigureRec());
  std::memcpy(figure.get(), body + 1, sizeof *figure);
  const int no = page_->figures.Store(0, std::move(figure));
  last_entry_ = PageData{kFigure, uint8_t(no)};
  page_->AppendEntry(last_entry_);
  return kOk;
}

// Past the record's first 37 bytes, a picture that cannot be read in full from the file is a
// picture that could not be written out: kPictureCopy, like a failed write.
int PageContentReader::ExtractPicture(uint64_t size, std::string* name) {
  std::unique_ptr<uint8_t[]> piece(new uint8_t[kPicturePiece]);
  size_t want = size_t(std::min<uint64_t>(size, kPicturePiece));
  if (in_.ReadBody(piece.get(), want) != kOk) return kPictureCopy;
  *name = binder_.FreshScratchName(PictureNameLike(piece.get(), want));
  if (name->size() >= sizeof(InsFigureRec::file_name)) return kPictureCopy;
  Env& env = binder_.env();
  std::unique_ptr<File> file = env.Open(*name, OpenMode::kCreateNew);
  if (!file) return kPictureCopy;
  int status = kOk;
  for (uint64_t left = size;;) {
    if (!file->Write(piece.get(), want)) {
      status = kPictureCopy;
      break;
    }
    left -= want;
    if (left == 0) break;
    want = size_t(std::min<uint64_t>(left, kPicturePiece));
    if (in_.ReadBody(piece.get(), want) != kOk) {
      status = kPictureCopy;
      break;
    }
  }
  if (!file->Close() && status == kOk) status = kPictureCopy;
  if (status != kOk) env.Delete(*name);
  return status;
}

bool PageContentReader::KnownPicture(size_t n, uint64_t size, std::string* name) const {
  if (known_ == nullptr || n >= known_->size()) return false;
  const std::string& known = (*known_)[n];
  if (known.empty() || known.size() >= sizeof(InsFigureRec::file_name)) return false;
  std::unique_ptr<File> file = binder_.env().Open(known, OpenMode::kRead);
  uint64_t known_size = 0;
  if (!file || !file->Size(&known_size) || known_size != size) return false;
  *name = known;
  return true;
}

int PageContentReader::ReadInsFigure(const RecordHead& head) {
  if (size_t(head.length) <= kInsFigureBodySize) return kDamaged;
  std::unique_ptr<InsFigureRec> figure(new InsFigureRec());
  if (in_.ReadBody(figure.get(), kInsFigureBodySize) != kOk) return kDamaged;
  if (CheckRoom(kInsFigure) != kOk) return kRefused;
  std::string name;
  const uint64_t size = uint64_t(head.length) - kInsFigureBodySize;
  // A copy that still holds the picture is taken as it is; the picture's bytes are skipped.
  if (!KnownPicture(pictures_.size(), size, &name)) {
    const int status = ExtractPicture(size, &name);
    if (status != kOk) return status;
  }
  pictures_.push_back(name);
  std::memcpy(figure->file_name, name.c_str(), name.size() + 1);
  const int no = page_->ins_figures.Store(0, std::move(figure));
  last_entry_ = PageData{kInsFigure, uint8_t(no)};
  page_->AppendEntry(last_entry_);
  return kOk;
}

}  // namespace qs
