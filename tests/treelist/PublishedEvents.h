// The events each class of the control libraries publishes, read from the libraries'
// own headers (classlib, skin, xpcontrols, containers, editors, treelist and the host's
// dialog bases in the source tree): a class's event members (a member named On... of a
// class type, without parameters) and those of its ancestors, the base a template class
// stands on included. What a header declares is what a user of the class can bind, so
// a test that asks this list notices an event added to a class without a test of its own.
#pragma once

#include <map>
#include <string>
#include <vector>

class TPublishedEvents {
 public:
  // Reads every header of the libraries under `sourceDir`; Ok() tells whether any was
  // found.
  explicit TPublishedEvents(const std::string& sourceDir);

  bool Ok() const { return !FClasses.empty(); }
  bool Declares(const std::string& cls) const { return FClasses.count(cls) != 0; }
  // Every class the headers declare, by name.
  std::vector<std::string> Classes() const {
    std::vector<std::string> names;
    for (const auto& declared : FClasses)
      names.push_back(declared.first);
    return names;
  }
  // The class and its ancestors, nearest first.
  std::vector<std::string> Ancestry(const std::string& cls) const;
  // The events of the class and its ancestors, each once, the class's own first.
  std::vector<std::string> Events(const std::string& cls) const;

 private:
  struct TDeclared {
    std::string Base;
    std::string BaseArgument;  // the first template argument of the base
    std::vector<std::string> Events;
  };
  void Read(const std::string& text);

  std::map<std::string, TDeclared> FClasses;
};
