// Helpers shared by the scenario and archive tests.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/Crc.h"
#include "base/XorKey.h"
#include "data/Archive.h"
#include "data/Scenario.h"

namespace gravik::datatest {

// A small valid scenario: every level 16 x 12, level 1 with a few blocks, two
// transporters, a 3 x 2 puzzle, notes, a picture and extra data.
inline Scenario SampleScenario() {
  Scenario s;
  MakeScenarioKeys(s.Form, 1234);
  s.Info.Identity = {1.5, -2.25};
  s.Info.Name.Assign("Sample");
  s.Info.Author.Assign("Tester");
  s.Info.CheckWord = 0xBEEF;
  s.Header.Name.Assign("Sample");
  s.Header.Author.Assign("Tester");
  s.Header.CheckWord = 0xBEEF;
  s.Header.Reserved78[5] = 0x5A;  // kept, never interpreted
  for (int i = 0; i < 5; ++i) s.Header.Totals[i] = 10 * (i + 1);
  for (auto& lv : s.Levels) {
    lv.Width = 16;
    lv.Height = 12;
    lv.BorderName.Assign("BRICK");
    for (auto& col : lv.Cells) std::memset(col, 1, sizeof col);
  }
  TLevelRecord& l1 = s.Level(1);
  l1.SetCell(3, 4, 2);
  l1.SetCell(5, 5, BlockTransporterCode);
  l1.SetParam(5, 5, EncodeTransporterParam(2, 7, 9));
  s.Level(2).SetCell(7, 9, BlockTransporterCode);
  s.Level(2).SetParam(7, 9, EncodeTransporterParam(1, 5, 6));
  s.Level(2).Reserved7[2] = 0x77;
  s.LevelTail[100] = 0x42;
  s.Extras.PuzzleColumns = 3;
  s.Extras.PuzzleRows = 2;
  s.Extras.PieceFlag(2, 1) = 1;
  s.PuzzlePicture = std::vector<uint8_t>(300, 0xAB);
  s.HasExtraData = true;
  s.ExtraData = {9, 8, 7};
  s.Notes = {"First line", "", "Third line"};
  return s;
}

// Region 1 and region 2 of a scenario file, descrambled.
struct Regions {
  std::vector<uint8_t> R1, R2;
};

inline Regions Unseal(const std::vector<uint8_t>& file) {
  const uint32_t a = GetU32(&file[5]), c = GetU32(&file[13]);
  const size_t keyAt = a - 1024;
  Regions r;
  r.R1.assign(file.begin() + a, file.begin() + c);
  r.R2.assign(file.begin() + c, file.end());
  XorWithKey(r.R1.data(), r.R1.size(), &file[keyAt], 1024);
  XorWithKey(r.R2.data(), r.R2.size(), &file[keyAt], 1024);
  return r;
}

// Rebuilds a file from edited regions: new C, CRC and scrambling.
inline std::vector<uint8_t> Seal(const std::vector<uint8_t>& file, Regions r) {
  const uint32_t a = GetU32(&file[5]);
  const size_t keyAt = a - 1024;
  std::vector<uint8_t> out(file.begin(), file.begin() + a);
  uint16_t crc = Crc16Xmodem(r.R1.data(), r.R1.size());
  crc = Crc16Xmodem(r.R2.data(), r.R2.size(), crc);
  PutU16(&out[3], crc);
  PutU32(&out[13], uint32_t(a + r.R1.size()));
  XorWithKey(r.R1.data(), r.R1.size(), &file[keyAt], 1024);
  XorWithKey(r.R2.data(), r.R2.size(), &file[keyAt], 1024);
  out.insert(out.end(), r.R1.begin(), r.R1.end());
  out.insert(out.end(), r.R2.begin(), r.R2.end());
  return out;
}

// A bottom-up 24-bit BMP file image of w x h pixels with a recognisable pattern.
inline std::vector<uint8_t> MakeBmp(int w, int h) {
  const uint32_t stride = uint32_t((w * 3 + 3) & ~3);
  const uint32_t size = 54 + stride * uint32_t(h);
  std::vector<uint8_t> b(size, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutU32(&b[2], size);
  PutU32(&b[10], 54);
  PutU32(&b[14], 40);
  PutU32(&b[18], uint32_t(w));
  PutU32(&b[22], uint32_t(h));
  b[26] = 1;
  b[28] = 24;
  for (size_t i = 54; i < b.size(); ++i) b[i] = uint8_t(i * 7);
  return b;
}

// A graphics set whose every cell table entry names a cell of both sheets.
inline GraphicsSet SampleGraphicsSet() {
  GraphicsSet g;
  g.Cells.resize(size_t(CellTableBlocks) * BlockSets * GraphicsStyles);
  for (size_t i = 0; i < g.Cells.size(); ++i) g.Cells[i] = {int32_t(i % 4) + 1, int32_t(i % 3) + 1};
  g.Catalogue.resize(BlockCatalogueSize);
  for (size_t i = 0; i < g.Catalogue.size(); ++i) g.Catalogue[i] = uint8_t(i);
  g.BlockSheet = MakeBmp(4 * 64, 3 * 64);
  g.ThumbSheet = MakeBmp(4 * 16, 3 * 15);
  return g;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);  // an empty vector has no data pointer
  std::fclose(f);
}

}  // namespace gravik::datatest
