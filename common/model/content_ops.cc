#include "common/model/content_ops.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "common/model/attributes.h"
#include "common/model/caller_values.h"
#include "common/status.h"
#include "common/undo/undo_record.h"
#include "platform/env.h"

namespace qs {

namespace {

constexpr size_t kPathSize = sizeof(InsFigureRec::file_name);
// A text of this Kind shows the title of the form's or document's information block.
constexpr uint8_t kTitleText = 1;

std::string_view CurrentTitle(Binder& b) {
  const char* title = b.header().rec.inf.Title;
  return std::string_view(title, BoundedLength(title, sizeof(FormInf::Title)));
}

void CopyOut(std::string_view s, char* out256) {
  const size_t n = s.size() < StringPool::kMaxLength ? s.size() : StringPool::kMaxLength;
  if (n != 0) std::memcpy(out256, s.data(), n);
  out256[n] = '\0';
}

// Texts and free cells share their stored layout; only where the Kind and the string come from
// differs.
enum class Flavour { kText, kFreCell };

KindTable<TextRec, 32>& TableOf(Page& page, Flavour f) {
  return f == Flavour::kText ? page.texts : page.fre_cells;
}

uint8_t KindOf(Flavour f) {
  return f == Flavour::kText ? kText : kFreCell;
}

// The Kind a put stores: a text's as given; a free cell's as given only where the library keeps it.
uint8_t StoredKind(Binder& b, Flavour f, uint8_t given) {
  if (f == Flavour::kText || b.traits().free_cell_keeps_kind) return given;
  return 0;
}

// The string a text or free cell stores: a title-bound text takes the title, not the caller's.
std::string StoredString(Binder& b, Flavour f, uint8_t kind, const char* text) {
  if (f == Flavour::kText && kind == kTitleText) return std::string(CurrentTitle(b));
  return std::string(CallerText(text));
}

void ToTextRec(Binder& b, const Text& in, uint8_t kind, const PackedFont& font, uint16_t text_id,
               TextRec* out) {
  TextRec rec{};
  rec.kind = kind;
  rec.left = in.Left;
  rec.top = in.Top;
  rec.right = in.Right;
  rec.bottom = in.Bottom;
  StoreLook(b.header(), in, font, &rec);
  rec.text_id = text_id;
  *out = rec;
}

void ToText(Binder& b, const TextRec& in, uint8_t kind, Text* out) {
  Text t{};
  t.Kind = kind;
  t.Left = in.left;
  t.Top = in.top;
  t.Right = in.right;
  t.Bottom = in.bottom;
  GiveLook(b.header(), in, &t);
  *out = t;
}

int GetTextLike(Binder& b, Flavour f, PageData entry, Text* out, char* text256) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  const TextRec* rec = TableOf(*page, f).Get(entry.no);
  if (rec == nullptr) return kRefused;
  const uint8_t kind = StoredKind(b, f, rec->kind);
  ToText(b, *rec, kind, out);
  if (f == Flavour::kText && kind == kTitleText)
    CopyOut(CurrentTitle(b), text256);
  else
    CopyOut(page->strings.View(rec->text_id), text256);
  return kOk;
}

int PutTextLike(Binder& b, Flavour f, PageData entry, const Text* in, const char* text) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  TextRec* rec = TableOf(*page, f).Get(entry.no);
  if (rec == nullptr) return kRefused;
  PackedFont font;
  if (PackFont(b, in->Font, &font) != kOk) return kNoFontSlot;
  const uint8_t kind = StoredKind(b, f, in->Kind);
  const std::string s = StoredString(b, f, kind, text);

  RecordPageData(b, PageData{KindOf(f), entry.no}, kChanged);

  uint16_t text_id = rec->text_id;
  if (s.empty()) {
    if (text_id != 0) page->strings.Free(&text_id);
  } else if (page->strings.Put(&text_id, s) != kOk) {
    return kRefused;
  }
  b.CurrentPageChanged();
  ToTextRec(b, *in, kind, font, text_id, rec);
  return kOk;
}

int AddTextLike(Binder& b, Flavour f, const Text* in, const char* text, uint16_t* out_entry) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  auto& table = TableOf(*page, f);
  // The font is refused first, then a full table or list; both are checked before anything is
  // taken, so a refused add leaves no record, no string and no font name behind.
  if (!FontSlotAvailable(b, in->Font)) return kNoFontSlot;
  const int no = table.LowestFree();
  if (no < 0 || page->data_count >= Page::kMaxData) return kRefused;
  PackedFont font;
  if (PackFont(b, in->Font, &font) != kOk) return kNoFontSlot;
  // An added free cell always starts with Kind 0; a text keeps its Kind.
  const uint8_t kind = f == Flavour::kText ? in->Kind : 0;
  const std::string s = StoredString(b, f, kind, text);

  auto rec = std::make_unique<TextRec>();
  uint16_t text_id = 0;
  if (!s.empty() && page->strings.Put(&text_id, s) != kOk) return kRefused;
  ToTextRec(b, *in, kind, font, text_id, rec.get());
  table.Store(no, std::move(rec));
  const PageData entry{KindOf(f), uint8_t(no)};
  b.CurrentPageChanged();
  page->AppendEntry(entry);
  *out_entry = entry.value();
  RecordPageData(b, entry, kAdded);
  return kOk;
}

void ToFigureRec(Binder& b, const Figure& in, FigureRec* out) {
  FigureRec rec{};
  rec.shape = in.Shape;
  rec.style = in.Style;
  rec.param = in.Param;
  rec.color1 = IndexOfColor(b.header(), in.Color1);
  rec.fill = in.Fill;
  rec.color2 = IndexOfColor(b.header(), in.Color2);
  std::memcpy(rec.geometry, in.Geometry, sizeof rec.geometry);
  *out = rec;
}

void ToFigure(Binder& b, const FigureRec& in, Figure* out) {
  Figure fig{};
  fig.Shape = in.shape;
  fig.Style = in.style;
  fig.Param = in.param;
  fig.Color1 = ColorOfIndex(b.header(), in.color1);
  fig.Fill = in.fill;
  fig.Color2 = ColorOfIndex(b.header(), in.color2);
  std::memcpy(fig.Geometry, in.geometry, sizeof fig.Geometry);
  *out = fig;
}

}  // namespace

int GetFreCell(Binder& b, PageData entry, FreCell* out, char* text256) {
  return GetTextLike(b, Flavour::kFreCell, entry, out, text256);
}

int PutFreCell(Binder& b, PageData entry, const FreCell* in, const char* text) {
  return PutTextLike(b, Flavour::kFreCell, entry, in, text);
}

int AddFreCell(Binder& b, const FreCell* in, const char* text, uint16_t* out_entry) {
  return AddTextLike(b, Flavour::kFreCell, in, text, out_entry);
}

int GetText(Binder& b, PageData entry, Text* out, char* text256) {
  return GetTextLike(b, Flavour::kText, entry, out, text256);
}

int PutText(Binder& b, PageData entry, const Text* in, const char* text) {
  return PutTextLike(b, Flavour::kText, entry, in, text);
}

int AddText(Binder& b, const Text* in, const char* text, uint16_t* out_entry) {
  return AddTextLike(b, Flavour::kText, in, text, out_entry);
}

int GetFigure(Binder& b, PageData entry, Figure* out) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  const FigureRec* rec = page->figures.Get(entry.no);
  if (rec == nullptr) return kRefused;
  ToFigure(b, *rec, out);
  return kOk;
}

int PutFigure(Binder& b, PageData entry, const Figure* in) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  FigureRec* rec = page->figures.Get(entry.no);
  if (rec == nullptr) return kRefused;
  RecordPageData(b, PageData{kFigure, entry.no}, kChanged);
  b.CurrentPageChanged();
  ToFigureRec(b, *in, rec);
  return kOk;
}

int AddFigure(Binder& b, const Figure* in, uint16_t* out_entry) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  const int no = page->figures.LowestFree();
  if (no < 0 || page->data_count >= Page::kMaxData) return kRefused;
  auto rec = std::make_unique<FigureRec>();
  ToFigureRec(b, *in, rec.get());
  page->figures.Store(no, std::move(rec));
  const PageData entry{kFigure, uint8_t(no)};
  b.CurrentPageChanged();
  page->AppendEntry(entry);
  *out_entry = entry.value();
  RecordPageData(b, entry, kAdded);
  return kOk;
}

int GetInsFigure(Binder& b, PageData entry, InsFigure* out, char* file_name256) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  const InsFigureRec* rec = page->ins_figures.Get(entry.no);
  if (rec == nullptr) return kRefused;
  InsFigure fig{};
  std::memcpy(fig.Geometry, rec->geometry, sizeof fig.Geometry);
  fig.Mode = rec->mode;
  *out = fig;
  CopyBounded(file_name256, kPathSize, rec->file_name);
  return kOk;
}

int PutInsFigure(Binder& b, PageData entry, const InsFigure* in) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  InsFigureRec* rec = page->ins_figures.Get(entry.no);
  if (rec == nullptr) return kRefused;
  RecordPageData(b, PageData{kInsFigure, entry.no}, kChanged);
  b.CurrentPageChanged();
  // The picture copy stays: only the placement and the mode change.
  std::memcpy(rec->geometry, in->Geometry, sizeof rec->geometry);
  rec->mode = in->Mode;
  return kOk;
}

int AddInsFigure(Binder& b, const InsFigure* in, char* path256, uint16_t* out_entry) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  Env* env = &b.env();
  const std::string source(path256, strnlen(path256, kPathSize - 1));
  if (b.traits().ins_figure_source_must_exist && !env->Exists(source)) return kNotFound;

  // A name the record cannot hold whole would lose the copy; it counts as a copy that failed.
  const std::string copy = b.FreshScratchName(source);
  if (copy.size() >= kPathSize) return kPictureCopy;
  if (!env->CopyFile(source, copy)) {
    // The name was free a moment ago: whatever stands there now is a partial copy of ours.
    env->Delete(copy);
    return kPictureCopy;
  }

  const int no = page->ins_figures.LowestFree();
  if (no < 0 || page->data_count >= Page::kMaxData) {
    // Nothing refers to the fresh copy; leaving it would only fill the work directory.
    env->Delete(copy);
    return kRefused;
  }
  std::unique_ptr<InsFigureRec> rec;
  try {
    rec = std::make_unique<InsFigureRec>();
  } catch (...) {
    env->Delete(copy);
    throw;
  }
  std::memcpy(rec->geometry, in->Geometry, sizeof rec->geometry);
  rec->mode = in->Mode;
  CopyBounded(rec->file_name, sizeof rec->file_name, copy.c_str());
  page->ins_figures.Store(no, std::move(rec));
  CopyBounded(path256, kPathSize, copy.c_str());
  const PageData entry{kInsFigure, uint8_t(no)};
  b.CurrentPageChanged();
  page->AppendEntry(entry);
  *out_entry = entry.value();
  RecordPageData(b, entry, kAdded);
  return kOk;
}

}  // namespace qs
