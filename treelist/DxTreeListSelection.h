// TdxTreeListSelection: the selection anchor and the selection bracket of a tree list. It owns
// the anchor node and its flag, the bracket's lock count and the selected count at its
// outermost begin, and whether a Shift range has started; with them the range selection from
// the anchor and the bracket, whose outermost end reports one selection change when the
// selected count differs. The selection itself is kept by a descendant (the control's
// selection queries); this part only drives them.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations. The control's selection operations
// run the bodies here.
#pragma once

#include "classlib/Object.h"
#include "classlib/UpdateScope.h"

class TCustomdxTreeList;
class TdxTreeListNode;

class TdxTreeListSelection : public TObject {
  KIVO_CLASS(TdxTreeListSelection, TObject)
 public:
  explicit TdxTreeListSelection(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListSelection(const TdxTreeListSelection&) = delete;
  TdxTreeListSelection& operator=(const TdxTreeListSelection&) = delete;

  TdxTreeListNode* GetAnchorNode() const { return FAnchorNode; }
  bool GetAnchorFlag() const { return FAnchorFlag; }
  // Whether a Shift range has started (the keyboard and the mouse keep it).
  bool GetShiftRangeStarted() const { return FShiftRangeStarted; }
  void SetShiftRangeStarted(bool value) { FShiftRangeStarted = value; }
  // The selection bracket's depth (0: outside any bracket).
  int GetLockCount() const { return FSelectionLockCount; }
  // In one selection bracket: the selection becomes `node` alone.
  void SelectOnly(TdxTreeListNode* node);

  // The bodies of the control's operations of the same names.
  void BeginSelectionUpdate();
  void EndSelectionUpdate();
  void EndSelectionUpdateQuiet();
  void ClearSelection();
  int CompareToAnchor(TdxTreeListNode* node);
  int GetSelectedCountEx();
  void RefreshSelection();
  void SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2);
  void SetSelectionAnchor(TdxTreeListNode* node);

  // `node` is going: an anchor on it moves to `replacement`.
  void NodeGone(TdxTreeListNode* node, TdxTreeListNode* replacement);
  // Every node is gone.
  void ForgetNodes();

 private:
  TCustomdxTreeList& FControl;
  TdxTreeListNode* FAnchorNode = nullptr;
  bool FAnchorFlag = false;
  int FSelectionLockCount = 0;
  int FSelectionCountAtLock = 0;
  bool FShiftRangeStarted = false;
};

// The calls of the selection bracket.
struct TdxTreeListSelectionCalls {
  static void Begin(TCustomdxTreeList& control);
  static void End(TCustomdxTreeList& control);
  static void EndQuiet(TCustomdxTreeList& control);
};

// The selection bracket (BeginSelectionUpdate) for the lifetime of the scope (with `open`
// false, nothing); ended by an exception, it reports no selection change.
using TdxTreeListSelectionScope = TUpdateScope<TCustomdxTreeList, TdxTreeListSelectionCalls>;
