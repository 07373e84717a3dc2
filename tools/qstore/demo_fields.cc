// The demo's field template and the fields it places on the sample form.
#include <fmt/format.h>

#include <filesystem>

#include "tools/qstore/demo.h"
#include "tools/qstore/form_fields.h"
#include "tools/qstore/os.h"
#include "tools/qstore/render.h"
#include "tools/qstore/status.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

namespace {

// A plain field, a record of two fields and a table of two fields.
const char kTemplate[] =
    "; Field definitions of the monthly report\n"
    "$PRGNAME=MONTHLY\n"
    "$PRGTITLE=\"Monthly report\"\n"
    "$PRGKIND=1\n"
    "$PAGEMODE=2\n"
    "$FIELD=0,1,customer,ST,40\n"
    "$FIELD=0,2,date,DT,10,3\n"
    "$RECORD=0,10,line,5\n"
    "$FIELD=0,11,item,ST,20\n"
    "$FIELD=0,12,amount,IT,8\n"
    "$/RECORD\n"
    "$TABLE=0,20,totals\n"
    "$FIELD=0,21,label,ST,10\n"
    "$FIELD=0,22,sum,RL,12\n"
    "$/TABLE\n";

void Place(FormHandle* form, uint16_t field, uint16_t entry, uint16_t row, uint16_t col) {
  uint32_t number = 0;
  Check(QfaAddFieldLayout(form, field, entry, row, col, &number), "sample form",
        "QfaAddFieldLayout");
}

}  // namespace

std::string WriteDemoTemplate(DemoRun& run) {
  std::filesystem::create_directories(run.Path("QFT"));
  WriteFile(run.Path("QFT/DEMO.QFT"), kTemplate);
  run.Made("QFT/DEMO.QFT", "the field template (a plain field, a record, a table)");
  // Templates are looked up under the base directory's QFT/ folder.
  SetEnvironment("SITEPATHS_BASE_DIR", run.dir);
  const FieldControl control = ReadTemplateControl("DEMO");
  fmt::print("template QFT/DEMO.QFT: program \"{}\" \"{}\", page mode {}\n",
             Shown(control.PrgName, sizeof control.PrgName),
             Shown(control.PrgTitle, sizeof control.PrgTitle), +control.PageMode);
  return "DEMO";
}

void PlaceDemoFields(FormHandle* form, uint16_t page1_chart, uint16_t page1_free_cell,
                     uint16_t page2_chart) {
  Check(QfaPutCurPage(form, 1), "sample form", "QfaPutCurPage");
  Place(form, 1, page1_free_cell, 0, 0);  // customer: the free cell
  Place(form, 2, page1_chart, 4, 3);      // date: a chart cell
  Check(QfaPutCurPage(form, 2), "sample form", "QfaPutCurPage");
  for (uint16_t row = 2; row <= 4; ++row) {  // three occurrences of the record
    Place(form, 11, page2_chart, row, 1);
    Place(form, 12, page2_chart, row, 2);
  }
  Place(form, 21, page2_chart, 6, 1);  // the totals table: label and sum side by side
  Place(form, 22, page2_chart, 6, 2);
  fmt::print(
      "fields placed: customer in the free cell, date in a cell of page 1, the record 3 "
      "times and the table once on page 2 ({} placements there)\n",
      QfaGetLayoutCountInner(form));
}

}  // namespace qstore::tool
