// The music sequencer: renders a tune kept as readable text (tempo, voices,
// patterns of notes, a song order) into a seamlessly looping WAV track, and
// packs the game's two tracks into the music file "zqaudio.dat".
//
// The note text, one statement a line; a word starting with '#' begins a comment:
//   tempo 84                  beats per minute
//   meter 4                   beats per bar
//   voice NAME KIND key=value...
//       KIND: sine square saw triangle pluck drums
//       keys: volume attack decay sustain release (seconds) legato (share of
//       the note held) cutoff q (low-pass) pw (square pulse width) vibrato
//       (semitones) detune (cents, a second oscillator) damping (pluck)
//       echo (beats) feedback echomix
//   pattern NAME BARS         then lines "VOICE token token ..." until the next
//                             pattern or song line
//   song NAME NAME ...        the order patterns play in (several lines append)
// Tokens: a note C4 D#4 Eb3 (or a chord C4+E4+G4, a rest r, a drum k s h o),
// then optionally :LENGTH in beats (2, 1/2, 0.75; the last length when left
// out) and @VELOCITY (0..2); '|' marks a bar and must fall on one; (...)*N
// repeats a group.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Synth.h"

namespace gravik::mkres {

constexpr int kMusicRate = 22000;

enum class VoiceKind { Tone, Pluck, Drums };

struct VoiceDef {
  std::string Name;
  VoiceKind Kind = VoiceKind::Tone;
  Shape Wave = Shape::Triangle;
  double Volume = 0.5;
  Envelope Env{0.01, 0.15, 0.6, 0.2};
  double Legato = 0.9;
  double Cutoff = 0.0;  // 0: no filter
  double Q = 0.7071;
  double PulseWidth = 0.5;
  double Vibrato = 0.0;
  double Detune = 0.0;
  double Damping = 0.996;
  double EchoBeats = 0.0;
  double Feedback = 0.3;
  double EchoMix = 0.3;
};

enum Drum { kKick = 0, kSnare = 1, kHat = 2, kOpenHat = 3 };

struct NoteEvent {
  double Beat = 0.0;    // start, from the pattern's beginning
  double Length = 1.0;  // beats
  std::vector<int> Keys;  // MIDI note numbers, or Drum values for a drum voice
  double Velocity = 1.0;
};

struct Pattern {
  std::string Name;
  int Bars = 1;
  std::vector<std::vector<NoteEvent>> Voices;  // per voice, in VoiceDef order
};

struct Song {
  double Tempo = 120.0;
  int Meter = 4;
  std::vector<VoiceDef> Voices;
  std::vector<Pattern> Patterns;
  std::vector<int> Order;  // pattern indices

  double Beats() const;
  double Seconds() const { return Beats() * 60.0 / Tempo; }
};

// Reads note text. On failure returns false and sets `error` to
// "FILE:LINE: what is wrong".
bool ParseSong(const std::string& text, const std::string& fileName, Song& out, std::string* error);

// The song as one loop: exactly its length in samples, the tails of the last
// notes (releases, echoes) wrapped onto the start, peak-normalised.
Buffer RenderSong(const Song& song, int rate);

// A note text file rendered into a 22,000 Hz 16-bit mono WAV image; empty with
// `error` set when the file cannot be read or parsed.
std::vector<uint8_t> RenderMusicTrack(const std::string& path, std::string* error);

// "zqaudio.dat" holding "music1.o" (menus) and "music2.o" (play), rendered from
// music/music1.txt and music/music2.txt below `assetsDir`; empty with `error`
// set on failure.
std::vector<uint8_t> BuildMusicFile(const std::string& assetsDir, std::string* error);

}  // namespace gravik::mkres
