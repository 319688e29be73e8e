#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Reading text values of the local machine's registry for the machine facts.
namespace Platform::Win32 {

// The REG_SZ or REG_EXPAND_SZ value of the key under HKEY_LOCAL_MACHINE; none when the key or
// value is missing or not a text.
std::optional<std::string> ReadMachineText(const wchar_t* keyPath, const wchar_t* valueName);

}  // namespace Platform::Win32
