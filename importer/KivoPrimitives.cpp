// A polygon outline of more than 500 vertices (plus its closing record) would write past
// the host's 501 segment records: it is cut to its first 500 vertices and the closing
// copy of the first, and the cut is reported as an import warning.
// A text is stored again after it has entered its containers (to be justified); its
// proxy therefore carries the net container as its net, as a polygon's does, so that
// those stores do not take the text of a net out of it again.
#include "importer/KivoPrimitives.h"

#include <algorithm>
#include <limits>

#include "importer/BaseGeometry.h"
#include "importer/ReportManager.h"
#include "pcb/BoardUnits.h"
#include "pcb/PcbApi.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbPrimitives.h"

namespace {

// Import event kinds of the report.
constexpr uint8_t cFillEvent = 4;
constexpr uint8_t cArcEvent = 5;
constexpr uint8_t cTextEvent = 8;
constexpr uint8_t cTrackEvent = 9;
constexpr uint8_t cPolygonEvent = 10;
// Import warning kind: a polygon outline cut to the host's capacity.
constexpr uint8_t cPolygonCutWarning = 2;

// Coordinate arithmetic kept within the 32-bit range.
int32_t Clamp32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
}
int32_t Difference(int32_t a, int32_t b) { return Clamp32(int64_t{a} - b); }
int32_t Sum(int32_t a, int32_t b) { return Clamp32(int64_t{a} + b); }

TPolygonSegment Straight(TKivoPoint p) {
  return TPolygonSegment{/*Kind=*/0, p.X, p.Y, {}};
}

void SetArc(TPcbArc& arc, int32_t width, TKivoPoint centre, int32_t radius, double startAngle,
            double endAngle) {
  arc.SetLineWidth(width);
  arc.SetX(centre.X);
  arc.SetY(centre.Y);
  arc.SetRadius(radius);
  arc.SetStartAngle(startAngle);
  arc.SetEndAngle(endAngle);
}

}  // namespace

void TKivoArc::Translate() {
  TranslateOne<TPcbArc>(okArc, cArcEvent, [this](TPcbArc& arc) {
    const double radius = PointDistance(FCentre.X, FCentre.Y, FStartPoint.X, FStartPoint.Y);
    SetArc(arc, GetEffectiveWidth(), FCentre, RoundToInt32(radius),
           SegmentAngle(FCentre.X, FCentre.Y, FStartPoint.X, FStartPoint.Y),
           SegmentAngle(FCentre.X, FCentre.Y, FEndPoint.X, FEndPoint.Y));
  });
}

void TKivoCircle::Translate() {
  TranslateOne<TPcbArc>(okArc, cArcEvent, [this](TPcbArc& arc) {
    SetArc(arc, GetEffectiveWidth(), FCentre, FRadius, /*startAngle=*/0, /*endAngle=*/360);
  });
}

void TKivoFilledRect::Translate() {
  TranslateOne<TPcbFill>(okFill, cFillEvent, [this](TPcbFill& fill) {
    fill.SetX(FCorner1.X);
    fill.SetY(FCorner1.Y);
    fill.SetX2(FCorner2.X);
    fill.SetY2(FCorner2.Y);
  });
}

void TKivoLine::Translate() {
  const TLayer layer = GetHostLayer();
  if (layer == eIgnoreLayer)
    return;
  {
    // One proxy serves every track; it moves to each new track's handle.
    TPcbTrack track(/*handle=*/0);
    for (size_t i = FVertices.size() > 0 ? FVertices.size() - 1 : 0; i >= 1; --i) {
      const TKivoPoint from = FVertices[i - 1];
      const TKivoPoint to = FVertices[i];
      if (from == to)
        continue;
      LoadNewHostObject(track, okTrack);
      track.SetWidth(GetEffectiveWidth());
      track.SetLayer(layer);
      track.SetX(from.X);
      track.SetY(from.Y);
      track.SetX2(to.X);
      track.SetY2(to.Y);
      StoreAndReport(track, cTrackEvent);
    }
  }
  inherited::Translate();
}

void TKivoText::Translate() {
  const TLayer layer = GetHostLayer();
  if (layer == eIgnoreLayer)
    return;
  TPcbText text(/*handle=*/0);
  LoadNewHostObject(text, okText);
  text.SetSize(RoundToInt32(GetTextSize() * 0.8));
  text.SetRotation(GetRotation());
  text.SetMirrorFlag(GetMirror() != 0);
  text.SetLayer(layer);
  text.SetText(FText);  // the proxy keeps the first 254 characters
  text.SetX(FPosition.X);
  text.SetY(FPosition.Y);
  text.SetNet(static_cast<int32_t>(GetNetContainer()));
  text.Synchronize(/*Mode=*/0);
  // The text enters its containers before it is justified.
  inherited::Translate();
  JustifyText(*this, text);
  StoreAndReport(text, cTextEvent);
}

void TKivoPoly::Translate() {
  const TLayer layer = GetHostLayer();
  if (layer == eIgnoreLayer)
    return;
  {
    TPcbPolygon polygon(/*handle=*/0);
    LoadNewHostObject(polygon, okPolygon);
    polygon.SetPolygonFlag3(1);
    polygon.SetLayer(layer);

    // Records: the vertices, then a copy of the first unless the outline closes itself.
    const bool open = !FVertices.empty() && FVertices.back() != FVertices.front();
    const size_t recordCount = FVertices.size() + (open ? 1 : 0);
    const bool cut = recordCount > static_cast<size_t>(TPcbPolygon::SegmentCapacity);
    const size_t vertexCount = cut ? MaxVertexCount : FVertices.size();
    int count = 0;
    for (size_t i = 0; i < vertexCount; ++i)
      polygon.SetSegments(count++, Straight(FVertices[i]));
    if (cut || open)
      polygon.SetSegments(count++, Straight(FVertices.front()));
    polygon.SetPointCount(std::max(count - 1, 0));

    if (GetWidth() == 0)
      SetWidth(DefaultKivoWidth);
    const int32_t width = GetWidth();
    if (FOutlineKind == 1) {
      polygon.SetPolygonByte2(3);
      polygon.SetTrackWidth(width);
      polygon.SetGridSize(RoundToInt32(width / 2.0));
    } else if (FOutlineKind == 2) {
      polygon.SetPolygonByte2(0);
      polygon.SetTrackWidth(width);
      polygon.SetGridSize(RoundToInt32(2.0 * width));
    }
    polygon.SetNet(static_cast<int32_t>(GetNetContainer()));
    StoreAndReport(polygon, cPolygonEvent);
    if (cut && GetReport())
      GetReport()->AddImportWarning(cPolygonCutWarning, polygon.GetHandle());
    PcbApiEventRouterSendMessage(0, 0, pecObjectChanged, polygon.GetHandle());
  }
  inherited::Translate();
}

void JustifyText(const TKivoDisplay& state, TPCBObject& text) {
  // Stored and reloaded so that the host measures the text as it now stands.
  text.Synchronize(/*Mode=*/0);
  text.Synchronize(/*Mode=*/1);
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  text.GetBoundingRectangle(x1, y1, x2, y2);
  const int32_t width = Difference(x2, x1);
  const int32_t height = Difference(y2, y1);
  int32_t x = text.GetX();
  int32_t y = text.GetY();
  if (state.GetHorizontalJustification() == 2)
    x = Difference(x, width);
  else if (state.GetHorizontalJustification() == 5)
    x = Difference(x, Difference(x2 / 2, x1 / 2));
  if (text.GetRotation() != 0)
    x = Sum(x, width);
  if (state.GetVerticalJustification() == 3)
    y = Difference(y, height);
  else if (state.GetVerticalJustification() == 5)
    y = Difference(y, Difference(y2 / 2, y1 / 2));
  text.SetX(x);
  text.SetY(y);
}

bool SameKivoDrawingState(const TKivoDisplay& a, const TKivoDisplay& b) {
  return a.GetAMT() == b.GetAMT() && a.GetAPT() == b.GetAPT() &&
         a.LayerNameRef() == b.LayerNameRef() && a.GetLineStyle() == b.GetLineStyle() &&
         a.GetWidth() == b.GetWidth() && a.GetTextSize() == b.GetTextSize() &&
         a.GetHorizontalJustification() == b.GetHorizontalJustification() &&
         a.GetVerticalJustification() == b.GetVerticalJustification() &&
         a.GetRotation() == b.GetRotation() && a.GetMirror() == b.GetMirror() &&
         a.GetUnitScale() == b.GetUnitScale() && a.GetGrid() == b.GetGrid();
}

namespace {

template <class T>
const T* As(const TKivoObject& object) {
  return object.ClassType() == T::StaticClass() ? static_cast<const T*>(&object) : nullptr;
}

}  // namespace

bool SameKivoGraphic(const TKivoObject& a, const TKivoObject& b) {
  if (a.ClassType() != b.ClassType() || !SameKivoDrawingState(a, b))
    return false;
  if (const auto* arc = As<TKivoArc>(a)) {
    const auto& other = static_cast<const TKivoArc&>(b);
    return arc->GetCentre() == other.GetCentre() && arc->GetStartPoint() == other.GetStartPoint() &&
           arc->GetEndPoint() == other.GetEndPoint();
  }
  if (const auto* circle = As<TKivoCircle>(a)) {
    const auto& other = static_cast<const TKivoCircle&>(b);
    return circle->GetCentre() == other.GetCentre() && circle->GetRadius() == other.GetRadius();
  }
  if (const auto* fill = As<TKivoFilledRect>(a)) {
    const auto& other = static_cast<const TKivoFilledRect&>(b);
    return fill->GetCorner1() == other.GetCorner1() && fill->GetCorner2() == other.GetCorner2();
  }
  if (const auto* line = As<TKivoLine>(a))
    return line->GetVertices() == static_cast<const TKivoLine&>(b).GetVertices();
  if (const auto* text = As<TKivoText>(a)) {
    const auto& other = static_cast<const TKivoText&>(b);
    return text->GetPosition() == other.GetPosition() && text->GetText() == other.GetText();
  }
  if (const auto* poly = As<TKivoPoly>(a)) {
    const auto& other = static_cast<const TKivoPoly&>(b);
    return poly->GetOutlineKind() == other.GetOutlineKind() && poly->GetVertices() == other.GetVertices();
  }
  return false;  // no graphic of the reader's
}
