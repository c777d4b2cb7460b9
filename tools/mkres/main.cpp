// mkres: the resource builder. Each command makes one kind of output.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "Contact.h"
#include "FuzzSeeds.h"
#include "GraphicsSet.h"
#include "Icons.h"
#include "Resources.h"
#include "Splash.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: mkres COMMAND ...\n"
               "  contact OUTDIR [ASSETSDIR]   PNG sheets of every block in every set and style\n"
               "  resources OUTDIR [ASSETSDIR]  zqresource.dat and zqaudio.dat, the game's data files\n"
               "  graphics FILE [ASSETSDIR]    the decoded graphics set block (cell table, catalogue, sheets)\n"
               "  splash FILE.cpp              C++ source embedding the start-up splash picture\n"
               "  icons OUTDIR                 the desktop icons, OUTDIR/<N>x<N>.png for N = 16 .. 256\n"
               "  fuzzseeds OUTDIR DATADIR     seed corpora OUTDIR/<target>/ from the data files in DATADIR\n");
  return 2;
}

int Contact(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string assets = argc > 3 ? argv[3] : GRAVIK_ASSETS_DIR;
  const auto gs = gravik::mkres::BuildGraphicsSet(assets);
  for (const auto& f : gravik::mkres::WriteContactSheets(gs, argv[2])) std::printf("%s\n", f.c_str());
  return 0;
}

int Graphics(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string assets = argc > 3 ? argv[3] : GRAVIK_ASSETS_DIR;
  const std::vector<uint8_t> bytes = gravik::mkres::BuildGraphicsSet(assets).Bytes();
  std::FILE* f = std::fopen(argv[2], "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::fprintf(stderr, "mkres: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}

int Resources(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string assets = argc > 3 ? argv[3] : GRAVIK_ASSETS_DIR;
  std::string error;
  if (!gravik::mkres::WriteDataFiles(argv[2], assets, &error)) {
    std::fprintf(stderr, "mkres: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

int SplashCommand(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string error;
  if (!gravik::mkres::WriteSplashSource(argv[2], &error)) {
    std::fprintf(stderr, "mkres: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

int IconsCommand(int argc, char** argv) {
  if (argc != 3) return Usage();
  for (const auto& f : gravik::mkres::WriteIcons(argv[2])) std::printf("%s\n", f.c_str());
  return 0;
}

int FuzzSeedsCommand(int argc, char** argv) {
  if (argc != 4) return Usage();
  const auto files = gravik::mkres::WriteFuzzSeeds(argv[2], argv[3]);
  std::printf("%zu seed files in %s\n", files.size(), argv[2]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string cmd = argv[1];
  try {
    if (cmd == "contact") return Contact(argc, argv);
    if (cmd == "graphics") return Graphics(argc, argv);
    if (cmd == "resources") return Resources(argc, argv);
    if (cmd == "splash") return SplashCommand(argc, argv);
    if (cmd == "icons") return IconsCommand(argc, argv);
    if (cmd == "fuzzseeds") return FuzzSeedsCommand(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkres: %s\n", e.what());
    return 1;
  }
  return Usage();
}
