#include "classlib/Grids.h"

#include <algorithm>
#include <climits>

#include "classlib/AliveGuard.h"
#include "classlib/Exceptions.h"

TStringGrid::TStringGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents});
  FColWidths.assign(5, FDefaultColWidth);
  SetBounds(0, 0, 320, 120);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

// ---- Shape ------------------------------------------------------------------------------

void TStringGrid::SetColCount(int value) {
  value = std::max(1, value);
  FColWidths.resize(value, FDefaultColWidth);
  FFixedCols = std::min(FFixedCols, value - 1);
  if (FCol >= value)
    FCol = value - 1;
  FCol = std::max(FCol, FFixedCols);
  Invalidate();
}

void TStringGrid::SetRowCount(int value) {
  FRowCount = std::max(1, value);
  FFixedRows = std::min(FFixedRows, FRowCount - 1);
  FRow = std::clamp(FRow, FFixedRows, FRowCount - 1);
  FTopRow = std::clamp(FTopRow, FFixedRows, std::max(FFixedRows, MaxTopRow()));
  UpdateScrollBar();
  Invalidate();
}

void TStringGrid::SetFixedCols(int value) {
  if (value < 0 || value >= GetColCount())
    throw EInvalidOperation("Fixed column count must be less than column count");
  // The first scrolling column becomes current.
  FFixedCols = value;
  FCol = value;
  Invalidate();
}

void TStringGrid::SetFixedRows(int value) {
  if (value < 0 || value >= FRowCount)
    throw EInvalidOperation("Fixed row count must be less than row count");
  // The first scrolling row becomes current and the top.
  FFixedRows = value;
  FRow = value;
  FTopRow = value;
  UpdateScrollBar();
  Invalidate();
}

void TStringGrid::SetDefaultColWidth(int value) {
  FDefaultColWidth = value;
  std::fill(FColWidths.begin(), FColWidths.end(), value);
  Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int value) {
  FDefaultRowHeight = std::max(1, value);
  UpdateScrollBar();
  Invalidate();
}

void TStringGrid::ChangeScale(int M, int D) {
  inherited::ChangeScale(M, D);
  FDefaultColWidth = MulDiv(FDefaultColWidth, M, D);
  for (int& width : FColWidths)
    width = MulDiv(width, M, D);
  SetDefaultRowHeight(MulDiv(FDefaultRowHeight, M, D));
}

int TStringGrid::GetColWidths(int index) const {
  if (index < 0 || index >= GetColCount())
    ListIndexError(index);
  return FColWidths[index];
}

void TStringGrid::SetColWidths(int index, int value) {
  if (index < 0 || index >= GetColCount())
    ListIndexError(index);
  FColWidths[index] = value;
  Invalidate();
}

void TStringGrid::SetGridLineWidth(int value) {
  FGridLineWidth = std::max(0, value);
  UpdateScrollBar();
  Invalidate();
}

void TStringGrid::SetOptions(TGridOptions value) {
  FOptions = value;
  Invalidate();
}

void TStringGrid::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars)
    return;
  FScrollBars = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TStringGrid::SetFixedColor(TColor value) {
  FFixedColor = value;
  Invalidate();
}

// ---- Cells ------------------------------------------------------------------------------

void TStringGrid::CheckCell(int col, int row) const {
  if (col < 0 || col >= GetColCount())
    ListIndexError(col);
  if (row < 0 || row >= FRowCount)
    ListIndexError(row);
}

TStringGrid::TCell* TStringGrid::FindCell(int col, int row) {
  auto found = FCells.find({row, col});
  return found == FCells.end() ? nullptr : &found->second;
}

const TStringGrid::TCell* TStringGrid::FindCell(int col, int row) const {
  auto found = FCells.find({row, col});
  return found == FCells.end() ? nullptr : &found->second;
}

std::string TStringGrid::GetCells(int col, int row) const {
  CheckCell(col, row);
  const TCell* cell = FindCell(col, row);
  return cell ? cell->first : std::string();
}

void TStringGrid::SetCells(int col, int row, const std::string& value) {
  CheckCell(col, row);
  FCells[{row, col}].first = value;
  const TRect r = CellRect(col, row);
  if (HandleAllocated() && !IsRectEmpty(&r))
    InvalidateRect(GetHandle(), &r, FALSE);
}

TObject* TStringGrid::GetObjects(int col, int row) const {
  CheckCell(col, row);
  const TCell* cell = FindCell(col, row);
  return cell ? cell->second : nullptr;
}

void TStringGrid::SetObjects(int col, int row, TObject* value) {
  CheckCell(col, row);
  FCells[{row, col}].second = value;
}

namespace {

// The index `index` moves to when the entry at `from` moves to `to`.
int MovedIndex(int index, int from, int to) {
  if (index == from)
    return to;
  if (from < to && index > from && index <= to)
    return index - 1;
  if (to < from && index >= to && index < from)
    return index + 1;
  return index;
}

}  // namespace

void TStringGrid::MoveRow(int fromIndex, int toIndex) {
  CheckCell(0, fromIndex);
  CheckCell(0, toIndex);
  std::map<std::pair<int, int>, TCell> moved;
  for (auto& [key, cell] : FCells)
    moved[{MovedIndex(key.first, fromIndex, toIndex), key.second}] = std::move(cell);
  FCells = std::move(moved);
  Invalidate();
  OnRowMoved(this, fromIndex, toIndex);
}

void TStringGrid::MoveColumn(int fromIndex, int toIndex) {
  CheckCell(fromIndex, 0);
  CheckCell(toIndex, 0);
  std::map<std::pair<int, int>, TCell> moved;
  for (auto& [key, cell] : FCells)
    moved[{key.first, MovedIndex(key.second, fromIndex, toIndex)}] = std::move(cell);
  FCells = std::move(moved);
  const int width = FColWidths[fromIndex];
  FColWidths.erase(FColWidths.begin() + fromIndex);
  FColWidths.insert(FColWidths.begin() + toIndex, width);
  Invalidate();
  OnColumnMoved(this, fromIndex, toIndex);
}

// ---- Geometry ---------------------------------------------------------------------------

int TStringGrid::ColLeft(int col) const {
  int x = 0;
  for (int i = 0; i < col; ++i)
    x += FColWidths[i] + FGridLineWidth;
  return x;
}

int TStringGrid::RowTop(int row) const {
  const int pitch = FDefaultRowHeight + FGridLineWidth;
  if (row < FFixedRows)
    return row * pitch;
  if (row < FTopRow)
    return INT_MIN;
  return (FFixedRows + row - FTopRow) * pitch;
}

int TStringGrid::GetVisibleRowCount() {
  const int pitch = FDefaultRowHeight + FGridLineWidth;
  const int room = GetClientHeight() - FFixedRows * pitch;
  return std::max(1, room / pitch);
}

int TStringGrid::MaxTopRow() { return std::max(FFixedRows, FRowCount - GetVisibleRowCount()); }

TRect TStringGrid::CellRect(int col, int row) {
  if (col < 0 || col >= GetColCount() || row < 0 || row >= FRowCount)
    return TRect{};
  const int top = RowTop(row);
  if (top == INT_MIN || top >= GetClientHeight())
    return TRect{};
  const int left = ColLeft(col);
  return TRect{left, top, left + FColWidths[col], top + FDefaultRowHeight};
}

void TStringGrid::MouseToCell(int x, int y, int& col, int& row) {
  col = row = -1;
  if (x < 0 || y < 0 || y >= GetClientHeight())
    return;
  for (int c = 0, left = 0; c < GetColCount(); ++c) {
    left += FColWidths[c] + FGridLineWidth;
    if (x < left) {
      col = c;
      break;
    }
  }
  const int pitch = FDefaultRowHeight + FGridLineWidth;
  const int slot = y / pitch;
  const int r = slot < FFixedRows ? slot : FTopRow + slot - FFixedRows;
  if (col < 0 || r >= FRowCount) {
    col = -1;
    return;
  }
  row = r;
}

// ---- Current cell and scrolling ---------------------------------------------------------

bool TStringGrid::SelectCell(int col, int row) {
  bool canSelect = true;
  OnSelectCell(this, col, row, canSelect);
  return canSelect;
}

bool TStringGrid::FocusCell(int col, int row) {
  if (col < FFixedCols || col >= GetColCount() || row < FFixedRows || row >= FRowCount)
    return true;
  if (col != FCol || row != FRow) {
    bool canSelect = true;
    if (!Survives(this, [&] { canSelect = SelectCell(col, row); }))
      return false;
    if (!canSelect)
      return true;
  }
  FCol = col;
  FRow = row;
  if (!Survives(this, &TStringGrid::ScrollIntoView, row))  // OnTopLeftChanged
    return false;
  Invalidate();
  return true;
}

void TStringGrid::ScrollIntoView(int row) {
  if (row < FFixedRows)
    return;
  if (row < FTopRow)
    SetTopRow(row);
  else if (row >= FTopRow + GetVisibleRowCount())
    SetTopRow(row - GetVisibleRowCount() + 1);
}

void TStringGrid::SetTopRow(int value) {
  value = std::clamp(value, FFixedRows, MaxTopRow());
  if (value == FTopRow)
    return;
  FTopRow = value;
  UpdateScrollBar();
  Invalidate();
  TopLeftChanged();
}

void TStringGrid::TopLeftChanged() { OnTopLeftChanged(this); }

void TStringGrid::UpdateScrollBar() {
  if (!HandleAllocated() || (FScrollBars != ssVertical && FScrollBars != ssBoth))
    return;
  SCROLLINFO info{sizeof(info), SIF_ALL | SIF_DISABLENOSCROLL};
  info.nMin = FFixedRows;
  info.nMax = FRowCount - 1;
  info.nPage = UINT(GetVisibleRowCount());
  info.nPos = FTopRow;
  SetScrollInfo(GetHandle(), SB_VERT, &info, TRUE);
}

void TStringGrid::WMVScroll(TMessage& message) {
  const auto& scroll = MessageAs<TWMVScroll>(message);
  switch (scroll.ScrollCode) {
    case SB_LINEUP: SetTopRow(FTopRow - 1); break;
    case SB_LINEDOWN: SetTopRow(FTopRow + 1); break;
    case SB_PAGEUP: SetTopRow(FTopRow - GetVisibleRowCount()); break;
    case SB_PAGEDOWN: SetTopRow(FTopRow + GetVisibleRowCount()); break;
    case SB_TOP: SetTopRow(FFixedRows); break;
    case SB_BOTTOM: SetTopRow(MaxTopRow()); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO info{sizeof(info), SIF_TRACKPOS};
      GetScrollInfo(GetHandle(), SB_VERT, &info);
      if (scroll.ScrollCode == SB_THUMBPOSITION || FOptions.Contains(goThumbTracking))
        SetTopRow(info.nTrackPos);
      break;
    }
  }
  message.Result = 0;
}

void TStringGrid::WMMouseWheel(TMessage& message) {
  // A notch toward the user (a negative delta) moves the current row down by one.
  FWheelDelta += MessageAs<TWMMouseWheel>(message).WheelDelta;
  const int notches = FWheelDelta / WHEEL_DELTA;
  FWheelDelta -= notches * WHEEL_DELTA;
  message.Result = 0;
  if (notches != 0)
    FocusCell(FCol, std::clamp(FRow - notches, FFixedRows, FRowCount - 1));
}

void TStringGrid::Resize() {
  if (!Survives(this, &TStringGrid::SetTopRow, FTopRow))  // OnTopLeftChanged
    return;
  UpdateScrollBar();
  inherited::Resize();
}

// ---- Input ------------------------------------------------------------------------------

void TStringGrid::KeyDown(WORD& key, TShiftState shift) {
  if (!Survives(this, [&] { inherited::KeyDown(key, shift); }))
    return;
  const int page = GetVisibleRowCount();
  switch (key) {
    case VK_UP: FocusCell(FCol, FRow - 1); break;
    case VK_DOWN: FocusCell(FCol, FRow + 1); break;
    case VK_LEFT: FocusCell(FCol - 1, FRow); break;
    case VK_RIGHT: FocusCell(FCol + 1, FRow); break;
    case VK_PRIOR: FocusCell(FCol, std::max(FFixedRows, FRow - page)); break;
    case VK_NEXT: FocusCell(FCol, std::min(FRowCount - 1, FRow + page)); break;
    case VK_HOME: FocusCell(shift.Contains(ssCtrl) ? FFixedCols : FCol, shift.Contains(ssCtrl) ? FFixedRows : FRow);
      break;
    case VK_END:
      FocusCell(shift.Contains(ssCtrl) ? GetColCount() - 1 : FCol, shift.Contains(ssCtrl) ? FRowCount - 1 : FRow);
      break;
    case VK_TAB: {
      // Tab walks the cells row by row; a Tab the grid does not keep is the dialog's.
      if (!KeepsTab(shift))
        break;
      int col = FCol, row = FRow;
      if (shift.Contains(ssShift)) {
        if (--col < FFixedCols) {
          col = GetColCount() - 1;
          --row;
        }
      } else if (++col >= GetColCount()) {
        col = FFixedCols;
        ++row;
      }
      FocusCell(col, row);
      break;
    }
  }
}

bool TStringGrid::KeepsTab(TShiftState shift) const {
  if (!FOptions.Contains(goTabs) || shift.Contains(ssAlt) || shift.Contains(ssCtrl))
    return false;
  if (shift.Contains(ssShift))
    return FCol > FFixedCols || FRow > FFixedRows;
  return FCol < GetColCount() - 1 || FRow < FRowCount - 1;
}

// OnEnter, OnSelectCell and OnTopLeftChanged may free the grid: the press ends there.
void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (CanFocus() && !Focused() && !Survives(this, [this] { SetFocus(); }))
    return;
  if (button == mbLeft) {
    int col, row;
    MouseToCell(x, y, col, row);
    if (!FocusCell(col, row))
      return;
  }
  inherited::MouseDown(button, shift, x, y);
}

void TStringGrid::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      // Asked while a key is being handled: the Tab now pressed, with the shift keys now
      // held, is wanted only when it stays among the cells.
      message.Result = DLGC_WANTARROWS | (KeepsTab(KeyDataToShiftState(0)) ? DLGC_WANTTAB : 0);
      return;
    case WM_UPDATEUISTATE:
      inherited::Dispatch(message);
      Invalidate();
      return;
    case WM_VSCROLL:
      WMVScroll(message);
      return;
    case WM_MOUSEWHEEL:
      WMMouseWheel(message);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The current cell shows the focus rectangle only while the grid has the focus.
      inherited::Dispatch(message);
      Invalidate();
      return;
  }
  inherited::Dispatch(message);
}

void TStringGrid::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style |= WS_TABSTOP;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth)
    params.Style |= WS_VSCROLL;
  params.ExStyle |= WS_EX_CLIENTEDGE;
  params.WindowClass.style = CS_DBLCLKS;
}

void TStringGrid::CreateWnd() {
  inherited::CreateWnd();
  UpdateScrollBar();
}

// ---- Painting ---------------------------------------------------------------------------

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  if (OnDrawCell) {
    OnDrawCell(this, col, row, rect, state);
    return;
  }
  TCanvas* canvas = GetCanvas();
  const std::string text = GetCells(col, row);
  canvas->TextRect(rect, rect.left + 2, rect.top + 2, text);
}

void TStringGrid::Paint() {
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(GetClientRect());
  const bool focused = Focused();
  const bool hideFocus = (GetUIState() & UISF_HIDEFOCUS) != 0;
  for (int row = 0; row < FRowCount; ++row) {
    for (int col = 0; col < GetColCount(); ++col) {
      const TRect r = CellRect(col, row);
      if (IsRectEmpty(&r))
        continue;
      const bool fixed = col < FFixedCols || row < FFixedRows;
      const bool current = row == FRow && (col == FCol || FOptions.Contains(goRowSelect));
      const bool selected = !fixed && current && (!focused || FOptions.Contains(goDrawFocusSelected) ||
                                                  FOptions.Contains(goRowSelect) || col != FCol);
      TGridDrawState state;
      if (fixed)
        state.Include(gdFixed);
      if (current && !fixed)
        state.Include(gdSelected);
      if (focused && row == FRow && col == FCol)
        state.Include(gdFocused);
      canvas->GetBrush()->SetColor(fixed ? FFixedColor : selected ? clHighlight : GetColor());
      canvas->GetFont()->SetColor(selected ? clHighlightText : GetFont()->GetColor());
      canvas->FillRect(r);
      DrawCell(col, row, r, state);
      canvas->GetFont()->SetColor(GetFont()->GetColor());
      if (state.Contains(gdFocused) && !FOptions.Contains(goDrawFocusSelected) && !hideFocus)
        canvas->DrawFocusRect(r);
      if (FGridLineWidth == 0)
        continue;
      const bool vert = fixed ? FOptions.Contains(goFixedVertLine) : FOptions.Contains(goVertLine);
      const bool horz = fixed ? FOptions.Contains(goFixedHorzLine) : FOptions.Contains(goHorzLine);
      canvas->GetBrush()->SetColor(fixed ? clBlack : clSilver);
      if (vert)
        canvas->FillRect(TRect{r.right, r.top, r.right + FGridLineWidth, r.bottom + FGridLineWidth});
      if (horz)
        canvas->FillRect(TRect{r.left, r.bottom, r.right + FGridLineWidth, r.bottom + FGridLineWidth});
    }
  }
}
