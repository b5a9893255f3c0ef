// The selection anchor and the selection bracket of a tree list.
#include "treelist/DxTreeListSelection.h"

#include <cassert>
#include <utility>

#include "treelist/DxTreeList.h"

void TdxTreeListSelectionCalls::Begin(TCustomdxTreeList& control) { control.BeginSelectionUpdate(); }
void TdxTreeListSelectionCalls::End(TCustomdxTreeList& control) { control.EndSelectionUpdate(); }
void TdxTreeListSelectionCalls::EndQuiet(TCustomdxTreeList& control) { control.EndSelectionUpdateQuiet(); }

void TdxTreeListSelection::SelectOnly(TdxTreeListNode* node) {
  TdxTreeListSelectionScope selection(&FControl);
  FControl.ClearSelection();
  if (node)
    FControl.SetNodeSelected(node, true);
}

void TdxTreeListSelection::ClearSelection() {
  FAnchorFlag = false;
  FControl.DoSelectionChanged();
}

int TdxTreeListSelection::CompareToAnchor(TdxTreeListNode* node) {
  const int anchor = FControl.GetNodeRowIndex(FAnchorNode);
  const int row = FControl.GetNodeRowIndex(node);
  return row < anchor ? -1 : row > anchor ? 1 : 0;
}

int TdxTreeListSelection::GetSelectedCountEx() {
  FAnchorFlag = false;
  return FControl.GetSelectedCount();
}

void TdxTreeListSelection::RefreshSelection() {
  if (!FControl.HandleAllocated())
    return;
  const int count = FControl.GetSelectedCount();
  if (count > 10) {
    FControl.Invalidate();
    return;
  }
  FControl.RefreshNode(FControl.GetFocusedNode(), false);
  for (int i = 0; i < count; ++i)
    FControl.RefreshNode(FControl.GetSelectedItem(i), false);
}

void TdxTreeListSelection::SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2) {
  int first = FControl.GetNodeRowIndex(node1);
  int last = FControl.GetNodeRowIndex(node2);
  if (first < 0 || last < 0)
    return;
  if (first > last)
    std::swap(first, last);
  TdxTreeListSelectionScope selection(&FControl);
  for (int row = first; row <= last; ++row)
    FControl.SetNodeSelected(FControl.GetNodeAtRow(row), true);
}

void TdxTreeListSelection::SetSelectionAnchor(TdxTreeListNode* node) {
  FAnchorNode = node;
}

void TdxTreeListSelection::BeginSelectionUpdate() {
  if (FSelectionLockCount++ == 0)
    FSelectionCountAtLock = FControl.GetSelectedCount();
}

void TdxTreeListSelection::EndSelectionUpdate() {
  assert(FSelectionLockCount > 0 && "EndSelectionUpdate without BeginSelectionUpdate");
  if (FSelectionLockCount == 0 || --FSelectionLockCount > 0)
    return;
  if (FControl.GetSelectedCount() != FSelectionCountAtLock)
    FControl.DoSelectionChanged();
}

void TdxTreeListSelection::EndSelectionUpdateQuiet() {
  assert(FSelectionLockCount > 0 && "EndSelectionUpdateQuiet without BeginSelectionUpdate");
  if (FSelectionLockCount > 0)
    --FSelectionLockCount;
}

void TdxTreeListSelection::NodeGone(TdxTreeListNode* node, TdxTreeListNode* replacement) {
  if (FAnchorNode == node)
    FAnchorNode = replacement;
}

void TdxTreeListSelection::ForgetNodes() {
  FAnchorNode = nullptr;
  FAnchorFlag = false;
}
