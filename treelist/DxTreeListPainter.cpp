// The paint pipeline: one pass computes a fresh layout, makes every brush it needs once,
// runs the area painters in a fixed order and frees everything again; the colours of
// rows and cells, the clip helpers of the area painters, and the interaction feedback
// that painting hides and shows.
//
// Decisions taken here:
// - Hiding and showing the feedback count every call and act only when the count goes
//   from 0 to 1 and from 1 to 0. Counting only the acting calls let nested pairs (a
//   paint inside another paint or inside a scroll) drive the count below 0 and toggle
//   the XOR sizing line out of step, which left ghost lines on the screen.
// - The column brush table is looked up by the column it was made for, never by
//   position: the layout's order of column entries is not the order of the columns,
//   and a column without an entry (scrolled out, hidden band) has no brush.
// - A pass saves the DC's state before it starts and restores it at its end, also when
//   a painter raises: clip region, colours and selected objects are as before, and
//   every brush, region and bitmap of the pass is freed by its owner.
// - OptionsEx bit 0 is one option with all its effects: rows are 2 pixels taller, and
//   a selected row is drawn highlighted except its focused cell, whose focus frame and
//   search frame reach over the cell's grid lines.
#include "treelist/DxTreeListPainter.h"

#include <algorithm>
#include <cassert>

#include "classlib/Canvas.h"
#include "classlib/GdiHandles.h"
#include "editors/DxInplaceEdit.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListHeaderPainter.h"
#include "treelist/DxTreeListPaintPass.h"
#include "treelist/DxTreeListPanelPainter.h"
#include "treelist/DxTreeListRowPainter.h"

namespace {

// The panel line colour of the framed look.
constexpr TColor kFramedPanelLineColor = TColor(0x00A0A0A0);

HBRUSH NewBrush(TBrushHandle& handle, TColor color) {
  handle.Reset(CreateSolidBrush(ColorToRGB(color)));
  return handle.Get();
}

bool IsSizingState(TdxTreeListState state) {
  return state == stColumnSizing || state == stBandSizing || state == stBandPanelSizing ||
         state == stHeaderPanelSizing || state == stRowSizing;
}

// Clears the painter's reference to its pass (FPaintPass) when the pass ends.
struct TPassScope {
  TdxTreeListPaintPass*& Field;
  ~TPassScope() { Field = nullptr; }
};

}  // namespace

// ---- The control's painting

void TCustomdxTreeList::Paint() { FPainter.Paint(); }

// ---- The pass

TdxTreeListPainter::TdxTreeListPainter(TCustomdxTreeList& control)
    : FControl(control), FCellViewData(new TdxTreeListCellViewData()), FSpareFont(new TFont()) {}

TdxTreeListPainter::~TdxTreeListPainter() = default;

void TdxTreeListPainter::Paint() {
  const TdxTreeListFeedbackScope feedbackHidden(this);

  TCanvas* canvas = FControl.GetCanvas();
  HDC dc = canvas->GetHandle();
  TSaveDCGuard dcState(dc);
  TdxTreeListPaintPass pass;
  pass.DC = dc;
  FControl.CalcLayout(pass.Layout);
  pass.Focused = IsControlFocused();
  pass.FocusedColumn = FControl.GetColumnByVisibleIndex(FControl.GetFocusedColumn());
  CreatePaintBrushes(pass);
  FPaintPass = &pass;
  TPassScope scope{FPaintPass};

  PaintTopPanel();
  TdxTreeListHeaderPainter headers(FControl);
  headers.PaintBandRow();
  headers.PaintHeaderPanel();
  TdxTreeListPanelPainter panels(FControl);
  panels.PaintNewItemRow();
  panels.PaintIndicator();
  panels.PaintFooter();
  panels.PaintStatusPanel();
  TdxTreeListRowPainter(FControl).DrawNodes();
}

void TdxTreeListPainter::CreatePaintBrushes(TdxTreeListPaintPass& pass) {
  NewBrush(pass.BandBrush, FControl.GetBandColor());
  NewBrush(pass.HeaderBrush, FControl.GetHeaderColor());
  NewBrush(pass.GroupBrush, FControl.GetGroupNodeColor());
  NewBrush(pass.BackgroundBrush, FControl.GetColor());
  pass.PanelLineColor = FControl.GetLookAndFeel() == lfFramed ? kFramedPanelLineColor : clBtnShadow;
  NewBrush(pass.PanelLineBrush, pass.PanelLineColor);
  NewBrush(pass.HighlightBrush, FControl.GetHighlightColor());
  NewBrush(pass.TreeLineBrush, FControl.GetTreeLineColor());
  NewBrush(pass.InactiveSelectionBrush, FControl.GetHideSelectionColor());
  NewBrush(pass.FooterBrush, FControl.GetFooterColor());
  NewBrush(pass.FixedLineBrush, FControl.GetFixedBandLineColor());

  const COLORREF background = ColorToRGB(FControl.GetColor());
  int32_t highest = -1;
  for (const TdxTreeListColumnEntry& entry : pass.Layout.Columns)
    highest = std::max(highest, entry.Column);
  pass.ColumnIndex.assign(static_cast<size_t>(highest + 1), -1);
  pass.ColumnBrushes.reserve(pass.Layout.Columns.size());
  for (const TdxTreeListColumnEntry& entry : pass.Layout.Columns) {
    if (entry.Column < 0 || pass.ColumnIndex[entry.Column] >= 0)
      continue;
    TdxTreeListColumnBrush& brush = pass.ColumnBrushes.emplace_back();
    brush.Column = entry.Column;
    brush.Color = FControl.GetColumnColor(entry.Column);
    if (ColorToRGB(brush.Color) != background)
      NewBrush(brush.Brush, brush.Color);
    pass.ColumnIndex[entry.Column] = static_cast<int>(pass.ColumnBrushes.size()) - 1;
  }
}

void TdxTreeListPainter::PaintTopPanel() {
  const TRect& panel = FPaintPass->Layout.TopPanel;
  if (IsEmptyRect(panel) || !RectVisible(FPaintPass->DC, &panel))
    return;
  FControl.DrawTopPanel(FControl.GetCanvas(), panel, FPaintPass->PanelLineBrush.Get(), FPaintPass->HeaderBrush.Get());
}

HDC TdxTreeListPainter::SelectCanvasFont(TFont* font) {
  TCanvas* canvas = FControl.GetCanvas();
  canvas->GetFont()->Assign(font);
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
  HDC dc = canvas->GetHandle();
  SetTextColor(dc, ColorToRGB(font->GetColor()));
  return dc;
}

// ---- Colours

bool TdxTreeListPainter::IsControlFocused() {
  if (!FControl.HandleAllocated())
    return false;
  HWND focus = GetFocus();
  if (focus && (focus == FControl.GetHandle() || IsChild(FControl.GetHandle(), focus)))
    return true;
  TdxInplaceEdit* editor = FControl.GetEditor();
  return FControl.GetState() == stEditing && editor && editor->IsFocused();
}

void TdxTreeListPainter::GetRowColors(TdxTreeListNode* node, bool selected, bool focused, bool groupRow,
                                      bool hasChildren, int level, int32_t column, TColor& color, TColor& textColor,
                                      HBRUSH& brush) {
  assert(FPaintPass && "row colours are asked while painting");
  TdxTreeListPaintPass& pass = *FPaintPass;
  // A drag over an unfocused control still shows the node it started from.
  if (!focused && HasDragFeedback() && node && node == FControl.GetFocusedNode()) {
    color = FControl.GetHighlightColor();
    textColor = FControl.GetHighlightTextColor();
    brush = pass.HighlightBrush.Get();
    return;
  }
  const bool shownSelected = selected && (!FControl.GetHideSelectionUnfocused() || focused);
  if (shownSelected) {
    color = focused ? FControl.GetHighlightColor() : FControl.GetHideSelectionColor();
    textColor = focused ? FControl.GetHighlightTextColor() : FControl.GetHideSelectionTextColor();
    brush = focused ? pass.HighlightBrush.Get() : pass.InactiveSelectionBrush.Get();
    return;
  }
  if (!FControl.GetMetrics().TreeLook && (groupRow || hasChildren)) {
    textColor =
        FControl.GetGroupNodeTextColor() == clNone ? FControl.GetFont()->GetColor() : FControl.GetGroupNodeTextColor();
    brush = LevelBrush(level, &color);
    return;
  }
  textColor = column >= 0 && FControl.IsColumnOwnFont(column) ? FControl.GetColumnFont(column)->GetColor()
                                                              : FControl.GetFont()->GetColor();
  const TdxTreeListColumnBrush* entry = column >= 0 ? pass.FindColumnBrush(column) : nullptr;
  if (entry && entry->Brush) {
    color = entry->Color;
    brush = entry->Brush.Get();
    return;
  }
  color = FControl.GetColor();
  brush = pass.BackgroundBrush.Get();
}

void TdxTreeListPainter::GetColumnColors(int32_t column, TColor& color, HBRUSH& brush) {
  assert(FPaintPass && "column colours are asked while painting");
  const TdxTreeListColumnBrush* entry = FPaintPass->FindColumnBrush(column);
  if (entry && entry->Brush) {
    color = entry->Color;
    brush = entry->Brush.Get();
    return;
  }
  color = FControl.GetColor();
  brush = FPaintPass->BackgroundBrush.Get();
}

HBRUSH TdxTreeListPainter::LevelBrush(int level, TColor* color) {
  TdxTreeListPaintPass& pass = *FPaintPass;
  TColor levelColor = FControl.GetGroupNodeColor();
  if (FControl.IsLevelColorAssigned())
    FControl.GetLevelColor(level, levelColor);
  if (color)
    *color = levelColor;
  if (levelColor == FControl.GetGroupNodeColor())
    return pass.GroupBrush.Get();
  if (!pass.LevelBrush || pass.LevelColor != levelColor) {
    NewBrush(pass.LevelBrush, levelColor);
    pass.LevelColor = levelColor;
  }
  return pass.LevelBrush.Get();
}

bool TdxTreeListPainter::IsCellHighlighted(bool rowSelected, bool focusedNode, int32_t column, bool newItemRow) {
  // `newItemRow`: the cell belongs to the new-item row, whose own focus flag stands for
  // the selection.
  const bool multi = FControl.IsMultiSelect();
  const bool inverse = FControl.GetOptionsEx().Contains(aoOptionsEx0);
  if (!rowSelected || (!newItemRow && FControl.GetNavigator().GetNewItemRowActive() && !multi))
    return false;
  bool highlighted = false;
  if (FControl.IsRowSelect())
    highlighted = true;
  else if (multi && (!inverse || FControl.GetNavigator().GetNewItemRowActive() || !focusedNode))
    highlighted = true;
  else
    highlighted = (column == FPaintPass->FocusedColumn) != inverse;
  return highlighted && !(FControl.GetHideSelectionUnfocused() && !FPaintPass->Focused);
}

bool TdxTreeListPainter::HasDragFeedback() const {
  return FControl.GetState() == stNodeDragging || FControl.GetDrag().GetDragOverNode();
}

// ---- Clipping

void TdxTreeListPainter::SetClip(const TRect& rect) {
  assert(FPaintPass && !FPaintPass->ClipSet && "one clip at a time, while painting");
  TdxTreeListPaintPass& pass = *FPaintPass;
  HDC dc = pass.DC;
  pass.SavedClip.Reset(CreateRectRgn(0, 0, 0, 0));
  pass.HadClip = GetClipRgn(dc, pass.SavedClip.Get()) == 1;
  // Regions are in device units; the rectangle is in the DC's logical ones.
  TRect device = rect;
  LPtoDP(dc, reinterpret_cast<POINT*>(&device), 2);
  TRegionHandle region(CreateRectRgnIndirect(&device));
  if (pass.HadClip)
    CombineRgn(region.Get(), region.Get(), pass.SavedClip.Get(), RGN_AND);
  SelectClipRgn(dc, region.Get());
  pass.ClipSet = true;
}

void TdxTreeListPainter::RestoreClip() {
  TdxTreeListPaintPass& pass = *FPaintPass;
  if (!pass.ClipSet)
    return;
  SelectClipRgn(pass.DC, pass.HadClip ? pass.SavedClip.Get() : nullptr);
  pass.SavedClip.Reset();
  pass.ClipSet = false;
}

// ---- Interaction feedback

void TdxTreeListPainter::HideFeedback() {
  if (FFeedbackCount++ != 0)
    return;
  if (IsSizingState(FControl.GetState()))
    FControl.GetMouse().GetSizing().DrawSizingLine();
  FControl.GetDrag().ToggleDragFeedback(/*show=*/false);
}

void TdxTreeListPainter::ShowFeedback() {
  assert(FFeedbackCount > 0 && "ShowFeedback without HideFeedback");
  if (FFeedbackCount == 0)
    return;
  if (--FFeedbackCount != 0)
    return;
  if (IsSizingState(FControl.GetState()))
    FControl.GetMouse().GetSizing().DrawSizingLine();
  FControl.GetDrag().ToggleDragFeedback(/*show=*/true);
}
