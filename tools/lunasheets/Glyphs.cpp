// Draws the push buttons' ten kind glyphs (KSBTN_OK ... KSBTN_ALL) as this project's own
// artwork: thick strokes and discs sampled at pixel centres, each shape with a darker
// rim, inside a key-coloured border so that the bottom-left pixel is transparent. The
// disabled cell follows the shared rule of LunaSheets.h.
#include "Glyphs.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace luna {

namespace {

struct Pt {
  double x, y;
};

// One shape: a thick polyline (radius > 0) or a filled disc (a single point).
struct Shape {
  std::vector<Pt> points;
  double radius;
  Rgb fill, rim;
};

double SegmentDistance(Pt p, Pt a, Pt b) {
  double dx = b.x - a.x, dy = b.y - a.y, len = dx * dx + dy * dy;
  double t = len == 0 ? 0 : ((p.x - a.x) * dx + (p.y - a.y) * dy) / len;
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return std::sqrt(ex * ex + ey * ey);
}

double ShapeDistance(const Shape& s, Pt p) {
  if (s.points.size() == 1)
    return SegmentDistance(p, s.points[0], s.points[0]);
  double best = 1e9;
  for (size_t i = 0; i + 1 < s.points.size(); ++i)
    best = std::min(best, SegmentDistance(p, s.points[i], s.points[i + 1]));
  return best;
}

// Points along an arc of the circle (cx, cy, r) from angle a0 to a1 (degrees, y down).
std::vector<Pt> Arc(double cx, double cy, double r, double a0, double a1) {
  std::vector<Pt> pts;
  const int steps = 24;
  for (int i = 0; i <= steps; ++i) {
    double a = (a0 + (a1 - a0) * i / steps) * 3.14159265358979323846 / 180.0;
    pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return pts;
}

constexpr Rgb kGreen{0, 150, 0}, kGreenRim{0, 80, 0};
constexpr Rgb kRed{220, 30, 30}, kRedRim{120, 0, 0};
constexpr Rgb kBlue{30, 80, 220}, kBlueRim{0, 30, 120};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBrown{150, 100, 40}, kBrownRim{90, 50, 10};

Shape Stroke(std::vector<Pt> pts, double radius, Rgb fill, Rgb rim) { return {pts, radius, fill, rim}; }
Shape Disc(double cx, double cy, double r, Rgb fill, Rgb rim) { return {{{cx, cy}}, r, fill, rim}; }
// A mark drawn over an earlier shape: no rim of its own.
Shape Mark(std::vector<Pt> pts, double radius, Rgb fill) { return {pts, radius, fill, fill}; }

std::vector<Shape> Design(int kind) {
  switch (kind) {
    case 0:  // OK: a check mark
      return {Stroke({{3.5, 9}, {6.5, 12}, {13, 4.5}}, 1.2, kGreen, kGreenRim)};
    case 1:  // Cancel: a cross
      return {Stroke({{4.5, 4.5}, {12.5, 12.5}}, 1.2, kRed, kRedRim),
              Stroke({{12.5, 4.5}, {4.5, 12.5}}, 1.2, kRed, kRedRim)};
    case 2:  // Help: a question mark
      return {Stroke(Arc(8.5, 6.5, 3.2, 180, 400), 1.2, kBlue, kBlueRim),
              Stroke({{10.9, 8.7}, {8.5, 10.5}, {8.5, 11}}, 1.2, kBlue, kBlueRim),
              Disc(8.5, 14, 1.3, kBlue, kBlueRim)};
    case 3:  // Yes: a white check on a green disc
      return {Disc(8.5, 8.5, 6.6, kGreen, kGreenRim),
              Mark({{5, 8.5}, {7.5, 11}, {12, 5.5}}, 0.9, kWhite)};
    case 4:  // No: a white bar on a red disc
      return {Disc(8.5, 8.5, 6.6, kRed, kRedRim), Mark({{5, 8.5}, {12, 8.5}}, 1.0, kWhite)};
    case 5:  // Close: a door with an arrow leaving it
      return {Stroke({{9, 4}, {3, 4}, {3, 14}, {9, 14}}, 0.8, kBrown, kBrownRim),
              Stroke({{6.5, 9}, {14.5, 9}}, 1.0, kGreen, kGreenRim),
              Stroke({{11.5, 6}, {14.5, 9}, {11.5, 12}}, 1.0, kGreen, kGreenRim)};
    case 6:  // Abort: a white cross on a dark red disc
      return {Disc(8.5, 8.5, 6.6, kRedRim, Rgb{70, 0, 0}),
              Mark({{6, 6}, {11, 11}}, 0.9, kWhite), Mark({{11, 6}, {6, 11}}, 0.9, kWhite)};
    case 7:  // Retry: a circular arrow
      return {Stroke(Arc(8.5, 9, 4.8, -60, 220), 1.1, kGreen, kGreenRim),
              Stroke({{10, 2.8}, {11, 4.8}, {8.7, 6}}, 1.0, kGreen, kGreenRim)};
    case 8:  // Ignore: an arrow jumping over a gap
      return {Stroke(Arc(8.5, 11.5, 5, 180, 360), 1.0, kBlue, kBlueRim),
              Stroke({{11.2, 10.5}, {13.5, 12.8}, {14.2, 9.8}}, 0.8, kBlue, kBlueRim)};
    default:  // All: two check marks
      return {Stroke({{3, 7.5}, {5.5, 10}, {10, 3.5}}, 1.0, kGreen, kGreenRim),
              Stroke({{6.5, 11}, {8.5, 13}, {13.5, 6}}, 1.0, kGreen, kGreenRim)};
  }
}

}  // namespace

Sheet ButtonGlyph(int kind) {
  Sheet glyph(2 * kGlyphCell, kGlyphCell);
  std::vector<Shape> shapes = Design(kind);
  for (int y = 0; y < kGlyphCell; ++y)
    for (int x = 0; x < kGlyphCell; ++x) {
      Pt p{x + 0.5, y + 0.5};
      Rgb c = kKey;
      // Later shapes lie over earlier ones; a rim is one pixel outside its shape.
      for (const Shape& s : shapes) {
        double d = ShapeDistance(s, p);
        if (d <= s.radius)
          c = s.fill;
        else if (d <= s.radius + 1.0 && !(s.rim == s.fill))
          c = s.rim;
      }
      glyph.at(x, y) = c;
    }
  // Ink stays inside the key border, leaving room for the disabled shadow.
  for (int y = 0; y < kGlyphCell; ++y)
    for (int x = 0; x < kGlyphCell; ++x)
      if (!(glyph.at(x, y) == kKey) && (x < 1 || y < 1 || x > kGlyphCell - 3 || y > kGlyphCell - 3)) {
        std::fprintf(stderr, "lunasheets: %s has ink at (%d, %d) outside its border\n",
                     kGlyphNames[kind], x, y);
        std::exit(1);
      }
  for (int y = 0; y < kGlyphCell; ++y)
    for (int x = 0; x < kGlyphCell; ++x)
      glyph.at(kGlyphCell + x, y) = DisabledGlyphPixel(glyph, x, y);
  return glyph;
}

}  // namespace luna
