// Seed corpora for the fuzzers, taken from the data files a build made: the
// archive and its items (the built-in scenario, fonts.dat, pictures, sound
// effects, texts), the music file, and small files made from them so a
// fuzzer also has quick inputs of every kind to mutate.
#pragma once
#include <string>
#include <vector>

namespace gravik::mkres {

// Reads <dataDir>/zqresource.dat and <dataDir>/zqaudio.dat and writes
// <outDir>/<target>/<seed> for every fuzz target that reads one of the game's
// file kinds. Returns the files written; throws std::runtime_error when a data
// file is missing or does not read.
std::vector<std::string> WriteFuzzSeeds(const std::string& outDir, const std::string& dataDir);

}  // namespace gravik::mkres
