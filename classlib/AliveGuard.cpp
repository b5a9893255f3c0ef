#include "classlib/AliveGuard.h"

#include <cassert>

TAliveGuard::TAliveGuard(const TObject* object) noexcept : FObject(object), FNext(FTop) {
  FTop = this;
}

TAliveGuard::~TAliveGuard() {
  assert(FTop == this && "alive guards end in the reverse order of their making");
  FTop = FNext;
}

void TAliveGuard::Forget(const TObject* object) noexcept {
  for (TAliveGuard* guard = FTop; guard; guard = guard->FNext) {
    if (guard->FObject == object)
      guard->FObject = nullptr;
  }
}
