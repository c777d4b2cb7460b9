// The music sequencer and the game's two tracks: the note text read as
// written, mistakes reported with file and line, tracks that are whole bars
// long and loop without a click, and "zqaudio.dat" as the game reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Music.h"
#include "audio/Audio.h"
#include "sound_measure.h"

namespace gravik::mkres {
namespace {

const std::string kAssets = std::string(GRAVIK_SOURCE_DIR) + "/assets";

Song Parse(const std::string& text) {
  Song s;
  std::string error;
  EXPECT_TRUE(ParseSong(text, "tune.txt", s, &error)) << error;
  return s;
}

std::string ParseError(const std::string& text) {
  Song s;
  std::string error;
  EXPECT_FALSE(ParseSong(text, "tune.txt", s, &error)) << text;
  return error;
}

TEST(MusicText, ReadsVoicesPatternsGroupsChordsAndTheSongOrder) {
  const Song s = Parse(
      "# a test tune\r\n"
      "tempo 120\r\n"
      "meter 4\n"
      "voice lead square pw=0.25 volume=0.5   # the tune\n"
      "voice kit drums\n"
      "pattern A 2\n"
      "lead C#4:1 Db4 r:2 | (E4:1/2 G4)*4 |\n"
      "kit  (k:1 h)*2\n"
      "kit  o:4@0.5\n"
      "pattern B 1\n"
      "lead C4+E4+G4:4\n"
      "song A B\n"
      "song A\n");
  ASSERT_EQ(s.Voices.size(), 2u);
  EXPECT_EQ(s.Voices[0].Wave, Shape::Square);
  EXPECT_DOUBLE_EQ(s.Voices[0].PulseWidth, 0.25);
  EXPECT_EQ(s.Voices[1].Kind, VoiceKind::Drums);
  ASSERT_EQ(s.Patterns.size(), 2u);
  EXPECT_EQ(s.Order, (std::vector<int>{0, 1, 0}));
  EXPECT_DOUBLE_EQ(s.Beats(), 20.0);
  EXPECT_DOUBLE_EQ(s.Seconds(), 10.0);

  const auto& lead = s.Patterns[0].Voices[0];
  ASSERT_EQ(lead.size(), 10u);  // two notes, the rest left out, the group four times
  EXPECT_EQ(lead[0].Keys, std::vector<int>{61});
  EXPECT_EQ(lead[1].Keys, std::vector<int>{61});  // Db4 is C#4
  EXPECT_DOUBLE_EQ(lead[1].Beat, 1.0);
  EXPECT_DOUBLE_EQ(lead[1].Length, 1.0);  // the length carries over
  EXPECT_DOUBLE_EQ(lead[2].Beat, 4.0);
  EXPECT_EQ(lead[2].Keys, std::vector<int>{64});
  EXPECT_DOUBLE_EQ(lead[9].Beat, 7.5);
  EXPECT_EQ(lead[9].Keys, std::vector<int>{67});

  const auto& kit = s.Patterns[0].Voices[1];
  ASSERT_EQ(kit.size(), 5u);
  EXPECT_EQ(kit[1].Keys, std::vector<int>{kHat});
  EXPECT_DOUBLE_EQ(kit[4].Beat, 4.0);
  EXPECT_EQ(kit[4].Keys, std::vector<int>{kOpenHat});
  EXPECT_DOUBLE_EQ(kit[4].Velocity, 0.5);

  EXPECT_EQ(s.Patterns[1].Voices[0][0].Keys, (std::vector<int>{60, 64, 67}));
  EXPECT_TRUE(s.Patterns[1].Voices[1].empty());  // a voice may sit a pattern out
}

TEST(MusicText, MistakesNameTheFileAndLine) {
  const std::string v = "voice a sine\npattern P 1\n";
  const struct {
    std::string text, want;
  } cases[] = {
      {v + "a H4:4\nsong P\n", "tune.txt:3: unknown note 'H4'"},
      {v + "a C4:2 G#9:2\nsong P\n", "tune.txt:3: unknown note 'G#9'"},
      {v + "a C4+:4\nsong P\n", "tune.txt:3: unknown note ''"},
      {v + "b C4:4\nsong P\n", "tune.txt:3: unknown voice 'b'"},
      {v + "a C4:1\na D4:2\nsong P\n", "tune.txt:4: voice 'a' fills 3 of the 4 beats of pattern 'P'"},
      {v + "a C4:5\nsong P\n", "tune.txt:3: notes run past the end of pattern 'P'"},
      {v + "a (C4:1)*9\nsong P\n", "tune.txt:3: notes run past the end of pattern 'P'"},
      {"voice a sine\npattern P 2\na C4:3 | D4:5\nsong P\n", "tune.txt:3: bar line after 3 beats"},
      {v + "a (C4:1\nsong P\n", "tune.txt:3: '(' is not closed"},
      {v + "a C4:1) D4:3\nsong P\n", "tune.txt:3: ')' without '('"},
      {v + "a C4:4\nsong P Q\n", "tune.txt:4: unknown pattern 'Q'"},
      {v + "a C4:4\n", "tune.txt:3: no song line"},
      {v + "a C4:1/0\nsong P\n", "tune.txt:3: length '1/0' is not a number"},
      {v + "a C4:4@3\nsong P\n", "tune.txt:3: velocity 3 is out of range"},
      {"tempo inf\n", "tune.txt:1: tempo 'inf' is not a number"},
      {"tempo 1000\n", "tune.txt:1: tempo 1000 is out of range"},
      {"voice k drums\npattern P 1\nk C4:4\nsong P\n", "tune.txt:3: drum voice 'k' plays k, s, h or o, not 'C4'"},
      {"voice a sine wobble=3\n", "tune.txt:1: unknown voice setting 'wobble'"},
      {"voice a sine\nvoice a saw\n", "tune.txt:2: voice 'a' is defined twice"},
      {"voice a organ\n", "tune.txt:1: unknown voice kind 'organ'"},
      {"voice a sine\na C4:4\n", "tune.txt:2: unknown statement 'a'"},
      {v + "pattern P 1\n", "tune.txt:3: pattern 'P' is defined twice"},
      {v + "a C4:4\nmeter 3\nsong P\n", "tune.txt:4: meter must come before the first pattern"},
      {"tempo 20\nmeter 16\nvoice a sine\npattern P 64\nsong P P P P P P P P P P P P P P P P\n",
       "tune.txt:5: song is longer than 10 minutes"},
  };
  for (const auto& c : cases) {
    const std::string got = ParseError(c.text);
    EXPECT_EQ(got.rfind(c.want, 0), 0u) << "got:  " << got << "\nwant: " << c.want;
  }
}

TEST(MusicText, DamagedTextIsReportedNeverCrashes) {
  std::ifstream in(kAssets + "/music/music2.txt", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string original = ss.str();
  ASSERT_FALSE(original.empty());
  const std::string alphabet = "()*|:@+/#.-0123456789 \n\rABCDEFGrkshob=x\xff";
  Rng rng(2024);
  int failures = 0;
  for (int round = 0; round < 300; ++round) {
    std::string text = original;
    const int edits = 1 + int(rng.Next() % 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = size_t(rng.Next() % text.size());
      const char c = alphabet[size_t(rng.Next() % alphabet.size())];
      switch (rng.Next() % 3) {
        case 0: text[at] = c; break;
        case 1: text.insert(at, 1, c); break;
        default: text.erase(at, 1); break;
      }
    }
    Song s;
    std::string error;
    if (!ParseSong(text, "tune.txt", s, &error)) {
      ++failures;
      EXPECT_EQ(error.rfind("tune.txt:", 0), 0u) << error;
    }
  }
  EXPECT_GT(failures, 100);  // the edits do break the text, and each is reported
  std::string error;
  Song s;
  EXPECT_FALSE(ParseSong("voice a sine\npattern P 1\na C4:1/2/3 r:3\nsong P\n", "tune.txt", s, &error));
}

TEST(MusicRender, ExactlyTheSongsLengthWithTailsWrappedToTheStart) {
  // One long note on the last beat: its release and echo can only be heard at
  // the start of the loop.
  const Song s = Parse(
      "tempo 120\n"
      "voice a sine attack=0.01 release=0.8 legato=1 echo=1/2 feedback=0.3\n"
      "pattern P 1\n"
      "a r:3 A4:1\n"
      "song P P\n");
  const Buffer b = RenderSong(s, 22000);
  ASSERT_EQ(b.size(), 88000u);  // 8 beats at 120 a minute: four seconds
  const Buffer head(b.begin(), b.begin() + 2200);
  const Buffer quiet(b.begin() + 24000, b.begin() + 26200);  // 1.1 s: long after the tail
  EXPECT_GT(Rms(head), 0.05);
  EXPECT_GT(Rms(head), 10.0 * Rms(quiet));
  EXPECT_NEAR(Peak(b), 0.85, 1e-3);
  std::vector<int16_t> pcm;
  for (float x : b) pcm.push_back(int16_t(std::lround(x * 32767.0)));
  test::ExpectSeamless(pcm, "wrapped tail");
}

class GameTracks : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (int t = 0; t < 2; ++t) {
      const std::string path = kAssets + "/music/music" + std::to_string(t + 1) + ".txt";
      std::string error;
      wav_[t] = RenderMusicTrack(path, &error);
      EXPECT_FALSE(wav_[t].empty()) << error;
      std::ifstream in(path, std::ios::binary);
      std::stringstream ss;
      ss << in.rdbuf();
      EXPECT_TRUE(ParseSong(ss.str(), path, song_[t], &error)) << error;
    }
  }
  static inline std::vector<uint8_t> wav_[2];
  static inline Song song_[2];
};

TEST_F(GameTracks, WholeBarsOfOneToTwoMinutesAt22000Hz) {
  for (int t = 0; t < 2; ++t) {
    const WaveData w = test::Decode(wav_[t]);
    EXPECT_EQ(w.SampleRate, kMusicRate);
    EXPECT_EQ(w.Channels, 1);
    const double seconds = double(w.Frames()) / w.SampleRate;
    EXPECT_GE(seconds, 60.0) << t;
    EXPECT_LE(seconds, 120.0) << t;
    EXPECT_EQ(std::fmod(song_[t].Beats(), song_[t].Meter), 0.0);
    EXPECT_EQ(w.Frames(), uint32_t(std::llround(song_[t].Seconds() * kMusicRate))) << t;
  }
}

TEST_F(GameTracks, AudibleThroughoutUnclippedAndSeamless) {
  for (int t = 0; t < 2; ++t) {
    const WaveData w = test::Decode(wav_[t]);
    EXPECT_GT(test::RmsOf(w.Samples), 0.08) << t;
    EXPECT_LE(test::FullScaleSamples(w.Samples), 3) << t;
    test::ExpectSeamless(w.Samples, "music" + std::to_string(t + 1));
    // No stretch of silence: every two seconds carry sound.
    const size_t win = size_t(2 * w.SampleRate);
    for (size_t at = 0; at + win <= w.Samples.size(); at += win) {
      const std::vector<int16_t> part(w.Samples.begin() + std::ptrdiff_t(at),
                                      w.Samples.begin() + std::ptrdiff_t(at + win));
      EXPECT_GT(test::RmsOf(part), 0.02) << "track " << t + 1 << " at " << at / w.SampleRate << " s";
    }
  }
}

TEST_F(GameTracks, MusicFileHoldsBothTracksAsTheGameReadsIt) {
  std::string error;
  const std::vector<uint8_t> file = BuildMusicFile(kAssets, &error);
  ASSERT_FALSE(file.empty()) << error;
  std::vector<NamedBytes> items;
  ASSERT_EQ(ReadMusicFile(file.data(), file.size(), items), MusicFileStatus::Ok);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].name, "music1.o");
  EXPECT_EQ(items[1].name, "music2.o");
  EXPECT_EQ(items[0].bytes, wav_[0]);  // also: the same bytes every build
  EXPECT_EQ(items[1].bytes, wav_[1]);
}

TEST(MusicFile, AMissingOrDamagedTuneIsReportedNotPacked) {
  std::string error;
  EXPECT_TRUE(BuildMusicFile("/nonexistent-gravik-assets", &error).empty());
  EXPECT_NE(error.find("/nonexistent-gravik-assets/music/music1.txt"), std::string::npos) << error;

  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "gravik_sound_music";
  std::filesystem::create_directories(dir / "music");
  std::ofstream(dir / "music" / "music1.txt") << "voice a sine\npattern P 1\na C4:4\nsong P\n";
  std::ofstream(dir / "music" / "music2.txt") << "voice a sine\npattern P 1\n\na C4:4 D4\nsong P\n";
  error.clear();
  EXPECT_TRUE(BuildMusicFile(dir.string(), &error).empty());
  EXPECT_NE(error.find("music2.txt:4: notes run past the end of pattern 'P'"), std::string::npos) << error;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace gravik::mkres
