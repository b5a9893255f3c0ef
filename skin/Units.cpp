#include "skin/Units.h"

#include "skin/KsBitmap.h"
#include "skin/KsButtonKinds.h"
#include "skin/KsForms.h"
#include "skin/KsHooks.h"
#include "skin/KsItems.h"
#include "skin/KsSpeedButtons.h"
#include "skin/KsTabs.h"
#include "skin/KsThemeItems.h"
#include "skin/KsWinBindings.h"
#include "skin/TeTheme.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeHighlight.h"
#include "skin/TeThemeLines.h"
#include "skin/TeThemeLuna.h"
#include "skin/TeThemeXP.h"
#include "skin/TeThemeXPImpl.h"

std::span<const TUnitEntry> SkinUnits() {
  static const TUnitEntry units[] = {
      // The system colours of the skin bitmap's shared colour values.
      {"KsBitmap", InitializeKsBitmap, nullptr},
      // The application-themed test of "uxtheme.dll" and the layered-window entries.
      {"KsWinBindings", InitializeKsWinBindings, FinalizeKsWinBindings},
      // The hook list, made on first use; its shut-down gives every hooked window back.
      {"KsHooks", nullptr, FinalizeKsHooks},
      // The shared paint buffer of the skinned frames: the host's, or one of the screen's size.
      {"KsForms", InitializeKsForms, FinalizeKsForms},
      // The registry of theme classes: the base theme, then Luna, Highlight and Lines.
      {"TeTheme", InitializeTeTheme, FinalizeTeTheme},
      {"TeThemeLuna", InitializeTeThemeLuna, nullptr},
      {"TeThemeHighlight", InitializeTeThemeHighlight, nullptr},
      {"TeThemeLines", InitializeTeThemeLines, nullptr},
      // The native theme: the cache of visual-style handles and the tracker window that
      // closes them when the visual style changes; then "uxtheme.dll", and the native
      // theme registered last where the application is themed.
      {"TeThemeXPImpl", InitializeTeThemeXPImpl, FinalizeTeThemeXPImpl},
      {"TeThemeXP", InitializeTeThemeXP, FinalizeTeThemeXP},
      // The themed controls, themed form and menu items publish their "ThemeEngine".
      {"TeThemeEngine", InitializeTeThemeEngine, FinalizeTeThemeEngine},
      // The menu items: the menu font, the hidden click handler, the item class.
      {"KsItems", InitializeKsItems, FinalizeKsItems},
      // The themed menu item class, registered for streaming.
      {"KsThemeItems", InitializeKsThemeItems, FinalizeKsThemeItems},
      // The tab sheet class, registered for streaming.
      {"KsTabs", InitializeKsTabs, FinalizeKsTabs},
      // The button glyphs, loaded on first use and freed at shut-down.
      {"KsButtons", nullptr, FinalizeKsButtons},
      // The tool-strip container and divider classes for streaming.
      {"KsSpeedButtons", InitializeKsSpeedButtons, FinalizeKsSpeedButtons},
  };
  return units;
}
