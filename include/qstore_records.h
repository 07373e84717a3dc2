/* Records exchanged by the form library (formstore) and the document library (docstore).
 *
 * Every record is packed (no padding) and little-endian; its size is part of the interface and is
 * checked below. Colours travel as 0x00BBGGRR values, fonts as a FontSpec. Strings are
 * NUL-terminated Shift-JIS byte strings. */
#ifndef QSTORE_RECORDS_H_
#define QSTORE_RECORDS_H_

#include <stdint.h>

#if defined(_WIN32)
#define QSTORE_CALL __stdcall
#if defined(QSTORE_BUILDING_LIBRARY)
#define QSTORE_API __declspec(dllexport)
#else
#define QSTORE_API __declspec(dllimport)
#endif
#else
#define QSTORE_CALL
#define QSTORE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define QSTORE_EXTERN_C extern "C"
#define QSTORE_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QSTORE_EXTERN_C
#if defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define QSTORE_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#else
/* C99 has no static assertion: an array of negative size stops the build instead. The name carries
 * the line number, so this header must not use the macro twice on one line. */
#define QSTORE_STATIC_ASSERT_JOIN2(a, b) a##b
#define QSTORE_STATIC_ASSERT_JOIN(a, b) QSTORE_STATIC_ASSERT_JOIN2(a, b)
#define QSTORE_STATIC_ASSERT(cond, msg) \
  typedef char QSTORE_STATIC_ASSERT_JOIN(qstore_static_assert_line_, __LINE__)[(cond) ? 1 : -1]
#endif
#endif

#pragma pack(push, 1)

/* A font: the face name and five small values kept for the caller. */
typedef struct FontSpec {
  char FontName[33];
  uint8_t Value5; /* 0..31 */
  uint8_t Value3; /* 0..7 */
  uint8_t ValueA; /* 0..3 */
  uint8_t ValueB; /* 0..3 */
  uint8_t ValueC; /* 0..1 */
} FontSpec;

/* The caller's information block of a form or document. */
typedef struct FormInf {
  uint8_t Reserved0;
  char Title[41];
  char TemplateName[19]; /* formstore only; kept as given by docstore */
  uint8_t ReadOrder;
  uint8_t Reserved[9];
} FormInf;
typedef FormInf DocInf;

typedef struct FormDateTime {
  uint16_t Year;
  uint8_t Month;
  uint8_t Day;
  uint8_t Hour;
  uint8_t Minute;
  uint8_t Second;
} FormDateTime;
typedef FormDateTime DocDateTime;

typedef struct PageInf {
  uint8_t Flag1;
  uint8_t Flag2;
} PageInf;

typedef struct ChartInf {
  uint8_t Flag;
  int32_t Left;
  int32_t Top;
  int32_t Right;
  int32_t Bottom;
  uint16_t Rows;
  uint16_t Cols;
  uint16_t RowHight;
  uint8_t LineStyle;
  uint16_t LineParam;
  uint32_t LineColor;
} ChartInf;

typedef struct ChartCell {
  uint8_t Kind;
  FontSpec Font;
  uint16_t Attr[6];
  uint32_t Color1;
  uint8_t Mode;
  uint32_t Color2;
} ChartCell;

typedef struct ChartLine {
  uint8_t Style; /* 0 = no line */
  uint16_t Param;
  uint32_t Color;
} ChartLine;

/* Free cells and texts share one layout. */
typedef struct Text {
  uint8_t Kind;
  int32_t Left;
  int32_t Top;
  int32_t Right;
  int32_t Bottom;
  FontSpec Font;
  uint16_t Attr[6];
  uint32_t Color1;
  uint8_t Mode;
  uint32_t Color2;
} Text;
typedef Text FreCell;

typedef struct Figure {
  uint8_t Shape;
  uint8_t Style;
  uint16_t Param;
  uint32_t Color1;
  uint8_t Fill;
  uint32_t Color2;
  uint8_t Geometry[24];
} Figure;

typedef struct InsFigure {
  int32_t Geometry[9];
  uint8_t Mode;
} InsFigure;

/* The program settings of a form's field-definition template. */
typedef struct FieldControl {
  char PrgName[13];  /* at most 12 characters */
  char PrgTitle[41]; /* at most 40 characters */
  uint16_t PrgKind;
  uint8_t UserMode;
  uint8_t PageMode; /* 1 before a template sets it */
} FieldControl;

/* A structure of the template: table, sub-table, record, case or tag. */
typedef struct FieldStruct {
  uint16_t StructId;
  char StructName[33];
  uint8_t StructKind; /* 1 table, 2 sub-table, 3 record, 4 case, 5 tag */
  uint16_t ParentId;  /* innermost enclosing structure, 0 at top level */
  uint16_t TopId;     /* outermost enclosing structure; for a record, the number its line gives */
} FieldStruct;

/* An input field of the template, as the field getters return it. */
typedef struct Field {
  uint16_t FieldId;
  char FieldName[33];
  uint8_t DataType; /* 1 ST, 2 CH, 3 IT, 4 RL, 5 AR, 6 FF, 7 DT */
  uint8_t FieldSize;
  uint16_t ParentId; /* innermost enclosing structure, 0 when none */
  uint16_t TopId;    /* outermost enclosing structure, 0 when none */
} Field;

/* The presentation values of a field. */
typedef struct FieldForm {
  uint8_t FormA;    /* 0..7 */
  uint8_t FormB;    /* 0..3 */
  uint8_t FormC;    /* 0..7 */
  uint8_t Reserved; /* a get leaves it as it was, a put ignores it */
  uint8_t FormD;    /* 0..3 */
  uint8_t FormE;    /* 0..3; shared by every field of a table */
  uint8_t FormF;    /* 0..63; shared by every field of a table */
} FieldForm;

/* Where a placement lies in its chart: the top-left cell and the rows it covers. */
typedef struct LayoutPos {
  uint16_t Row; /* 0 in a free cell */
  uint16_t Col; /* 0 in a free cell */
  uint8_t Mode; /* 1 for a table's placements, 0 for a field's */
  uint16_t Extent;
  uint8_t Reserved;
} LayoutPos;

#pragma pack(pop)

QSTORE_STATIC_ASSERT(sizeof(FontSpec) == 38, "FontSpec is 38 bytes");
QSTORE_STATIC_ASSERT(sizeof(FormInf) == 71, "FormInf is 71 bytes");
QSTORE_STATIC_ASSERT(sizeof(FormDateTime) == 7, "FormDateTime is 7 bytes");
QSTORE_STATIC_ASSERT(sizeof(PageInf) == 2, "PageInf is 2 bytes");
QSTORE_STATIC_ASSERT(sizeof(ChartInf) == 30, "ChartInf is 30 bytes");
QSTORE_STATIC_ASSERT(sizeof(ChartCell) == 60, "ChartCell is 60 bytes");
QSTORE_STATIC_ASSERT(sizeof(ChartLine) == 7, "ChartLine is 7 bytes");
QSTORE_STATIC_ASSERT(sizeof(Text) == 76, "Text and FreCell are 76 bytes");
QSTORE_STATIC_ASSERT(sizeof(Figure) == 37, "Figure is 37 bytes");
QSTORE_STATIC_ASSERT(sizeof(InsFigure) == 37, "InsFigure is 37 bytes");
QSTORE_STATIC_ASSERT(sizeof(FieldControl) == 58, "FieldControl is 58 bytes");
QSTORE_STATIC_ASSERT(sizeof(FieldStruct) == 40, "FieldStruct is 40 bytes");
QSTORE_STATIC_ASSERT(sizeof(Field) == 41, "Field is 41 bytes");
QSTORE_STATIC_ASSERT(sizeof(FieldForm) == 7, "FieldForm is 7 bytes");
QSTORE_STATIC_ASSERT(sizeof(LayoutPos) == 8, "LayoutPos is 8 bytes");

#endif /* QSTORE_RECORDS_H_ */
