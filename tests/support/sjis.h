// Shift-JIS bytes of UTF-8 text, so tests can write Japanese text as it reads.
#ifndef QSTORE_TESTS_SUPPORT_SJIS_H_
#define QSTORE_TESTS_SUPPORT_SJIS_H_

#include <string>
#include <string_view>

namespace qs_test {

// The code page 932 bytes of `utf8`; aborts the test program on text that has none.
std::string Sjis(std::string_view utf8);

}  // namespace qs_test

#endif  // QSTORE_TESTS_SUPPORT_SJIS_H_
