#include "reporter/settings/attachment_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Reporter::Settings;

class TFakeSettings : public ISettingsWriteBack {
 public:
  void WriteBack(std::string_view key, const std::string& value) override {
    writes.push_back(std::string(key) + ":" + value);
  }
  std::vector<std::string> writes;
};

TEST(AttachmentList, AddFillsMissingNamesFromTheFileAndIgnoresNoFile) {
  TAttachmentList list;
  list.Add("", "shown.txt");
  list.Add("C:\\Daten\\Quill.Log.txt");
  list.Add("/home/anna/trace", "", "logs.zip");
  list.Add("a.bin", "shown.dat");
  list.Add("b.bin", "x.y", "z.zip", "file2");
  EXPECT_EQ(list.GetItem(0),
            (TAttachment{"C:\\Daten\\Quill.Log.txt", "Quill.Log.txt", "", "Quill.Log"}));
  EXPECT_EQ(list.GetItem(1), (TAttachment{"/home/anna/trace", "trace", "logs.zip", "trace"}));
  EXPECT_EQ(list.GetItem(2), (TAttachment{"a.bin", "shown.dat", "", "shown"}));
  EXPECT_EQ(list.GetItem(3), (TAttachment{"b.bin", "x.y", "z.zip", "file2"}));
  EXPECT_EQ(list.GetItem(4), std::nullopt);
  EXPECT_EQ(list.GetItem(-1), std::nullopt);
}

TEST(AttachmentList, DeletesTheFirstEntryOfAFileIgnoringCase) {
  TAttachmentList list;
  list.Add("C:\\A.TXT", "first");
  list.Add("c:\\b.txt");
  list.Add("C:\\a.txt", "second");
  EXPECT_TRUE(list.Delete("c:\\a.txt"));
  EXPECT_EQ(list.GetItem(1)->sendAsFileName, "second");
  EXPECT_TRUE(list.Delete("C:\\A.txt"));
  EXPECT_FALSE(list.Delete("C:\\A.txt"));
  EXPECT_EQ(list.GetItemCount(), 1);
}

TEST(AttachmentList, WritesItselfBackAfterEachChange) {
  TAttachmentList list;
  TFakeSettings settings;
  list.SetParent(&settings);
  list.Clear();
  list.Add("");
  list.Delete("a");
  list.Add("a", "b", "c", "d");
  list.Add("C:\\e.log");
  list.Delete("a");
  list.Clear();
  EXPECT_EQ(settings.writes,
            (std::vector<std::string>{"AddAttachs:a>b>c>d", "AddAttachs:a>b>c>d|C:\\e.log>e.log>>e",
                                      "AddAttachs:C:\\e.log>e.log>>e", "AddAttachs:"}));
  list.ClearParent();
  list.Add("f");
  EXPECT_EQ(settings.writes.size(), 4u);
}

TEST(AttachmentList, CloneIsAnIndependentCopy) {
  TAttachmentList original;
  TFakeSettings settings;
  original.Add("a", "b", "c", "d");
  original.Add("e");
  original.SetParent(&settings);

  auto copy = original.Clone();
  ASSERT_EQ(copy->GetItemCount(), 2);
  EXPECT_EQ(copy->GetItem(0), original.GetItem(0));
  EXPECT_EQ(copy->GetItem(1), original.GetItem(1));
  copy->Clear();
  copy->Add("f");
  EXPECT_EQ(original.GetItemCount(), 2);
  EXPECT_TRUE(settings.writes.empty());
}

}  // namespace
