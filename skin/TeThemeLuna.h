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
  int GetSize(uint8_t kind) override;
  TColor GetColor(uint8_t kind) override;
  void GetFontName(uint8_t kind, std::string& name) override;
  int GetFontSize(uint8_t kind) override;
  bool GetFontBold(uint8_t kind) override;
  void DrawCaptionButton(TKsBitmap& bitmap, const TRect& rect, int kind, bool hot, bool pressed,
                         bool active, TKsBorderStyle borderStyle) override;
  void DrawFormFrame(TKsBitmap& bitmap, int width, int height, const TRect& clientRect,
                     bool active, TKsBorderStyle borderStyle) override;
  void DrawMenuBarBackground(TKsBitmap& bitmap, int width, int height) override;
  void DrawPopupFrame(TKsBitmap& bitmap, int width, int height) override;
  void DrawButton(TKsBitmap& bitmap, int width, int height, int state) override;
  void DrawCheckBox(TKsBitmap& bitmap, const TRect& rect, int drawState, int checkState) override;
  void DrawRadioButton(TKsBitmap& bitmap, const TRect& rect, int drawState, bool checked) override;
  void DrawTrackBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical, int shape,
                         int state) override;
  void DrawTrackBarTrack(TKsBitmap& bitmap, const TRect& rect, const TRect& selectionRect) override;
  void DrawProgressFrame(TKsBitmap& bitmap, const TRect& rect) override;
  void DrawProgressBar(TKsBitmap& bitmap, const TRect& rect, const TRect& barRect, bool vertical,
                       bool smooth) override;
  void DrawExplorerBarHeader(TKsBitmap& bitmap, const TRect& rect, bool flag) override;
  void DrawExplorerBarGroup(TKsBitmap& bitmap, const TRect& rect,
                            const std::string& caption) override;
  void DrawExplorerBarButton(TKsBitmap& bitmap, const TRect& rect, bool close, int state,
                             bool down) override;
  void DrawGroupBox(TKsBitmap& bitmap, const TRect& rect, const TRect& captionRect,
                    const std::string& caption) override;
  void DrawScrollBarTrack(TKsBitmap& bitmap, const TRect& rect, bool pressed) override;
  void DrawScrollBarArrowButton(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                bool towardStart, int state) override;
  void DrawScrollBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical, int state) override;
  void DrawTabBackground(TKsBitmap& bitmap, const TRect& rect) override;
  void DrawTab(TKsBitmap& bitmap, const TRect& rect, int position, int state) override;
  void DrawScrollBarHorzArrowButton(TKsBitmap& bitmap, const TRect& rect, bool towardStart,
                                    bool flag, int state) override;
  void DrawEditFrame(TKsBitmap& bitmap, const TRect& rect, int state) override;
  void DrawComboButton(TKsBitmap& bitmap, const TRect& rect, int state) override;
  void DrawToolButton(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                      bool checked) override;
  void DrawToolBarPart(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                       bool down) override;
  void FillBackground(TKsBitmap& bitmap, const TRect& rect) override;
  void DrawReBar(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect) override;
  void FillBackground2(TKsBitmap& bitmap, const TRect& rect) override;
  void DrawScrollBarSizeBox(TKsBitmap& bitmap, const TRect& rect, int state, bool flag) override;
  void DrawFrameByState(TKsBitmap& bitmap, const TRect& rect, uint8_t flags) override;
  HRGN GetFormRegion(int width, int height, TKsBorderStyle borderStyle) override;
  static std::string ThemeName() { return "Luna"; }
  bool IsAvailable() override { return true; }

  // Menu items by their values (the item-taking operations hand theirs over).
  void MeasureMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,
                              int& height) override;
  void MeasurePopupItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,
                            int& height) override;
  void DrawMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,
                           bool selected, bool pressed) override;
  void DrawMenuBarButtonData(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,
                             bool selected, bool pressed) override;
  void DrawPopupItemData(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,
                         bool selected, bool pressed) override;

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
