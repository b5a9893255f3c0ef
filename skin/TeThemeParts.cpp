#include "skin/TeThemeParts.h"

#include "classlib/SysUtils.h"
#include "skin/KsItems.h"

namespace {

TRect Inflated(const TRect& r, int dx, int dy) {
  return TRect{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

TKsColor ThemeColor(TTeTheme& theme, uint8_t kind) {
  return ColorToKsColor(theme.GetColor(kind), 255);
}

}  // namespace

void SetThemeFont(TTeTheme& theme, TKsBitmap& bitmap, uint8_t kind) {
  std::string name;
  theme.GetFontName(kind, name);
  TFont* font = bitmap.GetFont();
  font->SetName(name);
  font->SetSize(theme.GetFontSize(kind));
  TFontStyles style;
  if (theme.GetFontBold(kind))
    style.Include(fsBold);
  font->SetStyle(style);
}

void MeasureThemeMenuBarItem(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                             int& width, int& height) {
  SetThemeFont(theme, bitmap, 2);
  width = bitmap.TextWidth(item.Caption, 0) + 12;
  height = theme.GetSize(14);
}

void MeasureThemePopupItem(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                           int& width, int& height) {
  SetThemeFont(theme, bitmap, 3);
  height = item.Caption == "-" ? 9 : theme.GetSize(14);
  width = bitmap.TextWidth(item.Caption, 0) + 42 + bitmap.TextWidth(item.ShortCutText, 0) + 16;
}

void DrawThemePopupSeparator(TKsBitmap& bitmap, const TRect& rect, TKsColor face) {
  bitmap.FillRect(rect, face);
  TRect line = Inflated(rect, -2, -4);
  line.bottom = line.top + 1;
  bitmap.FillRect(line, ColorToKsColor(clBtnShadow, 255));
}

void DrawThemeMenuBarItem(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                          const TRect& rect, bool selected, bool pressed, bool framed) {
  SetThemeFont(theme, bitmap, 2);
  bitmap.FillRect(rect, ThemeColor(theme, item.OnControlBar ? 11 : 14));
  const TRect r = Inflated(rect, -1, -1);
  uint8_t fontColor = 18;
  if (selected && item.OnControlBar) {
    theme.DrawToolButton(bitmap, r, pressed ? tdsNormal : tdsPressed, false, false);
  } else if (selected) {
    bitmap.FillRect(r, ThemeColor(theme, 15));
    fontColor = 19;
    if (framed)
      bitmap.FrameRect(r, ThemeColor(theme, 13));
  }
  bitmap.GetFont()->SetColor(theme.GetColor(fontColor));
  bitmap.DrawText(item.Caption, r, theme.DrawTextBiDiModeFlags(37));
}

void DrawThemePopupFrame(TTeTheme& theme, TKsBitmap& bitmap, int width, int height) {
  TRect r{0, 0, width, height};
  bitmap.FrameRect(r, ThemeColor(theme, 13));
  r = Inflated(r, -1, -1);
  bitmap.FrameRect(r, ThemeColor(theme, 16));
  bitmap.FrameRect(Inflated(r, -1, -1), ThemeColor(theme, 16));
}

void DrawThemePopupItem(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                        const TRect& rect, bool selected) {
  if (item.Caption == "-") {
    DrawThemePopupSeparator(bitmap, rect, ThemeColor(theme, 16));
    return;
  }
  SetThemeFont(theme, bitmap, 3);
  const TKsColor background = ThemeColor(theme, selected ? 17 : 16);
  bitmap.FillRect(rect, background);
  TColor fontColor = theme.GetColor(selected ? 21 : 20);
  if (selected)
    bitmap.FrameRect(rect, ThemeColor(theme, 13));
  DrawThemePopupItemContent(theme, bitmap, item, rect, fontColor);
  if (item.HasSubItems)
    DrawMenuArrow(bitmap, {rect.right - 18, rect.top, rect.right - 2, rect.bottom}, background,
                  ColorToKsColor(fontColor, 255));
}

void DrawThemePopupItemContent(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                               const TRect& rect, TColor& fontColor) {
  const TRect box{rect.left, rect.top, rect.left + 22, rect.bottom};
  if (item.Images && item.ImageIndex >= 0)
    DrawMenuImage(bitmap, item.Images, item.ImageIndex, box, item.Enabled);
  else if (item.Checked)
    DrawMenuCheckMark(bitmap, box);
  const TRect text{rect.left + 26, rect.top, rect.right, rect.bottom};
  if (!item.Enabled)
    fontColor = theme.GetColor(22);
  bitmap.GetFont()->SetColor(fontColor);
  bitmap.DrawText(item.Caption, text, theme.DrawTextBiDiModeFlags(36));
  if (item.ShortCutText.empty())
    return;
  TRect shortCut = text;
  shortCut.right -= RectHeight(text);
  bitmap.DrawText(item.ShortCutText, shortCut, theme.DrawTextBiDiModeFlags(38));
}

void DrawThemeGroupBox(TTeTheme& theme, TKsBitmap& bitmap, const TRect& r,
                       const TRect& captionRect, const std::string& caption, TKsColor c) {
  bitmap.DrawLine({r.left + 2, r.top}, {captionRect.left, r.top}, c);
  const TPoint path[] = {{captionRect.right, r.top},  {r.right - 2, r.top},
                         {r.right, r.top + 2},        {r.right, r.bottom - 2},
                         {r.right - 2, r.bottom},     {r.left + 2, r.bottom},
                         {r.left, r.bottom - 2},      {r.left, r.top + 2},
                         {r.left + 2, r.top}};
  bitmap.MoveTo(path[0].x, path[0].y);
  for (size_t i = 1; i < std::size(path); ++i)
    bitmap.LineTo(path[i].x, path[i].y, c);
  bitmap.DrawText(caption, captionRect, theme.DrawTextBiDiModeFlags(37));
}

void DrawThemeProgressBar(TKsBitmap& bitmap, const TRect& rect, const TRect& barRect,
                          bool vertical, bool smooth, TKsColor color) {
  if (smooth) {
    bitmap.FillRect(barRect, color);
    return;
  }
  int across = vertical ? RectWidth(rect) : RectHeight(rect);
  int block = static_cast<int>(Round(across * 0.64)) + 2;
  int count = (vertical ? RectHeight(barRect) : RectWidth(barRect)) / block;
  if (count <= 0)
    return;
  for (int i = 0; i <= count; ++i) {
    TRect piece = rect;
    if (vertical) {
      piece.top = rect.bottom - (block - 2) - i * block;
      piece.bottom = rect.bottom - i * block;
    } else {
      piece.left = rect.left + i * block;
      piece.right = piece.left + block - 2;
    }
    TRect clipped;
    if (IntersectRect(&clipped, &piece, &rect))
      bitmap.FillRect(clipped, color);
  }
}

void DrawThemeEditFrame(TKsBitmap& bitmap, const TRect& rect, TKsColor outer, TKsColor inner) {
  TRect r = rect;
  bitmap.FrameRect(r, outer);
  r = Inflated(r, -1, -1);
  bitmap.FrameRect(r, inner);
  bitmap.FrameRect(Inflated(r, -1, -1), inner);
}
