// The drawing of the push buttons' kind glyphs (generator only).
#pragma once

#include "LunaSheets.h"

namespace luna {

// The two-cell glyph of kind `kind` (0..kGlyphCount-1, in the order of kGlyphNames).
Sheet ButtonGlyph(int kind);

}  // namespace luna
