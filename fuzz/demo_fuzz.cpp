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
// Seeds: made by `mkres fuzzseeds` (the built-in demo, a short recording and
// cut copies; demo files are 86 KB and more, so none are kept here).
// Run: fuzz_demo_fuzz /tmp/gravik-seeds/demo_fuzz
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "data/Demo.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckFile(data, size);
  CheckRecorder(data, std::min<size_t>(size, 18000));
  return 0;
}
