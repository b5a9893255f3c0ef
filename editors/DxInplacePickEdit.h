// TdxInplacePickEdit: a text editor with a drop-down list of strings (Items). Typing
// completes the text from the list (the typed prefix stays, the completed rest is
// selected), the navigation keys and the wheel step through the items, and in list
// style (DropDownListStyle) only list values can be entered. Its list is a
// TdxPopupPickListBox, which has a type-ahead of its own. The MRU editor derives from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/StringList.h"
#include "editors/DxInplaceDropDownEdit.h"
#include "editors/DxPopupListBox.h"

// The pick list: typed characters select the first line that begins with the
// characters typed so far; a pause of more than two seconds starts the typing anew.
class TCustomdxPopupPickListBox : public TCustomdxPopupListBox {
  KIVO_CLASS(TCustomdxPopupPickListBox, TCustomdxPopupListBox)
 public:
  using TCustomdxPopupListBox::TCustomdxPopupListBox;

  // The clock of the type-ahead, in milliseconds; GetTickCount unless a test replaces
  // it. Answers the clock in force before.
  using TTickCountProc = DWORD(WINAPI*)();
  static TTickCountProc SetTickCountProc(TTickCountProc proc);

  const std::string& GetTypeAhead() const { return FTypeAhead; }

  // The pause after which the type-ahead starts anew.
  static constexpr DWORD TypeAheadResetMs = 2000;
  // The type-ahead keeps at most this many characters.
  static constexpr int MaxTypeAhead = 32;

 protected:
  void KeyPress(char& key) override;

 private:
  std::string FTypeAhead;
  DWORD FLastKeyTick = 0;
};

class TdxPopupPickListBox : public TCustomdxPopupPickListBox {
  KIVO_CLASS(TdxPopupPickListBox, TCustomdxPopupPickListBox)
 public:
  using TCustomdxPopupPickListBox::TCustomdxPopupPickListBox;
};

class TdxInplacePickEdit : public TdxInplaceDropDownEdit {
  KIVO_CLASS(TdxInplacePickEdit, TdxInplaceDropDownEdit)
 public:
  explicit TdxInplacePickEdit(TComponent* AOwner);
  ~TdxInplacePickEdit() override;

  // ---- Value
  // Sets a different text (laid into the mask) and marks the editor modified; false
  // when the change's handler freed the editor.
  virtual bool SetPickText(const std::string& text);
  // Empties the text when the editor may modify; false when the change's handler freed
  // the editor.
  virtual bool ClearValue();
  // The first item whose first characters equal `text` (ignoring case); -1 for an
  // empty text or no match.
  int FindItemByPrefix(const std::string& text) const;

  // ---- Overrides
  void SetEditValue(const Variant& value) override;
  bool CanEditText() override;
  bool CanUndo() override { return true; }
  void DropDown() override;
  void CloseUp(bool accept) override;
  // Steps delta items on from the current one (from the first when the text is no
  // item): at the ends it stops, or with `wrap` goes round to the first.
  void ScrollValue(int delta, bool wrap) override;
  void DropDownTextChanged(const std::string& text) override;
  void Dispatch(TMessage& message) override;

  // ---- Properties
  bool GetCanDeleteText() const { return FCanDeleteText; }
  void SetCanDeleteText(bool value) { FCanDeleteText = value; }
  bool GetDropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(bool value);
  TStringList* GetItems() const { return FItems.get(); }
  void SetItems(TStrings* value) { FItems->Assign(value); }
  bool GetItemsSorted() const { return FItemsSorted; }
  void SetItemsSorted(bool value);
  bool GetRevertable() const { return FRevertable; }
  void SetRevertable(bool value) { FRevertable = value; }
  bool GetSearching() const { return FSearching; }
  const std::string& GetSearchText() const { return FSearchText; }
  // The item last selected by stepping; -1: the text's item is looked up.
  int GetCurrentItemIndex() const { return FCurrentItemIndex; }
  TdxPopupPickListBox* GetPopupListBox() const { return FPopup; }

 protected:
  TdxInplacePickEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void SetEditing(bool value) override;
  void SetReadOnlyValue(bool value) override;
  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  // Clears the typed prefix, unless the editor is setting a list value itself.
  void ResetSearch();

 private:
  // Completes the search text from the items; True when an item matched (the key is
  // then consumed).
  bool Complete();
  void BackspacePressed(char& key);
  void CharPressed(char& key);
  // The selection within `text` (the window's text).
  void GetTextSel(const std::string& text, int& start, int& end);
  // The whole text is selected.
  bool WholeTextSelected();

  bool FDropDownListStyle = false;
  bool FSearching = false;
  std::string FSearchText;
  int32_t FCurrentItemIndex = -1;
  // Set while a step sets the text, so that the step's item is kept.
  bool FStepping = false;
  std::unique_ptr<TStringList> FItems;
  bool FCanDeleteText = false;
  TdxPopupPickListBox* FPopup = nullptr;
  bool FRevertable = false;
  bool FItemsSorted = false;
};
