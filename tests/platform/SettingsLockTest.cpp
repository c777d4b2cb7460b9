#include <gtest/gtest.h>

#include <fstream>

#include "support/TempHome.h"
#include "platform/Folders.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

namespace gravik {
namespace {

using testing::TempHome;

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> raw;
  ReadWholeFile(path, raw);
  return std::string(raw.begin(), raw.end());
}

TEST(FileSettingsStore, RoundTripThroughTheFile) {
  TempHome home;
  const std::string path = Folders().SettingsStoreFile();
  {
    FileSettingsStore s(path);  // folder does not exist yet: made on the first write
    EXPECT_FALSE(s.ValueExists("Profile"));
    EXPECT_EQ(s.ReadString("Profile"), "");
    EXPECT_EQ(s.ReadInteger("Profile"), 0);
    s.WriteString("Profile", "Jo \xA3 = x\\y");  // 1252 bytes, '=' and '\' in the value
    s.WriteBool("Fullscreen", true);
    s.WriteInteger("Count", -42);
    s.WriteString("Multi", "line1\nline2\r");
    EXPECT_FALSE(s.LastSaveFailed());
  }
  FileSettingsStore s(path);
  EXPECT_EQ(s.ReadString("Profile"), "Jo \xA3 = x\\y");
  EXPECT_TRUE(s.ReadBool("Fullscreen"));
  EXPECT_EQ(s.ReadInteger("Count"), -42);
  EXPECT_EQ(s.ReadString("Multi"), "line1\nline2\r");
  EXPECT_TRUE(s.ValueExists("profile"));  // names ignore letter case, like registry values
  EXPECT_EQ(s.ReadString("PROFILE"), s.ReadString("Profile"));

  s.WriteBool("Fullscreen", false);
  s.DeleteValue("Count");
  FileSettingsStore again(path);
  EXPECT_FALSE(again.ReadBool("Fullscreen"));
  EXPECT_TRUE(again.ValueExists("Fullscreen"));
  EXPECT_FALSE(again.ValueExists("Count"));
}

TEST(FileSettingsStore, DamagedAndBareLines) {
  TempHome home;
  const std::string path = home / "settings.conf";
  std::ofstream(path, std::ios::binary)
      << "musicoff\n"             // only a name: present, empty value
      << "=orphan value\n"        // no name
      << "  soundoff  \r\n"       // blanks and CR around a bare name
      << "# comment=1\n"
      << std::string("bad\0name=1\n", 11)
      << "Fullscreen=yes\n"        // not a number: false
      << "Big=99999999999999\n"
      << "Profile=first\n"
      << "profile=second\n"        // the later line wins
      << "\xFF\xFE\x01=\n"
      << "trailing=no newline";
  FileSettingsStore s(path);
  EXPECT_TRUE(s.ValueExists("musicoff"));
  EXPECT_EQ(s.ReadString("musicoff"), "");
  EXPECT_TRUE(s.ValueExists("soundoff"));
  EXPECT_FALSE(s.ValueExists(""));
  EXPECT_FALSE(s.ValueExists("# comment"));
  EXPECT_FALSE(s.ValueExists("afsoff"));
  EXPECT_FALSE(s.ReadBool("Fullscreen"));
  EXPECT_EQ(s.ReadInteger("Big"), INT32_MAX);
  EXPECT_EQ(s.ReadString("Profile"), "second");
  EXPECT_EQ(s.ReadString("trailing"), "no newline");

  // Names that cannot be stored are refused rather than corrupting the file.
  s.WriteString("a=b", "x");
  s.WriteString("line\nbreak", "x");
  s.WriteString("ok", "1");
  FileSettingsStore again(path);
  EXPECT_FALSE(again.ValueExists("a"));
  EXPECT_FALSE(again.ValueExists("line"));
  EXPECT_TRUE(again.ValueExists("ok"));
  EXPECT_TRUE(again.ValueExists("musicoff"));
}

TEST(FileSettingsStore, UnwritableFileKeepsValuesInMemory) {
  TempHome home;
  ASSERT_TRUE(CreateDirectory(home / "blocker"));
  FileSettingsStore s(home / "blocker");  // the path is a folder: saving cannot work
  s.WriteString("Profile", "Ann");
  EXPECT_TRUE(s.LastSaveFailed());
  EXPECT_EQ(s.ReadString("Profile"), "Ann");
  EXPECT_TRUE(DirectoryExists(home / "blocker"));
}

TEST(FileSettingsStore, HugeOrBinaryFileIsIgnored) {
  TempHome home;
  const std::string path = home / "big.conf";
  std::ofstream(path, std::ios::binary) << std::string(3 << 20, 'a') << "=1\n";
  FileSettingsStore s(path);
  EXPECT_FALSE(s.ValueExists(std::string(3 << 20, 'a')));
  s.WriteString("Profile", "x");
  EXPECT_EQ(ReadText(path), "Profile=x\n");
}

TEST(InstanceLock, SecondInstanceRefusedWhateverTheCase) {
  TempHome home;
  {
    InstanceLock first("/usr/games/gravik");
    ASSERT_TRUE(first.Acquired());
    EXPECT_EQ(first.Path(), home / "GRAVIK.lock");
    InstanceLock second("./GraVik");
    EXPECT_FALSE(second.Acquired());
    EXPECT_TRUE(second.HeldElsewhere());
    InstanceLock other("editor");  // another program is not affected
    EXPECT_TRUE(other.Acquired());
  }
  InstanceLock afterRelease("GRAVIK");
  EXPECT_TRUE(afterRelease.Acquired());
}

TEST(InstanceLock, SeparateHomesDoNotMeet) {
  TempHome a;
  InstanceLock first("gravik");
  ASSERT_TRUE(first.Acquired());
  TempHome b;
  InstanceLock second("gravik");
  EXPECT_TRUE(second.Acquired());
  EXPECT_NE(first.Path(), second.Path());
}

TEST(InstanceLock, FileNames) {
  EXPECT_EQ(InstanceLock::LockFileName("/opt/x/Gravik2"), "GRAVIK2.lock");
  EXPECT_EQ(InstanceLock::LockFileName("C:\\Games\\gravik.exe"), "GRAVIK.EXE.lock");
  EXPECT_EQ(InstanceLock::LockFileName(""), "GRAVIK.lock");
  EXPECT_EQ(InstanceLock::LockFileName("/opt/x/"), "GRAVIK.lock");
}

}  // namespace
}  // namespace gravik
