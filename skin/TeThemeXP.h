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
  TE_THEME_DRAWING_OVERRIDES
  static std::string ThemeName() { return "XP ThemeAPI"; }
  bool IsAvailable() override;

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
