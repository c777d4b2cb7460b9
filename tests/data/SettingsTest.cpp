#include <gtest/gtest.h>

#include <string>

#include "DataTestUtil.h"
#include "support/TempHome.h"
#include "audio/Audio.h"
#include "base/Random.h"
#include "data/Profile.h"
#include "data/Settings.h"
#include "frame/PlayerData.h"
#include "input/Input.h"
#include "platform/Folders.h"
#include "platform/SettingsStore.h"

namespace gravik {
namespace {

using namespace datatest;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tmp_.Folder().empty());
    setenv("GRAVIK_HOME", tmp_.Folder().c_str(), 1);
  }
  std::string Path(const std::string& name) const { return tmp_.Folder() + name; }
  void WriteText(const std::string& name, const std::string& text) {
    WriteFile(Path(name), std::vector<uint8_t>(text.begin(), text.end()));
  }
  std::string ReadText(const std::string& name) const {
    std::vector<uint8_t> raw;
    ReadWholeFile(Path(name), raw);
    return std::string(raw.begin(), raw.end());
  }
  testing::TempHome tmp_;
};

TEST_F(SettingsTest, StoreValuesReadWithTheirDefaults) {
  const std::string storePath = Path("config/Vantorix/Gravik 2/settings.conf");
  {
    FileSettingsStore missing(storePath);  // no file yet: every default
    const RegistrySettings s = ReadRegistrySettings(missing);
    EXPECT_EQ(s.LastPlayer, "");
    EXPECT_FALSE(s.FullScreen);
    EXPECT_FALSE(s.MusicOff || s.SoundOff || s.AfsOff);
  }
  WriteText("config/Vantorix/Gravik 2/settings.conf", "Profile=Zo\xC3\xAB\nsoundoff\nAFSOFF=0\n");
  FileSettingsStore store(storePath);
  RegistrySettings s = ReadRegistrySettings(store);
  EXPECT_EQ(s.LastPlayer, "Zo\xEB");     // the store holds UTF-8, the game 1252
  EXPECT_FALSE(s.FullScreen);            // absent: windowed
  EXPECT_TRUE(s.SoundOff);               // presence alone, whatever the value
  EXPECT_TRUE(s.AfsOff);
  EXPECT_FALSE(s.MusicOff);

  WriteRegistrySettings(store, "Ann \xE9", false);
  s = ReadRegistrySettings(*std::make_unique<FileSettingsStore>(storePath));
  EXPECT_EQ(s.LastPlayer, "Ann \xE9");
  EXPECT_TRUE(s.FullScreen);  // windowed flag 0
  ProfileState p;
  p.CurrentName = "Bo";
  p.Record->Windowed = 1;
  WriteRegistrySettings(store, p);
  s = ReadRegistrySettings(*std::make_unique<FileSettingsStore>(storePath));
  EXPECT_EQ(s.LastPlayer, "Bo");
  EXPECT_FALSE(s.FullScreen);
  EXPECT_TRUE(s.SoundOff);  // never written, kept
}

TEST_F(SettingsTest, AStoreFileThatCannotBeReadWholeIsKeptAsideNeverReplaced) {
  const std::string path = Path("settings.conf");
  const std::string big = "Profile=Ann\nmusicoff\nFullscreen=1\n" + std::string(1 << 20, '#') + "\n";
  WriteText("settings.conf", big);
  WriteText("settings.conf.unreadable", "kept from before\n");
  ::testing::internal::CaptureStderr();
  {
    FileSettingsStore store(path);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(path + ".unreadable-2"), std::string::npos) << said;
    const RegistrySettings reg = ReadRegistrySettings(store);
    EXPECT_TRUE(reg.LastPlayer.empty()) << "the defaults";
    EXPECT_FALSE(reg.MusicOff);
    WriteRegistrySettings(store, "Bob", true);
    EXPECT_FALSE(store.LastSaveFailed());
  }
  EXPECT_EQ(ReadText("settings.conf.unreadable-2"), big) << "the player's file, whole";
  EXPECT_EQ(ReadText("settings.conf.unreadable"), "kept from before\n");
  EXPECT_EQ(ReadText("settings.conf"), "Fullscreen=0\nProfile=Bob\n");
}

TEST_F(SettingsTest, IniKeysMatchAnywhereAndTheLastLineWins) {
  struct Case {
    const char* text;
    bool soundOff, musicOff, alt;
    int kbi;
  };
  const Case cases[] = {
      {"", false, false, false, 0},
      {"SoundFX=off\n", false, false, false, 0},    // value "fx=off"
      {"Sound=off\r\nMusic=off\r\n", true, true, false, 0},
      {"Music=on\nMusic=off\n", false, true, false, 0},
      {"Music=off\nMusic=on\n", false, false, false, 0},
      {"KBI=1", false, false, false, 1},
      {"  kbi=1  \rAltmode=ON\r", false, false, true, 1},
      {"Sound\n", false, false, false, 0},           // only the name: empty value
      {"sound=off\nmy sound=on\n", false, false, false, 0},  // the last line holding the name
      {"Kbi=2\n", false, false, false, 0},
      {"Sound = off\n", false, false, false, 0},     // " off" after the cut
  };
  for (const Case& c : cases) {
    const IniSettings s = ParseIniSettings(c.text);
    EXPECT_EQ(s.SoundOff, c.soundOff) << c.text;
    EXPECT_EQ(s.MusicOff, c.musicOff) << c.text;
    EXPECT_EQ(s.AltMode, c.alt) << c.text;
    EXPECT_EQ(s.KeyboardMode, c.kbi) << c.text;
  }
  EXPECT_EQ(SplitIniLines("a\r\nb\rc\n\nd"), (std::vector<std::string>{"a", "b", "c", "", "d"}));

  EXPECT_EQ(ReadIniSettings(Path("none.ini")).KeyboardMode, 0);
  WriteText("gravik.ini", "Kbi=1\nMusic=off\n");
  const IniSettings s = ReadIniSettings(IniPath(tmp_.Folder()));
  EXPECT_EQ(s.KeyboardMode, 1);
  AudioSwitches sw;
  AudioState audio;
  audio.SoundOn = audio.MusicOn = false;
  InputState in;
  ApplyIniSettings(s, sw, audio, in);
  EXPECT_TRUE(sw.MusicOff);
  EXPECT_FALSE(sw.SoundOff);
  EXPECT_TRUE(audio.SoundOn && audio.MusicOn);
  EXPECT_EQ(in.KeyboardMode, 1);
  EXPECT_EQ(in.KeyNames[200], "Up arrow");  // names of mode 1
}

TEST_F(SettingsTest, KeyboardModeReplacesTheLastKbiLine) {
  const std::string ini = IniPath(tmp_.Folder());
  ASSERT_TRUE(SaveKeyboardMode(ini, 1));  // no file: one line
  EXPECT_EQ(ReadText("gravik.ini"), "kbi=1\n");

  WriteText("gravik.ini", "KBI=1\r\nSound=off\r\nkbi=1 # old\r\nMusic=off");
  ASSERT_TRUE(SaveKeyboardMode(ini, 0));
  EXPECT_EQ(ReadText("gravik.ini"), "KBI=1\r\nSound=off\r\nkbi=0\r\nMusic=off\r\n");

  WriteText("gravik.ini", "Kbi=0\nAltmode=on\n");  // the first line
  ASSERT_TRUE(SaveKeyboardMode(ini, 1));
  EXPECT_EQ(ReadText("gravik.ini"), "kbi=1\nAltmode=on\n");
  EXPECT_EQ(ReadIniSettings(ini).KeyboardMode, 1);
  EXPECT_TRUE(ReadIniSettings(ini).AltMode);

  // Something there that cannot be read is left alone.
  std::filesystem::create_directories(Path("dir/gravik.ini"));
  EXPECT_FALSE(SaveKeyboardMode(Path("dir/gravik.ini"), 1));
  EXPECT_TRUE(DirectoryExists(Path("dir/gravik.ini")));
  EXPECT_FALSE(SaveKeyboardMode(Path("nofolder/gravik.ini"), 1));
}

}  // namespace
}  // namespace gravik
