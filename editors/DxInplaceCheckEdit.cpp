#include "editors/DxInplaceCheckEdit.h"

#include <algorithm>
#include <cassert>
#include <memory>

#include "classlib/AliveGuard.h"
#include "classlib/GdiHandles.h"
#include "classlib/UpdateScope.h"

namespace {

// The system's check-box bitmap (OBM_CHECKBOXES): 4 x 3 images.
constexpr int kObmCheckBoxes = 32759;

SIZE gCheckSize{13, 13};
TdxCheckEditStyleController* gCheckController = nullptr;

// One image of a glyph strip drawn into `box`, its transparent colour replaced by
// `brush`.
void DrawGlyphImage(HDC dc, const TRect& box, TBitmap* glyph, int index, int glyphWidth, HBRUSH brush) {
  const int w = RectWidth(box), h = RectHeight(box);
  if (w <= 0 || h <= 0)
    return;
  TMemoryDC source(dc), image(dc), mask(dc);
  TBitmapHandle imageBitmap(CreateCompatibleBitmap(dc, w, h));
  TBitmapHandle maskBitmap(CreateBitmap(w, h, 1, 1, nullptr));
  TSelectGuard sourceSelected(source, glyph->GetHandle());
  TSelectGuard imageSelected(image, imageBitmap.Get());
  TSelectGuard maskSelected(mask, maskBitmap.Get());
  BitBlt(image, 0, 0, w, h, source, index * glyphWidth, 0, SRCCOPY);
  SetBkColor(image, ColorToRGB(glyph->GetTransparentColor()));
  BitBlt(mask, 0, 0, w, h, image, 0, 0, SRCCOPY);
  {
    // Transparent pixels (white in the mask) take the brush; the others keep the image.
    TSelectGuard brushSelected(image, brush);
    SetBkColor(image, RGB(255, 255, 255));
    SetTextColor(image, RGB(0, 0, 0));
    BitBlt(image, 0, 0, w, h, mask, 0, 0, 0x00E20746);
  }
  BitBlt(dc, box.left, box.top, w, h, image, 0, 0, SRCCOPY);
}

UINT FrameState(const TdxCheckEditViewData* v, TdxCheckBoxState state) {
  UINT flags;
  if (!v->Enabled) {
    flags = DFCS_BUTTON3STATE | DFCS_PUSHED | (state == cbsUnchecked ? DFCS_INACTIVE : DFCS_CHECKED);
  } else if (state == cbsChecked) {
    flags = DFCS_CHECKED;
  } else if (state == cbsGrayed) {
    flags = DFCS_BUTTON3STATE;
    if (v->ShowNullFieldStyle == nsInactive)
      flags |= DFCS_INACTIVE;
    else if (v->ShowNullFieldStyle == nsGrayedChecked)
      flags |= DFCS_CHECKED;
  } else {
    flags = DFCS_BUTTONCHECK;
  }
  if (v->Enabled && v->Pressed)
    flags |= DFCS_PUSHED;
  if (v->ButtonStyle != bts3D)
    flags |= DFCS_FLAT;
  return flags;
}

}  // namespace

void MeasureDxCheckSize() {
  TBitmapHandle boxes(LoadBitmapA(nullptr, MAKEINTRESOURCEA(kObmCheckBoxes)));
  BITMAP info{};
  if (boxes && GetObjectA(boxes.Get(), sizeof info, &info) && info.bmWidth >= 4 && info.bmHeight >= 3)
    gCheckSize = SIZE{info.bmWidth / 4, info.bmHeight / 3};
}

void CreateDxCheckController() {
  assert(!gCheckController && "one check style controller at a time");
  gCheckController = new TdxCheckEditStyleController(nullptr);
}

void FreeDxCheckController() { FreeAndNil(gCheckController); }

SIZE DxCheckSize() { return gCheckSize; }

// ---- Style --------------------------------------------------------------------------

TdxCheckEditStyleController::TdxCheckEditStyleController(TComponent* AOwner) : TdxEditStyleController(AOwner) {
  SetBorderStyle(xbsNone);
  SetButtonStyle(bts3D);
}

void TdxCheckEditStyleController::RestoreDefaults() {
  const TUpdateScope update(this);
  inherited::RestoreDefaults();
  SetBorderStyle(xbsNone);
  SetButtonStyle(bts3D);
}

TdxEditStyleController* TdxCheckEditStyle::DefaultStyleController() { return gCheckController; }

// ---- Construction -------------------------------------------------------------------

TdxInplaceCheckEdit::TdxInplaceCheckEdit(TComponent* AOwner) : TdxInplaceCheckEdit(AOwner, &MetaClass()) {}

TdxInplaceCheckEdit::TdxInplaceCheckEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceEdit(AOwner, cls) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
}

TdxInplaceCheckEdit::~TdxInplaceCheckEdit() { delete FGlyph; }

const TdxEditStyleClass* TdxInplaceCheckEdit::GetEditStyleClass(const TdxInplaceEditClass& /*cls*/) {
  return &TdxCheckEditStyle::MetaClass();
}

TClass TdxInplaceCheckEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxCheckEditViewData::StaticClass();
}

// ---- Properties ---------------------------------------------------------------------

TBitmap* TdxInplaceCheckEdit::GetGlyph() {
  if (!FGlyph)
    FGlyph = new TBitmap();
  return FGlyph;
}

void TdxInplaceCheckEdit::SetGlyph(TBitmap* value) {
  if (!value)
    FreeAndNil(FGlyph);
  else
    GetGlyph()->Assign(value);
  StyleChanged();
}

void TdxInplaceCheckEdit::SetGlyphCount(int value) {
  if (value == FGlyphCount)
    return;
  FGlyphCount = value;
  if (FGlyph)
    StyleChanged();
}

void TdxInplaceCheckEdit::SetShowNullFieldStyle(TdxShowNullFieldStyle value) {
  if (value == FShowNullFieldStyle)
    return;
  FShowNullFieldStyle = value;
  InvalidateBox();
}

void TdxInplaceCheckEdit::SetState(TdxCheckBoxState value) {
  if (value == FState)
    return;
  FState = value;
  InvalidateBox();
  if (!GetComponentState().Contains(csLoading))
    Click();
}

void TdxInplaceCheckEdit::Click() {
  if (!LoadingValue && Survives(this, [&] { inherited::Click(); }))
    Change();
}

void TdxInplaceCheckEdit::Toggle() {
  if (!CanModify())
    return;
  TdxCheckBoxState next = cbsChecked;
  if (FState == cbsUnchecked && FAllowGrayed)
    next = cbsGrayed;
  else if (FState == cbsChecked)
    next = cbsUnchecked;
  // The click and change handlers may free the editor.
  if (Survives(this, &TdxInplaceCheckEdit::SetState, next))
    SetModified(true);
}

void TdxInplaceCheckEdit::SetEditValue(const Variant& value) {
  const bool modified = GetModified();
  LoadingValue = true;
  try {
    SetState(TdxCheckBoxState(std::clamp(value.AsInteger(), 0, 2)));
  } catch (...) {
    LoadingValue = false;
    SetModified(modified);
    throw;
  }
  LoadingValue = false;
  SetModified(modified);
}

// ---- Layout and painting ------------------------------------------------------------

bool TdxInplaceCheckEdit::GlyphSize(TBitmap* glyph, int glyphCount, SIZE& size) {
  size = gCheckSize;
  if (glyphCount < 1 || !glyph || glyph->GetEmpty())
    return false;
  size = SIZE{glyph->GetWidth() / glyphCount, glyph->GetHeight()};
  return true;
}

void TdxInplaceCheckEdit::CalcLayout(const TRect& rect, TAlignment alignment, SIZE box, TRect& boxRect,
                                     TRect& captionRect) {
  if (alignment == taCenter) {
    const int x = (rect.left + rect.right - box.cx) / 2;
    const int y = (rect.top + rect.bottom - box.cy) / 2;
    boxRect = Rect(x, y, x + box.cx, y + box.cy);
    captionRect = TRect{};
    return;
  }
  TRect r = rect;
  InflateRect(&r, -2, -2);
  const int y = (r.top + r.bottom - box.cy) / 2;
  captionRect = r;
  if (alignment == taRightJustify) {
    boxRect = Rect(r.right - box.cx, y, r.right, y + box.cy);
    captionRect.right -= box.cx + 3;
  } else {
    boxRect = Rect(r.left, y, r.left + box.cx, y + box.cy);
    captionRect.left += box.cx + 3;
  }
}

TdxEditViewData* TdxInplaceCheckEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  if (auto* v = ObjectAs<TdxCheckEditViewData>(viewData)) {
    v->Caption = TControl::GetText();
    v->NoPrefix = !FAccelerator;
    v->Glyph = FGlyph;
    v->GlyphCount = FGlyphCount;
    v->ShowNullFieldStyle = FShowNullFieldStyle;
    v->Pressed = FPressed;
    v->Alignment = GetAlignment();
    v->VertAlignment = FMultiLine ? vaWordWrap : vaCenter;
  }
  return viewData;
}

int TdxInplaceCheckEdit::GetMinHeight(const TdxInplaceEditClass& cls, TdxEditViewData* viewData) {
  int height = inherited::GetMinHeight(cls, viewData);
  height = std::max<int>(height, gCheckSize.cy);
  auto* v = ObjectAs<TdxCheckEditViewData>(viewData);
  if (!v)
    return height;
  SIZE glyph{};
  if (GlyphSize(v->Glyph, v->GlyphCount, glyph))
    height = std::max<int>(height, glyph.cy);
  if (v->Alignment == taCenter)
    return height;
  TClientDC screen(nullptr);
  TSelectGuard selected(screen, v->Font ? v->Font : GetStockObject(SYSTEM_FONT));
  TRect r = Rect(0, 0, std::max<int>(RectWidth(v->Bounds) - glyph.cx - 7, 1), 0);
  const bool wrapped = v->VertAlignment == vaWordWrap;
  UINT flags = DT_CALCRECT | DT_EDITCONTROL | (wrapped ? DT_WORDBREAK : DT_SINGLELINE);
  if (v->NoPrefix)
    flags |= DT_NOPREFIX;
  DrawTextA(screen.Get(), v->Caption.c_str(), int(v->Caption.size()), &r, flags);
  return std::max(height, RectHeight(r) + 4);
}

bool TdxInplaceCheckEdit::DrawContent(const TdxInplaceEditClass& /*cls*/, HDC dc, const TRect& rect,
                                      TdxEditViewData* viewData, bool /*editorWindow*/) {
  auto* v = ObjectAs<TdxCheckEditViewData>(viewData);
  assert(v && "the check editor paints from check view data");
  SIZE box{};
  const bool customGlyph = GlyphSize(v->Glyph, v->GlyphCount, box);
  if (v->CalcOnly) {
    v->LineCount = 1;
    v->TextHeight = box.cy;
    return true;
  }
  TRect boxRect, captionRect;
  CalcLayout(rect, v->Alignment, box, boxRect, captionRect);
  if (v->Alignment == taCenter) {
    if (!v->NoFill)
      FillRect(dc, &rect, v->Brush);
  } else {
    if (!v->NoFill)
      FillRect(dc, &rect, v->Brush);
    const bool wrapped = v->VertAlignment == vaWordWrap;
    UINT flags = DT_EDITCONTROL | (wrapped ? DT_WORDBREAK : DT_VCENTER | DT_SINGLELINE);
    if (v->NoPrefix)
      flags |= DT_NOPREFIX;
    TSaveDCGuard state(dc);  // font, background mode and text colour
    SelectObject(dc, v->Font ? v->Font : GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);
    if (v->Enabled) {
      SetTextColor(dc, v->TextColor);
      DrawTextA(dc, v->Caption.c_str(), int(v->Caption.size()), &captionRect, flags);
    } else {
      TRect shifted = captionRect;
      OffsetRect(&shifted, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawTextA(dc, v->Caption.c_str(), int(v->Caption.size()), &shifted, flags);
      SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
      DrawTextA(dc, v->Caption.c_str(), int(v->Caption.size()), &captionRect, flags);
    }
  }
  const auto state = TdxCheckBoxState(std::clamp(v->Value.AsInteger(), 0, 2));
  if (customGlyph) {
    int index = state + (v->Pressed ? 3 : 0);
    while (index >= v->GlyphCount && index > 2)
      index %= 3;
    DrawGlyphImage(dc, boxRect, v->Glyph, index, box.cx, v->Brush);
    return true;
  }
  const UINT frameState = FrameState(v, state);
  TRect r = boxRect;
  if (v->ButtonStyle != btsFlat && v->ButtonStyle != btsSimple) {
    DrawFrameControl(dc, &r, DFC_BUTTON, frameState);
    return true;
  }
  const int saved = SaveDC(dc);
  if (v->ButtonStyle == btsFlat)
    InflateRect(&r, -1, -1);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  InflateRect(&r, 1, 1);
  DrawFrameControl(dc, &r, DFC_BUTTON, frameState);
  RestoreDC(dc, saved);
  if (v->ButtonStyle == btsFlat) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    DrawEdge(dc, &r, BDR_SUNKENINNER, BF_RECT | BF_FLAT);
  } else {
    InflateRect(&r, -1, -1);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  }
  return true;
}

// ---- Keys and mouse -----------------------------------------------------------------

void TdxInplaceCheckEdit::InvalidateBox() {
  if (!HandleAllocated())
    return;
  SIZE box{};
  GlyphSize(FGlyph, FGlyphCount, box);
  TRect boxRect, captionRect;
  CalcLayout(GetClientRect(), GetAlignment(), box, boxRect, captionRect);
  InvalidateRect(GetHandle(), &boxRect, FALSE);
}

void TdxInplaceCheckEdit::SetPressed(bool value) {
  if (value == FPressed)
    return;
  FPressed = value;
  InvalidateBox();
}

void TdxInplaceCheckEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_SPACE && !FPressed)
    SetPressed(true);
  if (key == VK_LEFT)
    ContainerNotify(true);
  else if (key == VK_RIGHT)
    ContainerNotify(false);
  inherited::KeyDown(key, shift);
}

void TdxInplaceCheckEdit::KeyPress(char& key) {
  const bool space = key == ' ';
  if (!Survives(this, [&] { inherited::KeyPress(key); }))
    return;
  if (space && EditClass()->IsInplace() && !FPressed && CanEditText())
    Toggle();
}

void TdxInplaceCheckEdit::KeyUp(WORD& key, TShiftState shift) {
  if (key == VK_SPACE && FPressed) {
    SetPressed(false);
    if (CanEditText() && !Survives(this, &TdxInplaceCheckEdit::Toggle))
      return;
  }
  inherited::KeyUp(key, shift);
}

void TdxInplaceCheckEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    SetMouseCapture(true);
    FMouseCaptured = true;
    const TRect client = GetClientRect();
    SetPressed(PtInRect(&client, POINT{x, y}) != 0);
  }
  inherited::MouseDown(button, shift, x, y);
}

void TdxInplaceCheckEdit::MouseMove(TShiftState shift, int x, int y) {
  if (FMouseCaptured) {
    const TRect client = GetClientRect();
    SetPressed(PtInRect(&client, POINT{x, y}) != 0);
  }
  inherited::MouseMove(shift, x, y);
}

void TdxInplaceCheckEdit::ReleaseMouse() {
  SetPressed(false);
  FMouseCaptured = false;
  SetMouseCapture(false);
}

void TdxInplaceCheckEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const bool wasPressed = FPressed;
  ReleaseMouse();
  if (button == mbLeft && wasPressed && CanEditText() && !Survives(this, &TdxInplaceCheckEdit::Toggle))
    return;
  inherited::MouseUp(button, shift, x, y);
}

void TdxInplaceCheckEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CANCELMODE:
      ReleaseMouse();
      inherited::Dispatch(message);
      return;
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      if (EditClass()->IsInplace())
        message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
      else
        message.Result &= ~LRESULT(DLGC_WANTCHARS);
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(WORD(message.WParam), TControl::GetText())) {
        message.Result = 1;
        if (CanFocus() && !Survives(this, [this] { SetFocus(); }))  // OnEnter may free the editor
          return;
        if (Focused())
          Toggle();
        return;
      }
      inherited::Dispatch(message);
      return;
    case CM_TEXTCHANGED:
      inherited::Dispatch(message);
      StyleChanged();
      return;
  }
  inherited::Dispatch(message);
}
