// The resource archive "zqresource.dat": finding it, the open / take item /
// release / close protocol, the graphics set block, and the writer used by the
// resource builder.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/Bmp.h"
#include "platform/Folders.h"

namespace gravik {

inline constexpr const char* ArchiveFileName = "zqresource.dat";
inline constexpr uint16_t ArchiveMagic = 4000;
inline constexpr uint8_t ArchiveProductByte = 202;  // 200 + product number 2
inline constexpr size_t ArchiveKeySize = 10240;
inline constexpr size_t ArchiveDirectoryOffset = 14339;
inline constexpr size_t ArchiveDirectorySize = 5616;
inline constexpr size_t ArchiveGraphicsOffset = 19955;
inline constexpr int ArchiveEntryCount = 100;
inline constexpr size_t ArchiveNameMax = 30;

// Sizes inside the decoded graphics set block.
inline constexpr size_t CellTableSize = 11520;       // 120 blocks x 6 sets x 2 styles x 8 bytes
inline constexpr size_t BlockCatalogueSize = 4845;   // 255 records of 19 bytes
inline constexpr int CellTableBlocks = 120;
inline constexpr int BlockSets = 6;
inline constexpr int GraphicsStyles = 2;

// A cell of the sheets named by the cell table (both 1-based).
struct SheetCell {
  int32_t Column = 0, Row = 0;
};

// The decoded graphics set block: plain data for the level graphics and the
// world module to interpret.
struct GraphicsSet {
  std::vector<SheetCell> Cells;           // CellTableBlocks * BlockSets * GraphicsStyles
  std::vector<uint8_t> Catalogue;         // 255 x 19 bytes, record b - 1 for block b
  std::vector<uint8_t> BlockSheet;        // bitmap file image, 64 x 64 cells
  std::vector<uint8_t> ThumbSheet;        // bitmap file image, 16 x 15 cells
  BmpInfo BlockSheetInfo, ThumbSheetInfo;  // their headers, checked

  // block 1..120, set 1..6, style 1..2.
  const SheetCell& Cell(int block, int set, int style) const {
    return Cells[size_t((block - 1) * 12 + (set - 1) * 2 + (style - 1))];
  }
};

// Splits and checks a decoded graphics set block; false when anything is out of
// bounds (including a sheet cell outside either sheet).
bool ParseGraphicsSet(const uint8_t* data, size_t size, GraphicsSet& out);

// One archive, opened read-only. Fatal conditions throw FatalMessage with the
// game's exact message.
class Archive {
 public:
  // Looks for the file in `searchFolders` (first that holds it wins).
  explicit Archive(std::vector<std::string> searchFolders);
  // An archive held in memory (tests, fuzzing); `displayName` stands for the
  // folder + file name in messages.
  Archive(std::vector<uint8_t> image, std::string displayName);
  ~Archive();
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  // Resolves and opens the file, checks magic and product byte; the first
  // call also reads the key and the directory.
  void OpenArchive();
  // Makes the named item the current item. Fatal: name + " not found in
  // resource.", "res already created.", "Incorrect resource item size.".
  const std::vector<uint8_t>& TakeItem(const std::string& name);
  // Frees the current item.
  void ReleaseItem();
  // The named item, taken and released again (also when taking it fails); the
  // same fatal messages as TakeItem.
  std::vector<uint8_t> ReadItem(const std::string& name);
  // Releases the current item if held and closes the file.
  void CloseArchive();
  // Reads, checks ("Exception (s)" on a CRC mismatch, "illegal" with an item
  // held) and decodes the graphics set block; the decoded block becomes the
  // current item (release it afterwards).
  GraphicsSet LoadGraphicsSet();

  bool IsOpen() const;
  bool ItemHeld() const { return held_; }
  const std::vector<uint8_t>& CurrentItem() const { return item_; }
  // The resolved folder ("" for the current folder) and the path opened.
  const std::string& Folder() const { return folder_; }
  // Names of the used directory entries, in directory order.
  std::vector<std::string> ItemNames() const;
  bool HasItem(const std::string& name) const;

 private:
  struct Entry {
    std::string Name;
    bool Compressed = false;
    uint32_t Offset = 0, Size = 0, StoredSize = 0;
  };
  struct Source;

  [[noreturn]] void Invalid() const;
  void ReadKeyAndDirectory();
  bool ReadAt(uint64_t offset, size_t size, std::vector<uint8_t>& out) const;

  std::vector<std::string> searchFolders_;
  std::unique_ptr<Source> source_;
  std::vector<uint8_t> memoryImage_;
  bool inMemory_ = false;
  std::string displayName_;
  std::string folder_;
  bool directoryRead_ = false;
  std::vector<uint8_t> key_;
  uint32_t graphicsSize_ = 0;
  uint16_t graphicsCrc_ = 0;
  std::vector<Entry> entries_;
  std::vector<uint8_t> item_;
  bool held_ = false;
};

// Builds an archive image in memory. Items keep the order they were added in;
// at most 100 entries, names at most 30 characters (std::invalid_argument).
class ArchiveWriter {
 public:
  enum class Coding { Stored, Fast, Good };  // plain, "WAXF", "WAXS"

  ArchiveWriter();
  // A 10240-byte key; a shorter one is repeated.
  void SetKey(const std::vector<uint8_t>& key);
  // Key bytes from a fixed generator.
  void SetKeyFromSeed(uint32_t seed);
  // The decoded graphics set block (cell table, catalogue, two sheets), stored
  // compressed with its CRC.
  void SetGraphicsSet(const std::vector<uint8_t>& decoded, Coding coding = Coding::Fast);
  void SetGraphicsSet(const GraphicsSet& set, Coding coding = Coding::Fast);
  void AddItem(const std::string& name, const std::vector<uint8_t>& bytes, Coding coding = Coding::Stored);
  std::vector<uint8_t> Finish() const;

 private:
  struct Item {
    std::string Name;
    Coding How;
    std::vector<uint8_t> Data;
  };
  std::vector<uint8_t> key_;
  std::vector<uint8_t> graphics_;  // compressed container
  std::vector<Item> items_;
};

// Serialises a graphics set's sections in block order.
std::vector<uint8_t> EncodeGraphicsSet(const GraphicsSet& set);

}  // namespace gravik
