// Validates the Luna sheets the generator wrote: usage
//   lunasheets_check <generator> <directory with XP_MAIN.bmp and XP_MAIN1.bmp>
// Checks the file sizes and headers, that the key colour appears only inside pieces
// drawn with alpha and never inside pieces drawn without it, that every stretched piece
// is constant along its stretch direction, that every colour survives the hue round
// trip, that the push buttons' kind glyphs have transparent bottom-left pixels and their
// disabled cell by its rule, and that a second run of the generator writes the same bytes.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "LunaSheets.h"

using namespace luna;

namespace {

int failures = 0;

void Fail(const std::string& what) {
  if (++failures <= 40)
    std::fprintf(stderr, "lunasheets_check: %s\n", what.c_str());
}

// Decodes and checks one file; returns the sheet (empty on a bad header).
Sheet Load(const std::string& path, int width, int height, size_t size) {
  std::string b = ReadFile(path);
  Sheet sheet(width, height);
  auto bad = [&](const char* what) {
    Fail(path + ": " + what);
    return Sheet(0, 0);
  };
  if (b.size() != size)
    return bad("wrong file size");
  if (b[0] != 'B' || b[1] != 'M' || ReadU32(b, 2) != size || ReadU32(b, 10) != 54)
    return bad("bad file header");
  if (ReadU32(b, 14) != 40 || int32_t(ReadU32(b, 18)) != width || int32_t(ReadU32(b, 22)) != height ||
      ReadU16(b, 26) != 1 || ReadU16(b, 28) != 24 || ReadU32(b, 30) != 0)
    return bad("bad info header");
  int stride = (width * 3 + 3) & ~3;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      size_t at = 54 + size_t(height - 1 - y) * stride + size_t(x) * 3;
      sheet.at(x, y) = {uint8_t(b[at + 2]), uint8_t(b[at + 1]), uint8_t(b[at])};
    }
  return sheet;
}

bool AllowsKey(Mode m) {
  return m == Mode::Alpha || m == Mode::AlphaStretchX || m == Mode::AlphaStretchY ||
         m == Mode::AlphaStretchXY;
}

void CheckPieces(const Sheet& s, int number) {
  std::vector<Piece> pieces = AllPieces();
  std::string name = number == 1 ? "XP_MAIN" : "XP_MAIN1";
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      if (!(s.at(x, y) == kKey))
        continue;
      bool inAlpha = false, inOpaque = false;
      for (const Piece& p : pieces) {
        if (p.sheet != number || x < p.left || x >= p.right || y < p.top || y >= p.bottom)
          continue;
        (AllowsKey(p.mode) ? inAlpha : inOpaque) = true;
      }
      if (!inAlpha || inOpaque)
        Fail(name + ": key colour at (" + std::to_string(x) + ", " + std::to_string(y) +
             ") outside a piece drawn with alpha");
    }
  for (const Piece& p : pieces) {
    if (p.sheet != number)
      continue;
    bool alongX = p.mode == Mode::StretchX || p.mode == Mode::StretchXY ||
                  p.mode == Mode::AlphaStretchX || p.mode == Mode::AlphaStretchXY;
    bool alongY = p.mode == Mode::StretchY || p.mode == Mode::StretchXY ||
                  p.mode == Mode::AlphaStretchY || p.mode == Mode::AlphaStretchXY;
    for (int y = p.top; y < p.bottom; ++y)
      for (int x = p.left; x < p.right; ++x) {
        bool varies = (alongX && !(s.at(x, y) == s.at(p.left, y))) ||
                      (alongY && !(s.at(x, y) == s.at(x, p.top)));
        if (varies) {
          Fail(name + ": stretched piece \"" + p.what + "\" at (" + std::to_string(p.left) +
               ", " + std::to_string(p.top) + ") varies along its stretch at (" +
               std::to_string(x) + ", " + std::to_string(y) + ")");
          x = p.right, y = p.bottom;
        }
      }
  }
  std::set<uint32_t> reported;
  for (const Rgb& c : s.pixels) {
    if (c == kKey || IsFixedPoint(c))
      continue;
    uint32_t v = uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
    if (reported.insert(v).second)
      Fail(name + ": colour " + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
           std::to_string(c.b) + " changes under a hue shift of 0");
  }
}

// A kind glyph: two cells, the bottom-left pixel of each transparent, some ink in the
// normal cell, the disabled cell made from it by the shared rule.
void CheckGlyph(const std::string& dir, const char* name) {
  const int width = 2 * kGlyphCell, stride = (width * 3 + 3) & ~3;
  Sheet glyph = Load(dir + "/" + name + ".bmp", width, kGlyphCell, size_t(54 + stride * kGlyphCell));
  if (!glyph.width)
    return;
  std::string what = std::string(name) + ": ";
  if (!(glyph.at(0, kGlyphCell - 1) == kKey) || !(glyph.at(kGlyphCell, kGlyphCell - 1) == kKey))
    Fail(what + "a bottom-left pixel is not the key colour");
  int ink = 0;
  for (int y = 0; y < kGlyphCell; ++y)
    for (int x = 0; x < kGlyphCell; ++x) {
      ink += !(glyph.at(x, y) == kKey);
      if (!(glyph.at(kGlyphCell + x, y) == DisabledGlyphPixel(glyph, x, y))) {
        Fail(what + "disabled cell breaks its rule at (" + std::to_string(x) + ", " +
             std::to_string(y) + ")");
        return;
      }
    }
  if (ink == 0)
    Fail(what + "the normal cell is empty");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: lunasheets_check <generator> <directory>\n");
    return 2;
  }
  std::string generator = argv[1], dir = argv[2];
  Sheet first = Load(dir + "/XP_MAIN.bmp", kSheet1Width, kSheet1Height, 212838);
  Sheet second = Load(dir + "/XP_MAIN1.bmp", kSheet2Width, kSheet2Height, 255834);
  if (first.width)
    CheckPieces(first, 1);
  if (second.width)
    CheckPieces(second, 2);
  for (const char* name : kGlyphNames)
    CheckGlyph(dir, name);
  // A second run into a scratch directory must write the same bytes.
  std::vector<std::string> files = {"XP_MAIN.bmp", "XP_MAIN1.bmp", "luna-contact-sheet.png"};
  for (const char* name : kGlyphNames)
    files.push_back(std::string(name) + ".bmp");
  for (const char* name : kFormGlyphNames)
    files.push_back(std::string(name) + ".bmp");
  for (const std::string& problem : SecondRunDifferences(generator, dir, dir + "/check-again", files))
    Fail(problem);
  if (failures) {
    std::fprintf(stderr, "lunasheets_check: %d problem(s)\n", failures);
    return 1;
  }
  std::printf("lunasheets_check: both sheets and the button glyphs pass\n");
  return 0;
}
