// Small routines shared by the XP-style controls and the tree-list grid: the enabled
// test along a control's parent chain, the digit-aware comparison used for sorting,
// and a two-colour gradient fill with two interchangeable back ends (msimg32's
// GradientFill when the library has it, SetPixel and BitBlt otherwise).
#pragma once

#include <string>
#include <string_view>

#include "classlib/Colors.h"
#include "classlib/Geometry.h"
#include "classlib/Win.h"

class TControl;

// False for a null control or when the control or any of its parents is disabled.
bool IsControlEnabled(TControl* control);

// Compares without case, numbers by value (up to eight digits): -1, 0 or 1. An order
// (antisymmetric and transitive), so that sorts by it do not depend on their input order.
int NaturalCompare(std::string_view a, std::string_view b);
bool HasDigit(std::string_view s);
// Deletes every blank (space only, not tabs).
void RemoveBlanks(std::string& s);
// Cuts the leading run of digits or of non-digits off `s` into `chunk`; a digit run
// comes back as exactly eight digits (zero-padded, or its last eight).
void SplitNaturalChunk(std::string& s, std::string& chunk);

// Fills `rect` from `startColor` to `endColor`, left to right when `horizontal`, else
// top to bottom.
using TGradientFillProc = void (*)(HDC dc, const TRect& rect, TColor startColor, bool horizontal,
                                   TColor endColor);
extern TGradientFillProc GradientFillProc;
void GradientFillRectMsImg(HDC dc, const TRect& rect, TColor startColor, bool horizontal, TColor endColor);
void GradientFillRect(HDC dc, const TRect& rect, TColor startColor, bool horizontal, TColor endColor);
// The colour at step `index` of `count` between the two colours, each channel rounded
// half to even.
TColor GradientColorAt(int index, int count, TColor startRGB, TColor endRGB);

// Start-up binds "GradientFill" of `library` ("msimg32.dll" in the product) and points
// GradientFillProc at the back end it allows; shut-down frees the library. Repeated
// calls are counted; only the first start-up and the last shut-down act.
void InitializeXPUtils();
void FinalizeXPUtils();
// The start-up with another library name (a missing one selects the SetPixel back end).
void InitializeXPUtilsWith(const char* library);
