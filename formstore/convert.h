// Form to document conversion: the form's file format, which the document library opens, with its
// chart cells marked as entry cells or not.
#ifndef QSTORE_FORMSTORE_CONVERT_H_
#define QSTORE_FORMSTORE_CONVERT_H_

#include "formstore/form.h"

namespace qs {

// Turns an open form into a document at `doc_path` (".QFD" appended in place to a name without
// '.'): the template name becomes the file name of `form_name` as given (cut to fit), the
// header/footer block all zeros, both dates now; every chart cell attribute gets Kind 1 when its
// text is empty or only spaces, else 0. Counts one change. Returns the save's status: kNoPages for
// a form without pages (nothing written), else that of the atomic save.
int ConvertToDocument(Form& form, const char* form_name, char* doc_path);

}  // namespace qs

#endif  // QSTORE_FORMSTORE_CONVERT_H_
