// Decisions taken here:
// - Clearing all nodes detaches a parent's child list before freeing the children, so a
//   child being freed then finds no list to unlink itself from and leaves the parent
//   alone: each child is freed exactly once, by its parent, and no list is read after it
//   was detached.
// - A node freed by a plain delete (its destructor) goes with its whole subtree whatever
//   the deletion handlers raise, and passes no exception on: what they raise goes to the
//   boundary handler. Delete keeps raising it.
// - The events a node fires (can-expand, focus changes...) may free the node: it checks
//   that it is still alive before it touches itself again.
#include "treelist/DxTreeListNode.h"

#include <cassert>
#include <exception>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "treelist/DxTreeList.h"

TdxTreeListNode::TdxTreeListNode(TCustomdxTreeList* AOwner) : FOwner(AOwner) {
  if (!AOwner)
    throw EInvaliddxTreeListOperation("Invalid Owner TdxTreeListNode");
}

TdxTreeListNode::~TdxTreeListNode() {
  DestroyInDestructor();
}

void TdxTreeListNode::DestroyInDestructor() noexcept {
  if (FDestroyed)
    return;
  FFreeing = true;
  GuardBoundary("TdxTreeListNode destruction", [this] { Destroy(); });
}

void TdxTreeListNode::Delete() {
  try {
    Destroy();
  } catch (...) {
    // A node that could not leave its list stays whole in the tree; one that left it
    // is freed all the same.
    if (FUnlinked)
      delete this;
    throw;
  }
  delete this;
}

void TdxTreeListNode::Destroy() {
  if (FDestroyed)
    return;
  FDestroyed = true;
  FDeleting = true;
  const bool clearing = FOwner->GetClearing();
  std::exception_ptr childError;
  try {
    DeleteChildren();
  } catch (...) {
    if (!clearing && !FFreeing) {
      FDestroyed = false;
      FDeleting = false;
      throw;
    }
    childError = std::current_exception();  // the node goes regardless
  }

  TdxTreeListNode* prev = nullptr;
  TdxTreeListNode* next = nullptr;
  bool isLast = false;
  bool visible = false;
  if (clearing) {
    FOwner->GetRows().SetPendingVisible(false);
  } else {
    prev = GetPrevSibling();
    if (!prev)
      prev = FParent;
    next = GetNextVisible();
    isLast = IsLast();
    const bool shown = IsVisible();
    FOwner->GetRows().SetPendingVisible(shown);
    visible = shown && !(FParent && FParent->FDeleting);
  }
  Unlink();
  FreeAndNil(FChildren);
  FUnlinked = true;
  FOwner->NodeDeleted(this, prev, next, isLast, visible);
  if (childError)
    std::rethrow_exception(childError);
}

void TdxTreeListNode::DeleteChildren() {
  if (!FChildren)
    return;
  if (!FOwner->GetClearing()) {
    // Each child destroys its subtree and unlinks itself, freeing the list with the last.
    // A node that goes regardless takes every child with it, the first error passed on.
    std::exception_ptr firstError;
    while (FChildren && FChildren->GetCount() > 0) {
      auto* child = static_cast<TdxTreeListNode*>(FChildren->Get(0));
      child->FFreeing = FFreeing;
      try {
        child->Delete();
      } catch (...) {
        if (!FFreeing)
          throw;
        if (!firstError)
          firstError = std::current_exception();
      }
    }
    if (firstError)
      std::rethrow_exception(firstError);
    return;
  }
  TList* children = FChildren;
  FChildren = nullptr;
  std::exception_ptr firstError;
  for (int i = 0; i < children->GetCount(); ++i) {
    try {
      static_cast<TdxTreeListNode*>(children->Get(i))->Delete();
    } catch (...) {
      if (!firstError)
        firstError = std::current_exception();
    }
  }
  delete children;
  if (firstError)
    std::rethrow_exception(firstError);
}

TList* TdxTreeListNode::OwnerList() const {
  return FParent ? FParent->FChildren : FOwner->GetRootNodes();
}

void TdxTreeListNode::Unlink() {
  TList* list = OwnerList();
  if (!FParent) {
    if (!FOwner->GetClearing())
      list->Remove(this);
    return;
  }
  if (!list)
    return;  // the parent's list was detached while all nodes are cleared
  list->Remove(this);
  if (list->GetCount() > 0)
    return;
  FreeAndNil(FParent->FChildren);
  FParent->FHasChildren = FOwner->GetDefaultHasChildren(FParent);
  FParent->FExpanded = false;
}

// ---- Creating and linking

void TdxTreeListNode::FreeUnlinked(TdxTreeListNode* node) noexcept {
  node->FDestroyed = true;
  delete node;
}

TdxTreeListNode* TdxTreeListNode::LinkChild(TdxTreeListNode* node, int index) {
  // When linking fails the new node goes, and so does a child list made for it.
  const bool hadChildren = FHasChildren;
  try {
    if (!FChildren)
      FChildren = new TList();
  } catch (...) {
    FreeUnlinked(node);
    throw;
  }
  FHasChildren = true;
  try {
    return FOwner->LinkNode(node, FChildren, this, index);
  } catch (...) {
    if (FChildren && FChildren->GetCount() == 0) {
      FreeAndNil(FChildren);
      FHasChildren = hadChildren;
    }
    throw;
  }
}

TdxTreeListNode* TdxTreeListNode::AddChild() {
  return LinkChild(FOwner->CreateNode(), -1);
}

TdxTreeListNode* TdxTreeListNode::InsertChild(TdxTreeListNode* before) {
  if (!before)
    return AddChild();
  const int index = IndexOf(before);
  if (index < 0)
    throw EInvaliddxTreeListOperation("InsertChild: the node to insert before is not a child of this node");
  return LinkChild(FOwner->CreateNode(), index);
}

void TdxTreeListNode::MoveTo(TdxTreeListNode* parent, TdxTreeListNode* before) {
  if (parent == this || (parent && parent->HasAsParent(this)))
    throw EInvaliddxTreeListOperation("MoveTo: a node cannot move into its own subtree");
  if (parent && parent->FOwner != FOwner)
    throw EInvaliddxTreeListOperation("MoveTo: the new parent belongs to another tree list");
  TList* target = parent ? parent->FChildren : FOwner->GetRootNodes();
  if (before && (before == this || !target || target->IndexOf(before) < 0))
    throw EInvaliddxTreeListOperation("MoveTo: the node to move before is not a child of the new parent");

  // A parent keeps its state while the node only moves among its children.
  if (parent == FParent)
    OwnerList()->Remove(this);
  else
    Unlink();
  FParent = parent;
  if (parent) {
    if (!parent->FChildren)
      parent->FChildren = new TList();
    parent->FHasChildren = true;
  }
  target = OwnerList();
  const int index = before ? target->IndexOf(before) : target->GetCount();
  target->Insert(index, this);
  FIndexHint = index;
  FOwner->NodeMoved(this);
}

// ---- Structure

TdxTreeListNode* TdxTreeListNode::GetItem(int index) const {
  if (!FChildren || index < 0 || index >= FChildren->GetCount())
    return nullptr;
  return static_cast<TdxTreeListNode*>(FChildren->Get(index));
}

int TdxTreeListNode::IndexOf(const TdxTreeListNode* child) const {
  if (!FChildren)
    return -1;
  return FChildren->IndexOf(const_cast<TdxTreeListNode*>(child));
}

int TdxTreeListNode::GetIndex() const {
  const TList* list = OwnerList();
  if (!list)
    return -1;
  if (FIndexHint < list->GetCount() && list->Get(FIndexHint) == this)
    return FIndexHint;
  FIndexHint = list->IndexOf(const_cast<TdxTreeListNode*>(this));
  if (FIndexHint < 0) {
    FIndexHint = 0;
    return -1;
  }
  return FIndexHint;
}

int TdxTreeListNode::GetLevel() const {
  int level = 0;
  for (const TdxTreeListNode* p = FParent; p; p = p->FParent)
    ++level;
  return level;
}

TdxTreeListNode* TdxTreeListNode::GetLastChild() const {
  TdxTreeListNode* node = GetFirstChild();
  if (!node)
    return nullptr;
  for (TdxTreeListNode* next = node->GetNextSibling(); next; next = next->GetNextSibling())
    node = next;
  return node;
}

TdxTreeListNode* TdxTreeListNode::GetNextSibling() const {
  const TList* list = OwnerList();
  const int index = GetIndex();
  if (!list || index < 0 || index + 1 >= list->GetCount())
    return nullptr;
  return static_cast<TdxTreeListNode*>(list->Get(index + 1));
}

TdxTreeListNode* TdxTreeListNode::GetPrevSibling() const {
  const TList* list = OwnerList();
  const int index = GetIndex();
  if (!list || index <= 0)
    return nullptr;
  return static_cast<TdxTreeListNode*>(list->Get(index - 1));
}

TdxTreeListNode* TdxTreeListNode::GetNext() const {
  if (TdxTreeListNode* child = GetFirstChild())
    return child;
  for (const TdxTreeListNode* node = this; node; node = node->FParent) {
    if (TdxTreeListNode* sibling = node->GetNextSibling())
      return sibling;
  }
  return nullptr;
}

TdxTreeListNode* TdxTreeListNode::GetPrev() const {
  TdxTreeListNode* node = GetPrevSibling();
  if (!node)
    return FParent;
  while (TdxTreeListNode* last = node->GetLastChild())
    node = last;
  return node;
}

TdxTreeListNode* TdxTreeListNode::GetNextVisible() const {
  if (FOwner->InListMode()) {
    const int row = FOwner->GetNodeRowIndex(this);
    return row < 0 ? nullptr : FOwner->GetNodeAtRow(row + 1);
  }
  if (FExpanded && GetCount() > 0)
    return GetFirstChild();
  for (const TdxTreeListNode* node = this; node; node = node->FParent) {
    if (TdxTreeListNode* sibling = node->GetNextSibling())
      return sibling;
  }
  return nullptr;
}

TdxTreeListNode* TdxTreeListNode::GetPriorVisible() const {
  if (FOwner->InListMode()) {
    const int row = FOwner->GetNodeRowIndex(this);
    return row <= 0 ? nullptr : FOwner->GetNodeAtRow(row - 1);
  }
  TdxTreeListNode* node = GetPrevSibling();
  if (!node)
    return FParent;
  while (node->FExpanded && node->GetCount() > 0)
    node = node->GetLastChild();
  return node;
}

bool TdxTreeListNode::HasAsParent(const TdxTreeListNode* node) const {
  if (!node)
    return false;
  for (const TdxTreeListNode* p = FParent; p; p = p->FParent) {
    if (p == node)
      return true;
  }
  return false;
}

bool TdxTreeListNode::IsLast() const {
  const TList* list = OwnerList();
  return list && list->GetCount() > 0 && list->Get(list->GetCount() - 1) == this;
}

bool TdxTreeListNode::IsVisible() const {
  for (const TdxTreeListNode* p = FParent; p; p = p->FParent) {
    if (!p->FExpanded)
      return false;
  }
  return true;
}

// ---- State

void TdxTreeListNode::SetExpanded(bool value) {
  if (!FHasChildren || value == FExpanded)
    return;
  // The owner's handlers may delete this node at each step.
  const auto ask = value ? &TCustomdxTreeList::DoCanExpand : &TCustomdxTreeList::DoCanCollapse;
  bool allow = true;
  if (!Survives(this, [&] { (FOwner->*ask)(this, allow); }) || !allow)
    return;
  if (!value) {
    TdxTreeListNode* top = FOwner->GetTopNode();
    if (top && top->HasAsParent(this) && !Survives(this, [&] { FOwner->SetTopNode(this); }))
      return;
    TdxTreeListNode* focused = FOwner->GetFocusedNode();
    bool focusMoved = true;
    if (focused && focused->HasAsParent(this) &&
        (!Survives(this, [&] { focusMoved = FOwner->MakeNodeFocused(this); }) || !focusMoved))
      return;
  }
  FExpanded = value;
  if (!Survives(this, [&] { FOwner->RowsChanged(); }))  // may move the top node (OnChangeTopNode)
    return;
  FOwner->RefreshNode(this, false);
  if (value)
    FOwner->DoExpanded(this);
  else
    FOwner->DoCollapsed(this);
}

void TdxTreeListNode::Expand(bool recurse) {
  if (!FHasChildren)
    return;
  TdxTreeListUpdateScope update(FOwner, /*open=*/!FOwner->IsLocked());
  if (!Survives(this, &TdxTreeListNode::SetExpanded, true) || !recurse)
    return;
  // The handlers may delete or move this node or its children meanwhile: a child that
  // left the list leaves the next one at its place.
  for (int i = 0; i < GetCount();) {
    TdxTreeListNode* child = GetItem(i);
    bool childAlive = false;
    if (!Survives(this, [&] { childAlive = Survives(child, &TdxTreeListNode::Expand, true); }))
      return;
    if (childAlive && child->FParent == this)
      i = child->GetIndex() + 1;
  }
}

void TdxTreeListNode::SetHasChildren(bool value) {
  if (value == FHasChildren)
    return;
  FHasChildren = value || GetCount() > 0;
  FOwner->RefreshNode(this, false);
}

bool TdxTreeListNode::GetFocused() const {
  return FOwner->GetFocusedNode() == this;
}

void TdxTreeListNode::SetFocused(bool value) {
  if (value == GetFocused())
    return;
  FOwner->SetFocusedNode(value ? this : nullptr, FOwner->GetFocusedColumn(), /*makeVisible=*/true);
}

bool TdxTreeListNode::GetSelected() const {
  if (FOwner->IsMultiSelect())
    return FOwner->IsNodeSelected(const_cast<TdxTreeListNode*>(this));
  return GetFocused();
}

void TdxTreeListNode::SetSelected(bool value) {
  FOwner->SetNodeSelected(this, value);
}

// ---- Values

int TdxTreeListNode::GetImageIndex() {
  return FOwner->GetNodeImageIndex(this);
}

void TdxTreeListNode::SetImageIndex(int value) {
  FOwner->SetNodeImageIndex(this, value);
}

int TdxTreeListNode::GetSelectedIndex() {
  return FOwner->GetNodeSelectedIndex(this);
}

void TdxTreeListNode::SetSelectedIndex(int value) {
  FOwner->SetNodeSelectedIndex(this, value);
}

int TdxTreeListNode::GetStateIndex() {
  return FOwner->GetNodeStateIndex(this);
}

void TdxTreeListNode::SetStateIndex(int value) {
  FOwner->SetNodeStateIndex(this, value);
}

Variant TdxTreeListNode::GetValue(int column) {
  Variant value;
  FOwner->GetNodeValue(this, column, value);
  return value;
}

void TdxTreeListNode::SetValue(int column, const Variant& value) {
  FOwner->SetNodeValue(this, column, value);
}

std::string TdxTreeListNode::GetString(int column) {
  std::string text;
  FOwner->GetNodeString(this, column, text);
  return text;
}

void TdxTreeListNode::SetString(int column, const std::string& value) {
  FOwner->SetNodeString(this, column, value);
}

void TdxTreeListNode::MakeVisible() {
  FOwner->MakeNodeVisible(this);
}

int TdxTreeListNode::GetRowIndex() const {
  return FOwner->GetNodeRowIndex(this);
}

// ---- Text node

TdxTreeListTextNode::TdxTreeListTextNode(TCustomdxTreeList* AOwner)
    : TdxTreeListNode(AOwner), FStrings(std::make_unique<TStringList>()) {}

TdxTreeListTextNode::~TdxTreeListTextNode() {
  // The node leaves its tree while its texts still exist.
  DestroyInDestructor();
}

bool PadNodeTexts(TStringList* strings, int count) {
  const TAliveGuard alive(strings);
  while (alive.Alive() && strings->GetCount() < count)
    strings->Add("");
  return alive.Alive();
}
