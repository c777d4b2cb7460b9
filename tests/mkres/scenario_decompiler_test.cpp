// The decompiler: a compiled scenario written back as text compiles to the
// same bytes; what the text cannot hold is named, never dropped silently.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "ScenarioCompiler.h"
#include "ScenarioDecompiler.h"
#include "data/Scenario.h"
#include "editor/Document.h"
#include "platform/Folders.h"
#include "support/TempHome.h"

namespace gravik::mkres {
namespace {

const Catalogue& Cat() {
  static const Catalogue cat = LoadCatalogue(std::string(GRAVIK_SOURCE_DIR) + "/assets/blocks.txt");
  return cat;
}

std::string Source(const std::string& name) {
  std::string text;
  EXPECT_TRUE(ReadTextFile(std::string(GRAVIK_SOURCE_DIR) + "/assets/scenario/" + name, text));
  return text;
}

std::vector<uint8_t> CompileBytes(const std::string& text) {
  const CompileResult r = CompileScenario(text, Cat());
  std::string faults;
  for (const auto& d : r.Diagnostics) faults += FormatDiagnostic("src", d) + "\n";
  EXPECT_TRUE(r.Ok()) << faults << text;
  return r.Ok() ? WriteScenario(*r.Output) : std::vector<uint8_t>{};
}

std::unique_ptr<Scenario> Load(std::vector<uint8_t> bytes) {
  auto s = std::make_unique<Scenario>();
  EXPECT_TRUE(ReadScenarioInfo(*s, bytes));
  EXPECT_EQ(LoadScenario(*s, bytes), ScenarioLoaded);
  EXPECT_TRUE(s->CrcCorrect);
  return s;
}

TEST(ScenarioDecompile, CompiledScenariosComeBackByteForByte) {
  // Every line a source may hold, the 40 pieces of the default puzzle among them.
  std::string pieces, rows;
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 4; ++r) {
      const char ch = char(160 + (c - 1) * 4 + (r - 1));
      pieces += "piece " + std::string(1, ch) + " " + std::to_string(c) + " " + std::to_string(r) + "\n";
      rows += ch;
      if (rows.size() % 9 == 8) rows += "\n";
    }
  const std::string everything =
      "scenario Every Line\nauthor Someone\npuzzle default\nnote one\nnote\nnote three\n"
      "legend Q TIMEBOMB1\nlegend V COMPASS_N\n"
      "level 1\nspace yes\nmap no\nmeteors 7\nblockset 5\nborder STEEL\n"
      "transporter t 2 1 1\ngate G diamonds monsters\ngate H pieces\n" +
      pieces + "grid\nPt*.GGH.\nQV~^!.E.\n" + rows + "end\n" +
      "level 2\ntransporter u 1 6 2\ngrid\n.:u\nend\n";
  for (const std::string& text : {Source("example.txt"), Source("gravik2.txt"), everything}) {
    const std::vector<uint8_t> bytes = CompileBytes(text);
    ASSERT_FALSE(bytes.empty());
    const DecompileResult d = DecompileScenario(*Load(bytes), Cat());
    ASSERT_TRUE(d.Ok()) << d.Errors.front();
    EXPECT_TRUE(d.Losses.empty()) << d.Losses.front();
    EXPECT_EQ(CompileBytes(d.Text), bytes) << d.Text;
  }
}

// The built-in scenario's source compiled into the Scenarios folder, opened in
// the editor and saved at once, keeps every byte.
TEST(ScenarioDecompile, TheBuiltInScenarioOpenedAndSavedInTheEditorKeepsItsBytes) {
  const std::vector<uint8_t> bytes = CompileBytes(Source("gravik2.txt"));
  ASSERT_FALSE(bytes.empty());
  testing::TempHome home;
  const std::string folder = home.Sub("Scenarios") + "/";
  ASSERT_TRUE(WriteWholeFileAtomic(folder + "caves.zq", bytes.data(), bytes.size()));
  EditorDocument d(ResolveScenarioBlocks([](std::string_view n) { return Cat().Find(n); }));
  std::string error;
  ASSERT_TRUE(d.Load(folder + "caves.zq", &error)) << error;
  ASSERT_TRUE(d.Save(folder + "caves.zq", &error)) << error;
  std::vector<uint8_t> again;
  ASSERT_TRUE(ReadWholeFile(folder + "caves.zq", again));
  EXPECT_EQ(again, bytes);
}

TEST(ScenarioDecompile, NamesWhatTheTextCannotHoldAndRefusesWhatItCannotWrite) {
  const std::vector<uint8_t> bytes = CompileBytes(Source("example.txt"));
  auto s = Load(bytes);
  s->PuzzlePicture = {'B', 'M'};
  s->Header.KeepGraphics = 1;
  s->Level(1).SetParam(2, 2, 5);  // on an ordinary cell
  DecompileResult d = DecompileScenario(*s, Cat());
  ASSERT_TRUE(d.Ok());
  EXPECT_EQ(d.Losses.size(), 3u);
  EXPECT_NE(CompileScenario(d.Text, Cat()).Output, nullptr);

  s->Level(2).SetCell(2, 2, 0);  // code 0 inside a level has no name
  s->Level(1).SetCell(3, 3, 140);
  d = DecompileScenario(*s, Cat());
  EXPECT_FALSE(d.Ok());
  EXPECT_TRUE(d.Text.empty());
  EXPECT_EQ(d.Errors.size(), 2u) << ::testing::PrintToString(d.Errors);
}

}  // namespace
}  // namespace gravik::mkres
