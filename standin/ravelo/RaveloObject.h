// The stand-in server's objects: kinds, statuses, capacities and the fields every kind
// keeps, with the parts that few kinds use made only when written.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
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

// A polygon's records as it keeps them: kind and point of each, and the host's other 28
// bytes of every record only once a record has one that is not 0 (a board's polygons
// have none, and those bytes were three quarters of each record).
class TRaveloSegments {
 public:
  size_t size() const { return FPoints.size(); }
  // Grows with zero records; never cuts.
  void Grow(size_t count) {
    if (count <= FPoints.size())
      return;
    FPoints.resize(count);
    if (!FHost.empty())
      FHost.resize(count);
  }
  TRaveloSegment Get(size_t index) const {
    TRaveloSegment segment{FPoints[index].Kind, FPoints[index].X, FPoints[index].Y, {}};
    if (!FHost.empty())
      std::memcpy(segment.Host, FHost[index].data(), sizeof segment.Host);
    return segment;
  }
  void Set(size_t index, const TRaveloSegment& segment) {
    FPoints[index] = TPoint{segment.Kind, segment.X, segment.Y};
    static constexpr uint8_t kNone[sizeof segment.Host] = {};
    if (FHost.empty() && std::memcmp(segment.Host, kNone, sizeof kNone) == 0)
      return;
    FHost.resize(FPoints.size());
    std::memcpy(FHost[index].data(), segment.Host, sizeof segment.Host);
  }
  uint8_t Kind(size_t index) const { return FPoints[index].Kind; }
  int32_t X(size_t index) const { return FPoints[index].X; }
  int32_t Y(size_t index) const { return FPoints[index].Y; }
  void SetPoint(size_t index, int32_t x, int32_t y) {
    FPoints[index].X = x;
    FPoints[index].Y = y;
  }

 private:
#pragma pack(push, 1)
  struct TPoint {
    uint8_t Kind = 0;
    int32_t X = 0;
    int32_t Y = 0;
  };
#pragma pack(pop)
  std::vector<TPoint> FPoints;
  std::vector<std::array<uint8_t, sizeof(TRaveloSegment::Host)>> FHost;  // empty, or one a record
};

struct TRaveloReference {
  int32_t Value[4] = {};
};

// A text of an object, kept in the texts' store of the process as its length byte and
// its characters: four bytes in the object instead of a string of 24 and often a heap
// block. A store that gives an object the text it has keeps it; a changed text takes
// new room (the old stays until the process ends: texts seldom change).
class TRaveloString {
 public:
  std::string_view Str() const { return FAt == 0 ? std::string_view() : Text(FAt); }
  void Set(std::string_view text) {
    if (text != Str())
      FAt = text.empty() ? 0 : Keep(text);
  }
  size_t size() const { return Str().size(); }
  // Empties the store; only when no object holds a text (Ravelo_Reset, after the objects).
  static void ForgetAll();

 private:
  // Texts are at most 255 characters (a short string's capacity).
  static std::string_view Text(uint32_t at);
  static uint32_t Keep(std::string_view text);
  uint32_t FAt = 0;  // where in the store; 0: the empty text
};

// Storage for the parts of one type: slots taken from chunks of a thousand and kept on
// a free list when given back, so that the parts of a board's millions of objects cost
// neither a heap block each nor its header. The chunks stay for the life of the process
// (a run after Ravelo_Reset takes the same slots again).
template <class T>
class TRaveloPartPool {
 public:
  static TRaveloPartPool& Instance() {
    static TRaveloPartPool* pool = new TRaveloPartPool;  // never freed: parts may outlive it
    return *pool;
  }
  template <class... A>
  T* Make(A&&... args) {
    if (!FFree) {
      FChunks.push_back(std::make_unique<TSlot[]>(kChunk));
      TSlot* chunk = FChunks.back().get();
      for (size_t i = 0; i < kChunk; ++i)
        chunk[i].Next = i + 1 < kChunk ? &chunk[i + 1] : nullptr;
      FFree = chunk;
    }
    TSlot* slot = FFree;
    FFree = slot->Next;
    return new (slot->Bytes) T(std::forward<A>(args)...);
  }
  void Give(T* part) {
    part->~T();
    TSlot* slot = reinterpret_cast<TSlot*>(part);
    slot->Next = FFree;
    FFree = slot;
  }

 private:
  static constexpr size_t kChunk = 1024;
  union TSlot {
    TSlot* Next;
    alignas(T) unsigned char Bytes[sizeof(T)];
  };
  TSlot* FFree = nullptr;
  std::vector<std::unique_ptr<TSlot[]>> FChunks;
};

// A part of an object that few kinds use: made on first write, read as its defaults
// while there is none. (Every object carried every kind's fields before, some 1.7 KB
// each, which kept the stand-in from holding large boards.)
template <class T>
class TRaveloPart {
 public:
  TRaveloPart() = default;
  ~TRaveloPart() { Drop(); }
  TRaveloPart(const TRaveloPart& other)
      : FPart(other.FPart ? TRaveloPartPool<T>::Instance().Make(*other.FPart) : nullptr) {}
  TRaveloPart& operator=(const TRaveloPart& other) {
    if (this != &other) {
      Drop();
      FPart = other.FPart ? TRaveloPartPool<T>::Instance().Make(*other.FPart) : nullptr;
    }
    return *this;
  }
  TRaveloPart(TRaveloPart&& other) noexcept : FPart(std::exchange(other.FPart, nullptr)) {}
  TRaveloPart& operator=(TRaveloPart&& other) noexcept {
    if (this != &other) {
      Drop();
      FPart = std::exchange(other.FPart, nullptr);
    }
    return *this;
  }
  T& Get() {
    if (!FPart)
      FPart = TRaveloPartPool<T>::Instance().Make();
    return *FPart;
  }
  const T& Get() const {
    static const T defaults;
    return FPart ? *FPart : defaults;
  }
  bool Has() const { return FPart != nullptr; }

 private:
  void Drop() {
    if (FPart)
      TRaveloPartPool<T>::Instance().Give(std::exchange(FPart, nullptr));
  }
  T* FPart = nullptr;
};

// A pad's values per layer: a new pad's are round, 600000 on layers 1 to 32 and 0
// elsewhere. Made on the first write, so that a pad that never has its own values per
// layer does not carry them.
struct TRaveloPadLayers {
  TRaveloPadLayers() {
    for (int layer = 1; layer <= 32; ++layer) {
      LayerXSize[layer] = LayerYSize[layer] = 600000;
      LayerShape[layer] = 1;
    }
  }
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
  int32_t OverstatedCount = -1;  // see TRaveloObject::GetOverstatedCount
};

// The fields of the common head that few objects set: the flags, the host's spare
// fields and the component a name or comment text belongs to.
struct TRaveloHeadFields {
  uint32_t TextOfComponent = 0;  // the component whose name or comment text this is
  uint16_t Flags = 0;
  int16_t PrimitiveWord = 0;
  uint8_t PrimitiveByte = 0;
  uint8_t BitField2 = 0, BitField3 = 0;
  int32_t PrimitiveLong = 0;
  // Tracks, arcs, fills and texts.
  int32_t Aux1 = 0, Aux2 = 0, Aux3 = 0;
};

// Arcs, vias, fills, texts, components and from-tos.
struct TRaveloShapeFields {
  // Widest first: a board has a million of these.
  double StartAngle = 0, EndAngle = 0;
  double Rotation = 0;
  int32_t Radius = 0;
  int32_t LineWidth = 0;
  int32_t Size = 0, HoleSize = 0;
  int32_t TextAux = 0;
  TRaveloString Text;
  uint8_t ByteAux1 = 0, ByteAux2 = 0, ByteAux3 = 0, ByteAux4 = 0;
  uint8_t MirrorFlag = 0;
};

// Pads, and the name and bytes of nets and classes.
struct TRaveloPadFields {
  double Rotation = 0;  // pads
  int32_t TopXSize = 0, TopYSize = 0, MidXSize = 0, MidYSize = 0, BotXSize = 0, BotYSize = 0;
  int32_t HoleSize = 0;  // pads
  TRaveloString Name;
  uint8_t TopShape = 0, MidShape = 0, BotShape = 0;
  uint8_t PadByte1 = 0, PadByte2 = 0;
  uint8_t StackMode = 0;
  uint8_t GroupByte1 = 0, GroupByte2 = 0;  // NetByte1/2 or ClassByte1/2
};

struct TRaveloComponentFields {
  int32_t ChannelOffset = 0;
  uint8_t ComponentKind = 0;
  uint32_t NameText = 0, CommentText = 0;
  std::string ComponentString;
  uint8_t ComponentByte1 = 0, ComponentByte2 = 0, ComponentByte3 = 0;
  int32_t ComponentLong = 0;
  int32_t ExLong1 = 0, ExLong2 = 0;
  uint8_t ExByte1 = 0, ExByte2 = 0;
};

// Polygons and board outlines.
struct TRaveloPolygonFields {
  uint8_t PolygonFlag1 = 0, PolygonFlag2 = 0, PolygonFlag3 = 0;
  int32_t GridSize = 0, TrackWidth = 0, PolygonLong = 0, PointCount = 0;
  uint8_t PolygonByte = 0, PolygonByte1 = 0, PolygonByte2 = 0;
  // Records 0 to PointCount at least, grown with PointCount as zero records, never cut:
  // a polygon keeps the records it uses, not all RaveloMaxSegments.
  TRaveloSegments Segments;
};

// The parts that few objects have: the head fields that are seldom set, a pad's values
// per layer, the fields of components and polygons and the rare kinds.
struct TRaveloMoreParts {
  TRaveloPart<TRaveloHeadFields> Head;
  TRaveloPart<TRaveloPadLayers> PadLayers;
  TRaveloPart<TRaveloComponentFields> Comp;
  TRaveloPart<TRaveloPolygonFields> Poly;
  TRaveloPart<TRaveloRareFields> Rare;
};

// The parts of one object, made together on the first write to any of them: a track,
// most of a board, carries one pointer for all of them; arcs, vias, texts, pads and
// nets only the two they use and one for the rest.
struct TRaveloParts {
  TRaveloPart<TRaveloShapeFields> Shape;
  TRaveloPart<TRaveloPadFields> Pad;
  TRaveloPart<TRaveloMoreParts> More;
};

// One object: the fields that most objects set (those of tracks, most of a board) in
// place, the others in parts made on their first write. A part that was
// never written reads as zeros, which is what every field starts at.
struct TRaveloObject {
  TRaveloHeadFields& Head() { return Parts.Get().More.Get().Head.Get(); }
  const TRaveloHeadFields& Head() const { return Parts.Get().More.Get().Head.Get(); }
  TRaveloShapeFields& Shape() { return Parts.Get().Shape.Get(); }
  const TRaveloShapeFields& Shape() const { return Parts.Get().Shape.Get(); }
  TRaveloPadFields& Pad() { return Parts.Get().Pad.Get(); }
  const TRaveloPadFields& Pad() const { return Parts.Get().Pad.Get(); }
  TRaveloPadLayers& PadLayers() { return Parts.Get().More.Get().PadLayers.Get(); }
  const TRaveloPadLayers& PadLayers() const { return Parts.Get().More.Get().PadLayers.Get(); }
  TRaveloComponentFields& Comp() { return Parts.Get().More.Get().Comp.Get(); }
  const TRaveloComponentFields& Comp() const { return Parts.Get().More.Get().Comp.Get(); }
  TRaveloPolygonFields& Poly() { return Parts.Get().More.Get().Poly.Get(); }
  const TRaveloPolygonFields& Poly() const { return Parts.Get().More.Get().Poly.Get(); }
  TRaveloRareFields& Rare() { return Parts.Get().More.Get().Rare.Get(); }
  const TRaveloRareFields& Rare() const { return Parts.Get().More.Get().Rare.Get(); }
  bool HasRare() const {
    return Parts.Has() && Parts.Get().More.Has() && Parts.Get().More.Get().Rare.Has();
  }
  // A faulty host: the reference count (dimensions) or point count (polygons, on
  // loading) it reports instead of the true one; -1 for the true one.
  int32_t GetOverstatedCount() const { return Rare().OverstatedCount; }
  void SetOverstatedCount(int32_t count) { Rare().OverstatedCount = count; }

  uint32_t Handle = 0;
  uint32_t Owner = 0;  // board or component that holds it; 0 = none
  int32_t Net = 0;
  int32_t X = 0, Y = 0, X2 = 0, Y2 = 0;
  int32_t Width = 0;  // tracks
  uint8_t Kind = 0;
  uint8_t Layer = 0;
  TRaveloPart<TRaveloParts> Parts;
};
static_assert(sizeof(TRaveloObject) == 40, "a track, most of a board, takes 40 bytes");
