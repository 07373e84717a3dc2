// The commands whose library this build lacks: they say so instead of running.
#include <fmt/format.h>

#include "tools/qstore/commands.h"
#include "tools/qstore/status.h"

namespace qstore::tool {

namespace {

[[maybe_unused]] [[noreturn]] void Missing(const char* what) {
  throw ToolError(fmt::format("this qstore was built without {}", what));
}

}  // namespace

#ifndef QSTORE_TOOL_HAVE_DOCSTORE
int RunConcat(const ConcatOptions&) {
  Missing("QdaConcatDoc");
}
#endif
#ifndef QSTORE_TOOL_HAVE_CHECK
int RunCheck(const CheckOptions&) {
  Missing("the character check (QdaCheckReplaceText...)");
}
#endif

}  // namespace qstore::tool
