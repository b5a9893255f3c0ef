// What the options dialog hands back for the pad stacks: 42 rows of short strings
// (10752 bytes). Rows 0 to 5 hold the KIVO layer, or "Not Used", chosen for "Top Layer",
// "Internal Layer", "Bottom Layer", "Hole Size", "SMD Top Layer" and "SMD Bottom Layer".
#pragma once

#include <array>

#include "classlib/ShortString.h"

using PadStackMapRecord = std::array<ShortString<255>, 42>;
static_assert(sizeof(PadStackMapRecord) == 10752, "42 rows of 256 bytes");
