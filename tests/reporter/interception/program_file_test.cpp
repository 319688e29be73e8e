#include <gtest/gtest.h>

#include "reporter/interception/matrix_run.h"
#include "support/scoped_temp_dir.h"

namespace {

using CrashMatrixTesting::TMatrixRun;

// One byte more at the end leaves the program runnable but breaks its checksum stamp: the
// program says so before anything else and then runs as usual. (An intact copy prints nothing
// before its own first line, which every row of the crash matrix checks.)
TEST(ProgramFile, ADamagedProgramSaysSoAtStartAndGoesOn) {
  TMatrixRun run;
  TestSupport::WriteFile(run.Program(), TestSupport::ReadFile(run.Program()) + "x");
  run.Run("eabort");
  ASSERT_EQ(run.lines.size(), 2u) << ::testing::PrintToString(run.lines);
  EXPECT_EQ(run.lines[0].rfind("Datei \"CrashMatrix", 0), 0u) << run.lines[0];
  EXPECT_NE(run.lines[0].find("\" scheint fehlerhaft zu sein!"), std::string::npos);
  EXPECT_EQ(run.lines[1], "row eabort");
  EXPECT_EQ(run.exitCode, 1);
}

}  // namespace
