// TTeThemeXP ("XP ThemeAPI"): the native theme. Instead of drawing its own artwork it
// has the system's visual-style library draw every part, so that skinned dialogs look
// like the native controls of the running visual style. Each operation takes the cached
// handle of a visual-style class (TeThemeXPImpl), draws one part in one state on the
// bitmap's device context and releases the handle; a class the style cannot open draws
// nothing, except the menu parts, which then draw themselves with fills and text.
// Sizes come partly from the style's part sizes, colours from the system colours, without
// hue or brightness shifts. The theme is registered only where the application is
// themed, so the engine cannot select it elsewhere.
//
// Decisions and mended faults:
// - Menu items drawn over the style's menu part also get their caption, short cut, check
//   mark or image and sub-menu arrow (the part alone left them blank). Where the style
//   opens the "Menu" class but lacks the part (Wine's light style has none of them), the
//   menu parts draw as without a handle.
// - GetFormRegion answers no region whenever the library fails: the region it hands
//   back is then undefined and the caller would own and delete a stray handle.
// - A part size the style cannot give answers 0, never a negative size.
// - DrawReBar fills and frames the band even when the style has no "ReBar" class; only
//   the grip is the style's.
#pragma once

#include "skin/KsBitmap.h"
#include "skin/TeTheme.h"

class TTeThemeXP : public TTeTheme {
  KIVO_CLASS(TTeThemeXP, TTeTheme)

 public:
  TTeThemeXP() = default;
  ~TTeThemeXP() override = default;

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
  // Close: the header's close button; otherwise the expand (down) or collapse button.
  // State 2 is pressed.
  void DrawExplorerBarButton(TKsBitmap& bitmap, const TRect& rect, bool close, int state,
                             bool down) override;
  void DrawGroupBox(TKsBitmap& bitmap, const TRect& rect, const TRect& captionRect,
                    const std::string& caption) override;
  // `vertical`: the vertical track.
  void DrawScrollBarTrack(TKsBitmap& bitmap, const TRect& rect, bool vertical) override;
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
                       bool checked) override;
  void FillBackground(TKsBitmap& bitmap, const TRect& rect) override;
  void DrawReBar(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect) override;
  void FillBackground2(TKsBitmap& bitmap, const TRect& rect) override;
  void DrawScrollBarSizeBox(TKsBitmap& bitmap, const TRect& rect, int state, bool flag) override;
  void DrawFrameByState(TKsBitmap& bitmap, const TRect& rect, uint8_t flags) override;
  // The style's caption region for the whole frame; null without a handle or when the
  // library fails. Owned by the caller.
  HRGN GetFormRegion(int width, int height, TKsBorderStyle borderStyle) override;
  static std::string ThemeName() { return "XP ThemeAPI"; }
  bool IsAvailable() override;

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
  // The tool bar's parts, by the tool-button state table.
  void DrawToolBarButtonPart(TKsBitmap& bitmap, const TRect& rect, int part, int state,
                             bool flat, bool checked);
  TKsColor KsColor(uint8_t kind) { return ColorToKsColor(GetColor(kind), 255); }
};

// Start-up of the native theme: when an application object exists and is not being
// designed, binds the visual-style library, and registers the theme when the
// application is themed. Shut-down frees the library.
void InitializeTeThemeXP();
void FinalizeTeThemeXP();
