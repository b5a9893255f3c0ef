// The image editor and its drop-down list: the image and description of a value, cells
// and the editor window painted from them, stepping and the first-letter search by
// keys pressed through the application's loop, and the list on the desktop chosen from
// by mouse and keys, placed inside the work area near every screen edge.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/GdiHandles.h"
#include "editors/DxInplaceImageEdit.h"
#include "tests/editors/ListEditorsTestSupport.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The image editor, its protected steps open and its close-ups recorded.
class TTestImageEdit : public TdxInplaceImageEdit {
  KIVO_CLASS(TTestImageEdit, TdxInplaceImageEdit)
 public:
  explicit TTestImageEdit(TComponent* AOwner) : TdxInplaceImageEdit(AOwner, &MetaClass()) {}
  std::vector<std::pair<std::string, bool>> CloseUps;
  void DoCloseUp(Variant& value, bool& accept) override {
    CloseUps.emplace_back(VarToStr(value), accept);
    inherited::DoCloseUp(value, accept);
  }
};

class DxInplaceImageEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Images = SolidImages({kRed, kGreen, kBlue});
    Image = new TTestImageEdit(Container);
    Image->SetParent(Container);
    Image->SetBounds(10, 10, 200, 24);
    TStringList values, descriptions;
    values.SetText("A\nB\nC\nD\nE\nF\nG\nH\nI\nJ");
    descriptions.SetText("Apple\nBanana\nblue");
    Image->SetValues(&values);
    Image->SetDescriptions(&descriptions);
    Image->SetImages(Images.get());
  }
  void TearDown() override {
    delete Image;
    Images.reset();
    EditorTest::TearDown();
  }
  // Shows the form and the editor in place over (12, 12, 208, 32), focused, at `value`.
  void ShowInPlace(const std::string& value) {
    ShowForm();
    Image->SetEditValue(value);
    Image->ShowEdit(Rect(12, 12, 208, 32));
    PumpPending();
    ASSERT_EQ(GetFocus(), Image->GetHandle());
  }
  std::string Value() { return Image->GetText(); }
  HWND List() { return Image->GetPopupListBox()->GetHandle(); }
  bool ListShown() {
    return Image->GetPopupListBox()->HandleAllocated() && IsWindowVisible(List());
  }
  std::unique_ptr<TImageList> Images;
  TTestImageEdit* Image = nullptr;
};

TEST_F(DxInplaceImageEditTest, ValueGivesItsImageAndDescription) {
  TStringList values, indexes, descriptions;
  values.SetText("A\nB\nC\nD");
  descriptions.SetText("Apple\nBanana");
  int image = 0, description = 0;
  TdxInplaceImageEdit::GetIndexesByValue("b", &values, &indexes, &descriptions, true, image, description);
  EXPECT_EQ(image, 1) << "the list's own IndexOf ignores case";
  EXPECT_EQ(description, 1);
  TdxInplaceImageEdit::GetIndexesByValue("C", &values, &indexes, &descriptions, true, image, description);
  EXPECT_EQ(description, -1) << "C has no description";
  TdxInplaceImageEdit::GetIndexesByValue("Z", &values, &indexes, &descriptions, true, image, description);
  EXPECT_EQ(image, -1);
  EXPECT_EQ(description, -1);

  indexes.SetText("2\nx\n99");
  const auto imageOf = [&](const std::string& value) {
    TdxInplaceImageEdit::GetIndexesByValue(value, &values, &indexes, &descriptions, false, image, description);
    return image;
  };
  EXPECT_EQ(imageOf("A"), 2);
  // Regression: an image index that is not a number raised while cells were painted (it was read as a number).
  EXPECT_EQ(imageOf("B"), -1);
  EXPECT_EQ(imageOf("C"), 99);
  EXPECT_EQ(imageOf("D"), 3) << "an entry without an image index uses its own index";
}

TEST_F(DxInplaceImageEditTest, CellShowsTheImageAndTheDescription) {
  Image->SetEditValue("B");
  std::unique_ptr<TdxEditViewData> v(Image->CreateViewData(true));
  const TRect cell = Rect(0, 0, 120, 20);
  TDibSurface surface(120, 20);
  surface.Fill(kRed);
  EXPECT_TRUE(Image->EditClass()->DrawContent(surface.DC(), cell, v.get(), false));
  // The image takes the left 16 pixels, centred vertically; the rest is the text's.
  EXPECT_EQ(surface.Color(0, 2), kGreen);
  EXPECT_EQ(surface.Color(15, 17), kGreen);
  EXPECT_EQ(surface.Color(0, 1), v->Color) << "the image part is filled";
  SIZE extent{};
  {
    TClientDC screen(nullptr);
    TSelectGuard font(screen.Get(), v->Font);
    GetTextExtentPoint32A(screen.Get(), "Banana", 6, &extent);
  }
  int left = 120, right = -1;
  for (int x = 16; x < 120; ++x)
    for (int y = 0; y < 20; ++y)
      if (surface.Color(x, y) == v->TextColor) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  ASSERT_GE(right, 0) << "the description is drawn";
  EXPECT_GE(left, 16);
  EXPECT_LE(right, 16 + 2 + extent.cx);
  EXPECT_GE(right - left, extent.cx / 2);

  // Without the description the image is centred in the whole cell.
  Image->SetShowDescription(false);
  v.reset(Image->CreateViewData(true));
  surface.Fill(kRed);
  Image->EditClass()->DrawContent(surface.DC(), cell, v.get(), false);
  EXPECT_EQ(surface.Color(52, 2), kGreen);
  EXPECT_EQ(surface.Color(67, 17), kGreen);
  EXPECT_EQ(surface.Color(51, 10), v->Color);
  EXPECT_EQ(surface.Color(68, 10), v->Color);
  EXPECT_TRUE(v->NoFill) << "the text painter does not fill the cell again";
}

TEST_F(DxInplaceImageEditTest, BadImageIndexesDrawNoImageAndRaiseNothing) {
  // Regression: a non-number image index raised during painting; one outside the image list drew garbage.
  TStringList indexes;
  indexes.SetText("x\n7\n-3");
  Image->SetImageIndexes(&indexes);
  Image->SetDefaultImages(false);
  TDibSurface surface(120, 20);
  for (const char* value : {"A", "B", "C", "Z"}) {
    Image->SetEditValue(value);
    std::unique_ptr<TdxEditViewData> v(Image->CreateViewData(true));
    surface.Fill(kRed);
    EXPECT_NO_THROW(Image->EditClass()->DrawContent(surface.DC(), Rect(0, 0, 120, 20), v.get(), false)) << value;
    for (int y = 2; y < 18; y += 5)
      EXPECT_EQ(surface.Color(8, y), v->Color) << value << ": no image, only the filled image part";
  }
}

TEST_F(DxInplaceImageEditTest, EditorWindowPaintsItsValueThroughWMPaint) {
  ShowInPlace("C");
  const TRect client = ClientRect(Image->GetHandle());
  TDibSurface surface(client.right, client.bottom);
  surface.Fill(kRed);
  SendMessageA(Image->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()), 0);
  const int top = (client.bottom - 16) / 2;
  EXPECT_EQ(surface.Color(0, top), kBlue);
  EXPECT_EQ(surface.Color(15, top + 15), kBlue);
  bool text = false;
  for (int x = 17; x < client.right && !text; ++x)
    for (int y = 0; y < client.bottom && !text; ++y)
      text = surface.Color(x, y) == GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_TRUE(text) << "\"blue\" beside the image";
  EXPECT_EQ(SendMessageA(Image->GetHandle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
}

TEST_F(DxInplaceImageEditTest, TypingALetterCyclesThroughTheDescriptionsThatBeginWithIt) {
  ShowInPlace("B");
  HWND wnd = Image->GetHandle();
  PressKey(wnd, 'B');
  EXPECT_EQ(Value(), "C") << "after Banana comes blue";
  EXPECT_TRUE(Image->GetModified());
  PressKey(wnd, 'B');
  EXPECT_EQ(Value(), "B") << "then round to Banana";
  PressKey(wnd, 'B');
  EXPECT_EQ(Value(), "C");
  PressKey(wnd, 'Q');
  EXPECT_EQ(Value(), "C") << "no description begins with q";
  PressKey(wnd, 'A');
  EXPECT_EQ(Value(), "A");
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DxInplaceImageEditTest, NavigationKeysStepThroughTheValues) {
  ShowInPlace("Z");
  HWND wnd = Image->GetHandle();
  PressKey(wnd, VK_DOWN);
  EXPECT_EQ(Value(), "Z") << "in place the arrows are the container's";
  Image->SetIncremental(true);
  PressKey(wnd, VK_DOWN);
  EXPECT_EQ(Value(), "A") << "stepping from a value not in the list selects the first";
  PressKey(wnd, VK_NEXT);
  EXPECT_EQ(Value(), "G") << "Page Down moves DropDownRows - 1 = 6 values";
  PressKey(wnd, VK_NEXT);
  EXPECT_EQ(Value(), "J") << "and stops at the last";
  PressKey(wnd, VK_PRIOR);
  EXPECT_EQ(Value(), "D");
  Image->DropDownRows = 3;
  PressKey(wnd, VK_PRIOR);
  EXPECT_EQ(Value(), "B");
  PressKey(wnd, VK_HOME);
  EXPECT_EQ(Value(), "A");
  PressKey(wnd, VK_UP);
  EXPECT_EQ(Value(), "A");
  PressKey(wnd, VK_END);
  EXPECT_EQ(Value(), "J");
  PressKey(wnd, VK_LEFT);
  EXPECT_EQ(Value(), "I");
  EXPECT_TRUE(Container->Notifications.empty()) << "a consumed Left does not leave the cell";
  Image->SetIncremental(false);
  PressKey(wnd, VK_LEFT);
  EXPECT_EQ(Container->Notifications, std::vector<bool>{true});
  Image->SetReadOnly(true);
  Image->SetIncremental(true);
  PressKey(wnd, VK_HOME);
  EXPECT_EQ(Value(), "I") << "a read-only editor keeps its value";
}

TEST_F(DxInplaceImageEditTest, ListDropsDownOnTheDesktopWithAnImageAndDescriptionPerValue) {
  TStringList indexes;
  indexes.SetText("2\nx\n1");
  Image->SetImageIndexes(&indexes);
  Image->SetDefaultImages(false);
  ShowInPlace("C");
  PressKey(Image->GetHandle(), VK_F4);
  ASSERT_TRUE(Image->GetDroppedDown());
  ASSERT_TRUE(ListShown());
  TdxPopupImageListBox* list = Image->GetPopupListBox();
  EXPECT_EQ(Image->GetPopupControl(), list);
  EXPECT_EQ(GetAncestor(List(), GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetWindowLongA(List(), GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongA(List(), GWL_STYLE) & WS_BORDER);
  EXPECT_EQ(GetFocus(), Image->GetHandle()) << "the list never takes the focus";
  EXPECT_EQ(GetForegroundWindow(), Form->GetHandle());

  // One line per value: the description and the image index (-2: none).
  ASSERT_EQ(list->GetItems()->GetCount(), 10);
  EXPECT_EQ(list->GetItems()->Get(1), "Banana");
  EXPECT_EQ(list->GetItems()->Get(3), "");
  const std::vector<int> expected = {2, -2, 1, -2, -2, -2, -2, -2, -2, -2};
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(TdxPopupImageListBox::ObjectImageIndex(list->GetItems()->GetObject(i)), expected[size_t(i)]) << i;
  EXPECT_EQ(list->GetItemIndex(), 2) << "the current value's line";

  // Seven rows of the measured height (the font's, raised to the image's + 2) show in
  // the client area, with a scroll bar for the other three.
  const int lineHeight = list->GetLastItemHeight();
  EXPECT_GE(lineHeight, 18);
  EXPECT_EQ(RectHeight(LineRect(List(), 0)), lineHeight);
  EXPECT_EQ(ClientRect(List()).bottom, 7 * lineHeight);
  EXPECT_TRUE(GetWindowLongA(List(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(list->GetPopupBorder(), pbFrame3D) << "the container's default";
  EXPECT_EQ(RectHeight(WindowRect(List())), 7 * lineHeight + 2 * 4) << "the 3D frame lies around the rows";

  // Under the editor: at its inner left edge, below its window, at least as wide.
  const TRect editor = WindowRect(Image->GetHandle());
  const TRect popup = WindowRect(List());
  EXPECT_EQ(popup.top, editor.bottom);
  EXPECT_EQ(popup.left, editor.left + 2);
  EXPECT_GE(RectWidth(popup), RectWidth(editor) - 4 - GetSystemMetrics(SM_CXVSCROLL));

  // Each line: its image at left + 1, centred, its text after it.
  const TRect client = ClientRect(List());
  TDibSurface surface(client.right, client.bottom);
  surface.Fill(kRed);
  SendMessageA(List(), WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()), 0);
  const int top = (lineHeight - 16) / 2;
  EXPECT_EQ(surface.Color(1, top), kBlue) << "line 0 shows image 2";
  EXPECT_EQ(surface.Color(16, lineHeight * 2 + top + 15), kGreen) << "line 2 shows image 1";
  EXPECT_EQ(surface.Color(1, lineHeight + top), GetSysColor(COLOR_WINDOW)) << "line 1 has no image";
  EXPECT_EQ(surface.Color(0, lineHeight * 2), GetSysColor(COLOR_HIGHLIGHT)) << "the selected line";
  Image->CloseUp(false);
}

TEST_F(DxInplaceImageEditTest, RealClicksOpenTheListAndChooseALine) {
  ShowInPlace("A");
  const TRect editor = WindowRect(Image->GetHandle());
  ASSERT_TRUE(RealClickAt(editor.left + 20, editor.top + 10));
  ASSERT_TRUE(PumpUntil([&] { return ListShown(); }, 2000)) << "a click anywhere in the editor opens the list";
  const TRect line = LineRect(List(), 3);
  PostMessageA(List(), WM_MOUSEMOVE, 0, MAKELPARAM(30, line.top + 3));
  Application->ProcessMessages();
  EXPECT_EQ(Image->GetPopupListBox()->GetItemIndex(), 3) << "the line under the mouse is selected";
  EXPECT_EQ(Value(), "A");
  const TPoint onLine = Image->GetPopupListBox()->ClientToScreen(TPoint{30, line.top + 3});
  ASSERT_TRUE(RealClickAt(onLine.x, onLine.y));
  EXPECT_TRUE(PumpUntil([&] { return !ListShown(); }, 2000));
  EXPECT_EQ(Value(), "D");
  EXPECT_TRUE(Image->GetModified());
  EXPECT_EQ(Image->CloseUps, (std::vector<std::pair<std::string, bool>>{{"D", true}}));
  EXPECT_EQ(GetFocus(), Image->GetHandle());
  EXPECT_EQ(GetForegroundWindow(), Form->GetHandle()) << "the form stays active";
  SettlePointerAt(0, 0);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DxInplaceImageEditTest, EscapeClosesTheListAndLeavesTheOldValue) {
  ShowInPlace("B");
  HWND wnd = Image->GetHandle();
  PressKey(wnd, VK_F4);
  ASSERT_TRUE(ListShown());
  PressKey(wnd, VK_DOWN);
  PressKey(wnd, VK_DOWN);
  EXPECT_EQ(Image->GetPopupListBox()->GetItemIndex(), 3) << "the open list takes the arrows";
  PressKey(wnd, VK_ESCAPE);
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(Value(), "B");
  EXPECT_FALSE(Image->GetModified());
  EXPECT_EQ(Image->CloseUps, (std::vector<std::pair<std::string, bool>>{{"D", false}})) << "OnCloseUp still hears";

  PressKey(wnd, VK_F4);
  PressKey(wnd, VK_NEXT);
  EXPECT_EQ(Image->GetPopupListBox()->GetItemIndex(), 1 + 6) << "a page of the open list is its rows less one";
  PressKey(wnd, VK_RETURN);
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(Value(), "H");

  // Hiding the editor (the container leaves the cell) closes an open list with it.
  PressKey(wnd, VK_F4);
  Image->HideEdit();
  PumpPending();
  EXPECT_FALSE(ListShown());
  EXPECT_FALSE(Image->GetDroppedDown());
  Image->ShowEdit(Rect(12, 12, 208, 32));
  PressKey(wnd, VK_F4);
  EXPECT_TRUE(ListShown()) << "and it opens again";
  PressKey(wnd, VK_ESCAPE);
  EXPECT_EQ(Value(), "H");
}

TEST_F(DxInplaceImageEditTest, ListOpensInsideTheWorkAreaNearEveryEdge) {
  TWorkAreaProvider monitor(Rect(100, 60, 1180, 940));
  Image->DropDownWidth = 300;
  ShowForm();
  Image->SetEditValue("A");
  Image->ShowEdit(Rect(12, 12, 208, 32));
  struct TCase {
    const char* Name;
    int Left, Top;  // the editor's window, on the screen
  };
  const TCase cases[] = {
      {"left", 100, 400}, {"right", 1180 - 200, 400}, {"top", 500, 60}, {"bottom", 500, 940 - 24},
      {"bottom right", 1180 - 200, 940 - 24},
  };
  for (const TCase& c : cases) {
    // The form moves so that the editor's window lies at (Left, Top).
    const TRect form = WindowRect(Form->GetHandle());
    const TRect at = WindowRect(Image->GetHandle());
    SetWindowPos(Form->GetHandle(), nullptr, form.left + c.Left - at.left, form.top + c.Top - at.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    PumpPending();
    ASSERT_EQ(WindowRect(Image->GetHandle()).left, c.Left) << c.Name;
    ASSERT_EQ(WindowRect(Image->GetHandle()).top, c.Top) << c.Name;
    PressKey(Image->GetHandle(), VK_F4);
    ASSERT_TRUE(ListShown()) << c.Name;
    const TRect editor = WindowRect(Image->GetHandle());
    const TRect popup = WindowRect(List());
    EXPECT_EQ(RectWidth(popup), 300) << c.Name;
    EXPECT_GE(popup.left, 100) << c.Name;
    EXPECT_LE(popup.right, 1180) << c.Name;
    EXPECT_GE(popup.top, 60) << c.Name;
    EXPECT_LE(popup.bottom, 940) << c.Name;
    EXPECT_TRUE(popup.top >= editor.bottom || popup.bottom <= editor.top) << c.Name << ": the editor stays visible";
    PressKey(Image->GetHandle(), VK_ESCAPE);
  }
}

TEST_F(DxInplaceImageEditTest, ImageListsThatGoAreForgotten) {
  auto large = SolidImages({kGreen});
  Image->SetLargeImages(large.get());
  ShowInPlace("A");
  PressKey(Image->GetHandle(), VK_F4);
  EXPECT_EQ(Image->GetPopupListBox()->GetImageList(), large.get()) << "the list shows the large images";
  PressKey(Image->GetHandle(), VK_ESCAPE);
  large.reset();
  EXPECT_EQ(Image->GetLargeImages(), nullptr);
  EXPECT_EQ(Image->GetPopupListBox()->GetImageList(), nullptr);
  Images.reset();
  EXPECT_EQ(Image->GetImages(), nullptr);
  std::unique_ptr<TdxEditViewData> v(Image->CreateViewData(true));
  TDibSurface surface(60, 20);
  EXPECT_NO_THROW(Image->EditClass()->DrawContent(surface.DC(), Rect(0, 0, 60, 20), v.get(), false));
}

}  // namespace
