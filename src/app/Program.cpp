#include "app/Program.h"

#include "frame/Demo.h"
#include "frame/Form.h"

namespace gravik {

ProgramRun::ProgramRun(Platform& platform, const ProgramOptions& options)
    : game_(std::make_unique<Game>(platform, options.game)), form_(std::make_unique<TForm1>(*game_)) {
  form_->FormCreate();
  InstallGameHandlers(*form_);
}

ProgramRun::~ProgramRun() = default;

int ProgramRun::Pass(const std::function<bool(Game&)>& afterIteration) {
  if (status_ >= 0) return status_;
  status_ = MessageLoopPass(*form_, [&] { return afterIteration ? afterIteration(*game_) : true; });
  if (status_ >= 0) FinishRecording(*game_);  // a game still being recorded when the program closes
  return status_;
}

int RunProgram(Platform& platform, const ProgramOptions& options,
               const std::function<bool(Game&)>& afterIteration) {
  ProgramRun run(platform, options);
  for (;;) {
    const int status = run.Pass(afterIteration);
    if (status >= 0) return status;
  }
}

}  // namespace gravik
