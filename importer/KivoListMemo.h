// Answers about the names of a string list, remembered while the list keeps its
// revision. Translation asks a few names of the layer map and of the pad definitions for
// every primitive, pin and via of a board, and each IndexOf compares the name with the
// entries through the locale, which cost more than making the objects in the host.
#pragma once

#include <string>
#include <typeinfo>
#include <unordered_map>
#include <utility>

#include "classlib/StringList.h"

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
    }
    // Objects in a row mostly ask the same name (a run of tracks on one layer).
    if (FLast && FLast->first == name)
      return FLast->second;
    auto [at, added] = FAnswers.try_emplace(name);
    if (added)
      at->second = answer(list, list.IndexOf(name));
    FLast = &*at;  // elements stay where they are when the map grows
    return at->second;
  }

 private:
  const TStringList* FList = nullptr;
  uint64_t FRevision = 0;
  std::unordered_map<std::string, T> FAnswers;
  const std::pair<const std::string, T>* FLast = nullptr;
};
