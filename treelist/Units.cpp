#include "treelist/Units.h"

#include "treelist/DxTreeListColumns.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListDraw.h"

std::span<const TUnitEntry> TreeListUnits() {
  static const TUnitEntry units[] = {
      // The indicator images, the grid look's expand-button glyphs and the screen DC
      // texts are measured on.
      {"dxTreeList", InitializeDxTreeList, FinalizeDxTreeList},
      // The column classes for stored forms, and the published properties of the tree
      // list, its bands and columns.
      {"dxTreeListColumns", InitializeDxTreeListColumns, FinalizeDxTreeListColumns},
      // The column kinds: the check column's default values, the kinds' classes for
      // stored forms and their published properties.
      {"dxTLClms", InitializeDxTreeListColumnKinds, FinalizeDxTreeListColumnKinds},
  };
  return units;
}
