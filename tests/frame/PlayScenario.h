// Small purpose-made scenarios for play tests and the gameplay benchmark:
// levels drawn as text grids, written as real scenario files with the data
// module's writer, so the game loads them exactly as it loads any ".zq" file.
//
// Grid characters (as in the scenario sources):
//   .  empty     #  BRICK    =  STEEL    :  EARTH1   o  ROCK     *  DIAMOND
//   e  EGG       p  SPIRIT1  X  SKULL1   P  PLAYER1  E  ENDCHAR1 w  PLANT1
//   T  transporter (destination from the level's `transporters`, in order of
//      appearance, left to right, top to bottom)
#pragma once
#include <cstdint>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/Archive.h"
#include "data/Scenario.h"
#include "world/Blocks.h"

namespace gravik::playtest {

struct Destination {
  int Level = 1, Column = 1, Row = 1;  // 1-based level coordinates
};

struct LevelText {
  int Number = 1;
  std::vector<std::string> Rows;
  bool Space = false;
  int BlockSet = 1;
  std::vector<Destination> Transporters;
};

inline LevelText Level(int number, std::vector<std::string> rows, std::vector<Destination> transporters = {},
                       bool space = false) {
  LevelText t;
  t.Number = number;
  t.Rows = std::move(rows);
  t.Transporters = std::move(transporters);
  t.Space = space;
  return t;
}

inline const char* BlockNameOf(char c) {
  switch (c) {
    case '#': return "BRICK";
    case '=': return "STEEL";
    case ':': return "EARTH1";
    case 'o': return "ROCK";
    case '*': return "DIAMOND";
    case 'e': return "EGG";
    case 'p': return "SPIRIT1";
    case 'X': return "SKULL1";
    case 'P': return "PLAYER1";
    case 'E': return "ENDCHAR1";
    case 'w': return "PLANT1";
    default: return nullptr;
  }
}

// The scenario file of `levels`; block codes come from `catalogue` (the one
// the game loads from its archive). Throws std::runtime_error on a bad grid.
inline std::vector<uint8_t> BuildScenarioFile(const std::vector<LevelText>& levels, const BlockCatalogue& catalogue,
                                              const std::string& name = "Play Test") {
  auto s = std::make_unique<Scenario>();
  s->Header.Name.Assign(name);
  s->Info.Name.Assign(name);
  s->Header.Author.Assign("gameplay tests");
  s->Info.Author.Assign("gameplay tests");
  s->Info.Identity = ScenarioIdentity{42.0, 4242.0};
  s->Header.CheckWord = s->Info.CheckWord = 0x1234;
  for (int n = 1; n <= LevelCount; ++n) {
    TLevelRecord& rec = s->Level(n);
    rec.Width = rec.Height = 1;
    rec.BlockSet = 1;
    rec.BorderName.Assign("BRICK");
  }
  int diamonds = 0, earth = 0, transporters = 0, monsters = 0;
  for (const LevelText& lv : levels) {
    TLevelRecord& rec = s->Level(lv.Number);
    const int h = int(lv.Rows.size()), w = h ? int(lv.Rows[0].size()) : 0;
    if (h < 1 || h > LevelCells || w < 1 || w > LevelCells) throw std::runtime_error("bad level size");
    rec.Width = uint8_t(w);
    rec.Height = uint8_t(h);
    rec.Space = lv.Space ? 1 : 0;
    rec.BlockSet = uint8_t(lv.BlockSet);
    size_t nextTransporter = 0;
    for (int y = 1; y <= h; ++y) {
      const std::string& row = lv.Rows[size_t(y - 1)];
      if (int(row.size()) != w) throw std::runtime_error("rows of unequal width");
      for (int x = 1; x <= w; ++x) {
        const char c = row[size_t(x - 1)];
        uint8_t code = BlockEmpty;
        if (c == 'T') {
          if (nextTransporter >= lv.Transporters.size()) throw std::runtime_error("transporter without destination");
          const Destination& d = lv.Transporters[nextTransporter++];
          code = BlockTransporterCode;
          rec.SetParam(x, y, EncodeTransporterParam(d.Level, d.Column, d.Row));
          ++transporters;
        } else if (c != '.') {
          const char* block = BlockNameOf(c);
          if (!block) throw std::runtime_error(std::string("unknown grid character ") + c);
          code = FindBlock(catalogue, block);
          if (code == 0) throw std::runtime_error(std::string("no block ") + block);
          if (c == '*') ++diamonds;
          if (c == ':') ++earth;
          if (c == 'e') ++monsters;
        }
        rec.SetCell(x, y, code);
      }
    }
  }
  s->Header.Totals[TotalDiamonds] = diamonds;
  s->Header.Totals[TotalMonsters] = monsters;
  s->Header.Totals[TotalTransporters] = transporters;
  s->Header.Totals[TotalEarth] = earth;
  MakeScenarioKeys(s->Form, 0x600D5EEDu);
  return WriteScenario(*s);
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

// The block catalogue of the game's archive in `folder` (the build folder).
inline BlockCatalogue CatalogueFromArchive(const std::string& folder) {
  Archive archive(std::vector<std::string>{folder.empty() || folder.back() == '/' ? folder : folder + "/"});
  archive.OpenArchive();
  GraphicsSet set = archive.LoadGraphicsSet();
  archive.ReleaseItem();
  BlockCatalogue catalogue;
  if (!catalogue.Load(set.Catalogue.data(), set.Catalogue.size()))
    throw std::runtime_error("the archive's block catalogue is invalid");
  return catalogue;
}

}  // namespace gravik::playtest
