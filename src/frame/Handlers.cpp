#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Program.h"
#include "frame/StartUp.h"
#include "input/KeyHandlers.h"
#include "screens/MapView.h"

namespace gravik {

namespace {

// First frame after start-up.
void ShowWindowFrame(TForm1& form) {
  FrameState& f = form.frame();
  Display& d = form.game().platform.display;
  d.Show(false);
  d.Show(true);
  f.ModeSwitchLockout = false;
  f.GameState = gsEnterMenus;
  f.ScreenReady = false;
}

// First menu frame. The menus are not part of the game yet, so the game goes
// straight to the built-in scenario (or the one named with --play).
void EnterMenusFrame(TForm1& form) {
  FrameState& f = form.frame();
  form.SetGameState(gsPrepareScenario);
  if (f.WindowedPreference != f.Windowed) {
    f.ModeSwitchLockout = false;
    form.ToggleDisplayMode();
  }
}

void ConnectInputHooks(TForm1& form) {
  InputHooks& h = form.game().input.Hooks;
  h.FreezeClocks = [](TForm1& f) { FreezeClocks(f.game()); };
  h.ThawClocks = [](TForm1& f) { ThawClocks(f.game()); };
  h.RefreshBlockGraphics = [](TForm1& f) { RefreshBlockGraphics(f.game()); };
  h.RedrawSidePanel = [](TForm1& f) {
    Game& g = f.game();
    GraphicsContext ctx = g.Graphics();
    BuildPanels(ctx, CurrentLevelLook(g.scenario, g.world).BlockSet, g.world.GraphicsStyle);
  };
}

}  // namespace

void InstallGameHandlers(TForm1& form, const ProgramOptions& options) {
  form.RunStartUp = RunStartUp;
  form.SetStateHandler(gsShowWindow, ShowWindowFrame);
  form.SetStateHandler(gsEnterMenus, EnterMenusFrame);
  InstallGameFlow(form);
  InstallMapView(form);
  InstallInputHandlers(form, form.game().input);
  ConnectInputHooks(form);
}

}  // namespace gravik
