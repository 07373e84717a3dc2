#include "common/model/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/env.h"

namespace qs {

char* ReverseSjisString(char* s) {
  if (s == nullptr) return s;
  const size_t n = std::strlen(s);
  // Swap the bytes of every two-byte character first, so that reversing the whole string puts
  // them back in order.
  for (size_t i = 0; i < n; ++i) {
    if (IsSjisLeadByte(uint8_t(s[i])) && i + 1 < n) {
      std::swap(s[i], s[i + 1]);
      ++i;
    }
  }
  std::reverse(s, s + n);
  return s;
}

}  // namespace qs
