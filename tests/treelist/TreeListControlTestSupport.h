// A column-bound tree list on a form-like owner, with helpers that make columns, bands
// and text nodes in one line each, shared by the column, band, control and streaming
// tests.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListMaskColumn.h"

// Paints a windowless control into `dc` as its paint message would.
struct TControlPaint : TCustomdxTreeListControl {
  static void Into(TCustomdxTreeListControl* control, HDC dc) { (control->*&TControlPaint::PaintWindow)(dc); }
};

// Shows three bands, X, Y and Z, the first `firstWidth` wide and the others `otherWidth`,
// at the widths set (no default layout, no band widths taken from their headers).
inline void ShowBandsXYZ(TCustomdxTreeListControl* tree, int firstWidth, int otherWidth) {
  tree->SetDefaultLayout(false);
  tree->SetOptionsEx(tree->GetOptionsEx().Exclude(aoBandHeaderWidth));
  while (tree->GetBands()->GetCount() < 3)
    tree->GetBands()->Add();
  for (int i = 0; i < 3; ++i) {
    tree->GetBands()->GetItem(i)->SetCaption(std::string(1, char('X' + i)));
    tree->GetBands()->GetItem(i)->SetWidth(i == 0 ? firstWidth : otherWidth);
  }
  tree->SetShowBands(true);
}

class TreeListControlFixture : public ::testing::Test {
 protected:
  TreeListControlFixture() { Tree->SetName("Tree"); }
  ~TreeListControlFixture() override { delete Form; }

  // A column of `cls` owned by the form, in `band` and `row`, with `caption`.
  TdxTreeListColumn* Column(const std::string& caption, int band = 0, int row = 0,
                            TdxTreeListColumnClass cls = &TdxTreeListColumn::MetaClass()) {
    TdxTreeListColumn* column = Tree->CreateColumn(cls, Form);
    column->SetCaption(caption);
    column->SetBandIndex(band);
    column->SetRowIndex(row);
    return column;
  }
  // A column of kind `C` in the first band's first row.
  template <class C>
  C* Kind(const std::string& caption) {
    return static_cast<C*>(Column(caption, 0, 0, &C::MetaClass()));
  }
  // Bands until there are `count`.
  void Bands(int count) {
    while (Tree->GetBands()->GetCount() < count)
      Tree->GetBands()->Add();
  }
  // A top-level node (or a child of `parent`) with one text per column.
  TdxTreeListTextNode* Node(std::initializer_list<std::string> texts, TdxTreeListNode* parent = nullptr) {
    TdxTreeListNode* node = parent ? parent->AddChild() : Tree->Add();
    auto* textNode = static_cast<TdxTreeListTextNode*>(node);
    for (const std::string& text : texts)
      textNode->GetStrings()->Add(text);
    return textNode;
  }
  static std::vector<std::string> Texts(TdxTreeListTextNode* node) {
    std::vector<std::string> texts;
    for (int i = 0; i < node->GetStrings()->GetCount(); ++i)
      texts.push_back(node->GetStrings()->Get(i));
    return texts;
  }
  // The captions of the columns in list order.
  std::vector<std::string> Captions() {
    std::vector<std::string> captions;
    for (int i = 0; i < Tree->GetColumnCount(); ++i)
      captions.push_back(Tree->GetColumn(i)->GetCaption());
    return captions;
  }
  // The columns of a visible band's header row, by caption, left to right.
  std::vector<std::string> RowCaptions(int band, int row) {
    std::vector<std::string> captions;
    for (int position = 0; position < Tree->GetColumnCountInRow(band, row); ++position)
      captions.push_back(Tree->GetColumn(Tree->GetColumnAt(band, row, position))->GetCaption());
    return captions;
  }
  void Option(TdxTreeListOptionEx option, bool on) {
    TdxTreeListOptionsEx options = Tree->GetOptionsEx();
    Tree->SetOptionsEx(on ? options.Include(option) : options.Exclude(option));
  }

  TComponent* Form = new TComponent(nullptr);
  TCustomdxTreeListControl* Tree = new TCustomdxTreeListControl(Form);
};
