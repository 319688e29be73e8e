#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the upload tells about its progress. The window that shows it is the progress box's;
// without one the areas and positions are still kept, so the upload can restore them when a
// request is sent again.
namespace Reporter::Delivery {

class IProgressAlert {
 public:
  virtual ~IProgressAlert() = default;

  virtual void AddArea(std::int64_t weight, std::string_view text) = 0;
  virtual void ClearAreas() = 0;
  // The current area is complete; the next one becomes current.
  virtual void AreaDone() = 0;
  virtual int GetCurrentArea() = 0;
  virtual void SetCurrentArea(int area) = 0;
  // 0..1000 within the current area.
  virtual int GetPosition() = 0;
  virtual void SetPosition(int position) = 0;
  virtual void Show() {}
  virtual void Close() {}
  virtual void ProcessMessages() {}
};

// Keeps areas and positions and shows nothing.
class TSilentProgress : public IProgressAlert {
 public:
  struct TArea {
    std::int64_t weight = 0;
    std::string text;
  };

  void AddArea(std::int64_t weight, std::string_view text) override;
  void ClearAreas() override;
  void AreaDone() override;
  int GetCurrentArea() override { return current_; }
  void SetCurrentArea(int area) override;
  int GetPosition() override { return position_; }
  void SetPosition(int position) override;

  const std::vector<TArea>& Areas() const { return areas_; }

 private:
  std::vector<TArea> areas_;
  int current_ = 0;
  int position_ = 0;
};

}  // namespace Reporter::Delivery
