// A Boolean flag set for the length of a scope, for re-entry guards: set on entry, and
// on exit (returning or raising) given back the value it had, so that a nested scope
// on the same flag leaves it set for the outer one.
//
// TOwnedFlagScope is the same for a flag of an object that the scope's work may free
// (an event handler freeing its sender): the flag is given back only while the object
// lives.
#pragma once

#include "classlib/AliveGuard.h"

class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : FFlag(flag), FSaved(flag) { FFlag = true; }
  ~TFlagScope() { FFlag = FSaved; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& FFlag;
  const bool FSaved;
};

class TOwnedFlagScope {
 public:
  TOwnedFlagScope(const TObject* owner, bool& flag) : FAlive(owner), FFlag(flag), FSaved(flag) {
    FFlag = true;
  }
  ~TOwnedFlagScope() {
    if (FAlive.Alive())
      FFlag = FSaved;
  }
  TOwnedFlagScope(const TOwnedFlagScope&) = delete;
  TOwnedFlagScope& operator=(const TOwnedFlagScope&) = delete;

  // False once the owner has been freed.
  bool Alive() const { return FAlive.Alive(); }

 private:
  TAliveGuard FAlive;
  bool& FFlag;
  const bool FSaved;
};
