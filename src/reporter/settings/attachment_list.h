#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reporter/settings/list_owners.h"

// The reporter's thread-safe list of files to send with a bug report: a settings object's
// additional attachments, or the attachments of one delivery.
namespace Reporter::Settings {

struct TAttachment {
  std::string originalFile;    // the file on disk
  std::string sendAsFileName;  // its name in the upload
  std::string zipFile;         // the archive it goes into, if any
  std::string fieldName;       // the form field that carries it

  bool operator==(const TAttachment&) const = default;
};

class IAttachmentList {
 public:
  virtual ~IAttachmentList() = default;

  // Holds the list's (recursive) lock across several operations; every operation takes it too.
  virtual void Lock() = 0;
  virtual void Unlock() = 0;

  virtual int GetItemCount() = 0;
  // The entry at that index; nothing when out of range.
  virtual std::optional<TAttachment> GetItem(int index) = 0;
  // Appends an entry; ignored without an original file. An empty send-as name becomes the
  // original's file name, an empty field name the send-as name without its extension.
  virtual void Add(std::string_view originalFile, std::string_view sendAsFileName = {},
                   std::string_view zipFile = {}, std::string_view fieldName = {}) = 0;
  // Removes the first entry of that original file (ignoring case); true when one went.
  virtual bool Delete(std::string_view originalFile) = 0;
  virtual void Clear() = 0;
  // A list with copies of every entry and no owner.
  virtual std::shared_ptr<IAttachmentList> Clone() = 0;
};

// What only the list's owner uses.
class IAttachmentListControl {
 public:
  virtual ~IAttachmentListControl() = default;
  // Set the owner before the list is handed to other threads; the owner clears itself before
  // it goes away.
  virtual void SetParent(ISettingsWriteBack* owner) = 0;
  virtual void ClearParent() = 0;
};

class TAttachmentList : public IAttachmentList, public IAttachmentListControl {
 public:
  void Lock() override;
  void Unlock() override;
  int GetItemCount() override;
  std::optional<TAttachment> GetItem(int index) override;
  void Add(std::string_view originalFile, std::string_view sendAsFileName = {},
           std::string_view zipFile = {}, std::string_view fieldName = {}) override;
  bool Delete(std::string_view originalFile) override;
  void Clear() override;
  std::shared_ptr<IAttachmentList> Clone() override;

  void SetParent(ISettingsWriteBack* owner) override;
  void ClearParent() override;

 private:
  // Stores the list in the owner's settings.
  void Changed();

  ISettingsWriteBack* parent_ = nullptr;
  std::vector<TAttachment> items_;
  std::recursive_mutex section_;
};

}  // namespace Reporter::Settings
