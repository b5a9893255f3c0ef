// TdxTreeListKeyboard: the keys and the incremental search of a tree list. It is to own
// whether a search runs, its column, its text and nesting, and the search-all-nodes setting;
// with them every key step and the search.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListKeyboard : public TObject {
  KIVO_CLASS(TdxTreeListKeyboard, TObject)
 public:
  explicit TdxTreeListKeyboard(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListKeyboard(const TdxTreeListKeyboard&) = delete;
  TdxTreeListKeyboard& operator=(const TdxTreeListKeyboard&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
