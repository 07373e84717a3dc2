// Turning a form or template name into the path of an existing file.
#ifndef QSTORE_FORMSTORE_FORM_NAMES_H_
#define QSTORE_FORMSTORE_FORM_NAMES_H_

#include <cstddef>

namespace qs {

class Env;

constexpr size_t kNameBufferSize = 256;

enum class NameKind {
  kFormData,  // ".QFD", looked for under BaseDir + "QFD/" and then in FlatDir
  kTemplate,  // ".QFT", looked for under BaseDir + "QFT/" only
};

// A name is a full path when it contains ':' or begins with '/'.
bool IsFullPath(const char* name);

// Appends `extension` to a name that has no '.'; false when it would not fit in `size` bytes.
bool AppendDefaultExtension(char* name, size_t size, const char* extension);

// Resolves the name in `buffer` (kNameBufferSize bytes) in place: on success the buffer holds the
// path of an existing file or directory of `env`. A full path is taken as it is and the directory
// service is not asked.
bool ResolveName(Env& env, char* buffer, NameKind kind);

// Where a form data file lies: 0 not found, 1 under BaseDir, 2 in FlatDir. Appends ".QFD" in place
// to a name without '.'; the caller provides the room.
int FormExist2(Env& env, char* name);

}  // namespace qs

#endif  // QSTORE_FORMSTORE_FORM_NAMES_H_
