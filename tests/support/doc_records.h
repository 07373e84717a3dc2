// Helpers for the document library's own tests: pages told apart by a label kept in their
// information word, and document files taken apart into records or built from them.
#ifndef QSTORE_TESTS_SUPPORT_DOC_RECORDS_H_
#define QSTORE_TESTS_SUPPORT_DOC_RECORDS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "docstore.h"

namespace qs_test {

// Labels page `position` of the document with `label` (1..16383) in the upper bits of its page
// information word, which files keep and the exports' flags do not touch.
void LabelPage(DocHandle* h, int position, int label);
// The label of page `position`, -1 when it cannot be loaded.
int LabelOf(DocHandle* h, int position);
// The labels of all pages in order.
std::vector<int> Labels(DocHandle* h);

// The records the page writer makes of page `position` (numbered 1 whatever its position): what
// a page holds, comparable between documents. "" when it cannot be loaded or written.
std::string PageRecords(DocHandle* h, int position);

struct Record {
  uint8_t tag;
  std::string body;
  bool operator==(const Record& o) const { return tag == o.tag && body == o.body; }
};
// The records of a file or byte string; an unframed rest ends the list with a record of tag '?'.
std::vector<Record> ParseRecords(const std::string& bytes);
std::vector<Record> FileRecords(const std::string& path);
// The framed bytes of records.
std::string Frame(uint8_t tag, const std::string& body);
std::string Frame(const std::vector<Record>& records);
// "H288 b360 P4 ...": tags and lengths, for readable comparisons.
std::string Outline(const std::vector<Record>& records);

// An 'H' body of the current layout: version, title, page count; the rest zero.
std::string HeaderBody(uint8_t version, const std::string& title, uint16_t pages);
std::string PageBody(uint16_t number, uint16_t inf = 0);
std::string U16(uint16_t v);
std::string U32(uint32_t v);

}  // namespace qs_test

#endif  // QSTORE_TESTS_SUPPORT_DOC_RECORDS_H_
