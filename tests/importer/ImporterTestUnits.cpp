// The units of the importer's tests: first the stand-in host (its client and exports
// are ready before the plug-in's units bind them) and the stand-in PCB server, then
// the plug-in's units in the plug-in's order.
#include <stdexcept>

#include "classlib/FormatSettings.h"
#include "classlib/Forms.h"
#include "classlib/Win.h"
#include "host/ClientApi.h"
#include "importer/KivoTokenizer.h"
#include "pcb/HostFileSystem.h"
#include "pcb/PcbUnit.h"
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
#include "tests/importer/ImporterTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

void StartHost() {
  standin::StartHost();
  standin::HostOptions().VirtualFolder = VirtualFolder();
  if (!LoadLibraryA("Ravelo.dll"))
    throw std::runtime_error("Ravelo.dll cannot be loaded");
}

const TUnitEntry cUnits[] = {
    {"standin.Host", StartHost, standin::StopHost},
    {"FormatSettings", GetFormatSettings, nullptr},
    {"Forms", InitializeForms, FinalizeForms},
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
    {"PcbApi", InitializePcbUnit, FinalizePcbUnit},
    {"HostFileSystem", InitializeHostFileSystem, FinalizeHostFileSystem},
    {"KivoTokenizer", InitializeKivoTokenizer, nullptr},
};

}  // namespace

std::span<const TUnitEntry> TestUnits() { return cUnits; }
