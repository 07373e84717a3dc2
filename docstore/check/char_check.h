// The prohibited-character check of a document: every chart cell, text and free cell on every page
// is examined for full-width alphanumerics, half-width katakana and user-defined or special
// characters, which are reported in a log and, category by category, replaced.
#ifndef QSTORE_DOCSTORE_CHECK_CHAR_CHECK_H_
#define QSTORE_DOCSTORE_CHECK_CHAR_CHECK_H_

#include "common/model/binder.h"

namespace qs {

// File names in the settings directories of the directory service.
extern const char kProhibitIniName[];   // the character groups, in the shared directory
extern const char kReplaceTableName[];  // the plug-in's table: master shared, working copy per user

// Checks the categories of `check_mask` (kCategoryWide, kCategoryKana, kCategorySpecial) in every
// text of `doc` and replaces those of `replace_mask`. The log, when `log_path` is not null or
// empty, is appended to. `table_path`, when it names an existing file, is the plug-in's
// replacement table instead of the user's. Replaced texts are written back through the page
// model's put operations, so each is counted and journalled like any edit; a text that would grow
// past its limit is cut at a character boundary.
//
// Returns 0 when nothing was found, the sum of the categories found otherwise, or a negative
// status: kCheckLogOpen, a set-up failure (kCheckGroup..., kCheckNoIni, kCheckNoTable,
// kCheckTableCopy, kCheckPlugin...) or the first failure of the run (kCheckPageData ...
// kCheckFreCellWrite), which ends it. Replacements already written stay. The document's current
// page is its last page afterwards once the run has started.
int CheckReplaceText(Binder& doc, int check_mask, int replace_mask, const char* log_path,
                     const char* table_path);

}  // namespace qs

#endif  // QSTORE_DOCSTORE_CHECK_CHAR_CHECK_H_
