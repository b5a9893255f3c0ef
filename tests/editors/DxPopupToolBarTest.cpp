// The popup tool bar: its window and buttons, the layout by alignment, the button
// states (from the clipboard-viewer chain too) mirrored into a menu, and the placement
// beside its editor inside the work area.
#include <algorithm>
#include <string>

#include "classlib/Bitmap.h"
#include "classlib/Clipboard.h"
#include "classlib/GdiHandles.h"
#include "editors/DxExEdtr.h"
#include "editors/DxPopupToolBar.h"
#include "editors/DxUtils.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

class DxPopupToolBarTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Edit->SetBounds(10, 10, 140, 100);
    ToolBar = new TdxPopupToolBar(Edit);
  }
  void TearDown() override {
    delete ToolBar;
    EditorTest::TearDown();
  }
  // The enabled buttons, as a string of their indexes.
  std::string Enabled() {
    std::string enabled;
    for (int i = 0; i < kDxToolButtonCount; ++i)
      if (ToolBar->GetButton(i)->GetEnabled())
        enabled += char('0' + i);
    return enabled;
  }
  void PutBitmapOnClipboard() {
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    Clipboard()->Assign(&bitmap);
  }
  TdxPopupToolBar* ToolBar = nullptr;
};

TEST_F(DxPopupToolBarTest, IsAToolWindowThatJoinsTheClipboardChainAndNeverActivates) {
  EXPECT_EQ(ToolBar->GetCaption(), "Toolbox");
  EXPECT_EQ(ToolBar->GetButton(ptbSave)->GetHint(), "Save to file...");
  EXPECT_FALSE(ToolBar->GetButton(ptbCustom)->GetVisible());
  HWND wnd = ToolBar->GetHandle();
  EXPECT_TRUE(GetClassLongA(wnd, GCL_STYLE) & CS_SAVEBITS);
  EXPECT_TRUE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  HMENU system = GetSystemMenu(wnd, FALSE);
  for (UINT gone : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
    EXPECT_EQ(GetMenuState(system, gone, MF_BYCOMMAND), UINT(-1)) << gone;
  EXPECT_NE(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), UINT(-1));
  EXPECT_TRUE(ToolBar->GetInClipboardChain());
  EXPECT_EQ(SendMessageA(wnd, WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
  ToolBar->DestroyHandle();
  EXPECT_FALSE(ToolBar->GetInClipboardChain());
}

TEST_F(DxPopupToolBarTest, LaysTheButtonsOutInARowOrAColumnWithCaptions) {
  ToolBar->SetAlignment(ptaBottom);
  EXPECT_EQ(ToolBar->GetClientHeight(), 22);
  EXPECT_EQ(ToolBar->GetClientWidth(), 6 * 23);
  EXPECT_EQ(ToolBar->GetButton(ptbLoad)->GetBoundsRect(), Bounds(4 * 23, 0, 23, 22));
  EXPECT_EQ(ToolBar->GetButton(ptbCopy)->GetCaption(), "") << "captions only in a column";

  ToolBar->SetAlignment(ptaLeft);
  ToolBar->SetButtons({ptbLoad, ptbSave, ptbCustom});
  ToolBar->SetCustomCaption("Scan");
  // The rule's measures, taken with the same calls in the form's font.
  TClientDC screen(nullptr);
  HGDIOBJ old = SelectObject(screen, ToolBar->GetFont()->GetHandle());
  auto extent = [&](const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(screen, text.c_str(), int(text.size()), &size);
    return size;
  };
  const int height = std::max(22, int(extent("Wg").cy) + 9);
  const int widest = std::max({extent("&Load...").cx, extent("&Save To...").cx, extent("Scan").cx});
  SelectObject(screen, old);
  EXPECT_EQ(ToolBar->GetClientHeight(), 3 * height);
  EXPECT_EQ(ToolBar->GetClientWidth(), height + 1 + widest);
  EXPECT_EQ(ToolBar->GetButton(ptbCustom)->GetBoundsRect(), Bounds(0, 2 * height, height + 1 + widest, height));
  EXPECT_EQ(ToolBar->GetButton(ptbCustom)->GetCaption(), "Scan");
  EXPECT_FALSE(ToolBar->GetButton(ptbCut)->GetVisible());
}

TEST_F(DxPopupToolBarTest, ButtonStatesFollowThePictureReadOnlyAndTheClipboard) {
  ToolBar->SetPictureEmpty(true);
  Clipboard()->SetAsText("no picture");
  ToolBar->UpdateButtonStates();
  EXPECT_EQ(Enabled(), "46") << "Load (and the custom button)";
  // The clipboard-viewer chain reports the change.
  ToolBar->HandleNeeded();
  PutBitmapOnClipboard();
  EXPECT_TRUE(PumpUntil([&] { return ToolBar->GetButton(ptbPaste)->GetEnabled(); }));
  EXPECT_EQ(Enabled(), "246");
  ToolBar->SetPictureEmpty(false);
  ToolBar->SetReadOnly(true);
  ToolBar->UpdateButtonStates();
  EXPECT_EQ(Enabled(), "156") << "read-only: Copy and Save";
  ToolBar->SetReadOnly(false);
  ToolBar->UpdateButtonStates();
  EXPECT_EQ(Enabled(), "0123456");
}

TEST_F(DxPopupToolBarTest, MenuItemsTakeTheStateOfTheButtonTheyStandFor) {
  // Regression: with only Load and Save in the menu the states went to fixed item
  // positions, past the end of the menu; cause: items were found by index.
  auto* menu = new TPopupMenu(nullptr);
  for (int tag : {int(ptbLoad), -1, int(ptbSave)}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(tag < 0 ? "-" : "item");
    item->SetTag(tag);
    menu->GetItems()->Add(item);
  }
  ToolBar->SetPopupMenu(menu);
  ToolBar->SetIsPopupMenu(true);
  ToolBar->SetPictureEmpty(true);
  EXPECT_NO_THROW(ToolBar->UpdateButtonStates());
  EXPECT_TRUE(menu->GetItems()->GetItem(0)->GetEnabled());
  EXPECT_FALSE(menu->GetItems()->GetItem(2)->GetEnabled());
  ToolBar->SetReadOnly(true);
  ToolBar->SetPictureEmpty(false);
  ToolBar->UpdateButtonStates();
  EXPECT_FALSE(menu->GetItems()->GetItem(0)->GetEnabled());
  EXPECT_TRUE(menu->GetItems()->GetItem(2)->GetEnabled());
  ToolBar->SetIsPopupMenu(false);  // not mirrored any more
  ToolBar->SetReadOnly(false);
  ToolBar->UpdateButtonStates();
  EXPECT_FALSE(menu->GetItems()->GetItem(0)->GetEnabled());
}

TEST_F(DxPopupToolBarTest, PlacesItselfBesideTheEditorAndFlipsAtTheWorkAreaEdges) {
  TRect area;
  GetWorkArea(TPoint{400, 300}, area);
  ToolBar->SetAlignment(ptaRight);
  const int w = ToolBar->GetWidth(), h = ToolBar->GetHeight();
  ToolBar->PlaceBeside(TPoint{400, 300});
  EXPECT_EQ(ToolBar->GetBoundsRect(), Bounds(400 + 140, 300, w, h));
  const TPoint nearRight{int(area.right) - 150, 300};
  ToolBar->PlaceBeside(nearRight);
  EXPECT_EQ(ToolBar->GetLeft(), nearRight.x - w) << "on the left of the editor";

  ToolBar->SetAlignment(ptaLeft);
  ToolBar->PlaceBeside(TPoint{int(area.left) + 5, 300});
  EXPECT_EQ(ToolBar->GetLeft(), area.left + 5 + 140);

  ToolBar->SetAlignment(ptaBottom);
  const int hh = ToolBar->GetHeight();
  ToolBar->PlaceBeside(TPoint{400, 300});
  EXPECT_EQ(ToolBar->GetTop(), 300 + 100);
  ToolBar->PlaceBeside(TPoint{400, int(area.bottom) - 50});
  EXPECT_EQ(ToolBar->GetTop(), area.bottom - 50 - hh);
  ToolBar->PlaceBeside(TPoint{int(area.right) - 20, 300});
  EXPECT_EQ(ToolBar->GetLeft(), area.right - ToolBar->GetWidth()) << "kept inside the work area";

  ToolBar->SetAlignment(ptaTop);
  ToolBar->PlaceBeside(TPoint{400, int(area.top) + 2});
  EXPECT_EQ(ToolBar->GetTop(), area.top + 2 + 100);
}

TEST_F(DxPopupToolBarTest, ShowsWithoutActivatingAndStaysClosedOnceTheUserClosedIt) {
  ShowForm();
  ToolBar->ShowToolBar();
  EXPECT_FALSE(ToolBar->Showing()) << "nobody wants it yet";
  ToolBar->SetVisibleWanted(true);
  ToolBar->ShowToolBar();
  PumpPending();
  EXPECT_TRUE(ToolBar->Showing());
  EXPECT_EQ(GetActiveWindow(), Form->GetHandle());
  SendMessageA(ToolBar->GetHandle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(ToolBar->GetClosed());
  EXPECT_FALSE(ToolBar->Showing());
  ToolBar->ShowToolBar();
  EXPECT_FALSE(ToolBar->Showing());
  ToolBar->SetClosed(false);
  ToolBar->ShowToolBar();
  EXPECT_TRUE(ToolBar->Showing());
  // Focus moving anywhere but to its editor hides it.
  SendMessageA(ToolBar->GetHandle(), WM_KILLFOCUS, reinterpret_cast<WPARAM>(Edit->GetHandle()), 0);
  EXPECT_TRUE(ToolBar->Showing());
  SendMessageA(ToolBar->GetHandle(), WM_KILLFOCUS, reinterpret_cast<WPARAM>(Form->GetHandle()), 0);
  EXPECT_FALSE(ToolBar->Showing());
}

}  // namespace
