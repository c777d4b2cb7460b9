#include "Music.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>

#include "audio/Audio.h"

namespace gravik::mkres {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kEps = 1e-6;
constexpr double kMaxSongSeconds = 600.0;

struct ParseFailure {
  int Line;
  std::string What;
};

[[noreturn]] void Fail(int line, std::string what) { throw ParseFailure{line, std::move(what)}; }

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A whole-token number: "3", "0.75", "3/2". Nothing else (no "inf", no "1e400").
bool ParseNumber(const std::string& s, double& out) {
  const size_t slash = s.find('/');
  if (slash != std::string::npos) {
    double a = 0, b = 0;
    const std::string den = s.substr(slash + 1);
    if (den.find('/') != std::string::npos) return false;
    if (!ParseNumber(s.substr(0, slash), a) || !ParseNumber(den, b) || b == 0.0) return false;
    out = a / b;
    return true;
  }
  if (s.empty() || s.size() > 24) return false;
  bool digit = false, dot = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digit = true;
    } else if (c == '.' && !dot) {
      dot = true;
    } else if (c == '-' && i == 0) {
    } else {
      return false;
    }
  }
  if (!digit) return false;
  out = std::strtod(s.c_str(), nullptr);
  return std::isfinite(out);
}

double Number(int line, const std::string& s, const std::string& what, double lo, double hi) {
  double v = 0;
  if (!ParseNumber(s, v)) Fail(line, what + " '" + s + "' is not a number");
  if (v < lo || v > hi) {
    std::ostringstream m;
    m << what << " " << s << " is out of range (" << lo << " to " << hi << ")";
    Fail(line, m.str());
  }
  return v;
}

int Integer(int line, const std::string& s, const std::string& what, int lo, int hi) {
  const double v = Number(line, s, what, lo, hi);
  if (v != std::floor(v)) Fail(line, what + " '" + s + "' must be a whole number");
  return int(v);
}

// Splits a line at whitespace; a word starting with '#' ends it (a comment).
// Brackets and bar lines stand alone; ")*N" stays one word.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> out;
  std::string cur;
  auto flush = [&] {
    if (!cur.empty()) out.push_back(cur);
    cur.clear();
  };
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '#' && cur.empty()) break;
    if (std::isspace(static_cast<unsigned char>(c))) {
      flush();
    } else if (c == '(' || c == '|') {
      flush();
      out.emplace_back(1, c);
    } else if (c == ')') {
      flush();
      cur = ")";
      while (i + 1 < line.size() && (line[i + 1] == '*' || std::isdigit(static_cast<unsigned char>(line[i + 1]))))
        cur += line[++i];
      flush();
    } else {
      cur += c;
    }
  }
  flush();
  return out;
}

bool ParseShape(const std::string& s, VoiceDef& v) {
  if (s == "sine") v.Wave = Shape::Sine;
  else if (s == "square") v.Wave = Shape::Square;
  else if (s == "saw") v.Wave = Shape::Saw;
  else if (s == "triangle") v.Wave = Shape::Triangle;
  else if (s == "pluck") v.Kind = VoiceKind::Pluck;
  else if (s == "drums") v.Kind = VoiceKind::Drums;
  else return false;
  return true;
}

void SetVoiceParam(int line, VoiceDef& v, const std::string& key, const std::string& value) {
  auto num = [&](double lo, double hi) { return Number(line, value, key, lo, hi); };
  if (key == "volume") v.Volume = num(0, 4);
  else if (key == "attack") v.Env.Attack = num(0.0005, 10);
  else if (key == "decay") v.Env.Decay = num(0.001, 10);
  else if (key == "sustain") v.Env.Sustain = num(0, 1);
  else if (key == "release") v.Env.Release = num(0, 10);
  else if (key == "legato") v.Legato = num(0.05, 1);
  else if (key == "cutoff") v.Cutoff = num(0, 20000);
  else if (key == "q") v.Q = num(0.1, 20);
  else if (key == "pw") v.PulseWidth = num(0.05, 0.95);
  else if (key == "vibrato") v.Vibrato = num(0, 2);
  else if (key == "detune") v.Detune = num(-100, 100);
  else if (key == "damping") v.Damping = num(0.9, 0.9999);
  else if (key == "echo") v.EchoBeats = num(0, 16);
  else if (key == "feedback") v.Feedback = num(0, 0.9);
  else if (key == "echomix") v.EchoMix = num(0, 1);
  else Fail(line, "unknown voice setting '" + key + "'");
}

// "C4", "c#4", "Eb3", "A0", "G9" -> MIDI number; -1 when not a note name.
constexpr int kPitch[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G

int NoteNumber(const std::string& s) {
  if (s.size() < 2 || s.size() > 3) return -1;
  const char letter = char(std::toupper(static_cast<unsigned char>(s[0])));
  if (letter < 'A' || letter > 'G') return -1;
  int pc = kPitch[letter - 'A'];
  size_t i = 1;
  if (s[i] == '#') {
    ++pc;
    ++i;
  } else if (s[i] == 'b') {
    --pc;
    ++i;
  }
  if (i + 1 != s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return -1;
  const int midi = (s[i] - '0' + 1) * 12 + pc;
  return midi >= 0 && midi <= 127 ? midi : -1;
}

int DrumNumber(const std::string& s) {
  if (s == "k") return kKick;
  if (s == "s") return kSnare;
  if (s == "h") return kHat;
  if (s == "o") return kOpenHat;
  return -1;
}

// Per voice while a pattern is read.
struct Track {
  double Pos = 0.0;
  double LastLength = 1.0;
  int LastLine = 0;
  bool Used = false;
};

class Parser {
 public:
  explicit Parser(Song& song) : song_(song) {}

  void Line(int n, const std::string& text) {
    const std::vector<std::string> w = Words(text);
    if (w.empty()) return;
    const std::string& head = w[0];
    if (head == "tempo" || head == "meter") {
      if (!song_.Patterns.empty()) Fail(n, head + " must come before the first pattern");
      if (w.size() != 2) Fail(n, head + " takes one number");
      if (head == "tempo") song_.Tempo = Number(n, w[1], "tempo", 20, 400);
      else song_.Meter = Integer(n, w[1], "meter", 1, 16);
    } else if (head == "voice") {
      Voice(n, w);
    } else if (head == "pattern") {
      EndPattern();
      if (w.size() != 3) Fail(n, "pattern takes a name and a number of bars");
      if (FindPattern(w[1]) >= 0) Fail(n, "pattern '" + w[1] + "' is defined twice");
      Pattern p;
      p.Name = w[1];
      p.Bars = Integer(n, w[2], "bars", 1, 64);
      p.Voices.resize(song_.Voices.size());
      song_.Patterns.push_back(std::move(p));
      tracks_.assign(song_.Voices.size(), Track{});
      patternLine_ = n;
      inPattern_ = true;
    } else if (head == "song") {
      EndPattern();
      if (w.size() < 2) Fail(n, "song lists at least one pattern");
      for (size_t i = 1; i < w.size(); ++i) {
        const int p = FindPattern(w[i]);
        if (p < 0) Fail(n, "unknown pattern '" + w[i] + "'");
        song_.Order.push_back(p);
      }
      songLine_ = n;
    } else if (inPattern_) {
      Notes(n, w);
    } else {
      Fail(n, "unknown statement '" + head + "'");
    }
  }

  void Finish(int lastLine) {
    EndPattern();
    if (song_.Voices.empty()) Fail(lastLine, "no voices");
    if (song_.Order.empty()) Fail(lastLine, "no song line");
    if (song_.Seconds() > kMaxSongSeconds) Fail(songLine_, "song is longer than 10 minutes");
  }

 private:
  int FindPattern(const std::string& name) const {
    for (size_t i = 0; i < song_.Patterns.size(); ++i)
      if (song_.Patterns[i].Name == name) return int(i);
    return -1;
  }
  int FindVoice(const std::string& name) const {
    for (size_t i = 0; i < song_.Voices.size(); ++i)
      if (song_.Voices[i].Name == name) return int(i);
    return -1;
  }

  void Voice(int n, const std::vector<std::string>& w) {
    if (!song_.Patterns.empty()) Fail(n, "voices must be declared before the first pattern");
    if (w.size() < 3) Fail(n, "voice takes a name and a kind");
    if (FindVoice(w[1]) >= 0) Fail(n, "voice '" + w[1] + "' is defined twice");
    if (w[1] == "tempo" || w[1] == "meter" || w[1] == "voice" || w[1] == "pattern" || w[1] == "song")
      Fail(n, "'" + w[1] + "' cannot name a voice");
    VoiceDef v;
    v.Name = w[1];
    if (!ParseShape(Lower(w[2]), v))
      Fail(n, "unknown voice kind '" + w[2] + "' (sine, square, saw, triangle, pluck or drums)");
    for (size_t i = 3; i < w.size(); ++i) {
      const size_t eq = w[i].find('=');
      if (eq == std::string::npos || eq == 0) Fail(n, "expected key=value, found '" + w[i] + "'");
      SetVoiceParam(n, v, Lower(w[i].substr(0, eq)), w[i].substr(eq + 1));
    }
    song_.Voices.push_back(std::move(v));
  }

  void Notes(int n, const std::vector<std::string>& w) {
    const int vi = FindVoice(w[0]);
    if (vi < 0) Fail(n, "unknown voice '" + w[0] + "'");
    const VoiceDef& voice = song_.Voices[size_t(vi)];
    Track& t = tracks_[size_t(vi)];
    std::vector<NoteEvent>& events = song_.Patterns.back().Voices[size_t(vi)];
    t.Used = true;
    t.LastLine = n;
    const double patternBeats = double(song_.Patterns.back().Bars) * song_.Meter;
    bool inGroup = false;
    size_t groupFirst = 0;
    double groupStart = 0.0;
    for (size_t i = 1; i < w.size(); ++i) {
      const std::string& tok = w[i];
      if (tok == "|") {
        const double r = std::fmod(t.Pos, double(song_.Meter));
        if (r > kEps && song_.Meter - r > kEps) {
          std::ostringstream m;
          m << "bar line after " << t.Pos << " beats is not on a bar boundary";
          Fail(n, m.str());
        }
      } else if (tok == "(") {
        if (inGroup) Fail(n, "groups cannot be nested");
        inGroup = true;
        groupFirst = events.size();
        groupStart = t.Pos;
      } else if (tok[0] == ')') {
        if (!inGroup) Fail(n, "')' without '('");
        inGroup = false;
        int times = 1;
        if (tok.size() > 1) {
          if (tok[1] != '*' || tok.size() < 3) Fail(n, "expected ')*N', found '" + tok + "'");
          times = Integer(n, tok.substr(2), "repeat count", 1, 256);
        }
        const double len = t.Pos - groupStart;
        const size_t groupEnd = events.size();
        for (int k = 1; k < times; ++k) {
          for (size_t e = groupFirst; e < groupEnd; ++e) {
            NoteEvent copy = events[e];
            copy.Beat += len * k;
            events.push_back(std::move(copy));
          }
          CheckFits(n, t.Pos + len * k, patternBeats);
        }
        t.Pos += len * (times - 1);
      } else {
        NoteEvent ev;
        bool rest = false;
        Note(n, voice, t, tok, ev, rest);
        ev.Beat = t.Pos;
        t.Pos += ev.Length;
        CheckFits(n, t.Pos, patternBeats);
        if (!rest) events.push_back(std::move(ev));
      }
    }
    if (inGroup) Fail(n, "'(' is not closed on this line");
  }

  void CheckFits(int n, double pos, double patternBeats) const {
    if (pos > patternBeats + kEps) {
      std::ostringstream m;
      m << "notes run past the end of pattern '" << song_.Patterns.back().Name << "' (" << patternBeats
        << " beats)";
      Fail(n, m.str());
    }
  }

  void Note(int n, const VoiceDef& voice, Track& t, const std::string& tok, NoteEvent& ev, bool& rest) {
    std::string keys = tok, len, vel;
    const size_t at = keys.find('@');
    if (at != std::string::npos) {
      vel = keys.substr(at + 1);
      keys.resize(at);
    }
    const size_t colon = keys.find(':');
    if (colon != std::string::npos) {
      len = keys.substr(colon + 1);
      keys.resize(colon);
    }
    ev.Length = len.empty() ? t.LastLength : Number(n, len, "length", 1.0 / 64, 64);
    t.LastLength = ev.Length;
    ev.Velocity = vel.empty() ? 1.0 : Number(n, vel, "velocity", 0, 2);
    if (keys == "r" || keys == "-") {
      rest = true;
      return;
    }
    size_t start = 0;
    while (start <= keys.size()) {
      size_t plus = keys.find('+', start);
      if (plus == std::string::npos) plus = keys.size();
      const std::string k = keys.substr(start, plus - start);
      int code = -1;
      if (voice.Kind == VoiceKind::Drums) {
        code = DrumNumber(k);
        if (code < 0) Fail(n, "drum voice '" + voice.Name + "' plays k, s, h or o, not '" + k + "'");
      } else {
        code = NoteNumber(k);
        if (code < 0) Fail(n, "unknown note '" + k + "'");
      }
      ev.Keys.push_back(code);
      start = plus + 1;
    }
  }

  void EndPattern() {
    if (!inPattern_) return;
    inPattern_ = false;
    const Pattern& p = song_.Patterns.back();
    const double beats = double(p.Bars) * song_.Meter;
    for (size_t v = 0; v < tracks_.size(); ++v) {
      const Track& t = tracks_[v];
      if (t.Used && std::fabs(t.Pos - beats) > kEps) {
        std::ostringstream m;
        m << "voice '" << song_.Voices[v].Name << "' fills " << t.Pos << " of the " << beats << " beats of pattern '"
          << p.Name << "'";
        Fail(t.LastLine, m.str());
      }
    }
  }

  Song& song_;
  std::vector<Track> tracks_;
  bool inPattern_ = false;
  int patternLine_ = 0;
  int songLine_ = 0;
};

Buffer RenderDrum(int drum, int rate, uint64_t seed) {
  switch (drum) {
    case kKick: {
      Buffer b = Tone(rate, 0.4, Shape::Sine, Glide(150.0, 45.0, 0.09));
      ApplyDecay(b, rate, 0.001, 0.13);
      Buffer click = Noise(rate, 0.02, seed);
      LowPass(click, rate, 3000.0);
      ApplyDecay(click, rate, 0.0005, 0.002);
      MixInto(b, click, 0, 0.3);
      FadeOut(b, rate, 0.12);
      return b;
    }
    case kSnare: {
      Buffer b = Noise(rate, 0.3, seed);
      BandPass(b, rate, 1800.0, 0.8);
      Gain(b, 1.6);
      ApplyDecay(b, rate, 0.001, 0.07);
      Buffer body = Tone(rate, 0.2, Shape::Sine, Glide(200.0, 170.0, 0.05));
      ApplyDecay(body, rate, 0.001, 0.045);
      MixInto(b, body, 0, 0.6);
      FadeOut(b, rate, 0.1);
      return b;
    }
    case kHat:
    case kOpenHat: {
      const double tau = drum == kHat ? 0.018 : 0.12;
      Buffer b = Noise(rate, tau * 6.0, seed);
      HighPass(b, rate, 6500.0, 0.8);
      ApplyDecay(b, rate, 0.0008, tau);
      Gain(b, 0.6);
      FadeOut(b, rate, tau * 2.0);
      return b;
    }
  }
  return {};
}

Buffer RenderTone(const VoiceDef& v, int key, double seconds, int rate, uint64_t seed) {
  const double gate = seconds * v.Legato;
  const double dur = EnvelopeLength(v.Env, gate);
  const double hz = MidiHz(key);
  if (v.Kind == VoiceKind::Pluck) {
    Buffer b = Pluck(rate, hz, dur, seed, v.Damping);
    ApplyEnvelope(b, rate, v.Env, gate);
    return b;
  }
  const double vib = v.Vibrato;
  auto pitch = [hz, vib](double t) {
    if (vib <= 0.0) return hz;
    const double depth = vib * std::min(1.0, std::max(0.0, (t - 0.15) / 0.25));
    return hz * std::pow(2.0, depth * std::sin(kTwoPi * 5.0 * t) / 12.0);
  };
  Buffer b = Tone(rate, dur, v.Wave, pitch, v.PulseWidth);
  if (v.Detune != 0.0) {
    const double ratio = std::pow(2.0, v.Detune / 1200.0);
    Buffer d = Tone(rate, dur, v.Wave, [&](double t) { return pitch(t) * ratio; }, v.PulseWidth, 0.25);
    MixInto(b, d);
    Gain(b, 0.5);
  }
  ApplyEnvelope(b, rate, v.Env, gate);
  return b;
}

}  // namespace

double Song::Beats() const {
  double beats = 0.0;
  for (int p : Order) beats += double(Patterns[size_t(p)].Bars) * Meter;
  return beats;
}

bool ParseSong(const std::string& text, const std::string& fileName, Song& out, std::string* error) {
  Song song;
  Parser parser(song);
  int n = 0;
  try {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      ++n;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      parser.Line(n, line);
    }
    parser.Finish(n);
  } catch (const ParseFailure& f) {
    if (error) *error = fileName + ":" + std::to_string(f.Line) + ": " + f.What;
    return false;
  }
  out = std::move(song);
  return true;
}

Buffer RenderSong(const Song& song, int rate) {
  const double samplesPerBeat = rate * 60.0 / song.Tempo;
  const size_t loop = size_t(std::llround(song.Beats() * samplesPerBeat));
  Buffer mix(loop, 0.0f);
  for (size_t vi = 0; vi < song.Voices.size(); ++vi) {
    const VoiceDef& v = song.Voices[vi];
    Buffer track(loop, 0.0f);
    uint64_t seed = 0x5EED0000ull + (uint64_t(vi) << 20);
    double base = 0.0;
    for (int pi : song.Order) {
      const Pattern& p = song.Patterns[size_t(pi)];
      for (const NoteEvent& e : p.Voices[vi]) {
        const size_t at = size_t(std::llround((base + e.Beat) * samplesPerBeat));
        const double seconds = e.Length * 60.0 / song.Tempo;
        for (int key : e.Keys) {
          const Buffer note = v.Kind == VoiceKind::Drums ? RenderDrum(key, rate, ++seed)
                                                         : RenderTone(v, key, seconds, rate, ++seed);
          MixInto(track, note, at, e.Velocity);
        }
      }
      base += double(p.Bars) * song.Meter;
    }
    if (v.Cutoff > 0.0) LowPass(track, rate, v.Cutoff, v.Q);
    if (v.EchoBeats > 0.0) Echo(track, rate, v.EchoBeats * 60.0 / song.Tempo, v.Feedback, v.EchoMix);
    MixInto(mix, track, 0, v.Volume);
  }
  WrapTail(mix, loop);
  Normalize(mix, 0.85);
  return mix;
}

std::vector<uint8_t> RenderMusicTrack(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = path + ": cannot be read";
    return {};
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  Song song;
  if (!ParseSong(ss.str(), path, song, error)) return {};
  return EncodeWav16(RenderSong(song, kMusicRate), kMusicRate);
}

std::vector<uint8_t> BuildMusicFile(const std::string& assetsDir, std::string* error) {
  std::vector<NamedBytes> items;
  for (int track = 1; track <= 2; ++track) {
    const std::string n = std::to_string(track);
    NamedBytes item{"music" + n + ".o", RenderMusicTrack(assetsDir + "/music/music" + n + ".txt", error)};
    if (item.bytes.empty()) return {};
    items.push_back(std::move(item));
  }
  return WriteMusicFile(items);
}

}  // namespace gravik::mkres
