// The tree list's drawing primitives: small recurring elements painted on a device
// context with rectangles from the layout (expand buttons, cell and preview text, focus
// and sizing frames, centred images, text measuring), the button-like elements of the
// band row, the header panel and the indicator column, and the module's shared images.
//
// Every routine leaves the DC as it found it: colours, modes, selected objects and the
// clip region are restored, and every GDI object it makes is deleted before it returns,
// also when it raises. System colours are read when drawing.
//
// The tree-list unit (InitializeDxTreeList / FinalizeDxTreeList, counted) owns the
// indicator image list (five images: "DXGRID_ARROW", "DXGRID_EDIT", "DXGRID_INSERT",
// "DXGRID_MULTIDOT", "DXGRID_MULTIARROW", white transparent), the two 12 x 12 glyphs of
// the grid look's expand buttons and the screen DC texts are measured on. Outside
// start-up and shut-down the images are missing and the routines draw no image.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classlib/Colors.h"
#include "classlib/Controls.h"
#include "classlib/Geometry.h"
#include "classlib/Win.h"
#include "treelist/DxTreeListTypes.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TFont;
class TGraphic;
class TImageList;

// Start-up also puts the module's ten cursors into the screen's cursor table (the delete
// cursor, the middle-button scrolling's seven and the drag copy's two) and loads the
// customizing window's texts; shut-down takes them out again.
void InitializeDxTreeList();
void FinalizeDxTreeList();
constexpr TCursor crDxTreeListDelete = -1124;
// The middle-button scrolling's cursors: at rest, where both directions, only the
// horizontal or only the vertical one scroll; then scrolling in each direction.
constexpr TCursor crDxTreeListFullScroll = -1131;
constexpr TCursor crDxTreeListHorzScroll = -1132;
constexpr TCursor crDxTreeListVertScroll = -1133;
constexpr TCursor crDxTreeListUpScroll = -1134;
constexpr TCursor crDxTreeListRightScroll = -1135;
constexpr TCursor crDxTreeListDownScroll = -1136;
constexpr TCursor crDxTreeListLeftScroll = -1137;
// A copying drag of one node and of several.
constexpr TCursor crDxTreeListDragCopy = -1138;
constexpr TCursor crDxTreeListMultiDragCopy = -1139;
// The customizing window's texts: 0 its caption "Customize", 1 the band page's
// "    Bands    ", 2 the header page's "   Headers   ".
const std::string& DxTreeListCustomizeText(int index);
// The indicator image list; null outside start-up and shut-down.
TImageList* DxTreeListIndicatorImages();
// The grid look's expand-button glyphs: plus (collapsed) and minus (expanded); null
// outside start-up and shut-down.
TBitmap* DxTreeListExpandGlyph(bool plus);
// Draws both expand-button glyphs again in the current system colours.
void RebuildDxTreeListExpandGlyphs();

// Composes a drawing in the top left of `bitmap`, which grows to hold `rect`, in the
// DC's font, colours and background mode, and copies its `clipped` part (a part of
// `rect`) to the DC. `draw` gets the bitmap's DC and the rectangle to draw in.
void DrawThroughBitmap(HDC dc, const TRect& rect, const TRect& clipped, TBitmap* bitmap,
                       const std::function<void(HDC, const TRect&)>& draw);

// ---- Tree-area and cell primitives

// The tree look's 9 x 9 expand button, centred horizontally in `rect` on the line `y`.
void DrawExpandButton(HDC dc, const TRect& rect, int y, bool plus);
// The framed look's 10 x 10 expand button with its one-pixel shadow, centred in `rect`.
void DrawExpandButton3D(HDC dc, const TRect& rect, bool plus);

// The text of a cell on `brush`. Through DrawText (word-wrapped or ending with an
// ellipsis) unless `directOutput` is set or neither is wanted, and always through it
// when `bkColor` is no pure colour of the DC; else through ExtTextOut with a 2-pixel
// margin. `twoPixelInset` insets the text 2 pixels from the top instead of 1. With
// `buffered` (and a bitmap) the cell is composed in `bitmap` and copied.
struct TdxCellTextParams {
  HBRUSH Brush = nullptr;
  bool DirectOutput = false;
  bool TwoPixelInset = true;
  bool Buffered = false;
  TAlignment Alignment = taLeftJustify;
  bool EndEllipsis = false;
  bool MultiLine = false;
  TColor BkColor = clWindow;
};
void DrawCellText(HDC dc, const TRect& rect, const TdxCellTextParams& params, const std::string& text,
                  TBitmap* bitmap);

// The preview text of a row: `rect` filled with `Brush`, the text indented by `Indent`
// and word-wrapped in `Color` and `Font`, ending with an ellipsis.
struct TdxPreviewText {
  HBRUSH Brush = nullptr;
  int Indent = 0;
  TColor Color = clBlue;
  HFONT Font = nullptr;
  std::string Text;
};
void DrawPreviewText(HDC dc, const TRect& rect, bool buffered, const TdxPreviewText& preview, TBitmap* bitmap);

// The dotted focus rectangle, black on white whatever the DC's colours.
void DrawFocusFrame(HDC dc, const TRect& rect);
// Inverts the one-pixel border of `rect` (no pixel twice).
void InvertFrame(HDC dc, const TRect& rect);
// Image `index` of the list (nothing out of range), and a graphic, centred in `rect`.
void DrawImageCentered(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index);
void DrawGraphicCentered(TCanvas* canvas, const TRect& rect, TGraphic* graphic);
// The lines `text` takes in `font` at `width` less `reduce` (less the text insets):
// 0 for an empty text or `maxLines` 0; `height` receives the measured height plus 3.
// `lineHeight` 0 measures the line as the height of "Wg"; `maxLines` -1 is no limit.
int MeasureTextLines(const std::string& text, int width, int lineHeight, int& height, int reduce,
                     bool twoPixelInset, TFont* font, int maxLines);
inline bool RectIsPoint(const TRect& r) { return r.left == r.right && r.top == r.bottom; }

// ---- Button primitives of the band row, the header panel and the indicator column

// The button's face in `look` at `position` (0 a button of a single header row; 1 to 3
// the buttons of several rows, which share their horizontal edges); `rect` becomes the
// content area left inside it.
void DrawButtonFace(HDC dc, TRect& rect, HBRUSH brush, TdxLookAndFeel look, int position, bool pressed);
void DrawCornerButton(HDC dc, const TRect& rect, HBRUSH brush, TdxLookAndFeel look, bool pressed);

// Everything a band or column header button shows.
struct TdxHeaderButton {
  HBRUSH Brush = nullptr;
  uint8_t DropDownState = 0;  // 0 none; bits 2, 4 and 8 as DrawDropDownMark
  TdxLookAndFeel Look = lfStandard;
  int Position = 0;
  TBitmap* Glyph = nullptr;
  TdxTreeListColumnSort Sorted = csNone;
  TAlignment Alignment = taLeftJustify;
  bool MultiLine = false;
  bool Pressed = false;
  std::string Text;
};
// The DrawText flags of a header caption in `contentWidth` (DT_NOCLIP when a single
// line fits).
UINT HeaderTextFlags(HDC dc, const TdxHeaderButton& button, int contentWidth);
void DrawHeaderButton(HDC dc, const TRect& rect, const TdxHeaderButton& button);
// The button composed whole in `bitmap` in the DC's font and text colour, inverted when
// pressed in the flat looks, and only its `clipped` part copied to the DC.
void DrawHeaderButtonBuffered(HDC dc, const TRect& rect, const TRect& clipped, const TdxHeaderButton& button,
                              TBitmap* bitmap);
// An indicator cell with indicator image `image` - 1 centred (0: none).
void DrawIndicatorButtonBuffered(HDC dc, const TRect& rect, const TRect& clipped, TdxLookAndFeel look, int image,
                                 TBitmap* bitmap, HBRUSH brush);
// The etched sort triangle, apex up or down, in the middle of `rect`.
void DrawSortArrow(HDC dc, const TRect& rect, bool up);
// The drop-down mark of a header button: state bit 4 pressed, 2 hot, 8 filtered.
void DrawDropDownMark(HDC dc, const TRect& rect, uint8_t state);
void DrawSunkenFrame(HDC dc, const TRect& rect, TdxLookAndFeel look);
