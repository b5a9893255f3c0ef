// Keyboard handling of the tree list: keys move the focus, change the selection,
// expand and collapse nodes, start editing and drive the incremental search. Every key
// runs inside one selection bracket, so a key that changes the selection several times
// reports one change.
//
// Decisions taken here:
// - FindNode also stops when its walk passes the end of the tree a second time, so a
//   search over the shown nodes only ends even when the focused node is hidden (or
//   there is none); every search that ends anyway ends the same way.
#include <algorithm>

#include "classlib/AliveGuard.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListTextExport.h"

namespace {

// Upper case by the system locale, for the search's comparison.
std::string LocaleUpper(const std::string& text) {
  std::string result = text;
  if (!result.empty())
    CharUpperBuffA(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

bool IsSizingOrDragging(TdxTreeListState state) {
  switch (state) {
    case stColumnSizing:
    case stColumnDragging:
    case stBandSizing:
    case stBandDragging:
    case stBandPanelSizing:
    case stHeaderPanelSizing:
    case stRowSizing:
      return true;
    default:
      return false;
  }
}

// Ctrl is held without Alt (AltGr, which is Ctrl+Alt, types characters).
bool CtrlWithoutAlt() {
  return (GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000);
}

}  // namespace

// ---- The control's key overrides: the inherited steps stay with the control, the tree
// list's own work is the part's.

void TCustomdxTreeList::KeyDown(WORD& key, TShiftState shift) {
  TdxTreeListSelectionScope selection(this);
  if (Survives(this, [&] { inherited::KeyDown(key, shift); }))
    FKeyboard.KeyDown(key, shift);
}

void TCustomdxTreeList::KeyPress(char& key) {
  TdxTreeListKeyboard::TKeyPress press;
  if (!Survives(this, [&] { press = FKeyboard.StartKeyPress(key); }))
    return;
  if (press.Inherited && !Survives(this, [&] { inherited::KeyPress(key); }))
    return;
  FKeyboard.FinishKeyPress(key, press);
}

void TCustomdxTreeList::DoExit() {
  if (Survives(this, [&] { inherited::DoExit(); }))
    GetEditController().EndEditing();
}

// ---- Keys

void TdxTreeListKeyboard::KeyDown(WORD& key, TShiftState shift) {
  if (!FControl.CanProcessKey(key, shift))
    key = 0;
  bool handled = false;
  if (key == 0 || !Survives(&FControl, [&] { handled = KeyDownInState(key, shift); }) || !handled)
    return;
  if (FControl.GetSelectedCount() == 0 && FControl.GetFocusedNode())
    FControl.SetNodeSelected(FControl.GetFocusedNode(), true);
}

bool TdxTreeListKeyboard::KeyDownInState(WORD& key, TShiftState shift) {
  if (IsSizingOrDragging(FControl.GetState())) {
    if (key == VK_ESCAPE)
      FControl.CancelMode();
    return false;
  }
  if (FControl.GetCount() == 0)
    return false;
  if (FControl.GetState() == stEditing) {
    switch (key) {
      case VK_TAB:
      case VK_RETURN:
      case VK_ESCAPE:
      case VK_PRIOR:
      case VK_NEXT:
      case VK_UP:
      case VK_DOWN:
        if (!Survives(&FControl, [&] { FControl.GetEditController().EndEditing(); }) || key == VK_ESCAPE)
          return false;
        break;
    }
  }
  if (FControl.IsNewItemRowActive() && (key == VK_NEXT || key == VK_DOWN)) {
    FControl.GetNavigator().SetNewItemRowActive(false);
    FControl.Invalidate();
    if (FControl.GetTopNode() && !Survives(&FControl, &TCustomdxTreeList::SetFocusedNode, FControl.GetTopNode(),
                                           FControl.GetFocusedColumn(), true))
      return false;
    if (!shift.Contains(ssShift) && !shift.Contains(ssCtrl) && FControl.GetFocusedNode()) {
      FControl.ClearSelection();
      FControl.SetSelectionAnchor(FControl.GetFocusedNode());
      FControl.SetNodeSelected(FControl.GetFocusedNode(), true);
    }
    return true;
  }
  if (FSearching && SearchKey(key, shift))
    return true;
  const bool ctrl = shift.Contains(ssCtrl);
  const bool rangeKey = key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME || key == VK_UP ||
                        key == VK_DOWN;
  if (!ctrl || (shift.Contains(ssShift) && rangeKey && FControl.CanSelectRange()))
    KeyWithoutCtrl(key, shift);
  else
    KeyWithCtrl(key, shift);
  return true;
}

bool TdxTreeListKeyboard::SearchKey(WORD key, TShiftState shift) {
  switch (key) {
    case VK_BACK: {
      std::string text = FSearchText;
      if (!text.empty())
        text.pop_back();
      FControl.IncrementalSearch(text, 0, false);
      return true;
    }
    case VK_DELETE:
      FControl.IncrementalSearch(std::string(), 0, false);
      return true;
    case VK_ESCAPE:
      EndSearch();
      return true;
    case VK_RETURN:
      if (shift.Contains(ssShift)) {
        FControl.IncrementalSearch(FSearchText, 1, false);
        return true;
      }
      if (shift.Contains(ssCtrl)) {
        FControl.IncrementalSearch(FSearchText, 2, false);
        return true;
      }
      return false;
  }
  return false;
}

void TdxTreeListKeyboard::KeyWithoutCtrl(WORD key, TShiftState shift) {
  const bool rowSelect = FControl.IsRowSelect();
  switch (key) {
    case VK_HOME:
    case VK_END:
      KeyHomeEnd(key == VK_END, shift);
      return;
    case VK_PRIOR:
    case VK_NEXT: {
      const bool extending = shift.Contains(ssShift) && FControl.CanSelectRange() && FControl.IsMultiSelect();
      if (FControl.IsMultiSelect()) {
        if (extending && !FControl.GetSelection().GetAnchorNode())
          FControl.SetSelectionAnchor(FControl.GetFocusedNode());
        FControl.ClearSelection();
        if (!extending)
          FControl.SetSelectionAnchor(nullptr);
      }
      if (key == VK_PRIOR && FControl.GetNavigator().GetFocusedRowIndex() == 0 && FControl.IsNewItemRowShown()) {
        FControl.GetNavigator().SetNewItemRowActive(true);
        FControl.Invalidate();
      } else if (!Survives(&FControl, [&] { PageMove(key == VK_PRIOR ? -1 : 1); })) {
        return;
      }
      if (extending)
        FControl.SelectRange(FControl.GetSelection().GetAnchorNode(), FControl.GetFocusedNode());
      return;
    }
    case VK_UP:
      if (FControl.GetNavigator().GetFocusedRowIndex() == 0 && FControl.IsNewItemRowShown()) {
        FControl.GetNavigator().SetNewItemRowActive(true);
        FControl.Invalidate();
        return;
      }
      MoveFocus(-1, shift);
      return;
    case VK_DOWN:
      MoveFocus(1, shift);
      return;
    case VK_LEFT:
    case VK_RIGHT:
      if (rowSelect) {
        if (!FControl.IsNewItemRowActive())
          KeyRowSelectLeftRight(key == VK_LEFT);
        return;
      }
      MoveColumnFocus(key == VK_LEFT ? -1 : 1, FControl.IsOptionsEx6());
      return;
    case VK_TAB:
      if (!shift.Contains(ssAlt))
        TabMove(shift.Contains(ssShift), shift);
      return;
    case VK_RETURN:
      if (FControl.IsOptionsEx9Query() && Survives(&FControl, [&] { MoveColumnFocus(1, /*wrap=*/true); }))
        FControl.GetEditController().ShowEditor();
      return;
    case VK_ESCAPE:
      FControl.ClearSelection();
      FControl.GetMouse().ClearHot();
      if (TdxInplaceEdit* editor = FControl.GetEditor()) {
        if (editor->HandleAllocated())
          ShowWindow(editor->GetHandle(), SW_HIDE);
        if (!Survives(&FControl, [&] { editor->Reset(); }))
          return;
      }
      FControl.GetEditController().EndEditing();
      return;
    case VK_F2:
      FControl.GetEditController().ShowEditor();
      return;
  }
}

void TdxTreeListKeyboard::KeyWithCtrl(WORD key, TShiftState shift) {
  FControl.GetSelection().SetShiftRangeStarted(false);
  switch (key) {
    case VK_SPACE:
      if ((FControl.IsRowSelect() || !FControl.IsOptions2()) && FControl.GetFocusedNode()) {
        FControl.SetNodeSelected(FControl.GetFocusedNode(), !FControl.IsNodeSelected(FControl.GetFocusedNode()));
        FControl.SetSelectionAnchor(FControl.GetFocusedNode());
      }
      return;
    case VK_PRIOR:
    case VK_NEXT:
      PageMove(key == VK_PRIOR ? -1 : 1);
      return;
    case VK_HOME:
      FControl.SetFocusedNodeByIndex(0);
      return;
    case VK_END:
      FControl.SetFocusedNodeByIndex(FControl.GetRowCount() - 1);
      return;
    case VK_LEFT:
      FocusColumn(0);
      return;
    case VK_RIGHT:
      FocusColumn(std::max(FControl.GetWidths().GetShownColumnCount() - 1, 0));
      return;
    case VK_UP:
      if (FControl.GetNavigator().GetFocusedRowIndex() > 0) {
        FControl.GetNavigator().MoveFocusedRow(-1);
      } else if (FControl.IsNewItemRowShown()) {
        FControl.GetNavigator().SetNewItemRowActive(true);
        FControl.Invalidate();
      }
      return;
    case VK_DOWN:
      FControl.GetNavigator().MoveFocusedRow(1);
      return;
    case VK_INSERT:
      TdxTreeListTextExport(FControl).CopyToClipboard();
      return;
  }
}

void TdxTreeListKeyboard::KeyHomeEnd(bool end, TShiftState shift) {
  if (!FControl.IsRowSelect() && !shift.Contains(ssShift)) {
    FocusColumn(end ? std::max(FControl.GetWidths().GetShownColumnCount() - 1, 0) : 0);
    return;
  }
  const bool extending = shift.Contains(ssShift) && FControl.CanSelectRange() && FControl.IsMultiSelect();
  FControl.ClearSelection();
  const int row = end ? FControl.GetRowCount() - 1 : 0;
  if (extending) {
    if (!FControl.GetSelection().GetAnchorNode())
      FControl.SetSelectionAnchor(FControl.GetFocusedNode());
    if (Survives(&FControl, &TCustomdxTreeList::SetFocusedNodeByIndex, row))
      FControl.SelectRange(FControl.GetSelection().GetAnchorNode(), FControl.GetFocusedNode());
    return;
  }
  FControl.SetSelectionAnchor(nullptr);
  FControl.SetFocusedNodeByIndex(row);
}

void TdxTreeListKeyboard::KeyRowSelectLeftRight(bool left) {
  TdxTreeListNode* node = FControl.GetFocusedNode();
  // Expanding the node's parents may delete it, or free the control.
  if (!node || !Survives(node, [&] { FControl.MakeNodeVisible(node); }))
    return;
  if (left) {
    if (node->GetExpanded()) {
      node->SetExpanded(false);
      return;
    }
    TdxTreeListNode* parent = node->GetParent();
    FControl.ClearSelection();
    if (parent && parent->GetFirstChild() == node) {
      if (Survives(&FControl, &TCustomdxTreeList::SetFocusedNode, parent, FControl.GetFocusedColumn(), true))
        FControl.SetNodeSelected(parent, true);
      return;
    }
    FControl.GetNavigator().MoveFocusedRow(-1);
    return;
  }
  if (!node->GetHasChildren()) {
    FControl.ClearSelection();
    FControl.GetNavigator().MoveFocusedRow(1);
    return;
  }
  if (!node->GetExpanded()) {
    node->SetExpanded(true);
    return;
  }
  if (TdxTreeListNode* child = node->GetFirstChild()) {
    FControl.ClearSelection();
    if (Survives(&FControl, &TCustomdxTreeList::SetFocusedNode, child, FControl.GetFocusedColumn(), true))
      FControl.SetNodeSelected(child, true);
  }
}

void TdxTreeListKeyboard::MoveColumnFocus(int delta, bool wrap) {
  const int count = FControl.GetWidths().GetShownColumnCount();
  if (count == 0)
    return;
  int column = FControl.GetFocusedColumn() + delta;
  if (column < 0 || column >= count) {
    if (!wrap)
      return;
    const int row = FControl.GetNavigator().GetFocusedRowIndex() + delta;
    if (row < 0 || row >= FControl.GetRowCount())
      return;
    FocusCell(row, delta < 0 ? count - 1 : 0);
    return;
  }
  FocusColumn(column);
}

void TdxTreeListKeyboard::FocusColumn(int column) {
  if (Survives(&FControl, [&] { FControl.SetFocusedColumn(column); }))
    FControl.GetNavigator().MakeColumnVisible(FControl.GetColumnByVisibleIndex(column));
}

void TdxTreeListKeyboard::FocusCell(int row, int column) {
  if (Survives(&FControl, &TCustomdxTreeList::SetFocusedNode, FControl.GetNodeAtRow(row), column, /*makeVisible=*/true))
    FControl.GetNavigator().MakeColumnVisible(FControl.GetColumnByVisibleIndex(column));
}

void TdxTreeListKeyboard::TabMove(bool back, TShiftState shift) {
  if (FControl.IsRowSelect()) {
    FControl.ClearSelection();
    FControl.GetNavigator().MoveFocusedRow(back ? -1 : 1);
    return;
  }
  const int count = FControl.GetWidths().GetShownColumnCount();
  const int delta = back ? -1 : 1;
  auto focusable = [this](int visible) { return FControl.GetColumnTabStop(FControl.GetColumnByVisibleIndex(visible)); };
  for (int column = FControl.GetFocusedColumn() + delta; column >= 0 && column < count; column += delta) {
    if (focusable(column)) {
      FocusColumn(column);
      return;
    }
  }
  if (!FControl.IsOptions4())
    return;
  const int row = FControl.GetNavigator().GetFocusedRowIndex() + delta;
  if (row < 0 || row >= FControl.GetRowCount())
    return;
  for (int column = back ? count - 1 : 0; column >= 0 && column < count; column += delta) {
    if (focusable(column)) {
      FControl.ClearSelection();
      FocusCell(row, column);
      return;
    }
  }
}

void TdxTreeListKeyboard::MoveFocus(int delta, TShiftState shift) {
  const bool multi = FControl.IsMultiSelect();
  const bool extending = shift.Contains(ssShift) && FControl.CanSelectRange();
  const int row = FControl.GetNavigator().GetFocusedRowIndex();
  const bool cannotMove = (delta < 0 && row == 0) || (delta > 0 && row >= FControl.GetRowCount() - 1);
  auto clearUnlessStuck = [&] {
    const bool onlyFocusedSelected =
        FControl.GetSelectedCount() == 1 && FControl.GetSelectedItem(0) == FControl.GetFocusedNode();
    if (!(onlyFocusedSelected && cannotMove))
      FControl.ClearSelection();
  };
  bool selectNew = false;
  if (multi && !extending) {
    clearUnlessStuck();
    FControl.SetSelectionAnchor(nullptr);
    FControl.GetSelection().SetShiftRangeStarted(false);
  } else if (multi && FControl.GetSelection().GetShiftRangeStarted()) {
    // Going back towards the anchor gives up the node the range leaves.
    if (FControl.GetFocusedNode() && FControl.CompareToAnchor(FControl.GetFocusedNode()) == -delta)
      FControl.SetNodeSelected(FControl.GetFocusedNode(), false);
    selectNew = true;
  } else if (multi) {
    clearUnlessStuck();
    if (!FControl.GetSelection().GetAnchorNode()) {
      FControl.SetSelectionAnchor(FControl.GetFocusedNode());
      if (FControl.GetFocusedNode())
        FControl.SetNodeSelected(FControl.GetFocusedNode(), true);
    } else {
      FControl.SelectRange(FControl.GetSelection().GetAnchorNode(), FControl.GetFocusedNode());
      if (FControl.GetFocusedNode())
        FControl.SetNodeSelected(FControl.GetFocusedNode(),
                                 FControl.CompareToAnchor(FControl.GetFocusedNode()) != -delta ||
                                     FControl.GetFocusedNode() == FControl.GetSelection().GetAnchorNode());
    }
    FControl.GetSelection().SetShiftRangeStarted(true);
    selectNew = true;
  }
  if (Survives(&FControl, [&] { FControl.GetNavigator().MoveFocusedRow(delta); }) && selectNew &&
      FControl.GetFocusedNode())
    FControl.SetNodeSelected(FControl.GetFocusedNode(), true);
}

void TdxTreeListKeyboard::PageMove(int delta) {
  const int count = FControl.GetRowCount();
  const int row = FControl.GetNavigator().GetFocusedRowIndex();
  if (count <= 1) {
    if (!((delta < 0 && row == 0) || (delta > 0 && row >= count - 1)))
      FControl.GetNavigator().MoveFocusedRow(delta);
    return;
  }
  const int top = std::max(FControl.GetNavigator().GetTopIndex(), 0);
  const int last = std::min(top + FControl.GetNavigator().GetVisibleRowCount() - 1, count - 1);
  if (row > top && row < last) {
    FControl.SetFocusedNodeByIndex(delta > 0 ? last : top);
    return;
  }
  FControl.GetNavigator().MoveFocusedRow(delta * std::max(FControl.GetNavigator().GetVisibleRowCount() - 1, 1));
}

TdxTreeListKeyboard::TKeyPress TdxTreeListKeyboard::StartKeyPress(char key) {
  const auto ch = static_cast<uint8_t>(key);
  const bool ctrlOnly = CtrlWithoutAlt();
  TKeyPress press{ch, ctrlOnly, false};
  if (FControl.GetState() == stNone && !FSearching && FControl.IsOptionsEx29() && key != VK_BACK && key != VK_TAB &&
      key != VK_RETURN && key != VK_ESCAPE && !ctrlOnly && !Survives(&FControl, [&] { FControl.StartSearch(-1, std::string()); }))
    return press;
  if (!FSearching) {
    if (FControl.IsOptionsEx10() && FControl.GetState() != stEditing) {
      if (key == VK_RETURN) {
        FControl.GetEditController().ShowEditor();
      } else if (key == VK_BACK || key == 22 || key == 24 || ch >= 32) {
        if (Survives(&FControl, [&] { FControl.GetEditController().ShowEditorWithKey(key); }) &&
            FControl.GetState() != stEditing)
          press.Inherited = true;
      } else {
        press.Inherited = true;
      }
    } else {
      press.Inherited = true;
    }
  }
  return press;
}

void TdxTreeListKeyboard::FinishKeyPress(char& key, const TKeyPress& press) {
  const uint8_t ch = press.Char;
  const bool ctrlOnly = press.CtrlOnly;
  if (key == 0)
    return;
  // Expanding the node's parents may free the control.
  auto expand = [this](bool value) {
    if (Survives(&FControl, [&] { FControl.MakeNodeVisible(FControl.GetFocusedNode()); }) && FControl.GetFocusedNode())
      FControl.GetFocusedNode()->SetExpanded(value);
  };
  auto onNode = [&] {
    if (key == 3 && FControl.GetOptionsEx().Contains(aoCopyOnCtrlC))
      TdxTreeListTextExport(FControl).CopyToClipboard();
    else if (key == '*' && FControl.GetFocusedNode()->GetHasChildren())
      FControl.GetFocusedNode()->Expand(/*recurse=*/true);
    else if (key == '+' || key == '-')
      expand(key == '+');
  };
  if (FControl.GetState() != stEditing && FControl.GetFocusedNode() && !Survives(&FControl, onNode))
    return;
  if (FSearching && ch >= 32 && !ctrlOnly) {
    if (FControl.GetFocusedColumn() != FSearchColumn && !Survives(&FControl, [&] { FControl.StartSearch(-1, std::string()); }))
      return;
    FControl.IncrementalSearch(FSearchText + key, 0, false);
  }
}

// ---- Incremental search

bool TdxTreeListKeyboard::StartSearch(int column, const std::string& text) {
  // Ending the edit and moving the focus may reach handlers that free the control.
  if (!Survives(&FControl, [&] { FControl.GetEditController().EndEditing(); }))
    return false;
  FControl.GetTimers().StopTimer(TdxTreeListTimers::kEditTimer);
  if (column == -1)
    column = FControl.GetFocusedColumn();
  FSearchColumn = column;
  if (!Survives(&FControl, [&] { FControl.SetFocusedColumn(column); }))
    return false;
  FSearching = true;
  FSearchText = text;
  return Survives(&FControl, [&] { FControl.IncrementalSearch(text, 0, true); }) && !FSearchText.empty();
}

void TdxTreeListKeyboard::IncrementalSearch(const std::string& text, int direction, bool clearOnMiss) {
  ++FSearchNesting;
  // The focus move's handlers may free the control: the count comes down only on one alive.
  const TOnExitIfAlive nesting(&FControl, [this] { --FSearchNesting; });
  const int column = FControl.GetColumnByVisibleIndex(FSearchColumn);
  if (FSearchColumn < 0 || FSearchColumn >= std::max(FControl.GetWidths().GetShownColumnCount(), 1) || FControl.GetCount() == 0)
    return;
  FSearchText = text;
  TdxTreeListNode* found = nullptr;
  if (FControl.FindNode(column < 0 ? 0 : column, text, found, direction)) {
    FControl.SetFocusedNode(found, FControl.GetFocusedColumn(), /*makeVisible=*/false);
    if (!nesting.Alive())
      return;
  } else if (clearOnMiss) {
    FSearchText.clear();
  } else if (direction == 0 && !FSearchText.empty()) {
    FSearchText.pop_back();
  }
  if (!FControl.GetFocusedNode())
    return;
  if (FControl.IsMultiSelect() && !FControl.IsNodeSelected(FControl.GetFocusedNode()))
    FControl.GetSelection().SelectOnly(FControl.GetFocusedNode());
  FControl.MakeNodeVisible(FControl.GetFocusedNode());
  if (nesting.Alive())
    FControl.RefreshNode(FControl.GetFocusedNode(), false);
}

bool TdxTreeListKeyboard::FindNode(int column, const std::string& text, TdxTreeListNode*& node, int direction) {
  node = nullptr;
  if (FControl.GetCount() == 0)
    return false;
  const bool backward = direction == 1;
  auto step = [this, backward](TdxTreeListNode* n) {
    if (backward)
      return FSearchAllNodes ? n->GetPrev() : n->GetPriorVisible();
    return FSearchAllNodes ? n->GetNext() : n->GetNextVisible();
  };
  auto wrapStart = [this, backward]() {
    return backward ? FControl.GetNodeByDirection(FControl.GetFirstNode(), 3, FSearchAllNodes)
                    : FControl.GetFirstNode();
  };
  const std::string wanted = LocaleUpper(text);
  auto matches = [&](TdxTreeListNode* n) {
    std::string value;
    FControl.GetCellText(n, column, value);
    return LocaleUpper(value.substr(0, wanted.size())) == wanted;
  };
  TdxTreeListNode* start = FControl.GetFocusedNode();
  TdxTreeListNode* current = start;
  if (direction != 0 && current)
    current = step(current);
  if (!current)
    current = wrapStart();
  bool wrapped = direction != 0 && !(start && step(start));
  // At most every node once after the wrap: a walk that never meets the start node
  // (hidden, or none) still ends.
  while (current) {
    if (matches(current)) {
      node = current;
      return true;
    }
    current = step(current);
    if (!current) {
      if (wrapped)
        return false;
      wrapped = true;
      current = wrapStart();
    }
    if (wrapped && current == start)
      return false;
  }
  return false;
}

void TdxTreeListKeyboard::EndSearch() {
  if (!FSearching)
    return;
  FSearching = false;
  FSearchText.clear();
  FControl.RefreshNode(FControl.GetFocusedNode(), false);
}

void TdxTreeListKeyboard::SetSearchState(bool searching, int column, const std::string& text) {
  FSearching = searching;
  FSearchColumn = column;
  FSearchText = text;
  FControl.Invalidate();
}
