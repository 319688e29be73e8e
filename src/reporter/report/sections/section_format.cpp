#include "reporter/report/sections/section_format.h"

namespace Reporter::Report {

std::string HexAddress(Tracer::Address address) {
  return HexNumber(address, static_cast<int>(2 * sizeof(void*)));
}

std::string HexNumber(std::uint64_t value, int digits) {
  return HexText(value, static_cast<std::size_t>(digits < 1 ? 1 : (digits > 32 ? 32 : digits)));
}

}  // namespace Reporter::Report
