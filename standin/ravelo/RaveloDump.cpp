// The deterministic board dump, and the server's own layer identifiers and mil texts.
// The dump lists, in creation order, every object in the board's scope with its kind,
// handle, owner, net, layer and every field; coordinates are written in board units
// followed by their mil text in parentheses.
#include <cmath>
#include <cstdio>
#include <utility>

#include "standin/ravelo/RaveloServer.h"
#include "standin/ravelo/RaveloTextWriter.h"

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

std::string Numbered(const char* name, int number) {
  return name + std::to_string(number);
}

}  // namespace

const char* RaveloLayerIdentifier(int layer) {
  return layer >= 0 && layer < RaveloLayerCount ? cLayerIdentifiers[layer] : "";
}

void TRaveloServer::DumpObject(TRaveloTextWriter& out, const TRaveloObject& o) const {
  out.Handle(o.Handle).Char(' ').Raw(KindName(o.Kind));
  out.Ref("owner", o.Owner);
  if (o.Head().TextOfComponent)
    out.Ref("of", o.Head().TextOfComponent);
  out.Ref("net", static_cast<uint32_t>(o.Net));
  out.Int("layer", o.Layer).Char('(').Raw(RaveloLayerIdentifier(o.Layer)).Char(')');
  out.Int("Flags", o.Head().Flags).Int("PrimitiveWord", o.Head().PrimitiveWord);
  out.Int("PrimitiveByte", o.Head().PrimitiveByte).Int("PrimitiveLong", o.Head().PrimitiveLong);
  out.Int("BitField2", o.Head().BitField2).Int("BitField3", o.Head().BitField3);
  switch (o.Kind) {
    case rkTrack:
      out.Coord("X", o.X).Coord("Y", o.Y).Coord("X2", o.X2).Coord("Y2", o.Y2);
      out.Coord("Width", o.Width)
          .Int("Aux1", o.Head().Aux1)
          .Int("Aux2", o.Head().Aux2)
          .Int("Aux3", o.Head().Aux3);
      break;
    case rkArc:
      out.Coord("X", o.X).Coord("Y", o.Y).Coord("Radius", o.Shape().Radius);
      out.Angle("StartAngle", o.Shape().StartAngle).Angle("EndAngle", o.Shape().EndAngle);
      out.Coord("LineWidth", o.Shape().LineWidth).Int("Aux1", o.Head().Aux1);
      break;
    case rkVia:
      out.Coord("X", o.X)
          .Coord("Y", o.Y)
          .Coord("Size", o.Shape().Size)
          .Coord("HoleSize", o.Shape().HoleSize);
      out.Int("ByteAux1", o.Shape().ByteAux1).Int("ByteAux2", o.Shape().ByteAux2);
      break;
    case rkFill:
      out.Coord("X", o.X).Coord("Y", o.Y).Coord("X2", o.X2).Coord("Y2", o.Y2);
      out.Int("Aux1", o.Head().Aux1).Angle("Rotation", o.Shape().Rotation);
      break;
    case rkText:
      out.Coord("X", o.X)
          .Coord("Y", o.Y)
          .Coord("Size", o.Shape().Size)
          .Int("TextAux", o.Shape().TextAux);
      out.Angle("Rotation", o.Shape().Rotation)
          .Int("MirrorFlag", o.Shape().MirrorFlag)
          .Text("Text", o.Shape().Text.Str());
      out.Coord("LineWidth", o.Shape().LineWidth)
          .Int("Aux2", o.Head().Aux2)
          .Int("Aux3", o.Head().Aux3);
      break;
    case rkPad:
      out.Coord("X", o.X).Coord("Y", o.Y);
      out.Coord("TopXSize", o.Pad().TopXSize).Coord("TopYSize", o.Pad().TopYSize);
      out.Coord("MidXSize", o.Pad().MidXSize).Coord("MidYSize", o.Pad().MidYSize);
      out.Coord("BotXSize", o.Pad().BotXSize).Coord("BotYSize", o.Pad().BotYSize);
      out.Coord("HoleSize", o.Pad().HoleSize).Int("TopShape", o.Pad().TopShape);
      out.Int("MidShape", o.Pad().MidShape)
          .Int("BotShape", o.Pad().BotShape)
          .Text("Name", o.Pad().Name.Str());
      out.Int("PadByte1", o.Pad().PadByte1).Int("PadByte2", o.Pad().PadByte2);
      out.Angle("Rotation", o.Pad().Rotation).Int("StackMode", o.Pad().StackMode);
      if (o.Pad().StackMode == 2) {
        for (int layer = 1; layer <= 32; ++layer) {
          out.Raw(" L").Number(layer).Char('=').Number(o.PadLayers().LayerShape[layer]);
          out.Char('/').Number(o.PadLayers().LayerXSize[layer]);
          out.Char('x').Number(o.PadLayers().LayerYSize[layer]);
        }
      }
      break;
    case rkNet:
      out.Text("Name", o.Pad().Name.Str())
          .Int("NetByte1", o.Pad().GroupByte1)
          .Int("NetByte2", o.Pad().GroupByte2);
      break;
    case rkClass:
      out.Text("Name", o.Pad().Name.Str())
          .Int("ClassByte1", o.Pad().GroupByte1)
          .Int("ClassByte2", o.Pad().GroupByte2);
      for (const std::string& member : o.Rare().Members)
        out.Text("Member", member);
      break;
    case rkComponent:
      out.Coord("X", o.X).Coord("Y", o.Y).Angle("Rotation", o.Shape().Rotation);
      out.Ref("NameText", o.Comp().NameText).Ref("CommentText", o.Comp().CommentText);
      out.Text("ComponentString", o.Comp().ComponentString);
      out.Int("ComponentByte1", o.Comp().ComponentByte1)
          .Int("ComponentByte2", o.Comp().ComponentByte2);
      out.Int("ComponentByte3", o.Comp().ComponentByte3)
          .Int("ComponentLong", o.Comp().ComponentLong);
      out.Int("ChannelOffset", o.Comp().ChannelOffset)
          .Int("ComponentKind", o.Comp().ComponentKind);
      out.Int("ExLong1", o.Comp().ExLong1)
          .Int("ExByte1", o.Comp().ExByte1)
          .Int("ExByte2", o.Comp().ExByte2);
      out.Int("ExLong2", o.Comp().ExLong2);
      for (int i = 0; i < 7; ++i)
        out.Text(Numbered("SourceLink", i + 1), o.Rare().SourceLinks[i]);
      break;
    case rkPolygon:
    case rkBoardOutline: {
      out.Int("PolygonFlag1", o.Poly().PolygonFlag1).Int("PolygonFlag2", o.Poly().PolygonFlag2);
      out.Int("PolygonFlag3", o.Poly().PolygonFlag3).Coord("GridSize", o.Poly().GridSize);
      out.Coord("TrackWidth", o.Poly().TrackWidth).Int("PolygonByte1", o.Poly().PolygonByte1);
      out.Int("PolygonByte2", o.Poly().PolygonByte2).Int("PolygonLong", o.Poly().PolygonLong);
      out.Int("PolygonByte", o.Poly().PolygonByte).Int("PointCount", o.Poly().PointCount);
      const int last =
          o.Poly().PointCount < RaveloMaxSegments ? o.Poly().PointCount : RaveloMaxSegments - 1;
      const TRaveloSegments& records = o.Poly().Segments;
      for (int i = 0; i <= last && i < static_cast<int>(records.size()); ++i) {
        out.Raw(" [").Number(records.Kind(i)).Char(' ').Number(records.X(i));
        out.Char('(').Mil(records.X(i)).Raw(") ").Number(records.Y(i));
        out.Char('(').Mil(records.Y(i)).Raw(")]");
      }
      break;
    }
    case rkFromTo:
      out.Coord("X", o.X).Coord("Y", o.Y).Int("ByteAux3", o.Shape().ByteAux3);
      out.Coord("X2", o.X2).Coord("Y2", o.Y2).Int("ByteAux4", o.Shape().ByteAux4);
      break;
    case rkManualFromTo:
      for (int i = 0; i < 3; ++i)
        out.Text(Numbered("FromToText", i + 1), o.Rare().FromToText[i]);
      out.Int("FromToLong", o.Rare().FromToLong);
      break;
    case rkCoordinate:
      out.Coord("X", o.X).Coord("Y", o.Y);
      for (int i = 0; i < 6; ++i)
        out.Int(Numbered("CoordValue", i + 1), o.Rare().CoordValue[i]);
      break;
    case rkDimension:
      out.Coord("X", o.X).Coord("Y", o.Y);
      for (int i = 1; i <= 18; ++i)
        out.Int(Numbered("DimLong", i), o.Rare().DimLong[i]);
      for (int i = 1; i <= 5; ++i)
        out.Int(Numbered("DimByte", i), o.Rare().DimByte[i]);
      for (int i = 1; i <= 3; ++i)
        out.Text(Numbered("DimText", i), o.Rare().DimText[i]);
      out.Angle("DimDouble", o.Rare().DimDouble).Int("ReferenceCount", o.Rare().References.size());
      for (const TRaveloReference& r : o.Rare().References) {
        out.Raw(" [").Number(r.Value[0]).Char(' ').Number(r.Value[1]);
        out.Char(' ').Number(r.Value[2]).Char(' ').Number(r.Value[3]).Char(']');
      }
      break;
    case rkRule:
      for (int i = 1; i <= 9; ++i)
        out.Int(Numbered("RuleByte", i), o.Rare().RuleByte[i]);
      for (int i = 1; i <= 4; ++i)
        out.Int(Numbered("RuleLong", i), o.Rare().RuleLong[i]);
      for (int i = 1; i <= 10; ++i)
        out.Text(Numbered("RuleText", i), o.Rare().RuleText[i]);
      break;
    default:
      break;
  }
  out.EndLine();
}

std::string TRaveloServer::DumpOne(uint32_t handle) const {
  const TRaveloObject* found = FObjects.Find(handle);
  if (!found)
    return std::string();
  return RaveloTextOf([&](TRaveloTextWriter& out) { DumpObject(out, *found); });
}

// Option groups are shown as the bytes that were written, in hexadecimal.
std::string TRaveloServer::DumpSetup(uint32_t boardHandle) {
  const TRaveloBoard* board = FindBoard(boardHandle);
  if (!board)
    return std::string();
  return RaveloTextOf([&](TRaveloTextWriter& out) {
    out.Raw("board ").Handle(board->Handle);
    out.Int("BoardLong1", board->BoardLong1).Text("BoardText", board->BoardText);
    out.Int("BoardByte1", board->BoardByte1).Coord("OriginX", board->OriginX);
    out.Coord("OriginY", board->OriginY).Int("BoardLong2", board->BoardLong2);
    out.Int("BoardLong3", board->BoardLong3).Int("BoardByte2", board->BoardByte2);
    out.Int("BoardByte3", board->BoardByte3).Int("BoardLong4", board->BoardLong4);
    out.EndLine();
    for (int layer = 1; layer < RaveloLayerCount; ++layer) {
      const TRaveloLayer& l = board->Layers[layer];
      out.Raw("layer ").Number(layer);
      out.Text("Name", l.Name).Int("CopperThickness", l.CopperThickness);
      out.Int("LayerByte1", l.LayerByte1).Int("LayerByte2", l.LayerByte2);
      out.Int("PrevLayer", l.PrevLayer).Int("NextLayer", l.NextLayer);
      out.Int("LayerByte3", l.LayerByte3);
      if (layer >= 39 && layer <= 54)
        out.Text("NetName", l.NetName);
      out.Text("DielectricMaterial", l.DielectricMaterial).Int("DielectricType", l.DielectricType);
      out.Angle("DielectricConstant", l.DielectricConstant);
      out.Int("DielectricHeight", l.DielectricHeight).Int("LayerInfo", board->LayerInfo[layer]);
      out.EndLine();
    }
    for (size_t i = 0; i < board->Pairs.size(); ++i) {
      const TRaveloPair& pair = board->Pairs[i];
      out.Raw("pair ").Number(static_cast<int64_t>(i));
      out.Int("PairByte1", pair.PairByte1).Int("PairByte2", pair.PairByte2);
      out.Int("HighLayer", pair.HighLayer).Int("LowLayer", pair.LowLayer);
      out.EndLine();
    }
    for (const auto& [name, d] : {std::pair{"top", &board->TopDielectric},
                                  std::pair{"bottom", &board->BottomDielectric}}) {
      out.Raw("dielectric ").Raw(name);
      out.Text("Material", d->Material).Int("Type", d->Type).Angle("Constant", d->Constant);
      out.Int("Height", d->Height);
      out.EndLine();
    }
    for (const auto& [name, bytes] : board->Options) {
      out.Raw("option ").Raw(name).Char(' ');
      for (uint8_t b : bytes) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out.Char(kHex[b >> 4]).Char(kHex[b & 15]);
      }
      out.EndLine();
    }
  });
}

bool TRaveloServer::Dump(uint32_t boardHandle, TRaveloTextWriter& out) const {
  const auto found = FBoards.find(boardHandle);
  if (found == FBoards.end())
    return false;
  const TRaveloBoard& board = found->second;
  out.Raw("board ").Handle(board.Handle).Char(' ').Quoted(board.FullName);
  if (board.Handle == FCurrentBoard)
    out.Raw(" current");
  out.EndLine();
  ForEachInScope(boardHandle, [&](const TRaveloObject& object) {
    if (!out.Stopped())
      DumpObject(out, object);
  });
  out.Raw("origin").Coord("X", board.OriginX).Coord("Y", board.OriginY).EndLine();
  out.Raw("loose objects ").Number(LooseObjectCount()).EndLine();
  for (const TRaveloProgress& step : FProgress) {
    switch (step.Step) {
      case TRaveloProgress::psInit:
        out.Raw("progress init ").Quoted(step.Caption).Char(' ').Number(step.Total).EndLine();
        break;
      case TRaveloProgress::psUpdate:
        out.Raw("progress update ").Number(step.Count).EndLine();
        break;
      case TRaveloProgress::psFinish:
        out.Raw("progress finish").EndLine();
        break;
    }
  }
  FEvents.ForEach([&](const TRaveloEvent& e) {
    out.Raw("event ").Number(e.Source).Char(' ').Number(e.Value).Char(' ').Number(e.Code);
    out.Char(' ').Number(e.Data).EndLine();
  });
  return true;
}
