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
  std::printf("\n  changes  %d\n", QfaQueryFormUpdate(&form));

  QfaCloseForm(&form);
  std::printf("form closed\n");
  return 0;
}

}  // namespace qstore
