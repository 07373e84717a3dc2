// A long random run of journalled edits in blocks: undoing every step must give back each earlier
// page in turn, down to the first, and redoing every step each later page, up to the last.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "formstore.h"
#include "support/form_fixture.h"
#include "support/page_dump.h"

namespace {

using qs_test::DescribeDifference;
using qs_test::DumpPage;
using qs_test::PageDump;

constexpr const char* kFonts[] = {"Mincho", "Gothic", "Serif"};
constexpr uint32_t kColors[] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0xC0C0C0, 0x123456};

class Editor {
 public:
  Editor(FormHandle* h, const std::string& picture, uint32_t seed)
      : h_(h), picture_(picture), rng_(seed) {}

  // One edit chosen at random among those the journal reverses. Edits may fail (a full table, a
  // missing item): a failed edit must leave nothing to undo either.
  void RandomEdit() {
    switch (Pick(16)) {
      case 0:
        AddChart();
        break;
      case 1:
        PutChartInf();
        break;
      case 2:
      case 3:
        DeleteSomething();
        break;
      case 4:
        PutSize();
        break;
      case 5:
        InsertRowOrColumn();
        break;
      case 6:
        DeleteRowOrColumn();
        break;
      case 7:
      case 8:
      case 9:
        PutCell();
        break;
      case 10:
      case 11:
        PutLine();
        break;
      case 12:
        AddContent();
        break;
      default:
        PutContent();
        break;
    }
  }

  // A chart made before journalling starts also gets an HR pair, which follows its rows.
  void AddChartWithHR() {
    AddChart();
    ChartInf inf{};
    const uint16_t chart = uint16_t(1 | (QfaGetPageDataCount(h_) << 8));
    if (QfaGetChartInf(h_, chart, &inf) == 0)
      QfaPutChartHR(h_, chart, uint16_t(Pick(inf.Rows + 1)), uint16_t(Pick(inf.Rows + 1)));
  }

  void AddChart() {
    ChartInf inf{};
    inf.Left = Pick(200);
    inf.Top = Pick(200);
    inf.Cols = uint16_t(1 + Pick(4));
    inf.Rows = uint16_t(1 + Pick(4));
    inf.Right = inf.Left + inf.Cols * (20 + Pick(80));
    inf.RowHight = uint16_t(5 + Pick(30));
    inf.LineStyle = uint8_t(Pick(3));
    inf.LineParam = uint16_t(Pick(5));
    inf.LineColor = Color();
    uint16_t entry = 0;
    QfaAddChart(h_, &inf, &entry);
  }

 private:
  int Pick(int n) { return int(rng_() % uint32_t(n)); }
  uint32_t Color() { return kColors[Pick(6)]; }
  FontSpec Font() {
    FontSpec f = qs_test::Font(kFonts[Pick(3)]);
    f.Value5 = uint8_t(Pick(32));
    f.ValueC = uint8_t(Pick(2));
    return f;
  }
  std::string RandomText() {
    static const int kLengths[] = {0, 1, 5, 40, 255};
    std::string s(size_t(kLengths[Pick(5)]), 'a');
    for (char& c : s) c = char('a' + Pick(26));
    return s;
  }

  // A random item of `kind` on the page (entry 0 when there is none).
  uint16_t Item(int kind) {
    std::vector<uint16_t> found;
    const int count = QfaGetPageDataCount(h_);
    for (int i = 1; i <= count; ++i) {
      uint16_t entry = 0;
      if (QfaGetPageData(h_, i, &entry) == 0 && (kind == 0 || (entry & 0xFF) == kind))
        found.push_back(entry);
    }
    return found.empty() ? 0 : found[size_t(Pick(int(found.size())))];
  }
  bool Chart(uint16_t* entry, ChartInf* inf) {
    *entry = Item(1);
    return *entry != 0 && QfaGetChartInf(h_, *entry, inf) == 0;
  }

  void PutChartInf() {
    uint16_t chart;
    ChartInf inf;
    if (!Chart(&chart, &inf)) return;
    inf.Flag = uint8_t(Pick(256));
    inf.Left += Pick(21) - 10;
    inf.Top += Pick(21) - 10;
    inf.RowHight = uint16_t(1 + Pick(40));
    inf.LineStyle = uint8_t(Pick(4));
    inf.LineColor = Color();
    QfaPutChartInf(h_, chart, &inf);
  }

  void DeleteSomething() {
    // Charts are deleted less often than the rest, so that the page keeps some to edit. Now and
    // then the newest item goes, often one added within the same step.
    uint16_t entry = Item(0);
    if ((entry & 0xFF) == 1 && Pick(3) != 0) entry = Item(2 + Pick(4));
    if (Pick(3) == 0) QfaGetPageData(h_, QfaGetPageDataCount(h_), &entry);
    QfaDeletePageData(h_, entry != 0 ? entry : uint16_t(2 | (1 << 8)));
  }

  void PutSize() {
    uint16_t chart;
    ChartInf inf;
    if (!Chart(&chart, &inf)) return;
    if (Pick(2) == 0)
      QfaPutChartRHight(h_, chart, uint16_t(1 + Pick(inf.Rows)), uint16_t(5 + Pick(60)));
    else
      QfaPutChartCWidth(h_, chart, uint16_t(1 + Pick(inf.Cols)), uint16_t(5 + Pick(120)));
  }

  void InsertRowOrColumn() {
    uint16_t chart;
    ChartInf inf;
    if (!Chart(&chart, &inf)) return;
    const uint8_t after = uint8_t(Pick(2));
    if (Pick(2) == 0) {
      if (inf.Rows < 7)
        QfaInsertChartR(h_, chart, after, uint16_t(1 + Pick(inf.Rows + 1 - after)),
                        uint16_t(10 + Pick(30)));
    } else if (inf.Cols < 7) {
      QfaInsertChartC(h_, chart, after, uint16_t(1 + Pick(inf.Cols + 1 - after)),
                      uint16_t(10 + Pick(60)));
    }
  }

  void DeleteRowOrColumn() {
    uint16_t chart;
    ChartInf inf;
    if (!Chart(&chart, &inf)) return;
    // A chart keeps at least one row and one column.
    if (Pick(2) == 0) {
      if (inf.Rows > 1) QfaDeleteChartR(h_, chart, uint16_t(1 + Pick(inf.Rows)));
    } else if (inf.Cols > 1) {
      QfaDeleteChartC(h_, chart, uint16_t(1 + Pick(inf.Cols)));
    }
  }

  void PutCell() {
    uint16_t chart;
    ChartInf inf;
    if (!Chart(&chart, &inf)) return;
    ChartCell cell{};
    cell.Kind = uint8_t(Pick(3));
    cell.Font = Font();
    for (int i = 0; i < 6; ++i) cell.Attr[i] = uint16_t(Pick(1000));
    cell.Color1 = Color();
    cell.Mode = uint8_t(Pick(4));
    cell.Color2 = Color();
    QfaPutChartCell(h_, chart, uint16_t(1 + Pick(inf.Rows)), uint16_t(1 + Pick(inf.Cols)), &cell,
                    RandomText().c_str());
  }

  void PutLine() {
    uint16_t chart;
    ChartInf inf;
    if (!Chart(&chart, &inf)) return;
    ChartLine line{};
    line.Style = uint8_t(Pick(2) == 0 ? 0 : Pick(4));
    line.Param = uint16_t(Pick(9));
    line.Color = Color();
    if (Pick(2) == 0)
      QfaPutChartVline(h_, chart, uint16_t(1 + Pick(inf.Rows)), uint16_t(Pick(inf.Cols + 1)),
                       &line);
    else
      QfaPutChartHline(h_, chart, uint16_t(Pick(inf.Rows + 1)), uint16_t(1 + Pick(inf.Cols)),
                       &line);
  }

  Text TextRecord() {
    Text rec{};
    rec.Kind = uint8_t(Pick(3));
    rec.Left = Pick(500);
    rec.Top = Pick(500);
    rec.Right = rec.Left + Pick(100);
    rec.Bottom = rec.Top + Pick(100);
    rec.Font = Font();
    for (int i = 0; i < 6; ++i) rec.Attr[i] = uint16_t(Pick(1000));
    rec.Color1 = Color();
    rec.Mode = uint8_t(Pick(4));
    rec.Color2 = Color();
    return rec;
  }
  Figure FigureRecord() {
    Figure f{};
    f.Shape = uint8_t(Pick(8));
    f.Style = uint8_t(Pick(4));
    f.Param = uint16_t(Pick(100));
    f.Color1 = Color();
    f.Fill = uint8_t(Pick(2));
    f.Color2 = Color();
    for (uint8_t& g : f.Geometry) g = uint8_t(Pick(256));
    return f;
  }
  InsFigure InsFigureRecord() {
    InsFigure f{};
    for (int i = 0; i < 9; ++i) f.Geometry[i] = Pick(1000);
    f.Mode = uint8_t(Pick(3));
    return f;
  }

  void AddContent() {
    uint16_t entry = 0;
    switch (Pick(4)) {
      case 0: {
        const Text rec = TextRecord();
        QfaAddText(h_, &rec, RandomText().c_str(), &entry);
        break;
      }
      case 1: {
        const FreCell rec = TextRecord();
        QfaAddFreCell(h_, &rec, RandomText().c_str(), &entry);
        break;
      }
      case 2: {
        const Figure rec = FigureRecord();
        QfaAddFigure(h_, &rec, &entry);
        break;
      }
      default: {
        const InsFigure rec = InsFigureRecord();
        char path[256] = {};
        std::strncpy(path, picture_.c_str(), sizeof path - 1);
        QfaAddInsFigure(h_, &rec, path, &entry);
        break;
      }
    }
  }

  void PutContent() {
    const int kind = 2 + Pick(4);
    const uint16_t entry = Item(kind);
    if (entry == 0) return AddContent();
    switch (kind) {
      case 2: {
        const Text rec = TextRecord();
        QfaPutText(h_, entry, &rec, RandomText().c_str());
        break;
      }
      case 3: {
        const FreCell rec = TextRecord();
        QfaPutFreCell(h_, entry, &rec, RandomText().c_str());
        break;
      }
      case 4: {
        const Figure rec = FigureRecord();
        QfaPutFigure(h_, entry, &rec);
        break;
      }
      default: {
        const InsFigure rec = InsFigureRecord();
        QfaPutInsFigure(h_, entry, &rec);
        break;
      }
    }
  }

  FormHandle* h_;
  std::string picture_;
  std::mt19937 rng_;
};

class UndoPropertyTest : public qs_test::FormTest,
                         public ::testing::WithParamInterface<uint32_t> {};

TEST_P(UndoPropertyTest, UndoAndRedoWalkBackAndForthThroughEveryPage) {
  constexpr int kSteps = 200;
  const std::string picture = site.WriteFile("pic.bmp", std::string(3000, 'p') + "end");
  Editor editor(&h, picture, GetParam());
  std::mt19937 rng(GetParam() * 7919u);
  for (int i = 0; i < 3; ++i) editor.AddChartWithHR();
  ASSERT_EQ(QfaUndoControlStart(&h), 0);

  std::vector<PageDump> pages{DumpPage(&h)};
  int edits = 0;
  for (int step = 0; step < kSteps; ++step) {
    const bool nested = rng() % 4 == 0;
    ASSERT_EQ(QfaUndoBlockStart(&h), 0);
    if (nested) {
      ASSERT_EQ(QfaUndoBlockStart(&h), 0);
    }
    const int n = 1 + int(rng() % 4);
    for (int i = 0; i < n; ++i, ++edits) editor.RandomEdit();
    if (nested) {
      ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
    }
    ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
    // A step whose edits all failed journals nothing and is no step.
    if (QfaUndoCount(&h) == int(pages.size())) pages.push_back(DumpPage(&h));
  }
  ASSERT_GE(edits, kSteps);
  const int steps = int(pages.size()) - 1;
  ASSERT_EQ(QfaUndoCount(&h), steps);
  ASSERT_GT(steps, kSteps / 2);

  for (int k = steps; k > 0; --k) {
    ASSERT_EQ(QfaUndo(&h), 0) << "undoing step " << k;
    const std::string diff = DescribeDifference(pages[size_t(k - 1)], DumpPage(&h));
    ASSERT_EQ(diff, "") << "after undoing step " << k;
  }
  EXPECT_EQ(QfaUndoCount(&h), 0);
  EXPECT_EQ(QfaRedoCount(&h), steps);
  for (int k = 1; k <= steps; ++k) {
    ASSERT_EQ(QfaRedo(&h), 0) << "redoing step " << k;
    const std::string diff = DescribeDifference(pages[size_t(k)], DumpPage(&h));
    ASSERT_EQ(diff, "") << "after redoing step " << k;
  }
  EXPECT_EQ(QfaRedoCount(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), steps);
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoPropertyTest, ::testing::Values(1u, 2u, 3u, 17u, 99u, 2024u));

}  // namespace
