#include "editors/DxInplaceSpinEdit.h"

#include <algorithm>
#include <memory>

#include "classlib/AliveGuard.h"
#include "classlib/FloatFormat.h"
#include "classlib/FormatSettings.h"
#include "classlib/GdiHandles.h"
#include "classlib/SysUtils.h"
#include "editors/DxContainer.h"

namespace {

constexpr UINT_PTR kRepeatTimer = 100;

void DrawArrow(HDC dc, const TRect& r, bool up, int colorIndex) {
  int w = (RectWidth(r) - 2) / 2;
  if (w % 2 == 0)
    ++w;
  const int x = (r.left + r.right - w) / 2;
  const int y = (r.top + r.bottom - w / 2) / 2 - 1;
  POINT points[3];
  if (up) {
    points[0] = {x, y + w / 2};
    points[1] = {x + w / 2, y};
    points[2] = {x + w - 1, y + w / 2};
  } else {
    points[0] = {x, y + 1};
    points[1] = {x + w - 1, y + 1};
    points[2] = {x + w / 2, y + 1 + w / 2};
  }
  TPenHandle pen(CreatePen(PS_SOLID, 1, GetSysColor(colorIndex)));
  TSelectGuard penSelected(dc, pen.Get());
  TSelectGuard brushSelected(dc, GetSysColorBrush(colorIndex));
  Polygon(dc, points, 3);
}

void DrawSpinButton(HDC dc, TRect r, bool up, TdxEditViewData* v, bool hot, bool pushed) {
  const bool transparent = v->ButtonTransparent;
  const bool opaque = !transparent && !v->NoFill;
  HBRUSH face = transparent ? v->Brush : GetSysColorBrush(COLOR_BTNFACE);
  TdxEditButtonViewStyle style = v->ButtonStyle;
  if (style == btsSimple && (hot || pushed))
    style = btsFlat;
  if (transparent && !v->NoFill)
    FillRect(dc, &r, face);
  const UINT middle = transparent ? 0 : BF_MIDDLE;
  int arrowColor = COLOR_BTNTEXT;
  switch (style) {
    case bts3D:
      if (pushed) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST | middle);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST);
      } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST | middle);
      }
      break;
    case btsFlat:
      if (opaque) {
        const TRect column = Rect(r.left, r.top, r.left + 1, r.bottom);
        FillRect(dc, &column, GetSysColorBrush(COLOR_BTNFACE));
        ++r.left;
      }
      DrawEdge(dc, &r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST | middle);
      break;
    case btsSimple:
      if (opaque) {
        FrameRect(dc, &r, v->Brush);
        InflateRect(&r, -1, -1);
        const TRect column = Rect(r.left, r.top, r.left + 1, r.bottom);
        FillRect(dc, &column, v->Brush);
        ++r.left;
        FillRect(dc, &r, face);
      } else {
        InflateRect(&r, -1, -1);
      }
      break;
    case btsHotFlat: {
      FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
      InflateRect(&r, -1, -1);
      if (opaque) {
        int fill = COLOR_BTNFACE;
        if (v->Enabled && pushed)
          fill = COLOR_BTNTEXT;
        else if (v->Enabled && hot)
          fill = COLOR_BTNSHADOW;
        FillRect(dc, &r, GetSysColorBrush(fill));
      }
      if ((hot || pushed) && !transparent)
        arrowColor = COLOR_WINDOW;
      else if (hot && !pushed && transparent)
        arrowColor = COLOR_BTNSHADOW;
      break;
    }
    default: break;
  }
  if (pushed && style != btsHotFlat)
    OffsetRect(&r, 1, 1);
  if (v->Enabled) {
    DrawArrow(dc, r, up, arrowColor);
    return;
  }
  TRect shifted = r;
  OffsetRect(&shifted, 1, 1);
  DrawArrow(dc, shifted, up, COLOR_BTNHIGHLIGHT);
  DrawArrow(dc, r, up, COLOR_BTNSHADOW);
}

}  // namespace

// ---- Construction -------------------------------------------------------------------

TdxInplaceSpinEdit::TdxInplaceSpinEdit(TComponent* AOwner) : TdxInplaceSpinEdit(AOwner, &MetaClass()) {}

TdxInplaceSpinEdit::TdxInplaceSpinEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceMaskEdit(AOwner, cls) {
  SetControlStyle(GetControlStyle() - TControlStyle{csSetCaption});
  SetText("0");
}

// ---- Class operations ---------------------------------------------------------------

TClass TdxInplaceSpinEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxSpinEditViewData::StaticClass();
}

int TdxInplaceSpinEdit::GetSpinButtonWidth(TdxEditViewData* viewData) {
  auto* v = ObjectAs<TdxSpinEditViewData>(viewData);
  if (!v || !v->ShowButtons)
    return 0;
  int width = GetSystemMetrics(SM_CXVSCROLL);
  if (width % 2 == 0)
    --width;
  width = std::max(width, 13);
  if (v->ButtonStyle == btsFlat || v->ButtonStyle == btsSimple)
    --width;
  return width;
}

void TdxInplaceSpinEdit::CalcViewData(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, bool autoSize,
                                      TdxEditDrawRecord& record) {
  inherited::CalcViewData(cls, viewData, autoSize, record);
  record.InnerRect.right -= GetSpinButtonWidth(viewData);
}

void TdxInplaceSpinEdit::GetSpinButtonRects(const TdxEditDrawRecord& record, TdxEditViewData* viewData, TRect& up,
                                            TRect& down) {
  TRect r = record.BorderRect;
  const int w = record.BorderWidth;
  if (record.EdgeLeft)
    r.left += w;
  if (record.EdgeTop)
    r.top += w;
  if (record.EdgeRight)
    r.right -= w;
  if (record.EdgeBottom)
    r.bottom -= w;
  const int width = GetSpinButtonWidth(viewData);
  const int middle = (r.top + r.bottom) / 2;
  up = Rect(r.right - width, r.top, r.right, middle);
  down = Rect(r.right - width, middle, r.right, r.bottom);
}

void TdxInplaceSpinEdit::DrawBorder(const TdxInplaceEditClass& cls, HDC dc, const TdxEditDrawRecord& record,
                                    TdxEditViewData* viewData) {
  inherited::DrawBorder(cls, dc, record, viewData);
  auto* v = ObjectAs<TdxSpinEditViewData>(viewData);
  if (!v || !v->ShowButtons)
    return;
  TRect up, down;
  GetSpinButtonRects(record, v, up, down);
  DrawSpinButton(dc, up, true, v, v->HotButton == sbUp, v->PressedButton == sbUp && v->HotButton == sbUp);
  DrawSpinButton(dc, down, false, v, v->HotButton == sbDown, v->PressedButton == sbDown && v->HotButton == sbDown);
}

TdxEditViewData* TdxInplaceSpinEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  if (auto* v = ObjectAs<TdxSpinEditViewData>(viewData)) {
    v->ShowButtons = IsActive() || GetStyle()->GetButtonTransparence() != ebtHideInactive;
    v->PressedButton = FPressedButton;
    const bool captured = HandleAllocated() && GetCapture() == GetHandle();
    v->HotButton = FPressedButton != sbNone && !captured ? FPressedButton : FHotButton;
  }
  return viewData;
}

// ---- Value --------------------------------------------------------------------------

double TdxInplaceSpinEdit::DefaultValue() const {
  return FValueType == vtInt ? double(Round(FBounds.MinValue)) : FBounds.MinValue;
}

double TdxInplaceSpinEdit::GetValue() {
  const std::string text = TControl::GetText();
  if (text.empty())
    return DefaultValue();
  if (FValueType == vtFloat) {
    double value = 0;
    TFormatSettings settings = FormatSettings;
    if (text.find(',') == std::string::npos && settings.DecimalSeparator != '.')
      settings.DecimalSeparator = '.';
    return TryStrToFloat(text, value, settings) ? value : DefaultValue();
  }
  int32_t value = 0;
  return TryStrToInt(text, value) ? double(value) : DefaultValue();
}

void TdxInplaceSpinEdit::SetValue(double value) {
  value = FBounds.Bounded(value);
  const std::string text = FValueType == vtFloat ? FloatToStr(value) : IntToStr(Round(value));
  if (text != TControl::GetText())
    SetText(text);
}

bool TdxInplaceSpinEdit::IsValidNumberChar(char key) {
  const uint8_t code = uint8_t(key);
  if (code < 32)
    return FEditorEnabled || key != '\b';
  if (!FEditorEnabled)
    return false;
  if ((key >= '0' && key <= '9') || key == '+' || key == '-')
    return true;
  return FValueType == vtFloat && key == FormatSettings.DecimalSeparator;
}

void TdxInplaceSpinEdit::SetMaxValue(double value) {
  if (FBounds.SetMax(value))
    SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetMinValue(double value) {
  if (FBounds.SetMin(value))
    SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetMinMaxValues(double minValue, double maxValue) {
  FBounds.Set(minValue, maxValue);
  SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetValueType(TdxValueType value) {
  if (value == FValueType)
    return;
  FValueType = value;
  if (!TControl::GetText().empty())
    SetValue(GetValue());
}

void TdxInplaceSpinEdit::AssignMinMaxValues(double minValue, double maxValue) {
  MarkAssigned(evMaxValue);
  MarkAssigned(evMinValue);
  SetMinMaxValues(minValue, maxValue);
}

void TdxInplaceSpinEdit::AssignValueType(TdxValueType value) {
  MarkAssigned(evValueType);
  SetValueType(value);
}

void TdxInplaceSpinEdit::RestoreDefaults() {
  inherited::RestoreDefaults();
  SetMinMaxValues(0, 0);
  SetValueType(vtInt);
}

void TdxInplaceSpinEdit::RefreshLinkValues() {
  inherited::RefreshLinkValues();
  const TdxEditAssignedValues assigned = GetAssignedValues();
  if (!assigned.Contains(evValueType))
    SetValueType(vtInt);
  RefreshValueBounds(*this, assigned, 0, 0);
}

void TdxInplaceSpinEdit::ValidateEdit() {
  if (Survives(this, [&] { inherited::ValidateEdit(); }) && GetModified())
    SetValue(GetValue());
}

bool TdxInplaceSpinEdit::Spin() {
  if (!CanEditText()) {
    MessageBeep(0);
    return true;
  }
  if (!CanModify())
    return true;
  // The change's handler may free the editor.
  const double step = FPressedButton == sbUp ? GetIncrement() : -GetIncrement();
  if (!Survives(this, &TdxInplaceSpinEdit::SetValue, GetValue() + step))
    return false;
  SetModified(true);
  return true;
}

// ---- Buttons ------------------------------------------------------------------------

void TdxInplaceSpinEdit::SetHotButton(TdxSpinButton value) {
  if (value == FHotButton)
    return;
  FHotButton = value;
  RepaintFrame();
}

void TdxInplaceSpinEdit::StopTimer() {
  if (FTimer && HandleAllocated())
    KillTimer(GetHandle(), kRepeatTimer);
  FTimer = 0;
}

void TdxInplaceSpinEdit::StartTimer(UINT interval) {
  if (HandleAllocated())
    FTimer = SetTimer(GetHandle(), kRepeatTimer, interval, nullptr);
}

void TdxInplaceSpinEdit::ReleaseButtons() {
  StopTimer();
  const bool changed = FPressedButton != sbNone || FHotButton != sbNone;
  FPressedButton = sbNone;
  FHotButton = sbNone;
  if (HandleAllocated() && GetCapture() == GetHandle())
    ReleaseCapture();
  if (changed)
    RepaintFrame();
}

void TdxInplaceSpinEdit::SetMouseInside(bool value) {
  if (!value)
    SetHotButton(sbNone);
  inherited::SetMouseInside(value);
}

void TdxInplaceSpinEdit::ForwardClick(int x, int y) { ReplayClickInFrame(x, y); }

// ---- Keys ---------------------------------------------------------------------------

void TdxInplaceSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  if (!FEditorEnabled && IsEditKey(key, shift)) {
    key = 0;
    return;
  }
  if (key != VK_UP && key != VK_DOWN) {
    inherited::KeyDown(key, shift);
    return;
  }
  if (FUseCtrlIncrement && !shift.Contains(ssCtrl)) {
    inherited::KeyDown(key, shift);
    return;
  }
  FPressedButton = key == VK_UP ? sbUp : sbDown;
  FHotButton = FPressedButton;
  if (HandleAllocated() && GetCapture() == GetHandle())
    ReleaseCapture();
  RepaintFrame();
  Spin();
}

void TdxInplaceSpinEdit::KeyUp(WORD& key, TShiftState shift) {
  if (key == VK_UP || key == VK_DOWN)
    ReleaseButtons();
  inherited::KeyUp(key, shift);
}

void TdxInplaceSpinEdit::KeyPress(char& key) {
  if (key == ',' || key == '.')
    key = FormatSettings.DecimalSeparator;
  if ((uint8_t(key) >= 32 || key == '\b') && !IsValidNumberChar(key)) {
    key = 0;
    MessageBeep(0);
    return;
  }
  inherited::KeyPress(key);
}

void TdxInplaceSpinEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  ReleaseButtons();
  inherited::MouseUp(button, shift, x, y);
}

// ---- Messages -----------------------------------------------------------------------

void TdxInplaceSpinEdit::WMNCHitTest(TMessage& message) {
  inherited::Dispatch(message);
  if (GetComponentState().Contains(csDesigning))
    return;
  std::unique_ptr<TdxEditViewData> viewData(CreateViewData(false));
  TdxEditDrawRecord record;
  EditClass()->CalcViewData(viewData.get(), false, record);
  TRect up, down;
  GetSpinButtonRects(record, viewData.get(), up, down);
  const POINT p = ScreenToWindow(message.LParam);
  const TRect area = Rect(up.left, up.top, down.right, down.bottom);
  const bool free = GetCapture() == nullptr || FPressedButton != sbNone;
  if (RectWidth(area) > 0 && PtInRect(&area, p) && free) {
    const TdxSpinButton under = p.y < down.top ? sbUp : sbDown;
    SetHotButton(FPressedButton != sbNone && FPressedButton != under ? sbNone : under);
    message.Result = HTBORDER;
    return;
  }
  SetHotButton(sbNone);
}

void TdxInplaceSpinEdit::WMNCLButtonDown(TMessage& message) {
  inherited::Dispatch(message);
  if (FHotButton == sbNone)
    return;
  FPressedButton = FHotButton;
  SetCapture(GetHandle());
  RepaintFrame();
  if (!Spin())
    return;
  if (FTimer)
    StopTimer();
  else
    StartTimer(400);
  if (::GetFocus() != GetHandle())
    ::SetFocus(GetHandle());
}

void TdxInplaceSpinEdit::WMTimer(TMessage& message) {
  if (message.WParam != kRepeatTimer) {
    inherited::Dispatch(message);
    return;
  }
  StopTimer();
  if (FPressedButton == sbNone || GetCapture() != GetHandle())
    return;
  if (FPressedButton == FHotButton && !Spin())
    return;
  StartTimer(100);
}

void TdxInplaceSpinEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST: WMNCHitTest(message); return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(message); return;
    case WM_TIMER: WMTimer(message); return;
    case WM_NCLBUTTONDBLCLK:
      inherited::Dispatch(message);
      ReleaseButtons();
      // Releasing cleared the hot button; the point of the second press finds it again.
      // The press spins, and the change's handler may free the editor.
      SendMessageA(GetHandle(), WM_NCHITTEST, 0, message.LParam);
      if (Survives(this, [&] { SendMessageA(GetHandle(), WM_NCLBUTTONDOWN, message.WParam, message.LParam); }))
        SendMessageA(GetHandle(), WM_NCLBUTTONUP, message.WParam, message.LParam);
      return;
    case WM_LBUTTONUP:
      ReleaseButtons();
      inherited::Dispatch(message);
      return;
    case WM_CANCELMODE:
      ReleaseButtons();
      inherited::Dispatch(message);
      return;
    case WM_CAPTURECHANGED:
      inherited::Dispatch(message);
      if (FPressedButton != sbNone && reinterpret_cast<HWND>(message.LParam) != GetHandle())
        ReleaseButtons();
      return;
    case WM_MOUSEWHEEL: {
      const TdxSpinButton saved = FPressedButton;
      FPressedButton = short(HIWORD(message.WParam)) >= 1 ? sbUp : sbDown;
      message.Result = 1;
      if (Spin())
        FPressedButton = saved;
      return;
    }
    case WM_KILLFOCUS:
      inherited::Dispatch(message);
      if (GetAsyncKeyState(VK_UP) < 0 || GetAsyncKeyState(VK_DOWN) < 0)
        ReleaseButtons();
      return;
    case WM_CUT:
    case WM_CLEAR:
    case WM_PASTE:
      if (FEditorEnabled)
        inherited::Dispatch(message);
      return;
  }
  inherited::Dispatch(message);
}

void TdxInplaceSpinEdit::DefaultHandler(TMessage& message) {
  if (message.Msg == WM_KEYDOWN && (message.WParam == VK_UP || message.WParam == VK_DOWN))
    return;
  inherited::DefaultHandler(message);
}
