#include "support/TempHome.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace gravik::testing {

namespace fs = std::filesystem;

TempHome::TempHome() {
  std::string tmpl = (fs::temp_directory_path() / "gravik-home-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("no temporary folder could be made from " + tmpl);
  path_ = tmpl;
  if (const char* old = std::getenv("GRAVIK_HOME")) {
    old_ = old;
    hadOld_ = true;
  }
  setenv("GRAVIK_HOME", path_.c_str(), 1);
}

TempHome::~TempHome() {
  if (hadOld_) setenv("GRAVIK_HOME", old_.c_str(), 1);
  else unsetenv("GRAVIK_HOME");
  // Tests make folders read-only; the owner may always remove what it made.
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::string TempHome::Sub(const std::string& name) const {
  const std::string p = *this / name;
  std::error_code ec;
  fs::create_directories(p, ec);
  return p;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  // An empty vector may have no data pointer.
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace gravik::testing
