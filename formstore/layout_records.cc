#include "formstore/layout_records.h"

#include <algorithm>
#include <vector>

#include "common/model/page.h"
#include "common/status.h"

namespace qs {

namespace {

constexpr size_t kBodySize = 12;
constexpr size_t kOlderFieldBodySize = 8;

void PutForms(uint8_t* p, const FieldRec& f) {
  p[0] = f.form1;
  p[1] = f.form2;
  p[2] = f.form3;
  p[3] = f.reserved;
}

int WriteField(RecordWriter& out, uint16_t row, uint16_t col, const FieldRec& f, uint16_t no) {
  uint8_t body[kBodySize];
  PutU16(body, row);
  PutU16(body + 2, col);
  PutU16(body + 4, f.pub.FieldId);
  PutU16(body + 6, no);
  PutForms(body + 8, f);
  return out.Write(kTagFieldPlacement, body, sizeof body);
}

// What an 'f' record tells about its field: offsets, presentation bytes, one more placement.
void TakeField(FieldRec* f, const uint8_t* body, size_t n) {
  f->offset_row = GetU16(body);
  f->offset_col = GetU16(body + 2);
  if (n == kBodySize) {
    f->form1 = body[8];
    f->form2 = body[9];
    f->form3 = body[10];
    f->reserved = body[11];
  } else {
    f->form1 = body[6];
    f->form2 = body[7];
    f->form3 &= 0x03;
    f->reserved = 0;
  }
  ++f->layout_count;
  f->form1 = uint8_t((f->form1 & 0x1F) | 0x20);  // FormC 1
}

int ReadBody(RecordReader& in, const RecordHead& head, uint8_t* body, bool older_allowed) {
  const size_t n = size_t(head.length);
  if (n != kBodySize && !(older_allowed && n == kOlderFieldBodySize)) return kDamaged;
  return in.ReadBody(body, n);
}

bool CanHold(PageData owner) {
  return owner.kind == kChart || owner.kind == kFreCell;
}

}  // namespace

int WritePlacementRecords(RecordWriter& out, Form& form, int page, PageData entry) {
  const Page* p = form.PageAt(page);
  PlacementList* list = form.layout().ListOf(page);
  if (p == nullptr || list == nullptr) return kOk;
  if (entry.kind == kChart) {
    // A chart without rows or columns is not written; nothing could lie in it.
    const ChartRec* chart = p->charts.Get(entry.no);
    if (chart == nullptr || chart->rows() == 0 || chart->cols() == 0) return kOk;
  } else if (entry.kind != kFreCell || !p->fre_cells.Has(entry.no)) {
    return kOk;
  }
  FieldDefs& defs = form.fields();
  int status = kOk;
  for (const LayoutInner& q : *list) {
    if (status != kOk) break;
    if (q.page_data != entry.value()) continue;
    if (const FieldRec* f = defs.FindField(q.layout_id))
      status = WriteField(out, q.row, q.col, *f, q.layout_no);
  }
  if (entry.kind != kChart) return status;
  for (const LayoutInner& q : *list) {
    if (status != kOk) break;
    if (q.page_data != entry.value() || defs.FindField(q.layout_id) != nullptr) continue;
    uint8_t body[kBodySize];
    PutU16(body, q.layout_id);
    PutU16(body + 2, q.layout_no);
    PutU16(body + 4, q.row);
    PutU16(body + 6, q.col);
    body[8] = q.mode;
    PutU16(body + 9, q.extent);
    body[11] = q.reserved;
    status = out.Write(kTagTablePlacement, body, sizeof body);
    for (const FieldRec& f : defs.fields()) {
      if (status != kOk) break;
      if (f.pub.ParentId == q.layout_id && f.layout_count > 0)
        status = WriteField(out, f.offset_row, f.offset_col, f, q.layout_no);
    }
  }
  return status;
}

int ReadPlacementRecord(Form& form, RecordReader& in, const RecordHead& head, int page,
                        PageData owner) {
  PlacementList* list = form.layout().ListOf(page);
  if (list == nullptr) return kDamaged;
  FieldDefs& defs = form.fields();
  uint8_t body[kBodySize];
  const bool room = CanHold(owner) && list->size() < FieldLayout::kMaxPlacements;

  if (head.tag == kTagFieldPlacement) {
    if (ReadBody(in, head, body, true) != kOk) return kDamaged;
    const size_t n = size_t(head.length);
    // A field standing alone or in a record; a table's fields come only after its 't'.
    FieldRec* f = defs.FindField(GetU16(body + 4));
    const Placing placing = f ? defs.PlacingOf(*f) : Placing::kNone;
    if (!room || (placing != Placing::kPlain && placing != Placing::kRecord)) return kOk;
    LayoutInner p;
    p.layout_id = f->pub.FieldId;
    p.layout_no = n == kBodySize ? GetU16(body + 6) : 1;
    p.page_data = owner.value();
    p.row = owner.kind == kFreCell ? 0 : GetU16(body);
    p.col = owner.kind == kFreCell ? 0 : GetU16(body + 2);
    list->push_back(p);
    TakeField(f, body, n);
    return kOk;
  }

  if (ReadBody(in, head, body, false) != kOk) return kDamaged;
  // A copy of something that is no table of the template, or that the page cannot keep, takes its
  // fields' records with it.
  const uint16_t id = GetU16(body);
  const FieldStruct* table = defs.FindStruct(id);
  const bool kept = room && table != nullptr && table->StructKind == kStructTable &&
                    defs.FindField(id) == nullptr;
  if (kept) {
    LayoutInner p;
    p.layout_id = id;
    p.layout_no = GetU16(body + 2);
    p.page_data = owner.value();
    p.row = GetU16(body + 4);
    p.col = GetU16(body + 6);
    p.mode = body[8];
    p.extent = GetU16(body + 9);
    p.reserved = body[11];
    list->push_back(p);
  }
  // A copy holds each field of its table once: a second 'f' for a field adds no placement.
  std::vector<uint16_t> taken;
  for (;;) {
    RecordHead next;
    if (in.ReadHead(&next) != kOk) return kDamaged;
    if (next.end || next.tag != kTagFieldPlacement) {
      in.PutBack(next);
      return kOk;
    }
    if (ReadBody(in, next, body, true) != kOk) return kDamaged;
    FieldRec* f = defs.FindField(GetU16(body + 4));
    if (!kept || f == nullptr || f->pub.ParentId != id ||
        std::find(taken.begin(), taken.end(), f->pub.FieldId) != taken.end())
      continue;
    taken.push_back(f->pub.FieldId);
    TakeField(f, body, size_t(next.length));
  }
}

}  // namespace qs
