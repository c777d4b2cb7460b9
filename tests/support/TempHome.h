// A fresh temporary folder that is GRAVIK_HOME while the object lives: the
// game's documents, settings and profiles go there, never to the real home.
// The previous GRAVIK_HOME comes back and the folder is removed at the end.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace gravik::testing {

class TempHome {
 public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  // The folder, without a trailing slash.
  const std::string& Path() const { return path_; }
  // The folder with a trailing slash, as the game's folder names end.
  std::string Folder() const { return path_ + "/"; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // A folder inside, made when missing.
  std::string Sub(const std::string& name) const;

 private:
  std::string path_, old_;
  bool hadOld_ = false;
};

// Writes `bytes` to `path`, making its folders; false when it could not.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace gravik::testing
