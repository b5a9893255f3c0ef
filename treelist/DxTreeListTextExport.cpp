// The text export of the tree list: the header line and the rows' lines, copied to
// strings or to the clipboard.
//
// Decisions taken here:
// - The header line holds no line break of its own: the string list gives every line
//   one.
#include "treelist/DxTreeListTextExport.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "classlib/Clipboard.h"
#include "classlib/Strings.h"
#include "treelist/DxTreeList.h"

std::string TdxTreeListTextExport::GetHeaderLine() {
  std::string line;
  const int count = FControl.GetWidths().GetShownColumnCount();
  for (int i = 0; i < count; ++i) {
    std::string text;
    FControl.GetColumnHeaderText(FControl.GetColumnByVisibleIndex(i), text);
    if (i > 0)
      line += '\t';
    line += text;
  }
  return line;
}

std::string TdxTreeListTextExport::GetNodeLine(TdxTreeListNode* node) {
  std::string line;
  const int count = FControl.GetWidths().GetShownColumnCount();
  if (FControl.NodeRowQuery(node)) {
    FControl.GetCellText(node, count > 0 ? FControl.GetColumnByVisibleIndex(0) : 0, line);
    return line;
  }
  for (int i = 0; i < count; ++i) {
    std::string text;
    FControl.GetCellText(node, FControl.GetColumnByVisibleIndex(i), text);
    if (i > 0)
      line += '\t';
    line += text;
  }
  return line;
}

void TdxTreeListTextExport::CopyAllToStrings(TStrings* strings) {
  strings->Add(GetHeaderLine());
  for (TdxTreeListNode* node = FControl.GetFirstNode(); node; node = node->GetNextVisible())
    strings->Add(GetNodeLine(node));
}

void TdxTreeListTextExport::CopySelectedToStrings(TStrings* strings) {
  strings->Add(GetHeaderLine());
  if (!FControl.IsMultiSelect()) {
    if (FControl.GetFocusedNode())
      strings->Add(GetNodeLine(FControl.GetFocusedNode()));
    return;
  }
  // The selected nodes in tree order: their paths of indices compared from the top.
  std::vector<std::pair<std::vector<int>, TdxTreeListNode*>> selected;
  for (int i = 0; i < FControl.GetSelectedCount(); ++i) {
    TdxTreeListNode* node = FControl.GetSelectedItem(i);
    std::vector<int> path;
    for (TdxTreeListNode* n = node; n; n = n->GetParent())
      path.push_back(n->GetIndex());
    std::reverse(path.begin(), path.end());
    selected.emplace_back(std::move(path), node);
  }
  std::sort(selected.begin(), selected.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& entry : selected)
    strings->Add(GetNodeLine(entry.second));
}

void TdxTreeListTextExport::CopyToClipboard() {
  TStringList lines;
  CopySelectedToStrings(&lines);
  Clipboard()->SetAsText(lines.GetText());
}

