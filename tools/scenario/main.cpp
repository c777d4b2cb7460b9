// gravik-scenario: turns a scenario source into a ".zq" scenario file, or
// checks a source and lists its faults.
//
//   gravik-scenario compile IN OUT [--blocks FILE]
//   gravik-scenario check IN [--blocks FILE]
//   gravik-scenario play IN [--blocks FILE] [--trace] [--frame-ms N]
//                                    plays the walkthrough on the game's rules;
//                                    --trace pictures the level after every step,
//                                    --frame-ms sets the frame time (16, 60 a second)
//
// Exit status: 0 clean, 1 faults (or a file that cannot be read or written),
// 2 wrong usage.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "ScenarioCompiler.h"
#include "ScenarioReplay.h"
#include "platform/Folders.h"

namespace {

using namespace gravik::mkres;

// An installed program reads the catalogue installed beside the game's data
// (<prefix>/bin/../share/gravik2/); one run from the build reads the sources'.
std::string DefaultBlocks() {
  const std::string installed = gravik::Folders().ProgramFolder() + "../share/gravik2/blocks.txt";
  if (gravik::FileExists(installed)) return installed;
  return std::string(GRAVIK_ASSETS_DIR) + "/blocks.txt";
}

int Usage() {
  std::fprintf(stderr,
               "usage: gravik-scenario compile IN OUT [--blocks FILE]\n"
               "       gravik-scenario check IN [--blocks FILE]\n"
               "       gravik-scenario play IN [--blocks FILE] [--trace] [--frame-ms N]\n"
               "The block catalogue defaults to %s.\n",
               DefaultBlocks().c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string blocks = DefaultBlocks();
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--blocks") {
      if (i + 1 >= args.size()) return Usage();
      blocks = args[i + 1];
      args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
      break;
    }
  }
  bool trace = false;
  int frameMs = 16;
  for (size_t i = 0; i < args.size(); ++i)
    if (args[i] == "--trace") {
      trace = true;
      args.erase(args.begin() + long(i));
      break;
    }
  for (size_t i = 0; i < args.size(); ++i)
    if (args[i] == "--frame-ms") {
      if (i + 1 >= args.size()) return Usage();
      char* end = nullptr;
      const long v = std::strtol(args[i + 1].c_str(), &end, 10);
      if (end == args[i + 1].c_str() || *end != 0 || v < 1 || v > 200) return Usage();
      frameMs = int(v);
      args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
      break;
    }
  if (args.empty()) return Usage();
  const std::string& cmd = args[0];
  if (!((cmd == "compile" && args.size() == 3) || ((cmd == "check" || cmd == "play") && args.size() == 2))) return Usage();

  const std::string& in = args[1];
  std::string text;
  if (!ReadTextFile(in, text)) {
    std::fprintf(stderr, "gravik-scenario: cannot read %s\n", in.c_str());
    return 1;
  }
  Catalogue catalogue;
  try {
    catalogue = LoadCatalogue(blocks);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gravik-scenario: %s\n", e.what());
    return 1;
  }
  const CompileResult r = CompileScenario(text, in, catalogue);
  for (const Diagnostic& d : r.Diagnostics) std::fprintf(stderr, "%s\n", FormatDiagnostic(in, d).c_str());
  if (!r.Ok()) {
    std::fprintf(stderr, "%zu fault(s)\n", r.Diagnostics.size());
    return 1;
  }
  const auto& t = r.Output->Header.Totals;
  std::printf("%s: %d level(s); diamonds %d, earth %d, eggs %d, transporters %d, puzzle pieces %d\n", in.c_str(),
              r.LevelsUsed, t[gravik::TotalDiamonds], t[gravik::TotalEarth], t[gravik::TotalMonsters],
              t[gravik::TotalTransporters], t[gravik::TotalPuzzlePieces]);
  if (cmd == "check") return 0;
  if (cmd == "play") {
    ReplayOptions options;
    options.Log = [](const std::string& line) { std::printf("  %s\n", line.c_str()); };
    options.PictureEachStep = trace;
    options.FrameMs = frameMs;
    const ReplayReport rep = ReplayScenario(gravik::WriteScenario(*r.Output), r.Walkthrough, catalogue, options);
    std::printf("%s: %d of %zu walk steps, %d frames, %.1f s of game time, score %d\n",
                rep.Completed ? "completed" : "NOT completed", rep.StepsPlayed, r.Walkthrough.size(), rep.Frames,
                rep.GameMs / 1000.0, rep.Score);
    if (!rep.Completed) std::printf("%s", rep.Picture.c_str());
    if (!rep.Completed)
      std::printf("left: diamonds %d, earth %d, monsters %d, transporters %d, pieces %d, end %d\n", rep.DiamondsLeft,
                  rep.EarthLeft, rep.MonstersLeft, rep.TransportersLeft, rep.PuzzlePiecesLeft, rep.EndCharsLeft);
    return rep.Completed ? 0 : 1;
  }

  const std::vector<uint8_t> bytes = gravik::WriteScenario(*r.Output);
  std::ofstream out(args[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "gravik-scenario: cannot write %s\n", args[2].c_str());
    return 1;
  }
  std::printf("wrote %s (%zu bytes)\n", args[2].c_str(), bytes.size());
  return 0;
}
