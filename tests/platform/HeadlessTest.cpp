#include <gtest/gtest.h>

#include "support/TempHome.h"
#include "platform/Folders.h"
#include "platform/Viewport.h"
#include "platform/headless/HeadlessPlatform.h"

namespace gravik {
namespace {

using testing::TempHome;

std::vector<InputEvent> Drain(HeadlessInput& in) {
  std::vector<InputEvent> out;
  InputEvent ev;
  while (in.PollEvent(ev)) out.push_back(ev);
  return out;
}

TEST(HeadlessInput, EventsAreReleasedWhenTheirFrameComes) {
  HeadlessInput in;
  ASSERT_TRUE(in.ParseScript(
      "# a short game\n"
      "5 key down Left\n"
      "\n"
      "3 mouse move 100 200\n"
      "5 text hi \n"
      "9 key up left\r\n"
      "12 focus lost\n"));
  EXPECT_EQ(in.LastScriptFrame(), 12u);

  in.BeginFrame(2);
  EXPECT_TRUE(Drain(in).empty());

  in.BeginFrame(4);  // a frame skipped over still releases its events
  auto evs = Drain(in);
  ASSERT_EQ(evs.size(), 1u);
  EXPECT_EQ(evs[0].type, InputEventType::MouseMove);
  int x = 0, y = 0;
  in.MousePosition(x, y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 200);

  in.BeginFrame(5);
  evs = Drain(in);
  ASSERT_EQ(evs.size(), 2u);
  EXPECT_EQ(evs[0].type, InputEventType::KeyDown);
  EXPECT_EQ(evs[0].vk, vk::Left);
  EXPECT_EQ(evs[0].scan, 203);
  EXPECT_EQ(evs[1].type, InputEventType::Text);
  EXPECT_EQ(evs[1].text, "hi ");  // typed blanks are kept
  EXPECT_TRUE(in.Keys().VkDown(vk::Left));
  EXPECT_EQ(in.Keys().AsyncKeyState(vk::Left), 0x8001);

  in.BeginFrame(9);
  evs = Drain(in);
  ASSERT_EQ(evs.size(), 1u);
  EXPECT_EQ(evs[0].type, InputEventType::KeyUp);
  EXPECT_FALSE(in.Keys().ScanDown(203));
  EXPECT_FALSE(in.ScriptDone());

  in.BeginFrame(100);
  evs = Drain(in);
  ASSERT_EQ(evs.size(), 1u);
  EXPECT_EQ(evs[0].type, InputEventType::FocusLost);
  EXPECT_TRUE(in.ScriptDone());
}

TEST(HeadlessInput, ShotLinesAreKeptApartFromEvents) {
  HeadlessInput in;
  ASSERT_TRUE(in.ParseScript(
      "7 shot later.png\n"
      "3 shot  my shots/first title.png \r\n"
      "3 key tap Enter\n"
      "3 shot /tmp/second.png\n"));
  EXPECT_EQ(in.LastScriptFrame(), 3u);  // shots are no input
  EXPECT_TRUE(in.ShotsDue(2).empty());
  in.BeginFrame(3);
  EXPECT_EQ(Drain(in).size(), 3u);  // the tap's down, its Enter text and its up

  // A file name is the rest of the line, trimmed; a frame's shots keep their order.
  const std::vector<ScriptShot> due = in.ShotsDue(3);
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].path, "my shots/first title.png");
  EXPECT_EQ(due[1].path, "/tmp/second.png");
  EXPECT_TRUE(in.ShotsDue(3).empty()) << "each shot is taken once";
  ASSERT_EQ(in.ShotsLeft().size(), 1u);
  EXPECT_EQ(in.ShotsLeft()[0].frame, 7u);
  EXPECT_EQ(in.ShotsDue(100).size(), 1u);  // a frame skipped over still gives its shot
  EXPECT_TRUE(in.ShotsLeft().empty());

  EXPECT_FALSE(in.ParseScript("4 shot\n5 shot   \n"));
  ASSERT_EQ(in.Errors().size(), 2u);
  EXPECT_EQ(in.Errors()[1].message, "'shot' needs a file name");
  EXPECT_TRUE(in.ShotsLeft().empty());
}

TEST(HeadlessInput, BadLinesAreReportedWithTheirNumbers) {
  HeadlessInput in;
  EXPECT_FALSE(in.ParseScript(
      "1 key down Left\n"
      "x key down Left\n"
      "2 key down NoSuchKey\n"
      "3 mouse down 1\n"
      "4 jump\n"
      "99999999999 quit\n"
      "5\n"
      "6 text\n"
      "7 joystick 70000 0 0\n"
      "8 mouse down 10 10 4\n"
      "9 key up Right\n"));
  std::vector<int> lines;
  for (const ScriptError& e : in.Errors()) lines.push_back(e.line);
  EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_NE(in.ErrorText().find("line 3: unknown key 'NoSuchKey'"), std::string::npos);
  // The good lines still play.
  in.BeginFrame(9);
  auto evs = Drain(in);
  ASSERT_EQ(evs.size(), 2u);
  EXPECT_EQ(evs[0].vk, vk::Left);
  EXPECT_EQ(evs[1].vk, vk::Right);
}

TEST(HeadlessInput, GarbageNeverCrashes) {
  HeadlessInput in;
  std::string junk;
  for (int i = 0; i < 4000; ++i) junk += char((i * 7919) % 256);
  in.ParseScript(junk);
  in.ParseScript("1 text \xC3");
  in.ParseScript("\n\n\n   \t\n");
  in.BeginFrame(UINT32_MAX);
  Drain(in);
  HeadlessInput fromFile;
  EXPECT_FALSE(fromFile.LoadScript("/nonexistent/script.txt"));
  ASSERT_EQ(fromFile.Errors().size(), 1u);
  EXPECT_EQ(fromFile.Errors()[0].line, 0);
}

TEST(HeadlessInput, KeysTypeControlCharactersAndCarryModifiers) {
  HeadlessInput in;
  ASSERT_TRUE(in.ParseScript(
      "1 key down LShift\n"
      "1 key down RShift\n"
      "1 key tap R\n"
      "1 key up LShift\n"
      "2 key tap Backspace\n"
      "2 key down Enter\n"
      "2 key down Enter\n"));
  in.BeginFrame(1);
  auto evs = Drain(in);
  ASSERT_EQ(evs.size(), 5u);
  EXPECT_EQ(evs[2].type, InputEventType::KeyDown);
  EXPECT_EQ(evs[2].vk, 'R');
  EXPECT_EQ(evs[2].shift, kShiftBit);
  // Right Shift is still held: the shared Shift key stays down.
  EXPECT_TRUE(in.Keys().VkDown(vk::Shift));
  EXPECT_FALSE(in.Keys().ScanDown(0x2A));
  // A tap within one frame is still seen by the next poll.
  EXPECT_EQ(in.Keys().AsyncKeyState('R'), 0x0001);

  in.BeginFrame(2);
  evs = Drain(in);
  ASSERT_EQ(evs.size(), 7u);
  EXPECT_EQ(evs[0].type, InputEventType::KeyDown);
  EXPECT_EQ(evs[1].type, InputEventType::Text);
  EXPECT_EQ(evs[1].text, "\b");
  EXPECT_EQ(evs[2].type, InputEventType::KeyUp);
  EXPECT_EQ(evs[4].text, "\r");
  EXPECT_FALSE(evs[3].repeat);
  EXPECT_TRUE(evs[5].repeat);  // down again without up: auto-repeat
  EXPECT_EQ(evs[6].text, "\r");
}

TEST(HeadlessInput, FocusLossReleasesKeysAndJoystickFollowsScript) {
  HeadlessInput in;
  ASSERT_TRUE(in.ParseScript("1 key down Up\n1 joystick 0 65535 5\n2 focus lost\n3 joystick none\n"));
  in.BeginFrame(1);
  Drain(in);
  EXPECT_TRUE(in.Keys().VkDown(vk::Up));
  JoystickState j = in.Joystick();
  EXPECT_TRUE(j.present);
  EXPECT_EQ(j.x, 0u);
  EXPECT_EQ(j.y, 65535u);
  EXPECT_EQ(j.buttons, 5);
  in.BeginFrame(2);
  Drain(in);
  EXPECT_FALSE(in.Keys().VkDown(vk::Up));
  in.BeginFrame(3);
  EXPECT_FALSE(in.Joystick().present);
}

TEST(HeadlessClock, StepsOnlyWhenTold) {
  HeadlessClock c(UINT32_MAX - 10);
  const uint32_t t0 = c.TickCount();
  const uint64_t p0 = c.PerfCounter();
  EXPECT_EQ(c.TickCount(), t0);
  c.AdvanceFrame();
  c.AdvanceFrame();
  c.AdvanceFrame();  // 3 x 16.667 ms = 50 ms: the tick wraps
  EXPECT_LT(c.TickCount(), t0);
  EXPECT_EQ(TicksSince(c.TickCount(), t0), 50u);
  EXPECT_EQ(c.PerfCounter() - p0, 50001u);
  EXPECT_EQ(c.PerfFrequency(), 1000000u);
  c.SetFrameStepUs(10000);
  c.AdvanceFrame();
  c.SleepMs(5);
  EXPECT_EQ(TicksSince(c.TickCount(), t0), 65u);
}

TEST(HeadlessDisplay, KeepsTheLastFrameWhileDrawable) {
  HeadlessDisplay d;
  std::vector<uint16_t> frame(4 * 3 + 2, 0);  // pitch 6 for a 4 x 3 picture... plus slack
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint16_t(i);
  d.Present(frame.data(), 4, 2, 6);
  EXPECT_EQ(d.PresentCount(), 0u);  // not started: dropped
  EXPECT_FALSE(d.IsDrawable());
  ASSERT_TRUE(d.StartDrawing(true));
  EXPECT_TRUE(d.IsDrawable());
  d.Present(frame.data(), 4, 2, 6);
  ASSERT_EQ(d.LastFrame().size(), 8u);
  EXPECT_EQ(d.LastFrame()[3], 3);
  EXPECT_EQ(d.LastFrame()[4], 6);  // second row starts one pitch later
  d.SetLost(true);
  EXPECT_FALSE(d.IsDrawable());
  d.Present(frame.data() + 1, 4, 2, 6);
  EXPECT_EQ(d.PresentCount(), 1u);
  d.StopDrawing();
  EXPECT_FALSE(d.IsDrawable());
}

TEST(HeadlessDisplay, ScreenshotIsAValidPng) {
  TempHome home;
  HeadlessDisplay d;
  EXPECT_FALSE(d.SaveScreenshot(home / "none.png"));  // nothing presented yet
  d.StartDrawing(true);
  std::vector<uint16_t> px(640 * 480, 0xF800);  // pure red
  px[1] = 0x001F;                               // one blue pixel
  d.Present(px.data(), 640, 480, 640);
  ASSERT_TRUE(d.SaveScreenshot(home / "shot.png"));
  std::vector<uint8_t> png;
  ASSERT_TRUE(ReadWholeFile(home / "shot.png", png));
  ASSERT_GT(png.size(), 640u * 480u * 3u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
  EXPECT_EQ(png[16 + 2], 640 >> 8);
  EXPECT_EQ(png[16 + 3], 640 & 255);
  // The first pixel row follows the zlib header, block header and filter byte.
  const size_t idat = 8 + 25;
  ASSERT_EQ(std::string(png.begin() + idat + 4, png.begin() + idat + 8), "IDAT");
  const size_t row0 = idat + 8 + 2 + 5 + 1;
  EXPECT_EQ(png[row0], 255);
  EXPECT_EQ(png[row0 + 1], 0);
  EXPECT_EQ(png[row0 + 2], 0);
  EXPECT_EQ(png[row0 + 3], 0);
  EXPECT_EQ(png[row0 + 5], 255);
}

TEST(HeadlessPlatform, ShotsWriteTheFrameJustPresented) {
  TempHome home;
  HeadlessPlatform hp;
  ASSERT_TRUE(hp.input.ParseScript("0 shot " + (home / "none.png") + "\n1 shot " + (home / "one.png") +
                                   "\n1 shot " + (home / "no/such/folder.png") + "\n"));
  // Nothing presented by frame 0: no file, and the caller hears of it.
  EXPECT_EQ(hp.TakeShots(0),
            std::vector<std::string>{"nothing was presented by frame 0; no screenshot " + (home / "none.png")});
  hp.display.StartDrawing(true);
  std::vector<uint16_t> px(4 * 2, 0x07E0);
  hp.display.Present(px.data(), 4, 2, 4);
  EXPECT_EQ(hp.TakeShots(1),
            std::vector<std::string>{"could not write the screenshot " + (home / "no/such/folder.png")});
  std::vector<uint8_t> png;
  ASSERT_TRUE(ReadWholeFile(home / "one.png", png));
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  EXPECT_EQ(png[16 + 3], 4);  // its width
  EXPECT_FALSE(FileExists(home / "none.png"));
}

TEST(HeadlessAudio, PumpRunsTheCallback) {
  HeadlessAudio a;
  int calls = 0, frames = 0;
  EXPECT_FALSE(a.Open(22050, nullptr));
  ASSERT_TRUE(a.Open(44100, [&](int16_t* out, int n) {
    ++calls;
    frames += n;
    for (int i = 0; i < n * 2; ++i) out[i] = int16_t(i);
  }));
  EXPECT_EQ(a.Rate(), 44100);
  a.Pump(a.FramesFor(100));
  EXPECT_EQ(frames, 4410);
  EXPECT_EQ(a.LastOutput().size(), 8820u);
  EXPECT_EQ(a.LastOutput()[7], 7);
  { AudioLock lock(a); }
  a.Close();
  a.Pump(100);
  EXPECT_EQ(calls, 1);
  a.SetUnavailable(true);
  EXPECT_FALSE(a.Open(44100, [](int16_t*, int) {}));
  EXPECT_FALSE(a.IsOpen());
}

TEST(HeadlessPlatform, FramesAdvanceClockAndAudioWithoutDrift) {
  TempHome home;
  HeadlessPlatform hp;
  uint64_t mixed = 0;
  ASSERT_TRUE(hp.audio.Open(22050, [&](int16_t*, int n) { mixed += uint64_t(n); }));
  for (uint32_t f = 0; f < 600; ++f) {
    hp.BeginFrame(f);
    hp.EndFrame();
  }
  // 600 frames of 16.667 ms = 10.0002 s of sound, to the sample.
  EXPECT_EQ(mixed, hp.clock.ElapsedUs() * 22050 / 1000000);
  EXPECT_EQ(hp.settings.Path(), home / ".config/Vantorix/Gravik 2/settings.conf");
  Platform p = hp.Get();
  p.shell.ShowError("Gravik 2", "Insufficient disk space.");
  ASSERT_EQ(hp.shell.Messages().size(), 1u);
  EXPECT_EQ(hp.shell.Messages()[0].text, "Insufficient disk space.");
}

TEST(Viewport, IntegerScaleLetterboxAndMouseMapping) {
  Viewport v = FitViewport(1920, 1080);  // full HD desktop: scale 2, bars on all sides
  EXPECT_EQ(v.w, 1280);
  EXPECT_EQ(v.h, 960);
  EXPECT_EQ(v.x, 320);
  EXPECT_EQ(v.y, 60);
  int sx, sy;
  v.ToScreen(320, 60, sx, sy);
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(sy, 0);
  v.ToScreen(320 + 1279, 60 + 959, sx, sy);
  EXPECT_EQ(sx, 639);
  EXPECT_EQ(sy, 479);
  v.ToScreen(321, 62, sx, sy);
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(sy, 1);
  v.ToScreen(0, 0, sx, sy);  // in the black bar: held to the edge
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(sy, 0);
  v.ToScreen(1919, 1079, sx, sy);
  EXPECT_EQ(sx, 639);
  EXPECT_EQ(sy, 479);

  v = FitViewport(640, 480);
  EXPECT_EQ(v.x, 0);
  EXPECT_EQ(v.w, 640);
  v = FitViewport(320, 480);  // smaller than the picture: shrunk, shape kept
  EXPECT_EQ(v.w, 320);
  EXPECT_EQ(v.h, 240);
  EXPECT_EQ(v.y, 120);
  v.ToScreen(160, 240, sx, sy);
  EXPECT_EQ(sx, 320);
  EXPECT_EQ(sy, 240);
  v = FitViewport(0, 0);
  v.ToScreen(5, 5, sx, sy);
  EXPECT_EQ(sx, 0);

  EXPECT_EQ(DefaultWindowScale(1920, 1040), 2);
  EXPECT_EQ(DefaultWindowScale(2560, 1400), 2);
  EXPECT_EQ(DefaultWindowScale(3840, 2100), 3);
  EXPECT_EQ(DefaultWindowScale(800, 600), 1);
  EXPECT_EQ(DefaultWindowScale(600, 400), 1);
}

}  // namespace
}  // namespace gravik

namespace gravik {
namespace {

// The typed text starts after the same words the line was split into, whatever
// blank separates them.
TEST(HeadlessInput, TextStartsAfterTheCommandWordWithAnySeparator) {
  struct Case {
    const char* line;
    const char* typed;
  } cases[] = {{"\x01 5 text hello", "hello"}, {"5\vtext\vhello world", "hello world"},
               {"5\vtext\vhello", "hello"}, {"  7\ttext  two  ", " two  "}};
  for (const Case& c : cases) {
    HeadlessInput in;
    ASSERT_TRUE(in.ParseScript(c.line)) << c.line << ": " << in.ErrorText();
    in.BeginFrame(100);
    InputEvent ev;
    ASSERT_TRUE(in.PollEvent(ev)) << c.line;
    EXPECT_EQ(ev.text, c.typed) << c.line;
  }
}

}  // namespace
}  // namespace gravik
