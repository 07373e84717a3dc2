// The SVG picture of a page, shared by render and demo.
#ifndef QSTORE_TOOLS_QSTORE_RENDER_H_
#define QSTORE_TOOLS_QSTORE_RENDER_H_

#include <string>

#include "tools/qstore/reader.h"

namespace qstore::tool {

// An SVG document of the page, width_px pixels across; page units are scaled to fit.
std::string RenderSvg(const PageInfo& page, int width_px);
// "FILE-pN.svg" beside FILE.
std::string DefaultSvgName(const std::string& path, int page);
// Writes a whole file; throws ToolError when it cannot.
void WriteFile(const std::string& path, const std::string& contents);

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_RENDER_H_
