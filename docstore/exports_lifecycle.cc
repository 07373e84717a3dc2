// Creating, opening, saving and closing documents, and what can be asked of them.
#include "common/contained.h"
#include "common/status.h"
#include "common/undo/undo_state.h"
#include "docstore.h"
#include "docstore/document.h"
#include "docstore/document_file.h"
#include "platform/env.h"

using qs::Document;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCreateDoc(DocHandle* handle, const DocInf* info) {
  if (handle == nullptr || info == nullptr) return qs::kRefused;
  handle->State = nullptr;
  int status = qs::kOk;
  std::unique_ptr<Document> doc = Document::Make(&status);
  if (!doc) return status == qs::kCannotOpen ? qs::kNoWorkFile : qs::kRefused;
  doc->header().rec.inf = *info;
  handle->State = doc.release();
  handle->CurPage = 0;
  return qs::kOk;
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaOpenDoc(DocHandle* handle, const char* path) {
  if (handle == nullptr || path == nullptr) return qs::kRefused;
  handle->State = nullptr;
  return qs::Contained(qs::kNoMemory, [&]() -> int32_t {
    if (!qs::CurrentEnv()->Exists(path)) return qs::kNotFound;
    int status = qs::kOk;
    std::unique_ptr<Document> doc = Document::Make(&status);
    if (!doc) return status == qs::kCannotOpen ? qs::kRefused : qs::kNoDocState;
    status = qs::ReadDocumentFile(*doc, path);
    // A document that could not be read in full is released with everything it made.
    if (status != qs::kOk) return status;
    doc->set_current_page(1);
    doc->PageAt(1);  // page 1 starts out cached; a failure shows at the first page call
    handle->State = doc.release();
    handle->CurPage = 1;
    return qs::kOk;
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCloseDoc(DocHandle* handle) {
  delete Document::FromHandle(handle);
  if (handle != nullptr) handle->State = nullptr;
  return qs::kOk;
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaSaveDoc(DocHandle* handle, const char* path) {
  if (path == nullptr) return qs::kRefused;
  return qs::WithDocument(
      handle,
      [&](Document& d) {
        if (d.page_count() == 0) return int(qs::kNoPages);
        // A page that cannot be written back (its picture is gone) fails the save; the file at
        // `path` stays as it was.
        int status = d.FlushPages();
        if (status == qs::kOk) status = qs::SaveDocumentFile(d, path);
        if (status == qs::kOk) d.reset_update_count();
        qs::EmptyBothJournals(d.undo());
        return status;
      },
      qs::kNoMemory);
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaQueryDocUpdate(DocHandle* handle) {
  const Document* doc = Document::FromHandle(handle);
  return doc ? int32_t(doc->update_count()) : 0;
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetDocInfDirect(const char* path, DocInf* info,
                                                                  char* title) {
  if (path == nullptr || info == nullptr || title == nullptr) return qs::kRefused;
  return qs::Contained(qs::kNoMemory,
                       [&]() -> int32_t { return qs::ReadDocInfDirect(path, info, title); });
}
