// A small synthetic graphics set, catalogue, fonts and panel pictures for the
// level graphics and panel tests.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/Archive.h"
#include "gfx/Bmp.h"
#include "gfx/FontsFile.h"
#include "render/LevelGraphics.h"
#include "render/Panel.h"
#include "support/AsciiWorld.h"
#include "world/World.h"

namespace gravik::lg_test {

// Synthetic fonts: glyphs side by side, 2..6 pixels wide, filled with an ink
// colour except for a black bottom row.
inline int GlyphWidth(int code) { return 2 + (code - 32) % 5; }
inline uint16_t CodeInk(int code) { return uint16_t(0x0800 + code); }

inline void AddFont(FontsFile& file, int index, const std::string& name, int height,
                    const std::function<uint16_t(int)>& ink) {
  TFontRecord& rec = file.Records[size_t(index)];
  rec.Name = name;
  int total = 0;
  for (int code = 32; code <= 127; ++code) total += GlyphWidth(code);
  Bitmap picture(total, height);
  int x = 0;
  for (int code = 32; code <= 127; ++code) {
    rec.Glyphs[size_t(code - 32)] = {x, 0, GlyphWidth(code), height};
    picture.FillRect(Bounds(x, 0, GlyphWidth(code), height - 1), ink(code));
    x += GlyphWidth(code);
  }
  file.Bitmaps.push_back(SaveBmp16(picture));
}

// The archive items LoadFonts asks for besides "fonts.dat".
inline std::optional<std::vector<uint8_t>> CaptionItem(const std::string& name) {
  if (name.rfind("menu", 0) == 0) return SaveBmp16(Bitmap(12, 5, 0xF800));
  return std::nullopt;
}

// Sets 1 and 6 have cells of their own; sets 2..5 share set 1's.
inline int Combo(int set, int style) { return (set == 6 ? 2 : 0) + (style - 1); }
// Fill colour of the sheet cell of (block, set, style): never black or magenta.
inline uint16_t CellId(int block, int set, int style) { return uint16_t(block + 128 * Combo(set, style)); }
// Row 16 of every block cell carries a mark per column for x < 16.
inline uint16_t RowMark(uint16_t id, int x) { return uint16_t(0x8000 + id * 16 + x); }
// Colour of piece (c, r) of the test puzzle picture.
inline uint16_t PieceColour(int c, int r) { return uint16_t(0x2000 + r * 64 + c); }

// Catalogue codes of the named blocks.
enum Code {
  kRock = 2, kRock1 = 3, kEarth1 = 7, kDiamond = 10, kDiamond2 = 11, kDiamond3 = 12, kKey = 13,
  kKey2 = 14, kKey3 = 15, kSave = 16, kTransport1 = 20, kSpirit1 = 25, kSpirit3 = 30, kPlayerSt = 38,
  kMonster1 = 51, kMonster2 = 56, kTimeBomb1 = 60, kMeteor = 112, kPuzzle = 113, kPlayer1 = 114
};

inline GraphicsSet MakeGraphicsSet() {
  GraphicsSet gs;
  gs.Cells.resize(size_t(CellTableBlocks * BlockSets * GraphicsStyles));
  Bitmap blocks(640, 48 * 64), thumbs(160, 48 * 15);
  for (int b = 1; b <= 120; ++b)
    for (int s = 1; s <= 6; ++s)
      for (int g = 1; g <= 2; ++g) {
        const int col = (b - 1) % 10 + 1, row = Combo(s, g) * 12 + (b - 1) / 10 + 1;
        gs.Cells[size_t((b - 1) * 12 + (s - 1) * 2 + (g - 1))] = {col, row};
        const uint16_t id = CellId(b, s, g);
        const int x = (col - 1) * 64, y = (row - 1) * 64;
        blocks.FillRect(Bounds(x, y, 64, 64), id);
        for (int i = 0; i < 16; ++i) blocks.SetPixel(x + i, y + 16, RowMark(id, i));
        thumbs.FillRect(Bounds((col - 1) * 16, (row - 1) * 15, 16, 15), id);
      }
  gs.BlockSheet = SaveBmp16(blocks);
  gs.ThumbSheet = SaveBmp16(thumbs);
  return gs;
}

inline void NameBlocks(World& w) {
  const std::pair<int, const char*> names[] = {
      {kRock, "ROCK"},         {kRock1, "ROCK1"},       {kEarth1, "EARTH1"},   {kDiamond, "DIAMOND"},
      {kDiamond2, "DIAMOND2"}, {kDiamond3, "DIAMOND3"}, {kKey, "KEY"},         {kKey2, "KEY2"},
      {kKey3, "KEY3"},         {kSave, "SAVE"},         {kTransport1, "TRANSPORT1"},
      {kSpirit1, "SPIRIT1"},   {kSpirit3, "SPIRIT3"},   {kPlayerSt, "PLAYERST"}, {kMonster1, "MONSTER1"},
      {kMonster2, "MONSTER2"}, {kTimeBomb1, "TIMEBOMB1"}, {kMeteor, "METEOR"}, {kPuzzle, "PUZZLE"},
      {kPlayer1, "PLAYER1"}};
  for (auto [code, name] : names) w.Catalogue[uint8_t(code)].Name = name;
  w.Named.Resolve(w.Catalogue);
}

// A 640 x 256 puzzle picture cut into 10 x 4 pieces of one colour each.
inline std::vector<uint8_t> MakePuzzlePicture(int width = 640, int height = 256) {
  Bitmap pic(width, height);
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 10; ++c) pic.FillRect(Bounds((c - 1) * 64, (r - 1) * 64, 64, 64), PieceColour(c, r));
  return SaveBmp16(pic);
}

// Pixel of pattern n of an entry's picture, at (dx, dy) inside the pattern.
inline uint16_t PatternPixel(const ImageEntry& e, int n, int dx = 5, int dy = 5) {
  const TRect r = PatternRect(e, n);
  if (r.Empty()) return 0xDEAD;
  return e.Picture.Pixel(r.Left + dx, r.Top + dy);
}

constexpr uint16_t kPanelFill = 0x18E3;
constexpr uint16_t kMapPanelFill = 0x1082;

// Everything a level build touches.
struct Rig {
  GraphicsSet Set = MakeGraphicsSet();
  ImageList Images;
  LevelGraphics Gfx;
  PlayfieldSprites Sprites;
  testing::TestPorts Ports;
  std::unique_ptr<World> W = testing::MakeWorld(Ports);
  FontSet Fonts;
  PanelState Panel;
  Bitmap PanelSurface;
  PanelKeyLabels Keys;
  std::vector<uint8_t> Puzzle = MakePuzzlePicture();
  GraphicsContext Ctx{Images, Gfx, Sprites, *W, Fonts, Panel, PanelSurface, Keys};

  Rig() {
    EXPECT_TRUE(AttachGraphicsSet(Gfx, Set));
    NameBlocks(*W);
    CreateFormImages(Images);
    Images.FindImage("DefaultPanel").Picture = Bitmap(160, 480, kPanelFill);
    Images.FindImage("DefaultMapPanel").Picture = Bitmap(128, 480, kMapPanelFill);
    Images.FindImage("BlackBar").Picture = Bitmap(80, 480, 0);
    LoadTestFonts();
  }

  void LoadTestFonts() {
    FontsFile file;
    AddFont(file, 0, "2eras10boldV.bmp", 14, CodeInk);
    AddFont(file, 1, "2eras14boldV.bmp", 20, [](int) { return uint16_t(0x07E0); });
    AddFont(file, 2, "3eras20boldV.bmp", 26, [](int) { return uint16_t(0x001F); });
    const std::vector<uint8_t> bytes = WriteFontsFile(file);
    LoadFonts(Fonts, Images, bytes.data(), bytes.size(), CaptionItem);
    RebuildFontIndexes(Fonts, Images);
  }

  LevelLook Look(int set = 1, int style = 1, int32_t seed1 = 7, int32_t seed2 = 11) const {
    LevelLook l;
    l.BlockSet = set;
    l.GraphicsStyle = style;
    l.Seed1 = seed1;
    l.Seed2 = seed2;
    l.PuzzlePicture = &Puzzle;
    l.PuzzleColumns = 10;
    l.PuzzleRows = 4;
    return l;
  }
};

}  // namespace gravik::lg_test
