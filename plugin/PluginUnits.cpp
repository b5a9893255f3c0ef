#include "plugin/PluginUnits.h"

#include "classlib/ComCtrls.h"
#include "classlib/FormatSettings.h"
#include "classlib/Forms.h"
#include "containers/FreeNotifyHook.h"
#include "editors/DxEditStyle.h"
#include "editors/DxExEdtr.h"
#include "editors/DxGrDate.h"
#include "editors/DxInplaceTextEdit.h"
#include "editors/DxUtils.h"
#include "host/ClientApi.h"
#include "host/EDAClientMessageForm.h"
#include "host/ParameterList.h"
#include "host/Utilities.h"
#include "importer/KIVOImporterServerModule.h"
#include "importer/KivoTokenizer.h"
#include "pcb/HostFileSystem.h"
#include "pcb/PcbUnit.h"
#include "skin/KsBitmap.h"
#include "skin/KsButtonKinds.h"
#include "skin/KsForms.h"
#include "skin/KsHooks.h"
#include "skin/KsItems.h"
#include "skin/KsThemeItems.h"
#include "skin/KsSpeedButtons.h"
#include "skin/KsTabs.h"
#include "skin/KsWinBindings.h"
#include "skin/TeTheme.h"
#include "skin/TeThemeHighlight.h"
#include "skin/TeThemeLines.h"
#include "skin/TeThemeLuna.h"
#include "skin/TeThemeXP.h"
#include "skin/TeThemeXPImpl.h"
#include "treelist/DxTreeListDraw.h"
#include "xpcontrols/XPEdit.h"
#include "xpcontrols/XPThemeBinding.h"
#include "xpcontrols/XPUtils.h"

// Start-up order of the plug-in's units; shut-down runs it backwards. A unit is added
// here, in its place, when it has start-up or shut-down work.
std::span<const TUnitEntry> PluginUnits() {
  static const TUnitEntry units[] = {
      // The locale's number, date and currency conventions.
      {"FormatSettings", GetFormatSettings, nullptr},
      // The class library's Screen and Application (exception handling at every boundary).
      // The common-control classes; frees "RICHED20.DLL" after the forms are gone.
      {"ComCtrls", InitializeComCtrls, FinalizeComCtrls},
      {"Forms", InitializeForms, FinalizeForms},
      // The parameter-string cache.
      {"host.ParameterList", InitializeParameterList, FinalizeParameterList},
      // The skin library's units (paint buffer, hook list, layered-window and
      // visual-style bindings, theme registry) start here.
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
      // The host's "ClientApi_" entry points and its IClient.
      {"host.ClientApi", InitializeClientApi, FinalizeClientApi},
      {"host.Utilities", InitializeUtilities, FinalizeUtilities},
      // Failed commands are shown to the user in the host-styled error box.
      {"host.ErrorBox", InitializeErrorBox, FinalizeErrorBox},
      // The PCB server's entry points, when "Ravelo.dll" is already loaded.
      {"PcbApi", InitializePcbUnit, FinalizePcbUnit},
      // The host's file-system entry points ("VFSAPI_").
      {"HostFileSystem", InitializeHostFileSystem, FinalizeHostFileSystem},
      // The KIVO tokenizer's delimiter sets.
      {"KivoTokenizer", InitializeKivoTokenizer, nullptr},
      // The document of an interrupted command run is released at unload.
      {"KIVOImporter", nullptr, ReleaseCurrentDocument},
      // The XP-style controls: msimg32's gradient fill, then the list of live XP edits
      // (whose first member installs their repaint hook).
      {"XPUtils", InitializeXPUtils, FinalizeXPUtils},
      {"XPEdit", InitializeXPEdit, FinalizeXPEdit},
      // Free notifications of watched memory blocks: the memory-manager hook.
      {"FreeNotifyHook", InitializeFreeNotifyHook, FinalizeFreeNotifyHook},
      // The in-place editors' shared drawing: the checkerboard brush of the overlay.
      {"dxUtils", InitializeDxUtils, FinalizeDxUtils},
      // The editors' shadow brush and their default style controller.
      {"dxEditStyles", InitializeDxEditStyles, FinalizeDxEditStyles},
      // The text editors' rich-edit library.
      {"dxTextEdit", InitializeDxTextEdit, FinalizeDxTextEdit},
      // The tree list's indicator images, expand-button glyphs and measuring DC.
      {"dxTreeList", InitializeDxTreeList, FinalizeDxTreeList},
      // The calendar's button captions and the locale's first day of the week.
      {"dxGrDate", InitializeDxGrDate, FinalizeDxGrDate},
      // The editor module's shared resources: the check size, the hand cursor, the date
      // texts and keywords, time constants, the tool bar's glyphs and texts, the shared
      // canvas, the blob icons and captions, the check editors' default style controller.
      {"dxExEdtr", InitializeDxExEdtr, FinalizeDxExEdtr},
      // Last, the visual-style drawing entries of "uxtheme.dll".
      {"XPThemeBinding", BindUxThemeDrawing, ReleaseUxThemeDrawing},
  };
  return units;
}
