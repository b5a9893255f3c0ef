// The border styles of a skinned form's frame, shared by the form frame and the themes
// that draw it.
#pragma once

enum TKsBorderStyle { kbsNone, kbsStandard, kbsToolWindow };
