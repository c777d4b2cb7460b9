// Gravik 2 in a web page: the program, driven by the browser's frame callback.
// The page (web/gravik-page.js) has mounted the player's stored folders and
// loaded the data files before main runs.
#include <emscripten.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Text.h"
#include "app/Program.h"
#include "platform/web/WebPlatform.h"

using namespace gravik;

namespace {

// Where the page puts the data files: the program's own folder.
constexpr char kProgramPath[] = "/gravik/gravik";

struct WebRun {
  std::unique_ptr<WebPlatform> platform;
  std::unique_ptr<Platform> p;
  std::unique_ptr<ProgramRun> program;
  int status = -1;
  // Milliseconds of the game's own work per pass, since the last reset.
  std::vector<float> passMs;
};

WebRun* g_run = nullptr;

CalendarDate Today() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return CalendarDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

void Finish(int status) {
  g_run->status = status;
  emscripten_cancel_main_loop();
  EM_ASM({ Module.gravikPage.ended($0); }, status);
}

void Frame() {
  if (!g_run || g_run->status >= 0) return;
  const double t0 = emscripten_get_now();
  const int status = g_run->program->Pass(nullptr);
  const double t1 = emscripten_get_now();
  if (g_run->passMs.size() < 100000) g_run->passMs.push_back(float(t1 - t0));
  EM_ASM({ Module.gravikPage.afterFrame(); });  // stores what the pass saved
  if (status >= 0) Finish(status);
}

}  // namespace

int main(int argc, char** argv) {
  // The runtime's process starts with a umask of 0777, so a new file would be
  // created unreadable (and unreadable after a reload); give it the usual one.
  umask(022);
  ProgramOptions options;
  options.game.today = Today();
  options.game.exeName = kProgramPath;
  options.game.seed = uint64_t(emscripten_get_now() * 1000.0) ^ uint64_t(std::time(nullptr));
  // The page passes its address's switches (?-nosound&-nomusic) as arguments.
  for (int i = 1; i < argc; ++i) {
    if (SameText(argv[i], "-nosound")) options.game.noSound = true;
    if (SameText(argv[i], "-nomusic")) options.game.noMusic = true;
  }

  g_run = new WebRun;  // lives as long as the page
  try {
    g_run->platform = std::make_unique<WebPlatform>(kProgramPath);
    g_run->p = std::make_unique<Platform>(g_run->platform->Get());
    g_run->program = std::make_unique<ProgramRun>(*g_run->p, options);
  } catch (const GameHalt& h) {
    Finish(h.Status());
    return 0;
  } catch (const std::exception& e) {
    if (g_run->platform) g_run->platform->shell.ShowError("Gravik 2", e.what());
    Finish(1);
    return 0;
  }
  EM_ASM({ Module.gravikPage.started(); });
  emscripten_set_main_loop(Frame, 0, 0);
  return 0;
}

// ---------------------------------------------------------------------------
// The page's events.

namespace {
WebInput* Input() { return g_run && g_run->platform ? &g_run->platform->input : nullptr; }
}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void gravik_web_key(int down, int hid, int keyChar, int shift, int repeat) {
  if (WebInput* in = Input()) in->Key(down != 0, hid, keyChar, uint8_t(shift), repeat != 0);
}

EMSCRIPTEN_KEEPALIVE void gravik_web_text(int codepoint) {
  if (WebInput* in = Input()) in->Text(uint32_t(codepoint));
}

// type: 0 move, 1 down, 2 up, 3 pointer entered, 4 pointer left.
EMSCRIPTEN_KEEPALIVE void gravik_web_mouse(int type, int x, int y, int button, int shift) {
  WebInput* in = Input();
  if (!in) return;
  switch (type) {
    case 0: in->Mouse(InputEventType::MouseMove, x, y, 0, uint8_t(shift)); break;
    case 1: in->Mouse(InputEventType::MouseDown, x, y, button, uint8_t(shift)); break;
    case 2: in->Mouse(InputEventType::MouseUp, x, y, button, uint8_t(shift)); break;
    case 3: in->PointerInside(true); break;
    case 4: in->PointerInside(false); break;
    default: break;
  }
}

EMSCRIPTEN_KEEPALIVE void gravik_web_wheel(int direction) {
  if (WebInput* in = Input()) in->Wheel(direction);
}

EMSCRIPTEN_KEEPALIVE void gravik_web_focus(int gained) {
  if (WebInput* in = Input()) in->Focus(gained != 0);
}

EMSCRIPTEN_KEEPALIVE void gravik_web_audio_fill(float* left, float* right, int frames) {
  if (g_run && g_run->platform) g_run->platform->audio.Fill(left, right, frames);
}

// --- read-outs for the page's own checks and the browser test --------------

// The screen state, or -1 before the game runs.
EMSCRIPTEN_KEEPALIVE int gravik_web_state() {
  return g_run && g_run->program ? int(g_run->program->game().frame.GameState) : -1;
}

EMSCRIPTEN_KEEPALIVE int gravik_web_score() {
  return g_run && g_run->program ? int(g_run->program->game().world.Count.Score) : 0;
}

// The joystick as the game reads it: present, x, y, buttons (out[0..3]).
EMSCRIPTEN_KEEPALIVE void gravik_web_joystick(int* out) {
  JoystickState j;
  if (WebInput* in = Input()) j = in->Joystick();
  out[0] = j.present ? 1 : 0;
  out[1] = int(j.x);
  out[2] = int(j.y);
  out[3] = j.buttons;
}

// Largest absolute sample the mixer produced since the last call.
EMSCRIPTEN_KEEPALIVE int gravik_web_audio_peak() {
  return g_run && g_run->platform ? g_run->platform->audio.TakePeak() : 0;
}

// Pass timings: reset, then the count, the median, the worst and the 99th
// percentile in microseconds (out[0..3]).
EMSCRIPTEN_KEEPALIVE void gravik_web_timing_reset() {
  if (g_run) g_run->passMs.clear();
}

EMSCRIPTEN_KEEPALIVE void gravik_web_timing(int* out) {
  out[0] = out[1] = out[2] = out[3] = 0;
  if (!g_run || g_run->passMs.empty()) return;
  std::vector<float> v = g_run->passMs;
  std::sort(v.begin(), v.end());
  out[0] = int(v.size());
  out[1] = int(v[v.size() / 2] * 1000.0f);
  out[2] = int(v.back() * 1000.0f);
  out[3] = int(v[v.size() * 99 / 100] * 1000.0f);
}

}  // extern "C"
