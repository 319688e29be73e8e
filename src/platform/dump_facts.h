#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What a crash dump written by the program itself tells about the process besides its threads:
// the loaded images with the identifiers a debugger finds their symbols by, the system and
// the process's own texts. Filled where the program writes its dumps itself (POSIX); Windows
// has the system's writer (system_dump.h) and leaves these empty.
namespace Platform {

struct TDumpModule {
  std::string Path;
  std::uint64_t Base = 0;  // lowest mapped address of the image
  std::uint64_t Size = 0;  // up to the end of its highest mapping
  // The GNU build id of an ELF image; empty when it carries none or it could not be read.
  std::vector<std::uint8_t> BuildId;
};

// The module images mapped into this process, sorted by address. Read from the memory map and
// the images' own headers through reads that never fault, so a damaged image costs only its
// build id.
std::vector<TDumpModule> DumpModules();

enum class TDumpProcessor : std::uint8_t { X86, X86_64 };

struct TDumpSystem {
  TDumpProcessor Processor = TDumpProcessor::X86_64;
  std::uint16_t ProcessorLevel = 0;     // family
  std::uint16_t ProcessorRevision = 0;  // model and stepping
  std::uint8_t ProcessorCount = 0;
  std::uint32_t MajorVersion = 0, MinorVersion = 0, BuildNumber = 0;  // of the kernel
  std::string Description;                  // the kernel's name, release, version and machine
  std::array<std::uint32_t, 3> VendorId{};  // the processor's vendor text as cpuid gives it
  std::uint32_t VersionInformation = 0;     // cpuid leaf 1: eax
  std::uint32_t FeatureInformation = 0;     // cpuid leaf 1: edx
};

TDumpSystem DumpSystem();

// The process's memory map and status as the system words them (Linux /proc/self/maps and
// /proc/self/status); empty where there are none.
std::string DumpMemoryMapText();
std::string DumpProcessStatusText();

}  // namespace Platform
