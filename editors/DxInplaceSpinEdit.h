// TdxInplaceSpinEdit: a number in a text editor with two stacked arrow buttons at its
// right edge (in the non-client area). The value steps by Increment with the buttons
// (repeating while one is held), the Up and Down keys and the mouse wheel, and stays
// within MinValue .. MaxValue when the two differ. Values are integers or
// floating-point numbers (ValueType).
#pragma once

#include <cstdint>

#include "editors/DxInplaceMaskEdit.h"
#include "editors/DxValueBounds.h"

enum TdxValueType : uint8_t { vtInt, vtFloat };

// The spin buttons: none, up, down.
enum TdxSpinButton : uint8_t { sbNone, sbUp, sbDown };

class TdxSpinEditViewData : public TdxTextEditViewData {
  KIVO_CLASS(TdxSpinEditViewData, TdxTextEditViewData)
 public:
  bool ShowButtons = false;
  TdxSpinButton HotButton = sbNone;
  TdxSpinButton PressedButton = sbNone;
};

class TdxInplaceSpinEdit : public TdxInplaceMaskEdit {
  KIVO_CLASS(TdxInplaceSpinEdit, TdxInplaceMaskEdit)
 public:
  explicit TdxInplaceSpinEdit(TComponent* AOwner);

  // ---- Class operations
  static void CalcViewData(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, bool autoSize,
                           TdxEditDrawRecord& record);
  static void DrawBorder(const TdxInplaceEditClass& cls, HDC dc, const TdxEditDrawRecord& record,
                         TdxEditViewData* viewData);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);
  // 0 without buttons; else the scroll-bar width made odd, at least 13, one less for
  // the flat looks.
  static int GetSpinButtonWidth(TdxEditViewData* viewData);
  // The up and down button rectangles of a cell.
  static void GetSpinButtonRects(const TdxEditDrawRecord& record, TdxEditViewData* viewData, TRect& up,
                                 TRect& down);

  // ---- Value
  virtual double GetIncrement() { return FIncrement; }
  // The text as a number; empty or unreadable text gives MinValue (rounded for vtInt).
  virtual double GetValue();
  // Bounds the value, then shows it (an integer rounded); the text changes only when
  // it differs.
  virtual void SetValue(double value);
  virtual bool IsValidNumberChar(char key);
  virtual void SetMaxValue(double value);
  virtual void SetMinValue(double value);
  virtual void SetMinMaxValues(double minValue, double maxValue);
  virtual void SetValueType(TdxValueType value);
  // The property setters: they mark the values local.
  void AssignMinMaxValues(double minValue, double maxValue);
  void AssignValueType(TdxValueType value);

  double GetMaxValue() const { return FBounds.MaxValue; }
  double GetMinValue() const { return FBounds.MinValue; }
  TdxValueType GetValueType() const { return FValueType; }
  void SetIncrement(double value) { FIncrement = value; }
  bool GetEditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool value) { FEditorEnabled = value; }
  bool GetUseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool value) { FUseCtrlIncrement = value; }
  TdxSpinButton GetHotButton() const { return FHotButton; }
  TdxSpinButton GetPressedButton() const { return FPressedButton; }
  bool IsRepeating() const { return FTimer != 0; }

  // ---- Overrides
  TdxEditViewData* CreateViewData(bool forPainting) override;
  void RestoreDefaults() override;
  void RefreshLinkValues() override;
  void ValidateEdit() override;
  bool KeepEditingOnClick() override { return false; }
  bool HandlesMouseWheel() override { return true; }
  void ForwardClick(int x, int y) override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  TdxInplaceSpinEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void SetMouseInside(bool value) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  double DefaultValue() const;
  // One step of the pressed button; false when the change's handler freed the editor.
  bool Spin();
  void ReleaseButtons();
  void StopTimer();
  void StartTimer(UINT interval);
  void SetHotButton(TdxSpinButton value);
  void WMNCHitTest(TMessage& message);
  void WMNCLButtonDown(TMessage& message);
  void WMTimer(TMessage& message);

  bool FEditorEnabled = true;
  double FIncrement = 1.0;
  TdxValueBounds FBounds;
  TdxSpinButton FHotButton = sbNone;
  TdxSpinButton FPressedButton = sbNone;
  UINT_PTR FTimer = 0;
  bool FUseCtrlIncrement = false;
  TdxValueType FValueType = vtInt;
};
