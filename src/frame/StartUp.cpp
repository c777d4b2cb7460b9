#include "frame/StartUp.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "frame/Form.h"
#include "frame/Keys.h"
#include "render/SplashScreen.h"
#include "render/SystemTextAdapter.h"

namespace gravik {

namespace {
constexpr uint64_t kMinimumFreeSpace = 2000000;
}

void PollForceWindowKey(TForm1& form) {
  form.PumpEvents();  // the key states follow the keyboard during the slow steps
  KeyState& keys = form.game().platform.input.Keys();
  keys.AsyncKeyState('W');
  if (keys.AsyncKeyState('W') & 0x8000) form.game().startUp.ForceWindow = true;
}

void RunStartUp(TForm1& form) {
  Game& g = form.game();
  Platform& p = g.platform;
  FrameState& f = g.frame;
  StartUpValues& s = g.startUp;

  // 1. Fixed values.
  s.ForceWindow = false;
  PollForceWindowKey(form);
  f.MoveSpeedWindowed = f.MoveSpeedFullScreen = 384;
  f.Windowed = true;
  f.FatalInProgress = false;
  g.scenario.FileName = BuiltInScenarioName;
  // 2-3. Folders and work pictures.
  g.folders.Program = p.folders.ProgramFolder();
  g.workPicture.SetSize(kScreenWidth, kScreenHeight);
  g.workPicture2.SetSize(kScreenWidth, kScreenHeight);

  // 5. The splash; its label uses the archive's TrueType faces when they can be read.
  if (p.textRaster) LoadSystemFaces(*p.textRaster, ArchiveSearchFolders(p.folders));
  SplashScreen splash(p.splash, g.systemText);
  splash.Open(p.splashPicture);

  // 6. Room to write profiles and settings.
  if (Folders::FreeSpace(".") < kMinimumFreeSpace) {
    p.shell.ShowError("Gravik 2", "Insufficient disk space.");
    form.FormClose();
    throw GameHalt(1, "Insufficient disk space.");
  }

  // 8. Graphics set, catalogue, fonts.
  PollForceWindowKey(form);
  splash.SetText("Preparing graphics...");
  g.archive = std::make_unique<Archive>(ArchiveSearchFolders(p.folders));
  g.archive->OpenArchive();
  g.graphicsSet = g.archive->LoadGraphicsSet();
  g.archive->ReleaseItem();
  if (!g.world.Catalogue.Load(g.graphicsSet.Catalogue.data(), g.graphicsSet.Catalogue.size()))
    throw FatalMessage(std::string(ArchiveFileName) + " is invalid.");
  g.world.Named.Resolve(g.world.Catalogue);
  MakeHatchEnterable(g.world.Catalogue, g.world.Named);
  g.world.GraphicsStyle = 1;
  PollForceWindowKey(form);
  {
    const std::vector<uint8_t> fontsDat = g.archive->TakeItem("fonts.dat");
    const std::vector<uint8_t> copy = fontsDat;
    g.archive->ReleaseItem();
    LoadFonts(g.fonts, g.images, copy.data(), copy.size(), [&](const std::string& name) {
      std::optional<std::vector<uint8_t>> item;
      if (!g.archive->HasItem(name)) return item;
      item = g.archive->TakeItem(name);
      g.archive->ReleaseItem();
      return item;
    });
  }
  PollForceWindowKey(form);

  // 9. The player's folders.
  g.folders.Documents = DocumentsFolder(p.folders);
  g.folders.Scenarios = g.folders.Documents + "Scenarios/";
  g.folders.Profiles = g.folders.Documents + "Profiles/";
  g.folders.Temp = p.folders.Temp();
  g.folders.Data = DataFolder(p.folders);

  // 10. Sound effects and music; "soundoff"/"musicoff" in the settings store
  //     switch them off as the command line does.
  AudioSwitches sw;
  sw.Args = g.options.args;
  if (g.options.noSound) sw.Args.push_back("-nosound");
  if (g.options.noMusic) sw.Args.push_back("-nomusic");
  sw.SoundOff = p.settings.ValueExists("soundoff");
  sw.MusicOff = p.settings.ValueExists("musicoff");
  PollForceWindowKey(form);
  splash.SetText("Preparing sound...");
  LoadSoundEffects(g.audio, &p.audio, sw, [&] {
    std::vector<NamedBytes> waves;
    for (const std::string& name : g.archive->ItemNames()) {
      if (!IsWaveEntryName(name)) continue;
      waves.push_back({name, g.archive->TakeItem(name)});
      g.archive->ReleaseItem();
    }
    return waves;
  });
  PollForceWindowKey(form);
  // Files of ours are never deleted from the player's folders: no leftover sweep.
  LoadMusicFile(g.audio, sw, ArchiveSearchFolders(p.folders), "", &p.shell);
  ApplyVolumes(g.audio);
  PollForceWindowKey(form);

  // 11. Folders of the player's files (failures are not fatal).
  CreateDirectories(g.folders.Profiles);
  CreateDirectories(g.folders.Documents + "Savegames");
  CreateDirectories(g.folders.Scenarios);

  // 12-14. Scenarios: the built-in one must be there.
  g.scenarios = BuildScenarioList(*g.archive, g.folders.Scenarios);
  PollForceWindowKey(form);
  if (g.scenarios.empty()) {
    const std::string msg = "No scenario files found in " + LowerCase(g.folders.Scenarios);
    p.shell.ShowError("Gravik 2", msg);
    form.FormClose();
    throw GameHalt(1, msg);
  }
  if (FindScenarioEntry(g.scenarios, BuiltInScenarioName) == 0) {
    const std::string msg = std::string(BuiltInScenarioName) + " not found in " + LowerCase(g.folders.Scenarios);
    p.shell.ShowError("Gravik 2", msg);
    form.FormClose();
    throw GameHalt(1, msg);
  }

  // 15-16. Display mode: the settings store's "Fullscreen", unless W was held.
  splash.Close();
  g.world.CurrentLevel = 1;
  g.world.GraphicsStyle = 1;
  PollForceWindowKey(form);
  bool fullScreen = g.options.startFullScreen || p.settings.ReadBool("Fullscreen");
  if (s.ForceWindow) {
    fullScreen = false;
    f.WindowedPreference = true;
  }
  f.Windowed = !fullScreen;
  f.WindowedPreference = f.Windowed;  // until a profile says otherwise

  // 22. Key names and the panel's key labels for the current bindings.
  SetKeyboardMode(g.input, g.input.KeyboardMode);
  g.keyLabels = PanelKeyLabelsFor(g.input);

  // 17. Start-up pictures and sprites.
  p.display.SetSystemCursorVisible(false);
  if (!AttachGraphicsSet(g.gfx, g.graphicsSet)) throw FatalMessage(std::string(ArchiveFileName) + " is invalid.");
  int mx = 0, my = 0;
  p.input.MousePosition(mx, my);
  PrepareStartupGraphics(g.images, g.gfx, g.world.Named, g.playfield, g.sprites.Engine, g.backSurface,
                         [&](const std::string& name) {
                           std::optional<std::vector<uint8_t>> item;
                           if (!g.archive->HasItem(name)) return item;
                           item = g.archive->TakeItem(name);
                           g.archive->ReleaseItem();
                           return item;
                         },
                         mx, my);

  // 18. The first screen.
  form.SetGameState(gsShowWindow);

  // 19. Initial values.
  f.AfpsEnabled = !p.settings.ValueExists("afsoff");
  g.values.NewGameStarted = false;
  f.MenusRunning = true;
}

}  // namespace gravik
