// The document library behind the reader. Built only together with libdocstore.
#include "docstore.h"
#include "tools/qstore/page_reader.h"

namespace qstore::tool {

namespace {

struct DocApi {
  using Handle = DocHandle;
  static std::string Name(std::string_view call) { return CallName("Qda", "Doc", call); }
  static constexpr auto Open = &QdaOpenDoc;
  static constexpr auto Close = &QdaCloseDoc;
  static constexpr auto GetInf2 = &QdaGetDocInf2;
  static constexpr auto GetMemo = &QdaGetDocMemo;
  static constexpr auto GetDateTime = &QdaGetDocDateTime;
  static constexpr auto GetCColor = &QdaGetDocCColor;
  static constexpr auto GetHeaderFooter = &QdaGetDocHeaderFooter;
  static constexpr auto GetPageCount = &QdaGetPageCount;
  static constexpr auto PutCurPage = &QdaPutCurPage;
  static constexpr auto GetPageInf = &QdaGetPageInf;
  static constexpr auto GetPageDataCount = &QdaGetPageDataCount;
  static constexpr auto GetPageData = &QdaGetPageData;
  static constexpr auto GetChartInf = &QdaGetChartInf;
  static constexpr auto GetChartHR = &QdaGetChartHR;
  static constexpr auto GetChartRHight = &QdaGetChartRHight;
  static constexpr auto GetChartCWidth = &QdaGetChartCWidth;
  static constexpr auto GetChartVline = &QdaGetChartVline;
  static constexpr auto GetChartHline = &QdaGetChartHline;
  static constexpr auto GetChartCell = &QdaGetChartCell;
  static constexpr auto ChartCellArea = &QdaChartCellArea;
  static constexpr auto GetText = &QdaGetText;
  static constexpr auto GetFreCell = &QdaGetFreCell;
  static constexpr auto GetFigure = &QdaGetFigure;
  static constexpr auto GetInsFigure = &QdaGetInsFigure;
};

}  // namespace

std::unique_ptr<Reader> MakeDocReader(const std::string& path) {
  return std::make_unique<PageModelReader<DocApi>>(path, LibraryPath(path), FileKind::kDocument);
}

std::unique_ptr<Reader> ReaderOver(const std::string& name, DocHandle* doc) {
  return std::make_unique<PageModelReader<DocApi>>(name, doc, FileKind::kDocument);
}

}  // namespace qstore::tool
