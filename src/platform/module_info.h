#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/resources.h"

// What the crash reporter needs to know about the modules of its process.
namespace Platform {

// The module whose image contains the address; none when no module does. POSIX: the main
// executable is MainModule(), a shared object its load address.
[[nodiscard]] std::optional<ModuleHandle> ModuleOfAddress(const void* address);

// Full path of the module's file; empty when unknown.
std::string ModuleFileName(ModuleHandle module);

// The module's file version: Windows reads the version resource (the four numbers of the
// fixed part joined by ".", else the FileVersion string); POSIX reads the raw resource
// kVersionResourceName that the build registers for the module. None when there is none.
[[nodiscard]] std::optional<std::string> ModuleVersion(ModuleHandle module);
inline constexpr std::string_view kVersionResourceName = "VERSION";

// The zero-terminated narrow text whose address is stored at module base + offset. A fault
// while reading gives none. POSIX handles carry no image base, so there it always gives none.
[[nodiscard]] std::optional<std::string> ReadVersionVariable(ModuleHandle module,
                                                             std::uint32_t offset);

}  // namespace Platform
