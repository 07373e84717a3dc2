// The JSON form of what a reader returns. Keys keep the order in which they are written here, so
// two dumps of equal files are equal text. The schema is described in the README.
#ifndef QSTORE_TOOLS_QSTORE_MODEL_JSON_H_
#define QSTORE_TOOLS_QSTORE_MODEL_JSON_H_

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/qstore/reader.h"

namespace qstore::tool {

using Json = nlohmann::ordered_json;

Json HeaderJson(const HeaderInfo& header);
Json PageJson(const PageInfo& page);
Json FieldsJson(const FieldSet& fields);

// JSON text indented by two spaces per level, `indent` spaces in front of every line but the first;
// an array or object whose members are all plain values stays on one line, so a ruled line or a
// row of widths reads as one line of a diff.
std::string PrettyJson(const Json& json, int indent = 0);

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_MODEL_JSON_H_
