// A display with no window: keeps a copy of the last presented frame, which
// tests read and --screenshot writes as a PNG.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Display.h"

namespace gravik {

class HeadlessDisplay : public Display {
 public:
  bool StartDrawing(bool windowed) override;
  void StopDrawing() override;
  bool IsDrawable() const override { return started_ && !lost_; }
  // Frames presented while the surface is not drawable are dropped.
  void Present(const uint16_t* pixels, int width, int height, int pitch) override;
  void SetTitle(const std::string& title) override { title_ = title; }
  void Show(bool visible) override { visible_ = visible; }
  void SetSystemCursorVisible(bool visible) override { cursorVisible_ = visible; }

  // Simulates a lost surface (IsDrawable false until cleared).
  void SetLost(bool lost) { lost_ = lost; }

  int FrameWidth() const { return width_; }
  int FrameHeight() const { return height_; }
  const std::vector<uint16_t>& LastFrame() const { return frame_; }  // width*height, packed
  uint64_t PresentCount() const { return presents_; }
  const std::string& Title() const { return title_; }
  bool Visible() const { return visible_; }
  bool Windowed() const { return windowed_; }
  bool CursorVisible() const { return cursorVisible_; }

  // Writes the last frame as a 24-bit PNG; false when there is no frame or the
  // file cannot be written.
  bool SaveScreenshot(const std::string& path) const;

 private:
  bool started_ = false, lost_ = false, visible_ = false, windowed_ = true;
  bool cursorVisible_ = true;
  std::string title_;
  int width_ = 0, height_ = 0;
  std::vector<uint16_t> frame_;
  uint64_t presents_ = 0;
};

}  // namespace gravik
