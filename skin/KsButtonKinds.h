// What the skinned buttons and check marks compute without a window: the standard
// button kinds with their captions, glyph resources and modal results, the process-wide
// cache of the kind glyphs, the glyph-cell count rules, and the placement of content,
// caption, glyph and check mark inside a control.
//
// The cell count is kept within 1..4: a glyph whose width is 0 (or the count setter
// given 0) would otherwise make the cell width a division by zero; an empty glyph
// counts as one cell.
#pragma once

#include <string>

#include "classlib/Geometry.h"

class TBitmap;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

struct TBitBtnKindInfo {
  const char* Caption;    // null for bkCustom
  const char* GlyphName;  // the bitmap resource, null for bkCustom
  int ModalResult;
  bool Default;
};
const TBitBtnKindInfo& BitBtnKindInfo(TBitBtnKind kind);

// The kind's glyph, loaded from this module's resources on first use and kept until
// FinalizeKsButtons; null for bkCustom. Raises EResNotFound when the resource is missing.
TBitmap* BitBtnKindGlyph(TBitBtnKind kind);
// Frees the cached glyphs (library unload).
void FinalizeKsButtons();

constexpr int kMinNumGlyphs = 1;
constexpr int kMaxNumGlyphs = 4;
int ClampNumGlyphs(int value);
// The cell count after the glyph changed to width x height: 1 for an empty glyph;
// width div height when the width is a multiple of the height (1 when that exceeds 4);
// otherwise `current`.
int DeriveNumGlyphs(int width, int height, int current);
// One cell's size: (width div numGlyphs, height); (0, 0) for an empty glyph.
TSize GlyphCellSize(int width, int height, int numGlyphs);

// The button's content (caption plus glyph and spacing) centred in a control of
// controlWidth x controlHeight, moved by (1, 1) when down. An empty `glyph` has no
// share in it.
TRect ButtonContentRect(TSize caption, TSize glyph, TButtonLayout layout, int spacing,
                        int controlWidth, int controlHeight, bool down);
// The caption's part of the content: the glyph's side strip cut off.
TRect ButtonCaptionRect(const TRect& content, TSize glyph, TButtonLayout layout, int spacing);
// The glyph's side strip of the content (glyph size plus spacing).
TRect ButtonGlyphRect(const TRect& content, TSize glyph, TButtonLayout layout, int spacing);

// The check mark of `mark` size: at the left edge of the control, centred vertically;
// with the mark on the right, in the strip of the mark's width at the right edge.
TRect CheckMarkRect(TSize mark, int controlWidth, int controlHeight, bool markRight);
// The caption's text rectangle (text size `text`): after the mark and `spacing`, or from
// x = 2 with the mark on the right; centred vertically.
TRect CheckCaptionRect(TSize text, TSize mark, int spacing, int controlHeight, bool markRight);
