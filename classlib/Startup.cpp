#include "classlib/Startup.h"

#include <algorithm>
#include <string>

#include "classlib/Boundary.h"
#include "classlib/Exceptions.h"

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

TUnitTable& TUnitTable::Add(std::span<const TUnitEntry> units) {
  FUnits.insert(FUnits.end(), units.begin(), units.end());
  return *this;
}

TUnitTable& TUnitTable::Pick(std::span<const TUnitEntry> units, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names)
    if (std::none_of(units.begin(), units.end(), [&](const TUnitEntry& unit) { return unit.Name == name; }))
      throw Exception("The unit \"" + std::string(name) + "\" is not in the list it is picked from");
  for (const TUnitEntry& unit : units)
    if (std::find(names.begin(), names.end(), std::string_view(unit.Name)) != names.end())
      FUnits.push_back(unit);
  return *this;
}

TUnitTable& TUnitTable::Add(const TUnitEntry& unit) {
  FUnits.push_back(unit);
  return *this;
}
