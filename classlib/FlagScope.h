// A Boolean flag set for the length of a scope, for re-entry guards: set on entry, and
// on exit (returning or raising) given back the value it had, so that a nested scope
// on the same flag leaves it set for the outer one.
#pragma once

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
