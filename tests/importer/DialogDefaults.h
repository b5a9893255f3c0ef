// What the options dialog answers with its defaults, for tests that import without
// showing it. Kept apart because the dialog's headers and the stand-in server's test
// support both name a TRect and a TComponent.
#pragma once

#include "importer/PadStackMapRecord.h"

class TStrings;

// The pad-stack map the options dialog hands back for the file's layer strings when
// its pad-stack grid is left as it comes up.
void DialogDefaultPadStackMap(TStrings* layerStrings, PadStackMapRecord& map);
