#include "tests/importer/MutationOracle.h"

#include "tests/importer/BoardDump.h"

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

void Subtract(TObjectKeys& from, const TObjectKeys& what) {
  for (const auto& [key, count] : what) {
    const auto found = from.find(key);
    if (found == from.end())
      continue;
    found->second -= count;
    if (found->second <= 0)
      from.erase(found);
  }
}

TObjectKeys Missing(const TObjectKeys& required, const TObjectKeys& kept) {
  TObjectKeys missing;
  for (const auto& [key, count] : required) {
    const auto found = kept.find(key);
    const int have = found == kept.end() ? 0 : found->second;
    if (have < count)
      missing[key] = count - have;
  }
  return missing;
}

// The report's warnings (load and import), as written.
std::vector<std::string> Warnings(const std::string& report) {
  std::vector<std::string> warnings;
  for (size_t at = report.find("\r\nWARNING: "); at != std::string::npos;
       at = report.find("\r\nWARNING: ", at + 2))
    warnings.push_back(report.substr(at + 2, report.find("\r\n", at + 2) - at - 2));
  return warnings;
}

// The key of the same object without a net.
std::string WithoutNet(const std::string& key) {
  const size_t net = key.find(" net=", key.find('\x02'));
  if (net == std::string::npos)
    return key;
  const size_t end = key.find(" layer=", net);
  return key.substr(0, net) + " net=-" + key.substr(end);
}

// A text as the board's dump quotes it: in double quotes, "\\" and "\"" escaped, control
// characters written "\xNN".
std::string DumpQuoted(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string quoted = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (c < 32 || c == 127) {
      quoted += {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    } else {
      quoted += static_cast<char>(c);
    }
  }
  return quoted + '"';
}

// A warning with each of its numbers written "#".
std::string Numberless(const std::string& warning) {
  std::string text;
  for (size_t i = 0; i < warning.size(); ++i) {
    const bool digit = warning[i] >= '0' && warning[i] <= '9';
    if (!digit)
      text += warning[i];
    else if (i == 0 || warning[i - 1] < '0' || warning[i - 1] > '9')
      text += '#';
  }
  return text;
}

}  // namespace

int WarningLine(const std::string& warning) {
  const size_t at = warning.find(" at line ");
  if (at == std::string::npos)
    return 0;
  return std::atoi(warning.c_str() + at + 9);
}

TObjectKeys ObjectKeys(const std::string& dump, bool placed) {
  const TBoardDump parsed = ParseBoardDump(dump);
  const long long originX = parsed.OriginX, originY = parsed.OriginY;
  const auto find = [&](const std::string& handle) { return parsed.Find(handle); };
  const auto designator = [&](const TDumpObject* component) {
    const TDumpObject* name = component ? find(DumpText(*component, "NameText")) : nullptr;
    return name ? DumpText(*name, "Text") : std::string("?");
  };
  // Whose an object is: the component's designator, or nothing for the board.
  const auto whose = [&](const std::string& handle) {
    const TDumpObject* owner = find(handle);
    return owner && owner->Kind == "component" ? "C:" + designator(owner) : std::string("-");
  };
  // A place relative to the origin; without places only its sign.
  const auto relative = [&](long long value) {
    if (placed)
      return std::to_string(value);
    return std::string(value < 0 ? "-" : value > 0 ? "+" : "0");
  };
  TObjectKeys keys;
  for (const TDumpObject& o : parsed.Objects) {
    std::string key = o.Kind + " owner=" + whose(DumpText(o, "owner"));
    if (o.Fields.count("of"))
      key += " of=" + whose(DumpText(o, "of"));
    std::string place, state;
    const auto x = [&](const char* field) {
      place += std::string(" ") + field + "=" + relative(DumpField(o, field) - originX);
    };
    const auto y = [&](const char* field) {
      place += std::string(" ") + field + "=" + relative(DumpField(o, field) - originY);
    };
    // What the place alone does not say (a radius, an angle): left out without places.
    const auto shape = [&](const char* field) {
      if (placed)
        place += std::string(" ") + field + "=" + DumpText(o, field);
    };
    const auto given = [&](const char* field) { state += std::string(" ") + field + "=" + DumpText(o, field); };
    // A width or size scales with the unit and grid: left out without places.
    const auto size = [&](const char* field) {
      if (placed)
        given(field);
    };
    const TDumpObject* net = find(DumpText(o, "net"));
    state += " net=" + (net ? DumpText(*net, "Name") : std::string("-"));
    given("layer");
    if (o.Kind == "track" || o.Kind == "fill") {
      x("X"), y("Y"), x("X2"), y("Y2");
      o.Kind == "track" ? size("Width") : given("Rotation");
    } else if (o.Kind == "arc") {
      x("X"), y("Y"), shape("Radius"), shape("StartAngle"), shape("EndAngle");
      size("LineWidth");
    } else if (o.Kind == "via") {
      x("X"), y("Y");
      size("Size"), size("HoleSize");
    } else if (o.Kind == "text") {
      key += " Text=" + DumpText(o, "Text");
      x("X"), y("Y");
      size("Size"), given("Rotation"), given("MirrorFlag"), size("LineWidth");
    } else if (o.Kind == "net") {
      key += " Name=" + DumpText(o, "Name");
    } else if (o.Kind == "component") {
      key += " " + designator(&o) + " ComponentString=" + DumpText(o, "ComponentString");
      x("X"), y("Y");
      given("Rotation");
    } else if (o.Kind == "pad") {
      key += " Name=" + DumpText(o, "Name");
      x("X"), y("Y");
      given("Rotation");
      for (const char* field : {"TopXSize", "TopYSize", "MidXSize", "MidYSize", "BotXSize",
                                "BotYSize", "HoleSize"})
        size(field);
      given("TopShape"), given("MidShape"), given("BotShape"), given("StackMode");
    } else if (o.Kind == "polygon") {
      key += " PolygonByte2=" + DumpText(o, "PolygonByte2");
      for (const auto& point : o.Points)
        if (point.size() >= 3)
          place += " [" + relative(std::atoll(point[1].c_str()) - originX) + " " +
                   relative(std::atoll(point[2].c_str()) - originY) + "]";
      size("TrackWidth"), size("GridSize");
    } else {
      for (const auto& [field, value] : o.Fields)
        if (field != "owner" && field != "of" && field != "net" && field != "layer")
          key += " " + field + "=" + value;
    }
    ++keys[key + '\x01' + place + '\x02' + state];
  }
  return keys;
}

std::string KeyPlace(const std::string& key) { return key.substr(0, key.find('\x02')); }

std::string KeyBase(const std::string& key) {
  // Objects with a name (texts, components, pads, nets) are known again by it and whose
  // they are: a text's place follows its size and turn.
  for (const char* unnamed : {"track ", "arc ", "via ", "fill ", "polygon "})
    if (key.rfind(unnamed, 0) == 0)
      return key.substr(0, key.find('\x02'));
  return key.substr(0, key.find('\x01'));
}

bool PromisesWhole(const std::string& warning) {
  for (const char* whole : {"; it was read", "; it was applied"})
    if (warning.size() >= strlen(whole) &&
        warning.compare(warning.size() - strlen(whole), std::string::npos, whole) == 0)
      return true;
  return false;
}

std::vector<std::string> NewWarnings(const std::string& report, const std::string& sample) {
  std::multiset<std::string> known;
  for (const std::string& warning : Warnings(sample))
    known.insert(Numberless(warning));
  std::vector<std::string> added;
  for (const std::string& warning : Warnings(report)) {
    const auto same = known.find(Numberless(warning));
    if (same != known.end())
      known.erase(same);
    else
      added.push_back(warning);
  }
  return added;
}

TMutationOracle::TMutationOracle(std::string sample, TImport import)
    : FSample(std::move(sample)), FImport(std::move(import)) {
  FSampleOutcome = FImport(FSample.GetText(), "the sample");
  FSampleKeys = ObjectKeys(FSampleOutcome.Dump, /*placed=*/true);
  FSampleUnplaced = ObjectKeys(FSampleOutcome.Dump, /*placed=*/false);
  for (const TKivoSample::TBlock& block : FSample.GetBlocks())
    if (block.Keyword == "COMPONENT" && block.Parent == TKivoSample::npos) {
      FScaleFrom = FSample.LineStart(block.Open);
      FComponentLineEnd = FScaleTo = FSample.LineEnd(block.Open);
      break;
    }
  // The unit and grid are read from the first line of COMPONENT to the last of the items
  // that set them; a later edit cannot change them.
  for (const TKivoSample::TBlock& block : FSample.GetBlocks())
    if (block.Role == TKivoSample::brGlobal &&
        (block.Keyword == "KIVOVREV" || block.Keyword == "DBUNIT" || block.Keyword == "DBGRID"))
      FScaleTo = std::max(FScaleTo, FSample.LineEnd(block.Close));
}

size_t TMutationOracle::WidenedStart(size_t block) const {
  return FSample.LineStart(FSample.GetBlocks()[block].Open);
}

size_t TMutationOracle::WidenedEnd(size_t block) const {
  return FSample.LineEnd(FSample.GetBlocks()[block].Close);
}

bool TMutationOracle::Overlaps(size_t block, const TEdit& edit) const {
  return WidenedStart(block) <= edit.To && WidenedEnd(block) >= edit.From;
}

std::vector<TMutationOracle::TEdit> TMutationOracle::EditsOf(const TMutant& mutant) const {
  // The sample's spans [a, b) that the mutant deleted or changed, and the places it
  // wrote into (a == b): the gaps between the sample's bytes it kept.
  struct TSpan {
    size_t From, To;
    bool Bracket;
  };
  std::vector<TSpan> spans;
  const size_t size = FSample.GetText().size();
  size_t expected = 0;
  for (size_t i = 0; i < mutant.Origin.size(); ++i) {
    const int32_t origin = mutant.Origin[i];
    if (origin < 0) {
      spans.push_back({expected, expected, mutant.Text[i] == '['});
      continue;
    }
    const size_t at = static_cast<size_t>(origin);
    if (at > expected)
      spans.push_back({expected, at, false});
    expected = at + 1;
  }
  if (expected < size)
    spans.push_back({expected, size, false});
  std::vector<TEdit> edits;
  for (const TSpan& span : spans) {
    const TEdit edit{FSample.LineStart(span.From), FSample.LineEnd(span.To), span.Bracket};
    if (!edits.empty() && edit.From <= edits.back().To + 1) {
      edits.back().To = std::max(edits.back().To, edit.To);
      edits.back().WritesAttribute = edits.back().WritesAttribute || edit.WritesAttribute;
    } else {
      edits.push_back(edit);
    }
  }
  return edits;
}

TMutationOracle::TReach TMutationOracle::ReachOf(const TEdit& edit) const {
  const std::vector<TKivoSample::TBlock>& blocks = FSample.GetBlocks();
  const size_t size = FSample.GetText().size();
  TReach reach;
  reach.Structure = edit.To;
  reach.Scale = edit.From <= FScaleTo && edit.To >= FScaleFrom;
  const std::vector<size_t>& attributes = FSample.GetAttributes();
  reach.Attribute = edit.WritesAttribute ||
                    std::any_of(attributes.begin(), attributes.end(),
                                [&](size_t a) { return a >= edit.From && a <= edit.To; });
  if (edit.From <= FComponentLineEnd) {
    reach.Structure = size;
    reach.Declaration = true;
    return reach;
  }
  bool inside = false;
  for (size_t b = 0; b < blocks.size(); ++b) {
    if (blocks[b].Keyword == "DETAIL" && blocks[b].Role == TKivoSample::brOther &&
        FSample.LineStart(blocks[b].Open) <= edit.To &&
        FSample.LineEnd(blocks[b].Open) >= edit.From)
      reach.Structure = std::max(reach.Structure, WidenedEnd(b));
    if (blocks[b].Role != TKivoSample::brSection || !Overlaps(b, edit))
      continue;
    reach.Structure = std::max(reach.Structure, WidenedEnd(b));
    inside = inside || (WidenedStart(b) <= edit.To && edit.To <= WidenedEnd(b));
    if (blocks[b].Keyword == "ENVIRONMENT" || blocks[b].Keyword == "PAD_STACK")
      reach.Declaration = true;
  }
  if (!inside)
    for (size_t b = 0; b < blocks.size(); ++b)
      if (blocks[b].Role == TKivoSample::brSection && WidenedStart(b) > edit.To) {
        reach.Structure = std::max(reach.Structure, WidenedEnd(b));
        reach.Declaration = reach.Declaration || blocks[b].Keyword == "ENVIRONMENT" ||
                            blocks[b].Keyword == "PAD_STACK";
        break;
      }
  if (reach.Attribute) {
    const std::vector<size_t>& layers = FSample.GetLayerAttributes();
    const auto next = std::upper_bound(layers.begin(), layers.end(), edit.To);
    reach.Drawing = next == layers.end() ? size : *next;
  }
  return reach;
}

bool TMutationOracle::NamesPlace(size_t at) const {
  const std::vector<TKivoSample::TBlock>& blocks = FSample.GetBlocks();
  for (size_t b = 0; b < blocks.size(); ++b) {
    if ((blocks[b].Role == TKivoSample::brUnit || blocks[b].Role == TKivoSample::brGlobal) &&
        WidenedStart(b) <= at && at <= WidenedEnd(b))
      return true;
    // The first line of DETAIL, which holds every object.
    if (blocks[b].Keyword == "DETAIL" && blocks[b].Role == TKivoSample::brOther &&
        FSample.LineStart(blocks[b].Open) <= at && at <= FSample.LineEnd(blocks[b].Open))
      return true;
  }
  const std::vector<size_t>& attributes = FSample.GetAttributes();
  return std::any_of(attributes.begin(), attributes.end(), [&](size_t a) {
    return FSample.LineStart(a) <= at && at <= FSample.LineEnd(a);
  });
}

std::vector<size_t> TMutationOracle::UnitsOf(size_t block) const {
  std::vector<size_t> units{block};
  if (FSample.GetBlocks()[block].Keyword == "COMP_DEF")
    for (size_t instance : FSample.InstancesOf(block))
      units.push_back(instance);
  return units;
}

size_t TMutationOracle::UnitAt(size_t offset) const {
  const std::vector<TKivoSample::TBlock>& blocks = FSample.GetBlocks();
  for (size_t b = 0; b < blocks.size(); ++b)
    if (blocks[b].Role == TKivoSample::brUnit && blocks[b].Open <= offset && offset <= blocks[b].Close)
      return b;
  return TKivoSample::npos;
}

const TMutationOracle::TUnitObjects& TMutationOracle::UnitObjectsOf(size_t unit) {
  auto found = FUnitObjects.find(unit);
  if (found != FUnitObjects.end())
    return found->second;
  TUnitObjects objects;
  // A definition makes no object of its own: its instances do.
  if (FSample.GetBlocks()[unit].Keyword != "COMP_DEF") {
    const THostileOutcome without =
        FImport(FSample.Without({unit}), "the sample without the block at offset " +
                                             std::to_string(FSample.GetBlocks()[unit].Open));
    for (const bool placed : {true, false}) {
      const TObjectKeys& sample = placed ? FSampleKeys : FSampleUnplaced;
      const TObjectKeys rest = ObjectKeys(without.Dump, placed);
      (placed ? objects.Objects : objects.UnplacedObjects) = Missing(sample, rest);
      (placed ? objects.Leaves : objects.UnplacedLeaves) = Missing(rest, sample);
    }
  }
  return FUnitObjects[unit] = objects;
}

std::vector<size_t> ReaderLineStarts(const std::string& text) {
  std::vector<size_t> starts{0};
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      ++i;
    if (text[i] == '\r' || text[i] == '\n')
      starts.push_back(i + 1);
  }
  return starts;
}

std::vector<std::pair<size_t, size_t>> TMutationOracle::ToldSpans(
    const TMutant& mutant, const std::vector<std::string>& added, bool lossesOnly) const {
  const std::string& text = mutant.Text;
  const std::vector<size_t> starts = ReaderLineStarts(text);
  // The first of the sample's bytes kept at or after a mutant's offset.
  const auto sampleAt = [&](size_t at) {
    for (; at < mutant.Origin.size(); ++at)
      if (mutant.Origin[at] >= 0)
        return static_cast<size_t>(mutant.Origin[at]);
    return FSample.GetText().size();
  };
  std::vector<std::pair<size_t, size_t>> spans;
  for (const std::string& warning : added) {
    const int line = WarningLine(warning);
    if (line <= 0 || (lossesOnly && PromisesWhole(warning)))
      continue;
    // The warning's line, and the lines of the objects it tells left out: "(line A)"
    // or "(lines A to B)".
    const auto add = [&](long from, long to) {
      if (from < 1 || to < from || static_cast<size_t>(to) > starts.size())
        return;
      const size_t next = static_cast<size_t>(to) < starts.size() ? starts[static_cast<size_t>(to)]
                                                                   : text.size();
      spans.emplace_back(sampleAt(starts[static_cast<size_t>(from) - 1]), sampleAt(next));
    };
    add(line, line);
    long from = 0, to = 0;
    if (const size_t at = warning.rfind(" (line"); at != std::string::npos &&
        (std::sscanf(warning.c_str() + at, " (lines %ld to %ld)", &from, &to) == 2 ||
         (std::sscanf(warning.c_str() + at, " (line %ld)", &from) == 1 && (to = from) != 0)))
      add(from, to);
  }
  return spans;
}

TObjectKeys TMutationOracle::Expected(const TMutant& mutant, bool placed) {
  TObjectKeys expected = placed ? FSampleKeys : FSampleUnplaced;
  Rename(mutant, placed, expected);
  for (const TMutant::TTextChange& change : mutant.TextChanges) {
    const size_t unit = UnitAt(change.At);
    if (unit == TKivoSample::npos)
      continue;
    const std::string from = " Text=" + DumpQuoted(change.From) + '\x01';
    const std::string to = " Text=" + DumpQuoted(change.To) + '\x01';
    for (size_t u : UnitsOf(unit)) {
      const TUnitObjects& objects = UnitObjectsOf(u);
      for (const auto& [key, count] : placed ? objects.Objects : objects.UnplacedObjects) {
        const size_t at = key.find(from);
        if (key.rfind("text ", 0) != 0 || at == std::string::npos)
          continue;
        std::string changed = key;
        changed.replace(at, from.size(), to);
        Subtract(expected, {{key, count}});
        expected[changed] += count;
      }
    }
  }
  return expected;
}

std::string TMutationOracle::Check(const TMutant& mutant, const THostileOutcome& outcome) {
  const bool valid = mutant.Kind == TMutant::mkUnusual;
  if (!outcome.Result && !valid) {
    ++FFigures.Refused;
    return {};
  }
  const std::vector<std::string> added = NewWarnings(outcome.Report, FSampleOutcome.Report);
  const std::vector<TEdit> edits = EditsOf(mutant);
  std::vector<TReach> reaches;
  bool scale = false;
  for (const TEdit& edit : edits) {
    reaches.push_back(ReachOf(edit));
    scale = scale || reaches.back().Scale;
  }
  // Only damage may change the unit or grid.
  const bool placed = !scale || mutant.Kind != TMutant::mkDamage;
  FFigures.Unplaced += !placed;
  // A unit's objects, and what its loss leaves, as the mutant's renames make them.
  const auto objectsOf = [&](size_t unit) {
    const TUnitObjects& objects = UnitObjectsOf(unit);
    return Changed(mutant, unit, placed ? objects.Objects : objects.UnplacedObjects);
  };
  const TObjectKeys kept = ObjectKeys(outcome.Dump, placed);
  const TObjectKeys expected = Expected(mutant, placed);
  const std::vector<size_t> units = FSample.BlocksOf(TKivoSample::brUnit);
  std::string problems;
  std::vector<std::pair<size_t, size_t>> told;
  TObjectKeys missing, extra;

  if (valid) {
    // Rule 6: as the sample imports.
    if (!outcome.Result)
      problems += " it answered False;";
    for (const std::string& warning : added)
      problems += " it told \"" + warning + "\";";
    missing = Missing(expected, kept);
    extra = Missing(kept, expected);
  } else {
    // Rule 3: what damage may lose or change untold.
    std::set<size_t> silent;
    if (mutant.Kind == TMutant::mkDamage)
      for (size_t unit : units)
        if (std::any_of(edits.begin(), edits.end(), [&](const TEdit& e) { return Overlaps(unit, e); }))
          for (size_t u : UnitsOf(unit))
            silent.insert(u);
    TObjectKeys required = expected;
    for (size_t unit : silent)
      Subtract(required, objectsOf(unit));
    const bool lostInside = Missing(required, kept).empty();

    // Rule 4: what the edits' reaches may lose, told in or before the lost unit.
    told = ToldSpans(mutant, added);
    const std::set<size_t> reached = ToldUnits(edits, reaches, told, silent);
    for (size_t unit : reached)
      Subtract(required, objectsOf(unit));
    missing = Missing(required, kept);

    // Rule 5: what no lost unit leaves is new. An object kept without the net that a loss
    // took from it is what that loss leaves too.
    extra = Missing(kept, expected);
    PlaceRenamedTexts(mutant, missing, extra);
    std::set<size_t> accounted = silent;
    accounted.insert(reached.begin(), reached.end());
    for (size_t unit : accounted) {
      const TUnitObjects& objects = UnitObjectsOf(unit);
      Subtract(extra, Changed(mutant, unit, placed ? objects.Leaves : objects.UnplacedLeaves));
      for (const auto& [key, count] : objectsOf(unit))
        if (const std::string netless = WithoutNet(key); netless != key)
          Subtract(extra, {{netless, count}});
    }
    // Damage, and damage to be named (which rule 7 holds to its warning), changes what
    // follows an edited attribute or declaration.
    if ((mutant.Kind == TMutant::mkDamage || mutant.Kind == TMutant::mkMustName) && !extra.empty())
      LetDamageChange(edits, reaches, silent, expected, kept, placed, missing, extra);
    // An object a told loss changed (one of the same kind and owner, and name where it
    // has one, with another place, drawing state, net or pad) goes with that loss, where
    // a warning that tells a loss accounts for its unit: as many as the unit had.
    if (!extra.empty()) {
      const std::set<size_t> changed =
          ToldUnits(edits, reaches, ToldSpans(mutant, added, /*lossesOnly=*/true), silent);
      const auto whose = [](const std::string& key) { return key.substr(0, key.find('\x01')); };
      std::map<std::string, int> changeable;
      for (size_t unit : changed)
        for (const auto& [key, count] : objectsOf(unit))
          changeable[whose(key)] += count;
      for (auto it = extra.begin(); it != extra.end();) {
        int& left = changeable[whose(it->first)];
        const int excused = std::min(left, it->second);
        left -= excused;
        it->second -= excused;
        it = it->second == 0 ? extra.erase(it) : std::next(it);
      }
    }
    if (mutant.MustWarn && added.empty())
      problems += " it told nothing;";
    if (mutant.Kind == TMutant::mkMustName) {
      TObjectKeys lost = Missing(expected, kept), made = Missing(kept, expected);
      PlaceRenamedTexts(mutant, lost, made);
      problems += Unnamed(mutant, added, lost, made);
    }
    if (problems.empty() && missing.empty() && extra.empty()) {
      const TObjectKeys lost = Missing(expected, kept);
      ++(lost.empty() ? FFigures.KeptAll : lostInside ? FFigures.LostInside : FFigures.LostTold);
      return {};
    }
  }
  if (problems.empty() && missing.empty() && extra.empty()) {
    ++FFigures.KeptAll;
    return {};
  }

  ++FFigures.Failed;
  return Failure(mutant, edits, told, added, problems, missing, extra, placed);
}

std::set<size_t> TMutationOracle::ToldUnits(const std::vector<TEdit>& edits,
                                            const std::vector<TReach>& reaches,
                                            const std::vector<std::pair<size_t, size_t>>& told,
                                            const std::set<size_t>& silent) const {
  std::set<size_t> reached;
  const auto reach = [&](size_t unit) {
    for (size_t u : UnitsOf(unit))
      if (!silent.count(u))
        reached.insert(u);
  };
  const std::vector<size_t> units = FSample.BlocksOf(TKivoSample::brUnit);
  // Whether each told line names a place where objects are read (c), asked once.
  std::vector<bool> namesPlace;
  for (const auto& span : told)
    namesPlace.push_back(NamesPlace(span.first));
  for (size_t e = 0; e < edits.size(); ++e) {
    const TEdit& edit = edits[e];
    const TReach& r = reaches[e];
    for (size_t unit : units) {
      const size_t start = WidenedStart(unit), end = WidenedEnd(unit);
      if (end < edit.From)
        continue;
      // Told at or after the edit's first line, in or before the unit's block.
      const auto toldBy = [&](bool atPlace) {
        for (size_t s = 0; s < told.size(); ++s)
          if (told[s].second >= edit.From && told[s].first <= end && (!atPlace || namesPlace[s]))
            return true;
        return false;
      };
      const bool inReach =
          start <= r.Structure || (r.Drawing != TKivoSample::npos && start <= r.Drawing);
      if ((inReach && toldBy(false)) || (r.Declaration && toldBy(true)))
        reach(unit);
    }
  }
  // (d) a loss told at its unit's lines, after an edit.
  for (const auto& span : told) {
    if (edits.empty() || span.second < edits.front().From)
      continue;
    const size_t last = span.second > span.first ? span.second - 1 : span.first;
    for (size_t unit : units)
      if (WidenedStart(unit) <= last && WidenedEnd(unit) >= span.first)
        reach(unit);
  }
  return reached;
}

void TMutationOracle::LetDamageChange(const std::vector<TEdit>& edits,
                                      const std::vector<TReach>& reaches,
                                      const std::set<size_t>& silent, const TObjectKeys& expected,
                                      const TObjectKeys& kept, bool placed, TObjectKeys& missing,
                                      TObjectKeys& extra) {
  // Damage writes what it writes (another instance of a name too); it restates an object
  // of the sample (the same object at the same place, given another layer, width, net...)
  // only where it may change it: in the units it touches, after an edited attribute or
  // declaration.
  std::set<size_t> changeable = silent;
  for (size_t e = 0; e < edits.size(); ++e)
    if (reaches[e].Attribute || reaches[e].Declaration)
      for (size_t unit : FSample.BlocksOf(TKivoSample::brUnit))
        if (WidenedEnd(unit) >= edits[e].From)
          for (size_t u : UnitsOf(unit))
            changeable.insert(u);
  TObjectKeys mayChange;
  for (size_t unit : changeable)
    for (const auto& [key, count] : placed ? UnitObjectsOf(unit).Objects : UnitObjectsOf(unit).UnplacedObjects)
      mayChange[key] = std::max(mayChange[key], count);
  std::map<std::string, int> restated;
  std::set<std::string> fixed;
  for (const auto& [key, count] : extra)
    restated[KeyBase(key)] += count;
  for (const auto& [key, count] : Missing(expected, kept))
    if (!mayChange.count(key))
      fixed.insert(KeyPlace(key));
  // An object changed where it may change is not lost.
  for (auto it = missing.begin(); it != missing.end();) {
    int& changed = restated[KeyBase(it->first)];
    const int excused = mayChange.count(it->first) ? std::min(changed, it->second) : 0;
    changed -= excused;
    it->second -= excused;
    it = it->second == 0 ? missing.erase(it) : std::next(it);
  }
  for (auto it = extra.begin(); it != extra.end();)
    it = fixed.count(KeyPlace(it->first)) ? std::next(it) : extra.erase(it);
}

std::string TMutationOracle::Failure(const TMutant& mutant, const std::vector<TEdit>& edits,
                                     const std::vector<std::pair<size_t, size_t>>& told,
                                     const std::vector<std::string>& added,
                                     const std::string& problems, const TObjectKeys& missing,
                                     const TObjectKeys& extra, bool placed) {
  std::string failure =
      std::string(mutant.Kind == TMutant::mkUnusual   ? " (valid but unusual: "
                  : mutant.Kind == TMutant::mkMustTell ? " (damage to be told: "
                  : mutant.Kind == TMutant::mkMustName ? " (damage to be named: "
                                                       : " (damage") +
      mutant.What + ") edits at lines";
  for (size_t e = 0; e < edits.size(); ++e) {
    if (e == 8) {
      failure += " ...";
      break;
    }
    failure += " " + std::to_string(FSample.LineOf(edits[e].From)) + "-" +
               std::to_string(FSample.LineOf(edits[e].To));
  }
  failure += " of the sample; new warnings naming a line:";
  if (told.empty())
    failure += " none";
  for (const auto& span : told)
    failure += " " + std::to_string(FSample.LineOf(span.first));
  std::string lineless;
  for (const std::string& warning : added)
    if (WarningLine(warning) == 0)
      lineless += " \"" + warning + "\"";
  failure += "; new warnings without a line:" + (lineless.empty() ? std::string(" none") : lineless);
  failure += problems.empty() ? std::string() : ";" + problems.substr(0, problems.size() - 1);
  if (!missing.empty())
    failure += "; lost beyond what it may:" + Describe(missing, FSample.BlocksOf(TKivoSample::brUnit), placed);
  if (!extra.empty())
    failure += "; made what the sample does not have:" + Describe(extra, {}, placed);
  return failure;
}

std::string TMutationOracle::Describe(const TObjectKeys& keys, const std::vector<size_t>& units,
                                      bool placed) {
  std::string text;
  int shown = 0;
  for (const auto& [key, count] : keys) {
    if (++shown > 8) {
      text += " ...";
      break;
    }
    std::string from;
    for (size_t unit : units) {
      const TUnitObjects& objects = UnitObjectsOf(unit);
      if (!(placed ? objects.Objects : objects.UnplacedObjects).count(key))
        continue;
      const size_t open = FSample.GetBlocks()[unit].Open;
      from = " of the " + FSample.GetBlocks()[unit].Keyword + " block at line " +
             std::to_string(FSample.LineOf(open));
      break;
    }
    std::string shownKey = key;
    std::replace(shownKey.begin(), shownKey.end(), '\x01', ' ');
    std::replace(shownKey.begin(), shownKey.end(), '\x02', '|');
    text += " " + std::to_string(count) + " x [" + shownKey + "]" + from + ";";
  }
  return text;
}
