// Menu widgets: glow and hover sounds, disabled buttons, sliders, check boxes,
// the scrolling list, the press order and the table limits; and a sample
// screen drawn with the game's own fonts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/Errors.h"
#include "data/Archive.h"
#include "gfx/Png.h"
#include "render/levelgraphics_fixture.h"
#include "render/Widgets.h"
#include "support/AsciiWorld.h"
#include "support/DataFiles.h"

namespace gravik {
namespace {

// One ink per font the widgets select, so a pixel tells which font drew it.
constexpr uint16_t kInkButton = Rgb565(200, 0, 200);     // eras16 colour 4
constexpr uint16_t kInkDisabled = Rgb565(96, 96, 96);    // eras16 colour 6
constexpr uint16_t kInkGlow = Rgb565(160, 0, 0);         // eras16 colour 1 (red: glow works on it)
constexpr uint16_t kInkLabel = Rgb565(0, 0, 248);        // eras16 colour 2
constexpr uint16_t kInkValue = Rgb565(0, 200, 200);      // eras12 colour 2
constexpr uint16_t kInkList = Rgb565(0, 252, 0);         // lucida12F colour 0
constexpr uint16_t kInkListSel = Rgb565(8, 8, 8);        // lucida12F-orange colour 99
constexpr uint16_t kOrange = Rgb565(255, 128, 0);

// System text: 8 pixels a character, 16 high.
struct FixedText : SystemText {
  void TextOut(Bitmap&, int, int, std::string_view, const SystemFont&, uint16_t, bool, uint16_t) override {}
  int TextWidth(std::string_view t, const SystemFont&) override { return 8 * int(t.size()); }
  int TextHeight(std::string_view t, const SystemFont&) override { return t.empty() ? 0 : 16; }
};

struct Rig {
  FontSet Fonts;
  ImageList Images;
  Bitmap Surface{640, 480};
  testing::RecordingSound Sound;
  FixedText Text;
  WidgetSet W;
  WidgetContext Ctx{Surface, Fonts, Images, Sound};

  Rig() {
    FontsFile file;
    const std::pair<const char*, uint16_t> fonts[] = {
        {"4eras16boldV.bmp", kInkButton}, {"6eras16boldV.bmp", kInkDisabled}, {"1eras16boldV.bmp", kInkGlow},
        {"2eras16boldV.bmp", kInkLabel},  {"2eras12boldV.bmp", kInkValue},    {"2eras14boldV.bmp", kInkLabel},
        {"4eras14boldV.bmp", kInkButton}, {"0lucida12F.bmp", kInkList},      {"99lucida12F-orange.bmp", kInkListSel}};
    int i = 0;
    for (auto [name, ink] : fonts) lg_test::AddFont(file, i++, name, 24, [ink = ink](int) { return ink; });
    const std::vector<uint8_t> bytes = WriteFontsFile(file);
    LoadFonts(Fonts, Images, bytes.data(), bytes.size(), lg_test::CaptionItem);
    CreateFormImages(Images);
  }
  void Frame(double x, double y, void (*draw)(WidgetSet&, WidgetContext&)) {
    Ctx.PointerX = x;
    Ctx.PointerY = y;
    Surface.Fill(0);
    draw(W, Ctx);
  }
  int Clicks2() const { return Sound.CountOf(kHoverSound); }
};

TEST(Widgets, ButtonGlowSoundsOnEveryFreshHoverAndRestsAfterTwentyFrames) {
  Rig r;
  ASSERT_EQ(AddButton(r.W, r.Text, 100, 100, "Play", 'P'), 1);
  const TButton& b = r.W.Buttons[1];
  EXPECT_EQ(b.Width, 32);
  EXPECT_EQ(b.AcceleratorPos, 1);
  r.Frame(0, 0, DrawButtons);
  EXPECT_EQ(b.Glow, kGlowRest);  // 128 clamps at once
  EXPECT_EQ(r.Surface.Pixel(101, 101), kInkButton);
  EXPECT_EQ(r.Clicks2(), 0);

  r.Frame(132, 116, DrawButtons);  // the box's far corner is inside
  EXPECT_EQ(r.W.HoveredButton, 1);
  EXPECT_EQ(r.Clicks2(), 1);
  EXPECT_NE(r.Surface.Pixel(101, 101), kInkButton);  // drawn glowing
  r.Frame(110, 110, DrawButtons);
  EXPECT_EQ(r.Clicks2(), 1);  // still hovered: no new sound

  for (int i = 0; i < 5; ++i) r.Frame(0, 0, DrawButtons);
  EXPECT_EQ(r.W.HoveredButton, 0);
  r.Frame(110, 110, DrawButtons);
  EXPECT_EQ(r.Clicks2(), 2);  // the fade had not reached 2.0, yet not exactly 1.0 either

  for (int i = 0; i < 19; ++i) r.Frame(0, 0, DrawButtons);
  EXPECT_LT(b.Glow, kGlowRest);
  r.Frame(0, 0, DrawButtons);
  EXPECT_EQ(b.Glow, kGlowRest);
  EXPECT_EQ(r.Surface.Pixel(101, 101), kInkButton);
}

TEST(Widgets, DisabledButtonNeverGlowsSoundsOrClicks) {
  Rig r;
  AddButton(r.W, r.Text, 100, 100, "Load", 'L');
  r.W.Buttons[1].State = kWidgetDisabled;
  for (int i = 0; i < 3; ++i) {
    r.Frame(110, 110, DrawButtons);
    WidgetMouseDown(r.W, r.Sound);
  }
  EXPECT_EQ(r.W.HoveredButton, 0);
  EXPECT_EQ(r.W.ClickedButton, 0);
  EXPECT_TRUE(r.Sound.Played.empty());
  EXPECT_EQ(r.Surface.Pixel(101, 101), kInkDisabled);

  // Disabled while its glow still fades: drawn plainly, never blank.
  r.W.Buttons[1].State = kWidgetEnabled;
  r.Frame(110, 110, DrawButtons);
  r.W.Buttons[1].State = kWidgetDisabled;
  r.Frame(0, 0, DrawButtons);
  EXPECT_LT(r.W.Buttons[1].Glow, kGlowRest);
  EXPECT_EQ(r.Surface.Pixel(101, 101), kInkDisabled);
}

TEST(Widgets, ValueButtonAndCentredButton) {
  Rig r;
  EXPECT_EQ(AddCentredButton(r.W, r.Text, 170, "Options", 'O'), 1);  // 56 wide
  EXPECT_EQ(r.W.Buttons[1].X, 292);
  AddValueButton(r.W, r.Text, 100, 200, "Music", 150, "80%", 0);
  EXPECT_EQ(r.W.Buttons[2].Kind, kValueButton);
  EXPECT_EQ(r.W.Buttons[2].AcceleratorPos, 0);
  r.Frame(0, 0, DrawButtons);
  EXPECT_EQ(r.Surface.Pixel(251, 208), kInkValue);
  EXPECT_EQ(r.Surface.Pixel(251, 206), 0);
}

TEST(Widgets, SliderDragFollowsThePointerWithinItsSteps) {
  Rig r;
  AddSlider(r.W, 100, 200, 10, 3);
  r.Frame(125, 205, DrawSliders);  // knob at k = 130: box 116..130
  EXPECT_EQ(r.W.HoveredKnob, 1);
  EXPECT_EQ(r.Clicks2(), 1);
  EXPECT_EQ(r.Surface.Pixel(125, 196), Rgb565(255, 255, 0));  // knob fill
  EXPECT_EQ(r.Surface.Pixel(100, 200), Rgb565(128, 128, 128));  // track
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(r.W.DraggedSlider, 1);

  r.Frame(155, 205, DrawSliders);
  EXPECT_EQ(r.W.Sliders[1].Value, 6);
  r.Frame(205, 205, DrawSliders);
  EXPECT_EQ(r.W.Sliders[1].Value, 6);
  r.Frame(200, 205, DrawSliders);  // inside the box, but 11 steps
  EXPECT_EQ(r.W.Sliders[1].Value, 6);
  r.Frame(100, 205, DrawSliders);
  EXPECT_EQ(r.W.Sliders[1].Value, 1);

  WidgetMouseUp(r.W, r.Sound);
  EXPECT_EQ(r.W.DraggedSlider, 0);
  EXPECT_EQ(r.Sound.CountOf(kClickSound), 1);
  WidgetMouseUp(r.W, r.Sound);
  EXPECT_EQ(r.Sound.CountOf(kClickSound), 1);

  AddSlider(r.W, 100, 300, 5, 9);
  EXPECT_EQ(r.W.Sliders[2].Value, 5);
  try {
    AddSlider(r.W, 100, 400, 5, 1);
    ADD_FAILURE() << "a third slider was accepted";
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "Too many sliders");
  }
}

TEST(Widgets, HoveredKnobKeepsButtonsFromLightingUp) {
  Rig r;
  AddSlider(r.W, 100, 200, 10, 3);
  AddButton(r.W, r.Text, 110, 190, "Xx", 0);
  r.Frame(125, 205, DrawSliders);
  r.Frame(125, 205, DrawButtons);
  EXPECT_EQ(r.W.HoveredButton, 0);
}

TEST(Widgets, CheckboxOutlineFollowsItsBrightnessAndClickToggles) {
  Rig r;
  AddCheckbox(r.W, 50, 60, "Enable joystick");
  r.Frame(0, 0, DrawCheckboxes);
  EXPECT_EQ(r.Surface.Pixel(50, 60), Rgb565(128, 128, 128));
  EXPECT_EQ(r.Surface.Pixel(51, 61), Rgb565(128, 128, 128));
  EXPECT_EQ(r.Surface.Pixel(52, 62), Rgb565(90, 90, 100));  // the Checkbox picture
  EXPECT_EQ(r.Surface.Pixel(86, 57), kInkLabel);

  r.Frame(70, 80, DrawCheckboxes);
  EXPECT_EQ(r.Clicks2(), 1);
  EXPECT_EQ(r.Surface.Pixel(69, 79), Rgb565(255, 255, 0));
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(r.W.Checkboxes[1].Checked, 0);
  EXPECT_EQ(r.Sound.CountOf(kClickSound), 1);
  for (int i = 0; i < 18; ++i) r.Frame(0, 0, DrawCheckboxes);  // 255 - 54 = 201
  EXPECT_EQ(r.Surface.Pixel(50, 60), Rgb565(201, 201, 0));
  r.Frame(0, 0, DrawCheckboxes);  // 198
  EXPECT_EQ(r.Surface.Pixel(50, 60), Rgb565(198, 198, 128));
  EXPECT_EQ(r.Surface.Pixel(52, 62), 0);  // unchecked
}

TEST(Widgets, ImageButtonGlowRecoloursRedPixelsAndClicks) {
  Rig r;
  ImageEntry& e = r.Images.AddImage("menutest");
  e.Picture = Bitmap(30, 10, 0);
  e.Picture.FillRect(Bounds(5, 0, 20, 9), uint16_t(20 << 11));
  RebuildSurfaces(e);
  AddImageButton(r.W, r.Images, 200, 100, "menutest", 'M');
  AddImageButton(r.W, r.Images, 200, 300, "menutest", 0);
  r.W.ImageButtons[2].State = kWidgetDisabled;
  EXPECT_THROW(AddImageButton(r.W, r.Images, 0, 0, "nosuchimage", 0), EPictureCollectionError);

  r.Frame(0, 0, DrawImageButtons);
  EXPECT_EQ(r.Surface.Pixel(210, 105), uint16_t((20 << 11) | (20 << 5)));  // at rest: g = 2r / 2
  EXPECT_EQ(r.Surface.Pixel(210, 305), uint16_t((20 << 11) | (20 << 5)));  // disabled ones are drawn
  EXPECT_TRUE(r.Fonts.GlowWorkTransparent);
  r.Frame(230, 110, DrawImageButtons);
  EXPECT_EQ(r.Surface.Pixel(210, 105), uint16_t((20 << 11) | (40 << 5)));
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(r.W.ClickedImageButton, 1);
  r.Frame(210, 305, DrawImageButtons);
  EXPECT_EQ(r.W.HoveredImageButton, 0);
}

TEST(Widgets, OptionItemLabelEditAndBlink) {
  Rig r;
  AddOptionItem(r.W, r.Text, 300, 100, "Up:");  // label 24 x 16
  EXPECT_EQ(r.W.OptionItems[1].Value, "Undefined");
  r.Frame(0, 0, DrawOptionItems);
  // The label ends 10 pixels left of the value, measured in its own font.
  SelectFont(r.Fonts, "eras14boldV.bmp", 2);
  const int left = 300 - TextWidth(r.Fonts, "Up:") - 10;
  EXPECT_EQ(r.Surface.Pixel(left, 101), kInkLabel);
  EXPECT_EQ(r.Surface.Pixel(left - 1, 101), 0);
  EXPECT_EQ(r.Surface.Pixel(301, 101), kInkButton);
  r.Frame(324, 116, DrawOptionItems);
  EXPECT_EQ(r.W.HoveredOptionItem, 1);
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(r.W.EditedOption, 1);
  r.Ctx.Tick = 1200;
  r.Frame(0, 0, DrawOptionItems);
  EXPECT_EQ(r.Surface.Pixel(301, 101), 0);
  r.Ctx.Tick = 1700;
  r.Frame(0, 0, DrawOptionItems);
  EXPECT_NE(r.Surface.Pixel(301, 101), 0);
}

std::vector<std::string> Names(int n) {
  std::vector<std::string> v;
  for (int i = 1; i <= n; ++i) v.push_back("P" + std::to_string(i));
  return v;
}

TEST(Widgets, ListShowsArrowSquaresOnlyWhenItemsExceedRows) {
  for (int n : {12, 13}) {
    Rig r;
    TListBox& l = r.W.List;
    l.Left = 100, l.Top = 50, l.Columns = 20, l.Rows = 12, l.Items = Names(n);
    const int ax = 100 + 280, downTop = 50 + 12 * 18 + 8 - 20;
    r.Frame(ax + 5, downTop + 5, DrawList);
    EXPECT_EQ(l.HoveredRow, n == 13 ? kListArrowDown : 0) << n;
    EXPECT_EQ(r.Surface.Pixel(ax + 1, downTop + 1) != 0, n == 13) << n;
    EXPECT_EQ(r.Surface.Pixel(ax + 20, 150) != 0, n == 13) << n;  // the vertical line
  }
}

TEST(Widgets, ListScrollsByArrowsAndWheelToEveryItem) {
  Rig r;
  TListBox& l = r.W.List;
  l.Left = 100, l.Top = 50, l.Columns = 20, l.Rows = 12, l.Items = Names(100);
  const int ax = 380, downTop = 50 + 224 - 20;
  for (int i = 0; i < 95; ++i) {
    r.Frame(ax + 10, downTop + 10, DrawList);
    WidgetMouseDown(r.W, r.Sound);
  }
  EXPECT_EQ(l.First, 89);
  const int row12Top = 50 + 3 + 11 * 18;
  r.Frame(200, row12Top + 5, DrawList);
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(l.Selected, 100);
  r.Frame(0, 0, DrawList);
  EXPECT_EQ(r.Surface.Pixel(104, row12Top + 1), kOrange);
  EXPECT_EQ(r.Surface.Pixel(106, row12Top + 1), kInkListSel);
  EXPECT_EQ(r.Surface.Pixel(106, row12Top - 17), kInkList);

  r.Frame(ax + 10, 55, DrawList);
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(l.First, 88);
  for (int i = 0; i < 200; ++i) WidgetMouseWheel(r.W, 1);
  EXPECT_EQ(l.First, 1);
  WidgetMouseWheel(r.W, -3);
  EXPECT_EQ(l.First, 2);

  // Fewer items later (one deleted): the first row stays within bounds.
  l.First = 89;
  l.Items.resize(20);
  r.Frame(0, 0, DrawList);
  EXPECT_EQ(l.First, 9);
}

TEST(Widgets, ListRowPastTheItemsSelectsNothingAndOwnItemsCarryTheIcon) {
  Rig r;
  TListBox& l = r.W.List;
  l.Left = 100, l.Top = 50, l.Columns = 10, l.Rows = 6, l.Items = {"Alpha", "Beta\x01", "Gamma"};
  l.Items[1] = "LongOwnName\x01";
  l.Selected = 2;
  r.Frame(150, 53 + 18 + 5, DrawList);
  const int rowTop = 53 + 18;
  EXPECT_EQ(r.Surface.Pixel(104, rowTop), 0);            // an own item's fill starts at left + 16
  EXPECT_EQ(r.Surface.Pixel(116, rowTop + 17), kOrange);
  EXPECT_NE(r.Surface.Pixel(104, rowTop + 5), 0);        // the icon at left + 3
  // "LongOwnName" cut to 8 characters: glyph widths 2..6 of the fixture's font.
  int width = 0;
  for (char c : std::string("LongOwnN")) width += lg_test::GlyphWidth(c);
  EXPECT_EQ(r.Surface.Pixel(125 + width - 1, rowTop + 1), kInkListSel);
  EXPECT_EQ(r.Surface.Pixel(125 + width, rowTop + 1), kOrange);

  r.Frame(150, 53 + 5 * 18 + 5, DrawList);
  EXPECT_EQ(l.HoveredRow, 6);
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(l.Selected, 0);
  r.Frame(150, 58, DrawList);
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(l.Selected, 1);
  EXPECT_TRUE(r.Sound.Played.empty());
}

TEST(Widgets, PressAppliesEveryHoveredWidgetInOrderAndResetClearsTheScreen) {
  Rig r;
  AddButton(r.W, r.Text, 10, 10, "A", 0);
  AddCheckbox(r.W, 10, 10, "c");
  AddOptionItem(r.W, r.Text, 10, 10, "k");
  r.Frame(12, 12, DrawButtons);
  DrawCheckboxes(r.W, r.Ctx);
  DrawOptionItems(r.W, r.Ctx);
  r.Sound.Played.clear();
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(r.Sound.Played, (std::vector<std::string>{kClickSound, kClickSound, kClickSound}));
  EXPECT_EQ(r.W.Checkboxes[1].Checked, 0);
  EXPECT_EQ(r.W.ClickedButton, 1);
  EXPECT_EQ(r.W.EditedOption, 1);
  // A button hidden after it was hovered cannot be clicked.
  r.W.ClickedButton = 0;
  r.W.Buttons[1].State = kWidgetHidden;
  WidgetMouseDown(r.W, r.Sound);
  EXPECT_EQ(r.W.ClickedButton, 0);

  ResetWidgets(r.W);
  EXPECT_EQ(r.W.ButtonCount + r.W.CheckboxCount + r.W.OptionItemCount + r.W.HoveredButton, 0);
  EXPECT_FALSE(r.W.List.Visible);
  EXPECT_EQ(r.W.List.First, 1);
}

TEST(Widgets, LongTextsAreCutAndFullTablesRefuse) {
  Rig r;
  const std::string longText(60, 'x');
  AddValueButton(r.W, r.Text, 0, 0, longText, 10, longText, 0);
  EXPECT_EQ(r.W.Buttons[1].Caption.size(), 50u);
  EXPECT_EQ(r.W.Buttons[1].ValueText.size(), 50u);
  EXPECT_EQ(r.W.Buttons[1].Width, 400);
  AddOptionItem(r.W, r.Text, 0, 0, longText);
  EXPECT_EQ(r.W.OptionItems[1].Label.size(), 50u);
  r.Images.AddImage(std::string(20, 'i')).Picture = Bitmap(4, 4);
  EXPECT_EQ(AddImageButton(r.W, r.Images, 0, 0, std::string(25, 'i'), 0), 1);
  EXPECT_EQ(r.W.ImageButtons[1].ImageName.size(), 20u);

  for (int i = 2; i <= kMaxButtons; ++i) EXPECT_EQ(AddButton(r.W, r.Text, 0, 0, "b", 0), i);
  EXPECT_EQ(AddButton(r.W, r.Text, 0, 0, "b", 0), 0);
  EXPECT_EQ(AddCentredButton(r.W, r.Text, 0, "b", 0), 0);
  EXPECT_EQ(r.W.ButtonCount, kMaxButtons);
}

// ---------------------------------------------------------------- with the game's fonts

// Boxes measured with the bitmap caption font (the game measures with the
// TrueType face of about the same size).
struct BitmapMeasure : SystemText {
  FontSet& Fonts;
  explicit BitmapMeasure(FontSet& f) : Fonts(f) {}
  void TextOut(Bitmap&, int, int, std::string_view, const SystemFont&, uint16_t, bool, uint16_t) override {}
  int TextWidth(std::string_view t, const SystemFont& f) override {
    SelectFont(Fonts, f.Points >= 16 ? kFaceEras16 : kFaceEras14, 2);
    return gravik::TextWidth(Fonts, t);
  }
  int TextHeight(std::string_view t, const SystemFont& f) override {
    SelectFont(Fonts, f.Points >= 16 ? kFaceEras16 : kFaceEras14, 2);
    return gravik::TextHeight(Fonts, t);
  }
};

// A sample screen with every widget kind. Set GRAVIK_WIDGETS_PNG to a path to
// get the picture.
TEST(WidgetsSample, EveryKindOnOneScreenWithTheGamesFonts) {
  GRAVIK_REQUIRE_DATA_FILES();
  const std::string folder = testing::DataFolder();
  Archive archive({folder});
  archive.OpenArchive();
  const std::vector<uint8_t> fontsDat = archive.TakeItem("fonts.dat");
  archive.ReleaseItem();
  FontSet fonts;
  ImageList images;
  LoadFonts(fonts, images, fontsDat.data(), fontsDat.size(), [&](const std::string& name) {
    std::optional<std::vector<uint8_t>> item;
    if (!archive.HasItem(name)) return item;
    item = archive.TakeItem(name);
    archive.ReleaseItem();
    return item;
  });
  CreateFormImages(images);

  Bitmap surface(640, 480);
  testing::RecordingSound sound;
  BitmapMeasure text(fonts);
  WidgetSet w;
  AddImageButton(w, images, 40, 20, "menutext1", 'P');
  AddImageButton(w, images, 40, 70, "menutext2", 'O');
  AddButton(w, text, 360, 30, "Create", 'C');
  AddButton(w, text, 360, 60, "Load", 'L');
  AddButton(w, text, 360, 90, "Delete", 'D');
  w.Buttons[3].State = kWidgetDisabled;
  AddValueButton(w, text, 360, 120, "Music:", 110, "80%", 'M');
  AddCentredButton(w, text, 450, "Return to main menu", 'R');
  AddOptionItem(w, text, 200, 180, "Up:");
  AddOptionItem(w, text, 200, 205, "Lose a life: ");
  w.OptionItems[1].Value = "Cursor Up";
  AddCheckbox(w, 40, 250, "Enable joystick");
  AddCheckbox(w, 40, 280, "Unchecked box");
  w.Checkboxes[2].Checked = 0;
  AddSlider(w, 360, 200, 20, 16);
  AddSlider(w, 360, 240, 20, 1);
  w.List.Left = 40, w.List.Top = 310, w.List.Columns = 20, w.List.Rows = 6;
  w.List.Items = {"Alice", "Bob\x01", "Carol", "Dave", "Eve", "Frank", "Grace", "Heidi"};
  w.List.Selected = 2;

  WidgetContext ctx{surface, fonts, images, sound};
  auto frame = [&](double x, double y) {
    ctx.PointerX = x, ctx.PointerY = y;
    surface.Fill(0);
    DrawImageButtons(w, ctx);
    DrawButtons(w, ctx);
    DrawOptionItems(w, ctx);
    DrawCheckboxes(w, ctx);
    DrawSliders(w, ctx);
    DrawList(w, ctx);
  };
  frame(0, 0);
  frame(370, 40);  // hover "Create"
  frame(0, 0);     // a few frames of its fade
  frame(205, 183);  // hover the first option item
  EXPECT_EQ(sound.CountOf(kHoverSound), 2);

  // Every kind left ink on the screen.
  auto inked = [&](const TRect& r) {
    for (int y = r.Top; y < r.Bottom; ++y) {
      for (int x = r.Left; x < r.Right; ++x) {
        if (surface.Pixel(x, y)) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(inked(Bounds(40, 20, 100, 30)));
  EXPECT_TRUE(inked(Bounds(360, 90, 60, 20)));   // the disabled button
  EXPECT_TRUE(inked(Bounds(470, 125, 30, 15)));  // the value text
  EXPECT_TRUE(inked(Bounds(200, 180, 60, 20)));
  EXPECT_EQ(surface.Pixel(w.List.Left + 20, w.List.Top + 3 + 18 + 2), kOrange);

  if (const char* path = std::getenv("GRAVIK_WIDGETS_PNG")) {
    EXPECT_TRUE(WritePng(path, surface));
  }
}

}  // namespace
}  // namespace gravik
