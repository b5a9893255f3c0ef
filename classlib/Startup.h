// The explicit, ordered start-up of the library's units. Each unit names an
// initialization and a finalization routine; each library owns the ordered list of its
// own units (<folder>/Units.h), and a binary's table is composed from those lists (the
// plug-in's concatenates them, a test executable's picks from them), never left to the
// order of C++ static constructors across files. Start-up runs each routine once, in
// table order; shut-down runs the finalizations of the units that started, in reverse.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

struct TUnitEntry {
  const char* Name;
  void (*Initialize)();  // may be null
  void (*Finalize)();    // may be null
};

// Runs the initializations of `units` in order. A unit whose initialization throws
// stops the start-up: the units already started are finalized in reverse and false
// is returned. Calling it again while units are running does nothing.
bool StartUnits(std::span<const TUnitEntry> units) noexcept;

// Finalizes the started units in reverse order; exceptions are reported and skipped
// so that every unit gets its turn.
void StopUnits() noexcept;

// True between a successful StartUnits and StopUnits.
bool UnitsStarted() noexcept;

// A start-up table composed from library lists, in the order the pieces are added.
class TUnitTable {
 public:
  // Every unit of a library's list.
  TUnitTable& Add(std::span<const TUnitEntry> units);
  // The units of a library's list that `names` name, in the list's order; raises
  // Exception when a name is not in the list.
  TUnitTable& Pick(std::span<const TUnitEntry> units, std::initializer_list<std::string_view> names);
  // One unit of the binary's own (a test's stand-in host, for example).
  TUnitTable& Add(const TUnitEntry& unit);

  std::span<const TUnitEntry> Units() const { return FUnits; }
  operator std::span<const TUnitEntry>() const { return FUnits; }

 private:
  std::vector<TUnitEntry> FUnits;
};
