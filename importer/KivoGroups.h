// Nets and component instances. A KIVO net becomes one host net on the board holding its
// vias and graphics. A component definition holds graphics and pins once; each of its
// instances becomes one host component with its own copy of them, its designator and
// comment texts and its placement, its pins joined to host nets by name. A component
// that ends up without any child is removed again.
#pragma once

#include <algorithm>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "classlib/ShortString.h"
#include "classlib/StringList.h"
#include "classlib/Strings.h"
#include "importer/KivoNameIndex.h"
#include "importer/KivoObject.h"
#include "importer/KivoPads.h"
#include "importer/KivoPrimitives.h"

class THostNetIndex;
class TKivoTranslationNotes;

// How a warning names a net: "net GND", or "the net without a name".
inline std::string NetNamed(const std::string& name) {
  return name.empty() ? std::string("the net without a name") : "net " + name;
}

class TKivoNetObject : public TKivoObject {
  KIVO_CLASS(TKivoNetObject, TKivoObject)

 public:
  explicit TKivoNetObject(const TKivoDisplay* drawingState = nullptr)
      : TKivoObject(drawingState) {}

  // Passed on to every member; the net keeps neither. The pad-stack map reaches the
  // members when the net translates them (none of them reads it before): a reading
  // answered Cancel then does not visit every member of a large board for it.
  void SetLayerMap(TStringList* map) override;
  void SetPadStackMap(PadStackMapRecord* record) override;
  // A host net on the board (the owner container), then every member into the board
  // and the net. A net without a name makes no host net (none is named ""): its
  // members are translated without a net. Translated alone, nothing is noted.
  void Translate() override { Translate(nullptr); }
  // The same, a net given before in the translation that `notes` gathers (when not null)
  // joining its objects to that one's host net, noted.
  void Translate(TKivoTranslationNotes* notes);

  std::string GetName() const { return FName; }
  std::string_view GetNameView() const { return FName; }
  // Keeps the first 255 characters.
  void SetName(const std::string& value) { FName.assign(value, 0, 255); }
  // Where in the file its block was read, for warnings made after the reading
  // (TKivoTranslationNotes); -1 when not read from a file.
  int64_t GetReadAt() const { return FReadAt; }
  void SetReadAt(int64_t value) { FReadAt = value; }
  // Vias, lines, arcs, texts and polygons, owned, in file order.
  TKivoObjectList& GetMembers() { return FMembers; }

 private:
  std::string FName;  // a short-string buffer in every net kept a large model many times its size
  TKivoObjectList FMembers;
  // The pad-stack map handed in and not yet passed on to the members.
  std::optional<PadStackMapRecord*> FMembersPadStackMap;
  int64_t FReadAt = -1;
};

// One placement of a component definition; translated by its definition.
class TKivoInstance : public TKivoObject {
  KIVO_CLASS(TKivoInstance, TKivoObject)

 public:
  // The side that marks an instance on the bottom.
  static constexpr uint8_t BottomSide = 32;

  // The designator text takes the same drawing state.
  explicit TKivoInstance(const TKivoDisplay* drawingState = nullptr)
      : TKivoObject(drawingState), FDesignator(std::make_unique<TKivoText>(drawingState)) {}

  std::string GetDefinitionName() const { return FDefinitionName; }
  // Keeps the first 255 characters.
  void SetDefinitionName(const std::string& value) { FDefinitionName.assign(value, 0, 255); }
  // The reference designator: its text, position and justification.
  TKivoText& GetDesignator() { return *FDesignator; }
  const TKivoText& GetDesignator() const { return *FDesignator; }
  int32_t GetX() const { return FX; }
  void SetX(int32_t value) { FX = value; }
  int32_t GetY() const { return FY; }
  void SetY(int32_t value) { FY = value; }
  int32_t GetInstanceRotation() const { return FInstanceRotation; }
  void SetInstanceRotation(int32_t value) { FInstanceRotation = value; }
  uint8_t GetSide() const { return FSide; }
  void SetSide(uint8_t value) { FSide = value; }
  uint8_t GetInstanceMirror() const { return FInstanceMirror; }
  void SetInstanceMirror(uint8_t value) { FInstanceMirror = value; }
  // Net names by pin position, or pairs of pin name and net name.
  TStringList& GetConnections() { return FConnections; }
  const TStringList& GetConnections() const { return FConnections; }
  // Where in the file its block and its first connection list were read, for warnings
  // about it made after the reading (TKivoTranslationNotes); -1 when not read from a file.
  int64_t GetReadAt() const { return FReadAt; }
  void SetReadAt(int64_t value) { FReadAt = value; }
  int64_t GetConnectionsAt() const { return FConnectionsAt; }
  void SetConnectionsAt(int64_t value) { FConnectionsAt = value; }

 private:
  std::string FDefinitionName;
  std::unique_ptr<TKivoText> FDesignator;
  int32_t FX = 0;
  int32_t FY = 0;
  int32_t FInstanceRotation = 0;
  uint8_t FSide = 0;
  uint8_t FInstanceMirror = 0;
  TStringList FConnections;
  int64_t FReadAt = -1;
  int64_t FConnectionsAt = -1;
};

class TKivoComponent;

// What the translation finds that the file gives twice or does not give: a net given
// twice (the host has one net of a name: the second's objects join the first's), an
// instance whose designator one imported before has (both are imported), a pin whose
// net the board does not have (the file defines no net of that name), a name of a
// connection list that connects no pin, a pin that a list by position leaves without a
// net, a list read by position whose first name is also a pin's. The reader owns them
// for one import and hands them to the translation (TranslateDetail), which gathers
// them; the reader tells them with the lines it read them at once the translation is
// done. Translated without them, nothing is gathered and nets are not joined. The
// translation finds them at nearly no cost of its own (it looks every pin's net up) and
// the reading is as fast as it was.
class TKivoTranslationNotes {
 public:
  enum TKind : uint8_t {
    tnNetTwice,         // Net, and FirstNet given before
    tnDesignatorTwice,  // Instance, and FirstInstance imported before
    tnNoNet,            // Instance, its pin Index
    tnBeyondPins,       // Instance, its connection Index, of a list by position
    tnNoPin,            // Instance, its connection Index, of a list of pairs
    tnShortList,        // Instance, its pin Index beyond the end of a list by position
    tnByPosition,       // Instance, whose list is read by position though it begins with a pin's name
  };
  struct TNote {
    TKind Kind;
    int32_t Index;
    const TKivoNetObject* Net;
    const TKivoNetObject* FirstNet;
    const TKivoInstance* Instance;
    const TKivoInstance* FirstInstance;
    const TKivoComponent* Definition;
    bool Pairs = false;  // the instance's connections were read as pairs
  };

  TKivoTranslationNotes() = default;
  TKivoTranslationNotes(const TKivoTranslationNotes&) = delete;
  TKivoTranslationNotes& operator=(const TKivoTranslationNotes&) = delete;

  void Add(const TNote& note) { FNotes.push_back(note); }
  // Whether a net of `net`'s name (without regard to case, as the host names nets) was
  // given before it, noted, with the host net made for it in `handle`; when none was,
  // `net` is remembered, its host net given next by SetHostNet.
  bool NetGivenBefore(const TKivoNetObject& net, uint32_t& handle);
  void SetHostNet(uint32_t handle) { FNetHandles.back() = handle; }
  // The instance imported before `instance` with its designator (without regard to
  // case), noted, or null (also for none); `instance`, imported, is remembered.
  const TKivoInstance* DesignatorGivenBefore(const TKivoInstance& instance);
  const std::vector<TNote>& GetNotes() const { return FNotes; }

 private:
  TKivoNameIndex FNetNames, FDesignators;
  // By their entries in those indices.
  std::vector<const TKivoNetObject*> FNets;
  std::vector<uint32_t> FNetHandles;
  std::vector<const TKivoInstance*> FDesignated;
  std::vector<TNote> FNotes;
};

// A component definition with its instances.
class TKivoComponent : public TKivoObject {
  KIVO_CLASS(TKivoComponent, TKivoObject)

 public:
  explicit TKivoComponent(const TKivoDisplay* drawingState = nullptr)
      : TKivoObject(drawingState) {}

  // Kept and passed on to every graphic, pin and instance, in that order. The pad-stack
  // map is passed on when the component translates them (it is read only then), so
  // that a reading answered Cancel does not visit them all for it.
  void SetLayerMap(TStringList* map) override;
  void SetPadStackMap(PadStackMapRecord* record) override;
  // One host component on the board (the owner container) per instance. Translated
  // alone, it reads the host's nets itself and notes nothing.
  void Translate() override;
  // The same, the pins finding their nets in `nets`, and what the translation finds
  // gathered in `notes` (when not null).
  void Translate(const THostNetIndex& nets, TKivoTranslationNotes* notes);

  // The name its instances give (COMP_DEF's first word).
  const std::string& GetName() const { return FName; }
  void SetName(const std::string& value) { FName = value; }
  // Where in the file its block was read, for warnings; -1 when not read from a file.
  int64_t GetReadAt() const { return FReadAt; }
  void SetReadAt(int64_t value) { FReadAt = value; }
  TKivoObjectList& GetPrimitives() { return FPrimitives; }
  const TKivoObjectList& GetPrimitives() const { return FPrimitives; }
  TKivoArenaVector<std::unique_ptr<TKivoPad>>& GetPins() { return FPins; }
  const TKivoArenaVector<std::unique_ptr<TKivoPad>>& GetPins() const { return FPins; }
  TKivoArenaVector<std::unique_ptr<TKivoInstance>>& GetInstances() { return FInstances; }

  // Whether the placement of `instance` (its origin and turn, as the host places a
  // component) keeps its designator within the board's 32-bit range.
  bool KeepsDesignatorWithinRange(const TKivoInstance& instance) const;
  // Leaves out of the translation of `instance` the graphics and pins that its placement
  // would carry beyond the board's 32-bit range (where the host would clamp them to the
  // board's edge), and answers their names ("Line", "Pin 2"...); nearly always none.
  // The graphics and pins are complete (the reader checks an instance once it is read).
  std::vector<std::string> LeaveOutWhatPlacementCarriesBeyond(const TKivoInstance& instance);
  // Pin `index` is made for no instance; its place in net lists by pin position stays.
  void LeaveOutPin(size_t index) { FLeftOutPins.push_back(index); }
  bool IsPinLeftOut(size_t index) const {
    return !FLeftOutPins.empty() &&
           std::find(FLeftOutPins.begin(), FLeftOutPins.end(), index) != FLeftOutPins.end();
  }
  // Forgets the children left out of the instances in `gone` (about to be destroyed).
  void ForgetLeftOutChildren(const std::unordered_set<const TKivoInstance*>& gone);
  // Whether a connection list of `count` names, `name(i)` the i-th, pairs pin names with
  // net names (its first name names a pin) rather than listing net names by pin
  // position (also an empty list). An empty name names no pin, not one without a name.
  template <class F>
  bool ListsPairs(int count, F&& name) const {
    return count > 0 && std::any_of(FPins.begin(), FPins.end(), [&](const auto& pin) {
             return !pin->GetName().empty() && SameText(pin->GetName(), name(0));
           });
  }
  // How the connection list of `instance` is read: as ListsPairs says, unless its first
  // name, a pin's, also names a net of `nets`, and every name is one of `nets` (or empty)
  // and there is one for each pin: then by position, each pin getting a net (cfByPosition
  // when the pairs would give another).
  enum TConnectionForm : uint8_t { cfPosition, cfPairs, cfByPosition };
  TConnectionForm ConnectionFormOf(const TKivoInstance& instance, const THostNetIndex& nets) const;
  // Where the net name of pin `pinIndex` stands in such a list, as ListsPairs says
  // (`pairs`): after the first name naming the pin, or at the pin's position; -1 for none
  // (always for a pin without a name in a list of pairs).
  template <class F>
  int NetEntryOfPin(int count, F&& name, bool pairs, size_t pinIndex) const {
    if (!pairs)
      return pinIndex < static_cast<size_t>(count) ? static_cast<int>(pinIndex) : -1;
    const std::string pinName = FPins[pinIndex]->GetName();
    if (pinName.empty())
      return -1;
    for (int line = 0; line + 1 < count; ++line)
      if (SameText(name(line), pinName))
        return line + 1;
    return -1;
  }

 private:
  void TranslateInstance(TKivoInstance& instance, const THostNetIndex& nets,
                         TKivoTranslationNotes* notes);
  // Child `child` (a graphic by its index, or a pin by its index after the graphics) is
  // not made for `instance`.
  bool IsChildLeftOut(const TKivoInstance* instance, uint32_t child) const;
  // The largest coordinate, either way, of the graphics and pins (made on first use).
  double Extent() const;
  // Whether every point placed by `instance` surely fits: the quick test.
  bool SurelyWithinRange(const TKivoInstance& instance) const;
  // Notes the names of the connections of `instance` that connect no pin.
  void NoteNamesWithoutPin(const TKivoInstance& instance, bool pairs, TKivoTranslationNotes& notes) const;
  // The net name of pin `pinIndex` by the connection list; a pin beyond the end of a list
  // by position is noted in `notes`, or without them reported.
  std::string NetNameOfPin(TKivoInstance& instance, bool pairForm, size_t pinIndex,
                           uint32_t component, TKivoTranslationNotes* notes);

  std::string FName;
  TKivoObjectList FPrimitives;
  TKivoArenaVector<std::unique_ptr<TKivoPad>> FPins;
  TKivoArenaVector<std::unique_ptr<TKivoInstance>> FInstances;
  // The pins left out of every instance (nearly always none).
  std::vector<size_t> FLeftOutPins;
  // The children left out of single instances (nearly always none).
  std::vector<std::pair<const TKivoInstance*, uint32_t>> FLeftOutChildren;
  mutable double FExtent = -1;  // see Extent; -1 until made
  int64_t FReadAt = -1;
  bool FPadStackMapPending = false;  // kept and not yet passed on
};

// A net's name as the host keeps it (its first TPcbNet::NameLength characters): nets and
// the connections naming them are matched by it, so that a net of a longer name keeps
// its pins (they were compared with the whole name the file gives).
std::string_view HostNetName(std::string_view name);
// The first host net of `board` named `name` (without regard to case, as the host keeps
// names), or 0; 0 for an empty name, which names no net. When the host gives no iterator
// the error box says so.
uint32_t LookupHostNet(const std::string& name, uint32_t board);

// The host's nets of a board by name without regard to case, the first of each name in
// the host's order: what LookupHostNet finds, read from the host once. The translation
// driver reads it when the first component comes and hands it to every component, whose
// pins look their nets up in it instead of asking the host once per pin (which made the
// translation quadratic). Translating components makes pads, texts and graphics but no
// nets, so the host's nets stay the same meanwhile. When the host gives no iterator
// nothing is read and every lookup asks LookupHostNet, which reports it, as before.
class THostNetIndex {
 public:
  explicit THostNetIndex(uint32_t board);
  THostNetIndex(const THostNetIndex&) = delete;
  THostNetIndex& operator=(const THostNetIndex&) = delete;
  // As LookupHostNet: 0 for an empty name.
  uint32_t Find(const std::string& name) const;

 private:
  // A name's hash without regard to case.
  static uint32_t Hash(std::string_view name);
  // The first net of each name, in the host's order, found through a table of their
  // hashes and positions (a power of two long, at most half full): a large board asks
  // a pin's net of some hundred thousand names for every pin, and the map's buckets,
  // nodes and divisions waited on memory.
  struct TNet {
    std::string Name;  // in capitals
    uint32_t Handle;
  };
  // The net of `name`, or null.
  const TNet* Lookup(std::string_view name, uint32_t hash) const;

  uint32_t FBoard;
  bool FRead = false;
  std::vector<TNet> FNets;
  std::vector<uint64_t> FSlots;  // hash << 32 | position + 1; 0 is free
};
