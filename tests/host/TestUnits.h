// The units host_tests starts: first the stand-in host (its client and exports are
// ready before the framework binds them), then the framework's units in the plug-in's
// order, with the skin's and the XP edits' units the dialog theming needs. The
// dialog-theme unit itself is started by the tests that theme dialogs.
#pragma once

#include "classlib/Units.h"
#include "host/Units.h"
#include "skin/Units.h"
#include "standin/host/StandinHost.h"
#include "xpcontrols/Units.h"

inline std::span<const TUnitEntry> HostTestUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Add({"standin.Host", standin::StartHost, standin::StopHost})
                                      .Pick(ClassLibUnits(), {"FormatSettings", "Forms"})
                                      .Pick(SkinUnits(), {"KsBitmap", "KsWinBindings", "KsHooks", "KsForms", "TeTheme",
                                                          "TeThemeLuna", "TeThemeXPImpl", "TeThemeXP", "TeThemeEngine",
                                                          "KsItems", "KsThemeItems", "KsButtons"})
                                      .Pick(HostUnits(), {"host.ParameterList", "host.ClientApi", "host.Utilities"})
                                      .Pick(XPControlsUnits(), {"XPEdit"});
  return units;
}
