// What the reader tells of the file's references and definitions (KivoReferences.h): a
// pad-stack entry naming no pad definition, a pin or via index of a file without
// PAD_STACK, and a definition given twice (a PAD_DEF, a PAD's index, a COMP_DEF, a pin's
// name, a LYRSTR name, an ENVIRONMENT value), each with its line and the first one's; and
// what the translation noted (TKivoTranslationNotes). The first definition holds.
#include "importer/KivoFile.h"

#include <algorithm>
#include <cassert>
#include <map>
#include <unordered_map>
#include <utility>

#include "classlib/Strings.h"
#include "importer/KivoReading.h"
#include "importer/KivoReferences.h"
#include "importer/ReportManager.h"

using namespace KivoReading;

namespace {

// Whether the graphics lists `a` and `b` hold the same graphics in the same order.
bool SameGraphics(const TKivoObjectList& a, const TKivoObjectList& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](const auto& x, const auto& y) { return SameKivoGraphic(*x, *y); });
}

// A pin is its name, place and pad-stack index; the layer it takes from the drawing state
// around its definition is not compared (a board that gives its definitions again before
// each group of instances leaves that to whatever was drawn before).
bool SamePin(const TKivoPad& a, const TKivoPad& b) {
  return a.GetNameView() == b.GetNameView() && a.GetX() == b.GetX() && a.GetY() == b.GetY() &&
         a.GetPadStackIndex() == b.GetPadStackIndex();
}

}  // namespace

bool KivoReading::SameKivoDefinition(const TKivoComponent& a, const TKivoComponent& b) {
  const auto& pins = a.GetPins();
  if (pins.size() != b.GetPins().size() || !SameGraphics(a.GetPrimitives(), b.GetPrimitives()))
    return false;
  for (size_t i = 0; i < pins.size(); ++i)
    if (a.IsPinLeftOut(i) != b.IsPinLeftOut(i) || !SamePin(*pins[i], *b.GetPins()[i]))
      return false;
  return true;
}

bool KivoReading::SameKivoPadDefinition(const TKivoPadDef& a, const TKivoPadDef& b) {
  // The name encodes sizes, which the unit and grid scale; the width widens the hole.
  return a.GetName() == b.GetName() && a.GetSmd() == b.GetSmd() && a.GetWidth() == b.GetWidth() &&
         a.GetUnitScale() == b.GetUnitScale() && a.GetGrid() == b.GetGrid() &&
         SameGraphics(a.GetPrimitives(), b.GetPrimitives());
}

void TKivoFile::ReportGivenTwice(const std::string& subject, int64_t position, int64_t first,
                                 TKivoReferenceKind kind) {
  if (!FReport)
    return;
  const int64_t line = LineAt(position);
  ReportGivenTwiceAtLines(subject, line, LineAt(first), kind);
}

void TKivoFile::ReportGivenTwiceAtLines(const std::string& subject, int64_t line,
                                        int64_t firstLine, TKivoReferenceKind kind) {
  if (FReport)
    FReport->AddLineWarning(subject, line,
                            " was given before (line " + std::to_string(firstLine) +
                                "): " + KivoReference(kind).Twice);
}

void TKivoFile::CheckPadStackReferences(const TKivoPadStack& stack) {
  if (!FReport)
    return;
  // Pins and vias take the first PAD of their index; the names it gives are looked up as
  // they look them up. An empty name names no definition. One given again the same is
  // the same.
  std::unordered_map<int32_t, const TKivoPadRecord*> indices;
  const auto tellUndefined = [&](const TKivoPadRecord& record, const std::string& name,
                                 const char* forWhom, TKivoReferenceKind kind) {
    if (!name.empty() && !stack.FindPadDefinition(name))
      FReport->AddLineWarning("The PAD " + std::to_string(record.GetIndex()), LineAt(record.GetReadAt()),
                              " names the pad definition \"" + name + "\"" + forWhom +
                                  ", which its PAD_STACK does not give: " +
                                  KivoReference(kind).Undefined);
  };
  for (const auto& record : stack.GetPads()) {
    const auto [first, added] = indices.try_emplace(record->GetIndex(), record.get());
    if (!added) {
      if (record->GetFirstName() != first->second->GetFirstName() ||
          record->GetSecondName() != first->second->GetSecondName())
        ReportGivenTwice("The PAD " + std::to_string(record->GetIndex()), record->GetReadAt(),
                         first->second->GetReadAt(), rkPinPadIndex);
      continue;
    }
    tellUndefined(*record, record->GetFirstName(), "", rkPadDefinition);
    tellUndefined(*record, record->GetSecondName(), " for its pins without a net", rkFreePadDefinition);
  }
  // Pins and vias find a definition by its name without regard to case: the first of a
  // name. One given again the same is the same.
  const TStringList& definitions = stack.GetPadDefinitions();
  std::unordered_map<std::string, const TKivoPadDef*> named;
  for (int i = 0; i < definitions.GetCount(); ++i) {
    const auto* definition = static_cast<const TKivoPadDef*>(definitions.GetObject(i));
    if (definition->GetName().empty())
      continue;  // named by nothing (told)
    const auto [first, added] = named.try_emplace(AnsiUpperCase(definition->GetName()), definition);
    if (!added && !SameKivoPadDefinition(*definition, *first->second))
      ReportGivenTwice("The PAD_DEF " + definition->GetName(), definition->GetReadAt(),
                       first->second->GetReadAt(), rkPadDefinition);
  }
}

void TKivoFile::CheckPinNames(const TKivoComponent& definition) {
  const auto& pins = definition.GetPins();
  assert(FPinAt.size() == pins.size() && "where each pin was read");
  if (pins.size() < 2 || !FReport || FPinAt.size() != pins.size())
    return;
  // A list of pairs finds a pin by its name without regard to case. Most definitions
  // have a few pins, compared each with each; many are sorted by name first.
  const auto name = [&](uint32_t i) { return pins[i]->GetNameView(); };
  std::vector<uint32_t>& order = FPinOrder;
  order.clear();
  for (uint32_t i = 0; i < pins.size(); ++i)
    if (!name(i).empty() && !definition.IsPinLeftOut(i))
      order.push_back(i);
  // The pins given again, each with the first of its name, told in the file's order.
  std::vector<std::pair<uint32_t, uint32_t>> twice;
  if (order.size() <= 16) {
    for (size_t k = 1; k < order.size(); ++k)
      for (size_t first = 0; first < k; ++first)
        if (SameText(name(order[k]), name(order[first]))) {
          twice.emplace_back(order[k], order[first]);
          break;
        }
  } else {
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return CompareText(name(a), name(b)) < 0; });
    for (size_t k = 1, first = 0; k < order.size(); ++k) {
      if (!SameText(name(order[k]), name(order[first])))
        first = k;
      else
        twice.emplace_back(order[k], order[first]);
    }
  }
  std::sort(twice.begin(), twice.end());
  for (const auto& [pin, first] : twice)
    ReportGivenTwice(PinNamed(pins[pin]->GetName()) + " of the definition " + definition.GetName(),
                     FPinAt[pin], FPinAt[first], rkPin);
}

void TKivoFile::CheckLayerName(const std::string& name, int32_t id, int64_t position) {
  // The layer map finds a layer by its name without regard to case: the first of a name.
  // One given again the same (the name and id) is the same.
  const auto [first, added] =
      FLayerStrings.try_emplace(AnsiUpperCase(name), TLayerString{position, id, name});
  if (!added && (first->second.Id != id || first->second.Name != name))
    ReportGivenTwice("The layer \"" + name + "\" of LYRSTR", position, first->second.At, rkLayer);
}

const TKivoFile::TEnvironmentValue* TKivoFile::EnvironmentValue(int code) const {
  for (const TEnvironmentValue& given : FEnvironmentValues)
    if (given.Code == code)
      return &given;
  return nullptr;
}

bool TKivoFile::FirstEnvironmentValue(int code, int64_t position, const std::string& value,
                                      const std::string& subject, TKivoReferenceKind kind) {
  const TEnvironmentValue* const first = EnvironmentValue(code);
  if (!first) {
    FEnvironmentValues.push_back({code, position, value});
    return true;
  }
  // The same value again changes nothing.
  if (first->Value != value)
    ReportGivenTwice(subject, position, first->Position, kind);
  return false;
}

void TKivoFile::ReportTranslationNotes(const TKivoTranslationNotes& notes) {
  if (!FReport || notes.GetNotes().empty())
    return;
  using TNote = TKivoTranslationNotes::TNote;
  // Each note is about the block read later, and told in the file's order.
  const auto at = [](const TNote& note) {
    switch (note.Kind) {
      case TKivoTranslationNotes::tnNetTwice:
        return std::max(note.Net->GetReadAt(), note.FirstNet->GetReadAt());
      case TKivoTranslationNotes::tnDesignatorTwice:
        return std::max(note.Instance->GetReadAt(), note.FirstInstance->GetReadAt());
      default:
        return note.Instance->GetConnectionsAt();
    }
  };
  std::vector<TNote> sorted = notes.GetNotes();
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&](const TNote& a, const TNote& b) { return at(a) < at(b); });
  // The lines, counted in one pass over the file.
  std::map<int64_t, int64_t> lines;
  for (const TNote& note : sorted) {
    lines[at(note)] = 0;
    if (note.FirstNet)
      lines[note.Net->GetReadAt()] = lines[note.FirstNet->GetReadAt()] = 0;
    if (note.FirstInstance)
      lines[note.Instance->GetReadAt()] = lines[note.FirstInstance->GetReadAt()] = 0;
  }
  for (auto& [position, line] : lines)
    line = position < 0 ? 0 : LineAt(position);
  FLines.reset();  // its handle on the file goes
  // The pins that lists by position leave without a net: import warnings, in the order
  // the translation met them, in the words they always had and with the pin and line.
  for (const TNote& note : notes.GetNotes()) {
    if (note.Kind != TKivoTranslationNotes::tnShortList)
      continue;
    const TKivoPad& pin = *note.Definition->GetPins()[static_cast<size_t>(note.Index)];
    const int64_t line = lines[at(note)];
    // The host keeps the first 254 characters of a designator.
    FReport->AddMismatchWarning(note.Instance->GetDesignator().GetText().substr(0, 254),
                                ": its connections" + (line > 0 ? " at line " + std::to_string(line) : "") +
                                    " name no net for " + LowerFirst(PinNamed(pin.GetName())) +
                                    ", which was imported without a net");
  }
  for (const TNote& note : sorted) {
    if (note.Kind == TKivoTranslationNotes::tnNetTwice) {
      // The one read later joins the one read before.
      const bool later = note.Net->GetReadAt() >= note.FirstNet->GetReadAt();
      const TKivoNetObject& second = later ? *note.Net : *note.FirstNet;
      const TKivoNetObject& first = later ? *note.FirstNet : *note.Net;
      ReportGivenTwiceAtLines("The net " + second.GetName(), lines[second.GetReadAt()],
                              lines[first.GetReadAt()], rkNet);
      continue;
    }
    if (note.Kind == TKivoTranslationNotes::tnDesignatorTwice) {
      const bool later = note.Instance->GetReadAt() >= note.FirstInstance->GetReadAt();
      const TKivoInstance& second = later ? *note.Instance : *note.FirstInstance;
      const TKivoInstance& first = later ? *note.FirstInstance : *note.Instance;
      FReport->AddLineWarning(ComponentNamed(second.GetDesignator().GetText()),
                              lines[second.GetReadAt()],
                              " has the designator of the component at line " +
                                  std::to_string(lines[first.GetReadAt()]) + ": " +
                                  KivoReference(rkDesignator).Twice);
      continue;
    }
    if (note.Kind == TKivoTranslationNotes::tnShortList)
      continue;
    const TKivoComponent& definition = *note.Definition;
    const TStringList& connections = note.Instance->GetConnections();
    const std::string component = LowerFirst(ComponentNamed(note.Instance->GetDesignator().GetText()));
    if (note.Kind == TKivoTranslationNotes::tnByPosition) {
      const size_t pins = definition.GetPins().size();
      FReport->AddLineWarning(
          "The connections of " + component, lines[at(note)],
          " begin with \"" + connections.Get(0) + "\", the name of a pin of its definition " +
              definition.GetName() + " and of a net, and name a net for each of its " +
              std::to_string(pins) + (pins == 1 ? " pin" : " pins") +
              ": they were read by position, not as pairs of pin and net names");
      continue;
    }
    if (note.Kind == TKivoTranslationNotes::tnNoNet) {
      const auto pin = static_cast<size_t>(note.Index);
      const int entry = definition.NetEntryOfPin(
          connections.GetCount(), [&](int i) { return connections.Get(i); }, note.Pairs, pin);
      FReport->AddLineWarning(
          "The connection of " + LowerFirst(PinNamed(definition.GetPins()[pin]->GetName())) +
              " of " + component,
          lines[at(note)],
          " names the net \"" + connections.Get(entry) + "\", which the file does not define: " +
              KivoReference(rkNet).Undefined);
      continue;
    }
    FReport->AddLineWarning(
        "The name \"" + connections.Get(note.Index) + "\" in the connections of " + component,
        lines[at(note)],
        (note.Kind == TKivoTranslationNotes::tnNoPin
             ? " connects no pin of its definition " + definition.GetName()
             : " stands beyond the " + std::to_string(definition.GetPins().size()) +
                   " pins of its definition " + definition.GetName()) +
            ": " + KivoReference(rkPin).Undefined);
  }
}
