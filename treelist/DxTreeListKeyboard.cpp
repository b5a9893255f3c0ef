// Keyboard handling of the tree list: keys move the focus, change the selection,
// expand and collapse nodes, start editing and drive the incremental search. Every key
// runs inside one selection bracket, so a key that changes the selection several times
// reports one change.
#include <algorithm>

#include "treelist/DxTreeList.h"

namespace {

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

void TCustomdxTreeList::KeyDown(WORD& key, TShiftState shift) {
  TdxTreeListSelectionScope selection(this);
  inherited::KeyDown(key, shift);
  if (!CanProcessKey(key, shift))
    key = 0;
  if (key == 0 || !KeyDownInState(key, shift))
    return;
  if (GetSelectedCount() == 0 && GetFocusedNode())
    SetNodeSelected(GetFocusedNode(), true);
}

bool TCustomdxTreeList::KeyDownInState(WORD& key, TShiftState shift) {
  if (IsSizingOrDragging(FState)) {
    if (key == VK_ESCAPE)
      CancelMode();
    return false;
  }
  if (GetCount() == 0)
    return false;
  if (FState == stEditing) {
    switch (key) {
      case VK_TAB:
      case VK_RETURN:
      case VK_ESCAPE:
      case VK_PRIOR:
      case VK_NEXT:
      case VK_UP:
      case VK_DOWN:
        EndEditing();
        if (key == VK_ESCAPE)
          return false;
        break;
    }
  }
  if (IsNewItemRowActive() && (key == VK_NEXT || key == VK_DOWN)) {
    GetNavigator().SetNewItemRowActive(false);
    Invalidate();
    if (GetTopNode())
      SetFocusedNode(GetTopNode(), GetFocusedColumn(), true);
    if (!shift.Contains(ssShift) && !shift.Contains(ssCtrl) && GetFocusedNode()) {
      ClearSelection();
      SetSelectionAnchor(GetFocusedNode());
      SetNodeSelected(GetFocusedNode(), true);
    }
    return true;
  }
  if (FSearching && SearchKey(key, shift))
    return true;
  const bool ctrl = shift.Contains(ssCtrl);
  const bool rangeKey = key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME || key == VK_UP ||
                        key == VK_DOWN;
  if (!ctrl || (shift.Contains(ssShift) && rangeKey && CanSelectRange()))
    KeyWithoutCtrl(key, shift);
  else
    KeyWithCtrl(key, shift);
  return true;
}

bool TCustomdxTreeList::SearchKey(WORD key, TShiftState shift) {
  switch (key) {
    case VK_BACK: {
      std::string text = FSearchText;
      if (!text.empty())
        text.pop_back();
      IncrementalSearch(text, 0, false);
      return true;
    }
    case VK_DELETE:
      IncrementalSearch(std::string(), 0, false);
      return true;
    case VK_ESCAPE:
      EndSearch();
      return true;
    case VK_RETURN:
      if (shift.Contains(ssShift)) {
        IncrementalSearch(FSearchText, 1, false);
        return true;
      }
      if (shift.Contains(ssCtrl)) {
        IncrementalSearch(FSearchText, 2, false);
        return true;
      }
      return false;
  }
  return false;
}

void TCustomdxTreeList::KeyWithoutCtrl(WORD key, TShiftState shift) {
  const bool rowSelect = IsRowSelect();
  switch (key) {
    case VK_HOME:
    case VK_END:
      KeyHomeEnd(key == VK_END, shift);
      return;
    case VK_PRIOR:
    case VK_NEXT: {
      const bool extending = shift.Contains(ssShift) && CanSelectRange() && IsMultiSelect();
      if (IsMultiSelect()) {
        if (extending && !FAnchorNode)
          SetSelectionAnchor(GetFocusedNode());
        ClearSelection();
        if (!extending)
          SetSelectionAnchor(nullptr);
      }
      if (key == VK_PRIOR && GetNavigator().GetFocusedRowIndex() == 0 && IsNewItemRowShown()) {
        GetNavigator().SetNewItemRowActive(true);
        Invalidate();
      } else {
        PageMove(key == VK_PRIOR ? -1 : 1);
      }
      if (extending)
        SelectRange(FAnchorNode, GetFocusedNode());
      return;
    }
    case VK_UP:
      if (GetNavigator().GetFocusedRowIndex() == 0 && IsNewItemRowShown()) {
        GetNavigator().SetNewItemRowActive(true);
        Invalidate();
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
        if (!IsNewItemRowActive())
          KeyRowSelectLeftRight(key == VK_LEFT);
        return;
      }
      MoveColumnFocus(key == VK_LEFT ? -1 : 1, IsOptionsEx6());
      return;
    case VK_TAB:
      if (!shift.Contains(ssAlt))
        TabMove(shift.Contains(ssShift), shift);
      return;
    case VK_RETURN:
      if (IsOptionsEx9Query()) {
        MoveColumnFocus(1, /*wrap=*/true);
        ShowEditor();
      }
      return;
    case VK_ESCAPE:
      ClearSelection();
      GetMouse().ClearHot();
      if (TdxInplaceEdit* editor = GetEditor()) {
        if (editor->HandleAllocated())
          ShowWindow(editor->GetHandle(), SW_HIDE);
        editor->Reset();
      }
      EndEditing();
      return;
    case VK_F2:
      ShowEditor();
      return;
  }
}

void TCustomdxTreeList::KeyWithCtrl(WORD key, TShiftState shift) {
  FShiftRangeStarted = false;
  switch (key) {
    case VK_SPACE:
      if ((IsRowSelect() || !IsOptions2()) && GetFocusedNode()) {
        SetNodeSelected(GetFocusedNode(), !IsNodeSelected(GetFocusedNode()));
        SetSelectionAnchor(GetFocusedNode());
      }
      return;
    case VK_PRIOR:
    case VK_NEXT:
      PageMove(key == VK_PRIOR ? -1 : 1);
      return;
    case VK_HOME:
      SetFocusedNodeByIndex(0);
      return;
    case VK_END:
      SetFocusedNodeByIndex(GetRowCount() - 1);
      return;
    case VK_LEFT:
      SetFocusedColumn(0);
      GetNavigator().MakeColumnVisible(GetColumnByVisibleIndex(0));
      return;
    case VK_RIGHT: {
      const int last = std::max(GetShownColumnCount() - 1, 0);
      SetFocusedColumn(last);
      GetNavigator().MakeColumnVisible(GetColumnByVisibleIndex(last));
      return;
    }
    case VK_UP:
      if (GetNavigator().GetFocusedRowIndex() > 0) {
        GetNavigator().MoveFocusedRow(-1);
      } else if (IsNewItemRowShown()) {
        GetNavigator().SetNewItemRowActive(true);
        Invalidate();
      }
      return;
    case VK_DOWN:
      GetNavigator().MoveFocusedRow(1);
      return;
    case VK_INSERT:
      CopyToClipboard();
      return;
  }
}

void TCustomdxTreeList::KeyHomeEnd(bool end, TShiftState shift) {
  if (!IsRowSelect() && !shift.Contains(ssShift)) {
    const int column = end ? std::max(GetShownColumnCount() - 1, 0) : 0;
    SetFocusedColumn(column);
    GetNavigator().MakeColumnVisible(GetColumnByVisibleIndex(column));
    return;
  }
  const bool extending = shift.Contains(ssShift) && CanSelectRange() && IsMultiSelect();
  ClearSelection();
  const int row = end ? GetRowCount() - 1 : 0;
  if (extending) {
    if (!FAnchorNode)
      SetSelectionAnchor(GetFocusedNode());
    SetFocusedNodeByIndex(row);
    SelectRange(FAnchorNode, GetFocusedNode());
    return;
  }
  SetSelectionAnchor(nullptr);
  SetFocusedNodeByIndex(row);
}

void TCustomdxTreeList::KeyRowSelectLeftRight(bool left) {
  TdxTreeListNode* node = GetFocusedNode();
  if (!node)
    return;
  MakeNodeVisible(node);
  if (left) {
    if (node->GetExpanded()) {
      node->SetExpanded(false);
      return;
    }
    TdxTreeListNode* parent = node->GetParent();
    ClearSelection();
    if (parent && parent->GetFirstChild() == node) {
      SetFocusedNode(parent, GetFocusedColumn(), true);
      SetNodeSelected(parent, true);
      return;
    }
    GetNavigator().MoveFocusedRow(-1);
    return;
  }
  if (!node->GetHasChildren()) {
    ClearSelection();
    GetNavigator().MoveFocusedRow(1);
    return;
  }
  if (!node->GetExpanded()) {
    node->SetExpanded(true);
    return;
  }
  if (TdxTreeListNode* child = node->GetFirstChild()) {
    ClearSelection();
    SetFocusedNode(child, GetFocusedColumn(), true);
    SetNodeSelected(child, true);
  }
}

void TCustomdxTreeList::MoveColumnFocus(int delta, bool wrap) {
  const int count = GetShownColumnCount();
  if (count == 0)
    return;
  int column = GetFocusedColumn() + delta;
  if (column < 0 || column >= count) {
    if (!wrap)
      return;
    const int row = GetNavigator().GetFocusedRowIndex() + delta;
    if (row < 0 || row >= GetRowCount())
      return;
    column = delta < 0 ? count - 1 : 0;
    SetFocusedNode(GetNodeAtRow(row), column, /*makeVisible=*/true);
  } else {
    SetFocusedColumn(column);
  }
  GetNavigator().MakeColumnVisible(GetColumnByVisibleIndex(column));
}

void TCustomdxTreeList::TabMove(bool back, TShiftState shift) {
  if (IsRowSelect()) {
    ClearSelection();
    GetNavigator().MoveFocusedRow(back ? -1 : 1);
    return;
  }
  const int count = GetShownColumnCount();
  const int delta = back ? -1 : 1;
  auto focusable = [this](int visible) { return GetColumnTabStop(GetColumnByVisibleIndex(visible)); };
  for (int column = GetFocusedColumn() + delta; column >= 0 && column < count; column += delta) {
    if (focusable(column)) {
      SetFocusedColumn(column);
      GetNavigator().MakeColumnVisible(GetColumnByVisibleIndex(column));
      return;
    }
  }
  if (!IsOptions4())
    return;
  const int row = GetNavigator().GetFocusedRowIndex() + delta;
  if (row < 0 || row >= GetRowCount())
    return;
  for (int column = back ? count - 1 : 0; column >= 0 && column < count; column += delta) {
    if (focusable(column)) {
      ClearSelection();
      SetFocusedNode(GetNodeAtRow(row), column, /*makeVisible=*/true);
      GetNavigator().MakeColumnVisible(GetColumnByVisibleIndex(column));
      return;
    }
  }
}

void TCustomdxTreeList::MoveFocus(int delta, TShiftState shift) {
  const bool multi = IsMultiSelect();
  const bool extending = shift.Contains(ssShift) && CanSelectRange();
  const int row = GetNavigator().GetFocusedRowIndex();
  const bool cannotMove = (delta < 0 && row == 0) || (delta > 0 && row >= GetRowCount() - 1);
  auto clearUnlessStuck = [&] {
    const bool onlyFocusedSelected =
        GetSelectedCount() == 1 && GetSelectedItem(0) == GetFocusedNode();
    if (!(onlyFocusedSelected && cannotMove))
      ClearSelection();
  };
  bool selectNew = false;
  if (multi && !extending) {
    clearUnlessStuck();
    SetSelectionAnchor(nullptr);
    FShiftRangeStarted = false;
  } else if (multi && FShiftRangeStarted) {
    // Going back towards the anchor gives up the node the range leaves.
    if (GetFocusedNode() && CompareToAnchor(GetFocusedNode()) == -delta)
      SetNodeSelected(GetFocusedNode(), false);
    selectNew = true;
  } else if (multi) {
    clearUnlessStuck();
    if (!FAnchorNode) {
      SetSelectionAnchor(GetFocusedNode());
      if (GetFocusedNode())
        SetNodeSelected(GetFocusedNode(), true);
    } else {
      SelectRange(FAnchorNode, GetFocusedNode());
      if (GetFocusedNode())
        SetNodeSelected(GetFocusedNode(),
                        CompareToAnchor(GetFocusedNode()) != -delta || GetFocusedNode() == FAnchorNode);
    }
    FShiftRangeStarted = true;
    selectNew = true;
  }
  GetNavigator().MoveFocusedRow(delta);
  if (selectNew && GetFocusedNode())
    SetNodeSelected(GetFocusedNode(), true);
}

void TCustomdxTreeList::PageMove(int delta) {
  const int count = GetRowCount();
  const int row = GetNavigator().GetFocusedRowIndex();
  if (count <= 1) {
    if (!((delta < 0 && row == 0) || (delta > 0 && row >= count - 1)))
      GetNavigator().MoveFocusedRow(delta);
    return;
  }
  const int top = std::max(GetNavigator().GetTopIndex(), 0);
  const int last = std::min(top + GetNavigator().GetVisibleRowCount() - 1, count - 1);
  if (row > top && row < last) {
    SetFocusedNodeByIndex(delta > 0 ? last : top);
    return;
  }
  GetNavigator().MoveFocusedRow(delta * std::max(GetNavigator().GetVisibleRowCount() - 1, 1));
}

void TCustomdxTreeList::KeyPress(char& key) {
  const auto ch = static_cast<uint8_t>(key);
  const bool ctrlOnly = CtrlWithoutAlt();
  if (FState == stNone && !FSearching && IsOptionsEx29() && key != VK_BACK && key != VK_TAB &&
      key != VK_RETURN && key != VK_ESCAPE && !ctrlOnly)
    StartSearch(-1, std::string());
  if (!FSearching) {
    if (IsOptionsEx10() && FState != stEditing) {
      if (key == VK_RETURN) {
        ShowEditor();
      } else if (key == VK_BACK || key == 22 || key == 24 || ch >= 32) {
        ShowEditorWithKey(key);
        if (FState != stEditing)
          inherited::KeyPress(key);
      } else {
        inherited::KeyPress(key);
      }
    } else {
      inherited::KeyPress(key);
    }
  }
  if (key == 0)
    return;
  if (FState != stEditing && GetFocusedNode()) {
    if (key == 3 && FOptionsEx.Contains(aoCopyOnCtrlC)) {
      CopyToClipboard();
    } else if (key == '*' && GetFocusedNode()->GetHasChildren()) {
      GetFocusedNode()->Expand(/*recurse=*/true);
    } else if (key == '+') {
      MakeNodeVisible(GetFocusedNode());
      GetFocusedNode()->SetExpanded(true);
    } else if (key == '-') {
      MakeNodeVisible(GetFocusedNode());
      GetFocusedNode()->SetExpanded(false);
    }
  }
  if (FSearching && ch >= 32 && !ctrlOnly) {
    if (GetFocusedColumn() != FSearchColumn)
      StartSearch(-1, std::string());
    IncrementalSearch(FSearchText + key, 0, false);
  }
}

void TCustomdxTreeList::DoExit() {
  inherited::DoExit();
  EndEditing();
}
