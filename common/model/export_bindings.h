// The table of exports that both libraries bind to the shared page model: header information,
// pages and page data, the chart grid, cells and lines, free cells, texts and figures, and undo.
//
// Each library instantiates the table once, with its export prefix, handle type, item word
// ("Form" / "Doc", as in QfaGetFormInf / QdaGetDocInf), its binder type, the function that runs a
// body on the binder behind a handle, and its cell-traversal filter. Every export is then one line
// here, so the two libraries cannot drift apart:
//
//   QS_PAGE_MODEL_EXPORTS(Qfa, FormHandle, Form, qs::Form, qs::WithForm, QS_NO_FILTER)
//
// The `With` function translates the handle's cursor into the page model's 1-based page number
// and back, and turns exceptions into kRefused. Where the libraries behave differently the shared
// operation asks the binder's LibraryTraits; the one difference in the interface itself is the
// traversal filter, an argument that only the document library's QdaChartNextCell(Ex) take: the
// form library passes 0 (QS_NO_FILTER), the document library the caller's value
// (QS_CALLER_FILTER).
//
// A row's call names the binder `b` and may use the names of namespace qs unqualified.
#ifndef QSTORE_COMMON_MODEL_EXPORT_BINDINGS_H_
#define QSTORE_COMMON_MODEL_EXPORT_BINDINGS_H_

#include <cstdint>

#include "common/model/cell_ops.h"
#include "common/model/chart_ops.h"
#include "common/model/content_ops.h"
#include "common/model/header_ops.h"
#include "common/model/page_data.h"
#include "common/model/page_ops.h"
#include "common/undo/undo_ops.h"
#include "common/undo/undo_replay.h"
#include "qstore_records.h"

// Defines Prefix##name: runs `call` on the binder behind handle `h` through `With`.
#define QS_BIND_EXPORT(Prefix, Binder, With, name, params, call)       \
  QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL Prefix##name params { \
    return With(h, [&](Binder& b) -> int32_t {                         \
      using namespace ::qs;                                            \
      return call;                                                     \
    });                                                                \
  }

// Defines Prefix##name for a count: a handle without an open item has nothing to count (0).
#define QS_BIND_QUERY(Prefix, Binder, name, params, call)              \
  QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL Prefix##name params { \
    Binder* found = Binder::FromHandle(h);                             \
    if (found == nullptr) return 0;                                    \
    Binder& b = *found;                                                \
    using namespace ::qs;                                              \
    return call;                                                       \
  }

// The traversal filter's parameter and argument, chosen by token pasting on the table's `Filter`.
#define QS_NO_FILTER_PARAM
#define QS_NO_FILTER_ARG 0
#define QS_CALLER_FILTER_PARAM uint8_t Filter,
#define QS_CALLER_FILTER_ARG Filter

#define QS_PAGE_MODEL_EXPORTS(Prefix, Handle, Item, Binder, With, Filter)                          \
  /* Header information. */                                                                        \
  QS_BIND_EXPORT(Prefix, Binder, With, Get##Item##Inf, (Handle * h, Item##Inf * info),             \
                 GetInf(b, info))                                                                  \
  QS_BIND_EXPORT(Prefix, Binder, With, Get##Item##Inf2,                                            \
                 (Handle * h, Item##Inf * info, char* title), GetInf2(b, info, title))             \
  QS_BIND_EXPORT(Prefix, Binder, With, Put##Item##Inf, (Handle * h, const Item##Inf* info),        \
                 PutInf(b, info))                                                                  \
  QS_BIND_EXPORT(Prefix, Binder, With, Put##Item##Inf2,                                            \
                 (Handle * h, const Item##Inf* info, const char* title), PutInf2(b, info, title))  \
  QS_BIND_EXPORT(Prefix, Binder, With, Get##Item##CColor, (Handle * h, uint32_t * colors),         \
                 GetCColor(b, colors))                                                             \
  QS_BIND_EXPORT(Prefix, Binder, With, Put##Item##CColor, (Handle * h, const uint32_t* colors),    \
                 PutCColor(b, colors))                                                             \
  QS_BIND_EXPORT(Prefix, Binder, With, Get##Item##HeaderFooter, (Handle * h, void* block),         \
                 GetHeaderFooter(b, static_cast<uint8_t*>(block)))                                 \
  QS_BIND_EXPORT(Prefix, Binder, With, Put##Item##HeaderFooter, (Handle * h, const void* block),   \
                 PutHeaderFooter(b, static_cast<const uint8_t*>(block)))                           \
  QS_BIND_EXPORT(Prefix, Binder, With, Get##Item##Memo, (Handle * h, char* memo),                  \
                 GetMemo(b, memo))                                                                 \
  QS_BIND_EXPORT(Prefix, Binder, With, Put##Item##Memo, (Handle * h, const char* memo),            \
                 PutMemo(b, memo))                                                                 \
  QS_BIND_EXPORT(Prefix, Binder, With, GetWorkInf, (Handle * h, int32_t, int32_t), GetWorkInf(b))  \
  QS_BIND_EXPORT(Prefix, Binder, With, PutWorkInf, (Handle * h, int32_t, int32_t), PutWorkInf(b))  \
  QS_BIND_EXPORT(Prefix, Binder, With, Get##Item##DateTime,                                        \
                 (Handle * h, Item##DateTime * created, Item##DateTime * updated),                 \
                 GetDateTime(b, created, updated))                                                 \
  QS_BIND_EXPORT(Prefix, Binder, With, Reset##Item##DateTime, (Handle * h), ResetDateTime(b))      \
  QS_BIND_EXPORT(Prefix, Binder, With, Update##Item##DateTime, (Handle * h), UpdateDateTime(b))    \
  /* Pages and page data. */                                                                       \
  QS_BIND_EXPORT(Prefix, Binder, With, GetPageCount, (Handle * h), GetPageCount(b))                \
  QS_BIND_EXPORT(Prefix, Binder, With, GetCurPage, (Handle * h, int32_t * page),                   \
                 GetCurPage(b, page))                                                              \
  QS_BIND_EXPORT(Prefix, Binder, With, PutCurPage, (Handle * h, int32_t page),                     \
                 PutCurPage(b, page))                                                              \
  QS_BIND_EXPORT(Prefix, Binder, With, GetPageInf, (Handle * h, PageInf * inf),                    \
                 GetPageInf(b, inf))                                                               \
  QS_BIND_EXPORT(Prefix, Binder, With, PutPageInf, (Handle * h, const PageInf* inf),               \
                 PutPageInf(b, inf))                                                               \
  QS_BIND_EXPORT(Prefix, Binder, With, GetPageDataCount, (Handle * h), GetPageDataCount(b))        \
  QS_BIND_EXPORT(Prefix, Binder, With, GetPageData,                                                \
                 (Handle * h, int32_t position, uint16_t * entry),                                 \
                 GetPageData(b, position, entry))                                                  \
  QS_BIND_EXPORT(Prefix, Binder, With, DeletePageData, (Handle * h, uint32_t entry),               \
                 DeletePageData(b, PageData::FromValue(entry)))                                    \
  QS_BIND_EXPORT(Prefix, Binder, With, NextPageData, (Handle * h, uint16_t * entry),               \
                 NextPageData(b, entry))                                                           \
  QS_BIND_EXPORT(Prefix, Binder, With, MoveTopPageData, (Handle * h, uint32_t entry),              \
                 MoveTopPageData(b, PageData::FromValue(entry)))                                   \
  QS_BIND_EXPORT(Prefix, Binder, With, MoveBottomPageData, (Handle * h, uint32_t entry),           \
                 MoveBottomPageData(b, PageData::FromValue(entry)))                                \
  /* Chart grid. */                                                                                \
  QS_BIND_EXPORT(Prefix, Binder, With, AddChart,                                                   \
                 (Handle * h, const ChartInf* inf, uint16_t* entry), AddChart(b, inf, entry))      \
  QS_BIND_EXPORT(Prefix, Binder, With, GetChartInf, (Handle * h, uint32_t entry, ChartInf * inf),  \
                 GetChartInf(b, PageData::FromValue(entry), inf))                                  \
  QS_BIND_EXPORT(Prefix, Binder, With, PutChartInf,                                                \
                 (Handle * h, uint32_t entry, const ChartInf* inf),                                \
                 PutChartInf(b, PageData::FromValue(entry), inf))                                  \
  QS_BIND_EXPORT(Prefix, Binder, With, GetChartHR,                                                 \
                 (Handle * h, uint32_t entry, uint16_t * HR1, uint16_t * HR2),                     \
                 GetChartHR(b, PageData::FromValue(entry), HR1, HR2))                              \
  QS_BIND_EXPORT(Prefix, Binder, With, PutChartHR,                                                 \
                 (Handle * h, uint32_t entry, uint16_t HR1, uint16_t HR2),                         \
                 PutChartHR(b, PageData::FromValue(entry), HR1, HR2))                              \
  QS_BIND_EXPORT(Prefix, Binder, With, GetChartRHight,                                             \
                 (Handle * h, uint32_t entry, uint16_t row, uint16_t * height),                    \
                 GetChartRHight(b, PageData::FromValue(entry), row, height))                       \
  QS_BIND_EXPORT(Prefix, Binder, With, PutChartRHight,                                             \
                 (Handle * h, uint32_t entry, uint16_t row, uint16_t height),                      \
                 PutChartRHight(b, PageData::FromValue(entry), row, height))                       \
  QS_BIND_EXPORT(Prefix, Binder, With, GetChartCWidth,                                             \
                 (Handle * h, uint32_t entry, uint16_t col, uint16_t * width),                     \
                 GetChartCWidth(b, PageData::FromValue(entry), col, width))                        \
  QS_BIND_EXPORT(Prefix, Binder, With, PutChartCWidth,                                             \
                 (Handle * h, uint32_t entry, uint16_t col, uint16_t width),                       \
                 PutChartCWidth(b, PageData::FromValue(entry), col, width))                        \
  QS_BIND_EXPORT(Prefix, Binder, With, InsertChartR,                                               \
                 (Handle * h, uint32_t entry, uint8_t After, uint16_t row, uint16_t height),       \
                 InsertChartR(b, PageData::FromValue(entry), After, row, height))                  \
  QS_BIND_EXPORT(Prefix, Binder, With, DeleteChartR, (Handle * h, uint32_t entry, uint16_t row),   \
                 DeleteChartR(b, PageData::FromValue(entry), row))                                 \
  QS_BIND_EXPORT(Prefix, Binder, With, InsertChartC,                                               \
                 (Handle * h, uint32_t entry, uint8_t After, uint16_t col, uint16_t width),        \
                 InsertChartC(b, PageData::FromValue(entry), After, col, width))                   \
  QS_BIND_EXPORT(Prefix, Binder, With, DeleteChartC, (Handle * h, uint32_t entry, uint16_t col),   \
                 DeleteChartC(b, PageData::FromValue(entry), col))                                 \
  /* Chart cells and ruled lines. */                                                               \
  QS_BIND_EXPORT(                                                                                  \
      Prefix, Binder, With, GetChartCell,                                                          \
      (Handle * h, uint32_t entry, uint16_t row, uint16_t col, ChartCell * cell, char* text),      \
      GetChartCell(b, PageData::FromValue(entry), row, col, cell, text))                           \
  QS_BIND_EXPORT(Prefix, Binder, With, PutChartCell,                                               \
                 (Handle * h, uint32_t entry, uint16_t row, uint16_t col, const ChartCell* cell,   \
                  const char* text),                                                               \
                 PutChartCell(b, PageData::FromValue(entry), row, col, cell, text))                \
  QS_BIND_EXPORT(                                                                                  \
      Prefix, Binder, With, ChartNextCell,                                                         \
      (Handle * h, Filter##_PARAM uint32_t entry, uint16_t row, uint16_t col, uint16_t * next_row, \
       uint16_t * next_col),                                                                       \
      ChartNextCell(b, Filter##_ARG, PageData::FromValue(entry), row, col, next_row, next_col))    \
  QS_BIND_EXPORT(Prefix, Binder, With, ChartNextCellEx,                                            \
                 (Handle * h, Filter##_PARAM uint32_t entry, uint16_t row, uint16_t col,           \
                  uint8_t Dir, uint16_t * next_row, uint16_t * next_col),                          \
                 ChartNextCellEx(b, Filter##_ARG, PageData::FromValue(entry), row, col, Dir,       \
                                 next_row, next_col))                                              \
  QS_BIND_EXPORT(Prefix, Binder, With, ChartGetExistCell,                                          \
                 (Handle * h, uint32_t entry, uint16_t * row, uint16_t * col),                     \
                 ChartGetExistCell(b, PageData::FromValue(entry), row, col))                       \
  QS_BIND_EXPORT(Prefix, Binder, With, ChartCellRect,                                              \
                 (Handle * h, uint32_t entry, uint16_t row, uint16_t col, int32_t * left,          \
                  int32_t * top, int32_t * right, int32_t * bottom),                               \
                 ChartCellRect(b, PageData::FromValue(entry), row, col, left, top, right, bottom)) \
  QS_BIND_EXPORT(Prefix, Binder, With, ChartCellArea,                                              \
                 (Handle * h, uint32_t entry, uint16_t row, uint16_t col, uint16_t * last_row,     \
                  uint16_t * last_col),                                                            \
                 ChartCellArea(b, PageData::FromValue(entry), row, col, last_row, last_col))       \
  QS_BIND_EXPORT(Prefix, Binder, With, GetChartVline,                                              \
                 (Handle * h, uint32_t entry, uint16_t row, uint16_t boundary, ChartLine * line),  \
                 GetChartVline(b, PageData::FromValue(entry), row, boundary, line))                \
  QS_BIND_EXPORT(                                                                                  \
      Prefix, Binder, With, PutChartVline,                                                         \
      (Handle * h, uint32_t entry, uint16_t row, uint16_t boundary, const ChartLine* line),        \
      PutChartVline(b, PageData::FromValue(entry), row, boundary, line))                           \
  QS_BIND_EXPORT(Prefix, Binder, With, GetChartHline,                                              \
                 (Handle * h, uint32_t entry, uint16_t boundary, uint16_t col, ChartLine * line),  \
                 GetChartHline(b, PageData::FromValue(entry), boundary, col, line))                \
  QS_BIND_EXPORT(                                                                                  \
      Prefix, Binder, With, PutChartHline,                                                         \
      (Handle * h, uint32_t entry, uint16_t boundary, uint16_t col, const ChartLine* line),        \
      PutChartHline(b, PageData::FromValue(entry), boundary, col, line))                           \
  /* Free cells, texts, figures and inserted pictures. */                                          \
  QS_BIND_EXPORT(Prefix, Binder, With, GetFreCell,                                                 \
                 (Handle * h, uint32_t entry, FreCell * cell, char* text),                         \
                 GetFreCell(b, PageData::FromValue(entry), cell, text))                            \
  QS_BIND_EXPORT(Prefix, Binder, With, PutFreCell,                                                 \
                 (Handle * h, uint32_t entry, const FreCell* cell, const char* text),              \
                 PutFreCell(b, PageData::FromValue(entry), cell, text))                            \
  QS_BIND_EXPORT(Prefix, Binder, With, AddFreCell,                                                 \
                 (Handle * h, const FreCell* cell, const char* text, uint16_t* entry),             \
                 AddFreCell(b, cell, text, entry))                                                 \
  QS_BIND_EXPORT(Prefix, Binder, With, GetText,                                                    \
                 (Handle * h, uint32_t entry, Text * record, char* text),                          \
                 GetText(b, PageData::FromValue(entry), record, text))                             \
  QS_BIND_EXPORT(Prefix, Binder, With, PutText,                                                    \
                 (Handle * h, uint32_t entry, const Text* record, const char* text),               \
                 PutText(b, PageData::FromValue(entry), record, text))                             \
  QS_BIND_EXPORT(Prefix, Binder, With, AddText,                                                    \
                 (Handle * h, const Text* record, const char* text, uint16_t* entry),              \
                 AddText(b, record, text, entry))                                                  \
  QS_BIND_EXPORT(Prefix, Binder, With, GetFigure, (Handle * h, uint32_t entry, Figure * figure),   \
                 GetFigure(b, PageData::FromValue(entry), figure))                                 \
  QS_BIND_EXPORT(Prefix, Binder, With, PutFigure,                                                  \
                 (Handle * h, uint32_t entry, const Figure* figure),                               \
                 PutFigure(b, PageData::FromValue(entry), figure))                                 \
  QS_BIND_EXPORT(Prefix, Binder, With, AddFigure,                                                  \
                 (Handle * h, const Figure* figure, uint16_t* entry), AddFigure(b, figure, entry)) \
  QS_BIND_EXPORT(Prefix, Binder, With, GetInsFigure,                                               \
                 (Handle * h, uint32_t entry, InsFigure * figure, char* file_name),                \
                 GetInsFigure(b, PageData::FromValue(entry), figure, file_name))                   \
  QS_BIND_EXPORT(Prefix, Binder, With, PutInsFigure,                                               \
                 (Handle * h, uint32_t entry, const InsFigure* figure),                            \
                 PutInsFigure(b, PageData::FromValue(entry), figure))                              \
  QS_BIND_EXPORT(Prefix, Binder, With, AddInsFigure,                                               \
                 (Handle * h, const InsFigure* figure, char* path, uint16_t* entry),               \
                 AddInsFigure(b, figure, path, entry))                                             \
  /* Undo and redo. */                                                                             \
  QS_BIND_EXPORT(Prefix, Binder, With, UndoControlStart, (Handle * h), UndoControlStart(b))        \
  QS_BIND_EXPORT(Prefix, Binder, With, UndoControlEnd, (Handle * h), UndoControlEnd(b))            \
  QS_BIND_EXPORT(Prefix, Binder, With, UndoBlockStart, (Handle * h), UndoBlockStart(b))            \
  QS_BIND_EXPORT(Prefix, Binder, With, UndoBlockEnd, (Handle * h), UndoBlockEnd(b))                \
  QS_BIND_QUERY(Prefix, Binder, UndoCount, (Handle * h), UndoCount(b))                             \
  QS_BIND_QUERY(Prefix, Binder, RedoCount, (Handle * h), RedoCount(b))                             \
  QS_BIND_EXPORT(Prefix, Binder, With, Undo, (Handle * h), Undo(b))                                \
  QS_BIND_EXPORT(Prefix, Binder, With, Redo, (Handle * h), Redo(b))

#endif  // QSTORE_COMMON_MODEL_EXPORT_BINDINGS_H_
