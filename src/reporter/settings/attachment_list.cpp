#include "reporter/settings/attachment_list.h"

#include "reporter/settings/settings_keys.h"
#include "rtl/case_folding.h"

namespace Reporter::Settings {
namespace {

// Paths come from settings written on Windows as well as from the running system.
bool IsPathSeparator(char c) {
  return c == '\\' || c == '/' || c == ':';
}

std::string_view FileNameOf(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return path.substr(i);
  }
  return path;
}

// The name up to its last "." (the whole name when that dot is in a folder part or missing).
std::string_view WithoutExtension(std::string_view name) {
  for (std::size_t i = name.size(); i > 0; --i) {
    if (name[i - 1] == '.') return name.substr(0, i - 1);
    if (IsPathSeparator(name[i - 1])) break;
  }
  return name;
}

}  // namespace

void TAttachmentList::Lock() {
  section_.lock();
}

void TAttachmentList::Unlock() {
  section_.unlock();
}

int TAttachmentList::GetItemCount() {
  std::lock_guard locked(section_);
  return static_cast<int>(items_.size());
}

std::optional<TAttachment> TAttachmentList::GetItem(int index) {
  std::lock_guard locked(section_);
  if (index < 0 || index >= static_cast<int>(items_.size())) return std::nullopt;
  return items_[index];
}

void TAttachmentList::Add(std::string_view originalFile, std::string_view sendAsFileName,
                          std::string_view zipFile, std::string_view fieldName) {
  std::lock_guard locked(section_);
  if (originalFile.empty()) return;
  TAttachment entry{std::string(originalFile), std::string(sendAsFileName), std::string(zipFile),
                    std::string(fieldName)};
  if (entry.sendAsFileName.empty()) entry.sendAsFileName = FileNameOf(originalFile);
  if (entry.fieldName.empty()) entry.fieldName = WithoutExtension(entry.sendAsFileName);
  items_.push_back(std::move(entry));
  Changed();
}

bool TAttachmentList::Delete(std::string_view originalFile) {
  std::lock_guard locked(section_);
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (RTL::Text::SameIgnoreCase(it->originalFile, originalFile)) {
      items_.erase(it);
      Changed();
      return true;
    }
  }
  return false;
}

void TAttachmentList::Clear() {
  std::lock_guard locked(section_);
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

std::shared_ptr<IAttachmentList> TAttachmentList::Clone() {
  std::lock_guard locked(section_);
  auto copy = std::make_shared<TAttachmentList>();
  copy->items_ = items_;
  return copy;
}

void TAttachmentList::SetParent(ISettingsWriteBack* owner) {
  std::lock_guard locked(section_);
  parent_ = owner;
}

void TAttachmentList::ClearParent() {
  SetParent(nullptr);
}

void TAttachmentList::Changed() {
  if (parent_ == nullptr) return;
  std::string text;
  for (const TAttachment& entry : items_) {
    if (&entry != &items_.front()) text += '|';
    text += entry.originalFile + '>' + entry.sendAsFileName + '>' + entry.zipFile + '>' +
            entry.fieldName;
  }
  parent_->WriteBack(Keys::AddAttachs.name, text);
}

}  // namespace Reporter::Settings
