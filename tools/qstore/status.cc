// The meanings of the statuses the two libraries return.
#include "tools/qstore/status.h"

#include <fmt/format.h>

namespace qstore::tool {

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

const char* CheckMeaning(int32_t status) {
  switch (status) {
    case -1001:
      return "the log file cannot be opened";
    case -2001:
      return "prohibit.ini: group SGLKATAKANA has no valid Start or End";
    case -2002:
      return "prohibit.ini: group DBLALPHANUMERIC1 has no valid Start or End";
    case -2003:
      return "prohibit.ini: group DBLALPHANUMERIC2 has no valid Start or End";
    case -2004:
      return "prohibit.ini: group DBLALPHANUMERIC3 has no valid Start or End";
    case -2005:
      return "prohibit.ini: group SGLALPHANUMERIC has no valid Start or End";
    case -2009:
      return "prohibit.ini not found in the shared directory (SITEPATHS_SHARED_DIR)";
    case -2050:
      return "no pbrepl.csv in the user or the shared directory";
    case -2051:
      return "pbrepl.csv cannot be copied to the user directory";
    case -2097:
      return "the character-check plug-in cannot be loaded";
    case -2098:
      return "the character-check plug-in cannot read its table";
    case -2099:
      return "the character-check plug-in cannot read prohibit.ini";
    case -3001:
      return "a page entry cannot be read";
    case -3010:
      return "a chart cannot be read";
    case -3012:
      return "a cell cannot be written back";
    default:
      return "the character check failed";
  }
}

}  // namespace

std::string StatusMeaning(std::string_view call, int32_t status) {
  if (StartsWith(call, "QdaCheckReplaceText") && status <= -1001 && status >= -9999)
    return CheckMeaning(status);
  switch (status) {
    case 0:
      return "success";
    case 100:
      return "file not found";
    case 101:
      return "file cannot be opened or created";
    case 102:
      return "damaged file or short record";
    case 103:
      return "the file was written by a newer version";
    case 104:
      return "no free font-name slot";
    case 105:
      return "field-definition template not found or unreadable (looked up in QFT/ under "
             "SITEPATHS_BASE_DIR)";
    case 106:
      return "the table placement would leave its chart";
    case 107:
      return "the table has no first placement";
    case 108:
      return "nothing to save: no pages";
    case 201:
      return "out of memory";
    case 301:
      return "picture file cannot be copied";
    case 501:
      return "the documents' information differs";
    case -1:
      return "refused: missing item, position out of range or table full";
    case -2:
      if (StartsWith(call, "QdaCreateDoc") || StartsWith(call, "QdaOpenDoc"))
        return "document state cannot be made";
      if (StartsWith(call, "QfaAddFieldLayout")) return "no field with that id";
      return "refused: not a cell origin or at the edge";
    case -3:
      if (StartsWith(call, "QfaAddFieldLayout")) return "a field is already placed at that cell";
      if (StartsWith(call, "QdaCreateDoc") || StartsWith(call, "QdaOpenDoc"))
        return "work file cannot be made";
      return "refused: no cell that way";
    case -4:
      return "the field lies inside a sub-table, case or tag";
    case -5:
      return "the placement cannot be stored";
    case -7:
      return "the field cannot be stored";
    case -10:
      return "document header cannot be made";
    case -100:
      return "no memory for a page";
    case -101:
      return "page limit reached";
    default:
      return "unknown status";
  }
}

CallError::CallError(std::string file, std::string call, int32_t status)
    : std::runtime_error(
          fmt::format("{}: {} returned {} ({})", file, call, status, StatusMeaning(call, status))),
      status_(status) {}

}  // namespace qstore::tool
