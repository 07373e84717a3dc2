#include "support/form_fixture.h"

#include <cstring>

namespace qs_test {

void FormTest::SetUp() {
  FormInf inf{};
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  PageInf page{};
  for (int i = 0; i < pages_; ++i) {
    ASSERT_EQ(QfaInsertFormPage(&h, i == 0 ? 0 : 1, &page), 0);
  }
  if (pages_ > 0) {
    ASSERT_EQ(QfaPutCurPage(&h, 1), 0);
  }
}

void FormTest::TearDown() {
  if (h.State != nullptr) QfaCloseForm(&h);
  h.State = nullptr;
}

FontSpec Font(const char* name) {
  FontSpec f{};
  std::strncpy(f.FontName, name, sizeof f.FontName - 1);
  return f;
}

}  // namespace qs_test
