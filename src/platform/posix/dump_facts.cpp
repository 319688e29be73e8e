#include "platform/dump_facts.h"

#include <elf.h>
#include <link.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include "platform/memory_map.h"
#include "platform/posix/system_files.h"

namespace Platform {
namespace {

// The native ELF records: an image mapped into this process has the process's own class.
using Ehdr = ElfW(Ehdr);
using Phdr = ElfW(Phdr);
using Nhdr = ElfW(Nhdr);

constexpr std::size_t kMaxProgramHeaders = 64;
constexpr std::size_t kMaxNoteBytes = 4096;
constexpr std::size_t kMaxBuildIdBytes = 64;

std::size_t Align4(std::size_t size) {
  return (size + 3) & ~std::size_t{3};
}

// The build id among the notes of one PT_NOTE segment.
std::vector<std::uint8_t> BuildIdInNotes(const std::vector<std::uint8_t>& notes) {
  std::size_t at = 0;
  while (at + sizeof(Nhdr) <= notes.size()) {
    Nhdr header;
    std::memcpy(&header, notes.data() + at, sizeof header);
    const std::size_t name = at + sizeof header;
    const std::size_t description = name + Align4(header.n_namesz);
    const std::size_t next = description + Align4(header.n_descsz);
    if (header.n_namesz > notes.size() || header.n_descsz > notes.size() || next > notes.size()) {
      break;
    }
    if (header.n_type == NT_GNU_BUILD_ID && header.n_namesz == 4 &&
        std::memcmp(notes.data() + name, "GNU", 4) == 0 && header.n_descsz <= kMaxBuildIdBytes) {
      return {notes.begin() + static_cast<std::ptrdiff_t>(description),
              notes.begin() + static_cast<std::ptrdiff_t>(description + header.n_descsz)};
    }
    at = next;
  }
  return {};
}

// Reads the image's program headers where the loader mapped them and its notes where they
// were loaded; nothing of a header that does not look like one is trusted.
std::vector<std::uint8_t> BuildIdOfImage(std::uintptr_t base) {
  Ehdr header;
  if (!ReadMemory(base, &header, sizeof header) ||
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_phentsize != sizeof(Phdr) ||
      header.e_phnum == 0 || header.e_phnum > kMaxProgramHeaders) {
    return {};
  }
  std::vector<Phdr> programs(header.e_phnum);
  if (!ReadMemory(base + header.e_phoff, programs.data(), programs.size() * sizeof(Phdr))) {
    return {};
  }
  // The first loaded segment lies at the base: the difference is the load bias.
  std::uintptr_t firstLoad = 0;
  bool found = false;
  for (const Phdr& program : programs) {
    if (program.p_type == PT_LOAD) {
      firstLoad = program.p_vaddr & ~static_cast<std::uintptr_t>(program.p_align - 1);
      found = true;
      break;
    }
  }
  if (!found) return {};
  const std::uintptr_t bias = base - firstLoad;
  for (const Phdr& program : programs) {
    if (program.p_type != PT_NOTE || program.p_memsz == 0) continue;
    std::vector<std::uint8_t> notes(std::min<std::size_t>(program.p_memsz, kMaxNoteBytes));
    if (!ReadMemory(bias + program.p_vaddr, notes.data(), notes.size())) continue;
    std::vector<std::uint8_t> id = BuildIdInNotes(notes);
    if (!id.empty()) return id;
  }
  return {};
}

std::uint32_t VersionPart(const char*& text) {
  std::uint32_t value = 0;
  while (*text >= '0' && *text <= '9')
    value = value * 10 + static_cast<std::uint32_t>(*text++ - '0');
  if (*text == '.') ++text;
  return value;
}

}  // namespace

std::vector<TDumpModule> DumpModules() {
  std::map<std::uintptr_t, TDumpModule> byBase;
  for (const TMemoryRegion& region : QueryMemoryMap()) {
    if (region.ImagePath.empty() || region.AllocationBase == 0) continue;
    TDumpModule& module = byBase[region.AllocationBase];
    if (module.Path.empty()) {
      module.Path = region.ImagePath;
      module.Base = region.AllocationBase;
    }
    module.Size = std::max<std::uint64_t>(module.Size, region.End - module.Base);
  }
  std::vector<TDumpModule> modules;
  modules.reserve(byBase.size());
  for (auto& [base, module] : byBase) {
    module.BuildId = BuildIdOfImage(base);
    modules.push_back(std::move(module));
  }
  return modules;
}

TDumpSystem DumpSystem() {
  TDumpSystem system;
#if defined(__x86_64__)
  system.Processor = TDumpProcessor::X86_64;
#else
  system.Processor = TDumpProcessor::X86;
#endif
  const long processors = sysconf(_SC_NPROCESSORS_ONLN);
  system.ProcessorCount = static_cast<std::uint8_t>(std::clamp<long>(processors, 1, 255));
  utsname name{};
  if (uname(&name) == 0) {
    const char* release = name.release;
    system.MajorVersion = VersionPart(release);
    system.MinorVersion = VersionPart(release);
    system.BuildNumber = VersionPart(release);
    system.Description =
        std::string(name.sysname) + " " + name.release + " " + name.version + " " + name.machine;
  }
#if defined(__i386__) || defined(__x86_64__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) != 0) {
    system.VendorId = {ebx, edx, ecx};
    if (eax >= 1 && __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
      system.VersionInformation = eax;
      system.FeatureInformation = edx;
      const unsigned family = (eax >> 8) & 0xf;
      const unsigned extendedFamily = (eax >> 20) & 0xff;
      const unsigned model = (eax >> 4) & 0xf;
      const unsigned extendedModel = (eax >> 16) & 0xf;
      system.ProcessorLevel =
          static_cast<std::uint16_t>(family == 0xf ? family + extendedFamily : family);
      const unsigned fullModel =
          family == 0x6 || family == 0xf ? (extendedModel << 4) | model : model;
      system.ProcessorRevision = static_cast<std::uint16_t>((fullModel << 8) | (eax & 0xf));
    }
  }
#endif
  return system;
}

std::string DumpMemoryMapText() {
  return Posix::ReadSystemFile("/proc/self/maps");
}

std::string DumpProcessStatusText() {
  return Posix::ReadSystemFile("/proc/self/status");
}

}  // namespace Platform
