#include "app/StartUp.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "base/Errors.h"
#include "base/Text.h"
#include "data/Profile.h"
#include "data/Settings.h"
#include "data/SystemFaces.h"
#include "frame/Form.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "frame/Screenshot.h"
#include "gfx/SplashScreen.h"
#include "gfx/SystemTextAdapter.h"
#include "platform/Folders.h"
#include "screens/Help.h"

namespace gravik {

namespace {

constexpr uint64_t kMinimumFreeSpace = 2000000;

// A start-up failure: the message box, then the program ends.
[[noreturn]] void EndStartUp(TForm1& form, const std::string& message) {
  form.game().platform.shell.ShowError("Gravik 2", message);
  form.FormClose();
  throw GameHalt(1, message);
}

// How long each step took on the machine's monotonic clock (not a game
// clock: headless runs step theirs by frames), printed when the environment
// variable GRAVIK_STARTUP_TIMES is set.
class StepTimer {
 public:
  StepTimer() : on_(std::getenv("GRAVIK_STARTUP_TIMES") != nullptr), last_(NowMs()) {}
  void Done(const char* step) {
    if (!on_) return;
    const double now = NowMs();
    std::fprintf(stderr, "start-up %-28s %8.2f ms\n", step, now - last_);
    last_ = now;
  }

 private:
  static double NowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
  }
  bool on_;
  double last_;
};

ArchiveItemReader ArchiveItems(Game& g) {
  return [&g](const std::string& name) {
    std::optional<std::vector<uint8_t>> item;
    if (!g.archive->HasItem(name)) return item;
    item = g.archive->ReadItem(name);
    return item;
  };
}

// The temporary files of saves that never finished: profiles, scenarios
// compiled into the folder, "gravik.ini", the settings store, screenshots.
// Only names a save makes, and only files left for a minute or more.
void SweepSaveLeftovers(const Game& g, const Folders& folders) {
  constexpr int kMinAgeSeconds = 60;
  const std::string tmp = kAtomicTempInfix;
  const std::string store = folders.SettingsStoreFile();
  RemoveSaveLeftovers(g.folders.Profiles, "*.zqp" + tmp, kMinAgeSeconds);
  RemoveSaveLeftovers(g.folders.Scenarios, "*.zq" + tmp, kMinAgeSeconds);
  RemoveSaveLeftovers(g.folders.Documents, IniFileName + tmp, kMinAgeSeconds);
  RemoveSaveLeftovers(ExtractFileDir(store), ExtractFileName(store) + tmp, kMinAgeSeconds);
  RemoveSaveLeftovers(g.folders.Documents + "Screenshots", kShotTempPrefix, kMinAgeSeconds);
}

}  // namespace

void PollForceWindowKey(TForm1& form) {
  form.PumpEvents();  // the key states follow the keyboard during the slow steps
  KeyState& keys = form.game().platform.input.Keys();
  keys.AsyncKeyState('W');
  if (keys.AsyncKeyState('W') & 0x8000) form.game().startUp.ForceWindow = true;
}

namespace {

// The deferred start-up as its named steps, in order. The steps share the
// game, the splash, the step timer and the machine settings read at step 15.
struct StartUpSteps {
  explicit StartUpSteps(TForm1& startingForm)
      : form(startingForm), g(form.game()), p(g.platform), f(g.frame), s(g.startUp), splash(p.splash, g.systemText) {}

  void SetFixedValues();
  void ShowSplash();
  void CheckFreeSpace();
  void LoadGraphicsAndFonts();
  void SetPlayerFolders();
  void LoadSettingsSoundAndMusic();
  void ListScenariosAndProfiles();
  void RequireBuiltInScenario();
  void ChooseDisplayAndPictures();
  void ShowFirstScreen();
  void ActivateRememberedPlayer();

  TForm1& form;
  Game& g;
  Platform& p;
  FrameState& f;
  StartUpValues& s;
  StepTimer timer;
  SplashScreen splash;
  RegistrySettings reg;
};

void StartUpSteps::SetFixedValues() {
  // 1. Fixed values.
  SetKeyboardMode(g.input, 0);
  s.ForceWindow = false;
  PollForceWindowKey(form);
  f.MenusRunning = false;
  f.MoveSpeedWindowed = f.MoveSpeedFullScreen = 384;
  g.scenario.FileName = BuiltInScenarioName;
  f.Windowed = true;
  f.FatalInProgress = false;
  // 2-3. Program folder and work pictures.
  g.folders.Program = p.folders.ProgramFolder();
  g.workPicture.SetSize(kScreenWidth, kScreenHeight);
  g.workPicture2.SetSize(kScreenWidth, kScreenHeight);
  // 4. The dated screen's day.
  s.EasterEggDay = IsEasterEggDay(g.options.today);
  timer.Done("fixed values");
}

void StartUpSteps::ShowSplash() {
  // 5. The splash; its label uses the archive's TrueType faces when they can be read.
  if (p.textRaster) LoadSystemFaces(*p.textRaster, ArchiveSearchFolders(p.folders));
  splash.Open(p.splashPicture);
  timer.Done("splash");
}

void StartUpSteps::CheckFreeSpace() {
  // 6. Room to write profiles and settings.
  if (p.folders.FreeSpaceHere() < kMinimumFreeSpace) EndStartUp(form, "Insufficient disk space.");
}

void StartUpSteps::LoadGraphicsAndFonts() {
  // 7-8. Graphics set, catalogue, fonts and menu pictures.
  PollForceWindowKey(form);
  splash.SetText("Preparing graphics...");
  g.archive = std::make_unique<Archive>(ArchiveSearchFolders(p.folders));
  g.archive->OpenArchive();
  g.graphicsSet = g.archive->LoadGraphicsSet();
  g.archive->ReleaseItem();
  if (!g.world.Catalogue.Load(g.graphicsSet.Catalogue.data(), g.graphicsSet.Catalogue.size()))
    throw FatalMessage(std::string(ArchiveFileName) + " is invalid.");
  g.world.Named.Resolve(g.world.Catalogue);  // 21. the named blocks, once the catalogue is known
  MakeHatchEnterable(g.world.Catalogue, g.world.Named);
  g.world.GraphicsStyle = 1;
  PollForceWindowKey(form);
  {
    const std::vector<uint8_t> fontsDat = g.archive->ReadItem("fonts.dat");
    LoadFonts(g.fonts, g.images, fontsDat.data(), fontsDat.size(), ArchiveItems(g));
  }
  PollForceWindowKey(form);
  LoadHelpPages(g);
  PollForceWindowKey(form);
  timer.Done("graphics and fonts");
}

void StartUpSteps::SetPlayerFolders() {
  // 9. The player's folders.
  g.folders.Documents = DocumentsFolder(p.folders);
  g.folders.Scenarios = g.folders.Documents + "Scenarios/";
  g.folders.Profiles = g.folders.Documents + "Profiles/";
  g.folders.Temp = p.folders.Temp();
  g.folders.Data = DataFolder(p.folders);
}

void StartUpSteps::LoadSettingsSoundAndMusic() {
  // 10. "gravik.ini", then sound effects and music. The store's "soundoff" and
  //     "musicoff" switch them off as the command line does.
  AudioSwitches sw;
  sw.Args = g.options.args;
  if (g.options.noSound) sw.Args.push_back("-nosound");
  if (g.options.noMusic) sw.Args.push_back("-nomusic");
  ApplyIniSettings(ReadIniSettings(IniPath(g.folders.Documents)), sw, g.audio, g.input);
  {
    const RegistrySettings reg = ReadRegistrySettings(p.settings);
    sw.SoundOff = sw.SoundOff || reg.SoundOff;
    sw.MusicOff = sw.MusicOff || reg.MusicOff;
  }
  PollForceWindowKey(form);
  splash.SetText("Preparing sound...");
  LoadSoundEffects(g.audio, &p.audio, sw, [&] {
    std::vector<NamedBytes> waves;
    for (const std::string& name : g.archive->ItemNames()) {
      if (!IsWaveEntryName(name)) continue;
      waves.push_back({name, g.archive->ReadItem(name)});
    }
    return waves;
  });
  PollForceWindowKey(form);
  // Files of ours are never deleted from the player's folders: no leftover sweep.
  LoadMusicFile(g.audio, sw, ArchiveSearchFolders(p.folders), "", &p.shell);
  ApplyVolumes(g.audio);
  PollForceWindowKey(form);
  timer.Done("settings, sound and music");
}

void StartUpSteps::ListScenariosAndProfiles() {
  // 11. Folders of the player's files (failures are not fatal), cleared of
  //     what saves killed mid-write left there.
  CreateDirectories(g.folders.Profiles);
  CreateDirectories(g.folders.Documents + "Savegames");
  CreateDirectories(g.folders.Scenarios);
  SweepSaveLeftovers(g, p.folders);

  // 12. The scenarios, then the profiles.
  g.scenarios = BuildScenarioList(*g.archive, g.folders.Scenarios);
  PollForceWindowKey(form);
  g.profile.Folder = g.folders.Profiles;
  BuildProfileList(g.profile);
  PollForceWindowKey(form);
  timer.Done("scenario and profile lists");
}

void StartUpSteps::RequireBuiltInScenario() {
  // 13-14. The built-in scenario must be there, and whole: it is loaded now
  //        (without its graphics), so a damaged one ends the program here
  //        rather than at the first game.
  if (g.scenarios.empty()) EndStartUp(form, "No scenario files found in " + LowerCase(g.folders.Scenarios));
  if (FindScenarioEntry(g.scenarios, BuiltInScenarioName) == 0)
    EndStartUp(form, std::string(BuiltInScenarioName) + " not found in " + LowerCase(g.folders.Scenarios));
  try {
    LoadCurrentScenario(g.scenario, *g.archive, [&](const std::string& m) { p.shell.ShowInfo("Gravik 2", m); });
  } catch (const FatalMessage& e) {
    form.FatalError(e.what());
  }
  timer.Done("built-in scenario");
}

void StartUpSteps::ChooseDisplayAndPictures() {
  // 15. The machine settings.
  splash.Close();
  g.world.CurrentLevel = 1;
  g.world.GraphicsStyle = 1;
  reg = ReadRegistrySettings(p.settings);
  PollForceWindowKey(form);

  // 16. Display mode: full screen as the settings say, unless W was held,
  //     which starts in a window and keeps that as the preference.
  bool fullScreen = g.options.startFullScreen || reg.FullScreen;
  if (s.ForceWindow) {
    fullScreen = false;
    WriteRegistrySettings(p.settings, reg.LastPlayer, /*windowedFlag=*/true);
  }
  f.Windowed = !fullScreen;
  f.WindowedPreference = f.Windowed;  // until a profile says otherwise

  // 17. Start-up pictures and sprites.
  p.display.SetSystemCursorVisible(false);
  if (!AttachGraphicsSet(g.gfx, g.graphicsSet)) throw FatalMessage(std::string(ArchiveFileName) + " is invalid.");
  int mx = 0, my = 0;
  p.input.MousePosition(mx, my);
  PrepareStartupGraphics(g.images, g.gfx, g.world.Named, g.playfield, g.sprites.Engine, g.backSurface, ArchiveItems(g),
                         mx, my);
  timer.Done("display mode and pictures");
}

void StartUpSteps::ShowFirstScreen() {
  // 18. The first screen.
  form.SetGameState(gsShowWindow);

  // 19. Initial values.
  f.AfpsEnabled = !reg.AfsOff;
  g.values.NewGameStarted = false;
  // 22. Key names and the panel's key labels for the current bindings.
  SetKeyboardMode(g.input, g.input.KeyboardMode);
  g.keyLabels = PanelKeyLabelsFor(g.input);
  // 23. Clean slate for the widgets, the preparation line, text entry, notices.
  f.ModeSwitchLockout = false;
  ResetWidgets(g.widgets);
  g.values.SlowPreparation = false;
  g.input.TextEntry.Active = false;
  g.panel.NoticeArmed = false;
}

void StartUpSteps::ActivateRememberedPlayer() {
  // 25. The remembered player. The window key, once seen, holds for every
  //     load of a profile in this run.
  g.profile.ForceWindow = s.ForceWindow;
  ActivateRememberedProfile(g);
  if (s.ForceWindow) f.WindowedPreference = true;
  timer.Done("profile");

  // 27. The pointer may now follow the mouse.
  f.MenusRunning = true;
}

}  // namespace

void RunStartUp(TForm1& form) {
  StartUpSteps steps(form);
  steps.SetFixedValues();
  steps.ShowSplash();
  steps.CheckFreeSpace();
  steps.LoadGraphicsAndFonts();
  steps.SetPlayerFolders();
  steps.LoadSettingsSoundAndMusic();
  steps.ListScenariosAndProfiles();
  steps.RequireBuiltInScenario();
  steps.ChooseDisplayAndPictures();
  steps.ShowFirstScreen();
  steps.ActivateRememberedPlayer();
}

}  // namespace gravik
