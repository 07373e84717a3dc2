// The chart grid of an open form.
#include "common/model/chart_ops.h"
#include "formstore.h"
#include "formstore/form.h"

using qs::Form;
using qs::PageData;
using qs::WithForm;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddChart(FormHandle* h, const ChartInf* inf,
                                                           uint16_t* entry) {
  return WithForm(h, [&](Form& f) { return qs::AddChart(f, inf, entry); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartInf(FormHandle* h, uint32_t entry,
                                                              ChartInf* inf) {
  return WithForm(h, [&](Form& f) { return qs::GetChartInf(f, PageData::FromValue(entry), inf); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartInf(FormHandle* h, uint32_t entry,
                                                              const ChartInf* inf) {
  return WithForm(h, [&](Form& f) { return qs::PutChartInf(f, PageData::FromValue(entry), inf); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartHR(FormHandle* h, uint32_t entry,
                                                             uint16_t* HR1, uint16_t* HR2) {
  return WithForm(h,
                  [&](Form& f) { return qs::GetChartHR(f, PageData::FromValue(entry), HR1, HR2); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartHR(FormHandle* h, uint32_t entry,
                                                             uint16_t HR1, uint16_t HR2) {
  return WithForm(h,
                  [&](Form& f) { return qs::PutChartHR(f, PageData::FromValue(entry), HR1, HR2); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartRHight(FormHandle* h, uint32_t entry,
                                                                 uint16_t row, uint16_t* height) {
  return WithForm(
      h, [&](Form& f) { return qs::GetChartRHight(f, PageData::FromValue(entry), row, height); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartRHight(FormHandle* h, uint32_t entry,
                                                                 uint16_t row, uint16_t height) {
  return WithForm(
      h, [&](Form& f) { return qs::PutChartRHight(f, PageData::FromValue(entry), row, height); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartCWidth(FormHandle* h, uint32_t entry,
                                                                 uint16_t col, uint16_t* width) {
  return WithForm(
      h, [&](Form& f) { return qs::GetChartCWidth(f, PageData::FromValue(entry), col, width); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartCWidth(FormHandle* h, uint32_t entry,
                                                                 uint16_t col, uint16_t width) {
  return WithForm(
      h, [&](Form& f) { return qs::PutChartCWidth(f, PageData::FromValue(entry), col, width); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaInsertChartR(FormHandle* h, uint32_t entry,
                                                               uint8_t After, uint16_t row,
                                                               uint16_t height) {
  return WithForm(h, [&](Form& f) {
    return qs::InsertChartR(f, PageData::FromValue(entry), After, row, height);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaDeleteChartR(FormHandle* h, uint32_t entry,
                                                               uint16_t row) {
  return WithForm(h, [&](Form& f) { return qs::DeleteChartR(f, PageData::FromValue(entry), row); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaInsertChartC(FormHandle* h, uint32_t entry,
                                                               uint8_t After, uint16_t col,
                                                               uint16_t width) {
  return WithForm(h, [&](Form& f) {
    return qs::InsertChartC(f, PageData::FromValue(entry), After, col, width);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaDeleteChartC(FormHandle* h, uint32_t entry,
                                                               uint16_t col) {
  return WithForm(h, [&](Form& f) { return qs::DeleteChartC(f, PageData::FromValue(entry), col); });
}
