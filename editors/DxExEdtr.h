// The editor module's start-up and the resources its editor kinds share: the check-box
// size, the hand cursor of hyperlink cells (screen cursor -1140), the date editor's error
// text and keywords, time constants, the popup tool bar's glyphs, captions and hints, a
// shared canvas, the blob editor's icons and popup button captions, and the check
// editors' default style controller. The editor kinds read these; none makes its own.
//
// InitializeDxExEdtr prepares them once (calls are counted) from the resources of the
// module the library is linked into (bitmaps DXTOOL_* and DXINPLACE_*, cursor
// DX_HANDPOINT, string table 38901-38956); FinalizeDxExEdtr frees them in reverse order.
// A module without those resources starts with empty lists, texts and no hand cursor.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>

#include "classlib/Controls.h"
#include "classlib/DateUtils.h"
#include "classlib/ImageList.h"
#include "classlib/Win.h"

class TCanvas;

// The hand cursor's number in the screen's cursor table.
constexpr TCursor crDxHandPoint = -1140;

void InitializeDxExEdtr();
void FinalizeDxExEdtr();

// Entry `id` of the editors' string table in the module's resources; "" when missing.
std::string DxLoadStr(int id);

// The named bitmaps of `instance` in one image list sized by the first one found, each
// masked with `mask`; a name without a bitmap is passed over.
std::unique_ptr<TImageList> LoadGlyphList(HINSTANCE instance, std::span<const char* const> names, TColor mask);
// The six tool-bar bitmaps "DXTOOL_CUT" ... "DXTOOL_SAVE" in one list sized by the first,
// each masked by its own transparent colour (clDefault).
std::unique_ptr<TImageList> LoadToolGlyphs(HINSTANCE instance);
// The eight blob icons "DXINPLACE_BLOB_NULL" ... "DXINPLACE_OLE" in one list sized by the
// first, masked with clOlive.
std::unique_ptr<TImageList> LoadInplaceGlyphs(HINSTANCE instance);

// The popup tool bar's buttons: cut, copy, paste, delete, load, save and the custom one.
constexpr int kDxToolButtonCount = 7;
using TDxToolTexts = std::array<std::string, kDxToolButtonCount>;
// The blob popup's buttons: OK, Cancel, Close.
using TDxBlobButtonCaptions = std::array<std::string, 3>;

struct TDxTimeConstants {
  TDateTime OneSecond = 0;
  TDateTime OneMinute = 0;
  TDateTime OneHour = 0;
  TDateTime StartOfDay = 0;
  TDateTime EndOfDay = 0;
};

// The shared resources: empty or null outside start-up and shut-down.
TImageList* DxToolGlyphs();
TImageList* DxInplaceGlyphs();
TCanvas* DxSharedCanvas();
const std::string& DxDateErrorText();
const TDxTimeConstants& DxTimeConstants();
const TDxToolTexts& DxToolCaptions();
const TDxToolTexts& DxToolHints();
const TDxBlobButtonCaptions& DxBlobButtonCaptions();
