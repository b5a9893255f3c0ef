// View data: everything an editor's class operations need to measure and paint a cell
// that looks like the editor, without an editor window (TdxInplaceEdit's class
// operations). The draw record holds the frame geometry CalcViewData derives from it.
#pragma once

#include <cstdint>

#include "classlib/Controls.h"
#include "classlib/Geometry.h"
#include "classlib/Object.h"
#include "classlib/Variants.h"
#include "classlib/Win.h"
#include "editors/DxEditStyle.h"

// Where a cell's text goes vertically: at the top, centred, at the bottom, or in lines
// broken at words from the top.
enum TdxVertAlignment : uint8_t { vaTop, vaCenter, vaBottom, vaWordWrap };

// The case a text editor shows its text in.
enum TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };

// Plain data made through the class an editor class names (GetViewDataClass); every
// field starts at zero. Colours are RGB values, brush and font are borrowed handles.
class TdxEditViewData : public TObject {
  KIVO_CLASS(TdxEditViewData, TObject)
 public:
  bool Enabled = false;
  bool Focused = false;
  // Hot: the mouse is over the editor, or it is focused and enabled.
  bool Active = false;
  TColor BorderColor = 0;
  TdxEditBorderStyle BorderStyle = xbsNone;
  TdxEditButtonViewStyle ButtonStyle = btsDefault;
  bool ButtonTransparent = false;
  // Text deflated by 2 without margins, with a focus rectangle while focused.
  bool FocusRectMode = false;
  TdxEditEdges Edges;
  bool Shadow = false;
  // Text drawn without changing the background mode.
  bool TransparentText = false;
  // Text drawn without filling its background.
  bool NoFill = false;
  TRect Margins{};
  // The whole painted area, shadow included.
  TRect Bounds{};
  TAlignment Alignment = taLeftJustify;
  TdxVertAlignment VertAlignment = vaTop;
  HBRUSH Brush = nullptr;
  COLORREF Color = 0;
  HFONT Font = nullptr;
  COLORREF TextColor = 0;
  bool HasTextArea = false;
  Variant Value;
  // Characters of the shown text; 0 = not computed yet.
  int32_t TextLength = 0;
  // Measure, do not paint.
  bool CalcOnly = false;
  // Results of measuring a text.
  int32_t LineCount = 0;
  int32_t TextHeight = 0;
  int32_t LineHeight = 0;
  // Mouse cursor over the cell; 0 = the class's default.
  TCursor Cursor = crDefault;
};

// The text editor's view data.
class TdxTextEditViewData : public TdxEditViewData {
  KIVO_CLASS(TdxTextEditViewData, TdxEditViewData)
 public:
  TEditCharCase CharCase = ecNormal;
  bool EndEllipsis = false;
  // 0 = none.
  char PasswordChar = 0;
  bool SelectionBar = false;
};

// The frame geometry of a cell, filled by CalcViewData.
struct TdxEditDrawRecord {
  // 0 for xbsNone, 1 for xbsSingle, 2 for the others.
  int32_t BorderWidth = 0;
  // 2 with a shadow, else 0.
  int32_t ShadowWidth = 0;
  TRect Bounds{};
  // Bounds less 2 on the left and top and 2 + ShadowWidth on the right and bottom.
  TRect InnerRect{};
  bool EdgeLeft = false;
  bool EdgeTop = false;
  bool EdgeRight = false;
  bool EdgeBottom = false;
  // InnerRect grown by BorderWidth on each side that has an edge.
  TRect BorderRect{};
  // BorderRect moved by the shadow width; empty without a shadow.
  TRect ShadowRect{};
};

// The text editor's content painting from view data (its DrawContent): the value as
// text, in its case, hidden behind the password character, inset by the margins and
// aligned; with CalcOnly it is measured into LineCount, TextHeight and LineHeight.
bool DrawTextEditContent(HDC dc, const TRect& rect, TdxTextEditViewData* viewData, bool editorWindow);
