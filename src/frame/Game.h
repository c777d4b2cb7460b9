// The one game instance: every process-wide record of the game lives here and is
// passed by reference. Tests build their own.
#pragma once
#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "audio/Audio.h"
#include "base/Random.h"
#include "data/Archive.h"
#include "data/Profile.h"
#include "data/SaveGame.h"
#include "data/Scenario.h"
#include "data/ScenarioLevelStore.h"
#include "frame/FrameState.h"
#include "frame/GameFolders.h"
#include "gfx/Bitmap.h"
#include "gfx/Fonts.h"
#include "gfx/ImageList.h"
#include "gfx/SystemTextAdapter.h"
#include "input/Input.h"
#include "platform/Platform.h"
#include "render/LevelGraphics.h"
#include "render/Panel.h"
#include "render/Widgets.h"
#include "sprite/GameSprites.h"
#include "world/Transport.h"
#include "world/World.h"

namespace gravik {

// Values of the game in progress that the frame itself keeps.
// What single screens keep between frames (a page, a scroll, a choice in
// progress). The screens module defines it; the game only holds it.
struct ScreenMemory {
  virtual ~ScreenMemory() = default;
};

struct GameValues {
  uint32_t PlayStart = 0;           // tick when gsPlaying was last entered
  uint32_t TotalPlaySeconds = 0;
  bool NewGameStarted = false;
  bool MusicStartNow = false;       // start the level music this frame
  uint8_t Lives = 3;
  uint32_t LevelClock = 0;
  int32_t RestartX = 6, RestartY = 16;
  uint32_t TitleCardTick = 0;
  bool SlowPreparation = false;
  // Clocks frozen while a menu is shown (elapsed times).
  uint32_t FrozenLevelClock = 0;
  std::array<uint32_t, MonsterSlots> FrozenMonsterAnim{}, FrozenMonsterHatch{};
  int32_t TransportersUsed = 0;
  // Losing a life.
  uint32_t DeathTick = 0;
  int DeathFrame = 0;
  uint32_t CompleteTick = 0;
  // Screens reached from the status screen return to it.
  bool MapFromStatus = false;
  // A visit of the status screen is under way: it froze the clocks and paused
  // the music, and the screens it opens come back to it without doing that
  // again. Any state outside those screens ends the visit (SetGameState).
  bool StatusOpen = false;
  // FreezeClocks ran and ThawClocks has not yet.
  bool ClocksFrozen = false;
  // A game of a scenario is under way (from its preparation to its end).
  bool GameInProgress = false;
  // CRC-32 of the scenario as prepared, before play changed its levels.
  uint32_t ScenarioCrc = 0;
  uint8_t OptionsReturnState = 0;
  // Joystick buttons (kPad* bits) held when a screen was entered (a press
  // counts only once the button was let go).
  uint8_t JoyButtonsAtEntry = 0;
  // The pad as read at the start of this frame (kPad* buttons, kJoy*
  // direction), what was pressed or pushed since the frame before, and
  // whether it is the device last used (a key or a click since makes it not).
  uint8_t PadButtons = 0, PadDirection = 0;
  uint8_t PadPressed = 0, PadPushed = 0;
  bool PadLastUsed = false;
  // The best-score check at the end of a game.
  bool NewBestScore = false;
  int32_t PreviousBest = 0;
  // Frame-rate read-out (--debug).
  uint32_t RateWindowStart = 0;
  int FramesInWindow = 0;
  int FramesPerSecond = 0;
  // The last key, mouse or joystick input (the main menu's attract demo).
  uint32_t LastInputTick = 0;
  uint8_t JoystickSeen = 0;  // buttons and direction bits at the last poll
};

// Values decided by start-up.
struct StartUpValues {
  bool ForceWindow = false;   // W held during start-up
  bool EasterEggDay = false;  // 18 January, in ISO week 3
};

// A calendar date (the local date the game started on).
struct CalendarDate {
  int Year = 2000, Month = 1, Day = 1;
};
// ISO 8601 week number (1..53) of a date.
int IsoWeek(const CalendarDate& d);
// The dated screen's day: the 18th, in ISO week 3 (so 18 January, in the years
// where it falls in week 3).
bool IsEasterEggDay(const CalendarDate& d);

struct GameOptions {
  bool headless = false;
  bool noSound = false;
  bool noMusic = false;
  bool debug = false;            // frame-rate and debug read-outs
  bool startFullScreen = false;
  uint64_t seed = 1;
  bool play = false;             // start playing at once
  std::string playScenario;      // a scenario file to play ("" = the built-in one)
  int startLevel = 0;            // developer switch: begin on this level (0 = the scenario's start)
  std::string exeName = "gravik";
  std::vector<std::string> args;  // the command line, for the audio switches
  CalendarDate today;             // set by main from the local clock; fixed in tests
  bool demo = false;              // play a demo at once
  std::string demoFile;           // ... from this file ("" = the built-in demo)
  std::string recordDemo;         // record the game into this demo file
  std::string demoCaptions;       // "TIME TEXT" captions woven into the recording
  std::string traceWorld;         // a digest of the world after every frame of play, one a line
  bool edit = false;              // open the scenario editor at once
  std::string editFile;           // ... on this file ("" = a new scenario)
  // The scenario being edited is being tried: no records, no saved game, no
  // profile save, and the way back to the menus leads to the editor.
  bool editorTrial = false;
};

class Game;
class TForm1;
struct DemoPlayback;
class DemoRecorder;

// The links through which the world reaches the rest of the game.
class GameChipMap : public ChipMap {
 public:
  explicit GameChipMap(Game& g) : game_(g) {}
  void SetChip(int x, int y, int pattern) override;

 private:
  Game& game_;
};

class GameSoundSink : public SoundSink {
 public:
  explicit GameSoundSink(Game& g) : game_(g) {}
  void PlaySound(const std::string& name) override;
  void SetSoundVolume(const std::string& name, int volume) override;
  bool EffectsOn() const override;
  int EffectVolumeSetting() const override;

 private:
  Game& game_;
};

// The screen-state machine as the world sees it. Plain play is the frame's
// gsPlaying; an outcome goes to the form that drives the game, which connects
// itself when it is made. An outcome with no form to take it is a fault.
class GameStateHost : public StateHost {
 public:
  explicit GameStateHost(Game& g) : game_(g) {}
  bool Playing() const override;
  void Report(WorldOutcome outcome) override;
  void Connect(TForm1* form) { form_ = form; }

 private:
  Game& game_;
  TForm1* form_ = nullptr;
};

// The level graphics set-up that BuildWorld asks for.
class GameLevelGraphicsHook : public LevelGraphicsHook {
 public:
  explicit GameLevelGraphicsHook(Game& g) : game_(g) {}
  void SetUpLevelGraphics() override;

 private:
  Game& game_;
};

// The few texts drawn with a "system font", drawn here with the game's own
// small bitmap font so that headless runs show them too.
class BitmapSystemText : public SystemText {
 public:
  explicit BitmapSystemText(Game& g) : game_(g) {}
  void TextOut(Bitmap& surface, int x, int y, std::string_view text, const SystemFont& font, uint16_t colour,
               bool opaque, uint16_t background) override;
  int TextWidth(std::string_view text, const SystemFont& font) override;
  int TextHeight(std::string_view text, const SystemFont& font) override;

 private:
  Game& game_;
};

class Game {
 public:
  Game(Platform& platform, const GameOptions& options);
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Platform& platform;
  GameOptions options;
  FrameState frame;
  GameValues values;
  std::unique_ptr<ScreenMemory> screenMemory;  // made by the screens on first use
  RandomGenerator random;

  // Presentation.
  ImageList images;
  Bitmap backSurface;   // the 640 x 480 frame being composed
  Bitmap scratch;       // off-screen scratch surface
  Bitmap panelSurface;  // side-panel work surface
  Bitmap workPicture, workPicture2;  // full-screen work pictures (pause, completion)
  TDXSpriteEngine sprites;
  PlayfieldSprites playfield;  // background, player figure, pointer (owned by the engine)
  FontSet fonts;
  LevelGraphics gfx;
  PanelState panel;
  PanelKeyLabels keyLabels;
  WidgetSet widgets;  // the menu widgets of the current screen
  // The level build's view of the records above.
  GraphicsContext Graphics() {
    return GraphicsContext{images, gfx, playfield, world, fonts, panel, panelSurface, keyLabels};
  }

  // Data.
  StartUpValues startUp;
  GameFolders folders;
  std::unique_ptr<Archive> archive;
  GraphicsSet graphicsSet;
  Scenario scenario;
  ScenarioList scenarios;
  ProfileState profile;
  // The help texts "helppage1.txt".."helppage5.txt" and the credits text
  // "kvelauthor.txt", one string per line, read from the archive at start-up.
  std::array<std::vector<std::string>, 5> helpPages;
  std::vector<std::string> creditsText;
  RandomGenerator profileKeys;  // fresh file keys, apart from the game's own chance

  // World, sound and controls.
  World world{platform.clock, random, sound_, stateHost_};
  AudioState audio;
  InputState input;
  TransportIris iris;
  std::unique_ptr<DemoPlayback> demo;       // the demo being played
  std::unique_ptr<DemoRecorder> recorder;   // --record-demo
  std::unique_ptr<SavedGame> continuing;    // a saved game being continued
  std::unique_ptr<std::ofstream> worldTrace;  // --trace-world
  GameLevelGraphicsHook levelGraphicsHook{*this};
  BitmapSystemText bitmapText{*this};
  RasterSystemText systemText{platform.textRaster, bitmapText};  // TrueType when the platform has it

  uint32_t Now() { return platform.clock.TickCount(); }
  // Sound effects as the world and the widgets play them.
  SoundSink& Sound() { return sound_; }
  // The form whose state machine takes the world's outcomes (null: none).
  void ConnectForm(TForm1* form) { stateHost_.Connect(form); }

 private:
  GameChipMap chips_;
  GameSoundSink sound_;
  GameStateHost stateHost_{*this};
  ScenarioLevelStore store_;
};

}  // namespace gravik
