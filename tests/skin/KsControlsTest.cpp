// The skinned control bases: buffers that follow the size in steps, painting only
// through the buffer, the parent's background behind Transparent and Blend controls,
// windowless skinned children rendered into their parent's buffer, and the built-in
// scroll bars forwarding their scrolling.
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "skin/KsControls.h"
#include "skin/KsUtils.h"
#include "skin/KsScrollBars.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

constexpr TKsColor kFace = Argb(255, 200, 100, 50);
constexpr TColor kFormColor = TColor(RGB(10, 20, 30));
constexpr TKsColor kFormPixel = Argb(255, 10, 20, 30);
constexpr uint32_t kSentinel = 0x12345678;

// A windowed skinned control that paints kFace over `Spot` (the whole buffer when
// empty) or, with Coded set, every pixel with its own coordinates; it records the
// scrolling its built-in bars forward.
class TPaintedControl : public TKsCustomControl {
  KIVO_CLASS(TPaintedControl, TKsCustomControl)
 public:
  using TKsCustomControl::TKsCustomControl;
  using TKsCustomControl::SetScrollBars;
  TRect Spot{};
  bool Coded = false;
  int Paints = 0;
  int MoveBarTo = -1;
  std::vector<std::pair<UINT, WPARAM>> Scrolls;

  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_HSCROLL || message.Msg == WM_VSCROLL) {
      Scrolls.emplace_back(message.Msg, message.WParam);
      if (MoveBarTo >= 0)
        (message.Msg == WM_HSCROLL ? GetHorzScrollBar() : GetVertScrollBar())->SetPosition(MoveBarTo);
      return;
    }
    inherited::Dispatch(message);
  }

 protected:
  void PaintBuffer() override {
    ++Paints;
    inherited::PaintBuffer();
    TKsBitmap* buffer = GetBuffer();
    if (Coded) {
      for (int y = 0; y < buffer->GetHeight(); ++y)
        for (int x = 0; x < buffer->GetWidth(); ++x)
          buffer->SetPixel(x, y, ::Coded(x, y));
      return;
    }
    buffer->FillRect(RectIsEmpty(Spot) ? Rect(0, 0, buffer->GetWidth(), buffer->GetHeight()) : Spot,
                     kFace);
  }
};

// A windowless skinned control that paints kFace over `Spot` only.
class TSpotGraphic : public TKsGraphicControl {
  KIVO_CLASS(TSpotGraphic, TKsGraphicControl)
 public:
  using TKsGraphicControl::TKsGraphicControl;
  TRect Spot{};

 protected:
  void PaintBuffer() override {
    inherited::PaintBuffer();
    GetBuffer()->FillRect(Spot, kFace);
  }
};

// A windowed parent that says it is skinned, as a skinned form does.
class TSkinnedParent : public TWinControl {
  KIVO_CLASS(TSkinnedParent, TWinControl)
 public:
  using TWinControl::TWinControl;
  void Dispatch(TMessage& message) override {
    if (message.Msg == KM_ISPARENTSKINNED) {
      message.Result = 1;
      return;
    }
    inherited::Dispatch(message);
  }
};

class KsControlsTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Form->SetColor(kFormColor);
  }
  TPaintedControl* MakeControl(int left, int top, int width, int height) {
    auto* control = new TPaintedControl(Form);
    control->SetParent(Form);
    control->SetBounds(left, top, width, height);
    return control;
  }
  static void PaintInto(TControl* control, TDibSurface& surface) {
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()));
    GdiFlush();
  }
  static void FillSentinel(TDibSurface& surface) {
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = 0; x < surface.Width(); ++x)
        SetPixelV(surface.DC(), x, y, RGB(0x56, 0x34, 0x12));
    GdiFlush();
  }
};

TEST_F(KsControlsTest, BuffersFollowTheSizeInStepsOf30) {
  TPaintedControl* control = MakeControl(0, 0, 100, 30);
  TKsBitmap* buffer = control->GetBuffer();
  EXPECT_EQ(buffer->GetWidth(), 120);
  EXPECT_EQ(buffer->GetHeight(), 60);
  control->SetBounds(0, 0, 101, 30);  // within the step: kept
  EXPECT_EQ(buffer->GetWidth(), 120);
  EXPECT_EQ(buffer->GetHeight(), 60);
  control->SetBounds(0, 0, 40, 20);  // more than one step smaller: shrunk
  EXPECT_EQ(buffer->GetWidth(), 60);
  EXPECT_EQ(buffer->GetHeight(), 30);
  control->SetBounds(0, 0, 200, 95);  // larger: grown
  EXPECT_EQ(buffer->GetWidth(), 210);
  EXPECT_EQ(buffer->GetHeight(), 120);
  control->HandleNeeded();
  SetWindowPos(control->GetHandle(), nullptr, 0, 0, 61, 31, SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_EQ(control->GetBufferWidth(), 61);
  EXPECT_EQ(control->GetBufferHeight(), 31);
  EXPECT_EQ(buffer->GetWidth(), 90);  // a window resize follows the same steps
  EXPECT_EQ(buffer->GetHeight(), 60);

  auto* graphic = new TSpotGraphic(Form);
  EXPECT_EQ(graphic->GetBlendValue(), 150);
  EXPECT_EQ(graphic->GetBuffer()->GetWidth(), 120);
  graphic->SetBounds(0, 0, 40, 20);
  EXPECT_EQ(graphic->GetBuffer()->GetWidth(), 60);
  EXPECT_EQ(graphic->GetBuffer()->GetHeight(), 30);
}

TEST_F(KsControlsTest, SystemEraseIsAnsweredWithoutPaintingAChildRequestGetsTheBuffer) {
  TPaintedControl* control = MakeControl(0, 0, 40, 20);
  control->HandleNeeded();
  TDibSurface surface(40, 20);
  FillSentinel(surface);
  const uint32_t before = surface.Pixel(5, 5);
  EXPECT_EQ(control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.DC()), 0), 1);
  GdiFlush();
  EXPECT_EQ(surface.Pixel(5, 5), before);
  EXPECT_EQ(SendMessageA(control->GetHandle(), WM_ERASEBKGND,
                         reinterpret_cast<WPARAM>(surface.DC()), KsChildEraseMarker),
            1);
  GdiFlush();
  EXPECT_EQ(surface.Pixel(5, 5), kFace);
  EXPECT_EQ(surface.Pixel(39, 19), kFace);
}

TEST_F(KsControlsTest, TransparentControlShowsItsParentsBufferAligned) {
  TPaintedControl* parent = MakeControl(0, 0, 120, 80);
  parent->Coded = true;
  parent->Invalidate();
  auto* child = new TPaintedControl(Form);
  child->SetParent(parent);
  child->SetBounds(7, 9, 50, 30);
  child->Spot = Rect(10, 5, 30, 15);
  child->SetTransparent(true);
  TDibSurface surface(50, 30);
  PaintInto(child, surface);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 50; ++x) {
      const bool inSpot = x >= 10 && x < 30 && y >= 5 && y < 15;
      ASSERT_EQ(surface.Pixel(x, y), inSpot ? kFace : Coded(x + 7, y + 9)) << x << ", " << y;
    }
}

TEST_F(KsControlsTest, BlendMixesWithTheParentsBackgroundExactly) {
  for (int value : {0, 128, 255}) {
    TPaintedControl* control = MakeControl(5, 5, 30, 20);
    control->SetBlend(true);
    control->SetBlendValue(value);
    TDibSurface surface(30, 20);
    PaintInto(control, surface);
    const TKsColor expected = value == 0     ? kFormPixel
                              : value == 255 ? kFace
                                             : KsAlphaBlendPixel((kFace & 0xFFFFFFu) | TKsColor(value) << 24,
                                                                 kFormPixel);
    EXPECT_EQ(surface.Pixel(0, 0), expected) << "BlendValue " << value;
    EXPECT_EQ(surface.Pixel(29, 19), expected) << "BlendValue " << value;
    delete control;
  }
}

TEST_F(KsControlsTest, WindowlessSkinnedChildShowsItsParentsBufferThroughTransparentPixels) {
  TPaintedControl* parent = MakeControl(0, 0, 100, 60);
  parent->Coded = true;
  auto* child = new TSpotGraphic(Form);
  child->SetParent(parent);
  child->SetBounds(11, 4, 40, 20);
  child->Spot = Rect(5, 5, 15, 10);
  child->SetTransparent(true);
  TDibSurface surface(100, 60);
  PaintInto(parent, surface);
  EXPECT_FALSE(child->GetPaintingInParent());
  EXPECT_EQ(surface.Pixel(0, 0), Coded(0, 0));
  EXPECT_EQ(surface.Pixel(99, 59), Coded(99, 59));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inSpot = x >= 5 && x < 15 && y >= 5 && y < 10;
      ASSERT_EQ(surface.Pixel(11 + x, 4 + y), inSpot ? kFace : Coded(11 + x, 4 + y)) << x << ", " << y;
    }
}

TEST_F(KsControlsTest, UnderASkinnedParentTheBufferIsAlwaysPaintedAgain) {
  TPaintedControl* plain = MakeControl(0, 0, 30, 20);
  TDibSurface surface(30, 20);
  PaintInto(plain, surface);
  EXPECT_FALSE(plain->IsParentSkinned());
  const int paints = plain->Paints;
  plain->PaintBufferFull();  // nothing changed: not painted
  EXPECT_EQ(plain->Paints, paints);

  auto* skinnedParent = new TSkinnedParent(Form);
  skinnedParent->SetParent(Form);
  auto* child = new TPaintedControl(Form);
  child->SetParent(skinnedParent);
  EXPECT_TRUE(child->IsParentSkinned());
  PaintInto(child, surface);
  const int childPaints = child->Paints;
  child->PaintBufferFull();
  EXPECT_EQ(child->Paints, childPaints + 1);
}

TEST_F(KsControlsTest, BuiltInScrollBarsAreLaidOutAndForwardTheirScrolling) {
  TPaintedControl* control = MakeControl(0, 0, 150, 100);
  control->SetScrollBars(ssBoth);
  control->HandleNeeded();
  EXPECT_EQ(GetWindowLongA(control->GetHandle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
  TKsCustomScrollBar* horz = control->GetHorzScrollBar();
  TKsCustomScrollBar* vert = control->GetVertScrollBar();
  ASSERT_NE(horz, nullptr);
  ASSERT_NE(vert, nullptr);
  const int s = GetSystemMetrics(SM_CYVTHUMB);
  EXPECT_TRUE(RectEquals(horz->GetBoundsRect(), Rect(0, 100 - s, 150 - s, 100)));
  EXPECT_TRUE(RectEquals(vert->GetBoundsRect(), Rect(150 - s, 0, 150, 100 - s)));
  EXPECT_EQ(horz->GetKind(), sbHorizontal);
  EXPECT_EQ(vert->GetKind(), sbVertical);
  EXPECT_EQ(horz->GetBorderWidth(), 0);

  horz->KeyStep(VK_RIGHT);
  vert->KeyStep(VK_END);
  ASSERT_EQ(control->Scrolls.size(), 2u);
  EXPECT_EQ(control->Scrolls[0], std::make_pair(UINT(WM_HSCROLL), WPARAM(MAKEWPARAM(scLineDown, 1))));
  EXPECT_EQ(control->Scrolls[1], std::make_pair(UINT(WM_VSCROLL), WPARAM(MAKEWPARAM(scBottom, 100))));
  // As with a system scroll bar, the control decides: it did not move the bar, so the
  // bar stays; when it moves the bar while handling the message, the bar keeps that.
  EXPECT_EQ(horz->GetPosition(), 0);
  control->MoveBarTo = 42;
  horz->KeyStep(VK_RIGHT);
  EXPECT_EQ(horz->GetPosition(), 42);

  control->SetScrollLock(true);
  control->Scrolls.clear();
  vert->KeyStep(VK_END);
  EXPECT_TRUE(control->Scrolls.empty());
  EXPECT_EQ(vert->GetPosition(), 100);  // not forwarded: the bar scrolls by itself
}

}  // namespace
