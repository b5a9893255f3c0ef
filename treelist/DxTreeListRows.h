// TdxTreeListRows: the row lists of a tree list, which map rows to nodes while they are built.
// It is to own the node of each row, the node-order list and its rows, whether the lists are
// built, and the node (with its three flags) whose addition or deletion the next rebuild
// applies; with them the row lookups, the tree walk of tree mode and the rebuilds.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListRows : public TObject {
  KIVO_CLASS(TdxTreeListRows, TObject)
 public:
  explicit TdxTreeListRows(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListRows(const TdxTreeListRows&) = delete;
  TdxTreeListRows& operator=(const TdxTreeListRows&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
