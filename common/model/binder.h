// What the shared page model needs from an open form or document.
//
// Every page-model operation (add a chart, put a cell, delete page data, ...) is written once
// against this interface. The form library implements it over at most 10 pages in memory; the
// document library over up to 9999 pages of which two are cached and the rest kept in a work file.
//
// Threads: the page-model operations keep their working state on the call's stack or in the item
// behind the binder, and lock nothing. One item is never worked on from two threads at once; two
// items may be worked on from two threads. The state the items of a process share is set up before
// they are used and read only after, or changed atomically: each library's item registry (work
// directory and the machine-wide counter that numbers items) and the current Env (platform/env.h),
// which is read only when an item is made or by a call that has no item: each item then keeps the
// Env it was made with (env()) and does all its file work through it.
#ifndef QSTORE_COMMON_MODEL_BINDER_H_
#define QSTORE_COMMON_MODEL_BINDER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "common/model/header.h"
#include "common/model/page.h"

namespace qs {

class Env;
struct UndoState;

// The few ways in which the two libraries' page models differ.
struct LibraryTraits {
  const char* scratch_prefix;  // "QF" or "QD": first letters of every scratch file name
  int max_pages;               // 10 or 9999
  // The document library stores a free cell's Kind on put and returns it on get; the form library
  // stores and returns 0.
  bool free_cell_keeps_kind;
  // The document library refuses to add an inserted figure whose source is missing with 100.
  bool ins_figure_source_must_exist;
  // The document library reports an all-zero header/footer block as absent.
  bool zero_header_footer_is_absent;
  // What the caller's handle keeps as its cursor for page number n: n - cursor_base. The form
  // library keeps a 0-based index (base 1), the document library the number itself (base 0). A
  // page number whose cursor would not fit the handle's 32 bits names no page, and its cursor is
  // INT32_MAX, which names none either.
  int cursor_base = 0;
};

// Side effects of page-model edits on field placements (form library only). Each is called before
// the change it announces; the defaults do nothing.
class FieldLayoutHooks {
 public:
  virtual ~FieldLayoutHooks() = default;
  virtual void PageDeleting(int /*page*/) {}
  virtual void ChartDeleting(int /*page*/, int /*chart_no*/) {}
  virtual void FreCellDeleting(int /*page*/, int /*fre_cell_no*/) {}
  // `row` / `col` is the final number of the inserted row or column, or the one deleted.
  virtual void ChartRowInserting(int /*page*/, int /*chart_no*/, int /*row*/) {}
  virtual void ChartRowDeleting(int /*page*/, int /*chart_no*/, int /*row*/) {}
  virtual void ChartColInserting(int /*page*/, int /*chart_no*/, int /*col*/) {}
  virtual void ChartColDeleting(int /*page*/, int /*chart_no*/, int /*col*/) {}
};

class Binder {
 public:
  virtual ~Binder() = default;

  virtual const LibraryTraits& traits() const = 0;

  // Number of pages, and the 1-based number of the page the current call works on (0 or a number
  // beyond the count when there is none).
  virtual int page_count() const = 0;
  virtual int current_page() const = 0;
  virtual void set_current_page(int number) = 0;
  // The page of that number, loaded if need be; null when there is no such page or it cannot be
  // loaded. The current page stays available for the whole call even when others are visited.
  virtual Page* PageAt(int number) = 0;
  Page* CurrentPage() { return PageAt(current_page()); }

  // Counts a change of the form or document (what the update query reports).
  virtual void CountChange() = 0;
  // Counts a change of page content; the document library also marks the page for writing back.
  virtual void PageChanged(int number) = 0;
  void CurrentPageChanged() { PageChanged(current_page()); }

  virtual Header& header() = 0;
  // Stores a header after a put. The form library reloads its field definitions when the template
  // name changes and returns the loader's status; the header is stored whatever that status.
  virtual int StoreHeader(const Header& next) = 0;

  virtual UndoState& undo() = 0;

  // The file system this item's every file operation goes through: opening and saving it, its
  // scratch names, picture copies, undo journals, work file, templates and check log. Taken when
  // the item is made and kept for its life, so one item can be given a file system of its own.
  virtual Env& env() = 0;

  // A fresh scratch file name in the work directory: prefix, item number, the next free sequence
  // number and the extension of `like` (".bmp" of "a.bmp", ".BUF" of "UNDO.BUF").
  virtual std::string FreshScratchName(std::string_view like) = 0;

  // True when a cell attribute, text or free cell on any page uses font number `number`.
  virtual bool FontNumberInUse(int number) = 0;

  virtual FieldLayoutHooks* layout_hooks() { return nullptr; }
};

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_BINDER_H_
