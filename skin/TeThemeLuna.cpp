#include "skin/TeThemeLuna.h"

#include <algorithm>
#include <array>

#include "classlib/MemoryStreams.h"
#include "classlib/StdCtrls.h"
#include "classlib/SysUtils.h"
#include "skin/KsCommonConst.h"
#include "skin/KsItems.h"
#include "skin/TeThemeParts.h"

namespace {

constexpr TKsColor kLightGrey = KsColorARGB(255, 235, 235, 238);

constexpr std::array<int, 30> kSizes = {3,  2,  29, 19, 10, 21, 21, 14, 14, 4,  4,  3, 3,  3,  22,
                                        17, 16, 16, 16, 16, 11, 22, 4,  22, 17, 17, 2, 21, 15, 11};

// Colour kinds 0..25 as RGB; -1 marks kinds without an entry.
constexpr std::array<int32_t, 26> kColors = {
    -1,       -1,       0x000000, 0xFFFFFF, -1,       0xFFFFFF, 0xFFFBF7, 0x316AC5, 0x21C321,
    0xFEFEFB, 0xC5C5B1, 0xEFEBDE, -1,       0x808080, 0xFFFFFF, 0x316AC5, 0xFFFFFF, 0x316AC5,
    0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x808080, 0x000000, 0x95CEFF, 0x316AC5};

std::unique_ptr<TKsBitmap> LoadSheet(const char* name) {
  auto sheet = std::make_unique<TKsBitmap>();
  TResourceStream stream(SkinResourceInstance(), name);  // the skin code's own module
  sheet->LoadFromStream(stream);
  sheet->MakeTransparent(KsColorRGBA(255, 0, 255, 255));
  return sheet;
}

TRect Inflated(const TRect& r, int dx, int dy) {
  return TRect{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

TRect Moved(const TRect& r, int dx, int dy) {
  return TRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The check mark of the check-box artwork as a shape: in pixels of the 13 x 13 box (its
// outline's first pixel covering [0, 1)), the band of height 3 around the line that
// falls from (3, 6) to (5.5, 8.5) and rises to (10, 4), between u = 3 and u = 10. The
// artwork's 7 x 7 pixels are exactly the pixels whose centres lie in it. The part of the
// pixel rows [v0, v1) in the band at the column u.
double CheckMarkCoverageAt(double u, double v0, double v1) {
  if (u < 3 || u > 10)
    return 0;
  const double centre = u <= 5.5 ? u + 3 : 14 - u;
  return std::max(0.0, std::min(v1, centre + 1.5) - std::max(v0, centre - 1.5)) / (v1 - v0);
}

// Draws the artwork's check mark in `color` over the box drawn grown into `box` (its
// outline one pixel wide, its inside of 11 pixels grown to the rest), smooth at any
// size: each pixel takes the mark's colour by the part of it the grown shape covers.
void DrawGrownCheckMark(TKsBitmap& bitmap, const TRect& box, TKsColor color) {
  constexpr int kColumnsPerPixel = 16;
  const double su = 11.0 / (RectWidth(box) - 2), sv = 11.0 / (RectHeight(box) - 2);
  for (int y = box.top + 1; y < box.bottom - 1; ++y) {
    const double v0 = 1 + (y - box.top - 1) * sv, v1 = v0 + sv;
    for (int x = box.left + 1; x < box.right - 1; ++x) {
      const double u0 = 1 + (x - box.left - 1) * su;
      double covered = 0;
      for (int i = 0; i < kColumnsPerPixel; ++i)
        covered += CheckMarkCoverageAt(u0 + (i + 0.5) * su / kColumnsPerPixel, v0, v1);
      const int alpha = int(covered * 255 / kColumnsPerPixel + 0.5);
      if (alpha == 0)
        continue;
      const TKsColor under = bitmap.GetPixel(x, y);
      auto mix = [&](uint8_t mark, uint8_t back) { return uint8_t((mark * alpha + back * (255 - alpha) + 127) / 255); };
      bitmap.SetPixel(x, y, KsColorARGB(KsAlpha(under), mix(KsRed(color), KsRed(under)),
                                        mix(KsGreen(color), KsGreen(under)), mix(KsBlue(color), KsBlue(under))));
    }
  }
}

}  // namespace

TTeThemeLuna::TTeThemeLuna() { LoadSheets(); }

TTeThemeLuna::~TTeThemeLuna() {
  FSheet2.reset();
  FSheet1.reset();
}

void TTeThemeLuna::LoadSheets() {
  FSheet1.reset();
  FSheet2.reset();
  FSheet1 = LoadSheet("XP_MAIN");
  FSheet2 = LoadSheet("XP_MAIN1");
}

void TTeThemeLuna::Changed() {
  LoadSheets();
  if (GetDeltaHue() != 0) {
    FSheet1->ChangeHue(GetDeltaHue());
    FSheet2->ChangeHue(GetDeltaHue());
  }
  if (GetDeltaBrightness() != 0) {
    FSheet1->ChangeBrightness(GetDeltaBrightness());
    FSheet2->ChangeBrightness(GetDeltaBrightness());
  }
}

int TTeThemeLuna::GetSize(uint8_t kind) { return kind < kSizes.size() ? kSizes[kind] : 0; }

TColor TTeThemeLuna::GetColor(uint8_t kind) {
  TColor color = kThemeDefaultColor;
  if (kind < kColors.size() && kColors[kind] >= 0) {
    int32_t rgb = kColors[kind];
    color = static_cast<TColor>(RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF));
  }
  TKsColor shifted = KsColorChangeHue(ColorToKsColor(color, 255), GetDeltaHue());
  TKsColor bright =
      KsColorChangeBrightness(ColorToKsColor(ColorToKsColorOpaque(shifted), 255), GetDeltaBrightness());
  return ColorToKsColorOpaque(bright);
}

void TTeThemeLuna::GetFontName(uint8_t kind, std::string& name) {
  name = kind <= 4 ? "Tahoma" : "Tahome";
}

int TTeThemeLuna::GetFontSize(uint8_t kind) { return kind == 0 ? 10 : 8; }

bool TTeThemeLuna::GetFontBold(uint8_t kind) { return kind <= 1; }

void TTeThemeLuna::SetFont(TKsBitmap& bitmap, uint8_t kind) { SetThemeFont(*this, bitmap, kind); }

void TTeThemeLuna::Copy(TKsBitmap& sheet, TKsBitmap& dest, int x, int y, const TRect& cell,
                        bool alpha) {
  sheet.SetAlphaBlend(alpha);
  sheet.DrawRect(dest, x, y, cell);
  sheet.SetAlphaBlend(false);
}

void TTeThemeLuna::Stretch(TKsBitmap& sheet, TKsBitmap& dest, const TRect& dst, const TRect& cell,
                           bool alpha) {
  sheet.SetAlphaBlend(alpha);
  sheet.StretchDrawRect(dest, dst, cell);
  sheet.SetAlphaBlend(false);
}

void TTeThemeLuna::NinePart(TKsBitmap& sheet, TKsBitmap& dest, const TRect& r, const TRect& c,
                            int m, bool cornerAlpha) {
  // Edges first, then the corners, then the centre.
  Stretch(sheet, dest, {r.left + m, r.top, r.right - m, r.top + m},
          {c.left + m, c.top, c.right - m, c.top + m}, false);
  Stretch(sheet, dest, {r.left + m, r.bottom - m, r.right - m, r.bottom},
          {c.left + m, c.bottom - m, c.right - m, c.bottom}, false);
  Stretch(sheet, dest, {r.left, r.top + m, r.left + m, r.bottom - m},
          {c.left, c.top + m, c.left + m, c.bottom - m}, false);
  Stretch(sheet, dest, {r.right - m, r.top + m, r.right, r.bottom - m},
          {c.right - m, c.top + m, c.right, c.bottom - m}, false);
  Copy(sheet, dest, r.left, r.top, {c.left, c.top, c.left + m, c.top + m}, cornerAlpha);
  Copy(sheet, dest, r.right - m, r.top, {c.right - m, c.top, c.right, c.top + m}, cornerAlpha);
  Copy(sheet, dest, r.left, r.bottom - m, {c.left, c.bottom - m, c.left + m, c.bottom}, cornerAlpha);
  Copy(sheet, dest, r.right - m, r.bottom - m, {c.right - m, c.bottom - m, c.right, c.bottom},
       cornerAlpha);
  Stretch(sheet, dest, Inflated(r, -m, -m), Inflated(c, -m, -m), false);
}

void TTeThemeLuna::DrawFormFrame(TKsBitmap& bitmap, int w, int h, const TRect& clientRect,
                                 bool active, TKsBorderStyle borderStyle) {
  TKsBitmap& s = active ? *FSheet1 : *FSheet2;
  const int s0 = GetSize(0), s1 = GetSize(1), s2 = GetSize(2), s3 = GetSize(3), s4 = GetSize(4);
  if (borderStyle == kbsStandard) {
    Copy(s, bitmap, 0, 0, {0, 0, s4, s2}, false);
    Stretch(s, bitmap, {s4, 0, w - s4, s2}, {s4, 0, 66 - s4, s2}, false);
    Copy(s, bitmap, w - s4, 0, {66 - s4, 0, 66, s2}, false);
    Copy(s, bitmap, 0, h - s0, {0, 57, s0, 57 + s0}, false);
    Stretch(s, bitmap, {s0, h - s0, w - s0, h}, {s0, 57, 62, 57 + s0}, false);
    Copy(s, bitmap, w - s0, h - s0, {63, 57, 63 + s0, 57 + s0}, false);
    Copy(s, bitmap, 0, s2, {0, 29, s0, 29 + s0}, false);
    Stretch(s, bitmap, {0, s2 + s0, s0, h - s0}, {0, 29 + s0, s0, 57}, false);
    Copy(s, bitmap, w - s0, s2, {66 - s0, 29, 66, 29 + s0}, false);
    Stretch(s, bitmap, {w - s0, s2 + s0, w, h - s0}, {66 - s0, 29 + s0, 66, 57}, false);
    return;
  }
  if (borderStyle != kbsToolWindow)
    return;
  Copy(s, bitmap, 0, 0, {66, 0, 66 + s4, s3}, false);
  Stretch(s, bitmap, {s4, 0, w - s4, s3}, {66 + s4, 0, 131 - s4, s3}, false);
  Copy(s, bitmap, w - s4, 0, {131 - s4, 0, 131, s3}, false);
  Copy(s, bitmap, 0, h - s1, {66, 49, 66 + s1, 49 + s1}, false);
  Stretch(s, bitmap, {s1, h - s1, w - s1, h}, {66 + s1, 49, 131 - s1, 49 + s1}, false);
  Copy(s, bitmap, w - s1, h - s1, {130, 49, 130 + s1, 49 + s1}, false);
  Copy(s, bitmap, 0, s3, {66, s3, 66 + s1, s3 + s1}, false);
  Stretch(s, bitmap, {0, s3 + s1, s1, h - s1}, {66, s3 + s0, 66 + s0, 49}, false);
  Copy(s, bitmap, w - s1, s3, {130, s3, 130 + s1, s3 + s1}, false);
  Stretch(s, bitmap, {w - s1, s3 + s1, w, h - s1}, {130, s3 + s0, 130 + s1, 49}, false);
}

HRGN TTeThemeLuna::GetFormRegion(int w, int h, TKsBorderStyle borderStyle) {
  HRGN region = CreateRectRgn(0, 0, w, h);
  if (borderStyle != kbsStandard)
    return region;
  const TRect cuts[] = {{0, 0, 5, 1},         {0, 0, 3, 2},         {0, 0, 2, 3},
                        {0, 0, 1, 5},         {w - 5, 0, w, 1},     {w - 3, 0, w, 2},
                        {w - 2, 0, w, 3},     {w - 1, 0, w, 5}};
  for (const TRect& cut : cuts) {
    HRGN piece = CreateRectRgn(cut.left, cut.top, cut.right, cut.bottom);
    CombineRgn(region, region, piece, RGN_DIFF);
    DeleteObject(piece);
  }
  return region;
}

void TTeThemeLuna::DrawCaptionButton(TKsBitmap& bitmap, const TRect& rect, int kind, bool hot,
                                     bool pressed, bool active, TKsBorderStyle borderStyle) {
  static constexpr int kRows[] = {70, 100, 160, 130, 190, 280, 220, 250};
  if (kind < cbkClose || kind > cbkTray)
    return;
  TKsBitmap& s = active ? *FSheet1 : *FSheet2;
  int column = pressed ? 2 : hot ? 1 : 0;
  if (kind == cbkClose && borderStyle == kbsNone)
    return;
  if (kind == cbkClose && borderStyle == kbsToolWindow) {
    int w = GetSize(7), h = GetSize(8);
    int x = 66 + 14 * column;
    Copy(s, bitmap, rect.left, rect.top, {x, 70, x + w, 70 + h}, false);
    return;
  }
  int w = GetSize(5), h = GetSize(6);
  int x = 21 * column;
  Copy(s, bitmap, rect.left, rect.top, {x, kRows[kind], x + w, kRows[kind] + h}, false);
}

void TTeThemeLuna::DrawButton(TKsBitmap& bitmap, int width, int height, int state) {
  static constexpr int kRows[] = {100, 130, 160, 190, 220, 220};
  int y = state >= tdsNormal && state <= tdsDefault ? kRows[state] : 100;
  NinePart(*FSheet1, bitmap, {0, 0, width, height}, {70, y, 143, y + 21}, 4);
}

void TTeThemeLuna::DrawCheckBox(TKsBitmap& bitmap, const TRect& rect, int drawState,
                                int checkState) {
  if (drawState < tdsNormal || drawState > tdsDisabled || checkState < cbUnchecked ||
      checkState > cbGrayed)
    return;
  int y = 102 + 16 * drawState + 64 * checkState;
  const TRect cell{171, y, 171 + GetSize(16), y + GetSize(17)};
  const int w = RectWidth(rect), h = RectHeight(rect), cw = RectWidth(cell), ch = RectHeight(cell);
  if (w <= cw && h <= ch) {
    Copy(*FSheet1, bitmap, rect.left, rect.top, cell, true);
    return;
  }
  // A larger rectangle (a box shown at a higher density) takes the box (13 x 13 at (1, 1)
  // of the cell) grown as the system grows its own: the 12 pixels from its outline's first
  // column to its last by the rectangle's scale, the outline kept one pixel wide. A check
  // mark grown by whole pixels looks blocky: the box is the unchecked one, and the mark
  // is drawn over it by its shape, in the artwork's colour (taken from a pixel of it).
  const int left = rect.left + MulDiv(1, w, cw), top = rect.top + MulDiv(1, h, ch);
  const TRect grown{left, top, left + MulDiv(12, w, cw) + 1, top + MulDiv(12, h, ch) + 1};
  const int boxTop = checkState == cbChecked ? y - 64 : y;
  NinePart(*FSheet1, bitmap, grown, {cell.left + 1, boxTop + 1, cell.left + 14, boxTop + 14}, 1, true);
  if (checkState == cbChecked)
    DrawGrownCheckMark(bitmap, grown, FSheet1->GetPixel(cell.left + 6, y + 10));
}

void TTeThemeLuna::DrawRadioButton(TKsBitmap& bitmap, const TRect& rect, int drawState,
                                   bool checked) {
  const int row = drawState >= tdsNormal && drawState <= tdsDisabled ? drawState : tdsNormal;
  int y = 102 + 16 * row + (checked ? 64 : 0);
  Copy(*FSheet1, bitmap, rect.left, rect.top, {152, y, 168, y + 16}, true);
}

void TTeThemeLuna::MeasureMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,
                                          int& height) {
  MeasureThemeMenuBarItem(*this, bitmap, item, width, height);
}

void TTeThemeLuna::MeasurePopupItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,
                                        int& height) {
  MeasureThemePopupItem(*this, bitmap, item, width, height);
}

void TTeThemeLuna::DrawMenuBarBackground(TKsBitmap& bitmap, int width, int height) {
  bitmap.FillRect({0, 0, width, height}, KsColor(14));
}

void TTeThemeLuna::DrawMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                       const TRect& rect, bool selected, bool pressed) {
  DrawThemeMenuBarItem(*this, bitmap, item, rect, selected, pressed, /*framed=*/true);
}

void TTeThemeLuna::DrawMenuBarButtonData(TKsBitmap& bitmap, const TTeItemData& item,
                                         const TRect& rect, bool selected, bool pressed) {
  if (item.MDIButtonKind == mbkChildIcon) {
    bitmap.FillRect(rect, KsColor(selected ? 15 : 14));
    return;
  }
  if (item.MDIButtonKind < mbkClose || item.MDIButtonKind > mbkMinimize)
    return;
  static constexpr int kColumns[] = {38, 19, 0};
  int x = kColumns[item.MDIButtonKind - mbkClose];
  int y = 310 + (selected ? (pressed ? 19 : 38) : 0);
  int left = rect.left + (RectWidth(rect) - 19) / 2;
  int top = rect.top + (RectHeight(rect) - 19) / 2;
  Copy(*FSheet1, bitmap, left, top, {x, y, x + 19, y + 19}, false);
}

void TTeThemeLuna::DrawPopupFrame(TKsBitmap& bitmap, int width, int height) {
  DrawThemePopupFrame(*this, bitmap, width, height);
}

void TTeThemeLuna::DrawPopupItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                     const TRect& rect, bool selected, bool pressed) {
  DrawThemePopupItem(*this, bitmap, item, rect, selected);
}

void TTeThemeLuna::DrawTrackBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                     int shape, int state) {
  static constexpr int kRowOfState[] = {0, 1, 2, 4, 3};
  int row = state >= tdsHot && state <= tdsFocused ? kRowOfState[state] : 0;
  TRect cell;
  if (vertical)
    cell = shape == thsPlain         ? Moved({75, 128, 97, 139}, 0, 43 * row)
           : shape == thsBottomRight ? Moved({153, 96, 175, 107}, 0, 55 * row)
                                     : Moved({152, 78, 174, 89}, 0, 55 * row);
  else
    cell = shape == thsPlain         ? Moved({80, 100, 91, 123}, 0, 43 * row)
           : shape == thsBottomRight ? Moved({129, 96, 140, 118}, 0, 55 * row)
                                     : Moved({129, 67, 140, 89}, 0, 55 * row);
  if (shape < thsPlain || shape > thsTopLeft)
    return;
  Copy(*FSheet2, bitmap, rect.left, rect.top, cell, true);
}

void TTeThemeLuna::DrawTrackBarTrack(TKsBitmap& bitmap, const TRect& rect,
                                     const TRect& selectionRect) {
  bitmap.FillRect(rect, kLightGrey);
  bitmap.Draw3DFrame(rect, ColorToKsColor(clBtnShadow, 255), ColorToKsColor(clBtnHighlight, 255));
  bitmap.FillRect(Inflated(selectionRect, -1, -1), KsColorARGB(255, 33, 195, 33));
}

void TTeThemeLuna::DrawProgressFrame(TKsBitmap& bitmap, const TRect& rect) {
  bitmap.RoundRect(rect, 3, KsColor(7));
  bitmap.FillRect(Inflated(rect, -1, -1), kLightGrey);
}

void TTeThemeLuna::DrawProgressBar(TKsBitmap& bitmap, const TRect& rect, const TRect& barRect,
                                   bool vertical, bool smooth) {
  DrawThemeProgressBar(bitmap, rect, barRect, vertical, smooth, KsColor(8));
}

void TTeThemeLuna::DrawExplorerBarHeader(TKsBitmap& bitmap, const TRect& rect, bool flag) {
  bitmap.FillRoundRect(rect, 6, KsColor(6));
  bitmap.RoundRect(rect, 6, KsColor(7));
  TRect r = rect;
  r.top += 20;
  bitmap.FrameRect(r, KsColor(7));
  r = Inflated(r, -1, -1);
  r.top -= 3;
  bitmap.FillRect(r, KsColor(6));
}

void TTeThemeLuna::DrawExplorerBarGroup(TKsBitmap& bitmap, const TRect& rect,
                                        const std::string& caption) {
  bitmap.DrawLine({rect.left, rect.bottom - 1}, {rect.right, rect.bottom - 1}, KsColor(7));
  TKsColor from = KsColor(24), to = KsColor(25);
  bitmap.FillGradient({rect.left + 1, rect.top, rect.right - 1, rect.top + 1}, from, false, to);
  bitmap.FillGradient({rect.left, rect.top + 1, rect.right, rect.top + 2}, from, false, to);
  bitmap.FillGradient({rect.left, rect.top + 2, rect.right, rect.bottom}, from, false, to);
  SetFont(bitmap, 4);
  bitmap.GetFont()->SetColor(GetColor(23));
  bitmap.DrawText(caption, Inflated(rect, -5, 0), DrawTextBiDiModeFlags(36));
}

void TTeThemeLuna::DrawExplorerBarButton(TKsBitmap& bitmap, const TRect& rect, bool close,
                                         int state, bool down) {
  if (state < tdsNormal || state > tdsPressed)
    return;
  int x = 134 + 17 * state;
  int y = 32 + (close ? 34 : down ? 17 : 0);
  Copy(*FSheet1, bitmap, rect.left, rect.top, {x, y, x + 17, y + 17}, true);
}

void TTeThemeLuna::DrawGroupBox(TKsBitmap& bitmap, const TRect& r, const TRect& captionRect,
                                const std::string& caption) {
  DrawThemeGroupBox(*this, bitmap, r, captionRect, caption, KsColor(7));
}

void TTeThemeLuna::DrawScrollBarTrack(TKsBitmap& bitmap, const TRect& rect, bool pressed) {
  Stretch(*FSheet2, bitmap, rect, pressed ? TRect{37, 305, 54, 322} : TRect{19, 305, 36, 322},
          false);
}

void TTeThemeLuna::DrawScrollBarArrowButton(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                            bool towardStart, int state) {
  DrawScrollBarThumb(bitmap, rect, vertical, state);
  if (state < tdsNormal || state > tdsDisabled)
    state = tdsNormal;
  int x = vertical ? (towardStart ? 2 : 20) : (towardStart ? 11 : 29);
  int y = 375 + 9 * state;
  Copy(*FSheet2, bitmap, rect.left + (RectWidth(rect) - 9) / 2,
       rect.top + (RectHeight(rect) - 9) / 2, {x, y, x + 9, y + 9}, true);
}

void TTeThemeLuna::DrawScrollBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                      int state) {
  if (state < tdsNormal || state > tdsDisabled)
    state = tdsNormal;
  FSheet2->SetAlphaBlend(true);
  FSheet2->DrawMargins(bitmap, rect, true, 3, 3, 3, 3,
                       {1, 305 + 17 * state, 18, 322 + 17 * state});
  FSheet2->SetAlphaBlend(false);
}

void TTeThemeLuna::DrawTabBackground(TKsBitmap& bitmap, const TRect& rect) {
  NinePart(*FSheet2, bitmap, rect, {153, 344, 168, 362}, 4, /*cornerAlpha=*/false);
}

void TTeThemeLuna::DrawTab(TKsBitmap& bitmap, const TRect& rect, int position, int state) {
  static constexpr int kShift[] = {0, 21, 63, 42};
  TRect cell;
  if (state == ttsNormal)
    cell = {68, 365, 89, 386};
  else if (state == ttsHot)
    cell = {68, 344, 89, 365};
  else if (state == ttsSelected)
    cell = {69, 386, 87, 407};
  else
    return;
  if (position < 0 || position > 3)
    position = 0;
  NinePart(*FSheet2, bitmap, rect, Moved(cell, kShift[position], 0), 4);
}

void TTeThemeLuna::DrawScrollBarHorzArrowButton(TKsBitmap& bitmap, const TRect& rect,
                                                bool towardStart, bool flag, int state) {
  DrawScrollBarArrowButton(bitmap, rect, false, towardStart, state);
}

void TTeThemeLuna::DrawEditFrame(TKsBitmap& bitmap, const TRect& rect, int state) {
  const bool disabled = state == tdsDisabled;
  DrawThemeEditFrame(bitmap, rect, KsColor(disabled ? 7 : 10), KsColor(disabled ? 6 : 9));
}

void TTeThemeLuna::DrawComboButton(TKsBitmap& bitmap, const TRect& rect, int state) {
  if (state < tdsNormal || state > tdsDisabled)
    state = tdsNormal;
  TRect cell{151, 248 + 14 * state, 166, 262 + 14 * state};
  TKsBitmap& s = *FSheet1;
  Copy(s, bitmap, rect.left, rect.top, {cell.left, cell.top, cell.right, cell.top + 3}, false);
  Copy(s, bitmap, rect.left, rect.bottom - 3, {cell.left, cell.bottom - 3, cell.right, cell.bottom},
       false);
  Stretch(s, bitmap, {rect.left, rect.top + 3, rect.right, rect.bottom - 3},
          {cell.left, cell.top + 3, cell.right, cell.bottom - 3}, false);
  Copy(s, bitmap, rect.left + (RectWidth(rect) - 10) / 2, rect.top + (RectHeight(rect) - 7) / 2,
       {155, 314 + 7 * state, 165, 321 + 7 * state}, true);
}

void TTeThemeLuna::DrawToolButton(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                                  bool checked) {
  if (state == tdsDisabled || (flat && state == tdsNormal && !checked))
    return;
  int dx = 0, dy = 0;
  if (!flat) {
    if (state == tdsNormal || state == tdsPressed) {
      dx = checked ? 20 : (state == tdsNormal ? 20 : 40);
      dy = checked ? 23 : 0;
    }
  } else if (state == tdsNormal) {
    dx = 20, dy = 23;
  } else if (state == tdsHot) {
    dx = checked ? 40 : 20;
    dy = checked ? 23 : 0;
  } else if (state == tdsPressed) {
    dx = 40;
  }
  NinePart(*FSheet1, bitmap, rect, Moved({69, 278, 89, 301}, dx, dy), 4);
}

void TTeThemeLuna::DrawToolBarPart(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                                   bool down) {
  DrawToolButton(bitmap, rect, state, flat, down);
  int y = 311 + 3 * state + (down ? 12 : 0);
  Copy(*FSheet1, bitmap, rect.left + (RectWidth(rect) - 6) / 2,
       rect.top + (RectHeight(rect) - 3) / 2, {60, y, 66, y + 3}, true);
}

void TTeThemeLuna::FillBackground(TKsBitmap& bitmap, const TRect& rect) {
  bitmap.FillRect(rect, KsColor(11));
}

void TTeThemeLuna::DrawReBar(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect) {
  TKsColor face = KsColor(11);
  bitmap.FillRect(rect, face);
  bitmap.Draw3DFrame(rect, KsColorLighten(face, 50), KsColorDarken(face, 50));
  FSheet1->SetAlphaBlend(true);
  FSheet1->TileDraw(bitmap, gripRect, {119, 58, 129, 64});
  FSheet1->SetAlphaBlend(false);
}

void TTeThemeLuna::FillBackground2(TKsBitmap& bitmap, const TRect& rect) {
  bitmap.FillRect(rect, KsColor(11));
}

void TTeThemeLuna::DrawScrollBarSizeBox(TKsBitmap& bitmap, const TRect& rect, int state,
                                        bool flag) {
  if (state < tdsNormal || state > tdsDisabled)
    state = tdsNormal;
  NinePart(*FSheet1, bitmap, rect, {132, 278 + 14 * state, 146, 292 + 14 * state}, 3);
}

void TTeThemeLuna::DrawFrameByState(TKsBitmap& bitmap, const TRect& rect, uint8_t flags) {
  // The flag bits are the values 4, 2 and 1.
  if (flags & 4) {
    TRect r = Inflated(rect, 1, 1);
    bitmap.FillRect(r, KsColor(11));
    bitmap.FrameRect(r, KsColor(17));
    return;
  }
  bitmap.FillRect(rect, KsColor(flags & 2 ? 12 : flags & 1 ? 8 : 6));
}

void InitializeTeThemeLuna() { RegisterTheme(&TTeThemeLuna::MetaClass()); }
