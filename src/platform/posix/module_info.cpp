#include "platform/module_info.h"

#include <dlfcn.h>

#include "platform/process.h"

namespace Platform {
namespace {

// The main executable's load address. The platform layer is a static library, so its own code
// lies in the executable.
const void* MainImageBase() {
  static const void* const base = [] {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&MainImageBase), &info) == 0) {
      return static_cast<const void*>(nullptr);
    }
    return static_cast<const void*>(info.dli_fbase);
  }();
  return base;
}

}  // namespace

std::optional<ModuleHandle> ModuleOfAddress(const void* address) {
  Dl_info info{};
  if (address == nullptr || dladdr(address, &info) == 0 || info.dli_fbase == nullptr) {
    return std::nullopt;
  }
  if (info.dli_fbase == MainImageBase()) return MainModule();
  return reinterpret_cast<ModuleHandle>(info.dli_fbase);
}

std::string ModuleFileName(ModuleHandle module) {
  if (module == MainModule()) return ExecutablePath();
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(module), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  return info.dli_fname;
}

std::optional<std::string> ModuleVersion(ModuleHandle module) {
  const auto bytes = FindRawResource(module, kVersionResourceName);
  if (!bytes || bytes->empty()) return std::nullopt;
  std::string text(bytes->begin(), bytes->end());
  // A generated record may carry its C string's terminator.
  if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
  if (text.empty()) return std::nullopt;
  return text;
}

std::optional<std::string> ReadVersionVariable(ModuleHandle, std::uint32_t) {
  return std::nullopt;
}

}  // namespace Platform
