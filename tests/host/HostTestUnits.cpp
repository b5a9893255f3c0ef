// The units host_tests starts: first the stand-in host (its client and exports are
// ready before the framework binds them), then the framework's units in the plug-in's
// order, with the skin's and the XP edits' units the dialog theming needs. The
// dialog-theme unit itself is started by the tests that theme dialogs.
#include "classlib/FormatSettings.h"
#include "classlib/Forms.h"
#include "host/ClientApi.h"
#include "host/ParameterList.h"
#include "host/Utilities.h"
#include "skin/KsBitmap.h"
#include "skin/KsButtonKinds.h"
#include "skin/KsForms.h"
#include "skin/KsHooks.h"
#include "skin/KsItems.h"
#include "skin/KsThemeItems.h"
#include "skin/KsWinBindings.h"
#include "skin/TeTheme.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeLuna.h"
#include "skin/TeThemeXP.h"
#include "skin/TeThemeXPImpl.h"
#include "standin/host/StandinHost.h"
#include "tests/support/TestSupport.h"
#include "xpcontrols/XPEdit.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"standin.Host", standin::StartHost, standin::StopHost},
      {"FormatSettings", GetFormatSettings, nullptr},
      {"Forms", InitializeForms, FinalizeForms},
      {"host.ParameterList", InitializeParameterList, FinalizeParameterList},
      {"KsBitmap", InitializeKsBitmap, nullptr},
      {"KsWinBindings", InitializeKsWinBindings, FinalizeKsWinBindings},
      {"KsHooks", nullptr, FinalizeKsHooks},
      {"KsForms", InitializeKsForms, FinalizeKsForms},
      {"TeTheme", InitializeTeTheme, FinalizeTeTheme},
      {"TeThemeLuna", InitializeTeThemeLuna, nullptr},
      {"TeThemeXPImpl", InitializeTeThemeXPImpl, FinalizeTeThemeXPImpl},
      {"TeThemeXP", InitializeTeThemeXP, FinalizeTeThemeXP},
      {"TeThemeEngine", InitializeTeThemeEngine, FinalizeTeThemeEngine},
      {"KsItems", InitializeKsItems, FinalizeKsItems},
      {"KsThemeItems", InitializeKsThemeItems, FinalizeKsThemeItems},
      {"KsButtons", nullptr, FinalizeKsButtons},
      {"host.ClientApi", InitializeClientApi, FinalizeClientApi},
      {"host.Utilities", InitializeUtilities, FinalizeUtilities},
      {"XPEdit", InitializeXPEdit, FinalizeXPEdit},
  };
  return units;
}
