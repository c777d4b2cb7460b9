// The main menu, the exit confirmation and what other menu screens borrow from
// them: the dimmed backdrop of blocks with the title, and the footer with the
// player's name and the current scenario's totals.
#pragma once
#include <array>
#include <cstdint>

#include "frame/ScreenUnit.h"

namespace gravik {

class Game;

ScreenUnit MainMenuUnit();
ScreenUnit ConfirmExitUnit();
// "Start a new game?" while a saved game exists.
ScreenUnit ConfirmNewGameUnit();

// The backdrop's fixed layout: six rows of ten cells, one character a cell
// (the pound sign is the Windows-1252 byte 0xA3).
inline constexpr int kBackdropRows = 6;
inline constexpr int kBackdropColumns = 10;
extern const std::array<const char*, kBackdropRows> kBackdropLayout;

// The block code a backdrop character stands for; 0 for the empty cell.
uint8_t BackdropBlock(const Game& g, char cell);
// Builds the "backdrop" image entry (619 x 272) from the layout, dimmed to two
// thirds, replacing any entry of that name, and sets BackdropBuilt.
void BuildMenuBackdrop(Game& g);
// The backdrop at (10, 140) and the "Title" image at (20, 6).
void DrawMenuBackdrop(Game& g);
// "PROFILE:" with the player's name, and the five stretched block pictures
// with the current scenario's totals below them.
void DrawMenuFooter(Game& g);

// The footer's five totals in the order they are shown (DIAMOND, EARTH1,
// MONSTER1, TRANSPORT1, PUZZLE), from the profile's current scenario record.
std::array<int32_t, 5> FooterTotals(const Game& g);

}  // namespace gravik
