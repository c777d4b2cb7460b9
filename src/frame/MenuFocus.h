// The keyboard and pad focus of the menu screens: arrows, Tab, Enter, Space and
// the pad's directions, A and B move and press the focused widget of the
// current screen (render/Widgets.h holds the focus itself).
#pragma once
#include "frame/ScreenUnit.h"

namespace gravik {

class Game;
class TForm1;

// The screen took the key being handled: the focus leaves it alone.
void TakeKey(Game& g);
// The key after the screen's handler (FormKeyDown calls it). True when the
// focus took it.
bool MenuFocusKeyDown(TForm1& form, const KeyEvent& key);
// Once a frame, before the screen's: fresh pad buttons and directions become
// the keys above (held ones repeat; what is held when a screen begins waits
// to be let go).
void PollMenuPad(TForm1& form);
// The focused button's index, 0 when the focus is not on a button.
int FocusedButton(Game& g);
// The focus on button n (a screen's default, or after a page turn).
void FocusButton(Game& g, int n);

}  // namespace gravik
