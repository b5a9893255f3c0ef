#include "classlib/Startup.h"

#include "classlib/Boundary.h"

namespace {

std::span<const TUnitEntry> gUnits;
size_t gStartedCount = 0;
bool gStarted = false;

void FinalizeStarted() noexcept {
  while (gStartedCount > 0) {
    const TUnitEntry& unit = gUnits[--gStartedCount];
    if (unit.Finalize)
      GuardBoundary(unit.Name, [&] { unit.Finalize(); });
  }
}

}  // namespace

bool StartUnits(std::span<const TUnitEntry> units) noexcept {
  if (gStarted)
    return true;
  gUnits = units;
  gStartedCount = 0;
  for (const TUnitEntry& unit : units) {
    bool ok = !unit.Initialize || GuardBoundary(unit.Name, [&] { unit.Initialize(); });
    if (!ok) {
      FinalizeStarted();
      return false;
    }
    ++gStartedCount;
  }
  gStarted = true;
  return true;
}

void StopUnits() noexcept {
  FinalizeStarted();
  gStarted = false;
  gUnits = {};
}

bool UnitsStarted() noexcept { return gStarted; }
