// mkres: the resource builder. Each command makes one kind of output.
#include <cstdio>
#include <exception>
#include <string>

#include "Contact.h"
#include "GraphicsSet.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: mkres COMMAND ...\n"
               "  contact OUTDIR [ASSETSDIR]   PNG sheets of every block in every set and style\n");
  return 2;
}

int Contact(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string assets = argc > 3 ? argv[3] : GRAVIK_ASSETS_DIR;
  const auto gs = gravik::mkres::BuildGraphicsSet(assets);
  for (const auto& f : gravik::mkres::WriteContactSheets(gs, argv[2])) std::printf("%s\n", f.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string cmd = argv[1];
  try {
    if (cmd == "contact") return Contact(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkres: %s\n", e.what());
    return 1;
  }
  return Usage();
}
