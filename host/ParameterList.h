// Parameter strings: the "Name=Value|Name=Value" texts in which commands and host
// process runs receive their arguments and the host gives its answers.
//
// Texts and values are held as dynamic strings, so a host text of any length is parsed
// whole; names and looked-up values keep their 255-character cut. LookupParameter
// keeps the last text it parsed and its pairs, so that several look-ups in one text
// parse it once. Malformed pairs are dropped silently; nothing here raises on input.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/Object.h"
#include "classlib/ShortString.h"

// One name-value pair; the name is held trimmed, the value as written.
class TParameter : public TObject {
  KIVO_CLASS(TParameter, TObject)

 public:
  // A null value is held as an empty text.
  TParameter(const ShortString<255>& name, const char* value);

  const ShortString<255>& GetName() const { return FName; }
  const std::string& GetValue() const { return FValue; }

 private:
  ShortString<255> FName;
  std::string FValue;
};

// The pairs of one parameter string in text order; owns its items.
class TParameterList : public TObject {
  KIVO_CLASS(TParameterList, TObject)

 public:
  TParameterList() = default;

  int GetCount() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index outside 0 .. count - 1.
  TParameter* GetItem(int index) const;
  void Add(std::unique_ptr<TParameter> item);
  void Clear();

 private:
  std::vector<std::unique_ptr<TParameter>> FItems;
};

// Replaces the list's contents by the pairs of `text` (null reads as empty).
void ParseParameterString(TParameterList& list, const char* text);

// Upper-cases a to z only and trims codes 0 to 32 on both sides, then compares exactly.
bool SameParameterName(const ShortString<255>& a, const ShortString<255>& b);

// The first pair of `list` whose name is the same as `name`; null when none.
TParameter* FindParameter(const TParameterList& list, const ShortString<255>& name);

// Looks `name` up in `parameters` through the process-wide cache. True when found:
// `value` is then the stored value cut to 255 characters and trimmed. False, with an
// empty value, when the name is absent or `parameters` is null or empty (the cache
// is left as it was).
bool LookupParameter(const char* parameters, const ShortString<255>& name, ShortString<255>& value);

// How many texts LookupParameter has parsed since start-up (a repeated text is not
// parsed again).
int ParameterParseCount();

// Unit start-up and shut-down: the process-wide list and text cache.
void InitializeParameterList();
void FinalizeParameterList();
