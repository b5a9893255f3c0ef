// The in-place editor base with real windows: construction by mode, validation,
// undoing, keys handed to the container, showing and hiding over a cell, the window
// messages it answers, and the window region and client area its frame gives it.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "classlib/AliveGuard.h"
#include "classlib/GdiHandles.h"
#include "editors/DxInplaceButtonEdit.h"
#include "editors/DxInplaceEdit.h"
#include "editors/DxInplaceGraphicEdit.h"
#include "editors/DxInplaceImageEdit.h"
#include "editors/DxInplaceMRUEdit.h"
#include "editors/DxInplaceMemoEdit.h"
#include "editors/DxInplaceTextEdit.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/editors/GuardedHeap.h"
#include "tests/support/MemoryRecorder.h"

namespace {

struct TValidator {
  bool Accept = true;
  std::string Text;
  int Calls = 0;
  void Validate(TObject*, std::string& errorText, bool& accept) {
    ++Calls;
    if (!Text.empty())
      errorText = Text;
    accept = Accept;
  }
};

using DxInplaceEditTest = EditorTest;

TEST_F(DxInplaceEditTest, ConstructionFollowsTheMode) {
  EXPECT_FALSE(Edit->GetTabStop());
  EXPECT_FALSE(Edit->GetCtl3D());
  EXPECT_FALSE(Edit->GetParentColor());
  EXPECT_TRUE(Edit->GetAutoSizeFlag());
  EXPECT_EQ(Edit->Container(), Container);
  TStandAloneEdit alone(Form);
  EXPECT_EQ(alone.GetWidth(), 121);
  EXPECT_EQ(alone.GetHeight(), 24);
  EXPECT_TRUE(alone.GetTabStop());
  EXPECT_EQ(alone.Container(), nullptr);
}

TEST_F(DxInplaceEditTest, ValidationAsksOnlyForModifiedValues) {
  TValidator validator;
  validator.Accept = false;
  Edit->OnValidate = TdxEditValidateEvent::Bind<&TValidator::Validate>(&validator);
  EXPECT_NO_THROW(Edit->ValidateEdit());
  EXPECT_EQ(validator.Calls, 0) << "an unmodified value is never validated";

  Edit->SetModified(true);
  try {
    Edit->ValidateEdit();
    FAIL() << "a refused value raises";
  } catch (const EdxEditInvalidInput& e) {
    EXPECT_STREQ(e.what(), "Invalid input value. Use escape key to abandon changes");
  }
  validator.Text = "Too big";
  EXPECT_THROW(Edit->ValidateEdit(), EdxEditInvalidInput);
  try {
    Edit->ValidateEdit();
  } catch (const EdxEditInvalidInput& e) {
    EXPECT_STREQ(e.what(), "Too big");
  }
  Edit->IncValidateLock();
  EXPECT_NO_THROW(Edit->ValidateEdit());
  Edit->DecValidateLock();
  validator.Accept = true;
  EXPECT_NO_THROW(Edit->ValidateEdit());
}

TEST_F(DxInplaceEditTest, EscapeGoesBackToTheTextEditingBeganWith) {
  Edit->TextArea = true;
  Edit->SetText("before");
  Edit->Perform(CM_ENTER);
  Edit->SetText("after");
  Edit->SetModified(true);
  WORD key = VK_ESCAPE;
  Edit->KeyDown(key, {});
  EXPECT_EQ(Edit->GetText(), "before");
  EXPECT_FALSE(Edit->GetModified());
  EXPECT_EQ(key, 0);
  ASSERT_EQ(Container->KeysDown.size(), 1u);
  EXPECT_EQ(Container->KeysDown[0], VK_ESCAPE);
}

TEST_F(DxInplaceEditTest, NavigationKeysGoToTheContainerAfterValidation) {
  TValidator validator;
  validator.Accept = false;
  Edit->OnValidate = TdxEditValidateEvent::Bind<&TValidator::Validate>(&validator);
  Edit->SetModified(true);
  WORD key = VK_DOWN;
  EXPECT_THROW(Edit->KeyDown(key, {}), EdxEditInvalidInput);
  EXPECT_TRUE(Container->KeysDown.empty()) << "a rejected value raises before the container sees the key";
  EXPECT_EQ(Edit->GetValidateLock(), 0);

  validator.Accept = true;
  for (WORD k : {WORD(VK_TAB), WORD(VK_RETURN), WORD(VK_PRIOR), WORD(VK_NEXT), WORD(VK_UP), WORD(VK_INSERT)}) {
    key = k;
    Edit->KeyDown(key, {});
    EXPECT_EQ(key, 0);
  }
  EXPECT_EQ(Container->KeysDown.size(), 6u);
  EXPECT_TRUE(Container->EditorKeys.empty());
}

TEST_F(DxInplaceEditTest, EditingKeysNeedTheContainersPermission) {
  Container->AllowModify = false;
  WORD key = VK_DELETE;
  Edit->KeyDown(key, {});
  EXPECT_EQ(key, 0);
  key = VK_INSERT;
  Edit->KeyDown(key, {ssShift});
  EXPECT_EQ(key, 0);
  EXPECT_TRUE(Container->EditorKeys.empty());

  Container->AllowModify = true;
  key = VK_DELETE;
  Edit->KeyDown(key, {});
  EXPECT_EQ(key, VK_DELETE);
  key = 'A';
  Edit->KeyDown(key, {});
  EXPECT_EQ(Container->EditorKeys, (std::vector<WORD>{VK_DELETE, 'A'}));
  // F2 goes to the editor-key hook once and then to the editor's own action.
  key = VK_F2;
  Edit->KeyDown(key, {});
  EXPECT_EQ(Container->EditorKeys.back(), VK_F2);
  EXPECT_EQ(Container->EditorKeys.size(), 3u);
}

TEST_F(DxInplaceEditTest, TypedCharactersPassTheContainerAndTheEditorsTests) {
  char key = 'a';
  Edit->KeyPress(key);
  EXPECT_EQ(key, 'a');
  Container->AllowChars = false;
  key = 'b';
  Edit->KeyPress(key);
  EXPECT_EQ(key, 0);
  Container->AllowChars = true;
  key = '\t';
  Edit->KeyPress(key);
  EXPECT_EQ(key, 0) << "a tab is the container's in place";
  key = 27;
  Edit->KeyPress(key);
  EXPECT_EQ(key, 0);
  Edit->TextArea = true;
  Edit->SetReadOnly(true);
  key = 'c';
  Edit->KeyPress(key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(Container->Pressed, std::string("ab\t\x1b" "c"));
}

TEST_F(DxInplaceEditTest, ReadOnlyAndUserText) {
  EXPECT_TRUE(Edit->CanModify());
  Container->AllowModify = false;
  EXPECT_FALSE(Edit->CanModify());
  Container->AllowModify = true;
  Edit->SetText("kept");
  Edit->SetReadOnly(true);
  EXPECT_TRUE(Edit->GetAssignedValues().Contains(evReadOnly));
  Edit->SetTextAsUser("typed");
  EXPECT_EQ(Edit->GetText(), "kept");
  EXPECT_TRUE(Edit->GetModified());
  Edit->RestoreDefaults();
  EXPECT_FALSE(Edit->GetReadOnly());
  EXPECT_TRUE(Edit->GetAssignedValues().Empty());
  Edit->SetTextAsUser("typed");
  EXPECT_EQ(Edit->GetText(), "typed");
}

TEST_F(DxInplaceEditTest, ShowEditPlacesTheEditorOverTheCellOnce) {
  ShowForm();
  Edit->ShowEdit(TRect{});
  EXPECT_FALSE(Edit->GetShown());
  EXPECT_EQ(Edit->AfterShows, 0);

  Edit->ShowEdit(Rect(20, 30, 120, 50));
  EXPECT_TRUE(Edit->GetShown());
  EXPECT_TRUE(IsWindowVisible(Edit->GetHandle()));
  EXPECT_EQ(Edit->GetBoundsRect(), Rect(18, 28, 122, 52));
  EXPECT_EQ(GetFocus(), Edit->GetHandle());
  EXPECT_EQ(Edit->SelectAlls, 1);
  EXPECT_EQ(Edit->AfterShows, 1);
  Edit->ShowEdit(Rect(20, 60, 120, 80));
  EXPECT_EQ(Edit->AfterShows, 1) << "a second ShowEdit while shown does not run AfterShow again";

  Edit->HideEdit();
  EXPECT_FALSE(Edit->GetShown());
  EXPECT_FALSE(IsWindowVisible(Edit->GetHandle()));
  Edit->IncShowLock();
  Edit->ShowEdit(Rect(20, 30, 120, 50));
  EXPECT_EQ(Edit->AfterShows, 1) << "the show lock holds AfterShow back";
  Edit->DecShowLock();
}

TEST_F(DxInplaceEditTest, FocusAndExitAreReportedToTheContainer) {
  ShowForm();
  Edit->ShowEdit(Rect(20, 30, 120, 50));
  EXPECT_GE(Container->FocusChanges, 1);
  const int before = Container->FocusChanges;
  Container->SetFocus();
  PumpPending();
  EXPECT_EQ(Container->FocusChanges, before) << "focus going to the container itself is not an exit";
  Edit->ShowEdit(Rect(20, 30, 120, 50));
  const int shown = Container->FocusChanges;
  auto* other = new TTestEdit(Form);
  other->SetParent(Form);
  other->SetTop(170);
  other->SetFocus();
  PumpPending();
  EXPECT_GT(Container->FocusChanges, shown);
}

TEST_F(DxInplaceEditTest, DialogCodeAndInterceptedKeys) {
  HWND wnd = Edit->GetHandle();
  LRESULT code = SendMessageA(wnd, WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTCHARS);
  EXPECT_TRUE(code & DLGC_WANTTAB);
  EXPECT_FALSE(code & DLGC_WANTARROWS);
  Container->Arrows = true;
  code = SendMessageA(wnd, WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTARROWS);

  Container->Intercept = true;
  SendMessageA(wnd, WM_CHAR, 'x', 1);
  EXPECT_TRUE(Container->Pressed.empty());
  Container->Intercept = false;
  SendMessageA(wnd, WM_CHAR, 'y', 1);
  EXPECT_EQ(Container->Pressed, "y");
}

TEST_F(DxInplaceEditTest, SecondPressWithinTheDoubleClickTimeIsADoubleClick) {
  HWND wnd = Edit->GetHandle();
  Edit->SetClickTick(uint32_t(GetMessageTime()));
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Container->DoubleClicks, 0) << "the container does not allow editing the column";
  EXPECT_NE(Edit->GetClickTick(), 0u);

  Container->AllowColumn = true;
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Container->DoubleClicks, 1);
  EXPECT_EQ(Edit->GetClickTick(), 0u);
}

TEST_F(DxInplaceEditTest, MouseWheelScrollsTheContainerOnce) {
  // Regression: the container scrolled twice: the editor forwarded the wheel and then
  // passed it to the default window procedure, which hands it to the parent again.
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  SendMessageA(Edit->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(Container->Scrolls, int(lines));
  SendMessageA(Edit->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
  EXPECT_EQ(Container->Scrolls, 0);
}

TEST_F(DxInplaceEditTest, FrameGivesTheClientAreaAndTheWindowRegion) {
  Edit->SetBounds(10, 10, 100, 24);
  HWND wnd = Edit->GetHandle();
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 96);
  EXPECT_EQ(client.bottom, 20);
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(wnd, region.Get()), ERROR) << "a full 3D frame needs no region";

  Edit->GetStyle()->SetShadow(true);
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 94);
  EXPECT_EQ(client.bottom, 18);
  ASSERT_NE(GetWindowRgn(wnd, region.Get()), ERROR);
  // Frame (0, 0, 98, 22) united with the same moved by (2, 2).
  EXPECT_TRUE(PtInRegion(region.Get(), 0, 0));
  EXPECT_TRUE(PtInRegion(region.Get(), 99, 23));
  EXPECT_FALSE(PtInRegion(region.Get(), 99, 0));
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 23));
}

TEST_F(DxInplaceEditTest, StandAloneEditorTakesTheHeightOfItsFont) {
  auto* alone = new TStandAloneEdit(Form);
  alone->SetParent(Form);
  alone->HandleNeeded();
  alone->StyleChanged();
  TClientDC screen(nullptr);
  HGDIOBJ old = SelectObject(screen.Get(), alone->GetFont()->GetHandle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(screen.Get(), &metrics);
  SelectObject(screen.Get(), old);
  EXPECT_EQ(alone->GetHeight(), metrics.tmHeight + 2 * (GetSystemMetrics(SM_CYBORDER) + 1) + 4);
  EXPECT_EQ(alone->GetWidth(), 121);
}

TEST_F(DxInplaceEditTest, StandAloneExitValidatesAndSnapshots) {
  ShowForm();
  auto* alone = new TStandAloneEdit(Form);
  alone->SetParent(Form);
  alone->SetTop(100);
  alone->SetText("start");
  alone->SetFocus();
  PumpPending();
  EXPECT_TRUE(alone->GetEditing());
  EXPECT_EQ(alone->GetSavedText(), "start");
  TValidator validator;
  validator.Accept = false;
  alone->OnValidate = TdxEditValidateEvent::Bind<&TValidator::Validate>(&validator);
  alone->SetModified(true);
  auto* other = new TTestEdit(Form);
  other->SetParent(Form);
  other->SetTop(170);
  other->SetFocus();
  PumpPending();
  EXPECT_EQ(validator.Calls, 1);
  EXPECT_TRUE(alone->GetEditing()) << "a refused value keeps the editor editing";
  validator.Accept = true;
  other->SetFocus();
  PumpPending();
  EXPECT_FALSE(alone->GetEditing());
  EXPECT_EQ(Exceptions.Messages.size(), 1u) << "the refused exit is reported once";
}

// Frees an editor from the editor's validation or from the container's editor-key hook.
struct TEditorFreer {
  TdxInplaceEdit* Editor = nullptr;
  bool Accept = true;
  void Validate(TObject*, std::string&, bool& accept) {
    accept = Accept;
    delete Editor;
  }
  void EditorKey(TObject*, WORD&, TShiftState) { delete Editor; }
};

// Fault: validation and the in-place keys went on with the editor after OnValidate or the
// container's editor-key hook had freed it (use after free: the validate lock, among
// others, was written into freed memory).
TEST_F(DxInplaceEditTest, AHandlerThatFreesTheEditorEndsValidationAndKeys) {
  const TGuardedHeap guarded;  // a freed editor's memory faults when it is touched
  TEditorFreer freer;
  auto make = [&] {
    auto* edit = new TRecordingEdit(Container);
    edit->SetParent(Container);
    edit->SetModified(true);
    edit->OnValidate = TdxEditValidateEvent::Bind<&TEditorFreer::Validate>(&freer);
    freer.Editor = edit;
    return edit;
  };
  EXPECT_TRUE(FreedBy(make(), [](TRecordingEdit* edit) {
    WORD key = VK_DOWN;
    edit->KeyDown(key, {});
  }));
  EXPECT_TRUE(Container->KeysDown.empty()) << "the freed editor's key goes nowhere";
  EXPECT_TRUE(FreedBy(make(), [](TRecordingEdit* edit) { edit->SaveValue(); }));
  EXPECT_TRUE(FreedBy(make(), [](TRecordingEdit* edit) { edit->Perform(CM_EXIT); }));

  // A handler that refuses as it frees: the refusal is raised all the same.
  freer.Accept = false;
  EXPECT_TRUE(FreedBy(make(), [](TRecordingEdit* edit) { EXPECT_THROW(edit->SaveValue(), EdxEditInvalidInput); }));

  // The container's hook of the editor's keys.
  Container->OnEditorKey = TdxEditorKeyEvent::Bind<&TEditorFreer::EditorKey>(&freer);
  EXPECT_TRUE(FreedBy(make(), [](TRecordingEdit* edit) {
    WORD key = 'A';
    edit->KeyDown(key, {});
  }));
  Container->OnEditorKey = nullptr;
}

// Fault: the image, pick, graphic and button editors held the lists, links, picture,
// tool-bar settings and buttons they make in their constructors by raw pointers (and the
// popup list boxes of the first two their strings and canvas), so an allocation failing
// later in the construction left the earlier ones allocated.
TEST(EditorConstruction, AnAllocationFailingOnTheWayLeavesNothingAllocated) {
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxInplaceImageEdit(nullptr); }), 10);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxInplacePickEdit(nullptr); }), 8);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxInplaceMRUEdit(nullptr); }), 8);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxInplaceGraphicEdit(nullptr); }), 10);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxInplaceButtonEdit(nullptr); }), 6);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxInplaceMemoEdit(nullptr); }), 4);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxInplaceTextEdit(nullptr); }), 4);
}

}  // namespace
