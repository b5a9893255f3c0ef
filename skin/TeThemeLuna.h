// TTeThemeLuna ("Luna"): the bitmap theme. Sizes, colours and fonts come from fixed
// tables; forms, caption buttons, push buttons, check marks and the other control parts
// are cells copied out of two 24-bit sheets carried as the RCDATA resources "XP_MAIN"
// and "XP_MAIN1" of the module that holds this code, whose RGB(255, 0, 255) pixels are
// transparent. Menus and group boxes are drawn with lines and fills in the theme's
// colours. A missing resource raises EResNotFound out of the constructor or Changed.
//
// Changed rebuilds both sheets from the resources and applies only the shifts whose
// delta is not 0: the hue shift quantises hues, so a zero shift is not an identity and
// would make a brightness round trip leave the sheets changed.
#pragma once

#include <memory>

#include "skin/KsBitmap.h"
#include "skin/TeTheme.h"

class TTeThemeLuna : public TTeTheme {
  KIVO_CLASS(TTeThemeLuna, TTeTheme)

 public:
  TTeThemeLuna();
  ~TTeThemeLuna() override;

  // The two sheets (for drawing code and tests).
  TKsBitmap* GetSheet1() const { return FSheet1.get(); }
  TKsBitmap* GetSheet2() const { return FSheet2.get(); }

  void Changed() override;
  TE_THEME_DRAWING_OVERRIDES
  static std::string ThemeName() { return "Luna"; }
  bool IsAvailable() override { return true; }

 private:
  void LoadSheets();
  // The theme's colour of a kind as a pixel.
  TKsColor KsColor(uint8_t kind) { return ColorToKsColor(GetColor(kind), 255); }
  void SetFont(TKsBitmap& bitmap, uint8_t kind);
  static void Copy(TKsBitmap& sheet, TKsBitmap& dest, int x, int y, const TRect& cell, bool alpha);
  static void Stretch(TKsBitmap& sheet, TKsBitmap& dest, const TRect& dst, const TRect& cell,
                      bool alpha);
  // Corners with alpha (unless `cornerAlpha` is false), edges and centre stretched.
  static void NinePart(TKsBitmap& sheet, TKsBitmap& dest, const TRect& dst, const TRect& cell,
                       int margin, bool cornerAlpha = true);

  std::unique_ptr<TKsBitmap> FSheet1;
  std::unique_ptr<TKsBitmap> FSheet2;
};

// Start-up of the Luna unit: registers the theme after the base theme.
void InitializeTeThemeLuna();
