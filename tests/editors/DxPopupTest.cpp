// The container's hint window and the popup control: placement on the screen, the
// mouse passing through a hint, the popup's frame, shape and activation, and the
// notice its editor gets when it hides.
#include <string>

#include <gtest/gtest.h>

#include "classlib/GdiHandles.h"
#include "editors/DxBlobPopup.h"
#include "editors/DxContainerHintWindow.h"
#include "editors/DxInplacePopupControl.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

using DxHintWindowTest = EditorTest;

TEST_F(DxHintWindowTest, HintNearTheCornerEndsAtTheScreenEdge) {
  auto* hint = new TdxContainerHintWindow(Form);
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  hint->ShowCellHint(TPoint{sw - 5, sh - 5}, "A cell's full text", Form->GetFont());
  RECT r{};
  GetWindowRect(hint->GetHandle(), &r);
  EXPECT_EQ(r.right, sw);
  EXPECT_EQ(r.bottom, sh);
  EXPECT_TRUE(IsWindowVisible(hint->GetHandle()));
  EXPECT_TRUE(GetWindowLongA(hint->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetActiveWindow(), hint->GetHandle());

  // The size is the measured text plus 6 each way.
  TMemoryDC dc;
  HGDIOBJ old = SelectObject(dc, hint->GetCanvas()->GetFont()->GetHandle());
  RECT m = Rect(0, 0, sw, 0);
  const std::string text = "A cell's full text";
  DrawTextA(dc, text.c_str(), int(text.size()), &m, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
  SelectObject(dc, old);
  EXPECT_EQ(r.right - r.left, m.right + 6);
  EXPECT_EQ(r.bottom - r.top, m.bottom + 6);
}

TEST_F(DxHintWindowTest, HintWiderThanTheScreenStartsAtTheLeftEdgeAndLetsTheMouseThrough) {
  auto* hint = new TdxContainerHintWindow(Form);
  const std::string longText(400, 'W');
  hint->ActivateHint(TPoint{300, 10}, 0, false, Form->GetFont(), longText);
  RECT r{};
  GetWindowRect(hint->GetHandle(), &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(SendMessageA(hint->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + 2, r.top + 2)), HTTRANSPARENT);
}

class TTestPopup : public TdxInplacePopupControl {
  KIVO_CLASS(TTestPopup, TdxInplacePopupControl)
 public:
  using TdxInplacePopupControl::TdxInplacePopupControl;
};

class DxPopupTest : public EditorTest {
 protected:
  TTestPopup* NewPopup() {
    auto* popup = new TTestPopup(Form);
    popup->SetIsPopup(true);
    popup->SetOwnerEdit(Edit);
    popup->SetVisible(false);
    popup->SetBounds(700, 450, 100, 60);
    return popup;
  }
  // Counts DXM_POPUPHIDDEN reaching the editor.
  int HiddenNotices() {
    int count = 0;
    MSG msg{};
    while (PeekMessageA(&msg, Edit->GetHandle(), DXM_POPUPHIDDEN, DXM_POPUPHIDDEN, PM_REMOVE))
      ++count;
    return count;
  }
};

TEST_F(DxPopupTest, FrameAndShadowReserveTheirWidths) {
  TTestPopup* popup = NewPopup();
  popup->SetPopupBorder(pbFrame3D);
  popup->SetShadow(true);
  RECT client{};
  GetClientRect(popup->GetHandle(), &client);
  EXPECT_EQ(client.right, 100 - 8 - 2);
  EXPECT_EQ(client.bottom, 60 - 8 - 2);
  EXPECT_EQ(GetWindow(popup->GetHandle(), GW_OWNER), Form->GetHandle());
  EXPECT_EQ(TdxInplacePopupControl::BorderWidth(pbSingle), 1);
  EXPECT_EQ(TdxInplacePopupControl::BorderWidth(pbFlat), 2);
  EXPECT_EQ(TdxInplacePopupControl::BorderWidth(pbDefault), 0);
}

TEST_F(DxPopupTest, ShadowShapesTheWindow) {
  TTestPopup* popup = NewPopup();
  popup->SetShadow(true);
  popup->SetBounds(700, 450, 100, 61);
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(popup->GetHandle(), region.Get()), ERROR);
  EXPECT_TRUE(PtInRegion(region.Get(), 0, 0));
  EXPECT_TRUE(PtInRegion(region.Get(), 99, 60));
  EXPECT_FALSE(PtInRegion(region.Get(), 99, 0));
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 60));
  popup->SetShadow(false);
  popup->SetBounds(700, 450, 100, 60);
  EXPECT_EQ(GetWindowRgn(popup->GetHandle(), region.Get()), ERROR);
}

TEST_F(DxPopupTest, AControlThatIsNoPopupKeepsAPlainFrame) {
  // Regression: the blob popup sized and painted its button bar and took the popup
  // window style when it was not shown as a popup, where the popup frame does not apply.
  auto* plain = new TTestPopup(Form);
  auto* blob = new TCustomdxBlobPopup(Form);
  blob->SetIsPopup(false);
  for (TdxInplacePopupControl* control : {static_cast<TdxInplacePopupControl*>(plain),
                                          static_cast<TdxInplacePopupControl*>(blob)}) {
    control->SetPopupBorder(pbFrame3D);
    control->SetShadow(true);
    control->SetParent(Form);
    control->SetBounds(10, 10, 100, 60);
    HWND wnd = control->GetHandle();
    RECT client{};
    GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, 100) << control->ClassName();
    EXPECT_EQ(client.bottom, 60) << control->ClassName();
    EXPECT_EQ(GetWindowLongA(wnd, GWL_STYLE) & WS_POPUP, 0) << control->ClassName();
    EXPECT_EQ(GetParent(wnd), Form->GetHandle()) << control->ClassName();
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(wnd, region.Get()), ERROR) << control->ClassName() << ": no shadow shape";
    const TPoint nearBottom = control->ClientToScreen(TPoint{50, 55});
    EXPECT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(nearBottom.x, nearBottom.y)), HTCLIENT)
        << control->ClassName() << ": no button bar";
  }
}

TEST_F(DxPopupTest, ClickDoesNotActivateAndHidingTellsTheEditor) {
  ShowForm();
  Edit->ShowEdit(Rect(10, 10, 100, 30));
  TTestPopup* popup = NewPopup();
  popup->ShowPopup();
  PumpPending();
  EXPECT_TRUE(IsWindowVisible(popup->GetHandle()));
  EXPECT_EQ(SendMessageA(popup->GetHandle(), WM_MOUSEACTIVATE, WPARAM(Form->GetHandle()),
                         MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  HiddenNotices();
  popup->HidePopup();
  EXPECT_FALSE(IsWindowVisible(popup->GetHandle()));
  EXPECT_EQ(GetFocus(), Edit->GetHandle());
  EXPECT_GE(HiddenNotices(), 1);
  popup->HidePopup();
  EXPECT_EQ(HiddenNotices(), 1) << "hiding a hidden popup still tells the editor";
}

}  // namespace
