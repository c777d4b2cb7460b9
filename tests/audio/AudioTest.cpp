#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "audio/Audio.h"
#include "audio/AudioTestUtil.h"
#include "base/Errors.h"
#include "platform/Shell.h"
#include "support/TempHome.h"

namespace gravik {
namespace {

using testing_audio::Constant;
using testing_audio::FakeDevice;
using testing_audio::MakeWav;
namespace fs = std::filesystem;

class RecordingShell : public Shell {
 public:
  void ShowError(const std::string&, const std::string& text) override { shown.push_back(text); }
  void ShowInfo(const std::string&, const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

std::vector<uint8_t> TwoTracks(size_t frames1 = 4000, size_t frames2 = 4000) {
  return WriteMusicFile({{"music1.o", MakeWav(Constant(frames1, 1000), 1, 22000)},
                         {"music2.o", MakeWav(Constant(frames2, 2000), 1, 22000)}});
}

std::vector<NamedBytes> Effects() {
  return {{"click1.wav", MakeWav(Constant(200, 1000))},
          {"DIAMOND.WAV", MakeWav(Constant(200, 1000))},
          {"meteors.wav", MakeWav(Constant(200, 1000))},
          {"rock stop.wav", MakeWav(Constant(200, 1000))},
          {"fonts.dat", {1, 2, 3}}};
}

// A game with a working device, all effects and both tracks loaded.
struct Rig {
  FakeDevice device;
  AudioState a;
  Rig() {
    LoadSoundEffects(a, &device, {}, [] { return Effects(); });
    EXPECT_EQ(LoadMusicData(a, TwoTracks()), "");
    ApplyVolumes(a);
  }
  int Item(const char* name) const { return a.Waves->Find(name); }
};

TEST(AudioVolume, LevelsToHundredthsOfDecibel) {
  EXPECT_EQ(LevelVolume(1), -9975);
  EXPECT_EQ(LevelVolume(5), -1575);
  EXPECT_EQ(LevelVolume(20), 0);
  EXPECT_EQ(LevelVolume(0), -9975);
  EXPECT_EQ(LevelVolume(-4), -9975);
  EXPECT_EQ(LevelVolume(2), -4725);
  EXPECT_EQ(LevelVolume(21), 0);  // above full is held at full
}

TEST(AudioVolume, ApplyVolumesRespectsSwitches) {
  Rig r;
  r.a.SoundLevel = 5;
  r.a.MusicLevel = 1;
  r.a.CurrentTrackName = "music1.o";
  ApplyVolumes(r.a);
  EXPECT_EQ(r.a.EffectVolume, -1575);
  EXPECT_EQ(r.a.MusicVolume, -9975);
  EXPECT_EQ(r.a.Waves->Volume(r.Item("music1.o")), -9975);

  r.a.SoundOn = false;
  r.a.MusicOn = false;
  r.a.SoundLevel = 20;
  r.a.MusicLevel = 20;
  ApplyVolumes(r.a);
  EXPECT_EQ(r.a.EffectVolume, -1575);
  EXPECT_EQ(r.a.MusicVolume, -9975);
}

TEST(AudioEffects, SettingsByName) {
  auto check = [](const char* name, int freq, bool looped, int max) {
    const EffectSettings e = EffectSettingsFor(name);
    EXPECT_EQ(e.Frequency, freq) << name;
    EXPECT_EQ(e.Looped, looped) << name;
    EXPECT_EQ(e.MaxPlayings, max) << name;
  };
  check("click1.wav", 22000, false, 1);
  check("level complete.wav", 22000, false, 1);
  check("Author.WAV", 11000, false, 1);
  check("rock stop.wav", 44000, false, 4);
  check("DIAMOND.wav", 44000, false, 1);
  check("glasshit2.wav", 11000, false, 1);
  check("boom.wav", 11000, false, 1);
  check("music.wav", 22000, true, 1);
  check("meteors.wav", 22000, true, 1);
  // Later rules override earlier frequencies.
  check("diamond complete.wav", 44000, false, 1);
  check("author diamond.wav", 44000, false, 1);
  check("rock stop boom.wav", 11000, false, 4);
  check("boom music.wav", 22000, true, 1);
}

TEST(AudioEffects, LoadsWaveEntriesOnly) {
  FakeDevice device;
  AudioState a;
  std::string status;
  ::testing::internal::CaptureStderr();
  auto withBroken = [] {
    std::vector<NamedBytes> e = Effects();
    e.push_back({"broken.wav", {'R', 'I', 'F', 'F'}});
    return e;
  };
  LoadSoundEffects(a, &device, {}, withBroken, [&](const std::string& s) { status = s; });
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, "Preparing sound...");
  EXPECT_TRUE(a.SoundAvailable);
  EXPECT_TRUE(a.MusicAvailable);
  EXPECT_TRUE(device.IsOpen());
  EXPECT_EQ(a.Waves->Count(), 4);  // not "fonts.dat", not the damaged one
  EXPECT_EQ(a.Waves->Find("fonts.dat"), -1);
  EXPECT_EQ(a.Waves->Find("broken.wav"), -1);
  EXPECT_NE(err.find("broken.wav"), std::string::npos);

  const int diamond = a.Waves->Find("diamond.wav");
  EXPECT_EQ(a.Waves->Frequency(diamond), 44000);
  const int rock = a.Waves->Find("rock stop.wav");
  EXPECT_EQ(a.Waves->MaxPlayings(rock), 4);
  EXPECT_TRUE(a.Waves->Looped(a.Waves->Find("meteors.wav")));
}

TEST(AudioEffects, NoSoundOrBrokenDeviceLeavesGameSilent) {
  bool read = false;
  auto reader = [&] {
    read = true;
    return Effects();
  };
  {
    FakeDevice device;
    AudioState a;
    LoadSoundEffects(a, &device, {{"gravik", "-NoSound"}}, reader);
    EXPECT_FALSE(a.SoundAvailable);
    EXPECT_TRUE(a.MusicAvailable);
    EXPECT_FALSE(a.SoundOn);
    EXPECT_FALSE(a.MusicOn);
    EXPECT_EQ(device.opens, 0);
    EXPECT_FALSE(read);
    a.SoundOn = true;  // a profile switching effects on changes nothing
    PlaySound(a, "click1.wav");
    EXPECT_EQ(a.Waves->ActiveVoices(), 0);
  }
  {
    FakeDevice device;
    AudioState a;
    LoadSoundEffects(a, &device, {.Args = {}, .SoundOff = true}, reader);
    EXPECT_FALSE(a.SoundAvailable);
    EXPECT_EQ(device.opens, 0);
  }
  {
    FakeDevice broken(false);
    AudioState a;
    LoadSoundEffects(a, &broken, {}, reader);
    EXPECT_EQ(broken.opens, 1);
    EXPECT_FALSE(a.SoundAvailable);
    EXPECT_FALSE(a.MusicAvailable);
    EXPECT_FALSE(a.SoundOn);
    EXPECT_FALSE(a.MusicOn);
  }
  EXPECT_FALSE(read);
}

TEST(AudioEffects, PlaySoundRules) {
  Rig r;
  r.a.SoundLevel = 5;
  ApplyVolumes(r.a);
  FakeDevice& dev = r.device;
  const int click = r.Item("click1.wav");

  PlaySound(r.a, "click1.wav");
  EXPECT_TRUE(r.a.Waves->IsPlaying(click));
  EXPECT_EQ(r.a.Waves->Volume(click), -1575);
  dev.Pump(100);
  const uint32_t at = r.a.Waves->Position(click);
  EXPECT_GT(at, 0u);

  PlaySound(r.a, "click1.wav", false);  // playing and not to be restarted
  EXPECT_EQ(r.a.Waves->Position(click), at);
  PlaySound(r.a, "click1.wav");  // restarted: one playing at a time
  EXPECT_EQ(r.a.Waves->Position(click), 0u);
  EXPECT_EQ(r.a.Waves->Playings(click), 1);

  for (int i = 0; i < 6; ++i) PlaySound(r.a, "rock stop.wav");
  EXPECT_EQ(r.a.Waves->Playings(r.Item("rock stop.wav")), 4);

  // "meteors.wav" keeps the volume it was given and is not restarted while it plays.
  const int meteors = r.Item("meteors.wav");
  SetSoundVolume(r.a, "meteors.wav", -3000);
  PlaySound(r.a, "meteors.wav");
  dev.Pump(50);
  const uint32_t mp = r.a.Waves->Position(meteors);
  PlaySound(r.a, "meteors.wav");
  EXPECT_EQ(r.a.Waves->Position(meteors), mp);
  EXPECT_EQ(r.a.Waves->Volume(meteors), -3000);
  StopSound(r.a, "meteors.wav");
  EXPECT_FALSE(IsSoundPlaying(r.a, "meteors.wav"));

  r.a.Waves->StopAll();
  r.a.SoundOn = false;
  PlaySound(r.a, "click1.wav");
  EXPECT_FALSE(r.a.Waves->IsPlaying(click));
}

TEST(AudioEffects, MissingWaveIsReportedNotFatal) {
  Rig r;
  ::testing::internal::CaptureStderr();
  EXPECT_NO_THROW(PlaySound(r.a, "nope.wav"));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("Wave 'nope.wav' not found"), std::string::npos);
  EXPECT_EQ(r.a.Waves->ActiveVoices(), 0);
}

TEST(MusicFile, RoundTripsAndDescramblesItsOwnLength) {
  std::vector<uint8_t> small(1000);
  std::vector<uint8_t> big(150001 + 500);
  for (size_t i = 0; i < small.size(); ++i) small[i] = uint8_t(i * 7);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i * 13 + 1);
  const std::vector<uint8_t> file = WriteMusicFile({{"music1.o", small}, {"music2.o", big}});
  ASSERT_EQ(file.size(), 727 + small.size() + big.size());

  // The short item is scrambled over its own 1000 bytes only, so the big one starts
  // scrambled right after it; the big one is plain after 150,001 bytes.
  EXPECT_EQ(file[727], uint8_t(small[0] ^ 0xB6));
  EXPECT_EQ(file[727 + 999], uint8_t(small[999] ^ 0xB6));
  EXPECT_EQ(file[1727], uint8_t(big[0] ^ 0xB6));
  EXPECT_EQ(file[1727 + 150000], uint8_t(big[150000] ^ 0xB6));
  EXPECT_EQ(file[1727 + 150001], big[150001]);
  // Directory: first entry's length byte scrambled; unused entries are zeros scrambled.
  EXPECT_EQ(file[7], uint8_t(8 ^ 0xB6));
  EXPECT_EQ(file[7 + 36 * 5], 0xB6);

  std::vector<NamedBytes> items;
  ASSERT_EQ(ReadMusicFile(file.data(), file.size(), items), MusicFileStatus::Ok);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].name, "music1.o");
  EXPECT_EQ(items[0].bytes, small);
  EXPECT_EQ(items[1].name, "music2.o");
  EXPECT_EQ(items[1].bytes, big);

  // A file with no items is padded to the smallest size the reader takes.
  const std::vector<uint8_t> empty = WriteMusicFile({});
  EXPECT_EQ(ReadMusicFile(empty.data(), empty.size(), items), MusicFileStatus::Ok);
  EXPECT_TRUE(items.empty());

  EXPECT_THROW(WriteMusicFile(std::vector<NamedBytes>(21)), GameError);
  EXPECT_THROW(WriteMusicFile({{std::string(32, 'x'), {}}}), GameError);
}

TEST(MusicFile, DamageIsInvalidOrCorrupt) {
  const std::vector<uint8_t> good = TwoTracks(300, 300);
  std::vector<NamedBytes> items;
  auto status = [&](std::vector<uint8_t> b) { return ReadMusicFile(b.data(), b.size(), items); };

  std::vector<uint8_t> short999(999, 0);
  short999[0] = 5002 & 0xFF;
  short999[1] = 5002 >> 8;
  short999[2] = 999 & 0xFF;
  short999[3] = 999 >> 8;
  EXPECT_EQ(status(short999), MusicFileStatus::Invalid);

  std::vector<uint8_t> magic = good;
  magic[0] ^= 1;
  EXPECT_EQ(status(magic), MusicFileStatus::Invalid);

  std::vector<uint8_t> sizeOff = good;
  sizeOff[2] += 1;
  EXPECT_EQ(status(sizeOff), MusicFileStatus::Corrupt);
  std::vector<uint8_t> longer = good;
  longer.push_back(0);  // the stored size is now one short
  EXPECT_EQ(status(longer), MusicFileStatus::Corrupt);

  std::vector<uint8_t> count21 = good;
  count21[6] = 21;
  EXPECT_EQ(status(count21), MusicFileStatus::Corrupt);

  std::vector<uint8_t> pastEnd = good;
  pastEnd[7 + 36 + 32] ^= 0x01;  // second item's size grows by one past the end
  pastEnd[7 + 36 + 33] ^= 0x10;
  EXPECT_EQ(status(pastEnd), MusicFileStatus::Corrupt);
  EXPECT_TRUE(items.empty());

  // An overlong name length byte reads 31 characters and no more.
  std::vector<uint8_t> longName = good;
  longName[7] = uint8_t(200 ^ 0xB6);
  EXPECT_EQ(status(longName), MusicFileStatus::Ok);
  EXPECT_EQ(items[0].name.size(), 31u);

  // A track that is not a wave makes the file corrupt and adds nothing.
  AudioState a;
  EXPECT_EQ(LoadMusicData(a, WriteMusicFile({{"music1.o", std::vector<uint8_t>(2000, 7)}})), " corrupt.");
  EXPECT_EQ(a.Waves->Count(), 0);
}

TEST(MusicFile, LoadReportsAndDisablesMusic) {
  testing::TempHome tmp;
  const std::string data = tmp.Sub("data"), prog = tmp.Sub("prog");
  RecordingShell shell;
  FakeDevice device;
  AudioState a;
  LoadSoundEffects(a, &device, {}, [] { return Effects(); });

  EXPECT_EQ(LoadMusicFile(a, {}, {data, prog}, "", &shell), "zqaudio.dat not found. Music disabled.");
  EXPECT_FALSE(a.MusicAvailable);
  EXPECT_FALSE(a.MusicOn);
  ASSERT_EQ(shell.shown.size(), 1u);
  EXPECT_EQ(shell.shown[0], "zqaudio.dat not found. Music disabled.");

  testing::WriteBytes(prog + "/zqaudio.dat", std::vector<uint8_t>(999, 0));
  a.MusicAvailable = a.MusicOn = true;
  EXPECT_EQ(LoadMusicFile(a, {}, {data, prog}), "zqaudio.dat invalid. Music disabled.");

  std::vector<uint8_t> off = TwoTracks(300, 300);
  off[2] -= 1;
  testing::WriteBytes(data + "/zqaudio.dat", off);
  a.MusicAvailable = a.MusicOn = true;
  EXPECT_EQ(LoadMusicFile(a, {}, {data, prog}), "zqaudio.dat corrupt. Music disabled.");

  // The first folder that holds the file wins.
  testing::WriteBytes(data + "/zqaudio.dat", TwoTracks(300, 300));
  testing::WriteBytes(data + "/setup.tmp", {1});
  a.MusicAvailable = a.MusicOn = true;
  a.CurrentTrackName = "music1.o";
  EXPECT_EQ(LoadMusicFile(a, {}, {data, prog}, data), "");
  EXPECT_TRUE(a.MusicAvailable);
  EXPECT_TRUE(a.MusicOn);
  EXPECT_EQ(a.CurrentTrackName, "music2.o");
  EXPECT_GE(a.Waves->Find("music1.o"), 0);
  EXPECT_EQ(a.Waves->Frequency(a.Waves->Find("music2.o")), 22000);
  EXPECT_FALSE(a.Waves->Looped(a.Waves->Find("music2.o")));
  EXPECT_FALSE(fs::exists(data + "/setup.tmp"));
}

TEST(MusicFile, NoSoundStillChecksNoMusic) {
  testing::TempHome tmp;
  const std::string data = tmp.Sub("data");  // holds no music file
  {
    FakeDevice device;  // outlives the state, which closes it
    AudioState a;
    const AudioSwitches sw{.Args = {"-nosound", "-NOMUSIC"}};
    LoadSoundEffects(a, &device, sw, [] { return Effects(); });
    EXPECT_EQ(LoadMusicFile(a, sw, {data}), "");  // switched off before the file is looked for
    EXPECT_FALSE(a.MusicAvailable);
    EXPECT_FALSE(a.MusicOn);
  }
  {
    FakeDevice device;  // outlives the state, which closes it
    AudioState a;
    const AudioSwitches sw{.Args = {"-NoSound"}};
    LoadSoundEffects(a, &device, sw, [] { return Effects(); });
    EXPECT_EQ(LoadMusicFile(a, sw, {data}), "zqaudio.dat not found. Music disabled.");
  }
  {
    // With the file there, music stays available, yet nothing plays without a device.
    testing::WriteBytes(data + "/zqaudio.dat", TwoTracks());
    FakeDevice device;  // outlives the state, which closes it
    AudioState a;
    const AudioSwitches sw{.Args = {"-nosound"}};
    LoadSoundEffects(a, &device, sw, [] { return Effects(); });
    EXPECT_EQ(LoadMusicFile(a, sw, {data}), "");
    EXPECT_TRUE(a.MusicAvailable);
    a.MusicOn = true;
    PlayMusic(a, 1, true);
    EXPECT_FALSE(a.MusicPlaying);
    EXPECT_EQ(a.Waves->ActiveVoices(), 0);
  }
  {
    FakeDevice device;  // outlives the state, which closes it
    AudioState a;
    LoadSoundEffects(a, &device, {.Args = {}, .MusicOff = true}, [] { return Effects(); });
    EXPECT_EQ(LoadMusicFile(a, {.Args = {}, .MusicOff = true}, {data}), "");
    EXPECT_FALSE(a.MusicAvailable);
    EXPECT_TRUE(a.SoundAvailable);
  }
}

TEST(Music, PlayPauseResumeAndSwitchTracks) {
  Rig r;
  const int t1 = r.Item("music1.o"), t2 = r.Item("music2.o");

  PlayMusic(r.a, 2, false);
  EXPECT_TRUE(r.a.MusicPlaying);
  EXPECT_TRUE(r.a.Waves->IsPlaying(t2));
  EXPECT_FALSE(r.a.Waves->Looped(t2));
  r.device.Pump(1000);
  const uint32_t p = r.a.Waves->Position(t2);
  EXPECT_GT(p, 0u);

  PlayMusic(r.a, 2, false);  // already playing: not restarted
  EXPECT_EQ(r.a.Waves->Position(t2), p);

  PauseMusic(r.a);
  EXPECT_FALSE(r.a.MusicPlaying);
  EXPECT_FALSE(r.a.Waves->IsPlaying(t2));
  EXPECT_EQ(r.a.ResumePosition, p);

  PlayMusic(r.a, 2, false);  // resumes where it stopped
  EXPECT_EQ(r.a.Waves->Position(t2), p);
  r.device.Pump(500);

  PlayMusic(r.a, 1, true);  // another track starts from its beginning
  EXPECT_FALSE(r.a.Waves->IsPlaying(t2));
  EXPECT_TRUE(r.a.Waves->IsPlaying(t1));
  EXPECT_TRUE(r.a.Waves->Looped(t1));
  EXPECT_EQ(r.a.Waves->Position(t1), 0u);
  EXPECT_EQ(r.a.CurrentTrackName, "music1.o");
  EXPECT_TRUE(r.a.Track1Requested);
  EXPECT_FALSE(r.a.Track2Requested);

  // Asking again for the same track leaves it playing.
  r.device.Pump(300);
  const uint32_t q = r.a.Waves->Position(t1);
  PlayMusic(r.a, 1, true);
  EXPECT_TRUE(r.a.Waves->IsPlaying(t1));
  EXPECT_EQ(r.a.Waves->Position(t1), q);

  StopMusic(r.a);
  EXPECT_FALSE(r.a.MusicPlaying);
  EXPECT_FALSE(r.a.Track1Requested);
  EXPECT_EQ(r.a.Waves->ActiveVoices(), 0);
}

TEST(Music, LostLifeRestartsTheTrack) {
  Rig r;
  const int t2 = r.Item("music2.o");
  PlayMusic(r.a, 2, false);
  r.device.Pump(1000);
  MarkMusicRestart(r.a);
  PauseMusic(r.a);
  EXPECT_EQ(r.a.ResumePosition, 0u);
  EXPECT_FALSE(r.a.MusicRestartMark);
  PlayMusic(r.a, 2, false);
  EXPECT_EQ(r.a.Waves->Position(t2), 0u);
}

TEST(Music, EndedTrackRestartsFromItsBeginning) {
  Rig r;
  const int t2 = r.Item("music2.o");
  PlayMusic(r.a, 2, false);
  EXPECT_FALSE(RestartMusicIfEnded(r.a));
  r.device.Pump(9000);  // 4000 frames at 22,000 Hz last about 8,020 output frames
  EXPECT_FALSE(r.a.Waves->IsPlaying(t2));
  EXPECT_TRUE(RestartMusicIfEnded(r.a));
  EXPECT_TRUE(r.a.Waves->IsPlaying(t2));
  EXPECT_EQ(r.a.Waves->Position(t2), 0u);

  // PlayMusic on a track that ended also starts it over.
  r.device.Pump(9000);
  PlayMusic(r.a, 2, false);
  EXPECT_TRUE(r.a.Waves->IsPlaying(t2));
  EXPECT_EQ(r.a.Waves->Position(t2), 0u);
}

TEST(Music, OffSwitchesAndHotKeys) {
  Rig r;
  r.a.MusicOn = false;
  PlayMusic(r.a, 1, true);
  EXPECT_FALSE(r.a.MusicPlaying);

  r.a.MusicLevel = 0;
  SwitchMusicOn(r.a, 2, false);
  EXPECT_TRUE(r.a.MusicOn);
  EXPECT_TRUE(r.a.MusicPlaying);
  EXPECT_EQ(r.a.MusicLevel, 4);
  EXPECT_EQ(r.a.Waves->Volume(r.Item("music2.o")), LevelVolume(4));

  SwitchMusicOff(r.a);
  EXPECT_FALSE(r.a.MusicOn);
  EXPECT_EQ(r.a.Waves->ActiveVoices(), 0);

  PlaySound(r.a, "meteors.wav");
  SwitchEffectsOff(r.a, true);
  EXPECT_FALSE(r.a.SoundOn);
  EXPECT_FALSE(IsSoundPlaying(r.a, "meteors.wav"));

  r.a.SoundLevel = -1;
  SwitchEffectsOn(r.a);
  EXPECT_TRUE(r.a.SoundOn);
  EXPECT_EQ(r.a.SoundLevel, 5);
  EXPECT_EQ(r.a.EffectVolume, -1575);
}

TEST(Music, StateClosesTheDeviceItOpened) {
  FakeDevice device;
  {
    AudioState a;
    LoadSoundEffects(a, &device, {}, [] { return Effects(); });
    EXPECT_TRUE(device.IsOpen());
  }
  EXPECT_FALSE(device.IsOpen());
}

}  // namespace
}  // namespace gravik
