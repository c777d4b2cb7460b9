#include "data/Archive.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "base/Bytes.h"
#include "base/Crc.h"
#include "base/Errors.h"
#include "base/XorKey.h"
#include "codec/Codec.h"
#include "platform/Folders.h"

namespace gravik {

namespace {

constexpr size_t kHeadSize = 16;
constexpr size_t kEntrySize = 56;
constexpr size_t kReservedAfterKey = 4096;
constexpr uint32_t kItemCap = uint32_t(64) << 20;      // largest item we unpack
constexpr uint32_t kGraphicsCap = uint32_t(64) << 20;  // largest decoded graphics set

static_assert(3 + ArchiveKeySize + kReservedAfterKey == ArchiveDirectoryOffset);
static_assert(kHeadSize + ArchiveEntryCount * kEntrySize == ArchiveDirectorySize);
static_assert(ArchiveDirectoryOffset + ArchiveDirectorySize == ArchiveGraphicsOffset);

void Scramble(std::vector<uint8_t>& v, const std::vector<uint8_t>& key) {
  XorWithKey(v.data(), v.size(), key.data(), key.size());
}

std::vector<uint8_t> KeyFromSeed(uint32_t seed) {
  std::vector<uint8_t> key(ArchiveKeySize);
  uint32_t x = seed ? seed : 0x9E3779B9u;
  for (auto& b : key) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = uint8_t(x >> 24);
  }
  return key;
}

}  // namespace

// ---------------------------------------------------------------------------
// Graphics set
// ---------------------------------------------------------------------------

bool ParseGraphicsSet(const uint8_t* data, size_t size, GraphicsSet& out) {
  const size_t sheetsAt = CellTableSize + BlockCatalogueSize;
  if (size < sheetsAt) return false;
  GraphicsSet g;
  const size_t cells = size_t(CellTableBlocks) * BlockSets * GraphicsStyles;
  g.Cells.resize(cells);
  for (size_t i = 0; i < cells; ++i) {
    g.Cells[i].Column = int32_t(GetU32(data + i * 8));
    g.Cells[i].Row = int32_t(GetU32(data + i * 8 + 4));
  }
  g.Catalogue.assign(data + CellTableSize, data + sheetsAt);

  const uint8_t* first = data + sheetsAt;
  const size_t rest = size - sheetsAt;
  // Each sheet is as long as its file header says, and its headers are checked
  // within that length.
  const size_t firstSize = BmpImageLength(first, rest);
  if (!firstSize || !ReadBmpHeader(first, firstSize, g.BlockSheetInfo)) return false;
  const uint8_t* second = first + firstSize;
  const size_t secondSize = BmpImageLength(second, rest - firstSize);
  if (!secondSize || !ReadBmpHeader(second, secondSize, g.ThumbSheetInfo)) return false;
  g.BlockSheet.assign(first, second);
  g.ThumbSheet.assign(second, data + size);

  for (const SheetCell& c : g.Cells) {
    if (c.Column < 1 || c.Row < 1) return false;
    if (int64_t(c.Column) * 64 > g.BlockSheetInfo.Width || int64_t(c.Row) * 64 > g.BlockSheetInfo.Height) return false;
    if (int64_t(c.Column) * 16 > g.ThumbSheetInfo.Width || int64_t(c.Row) * 15 > g.ThumbSheetInfo.Height) return false;
  }
  out = std::move(g);
  return true;
}

std::vector<uint8_t> EncodeGraphicsSet(const GraphicsSet& set) {
  std::vector<uint8_t> out(CellTableSize, 0);
  for (size_t i = 0; i < set.Cells.size() && i * 8 < CellTableSize; ++i) {
    PutU32(out.data() + i * 8, uint32_t(set.Cells[i].Column));
    PutU32(out.data() + i * 8 + 4, uint32_t(set.Cells[i].Row));
  }
  std::vector<uint8_t> catalogue = set.Catalogue;
  catalogue.resize(BlockCatalogueSize, 0);
  out.insert(out.end(), catalogue.begin(), catalogue.end());
  out.insert(out.end(), set.BlockSheet.begin(), set.BlockSheet.end());
  out.insert(out.end(), set.ThumbSheet.begin(), set.ThumbSheet.end());
  return out;
}

// ---------------------------------------------------------------------------
// Archive
// ---------------------------------------------------------------------------

struct Archive::Source {
  std::FILE* File = nullptr;
  uint64_t Size = 0;
  ~Source() {
    if (File) std::fclose(File);
  }
};

Archive::Archive(std::vector<std::string> searchFolders) : searchFolders_(std::move(searchFolders)) {}

Archive::Archive(std::vector<uint8_t> image, std::string displayName)
    : memoryImage_(std::move(image)), inMemory_(true), displayName_(std::move(displayName)) {}

Archive::~Archive() = default;

void Archive::Invalid() const { throw FatalMessage(displayName_ + " is invalid."); }

bool Archive::IsOpen() const { return inMemory_ ? source_ != nullptr : source_ && source_->File; }

bool Archive::ReadAt(uint64_t offset, size_t size, std::vector<uint8_t>& out) const {
  const uint64_t total = source_->Size;
  if (offset > total || size > total - offset) return false;
  if (inMemory_) {
    out.assign(memoryImage_.begin() + ptrdiff_t(offset), memoryImage_.begin() + ptrdiff_t(offset + size));
    return true;
  }
  out.resize(size);
  if (size == 0) return true;
  if (fseeko(source_->File, off_t(offset), SEEK_SET) != 0) return false;
  return std::fread(out.data(), 1, size, source_->File) == size;
}

void Archive::OpenArchive() {
  source_.reset();
  auto src = std::make_unique<Source>();
  if (inMemory_) {
    src->Size = memoryImage_.size();
  } else {
    std::string folder;
    if (!FindDataFile(searchFolders_, ArchiveFileName, folder)) {
      // Name the folder the game expects the file in: the data folder when it
      // exists, else the program folder.
      std::string shown;
      if (searchFolders_.size() >= 3)
        shown = DirectoryExists(searchFolders_[1]) ? searchFolders_[1] : searchFolders_[2];
      else if (!searchFolders_.empty())
        shown = searchFolders_.back();
      throw FatalMessage(shown + ArchiveFileName + " not found.");
    }
    folder_ = folder;
    displayName_ = folder + ArchiveFileName;
    src->File = std::fopen(displayName_.c_str(), "rb");
    if (!src->File) throw FatalMessage(displayName_ + " not found.");
    if (fseeko(src->File, 0, SEEK_END) != 0) Invalid();
    const off_t end = ftello(src->File);
    if (end < 0) Invalid();
    src->Size = uint64_t(end);
  }
  source_ = std::move(src);

  std::vector<uint8_t> head;
  if (!ReadAt(0, 3, head) || GetU16(head.data()) != ArchiveMagic || head[2] != ArchiveProductByte) {
    source_.reset();
    Invalid();
  }
  if (!directoryRead_) {
    try {
      ReadKeyAndDirectory();
    } catch (...) {
      source_.reset();
      throw;
    }
  }
}

void Archive::ReadKeyAndDirectory() {
  std::vector<uint8_t> key, dir;
  if (!ReadAt(3, ArchiveKeySize, key) || !ReadAt(ArchiveDirectoryOffset, ArchiveDirectorySize, dir)) Invalid();
  Scramble(dir, key);

  const uint64_t fileSize = source_->Size;
  const uint32_t graphicsSize = GetU32(dir.data());
  if (ArchiveGraphicsOffset + uint64_t(graphicsSize) > fileSize) Invalid();

  std::vector<Entry> entries;
  for (int i = 0; i < ArchiveEntryCount; ++i) {
    const uint8_t* e = dir.data() + kHeadSize + size_t(i) * kEntrySize;
    const uint8_t len = e[0];
    if (len > ArchiveNameMax) Invalid();
    Entry entry;
    entry.Name.assign(reinterpret_cast<const char*>(e + 1), len);
    entry.Compressed = e[31] != 0;
    entry.Offset = GetU32(e + 44);
    entry.Size = GetU32(e + 48);
    entry.StoredSize = GetU32(e + 52);
    if (len > 0) {
      const uint64_t stored = entry.Compressed ? entry.StoredSize : entry.Size;
      if (entry.Offset < ArchiveGraphicsOffset || entry.Offset + stored > fileSize) Invalid();
      if (entry.Size > kItemCap) Invalid();
    }
    entries.push_back(std::move(entry));
  }
  key_ = std::move(key);
  graphicsSize_ = graphicsSize;
  graphicsCrc_ = GetU16(dir.data() + 14);
  entries_ = std::move(entries);
  directoryRead_ = true;
}

const std::vector<uint8_t>& Archive::TakeItem(const std::string& name) {
  if (!IsOpen()) throw std::logic_error("TakeItem on a closed archive");
  const Entry* found = nullptr;
  if (!name.empty())
    for (const Entry& e : entries_)
      if (e.Name == name) found = &e;  // the last match wins
  if (!found) throw FatalMessage(name + " not found in resource.");
  if (held_) throw FatalMessage("res already created.");

  std::vector<uint8_t> stored;
  if (!ReadAt(found->Offset, found->Compressed ? found->StoredSize : found->Size, stored)) Invalid();
  Scramble(stored, key_);
  item_ = found->Compressed ? Decompress(stored.data(), stored.size(), found->Size) : std::move(stored);
  held_ = true;
  if (item_.size() != found->Size) throw FatalMessage("Incorrect resource item size.");
  return item_;
}

void Archive::ReleaseItem() {
  item_.clear();
  item_.shrink_to_fit();
  held_ = false;
}

std::vector<uint8_t> Archive::ReadItem(const std::string& name) {
  // Releases what this call took, never an item another caller holds.
  struct Release {
    Archive& archive;
    bool armed;
    ~Release() {
      if (armed && archive.held_) archive.ReleaseItem();
    }
  } release{*this, !held_};
  TakeItem(name);
  return std::move(item_);
}

void Archive::CloseArchive() {
  if (held_) ReleaseItem();
  source_.reset();
}

GraphicsSet Archive::LoadGraphicsSet() {
  if (!IsOpen()) throw std::logic_error("LoadGraphicsSet on a closed archive");
  std::vector<uint8_t> block;
  if (!ReadAt(ArchiveGraphicsOffset, graphicsSize_, block)) Invalid();
  Scramble(block, key_);
  if (Crc16Xmodem(block.data(), block.size()) != graphicsCrc_) throw FatalMessage("Exception (s)");
  if (held_) throw FatalMessage("illegal");

  if (block.size() < 8 || GetU32(block.data() + 4) > kGraphicsCap) Invalid();
  std::vector<uint8_t> decoded = Decompress(block.data(), block.size(), kGraphicsCap);
  GraphicsSet set;
  if (decoded.size() != GetU32(block.data() + 4) || !ParseGraphicsSet(decoded.data(), decoded.size(), set)) Invalid();
  item_ = std::move(decoded);
  held_ = true;
  return set;
}

std::vector<std::string> Archive::ItemNames() const {
  std::vector<std::string> names;
  for (const Entry& e : entries_)
    if (!e.Name.empty()) names.push_back(e.Name);
  return names;
}

bool Archive::HasItem(const std::string& name) const {
  if (name.empty()) return false;
  for (const Entry& e : entries_)
    if (e.Name == name) return true;
  return false;
}

// ---------------------------------------------------------------------------
// Writer
// ---------------------------------------------------------------------------

ArchiveWriter::ArchiveWriter() : key_(KeyFromSeed(0x47726176u)) {}

void ArchiveWriter::SetKey(const std::vector<uint8_t>& key) {
  if (key.empty()) throw std::invalid_argument("archive key is empty");
  key_.resize(ArchiveKeySize);
  for (size_t i = 0; i < ArchiveKeySize; ++i) key_[i] = key[i % key.size()];
}

void ArchiveWriter::SetKeyFromSeed(uint32_t seed) { key_ = KeyFromSeed(seed); }

static std::vector<uint8_t> Pack(const std::vector<uint8_t>& data, ArchiveWriter::Coding coding) {
  switch (coding) {
    case ArchiveWriter::Coding::Fast: return Compress(data.data(), data.size(), TCompressMode::Fast);
    case ArchiveWriter::Coding::Good: return Compress(data.data(), data.size(), TCompressMode::Good);
    case ArchiveWriter::Coding::Stored: break;
  }
  return data;
}

void ArchiveWriter::SetGraphicsSet(const std::vector<uint8_t>& decoded, Coding coding) {
  // The block is always a container; "stored" falls back to the fast coding.
  graphics_ = Pack(decoded, coding == Coding::Stored ? Coding::Fast : coding);
}

void ArchiveWriter::SetGraphicsSet(const GraphicsSet& set, Coding coding) {
  SetGraphicsSet(EncodeGraphicsSet(set), coding);
}

void ArchiveWriter::AddItem(const std::string& name, const std::vector<uint8_t>& bytes, Coding coding) {
  if (name.empty() || name.size() > ArchiveNameMax) throw std::invalid_argument("archive item name: " + name);
  if (items_.size() >= size_t(ArchiveEntryCount)) throw std::invalid_argument("archive holds at most 100 items");
  if (bytes.size() > kItemCap) throw std::invalid_argument("archive item too large: " + name);
  items_.push_back({name, coding, bytes});
}

std::vector<uint8_t> ArchiveWriter::Finish() const {
  std::vector<uint8_t> out(ArchiveGraphicsOffset, 0);
  PutU16(out.data(), ArchiveMagic);
  out[2] = ArchiveProductByte;
  std::memcpy(out.data() + 3, key_.data(), ArchiveKeySize);

  std::vector<uint8_t> dir(ArchiveDirectorySize, 0);
  PutU32(dir.data(), uint32_t(graphics_.size()));
  PutU16(dir.data() + 14, Crc16Xmodem(graphics_.data(), graphics_.size()));

  std::vector<uint8_t> block = graphics_;
  Scramble(block, key_);
  out.insert(out.end(), block.begin(), block.end());

  for (size_t i = 0; i < items_.size(); ++i) {
    const Item& it = items_[i];
    std::vector<uint8_t> stored = Pack(it.Data, it.How);
    uint8_t* e = dir.data() + kHeadSize + i * kEntrySize;
    e[0] = uint8_t(it.Name.size());
    std::memcpy(e + 1, it.Name.data(), it.Name.size());
    e[31] = it.How == Coding::Stored ? 0 : 1;
    PutU32(e + 44, uint32_t(out.size()));
    PutU32(e + 48, uint32_t(it.Data.size()));
    PutU32(e + 52, uint32_t(stored.size()));
    Scramble(stored, key_);
    out.insert(out.end(), stored.begin(), stored.end());
  }
  Scramble(dir, key_);
  std::memcpy(out.data() + ArchiveDirectoryOffset, dir.data(), ArchiveDirectorySize);
  return out;
}

}  // namespace gravik
