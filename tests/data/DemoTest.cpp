// The demo file: its layout, what the reader refuses, and the recorder's event
// times checked against the firing rule of playback.
#include <gtest/gtest.h>

#include <map>

#include "base/Bytes.h"
#include "data/Demo.h"

namespace gravik {
namespace {

DemoFile SmallDemo() {
  DemoFile d;
  d.Count = 3;
  d.Events[0] = {-1, DemoMoveEvent, DirRight};
  d.Events[1] = {1500, DemoCaptionEvent, 7};
  d.Captions[6] = "Seventh caption";
  d.Snapshot.PlayerX = 7;
  d.Snapshot.PlayerY = 17;
  d.Snapshot.Map[100] = 42;
  d.Snapshot.Cells[5].AnimTime = 123456;
  d.Snapshot.Cells[5].Motion = 3;
  d.Snapshot.Score = 99;
  d.Snapshot.Collected = 4;
  d.Snapshot.DiamondsLeft = 11;
  d.Snapshot.Monsters[2].PixelX = 320.5;
  d.Snapshot.Monsters[2].HatchTime = 777;
  d.Snapshot.Monsters[2].Moving = 1;
  d.Snapshot.Chips[MapCells - 1] = 200;
  return d;
}

TEST(DemoFileTest, WritesTheLayoutAndReadsItBack) {
  DemoFile d = SmallDemo();
  DemoTiming t;
  t.Clock = 5000;
  t.RandomState = 0x1122334455667788ull;
  t.IdleAge = 4100;
  t.LastWalkAge = 12.5;
  t.StepsTaken = 3;
  d.Snapshot.Timing = t;
  const std::vector<uint8_t> bytes = WriteDemo(d);
  ASSERT_EQ(bytes.size(), DemoSnapshotOffset + DemoSnapshotSize + 98);
  EXPECT_EQ(GetU32(bytes.data()), 3u);
  // Event 2 at 4 + 1 x 8: time, kind, value; caption 7 at 16008 + 6 x 264.
  EXPECT_EQ(int32_t(GetU32(&bytes[12])), 1500);
  EXPECT_EQ(bytes[16], DemoCaptionEvent);
  EXPECT_EQ(bytes[17], 7);
  EXPECT_EQ(bytes[16008 + 6 * 264], 15);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[16008 + 6 * 264 + 1]), 15), "Seventh caption");
  // The length is the described snapshot's; the timing block follows it.
  EXPECT_EQ(GetU32(&bytes[42409]), DemoSnapshotSize);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[DemoSnapshotOffset + DemoSnapshotSize]), 4), "GRVT");
  EXPECT_EQ(bytes[DemoSnapshotOffset + 100], 42);

  DemoFile r;
  std::string error;
  ASSERT_TRUE(ReadDemo(bytes, r, error)) << error;
  EXPECT_EQ(r.Count, 3u);
  EXPECT_EQ(r.Event(1).Time, -1);
  EXPECT_EQ(r.Event(2).Value, 7);
  EXPECT_EQ(r.Event(0).Kind, 0);     // outside the table
  EXPECT_EQ(r.Event(2001).Kind, 0);
  ASSERT_NE(r.Caption(7), nullptr);
  EXPECT_EQ(*r.Caption(7), "Seventh caption");
  EXPECT_EQ(r.Caption(0), nullptr);
  EXPECT_EQ(r.Caption(101), nullptr);
  const DemoSnapshot& s = r.Snapshot;
  EXPECT_EQ(s.PlayerX, 7);
  EXPECT_EQ(s.PlayerY, 17);
  EXPECT_EQ(s.Cells[5].AnimTime, 123456u);
  EXPECT_EQ(s.Cells[5].Motion, 3);
  EXPECT_EQ(s.Score, 99);
  EXPECT_EQ(s.Collected, 4);
  EXPECT_EQ(s.DiamondsLeft, 11);
  EXPECT_EQ(s.Monsters[2].PixelX, 320.5);
  EXPECT_EQ(s.Monsters[2].HatchTime, 777u);
  EXPECT_EQ(s.Monsters[2].Moving, 1);
  EXPECT_EQ(s.Chips[MapCells - 1], 200);
  ASSERT_TRUE(s.Timing.has_value());
  EXPECT_EQ(s.Timing->RandomState, 0x1122334455667788ull);
  EXPECT_EQ(s.Timing->IdleAge, 4100u);
  EXPECT_EQ(s.Timing->LastWalkAge, 12.5);
  EXPECT_EQ(s.Timing->StepsTaken, 3);

  // A longer snapshot than described: the block is found behind its length.
  std::vector<uint8_t> longer(bytes.begin(), bytes.begin() + long(DemoSnapshotOffset + DemoSnapshotSize));
  longer.insert(longer.end(), 7, 0xAB);
  longer.insert(longer.end(), bytes.begin() + long(DemoSnapshotOffset + DemoSnapshotSize), bytes.end());
  PutU32(&longer[42409], uint32_t(DemoSnapshotSize + 7));
  ASSERT_TRUE(ReadDemo(longer, r, error)) << error;
  ASSERT_TRUE(r.Snapshot.Timing.has_value());
  EXPECT_EQ(r.Snapshot.Timing->IdleAge, 4100u);
}

TEST(DemoFileTest, DamagedFilesAreRefusedOrMended) {
  std::vector<uint8_t> good = WriteDemo(SmallDemo());
  DemoFile r;
  std::string error;
  // Too short for the tables, or for the snapshot it announces.
  EXPECT_FALSE(ReadDemo(std::span(good.data(), DemoSnapshotOffset - 1), r, error));
  EXPECT_FALSE(ReadDemo(std::span(good.data(), good.size() - 1), r, error));
  std::vector<uint8_t> b = good;
  PutU32(&b[42409], uint32_t(DemoSnapshotSize - 1));
  EXPECT_FALSE(ReadDemo(b, r, error)) << "a snapshot shorter than its fields";
  b = good;
  PutU32(&b[42409], 0xFFFFFFFFu);
  EXPECT_FALSE(ReadDemo(b, r, error));
  // The player's cell must lie in the playfield.
  for (auto [x, y] : {std::pair{5, 20}, {38, 20}, {10, 14}, {10, 75}}) {
    DemoFile d = SmallDemo();
    d.Snapshot.PlayerX = x;
    d.Snapshot.PlayerY = y;
    EXPECT_FALSE(ReadDemo(WriteDemo(d), r, error)) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{6, 15}, {37, 74}}) {
    DemoFile d = SmallDemo();
    d.Snapshot.PlayerX = x;
    d.Snapshot.PlayerY = y;
    EXPECT_TRUE(ReadDemo(WriteDemo(d), r, error)) << x << "," << y;
  }
  // A huge event count is held to the table; a file without the timing block
  // (or with a cut one) plays as described.
  b = good;
  PutU32(&b[0], 0x7FFFFFFFu);
  ASSERT_TRUE(ReadDemo(b, r, error));
  EXPECT_EQ(r.Count, uint32_t(DemoEventSlots));
  b.resize(DemoSnapshotOffset + DemoSnapshotSize);
  PutU32(&b[42409], uint32_t(DemoSnapshotSize));
  ASSERT_TRUE(ReadDemo(b, r, error));
  EXPECT_FALSE(r.Snapshot.Timing.has_value());
}

// The reader's rule: on each standing frame, event k fires when its time is
// negative or the time since the reference reached it; the demo ends when k
// reaches the count. Returns frame -> direction for the moves that fired and
// the frames a caption was pending after.
struct Playback {
  std::map<size_t, int> Moves;
  std::map<size_t, int> CaptionAfter;  // frame -> caption number pending after it
  size_t EndFrame = SIZE_MAX;
};
struct Standing {
  uint32_t Elapsed;
  int Requested;
  uint32_t PlayMs;
};
Playback Play(const DemoFile& d, const std::vector<Standing>& frames) {
  Playback p;
  uint32_t k = 1;
  for (size_t f = 0; f < frames.size(); ++f) {
    const DemoEvent e = d.Event(k);
    if (e.Time < 0 || int64_t(frames[f].Elapsed) >= e.Time) {
      if (e.Kind == DemoMoveEvent && e.Value) p.Moves[f] = e.Value;
      if (++k >= d.Count) {
        p.EndFrame = f;
        break;
      }
    }
    const DemoEvent next = d.Event(k);
    if (k > 1 && next.Kind == DemoCaptionEvent) p.CaptionAfter[f] = next.Value;
  }
  return p;
}

TEST(DemoRecordingTest, MovesFireOnTheirFramesEvenAcrossIdleResets) {
  // Standing frames of a run: moves at frames 0, 5 and 30. Between 5 and 30
  // the idle animation sets the reference back twice (6000 -> 2001).
  std::vector<Standing> frames;
  auto add = [&](uint32_t e, int r) { frames.push_back({e, r, uint32_t(frames.size() * 250)}); };
  add(0, DirRight);
  for (uint32_t e : {17u, 34u, 51u, 68u}) add(e, 0);
  add(85, DirDown);
  for (uint32_t e : {1000u, 3000u, 5900u, 6010u, 2001u, 4000u, 6005u, 2001u, 3000u}) add(e, 0);
  add(2500, DirLeft);  // below the earlier peaks of this wait
  for (uint32_t e : {17u, 34u}) add(e, 0);
  add(51, DirUp);
  add(68, 0);
  DemoRecording rec;
  rec.Begin(DemoSnapshot{});
  for (const Standing& s : frames) rec.StandingFrame(s.Elapsed, s.Requested, s.PlayMs);
  rec.AddCaption(1500, "after the first moves");  // frame 6 is the first at 1500 ms
  std::vector<std::string> notes;
  const DemoFile d = rec.Finish(&notes);
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(d.Events[0].Time, -1) << "the first frame's move fires at once";

  const Playback p = Play(d, frames);
  std::map<size_t, int> expected;
  for (size_t f = 0; f < frames.size(); ++f)
    if (frames[f].Requested) expected[f] = frames[f].Requested;
  EXPECT_EQ(p.Moves, expected);
  // A playback clock a few milliseconds apart fires them on the same frames.
  for (int jitter : {-3, 3}) {
    std::vector<Standing> shifted = frames;
    for (size_t f = 0; f < shifted.size(); ++f)
      shifted[f].Elapsed = uint32_t(std::max<int64_t>(0, int64_t(shifted[f].Elapsed) + (f % 2 ? jitter : -jitter)));
    EXPECT_EQ(Play(d, shifted).Moves, expected) << "jitter " << jitter;
  }
  EXPECT_EQ(p.EndFrame, frames.size() - 1) << "the demo ends on the run's last standing frame";
  // The caption asked for at 1500 ms (frame 6) shows from the move just before
  // (frame 5) until the idle animation first sets the reference back (frame 9):
  // it cannot wait longer without an event before it.
  ASSERT_EQ(*d.Caption(1), "after the first moves");
  std::vector<size_t> shown;
  for (auto [f, n] : p.CaptionAfter) {
    EXPECT_EQ(n, 1);
    shown.push_back(f);
  }
  EXPECT_EQ(shown, (std::vector<size_t>{5, 6, 7, 8}));
}

TEST(DemoRecordingTest, ARunEndingInMotionEndsAtTheNextChanceAndCaptionsAreParsed) {
  DemoRecording rec;
  rec.Begin(DemoSnapshot{});
  rec.StandingFrame(10, 0, 0);
  rec.StandingFrame(20, DirRight, 16);
  std::string error;
  ASSERT_TRUE(ParseDemoCaptions("# comment\n\n0 Hello there\r\n5000\tlate\n", rec, error)) << error;
  std::vector<std::string> notes;
  const DemoFile d = rec.Finish(&notes);
  // Event 1 the move (timed), event 2 the end at the first chance, never event 3.
  EXPECT_EQ(d.Count, 3u);
  EXPECT_EQ(d.Events[0].Value, DirRight);
  EXPECT_GT(d.Events[0].Time, 10);  // after the frame before, by the frame's time
  EXPECT_LE(d.Events[0].Time, 20);
  EXPECT_EQ(d.Events[1].Time, -1);
  // Neither caption has a standing frame to show on before the move.
  EXPECT_EQ(notes.size(), 2u);
  DemoRecording bad;
  EXPECT_FALSE(ParseDemoCaptions("12 fine\nnot a time\n", bad, error));
  EXPECT_NE(error.find("line 2"), std::string::npos);
  EXPECT_FALSE(ParseDemoCaptions("12\n", bad, error));
}

}  // namespace
}  // namespace gravik
