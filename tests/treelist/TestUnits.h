// The units treelist_tests starts: the windowed class library's (the fonts' published
// properties among them), the skin library's (for the table of freed senders), then the
// editors' shared drawing, edit styles, text editor, calculator, calendar and shared
// resources that the tree list's column kinds use, and the tree list's own.
#pragma once

#include "classlib/Units.h"
#include "editors/Units.h"
#include "skin/Units.h"
#include "treelist/Units.h"

inline std::span<const TUnitEntry> TreeListTestUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Pick(ClassLibUnits(), {"GraphicsObjects", "ComCtrls", "Forms"})
                                      .Add(SkinUnits())
                                      .Pick(EditorsUnits(), {"dxUtils", "dxEditStyles", "dxTextEdit", "dxCalc", "dxGrDate", "dxExEdtr"})
                                      .Add(TreeListUnits());
  return units;
}
