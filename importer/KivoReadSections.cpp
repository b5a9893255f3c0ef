#include "importer/KivoFile.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <vector>

#include "classlib/Strings.h"
#include "importer/KivoReading.h"
#include "importer/ReportManager.h"
#include "pcb/PcbApi.h"

using namespace KivoReading;

void TKivoFile::ParseSections() {
  // A "}" is passed over: only the end of the file ends the sections. The file was cut
  // short (or is short of braces) when it ends inside a section, or before the COMPONENT
  // block's "}". Only the braces the reading takes for blocks count, not those of
  // comments, texts or values.
  const TKivoLevels::TScope level(FLevels, KivoLevel::Component);
  bool closed = false;
  for (;;) {
    int code;
    if (!FLevels.Next(code)) {
      if (FLevels.EndedAtEof())
        break;
      closed = true;
      continue;
    }
    switch (code) {
      case kwENVIRONMENT:
        // A second one declares more layers; what it gives again (a unit, a grid...) is
        // told, and the first holds.
        if (FEnvironmentAt < 0)
          FEnvironmentAt = FFile.Position();
        else if (FReport)
          FReport->AddLineWarning("The ENVIRONMENT block", LineAt(FFile.Position()),
                                  " is not the file's first (line " +
                                      std::to_string(LineAt(FEnvironmentAt)) +
                                      "): " + KivoReference(rkEnvironment).Twice);
        ParseEnvironment();
        break;
      case kwDISPLAY:
        ParseDisplay();
        break;
      case kwDETAIL:
        CheckUnitScale();
        ParseDetail();
        break;
      case kwUSER:
      case kwAPERTURE_TABLE:
      case kwSYMBOL:
        FLevels.Skip(code, TKivoContent::Anything);
        break;
      case kwANNOTATE:
      case kwNET_DEF:
      case kwPAD_STACK:
      case kwSUBCOMP:
        // A section of DETAIL outside it: told (unless the block it lay in told it), read.
        if (!FLevels.GivenBack())
          FLevels.TellReadInside(code, "COMPONENT");
        ParseDetailSection(code);
        break;
      default:
        FLevels.NotRead(code);
        break;
    }
  }
  if (!FLevels.EndedInside().empty())
    ReportEndedInside(FLevels.EndedInside());
  else if (!closed)
    ReportEndedInside("COMPONENT");
}

void TKivoFile::ParseEnvironment() {
  const TKivoLevels::TScope level(FLevels, KivoLevel::Environment);
  TKivoEnvironment& env = FBoardComponent->GetEnvironment();
  std::string value;
  // An entry of one value given again (in this block or another ENVIRONMENT) is told and
  // not used: the first holds.
  const auto first = [&](int code, int64_t at, const char* key) {
    return FirstEnvironmentValue(code, at, value, std::string(key) + " \"" + value + "\"");
  };
  for (int code; FLevels.Next(code);) {
    const TBlockAttributes own(*this);
    const int64_t at = FFile.Position();
    switch (code) {
      case kwKIVOVREV:
        if (ReadListValue(code, "Value of KIVOVREV", value) && first(code, at, "KIVOVREV"))
          env.SetVersion(value);
        break;
      case kwPROGRAM:
        if (ReadListValue(code, "Value of PROGRAM", value) && first(code, at, "PROGRAM"))
          env.SetProgram(value);
        break;
      case kwDBTYPE:
        if (ReadListValue(code, "Value of DBTYPE", value) && first(code, at, "DBTYPE"))
          env.SetDatabaseType(SameText(value, "PC-Board") ? 3 : SameText(value, "Schematic") ? 1 : 0);
        break;
      case kwDBVREV:
        if (ReadListValue(code, "Value of DBVREV", value) && first(code, at, "DBVREV"))
          env.SetDatabaseVersion(value);
        break;
      case kwDBTIME:
        if (ReadListValue(code, "Value of DBTIME", value) && first(code, at, "DBTIME"))
          env.SetDatabaseTime(value);
        break;
      case kwDBUNIT: {
        if (!ReadListValue(code, "Value of DBUNIT", value))
          break;
        const TKivoUnit unit = KivoUnitOf(value, env.GetVersion());
        // The first unit known holds: a later one would scale what follows otherwise.
        if (unit.Code != 0 && !FirstEnvironmentValue(code, at, value, "DBUNIT \"" + value + "\"", rkUnit))
          break;
        if (unit.Code != 0) {
          env.SetUnitCode(unit.Code);
          FDisplay.SetUnitScale(unit.Scale);
          FRealCoordinates = unit.RealCoordinates;
          CheckScale();
        } else if (FReport) {
          FReport->AddLineWarning("DBUNIT \"" + value + "\"", LineAt(at),
                                  " is not one of the units CMM, MM, UM, CENTIMIL and MIL: "
                                  "it was passed over");
        }
        break;
      }
      case kwDBGRID:
        PassToValue(code, /*name=*/false);
        if (!EnvironmentValue(code)) {
          ReadGrid();
          FirstEnvironmentValue(code, at, GetLastTokenText(FFile), "", rkGrid);
        } else {
          ReadIntegerValue(FFile);
          FirstEnvironmentValue(code, at, GetLastTokenText(FFile), "DBGRID " + GetLastTokenText(FFile), rkGrid);
        }
        break;
      case kwLYRSTR:
        while (ReadListValue(code, "Value of LYRSTR", value) && !value.empty()) {
          const int64_t named = FFile.Position();
          const int32_t id = ReadListInteger(code);
          CheckLayerName(value, id, named);
          env.AddLayerString(value, id);
        }
        break;
      case kwLYRPHID: {
        const int64_t at = FFile.Position();
        while (ReadListValue(code, "Value of LYRPHID", value) && !value.empty()) {
          TKivoPhysicalId id;
          id.Value1 = IntegerOf(value);
          id.Value2 = ReadListInteger(code);
          id.Value3 = ReadListInteger(code);
          env.GetPhysicalIds().push_back(id);
        }
        const size_t ids = env.GetPhysicalIds().size();
        const int strings = env.GetLayerStrings().GetCount();
        if (ids != static_cast<size_t>(strings) && FReport) {
          FReport->AddLoadWarning(lwLayerCountMismatch);
          FReport->AddLineDetail(
              "The LYRPHID block", LineAt(at),
              " lists " + std::to_string(ids) + (ids == 1 ? " physical layer id" : " physical layer ids") +
                  " for the " + std::to_string(strings) +
                  (strings == 1 ? " layer string of LYRSTR" : " layer strings of LYRSTR"));
        }
        break;
      }
      case kwSSYMTBL:
        while (ReadListValue(code, "Value of SSYMTBL", value) && !value.empty()) {
          TKivoSymbolEntry entry;
          entry.Id = IntegerOf(value);
          const int32_t flag = ReadListInteger(code);
          entry.Flag = flag == -2 ? 2 : flag == -1 ? 1 : 0;
          entry.Value1 = ReadListInteger(code);
          entry.Value2 = ReadListInteger(code);
          env.GetSymbolTable().push_back(entry);
        }
        break;
      case kwAPR:
        while (ReadListValue(code, "Value of APR", value) && !value.empty())
          env.GetApertures().push_back(IntegerOf(value));
        break;
      case kwPCLR:
      case kwPOLYAP:
      case kwPSIZ:
      case kwROTP: {
        const double number = ReadListFloat(code);
        const std::string text = GetLastTokenText(FFile);
        if (!FirstEnvironmentValue(code, at, text, std::string(KivoKeywordText(code)) + " " + text))
          break;
        if (code == kwPCLR)
          env.SetPCLR(number);
        else if (code == kwPOLYAP)
          env.SetPOLYAP(number);
        else if (code == kwPSIZ)
          env.SetPSIZ(number);
        else
          env.SetROTP(number == 0);
        break;
      }
      case kwSSTFile:
        if (ReadListValue(code, "Value of SSTFile", value) && first(code, at, "SSTFile"))
          env.SetSSTFile(value);
        break;
      default:
        FLevels.NotRead(code);
        PcbApiPercentUpdate();
        continue;
    }
    FLevels.Skip(code, TKivoContent::Values);
    PcbApiPercentUpdate();
  }
  if (env.GetDatabaseType() == 1 && FReport)
    FReport->SetLoadSection(0);
}

void TKivoFile::ReadGrid() {
  int32_t grid = ReadIntegerValue(FFile);
  const bool readable = !GetNumberError(FFile);
  if (__builtin_expect(!readable || grid == 0, 0)) {
    // Every coordinate is multiplied by the grid: 0 (or the -32000 of an unreadable
    // number) would put every object at the origin, or mirror and scale it off the board.
    const std::string text = GetLastTokenText(FFile);
    if (FReport)
      FReport->AddLineWarning(
          readable ? "DBGRID 0" : text.empty() ? "DBGRID" : "DBGRID " + text,
          LineAt(FFile.Position()),
          std::string(readable        ? " would make every coordinate 0"
                      : text.empty() ? " has no value"
                                     : " is not a whole number") +
              ": a grid of 1 was used");
    grid = 1;
  }
  if (__builtin_expect(grid < 0, 0)) {
    // It would turn the board about the origin and make every width and size negative
    // (refused): the board keeps its shape at the grid's size.
    const int32_t size = grid == INT32_MIN ? INT32_MAX : -grid;
    if (FReport)
      FReport->AddLineWarning("DBGRID " + std::to_string(grid), LineAt(FFile.Position()),
                              " is negative: a grid of " + std::to_string(size) + " was used");
    grid = size;
  }
  FDisplay.SetGrid(grid);
  FBoardComponent->GetEnvironment().SetGrid(grid);
  CheckScale();
}

void TKivoFile::CheckUnitScale() {
  if (__builtin_expect(!FNoScale, 1))
    return;
  if (FDisplay.GetGrid() == 0) {
    // As a DBGRID of 0 is: the board keeps its shape at the unit's own step.
    FDisplay.SetGrid(1);
    FBoardComponent->GetEnvironment().SetGrid(1);
    if (FReport)
      FReport->AddLineWarning("The DETAIL block", LineAt(FFile.Position()),
                              " has no DBGRID before it: a grid of 1 was used");
  }
  // There is no sound unit to assume: what is drawn without one is left out, told once.
  if (FDisplay.GetUnitScale() == 0 && FNoUnitAt < 0)
    FNoUnitAt = FFile.Position();
  CheckScale();
}

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
      auto& layers = FInPadDefinition ? FPadLayers : FLayers;
      auto [at, added] = layers.try_emplace(name);
      if (added)
        at->second.Position = FLayer.At;
      FCounting = &at->second.Counts;
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

void TKivoFile::ReportLayers() {
  if (!FReport)
    return;
  // What is told, in the order of the lines it names: the layers drawn on that no LYRSTR
  // entry declares, the layers other than the pads' own that pad definitions drew on, and
  // every [LY] whose value could not be read (they come in the order read).
  struct TTold {
    int64_t Position;
    const std::string* Name;  // null for an unreadable value
    const TLayerCounts* Counts;
    size_t Why;  // an unreadable value's reason
    bool Pad;
  };
  const TStringList& declared = FBoardComponent->GetEnvironment().GetLayerStrings();
  std::vector<TTold> named;
  for (const auto& [name, layer] : FLayers)
    if (layer.Counts.Count > 0 && declared.IndexOf(name) < 0)
      named.push_back({layer.Position, &name, &layer.Counts, 0, false});
  for (const auto& [name, layer] : FPadLayers)
    if (layer.Counts.Count > 0)
      named.push_back({layer.Position, &name, &layer.Counts, 0, true});
  // Positions compared in the order the records were made (pad layers after the others).
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
  // The lines of the objects counted, asked in rising order: one pass over the file; the
  // lines of the records themselves in a second, as they are told.
  std::vector<int64_t> objectAt;
  for (const TTold& told : named)
    objectAt.insert(objectAt.end(), {told.Counts->FirstAt, told.Counts->LastAt});
  for (const auto& [entry, counts] : FUnreadableCounts)
    if (counts.Count > 0)
      objectAt.insert(objectAt.end(), {counts.FirstAt, counts.LastAt});
  std::sort(objectAt.begin(), objectAt.end());
  objectAt.erase(std::unique(objectAt.begin(), objectAt.end()), objectAt.end());
  std::vector<int64_t> objectLine(objectAt.size());
  for (size_t i = 0; i < objectAt.size(); ++i)
    objectLine[i] = LineAt(objectAt[i]);
  const auto lineOfObject = [&](int64_t position) {
    return objectLine[static_cast<size_t>(
        std::lower_bound(objectAt.begin(), objectAt.end(), position) - objectAt.begin())];
  };
  const auto leftOut = [&](const TLayerCounts& counts, const char* where) {
    return ObjectsLeftOut(counts.Count, where, lineOfObject(counts.FirstAt),
                          lineOfObject(counts.LastAt));
  };
  const auto tell = [&](const TTold& told) {
    const int64_t line = LineAt(told.Position);
    if (told.Pad) {
      const TLayerCounts& counts = *told.Counts;
      const bool one = counts.Count == 1;
      const int64_t first = lineOfObject(counts.FirstAt), last = lineOfObject(counts.LastAt);
      FReport->AddLineWarning(
          "The layer \"" + *told.Name + "\"", line,
          " is none of the layers pads are made of (PADCOM, PADSLD, PADINT, DRILL, SLDMSK): " +
              std::to_string(counts.Count) + (one ? " object" : " objects") +
              " drawn on it in pad definitions may not make " + (one ? "its pads" : "their pads") +
              " as drawn" +
              (first == last ? " (line " + std::to_string(first) + ")"
                             : " (lines " + std::to_string(first) + " to " + std::to_string(last) + ")"));
      return;
    }
    if (told.Name) {
      FReport->AddLineWarning("The layer \"" + *told.Name + "\"", line,
                              " is not declared by the file's LYRSTR: " + leftOut(*told.Counts, "on it"));
      return;
    }
    std::string reason = kLayerUnreadable[told.Why];
    if (told.Counts && told.Counts->Count > 0)
      reason += "; " + leftOut(*told.Counts, "after it");
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
    tell({position, nullptr, own, static_cast<size_t>(FUnreadableLayers[entry] >> 56), false});
  }
  for (; next < named.size(); ++next)
    tell(named[next]);
}

void TKivoFile::ParseDisplay() {
  // Attributes only: a block in it is read where it belongs, or told and skipped.
  const TKivoLevels::TScope level(FLevels, KivoLevel::Display);
  for (int code; FLevels.Next(code);)
    FLevels.NotRead(code);
}

namespace {

// The display keywords an attribute may have that the reader does not use: passed over
// without a word.
bool IsOtherDisplayKey(int code) { return code >= kwVIEW && code <= kwPFC; }

}  // namespace

bool TKivoDisplayAttribute::TellsWhenApplied() const {
  return Refused || !OpenQuote.empty() || Cut || EndsAt != 0 ||
         (!SetsDrawingState() && !IsOtherDisplayKey(Key));
}

TKivoDisplayAttribute TKivoFile::ReadAttribute() {
  TKivoDisplayAttribute attribute;
  attribute.Start = FFile.Position();
  SkipListGap(FFile);  // a comment line before the key is passed, as between blocks
  attribute.Key = ReadWord();
  attribute.ValueAt = FFile.Position();
  switch (attribute.Key) {
    case kwAMT:
    case kwAPT:
      attribute.Real = ReadFloatValue(FFile);
      break;
    case kwLY:
    case kwLS:
    case kwTJ:
    case kwTM:
      // A value that ran over is told when applied (an unreadable layer at the end of
      // the reading, with what it left out).
      if (!ReadValue(/*item=*/nullptr, attribute.Text))
        attribute.Refused = NotClosedReason(FFile);
      else if (LastValueLeftOpen(FFile))
        attribute.OpenQuote = ValueLeftOpenReason(FFile);
      attribute.Cut = LastValueCut(FFile);
      break;
    case kwWD:
    case kwTS:
      BeginObject();
      attribute.Number = ReadNextKivoCoord();
      attribute.Refused = UnplaceableReason();
      if (!attribute.Refused && attribute.Number < 0)
        attribute.Refused = "it is negative";
      break;
    case kwTR: {
      // An unreadable rotation would turn the texts that follow by -32000 degrees.
      const int32_t r = ReadIntegerValue(FFile);
      attribute.Number = r == 1 ? 90 : r == 2 ? 180 : r == 3 ? 270 : r;
      if (GetNumberError(FFile))
        attribute.Refused = kNotWhole;
      break;
    }
    default:
      attribute.KeyText = GetLastTokenText(FFile);
      break;
  }
  attribute.End = FFile.Position();
  // An attribute that runs on into the next attribute or the blocks after it ends where
  // they begin (a value that ran over into them is told already, by its own reason).
  if (!ValueRanOver(FFile) && !SkipToCloseBracket(FFile)) {
    if (GetHeldBackChar(FFile) == '[')
      attribute.EndsAt = '[';
    else if (IsBraceHeldBack(FFile))
      attribute.EndsAt = '{';
  }
  return attribute;
}

void TKivoFile::ApplyAttribute(const TKivoDisplayAttribute& attribute) {
  if (__builtin_expect(!FBlockAttributes.empty(), 0))
    NoteAttributeApplied(attribute.Key);
  const std::string& value = attribute.Text;
  const char* refused = attribute.Refused;
  if (__builtin_expect(!attribute.OpenQuote.empty(), 0) && FReport)
    FReport->AddLineWarning("Value of " + std::string(KivoKeywordText(attribute.Key)) + " \"" +
                                value + "\"",
                            LineAt(attribute.ValueAt),
                            ": " + attribute.OpenQuote + "; it was read up to there");
  if (__builtin_expect(attribute.Cut, 0))
    ReportValueCut(attribute.ValueAt, "Value of " + std::string(KivoKeywordText(attribute.Key)),
                   value);
  switch (attribute.Key) {
    case kwAMT:
      FDisplay.SetAMT(attribute.Real);
      break;
    case kwAPT:
      FDisplay.SetAPT(attribute.Real);
      break;
    case kwLY:
      if (refused)
        SetUnreadableLayer(attribute.ValueAt, refused);
      else
        SetLayer(value, attribute.ValueAt);
      break;
    case kwLS:
      if (refused)
        ReportLeftOutAt(attribute.ValueAt, "Line style", refused);
      else
        FDisplay.SetLineStyle(SameText(value, "DASHED") ? 1 : SameText(value, "DOTTED") ? 2 : 0);
      break;
    case kwWD:
      if (refused)
        ReportLeftOutAt(attribute.End, "Line width", refused);
      else
        FDisplay.SetWidth(attribute.Number);
      break;
    case kwTS:
      if (refused)
        ReportLeftOutAt(attribute.End, "Text size", refused);
      else
        FDisplay.SetTextSize(attribute.Number);
      break;
    case kwTJ: {
      if (refused) {
        ReportLeftOutAt(attribute.ValueAt, "Text justification", refused);
        break;
      }
      const char h = value.size() > 0 ? value[0] : 0, v = value.size() > 1 ? value[1] : 0;
      FDisplay.SetHorizontalJustification(h == 'L' ? 1 : h == 'R' ? 2 : h == 'C' ? 5 : 0);
      FDisplay.SetVerticalJustification(v == 'T' ? 3 : v == 'B' ? 4 : v == 'C' ? 5 : 0);
      break;
    }
    case kwTR:
      if (refused)
        ReportLeftOutAt(attribute.End, "Text rotation", refused);
      else
        FDisplay.SetRotation(attribute.Number);
      break;
    case kwTM:
      if (refused)
        ReportLeftOutAt(attribute.ValueAt, "Text mirror", refused);
      else
        FDisplay.SetMirror(!value.empty() && value[0] == 'Y' ? 1 : 0);
      break;
    default:
      // A misspelt key would leave the objects after it in the drawing state before it.
      if (!IsOtherDisplayKey(attribute.Key) && FReport)
        FReport->AddLineWarning(attribute.KeyText.empty()
                                    ? std::string("The attribute with no key")
                                    : "The attribute " + attribute.KeyText,
                                LineAt(attribute.Start),
                                " is not one of those the reader knows: it was passed over");
      break;
  }
  if (attribute.EndsAt != 0 && FReport)
    FReport->AddLineWarning("The attribute", LineAt(attribute.Start),
                            attribute.EndsAt == '['
                                ? " is not closed by \"]\": it ends where the next attribute begins"
                                : " is not closed by \"]\": it ends where the next block begins");
}

void TKivoFile::ParseDetail() {
  const TKivoLevels::TScope level(FLevels, KivoLevel::Detail);
  for (int code; FLevels.Next(code);) {
    if (!ParseDetailSection(code))
      FLevels.NotRead(code);
    PcbApiPercentUpdate();
  }
}

bool TKivoFile::ParseDetailSection(int code) {
  switch (code) {
    case kwANNOTATE:
      ParseGraphics(KivoLevel::Annotate, FBoardComponent->GetDetail().GetAnnotations(),
                    {kwFL, kwDIMENSION});
      return true;
    case kwNET_DEF:
      ParseNetDef();
      return true;
    case kwPAD_STACK:
      ParsePadStack();
      return true;
    case kwSUBCOMP:
      ParseSubcomp();
      return true;
    default:
      return false;
  }
}

