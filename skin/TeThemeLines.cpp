#include "skin/TeThemeLines.h"

namespace {

constexpr TColor Rgb(int r, int g, int b) { return TColor(r | g << 8 | b << 16); }

constexpr std::array<TColor, 26> kColors = {
    Rgb(100, 160, 255), Rgb(168, 168, 168), Rgb(0, 0, 0),       Rgb(255, 255, 255),
    kThemeDefaultColor,      Rgb(255, 255, 255), Rgb(235, 235, 238), Rgb(0, 51, 153),
    Rgb(100, 160, 255), Rgb(254, 254, 251), Rgb(197, 197, 177), Rgb(210, 210, 210),
    Rgb(248, 199, 81),  Rgb(0, 51, 153),    Rgb(235, 235, 238), Rgb(100, 160, 255),
    Rgb(235, 235, 238), Rgb(100, 160, 255), Rgb(0, 0, 0),       Rgb(255, 255, 255),
    Rgb(0, 0, 0),       Rgb(255, 255, 255), Rgb(128, 128, 128), Rgb(0, 0, 0),
    Rgb(149, 206, 255), Rgb(49, 106, 197)};

}  // namespace

TColor TTeThemeLines::GetColor(uint8_t kind) { return TableColor(kColors, kind); }

void TTeThemeLines::DrawFormFrame(TKsBitmap& bitmap, int width, int height,
                                  const TRect& clientRect, bool active,
                                  TKsBorderStyle borderStyle) {
  const TRect band{clientRect.left, clientRect.left, clientRect.right, clientRect.top};
  bitmap.FillRect(band, KsColor(active ? 0 : 1));
  // The stripes count from the frame's top row, so that every frame height shows them at
  // the same rows.
  DrawLinePattern(bitmap, band, 0);
  bitmap.RoundRect(band, 3, KsColor(7));
  DrawFrameBorder(bitmap, width, height);
}

void TTeThemeLines::DrawMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                        const TRect& rect, bool selected, bool pressed) {
  DrawMenuBarItemStriped(bitmap, item, rect, selected, pressed, true);
}

void TTeThemeLines::DrawPopupItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                      const TRect& rect, bool selected, bool pressed) {
  DrawPopupItemStriped(bitmap, item, rect, selected, pressed, true);
}

void TTeThemeLines::DrawReBar(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect) {
  DrawReBarWithGrip(bitmap, rect, gripRect, KsColor(8));
}

void InitializeTeThemeLines() { RegisterTheme(&TTeThemeLines::MetaClass()); }
