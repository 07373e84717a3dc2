// The character-check plug-in as the check uses it: loaded for one check, its four entry points
// found by name, unloaded afterwards.
#ifndef QSTORE_DOCSTORE_CHECK_CHAR_GATE_H_
#define QSTORE_DOCSTORE_CHECK_CHAR_GATE_H_

#include <memory>
#include <string>
#include <string_view>

#include "chargate/chargate.h"
#include "docstore/check/text_convert.h"
#include "platform/env.h"

namespace qs {

class CharGate final : public SpecialChars {
 public:
  // File name of the plug-in in its directory.
  static const char kFileName[];
  // Answers of the entry points while no plug-in is loaded.
  static constexpr int kNotLoaded = -9999;

  CharGate() = default;
  ~CharGate() override { Unload(); }
  CharGate(const CharGate&) = delete;
  CharGate& operator=(const CharGate&) = delete;

  // Loads the plug-in at `path`. False when the file is missing in `env`, cannot be loaded or lacks
  // an entry point; nothing stays loaded then.
  bool Load(Env& env, const std::string& path);
  // Releases the plug-in handle (when there is one) and unloads the plug-in.
  void Unload();

  // The entry points. Without a loaded plug-in: Init null, the others kNotLoaded.
  PsHandle Init(const std::string& table_path);
  int GroupLoad(const std::string& ini_path);
  int CheckSubst(const char* ch, char** replacement);
  int Fini();

  // SpecialChars: a character the plug-in answers above 0 for; at most 255 bytes of its text.
  bool Judge(std::string_view ch, std::string* replacement) override;

 private:
  std::unique_ptr<Plugin> plugin_;
  PsInitFn init_ = nullptr;
  PsGroupLoadFn group_load_ = nullptr;
  PsCheckSubstFn check_subst_ = nullptr;
  PsFiniFn fini_ = nullptr;
  PsHandle handle_ = nullptr;
};

}  // namespace qs

#endif  // QSTORE_DOCSTORE_CHECK_CHAR_GATE_H_
