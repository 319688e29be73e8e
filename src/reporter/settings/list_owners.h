#pragma once

#include <string>
#include <string_view>

// What the field and attachment lists need of the objects that own them. The owners hold the
// lists; a list only points back at its owners, and each owner clears that pointer before it
// goes away.
namespace Reporter::Settings {

// A settings object: a list it owns stores itself in one of its keys after every change
// ("AddFields", "AddAttachs").
class ISettingsWriteBack {
 public:
  virtual ~ISettingsWriteBack() = default;
  virtual void WriteBack(std::string_view key, const std::string& value) = 0;
};

// A reported exception: a field list it owns brackets every locked operation with
// BeginUpdate/EndUpdate and calls SetModified after every change, so that several changes
// under one lock are announced once, after the list lock is released.
class IReportUpdates {
 public:
  virtual ~IReportUpdates() = default;
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  virtual void SetModified() = 0;
};

}  // namespace Reporter::Settings
