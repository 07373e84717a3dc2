#include "docstore/check/char_gate.h"

#include <cstring>

namespace qs {

namespace {

constexpr size_t kMaxReplacement = 255;

template <typename Fn>
Fn EntryPoint(Plugin& plugin, const char* name) {
  return reinterpret_cast<Fn>(plugin.Symbol(name));
}

}  // namespace

const char CharGate::kFileName[] = "libchargate.so";

bool CharGate::Load(Env& env, const std::string& path) {
  Unload();
  if (!env.Exists(path)) return false;
  plugin_ = Plugin::Load(path);
  if (!plugin_) return false;
  init_ = EntryPoint<PsInitFn>(*plugin_, "PsInit");
  group_load_ = EntryPoint<PsGroupLoadFn>(*plugin_, "PsGroupLoad");
  check_subst_ = EntryPoint<PsCheckSubstFn>(*plugin_, "PsCheckSubst");
  fini_ = EntryPoint<PsFiniFn>(*plugin_, "PsFini");
  if (init_ == nullptr || group_load_ == nullptr || check_subst_ == nullptr || fini_ == nullptr) {
    Unload();
    return false;
  }
  return true;
}

void CharGate::Unload() {
  Fini();
  init_ = nullptr;
  group_load_ = nullptr;
  check_subst_ = nullptr;
  fini_ = nullptr;
  plugin_.reset();
}

PsHandle CharGate::Init(const std::string& table_path) {
  if (!plugin_) return nullptr;
  handle_ = init_(table_path.c_str());
  return handle_;
}

int CharGate::GroupLoad(const std::string& ini_path) {
  if (!plugin_) return kNotLoaded;
  return group_load_(handle_, ini_path.c_str());
}

int CharGate::CheckSubst(const char* ch, char** replacement) {
  if (!plugin_) return kNotLoaded;
  return check_subst_(handle_, ch, replacement);
}

int CharGate::Fini() {
  if (!plugin_) return kNotLoaded;
  if (handle_ == nullptr) return 0;
  const int result = fini_(handle_);
  handle_ = nullptr;
  return result;
}

bool CharGate::Judge(std::string_view ch, std::string* replacement) {
  char buf[3] = {};
  std::memcpy(buf, ch.data(), ch.size() < 2 ? ch.size() : 2);
  char* text = nullptr;
  if (CheckSubst(buf, &text) <= 0) return false;
  replacement->clear();
  if (text == nullptr) return true;
  // At most kMaxReplacement bytes are taken, and never the first byte of a character alone.
  const std::string_view taken(text, strnlen(text, kMaxReplacement));
  const size_t end = SjisWholePrefix(taken, kMaxReplacement);
  replacement->assign(text, end);
  return true;
}

}  // namespace qs
