// The scenario editor (gsEditor): a level drawn with the game's block pictures,
// the palette of every block, painting with the mouse, the keys or the pad,
// transporter links, the scenario's levels, names, notes and puzzle, the
// faults of the game's tools as you go, saving into the Scenarios folder and
// trying the level (F5) or the scenario (Ctrl+F5) in the game itself.
#pragma once
#include "frame/ScreenUnit.h"

namespace gravik {

ScreenUnit EditorUnit();

// Layout, for tests that click.
inline constexpr int kEditorMapLeft = 0, kEditorMapTop = 20, kEditorMapWidth = 448, kEditorMapHeight = 408;
inline constexpr int kEditorPaletteLeft = 456, kEditorPaletteTop = 44, kEditorPalettePitch = 36;
inline constexpr int kEditorPaletteColumns = 5, kEditorPaletteRows = 9;

}  // namespace gravik
