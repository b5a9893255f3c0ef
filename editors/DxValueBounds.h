// The bounds the number editors (spin and currency) keep their value within: MinValue
// .. MaxValue, or none while the two are equal. The maximum is never below the minimum.
#pragma once

#include <algorithm>

#include "editors/DxInplaceEdit.h"  // TdxEditAssignedValues

struct TdxValueBounds {
  double MinValue = 0;
  double MaxValue = 0;

  double Bounded(double value) const {
    return MinValue == MaxValue ? value : std::clamp(value, MinValue, MaxValue);
  }
  // Each answers whether the bounds changed. A maximum below the minimum is raised to
  // it and a minimum above the maximum lowered to it.
  bool SetMax(double value) {
    value = std::max(value, MinValue);
    if (value == MaxValue)
      return false;
    MaxValue = value;
    return true;
  }
  bool SetMin(double value) {
    value = std::min(value, MaxValue);
    if (value == MinValue)
      return false;
    MinValue = value;
    return true;
  }
  void Set(double minValue, double maxValue) {
    MinValue = std::min(minValue, maxValue);
    MaxValue = maxValue;
  }
};

// The bounds an editor was not given follow the defaults again: both together, or the
// one not given alone. `Edit` has SetMinMaxValues, SetMaxValue and SetMinValue.
template <class Edit>
void RefreshValueBounds(Edit& edit, TdxEditAssignedValues assigned, double minDefault, double maxDefault) {
  const bool maxGiven = assigned.Contains(evMaxValue), minGiven = assigned.Contains(evMinValue);
  if (!maxGiven && !minGiven) {
    edit.SetMinMaxValues(minDefault, maxDefault);
    return;
  }
  if (!maxGiven)
    edit.SetMaxValue(maxDefault);
  if (!minGiven)
    edit.SetMinValue(minDefault);
}
