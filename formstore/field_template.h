// The field-definition template (".QFT"): a text file of statements, one a line, that define the
// program settings, the nested structures and the fields of a form.
//
//   $PRGNAME=ORDERS                 program settings: $PRGKIND, $PRGNAME, $PRGTITLE, $USERMODE,
//   $TABLE=x,1,Items                $PAGEMODE; structures: $TABLE, $SUBTBL, $RECORD (with a fourth
//   $FIELD=x,2,Amount,RL,8[,3]      value), $CASE, $TAG, each closed by any "$/..." line; fields:
//   $/TABLE                         $FIELD with type ST, CH, IT, RL, AR, FF or DT.
//
// Lines are split at '=', ',' and the line end (runs count once); tokens lose surrounding spaces
// and double quotes; keywords and type codes compare in upper case. Lines that do not parse, and
// comments (first character ';'), are skipped.
#ifndef QSTORE_FORMSTORE_FIELD_TEMPLATE_H_
#define QSTORE_FORMSTORE_FIELD_TEMPLATE_H_

#include "formstore/field_defs.h"
#include "platform/env.h"
#include "qstore_records.h"

namespace qs {

// Reads a template into `defs`, whose tables the caller has emptied: the program settings start
// from their defaults. A full table (25 structures, 576 fields) or a lack of memory ends the
// reading with what was read so far. Structures nested deeper than five are skipped with
// everything inside them; closers with nothing open are skipped; over-long names are cut. False
// when a read of the file failed: the template was not read to its end.
bool ReadFieldTemplate(File& file, FieldDefs* defs);

// Reads only the program settings that come before the first structure, field or closer line.
// `out` starts from the defaults. False when a read fails before those lines end.
bool ReadFieldTemplateControl(File& file, FieldControl* out);

// Finds a template by name (".QFT" appended to a name without '.'; a full path as it is, any other
// name under BaseDir + "QFT/") in `env` and reads it. kTemplateMissing when it is not found or
// cannot be opened or read.
int LoadFieldTemplate(Env& env, const char* name, FieldDefs* defs);
// The same for the program settings alone; `out` holds the defaults whatever the result.
int LoadFieldTemplateControl(Env& env, const char* name, FieldControl* out);

}  // namespace qs

#endif  // QSTORE_FORMSTORE_FIELD_TEMPLATE_H_
