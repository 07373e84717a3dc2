// Everything the current page of a form holds, item by item, as the getters report it: for tests
// that an edit and its undo leave the page as it was.
#ifndef QSTORE_TESTS_SUPPORT_PAGE_DUMP_H_
#define QSTORE_TESTS_SUPPORT_PAGE_DUMP_H_

#include <cstdint>
#include <map>
#include <string>

#include "formstore.h"

namespace qs_test {

// Items by page-data value. A chart holds its information, HR pair, heights, widths, every ruled
// line, and per grid position the getter's status with the cell and its text; positions that keep
// attributes without being a cell's origin are read from the chart itself. An inserted figure holds
// its record and the bytes of its picture copy, not the copy's name (a restored figure gets a new
// copy). The page-data order is left out: an item that comes back goes last.
using PageDump = std::map<uint16_t, std::string>;

PageDump DumpPage(FormHandle* h);

// A readable account of where two dumps differ ("" when they do not).
std::string DescribeDifference(const PageDump& expected, const PageDump& actual);

}  // namespace qs_test

#endif  // QSTORE_TESTS_SUPPORT_PAGE_DUMP_H_
