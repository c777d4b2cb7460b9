// What the screens keep for themselves between frames, one record a screen.
#pragma once
#include <cstdint>
#include <string>

#include "frame/Game.h"
#include "screens/OnScreenKeyboard.h"

namespace gravik {

struct MainMenuMemory {
  // The backdrop picture is built once per run; a screen that replaces the
  // "backdrop" entry (the puzzle view) clears this flag.
  bool BackdropBuilt = false;
  // The music: the first showing of a run waits 1500 ms from MusicClock before
  // the title music starts, later showings start it at once.
  bool ShownBefore = false;
  bool FirstShowing = false;  // the menu on the screen is the run's first showing
  bool MusicDue = false;
  uint32_t MusicClock = 0;
  // "Continue" is offered; the line about the saved game below the items.
  bool HasContinue = false;
  std::string SaveLine;
};

struct HelpMemory {
  int Page = 1;                     // 1..4
  uint32_t CreditsScrollStart = 0;  // when the credits scroll of page 4 began
  // The dated credits screen's scroll position (pixels) and last frame tick.
  double EasterEggScroll = 0;
  uint32_t EasterEggTick = 0;
};

struct NameEntryMemory {
  bool FromProfiles = false;  // opened from the profiles screen
  // The player figure's walk and the logo: where and when the current stretch
  // began, and the logo's top.
  double WalkStartX = 0;
  uint32_t WalkStartTick = 0;
  int LogoTop = 0;
  // The on-screen keyboard, and whether it was on the screen last frame (the
  // pad's first touch only brings it up).
  OnScreenKeyboard Keyboard;
  bool KeyboardShown = false;
};

struct ProfilesMemory {
  int ToDelete = 0;  // the profile list entry chosen for deletion
};

struct CompletionMemory {
  // The completion picture's scroll: rows scrolled, and the tick it was last moved.
  double Scroll = 0;
  uint32_t ScrollTick = 0;
};

struct Screens : ScreenMemory {
  MainMenuMemory MainMenu;
  HelpMemory Help;
  NameEntryMemory NameEntry;
  ProfilesMemory Profiles;
  CompletionMemory Completion;
};

// The screens' records of this game, made on first use.
Screens& ScreensOf(Game& g);
// Read only: a game whose screens kept nothing yet reads the records' defaults.
const Screens& ScreensOf(const Game& g);

}  // namespace gravik
