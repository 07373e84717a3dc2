// Feeds arbitrary bytes to the field-definition template reader. Whatever it reads must respect
// the tables' limits, keep every name terminated inside its field, and nest only inside structures
// it read; the settings-only reader must agree with the full reader on a template that has no
// structure, field or closer line before its last setting.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "formstore/field_defs.h"
#include "formstore/field_template.h"
#include "platform/memory_file.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool Terminated(const char* s, size_t size) {
  return std::memchr(s, '\0', size) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qs::FieldDefs defs;
  qs::MemoryFile file(data, size);
  qs::ReadFieldTemplate(file, &defs);

  Check(defs.struct_count() <= qs::FieldDefs::kMaxStructs);
  Check(defs.field_count() <= qs::FieldDefs::kMaxFields);
  const FieldControl& c = defs.control();
  Check(Terminated(c.PrgName, sizeof c.PrgName) && Terminated(c.PrgTitle, sizeof c.PrgTitle));
  for (int n = 1; n <= defs.struct_count(); ++n) {
    const FieldStruct* s = defs.StructAt(n);
    Check(Terminated(s->StructName, sizeof s->StructName));
    Check(s->StructKind >= 1 && s->StructKind <= 5);
    // A structure nests in one read before it.
    bool parent_before = s->ParentId == 0;
    for (int k = 1; k < n && !parent_before; ++k)
      parent_before = defs.StructAt(k)->StructId == s->ParentId;
    Check(parent_before);
  }
  for (int n = 1; n <= defs.field_count(); ++n) {
    const qs::FieldRec* f = defs.FieldAt(n);
    Check(Terminated(f->pub.FieldName, sizeof f->pub.FieldName));
    Check(f->pub.DataType >= 1 && f->pub.DataType <= 7);
    Check(f->pub.ParentId == 0 || defs.FindStruct(f->pub.ParentId) != nullptr);
    Check(f->layout_count == 0 && f->form1 == 1 << 5);
  }

  FieldControl direct;
  qs::MemoryFile again(data, size);
  qs::ReadFieldTemplateControl(again, &direct);
  if (defs.struct_count() == 0 && defs.field_count() == 0 &&
      std::string(reinterpret_cast<const char*>(data), size).find("$/") == std::string::npos)
    Check(std::memcmp(&direct, &c, sizeof c) == 0);
  return 0;
}
