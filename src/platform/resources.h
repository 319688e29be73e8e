#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace Platform {

// Identifies a loaded module (executable or library) of this process. Windows: its HMODULE;
// POSIX: a key of the resource table, 0 standing for the main executable.
using ModuleHandle = std::uintptr_t;

ModuleHandle MainModule();

// The bytes of the named raw-data resource that the module carries, valid while the module
// stays loaded; none when it carries no such resource. Windows reads the RT_RCDATA resource
// of the module's image; POSIX looks the name up in the table that RegisterResource fills.
[[nodiscard]] std::optional<std::span<const std::uint8_t>> FindRawResource(ModuleHandle module,
                                                                           std::string_view name);

}  // namespace Platform
