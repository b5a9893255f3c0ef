// TTeThemeLines ("Lines"): the Highlight theme with a cooler, greyer colour table (fixed
// caption colours, silver and light grey faces instead of system colours) and a striped
// look: its caption band and its highlighted menu items carry grey lines every 3 pixels.
// Every other part is drawn exactly as the Highlight theme draws it.
#pragma once

#include "skin/TeThemeHighlight.h"

class TTeThemeLines : public TTeThemeHighlight {
  KIVO_CLASS(TTeThemeLines, TTeThemeHighlight)

 public:
  TTeThemeLines() = default;
  ~TTeThemeLines() override = default;

  TColor GetColor(uint8_t kind) override;
  // One colour over the caption band, striped from the frame's top row.
  void DrawFormFrame(TKsBitmap& bitmap, int width, int height, const TRect& clientRect,
                     bool active, TKsBorderStyle borderStyle) override;
  // A hot (selected, not pressed) menu-bar item is striped.
  void DrawMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,
                           bool selected, bool pressed) override;
  // A selected popup item is striped under its caption.
  void DrawPopupItemData(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,
                         bool selected, bool pressed) override;
  // The grip is light blue (colour 8).
  void DrawReBar(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect) override;
  static std::string ThemeName() { return "Lines"; }
};

// Start-up of the Lines unit: registers the theme (after Highlight).
void InitializeTeThemeLines();
