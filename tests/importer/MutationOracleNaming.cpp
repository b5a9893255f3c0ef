// Rule 7 of the mutation oracle (MutationOracle.h): what a mutant to be named changed,
// named by the lines of its edit; and the nets a mutant renamed.
#include "tests/importer/MutationOracle.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>

namespace {

// The mutant's line (from 1) that holds `at`, as the reader counts lines.
long MutantLine(const std::string& text, size_t at) {
  const std::vector<size_t> starts = ReaderLineStarts(text);
  return std::upper_bound(starts.begin(), starts.end(), at) - starts.begin();
}

// What an object is and whose: its key up to its place.
std::string Whose(const std::string& key) { return key.substr(0, key.find('\x01')); }

// Whether `line` lies in one of `spans`.
bool Names(const std::vector<std::pair<long, long>>& spans, long line) {
  return std::any_of(spans.begin(), spans.end(),
                     [&](const auto& span) { return span.first <= line && line <= span.second; });
}

}  // namespace

std::vector<std::pair<long, long>> NamedLines(const std::string& warning) {
  std::vector<std::pair<long, long>> spans;
  const auto number = [&](size_t& at, long& value) {
    if (at >= warning.size() || !std::isdigit(static_cast<unsigned char>(warning[at])))
      return false;
    value = std::strtol(warning.c_str() + at, nullptr, 10);
    while (at < warning.size() && std::isdigit(static_cast<unsigned char>(warning[at])))
      ++at;
    return true;
  };
  const auto skip = [&](size_t at, const char* word) {
    const size_t size = std::char_traits<char>::length(word);
    return warning.compare(at, size, word) == 0 ? at + size : std::string::npos;
  };
  for (size_t at = warning.find("line"); at != std::string::npos; at = warning.find("line", at + 1)) {
    if (at > 0 && std::isalpha(static_cast<unsigned char>(warning[at - 1])))
      continue;
    size_t next = at + 4;
    if (next < warning.size() && warning[next] == 's')
      ++next;
    if (next >= warning.size() || warning[next] != ' ')
      continue;
    ++next;
    // "N", "A to B", then more after "and", "," or "and line".
    for (long first = 0; number(next, first);) {
      long last = first;
      if (size_t to = skip(next, " to "); to != std::string::npos && number(to, last))
        next = to;
      spans.emplace_back(first, std::max(first, last));
      size_t more = std::string::npos;
      for (const char* joint : {" and line ", " and ", ", "})
        if ((more = skip(next, joint)) != std::string::npos)
          break;
      if (more == std::string::npos)
        break;
      next = more;
    }
    at = next - 1;  // the next "line" after what was read
  }
  return spans;
}

std::string RenamedKey(std::string key, const std::vector<TMutant::TNetRename>& renames) {
  for (const TMutant::TNetRename& rename : renames) {
    const std::string from = "\"" + rename.From + "\"", to = "\"" + rename.To + "\"";
    const size_t net = key.find(" net=" + from + " ", key.find('\x02'));
    if (net != std::string::npos)
      key.replace(net + 5, from.size(), to);
    // The net's own name, and the text that shows it on the net.
    const bool named =
        key.rfind("net ", 0) == 0 || (key.rfind("text ", 0) == 0 && net != std::string::npos);
    const std::string field = key.rfind("net ", 0) == 0 ? " Name=" : " Text=";
    if (const size_t name = key.find(field + from + '\x01'); named && name != std::string::npos)
      key.replace(name + field.size(), from.size(), to);
  }
  return key;
}

namespace {

// The key of an object of an instance whose designator `from` became `to`: whose it is,
// the component's own, and its name text's text.
std::string Redesignated(std::string key, const std::string& from, const std::string& to) {
  const std::string was = "\"" + from + "\"", now = "\"" + to + "\"";
  const bool nameText = key.rfind("text owner=- of=C:" + was + " Text=" + was + '\x01', 0) == 0;
  for (const std::string field : {" owner=C:", " of=C:", "component owner=- ", " Text="}) {
    const size_t at = key.find(field + was);
    if (at != std::string::npos && (field != " Text=" || nameText) && at < key.find('\x01'))
      key.replace(at + field.size(), was.size(), now);
  }
  return key;
}

}  // namespace

TObjectKeys TMutationOracle::Changed(const TMutant& mutant, size_t unit, const TObjectKeys& keys) const {
  if (mutant.NetRenames.empty() && mutant.Designators.empty())
    return keys;
  TObjectKeys changed;
  for (const auto& [key, count] : keys) {
    std::string now = key;
    for (const TMutant::TDesignatorChange& change : mutant.Designators)
      if (UnitAt(change.At) == unit)
        now = Redesignated(now, change.From, change.To);
    changed[RenamedKey(now, mutant.NetRenames)] += count;
  }
  return changed;
}

void TMutationOracle::Rename(const TMutant& mutant, bool placed, TObjectKeys& expected) {
  if (mutant.NetRenames.empty() && mutant.Designators.empty())
    return;
  for (const TMutant::TDesignatorChange& change : mutant.Designators) {
    const size_t unit = UnitAt(change.At);
    if (unit == std::string::npos)
      continue;
    const TObjectKeys& objects = placed ? UnitObjectsOf(unit).Objects : UnitObjectsOf(unit).UnplacedObjects;
    for (const auto& [key, count] : objects) {
      const auto found = expected.find(key);
      if (found == expected.end())
        continue;
      const int moved = std::min(found->second, count);
      if ((found->second -= moved) == 0)
        expected.erase(found);
      expected[Redesignated(key, change.From, change.To)] += moved;
    }
  }
  TObjectKeys renamed;
  for (const auto& [key, count] : expected)
    renamed[RenamedKey(key, mutant.NetRenames)] += count;
  expected = renamed;
}

void TMutationOracle::PlaceRenamedTexts(const TMutant& mutant, TObjectKeys& lost, TObjectKeys& made) {
  std::vector<std::string> renamed;
  for (const TMutant::TNetRename& rename : mutant.NetRenames)
    renamed.push_back(rename.To);
  for (const TMutant::TDesignatorChange& change : mutant.Designators)
    renamed.push_back(change.To);
  for (const std::string& to : renamed) {
    const std::string shown = " Text=\"" + to + "\"\x01";
    for (auto it = lost.begin(); it != lost.end();) {
      const std::string& key = it->first;
      const auto same = std::find_if(made.begin(), made.end(), [&](const auto& other) {
        return KeyBase(other.first) == KeyBase(key) &&
               other.first.substr(other.first.find('\x02')) == key.substr(key.find('\x02'));
      });
      if (key.rfind("text ", 0) != 0 || key.find(shown) == std::string::npos || same == made.end()) {
        ++it;
        continue;
      }
      const int found = std::min(it->second, same->second);
      if ((same->second -= found) == 0)
        made.erase(same);
      it = (it->second -= found) == 0 ? lost.erase(it) : std::next(it);
    }
  }
}

std::string TMutationOracle::Unnamed(const TMutant& mutant, const std::vector<std::string>& added,
                                     const TObjectKeys& lost, const TObjectKeys& made) {
  std::set<std::string> madeWhose;
  for (const auto& [key, count] : made)
    madeWhose.insert(Whose(key));
  // Whether the objects of the unit at `place` (all of them for npos) differ.
  const auto differs = [&](size_t place) {
    const size_t unit = place == std::string::npos ? place : UnitAt(place);
    if (unit == std::string::npos)
      return !lost.empty() || !made.empty();
    for (size_t u : UnitsOf(unit))
      for (const auto& [key, count] : Changed(mutant, u, UnitObjectsOf(u).Objects))
        if (lost.count(key) || madeWhose.count(Whose(key)))
          return true;
    return false;
  };
  std::string problems;
  bool named = false;
  for (const TMutant::TNaming& naming : mutant.Namings) {
    if (!naming.Always && !differs(naming.Unit))
      continue;
    std::vector<long> lines;
    for (size_t at : naming.At)
      lines.push_back(MutantLine(mutant.Text, at));
    const bool told = std::any_of(added.begin(), added.end(), [&](const std::string& warning) {
      const std::vector<std::pair<long, long>> spans = NamedLines(warning);
      return std::all_of(lines.begin(), lines.end(), [&](long line) { return Names(spans, line); });
    });
    named = named || (told && differs(naming.Unit));
    if (told)
      continue;
    std::string shown;
    for (long line : lines)
      shown += (shown.empty() ? "" : " and ") + std::to_string(line);
    problems += std::string(" no new warning names ") + (lines.size() > 1 ? "lines " : "line ") +
                shown + " of the mutant, where " +
                (naming.Always ? std::string("a definition is given twice;")
                               : "what the edit decides changed;");
  }
  FFigures.Named += named;
  return problems;
}
