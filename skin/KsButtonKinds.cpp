#include "skin/KsButtonKinds.h"

#include <array>
#include <cassert>
#include <memory>

#include "classlib/Bitmap.h"
#include "classlib/Forms.h"
#include "classlib/Win.h"
#include "skin/KsCommonConst.h"

namespace {

constexpr std::array<TBitBtnKindInfo, 11> kKinds = {{
    {nullptr, nullptr, mrNone, false},
    {"OK", "KSBTN_OK", mrOk, true},
    {"Cancel", "KSBTN_CANCEL", mrCancel, false},
    {"&Help", "KSBTN_HELP", mrNone, false},
    {"&Yes", "KSBTN_YES", mrYes, true},
    {"&No", "KSBTN_NO", mrNo, false},
    {"&Close", "KSBTN_CLOSE", mrNone, false},
    {"Abort", "KSBTN_ABORT", mrAbort, false},
    {"&Retry", "KSBTN_RETRY", mrRetry, false},
    {"&Ignore", "KSBTN_IGNORE", mrIgnore, false},
    {"&All", "KSBTN_ALL", mrAll, false},
}};

std::array<std::unique_ptr<TBitmap>, 11> gGlyphs;

}  // namespace

const TBitBtnKindInfo& BitBtnKindInfo(TBitBtnKind kind) {
  assert(kind >= bkCustom && kind <= bkAll && "a button kind");
  return kKinds[kind];
}

TBitmap* BitBtnKindGlyph(TBitBtnKind kind) {
  const TBitBtnKindInfo& info = BitBtnKindInfo(kind);
  if (!info.GlyphName)
    return nullptr;
  std::unique_ptr<TBitmap>& glyph = gGlyphs[kind];
  if (!glyph) {
    auto loaded = std::make_unique<TBitmap>();
    loaded->LoadFromResourceName(SkinResourceInstance(), info.GlyphName);
    glyph = std::move(loaded);
  }
  return glyph.get();
}

void FinalizeKsButtons() {
  for (auto& glyph : gGlyphs)
    glyph.reset();
}

int ClampNumGlyphs(int value) {
  return value < kMinNumGlyphs ? kMinNumGlyphs : value > kMaxNumGlyphs ? kMaxNumGlyphs : value;
}

int DeriveNumGlyphs(int width, int height, int current) {
  if (width <= 0 || height <= 0)
    return 1;
  if (width % height != 0)
    return ClampNumGlyphs(current);
  int cells = width / height;
  return cells > kMaxNumGlyphs ? 1 : cells;
}

TSize GlyphCellSize(int width, int height, int numGlyphs) {
  if (width <= 0 || height <= 0)
    return TSize{0, 0};
  return TSize{width / ClampNumGlyphs(numGlyphs), height};
}

namespace {

bool HasGlyph(TSize glyph) { return glyph.cx > 0 && glyph.cy > 0; }
bool Vertical(TButtonLayout layout) { return layout == blGlyphTop || layout == blGlyphBottom; }

}  // namespace

TRect ButtonContentRect(TSize caption, TSize glyph, TButtonLayout layout, int spacing,
                        int controlWidth, int controlHeight, bool down) {
  int w = caption.cx, h = caption.cy;
  if (HasGlyph(glyph)) {
    if (Vertical(layout))
      h += glyph.cy + spacing;
    else
      w += glyph.cx + spacing;
  }
  if (w < glyph.cx)
    w = glyph.cx;
  if (h < glyph.cy)
    h = glyph.cy;
  // Division truncates toward zero, also for content larger than the control.
  int left = (controlWidth - w) / 2, top = (controlHeight - h) / 2;
  if (down)
    ++left, ++top;
  return TRect{left, top, left + w, top + h};
}

TRect ButtonCaptionRect(const TRect& content, TSize glyph, TButtonLayout layout, int spacing) {
  TRect r = content;
  if (!HasGlyph(glyph))
    return r;
  switch (layout) {
    case blGlyphLeft: r.left += glyph.cx + spacing; break;
    case blGlyphRight: r.right -= glyph.cx + spacing; break;
    case blGlyphTop: r.top += glyph.cy + spacing; break;
    case blGlyphBottom: r.bottom -= glyph.cy + spacing; break;
  }
  return r;
}

TRect ButtonGlyphRect(const TRect& content, TSize glyph, TButtonLayout layout, int spacing) {
  TRect r = content;
  switch (layout) {
    case blGlyphLeft: r.right = r.left + glyph.cx + spacing; break;
    case blGlyphRight: r.left = r.right - glyph.cx - spacing; break;
    case blGlyphTop: r.bottom = r.top + glyph.cy + spacing; break;
    case blGlyphBottom: r.top = r.bottom - glyph.cy - spacing; break;
  }
  return r;
}

TRect CheckMarkRect(TSize mark, int controlWidth, int controlHeight, bool markRight) {
  int left = markRight ? controlWidth - mark.cx : 0;
  int top = (controlHeight - mark.cy) / 2;
  return TRect{left, top, left + mark.cx, top + mark.cy};
}

TRect CheckCaptionRect(TSize text, TSize mark, int spacing, int controlHeight, bool markRight) {
  int left = markRight ? 2 : mark.cx + spacing;
  int top = (controlHeight - text.cy) / 2;
  return TRect{left, top, left + text.cx, top + text.cy};
}
