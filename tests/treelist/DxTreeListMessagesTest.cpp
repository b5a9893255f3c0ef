// The tree list's window messages and start-up resources: the cursors drawn by the
// project's generator in the screen's cursor table, the customizing window's texts, the
// sizing cursors over header edges, the dialog codes and the size-box corner.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/treelist/TreeListInputTestSupport.h"
#include "treelist/DxTreeListDraw.h"

namespace {

class TreeListMessagesTest : public TreeListInputTest {};

TEST_F(TreeListMessagesTest, StartUpPutsTheTenCursorsIntoTheScreensTable) {
  const HCURSOR fallback = Screen->GetCursors(crDefault);
  for (TCursor id : {crDxTreeListDelete, crDxTreeListFullScroll, crDxTreeListHorzScroll, crDxTreeListVertScroll,
                     crDxTreeListUpScroll, crDxTreeListRightScroll, crDxTreeListDownScroll, crDxTreeListLeftScroll,
                     crDxTreeListDragCopy, crDxTreeListMultiDragCopy}) {
    const HCURSOR cursor = Screen->GetCursors(id);
    ASSERT_NE(cursor, fallback) << id;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info)) << id;
    const bool scroll = id <= crDxTreeListFullScroll && id >= crDxTreeListLeftScroll;
    EXPECT_EQ(info.xHotspot, scroll ? 15u : 0u) << id;
    EXPECT_EQ(info.yHotspot, scroll ? 15u : 0u) << id;
    if (info.hbmMask)
      DeleteObject(info.hbmMask);
    if (info.hbmColor)
      DeleteObject(info.hbmColor);
  }
  EXPECT_EQ(DxTreeListCustomizeText(0), "Customize");
  EXPECT_EQ(DxTreeListCustomizeText(1), "    Bands    ");
  EXPECT_EQ(DxTreeListCustomizeText(2), "   Headers   ");
}

TEST_F(TreeListMessagesTest, AColumnEdgeShowsTheSizingCursor) {
  Fill();
  Show();
  const TdxTreeListColumnEntry name = HeaderOf(Tree, 0);
  const TPoint edge = Tree->ClientToScreen(Point(name.Rect.right - 1, (name.Rect.top + name.Rect.bottom) / 2));
  const TPoint middle = Tree->ClientToScreen(Point(name.Rect.left + 20, (name.Rect.top + name.Rect.bottom) / 2));
  auto cursorAt = [&](const TPoint& p) {
    Tree->Perform(WM_NCHITTEST, 0, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
    Tree->Perform(WM_SETCURSOR, WPARAM(Tree->GetHandle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  EXPECT_EQ(cursorAt(edge), Screen->GetCursors(crHSplit));
  EXPECT_NE(cursorAt(middle), Screen->GetCursors(crHSplit));
}

TEST_F(TreeListMessagesTest, DialogCodesFollowTheTypingAndTabOptions) {
  Show();
  SetOption(aoTabThrough, false);
  EXPECT_EQ(Tree->Perform(WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS));
  SetOptionEx(aoIncrementalSearch, true);
  SetOption(aoTabThrough, true);
  EXPECT_EQ(Tree->Perform(WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB));
  EXPECT_EQ(Tree->Perform(WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(TreeListMessagesTest, TheCornerBetweenTheScrollBarsIsButtonFace) {
  for (int i = 0; i < 40; ++i)
    Node(Tree, nullptr, "n" + std::to_string(i));
  Tree->Columns[0].Width = 500;
  Tree->SetLookAndFeel(lfFlat);
  Show();
  const HWND wnd = Tree->GetHandle();
  ASSERT_EQ(GetWindowLongA(wnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  RECT client{};
  GetClientRect(wnd, &client);
  POINT corner{client.right + GetSystemMetrics(SM_CXVSCROLL) / 2, client.bottom + GetSystemMetrics(SM_CYHSCROLL) / 2};
  ClientToScreen(wnd, &corner);
  HDC screen = GetDC(nullptr);
  const COLORREF pixel = GetPixel(screen, corner.x, corner.y);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(pixel, GetSysColor(COLOR_BTNFACE));
}

// The client area as it shows on the screen.
std::vector<COLORREF> ClientPixels(HWND wnd) {
  RECT client{};
  GetClientRect(wnd, &client);
  TDibSurface surface(client.right, client.bottom);
  HDC dc = GetDC(wnd);
  BitBlt(surface.DC(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  ReleaseDC(wnd, dc);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x)
      pixels.push_back(surface.Color(x, y));
  return pixels;
}

TEST_F(TreeListMessagesTest, RowsScrolledWithinAPageShowWhatAWholePaintShows) {
  for (int i = 0; i < 40; ++i) {
    TdxTreeListNode* node = Node(Tree, nullptr, "n" + std::to_string(i), std::to_string(i * 7));
    if (i % 5 == 0)
      Node(Tree, node, "child");
  }
  Tree->GetItem(5)->SetExpanded(true);
  Tree->SetShowGrid(true);
  Tree->SetGridLook(true);  // no dotted tree lines, whose parity repaints the tree area
  Show();
  const HWND wnd = Tree->GetHandle();
  for (WPARAM code : {WPARAM(SB_LINEDOWN), WPARAM(SB_LINEDOWN), WPARAM(SB_PAGEDOWN), WPARAM(SB_LINEUP)}) {
    PostMessageA(wnd, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    Application->ProcessMessages();
    UpdateWindow(wnd);
    const std::vector<COLORREF> scrolled = ClientPixels(wnd);
    InvalidateRect(wnd, nullptr, FALSE);
    UpdateWindow(wnd);
    EXPECT_TRUE(scrolled == ClientPixels(wnd)) << "after scroll code " << code;
  }
  EXPECT_EQ(Tree->GetNavigator().GetTopIndex(), 1 + Tree->GetNavigator().GetVisibleRowCount());
}

}  // namespace
