#include "support/DataFiles.h"

#include <filesystem>

namespace gravik::testing {

std::string DataFolder() { return std::string(GRAVIK_BINARY_DIR) + "/"; }

bool DataFilesBuilt() {
  std::error_code ec;
  return std::filesystem::exists(DataFolder() + "zqresource.dat", ec);
}

}  // namespace gravik::testing
