#include "reporter/settings/field_list.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Reporter::Settings;
using Strings = std::vector<std::string>;

// Stands for a settings object and a reported exception: records the write-backs and counts
// updates as the exception does (announce when the last EndUpdate finds a change).
class TFakeOwner : public ISettingsWriteBack, public IReportUpdates {
 public:
  void WriteBack(std::string_view key, const std::string& value) override {
    writes.push_back(std::string(key) + ":" + value);
  }
  void BeginUpdate() override { ++updating; }
  void EndUpdate() override {
    if (--updating > 0 || !dirty) return;
    dirty = false;
    ++announcements;
    if (onAnnounce) onAnnounce();
  }
  void SetModified() override { updating > 0 ? void(dirty = true) : void(++announcements); }

  Strings writes;
  int updating = 0;
  bool dirty = false;
  int announcements = 0;
  std::function<void()> onAnnounce;
};

std::shared_ptr<TFieldList> NewList(Strings names = {}) {
  auto list = std::make_shared<TFieldList>();
  list->AcceptData();
  for (const std::string& name : names) list->Add(name, name);
  return list;
}

Strings Names(IFieldList& list) {
  Strings names;
  for (int i = 0; i < list.GetItemCount(); ++i) names.push_back(list.GetItem(i));
  return names;
}

TEST(FieldList, TakesNoDataUntilAccepting) {
  TFieldList list;
  list.SetContent("a", "1");
  list.Insert(0, "b", "2");
  EXPECT_EQ(list.GetItemCount(), 0);
  list.AcceptData();
  list.Add("a", "1");
  EXPECT_EQ(list.GetContent("a"), "1");
}

TEST(FieldList, StoresTrimmedContentUnderCaselessNamesAndBlankDeletes) {
  auto list = NewList({"b"});
  list->SetContent("Exception Message", "\t Datei nicht gefunden \r\n");
  EXPECT_EQ(list->GetContent("exception MESSAGE"), "Datei nicht gefunden");
  EXPECT_EQ(list->FindItem("EXCEPTION message"), 1);
  EXPECT_EQ(list->GetContent("unknown"), "");
  EXPECT_EQ(list->GetItem(2), "");
  EXPECT_EQ(list->GetItem(-1), "");
  list->SetContent("exception message", " \t\r\n");
  list->Insert(0, "b", "   ");  // a blank insert neither adds nor deletes
  EXPECT_EQ(Names(*list), Strings{"b"});
}

TEST(FieldList, TakesTheNewSpellingAndWritesBackOnlyChanges) {
  auto list = NewList();
  TFakeOwner owner;
  list->SetMesParent(&owner);
  list->SetContent("os version", "x");
  list->SetContent("OS Version", "x");
  list->SetContent("OS Version", " x ");
  list->SetItem(1, "elsewhere");
  list->Add("Project", " Quill ");
  EXPECT_EQ(owner.writes, (Strings{"AddFields:os version=x", "AddFields:OS Version=x",
                                   "AddFields:OS Version=x|Project=Quill"}));
  list->ClearMesParent();
  list->SetItem(0, "OS VERSION");
  EXPECT_EQ(owner.writes.size(), 3u);
  EXPECT_EQ(list->GetItem(0), "OS VERSION");
}

TEST(FieldList, InsertLeavesOneEntryOfTheNameAtTheRequestedPlace) {
  auto list = NewList({"a", "b", "c", "d"});
  list->Insert(0, "C", "new");
  EXPECT_EQ(Names(*list), (Strings{"C", "a", "b", "d"}));
  EXPECT_EQ(list->GetContent("c"), "new");
  // Standing before the index, the old entry's removal shifts the place by one.
  list->Insert(3, "a", "1");
  EXPECT_EQ(Names(*list), (Strings{"C", "b", "a", "d"}));
  list->Insert(99, "e", "5");
  list->Insert(-7, "f", "6");
  EXPECT_EQ(Names(*list), (Strings{"f", "C", "b", "a", "d", "e"}));

  TFakeOwner owner;
  list->SetMesParent(&owner);
  list->Insert(2, "B", " b ");  // already there with that content
  EXPECT_TRUE(owner.writes.empty());
}

TEST(FieldList, NewNamesGoToTheInsertionIndexWhichFollowsTheEntriesBeforeIt) {
  auto list = NewList({"a", "b", "crc"});
  list->SetAddIndex(2);
  list->SetContent("x", "1");
  list->SetContent("y", "2");
  list->SetContent("a", "changed");  // an existing name stays where it is
  EXPECT_EQ(Names(*list), (Strings{"a", "b", "x", "y", "crc"}));
  list->Delete(0);
  list->Insert(0, "p", "3");
  list->SetContent("z", "4");
  EXPECT_EQ(Names(*list), (Strings{"p", "b", "x", "y", "z", "crc"}));
  list->Delete(5);  // after the index: it stays
  list->SetContent("w", "5");
  EXPECT_EQ(Names(*list), (Strings{"p", "b", "x", "y", "z", "w"}));
}

TEST(FieldList, DeletesByIndexAndByNameIgnoringCase) {
  auto list = NewList({"a", "b"});
  TFakeOwner owner;
  list->SetMesParent(&owner);
  list->Delete(2);
  list->Delete(-1);
  list->Delete("c");
  EXPECT_TRUE(owner.writes.empty());
  list->Delete("B");
  list->Delete(0);
  EXPECT_EQ(owner.writes, (Strings{"AddFields:a=a", "AddFields:"}));
}

TEST(FieldList, CloneIsAnIndependentCopyThatAcceptsData) {
  TFieldList original;
  original.Insert(0, "x", "ignored");
  auto copy = original.Clone();
  copy->Add("a", "1");
  EXPECT_EQ(original.GetItemCount(), 0);

  TFakeOwner owner;
  auto filled = NewList({"a", "b"});
  filled->SetMesParent(&owner);
  filled->SetExcParent(&owner);
  copy = filled->Clone();
  EXPECT_EQ(Names(*copy), (Strings{"a", "b"}));
  EXPECT_EQ(copy->GetContent("b"), "b");
  copy->SetContent("a", "changed");
  copy->Delete("b");
  EXPECT_EQ(filled->GetContent("a"), "a");
  EXPECT_EQ(filled->GetItemCount(), 2);
  EXPECT_TRUE(owner.writes.empty());
  EXPECT_EQ(owner.announcements, 0);
}

TEST(FieldList, AnnouncesEachChangeOnceAndALockedGroupOnce) {
  auto list = NewList();
  TFakeOwner owner;
  list->SetExcParent(&owner);
  list->Add("a", "1");
  list->GetContent("a");
  list->Add("a", "1");
  EXPECT_EQ(owner.announcements, 1);

  list->Lock();
  list->Add("b", "2");
  list->Insert(0, "c", "3");
  list->Delete("a");
  EXPECT_EQ(owner.announcements, 1);
  list->Unlock();
  EXPECT_EQ(owner.announcements, 2);
  EXPECT_EQ(owner.updating, 0);

  list->ClearExcParent();
  list->Add("d", "4");
  EXPECT_EQ(owner.announcements, 2);
}

TEST(FieldList, AnnouncesAfterReleasingItsLock) {
  auto list = NewList();
  TFakeOwner owner;
  list->SetExcParent(&owner);
  bool otherThreadGotIn = false;
  std::future<int> other;  // outlives the announcement, so a failure cannot hang the test
  owner.onAnnounce = [&] {
    other = std::async(std::launch::async, [&] { return list->GetItemCount(); });
    otherThreadGotIn = other.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  };
  list->Add("a", "1");
  EXPECT_TRUE(otherThreadGotIn);
}

}  // namespace
