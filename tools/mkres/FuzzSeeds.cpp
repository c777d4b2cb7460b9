#include "FuzzSeeds.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "audio/Audio.h"
#include "base/Text.h"
#include "codec/Codec.h"
#include "data/Archive.h"
#include "data/Demo.h"
#include "data/Scenario.h"
#include "gfx/Bitmap.h"
#include "gfx/Bmp.h"
#include "platform/Folders.h"

namespace gravik::mkres {

namespace {

using Bytes = std::vector<uint8_t>;

class SeedWriter {
 public:
  explicit SeedWriter(std::string root) : root_(std::move(root)) {}
  void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::string dir = root_ + "/" + target;
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/" + name;
    if (!WriteWholeFileAtomic(path, bytes.data(), bytes.size())) throw std::runtime_error("cannot write " + path);
    written_.push_back(path);
  }
  const std::vector<std::string>& Written() const { return written_; }

 private:
  std::string root_;
  std::vector<std::string> written_;
};

Bytes ReadDataFile(const std::string& path) {
  Bytes out;
  if (!ReadWholeFile(path, out)) throw std::runtime_error("cannot read " + path);
  return out;
}

// Item names as file names: anything but letters, digits, '.', '-' and '_' becomes '_'.
std::string SafeName(const std::string& name) {
  std::string out;
  for (char c : name)
    out += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_') ? c : '_';
  return out.empty() ? std::string("item") : out;
}

Bytes Head(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + std::ptrdiff_t(std::min(n, b.size()))); }

// A container without its four-byte tag: the codec fuzzers put the tag back.
Bytes Untagged(const Bytes& container) { return container.size() > 4 ? Bytes(container.begin() + 4, container.end()) : Bytes{}; }

// Small archives: a graphics set of one 64 x 64 block cell and a thumbnail cell,
// and a few small items in every coding. One with an all-zero key, so the
// directory lies in the file as it is read, and one with a real key.
Bytes SmallArchive(const Bytes& catalogue, bool zeroKey) {
  GraphicsSet set;
  set.Cells.assign(size_t(CellTableBlocks) * BlockSets * GraphicsStyles, SheetCell{1, 1});
  set.Catalogue = catalogue;
  Bitmap sheet(64, 64, 0x001F), thumb(16, 15, 0x07E0);
  sheet.SetPixel(3, 5, 0xFFFF);
  set.BlockSheet = SaveBmp16(sheet);
  set.ThumbSheet = SaveBmp16(thumb);
  ArchiveWriter w;
  if (zeroKey)
    w.SetKey({0});
  else
    w.SetKeyFromSeed(0x5EED);
  w.SetGraphicsSet(set, ArchiveWriter::Coding::Fast);
  const std::string text = "Gravik 2\r\nA line of text\r\n";
  w.AddItem("text.txt", Bytes(text.begin(), text.end()), ArchiveWriter::Coding::Stored);
  w.AddItem("tiny.bmp", SaveBmp16(Bitmap(4, 3, 0xF800)), ArchiveWriter::Coding::Fast);
  w.AddItem("packed.txt", Bytes(300, 'g'), ArchiveWriter::Coding::Good);
  return w.Finish();
}

// The built-in scenario again in other forms the loader reads: levels stored
// or packed with the other coder, a puzzle picture stored and packed, extra
// data, the older info block, and notes.
void ScenarioVariants(SeedWriter& out, const Bytes& builtIn, const Bytes& smallBmp) {
  Scenario s;
  Bytes stream = builtIn;
  if (LoadScenario(s, stream) != ScenarioLoaded || !s.CrcCorrect)
    throw std::runtime_error("the built-in scenario does not load");
  auto put = [&](const std::string& name, const Scenario& v) {
    const Bytes bytes = WriteScenario(v);
    out.Put("scenario_load", name, bytes);
    out.Put("scenario_info", name, bytes);
  };
  put("builtin.zq", s);
  Scenario v = s;
  v.Form.LevelCoding = 0;
  put("levels-stored.zq", v);
  v = s;
  v.Form.UseLzh = true;
  v.PuzzlePicture = smallBmp;
  v.Form.PictureCoding = 1;
  v.Notes = {"Made for the fuzzers", "", "Third line"};
  put("lzh-picture-notes.zq", v);
  v = s;
  v.PuzzlePicture = smallBmp;
  v.Form.PictureCoding = 0;
  v.Form.PictureMarker = 2;
  v.HasExtraData = true;
  v.ExtraData = Bytes{1, 2, 3, 4, 5, 6, 7, 8};
  v.Form.ExtraDataMarker = 3;
  put("picture-stored-extra.zq", v);
  v = s;
  v.Form.Version = ScenarioVersionNoInfo;
  put("noinfo.zq", v);
}

// The built-in demo as a recording without its timing block, a short one with
// a caption, one standing on the map's last row that first moves down, one
// that moves at every chance, and copies cut inside the tables and the snapshot.
void DemoVariants(SeedWriter& out, const Bytes& builtIn) {
  DemoFile d;
  std::string error;
  if (!ReadDemo(builtIn, d, error)) throw std::runtime_error("the built-in demo does not read: " + error);
  DemoFile plain = d;
  plain.Snapshot.Timing.reset();
  out.Put("demo_fuzz", "no-timing.dem", WriteDemo(plain));
  DemoFile brief = d;
  brief.Count = 4;
  brief.Events = {};
  brief.Events[0] = {-1, DemoMoveEvent, DirNone};
  brief.Events[1] = {900, DemoCaptionEvent, 1};
  brief.Events[2] = {-1, DemoMoveEvent, DirRight};
  brief.Captions = {};
  brief.Captions[0] = "A short demo";
  out.Put("demo_fuzz", "brief.dem", WriteDemo(brief));
  DemoFile edge = brief;
  edge.Snapshot.PlayerY = MapHeight;
  edge.Events[0] = {-1, DemoMoveEvent, DirDown};
  out.Put("demo_fuzz", "last-row.dem", WriteDemo(edge));
  DemoFile restless = d;
  restless.Count = DemoEventSlots;
  for (int k = 0; k < DemoEventSlots; ++k)
    restless.Events[size_t(k)] = {-1, DemoMoveEvent, uint8_t(DirUp + (k * 7 / 3) % 4)};
  out.Put("demo_fuzz", "restless.dem", WriteDemo(restless));
  out.Put("demo_fuzz", "cut-captions.dem", Head(builtIn, 20000));
  out.Put("demo_fuzz", "cut-snapshot.dem", Head(builtIn, DemoSnapshotOffset + 40000));
}

}  // namespace

std::vector<std::string> WriteFuzzSeeds(const std::string& outDir, const std::string& dataDir) {
  SeedWriter out(outDir);
  const std::string dir = IncludeTrailingSlash(dataDir);
  const Bytes archiveFile = ReadDataFile(dir + ArchiveFileName);
  const Bytes musicFile = ReadDataFile(dir + "zqaudio.dat");

  out.Put("archive_open", "zqresource.dat", archiveFile);
  Archive archive(archiveFile, ArchiveFileName);
  archive.OpenArchive();
  archive.LoadGraphicsSet();
  const Bytes graphics = archive.CurrentItem();
  archive.ReleaseItem();
  const Bytes catalogue(graphics.begin() + CellTableSize, graphics.begin() + CellTableSize + BlockCatalogueSize);
  out.Put("archive_open", "small-plain.dat", SmallArchive(catalogue, true));
  out.Put("archive_open", "small-keyed.dat", SmallArchive(catalogue, false));

  std::vector<NamedBytes> waves;
  Bytes smallBmp;
  int bmpCrops = 0, packed = 0;
  for (const std::string& name : archive.ItemNames()) {
    const Bytes item = archive.ReadItem(name);
    const std::string file = SafeName(name);
    if (name == BuiltInScenarioName) {
      continue;  // below, with its variants
    } else if (name == DemoItemName) {
      out.Put("demo_fuzz", file, item);
      DemoVariants(out, item);
      continue;
    } else if (name == "fonts.dat") {
      out.Put("fonts_load", file, item);
    } else if (EndsWithText(name, ".bmp")) {
      // The fuzzer skips pictures over 256 KB; crops keep every picture's format.
      if (item.size() <= (256u << 10)) out.Put("bmp_load", file, item);
      Bitmap pic;
      if (bmpCrops < 8 && LoadBmp(item, pic)) {
        const Bitmap crop = Crop(pic, TRect{0, 0, std::min(pic.Width(), 24), std::min(pic.Height(), 16)});
        out.Put("bmp_load", "crop16-" + file, SaveBmp16(crop));
        out.Put("bmp_load", "crop24-" + file, SaveBmp24(crop));
        if (smallBmp.empty()) smallBmp = SaveBmp16(crop);
        ++bmpCrops;
      }
    } else if (EndsWithText(name, ".wav")) {
      if (item.size() <= (512u << 10)) out.Put("wave_parse", file, item);
      waves.push_back({name, item});
    } else if (EndsWithText(name, ".ttf")) {
      continue;  // system fonts, read by the font library, not by the game's parsers
    } else {
      out.Put("utf8_codepage", file, Head(item, 4096));
    }
    // Containers for the codec fuzzers, from the first bytes of each kind of item.
    if (packed < 12 && !item.empty()) {
      const Bytes head = Head(item, 16384);
      out.Put("codec_waxf", file, Untagged(Compress(head.data(), head.size(), TCompressMode::Fast)));
      out.Put("codec_waxs", file, Untagged(Compress(head.data(), head.size(), TCompressMode::Good)));
      ++packed;
    }
  }
  archive.CloseArchive();

  {
    Archive again(archiveFile, ArchiveFileName);
    again.OpenArchive();
    const Bytes scenario = again.ReadItem(BuiltInScenarioName);
    if (smallBmp.empty()) smallBmp = SaveBmp16(Bitmap(8, 6, 0x1234));
    ScenarioVariants(out, scenario, smallBmp);
  }

  // The music file as built, and a small one of the two shortest effects.
  out.Put("music_file", "zqaudio.dat", musicFile);
  std::sort(waves.begin(), waves.end(),
            [](const NamedBytes& a, const NamedBytes& b) { return a.bytes.size() < b.bytes.size(); });
  if (waves.size() >= 2) {
    std::vector<NamedBytes> two(waves.begin(), waves.begin() + 2);
    two[0].name = "music1.o";
    two[1].name = "music2.o";
    out.Put("music_file", "small.dat", WriteMusicFile(two));
  }
  return out.Written();
}

}  // namespace gravik::mkres
