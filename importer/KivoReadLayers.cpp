// The layers objects are drawn on, counted as the file is read and told at its end. A
// file may draw each object on a layer of its own: the records are small
// (TKivoLayerRecords), and the warnings of each sort (undeclared layers, layers of pad
// definitions) tell the first ten layers one by one, in the order of their [LY], and
// the rest in one line with their count and lines. (Listing them all to tell them took
// as much again as the records, and each was only counted.)
#include "importer/KivoFile.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "importer/KivoListMemo.h"
#include "importer/KivoReading.h"
#include "importer/ReportLines.h"
#include "importer/ReportManager.h"

using namespace KivoReading;

namespace {

// The layers pad definitions draw on, which make their pads.
bool IsPadLayer(const std::string& name) {
  return name == "PADCOM" || name == "PADSLD" || name == "PADINT" || name == "DRILL" ||
         name == "SLDMSK";
}

}  // namespace

TKivoFile::TLayerCounts* TKivoFile::ResolveCounting() {
  FCountingKnown = true;
  FCounting = nullptr;
  switch (FLayer.Kind) {
    case TLayerState::lsNone:
      break;
    case TLayerState::lsUnreadable:
      // In a pad definition nothing counts on it.
      if (FInPadDefinition)
        break;
      if (!FLayer.Counts)
        FLayer.Counts = &FUnreadableCounts.emplace_back(FLayer.Unreadable, TLayerCounts()).second;
      FCounting = FLayer.Counts;
      break;
    case TLayerState::lsNamed: {
      // In a pad definition only a layer other than the pads' own is counted: what is drawn
      // on it may not make the pads as drawn (a misspelt "PADCOM").
      const std::string& name = FDisplay.LayerNameRef();
      if (FInPadDefinition && IsPadLayer(name))
        break;
      TKivoLayerRecords::TRecord* const record =
          (FInPadDefinition ? FPadLayers : FLayers).Find(name, FLayer.At);
      FCounting = record ? &record->Counts : nullptr;
      break;
    }
  }
  return FCounting;
}

void TKivoFile::SetUnreadableLayer(int64_t position, const char* reason) {
  // No LYRSTR entry can declare the empty name (its list ends at an empty value), so
  // what is drawn now is not translated: told with this [LY], not put on the layer before.
  FDisplay.SetLayerName(std::string());
  uint64_t why = 0;
  while (why + 1 < std::size(kLayerUnreadable) && kLayerUnreadable[why] != reason)
    ++why;
  FUnreadableLayers.push_back(static_cast<uint64_t>(position) | why << 56);
  FLayer = {TLayerState::lsUnreadable, position, FUnreadableLayers.size() - 1};
  FCountingKnown = false;
}

struct TKivoFile::TLayersTold {
  using TRecord = TKivoLayerRecords::TRecord;
  static constexpr size_t kOneByOne = TReportWarnings::kTellEach;
  // The first layers, in the order of their [LY] (and made).
  std::vector<const TRecord*> First;
  // The rest: how many, their objects, the first and the last [LY] and object.
  int64_t Layers = 0, Objects = 0;
  int64_t FirstPosition = INT64_MAX, LastPosition = 0, FirstAt = INT64_MAX, LastAt = 0;
  const TRecord* Last = nullptr;  // the one when the rest is one

  void Add(const TRecord& record) {
    const auto later = std::upper_bound(
        First.begin(), First.end(), &record,
        [](const TRecord* a, const TRecord* b) { return a->Position < b->Position; });
    if (later == First.end() && First.size() == kOneByOne) {
      AddToRest(record);
      return;
    }
    First.insert(later, &record);
    if (First.size() > kOneByOne) {
      AddToRest(*First.back());
      First.pop_back();
    }
  }
  void AddToRest(const TRecord& record) {
    ++Layers;
    Objects += record.Counts.Count;
    FirstPosition = std::min(FirstPosition, record.Position);
    LastPosition = std::max(LastPosition, record.Position);
    FirstAt = std::min(FirstAt, record.Counts.FirstAt);
    LastAt = std::max(LastAt, record.Counts.LastAt);
    Last = &record;
  }
};

TKivoFile::TLayersTold TKivoFile::LayersToTell(const TKivoLayerRecords& layers, bool undeclared) {
  TLayersTold told;
  const TStringList& declared = FBoardComponent->GetEnvironment().GetLayerStrings();
  const TKivoNameLookup lookup(declared);
  for (size_t i = 0; i < layers.GetCount(); ++i) {
    const TKivoLayerRecords::TRecord& record = layers[i];
    if (record.Counts.Count > 0 &&
        (!undeclared || lookup.IndexOf(declared, std::string(layers.NameOf(record))) < 0))
      told.Add(record);
  }
  // One more is told as itself.
  if (told.Layers == 1) {
    told.First.push_back(told.Last);
    told.Layers = 0;
  }
  return told;
}

void TKivoFile::ReportLayers() {
  if (!FReport)
    return;
  // What is told, in the order of the lines it names: the layers drawn on that no LYRSTR
  // entry declares, the layers other than the pads' own that pad definitions drew on, and
  // every [LY] whose value could not be read (they come in the order read).
  struct TTold {
    int64_t Position;
    const TKivoLayerRecords::TRecord* Record;  // null for an unreadable value or the rest
    const TLayersTold* Rest;                   // the rest of a sort, else null
    const TLayerCounts* Counts;                // an unreadable value's
    size_t Why;                                // an unreadable value's reason
    bool Pad;
  };
  const TLayersTold sorts[] = {LayersToTell(FLayers, /*undeclared=*/true),
                               LayersToTell(FPadLayers, /*undeclared=*/false)};
  std::vector<TTold> named;
  for (const bool pad : {false, true}) {
    const TLayersTold& sort = sorts[pad];
    for (const auto* record : sort.First)
      named.push_back({record->Position, record, nullptr, nullptr, 0, pad});
    if (sort.Layers > 0)
      named.push_back({sort.FirstPosition, nullptr, &sort, nullptr, 0, pad});
  }
  // Positions compared in the order made (the pad layers' after the others).
  std::stable_sort(named.begin(), named.end(),
                   [](const TTold& a, const TTold& b) { return a.Position < b.Position; });
  // By entry, one each: a value that objects were drawn after again, once a block's own
  // [LY] gave it back, may have counts twice.
  std::stable_sort(FUnreadableCounts.begin(), FUnreadableCounts.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  size_t kept = 0;
  for (size_t i = 0; i < FUnreadableCounts.size(); ++i) {
    auto& [entry, counts] = FUnreadableCounts[i];
    if (kept > 0 && FUnreadableCounts[kept - 1].first == entry) {
      TLayerCounts& into = FUnreadableCounts[kept - 1].second;
      if (counts.Count > 0) {
        into.FirstAt = into.Count > 0 ? std::min(into.FirstAt, counts.FirstAt) : counts.FirstAt;
        into.LastAt = std::max(into.LastAt, counts.LastAt);
        into.Count += counts.Count;
      }
      continue;
    }
    FUnreadableCounts[kept++] = FUnreadableCounts[i];
  }
  FUnreadableCounts.resize(kept);
  constexpr uint64_t kPosition = (uint64_t{1} << 56) - 1;
  std::vector<size_t> unreadable;  // the entries by position, when not read in that order
  const auto positionOf = [&](size_t entry) {
    return static_cast<int64_t>(FUnreadableLayers[entry] & kPosition);
  };
  for (size_t entry = 1; entry < FUnreadableLayers.size() && unreadable.empty(); ++entry)
    if (positionOf(entry) < positionOf(entry - 1)) {
      unreadable.resize(FUnreadableLayers.size());
      std::iota(unreadable.begin(), unreadable.end(), size_t{0});
      std::stable_sort(unreadable.begin(), unreadable.end(),
                       [&](size_t a, size_t b) { return positionOf(a) < positionOf(b); });
    }
  // The lines of the objects counted (and of the last [LY] of a rest), asked in rising
  // order: one pass over the file; the lines of the records themselves in a second, as
  // they are told.
  std::vector<int64_t> objectAt;
  for (const TTold& told : named) {
    if (told.Rest)
      objectAt.insert(objectAt.end(), {told.Rest->FirstAt, told.Rest->LastAt, told.Rest->LastPosition});
    else
      objectAt.insert(objectAt.end(), {told.Record->Counts.FirstAt, told.Record->Counts.LastAt});
  }
  for (const auto& [entry, counts] : FUnreadableCounts)
    if (counts.Count > 0)
      objectAt.insert(objectAt.end(), {counts.FirstAt, counts.LastAt});
  std::sort(objectAt.begin(), objectAt.end());
  objectAt.erase(std::unique(objectAt.begin(), objectAt.end()), objectAt.end());
  std::vector<int64_t> objectLine(objectAt.size());
  for (size_t i = 0; i < objectAt.size(); ++i)
    objectLine[i] = LineAt(objectAt[i]);
  const auto lineOf = [&](int64_t position) {
    return objectLine[static_cast<size_t>(
        std::lower_bound(objectAt.begin(), objectAt.end(), position) - objectAt.begin())];
  };
  const auto linesOf = [&](int64_t first, int64_t last) {
    const int64_t a = lineOf(first), b = lineOf(last);
    return a == b ? " (line " + std::to_string(a) + ")"
                  : " (lines " + std::to_string(a) + " to " + std::to_string(b) + ")";
  };
  const auto leftOut = [&](int64_t count, int64_t first, int64_t last, const char* where) {
    return ObjectsLeftOut(count, where, lineOf(first), lineOf(last));
  };
  // What is said of the objects of pad definitions on a layer (`it`) or layers.
  const auto mayNotMake = [&](int64_t count, bool it, int64_t first, int64_t last) {
    const bool one = count == 1;
    return std::to_string(count) + (one ? " object" : " objects") + " drawn on " +
           (it ? "it" : "them") + " in pad definitions may not make " +
           (one ? "its pads" : "their pads") + " as drawn" + linesOf(first, last);
  };
  constexpr char kNotDeclared[] = " not declared by the file's LYRSTR: ";
  constexpr char kNotPads[] =
      " none of the layers pads are made of (PADCOM, PADSLD, PADINT, DRILL, SLDMSK): ";
  const auto tell = [&](const TTold& told) {
    const int64_t line = LineAt(told.Position);
    if (const TLayersTold* rest = told.Rest) {
      FReport->AddLineWarnings(
          std::to_string(rest->Layers) + " more layers", line,
          " to line " + std::to_string(lineOf(rest->LastPosition)) + " are" +
              (told.Pad ? kNotPads + mayNotMake(rest->Objects, false, rest->FirstAt, rest->LastAt)
                        : kNotDeclared + leftOut(rest->Objects, rest->FirstAt, rest->LastAt, "on them")) +
              ", not told one by one",
          rest->Layers);
      return;
    }
    if (const TKivoLayerRecords::TRecord* record = told.Record) {
      const TLayerCounts& counts = record->Counts;
      FReport->AddLineWarning(
          "The layer \"" + std::string((told.Pad ? FPadLayers : FLayers).NameOf(*record)) + "\"", line,
          told.Pad ? " is" + (kNotPads + mayNotMake(counts.Count, true, counts.FirstAt, counts.LastAt))
                   : " is" + (kNotDeclared + leftOut(counts.Count, counts.FirstAt, counts.LastAt, "on it")));
      return;
    }
    std::string reason = kLayerUnreadable[told.Why];
    if (told.Counts && told.Counts->Count > 0)
      reason += "; " + leftOut(told.Counts->Count, told.Counts->FirstAt, told.Counts->LastAt,
                               "after it");
    FReport->AddLeftOutWarning("Layer", line, reason);
  };
  // The named records and the unreadable values merged by position.
  auto counts = FUnreadableCounts.begin();
  size_t next = 0;
  for (size_t i = 0; i < FUnreadableLayers.size(); ++i) {
    const size_t entry = unreadable.empty() ? i : unreadable[i];
    const int64_t position = positionOf(entry);
    for (; next < named.size() && named[next].Position <= position; ++next)
      tell(named[next]);
    const TLayerCounts* own = nullptr;
    if (unreadable.empty()) {
      while (counts != FUnreadableCounts.end() && counts->first < entry)
        ++counts;
      if (counts != FUnreadableCounts.end() && counts->first == entry)
        own = &counts->second;
    } else {
      const auto found = std::lower_bound(
          FUnreadableCounts.begin(), FUnreadableCounts.end(), entry,
          [](const auto& a, size_t b) { return a.first < b; });
      if (found != FUnreadableCounts.end() && found->first == entry)
        own = &found->second;
    }
    tell({position, nullptr, nullptr, own, static_cast<size_t>(FUnreadableLayers[entry] >> 56), false});
  }
  for (; next < named.size(); ++next)
    tell(named[next]);
}
