// The chart grid: adding charts, their information, HR pair, row heights and column widths, and
// inserting and deleting rows and columns with the cells and ruled lines that move with them.
// Every operation works on the binder's current page; an entry that names no chart gives kRefused.
#ifndef QSTORE_COMMON_MODEL_CHART_OPS_H_
#define QSTORE_COMMON_MODEL_CHART_OPS_H_

#include <cstdint>
#include <memory>

#include "common/model/binder.h"
#include "common/model/chart_rec.h"
#include "common/model/page_data.h"
#include "qstore_records.h"

namespace qs {

// The chart an entry names on the current page, or null.
ChartRec* FindChart(Binder& b, PageData chart);

// Whether a chart made from a head keeps the head's edges (a chart read from a file) or is fitted
// to its new grid (a chart being added): rows at least 10 high, and the right and bottom edges
// pulled in to the whole column widths and the row heights.
enum class ChartEdges { kAsGiven, kFitted };
// A chart as its head makes it, without cells: every row the head's height, every column an equal
// whole share of the head's width, every ruled line of the grid the head's line. Null when the head
// has no rows or columns, or more than 127 of either.
std::unique_ptr<ChartRec> ChartFromHead(const ChartInfRec& head, ChartEdges edges);

// kRefused for a shape ChartFromHead refuses and when the page has no room for a chart.
int AddChart(Binder& b, const ChartInf* inf, uint16_t* out_entry);
int GetChartInf(Binder& b, PageData chart, ChartInf* out);
int PutChartInf(Binder& b, PageData chart, const ChartInf* in);
int GetChartHR(Binder& b, PageData chart, uint16_t* hr1, uint16_t* hr2);
int PutChartHR(Binder& b, PageData chart, uint16_t hr1, uint16_t hr2);
int GetChartRHight(Binder& b, PageData chart, uint16_t row, uint16_t* height);
int PutChartRHight(Binder& b, PageData chart, uint16_t row, uint16_t height);
int GetChartCWidth(Binder& b, PageData chart, uint16_t col, uint16_t* width);
int PutChartCWidth(Binder& b, PageData chart, uint16_t col, uint16_t width);
int InsertChartR(Binder& b, PageData chart, uint8_t after, uint16_t row, uint16_t height);
int DeleteChartR(Binder& b, PageData chart, uint16_t row);
int InsertChartC(Binder& b, PageData chart, uint8_t after, uint16_t col, uint16_t width);
int DeleteChartC(Binder& b, PageData chart, uint16_t col);

// Frees every cell's attribute record and text of a chart in the page's pools (chart deletion).
void ReleaseChartCells(Page& page, ChartRec& chart);

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_CHART_OPS_H_
