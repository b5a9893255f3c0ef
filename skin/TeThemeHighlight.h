// TTeThemeHighlight ("Highlight"): a vector theme. Every part is drawn with fills,
// gradients, rounded outlines, one-pixel bevels and the system's frame-control glyphs
// in a blue-and-grey scheme, without bitmap resources. Colours come from a fixed table
// (some entries are system colours) and pass the hue and brightness adjustment on every
// GetColor call, so the theme keeps no state and Changed has nothing to do. Nothing fails.
//
// The stripes that the Lines theme (and the selected MDI icon button here) draw every
// 3 pixels are clipped to the rectangle they stripe: their count follows the height
// (height div 2 + 1 lines), which would otherwise paint up to half a height below the
// part, over the next menu item or the client area.
#pragma once

#include <array>

#include "skin/KsBitmap.h"
#include "skin/TeTheme.h"

class TTeThemeHighlight : public TTeTheme {
  KIVO_CLASS(TTeThemeHighlight, TTeTheme)

 public:
  TTeThemeHighlight() = default;
  ~TTeThemeHighlight() override = default;

  void Changed() override {}
  TE_THEME_DRAWING_OVERRIDES
  static std::string ThemeName() { return "Highlight"; }
  bool IsAvailable() override { return true; }

  // The colour of the buttons' states: 3 disabled colour 9, 2 and 4 colour 8, 1 hot
  // colour 12, any other colour 11.
  TKsColor StateColor(int state);

 protected:
  // The colour table: RGB values or system colours; kinds without an entry hold the
  // default colour.
  using TColorTable = std::array<TColor, 26>;
  TColor TableColor(const TColorTable& table, uint8_t kind);
  // A table colour shifted by DeltaHue, then by DeltaBrightness.
  TColor AdjustColor(TColor color);
  // The theme's colour of a kind as an opaque pixel.
  TKsColor KsColor(uint8_t kind) { return ColorToKsColor(GetColor(kind), 255); }
  void SetFont(TKsBitmap& bitmap, uint8_t kind);

  // The rounded dark blue outline and the three silver rings of a form frame.
  void DrawFrameBorder(TKsBitmap& bitmap, int width, int height);
  void DrawMenuBarItemStriped(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,
                              bool selected, bool pressed, bool striped);
  void DrawPopupItemStriped(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,
                            bool selected, bool pressed, bool striped);
  void DrawReBarWithGrip(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect,
                         TKsColor gripColor);
  // A button face: rounded outline in colour 7, the inside in the state colour with a
  // one-pixel bevel, sunken for state 2.
  void DrawButtonFace(TKsBitmap& bitmap, const TRect& rect, int state);
  // A filled rounded face in colour kind `face` with a rounded outline in colour 7.
  void DrawRoundFace(TKsBitmap& bitmap, const TRect& rect, uint8_t face);
};

// Grey one-pixel lines across `rect` at rows y0 + 3i for i = 0 to height div 2, only
// where they fall inside `rect`.
void DrawLinePattern(TKsBitmap& bitmap, const TRect& rect, int y0);

// The shared colours the vector themes use by value.
constexpr TKsColor kHighlightDarkBlue = KsColorARGB(255, 0, 51, 153);
constexpr TKsColor kHighlightPaleGrey = KsColorARGB(255, 237, 237, 238);
constexpr TKsColor kHighlightSilver = KsColorARGB(255, 210, 210, 210);
constexpr TKsColor kHighlightGrey = KsColorARGB(255, 168, 168, 168);

// Start-up of the Highlight unit: registers the theme (after Luna).
void InitializeTeThemeHighlight();
