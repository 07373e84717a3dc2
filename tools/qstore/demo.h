// The pieces of qstore demo. demo.cc builds the sample form; demo_fields.cc adds the template and
// the placed fields, demo_docs.cc (built with the document library) the documents, the
// concatenation and the character check.
#ifndef QSTORE_TOOLS_QSTORE_DEMO_H_
#define QSTORE_TOOLS_QSTORE_DEMO_H_

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formstore.h"
#include "tools/qstore/reader.h"

struct DocHandle;

namespace qstore::tool {

struct DemoRun {
  std::string dir;                                        // absolute, ends in '/'
  std::vector<std::pair<std::string, std::string>> made;  // file, what it is
  bool ok = true;

  std::string Path(const std::string& name) const { return dir + name; }
  void Made(const std::string& name, const std::string& what) { made.emplace_back(name, what); }
};

// Shift-JIS bytes of a UTF-8 literal (the demo's own texts all have a Shift-JIS form).
std::string Sjis(const char* utf8);
// The records the demo builds its pages from.
ChartInf DemoChart(int32_t left, int32_t top, int32_t right, uint16_t rows, uint16_t cols,
                   uint16_t row_height, uint32_t line_color = 0);
FontSpec DemoFont(const char* utf8_name);
Text DemoBox(int32_t left, int32_t top, int32_t right, int32_t bottom, const char* utf8_font);

// True when both readers hold equal pages (and equal headers apart from the dates); prints the
// first difference.
bool SameContent(Reader& a, Reader& b);
// Writes page `page` of the reader as an SVG file in the demo directory.
void RenderPage(DemoRun& run, Reader& reader, int page, const std::string& name);

// Readers over a form or document the caller holds open (the document one comes with docstore).
std::unique_ptr<Reader> ReaderOver(const std::string& name, FormHandle* form);
std::unique_ptr<Reader> ReaderOver(const std::string& name, DocHandle* doc);

// demo_fields.cc: writes QFT/DEMO.QFT under the demo directory and shows its program settings;
// returns the template name the form's information block takes.
std::string WriteDemoTemplate(DemoRun& run);
// Places the template's plain field, record and table on the sample form's pages.
void PlaceDemoFields(FormHandle* form, uint16_t page1_chart, uint16_t page1_free_cell,
                     uint16_t page2_chart);

// demo_docs.cc: the converted form, a long document, concatenation, the check, pictures.
void RunDocumentDemo(DemoRun& run, const std::string& converted);

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_DEMO_H_
