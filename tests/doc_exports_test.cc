// The page-model exports of the two libraries: one model under two binders. Where the libraries
// are meant to differ, a table states how; everywhere else one call sequence must give the same
// transcript in both.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "docstore.h"
#include "formstore.h"
#include "support/doc_site.h"
#include "support/form_fixture.h"

namespace {

using qs_test::Font;

// The calls of one library under common names. Only the traversal differs in its arguments: the
// document library takes a filter, which the form library has no argument for.
#define QS_TEST_NO_FILTER(filter)
#define QS_TEST_FILTER(filter) filter,
#define QS_TEST_LIBRARY(Name, P, Handle, Item, FilterArg)                                          \
  struct Name {                                                                                    \
    using H = Handle;                                                                              \
    static constexpr auto GetInf2 = &P##Get##Item##Inf2;                                           \
    static constexpr auto PutInf2 = &P##Put##Item##Inf2;                                           \
    static constexpr auto GetCColor = &P##Get##Item##CColor;                                       \
    static constexpr auto PutCColor = &P##Put##Item##CColor;                                       \
    static constexpr auto GetHeaderFooter = &P##Get##Item##HeaderFooter;                           \
    static constexpr auto PutHeaderFooter = &P##Put##Item##HeaderFooter;                           \
    static constexpr auto GetMemo = &P##Get##Item##Memo;                                           \
    static constexpr auto PutMemo = &P##Put##Item##Memo;                                           \
    static constexpr auto GetWorkInf = &P##GetWorkInf;                                             \
    static constexpr auto PutWorkInf = &P##PutWorkInf;                                             \
    static constexpr auto GetPageCount = &P##GetPageCount;                                         \
    static constexpr auto GetCurPage = &P##GetCurPage;                                             \
    static constexpr auto PutCurPage = &P##PutCurPage;                                             \
    static constexpr auto GetPageInf = &P##GetPageInf;                                             \
    static constexpr auto PutPageInf = &P##PutPageInf;                                             \
    static constexpr auto GetPageDataCount = &P##GetPageDataCount;                                 \
    static constexpr auto GetPageData = &P##GetPageData;                                           \
    static constexpr auto DeletePageData = &P##DeletePageData;                                     \
    static constexpr auto NextPageData = &P##NextPageData;                                         \
    static constexpr auto MoveTopPageData = &P##MoveTopPageData;                                   \
    static constexpr auto MoveBottomPageData = &P##MoveBottomPageData;                             \
    static constexpr auto AddChart = &P##AddChart;                                                 \
    static constexpr auto GetChartInf = &P##GetChartInf;                                           \
    static constexpr auto PutChartHR = &P##PutChartHR;                                             \
    static constexpr auto GetChartHR = &P##GetChartHR;                                             \
    static constexpr auto PutChartRHight = &P##PutChartRHight;                                     \
    static constexpr auto PutChartCWidth = &P##PutChartCWidth;                                     \
    static constexpr auto InsertChartR = &P##InsertChartR;                                         \
    static constexpr auto DeleteChartC = &P##DeleteChartC;                                         \
    static constexpr auto GetChartCell = &P##GetChartCell;                                         \
    static constexpr auto PutChartCell = &P##PutChartCell;                                         \
    static constexpr auto PutChartVline = &P##PutChartVline;                                       \
    static constexpr auto GetChartHline = &P##GetChartHline;                                       \
    static constexpr auto ChartGetExistCell = &P##ChartGetExistCell;                               \
    static constexpr auto ChartCellArea = &P##ChartCellArea;                                       \
    static constexpr auto ChartCellRect = &P##ChartCellRect;                                       \
    static int NextCell(H* h, [[maybe_unused]] uint8_t filter, uint32_t e, uint16_t r, uint16_t c, \
                        uint16_t* nr, uint16_t* nc) {                                              \
      return P##ChartNextCell(h, FilterArg(filter) e, r, c, nr, nc);                               \
    }                                                                                              \
    static int NextCellEx(H* h, [[maybe_unused]] uint8_t filter, uint32_t e, uint16_t r,           \
                          uint16_t c, uint8_t d, uint16_t* nr, uint16_t* nc) {                     \
      return P##ChartNextCellEx(h, FilterArg(filter) e, r, c, d, nr, nc);                          \
    }                                                                                              \
    static constexpr auto AddText = &P##AddText;                                                   \
    static constexpr auto GetText = &P##GetText;                                                   \
    static constexpr auto PutText = &P##PutText;                                                   \
    static constexpr auto AddFreCell = &P##AddFreCell;                                             \
    static constexpr auto GetFreCell = &P##GetFreCell;                                             \
    static constexpr auto PutFreCell = &P##PutFreCell;                                             \
    static constexpr auto AddFigure = &P##AddFigure;                                               \
    static constexpr auto GetFigure = &P##GetFigure;                                               \
    static constexpr auto AddInsFigure = &P##AddInsFigure;                                         \
    static constexpr auto GetInsFigure = &P##GetInsFigure;                                         \
    static constexpr auto PutInsFigure = &P##PutInsFigure;                                         \
    static constexpr auto UndoControlStart = &P##UndoControlStart;                                 \
    static constexpr auto UndoControlEnd = &P##UndoControlEnd;                                     \
    static constexpr auto UndoBlockStart = &P##UndoBlockStart;                                     \
    static constexpr auto UndoBlockEnd = &P##UndoBlockEnd;                                         \
    static constexpr auto UndoCount = &P##UndoCount;                                               \
    static constexpr auto RedoCount = &P##RedoCount;                                               \
    static constexpr auto Undo = &P##Undo;                                                         \
    static constexpr auto Redo = &P##Redo;                                                         \
    static int Open(H* h);                                                                         \
    static int AddPageAfter(H* h);                                                                 \
    static int Updates(H* h);                                                                      \
  };

QS_TEST_LIBRARY(FormLib, Qfa, FormHandle, Form, QS_TEST_NO_FILTER)
QS_TEST_LIBRARY(DocLib, Qda, DocHandle, Doc, QS_TEST_FILTER)

// Creating an item and adding pages are each library's own calls.
int FormLib::Open(FormHandle* h) {
  const FormInf inf{};
  const PageInf page{};
  int status = QfaCreateForm(h, &inf);
  return status != 0 ? status : QfaInsertFormPage(h, 0, &page);
}
int FormLib::AddPageAfter(FormHandle* h) {
  const PageInf page{};
  return QfaInsertFormPage(h, 1, &page);
}
int FormLib::Updates(FormHandle* h) {
  return QfaQueryFormUpdate(h);
}
int DocLib::Open(DocHandle* h) {
  const DocInf inf{};
  int status = QdaCreateDoc(h, &inf);
  return status != 0 ? status : QdaInsertPage(h, 1);
}
int DocLib::AddPageAfter(DocHandle* h) {
  return QdaInsertPage(h, 1);
}
int DocLib::Updates(DocHandle* h) {
  return QdaQueryDocUpdate(h);
}

// What a call sequence reports: each call's result and the bytes it wrote out.
class Transcript {
 public:
  template <typename... Outs>
  void Log(const char* what, int result, const Outs&... outs) {
    std::string line = std::string(what) + " -> " + std::to_string(result);
    (Append(&line, outs), ...);
    lines_.push_back(line);
  }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  template <typename T>
  static void Append(std::string* line, const T& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(&out);
    *line += " |";
    for (size_t i = 0; i < sizeof out; ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02x", p[i]);
      *line += hex;
    }
  }
  std::vector<std::string> lines_;
};

ChartCell Cell(uint8_t kind, const char* font) {
  ChartCell c{};
  c.Kind = kind;
  c.Font = Font(font);
  c.Color1 = 0x0000FF;
  return c;
}

Text TextAt(int32_t left, int32_t top, const char* font) {
  Text t{};
  t.Left = left;
  t.Top = top;
  t.Right = left + 50;
  t.Bottom = top + 20;
  t.Font = Font(font);
  return t;
}

// One representative use of every shared call, on two pages, with undo and redo at the end.
template <typename L>
std::vector<std::string> RunSequence(typename L::H* h, const std::string& picture) {
  Transcript t;
  t.Log("open", L::Open(h));
  const int updates_before = L::Updates(h);

  FormInf inf{};
  inf.ReadOrder = 1;
  std::strcpy(inf.Title, "title");
  char title[41] = {};
  t.Log("PutInf2", L::PutInf2(h, &inf, "doc title"));
  t.Log("GetInf2", L::GetInf2(h, &inf, title), inf, title);
  uint32_t colors[16];
  for (int i = 0; i < 16; ++i) colors[i] = uint32_t(i * 0x010101);
  t.Log("PutCColor", L::PutCColor(h, colors));
  t.Log("GetCColor", L::GetCColor(h, colors), colors);
  char memo[2048] = {};
  t.Log("PutMemo", L::PutMemo(h, "a memo"));
  t.Log("GetMemo", L::GetMemo(h, memo), memo);
  uint8_t block[360] = {};
  block[7] = 9;
  t.Log("PutHeaderFooter", L::PutHeaderFooter(h, block));
  t.Log("GetHeaderFooter", L::GetHeaderFooter(h, block), block);
  t.Log("WorkInf", L::GetWorkInf(h, 0, 0), L::PutWorkInf(h, 0, 0));

  t.Log("updates", L::Updates(h) - updates_before);
  // Adding a page is each library's own call, and each counts it its own way.
  t.Log("AddPageAfter", L::AddPageAfter(h));
  t.Log("AddPageAfter", L::AddPageAfter(h));
  t.Log("PutCurPage 2", L::PutCurPage(h, 2));
  const int updates_after_page = L::Updates(h);
  int32_t cur = 0;
  t.Log("GetCurPage", L::GetCurPage(h, &cur), cur);
  PageInf pinf{1, 1};
  t.Log("PutPageInf", L::PutPageInf(h, &pinf));
  t.Log("GetPageInf", L::GetPageInf(h, &pinf), pinf);

  ChartInf chart{};
  chart.Left = 100;
  chart.Top = 40;
  chart.Rows = 3;
  chart.Cols = 3;
  chart.RowHight = 10;
  chart.LineStyle = 1;
  uint16_t c = 0;
  t.Log("AddChart", L::AddChart(h, &chart, &c), c);
  t.Log("PutChartRHight", L::PutChartRHight(h, c, 2, 25));
  t.Log("PutChartCWidth", L::PutChartCWidth(h, c, 1, 30));
  t.Log("InsertChartR", L::InsertChartR(h, c, 1, 1, 15));
  t.Log("DeleteChartC", L::DeleteChartC(h, c, 3));
  t.Log("PutChartHR", L::PutChartHR(h, c, 2, 3));
  uint16_t hr1 = 0, hr2 = 0;
  t.Log("GetChartHR", L::GetChartHR(h, c, &hr1, &hr2), hr1, hr2);
  t.Log("GetChartInf", L::GetChartInf(h, c, &chart), chart);
  const char* fonts[] = {"A", "B", "A", "C"};
  for (uint16_t r = 1; r <= 4; ++r) {
    const ChartCell cell = Cell(uint8_t(r % 2), fonts[r - 1]);
    t.Log("PutChartCell", L::PutChartCell(h, c, r, 1, &cell, r == 2 ? "" : "text"));
  }
  const ChartLine none{};
  t.Log("PutChartVline", L::PutChartVline(h, c, 2, 1, &none));
  ChartLine line{};
  t.Log("GetChartHline", L::GetChartHline(h, c, 1, 1, &line), line);
  for (uint16_t r = 1; r <= 4; ++r) {
    ChartCell cell{};
    char text[256] = {};
    uint16_t rr = r, cc = 2, last_r = 0, last_c = 0;
    int32_t rect[4] = {};
    t.Log("GetChartCell", L::GetChartCell(h, c, r, 1, &cell, text), cell, text);
    t.Log("ChartGetExistCell", L::ChartGetExistCell(h, c, &rr, &cc), rr, cc);
    t.Log("ChartCellArea", L::ChartCellArea(h, c, r, 1, &last_r, &last_c), last_r, last_c);
    t.Log("ChartCellRect", L::ChartCellRect(h, c, r, 2, &rect[0], &rect[1], &rect[2], &rect[3]),
          rect);
    for (uint8_t dir = 1; dir <= 4; ++dir)
      t.Log("NextCellEx", L::NextCellEx(h, 0, c, r, 1, dir, &rr, &cc), rr, cc);
  }
  for (uint16_t r = 1, col = 1, n = 0; n < 12; ++n)
    t.Log("NextCell", L::NextCell(h, 0, c, r, col, &r, &col), r, col);

  Text text = TextAt(10, 300, "D");
  uint16_t te = 0, fe = 0, ge = 0, ie = 0;
  t.Log("AddText", L::AddText(h, &text, "hello", &te), te);
  text.Kind = 1;
  t.Log("PutText", L::PutText(h, te, &text, "hello again"));
  FreCell fre = TextAt(10, 10, "A");
  t.Log("AddFreCell", L::AddFreCell(h, &fre, "", &fe), fe);
  t.Log("PutFreCell", L::PutFreCell(h, fe, &fre, "free"));
  Figure figure{};
  figure.Shape = 2;
  t.Log("AddFigure", L::AddFigure(h, &figure, &ge), ge);
  t.Log("GetFigure", L::GetFigure(h, ge, &figure), figure);
  InsFigure ins{};
  ins.Geometry[2] = 64;
  char path[256] = {};
  std::strcpy(path, picture.c_str());
  t.Log("AddInsFigure", L::AddInsFigure(h, &ins, path, &ie), ie);
  ins.Geometry[3] = 32;
  t.Log("PutInsFigure", L::PutInsFigure(h, ie, &ins));

  uint16_t entry = 0;
  t.Log("GetPageDataCount", L::GetPageDataCount(h));
  t.Log("MoveTopPageData", L::MoveTopPageData(h, ge));
  t.Log("MoveBottomPageData", L::MoveBottomPageData(h, c));
  for (int32_t i = 1; i <= 6; ++i) t.Log("GetPageData", L::GetPageData(h, i, &entry), entry);
  entry = 0;
  for (int i = 0; i < 4; ++i) t.Log("NextPageData", L::NextPageData(h, &entry), entry);

  // Away to pages 1 and 3 and back: the document library's two-page cache writes page 2 out and
  // reads it in again.
  t.Log("PutCurPage 1", L::PutCurPage(h, 1), L::GetPageDataCount(h));
  t.Log("PutCurPage 3", L::PutCurPage(h, 3), L::GetPageDataCount(h));
  t.Log("PutCurPage 2", L::PutCurPage(h, 2), L::GetPageCount(h));

  t.Log("UndoControlStart", L::UndoControlStart(h));
  t.Log("UndoBlockStart", L::UndoBlockStart(h));
  t.Log("PutText", L::PutText(h, te, &text, "changed"));
  t.Log("DeletePageData", L::DeletePageData(h, ge));
  t.Log("DeletePageData", L::DeletePageData(h, c));
  t.Log("UndoBlockEnd", L::UndoBlockEnd(h), L::UndoCount(h));
  for (const char* step : {"Undo", "Redo", "Undo"}) {
    const bool undo = step[0] == 'U';
    t.Log(step, undo ? L::Undo(h) : L::Redo(h), L::UndoCount(h), L::RedoCount(h),
          L::GetPageDataCount(h));
    char out[256] = {};
    t.Log("GetText", L::GetText(h, te, &text, out), text, out);
    t.Log("GetFreCell", L::GetFreCell(h, fe, &fre, out), fre, out);
    t.Log("GetInsFigure", L::GetInsFigure(h, ie, &ins, out), ins);
    std::memset(out, 0, sizeof out);  // the picture copy's name differs: QF... and QD...
    ChartCell cell{};
    t.Log("GetChartCell", L::GetChartCell(h, c, 3, 1, &cell, out), cell, out);
  }
  t.Log("UndoControlEnd", L::UndoControlEnd(h));
  t.Log("updates", L::Updates(h) - updates_after_page);
  return t.lines();
}

class TwoLibrariesTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (fh.State) QfaCloseForm(&fh);
    if (dh.State) QdaCloseDoc(&dh);
  }
  qs_test::DocSite site;
  FormHandle fh{};
  DocHandle dh{};
};

TEST_F(TwoLibrariesTest, OneCallSequenceGivesOneTranscript) {
  const std::string picture = site.WriteFile("pictures/p.bmp", std::string(3000, 'x'));
  const std::vector<std::string> form = RunSequence<FormLib>(&fh, picture);
  const std::vector<std::string> doc = RunSequence<DocLib>(&dh, picture);
  ASSERT_EQ(form.size(), doc.size());
  for (size_t i = 0; i < form.size(); ++i) EXPECT_EQ(form[i], doc[i]) << "call " << i;
}

// Where the libraries differ on purpose. Each row observes one value in both libraries, after
// each has opened an item with two pages, page 1 current, holding on page 1 chart 1, of one row
// whose cells have Kind 0, 0, 1, and free cell 1, added with Kind 5.
struct Difference {
  const char* what;
  std::function<int(FormHandle*)> form;
  std::function<int(DocHandle*)> doc;
  int in_form;
  int in_doc;
};

// A row whose observation `f(library, handle)` is written once for both libraries.
template <typename F>
Difference Row(const char* what, F f, int in_form, int in_doc) {
  return {what, [f](FormHandle* h) { return f(FormLib{}, h); },
          [f](DocHandle* h) { return f(DocLib{}, h); }, in_form, in_doc};
}

constexpr uint16_t kChart = 0x0101;
constexpr uint16_t kFreCell = 0x0103;

template <typename L>
void Prepare(typename L::H* h) {
  ASSERT_EQ(L::Open(h), 0);
  ASSERT_EQ(L::AddPageAfter(h), 0);
  ASSERT_EQ(L::PutCurPage(h, 1), 0);
  ChartInf inf{};
  inf.Rows = 1;
  inf.Cols = 3;
  inf.RowHight = 10;
  inf.LineStyle = 1;
  uint16_t e = 0;
  ASSERT_EQ(L::AddChart(h, &inf, &e), 0);
  ASSERT_EQ(e, kChart);
  for (uint16_t col = 1; col <= 3; ++col) {
    const ChartCell cell = Cell(col == 3 ? 1 : 0, "A");
    ASSERT_EQ(L::PutChartCell(h, kChart, 1, col, &cell, ""), 0);
  }
  FreCell cell = TextAt(0, 0, "A");
  cell.Kind = 5;
  ASSERT_EQ(L::AddFreCell(h, &cell, "x", &e), 0);
  ASSERT_EQ(e, kFreCell);
}

TEST_F(TwoLibrariesTest, DifferencesAreTheDocumentLibrarysTraits) {
  Prepare<FormLib>(&fh);
  Prepare<DocLib>(&dh);
  const std::string missing = site.root() + "no-such-picture.bmp";
  auto fre_kind = [](auto lib, auto* h, bool put) {
    using L = decltype(lib);
    FreCell cell = TextAt(0, 0, "A");
    cell.Kind = 5;
    char text[256];
    if (put) L::PutFreCell(h, kFreCell, &cell, "x");
    L::GetFreCell(h, kFreCell, &cell, text);
    return int(cell.Kind);
  };
  auto header_footer = [](auto lib, auto* h, uint8_t fill) {
    using L = decltype(lib);
    uint8_t block[360];
    std::memset(block, fill, sizeof block);
    L::PutHeaderFooter(h, block);
    return int(L::GetHeaderFooter(h, block));
  };
  // The column a traversal from (1, col) reaches, or its failure: `dir` 0 in reading order,
  // otherwise in that direction.
  auto next = [](auto lib, auto* h, uint8_t filter, uint16_t col, uint8_t dir) {
    using L = decltype(lib);
    uint16_t r = 0, c = 0;
    const int status = dir ? L::NextCellEx(h, filter, kChart, 1, col, dir, &r, &c)
                           : L::NextCell(h, filter, kChart, 1, col, &r, &c);
    return status == 0 ? int(c) : status;
  };
  using std::placeholders::_1;
  using std::placeholders::_2;
  const Difference rows[] = {
      Row("free cell added with Kind 5", std::bind(fre_kind, _1, _2, false), 0, 0),
      Row("free cell put with Kind 5", std::bind(fre_kind, _1, _2, true), 0, 5),
      Row("all-zero header/footer", std::bind(header_footer, _1, _2, 0), 0, -1),
      Row("header/footer with bytes set", std::bind(header_footer, _1, _2, 1), 0, 0),
      Row(
          "picture source missing",
          [&](auto lib, auto* h) {
            InsFigure ins{};
            char path[256] = {};
            std::strcpy(path, missing.c_str());
            uint16_t e = 0;
            return int(decltype(lib)::AddInsFigure(h, &ins, path, &e));
          },
          301, 100),
      Row("reading order from (1,1), filter 1", std::bind(next, _1, _2, 1, 1, 0), 2, 3),
      Row("reading order from (1,1), filter 0", std::bind(next, _1, _2, 0, 1, 0), 2, 2),
      Row("to the right from (1,1), filter 1", std::bind(next, _1, _2, 1, 1, 4), 2, 3),
      Row("to the right from (1,3): the edge", std::bind(next, _1, _2, 1, 3, 4), -2, -2),
      Row(
          "handle's cursor on page 2",
          [](auto lib, auto* h) {
            decltype(lib)::PutCurPage(h, 2);
            return int(h->CurPage);
          },
          1, 2),
      Row(
          "current page reported on page 2",
          [](auto lib, auto* h) {
            int32_t n = 0;
            decltype(lib)::GetCurPage(h, &n);
            return int(n);
          },
          2, 2),
  };
  for (const Difference& row : rows) {
    EXPECT_EQ(row.form(&fh), row.in_form) << row.what;
    EXPECT_EQ(row.doc(&dh), row.in_doc) << row.what;
  }
}

// Calls on a handle without an open item refuse, and the counts report nothing to count.
TEST_F(TwoLibrariesTest, HandleWithoutItem) {
  PageInf inf{};
  EXPECT_EQ(QdaGetPageInf(&dh, &inf), -1);
  EXPECT_EQ(QdaGetPageCount(&dh), -1);
  EXPECT_EQ(QdaUndoCount(&dh), 0);
  EXPECT_EQ(QdaRedoCount(&dh), 0);
  EXPECT_EQ(QdaConcatDoc(&dh, &dh), -1);
}

}  // namespace
