#include "symbols_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/scoped_temp_dir.h"

namespace SymbolsTest {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(TestSupport::FsPath(path), std::ios::binary);
  EXPECT_TRUE(in.is_open()) << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace SymbolsTest
