// Field definitions and placements of a form, through the field exports of the form library.
#ifndef QSTORE_TOOLS_QSTORE_FORM_FIELDS_H_
#define QSTORE_TOOLS_QSTORE_FORM_FIELDS_H_

#include <string>
#include <vector>

#include "formstore.h"
#include "tools/qstore/reader.h"

namespace qstore::tool {

// The control record, structures and fields of the form's template.
FieldSet ReadFormFields(FormHandle* form);
// The placement records of the form's current page.
std::vector<PlacementInfo> ReadFormPlacements(FormHandle* form, const std::string& path);
// The control record of a template file, without a form; throws CallError on failure.
FieldControl ReadTemplateControl(const std::string& template_name);

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_FORM_FIELDS_H_
