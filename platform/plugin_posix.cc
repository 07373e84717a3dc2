// Plug-ins as shared objects.
#include <dlfcn.h>

#include <new>

#include "platform/env.h"

namespace qs {

namespace {

class PosixPlugin final : public Plugin {
 public:
  explicit PosixPlugin(void* handle) : handle_(handle) {}
  ~PosixPlugin() override { ::dlclose(handle_); }
  PosixPlugin(const PosixPlugin&) = delete;
  PosixPlugin& operator=(const PosixPlugin&) = delete;

  void* Symbol(const char* name) override { return ::dlsym(handle_, name); }

 private:
  void* handle_;
};

}  // namespace

std::unique_ptr<Plugin> Plugin::Load(const std::string& path) {
  if (path.empty()) return nullptr;  // dlopen would hand out the main program
  // dlopen searches the library path for a bare name; every other file of the system is looked for
  // in the current directory, and so is a plug-in.
  std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  std::unique_ptr<Plugin> plugin(new (std::nothrow) PosixPlugin(handle));
  if (!plugin) ::dlclose(handle);
  return plugin;
}

}  // namespace qs
