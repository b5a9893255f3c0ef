// The pad-stack map that the options dialog fills: 42 rows of short strings, rows 0 to 5
// labelled Top Layer, Internal Layer, Bottom Layer, Hole Size, SMD Top Layer and SMD
// Bottom Layer; each holds a KIVO layer name or is empty. 10752 bytes.
#pragma once

#include "classlib/ShortString.h"

struct PadStackMapRecord {
  static constexpr int RowCount = 42;
  ShortString<255> Rows[RowCount];
};
static_assert(sizeof(PadStackMapRecord) == 10752, "42 short strings of 256 bytes");
