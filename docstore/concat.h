// Appending every page of one open document to another.
//
// Pages travel chain to chain: the records of each source page are copied from the source's work
// file into a new chain of the target without becoming a page record, and only the bytes that must
// change are rewritten on the way: the page number of 'P', the font number of every cell, text and
// free cell (the source's font slots are found or added among the target's), and the text of a
// title-bound text when the two documents' titles differ (it becomes ordinary text holding the
// source's title). Pictures travel inside their 'I' records.
#ifndef QSTORE_DOCSTORE_CONCAT_H_
#define QSTORE_DOCSTORE_CONCAT_H_

#include "docstore/document.h"

namespace qs {

// Appends the pages of `source` behind the last page of `target`. kOk; kInfDiffers, nothing
// changed, when the documents' information differs at DocInf bytes 55 or 60; kRefused when source
// and target are one document, the target would exceed its page limit, or a page could not be
// copied. A failure part-way removes the pages appended so far and gives the target back its font
// slots, so a failed concatenation leaves the target as it was. On success the target counts one
// change and both its journals are emptied; its current page stays.
int ConcatDoc(Document& target, Document& source);

}  // namespace qs

#endif  // QSTORE_DOCSTORE_CONCAT_H_
