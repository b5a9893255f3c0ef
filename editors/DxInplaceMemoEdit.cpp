// Decisions taken here:
// - A line is read into a buffer of its own length (the edit window reads at most the
//   count in the buffer's first word, which is therefore set); a fixed buffer of 4096
//   characters cut longer lines short. Lines too long for that 16-bit count are read as
//   a text range instead.
// - Enter breaks the line once: the memo puts the line break in itself, so the character
//   TranslateMessage queued for the key is removed first; only a container removed it,
//   and a stand-alone memo broke the line twice. The break replaces the selection as
//   typed text does (EM_REPLACESEL): a carriage-return character sent to the window is
//   not a line break to every RichEdit (Wine's breaks lines on the key alone).
// - Selecting all in place shows the first line: the view goes back by the number of
//   lines above it after the caret, which ends the selection, was scrolled into view.
//   Scrolling by a huge line count overflowed in RichEdit (lines times line height) and
//   scrolled the wrong way, and the caret scrolled in last showed the end of the text.
// - Stand-alone the memo keeps its arrow keys (the single-line text editor gives them to
//   the form, which would move the focus instead of the caret) and gives Tab to the form
//   unless it wants tabs.
// - Without WantReturns the memo hands Enter to its parent and drops the key's queued
//   character as well, which would otherwise still reach the window.
// - The line count of a memo that holds text but has no window yet makes the window
//   and counts its lines: answering 0 would make a copy of the lines lose them all.
#include "editors/DxInplaceMemoEdit.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "classlib/Exceptions.h"
#include "classlib/Strings.h"

namespace {

// A character range for EM_EXSETSEL and EM_GETTEXTRANGE.
CHARRANGE Range(int start, int end) { return CHARRANGE{start, end}; }

}  // namespace

// ---- TdxMemoStrings -----------------------------------------------------------------

HWND TdxMemoStrings::Window() const { return FEditor->GetHandle(); }

int TdxMemoStrings::GetCount() const {
  if (!FEditor->HandleAllocated() && FEditor->GetText().empty())
    return 0;
  HWND wnd = Window();
  int count = int(SendMessageA(wnd, EM_GETLINECOUNT, 0, 0));
  // The line after a closing line break is empty and is no line of the list.
  const LRESULT last = SendMessageA(wnd, EM_LINEINDEX, WPARAM(count - 1), 0);
  if (count > 0 && (SendMessageA(wnd, EM_LINELENGTH, WPARAM(last), 0) == 0 || last >= FEditor->GetTextLength()))
    --count;
  return count;
}

std::string TdxMemoStrings::Get(int index) const {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
  HWND wnd = Window();
  const LRESULT start = SendMessageA(wnd, EM_LINEINDEX, WPARAM(index), 0);
  const LRESULT length = SendMessageA(wnd, EM_LINELENGTH, WPARAM(start), 0);
  // Two bytes a character for a double-byte code page, and room for the line break.
  const size_t size = size_t(2 * length + 3);
  std::vector<char> buffer(size, '\0');
  LRESULT copied;
  if (size <= 0xFFFF) {
    *reinterpret_cast<WORD*>(buffer.data()) = WORD(size);
    copied = SendMessageA(wnd, EM_GETLINE, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
  } else {
    TEXTRANGEA range{Range(int(start), int(start + length)), buffer.data()};
    copied = SendMessageA(wnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  }
  std::string line(buffer.data(), size_t(std::clamp<LRESULT>(copied, 0, LRESULT(size))));
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
    line.pop_back();
  return line;
}

void TdxMemoStrings::ReplaceRange(int start, int end, const std::string& s) {
  HWND wnd = Window();
  CHARRANGE range = Range(start, end);
  SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  SendMessageA(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TdxMemoStrings::Put(int index, const std::string& s) {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
  HWND wnd = Window();
  const LRESULT start = SendMessageA(wnd, EM_LINEINDEX, WPARAM(index), 0);
  const LRESULT length = SendMessageA(wnd, EM_LINELENGTH, WPARAM(start), 0);
  ReplaceRange(int(start), int(start + length), s);
}

void TdxMemoStrings::Insert(int index, const std::string& s) {
  if (index < 0 || index > GetCount())
    ListIndexError(index);
  HWND wnd = Window();
  const LRESULT start = SendMessageA(wnd, EM_LINEINDEX, WPARAM(index), 0);
  if (start >= 0) {
    ReplaceRange(int(start), int(start), s + "\r");
    return;
  }
  // After the last line, which has no closing line break.
  const LRESULT last = SendMessageA(wnd, EM_LINEINDEX, WPARAM(index - 1), 0);
  const LRESULT length = last < 0 ? 0 : SendMessageA(wnd, EM_LINELENGTH, WPARAM(last), 0);
  if (length == 0)
    return;
  ReplaceRange(int(last + length), int(last + length), "\r" + s);
}

void TdxMemoStrings::Delete(int index) {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
  HWND wnd = Window();
  const LRESULT start = SendMessageA(wnd, EM_LINEINDEX, WPARAM(index), 0);
  LRESULT end = SendMessageA(wnd, EM_LINEINDEX, WPARAM(index + 1), 0);
  if (end < 0)
    end = start + SendMessageA(wnd, EM_LINELENGTH, WPARAM(start), 0);
  ReplaceRange(int(start), int(end), "");
}

void TdxMemoStrings::Clear() { FEditor->SetText(""); }

void TdxMemoStrings::SetUpdateState(bool updating) {
  if (!FEditor->HandleAllocated())
    return;
  SendMessageA(FEditor->GetHandle(), WM_SETREDRAW, !updating, 0);
  if (updating)
    return;
  FEditor->Refresh();
  FEditor->Perform(CM_TEXTCHANGED);
}

std::string TdxMemoStrings::GetTextStr() const { return FEditor->GetText(); }

void TdxMemoStrings::SetTextStr(const std::string& text) {
  const std::string value = AdjustLineBreaks(text);
  HWND wnd = Window();
  // The editor reports no change while the list replaces its text.
  const LRESULT mask = SendMessageA(wnd, EM_GETEVENTMASK, 0, 0);
  SendMessageA(wnd, EM_SETEVENTMASK, 0, mask & ~LPARAM(ENM_CHANGE));
  struct TRestoreMask {
    HWND Wnd;
    LRESULT Mask;
    ~TRestoreMask() { SendMessageA(Wnd, EM_SETEVENTMASK, 0, LPARAM(Mask)); }
  } restore{wnd, mask};
  if (AdjustLineBreaks(FEditor->GetText()) == value)
    return;
  if (!SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str())))
    throw EInvalidOperation("Text exceeds memo capacity");
  FEditor->Perform(CM_TEXTCHANGED);
}

// ---- TdxInplaceMemoEdit -------------------------------------------------------------

TdxInplaceMemoEdit::TdxInplaceMemoEdit(TComponent* AOwner) : TdxInplaceMemoEdit(AOwner, &MetaClass()) {}

TdxInplaceMemoEdit::TdxInplaceMemoEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceTextEdit(AOwner, cls) {
  SetBounds(GetLeft(), GetTop(), 185, 89);
  if (!cls->IsInplace())
    SetAutoSelect(false);
  SetAutoSizeFlag(false);
  SetSelectionBar(true);
  FLines = std::make_unique<TdxMemoStrings>(this);
}

TdxInplaceMemoEdit::~TdxInplaceMemoEdit() {
  Destroying();
}

TdxEditViewData* TdxInplaceMemoEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  viewData->VertAlignment = vaWordWrap;
  return viewData;
}

void TdxInplaceMemoEdit::SelectAll() {
  inherited::SelectAll();
  if (!EditClass()->IsInplace() || !HandleAllocated())
    return;
  HWND wnd = GetHandle();
  // The caret ends the selection: once it is in view, the text goes back to its first
  // line, by exactly the lines above it.
  SendMessageA(wnd, EM_SCROLLCARET, 0, 0);
  SendMessageA(wnd, EM_LINESCROLL, 0, -SendMessageA(wnd, EM_GETFIRSTVISIBLELINE, 0, 0));
}

void TdxInplaceMemoEdit::SetHideScrollBars(bool value) {
  if (FHideScrollBars == value)
    return;
  FHideScrollBars = value;
  RecreateWnd();
}

void TdxInplaceMemoEdit::SetScrollBars(TScrollStyle value) {
  if (FScrollBars == value)
    return;
  FScrollBars = value;
  RecreateWnd();
}

void TdxInplaceMemoEdit::SetWordWrap(bool value) {
  if (FWordWrap == value)
    return;
  FWordWrap = value;
  RecreateWnd();
}

void TdxInplaceMemoEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (FWordWrap)
    params.Style &= ~DWORD(ES_AUTOHSCROLL);
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
    params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth)
    params.Style |= WS_VSCROLL;
  if (!FHideScrollBars)
    params.Style |= ES_DISABLENOSCROLL;
  params.Style |= ES_MULTILINE;
}

void TdxInplaceMemoEdit::Loaded() {
  inherited::Loaded();
  SetModified(false);
}

bool TdxInplaceMemoEdit::WholeTextSelected() {
  // The edit window may count its closing paragraph mark in a whole selection.
  return GetSelStart() == 0 && GetSelLength() >= GetTextLength();
}

void TdxInplaceMemoEdit::DropPendingReturn() {
  MSG pending{};
  if (HandleAllocated() && PeekMessageA(&pending, GetHandle(), WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
      pending.wParam == '\r')
    PeekMessageA(&pending, GetHandle(), WM_CHAR, WM_CHAR, PM_REMOVE);
}

void TdxInplaceMemoEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_RETURN && CanEditText() && !shift.Contains(ssCtrl)) {
    if (CanModify()) {
      DropPendingReturn();
      SendMessageA(GetHandle(), EM_REPLACESEL, /*CanUndo=*/TRUE, reinterpret_cast<LPARAM>("\r"));
    }
    key = 0;
    return;
  }
  const bool paging = key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN;
  const bool staysInText = (paging && (!shift.Empty() || !WholeTextSelected())) || (key == VK_TAB && FWantTabs);
  if (staysInText) {
    // The memo's own handling: past the editor framework, which hands these keys to the
    // container, to the window.
    TWinControl::KeyDown(key, shift);
    return;
  }
  inherited::KeyDown(key, shift);
}

void TdxInplaceMemoEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_KEYDOWN:
      if (message.WParam == VK_RETURN && !FWantReturns && !IsCtrlOnly()) {
        DropPendingReturn();
        if (HWND parent = ::GetParent(GetHandle()))
          SendMessageA(parent, WM_KEYDOWN, message.WParam, message.LParam);
        return;
      }
      break;
    case WM_GETDLGCODE: {
      inherited::Dispatch(message);
      // Stand-alone, the memo moves between its lines with the arrow keys, and Tab
      // moves the focus unless it wants tabs; in place the container decides.
      const bool inplace = EditClass()->IsInplace();
      if (!inplace)
        message.Result |= DLGC_WANTARROWS;
      if (FWantTabs)
        message.Result |= DLGC_WANTTAB;
      else if (!inplace)
        message.Result &= ~LRESULT(DLGC_WANTTAB);
      if (!FWantReturns)
        message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
      return;
    }
  }
  inherited::Dispatch(message);
}
