// A temporary folder set as GRAVIK_HOME for the life of a test.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace gravik::testing {

class TempHome {
 public:
  TempHome() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "gravik-platform-XXXXXX").string();
    char* made = mkdtemp(tmpl.data());
    EXPECT_NE(made, nullptr);
    path_ = tmpl;
    const char* old = std::getenv("GRAVIK_HOME");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    setenv("GRAVIK_HOME", path_.c_str(), 1);
  }
  ~TempHome() {
    if (hadOld_) setenv("GRAVIK_HOME", old_.c_str(), 1);
    else unsetenv("GRAVIK_HOME");
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_, old_;
  bool hadOld_ = false;
};

}  // namespace gravik::testing
