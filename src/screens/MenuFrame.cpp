#include "screens/MenuFrame.h"

#include <algorithm>
#include <cstdlib>

#include "audio/Audio.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Demo.h"
#include "frame/Keys.h"
#include "platform/KeyState.h"

namespace gravik {


void BeginMenuScreen(Game& g) {
  EnableFocus(g.widgets);
  ShowPlayfield(g, false);
  ShowMenuPointer(g);
}

WidgetContext MenuWidgetContext(Game& g) {
  const TPlayer* p = g.playfield.Pointer;
  WidgetContext ctx{g.backSurface, g.fonts, g.images, g.Sound(), p ? p->X : 0.0, p ? p->Y : 0.0, g.Now()};
  // Only a pointer that moves takes the focus: one resting where the last
  // screen left it does not steal the new screen's default.
  WidgetSet& w = g.widgets;
  ctx.PointerMoved = w.PointerSeen && (ctx.PointerX != w.PointerSeenX || ctx.PointerY != w.PointerSeenY);
  w.PointerSeen = true;
  w.PointerSeenX = ctx.PointerX;
  w.PointerSeenY = ctx.PointerY;
  return ctx;
}

void ClearMenuFrame(Game& g) { g.backSurface.Fill(0); }

void FinishMenuFrame(Game& g) {
  g.sprites.Advance(1);
  g.sprites.FlushDead();
  if (!g.frame.PointerOutside) g.sprites.Render();
}

void MenuMouse(TForm1& form, const InputEvent& ev) {
  Game& g = form.game();
  switch (ev.type) {
    case InputEventType::MouseDown:
      if (ev.button == 1 || ev.button == 0) WidgetMouseDown(g.widgets, g.Sound());
      break;
    case InputEventType::MouseUp:
      if (ev.button == 1 || ev.button == 0) WidgetMouseUp(g.widgets, g.Sound());
      break;
    case InputEventType::MouseWheel: WidgetMouseWheel(g.widgets, ev.wheel); break;
    default: break;
  }
}

bool IsConfirmKey(const KeyEvent& key) { return !key.repeat && (key.vk == vk::Return || key.vk == vk::Space); }

int TakeClickedButton(Game& g) {
  const int n = g.widgets.ClickedButton;
  g.widgets.ClickedButton = 0;
  return n;
}

void PressButton(Game& g, int n) {
  if (n < 1 || n > g.widgets.ButtonCount) return;
  const TButton& b = g.widgets.Buttons[size_t(n)];
  if (b.State != 1) return;
  g.widgets.ClickedButton = n;
  PlaySound(g.audio, "click1.wav");
}

}  // namespace gravik
