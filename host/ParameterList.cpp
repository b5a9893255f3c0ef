#include "host/ParameterList.h"

#include <cstring>

#include "classlib/Strings.h"

namespace {

constexpr size_t kNameCapacity = 255;

// The text last parsed by LookupParameter and its pairs.
struct TParameterCache {
  TParameterList List;
  std::string Text;
  int ParseCount = 0;
};

TParameterCache* gCache = nullptr;

TParameterCache& Cache() {
  if (!gCache)
    gCache = new TParameterCache;
  return *gCache;
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && IsTrimmed(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsTrimmed(s.back()))
    s.remove_suffix(1);
  return s;
}

// The state of the pair being read.
struct TPairReader {
  std::string Name;
  std::string Value;
  bool InValue = false;

  void Reset() {
    Name.clear();
    Value.clear();
    InValue = false;
  }

  void Take(char c) {
    if (InValue)
      Value += c;
    else if (Name.size() < kNameCapacity)
      Name += c;
  }

  // A pair without "=" or with an empty trimmed name is dropped.
  void End(TParameterList& list) const {
    if (!InValue)
      return;
    std::string_view name = TrimView(Name);
    if (name.empty())
      return;
    list.Add(std::make_unique<TParameter>(ShortString<255>(name), Value.c_str()));
  }
};

}  // namespace

TParameter::TParameter(const ShortString<255>& name, const char* value)
    : FName(TrimView(name.View())), FValue(value ? value : "") {}

TParameter* TParameterList::GetItem(int index) const {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
  return FItems[static_cast<size_t>(index)].get();
}

void TParameterList::Add(std::unique_ptr<TParameter> item) { FItems.push_back(std::move(item)); }

void TParameterList::Clear() { FItems.clear(); }

void ParseParameterString(TParameterList& list, const char* text) {
  list.Clear();
  TPairReader pair;
  for (const char* p = text ? text : ""; *p; ++p) {
    switch (*p) {
      case '=':
        if (pair.InValue)
          pair.Value += '=';  // only the first "=" of a pair separates
        else
          pair.InValue = true;
        break;
      case '|':
        pair.End(list);
        pair.Reset();
        break;
      default:
        pair.Take(*p);
        break;
    }
  }
  pair.End(list);
}

bool SameParameterName(const ShortString<255>& a, const ShortString<255>& b) {
  return TrimView(UpperCase(a.View())) == TrimView(UpperCase(b.View()));
}

TParameter* FindParameter(const TParameterList& list, const ShortString<255>& name) {
  for (int i = 0; i < list.GetCount(); ++i) {
    TParameter* item = list.GetItem(i);
    if (SameParameterName(item->GetName(), name))
      return item;
  }
  return nullptr;
}

bool LookupParameter(const char* parameters, const ShortString<255>& name,
                     ShortString<255>& value) {
  TParameterCache& cache = Cache();
  value = "";
  if (!parameters || !*parameters)
    return false;
  if (cache.Text != parameters) {
    cache.Text = parameters;
    ParseParameterString(cache.List, parameters);
    ++cache.ParseCount;
  }
  TParameter* found = FindParameter(cache.List, name);
  if (!found)
    return false;
  std::string_view stored = found->GetValue();
  value = TrimView(stored.substr(0, kNameCapacity));
  return true;
}

int ParameterParseCount() { return gCache ? gCache->ParseCount : 0; }

void InitializeParameterList() { Cache(); }

void FinalizeParameterList() {
  delete gCache;
  gCache = nullptr;
}
