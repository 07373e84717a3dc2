#include "common/file/scratch_files.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "platform/env.h"

namespace qs {

std::string_view ExtensionOf(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  const std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = base.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : base.substr(dot);
}

std::string ScratchName(std::string_view work_dir, const char* prefix, uint32_t item_no,
                        uint32_t seq, std::string_view extension) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%03u%04u", unsigned(item_no), unsigned(seq));
  std::string name;
  name.reserve(work_dir.size() + 16 + extension.size());
  name.append(work_dir).append(prefix).append(digits).append(extension);
  return name;
}

std::string FreshScratchName(Env& env, std::string_view work_dir, const char* prefix,
                             uint32_t item_no, uint32_t* seq, std::string_view like) {
  const std::string_view extension = ExtensionOf(like);
  for (uint32_t tried = 0; tried < kLastScratchSeq; ++tried) {
    *seq = *seq >= kLastScratchSeq ? 1 : *seq + 1;
    std::string name = ScratchName(work_dir, prefix, item_no, *seq, extension);
    if (!env.Exists(name)) return name;
  }
  return std::string();
}

bool IsScratchFileOf(std::string_view name, const char* prefix, uint32_t item_no) {
  char head[32];
  const int n = std::snprintf(head, sizeof head, "%s%03u", prefix, unsigned(item_no));
  if (n <= 0 || name.substr(0, size_t(n)) != std::string_view(head, size_t(n))) return false;
  const std::string_view rest = name.substr(size_t(n));
  if (rest.size() < 4) return false;
  for (int i = 0; i < 4; ++i)
    if (!std::isdigit(static_cast<unsigned char>(rest[i]))) return false;
  return rest.size() == 4 || rest[4] == '.';
}

void SweepScratchFiles(Env& env, const std::string& work_dir, const char* prefix,
                       uint32_t item_no) {
  std::vector<std::string> names;
  if (!env.ListDirectory(work_dir.empty() ? std::string(".") : work_dir, &names)) return;
  for (const std::string& name : names)
    if (IsScratchFileOf(name, prefix, item_no)) env.Delete(work_dir + name);
}

}  // namespace qs
