// The form library's page-model exports: header information, pages and page data, charts, cells
// and lines, free content and undo, each bound to the shared operation through WithForm. The form
// library's cell traversals never filter.
#include "common/model/export_bindings.h"
#include "formstore.h"
#include "formstore/form.h"

QS_PAGE_MODEL_EXPORTS(Qfa, FormHandle, Form, qs::Form, qs::WithForm, QS_NO_FILTER)
