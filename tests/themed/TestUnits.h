// The units themed_tests starts: the forms, then the skin's themes and menu items, as the
// plug-in starts them.
#pragma once

#include "classlib/Units.h"
#include "skin/Units.h"

inline std::span<const TUnitEntry> ThemedTestUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Pick(ClassLibUnits(), {"Forms"})
                                      .Pick(SkinUnits(), {"KsBitmap", "KsWinBindings", "TeTheme", "TeThemeLuna",
                                                          "TeThemeHighlight", "TeThemeLines", "TeThemeXPImpl",
                                                          "TeThemeXP", "KsItems"});
  return units;
}
