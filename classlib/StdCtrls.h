// Standard controls: push button, check box, radio button, combo box, list box, edit,
// label and group box.
//
// The windowed ones sit on the system's own controls (BUTTON, COMBOBOX, LISTBOX, EDIT)
// so that they behave natively; their notifications come back as CN_COMMAND, owner
// drawing as CN_MEASUREITEM and CN_DRAWITEM. As in a Windows dialog, the active push
// button (the focused one, or the Default one while the focus is on a control that is
// no button) shows the default frame and takes Enter through CM_DIALOGKEY; one with
// Cancel takes Escape; a click hands its ModalResult to the form. A dropped-down combo
// box keeps Enter and Escape, which close its list; a letter typed into the dropped list
// of a list-only box steps to the next entry it begins, as the arrow keys step, and
// leaves the list open (the system's list closed as if the entry were chosen, so that
// Escape after it could not keep the earlier one). The label is windowless and focuses its
// FocusControl on its "&" accelerator. The group box paints its own frame and caption.
// The push button, the check box and the label show their accelerator underline and
// their focus rectangle only as the form's keyboard cues say.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/StringList.h"

// Vertical placement of a text in its rectangle.
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

// ---- Buttons --------------------------------------------------------------------------

// A control on the system's BUTTON that follows the form's keyboard cues. The system's
// button keeps cues of its own, which under Wine never hide anything: it underlines the
// accelerator and draws the focus rectangle always. So while the form hides accelerators
// the window holds the caption without its mark (the control still answers the whole
// caption), and the window hears of the focus only while the form shows focus cues.
class TButtonControl : public TWinControl {
  KIVO_CLASS(TButtonControl, TWinControl)
 public:
  explicit TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  void CreateWnd() override;

 private:
  // Brings the window's caption and focus in line with the form's cues.
  void UpdateCues();
  // Hands `message` to the system's button as it is.
  void SendToWindow(UINT msg, WPARAM wParam, LPARAM lParam);

  bool FPlainCaption = false;  // the window holds the caption without its mark
  bool FWindowFocus = false;   // the window has heard of the focus
};

class TButton : public TButtonControl {
  KIVO_CLASS(TButton, TButtonControl)
 public:
  explicit TButton(TComponent* AOwner);
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool value);
  bool GetCancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  // Shows the default frame and takes Enter: focused, or Default while the focus is on
  // a control that is no button.
  bool GetActive() const { return FActive; }
  int GetModalResult() const { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }
  // Clicks the button as a person would (sets the form's ModalResult, fires OnClick).
  void Click() override;
  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  void SetButtonStyle(bool active);

  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
  int FModalResult = 0;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A check box; the state lives in the control, so a click toggles it and fires OnClick,
// and setting Checked from code fires OnClick as well.
class TCheckBox : public TButtonControl {
  KIVO_CLASS(TCheckBox, TButtonControl)
 public:
  explicit TCheckBox(TComponent* AOwner);
  bool GetChecked() const { return FState == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  TCheckBoxState GetState() const { return FState; }
  void SetState(TCheckBoxState value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Toggle();

 private:
  TCheckBoxState FState = cbUnchecked;
  TAlignment FAlignment = taRightJustify;
};

// A radio button; checking one unchecks the other radio buttons of the same parent.
class TRadioButton : public TWinControl {
  KIVO_CLASS(TRadioButton, TWinControl)
 public:
  explicit TRadioButton(TComponent* AOwner);
  bool GetChecked() const { return FChecked; }
  void SetChecked(bool value);
  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  bool FChecked = false;
};

// ---- Combo box ------------------------------------------------------------------------

// The items of a list-like control (combo box, list box): kept by the strings object,
// so that they outlive a recreated window, and mirrored into the window while it
// exists through the control's insert, delete and reset messages. A string and its
// object reach the window together, so a control that measures an item while it is
// inserted sees both.
class TListControlStrings : public TStrings {
  KIVO_CLASS(TListControlStrings, TStrings)
 public:
  struct TListMessages {
    UINT InsertString, DeleteString, ResetContent;
  };
  TListControlStrings(TWinControl* control, const TListMessages& messages)
      : FControl(control), FMessages(messages) {}
  std::string Get(int index) const override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  int GetCount() const override { return int(FItems.size()); }
  int AddObject(const std::string& s, TObject* object) override;
  void Insert(int index, const std::string& s) override { InsertObject(index, s, nullptr); }
  void InsertObject(int index, const std::string& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  // Fills the control's new window with the items.
  void FillWindow(HWND wnd) const;

 protected:
  // The items were cleared (the control forgets its selection).
  virtual void Cleared() {}

 private:
  void CheckIndex(int index) const;
  TWinControl* FControl;
  TListMessages FMessages;
  std::vector<std::pair<std::string, TObject*>> FItems;
};

class TCustomComboBox;

class TComboBoxStrings : public TListControlStrings {
  KIVO_CLASS(TComboBoxStrings, TListControlStrings)
 public:
  explicit TComboBoxStrings(TCustomComboBox* comboBox);

 protected:
  void Cleared() override;

 private:
  TCustomComboBox* FComboBox;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TCustomComboBox : public TWinControl {
  KIVO_CLASS(TCustomComboBox, TWinControl)
 public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;
  TStrings* GetItems() const { return FItems; }
  void SetItems(TStrings* value) { FItems->Assign(value); }
  // The selected item, -1 for none.
  int GetItemIndex();
  void SetItemIndex(int value);
  TComboBoxStyle GetStyle() const { return FStyle; }
  void SetStyle(TComboBoxStyle value);
  bool GetDroppedDown();
  void SetDroppedDown(bool value);
  int GetDropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int value) { FDropDownCount = value; }
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  // The list closes taking its selection (Enter, a click on an entry), or leaving it
  // (Escape, a click outside, the focus leaving: the system tells this one also when the
  // focus leaves a box whose list is closed). Both come before OnCloseUp.
  TNotifyEvent OnSelEndOk;
  TNotifyEvent OnSelEndCancel;

 protected:
  friend class TComboBoxStrings;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();
  // An item was chosen from the list: OnSelect, then OnChange.
  virtual void Select();
  // The room the dropped list makes for each item scales with the control.
  void ChangeScale(int M, int D) override;

 private:
  // Selects the next entry of the dropped list that begins with `letter`, as the list's
  // own search finds it, the list kept open; then OnSelect and OnChange as for a step.
  void StepToLetter(char letter);

  TComboBoxStrings* FItems;
  TComboBoxStyle FStyle = csDropDown;
  int FItemIndex = -1;  // kept while there is no window
  int FDropDownCount = 8;
  int FDropDownItemHeight = 16;
};

class TComboBox : public TCustomComboBox {
  KIVO_CLASS(TComboBox, TCustomComboBox)
 public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// ---- List box -----------------------------------------------------------------------

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
// The state of an owner-drawn item; flag i is the system's ODS_ bit i.
enum TOwnerDrawStateFlag {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit,
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
using TDrawItemEvent = TEvent<TWinControl* /*Control*/, int /*Index*/, TRect /*Rect*/, TOwnerDrawState>;
using TMeasureItemEvent = TEvent<TWinControl* /*Control*/, int /*Index*/, int& /*Height*/>;

class TCustomListBox;

class TListBoxStrings : public TListControlStrings {
  KIVO_CLASS(TListBoxStrings, TListControlStrings)
 public:
  explicit TListBoxStrings(TCustomListBox* listBox);

 protected:
  void Cleared() override;

 private:
  TCustomListBox* FListBox;
};

// A list box over the system LISTBOX. Owner-drawn styles draw their items on Canvas
// through DrawItem (OnDrawItem); the variable style asks MeasureItem (OnMeasureItem)
// for each item's height as it is inserted. Choosing an item fires OnClick.
class TCustomListBox : public TWinControl {
  KIVO_CLASS(TCustomListBox, TWinControl)
 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;
  TStrings* GetItems() const { return FItems.get(); }
  void SetItems(TStrings* value) { FItems->Assign(value); }
  // The selected item, -1 for none.
  int GetItemIndex();
  void SetItemIndex(int value);
  TListBoxStyle GetStyle() const { return FStyle; }
  void SetStyle(TListBoxStyle value);
  // The height of the items of the standard and fixed styles, and the height a
  // variable item starts with before it is measured.
  int GetItemHeight() const { return FItemHeight; }
  void SetItemHeight(int value);
  bool GetIntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  // The canvas items are drawn on while DrawItem runs.
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  // The item at the client point; without an item there, -1 when `existing`, else
  // the item count.
  int ItemAtPos(const TPoint& pos, bool existing);
  // The item's rectangle in client coordinates (empty when it is not shown).
  TRect ItemRect(int index);
  void Dispatch(TMessage& message) override;

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  friend class TListBoxStrings;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // OnDrawItem when assigned, else the item's text on the selection or face colour.
  virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
  // OnMeasureItem; `height` comes in as ItemHeight.
  virtual void MeasureItem(int index, int& height);
  // ItemHeight scales with the control.
  void ChangeScale(int M, int D) override;

 private:
  void CNDrawItem(TMessage& message);
  void CNMeasureItem(TMessage& message);
  std::unique_ptr<TListBoxStrings> FItems;
  std::unique_ptr<TControlCanvas> FCanvas;
  TListBoxStyle FStyle = lbStandard;
  int FItemHeight = 16;
  bool FIntegralHeight = false;
  TBorderStyle FBorderStyle = bsSingle;
  int FItemIndex = -1;  // kept while there is no window
};

class TListBox : public TCustomListBox {
  KIVO_CLASS(TListBox, TCustomListBox)
 public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ---- Edit -----------------------------------------------------------------------------

// The single-line edit over the system EDIT control; the base of the themed edits.
class TCustomEdit : public TWinControl {
  KIVO_CLASS(TCustomEdit, TWinControl)
 public:
  explicit TCustomEdit(TComponent* AOwner);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  int GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  void SelectAll();
  void Dispatch(TMessage& message) override;

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Change();

 private:
  bool FReadOnly = false;
  int FMaxLength = 0;
  TBorderStyle FBorderStyle = bsSingle;
  bool FAutoSelect = true;
};

class TEdit : public TCustomEdit {
  KIVO_CLASS(TEdit, TCustomEdit)
 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---- Label ----------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
  KIVO_CLASS(TCustomLabel, TGraphicControl)
 public:
  explicit TCustomLabel(TComponent* AOwner);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool GetShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  TWinControl* GetFocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* value);
  void SetAutoSize(bool value) override;
  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void Notification(TComponent* AComponent, TOperation operation) override;
  // DrawText flags of the label's text.
  int TextFlags() const;
  // The text as drawn now, with the flags that draw it: without its accelerator mark
  // while the form hides accelerators.
  std::string ShownText(int& flags);

 private:
  TAlignment FAlignment = taLeftJustify;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  KIVO_CLASS(TLabel, TCustomLabel)
 public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---- Group box ------------------------------------------------------------------------

class TCustomGroupBox : public TCustomControl {
  KIVO_CLASS(TCustomGroupBox, TCustomControl)
 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  void Dispatch(TMessage& message) override;

 protected:
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
  KIVO_CLASS(TGroupBox, TCustomGroupBox)
 public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};
