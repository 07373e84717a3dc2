// The document library's page-model exports: header information, pages and page data, charts,
// cells and lines, free content and undo, each bound to the shared operation through
// WithDocument. The cell traversals pass the caller's filter on; the document's other differences
// (free-cell Kind kept, all-zero header/footer absent, a missing picture source refused with 100,
// the handle's cursor being the page number) are the Document's LibraryTraits.
#include "common/model/export_bindings.h"
#include "docstore.h"
#include "docstore/document.h"

QS_PAGE_MODEL_EXPORTS(Qda, DocHandle, Doc, qs::Document, qs::WithDocument, QS_CALLER_FILTER)
