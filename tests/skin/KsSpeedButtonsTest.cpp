// The tool-strip container and divider: transparent at run time (every pixel is the
// parent's), a grey one-pixel outline only while designed, the divider 8 pixels wide,
// both classes registered for streaming.
#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "classlib/ClassRegistry.h"
#include "skin/KsSpeedButtons.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

// A windowed skinned parent whose every pixel names its coordinates.
class TCodedParent : public TKsCustomControl {
  KIVO_CLASS(TCodedParent, TKsCustomControl)
 public:
  using TKsCustomControl::TKsCustomControl;

 protected:
  void PaintBuffer() override {
    TKsBitmap* buffer = GetBuffer();
    for (int y = 0; y < buffer->GetHeight(); ++y)
      for (int x = 0; x < buffer->GetWidth(); ++x)
        buffer->SetPixel(x, y, Coded(x, y));
  }
};

bool OnOutline(int x, int y, int width, int height) {
  return x == 0 || y == 0 || x == width - 1 || y == height - 1;
}

class KsSpeedButtonsTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Parent = new TCodedParent(Form);
    Parent->SetParent(Form);
    Parent->SetBounds(0, 0, 120, 60);
  }
  static void PaintInto(TControl* control, TDibSurface& surface) {
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()));
    GdiFlush();
  }
  // Paints `painted` and compares the region of the control at (left, top) of the
  // parent with the parent's pixels, framed in grey when `outlined`; the region lies at
  // (originX, originY) of the painted picture.
  static void ExpectParentShows(TControl* painted, int originX, int originY, int left, int top, int width,
                                int height, bool outlined) {
    TDibSurface surface(painted->GetWidth(), painted->GetHeight());
    PaintInto(painted, surface);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const TKsColor want =
            outlined && OnOutline(x, y, width, height) ? KsSpeedOutlineColor : Coded(x + left, y + top);
        ASSERT_EQ(surface.Pixel(originX + x, originY + y), want) << x << ", " << y;
      }
  }
  TCodedParent* Parent = nullptr;
};

TEST_F(KsSpeedButtonsTest, NewControlsAreTransparentTheDividerIs8PixelsWide) {
  auto* divider = new TKsSpeedDivider(Form);
  EXPECT_EQ(divider->GetWidth(), 8);
  EXPECT_TRUE(divider->GetTransparent());
  auto* container = new TKsSpeedContainer(Form);
  EXPECT_TRUE(container->GetTransparent());
  EXPECT_TRUE(container->GetControlStyle().Contains(csAcceptsControls));
  EXPECT_EQ(GetClass("TKsSpeedContainer"), TKsSpeedContainer::StaticClass());
  EXPECT_EQ(GetClass("TKsSpeedDivider"), TKsSpeedDivider::StaticClass());
}

TEST_F(KsSpeedButtonsTest, AtRunTimeEveryPixelIsTheParentsBackground) {
  auto* container = new TKsSpeedContainer(Form);
  container->SetParent(Parent);
  container->SetBounds(7, 9, 40, 24);
  ExpectParentShows(container, 0, 0, 7, 9, 40, 24, /*outlined=*/false);

  auto* divider = new TKsSpeedDivider(Form);
  divider->SetParent(Parent);
  divider->SetBounds(60, 5, 8, 30);
  ExpectParentShows(Parent, 60, 5, 60, 5, 8, 30, /*outlined=*/false);
}

TEST_F(KsSpeedButtonsTest, WhileDesignedBothShowAGreyOutline) {
  auto* container = new TKsSpeedContainer(Form);
  container->SetDesigning(true);
  container->SetParent(Parent);
  container->SetBounds(7, 9, 40, 24);
  ExpectParentShows(container, 0, 0, 7, 9, 40, 24, /*outlined=*/true);

  auto* divider = new TKsSpeedDivider(Form);
  divider->SetDesigning(true);
  divider->SetParent(Parent);
  divider->SetBounds(60, 5, 8, 30);
  ExpectParentShows(Parent, 60, 5, 60, 5, 8, 30, /*outlined=*/true);
}

}  // namespace
