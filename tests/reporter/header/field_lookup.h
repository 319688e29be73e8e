#pragma once

#include <string>

#include "reporter/report/header/header_fields.h"

namespace HeaderTest {

// The value of the header's first field with this key, or null when it has none.
inline const std::string* ValueOf(const Reporter::Report::THeader& header, const std::string& key) {
  for (const auto& [name, value] : header.Fields) {
    if (name == key) return &value;
  }
  return nullptr;
}

}  // namespace HeaderTest
