// Decisions taken here:
// - Keys are matched in two tables: key codes in KeyDown (Enter, Escape, C, Delete, R,
//   F9 and Ctrl+L, Ctrl+R, Ctrl+M, Ctrl+P, the letters only without Ctrl) and characters
//   in KeyPress (digits, operators, "@", the decimal separator, Backspace). Enter is a
//   key code, so Ctrl+M, whose character is a carriage return too, presses only "MS".
// - A result beyond the range of a real, or NaN, shows the error text instead of a
//   number, and so does a display that is no number when an operation reads it.
// - Pasting in the error state repeats the error, as every button but "CE" and "C"
//   does: only those two leave it.
#include "editors/DxCalc.h"

#include <algorithm>
#include <cassert>
#include <cfloat>
#include <cmath>
#include <memory>

#include "classlib/AliveGuard.h"
#include "classlib/Bitmap.h"
#include "classlib/Clipboard.h"
#include "classlib/FlagScope.h"
#include "classlib/FloatFormat.h"
#include "classlib/FormatSettings.h"
#include "classlib/GdiHandles.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/Strings.h"
#include "classlib/SysUtils.h"
#include "editors/DxExEdtr.h"
#include "editors/DxUtils.h"

namespace {

constexpr int sdxCalcError = 38951;  // "Error"

int gStarts = 0;
std::unique_ptr<TBitmap> gButtonBitmap;
std::string gErrorText;

struct TButtonLook {
  const char* Caption;  // null: the locale's decimal separator
  TColor Color;
};

const TButtonLook kLooks[dxCalcButtonCount] = {
    {"Back", 0x000080}, {"CE", 0x000080},  {"C", 0x000080},   {"MC", 0x0000FF},   {"MR", 0x0000FF},
    {"MS", 0x0000FF},   {"M+", 0x0000FF},  {"0", 0xFF0000},   {"1", 0xFF0000},    {"2", 0xFF0000},
    {"3", 0xFF0000},    {"4", 0xFF0000},   {"5", 0xFF0000},   {"6", 0xFF0000},    {"7", 0xFF0000},
    {"8", 0xFF0000},    {"9", 0xFF0000},   {"+/-", 0xFF0000}, {nullptr, 0xFF0000}, {"/", 0x0000FF},
    {"*", 0x0000FF},    {"-", 0x0000FF},   {"+", 0x0000FF},   {"sqrt", 0x800000}, {"%", 0x800000},
    {"1/x", 0x800000},  {"=", 0x0000FF}};

// The grid below the top row: the memory column, then five main columns.
const TdxCalcButtonKind kGrid[4][6] = {{cbMC, cbNum7, cbNum8, cbNum9, cbDiv, cbSqrt},
                                       {cbMR, cbNum4, cbNum5, cbNum6, cbMul, cbPercent},
                                       {cbMS, cbNum1, cbNum2, cbNum3, cbSub, cbRev},
                                       {cbMP, cbNum0, cbSign, cbDecimal, cbAdd, cbEqual}};

bool IsArithmetic(TdxCalcButtonKind kind) { return kind >= cbDiv && kind <= cbAdd; }

// The button a key code presses: keys that type no character, and the letters.
TdxCalcButtonKind KeyCodeButton(WORD key, TShiftState shift) {
  if (shift.Contains(ssAlt))
    return cbNone;
  if (shift.Contains(ssCtrl)) {
    switch (key) {
      case 'L': return cbMC;
      case 'R': return cbMR;
      case 'M': return cbMS;
      case 'P': return cbMP;
      default: return cbNone;
    }
  }
  switch (key) {
    case VK_RETURN: return cbEqual;
    case VK_ESCAPE:
    case 'C': return cbClear;
    case VK_DELETE: return cbCancelEntry;
    case 'R': return cbRev;
    case VK_F9: return cbSign;
    default: return cbNone;
  }
}

// The button a typed character presses.
TdxCalcButtonKind CharButton(char c) {
  if (c >= '0' && c <= '9')
    return TdxCalcButtonKind(cbNum0 + (c - '0'));
  if (c == FormatSettings.DecimalSeparator)
    return cbDecimal;
  switch (c) {
    case '/': return cbDiv;
    case '*': return cbMul;
    case '-': return cbSub;
    case '+': return cbAdd;
    case '%': return cbPercent;
    case '=': return cbEqual;
    case '@': return cbSqrt;
    case '\b': return cbBack;
    default: return cbNone;
  }
}

// F(h) of the scaling: five rows of buttons and six gaps of the height's spacing.
int RowsHeight(int h) { return 5 * h + 6 * MulDiv(h, 4, 22); }

}  // namespace

void InitializeDxCalc() {
  if (gStarts++ > 0)
    return;
  gButtonBitmap = std::make_unique<TBitmap>();
  gErrorText = DxLoadStr(sdxCalcError);
}

void FinalizeDxCalc() {
  if (gStarts == 0 || --gStarts > 0)
    return;
  gErrorText.clear();
  gButtonBitmap.reset();
}

const std::string& DxCalcErrorText() { return gErrorText; }

// ---- Construction -------------------------------------------------------------------

TCustomdxCalculator::TCustomdxCalculator(TComponent* AOwner) : TdxInplacePopupControl(AOwner) {
  SetBounds(GetLeft(), GetTop(), 207, 137);
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
  SetColor(clBtnFace);
  SetCtl3D(false);
  SetParentColor(false);
  SetTabStop(true);
  CalcLayout();
}

void TCustomdxCalculator::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
  params.WindowClass.style &= ~UINT(CS_DBLCLKS);
  if (GetIsPopup()) {
    params.Style &= ~DWORD(WS_BORDER);
    return;
  }
  if (FBorderStyle != bsSingle)
    return;
  if (GetCtl3D()) {
    params.ExStyle |= WS_EX_CLIENTEDGE;
    params.Style &= ~DWORD(WS_BORDER);
  } else {
    params.Style |= WS_BORDER;
  }
}

// ---- Properties ---------------------------------------------------------------------

void TCustomdxCalculator::SetAutoFontSize(bool value) {
  if (FAutoFontSize == value)
    return;
  FAutoFontSize = value;
  Invalidate();
}

void TCustomdxCalculator::SetButtonStyle(TdxButtonStyle value) {
  if (FButtonStyle == value)
    return;
  FButtonStyle = value;
  Invalidate();
}

void TCustomdxCalculator::SetBorderStyle(TBorderStyle value) {
  if (FBorderStyle == value)
    return;
  FBorderStyle = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomdxCalculator::SetShowButtonFrame(bool value) {
  if (FShowButtonFrame == value)
    return;
  FShowButtonFrame = value;
  Invalidate();
}

void TCustomdxCalculator::SetShowFocusRect(bool value) {
  if (FShowFocusRect == value)
    return;
  FShowFocusRect = value;
  Invalidate();
}

// ---- Layout -------------------------------------------------------------------------

void TCustomdxCalculator::ScaleToClient() {
  const int target = std::min(MulDiv(GetClientWidth(), 137, 207), GetClientHeight());
  int h = 22;
  if (std::abs(RowsHeight(h) - target) < target)
    while (std::abs(RowsHeight(h + 1) - target) < std::abs(RowsHeight(h) - target))
      ++h;
  FButtonHeight = h;
  FButtonWidth = MulDiv(h, 28, 22);
  FButtonSpacingX = FButtonSpacingY = MulDiv(h, 4, 22);
  FLargeButtonWidth = MulDiv(FButtonWidth, 17, 10);
  FFontSize = MulDiv(h, 8, 22);
  FCalcHeight = 5 * (FButtonSpacingY + h) + FButtonSpacingY;
  FCalcWidth = 6 * (FButtonSpacingX + FButtonWidth) + 2 * FButtonSpacingX + 4;
}

void TCustomdxCalculator::CalcLayout() {
  for (int i = 0; i < dxCalcButtonCount; ++i) {
    TdxCalcButton& button = FButtons[size_t(i)];
    button = TdxCalcButton{};
    button.Kind = TdxCalcButtonKind(i);
    button.Caption = kLooks[i].Caption ? kLooks[i].Caption : std::string(1, FormatSettings.DecimalSeparator);
    button.Color = kLooks[i].Color;
  }
  const int gx = FButtonSpacingX, gy = FButtonSpacingY, bw = FButtonWidth, bh = FButtonHeight;
  const int x0 = 2 * gx + bw + 4;
  for (int r = 1; r <= 4; ++r) {
    const int top = r * (gy + bh) + gy, bottom = (r + 1) * (gy + bh);
    FButtons[kGrid[r - 1][0]].Bounds = Rect(gx, top, gx + bw, bottom);
    for (int c = 0; c <= 4; ++c)
      FButtons[kGrid[r - 1][c + 1]].Bounds = Rect(x0 + gx + c * (gx + bw), top, x0 + (c + 1) * (gx + bw), bottom);
  }
  int right = FButtons[cbEqual].Bounds.right;
  for (TdxCalcButtonKind kind : {cbClear, cbCancelEntry, cbBack}) {
    FButtons[kind].Bounds = Rect(right - FLargeButtonWidth, gy, right, gy + bh);
    right -= FLargeButtonWidth + gx;
  }
  FLastOperation = cbEqual;
  FStatus = csResult;
  FMemory = 0;
  RefreshMemoryButtons();
  if (HandleAllocated())
    Invalidate();
}

TdxCalcButtonKind TCustomdxCalculator::ButtonAtPoint(int x, int y) const {
  const POINT p{x, y};
  for (const TdxCalcButton& button : FButtons)
    if (PtInRect(&button.Bounds, p))
      return button.Kind;
  return cbNone;
}

void TCustomdxCalculator::WMSize(TMessage& message) {
  // Taking the computed size resizes the window again; that resize changes nothing.
  if (!Survives(this, [&] { inherited::Dispatch(message); }) || FSizing)
    return;
  TFlagScope sizing(FSizing);
  ScaleToClient();
  SetClientWidth(FCalcWidth);
  SetClientHeight(FCalcHeight);
  CalcLayout();
}

// ---- Painting -----------------------------------------------------------------------

void TCustomdxCalculator::InvalidateButton(TdxCalcButtonKind kind) {
  if (kind == cbNone || !HandleAllocated())
    return;
  InvalidateRect(GetHandle(), &FButtons[kind].Bounds, FALSE);
}

void TCustomdxCalculator::RefreshMemoryButtons() {
  FButtons[cbMC].Grayed = FButtons[cbMR].Grayed = FMemory == 0;
  InvalidateButton(cbMC);
  InvalidateButton(cbMR);
}

void TCustomdxCalculator::Paint() {
  HDC dc = GetCanvas()->GetHandle();
  const TRect client = GetClientRect();
  TRegionHandle rest(CreateRectRgnIndirect(&client));
  TFont font;
  font.Assign(GetFont());
  if (FAutoFontSize) {
    font.SetSize(FFontSize);
    TFontStyles style = font.GetStyle();
    if (FFontSize >= 10)
      style.Include(fsBold);
    else
      style.Exclude(fsBold);
    font.SetStyle(style);
  }
  for (const TdxCalcButton& button : FButtons) {
    if (IsRectEmpty(&button.Bounds) || !RectVisible(dc, &button.Bounds))
      continue;
    DrawButton(dc, button, font.GetHandle());
    TRegionHandle drawn(CreateRectRgnIndirect(&button.Bounds));
    CombineRgn(rest.Get(), rest.Get(), drawn.Get(), RGN_DIFF);
  }
  FillRgn(dc, rest.Get(), GetBrush()->GetHandle());
}

void TCustomdxCalculator::DrawButton(HDC dc, const TdxCalcButton& button, HFONT font) {
  assert(gButtonBitmap && "the calculator unit is started");
  const int w = RectWidth(button.Bounds), h = RectHeight(button.Bounds);
  EnsureMinSize(gButtonBitmap.get(), w, h);
  HDC mdc = gButtonBitmap->GetCanvas()->GetHandle();
  const bool down = button.Down && !button.Grayed;
  const bool hot = FHotButton == button.Kind;
  TRect r = Rect(0, 0, w, h);
  FillRect(mdc, &r, GetBrush()->GetHandle());
  switch (FButtonStyle) {
    case bsStandard: DrawFrameControl(mdc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0)); break;
    case bsFlat: DrawEdge(mdc, &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT); break;
    case bsExtraFlat:
      if (hot || down)
        DrawEdge(mdc, &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
      break;
  }
  TRect text = r;
  InflateRect(&text, -2, -2);
  if (down)
    OffsetRect(&text, 2, 2);
  {
    TSelectGuard selectFont(mdc, font);
    const int oldMode = SetBkMode(mdc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(mdc);
    const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX;
    const auto drawCaption = [&](TRect at, TColor color) {
      SetTextColor(mdc, ColorToRGB(color));
      DrawTextA(mdc, button.Caption.c_str(), int(button.Caption.size()), &at, flags);
    };
    if (GetEnabled()) {
      drawCaption(text, button.Grayed ? clBtnShadow : button.Color);
    } else {
      TRect engraved = text;
      OffsetRect(&engraved, 1, 1);
      drawCaption(engraved, clBtnHighlight);
      drawCaption(text, clBtnShadow);
    }
    SetTextColor(mdc, oldColor);
    SetBkMode(mdc, oldMode);
  }
  if (FShowButtonFrame) {
    TRect frame = r;
    InflateRect(&frame, -3, -3);
    if (down)
      OffsetRect(&frame, 1, 1);
    TPenHandle pen(CreatePen(PS_SOLID, 1, ColorToRGB(clBtnShadow)));
    TSelectGuard selectPen(mdc, pen.Get());
    TSelectGuard selectBrush(mdc, GetStockObject(NULL_BRUSH));
    const int corner = RectHeight(frame) - 4;
    RoundRect(mdc, frame.left, frame.top, frame.right, frame.bottom, corner, corner);
  }
  if (button.Kind == cbEqual && FShowFocusRect && Focused()) {
    TRect focus = r;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(mdc, &focus);
  }
  BitBlt(dc, button.Bounds.left, button.Bounds.top, w, h, mdc, 0, 0, SRCCOPY);
}

// ---- Engine -------------------------------------------------------------------------

void TCustomdxCalculator::ChangeText(const std::string& text) {
  if (text == GetDisplayText())
    return;
  // A popup's text is its editor's, whose change handler may free the editor and the
  // popup with it.
  if (Survives(this, &TCustomdxCalculator::SetDisplayText, text))
    OnDisplayChange(this);
}

void TCustomdxCalculator::SetDisplayValue(long double value) {
  if (!std::isfinite(value) || std::fabs(value) > DBL_MAX) {
    CalcError();
    return;
  }
  const int precision = std::max(2, int(FPrecision));
  ChangeText(FloatToStrF(double(value), ffGeneral, precision, 0, FormatSettings));
}

long double TCustomdxCalculator::GetDisplayValue() {
  if (FStatus == csError)
    return 0;
  const std::string text = Trim(GetDisplayText());
  if (text.empty())
    return 0;
  double value = 0;
  return TryStrToFloat(text, value, FormatSettings) ? value : NAN;
}

bool TCustomdxCalculator::ReadDisplay(long double& value) {
  value = GetDisplayValue();
  if (!std::isnan(value))
    return true;
  CalcError();
  return false;
}

void TCustomdxCalculator::CalcError() {
  FStatus = csError;
  if (!Survives(this, [&] { ChangeText(gErrorText); }))
    return;
  if (FBeepOnError)
    MessageBeep(0);
  OnError(this);
}

void TCustomdxCalculator::ClearCalc() {
  FStatus = csResult;
  // The display's change handler may free the calculator.
  if (Survives(this, &TCustomdxCalculator::SetDisplayValue, 0))
    FLastOperation = cbEqual;
}

void TCustomdxCalculator::BeginEntry() {
  if (FStatus != csResult)
    return;
  FStatus = csEntry;
  ChangeText("0");
}

void TCustomdxCalculator::CalcButtonClick(TdxCalcButtonKind button) {
  // The handlers of the button and of the display may free the calculator.
  if (!Survives(this, OnButtonClick, button))
    return;
  const auto beginEntry = [this] { return Survives(this, &TCustomdxCalculator::BeginEntry); };
  if (FStatus == csError && button != cbCancelEntry && button != cbClear) {
    CalcError();
    return;
  }
  long double value = 0;
  switch (button) {
    case cbDecimal: {
      if (!beginEntry())
        return;
      const std::string text = GetDisplayText();
      if (text.find(FormatSettings.DecimalSeparator) == std::string::npos)
        ChangeText(text + FormatSettings.DecimalSeparator);
      return;
    }
    case cbBack: {
      if (!beginEntry())
        return;
      const std::string text = GetDisplayText();
      if (text.size() <= 1 || (text.size() == 2 && text[0] == '-'))
        ChangeText("0");
      else
        ChangeText(text.substr(0, text.size() - 1));
      return;
    }
    case cbCancelEntry:
    case cbClear: ClearCalc(); return;
    case cbMC:
      FMemory = 0;
      RefreshMemoryButtons();
      return;
    case cbMR:
      FStatus = csResult;
      if (beginEntry() && Survives(this, &TCustomdxCalculator::SetDisplayValue, FMemory))
        RefreshMemoryButtons();
      return;
    case cbMS:
    case cbMP: {
      if (!ReadDisplay(value))
        return;  // the error shown (its handlers may have freed the calculator)
      FStatus = csResult;
      const long double memory = button == cbMS ? value : FMemory + value;
      if (!std::isfinite(memory) || std::fabs(memory) > DBL_MAX) {
        CalcError();
        return;
      }
      FMemory = memory;
      RefreshMemoryButtons();
      return;
    }
    case cbSign:
      if (ReadDisplay(value))
        SetDisplayValue(-value);
      return;
    case cbSqrt:
    case cbRev: ApplyFunction(button); return;
    case cbDiv:
    case cbMul:
    case cbSub:
    case cbAdd:
    case cbPercent:
    case cbEqual: ApplyOperator(button); return;
    case cbNone: return;
    default: break;
  }
  // A digit.
  if (!beginEntry())
    return;
  std::string text = GetDisplayText();
  if (text == "0")
    text.clear();
  const size_t limit = (text.find('-') != std::string::npos ? 1 : 0) + size_t(std::max(2, int(FPrecision)));
  if (text.size() < limit) {
    ChangeText(text + char('0' + (button - cbNum0)));
    return;
  }
  if (FBeepOnError)
    MessageBeep(0);
}

void TCustomdxCalculator::ApplyOperator(TdxCalcButtonKind button) {
  // The display's handlers may free the calculator.
  long double x = 0;
  const auto applyPending = [&] {
    FStatus = csResult;
    if (!ReadDisplay(x))
      return;
    if (button == cbPercent) {
      if (FLastOperation == cbDiv || FLastOperation == cbMul)
        x = x / 100;
      else if (FLastOperation == cbSub || FLastOperation == cbAdd)
        x = FOperand * x / 100;
    }
    switch (FLastOperation) {
      case cbDiv:
        if (x == 0)
          CalcError();
        else
          SetDisplayValue(FOperand / x);
        break;
      case cbMul: SetDisplayValue(FOperand * x); break;
      case cbSub: SetDisplayValue(FOperand - x); break;
      case cbAdd: SetDisplayValue(FOperand + x); break;
      default: break;  // "=" and "%" leave the number as it is
    }
  };
  if (FStatus == csEntry && !Survives(this, applyPending))
    return;
  FLastOperation = button;
  bool read = false;
  if (!Survives(this, [&] { read = ReadDisplay(x); }))
    return;
  FOperand = read ? x : 0;
  if (button == cbPercent || button == cbEqual)
    OnResult(this);
}

void TCustomdxCalculator::ApplyFunction(TdxCalcButtonKind button) {
  // After an operator the result stands as its second operand.
  FStatus = IsArithmetic(FLastOperation) ? csEntry : csResult;
  long double value = 0;
  if (!ReadDisplay(value))
    return;
  if (button == cbSqrt ? value < 0 : value == 0) {
    CalcError();
    return;
  }
  SetDisplayValue(button == cbSqrt ? std::sqrt(value) : 1 / value);
}

// ---- Clipboard ----------------------------------------------------------------------

void TCustomdxCalculator::CopyToClipboard() { Clipboard()->SetAsText(GetDisplayText()); }

void TCustomdxCalculator::PasteFromClipboard() {
  if (!Clipboard()->HasFormat(CF_TEXT))
    return;
  if (FStatus == csError) {
    CalcError();
    return;
  }
  std::string text = Clipboard()->GetAsText();
  const std::string& currency = FormatSettings.CurrencyString;
  if (!currency.empty())
    for (size_t at = text.find(currency); at != std::string::npos; at = text.find(currency, at))
      text.erase(at, currency.size());
  double value = 0;
  if (!TryStrToFloat(Trim(text), value, FormatSettings)) {
    SetDisplayValue(0);
    return;
  }
  if (Survives(this, [&] { SetDisplayValue(value); }))
    FStatus = csEntry;
}

// ---- Keyboard -----------------------------------------------------------------------

void TCustomdxCalculator::PressKey(TdxCalcButtonKind kind) {
  // A key held down repeats its messages; the button it holds acts once.
  if (kind == FKeyButton)
    return;
  ReleaseKey();
  FKeyButton = kind;
  FButtons[kind].Down = true;
  InvalidateButton(kind);
  if (kind != cbBack)
    CalcButtonClick(kind);
}

void TCustomdxCalculator::ReleaseKey() {
  if (FKeyButton == cbNone)
    return;
  FButtons[FKeyButton].Down = false;
  InvalidateButton(FKeyButton);
  FKeyButton = cbNone;
}

void TCustomdxCalculator::KeyDown(WORD& key, TShiftState shift) {
  if (!Survives(this, [&] { inherited::KeyDown(key, shift); }))
    return;
  if (key == VK_INSERT) {
    if (shift == TShiftState{ssShift})
      PasteFromClipboard();
    else if (shift == TShiftState{ssCtrl})
      CopyToClipboard();
    return;
  }
  const TdxCalcButtonKind kind = KeyCodeButton(key, shift);
  if (kind != cbNone)
    PressKey(kind);
}

void TCustomdxCalculator::KeyPress(char& key) {
  if (!Survives(this, [&] { inherited::KeyPress(key); }))
    return;
  constexpr char ctrlC = 3, ctrlV = 22;
  if (key == ctrlV) {
    PasteFromClipboard();
    return;
  }
  if (key == ctrlC) {
    CopyToClipboard();
    return;
  }
  const TdxCalcButtonKind kind = CharButton(key);
  if (kind == cbNone)
    return;
  // Backspace deletes on every character, so that it repeats while held.
  if (Survives(this, &TCustomdxCalculator::PressKey, kind) && kind == cbBack)
    CalcButtonClick(cbBack);
}

void TCustomdxCalculator::KeyUp(WORD& key, TShiftState shift) {
  if (Survives(this, [&] { inherited::KeyUp(key, shift); }))
    ReleaseKey();
}

// ---- Mouse --------------------------------------------------------------------------

void TCustomdxCalculator::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!GetComponentState().Contains(csDesigning)) {
    if (!GetIsPopup() && CanFocus() && !Survives(this, [this] { SetFocus(); }))
      return;  // OnEnter freed the calculator
    const TdxCalcButtonKind kind = button == mbLeft ? ButtonAtPoint(x, y) : cbNone;
    if (kind != cbNone) {
      FTracking = true;
      FMouseButton = kind;
      FButtons[kind].Down = true;
      InvalidateButton(kind);
    }
  }
  inherited::MouseDown(button, shift, x, y);
}

void TCustomdxCalculator::MouseMove(TShiftState shift, int x, int y) {
  const TdxCalcButtonKind under = ButtonAtPoint(x, y);
  if (FTracking) {
    const bool over = under == FMouseButton;
    if (FButtons[FMouseButton].Down != over) {
      FButtons[FMouseButton].Down = over;
      InvalidateButton(FMouseButton);
    }
  } else if (FButtonStyle == bsExtraFlat && GetEnabled() && !Dragging() && under != FHotButton) {
    const TdxCalcButtonKind old = FHotButton;
    FHotButton = under;
    InvalidateButton(old);
    InvalidateButton(under);
  }
  inherited::MouseMove(shift, x, y);
}

void TCustomdxCalculator::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const TdxCalcButtonKind pressed = FMouseButton;
  FMouseButton = cbNone;
  if (FTracking) {
    FTracking = false;
    const bool wasDown = FButtons[pressed].Down;
    FButtons[pressed].Down = false;
    InvalidateButton(pressed);
    if (button == mbLeft && wasDown && !Survives(this, &TCustomdxCalculator::CalcButtonClick, pressed))
      return;
  }
  inherited::MouseUp(button, shift, x, y);
}

// ---- Messages -----------------------------------------------------------------------

void TCustomdxCalculator::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      inherited::Dispatch(message);
      message.Result = 1;
      return;
    case WM_GETDLGCODE: message.Result = DLGC_WANTARROWS; return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      inherited::Dispatch(message);
      InvalidateButton(cbEqual);
      return;
    case WM_SIZE: WMSize(message); return;
    case CM_CTL3DCHANGED:
      inherited::Dispatch(message);
      if (FBorderStyle == bsSingle && HandleAllocated())
        RecreateWnd();
      return;
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(message);
      Invalidate();
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(message);
      if (FButtonStyle == bsExtraFlat && GetEnabled() && !Dragging()) {
        const TdxCalcButtonKind old = FHotButton;
        FHotButton = cbNone;
        InvalidateButton(old);
      }
      return;
  }
  inherited::Dispatch(message);
}
