// Gravik 2: the program.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>
#include <memory>
#include <string>

#include "base/Errors.h"
#include "base/Text.h"
#include "data/Demo.h"
#include "platform/Folders.h"
#include "app/Program.h"
#include "platform/Shell.h"
#include "platform/Splash.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/sdl/SdlPlatform.h"

using namespace gravik;

namespace {

const char kUsage[] =
    "Usage: gravik [options]\n"
    "  --scale N            window scale (1..8; default: the largest up to 3 that fits)\n"
    "  --fullscreen         start full screen on the desktop resolution\n"
    "  --play [SCENARIO]    start playing at once (the built-in scenario, or a file)\n"
    "  -nosound             no sound effects (letter case ignored)\n"
    "  -nomusic             no music (letter case ignored)\n"
    "  --debug              show the frame-rate and debug read-outs\n"
    "  --date YYYY-MM-DD    take this as today's date\n"
    "  --start-level N      begin on level N (1..20), where a transporter lands\n"
    "  --edit [SCENARIO]    open the scenario editor (a new scenario, or a file)\n"
    "  --demo [FILE]        play the built-in demo (or a recorded one) at once\n"
    "  --record-demo FILE   record the game from the start of play into a demo file\n"
    "  --demo-captions FILE captions for the recording, lines 'TIME TEXT' (ms of play)\n"
    "  --trace-world FILE   write a digest of the world after every frame of play\n"
    "  --headless           run without a window:\n"
    "    --frames N         stop after N frames (default 600)\n"
    "    --frame-ms MS      clock step per frame in milliseconds (default 16.667)\n"
    "    --input FILE       scripted input, one '<frame> <command>' a line; the line\n"
    "                       '<frame> shot FILE' writes that frame as a PNG\n"
    "    --screenshot FILE  write the last frame as a PNG\n"
    "  --seed N             seed of the game's random generator (headless default 1;\n"
    "                       a window run seeds it from the clock)\n"
    "  --help, --version\n";

struct CommandLine {
  ProgramOptions program;
  bool headless = false;
  bool fullscreen = false;
  int scale = 0;
  long frames = 600;
  double frameMs = 1000.0 / 60.0;
  std::string input, screenshot;
  bool seedGiven = false;
};

bool ParseNumber(const char* s, double lo, double hi, double& out) {
  char* end = nullptr;
  const double v = std::strtod(s, &end);
  if (!end || *end || v < lo || v > hi) return false;
  out = v;
  return true;
}

// Today's local date.
CalendarDate Today() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return CalendarDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

// Returns -1 to go on, else the exit status.
int Parse(int argc, char** argv, CommandLine& cl) {
  cl.program.game.today = Today();
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](double lo, double hi, double& out) {
      if (i + 1 >= argc || !ParseNumber(argv[i + 1], lo, hi, out)) {
        std::fprintf(stderr, "gravik: %s needs a number from %g to %g\n", a.c_str(), lo, hi);
        return false;
      }
      ++i;
      return true;
    };
    double v = 0;
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--version") {
      std::puts("Gravik 2 for Linux " GRAVIK_VERSION);
      return 0;
    } else if (SameText(a, "-nosound")) {
      cl.program.game.noSound = true;
    } else if (SameText(a, "-nomusic")) {
      cl.program.game.noMusic = true;
    } else if (a == "--headless") {
      cl.headless = true;
    } else if (a == "--fullscreen") {
      cl.fullscreen = true;
    } else if (a == "--debug") {
      cl.program.game.debug = true;
    } else if (a == "--play") {
      cl.program.game.play = true;
      if (i + 1 < argc && argv[i + 1][0] != '-') cl.program.game.playScenario = argv[++i];
    } else if (a == "--edit") {
      cl.program.game.edit = true;
      if (i + 1 < argc && argv[i + 1][0] != '-') cl.program.game.editFile = argv[++i];
    } else if (a == "--demo") {
      cl.program.game.demo = true;
      if (i + 1 < argc && argv[i + 1][0] != '-') cl.program.game.demoFile = argv[++i];
    } else if (a == "--trace-world") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "gravik: %s needs a file name\n", a.c_str());
        return 2;
      }
      cl.program.game.traceWorld = argv[++i];
    } else if (a == "--record-demo" || a == "--demo-captions") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "gravik: %s needs a file name\n", a.c_str());
        return 2;
      }
      (a == "--record-demo" ? cl.program.game.recordDemo : cl.program.game.demoCaptions) = argv[++i];
    } else if (a == "--scale") {
      if (!value(1, 8, v)) return 2;
      cl.scale = int(v);
    } else if (a == "--start-level") {
      if (!value(1, 20, v)) return 2;
      cl.program.game.startLevel = int(v);
    } else if (a == "--frames") {
      if (!value(1, 1e9, v)) return 2;
      cl.frames = long(v);
    } else if (a == "--frame-ms") {
      if (!value(0.1, 1000, v)) return 2;
      cl.frameMs = v;
    } else if (a == "--seed") {
      if (!value(0, 4294967295.0, v)) return 2;
      cl.program.game.seed = uint64_t(v);
      cl.seedGiven = true;
    } else if (a == "--date") {
      CalendarDate d;
      if (i + 1 >= argc || std::sscanf(argv[i + 1], "%d-%d-%d", &d.Year, &d.Month, &d.Day) != 3 || d.Month < 1 ||
          d.Month > 12 || d.Day < 1 || d.Day > 31) {
        std::fprintf(stderr, "gravik: --date needs a date YYYY-MM-DD\n");
        return 2;
      }
      ++i;
      cl.program.game.today = d;
    } else if (a == "--input" || a == "--screenshot") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "gravik: %s needs a file name\n", a.c_str());
        return 2;
      }
      (a == "--input" ? cl.input : cl.screenshot) = argv[++i];
    } else {
      std::fprintf(stderr, "gravik: unknown option '%s'\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (!cl.program.game.demoCaptions.empty()) {
    std::vector<uint8_t> bytes;
    DemoRecording check;
    std::string error;
    if (cl.program.game.recordDemo.empty()) {
      std::fprintf(stderr, "gravik: --demo-captions goes with --record-demo\n");
      return 2;
    }
    if (!ReadWholeFile(cl.program.game.demoCaptions, bytes, 1u << 20) ||
        !ParseDemoCaptions(std::string(bytes.begin(), bytes.end()), check, error)) {
      std::fprintf(stderr, "gravik: the captions %s: %s\n", cl.program.game.demoCaptions.c_str(),
                   error.empty() ? "cannot be read" : error.c_str());
      return 2;
    }
  }
  return -1;
}

std::span<const uint8_t> EmbeddedSplash() {
  size_t size = 0;
  const uint8_t* data = SplashData(size);
  return {data, size};
}

int RunHeadless(const CommandLine& cl, const char* exePath) {
  HeadlessPlatform hp(exePath);
  hp.clock.SetFrameStepUs(uint64_t(cl.frameMs * 1000.0 + 0.5));
  if (!cl.input.empty() && !hp.input.LoadScript(cl.input)) {
    std::fprintf(stderr, "gravik: input script %s:\n%s\n", cl.input.c_str(), hp.input.ErrorText().c_str());
    return 2;
  }
  Platform p = hp.Get();
  p.splashPicture = EmbeddedSplash();
  ProgramOptions options = cl.program;
  options.game.headless = true;
  uint32_t frame = 0;
  bool shotsWritten = true;
  hp.BeginFrame(frame);
  const int status = RunProgram(p, options, [&](Game&) {
    hp.EndFrame();
    for (const std::string& failure : hp.TakeShots(frame)) {
      std::fprintf(stderr, "gravik: %s\n", failure.c_str());
      shotsWritten = false;
    }
    if (++frame >= uint64_t(cl.frames)) return false;
    hp.BeginFrame(frame);
    return true;
  });
  for (const ScriptShot& shot : hp.input.ShotsLeft()) {
    std::fprintf(stderr, "gravik: the run ended before frame %u; no screenshot %s\n", unsigned(shot.frame),
                 shot.path.c_str());
    shotsWritten = false;
  }
  if (!cl.screenshot.empty() && !hp.display.SaveScreenshot(cl.screenshot)) {
    std::fprintf(stderr, "gravik: could not write the screenshot %s\n", cl.screenshot.c_str());
    shotsWritten = false;
  }
  if (!shotsWritten) return status ? status : 1;
  return status;
}

int RunWindowed(const CommandLine& cl, const char* exePath) {
  SdlOptions so;
  so.scale = cl.scale;
  so.exePath = exePath;
  std::unique_ptr<SdlPlatform> sp;
  try {
    sp = std::make_unique<SdlPlatform>(so);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gravik: %s\n(run with --headless to play without a display)\n", e.what());
    return 1;
  }
  Platform p = sp->Get();
  p.splashPicture = EmbeddedSplash();
  ProgramOptions options = cl.program;
  options.game.startFullScreen = cl.fullscreen;
  // A game in a window is seeded from the clock, as every start is a new game.
  if (!cl.seedGiven) options.game.seed = uint64_t(std::time(nullptr)) ^ (uint64_t(getpid()) << 32);
  return RunProgram(p, options, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine cl;
  const int parsed = Parse(argc, argv, cl);
  if (parsed >= 0) return parsed;

  // A second copy of the game ends at once, without a window.
  const std::string exe = argc > 0 ? argv[0] : "gravik";
  InstanceLock lock(exe);
  if (!lock.Acquired()) return 0;
  cl.program.game.exeName = exe;

  try {
    return cl.headless ? RunHeadless(cl, exe.c_str()) : RunWindowed(cl, exe.c_str());
  } catch (const GameHalt& h) {
    return h.Status();
  }
}
