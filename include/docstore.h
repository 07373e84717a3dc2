/* The document library (docstore): documents of up to 9999 pages with charts, texts, free cells,
 * figures and inserted pictures, kept two pages in memory and the rest in a work file; it also
 * appends one document to another and checks texts for prohibited characters.
 *
 * Every call returns a 32-bit signed result: 0 for success, a count where the call is a query,
 * otherwise a status (positive: file and data conditions, negative: refusals and limits).
 * QdaSubsStrRev is the one exception and returns its argument.
 *
 * A page-data entry names one item of a page: byte 0 its kind (1 chart, 2 text, 3 free cell,
 * 4 figure, 5 inserted figure), byte 1 its number within the kind. An entry passed in travels in
 * the low 16 bits of a uint32_t; an entry passed out is written to a uint16_t. Page numbers are
 * 1-based. Text buffers hold NUL-terminated Shift-JIS strings; outputs need the size given in the
 * comment. Paths are used exactly as given. */
#ifndef QSTORE_DOCSTORE_H_
#define QSTORE_DOCSTORE_H_

#include <stdint.h>

#include "qstore_records.h"

/* The caller's hold on an open document. State belongs to the library; CurPage is the 1-based
 * number of the page that page-level calls work on (0 while the document has no page). */
typedef struct DocHandle {
  void* State;
  int32_t CurPage;
} DocHandle;

/* ---- Lifecycle ---- */

/* Creates an empty document (no pages) from info; 0, -1 no memory, -2 no work file. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCreateDoc(DocHandle* handle, const DocInf* info);
/* Opens the document at path, page 1 current; 0, 100, -10, -1, or the reader's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaOpenDoc(DocHandle* handle, const char* path);
/* Closes the document and removes its scratch files; always 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCloseDoc(DocHandle* handle);
/* Writes the document to path; 0, 108 no page, else the writer's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaSaveDoc(DocHandle* handle, const char* path);
/* Number of changes since create, open or save. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaQueryDocUpdate(DocHandle* handle);

/* ---- Header information ---- */

/* Copies the document's information block out; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetDocInf(DocHandle* handle, DocInf* info);
/* Copies the information block and the document title (41-byte buffer) out; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetDocInf2(DocHandle* handle, DocInf* info,
                                                             char* title);
/* Reads info and title (41-byte buffer) from a document file; 0, 100 not found, reader's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetDocInfDirect(const char* path, DocInf* info,
                                                                  char* title);
/* Replaces the information block; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutDocInf(DocHandle* handle, const DocInf* info);
/* Replaces the information block and the document title (at most 40 bytes); 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutDocInf2(DocHandle* handle, const DocInf* info,
                                                             const char* title);
/* Copies the 16-entry colour table (0x00BBGGRR) out; 0, -1 when the document has none. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetDocCColor(DocHandle* handle, uint32_t* colors);
/* Sets the 16-entry colour table; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutDocCColor(DocHandle* handle,
                                                               const uint32_t* colors);
/* Copies the 360-byte header/footer block out; 0, -1 when there is none or it is all zero. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetDocHeaderFooter(DocHandle* handle,
                                                                     void* block);
/* Sets the 360-byte header/footer block; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutDocHeaderFooter(DocHandle* handle,
                                                                     const void* block);
/* Copies the memo out (2048-byte buffer holds any memo); 0, -1 no memo (empty string written). */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetDocMemo(DocHandle* handle, char* memo);
/* Replaces the memo (at most 2047 bytes); 0, -1 too long; an empty memo changes nothing. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutDocMemo(DocHandle* handle, const char* memo);
/* Keeps nothing; always -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetWorkInf(DocHandle* handle, int32_t unused1,
                                                             int32_t unused2);
/* Keeps nothing but counts a change; always -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutWorkInf(DocHandle* handle, int32_t unused1,
                                                             int32_t unused2);
/* Reports the creation and update times as UTC calendar fields; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetDocDateTime(DocHandle* handle,
                                                                 DocDateTime* created,
                                                                 DocDateTime* updated);
/* Sets the creation and update times to now; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaResetDocDateTime(DocHandle* handle);
/* Sets the update time to now; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaUpdateDocDateTime(DocHandle* handle);

/* ---- Pages and page data ---- */

/* Number of pages. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetPageCount(DocHandle* handle);
/* Writes the current page number (1-based); 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetCurPage(DocHandle* handle, int32_t* page);
/* Makes page (1-based) current, emptying the undo journals when it changes; 0. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutCurPage(DocHandle* handle, int32_t page);
/* Copies the current page's two flags out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetPageInf(DocHandle* handle, PageInf* inf);
/* Sets the current page's two flags; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutPageInf(DocHandle* handle, const PageInf* inf);
/* Inserts an empty page before (After 0) or after (After 1) the current one, made current; 0/-1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaInsertPage(DocHandle* handle, int32_t After);
/* Deletes the current page; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaDeletePage(DocHandle* handle);
/* Moves the page at position from to position to (both 1-based); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaMovePage(DocHandle* handle, int32_t from,
                                                           int32_t to);
/* Number of page-data entries on the current page. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetPageDataCount(DocHandle* handle);
/* Writes the entry at position (1-based) of the current page; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetPageData(DocHandle* handle, int32_t position,
                                                              uint16_t* entry);
/* Deletes the item that entry names, with its entry; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaDeletePageData(DocHandle* handle, uint32_t entry);
/* Steps entry to the next chart, text or free cell in reading order (kind 0: first); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaNextPageData(DocHandle* handle, uint16_t* entry);
/* Moves entry to the front of the page's list; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaMoveTopPageData(DocHandle* handle,
                                                                  uint32_t entry);
/* Moves entry to the end of the page's list; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaMoveBottomPageData(DocHandle* handle,
                                                                     uint32_t entry);

/* ---- Chart grid ---- */

/* Adds a chart to the current page and writes its entry; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaAddChart(DocHandle* handle, const ChartInf* inf,
                                                           uint16_t* entry);
/* Copies the chart's information out, Right and Bottom recomputed; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetChartInf(DocHandle* handle, uint32_t entry,
                                                              ChartInf* inf);
/* Replaces the chart's information; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutChartInf(DocHandle* handle, uint32_t entry,
                                                              const ChartInf* inf);
/* Writes the chart's HR pair; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetChartHR(DocHandle* handle, uint32_t entry,
                                                             uint16_t* HR1, uint16_t* HR2);
/* Sets the chart's HR pair; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutChartHR(DocHandle* handle, uint32_t entry,
                                                             uint16_t HR1, uint16_t HR2);
/* Writes the height of row; 0, -1 (0 written) when the row is outside the chart. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetChartRHight(DocHandle* handle, uint32_t entry,
                                                                 uint16_t row, uint16_t* height);
/* Sets the height of row; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutChartRHight(DocHandle* handle, uint32_t entry,
                                                                 uint16_t row, uint16_t height);
/* Writes the width of col; 0, -1 (0 written) when the column is outside the chart. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetChartCWidth(DocHandle* handle, uint32_t entry,
                                                                 uint16_t col, uint16_t* width);
/* Sets the width of col; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutChartCWidth(DocHandle* handle, uint32_t entry,
                                                                 uint16_t col, uint16_t width);
/* Inserts a row above (After 0) or below (After 1) row; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaInsertChartR(DocHandle* handle, uint32_t entry,
                                                               uint8_t After, uint16_t row,
                                                               uint16_t height);
/* Deletes row with its cells; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaDeleteChartR(DocHandle* handle, uint32_t entry,
                                                               uint16_t row);
/* Inserts a column left (After 0) or right (After 1) of col; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaInsertChartC(DocHandle* handle, uint32_t entry,
                                                               uint8_t After, uint16_t col,
                                                               uint16_t width);
/* Deletes col with its cells; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaDeleteChartC(DocHandle* handle, uint32_t entry,
                                                               uint16_t col);

/* ---- Chart cells and ruled lines ---- */

/* Copies the cell at origin (row, col) and its text (256 bytes); 0, -1 no attrs, -2 not origin. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetChartCell(DocHandle* handle, uint32_t entry,
                                                               uint16_t row, uint16_t col,
                                                               ChartCell* cell, char* text);
/* Stores attributes and text (at most 255 bytes) at (row, col); 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutChartCell(DocHandle* handle, uint32_t entry,
                                                               uint16_t row, uint16_t col,
                                                               const ChartCell* cell,
                                                               const char* text);
/* Next cell in reading order; Filter 1 keeps cells of Kind 1 or without attributes; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaChartNextCell(DocHandle* handle, uint8_t Filter,
                                                                uint32_t entry, uint16_t row,
                                                                uint16_t col, uint16_t* next_row,
                                                                uint16_t* next_col);
/* Next cell in direction Dir (1 up, 2 down, 3 left, 4 right), filtered; 0, -2 edge, -3 none. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaChartNextCellEx(DocHandle* handle, uint8_t Filter,
                                                                  uint32_t entry, uint16_t row,
                                                                  uint16_t col, uint8_t Dir,
                                                                  uint16_t* next_row,
                                                                  uint16_t* next_col);
/* Moves (row, col) to the origin of the cell covering it; 0 when that is an origin, else -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaChartGetExistCell(DocHandle* handle,
                                                                    uint32_t entry, uint16_t* row,
                                                                    uint16_t* col);
/* Writes the rectangle from (row, col) to its cell's far edges, relative to the chart; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaChartCellRect(DocHandle* handle, uint32_t entry,
                                                                uint16_t row, uint16_t col,
                                                                int32_t* left, int32_t* top,
                                                                int32_t* right, int32_t* bottom);
/* Writes the last row and column of the cell covering (row, col); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaChartCellArea(DocHandle* handle, uint32_t entry,
                                                                uint16_t row, uint16_t col,
                                                                uint16_t* last_row,
                                                                uint16_t* last_col);
/* Copies out the vertical line of row on boundary (0 = left edge); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetChartVline(DocHandle* handle, uint32_t entry,
                                                                uint16_t row, uint16_t boundary,
                                                                ChartLine* line);
/* Sets the vertical line of row on boundary; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutChartVline(DocHandle* handle, uint32_t entry,
                                                                uint16_t row, uint16_t boundary,
                                                                const ChartLine* line);
/* Copies out the horizontal line of col on boundary (0 = top edge); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetChartHline(DocHandle* handle, uint32_t entry,
                                                                uint16_t boundary, uint16_t col,
                                                                ChartLine* line);
/* Sets the horizontal line of col on boundary; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutChartHline(DocHandle* handle, uint32_t entry,
                                                                uint16_t boundary, uint16_t col,
                                                                const ChartLine* line);

/* ---- Free cells, texts and figures ---- */

/* Copies the free cell and its text (256-byte buffer) out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetFreCell(DocHandle* handle, uint32_t entry,
                                                             FreCell* cell, char* text);
/* Replaces the free cell and its text (at most 255 bytes); 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutFreCell(DocHandle* handle, uint32_t entry,
                                                             const FreCell* cell, const char* text);
/* Adds a free cell with its text and writes its entry; 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaAddFreCell(DocHandle* handle, const FreCell* cell,
                                                             const char* text, uint16_t* entry);
/* Copies the text record and its string (256-byte buffer) out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetText(DocHandle* handle, uint32_t entry,
                                                          Text* record, char* text);
/* Replaces the text record and its string (at most 255 bytes); 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutText(DocHandle* handle, uint32_t entry,
                                                          const Text* record, const char* text);
/* Adds a text with its string and writes its entry; 0, 104 no font slot, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaAddText(DocHandle* handle, const Text* record,
                                                          const char* text, uint16_t* entry);
/* Copies the figure out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetFigure(DocHandle* handle, uint32_t entry,
                                                            Figure* figure);
/* Replaces the figure; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutFigure(DocHandle* handle, uint32_t entry,
                                                            const Figure* figure);
/* Adds a figure and writes its entry; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaAddFigure(DocHandle* handle, const Figure* figure,
                                                            uint16_t* entry);
/* Copies the inserted figure and its picture copy's path (256-byte buffer) out; 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaGetInsFigure(DocHandle* handle, uint32_t entry,
                                                               InsFigure* figure, char* file_name);
/* Replaces the inserted figure's geometry and mode (the picture stays); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaPutInsFigure(DocHandle* handle, uint32_t entry,
                                                               const InsFigure* figure);
/* Copies the picture at path (256-byte buffer, gets the copy's path); 0, 100, 301, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaAddInsFigure(DocHandle* handle,
                                                               const InsFigure* figure, char* path,
                                                               uint16_t* entry);

/* ---- Undo ---- */

/* Starts journalling (creates both journals); 0 or -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaUndoControlStart(DocHandle* handle);
/* Ends journalling and closes both journals (their files go with the document's scratch files); 0.
 */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaUndoControlEnd(DocHandle* handle);
/* Opens an undo step (nestable) and empties the redo journal; 0, -1 not journalling. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaUndoBlockStart(DocHandle* handle);
/* Closes an undo step; 0, -1 not journalling. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaUndoBlockEnd(DocHandle* handle);
/* Number of steps that can be undone. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaUndoCount(DocHandle* handle);
/* Number of steps that can be redone. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaRedoCount(DocHandle* handle);
/* Undoes the newest step; 0, -1 nothing to undo, else the replay's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaUndo(DocHandle* handle);
/* Redoes the newest undone step; 0, -1 nothing to redo, else the replay's status. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaRedo(DocHandle* handle);

/* ---- Concatenation ---- */

/* Appends every page of another open document; 0, 501 their information differs, -1. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaConcatDoc(DocHandle* target, DocHandle* source);

/* ---- Prohibited-character check ----
 * Masks: 2 full-width alphanumerics, 4 half-width katakana, 8 user-defined and special characters.
 * A category in ReplaceMask is replaced, otherwise only reported. The result is 0 when nothing was
 * found, the sum of the categories found, or a negative status; LogPath may be NULL or empty. */

/* Checks all three categories of every text of the document. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCheckReplaceText(DocHandle* handle,
                                                                   int32_t ReplaceMask,
                                                                   const char* LogPath);
/* Checks the categories of CheckMask. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCheckReplaceText2(DocHandle* handle,
                                                                    int32_t CheckMask,
                                                                    int32_t ReplaceMask,
                                                                    const char* LogPath);
/* Checks all three categories, with TablePath (if it names a file) as the replacement table. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCheckReplaceTextAp(DocHandle* handle,
                                                                     int32_t ReplaceMask,
                                                                     const char* LogPath,
                                                                     const char* TablePath);
/* Checks the categories of CheckMask, with TablePath as the replacement table. */
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCheckReplaceTextAp2(DocHandle* handle,
                                                                      int32_t CheckMask,
                                                                      int32_t ReplaceMask,
                                                                      const char* LogPath,
                                                                      const char* TablePath);
/* Reverses the string in place, keeping each double-byte character's bytes in order; returns s. */
QSTORE_EXTERN_C QSTORE_API char* QSTORE_CALL QdaSubsStrRev(char* s);

#endif /* QSTORE_DOCSTORE_H_ */
