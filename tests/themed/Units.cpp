// The units the themed tests start: the skin's, as the plug-in starts them.
#include "classlib/Forms.h"
#include "skin/KsBitmap.h"
#include "skin/KsItems.h"
#include "skin/KsWinBindings.h"
#include "skin/TeTheme.h"
#include "skin/TeThemeHighlight.h"
#include "skin/TeThemeLines.h"
#include "skin/TeThemeLuna.h"
#include "skin/TeThemeXP.h"
#include "skin/TeThemeXPImpl.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"Forms", InitializeForms, FinalizeForms},
      {"KsBitmap", InitializeKsBitmap, nullptr},
      {"KsWinBindings", InitializeKsWinBindings, FinalizeKsWinBindings},
      {"TeTheme", InitializeTeTheme, FinalizeTeTheme},
      {"TeThemeLuna", InitializeTeThemeLuna, nullptr},
      {"TeThemeHighlight", InitializeTeThemeHighlight, nullptr},
      {"TeThemeLines", InitializeTeThemeLines, nullptr},
      {"TeThemeXPImpl", InitializeTeThemeXPImpl, FinalizeTeThemeXPImpl},
      {"TeThemeXP", InitializeTeThemeXP, FinalizeTeThemeXP},
      {"KsItems", InitializeKsItems, FinalizeKsItems},
  };
  return units;
}
