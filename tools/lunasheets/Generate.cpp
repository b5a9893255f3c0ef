// Draws the Luna theme's two sheets, XP_MAIN.bmp (190 x 372) and XP_MAIN1.bmp
// (196 x 435), and the push buttons' kind glyphs KSBTN_*.bmp (Glyphs.cpp) into the
// directory given as the first argument, and a zoomed contact
// sheet (luna-contact-sheet.png) for people to look at. The artwork is this project's
// own, drawn from rules here: every cell lies where the theme takes it, stretched
// pieces are constant along their stretch direction, RGB(255, 0, 255) appears only
// where a cell drawn with alpha is transparent, and every colour survives the skin
// library's hue round trip. The output is the same byte for byte on every run.
//
// Regenerate the committed contact sheet from the worktree root with:
//   scripts/build.sh && cp build/generated/luna-contact-sheet.png docs/
// (the build compiles this tool with the host g++ and runs it into build/generated).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>

#include "Glyphs.h"
#include "LunaSheets.h"

using namespace luna;

namespace {

// The nearest colour (by squared distance, then by value) that survives the round trip.
Rgb Snap(Rgb c) {
  static std::map<uint32_t, Rgb> cache;
  uint32_t keyOf = uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
  if (auto it = cache.find(keyOf); it != cache.end())
    return it->second;
  Rgb best = c;
  int bestDistance = -1;
  for (int radius = 0; radius <= 12 && bestDistance < 0; ++radius)
    for (int dr = -radius; dr <= radius; ++dr)
      for (int dg = -radius; dg <= radius; ++dg)
        for (int db = -radius; db <= radius; ++db) {
          int r = c.r + dr, g = c.g + dg, b = c.b + db;
          if (r < 0 || g < 0 || b < 0 || r > 255 || g > 255 || b > 255)
            continue;
          Rgb candidate{uint8_t(r), uint8_t(g), uint8_t(b)};
          if (candidate == kKey || !IsFixedPoint(candidate))
            continue;
          int d = dr * dr + dg * dg + db * db;
          if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = candidate;
          }
        }
  cache[keyOf] = best;
  return best;
}

Rgb C(int r, int g, int b) { return Snap({uint8_t(r), uint8_t(g), uint8_t(b)}); }

Rgb Mix(Rgb a, Rgb b, double t) {
  auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
  return C(m(a.r, b.r), m(a.g, b.g), m(a.b, b.b));
}

// A pixel value that marks transparency in the painting functions.
struct Px {
  Rgb c;
  bool key = false;
};
Px K() { return {{}, true}; }
Px P(Rgb c) { return {c, false}; }

using Painter = std::function<Px(int x, int y, int w, int h)>;

void Paint(Sheet& s, int l, int t, int r, int b, const Painter& f) {
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) {
      Px p = f(x - l, y - t, r - l, b - t);
      s.at(x, y) = p.key ? kKey : p.c;
    }
}

// ---- Palette -------------------------------------------------------------------------

struct Palette {
  Rgb captionTop, captionMid, captionBottom, border1, border2, border3, client;
  Rgb button, buttonHot, buttonPressed, buttonEdge, close, closeHot, closePressed;
};

Palette Active() {
  return {C(90, 150, 245), C(8, 85, 220), C(0, 60, 180), C(0, 45, 150), C(20, 90, 230),
          C(60, 130, 245), C(236, 233, 216), C(40, 110, 240), C(80, 150, 255), C(10, 70, 190),
          C(255, 255, 255), C(225, 80, 40), C(245, 120, 80), C(180, 50, 20)};
}

Palette Inactive() {
  return {C(160, 180, 230), C(122, 150, 223), C(110, 135, 205), C(100, 120, 190),
          C(130, 150, 215), C(160, 180, 235), C(236, 233, 216), C(130, 155, 225),
          C(150, 175, 240), C(110, 130, 200), C(240, 240, 240), C(200, 140, 130),
          C(215, 160, 150), C(180, 110, 100)};
}

// ---- Frames --------------------------------------------------------------------------

// A frame block: caption rows shaded top to bottom, borders shaded outside in, the
// client area left in the face colour. Colours depend only on the row inside the
// caption and on the distance to the nearest edge in the borders, so every stretched
// piece is constant along its stretch direction.
void Frame(Sheet& s, int l, int w, int h, int captionH, int borderW, const Palette& p) {
  Rgb borderCols[3] = {p.border1, p.border2, p.border3};
  Paint(s, l, 0, l + w, h, [&](int x, int y, int, int) {
    if (y < captionH) {
      double t = double(y) / (captionH - 1);
      Rgb row = y == 0 ? p.border3 : t < 0.25 ? Mix(p.captionTop, p.captionMid, t * 4)
                                             : Mix(p.captionMid, p.captionBottom, (t - 0.25) / 0.75);
      if (y == captionH - 1)
        row = p.border1;
      // The end pieces get a dark outline and a light inner line.
      if (x == 0 || x == w - 1)
        return P(p.border1);
      if ((x == 1 || x == w - 2) && y > 0)
        return P(Mix(row, p.captionTop, 0.5));
      return P(row);
    }
    int fromLeft = x, fromRight = w - 1 - x, fromBottom = h - 1 - y;
    // The tool window's left border is taken three columns wide and drawn two wide:
    // its third column repeats the second.
    if (borderW == 2 && fromLeft == 2 && fromBottom >= borderW)
      fromLeft = 1;
    int edge = std::min({fromLeft, fromRight, fromBottom});
    if (edge < borderW)
      return P(borderCols[std::min(edge, 2)]);
    return P(p.client);
  });
}

// ---- Glyphs --------------------------------------------------------------------------

// A glyph as rows of text, '#' drawn, anything else not.
bool GlyphAt(const char* const* rows, int n, int x, int y) {
  if (y < 0 || y >= n)
    return false;
  int len = int(std::char_traits<char>::length(rows[y]));
  return x >= 0 && x < len && rows[y][x] == '#';
}

const char* const kClose[] = {"##....##", "###..###", ".######.", "..####..",
                              "..####..", ".######.", "###..###", "##....##"};
const char* const kHelp[] = {"..####..", ".##..##.", ".....##.", "....##..",
                             "...##...", "...##...", "........", "...##..."};
const char* const kMinimize[] = {"........", "........", "........", "........",
                                 "........", "........", "#####...", "#####..."};
const char* const kMaximize[] = {"########", "########", "#......#", "#......#",
                                 "#......#", "#......#", "#......#", "########"};
const char* const kRestore[] = {"..######", "..######", "..#....#", "######.#",
                                "######.#", "#....###", "#....#..", "######.."};
const char* const kRollUp[] = {"........", "...##...", "..####..", ".######.",
                               "########", "........", "........", "........"};
const char* const kRollDown[] = {"........", "........", "........", "########",
                                 ".######.", "..####..", "...##...", "........"};
const char* const kTray[] = {"........", "........", "........", "........",
                             "........", "..####..", "..####..", "........"};
const char* const* const kCaptionGlyphs[] = {kClose,   kHelp,    kMinimize, kMaximize,
                                             kRestore, kRollUp,  kRollDown, kTray};

// A caption button: a rounded square with a light rim, a face shaded downwards and a
// white glyph in the middle.
void CaptionButton(Sheet& s, int l, int t, int size, Rgb face, Rgb rim, const char* const* glyph,
                   Rgb back) {
  int g = size >= 21 ? 8 : 6;
  int gx = (size - g) / 2, gy = (size - g) / 2;
  Paint(s, l, t, l + size, t + size, [&](int x, int y, int w, int h) {
    bool corner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);
    if (corner)
      return P(back);
    if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
      return P(rim);
    int sx = (x - gx) * 8 / g, sy = (y - gy) * 8 / g;
    if (x >= gx && y >= gy && x < gx + g && y < gy + g && GlyphAt(glyph, 8, sx, sy))
      return P(C(255, 255, 255));
    return P(Mix(Mix(face, rim, 0.35), face, double(y) / (h - 1)));
  });
}

void CaptionButtons(Sheet& s, const Palette& p) {
  const int rows[] = {70, 100, 160, 130, 190, 280, 220, 250};
  for (int kind = 0; kind < 8; ++kind)
    for (int c = 0; c < 3; ++c) {
      Rgb face = kind == 0 ? (c == 0 ? p.close : c == 1 ? p.closeHot : p.closePressed)
                           : (c == 0 ? p.button : c == 1 ? p.buttonHot : p.buttonPressed);
      CaptionButton(s, 21 * c, rows[kind], 21, face, p.buttonEdge, kCaptionGlyphs[kind],
                    p.captionMid);
    }
  for (int c = 0; c < 3; ++c)
    CaptionButton(s, 66 + 14 * c, 70, 14, c == 0 ? p.close : c == 1 ? p.closeHot : p.closePressed,
                  p.buttonEdge, kClose, p.captionMid);
}

// A system-menu glyph: the caption glyph of the same picture, one pixel per cell, black
// in the middle of a key-coloured square.
Sheet FormGlyph(int kind) {
  const char* const* const glyphs[] = {kClose, kMinimize, kMaximize, kRestore, kRollUp, kTray};
  Sheet s(kFormGlyphSize, kFormGlyphSize);
  const int offset = (kFormGlyphSize - 8) / 2;
  for (int y = 0; y < kFormGlyphSize; ++y)
    for (int x = 0; x < kFormGlyphSize; ++x)
      s.at(x, y) = GlyphAt(glyphs[kind], 8, x - offset, y - offset) ? Rgb{0, 0, 0} : kKey;
  return s;
}

// ---- Nine-part cells -----------------------------------------------------------------

// A rounded box for nine-part drawing: its colour depends on the distance to the top,
// bottom, left or right edge within the margin and is uniform in the centre; the outer
// corner pixels are transparent when `roundKey`.
struct Box {
  Rgb outline, face;
  std::vector<Rgb> top, bottom, side;  // rows below the outline, rows above it, columns
  bool roundKey = true;
};

void NineBox(Sheet& s, int l, int t, int r, int b, int m, const Box& box) {
  Paint(s, l, t, r, b, [&](int x, int y, int w, int h) {
    int fromRight = w - 1 - x, fromBottom = h - 1 - y;
    bool cornerX = x < m || fromRight < m, cornerY = y < m || fromBottom < m;
    int dx = std::min(x, fromRight), dy = std::min(y, fromBottom);
    if (cornerX && cornerY) {
      if (box.roundKey && dx + dy <= 1 && dx == 0 && dy == 0)
        return K();
      if (box.roundKey && dx + dy == 1)
        return P(Mix(box.outline, box.face, 0.5));
    }
    if (dx == 0 || dy == 0)
      return P(box.outline);
    // Inside the outline: the edge bands by their distance, the centre uniform.
    if (y < m && (!cornerX || dy <= dx))
      return P(box.top[std::min<size_t>(dy - 1, box.top.size() - 1)]);
    if (fromBottom < m && (!cornerX || dy <= dx))
      return P(box.bottom[std::min<size_t>(dy - 1, box.bottom.size() - 1)]);
    if (cornerX)
      return P(box.side[std::min<size_t>(dx - 1, box.side.size() - 1)]);
    return P(box.face);
  });
}

void PushButtons(Sheet& s) {
  Rgb outline = C(0, 60, 116);
  Rgb face = C(244, 243, 238);
  Rgb light = C(255, 255, 255), shade = C(226, 223, 214), shadow = C(214, 208, 197);
  Rgb orange1 = C(255, 240, 207), orange2 = C(248, 179, 48), orange3 = C(229, 151, 0);
  Rgb blue1 = C(206, 231, 255), blue2 = C(105, 130, 238);
  auto box = [&](std::vector<Rgb> top, std::vector<Rgb> bottom, std::vector<Rgb> side, Rgb f,
                 Rgb o) { return Box{o, f, top, bottom, side, true}; };
  NineBox(s, 70, 100, 143, 121, 4, box({light, light, face}, {shadow, shade, face}, {face}, face, outline));
  NineBox(s, 70, 130, 143, 151, 4,
          box({orange1, orange2, face}, {orange3, orange2, face}, {orange2, orange1, face}, face, outline));
  NineBox(s, 70, 160, 143, 181, 4,
          box({shadow, shade, shade}, {shade, face, shade}, {shade}, C(226, 225, 218), outline));
  NineBox(s, 70, 190, 143, 211, 4,
          box({face, face, face}, {face, face, face}, {face}, face, C(201, 199, 186)));
  NineBox(s, 70, 220, 143, 241, 4,
          box({blue1, blue2, face}, {blue2, blue1, face}, {blue2, blue1, face}, face, outline));
}

void ToolButtons(Sheet& s) {
  Rgb face = C(239, 235, 222);
  Rgb hotEdge = C(206, 199, 179), hot = C(252, 252, 249);
  Rgb pressed = C(226, 222, 208), checked = C(250, 249, 245);
  Box hotBox{hotEdge, hot, {C(255, 255, 255)}, {C(241, 239, 232)}, {hot}, true};
  Box normalBox{hotEdge, face, {C(250, 249, 245)}, {C(226, 222, 208)}, {face}, true};
  Box pressedBox{C(154, 146, 120), pressed, {C(212, 207, 190)}, {pressed}, {pressed}, true};
  Box checkedBox{C(154, 146, 120), checked, {C(226, 222, 208)}, {checked}, {checked}, true};
  Box hotCheckedBox{C(105, 130, 238), C(238, 241, 252), {C(220, 228, 250)}, {C(238, 241, 252)},
                    {C(238, 241, 252)}, true};
  NineBox(s, 69, 278, 89, 301, 4, hotBox);
  NineBox(s, 89, 278, 109, 301, 4, normalBox);
  NineBox(s, 109, 278, 129, 301, 4, pressedBox);
  NineBox(s, 89, 301, 109, 324, 4, checkedBox);
  NineBox(s, 109, 301, 129, 324, 4, hotCheckedBox);
}

void SizeBoxes(Sheet& s) {
  for (int st = 0; st < 4; ++st) {
    Rgb face = st == 3 ? C(230, 228, 220) : C(239, 235, 222);
    Rgb dot = st == 1 ? C(49, 106, 197) : st == 2 ? C(0, 60, 116) : C(188, 183, 163);
    int t = 278 + 14 * st;
    NineBox(s, 132, t, 146, t + 14, 3, Box{face, face, {face}, {face}, {face}, false});
    // Grip dots in the bottom-right corner piece.
    s.at(143, t + 11) = dot;
    s.at(144, t + 12) = dot;
    s.at(145, t + 13) = dot;
    s.at(145, t + 11) = dot;
  }
}

// ---- Check boxes and radio buttons ---------------------------------------------------

const char* const kCheckMark[] = {"......#", ".....##", "#...###", "##.###.", "#####..",
                                  ".###...", "..#...."};

void CheckBoxes(Sheet& s) {
  Rgb green = C(33, 161, 33), grey = C(161, 161, 146);
  for (int cs = 0; cs < 3; ++cs)
    for (int ds = 0; ds < 4; ++ds) {
      int t = 102 + 16 * ds + 64 * cs;
      Rgb outline = ds == 3 ? C(202, 200, 187) : C(28, 81, 128);
      Rgb top = ds == 2 ? C(176, 176, 167) : ds == 3 ? C(255, 255, 255) : C(220, 220, 215);
      Rgb bottom = ds == 2 ? C(227, 226, 218) : C(255, 255, 255);
      Rgb ring = ds == 1 ? C(248, 179, 48) : top;
      Rgb mark = ds == 3 ? grey : green;
      Paint(s, 171, t, 187, t + 16, [&](int x, int y, int, int) {
        if (x < 1 || y < 1 || x > 13 || y > 13)  // a 13 x 13 box at (1, 1)
          return K();
        if (x == 1 || y == 1 || x == 13 || y == 13)
          return P(outline);
        if (ds == 1 && (x == 2 || y == 2 || x == 12 || y == 12))
          return P(ring);
        if (cs == 1 && GlyphAt(kCheckMark, 7, x - 4, y - 4))
          return P(mark);
        if (cs == 2 && x >= 5 && x <= 9 && y >= 5 && y <= 9)
          return P(mark);
        return P(Mix(top, bottom, double(y - 2) / 10));
      });
    }
}

void RadioButtons(Sheet& s) {
  for (int c = 0; c < 2; ++c)
    for (int ds = 0; ds < 4; ++ds) {
      int t = 102 + 16 * ds + 64 * c;
      Rgb outline = ds == 3 ? C(202, 200, 187) : C(28, 81, 128);
      Rgb top = ds == 2 ? C(176, 176, 167) : ds == 3 ? C(255, 255, 255) : C(220, 220, 215);
      Rgb bottom = ds == 2 ? C(227, 226, 218) : C(255, 255, 255);
      Rgb dot = ds == 3 ? C(161, 161, 146) : C(33, 161, 33);
      Paint(s, 152, t, 168, t + 16, [&](int x, int y, int, int) {
        double dx = x - 7, dy = y - 7, d = std::sqrt(dx * dx + dy * dy);
        if (d > 6.5)
          return K();
        if (d > 5.4)
          return P(outline);
        if (ds == 1 && d > 4.4)
          return P(C(248, 179, 48));
        if (c == 1 && d < 2.6)
          return P(Mix(dot, C(255, 255, 255), d < 1.2 ? 0.3 : 0.0));
        return P(Mix(top, bottom, double(y - 1) / 12));
      });
    }
}

// ---- Small parts of the first sheet --------------------------------------------------

void MenuBarButtons(Sheet& s) {
  const char* const* glyphs[] = {kMinimize, kRestore, kClose};  // x 0, 19, 38
  for (int k = 0; k < 3; ++k)
    for (int r = 0; r < 3; ++r) {
      Rgb back = r == 0 ? C(255, 255, 255) : r == 1 ? C(152, 181, 226) : C(193, 210, 238);
      Rgb edge = r == 0 ? back : C(49, 106, 197);
      Paint(s, 19 * k, 310 + 19 * r, 19 * k + 19, 329 + 19 * r, [&](int x, int y, int w, int h) {
        if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
          return P(edge);
        if (x >= 5 && y >= 5 && x < 13 && y < 13 && GlyphAt(glyphs[k], 8, x - 5, y - 5))
          return P(C(0, 0, 0));
        return P(back);
      });
    }
}

const char* const kChevronUp[] = {"...#...", "..###..", ".##.##.", "##...##", "...#...",
                                  "..###..", ".##.##.", "##...##"};
const char* const kChevronDown[] = {"##...##", ".##.##.", "..###..", "...#...", "##...##",
                                    ".##.##.", "..###..", "...#..."};

void ExplorerButtons(Sheet& s) {
  const char* const* glyphs[] = {kChevronUp, kChevronDown, kClose};
  for (int st = 0; st < 3; ++st)
    for (int r = 0; r < 3; ++r) {
      Rgb ring = st == 0 ? C(198, 211, 247) : st == 1 ? C(255, 255, 255) : C(152, 181, 226);
      Rgb glyph = st == 1 ? C(66, 142, 255) : C(33, 93, 198);
      Paint(s, 134 + 17 * st, 32 + 17 * r, 151 + 17 * st, 49 + 17 * r, [&](int x, int y, int, int) {
        double dx = x - 8, dy = y - 8, d = std::sqrt(dx * dx + dy * dy);
        if (d > 8.0)
          return K();
        if (d > 7.0)
          return P(ring);
        if (x >= 5 && y >= 4 && GlyphAt(glyphs[r], 8, x - 5, y - 4))
          return P(glyph);
        return P(C(255, 255, 255));
      });
    }
}

const char* const kDropGlyph[] = {"#########.", ".#######..", "..#####...", "...###....",
                                  "....#....."};

void ComboButtons(Sheet& s) {
  for (int st = 0; st < 4; ++st) {
    Rgb face = st == 0 ? C(193, 211, 251) : st == 1 ? C(215, 229, 255) : st == 2 ? C(152, 181, 226)
                                                                         : C(230, 230, 230);
    Rgb edge = st == 3 ? C(201, 199, 186) : C(180, 200, 246);
    int t = 248 + 14 * st;
    Paint(s, 151, t, 166, t + 14, [&](int x, int y, int w, int h) {
      // The middle rows (3..10) are stretched both ways: one colour.
      if (y >= 3 && y < 11)
        return P(face);
      if (y == 0 || y == h - 1)
        return P(edge);
      return P(Mix(face, C(255, 255, 255), y < 3 ? 0.4 : 0.0));
    });
    Rgb ink = st == 3 ? C(201, 199, 186) : C(77, 97, 133);
    Paint(s, 155, 314 + 7 * st, 165, 321 + 7 * st, [&](int x, int y, int, int) {
      return GlyphAt(kDropGlyph, 5, x, y - 1) ? P(ink) : K();
    });
  }
  for (int d = 0; d < 2; ++d)
    for (int st = 0; st < 4; ++st) {
      Rgb ink = st == 3 ? C(161, 161, 146) : d ? C(255, 255, 255) : C(0, 0, 0);
      int t = 311 + 3 * st + 12 * d;
      Paint(s, 60, t, 66, t + 3, [&](int x, int y, int, int) {
        return x >= y && x < 6 - y ? P(ink) : K();
      });
    }
}

void RebarGrip(Sheet& s) {
  Paint(s, 119, 58, 129, 64, [&](int x, int y, int, int) {
    if (x % 4 == 1 && y % 3 == 1)
      return P(C(255, 255, 255));
    if (x % 4 == 0 && y % 3 == 0)
      return P(C(160, 160, 160));
    return K();
  });
}

// ---- Second sheet parts --------------------------------------------------------------

void TrackThumbs(Sheet& s) {
  // Row index: 0 normal, 1 hot, 2 pressed, 3 focused, 4 disabled.
  for (int row = 0; row < 5; ++row) {
    Rgb face = row == 4 ? C(244, 243, 238) : row == 2 ? C(226, 223, 214) : C(244, 243, 238);
    Rgb accent = row == 1 ? C(248, 179, 48) : row == 3 ? C(105, 130, 238)
                 : row == 4 ? C(201, 199, 186) : C(33, 161, 33);
    Rgb outline = row == 4 ? C(201, 199, 186) : C(28, 81, 128);
    // shape 0 a rounded bar, 1 and 2 pointed at one end.
    auto thumb = [&](int l, int t, int r, int b, bool vertical, int shape) {
      Paint(s, l, t, r, b, [&](int x, int y, int w, int h) {
        int along = vertical ? x : y, across = vertical ? y : x;
        int length = vertical ? w : h, width = vertical ? h : w;
        // For pointed shapes the point is the last (shape 1) or first (shape 2) few pixels.
        int fromTip = shape == 1 ? length - 1 - along : shape == 2 ? along : length;
        int half = width / 2;
        int tip = half;
        if (fromTip < tip) {
          int reach = fromTip;  // narrows toward the tip
          if (std::abs(across - half) > reach)
            return K();
          if (std::abs(across - half) == reach)
            return P(outline);
          return P(face);
        }
        bool cornerAlong = along == 0 || along == length - 1;
        bool cornerAcross = across == 0 || across == width - 1;
        if (cornerAlong && cornerAcross)
          return K();
        if ((shape != 2 && along == 0) || (shape != 1 && along == length - 1) || cornerAcross)
          return P(outline);
        if (across == 1 || across == width - 2)
          return P(accent);
        return P(face);
      });
    };
    thumb(75, 128 + 43 * row, 97, 139 + 43 * row, true, 0);
    thumb(153, 96 + 55 * row, 175, 107 + 55 * row, true, 1);
    thumb(152, 78 + 55 * row, 174, 89 + 55 * row, true, 2);
    thumb(80, 100 + 43 * row, 91, 123 + 43 * row, false, 0);
    thumb(129, 96 + 55 * row, 140, 118 + 55 * row, false, 1);
    thumb(129, 67 + 55 * row, 140, 89 + 55 * row, false, 2);
  }
}

const char* const kArrowUp[] = {".........", ".........", "....#....", "...###...", "..#####..",
                                ".###.###.", ".##...##.", "........."};

void ScrollParts(Sheet& s) {
  Paint(s, 19, 305, 36, 322, [&](int, int, int, int) { return P(C(244, 244, 240)); });
  Paint(s, 37, 305, 54, 322, [&](int, int, int, int) { return P(C(190, 203, 228)); });
  for (int st = 0; st < 4; ++st) {
    Rgb face = st == 0 ? C(198, 211, 247) : st == 1 ? C(214, 228, 255) : st == 2 ? C(160, 180, 232)
                                                                         : C(230, 230, 230);
    Rgb edge = st == 3 ? C(232, 232, 232) : C(255, 255, 255);
    Rgb outline = st == 3 ? C(210, 210, 210) : C(160, 180, 232);
    int t = 305 + 17 * st;
    NineBox(s, 1, t, 18, t + 17, 3, Box{outline, face, {edge, face}, {face, face}, {edge, face}, true});
    Rgb ink = st == 3 ? C(190, 190, 190) : C(77, 97, 133);
    for (int k = 0; k < 4; ++k)
      Paint(s, 2 + 9 * k, 375 + 9 * st, 11 + 9 * k, 384 + 9 * st, [&](int x, int y, int w, int h) {
        // k: 0 up, 1 left, 2 down, 3 right; the up glyph turned.
        int gx = x, gy = y;
        if (k == 1) gx = y, gy = x;
        if (k == 2) gy = h - 1 - y;
        if (k == 3) gx = y, gy = w - 1 - x;
        return GlyphAt(kArrowUp, 8, gx, gy) ? P(ink) : K();
      });
  }
}

void Tabs(Sheet& s) {
  Rgb outline = C(145, 155, 156), white = C(255, 255, 255), face = C(252, 252, 254);
  Rgb orange = C(255, 200, 60), orangeDark = C(230, 139, 44);
  NineBox(s, 153, 344, 168, 362, 4, Box{outline, face, {face}, {C(244, 243, 238)}, {face}, false});
  const int shifts[] = {0, 21, 63, 42};  // positions 0 top, 1 bottom, 2 left, 3 right
  for (int pos = 0; pos < 4; ++pos) {
    int sh = shifts[pos];
    auto tab = [&](int l, int t, int r, int b, Rgb f, bool accent) {
      std::vector<Rgb> top{f}, bottom{f}, side{f};
      if (accent) {
        (pos == 0 ? top : pos == 1 ? bottom : side) = {orange, orangeDark, f};
      }
      NineBox(s, l, t, r, b, 4, Box{outline, f, top, bottom, side, true});
    };
    tab(68 + sh, 365, 89 + sh, 386, C(246, 246, 242), false);
    tab(68 + sh, 344, 89 + sh, 365, white, true);
    tab(69 + sh, 386, 87 + sh, 407, white, false);
  }
}

// ---- Output --------------------------------------------------------------------------

// Both sheets side by side, zoomed, the key colour shown as a light checkerboard.
std::string ContactSheet(const Sheet& a, const Sheet& b) {
  const int zoom = 3, gap = 8;
  int w = (a.width + b.width) * zoom + 3 * gap, h = std::max(a.height, b.height) * zoom + 2 * gap;
  std::vector<Rgb> pixels(size_t(w) * h, Rgb{64, 64, 64});
  auto place = [&](const Sheet& s, int ox) {
    for (int y = 0; y < s.height * zoom; ++y)
      for (int x = 0; x < s.width * zoom; ++x) {
        Rgb p = s.at(x / zoom, y / zoom);
        if (p == kKey)
          p = ((x / 3 + y / 3) % 2) ? Rgb{255, 255, 255} : Rgb{220, 220, 220};
        pixels[size_t(y + gap) * w + x + ox] = p;
      }
  };
  place(a, gap);
  place(b, 2 * gap + a.width * zoom);
  return EncodePng(w, h, pixels);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lunasheets <output directory>\n");
    return 2;
  }
  std::string dir = argv[1];
  Sheet first(kSheet1Width, kSheet1Height), second(kSheet2Width, kSheet2Height);
  // Outside the cells: a neutral grey that is no cell's colour.
  for (Sheet* s : {&first, &second})
    std::fill(s->pixels.begin(), s->pixels.end(), C(128, 128, 128));
  Frame(first, 0, 66, 60, 29, 3, Active());
  Frame(first, 66, 66, 51, 19, 2, Active());
  Frame(second, 0, 66, 60, 29, 3, Inactive());
  Frame(second, 66, 66, 51, 19, 2, Inactive());
  CaptionButtons(first, Active());
  CaptionButtons(second, Inactive());
  PushButtons(first);
  CheckBoxes(first);
  RadioButtons(first);
  MenuBarButtons(first);
  ExplorerButtons(first);
  ComboButtons(first);
  ToolButtons(first);
  SizeBoxes(first);
  RebarGrip(first);
  TrackThumbs(second);
  ScrollParts(second);
  Tabs(second);
  WriteFile(dir + "/XP_MAIN.bmp", EncodeBmp(first));
  WriteFile(dir + "/XP_MAIN1.bmp", EncodeBmp(second));
  WriteFile(dir + "/luna-contact-sheet.png", ContactSheet(first, second));
  for (int kind = 0; kind < kGlyphCount; ++kind)
    WriteFile(dir + "/" + kGlyphNames[kind] + ".bmp", EncodeBmp(ButtonGlyph(kind)));
  for (int kind = 0; kind < kFormGlyphCount; ++kind)
    WriteFile(dir + "/" + kFormGlyphNames[kind] + ".bmp", EncodeBmp(FormGlyph(kind)));
  return 0;
}
