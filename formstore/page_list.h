// Inserting and deleting the pages of a form. The document library has page operations of its own
// (it keeps most pages in a work file); these work on the form's in-memory page list.
#ifndef QSTORE_FORMSTORE_PAGE_LIST_H_
#define QSTORE_FORMSTORE_PAGE_LIST_H_

#include <cstdint>

#include "formstore/form.h"
#include "qstore_records.h"

namespace qs {

// Inserts an empty page before the current one (`after` 1: after it), makes it current and stores
// its page information. With `after` 1 the current page moves on first and stays moved even when
// the insert is then refused (-1).
int InsertFormPage(Form& f, uint8_t after, const PageInf* inf);
// Deletes the current page with everything on it; the picture files of its inserted figures stay.
// A current page beyond the new page count becomes the last page (0 when none is left).
int DeleteFormPage(Form& f);

}  // namespace qs

#endif  // QSTORE_FORMSTORE_PAGE_LIST_H_
