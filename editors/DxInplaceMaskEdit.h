// TdxInplaceMaskEdit: the text editor with an edit mask (DxMaskEngine.h). While a mask
// is set ("masked") the editor shows the value laid into the mask, overwrites one
// position at a time, steps the caret over literals, blanks what is deleted, accepts
// only the characters each position allows and refuses an incomplete value with
// EDBEditError. It is the base of the drop-down, spin, time and currency editors.
#pragma once

#include <string>

#include "editors/DxInplaceTextEdit.h"
#include "editors/DxMaskEngine.h"

// The mask editor's validation message.
extern const char* const sdxMaskInvalidInput;

class TdxInplaceMaskEdit : public TdxInplaceTextEdit {
  KIVO_CLASS(TdxInplaceMaskEdit, TdxInplaceTextEdit)
 public:
  explicit TdxInplaceMaskEdit(TComponent* AOwner);

  const std::string& GetEditMask() const { return FEditMask; }
  // Marks the mask local and applies it; the value survives the change of mask.
  void SetEditMask(const std::string& value);
  bool IsMasked() const { return !FEditMask.empty(); }
  char GetMaskBlank() const { return FMaskBlank; }
  bool GetMaskSave() const { return FMaskSave; }
  // The length of the text the mask defines.
  int GetMaxChars() const { return FMaxChars; }
  // The window text: the value with literals and blanks.
  std::string GetEditText() { return TControl::GetText(); }
  void SetEditText(const std::string& value) { TControl::SetText(value); }
  // The remembered caret position.
  int GetCaretPos() const { return FCaretPos; }
  // On: a value left wholly blank (every editable position blank) is no value: it
  // passes validation and is stored as empty. Off (the default): a blank value must
  // still fill the mask's required positions.
  bool GetIgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool value) { FIgnoreMaskBlank = value; }
  // The text a host stores for the editor: the edit text, but with IgnoreMaskBlank on
  // (and a mask) without the blanks of unfilled positions, and empty when wholly blank.
  std::string GetStoredText();

  // While masked the caret stands on the one character at `position` (clamped to the
  // mask), selected, so that typing overwrites it; unmasked it goes to `position`.
  void SetCursor(int position);
  virtual void GetSel(int& start, int& end);

  // ---- Overrides
  void SetEditValue(const Variant& value) override;
  void GetEditValue(Variant& value) override;
  void GetText(std::string& text) override;
  using TdxInplaceTextEdit::GetText;
  void RefreshLinkValues() override;
  void ValidateEdit() override;
  bool RestrictsEditing() override { return IsMasked() || inherited::RestrictsEditing(); }
  // A click in the container ends editing unless the host keeps it and the value changed.
  bool KeepEditingOnClick() override { return GetKeepEditingFlag() && GetModified(); }

  void Dispatch(TMessage& message) override;

 protected:
  TdxInplaceMaskEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  virtual void SetEditMaskValue(const std::string& value);
  virtual void GetDefaultEditMask(std::string& mask) { mask.clear(); }
  // A validation failed: the next entry keeps the caret where it is (not while
  // designing), and the failure is remembered until the state is reset.
  void MarkValidationFailed();
  // Forgets a failed validation and the pending re-entry.
  void ResetMaskState() {
    FReEnter = false;
    FValidateFailed = false;
  }
  void SetMaxLengthValue(int value) override;
  int DefaultMaxLength() override;
  // The snapshot of a masked editor is its edit text, so that Escape restores the
  // shape as well as the value.
  void SetEditing(bool value) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;

 private:
  // The first editable (non-literal) text index at or after `index`, or -1.
  int NextEditable(int index);
  // The last editable text index at or before `index`, or -1.
  int PrevEditable(int index);
  // An empty selection moves onto the nearest editable position.
  void CheckCursor();
  // Selects [start, end); false when a handler of the selection change freed the editor.
  bool Select(int start, int end);
  void ArrowKeys(WORD key, TShiftState shift);
  void HomeEndKeys(WORD key, TShiftState shift);
  void DeleteKeys(WORD key);
  void InputChar(char c);
  // Blanks the editable positions of [start, end) in `text`.
  std::string Blanked(const std::string& text, int start, int end);
  // Replaces [start, end) by `replacement`; false when a handler of the change freed the
  // editor.
  bool ReplaceRange(int start, int end, const std::string& replacement);
  void Paste();
  void EditChanged();

  std::string FEditMask;
  char FMaskBlank = DefaultBlank;
  bool FMaskSave = true;
  bool FReEnter = false;
  int FMaxChars = 0;
  bool FValidateFailed = false;
  int FCaretPos = 0;
  int FButtonDownX = 0;
  bool FReplacing = false;
  bool FIgnoreMaskBlank = false;
};
