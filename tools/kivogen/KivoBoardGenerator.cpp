#include "tools/kivogen/KivoBoardGenerator.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// splitmix64: small, fast and the same on every platform.
class TRandom {
 public:
  explicit TRandom(uint64_t seed) : FState(seed) {}
  uint64_t Next() {
    uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int32_t Range(int32_t low, int32_t high) {
    return low + static_cast<int32_t>(Next() % static_cast<uint64_t>(high - low + 1));
  }

 private:
  uint64_t FState;
};

// Appends text to a buffer that is handed on in pieces of about a megabyte.
class TBoardWriter {
 public:
  explicit TBoardWriter(std::function<void(const std::string&)> sink) : FSink(std::move(sink)) {}
  TBoardWriter& operator<<(const char* text) {
    FBuffer += text;
    return *this;
  }
  TBoardWriter& operator<<(const std::string& text) {
    FBuffer += text;
    return *this;
  }
  TBoardWriter& operator<<(int64_t value) {
    char digits[24];
    snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    FBuffer += digits;
    return *this;
  }
  TBoardWriter& operator<<(int32_t value) { return *this << static_cast<int64_t>(value); }
  // Writes what is buffered when it has grown past a megabyte.
  void Pass() {
    if (FBuffer.size() >= (1u << 20))
      Flush();
  }
  void Flush() {
    FWritten += static_cast<int64_t>(FBuffer.size());
    FSink(FBuffer);
    FBuffer.clear();
  }
  int64_t Size() const { return FWritten + static_cast<int64_t>(FBuffer.size()); }

 private:
  std::function<void(const std::string&)> FSink;
  std::string FBuffer;
  int64_t FWritten = 0;
};

constexpr const char* kLayers[] = {cKivoBoardLayers[0].Name, cKivoBoardLayers[1].Name,
                               cKivoBoardLayers[2].Name};
constexpr int kBoardExtent = 20000;  // mils

class TGenerator {
 public:
  TGenerator(TBoardWriter& out, uint64_t seed, std::vector<TKivoBoardObject>* objects = nullptr)
      : FOut(out), FRandom(seed), FObjectList(objects) {}

  TKivoBoardFigures Run(int64_t targetBytes) {
    FOut << "% A generated board\r\n{COMPONENT \"GENERATED\"\r\n"
         << "{ENVIRONMENT\r\n  {KIVOVREV \"3.0\"}\r\n  {PROGRAM \"kivogen\"}\r\n"
         << "  {DBTYPE \"PC-Board\"}\r\n  {DBUNIT \"MIL\"}\r\n  {DBGRID 1}\r\n"
         << "  {LYRSTR \"TOP\" 1 \"BOTTOM\" 2 \"SILK\" 3}\r\n"
         << "  {LYRPHID \"1\" 1 0 \"2\" 2 0 \"3\" 1 0}\r\n}\r\n"
         << "{DISPLAY [LY \"SILK\"] [WD 10] [TS 60] [TJ \"LB\"]}\r\n{DETAIL\r\n";
    PadStacks();
    // Blocks of nets, component definitions with their instances, and annotations
    // until the size is reached.
    int block = 0;
    while (FOut.Size() < targetBytes) {
      Nets(block);
      Instances(block);
      Annotations();
      FOut.Pass();
      ++block;
    }
    FOut << "}\r\n}\r\n";
    FOut.Flush();
    return {FOut.Size(), FObjects};
  }

 private:
  int32_t Coord() { return FRandom.Range(-kBoardExtent / 2, kBoardExtent / 2); }
  const char* Layer() { return kLayers[FRandom.Range(0, 1)]; }
  // Writes a point and appends it to `points`.
  void Point(std::vector<int32_t>& points) {
    const int32_t x = Coord(), y = Coord();
    FOut << " " << x << " " << y;
    points.push_back(x);
    points.push_back(y);
  }

  // The list of objects, when one is kept.
  void Add(TKivoBoardObject object) {
    if (FObjectList)
      FObjectList->push_back(std::move(object));
  }
  // The tracks of a line through `points` (x, y, x, y...).
  void AddTracks(const std::string& net, const std::string& layer, int32_t width,
                 const std::vector<int32_t>& points) {
    for (size_t p = 2; p + 1 < points.size(); p += 2)
      Add({"track", "", net, layer, "", width,
           std::vector<int32_t>(points.begin() + static_cast<std::ptrdiff_t>(p - 2),
                                points.begin() + static_cast<std::ptrdiff_t>(p + 2))});
  }
  static std::vector<int32_t> RectangleLine(const std::vector<int32_t>& corners) {
    const int32_t x1 = corners[0], y1 = corners[1], x2 = corners[2], y2 = corners[3];
    return {x1, y1, x2, y1, x2, y2, x1, y2, x1, y1};
  }

  void PadStacks() {
    FOut << "{PAD_STACK\r\n  {PAD 1 \"RND60\" \"RND60\"}\r\n  {PAD 2 \"VIA30\" \"VIA30\"}\r\n"
         << "  {PAD 3 \"SMD40X60\" \"SMD40X60\"}\r\n"
         << "  {PAD_DEF RND60 {PIC [LY \"PADCOM\"] {C 0 0 30} [LY \"DRILL\"] {T \"35\" 0 0}}}\r\n"
         << "  {PAD_DEF VIA30 {PIC [LY \"PADCOM\"] {C 0 0 15} [LY \"DRILL\"] {T \"15\" 0 0}}}\r\n"
         << "  {PAD_DEF SMD40X60 {PIC [LY \"PADCOM\"] {FR -20 -30 20 30}} {ATR {IN {SMD \"Y\"}}}}\r\n"
         << "}\r\n";
    FObjects += 6;
  }

  void Nets(int block) {
    FOut << "{NET_DEF\r\n";
    for (int n = 0; n < 20; ++n) {
      const std::string net = "NET" + std::to_string(block * 20 + n);
      std::string layer = Layer();
      const int32_t width = FRandom.Range(8, 40);
      FOut << "  {N " << net << "\r\n    {DG [LY \"" << layer << "\"] [WD " << width << "]\r\n";
      Add({"net", "", "", "", net, 0, {}});
      const int items = FRandom.Range(4, 12);
      for (int i = 0; i < items; ++i) {
        std::vector<int32_t> points;
        switch (FRandom.Range(0, 7)) {
          case 0:
            FOut << "      {V";
            Point(points);
            FOut << " 2}\r\n";
            Add({"via", "", net, "", "", 0, points});
            break;
          case 1:
            FOut << "      {NN";
            Point(points);
            FOut << "}\r\n";
            Add({"text", "", net, layer, net, 0, points});
            break;
          case 2:
            FOut << "      {POLY {OL 1";
            points = Rectangle();
            FOut << "}}\r\n";
            Add({"polygon", "", net, layer, "", width, points});
            break;
          case 3:
            layer = Layer();
            FOut << "      [LY \"" << layer << "\"]\r\n";
            break;
          default: {
            FOut << "      {W";
            const int count = FRandom.Range(2, 5);
            for (int p = 0; p < count; ++p)
              Point(points);
            FOut << "}\r\n";
            AddTracks(net, layer, width, points);
            break;
          }
        }
        ++FObjects;
      }
      FOut << "    }\r\n  }\r\n";
    }
    FOut << "}\r\n";
  }

  // Writes a polygon's outline of four corners; answers them.
  std::vector<int32_t> Rectangle() {
    const int32_t x = Coord(), y = Coord(), w = FRandom.Range(20, 400), h = FRandom.Range(20, 400);
    FOut << " " << x << " " << y << " " << x + w << " " << y << " " << x + w << " " << y + h
         << " " << x << " " << y + h;
    return {x, y, x + w, y, x + w, y + h, x, y + h};
  }

  // Each definition is followed by its instances: an instance belongs to the
  // definition read last.
  void Instances(int block) {
    FOut << "{SUBCOMP\r\n";
    for (int d = 0; d < 4; ++d) {
      Definition(d);
      for (int i = 0; i < 3; ++i)
        Instance(block, d, block * 12 + d * 3 + i);
    }
    FOut << "}\r\n";
  }

  // What an instance draws of its definition's picture: a rectangle (four tracks), a line
  // and an arc.
  void AddDrawing(const std::string& component) {
    for (int track = 0; track < 5; ++track)
      Add({"track", component, "", "SILK", "", 8, {}});
    Add({"arc", component, "", "SILK", "", 8, {}});
  }

  void Definition(int d) {
    FOut << "  {COMP_DEF PKG" << static_cast<int64_t>(d) << "\r\n    {PIN_DEF\r\n";
    const int pins = 2 + 2 * d;
    for (int p = 1; p <= pins; ++p) {
      FOut << "      {P " << static_cast<int64_t>(p) << " {PT " << (d == 3 ? 3 : 1)
           << "} {PLOC " << static_cast<int64_t>((p - 1) / 2 * 100 - 100) << " "
           << static_cast<int64_t>(p % 2 ? -100 : 100) << "}}\r\n";
      ++FObjects;
    }
    FOut << "    }\r\n    {PIC [LY \"SILK\"] [WD 8]\r\n      {R -150 -150 "
         << static_cast<int64_t>(pins * 50) << " 150}\r\n      {L -170 0 -150 0}\r\n"
         << "      {ARC 0 0 30 0 0 30}\r\n    }\r\n    {PKG \"P" << static_cast<int64_t>(d)
         << "\"}\r\n  }\r\n";
    FObjects += 3;
  }

  void Instance(int block, int d, int64_t number) {
    const std::string designator = "U" + std::to_string(number);
    FOut << "  {I PKG" << static_cast<int64_t>(d) << " " << designator << "\r\n    {ATR {IN {ORG";
    const int32_t x = Coord(), y = Coord();
    FOut << " " << x << " " << y << "} {NL " << x << " " << y + 200 << "}";
    if (FRandom.Range(0, 3) == 0)
      FOut << " {RO " << FRandom.Range(1, 3) << "}";
    FOut << (FRandom.Range(0, 4) == 0 ? " {PS \"B\"}" : " {PS \"T\"}") << "}}\r\n    {CN";
    Add({"component", "", "", "", "PKG" + std::to_string(d), 0, {x, y}});
    // The designator and the (empty) comment are the component's texts.
    Add({"text", designator, "", "", designator, 0, {}});
    Add({"text", designator, "", "", "", 0, {}});
    for (int p = 0; p < 2 + 2 * d; ++p) {
      const std::string net = "NET" + std::to_string(block * 20 + FRandom.Range(0, 19));
      FOut << " " << net;
      Add({"pad", designator, net, "", std::to_string(p + 1), 0, {}});
    }
    FOut << "}\r\n  }\r\n";
    AddDrawing(designator);
    ++FObjects;
  }

  void Annotations() {
    FOut << "{ANNOTATE [LY \"SILK\"] [WD 10]\r\n";
    std::string layer = "SILK";
    int32_t width = 10;
    for (int i = 0; i < 60; ++i) {
      std::vector<int32_t> points;
      switch (FRandom.Range(0, 9)) {
        case 0:
          FOut << "  {ARC";
          Point(points);
          Point(points);
          Point(points);
          FOut << "}\r\n";
          Add({"arc", "", "", layer, "", width, {}});
          break;
        case 1: {
          FOut << "  {C";
          Point(points);
          const int32_t radius = FRandom.Range(5, 200);
          FOut << " " << radius << "}\r\n";
          points.push_back(radius);
          Add({"arc", "", "", layer, "", width, points});
          break;
        }
        case 2:
          FOut << "  {FR";
          Point(points);
          Point(points);
          FOut << "}\r\n";
          Add({"fill", "", "", layer, "", 0, points});
          break;
        case 3:
          FOut << "  {R";
          Point(points);
          Point(points);
          FOut << "}\r\n";
          AddTracks("", layer, width, RectangleLine(points));
          break;
        case 4: {
          const std::string label = "LABEL " + std::to_string(FRandom.Range(0, 99999));
          FOut << "  {T \"" << label << "\"";
          Point(points);
          FOut << "}\r\n";
          Add({"text", "", "", layer, label, 0, points});
          break;
        }
        case 5:
          FOut << "  {POLY {OL 1";
          points = Rectangle();
          FOut << "}}\r\n";
          Add({"polygon", "", "", layer, "", width, points});
          break;
        case 6:
          layer = kLayers[FRandom.Range(0, 2)];
          width = FRandom.Range(5, 30);
          FOut << "  [LY \"" << layer << "\"] [WD " << width << "]\r\n";
          continue;
        default:
          FOut << "  {L";
          for (int p = FRandom.Range(2, 6); p > 0; --p)
            Point(points);
          FOut << "}\r\n";
          AddTracks("", layer, width, points);
          break;
      }
      ++FObjects;
    }
    FOut << "}\r\n";
  }

  TBoardWriter& FOut;
  TRandom FRandom;
  int64_t FObjects = 0;
  std::vector<TKivoBoardObject>* FObjectList;
};

}  // namespace

TKivoBoardFigures GenerateKivoBoard(const std::string& path, int64_t targetBytes, uint64_t seed) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "wb"), fclose);
  if (!file)
    throw std::runtime_error("cannot create " + path);
  bool failed = false;
  TBoardWriter out([&](const std::string& piece) {
    failed = failed || fwrite(piece.data(), 1, piece.size(), file.get()) != piece.size();
  });
  const TKivoBoardFigures figures = TGenerator(out, seed).Run(targetBytes);
  if (failed || fclose(file.release()) != 0)
    throw std::runtime_error("cannot write " + path);
  return figures;
}

std::string GenerateKivoBoardText(int64_t targetBytes, uint64_t seed, TKivoBoardFigures* figures,
                                  std::vector<TKivoBoardObject>* objects) {
  std::string text;
  TBoardWriter out([&](const std::string& piece) { text += piece; });
  const TKivoBoardFigures result = TGenerator(out, seed, objects).Run(targetBytes);
  if (figures)
    *figures = result;
  return text;
}

std::string KivoBoardConfigurationText() {
  std::string text = "[Layer]\r\n";
  for (const TKivoBoardLayer& layer : cKivoBoardLayers)
    text += std::string(layer.Name) + "=" + layer.HostLayer + "\r\n";
  return text;
}

void WriteKivoBoardConfiguration(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "wb"), fclose);
  const std::string text = KivoBoardConfigurationText();
  if (!file || fwrite(text.data(), 1, text.size(), file.get()) != text.size() ||
      fclose(file.release()) != 0)
    throw std::runtime_error("cannot write " + path);
}
