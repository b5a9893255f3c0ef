// The units the tree-list tests start.
#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "editors/DxEditStyle.h"
#include "editors/DxInplaceTextEdit.h"
#include "editors/DxUtils.h"
#include "treelist/DxTreeListDraw.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"ComCtrls", InitializeComCtrls, FinalizeComCtrls},
      {"Forms", InitializeForms, FinalizeForms},
      {"DxUtils", InitializeDxUtils, FinalizeDxUtils},
      {"DxEditStyles", InitializeDxEditStyles, FinalizeDxEditStyles},
      {"DxTextEdit", InitializeDxTextEdit, FinalizeDxTextEdit},
      {"DxTreeList", InitializeDxTreeList, FinalizeDxTreeList},
  };
  return units;
}
