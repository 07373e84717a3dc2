// The subcommands of qstore. main.cc parses the command line into these options and calls Run….
#ifndef QSTORE_TOOLS_QSTORE_COMMANDS_H_
#define QSTORE_TOOLS_QSTORE_COMMANDS_H_

#include <string>
#include <vector>

#include "tools/qstore/reader.h"

namespace qstore::tool {

// How a file is opened: the kind from its extension unless --form or --doc says otherwise.
struct FileOptions {
  std::string path;
  bool as_form = false;
  bool as_doc = false;
  FileKind Kind() const;
};

struct InfoOptions {
  FileOptions file;
};
int RunInfo(const InfoOptions& options);

struct DumpOptions {
  FileOptions file;
  bool json = false;
  int page = 0;  // 0: every page
};
int RunDump(const DumpOptions& options);

struct RenderOptions {
  FileOptions file;
  int page = 1;
  std::string output;  // empty: FILE's name with "-pN.svg"
  int width = 800;     // pixels across the page
};
int RunRender(const RenderOptions& options);

struct ConvertOptions {
  std::string form;
  std::string doc;
};
int RunConvert(const ConvertOptions& options);

struct ConcatOptions {
  std::string output;
  std::vector<std::string> inputs;
};
int RunConcat(const ConcatOptions& options);

struct CheckOptions {
  std::string doc;
  int replace = 0;
  int mask = 14;
  std::string log;
  std::string table;
  std::string output;  // where a replacing check saves; empty: the document itself
};
int RunCheck(const CheckOptions& options);

struct FieldsOptions {
  std::string path;  // a template, or a form whose template is shown with its placements
};
int RunFields(const FieldsOptions& options);

struct DemoOptions {
  std::string dir = "qstore-demo";
};
int RunDemo(const DemoOptions& options);

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_COMMANDS_H_
