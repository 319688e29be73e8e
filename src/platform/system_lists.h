#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the crash reporter lists about the process and the machine: the module images mapped
// into this process, the running processes and the installed devices. Each call reads the
// system once and hands back plain records; the report formats them.
namespace Platform {

// A module image of this process.
struct TModuleRecord {
  std::uint64_t Base = 0;  // the lowest address of the image
  std::string FileName;    // without folder
  std::string Directory;   // without trailing separator
  std::string Version;     // file version text; empty without one
};

// Windows: the address space walked with VirtualQuery, one record per allocation base that
// the loader knows a file for, long file names, versions from the version resource. POSIX: the
// ELF files mapped in /proc/self/maps, each at its lowest address, versions from the version
// record that the build registers for a module.
std::vector<TModuleRecord> ListModules();

// A running process.
struct TProcessRecord {
  std::string FileName;
  std::string Directory;  // empty when only the image name is known
  std::uint32_t ProcessId = 0;
  std::uint32_t SessionId = 0;
  std::int32_t PriorityClass = -1;  // Windows priority class value; -1 when not available
  std::uint32_t GdiObjects = 0;
  std::uint32_t UserObjects = 0;
};

// Windows priority class values, which the POSIX list derives from the nice value.
inline constexpr std::int32_t kIdlePriorityClass = 0x40;
inline constexpr std::int32_t kBelowNormalPriorityClass = 0x4000;
inline constexpr std::int32_t kNormalPriorityClass = 0x20;
inline constexpr std::int32_t kAboveNormalPriorityClass = 0x8000;
inline constexpr std::int32_t kHighPriorityClass = 0x80;
inline constexpr std::int32_t kRealtimePriorityClass = 0x100;

// Windows: one system process snapshot, in its order. POSIX: the processes of /proc by
// ascending id; the session is the login session, the priority class comes from the nice
// value and the GUI object counts are 0.
std::vector<TProcessRecord> ListProcesses();

// This process's id, as ListProcesses reports it.
std::uint32_t CurrentProcessId();

// An installed device, in the order the system enumerates them.
struct TDeviceRecord {
  // The class's readable name, and the id that stands for it when it has none (Windows: the
  // class GUID text; POSIX: the numeric class). Without either the device is left out.
  std::string ClassName;
  std::string ClassId;
  std::string DeviceTitle;  // may be empty
  // Where the device's driver is described (Windows: the driver's registry key); empty when
  // the device has no driver.
  std::string DriverKey;
  // Windows: the driver key's values of the same names. POSIX: ProviderName is the module of
  // a driver loaded as a module (empty for one built into the kernel), DriverVersion names
  // the driver and the module's version.
  std::string ProviderName;
  std::string DriverVersion;
  std::string DriverDate;
};

// Windows: the present devices of all classes from SetupAPI, less the legacy, unknown, volume
// and software devices and those whose driver hides them; empty when SetupAPI is missing.
// POSIX: the PCI and USB devices of /sys, named from the PCI and USB id databases when they
// are installed, else by their numeric ids.
std::vector<TDeviceRecord> ListDevices();

// ----- Helpers of the Windows lists, portable so that every build checks them.

// The long form of a path: from the last component to the first, each component that holds
// "~" and neither "*" nor "?" becomes the name that the lookup reports for the path up to and
// including it; a component whose lookup gives none stays. Components are separated by "\".
std::string LongPathName(
    std::string_view path,
    const std::function<std::optional<std::string>(const std::string& path)>& lookup);

// A process image path as the kernel names it, as a program would: "\SystemRoot\System32\"
// (any case) becomes the system folder and "\", a leading "\??\" is dropped.
std::string DosImagePath(std::string_view path, std::string_view systemDirectory);

}  // namespace Platform
