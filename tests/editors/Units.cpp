// The units the editor library tests start.
#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "editors/DxEditStyle.h"
#include "editors/DxExEdtr.h"
#include "editors/DxGrDate.h"
#include "editors/DxInplaceTextEdit.h"
#include "editors/DxUtils.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"ComCtrls", InitializeComCtrls, FinalizeComCtrls},
      {"Forms", InitializeForms, FinalizeForms},
      {"DxUtils", InitializeDxUtils, FinalizeDxUtils},
      {"DxEditStyles", InitializeDxEditStyles, FinalizeDxEditStyles},
      {"DxTextEdit", InitializeDxTextEdit, FinalizeDxTextEdit},
      {"DxGrDate", InitializeDxGrDate, FinalizeDxGrDate},
      {"DxExEdtr", InitializeDxExEdtr, FinalizeDxExEdtr},
  };
  return units;
}
