#include <gtest/gtest.h>

#include <string>

#include "platform/child_process.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/process.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

// A program in a downloads folder finds whatever lies beside it first: a DLL with the name of
// the HTTP library there must not be the one that runs inside the program.
TEST(HttpLibrary, ComesFromTheSystemFolderNotFromBesideTheProgram) {
  if (Platform::NativePathStyle() != Platform::PathStyle::Windows) {
    GTEST_SKIP() << "POSIX links libcurl";
  }
  TestSupport::ScopedTempDir folder;
  const std::string probe = folder.Join("HttpProbe.exe");
  ASSERT_TRUE(Platform::CopyFileReplacing(TestSupport::TestProgramPath("HttpProbe.exe"), probe));
  ASSERT_TRUE(Platform::CopyFileReplacing(TestSupport::TestProgramPath("planted\\winhttp.dll"),
                                          folder.Join("winhttp.dll")));
  // Wine runs its own library even for a planted one, but under the planted one's name.
  const Platform::CapturedRun run = Platform::RunCaptured(TestSupport::Quoted(probe), 60000);
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.output, "session elsewhere");
}

}  // namespace
