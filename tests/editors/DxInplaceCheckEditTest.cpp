// The check editor: its own default style, toggling with and without the grayed
// state, loading values quietly, Space and mouse presses, and the box drawn by the
// system's frame control or from a glyph strip.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "classlib/GdiHandles.h"
#include "editors/DxInplaceCheckEdit.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

class TTestCheckEdit : public TdxInplaceCheckEdit {
  KIVO_CLASS(TTestCheckEdit, TdxInplaceCheckEdit)
 public:
  using TdxInplaceCheckEdit::TdxInplaceCheckEdit;
  using TdxInplaceCheckEdit::KeyDown;
  using TdxInplaceCheckEdit::KeyUp;
  int Changes = 0;
  void Change() override {
    ++Changes;
    inherited::Change();
  }
};

class DxInplaceCheckEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Check = new TTestCheckEdit(Container);
    Check->SetParent(Container);
    Check->SetBounds(10, 10, 100, 22);
  }
  TTestCheckEdit* Check = nullptr;
};

TEST_F(DxInplaceCheckEditTest, OwnStyleFollowsTheCheckController) {
  TTestCheckEdit alone(Form);
  EXPECT_TRUE(alone.GetStyle()->Is<TdxCheckEditStyle>());
  EXPECT_EQ(alone.GetStyle()->GetBorderStyle(), xbsNone);
  EXPECT_EQ(alone.GetStyle()->GetButtonStyle(), bts3D);
  TdxEditStyle::DefaultStyleController()->SetBorderStyle(xbsFlat);
  EXPECT_EQ(alone.GetStyle()->GetBorderStyle(), xbsNone) << "the ordinary default does not reach it";
  TdxEditStyle::DefaultStyleController()->RestoreDefaults();
  TdxCheckEditStyle::DefaultStyleController()->RestoreDefaults();
  EXPECT_EQ(TdxCheckEditStyle::DefaultStyleController()->GetBorderStyle(), xbsNone);
}

TEST_F(DxInplaceCheckEditTest, ToggleGoesThroughGrayedOnlyWhenAllowed) {
  Check->Toggle();
  EXPECT_EQ(Check->GetState(), cbsChecked);
  Check->Toggle();
  EXPECT_EQ(Check->GetState(), cbsUnchecked);
  Check->SetAllowGrayed(true);
  Check->Toggle();
  EXPECT_EQ(Check->GetState(), cbsGrayed);
  Check->Toggle();
  EXPECT_EQ(Check->GetState(), cbsChecked);
  EXPECT_TRUE(Check->GetModified());
  EXPECT_EQ(Check->Changes, 4);
  Container->AllowModify = false;
  Check->Toggle();
  EXPECT_EQ(Check->GetState(), cbsChecked);
}

TEST_F(DxInplaceCheckEditTest, LoadingAValueIsQuiet) {
  Check->SetEditValue(Variant(int32_t(2)));
  EXPECT_EQ(Check->GetState(), cbsGrayed);
  EXPECT_EQ(Check->Changes, 0);
  EXPECT_FALSE(Check->GetModified());
  Variant value;
  Check->GetEditValue(value);
  EXPECT_EQ(value.AsInteger(), 2);
  Check->SetEditValue(Variant("1"));
  EXPECT_EQ(Check->GetState(), cbsChecked);
}

TEST_F(DxInplaceCheckEditTest, SpaceTogglesAtKeyUpAndAPressMovedOffDoesNot) {
  WORD key = VK_SPACE;
  Check->KeyDown(key, {});
  EXPECT_TRUE(Check->GetPressed());
  EXPECT_EQ(Check->GetState(), cbsUnchecked);
  key = VK_SPACE;
  Check->KeyUp(key, {});
  EXPECT_FALSE(Check->GetPressed());
  EXPECT_EQ(Check->GetState(), cbsChecked);

  HWND wnd = Check->GetHandle();
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(Check->GetPressed());
  SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(WORD(-40), WORD(-40)));
  EXPECT_FALSE(Check->GetPressed());
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(WORD(-40), WORD(-40)));
  EXPECT_EQ(Check->GetState(), cbsChecked);
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Check->GetState(), cbsUnchecked);
}

TEST_F(DxInplaceCheckEditTest, BoxIsTheSystemFrameControl) {
  Check->SetEditValue(Variant(int32_t(1)));
  std::unique_ptr<TdxEditViewData> v(Check->CreateViewData(true));
  v->ButtonStyle = bts3D;
  TDibSurface surface(100, 22), expected(100, 22);
  expected.Fill(v->Color);  // the cell's background, which the editor paints first
  const TRect cell = Rect(0, 0, 100, 22);
  Check->EditClass()->DrawContent(surface.DC(), cell, v.get(), false);
  const SIZE box = DxCheckSize();
  TRect boxRect, caption;
  TdxInplaceCheckEdit::CalcLayout(cell, taLeftJustify, box, boxRect, caption);
  EXPECT_EQ(boxRect.left, 2);
  EXPECT_EQ(boxRect.top, (2 + 20 - box.cy) / 2);
  DrawFrameControl(expected.DC(), &boxRect, DFC_BUTTON, DFCS_CHECKED);
  for (int y = boxRect.top; y < boxRect.bottom; ++y)
    for (int x = boxRect.left; x < boxRect.right; ++x)
      ASSERT_EQ(surface.Color(x, y), expected.Color(x, y)) << x << "," << y;
}

TEST_F(DxInplaceCheckEditTest, PressedGlyphFallsBackToTheUnpressedImage) {
  TBitmap strip;
  strip.SetWidth(30);
  strip.SetHeight(10);
  const COLORREF colors[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  for (int i = 0; i < 3; ++i) {
    TBrushHandle brush(CreateSolidBrush(colors[i]));
    const TRect r = Rect(i * 10, 0, i * 10 + 10, 10);
    FillRect(strip.GetCanvas()->GetHandle(), &r, brush.Get());
  }
  strip.SetTransparentColor(TColor(RGB(1, 2, 3)));
  Check->SetGlyph(&strip);
  Check->SetGlyphCount(3);
  Check->SetEditValue(Variant(int32_t(1)));
  std::unique_ptr<TdxEditViewData> v(Check->CreateViewData(true));
  auto* cv = static_cast<TdxCheckEditViewData*>(v.get());
  cv->Pressed = true;
  cv->Alignment = taCenter;
  TDibSurface surface(40, 20);
  Check->EditClass()->DrawContent(surface.DC(), Rect(0, 0, 40, 20), v.get(), false);
  EXPECT_EQ(surface.Color(20, 10), RGB(0, 255, 0)) << "checked and pressed: image 4 falls back to 1";
}

}  // namespace
