// Editors, a container and a fixture shared by the editor library's tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "editors/DxContainer.h"
#include "editors/DxInplaceEdit.h"
#include "tests/controls/ControlsTestSupport.h"

// An in-place editor that counts its style changes and exposes its protected steps.
class TRecordingEdit : public TdxInplaceEdit {
  KIVO_CLASS(TRecordingEdit, TdxInplaceEdit)
 public:
  explicit TRecordingEdit(TComponent* AOwner) : TdxInplaceEdit(AOwner, &MetaClass()) {}
  using TdxInplaceEdit::KeyDown;
  using TdxInplaceEdit::KeyPress;
  int StyleChanges = 0;
  int AfterShows = 0;
  int SelectAlls = 0;
  bool TextArea = false;
  void StyleChanged() override {
    ++StyleChanges;
    inherited::StyleChanged();
  }
  bool HasTextArea() override { return TextArea; }
  void SelectAll() override { ++SelectAlls; }

 protected:
  TRecordingEdit(TComponent* AOwner, const TdxInplaceEditClass* cls) : TdxInplaceEdit(AOwner, cls) {}
  void AfterShow() override { ++AfterShows; }
};

// The same editor working stand-alone.
class TStandAloneEdit : public TRecordingEdit {
  KIVO_CLASS(TStandAloneEdit, TRecordingEdit)
 public:
  explicit TStandAloneEdit(TComponent* AOwner) : TRecordingEdit(AOwner, &MetaClass()) {}
  static bool IsInplace(const TdxInplaceEditClass&) { return false; }
};

// A container that records what its editors hand it and answers as told.
class TRecordingContainer : public TCustomdxContainer {
  KIVO_CLASS(TRecordingContainer, TCustomdxContainer)
 public:
  explicit TRecordingContainer(TComponent* AOwner) : TCustomdxContainer(AOwner) {}
  bool AllowModify = true;
  bool AllowChars = true;
  bool AllowColumn = false;
  bool Intercept = false;
  bool Arrows = false;
  std::vector<WORD> KeysDown;
  std::vector<WORD> EditorKeys;
  std::string Pressed;
  int FocusChanges = 0;
  int DoubleClicks = 0;
  int Scrolls = 0;
  std::vector<bool> Notifications;

  bool CanEditModify() override { return AllowModify; }
  bool IsValidEditChar(char) override { return AllowChars; }
  bool CanEditColumn(int32_t) override { return AllowColumn; }
  bool InterceptsEditorKey() override { return Intercept; }
  bool EditorWantsArrows() override { return Arrows; }
  void EditorNotify(bool value) override { Notifications.push_back(value); }
  void EditorFocusChanged() override { ++FocusChanges; }
  void DoEditorKey(WORD& key, TShiftState shift) override {
    EditorKeys.push_back(key);
    inherited::DoEditorKey(key, shift);
  }
  void ScrollLines(bool up, int count) override { Scrolls += up ? count : -count; }

 protected:
  void KeyDown(WORD& key, TShiftState shift) override {
    KeysDown.push_back(key);
    inherited::KeyDown(key, shift);
  }
  void KeyPress(char& key) override {
    Pressed += key;
    inherited::KeyPress(key);
  }
  void DblClick() override { ++DoubleClicks; }
};

// Posts a key press to `wnd` and lets the application's loop translate and handle it.
inline void PressKey(HWND wnd, WORD key) {
  PostMessageA(wnd, WM_KEYDOWN, key, 1);
  PostMessageA(wnd, WM_KEYUP, key, LPARAM(0xC0000001));
  Application->ProcessMessages();
}

// Presses the key of each letter or digit of `text` (letters come out in lower case).
inline void TypeKeys(HWND wnd, const std::string& text) {
  for (char c : text)
    PressKey(wnd, WORD(uint8_t(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c)));
}

// Changes the user's locale settings for a scope and puts the old ones back, also when
// a test ends early.
class TLocaleScope {
 public:
  ~TLocaleScope() {
    for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it)
      SetLocaleInfoA(LOCALE_USER_DEFAULT, it->first, it->second.c_str());
  }
  bool Set(LCTYPE type, const char* value) {
    char saved[80] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, saved, sizeof saved);
    FSaved.emplace_back(type, saved);
    return SetLocaleInfoA(LOCALE_USER_DEFAULT, type, value) != 0;
  }

 private:
  std::vector<std::pair<LCTYPE, std::string>> FSaved;
};

// A form holding a container with one in-place editor.
class EditorTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Container = new TRecordingContainer(Form);
    Container->SetParent(Form);
    Container->SetBounds(0, 0, 280, 160);
    Edit = new TRecordingEdit(Container);
    Edit->SetParent(Container);
  }
  TRecordingContainer* Container = nullptr;
  TRecordingEdit* Edit = nullptr;
};

// Holds Ctrl down in the thread's key state for a scope, as GetKeyState reads it.
class TCtrlHeld : public TKeysHeld {
 public:
  TCtrlHeld() : TKeysHeld({VK_CONTROL}) {}
};

// A keystroke as the keyboard sends it to `wnd`: key down, its character (none for 0),
// key up.
inline void SendStroke(HWND wnd, WORD vk, char c) {
  SendMessageA(wnd, WM_KEYDOWN, vk, 1);
  if (c)
    SendMessageA(wnd, WM_CHAR, WPARAM(uint8_t(c)), 1);
  SendMessageA(wnd, WM_KEYUP, vk, LPARAM(0xC0000001));
}

// Each character as a keystroke of the key that types it.
inline void SendKeys(HWND wnd, const std::string& keys) {
  for (char c : keys)
    SendStroke(wnd, WORD(LOBYTE(VkKeyScanA(c))), c);
}
