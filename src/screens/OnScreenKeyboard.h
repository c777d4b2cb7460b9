// The on-screen keyboard of the name entry, for a player with a pad and no
// keyboard: a grid of keys with one highlighted, moved by the d-pad or stick
// (wrapping at the edges); pressing a key types through the text entry, so
// names keep the entry's own rules (length, allowed characters).
#pragma once
#include <cstdint>
#include <string>

#include "gfx/Bitmap.h"
#include "gfx/Fonts.h"
#include "input/Input.h"

namespace gravik {

class OnScreenKeyboard {
 public:
  static constexpr int kColumns = 13;
  static constexpr int kRows = 4;

  enum class KeyKind : uint8_t { Character, Case, Space, Delete, Done };
  struct Key {
    KeyKind Kind = KeyKind::Character;
    char Char = 0;  // the character typed (upper case for letters)
    int Column = 0, Span = 1;
  };
  enum class Outcome : uint8_t { None, Typed, Done };

  // Highlight on the first key, capitals on.
  void Reset();

  int Row() const { return row_; }
  int Column() const { return column_; }
  // The key covering (row, column); the highlighted one.
  static const Key& KeyAt(int row, int column);
  const Key& Highlighted() const { return KeyAt(row_, column_); }
  // Letters are shown and typed as capitals.
  bool Capitals() const { return capitals_; }
  // What a key shows: its character (in the current case) or its name.
  std::string Label(const Key& key) const;

  // One step, wrapping round at the edges; a wide key is left in one step.
  void Move(int dx, int dy);
  // The pad's direction (kJoy* bits) this frame: a push moves at once, a
  // direction held moves again after a pause and then steadily.
  void Steer(uint8_t direction, uint32_t now);
  // The direction held as the keyboard comes up: no move until it repeats.
  void Hold(uint8_t direction, uint32_t now);

  // The highlighted key pressed (the pad's A). The case key switches the
  // letters; Done asks the screen to finish (which it does only for a name
  // it accepts). Capitals are on for a name's first letter and off after it.
  Outcome Press(TextEntryState& text);
  // The last character removed (the pad's B).
  Outcome Delete(TextEntryState& text);

 private:
  void Type(TextEntryState& text, char c);

  int row_ = 0, column_ = 0;
  bool capitals_ = true;
  uint8_t held_ = 0;  // the direction held
  uint32_t nextRepeat_ = 0;
};

// Where the keyboard is drawn: its top and the pitch of its cells.
inline constexpr int kKeyboardTop = 362;
inline constexpr int kKeyPitchX = 44, kKeyPitchY = 27;

// Draws the grid, its top at `top`, centred on the screen: each key a frame
// with its label, the highlighted key filled.
void DrawOnScreenKeyboard(const OnScreenKeyboard& k, FontSet& fonts, Bitmap& surface, int top = kKeyboardTop);

}  // namespace gravik
