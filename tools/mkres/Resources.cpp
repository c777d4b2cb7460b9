#include "Resources.h"

#include "BuiltInDemo.h"
#include "FontMaker.h"
#include "GraphicsSet.h"
#include "Music.h"
#include "Pictures.h"
#include "ScenarioCompiler.h"
#include "SoundEffects.h"
#include "base/Text.h"
#include "data/Archive.h"
#include "data/Demo.h"
#include "platform/Folders.h"

namespace gravik::mkres {

namespace {
constexpr uint32_t kArchiveKeySeed = 0x6A2D1C05;
}

std::vector<uint8_t> BuildResourceArchive(const std::string& assetsDir, std::string* error) {
  std::string err;
  auto fail = [&](const std::string& what) {
    if (error) *error = what;
    return std::vector<uint8_t>{};
  };
  ArchiveWriter archive;
  archive.SetKeyFromSeed(kArchiveKeySeed);
  AddGraphicsSet(archive, BuildGraphicsSet(assetsDir));

  const std::vector<uint8_t> fonts = BuildFontsDat(&err);
  if (fonts.empty()) return fail(err);
  archive.AddItem("fonts.dat", fonts, ArchiveWriter::Coding::Fast);
  auto ttf = SystemFontItems(&err);
  if (ttf.empty()) return fail(err);
  for (auto& [name, bytes] : ttf) archive.AddItem(name, bytes, ArchiveWriter::Coding::Fast);

  auto pictures = BuildPictures(assetsDir, &err);
  if (pictures.empty()) return fail(err);
  for (auto& [name, bytes] : pictures)
    archive.AddItem(name, bytes, EndsWithText(name, ".bmp") ? ArchiveWriter::Coding::Fast : ArchiveWriter::Coding::Stored);

  for (auto& [name, bytes] : BuildSoundEffects()) archive.AddItem(name, bytes, ArchiveWriter::Coding::Stored);

  const std::vector<uint8_t> scenario = BuildBuiltInScenario(assetsDir, &err);
  if (scenario.empty()) return fail(err);
  archive.AddItem(BuiltInScenarioName, scenario, ArchiveWriter::Coding::Stored);
  const std::vector<uint8_t> demo = BuildBuiltInDemo(scenario, assetsDir, &err);
  if (demo.empty()) return fail(err);
  archive.AddItem(DemoItemName, demo, ArchiveWriter::Coding::Fast);
  return archive.Finish();
}

std::vector<uint8_t> BuildAudioFile(const std::string& assetsDir, std::string* error) {
  return BuildMusicFile(assetsDir, error);
}

bool WriteDataFiles(const std::string& outDir, const std::string& assetsDir, std::string* error) {
  const std::vector<uint8_t> resource = BuildResourceArchive(assetsDir, error);
  if (resource.empty()) return false;
  const std::vector<uint8_t> audio = BuildAudioFile(assetsDir, error);
  if (audio.empty()) return false;
  const std::string dir = IncludeTrailingSlash(outDir);
  if (!WriteWholeFileAtomic(dir + ArchiveFileName, resource.data(), resource.size()) ||
      !WriteWholeFileAtomic(dir + "zqaudio.dat", audio.data(), audio.size())) {
    if (error) *error = "cannot write the data files into " + outDir;
    return false;
  }
  return true;
}

}  // namespace gravik::mkres
