// Scratch files of an open form or document live in the work directory under one naming rule:
// work directory, two-letter prefix, the item's number in at least three digits, a running sequence
// number of exactly four digits, an extension. Picture copies, undo journals and the document work
// file are all named so, and all go together when the item is set up or released.
#ifndef QSTORE_COMMON_FILE_SCRATCH_FILES_H_
#define QSTORE_COMMON_FILE_SCRATCH_FILES_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace qs {

class Env;

// The extension of a path's last component, with its dot ("" when it has none).
std::string_view ExtensionOf(std::string_view path);

std::string ScratchName(std::string_view work_dir, const char* prefix, uint32_t item_no,
                        uint32_t seq, std::string_view extension);

// The sequence number stays within four digits: after this one the next is 1 again. Otherwise item
// 100's name with sequence 10001 would be item 1001's with sequence 0001, and item 1001's sweep
// would delete it.
constexpr uint32_t kLastScratchSeq = 9999;

// Raises *seq (after kLastScratchSeq starting again at 1) until the name it gives does not exist
// yet in `env` and returns that name; the extension is taken from `like`. "" when all 9999 names
// exist.
std::string FreshScratchName(Env& env, std::string_view work_dir, const char* prefix,
                             uint32_t item_no, uint32_t* seq, std::string_view like);

// True when `name` (a directory entry) is a scratch file of item `item_no`: the prefix, the number
// as printed, exactly four sequence digits, then the end of the name or a '.'. Item 100 thus never
// claims the files of items 1000 to 1009.
bool IsScratchFileOf(std::string_view name, const char* prefix, uint32_t item_no);

// Deletes every scratch file of the item in the work directory; failures are ignored.
void SweepScratchFiles(Env& env, const std::string& work_dir, const char* prefix, uint32_t item_no);

}  // namespace qs

#endif  // QSTORE_COMMON_FILE_SCRATCH_FILES_H_
