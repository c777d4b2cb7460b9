// The data files the build makes from assets/ (target data_files).
#pragma once
#include <string>

namespace gravik::testing {

// Their folder, with a trailing slash, and whether they are there.
std::string DataFolder();
bool DataFilesBuilt();

}  // namespace gravik::testing

// Skips the test (GoogleTest's skip) when the data files are not built. CMake builds them before
// the test programs that read them, so this only fires in partial builds.
#define GRAVIK_REQUIRE_DATA_FILES()          \
  if (!::gravik::testing::DataFilesBuilt()) \
  GTEST_SKIP() << "the data files are not built (target data_files)"
