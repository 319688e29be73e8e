#include "platform/posix/memory_load_segments.h"

#include <link.h>
#include <unistd.h>

#include <algorithm>

namespace Platform::Posix {

std::vector<TAddressRange> ExecutableLoadSegments() {
  std::vector<TAddressRange> segments;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) {
        auto& found = *static_cast<std::vector<TAddressRange>*>(data);
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
          const ElfW(Phdr)& header = info->dlpi_phdr[i];
          if (header.p_type != PT_LOAD || (header.p_flags & PF_X) == 0 || header.p_memsz == 0) {
            continue;
          }
          const std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
          const std::uintptr_t end = begin + header.p_memsz;
          if (end < begin) continue;
          found.push_back({begin & ~(page - 1), (end + page - 1) & ~(page - 1)});
        }
        return 0;
      },
      &segments);
  std::sort(segments.begin(), segments.end(),
            [](const TAddressRange& a, const TAddressRange& b) { return a.Begin < b.Begin; });
  return segments;
}

}  // namespace Platform::Posix
