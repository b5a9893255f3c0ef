// The model of a KIVO file's primitives: `TKivoDisplay`, the drawing state that the
// reader keeps current and every primitive copies when it is read, and `TKivoObject`,
// a primitive that translates itself into host PCB objects. A primitive remembers the
// handles of the host objects it created in its last Translate only until it has added
// them to its owner container (board or host component) and then to its net container.
// Host objects belong to the host; host failures surface through the proxies.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Object.h"
#include "classlib/ShortString.h"
#include "classlib/StringList.h"
#include "importer/KivoArena.h"
#include "pcb/Layers.h"
#include "pcb/PcbObject.h"

class TKivoPadStack;
class TReportManager;
struct PadStackMapRecord;

// The object of one entry of the layer map (a string list from KIVO layer name to
// this entry): the file's layer id and the host layer the user chose, eIgnoreLayer
// for "Not Imported".
class KivoLayerEntry : public TObject {
  KIVO_CLASS(KivoLayerEntry, TObject)

 public:
  KivoLayerEntry(int32_t kivoLayerId = 0, TLayer hostLayer = eIgnoreLayer)
      : FKivoLayerId(kivoLayerId), FHostLayer(hostLayer) {}

  int32_t GetKivoLayerId() const { return FKivoLayerId; }
  void SetKivoLayerId(int32_t value) { FKivoLayerId = value; }
  TLayer GetHostLayer() const { return FHostLayer; }
  void SetHostLayer(TLayer value) { FHostLayer = value; }

 private:
  int32_t FKivoLayerId;
  TLayer FHostLayer;
};

// The width given to lines, arcs, circles and polygon outlines of width 0: 10 mil.
inline constexpr int32_t DefaultKivoWidth = 100000;

class TKivoDisplay : public TObject {
  KIVO_CLASS(TKivoDisplay, TObject)

 public:
  // A drawing state with the five pad-stack layer names set, no maps, no report and
  // every other field zero or empty.
  TKivoDisplay();

  // Model objects are made in the current arena of the file being read (KivoArena.h),
  // elsewhere on the heap; deleting one gives it back to whichever holds it.
  // (Inline, always: a large board's model takes millions.)
  __attribute__((always_inline)) static void* operator new(size_t size) {
    TKivoArena* arena = TKivoArena::Current();
    return arena ? arena->Allocate(size) : ::operator new(size);
  }
  static void operator delete(void* object) { TKivoArena::Free(object); }

  // Stores the layer map (the environment's layer strings; not owned).
  virtual void SetLayerMap(TStringList* map);
  // Stores the pad-stack map (not owned).
  virtual void SetPadStackMap(PadStackMapRecord* record);
  // Stores the pad stack holding the file's pad definitions (not owned); none is allowed.
  virtual void SetPadStackList(TKivoPadStack* padStack);

  double GetAMT() const { return State().AMT; }
  void SetAMT(double value) { SetField(&TDrawingState::AMT, value); }
  double GetAPT() const { return State().APT; }
  void SetAPT(double value) { SetField(&TDrawingState::APT, value); }
  std::string GetLayerName() const { return State().LayerName; }
  // The same without a copy, for the lookups of translation (valid until the next edit).
  const std::string& LayerNameRef() const { return State().LayerName; }
  // Keeps the first 255 characters.
  void SetLayerName(const std::string& value) {
    SetField(&TDrawingState::LayerName, value.substr(0, 255));
  }
  // 0 solid, 1 dashed, 2 dotted; carried, not translated.
  uint8_t GetLineStyle() const { return State().LineStyle; }
  void SetLineStyle(uint8_t value) { SetField(&TDrawingState::LineStyle, value); }
  int32_t GetWidth() const { return State().Width; }
  void SetWidth(int32_t value) { SetField(&TDrawingState::Width, value); }
  int32_t GetTextSize() const { return State().TextSize; }
  void SetTextSize(int32_t value) { SetField(&TDrawingState::TextSize, value); }
  // 0 none, 1 left, 2 right, 5 centre.
  uint8_t GetHorizontalJustification() const { return State().HorizontalJustification; }
  void SetHorizontalJustification(uint8_t value) {
    SetField(&TDrawingState::HorizontalJustification, value);
  }
  // 0 none, 3 top, 4 bottom, 5 centre.
  uint8_t GetVerticalJustification() const { return State().VerticalJustification; }
  void SetVerticalJustification(uint8_t value) {
    SetField(&TDrawingState::VerticalJustification, value);
  }
  // Degrees.
  int32_t GetRotation() const { return State().Rotation; }
  void SetRotation(int32_t value) { SetField(&TDrawingState::Rotation, value); }
  uint8_t GetMirror() const { return State().Mirror; }
  void SetMirror(uint8_t value) { SetField(&TDrawingState::Mirror, value); }
  double GetUnitScale() const { return State().UnitScale; }
  void SetUnitScale(double value) { SetField(&TDrawingState::UnitScale, value); }
  int32_t GetGrid() const { return State().Grid; }
  void SetGrid(int32_t value) { SetField(&TDrawingState::Grid, value); }
  TStringList* GetLayerMap() const { return State().LayerMap; }
  TKivoPadStack* GetPadStack() const { return FLinks ? FLinks->PadStack : nullptr; }
  PadStackMapRecord* GetPadStackMap() const { return FLinks ? FLinks->PadStackMap : nullptr; }
  TReportManager* GetReport() const { return State().Report; }
  void SetReport(TReportManager* value) { SetField(&TDrawingState::Report, value); }

  // "PADCOM", "PADSLD", "PADINT", "DRILL" and "SLDMSK": the layers of pad definitions.
  // (The same for every object: not stored in each, which kept a model of a large file
  // many times its size.)
  std::string GetPadTopLayerName() const { return "PADCOM"; }
  std::string GetPadBottomLayerName() const { return "PADSLD"; }
  std::string GetPadInnerLayerName() const { return "PADINT"; }
  std::string GetPadDrillLayerName() const { return "DRILL"; }
  std::string GetPadSolderMaskLayerName() const { return "SLDMSK"; }

 protected:
  // Takes the fields from AMT to grid, the layer map and the report of `source`.
  void CopyDrawingState(const TKivoDisplay& source);

 private:
  // The drawing state, shared by a display and the objects made while it did not
  // change (copied on the first change), so that a model of many objects does not hold
  // a copy of it in each. None stands for every field zero or empty.
  struct TDrawingState {
    double AMT = 0;
    double APT = 0;
    std::string LayerName;  // at most 255 characters
    uint8_t LineStyle = 0;
    int32_t Width = 0;
    int32_t TextSize = 0;
    uint8_t HorizontalJustification = 0;
    uint8_t VerticalJustification = 0;
    int32_t Rotation = 0;
    uint8_t Mirror = 0;
    double UnitScale = 0;
    int32_t Grid = 0;
    TStringList* LayerMap = nullptr;
    TReportManager* Report = nullptr;
    uint32_t Holders = 0;  // the references to it (not part of the state's value)
  };
  // A counted reference to a drawing state, the state freed with its last reference.
  // The count is a plain one, not atomic: models are read and translated on one thread
  // (the states made last are shared through plain statics too), and every object of a
  // model takes one reference when made and gives it back when freed.
  class TStateRef {
   public:
    TStateRef() = default;
    explicit TStateRef(TDrawingState* state) : FState(state) { Hold(); }
    TStateRef(const TStateRef& other) : FState(other.FState) { Hold(); }
    TStateRef(TStateRef&& other) noexcept : FState(other.FState) { other.FState = nullptr; }
    TStateRef& operator=(const TStateRef& other) {
      TStateRef(other).Swap(*this);
      return *this;
    }
    TStateRef& operator=(TStateRef&& other) noexcept {
      TStateRef(std::move(other)).Swap(*this);
      return *this;
    }
    ~TStateRef() {
      if (FState && --FState->Holders == 0)
        delete FState;
    }
    TDrawingState* Get() const { return FState; }
    explicit operator bool() const { return FState != nullptr; }
    // Whether this is the state's only reference.
    bool Alone() const { return FState->Holders == 1; }
    bool operator==(const TStateRef& other) const { return FState == other.FState; }

   private:
    void Hold() {
      if (FState)
        ++FState->Holders;
    }
    void Swap(TStateRef& other) noexcept {
      TDrawingState* const state = FState;
      FState = other.FState;
      other.FState = state;
    }
    TDrawingState* FState = nullptr;
  };
  // Inline: every coordinate read asks the reader's unit scale and grid.
  const TDrawingState& State() const { return FState ? *FState.Get() : EmptyState; }
  static const TDrawingState EmptyState;
  TDrawingState& Edit();
  // Sets one field of the drawing state: nothing when it holds the value already, in
  // place when the state is this object's alone, else by taking a state with the new
  // value from those made before, or a new one. A reader going back and forth between
  // a few layers and widths thus shares a few states instead of making one for each
  // change (hundreds of thousands for a large board).
  template <class T>
  void SetField(T TDrawingState::*field, T value);
  static bool SameState(const TDrawingState& a, const TDrawingState& b);
  // The states made before, by a hash of their value: two slots for each hash, a new
  // state taking the empty one or the first (a board's nets take a few dozen
  // combinations of layer and width in any order; a short list of the states made
  // last missed most of them). Answers the known state equal to `state`, or takes a
  // new one made from it.
  static constexpr unsigned KnownStateCount = 1024;
  static const TStateRef& KnownState(TDrawingState&& state);

  TStateRef FState;

 protected:
  // What only the options and translation set: the pad-stack map, the pad stack, the
  // containers an object enters and the handles it created and has not yet added to
  // them. Made on the first value other than none, so that an object only read carries
  // one pointer for all of it. Made in the arena of the object that has them, when one
  // holds it.
  struct TTranslationLinks {
    static void operator delete(void* links);
    PadStackMapRecord* PadStackMap = nullptr;
    TKivoPadStack* PadStack = nullptr;
    uint32_t OwnerContainer = 0;
    uint32_t NetContainer = 0;
    std::vector<uint32_t> CreatedHandles;
  };
  const TTranslationLinks& Links() const;
  TTranslationLinks& EditLinks();

 private:
  std::unique_ptr<TTranslationLinks> FLinks;
};

class TKivoObject : public TKivoDisplay {
  KIVO_CLASS(TKivoObject, TKivoDisplay)

 public:
  // With a template (the reader's drawing state) the object copies its drawing state;
  // without one the state is empty except width 10 and text size 10.
  explicit TKivoObject(const TKivoDisplay* drawingState = nullptr);

  // Base: adds every created handle to the owner container and then to the net
  // container (each only when not 0) and forgets the handles; nothing at all when the
  // layer is not imported.
  virtual void Translate();

  // The host layer of the object's layer name in the layer map; eIgnoreLayer when there
  // is no map, the name is not in it or the user left it "Not Imported".
  TLayer GetHostLayer() const;

  // The drawing-state width, or 10 mil when it is 0.
  int32_t GetEffectiveWidth() const;

  const std::vector<uint32_t>& GetCreatedHandles() const { return Links().CreatedHandles; }
  uint32_t GetOwnerContainer() const { return Links().OwnerContainer; }
  void SetOwnerContainer(uint32_t value) {
    if (value != GetOwnerContainer())
      EditLinks().OwnerContainer = value;
  }
  uint32_t GetNetContainer() const { return Links().NetContainer; }
  void SetNetContainer(uint32_t value) {
    if (value != GetNetContainer())
      EditLinks().NetContainer = value;
  }

 protected:
  // Creates a host object of `kind` outside any container, remembers its handle and
  // answers its proxy loaded with the host's defaults (Synchronize 1).
  template <class P>
  std::unique_ptr<P> CreateLoadedProxy(uint8_t kind);
  // The whole translation of a primitive that makes one host object of `kind`: its
  // proxy gets the host layer, then `set` fills it; it is stored, reported as
  // `eventKind` and freed, and the object enters its containers.
  template <class P, class F>
  void TranslateOne(uint8_t kind, uint8_t eventKind, F&& set);
  // Stores `proxy` into its host object and reports `eventKind` about it.
  void StoreAndReport(TPCBObject& proxy, uint8_t eventKind);
  void AddCreatedHandle(uint32_t handle);
  // Creates a host object of `kind` outside any container and remembers its handle.
  uint32_t CreateHostObject(uint8_t kind);
  // Creates a host object of `kind` as CreateHostObject does and loads `proxy` (made on
  // the stack, not on the heap: a board translates millions) from it.
  void LoadNewHostObject(TPCBObject& proxy, uint8_t kind) {
    proxy.SetHandle(CreateHostObject(kind));
    proxy.Synchronize(/*Mode=*/1);
  }

};

// A list of model objects, kept in the arena of the file being read.
using TKivoObjectList = TKivoArenaVector<std::unique_ptr<TKivoObject>>;

template <class P>
std::unique_ptr<P> TKivoObject::CreateLoadedProxy(uint8_t kind) {
  auto proxy = std::make_unique<P>(CreateHostObject(kind));
  proxy->Synchronize(/*Mode=*/1);
  return proxy;
}

template <class P, class F>
void TKivoObject::TranslateOne(uint8_t kind, uint8_t eventKind, F&& set) {
  const TLayer layer = GetHostLayer();
  if (layer == eIgnoreLayer)
    return;
  {
    P proxy(/*handle=*/0);
    LoadNewHostObject(proxy, kind);
    proxy.SetLayer(layer);
    set(proxy);
    StoreAndReport(proxy, eventKind);
  }
  TKivoObject::Translate();
}
