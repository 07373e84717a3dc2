// The demo: walks a form through the public interface and prints what comes back.
#include <cstdio>
#include <cstring>

#include "formstore.h"
#include "tools/qstore/commands.h"

namespace qstore {

namespace {

void PrintDateTime(const char* label, const FormDateTime& t) {
  std::printf("  %-8s %04u-%02u-%02u %02u:%02u:%02u UTC\n", label, t.Year, t.Month, t.Day, t.Hour,
              t.Minute, t.Second);
}

int Fail(const char* what, int status) {
  std::fprintf(stderr, "qstore demo: %s failed with status %d\n", what, status);
  return 1;
}

// Compares the current pages of two forms item by item through the getters.
bool SameContent(FormHandle* a, FormHandle* b) {
  if (QfaGetPageDataCount(a) != QfaGetPageDataCount(b)) return false;
  for (int32_t i = 1; i <= QfaGetPageDataCount(a); ++i) {
    uint16_t ea = 0, eb = 0;
    QfaGetPageData(a, i, &ea);
    QfaGetPageData(b, i, &eb);
    if (ea != eb) return false;
    char ta[256] = {}, tb[256] = {};
    switch (ea & 0xFF) {
      case 1: {
        ChartInf ca{}, cb{};
        QfaGetChartInf(a, ea, &ca);
        QfaGetChartInf(b, eb, &cb);
        if (std::memcmp(&ca, &cb, sizeof ca) != 0) return false;
        for (uint16_t r = 1; r <= ca.Rows; ++r)
          for (uint16_t c = 1; c <= ca.Cols; ++c) {
            ChartCell xa{}, xb{};
            if (QfaGetChartCell(a, ea, r, c, &xa, ta) != QfaGetChartCell(b, eb, r, c, &xb, tb) ||
                std::memcmp(&xa, &xb, sizeof xa) != 0 || std::strcmp(ta, tb) != 0)
              return false;
          }
        break;
      }
      case 2:
      case 3: {
        Text xa{}, xb{};
        if ((ea & 0xFF) == 2) {
          QfaGetText(a, ea, &xa, ta);
          QfaGetText(b, eb, &xb, tb);
        } else {
          QfaGetFreCell(a, ea, &xa, ta);
          QfaGetFreCell(b, eb, &xb, tb);
        }
        if (std::memcmp(&xa, &xb, sizeof xa) != 0 || std::strcmp(ta, tb) != 0) return false;
        break;
      }
      case 4: {
        Figure fa{}, fb{};
        QfaGetFigure(a, ea, &fa);
        QfaGetFigure(b, eb, &fb);
        if (std::memcmp(&fa, &fb, sizeof fa) != 0) return false;
        break;
      }
      case 5: {
        InsFigure fa{}, fb{};
        QfaGetInsFigure(a, ea, &fa, ta);
        QfaGetInsFigure(b, eb, &fb, tb);
        if (std::memcmp(&fa, &fb, sizeof fa) != 0) return false;
        break;
      }
    }
  }
  return true;
}

bool SameBytes(const char* a, const char* b) {
  FILE* fa = std::fopen(a, "rb");
  FILE* fb = std::fopen(b, "rb");
  bool same = fa != nullptr && fb != nullptr;
  while (same) {
    const int ca = std::fgetc(fa), cb = std::fgetc(fb);
    same = ca == cb;
    if (ca == EOF) break;
  }
  if (fa) std::fclose(fa);
  if (fb) std::fclose(fb);
  return same;
}

}  // namespace

int RunDemo(int, char**) {
  FormHandle form{};
  FormInf inf{};
  std::strcpy(inf.Title, "Monthly report");
  inf.ReadOrder = 1;
  int status = QfaCreateForm(&form, &inf);
  if (status != 0) return Fail("create", status);

  std::printf("form created\n");
  if ((status = QfaPutFormInf2(&form, &inf, "Report of the month")) != 0)
    return Fail("put information", status);
  const char memo[] = "Kept by the accounts office.";
  if ((status = QfaPutFormMemo(&form, memo)) != 0) return Fail("put memo", status);

  FormInf back{};
  char title[41] = {};
  QfaGetFormInf2(&form, &back, title);
  char memo_back[2048] = {};
  QfaGetFormMemo(&form, memo_back);
  FormDateTime created{}, updated{};
  QfaGetFormDateTime(&form, &created, &updated);
  uint32_t colors[16];
  const int has_colors = QfaGetFormCColor(&form, colors) == 0;

  std::printf("header information\n");
  std::printf("  title    \"%s\"\n", back.Title);
  std::printf("  form     \"%s\"\n", title);
  std::printf("  order    %u\n", back.ReadOrder);
  std::printf("  memo     \"%s\"\n", memo_back);
  std::printf("  colours  %s\n", has_colors ? "own table" : "default table");
  PrintDateTime("created", created);
  PrintDateTime("updated", updated);
  std::printf("  changes  %d\n", QfaQueryFormUpdate(&form));

  // A page with a chart: four rows of three columns, a fifth row inserted below the second.
  PageInf page{};
  if ((status = QfaInsertFormPage(&form, 0, &page)) != 0) return Fail("insert page", status);
  ChartInf chart{};
  chart.Left = 100;
  chart.Top = 200;
  chart.Right = 1000;
  chart.Rows = 4;
  chart.Cols = 3;
  chart.RowHight = 40;
  chart.LineStyle = 1;
  chart.LineColor = 0x00000000;
  uint16_t entry = 0;
  if ((status = QfaAddChart(&form, &chart, &entry)) != 0) return Fail("add chart", status);
  if ((status = QfaInsertChartR(&form, entry, 1, 2, 60)) != 0) return Fail("insert row", status);
  if ((status = QfaPutChartCWidth(&form, entry, 1, 500)) != 0) return Fail("put width", status);
  ChartInf back_chart{};
  QfaGetChartInf(&form, entry, &back_chart);
  std::printf("page %d of %d\n", form.CurPage + 1, QfaGetPageCount(&form));
  std::printf("  chart %u: %u rows x %u columns at (%d,%d)-(%d,%d)\n", unsigned(entry >> 8),
              back_chart.Rows, back_chart.Cols, back_chart.Left, back_chart.Top, back_chart.Right,
              back_chart.Bottom);
  std::printf("  heights ");
  for (uint16_t r = 1; r <= back_chart.Rows; ++r) {
    uint16_t height = 0;
    QfaGetChartRHight(&form, entry, r, &height);
    std::printf(" %u", height);
  }
  std::printf("\n  widths  ");
  for (uint16_t c = 1; c <= back_chart.Cols; ++c) {
    uint16_t width = 0;
    QfaGetChartCWidth(&form, entry, c, &width);
    std::printf(" %u", width);
  }
  std::printf("\n");

  // Cell texts along the first row, the first two cells merged by taking their line away.
  ChartCell cell{};
  std::strcpy(cell.Font.FontName, "Gothic");
  cell.Color1 = 0x000000FF;
  const char* heads[] = {"Item", "Amount", "Note"};
  for (uint16_t c = 1; c <= 3; ++c)
    if ((status = QfaPutChartCell(&form, entry, 1, c, &cell, heads[c - 1])) != 0)
      return Fail("put cell", status);
  ChartLine none{};
  if ((status = QfaPutChartVline(&form, entry, 2, 1, &none)) != 0) return Fail("put line", status);
  uint16_t origin_row = 2, origin_col = 2;
  QfaChartGetExistCell(&form, entry, &origin_row, &origin_col);
  uint16_t last_row = 0, last_col = 0;
  QfaChartCellArea(&form, entry, 2, 2, &last_row, &last_col);
  std::printf("  cell (2,2) lies in the cell (%u,%u)-(%u,%u)\n", origin_row, origin_col, last_row,
              last_col);
  std::printf("  first row in reading order:");
  uint16_t r = 1, c = 1;
  for (int i = 0; i < 3; ++i) {
    char text[256] = {};
    ChartCell back_cell{};
    if (QfaGetChartCell(&form, entry, r, c, &back_cell, text) == 0) std::printf(" \"%s\"", text);
    if (QfaChartNextCell(&form, entry, r, c, &r, &c) != 0) break;
  }
  std::printf("\n");

  // A text bound to the title, a free cell and a figure.
  Text caption{};
  caption.Kind = 1;
  caption.Left = 100;
  caption.Top = 100;
  caption.Right = 900;
  caption.Bottom = 150;
  std::strcpy(caption.Font.FontName, "Mincho");
  uint16_t text_entry = 0, cell_entry = 0, figure_entry = 0;
  if ((status = QfaAddText(&form, &caption, "ignored", &text_entry)) != 0)
    return Fail("add text", status);
  FreCell note = caption;
  note.Kind = 0;
  note.Top = 500;
  note.Bottom = 540;
  if ((status = QfaAddFreCell(&form, &note, "Signed:", &cell_entry)) != 0)
    return Fail("add free cell", status);
  Figure frame{};
  frame.Shape = 2;
  frame.Style = 1;
  frame.Color1 = 0x00808080;
  if ((status = QfaAddFigure(&form, &frame, &figure_entry)) != 0) return Fail("add figure", status);
  char text[256] = {};
  Text back_text{};
  QfaGetText(&form, text_entry, &back_text, text);
  std::printf("  text %u shows the title \"%s\"\n", unsigned(text_entry >> 8), text);
  FreCell back_note{};
  QfaGetFreCell(&form, cell_entry, &back_note, text);
  std::printf("  free cell %u says \"%s\"\n", unsigned(cell_entry >> 8), text);

  // An inserted picture: the library keeps its own copy in the work directory.
  char picture[256];
  std::snprintf(picture, sizeof picture, "%s", "qstore-demo-picture.bmp");
  if (FILE* f = std::fopen(picture, "wb")) {
    std::fputs("BM demo picture", f);
    std::fclose(f);
  }
  InsFigure pic{};
  pic.Geometry[2] = 320;
  pic.Geometry[3] = 240;
  uint16_t pic_entry = 0;
  status = QfaAddInsFigure(&form, &pic, picture, &pic_entry);
  std::remove("qstore-demo-picture.bmp");
  if (status != 0) return Fail("add inserted figure", status);
  std::printf("  picture %u copied to %s\n", unsigned(pic_entry >> 8), picture);
  std::printf("  page data %d entries\n", QfaGetPageDataCount(&form));

  // An edit undone and redone: a cell text rewritten and a row deleted, as one step.
  if ((status = QfaUndoControlStart(&form)) != 0) return Fail("start journalling", status);
  QfaUndoBlockStart(&form);
  QfaPutChartCell(&form, entry, 1, 1, &cell, "Article");
  QfaDeleteChartR(&form, entry, 5);
  QfaUndoBlockEnd(&form);
  auto show = [&](const char* when) {
    char head[256] = {};
    ChartCell back_cell{};
    ChartInf now{};
    QfaGetChartCell(&form, entry, 1, 1, &back_cell, head);
    QfaGetChartInf(&form, entry, &now);
    std::printf("  %-6s \"%s\", %u rows (undo %d, redo %d)\n", when, head, now.Rows,
                QfaUndoCount(&form), QfaRedoCount(&form));
  };
  show("edited");
  if ((status = QfaUndo(&form)) != 0) return Fail("undo", status);
  show("undone");
  if ((status = QfaRedo(&form)) != 0) return Fail("redo", status);
  show("redone");
  QfaUndoControlEnd(&form);

  // Saved to a file and opened again: the second form must hold the same.
  char path[256];
  std::snprintf(path, sizeof path, "%s", "qstore-demo");
  if ((status = QfaSaveForm(&form, path)) != 0) return Fail("save", status);
  std::printf("saved as %s (changes now %d)\n", path, QfaQueryFormUpdate(&form));
  FormHandle reopened{};
  status = QfaOpenForm(&reopened, path);
  if (status != 0) {
    std::remove(path);
    return Fail("open", status);
  }
  const bool same = SameContent(&form, &reopened);
  std::printf("opened again: %s\n", same ? "every item matches" : "CONTENT DIFFERS");
  char again[256];
  std::snprintf(again, sizeof again, "%s", "qstore-demo-again.QFD");
  status = QfaSaveForm(&reopened, again);
  const bool same_bytes = status == 0 && SameBytes(path, again);
  std::printf("saved again: %s\n", same_bytes ? "the same bytes" : "DIFFERENT BYTES");
  QfaCloseForm(&reopened);
  std::remove(path);
  std::remove(again);
  if (!same || !same_bytes) {
    QfaCloseForm(&form);
    return 1;
  }
  std::printf("  changes  %d\n", QfaQueryFormUpdate(&form));

  QfaCloseForm(&form);
  std::printf("form closed\n");
  return 0;
}

}  // namespace qstore
