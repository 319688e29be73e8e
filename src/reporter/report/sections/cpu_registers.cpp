#include <array>

#include "reporter/report/sections/machine_state.h"
#include "reporter/report/sections/section_format.h"

namespace Reporter::Report {

std::string CpuRegistersText(const Platform::TThreadContext& context) {
  // The x86 names; a 64-bit build shows the same registers at their full width.
  const char prefix = sizeof(void*) == 8 ? 'r' : 'e';
  const std::array<std::pair<const char*, std::uint64_t>, 9> registers = {{
      {"ax", context.Ax},
      {"bx", context.Bx},
      {"cx", context.Cx},
      {"dx", context.Dx},
      {"si", context.Si},
      {"di", context.Di},
      {"ip", context.Ip},
      {"sp", context.Sp},
      {"bp", context.Bp},
  }};
  std::string text;
  for (const auto& [name, value] : registers) {
    if (!text.empty()) text += "\r\n";
    text += prefix + std::string(name) + " = " + HexAddress(value);
  }
  return text;
}

}  // namespace Reporter::Report
