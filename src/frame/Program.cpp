#include "frame/Program.h"

#include "frame/Demo.h"
#include "frame/Form.h"

namespace gravik {

int RunProgram(Platform& platform, const ProgramOptions& options,
               const std::function<bool(Game&)>& afterIteration) {
  Game game(platform, options.game);
  TForm1 form(game);
  form.FormCreate();
  InstallGameHandlers(form);
  const int status = RunMessageLoop(form, [&] { return afterIteration ? afterIteration(game) : true; });
  FinishRecording(game);  // a game still being recorded when the program closes
  return status;
}

}  // namespace gravik
