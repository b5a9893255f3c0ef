// TdxInplaceCalcEdit: a drop-down editor whose popup is a calculator working directly on
// the editor's text (TdxPopupCalculator): the calculator reads the editor's text as its
// display and writes every change back into it. The popup takes the focus and its own
// keys; Enter computes and closes it keeping the result, Escape closes it and puts back
// the text the editor had when it opened.
#pragma once

#include <cstdint>
#include <string>

#include "editors/DxCalc.h"
#include "editors/DxInplaceDropDownEdit.h"

class TdxInplaceCalcEdit;

// The calculator popup of a calculator editor.
class TdxPopupCalculator : public TCustomdxCalculator {
  KIVO_CLASS(TdxPopupCalculator, TCustomdxCalculator)
 public:
  explicit TdxPopupCalculator(TComponent* AOwner);

  // The editor's text, or "0" without an editor.
  std::string GetDisplayText() override;
  // Sets the editor's text (through its mask) and marks it modified, when the editor
  // may be modified; hides the popup when that fails, and the failure passes on.
  void SetDisplayText(const std::string& text) override;
  // Hides the popup; an editor left showing the error text shows 0 instead.
  void HidePopup() override;

  TdxInplaceCalcEdit* GetEditor() const { return FEditor; }
  void SetEditor(TdxInplaceCalcEdit* value) { FEditor = value; }
  bool GetQuickClose() const { return FQuickClose; }
  void SetQuickClose(bool value) { FQuickClose = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;

 private:
  void Close(bool accept);

  bool FQuickClose = false;
  TdxInplaceCalcEdit* FEditor = nullptr;
};

class TdxInplaceCalcEdit : public TdxInplaceDropDownEdit {
  KIVO_CLASS(TdxInplaceCalcEdit, TdxInplaceDropDownEdit)
 public:
  explicit TdxInplaceCalcEdit(TComponent* AOwner);
  ~TdxInplaceCalcEdit() override;

  // Opens the calculator below the editor (made on first use), set up from the
  // editor's properties, with a fresh engine.
  void DropDown() override;
  // Hides the calculator; without accepting, the text the editor had when it opened
  // comes back.
  void CloseUp(bool accept) override;

  TdxPopupCalculator* GetPopupCalculator() const { return FPopup; }
  bool GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool value) { FBeepOnError = value; }
  TdxButtonStyle GetButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TdxButtonStyle value) { FButtonStyle = value; }
  bool GetQuickClose() const { return FQuickClose; }
  void SetQuickClose(bool value) { FQuickClose = value; }
  uint8_t GetPrecision() const { return FPrecision; }
  void SetPrecision(uint8_t value) { FPrecision = value; }
  bool GetShowButtonFrame() const { return FShowButtonFrame; }
  void SetShowButtonFrame(bool value) { FShowButtonFrame = value; }

 protected:
  TdxInplaceCalcEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);

 private:
  bool FBeepOnError = true;
  TdxButtonStyle FButtonStyle = bsStandard;
  bool FQuickClose = false;
  TdxPopupCalculator* FPopup = nullptr;
  uint8_t FPrecision = 13;
  bool FShowButtonFrame = false;
  // The editor's text and modified flag when the calculator opened.
  std::string FTextBefore;
  bool FModifiedBefore = false;
};
