// Every block that draws sets the attributes its objects take at its own start, so that
// what an object is given never depends on an attribute set inside another block. Places,
// sizes and texts are kept where every rule is exact: coordinates in whole units, text
// sizes whose host height (0.8 of them) is a whole board unit, turns by multiples of 90
// degrees, an arc's start at a whole distance from its centre.
#include "tools/kivogen/KivoSampleBoard.h"

#include "tools/kivogen/KivoBoardGenerator.h"
#include "tools/kivogen/KivoRandom.h"

#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>

namespace {

// The board is in mils on a grid of 2: a unit of the file is two mils, 20000 board units.
// (A zero width and the host's text defaults are board units, not scaled.)
constexpr int64_t kMil = 10000, kGrid = 2, kUnit = kGrid * kMil;
// A new text of the host, and what the import leaves of it: its size and line width.
constexpr double kHostTextSize = 600000, kHostTextLineWidth = 100000;
constexpr int64_t kDefaultWidth = 10 * kMil;  // for a width of 0
constexpr int kMultiLayer = 74, kTopLayer = 1, kBottomLayer = 32, kTopOverlay = 33;

double D(int64_t value) {
  return static_cast<double>(value);
}

double Normalised(double degrees) {
  double turned = std::fmod(degrees, 360.0);
  if (turned < 0)
    turned += 360;
  return turned == 360 ? 0 : turned;
}

// The direction from one point to another, counter-clockwise from the x axis, [0, 360).
double Direction(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return Normalised(std::atan2(static_cast<double>(y2 - y1), static_cast<double>(x2 - x1)) * 180 /
                    std::numbers::pi);
}

// The drawing state as the sample's attributes set it.
struct TState {
  std::string Layer;
  int64_t Width = 0, TextSize = 0;  // units of the file
  std::string Justification;        // as [TJ] writes it
  int Turn = 0;                     // as [TR] writes it (0 to 3)
  bool Mirror = false;
};

// The justification codes of a [TJ] value: the first character L, R or C; the second T,
// B or C; anything else 0.
int HorizontalCode(const std::string& value) {
  const char h = value.empty() ? 0 : value[0];
  return h == 'L' ? 1 : h == 'R' ? 2 : h == 'C' ? 5 : 0;
}
int VerticalCode(const std::string& value) {
  const char v = value.size() < 2 ? 0 : value[1];
  return v == 'T' ? 3 : v == 'B' ? 4 : v == 'C' ? 5 : 0;
}

// Where the host's justification puts a text stored at (x, y): its box is `length`
// characters of `size` wide and `size` high, turned about (x, y) by `rotation` (a multiple
// of 90) and mirrored about the vertical line through x; right or centre moves it left by
// its width or to the middle of its box, top or centre down, and any turn right by its
// width. Halves truncate toward zero, as the host's integer division does.
void Justify(int64_t& x, int64_t& y, int64_t size, size_t length, int rotation, bool mirror,
             int horizontal, int vertical) {
  const int64_t w = static_cast<int64_t>(length) * size, h = size;
  int64_t x1 = x, y1 = y, x2 = x + w, y2 = y + h;
  switch (static_cast<int>(Normalised(rotation))) {
    case 90:
      x1 = x - h, y1 = y, x2 = x, y2 = y + w;
      break;
    case 180:
      x1 = x - w, y1 = y - h, x2 = x, y2 = y;
      break;
    case 270:
      x1 = x, y1 = y - w, x2 = x + h, y2 = y;
      break;
    default:
      break;
  }
  if (mirror)
    std::tie(x1, x2) = std::pair(2 * x - x2, 2 * x - x1);
  if (horizontal == 2)
    x -= x2 - x1;
  else if (horizontal == 5)
    x -= x2 / 2 - x1 / 2;
  if (Normalised(rotation) != 0)
    x += x2 - x1;
  if (vertical == 3)
    y -= y2 - y1;
  else if (vertical == 5)
    y -= y2 / 2 - y1 / 2;
}

// What a pin of each pad-stack index is made into, in units of the file: the pad
// definitions of the sample's PAD_STACK measured by the pad rules (a definition's name may
// encode its size, shape and hole; its graphics on PADCOM, PADINT and PADSLD give the top,
// inner and bottom pads, a DRILL text the hole plus the definition's width; a surface-mount
// one is measured by its first graphic).
struct TPadKind {
  int Index;
  double TopX, TopY, MidX, MidY, BotX, BotY, Hole;
  int TopShape, MidShape, BotShape, Layer;
};
constexpr TPadKind kPads[] = {
    {1, 70, 70, 0, 0, 70, 70, 45, 1, 4, 4, kMultiLayer},    // RND60
    {3, 40, 60, 40, 60, 40, 60, 0, 2, 2, 2, kTopLayer},     // SMD40X60
    {4, 62, 62, 62, 62, 62, 62, 38, 2, 2, 2, kMultiLayer},  // C62R38
    {5, 70, 70, 46, 46, 50, 20, 32, 2, 1, 1, kMultiLayer},  // SQ70
    {6, 52, 52, 52, 52, 52, 52, 0, 4, 4, 4, kTopLayer},     // SMDRND
    {7, 70, 30, 70, 30, 70, 30, 0, 1, 1, 1, kBottomLayer},  // SMDLINE
};
// A pin of index 4 on no net takes the record's second definition, 60X40.
constexpr TPadKind kUnconnectedPad4 = {4, 60, 60, 60, 60, 60, 60, 40, 4, 4, 4, kMultiLayer};
// Vias: the inner size and the hole, in units of the file.
struct TViaKind {
  int Index;
  double Size, Hole;
};
constexpr TViaKind kVias[] = {{2, 34, 25} /* VIA30 */, {8, 24, 12} /* V24X12 */};

const char* const kPadStack =
    "{PAD_STACK\r\n"
    "  {PAD 1 \"RND60\" \"RND60\"}\r\n"
    "  {PAD 2 \"VIA30\" \"VIA30\"}\r\n"
    "  {PAD 3 \"SMD40X60\" \"SMD40X60\"}\r\n"
    "  {PAD 4 \"C62R38\" \"60X40\"}\r\n"
    "  {PAD 5 \"SQ70\" \"SQ70\"}\r\n"
    "  {PAD 6 \"SMDRND\" \"SMDRND\"}\r\n"
    "  {PAD 7 \"SMDLINE\" \"SMDLINE\"}\r\n"
    "  {PAD 8 \"V24X12\" \"V24X12\"}\r\n"
    "  [WD 10]\r\n"
    "  {PAD_DEF RND60 {PIC [LY \"PADCOM\"] [WD 10] {C 0 0 30} [LY \"DRILL\"] {T \"35\" 0 0}}}\r\n"
    "  [WD 10]\r\n"
    "  {PAD_DEF VIA30 {PIC [LY \"PADCOM\"] [WD 10] {C 0 0 15}\r\n"
    "    [LY \"PADINT\"] [WD 10] {C 0 0 12} [LY \"DRILL\"] {T \"15\" 0 0}}}\r\n"
    "  {PAD_DEF SMD40X60 {PIC [LY \"PADCOM\"] [WD 0] {FR -20 -30 20 30}}\r\n"
    "    {ATR {IN {SMD \"Y\"}}}}\r\n"
    "  {PAD_DEF C62R38 {ATR {IN {SMD \"N\"}}}}\r\n"
    "  {PAD_DEF 60X40}\r\n"
    "  [WD 4]\r\n"
    "  {PAD_DEF SQ70 {PIC [LY \"PADCOM\"] [WD 0] {FR -35 -35 35 35}\r\n"
    "    [LY \"PADINT\"] [WD 6] {C 0 0 20} [LY \"PADSLD\"] [WD 20] {L -15 0 15 0}\r\n"
    "    [LY \"DRILL\"] [WD 4] {T \"28\" 0 0}}}\r\n"
    "  {PAD_DEF SMDRND {PIC [LY \"PADCOM\"] [WD 2] {C 0 0 25}} {ATR {IN {SMD \"Y\"}}}}\r\n"
    "  {PAD_DEF SMDLINE {PIC [LY \"PADSLD\"] [WD 30] {L -20 0 20 0}} {ATR {IN {SMD \"Y\"}}}}\r\n"
    "  {PAD_DEF V24X12}\r\n"
    "}\r\n";

// The justifications every text goes through in turn, among them a letter alone (no
// vertical justification).
const char* const kJustifications[] = {"LB", "LT", "LC", "RB", "RT", "RC",
                                       "CB", "CT", "CC", "L",  "R"};
constexpr int64_t kTextSizes[] = {40, 50, 60, 75, 100};
const char* const kLineStyles[] = {"DASHED", "DOTTED", "SOLID"};
const char* const kLayers[] = {cKivoBoardLayers[0].Name, cKivoBoardLayers[1].Name,
                               cKivoBoardLayers[2].Name};
// Directions of a whole length 5 for an arc's start point.
constexpr int kDirections[][2] = {{5, 0}, {0, 5},  {-5, 0},  {0, -5},
                                  {3, 4}, {-4, 3}, {-3, -4}, {4, -3}};

// An instance's placement: a turn by a multiple of 90 degrees about the definition's
// origin, then a move to the instance's origin (the host's placement of a component).
struct TPlacement {
  int64_t X = 0, Y = 0;  // board units
  int Rotation = 0;
  void Carry(double& x, double& y) const {
    const int turn = static_cast<int>(Normalised(Rotation));
    const double c = turn == 0     ? 1
                     : turn == 180 ? -1
                                   : 0,
                 s = turn == 90    ? 1
                     : turn == 270 ? -1
                                   : 0;
    const double dx = x, dy = y;
    x = static_cast<double>(X) + dx * c - dy * s;
    y = static_cast<double>(Y) + dx * s + dy * c;
  }
};

class TSampleWriter {
 public:
  TSampleWriter(uint64_t seed, std::vector<TKivoBoardObject>* objects)
      : FRandom(seed), FObjects(objects) {}

  std::string Run() {
    Write(
        "% A generated sample board: every field the reader takes\r\n{COMPONENT \"SAMPLE\"\r\n"
        "{ENVIRONMENT\r\n  {KIVOVREV \"3.0\"}\r\n  {PROGRAM \"kivogen\"}\r\n"
        "  {DBTYPE \"PC-Board\"}\r\n  {DBUNIT \"MIL\"}\r\n  {DBGRID 2}\r\n"
        "  {LYRSTR \"TOP\" 1 \"BOTTOM\" 2 \"SILK\" 3}\r\n"
        "  {LYRPHID \"1\" 1 0 \"2\" 2 0 \"3\" 1 0}\r\n}\r\n"
        "{DISPLAY [LY \"SILK\"] [WD 10] [TS 60] [TJ \"LB\"]}\r\n{DETAIL\r\n");
    Write(kPadStack);
    Nets();
    Components();
    Annotations();
    Write("}\r\n}\r\n");
    return std::move(FText);
  }

 private:
  void Write(const std::string& text) { FText += text; }
  static std::string Number(int64_t value) { return std::to_string(value); }
  int64_t Coord(int64_t extent) {
    return FRandom.Range(static_cast<int32_t>(-extent), static_cast<int32_t>(extent));
  }
  int64_t EffectiveWidth() const {
    return FState.Width == 0 ? kDefaultWidth : FState.Width * kUnit;
  }

  // Writes every attribute of `state` on a line of its own (with a line style, which no
  // host object shows) and makes it the state.
  void Attributes(const TState& state, const char* indent) {
    FState = state;
    Write(std::string(indent) + "[LY \"" + state.Layer + "\"] [WD " + Number(state.Width) +
          "] [TS " + Number(state.TextSize) + "] [TJ \"" + state.Justification + "\"] [TR " +
          Number(state.Turn) + "] [TM \"" + (state.Mirror ? "Y" : "N") + "\"] [LS \"" +
          kLineStyles[FRandom.Range(0, 2)] + "\"]\r\n");
  }
  // The next text's attributes, in turn through every justification, turn and mirror.
  TState NextTextState(const std::string& layer, int64_t width) {
    const int k = FTexts++;
    return {layer, width, kTextSizes[k % 5], kJustifications[k % 11], k % 4, (k / 4) % 2 == 1};
  }

  // An object drawn in the current state, into the list being made (the board's, or a
  // definition's for its instances).
  TKivoBoardObject& Add(const char* kind, const std::string& name = std::string()) {
    FDrawing.push_back({kind, "", FNet, FState.Layer, name, {}, {}});
    return FDrawing.back();
  }
  static void Place(TKivoBoardObject& o, int64_t x, int64_t y, const char* fx = "X",
                    const char* fy = "Y") {
    o.Fields[fx] = static_cast<double>(x * kUnit);
    o.Fields[fy] = static_cast<double>(y * kUnit);
  }
  // The board's objects made so far go to the list.
  void FlushDrawing() {
    if (FObjects)
      FObjects->insert(FObjects->end(), FDrawing.begin(), FDrawing.end());
    FDrawing.clear();
  }

  // Primitives: each writes its block and adds what it makes.
  void Line(const char* keyword, const std::vector<std::pair<int64_t, int64_t>>& points,
            const char* indent) {
    std::string text = std::string(indent) + "{" + keyword;
    for (const auto& [x, y] : points)
      text += " " + Number(x) + " " + Number(y);
    Write(text + "}\r\n");
    Tracks(points);
  }
  // The tracks of a line: one from each vertex to the next, none between equal vertices.
  void Tracks(const std::vector<std::pair<int64_t, int64_t>>& points) {
    for (size_t i = 1; i < points.size(); ++i) {
      if (points[i] == points[i - 1])
        continue;
      TKivoBoardObject& track = Add("track");
      Place(track, points[i - 1].first, points[i - 1].second);
      Place(track, points[i].first, points[i].second, "X2", "Y2");
      track.Fields["Width"] = static_cast<double>(EffectiveWidth());
    }
  }
  void Rectangle(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const char* indent) {
    Write(std::string(indent) + "{R " + Number(x1) + " " + Number(y1) + " " + Number(x2) + " " +
          Number(y2) + "}\r\n");
    Tracks({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}});
  }
  void Arc(int64_t cx, int64_t cy, const char* indent) {
    const int* start = kDirections[FRandom.Range(0, 7)];
    const int64_t scale = FRandom.Range(4, 40);
    const int64_t sx = cx + start[0] * scale, sy = cy + start[1] * scale;
    const int64_t ex = cx + Coord(200), ey = cy + Coord(200);
    Write(std::string(indent) + "{ARC " + Number(cx) + " " + Number(cy) + " " + Number(sx) + " " +
          Number(sy) + " " + Number(ex) + " " + Number(ey) + "}\r\n");
    TKivoBoardObject& arc = Add("arc");
    Place(arc, cx, cy);
    arc.Fields["Radius"] = static_cast<double>(5 * scale * kUnit);
    arc.Fields["StartAngle"] = Direction(cx, cy, sx, sy);
    arc.Fields["EndAngle"] = Direction(cx, cy, ex, ey);
    arc.Fields["LineWidth"] = static_cast<double>(EffectiveWidth());
  }
  void Circle(int64_t cx, int64_t cy, const char* indent) {
    const int64_t radius = FRandom.Range(5, 200);
    Write(std::string(indent) + "{C " + Number(cx) + " " + Number(cy) + " " + Number(radius) +
          "}\r\n");
    TKivoBoardObject& arc = Add("arc");
    Place(arc, cx, cy);
    arc.Fields["Radius"] = static_cast<double>(radius * kUnit);
    arc.Fields["StartAngle"] = 0;
    arc.Fields["EndAngle"] = 360;
    arc.Fields["LineWidth"] = static_cast<double>(EffectiveWidth());
  }
  // A filled rectangle: its corners stay in the file's order.
  void Fill(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const char* indent) {
    Write(std::string(indent) + "{FR " + Number(x1) + " " + Number(y1) + " " + Number(x2) + " " +
          Number(y2) + "}\r\n");
    TKivoBoardObject& fill = Add("fill");
    Place(fill, x1, y1);
    Place(fill, x2, y2, "X2", "Y2");
    fill.Fields["Rotation"] = 0;
  }
  // A text (a net's name when `value` is empty: NN), justified as the state says.
  void Text(const std::string& value, int64_t x, int64_t y, const char* indent) {
    const std::string text = value.empty() ? FNet : value;
    Write(std::string(indent) + (value.empty() ? "{NN " : "{T \"" + value + "\" ") + Number(x) +
          " " + Number(y) + "}\r\n");
    TKivoBoardObject& o = Add("text", text);
    const int rotation = 90 * FState.Turn;
    const int64_t size = FState.TextSize * kUnit * 8 / 10;
    int64_t hx = x * kUnit, hy = y * kUnit;
    Justify(hx, hy, size, text.size(), rotation, FState.Mirror,
            HorizontalCode(FState.Justification), VerticalCode(FState.Justification));
    o.Fields = {{"X", D(hx)},
                {"Y", D(hy)},
                {"Size", D(size)},
                {"Rotation", D(rotation)},
                {"MirrorFlag", D(FState.Mirror)},
                {"LineWidth", kHostTextLineWidth}};
  }
  // A polygon of three to six corners about (x, y), of outline kind 1 or 2, given open or
  // closed (its first point again).
  void Polygon(int64_t x, int64_t y, int kind, bool closed, const char* indent) {
    std::vector<std::pair<int64_t, int64_t>> points;
    const int corners = FRandom.Range(3, 6);
    for (int c = 0; c < corners; ++c) {
      const int64_t px = x + Coord(300), py = y + Coord(300);
      points.emplace_back(px, py);
    }
    if (closed)
      points.push_back(points.front());
    std::string text = std::string(indent) + "{POLY {OL " + Number(kind);
    for (const auto& [px, py] : points)
      text += " " + Number(px) + " " + Number(py);
    Write(text + "}}\r\n");
    TKivoBoardObject& polygon = Add("polygon");
    if (points.back() != points.front())
      points.push_back(points.front());
    for (const auto& [px, py] : points) {
      polygon.Records.push_back(px * kUnit);
      polygon.Records.push_back(py * kUnit);
    }
    const int64_t width = EffectiveWidth();
    polygon.Fields = {{"PolygonFlag3", 1},
                      {"PolygonByte2", D(kind == 1 ? 3 : 0)},
                      {"TrackWidth", D(width)},
                      {"GridSize", D(kind == 1 ? width / 2 : 2 * width)}};
  }
  void Via(int64_t x, int64_t y, const TViaKind& kind, const char* indent) {
    Write(std::string(indent) + "{V " + Number(x) + " " + Number(y) + " " + Number(kind.Index) +
          "}\r\n");
    TKivoBoardObject& via = Add("via");
    via.Layer.clear();
    Place(via, x, y);
    via.Fields["layer"] = kMultiLayer;
    via.Fields["Size"] = kind.Size * kUnit;
    via.Fields["HoleSize"] = kind.Hole * kUnit;
  }

  // Nets: each draws a via (of either kind in turn), its name, a wire, an arc, a text and
  // a polygon, its attributes changed on the way.
  void Nets() {
    Write("{NET_DEF\r\n");
    for (int n = 0; n < kNets; ++n) {
      FNet = "NET" + Number(n);
      if (FObjects)
        FObjects->push_back({"net", "", "", "", FNet, {}, {}});
      Write("  {N " + FNet + "\r\n    {DG\r\n");
      Attributes(NextTextState(kLayers[n % 3], FRandom.Range(0, 3) == 0 ? 0 : FRandom.Range(6, 30)),
                 "      ");
      for (int item = 0; item < 6; ++item) {
        const int64_t x = Coord(6000), y = Coord(6000);
        switch ((n + item) % 6) {
          case 0:
            Via(x, y, kVias[n % 2], "      ");
            break;
          case 1:
            Text("", x, y, "      ");
            break;
          case 2:
            Line("W", {{x, y}, {x + Coord(400), y}, {x + Coord(400), y + Coord(400)}}, "      ");
            break;
          case 3:
            Arc(x, y, "      ");
            break;
          case 4:
            Attributes(NextTextState(kLayers[(n + 1) % 3], FRandom.Range(6, 30)), "      ");
            Text("N" + Number(n) + " NOTE", x, y, "      ");
            break;
          default:
            Polygon(x, y, 1 + item % 2, n % 2 == 0, "      ");
            break;
        }
      }
      Write("    }\r\n  }\r\n");
      FlushDrawing();
    }
    FNet.clear();
    Write("}\r\n");
  }

  // Component definitions, each followed by its instances.
  struct TDefinition {
    std::string Name;
    std::vector<int> PadIndices;  // of its pins, named 1, 2...
    std::vector<std::pair<int64_t, int64_t>> Pins;
    std::vector<TKivoBoardObject> Drawing;
  };

  void Components() {
    Write("{SUBCOMP\r\n");
    const std::vector<std::vector<int>> pins = {
        {1, 1}, {5, 4, 5, 4}, {3, 6, 7, 3, 6, 7}, {1, 4, 5, 3, 6, 7, 1, 4}};
    for (size_t d = 0; d < pins.size(); ++d) {
      TDefinition definition = Definition(static_cast<int>(d), pins[d]);
      for (int i = 0; i < 3; ++i)
        Instance(definition, FInstances++);
    }
    Write("}\r\n");
  }

  TDefinition Definition(int d, const std::vector<int>& padIndices) {
    TDefinition definition{"PKG" + Number(d), padIndices, {}, {}};
    Write("  {COMP_DEF " + definition.Name + "\r\n    [LY \"TOP\"]\r\n    {PIN_DEF\r\n");
    for (size_t p = 0; p < padIndices.size(); ++p) {
      const int64_t x = static_cast<int64_t>(p / 2) * 100 - 100, y = p % 2 ? 100 : -100;
      definition.Pins.emplace_back(x, y);
      Write("      {P " + Number(static_cast<int64_t>(p + 1)) + " {PT " + Number(padIndices[p]) +
            "} {PLOC " + Number(x) + " " + Number(y) + "}}\r\n");
    }
    const int64_t right = static_cast<int64_t>(padIndices.size()) * 50;
    Write("    }\r\n    {PIC\r\n");
    Attributes(NextTextState("SILK", 8), "      ");
    Rectangle(-150, -150, right, 150, "      ");
    Line("L", {{-170, 0}, {-150, 0}, {-150, 0}, {-150, 40}}, "      ");
    Arc(0, 0, "      ");
    Text("REF" + Number(d), -100, 160, "      ");
    Attributes(NextTextState(kLayers[d % 3], 12), "      ");
    Text("VAL " + Number(d), 0, -200, "      ");
    Circle(right + 40, 0, "      ");
    Fill(-140, 130 - Coord(10), -120, 100, "      ");
    Polygon(0, 0, 1 + d % 2, d % 2 == 1, "      ");
    Write("    }\r\n    {PKG \"P" + Number(d) + "\"}\r\n  }\r\n");
    definition.Drawing = std::move(FDrawing);
    FDrawing.clear();
    return definition;
  }

  // Instance `n`: in turn every turn (by RO, by PA or both), on the bottom side or the top,
  // mirrored or not, moved by PL, with SC and UN read and unused; its connections by pin
  // position or as pairs of pin and net in another order, a pair list now and then leaving
  // a pin of the second-name pad (index 4) on no net; the connections before or after the
  // placement.
  void Instance(const TDefinition& definition, int n) {
    const std::string designator = "U" + Number(n);
    const std::string justification = kJustifications[(n * 5) % 11];
    TPlacement placement;
    const int64_t x = Coord(5000), y = Coord(5000);
    const int64_t nx = Coord(60), ny = 150 + Coord(60);
    std::string entries = "{ORG " + Number(x) + " " + Number(y) + "}";
    int64_t px = 0, py = 0;
    if (n % 3 == 1) {
      px = Coord(300), py = Coord(300);
      entries += " {PL " + Number(px) + " " + Number(py) + "}";
    }
    switch (n % 6) {
      case 1:
        entries += " {RO 1}", placement.Rotation = 90;
        break;
      case 2:
        entries += " {RO 2}", placement.Rotation = 180;
        break;
      case 3:
        entries += " {RO 3}", placement.Rotation = 270;
        break;
      case 4:
        entries += " {PA 90}", placement.Rotation = 90;
        break;
      case 5:
        entries += " {RO 1} {PA 180}", placement.Rotation = 270;
        break;
      default:
        break;
    }
    const bool bottom = n % 4 == 2;
    entries += bottom ? " {PS \"B\"}" : " {PS \"T\"}";
    entries += n % 5 == 3 ? " {MR \"Y\"}" : " {MR \"N\"}";
    entries += " {NL " + Number(nx) + " " + Number(ny) + "}";
    if (n % 4 == 1)
      entries += " {SC 1 1} {UN \"MIL\"}";
    placement.X = (x + px) * kUnit;
    placement.Y = (y + py) * kUnit;

    // The nets of its pins; a pair list of a definition with an index-4 pin leaves the
    // last such pin out every other time.
    std::vector<std::string> nets;
    for (size_t p = 0; p < definition.Pins.size(); ++p)
      nets.push_back("NET" + Number(FRandom.Range(0, kNets - 1)));
    const bool pairs = n % 2 == 1;
    if (pairs && n % 4 == 3)
      for (size_t p = definition.Pins.size(); p-- > 0;)
        if (definition.PadIndices[p] == 4) {
          nets[p].clear();
          break;
        }
    std::string connections;
    if (!pairs) {
      for (const std::string& net : nets)
        connections += " " + net;
    } else {
      // From the last pin down, then the first: another order than the pins'.
      std::vector<size_t> order;
      for (size_t p = nets.size(); p-- > 1;)
        order.push_back(p);
      order.push_back(0);
      for (size_t p : order)
        if (!nets[p].empty())
          connections += " " + Number(static_cast<int64_t>(p + 1)) + " " + nets[p];
    }
    // Now and then the connections before the placement: a connection list left open
    // then meets a block.
    const std::string placed = "    {ATR {IN " + entries + "}}\r\n";
    const std::string connected = "    {CN" + connections + "}\r\n";
    Write("  [TJ \"" + justification + "\"]\r\n  {I " + definition.Name + " " + designator + "\r\n" +
          (n % 3 == 2 ? connected + placed : placed + connected) + "  }\r\n");
    if (!FObjects)
      return;

    TKivoBoardObject component{"component", designator, "", "", definition.Name, {}, {}};
    component.Fields = {{"X", D(placement.X)},
                        {"Y", D(placement.Y)},
                        {"Rotation", D(placement.Rotation)},
                        {"layer", D(bottom ? kBottomLayer : kTopLayer)}};
    FObjects->push_back(component);
    // Its name text, at NL carried by the placement, then justified as the state at the
    // instance says; its comment, empty, at the origin.
    double tx = static_cast<double>(nx * kUnit), ty = static_cast<double>(ny * kUnit);
    placement.Carry(tx, ty);
    int64_t hx = static_cast<int64_t>(tx), hy = static_cast<int64_t>(ty);
    Justify(hx, hy, static_cast<int64_t>(kHostTextSize), designator.size(), placement.Rotation,
            /*mirror=*/false, HorizontalCode(justification), VerticalCode(justification));
    for (const auto& [text, place] :
         {std::pair(designator, std::pair(hx, hy)),
          std::pair(std::string(), std::pair(placement.X, placement.Y))}) {
      TKivoBoardObject o{"text", designator, "", "", text, {}, {}};
      o.Fields = {{"Of", 1},
                  {"X", D(place.first)},
                  {"Y", D(place.second)},
                  {"Size", kHostTextSize},
                  {"Rotation", D(placement.Rotation)},
                  {"MirrorFlag", 0},
                  {"LineWidth", kHostTextLineWidth},
                  {"layer", kTopOverlay}};
      FObjects->push_back(o);
    }
    for (TKivoBoardObject o : definition.Drawing) {
      o.Component = designator;
      Carry(o, placement);
      FObjects->push_back(std::move(o));
    }
    for (size_t p = 0; p < definition.Pins.size(); ++p) {
      const int index = definition.PadIndices[p];
      const TPadKind* kind = &kUnconnectedPad4;
      if (index != 4 || !nets[p].empty())
        for (const TPadKind& k : kPads)
          if (k.Index == index)
            kind = &k;
      TKivoBoardObject pad{"pad", designator, nets[p], "", Number(static_cast<int64_t>(p + 1)),
                           {},    {}};
      double padX = static_cast<double>(definition.Pins[p].first * kUnit),
             padY = static_cast<double>(definition.Pins[p].second * kUnit);
      placement.Carry(padX, padY);
      pad.Fields = {{"X", padX},
                    {"Y", padY},
                    {"Rotation", D(placement.Rotation)},
                    {"layer", D(kind->Layer)},
                    {"TopXSize", kind->TopX * kUnit},
                    {"TopYSize", kind->TopY * kUnit},
                    {"MidXSize", kind->MidX * kUnit},
                    {"MidYSize", kind->MidY * kUnit},
                    {"BotXSize", kind->BotX * kUnit},
                    {"BotYSize", kind->BotY * kUnit},
                    {"HoleSize", kind->Hole * kUnit},
                    {"TopShape", D(kind->TopShape)},
                    {"MidShape", D(kind->MidShape)},
                    {"BotShape", D(kind->BotShape)},
                    {"StackMode", 0}};
      FObjects->push_back(std::move(pad));
    }
  }

  // A definition's object as an instance places it: points carried, texts and pads
  // turned, arcs' angles turned but a full circle's.
  static void Carry(TKivoBoardObject& o, const TPlacement& placement) {
    for (const auto& [fx, fy] : {std::pair("X", "Y"), std::pair("X2", "Y2")})
      if (o.Fields.count(fx))
        placement.Carry(o.Fields[fx], o.Fields[fy]);
    for (size_t i = 0; i + 1 < o.Records.size(); i += 2) {
      double x = static_cast<double>(o.Records[i]), y = static_cast<double>(o.Records[i + 1]);
      placement.Carry(x, y);
      o.Records[i] = static_cast<int64_t>(x);
      o.Records[i + 1] = static_cast<int64_t>(y);
    }
    if (o.Kind == "text")
      o.Fields["Rotation"] = Normalised(o.Fields["Rotation"] + placement.Rotation);
    if (o.Kind == "arc" && o.Fields["EndAngle"] - o.Fields["StartAngle"] != 360) {
      o.Fields["StartAngle"] = Normalised(o.Fields["StartAngle"] + placement.Rotation);
      o.Fields["EndAngle"] = Normalised(o.Fields["EndAngle"] + placement.Rotation);
    }
  }

  // Annotations on every layer: every kind of primitive, each text in the next
  // justification, turn and mirror, the width 0 (the default width) among the widths.
  void Annotations() {
    Write("{ANNOTATE\r\n");
    for (int i = 0; i < 42; ++i) {
      const int64_t x = Coord(6000), y = Coord(6000);
      switch (i % 7) {
        case 0:
          // Another layer and width: the third time the width 0.
          Attributes(NextTextState(kLayers[(i / 7) % 3], i == 14 ? 0 : FRandom.Range(5, 30)), "  ");
          Text("LABEL " + Number(FRandom.Range(0, 99999)), x, y, "  ");
          break;
        case 4:
          Attributes(NextTextState(FState.Layer, FState.Width), "  ");
          Text("LABEL " + Number(FRandom.Range(0, 99999)), x, y, "  ");
          break;
        case 1:
          Arc(x, y, "  ");
          break;
        case 2:
          Circle(x, y, "  ");
          break;
        case 3: {
          // Corners in either order: a fill keeps the file's.
          const int64_t w = FRandom.Range(20, 400), h = FRandom.Range(20, 400);
          if (i % 2 == 0)
            Fill(x, y, x + w, y + h, "  ");
          else
            Fill(x + w, y + h, x, y, "  ");
          break;
        }
        case 5: {
          const int64_t w = FRandom.Range(20, 400), h = FRandom.Range(20, 400);
          Rectangle(x, y, x + w, y + h, "  ");
          break;
        }
        default:
          // Outline kind 1 closed and kind 2 open (the nets and pictures have the others).
          if (i % 2 == 0)
            Polygon(x, y, 1 + (i / 14) % 2, (i / 14) % 2 == 0, "  ");
          else
            Line("L", {{x, y}, {x + Coord(300), y + Coord(300)}, {x + Coord(300), y}}, "  ");
          break;
      }
    }
    Write("}\r\n");
    FlushDrawing();
  }

  static constexpr int kNets = 12;
  std::string FText;
  TKivoRandom FRandom;
  std::vector<TKivoBoardObject>* FObjects;
  std::vector<TKivoBoardObject> FDrawing;
  TState FState;
  std::string FNet;  // the net whose graphics are being written
  int FTexts = 0, FInstances = 0;
};

}  // namespace

std::string GenerateKivoSampleBoard(uint64_t seed, std::vector<TKivoBoardObject>* objects) {
  return TSampleWriter(seed, objects).Run();
}
