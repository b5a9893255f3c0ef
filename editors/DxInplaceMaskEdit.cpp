// Decisions taken here:
// - A value handed to a masked editor is laid into the mask before it reaches the
//   window, so the window never holds a text of the wrong shape.
// - Pasted text fills the editable positions from the selection start with the
//   characters they accept (letters in the case the mask asks for); a pasted character
//   equal to the literal at the current position steps over it; others are skipped.
// - IgnoreMaskBlank (set by the tree list's mask column) means what its users expect:
//   blanks are not stored. A value left wholly blank is no value, accepted and stored
//   empty instead of being refused for its unfilled required positions, and the text a
//   host stores (GetStoredText) leaves out the blanks of unfilled optional positions.
// - A handler of a change or of a selection change may free the editor: the caret
//   moves, replacements, pastes and keys that fire one check that the editor is alive
//   before they touch it again.
#include "editors/DxInplaceMaskEdit.h"

#include <algorithm>
#include <cstring>

#include "classlib/AliveGuard.h"
#include "classlib/Clipboard.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"

const char* const sdxMaskInvalidInput = "Invalid input value.  Use escape key to abandon changes";

TdxInplaceMaskEdit::TdxInplaceMaskEdit(TComponent* AOwner) : TdxInplaceMaskEdit(AOwner, &MetaClass()) {}

TdxInplaceMaskEdit::TdxInplaceMaskEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceTextEdit(AOwner, cls) {}

// ---- Mask ---------------------------------------------------------------------------

void TdxInplaceMaskEdit::SetEditMask(const std::string& value) {
  MarkAssigned(evEditMask);
  SetEditMaskValue(value);
}

void TdxInplaceMaskEdit::SetEditMaskValue(const std::string& value) {
  if (value == FEditMask)
    return;
  int start = 0, end = 0;
  if (HandleAllocated())
    GetSel(start, end);
  std::string text;
  GetText(text);
  if (GetComponentState().Contains(csDesigning) && !value.empty())
    text.clear();
  FEditMask = value;
  FMaxChars = MaskOffsetToOffset(value, int(value.size()));
  FMaskSave = MaskGetMaskSave(value);
  FMaskBlank = MaskGetMaskBlank(value);
  if (!Survives(this, [&] { SetEditText(IsMasked() ? FormatMaskText(value, text, FMaskBlank) : text); }))
    return;
  inherited::SetMaxLengthValue(0);
  if (IsMasked() && FMaxChars >= 1)
    inherited::SetMaxLengthValue(FMaxChars);
  if (HandleAllocated()) {
    if (Focused() && !Survives(this, [&] { SetCursor(start); }))
      return;
    RecreateWnd();
  }
}

void TdxInplaceMaskEdit::SetMaxLengthValue(int value) {
  inherited::SetMaxLengthValue(IsMasked() ? FMaxChars : value);
}

int TdxInplaceMaskEdit::DefaultMaxLength() { return IsMasked() ? FMaxChars : inherited::DefaultMaxLength(); }

void TdxInplaceMaskEdit::RefreshLinkValues() {
  inherited::RefreshLinkValues();
  if (GetAssignedValues().Contains(evEditMask))
    return;
  std::string mask;
  GetDefaultEditMask(mask);
  SetEditMaskValue(mask);
}

void TdxInplaceMaskEdit::SetEditing(bool value) {
  inherited::SetEditing(value);
  if (IsMasked())
    SetSnapshot(GetEditText(), GetSavedModified());
}

// ---- Value --------------------------------------------------------------------------

void TdxInplaceMaskEdit::SetEditValue(const Variant& value) {
  if (!IsMasked()) {
    inherited::SetEditValue(value);
    return;
  }
  const std::string text = VarIsNull(value) ? std::string() : VarToStr(value);
  SetSettingValue(true);
  try {
    SetEditText(FormatMaskText(FEditMask, text, FMaskBlank));
  } catch (...) {
    SetSettingValue(false);
    throw;
  }
  SetSettingValue(false);
  ClearUndo();
}

void TdxInplaceMaskEdit::GetText(std::string& text) {
  const std::string editText = GetEditText();
  if (!IsMasked()) {
    text = editText;
    return;
  }
  if (editText == FormatMaskText(FEditMask, "", FMaskBlank)) {
    text.clear();
    return;
  }
  text = MaskTextValue(FEditMask, editText, FMaskBlank, FMaskSave);
}

std::string TdxInplaceMaskEdit::GetStoredText() {
  const std::string editText = GetEditText();
  if (!FIgnoreMaskBlank || !IsMasked())
    return editText;
  if (editText == FormatMaskText(FEditMask, "", FMaskBlank))
    return std::string();
  return MaskTextValue(FEditMask, editText, FMaskBlank, /*keepLiterals=*/true);
}

void TdxInplaceMaskEdit::GetEditValue(Variant& value) {
  std::string text;
  GetText(text);
  value = text;
}

void TdxInplaceMaskEdit::ValidateEdit() {
  const bool blankAccepted = FIgnoreMaskBlank && GetEditText() == FormatMaskText(FEditMask, "", FMaskBlank);
  if (IsMasked() && GetModified() && !blankAccepted) {
    int position = 0;
    if (!MaskValidate(FEditMask, GetEditText(), FMaskBlank, position)) {
      MarkValidationFailed();
      // Taking the focus runs the focus handlers, which may free the editor.
      const bool focus =
          !GetComponentState().Contains(csDesigning) && HandleAllocated() && IsWindowVisible(GetHandle());
      if (!focus || Survives(this, [&] { ::SetFocus(GetHandle()); }))
        SetCursor(position);
      MessageBeep(0);
      throw EDBEditError(sdxMaskInvalidInput);
    }
    FValidateFailed = false;
    if (HandleAllocated() && !Survives(this, &TdxInplaceMaskEdit::CheckCursor))
      return;
  }
  inherited::ValidateEdit();
}

void TdxInplaceMaskEdit::MarkValidationFailed() {
  FValidateFailed = true;
  if (!GetComponentState().Contains(csDesigning))
    FReEnter = true;
}

// ---- Caret --------------------------------------------------------------------------

void TdxInplaceMaskEdit::GetSel(int& start, int& end) {
  start = end = 0;
  if (!HasTextArea())
    return;
  CHARRANGE r{};
  SendMessageA(GetHandle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  start = r.cpMin;
  end = r.cpMax;
}

void TdxInplaceMaskEdit::SetCursor(int position) {
  if (!IsMasked()) {
    const int length = GetTextLength();
    SetSelStart(std::clamp(position, 0, length));
    return;
  }
  position = std::clamp(position, 0, FMaxChars);
  int end = std::min(position + 1, FMaxChars);
  const std::string text = GetEditText();
  if (position + 1 < int(text.size()) && IsDBCSLeadByte(BYTE(text[size_t(position)])))
    end = position + 2;
  if (Select(position, end))
    FCaretPos = position;
}

bool TdxInplaceMaskEdit::Select(int start, int end) {
  return Survives(this, [&] { SetRichEditSelection(GetHandle(), start, end); });
}

int TdxInplaceMaskEdit::NextEditable(int index) {
  for (int i = std::max(index, 0); i < FMaxChars; ++i)
    if (!IsLiteralChar(FEditMask, i + 1))
      return i;
  return -1;
}

int TdxInplaceMaskEdit::PrevEditable(int index) {
  for (int i = std::min(index, FMaxChars - 1); i >= 0; --i)
    if (!IsLiteralChar(FEditMask, i + 1))
      return i;
  return -1;
}

void TdxInplaceMaskEdit::CheckCursor() {
  if (!IsMasked() || !HandleAllocated())
    return;
  int start, end;
  GetSel(start, end);
  if (start != end)
    return;
  const int next = NextEditable(start);
  SetCursor(next >= 0 ? next : start);
}

// ---- Keys ---------------------------------------------------------------------------

void TdxInplaceMaskEdit::KeyDown(WORD& key, TShiftState shift) {
  if (!Survives(this, [&] { inherited::KeyDown(key, shift); }) || !IsMasked() || key == 0 || shift.Contains(ssAlt))
    return;
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
      ArrowKeys(key, shift);
      if (!shift.Contains(ssShift) && !shift.Contains(ssCtrl))
        key = 0;
      return;
    case VK_UP:
    case VK_DOWN: key = 0; return;
    case VK_HOME:
    case VK_END:
      HomeEndKeys(key, shift);
      key = 0;
      return;
    case VK_DELETE:
    case VK_BACK:
      if (key == VK_DELETE && (shift.Contains(ssShift) || shift.Contains(ssCtrl)))
        break;
      if (CanModify())
        DeleteKeys(key);
      key = 0;
      return;
    default: break;
  }
  CheckCursor();
}

void TdxInplaceMaskEdit::KeyUp(WORD& key, TShiftState shift) {
  if (Survives(this, [&] { inherited::KeyUp(key, shift); }) && IsMasked() && (key == VK_LEFT || key == VK_RIGHT) &&
      shift.Contains(ssCtrl))
    CheckCursor();
}

void TdxInplaceMaskEdit::ArrowKeys(WORD key, TShiftState shift) {
  if (shift.Contains(ssCtrl))
    return;
  int start, end;
  GetSel(start, end);
  if (shift.Contains(ssShift)) {
    if (end - start == 1 && FCaretPos == start && !Select(start, start))
      return;
    FCaretPos = std::clamp(FCaretPos + (key == VK_LEFT ? -1 : 1), 0, FMaxChars);
    return;
  }
  if (end - start > 1) {
    SetCursor(FCaretPos == end ? FCaretPos - 1 : FCaretPos);
    return;
  }
  if (key == VK_LEFT) {
    const int previous = PrevEditable(start - 1);
    SetCursor(previous >= 0 ? previous : start);
    return;
  }
  if (end == start) {
    SetCursor(start);
    return;
  }
  const int next = NextEditable(start + 1);
  SetCursor(next >= 0 ? next : start);
}

void TdxInplaceMaskEdit::HomeEndKeys(WORD key, TShiftState shift) {
  const int target = key == VK_HOME ? 0 : FMaxChars;
  // The selection's handlers may free the editor.
  const auto move = [&] {
    if (!shift.Contains(ssShift)) {
      SetCursor(target);
      return;
    }
    int start, end;
    GetSel(start, end);
    const int anchor = FCaretPos == start ? end : start;
    if (Select(std::min(anchor, target), std::max(anchor, target)))
      CheckCursor();
  };
  if (Survives(this, move))
    FCaretPos = target;
}

std::string TdxInplaceMaskEdit::Blanked(const std::string& text, int start, int end) {
  std::string result;
  for (int i = start; i < end && i < int(text.size()); ++i)
    result.push_back(IsLiteralChar(FEditMask, i + 1) ? text[size_t(i)] : FMaskBlank);
  return result;
}

bool TdxInplaceMaskEdit::ReplaceRange(int start, int end, const std::string& replacement) {
  if (!Select(start, end))
    return false;
  const TOwnedFlagScope replacing(this, FReplacing);
  SendMessageA(GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(replacement.c_str()));
  return replacing.Alive();
}

void TdxInplaceMaskEdit::DeleteKeys(WORD key) {
  if (!CanEditText())
    return;
  int start, end;
  GetSel(start, end);
  end = std::min(end, FMaxChars);
  if (key == VK_BACK && end - start <= 1) {
    const int previous = PrevEditable(start - 1);
    if (previous < 0)
      return;
    start = previous;
    end = previous + 1;
  } else if (end <= start) {
    end = std::min(start + 1, FMaxChars);
  }
  if (end <= start)
    return;
  if (!ReplaceRange(start, end, Blanked(GetEditText(), start, end)))
    return;
  if (end - start == 1) {
    SetCursor(start);
    return;
  }
  const int next = NextEditable(start);
  SetCursor(next >= 0 ? next : start);
}

void TdxInplaceMaskEdit::KeyPress(char& key) {
  if (!Survives(this, [&] { inherited::KeyPress(key); })) {
    key = 0;
    return;
  }
  if (!IsMasked() || key == 0)
    return;
  if (key == '\r' && !EditClass()->IsInplace()) {
    ValidateEdit();
    key = 0;
    return;
  }
  if (!CanModify() || !CanEditText() || key == '\b') {
    key = 0;
    return;
  }
  int start, end;
  GetSel(start, end);
  if (end - start > 1) {
    // The deletion's change or the caret's move may free the editor.
    const auto moveCaret = [&] {
      const int next = NextEditable(start);
      SetCursor(next >= 0 ? next : start);
    };
    if (!Survives(this, &TdxInplaceMaskEdit::DeleteKeys, WORD(VK_DELETE)) || !Survives(this, moveCaret)) {
      key = 0;
      return;
    }
  }
  InputChar(key);
  key = 0;
}

void TdxInplaceMaskEdit::InputChar(char c) {
  int start, end;
  GetSel(start, end);
  const int position = NextEditable(start);
  if (position < 0) {
    MessageBeep(0);
    return;
  }
  const int maskOffset = OffsetToMaskOffset(FEditMask, position + 1);
  const char maskChar = FEditMask[size_t(maskOffset - 1)];
  if (MaskCharAccepts(maskChar, c)) {
    const char placed = MaskApplyCase(c, MaskGetCurrentDirectives(FEditMask, maskOffset));
    if (!ReplaceRange(position, position + 1, std::string(1, placed)))
      return;
    const int next = NextEditable(position + 1);
    SetCursor(next >= 0 ? next : FMaxChars);
    return;
  }
  // A character that is a literal further on moves the caret past that literal.
  const std::string text = GetEditText();
  for (int i = position; i < FMaxChars && i < int(text.size()); ++i) {
    if (IsLiteralChar(FEditMask, i + 1) && text[size_t(i)] == c) {
      const int next = NextEditable(i + 1);
      SetCursor(next >= 0 ? next : i + 1);
      return;
    }
  }
  MessageBeep(0);
}

// ---- Clipboard ----------------------------------------------------------------------

void TdxInplaceMaskEdit::Paste() {
  if (!CanEditText() || !CanModify())
    return;
  const std::string clip = Clipboard()->GetAsText();
  if (!GetModified())
    SetSnapshot(GetEditText(), false);
  int start, end;
  GetSel(start, end);
  std::string text = GetEditText();
  text.resize(size_t(std::max<int>(FMaxChars, int(text.size()))), FMaskBlank);
  const std::string blanked = Blanked(text, start, std::min(end, FMaxChars));
  text.replace(size_t(start), blanked.size(), blanked);
  int position = start;
  for (char c : clip) {
    if (position >= FMaxChars)
      break;
    if (IsLiteralChar(FEditMask, position + 1) && text[size_t(position)] == c) {
      ++position;
      continue;
    }
    const int target = NextEditable(position);
    if (target < 0)
      break;
    const int maskOffset = OffsetToMaskOffset(FEditMask, target + 1);
    if (!MaskCharAccepts(FEditMask[size_t(maskOffset - 1)], c))
      continue;
    text[size_t(target)] = MaskApplyCase(c, MaskGetCurrentDirectives(FEditMask, maskOffset));
    position = target + 1;
  }
  if (!Survives(this, [&] { SetEditText(text.substr(0, size_t(FMaxChars))); }) ||
      !Survives(this, [&] { SetCursor(position); }))
    return;
  SetModified(true);
  ValidateEdit();
}

// ---- Messages -----------------------------------------------------------------------

void TdxInplaceMaskEdit::EditChanged() {
  if (IsCreatingWindow() || FReplacing)
    return;
  const std::string text = GetEditText();
  if (int(text.size()) == FMaxChars)
    return;
  const std::string value = MaskTextValue(FEditMask, text, FMaskBlank, false);
  std::string formatted = FormatMaskText(FEditMask, value, FMaskBlank);
  if (int(formatted.size()) > FMaxChars)
    formatted.resize(size_t(FMaxChars));
  {
    const TFlagScope replacing(FReplacing);
    SetEditText(formatted);
  }
  SetModified(true);
}

void TdxInplaceMaskEdit::Dispatch(TMessage& message) {
  if (!IsMasked()) {
    inherited::Dispatch(message);
    return;
  }
  switch (message.Msg) {
    case WM_CUT:
      if (CanModify()) {
        Perform(WM_COPY);
        Perform(WM_CLEAR);
      }
      return;
    case WM_CLEAR:
      if (CanModify())
        DeleteKeys(VK_DELETE);
      return;
    case WM_PASTE: Paste(); return;
    case WM_LBUTTONDOWN:
      FButtonDownX = short(LOWORD(message.LParam));
      inherited::Dispatch(message);
      return;
    case WM_LBUTTONUP: {
      if (!Survives(this, [&] { inherited::Dispatch(message); }))
        return;
      int start, end;
      GetSel(start, end);
      FCaretPos = short(LOWORD(message.LParam)) > FButtonDownX && end > start ? end : start;
      CheckCursor();
      return;
    }
    case WM_SETFOCUS:
      if (Survives(this, [&] { inherited::Dispatch(message); }))
        CheckCursor();
      return;
    case CM_ENTER: {
      if (GetComponentState().Contains(csDesigning)) {
        inherited::Dispatch(message);
        return;
      }
      const bool autoSelect = GetAutoSelect();
      if (FReEnter)
        SetAutoSelect(false);
      if (!Survives(this, [&] { inherited::Dispatch(message); }))
        return;
      SetAutoSelect(autoSelect);
      FReEnter = false;
      CheckCursor();
      return;
    }
    case CM_TEXTCHANGED:
      inherited::Dispatch(message);
      if (HandleAllocated() && Focused())
        CheckCursor();
      return;
    case CM_WANTSPECIALKEY:
      if (message.WParam == VK_ESCAPE && GetModified()) {
        message.Result = 1;
        return;
      }
      inherited::Dispatch(message);
      return;
    case CN_COMMAND:
      if (HIWORD(message.WParam) == EN_CHANGE)
        EditChanged();
      inherited::Dispatch(message);
      return;
    case EM_REPLACESEL: {
      int start, end;
      GetSel(start, end);
      const char* text = reinterpret_cast<const char*>(message.LParam);
      if (!text || int(std::strlen(text)) != end - start)
        return;
      inherited::Dispatch(message);
      return;
    }
  }
  inherited::Dispatch(message);
}
