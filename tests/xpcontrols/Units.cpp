// The units the XP-style control tests start.
#include "classlib/Forms.h"
#include "tests/support/TestSupport.h"
#include "xpcontrols/XPEdit.h"
#include "xpcontrols/XPThemeBinding.h"
#include "xpcontrols/XPUtils.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"Forms", InitializeForms, FinalizeForms},
      {"XPUtils", InitializeXPUtils, FinalizeXPUtils},
      {"XPEdit", InitializeXPEdit, FinalizeXPEdit},
      {"XPThemeBinding", BindUxThemeDrawing, ReleaseUxThemeDrawing},
  };
  return units;
}
