#include "support/doc_site.h"

#include <gtest/gtest.h>

#include "docstore/document.h"
#include "platform/env.h"

namespace qs_test {

DocSite::DocSite() : doc_counter_(counter_name() + "-doc") {
  qs::ReloadDocWorkDir();
  qs::SharedCounter::Unlink(doc_counter_);
  qs::UseDocCounterForTesting(doc_counter_);
}

DocSite::~DocSite() {
  qs::SharedCounter::Unlink(doc_counter_);
}

void CreateDoc(DocHandle* h, int pages, const DocInf& inf) {
  ASSERT_EQ(QdaCreateDoc(h, &inf), 0);
  for (int i = 0; i < pages; ++i) ASSERT_EQ(QdaInsertPage(h, 1), 0);
  if (pages > 0) {
    ASSERT_EQ(QdaPutCurPage(h, 1), 0);
  }
}

}  // namespace qs_test
