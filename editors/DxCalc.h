// TCustomdxCalculator: a four-function pocket calculator drawn as one control of 27
// owner-drawn buttons, with a memory register, percent, square root, reciprocal and
// sign change. It keeps no display of its own: it reads and writes its number as text
// through GetDisplayText and SetDisplayText, which a descendant binds to an edit
// control (the calculator editor's popup binds them to the editor's text). Buttons
// answer the mouse and the keyboard; the layout scales with the control's size.
//
// A failed operation (division by zero, the root of a negative number, the reciprocal
// of zero, a result beyond the range of a real, a display that is no number) shows the
// error text, and every button but "CE" and "C" repeats the error until one of them
// clears it.
//
// InitializeDxCalc makes the bitmap every calculator draws its buttons through and loads
// the error text (string 38951, "Error"); FinalizeDxCalc frees both. Calls are counted.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "classlib/Events.h"
#include "editors/DxInplacePopupControl.h"

void InitializeDxCalc();
void FinalizeDxCalc();
// The text a calculator shows in its error state; empty outside start-up and shut-down.
const std::string& DxCalcErrorText();

enum TdxButtonStyle : uint8_t { bsStandard, bsFlat, bsExtraFlat };

// The buttons, in index order; cbNone (27) means no button.
enum TdxCalcButtonKind : uint8_t {
  cbBack,
  cbCancelEntry,
  cbClear,
  cbMC,
  cbMR,
  cbMS,
  cbMP,
  cbNum0,
  cbNum1,
  cbNum2,
  cbNum3,
  cbNum4,
  cbNum5,
  cbNum6,
  cbNum7,
  cbNum8,
  cbNum9,
  cbSign,
  cbDecimal,
  cbDiv,
  cbMul,
  cbSub,
  cbAdd,
  cbSqrt,
  cbPercent,
  cbRev,
  cbEqual,
  cbNone
};
constexpr int dxCalcButtonCount = cbNone;

// What the shown number is: a result (the next digit starts a new number), a number
// being typed, or the error text.
enum TdxCalcStatus : uint8_t { csResult, csEntry, csError };

struct TdxCalcButton {
  TdxCalcButtonKind Kind = cbNone;
  std::string Caption;
  TColor Color = 0;  // of the caption
  TRect Bounds{};    // client coordinates
  bool Down = false;
  bool Grayed = false;  // drawn disabled
};

// (Sender, var Button): before a button acts; the handler may change the button.
using TdxCalcButtonClickEvent = TEvent<TObject* /*Sender*/, TdxCalcButtonKind& /*Button*/>;

class TCustomdxCalculator : public TdxInplacePopupControl {
  KIVO_CLASS(TCustomdxCalculator, TdxInplacePopupControl)
 public:
  explicit TCustomdxCalculator(TComponent* AOwner);

  // The shown number as text: empty and ignored here; a descendant binds them.
  virtual std::string GetDisplayText() { return {}; }
  virtual void SetDisplayText(const std::string& text) {}

  // Lays the buttons out for the present size and resets the engine (memory included).
  void CalcLayout();
  // One button press: the engine.
  void CalcButtonClick(TdxCalcButtonKind button);
  // Shows `value` with max(2, Precision) significant digits; a value beyond the range
  // of a real (or NaN) shows the error instead.
  void SetDisplayValue(long double value);
  // 0 in the error state; else the trimmed text ("0" when empty) read with the locale's
  // decimal separator; NaN when the text is no number.
  long double GetDisplayValue();
  void CalcError();
  void ClearCalc();
  // A result on display gives way to a new number: the text becomes "0".
  void BeginEntry();
  void CopyToClipboard();
  // Shows the clipboard's text as the number (the currency symbol removed); a text
  // that is no number shows 0.
  void PasteFromClipboard();
  // The first button whose bounds hold the point, else cbNone.
  TdxCalcButtonKind ButtonAtPoint(int x, int y) const;

  // ---- Properties
  bool GetAutoFontSize() const { return FAutoFontSize; }
  void SetAutoFontSize(bool value);
  bool GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool value) { FBeepOnError = value; }
  TdxButtonStyle GetButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TdxButtonStyle value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  bool GetShowButtonFrame() const { return FShowButtonFrame; }
  void SetShowButtonFrame(bool value);
  bool GetShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool value);
  uint8_t GetPrecision() const { return FPrecision; }
  void SetPrecision(uint8_t value) { FPrecision = value; }
  int GetFontSize() const { return FFontSize; }
  int GetButtonWidth() const { return FButtonWidth; }
  int GetButtonHeight() const { return FButtonHeight; }
  int GetLargeButtonWidth() const { return FLargeButtonWidth; }
  int GetButtonSpacingX() const { return FButtonSpacingX; }
  int GetButtonSpacingY() const { return FButtonSpacingY; }
  int GetCalcWidth() const { return FCalcWidth; }
  int GetCalcHeight() const { return FCalcHeight; }
  long double GetMemory() const { return FMemory; }
  TdxCalcButtonKind GetLastOperation() const { return FLastOperation; }
  long double GetOperand() const { return FOperand; }
  TdxCalcStatus GetStatus() const { return FStatus; }
  const TdxCalcButton& GetButton(TdxCalcButtonKind kind) const { return FButtons[kind]; }
  TdxCalcButtonKind GetHotButton() const { return FHotButton; }
  TdxCalcButtonKind GetMouseButton() const { return FMouseButton; }
  TdxCalcButtonKind GetKeyButton() const { return FKeyButton; }
  bool GetTracking() const { return FTracking; }

  void Dispatch(TMessage& message) override;

  TNotifyEvent OnDisplayChange;
  TdxCalcButtonClickEvent OnButtonClick;
  TNotifyEvent OnError;
  TNotifyEvent OnResult;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void WMSize(TMessage& message);
  // The button sizes and the control's size from the client size.
  void ScaleToClient();
  void DrawButton(HDC dc, const TdxCalcButton& button, HFONT font);
  void InvalidateButton(TdxCalcButtonKind kind);
  void RefreshMemoryButtons();
  // Replaces the shown text (and tells OnDisplayChange) when it differs.
  void ChangeText(const std::string& text);
  // The display as a number; a display that is no number ends in the error state.
  bool ReadDisplay(long double& value);
  void ApplyOperator(TdxCalcButtonKind button);
  void ApplyFunction(TdxCalcButtonKind button);
  void PressKey(TdxCalcButtonKind kind);
  void ReleaseKey();

  bool FAutoFontSize = true;
  bool FBeepOnError = true;
  TdxButtonStyle FButtonStyle = bsStandard;
  TBorderStyle FBorderStyle = bsNone;
  bool FShowButtonFrame = false;
  bool FShowFocusRect = true;
  int32_t FFontSize = 8;
  int32_t FButtonWidth = 28;
  int32_t FButtonHeight = 22;
  int32_t FLargeButtonWidth = 47;
  int32_t FButtonSpacingX = 4;
  int32_t FButtonSpacingY = 4;
  int32_t FCalcWidth = 207;
  int32_t FCalcHeight = 137;
  long double FMemory = 0;
  TdxCalcButtonKind FLastOperation = cbEqual;
  long double FOperand = 0;
  uint8_t FPrecision = 13;
  TdxCalcStatus FStatus = csResult;
  std::array<TdxCalcButton, dxCalcButtonCount> FButtons;
  TdxCalcButtonKind FHotButton = cbNone;
  TdxCalcButtonKind FMouseButton = cbNone;
  TdxCalcButtonKind FKeyButton = cbNone;
  bool FTracking = false;
  bool FSizing = false;
};
