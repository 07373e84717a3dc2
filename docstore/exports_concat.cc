// Appending one open document to another.
#include "docstore.h"
#include "docstore/concat.h"
#include "docstore/document.h"

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaConcatDoc(DocHandle* target, DocHandle* source) {
  qs::Document* from = qs::Document::FromHandle(source);
  if (from == nullptr) return qs::kRefused;
  return qs::WithDocument(target, [&](qs::Document& to) { return qs::ConcatDoc(to, *from); });
}
