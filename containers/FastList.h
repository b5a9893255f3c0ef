// A pointer list whose destructor releases the array in one step, without visiting or
// notifying the items one by one.
#pragma once

#include "classlib/List.h"

class TFastList : public TList {
  KIVO_CLASS(TFastList, TList)

 public:
  ~TFastList() override { ReleaseList(); }
};
