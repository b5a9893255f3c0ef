// TdxTreeListNode: an element of the tree a TCustomdxTreeList shows as rows. A node
// knows its owner control, its parent and its children and holds the expanded and
// has-children flags; what it shows (texts, images, selection, focus) it asks of the
// owner, and every change of the tree's shape is reported back to the owner, which keeps
// its row lists, focus and painting in step.
//
// Nodes are made by the owner (its CreateNode) and linked by AddChild / InsertChild here
// or by the owner's Add / Insert; they leave the tree only through Delete (the node and
// its subtree) or when the owner clears all nodes. The destructor is not public: a
// node's removal must run while the whole object still exists, since the owner's
// notifications (deletion event, deselection) may read the node's own data.
//
// TdxTreeListTextNode is the node that holds its cell texts and image indices itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Lists.h"
#include "classlib/Object.h"
#include "classlib/StringList.h"
#include "classlib/Variants.h"

class TCustomdxTreeList;

class TdxTreeListNode : public TObject {
  KIVO_CLASS(TdxTreeListNode, TObject)
 public:
  // Raises EInvaliddxTreeListOperation "Invalid Owner TdxTreeListNode" without owner.
  // The node is not linked anywhere yet.
  explicit TdxTreeListNode(TCustomdxTreeList* AOwner);
  TdxTreeListNode(const TdxTreeListNode&) = delete;
  TdxTreeListNode& operator=(const TdxTreeListNode&) = delete;

  // A pointer for the user's own use; the tree list never touches it.
  void* Data = nullptr;

  // ---- Creating and linking
  // A new node of the owner's node class, appended as the last child (or inserted
  // before the child `before`), and announced to the owner (its NodeAdded), which
  // updates its rows, top node and focus. The node's has-children flag is set.
  // InsertChild raises EInvaliddxTreeListOperation when `before` is not a child of this
  // node; a `before` of none appends.
  TdxTreeListNode* AddChild();
  TdxTreeListNode* InsertChild(TdxTreeListNode* before);
  // Moves this node with its subtree under `parent` (none: the top level), before
  // `before` (none: last). The owner rebuilds its rows; a top or focused node that the
  // move hides goes to its nearest shown ancestor. Raises EInvaliddxTreeListOperation
  // for a parent inside this node's own subtree, a parent of another owner, or a
  // `before` that is not a child of `parent`.
  void MoveTo(TdxTreeListNode* parent, TdxTreeListNode* before);
  // Destroys the node: its children first (each its own subtree), then it unlinks
  // itself and tells the owner (NodeDeleted), then it is freed. While the owner clears
  // all nodes, only the deletion event is fired.
  void Delete();
  // Deletes every child (none is left afterwards).
  void DeleteChildren();

  // ---- Structure (read-only)
  TCustomdxTreeList* GetOwner() const { return FOwner; }
  TdxTreeListNode* GetParent() const { return FParent; }
  // The children, none while the node has none.
  TList* GetChildren() const { return FChildren; }
  int GetCount() const { return FChildren ? FChildren->GetCount() : 0; }
  // Child i, none out of range.
  TdxTreeListNode* GetItem(int index) const;
  // Position of `child`, -1 when it is not a child.
  int IndexOf(const TdxTreeListNode* child) const;
  // Position in the parent's children or the owner's top-level nodes.
  int GetIndex() const;
  // Number of ancestors: 0 for a top-level node.
  int GetLevel() const;
  TdxTreeListNode* GetFirstChild() const { return GetItem(0); }
  TdxTreeListNode* GetLastChild() const;
  TdxTreeListNode* GetNextSibling() const;
  TdxTreeListNode* GetPrevSibling() const;
  // Pre-order successor and predecessor over the whole tree, expanded or not.
  TdxTreeListNode* GetNext() const;
  TdxTreeListNode* GetPrev() const;
  // The node of the next and the previous row (from the owner's row lists while they
  // are built; none for a node that is not shown there).
  TdxTreeListNode* GetNextVisible() const;
  TdxTreeListNode* GetPriorVisible() const;
  // True when `node` is an ancestor of this node.
  bool HasAsParent(const TdxTreeListNode* node) const;
  bool IsLast() const;
  // Every ancestor is expanded.
  bool IsVisible() const;
  bool GetDeleting() const { return FDeleting; }

  // ---- State
  bool GetExpanded() const { return FExpanded; }
  // Asks the owner (can-expand, can-collapse); collapsing moves the owner's top and
  // focused node out of the subtree first, and stops when the owner refuses the focus.
  void SetExpanded(bool value);
  // Expands the node (and with `recurse` its whole subtree) in one update of the owner.
  void Expand(bool recurse);
  bool GetHasChildren() const { return FHasChildren; }
  void SetHasChildren(bool value);
  bool GetFocused() const;
  void SetFocused(bool value);
  bool GetSelected() const;
  void SetSelected(bool value);

  // ---- Values, answered by the owner
  int GetImageIndex();
  void SetImageIndex(int value);
  int GetSelectedIndex();
  void SetSelectedIndex(int value);
  int GetStateIndex();
  void SetStateIndex(int value);
  Variant GetValue(int column);
  void SetValue(int column, const Variant& value);
  std::string GetString(int column);
  void SetString(int column, const std::string& value);
  // The owner scrolls the node into view.
  void MakeVisible();
  // The node's row, -1 when it is not shown.
  int GetRowIndex() const;

  // ---- Row height caches, written by the owner's row-height computation
  int32_t GetRowHeightCache() const { return FRowHeightCache; }
  void SetRowHeightCache(int32_t value) { FRowHeightCache = value; }
  int32_t GetLineCountCache() const { return FLineCountCache; }
  void SetLineCountCache(int32_t value) { FLineCountCache = value; }

 protected:
  friend class TCustomdxTreeList;
  ~TdxTreeListNode() override;
  // The destruction steps, run once while the object is whole: the children, the
  // unlinking, the owner's notification. Delete runs them before freeing and passes on
  // what the deletion handlers raise; a node whose children raise stays in the tree.
  void Destroy();
  // The destruction steps of a destructor: the node and its whole subtree go whatever
  // the handlers raise, and what they raise goes to the boundary handler. A descendant
  // whose data the owner's deletion hooks may read runs them first in its destructor.
  void DestroyInDestructor() noexcept;

 private:
  // The list this node lives in: the parent's children or the owner's top-level nodes.
  TList* OwnerList() const;
  // Links `node` into this node's children at `index` (-1: last) and announces it.
  TdxTreeListNode* LinkChild(TdxTreeListNode* node, int index);
  // Frees a node that was never linked into the tree, without its destruction steps.
  static void FreeUnlinked(TdxTreeListNode* node) noexcept;
  // Takes the node out of its list; a parent left without children loses its list,
  // its expanded flag and takes the owner's default has-children answer.
  void Unlink();

  bool FDeleting = false;
  bool FExpanded = false;
  bool FHasChildren = false;
  bool FDestroyed = false;
  bool FUnlinked = false;
  // The node goes regardless of raising handlers (freed by its destructor, or a child of
  // such a node).
  bool FFreeing = false;
  TList* FChildren = nullptr;
  TCustomdxTreeList* FOwner;
  TdxTreeListNode* FParent = nullptr;
  int32_t FRowHeightCache = 0;
  int32_t FLineCountCache = 0;
  // Where the node was last found in its list, so that sibling walks need no search.
  mutable int FIndexHint = 0;
};

// A node that holds its cell texts (element i for the column of index i) and its image
// indices.
class TdxTreeListTextNode : public TdxTreeListNode {
  KIVO_CLASS(TdxTreeListTextNode, TdxTreeListNode)
 public:
  explicit TdxTreeListTextNode(TCustomdxTreeList* AOwner);

  TStringList* GetStrings() const { return FStrings.get(); }
  int ImageIndex = 0;
  int SelectedIndex = -1;
  int StateIndex = -1;

 protected:
  ~TdxTreeListTextNode() override;

 private:
  std::unique_ptr<TStringList> FStrings;
};

// Pads a text node's texts with empty ones up to `count`. Each addition is told
// (OnChanging, OnChange), whose handler may free the node and its texts: false then.
bool PadNodeTexts(TStringList* strings, int count);
