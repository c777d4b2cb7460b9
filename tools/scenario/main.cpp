// gravik-scenario: turns a scenario source into a ".zq" scenario file, or
// checks a source and lists its faults.
//
//   gravik-scenario compile IN [OUT] [--blocks FILE]
//                                    without OUT: into the game's Scenarios folder,
//                                    as IN's base name + ".zq"
//   gravik-scenario install-example [--blocks FILE]
//                                    the guide's example into the Scenarios folder
//   gravik-scenario check IN [--blocks FILE]
//   gravik-scenario decompile FILE.zq [OUT] [--blocks FILE]
//                                    writes a scenario file back as a source
//                                    (to OUT, or to standard output)
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
#include <memory>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "ScenarioCompiler.h"
#include "ScenarioDecompiler.h"
#include "ScenarioReplay.h"
#include "base/Text.h"
#include "data/Archive.h"
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

// The guide's example source: installed beside the game's data, else the sources'.
std::string ExampleSource() {
  const std::string installed = gravik::Folders().ProgramFolder() + "../share/gravik2/example.txt";
  if (gravik::FileExists(installed)) return installed;
  return std::string(GRAVIK_ASSETS_DIR) + "/scenario/example.txt";
}

// The game's Scenarios folder (GRAVIK_HOME honoured), ending with '/'.
std::string ScenariosFolder() { return gravik::DocumentsFolder(gravik::Folders()) + "Scenarios/"; }

// Where "compile IN" without OUT writes: IN's base name + ".zq" in the Scenarios
// folder; empty (with the reason printed) when that cannot be.
std::string InstalledPath(const std::string& in) {
  std::string base = gravik::ExtractFileName(in);
  if (const size_t dot = base.rfind('.'); dot != std::string::npos && dot > 0) base.resize(dot);
  if (base.empty() || base == "." || base == "..") {
    std::fprintf(stderr, "gravik-scenario: %s has no name to give the scenario file\n", in.c_str());
    return "";
  }
  const std::string name = base + ".zq";
  if (gravik::SameText(name, gravik::BuiltInScenarioName)) {
    std::fprintf(stderr, "gravik-scenario: %s is the built-in scenario's file name; rename %s\n", name.c_str(),
                 in.c_str());
    return "";
  }
  return ScenariosFolder() + name;
}

int Usage() {
  std::fprintf(stderr,
               "usage: gravik-scenario compile IN [OUT] [--blocks FILE]\n"
               "       gravik-scenario install-example [--blocks FILE]\n"
               "       gravik-scenario check IN [--blocks FILE]\n"
               "       gravik-scenario decompile FILE.zq [OUT] [--blocks FILE]\n"
               "       gravik-scenario play IN [--blocks FILE] [--trace] [--frame-ms N]\n"
               "Without OUT, compile writes IN's base name + \".zq\" into %s.\n"
               "The block catalogue defaults to %s.\n",
               ScenariosFolder().c_str(), DefaultBlocks().c_str());
  return 2;
}

// decompile: the scenario file IN as a source, into OUT or onto standard output.
int Decompile(const std::string& in, const std::string& out, const Catalogue& catalogue) {
  std::vector<uint8_t> bytes;
  if (!gravik::ReadWholeFile(in, bytes, size_t(512) << 20)) {
    std::fprintf(stderr, "gravik-scenario: cannot read %s\n", in.c_str());
    return 1;
  }
  auto s = std::make_unique<gravik::Scenario>();
  std::vector<uint8_t> work = bytes;
  if (!gravik::ReadScenarioInfo(*s, bytes) || gravik::LoadScenario(*s, work) != gravik::ScenarioLoaded || !s->CrcCorrect ||
      s->Header.CheckWord != s->Info.CheckWord) {
    std::fprintf(stderr, "gravik-scenario: %s is not a scenario file the game can read\n", in.c_str());
    return 1;
  }
  const DecompileResult r = DecompileScenario(*s, catalogue);
  for (const std::string& e : r.Errors) std::fprintf(stderr, "%s: %s\n", in.c_str(), e.c_str());
  if (!r.Ok()) {
    std::fprintf(stderr, "%zu fault(s); nothing written\n", r.Errors.size());
    return 1;
  }
  for (const std::string& l : r.Losses)
    std::fprintf(stderr, "%s: not kept in the source: %s\n", in.c_str(), l.c_str());
  if (out.empty()) {
    std::fwrite(r.Text.data(), 1, r.Text.size(), stdout);
    return 0;
  }
  if (!gravik::WriteWholeFileAtomic(out, r.Text.data(), r.Text.size())) {
    std::fprintf(stderr, "gravik-scenario: cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("wrote %s (%zu bytes)\n", out.c_str(), r.Text.size());
  return 0;
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
  std::string cmd = args[0];
  if (cmd == "install-example" && args.size() == 1) {
    cmd = "compile";
    args.push_back(ExampleSource());
  }
  if (!(((cmd == "compile" || cmd == "decompile") && (args.size() == 2 || args.size() == 3)) ||
        ((cmd == "check" || cmd == "play") && args.size() == 2)))
    return Usage();

  const std::string in = args[1];
  if (cmd == "decompile") {
    Catalogue catalogue;
    try {
      catalogue = LoadCatalogue(blocks);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "gravik-scenario: %s\n", e.what());
      return 1;
    }
    return Decompile(in, args.size() == 3 ? args[2] : "", catalogue);
  }
  std::string outPath;
  if (cmd == "compile") {
    outPath = args.size() == 3 ? args[2] : InstalledPath(in);
    if (outPath.empty()) return 1;
  }
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
  const CompileResult r = CompileScenario(text, catalogue);
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
  if (args.size() == 2) gravik::CreateDirectories(gravik::ExtractFileDir(outPath));
  // Written whole or not at all: the game never sees half a scenario file.
  if (!gravik::WriteWholeFileAtomic(outPath, bytes.data(), bytes.size())) {
    std::fprintf(stderr, "gravik-scenario: cannot write %s\n", outPath.c_str());
    return 1;
  }
  std::printf("wrote %s (%zu bytes)\n", outPath.c_str(), bytes.size());
  if (args.size() == 2) std::printf("Start the game and choose it under Options, Scenarios.\n");
  return 0;
}
