#include "tools/kivogen/KivoBoardGenerator.h"

#include "tools/kivogen/KivoRandom.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>

namespace {

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
  TGenerator(TBoardWriter& out, uint64_t seed) : FOut(out), FRandom(seed) {}

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
  void Point() {
    const int32_t x = Coord(), y = Coord();
    FOut << " " << x << " " << y;
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
      const int items = FRandom.Range(4, 12);
      for (int i = 0; i < items; ++i) {
        switch (FRandom.Range(0, 7)) {
          case 0:
            FOut << "      {V";
            Point();
            FOut << " 2}\r\n";
            break;
          case 1:
            FOut << "      {NN";
            Point();
            FOut << "}\r\n";
            break;
          case 2:
            FOut << "      {POLY {OL 1";
            Rectangle();
            FOut << "}}\r\n";
            break;
          case 3:
            layer = Layer();
            FOut << "      [LY \"" << layer << "\"]\r\n";
            break;
          default: {
            FOut << "      {W";
            const int count = FRandom.Range(2, 5);
            for (int p = 0; p < count; ++p)
              Point();
            FOut << "}\r\n";
            break;
          }
        }
        ++FObjects;
      }
      FOut << "    }\r\n  }\r\n";
    }
    FOut << "}\r\n";
  }

  // Writes a polygon's outline of four corners.
  void Rectangle() {
    const int32_t x = Coord(), y = Coord(), w = FRandom.Range(20, 400), h = FRandom.Range(20, 400);
    FOut << " " << x << " " << y << " " << x + w << " " << y << " " << x + w << " " << y + h
         << " " << x << " " << y + h;
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
    FOut << "  {I PKG" << static_cast<int64_t>(d) << " U" << number << "\r\n    {ATR {IN {ORG";
    const int32_t x = Coord(), y = Coord();
    FOut << " " << x << " " << y << "} {NL " << x << " " << y + 200 << "}";
    if (FRandom.Range(0, 3) == 0)
      FOut << " {RO " << FRandom.Range(1, 3) << "}";
    FOut << (FRandom.Range(0, 4) == 0 ? " {PS \"B\"}" : " {PS \"T\"}") << "}}\r\n    {CN";
    for (int p = 0; p < 2 + 2 * d; ++p)
      FOut << " NET" << static_cast<int64_t>(block * 20 + FRandom.Range(0, 19));
    FOut << "}\r\n  }\r\n";
    ++FObjects;
  }

  void Annotations() {
    FOut << "{ANNOTATE [LY \"SILK\"] [WD 10]\r\n";
    for (int i = 0; i < 60; ++i) {
      switch (FRandom.Range(0, 9)) {
        case 0:
          FOut << "  {ARC";
          Point();
          Point();
          Point();
          FOut << "}\r\n";
          break;
        case 1:
          FOut << "  {C";
          Point();
          FOut << " " << FRandom.Range(5, 200) << "}\r\n";
          break;
        case 2:
          FOut << "  {FR";
          Point();
          Point();
          FOut << "}\r\n";
          break;
        case 3:
          FOut << "  {R";
          Point();
          Point();
          FOut << "}\r\n";
          break;
        case 4:
          FOut << "  {T \"LABEL " << FRandom.Range(0, 99999) << "\"";
          Point();
          FOut << "}\r\n";
          break;
        case 5:
          FOut << "  {POLY {OL 1";
          Rectangle();
          FOut << "}}\r\n";
          break;
        case 6: {
          const char* layer = kLayers[FRandom.Range(0, 2)];
          FOut << "  [LY \"" << layer << "\"] [WD " << FRandom.Range(5, 30) << "]\r\n";
          continue;
        }
        default:
          FOut << "  {L";
          for (int p = FRandom.Range(2, 6); p > 0; --p)
            Point();
          FOut << "}\r\n";
          break;
      }
      ++FObjects;
    }
    FOut << "}\r\n";
  }

  TBoardWriter& FOut;
  TKivoRandom FRandom;
  int64_t FObjects = 0;
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

std::string GenerateKivoBoardText(int64_t targetBytes, uint64_t seed, TKivoBoardFigures* figures) {
  std::string text;
  TBoardWriter out([&](const std::string& piece) { text += piece; });
  const TKivoBoardFigures result = TGenerator(out, seed).Run(targetBytes);
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
