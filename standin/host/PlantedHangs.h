// Runs that never end by themselves, to try the batch run's watchdog with: the host's
// user-interface thread stops for good before the import (KivoHost --hang), inside the
// plug-in's unloading (--hang-unloading) or where the host ends its process after its
// summary (--hang-closing). Only those options reach them; the plug-in is not changed.
#pragma once

#include "classlib/Win.h"

namespace standin {

// Stops the calling thread for good, what it printed written out first.
[[noreturn]] void HangForGood();

// The plug-in's next call of DeleteObject never returns: armed as the host frees the
// plug-in, whose unloading deletes the drawing objects it made, it hangs that unloading.
// False when the plug-in does not call DeleteObject through its import table.
bool HangInNextDeleteObject(HMODULE plugin);

}  // namespace standin
