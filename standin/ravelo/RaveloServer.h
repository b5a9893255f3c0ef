// The in-memory PCB server behind the stand-in "Ravelo.dll": boards, objects,
// iterators, the progress and event-router logs, the call log and the injected
// results. One instance per process; the exports run on the host's UI thread only.
// The rules it follows are written down in README.md next to this file.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Object kind codes of the host.
enum TRaveloKind : uint8_t {
  rkArc = 1, rkPad = 2, rkVia = 3, rkTrack = 4, rkText = 5, rkFill = 6, rkFromTo = 7,
  rkNet = 8, rkComponent = 9, rkPolygon = 10, rkDimension = 11, rkCoordinate = 12,
  rkClass = 13, rkRule = 14, rkManualFromTo = 15, rkBoardOutline = 21
};

// Status results of the entry points.
enum TRaveloStatus : int32_t {
  rsOk = 0,
  rsPastEnd = 1,        // a class member index beyond the last member
  rsUnknownHandle = 2,  // no board or object has that handle
  rsWrongKind = 3,      // the handle names something of another kind
  rsBadArgument = 4,    // a layer, index or container the call cannot take
  rsFailure = 5         // the server failed inside (reported on stderr)
};

inline constexpr int RaveloLayerCount = 83;
inline constexpr int RaveloMaxSegments = 501;
inline constexpr int RaveloMaxReferences = 200;

#pragma pack(push, 1)
struct TRaveloSegment {
  uint8_t Kind;
  int32_t X;
  int32_t Y;
  uint8_t Host[28];
};
#pragma pack(pop)
static_assert(sizeof(TRaveloSegment) == 37, "the host's segment record is 37 bytes");

struct TRaveloReference {
  int32_t Value[4] = {};
};

// A part of an object that few kinds use: made on first write, read as its defaults
// while there is none. (Every object carried every kind's fields before, some 1.7 KB
// each, which kept the stand-in from holding large boards.)
template <class T>
class TRaveloPart {
 public:
  TRaveloPart() = default;
  TRaveloPart(const TRaveloPart& other) : FPart(other.FPart ? std::make_unique<T>(*other.FPart) : nullptr) {}
  TRaveloPart& operator=(const TRaveloPart& other) {
    FPart = other.FPart ? std::make_unique<T>(*other.FPart) : nullptr;
    return *this;
  }
  TRaveloPart(TRaveloPart&&) = default;
  TRaveloPart& operator=(TRaveloPart&&) = default;
  T& Get() {
    if (!FPart)
      FPart = std::make_unique<T>();
    return *FPart;
  }
  const T& Get() const {
    static const T defaults;
    return FPart ? *FPart : defaults;
  }

 private:
  std::unique_ptr<T> FPart;
};

// A pad's values per layer.
struct TRaveloPadLayers {
  std::array<int32_t, RaveloLayerCount> LayerXSize{}, LayerYSize{};
  std::array<uint8_t, RaveloLayerCount> LayerShape{};
};

// The fields of classes, components' source links, from-tos, coordinates, dimensions
// and rules.
struct TRaveloRareFields {
  std::vector<std::string> Members;  // class
  std::array<std::string, 7> SourceLinks;
  // Manual from-to.
  std::array<std::string, 3> FromToText;
  int32_t FromToLong = 0;
  // Coordinate.
  std::array<int32_t, 6> CoordValue{};
  // Dimension: DimLong[1..18], DimByte[1..5], DimText[1..3].
  std::array<int32_t, 19> DimLong{};
  std::array<uint8_t, 6> DimByte{};
  std::array<std::string, 4> DimText;
  double DimDouble = 0;
  std::vector<TRaveloReference> References;
  // Rule: RuleByte[1..9], RuleText[1..10], RuleLong[1..4].
  std::array<uint8_t, 10> RuleByte{};
  std::array<std::string, 11> RuleText;
  std::array<int32_t, 5> RuleLong{};
};

// Every field of every kind; a kind uses the fields of its query calls.
struct TRaveloObject {
  TRaveloPadLayers& Pad() { return PadPart.Get(); }
  const TRaveloPadLayers& Pad() const { return PadPart.Get(); }
  TRaveloRareFields& Rare() { return RarePart.Get(); }
  const TRaveloRareFields& Rare() const { return RarePart.Get(); }
  TRaveloPart<TRaveloPadLayers> PadPart;
  TRaveloPart<TRaveloRareFields> RarePart;

  uint32_t Handle = 0;
  uint8_t Kind = 0;
  uint32_t Owner = 0;            // board or component that holds it; 0 = none
  uint32_t TextOfComponent = 0;  // the component whose name or comment text this is
  // Common head.
  uint8_t BitField2 = 0, BitField3 = 0;
  uint16_t Flags = 0;
  int16_t PrimitiveWord = 0;
  uint8_t Layer = 0;
  int32_t Net = 0;
  uint8_t PrimitiveByte = 0;
  int32_t PrimitiveLong = 0;
  int32_t X = 0, Y = 0, X2 = 0, Y2 = 0;
  // Track, arc, via, fill, text.
  int32_t Width = 0, Aux1 = 0, Aux2 = 0, Aux3 = 0;
  int32_t Radius = 0;
  double StartAngle = 0, EndAngle = 0;
  int32_t LineWidth = 0;
  int32_t Size = 0, HoleSize = 0;
  uint8_t ByteAux1 = 0, ByteAux2 = 0, ByteAux3 = 0, ByteAux4 = 0;
  double Rotation = 0;
  int32_t TextAux = 0;
  uint8_t MirrorFlag = 0;
  std::string Text;
  // Pad.
  int32_t TopXSize = 0, TopYSize = 0, MidXSize = 0, MidYSize = 0, BotXSize = 0, BotYSize = 0;
  uint8_t TopShape = 0, MidShape = 0, BotShape = 0;
  uint8_t PadByte1 = 0, PadByte2 = 0;
  uint8_t StackMode = 0;
  // Pad, net and class name.
  std::string Name;
  uint8_t GroupByte1 = 0, GroupByte2 = 0;  // NetByte1/2 or ClassByte1/2
  // Component.
  int32_t ChannelOffset = 0;
  uint8_t ComponentKind = 0;
  uint32_t NameText = 0, CommentText = 0;
  std::string ComponentString;
  uint8_t ComponentByte1 = 0, ComponentByte2 = 0, ComponentByte3 = 0;
  int32_t ComponentLong = 0;
  int32_t ExLong1 = 0, ExLong2 = 0;
  uint8_t ExByte1 = 0, ExByte2 = 0;
  // Polygon and board outline.
  uint8_t PolygonFlag1 = 0, PolygonFlag2 = 0, PolygonFlag3 = 0;
  int32_t GridSize = 0, TrackWidth = 0, PolygonLong = 0, PointCount = 0;
  uint8_t PolygonByte = 0, PolygonByte1 = 0, PolygonByte2 = 0;
  std::vector<TRaveloSegment> Segments;  // RaveloMaxSegments records
  // A faulty host: the reference count (dimensions) or point count (polygons, on
  // loading) it reports instead of the true one; -1 for the true one.
  int32_t OverstatedCount = -1;
};

struct TRaveloLayer {
  std::string Name;
  int32_t CopperThickness = 14000;
  uint8_t LayerByte1 = 0, LayerByte2 = 0, PrevLayer = 0, NextLayer = 0, LayerByte3 = 0;
  std::string NetName = "(No Net)";
  std::string DielectricMaterial = "FR-4";
  uint8_t DielectricType = 1;
  double DielectricConstant = 4.8;
  int32_t DielectricHeight = 126000;
};

struct TRaveloPair {
  uint8_t PairByte1 = 0, PairByte2 = 0, HighLayer = 0, LowLayer = 0;
};

struct TRaveloDielectric {
  std::string Material = "FR-4";
  uint8_t Type = 1;
  double Constant = 4.8;
  int32_t Height = 126000;
};

struct TRaveloBoard {
  uint32_t Handle = 0;
  std::string FullName;
  int32_t BoardLong1 = 0, BoardLong2 = 0, BoardLong3 = 0, BoardLong4 = 0;
  std::string BoardText;
  uint8_t BoardByte1 = 0, BoardByte2 = 0, BoardByte3 = 0;
  int32_t OriginX = 0, OriginY = 0;
  std::array<int32_t, RaveloLayerCount> LayerInfo{};
  std::array<TRaveloLayer, RaveloLayerCount> Layers;  // 1 to 82
  std::vector<TRaveloPair> Pairs;
  TRaveloDielectric TopDielectric, BottomDielectric;
  // Option groups, kept as the bytes that were written (by group name).
  std::map<std::string, std::vector<uint8_t>> Options;
};

struct TRaveloRect {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

struct TRaveloEvent {
  uint32_t Source, Value;
  uint16_t Code;
  uint32_t Data;
};

// One step of the progress log; consecutive updates are counted in one step.
struct TRaveloProgress {
  enum TStep { psInit, psUpdate, psFinish } Step;
  std::string Caption;
  int32_t Total = 0;
  int32_t Count = 1;
};

// Runs a named host process for PcbApi_SendCommand; non-zero when it ran.
using TRaveloCommandRunner = uint32_t(__stdcall*)(const char* command, char* parameters,
                                                  uint16_t size);

class TRaveloServer {
 public:
  static TRaveloServer& Instance();

  // Forgets every board, object, iterator, log and injection; numbering starts again.
  void Reset();

  uint32_t CreateBoard(const std::string& fullName);
  TRaveloBoard* FindBoard(uint32_t handle);
  uint32_t BoardFromFullName(const std::string& fullName) const;
  uint32_t GetCurrentBoard() const { return FCurrentBoard; }
  bool SetCurrentBoard(uint32_t board);

  // 0 for a kind the server does not keep.
  uint32_t CreateObject(uint8_t kind);
  TRaveloObject* FindObject(uint32_t handle);
  bool Exists(uint32_t handle) const;
  int32_t DestroyObject(uint32_t handle);
  int32_t AddObjectToContainer(uint32_t container, uint32_t object);
  int32_t DeleteObjectFromContainer(uint32_t container, uint32_t object);
  // Objects not in any container and not a component's text.
  int LooseObjectCount() const;

  // Board scope: board objects, component members and component texts; component
  // scope: members only; net scope: objects whose net it is. In creation order.
  std::vector<uint32_t> Scope(uint32_t container) const;
  uint32_t CreateIterator(uint32_t container, uint8_t kind, uint8_t layer);
  uint32_t IteratorFirst(uint32_t iterator);
  uint32_t IteratorNext(uint32_t iterator);
  int32_t DestroyIterator(uint32_t iterator);

  // The extent of an object or a board; false for an unknown handle.
  bool BoundingRectangle(uint32_t handle, TRaveloRect& rect) const;
  // Moves and turns a component's members and texts from its stored place to the new
  // one (by the change of X, Y and rotation, about the new reference point).
  void PlaceComponent(TRaveloObject& component, int32_t newX, int32_t newY, double newRotation);

  // Logs.
  void LogCall(const std::string& line);
  std::string CallLogText() const;
  void ClearCallLog() { FCallLog.clear(); }
  void ProgressInit(const std::string& caption, int32_t total);
  void ProgressUpdate();
  void ProgressFinish();
  void RouteEvent(const TRaveloEvent& event) { FEvents.push_back(event); }

  // Results forced on an entry point by name, until cleared.
  void Inject(const std::string& entry, uint32_t result) { FInjected[entry] = result; }
  void ClearInjections() { FInjected.clear(); }
  std::optional<uint32_t> Injected(const std::string& entry) const;

  void SetCommandRunner(TRaveloCommandRunner runner) { FCommandRunner = runner; }
  TRaveloCommandRunner GetCommandRunner() const { return FCommandRunner; }

  // The deterministic text dump of a board; empty for an unknown board.
  std::string Dump(uint32_t board);
  // One object's line of the dump; empty for an unknown handle.
  std::string DumpOne(uint32_t handle) const;
  // A board's general values, layers, pairs, dielectrics and option groups; empty for
  // an unknown board.
  std::string DumpSetup(uint32_t board);
  // Replaces a board's layer pairs; false for an unknown board.
  bool SetLayerPairs(uint32_t board, const std::vector<TRaveloPair>& pairs);

 private:
  struct TIterator {
    std::vector<uint32_t> Items;
    size_t Next = 0;
  };

  TRaveloServer() = default;
  uint32_t NewHandle() { return ++FLastHandle; }
  // Sets an object's owner and keeps the owner index up to date.
  void SetOwner(TRaveloObject& object, uint32_t owner);
  // The objects a board or component holds, and a component's name and comment texts,
  // in creation order (empty sets for none).
  const std::set<uint32_t>& Owned(uint32_t owner) const;
  const std::set<uint32_t>& TextsOf(uint32_t component) const;
  void DestroyTree(uint32_t handle);
  void DumpObject(std::string& out, const TRaveloObject& object) const;
  bool ObjectExtent(const TRaveloObject& object, TRaveloRect& rect, bool& any) const;

  uint32_t FLastHandle = 0;
  uint32_t FCurrentBoard = 0;
  std::map<uint32_t, TRaveloBoard> FBoards;
  std::map<uint32_t, TRaveloObject> FObjects;  // handle order is creation order
  std::map<uint32_t, TIterator> FIterators;
  // Indexes over FObjects, so that the members of a container are found without
  // visiting every object: handles by Owner, and handles by TextOfComponent.
  std::map<uint32_t, std::set<uint32_t>> FOwned;
  std::map<uint32_t, std::set<uint32_t>> FTextsOf;
  // The log's lines, each ended by "\n", in pieces of about a megabyte: one string per
  // line cost more than the line itself, and one string for all would need a block of
  // twice the log's size to grow.
  std::vector<std::string> FCallLog;
  std::vector<TRaveloProgress> FProgress;
  std::vector<TRaveloEvent> FEvents;
  std::map<std::string, uint32_t> FInjected;
  TRaveloCommandRunner FCommandRunner = nullptr;
};

// Layer identifiers "NoLayer" ... "ViaHoleLayer" by layer number, for names and dumps.
const char* RaveloLayerIdentifier(int layer);
// `units` as mils with up to 3 decimals: 25000 -> "2.5mil".
std::string RaveloMilText(double units);
// Nearest integer, ties to even.
int32_t RaveloRound(double value);
