#include "support/sjis.h"

#include <iconv.h>

#include <cstdio>
#include <cstdlib>

namespace qs_test {

std::string Sjis(std::string_view utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "no CP932 converter\n");
    std::abort();
  }
  std::string in(utf8);
  std::string out(in.size() * 2 + 1, '\0');
  char* src = in.data();
  size_t src_left = in.size();
  char* dst = out.data();
  size_t dst_left = out.size();
  if (iconv(cd, &src, &src_left, &dst, &dst_left) == size_t(-1)) {
    std::fprintf(stderr, "text without a CP932 form: %s\n", in.c_str());
    std::abort();
  }
  iconv_close(cd);
  out.resize(out.size() - dst_left);
  return out;
}

}  // namespace qs_test
