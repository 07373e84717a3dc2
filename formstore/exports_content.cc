// Free cells, texts, figures and inserted pictures of an open form.
#include "common/model/content_ops.h"
#include "common/model/page_data.h"
#include "formstore.h"
#include "formstore/form.h"

using qs::Form;
using qs::PageData;
using qs::WithForm;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFreCell(FormHandle* h, uint32_t entry,
                                                             FreCell* cell, char* text) {
  return WithForm(
      h, [&](Form& f) { return qs::GetFreCell(f, PageData::FromValue(entry), cell, text); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFreCell(FormHandle* h, uint32_t entry,
                                                             const FreCell* cell,
                                                             const char* text) {
  return WithForm(
      h, [&](Form& f) { return qs::PutFreCell(f, PageData::FromValue(entry), cell, text); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddFreCell(FormHandle* h, const FreCell* cell,
                                                             const char* text, uint16_t* entry) {
  return WithForm(h, [&](Form& f) { return qs::AddFreCell(f, cell, text, entry); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetText(FormHandle* h, uint32_t entry,
                                                          Text* record, char* text) {
  return WithForm(
      h, [&](Form& f) { return qs::GetText(f, PageData::FromValue(entry), record, text); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutText(FormHandle* h, uint32_t entry,
                                                          const Text* record, const char* text) {
  return WithForm(
      h, [&](Form& f) { return qs::PutText(f, PageData::FromValue(entry), record, text); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddText(FormHandle* h, const Text* record,
                                                          const char* text, uint16_t* entry) {
  return WithForm(h, [&](Form& f) { return qs::AddText(f, record, text, entry); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFigure(FormHandle* h, uint32_t entry,
                                                            Figure* figure) {
  return WithForm(h, [&](Form& f) { return qs::GetFigure(f, PageData::FromValue(entry), figure); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFigure(FormHandle* h, uint32_t entry,
                                                            const Figure* figure) {
  return WithForm(h, [&](Form& f) { return qs::PutFigure(f, PageData::FromValue(entry), figure); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddFigure(FormHandle* h, const Figure* figure,
                                                            uint16_t* entry) {
  return WithForm(h, [&](Form& f) { return qs::AddFigure(f, figure, entry); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetInsFigure(FormHandle* h, uint32_t entry,
                                                               InsFigure* figure, char* file_name) {
  return WithForm(h, [&](Form& f) {
    return qs::GetInsFigure(f, PageData::FromValue(entry), figure, file_name);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutInsFigure(FormHandle* h, uint32_t entry,
                                                               const InsFigure* figure) {
  return WithForm(h,
                  [&](Form& f) { return qs::PutInsFigure(f, PageData::FromValue(entry), figure); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddInsFigure(FormHandle* h,
                                                               const InsFigure* figure, char* path,
                                                               uint16_t* entry) {
  return WithForm(h, [&](Form& f) { return qs::AddInsFigure(f, figure, path, entry); });
}
