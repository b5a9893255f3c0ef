// The units the recent filter-expression tests start: none.
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return {}; }
