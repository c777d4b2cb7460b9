#include "e2e/Run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace gravik::e2e {

std::string GamePath() {
  const std::string p = std::string(GRAVIK_BINARY_DIR) + "/gravik";
  return access(p.c_str(), X_OK) == 0 ? p : "";
}

namespace {

int Spawn(const std::string& exe, const std::vector<std::string>& args, const std::string& home,
          const std::string& outFile, const std::string& folder = "") {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("GRAVIK_HOME=", 0) != 0) env.emplace_back(*e);
  env.push_back("GRAVIK_HOME=" + home);
  std::vector<char*> envp, argv;
  for (auto& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string exeCopy = exe;
  argv.push_back(exeCopy.data());
  std::vector<std::string> argsCopy = args;
  for (auto& a : argsCopy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&fa, 1, 2);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&fa, folder.c_str());
  pid_t pid = -1;
  if (posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  return pid;
}

}  // namespace

RunResult RunGame(const std::string& exe, const std::vector<std::string>& args, const std::string& home,
                  int timeoutMs, const std::string& folder) {
  RunResult r;
  const std::string out = home + "/.run-output";
  const int pid = Spawn(exe, args, home, out, folder);
  if (pid < 0) return r;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      status = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (status != -1 && WIFEXITED(status)) r.status = WEXITSTATUS(status);
  std::ifstream f(out);
  std::stringstream ss;
  ss << f.rdbuf();
  r.output = ss.str();
  return r;
}

int Start(const std::string& exe, const std::vector<std::string>& args, const std::string& home) {
  return Spawn(exe, args, home, home + "/.start-output");
}

void Stop(int pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace gravik::e2e
