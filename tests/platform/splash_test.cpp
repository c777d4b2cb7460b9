// The start-up splash: the embedded picture decoded and shown, its progress
// label, and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/Codec.h"
#include "gfx/Bmp.h"
#include "gfx/SplashScreen.h"
#include "platform/headless/HeadlessSplash.h"

namespace gravik {
namespace {

Bitmap TestPicture() {
  Bitmap b(40, 30);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) b.SetPixel(x, y, uint16_t(x * 977 + y * 131));
  return b;
}

std::vector<uint8_t> Container(const Bitmap& b) {
  const std::vector<uint8_t> bmp = SaveBmp16(b);
  return Compress(bmp.data(), bmp.size(), TCompressMode::Fast);
}

// Draws each label as a filled box, 4 pixels a character, 6 high.
struct BoxText : SystemText {
  std::vector<std::string> Texts;
  uint16_t LastColour = 0;
  void TextOut(Bitmap& surface, int x, int y, std::string_view text, const SystemFont&, uint16_t colour, bool,
               uint16_t) override {
    Texts.emplace_back(text);
    LastColour = colour;
    surface.FillRect(Bounds(x, y, TextWidth(text, {}), 6), colour);
  }
  int TextWidth(std::string_view text, const SystemFont&) override { return 4 * int(text.size()); }
  int TextHeight(std::string_view, const SystemFont&) override { return 6; }
};

TEST(SplashPicture, TheEmbeddedContainerDecodesToThePictureExactly) {
  const Bitmap picture = TestPicture();
  Bitmap out;
  ASSERT_TRUE(DecodeSplashPicture(Container(picture), out));
  EXPECT_EQ(out, picture);
  // The slower coding decodes as well.
  const std::vector<uint8_t> bmp = SaveBmp16(picture);
  const std::vector<uint8_t> good = Compress(bmp.data(), bmp.size(), TCompressMode::Good);
  Bitmap out2;
  ASSERT_TRUE(DecodeSplashPicture(good, out2));
  EXPECT_EQ(out2, picture);
}

TEST(SplashPicture, DamagedContainersAreRefusedAndLeaveTheBitmapAlone) {
  const std::vector<uint8_t> whole = Container(TestPicture());
  const Bitmap untouched(3, 3, 0x1234);
  Bitmap out = untouched;
  EXPECT_FALSE(DecodeSplashPicture({}, out));
  std::vector<uint8_t> badTag = whole;
  badTag[0] = 'X';
  EXPECT_FALSE(DecodeSplashPicture(badTag, out));
  const std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(whole.size() / 3));
  EXPECT_FALSE(DecodeSplashPicture(cut, out));
  // A container of something that is not a bitmap.
  const std::string text = "not a picture at all";
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  EXPECT_FALSE(DecodeSplashPicture(Compress(bytes, text.size(), TCompressMode::Fast), out));
  EXPECT_EQ(out, untouched);
}

TEST(SplashScreen, ShowsThePictureThenEachLabelAtLeft10And10AboveTheBottom) {
  const Bitmap picture = TestPicture();
  const std::vector<uint8_t> data = Container(picture);
  HeadlessSplash window;
  BoxText text;
  {
    SplashScreen splash(&window, text);
    splash.SetText("early");  // before opening: nothing to draw on
    EXPECT_EQ(window.ShowCount, 0);
    ASSERT_TRUE(splash.Open(data));
    EXPECT_TRUE(window.Open);
    EXPECT_EQ(window.ShowCount, 1);
    EXPECT_EQ(window.Width, 40);
    EXPECT_EQ(window.Height, 30);
    EXPECT_EQ(window.Pixels, picture.Pixels());  // empty label at first
    EXPECT_TRUE(text.Texts.empty());

    splash.SetText("Preparing graphics...");
    EXPECT_EQ(window.ShowCount, 2);
    EXPECT_EQ(text.Texts.back(), "Preparing graphics...");
    EXPECT_EQ(window.Pixels, splash.Shown().Pixels());
    const uint16_t ink = text.LastColour;
    // Label box: x 10.., y 30 - 10 - 6 = 14 .. 19.
    EXPECT_EQ(splash.Shown().Pixel(10, 14), ink);
    EXPECT_EQ(splash.Shown().Pixel(39, 19), ink);
    EXPECT_EQ(splash.Shown().Pixel(9, 14), picture.Pixel(9, 14));
    EXPECT_EQ(splash.Shown().Pixel(10, 13), picture.Pixel(10, 13));
    EXPECT_EQ(splash.Shown().Pixel(10, 20), picture.Pixel(10, 20));

    // A shorter label does not leave the longer one behind.
    splash.SetText("Sound");
    EXPECT_EQ(splash.Shown().Pixel(29, 14), ink);
    EXPECT_EQ(splash.Shown().Pixel(30, 14), picture.Pixel(30, 14));
    EXPECT_EQ(window.Pixels, splash.Shown().Pixels());

    splash.Close();
    EXPECT_FALSE(window.Open);
    splash.Close();
    splash.SetText("after");
    EXPECT_EQ(window.ShowCount, 3);
  }
  EXPECT_EQ(window.CloseCount, 1);
}

TEST(SplashScreen, LeavingStartUpEarlyStillTakesTheWindowDown) {
  HeadlessSplash window;
  BoxText text;
  {
    SplashScreen splash(&window, text);
    ASSERT_TRUE(splash.Open(Container(TestPicture())));
  }
  EXPECT_FALSE(window.Open);
  EXPECT_EQ(window.CloseCount, 1);
}

TEST(SplashScreen, NoWindowOrNoPictureShowsNothing) {
  BoxText text;
  SplashScreen none(nullptr, text);
  EXPECT_FALSE(none.Open(Container(TestPicture())));
  none.SetText("Preparing sound...");
  none.Close();
  EXPECT_TRUE(text.Texts.empty());

  HeadlessSplash window;
  SplashScreen broken(&window, text);
  EXPECT_FALSE(broken.Open({}));
  broken.SetText("Preparing sound...");
  EXPECT_EQ(window.ShowCount, 0);
  EXPECT_FALSE(broken.IsOpen());
}

}  // namespace
}  // namespace gravik
