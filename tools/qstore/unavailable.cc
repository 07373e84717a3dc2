// The commands whose library exports this build lacks: they say so instead of running.
#include <fmt/format.h>

#include "tools/qstore/commands.h"
#include "tools/qstore/status.h"

namespace qstore::tool {

namespace {

[[maybe_unused]] [[noreturn]] void Missing(const char* what) {
  throw ToolError(fmt::format("this qstore was built without {}", what));
}

}  // namespace

#ifndef QSTORE_TOOL_HAVE_CONVERT
int RunConvert(const ConvertOptions&) {
  Missing("QfaConvertToDoc");
}
#endif
#ifndef QSTORE_TOOL_HAVE_CONCAT
int RunConcat(const ConcatOptions&) {
  Missing("QdaConcatDoc");
}
#endif
#ifndef QSTORE_TOOL_HAVE_CHECK
int RunCheck(const CheckOptions&) {
  Missing("the character check (QdaCheckReplaceText...)");
}
#endif
#ifndef QSTORE_TOOL_HAVE_FIELDS
int RunFields(const FieldsOptions&) {
  Missing("the field exports of the form library");
}
#endif

}  // namespace qstore::tool
