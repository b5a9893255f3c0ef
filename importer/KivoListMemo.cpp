#include "importer/KivoListMemo.h"

#include <algorithm>
#include <climits>

#include "classlib/Strings.h"

TKivoNameLookup::TKivoNameLookup(const TStringList& list)
    : FUsable(!list.GetSorted() && !list.GetCaseSensitive()) {
  if (!FUsable)
    return;
  for (int i = 0; i < list.GetCount(); ++i) {
    const std::string& entry = list.Get(i);
    if (IsPlain(entry))
      FPlain.try_emplace(UpperCase(entry), i);
    else
      FOthers.push_back(i);
  }
}

bool TKivoNameLookup::IsPlain(std::string_view name) {
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

int TKivoNameLookup::IndexOf(const TStringList& list, const std::string& name) const {
  if (!FUsable || !IsPlain(name))
    return list.IndexOf(name);
  const auto plain = FPlain.find(UpperCase(name));
  const int first = plain == FPlain.end() ? INT_MAX : plain->second;
  for (const int other : FOthers) {
    if (other > first)
      break;
    if (AnsiSameText(list.Get(other), name))
      return other;
  }
  return first == INT_MAX ? -1 : first;
}
