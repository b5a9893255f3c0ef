#include "LunaSheets.h"

#include "../../skin/KsHSL.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace luna {

namespace {

// The CRC of a PNG chunk: over its type and its data.
uint32_t Crc(const std::string& type, const std::string& data) {
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), uInt(type.size()));
  return uint32_t(crc32(crc, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
}

}  // namespace

std::string EncodeMonoCursor(int hotX, int hotY, char (*pixel)(const void* art, int x, int y), const void* art) {
  std::string out;
  auto u16 = [&](uint32_t v) { out += char(v & 0xFF); out += char(v >> 8 & 0xFF); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  const uint32_t plane = kMonoCursorSize * 4;
  u16(0);
  u16(2);  // a cursor
  u16(1);
  out += char(kMonoCursorSize);
  out += char(kMonoCursorSize);
  out += char(0);
  out += char(0);
  u16(uint32_t(hotX));
  u16(uint32_t(hotY));
  u32(uint32_t(kMonoCursorFileSize - 22));
  u32(22);
  // The info header: the image twice as high (the XOR plane, then the AND mask).
  u32(40);
  u32(kMonoCursorSize);
  u32(2 * kMonoCursorSize);
  u16(1);
  u16(1);
  u32(0);
  u32(2 * plane);
  u32(2835);
  u32(2835);
  u32(0);
  u32(0);
  u32(0x00000000);  // black
  u32(0x00FFFFFF);  // white
  for (int mask = 0; mask < 2; ++mask)
    for (int y = kMonoCursorSize - 1; y >= 0; --y)
      for (int byte = 0; byte < 4; ++byte) {
        uint8_t bits = 0;
        for (int bit = 0; bit < 8; ++bit) {
          const char c = pixel(art, byte * 8 + bit, y);
          const bool set = mask == 0 ? c == 'o' : (c != 'X' && c != 'o');
          bits = uint8_t(bits | (set ? 0x80 >> bit : 0));
        }
        out += char(bits);
      }
  return out;
}

std::vector<std::string> DecodeMonoCursor(const std::string& b, int& hotX, int& hotY, std::string& problem) {
  if (b.size() != kMonoCursorFileSize) {
    problem = "wrong file size";
    return {};
  }
  if (ReadU16(b, 0) != 0 || ReadU16(b, 2) != 2 || ReadU16(b, 4) != 1 || uint8_t(b[6]) != kMonoCursorSize ||
      uint8_t(b[7]) != kMonoCursorSize || ReadU32(b, 14) != kMonoCursorFileSize - 22 || ReadU32(b, 18) != 22 ||
      ReadU32(b, 22) != 40 || ReadU32(b, 26) != kMonoCursorSize || ReadU32(b, 30) != 2 * kMonoCursorSize ||
      ReadU16(b, 36) != 1 || ReadU32(b, 62) != 0 || ReadU32(b, 66) != 0x00FFFFFF) {
    problem = "not a black and white cursor with one 32 x 32 image";
    return {};
  }
  hotX = ReadU16(b, 10);
  hotY = ReadU16(b, 12);
  const size_t xorBits = 70, andBits = 70 + kMonoCursorSize * 4;
  auto bit = [&](size_t plane, int x, int y) {
    const uint8_t byte = uint8_t(b[plane + size_t(kMonoCursorSize - 1 - y) * 4 + size_t(x / 8)]);
    return (byte & (0x80 >> (x % 8))) != 0;
  };
  std::vector<std::string> rows(kMonoCursorSize, std::string(kMonoCursorSize, '.'));
  for (int y = 0; y < kMonoCursorSize; ++y)
    for (int x = 0; x < kMonoCursorSize; ++x)
      if (!bit(andBits, x, y))
        rows[size_t(y)][size_t(x)] = bit(xorBits, x, y) ? 'o' : 'X';
  return rows;
}

std::string EncodeBmp(const Sheet& sheet) {
  int stride = (sheet.width * 3 + 3) & ~3;
  uint32_t imageSize = uint32_t(stride) * sheet.height;
  uint32_t fileSize = 54 + imageSize;
  std::string out;
  auto u16 = [&](uint32_t v) { out += char(v & 0xFF); out += char(v >> 8 & 0xFF); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  out += "BM";
  u32(fileSize);
  u32(0);
  u32(54);
  u32(40);
  u32(uint32_t(sheet.width));
  u32(uint32_t(sheet.height));
  u16(1);
  u16(24);
  u32(0);  // BI_RGB
  u32(imageSize);
  u32(2835);  // 72 dpi
  u32(2835);
  u32(0);
  u32(0);
  for (int y = sheet.height - 1; y >= 0; --y) {
    for (int x = 0; x < sheet.width; ++x) {
      const Rgb& p = sheet.at(x, y);
      out += char(p.b);
      out += char(p.g);
      out += char(p.r);
    }
    for (int i = sheet.width * 3; i < stride; ++i)
      out += char(0);
  }
  return out;
}

std::string EncodePng(int w, int h, const std::vector<Rgb>& pixels) {
  std::string raw;
  for (int y = 0; y < h; ++y) {
    raw += char(0);
    for (int x = 0; x < w; ++x) {
      const Rgb& p = pixels[size_t(y) * w + x];
      raw += char(p.r);
      raw += char(p.g);
      raw += char(p.b);
    }
  }
  uLongf size = compressBound(uLong(raw.size()));
  std::string packed(size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
            reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()), 9);
  packed.resize(size);
  std::string out = "\x89PNG\r\n\x1a\n";
  auto be32 = [&](uint32_t v) {
    for (int i = 3; i >= 0; --i)
      out += char(v >> (8 * i) & 0xFF);
  };
  auto chunk = [&](const std::string& type, const std::string& data) {
    be32(uint32_t(data.size()));
    out += type;
    out += data;
    be32(Crc(type, data));
  };
  std::string header;
  for (uint32_t v : {uint32_t(w), uint32_t(h)})
    for (int i = 3; i >= 0; --i)
      header += char(v >> (8 * i) & 0xFF);
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  chunk("IHDR", header);
  chunk("IDAT", packed);
  chunk("IEND", "");
  return out;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t ReadU32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}

uint16_t ReadU16(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

std::vector<std::string> SecondRunDifferences(const std::string& generator, const std::string& dir,
                                              const std::string& scratch, const std::vector<std::string>& files) {
  const std::string command = "mkdir -p '" + scratch + "' && '" + generator + "' '" + scratch + "'";
  if (std::system(command.c_str()) != 0)
    return {"the generator failed on its second run"};
  std::vector<std::string> problems;
  for (const std::string& file : files)
    if (ReadFile(dir + "/" + file) != ReadFile(scratch + "/" + file))
      problems.push_back(file + " differs between two runs");
  return problems;
}

// The skin library's own steps (skin/KsHSL.h, free of Windows): this tool runs on the
// build machine and cannot link the Windows-side code.
Rgb HueRoundTrip(Rgb c) {
  float h, s, l;
  KsRGBToHSLChannels(c.r, c.g, c.b, h, s, l);
  int r, g, b;
  KsHSLToRGBChannels(KsShiftHue(h, 0), s, l, r, g, b);
  auto clamp = [](int v) { return uint8_t(std::clamp(v, 0, 255)); };
  return {clamp(r), clamp(g), clamp(b)};
}

Rgb DisabledGlyphPixel(const Sheet& glyph, int x, int y) {
  auto ink = [&](int cx, int cy) {
    return cx >= 0 && cy >= 0 && cx < kGlyphCell && cy < kGlyphCell && !(glyph.at(cx, cy) == kKey);
  };
  if (ink(x, y))
    return kGlyphShade;
  if (ink(x - 1, y - 1))
    return kGlyphLight;
  return kKey;
}

std::vector<Piece> AllPieces() {
  std::vector<Piece> p;
  auto add = [&](int sheet, int l, int t, int r, int b, Mode m, const char* what) {
    p.push_back({sheet, l, t, r, b, m, what});
  };
  // A cell drawn nine-part: corners with or without alpha, edges and centre stretched.
  auto nine = [&](int sheet, int l, int t, int r, int b, int m, bool cornerAlpha, bool allAlpha,
                  const char* what) {
    Mode corner = cornerAlpha ? Mode::Alpha : Mode::Copy;
    Mode sx = allAlpha ? Mode::AlphaStretchX : Mode::StretchX;
    Mode sy = allAlpha ? Mode::AlphaStretchY : Mode::StretchY;
    Mode sxy = allAlpha ? Mode::AlphaStretchXY : Mode::StretchXY;
    add(sheet, l, t, l + m, t + m, corner, what);
    add(sheet, r - m, t, r, t + m, corner, what);
    add(sheet, l, b - m, l + m, b, corner, what);
    add(sheet, r - m, b - m, r, b, corner, what);
    add(sheet, l + m, t, r - m, t + m, sx, what);
    add(sheet, l + m, b - m, r - m, b, sx, what);
    add(sheet, l, t + m, l + m, b - m, sy, what);
    add(sheet, r - m, t + m, r, b - m, sy, what);
    add(sheet, l + m, t + m, r - m, b - m, sxy, what);
  };
  for (int s = 1; s <= 2; ++s) {
    // Standard frame: S0 3, S2 29, S4 10.
    add(s, 0, 0, 10, 29, Mode::Copy, "caption left end");
    add(s, 10, 0, 56, 29, Mode::StretchX, "caption middle");
    add(s, 56, 0, 66, 29, Mode::Copy, "caption right end");
    add(s, 0, 57, 3, 60, Mode::Copy, "frame bottom-left");
    add(s, 3, 57, 62, 60, Mode::StretchX, "frame bottom edge");
    add(s, 63, 57, 66, 60, Mode::Copy, "frame bottom-right");
    add(s, 0, 29, 3, 32, Mode::Copy, "left border top");
    add(s, 0, 32, 3, 57, Mode::StretchY, "left border");
    add(s, 63, 29, 66, 32, Mode::Copy, "right border top");
    add(s, 63, 32, 66, 57, Mode::StretchY, "right border");
    // Tool-window frame: S1 2, S3 19, S4 10.
    add(s, 66, 0, 76, 19, Mode::Copy, "tool caption left end");
    add(s, 76, 0, 121, 19, Mode::StretchX, "tool caption middle");
    add(s, 121, 0, 131, 19, Mode::Copy, "tool caption right end");
    add(s, 66, 49, 68, 51, Mode::Copy, "tool bottom-left");
    add(s, 68, 49, 129, 51, Mode::StretchX, "tool bottom edge");
    add(s, 130, 49, 132, 51, Mode::Copy, "tool bottom-right");
    add(s, 66, 19, 68, 21, Mode::Copy, "tool left border top");
    add(s, 66, 22, 69, 49, Mode::StretchY, "tool left border");
    add(s, 130, 19, 132, 21, Mode::Copy, "tool right border top");
    add(s, 130, 22, 132, 49, Mode::StretchY, "tool right border");
    // Caption buttons, three columns each.
    for (int row : {70, 100, 130, 160, 190, 220, 250, 280})
      for (int c = 0; c < 3; ++c)
        add(s, 21 * c, row, 21 * c + 21, row + 21, Mode::Copy, "caption button");
    for (int c = 0; c < 3; ++c)
      add(s, 66 + 14 * c, 70, 80 + 14 * c, 84, Mode::Copy, "tool close button");
  }
  // First sheet.
  for (int y : {100, 130, 160, 190, 220})
    nine(1, 70, y, 143, y + 21, 4, true, false, "push button");
  for (int cs = 0; cs < 3; ++cs)
    for (int ds = 0; ds < 4; ++ds)
      add(1, 171, 102 + 16 * ds + 64 * cs, 187, 118 + 16 * ds + 64 * cs, Mode::Alpha, "check box");
  for (int c = 0; c < 2; ++c)
    for (int ds = 0; ds < 4; ++ds)
      add(1, 152, 102 + 16 * ds + 64 * c, 168, 118 + 16 * ds + 64 * c, Mode::Alpha, "radio button");
  for (int k = 0; k < 3; ++k)
    for (int r = 0; r < 3; ++r)
      add(1, 19 * k, 310 + 19 * r, 19 * k + 19, 329 + 19 * r, Mode::Copy, "menu-bar button");
  for (int s = 0; s < 3; ++s)
    for (int r = 0; r < 3; ++r)
      add(1, 134 + 17 * s, 32 + 17 * r, 151 + 17 * s, 49 + 17 * r, Mode::Alpha, "explorer button");
  for (int s = 0; s < 4; ++s) {
    int t = 248 + 14 * s;
    add(1, 151, t, 166, t + 3, Mode::Copy, "combo button top");
    add(1, 151, t + 3, 166, t + 11, Mode::StretchXY, "combo button middle");
    add(1, 151, t + 11, 166, t + 14, Mode::Copy, "combo button bottom");
    add(1, 155, 314 + 7 * s, 165, 321 + 7 * s, Mode::Alpha, "combo glyph");
  }
  const int toolOffsets[][2] = {{0, 0}, {20, 0}, {40, 0}, {20, 23}, {40, 23}};
  for (auto& o : toolOffsets)
    nine(1, 69 + o[0], 278 + o[1], 89 + o[0], 301 + o[1], 4, true, false, "tool button");
  for (int s = 0; s < 4; ++s)
    nine(1, 132, 278 + 14 * s, 146, 292 + 14 * s, 3, true, false, "size box");
  for (int d = 0; d < 2; ++d)
    for (int s = 0; s < 4; ++s)
      add(1, 60, 311 + 3 * s + 12 * d, 66, 314 + 3 * s + 12 * d, Mode::Alpha, "drop-down glyph");
  add(1, 119, 58, 129, 64, Mode::Alpha, "rebar grip");
  // Second sheet.
  for (int row = 0; row < 5; ++row) {
    add(2, 75, 128 + 43 * row, 97, 139 + 43 * row, Mode::Alpha, "track thumb");
    add(2, 153, 96 + 55 * row, 175, 107 + 55 * row, Mode::Alpha, "track thumb");
    add(2, 152, 78 + 55 * row, 174, 89 + 55 * row, Mode::Alpha, "track thumb");
    add(2, 80, 100 + 43 * row, 91, 123 + 43 * row, Mode::Alpha, "track thumb");
    add(2, 129, 96 + 55 * row, 140, 118 + 55 * row, Mode::Alpha, "track thumb");
    add(2, 129, 67 + 55 * row, 140, 89 + 55 * row, Mode::Alpha, "track thumb");
  }
  add(2, 19, 305, 36, 322, Mode::StretchXY, "scroll track");
  add(2, 37, 305, 54, 322, Mode::StretchXY, "scroll track pressed");
  for (int s = 0; s < 4; ++s) {
    nine(2, 1, 305 + 17 * s, 18, 322 + 17 * s, 3, true, true, "scroll thumb");
    for (int k = 0; k < 4; ++k)
      add(2, 2 + 9 * k, 375 + 9 * s, 11 + 9 * k, 384 + 9 * s, Mode::Alpha, "scroll arrow");
  }
  nine(2, 153, 344, 168, 362, 4, false, false, "tab background");
  for (int shift : {0, 21, 42, 63}) {
    nine(2, 68 + shift, 365, 89 + shift, 386, 4, true, false, "tab");
    nine(2, 68 + shift, 344, 89 + shift, 365, 4, true, false, "tab selected");
    nine(2, 69 + shift, 386, 87 + shift, 407, 4, true, false, "tab state 4");
  }
  return p;
}

}  // namespace luna
