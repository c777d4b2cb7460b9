// The start-up splash: the program's embedded picture with a one-line progress
// label at left 10, 10 pixels above the bottom, handed to the platform's splash
// window each time the label changes.
//
//   SplashScreen splash(platform.splash, systemText);
//   splash.Open(platform.splashPicture);
//   splash.SetText("Preparing graphics...");
//   ...
//   splash.Close();  // also on destruction
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "gfx/Bitmap.h"
#include "gfx/SystemText.h"
#include "platform/Splash.h"

namespace gravik {

// Largest decoded splash file accepted.
constexpr size_t kMaxSplashFileSize = 4u << 20;

// Decodes the embedded picture (a compressed container of a BMP file). False,
// with `out` unchanged, when the container or the bitmap inside is damaged.
bool DecodeSplashPicture(std::span<const uint8_t> container, Bitmap& out);

class SplashScreen {
 public:
  // `splash` may be null (nothing is shown then).
  SplashScreen(Splash* splash, SystemText& text) : splash_(splash), text_(text) {}
  ~SplashScreen() { Close(); }
  SplashScreen(const SplashScreen&) = delete;
  SplashScreen& operator=(const SplashScreen&) = delete;

  // Decodes the picture and shows it with an empty label. False when there is
  // no splash window or the picture cannot be decoded.
  bool Open(std::span<const uint8_t> container);
  // Redraws the label; ignored while the splash is not open.
  void SetText(std::string_view text);
  void Close();

  bool IsOpen() const { return open_; }
  // The picture as last shown (label included).
  const Bitmap& Shown() const { return shown_; }

 private:
  void Compose();

  Splash* splash_;
  SystemText& text_;
  bool open_ = false;
  Bitmap picture_, shown_;
  std::string label_;
};

// Label colour on the dark splash picture.
inline constexpr uint16_t kSplashLabelColour = Rgb565(0xD8, 0xE0, 0xF8);

}  // namespace gravik
