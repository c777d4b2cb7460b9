// One headless run of the real program through every screen, from a first
// start with no profile to "Exit Gravik 2?", driven by one input script. Each
// screen passed is shot and checked by its pixels; afterwards the surviving
// profile's file holds the binding, volumes and joystick choice made on the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "data/Archive.h"
#include "data/Profile.h"
#include "e2e/Run.h"
#include "e2e/Shot.h"
#include "platform/Folders.h"

namespace gravik::e2e {
namespace {

// The script, line by line; shots go to `folder`.
class Script {
 public:
  explicit Script(std::string folder) : folder_(std::move(folder)) {}
  Script& At(int frame, const std::string& command) {
    text_ += std::to_string(frame) + " " + command + "\n";
    return *this;
  }
  // The pointer to (x, y), then a press and release there two frames later
  // (widgets notice the pointer when they are drawn).
  Script& Click(int frame, int x, int y) {
    const std::string at = " " + std::to_string(x) + " " + std::to_string(y);
    return At(frame, "mouse move" + at).At(frame + 2, "mouse down" + at).At(frame + 3, "mouse up" + at);
  }
  // A slider's knob grabbed at x0 and dragged to x1 on the track's row y.
  Script& Drag(int frame, int x0, int x1, int y) {
    const std::string from = " " + std::to_string(x0) + " " + std::to_string(y);
    const std::string to = " " + std::to_string(x1) + " " + std::to_string(y);
    return At(frame, "mouse move" + from)
        .At(frame + 2, "mouse down" + from)
        .At(frame + 4, "mouse move " + std::to_string((x0 + x1) / 2) + " " + std::to_string(y))
        .At(frame + 6, "mouse move" + to)
        .At(frame + 8, "mouse up" + to);
  }
  Script& Shot(int frame, const std::string& name) {
    shots_.push_back(name);
    return At(frame, "shot " + folder_ + "/" + name + ".png");
  }
  const std::string& Text() const { return text_; }
  const std::vector<std::string>& Shots() const { return shots_; }

 private:
  std::string folder_, text_;
  std::vector<std::string> shots_;
};

// The journey, 60 frames a second. The options are changed LAST among the
// menu visits, once "Bobby" is current: a new profile starts from the
// defaults, and the first profile ("Alice", made at the first start) is
// deleted, so only the survivor's file can show what the options did. Hence:
// name entry -> logo walk -> help pages 1..4 -> menu -> options -> profiles ->
// create Bobby -> logo walk -> help -> menu -> profiles: load Bobby -> menu ->
// profiles: delete Alice -> menu -> options: Up = W, both sliders, joystick ->
// menu -> play -> status -> map, puzzle, options from status -> quit scenario
// -> game over -> menu -> "Exit Gravik 2?" -> Yes.
Script Journey(const std::string& folder) {
  Script s(folder);
  // First start: the name entry with the logo and the figure walking in.
  s.At(80, "text Alice").Shot(95, "name").At(100, "key tap Enter");
  s.Shot(200, "logo");
  // The figure walks off to the right: help, page 1, then Next three times.
  s.At(330, "mouse move 630 470").Shot(360, "help1");
  s.Click(370, 270, 460).Shot(390, "help2");
  s.Click(400, 270, 460).Shot(420, "help3");
  s.Click(430, 270, 460).Shot(450, "help4");
  s.Click(460, 465, 460).Shot(490, "menu");  // OK
  // Options (the menu's second item), Profiles, Create, "Bobby", OK.
  s.Click(500, 320, 245).Shot(530, "options-first");
  s.Click(540, 345, 458).Shot(560, "profiles");
  s.Click(570, 115, 238).At(590, "text Bobby").Shot(610, "name-bobby");
  s.Click(620, 215, 378).Shot(800, "logo-bobby");
  s.Shot(880, "help-bobby").At(890, "key tap Escape").Shot(910, "menu-bobby");
  // Profiles again: Bobby (the second row) loaded.
  s.Click(920, 320, 245).Click(940, 345, 458).Shot(960, "profiles-two");
  s.Click(970, 300, 200).Click(980, 120, 268).Shot(1000, "menu-loaded");
  // Profiles again: Alice (the first row) deleted.
  s.Click(1010, 320, 245).Click(1030, 345, 458).Click(1050, 300, 182).Shot(1060, "profiles-alice");
  s.Click(1070, 115, 298).Shot(1090, "confirm-delete");
  s.Click(1100, 235, 238).Shot(1120, "profiles-after");
  s.Click(1130, 115, 388).Shot(1150, "menu-bobby-only");  // Cancel
  // Options: "Up:" clicked, then W; the music knob (level 20, at x 396..410)
  // dragged to x 305 (level 10), the sound FX knob to x 255 (level 5); the
  // joystick box ticked; "Return to main menu".
  s.Click(1160, 320, 245).Shot(1180, "options");
  s.Click(1190, 200, 325).Shot(1195, "options-capture").At(1200, "key tap W");
  s.Drag(1210, 403, 305, 207).Drag(1230, 403, 255, 235);
  s.Click(1250, 90, 298).At(1256, "mouse move 630 300").Shot(1270, "options-set");
  s.Click(1280, 80, 458).Shot(1300, "menu-after-options");
  // New game: play, then the status screen (Enter).
  s.Click(1310, 320, 195).Shot(1340, "scenario").At(1590, "mouse move 630 470");
  s.Shot(1600, "play").At(1620, "key tap Enter").Shot(1650, "status");
  // From the status screen: the map and back, the puzzle and back, the
  // options and back.
  s.Click(1660, 470, 113).Shot(1690, "map").Click(1700, 570, 452).Shot(1720, "status-from-map");
  s.Click(1730, 470, 258).Shot(1760, "puzzle").Click(1770, 320, 458).Shot(1790, "status-from-puzzle");
  s.Click(1800, 392, 436).At(1806, "mouse move 630 380").Shot(1830, "options-status").Click(1840, 80, 458).Shot(1860, "status-from-options");
  // "Quit scenario", Yes: game over; OK: the menu; Exit, Yes.
  s.Click(1870, 520, 436).Shot(1890, "confirm-quit").Click(1900, 235, 238).Shot(1930, "game-over");
  s.Click(1940, 320, 368).Shot(1970, "menu-end").Click(1980, 320, 395).Shot(2000, "confirm-exit");
  s.Click(2010, 235, 238);
  // Should the program still run, these take it to the options from the menu
  // or "Exit Gravik 2?" (Escape, then Options), which --screenshot would show.
  s.Click(2100, 320, 245).At(2150, "key tap Escape").Click(2200, 320, 245);
  return s;
}

// Pixels from the widgets' orange (255, 128, 0) to yellow (a knob lit by the
// pointer): knobs, the list's frame and highlight.
int Orange(const Shot& s, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint32_t c = s.At(x, y);
      n += (c >> 16) > 200 && (c >> 8 & 255) > 90 && (c & 255) < 60;
    }
  return n;
}

// Pixels of light text (every component above 180): prompts and labels.
int Light(const Shot& s, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint32_t c = s.At(x, y);
      n += (c >> 16) > 180 && (c >> 8 & 255) > 180 && (c & 255) > 180;
    }
  return n;
}

// Pixels that differ between two shots in a rectangle.
int Differing(const Shot& a, const Shot& b, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += a.At(x, y) != b.At(x, y);
  return n;
}

TEST(JourneyRun, EveryScreenFromFirstStartToExit) {
  const std::string exe = GamePath();
  if (exe.empty()) GTEST_SKIP() << "this build has no game program";
  testing::TempHome home;
  const std::string shots = home.Path() + "/shots";
  std::filesystem::create_directories(shots);
  const Script script = Journey(shots);
  std::ofstream(home.Path() + "/script.txt") << script.Text();
  // With sound and music (a silent device when headless): the sliders work.
  const RunResult r = RunGame(exe, {"--headless", "--seed", "5", "--frames", "2400", "--input", home.Path() + "/script.txt",
                                    "--screenshot", shots + "/final.png"},
                              home.Path(), 180000);
  // GRAVIK_KEEP_SHOTS=folder keeps the script and the shots for looking at.
  if (const char* keep = std::getenv("GRAVIK_KEEP_SHOTS")) {
    std::filesystem::create_directories(keep);
    std::ofstream(std::string(keep) + "/script.txt") << script.Text();
    for (const std::string& n : script.Shots())
      if (std::filesystem::exists(shots + "/" + n + ".png"))
        std::filesystem::copy_file(shots + "/" + n + ".png", std::string(keep) + "/" + n + ".png",
                                   std::filesystem::copy_options::overwrite_existing);
  }
  ASSERT_EQ(r.status, 0) << r.output;
  // The last frame presented is "Exit Gravik 2?" with Yes pressed: the program
  // ended there by itself, not at the frame limit.
  Shot final;
  ASSERT_TRUE(ReadShot(shots + "/final.png", final));
  EXPECT_GT(Light(final, 245, 188, 395, 212), 200) << "Exit Gravik 2?";

  std::map<std::string, Shot> shot;
  for (const std::string& n : script.Shots()) {
    ASSERT_TRUE(ReadShot(shots + "/" + n + ".png", shot[n])) << n << "\n" << r.output;
  }

  // First start: the name typed under the welcome, then the logo walk.
  EXPECT_GT(shot["name"].Lit(250, 228, 390, 252), 300) << "\"Welcome to Gravik 2!\"";
  EXPECT_GT(shot["name"].Lit(280, 318, 360, 342), 200) << "Alice";
  EXPECT_GT(shot["logo"].Lit(0, 440, 640, 480), 1000) << "the rising logo";
  EXPECT_EQ(shot["logo"].Lit(0, 230, 640, 430), 0) << "the name entry has gone";

  // Help: four different pages with their buttons.
  const char* pages[] = {"help1", "help2", "help3", "help4"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_GT(shot[pages[i]].Lit(90, 450, 490, 475), 500) << pages[i] << ": Previous, Next, OK";
    for (int j = i + 1; j < 4; ++j)
      EXPECT_GT(Differing(shot[pages[i]], shot[pages[j]], 0, 0, 640, 440), 5000) << pages[i] << " vs " << pages[j];
  }
  EXPECT_GT(shot["help4"].Lit(60, 20, 580, 110), 10000) << "the credits' title picture";
  EXPECT_LT(Differing(shot["help1"], shot["help-bobby"], 0, 0, 640, 340), 200) << "help opens on page 1 again";

  // The main menu: the footer names the current player.
  const int aliceWidth = shot["menu"].Lit(95, 452, 200, 475);
  EXPECT_GT(aliceWidth, 50) << "PROFILE: Alice";
  for (const char* n : {"menu-bobby", "menu-loaded", "menu-bobby-only", "menu-after-options", "menu-end"}) {
    EXPECT_GT(shot[n].Lit(220, 180, 420, 380), 5000) << n << ": the four items";
    EXPECT_GT(Differing(shot["menu"], shot[n], 95, 452, 200, 475), 50) << n << ": PROFILE: Bobby";
  }

  // Options from the menu: title, sliders at 100%, the Profiles button.
  const Shot& first = shot["options-first"];
  EXPECT_GT(first.Lit(250, 60, 390, 90), 300) << "OPTIONS";
  EXPECT_GT(Orange(first, 398, 198, 412, 218), 100) << "the music knob at the right end";
  EXPECT_GT(first.Lit(320, 450, 410, 475), 200) << "Profiles";

  // Profiles: Alice alone; the new name; the logo walk again; two rows;
  // Alice highlighted, the prompt, then Bobby alone.
  EXPECT_GT(Orange(shot["profiles"], 258, 168, 542, 396), 900) << "the list frame";
  EXPECT_GT(shot["profiles"].Lit(262, 173, 400, 191), 60) << "Alice";
  EXPECT_EQ(shot["profiles"].Lit(262, 194, 530, 390), 0) << "one row only";
  EXPECT_GT(shot["name-bobby"].Lit(250, 320, 390, 345), 200) << "Bobby";
  EXPECT_GT(shot["name-bobby"].Lit(195, 370, 480, 395), 200) << "OK and CANCEL";
  EXPECT_GT(shot["logo-bobby"].Lit(0, 430, 640, 480), 1000) << "the logo after OK";
  EXPECT_GT(shot["profiles-two"].Lit(262, 173, 400, 191), 60) << "row 1";
  EXPECT_GT(shot["profiles-two"].Lit(262, 192, 400, 209), 60) << "row 2";
  EXPECT_EQ(shot["profiles-two"].Lit(262, 212, 530, 390), 0);
  EXPECT_GT(Orange(shot["profiles-alice"], 264, 174, 536, 190), 3000) << "Alice selected";
  EXPECT_GT(Light(shot["confirm-delete"], 200, 190, 440, 212), 200) << "Delete profile \"Alice\" ?";
  EXPECT_GT(shot["profiles-after"].Lit(262, 173, 400, 191), 60) << "Bobby";
  EXPECT_EQ(shot["profiles-after"].Lit(262, 194, 530, 390), 0) << "Alice deleted";

  // The options changed: knobs moved, W bound to Up, the box ticked.
  const Shot &before = shot["options"], &after = shot["options-set"];
  EXPECT_GT(Orange(before, 398, 198, 412, 218), 100);
  EXPECT_GT(Orange(before, 398, 226, 412, 246), 100);
  EXPECT_EQ(Orange(after, 398, 198, 412, 218), 0) << "the music knob has left the right end";
  EXPECT_GT(Orange(after, 299, 197, 311, 217), 100) << "the music knob at level 10";
  EXPECT_GT(Orange(after, 249, 225, 261, 245), 100) << "the sound FX knob at level 5";
  EXPECT_GT(after.Lit(190, 318, 212, 338), 20) << "W";
  EXPECT_EQ(after.Lit(215, 318, 290, 338), 0) << "no longer \"Up arrow\"";
  EXPECT_EQ(before.Lit(83, 291, 97, 305), 0) << "joystick box empty before";
  EXPECT_GT(after.Lit(83, 291, 97, 305), 100) << "joystick box ticked";

  // Play and its screens.
  EXPECT_GT(shot["scenario"].Lit(260, 190, 380, 212), 300) << "SCENARIO";
  EXPECT_GT(shot["play"].Lit(0, 0, 480, 480), 480 * 480 * 3 / 4) << "the playfield";
  EXPECT_GT(shot["play"].Lit(480, 0, 640, 480), 160 * 480 / 2) << "the side panel";
  for (const char* n : {"status", "status-from-map", "status-from-puzzle", "status-from-options"}) {
    EXPECT_GT(shot[n].Lit(140, 8, 500, 34), 500) << n << ": the title";
    EXPECT_GT(shot[n].Lit(60, 425, 600, 455), 800) << n << ": the row of buttons";
  }
  EXPECT_GT(shot["map"].Lit(512, 0, 640, 440), 128 * 440 / 2) << "the map panel";
  EXPECT_GT(Orange(shot["map"], 130, 150, 420, 320), 500) << "the map's frame";
  EXPECT_GT(Orange(shot["puzzle"], 150, 150, 490, 300), 500) << "the puzzle's frame";
  EXPECT_EQ(shot["puzzle"].Lit(160, 161, 460, 289), 0) << "no piece collected yet";
  EXPECT_GT(shot["puzzle"].Lit(10, 455, 260, 475), 300) << "\"0/40 pieces (0%) collected.\"";
  const Shot& fromStatus = shot["options-status"];
  EXPECT_GT(fromStatus.Lit(40, 450, 230, 475), 300) << "Return to status";
  EXPECT_EQ(fromStatus.Lit(340, 450, 640, 475), 0) << "no Profiles or Scenarios";
  EXPECT_GT(Orange(fromStatus, 299, 73, 311, 93), 100) << "the music knob as set";

  // Quitting: the question, game over, the menu, "Exit Gravik 2?".
  EXPECT_GT(Light(shot["confirm-quit"], 220, 190, 420, 212), 200) << "Quit this scenario?";
  EXPECT_EQ(shot["confirm-quit"].Lit(0, 0, 640, 170), 0);
  EXPECT_GT(shot["game-over"].Lit(200, 145, 440, 185), 500) << "GAME OVER";
  EXPECT_GT(shot["game-over"].Lit(290, 355, 350, 385), 30) << "OK";
  EXPECT_GT(Light(shot["confirm-exit"], 245, 188, 395, 212), 200) << "Exit Gravik 2?";
  EXPECT_EQ(Light(shot["menu-end"], 245, 188, 395, 212), 0);

  // The surviving profile holds what the options set (the home is this
  // process's GRAVIK_HOME too).
  ProfileState p;
  p.Folder = DocumentsFolder(Folders()) + "Profiles/";
  EXPECT_FALSE(std::filesystem::exists(p.Folder + "Alice.zqp"));
  p.CurrentFile = "Bobby.zqp";
  const ProfileResult loaded = LoadProfile(p);
  ASSERT_TRUE(loaded) << loaded.Message;
  EXPECT_EQ(p.CurrentName, "Bobby");
  const TProfileRecord& rec = *p.Record;
  EXPECT_EQ(rec.Keys[0].Enabled, 1);
  EXPECT_EQ(rec.Keys[0].Key, 'W') << "Up, as a key code (keyboard mode 0)";
  EXPECT_EQ(rec.MusicOn, 1);
  EXPECT_EQ(rec.MusicLevel, 10);
  EXPECT_EQ(rec.SoundOn, 1);
  EXPECT_EQ(rec.SoundLevel, 5);
  EXPECT_EQ(rec.JoystickEnabled, 1);
}

}  // namespace
}  // namespace gravik::e2e
