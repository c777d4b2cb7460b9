#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "support/TempHome.h"
#include "platform/Folders.h"

namespace gravik {
namespace {

using testing::TempHome;

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> raw;
  if (!ReadWholeFile(path, raw)) return "<unreadable>";
  return std::string(raw.begin(), raw.end());
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

size_t CountEntries(const std::string& dir) {
  size_t n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(Folders, EveryPerUserFolderGoesUnderGravikHome) {
  TempHome home;
  setenv("XDG_CONFIG_HOME", "/should/not/be/used", 1);
  setenv("XDG_DOCUMENTS_DIR", "/should/not/be/used", 1);
  Folders f;
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_DOCUMENTS_DIR");
  EXPECT_TRUE(f.UnderGravikHome());
  EXPECT_EQ(f.Home(), home.Path());
  EXPECT_EQ(f.Documents(), home / "Documents");
  EXPECT_EQ(f.AppData(), home / ".local/share");
  EXPECT_EQ(f.Config(), home / ".config");
  EXPECT_EQ(f.LockDir(), home.Path());
  EXPECT_EQ(f.SettingsStoreFile(), home / ".config/Vantorix/Gravik 2/settings.conf");
  EXPECT_EQ(f.Temp(), home / "tmp/");
  EXPECT_TRUE(DirectoryExists(f.Temp()));
  ASSERT_FALSE(f.ProgramFolder().empty());
  EXPECT_EQ(f.ProgramFolder().back(), '/');
  EXPECT_TRUE(DirectoryExists(f.ProgramFolder()));
  EXPECT_EQ(f.InstallDataFolder().back(), '/');
}

TEST(Folders, RelativeGravikHomeIsStillHonoured) {
  TempHome home;
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(home.Path().c_str()), 0);
  ASSERT_TRUE(CreateDirectory("rel"));
  setenv("GRAVIK_HOME", "rel/", 1);
  Folders f;
  EXPECT_EQ(chdir(cwd), 0);
  EXPECT_TRUE(f.UnderGravikHome());
  char real[4096];
  ASSERT_NE(realpath(home.Path().c_str(), real), nullptr);
  EXPECT_EQ(f.Config(), std::string(real) + "/rel/.config");
}

TEST(Folders, DocumentsFromUserDirsFile) {
  TempHome home;
  ASSERT_TRUE(CreateDirectories(home / ".config"));
  WriteText(home / ".config/user-dirs.dirs",
            "# written by xdg-user-dirs-update\n"
            "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
            "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
            "XDG_DOCUMENTS_DIR=relative-is-ignored\n");
  EXPECT_EQ(Folders().Documents(), home / "Dokumente");

  WriteText(home / ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n");
  EXPECT_EQ(Folders().Documents(), "/srv/docs");

  WriteText(home / ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n\x01\x02garbage");
  EXPECT_EQ(Folders().Documents(), home / "Documents");
}

TEST(Folders, FreeSpaceOfMissingPathUsesItsParent) {
  TempHome home;
  uint64_t here = Folders::FreeSpace(home.Path());
  EXPECT_NE(here, UINT64_MAX);
  EXPECT_GT(here, 0u);
  EXPECT_NE(Folders::FreeSpace(home / "not/yet/made"), UINT64_MAX);
}

TEST(Files, CreateReadDeleteAndLimits) {
  TempHome home;
  EXPECT_TRUE(CreateDirectories(home / "a/b/c/"));
  EXPECT_TRUE(DirectoryExists(home / "a/b/c"));
  EXPECT_TRUE(CreateDirectory(home / "a"));  // exists already: still true
  EXPECT_FALSE(FileExists(home / "a"));      // a folder is not a file

  const std::string p = home / "a/data.bin";
  const std::string payload("x\0y\xFFz", 5);
  ASSERT_TRUE(WriteWholeFileAtomic(p, payload.data(), payload.size()));
  EXPECT_TRUE(FileExists(p));
  std::vector<uint8_t> out;
  ASSERT_TRUE(ReadWholeFile(p, out));
  EXPECT_EQ(std::string(out.begin(), out.end()), payload);
  EXPECT_FALSE(ReadWholeFile(p, out, 4));  // larger than allowed
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(ReadWholeFile(home / "a", out));  // a folder
  ASSERT_EQ(mkfifo((home / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(home / "pipe", out));  // a pipe: refused, not waited on
  EXPECT_FALSE(ReadWholeFile(home / "missing", out));

  ASSERT_TRUE(WriteWholeFileAtomic(p, "", 0));  // empty files are files too
  EXPECT_TRUE(ReadWholeFile(p, out));
  EXPECT_TRUE(out.empty());

  EXPECT_TRUE(DeleteFile(p));
  EXPECT_FALSE(DeleteFile(p));
  EXPECT_FALSE(FileExists(p));
}

TEST(Files, AtomicWriteLeavesOldFileWhenWriteFails) {
  TempHome home;
  const std::string p = home / "profile.zqp";
  WriteText(p, "old contents");

  // The file-size limit makes write() fail part way, even for root.
  struct sigaction ignore {}, oldAction {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &oldAction);
  rlimit oldLimit{};
  getrlimit(RLIMIT_FSIZE, &oldLimit);
  rlimit small = oldLimit;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string big(5000, 'n');
  const bool ok = WriteWholeFileAtomic(p, big.data(), big.size());
  setrlimit(RLIMIT_FSIZE, &oldLimit);
  sigaction(SIGXFSZ, &oldAction, nullptr);

  EXPECT_FALSE(ok);
  EXPECT_EQ(ReadText(p), "old contents");
  EXPECT_EQ(CountEntries(home.Path()), 1u);  // no temporary file left behind
}

TEST(Files, AtomicWriteFailsCleanlyOnBadTargets) {
  TempHome home;
  EXPECT_FALSE(WriteWholeFileAtomic(home / "no/such/folder/file", "x", 1));
  ASSERT_TRUE(CreateDirectory(home / "dir"));
  WriteText(home / "dir/inside", "keep");
  EXPECT_FALSE(WriteWholeFileAtomic(home / "dir", "x", 1));  // a folder is never replaced
  EXPECT_EQ(ReadText(home / "dir/inside"), "keep");
  EXPECT_EQ(CountEntries(home.Path()), 1u);
  EXPECT_FALSE(WriteWholeFileAtomic("", "x", 1));
}

TEST(Files, AtomicWriteLeavesOldFileInReadOnlyFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempHome home;
  ASSERT_TRUE(CreateDirectory(home / "ro"));
  const std::string p = home / "ro/settings.conf";
  WriteText(p, "old");
  std::filesystem::permissions(home / "ro", std::filesystem::perms::owner_read |
                                                std::filesystem::perms::owner_exec);
  EXPECT_FALSE(WriteWholeFileAtomic(p, "new", 3));
  std::filesystem::permissions(home / "ro", std::filesystem::perms::owner_all);
  EXPECT_EQ(ReadText(p), "old");
}

TEST(Files, AtomicWriteKeepsPermissionsOfOldFile) {
  TempHome home;
  const std::string p = home / "f";
  WriteText(p, "a");
  std::filesystem::permissions(p, std::filesystem::perms::owner_read |
                                      std::filesystem::perms::owner_write);
  ASSERT_TRUE(WriteWholeFileAtomic(p, "bb", 2));
  EXPECT_EQ(std::filesystem::status(p).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(ReadText(p), "bb");
}

TEST(Files, WildcardMatching) {
  EXPECT_TRUE(MatchesWildcard("Level.ZQ", "*.zq"));
  EXPECT_TRUE(MatchesWildcard(".zq", "*.zq"));
  EXPECT_TRUE(MatchesWildcard(".hidden.zqp", "*.ZQP"));
  EXPECT_FALSE(MatchesWildcard("a.zqp", "*.zq"));
  EXPECT_FALSE(MatchesWildcard("a.zq.bak", "*.zq"));
  EXPECT_TRUE(MatchesWildcard("a.zq.zq", "*.zq"));
  EXPECT_TRUE(MatchesWildcard("abc", "a?c"));
  EXPECT_FALSE(MatchesWildcard("ac", "a?c"));
  EXPECT_TRUE(MatchesWildcard("", "*"));
  EXPECT_FALSE(MatchesWildcard("", "?"));
  EXPECT_TRUE(MatchesWildcard("anything", "*"));
  EXPECT_FALSE(MatchesWildcard("x**y", "x*\\*y"));  // no escapes: a backslash is literal
  // A pathological pattern finishes promptly.
  EXPECT_FALSE(MatchesWildcard(std::string(5000, 'a'), std::string(100, '*') + "b"));
}

TEST(Files, FindFilesIgnoresCaseAndIncludesDotNames) {
  TempHome home;
  for (const char* n : {"b.zqp", "A.ZQP", ".dot.zqp", "c.zq", "d.zqp.bak", "e.Zqp"}) {
    WriteText(home / n, "x");
  }
  ASSERT_TRUE(CreateDirectory(home / "folder.zqp"));  // folders are not listed
  EXPECT_EQ(FindFiles(home.Path(), "*.zqp"),
            (std::vector<std::string>{".dot.zqp", "A.ZQP", "b.zqp", "e.Zqp"}));
  EXPECT_EQ(FindFiles(home.Path() + "/", "*.ZQ"), (std::vector<std::string>{"c.zq"}));
  EXPECT_TRUE(FindFiles(home / "missing", "*").empty());
}

TEST(Files, PathHelpers) {
  EXPECT_EQ(IncludeTrailingSlash("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingSlash("/a/"), "/a/");
  EXPECT_EQ(IncludeTrailingSlash(""), "");
  EXPECT_EQ(ExtractFileName("/usr/bin/Gravik"), "Gravik");
  EXPECT_EQ(ExtractFileName("C:\\Games\\GRAVIK.EXE"), "GRAVIK.EXE");
  EXPECT_EQ(ExtractFileDir("/usr/bin/gravik"), "/usr/bin");
  EXPECT_EQ(ExtractFileDir("/gravik"), "/");
  EXPECT_EQ(ExtractFileDir("gravik"), "");
}

}  // namespace
}  // namespace gravik
