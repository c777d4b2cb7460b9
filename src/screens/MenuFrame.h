// What every menu and information screen does around its own content: the
// entry (widgets anew, playfield hidden, pointer at the mouse), the frame
// (black surface, widgets drawn, the pointer sprite unless the mouse is outside
// the window) and the mouse (the widgets' press, release and wheel effects).
#pragma once
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
