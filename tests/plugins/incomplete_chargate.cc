// A character-check plug-in that lacks its PsFini entry point.
#include "chargate/chargate.h"

namespace {
int handle_storage;
}  // namespace

extern "C" {

CHARGATE_API PsHandle CHARGATE_CALL PsInit(const char*) {
  return &handle_storage;
}

CHARGATE_API int CHARGATE_CALL PsGroupLoad(PsHandle, const char*) {
  return 0;
}

CHARGATE_API int CHARGATE_CALL PsCheckSubst(PsHandle, const char*, char**) {
  return 0;
}

}  // extern "C"
