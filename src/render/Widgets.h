// Menu widgets: text buttons (plain and with a value), image buttons, option
// items, check boxes, sliders and one scrolling list. Plain records in fixed
// 1-based tables, added by a screen's entry routine, drawn and hover-tested once
// per frame by its handler; the mouse handlers apply the press and release
// effects, and the screen reads the results on its next frame.
//
//   entry:   ResetWidgets(w); AddCentredButton(w, text, 170, "Play", 'P'); ShowPointer(...);
//   frame:   WidgetContext ctx{...}; DrawButtons(w, ctx); ...; then the sprites
//   mouse:   WidgetMouseDown(w, sound) / WidgetMouseUp(w, sound) / WidgetMouseWheel(w, dy)
//   results: w.ClickedButton, w.ClickedImageButton, w.EditedOption, check boxes'
//            Checked, sliders' Value, w.List.Selected
//
// Focus: a screen that is driven by keys and the pad as well as the mouse has
// one focused widget (EnableFocus; SetFocus names the screen's default, else
// the first in reading order). The focused widget is drawn as a hovered one,
// with its glow held and its hover sound; the pointer moving over a widget
// focuses it. NavigateWidgets moves the focus (arrows: the nearest widget that
// way; Tab: the reading order), steps a focused slider, moves a focused list's
// selection, and presses the focused widget as a click does.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Types.h"
#include "gfx/Bitmap.h"
#include "gfx/Fonts.h"
#include "gfx/ImageList.h"
#include "render/Panel.h"
#include "world/World.h"

namespace gravik {

class TSprite;

// Table sizes. Adding beyond them is refused (the add returns 0), except for the
// sliders, where a third one is fatal.
inline constexpr int kMaxButtons = 40;
inline constexpr int kMaxImageButtons = 20;
inline constexpr int kMaxOptionItems = 20;
inline constexpr int kMaxCheckboxes = 10;
inline constexpr int kMaxSliders = 2;

inline constexpr size_t kCaptionLength = 50;    // captions, value texts, labels
inline constexpr size_t kImageNameLength = 20;  // image button entry names

// Widget states of buttons, image buttons and option items.
inline constexpr uint8_t kWidgetHidden = 0;
inline constexpr uint8_t kWidgetEnabled = 1;
inline constexpr uint8_t kWidgetDisabled = 2;

// Button kinds.
inline constexpr uint8_t kValueButton = 1;
inline constexpr uint8_t kPlainButton = 2;

// Glow: 1.0 while hovered, rising by 0.05 a frame to 2.0 (at rest).
inline constexpr double kGlowHovered = 1.0;
inline constexpr double kGlowRest = 2.0;
inline constexpr double kGlowStep = 0.05;
inline constexpr double kGlowCreated = 128.0;

// Sounds.
inline constexpr const char* kClickSound = "click1.wav";
inline constexpr const char* kHoverSound = "click2.wav";

// System fonts the boxes are measured with.
inline const SystemFont kButtonFont{"Arial", 16, true};
inline const SystemFont kOptionLabelFont{"Arial", 14, true};

struct TButton {
  uint8_t Kind = kPlainButton;
  uint8_t State = kWidgetEnabled;
  std::string Caption;
  std::string ValueText;       // empty for plain buttons
  int32_t ValueOffset = 0;     // x of the value text from the button's x
  char Accelerator = 0;
  int AcceleratorPos = 0;      // 1-based in the caption, 0 when absent
  double Glow = kGlowCreated;
  int32_t X = 0, Y = 0, Width = 0, Height = 0;
};

struct TImageButton {
  uint8_t State = kWidgetEnabled;
  std::string ImageName;
  char Accelerator = 0;
  int AcceleratorPos = 0;      // 1-based in the image name, 0 when absent
  double Glow = kGlowCreated;
  int32_t X = 0, Y = 0, Width = 0, Height = 0;
};

// A label with an editable value (a key binding); x, y are the value's.
struct TOptionItem {
  uint8_t State = kWidgetEnabled;
  std::string Value = "Undefined";
  std::string Label;
  double Glow = kGlowCreated;
  int32_t X = 0, Y = 0;
  int32_t LabelWidth = 0, LabelHeight = 0;
};

struct TCheckbox {
  uint8_t Checked = 1;
  int32_t Brightness = 128;  // 128..255
  int32_t X = 0, Y = 0;
  std::string Label;
};

struct TSlider {
  uint8_t State = 1;         // below 2: drawn
  int32_t X = 0, Y = 0;
  int32_t Steps = 1;         // the track is 10 * Steps wide
  int32_t Value = 1;         // 1..Steps
  int32_t Brightness = 128;  // 128..255
  bool Hovered = false;      // pointer over the track
};

// Hovered row values of the list's arrow squares.
inline constexpr int kListArrowUp = -1;
inline constexpr int kListArrowDown = -2;

// The screen's one list; configured field by field.
struct TListBox {
  bool Visible = false;      // drawn on this screen (set by DrawList); clicks reach it only then
  int32_t Left = 0, Top = 0;
  int32_t Columns = 20;      // width in characters
  int32_t Rows = 12;         // visible rows
  std::vector<std::string> Items;  // an item ending in '\x01' is an own item
  int32_t Selected = 0;      // 1-based item, 0 = none
  int32_t First = 1;         // first shown item; the arrows and the wheel move it
  bool SmallFont = false;
  TColor FrameColour = RGB(255, 128, 0);
  int32_t HoveredRow = 0;    // row 1..Rows, kListArrowUp / kListArrowDown, 0 = none
  int32_t UpBrightness = 0, DownBrightness = 0;
};

// A widget of the screen: its kind and 1-based index in that kind's table.
enum class WidgetKind : uint8_t { None, Button, ImageButton, OptionItem, Checkbox, Slider, List };
struct WidgetRef {
  WidgetKind Kind = WidgetKind::None;
  int Index = 0;
  bool operator==(const WidgetRef&) const = default;
};

// What a key or the pad asks of the focus.
enum class WidgetNav : uint8_t { Up, Down, Left, Right, Next, Previous, PageUp, PageDown, Home, End, Activate };

// The pad as the menus last saw it: buttons and direction held, and when the
// held direction acts again.
struct MenuPadMemory {
  bool Seen = false;          // read once on this screen (what is held then waits for a release)
  uint8_t Buttons = 0;
  int Direction = -1;         // a WidgetNav direction, -1 for none
  bool DirectionLocked = false;  // held since the screen began: acts only once let go
  uint32_t NextRepeat = 0;    // tick at which a held direction acts again
};

// Every widget of the current screen; one per game.
struct WidgetSet {
  std::array<TButton, kMaxButtons + 1> Buttons{};  // 1-based; [0] unused
  int ButtonCount = 0;
  int HoveredButton = 0;
  int ClickedButton = 0;

  std::array<TImageButton, kMaxImageButtons + 1> ImageButtons{};
  int ImageButtonCount = 0;
  int HoveredImageButton = 0;
  int ClickedImageButton = 0;

  std::array<TOptionItem, kMaxOptionItems + 1> OptionItems{};
  int OptionItemCount = 0;
  int HoveredOptionItem = 0;
  int EditedOption = 0;      // the item chosen for editing; its value blinks

  std::array<TCheckbox, kMaxCheckboxes + 1> Checkboxes{};
  int CheckboxCount = 0;
  int HoveredCheckbox = 0;

  std::array<TSlider, kMaxSliders + 1> Sliders{};
  int SliderCount = 0;
  int DraggedSlider = 0;
  int HoveredKnob = 0;

  TListBox List;

  // Focus (off until EnableFocus; the state change clears it with the rest).
  bool FocusOn = false;
  WidgetRef Focus;            // None: the first focusable widget in reading order
  bool PointerSeen = false;   // the pointer's last position is known
  double PointerSeenX = 0, PointerSeenY = 0;
  MenuPadMemory Pad;
  bool PadOwnedByScreen = false;  // the screen reads the pad itself (the focus leaves it)
  bool KeyTaken = false;      // the screen acted on the key being handled
};

// What the drawing passes need of the game this frame.
struct WidgetContext {
  Bitmap& Surface;      // the back surface
  FontSet& Fonts;
  ImageList& Images;
  SoundSink& Sound;
  double PointerX = 0;  // the pointer sprite's X, Y (640 x 480 space)
  double PointerY = 0;
  uint32_t Tick = 0;    // millisecond clock; the edited option item blinks on it
  bool PointerMoved = false;  // since the last frame: a widget under it takes the focus
};

// Clears every table, result, hover and drag, and the list (a new screen).
void ResetWidgets(WidgetSet& w);

// Adding. Each returns the new widget's 1-based index, 0 when its table is full.
// Texts longer than kCaptionLength (image names kImageNameLength) are cut.
int AddButton(WidgetSet& w, SystemText& text, int x, int y, std::string_view caption, char accelerator);
int AddCentredButton(WidgetSet& w, SystemText& text, int y, std::string_view caption, char accelerator);
int AddValueButton(WidgetSet& w, SystemText& text, int x, int y, std::string_view caption, int valueOffset,
                   std::string_view valueText, char accelerator);
// The image entry must exist (EPictureCollectionError otherwise).
int AddImageButton(WidgetSet& w, const ImageList& images, int x, int y, std::string_view imageName,
                   char accelerator);
int AddOptionItem(WidgetSet& w, SystemText& text, int x, int y, std::string_view label);
int AddCheckbox(WidgetSet& w, int x, int y, std::string_view label);
// A third slider throws FatalMessage "Too many sliders". Steps below 1 count as
// 1; the value is kept within 1..steps.
int AddSlider(WidgetSet& w, int x, int y, int steps, int value);

// Drawing, once per frame, each when the screen uses that kind; after the
// screen's own drawing and before the sprites (the pointer).
void DrawButtons(WidgetSet& w, WidgetContext& ctx);
void DrawImageButtons(WidgetSet& w, WidgetContext& ctx);
void DrawOptionItems(WidgetSet& w, WidgetContext& ctx);
void DrawCheckboxes(WidgetSet& w, WidgetContext& ctx);
void DrawSliders(WidgetSet& w, WidgetContext& ctx);
void DrawList(WidgetSet& w, WidgetContext& ctx);

// Switches mouse tracking on, shows the pointer sprite and puts it at the mouse.
// `tracking` is the frame's flag that lets mouse movement move the pointer.
void ShowPointer(TSprite* pointer, bool& tracking, int mouseX, int mouseY);

// Mouse effects on what the last drawing pass found hovered.
// Press: slider knob -> dragged; check box toggles; enabled button -> clicked;
// enabled image button -> clicked; option item -> edited; list row -> selected
// (past the items: none); list arrow square -> scroll by one.
void WidgetMouseDown(WidgetSet& w, SoundSink& sound);
// Release: a drag ends with "click1.wav".
void WidgetMouseUp(WidgetSet& w, SoundSink& sound);
// Wheel: `steps` > 0 scrolls the list up, < 0 down, one row either way.
void WidgetMouseWheel(WidgetSet& w, int steps);

// --- focus

// Switches the focus model on for this screen.
void EnableFocus(WidgetSet& w);
// The focus to `ref` (the screen's default, or a widget it moves to).
void SetFocus(WidgetSet& w, WidgetRef ref);
// The focused widget: the one set while it is shown, else the first focusable
// one in reading order (None when the screen has none or focus is off).
WidgetRef FocusedWidget(WidgetSet& w);
// True when `ref` is the focused widget.
bool IsFocused(WidgetSet& w, WidgetRef ref);
// Shown and not disabled: a widget the focus may move to.
bool Focusable(const WidgetSet& w, WidgetRef ref);
// The focusable widgets, top to bottom and, within a row, left to right.
std::vector<WidgetRef> ReadingOrder(const WidgetSet& w);
// One key or pad step. True when it did something to the widgets (the key is
// then taken): a move, a slider step, a list move or a press.
bool NavigateWidgets(WidgetSet& w, WidgetNav nav, SoundSink& sound);
// The list's selection to `row` (kept within the items), scrolled into view.
void SelectListRow(TListBox& list, int row);

// The list's scrolling: moves the first shown item by `delta`, kept within
// 1..(items - rows + 1).
void ScrollList(TListBox& list, int delta);
// List geometry: width and height in pixels.
int ListWidth(const TListBox& list);
int ListHeight(const TListBox& list);

}  // namespace gravik
