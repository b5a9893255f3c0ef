// TdxTreeListTextExport: the text of a tree list's rows. The header line and one line per
// row (all rows, or the selected rows in tree order or else the focused row), each the
// shown columns' texts joined by tabs, copied to strings or to the clipboard as text.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

#include <string>

class TCustomdxTreeList;
class TStrings;
class TdxTreeListNode;

class TdxTreeListTextExport {
 public:
  explicit TdxTreeListTextExport(TCustomdxTreeList& control) : FControl(control) {}

  void CopyAllToStrings(TStrings* strings);
  void CopySelectedToStrings(TStrings* strings);
  void CopyToClipboard();

 private:
  // The header line and a row's line: the shown columns' texts joined by tabs.
  std::string GetHeaderLine();
  std::string GetNodeLine(TdxTreeListNode* node);

  TCustomdxTreeList& FControl;
};
