// What every menu and information screen does around its own content: the
// entry (widgets anew with the focus on, playfield hidden, pointer at the
// mouse), the frame (black surface, widgets drawn, the pointer sprite unless
// the mouse is outside the window), the mouse (the widgets' press, release and
// wheel effects) and the keys and pad that move and press the focus.
//
// Keys: a screen's own key handler runs first; a key it did not take (it
// changed nothing and did not call TakeKey) then goes to the focus: arrows,
// Tab and Shift+Tab move it, Enter and Space press the focused widget as a
// click does, and a focused slider or list takes the arrows (and the list
// PageUp, PageDown, Home and End). The pad in a menu is those keys: the d-pad
// or the left stick the arrows, A Enter and B Escape, so each screen's way
// back is its Escape.
#pragma once
#include "frame/MenuFocus.h"
#include "frame/ScreenUnit.h"
#include "render/Widgets.h"

namespace gravik {

class Game;
class TForm1;

// Entry: the widget tables are empty (the state change cleared them), the
// background and player sprites hidden, the pointer shown at the mouse.
void BeginMenuScreen(Game& g);
// The widgets' view of this frame: back surface, fonts, images, sound, pointer.
WidgetContext MenuWidgetContext(Game& g);
// Start of a frame: the back surface cleared.
void ClearMenuFrame(Game& g);
// End of a frame: the sprite engine advances and draws (the pointer), unless
// the mouse is outside the window.
void FinishMenuFrame(Game& g);
// The mouse handler of every menu screen: press, release and wheel.
void MenuMouse(TForm1& form, const InputEvent& ev);
// The button pressed since the last frame (0 when none), cleared as it is read.
int TakeClickedButton(Game& g);
// A fresh press of a confirming key (Enter or Space, not auto-repeat).
bool IsConfirmKey(const KeyEvent& key);
// A key pressing button n (the key table's "press button n"): the same as a
// click, with "click1.wav".
void PressButton(Game& g, int n);

}  // namespace gravik
