// The units the windowed class-library tests start.
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return {}; }
