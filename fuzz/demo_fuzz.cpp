// libFuzzer target: a demo file ("demo2.dem") from outside. The reader refuses
// it with its reason or gives a demo within its limits: the player's cell in
// the playfield, at most 2000 events, captions of at most 255 characters. A
// read demo is applied to a world as the game applies it, written again and
// read back the same.
//
// The same bytes also drive the recorder: they are taken as a run's standing
// frames (time since the movement reference, direction asked for) and the
// demo the recorder makes must fire every move on its frame under the
// playback rule.
//
// A demo the reader takes is then played in a headless game in-process, the
// same game for every input: a few hundred frames from the "DEMO" title card
// on. Nothing it does may end the program, and once the demo is over the main
// menu stays. The game needs the built data files: it takes "zqresource.dat"
// from $GRAVIK_FUZZ_DATA, or else from build/ beside the fuzzer's own folder.
//
// Seeds: made by `mkres fuzzseeds` (the built-in demo, a short recording and
// cut copies; demo files are 86 KB and more, so none are kept here).
// Run: fuzz_demo_fuzz /tmp/gravik-seeds/demo_fuzz
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "data/Archive.h"
#include "data/Demo.h"
#include "frame/Demo.h"
#include "frame/Form.h"
#include "app/Program.h"
#include "platform/Folders.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

using namespace gravik;

// A world applying a demo needs time, chance, sound and a state machine; here
// time stands still, nothing sounds and play never ends.
struct StillClock : Clock {
  uint32_t TickCount() override { return 1000; }
  uint64_t PerfCounter() override { return 1000; }
  uint64_t PerfFrequency() override { return 1000; }
  void SleepMs(uint32_t) override {}
};
struct Silence : SoundSink {
  void PlaySound(const std::string&) override {}
  void SetSoundVolume(const std::string&, int) override {}
  bool EffectsOn() const override { return false; }
  int EffectVolumeSetting() const override { return 0; }
};
struct EndlessPlay : StateHost {
  bool Playing() const override { return true; }
  void Report(WorldOutcome) override { __builtin_trap(); }  // applying a demo ends nothing
};

void CheckFile(const uint8_t* data, size_t size) {
  auto demo = std::make_unique<DemoFile>();
  std::string error;
  if (!ReadDemo(std::span(data, size), *demo, error)) {
    if (error.empty()) __builtin_trap();
    return;
  }
  const DemoSnapshot& s = demo->Snapshot;
  if (demo->Count > DemoEventSlots) __builtin_trap();
  if (s.PlayerX < 6 || s.PlayerX > 37 || s.PlayerY < 15 || s.PlayerY > MapHeight) __builtin_trap();
  for (const std::string& c : demo->Captions)
    if (c.size() > 255) __builtin_trap();
  // Every event the playback can reach, and the caption it may name.
  for (uint32_t k = 1; k <= demo->Count + 1; ++k) {
    const DemoEvent e = demo->Event(k);
    if (e.Kind == DemoCaptionEvent && demo->Caption(e.Value) && demo->Caption(e.Value)->size() > 255) __builtin_trap();
  }
  StillClock clock;
  RandomGenerator random(1);
  Silence sound;
  EndlessPlay host;
  auto world = std::make_unique<World>(clock, random, sound, host);
  ApplyDemoSnapshot(*world, s);
  ApplyDemoTiming(*world, s, 123456);
  if (world->Player.X != s.PlayerX || world->Player.Y != s.PlayerY) __builtin_trap();

  auto again = std::make_unique<DemoFile>();
  if (!ReadDemo(WriteDemo(*demo), *again, error)) __builtin_trap();
  if (again->Count != demo->Count || again->Captions != demo->Captions) __builtin_trap();
  for (int k = 0; k < DemoEventSlots; ++k) {
    const DemoEvent& a = demo->Events[size_t(k)];
    const DemoEvent& b = again->Events[size_t(k)];
    if (a.Time != b.Time || a.Kind != b.Kind || a.Value != b.Value) __builtin_trap();
  }
  if (again->Snapshot.Map != s.Map || again->Snapshot.Chips != s.Chips || again->Snapshot.Score != s.Score ||
      again->Snapshot.Timing.has_value() != s.Timing.has_value())
    __builtin_trap();
}

// Three bytes a standing frame: time step (0 = the reference set back to a
// few ms), direction asked for (0..4, more is none), caption marker.
void CheckRecorder(const uint8_t* data, size_t size) {
  struct Standing {
    uint32_t Elapsed;
    int Requested;
  };
  std::vector<Standing> frames;
  DemoRecording rec;
  rec.Begin(DemoSnapshot{});
  uint32_t elapsed = 0, playMs = 0;
  for (size_t i = 0; i + 3 <= size && frames.size() < 6000; i += 3) {
    elapsed = data[i] == 0 ? data[i + 2] % 8 : elapsed + data[i];
    playMs += 17;
    const int requested = data[i + 1] <= 4 ? data[i + 1] : 0;
    frames.push_back({elapsed, requested});
    rec.StandingFrame(elapsed, requested, playMs);
    if (data[i + 2] == 0xCA) rec.AddCaption(playMs, "caption");
  }
  const DemoFile d = rec.Finish();
  if (d.Count < 1 || d.Count > DemoEventSlots) __builtin_trap();
  // The playback rule over the same frames.
  std::map<size_t, int> fired, wanted;
  uint32_t k = 1;
  size_t f = 0;
  for (; f < frames.size(); ++f) {
    const DemoEvent e = d.Event(k);
    if (e.Time < 0 || int64_t(frames[f].Elapsed) >= e.Time) {
      if (e.Kind == DemoMoveEvent && e.Value) fired[f] = e.Value;
      if (++k >= d.Count) break;
    }
  }
  for (size_t i = 0; i < frames.size(); ++i)
    if (frames[i].Requested) wanted[i] = frames[i].Requested;
  // A run too long for the table keeps the moves that fit.
  if (d.Count < DemoEventSlots) {
    if (fired != wanted) __builtin_trap();
    if (!frames.empty() && f + 1 < frames.size() && f != frames.size()) __builtin_trap();
  } else {
    for (auto [frame, dir] : fired)
      if (wanted[frame] != dir) __builtin_trap();
  }
  std::vector<uint8_t> bytes = WriteDemo(d);
  auto back = std::make_unique<DemoFile>();
  std::string error;
  // The recorder's default snapshot has its player at (6, 16).
  if (!ReadDemo(bytes, *back, error)) __builtin_trap();
}

[[noreturn]] void Stop(const char* what) {
  std::fprintf(stderr, "demo_fuzz: %s\n", what);
  std::abort();
}

// The game the demos are played in: a private GRAVIK_HOME holding a link to
// the data files, the headless platform, the real start-up.
class PlayGround {
 public:
  PlayGround() {
    char shm[] = "/dev/shm/gravik-fuzz-demo-XXXXXX";
    char tmp[] = "/tmp/gravik-fuzz-demo-XXXXXX";
    const char* dir = mkdtemp(shm);
    if (!dir) dir = mkdtemp(tmp);
    if (!dir) Stop("no temporary folder");
    home_ = dir;
    setenv("GRAVIK_HOME", dir, 1);
    const std::string archive = DataSource() + "zqresource.dat";
    if (!FileExists(archive)) {
      std::fprintf(stderr, "demo_fuzz: %s is missing: build the data files (cmake --build build --target "
                   "data_files) or point GRAVIK_FUZZ_DATA at the folder holding them\n", archive.c_str());
      std::exit(1);
    }
    const std::string data = DataFolder(Folders());
    if (data.compare(0, home_.size(), home_) != 0) Stop("the data folder lies outside the temporary home");
    std::error_code ec;
    std::filesystem::create_directories(data, ec);
    std::filesystem::create_symlink(archive, data + "zqresource.dat", ec);
    if (ec) Stop("cannot link the archive");
    demoPath_ = home_ + "/input.dem";

    hp_ = std::make_unique<HeadlessPlatform>();
    hp_->shell.SetEcho(false);
    platform_ = std::make_unique<Platform>(hp_->Get());
    GameOptions o;
    o.headless = true;
    o.noMusic = o.noSound = true;
    game_ = std::make_unique<Game>(*platform_, o);
    form_ = std::make_unique<TForm1>(*game_);
    form_->FormCreate();
    InstallGameHandlers(*form_);
    try {
      form_->Timer1Timer();
    } catch (const std::exception& e) {
      Stop(e.what());
    }
    for (int i = 0; i < 30; ++i) Frame(17);
  }
  ~PlayGround() {
    form_.reset();
    game_.reset();
    hp_.reset();
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }

  void Play(const uint8_t* data, size_t size) {
    if (!WriteWholeFileAtomic(demoPath_, data, size)) Stop("cannot write the demo file");
    if (!BeginDemo(*form_, demoPath_)) {
      if (game_->world.DemoMode) Stop("a refused demo switched demo mode on");
      return;
    }
    // The frame step varies with the input, so demos run at more than one pace.
    const uint32_t step = 10 + data[size / 2] % 40;
    int played = 0;
    for (int i = 0; i < 2000 && game_->world.DemoMode; ++i) {
      const uint8_t state = State();
      // The title card is 4 s long; one frame jumps over it.
      Frame(state == gsLevelIntro ? 4001 : step);
      if (state == gsPlaying && ++played >= kPlayFrames) break;
    }
    if (game_->world.DemoMode) {
      if (!DemoState(State())) Stop("a demo reached a screen of its own");
      EndDemo(*form_);
    }
    // The demo is over: the main menu stays, and nothing wrote a profile.
    for (int i = 0; i < 3; ++i) {
      if (State() != gsMainMenu || game_->world.DemoMode) Stop("the main menu did not stay after the demo");
      Frame(17);
    }
    if (!FindFiles(game_->profile.Folder, "*.zqp").empty()) Stop("a demo wrote a profile");
  }

 private:
  static constexpr int kPlayFrames = 300;

  static std::string DataSource() {
    if (const char* d = std::getenv("GRAVIK_FUZZ_DATA"); d && *d) return IncludeTrailingSlash(d);
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "build/";
    exe[n] = 0;
    return IncludeTrailingSlash(ExtractFileDir(ExtractFileDir(exe))) + "build/";
  }
  uint8_t State() const { return game_->frame.GameState; }
  void Frame(uint32_t ms) {
    hp_->clock.Advance(uint64_t(ms) * 1000);
    try {
      form_->DXTimerTimer();
    } catch (const std::exception& e) {
      Stop(e.what());  // a fatal error ends the program: no demo may cause one
    } catch (...) {
      Stop("the game halted");
    }
  }

  std::string home_, demoPath_;
  std::unique_ptr<HeadlessPlatform> hp_;
  std::unique_ptr<Platform> platform_;
  std::unique_ptr<Game> game_;
  std::unique_ptr<TForm1> form_;
};

PlayGround& Ground() {
  static PlayGround* ground = new PlayGround();  // kept to the end of the run
  return *ground;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Ground();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckFile(data, size);
  CheckRecorder(data, std::min<size_t>(size, 18000));
  if (size > 0) Ground().Play(data, size);
  return 0;
}
