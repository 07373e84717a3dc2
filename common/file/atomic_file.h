// Replacing a file in one step, so that a save that fails half way (or whose process is killed, or
// whose machine loses power) leaves either the previous file or the new one, and no partial file
// behind for long.
#ifndef QSTORE_COMMON_FILE_ATOMIC_FILE_H_
#define QSTORE_COMMON_FILE_ATOMIC_FILE_H_

#include <cstdint>
#include <functional>
#include <string>

#include "platform/env.h"

namespace qs {

// Runs `write` on a new temporary file in the directory of `path` and, when it returns kOk and the
// file reaches the disk, renames the temporary file over `path` and syncs the directory. Otherwise
// the temporary file is deleted and `path` is not touched. Returns `write`'s status, kCannotOpen
// when the temporary file cannot be created or cannot replace `path`, kDamaged when it cannot be
// flushed, or when the directory cannot be synced after the rename (the new file is then in place
// but might not survive a power loss).
//
// The temporary file is locked while it is written (OpenMode::kCreateNewLocked). Temporaries of
// the same target that nobody holds locked were left by saves whose process died; each save
// removes them first. A temporary's name is never longer than the target's name or 64 bytes,
// whichever is more, so any name that can be created can be saved. Every file operation goes
// through `env`.
int WriteFileAtomically(Env& env, const std::string& path, const std::function<int(File&)>& write);

// The name of a temporary file for `path` ("noise" makes it unique), in the directory of `path`.
std::string TemporaryNameFor(const std::string& path, uint32_t noise);
// True when `name` (a directory entry beside `path`) is a temporary file of `path`.
bool IsTemporaryNameOf(const std::string& path, const std::string& name);

}  // namespace qs

#endif  // QSTORE_COMMON_FILE_ATOMIC_FILE_H_
