#include "importer/KivoPadStack.h"

TKivoPadStack::~TKivoPadStack() {
  for (int i = 0; i < FPadDefinitions.GetCount(); ++i)
    delete FPadDefinitions.GetObject(i);
}
