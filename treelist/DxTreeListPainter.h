// TdxTreeListPainter: the paint pass of a tree list. It owns the current paint pass, the
// feedback count, the cell view data and the spare font; with them the order of the areas a
// paint runs, the brushes and colours, clipping and the interaction feedback. The areas are
// painted by the views it makes per pass (headers, panels, rows; cells by the cell painter).
// Colours, brushes and clipping are only asked while a pass runs (asserted); a pass frees
// every handle it made also when a painter raises.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include <cassert>
#include <cstdint>
#include <memory>

#include "classlib/Colors.h"
#include "classlib/Geometry.h"
#include "classlib/Object.h"
#include "classlib/UpdateScope.h"
#include "classlib/Win.h"

class TCustomdxTreeList;
class TFont;
class TdxTreeListCellViewData;
class TdxTreeListNode;
struct TdxTreeListPaintPass;

class TdxTreeListPainter : public TObject {
  KIVO_CLASS(TdxTreeListPainter, TObject)
 public:
  explicit TdxTreeListPainter(TCustomdxTreeList& control);
  ~TdxTreeListPainter() override;
  TdxTreeListPainter(const TdxTreeListPainter&) = delete;
  TdxTreeListPainter& operator=(const TdxTreeListPainter&) = delete;

  // One paint of the control's canvas: a fresh layout, the pass's brushes, then the areas
  // in a fixed order (top panel, band row, header panel, new-item row, indicator, footer,
  // status panel, rows), with the interaction feedback off the screen meanwhile.
  void Paint();
  // The pass that runs; only while painting.
  TdxTreeListPaintPass& GetPass() const {
    assert(FPaintPass && "the paint pass is asked while painting");
    return *FPaintPass;
  }

  // Interaction feedback (the XOR sizing line of the sizing states) is taken off the
  // screen by the first of nested HideFeedback calls and put back by the matching last
  // ShowFeedback; every call counts.
  void HideFeedback();
  void ShowFeedback();
  int GetFeedbackCount() const { return FFeedbackCount; }

  // The window with the keyboard focus is the control or one of its child windows, or
  // the control is editing and its editor has the focus.
  bool IsControlFocused();
  // The colours of a row's cell (`column` -1: the row itself): background, text and the
  // brush of the current paint pass. Only while painting.
  void GetRowColors(TdxTreeListNode* node, bool selected, bool focused, bool groupRow, bool hasChildren, int level,
                    int32_t column, TColor& color, TColor& textColor, HBRUSH& brush);
  // The colour and brush of a column's cells without row highlight.
  void GetColumnColors(int32_t column, TColor& color, HBRUSH& brush);
  // The brush of a tree level in the grid look: its level colour, else the group brush.
  HBRUSH LevelBrush(int level, TColor* color = nullptr);
  // A node drag runs or a drag from outside is over the control.
  bool HasDragFeedback() const;
  // Whether a cell of a selected row is drawn highlighted.
  bool IsCellHighlighted(bool rowSelected, bool focusedNode, int32_t column, bool newItemRow);
  // Canvas font := `font`, text colour := its colour; the canvas DC with it selected.
  HDC SelectCanvasFont(TFont* font);

  // Clipping of the current paint pass: SetClip narrows the DC's clip region to `rect`
  // (within the region before it), RestoreClip puts that region back.
  void SetClip(const TRect& rect);
  void RestoreClip();

  // The values a cell is painted from (refilled before every cell), and the font the cell
  // painters save the canvas font in while a cell changes it.
  TdxTreeListCellViewData* GetCellViewData() const { return FCellViewData.get(); }
  TFont* GetSpareFont() const { return FSpareFont.get(); }

 private:
  // The brushes and the column brush table of a pass, and the top panel.
  void CreatePaintBrushes(TdxTreeListPaintPass& pass);
  void PaintTopPanel();

  TCustomdxTreeList& FControl;
  TdxTreeListPaintPass* FPaintPass = nullptr;
  int FFeedbackCount = 0;
  std::unique_ptr<TdxTreeListCellViewData> FCellViewData;
  std::unique_ptr<TFont> FSpareFont;
};

// The calls of the feedback bracket: the feedback is put back also when the scope ends
// by an exception.
struct TdxTreeListFeedbackCalls {
  static void Begin(TdxTreeListPainter& painter) { painter.HideFeedback(); }
  static void End(TdxTreeListPainter& painter) { painter.ShowFeedback(); }
  static void EndQuiet(TdxTreeListPainter& painter) { painter.ShowFeedback(); }
};

// The interaction feedback off the screen for the lifetime of the scope.
using TdxTreeListFeedbackScope = TUpdateScope<TdxTreeListPainter, TdxTreeListFeedbackCalls>;
