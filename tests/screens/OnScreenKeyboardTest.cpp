// The name entry's on-screen keyboard: the highlight's moves and wrapping,
// held directions, and what pressing keys does to the name.
#include <gtest/gtest.h>

#include "screens/OnScreenKeyboard.h"

namespace gravik {
namespace {

using Kind = OnScreenKeyboard::KeyKind;
using Outcome = OnScreenKeyboard::Outcome;

TEST(OnScreenKeyboard, MovesWrapAndCrossTheWideKeys) {
  OnScreenKeyboard k;
  EXPECT_EQ(k.Highlighted().Char, 'A');
  k.Move(-1, 0);
  EXPECT_EQ(k.Highlighted().Char, 'M') << "left of the first key is the last of its row";
  k.Move(0, -1);
  EXPECT_EQ(k.Highlighted().Kind, Kind::Done) << "up from the top row is the bottom row";
  k.Move(1, 0);
  EXPECT_EQ(k.Highlighted().Kind, Kind::Case) << "right of Done wraps to the case key";
  k.Move(1, 0);
  EXPECT_EQ(k.Highlighted().Kind, Kind::Space) << "one step leaves a wide key";
  k.Move(0, -1);
  EXPECT_EQ(k.Highlighted().Char, '4') << "up from the space bar: the cell at its left end";
  k.Move(0, 1);
  k.Move(-1, 0);
  k.Move(-1, 0);
  EXPECT_EQ(k.Highlighted().Kind, Kind::Done) << "left of the case key wraps to Done";
  k.Move(0, 1);
  EXPECT_EQ(k.Highlighted().Char, 'K') << "down from the bottom row is the top row";
}

TEST(OnScreenKeyboard, AHeldDirectionRepeatsAfterAPause) {
  OnScreenKeyboard k;
  k.Steer(kJoyRight, 1000);
  EXPECT_EQ(k.Column(), 1) << "a push moves at once";
  k.Steer(kJoyRight, 1300);
  EXPECT_EQ(k.Column(), 1);
  k.Steer(kJoyRight, 1400);
  k.Steer(kJoyRight, 1520);
  EXPECT_EQ(k.Column(), 3);
  k.Steer(0, 1530);
  k.Steer(kJoyDown, 1540);
  EXPECT_EQ(k.Row(), 1);
  EXPECT_EQ(k.Column(), 3);
  // Held as the keyboard comes up: the highlight waits for the repeat.
  k.Hold(kJoyLeft, 2000);
  k.Steer(kJoyLeft, 2016);
  EXPECT_EQ(k.Column(), 3);
  k.Steer(kJoyLeft, 2400);
  EXPECT_EQ(k.Column(), 2);
}

TEST(OnScreenKeyboard, TypingFollowsTheNameEntrysRules) {
  OnScreenKeyboard k;
  TextEntryState t{true, "", 20, false, false};
  k.Move(0, -1);  // up from the top row: the case key
  k.Move(1, 0);
  EXPECT_EQ(k.Press(t), Outcome::None) << "a name does not begin with a blank";
  k.Move(0, 1);   // D
  k.Move(-1, 0);  // C
  k.Move(-1, 0);  // B
  EXPECT_EQ(k.Press(t), Outcome::Typed);
  EXPECT_FALSE(k.Capitals()) << "small letters after the first";
  EXPECT_EQ(k.Label(k.Highlighted()), "b");
  k.Press(t);
  EXPECT_EQ(t.Text, "Bb");
  EXPECT_EQ(k.Delete(t), Outcome::Typed);
  EXPECT_EQ(k.Delete(t), Outcome::Typed);
  EXPECT_EQ(k.Delete(t), Outcome::None) << "nothing left to delete";
  EXPECT_TRUE(k.Capitals()) << "an empty name starts with a capital again";

  for (int i = 0; i < 25; ++i) k.Press(t);
  EXPECT_EQ(t.Text, "Bbbbbbbbbbbbbbbbbbbb") << "at most 20 characters";
  k.Move(0, -1);  // the bottom row, under B: the case key
  EXPECT_EQ(k.Press(t), Outcome::None);
  EXPECT_TRUE(k.Capitals());
  k.Move(-1, 0);
  EXPECT_EQ(k.Highlighted().Kind, Kind::Done);
  EXPECT_EQ(k.Press(t), Outcome::Done);
  k.Move(-1, 0);
  EXPECT_EQ(k.Press(t), Outcome::Typed) << "the delete key";
  EXPECT_EQ(t.Text.size(), 19u);

  TextEntryState upper{true, "", 20, false, true};
  OnScreenKeyboard u;
  u.Press(upper);
  u.Press(upper);
  EXPECT_EQ(upper.Text, "AA") << "an upper-case entry stays upper case";
}

}  // namespace
}  // namespace gravik
