// Validates the editor glyphs the generator wrote: usage
//   dxglyphs_check <generator> <directory with the glyphs>
// Checks every bitmap's headers, size and sixteen-colour palette; that a tool-bar glyph's
// bottom-left pixel (its transparent colour) is the tool key and that every icon is 16 x 16
// on the olive key; that each glyph has ink; that each empty-value icon follows the rule
// from its full icon; that the cursor is one 32 x 32 monochrome image whose hot spot lies
// on the hand; and that a second run of the generator writes the same bytes.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DxGlyphs.h"

using namespace dxglyphs;
using luna::ReadFile;
using luna::ReadU16;
using luna::ReadU32;
using luna::SecondRunDifferences;

namespace {

int failures = 0;

void Fail(const std::string& what) {
  if (++failures <= 40)
    std::fprintf(stderr, "dxglyphs_check: %s\n", what.c_str());
}

// Checks the 40-byte info header at `at`.
bool InfoHeaderIs(const std::string& b, size_t at, int width, int height, int bits) {
  return ReadU32(b, at) == 40 && int32_t(ReadU32(b, at + 4)) == width && int32_t(ReadU32(b, at + 8)) == height &&
         ReadU16(b, at + 12) == 1 && ReadU16(b, at + 14) == bits && ReadU32(b, at + 16) == 0;
}

// Decodes one 4-bit glyph; an empty sheet when its headers are wrong.
Sheet LoadGlyph(const std::string& dir, const char* name) {
  const std::string path = dir + "/" + name + ".bmp";
  const std::string b = ReadFile(path);
  auto bad = [&](const char* what) {
    Fail(path + ": " + what);
    return Sheet(0, 0);
  };
  if (b.size() != kGlyphFileSize)
    return bad("wrong file size");
  if (b[0] != 'B' || b[1] != 'M' || ReadU32(b, 2) != kGlyphFileSize || ReadU32(b, 10) != 14 + 40 + 64)
    return bad("bad file header");
  if (!InfoHeaderIs(b, 14, kGlyphSize, kGlyphSize, 4))
    return bad("not a 16 x 16 bitmap of 16 colours");
  for (int i = 0; i < 16; ++i) {
    const size_t at = 54 + size_t(i) * 4;
    if (!(Rgb{uint8_t(b[at + 2]), uint8_t(b[at + 1]), uint8_t(b[at])} == kPalette[i]))
      return bad("palette differs from the sixteen colours");
  }
  Sheet glyph(kGlyphSize, kGlyphSize);
  for (int y = 0; y < kGlyphSize; ++y)
    for (int x = 0; x < kGlyphSize; ++x) {
      const uint8_t byte = uint8_t(b[118 + size_t(kGlyphSize - 1 - y) * 8 + size_t(x / 2)]);
      glyph.at(x, y) = kPalette[x % 2 ? byte & 0x0F : byte >> 4];
    }
  return glyph;
}

int InkCount(const Sheet& glyph, Rgb key) {
  int ink = 0;
  for (const Rgb& p : glyph.pixels)
    ink += !(p == key);
  return ink;
}

void CheckTools(const std::string& dir) {
  for (const char* name : kToolNames) {
    Sheet glyph = LoadGlyph(dir, name);
    if (!glyph.width)
      continue;
    if (!(glyph.at(0, kGlyphSize - 1) == kToolKey))
      Fail(std::string(name) + ": the bottom-left pixel (the transparent colour) is not the key");
    if (InkCount(glyph, kToolKey) < 16)
      Fail(std::string(name) + ": hardly any ink");
  }
}

void CheckIcons(const std::string& dir) {
  for (int i = 0; i < kInplaceCount; i += 2) {
    Sheet empty = LoadGlyph(dir, kInplaceNames[i]);
    Sheet full = LoadGlyph(dir, kInplaceNames[i + 1]);
    if (!empty.width || !full.width)
      continue;
    if (InkCount(full, kInplaceKey) < 16)
      Fail(std::string(kInplaceNames[i + 1]) + ": hardly any ink");
    for (int y = 0; y < kGlyphSize; ++y)
      for (int x = 0; x < kGlyphSize; ++x)
        if (!(empty.at(x, y) == EmptyGlyphPixel(full, x, y))) {
          Fail(std::string(kInplaceNames[i]) + ": breaks the empty-icon rule at (" + std::to_string(x) + ", " +
               std::to_string(y) + ")");
          y = x = kGlyphSize;
        }
  }
}

void CheckCursor(const std::string& dir) {
  const std::string path = dir + "/" + kCursorName + ".cur";
  const std::string b = ReadFile(path);
  if (b.size() != kCursorFileSize) {
    Fail(path + ": wrong file size");
    return;
  }
  if (ReadU16(b, 0) != 0 || ReadU16(b, 2) != 2 || ReadU16(b, 4) != 1 || uint8_t(b[6]) != kCursorSize ||
      uint8_t(b[7]) != kCursorSize || ReadU32(b, 14) != kCursorFileSize - 22 || ReadU32(b, 18) != 22) {
    Fail(path + ": not a cursor file with one 32 x 32 image");
    return;
  }
  if (!InfoHeaderIs(b, 22, kCursorSize, 2 * kCursorSize, 1) || ReadU32(b, 62) != 0 || ReadU32(b, 66) != 0x00FFFFFF) {
    Fail(path + ": not a black and white image");
    return;
  }
  const int hotX = ReadU16(b, 10), hotY = ReadU16(b, 12);
  const size_t andBits = 70 + kCursorSize * 4;
  auto opaque = [&](int x, int y) {
    const uint8_t byte = uint8_t(b[andBits + size_t(kCursorSize - 1 - y) * 4 + size_t(x / 8)]);
    return (byte & (0x80 >> (x % 8))) == 0;
  };
  if (hotX != kHotSpotX || hotY != kHotSpotY || !opaque(hotX, hotY))
    Fail(path + ": the hot spot is not on the hand");
  int shown = 0;
  for (int y = 0; y < kCursorSize; ++y)
    for (int x = 0; x < kCursorSize; ++x)
      shown += opaque(x, y);
  if (shown < 100)
    Fail(path + ": hardly any hand");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dxglyphs_check <generator> <directory>\n");
    return 2;
  }
  const std::string generator = argv[1], dir = argv[2];
  CheckTools(dir);
  CheckIcons(dir);
  CheckCursor(dir);
  // A second run into a scratch directory must write the same bytes.
  std::vector<std::string> files = {std::string(kCursorName) + ".cur", "editors-contact-sheet.png"};
  for (const char* name : kToolNames)
    files.push_back(std::string(name) + ".bmp");
  for (const char* name : kInplaceNames)
    files.push_back(std::string(name) + ".bmp");
  for (const std::string& problem : SecondRunDifferences(generator, dir, dir + "/dxglyphs-again", files))
    Fail(problem);
  if (failures) {
    std::fprintf(stderr, "dxglyphs_check: %d problem(s)\n", failures);
    return 1;
  }
  std::printf("dxglyphs_check: the tool-bar glyphs, the icons and the hand cursor pass\n");
  return 0;
}
