// A pointer list whose destructor releases the array in one step, without visiting or
// notifying the items one by one (the base list's destructor already works that way).
#pragma once

#include "classlib/Lists.h"

class TFastList : public TList {
  KIVO_CLASS(TFastList, TList)

 public:
  ~TFastList() override = default;
};
