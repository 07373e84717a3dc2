// The form library behind the reader.
#include "formstore.h"
#include "tools/qstore/form_fields.h"
#include "tools/qstore/page_reader.h"

namespace qstore::tool {

namespace {

struct FormApi {
  using Handle = FormHandle;
  static std::string Name(std::string_view call) { return CallName("Qfa", "Form", call); }
  static constexpr auto Open = &QfaOpenForm;
  static constexpr auto Close = &QfaCloseForm;
  static constexpr auto GetInf2 = &QfaGetFormInf2;
  static constexpr auto GetMemo = &QfaGetFormMemo;
  static constexpr auto GetDateTime = &QfaGetFormDateTime;
  static constexpr auto GetCColor = &QfaGetFormCColor;
  static constexpr auto GetHeaderFooter = &QfaGetFormHeaderFooter;
  static constexpr auto GetPageCount = &QfaGetPageCount;
  static constexpr auto PutCurPage = &QfaPutCurPage;
  static constexpr auto GetPageInf = &QfaGetPageInf;
  static constexpr auto GetPageDataCount = &QfaGetPageDataCount;
  static constexpr auto GetPageData = &QfaGetPageData;
  static constexpr auto GetChartInf = &QfaGetChartInf;
  static constexpr auto GetChartHR = &QfaGetChartHR;
  static constexpr auto GetChartRHight = &QfaGetChartRHight;
  static constexpr auto GetChartCWidth = &QfaGetChartCWidth;
  static constexpr auto GetChartVline = &QfaGetChartVline;
  static constexpr auto GetChartHline = &QfaGetChartHline;
  static constexpr auto GetChartCell = &QfaGetChartCell;
  static constexpr auto ChartCellArea = &QfaChartCellArea;
  static constexpr auto GetText = &QfaGetText;
  static constexpr auto GetFreCell = &QfaGetFreCell;
  static constexpr auto GetFigure = &QfaGetFigure;
  static constexpr auto GetInsFigure = &QfaGetInsFigure;
};

class FormReader : public PageModelReader<FormApi> {
 public:
  FormReader(const std::string& path, const std::string& library_path)
      : PageModelReader(path, library_path, FileKind::kForm) {}
  FormReader(const std::string& path, FormHandle* open)
      : PageModelReader(path, open, FileKind::kForm) {}

  FieldSet Fields() override { return ReadFormFields(handle()); }

 protected:
  void ReadPlacements(PageInfo* page) override {
    page->placements = ReadFormPlacements(handle(), path());
  }
};

}  // namespace

std::unique_ptr<Reader> MakeFormReader(const std::string& path) {
  return std::make_unique<FormReader>(path, LibraryPath(path));
}

std::unique_ptr<Reader> ReaderOver(const std::string& name, FormHandle* form) {
  return std::make_unique<FormReader>(name, form);
}

}  // namespace qstore::tool
