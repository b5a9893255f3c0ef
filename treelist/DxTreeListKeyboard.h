// TdxTreeListKeyboard: the keys and the incremental search of a tree list. It owns whether a
// search runs, its column, its text and nesting, and the search-all-nodes setting; with them
// every key step and the search. Keys only move the focus and the selection through the
// control's operations, so a descendant's refusals (focus, selection) hold; a search that
// finds nothing leaves the focus where it was.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Object.h"
#include "treelist/DxTreeListTypes.h"

class TCustomdxTreeList;
class TdxTreeListNode;

class TdxTreeListKeyboard : public TObject {
  KIVO_CLASS(TdxTreeListKeyboard, TObject)
 public:
  explicit TdxTreeListKeyboard(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListKeyboard(const TdxTreeListKeyboard&) = delete;
  TdxTreeListKeyboard& operator=(const TdxTreeListKeyboard&) = delete;

  // ==== The control's key overrides
  // A key down after the control's inherited step, inside its selection bracket.
  void KeyDown(WORD& key, TShiftState shift);
  // A character in two halves around the control's inherited step: the first starts the
  // search and offers the key to the editor, and answers whether the inherited step runs;
  // the second does the rest (Ctrl+C, '*', '+', '-', the search) with what the first saw of
  // the key as it came.
  struct TKeyPress {
    uint8_t Char = 0;         // the key before the inherited step
    bool CtrlOnly = false;    // Ctrl held without Alt
    bool Inherited = false;   // the inherited step runs
  };
  TKeyPress StartKeyPress(char key);
  void FinishKeyPress(char& key, const TKeyPress& press);

  // ==== Incremental search (the bodies of the control's virtual operations of the same names)
  // Ends editing, takes `column` (-1: the focused one) as the search column and focuses
  // it, and searches `text` from the focused node; true when the text is still not empty
  // (false too when a handler freed the control).
  bool StartSearch(int column, const std::string& text);
  // Searches the search text changed to `text`: direction 0 from the focused node
  // forwards, 1 backwards from the node before it, 2 forwards from the node after it. A
  // miss empties the text with `clearOnMiss`, else (direction 0) drops its last character.
  void IncrementalSearch(const std::string& text, int direction, bool clearOnMiss);
  // The first node from the start (by `direction`) whose text in `column` begins with
  // `text` (case-insensitive); the walk wraps once and stops at the focused node.
  bool FindNode(int column, const std::string& text, TdxTreeListNode*& node, int direction);
  void EndSearch();
  bool GetSearching() const { return FSearching; }
  int GetSearchColumn() const { return FSearchColumn; }
  const std::string& GetSearchText() const { return FSearchText; }
  // The incremental search: running, in `column`, for `text`.
  void SetSearchState(bool searching, int column, const std::string& text);
  bool GetSearchAllNodes() const { return FSearchAllNodes; }
  void SetSearchAllNodes(bool value) { FSearchAllNodes = value; }

 private:
  // Keyboard steps.
  bool KeyDownInState(WORD& key, TShiftState shift);
  void KeyWithoutCtrl(WORD key, TShiftState shift);
  void KeyWithCtrl(WORD key, TShiftState shift);
  void KeyRowSelectLeftRight(bool left);
  void KeyHomeEnd(bool end, TShiftState shift);
  void MoveFocus(int delta, TShiftState shift);
  void PageMove(int delta);
  void TabMove(bool back, TShiftState shift);
  void MoveColumnFocus(int delta, bool wrap);
  // Focuses the column (of the focused node, or of the node at `row`) and scrolls it into
  // view, unless a handler of the focus move freed the control.
  void FocusColumn(int column);
  void FocusCell(int row, int column);
  bool SearchKey(WORD key, TShiftState shift);

  TCustomdxTreeList& FControl;
  bool FSearching = false;
  int FSearchColumn = -1;
  std::string FSearchText;
  int FSearchNesting = 0;
  bool FSearchAllNodes = true;
};
