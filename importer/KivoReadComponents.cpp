#include "importer/KivoFile.h"

#include <algorithm>
#include <map>
#include <span>
#include <utility>

#include "classlib/Strings.h"
#include "importer/KivoReading.h"
#include "importer/KivoReadingHooks.h"
#include "importer/ReportManager.h"

using namespace KivoReading;

void TKivoFile::ParseSubcomp() {
  auto& components = FBoardComponent->GetDetail().GetComponents();
  TKivoComponent* current = nullptr;
  // Instances whose placement could not be read go once the section is read: a later
  // attribute block may still name them.
  struct TDropLeftOut {
    TKivoFile& Reader;
    TKivoDetail::TKivoList& Components;
    ~TDropLeftOut() {
      if (Reader.FLeftOutInstances.empty())
        return;
      // The list holds component definitions only.
      for (auto& component : Components) {
        auto& definition = static_cast<TKivoComponent&>(*component);
        definition.ForgetLeftOutChildren(Reader.FLeftOutInstances);
        std::erase_if(definition.GetInstances(), [&](const std::unique_ptr<TKivoInstance>& i) {
          return Reader.FLeftOutInstances.count(i.get()) != 0;
        });
      }
      Reader.FLeftOutInstances.clear();
    }
  } dropLeftOut{*this, components};
  const TKivoLevels::TScope level(FLevels, KivoLevel::Subcomp);
  for (int code; FLevels.Next(code);) {
    switch (code) {
      case kwCOMP_DEF: {
        auto definition = std::make_unique<TKivoComponent>(&FDisplay);
        current = definition.get();
        components.push_back(std::move(definition));
        ParseComponentDefinition(*current);
        break;
      }
      case kwI:
        ParseInstance(current);
        break;
      default:
        FLevels.NotRead(code);
        break;
    }
  }
}

void TKivoFile::ParseComponentDefinition(TKivoComponent& definition) {
  const TBlockAttributes own(*this);
  definition.SetReadAt(FFile.Position());
  FPinAt.clear();
  // Without a name it is read as a definition still (what it holds is no one else's),
  // but no instance can name it.
  definition.SetName(ReadBlockName(
      kwCOMP_DEF, "no I block can name it, so no component was made of it"));
  // The instances after it take it, those before it the one before (the format places a
  // definition before its instances); one given again otherwise than before is told.
  TKivoComponent* before = nullptr;
  if (!definition.GetName().empty())
    before = std::exchange(FDefinitions[UpperCase(definition.GetName())], &definition);
  const TKivoLevels::TScope level(FLevels, KivoLevel::Definition);
  for (int code; FLevels.Next(code);) {
    switch (code) {
      case kwPIN_DEF:
        ParsePins(definition);
        break;
      case kwPIC:
        FObjectScratch.clear();
        ParseGraphics(KivoLevel::Picture, FObjectScratch, {kwFL});
        KeepRead(FObjectScratch, definition.GetPrimitives());
        break;
      case kwATR:
        ParseInstanceAttributes(definition);
        break;
      case kwPKG:
      case kwSPKG:
        FLevels.Skip(code, TKivoContent::Anything);
        break;
      default:
        FLevels.NotRead(code);
        break;
    }
  }
  CheckPinNames(definition);
  if (before && !SameKivoDefinition(definition, *before))
    ReportGivenTwice("The COMP_DEF " + definition.GetName(), definition.GetReadAt(),
                     before->GetReadAt(), rkDefinition);
}

void TKivoFile::ParsePins(TKivoComponent& definition) {
  auto& pins = FPinScratch;
  pins.clear();
  // The pins left out keep their places: instances whose nets are listed by pin position
  // connect the pins after them as the file lists them.
  std::vector<size_t> leftOutPins;
  const TKivoLevels::TScope level(FLevels, KivoLevel::Pins);
  for (int code; FLevels.Next(code);) {
    if (code != kwP) {
      FLevels.NotRead(code);
      // A block that holds a pin's blocks was a pin (its keyword damaged): left out.
      if (!FLevels.Pending() && (FLevels.SkippedHeld(kwPT) || FLevels.SkippedHeld(kwPLOC))) {
        leftOutPins.push_back(pins.size());
        pins.push_back(std::make_unique<TKivoPad>(&FDisplay));
        FPinAt.push_back(FFile.Position());
      }
      continue;
    }
    const TBlockAttributes own(*this);
    FPinAt.push_back(FFile.Position());
    auto pin = std::make_unique<TKivoPad>(&FDisplay);
    TKivoPad& ref = *pin;
    TLayerCounts* const layer = Counting();  // its layer, whatever [LY] its block holds
    // Without a name it is a pin still, which connection lists by position connect; a
    // list of pin names cannot.
    ref.SetName(ReadBlockName(
        kwP, "its pin was imported without one, and a connection list of pin names gives it no net"));
    pins.push_back(std::move(pin));
    bool leftOut = false;
    int64_t indexAt = -1;  // where its PT was read
    bool readableIndex = true;
    std::string indexText;  // what stood there, when it was no number
    const TKivoLevels::TScope pinLevel(FLevels, KivoLevel::Pin);
    for (int item; FLevels.Next(item);) {
      switch (item) {
        case kwPT:
          ref.SetPadStackIndex(ReadIntegerValue(FFile));
          readableIndex = !GetNumberError(FFile);
          if (!readableIndex)
            indexText = ReadNumberText();
          indexAt = FFile.Position();
          break;
        case kwPLOC: {
          BeginObject();
          const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
          ref.SetX(x);
          ref.SetY(y);
          leftOut = leftOut || !PlaceableDescribed([&] { return PinNamed(ref.GetName()); });
          break;
        }
        default:
          FLevels.NotRead(item);
          continue;
      }
      FLevels.Skip(item, TKivoContent::Values);
    }
    if (leftOut) {
      leftOutPins.push_back(pins.size() - 1);
      continue;
    }
    CountOn(layer);
    // A pin without PT keeps index 0 by rule.
    if (indexAt >= 0)
      CheckPadStackIndex(ref.GetPadStackIndex(), readableIndex, indexText, /*pin=*/true, indexAt,
                         [&] { return LowerFirst(PinNamed(ref.GetName())); });
  }
  const size_t first = definition.GetPins().size();
  KeepRead(pins, definition.GetPins());
  for (size_t index : leftOutPins)
    definition.LeaveOutPin(first + index);
}

TKivoComponent* TKivoFile::DefinitionNamed(TKivoComponent* latest, const std::string& name) {
  // An empty name names no definition, not one read without a name.
  if (__builtin_expect(name.empty(), 0))
    return nullptr;
  if (__builtin_expect(latest && SameText(latest->GetName(), name), 1))
    return latest;
  const auto found = FDefinitions.find(UpperCase(name));
  return found == FDefinitions.end() ? nullptr : found->second;
}

void TKivoFile::ParseInstance(TKivoComponent* latest) {
  const TBlockAttributes own(*this);
  const int64_t start = FFile.Position();
  // Both told here, with what they cost.
  const std::string definitionName = ReadBlockName(kwI, /*withoutName=*/nullptr);
  // No designator before the block's first item or its end.
  const std::string designator = ReadBlockName(kwI, /*withoutName=*/nullptr);
  TKivoComponent* const found = DefinitionNamed(latest, definitionName);
  if (!found) {
    // Made as another definition it would stand on the board with pads and graphics the
    // file does not give it. Its attributes and connections go with it, touching no
    // other instance.
    const std::string reason = definitionName.empty()
                                   ? std::string("its I block names no definition")
                                   : "the file has no definition " + definitionName + " before it";
    ReportLeftOutAt(start, ComponentNamed(designator), reason.c_str());
    FLevels.Skip(kwI, TKivoContent::Lost);
    return;
  }
  if (designator.empty() && FReport)
    FReport->AddLineWarning("The " + definitionName + " component", LineAt(start),
                            " has no designator: it was imported without one");
  TKivoComponent& definition = *found;
  auto instance = std::make_unique<TKivoInstance>(&FDisplay);
  TKivoInstance& ref = *instance;
  FPlacementAt = start;
  ref.SetDefinitionName(definitionName);
  ref.GetDesignator().SetText(designator);
  definition.GetInstances().push_back(std::move(instance));
  ref.SetReadAt(start);
  const TKivoLevels::TScope level(FLevels, KivoLevel::Instance);
  for (int code; FLevels.Next(code);) {
    switch (code) {
      case kwATR:
        ParseInstanceAttributes(definition);
        break;
      case kwCN:
        ParseConnections(ref);
        break;
      default:
        FLevels.NotRead(code);
        break;
    }
  }
  CheckPlacedChildren(definition, ref, FPlacementAt);
}

void TKivoFile::ParseConnections(TKivoInstance& instance) {
  // The names are gathered first and the list takes its memory once (growing it name
  // by name made most of the heap calls of reading a board's components).
  size_t count = 0;
  if (instance.GetConnectionsAt() < 0)
    instance.SetConnectionsAt(FFile.Position());
  const TBlockAttributes own(*this);
  const TKivoLevels::TScope level(FLevels, KivoLevel::Connections);
  // Every token reads something or ends at the end of the file; an empty token (a
  // delimiter held back) adds no entry.
  while (!AtEnd()) {
    // Comment lines are passed; an attribute is no name (its words gave the pins after
    // it wrong nets).
    std::string_view name;
    std::string quoted;
    const int next = PassToValue(kwCN, /*name=*/false);
    if (next == '"' || next == '(') {
      // A quoted name is what its quotes hold; an empty one keeps its pin's place. One
      // whose quote or "(" ran over into the blocks after it ends the list there (told).
      const char* const item = "Name of a net in the CN block";
      if (next == '"' ? !ReadValue(item, quoted) : !ReadBracketedName(item, quoted)) {
        FLevels.Skip(kwCN, TKivoContent::Values);
        break;
      }
      name = quoted;
    } else {
      const int code = ReadWord();
      if (code == kwCloseBrace)
        break;
      if (code == kwOpenBrace) {
        if (TKivoReadingHooks* const hooks = FFile.Hooks();
            __builtin_expect(hooks != nullptr, 0) && hooks->BlockInConnections(FFile))
          continue;
        // CN holds names: a block in it is read where it belongs (its "}" missing), or
        // told and skipped, as at every level.
        FLevels.NotRead(ReadKeyword());
        if (FLevels.Pending())
          break;
        continue;
      }
      name = GetLastTokenView(FFile);
      if (name.empty())
        continue;
      if (__builtin_expect(LastTokenCut(FFile), 0))
        ReportValueCut(FFile.Position(), "Name of a net in the CN block", std::string(name));
    }
    if (count == FNameScratch.size())
      FNameScratch.emplace_back();
    FNameScratch[count++].assign(name);
  }
  if (TKivoReadingHooks* const hooks = FFile.Hooks();
      __builtin_expect(hooks != nullptr, 0))
    hooks->ConnectionsRead(std::span(FNameScratch.data(), count));
  TStringList& connections = instance.GetConnections();
  connections.SetCapacity(connections.GetCount() + static_cast<int>(count));
  for (size_t i = 0; i < count; ++i)
    connections.Add(FNameScratch[i]);
}

void TKivoFile::ParseInstanceAttributes(TKivoComponent& definition) {
  if (definition.GetInstances().empty()) {
    FLevels.Skip(kwATR, TKivoContent::Anything);
    return;
  }
  TKivoInstance& instance = *definition.GetInstances().back();
  const TKivoLevels::TScope level(FLevels, KivoLevel::InstanceAttributes);
  for (int code; FLevels.Next(code);) {
    if (code == kwIN)
      ParseInstanceEntries(instance);
    else if (code == kwEX)
      FLevels.Skip(kwEX, TKivoContent::Anything);
    else
      FLevels.NotRead(code);
  }
}

void TKivoFile::ParseInstanceEntries(TKivoInstance& instance) {
  // A placement that cannot be read leaves the whole instance out, reported once.
  auto checkPlacement = [&] {
    if (FLeftOutInstances.count(&instance) == 0 &&
        !PlaceableDescribed([&] { return ComponentNamed(instance.GetDesignator().GetText()); }))
      FLeftOutInstances.insert(&instance);
  };
  const auto component = [&] { return LowerFirst(ComponentNamed(instance.GetDesignator().GetText())); };
  // A number that cannot be read is passed over, told; false for it.
  auto readableNumber = [&](TKivoField field) {
    if (__builtin_expect(!GetNumberError(FFile), 1))
      return true;
    TellValue(field, ReadNumberText(), FFile.Position(), component());
    return false;
  };
  // A rotation step that cannot be read is passed over, told.
  auto readableTurn = [&](int64_t turn, TKivoField field) {
    FPlacementAt = FFile.Position();
    return readableNumber(field) ? turn : 0;
  };
  // A word other than the field's is told (with what the format's rule made of it).
  auto tellOtherWord = [&](TKivoField field, const std::string& word) {
    if (__builtin_expect(!IsKivoWord(KivoValueField(field), word), 0))
      TellValue(field, word, FFile.Position(), component());
  };
  std::string value;
  const TKivoLevels::TScope level(FLevels, KivoLevel::Placement);
  for (int code; FLevels.Next(code);) {
    const TBlockAttributes own(*this);
    BeginObject();
    switch (code) {
      case kwORG: {
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        instance.SetX(x);
        instance.SetY(y);
        FPlacementAt = FFile.Position();
        checkPlacement();
        break;
      }
      case kwPL: {
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        FPlacementAt = FFile.Position();
        const int64_t placedX = int64_t{instance.GetX()} + x, placedY = int64_t{instance.GetY()} + y;
        if (!KivoCoordinateFits(static_cast<double>(placedX)) ||
            !KivoCoordinateFits(static_cast<double>(placedY))) {
          NoteUnreadable();
          FBeyondRange = true;
        }
        instance.SetX(static_cast<int32_t>(placedX));
        instance.SetY(static_cast<int32_t>(placedY));
        checkPlacement();
        break;
      }
      case kwRO: {
        const int64_t turn = readableTurn(90 * int64_t{ReadIntegerValue(FFile)}, kfRO);
        instance.SetInstanceRotation(static_cast<int32_t>(instance.GetInstanceRotation() + turn));
        break;
      }
      case kwPA: {
        const int64_t turn = readableTurn(ReadIntegerValue(FFile), kfPA);
        instance.SetInstanceRotation(static_cast<int32_t>(instance.GetInstanceRotation() + turn));
        break;
      }
      case kwMR:
        if (!ReadListValue(code, "Value of MR", value))
          break;
        if (value == "Y")
          instance.SetInstanceMirror(1);
        tellOtherWord(kfMR, value);
        break;
      case kwPS:
        if (!ReadListValue(code, "Value of PS", value))
          break;
        if (value != "T")
          instance.SetSide(TKivoInstance::BottomSide);
        tellOtherWord(kfPS, value);
        break;
      case kwNL: {
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        instance.GetDesignator().SetPosition({x, y});
        checkPlacement();
        break;
      }
      case kwSC: {
        // Read and not used; one that cannot be read is told all the same (once).
        ReadIntegerValue(FFile);
        const bool readable = readableNumber(kfSC);
        ReadIntegerValue(FFile);
        if (readable)
          readableNumber(kfSC);
        break;
      }
      case kwUN: {
        // Not used: the component's values are read in the file's unit, which one
        // naming another would not expect. What follows its value is passed over.
        const TKivoEnvironment& env = FBoardComponent->GetEnvironment();
        if (ReadListValue(code, "Value of UN", value) &&
            (env.GetUnitCode() == 0 || KivoUnitOf(value, env.GetVersion()).Code != env.GetUnitCode()))
          TellValue(kfUN, value, FFile.Position(), component());
        FLevels.Skip(kwUN, TKivoContent::Anything);
        continue;
      }
      default:
        FLevels.NotRead(code);
        continue;
    }
    FLevels.Skip(code, TKivoContent::Values);
  }
}

void TKivoFile::CheckPlacedChildren(TKivoComponent& definition, TKivoInstance& instance,
                                    int64_t position) {
  if (!FLeftOutInstances.empty() && FLeftOutInstances.count(&instance) != 0)
    return;
  if (!definition.KeepsDesignatorWithinRange(instance)) {
    FLeftOutInstances.insert(&instance);
    ReportLeftOutAt(position, ComponentNamed(instance.GetDesignator().GetText()),
                    "placed, its designator would lie beyond the board's range");
    return;
  }
  for (const std::string& child : definition.LeaveOutWhatPlacementCarriesBeyond(instance))
    ReportLeftOutAt(position,
                    child + " of " + LowerFirst(ComponentNamed(instance.GetDesignator().GetText())),
                    "placed, it would lie beyond the board's range");
}
