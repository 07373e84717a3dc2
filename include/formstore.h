/* The form library (formstore): forms of up to 10 pages with charts, texts, free cells, figures and
 * inserted pictures, the input fields of a field-definition template and their placement on pages.
 *
 * Every call returns a 32-bit signed result: 0 for success, a count where the call is a query,
 * otherwise a status (positive: file and data conditions, negative: refusals and limits).
 * QfaSubsStrRev is the one exception and returns its argument.
 *
 * A page-data entry names one item of a page: byte 0 its kind (1 chart, 2 text, 3 free cell,
 * 4 figure, 5 inserted figure), byte 1 its number within the kind. An entry passed in travels in
 * the low 16 bits of a uint32_t; an entry passed out is written to a uint16_t. Page numbers are
 * 1-based. Text buffers hold NUL-terminated Shift-JIS strings; outputs need the size given in the
 * comment. */
#ifndef QSTORE_FORMSTORE_H_
#define QSTORE_FORMSTORE_H_

#include <stdint.h>

#include "qstore_records.h"

/* The caller's hold on an open form. State belongs to the library; CurPage is the 0-based index of
 * the page that page-level calls work on. */
typedef struct FormHandle {
  void* State;
  int32_t CurPage;
} FormHandle;

/* ---- Lifecycle ---- */

/* Creates an empty form (no pages) from info; 0, -1 no memory, else the template's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaCreateForm(FormHandle* handle,
                                                             const FormInf* info);
/* Opens a form file (".QFD" added, search dirs tried); 0, 100, 201, -1, or the reader's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaOpenForm(FormHandle* handle, const char* name);
/* Closes the form and removes its scratch files; always 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaCloseForm(FormHandle* handle);
/* Saves to file_name (".QFD" appended in place if no '.': 4 spare bytes); 0, 108, writer status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaSaveForm(FormHandle* handle, char* file_name);
/* Number of changes since create, open or save. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaQueryFormUpdate(FormHandle* handle);
/* Whether a form file of that name exists (".QFD" appended in place, 256-byte buffer); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaFormExist(char* name);
/* Where the form file lies (256-byte buffer, ".QFD" appended); 0 none, 1 base dir, 2 flat dir. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaFormExist2(char* name);

/* ---- Header information ---- */

/* Copies the form's information block out; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormInf(FormHandle* handle, FormInf* info);
/* Copies the information block and the form title (41-byte buffer) out; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormInf2(FormHandle* handle, FormInf* info,
                                                              char* title);
/* Reads info and title (41-byte buffer) from a form file; 0, 100 not found, reader's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormInfDirect(const char* name, FormInf* info,
                                                                   char* title);
/* Replaces the information block (a new template reloads fields); 0 or the loader's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormInf(FormHandle* handle,
                                                             const FormInf* info);
/* Replaces the information block and the title (at most 40 bytes); 0 or the loader's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormInf2(FormHandle* handle,
                                                              const FormInf* info,
                                                              const char* title);
/* Patches the information block and title in a form file; 0, 100 not found, 101, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormInfDirect(const char* name,
                                                                   const FormInf* info,
                                                                   const char* title);
/* Copies the 16-entry colour table (0x00BBGGRR) out; 0, -1 when the form has none. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormCColor(FormHandle* handle,
                                                                uint32_t* colors);
/* Sets the 16-entry colour table; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormCColor(FormHandle* handle,
                                                                const uint32_t* colors);
/* Copies the 360-byte header/footer block out; 0, -1 when the form has none. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormHeaderFooter(FormHandle* handle,
                                                                      void* block);
/* Sets the 360-byte header/footer block; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormHeaderFooter(FormHandle* handle,
                                                                      const void* block);
/* Copies the memo out (2048-byte buffer holds any memo); 0, -1 no memo (empty string written). */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormMemo(FormHandle* handle, char* memo);
/* Replaces the memo (at most 2047 bytes); 0, -1 too long; an empty memo changes nothing. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormMemo(FormHandle* handle, const char* memo);
/* Keeps nothing; always -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetWorkInf(FormHandle* handle, int32_t unused1,
                                                             int32_t unused2);
/* Keeps nothing but counts a change; always -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutWorkInf(FormHandle* handle, int32_t unused1,
                                                             int32_t unused2);
/* Reports the creation and update times as UTC calendar fields; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormDateTime(FormHandle* handle,
                                                                  FormDateTime* created,
                                                                  FormDateTime* updated);
/* Sets the creation and update times to now; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaResetFormDateTime(FormHandle* handle);
/* Sets the update time to now; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUpdateFormDateTime(FormHandle* handle);

/* ---- Pages and page data ---- */

/* Number of pages. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetPageCount(FormHandle* handle);
/* Writes the current page number (1-based); 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetCurPage(FormHandle* handle, int32_t* page);
/* Makes page (1-based) current, emptying the undo journals when it changes; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutCurPage(FormHandle* handle, int32_t page);
/* Copies the current page's two flags out; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetPageInf(FormHandle* handle, PageInf* inf);
/* Sets the current page's two flags; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutPageInf(FormHandle* handle,
                                                             const PageInf* inf);
/* Inserts an empty page before (After 0) or after (After 1) the current one, made current; 0/-1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaInsertFormPage(FormHandle* handle, uint8_t After,
                                                                 const PageInf* inf);
/* Deletes the current page with its content; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaDeleteFormPage(FormHandle* handle);
/* Number of page-data entries on the current page. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetPageDataCount(FormHandle* handle);
/* Writes the entry at position (1-based) of the current page; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetPageData(FormHandle* handle, int32_t position,
                                                              uint16_t* entry);
/* Deletes the item that entry names, with its entry; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaDeletePageData(FormHandle* handle,
                                                                 uint32_t entry);
/* Steps entry to the next chart, text or free cell in reading order (kind 0: first); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaNextPageData(FormHandle* handle, uint16_t* entry);
/* Moves entry to the front of the page's list; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaMoveTopPageData(FormHandle* handle,
                                                                  uint32_t entry);
/* Moves entry to the end of the page's list; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaMoveBottomPageData(FormHandle* handle,
                                                                     uint32_t entry);

/* ---- Chart grid ---- */

/* Adds a chart to the current page and writes its entry; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddChart(FormHandle* handle, const ChartInf* inf,
                                                           uint16_t* entry);
/* Copies the chart's information out, Right and Bottom recomputed; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartInf(FormHandle* handle, uint32_t entry,
                                                              ChartInf* inf);
/* Replaces the chart's information; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartInf(FormHandle* handle, uint32_t entry,
                                                              const ChartInf* inf);
/* Writes the chart's HR pair; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartHR(FormHandle* handle, uint32_t entry,
                                                             uint16_t* HR1, uint16_t* HR2);
/* Sets the chart's HR pair; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartHR(FormHandle* handle, uint32_t entry,
                                                             uint16_t HR1, uint16_t HR2);
/* Writes the height of row; 0, -1 (0 written) when the row is outside the chart. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartRHight(FormHandle* handle, uint32_t entry,
                                                                 uint16_t row, uint16_t* height);
/* Sets the height of row; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartRHight(FormHandle* handle, uint32_t entry,
                                                                 uint16_t row, uint16_t height);
/* Writes the width of col; 0, -1 (0 written) when the column is outside the chart. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartCWidth(FormHandle* handle, uint32_t entry,
                                                                 uint16_t col, uint16_t* width);
/* Sets the width of col; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartCWidth(FormHandle* handle, uint32_t entry,
                                                                 uint16_t col, uint16_t width);
/* Inserts a row above (After 0) or below (After 1) row; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaInsertChartR(FormHandle* handle, uint32_t entry,
                                                               uint8_t After, uint16_t row,
                                                               uint16_t height);
/* Deletes row with its cells; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaDeleteChartR(FormHandle* handle, uint32_t entry,
                                                               uint16_t row);
/* Inserts a column left (After 0) or right (After 1) of col; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaInsertChartC(FormHandle* handle, uint32_t entry,
                                                               uint8_t After, uint16_t col,
                                                               uint16_t width);
/* Deletes col with its cells; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaDeleteChartC(FormHandle* handle, uint32_t entry,
                                                               uint16_t col);

/* ---- Chart cells and ruled lines ---- */

/* Copies the cell at origin (row, col) and its text (256 bytes); 0, -1 no attrs, -2 not origin. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartCell(FormHandle* handle, uint32_t entry,
                                                               uint16_t row, uint16_t col,
                                                               ChartCell* cell, char* text);
/* Stores attributes and text (at most 255 bytes) at (row, col); 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartCell(FormHandle* handle, uint32_t entry,
                                                               uint16_t row, uint16_t col,
                                                               const ChartCell* cell,
                                                               const char* text);
/* Writes the next cell after (row, col) in the form's reading order; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartNextCell(FormHandle* handle, uint32_t entry,
                                                                uint16_t row, uint16_t col,
                                                                uint16_t* next_row,
                                                                uint16_t* next_col);
/* Next cell in direction Dir (1 up, 2 down, 3 left, 4 right); 0, -2 at the edge, -3 none. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartNextCellEx(FormHandle* handle,
                                                                  uint32_t entry, uint16_t row,
                                                                  uint16_t col, uint8_t Dir,
                                                                  uint16_t* next_row,
                                                                  uint16_t* next_col);
/* Moves (row, col) to the origin of the cell covering it; 0 when that is an origin, else -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartGetExistCell(FormHandle* handle,
                                                                    uint32_t entry, uint16_t* row,
                                                                    uint16_t* col);
/* Writes the rectangle from (row, col) to its cell's far edges, relative to the chart; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartCellRect(FormHandle* handle, uint32_t entry,
                                                                uint16_t row, uint16_t col,
                                                                int32_t* left, int32_t* top,
                                                                int32_t* right, int32_t* bottom);
/* Writes the last row and column of the cell covering (row, col); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaChartCellArea(FormHandle* handle, uint32_t entry,
                                                                uint16_t row, uint16_t col,
                                                                uint16_t* last_row,
                                                                uint16_t* last_col);
/* Copies out the vertical line of row on boundary (0 = left edge); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartVline(FormHandle* handle, uint32_t entry,
                                                                uint16_t row, uint16_t boundary,
                                                                ChartLine* line);
/* Sets the vertical line of row on boundary; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartVline(FormHandle* handle, uint32_t entry,
                                                                uint16_t row, uint16_t boundary,
                                                                const ChartLine* line);
/* Copies out the horizontal line of col on boundary (0 = top edge); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetChartHline(FormHandle* handle, uint32_t entry,
                                                                uint16_t boundary, uint16_t col,
                                                                ChartLine* line);
/* Sets the horizontal line of col on boundary; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutChartHline(FormHandle* handle, uint32_t entry,
                                                                uint16_t boundary, uint16_t col,
                                                                const ChartLine* line);

/* ---- Free cells, texts and figures ---- */

/* Copies the free cell and its text (256-byte buffer) out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFreCell(FormHandle* handle, uint32_t entry,
                                                             FreCell* cell, char* text);
/* Replaces the free cell and its text (at most 255 bytes); 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFreCell(FormHandle* handle, uint32_t entry,
                                                             const FreCell* cell, const char* text);
/* Adds a free cell with its text and writes its entry; 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddFreCell(FormHandle* handle,
                                                             const FreCell* cell, const char* text,
                                                             uint16_t* entry);
/* Copies the text record and its string (256-byte buffer) out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetText(FormHandle* handle, uint32_t entry,
                                                          Text* record, char* text);
/* Replaces the text record and its string (at most 255 bytes); 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutText(FormHandle* handle, uint32_t entry,
                                                          const Text* record, const char* text);
/* Adds a text with its string and writes its entry; 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddText(FormHandle* handle, const Text* record,
                                                          const char* text, uint16_t* entry);
/* Copies the figure out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFigure(FormHandle* handle, uint32_t entry,
                                                            Figure* figure);
/* Replaces the figure; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFigure(FormHandle* handle, uint32_t entry,
                                                            const Figure* figure);
/* Adds a figure and writes its entry; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddFigure(FormHandle* handle,
                                                            const Figure* figure, uint16_t* entry);
/* Copies the inserted figure and its picture copy's path (256-byte buffer) out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetInsFigure(FormHandle* handle, uint32_t entry,
                                                               InsFigure* figure, char* file_name);
/* Replaces the inserted figure's geometry and mode (the picture stays); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutInsFigure(FormHandle* handle, uint32_t entry,
                                                               const InsFigure* figure);
/* Copies the picture at path (256-byte buffer, gets the copy's path) and adds it; 0, 301, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddInsFigure(FormHandle* handle,
                                                               const InsFigure* figure, char* path,
                                                               uint16_t* entry);

/* ---- Undo ---- */

/* Starts journalling (creates both journals); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoControlStart(FormHandle* handle);
/* Ends journalling and closes both journals (their files go with the form's scratch files); 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoControlEnd(FormHandle* handle);
/* Opens an undo step (nestable) and empties the redo journal; 0, -1 not journalling. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoBlockStart(FormHandle* handle);
/* Closes an undo step; 0, -1 not journalling. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoBlockEnd(FormHandle* handle);
/* Number of steps that can be undone. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoCount(FormHandle* handle);
/* Number of steps that can be redone. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaRedoCount(FormHandle* handle);
/* Undoes the newest step; 0, -1 nothing to undo, else the replay's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndo(FormHandle* handle);
/* Redoes the newest undone step; 0, -1 nothing to redo, else the replay's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaRedo(FormHandle* handle);

/* ---- Field definitions ---- */

/* Copies the template's program settings out; 0, -1 when the form has no field. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldControl(FormHandle* handle,
                                                                  FieldControl* control);
/* Reads the program settings of a template file without a form; 0, 105 template not found. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldControlDirect(const char* template_name,
                                                                        FieldControl* control);
/* Number of fields. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldCount(FormHandle* handle);
/* Copies field number (1-based) out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetField(FormHandle* handle, int32_t number,
                                                           Field* field);
/* Copies the field with FieldId out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetField2(FormHandle* handle, uint16_t FieldId,
                                                            Field* field);
/* Number of field structures. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldStructCount(FormHandle* handle);
/* Copies structure number (1-based) out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldStruct(FormHandle* handle, int32_t number,
                                                                 FieldStruct* field_struct);
/* Copies the structure with StructId out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldStruct2(FormHandle* handle,
                                                                  uint16_t StructId,
                                                                  FieldStruct* field_struct);
/* Copies the presentation values of the field with FieldId out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldForm(FormHandle* handle, uint16_t FieldId,
                                                               FieldForm* form);
/* Sets the presentation values of the field with FieldId; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFieldForm(FormHandle* handle, uint16_t FieldId,
                                                               const FieldForm* form);
/* The default form (0..255) of the field with FieldId; -1 when there is none. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldDefForm(FormHandle* handle,
                                                                  uint16_t FieldId);

/* ---- Field layout ---- */

/* Number of placed fields on the current page (refreshes the tallies QfaGetLayoutField uses). */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldLayoutCount(FormHandle* handle);
/* Writes the n-th (1-based) placed field of the current page and its placement number; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetLayoutField(FormHandle* handle, int32_t n,
                                                                 uint16_t* FieldId,
                                                                 uint32_t* LayoutNo);
/* Writes the n-th field placed at (row, col) of the chart or free cell entry; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetLayoutField2(FormHandle* handle, int32_t n,
                                                                  uint32_t entry, uint16_t row,
                                                                  uint16_t col, uint16_t* FieldId,
                                                                  uint32_t* LayoutNo);
/* Writes where placement LayoutNo of the field lies on the current page; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldLayout(FormHandle* handle,
                                                                 uint16_t FieldId,
                                                                 uint32_t LayoutNo, uint16_t* entry,
                                                                 uint16_t* row, uint16_t* col,
                                                                 LayoutPos* pos);
/* Counts a change and does nothing else; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFieldLayout(FormHandle* handle,
                                                                 uint16_t FieldId,
                                                                 uint32_t LayoutNo, uint32_t entry,
                                                                 uint16_t row, uint16_t col);
/* Moves or resizes a table placement; 0, -1, 106 it would leave its chart. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFieldLayout2(FormHandle* handle,
                                                                  uint16_t FieldId,
                                                                  uint32_t LayoutNo,
                                                                  const LayoutPos* pos);
/* Places the field at (row, col) of entry, writes the placement number; 0, -1..-7, 106, 107. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddFieldLayout(FormHandle* handle,
                                                                 uint16_t FieldId, uint32_t entry,
                                                                 uint16_t row, uint16_t col,
                                                                 uint32_t* LayoutNo);
/* Removes placement LayoutNo of the field; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaCancelFieldLayout(FormHandle* handle,
                                                                    uint16_t FieldId,
                                                                    uint32_t LayoutNo);
/* Removes every placement of every page; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaInitFieldLayout(FormHandle* handle);
/* 1 when the last placement change moved table placements as a side effect, else 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaCheckFieldLayout(int32_t unused);
/* Number of placement records on the current page. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetLayoutCountInner(FormHandle* handle);
/* Copies the placement record at position (1-based) of the current page out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetLayoutInner(FormHandle* handle,
                                                                 int32_t position,
                                                                 uint16_t* LayoutId,
                                                                 uint32_t* LayoutNo,
                                                                 uint16_t* entry, LayoutPos* pos);
/* Replaces the position of the placement LayoutId/LayoutNo on the current page; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutLayoutInner(FormHandle* handle,
                                                                 uint16_t LayoutId,
                                                                 uint32_t LayoutNo,
                                                                 const LayoutPos* pos);
/* Writes a table field's offset inside its table; 0, -1 no such field or unplaced. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldLayoutOffSet(FormHandle* handle,
                                                                       uint16_t FieldId,
                                                                       uint16_t* OffsetRow,
                                                                       uint16_t* OffsetCol);
/* Number of placements of the field (0 unplaced); -1 when there is no such field. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaExistFieldLayout(FormHandle* handle,
                                                                   uint16_t FieldId);
/* Reverses the string in place, keeping each double-byte character's bytes in order; returns s. */
QSTORE_EXTERN_C QSTORE_API char* QSTORE_CALL QfaSubsStrRev(char* s);

/* ---- Conversion ---- */

/* Converts a form to a document at doc_path (".QFD" appended if no '.'); 0, open/save status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaConvertToDoc(const char* form_name,
                                                               char* doc_path);

#endif /* QSTORE_FORMSTORE_H_ */
