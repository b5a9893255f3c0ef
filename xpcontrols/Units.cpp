#include "xpcontrols/Units.h"

#include "xpcontrols/XPEdit.h"
#include "xpcontrols/XPThemeBinding.h"
#include "xpcontrols/XPUtils.h"

std::span<const TUnitEntry> XPControlsUnits() {
  static const TUnitEntry units[] = {
      // msimg32's gradient fill.
      {"XPUtils", InitializeXPUtils, FinalizeXPUtils},
      // The list of live XP edits, whose first member installs their repaint hook.
      {"XPEdit", InitializeXPEdit, FinalizeXPEdit},
      // The visual-style drawing entries of "uxtheme.dll".
      {"XPThemeBinding", BindUxThemeDrawing, ReleaseUxThemeDrawing},
  };
  return units;
}
