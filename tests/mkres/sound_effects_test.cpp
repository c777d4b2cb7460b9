// The built sound effects as the game loads them: every name the game plays,
// each at the rate the game plays it, audible, unclipped, clean at both ends,
// the looping one seamless, and the same bytes every build.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "SoundEffects.h"
#include "audio/Audio.h"
#include "base/Errors.h"
#include "sound_measure.h"

namespace gravik::mkres {
namespace {

using test::Decode;

class BuiltEffects : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fx_ = new std::map<std::string, std::vector<uint8_t>>;
    for (auto& [name, bytes] : BuildSoundEffects()) (*fx_)[name] = std::move(bytes);
  }
  static void TearDownTestSuite() { delete fx_; }
  static const std::map<std::string, std::vector<uint8_t>>& Fx() { return *fx_; }
  static inline std::map<std::string, std::vector<uint8_t>>* fx_ = nullptr;
};

TEST_F(BuiltEffects, EveryEffectTheGamePlaysIsThereOnce) {
  const std::set<std::string> wanted = {
      "click1.wav", "click2.wav",         "fanf2.wav",     "boom.wav",          "killedbyrock.wav", "key.wav",
      "diamond.wav", "transport.wav",     "puzzlepiece.wav", "level complete.wav", "rock stop.wav",  "rock fall.wav",
      "glasshit2.wav", "killmonster.wav", "cage.wav",      "meteors.wav",       "egg.wav",          "opendoor.wav"};
  std::set<std::string> got;
  for (const auto& [name, bytes] : Fx()) {
    got.insert(name);
    EXPECT_TRUE(IsWaveEntryName(name)) << name;
  }
  EXPECT_EQ(got, wanted);
  EXPECT_EQ(SoundEffectNames().size(), wanted.size());
}

TEST_F(BuiltEffects, AuthoredAtThePlaybackFrequencyTheGameSets) {
  const std::map<std::string, int> special = {
      {"rock stop.wav", 44000}, {"diamond.wav", 44000}, {"glasshit2.wav", 11000}, {"boom.wav", 11000}};
  for (const auto& [name, bytes] : Fx()) {
    const WaveData w = Decode(bytes);
    const auto it = special.find(name);
    EXPECT_EQ(w.SampleRate, it == special.end() ? 22000 : it->second) << name;
    EXPECT_EQ(w.SampleRate, EffectSettingsFor(name).Frequency) << name;
    EXPECT_EQ(w.Channels, 1) << name;
    EXPECT_EQ(w.BlockAlign, 2) << name;
  }
}

TEST_F(BuiltEffects, AudibleUnclippedAndOfAReasonableLength) {
  for (const auto& [name, bytes] : Fx()) {
    const WaveData w = Decode(bytes);
    const double seconds = double(w.Frames()) / w.SampleRate;
    EXPECT_GE(seconds, 0.03) << name;
    EXPECT_LE(seconds, 3.0) << name;
    EXPECT_GT(test::RmsOf(w.Samples), 0.03) << name;  // about -30 dBFS
    EXPECT_LE(test::FullScaleSamples(w.Samples), 3) << name;
    double mean = 0.0;
    for (int16_t s : w.Samples) mean += s;
    EXPECT_LT(std::fabs(mean / double(w.Samples.size())), 0.01 * 32768) << name << ": DC offset";
  }
}

TEST_F(BuiltEffects, OneShotsStartAndEndWithoutAClick) {
  for (const auto& [name, bytes] : Fx()) {
    if (EffectSettingsFor(name).Looped) continue;
    const WaveData w = Decode(bytes);
    EXPECT_LT(std::abs(int(w.Samples.front())), 600) << name;
    EXPECT_LT(std::abs(int(w.Samples.back())), 100) << name;
  }
}

TEST_F(BuiltEffects, MeteorsLoopsWithoutASeam) {
  ASSERT_TRUE(EffectSettingsFor("meteors.wav").Looped);
  const WaveData w = Decode(Fx().at("meteors.wav"));
  test::ExpectSeamless(w.Samples, "meteors.wav");
  // Loud enough near the seam too: the loop is not made by fading to silence.
  const size_t edge = size_t(w.SampleRate / 20);
  const std::vector<int16_t> head(w.Samples.begin(), w.Samples.begin() + std::ptrdiff_t(edge));
  const std::vector<int16_t> tail(w.Samples.end() - std::ptrdiff_t(edge), w.Samples.end());
  EXPECT_GT(test::RmsOf(head), 0.5 * test::RmsOf(w.Samples));
  EXPECT_GT(test::RmsOf(tail), 0.5 * test::RmsOf(w.Samples));
}

TEST_F(BuiltEffects, EachSoundsLikeItsEvent) {
  std::map<std::string, double> zc;
  std::set<std::vector<uint8_t>> distinct;
  for (const auto& [name, bytes] : Fx()) {
    zc[name] = test::CrossingsPerSecond(Decode(bytes));
    distinct.insert(bytes);
  }
  EXPECT_EQ(distinct.size(), Fx().size());
  // Chimes and clinks are bright; thuds, explosions and rumbles are dark.
  for (const char* bright : {"diamond.wav", "key.wav", "glasshit2.wav", "click1.wav"})
    for (const char* dark : {"rock stop.wav", "boom.wav", "rock fall.wav", "meteors.wav", "opendoor.wav"})
      EXPECT_GT(zc[bright], 3.0 * zc[dark]) << bright << " vs " << dark;
}

TEST(SoundEffects, SameBytesEveryBuildAndUnknownNamesRefused) {
  EXPECT_EQ(BuildSoundEffects(), BuildSoundEffects());
  EXPECT_THROW(BuildSoundEffect("nothing.wav"), GameError);
}

}  // namespace
}  // namespace gravik::mkres
