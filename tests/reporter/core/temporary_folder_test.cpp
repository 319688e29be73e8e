#include "reporter/core/temporary_folder.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "support/scoped_temp_dir.h"

namespace {

using Reporter::Core::RemoveFolderTree;

TEST(TemporaryFolder, NestedFoldersAndReadOnlyFilesGo) {
  TestSupport::ScopedTempDir root;
  const std::string folder = root.Join("Update.Exvora");
  TestSupport::MakeDirectory(folder);
  TestSupport::MakeDirectory(root.Join("Update.Exvora/inner"));
  TestSupport::WriteFile(root.Join("Update.Exvora/bugreport.txt"), "report");
  TestSupport::WriteFile(root.Join("Update.Exvora/inner/copy.txt"), "copy");
  Platform::SetReadOnly(root.Join("Update.Exvora/inner/copy.txt"), true);

  EXPECT_TRUE(RemoveFolderTree(folder));
  EXPECT_FALSE(Platform::DirectoryExists(folder));
}

TEST(TemporaryFolder, AMissingFolderIsNoFailure) {
  TestSupport::ScopedTempDir root;
  EXPECT_TRUE(RemoveFolderTree(root.Join("never made")));
  EXPECT_TRUE(RemoveFolderTree(""));
}

}  // namespace
