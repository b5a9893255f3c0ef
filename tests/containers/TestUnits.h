// The units containers_tests starts: the container library's.
#pragma once

#include "containers/Units.h"

inline std::span<const TUnitEntry> ContainersTestUnits() {
  static const TUnitTable units = TUnitTable().Add(ContainersUnits());
  return units;
}
