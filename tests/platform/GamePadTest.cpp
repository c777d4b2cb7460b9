// The SDL joystick side on SDL's virtual joysticks under the dummy video
// driver: game controllers and plain joysticks read as the game's one
// joystick, pads plugged in and out while running, and the mapping file.
#ifdef GRAVIK_HAVE_SDL
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <string>

#include "platform/sdl/SdlDisplay.h"
#include "platform/sdl/SdlInput.h"
#include "app/Program.h"
#include "frame/Form.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/TempHome.h"

namespace gravik {
namespace {

constexpr uint32_t kLeft = 0, kRight = 65535, kCentre = 32768;

class GamePadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    unsetenv("SDL_GAMECONTROLLERCONFIG");
    unsetenv("SDL_GAMECONTROLLERCONFIG_FILE");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_JOYSTICK) != 0)
      GTEST_SKIP() << "SDL does not start here: " << SDL_GetError();
  }
  void TearDown() override {
    for (SDL_Joystick* j : handles_) SDL_JoystickClose(j);
    SDL_Quit();
    unsetenv("SDL_GAMECONTROLLERCONFIG");
  }

  // A game controller: SDL maps its buttons and axes one to one onto the
  // controller's (A = button 0, ..., d-pad up = 11; left stick = axes 0 and 1).
  SDL_Joystick* AttachController() {
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    d.name = "Test pad";
    return Open(SDL_JoystickAttachVirtualEx(&d));
  }
  // A plain joystick: 2 axes, 6 buttons, one hat.
  SDL_Joystick* AttachJoystick() { return Open(SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 6, 1)); }
  SDL_Joystick* Open(int index) {
    EXPECT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* j = SDL_JoystickOpen(index);
    EXPECT_NE(j, nullptr) << SDL_GetError();
    handles_.push_back(j);
    return j;
  }
  void Detach(SDL_Joystick* j) {
    const SDL_JoystickID id = SDL_JoystickInstanceID(j);
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == id) {
        ASSERT_EQ(SDL_JoystickDetachVirtual(i), 0) << SDL_GetError();
      }
    }
  }
  // The GUID as mapping files write it: without the name's CRC (bytes 2-3),
  // which SDL 2.26 does not match for a mapping that carries one.
  std::string Guid(SDL_Joystick* j) {
    char text[64];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(j), text, sizeof text);
    std::string guid = text;
    guid.replace(4, 4, "0000");
    return guid;
  }
  // The frame loop's event pumping (SDL updates the joysticks while pumping).
  static JoystickState Read(SdlInput& in) {
    InputEvent ev;
    while (in.PollEvent(ev)) {
    }
    return in.Joystick();
  }

  SdlDisplay display_;
  std::vector<SDL_Joystick*> handles_;
};

TEST_F(GamePadTest, AControllersStickDpadAndFaceButtonsAndItsComingAndGoing) {
  SDL_Joystick* pad = AttachController();
  ASSERT_TRUE(SDL_IsGameController(0));
  SdlInput in(display_);
  JoystickState j = Read(in);
  ASSERT_TRUE(j.present);
  EXPECT_EQ(j.x, kCentre);
  EXPECT_EQ(j.y, kCentre);
  EXPECT_EQ(j.buttons, 0);

  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, SDL_JOYSTICK_AXIS_MIN);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, SDL_JOYSTICK_AXIS_MAX);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, SDL_JOYSTICK_AXIS_MAX);  // not a steering stick
  j = Read(in);
  EXPECT_EQ(j.x, kLeft);
  EXPECT_EQ(j.y, kRight);

  // A, B, X and Y are buttons 1 to 4; the shoulder buttons are none of them.
  const SDL_GameControllerButton face[4] = {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B,
                                            SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y};
  for (int b = 0; b < 4; ++b) {
    SDL_JoystickSetVirtualButton(pad, face[b], SDL_PRESSED);
    EXPECT_EQ(Read(in).buttons, 1 << b) << "button " << b + 1;
    SDL_JoystickSetVirtualButton(pad, face[b], SDL_RELEASED);
  }
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_PRESSED);
  EXPECT_EQ(Read(in).buttons, 0);
  // Start and Back come after them, held together with A.
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, SDL_PRESSED);
  EXPECT_EQ(Read(in).buttons, kPadStart);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_BACK, SDL_PRESSED);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
  EXPECT_EQ(Read(in).buttons, kPadStart | kPadBack | kPadA);
  for (const auto b : {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_A})
    SDL_JoystickSetVirtualButton(pad, b, SDL_RELEASED);

  // The d-pad steers while the stick is let go (a little off the middle still
  // counts as let go), and gives way to the stick when it is pushed.
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 2000);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -1500);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_PRESSED);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_PRESSED);
  j = Read(in);
  EXPECT_EQ(j.x, kRight);
  EXPECT_EQ(j.y, kLeft);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, SDL_JOYSTICK_AXIS_MAX);
  j = Read(in);
  EXPECT_EQ(j.x, kCentre + 2000);
  EXPECT_EQ(j.y, kRight);

  // Unplugged: no joystick; plugged in again (a new device): read at once.
  Detach(pad);
  EXPECT_FALSE(Read(in).present);
  SDL_Joystick* again = AttachController();
  EXPECT_TRUE(Read(in).present);
  SDL_JoystickSetVirtualButton(again, SDL_CONTROLLER_BUTTON_Y, SDL_PRESSED);
  SDL_JoystickSetVirtualAxis(again, SDL_CONTROLLER_AXIS_LEFTY, SDL_JOYSTICK_AXIS_MIN);
  j = Read(in);
  EXPECT_EQ(j.buttons, 8);
  EXPECT_EQ(j.y, kLeft);
}

TEST_F(GamePadTest, APlainJoysticksAxesButtonsAndHatAndASecondOneTakingOver) {
  SdlInput in(display_);
  EXPECT_FALSE(Read(in).present) << "nothing plugged in";
  SDL_Joystick* first = AttachJoystick();
  ASSERT_FALSE(SDL_IsGameController(0));
  JoystickState j = Read(in);
  ASSERT_TRUE(j.present) << "plugged in while running";
  SDL_JoystickSetVirtualButton(first, 3, SDL_PRESSED);
  SDL_JoystickSetVirtualButton(first, 4, SDL_PRESSED);  // a fifth button is not read
  SDL_JoystickSetVirtualHat(first, 0, SDL_HAT_LEFTDOWN);
  j = Read(in);
  EXPECT_EQ(j.buttons, 8);
  EXPECT_EQ(j.x, kLeft);
  EXPECT_EQ(j.y, kRight);
  SDL_JoystickSetVirtualAxis(first, 1, -20000);
  j = Read(in);
  EXPECT_EQ(j.x, kCentre) << "a pushed stick wins over the hat";
  EXPECT_EQ(j.y, kCentre - 20000);

  // A second joystick waits; when the first goes, it is taken up.
  SDL_Joystick* second = AttachJoystick();
  SDL_JoystickSetVirtualButton(second, 0, SDL_PRESSED);
  EXPECT_EQ(Read(in).buttons, 8);
  Detach(first);
  j = Read(in);
  EXPECT_TRUE(j.present);
  EXPECT_EQ(j.buttons, 1);
}

TEST_F(GamePadTest, TheMappingFileBesideTheDataAndTheEnvironmentsMappingWhichWins) {
  testing::TempHome home;
  SDL_Joystick* stick = AttachJoystick();
  const std::string guid = Guid(stick);
  const std::string mapping = ",Mapped stick,leftx:a0,lefty:a1,dpup:h0.1,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,";
  std::ofstream(home / "gamecontrollerdb.txt")
      << "# pads\n" << guid << mapping << "a:b5,b:b4,x:b1,y:b0,start:b2,back:b3,platform:Linux,\n";
  {
    SdlInput in(display_, {home / "none/", home.Path() + "/"});
    SDL_JoystickSetVirtualButton(stick, 5, SDL_PRESSED);
    EXPECT_EQ(Read(in).buttons, 1) << "raw button 6 is A by the file";
    SDL_JoystickSetVirtualButton(stick, 5, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(stick, 2, SDL_PRESSED);
    EXPECT_EQ(Read(in).buttons, kPadStart) << "raw button 3 is Start by the file";
    SDL_JoystickSetVirtualButton(stick, 2, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(stick, 3, SDL_PRESSED);
    EXPECT_EQ(Read(in).buttons, kPadBack);
    SDL_JoystickSetVirtualButton(stick, 3, SDL_RELEASED);
  }
  // SDL reads the environment when its joysticks start: a fresh start, the
  // same stick again.
  for (SDL_Joystick* j : handles_) SDL_JoystickClose(j);
  handles_.clear();
  SDL_Quit();
  setenv("SDL_GAMECONTROLLERCONFIG", (guid + mapping + "a:b4,b:b5,platform:Linux,").c_str(), 1);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  stick = AttachJoystick();
  ASSERT_EQ(Guid(stick), guid);
  SdlInput in(display_, {home.Path() + "/"});
  SDL_JoystickSetVirtualButton(stick, 4, SDL_PRESSED);
  EXPECT_EQ(Read(in).buttons, 1) << "raw button 5 is A by the environment";
}

// A menu driven by an SDL pad: the d-pad moves the focus, A presses. The game
// runs its real start-up on the headless platform with SDL's input in place.
TEST_F(GamePadTest, InAMenuTheDpadMovesTheFocusAndAPresses) {
  if (!std::filesystem::exists(std::string(GRAVIK_BINARY_DIR) + "/zqresource.dat"))
    GTEST_SKIP() << "the data files are not built (target data_files)";
  testing::TempHome home;
  SDL_Joystick* pad = AttachController();
  SdlInput in(display_);
  HeadlessPlatform hp(std::string(GRAVIK_BINARY_DIR) + "/gravik");
  hp.shell.SetEcho(false);
  const Platform headless = hp.Get();
  Platform platform{headless.display, in, headless.audio, headless.clock, headless.folders, headless.settings,
                    headless.shell};
  GameOptions options;
  options.headless = true;
  options.noMusic = options.noSound = true;
  Game game(platform, options);
  TForm1 form(game);
  form.FormCreate();
  InstallGameHandlers(form);
  form.Timer1Timer();
  auto frame = [&] {
    InputEvent ev;
    while (in.PollEvent(ev)) form.HandleEvent(ev);
    hp.clock.Advance(16000);
    form.DXTimerTimer();
  };
  form.SetGameState(gsConfirmExit);
  frame();
  frame();
  ASSERT_EQ(game.widgets.Buttons[2].Caption, "No");
  EXPECT_EQ(FocusedWidget(game.widgets), (WidgetRef{WidgetKind::Button, 2})) << "the safe answer";

  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_PRESSED);
  frame();
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_RELEASED);
  frame();
  EXPECT_EQ(FocusedWidget(game.widgets), (WidgetRef{WidgetKind::Button, 1})) << "Yes, to the left";
  EXPECT_LT(game.widgets.Buttons[1].Glow, kGlowRest) << "lit as the pointer lights it";
  EXPECT_FALSE(form.frame().Closed);

  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
  frame();
  EXPECT_TRUE(form.frame().Closed) << "A pressed Yes: the program ends";
}

}  // namespace
}  // namespace gravik
#endif
