// The tree-list grid's units in start-up order; shut-down runs them backwards. A unit of
// this library that has start-up or shut-down work is added to this list, in its place.
#pragma once

#include <span>

#include "classlib/Startup.h"

std::span<const TUnitEntry> TreeListUnits();
