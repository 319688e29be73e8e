#include <cstdlib>  // brings the C library's version macros
#include <string>

#include "platform/machine_info.h"

namespace Platform {
namespace {

std::string Version(int major, int minor, int patch) {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

}  // namespace

// The compiler's own macros tell it; clang defines __GNUC__ too, so it is asked first.
std::string CompilerDescription() {
  std::string text;
#if defined(__clang__)
  text = "Clang " + Version(__clang_major__, __clang_minor__, __clang_patchlevel__);
#elif defined(__GNUC__)
  text = "GCC " + Version(__GNUC__, __GNUC_MINOR__, __GNUC_PATCHLEVEL__);
#elif defined(_MSC_VER)
  text = "Microsoft C++ " + std::to_string(_MSC_FULL_VER);
#else
  text = "C++ compiler";
#endif
#if defined(__MINGW64_VERSION_MAJOR)
  text += " (MinGW-w64)";
#elif defined(__MINGW32__)
  text += " (MinGW)";
#endif
  return text;
}

}  // namespace Platform
