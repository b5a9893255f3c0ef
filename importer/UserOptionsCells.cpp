// The options dialog's cells: the combo box each grid shows over its current row's
// third cell, and the keys of the grids, the boxes and the check boxes.
//
// Readings of the dialog's rules: a cell's combo box is hidden when the grid's current
// cell moves off it or the focus leaves both grid and box (left over its old row it
// covered the focused cell); a cell's combo box is no tab stop of its own, so that Tab
// out of the grid does not land in it and go back: Tab in it returns to the grid,
// Ctrl+Tab leaves the grid as it does from a cell. The box's place counts the grid's
// frame as the system draws it (the two pixels of the design's rule), and the column
// widths as the dialog is scaled. The wheel over a grid is the grid's also while its
// cell's combo box has the focus (the box would step its entry, changing the mapping of
// a row the user was not looking at). A step through a cell's dropped list (arrow keys,
// a letter, the wheel, the pointer) chooses nothing: the row takes the entry when the
// list closes with Enter, Tab or a click on it, and keeps its own when it closes with
// Escape or a click outside, the box showing the row's entry again. A closed box's step
// is a choice: a character typed on a grid's row steps the row's box to the next entry
// that begins with it, as a closed drop-down list does, whether the box is shown or not,
// and presses no button (the buttons' letters act with Alt). Whatever changes the rows
// under a box (a reset, a configuration loaded) selects their entries in it again.
#include "importer/UserOptions.h"

#include "classlib/Strings.h"

namespace {

// Where the control's client area starts within its window: the width of the frame the
// system draws around it, which is no size of the design (it does not scale).
TPoint ClientInset(TWinControl* control) {
  RECT window{};
  GetWindowRect(control->GetHandle(), &window);
  const TPoint origin = control->ClientToScreen(TPoint{0, 0});
  return TPoint{origin.x - window.left, origin.y - window.top};
}

// The first entry after `from` (round the end; -1 starts at the first) that begins
// with `typed`, letter case aside, as a closed drop-down list steps; -1 when none does.
int EntryBeginningWith(TStrings* items, int from, char typed) {
  const int count = items->GetCount();
  for (int step = 1; step <= count; ++step) {
    const int index = (from + step) % count;
    const std::string entry = items->Get(index);
    if (!entry.empty() && AnsiSameText(std::string_view(entry).substr(0, 1), std::string_view(&typed, 1)))
      return index;
  }
  return -1;
}

bool IsEnter(WORD key) { return key == VK_RETURN; }
bool IsEscape(WORD key) { return key == VK_ESCAPE; }

}  // namespace

void TTranslateDialog::ShowComboOverCell(TStringGrid* grid, TComboBox* combo, int row) {
  const TRect cell = grid->CellRect(2, row);
  const TPoint inset = ClientInset(grid);
  const int left = grid->GetLeft() + inset.x + grid->GetColWidths(0) + grid->GetColWidths(1);
  combo->SetBounds(left, grid->GetTop() + inset.y + cell.top, combo->GetWidth(), combo->GetHeight());
  combo->SetVisible(true);
  combo->BringToFront();
}

bool TTranslateDialog::ShowComboAtPoint(TStringGrid* grid, TComboBox* combo, int x, int y, int& editRow) {
  int col = -1, row = -1;
  grid->MouseToCell(x, y, col, row);
  if (col != 2 || row < 0 || row >= grid->GetRowCount()) {
    combo->SetVisible(false);
    return false;
  }
  editRow = row;
  ShowComboOverCell(grid, combo, row);
  return true;
}

void TTranslateDialog::SelectLayerEntry(const std::string& cellText) {
  ComboBoxVarnokLayers->SetItemIndex(cellText == "Not Imported" ? 0 : StringToLayer(cellText));
}

void TTranslateDialog::SelectPadStackEntry(const std::string& cellText) {
  ComboBoxPadStack->SetItemIndex(cellText == "Not Used" ? 0 : ComboBoxPadStack->GetItems()->IndexOf(cellText));
}

void TTranslateDialog::StringGridAssociationsMouseDown(TObject*, TMouseButton, TShiftState, int x, int y) {
  if (ShowComboAtPoint(StringGridAssociations, ComboBoxVarnokLayers, x, y, FLayerEditRow))
    SelectLayerEntry(StringGridAssociations->GetCells(2, FLayerEditRow));
}

// A step through the dropped list (arrow keys, a letter, the wheel) chooses nothing yet:
// how the list closes decides. A closed box's step is a choice.
void TTranslateDialog::ComboBoxVarnokLayersChange(TObject*) {
  if (!ComboBoxVarnokLayers->GetDroppedDown())
    TakeComboEntry(ComboBoxVarnokLayers);
}

void TTranslateDialog::TakeComboEntry(TComboBox* combo) {
  const int index = combo->GetItemIndex();
  if (index < 0)
    return;
  const std::string text = combo->GetItems()->Get(index);
  if (combo == ComboBoxPadStack) {
    if (FPadStackEditRow >= 0 && FPadStackEditRow < StringGridPadStack->GetRowCount())
      StringGridPadStack->SetCells(2, FPadStackEditRow, text);
    return;
  }
  if (FLayerEditRow < 0 || FLayerEditRow >= int(FRowLayers.size()))
    return;
  StringGridAssociations->SetCells(2, FLayerEditRow, text);
  FRowLayers[FLayerEditRow] = TLayer(text == "Not Imported" ? 0 : StringToLayer(text));
  UpdateMappingStatus();
}

void TTranslateDialog::SelectRowEntry(TComboBox* combo) {
  if (combo == ComboBoxPadStack) {
    if (FPadStackEditRow >= 0 && FPadStackEditRow < StringGridPadStack->GetRowCount())
      SelectPadStackEntry(StringGridPadStack->GetCells(2, FPadStackEditRow));
    return;
  }
  if (FLayerEditRow >= 0 && FLayerEditRow < StringGridAssociations->GetRowCount())
    SelectLayerEntry(StringGridAssociations->GetCells(2, FLayerEditRow));
}

TComboBox* TTranslateDialog::CellComboOf(TObject* control) {
  const bool padStack = control == StringGridPadStack || control == ComboBoxPadStack;
  return padStack ? ComboBoxPadStack : static_cast<TComboBox*>(ComboBoxVarnokLayers);
}

void TTranslateDialog::ComboBoxSelEndOk(TObject* Sender) { TakeComboEntry(CellComboOf(Sender)); }

// Also told when the focus leaves a box whose list is closed: its entry is its row's
// then, and selecting it again changes nothing.
void TTranslateDialog::ComboBoxSelEndCancel(TObject* Sender) { SelectRowEntry(CellComboOf(Sender)); }

void TTranslateDialog::StringGridAssociationsTopLeftChanged(TObject*) { ComboBoxVarnokLayers->SetVisible(false); }

void TTranslateDialog::StringGridAssociationsMoved(TObject*, int, int) { ComboBoxVarnokLayers->SetVisible(false); }

bool TTranslateDialog::GridKey(TStringGrid* grid, TComboBox* combo, WORD key, TShiftState shift) {
  const bool opens = key == VK_F4 || (key == VK_DOWN && shift.Contains(ssAlt));
  if (opens || key == VK_SPACE) {
    if (!combo->GetVisible() && grid->GetRowCount() > 0) {
      EditCurrentRow(grid);
      ShowComboOverCell(grid, combo, grid->GetRow());
    }
    if (combo->GetVisible()) {
      combo->SetFocus();
      if (opens)
        combo->SetDroppedDown(true);
    }
    return true;
  }
  if (IsEnter(key)) {
    SetModalResult(mrOk);
    return true;
  }
  if (IsEscape(key)) {
    SetModalResult(mrCancel);
    return true;
  }
  return false;
}

void TTranslateDialog::EditCurrentRow(TStringGrid* grid) {
  TStringGrid* edited;
  TComboBox* combo;
  int* editRow;
  CellEditorOf(grid, edited, combo, editRow);
  *editRow = grid->GetRow();
  SelectRowEntry(combo);
}

// The grids take no characters of their own, so the form would hand a letter typed on a
// row to the buttons as their accelerator, as if Alt were held: "o" ended the dialog.
bool TTranslateDialog::GridTakesChar(TMessage& message) {
  TWinControl* active = GetActiveControl();
  if (active != StringGridAssociations && active != StringGridPadStack)
    return false;
  // Alt and a letter stay the accelerators'; Space is the key that shows the box, and
  // Enter, Escape and Tab come as control characters.
  const char typed = char(MessageAs<TCMDialogChar>(message).CharCode);
  const bool printable = static_cast<unsigned char>(typed) > ' ' && typed != '\x7F';
  if (!printable || KeyDataToShiftState(message.LParam).Contains(ssAlt))
    return false;
  auto* grid = static_cast<TStringGrid*>(active);
  if (grid->GetRowCount() == 0)
    return true;
  EditCurrentRow(grid);
  TComboBox* combo = CellComboOf(grid);
  const int next = EntryBeginningWith(combo->GetItems(), combo->GetItemIndex(), typed);
  if (next >= 0) {
    combo->SetItemIndex(next);
    TakeComboEntry(combo);
  }
  return true;
}

void TTranslateDialog::SelectRowEntries() {
  SelectRowEntry(ComboBoxVarnokLayers);
  SelectRowEntry(ComboBoxPadStack);
}

void TTranslateDialog::StringGridAssociationsKeyDown(TObject*, WORD& key, TShiftState shift) {
  if (GridKey(StringGridAssociations, ComboBoxVarnokLayers, key, shift))
    key = 0;
}

bool TTranslateDialog::GridTakesWheel(TMessage& message) {
  TWinControl* active = GetActiveControl();
  if (active != StringGridAssociations && active != ComboBoxVarnokLayers && active != StringGridPadStack &&
      active != ComboBoxPadStack)
    return false;
  TStringGrid* grid;
  TComboBox* combo;
  int* editRow;
  CellEditorOf(active, grid, combo, editRow);
  // Over the box itself, or with its list open, the wheel stays the box's. Notches sent
  // to the box before the grid took the focus back are the grid's too.
  const auto& wheel = MessageAs<TWMMouseWheel>(message);
  const bool overGrid = WindowFromPoint(POINT{wheel.XPos, wheel.YPos}) == grid->GetHandle();
  if (!overGrid || combo->GetDroppedDown() || !grid->CanFocus())
    return false;
  if (!grid->Focused())
    grid->SetFocus();
  grid->Perform(WM_MOUSEWHEEL, message.WParam, message.LParam);
  return true;
}

void TTranslateDialog::Dispatch(TMessage& message) {
  if (message.Msg == CM_MOUSEWHEEL && GridTakesWheel(message)) {
    message.Result = 1;
    return;
  }
  if (message.Msg == CM_DIALOGCHAR && GridTakesChar(message)) {
    message.Result = 1;
    return;
  }
  // Enter, Esc and Tab in a cell's combo box return to its grid; they reach the combo
  // box's own handler from here, before the default and cancel buttons and the tab order.
  if (message.Msg == CM_DIALOGKEY) {
    TWinControl* active = GetActiveControl();
    if (active == ComboBoxVarnokLayers || active == ComboBoxPadStack) {
      WORD key = WORD(MessageAs<TCMDialogKey>(message).CharCode);
      ComboBoxKeyDown(active, key, KeyDataToShiftState(message.LParam));
      if (key == 0) {
        message.Result = 1;
        return;
      }
    }
  }
  inherited::Dispatch(message);
}

void TTranslateDialog::ComboBoxKeyDown(TObject* Sender, WORD& key, TShiftState shift) {
  if (!IsEnter(key) && !IsEscape(key) && key != VK_TAB)
    return;
  TComboBox* combo = CellComboOf(Sender);
  TStringGrid* grid = combo == ComboBoxPadStack ? StringGridPadStack : StringGridAssociations;
  // Enter and Tab take the entry of a dropped list; Escape leaves it. The list closes
  // as the focus leaves the box, without its entry.
  if (!IsEscape(key) && combo->GetDroppedDown())
    TakeComboEntry(combo);
  const bool leavesGrid = key == VK_TAB && shift.Contains(ssCtrl);
  key = 0;
  if (leavesGrid)
    SelectNext(grid, !shift.Contains(ssShift), true);
  else if (grid->CanFocus())
    grid->SetFocus();
}

void TTranslateDialog::StringGridPadStackMouseDown(TObject*, TMouseButton, TShiftState, int x, int y) {
  if (ShowComboAtPoint(StringGridPadStack, ComboBoxPadStack, x, y, FPadStackEditRow))
    SelectPadStackEntry(StringGridPadStack->GetCells(2, FPadStackEditRow));
}

void TTranslateDialog::StringGridPadStackKeyDown(TObject*, WORD& key, TShiftState shift) {
  if (GridKey(StringGridPadStack, ComboBoxPadStack, key, shift))
    key = 0;
}

void TTranslateDialog::StringGridPadStackTopLeftChanged(TObject*) { ComboBoxPadStack->SetVisible(false); }

void TTranslateDialog::StringGridPadStackMoved(TObject*, int, int) { ComboBoxPadStack->SetVisible(false); }

void TTranslateDialog::CellEditorOf(TObject* control, TStringGrid*& grid, TComboBox*& combo, int*& editRow) {
  combo = CellComboOf(control);
  const bool padStack = combo == ComboBoxPadStack;
  grid = padStack ? StringGridPadStack : StringGridAssociations;
  editRow = padStack ? &FPadStackEditRow : &FLayerEditRow;
}

void TTranslateDialog::StringGridSelectCell(TObject* Sender, int col, int row, bool&) {
  TStringGrid* grid;
  TComboBox* combo;
  int* editRow;
  CellEditorOf(Sender, grid, combo, editRow);
  if (col != 2 || row != *editRow)
    combo->SetVisible(false);
}

void TTranslateDialog::CellEditorExit(TObject* Sender) {
  TStringGrid* grid;
  TComboBox* combo;
  int* editRow;
  CellEditorOf(Sender, grid, combo, editRow);
  // The form names the control that takes the focus before the one left hears of it.
  TWinControl* next = GetActiveControl();
  if (next != grid && next != combo)
    combo->SetVisible(false);
}

void TTranslateDialog::ComboBoxPadStackChange(TObject*) {
  if (!ComboBoxPadStack->GetDroppedDown())
    TakeComboEntry(ComboBoxPadStack);
}

void TTranslateDialog::CheckBoxKeyDown(TObject*, WORD& key, TShiftState) {
  if (IsEnter(key))
    SetModalResult(mrOk);
  else if (IsEscape(key))
    SetModalResult(mrCancel);
}
