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
  // A rounded rectangle (corner ellipse 3 x 3) for every border style; owned by the caller.
  HRGN GetFormRegion(int width, int height, TKsBorderStyle borderStyle) override;
  static std::string ThemeName() { return "Highlight"; }
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
