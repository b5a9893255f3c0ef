#include "plugin/PluginUnits.h"

#include "classlib/Units.h"
#include "containers/Units.h"
#include "editors/Units.h"
#include "host/Units.h"
#include "importer/Units.h"
#include "pcb/Units.h"
#include "skin/Units.h"
#include "treelist/Units.h"
#include "xpcontrols/Units.h"

// The plug-in starts the libraries' lists one after the other: the class library, the
// skin library (paint buffer, hook list, layered-window and visual-style bindings,
// theme registry), the framework (parameter strings, the host's client binding), the
// PCB and file-system bindings, the importer, the memory-manager hook, the XP-style
// controls' system bindings, the editors' shared resources and the tree list's images.
// Shut-down runs it backwards. A unit is added to its library's own list, never here.
std::span<const TUnitEntry> PluginUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Add(ClassLibUnits())
                                      .Add(SkinUnits())
                                      .Add(HostUnits())
                                      .Add(PcbUnits())
                                      .Add(ImporterUnits())
                                      .Add(ContainersUnits())
                                      .Add(XPControlsUnits())
                                      .Add(EditorsUnits())
                                      .Add(TreeListUnits());
  return units;
}
