// The deterministic board dump, and the server's own layer identifiers and mil texts.
// The dump lists, in creation order, every object in the board's scope with its kind,
// handle, owner, net, layer and every field; coordinates are written in board units
// followed by their mil text in parentheses.
#include <cmath>
#include <cstdio>
#include <utility>

#include "standin/ravelo/RaveloServer.h"

namespace {

const char* const cLayerIdentifiers[RaveloLayerCount] = {
    "NoLayer",         "TopLayer",        "MidLayer1",       "MidLayer2",       "MidLayer3",
    "MidLayer4",       "MidLayer5",       "MidLayer6",       "MidLayer7",       "MidLayer8",
    "MidLayer9",       "MidLayer10",      "MidLayer11",      "MidLayer12",      "MidLayer13",
    "MidLayer14",      "MidLayer15",      "MidLayer16",      "MidLayer17",      "MidLayer18",
    "MidLayer19",      "MidLayer20",      "MidLayer21",      "MidLayer22",      "MidLayer23",
    "MidLayer24",      "MidLayer25",      "MidLayer26",      "MidLayer27",      "MidLayer28",
    "MidLayer29",      "MidLayer30",      "BottomLayer",     "TopOverlay",      "BottomOverlay",
    "TopPaste",        "BottomPaste",     "TopSolder",       "BottomSolder",    "InternalPlane1",
    "InternalPlane2",  "InternalPlane3",  "InternalPlane4",  "InternalPlane5",  "InternalPlane6",
    "InternalPlane7",  "InternalPlane8",  "InternalPlane9",  "InternalPlane10", "InternalPlane11",
    "InternalPlane12", "InternalPlane13", "InternalPlane14", "InternalPlane15", "InternalPlane16",
    "DrillGuide",      "KeepOutLayer",    "Mechanical1",     "Mechanical2",     "Mechanical3",
    "Mechanical4",     "Mechanical5",     "Mechanical6",     "Mechanical7",     "Mechanical8",
    "Mechanical9",     "Mechanical10",    "Mechanical11",    "Mechanical12",    "Mechanical13",
    "Mechanical14",    "Mechanical15",    "Mechanical16",    "DrillDrawing",    "MultiLayer",
    "ConnectLayer",    "BackGroundLayer", "DRCErrorLayer",   "HighlightLayer",  "GridColor1",
    "GridColor10",     "PadHoleLayer",    "ViaHoleLayer",
};

const char* KindName(uint8_t kind) {
  switch (kind) {
    case rkArc:
      return "arc";
    case rkPad:
      return "pad";
    case rkVia:
      return "via";
    case rkTrack:
      return "track";
    case rkText:
      return "text";
    case rkFill:
      return "fill";
    case rkFromTo:
      return "fromto";
    case rkNet:
      return "net";
    case rkComponent:
      return "component";
    case rkPolygon:
      return "polygon";
    case rkDimension:
      return "dimension";
    case rkCoordinate:
      return "coordinate";
    case rkClass:
      return "class";
    case rkRule:
      return "rule";
    case rkManualFromTo:
      return "manualfromto";
    case rkBoardOutline:
      return "boardoutline";
    default:
      return "unknown";
  }
}

std::string Handle(uint32_t handle) {
  return handle ? "#" + std::to_string(handle) : "-";
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 32 || c == 127) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Real(double value) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, "%.6f", value);
  std::string text = buffer;
  while (text.back() == '0')
    text.pop_back();
  if (text.back() == '.')
    text.pop_back();
  return text == "-0" ? "0" : text;
}

// Appends " name=value" in the dump's forms.
class TLine {
 public:
  explicit TLine(std::string& out) : FOut(out) {}
  TLine& Int(const char* name, long long value) {
    FOut += std::string(" ") + name + "=" + std::to_string(value);
    return *this;
  }
  TLine& Coord(const char* name, int32_t value) {
    FOut +=
        std::string(" ") + name + "=" + std::to_string(value) + "(" + RaveloMilText(value) + ")";
    return *this;
  }
  TLine& Angle(const char* name, double value) {
    FOut += std::string(" ") + name + "=" + Real(value);
    return *this;
  }
  TLine& Text(const char* name, std::string_view value) {
    FOut += std::string(" ") + name + "=" + Quoted(value);
    return *this;
  }
  TLine& Ref(const char* name, uint32_t value) {
    FOut += std::string(" ") + name + "=" + Handle(value);
    return *this;
  }

 private:
  std::string& FOut;
};

std::string Numbered(const char* name, int number) {
  return name + std::to_string(number);
}

}  // namespace

const char* RaveloLayerIdentifier(int layer) {
  return layer >= 0 && layer < RaveloLayerCount ? cLayerIdentifiers[layer] : "";
}

std::string RaveloMilText(double units) {
  // Mils with three decimals, rounded half to even, then trailing zeros and point cut.
  const double thousandths = std::nearbyint(1.0 * units / 10000.0 * 1000.0);
  const long long value = static_cast<long long>(thousandths);
  const unsigned long long magnitude = value < 0 ? -value : value;
  std::string text = std::to_string(magnitude / 1000);
  std::string fraction = std::to_string(1000 + magnitude % 1000).substr(1);
  while (!fraction.empty() && fraction.back() == '0')
    fraction.pop_back();
  if (!fraction.empty())
    text += "." + fraction;
  return (value < 0 ? "-" : "") + text + "mil";
}

void TRaveloServer::DumpObject(std::string& out, const TRaveloObject& o) const {
  out += Handle(o.Handle) + " " + KindName(o.Kind);
  TLine line(out);
  line.Ref("owner", o.Owner);
  if (o.Head().TextOfComponent)
    line.Ref("of", o.Head().TextOfComponent);
  line.Ref("net", static_cast<uint32_t>(o.Net));
  out += " layer=" + std::to_string(o.Layer) + "(" + RaveloLayerIdentifier(o.Layer) + ")";
  line.Int("Flags", o.Head().Flags).Int("PrimitiveWord", o.Head().PrimitiveWord);
  line.Int("PrimitiveByte", o.Head().PrimitiveByte).Int("PrimitiveLong", o.Head().PrimitiveLong);
  line.Int("BitField2", o.Head().BitField2).Int("BitField3", o.Head().BitField3);
  switch (o.Kind) {
    case rkTrack:
      line.Coord("X", o.X).Coord("Y", o.Y).Coord("X2", o.X2).Coord("Y2", o.Y2);
      line.Coord("Width", o.Width)
          .Int("Aux1", o.Head().Aux1)
          .Int("Aux2", o.Head().Aux2)
          .Int("Aux3", o.Head().Aux3);
      break;
    case rkArc:
      line.Coord("X", o.X).Coord("Y", o.Y).Coord("Radius", o.Shape().Radius);
      line.Angle("StartAngle", o.Shape().StartAngle).Angle("EndAngle", o.Shape().EndAngle);
      line.Coord("LineWidth", o.Shape().LineWidth).Int("Aux1", o.Head().Aux1);
      break;
    case rkVia:
      line.Coord("X", o.X)
          .Coord("Y", o.Y)
          .Coord("Size", o.Shape().Size)
          .Coord("HoleSize", o.Shape().HoleSize);
      line.Int("ByteAux1", o.Shape().ByteAux1).Int("ByteAux2", o.Shape().ByteAux2);
      break;
    case rkFill:
      line.Coord("X", o.X).Coord("Y", o.Y).Coord("X2", o.X2).Coord("Y2", o.Y2);
      line.Int("Aux1", o.Head().Aux1).Angle("Rotation", o.Shape().Rotation);
      break;
    case rkText:
      line.Coord("X", o.X)
          .Coord("Y", o.Y)
          .Coord("Size", o.Shape().Size)
          .Int("TextAux", o.Shape().TextAux);
      line.Angle("Rotation", o.Shape().Rotation)
          .Int("MirrorFlag", o.Shape().MirrorFlag)
          .Text("Text", o.Shape().Text.Str());
      line.Coord("LineWidth", o.Shape().LineWidth)
          .Int("Aux2", o.Head().Aux2)
          .Int("Aux3", o.Head().Aux3);
      break;
    case rkPad:
      line.Coord("X", o.X).Coord("Y", o.Y);
      line.Coord("TopXSize", o.Pad().TopXSize).Coord("TopYSize", o.Pad().TopYSize);
      line.Coord("MidXSize", o.Pad().MidXSize).Coord("MidYSize", o.Pad().MidYSize);
      line.Coord("BotXSize", o.Pad().BotXSize).Coord("BotYSize", o.Pad().BotYSize);
      line.Coord("HoleSize", o.Pad().HoleSize).Int("TopShape", o.Pad().TopShape);
      line.Int("MidShape", o.Pad().MidShape)
          .Int("BotShape", o.Pad().BotShape)
          .Text("Name", o.Pad().Name.Str());
      line.Int("PadByte1", o.Pad().PadByte1).Int("PadByte2", o.Pad().PadByte2);
      line.Angle("Rotation", o.Pad().Rotation).Int("StackMode", o.Pad().StackMode);
      if (o.Pad().StackMode == 2) {
        for (int layer = 1; layer <= 32; ++layer) {
          out += " L" + std::to_string(layer) + "=" +
                 std::to_string(o.PadLayers().LayerShape[layer]) + "/" +
                 std::to_string(o.PadLayers().LayerXSize[layer]) + "x" +
                 std::to_string(o.PadLayers().LayerYSize[layer]);
        }
      }
      break;
    case rkNet:
      line.Text("Name", o.Pad().Name.Str())
          .Int("NetByte1", o.Pad().GroupByte1)
          .Int("NetByte2", o.Pad().GroupByte2);
      break;
    case rkClass:
      line.Text("Name", o.Pad().Name.Str())
          .Int("ClassByte1", o.Pad().GroupByte1)
          .Int("ClassByte2", o.Pad().GroupByte2);
      for (const std::string& member : o.Rare().Members)
        line.Text("Member", member);
      break;
    case rkComponent:
      line.Coord("X", o.X).Coord("Y", o.Y).Angle("Rotation", o.Shape().Rotation);
      line.Ref("NameText", o.Comp().NameText).Ref("CommentText", o.Comp().CommentText);
      line.Text("ComponentString", o.Comp().ComponentString);
      line.Int("ComponentByte1", o.Comp().ComponentByte1)
          .Int("ComponentByte2", o.Comp().ComponentByte2);
      line.Int("ComponentByte3", o.Comp().ComponentByte3)
          .Int("ComponentLong", o.Comp().ComponentLong);
      line.Int("ChannelOffset", o.Comp().ChannelOffset)
          .Int("ComponentKind", o.Comp().ComponentKind);
      line.Int("ExLong1", o.Comp().ExLong1)
          .Int("ExByte1", o.Comp().ExByte1)
          .Int("ExByte2", o.Comp().ExByte2);
      line.Int("ExLong2", o.Comp().ExLong2);
      for (int i = 0; i < 7; ++i)
        line.Text(Numbered("SourceLink", i + 1).c_str(), o.Rare().SourceLinks[i]);
      break;
    case rkPolygon:
    case rkBoardOutline: {
      line.Int("PolygonFlag1", o.Poly().PolygonFlag1).Int("PolygonFlag2", o.Poly().PolygonFlag2);
      line.Int("PolygonFlag3", o.Poly().PolygonFlag3).Coord("GridSize", o.Poly().GridSize);
      line.Coord("TrackWidth", o.Poly().TrackWidth).Int("PolygonByte1", o.Poly().PolygonByte1);
      line.Int("PolygonByte2", o.Poly().PolygonByte2).Int("PolygonLong", o.Poly().PolygonLong);
      line.Int("PolygonByte", o.Poly().PolygonByte).Int("PointCount", o.Poly().PointCount);
      const int last =
          o.Poly().PointCount < RaveloMaxSegments ? o.Poly().PointCount : RaveloMaxSegments - 1;
      const TRaveloSegments& records = o.Poly().Segments;
      for (int i = 0; i <= last && i < static_cast<int>(records.size()); ++i) {
        out += " [" + std::to_string(records.Kind(i)) + " " + std::to_string(records.X(i)) +
               "(" + RaveloMilText(records.X(i)) + ") " + std::to_string(records.Y(i)) + "(" +
               RaveloMilText(records.Y(i)) + ")]";
      }
      break;
    }
    case rkFromTo:
      line.Coord("X", o.X).Coord("Y", o.Y).Int("ByteAux3", o.Shape().ByteAux3);
      line.Coord("X2", o.X2).Coord("Y2", o.Y2).Int("ByteAux4", o.Shape().ByteAux4);
      break;
    case rkManualFromTo:
      for (int i = 0; i < 3; ++i)
        line.Text(Numbered("FromToText", i + 1).c_str(), o.Rare().FromToText[i]);
      line.Int("FromToLong", o.Rare().FromToLong);
      break;
    case rkCoordinate:
      line.Coord("X", o.X).Coord("Y", o.Y);
      for (int i = 0; i < 6; ++i)
        line.Int(Numbered("CoordValue", i + 1).c_str(), o.Rare().CoordValue[i]);
      break;
    case rkDimension:
      line.Coord("X", o.X).Coord("Y", o.Y);
      for (int i = 1; i <= 18; ++i)
        line.Int(Numbered("DimLong", i).c_str(), o.Rare().DimLong[i]);
      for (int i = 1; i <= 5; ++i)
        line.Int(Numbered("DimByte", i).c_str(), o.Rare().DimByte[i]);
      for (int i = 1; i <= 3; ++i)
        line.Text(Numbered("DimText", i).c_str(), o.Rare().DimText[i]);
      line.Angle("DimDouble", o.Rare().DimDouble).Int("ReferenceCount", o.Rare().References.size());
      for (const TRaveloReference& r : o.Rare().References) {
        out += " [" + std::to_string(r.Value[0]) + " " + std::to_string(r.Value[1]) + " " +
               std::to_string(r.Value[2]) + " " + std::to_string(r.Value[3]) + "]";
      }
      break;
    case rkRule:
      for (int i = 1; i <= 9; ++i)
        line.Int(Numbered("RuleByte", i).c_str(), o.Rare().RuleByte[i]);
      for (int i = 1; i <= 4; ++i)
        line.Int(Numbered("RuleLong", i).c_str(), o.Rare().RuleLong[i]);
      for (int i = 1; i <= 10; ++i)
        line.Text(Numbered("RuleText", i).c_str(), o.Rare().RuleText[i]);
      break;
    default:
      break;
  }
  out += "\n";
}

std::string TRaveloServer::DumpOne(uint32_t handle) const {
  std::string out;
  if (const TRaveloObject* found = FObjects.Find(handle))
    DumpObject(out, *found);
  return out;
}

// Option groups are shown as the bytes that were written, in hexadecimal.
std::string TRaveloServer::DumpSetup(uint32_t boardHandle) {
  const TRaveloBoard* board = FindBoard(boardHandle);
  if (!board)
    return std::string();
  std::string out = "board " + Handle(board->Handle);
  TLine values(out);
  values.Int("BoardLong1", board->BoardLong1).Text("BoardText", board->BoardText);
  values.Int("BoardByte1", board->BoardByte1).Coord("OriginX", board->OriginX);
  values.Coord("OriginY", board->OriginY).Int("BoardLong2", board->BoardLong2);
  values.Int("BoardLong3", board->BoardLong3).Int("BoardByte2", board->BoardByte2);
  values.Int("BoardByte3", board->BoardByte3).Int("BoardLong4", board->BoardLong4);
  out += "\n";
  for (int layer = 1; layer < RaveloLayerCount; ++layer) {
    const TRaveloLayer& l = board->Layers[layer];
    out += "layer " + std::to_string(layer);
    TLine line(out);
    line.Text("Name", l.Name).Int("CopperThickness", l.CopperThickness);
    line.Int("LayerByte1", l.LayerByte1).Int("LayerByte2", l.LayerByte2);
    line.Int("PrevLayer", l.PrevLayer).Int("NextLayer", l.NextLayer);
    line.Int("LayerByte3", l.LayerByte3);
    if (layer >= 39 && layer <= 54)
      line.Text("NetName", l.NetName);
    line.Text("DielectricMaterial", l.DielectricMaterial).Int("DielectricType", l.DielectricType);
    line.Angle("DielectricConstant", l.DielectricConstant);
    line.Int("DielectricHeight", l.DielectricHeight).Int("LayerInfo", board->LayerInfo[layer]);
    out += "\n";
  }
  for (size_t i = 0; i < board->Pairs.size(); ++i) {
    const TRaveloPair& pair = board->Pairs[i];
    out += "pair " + std::to_string(i);
    TLine line(out);
    line.Int("PairByte1", pair.PairByte1).Int("PairByte2", pair.PairByte2);
    line.Int("HighLayer", pair.HighLayer).Int("LowLayer", pair.LowLayer);
    out += "\n";
  }
  for (const auto& [name, d] : {std::pair{"top", &board->TopDielectric},
                                std::pair{"bottom", &board->BottomDielectric}}) {
    out += std::string("dielectric ") + name;
    TLine line(out);
    line.Text("Material", d->Material).Int("Type", d->Type).Angle("Constant", d->Constant);
    line.Int("Height", d->Height);
    out += "\n";
  }
  for (const auto& [name, bytes] : board->Options) {
    out += "option " + name + " ";
    for (uint8_t b : bytes) {
      char hex[4];
      snprintf(hex, sizeof hex, "%02X", b);
      out += hex;
    }
    out += "\n";
  }
  return out;
}

std::string TRaveloServer::Dump(uint32_t boardHandle) {
  const TRaveloBoard* board = FindBoard(boardHandle);
  if (!board)
    return std::string();
  std::string out = "board " + Handle(board->Handle) + " " + Quoted(board->FullName) +
                    (board->Handle == FCurrentBoard ? " current" : "") + "\n";
  for (uint32_t handle : Scope(boardHandle))
    DumpObject(out, *FObjects.Find(handle));
  out += "origin";
  TLine origin(out);
  origin.Coord("X", board->OriginX).Coord("Y", board->OriginY);
  out += "\nloose objects " + std::to_string(LooseObjectCount()) + "\n";
  for (const TRaveloProgress& step : FProgress) {
    switch (step.Step) {
      case TRaveloProgress::psInit:
        out += "progress init " + Quoted(step.Caption) + " " + std::to_string(step.Total) + "\n";
        break;
      case TRaveloProgress::psUpdate:
        out += "progress update " + std::to_string(step.Count) + "\n";
        break;
      case TRaveloProgress::psFinish:
        out += "progress finish\n";
        break;
    }
  }
  FEvents.ForEach([&](const TRaveloEvent& e) {
    out += "event " + std::to_string(e.Source) + " " + std::to_string(e.Value) + " " +
           std::to_string(e.Code) + " " + std::to_string(e.Data) + "\n";
  });
  return out;
}
