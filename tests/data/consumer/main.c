/* Links against the installed libraries and prints a record size; it calls nothing, but holds the
 * address of an export so that the link cannot be satisfied without the library. */
#include <stdio.h>

#include "formstore.h"
#ifdef QSTORE_WITH_DOCSTORE
#include "docstore.h"
#endif

int main(void) {
  int32_t(QSTORE_CALL* volatile create)(FormHandle*, const FormInf*) = QfaCreateForm;
#ifdef QSTORE_WITH_DOCSTORE
  int32_t(QSTORE_CALL* volatile create_doc)(DocHandle*, const DocInf*) = QdaCreateDoc;
  printf("DocInf=%lu %s\n", (unsigned long)sizeof(DocInf), create_doc != NULL ? "linked" : "null");
#endif
  printf("FormInf=%lu %s\n", (unsigned long)sizeof(FormInf), create != NULL ? "linked" : "null");
  return 0;
}
