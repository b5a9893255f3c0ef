#include "pcb/PcbUnit.h"

#include "pcb/PcbApi.h"

void InitializePcbUnit() {
  ClearPcbApi();
  LoadPcbApi();
}

void FinalizePcbUnit() {
  ClearPcbApi();
}
