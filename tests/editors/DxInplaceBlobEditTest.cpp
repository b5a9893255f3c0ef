// The blob editor and its popup, driven by real input (keys typed with keybd_event,
// clicks with mouse_event at points on the screen) and by window messages: the cell's
// icon, the keys of the closed editor, the ways of closing the popup and what each
// keeps, the size the popup remembers, its placement near the screen's edges, the
// read-only popup, long memo texts and what a hundred showings leave behind.
#include <algorithm>
#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "classlib/Bitmap.h"
#include "classlib/Clipboard.h"
#include "classlib/GdiHandles.h"
#include "classlib/HandleCounter.h"
#include "classlib/Menus.h"
#include "editors/DxBlobPopup.h"
#include "editors/DxExEdtr.h"
#include "editors/DxInplaceBlobEdit.h"
#include "editors/DxPictureValues.h"
#include "editors/DxUtils.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/support/ResourceCounts.h"

namespace {

class TTestBlobEdit : public TdxInplaceBlobEdit {
  KIVO_CLASS(TTestBlobEdit, TdxInplaceBlobEdit)
 public:
  explicit TTestBlobEdit(TComponent* AOwner) : TdxInplaceBlobEdit(AOwner, &MetaClass()) {}
  int Changes = 0;

 protected:
  TTestBlobEdit(TComponent* AOwner, const TdxInplaceEditClass* cls) : TdxInplaceBlobEdit(AOwner, cls) {}
  void Change() override {
    ++Changes;
    inherited::Change();
  }
};

// A picture value: a bitmap of width x height in one colour.
std::string PictureValue(int width, int height, COLORREF color = RGB(0, 0, 255)) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  bitmap.GetCanvas()->GetBrush()->SetColor(TColor(color));
  bitmap.GetCanvas()->FillRect(Rect(0, 0, width, height));
  TPicture picture;
  picture.Assign(&bitmap);
  std::string value;
  SavePictureToString(&picture, value);
  return value;
}

// `lines` lines of words, each `width` characters with its line break.
std::string MemoText(int lines, int width) {
  std::string text;
  for (int line = 0; line < lines; ++line) {
    std::string row = "line " + std::to_string(line);
    while (int(row.size()) + 5 <= width - 2)
      row += " word";
    row.resize(size_t(width - 2), '.');
    text += row + "\r\n";
  }
  return text;
}

TPoint Centre(const TRect& r) { return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Real keys, through the system's input queue.
void Press(WORD key) {
  keybd_event(BYTE(key), 0, 0, 0);
  keybd_event(BYTE(key), 0, KEYEVENTF_KEYUP, 0);
}
void PressWith(WORD modifier, WORD key) {
  keybd_event(BYTE(modifier), 0, 0, 0);
  Press(key);
  keybd_event(BYTE(modifier), 0, KEYEVENTF_KEYUP, 0);
}
void TypeText(const std::string& text) {
  for (char c : text)
    Press(WORD(VkKeyScanA(c) & 0xFF));
}

// A real drag with the left button from one screen point to another. The system's
// sizing loop that a press on a frame starts runs inside this thread's message
// dispatching, so the moves and the release come from a thread of their own.
bool Drag(const TPoint& from, const TPoint& to) {
  if (!SettlePointerAt(from.x, from.y))
    return false;
  std::atomic<bool> released{false};
  std::thread user([&] {
    Sleep(200);
    SetCursorPos((from.x + to.x) / 2, (from.y + to.y) / 2);
    Sleep(100);
    SetCursorPos(to.x, to.y);
    Sleep(100);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    released = true;
  });
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  const bool done = PumpUntil([&] { return released.load(); });
  user.join();
  PumpPending();
  return done;
}

// A real click at a screen point.
bool ClickAt(const TPoint& p) {
  if (!SettlePointerAt(p.x, p.y))
    return false;
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  return true;
}

class DxInplaceBlobEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Blob = new TTestBlobEdit(Container);
    Blob->SetParent(Container);
  }
  void TearDown() override {
    SetCursorPos(0, 0);
    EditorTest::TearDown();
  }
  void ShowEditor() {
    ShowForm();
    Blob->ShowEdit(Rect(10, 10, 150, 30));
    PumpPending();
  }
  TCustomdxBlobPopup* Popup() { return Blob->GetPopup(); }
  bool PopupShown() { return Popup() && Popup()->HandleAllocated() && IsWindowVisible(Popup()->GetHandle()); }
  // Opens the popup with Alt+Down and waits until it has the focus.
  void Open() {
    PressWith(VK_MENU, VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return PopupShown() && GetFocus() == Popup()->GetHandle(); }));
  }
  void WaitClosed() {
    ASSERT_TRUE(PumpUntil([&] { return !PopupShown() && !Blob->GetDroppedDown(); }));
  }
  // A point of the popup's window (window coordinates) on the screen.
  TPoint OnScreen(const TPoint& p) {
    RECT window{};
    GetWindowRect(Popup()->GetHandle(), &window);
    return TPoint{window.left + p.x, window.top + p.y};
  }
  // The container beside the editor, on the screen.
  TPoint Outside() { return Container->ClientToScreen(TPoint{220, 130}); }

  TTestBlobEdit* Blob = nullptr;
};

// ---- The cell -----------------------------------------------------------------------

TEST_F(DxInplaceBlobEditTest, TheCellShowsTheIconOfItsKindEmptyOrFilled) {
  EXPECT_EQ(BlobIconIndex(bekMemo, true), 2);
  EXPECT_EQ(BlobIconIndex(bekMemo, false), 3);
  EXPECT_EQ(BlobIconIndex(bekPict, false), 5);
  EXPECT_EQ(BlobIconIndex(bekOle, true), 6);
  EXPECT_EQ(BlobIconIndex(bekBlob, false), 1);
  TImageList* icons = DxInplaceGlyphs();
  ASSERT_TRUE(icons && icons->GetCount() == 8);
  ShowEditor();
  // The editor paints its content through WM_PAINT into a surface; the icon is expected
  // centred on the editor's colour, as the icon list draws it.
  auto shows = [&](int index) {
    const TRect client = Blob->GetClientRect();
    const int width = RectWidth(client), height = RectHeight(client);
    TDibSurface painted(width, height), expected(width, height);
    SendMessageA(Blob->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(painted.DC()), 0);
    expected.Fill(ColorToRGB(Blob->GetColor()));
    DrawImageListImage(expected.DC(), (width - icons->GetWidth()) / 2, (height - icons->GetHeight()) / 2, icons,
                       index);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (expected.Color(x, y) != painted.Color(x, y))
          return false;
    return true;
  };
  EXPECT_TRUE(shows(2)) << "an empty memo";
  EXPECT_FALSE(shows(3));
  Blob->SetEditValue(Variant("some text"));
  EXPECT_TRUE(shows(3));
  Blob->SetBlobEditKind(bekPict);
  Blob->SetEditValue(Variant(PictureValue(4, 4)));
  EXPECT_TRUE(shows(5)) << "a picture";
  EXPECT_FALSE(shows(4));
  Blob->SetEditValue(Variant::Null());
  EXPECT_TRUE(shows(4));
}

TEST_F(DxInplaceBlobEditTest, DeleteInTheClosedEditorDoesNothing) {
  Blob->SetEditValue(Variant("keep me"));
  ShowEditor();
  ASSERT_EQ(GetFocus(), Blob->GetHandle());
  Press(VK_DELETE);
  PumpPending();
  EXPECT_EQ(Blob->GetBlobValue(), "keep me");
  EXPECT_EQ(Blob->Changes, 0);
  EXPECT_EQ(std::count(Container->EditorKeys.begin(), Container->EditorKeys.end(), VK_DELETE), 0)
      << "the key is swallowed before the container sees it";
}

// ---- Closing the popup --------------------------------------------------------------

TEST_F(DxInplaceBlobEditTest, EscapeKeepsTheOldValue) {
  Blob->SetEditValue(Variant("old"));
  ShowEditor();
  Open();
  EXPECT_EQ(Popup()->GetText(), "old");
  PressWith(VK_CONTROL, VK_END);
  TypeText("er");
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetText() == "older"; }));
  EXPECT_TRUE(Popup()->GetModified());
  Press(VK_ESCAPE);
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "old");
  EXPECT_EQ(Blob->Changes, 0);
  EXPECT_EQ(GetFocus(), Blob->GetHandle()) << "the focus goes back to the editor";
}

TEST_F(DxInplaceBlobEditTest, ClickingOutsideKeepsTheNewTextOnlyWithAlwaysSaveText) {
  Blob->SetEditValue(Variant("old"));
  ShowEditor();
  for (bool always : {true, false}) {
    Blob->SetAlwaysSaveText(always);
    Open();
    PressWith(VK_CONTROL, VK_END);
    TypeText("x");
    ASSERT_TRUE(PumpUntil([&] { return Popup()->GetText() == "oldx"; }));
    ASSERT_TRUE(ClickAt(Outside()));
    WaitClosed();
    EXPECT_EQ(Blob->GetBlobValue(), always ? "oldx" : "old") << always;
    Blob->SetEditValue(Variant("old"));
  }
}

TEST_F(DxInplaceBlobEditTest, KeyboardClosingKeepsAChangedMemoAsAlwaysSaveTextSays) {
  // Regression: Alt+Up, Alt+Down and F4 cleared the modified flag, so a changed memo was
  // lost even with AlwaysSaveText, which keeps it on every close but Cancel and Close.
  ShowEditor();
  struct TWay {
    WORD Modifier, Key;
  };
  for (const TWay way : {TWay{0, VK_F4}, TWay{VK_MENU, VK_UP}, TWay{VK_MENU, VK_DOWN}}) {
    for (bool always : {true, false}) {
      Blob->SetEditValue(Variant("a"));
      Blob->SetAlwaysSaveText(always);
      Open();
      PressWith(VK_CONTROL, VK_END);
      TypeText("b");
      ASSERT_TRUE(PumpUntil([&] { return Popup()->GetText() == "ab"; }));
      if (way.Modifier)
        PressWith(way.Modifier, way.Key);
      else
        Press(way.Key);
      WaitClosed();
      EXPECT_EQ(Blob->GetBlobValue(), always ? "ab" : "a") << way.Key << " " << always;
    }
  }
}

TEST_F(DxInplaceBlobEditTest, TheButtonsCloseThePopupAndOkWaitsForAChange) {
  Blob->SetEditValue(Variant("text"));
  Blob->SetAlwaysSaveText(false);
  ShowEditor();
  Open();
  const TdxBlobPopupButtons shown{bpbOK, bpbCancel};
  EXPECT_TRUE(Popup()->GetVisibleButtons() == shown);
  const TRect ok = Popup()->GetButtonRect(bpbOK), cancel = Popup()->GetButtonRect(bpbCancel);
  EXPECT_EQ(ok.right + Popup()->GetMetrics().Gap, cancel.left) << "laid from the right";
  ASSERT_TRUE(ClickAt(OnScreen(Centre(ok))));
  PumpUntil([] { return false; }, 100);
  EXPECT_TRUE(PopupShown()) << "OK is disabled while nothing changed";
  PressWith(VK_CONTROL, VK_END);
  TypeText("s");
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetText() == "texts"; }));
  ASSERT_TRUE(ClickAt(OnScreen(Centre(ok))));
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "texts");
  EXPECT_EQ(Blob->Changes, 1);
  EXPECT_EQ(GetCapture(), nullptr);

  Open();
  TypeText("x");
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetModified(); }));
  // A press on OK released beside it closes nothing.
  const TPoint onOk = OnScreen(Centre(Popup()->GetButtonRect(bpbOK)));
  ASSERT_TRUE(SettlePointerAt(onOk.x, onOk.y));
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetTracking(); }));
  EXPECT_EQ(Popup()->GetPressedButton(), bpbOK);
  ASSERT_TRUE(SettlePointerAt(onOk.x, onOk.y - 40));
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return !Popup()->GetTracking(); }));
  EXPECT_TRUE(PopupShown());
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_TRUE(ClickAt(OnScreen(Centre(Popup()->GetButtonRect(bpbCancel)))));
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "texts") << "Cancel drops the change";
  EXPECT_EQ(Blob->Changes, 1);

  // The buttons' accelerators with Alt: "&Cancel", "&OK".
  Open();
  TypeText("y");
  PressWith(VK_MENU, 'C');
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "texts");
  Open();
  TypeText("y");
  PressWith(VK_MENU, 'O');
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "ytexts");
}

TEST_F(DxInplaceBlobEditTest, TheMemoFollowsItsOptionsAndItsMenu) {
  Blob->SetEditValue(Variant("abc"));
  Blob->SetMemoCharCase(ecUpperCase);
  Blob->SetBlobPaintStyle(bpsText);
  ShowEditor();
  Open();
  EXPECT_EQ(Popup()->GetText(), "ABC");
  EXPECT_FALSE(Popup()->GetModified()) << "the case of a loaded text is no edit";
  PressWith(VK_CONTROL, VK_END);
  TypeText("d");
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetText() == "ABCD"; }));
  PressWith(VK_CONTROL, VK_RETURN);
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "ABCD");
  EXPECT_EQ(Blob->GetText(), "ABCD") << "the text paint style shows the accepted text";

  Blob->SetMemoCharCase(ecNormal);
  Open();
  TMenuItem* items = Popup()->PrepareContextMenu()->GetItems();
  ASSERT_EQ(items->GetCount(), 9);
  EXPECT_EQ(items->GetItem(8)->GetCaption(), "Select &All");
  EXPECT_FALSE(items->GetItem(3)->GetEnabled()) << "Cut, without a selection";
  items->GetItem(8)->Click();
  items = Popup()->PrepareContextMenu()->GetItems();
  EXPECT_TRUE(items->GetItem(3)->GetEnabled()) << "Cut, with the whole text selected";
  items->GetItem(6)->Click();  // Delete
  EXPECT_EQ(Popup()->GetText(), "");
  PressWith(VK_CONTROL, VK_RETURN);
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "");
}

TEST_F(DxInplaceBlobEditTest, OleAndRawDataShowAnEllipsisAndOpenNoPopup) {
  ShowEditor();
  for (TdxBlobEditKind kind : {bekOle, bekBlob}) {
    Blob->SetBlobEditKind(kind);
    std::unique_ptr<TdxEditViewData> viewData(Blob->CreateViewData(false));
    TdxEditDrawRecord record;
    Blob->EditClass()->CalcViewData(viewData.get(), false, record);
    auto* v = ObjectAs<TdxBlobEditViewData>(viewData.get());
    ASSERT_TRUE(v && v->ButtonCount == 1);
    EXPECT_EQ(v->Buttons[0].Kind, bkEllipsis);
    PressWith(VK_MENU, VK_DOWN);
    PumpPending();
    EXPECT_FALSE(PopupShown());
  }
}

TEST_F(DxInplaceBlobEditTest, AResizedPopupReopensAtThatSize) {
  ShowEditor();
  Open();
  RECT before{};
  GetWindowRect(Popup()->GetHandle(), &before);
  EXPECT_EQ(before.right - before.left, 200);
  EXPECT_EQ(before.bottom - before.top, 140);
  ASSERT_EQ(Popup()->GetGripCorner(), sgBottomRight);
  // The grip, dragged by the mouse 60 pixels right and 40 down.
  const TRect body = Popup()->GetBodyRect();
  const TPoint grip = OnScreen(TPoint{body.right - 3, body.bottom - 3});
  ASSERT_EQ(SendMessageA(Popup()->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTBOTTOMRIGHT);
  ASSERT_TRUE(Drag(grip, TPoint{grip.x + 60, grip.y + 40}));
  ASSERT_TRUE(PumpUntil([&] {
    RECT now{};
    GetWindowRect(Popup()->GetHandle(), &now);
    return now.right - now.left == 260 && now.bottom - now.top == 180;
  }));
  Press(VK_ESCAPE);
  WaitClosed();
  EXPECT_EQ(Blob->GetPopupWidth(), 260);
  EXPECT_EQ(Blob->GetPopupHeight(), 180);
  Open();
  RECT after{};
  GetWindowRect(Popup()->GetHandle(), &after);
  EXPECT_EQ(after.right - after.left, 260);
  EXPECT_EQ(after.bottom - after.top, 180);
  Press(VK_ESCAPE);
  WaitClosed();
}

TEST_F(DxInplaceBlobEditTest, TheGripSizesThePopupAtItsNextShowing) {
  // Regression: from the second showing on, setting the read-only state of the memo's
  // existing window wrote its selection-bar bit back into its style, where the window
  // manager reads it as WS_MAXIMIZE, and the grip no longer sized the popup.
  ShowEditor();
  Open();
  Press(VK_ESCAPE);
  WaitClosed();
  Open();
  HWND wnd = Popup()->GetHandle();
  EXPECT_FALSE(IsZoomed(wnd));
  const TRect body = Popup()->GetBodyRect();
  const TPoint grip = OnScreen(TPoint{body.right - 3, body.bottom - 3});
  ASSERT_TRUE(Drag(grip, TPoint{grip.x + 30, grip.y + 20}));
  EXPECT_TRUE(PumpUntil([&] {
    RECT now{};
    GetWindowRect(wnd, &now);
    return now.right - now.left == 230 && now.bottom - now.top == 160;
  }));
  Press(VK_ESCAPE);
  WaitClosed();
}

// ---- Placement ----------------------------------------------------------------------

TEST_F(DxInplaceBlobEditTest, APictureLargerThanTheScreenOpensShrunkInProportion) {
  Blob->SetBlobEditKind(bekPict);
  Blob->SetEditValue(Variant(PictureValue(2600, 1300)));
  ShowEditor();
  Open();
  TRect work{};
  GetWorkArea(TPoint{Form->GetLeft(), Form->GetTop()}, work);
  RECT window{};
  GetWindowRect(Popup()->GetHandle(), &window);
  EXPECT_GE(window.left, work.left);
  EXPECT_LE(window.right, work.right);
  EXPECT_GE(window.top, work.top);
  EXPECT_LE(window.bottom, work.bottom);
  const TRect client = Popup()->GetClientRect();
  EXPECT_LT(RectWidth(client), 2600);
  EXPECT_NEAR(RectWidth(client), 2 * RectHeight(client), 2) << "the picture's proportions";
  // The picture fills the client area: it is shown scaled.
  TDibSurface painted(RectWidth(client), RectHeight(client));
  SendMessageA(Popup()->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(painted.DC()), 0);
  EXPECT_EQ(painted.Color(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(painted.Color(painted.Width() - 1, painted.Height() - 1), RGB(0, 0, 255));
  Press(VK_ESCAPE);
  WaitClosed();
}

TEST_F(DxInplaceBlobEditTest, TheSizeGripGoesToTheCornerAwayFromTheEditor) {
  TRect work{};
  GetWorkArea(TPoint{0, 0}, work);
  struct TCase {
    int Left, Top;
    int Corner;
    LRESULT Hit;
  };
  const TCase cases[] = {{work.right - 120, 300, sgBottomLeft, HTBOTTOMLEFT},
                         {300, work.bottom - 100, sgTopRight, HTTOPRIGHT},
                         {work.right - 120, work.bottom - 100, sgTopLeft, HTTOPLEFT},
                         {300, 300, sgBottomRight, HTBOTTOMRIGHT}};
  // Asked for less than the button bar needs, the popup takes its minimum.
  Blob->SetPopupWidth(10);
  Blob->SetPopupHeight(10);
  ShowForm();
  for (const TCase& at : cases) {
    Form->SetBounds(at.Left, at.Top, 300, 200);
    Blob->ShowEdit(Rect(10, 10, 90, 30));
    PumpPending();
    Open();
    EXPECT_EQ(Popup()->GetGripCorner(), at.Corner) << at.Left << "," << at.Top;
    RECT window{}, editor{};
    GetWindowRect(Popup()->GetHandle(), &window);
    GetWindowRect(Blob->GetHandle(), &editor);
    EXPECT_EQ(window.right - window.left, Popup()->GetMetrics().MinWidth);
    EXPECT_EQ(window.bottom - window.top, Popup()->GetMetrics().MinHeight);
    const bool left = at.Corner == sgBottomLeft || at.Corner == sgTopLeft;
    const bool up = at.Corner == sgTopRight || at.Corner == sgTopLeft;
    if (left)
      EXPECT_EQ(window.right, work.right) << "moved left to the work area's edge";
    else
      EXPECT_EQ(window.left, editor.left);
    EXPECT_EQ(up ? window.bottom : window.top, up ? editor.top : editor.bottom);
    // The grip's corner of the body is where the mouse sizes the popup.
    const TRect body = Popup()->GetBodyRect();
    const TPoint corner = OnScreen(TPoint{left ? body.left + 2 : body.right - 3, up ? body.top + 2 : body.bottom - 3});
    EXPECT_EQ(SendMessageA(Popup()->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), at.Hit);
    // The button bar lies on the grip's side.
    const TRect bar = Popup()->GetButtonBarRect();
    const int border = TdxInplacePopupControl::BorderWidth(Popup()->GetPopupBorder());
    EXPECT_EQ(up ? bar.top : bar.bottom, up ? body.top + border : body.bottom - border);
    Press(VK_ESCAPE);
    WaitClosed();
  }
}

TEST_F(DxInplaceBlobEditTest, AReadOnlyPopupShowsASingleCloseButton) {
  Blob->SetEditValue(Variant("fixed"));
  Blob->SetReadOnly(true);
  ShowEditor();
  Open();
  EXPECT_TRUE(Popup()->GetVisibleButtons() == TdxBlobPopupButtons{bpbClose});
  EXPECT_TRUE(IsRectEmpty(&static_cast<const RECT&>(Popup()->GetButtonRect(bpbOK))));
  EXPECT_TRUE(IsRectEmpty(&static_cast<const RECT&>(Popup()->GetButtonRect(bpbCancel))));
  TypeText("x");
  PumpPending();
  EXPECT_EQ(Popup()->GetText(), "fixed");
  // On the screen: the Close button's face, and plain bar where Cancel and OK would be.
  {
    const TRect close = Popup()->GetButtonRect(bpbClose);
    const int gap = Popup()->GetMetrics().Gap, width = Popup()->GetMetrics().ButtonWidth;
    TWindowDC window(Popup()->GetHandle());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(GetPixel(window, close.left + 4, close.top + 4), face);
    EXPECT_NE(GetPixel(window, close.left, close.top + 4), face) << "the Close button's edge";
    for (int x = close.left - gap - width; x < close.left; x += 3)
      EXPECT_EQ(GetPixel(window, x, close.top + 1), face) << "no other button at " << x;
  }
  TMenuItem* memoItems = Popup()->PrepareContextMenu()->GetItems();
  EXPECT_FALSE(memoItems->GetItem(5)->GetEnabled()) << "Paste";
  ASSERT_TRUE(ClickAt(OnScreen(Centre(Popup()->GetButtonRect(bpbClose)))));
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "fixed");

  // The picture menu of a read-only popup: only Copy (and Save) act.
  Blob->SetBlobEditKind(bekPict);
  Blob->SetEditValue(Variant(PictureValue(6, 6)));
  TBitmap onClipboard;
  onClipboard.SetSize(3, 3);
  Clipboard()->Assign(&onClipboard);
  Open();
  TMenuItem* items = Popup()->PrepareContextMenu()->GetItems();
  ASSERT_EQ(items->GetCount(), 7);
  EXPECT_FALSE(items->GetItem(0)->GetEnabled()) << "Cut";
  EXPECT_TRUE(items->GetItem(1)->GetEnabled()) << "Copy";
  EXPECT_FALSE(items->GetItem(2)->GetEnabled()) << "Paste";
  EXPECT_FALSE(items->GetItem(3)->GetEnabled()) << "Delete";
  EXPECT_FALSE(items->GetItem(5)->GetEnabled()) << "Load";
  EXPECT_TRUE(items->GetItem(6)->GetEnabled()) << "Save";
  PressWith(VK_SHIFT, VK_DELETE);  // cut: copies, but deletes nothing
  PumpPending();
  EXPECT_FALSE(IsPictureEmpty(Popup()->GetPicture()));
  Press(VK_ESCAPE);
  WaitClosed();
}

// ---- Values -------------------------------------------------------------------------

TEST_F(DxInplaceBlobEditTest, ALongMemoGoesInAndComesBackWhole) {
  // Regression: the memo's limit of 0 was RichEdit's default of about 64K characters
  // (Wine's RichEdit raises it to the length of a longer text put in), so typing went
  // on refusing characters at the end of a long memo, and the memo was written back
  // without them.
  const std::string text = MemoText(100, 2000);
  ASSERT_EQ(text.size(), 200000u);
  Blob->SetEditValue(Variant(text));
  ShowEditor();
  Open();
  EXPECT_TRUE(Popup()->GetText() == text);
  PressWith(VK_CONTROL, VK_END);
  const std::string typed = "some more words typed at the end of a long memo, which has to keep every one of them "
                            "and all the letters too";
  ASSERT_GT(typed.size(), 100u) << "more than the line breaks count less in the window";
  TypeText(typed);
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetModified(); }));
  PressWith(VK_CONTROL, VK_RETURN);
  WaitClosed();
  // Compared whole, without printing 200,000 characters.
  EXPECT_EQ(Blob->GetBlobValue().size(), text.size() + typed.size());
  EXPECT_TRUE(Blob->GetBlobValue() == text + typed);
  Variant value;
  Blob->GetEditValue(value);
  EXPECT_TRUE(VarToStr(value) == text + typed);

  // A limit of its own holds.
  Blob->SetEditValue(Variant("abc"));
  Blob->SetMemoMaxLength(5);
  Open();
  PressWith(VK_CONTROL, VK_END);
  TypeText("defg");
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetText() == "abcde"; }));
  PressWith(VK_CONTROL, VK_RETURN);
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "abcde");
}

TEST_F(DxInplaceBlobEditTest, AMemoTheWindowCannotShowWholeOpensReadOnlyAndKeepsEveryByte) {
  // Regression: the memo's window takes a text up to its first NUL byte, so typing one
  // letter into "before\0after\r\nline2" and Ctrl+Enter stored "beforex" (7 of 19
  // bytes), and an edit of a megabyte of binary data kept some hundred bytes.
  const std::string withNul("before\0after\r\nline2", 19);
  std::mt19937 random(7);
  std::string binary(1 << 20, '\0');
  for (char& c : binary)
    c = char(random() & 0xFF);
  ASSERT_NE(binary.find('\0'), std::string::npos);
  const std::string softBreak = "one\r\r\ntwo";  // laid out as "one two"
  ShowEditor();
  for (const std::string& value : {withNul, binary, softBreak}) {
    SCOPED_TRACE(value.size());
    Blob->SetEditValue(Variant(value));
    Open();
    EXPECT_TRUE(Blob->GetValueShownInPart());
    EXPECT_TRUE(Popup()->GetReadOnly());
    EXPECT_TRUE(Popup()->GetVisibleButtons() == TdxBlobPopupButtons{bpbClose});
    const size_t refusals = Exceptions.Messages.size();
    PressWith(VK_CONTROL, VK_END);
    TypeText("x");
    PumpUntil([&] { return Exceptions.Messages.size() > refusals; });
    EXPECT_TRUE(Exceptions.Messages.size() > refusals && Exceptions.Messages.back() == sdxValueShownInPart)
        << "the change is refused with the reason";
    PressWith(VK_CONTROL, VK_RETURN);
    WaitClosed();
    EXPECT_EQ(Blob->GetBlobValue().size(), value.size());
    EXPECT_TRUE(Blob->GetBlobValue() == value);
    EXPECT_EQ(Blob->Changes, 0);
  }
  // Line breaks of every kind are shown whole (as CR LF), and such a memo is edited.
  Blob->SetEditValue(Variant("unix\nlines"));
  Open();
  EXPECT_FALSE(Blob->GetValueShownInPart());
  EXPECT_FALSE(Popup()->GetReadOnly());
  PressWith(VK_CONTROL, VK_END);
  TypeText("x");
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetModified(); }));
  PressWith(VK_CONTROL, VK_RETURN);
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "unix\r\nlinesx");
}

TEST_F(DxInplaceBlobEditTest, APictureThatDoesNotLoadLeavesNoFlagRaised) {
  // Regression: the loading flag raised around reading the picture stayed raised when
  // the bytes were no picture, and every later change in the popup counted as a load.
  Blob->SetBlobEditKind(bekPict);
  Blob->SetEditValue(Variant(std::string("these bytes are no picture")));
  ShowEditor();
  PressWith(VK_MENU, VK_DOWN);
  PumpPending();
  ASSERT_EQ(Exceptions.Messages.size(), 1u);
  EXPECT_FALSE(PopupShown());
  EXPECT_FALSE(Blob->GetDroppedDown());

  Blob->SetEditValue(Variant(PictureValue(4, 4)));
  TBitmap pasted;
  pasted.SetSize(7, 3);
  Clipboard()->Assign(&pasted);
  Open();
  EXPECT_THROW(Popup()->LoadPictureValue("still no picture at all"), EInvalidGraphic);
  EXPECT_FALSE(Popup()->GetModified());
  PressWith(VK_CONTROL, 'V');
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetPicture()->GetWidth() == 7; }));
  EXPECT_TRUE(Popup()->GetModified());
  Press(VK_RETURN);  // OK, in a picture popup
  WaitClosed();
  Variant value;
  Blob->GetEditValue(value);
  ASSERT_NE(GraphicOfEditValue(value), nullptr);
  EXPECT_EQ(GraphicOfEditValue(value)->GetWidth(), 7);
  EXPECT_EQ(Blob->Changes, 1);
}

TEST_F(DxInplaceBlobEditTest, APictureAtItsOwnSizeScrolls) {
  Blob->SetBlobEditKind(bekPict);
  Blob->SetPictureAutoSize(false);
  Blob->SetEditValue(Variant(PictureValue(400, 300)));
  ShowEditor();
  Open();
  HWND popup = Popup()->GetHandle();
  const TRect client = Popup()->GetClientRect();
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(popup, SB_VERT, &info));
  EXPECT_EQ(info.nMax, 299);
  EXPECT_EQ(int(info.nPage), RectHeight(client));
  SendMessageA(popup, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Popup()->GetVertScrollPos(), GetSystemMetrics(SM_CYVSCROLL));
  SendMessageA(popup, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(Popup()->GetVertScrollPos(), 300 - RectHeight(client)) << "no empty space below";
  SendMessageA(popup, WM_HSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Popup()->GetHorzScrollPos(), RectWidth(client));
  SendMessageA(popup, WM_HSCROLL, SB_TOP, 0);
  EXPECT_EQ(Popup()->GetHorzScrollPos(), 0);
  Press(VK_ESCAPE);
  WaitClosed();

  // Made transparent, the picture's transparent colour (its bottom-left pixel's) shows
  // the popup's colour; beyond the picture the popup's colour shows too.
  TBitmap bitmap;
  bitmap.SetSize(20, 20);
  bitmap.GetCanvas()->GetBrush()->SetColor(TColor(RGB(0, 0, 255)));
  bitmap.GetCanvas()->FillRect(Rect(0, 0, 20, 20));
  bitmap.GetCanvas()->GetBrush()->SetColor(TColor(RGB(255, 0, 0)));
  bitmap.GetCanvas()->FillRect(Rect(0, 10, 10, 20));
  TPicture picture;
  picture.Assign(&bitmap);
  std::string value;
  SavePictureToString(&picture, value);
  Blob->SetEditValue(Variant(value));
  Blob->SetColor(TColor(RGB(0, 255, 0)));
  Blob->SetPictureTransparency(gtTransparent);
  Open();
  const TRect shown = Popup()->GetClientRect();
  TDibSurface painted(RectWidth(shown), RectHeight(shown));
  SendMessageA(Popup()->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(painted.DC()), 0);
  EXPECT_EQ(painted.Color(15, 5), RGB(0, 0, 255));
  EXPECT_EQ(painted.Color(5, 15), RGB(0, 255, 0)) << "the transparent part";
  EXPECT_EQ(painted.Color(30, 5), RGB(0, 255, 0)) << "beside the picture";
  Press(VK_ESCAPE);
  WaitClosed();
}

TEST_F(DxInplaceBlobEditTest, TabLeavesThePopupForTheContainer) {
  Blob->SetEditValue(Variant("a"));
  Blob->SetMemoWantTabs(false);
  ShowEditor();
  Open();
  PressWith(VK_CONTROL, VK_END);
  TypeText("b");
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetText() == "ab"; }));
  Press(VK_TAB);
  WaitClosed();
  EXPECT_EQ(std::count(Container->KeysDown.begin(), Container->KeysDown.end(), VK_TAB), 1);
  EXPECT_EQ(Blob->GetBlobValue(), "ab") << "AlwaysSaveText keeps the text";
}

// ---- Resources ----------------------------------------------------------------------

TEST_F(DxInplaceBlobEditTest, AHundredShowingsLeaveNothingBehind) {
  ShowEditor();
  const int windowsWithoutPopup = ThreadWindowCount();
  Open();
  Press(VK_ESCAPE);
  WaitClosed();
  // The popup is made once and kept for the next showing.
  const int windows = ThreadWindowCount(), gdi = ProcessGdiObjectCount();
  const int libraryGdi = LiveGdiHandleCount(), libraryUser = LiveUserHandleCount();
  const int mismatches = HandleMismatchCount();
  EXPECT_EQ(windows, windowsWithoutPopup + 1);
  for (int i = 0; i < 100; ++i) {
    Open();
    TypeText("a");
    switch (i % 4) {
      case 0: Press(VK_ESCAPE); break;
      case 1: PressWith(VK_CONTROL, VK_RETURN); break;
      case 2: Press(VK_F4); break;
      case 3: ASSERT_TRUE(ClickAt(Outside())); break;
    }
    WaitClosed();
    if (i % 4 == 3)
      Blob->SetFocus();
  }
  PumpPending();
  EXPECT_EQ(Blob->GetBlobValue(), std::string(75, 'a')) << "OK, F4 and the click keep the text";
  EXPECT_EQ(ThreadWindowCount(), windows);
  EXPECT_EQ(ProcessGdiObjectCount(), gdi);
  EXPECT_EQ(LiveGdiHandleCount(), libraryGdi);
  EXPECT_EQ(LiveUserHandleCount(), libraryUser);
  EXPECT_EQ(HandleMismatchCount(), mismatches);
  EXPECT_EQ(GetCapture(), nullptr);
  const HWND popup = Popup()->GetHandle();
  delete Blob;
  Blob = nullptr;
  EXPECT_FALSE(IsWindow(popup)) << "the editor frees its popup";
  EXPECT_EQ(ThreadWindowCount(), windowsWithoutPopup - 1);
}

TEST_F(DxInplaceBlobEditTest, AnEditorFreedWithItsPopupOpenLeavesNothing) {
  Blob->SetEditValue(Variant("a"));
  ShowEditor();
  const int windows = ThreadWindowCount();
  Open();
  TypeText("b");
  ASSERT_TRUE(PumpUntil([&] { return Popup()->GetModified(); }));
  delete Blob;
  Blob = nullptr;
  PumpPending();
  EXPECT_EQ(ThreadWindowCount(), windows - 1);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
