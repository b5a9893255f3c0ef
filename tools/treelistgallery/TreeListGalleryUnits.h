// The units the tree-list gallery paints with: the common controls and the forms, then
// every unit of the editors and of the tree list, in the plug-in's order.
#pragma once

#include "classlib/Units.h"
#include "editors/Units.h"
#include "treelist/Units.h"

inline std::span<const TUnitEntry> TreeListGalleryUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Pick(ClassLibUnits(), {"ComCtrls", "Forms"})
                                      .Add(EditorsUnits())
                                      .Add(TreeListUnits());
  return units;
}
