// Shared by the Luna sheet generator and its validator (host tools, plain C++): the two
// sheets as RGB pixel arrays, their BMP file form, the table of every piece the theme
// copies or stretches out of them, and the skin library's hue round trip.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace luna {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
constexpr Rgb kKey{255, 0, 255};

struct Sheet {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;
  Sheet(int w, int h) : width(w), height(h), pixels(size_t(w) * h) {}
  Rgb& at(int x, int y) { return pixels[size_t(y) * width + x]; }
  const Rgb& at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

constexpr int kSheet1Width = 190, kSheet1Height = 372;
constexpr int kSheet2Width = 196, kSheet2Height = 435;

// A 24-bit bottom-up BMP file: 14-byte file header, 40-byte info header, rows padded
// to four bytes.
std::string EncodeBmp(const Sheet& sheet);
// An 8-bit RGB PNG file of w x h pixels (rows top to bottom), for contact sheets.
std::string EncodePng(int w, int h, const std::vector<Rgb>& pixels);

// A black-and-white 32 x 32 cursor file with one image and its hot spot: `pixel`(x, y)
// answers 'X' for black, 'o' for white and anything else for transparent.
constexpr int kMonoCursorSize = 32;
constexpr size_t kMonoCursorFileSize = 6 + 16 + 40 + 2 * 4 + 2 * kMonoCursorSize * 4;
std::string EncodeMonoCursor(int hotX, int hotY, char (*pixel)(const void* art, int x, int y), const void* art);
// Reads such a file back into rows of 'X', 'o' and '.'; an empty answer (and `problem`)
// when the bytes are not one.
std::vector<std::string> DecodeMonoCursor(const std::string& bytes, int& hotX, int& hotY, std::string& problem);

// Files of the generators and their validators: writing ends the program with a message
// when it fails; reading a missing file gives no bytes.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// Little-endian numbers inside file bytes.
uint32_t ReadU32(const std::string& bytes, size_t at);
uint16_t ReadU16(const std::string& bytes, size_t at);
// Runs `generator` a second time into `scratch` and answers a problem text for each of
// `files` whose bytes differ from those in `dir` (or one text when the run fails).
std::vector<std::string> SecondRunDifferences(const std::string& generator, const std::string& dir,
                                              const std::string& scratch, const std::vector<std::string>& files);

// How the theme takes a piece out of a sheet.
enum class Mode {
  Copy,       // copied as it is: the key colour would be drawn, so none may appear
  Alpha,      // copied or drawn with alpha: key pixels are transparent
  StretchX,   // stretched along x without alpha: every row constant
  StretchY,   // stretched along y without alpha: every column constant
  StretchXY,  // stretched both ways without alpha: one colour
  AlphaStretchX,   // stretched along x with alpha (margins): constant rows, key allowed
  AlphaStretchY,
  AlphaStretchXY,
};

struct Piece {
  int sheet;  // 1 or 2
  int left, top, right, bottom;  // right and bottom exclusive
  Mode mode;
  const char* what;
};

// Every piece of both sheets, in the rectangles the theme uses.
std::vector<Piece> AllPieces();

// The push buttons' kind glyphs "KSBTN_*": two cells of kGlyphCell x kGlyphCell side by
// side, normal then disabled. The key colour marks transparent pixels (the button takes
// the bitmap's bottom-left pixel as its transparent colour, so every cell keeps a key
// border). The disabled cell is the normal cell's ink in kGlyphShade with a kGlyphLight
// shadow one pixel down and right where the ink leaves room.
constexpr int kGlyphCell = 18;
constexpr Rgb kGlyphShade{128, 128, 128};
constexpr Rgb kGlyphLight{255, 255, 255};
constexpr const char* kGlyphNames[] = {"KSBTN_OK",    "KSBTN_CANCEL", "KSBTN_HELP",  "KSBTN_YES",
                                       "KSBTN_NO",    "KSBTN_CLOSE",  "KSBTN_ABORT", "KSBTN_RETRY",
                                       "KSBTN_IGNORE", "KSBTN_ALL"};
constexpr int kGlyphCount = 10;
// The skinned form's system-menu glyphs "KSE_*", one kFormGlyphSize square each, in the
// order of the menu's image indexes: black ink on the key colour, which the menu's image
// list takes as its mask.
constexpr const char* kFormGlyphNames[] = {"KSE_CLOSE",   "KSE_MINIMIZE", "KSE_MAXIMIZE",
                                           "KSE_RESTORE", "KSE_ROLLUP",   "KSE_TRAY"};
constexpr int kFormGlyphCount = 6;
constexpr int kFormGlyphSize = 16;
// The disabled pixel at (x, y) of a cell, by the rule above, from the normal cell at the
// left of `glyph`.
Rgb DisabledGlyphPixel(const Sheet& glyph, int x, int y);

// The skin library's HSL round trip of a colour with a hue shift of 0 (single
// precision, halves rounded to even).
Rgb HueRoundTrip(Rgb c);
inline bool IsFixedPoint(Rgb c) { return HueRoundTrip(c) == c; }

}  // namespace luna
