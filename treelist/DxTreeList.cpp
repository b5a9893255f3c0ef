// The control core: construction and destruction, settings, the update bracket,
// linking, moving and clearing nodes and focus.
//
// Decisions taken here:
// - Ending an edit comes before forgetting the edited cell (BeginUpdate,
//   ResetEditedCell), so an edit in progress is validated and reaches its node instead
//   of being dropped or saved into a cell already forgotten.
// - Every notification that may reach user code (events, virtual hooks) runs after the
//   control's own references and row lists are consistent again, so an exception from
//   it never leaves a pointer to a freed node behind.
// - The update bracket ends the selection bracket it holds in a step of its own, so a
//   rebuild that raises does not leave the selection locked for good; ended while an
//   exception passes (EndUpdateQuiet) it rebuilds the rows but fires no event.
// - A node that cannot be linked (no memory for the list) is freed, never leaked.
#include "treelist/DxTreeList.h"

#include <cassert>
#include <exception>

#include "classlib/Boundary.h"
#include "classlib/FlagScope.h"

TCustomdxTreeList::TCustomdxTreeList(TComponent* AOwner)
    : TCustomdxContainer(AOwner),
      FRootNodes(new TList()),
      FExtraNodes(new TList()) {
  // Every supported system has new-style controls, so the control is never csFramed.
  SetControlStyle({csCaptureMouse, csOpaque, csDoubleClicks, csDisplayDragImage});
  SetBounds(GetLeft(), GetTop(), 250, 150);
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  SetScrollBarStyle(sbsFlat);
}

TCustomdxTreeList::~TCustomdxTreeList() {
  // Every owned component (hint window, editor, drag image list) is freed here, before
  // anything else of the control goes, because freeing a component can notify the
  // control.
  Destroying();
  FMouse.GetMiddleScroll().AbandonMiddleScroll(/*controlGone=*/true);
  if (HandleAllocated())
    DestroyHandle();
  GetDrag().EndDragImage();
  SetParent(nullptr);
  GetEditController().ResetEditedCell();
  LayoutChanged();
  GetRows().ClearRowLists();
  GetTimers().FreeHintWindow();
  // A deletion handler that raises must not leave the destructor; the nodes are all
  // freed regardless.
  GuardBoundary("TCustomdxTreeList destruction", [this] { ClearNodes(); });
  GetEditController().FreeEditor();

  // The parts go with the members, the appearance last (its links leave the image
  // lists, then its fonts go); then the control's own node lists, empty by now.
}

// ---- Window-level overrides

void TCustomdxTreeList::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
  params.WindowClass.style |= CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  if (GetLookAndFeel() != lfStandard) {
    if (GetBorderStyle() == bsNone)
      params.Style &= ~WS_BORDER;
    return;
  }
  if (GetBorderStyle() != bsSingle)
    return;
  if (GetCtl3D()) {
    params.Style &= ~WS_BORDER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    return;
  }
  params.Style |= WS_BORDER;
}

void TCustomdxTreeList::CreateWnd() {
  inherited::CreateWnd();
  UpdateGuarded();
}

void TCustomdxTreeList::Loaded() {
  inherited::Loaded();
  UpdateGuarded();
}

void TCustomdxTreeList::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation != opRemove)
    return;
  GetAppearance().ImageListRemoved(AComponent);
  GetEditController().Removed(AComponent);
}

// ---- Settings

void TCustomdxTreeList::SetOptions(TdxTreeListOptions value) {
  if (value == FOptions)
    return;
  FOptions = value;
  UpdateGuarded();
}

void TCustomdxTreeList::SetOptionsEx(TdxTreeListOptionsEx value) {
  if (value == FOptionsEx)
    return;
  FOptionsEx = value;
  UpdateGuarded();
}

// ---- Update bracket

void TCustomdxTreeList::BeginUpdate() {
  // An edit in progress is finished (validated and stored) before its cell is
  // forgotten; when validation refuses, nothing here has changed yet.
  GetEditController().EndEditing();
  ++FLockCount;
  if (FState == stRowSelecting)
    GetMouse().SetNewItemRowPressed(true);
  GetEditController().ForgetEditedCell();
  FState = stNone;
  GetEditController().HideEditor(false);
  LayoutChanged();
  BeginSelectionUpdate();
}

void TCustomdxTreeList::EndUpdate() {
  assert(FLockCount > 0 && "EndUpdate without BeginUpdate");
  if (FLockCount == 0)
    return;
  --FLockCount;
  try {
    UpdateGuarded();
  } catch (...) {
    EndSelectionUpdateQuiet();
    throw;
  }
  EndSelectionUpdate();
}

void TCustomdxTreeList::EndUpdateQuiet() {
  assert(FLockCount > 0 && "EndUpdateQuiet without BeginUpdate");
  if (FLockCount == 0)
    return;
  --FLockCount;
  EndSelectionUpdateQuiet();
  // The rows and the layout must not keep what the update changed (freed nodes among
  // them), so they are rebuilt all the same.
  const TFlagScope hold(FHoldEvents);
  UpdateGuarded();
}

void TCustomdxTreeList::RowsChanged() {
  if (IsLocked() || IsDestroying()) {
    // The outermost EndUpdate rebuilds; lists built meanwhile would miss the change.
    if (InListMode())
      GetRows().ClearRowLists();
    return;
  }
  LayoutChanged();
  RebuildRows();
  CalcVisibleRowCount();
  UpdateScrollBars();
  GetNavigator().KeepLastPageFilled();
  Invalidate();
}

// ---- Nodes

TdxTreeListNode* TCustomdxTreeList::GetItem(int index) const {
  if (index < 0 || index >= FRootNodes->GetCount())
    return nullptr;
  return static_cast<TdxTreeListNode*>(FRootNodes->Get(index));
}

TdxTreeListNode* TCustomdxTreeList::LinkNode(TdxTreeListNode* node, TList* list, TdxTreeListNode* parent,
                                             int index) {
  assert(node && node->GetOwner() == this && "CreateNode must make a node of this control");
  if (index < 0)
    index = list->GetCount();
  try {
    list->Insert(index, node);
  } catch (...) {
    TdxTreeListNode::FreeUnlinked(node);
    throw;
  }
  node->FParent = parent;
  node->FIndexHint = index;
  NodeAdded(node);
  return node;
}

TdxTreeListNode* TCustomdxTreeList::Add() {
  return LinkNode(CreateNode(), FRootNodes.get(), nullptr, -1);
}

TdxTreeListNode* TCustomdxTreeList::Insert(TdxTreeListNode* before) {
  if (!before)
    return Add();
  const int index = FRootNodes->IndexOf(before);
  if (index < 0)
    throw EInvaliddxTreeListOperation("Insert: the node to insert before is not a top-level node of this tree list");
  return LinkNode(CreateNode(), FRootNodes.get(), nullptr, index);
}

void TCustomdxTreeList::NodeMoved(TdxTreeListNode* node) {
  // A top or focused node the move hid goes to its nearest shown ancestor.
  auto shownAncestor = [](TdxTreeListNode* n) {
    while (n && !n->IsVisible())
      n = n->GetParent();
    return n;
  };
  if (GetTopNode() && !GetTopNode()->IsVisible())
    GetNavigator().SetTopNodeQuiet(shownAncestor(GetTopNode()));
  TdxTreeListNode* focused =
      GetFocusedNode() && !GetFocusedNode()->IsVisible() ? shownAncestor(GetFocusedNode()) : nullptr;
  RowsChanged();
  if (focused)
    SetFocusedNode(focused, GetNavigator().GetStoredFocusedColumn(), false);
}

void TCustomdxTreeList::ClearNodes() {
  const TdxTreeListUpdateScope update(this, /*open=*/!IsDestroying());
  // The flags come back before the update ends.
  const TFlagScope clearing(FClearing);
  LayoutChanged();
  const TFlagScope refreshSuppressed = FRows.SuppressRefreshes();
  ClearSelection();
  ResetNodeReferences();
  // Every node goes, also when a deletion handler raises; the first error is passed on.
  std::exception_ptr firstError;
  auto freeAll = [&firstError](TList* list) {
    for (int i = 0; i < list->GetCount(); ++i) {
      try {
        static_cast<TdxTreeListNode*>(list->Get(i))->Delete();
      } catch (...) {
        if (!firstError)
          firstError = std::current_exception();
      }
    }
    list->Clear();
  };
  freeAll(FRootNodes.get());
  freeAll(FExtraNodes.get());
  NodesCleared();
  if (firstError)
    std::rethrow_exception(firstError);
}

// ---- Focus and references

void TCustomdxTreeList::ResetNodeReferences() {
  SetTopNode(nullptr);
  GetNavigator().ForgetNodes();
  GetEditController().ForgetEditedCell();
  GetSelection().ForgetNodes();
  GetMouse().ForgetNodes();
  GetDrag().ForgetNodes();
  GetRows().ForgetNodes();
}
