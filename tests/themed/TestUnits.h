// The units themed_tests starts: the forms, then the skin's themes, menu items and the
// themed frame's parts, as the plug-in starts them. The dialog theming is started by the
// tests that theme dialogs.
#pragma once

#include "classlib/Units.h"
#include "skin/Units.h"

inline std::span<const TUnitEntry> ThemedTestUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Pick(ClassLibUnits(), {"Forms"})
                                      .Pick(SkinUnits(), {"KsBitmap", "KsWinBindings", "KsHooks", "KsForms", "TeTheme",
                                                          "TeThemeLuna", "TeThemeHighlight", "TeThemeLines",
                                                          "TeThemeXPImpl", "TeThemeXP", "TeThemeEngine", "KsItems",
                                                          "KsThemeItems", "KsButtons"});
  return units;
}
