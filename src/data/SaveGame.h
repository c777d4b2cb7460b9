// A saved game: one per profile, in the documents folder's "Savegames". It holds
// everything needed to go on exactly where the player stopped: the scenario it
// belongs to, the values the frame keeps (lives, play time, clocks), the game's
// random generator, the whole world with the saved state of every level, the
// scenario's level records as play has changed them, and the background chips.
// Every clock is stored as an age, so a game continued later runs as if it had
// never stopped.
//
// File layout (little-endian): "G2SV", version (u16), 0 (u16), the packed
// payload's length (u32), its CRC-32 (u32), then the payload as one codec
// container. The payload starts with a summary the main menu can show without
// restoring anything.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/Scenario.h"
#include "world/World.h"

namespace gravik {

inline constexpr const char* SaveGameTag = "G2SV";
constexpr uint16_t SaveGameVersion = 1;
constexpr size_t SaveGameHeaderSize = 16;
// No saved game unpacks to more than this (the world and 20 levels are well under).
constexpr size_t SaveGamePayloadMax = 4u << 20;

// What the main menu shows about a saved game, and what ties it to its scenario.
struct SaveSummary {
  std::string ScenarioFile;   // file name, as the scenario list holds it
  uint32_t ScenarioCrc = 0;   // CRC-32 of the scenario file's bytes when play began
  std::string ScenarioName;
  int32_t Level = 1;
  int32_t Score = 0;
  int32_t Lives = 0;
  uint32_t PlaySeconds = 0;
};

// The values of the running game the frame keeps beside the world.
struct SavedPlayValues {
  uint8_t Lives = 3;
  uint32_t TotalPlaySeconds = 0;
  uint32_t LevelClockAge = 0;    // ms since the level clock's reference
  int32_t RestartX = 6, RestartY = 16;
  int32_t TransportersUsed = 0;
  uint64_t RandomState = 0;      // the game's random generator
};

struct SavedGame {
  SaveSummary Summary;
  SavedPlayValues Play;
  std::vector<uint8_t> State;  // the world, the level records and the chips, as written
};

// The whole file. `now` is the clock reading the world's ticks are aged against.
std::vector<uint8_t> WriteSavedGame(const SaveSummary& summary, const SavedPlayValues& play, const World& world,
                                    const Scenario& scenario, std::span<const uint8_t> chips, uint32_t now);

// Reads and checks a file: container, checksum, payload and every value of the
// state (a dry run of the restore). False with a reason in `error`; `out` is
// then unchanged.
bool ReadSavedGame(std::span<const uint8_t> file, SavedGame& out, std::string& error);

// Puts a checked saved game into the running game: the world's data (its
// connections and catalogue stay), the scenario's level records and the chips.
// Ticks are rebased on `now`. False with a reason (nothing changed) when the
// state does not fit the scenario.
bool RestoreSavedGame(const SavedGame& saved, World& world, Scenario& scenario, std::array<uint8_t, MapCells>& chips,
                      uint32_t now, std::string& error);

}  // namespace gravik
