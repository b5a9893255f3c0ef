// TdxInplaceMRUEdit: the pick editor that keeps a most-recently-used list. Every value
// the user accepts moves to the top of its items (a new one is inserted there), and
// the list never grows beyond MaxItemCount. A second button (an ellipsis, or the
// editor's own glyph) beside the drop-down button, and Ctrl+Enter, raise
// OnButtonClick for the host.
#pragma once

#include <cstdint>
#include <string>

#include "editors/DxInplacePickEdit.h"

class TdxMRUEditViewData : public TdxDropDownEditViewData {
  KIVO_CLASS(TdxMRUEditViewData, TdxDropDownEditViewData)
 public:
  bool ShowEllipsis = false;
};

class TdxInplaceMRUEdit : public TdxInplacePickEdit {
  KIVO_CLASS(TdxInplaceMRUEdit, TdxInplacePickEdit)
 public:
  explicit TdxInplaceMRUEdit(TComponent* AOwner);

  // ---- Class operations
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);
  static void FillButtons(const TdxInplaceDropDownEditClass& cls, TdxDropDownEditViewData* viewData);

  // ---- The list
  // Moves `value` to the top of the items, or inserts it there and trims the list; an
  // empty value changes nothing.
  virtual void AddItem(const std::string& value);
  // Fires OnButtonClick.
  virtual void DoButtonClick();

  // ---- Overrides
  TdxEditViewData* CreateViewData(bool forPainting) override;
  // After the inherited validation a modified editor adds its text to the list.
  void ValidateEdit() override;
  void ButtonDown(bool noCapture, int index) override;
  void ButtonClick(int index) override;

  // ---- Properties
  int GetMaxItemCount() const { return FMaxItemCount; }
  // A negative count becomes 0 (no limit); a change trims the list.
  void SetMaxItemCount(int value);
  bool GetShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool value);

  TNotifyEvent OnButtonClick;

 protected:
  TdxInplaceMRUEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  // Deletes the last items while there are more than MaxItemCount (0: no limit).
  void TrimItems();

  int32_t FMaxItemCount = 7;
  bool FShowEllipsis = true;
};
