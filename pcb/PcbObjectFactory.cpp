#include "pcb/PcbObjectFactory.h"

#include <algorithm>
#include <type_traits>

#include "pcb/PcbApi.h"
#include "pcb/PcbBookkeeping.h"
#include "pcb/PcbDimension.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbPad.h"
#include "pcb/PcbPrimitives.h"

namespace {

std::unique_ptr<TPCBObject> NewProxy(uint8_t kind, uint32_t handle) {
  switch (kind) {
    case okArc:
      return std::make_unique<TPcbArc>(handle);
    case okPad:
      return std::make_unique<TPcbPad>(handle);
    case okVia:
      return std::make_unique<TPcbVia>(handle);
    case okTrack:
      return std::make_unique<TPcbTrack>(handle);
    case okText:
      return std::make_unique<TPcbText>(handle);
    case okFill:
      return std::make_unique<TPcbFill>(handle);
    case okFromTo:
      return std::make_unique<TPcbFromTo>(handle);
    case okNet:
      return std::make_unique<TPcbNet>(handle);
    case okComponent:
      return std::make_unique<TPcbComponent>(handle);
    case okPolygon:
      return std::make_unique<TPcbPolygon>(handle);
    case okDimension:
      return std::make_unique<TPcbDimension>(handle);
    case okCoordinate:
      return std::make_unique<TPcbCoordinate>(handle);
    case okClass:
      return std::make_unique<TPCBObjectClass>(handle);
    case okRule:
      return std::make_unique<TPcbRule>(handle);
    case okManualFromTo:
      return std::make_unique<TPcbManualFromTo>(handle);
    case okBoardOutline:
      return std::make_unique<TPcbBoardOutline>(handle);
    default:
      return nullptr;
  }
}

// `use` on a proxy of class P made on the stack and loaded; a proxy that is only
// read is made as such where its class has that form.
template <class P, class R, bool ReadOnly, class F>
R UseLoaded(uint32_t handle, F& use, bool bitFieldsLeft) {
  auto made = [&] {
    if constexpr (ReadOnly && std::is_constructible_v<P, uint32_t, TPcbReadOnly>)
      return P(handle, TPcbReadOnly{});
    else
      return P(handle);
  };
  P proxy = made();
  if (bitFieldsLeft)
    proxy.LeaveBitFieldsToHost();
  proxy.Synchronize(/*mode=*/1);
  return use(static_cast<TPCBObject&>(proxy));
}

// What CreatePcbObjectFromHandle does, with the proxy on the stack: the one-field reads
// and writes below run several times for every object of a board when it is moved, and
// a heap block per call cost more than the call. `none` for handle 0 and for kinds
// without a proxy class.
template <class R, bool ReadOnly, class F>
R WithLoadedKind(uint8_t kind, uint32_t handle, R none, F use, bool bitFieldsLeft = false) {
  switch (kind) {
    case okArc:
      return UseLoaded<TPcbArc, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okPad:
      return UseLoaded<TPcbPad, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okVia:
      return UseLoaded<TPcbVia, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okTrack:
      return UseLoaded<TPcbTrack, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okText:
      return UseLoaded<TPcbText, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okFill:
      return UseLoaded<TPcbFill, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okFromTo:
      return UseLoaded<TPcbFromTo, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okNet:
      return UseLoaded<TPcbNet, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okComponent:
      return UseLoaded<TPcbComponent, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okPolygon:
      return UseLoaded<TPcbPolygon, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okDimension:
      return UseLoaded<TPcbDimension, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okCoordinate:
      return UseLoaded<TPcbCoordinate, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okClass:
      return UseLoaded<TPCBObjectClass, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okRule:
      return UseLoaded<TPcbRule, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okManualFromTo:
      return UseLoaded<TPcbManualFromTo, R, ReadOnly>(handle, use, bitFieldsLeft);
    case okBoardOutline:
      return UseLoaded<TPcbBoardOutline, R, ReadOnly>(handle, use, bitFieldsLeft);
    default:
      return none;
  }
}

template <bool ReadOnly, class R, class F>
R WithLoadedProxy(uint32_t handle, R none, F use) {
  if (handle == 0)
    return none;
  return WithLoadedKind<R, ReadOnly>(PcbApiGetObjectIdFromObjectHandle(handle) & 0x7F, handle,
                                     none, use);
}

template <class Get>
std::invoke_result_t<Get, TPCBObject&> ReadOnce(uint32_t handle, Get get) {
  return WithLoadedProxy</*ReadOnly=*/true>(handle, std::invoke_result_t<Get, TPCBObject&>{},
                                            get);
}

template <class Set>
void WriteOnce(uint32_t handle, Set set) {
  WithLoadedProxy</*ReadOnly=*/false>(handle, false, [&](TPCBObject& proxy) {
    set(proxy);
    proxy.Synchronize(/*mode=*/0);
    return true;
  });
}

}  // namespace

std::unique_ptr<TPCBObject> CreatePcbObjectFromHandle(uint32_t handle) {
  const uint8_t kind = PcbApiGetObjectIdFromObjectHandle(handle) & 0x7F;
  std::unique_ptr<TPCBObject> proxy = NewProxy(kind, handle);
  if (proxy)
    proxy->Synchronize(/*mode=*/1);
  return proxy;
}

void UsePcbObjectFromHandle(uint32_t handle, void (*use)(TPCBObject*, void*),
                            void* context) {
  const uint8_t kind = PcbApiGetObjectIdFromObjectHandle(handle) & 0x7F;
  const bool made = WithLoadedKind<bool, /*ReadOnly=*/true>(kind, handle, false,
                                                           [&](TPCBObject& proxy) {
    use(&proxy, context);
    return true;
  });
  if (!made)
    use(nullptr, context);
}

int32_t GetObjectX(uint32_t handle) {
  return ReadOnce(handle, [](TPCBObject& o) { return o.GetX(); });
}

int32_t GetObjectY(uint32_t handle) {
  return ReadOnce(handle, [](TPCBObject& o) { return o.GetY(); });
}

int32_t GetObjectX2(uint32_t handle) {
  return ReadOnce(handle, [](TPCBObject& o) { return o.GetX2(); });
}

int32_t GetObjectY2(uint32_t handle) {
  return ReadOnce(handle, [](TPCBObject& o) { return o.GetY2(); });
}

std::string GetObjectText(uint32_t handle) {
  return ReadOnce(handle, [](TPCBObject& o) { return o.GetText(); });
}

void SetObjectX(uint32_t handle, int32_t value) {
  WriteOnce(handle, [value](TPCBObject& o) { o.SetX(value); });
}

void SetObjectY(uint32_t handle, int32_t value) {
  WriteOnce(handle, [value](TPCBObject& o) { o.SetY(value); });
}

void SetObjectX2(uint32_t handle, int32_t value) {
  WriteOnce(handle, [value](TPCBObject& o) { o.SetX2(value); });
}

void SetObjectY2(uint32_t handle, int32_t value) {
  WriteOnce(handle, [value](TPCBObject& o) { o.SetY2(value); });
}

void MoveObjectBy(uint32_t handle, uint8_t kind, int32_t dx, int32_t dy) {
  if (handle == 0)
    return;
  // A large board moves millions of objects: one load and one store each, instead of a
  // load for every value read and a load and a store for every value written; the bit
  // fields, which a move does not change, are neither loaded nor stored again. The
  // proxy is of the class of `kind`, so polygons (board outlines are ones too) are told
  // apart by it, not by a cast checked at run time for each object.
  const auto move = [dx, dy](TPCBObject& o) {
    o.SetX(o.GetX() + dx);
    o.SetY(o.GetY() + dy);
    o.SetX2(o.GetX2() + dx);
    o.SetY2(o.GetY2() + dy);
    o.Synchronize(/*mode=*/0);
    return true;
  };
  const auto movePolygon = [dx, dy, &move](TPCBObject& o) {
    auto& polygon = static_cast<TPcbPolygon&>(o);
    const int32_t last = std::min(polygon.GetPointCount(), TPcbPolygon::SegmentCapacity - 1);
    for (int i = 0; i <= last; ++i) {
      TPolygonSegment segment = polygon.GetSegments(i);
      segment.X += dx;
      segment.Y += dy;
      polygon.SetSegments(i, segment);
    }
    return move(o);
  };
  kind &= 0x7F;
  if (kind == okPolygon)
    UseLoaded<TPcbPolygon, bool, /*ReadOnly=*/false>(handle, movePolygon, /*bitFieldsLeft=*/true);
  else if (kind == okBoardOutline)
    UseLoaded<TPcbBoardOutline, bool, /*ReadOnly=*/false>(handle, movePolygon,
                                                          /*bitFieldsLeft=*/true);
  else
    WithLoadedKind<bool, /*ReadOnly=*/false>(kind, handle, false, move, /*bitFieldsLeft=*/true);
}
