// Small helpers of the page-model operations for values that come from callers and files
// unchecked: texts that may lack their end within the page's limit, and coordinates whose sums
// may leave 32 bits.
#ifndef QSTORE_COMMON_MODEL_CALLER_VALUES_H_
#define QSTORE_COMMON_MODEL_CALLER_VALUES_H_

#include <cstdint>
#include <cstring>
#include <string_view>

#include "common/model/string_pool.h"

namespace qs {

// A caller's text as the page keeps it: up to its first NUL and at most StringPool::kMaxLength
// bytes, never reading further; null gives the empty text.
inline std::string_view CallerText(const char* text) {
  if (text == nullptr) return {};
  return std::string_view(text, strnlen(text, StringPool::kMaxLength));
}

// Wrapping 32-bit addition, so that sums of unchecked coordinates never overflow into undefined
// behaviour.
inline int32_t WrapAdd(int32_t a, int64_t d) {
  return int32_t(uint32_t(uint64_t(int64_t(a) + d)));
}

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_CALLER_VALUES_H_
