// TdxTreeListRows: the row lists of a tree list, which map rows to nodes while they are built.
// It owns the node of each row, the node-order list (the shown nodes by address) and their
// rows, whether the lists are built, and the node (with its three flags) whose addition or
// deletion the next rebuild applies, and whether the refreshes are held back; with them the
// row lookups, the tree walk of tree mode and the rebuilds.
// While the lists are empty (tree mode) the lookups walk the tree and give the same
// answers; lists found out of step with the tree are dropped, never indexed.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/FlagScope.h"
#include "classlib/Object.h"

class TCustomdxTreeList;
class TdxTreeListNode;

class TdxTreeListRows : public TObject {
  KIVO_CLASS(TdxTreeListRows, TObject)
 public:
  explicit TdxTreeListRows(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListRows(const TdxTreeListRows&) = delete;
  TdxTreeListRows& operator=(const TdxTreeListRows&) = delete;

  // ==== Lookups (the control's forwarders of the same names serve other code)
  int GetRowCount() const;
  // Row of `node`, -1 for none and for a node that is not shown.
  int GetNodeRowIndex(const TdxTreeListNode* node) const;
  // Node of row `index`, none out of range.
  TdxTreeListNode* GetNodeAtRow(int index) const;
  // Position of `node` in the node-order list, -1 when it is absent.
  int FindNodeOrderIndex(const TdxTreeListNode* node) const;
  // List mode: the node-order list holds nodes and the control is not being destroyed.
  bool InListMode() const;
  bool GetRowsBuilt() const { return FRowsBuilt; }
  // The row lists, for inspection: the node of each row, the nodes by address and
  // their rows.
  const std::vector<TdxTreeListNode*>& GetRowNodes() const { return FRowNodes; }
  const std::vector<TdxTreeListNode*>& GetNodeOrder() const { return FNodeOrder; }
  const std::vector<int32_t>& GetNodeOrderRows() const { return FNodeOrderRows; }
  // The node whose addition or deletion the next RebuildRows applies (none: full).
  TdxTreeListNode* GetPendingNode() const { return FPendingNode; }

  // ==== Rebuilding
  // The bodies of the control's RebuildRows and RefreshNodeCounts.
  void RebuildRows();
  void RefreshNodeCounts();
  // Applies one addition or deletion to the row lists.
  void UpdateRowsForNode(TdxTreeListNode* node, bool deleted);
  // Empties the row lists without touching the node caches.
  void ClearRowLists();
  // While ClearNodes runs, the row refreshes are held back: the layout change keeps the
  // lists and a rebuild leaves the node row caches alone.
  bool IsRefreshSuppressed() const { return FRefreshSuppressed; }
  TFlagScope SuppressRefreshes() { return TFlagScope(FRefreshSuppressed); }

  // ==== A node going
  // The node's destruction records whether it was shown; NodeDeleted reads it, tells
  // whether the node was the last child, and clears it when done.
  bool GetPendingVisible() const { return FPendingVisible; }
  void SetPendingVisible(bool value) { FPendingVisible = value; }
  void SetPendingWasLast(bool value) { FPendingWasLast = value; }
  // Every node is gone.
  void ForgetNodes() { FPendingNode = nullptr; }

 private:
  // Row walk of tree mode: the row of `node`, or with node none the node of `row`.
  int WalkRowIndex(const TdxTreeListNode* node) const;
  TdxTreeListNode* WalkNodeAtRow(int row) const;
  void RebuildAllRows();
  void ApplyRowDeletion(TdxTreeListNode* node);
  void ApplyRowAddition(TdxTreeListNode* node);
  void ResetRowHeightCaches(TdxTreeListNode* node);

  TCustomdxTreeList& FControl;
  std::vector<TdxTreeListNode*> FRowNodes;
  std::vector<TdxTreeListNode*> FNodeOrder;
  std::vector<int32_t> FNodeOrderRows;
  bool FRowsBuilt = false;
  TdxTreeListNode* FPendingNode = nullptr;
  bool FPendingVisible = false;
  bool FPendingDeletion = false;
  bool FPendingWasLast = false;
  bool FRefreshSuppressed = false;
};
