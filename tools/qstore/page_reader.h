// The reader written once for both libraries. `Api` names the twin calls of one library
// (FormApi in form_reader.cc, DocApi in doc_reader.cc); their signatures differ only in the handle.
#ifndef QSTORE_TOOLS_QSTORE_PAGE_READER_H_
#define QSTORE_TOOLS_QSTORE_PAGE_READER_H_

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "tools/qstore/reader.h"
#include "tools/qstore/status.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

// Reads the first bytes and the size of a picture copy.
void InspectPicture(PictureInfo* picture);
// The colours a file without a table of its own is drawn with (the 16 standard VGA colours).
std::array<uint32_t, 16> DefaultColorTable();

// The exported name of a reader call: `prefix` "Qfa" or "Qda" before `call`, except the calls on
// the whole item, which carry its name `item` ("Form" or "Doc"): Open, GetInf2 and GetDateTime.
inline std::string CallName(std::string_view prefix, std::string_view item, std::string_view call) {
  std::string name(prefix);
  if (call == "Open") return name.append("Open").append(item);
  if (call == "GetInf2" || call == "GetDateTime")
    return name.append("Get").append(item).append(call.substr(3));
  return name.append(call);
}

template <typename Api>
class PageModelReader : public Reader {
 public:
  // `path` names the file in messages; the library opens `library_path`.
  PageModelReader(const std::string& path, const std::string& library_path, FileKind kind)
      : Reader(path), kind_(kind) {
    const int32_t status = Api::Open(&handle_, library_path.c_str());
    if (status != 0) {
      handle_ = {};
      throw CallError(path, Api::Name("Open"), status);
    }
  }
  // Reads a form or document the caller holds open (and closes itself).
  PageModelReader(const std::string& path, typename Api::Handle* open, FileKind kind)
      : Reader(path), kind_(kind), borrowed_(open) {}
  ~PageModelReader() override {
    if (borrowed_ == nullptr && handle_.State != nullptr) Api::Close(&handle_);
  }

  FileKind kind() const override { return kind_; }
  typename Api::Handle* handle() { return borrowed_ != nullptr ? borrowed_ : &handle_; }

  HeaderInfo Header() override {
    HeaderInfo header;
    char title[41] = {};
    Ok(Api::GetInf2(handle(), &header.inf, title), "GetInf2");
    header.title = FromBuffer(title, sizeof title);
    char memo[2048] = {};
    Api::GetMemo(handle(), memo);  // -1 only says there is no memo; an empty string was written
    header.memo = FromBuffer(memo, sizeof memo);
    Ok(Api::GetDateTime(handle(), &header.created, &header.updated), "GetDateTime");
    header.own_colors = Api::GetCColor(handle(), header.colors.data()) == 0;
    if (!header.own_colors) header.colors = DefaultColorTable();
    unsigned char block[360];
    header.has_header_footer = Api::GetHeaderFooter(handle(), block) == 0;
    return header;
  }

  int PageCount() override { return Api::GetPageCount(handle()); }

  PageInfo Page(int number) override {
    PageInfo page;
    page.number = number;
    Ok(Api::PutCurPage(handle(), number), "PutCurPage");
    Ok(Api::GetPageInf(handle(), &page.inf), "GetPageInf");
    const int32_t count = Api::GetPageDataCount(handle());
    for (int32_t i = 1; i <= count; ++i) {
      uint16_t entry = 0;
      Ok(Api::GetPageData(handle(), i, &entry), "GetPageData");
      page.order.push_back(entry);
      switch (entry & 0xFF) {
        case 1:
          page.charts.push_back(ReadChart(entry));
          break;
        case 2:
          page.texts.push_back(ReadText(entry, false));
          break;
        case 3:
          page.free_cells.push_back(ReadText(entry, true));
          break;
        case 4: {
          FigureInfo figure;
          figure.entry = entry;
          Ok(Api::GetFigure(handle(), entry, &figure.rec), "GetFigure");
          page.figures.push_back(figure);
          break;
        }
        case 5: {
          PictureInfo picture;
          picture.entry = entry;
          char name[256] = {};
          Ok(Api::GetInsFigure(handle(), entry, &picture.rec, name), "GetInsFigure");
          picture.path = FromBuffer(name, sizeof name);
          InspectPicture(&picture);
          page.pictures.push_back(picture);
          break;
        }
        default:
          break;
      }
    }
    ReadPlacements(&page);
    return page;
  }

 protected:
  void Ok(int32_t status, const char* call) {
    if (status != 0) throw CallError(path(), Api::Name(call), status);
  }
  // Field placements: forms only.
  virtual void ReadPlacements(PageInfo*) {}

 private:
  ChartInfo ReadChart(uint16_t entry) {
    ChartInfo chart;
    chart.entry = entry;
    Ok(Api::GetChartInf(handle(), entry, &chart.inf), "GetChartInf");
    Ok(Api::GetChartHR(handle(), entry, &chart.hr1, &chart.hr2), "GetChartHR");
    const uint16_t rows = chart.inf.Rows, cols = chart.inf.Cols;
    chart.heights.resize(rows);
    chart.widths.resize(cols);
    for (uint16_t r = 1; r <= rows; ++r)
      Ok(Api::GetChartRHight(handle(), entry, r, &chart.heights[r - 1]), "GetChartRHight");
    for (uint16_t c = 1; c <= cols; ++c)
      Ok(Api::GetChartCWidth(handle(), entry, c, &chart.widths[c - 1]), "GetChartCWidth");
    chart.vlines.assign(rows, std::vector<ChartLine>(cols + 1u));
    chart.hlines.assign(rows + 1u, std::vector<ChartLine>(cols));
    for (uint16_t r = 1; r <= rows; ++r)
      for (uint16_t b = 0; b <= cols; ++b)
        Ok(Api::GetChartVline(handle(), entry, r, b, &chart.vlines[r - 1][b]), "GetChartVline");
    for (uint16_t b = 0; b <= rows; ++b)
      for (uint16_t c = 1; c <= cols; ++c)
        Ok(Api::GetChartHline(handle(), entry, b, c, &chart.hlines[b][c - 1]), "GetChartHline");
    for (uint16_t r = 1; r <= rows; ++r) {
      for (uint16_t c = 1; c <= cols; ++c) {
        CellInfo cell;
        char text[256] = {};
        // -1: no attributes there; -2: attributes under a merged cell, which nothing shows.
        if (Api::GetChartCell(handle(), entry, r, c, &cell.attr, text) != 0) continue;
        cell.row = r;
        cell.col = c;
        cell.text = FromBuffer(text, sizeof text);
        Ok(Api::ChartCellArea(handle(), entry, r, c, &cell.last_row, &cell.last_col),
           "ChartCellArea");
        chart.cells.push_back(std::move(cell));
      }
    }
    return chart;
  }

  TextInfo ReadText(uint16_t entry, bool free_cell) {
    TextInfo text;
    text.entry = entry;
    char buffer[256] = {};
    if (free_cell)
      Ok(Api::GetFreCell(handle(), entry, &text.rec, buffer), "GetFreCell");
    else
      Ok(Api::GetText(handle(), entry, &text.rec, buffer), "GetText");
    text.text = FromBuffer(buffer, sizeof buffer);
    return text;
  }

  FileKind kind_;
  typename Api::Handle handle_{};
  typename Api::Handle* borrowed_ = nullptr;
};

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_PAGE_READER_H_
