// The units XPSheet starts: the forms, then the skin's bitmap colours, system bindings,
// theme registry with every theme and the menu items' fonts, in the plug-in's order.
#pragma once

#include "classlib/Units.h"
#include "skin/Units.h"

inline std::span<const TUnitEntry> XPSheetUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Pick(ClassLibUnits(), {"Forms"})
                                      .Pick(SkinUnits(), {"KsBitmap", "KsWinBindings", "TeTheme", "TeThemeLuna",
                                                          "TeThemeHighlight", "TeThemeLines", "TeThemeXPImpl",
                                                          "TeThemeXP", "KsItems"});
  return units;
}
