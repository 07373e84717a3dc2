// The field-placement records of a form file. After the records of a chart come an 'f' record
// for each field placed in it and a 't' record for each table copy placed in it, each 't' followed
// by an 'f' for every placed field of its table; after a free cell come its 'f' records.
//
//   'f' (12 bytes)  u16 row, u16 col (a table field: its offset), u16 FieldId, u16 LayoutNo,
//                   the field's four presentation bytes; older files have 8-byte bodies that end
//                   after the FieldId with the field's first two presentation bytes
//   't' (12 bytes)  u16 StructId, u16 LayoutNo, u16 row, u16 col, u8 Mode, u16 Extent, u8 0
#ifndef QSTORE_FORMSTORE_LAYOUT_RECORDS_H_
#define QSTORE_FORMSTORE_LAYOUT_RECORDS_H_

#include "common/file/record_codec.h"
#include "common/model/page_data.h"
#include "formstore/form.h"

namespace qs {

constexpr uint8_t kTagFieldPlacement = 'f';
constexpr uint8_t kTagTablePlacement = 't';

// Writes the placement records of the chart or free cell `entry` of page `page`; nothing for other
// kinds and for a chart that is not written.
int WritePlacementRecords(RecordWriter& out, Form& form, int page, PageData entry);

// Reads an 'f' or 't' record (head in hand) of page `page` whose owner is the item `owner`, and,
// after a 't', the 'f' records that follow it. kDamaged for a body of a length the format does
// not have. Placements of fields or tables the form does not define, placements without a chart or
// free cell to lie in and placements beyond a full list are dropped.
int ReadPlacementRecord(Form& form, RecordReader& in, const RecordHead& head, int page,
                        PageData owner);

}  // namespace qs

#endif  // QSTORE_FORMSTORE_LAYOUT_RECORDS_H_
