/* A plain C client of both libraries' headers, in one translation unit. It prints the size of every
 * exchanged record and the offsets of the members whose place is easiest to get wrong, as
 * name=value lines (name.member=offset for offsets) that the test compares with the layout callers
 * rely on. It also builds as C++.
 *
 * The exports are only referenced, never called: linking is what checks their C names. */
#include <stddef.h>
#include <stdio.h>

#include "docstore.h"
#include "formstore.h"
#include "qstore_records.h"

#define SHOW_SIZE(type) printf("%s=%lu\n", #type, (unsigned long)sizeof(type))
#define SHOW_OFFSET(type, member) \
  printf("%s.%s=%lu\n", #type, #member, (unsigned long)offsetof(type, member))

int main(void) {
  int32_t(QSTORE_CALL* volatile create)(FormHandle*, const FormInf*) = QfaCreateForm;
  int32_t(QSTORE_CALL* volatile get_inf)(FormHandle*, FormInf*) = QfaGetFormInf;
  int32_t(QSTORE_CALL* volatile close_form)(FormHandle*) = QfaCloseForm;
#ifdef QSTORE_WITH_DOCSTORE
  int32_t(QSTORE_CALL* volatile create_doc)(DocHandle*, const DocInf*) = QdaCreateDoc;
  printf("QdaCreateDoc=%s\n", create_doc != NULL ? "linked" : "null");
#endif
  printf("QfaCreateForm=%s\n",
         create != NULL && get_inf != NULL && close_form != NULL ? "linked" : "null");

  printf("pointer=%lu\n", (unsigned long)sizeof(void*));
  SHOW_SIZE(FormHandle);
  SHOW_OFFSET(FormHandle, CurPage);
  SHOW_SIZE(DocHandle);
  SHOW_OFFSET(DocHandle, CurPage);

  SHOW_SIZE(FontSpec);
  SHOW_OFFSET(FontSpec, Value5);
  SHOW_OFFSET(FontSpec, ValueC);

  SHOW_SIZE(FormInf);
  SHOW_SIZE(DocInf);
  SHOW_OFFSET(FormInf, Title);
  SHOW_OFFSET(FormInf, TemplateName);
  SHOW_OFFSET(FormInf, ReadOrder);

  SHOW_SIZE(FormDateTime);
  SHOW_SIZE(DocDateTime);
  SHOW_OFFSET(FormDateTime, Month);
  SHOW_OFFSET(FormDateTime, Second);

  SHOW_SIZE(PageInf);
  SHOW_OFFSET(PageInf, Flag2);

  SHOW_SIZE(ChartInf);
  SHOW_OFFSET(ChartInf, Left);
  SHOW_OFFSET(ChartInf, Rows);
  SHOW_OFFSET(ChartInf, RowHight);
  SHOW_OFFSET(ChartInf, LineStyle);
  SHOW_OFFSET(ChartInf, LineParam);
  SHOW_OFFSET(ChartInf, LineColor);

  SHOW_SIZE(ChartCell);
  SHOW_OFFSET(ChartCell, Font);
  SHOW_OFFSET(ChartCell, Attr);
  SHOW_OFFSET(ChartCell, Color1);
  SHOW_OFFSET(ChartCell, Mode);
  SHOW_OFFSET(ChartCell, Color2);

  SHOW_SIZE(ChartLine);
  SHOW_OFFSET(ChartLine, Param);
  SHOW_OFFSET(ChartLine, Color);

  SHOW_SIZE(Text);
  SHOW_SIZE(FreCell);
  SHOW_OFFSET(Text, Bottom);
  SHOW_OFFSET(Text, Font);
  SHOW_OFFSET(Text, Attr);
  SHOW_OFFSET(Text, Color1);
  SHOW_OFFSET(Text, Mode);
  SHOW_OFFSET(Text, Color2);

  SHOW_SIZE(Figure);
  SHOW_OFFSET(Figure, Param);
  SHOW_OFFSET(Figure, Color1);
  SHOW_OFFSET(Figure, Fill);
  SHOW_OFFSET(Figure, Color2);
  SHOW_OFFSET(Figure, Geometry);

  SHOW_SIZE(InsFigure);
  SHOW_OFFSET(InsFigure, Mode);

  SHOW_SIZE(FieldControl);
  SHOW_OFFSET(FieldControl, PrgTitle);
  SHOW_OFFSET(FieldControl, PrgKind);
  SHOW_OFFSET(FieldControl, UserMode);
  SHOW_OFFSET(FieldControl, PageMode);

  SHOW_SIZE(FieldStruct);
  SHOW_OFFSET(FieldStruct, StructName);
  SHOW_OFFSET(FieldStruct, StructKind);
  SHOW_OFFSET(FieldStruct, ParentId);
  SHOW_OFFSET(FieldStruct, TopId);

  SHOW_SIZE(Field);
  SHOW_OFFSET(Field, FieldName);
  SHOW_OFFSET(Field, DataType);
  SHOW_OFFSET(Field, FieldSize);
  SHOW_OFFSET(Field, ParentId);
  SHOW_OFFSET(Field, TopId);

  SHOW_SIZE(FieldForm);
  SHOW_OFFSET(FieldForm, FormD);
  SHOW_OFFSET(FieldForm, FormF);

  SHOW_SIZE(LayoutPos);
  SHOW_OFFSET(LayoutPos, Col);
  SHOW_OFFSET(LayoutPos, Mode);
  SHOW_OFFSET(LayoutPos, Extent);
  SHOW_OFFSET(LayoutPos, Reserved);
  return 0;
}
