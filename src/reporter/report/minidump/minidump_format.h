#pragma once

#include <cstdint>
#include <vector>

#include "reporter/report/minidump/dump_contents.h"

// The standard minidump file format as the common debuggers read a Linux process's dump: a
// header, a directory of streams, and the streams (threads with their contexts and stacks,
// modules with their build ids, the memory of the stacks, the exception, the system, and the
// process's memory map and status as text).
namespace Reporter::Report::Minidump {

inline constexpr std::uint32_t kSignature = 0x504d444d;  // "MDMP"
inline constexpr std::uint32_t kVersion = 0xa793;

enum TStreamType : std::uint32_t {
  kThreadListStream = 3,
  kModuleListStream = 4,
  kMemoryListStream = 5,
  kExceptionStream = 6,
  kSystemInfoStream = 7,
  kLinuxProcStatusStream = 0x47670004,
  kLinuxMapsStream = 0x47670009,
};

inline constexpr std::uint32_t kPlatformLinux = 0x8201;
inline constexpr std::uint16_t kArchitectureX86 = 0;
inline constexpr std::uint16_t kArchitectureAmd64 = 9;
// The code view record of an ELF image: this signature, then its build id.
inline constexpr std::uint32_t kElfBuildIdSignature = 0x4270454c;  // "LEpB"

// The processor context records: the layouts of the 32- and 64-bit x86 contexts, with the
// flags that say which register groups they hold.
inline constexpr std::uint32_t kContextX86 = 0x00010000;
inline constexpr std::uint32_t kContextAmd64 = 0x00100000;
inline constexpr std::uint32_t kContextControl = 1;
inline constexpr std::uint32_t kContextInteger = 2;
inline constexpr std::size_t kContextX86Size = 716;
inline constexpr std::size_t kContextAmd64Size = 1232;

// The record sizes of the format, packed as it lays them out.
inline constexpr std::size_t kHeaderSize = 32;
inline constexpr std::size_t kDirectoryEntrySize = 12;
inline constexpr std::size_t kThreadSize = 48;
inline constexpr std::size_t kModuleSize = 108;
inline constexpr std::size_t kMemoryDescriptorSize = 16;
inline constexpr std::size_t kExceptionStreamSize = 168;
inline constexpr std::size_t kSystemInfoSize = 56;

// The processor context of one thread in the layout of the dump's processor.
std::vector<std::uint8_t> ContextRecord(const Platform::TThreadContext& context,
                                        Platform::TDumpProcessor processor);

// The whole file. timeStamp: seconds since 1970 (UTC) when the dump was taken.
std::vector<std::uint8_t> FormatMinidump(const TDumpContents& contents, std::uint32_t timeStamp);

}  // namespace Reporter::Report::Minidump
