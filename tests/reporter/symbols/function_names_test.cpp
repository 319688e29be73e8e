#include "function_names.h"

#include <gtest/gtest.h>

namespace {

using namespace SymbolExtractor;

TEST(UndecoratedName, Strips32BitWindowsDecoration) {
  EXPECT_EQ(UndecoratedName("__ZN6Update4WorkEv"), "_ZN6Update4WorkEv");
  EXPECT_EQ(UndecoratedName("_main"), "main");
  EXPECT_EQ(UndecoratedName("_Sleep@4"), "Sleep");
  EXPECT_EQ(UndecoratedName("@Fast@8"), "Fast");
  EXPECT_EQ(UndecoratedName("__ZN8Platform15WindowProcedureEP6HWND__jjl@16"),
            "_ZN8Platform15WindowProcedureEP6HWND__jjl");
  EXPECT_EQ(UndecoratedName("_mail@home"), "mail@home");
}

}  // namespace
