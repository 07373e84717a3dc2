// Chart cells and ruled lines of an open form. The form library's traversals never filter.
#include "common/model/cell_ops.h"
#include "common/model/page_data.h"
#include "formstore.h"
#include "formstore/form.h"

using qs::Form;
using qs::PageData;
using qs::WithForm;

namespace {
constexpr uint8_t kNoFilter = 0;
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartCell(FormHandle* h, uint32_t entry,
                                                               uint16_t row, uint16_t col,
                                                               ChartCell* cell, char* text) {
  return WithForm(h, [&](Form& f) {
    return qs::GetChartCell(f, PageData::FromValue(entry), row, col, cell, text);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartCell(FormHandle* h, uint32_t entry,
                                                               uint16_t row, uint16_t col,
                                                               const ChartCell* cell,
                                                               const char* text) {
  return WithForm(h, [&](Form& f) {
    return qs::PutChartCell(f, PageData::FromValue(entry), row, col, cell, text);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartNextCell(FormHandle* h, uint32_t entry,
                                                                uint16_t row, uint16_t col,
                                                                uint16_t* next_row,
                                                                uint16_t* next_col) {
  return WithForm(h, [&](Form& f) {
    return qs::ChartNextCell(f, kNoFilter, PageData::FromValue(entry), row, col, next_row,
                             next_col);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartNextCellEx(FormHandle* h, uint32_t entry,
                                                                  uint16_t row, uint16_t col,
                                                                  uint8_t Dir, uint16_t* next_row,
                                                                  uint16_t* next_col) {
  return WithForm(h, [&](Form& f) {
    return qs::ChartNextCellEx(f, kNoFilter, PageData::FromValue(entry), row, col, Dir, next_row,
                               next_col);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartGetExistCell(FormHandle* h, uint32_t entry,
                                                                    uint16_t* row, uint16_t* col) {
  return WithForm(
      h, [&](Form& f) { return qs::ChartGetExistCell(f, PageData::FromValue(entry), row, col); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartCellRect(FormHandle* h, uint32_t entry,
                                                                uint16_t row, uint16_t col,
                                                                int32_t* left, int32_t* top,
                                                                int32_t* right, int32_t* bottom) {
  return WithForm(h, [&](Form& f) {
    return qs::ChartCellRect(f, PageData::FromValue(entry), row, col, left, top, right, bottom);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartCellArea(FormHandle* h, uint32_t entry,
                                                                uint16_t row, uint16_t col,
                                                                uint16_t* last_row,
                                                                uint16_t* last_col) {
  return WithForm(h, [&](Form& f) {
    return qs::ChartCellArea(f, PageData::FromValue(entry), row, col, last_row, last_col);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartVline(FormHandle* h, uint32_t entry,
                                                                uint16_t row, uint16_t boundary,
                                                                ChartLine* line) {
  return WithForm(h, [&](Form& f) {
    return qs::GetChartVline(f, PageData::FromValue(entry), row, boundary, line);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartVline(FormHandle* h, uint32_t entry,
                                                                uint16_t row, uint16_t boundary,
                                                                const ChartLine* line) {
  return WithForm(h, [&](Form& f) {
    return qs::PutChartVline(f, PageData::FromValue(entry), row, boundary, line);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartHline(FormHandle* h, uint32_t entry,
                                                                uint16_t boundary, uint16_t col,
                                                                ChartLine* line) {
  return WithForm(h, [&](Form& f) {
    return qs::GetChartHline(f, PageData::FromValue(entry), boundary, col, line);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartHline(FormHandle* h, uint32_t entry,
                                                                uint16_t boundary, uint16_t col,
                                                                const ChartLine* line) {
  return WithForm(h, [&](Form& f) {
    return qs::PutChartHline(f, PageData::FromValue(entry), boundary, col, line);
  });
}
