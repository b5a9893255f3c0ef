// A PNG file of 8-bit RGB pixels, rows top to bottom, compressed with zlib: the contact
// sheets the tools write for people to look at.
#pragma once

#include <string>
#include <vector>

#include "LunaSheets.h"

namespace luna {

std::string EncodePng(int width, int height, const std::vector<Rgb>& pixels);

}  // namespace luna
