#include "importer/KivoObject.h"

#include "importer/ImportMemory.h"
#include "importer/KivoArena.h"
#include "importer/KivoListMemo.h"
#include "importer/ReportManager.h"
#include "pcb/PcbApi.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

TKivoDisplay::TKivoDisplay() = default;

const TKivoDisplay::TDrawingState TKivoDisplay::EmptyState;

namespace {

// Equal values; reals bit for bit (so that -0 is not taken for 0).
template <class T>
bool SameValue(const T& a, const T& b) {
  if constexpr (std::is_floating_point_v<T>)
    return std::memcmp(&a, &b, sizeof a) == 0;
  else
    return a == b;
}

}  // namespace

TKivoDisplay::TDrawingState& TKivoDisplay::Edit() {
  if (!FState) {
    FState = TStateRef(new TDrawingState());
  } else if (!FState.Alone()) {
    auto* copy = new TDrawingState(*FState.Get());
    copy->Holders = 0;
    FState = TStateRef(copy);
  }
  return *FState.Get();
}

bool TKivoDisplay::SameState(const TDrawingState& a, const TDrawingState& b) {
  return SameValue(a.AMT, b.AMT) && SameValue(a.APT, b.APT) && a.LayerName == b.LayerName &&
         a.LineStyle == b.LineStyle && a.Width == b.Width && a.TextSize == b.TextSize &&
         a.HorizontalJustification == b.HorizontalJustification &&
         a.VerticalJustification == b.VerticalJustification && a.Rotation == b.Rotation &&
         a.Mirror == b.Mirror && SameValue(a.UnitScale, b.UnitScale) && a.Grid == b.Grid &&
         a.LayerMap == b.LayerMap && a.Report == b.Report;
}

const TKivoDisplay::TStateRef& TKivoDisplay::KnownState(TDrawingState&& state) {
  static TStateRef known[KnownStateCount];
  // A multiplicative hash of the fields SameState compares, four bytes at a time
  // (reals by their bits).
  uint32_t hash = 0;
  auto mix = [&hash](const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (; size >= 4; bytes += 4, size -= 4) {
      uint32_t word;
      std::memcpy(&word, bytes, 4);
      hash = (hash ^ word) * 0x9E3779B1u;
    }
    for (; size > 0; ++bytes, --size)
      hash = (hash ^ *bytes) * 0x9E3779B1u;
  };
  auto mixValue = [&mix](const auto& value) { mix(&value, sizeof value); };
  mixValue(state.AMT), mixValue(state.APT), mix(state.LayerName.data(), state.LayerName.size());
  mixValue(uint32_t{state.LineStyle} | uint32_t{state.HorizontalJustification} << 8 |
           uint32_t{state.VerticalJustification} << 16 | uint32_t{state.Mirror} << 24);
  mixValue(state.Width), mixValue(state.TextSize), mixValue(state.Rotation);
  mixValue(state.UnitScale), mixValue(state.Grid), mixValue(state.LayerMap), mixValue(state.Report);
  hash ^= hash >> 15;
  TStateRef& first = known[hash % KnownStateCount];
  TStateRef& second = known[(hash >> 10) % KnownStateCount];
  for (const TStateRef* slot : {&first, &second})
    if (*slot && SameState(*slot->Get(), state))
      return *slot;
  TStateRef& taken = !first ? first : !second ? second : first;
  state.Holders = 0;
  taken = TStateRef(new TDrawingState(std::move(state)));
  return taken;
}

template <class T>
void TKivoDisplay::SetField(T TDrawingState::*field, T value) {
  const TDrawingState& current = State();
  if (SameValue(current.*field, value))
    return;
  if (FState && FState.Alone()) {
    FState.Get()->*field = std::move(value);
    return;
  }
  TDrawingState wanted = current;
  wanted.*field = std::move(value);
  FState = KnownState(std::move(wanted));
}

template void TKivoDisplay::SetField(double TDrawingState::*, double);
template void TKivoDisplay::SetField(std::string TDrawingState::*, std::string);
template void TKivoDisplay::SetField(uint8_t TDrawingState::*, uint8_t);
template void TKivoDisplay::SetField(int32_t TDrawingState::*, int32_t);
template void TKivoDisplay::SetField(TReportManager* TDrawingState::*, TReportManager*);
template void TKivoDisplay::SetField(TStringList* TDrawingState::*, TStringList*);

void TKivoDisplay::SetLayerMap(TStringList* map) {
  if (State().LayerMap == map)
    return;
  // The map is set on every object of a model at once, and runs of objects share one
  // drawing state: the state made for the first of a run is shared by the rest, as the
  // old one was, instead of each making its own copy (a large board's model doubled).
  // The memo holds the state replaced last, so its address stands for it alone. Objects
  // of a few states in turn (a layer and another, object by object) find the copy made
  // for the state among those made before (KnownState), instead of one each.
  static TStateRef replaced, replacement;
  if (FState && FState == replaced && replacement.Get()->LayerMap == map) {
    FState = replacement;
    return;
  }
  if (!FState || FState.Alone()) {
    Edit().LayerMap = map;
    return;
  }
  TStateRef old = FState;
  SetField(&TDrawingState::LayerMap, map);
  replaced = std::move(old);
  replacement = FState;
}

void TKivoDisplay::SetPadStackMap(PadStackMapRecord* record) {
  if (record != GetPadStackMap())
    EditLinks().PadStackMap = record;
}

void TKivoDisplay::SetPadStackList(TKivoPadStack* padStack) {
  if (padStack != GetPadStack())
    EditLinks().PadStack = padStack;
}

const TKivoDisplay::TTranslationLinks& TKivoDisplay::Links() const {
  static const TTranslationLinks none;
  return FLinks ? *FLinks : none;
}

void TKivoDisplay::TTranslationLinks::operator delete(void* links) { TKivoArena::Free(links); }

TKivoDisplay::TTranslationLinks& TKivoDisplay::EditLinks() {
  if (!FLinks) {
    // In the model's arena, with the object: every object of a large board gets them.
    TKivoArena* arena = TKivoArena::Holding(this);
    void* memory = arena ? arena->Allocate(sizeof(TTranslationLinks))
                         : ::operator new(sizeof(TTranslationLinks));
    FLinks.reset(new (memory) TTranslationLinks());
  }
  return *FLinks;
}

void TKivoDisplay::CopyDrawingState(const TKivoDisplay& source) {
  FState = source.FState;
}

TKivoObject::TKivoObject(const TKivoDisplay* drawingState) {
  if (drawingState) {
    CopyDrawingState(*drawingState);
    return;
  }
  SetWidth(10);
  SetTextSize(10);
}

namespace {

// The layer map's entries by name (the entry's host layer is read on every asking, as
// the options may change it without changing the list).
TKivoListMemo<const KivoLayerEntry*> gLayerEntries;

}  // namespace

TLayer TKivoObject::GetHostLayer() const {
  const TStringList* map = GetLayerMap();
  if (!map)
    return eIgnoreLayer;
  const KivoLayerEntry* entry = gLayerEntries.Get(
      *map, LayerNameRef(), [](const TStringList& list, int index) -> const KivoLayerEntry* {
        return index < 0 ? nullptr : dynamic_cast<const KivoLayerEntry*>(list.GetObject(index));
      });
  return entry ? entry->GetHostLayer() : eIgnoreLayer;
}

int32_t TKivoObject::GetEffectiveWidth() const {
  return GetWidth() == 0 ? DefaultKivoWidth : GetWidth();
}

namespace {

// The storage of the last list of created handles given back: the next object to create
// one takes it, instead of a heap block of its own for every translated object.
std::vector<uint32_t>& SpareHandleStorage() {
  static std::vector<uint32_t> spare;
  return spare;
}

}  // namespace

void TKivoObject::AddCreatedHandle(uint32_t handle) {
  std::vector<uint32_t>& handles = EditLinks().CreatedHandles;
  if (handles.capacity() == 0)
    handles.swap(SpareHandleStorage());
  handles.push_back(handle);
}

uint32_t TKivoObject::CreateHostObject(uint8_t kind) {
  ImportMemoryStep();
  const uint32_t handle = PcbApiCreateObject(kind);
  AddCreatedHandle(handle);
  return handle;
}

void TKivoObject::StoreAndReport(TPCBObject& proxy, uint8_t eventKind) {
  proxy.Synchronize(/*Mode=*/0);
  if (TReportManager* report = GetReport()) {
    // Read back into the same proxy, as the host keeps the object now: a proxy of its
    // own for every object of a large board cost more than the reading. The bit fields,
    // which no report line shows, are not asked again (two calls for every object).
    proxy.LeaveBitFieldsToHost();
    proxy.Synchronize(/*Mode=*/1);
    proxy.LeaveBitFieldsToHost(false);
    report->AddImportEvent(eventKind, proxy);
  }
}

void TKivoObject::Translate() {
  if (GetHostLayer() == eIgnoreLayer)
    return;
  if (GetCreatedHandles().empty())
    return;
  TTranslationLinks& links = EditLinks();
  for (uint32_t handle : links.CreatedHandles) {
    if (links.OwnerContainer != 0)
      PcbApiAddObjectToContainer(links.OwnerContainer, handle);
    if (links.NetContainer != 0)
      PcbApiAddObjectToContainer(links.NetContainer, handle);
  }
  // The storage goes back to the spare, the larger of the two kept: every object of a
  // large board is translated once, and its list is not needed again.
  links.CreatedHandles.clear();
  if (links.CreatedHandles.capacity() > SpareHandleStorage().capacity())
    links.CreatedHandles.swap(SpareHandleStorage());
  std::vector<uint32_t>().swap(links.CreatedHandles);
}
