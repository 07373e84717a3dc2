// Where the fields of a form are placed: per page a list of placements, each in a chart cell or a
// free cell. A plain field has at most one placement a page, numbered 1; a record field one per
// occurrence of its record, numbered across the form in page order; a table field sits at a fixed
// offset inside its table, and the table itself is placed (copied) as a rectangle of chart cells,
// its copies numbered like record occurrences. Placements follow the page model's edits through
// the FieldLayoutHooks.
#ifndef QSTORE_FORMSTORE_FIELD_LAYOUT_H_
#define QSTORE_FORMSTORE_FIELD_LAYOUT_H_

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "common/model/binder.h"
#include "common/model/page_data.h"
#include "formstore/field_defs.h"
#include "qstore_records.h"

namespace qs {

struct LayoutInner {
  uint16_t layout_id = 0;  // FieldId of a plain or record field, StructId of a table
  uint16_t layout_no = 0;  // 1-based placement number
  uint16_t page_data = 0;  // the chart or free cell holding the placement
  uint16_t row = 0;        // chart cell (a table's top-left cell); 0 in a free cell
  uint16_t col = 0;
  uint8_t mode = 0;     // 1 for a table's placements, 0 for a field's
  uint16_t extent = 1;  // chart rows the placement covers
  uint8_t reserved = 0;
  uint16_t tally = 0;  // placed fields it holds, as last counted
};

using PlacementList = std::vector<LayoutInner>;

// The one flag of the library that tells a caller that table placements changed as a side effect
// of the last placement edit.
bool LayoutChanged();
void SetLayoutChanged(bool changed);

class FieldLayout final : public FieldLayoutHooks {
 public:
  static constexpr size_t kMaxPlacements = 576;

  FieldLayout(Binder& b, FieldDefs& defs) : b_(b), defs_(defs) {}

  // The list of a page (1-based); null when there is no such page.
  PlacementList* ListOf(int page);
  // Drops the list of a page that goes away.
  void ForgetPage(const Page* page);
  // Empties every page's list; the fields' counts are left alone.
  void ClearAll() { lists_.clear(); }

  // The exported operations, on the current page.
  int CountPlaced();
  int GetLayoutField(int n, uint16_t* id, uint32_t* no);
  int GetLayoutField2(int n, PageData where, uint16_t row, uint16_t col, uint16_t* id,
                      uint32_t* no);
  int GetFieldLayout(uint16_t id, uint32_t no, uint16_t* where, uint16_t* row, uint16_t* col,
                     LayoutPos* pos);
  int PutFieldLayout2(uint16_t id, uint32_t no, const LayoutPos& pos);
  int Add(uint16_t id, PageData where, uint16_t row, uint16_t col, uint32_t* no);
  int Cancel(uint16_t id, uint32_t no);
  int Init();
  int InnerCount();
  int GetInner(int position, uint16_t* id, uint32_t* no, uint16_t* where, LayoutPos* pos);
  int PutInner(uint16_t id, uint32_t no, const LayoutPos& pos);
  int GetOffset(uint16_t id, uint16_t* row, uint16_t* col);
  int Exist(uint16_t id);

  // FieldLayoutHooks.
  void PageDeleting(int page) override;
  void ChartDeleting(int page, int chart_no) override;
  void FreCellDeleting(int page, int fre_cell_no) override;
  void ChartRowInserting(int page, int chart_no, int row) override;
  void ChartRowDeleting(int page, int chart_no, int row) override;
  void ChartColInserting(int page, int chart_no, int col) override;
  void ChartColDeleting(int page, int chart_no, int col) override;

  // True when the placement names a field rather than a table.
  bool IsFieldPlacement(const LayoutInner& p) const { return defs_.FindField(p.layout_id); }
  // The placed fields of a table, in field-number order.
  std::vector<FieldRec*> PlacedFieldsOf(uint16_t table);

 private:
  struct Size {
    int rows = 0, cols = 0;
  };
  Size TableSize(uint16_t table);
  PlacementList* CurrentList() { return ListOf(b_.current_page()); }
  const ChartRec* ChartOf(int page, uint16_t where);
  static LayoutInner* Find(PlacementList& list, uint16_t id, uint32_t no);
  // Removes one from the count of every placed field that the placement's id names (the field
  // itself, or the fields of the table); collects their structures.
  void Unplace(uint16_t id, int times, std::set<uint16_t>* involved);
  // Numbers the placements of `id` 1, 2, ... page by page, in the order of their numbers.
  void RenumberId(uint16_t id);
  void Renumber(const std::set<uint16_t>& involved);
  // Removes every placement of a table from every page; returns how many went.
  int RemoveEverywhere(uint16_t table);
  void PageDataDeleting(int page, PageData where);
  void LineDeleting(int page, int chart_no, int line, bool rows);
  void LineInserting(int page, int chart_no, int line, bool rows);
  int AddTable(FieldRec* f, PageData where, uint16_t row, uint16_t col, uint32_t* no);

  Binder& b_;
  FieldDefs& defs_;
  std::map<const Page*, PlacementList> lists_;
};

}  // namespace qs

#endif  // QSTORE_FORMSTORE_FIELD_LAYOUT_H_
