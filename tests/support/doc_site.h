// A TempSite that the document library uses as well: its work directory is the site's, and
// documents are numbered from a counter of the site's own.
#ifndef QSTORE_TESTS_SUPPORT_DOC_SITE_H_
#define QSTORE_TESTS_SUPPORT_DOC_SITE_H_

#include <string>

#include "docstore.h"
#include "support/form_fixture.h"

namespace qs_test {

class DocSite : public TempSite {
 public:
  DocSite();
  ~DocSite();

 private:
  std::string doc_counter_;
};

// Creates a document with `pages` empty pages, page 1 current (none: CurPage 0).
void CreateDoc(DocHandle* h, int pages, const DocInf& inf = DocInf{});

}  // namespace qs_test

#endif  // QSTORE_TESTS_SUPPORT_DOC_SITE_H_
