#include "treelist/Units.h"

#include "treelist/DxTreeListDraw.h"

std::span<const TUnitEntry> TreeListUnits() {
  static const TUnitEntry units[] = {
      // The indicator images, the grid look's expand-button glyphs and the screen DC
      // texts are measured on.
      {"dxTreeList", InitializeDxTreeList, FinalizeDxTreeList},
  };
  return units;
}
