// The slots of a module's import table, through which it calls the functions of other
// libraries: the stand-in host watches or changes some of the plug-in's calls there (the
// texts it draws, a full disk, an unloading that never ends).
#pragma once

#include "classlib/Win.h"

namespace standin {

// The slot through which `module` calls `function` of `library`, or null.
void** ImportSlot(HMODULE module, const char* library, const char* function);
// Puts `value` in `slot`, write-protected or not.
void WriteSlot(void** slot, void* value);

}  // namespace standin
