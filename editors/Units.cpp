#include "editors/Units.h"

#include "editors/DxEditStyle.h"
#include "editors/DxInplaceCheckEdit.h"
#include "editors/DxInplaceTextEdit.h"
#include "editors/DxUtils.h"

std::span<const TUnitEntry> EditorsUnits() {
  static const TUnitEntry units[] = {
      // The shared drawing: the checkerboard brush of the overlay.
      {"dxUtils", InitializeDxUtils, FinalizeDxUtils},
      // The editors' shadow brush and their default style controller.
      {"dxEditStyles", InitializeDxEditStyles, FinalizeDxEditStyles},
      // The text editors' rich-edit library.
      {"dxTextEdit", InitializeDxTextEdit, FinalizeDxTextEdit},
      // The editor module's shared resources: the check size and the check editors'
      // default style controller.
      {"dxCheckEdit", InitializeDxCheckEdit, FinalizeDxCheckEdit},
  };
  return units;
}
