// The header-information calls, shared by both libraries. Each works on a copy of the header and
// stores it back through the binder's header-put step; every put counts one change first.
#ifndef QSTORE_COMMON_MODEL_HEADER_OPS_H_
#define QSTORE_COMMON_MODEL_HEADER_OPS_H_

#include <cstdint>

#include "common/model/binder.h"
#include "qstore_records.h"

namespace qs {

int GetInf(Binder& b, FormInf* inf);
int GetInf2(Binder& b, FormInf* inf, char* title41);
int PutInf(Binder& b, const FormInf* inf);
int PutInf2(Binder& b, const FormInf* inf, const char* title);
int GetCColor(Binder& b, uint32_t* colors16);
int PutCColor(Binder& b, const uint32_t* colors16);
int GetHeaderFooter(Binder& b, uint8_t* block360);
int PutHeaderFooter(Binder& b, const uint8_t* block360);
// The caller's buffer must hold the memo and its NUL (at most 2048 bytes).
int GetMemo(Binder& b, char* text);
// An empty text changes nothing; a text longer than 2047 bytes is refused, since no file could
// carry it back.
int PutMemo(Binder& b, const char* text);
int GetWorkInf(Binder& b);
int PutWorkInf(Binder& b);
int GetDateTime(Binder& b, FormDateTime* created, FormDateTime* updated);
int ResetDateTime(Binder& b);
int UpdateDateTime(Binder& b);

// UTC calendar fields of a stored time.
void ToDateTime(int32_t seconds, FormDateTime* out);

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_HEADER_OPS_H_
