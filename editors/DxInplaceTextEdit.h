// TdxInplaceTextEdit: the single-line text editor of the library and the base of the
// mask, drop-down, memo and hyperlink editors. Its window is a RichEdit 2.0 control in
// plain-text mode; it adds character-case conversion, a password character, a text
// limit, a selection bar, undo and redo, and its own context menu. A cell painted
// without an editor shows the same text through DrawTextEditContent.
//
// The RichEdit library is loaded by InitializeDxTextEdit and freed by
// FinalizeDxTextEdit; without it the editor's window cannot be made.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "classlib/Win.h"
#include "editors/DxInplaceEdit.h"

class TPopupMenu;
class TMenuItem;

// Start-up loads "RICHED20.DLL" (without the system's error box); shut-down frees it.
// Calls are counted.
void InitializeDxTextEdit();
void FinalizeDxTextEdit();
// True while the RichEdit library is loaded.
bool DxRichEditLoaded();

// The RichEdit helpers the text editor shares with the blob popup's memo.
// Sets the window's text limit; 0 means no limit (RichEdit itself takes a limit of 0
// as its default of about 64K characters, which would cut longer texts short).
void SetRichEditMaxLength(HWND wnd, int maxLength);
// Sets the window's default character colour; clWindowText and clDefault give the
// automatic colour.
void SetRichEditTextColor(HWND wnd, TColor color);
// `text` in `charCase`, converted with the locale's rules.
std::string ApplyEditCharCase(const std::string& text, TEditCharCase charCase);
// Whether a RichEdit window that was given `value` and shows `shown` shows all of it:
// the same text, or (multi-line) the text with its line breaks made CR LF, in either
// case converted to `charCase`. A value with a NUL byte is never shown whole.
bool RichEditShowsTextWhole(const std::string& value, const std::string& shown, bool multiLine,
                            TEditCharCase charCase);
// The window's selection, and the selection set from `start` to `end`.
CHARRANGE GetRichEditSelection(HWND wnd);
void SetRichEditSelection(HWND wnd, int start, int end);
// The selected text, read into a buffer of two bytes a character as a double-byte code
// page needs.
std::string GetRichEditSelText(HWND wnd);
// A text longer than this goes into a RichEdit window in pieces (SetRichEditText).
constexpr size_t kRichEditPieceSize = 65536;
// Puts `text` into the window as WM_SETTEXT does (the old text replaced, the modified
// flag and the undo buffer cleared, the caret at the start, one EN_CHANGE), a text
// longer than kRichEditPieceSize in pieces of about that size, each ending after a
// line break, or after a character no double-byte character ends in, where one lies
// near: Wine's RichEdit takes time growing with the square of a text put in at once,
// and time in proportion for the pieces.
void SetRichEditText(HWND wnd, std::string_view text);
// The commands of a RichEdit's context menu, in the menu's order.
enum TdxRichEditCommand : uint8_t { recUndo, recRedo, recCut, recCopy, recPaste, recDelete, recSelectAll };
// Sends the window what `command` asks of it: EM_UNDO, EM_REDO, WM_CUT, WM_COPY,
// WM_PASTE, WM_CLEAR, or the whole text selected; any other number does nothing.
void RunRichEditCommand(HWND wnd, int command);

class TdxInplaceTextEdit : public TdxInplaceEdit {
  KIVO_CLASS(TdxInplaceTextEdit, TdxInplaceEdit)
 public:
  explicit TdxInplaceTextEdit(TComponent* AOwner);
  ~TdxInplaceTextEdit() override;

  // ---- Class operations
  static bool DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect, TdxEditViewData* viewData,
                          bool editorWindow);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);

  // ---- Overrides of the editor base
  void SetEditValue(const Variant& value) override;
  void RefreshLinkValues() override;
  TdxEditViewData* CreateViewData(bool forPainting) override;
  bool GetModified() override;
  void SetModified(bool value) override;
  bool HasTextArea() override { return true; }
  void RestoreDefaults() override;
  void SelectAll() override;

  // ---- Selection and editing
  virtual int GetSelLength();
  virtual int GetSelStart();
  virtual std::string GetSelText();
  virtual void SetSelLength(int value);
  virtual void SetSelStart(int value);
  // Copies at most size - 1 characters of the selected text and a terminator into
  // `buffer`; answers the characters copied.
  virtual int GetSelTextBuf(char* buffer, int size);
  // True when dragging and dropping text and the editor's own context menu are held
  // back (a data link; the mask editor with a mask).
  virtual bool RestrictsEditing() { return HasDataLink(); }
  void ClearUndo();
  void Undo();
  void Redo();
  // Whether the edit window has something to undo or redo (the base's CanUndo says
  // whether the editor undoes at all).
  bool EditCanUndo();
  bool CanRedo();
  bool CanPaste();
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void ClearSelection();
  int GetTextLength();

  // ---- Properties
  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value) { FHideSelection = value; }
  int GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value);
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value);
  bool GetSelectionBar() const { return FSelectionBar; }
  void SetSelectionBar(bool value);

  // The context menu with every item's state set for the editor's present state; made
  // on first use.
  TPopupMenu* PrepareContextMenu();

  void Dispatch(TMessage& message) override;

  TNotifyEvent OnSelectionChange;

 protected:
  TdxInplaceTextEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  virtual void ApplyCharCase();
  virtual void ApplyMaxLength(int value);
  virtual void DoSelectionChange() { OnSelectionChange(this); }
  virtual void SetMaxLengthValue(int value);
  virtual int DefaultMaxLength() { return 0; }
  void SetReadOnlyValue(bool value) override;
  bool ShowsTextWhole(const std::string& value, const std::string& shown) override;
  void F2Action() override;
  // Set while the window is made, and while SetEditValue hands a value to the window.
  bool IsCreatingWindow() const { return FCreatingWindow; }
  bool IsSettingValue() const { return FSettingValue; }
  void SetSettingValue(bool value) { FSettingValue = value; }

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;

 private:
  class TOleCallback;
  void Init();
  void TextChanged();
  void WMContextMenu(TMessage& message);
  void WMSize(TMessage& message);
  void WMSetFont(TMessage& message);
  void ApplyBackgroundColor();
  void MenuClick(TObject* sender);

  bool FSettingValue = false;
  bool FAutoSelect = true;
  TEditCharCase FCharCase = ecNormal;
  bool FCaseUpdating = false;
  bool FCreatingWindow = false;
  TPopupMenu* FContextMenu = nullptr;
  bool FHideSelection = true;
  int32_t FMaxLength = 0;
  bool FModifiedCache = false;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  std::unique_ptr<TOleCallback> FOleCallback;
  bool FSelectionBar = false;
};
