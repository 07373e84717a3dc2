// qstore check: the prohibited-character check of a document, its log shown in UTF-8.
#include <fmt/format.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "docstore.h"
#include "tools/qstore/commands.h"
#include "tools/qstore/progress.h"
#include "tools/qstore/status.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

namespace {

// The bytes of a file from `offset` on ("" when it holds no more).
std::string ReadFrom(const std::string& path, uintmax_t offset) {
  std::ifstream in(path, std::ios::binary);
  if (!in.seekg(static_cast<std::streamoff>(offset))) return "";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int RunCheck(const CheckOptions& options) {
  if ((options.mask | options.replace) & ~14)
    throw ToolError("--mask and --replace are sums of 2, 4 and 8");
  DocHandle doc{};
  Check(QdaOpenDoc(&doc, LibraryPath(options.doc).c_str()), options.doc, "QdaOpenDoc");
  struct Closer {
    DocHandle* doc;
    ~Closer() { QdaCloseDoc(doc); }
  } closer{&doc};
  const std::string log = options.log.empty() ? "" : LibraryPath(options.log);
  const std::string table = options.table.empty() ? "" : LibraryPath(options.table);
  // The library appends to the log: what this check adds starts at the log's present size.
  std::error_code no_log;
  const uintmax_t log_size = log.empty() ? 0 : std::filesystem::file_size(log, no_log);
  const uintmax_t log_before = no_log ? 0 : log_size;
  int32_t found = 0;
  {
    BusyBar busy("checking");
    found = QdaCheckReplaceTextAp2(&doc, options.mask, options.replace, log.c_str(), table.c_str());
  }
  if (found < 0) throw CallError(options.doc, "QdaCheckReplaceTextAp2", found);
  if (!log.empty()) {
    fmt::print("{}", ShowText(ReadFrom(log, log_before)));
  }
  const char* names[] = {"full-width alphanumerics", "half-width katakana",
                         "user-defined or special characters"};
  for (int bit = 0; bit < 3; ++bit) {
    const int value = 2 << bit;
    if (found & value)
      fmt::print("{}: {} {}\n", options.doc, names[bit],
                 options.replace & value ? "replaced" : "found");
  }
  if (found == 0) fmt::print("{}: nothing found\n", options.doc);
  if ((found & options.replace) != 0 && QdaQueryDocUpdate(&doc) > 0) {
    const std::string output = options.output.empty() ? options.doc : options.output;
    Check(QdaSaveDoc(&doc, LibraryPath(output).c_str()), output, "QdaSaveDoc");
    fmt::print("saved {}\n", output);
  }
  return found == 0 ? kExitOk : kExitFound;
}

}  // namespace qstore::tool
