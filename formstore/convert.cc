// Turning a stored form into a document file: the form's own file format, which the document
// library reads, with every chart cell marked as an entry cell or not.
#include "formstore/convert.h"

#include <cstring>
#include <string_view>

#include "common/model/header.h"
#include "common/model/page_data.h"
#include "common/status.h"
#include "formstore.h"
#include "formstore/form_file.h"
#include "platform/env.h"

namespace qs {

namespace {

// The file name and extension of a name as given, without its directories.
std::string_view FileNameOf(std::string_view name) {
  const size_t slash = name.rfind('/');
  if (slash != std::string_view::npos) return name.substr(slash + 1);
  // A drive with no directory after it ("C:ABC.QFD").
  if (name.size() >= 2 && name[1] == ':') return name.substr(2);
  return name;
}

// Copies `name` into a fixed field, cut where it no longer fits, never inside a two-byte
// character; the rest of the field is zeroed.
template <size_t N>
void CopyCut(char (&field)[N], std::string_view name) {
  size_t end = 0;
  for (size_t i = 0; i < name.size() && name[i] != '\0';) {
    i += IsSjisLeadByte(uint8_t(name[i])) ? 2 : 1;
    if (i > N - 1) break;
    end = i;
  }
  std::memset(field, 0, N);
  std::memcpy(field, name.data(), end);
}

// A cell that takes input: one with no text, or only spaces.
bool IsEntryText(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// Sets the Kind of every cell attribute of a chart: 1 for an entry cell, 0 otherwise. Positions
// without an attribute have no Kind and stay as they are.
void MarkEntryCells(Page& page, const ChartRec& chart) {
  for (int r = 1; r <= chart.rows(); ++r) {
    for (int c = 1; c <= chart.cols(); ++c) {
      uint16_t id = chart.cell_attr[r][c];
      CellAttr attr;
      if (id == 0 || page.cell_attrs.Get(id, &attr) != kOk) continue;
      attr.kind = IsEntryText(page.strings.View(chart.cell_text[r][c])) ? 1 : 0;
      page.cell_attrs.Put(&id, attr);
    }
  }
}

}  // namespace

int ConvertToDocument(Form& form, const char* form_name, char* doc_path) {
  Header next = form.header();
  CopyCut(next.rec.inf.TemplateName, FileNameOf(form_name));
  next.header_footer.emplace();
  next.header_footer->fill(0);
  next.rec.created = next.rec.updated = NowSeconds();
  // A template of the new name may not exist; the document carries no fields either way.
  form.StoreHeader(next);
  form.CountChange();

  for (int number = 1; number <= form.page_count(); ++number) {
    Page* page = form.PageAt(number);
    for (int i = 0; i < page->data_count; ++i) {
      const PageData entry = page->data[i];
      if (entry.kind != kChart) continue;
      const ChartRec* chart = page->charts.Get(entry.no);
      // A chart that cannot be read ends the marking of its page.
      if (chart == nullptr) break;
      MarkEntryCells(*page, *chart);
    }
  }
  return SaveFormAs(form, doc_path);
}

}  // namespace qs

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaConvertToDoc(const char* form_name,
                                                               char* doc_path) {
  if (doc_path == nullptr) return qs::kRefused;
  FormHandle handle{};
  const int32_t opened = QfaOpenForm(&handle, form_name);
  if (opened != qs::kOk) return opened;
  const int32_t status = qs::WithForm(
      &handle, [&](qs::Form& f) { return qs::ConvertToDocument(f, form_name, doc_path); },
      qs::kNoMemory);
  // The source file is never written; the form only lived for the conversion.
  QfaCloseForm(&handle);
  return status;
}
