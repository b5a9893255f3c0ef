// Draws the in-place editors' bitmaps and cursor (DxGlyphs.h) into the directory given as
// the first argument: DXTOOL_*.bmp and DXINPLACE_*.bmp as 4-bit BMP files, DX_HANDPOINT.cur,
// and a zoomed contact sheet (editors-contact-sheet.png) for people to look at. The
// artwork is this project's own, drawn here pixel by pixel in the sixteen palette colours;
// the empty-value icons follow from the full ones by the shared rule. The output is the
// same byte for byte on every run.
//
// Regenerate the committed contact sheet from the worktree root with:
//   scripts/build.sh && cp build/generated/editors-contact-sheet.png docs/
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DxGlyphs.h"

using namespace dxglyphs;

namespace {

// One glyph as text: 16 rows of 16 characters. "." is the background (the key colour);
// the other letters name palette colours.
using Art = std::vector<const char*>;

Rgb Ink(char c, Rgb background) {
  switch (c) {
    case '.': return background;
    case 'K': return kPalette[0];   // black
    case 'm': return kPalette[1];   // maroon
    case 'g': return kPalette[2];   // green
    case 'o': return kPalette[3];   // olive
    case 'n': return kPalette[4];   // navy
    case 'p': return kPalette[5];   // purple
    case 't': return kPalette[6];   // teal
    case 's': return kPalette[7];   // silver
    case 'G': return kPalette[8];   // grey
    case 'r': return kPalette[9];   // red
    case 'l': return kPalette[10];  // lime
    case 'y': return kPalette[11];  // yellow
    case 'b': return kPalette[12];  // blue
    case 'a': return kPalette[14];  // aqua
    case 'w': return kPalette[15];  // white
    default:
      std::fprintf(stderr, "dxglyphs: unknown colour letter '%c'\n", c);
      std::exit(1);
  }
}

Sheet Draw(const Art& art, Rgb background, const char* name) {
  if (art.size() != kGlyphSize) {
    std::fprintf(stderr, "dxglyphs: %s has %zu rows\n", name, art.size());
    std::exit(1);
  }
  Sheet glyph(kGlyphSize, kGlyphSize);
  for (int y = 0; y < kGlyphSize; ++y) {
    if (std::string(art[y]).size() != size_t(kGlyphSize)) {
      std::fprintf(stderr, "dxglyphs: %s row %d is not %d wide\n", name, y, kGlyphSize);
      std::exit(1);
    }
    for (int x = 0; x < kGlyphSize; ++x)
      glyph.at(x, y) = Ink(art[y][x], background);
  }
  return glyph;
}

// ---- The tool bar's buttons --------------------------------------------------------------

const Art kCut = {
    "................",
    "....K.....K.....",
    "....K.....K.....",
    "....KK...KK.....",
    ".....K...K......",
    ".....KK.KK......",
    "......K.K.......",
    "......KKK.......",
    ".......K........",
    "......rKr.......",
    ".....r...r......",
    ".rrrr.....rrrr..",
    "r...r.....r...r.",
    "r...r.....r...r.",
    "r...r.....r...r.",
    ".rrr.......rrr..",
};

const Art kCopy = {
    "KKKKKKK.........",
    "KwwwwwKK........",
    "KwnnnwKwK.......",
    "KwwwwwKKKK......",
    "KwnnnnnnwK......",
    "KwwwwKKKKKKK....",
    "KwnnnKwwwwwKK...",
    "KwwwwKwnnnwKwK..",
    "KwnnnKwwwwwKKKK.",
    "KwwwwKwnnnnnnwK.",
    "KKKKKKwwwwwwwwK.",
    ".....KwnnnnnnwK.",
    ".....KwwwwwwwwK.",
    ".....KwnnnnnnwK.",
    ".....KwwwwwwwwK.",
    ".....KKKKKKKKKK.",
};

const Art kPaste = {
    "....KKKK........",
    ".KKKKssKKKK.....",
    "KooKsKKsKooK....",
    "KooKKKKKKooK....",
    "KooooooooooK....",
    "KooooooooooK....",
    "KoooooKKKKKKKKK.",
    "KoooooKwwwwwwwK.",
    "KoooooKwnnnnnwK.",
    "KoooooKwwwwwwwK.",
    "KoooooKwnnnnnwK.",
    "KoooooKwwwwwwwK.",
    "KoooooKwnnnnwwK.",
    "KoooooKwwwwwwwK.",
    ".KKKKKKwwwwwwwK.",
    "......KKKKKKKKK.",
};

const Art kDelete = {
    "................",
    "................",
    "..rr........rr..",
    "..rrr......rrr..",
    "...rrr....rrr...",
    "....rrr..rrr....",
    ".....rrrrrr.....",
    "......rrrr......",
    "......rrrr......",
    ".....rrrrrr.....",
    "....rrr..rrr....",
    "...rrr....rrr...",
    "..rrr......rrr..",
    "..rr........rr..",
    "................",
    "................",
};

const Art kLoad = {
    "................",
    "................",
    "..........KKK...",
    ".........K...K.K",
    "..............KK",
    ".KKKK........KKK",
    "KywyyK..........",
    "KwyyyyKKKKKK....",
    "KyyyyyyyyyyK....",
    "KyyyKKKKKKKKKKK.",
    "KyyKoooooooooK..",
    "KyKoooooooooK...",
    "KyKooooooooK....",
    "KKoooooooooK....",
    "KKKKKKKKKKK.....",
    "................",
};

const Art kSave = {
    "................",
    ".KKKKKKKKKKKKKK.",
    ".KnKwwwwwwwwKnK.",
    ".KnKwwwwwwwwKnK.",
    ".KnKwGGGGGGwKnK.",
    ".KnKwwwwwwwwKnK.",
    ".KnKKKKKKKKKKnK.",
    ".KnnnnnnnnnnnnK.",
    ".KnnnnnnnnnnnnK.",
    ".KnnKKKKKKKKnnK.",
    ".KnnKssKssssKnK.",
    ".KnnKssKssssKnK.",
    ".KnnKssKssssKnK.",
    ".KKKKKKKKKKKKKK.",
    "................",
    "................",
};

// ---- The blob editor's icons (full ones; the empty ones follow by rule) ------------------

// A page of binary digits.
const Art kBlob = {
    "................",
    "..KKKKKKKKKK....",
    "..KwwwwwwwwKK...",
    "..KwwwwwwwwKwK..",
    "..KwwwwwwwwKKKK.",
    "..KtttwwtwwtttK.",
    "..KtwtwttwwtwtK.",
    "..KtwtwwtwwtwtK.",
    "..KtttwtttwtttK.",
    "..KwwwwwwwwwwwK.",
    "..KwtwwtttwwtwK.",
    "..KttwwtwtwttwK.",
    "..KwtwwtwtwwtwK.",
    "..KtttwtttwtttK.",
    "..KKKKKKKKKKKKK.",
    "................",
};

const Art kMemo = {
    "................",
    "..KKKKKKKKKK....",
    "..KwwwwwwwwKK...",
    "..KwnnnnnwwKwK..",
    "..KwwwwwwwwKKKK.",
    "..KwnnnnnnnnnwK.",
    "..KwwwwwwwwwwwK.",
    "..KwnnnnnnnwwwK.",
    "..KwwwwwwwwwwwK.",
    "..KwnnnnnnnnnwK.",
    "..KwwwwwwwwwwwK.",
    "..KwnnnnnnwwwwK.",
    "..KwwwwwwwwwwwK.",
    "..KwwwwwwwwwwwK.",
    "..KKKKKKKKKKKKK.",
    "................",
};

const Art kPict = {
    "................",
    "................",
    ".KKKKKKKKKKKKKK.",
    ".KaaaaaaaaaaaaK.",
    ".KaaaaaaaayyaaK.",
    ".KaaaaaaayyyyaK.",
    ".KaaaaaaayyyyaK.",
    ".KaaagaaaayyaaK.",
    ".KaaggaaaaaaaaK.",
    ".KagggggaaagaaK.",
    ".KggggggggggggK.",
    ".KggggggggggggK.",
    ".KKKKKKKKKKKKKK.",
    "................",
    "................",
    "................",
};

const Art kOle = {
    "................",
    "......KKKKKKKKK.",
    ".....KbbbbbbbKK.",
    "....KbbbbbbbKnK.",
    "...KbbbbbbbKnnK.",
    "..KKKKKKKKKnnnK.",
    "..KppppppppKnnK.",
    "..KppppppppKnnK.",
    "..KppwwwwppKnnK.",
    "..KppwwwwppKnnK.",
    "..KppppppppKnnK.",
    "..KppppppppKnK..",
    "..KppppppppKK...",
    "..KKKKKKKKKK....",
    "................",
    "................",
};

// ---- The hand cursor ---------------------------------------------------------------------

// "X" black, "o" white, anything else transparent; rows below the art are transparent.
const std::vector<const char*> kHand = {
    ".....XX..........",
    "....XooX.........",
    "....XooX.........",
    "....XooX.........",
    "....XooX.........",
    "....XooXXX.......",
    "....XooXooXXX....",
    "....XooXooXooXX..",
    "....XooXooXooXoX.",
    "XXX.XooooooooXooX",
    "XooXXoooooooooooX",
    "XoooXoooooooooooX",
    ".XooXoooooooooooX",
    "..XoooooooooooooX",
    "..XooooooooooooX.",
    "...XoooooooooooX.",
    "...XooooooooooX..",
    "....XoooooooooX..",
    "....XoooooooooX..",
    ".....XooooooooX..",
    ".....XXXXXXXXXX..",
};

// ---- Files -------------------------------------------------------------------------------

void U16(std::string& out, uint32_t v) {
  out += char(v & 0xFF);
  out += char(v >> 8 & 0xFF);
}
void U32(std::string& out, uint32_t v) {
  U16(out, v & 0xFFFF);
  U16(out, v >> 16);
}

// The 40-byte BITMAPINFOHEADER of an uncompressed bitmap.
void InfoHeader(std::string& out, int width, int height, int bits, uint32_t imageSize) {
  U32(out, 40);
  U32(out, uint32_t(width));
  U32(out, uint32_t(height));
  U16(out, 1);
  U16(out, uint32_t(bits));
  U32(out, 0);  // BI_RGB
  U32(out, imageSize);
  U32(out, 2835);  // 72 dpi
  U32(out, 2835);
  U32(out, 0);
  U32(out, 0);
}

int PaletteIndex(const Rgb& c) {
  for (int i = 0; i < 16; ++i)
    if (kPalette[i] == c)
      return i;
  std::fprintf(stderr, "dxglyphs: colour %d,%d,%d is not in the palette\n", c.r, c.g, c.b);
  std::exit(1);
}

// A 4-bit bottom-up BMP file with the sixteen-colour palette.
std::string EncodeBmp4(const Sheet& glyph) {
  const uint32_t stride = uint32_t((glyph.width + 7) / 8 * 4);
  const uint32_t imageSize = stride * uint32_t(glyph.height);
  std::string out = "BM";
  U32(out, uint32_t(kGlyphFileSize));
  U32(out, 0);
  U32(out, 14 + 40 + 16 * 4);
  InfoHeader(out, glyph.width, glyph.height, 4, imageSize);
  for (const Rgb& c : kPalette) {
    out += char(c.b);
    out += char(c.g);
    out += char(c.r);
    out += char(0);
  }
  for (int y = glyph.height - 1; y >= 0; --y) {
    std::string row(stride, '\0');
    for (int x = 0; x < glyph.width; ++x)
      row[size_t(x / 2)] = char(row[size_t(x / 2)] | PaletteIndex(glyph.at(x, y)) << (x % 2 ? 0 : 4));
    out += row;
  }
  return out;
}

// The hand as a cursor file: one 32 x 32 monochrome image, its colour (XOR) bits then its
// transparency (AND) bits, rows bottom-up.
std::string EncodeCursor() {
  auto pixel = [](const void*, int x, int y) {
    if (y >= int(kHand.size()) || x >= int(std::string(kHand[size_t(y)]).size()))
      return '.';
    return kHand[size_t(y)][x];
  };
  static_assert(kCursorFileSize == luna::kMonoCursorFileSize);
  return luna::EncodeMonoCursor(kHotSpotX, kHotSpotY, pixel, nullptr);
}

// Every glyph zoomed in rows (tool bar, then icons), and the cursor; transparent pixels
// as a light checkerboard.
std::string ContactSheet(const std::vector<Sheet>& tools, const std::vector<Sheet>& icons) {
  const int zoom = 8, gap = 8, cell = kGlyphSize * zoom;
  const int columns = std::max(tools.size(), icons.size());
  const int w = columns * (cell + gap) + gap, h = 3 * gap + 2 * cell + gap + kCursorSize * 4 + gap;
  std::vector<Rgb> pixels(size_t(w) * h, Rgb{64, 64, 64});
  auto checker = [](int x, int y) { return ((x / 4 + y / 4) % 2) ? Rgb{255, 255, 255} : Rgb{220, 220, 220}; };
  auto place = [&](const Sheet& s, Rgb key, int ox, int oy) {
    for (int y = 0; y < cell; ++y)
      for (int x = 0; x < cell; ++x) {
        Rgb p = s.at(x / zoom, y / zoom);
        pixels[size_t(oy + y) * w + ox + x] = p == key ? checker(x, y) : p;
      }
  };
  for (size_t i = 0; i < tools.size(); ++i)
    place(tools[i], kToolKey, gap + int(i) * (cell + gap), gap);
  for (size_t i = 0; i < icons.size(); ++i)
    place(icons[i], kInplaceKey, gap + int(i) * (cell + gap), 2 * gap + cell);
  const int cursorTop = 3 * gap + 2 * cell;
  for (int y = 0; y < kCursorSize * 4; ++y)
    for (int x = 0; x < kCursorSize * 4; ++x) {
      const int cx = x / 4, cy = y / 4;
      char c = cy < int(kHand.size()) && cx < int(std::string(kHand[size_t(cy)]).size()) ? kHand[size_t(cy)][cx] : '.';
      Rgb p = c == 'X' ? Rgb{0, 0, 0} : c == 'o' ? Rgb{255, 255, 255} : checker(x, y);
      if (cx == kHotSpotX && cy == kHotSpotY && (x % 4 == 1 || x % 4 == 2) && (y % 4 == 1 || y % 4 == 2))
        p = Rgb{255, 0, 0};  // the hot spot
      pixels[size_t(cursorTop + y) * w + gap + x] = p;
    }
  return luna::EncodePng(w, h, pixels);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dxglyphs <output directory>\n");
    return 2;
  }
  const std::string dir = argv[1];
  const Art* tools[kToolCount] = {&kCut, &kCopy, &kPaste, &kDelete, &kLoad, &kSave};
  std::vector<Sheet> toolGlyphs;
  for (int i = 0; i < kToolCount; ++i) {
    toolGlyphs.push_back(Draw(*tools[i], kToolKey, kToolNames[i]));
    luna::WriteFile(dir + "/" + kToolNames[i] + ".bmp", EncodeBmp4(toolGlyphs.back()));
  }
  const Art* full[kInplaceCount / 2] = {&kBlob, &kMemo, &kPict, &kOle};
  std::vector<Sheet> icons;
  for (int i = 0; i < kInplaceCount / 2; ++i) {
    Sheet glyph = Draw(*full[i], kInplaceKey, kInplaceNames[2 * i + 1]);
    Sheet empty(kGlyphSize, kGlyphSize);
    for (int y = 0; y < kGlyphSize; ++y)
      for (int x = 0; x < kGlyphSize; ++x)
        empty.at(x, y) = EmptyGlyphPixel(glyph, x, y);
    icons.push_back(empty);
    icons.push_back(glyph);
  }
  for (int i = 0; i < kInplaceCount; ++i)
    luna::WriteFile(dir + "/" + kInplaceNames[i] + ".bmp", EncodeBmp4(icons[size_t(i)]));
  luna::WriteFile(dir + "/" + kCursorName + ".cur", EncodeCursor());
  luna::WriteFile(dir + "/editors-contact-sheet.png", ContactSheet(toolGlyphs, icons));
  return 0;
}
