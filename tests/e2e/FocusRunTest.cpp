// The journey through every screen again, without a mouse: once by keys alone
// and once by the game pad alone (the script's joystick lines). Each run starts
// with no profile, ends by itself through "Exit Gravik 2?" with status 0, shows
// the focused widget lit on its screens, and leaves the surviving profile with
// what was chosen on the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "data/Profile.h"
#include "e2e/Run.h"
#include "e2e/Shot.h"
#include "platform/Folders.h"
#include "support/TempHome.h"

namespace gravik::e2e {
namespace {

// A script written step by step: each step a few frames after the last.
class Steps {
 public:
  explicit Steps(std::string folder) : folder_(std::move(folder)) {}
  Steps& Wait(int frames) {
    frame_ += frames;
    return *this;
  }
  Steps& Line(const std::string& command, int gap = 6) {
    frame_ += gap;
    text_ += std::to_string(frame_) + " " + command + "\n";
    return *this;
  }
  Steps& Key(const std::string& key, int times = 1) {
    for (int i = 0; i < times; ++i) Line("key tap " + key);
    return *this;
  }
  // The pad: a d-pad direction or a button, pressed and let go two frames later.
  Steps& Pad(const std::string& what, int times = 1) {
    static const std::map<std::string, std::string> held = {
        {"up", "32768 0 0"}, {"down", "32768 65535 0"}, {"left", "0 32768 0"},
        {"right", "65535 32768 0"}, {"A", "32768 32768 1"}, {"B", "32768 32768 2"},
        {"start", "32768 32768 16"}};
    for (int i = 0; i < times; ++i) Line("joystick " + held.at(what)).Line("joystick 32768 32768 0", 2);
    return *this;
  }
  Steps& Shot(const std::string& name) {
    shots_.push_back(name);
    return Line("shot " + folder_ + "/" + name + ".png", 4);
  }
  const std::string& Text() const { return text_; }
  const std::vector<std::string>& Shots() const { return shots_; }

 private:
  std::string folder_, text_;
  std::vector<std::string> shots_;
  int frame_ = 0;
};

// The journey; `pad` drives it by the pad, else by keys. With the pad the names
// are typed on the on-screen keyboard; the key to bind is a key whichever way
// one plays.
// Name entry -> logo -> help 1..4 -> menu -> options -> profiles -> create Bobby
// -> help -> menu -> profiles: load Bobby -> profiles: delete Alice -> options:
// both sliders, joystick, Up = W -> menu -> play -> status -> map, puzzle,
// options -> quit (Yes) -> game over -> menu -> "Exit Gravik 2?" (Yes).
Steps Journey(const std::string& folder, bool pad) {
  Steps s(folder);
  auto nav = [&](const std::string& dir, int times = 1) -> Steps& {
    static const std::map<std::string, std::string> keys = {
        {"up", "Up"}, {"down", "Down"}, {"left", "Left"}, {"right", "Right"}, {"A", "Enter"}, {"B", "Escape"}};
    return pad ? s.Pad(dir, times) : s.Key(keys.at(dir), times);
  };
  // The name at the first start. On the on-screen keyboard (A to M on its first
  // row, N to Z on its second; letters after the first are small) the first
  // touch brings it up, then: A, right 11 to L, left 3 to I, left 6 to C,
  // right 2 to E; Start is done.
  if (pad) {
    s.Wait(74).Pad("A").Pad("A").Pad("right", 11).Pad("A").Pad("left", 3).Pad("A").Pad("left", 6).Pad("A");
    s.Pad("right", 2).Pad("A").Shot("name").Pad("start");
  } else {
    s.Wait(74).Line("text Alice").Shot("name").Line("key tap Enter");
  }
  s.Wait(250).Shot("help1");
  nav("right").Wait(14).Shot("help2");
  nav("right", 2).Wait(14).Shot("help4");  // the last page: the focus is on OK
  nav("A").Wait(20).Shot("menu");
  nav("down").Shot("menu-options");
  // Options -> Profiles: down to "Return to main menu", right to "Profiles".
  const auto toProfiles = [&] {
    nav("A").Wait(20).Shot("options-first");
    nav("down", 7);
    nav("right").Shot("options-profiles");
    nav("A").Wait(14);
  };
  toProfiles();
  s.Shot("profiles");
  nav("left").Shot("profiles-create");
  nav("A").Wait(14);
  // The second name; the on-screen keyboard is up at once for the pad: right to
  // B, down to O, up to B twice, down and right 10 to Y.
  if (pad) {
    s.Pad("right").Pad("A").Pad("down").Pad("A").Pad("up").Pad("A").Pad("A").Pad("down").Pad("right", 10).Pad("A");
    s.Wait(10).Shot("name-bobby").Pad("start").Wait(300).Shot("help-bobby");
  } else {
    s.Line("text Bobby").Wait(10).Shot("name-bobby");
    nav("A").Wait(300).Shot("help-bobby");
  }
  nav("B").Wait(14).Shot("menu-bobby");
  // Profiles: Bobby (the second row) loaded.
  nav("down");
  toProfiles();
  nav("down", 2).Shot("profiles-two");
  nav("A").Wait(14).Shot("menu-loaded");
  // Profiles: Alice (the first row) chosen, then Delete, which asks first.
  nav("down");
  toProfiles();
  nav("down").Shot("profiles-alice");
  nav("left").Shot("profiles-delete");  // the nearest to the left, level with the list's middle
  nav("A").Wait(14).Shot("confirm-delete");
  nav("left").Shot("confirm-delete-yes");
  nav("A").Wait(14).Shot("profiles-after");
  nav("B").Wait(14).Shot("options");  // Escape on the profiles: the options
  // The music from 100% to 50%, the effects to 25%, the joystick ticked (a
  // profile named with the pad has it already) and Up bound to W (the key to
  // bind is a key, whichever way one plays).
  nav("left", 10);
  nav("down");
  nav("left", 15);
  nav("down");
  if (!pad) nav("A");
  nav("down").Shot("options-up");
  nav("A").Wait(6).Shot("options-capture").Line("key tap W").Wait(6).Shot("options-set");
  nav("B").Wait(20).Shot("menu-after-options");
  // A new game; the status screen from play (Enter, or the pad's B).
  nav("A").Wait(330).Shot("play");
  if (pad) s.Pad("start");  // the pad's Start in play: the status screen
  else s.Key("Enter");      // the status key
  s.Wait(14).Shot("status");
  nav("up", 2).Shot("status-map-view");
  nav("A").Wait(40).Shot("map");
  nav("A").Wait(14).Shot("status-from-map");
  nav("up").Shot("status-puzzle-view");
  nav("A").Wait(14).Shot("puzzle");
  nav("A").Wait(14).Shot("status-from-puzzle");
  nav("right", 2).Shot("status-options");
  nav("A").Wait(20).Shot("options-status");
  nav("B").Wait(14).Shot("status-from-options");
  nav("right", 3).Shot("status-quit");
  nav("A").Wait(14).Shot("confirm-quit");
  nav("left").Shot("confirm-quit-yes");
  nav("A").Wait(14).Shot("game-over");
  nav("A").Wait(20).Shot("menu-end");
  nav("down", 4);
  nav("A").Wait(14).Shot("confirm-exit");
  nav("left").Shot("confirm-exit-yes");
  nav("A");
  return s;
}

// Lit yellow (the glow of the focused caption, a focused knob or box, the
// focused list's second frame): red and green high, blue low.
int Yellow(const Shot& s, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint32_t c = s.At(x, y);
      n += (c >> 16) > 200 && (c >> 8 & 255) > 200 && (c & 255) < 100;
    }
  return n;
}

// Resting orange captions: red high, green about half, blue low.
int Orange(const Shot& s, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint32_t c = s.At(x, y);
      const uint32_t g = c >> 8 & 255;
      n += (c >> 16) > 200 && g > 60 && g < 180 && (c & 255) < 60;
    }
  return n;
}

class FocusRun : public ::testing::TestWithParam<bool> {};

TEST_P(FocusRun, EveryScreenWithoutAMouse) {
  const bool pad = GetParam();
  const std::string exe = GamePath();
  if (exe.empty()) GTEST_SKIP() << "this build has no game program";
  testing::TempHome home;
  const std::string shots = home.Path() + "/shots";
  std::filesystem::create_directories(shots);
  const Steps script = Journey(shots, pad);
  ASSERT_EQ(script.Text().find("mouse"), std::string::npos);
  if (pad) {
    // No text; one key: the key bound.
    EXPECT_EQ(script.Text().find(" text "), std::string::npos);
    int keyLines = 0;
    for (size_t at = script.Text().find(" key "); at != std::string::npos; at = script.Text().find(" key ", at + 1))
      ++keyLines;
    EXPECT_EQ(keyLines, 1);
  }
  std::ofstream(home.Path() + "/script.txt") << script.Text();
  const RunResult r = RunGame(exe, {"--headless", "--seed", "5", "--frames", "3200", "--input", home.Path() + "/script.txt",
                                    "--screenshot", shots + "/final.png"},
                              home.Path(), 180000);
  // GRAVIK_KEEP_SHOTS=folder keeps the script and the shots for looking at.
  if (const char* keep = std::getenv("GRAVIK_KEEP_SHOTS")) {
    const std::string to = std::string(keep) + (pad ? "/pad" : "/keys");
    std::filesystem::create_directories(to);
    std::ofstream(to + "/script.txt") << script.Text();
    for (const std::string& n : script.Shots())
      if (std::filesystem::exists(shots + "/" + n + ".png"))
        std::filesystem::copy_file(shots + "/" + n + ".png", to + "/" + n + ".png",
                                   std::filesystem::copy_options::overwrite_existing);
  }
  ASSERT_EQ(r.status, 0) << r.output;
  Shot final;
  ASSERT_TRUE(ReadShot(shots + "/final.png", final));
  EXPECT_GT(Yellow(final, 215, 228, 270, 252), 40) << "Exit Gravik 2? with Yes focused: it ended there";

  std::map<std::string, Shot> shot;
  for (const std::string& n : script.Shots()) ASSERT_TRUE(ReadShot(shots + "/" + n + ".png", shot[n])) << n;

  // Help: Next focused, then OK once the last page is shown.
  EXPECT_GT(Yellow(shot["help1"], 245, 450, 310, 472), 40) << "Next";
  EXPECT_GT(Yellow(shot["help4"], 445, 450, 490, 472), 40) << "OK";
  EXPECT_EQ(Yellow(shot["help4"], 245, 450, 310, 472), 0);
  // The main menu: New game focused on entry, then Options.
  EXPECT_GT(Yellow(shot["menu"], 220, 180, 420, 225), 300) << "New game";
  EXPECT_EQ(Yellow(shot["menu"], 220, 230, 420, 380), 0);
  EXPECT_GT(Yellow(shot["menu-options"], 220, 230, 420, 275), 300) << "Options";
  EXPECT_EQ(Yellow(shot["menu-options"], 220, 180, 420, 225), 0);
  // Options: the music knob lit at first; Profiles after down and right.
  EXPECT_GT(Yellow(shot["options-first"], 396, 198, 412, 218), 100) << "the music knob";
  EXPECT_GT(Yellow(shot["options-profiles"], 318, 452, 410, 474), 40) << "Profiles";
  // Profiles: the list wears its second frame; Create, Load and Delete lit in turn.
  EXPECT_GT(Yellow(shot["profiles"], 254, 165, 546, 400), 800) << "the focused list";
  EXPECT_GT(Yellow(shot["profiles-create"], 93, 228, 160, 252), 40) << "Create";
  EXPECT_LT(Yellow(shot["profiles-create"], 254, 165, 546, 400), 50);
  EXPECT_GT(Orange(shot["profiles-two"], 264, 192, 536, 208), 2000) << "Bobby selected";
  EXPECT_GT(Yellow(shot["profiles-delete"], 93, 288, 160, 312), 40) << "Delete";
  // The deletion asks with No focused; Yes deletes.
  EXPECT_GT(Yellow(shot["confirm-delete"], 378, 228, 410, 252), 40) << "No";
  EXPECT_EQ(Yellow(shot["confirm-delete"], 218, 228, 260, 252), 0);
  EXPECT_GT(Yellow(shot["confirm-delete-yes"], 218, 228, 260, 252), 40) << "Yes";
  EXPECT_EQ(shot["profiles-after"].Lit(262, 194, 530, 390), 0) << "Alice deleted";
  // The binding waits for its key, blinking; then W.
  EXPECT_GT(shot["options-set"].Lit(190, 318, 212, 338), 20) << "W";
  EXPECT_EQ(shot["options-set"].Lit(215, 318, 290, 338), 0) << "no longer \"Up arrow\"";
  EXPECT_GT(shot["options-set"].Lit(83, 291, 97, 305), 100) << "joystick box ticked";
  // Play and the status screen's family.
  EXPECT_GT(shot["play"].Lit(0, 0, 480, 480), 480 * 480 * 3 / 4) << "the playfield";
  EXPECT_GT(Yellow(shot["status"], 0, 425, 150, 455), 100) << "Return to game";
  EXPECT_GT(Yellow(shot["status-map-view"], 450, 100, 520, 130), 40) << "View (map)";
  EXPECT_GT(shot["map"].Lit(512, 0, 640, 440), 128 * 440 / 2) << "the map panel";
  EXPECT_GT(Yellow(shot["status-puzzle-view"], 450, 245, 520, 275), 40) << "View (puzzle)";
  EXPECT_GT(shot["puzzle"].Lit(10, 455, 260, 475), 300) << "the pieces line";
  EXPECT_GT(shot["options-status"].Lit(40, 450, 230, 475), 300) << "Return to status";
  for (const char* n : {"status-from-map", "status-from-puzzle", "status-from-options"})
    EXPECT_GT(Yellow(shot[n], 0, 425, 150, 455), 100) << n << ": Return to game focused again";
  EXPECT_GT(Yellow(shot["status-quit"], 500, 425, 640, 455), 100) << "Quit scenario";
  // Quitting asks with No focused; the menu's Exit asks the same way.
  EXPECT_GT(Yellow(shot["confirm-quit"], 378, 228, 410, 252), 40) << "No";
  EXPECT_EQ(Yellow(shot["confirm-quit"], 218, 228, 260, 252), 0);
  EXPECT_GT(Yellow(shot["confirm-quit-yes"], 218, 228, 260, 252), 40) << "Yes";
  EXPECT_GT(shot["game-over"].Lit(200, 145, 440, 185), 500) << "GAME OVER";
  EXPECT_GT(Yellow(shot["confirm-exit"], 378, 228, 410, 252), 40) << "No";
  EXPECT_EQ(Yellow(shot["confirm-exit"], 218, 228, 260, 252), 0);

  // The survivor's profile holds the choices.
  const std::string profiles = DocumentsFolder(Folders()) + "Profiles/";
  ProfileState p;
  p.Folder = profiles;
  EXPECT_FALSE(std::filesystem::exists(profiles + "Alice.zqp"));
  p.CurrentFile = "Bobby.zqp";
  const ProfileResult loaded = LoadProfile(p);
  ASSERT_TRUE(loaded) << loaded.Message;
  const TProfileRecord& rec = *p.Record;
  EXPECT_EQ(rec.Keys[0].Key, 'W');
  EXPECT_EQ(rec.MusicLevel, 10);
  EXPECT_EQ(rec.SoundLevel, 5);
  EXPECT_EQ(rec.JoystickEnabled, 1);
}

INSTANTIATE_TEST_SUITE_P(KeysAndPad, FocusRun, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Pad" : "Keys"; });

}  // namespace
}  // namespace gravik::e2e
