// The editor's class operations (measuring and painting a cell from view data alone),
// the view data an editor builds from itself, and the editor window's own painting,
// which runs the same class operations on its device contexts.
//
// Decision taken here: a frameless editor (xbsNone) with a shadow still paints its
// shadow; the shadow belongs to the painted area, and leaving it out would leave that
// strip of the window unpainted.
#include <memory>

#include "classlib/FlagScope.h"
#include "classlib/GdiHandles.h"
#include "classlib/Strings.h"
#include "editors/DxContainer.h"
#include "editors/DxInplaceEdit.h"
#include "editors/DxInplaceTextEdit.h"
#include "editors/DxUtils.h"

namespace {

// The colour editors take for the hot frame of xbsSingle.
constexpr TColor kHotBorderColor = TColor(0x006A240A);

TRect Deflated(const TRect& r, int d) { return Rect(r.left + d, r.top + d, r.right - d, r.bottom - d); }

void FillSolid(HDC dc, const TRect& r, HBRUSH brush) { FillRect(dc, &r, brush); }

// The area Draw paints: the frame with its shadow, or the frame alone when it covers
// the whole cell.
bool PaintsWholeFrame(const TdxEditDrawRecord& record) {
  return record.ShadowWidth == 0 && record.BorderWidth >= 2 && record.EdgeLeft && record.EdgeTop &&
         record.EdgeRight && record.EdgeBottom;
}

HRGN CreatePaintedRegion(const TdxEditDrawRecord& record) {
  HRGN region = CreateRectRgnIndirect(&record.BorderRect);
  if (!IsRectEmpty(&record.ShadowRect)) {
    TRegionHandle shadow(CreateRectRgnIndirect(&record.ShadowRect));
    CombineRgn(region, region, shadow.Get(), RGN_OR);
  }
  return region;
}

}  // namespace

// ---- Class operations ---------------------------------------------------------------

void TdxInplaceEdit::CalcViewData(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, bool autoSize,
                                  TdxEditDrawRecord& record) {
  record = TdxEditDrawRecord{};
  record.ShadowWidth = viewData->Shadow ? 2 : 0;
  record.Bounds = viewData->Bounds;
  const TRect& b = record.Bounds;
  record.InnerRect = Rect(b.left + 2, b.top + 2, b.right - 2 - record.ShadowWidth, b.bottom - 2 - record.ShadowWidth);
  switch (viewData->BorderStyle) {
    case xbsNone: record.BorderWidth = 0; break;
    case xbsSingle: record.BorderWidth = 1; break;
    default: record.BorderWidth = 2; break;
  }
  if (autoSize) {
    TRect size{};
    cls.GetContentSize(viewData, size);
    int height;
    if (!IsRectEmpty(&size)) {
      const int width = RectWidth(size);
      record.Bounds.right = b.left + width + 4 + record.ShadowWidth;
      record.InnerRect.right = b.left + 2 + width;
      height = RectHeight(size);
    } else {
      height = cls.GetMinHeight(viewData);
    }
    record.Bounds.bottom = b.top + height + 4 + record.ShadowWidth;
    record.InnerRect.bottom = b.top + 2 + height;
  }
  record.EdgeLeft = viewData->Edges.Contains(edgLeft);
  record.EdgeTop = viewData->Edges.Contains(edgTop);
  record.EdgeRight = viewData->Edges.Contains(edgRight);
  record.EdgeBottom = viewData->Edges.Contains(edgBottom);
  record.BorderRect = record.InnerRect;
  if (record.BorderWidth > 0) {
    const int w = record.BorderWidth;
    if (record.EdgeLeft)
      record.BorderRect.left -= w;
    if (record.EdgeTop)
      record.BorderRect.top -= w;
    if (record.EdgeRight)
      record.BorderRect.right += w;
    if (record.EdgeBottom)
      record.BorderRect.bottom += w;
  }
  if (record.ShadowWidth > 0) {
    record.ShadowRect = record.BorderRect;
    OffsetRect(&record.ShadowRect, record.ShadowWidth, record.ShadowWidth);
  }
}

void TdxInplaceEdit::Draw(const TdxInplaceEditClass& cls, HDC dc, const TRect& /*rect*/,
                          TdxEditViewData* viewData, HRGN region) {
  TdxEditDrawRecord record;
  cls.CalcViewData(viewData, false, record);
  cls.DrawBorder(dc, record, viewData);
  cls.DrawContent(dc, record.InnerRect, viewData, false);
  if (!region)
    return;
  TRegionHandle painted(PaintsWholeFrame(record) ? CreateRectRgnIndirect(&record.BorderRect)
                                                 : CreatePaintedRegion(record));
  CombineRgn(region, region, painted.Get(), RGN_DIFF);
}

void TdxInplaceEdit::DrawBorder(const TdxInplaceEditClass& /*cls*/, HDC dc, const TdxEditDrawRecord& record,
                                TdxEditViewData* viewData) {
  UINT flags = 0;
  if (record.EdgeLeft)
    flags |= BF_LEFT;
  if (record.EdgeTop)
    flags |= BF_TOP;
  if (record.EdgeRight)
    flags |= BF_RIGHT;
  if (record.EdgeBottom)
    flags |= BF_BOTTOM;
  TRect r = record.BorderRect;
  switch (viewData->BorderStyle) {
    case xbsNone: break;
    case xbsSingle:
    case xbsThick: {
      TBrushHandle brush(CreateSolidBrush(ColorToRGB(viewData->BorderColor)));
      const int w = record.BorderWidth;
      if (record.EdgeLeft && record.EdgeTop && record.EdgeRight && record.EdgeBottom) {
        for (int i = 0; i < w; ++i) {
          FrameRect(dc, &r, brush.Get());
          InflateRect(&r, -1, -1);
        }
        break;
      }
      const int above = record.EdgeTop ? 0 : w;
      if (record.EdgeLeft)
        FillSolid(dc, Rect(r.left, r.top - above, r.left + w, r.bottom), brush.Get());
      if (record.EdgeTop)
        FillSolid(dc, Rect(r.left, r.top, r.right, r.top + w), brush.Get());
      if (record.EdgeRight)
        FillSolid(dc, Rect(r.right - w, r.top - above, r.right, r.bottom), brush.Get());
      if (record.EdgeBottom)
        FillSolid(dc, Rect(r.left, r.bottom - w, r.right, r.bottom), brush.Get());
      break;
    }
    case xbsFlat:
      DrawEdge(dc, &r, BDR_SUNKENOUTER, flags | BF_ADJUST);
      DrawEdge(dc, &r, BDR_SUNKENINNER, flags | BF_FLAT);
      break;
    case xbs3D: DrawEdge(dc, &r, EDGE_SUNKEN, flags); break;
  }
  if (!viewData->Shadow || !DxEditShadowBrush())
    return;
  const TRect& s = record.ShadowRect;
  const int sw = record.ShadowWidth;
  FillSolid(dc, Rect(s.left, s.bottom - sw, s.right, s.bottom), DxEditShadowBrush());
  FillSolid(dc, Rect(s.right - sw, s.top, s.right, s.bottom), DxEditShadowBrush());
}

bool TdxInplaceEdit::DrawContent(const TdxInplaceEditClass& /*cls*/, HDC dc, const TRect& rect,
                                 TdxEditViewData* viewData, bool /*editorWindow*/) {
  if (!viewData->CalcOnly)
    FillRect(dc, &rect, viewData->Brush);
  return true;
}

TCursor TdxInplaceEdit::GetCursor(const TdxInplaceEditClass& /*cls*/, int /*x*/, int /*y*/,
                                  TdxEditViewData* viewData) {
  if (viewData->Cursor != crDefault)
    return viewData->Cursor;
  return viewData->HasTextArea ? crDefault : crArrow;
}

int TdxInplaceEdit::GetMinHeight(const TdxInplaceEditClass& cls, TdxEditViewData* viewData) {
  TClientDC screen(nullptr);
  TSelectGuard selected(screen, viewData->Font ? viewData->Font : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA metrics{};
  GetTextMetricsA(screen, &metrics);
  const int extra = cls.IsInplace() ? 3 : 2 * (GetSystemMetrics(SM_CYBORDER) + 1);
  return metrics.tmHeight + extra;
}

void TdxInplaceEdit::GetContentSize(const TdxInplaceEditClass& /*cls*/, TdxEditViewData* /*viewData*/,
                                    TRect& rect) {
  rect = TRect{};
}

TClass TdxInplaceEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxEditViewData::StaticClass();
}

const TdxEditStyleClass* TdxInplaceEdit::GetEditStyleClass(const TdxInplaceEditClass& /*cls*/) {
  return &TdxEditStyle::MetaClass();
}

// ---- View data of an editor ---------------------------------------------------------

TdxEditViewData* TdxInplaceEdit::CreateViewData(bool forPainting) {
  std::unique_ptr<TdxEditViewData> v(EditClass()->NewViewData());
  v->Enabled = GetEnabled();
  v->Focused = IsFocused();
  v->Active = IsActive();
  v->BorderColor = FStyle->GetBorderColor();
  v->BorderStyle = FStyle->GetBorderStyle();
  if (v->Active && FStyle->GetHotTrack()) {
    switch (v->BorderStyle) {
      case xbsNone: v->BorderStyle = xbsFlat; break;
      case xbsSingle: v->BorderColor = kHotBorderColor; break;
      case xbsFlat: v->BorderStyle = xbs3D; break;
      default: break;
    }
  }
  v->ButtonStyle = FStyle->GetButtonStyle();
  if (v->ButtonStyle == btsDefault) {
    static constexpr TdxEditButtonViewStyle kByBorder[] = {btsSimple, btsHotFlat, bts3D, btsFlat, bts3D};
    v->ButtonStyle = kByBorder[v->BorderStyle];
  }
  const TdxEditButtonTransparence transparence = FStyle->GetButtonTransparence();
  v->ButtonTransparent = transparence == ebtAlways || (transparence == ebtInactive && !v->Active);
  v->Edges = FStyle->GetEdges();
  v->Shadow = FStyle->GetShadow();
  v->NoFill = !v->Focused && FInactiveNoFill;
  v->Bounds = Rect(0, 0, GetWidth(), GetHeight());
  v->Margins = FEditMargins;
  v->VertAlignment = vaTop;
  v->Font = GetFont()->GetHandle();
  if (v->Enabled) {
    v->Brush = GetBrush()->GetHandle();
    v->Color = ColorToRGB(GetColor());
    v->TextColor = ColorToRGB(GetFont()->GetColor());
  } else {
    v->Brush = GetSysColorBrush(COLOR_BTNFACE);
    v->Color = GetSysColor(COLOR_BTNFACE);
    v->TextColor = GetSysColor(COLOR_BTNSHADOW);
  }
  v->Alignment = GetAlignment();
  v->HasTextArea = HasTextArea();
  v->TextLength = 0;
  GetDisplayValue(v->Value, forPainting);
  v->Cursor = TControl::GetCursor();
  return v.release();
}

// ---- The editor window's look -------------------------------------------------------

void TdxInplaceEdit::StyleChanged() {
  RefreshRegion();
  Invalidate();
}

void TdxInplaceEdit::StateChanged() {
  RefreshRegionIfHot();
  if (NoTextArea())
    Invalidate();
}

void TdxInplaceEdit::RefreshRegionIfHot() {
  if (GetComponentState().Contains(csDestroying))
    return;
  if (FStyle->GetHotTrack() || FStyle->GetButtonTransparence() != ebtNone)
    RefreshRegion();
}

void TdxInplaceEdit::RefreshRegion() {
  if (!HandleAllocated() || FRefreshingRegion || GetComponentState().Contains(csDestroying))
    return;
  const TFlagScope refreshing(FRefreshingRegion);
  std::unique_ptr<TdxEditViewData> viewData(CreateViewData(false));
  TdxEditDrawRecord record;
  EditClass()->CalcViewData(viewData.get(), FAutoSizeFlag && !EditClass()->IsInplace(), record);
  SetBounds(GetLeft(), GetTop(), RectWidth(record.Bounds), RectHeight(record.Bounds));
  HRGN region = PaintsWholeFrame(record) ? nullptr : CreatePaintedRegion(record);
  // The window owns the region from here on.
  SetWindowRgn(GetHandle(), region, TRUE);
}

void TdxInplaceEdit::WMNCCalcSize(TMessage& message) {
  auto* r = reinterpret_cast<RECT*>(message.LParam);
  std::unique_ptr<TdxEditViewData> viewData(CreateViewData(false));
  TdxEditDrawRecord record;
  EditClass()->CalcViewData(viewData.get(), false, record);
  r->left += record.InnerRect.left - record.Bounds.left;
  r->top += record.InnerRect.top - record.Bounds.top;
  r->right -= record.Bounds.right - record.InnerRect.right;
  r->bottom -= record.Bounds.bottom - record.InnerRect.bottom;
  if (r->right < r->left)
    r->right = r->left;
  if (r->bottom < r->top)
    r->bottom = r->top;
  message.Result = 0;
}

void TdxInplaceEdit::WMNCPaint(TMessage& message) {
  HWND wnd = GetHandle();
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  // Scroll bars are the window manager's to paint.
  if (style & (WS_HSCROLL | WS_VSCROLL))
    inherited::Dispatch(message);
  std::unique_ptr<TdxEditViewData> viewData(CreateViewData(false));
  TdxEditDrawRecord record;
  EditClass()->CalcViewData(viewData.get(), false, record);
  TWindowDC dc(wnd);
  EditClass()->DrawBorder(dc, record, viewData.get());
  if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    const TRect inside = Deflated(record.BorderRect, record.BorderWidth);
    const TRect corner = Rect(inside.right - GetSystemMetrics(SM_CXVSCROLL),
                              inside.bottom - GetSystemMetrics(SM_CYHSCROLL), inside.right, inside.bottom);
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
  message.Result = 0;
}

void TdxInplaceEdit::PaintWindow(HDC dc) {
  const TRect client = GetClientRect();
  if (RectWidth(client) > 0) {
    std::unique_ptr<TdxEditViewData> viewData(CreateViewData(false));
    EditClass()->DrawContent(dc, client, viewData.get(), true);
  }
  inherited::PaintWindow(dc);
}

void TdxInplaceEdit::WMPaint(TMessage& message) {
  const bool paintCopy = GetControlState().Contains(csPaintCopy);
  const bool linkView = !FEditing && HasDataLink();
  const bool designView = HasTextArea() && GetComponentState().Contains(csDesigning);
  if (paintCopy || linkView || designView) {
    std::unique_ptr<TdxEditViewData> viewData(CreateViewData(true));
    TPaintScope paint(GetHandle(), reinterpret_cast<HDC>(message.WParam));
    if (paintCopy)
      EditClass()->Draw(paint.DC(), viewData->Bounds, viewData.get(), nullptr);
    else
      EditClass()->DrawContent(paint.DC(), GetClientRect(), viewData.get(), false);
    return;
  }
  if (HasTextArea()) {
    // A text area is its window class's to paint.
    inherited::Dispatch(message);
    return;
  }
  PaintHandler(message);
}

// ---- The text editor's content ------------------------------------------------------

bool DrawTextEditContent(HDC dc, const TRect& rect, TdxTextEditViewData* v, bool editorWindow) {
  if (v->HasTextArea && editorWindow)
    return false;
  TRect r = rect;
  std::string text = VarToStr(v->Value);
  if (v->TextLength == 0)
    v->TextLength = int32_t(text.size());
  text = ApplyEditCharCase(text, v->CharCase);
  if (v->PasswordChar != 0 && !text.empty())
    text.assign(text.size(), v->PasswordChar);
  if (v->SelectionBar)
    r.left += 8;
  if (v->FocusRectMode) {
    r = Deflated(r, 2);
  } else {
    r = Deflated(r, 1);
    r.left += v->Margins.left;
    r.top += v->Margins.top;
    r.right -= v->Margins.right;
    if (v->Alignment == taRightJustify)
      --r.right;
  }
  int flags = v->Alignment == taRightJustify ? dtfRight : v->Alignment == taCenter ? dtfCenter : dtfLeft;
  static constexpr int kVertical[] = {dtfTop, dtfVCenter, dtfBottom, dtfWordWrap};
  flags |= kVertical[v->VertAlignment & 3];
  if (v->FocusRectMode && v->Focused)
    flags |= dtfFocusRect;
  if (v->NoFill)
    flags |= dtfNoFill;
  if (v->TransparentText)
    flags |= dtfKeepBkMode;
  if (v->EndEllipsis)
    flags |= dtfEndEllipsis;
  // The painter takes colours as TColor; RGB values pass through unchanged.
  const TColor bk = TColor(v->Color);
  const TColor fg = TColor(v->TextColor);
  if (v->CalcOnly) {
    v->LineCount = 0;
    v->LineHeight = 0;
    int lineHeight = 0;
    v->TextHeight = DrawTextWithFlags(dc, text.c_str(), int(text.size()), rect, r, flags | dtfCalcOnly, v->Brush,
                                      v->Font, bk, fg, &lineHeight);
    v->LineHeight = lineHeight;
    if (v->TextHeight != 0) {
      v->TextHeight -= v->FocusRectMode ? 2 : v->Margins.top + 2;
      if (v->LineHeight != 0)
        v->LineCount = v->TextHeight / v->LineHeight;
    }
    return true;
  }
  DrawTextWithFlags(dc, text.c_str(), int(text.size()), rect, r, flags, v->Brush, v->Font, bk, fg, nullptr);
  return true;
}
