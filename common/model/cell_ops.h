// Chart cells and ruled lines: cell attributes and texts per grid position, the line calls, the
// origin test that turns lines into cells, and the traversal, area and rectangle calls built on it.
// Every operation works on the binder's current page; an entry that names no chart gives kRefused.
#ifndef QSTORE_COMMON_MODEL_CELL_OPS_H_
#define QSTORE_COMMON_MODEL_CELL_OPS_H_

#include <cstdint>

#include "common/model/binder.h"
#include "common/model/page_data.h"
#include "qstore_records.h"

namespace qs {

enum class CellContent { kCell, kEmpty, kOutside };
// Reads the attributes and text kept at a grid position, whether or not it begins a cell (a
// position keeps them when a line that closed its cell is taken away): kCell with *cell and text256
// filled, kEmpty for a position without attributes, kOutside when the entry names no chart or the
// position lies outside its grid. Nothing is written unless kCell.
CellContent ReadCellAt(Binder& b, PageData chart, uint16_t row, uint16_t col, ChartCell* cell,
                       char* text256);
// A cell's origin as ReadCellAt reads it; kRefused for a position without attributes, a status of
// its own for one that keeps attributes but begins no cell.
int GetChartCell(Binder& b, PageData chart, uint16_t row, uint16_t col, ChartCell* cell,
                 char* text256);
int PutChartCell(Binder& b, PageData chart, uint16_t row, uint16_t col, const ChartCell* cell,
                 const char* text);
int GetChartVline(Binder& b, PageData chart, uint16_t row, uint16_t boundary, ChartLine* line);
int PutChartVline(Binder& b, PageData chart, uint16_t row, uint16_t boundary,
                  const ChartLine* line);
int GetChartHline(Binder& b, PageData chart, uint16_t boundary, uint16_t col, ChartLine* line);
int PutChartHline(Binder& b, PageData chart, uint16_t boundary, uint16_t col,
                  const ChartLine* line);
int ChartGetExistCell(Binder& b, PageData chart, uint16_t* row, uint16_t* col);
int ChartCellArea(Binder& b, PageData chart, uint16_t row, uint16_t col, uint16_t* last_row,
                  uint16_t* last_col);
int ChartCellRect(Binder& b, PageData chart, uint16_t row, uint16_t col, int32_t* left,
                  int32_t* top, int32_t* right, int32_t* bottom);
// `filter` 0 accepts every cell found (the form library always passes 0); otherwise only origins
// without attributes or whose Kind is 1 are accepted and the search goes on past the others.
int ChartNextCell(Binder& b, uint8_t filter, PageData chart, uint16_t row, uint16_t col,
                  uint16_t* next_row, uint16_t* next_col);
int ChartNextCellEx(Binder& b, uint8_t filter, PageData chart, uint16_t row, uint16_t col,
                    uint8_t dir, uint16_t* next_row, uint16_t* next_col);

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_CELL_OPS_H_
