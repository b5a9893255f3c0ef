#include "tests/importer/MutationOracle.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

// One object line of the board dump: "#H kind owner=... net=... Key=Value ... [points]".
struct TDumpObject {
  std::string Handle, Kind;
  std::map<std::string, std::string> Fields;  // numbers without their mil text
  std::vector<std::vector<std::string>> Points;
};

std::string Number(const std::string& value) { return value.substr(0, value.find('(')); }

TDumpObject ParseObject(const std::string& line) {
  TDumpObject object;
  size_t at = line.find(' ');
  object.Handle = line.substr(0, at);
  const size_t kind = at + 1;
  at = line.find(' ', kind);
  object.Kind = line.substr(kind, at - kind);
  while (at != std::string::npos && at < line.size()) {
    at = line.find_first_not_of(' ', at);
    if (at == std::string::npos)
      break;
    if (line[at] == '[') {
      const size_t close = line.find(']', at);
      std::vector<std::string> point;
      for (size_t p = at + 1; p < close;) {
        const size_t end = std::min(line.find(' ', p), close);
        point.push_back(Number(line.substr(p, end - p)));
        p = end + 1;
      }
      object.Points.push_back(point);
      at = close == std::string::npos ? close : close + 1;
      continue;
    }
    const size_t equals = line.find('=', at);
    if (equals == std::string::npos)
      break;
    const std::string key = line.substr(at, equals - at);
    size_t end = equals + 1;
    if (end < line.size() && line[end] == '"') {
      for (++end; end < line.size() && line[end] != '"'; ++end)
        end += line[end] == '\\';
      ++end;
      object.Fields[key] = line.substr(equals + 1, end - equals - 1);
    } else {
      end = line.find(' ', end);
      object.Fields[key] = Number(line.substr(equals + 1, end - equals - 1));
    }
    at = end;
  }
  return object;
}

long long Field(const TDumpObject& o, const char* key) {
  const auto found = o.Fields.find(key);
  return found == o.Fields.end() ? 0 : std::atoll(found->second.c_str());
}

std::string Text(const TDumpObject& o, const char* key) {
  const auto found = o.Fields.find(key);
  return found == o.Fields.end() ? std::string() : found->second;
}

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

// The key without its place.
std::string Unplaced(const std::string& key) { return key.substr(0, key.find('\x01')); }

TObjectKeys Unplaced(const TObjectKeys& keys) {
  TObjectKeys unplaced;
  for (const auto& [key, count] : keys)
    unplaced[Unplaced(key)] += count;
  return unplaced;
}

// The report's warnings that name a line, with the line's number written "#" (so that
// the sample's own warnings are known again in a mutant, wherever they moved).
std::vector<std::pair<std::string, int>> LineWarnings(const std::string& report) {
  std::vector<std::pair<std::string, int>> warnings;
  for (size_t at = 0; at < report.size();) {
    size_t end = report.find("\r\n", at);
    if (end == std::string::npos)
      end = report.size();
    const std::string line = report.substr(at, end - at);
    const int number = WarningLine(line);
    if (line.rfind("WARNING:", 0) == 0 && number > 0) {
      const size_t digits = line.find(" at line ") + 9;
      warnings.emplace_back(line.substr(0, digits) + "#" +
                                line.substr(line.find_first_not_of("0123456789", digits) ==
                                                    std::string::npos
                                                ? line.size()
                                                : line.find_first_not_of("0123456789", digits)),
                            number);
    }
    at = end + 2;
  }
  return warnings;
}

// The warnings of `report` that name no line and that `sample` does not hold, counted
// by text, for a failure's message.
std::string LinelessWarnings(const std::string& report, const std::string& sample) {
  const auto lineless = [](const std::string& text) {
    std::map<std::string, int> warnings;
    for (size_t at = text.find("\r\nWARNING: "); at != std::string::npos;
         at = text.find("\r\nWARNING: ", at + 2)) {
      const std::string line = text.substr(at + 11, text.find("\r\n", at + 2) - at - 11);
      if (WarningLine(line) == 0)
        ++warnings[line];
    }
    return warnings;
  };
  std::map<std::string, int> told = lineless(report);
  for (const auto& [warning, count] : lineless(sample))
    told[warning] -= count;
  std::string text;
  for (const auto& [warning, count] : told)
    if (count > 0)
      text += " " + std::to_string(count) + " x \"" + warning + "\"";
  return text.empty() ? " none" : text;
}

}  // namespace

int WarningLine(const std::string& warning) {
  const size_t at = warning.find(" at line ");
  if (at == std::string::npos)
    return 0;
  return std::atoi(warning.c_str() + at + 9);
}

TObjectKeys ObjectKeys(const std::string& dump, bool placed) {
  std::vector<TDumpObject> objects;
  std::map<std::string, size_t> byHandle;
  long long originX = 0, originY = 0;
  for (size_t at = 0; at < dump.size();) {
    size_t end = dump.find('\n', at);
    if (end == std::string::npos)
      end = dump.size();
    const std::string line = dump.substr(at, end - at);
    if (line.rfind('#', 0) == 0) {
      objects.push_back(ParseObject(line));
      byHandle[objects.back().Handle] = objects.size() - 1;
    } else if (line.rfind("origin ", 0) == 0) {
      const TDumpObject origin = ParseObject("#0 origin" + line.substr(6));
      originX = Field(origin, "X");
      originY = Field(origin, "Y");
    }
    at = end + 1;
  }
  const auto find = [&](const std::string& handle) -> const TDumpObject* {
    const auto found = byHandle.find(handle);
    return found == byHandle.end() ? nullptr : &objects[found->second];
  };
  const auto designator = [&](const TDumpObject* component) {
    const TDumpObject* name = component ? find(Text(*component, "NameText")) : nullptr;
    return name ? Text(*name, "Text") : std::string("?");
  };
  // Whose an object is: the component's designator, or nothing for the board.
  const auto whose = [&](const std::string& handle) {
    const TDumpObject* owner = find(handle);
    return owner && owner->Kind == "component" ? "C:" + designator(owner) : std::string("-");
  };
  TObjectKeys keys;
  for (const TDumpObject& o : objects) {
    std::string key = o.Kind + " owner=" + whose(Text(o, "owner"));
    if (o.Fields.count("of"))
      key += " of=" + whose(Text(o, "of"));
    const TDumpObject* net = find(Text(o, "net"));
    // A pad's net comes from the connections of its instance and the nets' names.
    if (o.Kind != "pad")
      key += " net=" + (net ? Text(*net, "Name") : std::string("-"));
    std::string place;
    const auto x = [&](const char* field) {
      place += std::string(" ") + field + "=" + std::to_string(Field(o, field) - originX);
    };
    const auto y = [&](const char* field) {
      place += std::string(" ") + field + "=" + std::to_string(Field(o, field) - originY);
    };
    const auto plain = [&](const char* field) { place += std::string(" ") + field + "=" + Text(o, field); };
    if (o.Kind == "track" || o.Kind == "fill") {
      x("X"), y("Y"), x("X2"), y("Y2");
    } else if (o.Kind == "arc") {
      x("X"), y("Y"), plain("Radius"), plain("StartAngle"), plain("EndAngle");
    } else if (o.Kind == "via") {
      x("X"), y("Y");
    } else if (o.Kind == "text") {
      key += " Text=" + Text(o, "Text");
    } else if (o.Kind == "net") {
      key += " Name=" + Text(o, "Name");
    } else if (o.Kind == "component") {
      key += " " + designator(&o) + " ComponentString=" + Text(o, "ComponentString") +
             " Rotation=" + Text(o, "Rotation");
      x("X"), y("Y");
    } else if (o.Kind == "pad") {
      key += " Name=" + Text(o, "Name") + " Rotation=" + Text(o, "Rotation");
      x("X"), y("Y");
    } else if (o.Kind == "polygon") {
      key += " PolygonByte2=" + Text(o, "PolygonByte2");
      for (const auto& point : o.Points)
        if (point.size() >= 3)
          place += " [" + std::to_string(std::atoll(point[1].c_str()) - originX) + " " +
                   std::to_string(std::atoll(point[2].c_str()) - originY) + "]";
    } else {
      for (const auto& [field, value] : o.Fields)
        if (field != "owner" && field != "of" && field != "net" && field != "layer")
          key += " " + field + "=" + value;
    }
    ++keys[placed ? key + '\x01' + place : key];
  }
  return keys;
}

TMutationOracle::TMutationOracle(std::string sample, TImport import)
    : FSample(std::move(sample)), FImport(std::move(import)) {
  FSampleOutcome = FImport(FSample.GetText(), "the sample");
  FSampleKeys = ObjectKeys(FSampleOutcome.Dump, /*placed=*/true);
  for (const TKivoSample::TBlock& block : FSample.GetBlocks())
    if (block.Keyword == "COMPONENT" && block.Parent == TKivoSample::npos) {
      FScaleFrom = FSample.LineStart(block.Open);
      FComponentLineEnd = FScaleTo = FSample.LineEnd(block.Open);
      FComponentClose = block.Close;
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
  std::vector<std::pair<size_t, size_t>> spans;
  const size_t size = FSample.GetText().size();
  size_t expected = 0;
  for (const int32_t origin : mutant.Origin) {
    if (origin < 0) {
      spans.emplace_back(expected, expected);
      continue;
    }
    const size_t at = static_cast<size_t>(origin);
    if (at > expected)
      spans.emplace_back(expected, at);
    expected = at + 1;
  }
  if (expected < size)
    spans.emplace_back(expected, size);
  std::vector<TEdit> edits;
  for (const auto& [a, b] : spans) {
    const TEdit edit{FSample.LineStart(a), FSample.LineEnd(b)};
    if (!edits.empty() && edit.From <= edits.back().To + 1)
      edits.back().To = std::max(edits.back().To, edit.To);
    else
      edits.push_back(edit);
  }
  return edits;
}

TMutationOracle::TReach TMutationOracle::ReachOf(const TEdit& edit) const {
  const std::vector<TKivoSample::TBlock>& blocks = FSample.GetBlocks();
  const size_t size = FSample.GetText().size();
  TReach reach;
  reach.Structure = edit.To;
  reach.Scale = edit.From <= FScaleTo && edit.To >= FScaleFrom;
  if (edit.From <= FComponentLineEnd) {
    reach.Structure = size;
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
        break;
      }
  const std::vector<size_t>& attributes = FSample.GetAttributes();
  if (std::any_of(attributes.begin(), attributes.end(),
                  [&](size_t a) { return a >= edit.From && a <= edit.To; })) {
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

size_t TMutationOracle::TellingLimit(size_t reachEnd) const {
  const std::vector<TKivoSample::TBlock>& blocks = FSample.GetBlocks();
  for (size_t b = 0; b < blocks.size(); ++b)
    if (blocks[b].Role == TKivoSample::brSection && blocks[b].Open > reachEnd)
      return FSample.LineEnd(blocks[b].Open);
  return FSample.GetText().size();
}

std::vector<size_t> TMutationOracle::UnitsOf(size_t block) const {
  std::vector<size_t> units{block};
  if (FSample.GetBlocks()[block].Keyword == "COMP_DEF")
    for (size_t instance : FSample.InstancesOf(block))
      units.push_back(instance);
  return units;
}

const TObjectKeys& TMutationOracle::ObjectsOf(size_t unit) {
  auto found = FUnitObjects.find(unit);
  if (found != FUnitObjects.end())
    return found->second;
  TObjectKeys objects;
  // A definition makes no object of its own: its instances do.
  if (FSample.GetBlocks()[unit].Keyword != "COMP_DEF") {
    objects = FSampleKeys;
    const THostileOutcome without =
        FImport(FSample.Without({unit}), "the sample without the block at offset " +
                                             std::to_string(FSample.GetBlocks()[unit].Open));
    Subtract(objects, ObjectKeys(without.Dump, /*placed=*/true));
  }
  return FUnitObjects[unit] = objects;
}

std::vector<std::pair<size_t, size_t>> TMutationOracle::ToldSpans(
    const TMutant& mutant, const THostileOutcome& outcome) const {
  // The mutant's lines as the reader counts them: a CR ends one, and an LF unless it
  // follows a CR.
  std::vector<size_t> starts{0};
  const std::string& text = mutant.Text;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      ++i;
    if (text[i] == '\r' || text[i] == '\n')
      starts.push_back(i + 1);
  }
  // The first of the sample's bytes kept at or after a mutant's offset.
  const auto sampleAt = [&](size_t at) {
    for (; at < mutant.Origin.size(); ++at)
      if (mutant.Origin[at] >= 0)
        return static_cast<size_t>(mutant.Origin[at]);
    return FSample.GetText().size();
  };
  std::multiset<std::string> known;
  for (const auto& warning : LineWarnings(FSampleOutcome.Report))
    known.insert(warning.first);
  std::vector<std::pair<size_t, size_t>> spans;
  for (const auto& [warning, line] : LineWarnings(outcome.Report)) {
    const auto same = known.find(warning);
    if (same != known.end()) {
      known.erase(same);
      continue;
    }
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

std::string TMutationOracle::Check(const TMutant& mutant, const THostileOutcome& outcome) {
  if (!outcome.Result) {
    ++FFigures.Refused;
    return {};
  }
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
  const auto objectsOf = [&](size_t unit) {
    return placed ? ObjectsOf(unit) : Unplaced(ObjectsOf(unit));
  };
  const TObjectKeys kept = ObjectKeys(outcome.Dump, placed);
  const TObjectKeys sample = placed ? FSampleKeys : Unplaced(FSampleKeys);
  const std::vector<size_t> units = FSample.BlocksOf(TKivoSample::brUnit);

  // Rule 3: what damage may lose untold.
  std::set<size_t> silent;
  if (mutant.Kind == TMutant::mkDamage)
    for (size_t unit : units)
      if (std::any_of(edits.begin(), edits.end(), [&](const TEdit& e) { return Overlaps(unit, e); }))
        for (size_t u : UnitsOf(unit))
          silent.insert(u);
  TObjectKeys required = sample;
  for (size_t unit : silent)
    Subtract(required, objectsOf(unit));
  TObjectKeys missing = Missing(required, kept);
  if (missing.empty()) {
    ++(Missing(sample, kept).empty() ? FFigures.KeptAll : FFigures.LostInside);
    return {};
  }

  // Rule 4: what the edits' reaches may lose, told.
  std::vector<std::pair<size_t, size_t>> told;
  if (mutant.Kind != TMutant::mkUnusual) {
    told = ToldSpans(mutant, outcome);
    std::set<size_t> reached;
    const auto reach = [&](size_t from, size_t to) {
      for (size_t unit : units)
        if (WidenedStart(unit) <= to && WidenedEnd(unit) >= from)
          for (size_t u : UnitsOf(unit))
            if (!silent.count(u))
              reached.insert(u);
    };
    const auto toldWithin = [&](size_t from, size_t limit, bool atEnd) {
      return std::any_of(told.begin(), told.end(), [&](const auto& span) {
        return span.second >= from && (span.first <= limit || (atEnd && span.second >= FComponentClose));
      });
    };
    const size_t size = FSample.GetText().size();
    for (size_t e = 0; e < edits.size(); ++e) {
      const TEdit& edit = edits[e];
      const TReach& r = reaches[e];
      // (a) structure: told from the edit up to the section after the reach, or at the end.
      if (toldWithin(edit.From, TellingLimit(r.Structure), /*atEnd=*/true))
        reach(edit.From, r.Structure);
      // (b) drawing state: told within it.
      if (r.Drawing != TKivoSample::npos && toldWithin(edit.From, r.Drawing, /*atEnd=*/false))
        reach(edit.From, r.Drawing);
      // (c) declarations: told at a place after the edit (a unit, an attribute, an item
      // of ENVIRONMENT or PAD_STACK), not only at a section or the end.
      if (r.Declaration && std::any_of(told.begin(), told.end(), [&](const auto& span) {
            return span.second >= edit.From && NamesPlace(span.first);
          }))
        reach(edit.From, size);
    }
    // (d) a loss told at its unit's lines, after an edit.
    for (const auto& span : told)
      if (!edits.empty() && span.second >= edits.front().From)
        reach(span.first, span.second > span.first ? span.second - 1 : span.first);
    for (size_t unit : reached)
      Subtract(required, objectsOf(unit));
    missing = Missing(required, kept);
    if (missing.empty()) {
      ++FFigures.LostTold;
      return {};
    }
  }

  ++FFigures.Failed;
  const auto lineOf = [&](size_t offset) {
    const std::string& text = FSample.GetText();
    return 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
  };
  std::string failure =
      std::string(mutant.Kind == TMutant::mkUnusual   ? " (valid but unusual: "
                  : mutant.Kind == TMutant::mkMustTell ? " (damage to be told: "
                                                       : " (damage") +
      mutant.What + ") edits at lines";
  for (size_t e = 0; e < edits.size(); ++e) {
    if (e == 8) {
      failure += " ...";
      break;
    }
    failure += " " + std::to_string(lineOf(edits[e].From)) + "-" + std::to_string(lineOf(edits[e].To));
  }
  failure += " of the sample; new warnings naming a line:";
  if (told.empty())
    failure += " none";
  for (const auto& span : told)
    failure += " " + std::to_string(lineOf(span.first));
  failure += "; new warnings without a line:" + LinelessWarnings(outcome.Report, FSampleOutcome.Report);
  failure += "; lost beyond what it may:" + Describe(missing, units, placed);
  return failure;
}

std::string TMutationOracle::Describe(const TObjectKeys& missing, const std::vector<size_t>& units,
                                      bool placed) {
  std::string text;
  int shown = 0;
  const std::string& sample = FSample.GetText();
  for (const auto& [key, count] : missing) {
    if (++shown > 8) {
      text += " ...";
      break;
    }
    std::string from;
    for (size_t unit : units) {
      const TObjectKeys& objects = ObjectsOf(unit);
      const bool has = placed ? objects.count(key) != 0
                              : std::any_of(objects.begin(), objects.end(), [&](const auto& object) {
                                  return Unplaced(object.first) == key;
                                });
      if (!has)
        continue;
      const size_t open = FSample.GetBlocks()[unit].Open;
      // Without places, objects of a kind are alike: the block is one that has such.
      from = std::string(placed ? " of the " : " of a block such as the ") +
             FSample.GetBlocks()[unit].Keyword + " block at line " +
             std::to_string(1 + std::count(sample.begin(),
                                           sample.begin() + static_cast<std::ptrdiff_t>(open), '\n'));
      break;
    }
    std::string shownKey = key;
    std::replace(shownKey.begin(), shownKey.end(), '\x01', ' ');
    text += " " + std::to_string(count) + " x [" + shownKey + "]" + from + ";";
  }
  return text;
}
