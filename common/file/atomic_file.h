// Replacing a file in one step, so that a save that fails half way leaves the previous file as it
// was and no partial file behind.
#ifndef QSTORE_COMMON_FILE_ATOMIC_FILE_H_
#define QSTORE_COMMON_FILE_ATOMIC_FILE_H_

#include <functional>
#include <string>

#include "platform/env.h"

namespace qs {

// Runs `write` on a new temporary file in the directory of `path` and, when it returns kOk and the
// file reaches the disk, renames the temporary file over `path`. Otherwise the temporary file is
// deleted and `path` is not touched. Returns `write`'s status, kCannotOpen when the temporary file
// cannot be created or cannot replace `path`, kDamaged when it cannot be flushed or closed.
int WriteFileAtomically(const std::string& path, const std::function<int(File&)>& write);

}  // namespace qs

#endif  // QSTORE_COMMON_FILE_ATOMIC_FILE_H_
