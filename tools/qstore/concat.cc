// qstore concat: one document of the pages of several, in order.
#include <fmt/format.h>

#include "docstore.h"
#include "tools/qstore/commands.h"
#include "tools/qstore/progress.h"
#include "tools/qstore/status.h"

namespace qstore::tool {

namespace {

class OpenDoc {
 public:
  explicit OpenDoc(const std::string& path) {
    Check(QdaOpenDoc(&handle_, LibraryPath(path).c_str()), path, "QdaOpenDoc");
  }
  ~OpenDoc() { QdaCloseDoc(&handle_); }
  DocHandle* get() { return &handle_; }

 private:
  DocHandle handle_{};
};

}  // namespace

int RunConcat(const ConcatOptions& options) {
  OpenDoc target(options.inputs.front());
  for (size_t i = 1; i < options.inputs.size(); ++i) {
    OpenDoc source(options.inputs[i]);
    {
      BusyBar busy(fmt::format("appending {}", options.inputs[i]));
      Check(QdaConcatDoc(target.get(), source.get()), options.inputs[i], "QdaConcatDoc");
    }
  }
  {
    BusyBar busy("saving");
    Check(QdaSaveDoc(target.get(), LibraryPath(options.output).c_str()), options.output,
          "QdaSaveDoc");
  }
  fmt::print("{}: {} pages\n", options.output, QdaGetPageCount(target.get()));
  return kExitOk;
}

}  // namespace qstore::tool
