// The XP-style edit: a self-drawn single-line text edit that keeps its own caret,
// selection and horizontal scroll position, paints a one-pixel frame and its text in
// the colours of its TXPEditColors, and can be transparent over its parent. Every live
// edit is in one list; while the list is not empty a WH_CALLWNDPROC hook of the thread
// repaints the transparent edits whose neighbours size or paint themselves.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Persistent.h"

class TCustomXPEdit;

// The colour set of an XP-style edit; a change repaints the edit.
class TXPEditColors : public TPersistent {
  KIVO_CLASS(TXPEditColors, TPersistent)
 public:
  explicit TXPEditColors(TCustomXPEdit* owner);
  // Another TXPEditColors is copied through the four setters; anything else raises the
  // conversion error.
  void Assign(TPersistent* source) override;

  TColor GetColor() const { return FColor; }
  // Also sets the edit's own Color.
  void SetColor(TColor value);
  TColor GetFrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor value);
  TColor GetDisabledDarkColor() const { return FDisabledDarkColor; }
  void SetDisabledDarkColor(TColor value);
  TColor GetDisabledLightColor() const { return FDisabledLightColor; }
  void SetDisabledLightColor(TColor value);

 private:
  void ChangeAndRepaint(TColor& field, TColor value);
  TCustomXPEdit* FOwner;
  TColor FColor = clWindow;
  TColor FFrameColor = TColor(0xB99D7F);
  TColor FDisabledDarkColor = TColor(0x99A8AC);
  TColor FDisabledLightColor = TColor(0xD8E9EC);
};

class TCustomXPEdit : public TCustomControl {
  KIVO_CLASS(TCustomXPEdit, TCustomControl)
 public:
  explicit TCustomXPEdit(TComponent* AOwner);
  ~TCustomXPEdit() override;

  TXPEditColors* GetColors() const { return FColors; }
  bool GetTransparent() const { return FTransparent; }
  // A change recreates the window, so that WS_EX_TRANSPARENT follows the flag.
  void SetTransparent(bool value);

  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value) { FOEMConvert = value; }
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value);
  int GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(int value) { FMaxLength = value; }
  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  // 0 normal, 1 upper case, 2 lower case (typed and pasted text).
  int GetCharCase() const { return FCharCase; }
  void SetCharCase(int value) { FCharCase = value; }

  // The text as painted: the window text, or PasswordChar repeated.
  const std::string& GetDisplayText() const { return FDisplayText; }
  int GetCaretPos() const { return FCaretPos; }
  int GetFirstVisible() const { return FFirstVisible; }
  void SetFirstVisible(int value);
  int GetDrawnCount() const { return FDrawnCount; }
  int GetFullCount() const { return FFullCount; }
  int GetTextHeight() const { return FTextHeight; }
  bool GetMouseSelecting() const { return FMouseSelecting; }
  int GetSelStart() const { return std::min(FSelAnchor, FSelCursor); }
  int GetSelLength() const { return std::abs(FSelCursor - FSelAnchor); }
  void SetSelLength(int value);
  void SelectAll();

  // Caret move; with Shift down or while the mouse selects, the selection follows.
  virtual void SetCursorPosition(int pos);
  virtual void CreateEditCaret();
  virtual void DestroyEditCaret();
  virtual void SetFontUnderline(bool value);
  virtual void StopMouseSelecting() { FMouseSelecting = false; }
  // The client rectangle deflated by 2 on every side.
  void GetEditRect(TRect& r);

  // Editing; each does nothing on a read-only edit.
  void InsertText(const std::string& s);
  void DeleteBackward(int count);
  void DeleteForward(int count);
  void DeleteSelection();
  // With a PasswordChar, Copy and Cut do nothing.
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

  // The character index under client x.
  int CharAtPoint(int x);

  void Invalidate() override;
  void Dispatch(TMessage& message) override;

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Paint() override;
  virtual void DrawEditText(TRect r, TColor bkColor, TColor textColor, TColor selBkColor,
                            TColor selTextColor, TColor frameColor);
  virtual void Change();
  void DblClick() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  friend LRESULT CALLBACK TransparentEditHookProc(int code, WPARAM wParam, LPARAM lParam);
  // Per-character widths of DisplayText[from, to) on the canvas font.
  std::vector<int> CharWidths(int from, int to);
  int TextWidth(int from, int to);
  int AvailableWidth();
  int Overhang();
  void RecalcCounts();
  int FirstVisibleFor(int pos);
  void SetCaret(int pos);
  void PlaceCaret();
  void Rescroll();
  void WriteText(const std::string& text);
  void ClampSelection();
  void SelectWordAt(int index);
  bool RelatesTo(HWND target);
  void InvalidateBehind(TWinControl* control, const TRect& screenRect);
  void CMFontChanged(TMessage& message);
  void CMTextChanged(TMessage& message);
  void WMSetText(TMessage& message);
  void WMGetText(TMessage& message);
  void WMSetCursor(TMessage& message);

  int FCaretPos = 0;
  int FDrawnCount = 0;
  int FFullCount = 0;
  int FFirstVisible = 0;
  int FTextHeight = 0;
  bool FMouseSelecting = false;
  int FSelAnchor = 0;
  int FSelCursor = 0;
  bool FReadOnly = false;
  bool FOEMConvert = false;
  char FPasswordChar = '\0';
  std::string FDisplayText;
  int FMaxLength = 0;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  int FCharCase = 0;
  TXPEditColors* FColors = nullptr;
  bool FTransparent = false;
  bool FUpdating = false;
  bool FNotifyingTextChange = false;
};

// The live edits, in creation order, and whether the repaint hook is installed.
const std::vector<TCustomXPEdit*>& TransparentEdits();
bool TransparentEditHookInstalled();

// Start-up creates the list of live edits; shut-down removes the hook if it is still
// installed and empties the list.
void InitializeXPEdit();
void FinalizeXPEdit();
