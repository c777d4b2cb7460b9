#include "frame/Form.h"
#include "frame/Program.h"

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

}  // namespace

void InstallGameHandlers(TForm1& form, const ProgramOptions& options) {
  form.SetStateHandler(gsShowWindow, ShowWindowFrame);
}

}  // namespace gravik
