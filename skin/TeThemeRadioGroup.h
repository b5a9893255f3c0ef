// A themed group box that shows one themed radio button per line of Items and keeps
// ItemIndex in step with them: clicking a button selects its line, setting ItemIndex
// checks its button. The buttons belong to the group, are rebuilt from Items whenever
// Items change and are laid out in Columns columns filled top to bottom; the group
// streams no children of its own.
//
// ItemIndex always names an existing button or is -1: it is clamped when Items shrink,
// when it is set, and when the buttons are rebuilt after reading a stored index.
// Arranging before the group has a window places the buttons without one.
#pragma once

#include <memory>
#include <vector>

#include "classlib/StringList.h"
#include "skin/KsCheckBoxes.h"
#include "skin/KsGroupBox.h"

class TTeThemeRadioGroup;

class TTeThemeGroupButton : public TTeThemeRadioButton {
  KIVO_CLASS(TTeThemeGroupButton, TTeThemeRadioButton)
 public:
  // Appends itself to the group's buttons, hidden, parented to the group, enabled like
  // it, clicking into it.
  explicit TTeThemeGroupButton(TTeThemeRadioGroup* group);
  ~TTeThemeGroupButton() override;

  // Whether the button is a tab stop while checked.
  bool GetItemTabStop() const { return FItemTabStop; }
  void SetItemTabStop(bool value) { FItemTabStop = value; }

  void Dispatch(TMessage& message) override;

 protected:
  void Click() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;

 private:
  TTeThemeRadioGroup* FGroup;
  bool FItemTabStop = true;
};

class TTeThemeRadioGroup : public TTeThemeGroupBox {
  KIVO_CLASS(TTeThemeRadioGroup, TTeThemeGroupBox)
 public:
  explicit TTeThemeRadioGroup(TComponent* AOwner);
  ~TTeThemeRadioGroup() override;

  const std::vector<TTeThemeGroupButton*>& GetButtons() const { return FButtons; }
  TStringList* GetItems() const { return FItems.get(); }
  void SetItems(TStrings* value) { FItems->Assign(value); }
  int GetItemIndex() const { return FItemIndex; }
  // Clamped to -1 .. button count - 1; stored as it is while the form is read.
  void SetItemIndex(int value);
  int GetColumns() const { return FColumns; }
  // Clamped to 1 .. 16.
  void SetColumns(int value);
  bool GetItemTabStop() const { return FItemTabStop; }
  void SetItemTabStop(bool value);
  bool GetReading() const { return FReading; }
  bool GetUpdating() const { return FUpdating; }

  // The buttons are made from Items, never streamed.
  void GetChildren(TGetChildProc proc, TComponent* root) override {}
  void ReadState(TReader& reader) override;
  void Dispatch(TMessage& message) override;

 protected:
  friend class TTeThemeGroupButton;
  virtual bool CanModify() { return true; }
  void Loaded() override;
  void Resize() override;
  void ThemeEngineChanged() override { UpdateButtons(); }
  // Places the buttons in their columns (nothing without buttons or while reading).
  void ArrangeButtons();
  // One button per item, captioned and themed, the selected one checked; then arranges.
  void UpdateButtons();

 private:
  void SetButtonCount(int count);
  TTeThemeGroupButton* ButtonAt(int index) const;
  // Checks a button on the group's behalf: no click handling meanwhile.
  void CheckQuietly(TTeThemeGroupButton* button);
  void ButtonClick(TObject* sender);
  void ItemsChange(TObject* sender);

  std::vector<TTeThemeGroupButton*> FButtons;
  std::unique_ptr<TStringList> FItems;
  int FItemIndex = -1;
  int FColumns = 1;
  bool FItemTabStop = true;
  bool FReading = false;
  bool FUpdating = false;
};
