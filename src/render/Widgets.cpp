#include "render/Widgets.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "base/Errors.h"
#include "sprite/Sprite.h"

namespace gravik {

namespace {

constexpr const char* kFaceEras12 = "eras12boldV.bmp";
constexpr const char* kFaceList = "lucida12F.bmp";
constexpr const char* kFaceListSelected = "lucida12F-orange.bmp";

constexpr int kCheckboxSide = 20;
constexpr int kListRowHeight = 18;
constexpr int kArrowSide = 20;
constexpr char kOwnItemMark = '\x01';

std::string Cut(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

// 1-based position of the accelerator in `text` (letter case ignored), 0 when absent.
int AcceleratorPosition(std::string_view text, char accelerator) {
  if (accelerator == 0) return 0;
  const int a = std::toupper(static_cast<unsigned char>(accelerator));
  for (size_t i = 0; i < text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) == a) return int(i) + 1;
  return 0;
}

// Inclusive box test against the pointer.
bool Inside(const WidgetContext& ctx, double left, double top, double right, double bottom) {
  return ctx.PointerX >= left && ctx.PointerX <= right && ctx.PointerY >= top && ctx.PointerY <= bottom;
}

// One frame of a widget's glow; returns whether it is hovered.
bool UpdateGlow(double& glow, bool hovered, SoundSink& sound) {
  if (hovered) {
    if (glow != kGlowHovered) sound.PlaySound(kHoverSound);
    glow = kGlowHovered;
    return true;
  }
  glow += kGlowStep;
  if (glow > kGlowRest) glow = kGlowRest;
  return false;
}

bool AtRest(double glow) { return glow == kGlowRest; }

// Recolours an image for its glow: green := trunc(2 r / glow) where red is set.
void GlowRecolour(Bitmap& work, double glow) {
  for (int y = 0; y < work.Height(); ++y) {
    uint16_t* row = work.Row(y);
    for (int x = 0; x < work.Width(); ++x) {
      const uint16_t p = row[x];
      const int r = (p >> 11) & 31;
      if (r == 0) continue;
      const int g = std::clamp(int(2.0 * r / glow), 0, 63);
      row[x] = uint16_t((p & 0xF81F) | (g << 5));
    }
  }
}

int FirstMax(const TListBox& list) { return std::max(1, int(list.Items.size()) - list.Rows + 1); }

// The focus after the pointer moved this frame: a widget under it takes it.
void FollowPointer(WidgetSet& w, const WidgetContext& ctx, WidgetRef under) {
  if (w.FocusOn && ctx.PointerMoved && under.Kind != WidgetKind::None) w.Focus = under;
}

// Lit as hovered: with focus on, the focused widget; else the one under the pointer.
bool Lit(WidgetSet& w, WidgetRef ref, bool under) { return w.FocusOn ? IsFocused(w, ref) : under; }

struct Box {
  double Left, Top, Right, Bottom;
  double CentreX() const { return (Left + Right) / 2; }
  double CentreY() const { return (Top + Bottom) / 2; }
};

// Where a widget is, for the reading order and the arrows. A check box counts
// with its label, which is drawn to its right.
Box BoxOf(const WidgetSet& w, WidgetRef r) {
  const size_t i = size_t(r.Index);
  switch (r.Kind) {
    case WidgetKind::Button: {
      const TButton& b = w.Buttons[i];
      return {double(b.X), double(b.Y), double(b.X) + b.Width, double(b.Y) + b.Height};
    }
    case WidgetKind::ImageButton: {
      const TImageButton& b = w.ImageButtons[i];
      return {double(b.X), double(b.Y), double(b.X) + b.Width, double(b.Y) + b.Height};
    }
    case WidgetKind::OptionItem: {
      const TOptionItem& o = w.OptionItems[i];
      return {double(o.X), double(o.Y), double(o.X) + std::max(20, int(o.LabelWidth)),
              double(o.Y) + std::max(16, int(o.LabelHeight))};
    }
    case WidgetKind::Checkbox: {
      const TCheckbox& c = w.Checkboxes[i];
      const int width = std::max(kCheckboxSide, 35 + 9 * int(c.Label.size()));
      return {double(c.X), double(c.Y), double(c.X) + width, double(c.Y) + kCheckboxSide};
    }
    case WidgetKind::Slider: {
      const TSlider& s = w.Sliders[i];
      return {double(s.X), double(s.Y) - 4, double(s.X) + 10.0 * s.Steps, double(s.Y) + 14};
    }
    case WidgetKind::List:
      return {double(w.List.Left), double(w.List.Top), double(w.List.Left) + ListWidth(w.List),
              double(w.List.Top) + ListHeight(w.List)};
    default: return {0, 0, 0, 0};
  }
}

// Shown on the screen (a disabled widget is shown).
bool Shown(const WidgetSet& w, WidgetRef r) {
  const int i = r.Index;
  switch (r.Kind) {
    case WidgetKind::Button: return i >= 1 && i <= w.ButtonCount && w.Buttons[size_t(i)].State != kWidgetHidden;
    case WidgetKind::ImageButton:
      return i >= 1 && i <= w.ImageButtonCount && w.ImageButtons[size_t(i)].State != kWidgetHidden;
    case WidgetKind::OptionItem:
      return i >= 1 && i <= w.OptionItemCount && w.OptionItems[size_t(i)].State != kWidgetHidden;
    case WidgetKind::Checkbox: return i >= 1 && i <= w.CheckboxCount;
    case WidgetKind::Slider: return i >= 1 && i <= w.SliderCount && w.Sliders[size_t(i)].State < 2;
    case WidgetKind::List: return w.List.Visible;
    default: return false;
  }
}

void PressSound(SoundSink& sound) { sound.PlaySound(kClickSound); }

// The nearest focusable widget from the focused one in direction `nav`: the
// distance that way between centres, with a heavy price on every pixel the
// boxes miss each other across it and a light one on the centres' offset.
WidgetRef NearestInDirection(const WidgetSet& w, WidgetRef from, WidgetNav nav) {
  const Box a = BoxOf(w, from);
  const bool vertical = nav == WidgetNav::Up || nav == WidgetNav::Down;
  const double sign = nav == WidgetNav::Down || nav == WidgetNav::Right ? 1 : -1;
  WidgetRef best;
  double bestScore = 0;
  for (const WidgetRef r : ReadingOrder(w)) {
    if (r == from) continue;
    const Box b = BoxOf(w, r);
    const double along = sign * (vertical ? b.CentreY() - a.CentreY() : b.CentreX() - a.CentreX());
    if (along <= 2) continue;
    const double gap = vertical ? std::max({0.0, b.Left - a.Right, a.Left - b.Right})
                                : std::max({0.0, b.Top - a.Bottom, a.Top - b.Bottom});
    const double offset = vertical ? std::abs(b.CentreX() - a.CentreX()) : std::abs(b.CentreY() - a.CentreY());
    const double score = along + 4 * gap + offset / 4;
    if (best.Kind == WidgetKind::None || score < bestScore) {
      best = r;
      bestScore = score;
    }
  }
  return best;
}

bool StepFocus(WidgetSet& w, int delta) {
  const std::vector<WidgetRef> order = ReadingOrder(w);
  if (order.empty()) return false;
  const WidgetRef cur = FocusedWidget(w);
  const auto at = std::find(order.begin(), order.end(), cur);
  int n = int(order.size());
  int i = at == order.end() ? (delta > 0 ? -1 : n) : int(at - order.begin());
  i = ((i + delta) % n + n) % n;
  w.Focus = order[size_t(i)];
  return true;
}

bool MoveListSelection(TListBox& list, WidgetNav nav) {
  const int count = int(list.Items.size());
  if (count == 0) return false;
  const int sel = list.Selected;
  switch (nav) {
    case WidgetNav::Up: SelectListRow(list, sel <= 1 ? 1 : sel - 1); break;
    case WidgetNav::Down: SelectListRow(list, sel + 1); break;
    case WidgetNav::PageUp: SelectListRow(list, sel - list.Rows); break;
    case WidgetNav::PageDown: SelectListRow(list, sel + list.Rows); break;
    case WidgetNav::Home: SelectListRow(list, 1); break;
    case WidgetNav::End: SelectListRow(list, count); break;
    default: return false;
  }
  return true;
}

bool PressFocused(WidgetSet& w, WidgetRef f, SoundSink& sound) {
  const size_t i = size_t(f.Index);
  switch (f.Kind) {
    case WidgetKind::Button:
      if (w.Buttons[i].State != kWidgetEnabled) return false;
      w.ClickedButton = f.Index;
      break;
    case WidgetKind::ImageButton:
      if (w.ImageButtons[i].State != kWidgetEnabled) return false;
      w.ClickedImageButton = f.Index;
      break;
    case WidgetKind::OptionItem:
      if (w.OptionItems[i].State != kWidgetEnabled) return false;
      w.EditedOption = f.Index;
      break;
    case WidgetKind::Checkbox: w.Checkboxes[i].Checked = w.Checkboxes[i].Checked ? 0 : 1; break;
    default: return false;
  }
  PressSound(sound);
  return true;
}

}  // namespace

void ResetWidgets(WidgetSet& w) { w = WidgetSet{}; }

// ---------------------------------------------------------------- adding

int AddButton(WidgetSet& w, SystemText& text, int x, int y, std::string_view caption, char accelerator) {
  if (w.ButtonCount >= kMaxButtons) return 0;
  const int i = ++w.ButtonCount;
  TButton& b = w.Buttons[size_t(i)];
  b = TButton{};
  b.Kind = kPlainButton;
  b.State = kWidgetEnabled;
  b.Caption = Cut(caption, kCaptionLength);
  b.Accelerator = accelerator;
  b.AcceleratorPos = AcceleratorPosition(b.Caption, accelerator);
  b.X = x;
  b.Y = y;
  b.Width = text.TextWidth(b.Caption, kButtonFont);
  b.Height = text.TextHeight(b.Caption, kButtonFont);
  return i;
}

int AddCentredButton(WidgetSet& w, SystemText& text, int y, std::string_view caption, char accelerator) {
  const int i = AddButton(w, text, 0, y, caption, accelerator);
  if (i) w.Buttons[size_t(i)].X = 320 - w.Buttons[size_t(i)].Width / 2;
  return i;
}

int AddValueButton(WidgetSet& w, SystemText& text, int x, int y, std::string_view caption, int valueOffset,
                   std::string_view valueText, char accelerator) {
  const int i = AddButton(w, text, x, y, caption, accelerator);
  if (!i) return 0;
  TButton& b = w.Buttons[size_t(i)];
  b.Kind = kValueButton;
  b.ValueOffset = valueOffset;
  b.ValueText = Cut(valueText, kCaptionLength);
  return i;
}

int AddImageButton(WidgetSet& w, const ImageList& images, int x, int y, std::string_view imageName,
                   char accelerator) {
  if (w.ImageButtonCount >= kMaxImageButtons) return 0;
  const std::string name = Cut(imageName, kImageNameLength);
  const ImageEntry& e = images.FindImage(name);
  const int i = ++w.ImageButtonCount;
  TImageButton& b = w.ImageButtons[size_t(i)];
  b = TImageButton{};
  b.ImageName = name;
  b.Accelerator = accelerator;
  b.AcceleratorPos = AcceleratorPosition(name, accelerator);
  b.X = x;
  b.Y = y;
  b.Width = ImageWidth(e);
  b.Height = ImageHeight(e);
  return i;
}

int AddOptionItem(WidgetSet& w, SystemText& text, int x, int y, std::string_view label) {
  if (w.OptionItemCount >= kMaxOptionItems) return 0;
  const int i = ++w.OptionItemCount;
  TOptionItem& o = w.OptionItems[size_t(i)];
  o = TOptionItem{};
  o.Label = Cut(label, kCaptionLength);
  o.X = x;
  o.Y = y;
  o.LabelWidth = text.TextWidth(o.Label, kOptionLabelFont);
  o.LabelHeight = text.TextHeight(o.Label, kOptionLabelFont);
  return i;
}

int AddCheckbox(WidgetSet& w, int x, int y, std::string_view label) {
  if (w.CheckboxCount >= kMaxCheckboxes) return 0;
  const int i = ++w.CheckboxCount;
  TCheckbox& c = w.Checkboxes[size_t(i)];
  c = TCheckbox{};
  c.X = x;
  c.Y = y;
  c.Label = Cut(label, kCaptionLength);
  return i;
}

int AddSlider(WidgetSet& w, int x, int y, int steps, int value) {
  if (w.SliderCount >= kMaxSliders) throw FatalMessage("Too many sliders");
  const int i = ++w.SliderCount;
  TSlider& s = w.Sliders[size_t(i)];
  s = TSlider{};
  s.X = x;
  s.Y = y;
  s.Steps = std::max(1, steps);
  s.Value = std::clamp(value, 1, s.Steps);
  return i;
}

// ---------------------------------------------------------------- drawing

void DrawButtons(WidgetSet& w, WidgetContext& ctx) {
  w.HoveredButton = 0;
  for (int i = 1; i <= w.ButtonCount; ++i) {
    const TButton& b = w.Buttons[size_t(i)];
    if (b.State == kWidgetEnabled && w.HoveredKnob == 0 &&
        Inside(ctx, b.X, b.Y, double(b.X) + b.Width, double(b.Y) + b.Height))
      w.HoveredButton = i;
  }
  FollowPointer(w, ctx, w.HoveredButton ? WidgetRef{WidgetKind::Button, w.HoveredButton} : WidgetRef{});
  for (int i = 1; i <= w.ButtonCount; ++i) {
    TButton& b = w.Buttons[size_t(i)];
    if (b.State == kWidgetHidden) continue;
    const bool disabled = b.State == kWidgetDisabled;
    UpdateGlow(b.Glow, !disabled && Lit(w, {WidgetKind::Button, i}, w.HoveredButton == i), ctx.Sound);

    SelectFont(ctx.Fonts, kFaceEras16, disabled ? 6 : 4);
    // A disabled button shows its plain caption even while a glow still fades.
    if (disabled || AtRest(b.Glow))
      DrawTextKeyed(ctx.Fonts, ctx.Surface, b.X, b.Y, b.Caption);
    else
      DrawGlowText(ctx.Fonts, ctx.Surface, b.X, b.Y, b.Caption, GlowKind::Caption, b.Glow);

    if (!b.ValueText.empty()) {
      SelectFont(ctx.Fonts, kFaceEras12, 2);
      DrawText(ctx.Fonts, ctx.Surface, b.X + b.ValueOffset, b.Y + 7, b.ValueText);
    }
  }
}

void DrawImageButtons(WidgetSet& w, WidgetContext& ctx) {
  w.HoveredImageButton = 0;
  for (int i = 1; i <= w.ImageButtonCount; ++i) {
    const TImageButton& b = w.ImageButtons[size_t(i)];
    if (b.State == kWidgetEnabled && Inside(ctx, b.X, b.Y, double(b.X) + b.Width, double(b.Y) + b.Height))
      w.HoveredImageButton = i;
  }
  FollowPointer(w, ctx,
                w.HoveredImageButton ? WidgetRef{WidgetKind::ImageButton, w.HoveredImageButton} : WidgetRef{});
  for (int i = 1; i <= w.ImageButtonCount; ++i) {
    TImageButton& b = w.ImageButtons[size_t(i)];
    if (b.State == kWidgetHidden) continue;
    UpdateGlow(b.Glow,
               b.State == kWidgetEnabled && Lit(w, {WidgetKind::ImageButton, i}, w.HoveredImageButton == i),
               ctx.Sound);

    const ImageEntry* e = ctx.Images.TryFindImage(b.ImageName);
    if (!e || e->Picture.Empty()) continue;
    Bitmap& work = ctx.Fonts.GlowWork;
    work = Crop(e->Picture, Bounds(0, 0, ImageWidth(*e), ImageHeight(*e)));
    if (work.Empty()) continue;
    GlowRecolour(work, b.Glow);
    ctx.Fonts.GlowWorkTransparent = true;
    Draw(ctx.Surface, b.X, b.Y, work, true, work.Pixel(0, work.Height() - 1));
  }
}

void DrawOptionItems(WidgetSet& w, WidgetContext& ctx) {
  w.HoveredOptionItem = 0;
  for (int i = 1; i <= w.OptionItemCount; ++i) {
    const TOptionItem& o = w.OptionItems[size_t(i)];
    if (o.State == kWidgetEnabled && w.HoveredKnob == 0 &&
        Inside(ctx, o.X, o.Y, double(o.X) + o.LabelWidth, double(o.Y) + o.LabelHeight))
      w.HoveredOptionItem = i;
  }
  FollowPointer(w, ctx, w.HoveredOptionItem ? WidgetRef{WidgetKind::OptionItem, w.HoveredOptionItem} : WidgetRef{});
  for (int i = 1; i <= w.OptionItemCount; ++i) {
    TOptionItem& o = w.OptionItems[size_t(i)];
    if (o.State == kWidgetHidden) continue;
    const bool disabled = o.State == kWidgetDisabled;

    // The label ends 10 pixels left of the value, in the font it is drawn in
    // (the system font's width sizes the hover box; ours differ in width).
    SelectFont(ctx.Fonts, kFaceEras14, 2);
    DrawText(ctx.Fonts, ctx.Surface, o.X - TextWidth(ctx.Fonts, o.Label) - 10, o.Y, o.Label);

    UpdateGlow(o.Glow, !disabled && Lit(w, {WidgetKind::OptionItem, i}, w.HoveredOptionItem == i), ctx.Sound);

    // The item being edited blinks: hidden for 500 ms, shown for 500 ms.
    if (w.EditedOption == i && ctx.Tick % 1000 < 500) continue;
    SelectFont(ctx.Fonts, kFaceEras14, 4);
    if (disabled || AtRest(o.Glow))
      DrawText(ctx.Fonts, ctx.Surface, o.X, o.Y, o.Value);
    else
      DrawGlowText(ctx.Fonts, ctx.Surface, o.X, o.Y, o.Value, GlowKind::Value, o.Glow);
  }
}

void DrawCheckboxes(WidgetSet& w, WidgetContext& ctx) {
  w.HoveredCheckbox = 0;
  for (int i = 1; i <= w.CheckboxCount; ++i) {
    const TCheckbox& c = w.Checkboxes[size_t(i)];
    if (Inside(ctx, c.X, c.Y, c.X + kCheckboxSide, c.Y + kCheckboxSide)) w.HoveredCheckbox = i;
  }
  FollowPointer(w, ctx, w.HoveredCheckbox ? WidgetRef{WidgetKind::Checkbox, w.HoveredCheckbox} : WidgetRef{});
  for (int i = 1; i <= w.CheckboxCount; ++i) {
    TCheckbox& c = w.Checkboxes[size_t(i)];
    if (Lit(w, {WidgetKind::Checkbox, i}, w.HoveredCheckbox == i)) {
      if (c.Brightness < 255) ctx.Sound.PlaySound(kHoverSound);
      c.Brightness = 255;
    } else {
      c.Brightness = std::max(128, c.Brightness - 3);
    }
    const uint8_t b = uint8_t(std::clamp(c.Brightness, 0, 255));
    const uint16_t pen = b > 199 ? Rgb565(b, b, 0) : Rgb565(b, b, 128);
    ctx.Surface.FrameRect(Bounds(c.X, c.Y, kCheckboxSide, kCheckboxSide), pen);
    ctx.Surface.FrameRect(Bounds(c.X + 1, c.Y + 1, kCheckboxSide - 2, kCheckboxSide - 2), pen);

    SelectFont(ctx.Fonts, kFaceEras16, 2);
    DrawText(ctx.Fonts, ctx.Surface, c.X + 35, c.Y - 4, c.Label);
    if (c.Checked)
      if (const ImageEntry* e = ctx.Images.TryFindImage("Checkbox")) DrawPattern(*e, ctx.Surface, c.X + 2, c.Y + 2, 0);
  }
}

void DrawSliders(WidgetSet& w, WidgetContext& ctx) {
  w.HoveredKnob = 0;
  WidgetRef track;  // the track under the pointer
  for (int i = 1; i <= w.SliderCount; ++i) {
    const TSlider& s = w.Sliders[size_t(i)];
    if (s.State < 2 && Inside(ctx, s.X, s.Y, s.X + 10 * s.Steps, s.Y + 14)) track = {WidgetKind::Slider, i};
  }
  FollowPointer(w, ctx, track);
  for (int i = 1; i <= w.SliderCount; ++i) {
    TSlider& s = w.Sliders[size_t(i)];
    if (s.State >= 2) continue;
    const int right = s.X + 10 * s.Steps;
    ctx.Surface.FrameRect(TRect{s.X, s.Y, right, s.Y + 10}, Rgb565(128, 128, 128));
    s.Hovered = Inside(ctx, s.X, s.Y, right, s.Y + 14);

    if (w.DraggedSlider == i) {
      s.Brightness = 255;
      if (s.Hovered) {
        const long v = (std::lround(ctx.PointerX) - s.X) / 10 + 1;
        if (v >= 1 && v <= s.Steps) s.Value = int32_t(v);
      }
    }

    const int k = s.X + 10 * s.Value;
    const bool knob = w.DraggedSlider == 0 && Inside(ctx, k - 14, s.Y, k, s.Y + 14);
    if (knob) w.HoveredKnob = i;
    if (Lit(w, {WidgetKind::Slider, i}, knob)) {
      if (s.Brightness < 255) ctx.Sound.PlaySound(kHoverSound);
      s.Brightness = 255;
    } else {
      s.Brightness = std::max(128, s.Brightness - 3);
    }
    const uint8_t b = uint8_t(std::clamp(s.Brightness, 0, 255));
    ctx.Surface.FillRect(TRect{k - 10, s.Y - 4, k, s.Y + 14}, Rgb565(255, b, 0));
    ctx.Surface.FrameRect(TRect{k - 6, s.Y, k - 4, s.Y + 10}, 0);
  }
}

int ListWidth(const TListBox& list) { return list.SmallFont ? 10 * list.Columns + 12 : 14 * list.Columns; }
int ListHeight(const TListBox& list) { return kListRowHeight * list.Rows + 8; }

void ScrollList(TListBox& list, int delta) { list.First = std::clamp(list.First + delta, 1, FirstMax(list)); }

void DrawList(WidgetSet& w, WidgetContext& ctx) {
  TListBox& list = w.List;
  list.Visible = true;
  list.HoveredRow = 0;
  // The items may have changed since the last frame (a profile deleted).
  list.First = std::clamp(list.First, 1, FirstMax(list));
  const int width = ListWidth(list), height = ListHeight(list);
  const int count = int(list.Items.size());
  ctx.Surface.FrameRect(Bounds(list.Left, list.Top, width, height), ToRgb565(list.FrameColour));
  if (Inside(ctx, list.Left, list.Top, list.Left + width, list.Top + height))
    FollowPointer(w, ctx, {WidgetKind::List, 1});
  // The focused list wears a second, yellow frame just outside its own.
  if (IsFocused(w, {WidgetKind::List, 1}))
    ctx.Surface.FrameRect(Bounds(list.Left - 3, list.Top - 3, width + 6, height + 6), Rgb565(255, 255, 0));

  for (int row = 1; row <= list.Rows; ++row) {
    const int rowTop = list.Top + 3 + (row - 1) * kListRowHeight;
    if (Inside(ctx, list.Left + 6, rowTop, list.Left + width, rowTop + kListRowHeight)) list.HoveredRow = row;
    const int item = row + list.First - 1;
    if (item > count) continue;

    std::string text = list.Items[size_t(item - 1)];
    const bool own = !text.empty() && text.back() == kOwnItemMark;
    if (own) {
      text.pop_back();
      if (int(text.size()) >= list.Columns - 1) text.resize(size_t(std::max(0, list.Columns - 2)));
    }
    const bool selected = item == list.Selected;
    if (selected) {
      ctx.Surface.FillRect(TRect{list.Left + (own ? 16 : 4), rowTop, list.Left + width - 2, rowTop + kListRowHeight},
                           Rgb565(255, 128, 0));
      SelectFont(ctx.Fonts, kFaceListSelected, 99);
    } else {
      SelectFont(ctx.Fonts, kFaceList, 0);
    }
    if (own) {
      DrawText(ctx.Fonts, ctx.Surface, list.Left + 25, rowTop, text);
      if (const ImageEntry* e = ctx.Images.TryFindImage("vxicon")) DrawPattern(*e, ctx.Surface, list.Left + 3, rowTop, 0);
    } else {
      DrawText(ctx.Fonts, ctx.Surface, list.Left + 6, rowTop, text);
    }
  }

  if (count <= list.Rows) {
    list.UpBrightness = list.DownBrightness = 0;
    return;
  }
  const int ax = list.Left + width;
  const int downTop = list.Top + height - kArrowSide;
  ctx.Surface.Line(ax + 20, list.Top, ax + 20, list.Top + height, ToRgb565(list.FrameColour));
  auto square = [&](int top, int32_t& brightness, int hoverValue, const char* image) {
    if (Inside(ctx, ax, top, ax + kArrowSide, top + kArrowSide)) {
      list.HoveredRow = hoverValue;
      brightness = 265;  // shows 255 this frame
    }
    brightness = std::max(0, brightness - 10);
    const uint8_t v = uint8_t(std::min(brightness, 255));
    ctx.Surface.FillRect(Bounds(ax, top, kArrowSide, kArrowSide), Rgb565(v, v, 0));
    if (const ImageEntry* e = ctx.Images.TryFindImage(image)) DrawPattern(*e, ctx.Surface, ax, top, 0);
  };
  square(list.Top, list.UpBrightness, kListArrowUp, "arrowup");
  square(downTop, list.DownBrightness, kListArrowDown, "arrowdown");
}

// ---------------------------------------------------------------- pointer and mouse

void ShowPointer(TSprite* pointer, bool& tracking, int mouseX, int mouseY) {
  tracking = true;
  if (!pointer) return;
  pointer->Visible = true;
  pointer->X = mouseX;
  pointer->Y = mouseY;
}

void WidgetMouseDown(WidgetSet& w, SoundSink& sound) {
  if (w.HoveredKnob >= 1 && w.HoveredKnob <= w.SliderCount) {
    w.DraggedSlider = w.HoveredKnob;
    if (w.FocusOn) w.Focus = {WidgetKind::Slider, w.HoveredKnob};
  }

  // A click focuses what it presses, even where the pointer had not moved.
  if (w.FocusOn) {
    if (w.HoveredCheckbox >= 1 && w.HoveredCheckbox <= w.CheckboxCount) w.Focus = {WidgetKind::Checkbox, w.HoveredCheckbox};
    if (Focusable(w, {WidgetKind::Button, w.HoveredButton})) w.Focus = {WidgetKind::Button, w.HoveredButton};
    if (Focusable(w, {WidgetKind::ImageButton, w.HoveredImageButton}))
      w.Focus = {WidgetKind::ImageButton, w.HoveredImageButton};
    if (Focusable(w, {WidgetKind::OptionItem, w.HoveredOptionItem}))
      w.Focus = {WidgetKind::OptionItem, w.HoveredOptionItem};
    if (w.List.Visible && w.List.HoveredRow != 0) w.Focus = {WidgetKind::List, 1};
  }
  if (w.HoveredCheckbox >= 1 && w.HoveredCheckbox <= w.CheckboxCount) {
    sound.PlaySound(kClickSound);
    TCheckbox& c = w.Checkboxes[size_t(w.HoveredCheckbox)];
    c.Checked = c.Checked ? 0 : 1;
  }
  if (w.HoveredButton >= 1 && w.HoveredButton <= w.ButtonCount &&
      w.Buttons[size_t(w.HoveredButton)].State == kWidgetEnabled) {
    w.ClickedButton = w.HoveredButton;
    sound.PlaySound(kClickSound);
  }
  if (w.HoveredImageButton >= 1 && w.HoveredImageButton <= w.ImageButtonCount &&
      w.ImageButtons[size_t(w.HoveredImageButton)].State == kWidgetEnabled) {
    w.ClickedImageButton = w.HoveredImageButton;
    sound.PlaySound(kClickSound);
  }
  if (w.HoveredOptionItem >= 1 && w.HoveredOptionItem <= w.OptionItemCount &&
      w.OptionItems[size_t(w.HoveredOptionItem)].State != kWidgetHidden) {
    w.EditedOption = w.HoveredOptionItem;
    sound.PlaySound(kClickSound);
  }

  TListBox& list = w.List;
  if (!list.Visible) return;
  if (list.HoveredRow >= 1) {
    const int item = list.HoveredRow + list.First - 1;
    list.Selected = item <= int(list.Items.size()) ? item : 0;
  } else if (list.HoveredRow == kListArrowUp) {
    ScrollList(list, -1);
  } else if (list.HoveredRow == kListArrowDown) {
    ScrollList(list, 1);
  }
}

void WidgetMouseUp(WidgetSet& w, SoundSink& sound) {
  if (w.DraggedSlider == 0) return;
  w.DraggedSlider = 0;
  sound.PlaySound(kClickSound);
}

// ---------------------------------------------------------------- focus

void EnableFocus(WidgetSet& w) { w.FocusOn = true; }

void SetFocus(WidgetSet& w, WidgetRef ref) { w.Focus = ref; }

std::vector<WidgetRef> ReadingOrder(const WidgetSet& w) {
  std::vector<WidgetRef> order;
  auto add = [&](WidgetKind kind, int count) {
    for (int i = 1; i <= count; ++i)
      if (Focusable(w, {kind, i})) order.push_back({kind, i});
  };
  add(WidgetKind::ImageButton, w.ImageButtonCount);
  add(WidgetKind::Slider, w.SliderCount);
  add(WidgetKind::Checkbox, w.CheckboxCount);
  add(WidgetKind::OptionItem, w.OptionItemCount);
  add(WidgetKind::List, 1);
  add(WidgetKind::Button, w.ButtonCount);
  std::stable_sort(order.begin(), order.end(), [&](WidgetRef a, WidgetRef b) {
    const Box p = BoxOf(w, a), q = BoxOf(w, b);
    return p.Top != q.Top ? p.Top < q.Top : p.Left < q.Left;
  });
  return order;
}

bool Focusable(const WidgetSet& w, WidgetRef r) {
  if (!Shown(w, r)) return false;
  const size_t i = size_t(r.Index);
  switch (r.Kind) {
    case WidgetKind::Button: return w.Buttons[i].State == kWidgetEnabled;
    case WidgetKind::ImageButton: return w.ImageButtons[i].State == kWidgetEnabled;
    case WidgetKind::OptionItem: return w.OptionItems[i].State == kWidgetEnabled;
    default: return true;
  }
}

WidgetRef FocusedWidget(WidgetSet& w) {
  if (!w.FocusOn) return {};
  // A widget disabled for a while keeps the focus (it shows once enabled); one
  // hidden or gone gives it to the first in reading order.
  if (Shown(w, w.Focus)) return w.Focus;
  const std::vector<WidgetRef> order = ReadingOrder(w);
  w.Focus = order.empty() ? WidgetRef{} : order.front();
  return w.Focus;
}

bool IsFocused(WidgetSet& w, WidgetRef ref) { return w.FocusOn && FocusedWidget(w) == ref; }

void SelectListRow(TListBox& list, int row) {
  const int count = int(list.Items.size());
  if (count == 0) return;
  list.Selected = std::clamp(row, 1, count);
  if (list.Selected < list.First) list.First = list.Selected;
  if (list.Selected > list.First + list.Rows - 1) list.First = list.Selected - list.Rows + 1;
}

bool NavigateWidgets(WidgetSet& w, WidgetNav nav, SoundSink& sound) {
  if (!w.FocusOn) return false;
  const WidgetRef f = FocusedWidget(w);
  if (f.Kind == WidgetKind::None) return false;
  switch (nav) {
    case WidgetNav::Next: return StepFocus(w, 1);
    case WidgetNav::Previous: return StepFocus(w, -1);
    case WidgetNav::Activate: return PressFocused(w, f, sound);
    case WidgetNav::Left:
    case WidgetNav::Right:
      if (f.Kind == WidgetKind::Slider) {
        TSlider& s = w.Sliders[size_t(f.Index)];
        const int v = std::clamp(s.Value + (nav == WidgetNav::Right ? 1 : -1), 1, s.Steps);
        if (v != s.Value) PressSound(sound);
        s.Value = v;
        return true;
      }
      break;
    case WidgetNav::Up:
    case WidgetNav::Down:
      if (f.Kind == WidgetKind::List) return MoveListSelection(w.List, nav);
      break;
    default:  // PageUp, PageDown, Home, End
      return f.Kind == WidgetKind::List && MoveListSelection(w.List, nav);
  }
  const WidgetRef to = NearestInDirection(w, f, nav);
  if (to.Kind == WidgetKind::None) return false;
  w.Focus = to;
  return true;
}

void WidgetMouseWheel(WidgetSet& w, int steps) {
  if (!w.List.Visible || steps == 0) return;
  ScrollList(w.List, steps > 0 ? -1 : 1);
}

}  // namespace gravik
