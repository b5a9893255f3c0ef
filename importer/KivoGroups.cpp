// An instance without connections is read as a position-form list with no entries:
// every pin stays without net and, where the definition has pins, each is reported as
// a mismatch, instead of the import ending on a list index.
// A graphic or pin that an instance's placement would carry beyond the board's 32-bit
// range is not made for that instance (the host would clamp it to the board's edge);
// the reader tells it.
#include "importer/KivoGroups.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "classlib/Strings.h"
#include "host/EDAClientMessageForm.h"
#include "importer/ReportManager.h"
#include "pcb/PcbApi.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbPrimitives.h"

namespace {

// Import event and warning kinds of the report.
constexpr uint8_t cComponentEvent = 3;
constexpr uint8_t cMismatchWarning = 0;
constexpr uint8_t cEmptyComponentWarning = 1;
// The store direction that places a component with its children.
constexpr uint8_t cPlaceComponent = 2;

}  // namespace

// ---- nets ----

void TKivoNetObject::SetLayerMap(TStringList* map) {
  for (auto& member : FMembers)
    member->SetLayerMap(map);
}

void TKivoNetObject::SetPadStackMap(PadStackMapRecord* record) { FMembersPadStackMap = record; }

namespace {

// Passes a pad-stack map handed in before to every object of `list`.
template <class TList>
void PassOnPadStackMap(PadStackMapRecord* record, TList& list) {
  for (auto& object : list)
    object->SetPadStackMap(record);
}

}  // namespace

void TKivoNetObject::Translate(TKivoTranslationNotes* notes) {
  const uint32_t board = GetOwnerContainer();
  // A net given twice is one host net: the second's objects join the first's (a second
  // host net of the name would split them and the pins between the two).
  // One without a name is no net: a host net named "" took every pin whose connection
  // is empty (the lookup of "" found it), and with it the pad its record gives a
  // connected pin. The reader tells it.
  const bool nameless = FName.empty();
  if (nameless)
    notes = nullptr;
  uint32_t handle = 0;
  const bool twice = notes && notes->NetGivenBefore(*this, handle);
  if (handle == 0 && !nameless) {
    // On the stack: a large board has a hundred thousand nets.
    TPcbNet net(/*handle=*/0);
    LoadNewHostObject(net, okNet);
    net.SetName(FName);
    net.Synchronize(/*Mode=*/0);
    PcbApiAddObjectToContainer(board, net.GetHandle());
    handle = net.GetHandle();
    if (notes && !twice)
      notes->SetHostNet(handle);
  }
  if (FMembersPadStackMap)
    PassOnPadStackMap(*std::exchange(FMembersPadStackMap, std::nullopt), FMembers);
  for (auto& member : FMembers) {
    member->SetOwnerContainer(board);
    member->SetNetContainer(handle);
    member->SetPadStackList(GetPadStack());
    member->Translate();
  }
}

// ---- components ----

void TKivoComponent::SetLayerMap(TStringList* map) {
  inherited::SetLayerMap(map);
  for (auto& primitive : FPrimitives)
    primitive->SetLayerMap(map);
  for (auto& pin : FPins)
    pin->SetLayerMap(map);
  for (auto& instance : FInstances)
    instance->SetLayerMap(map);
}

void TKivoComponent::SetPadStackMap(PadStackMapRecord* record) {
  inherited::SetPadStackMap(record);
  FPadStackMapPending = true;
}

void TKivoComponent::Translate() {
  // Translated alone (not by the detail), the component reads the host's nets itself
  // (not asked without instances).
  Translate(THostNetIndex(FInstances.empty() ? 0 : GetOwnerContainer()), /*notes=*/nullptr);
}

void TKivoComponent::Translate(const THostNetIndex& nets, TKivoTranslationNotes* notes) {
  if (std::exchange(FPadStackMapPending, false)) {
    PassOnPadStackMap(GetPadStackMap(), FPrimitives);
    PassOnPadStackMap(GetPadStackMap(), FPins);
    PassOnPadStackMap(GetPadStackMap(), FInstances);
  }
  for (auto& instance : FInstances)
    TranslateInstance(*instance, nets, notes);
}

namespace {

// The sine and cosine of a turn, exact for the quarter turns.
void TurnOf(int32_t degrees, double& sine, double& cosine) {
  const int32_t turn = ((degrees % 360) + 360) % 360;
  if (turn % 90 == 0) {
    static constexpr double kQuarterSines[] = {0, 1, 0, -1};
    sine = kQuarterSines[turn / 90];
    cosine = kQuarterSines[(turn / 90 + 1) % 4];
    return;
  }
  const double radians = turn * 3.14159265358979323846 / 180;
  sine = std::sin(radians);
  cosine = std::cos(radians);
}

// An instance's placement: its origin, and its turn about it.
struct TPlacement {
  explicit TPlacement(const TKivoInstance& instance)
      : X(instance.GetX()), Y(instance.GetY()) {
    TurnOf(instance.GetInstanceRotation(), Sine, Cosine);
  }
  bool Keeps(TKivoPoint p) const {
    return KivoCoordinateFits(X + p.X * Cosine - p.Y * Sine) &&
           KivoCoordinateFits(Y + p.X * Sine + p.Y * Cosine);
  }
  double X, Y, Sine = 0, Cosine = 1;
};

// The larger of a point's distances from the axes.
double Largest(TKivoPoint p) {
  return std::max(std::abs(static_cast<double>(p.X)), std::abs(static_cast<double>(p.Y)));
}

TKivoPoint PlaceOf(const TKivoPad& pin) { return {pin.GetX(), pin.GetY()}; }

// Calls `f` with every point of the graphic `object` that a component's placement
// moves: what the host stores of it (a track's ends, an arc's centre, a text's place).
// The reader makes graphics of these classes only, none of a class derived from them.
template <class F>
void ForEachPlacedPoint(const TKivoObject& object, F&& f) {
  const TClass type = object.ClassType();
  if (type == TKivoLine::StaticClass()) {
    for (const TKivoPoint& p : static_cast<const TKivoLine&>(object).GetVertices())
      f(p);
  } else if (type == TKivoPoly::StaticClass()) {
    for (const TKivoPoint& p : static_cast<const TKivoPoly&>(object).GetVertices())
      f(p);
  } else if (type == TKivoArc::StaticClass()) {
    f(static_cast<const TKivoArc&>(object).GetCentre());
  } else if (type == TKivoCircle::StaticClass()) {
    f(static_cast<const TKivoCircle&>(object).GetCentre());
  } else if (type == TKivoFilledRect::StaticClass()) {
    f(static_cast<const TKivoFilledRect&>(object).GetCorner1());
    f(static_cast<const TKivoFilledRect&>(object).GetCorner2());
  } else if (type == TKivoText::StaticClass()) {
    f(static_cast<const TKivoText&>(object).GetPosition());
  }
}

// What the report calls a graphic of a component definition.
const char* GraphicName(const TKivoObject& object) {
  const TClass type = object.ClassType();
  return type == TKivoLine::StaticClass()         ? "Line"
         : type == TKivoPoly::StaticClass()       ? "Polygon"
         : type == TKivoArc::StaticClass()        ? "Arc"
         : type == TKivoCircle::StaticClass()     ? "Circle"
         : type == TKivoFilledRect::StaticClass() ? "Filled rectangle"
                                                  : "Text";
}

}  // namespace

double TKivoComponent::Extent() const {
  if (FExtent < 0) {
    FExtent = 0;
    const auto widen = [this](TKivoPoint p) { FExtent = std::max(FExtent, Largest(p)); };
    for (const auto& primitive : FPrimitives)
      ForEachPlacedPoint(*primitive, widen);
    for (size_t j = 0; j < FPins.size(); ++j)
      if (!IsPinLeftOut(j))
        widen(PlaceOf(*FPins[j]));
  }
  return FExtent;
}

bool TKivoComponent::SurelyWithinRange(const TKivoInstance& instance) const {
  // However turned, no point lies farther from the origin than 1.5 times its largest
  // coordinate.
  const double reach = std::max(Extent(), Largest(instance.GetDesignator().GetPosition()));
  return Largest({instance.GetX(), instance.GetY()}) + 1.5 * reach < 2147483000.0;
}

bool TKivoComponent::KeepsDesignatorWithinRange(const TKivoInstance& instance) const {
  return SurelyWithinRange(instance) ||
         TPlacement(instance).Keeps(instance.GetDesignator().GetPosition());
}

std::vector<std::string> TKivoComponent::LeaveOutWhatPlacementCarriesBeyond(
    const TKivoInstance& instance) {
  std::vector<std::string> leftOut;
  if (SurelyWithinRange(instance))
    return leftOut;
  const TPlacement placement(instance);
  const auto leaveOut = [&](uint32_t child, std::string name) {
    FLeftOutChildren.emplace_back(&instance, child);
    leftOut.push_back(std::move(name));
  };
  uint32_t child = 0;
  for (const auto& primitive : FPrimitives) {
    bool keeps = true;
    ForEachPlacedPoint(*primitive, [&](TKivoPoint p) { keeps = keeps && placement.Keeps(p); });
    if (!keeps)
      leaveOut(child, GraphicName(*primitive));
    ++child;
  }
  for (size_t j = 0; j < FPins.size(); ++j, ++child)
    if (!IsPinLeftOut(j) && !placement.Keeps(PlaceOf(*FPins[j])))
      leaveOut(child, PinNamed(FPins[j]->GetName()));
  return leftOut;
}

bool TKivoComponent::IsChildLeftOut(const TKivoInstance* instance, uint32_t child) const {
  return !FLeftOutChildren.empty() &&
         std::find(FLeftOutChildren.begin(), FLeftOutChildren.end(), std::pair(instance, child)) !=
             FLeftOutChildren.end();
}

void TKivoComponent::ForgetLeftOutChildren(const std::unordered_set<const TKivoInstance*>& gone) {
  std::erase_if(FLeftOutChildren, [&](const auto& left) { return gone.count(left.first) != 0; });
}

void TKivoComponent::NoteNamesWithoutPin(const TKivoInstance& instance, bool pairs,
                                         TKivoTranslationNotes& notes) const {
  const TStringList& connections = instance.GetConnections();
  const int count = connections.GetCount();
  if (!pairs) {
    for (int i = static_cast<int>(FPins.size()); i < count; ++i)
      notes.Add({TKivoTranslationNotes::tnBeyondPins, i, nullptr, nullptr, &instance, nullptr, this});
    return;
  }
  // Each pin's name and the net name after it connect it (a pin left out keeps its own).
  std::vector<bool> used(static_cast<size_t>(count));
  const auto name = [&](int i) { return connections.Get(i); };
  for (size_t j = 0; j < FPins.size(); ++j)
    if (const int entry = NetEntryOfPin(count, name, pairs, j); entry > 0)
      used[static_cast<size_t>(entry)] = used[static_cast<size_t>(entry) - 1] = true;
  for (int i = 0; i < count; ++i)
    if (!used[static_cast<size_t>(i)])
      notes.Add({TKivoTranslationNotes::tnNoPin, i, nullptr, nullptr, &instance, nullptr, this});
}

std::string TKivoComponent::NetNameOfPin(TKivoInstance& instance, bool pairForm,
                                         size_t pinIndex, uint32_t component,
                                         TKivoTranslationNotes* notes) {
  const TStringList& connections = instance.GetConnections();
  const int entry = NetEntryOfPin(connections.GetCount(), [&](int i) { return connections.Get(i); },
                                  pairForm, pinIndex);
  if (entry >= 0)
    return connections.Get(entry);
  if (pairForm)
    return {};
  // The reader tells it with the pin and the line of the list.
  if (notes)
    notes->Add({TKivoTranslationNotes::tnShortList, static_cast<int32_t>(pinIndex), nullptr,
                nullptr, &instance, nullptr, this});
  else if (GetReport())
    GetReport()->AddImportWarning(cMismatchWarning, component);
  return {};
}

TKivoComponent::TConnectionForm TKivoComponent::ConnectionFormOf(const TKivoInstance& instance,
                                                                 const THostNetIndex& nets) const {
  const TStringList& connections = instance.GetConnections();
  const int count = connections.GetCount();
  const auto name = [&](int i) { return connections.Get(i); };
  if (!ListsPairs(count, name))
    return cfPosition;
  // Its first name names a pin. A list of pairs names a net for some pins; one by position
  // names one for each pin, the first pin's first. Nearly always the first name is no net.
  if (static_cast<size_t>(count) != FPins.size() || nets.Find(name(0)) == 0)
    return cfPairs;
  for (int i = 1; i < count; ++i)
    if (!name(i).empty() && nets.Find(name(i)) == 0)
      return cfPairs;
  // Both readings fit its length and names: by position every pin has its net.
  for (size_t j = 0; j < FPins.size(); ++j) {
    const int entry = NetEntryOfPin(count, name, /*pairs=*/true, j);
    const std::string& byPosition = name(static_cast<int>(j));
    if (entry < 0 ? !byPosition.empty() : !SameText(name(entry), byPosition))
      return cfByPosition;
  }
  return cfPairs;  // the same nets either way
}

void TKivoComponent::TranslateInstance(TKivoInstance& instance, const THostNetIndex& nets,
                                       TKivoTranslationNotes* notes) {
  const uint32_t board = GetOwnerContainer();
  // On the stack: a large board has a hundred thousand component instances.
  TPcbComponent component(/*handle=*/0);
  LoadNewHostObject(component, okComponent);
  const uint32_t handle = component.GetHandle();
  TKivoText& designator = instance.GetDesignator();
  {
    TPcbText name(component.GetNameText());
    name.Synchronize(/*Mode=*/1);
    name.SetText(designator.GetText());  // the proxy keeps the first 254 characters
    name.SetLayer(eTopOverlay);
    name.SetX(designator.GetPosition().X);
    name.SetY(designator.GetPosition().Y);
    name.Synchronize(/*Mode=*/0);
  }
  {
    TPcbText comment(component.GetCommentText());
    comment.Synchronize(/*Mode=*/1);
    comment.SetLayer(eTopOverlay);
    comment.Synchronize(/*Mode=*/0);
  }
  uint32_t child = 0;
  for (auto& primitive : FPrimitives) {
    if (IsChildLeftOut(&instance, child++))
      continue;
    primitive->SetOwnerContainer(handle);
    primitive->SetPadStackList(GetPadStack());
    primitive->Translate();
  }

  // Pairs when the first line names a pin; otherwise net names by pin position (also
  // for an empty list), and by position where its names fit that alone or as well.
  const TConnectionForm form = ConnectionFormOf(instance, nets);
  const bool pairForm = form == cfPairs;
  if (__builtin_expect(form == cfByPosition, 0) && notes)
    notes->Add({TKivoTranslationNotes::tnByPosition, 0, nullptr, nullptr, &instance, nullptr, this});
  for (size_t j = 0; j < FPins.size(); ++j) {
    if (IsPinLeftOut(j) || IsChildLeftOut(&instance, static_cast<uint32_t>(FPrimitives.size() + j)))
      continue;
    TKivoPad& pin = *FPins[j];
    pin.SetOwnerContainer(handle);
    const std::string netName = NetNameOfPin(instance, pairForm, j, handle, notes);
    const uint32_t net = nets.Find(netName);
    // The board has every net the file defines: the file defines none of the name. (An
    // empty quoted name leaves the pin without a net, as the file says.)
    if (__builtin_expect(net == 0, 0) && !netName.empty() && notes)
      notes->Add({TKivoTranslationNotes::tnNoNet, static_cast<int32_t>(j), nullptr, nullptr,
                  &instance, nullptr, this, pairForm});
    pin.SetNetContainer(net);
    pin.SetPadStackList(GetPadStack());
    pin.Translate();
  }
  if (notes)
    NoteNamesWithoutPin(instance, pairForm, *notes);

  component.Synchronize(/*Mode=*/1);
  component.SetComponentString(instance.GetDefinitionName());  // keeps 250 characters
  component.SetComponentByte2(0);
  if (instance.GetSide() == TKivoInstance::BottomSide)
    component.SetLayer(eBottomLayer);
  component.SetMirrorFlag(instance.GetInstanceMirror() != 0);
  component.SetRotation(instance.GetInstanceRotation());
  component.SetX(instance.GetX());
  component.SetY(instance.GetY());
  component.Synchronize(cPlaceComponent);
  PcbApiAddObjectToContainer(board, handle);

  const uint32_t iterator = PcbApiCreateIterator(handle, /*kindFilter=*/0, 0, /*layer=*/0);
  if (PcbApiGetFirstObject(iterator) == 0) {
    if (GetReport())
      GetReport()->AddImportWarning(cEmptyComponentWarning, handle);
    PcbApiDeleteObjectFromContainer(board, handle);
    PcbApiDestroyObject(handle);
  } else {
    TPcbText name(component.GetNameText());
    name.Synchronize(/*Mode=*/1);
    JustifyText(designator, name);
    name.Synchronize(/*Mode=*/0);
    if (GetReport())
      GetReport()->AddImportEvent(cComponentEvent, handle);
    if (notes)
      notes->DesignatorGivenBefore(instance);
  }
  PcbApiDestroyIterator(iterator);
}

std::string_view HostNetName(std::string_view name) { return name.substr(0, TPcbNet::NameLength); }

uint32_t LookupHostNet(const std::string& name, uint32_t board) {
  if (board == 0 || name.empty())
    return 0;
  const uint32_t iterator = PcbApiCreateIterator(board, okNet, 0, 0);
  if (iterator == 0) {
    ShowErrorBox("Opps - Fail to create Iterator");
    return 0;
  }
  uint32_t found = 0;
  TPcbNet net;
  for (uint32_t object = PcbApiGetFirstObject(iterator); object != 0 && found == 0;
       object = PcbApiGetNextObject(iterator)) {
    net.SetHandle(object);
    net.Synchronize(/*Mode=*/1);
    if (SameText(net.GetName(), HostNetName(name)))
      found = object;
  }
  PcbApiDestroyIterator(iterator);
  return found;
}

bool TKivoTranslationNotes::NetGivenBefore(const TKivoNetObject& net, uint32_t& handle) {
  const std::string_view name = HostNetName(net.GetNameView());
  const int64_t entry = FNetNames.FindOrAdd(name, TKivoNameIndex::Hash(name), [&](uint32_t i) {
    return HostNetName(FNets[i]->GetNameView());
  });
  if (entry < 0) {
    FNets.push_back(&net);
    FNetHandles.push_back(0);
    handle = 0;
    return false;
  }
  Add({tnNetTwice, 0, &net, FNets[static_cast<size_t>(entry)], nullptr, nullptr, nullptr});
  handle = FNetHandles[static_cast<size_t>(entry)];
  return true;
}

const TKivoInstance* TKivoTranslationNotes::DesignatorGivenBefore(const TKivoInstance& instance) {
  const std::string designator = instance.GetDesignator().GetText();
  if (designator.empty())
    return nullptr;
  const int64_t entry =
      FDesignators.FindOrAdd(designator, TKivoNameIndex::Hash(designator), [&](uint32_t i) {
        return FDesignated[i]->GetDesignator().GetText();
      });
  if (entry < 0) {
    FDesignated.push_back(&instance);
    return nullptr;
  }
  const TKivoInstance* first = FDesignated[static_cast<size_t>(entry)];
  Add({tnDesignatorTwice, 0, nullptr, nullptr, &instance, first, nullptr});
  return first;
}

THostNetIndex::THostNetIndex(uint32_t board) : FBoard(board) {
  if (board == 0)
    return;
  const uint32_t iterator = PcbApiCreateIterator(board, okNet, 0, 0);
  if (iterator == 0)
    return;
  TPcbNet net;
  for (uint32_t object = PcbApiGetFirstObject(iterator); object != 0;
       object = PcbApiGetNextObject(iterator)) {
    net.SetHandle(object);
    net.Synchronize(/*Mode=*/1);
    FNets.push_back(TNet{UpperCase(net.GetName()), object});
  }
  PcbApiDestroyIterator(iterator);
  FRead = true;
  size_t size = 16;
  while (size < 2 * FNets.size())
    size *= 2;
  FSlots.assign(size, 0);
  for (size_t i = 0; i < FNets.size(); ++i) {
    const uint32_t hash = Hash(FNets[i].Name);
    if (Lookup(FNets[i].Name, hash))
      continue;  // a later net of a name already taken
    size_t at = hash & (size - 1);
    while (FSlots[at] != 0)
      at = (at + 1) & (size - 1);
    FSlots[at] = uint64_t{hash} << 32 | (i + 1);
  }
}

uint32_t THostNetIndex::Hash(std::string_view name) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : name)
    hash = (hash ^ static_cast<uint8_t>(AsciiUpper(c))) * 16777619u;
  return hash;
}

const THostNetIndex::TNet* THostNetIndex::Lookup(std::string_view name, uint32_t hash) const {
  const size_t mask = FSlots.size() - 1;
  for (size_t at = hash & mask; FSlots[at] != 0; at = (at + 1) & mask) {
    if (static_cast<uint32_t>(FSlots[at] >> 32) != hash)
      continue;
    const TNet& net = FNets[static_cast<uint32_t>(FSlots[at]) - 1];
    if (net.Name.size() == name.size() &&
        std::equal(name.begin(), name.end(), net.Name.begin(),
                   [](char a, char b) { return AsciiUpper(a) == b; }))
      return &net;
  }
  return nullptr;
}

uint32_t THostNetIndex::Find(const std::string& name) const {
  if (FBoard == 0 || name.empty())
    return 0;
  if (!FRead)
    return LookupHostNet(name, FBoard);
  const std::string_view kept = HostNetName(name);
  const TNet* net = Lookup(kept, Hash(kept));
  return net ? net->Handle : 0;
}
