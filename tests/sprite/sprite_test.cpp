#include <gtest/gtest.h>

#include "base/Errors.h"
#include "sprite/GameSprites.h"

namespace gravik {
namespace {

constexpr uint16_t kGrey = Rgb565(128, 128, 128);

// An entry with one solid-coloured pattern of the given size.
void SolidImage(ImageEntry& e, int w, int h, uint16_t colour) {
  e.Picture = Bitmap(w, h, colour);
  e.Transparent = false;
  RebuildSurfaces(e);
}

struct EngineFixture : ::testing::Test {
  Bitmap surface{640, 480, kGrey};
  TSpriteEngine engine;
  EngineFixture() { engine.SetSurface(&surface); }
};

using SpriteTree = EngineFixture;

TEST_F(SpriteTree, OwnershipAndCounts) {
  EXPECT_EQ(engine.Engine(), nullptr);
  EXPECT_EQ(engine.Width, 640);
  EXPECT_EQ(engine.SurfaceRect(), Bounds(0, 0, 640, 480));
  auto* a = new TSprite(&engine);
  auto* b = new TSprite(a);
  auto* c = new TSprite(b);
  EXPECT_EQ(a->Engine(), &engine);
  EXPECT_EQ(c->Engine(), &engine);
  EXPECT_EQ(c->Parent(), b);
  EXPECT_EQ(engine.SpriteCount(), 3);
  a->X = 10;
  b->X = 5.5;
  c->X = -1;
  EXPECT_DOUBLE_EQ(c->WorldX(), 14.5);

  delete b;  // takes c with it
  EXPECT_EQ(engine.SpriteCount(), 1);
  EXPECT_EQ(a->ChildCount(), 0);
  EXPECT_TRUE(a->DrawOrder().empty());
}

TEST_F(SpriteTree, ChildAtOutOfRangeRaises) {
  auto* a = new TSprite(&engine);
  EXPECT_EQ(engine.ChildAt(0), a);
  for (int bad : {1, -1}) {
    try {
      engine.ChildAt(bad);
      FAIL() << bad;
    } catch (const ESpriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Index of the list exceeds the range. (" + std::to_string(bad) + ")");
    }
  }
}

TEST_F(SpriteTree, EqualDepthGoesUnderneath) {
  auto* a = new TSprite(&engine);
  auto* b = new TSprite(&engine);
  auto* c = new TSprite(&engine);
  // Each new child goes below the existing ones of Z 0.
  EXPECT_EQ(engine.DrawOrder(), (std::vector<TSprite*>{c, b, a}));
  EXPECT_EQ(engine.Children(), (std::vector<TSprite*>{a, b, c}));
  a->SetZ(1);
  c->SetZ(1);  // set last: drawn first
  EXPECT_EQ(engine.DrawOrder(), (std::vector<TSprite*>{b, c, a}));
  b->SetZ(5);
  a->SetZ(-3);
  EXPECT_EQ(engine.DrawOrder(), (std::vector<TSprite*>{a, c, b}));
  c->SetZ(1);  // unchanged Z: no move
  EXPECT_EQ(engine.DrawOrder(), (std::vector<TSprite*>{a, c, b}));
}

TEST_F(SpriteTree, EqualDepthDrawsLastSetOnTop) {
  ImageEntry red, blue;
  SolidImage(red, 8, 8, Rgb565(255, 0, 0));
  SolidImage(blue, 8, 8, Rgb565(0, 0, 255));
  auto* first = new TImageSprite(&engine);
  auto* second = new TImageSprite(&engine);
  for (auto* s : {first, second}) s->Width = s->Height = 8;
  first->Image = &red;
  second->Image = &blue;
  second->SetZ(2);
  first->SetZ(2);  // set last: underneath
  engine.RenderFrame();
  EXPECT_EQ(surface.Pixel(0, 0), Rgb565(0, 0, 255));
  EXPECT_EQ(engine.DrawnCount(), 2);
}

TEST_F(SpriteTree, InvisibleAndInactiveSubtrees) {
  ImageEntry img;
  SolidImage(img, 4, 4, 0x1234);
  auto* parent = new TImageSprite(&engine);
  auto* child = new TImageSprite(parent);
  parent->Width = parent->Height = child->Width = child->Height = 4;
  child->Image = &img;
  child->X = 20;
  child->FrameCount = 10;
  child->FrameSpeed = 1;

  parent->Visible = false;
  engine.RenderFrame();
  EXPECT_EQ(engine.DrawnCount(), 0);
  EXPECT_EQ(surface.Pixel(20, 0), kGrey);
  parent->Visible = true;
  engine.RenderFrame();
  EXPECT_EQ(engine.DrawnCount(), 2);
  EXPECT_EQ(surface.Pixel(20, 0), 0x1234);

  parent->Active = false;
  engine.AdvanceAll(1);
  EXPECT_EQ(child->FramePos, 0);
  parent->Active = true;
  engine.AdvanceAll(1);
  EXPECT_EQ(child->FramePos, 1);
}

TEST_F(SpriteTree, SpritesOffTheSurfaceAreCulled) {
  ImageEntry img;
  SolidImage(img, 10, 10, 0x1111);
  auto* s = new TImageSprite(&engine);
  s->Image = &img;
  s->Width = s->Height = 10;
  s->X = 640;
  engine.RenderFrame();
  EXPECT_EQ(engine.DrawnCount(), 0);
  s->X = -9.5;  // trunc towards zero: x = -9, one column shows
  engine.RenderFrame();
  EXPECT_EQ(engine.DrawnCount(), 1);
  EXPECT_EQ(surface.Pixel(0, 0), 0x1111);
  EXPECT_EQ(surface.Pixel(1, 0), kGrey);
}

TEST_F(SpriteTree, DeadSpritesGoAtFlush) {
  auto* a = new TSprite(&engine);
  auto* b = new TSprite(a);
  new TSprite(&engine);
  b->Dead();
  a->Dead();
  b->Dead();  // once only
  EXPECT_EQ(engine.DeadList().size(), 2u);
  engine.FlushDead();
  EXPECT_TRUE(engine.DeadList().empty());
  EXPECT_EQ(engine.SpriteCount(), 1);
  EXPECT_EQ(engine.ChildCount(), 1);
}

TEST(ImageSprite, FrameAnimation) {
  TSpriteEngine engine;
  auto* s = new TImageSprite(&engine);
  s->FrameCount = 3;
  s->FrameSpeed = 1;
  engine.AdvanceAll(1);
  engine.AdvanceAll(1);
  EXPECT_EQ(s->FramePos, 2);
  EXPECT_EQ(s->FrameSpeed, 1);
  engine.AdvanceAll(1);
  EXPECT_EQ(s->FramePos, 2);  // stops on the last frame
  EXPECT_EQ(s->FrameSpeed, 0);

  s->FramePos = -0.5;
  s->FrameSpeed = -1;
  engine.AdvanceAll(1);
  EXPECT_EQ(s->FramePos, 0);
  EXPECT_EQ(s->FrameSpeed, 0);

  s->FrameLoop = true;
  s->FrameCount = 0;
  s->FramePos = 7;
  s->FrameSpeed = 1;
  engine.AdvanceAll(1);
  EXPECT_EQ(s->FramePos, 0);

  s->FrameCount = 4;
  s->FramePos = 3;
  s->FrameSpeed = 1.5;
  engine.AdvanceAll(1);
  EXPECT_DOUBLE_EQ(s->FramePos, 0.5);
  s->FrameSpeed = -1;
  engine.AdvanceAll(1);
  EXPECT_DOUBLE_EQ(s->FramePos, 3.5);
  engine.AdvanceAll(2);
  EXPECT_DOUBLE_EQ(s->FramePos, 1.5);

  // The game's own idiom: pick frame n with FramePos n, FrameCount n + 1.
  s->FrameLoop = false;
  s->FrameSpeed = 0;
  s->FramePos = 12;
  s->FrameCount = 13;
  s->FrameStart = 2;
  engine.AdvanceAll(1);
  EXPECT_EQ(s->FrameIndex(), 14);
}

TEST_F(SpriteTree, WrappedBounds) {
  auto* s = new TImageSprite(&engine);
  s->Width = s->Height = 64;
  s->Wrap = true;
  s->X = 700;  // 700 mod 704 = 700, beyond the right edge: 700 - 704
  EXPECT_EQ(s->ScreenBounds().Left, -4);
  s->X = 1500;
  EXPECT_EQ(s->ScreenBounds().Left, 92);
  s->X = -10;
  EXPECT_EQ(s->ScreenBounds().Left, -10);
  s->X = 640;
  EXPECT_EQ(s->ScreenBounds().Left, 640);
  s->Y = -1000;  // -1000 mod 544 = 88
  EXPECT_EQ(s->ScreenBounds().Top, 88);
  s->Wrap = false;
  EXPECT_EQ(s->ScreenBounds(), Bounds(640, -1000, 64, 64));

  // No surface size to wrap against: no division by zero.
  TSpriteEngine bare;
  auto* t = new TImageSprite(&bare);
  t->Wrap = true;
  t->X = 50;
  EXPECT_EQ(t->ScreenBounds().Left, 50);
}

TEST_F(SpriteTree, ImageIsCentredInTheBox) {
  ImageEntry cursor;
  SolidImage(cursor, 23, 35, 0x0F0F);
  auto* s = new TPlayer(&engine);
  s->Image = &cursor;
  s->Width = s->Height = 64;
  s->X = 100;
  s->Y = 50;
  EXPECT_EQ(s->DrawRect(), Bounds(120, 64, 23, 35));  // 41 div 2, 29 div 2
  engine.RenderFrame();
  EXPECT_EQ(surface.Pixel(119, 64), kGrey);
  EXPECT_EQ(surface.Pixel(120, 64), 0x0F0F);
  EXPECT_EQ(surface.Pixel(142, 98), 0x0F0F);
  EXPECT_EQ(surface.Pixel(143, 98), kGrey);

  // An image wider than the box sits left of the position (division truncates).
  ImageEntry wide;
  SolidImage(wide, 69, 64, 1);
  s->Image = &wide;
  EXPECT_EQ(s->DrawRect().Left, 98);
}

TEST(DXSpriteEngine, RendersOnlyWhileTheSurfaceIsUp) {
  TDXSpriteEngine dx;
  ImageEntry img;
  SolidImage(img, 4, 4, 0x2222);
  auto* s = new TImageSprite(&dx.Engine);
  s->Image = &img;
  s->Width = s->Height = 4;
  dx.Render();  // nothing attached: no draw, no crash
  EXPECT_EQ(dx.Engine.DrawnCount(), 0);

  Bitmap back(640, 480);
  dx.SurfaceUp(back);
  dx.Advance(1);
  dx.FlushDead();
  dx.Render();
  EXPECT_EQ(back.Pixel(0, 0), 0x2222);
  EXPECT_EQ(dx.Engine.DrawnCount(), 1);

  back.Fill(0);
  dx.SurfaceDown();
  EXPECT_EQ(dx.Engine.Surface(), nullptr);
  dx.Render();
  EXPECT_EQ(back.Pixel(0, 0), 0);
  dx.SurfaceUp(back);
  dx.Detach();
  dx.Render();
  EXPECT_EQ(back.Pixel(0, 0), 0);
  EXPECT_FALSE(dx.Attached());
}

}  // namespace
}  // namespace gravik
