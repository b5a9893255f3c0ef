// The module's process-depth counter, which the host raises and lowers around its
// processes. Uncounted: the module owns it.
#pragma once

#include <cstdint>

#include "classlib/Interfaces.h"
#include "host/HostInterfaces.h"

class TProcessControl : public TImplements<TInterfacedObjectNoRef, IProcessControlIntf> {
  KIVO_CLASS(TProcessControl, TInterfacedObjectNoRef)

 public:
  TProcessControl() = default;

  // IProcessControlIntf. No bounds: decrementing a new counter gives -1.
  int32_t __stdcall GetDepth() override { return FDepth; }
  void __stdcall DecrementDepth(IUnknown* context, int32_t value) override { --FDepth; }
  void __stdcall IncrementDepth(IUnknown* context, int32_t value) override { ++FDepth; }
  void __stdcall SetDepth(int32_t depth) override { FDepth = depth; }

 private:
  int32_t FDepth = 0;
};
