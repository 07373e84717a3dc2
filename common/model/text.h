// Text helpers over Shift-JIS byte strings shared by both libraries.
#ifndef QSTORE_COMMON_MODEL_TEXT_H_
#define QSTORE_COMMON_MODEL_TEXT_H_

namespace qs {

// Reverses a NUL-terminated string in place, character by character: a two-byte character (a lead
// byte followed by a trail byte) keeps its two bytes in order. A lead byte right before the NUL is
// a character of its own. Returns `s`; a null `s` is returned as it is.
char* ReverseSjisString(char* s);

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_TEXT_H_
