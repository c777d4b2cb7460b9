// Running the real game binary from tests.
#pragma once
#include <string>
#include <vector>

#include "support/TempHome.h"

namespace gravik::e2e {

// Path of the built program, or "" when this build has none (no SDL).
std::string GamePath();

struct RunResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string output;  // stdout and stderr together
};

// Runs `exe` with `args` and GRAVIK_HOME=home, waits at most `timeoutMs`. It
// runs in `folder` when one is given, else in the test's current folder.
RunResult RunGame(const std::string& exe, const std::vector<std::string>& args, const std::string& home,
                  int timeoutMs = 60000, const std::string& folder = "");
// Starts it in the background; returns the process id.
int Start(const std::string& exe, const std::vector<std::string>& args, const std::string& home);
void Stop(int pid);

}  // namespace gravik::e2e
