#include <cstdio>

#include "frame/Demo.h"
#include "frame/Form.h"
#include "app/Program.h"
#include "app/StartUp.h"
#include "app/Units.h"

namespace gravik {

void InstallGameHandlers(TForm1& form) {
  Game& g = form.game();
  g.world.LevelGraphics = &g.levelGraphicsHook;
  form.RunStartUp = RunStartUp;
  InstallScreenUnits(form);
  std::string error;
  if (!SetUpRecorder(g, error)) std::fprintf(stderr, "gravik: no recording: %s\n", error.c_str());
}

}  // namespace gravik
