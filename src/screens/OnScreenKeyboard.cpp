#include "screens/OnScreenKeyboard.h"

#include <array>

#include "base/Text.h"
#include "base/Types.h"

namespace gravik {

namespace {

using Key = OnScreenKeyboard::Key;
using Kind = OnScreenKeyboard::KeyKind;

constexpr const char* kCharacterRows[3] = {"ABCDEFGHIJKLM", "NOPQRSTUVWXYZ", "1234567890-.!"};

// Every cell's key: the three rows of characters, then the case key, the
// space bar, delete and done, three or four cells wide.
const std::array<std::array<Key, OnScreenKeyboard::kColumns>, OnScreenKeyboard::kRows>& Grid() {
  static const auto grid = [] {
    std::array<std::array<Key, OnScreenKeyboard::kColumns>, OnScreenKeyboard::kRows> g{};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < OnScreenKeyboard::kColumns; ++c) g[size_t(r)][size_t(c)] = Key{Kind::Character, kCharacterRows[r][c], c, 1};
    const Key wide[] = {{Kind::Case, 0, 0, 3}, {Kind::Space, ' ', 3, 4}, {Kind::Delete, 0, 7, 3}, {Kind::Done, 0, 10, 3}};
    for (const Key& k : wide)
      for (int c = k.Column; c < k.Column + k.Span; ++c) g[3][size_t(c)] = k;
    return g;
  }();
  return grid;
}

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

int Wrap(int v, int n) { return ((v % n) + n) % n; }

constexpr uint32_t kRepeatDelayMs = 400;
constexpr uint32_t kRepeatEveryMs = 120;

}  // namespace

void OnScreenKeyboard::Reset() { *this = OnScreenKeyboard(); }

const Key& OnScreenKeyboard::KeyAt(int row, int column) {
  return Grid()[size_t(Wrap(row, kRows))][size_t(Wrap(column, kColumns))];
}

std::string OnScreenKeyboard::Label(const Key& key) const {
  switch (key.Kind) {
    case Kind::Character:
      return std::string(1, IsLetter(key.Char) && !capitals_ ? char(key.Char - 'A' + 'a') : key.Char);
    case Kind::Case: return capitals_ ? "abc" : "ABC";
    case Kind::Space: return "Space";
    case Kind::Delete: return "Delete";
    case Kind::Done: return "Done";
  }
  return "";
}

void OnScreenKeyboard::Move(int dx, int dy) {
  if (dx > 0) {
    const Key& k = Highlighted();
    column_ = Wrap(k.Column + k.Span, kColumns);
  } else if (dx < 0) {
    column_ = KeyAt(row_, Highlighted().Column - 1).Column;
  }
  if (dy != 0) row_ = Wrap(row_ + (dy > 0 ? 1 : -1), kRows);
}

void OnScreenKeyboard::Steer(uint8_t direction, uint32_t now) {
  if (direction != held_) {
    Hold(direction, now);
  } else if (direction == 0 || int32_t(now - nextRepeat_) < 0) {
    return;
  } else {
    nextRepeat_ = now + kRepeatEveryMs;
  }
  if (direction == 0) return;
  const int dx = (direction & kJoyRight ? 1 : 0) - (direction & kJoyLeft ? 1 : 0);
  const int dy = (direction & kJoyDown ? 1 : 0) - (direction & kJoyUp ? 1 : 0);
  Move(dx, dy);
}

void OnScreenKeyboard::Hold(uint8_t direction, uint32_t now) {
  held_ = direction;
  nextRepeat_ = now + kRepeatDelayMs;
}

void OnScreenKeyboard::Type(TextEntryState& text, char c) {
  const bool first = Trim(text.Text).empty();
  const bool letter = IsLetter(c);
  if (letter && !capitals_) c = char(c - 'A' + 'a');
  if (TextEntryKeyPress(text, c) && letter && first) capitals_ = false;
}

OnScreenKeyboard::Outcome OnScreenKeyboard::Press(TextEntryState& text) {
  const Key& k = Highlighted();
  const std::string before = text.Text;
  switch (k.Kind) {
    case Kind::Character:
    case Kind::Space: Type(text, k.Char); break;
    case Kind::Case: capitals_ = !capitals_; break;
    case Kind::Delete: return Delete(text);
    case Kind::Done: return Outcome::Done;
  }
  return text.Text != before ? Outcome::Typed : Outcome::None;
}

OnScreenKeyboard::Outcome OnScreenKeyboard::Delete(TextEntryState& text) {
  if (!TextEntryKeyPress(text, 8)) return Outcome::None;
  if (text.Text.empty()) capitals_ = true;
  return Outcome::Typed;
}

void DrawOnScreenKeyboard(const OnScreenKeyboard& k, FontSet& fonts, Bitmap& surface, int top) {
  const int left = (640 - OnScreenKeyboard::kColumns * kKeyPitchX) / 2;
  const uint16_t rim = Rgb565(96, 96, 150);
  const uint16_t lit = Rgb565(200, 90, 0);
  const Key& chosen = k.Highlighted();
  for (int r = 0; r < OnScreenKeyboard::kRows; ++r) {
    for (int c = 0; c < OnScreenKeyboard::kColumns; ++c) {
      const Key& key = OnScreenKeyboard::KeyAt(r, c);
      if (key.Column != c) continue;  // a wide key is drawn from its first cell
      const bool highlighted = r == k.Row() && key.Column == chosen.Column;
      const TRect box{left + c * kKeyPitchX, top + r * kKeyPitchY, left + (c + key.Span) * kKeyPitchX - 4,
                      top + r * kKeyPitchY + kKeyPitchY - 3};
      if (highlighted) {
        surface.FillRect(box, lit);
        const uint16_t rimLit = Rgb565(255, 220, 0);
        surface.FrameRect(TRect{box.Left - 1, box.Top - 1, box.Right + 1, box.Bottom + 1}, rimLit);
        surface.FrameRect(TRect{box.Left - 2, box.Top - 2, box.Right + 2, box.Bottom + 2}, rimLit);
      } else {
        surface.FrameRect(box, rim);
      }
      const std::string label = k.Label(key);
      SelectFont(fonts, kFaceEras14, 2);
      const int x = (box.Left + box.Right - TextWidth(fonts, label)) / 2;
      DrawTextKeyed(fonts, surface, x, box.Top + 1, label);
    }
  }
}

}  // namespace gravik
