#pragma once

#include <string_view>

// The crash reporter's own ignore-case comparison. It works on UTF-16 code units, as the
// reporter's lookups always have, so that names match and sort the same way on every build:
// each unit below 256 goes through a fixed folding table, every other unit compares as it is.
namespace Reporter::Settings {

// The folded unit: A-Z to a-z, 0xC0-0xDE except 0xD7 to the unit 0x20 higher, 0x8A, 0x8C and
// 0x8E to 0x9A, 0x9C and 0x9E, 0x9F to 0xFF; every other unit unchanged.
char16_t FoldUnit(char16_t unit);

// Compares two UTF-8 texts by their folded UTF-16 units: the difference of the first two
// units that differ, or the difference of the lengths in units when one text begins with the
// other. Each byte of broken UTF-8 counts as a unit of its own (0xDC00 plus the byte), so two
// different broken texts never compare equal.
int CompareIgnoreCase(std::string_view a, std::string_view b);

bool SameIgnoreCase(std::string_view a, std::string_view b);

}  // namespace Reporter::Settings
