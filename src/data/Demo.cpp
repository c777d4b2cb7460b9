#include "data/Demo.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "base/Bytes.h"
#include "world/Player.h"

namespace gravik {

namespace {

constexpr size_t kEventsOffset = 4;
constexpr size_t kCaptionsOffset = 16008;
constexpr size_t kSnapshotLengthOffset = 42409;
constexpr char kTimingTag[4] = {'G', 'R', 'V', 'T'};

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : r_(p, n) {}
  bool Ok() const { return ok_; }
  size_t Left() const { return r_.Left(); }
  uint8_t U8() {
    uint8_t v = 0;
    ok_ = ok_ && r_.U8(v);
    return v;
  }
  uint32_t U32() {
    uint32_t v = 0;
    ok_ = ok_ && r_.U32(v);
    return v;
  }
  int32_t I32() { return int32_t(U32()); }
  uint64_t U64() {
    const uint64_t lo = U32();
    return lo | (uint64_t(U32()) << 32);
  }
  double F64() {
    const uint64_t bits = U64();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  void Bytes(void* out, size_t n) { ok_ = ok_ && r_.Bytes(out, n); }
  void Skip(size_t n) { ok_ = ok_ && r_.Skip(n); }

 private:
  ByteReader r_;
  bool ok_ = true;
};

class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& out) : w_(out) {}
  void U8(uint8_t v) { w_.U8(v); }
  void U32(uint32_t v) { w_.U32(v); }
  void I32(int32_t v) { w_.U32(uint32_t(v)); }
  void U64(uint64_t v) {
    w_.U32(uint32_t(v));
    w_.U32(uint32_t(v >> 32));
  }
  void F64(double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    U64(bits);
  }
  void Bytes(const void* p, size_t n) { w_.Bytes(p, n); }
  void Zeros(size_t n) {
    for (size_t i = 0; i < n; ++i) w_.U8(0);
  }

 private:
  ByteWriter w_;
};

void ReadMonster(Reader& r, DemoMonster& m) {
  m.HitSide = r.U8();
  m.BoxX = r.F64();
  m.BoxY = r.F64();
  m.PixelX = r.F64();
  m.PixelY = r.F64();
  m.AnimTime = r.U32();
  m.HatchTime = r.U32();
  m.X = r.I32();
  m.Y = r.I32();
  m.Frame = r.I32();
  m.Direction = r.I32();
  m.Wait = r.I32();
  m.Distance = r.F64();
  m.Moving = r.U8();
}

void WriteMonster(Writer& w, const DemoMonster& m) {
  w.U8(m.HitSide);
  w.F64(m.BoxX);
  w.F64(m.BoxY);
  w.F64(m.PixelX);
  w.F64(m.PixelY);
  w.U32(m.AnimTime);
  w.U32(m.HatchTime);
  w.I32(m.X);
  w.I32(m.Y);
  w.I32(m.Frame);
  w.I32(m.Direction);
  w.I32(m.Wait);
  w.F64(m.Distance);
  w.U8(m.Moving);
}

void ReadTiming(Reader& r, DemoTiming& t) {
  t.Clock = r.U32();
  t.RandomState = r.U64();
  t.LevelRandomA = r.I32();
  t.LevelRandomB = r.I32();
  t.IdleAge = r.U32();
  t.LastBlockPassAge = r.U32();
  t.FrameTimeAge = r.U32();
  t.LevelClockAge = r.U32();
  t.LastWalkAge = r.F64();
  for (int32_t* v : {&t.Pattern, &t.WalkPos, &t.LastDirection, &t.IdleCycles, &t.IdlePos, &t.SettleDelay,
                     &t.StepsTaken})
    *v = r.I32();
  t.KeyUsed = r.U8();
  t.RecountTargets = r.U8();
  for (int32_t* v : {&t.EarthLeft, &t.MonstersLeft, &t.TransportersLeft, &t.PuzzlePiecesLeft, &t.EndCharsLeft})
    *v = r.I32();
}

void WriteTiming(Writer& w, const DemoTiming& t) {
  w.Bytes(kTimingTag, 4);
  w.U32(t.Clock);
  w.U64(t.RandomState);
  w.I32(t.LevelRandomA);
  w.I32(t.LevelRandomB);
  w.U32(t.IdleAge);
  w.U32(t.LastBlockPassAge);
  w.U32(t.FrameTimeAge);
  w.U32(t.LevelClockAge);
  w.F64(t.LastWalkAge);
  for (int32_t v : {t.Pattern, t.WalkPos, t.LastDirection, t.IdleCycles, t.IdlePos, t.SettleDelay, t.StepsTaken})
    w.I32(v);
  w.U8(t.KeyUsed);
  w.U8(t.RecountTargets);
  for (int32_t v : {t.EarthLeft, t.MonstersLeft, t.TransportersLeft, t.PuzzlePiecesLeft, t.EndCharsLeft}) w.I32(v);
}

bool ReadSnapshot(Reader& r, DemoSnapshot& s) {
  r.Bytes(s.Map.data(), s.Map.size());
  s.DeathSound = r.I32();
  s.PlayerX = r.I32();
  s.PlayerY = r.I32();
  s.DiamondTimer = r.U32();
  s.KeyTimer = r.U32();
  s.SkullTimer = r.U32();
  for (CellState& c : s.Cells) {
    c.Frame = r.U8();
    r.Skip(3);
    c.AnimTime = r.U32();
    c.AnimFlag = r.U8();
    c.Motion = r.U8();
    c.PrevMotion = r.U8();
    r.Skip(1);
  }
  s.Score = r.I32();
  r.I32();  // the first copy of the collected count
  s.DiamondsLeft = r.I32();
  s.Collected = r.I32();
  s.GameState = r.U8();
  for (DemoMonster& m : s.Monsters) ReadMonster(r, m);
  r.Bytes(s.Chips.data(), s.Chips.size());
  return r.Ok();
}

// A recording made here carries its timing block right behind the snapshot.
std::optional<DemoTiming> ReadTimingBlock(Reader& r) {
  if (r.Left() < 4) return std::nullopt;
  char tag[4];
  r.Bytes(tag, 4);
  if (std::memcmp(tag, kTimingTag, 4) != 0) return std::nullopt;
  DemoTiming t;
  ReadTiming(r, t);
  if (!r.Ok()) return std::nullopt;
  return t;
}

void WriteSnapshot(Writer& w, const DemoSnapshot& s) {
  w.Bytes(s.Map.data(), s.Map.size());
  w.I32(s.DeathSound);
  w.I32(s.PlayerX);
  w.I32(s.PlayerY);
  w.U32(s.DiamondTimer);
  w.U32(s.KeyTimer);
  w.U32(s.SkullTimer);
  for (const CellState& c : s.Cells) {
    w.U8(c.Frame);
    w.Zeros(3);
    w.U32(c.AnimTime);
    w.U8(c.AnimFlag);
    w.U8(c.Motion);
    w.U8(c.PrevMotion);
    w.Zeros(1);
  }
  w.I32(s.Score);
  w.I32(s.Collected);
  w.I32(s.DiamondsLeft);
  w.I32(s.Collected);
  w.U8(s.GameState);
  for (const DemoMonster& m : s.Monsters) WriteMonster(w, m);
  w.Bytes(s.Chips.data(), s.Chips.size());
}

}  // namespace

bool ReadDemo(std::span<const uint8_t> bytes, DemoFile& out, std::string& error) {
  out = DemoFile{};
  if (bytes.size() < DemoSnapshotOffset) {
    error = "the demo file is too short for its event and caption tables";
    return false;
  }
  const uint8_t* p = bytes.data();
  out.Count = std::min<uint32_t>(GetU32(p), DemoEventSlots);
  for (int k = 0; k < DemoEventSlots; ++k) {
    const uint8_t* e = p + kEventsOffset + size_t(k) * 8;
    out.Events[size_t(k)] = DemoEvent{int32_t(GetU32(e)), e[4], e[5]};
  }
  for (int n = 0; n < DemoCaptionSlots; ++n) {
    const uint8_t* c = p + kCaptionsOffset + size_t(n) * DemoCaptionSize;
    out.Captions[size_t(n)].assign(reinterpret_cast<const char*>(c + 1), c[0]);
  }
  const uint32_t length = GetU32(p + kSnapshotLengthOffset);
  const size_t available = bytes.size() - DemoSnapshotOffset;
  if (length < DemoSnapshotSize || length > available) {
    error = "the demo's snapshot is short";
    return false;
  }
  Reader r(p + DemoSnapshotOffset, length);
  if (!ReadSnapshot(r, out.Snapshot)) {
    error = "the demo's snapshot is short";
    return false;
  }
  Reader after(p + DemoSnapshotOffset + length, available - length);
  out.Snapshot.Timing = ReadTimingBlock(after);
  const DemoSnapshot& s = out.Snapshot;
  if (s.PlayerX < 6 || s.PlayerX > 37 || s.PlayerY < 15 || s.PlayerY > MapHeight) {
    error = "the demo's player cell lies outside the playfield";
    return false;
  }
  return true;
}

std::vector<uint8_t> WriteDemo(const DemoFile& demo) {
  std::vector<uint8_t> out;
  Writer w(out);
  w.U32(std::min<uint32_t>(demo.Count, DemoEventSlots));
  for (const DemoEvent& e : demo.Events) {
    w.I32(e.Time);
    w.U8(e.Kind);
    w.U8(e.Value);
    w.Zeros(2);
  }
  w.Zeros(4);
  for (const std::string& c : demo.Captions) {
    const size_t n = std::min<size_t>(c.size(), 255);
    w.U8(uint8_t(n));
    w.Bytes(c.data(), n);
    w.Zeros(DemoCaptionSize - 1 - n);
  }
  w.Zeros(1);
  std::vector<uint8_t> snapshot;
  Writer sw(snapshot);
  WriteSnapshot(sw, demo.Snapshot);
  w.U32(uint32_t(snapshot.size()));
  w.Bytes(snapshot.data(), snapshot.size());
  // Outside the snapshot's length: readers that do not know it never see it.
  if (demo.Snapshot.Timing) WriteTiming(w, *demo.Snapshot.Timing);
  return out;
}

DemoSnapshot TakeDemoSnapshot(const World& w, const std::array<uint8_t, MapCells>& chips, uint8_t gameState) {
  DemoSnapshot s;
  s.Map = w.Map;
  s.PlayerX = w.Player.X;
  s.PlayerY = w.Player.Y;
  s.DiamondTimer = w.DiamondTimer;
  s.KeyTimer = w.KeyTimer;
  s.SkullTimer = w.SkullTimer;
  s.Cells = w.Cells;
  s.Score = w.Count.Score;
  s.Collected = w.Count.DiamondsCollected;
  s.DiamondsLeft = w.Count.DiamondsLeft;
  s.GameState = gameState;
  for (int i = 0; i < MonsterSlots; ++i) {
    const TMonster& m = w.Monsters[size_t(i)];
    s.Monsters[size_t(i)] = DemoMonster{m.HitSide, m.BoxX,     m.BoxY, m.PixelX, m.PixelY,   m.AnimTime, m.HatchTime,
                                        m.X,       m.Y,        m.Frame, m.Direction, m.Wait, m.Distance, m.Moving};
  }
  s.Chips = chips;
  DemoTiming t;
  const uint32_t now = w.Now();
  const PlayerState& p = w.Player;
  t.Clock = now;
  t.RandomState = w.Random().State();
  t.LevelRandomA = w.Rng.A;
  t.LevelRandomB = w.Rng.B;
  t.IdleAge = now - p.IdleRef;
  t.LastBlockPassAge = now - w.LastBlockPass;
  t.FrameTimeAge = now - w.FrameTime;
  t.LastWalkAge = double(now) - p.LastWalkFrame;
  t.Pattern = p.Pattern;
  t.WalkPos = p.WalkPos;
  t.LastDirection = p.LastDirection;
  t.IdleCycles = p.IdleCycles;
  t.IdlePos = p.IdlePos;
  t.SettleDelay = p.SettleDelay;
  t.StepsTaken = p.StepsTaken;
  t.KeyUsed = w.KeyUsed;
  t.RecountTargets = w.RecountTargets;
  t.EarthLeft = w.Count.EarthLeft;
  t.MonstersLeft = w.Count.MonstersLeft;
  t.TransportersLeft = w.Count.TransportersLeft;
  t.PuzzlePiecesLeft = w.Count.PuzzlePiecesLeft;
  t.EndCharsLeft = w.Count.EndCharsLeft;
  s.Timing = t;
  return s;
}

void ApplyDemoSnapshot(World& w, const DemoSnapshot& s) {
  w.Map = s.Map;
  w.DiamondTimer = s.DiamondTimer;
  w.KeyTimer = s.KeyTimer;
  w.SkullTimer = s.SkullTimer;
  w.Cells = s.Cells;
  w.Count.Score = s.Score;
  w.Count.DiamondsLeft = s.DiamondsLeft;
  w.Count.DiamondsCollected = s.Collected;
  for (int i = 0; i < MonsterSlots; ++i) {
    TMonster& m = w.Monsters[size_t(i)];
    const DemoMonster& d = s.Monsters[size_t(i)];
    m.HitSide = d.HitSide;
    m.BoxX = d.BoxX;
    m.BoxY = d.BoxY;
    m.PixelX = d.PixelX;
    m.PixelY = d.PixelY;
    m.AnimTime = d.AnimTime;
    m.HatchTime = d.HatchTime;
    m.X = d.X;
    m.Y = d.Y;
    m.Frame = d.Frame;
    m.AnimToggle = d.Frame;
    m.Direction = d.Direction;
    m.Wait = d.Wait;
    m.Distance = d.Distance;
    m.Moving = d.Moving;
    m.PendingDirection = 0;
    m.TargetX = d.PixelX + 64.0 * DirDX(d.Direction);
    m.TargetY = d.PixelY + 64.0 * DirDY(d.Direction);
    m.Visible = m.State == 2;
  }
  PlacePlayer(w, s.PlayerX, s.PlayerY);
}

uint32_t ApplyDemoTiming(World& w, const DemoSnapshot& s, uint32_t now) {
  if (!s.Timing) return now;
  const DemoTiming& t = *s.Timing;
  const uint32_t shift = now - t.Clock;
  w.DiamondTimer = s.DiamondTimer + shift;
  w.KeyTimer = s.KeyTimer + shift;
  w.SkullTimer = s.SkullTimer + shift;
  for (size_t i = 0; i < w.Cells.size(); ++i) w.Cells[i].AnimTime = s.Cells[i].AnimTime + shift;
  for (int i = 0; i < MonsterSlots; ++i) {
    w.Monsters[size_t(i)].AnimTime = s.Monsters[size_t(i)].AnimTime + shift;
    w.Monsters[size_t(i)].HatchTime = s.Monsters[size_t(i)].HatchTime + shift;
  }
  w.Random().SetState(t.RandomState);
  w.Rng.A = t.LevelRandomA;
  w.Rng.B = t.LevelRandomB;
  PlayerState& p = w.Player;
  p.IdleRef = now - t.IdleAge;
  w.LastBlockPass = now - t.LastBlockPassAge;
  w.FrameTime = now - t.FrameTimeAge;
  p.LastWalkFrame = double(now) - t.LastWalkAge;
  p.Pattern = t.Pattern;
  p.WalkPos = t.WalkPos;
  p.LastDirection = t.LastDirection;
  p.IdleCycles = t.IdleCycles;
  p.IdlePos = t.IdlePos;
  p.SettleDelay = t.SettleDelay;
  p.StepsTaken = t.StepsTaken;
  w.KeyUsed = t.KeyUsed;
  w.RecountTargets = t.RecountTargets;
  w.Count.EarthLeft = t.EarthLeft;
  w.Count.MonstersLeft = t.MonstersLeft;
  w.Count.TransportersLeft = t.TransportersLeft;
  w.Count.PuzzlePiecesLeft = t.PuzzlePiecesLeft;
  w.Count.EndCharsLeft = t.EndCharsLeft;
  return now - t.LevelClockAge;
}

// --- recording --------------------------------------------------------------

void DemoRecording::Begin(const DemoSnapshot& snapshot) {
  started_ = true;
  snapshot_ = snapshot;
  frames_.clear();
}

void DemoRecording::StandingFrame(uint32_t sinceReference, int requested, uint32_t playMs) {
  if (!started_) return;
  frames_.push_back(Frame{int64_t(sinceReference), uint8_t(requested), playMs});
}

void DemoRecording::AddCaption(uint32_t playMs, std::string text) {
  if (text.size() > 255) text.resize(255);
  captions_.push_back(Caption{playMs, std::move(text)});
}

DemoFile DemoRecording::Finish(std::vector<std::string>* notes) const {
  auto note = [notes](const std::string& s) {
    if (notes) notes->push_back(s);
  };
  struct Target {
    size_t Frame;
    uint8_t Kind, Value;
  };
  const size_t n = frames_.size();
  std::vector<Target> targets;
  std::vector<bool> taken(n, false);
  for (size_t i = 0; i < n; ++i)
    if (frames_[i].Requested) {
      targets.push_back({i, DemoMoveEvent, frames_[i].Requested});
      taken[i] = true;
    }

  DemoFile demo;
  demo.Snapshot = snapshot_;
  // Captions: a move of direction 0 where the caption is to appear (unless an
  // event fires there or just before), then the caption itself, which shows
  // until it fires, before the next move or the next caption.
  std::vector<size_t> starts;
  for (const Caption& c : captions_) {
    auto it = std::find_if(frames_.begin(), frames_.end(), [&](const Frame& f) { return f.PlayMs >= c.PlayMs; });
    starts.push_back(it == frames_.end() ? n : size_t(it - frames_.begin()));
  }
  int captionNumber = 0;
  for (size_t c = 0; c < captions_.size(); ++c) {
    const size_t s = starts[c];
    size_t bound = n;
    for (size_t i = s + 1; i < n; ++i)
      if (frames_[i].Requested) {
        bound = i;
        break;
      }
    for (size_t d = c + 1; d < captions_.size(); ++d)
      if (starts[d] > s) bound = std::min(bound, starts[d]);
    if (s >= n || bound < s + 2 || captionNumber == DemoCaptionSlots) {
      note("caption at " + std::to_string(captions_[c].PlayMs) + " ms has no standing time to show in");
      continue;
    }
    // The caption fires on the last frame of its wait that it can be timed
    // for without an event before it: a frame whose time since the reference
    // exceeds every earlier one of the wait (the idle animation sets the
    // reference back after six seconds).
    const bool fillerAtStart = !taken[s] && !(s > 0 && taken[s - 1]);
    const size_t from = fillerAtStart || taken[s] ? s + 1 : s;
    size_t at = from;
    int64_t peak = -1;
    for (size_t i = from; i < bound; ++i)
      if (frames_[i].Elapsed > peak) {
        peak = frames_[i].Elapsed;
        at = i;
      }
    if (at >= bound || taken[at]) continue;
    demo.Captions[size_t(captionNumber)] = captions_[c].Text;
    ++captionNumber;
    if (fillerAtStart) {
      targets.push_back({s, DemoMoveEvent, DirNone});
      taken[s] = true;
    }
    targets.push_back({at, DemoCaptionEvent, uint8_t(captionNumber)});
    taken[at] = true;
  }
  std::sort(targets.begin(), targets.end(), [](const Target& a, const Target& b) { return a.Frame < b.Frame; });
  // The last event ends the demo: on the last standing frame of the run, or at
  // the first chance after the run's last move.
  const bool endsStanding = n > 0 && (targets.empty() || targets.back().Frame < n - 1);
  if (endsStanding) targets.push_back({n - 1, DemoMoveEvent, DirNone});

  // Event times: an event fires on the first standing frame after the one
  // before it whose time since the reference reaches its time. Where an earlier
  // frame of the wait had a longer time (the idle animation sets the reference
  // back), a move of direction 0 fires there first.
  std::vector<DemoEvent> events;
  const size_t limit = DemoEventSlots - 1;  // event C is never played
  long prev = -1;
  bool full = false;
  auto push = [&](int32_t time, uint8_t kind, uint8_t value) {
    if (events.size() >= limit) {
      full = true;
      return false;
    }
    events.push_back({time, kind, value});
    return true;
  };
  // A time halfway between the longest earlier wait of the window and the
  // frame's own: the event still fires on its frame when playback's clock
  // reads a millisecond or a few apart (frame times vary).
  auto timeFor = [&](long from, long j) {
    if (j <= from) return int32_t(-1);
    int64_t peak = frames_[size_t(from)].Elapsed;
    for (long i = from; i < j; ++i) peak = std::max(peak, frames_[size_t(i)].Elapsed);
    return int32_t((peak + frames_[size_t(j)].Elapsed + 1) / 2);
  };
  for (const Target& t : targets) {
    if (full) break;
    const long j = long(t.Frame);
    while (j > prev + 1) {
      long q = prev + 1;
      for (long i = prev + 1; i < j; ++i)
        if (frames_[size_t(i)].Elapsed > frames_[size_t(q)].Elapsed) q = i;
      if (frames_[size_t(q)].Elapsed < frames_[size_t(j)].Elapsed) break;
      if (!push(timeFor(prev + 1, q), DemoMoveEvent, DirNone)) break;
      prev = q;
    }
    if (full) break;
    if (!push(timeFor(prev + 1, j), t.Kind, t.Value)) break;
    prev = j;
  }
  if (full) {
    note("the run made more moves than a demo holds; it ends after event " + std::to_string(limit));
    events.back() = DemoEvent{events.back().Time, DemoMoveEvent, DirNone};
  }
  if (!full && !endsStanding) push(-1, DemoMoveEvent, DirNone);
  std::copy(events.begin(), events.end(), demo.Events.begin());
  demo.Count = uint32_t(events.size() + 1);
  return demo;
}

bool ParseDemoCaptions(const std::string& text, DemoRecording& into, std::string& error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    size_t end = first;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
    if (end == first || end - first > 9 || end >= line.size() || (line[end] != ' ' && line[end] != '\t')) {
      error = "line " + std::to_string(number) + ": expected a time in ms, a blank and the caption";
      return false;
    }
    const uint32_t ms = uint32_t(std::stoul(line.substr(first, end - first)));
    const size_t textStart = line.find_first_not_of(" \t", end);
    if (textStart == std::string::npos) {
      error = "line " + std::to_string(number) + ": the caption is empty";
      return false;
    }
    into.AddCaption(ms, line.substr(textStart));
  }
  return true;
}

}  // namespace gravik
