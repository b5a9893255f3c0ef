// Decisions taken here:
// - Shut-down puts the built-in English date keywords back instead of emptying the
//   table: an emptied table would leave nothing for a later start-up to compare against,
//   and the keyword dates keep working for code that runs after shut-down.
// - The hand cursor is loaded as a cursor of its own (not the module's shared copy), so
//   that the screen's table, which owns and destroys it, really frees it.
#include "editors/DxExEdtr.h"

#include <cassert>

#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/Forms.h"
#include "classlib/UtilWindow.h"
#include "editors/DxInplaceCheckEdit.h"
#include "editors/DxTextHelpers.h"

namespace {

// Entries of the editors' string table.
constexpr int sdxBlobButtonOK = 38905;  // "&OK", "&Cancel", "&Close"
constexpr int sdxToolCaptionCut = 38914;  // six captions, "Cu&t" ... "&Save To..."
constexpr int sdxToolHintCut = 38920;     // six hints, "Cut" ... "Save to file..."
constexpr int sdxDateError = 38927;       // "Invalid Date"
constexpr int sdxDateKeywordToday = 38928;  // twenty keywords, "TODAY" ... "NOW"

const char* const kToolBitmaps[] = {"DXTOOL_CUT",    "DXTOOL_COPY", "DXTOOL_PASTE",
                                    "DXTOOL_DELETE", "DXTOOL_LOAD", "DXTOOL_SAVE"};
const char* const kInplaceBitmaps[] = {"DXINPLACE_BLOB_NULL", "DXINPLACE_BLOB", "DXINPLACE_MEMO_NULL",
                                       "DXINPLACE_MEMO",      "DXINPLACE_PICT_NULL", "DXINPLACE_PICT",
                                       "DXINPLACE_OLE_NULL",  "DXINPLACE_OLE"};

int gStarts = 0;
std::unique_ptr<TImageList> gToolGlyphs;
std::unique_ptr<TImageList> gInplaceGlyphs;
std::unique_ptr<TCanvas> gSharedCanvas;
std::string gDateErrorText;
TDxTimeConstants gTimes;
TDxToolTexts gToolCaptions;
TDxToolTexts gToolHints;
TDxBlobButtonCaptions gBlobCaptions;

void LoadHandCursor(HINSTANCE instance) {
  assert(Screen && "the forms unit starts before the editor module");
  auto cursor = static_cast<HCURSOR>(LoadImageA(instance, "DX_HANDPOINT", IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
  if (cursor)
    Screen->SetCursors(crDxHandPoint, cursor);
}

}  // namespace

std::string DxLoadStr(int id) {
  char buffer[256];
  const int length = LoadStringA(ClassLibInstance(), UINT(id), buffer, int(sizeof buffer));
  return std::string(buffer, length > 0 ? size_t(length) : 0);
}

std::unique_ptr<TImageList> LoadGlyphList(HINSTANCE instance, std::span<const char* const> names, TColor mask) {
  auto list = std::make_unique<TImageList>(nullptr);
  bool sized = false;
  for (const char* name : names) {
    if (!FindResourceA(instance, name, MAKEINTRESOURCEA(2)))  // RT_BITMAP
      continue;
    TBitmap bitmap;
    bitmap.LoadFromResourceName(instance, name);
    if (!sized) {
      list->SetSize(bitmap.GetWidth(), bitmap.GetHeight());
      sized = true;
    }
    list->AddMasked(&bitmap, mask);
  }
  return list;
}

std::unique_ptr<TImageList> LoadToolGlyphs(HINSTANCE instance) {
  return LoadGlyphList(instance, kToolBitmaps, clDefault);
}

std::unique_ptr<TImageList> LoadInplaceGlyphs(HINSTANCE instance) {
  return LoadGlyphList(instance, kInplaceBitmaps, clOlive);
}

void InitializeDxExEdtr() {
  if (gStarts++ > 0)
    return;
  const HINSTANCE instance = ClassLibInstance();
  MeasureDxCheckSize();
  LoadHandCursor(instance);
  gDateErrorText = DxLoadStr(sdxDateError);
  gTimes = TDxTimeConstants{EncodeTime(0, 0, 1, 0), EncodeTime(0, 1, 0, 0), EncodeTime(1, 0, 0, 0),
                            EncodeTime(0, 0, 0, 0), EncodeTime(23, 59, 59, 0)};
  gToolGlyphs = LoadToolGlyphs(instance);
  // The seventh pair belongs to the custom button, which the tool bar names itself.
  for (int i = 0; i < kDxToolButtonCount - 1; ++i) {
    gToolCaptions[size_t(i)] = DxLoadStr(sdxToolCaptionCut + i);
    gToolHints[size_t(i)] = DxLoadStr(sdxToolHintCut + i);
  }
  gSharedCanvas = std::make_unique<TCanvas>();
  gInplaceGlyphs = LoadInplaceGlyphs(instance);
  for (size_t i = 0; i < gBlobCaptions.size(); ++i)
    gBlobCaptions[i] = DxLoadStr(sdxBlobButtonOK + int(i));
  CreateDxCheckController();
  TDxDateKeywords& keywords = DxDateKeywords();
  for (int k = 0; k < dkKeywordCount; ++k) {
    // A module without the string keeps the built-in word.
    const std::string word = DxLoadStr(sdxDateKeywordToday + k);
    if (!word.empty())
      keywords[size_t(k)] = word;
  }
}

void FinalizeDxExEdtr() {
  if (gStarts == 0 || --gStarts > 0)
    return;
  DxDateKeywords() = DxDefaultDateKeywords();
  FreeDxCheckController();
  gBlobCaptions = {};
  gInplaceGlyphs.reset();
  gSharedCanvas.reset();
  gToolCaptions = {};
  gToolHints = {};
  gToolGlyphs.reset();
  gTimes = {};
  gDateErrorText.clear();
  if (Screen)
    Screen->SetCursors(crDxHandPoint, nullptr);
}

TImageList* DxToolGlyphs() { return gToolGlyphs.get(); }
TImageList* DxInplaceGlyphs() { return gInplaceGlyphs.get(); }
TCanvas* DxSharedCanvas() { return gSharedCanvas.get(); }
const std::string& DxDateErrorText() { return gDateErrorText; }
const TDxTimeConstants& DxTimeConstants() { return gTimes; }
const TDxToolTexts& DxToolCaptions() { return gToolCaptions; }
const TDxToolTexts& DxToolHints() { return gToolHints; }
const TDxBlobButtonCaptions& DxBlobButtonCaptions() { return gBlobCaptions; }
