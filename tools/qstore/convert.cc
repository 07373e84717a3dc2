// qstore convert: a form into a document file.
#include <fmt/format.h>

#include <algorithm>
#include <cstdio>

#include "formstore.h"
#include "tools/qstore/commands.h"
#include "tools/qstore/progress.h"
#include "tools/qstore/status.h"

namespace qstore::tool {

int RunConvert(const ConvertOptions& options) {
  const std::string target = LibraryPath(options.doc);
  char doc[256];
  if (target.size() + 5 > sizeof doc) throw ToolError(options.doc + ": the path is too long");
  std::snprintf(doc, sizeof doc, "%s", target.c_str());
  PrepareTemplateLookup(options.form);
  BusyBar busy("converting");
  Check(QfaConvertToDoc(LibraryPath(options.form).c_str(), doc), options.form, "QfaConvertToDoc");
  // The library appends ".QFD" to a name without a dot; show the name as the caller gave it.
  const std::string written = doc;
  fmt::print("{}{}\n", options.doc, written.substr(std::min(written.size(), target.size())));
  return kExitOk;
}

}  // namespace qstore::tool
