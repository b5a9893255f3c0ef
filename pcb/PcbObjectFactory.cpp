#include "pcb/PcbObjectFactory.h"

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

// A loaded proxy, or null for handle 0 and for kinds without a proxy class.
std::unique_ptr<TPCBObject> ProxyOf(uint32_t handle) {
  return handle ? CreatePcbObjectFromHandle(handle) : nullptr;
}

template <class Get>
std::invoke_result_t<Get, TPCBObject&> ReadOnce(uint32_t handle, Get get) {
  const std::unique_ptr<TPCBObject> proxy = ProxyOf(handle);
  if (!proxy)
    return {};
  return get(*proxy);
}

template <class Set>
void WriteOnce(uint32_t handle, Set set) {
  const std::unique_ptr<TPCBObject> proxy = ProxyOf(handle);
  if (!proxy)
    return;
  set(*proxy);
  proxy->Synchronize(/*mode=*/0);
}

}  // namespace

std::unique_ptr<TPCBObject> CreatePcbObjectFromHandle(uint32_t handle) {
  const uint8_t kind = PcbApiGetObjectIdFromObjectHandle(handle) & 0x7F;
  std::unique_ptr<TPCBObject> proxy = NewProxy(kind, handle);
  if (proxy)
    proxy->Synchronize(/*mode=*/1);
  return proxy;
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
