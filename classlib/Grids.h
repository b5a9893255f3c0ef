// TStringGrid: a grid of text cells drawn by the class library itself.
//
// Columns have their own widths, rows share the default height. Fixed rows and columns
// stay in place; the other rows scroll vertically (the columns do not scroll). The grid
// owns the texts and keeps the objects attached to cells without owning them. The
// current cell moves with the mouse, the arrow keys, Home/End, Page Up/Down, the wheel
// (a row a notch) and, with goTabs, Tab and Shift+Tab; OnSelectCell may refuse a move.
// Tab past the last cell, Shift+Tab before the first and Ctrl+Tab from any cell are the
// dialog's: they move the focus on to the next or previous control.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "classlib/Controls.h"

enum TGridOption {
  goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
  goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
  goAlwaysShowEditor, goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateFlag>;

using TSelectCellEvent = TEvent<TObject* /*Sender*/, int /*ACol*/, int /*ARow*/, bool& /*CanSelect*/>;
using TMovedEvent = TEvent<TObject* /*Sender*/, int /*FromIndex*/, int /*ToIndex*/>;
using TDrawCellEvent = TEvent<TObject* /*Sender*/, int /*ACol*/, int /*ARow*/, TRect /*Rect*/, TGridDrawState>;

class TStringGrid : public TCustomControl {
  KIVO_CLASS(TStringGrid, TCustomControl)
 public:
  explicit TStringGrid(TComponent* AOwner);

  // ---- Shape
  int GetColCount() const { return int(FColWidths.size()); }
  void SetColCount(int value);
  int GetRowCount() const { return FRowCount; }
  void SetRowCount(int value);
  int GetFixedCols() const { return FFixedCols; }
  void SetFixedCols(int value);
  int GetFixedRows() const { return FFixedRows; }
  void SetFixedRows(int value);
  int GetDefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int value);
  int GetDefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int value);
  int GetColWidths(int index) const;
  void SetColWidths(int index, int value);
  int GetGridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int value);
  TGridOptions GetOptions() const { return FOptions; }
  void SetOptions(TGridOptions value);
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  TColor GetFixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor value);

  // ---- Cells
  std::string GetCells(int col, int row) const;
  void SetCells(int col, int row, const std::string& value);
  TObject* GetObjects(int col, int row) const;
  void SetObjects(int col, int row, TObject* value);
  // Moves a row or column (texts, objects and, for a column, its width) to a new index.
  void MoveRow(int fromIndex, int toIndex);
  void MoveColumn(int fromIndex, int toIndex);

  // ---- Current cell and scrolling
  int GetCol() const { return FCol; }
  void SetCol(int value) { FocusCell(value, FRow); }
  int GetRow() const { return FRow; }
  void SetRow(int value) { FocusCell(FCol, value); }
  int GetTopRow() const { return FTopRow; }
  void SetTopRow(int value);
  int GetLeftCol() const { return FFixedCols; }
  // The number of scrolling rows that fit in the client area entirely (at least 1).
  int GetVisibleRowCount();
  // The cell's rectangle in client coordinates, without grid lines; empty when the
  // cell is scrolled out of view or does not exist.
  TRect CellRect(int col, int row);
  // The cell under the client point; -1 in col and row when there is none.
  void MouseToCell(int x, int y, int& col, int& row);

  void Dispatch(TMessage& message) override;

  TSelectCellEvent OnSelectCell;
  TNotifyEvent OnTopLeftChanged;
  TMovedEvent OnRowMoved;
  TMovedEvent OnColumnMoved;
  TDrawCellEvent OnDrawCell;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Paint() override;
  virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
  virtual bool SelectCell(int col, int row);
  virtual void TopLeftChanged();
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Resize() override;
  // The default row height and the column widths scale with the grid.
  void ChangeScale(int M, int D) override;

 private:
  // Makes (col, row) current when it exists, is not fixed and OnSelectCell allows it,
  // then scrolls it into view; false when a handler freed the grid.
  bool FocusCell(int col, int row);
  // True when Tab with `shift` moves the current cell on: goTabs, neither Ctrl nor Alt,
  // and a cell follows the current one (precedes it, with Shift).
  bool KeepsTab(TShiftState shift) const;
  void ScrollIntoView(int row);
  int MaxTopRow();
  void UpdateScrollBar();
  void WMVScroll(TMessage& message);
  void WMMouseWheel(TMessage& message);
  int ColLeft(int col) const;
  // The top of `row` in client coordinates, or INT_MIN when it is hidden by scrolling.
  int RowTop(int row) const;
  void CheckCell(int col, int row) const;
  using TCell = std::pair<std::string, TObject*>;
  TCell* FindCell(int col, int row);
  const TCell* FindCell(int col, int row) const;

  std::vector<int> FColWidths;
  int FRowCount = 5;
  int FFixedCols = 1, FFixedRows = 1;
  int FDefaultColWidth = 64, FDefaultRowHeight = 24;
  int FGridLineWidth = 1;
  TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TScrollStyle FScrollBars = ssBoth;
  TColor FFixedColor = clBtnFace;
  int FCol = 1, FRow = 1, FTopRow = 1;
  // The wheel's turn not yet a whole notch (a fine-grained wheel sends parts of one).
  int FWheelDelta = 0;
  // Cells by (row, column); an absent cell is empty.
  std::map<std::pair<int, int>, TCell> FCells;
};
