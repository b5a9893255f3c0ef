// The blob editor and its popup, driven by real input (keys typed with keybd_event,
// clicks with mouse_event at points on the screen) and by window messages: the cell's
// icon, the keys of the closed editor, the ways of closing the popup and what each
// keeps, the size the popup remembers, its placement near the screen's edges, the
// read-only popup, long memo texts and what a hundred showings leave behind.
#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "classlib/Bitmap.h"
#include "classlib/Clipboard.h"
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
  ASSERT_TRUE(ClickAt(OnScreen(Centre(Popup()->GetButtonRect(bpbCancel)))));
  WaitClosed();
  EXPECT_EQ(Blob->GetBlobValue(), "texts") << "Cancel drops the change";
  EXPECT_EQ(Blob->Changes, 1);
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

}  // namespace
