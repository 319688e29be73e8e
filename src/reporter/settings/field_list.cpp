#include "reporter/settings/field_list.h"

#include <algorithm>

#include "reporter/settings/settings_keys.h"
#include "rtl/case_folding.h"
#include "rtl/text.h"

namespace Reporter::Settings {
namespace {

// Runs one operation under the list's lock, owner brackets included.
class TLocked {
 public:
  explicit TLocked(IFieldList& list) : list_(list) { list_.Lock(); }
  ~TLocked() { list_.Unlock(); }
  TLocked(const TLocked&) = delete;
  TLocked& operator=(const TLocked&) = delete;

 private:
  IFieldList& list_;
};

}  // namespace

void TFieldList::Lock() {
  section_.lock();
  if (excParent_ != nullptr) excParent_->BeginUpdate();
}

void TFieldList::Unlock() {
  // The owner announces the change when its update count drops to 0; that must happen after
  // the list lock is released, so that announcements never run under it.
  IReportUpdates* const owner = excParent_;
  section_.unlock();
  if (owner != nullptr) owner->EndUpdate();
}

int TFieldList::GetItemCount() {
  TLocked locked(*this);
  return static_cast<int>(items_.size());
}

std::string TFieldList::GetItem(int index) {
  TLocked locked(*this);
  if (index < 0 || index >= static_cast<int>(items_.size())) return {};
  return items_[index].name;
}

void TFieldList::SetItem(int index, std::string_view name) {
  TLocked locked(*this);
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  if (items_[index].name == name) return;
  items_[index].name = name;
  Changed();
}

int TFieldList::FindItem(std::string_view name) {
  TLocked locked(*this);
  return Find(name);
}

std::string TFieldList::GetContent(std::string_view name) {
  TLocked locked(*this);
  const int index = Find(name);
  return index < 0 ? std::string() : items_[index].content;
}

void TFieldList::SetContent(std::string_view name, std::string_view content) {
  TLocked locked(*this);
  if (!acceptsData_) return;
  std::string trimmed = RTL::Text::Trim(content);
  const int index = Find(name);
  if (trimmed.empty()) {
    if (index >= 0) {
      Remove(index);
      Changed();
    }
  } else if (index < 0) {
    if (addIndex_ >= 1) {
      Insert(addIndex_, name, trimmed);
    } else {
      items_.push_back({std::string(name), std::move(trimmed)});
      Changed();
    }
  } else if (items_[index].name != name || items_[index].content != trimmed) {
    items_[index] = {std::string(name), std::move(trimmed)};
    Changed();
  }
}

void TFieldList::Add(std::string_view name, std::string_view content) {
  SetContent(name, content);
}

void TFieldList::Insert(int index, std::string_view name, std::string_view content) {
  TLocked locked(*this);
  std::string trimmed = RTL::Text::Trim(content);
  if (!acceptsData_ || trimmed.empty()) return;
  index = std::clamp(index, 0, static_cast<int>(items_.size()));
  const int existing = Find(name);
  if (existing >= 0) {
    if (existing == index && items_[existing].content == trimmed) return;
    Remove(existing);
    if (existing < index) --index;
  }
  items_.insert(items_.begin() + index, {std::string(name), std::move(trimmed)});
  // Keeps names added later at the insertion index in the order they came.
  if (addIndex_ >= 1 && addIndex_ >= index) ++addIndex_;
  Changed();
}

void TFieldList::Delete(int index) {
  TLocked locked(*this);
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  Remove(index);
  Changed();
}

void TFieldList::Delete(std::string_view name) {
  TLocked locked(*this);
  const int index = Find(name);
  if (index >= 0) Delete(index);
}

std::shared_ptr<IFieldList> TFieldList::Clone() {
  TLocked locked(*this);
  auto copy = std::make_shared<TFieldList>();
  copy->items_ = items_;
  copy->acceptsData_ = true;
  return copy;
}

void TFieldList::SetExcParent(IReportUpdates* owner) {
  std::lock_guard locked(section_);
  excParent_ = owner;
}

void TFieldList::SetMesParent(ISettingsWriteBack* owner) {
  std::lock_guard locked(section_);
  mesParent_ = owner;
}

void TFieldList::ClearExcParent() {
  SetExcParent(nullptr);
}

void TFieldList::ClearMesParent() {
  SetMesParent(nullptr);
}

void TFieldList::SetAddIndex(int index) {
  TLocked locked(*this);
  addIndex_ = index;
}

void TFieldList::AcceptData() {
  TLocked locked(*this);
  acceptsData_ = true;
}

int TFieldList::Find(std::string_view name) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (RTL::Text::SameIgnoreCase(items_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

void TFieldList::Remove(int index) {
  items_.erase(items_.begin() + index);
  if (addIndex_ > index) --addIndex_;
}

void TFieldList::Changed() {
  if (mesParent_ != nullptr) {
    std::string text;
    for (const TField& field : items_) {
      if (&field != &items_.front()) text += '|';
      text += field.name;
      text += '=';
      text += field.content;
    }
    mesParent_->WriteBack(Keys::AddFields.name, text);
  }
  if (excParent_ != nullptr) excParent_->SetModified();
}

}  // namespace Reporter::Settings
