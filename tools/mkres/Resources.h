// The game's two data files, assembled from every part the builder makes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace gravik::mkres {

// "zqresource.dat": graphics set, fonts, system fonts, pictures, texts, sound
// effects and the built-in scenario. Empty with `error` set when any part fails.
std::vector<uint8_t> BuildResourceArchive(const std::string& assetsDir, std::string* error);

// "zqaudio.dat": the two music tracks.
std::vector<uint8_t> BuildAudioFile(const std::string& assetsDir, std::string* error);

// Builds both and writes them into `outDir`, each through a temporary file
// renamed into place, so a failed build never leaves a half file behind.
bool WriteDataFiles(const std::string& outDir, const std::string& assetsDir, std::string* error);

}  // namespace gravik::mkres
