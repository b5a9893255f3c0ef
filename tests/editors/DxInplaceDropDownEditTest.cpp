// The drop-down editor base: its button in the frame (width, picture, hiding,
// drawing), pressing and clicking it through the non-client messages, the keys that
// open and close a popup and those forwarded to it, and the popup's placement.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/GdiHandles.h"
#include "editors/DxInplaceDropDownEdit.h"
#include "editors/DxInplacePopupControl.h"
#include "editors/DxUtils.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

constexpr LPARAM kAltDown = 0x20000000;

// A popup that records the keys it is sent.
class TKeyPopup : public TdxInplacePopupControl {
  KIVO_CLASS(TKeyPopup, TdxInplacePopupControl)
 public:
  using TdxInplacePopupControl::TdxInplacePopupControl;
  std::vector<WORD> Keys;
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_KEYDOWN || message.Msg == WM_CHAR)
      Keys.push_back(WORD(message.WParam));
    inherited::Dispatch(message);
  }
};

// A drop-down editor with a plain popup that remembers how it was closed.
class TTestDropDown : public TdxInplaceDropDownEdit {
  KIVO_CLASS(TTestDropDown, TdxInplaceDropDownEdit)
 public:
  explicit TTestDropDown(TComponent* AOwner) : TdxInplaceDropDownEdit(AOwner, &MetaClass()) {}
  TKeyPopup* Popup = nullptr;
  std::vector<bool> Closes;
  std::vector<int> Clicks;
  int DropDowns = 0;

  void DropDown() override {
    ++DropDowns;
    if (!Popup) {
      Popup = new TKeyPopup(this);
      Popup->SetIsPopup(true);
      Popup->SetOwnerEdit(this);
      Popup->SetVisible(false);
      Popup->SetBounds(0, 0, 80, 50);
    }
    SetPopupControl(Popup);
    DoDropDown();
    PositionPopup(Popup, true);
    SetDroppedDownFlag(true);
    Popup->ShowPopup();
  }
  void CloseUp(bool accept) override {
    if (!GetDroppedDown())
      return;
    SetDroppedDownFlag(false);
    Popup->SetIsPopup(false);  // no focus hand-back in the middle of a key
    ShowWindow(Popup->GetHandle(), SW_HIDE);
    Popup->SetIsPopup(true);
    Closes.push_back(accept);
  }
  void ButtonClick(int index) override { Clicks.push_back(index); }
};

class DxInplaceDropDownEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Drop = new TTestDropDown(Container);
    Drop->SetParent(Container);
    Drop->SetBounds(10, 10, 120, 24);
  }
  std::unique_ptr<TdxDropDownEditViewData> View() {
    return std::unique_ptr<TdxDropDownEditViewData>(
        static_cast<TdxDropDownEditViewData*>(Drop->CreateViewData(false)));
  }
  TTestDropDown* Drop = nullptr;
};

TEST_F(DxInplaceDropDownEditTest, ButtonTakesItsWidthFromTheFrame) {
  auto v = View();
  TdxEditDrawRecord r;
  Drop->EditClass()->CalcViewData(v.get(), false, r);
  ASSERT_EQ(v->ButtonCount, 1);
  EXPECT_EQ(v->Buttons[0].Kind, bkDown);
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(v->Buttons[0].Width, w);
  EXPECT_EQ(r.InnerRect.right, 118 - w);
  RECT client{};
  GetClientRect(Drop->GetHandle(), &client);
  EXPECT_EQ(client.right, 116 - w) << "the button lies in the non-client area";

  Drop->GetStyle()->SetButtonStyle(btsFlat);
  v = View();
  Drop->EditClass()->CalcViewData(v.get(), false, r);
  EXPECT_EQ(v->Buttons[0].Width, w - 1);
}

TEST_F(DxInplaceDropDownEditTest, GlyphSizesTheButtonAndAnEmptyOneRemovesIt) {
  TBitmap glyph;
  glyph.SetWidth(10);
  glyph.SetHeight(8);
  Drop->SetButtonGlyph(&glyph);
  auto v = View();
  TdxEditDrawRecord r;
  Drop->EditClass()->CalcViewData(v.get(), false, r);
  EXPECT_EQ(v->Buttons[0].Kind, bkGlyph);
  EXPECT_EQ(v->Buttons[0].Width, 10 + 2 + 2) << "a 3D button adds 2";
  TBitmap empty;
  Drop->SetButtonGlyph(&empty);
  v = View();
  Drop->EditClass()->CalcViewData(v.get(), false, r);
  EXPECT_EQ(v->Buttons[0].Kind, bkDown);
}

TEST_F(DxInplaceDropDownEditTest, InactiveEditorHidesItsButtonWhenAsked) {
  Drop->GetStyle()->SetButtonTransparence(ebtHideInactive);
  auto v = View();
  TdxEditDrawRecord r;
  Drop->EditClass()->CalcViewData(v.get(), false, r);
  EXPECT_EQ(v->ButtonCount, 0);
  EXPECT_EQ(r.InnerRect.right, 118) << "the text takes the whole width";
  Drop->Perform(CM_MOUSEENTER);
  v = View();
  Drop->EditClass()->CalcViewData(v.get(), false, r);
  EXPECT_EQ(v->ButtonCount, 1);
}

TEST_F(DxInplaceDropDownEditTest, RaisedButtonMatchesTheSystemEdge) {
  auto v = View();
  TdxEditDrawRecord r;
  Drop->EditClass()->CalcViewData(v.get(), false, r);
  TDibSurface surface(130, 30), expected(130, 30);
  surface.Fill(RGB(255, 255, 255));
  expected.Fill(RGB(255, 255, 255));
  Drop->EditClass()->DrawBorder(surface.DC(), r, v.get());
  TRect rects[dxMaxEditButtons];
  TdxInplaceDropDownEdit::GetButtonRects(r, v.get(), rects);
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(rects[0], Rect(118 - w, 2, 118, 22));
  RECT edge = rects[0];
  DrawEdge(expected.DC(), &edge, EDGE_RAISED, BF_ADJUST | BF_RECT | BF_MIDDLE);
  for (int y = 2; y < 22; y += 3) {
    EXPECT_EQ(surface.Color(rects[0].left, y), expected.Color(rects[0].left, y));
    EXPECT_EQ(surface.Color(rects[0].right - 1, y), expected.Color(rects[0].right - 1, y));
  }
  // The arrow: a triangle in the button text colour at the centre.
  const int s = (RectWidth(edge) / 2) | 1;
  const int x = (edge.left + edge.right - s) / 2;
  const int y = (edge.top + edge.bottom - s / 2) / 2 - ((edge.bottom - edge.top) & 1);
  EXPECT_EQ(surface.Color(x + s / 2, y + 1), GetSysColor(COLOR_BTNTEXT));
}

TEST_F(DxInplaceDropDownEditTest, PressingAndReleasingTheButtonClicksIt) {
  ShowForm();
  Drop->ShowEdit(Rect(20, 30, 140, 50));
  RECT window{};
  GetWindowRect(Drop->GetHandle(), &window);
  const LPARAM onButton = MAKELPARAM(window.right - 5, window.top + 10);
  EXPECT_EQ(SendMessageA(Drop->GetHandle(), WM_NCHITTEST, 0, onButton), HTBORDER);
  EXPECT_EQ(Drop->GetHotButton(), 0);
  SendMessageA(Drop->GetHandle(), WM_NCLBUTTONDOWN, HTBORDER, onButton);
  EXPECT_EQ(Drop->GetPressedButton(), 0);
  SendMessageA(Drop->GetHandle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(Drop->Clicks, std::vector<int>{0});
  EXPECT_EQ(Drop->GetPressedButton(), -1);
  PumpPending();
  EXPECT_EQ(Drop->DropDowns, 1) << "the press asked for the popup through a posted message";

  const LPARAM onText = MAKELPARAM(window.left + 10, window.top + 10);
  EXPECT_NE(SendMessageA(Drop->GetHandle(), WM_NCHITTEST, 0, onText), HTBORDER);
  EXPECT_EQ(Drop->GetHotButton(), -1);
}

TEST_F(DxInplaceDropDownEditTest, KeysOpenCloseAndReachThePopup) {
  ShowForm();
  Drop->ShowEdit(Rect(20, 30, 140, 50));
  HWND wnd = Drop->GetHandle();
  SendMessageA(wnd, WM_SYSKEYDOWN, VK_DOWN, kAltDown);
  ASSERT_TRUE(Drop->GetDroppedDown());
  EXPECT_TRUE(IsWindowVisible(Drop->Popup->GetHandle()));
  SendMessageA(wnd, WM_KEYDOWN, 'A', 0);
  SendMessageA(wnd, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Drop->Popup->Keys, (std::vector<WORD>{'A', VK_DOWN})) << "an open popup gets the keys";
  SendMessageA(wnd, WM_SYSKEYDOWN, VK_DOWN, kAltDown);
  EXPECT_FALSE(Drop->GetDroppedDown());
  EXPECT_EQ(Drop->Closes, std::vector<bool>{true}) << "Alt+Down again accepts";

  SendMessageA(wnd, WM_KEYDOWN, VK_F4, 0);
  ASSERT_TRUE(Drop->GetDroppedDown());
  SendMessageA(wnd, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(Drop->GetDroppedDown());
  EXPECT_EQ(Drop->Closes.back(), false) << "Escape closes without accepting";

  const int before = Drop->DropDowns;
  SendMessageA(wnd, WM_SYSKEYDOWN, VK_F4, kAltDown);
  EXPECT_EQ(Drop->DropDowns, before) << "Alt+F4 does not toggle the popup";
  EXPECT_TRUE(SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
}

TEST_F(DxInplaceDropDownEditTest, PopupOpensBelowTheEditorAlignedAsAsked) {
  ShowForm();
  Drop->ShowEdit(Rect(20, 30, 140, 50));
  Drop->DropDown();
  RECT editor{}, popup{};
  GetWindowRect(Drop->GetHandle(), &editor);
  GetWindowRect(Drop->Popup->GetHandle(), &popup);
  // 3D frame: the inner rectangle starts 2 pixels in; the popup is widened to it.
  const int inner = (editor.right - editor.left) - 4 - GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(popup.left, editor.left + 2);
  EXPECT_EQ(popup.top, editor.bottom);
  EXPECT_EQ(popup.right - popup.left, inner);
  Drop->PopupAlignment = taRightJustify;
  Drop->Popup->SetWidth(40);
  Drop->PositionPopup(Drop->Popup, false);
  GetWindowRect(Drop->Popup->GetHandle(), &popup);
  EXPECT_EQ(popup.right, editor.left + 2 + inner);
  EXPECT_EQ(Drop->GetPopupBorder(), pbFrame3D) << "inside a container: the container's default";
  Drop->CloseUp(false);
}

}  // namespace
