// Three choices where the plain reading would lose data or mislead:
// - A via takes the first pad record of its index, as a pin does, not the last whose name
//   is known: a file giving an index twice has one rule for both (the reader tells it).
// - A pin's definition is resolved afresh for each instance of its component: a name
//   that is not found leaves the pin without definition instead of keeping the one
//   found for an earlier instance (the pin objects are shared by all instances).
// - A pin without definition is stored before it is reloaded to be merged with the
//   component graphics, so that its name, position and layer survive the reload.
// A covering track gives its length and width from its end points (normalised); the
// host's bounding rectangle, widened by the width, only decides whether it covers.
#include "importer/KivoPads.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

#include "classlib/SysUtils.h"
#include "importer/KivoPadStack.h"
#include "importer/KivoPrimitives.h"
#include "importer/KivoValueFields.h"
#include "importer/PadStackMapRecord.h"
#include "importer/ReportManager.h"
#include "pcb/BoardUnits.h"
#include "pcb/PcbApi.h"
#include "pcb/PcbPad.h"
#include "pcb/PcbPrimitives.h"

namespace {

// Import event kinds of the report.
constexpr uint8_t cPadEvent = 2;
constexpr uint8_t cViaEvent = 7;
// The size of the small default pad: 10 mil.
constexpr int32_t cSmallPadSize = 100000;
// The hole of a name that encodes none: 32 mil.
constexpr int32_t cDefaultNameHole = 320000;
// Rows of the pad-stack map that name the surface-mount layers.
constexpr int cSmdTopLayerRow = 4;
constexpr int cSmdBottomLayerRow = 5;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal digits from `at`; `end` is the first character after them.
bool ReadNumber(std::string_view text, size_t at, size_t& end, int64_t& value) {
  end = at;
  while (end < text.size() && IsDigit(text[end]))
    ++end;
  int32_t number = 0;
  if (end == at || !TryStrToInt(text.substr(at, end - at), number))
    return false;
  value = number;
  return true;
}

bool IsSmallDefaultIndex(int32_t index) { return index >= 25 && index <= 50; }

int32_t Span(int32_t from, int32_t to) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{to} - from,
                                                  std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

void CopyTopToMidAndBottom(TPcbPad& pad) {
  pad.SetMidXSize(pad.GetTopXSize());
  pad.SetMidYSize(pad.GetTopYSize());
  pad.SetMidShape(pad.GetTopShape());
  pad.SetBotXSize(pad.GetTopXSize());
  pad.SetBotYSize(pad.GetTopYSize());
  pad.SetBotShape(pad.GetTopShape());
}

}  // namespace

// ---- pad definitions ----

struct TKivoPadDef::TNameCode {
  bool FirstValid = false;
  int64_t First = 0;
  bool SeparatorValid = false;
  bool Rectangular = false;
  bool DigitAfterSeparator = false;
  bool SecondValid = false;
  int64_t Second = 0;
};

TKivoPadDef::TNameCode TKivoPadDef::DecodeName() const {
  TNameCode code;
  const std::string_view name = FName.View();  // asked several times for every pad
  if (name.empty())
    return code;
  size_t at = 0;
  if (!IsDigit(name[0])) {
    if (!std::strchr("CHNVchuv", name[0]))
      return code;
    at = 1;
  }
  size_t separator = at;
  code.FirstValid = ReadNumber(name, at, separator, code.First);
  if (separator >= name.size() || !std::strchr("RSXrsx", name[separator]))
    return TNameCode{};
  code.SeparatorValid = true;
  code.Rectangular = name[separator] == 'R' || name[separator] == 'r';
  code.DigitAfterSeparator = separator + 1 < name.size() && IsDigit(name[separator + 1]);
  size_t end = 0;
  code.SecondValid = ReadNumber(name, separator + 1, end, code.Second);
  return code;
}

int32_t TKivoPadDef::Scaled(int64_t value) const {
  return RoundToInt32(GetGrid() * GetUnitScale() * static_cast<double>(value));
}

int32_t TKivoPadDef::GetNameSize() const {
  const TNameCode code = DecodeName();
  return code.FirstValid && code.DigitAfterSeparator ? Scaled(code.First) : 0;
}

int32_t TKivoPadDef::GetNameHoleSize() const {
  const TNameCode code = DecodeName();
  return code.SeparatorValid && code.SecondValid ? Scaled(code.Second) : cDefaultNameHole;
}

uint8_t TKivoPadDef::GetNameShape() const {
  const TNameCode code = DecodeName();
  return code.FirstValid && code.DigitAfterSeparator && code.Rectangular ? cPadShapeRectangular
                                                                        : cPadShapeDefault;
}

int32_t TKivoPadDef::GetLayerSize(const std::string& layer, TAxis axis) const {
  int32_t value = FSmd ? 0 : GetNameSize();
  for (const auto& primitive : FPrimitives) {
    if (primitive->GetLayerName() != layer)
      continue;
    const int32_t width = primitive->GetWidth();
    if (const auto* circle = dynamic_cast<const TKivoCircle*>(primitive.get())) {
      value = 2 * circle->GetRadius() + width;
    } else if (const auto* fill = dynamic_cast<const TKivoFilledRect*>(primitive.get())) {
      value = axis == axX ? Span(fill->GetCorner1().X, fill->GetCorner2().X) + width
                          : Span(fill->GetCorner1().Y, fill->GetCorner2().Y) + width;
    } else if (const auto* line = dynamic_cast<const TKivoLine*>(primitive.get())) {
      const auto& vertices = line->GetVertices();
      if (width == 0 || vertices.empty())
        continue;
      if (vertices.size() == 2)
        value = width;
      if (axis == axX)
        value += Span(vertices.front().X, vertices.back().X);
    }
  }
  return value;
}

uint8_t TKivoPadDef::GetLayerShape(const std::string& layer) const {
  uint8_t shape = GetNameShape();
  for (const auto& primitive : FPrimitives) {
    if (primitive->GetLayerName() != layer)
      continue;
    if (primitive->InheritsFrom(TKivoCircle::StaticClass()) ||
        primitive->InheritsFrom(TKivoLine::StaticClass()))
      shape = cPadShapeCircular;
    else if (primitive->InheritsFrom(TKivoFilledRect::StaticClass()))
      shape = cPadShapeRectangular;
  }
  return shape;
}

int32_t TKivoPadDef::GetThroughHoleSize() const {
  int32_t hole = GetNameHoleSize();
  for (const auto& primitive : FPrimitives) {
    const auto* text = dynamic_cast<const TKivoText*>(primitive.get());
    int32_t value = 0;
    if (text && text->GetLayerName() == GetPadDrillLayerName() &&
        TryKivoWholeNumber(text->GetText(), value))
      hole = RoundToInt32(value * GetUnitScale() * GetGrid()) + GetWidth();
  }
  return hole;
}

bool TKivoPadDef::GivesHole() const {
  const TNameCode code = DecodeName();
  if (code.SeparatorValid && code.SecondValid)
    return true;
  int32_t value = 0;
  return std::any_of(FPrimitives.begin(), FPrimitives.end(), [&](const auto& primitive) {
    const auto* text = dynamic_cast<const TKivoText*>(primitive.get());
    return text && text->GetLayerName() == GetPadDrillLayerName() &&
           TryKivoWholeNumber(text->GetText(), value);
  });
}

int32_t TKivoPadDef::GetSmdSize(TAxis axis) const {
  for (const auto& primitive : FPrimitives) {
    const int32_t width = primitive->GetWidth();
    // A round land drawn as a circle is measured as on the other layers; without this
    // its pad would come out round but of size 0.
    if (const auto* circle = dynamic_cast<const TKivoCircle*>(primitive.get()))
      return 2 * circle->GetRadius() + width;
    if (const auto* fill = dynamic_cast<const TKivoFilledRect*>(primitive.get()))
      return axis == axX ? Span(fill->GetCorner1().X, fill->GetCorner2().X) + width
                         : Span(fill->GetCorner1().Y, fill->GetCorner2().Y) + width;
    const auto* line = dynamic_cast<const TKivoLine*>(primitive.get());
    if (line && width != 0) {
      const auto& vertices = line->GetVertices();
      const int32_t base = vertices.size() == 2 ? width : 0;
      if (vertices.size() < 2)
        return base;
      return axis == axX ? base + Span(vertices[0].X, vertices[1].X)
                         : base + Span(vertices[0].Y, vertices[1].Y);
    }
  }
  return 0;
}

uint8_t TKivoPadDef::GetSmdShape() const {
  for (const auto& primitive : FPrimitives) {
    if (primitive->InheritsFrom(TKivoCircle::StaticClass()))
      return cPadShapeDefault;
    if (primitive->InheritsFrom(TKivoFilledRect::StaticClass()))
      return cPadShapeRectangular;
    if (primitive->InheritsFrom(TKivoLine::StaticClass()))
      return cPadShapeCircular;
  }
  return 0;
}

uint8_t TKivoPadDef::GetSmdLayer() const {
  for (const auto& primitive : FPrimitives) {
    if (primitive->GetLayerName() == GetPadBottomLayerName())
      return eBottomLayer;
    if (primitive->GetLayerName() == GetPadTopLayerName())
      return eTopLayer;
  }
  return eTopLayer;
}

// ---- vias ----

void TKivoVia::SetPadStackList(TKivoPadStack* padStack) {
  inherited::SetPadStackList(padStack);
  if (!padStack)
    return;
  for (const auto& record : padStack->GetPads()) {
    if (record->GetIndex() != FPadStackIndex)
      continue;
    if (TKivoPadDef* definition = padStack->FindPadDefinition(record->GetFirstName()))
      FDefinition = definition;
    return;
  }
}

void TKivoVia::Translate() {
  TranslateOne<TPcbVia>(okVia, cViaEvent, [this](TPcbVia& via) {
    via.SetX(FX);
    via.SetY(FY);
    via.SetLayer(cMultiLayer);
    if (FDefinition) {
      via.SetSize(FDefinition->GetMidXSize());
      via.SetHoleSize(FDefinition->GetHoleSize());
    }
  });
}

// ---- pins ----

void TKivoPad::SetPadStackList(TKivoPadStack* padStack) {
  inherited::SetPadStackList(padStack);
  FDefinition = nullptr;
  if (!padStack)
    return;
  const auto& records = padStack->GetPads();
  const auto record = std::find_if(records.begin(), records.end(), [this](const auto& r) {
    return r->GetIndex() == FPadStackIndex;
  });
  if (record == records.end())
    return;
  const std::string second = (*record)->GetSecondName();
  const bool useSecond = GetNetContainer() == 0 && !second.empty();
  FDefinition = padStack->FindPadDefinition(useSecond ? second : (*record)->GetFirstName());
}

bool TKivoPad::OnSmdLayer() const {
  const PadStackMapRecord* map = GetPadStackMap();
  if (!map)
    return false;
  const std::string layer = GetLayerName();
  return layer == map->Rows[cSmdTopLayerRow].Str() || layer == map->Rows[cSmdBottomLayerRow].Str();
}

void TKivoPad::Translate() {
  if (GetHostLayer() == eIgnoreLayer)
    return;
  {
    TPcbPad pad(/*handle=*/0);
    LoadNewHostObject(pad, okPad);
    pad.SetName(FName);  // the proxy keeps the first 20 characters
    pad.SetX(FX);
    pad.SetY(FY);
    pad.SetLayer(cMultiLayer);

    const bool smallIndex = IsSmallDefaultIndex(FPadStackIndex);
    if (smallIndex || (FPadStackIndex >= 200 && !FDefinition) || OnSmdLayer()) {
      pad.SetLayer(eTopLayer);
      pad.SetHoleSize(0);
      pad.SetTopXSize(cSmallPadSize);
      pad.SetTopYSize(cSmallPadSize);
      pad.SetTopShape(cPadShapeCircular);
      CopyTopToMidAndBottom(pad);
      pad.Synchronize(/*Mode=*/0);
    }

    if (FDefinition && (FDefinition->GetSmd() || smallIndex)) {
      pad.SetHoleSize(0);
      pad.SetLayer(FDefinition->GetSmdLayer());
      pad.SetTopXSize(FDefinition->GetSmdXSize());
      pad.SetTopYSize(FDefinition->GetSmdYSize());
      pad.SetTopShape(FDefinition->GetSmdShape());
      CopyTopToMidAndBottom(pad);
    } else if (FDefinition) {
      pad.SetHoleSize(FDefinition->GetHoleSize());
      pad.SetMidXSize(FDefinition->GetMidXSize());
      pad.SetMidYSize(FDefinition->GetMidYSize());
      pad.SetMidShape(FDefinition->GetMidShape());
      const int32_t topX = FDefinition->GetTopXSize();
      const int32_t topY = FDefinition->GetTopYSize();
      pad.SetTopXSize(topX == 0 ? pad.GetMidXSize() : topX);
      pad.SetTopYSize(topY == 0 ? pad.GetMidYSize() : topY);
      pad.SetTopShape(FDefinition->GetTopShape());
      const int32_t botX = FDefinition->GetBotXSize();
      const int32_t botY = FDefinition->GetBotYSize();
      pad.SetBotXSize(botX == 0 ? pad.GetTopXSize() : botX);
      pad.SetBotYSize(botY == 0 ? pad.GetTopYSize() : botY);
      pad.SetBotShape(FDefinition->GetBotShape());
    } else {
      MergeWithGraphics(pad);
    }
    StoreAndReport(pad, cPadEvent);
  }
  inherited::Translate();
}

void TKivoPad::MergeWithGraphics(TPcbPad& pad) {
  pad.Synchronize(/*Mode=*/0);
  pad.Synchronize(/*Mode=*/1);
  const uint32_t owner = GetOwnerContainer();
  const uint32_t iterator = PcbApiCreateIterator(owner, /*kindFilter=*/0, 0, pad.GetLayer());
  const auto covers = [&pad](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return x1 < pad.GetX() && pad.GetX() < x2 && y1 < pad.GetY() && pad.GetY() < y2;
  };
  for (uint32_t object = PcbApiGetFirstObject(iterator); object != 0;
       object = PcbApiGetNextObject(iterator)) {
    bool merged = false;
    switch (PcbApiGetObjectIdFromObjectHandle(object)) {
      case okArc: {
        TPcbArc arc(object);
        arc.Synchronize(/*Mode=*/1);
        int32_t x1, y1, x2, y2;
        arc.GetBoundingRectangle(x1, y1, x2, y2);
        if (covers(x1, y1, x2, y2) && arc.GetLayer() == pad.GetLayer() &&
            arc.GetStartAngle() == 0 && arc.GetEndAngle() == 360) {
          pad.SetTopXSize(2 * arc.GetRadius());
          pad.SetTopYSize(2 * arc.GetRadius());
          pad.SetTopShape(cPadShapeCircular);
          merged = true;
        }
        break;
      }
      case okTrack: {
        TPcbTrack track(object);
        track.Synchronize(/*Mode=*/1);
        int32_t x1, y1, x2, y2;
        track.GetBoundingRectangle(x1, y1, x2, y2);
        if (covers(x1, y1, x2, y2) && track.GetLayer() == pad.GetLayer()) {
          const int32_t left = std::min(track.GetX(), track.GetX2());
          const int32_t right = std::max(track.GetX(), track.GetX2());
          const int32_t bottom = std::min(track.GetY(), track.GetY2());
          const int32_t top = std::max(track.GetY(), track.GetY2());
          pad.SetTopXSize(Span(left, right));
          pad.SetTopYSize(Span(bottom, top));
          if (pad.GetTopXSize() == 0) {
            pad.SetTopXSize(track.GetWidth());
            pad.SetY(RoundToInt32(bottom + (double(top) - bottom) / 2));
          } else {
            pad.SetTopYSize(track.GetWidth());
            pad.SetX(RoundToInt32(left + (double(right) - left) / 2));
          }
          pad.SetTopShape(cPadShapeCircular);
          merged = true;
        }
        break;
      }
      case okFill: {
        TPcbFill fill(object);
        fill.Synchronize(/*Mode=*/1);
        int32_t x1, y1, x2, y2;
        fill.GetBoundingRectangle(x1, y1, x2, y2);
        if (covers(x1, y1, x2, y2) && fill.GetLayer() == pad.GetLayer()) {
          pad.SetTopXSize(Span(x1, x2));
          pad.SetTopYSize(Span(y1, y2));
          pad.SetTopShape(cPadShapeRectangular);
          pad.SetX(RoundToInt32(x1 + (double(x2) - x1) / 2));
          pad.SetY(RoundToInt32(y1 + (double(y2) - y1) / 2));
          merged = true;
        }
        break;
      }
      default:
        break;
    }
    if (merged) {
      CopyTopToMidAndBottom(pad);
      PcbApiDeleteObjectFromContainer(owner, object);
      PcbApiDestroyObject(object);
      break;
    }
  }
  pad.Synchronize(/*Mode=*/0);
  PcbApiDestroyIterator(iterator);
}
