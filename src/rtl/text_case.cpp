#include <algorithm>
#include <array>
#include <cstdint>

#include "rtl/text.h"
#include "rtl/utf8.h"

namespace RTL::Text {
namespace {

// Runs of lower-case letters with their capitals at a fixed distance: every code point from
// first to last (step 1), or every second one (step 2, where lower and upper case alternate).
// Drawn from the Unicode character data for the Latin, Greek and Cyrillic blocks, keeping only
// letters whose capital takes as many UTF-8 bytes as they do.
struct CaseRun {
  char32_t first;
  char32_t last;
  std::int32_t delta;
  std::int32_t step;
};

// clang-format off
constexpr std::array kUpperCaseRuns = {
    CaseRun{0x0061, 0x007A, -32, 1},
    CaseRun{0x00B5, 0x00B5, 743, 1},
    CaseRun{0x00E0, 0x00F6, -32, 1},
    CaseRun{0x00F8, 0x00FE, -32, 1},
    CaseRun{0x00FF, 0x00FF, 121, 1},
    CaseRun{0x0101, 0x012F, -1, 2},
    CaseRun{0x0133, 0x0137, -1, 2},
    CaseRun{0x013A, 0x0148, -1, 2},
    CaseRun{0x014B, 0x0177, -1, 2},
    CaseRun{0x017A, 0x017E, -1, 2},
    CaseRun{0x0180, 0x0180, 195, 1},
    CaseRun{0x0183, 0x0185, -1, 2},
    CaseRun{0x0188, 0x0188, -1, 1},
    CaseRun{0x018C, 0x018C, -1, 1},
    CaseRun{0x0192, 0x0192, -1, 1},
    CaseRun{0x0195, 0x0195, 97, 1},
    CaseRun{0x0199, 0x0199, -1, 1},
    CaseRun{0x019A, 0x019A, 163, 1},
    CaseRun{0x019E, 0x019E, 130, 1},
    CaseRun{0x01A1, 0x01A5, -1, 2},
    CaseRun{0x01A8, 0x01A8, -1, 1},
    CaseRun{0x01AD, 0x01AD, -1, 1},
    CaseRun{0x01B0, 0x01B0, -1, 1},
    CaseRun{0x01B4, 0x01B6, -1, 2},
    CaseRun{0x01B9, 0x01B9, -1, 1},
    CaseRun{0x01BD, 0x01BD, -1, 1},
    CaseRun{0x01BF, 0x01BF, 56, 1},
    CaseRun{0x01C5, 0x01C5, -1, 1},
    CaseRun{0x01C6, 0x01C6, -2, 1},
    CaseRun{0x01C8, 0x01C8, -1, 1},
    CaseRun{0x01C9, 0x01C9, -2, 1},
    CaseRun{0x01CB, 0x01CB, -1, 1},
    CaseRun{0x01CC, 0x01CC, -2, 1},
    CaseRun{0x01CE, 0x01DC, -1, 2},
    CaseRun{0x01DD, 0x01DD, -79, 1},
    CaseRun{0x01DF, 0x01EF, -1, 2},
    CaseRun{0x01F2, 0x01F2, -1, 1},
    CaseRun{0x01F3, 0x01F3, -2, 1},
    CaseRun{0x01F5, 0x01F5, -1, 1},
    CaseRun{0x01F9, 0x021F, -1, 2},
    CaseRun{0x0223, 0x0233, -1, 2},
    CaseRun{0x023C, 0x023C, -1, 1},
    CaseRun{0x0242, 0x0242, -1, 1},
    CaseRun{0x0247, 0x024F, -1, 2},
    CaseRun{0x0253, 0x0253, -210, 1},
    CaseRun{0x0254, 0x0254, -206, 1},
    CaseRun{0x0256, 0x0257, -205, 1},
    CaseRun{0x0259, 0x0259, -202, 1},
    CaseRun{0x025B, 0x025B, -203, 1},
    CaseRun{0x0260, 0x0260, -205, 1},
    CaseRun{0x0263, 0x0263, -207, 1},
    CaseRun{0x0268, 0x0268, -209, 1},
    CaseRun{0x0269, 0x0269, -211, 1},
    CaseRun{0x026F, 0x026F, -211, 1},
    CaseRun{0x0272, 0x0272, -213, 1},
    CaseRun{0x0275, 0x0275, -214, 1},
    CaseRun{0x0280, 0x0280, -218, 1},
    CaseRun{0x0283, 0x0283, -218, 1},
    CaseRun{0x0288, 0x0288, -218, 1},
    CaseRun{0x0289, 0x0289, -69, 1},
    CaseRun{0x028A, 0x028B, -217, 1},
    CaseRun{0x028C, 0x028C, -71, 1},
    CaseRun{0x0292, 0x0292, -219, 1},
    CaseRun{0x0371, 0x0373, -1, 2},
    CaseRun{0x0377, 0x0377, -1, 1},
    CaseRun{0x037B, 0x037D, 130, 1},
    CaseRun{0x03AC, 0x03AC, -38, 1},
    CaseRun{0x03AD, 0x03AF, -37, 1},
    CaseRun{0x03B1, 0x03C1, -32, 1},
    CaseRun{0x03C2, 0x03C2, -31, 1},
    CaseRun{0x03C3, 0x03CB, -32, 1},
    CaseRun{0x03CC, 0x03CC, -64, 1},
    CaseRun{0x03CD, 0x03CE, -63, 1},
    CaseRun{0x03D0, 0x03D0, -62, 1},
    CaseRun{0x03D1, 0x03D1, -57, 1},
    CaseRun{0x03D5, 0x03D5, -47, 1},
    CaseRun{0x03D6, 0x03D6, -54, 1},
    CaseRun{0x03D7, 0x03D7, -8, 1},
    CaseRun{0x03D9, 0x03EF, -1, 2},
    CaseRun{0x03F0, 0x03F0, -86, 1},
    CaseRun{0x03F1, 0x03F1, -80, 1},
    CaseRun{0x03F2, 0x03F2, 7, 1},
    CaseRun{0x03F3, 0x03F3, -116, 1},
    CaseRun{0x03F5, 0x03F5, -96, 1},
    CaseRun{0x03F8, 0x03F8, -1, 1},
    CaseRun{0x03FB, 0x03FB, -1, 1},
    CaseRun{0x0430, 0x044F, -32, 1},
    CaseRun{0x0450, 0x045F, -80, 1},
    CaseRun{0x0461, 0x0481, -1, 2},
    CaseRun{0x048B, 0x04BF, -1, 2},
    CaseRun{0x04C2, 0x04CE, -1, 2},
    CaseRun{0x04CF, 0x04CF, -15, 1},
    CaseRun{0x04D1, 0x052F, -1, 2},
    CaseRun{0x1C88, 0x1C88, 35266, 1},
    CaseRun{0x1D79, 0x1D79, 35332, 1},
    CaseRun{0x1D7D, 0x1D7D, 3814, 1},
    CaseRun{0x1D8E, 0x1D8E, 35384, 1},
    CaseRun{0x1E01, 0x1E95, -1, 2},
    CaseRun{0x1E9B, 0x1E9B, -59, 1},
    CaseRun{0x1EA1, 0x1EFF, -1, 2},
    CaseRun{0x1F00, 0x1F07, 8, 1},
    CaseRun{0x1F10, 0x1F15, 8, 1},
    CaseRun{0x1F20, 0x1F27, 8, 1},
    CaseRun{0x1F30, 0x1F37, 8, 1},
    CaseRun{0x1F40, 0x1F45, 8, 1},
    CaseRun{0x1F51, 0x1F57, 8, 2},
    CaseRun{0x1F60, 0x1F67, 8, 1},
    CaseRun{0x1F70, 0x1F71, 74, 1},
    CaseRun{0x1F72, 0x1F75, 86, 1},
    CaseRun{0x1F76, 0x1F77, 100, 1},
    CaseRun{0x1F78, 0x1F79, 128, 1},
    CaseRun{0x1F7A, 0x1F7B, 112, 1},
    CaseRun{0x1F7C, 0x1F7D, 126, 1},
    CaseRun{0x1F80, 0x1F87, 8, 1},
    CaseRun{0x1F90, 0x1F97, 8, 1},
    CaseRun{0x1FA0, 0x1FA7, 8, 1},
    CaseRun{0x1FB0, 0x1FB1, 8, 1},
    CaseRun{0x1FB3, 0x1FB3, 9, 1},
    CaseRun{0x1FC3, 0x1FC3, 9, 1},
    CaseRun{0x1FD0, 0x1FD1, 8, 1},
    CaseRun{0x1FE0, 0x1FE1, 8, 1},
    CaseRun{0x1FE5, 0x1FE5, 7, 1},
    CaseRun{0x1FF3, 0x1FF3, 9, 1},
    CaseRun{0x2C61, 0x2C61, -1, 1},
    CaseRun{0x2C68, 0x2C6C, -1, 2},
    CaseRun{0x2C73, 0x2C73, -1, 1},
    CaseRun{0x2C76, 0x2C76, -1, 1},
    CaseRun{0xA641, 0xA66D, -1, 2},
    CaseRun{0xA681, 0xA69B, -1, 2},
    CaseRun{0xA723, 0xA72F, -1, 2},
    CaseRun{0xA733, 0xA76F, -1, 2},
    CaseRun{0xA77A, 0xA77C, -1, 2},
    CaseRun{0xA77F, 0xA787, -1, 2},
    CaseRun{0xA78C, 0xA78C, -1, 1},
    CaseRun{0xA791, 0xA793, -1, 2},
    CaseRun{0xA794, 0xA794, 48, 1},
    CaseRun{0xA797, 0xA7A9, -1, 2},
    CaseRun{0xA7B5, 0xA7C3, -1, 2},
    CaseRun{0xA7C8, 0xA7CA, -1, 2},
    CaseRun{0xA7D1, 0xA7D1, -1, 1},
    CaseRun{0xA7D7, 0xA7D9, -1, 2},
    CaseRun{0xA7F6, 0xA7F6, -1, 1},
    CaseRun{0xAB53, 0xAB53, -928, 1},
    CaseRun{0xFF41, 0xFF5A, -32, 1},
};
// clang-format on

char32_t ToUpper(char32_t codePoint) {
  // The last run starting at or before the code point is the only one that can hold it.
  auto run = std::upper_bound(kUpperCaseRuns.begin(), kUpperCaseRuns.end(), codePoint,
                              [](char32_t c, const CaseRun& r) { return c < r.first; });
  if (run == kUpperCaseRuns.begin()) return codePoint;
  --run;
  if (codePoint > run->last || (codePoint - run->first) % run->step != 0) return codePoint;
  return static_cast<char32_t>(static_cast<std::int32_t>(codePoint) + run->delta);
}

}  // namespace

std::string UnicodeUpper(std::string_view utf8) {
  std::string result;
  result.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8::Sequence sequence = Utf8::Decode(utf8, pos);
    if (sequence.valid) {
      Utf8::Append(result, ToUpper(sequence.codePoint));
    } else {
      result.append(utf8.substr(pos, sequence.length));
    }
    pos += sequence.length;
  }
  return result;
}

bool UnicodeEqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UnicodeUpper(a) == UnicodeUpper(b);
}

}  // namespace RTL::Text
