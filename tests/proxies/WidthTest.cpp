// Every host query the proxies make, called through the plug-in's wrapper with each field
// between guard bytes: the server must read and write exactly the width the wrapper
// declares. A store reads each field (a wider read takes in guard bytes, a narrower one
// loses bytes); a load into fields with other guard bytes must give back exactly the
// stored bytes and leave every guard intact.
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "pcb/PcbObject.h"
#include "tests/proxies/ProxyTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

// Fields laid out with guard bytes before and after each one.
class TGuardedFields {
 public:
  explicit TGuardedFields(uint8_t guard) : FGuard(guard), FBytes(cCapacity, guard) {}

  // `size` bytes on an 8-byte boundary with at least 8 guard bytes on each side.
  uint8_t* Reserve(size_t size) {
    FNext += 8;
    FFields.push_back({FNext, size});
    uint8_t* field = FBytes.data() + FNext;
    FNext += (size + 7) / 8 * 8;
    if (FNext + 8 > cCapacity)
      throw std::logic_error("too many guarded fields");
    return field;
  }
  const uint8_t* Field(size_t index) const { return FBytes.data() + FFields[index].first; }
  size_t FieldSize(size_t index) const { return FFields[index].second; }
  // True when every byte outside the fields still holds the guard.
  bool Intact() const {
    std::vector<bool> inField(cCapacity);
    for (const auto& [offset, size] : FFields) {
      for (size_t i = 0; i < size; ++i)
        inField[offset + i] = true;
    }
    for (size_t i = 0; i < cCapacity; ++i) {
      if (!inField[i] && FBytes[i] != FGuard)
        return false;
    }
    return true;
  }
  const std::vector<uint8_t>& Bytes() const { return FBytes; }

 private:
  static constexpr size_t cCapacity = 64 * 1024;
  uint8_t FGuard;
  std::vector<uint8_t> FBytes;
  std::vector<std::pair<size_t, size_t>> FFields;
  size_t FNext = 0;
};

// Placeholder for the direction byte among a call's leading value arguments.
struct TMode {};
constexpr TMode cMode;

template <class P, class V>
P Argument(V value, uint8_t) {
  return static_cast<P>(value);
}
template <class P>
P Argument(TMode, uint8_t mode) {
  return mode;
}

// Which fields are more than their type (blobs of host bytes) and which the server
// reports without keeping (it answers its own value when loading).
struct TWidthCase {
  std::map<int, size_t> Blobs;
  std::set<int> Unkept;
};

// Distinct bytes for field `k`: 0x41 to 0x7D, so integers are positive, reals finite,
// and no byte equals a guard. A short string is full to its capacity.
void FillSentinel(uint8_t* field, size_t size, int k, bool shortString) {
  for (size_t i = 0; i < size; ++i)
    field[i] = static_cast<uint8_t>(0x41 + (k * 7 + i) % 0x3D);
  if (shortString)
    field[0] = static_cast<uint8_t>(size - 1);
}

template <class T>
struct TIsShortString : std::false_type {};
template <unsigned N>
struct TIsShortString<ShortString<N>> : std::true_type {};

template <class... T>
struct TTypes {};
template <size_t N, class... P>
struct TDrop;
template <class... P>
struct TDrop<0, P...> {
  using Type = TTypes<P...>;
};
template <size_t N, class H, class... P>
  requires(N > 0)
struct TDrop<N, H, P...> : TDrop<N - 1, P...> {};

template <class F>
size_t FieldSize(const TWidthCase& c, int k) {
  auto blob = c.Blobs.find(k);
  return blob != c.Blobs.end() ? blob->second : sizeof(F);
}

template <class R, class... P, class... V, class... F, size_t... I>
void RoundTrip(const TWidthCase& c, R (*query)(P...), std::tuple<V...> prefix, TTypes<F*...>,
               std::index_sequence<I...>) {
  using Params = std::tuple<P...>;
  auto call = [&](uint8_t mode, F*... fields) -> int32_t {
    if constexpr (std::is_void_v<R>) {
      query(Argument<std::tuple_element_t<I, Params>>(std::get<I>(prefix), mode)..., fields...);
      return 0;
    } else {
      return query(Argument<std::tuple_element_t<I, Params>>(std::get<I>(prefix), mode)...,
                   fields...);
    }
  };
  TGuardedFields store(0xA5), load(0x3C);
  int k = 0;
  auto sentinel = [&]<class T>(T*) {
    const size_t size = FieldSize<T>(c, k);
    uint8_t* field = store.Reserve(size);
    FillSentinel(field, size, k++, TIsShortString<T>::value);
    return reinterpret_cast<T*>(field);
  };
  std::tuple<F*...> stored{sentinel(static_cast<F*>(nullptr))...};
  k = 0;
  auto blank = [&]<class T>(T*) {
    const size_t size = FieldSize<T>(c, k++);
    uint8_t* field = load.Reserve(size);
    std::memset(field, 0, size);
    return reinterpret_cast<T*>(field);
  };
  std::tuple<F*...> loaded{blank(static_cast<F*>(nullptr))...};

  const std::vector<uint8_t> before = store.Bytes();
  EXPECT_EQ(std::apply([&](F*... f) { return call(0, f...); }, stored), 0);
  EXPECT_TRUE(before == store.Bytes()) << "a store wrote into the caller's fields";
  EXPECT_EQ(std::apply([&](F*... f) { return call(1, f...); }, loaded), 0);
  EXPECT_TRUE(load.Intact()) << "a load wrote past a field";
  for (int i = 0; i < static_cast<int>(sizeof...(F)); ++i) {
    if (c.Unkept.count(i))
      continue;
    EXPECT_EQ(std::memcmp(store.Field(i), load.Field(i), store.FieldSize(i)), 0)
        << "field " << i << " does not come back as stored";
  }
}

// Stores and loads every field of `query` whose leading value arguments are `prefix`
// (with cMode where the direction goes).
template <class R, class... P, class... V>
void ExpectExactWidths(const TWidthCase& c, R (*query)(P...), V... prefix) {
  RoundTrip(c, query, std::tuple<V...>{prefix...},
            typename TDrop<sizeof...(V), P...>::Type{}, std::index_sequence_for<V...>{});
}

template <class R, class... P, class... V>
void ExpectExactWidths(R (*query)(P...), V... prefix) {
  ExpectExactWidths(TWidthCase{}, query, prefix...);
}

// Loads only (the calls without a direction): the guards must stay intact.
template <class R, class... P, class... V, class... F, size_t... I>
void LoadOnly(R (*query)(P...), std::tuple<V...> prefix, TTypes<F*...>,
              std::index_sequence<I...>) {
  using Params = std::tuple<P...>;
  TGuardedFields load(0x3C);
  auto blank = [&]<class T>(T*) { return reinterpret_cast<T*>(load.Reserve(sizeof(T))); };
  std::tuple<F*...> fields{blank(static_cast<F*>(nullptr))...};
  const R status = std::apply(
      [&](F*... f) {
        return query(static_cast<std::tuple_element_t<I, Params>>(std::get<I>(prefix))..., f...);
      },
      fields);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(load.Intact()) << "a load wrote past a field";
}

template <class R, class... P, class... V>
void ExpectExactLoadWidths(R (*query)(P...), V... prefix) {
  LoadOnly(query, std::tuple<V...>{prefix...}, typename TDrop<sizeof...(V), P...>::Type{},
           std::index_sequence_for<V...>{});
}

using ProxyWidths = RaveloTest;

TEST_F(ProxyWidths, PrimitiveQueries) {
  const uint32_t track = PcbApiCreateObject(okTrack);
  ExpectExactWidths(PcbApi_GetObjectBitField2, cMode, track);
  ExpectExactWidths(PcbApi_GetObjectBitField3, cMode, track);
  ExpectExactWidths(PcbApi_QueryPrimitive, cMode, track);
  ExpectExactWidths(PcbApi_QueryTrack, cMode, track);
  ExpectExactWidths(PcbApi_QueryArc, cMode, PcbApiCreateObject(okArc));
  ExpectExactWidths(PcbApi_QueryVia, cMode, PcbApiCreateObject(okVia));
  ExpectExactWidths(PcbApi_QueryFill, cMode, PcbApiCreateObject(okFill));
  ExpectExactWidths(PcbApi_QueryText, cMode, PcbApiCreateObject(okText));
  ExpectExactLoadWidths(PcbApi_QueryObjectBoundingRectangle, track);
}

TEST_F(ProxyWidths, PadQueries) {
  const uint32_t pad = PcbApiCreateObject(okPad);
  ExpectExactWidths(PcbApi_QueryPad, cMode, pad);
  ExpectExactWidths(PcbApi_QueryPadStackMode, cMode, pad);
  ExpectExactLoadWidths(PcbApi_QueryPadOrViaShapeOnLayer, pad, 5);
  ExpectExactLoadWidths(PcbApi_QueryPadOrViaSizeOnLayer, pad, 5);
}

TEST_F(ProxyWidths, GroupQueries) {
  const uint32_t component = PcbApiCreateObject(okComponent);
  ExpectExactWidths(PcbApi_QueryNet, cMode, PcbApiCreateObject(okNet));
  ExpectExactWidths(PcbApi_QueryComponentChannelOffset, cMode, component);
  ExpectExactWidths(PcbApi_QueryComponentKind, cMode, component);
  // The designator and comment handles are the server's own.
  ExpectExactWidths(TWidthCase{{}, {4, 5}}, PcbApi_QueryComponent, cMode, component);
  ExpectExactWidths(PcbApi_QueryComponentEx, cMode, component);
  ExpectExactWidths(PcbApi_QueryComponentSourceLinks, cMode, component);
  // PointCount is kept within 0 to 500; then all 501 records travel.
  ExpectExactWidths(TWidthCase{{{15, 501 * sizeof(TPolygonSegment)}}, {14}},
                    PcbApi_QueryPolygon, cMode, PcbApiCreateObject(okPolygon));
}

TEST_F(ProxyWidths, BookkeepingQueries) {
  const uint32_t objectClass = PcbApiCreateObject(okClass);
  ExpectExactWidths(PcbApi_QueryClass, cMode, objectClass);
  ASSERT_EQ(PcbApi_AddMemberToClass(objectClass, "GND"), 0);
  ExpectExactLoadWidths(PcbApi_GetMemberFromClassAt, objectClass, 0);
  ExpectExactWidths(PcbApi_QueryFromTo, cMode, PcbApiCreateObject(okFromTo));
  ExpectExactWidths(PcbApi_QueryManualFromTo, cMode, PcbApiCreateObject(okManualFromTo));
  ExpectExactWidths(PcbApi_QueryCoordinate, cMode, PcbApiCreateObject(okCoordinate));
  const uint32_t dimension = PcbApiCreateObject(okDimension);
  ExpectExactWidths(PcbApi_QueryDimension, cMode, dimension);
  ExpectExactWidths(PcbApi_QueryExtDimension, cMode, dimension);
  ExpectExactWidths(PcbApi_References_At, cMode, dimension, 0);
  ExpectExactLoadWidths(PcbApi_References_Count, dimension);
  ExpectExactWidths(PcbApi_QueryRule, cMode, PcbApiCreateObject(okRule));
}

TEST_F(ProxyWidths, BoardQueries) {
  // The layer information's two scratch bytes are written as 0 when loading.
  ExpectExactWidths(PcbApi_QueryBoard, cMode, FBoard);
  ExpectExactWidths(TWidthCase{{}, {0, 1}}, PcbApi_QueryBoardLayerInfo, cMode, FBoard, 7);
  ExpectExactWidths(TWidthCase{{{5, 16}, {11, 16}}, {}}, PcbApi_QueryBoardGridsEx, cMode, FBoard);
  ExpectExactWidths(TWidthCase{{{23, 24}}, {}}, PcbApi_QueryBoardOutputOptions, cMode, FBoard);
  ExpectExactWidths(PcbApi_QueryBoardOutputOptionsPlotLayers, cMode, FBoard, 109);
  ExpectExactWidths(PcbApi_QueryBoardOutputOptionsFlipLayers, cMode, FBoard, 1);
  ExpectExactWidths(PcbApi_QueryBoardGerberOptions, cMode, FBoard);
  ExpectExactWidths(TWidthCase{{{13, 22}}, {}}, PcbApi_QueryBoardPrinterOptions, cMode, FBoard);
  ExpectExactWidths(PcbApi_QueryBoardPrinterOptionsPlotterPen, cMode, FBoard, 8);
  ExpectExactWidths(PcbApi_QueryBoardPrinterOptionsCompositeLayer, cMode, FBoard, 82);
  ExpectExactWidths(PcbApi_QueryBoardAdvancedPlacerOptions, cMode, FBoard);
  ExpectExactWidths(PcbApi_QueryBoardEngineeringChangeOrderOptions, cMode, FBoard);
  ExpectExactLoadWidths(PcbApi_QueryBoardLayerPairsCount, FBoard);
  ExpectExactWidths(PcbApi_QueryBoardLayerPairAt, cMode, FBoard, 0);
  ExpectExactWidths(PcbApi_QueryBoardExternalDielectrics, cMode, FBoard);
  ExpectExactWidths(PcbApi_QueryLayer, cMode, 3, FBoard);
  ExpectExactWidths(PcbApi_QueryInternalPlane, cMode, 40, FBoard);
  ExpectExactWidths(PcbApi_QueryLayerDielectric, cMode, 3, FBoard);
}

}  // namespace
