#include <gtest/gtest.h>

#include "platform/module_info.h"
#include "platform/resources.h"

namespace {

// The build gives every program the project's version: the version resource on Windows, a
// registered record elsewhere. The reporter names it in its reports.
TEST(ModuleVersion, ProgramCarriesTheProjectVersion) {
  EXPECT_EQ(Platform::ModuleVersion(Platform::MainModule()).value_or("none"),
            UPDATE_PROJECT_VERSION);
}

TEST(ModuleVersion, UnknownModuleHasNone) {
  EXPECT_FALSE(Platform::ModuleVersion(0x7E570000).has_value());
}

}  // namespace
