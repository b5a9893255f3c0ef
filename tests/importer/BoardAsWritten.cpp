#include "tests/importer/BoardAsWritten.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>

#include "tests/importer/BoardDump.h"

namespace {

// The fields compared, by kind.
const std::map<std::string, std::vector<const char*>>& ComparedFields() {
  static const std::map<std::string, std::vector<const char*>> fields = {
      {"track", {"X", "Y", "X2", "Y2", "Width"}},
      {"arc", {"X", "Y", "Radius", "StartAngle", "EndAngle", "LineWidth"}},
      {"fill", {"X", "Y", "X2", "Y2", "Rotation"}},
      {"via", {"X", "Y", "Size", "HoleSize"}},
      {"text", {"X", "Y", "Size", "Rotation", "MirrorFlag", "LineWidth"}},
      {"pad",
       {"X", "Y", "Rotation", "TopXSize", "TopYSize", "MidXSize", "MidYSize", "BotXSize",
        "BotYSize", "TopShape", "MidShape", "BotShape", "HoleSize", "StackMode"}},
      {"polygon", {"PolygonFlag3", "PolygonByte2", "TrackWidth", "GridSize"}},
      {"component", {"X", "Y", "Rotation"}},
      {"net", {}},
  };
  return fields;
}

bool IsPlace(const std::string& field, bool& horizontal) {
  horizontal = field == "X" || field == "X2";
  return horizontal || field == "Y" || field == "Y2";
}

// One object as compared.
struct TCompared {
  std::string Identity;  // kind, whose and name
  std::string Net;
  int Layer = 0;
  std::vector<std::pair<std::string, double>> Fields;  // in the kind's order
  std::vector<long long> Records;                      // kind, x, y of each
  std::string Unwritten;                               // fields the generator's list does not give
};

std::string Shown(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e15)
    return std::to_string(static_cast<long long>(value));
  char text[32];
  snprintf(text, sizeof text, "%.6f", value);
  return text;
}

std::string Described(const TCompared& o) {
  std::string text = "[" + o.Identity + " net=" + (o.Net.empty() ? "-" : o.Net) +
                     " layer=" + std::to_string(o.Layer);
  for (const auto& [field, value] : o.Fields)
    text += " " + field + "=" + Shown(value);
  for (size_t r = 0; r + 2 < o.Records.size(); r += 3)
    text += " [" + std::to_string(o.Records[r]) + " " + std::to_string(o.Records[r + 1]) + " " +
            std::to_string(o.Records[r + 2]) + "]";
  return text + "]";
}

// How `found` differs from `expected`, as text ("" when alike).
std::string Differences(const TCompared& expected, const TCompared& found) {
  std::string text;
  const auto differ = [&](const std::string& what, const std::string& is, const std::string& was) {
    text += " " + what + "=" + is + " where " + was + " was written;";
  };
  if (found.Net != expected.Net)
    differ("net", found.Net.empty() ? "-" : found.Net, expected.Net.empty() ? "-" : expected.Net);
  if (found.Layer != expected.Layer)
    differ("layer", std::to_string(found.Layer), std::to_string(expected.Layer));
  for (size_t f = 0; f < expected.Fields.size() && f < found.Fields.size(); ++f)
    if (std::fabs(found.Fields[f].second - expected.Fields[f].second) > 1e-6)
      differ(expected.Fields[f].first, Shown(found.Fields[f].second),
             Shown(expected.Fields[f].second));
  if (found.Records != expected.Records)
    text += " other records;";
  return text;
}

std::string Unquoted(const std::string& quoted) {
  std::string text;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    if (quoted[i] != '\\' || i + 2 >= quoted.size()) {
      text += quoted[i];
    } else if (quoted[i + 1] == 'x' && i + 4 < quoted.size()) {
      text += static_cast<char>(std::strtol(quoted.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 3;
    } else {
      text += quoted[++i];
    }
  }
  return text;
}

std::string Identity(const std::string& kind, const std::string& component, bool ofComponent,
                     const std::string& name) {
  return kind + " of " + (component.empty() ? std::string("the board") : component) +
         (ofComponent ? " (its own)" : "") + " \"" + name + "\"";
}

// The list's objects as compared.
std::vector<TCompared> Expected(const std::vector<TKivoBoardObject>& written,
                                const std::function<int(const std::string&)>& hostLayer) {
  std::vector<TCompared> expected;
  for (const TKivoBoardObject& o : written) {
    const auto given = [&](const char* field) {
      const auto found = o.Fields.find(field);
      return found == o.Fields.end() ? std::numeric_limits<double>::quiet_NaN() : found->second;
    };
    TCompared c;
    c.Identity = Identity(o.Kind, o.Component, given("Of") == 1, o.Name);
    c.Net = o.Net;
    c.Layer = o.Layer.empty() ? (std::isnan(given("layer")) ? 0 : static_cast<int>(given("layer")))
                              : hostLayer(o.Layer);
    const auto kind = ComparedFields().find(o.Kind);
    if (kind != ComparedFields().end())
      for (const char* field : kind->second) {
        c.Fields.emplace_back(field, given(field));
        if (std::isnan(given(field)))
          c.Unwritten += std::string(" ") + field;
      }
    for (size_t r = 0; r + 1 < o.Records.size(); r += 2) {
      c.Records.push_back(0);  // straight
      c.Records.push_back(o.Records[r]);
      c.Records.push_back(o.Records[r + 1]);
    }
    expected.push_back(std::move(c));
  }
  return expected;
}

// The dump's objects as compared.
std::vector<TCompared> Found(const std::string& dump) {
  const TBoardDump parsed = ParseBoardDump(dump);
  const auto text = [&](const std::string& handle, const char* field) {
    const TDumpObject* object = parsed.Find(handle);
    return object ? DumpText(*object, field) : std::string();
  };
  const auto designator = [&](const std::string& component) {
    return Unquoted(text(text(component, "NameText"), "Text"));
  };
  std::vector<TCompared> found;
  for (const TDumpObject& o : parsed.Objects) {
    const bool ofComponent = o.Fields.count("of") != 0;
    std::string component;
    if (ofComponent)
      component = designator(DumpText(o, "of"));
    else if (o.Kind == "component")
      component = designator(o.Handle);
    else if (const TDumpObject* owner = parsed.Find(DumpText(o, "owner"));
             owner && owner->Kind == "component")
      component = designator(owner->Handle);
    const char* nameField = o.Kind == "text"                     ? "Text"
                            : o.Kind == "component"              ? "ComponentString"
                            : o.Kind == "net" || o.Kind == "pad" ? "Name"
                                                                 : nullptr;
    TCompared c;
    c.Identity =
        Identity(o.Kind, component, ofComponent, nameField ? Unquoted(DumpText(o, nameField)) : "");
    c.Net = Unquoted(text(DumpText(o, "net"), "Name"));
    c.Layer = static_cast<int>(DumpField(o, "layer"));
    const auto kind = ComparedFields().find(o.Kind);
    if (kind != ComparedFields().end())
      for (const char* field : kind->second) {
        double value = std::atof(DumpText(o, field).c_str());
        bool horizontal = false;
        if (IsPlace(field, horizontal))
          value -= static_cast<double>(horizontal ? parsed.OriginX : parsed.OriginY);
        c.Fields.emplace_back(field, value);
      }
    for (const auto& point : o.Points)
      if (point.size() >= 3) {
        c.Records.push_back(std::atoll(point[0].c_str()));
        c.Records.push_back(std::atoll(point[1].c_str()) - parsed.OriginX);
        c.Records.push_back(std::atoll(point[2].c_str()) - parsed.OriginY);
      }
    found.push_back(std::move(c));
  }
  return found;
}

int DifferenceCount(const TCompared& expected, const TCompared& found) {
  int count = (found.Net != expected.Net) + (found.Layer != expected.Layer) +
              (found.Records != expected.Records);
  for (size_t f = 0; f < expected.Fields.size() && f < found.Fields.size(); ++f)
    count += std::fabs(found.Fields[f].second - expected.Fields[f].second) > 1e-6;
  return count;
}

// A list of at most ten entries, with the count of the rest.
class TShownList {
 public:
  void Add(const std::string& entry) {
    if (++FCount <= 10)
      FText += " " + entry;
  }
  std::string Text(const std::string& what) const {
    if (FCount == 0)
      return {};
    return " " + what + " " + std::to_string(FCount) + ":" + FText +
           (FCount > 10 ? " and " + std::to_string(FCount - 10) + " more" : std::string()) + ";";
  }

 private:
  int FCount = 0;
  std::string FText;
};

}  // namespace

std::string BoardAsWritten(const std::vector<TKivoBoardObject>& written,
                           const std::function<int(const std::string& layer)>& hostLayer,
                           const std::string& dump) {
  std::vector<TCompared> expected = Expected(written, hostLayer);
  std::vector<TCompared> found = Found(dump);
  TShownList unwritten, differs, lacks, holds;
  for (const TCompared& e : expected)
    if (!e.Unwritten.empty())
      unwritten.Add("[" + e.Identity + ":" + e.Unwritten + "]");
  // By what knows an object again; first the exact matches, then each left pairs with the
  // one of its identity it differs from least.
  std::map<std::string, std::vector<size_t>> byIdentity;
  for (size_t f = 0; f < found.size(); ++f)
    byIdentity[found[f].Identity].push_back(f);
  std::vector<bool> taken(found.size(), false), matched(expected.size(), false);
  for (size_t e = 0; e < expected.size(); ++e)
    for (size_t f : byIdentity[expected[e].Identity])
      if (!taken[f] && DifferenceCount(expected[e], found[f]) == 0) {
        taken[f] = matched[e] = true;
        break;
      }
  for (size_t e = 0; e < expected.size(); ++e) {
    if (matched[e])
      continue;
    size_t best = found.size();
    int fewest = std::numeric_limits<int>::max();
    for (size_t f : byIdentity[expected[e].Identity])
      if (!taken[f] && DifferenceCount(expected[e], found[f]) < fewest) {
        best = f;
        fewest = DifferenceCount(expected[e], found[f]);
      }
    if (best == found.size()) {
      lacks.Add(Described(expected[e]));
      continue;
    }
    taken[best] = true;
    differs.Add("[" + expected[e].Identity + "]:" + Differences(expected[e], found[best]));
  }
  for (size_t f = 0; f < found.size(); ++f)
    if (!taken[f])
      holds.Add(Described(found[f]));
  return unwritten.Text("the list gives no field") + differs.Text("differs in") +
         lacks.Text("lacks") + holds.Text("holds besides");
}
