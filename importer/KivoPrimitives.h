// The graphic primitives of a KIVO file: arcs, circles, filled rectangles, lines (also
// the "R" rectangle outlines), texts and polygons. Each holds the board coordinates the
// reader stored and translates itself into host arcs, fills, tracks, texts and polygons
// with the width, layer and text attributes of the drawing state it copied. Pad
// definitions use the same objects as measured graphics, untranslated.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/ShortString.h"
#include "importer/KivoObject.h"

struct TKivoPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TKivoPoint&) const = default;
};

// Whether a board coordinate of that value (before rounding) fits the 32-bit range.
inline bool KivoCoordinateFits(double value) {
  return value >= -2147483648.5 && value < 2147483647.5;  // false for NaN
}

// The vertices of a line or polygon, kept in the arena of the file being read.
using TKivoPoints = TKivoArenaVector<TKivoPoint>;

// The six numbers of "ARC": centre, start point, end point.
class TKivoArc : public TKivoObject {
  KIVO_CLASS(TKivoArc, TKivoObject)

 public:
  explicit TKivoArc(const TKivoDisplay* drawingState = nullptr) : TKivoObject(drawingState) {}
  void Translate() override;

  TKivoPoint GetCentre() const { return FCentre; }
  void SetCentre(TKivoPoint value) { FCentre = value; }
  TKivoPoint GetStartPoint() const { return FStartPoint; }
  void SetStartPoint(TKivoPoint value) { FStartPoint = value; }
  TKivoPoint GetEndPoint() const { return FEndPoint; }
  void SetEndPoint(TKivoPoint value) { FEndPoint = value; }

 private:
  TKivoPoint FCentre;
  TKivoPoint FStartPoint;
  TKivoPoint FEndPoint;
};

class TKivoCircle : public TKivoObject {
  KIVO_CLASS(TKivoCircle, TKivoObject)

 public:
  explicit TKivoCircle(const TKivoDisplay* drawingState = nullptr) : TKivoObject(drawingState) {}
  void Translate() override;

  TKivoPoint GetCentre() const { return FCentre; }
  void SetCentre(TKivoPoint value) { FCentre = value; }
  int32_t GetRadius() const { return FRadius; }
  void SetRadius(int32_t value) { FRadius = value; }

 private:
  TKivoPoint FCentre;
  int32_t FRadius = 0;
};

// "FR": two corners in file order, not normalised.
class TKivoFilledRect : public TKivoObject {
  KIVO_CLASS(TKivoFilledRect, TKivoObject)

 public:
  explicit TKivoFilledRect(const TKivoDisplay* drawingState = nullptr)
      : TKivoObject(drawingState) {}
  void Translate() override;

  TKivoPoint GetCorner1() const { return FCorner1; }
  void SetCorner1(TKivoPoint value) { FCorner1 = value; }
  TKivoPoint GetCorner2() const { return FCorner2; }
  void SetCorner2(TKivoPoint value) { FCorner2 = value; }

 private:
  TKivoPoint FCorner1;
  TKivoPoint FCorner2;
};

// An open polyline; one host track per segment of non-zero length, made from the last
// segment to the first.
class TKivoLine : public TKivoObject {
  KIVO_CLASS(TKivoLine, TKivoObject)

 public:
  explicit TKivoLine(const TKivoDisplay* drawingState = nullptr) : TKivoObject(drawingState) {}
  void Translate() override;

  TKivoPoints& GetVertices() { return FVertices; }
  const TKivoPoints& GetVertices() const { return FVertices; }
  void AddVertex(int32_t x, int32_t y) { FVertices.push_back({x, y}); }

 private:
  TKivoPoints FVertices;
};

class TKivoText : public TKivoObject {
  KIVO_CLASS(TKivoText, TKivoObject)

 public:
  explicit TKivoText(const TKivoDisplay* drawingState = nullptr) : TKivoObject(drawingState) {}
  void Translate() override;

  TKivoPoint GetPosition() const { return FPosition; }
  void SetPosition(TKivoPoint value) { FPosition = value; }
  std::string GetText() const { return FText; }
  // Keeps the first 255 characters.
  void SetText(const std::string& value) { FText.assign(value, 0, 255); }

 private:
  TKivoPoint FPosition;
  std::string FText;  // at most 255 characters
};

// "OL": outline kind 1 or 2 and the outline's vertices.
class TKivoPoly : public TKivoObject {
  KIVO_CLASS(TKivoPoly, TKivoObject)

 public:
  // The most outline vertices a host polygon takes besides its closing record.
  static constexpr int MaxVertexCount = 500;

  explicit TKivoPoly(const TKivoDisplay* drawingState = nullptr) : TKivoObject(drawingState) {}
  // An outline that does not fit the host's records is cut to its first 500 vertices
  // and the closing record, with an import warning.
  void Translate() override;

  int32_t GetOutlineKind() const { return FOutlineKind; }
  void SetOutlineKind(int32_t value) { FOutlineKind = value; }
  TKivoPoints& GetVertices() { return FVertices; }
  const TKivoPoints& GetVertices() const { return FVertices; }
  void AddVertex(int32_t x, int32_t y) { FVertices.push_back({x, y}); }

 private:
  int32_t FOutlineKind = 0;
  TKivoPoints FVertices;
};

// Whether `a` and `b` draw the same: one of the drawing states' values (not their maps).
bool SameKivoDrawingState(const TKivoDisplay& a, const TKivoDisplay& b);
// Whether `a` and `b` are the same graphic: of one class (those above), of the same
// drawing state, coordinates and text.
bool SameKivoGraphic(const TKivoObject& a, const TKivoObject& b);

// Moves a loaded text proxy by the justification codes of `state`, measured by the
// host's bounding rectangle (the proxy is stored and reloaded first); the caller stores
// the proxy afterwards.
void JustifyText(const TKivoDisplay& state, TPCBObject& text);
