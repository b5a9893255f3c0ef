// The explicit, ordered start-up of the library's units. Each unit names an
// initialization and a finalization routine; the whole table is given in one place
// (the plug-in's, or a test executable's), never left to the order of C++ static
// constructors across files. Start-up runs each routine once, in table order;
// shut-down runs the finalizations of the units that started, in reverse.
#pragma once

#include <span>

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
