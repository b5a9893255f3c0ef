// A tree list that answers bands, columns and cell texts from plain lists, keeps a
// selection and records its events, shared by the tree-list tests; and helpers that
// build trees and walk them independently of the control's row lists.
#pragma once

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editors/DxInplaceEdit.h"
#include "treelist/DxTreeList.h"

// Hit codes print as numbers in failure messages.
inline void PrintTo(TdxTreeListHitTest code, std::ostream* os) { *os << static_cast<int>(code); }

struct TTestBand {
  std::string Caption;
  int Width = 250;
  int MinWidth = 30;
  bool Sizing = true;
  bool Visible = true;
  TAlignment Alignment = taCenter;
};

struct TTestColumn {
  std::string Caption;
  int Band = 0;
  int Row = 0;
  int Width = 100;
  int MinWidth = 20;
  bool Sizing = true;
  TAlignment Alignment = taLeftJustify;
  int HeaderMaxLineCount = 1;
};

class TTestTreeList : public TCustomdxTreeList {
  KIVO_CLASS(TTestTreeList, TCustomdxTreeList)
 public:
  explicit TTestTreeList(TComponent* AOwner) : TCustomdxTreeList(AOwner) {}
  ~TTestTreeList() override { ClearNodes(); }

  std::vector<TTestBand> Bands;
  std::vector<TTestColumn> Columns;
  // The selected nodes in the order they were selected.
  std::vector<TdxTreeListNode*> Selection;
  // MakeNodeFocused refuses.
  bool RefuseFocus = false;
  // NodeAdded does nothing at all (a node the row lists never heard of).
  bool SilentAdd = false;
  // The editor GetEditor answers.
  TdxInplaceEdit* TestEditor = nullptr;
  // "expanded:<text>", "collapsed:<text>", "deleted:<text>", "focus:<old>><new>", "top:<text>".
  std::vector<std::string> Log;
  // Layout settings: the first band's extra width, the fixed bands, the header rows,
  // the top panel, the status panel, the new-item row and the preview texts.
  int ExtraWidth = 0;
  int LeftFixed = -1;
  int RightFixed = -1;
  int HeaderRows = 1;
  int TopPanel = 0;
  bool StatusPanel = false;
  bool NewItemRow = false;
  // Every level closes its groups with a footer line below its last node.
  bool NodeFooters = false;
  std::map<const TdxTreeListNode*, std::string> Previews;

  // Painting: column colours and footer values by column, the node footer texts, a
  // cell whose text query raises, and the brushes the cells were given.
  std::map<int32_t, TColor> ColumnColors;
  std::vector<int32_t> FooterColumns;
  std::map<int32_t, std::string> FooterTexts;
  std::map<int32_t, TdxTreeListColumnSort> Sorted;
  int32_t RaisingColumn = -1;
  std::map<int32_t, HBRUSH> CellBrushes;
  // Custom drawing: header cells and data cells a handler paints itself (Done), and the
  // colour a header handler answers.
  std::vector<int32_t> DoneHeaders;
  std::vector<int32_t> DoneCells;
  TColor HeaderHandlerColor = clNone;
  // The status panel's text and close button.
  std::string StatusText;
  int32_t StatusButton = 0;

  using TCustomControl::PaintWindow;
  using TCustomdxTreeList::GetRootNodes;

  // A node with texts, appended under `parent` (none: the top level).
  TdxTreeListTextNode* AddNode(TdxTreeListNode* parent, const std::string& text) {
    TdxTreeListNode* node = parent ? parent->AddChild() : Add();
    auto* textNode = static_cast<TdxTreeListTextNode*>(node);
    textNode->GetStrings()->Add(text);
    return textNode;
  }
  static std::string TextOf(TdxTreeListNode* node) {
    if (!node)
      return "-";
    auto* textNode = ObjectAs<TdxTreeListTextNode>(node);
    return textNode && textNode->GetStrings()->GetCount() > 0 ? textNode->GetStrings()->Get(0) : "?";
  }

  // ---- Nodes and values
  TdxTreeListNode* CreateNode() override { return new TdxTreeListTextNode(this); }
  int GetNodeImageIndex(TdxTreeListNode* node) override { return Text(node)->ImageIndex; }
  int GetNodeSelectedIndex(TdxTreeListNode* node) override { return Text(node)->SelectedIndex; }
  int GetNodeStateIndex(TdxTreeListNode* node) override { return Text(node)->StateIndex; }
  void SetNodeImageIndex(TdxTreeListNode* node, int value) override { Text(node)->ImageIndex = value; }
  void SetNodeSelectedIndex(TdxTreeListNode* node, int value) override { Text(node)->SelectedIndex = value; }
  void SetNodeStateIndex(TdxTreeListNode* node, int value) override { Text(node)->StateIndex = value; }
  void GetNodeString(TdxTreeListNode* node, int32_t column, std::string& text) override {
    TStringList* strings = Text(node)->GetStrings();
    text = column >= 0 && column < strings->GetCount() ? strings->Get(column) : std::string();
  }
  void SetNodeString(TdxTreeListNode* node, int32_t column, const std::string& text) override {
    TStringList* strings = Text(node)->GetStrings();
    while (strings->GetCount() <= column)
      strings->Add("");
    strings->Put(column, text);
  }
  void GetNodeValue(TdxTreeListNode* node, int32_t column, Variant& value) override {
    std::string text;
    GetNodeString(node, column, text);
    value = Variant(text);
  }
  void SetNodeValue(TdxTreeListNode* node, int32_t column, const Variant& value) override {
    SetNodeString(node, column, value.AsString());
  }
  void GetCellText(TdxTreeListNode* node, int32_t column, std::string& text) override {
    if (column >= 0 && column == RaisingColumn)
      throw Exception("the cell text cannot be read");
    GetNodeString(node, column, text);
  }
  TColor GetColumnColor(int32_t column) override {
    auto at = ColumnColors.find(column);
    return at == ColumnColors.end() ? GetColor() : at->second;
  }
  bool IsFooterValueShown(int32_t column) override { return Contains(FooterColumns, column); }
  void GetFooterCellText(TdxTreeListNode*, int32_t column, int32_t, std::string& text) override {
    auto at = FooterTexts.find(column);
    text = at == FooterTexts.end() ? std::string() : at->second;
  }
  TdxTreeListColumnSort GetColumnSorted(int32_t column) override {
    auto at = Sorted.find(column);
    return at == Sorted.end() ? csNone : at->second;
  }
  bool IsCustomDrawCell(TdxTreeListNode*, int32_t column) override { return Contains(DoneCells, column); }
  void DoCustomDrawCell(TCanvas*, const TRect&, TdxTreeListNode*, int32_t column, bool, bool, bool, bool, bool,
                        HBRUSH brush, std::string&, TColor&, TFont* font, TAlignment&, bool& done) override {
    CellBrushes[column] = brush;
    if (Contains(DoneCells, column)) {
      font->SetHeight(40);  // put back by the control after the handler
      done = true;
    }
  }
  bool IsCustomDrawHeader(int32_t column) override {
    return Contains(DoneHeaders, column) || HeaderHandlerColor != clNone;
  }
  void DoCustomDrawHeader(int32_t column, TCanvas*, const TRect&, const TRect&, std::string&, TColor& color, TFont*,
                          TAlignment&, TdxTreeListColumnSort&, bool& done) override {
    done = Contains(DoneHeaders, column);
    if (HeaderHandlerColor != clNone)
      color = HeaderHandlerColor;
  }
  void GetFooterText(std::string& text) override { text = StatusText; }
  int32_t GetFooterCount() override { return StatusButton; }

  // ---- Bands (every band visible; visible and absolute indices are the same)
  int32_t GetBandCount() override { return static_cast<int32_t>(Bands.size()); }
  int32_t GetVisibleBandCount() override { return static_cast<int32_t>(Bands.size()); }
  void GetBandCaption(int32_t band, std::string& text) override { text = Bands.at(band).Caption; }
  void GetVisibleBandCaption(int32_t band, std::string& text) override { text = Bands.at(band).Caption; }
  int32_t GetBandWidth(int32_t band) override { return Bands.at(band).Width; }
  int32_t GetVisibleBandWidth(int32_t band) override { return Bands.at(band).Width; }
  int32_t GetVisibleBandMinWidth(int32_t band) override { return Bands.at(band).MinWidth; }
  bool CanSizeBand(int32_t band) override { return Bands.at(band).Sizing; }
  int32_t GetLeftFixedBand() override { return LeftFixed; }
  int32_t GetRightFixedBand() override { return RightFixed; }
  int32_t GetFirstBandExtraWidth() override { return ExtraWidth; }
  int32_t GetHeaderPanelRowCount() override { return HeaderRows; }
  int32_t GetTopPanelHeight() override { return TopPanel; }
  bool IsStatusPanelShown() override { return StatusPanel; }
  bool IsNewItemRowShown() override { return NewItemRow; }
  bool GetDisplayFlag() override { return NodeFooters; }
  bool HasLevelFooter(int32_t) override { return NodeFooters; }
  void GetPreviewText(TdxTreeListNode* node, std::string& text) override {
    auto at = Previews.find(node);
    text = at == Previews.end() ? std::string() : at->second;
  }
  TAlignment GetBandAlignment(int32_t band) override { return Bands.at(band).Alignment; }
  TAlignment GetVisibleBandAlignment(int32_t band) override { return Bands.at(band).Alignment; }
  using TCustomdxTreeList::GetBandRowCount;
  int32_t GetBandRowCount(int32_t band) override {
    int32_t rows = 0;
    for (const TTestColumn& c : Columns) {
      if (c.Band == band)
        rows = std::max(rows, c.Row + 1);
    }
    return rows;
  }

  // ---- Columns
  int32_t GetColumnCount() override { return static_cast<int32_t>(Columns.size()); }
  int32_t GetColumnCountInRow(int32_t band, int32_t row) override {
    return static_cast<int32_t>(std::count_if(Columns.begin(), Columns.end(),
                                              [&](const TTestColumn& c) { return c.Band == band && c.Row == row; }));
  }
  int32_t GetColumnAt(int32_t band, int32_t row, int32_t position) override {
    for (int32_t i = 0; i < GetColumnCount(); ++i) {
      if (Columns[i].Band == band && Columns[i].Row == row && position-- == 0)
        return i;
    }
    return -1;
  }
  int32_t GetColumnBandIndex(int32_t column) override { return Columns.at(column).Band; }
  int32_t GetColumnRowIndex(int32_t column) override { return Columns.at(column).Row; }
  int32_t GetColumnColIndex(int32_t column) override {
    int32_t position = 0;
    for (int32_t i = 0; i < column; ++i) {
      if (Columns[i].Band == Columns.at(column).Band && Columns[i].Row == Columns[column].Row)
        ++position;
    }
    return position;
  }
  int32_t GetColumnWidth(int32_t column) override { return Columns.at(column).Width; }
  int32_t GetColumnMinWidth(int32_t column) override { return Columns.at(column).MinWidth; }
  bool CanSizeColumn(int32_t column) override { return Columns.at(column).Sizing; }
  int32_t GetColumnHeaderMaxLineCount(int32_t column) override { return Columns.at(column).HeaderMaxLineCount; }
  void GetColumnHeaderText(int32_t column, std::string& text) override { text = Columns.at(column).Caption; }
  TAlignment GetColumnAlignment(TdxTreeListNode*, int32_t column) override { return Columns.at(column).Alignment; }

  // ---- Selection
  bool IsNodeSelected(TdxTreeListNode* node) override {
    return std::find(Selection.begin(), Selection.end(), node) != Selection.end();
  }
  void SetNodeSelected(TdxTreeListNode* node, bool value) override {
    auto at = std::find(Selection.begin(), Selection.end(), node);
    if (value && at == Selection.end())
      Selection.push_back(node);
    if (!value && at != Selection.end())
      Selection.erase(at);
    TCustomdxTreeList::SetNodeSelected(node, value);
  }
  int GetSelectedCount() override { return static_cast<int>(Selection.size()); }
  TdxTreeListNode* GetSelectedItem(int index) override {
    return index >= 0 && index < GetSelectedCount() ? Selection[index] : nullptr;
  }
  void ClearSelection() override {
    Selection.clear();
    TCustomdxTreeList::ClearSelection();
  }

  // ---- Hooks
  bool MakeNodeFocused(TdxTreeListNode* node) override {
    return !RefuseFocus && TCustomdxTreeList::MakeNodeFocused(node);
  }
  void NodeAdded(TdxTreeListNode* node) override {
    if (!SilentAdd)
      TCustomdxTreeList::NodeAdded(node);
  }
  TdxInplaceEdit* GetEditor() override { return TestEditor; }
  void DoExpanded(TdxTreeListNode* node) override {
    Log.push_back("expanded:" + TextOf(node));
    TCustomdxTreeList::DoExpanded(node);
  }
  void DoCollapsed(TdxTreeListNode* node) override {
    Log.push_back("collapsed:" + TextOf(node));
    TCustomdxTreeList::DoCollapsed(node);
  }
  void DoChangeNode(TdxTreeListNode* oldNode, TdxTreeListNode* newNode) override {
    Log.push_back("focus:" + TextOf(oldNode) + ">" + TextOf(newNode));
    TCustomdxTreeList::DoChangeNode(oldNode, newNode);
  }

 private:
  static TdxTreeListTextNode* Text(TdxTreeListNode* node) { return static_cast<TdxTreeListTextNode*>(node); }
  static bool Contains(const std::vector<int32_t>& list, int32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
  }
};

// A windowless test tree list with helpers for its options and its layout. Bands keep
// their own widths (not their columns') unless a test asks.
class TreeListFixture : public ::testing::Test {
 protected:
  TTestTreeList* Tree = new TTestTreeList(nullptr);
  ~TreeListFixture() override { delete Tree; }

  void Size(int width, int height) {
    Tree->SetBounds(0, 0, width, height);
    OptionEx(aoBandHeaderWidth, false);
  }
  // The metrics pass, as every setting change runs it.
  void Refresh() { Tree->UpdateGuarded(); }
  TdxTreeListLayout Layout() {
    TdxTreeListLayout layout;
    Tree->CalcLayout(layout);
    return layout;
  }
  void Option(TdxTreeListOption option, bool on) {
    TdxTreeListOptions options = Tree->GetOptions();
    Tree->SetOptions(on ? options.Include(option) : options.Exclude(option));
  }
  void OptionEx(TdxTreeListOptionEx option, bool on) {
    TdxTreeListOptionsEx options = Tree->GetOptionsEx();
    Tree->SetOptionsEx(on ? options.Include(option) : options.Exclude(option));
  }
};

// The shown nodes in row order, by a plain walk of the tree (independent of the
// control's row lists).
inline std::vector<TdxTreeListNode*> WalkRows(TCustomdxTreeList* tree) {
  std::vector<TdxTreeListNode*> rows;
  struct TWalk {
    std::vector<TdxTreeListNode*>& Rows;
    void Visit(TdxTreeListNode* node) {
      Rows.push_back(node);
      if (!node->GetExpanded())
        return;
      for (int i = 0; i < node->GetCount(); ++i)
        Visit(node->GetItem(i));
    }
  } walk{rows};
  for (int i = 0; i < tree->GetCount(); ++i)
    walk.Visit(tree->GetItem(i));
  return rows;
}

// Every node of the tree in pre-order, shown or not.
inline std::vector<TdxTreeListNode*> AllNodes(TCustomdxTreeList* tree) {
  std::vector<TdxTreeListNode*> nodes;
  for (TdxTreeListNode* n = tree->GetFirstNode(); n; n = n->GetNext())
    nodes.push_back(n);
  return nodes;
}
