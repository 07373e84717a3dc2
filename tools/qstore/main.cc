// qstore: the command-line tool over the storage libraries.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/qstore/commands.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: qstore <command> [arguments]\n"
               "commands:\n"
               "  demo    build a sample form, show what the library keeps of it\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "demo") return qstore::RunDemo(argc - 2, argv + 2);
  return Usage();
}
