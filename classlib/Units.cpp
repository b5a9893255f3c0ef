#include "classlib/Units.h"

#include "classlib/ComCtrls.h"
#include "classlib/FormatSettings.h"
#include "classlib/Forms.h"
#include "classlib/GraphicsObjects.h"

std::span<const TUnitEntry> ClassLibUnits() {
  static const TUnitEntry units[] = {
      // The fonts' published properties, through which stored fonts are read.
      {"GraphicsObjects", InitializeGraphicsObjects, FinalizeGraphicsObjects},
      // The locale's number, date and currency conventions.
      {"FormatSettings", GetFormatSettings, nullptr},
      // The common-control classes; frees "RICHED20.DLL" after the forms are gone.
      {"ComCtrls", InitializeComCtrls, FinalizeComCtrls},
      // Screen and Application (exception handling at every boundary).
      {"Forms", InitializeForms, FinalizeForms},
  };
  return units;
}
