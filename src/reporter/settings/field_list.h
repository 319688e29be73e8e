#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "reporter/settings/list_owners.h"

// The reporter's thread-safe list of named texts: a settings object's additional form fields,
// a bug report's header and sections, the form fields of an upload.
namespace Reporter::Settings {

// Names are unique and compare with the reporter's ignore-case comparison. Contents are kept
// trimmed of codes 0 to 32; an empty content removes the name.
class IFieldList {
 public:
  virtual ~IFieldList() = default;

  // Holds the list's (recursive) lock across several operations; every operation takes it too.
  virtual void Lock() = 0;
  virtual void Unlock() = 0;

  virtual int GetItemCount() = 0;
  // The name at that index; "" when out of range.
  virtual std::string GetItem(int index) = 0;
  // Gives the entry at that index another spelling of its name; out of range is ignored.
  virtual void SetItem(int index, std::string_view name) = 0;
  // The index of the entry of that name, or -1.
  virtual int FindItem(std::string_view name) = 0;
  // The content stored under that name; "" when there is none.
  virtual std::string GetContent(std::string_view name) = 0;
  // Stores the content under that name, adding the entry at the insertion index (or at the
  // end) when it is new; a blank content removes the entry. Ignored until the list accepts
  // data.
  virtual void SetContent(std::string_view name, std::string_view content) = 0;
  virtual void Add(std::string_view name, std::string_view content) = 0;
  // Puts the entry at that index (clamped), moving an entry of the same name there.
  // A blank content or a list that accepts no data changes nothing.
  virtual void Insert(int index, std::string_view name, std::string_view content) = 0;
  virtual void Delete(int index) = 0;
  virtual void Delete(std::string_view name) = 0;
  // A list with the same entries in the same order that accepts data and has no owners.
  virtual std::shared_ptr<IFieldList> Clone() = 0;
};

// What only the list's owners use.
class IFieldListControl {
 public:
  virtual ~IFieldListControl() = default;

  // Set an owner before the list is handed to other threads; an owner clears itself before
  // it goes away.
  virtual void SetExcParent(IReportUpdates* owner) = 0;
  virtual void SetMesParent(ISettingsWriteBack* owner) = 0;
  virtual void ClearExcParent() = 0;
  virtual void ClearMesParent() = 0;
  // Where new names go: 0 appends, 1 or more inserts there (and each further new name follows
  // the previous one).
  virtual void SetAddIndex(int index) = 0;
  // A new list takes no data until this is called.
  virtual void AcceptData() = 0;
};

class TFieldList : public IFieldList, public IFieldListControl {
 public:
  void Lock() override;
  void Unlock() override;
  int GetItemCount() override;
  std::string GetItem(int index) override;
  void SetItem(int index, std::string_view name) override;
  int FindItem(std::string_view name) override;
  std::string GetContent(std::string_view name) override;
  void SetContent(std::string_view name, std::string_view content) override;
  void Add(std::string_view name, std::string_view content) override;
  void Insert(int index, std::string_view name, std::string_view content) override;
  void Delete(int index) override;
  void Delete(std::string_view name) override;
  std::shared_ptr<IFieldList> Clone() override;

  void SetExcParent(IReportUpdates* owner) override;
  void SetMesParent(ISettingsWriteBack* owner) override;
  void ClearExcParent() override;
  void ClearMesParent() override;
  void SetAddIndex(int index) override;
  void AcceptData() override;

 private:
  struct TField {
    std::string name;
    std::string content;
  };

  int Find(std::string_view name) const;
  void Remove(int index);
  // Tells the owners: the settings text and the report's change announcement.
  void Changed();

  IReportUpdates* excParent_ = nullptr;
  ISettingsWriteBack* mesParent_ = nullptr;
  std::vector<TField> items_;
  int addIndex_ = 0;
  bool acceptsData_ = false;
  std::recursive_mutex section_;
};

}  // namespace Reporter::Settings
