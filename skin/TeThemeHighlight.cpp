#include "skin/TeThemeHighlight.h"

#include <algorithm>

#include "classlib/Canvas.h"
#include "classlib/StdCtrls.h"
#include "skin/KsItems.h"
#include "skin/TeThemeParts.h"

namespace {

constexpr std::array<int, 30> kSizes = {4,  4,  23, 18, 10, 18, 15, 10, 12, 6,  6,  1, 3,  3,  22,
                                        17, 13, 13, 13, 13, 11, 22, 4,  22, 17, 17, 1, 21, 15, 11};

constexpr TColor Rgb(int r, int g, int b) { return TColor(r | g << 8 | b << 16); }

constexpr std::array<TColor, 26> kColors = {
    clActiveCaption,     clInactiveCaption,   Rgb(0, 0, 0),       Rgb(255, 255, 255),
    kThemeDefaultColor,       Rgb(255, 255, 255),  Rgb(235, 235, 238), Rgb(0, 51, 153),
    Rgb(100, 160, 255),  Rgb(254, 254, 251),  Rgb(197, 197, 177), clBtnFace,
    Rgb(248, 199, 81),   Rgb(0, 51, 153),     clBtnFace,          Rgb(100, 160, 255),
    clBtnFace,           Rgb(100, 160, 255),  Rgb(0, 0, 0),       Rgb(255, 255, 255),
    Rgb(0, 0, 0),        Rgb(255, 255, 255),  Rgb(128, 128, 128), Rgb(0, 0, 0),
    Rgb(149, 206, 255),  Rgb(49, 106, 197)};

TRect Inflated(const TRect& r, int dx, int dy) {
  return TRect{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

TRect Moved(const TRect& r, int dx, int dy) {
  return TRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// `rect` cut to the bitmap.
TRect Clipped(const TKsBitmap& bitmap, const TRect& rect) {
  return TRect{std::max<int>(rect.left, 0), std::max<int>(rect.top, 0),
               std::min<int>(rect.right, bitmap.GetWidth()),
               std::min<int>(rect.bottom, bitmap.GetHeight())};
}

bool IsBlack(TKsColor c) { return (c & 0xFFFFFF) == 0; }
bool HasZeroChannel(TKsColor c) { return KsRed(c) == 0 || KsGreen(c) == 0 || KsBlue(c) == 0; }

// A `width` x `height` rectangle centred in `rect`.
TRect CentredIn(const TRect& rect, int width, int height) {
  int left = rect.left + (RectWidth(rect) - width) / 2;
  int top = rect.top + (RectHeight(rect) - height) / 2;
  return TRect{left, top, left + width, top + height};
}

void Polyline(TKsBitmap& bitmap, std::initializer_list<TPoint> points, TKsColor color) {
  auto p = points.begin();
  bitmap.MoveTo(p->x, p->y);
  for (++p; p != points.end(); ++p)
    bitmap.LineTo(p->x, p->y, color);
}

// The system's glyph of a kind drawn into a white scratch bitmap of `rect`'s size; its
// pure-black pixels from 2 to size - 3 are set in `mark` at the same place of `rect`.
void StampSystemGlyph(TKsBitmap& bitmap, const TRect& rect, UINT type, UINT state,
                      TKsColor mark) {
  const int w = RectWidth(rect), h = RectHeight(rect);
  if (w < 1 || h < 1)
    return;
  TKsBitmap glyph;
  glyph.SetSize(w, h);
  glyph.Fill(KsColorWhite);
  RECT box{0, 0, w, h};
  DrawFrameControl(glyph.GetDC(), &box, type, state);
  GdiFlush();
  for (int y = 2; y <= h - 3; ++y)
    for (int x = 2; x <= w - 3; ++x)
      if (IsBlack(glyph.GetPixel(x, y)))
        bitmap.SetPixel(rect.left + x, rect.top + y, mark);
}

}  // namespace

void DrawLinePattern(TKsBitmap& bitmap, const TRect& rect, int y0) {
  for (int i = 0; i <= RectHeight(rect) / 2; ++i) {
    int y = y0 + 3 * i;
    if (y >= rect.top && y < rect.bottom)
      bitmap.FillRect({rect.left, y, rect.right, y + 1}, kHighlightGrey);
  }
}

// ---- Tables ----------------------------------------------------------------------------

int TTeThemeHighlight::GetSize(uint8_t kind) { return kind < kSizes.size() ? kSizes[kind] : 0; }

TColor TTeThemeHighlight::TableColor(const TColorTable& table, uint8_t kind) {
  return AdjustColor(kind < table.size() ? table[kind] : kThemeDefaultColor);
}

TColor TTeThemeHighlight::AdjustColor(TColor color) {
  TKsColor shifted = KsColorChangeHue(ColorToKsColor(color, 255), GetDeltaHue());
  TKsColor bright = KsColorChangeBrightness(ColorToKsColor(ColorToKsColorOpaque(shifted), 255),
                                            GetDeltaBrightness());
  return ColorToKsColorOpaque(bright);
}

TColor TTeThemeHighlight::GetColor(uint8_t kind) { return TableColor(kColors, kind); }

void TTeThemeHighlight::GetFontName(uint8_t kind, std::string& name) {
  name = kind <= 4 ? "Tahoma" : "Tahome";
}

int TTeThemeHighlight::GetFontSize(uint8_t kind) { return kind == 0 ? 9 : 8; }

bool TTeThemeHighlight::GetFontBold(uint8_t kind) { return kind <= 1; }

void TTeThemeHighlight::SetFont(TKsBitmap& bitmap, uint8_t kind) {
  SetThemeFont(*this, bitmap, kind);
}

TKsColor TTeThemeHighlight::StateColor(int state) {
  switch (state) {
    case tdsDisabled:
      return KsColor(9);
    case tdsPressed:
    case tdsFocused:
      return KsColor(8);
    case tdsHot:
      return KsColor(12);
    default:
      return KsColor(11);
  }
}

void TTeThemeHighlight::DrawButtonFace(TKsBitmap& bitmap, const TRect& rect, int state) {
  TKsColor c = StateColor(state);
  bitmap.RoundRect(rect, 3, KsColor(7));
  TRect r = Inflated(rect, -1, -1);
  bitmap.FillRect(r, c);
  TKsColor light = KsColorLighten(c, 30), dark = KsColorDarken(c, 30);
  if (state == tdsPressed)
    bitmap.Draw3DFrame(r, dark, light);
  else
    bitmap.Draw3DFrame(r, light, dark);
}

void TTeThemeHighlight::DrawRoundFace(TKsBitmap& bitmap, const TRect& rect, uint8_t face) {
  bitmap.FillRoundRect(rect, 3, KsColor(face));
  bitmap.RoundRect(rect, 3, KsColor(7));
}

// ---- Form frames -----------------------------------------------------------------------

void TTeThemeHighlight::DrawFrameBorder(TKsBitmap& bitmap, int width, int height) {
  TRect r{0, 0, width, height};
  bitmap.RoundRect(r, 3, kHighlightDarkBlue);
  r = Inflated(r, -1, -1);
  bitmap.Draw3DFrame(r, KsColorLighten(kHighlightSilver, 30), KsColorDarken(kHighlightSilver, 30));
  r = Inflated(r, -1, -1);
  bitmap.Draw3DFrame(r, KsColorLighten(kHighlightSilver, 15), KsColorDarken(kHighlightSilver, 15));
  r = Inflated(r, -1, -1);
  bitmap.FrameRect(r, kHighlightSilver);
}

void TTeThemeHighlight::DrawFormFrame(TKsBitmap& bitmap, int width, int height,
                                      const TRect& clientRect, bool active,
                                      TKsBorderStyle borderStyle) {
  // The caption band reaches from the left border's width below the top to the client area.
  TRect band{clientRect.left, clientRect.left, clientRect.right, clientRect.top};
  bitmap.FillGradient(band, KsColor(active ? 0 : 1), false, KsColorARGB(255, 200, 200, 200));
  bitmap.RoundRect(band, 3, KsColor(7));
  DrawFrameBorder(bitmap, width, height);
}

// A rounded rectangle (corner ellipse 3 x 3) for every border style; owned by the caller.
HRGN TTeThemeHighlight::GetFormRegion(int width, int height, TKsBorderStyle borderStyle) {
  return CreateRoundRectRgn(0, 0, width + 1, height + 1, 3, 3);
}

void TTeThemeHighlight::DrawCaptionButton(TKsBitmap& bitmap, const TRect& rect, int kind, bool hot,
                                          bool pressed, bool active, TKsBorderStyle borderStyle) {
  static constexpr UINT kCaptionGlyphs[] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONHELP, DFCS_CAPTIONMIN,
                                            DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE};
  const UINT pushed = pressed ? DFCS_PUSHED : 0;
  RECT box = rect;
  if (kind >= cbkClose && kind <= cbkRestore) {
    DrawFrameControl(bitmap.GetDC(), &box, DFC_CAPTION, kCaptionGlyphs[kind] | pushed);
  } else if (kind >= cbkRollUp && kind <= cbkTray) {
    DrawFrameControl(bitmap.GetDC(), &box, DFC_BUTTON, DFCS_BUTTONPUSH | pushed);
    GdiFlush();
    TCanvas canvas;
    canvas.SetHandle(bitmap.GetDC());
    canvas.GetBrush()->SetColor(clBlack);
    canvas.GetPen()->SetColor(clBlack);
    if (kind == cbkTray) {
      TRect g = Moved(Inflated(rect, -5, -5), 0, 2);
      if (pressed)
        g = Moved(g, 1, 1);
      canvas.Ellipse(g);
    } else {
      TRect g = Inflated(rect, -4, -5);
      if (!pressed)
        g = Moved(g, -1, -1);
      const int middle = (g.left + g.right) / 2;
      if (kind == cbkRollUp) {
        const TPoint up[] = {{g.left, g.bottom}, {g.right, g.bottom}, {middle, g.top}};
        canvas.Polygon(up);
      } else {
        const TPoint down[] = {{g.left, g.top}, {g.right, g.top}, {middle, g.bottom}};
        canvas.Polygon(down);
      }
    }
    canvas.SetHandle(nullptr);
  }
  GdiFlush();
  // Everything but pixels with a zero channel (the black glyph among them) takes the
  // state colour.
  const TKsColor c = KsColor(pressed ? 8 : hot ? 12 : 11);
  const TRect area = Clipped(bitmap, rect);
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (!HasZeroChannel(bitmap.GetPixel(x, y)))
        bitmap.SetPixel(x, y, c);
  bitmap.FrameRect(rect, KsColor(7));
  bitmap.Draw3DBevel(Inflated(rect, -1, -1), c, pressed, 1);
}

// ---- Menus -----------------------------------------------------------------------------

void TTeThemeHighlight::MeasureMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                               int& width, int& height) {
  MeasureThemeMenuBarItem(*this, bitmap, item, width, height);
}

void TTeThemeHighlight::MeasurePopupItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                             int& width, int& height) {
  MeasureThemePopupItem(*this, bitmap, item, width, height);
}

void TTeThemeHighlight::DrawMenuBarBackground(TKsBitmap& bitmap, int width, int height) {
  const TRect r{0, 0, width, height};
  bitmap.FillRect(r, KsColor(14));
  bitmap.FrameRect(r, KsColor(13));
}

void TTeThemeHighlight::DrawMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                            const TRect& rect, bool selected, bool pressed) {
  DrawMenuBarItemStriped(bitmap, item, rect, selected, pressed, false);
}

void TTeThemeHighlight::DrawMenuBarItemStriped(TKsBitmap& bitmap, const TTeItemData& item,
                                               const TRect& rect, bool selected, bool pressed,
                                               bool striped) {
  SetFont(bitmap, 2);
  TRect r = Inflated(rect, -1, -1);
  bitmap.FillRect(r, KsColor(item.OnControlBar ? 11 : 14));
  r = Inflated(r, -1, -1);
  uint8_t fontColor = 18;
  if (selected && item.OnControlBar) {
    DrawToolButton(bitmap, r, pressed ? tdsHot : tdsPressed, true, false);
  } else if (selected) {
    bitmap.FillRect(r, KsColor(pressed ? 12 : 15));
    fontColor = 19;
    if (striped && !pressed)
      DrawLinePattern(bitmap, r, r.top);
    bitmap.RoundRect(r, 3, KsColor(13));
  }
  bitmap.GetFont()->SetColor(GetColor(fontColor));
  bitmap.DrawText(item.Caption, r, DrawTextBiDiModeFlags(37));
}

void TTeThemeHighlight::DrawMenuBarButtonData(TKsBitmap& bitmap, const TTeItemData& item,
                                              const TRect& rect, bool selected, bool pressed) {
  static constexpr UINT kGlyphs[] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONRESTORE, DFCS_CAPTIONMIN};
  TRect r = Inflated(rect, -1, -1);
  bitmap.FillRect(r, kHighlightPaleGrey);
  const TKsMDIButtonKind kind = item.MDIButtonKind;
  if (kind >= mbkClose && kind <= mbkMinimize) {
    r = Inflated(r, -2, -2);
    RECT box{r.left, r.top, r.right + 1, r.bottom - 1};
    UINT state = kGlyphs[kind - mbkClose] | DFCS_ADJUSTRECT;
    if (selected)
      state |= pressed ? DFCS_FLAT : DFCS_PUSHED;
    DrawFrameControl(bitmap.GetDC(), &box, DFC_CAPTION, state);
    GdiFlush();
    bitmap.FrameRect(box, kHighlightDarkBlue);
    return;
  }
  if (kind != mbkChildIcon)
    return;
  r = Inflated(r, -1, -1);
  if (!selected) {
    bitmap.FillRect(r, KsColor(16));
    return;
  }
  bitmap.FillRect(r, KsColor(17));
  DrawLinePattern(bitmap, r, r.top);
  bitmap.RoundRect(r, 3, KsColor(13));
}

void TTeThemeHighlight::DrawPopupFrame(TKsBitmap& bitmap, int width, int height) {
  TRect r{0, 0, width, height};
  bitmap.FrameRect(r, KsColor(16));
  bitmap.RoundRect(r, 3, KsColor(13));
  r = Inflated(r, -1, -1);
  bitmap.FrameRect(r, KsColor(16));
  r = Inflated(r, -1, -1);
  bitmap.FrameRect(r, KsColor(16));
}

void TTeThemeHighlight::DrawPopupItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                          const TRect& rect, bool selected, bool pressed) {
  DrawPopupItemStriped(bitmap, item, rect, selected, pressed, false);
}

void TTeThemeHighlight::DrawPopupItemStriped(TKsBitmap& bitmap, const TTeItemData& item,
                                             const TRect& rect, bool selected, bool pressed,
                                             bool striped) {
  if (item.Caption == "-") {
    DrawThemePopupSeparator(bitmap, rect, KsColor(16));
    return;
  }
  SetFont(bitmap, 3);
  TColor fontColor;
  if (selected) {
    bitmap.FillRect(rect, KsColor(17));
    fontColor = GetColor(21);
    if (striped)
      DrawLinePattern(bitmap, rect, rect.top);
    bitmap.RoundRect(rect, 3, KsColor(13));
  } else {
    bitmap.FillRect(rect, KsColor(16));
    fontColor = GetColor(20);
  }
  DrawThemePopupItemContent(*this, bitmap, item, rect, fontColor);
  if (item.HasSubItems) {
    // A small rounded square in the font colour marks the sub-menu.
    TRect mark = CentredIn({rect.right - 18, rect.top, rect.right - 2, rect.bottom}, 5, 5);
    bitmap.FillRoundRect(mark, 5, ColorToKsColor(fontColor, 255));
    bitmap.RoundRect(mark, 5, KsColor(13));
  }
}

// ---- Buttons ---------------------------------------------------------------------------

void TTeThemeHighlight::DrawButton(TKsBitmap& bitmap, int width, int height, int state) {
  const TRect r{0, 0, width, height};
  if (state == tdsDisabled) {
    // Disabled: the outline only; the inside keeps what the control drew.
    bitmap.RoundRect(r, 3, KsColor(9));
    return;
  }
  const bool lit = state == tdsPressed || state == tdsFocused || state == tdsDefault;
  const TKsColor c = lit ? KsColor(8) : state == tdsHot ? KsColor(12) : KsColor(11);
  const TKsColor edge = KsColor(7);
  bitmap.RoundRect(r, 3, edge);
  const TRect r1 = Inflated(r, -1, -1);
  bitmap.DrawLine({r1.right - 1, r1.bottom - 1}, {r1.right, r1.bottom}, edge);
  if (state == tdsPressed) {
    bitmap.Draw3DFrame(r1, KsColorDarken(c, 30), KsColorLighten(c, 30));
    bitmap.FillRect(Inflated(r1, -1, -1), c);
    return;
  }
  const TKsColor light = KsColorLighten(c, 30), dark = KsColorDarken(c, 30);
  bitmap.DrawLine({1, 1}, {r1.right - 1, 1}, light);
  bitmap.DrawLine({1, 1}, {1, r1.bottom - 1}, light);
  bitmap.DrawLine({1, r1.bottom - 1}, {r1.right - 1, r1.bottom - 1}, dark);
  bitmap.DrawLine({r1.right - 1, 1}, {r1.right - 1, r1.bottom - 1}, dark);
  const TRect r2 = Inflated(r1, -1, -1);
  bitmap.FillRect(r2, c);
  bitmap.Draw3DFrame(r2, KsColorLighten(c, 10), KsColorDarken(c, 10));
}

void TTeThemeHighlight::DrawCheckBox(TKsBitmap& bitmap, const TRect& rect, int drawState,
                                     int checkState) {
  TKsColor light, dark, mark;
  if (drawState == tdsDisabled) {
    light = dark = KsColor(6);
    mark = KsColor(9);
  } else {
    TKsColor base = KsColor(drawState == tdsHot ? 12 : drawState == tdsFocused ? 8 : 6);
    light = KsColorLighten(base, 50);
    dark = KsColorDarken(base, 50);
    mark = KsColor(7);
  }
  TRect r = rect;
  bitmap.FrameRect(r, mark);
  r = Inflated(r, -1, -1);
  bitmap.Draw3DFrame(r, dark, light);
  r = Inflated(r, -1, -1);
  bitmap.FillRect(r, KsColor(6));
  if (checkState == cbChecked)
    StampSystemGlyph(bitmap, rect, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED, mark);
  else if (checkState == cbGrayed)
    bitmap.FillRect(Inflated(r, -1, -1), mark);
}

void TTeThemeHighlight::DrawRadioButton(TKsBitmap& bitmap, const TRect& rect, int drawState,
                                        bool checked) {
  TKsColor ring, mark;
  if (drawState == tdsDisabled) {
    ring = KsColor(6);
    mark = KsColor(9);
  } else {
    ring = KsColorDarken(KsColor(drawState == tdsHot ? 12 : drawState == tdsFocused ? 8 : 6), 30);
    mark = KsColor(7);
  }
  TRect r = rect;
  bitmap.RoundRect(r, 6, mark);
  r = Inflated(r, -1, -1);
  bitmap.RoundRect(r, 2, ring);
  bitmap.RoundRect(r, 6, ring);
  r = Inflated(r, -1, -1);
  bitmap.FillRoundRect(r, 2, KsColor(6));
  if (checked)
    bitmap.FillRoundRect(Inflated(r, -1, -1), 2, mark);
}

// ---- Group box and backgrounds -----------------------------------------------------------

void TTeThemeHighlight::DrawGroupBox(TKsBitmap& bitmap, const TRect& r, const TRect& captionRect,
                                     const std::string& caption) {
  DrawThemeGroupBox(*this, bitmap, r, captionRect, caption, KsColor(7));
}

void TTeThemeHighlight::FillBackground(TKsBitmap& bitmap, const TRect& rect) {
  bitmap.FillRect(rect, KsColor(11));
}

void TTeThemeHighlight::FillBackground2(TKsBitmap& bitmap, const TRect& rect) {
  bitmap.FillRect(rect, KsColor(11));
}

void TTeThemeHighlight::DrawFrameByState(TKsBitmap& bitmap, const TRect& rect, uint8_t flags) {
  // The flag bits are the values 4, 2 and 1.
  const TKsColor c = KsColor(flags & 4 ? 11 : flags & 2 ? 12 : flags & 1 ? 8 : 6);
  bitmap.FillRect(rect, c);
  if (flags & 4)
    bitmap.Draw3DFrame(rect, KsColorLighten(c, 30), KsColorDarken(c, 30));
}

// ---- Further parts -----------------------------------------------------------------------

void TTeThemeHighlight::DrawTrackBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                          int shape, int state) {
  if (shape < thsPlain || shape > thsTopLeft)
    return;
  const TKsColor c = StateColor(state);
  TKsColor light = KsColorLighten(c, 30), dark = KsColorDarken(c, 30);
  if (state == tdsPressed)
    std::swap(light, dark);
  if (shape == thsPlain) {
    bitmap.RoundRect(rect, 3, kHighlightDarkBlue);
    TRect r = Inflated(rect, -1, -1);
    bitmap.FillRect(r, c);
    bitmap.Draw3DFrame(r, light, dark);
    return;
  }
  const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
  const int h = RectHeight(rect) / 2, w = RectWidth(rect) / 2;
  std::array<TPoint, 5> outline;
  if (vertical && shape == thsBottomRight) {
    outline = {{{L, T}, {R - h, T}, {R, T + h}, {R - h, B - 1}, {L, B - 1}}};
    bitmap.FillPolygon(outline, c);
    Polyline(bitmap, {{L + 1, B - 1}, {L + 1, T + 1}, {R - h, T + 1}}, light);
    Polyline(bitmap, {{L + 1, B - 2}, {R - h, B - 2}}, dark);
  } else if (vertical) {
    outline = {{{L + h, T}, {R, T}, {R, B - 1}, {L + h, B - 1}, {L, B - h - 1}}};
    bitmap.FillPolygon(outline, c);
    Polyline(bitmap, {{L + h, T + 1}, {R - 1, T + 1}}, light);
    Polyline(bitmap, {{L + h, B - 2}, {R - 1, B - 2}, {R - 1, T + 1}}, dark);
  } else if (shape == thsBottomRight) {
    outline = {{{L, T}, {R - 1, T}, {R - 1, B - w}, {L + w, B}, {L, B - w}}};
    bitmap.FillPolygon(outline, c);
    Polyline(bitmap, {{L + 1, B - w}, {L + 1, T + 1}, {R - 1, T + 1}}, light);
    Polyline(bitmap, {{R - 2, T + 1}, {R - 2, B - w}}, dark);
  } else {
    outline = {{{L, B}, {R - 1, B}, {R - 1, T + w}, {L + w, T}, {L, T + w}}};
    bitmap.FillPolygon(outline, c);
    Polyline(bitmap, {{L + 1, T + w}, {L + 1, B - 1}}, light);
    Polyline(bitmap, {{L + 1, B - 1}, {R - 2, B - 1}, {R - 2, T + w}}, dark);
  }
  bitmap.DrawPolygon(outline, KsColor(7));
}

void TTeThemeHighlight::DrawTrackBarTrack(TKsBitmap& bitmap, const TRect& rect,
                                          const TRect& selectionRect) {
  bitmap.FillRect(rect, KsColor(11));
  bitmap.RoundRect(rect, 3, KsColor(7));
  bitmap.FillRect(Inflated(selectionRect, -1, -1), KsColor(8));
}

void TTeThemeHighlight::DrawProgressFrame(TKsBitmap& bitmap, const TRect& rect) {
  bitmap.RoundRect(rect, 3, KsColor(7));
  bitmap.FillRect(Inflated(rect, -1, -1), KsColor(6));
}

void TTeThemeHighlight::DrawProgressBar(TKsBitmap& bitmap, const TRect& rect, const TRect& barRect,
                                        bool vertical, bool smooth) {
  DrawThemeProgressBar(bitmap, rect, barRect, vertical, smooth, KsColor(8));
}

void TTeThemeHighlight::DrawExplorerBarHeader(TKsBitmap& bitmap, const TRect& rect, bool flag) {
  bitmap.FillRoundRect(rect, 3, KsColor(6));
  bitmap.RoundRect(rect, 3, KsColor(7));
}

void TTeThemeHighlight::DrawExplorerBarGroup(TKsBitmap& bitmap, const TRect& rect,
                                             const std::string& caption) {
  bitmap.DrawLine({rect.left, rect.bottom - 1}, {rect.right, rect.bottom - 1}, KsColor(7));
  const TKsColor face = KsColor(11);
  bitmap.FillRect(rect, face);
  bitmap.Draw3DFrame(rect, KsColorLighten(face, 30), KsColorDarken(face, 30));
  SetFont(bitmap, 4);
  bitmap.GetFont()->SetColor(GetColor(23));
  bitmap.DrawText(caption, Inflated(rect, -5, 0), DrawTextBiDiModeFlags(36));
}

void TTeThemeHighlight::DrawExplorerBarButton(TKsBitmap& bitmap, const TRect& rect, bool close,
                                              int state, bool down) {
  DrawButtonFace(bitmap, rect, state);
  const UINT pushed = state == tdsPressed ? DFCS_PUSHED : 0;
  if (close)
    StampSystemGlyph(bitmap, rect, DFC_CAPTION, DFCS_CAPTIONCLOSE | pushed, KsColor(7));
  else
    StampSystemGlyph(bitmap, rect, DFC_SCROLL, (down ? DFCS_SCROLLDOWN : DFCS_SCROLLUP) | pushed,
                     KsColor(7));
}

void TTeThemeHighlight::DrawScrollBarTrack(TKsBitmap& bitmap, const TRect& rect, bool pressed) {
  bitmap.RoundRect(rect, 3, KsColor(7));
}

void TTeThemeHighlight::DrawScrollBarArrowButton(TKsBitmap& bitmap, const TRect& rect,
                                                 bool vertical, bool towardStart, int state) {
  UINT glyph = vertical ? (towardStart ? DFCS_SCROLLUP : DFCS_SCROLLDOWN)
                        : (towardStart ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT);
  if (state == tdsPressed)
    glyph |= DFCS_FLAT | DFCS_PUSHED;
  RECT box = rect;
  DrawFrameControl(bitmap.GetDC(), &box, DFC_SCROLL, glyph);
  GdiFlush();
  const TKsColor c = StateColor(state), arrow = KsColor(7);
  const TRect area = Clipped(bitmap, rect);
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      bitmap.SetPixel(x, y, IsBlack(bitmap.GetPixel(x, y)) ? arrow : c);
  bitmap.RoundRect(rect, 3, KsColor(7));
  TRect r = Inflated(rect, -1, -1);
  TKsColor light = KsColorLighten(c, 30), dark = KsColorDarken(c, 30);
  if (state == tdsPressed)
    bitmap.Draw3DFrame(r, dark, light);
  else
    bitmap.Draw3DFrame(r, light, dark);
}

void TTeThemeHighlight::DrawScrollBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                           int state) {
  DrawButtonFace(bitmap, rect, state);
}

void TTeThemeHighlight::DrawScrollBarHorzArrowButton(TKsBitmap& bitmap, const TRect& rect,
                                                     bool towardStart, bool flag, int state) {
  DrawScrollBarArrowButton(bitmap, rect, false, towardStart, state);
}

void TTeThemeHighlight::DrawTabBackground(TKsBitmap& bitmap, const TRect& rect) {
  const TKsColor face = KsColor(11);
  bitmap.RoundRect(rect, 3, KsColor(7));
  TRect r = Inflated(rect, -1, -1);
  bitmap.Draw3DFrame(r, KsColorLighten(face, 30), KsColorDarken(face, 30));
  r = Inflated(r, -1, -1);
  bitmap.Draw3DFrame(r, KsColorLighten(face, 15), KsColorDarken(face, 15));
  bitmap.FillRect(Inflated(r, -1, -1), face);
}

void TTeThemeHighlight::DrawTab(TKsBitmap& bitmap, const TRect& rect, int position, int state) {
  const TKsColor c = KsColor(state == ttsHot ? 12 : state == ttsSelected ? 8 : 11);
  bitmap.RoundRect(rect, 3, KsColor(7));
  TRect r = Inflated(rect, -1, -1);
  bitmap.Draw3DFrame(r, KsColorLighten(c, 30), KsColorDarken(c, 30));
  bitmap.FillRect(Inflated(r, -1, -1), c);
  // The side that joins the page is open.
  const TRect& o = rect;
  switch (position) {
    case 0:
      bitmap.FillRect({o.left, o.bottom - 2, o.right, o.bottom}, c);
      break;
    case 1:
      bitmap.FillRect({o.left, o.top, o.right, o.top + 2}, c);
      break;
    case 2:
      bitmap.FillRect({o.right - 2, o.top, o.right, o.bottom}, c);
      break;
    case 3:
      bitmap.FillRect({o.left, o.top, o.left + 2, o.bottom}, c);
      break;
    default:
      break;
  }
}

void TTeThemeHighlight::DrawEditFrame(TKsBitmap& bitmap, const TRect& rect, int state) {
  const bool disabled = state == tdsDisabled;
  DrawThemeEditFrame(bitmap, rect, KsColor(disabled ? 7 : 10), KsColor(disabled ? 6 : 9));
}

void TTeThemeHighlight::DrawComboButton(TKsBitmap& bitmap, const TRect& rect, int state) {
  DrawButtonFace(bitmap, rect, state);
  TRect g = Moved(CentredIn(rect, 7, 4), 0, 1);
  if (state == tdsPressed)
    g = Moved(g, 1, 1);
  const TPoint arrow[] = {{g.left, g.top}, {g.right - 1, g.top},
                          {(g.left + g.right - 1) / 2, g.bottom - 1}};
  bitmap.FillPolygon(arrow, KsColor(7));
}

void TTeThemeHighlight::DrawToolButton(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                                       bool checked) {
  if (state == tdsDisabled || (flat && state == tdsNormal && !checked))
    return;
  auto withFrame = [&](uint8_t face, bool sunken) {
    DrawRoundFace(bitmap, rect, face);
    const TKsColor c = KsColor(face);
    const TKsColor light = KsColorLighten(c, 30), dark = KsColorDarken(c, 30);
    const TRect r = Inflated(rect, -1, -1);
    bitmap.Draw3DFrame(r, sunken ? dark : light, sunken ? light : dark);
  };
  if (flat) {
    if (state == tdsHot)
      withFrame(12, false);
    else if (state == tdsPressed)
      withFrame(11, true);
    else
      DrawRoundFace(bitmap, rect, 8);
    return;
  }
  if (state == tdsHot)
    return;
  if (checked)
    DrawRoundFace(bitmap, rect, 8);
  else
    withFrame(11, state == tdsPressed);
}

void TTeThemeHighlight::DrawToolBarPart(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                                        bool down) {
  DrawToolButton(bitmap, rect, state, flat, down);
  const TRect g = CentredIn(state == tdsPressed ? Moved(rect, 1, 1) : rect, 7, 4);
  const int middle = (g.left + g.right) / 2;
  if (state == tdsDisabled) {
    Polyline(bitmap, {{middle, g.bottom - 1}, {g.left, g.top}, {g.right, g.top}}, KsColor(9));
    Polyline(bitmap, {{g.right, g.top}, {middle, g.bottom}}, KsColor(7));
    return;
  }
  const TPoint arrow[] = {{g.left, g.top}, {g.right - 1, g.top},
                          {(g.left + g.right - 1) / 2, g.bottom - 1}};
  bitmap.FillPolygon(arrow, KsColor(7));
}

void TTeThemeHighlight::DrawReBarWithGrip(TKsBitmap& bitmap, const TRect& rect,
                                          const TRect& gripRect, TKsColor gripColor) {
  const TKsColor face = KsColor(11);
  bitmap.RoundRect(rect, 3, KsColor(7));
  TRect r = Inflated(rect, -1, -1);
  bitmap.FillRect(r, face);
  bitmap.Draw3DFrame(r, KsColorLighten(face, 50), KsColorDarken(face, 50));
  TRect g = Inflated(gripRect, -3, -1);
  bitmap.RoundRect(g, 3, KsColor(7));
  g = Inflated(g, -1, -1);
  bitmap.FillRect(g, gripColor);
  bitmap.Draw3DFrame(g, KsColorLighten(gripColor, 50), KsColorDarken(gripColor, 50));
}

void TTeThemeHighlight::DrawReBar(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect) {
  DrawReBarWithGrip(bitmap, rect, gripRect, KsColor(11));
}

void TTeThemeHighlight::DrawScrollBarSizeBox(TKsBitmap& bitmap, const TRect& rect, int state,
                                             bool flag) {
  DrawToolButton(bitmap, rect, state, /*flat=*/state != tdsNormal, /*checked=*/false);
}

void InitializeTeThemeHighlight() { RegisterTheme(&TTeThemeHighlight::MetaClass()); }
