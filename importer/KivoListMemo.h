// Answers about the names of a string list, remembered while the list keeps its
// revision. Translation asks a few names of the layer map and of the pad definitions for
// every primitive, pin and via of a board, and each IndexOf compares the name with the
// entries through the locale, which cost more than making the objects in the host. A
// file may draw each object on a layer of its own: at most kMaxAnswers names are
// remembered (the answers begin afresh when they are that many), which a board's own
// layers and pad definitions leave far behind. A name not remembered is looked up
// through TKivoNameLookup, which answers most names without the locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <typeinfo>
#include <unordered_map>
#include <utility>
#include <vector>

#include "classlib/StringList.h"

// IndexOf of a string list as it stands when made, answered without the locale for a
// name of ASCII letters, digits and "_" only: two such names compare equal through the
// locale, without regard to case, exactly when their ASCII letters do, so only the
// list's entries that hold other characters are compared through it. A file drawing
// each object on a layer of its own made the locale's comparisons half the time of
// its import. Other names, and lists that are sorted or compare with regard to case,
// are asked with IndexOf.
class TKivoNameLookup {
 public:
  explicit TKivoNameLookup(const TStringList& list);
  // The list's IndexOf(name); `list` is the one it was made from, unchanged since.
  int IndexOf(const TStringList& list, const std::string& name) const;

 private:
  static bool IsPlain(std::string_view name);
  bool FUsable = false;
  std::unordered_map<std::string, int> FPlain;  // ASCII upper case -> the first entry
  std::vector<int> FOthers;                     // the entries that are not plain
};

template <class T>
class TKivoListMemo {
 public:
  // `answer(list, index)` for the index of `name` in `list`, remembered. Lists of a
  // derived class, which may answer IndexOf otherwise, are always asked.
  template <class F>
  T Get(const TStringList& list, const std::string& name, F&& answer) {
    if (typeid(list) != typeid(TStringList))
      return answer(list, list.IndexOf(name));
    if (&list != FList || list.GetRevision() != FRevision) {
      FList = &list;
      FRevision = list.GetRevision();
      FAnswers.clear();
      FLast = nullptr;
      FLookup.emplace(list);
    }
    // Objects in a row mostly ask the same name (a run of tracks on one layer).
    if (FLast && FLast->first == name)
      return FLast->second;
    if (__builtin_expect(FAnswers.size() >= kMaxAnswers, 0) && FAnswers.count(name) == 0) {
      FAnswers.clear();
      FLast = nullptr;
    }
    auto [at, added] = FAnswers.try_emplace(name);
    if (added)
      at->second = answer(list, FLookup->IndexOf(list, name));
    FLast = &*at;  // elements stay where they are when the map grows
    return at->second;
  }

 private:
  static constexpr size_t kMaxAnswers = 4096;
  const TStringList* FList = nullptr;
  uint64_t FRevision = 0;
  std::unordered_map<std::string, T> FAnswers;
  std::optional<TKivoNameLookup> FLookup;
  const std::pair<const std::string, T>* FLast = nullptr;
};
