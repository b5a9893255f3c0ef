#include "editors/Units.h"

#include "editors/DxCalc.h"
#include "editors/DxEditStyle.h"
#include "editors/DxExEdtr.h"
#include "editors/DxGrDate.h"
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
      // The calculators' shared button bitmap and error text.
      {"dxCalc", InitializeDxCalc, FinalizeDxCalc},
      // The calendar's button captions and the locale's first day of the week.
      {"dxGrDate", InitializeDxGrDate, FinalizeDxGrDate},
      // The editor module's shared resources: the check size, the hand cursor, the date
      // texts and keywords, time constants, the tool bar's glyphs and texts, the shared
      // canvas, the blob icons and captions, the check editors' default style controller.
      {"dxExEdtr", InitializeDxExEdtr, FinalizeDxExEdtr},
  };
  return units;
}
