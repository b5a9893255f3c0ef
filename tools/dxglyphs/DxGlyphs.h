// Shared by the editor glyph generator and its validator (host tools, plain C++): the
// names, sizes and colours of the in-place editors' bitmaps and of their hand cursor,
// and the rule that makes an "empty value" glyph from its full one.
//
// - DXTOOL_*: the popup tool bar's six buttons, 16 x 16 pixels, 16 colours. The
//   editors add them masked with the bitmap's own transparent colour, which is its
//   bottom-left pixel: kToolKey, never used as ink.
// - DXINPLACE_*: the blob editor's eight icons, 16 x 16, 16 colours, masked with olive
//   (kInplaceKey, the editors' clOlive); each *_NULL icon is its full icon by the rule
//   of EmptyGlyphPixel.
// - DX_HANDPOINT: the hand cursor of hyperlink cells, 32 x 32 monochrome, hot spot at
//   the tip of the pointing finger.
#pragma once

#include "../lunasheets/LunaSheets.h"

namespace dxglyphs {

using luna::Rgb;
using luna::Sheet;

constexpr int kGlyphSize = 16;

// The sixteen colours of every glyph's palette, in palette order.
constexpr Rgb kPalette[16] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},   {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

constexpr Rgb kToolKey{255, 0, 255};
constexpr Rgb kInplaceKey{128, 128, 0};
constexpr Rgb kEmptyRim{128, 128, 128};
constexpr Rgb kEmptyFill{255, 255, 255};

constexpr const char* kToolNames[] = {"DXTOOL_CUT",    "DXTOOL_COPY", "DXTOOL_PASTE",
                                      "DXTOOL_DELETE", "DXTOOL_LOAD", "DXTOOL_SAVE"};
constexpr int kToolCount = 6;
// In the order the editors load them: an empty-value icon before its full icon.
constexpr const char* kInplaceNames[] = {"DXINPLACE_BLOB_NULL", "DXINPLACE_BLOB", "DXINPLACE_MEMO_NULL",
                                         "DXINPLACE_MEMO",      "DXINPLACE_PICT_NULL", "DXINPLACE_PICT",
                                         "DXINPLACE_OLE_NULL",  "DXINPLACE_OLE"};
constexpr int kInplaceCount = 8;

constexpr const char* kCursorName = "DX_HANDPOINT";
constexpr int kCursorSize = 32;
constexpr int kHotSpotX = 5;
constexpr int kHotSpotY = 0;

// The pixel (x, y) of an empty-value icon, from its full icon: the background stays, the
// figure's outline (a figure pixel beside the background or the edge) becomes kEmptyRim
// and its inside kEmptyFill: the same shape with nothing in it.
inline Rgb EmptyGlyphPixel(const Sheet& full, int x, int y) {
  auto background = [&](int cx, int cy) {
    return cx < 0 || cy < 0 || cx >= full.width || cy >= full.height || full.at(cx, cy) == kInplaceKey;
  };
  if (background(x, y))
    return kInplaceKey;
  if (background(x - 1, y) || background(x + 1, y) || background(x, y - 1) || background(x, y + 1))
    return kEmptyRim;
  return kEmptyFill;
}

// Sizes of the files the generator writes: a 4-bit BMP of one glyph, and the cursor.
constexpr size_t kGlyphFileSize = 14 + 40 + 16 * 4 + kGlyphSize * 8;
constexpr size_t kCursorFileSize = 6 + 16 + 40 + 2 * 4 + 2 * kCursorSize * 4;

}  // namespace dxglyphs
