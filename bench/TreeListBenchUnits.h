// The units a tree-list benchmark starts (as the plug-in does, in its order) around its
// run.
#pragma once

#include "classlib/Units.h"
#include "editors/Units.h"
#include "treelist/Units.h"

inline std::span<const TUnitEntry> TreeListBenchUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Pick(ClassLibUnits(), {"ComCtrls", "Forms"})
                                      .Pick(EditorsUnits(), {"dxUtils", "dxEditStyles", "dxTextEdit"})
                                      .Add(TreeListUnits());
  return units;
}

// Runs `run` with the tree list's units started: its result, or 1 when they do not start.
inline int RunWithTreeListUnits(int (*run)()) {
  if (!StartUnits(TreeListBenchUnits()))
    return 1;
  const int result = run();
  StopUnits();
  return result;
}
