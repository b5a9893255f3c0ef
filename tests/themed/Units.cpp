// The units the themed tests start: the skin's, as the plug-in starts them. The dialog
// theming is started by the tests that theme dialogs.
#include "classlib/Forms.h"
#include "skin/KsBitmap.h"
#include "skin/KsButtonKinds.h"
#include "skin/KsForms.h"
#include "skin/KsHooks.h"
#include "skin/KsItems.h"
#include "skin/KsThemeItems.h"
#include "skin/KsWinBindings.h"
#include "skin/TeTheme.h"
#include "skin/TeThemeEngine.h"
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
      {"KsHooks", nullptr, FinalizeKsHooks},
      {"KsForms", InitializeKsForms, FinalizeKsForms},
      {"TeTheme", InitializeTeTheme, FinalizeTeTheme},
      {"TeThemeLuna", InitializeTeThemeLuna, nullptr},
      {"TeThemeHighlight", InitializeTeThemeHighlight, nullptr},
      {"TeThemeLines", InitializeTeThemeLines, nullptr},
      {"TeThemeXPImpl", InitializeTeThemeXPImpl, FinalizeTeThemeXPImpl},
      {"TeThemeXP", InitializeTeThemeXP, FinalizeTeThemeXP},
      {"TeThemeEngine", InitializeTeThemeEngine, FinalizeTeThemeEngine},
      {"KsItems", InitializeKsItems, FinalizeKsItems},
      {"KsThemeItems", InitializeKsThemeItems, FinalizeKsThemeItems},
      {"KsButtons", nullptr, FinalizeKsButtons},
  };
  return units;
}
