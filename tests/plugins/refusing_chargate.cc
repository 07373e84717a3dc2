// A character-check plug-in whose PsGroupLoad always fails. Each call appends a line to the file
// named by QSTORE_FAKE_GATE_LOG, so tests see which calls came, in which order, with which paths.
#include <cstdio>
#include <cstdlib>

#include "chargate/chargate.h"

namespace {

int handle_storage;

void Note(const char* what, const char* path) {
  const char* log = std::getenv("QSTORE_FAKE_GATE_LOG");
  if (log == nullptr) return;
  if (std::FILE* f = std::fopen(log, "a")) {
    std::fprintf(f, "%s %s\n", what, path != nullptr ? path : "-");
    std::fclose(f);
  }
}

}  // namespace

extern "C" {

CHARGATE_API PsHandle CHARGATE_CALL PsInit(const char* table_path) {
  Note("init", table_path);
  return &handle_storage;
}

CHARGATE_API int CHARGATE_CALL PsGroupLoad(PsHandle, const char* ini_path) {
  Note("groups", ini_path);
  return 7;
}

CHARGATE_API int CHARGATE_CALL PsCheckSubst(PsHandle, const char*, char**) {
  Note("check", nullptr);
  return 0;
}

CHARGATE_API int CHARGATE_CALL PsFini(PsHandle) {
  Note("fini", nullptr);
  return 0;
}

}  // extern "C"
