// Drawing steps shared by the themes that draw menus and control parts with lines and
// fills (Luna, Highlight, Lines): the theme's fonts, menu-item measuring, the inside of a
// popup item, the group-box outline, progress blocks and edit frames. Each asks the
// theme for its fonts and colours; none fails.
#pragma once

#include <string>

#include "skin/KsBitmap.h"
#include "skin/TeTheme.h"

// The bitmap's font becomes the theme's font of `kind` (name, size, bold).
void SetThemeFont(TTeTheme& theme, TKsBitmap& bitmap, uint8_t kind);
// A menu-bar item: caption width + 12 in font kind 2, the theme's item height (size 14).
void MeasureThemeMenuBarItem(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                             int& width, int& height);
// A popup item: 9 high for a separator ("-"), else the item height; caption + 42 + short
// cut + 16 wide in font kind 3.
void MeasureThemePopupItem(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                           int& width, int& height);
// A separator: `rect` in `face` with one shadow line 4 rows down, 2 pixels in.
void DrawThemePopupSeparator(TKsBitmap& bitmap, const TRect& rect, TKsColor face);
// A menu-bar item: `rect` in colour 11 on a control bar, else 14; inside it, shrunk by
// 1, a selected item on a control bar is a tool button (state 0 pressed, else 2) and one
// elsewhere is filled with colour 15 (and framed in colour 13 when `framed`); the caption
// is centred in font kind 2, colour 19 over that fill, else 18.
void DrawThemeMenuBarItem(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                          const TRect& rect, bool selected, bool pressed, bool framed);
// A popup frame: a ring in colour 13 with two rings in colour 16 inside it.
void DrawThemePopupFrame(TTeTheme& theme, TKsBitmap& bitmap, int width, int height);
// A popup item: a separator, or the item filled with colour 17 framed in 13 (selected,
// font colour 21) or with colour 16 (font colour 20), its content and its sub-menu arrow.
void DrawThemePopupItem(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                        const TRect& rect, bool selected);
// The image or check mark in the 22-pixel glyph box, the caption from Left + 26 and the
// right-aligned short cut, in `fontColor` (which becomes colour 22 for a disabled item).
void DrawThemePopupItemContent(TTeTheme& theme, TKsBitmap& bitmap, const TTeItemData& item,
                               const TRect& rect, TColor& fontColor);
// The cut-corner outline around `rect`, open over `captionRect`, and the caption in it.
void DrawThemeGroupBox(TTeTheme& theme, TKsBitmap& bitmap, const TRect& rect,
                       const TRect& captionRect, const std::string& caption, TKsColor color);
// `barRect` filled when smooth, else blocks of the bar's thickness x 0.64 + 2 along it.
void DrawThemeProgressBar(TKsBitmap& bitmap, const TRect& rect, const TRect& barRect,
                          bool vertical, bool smooth, TKsColor color);
// A ring in `outer` and two rings inside it in `inner`.
void DrawThemeEditFrame(TKsBitmap& bitmap, const TRect& rect, TKsColor outer, TKsColor inner);
