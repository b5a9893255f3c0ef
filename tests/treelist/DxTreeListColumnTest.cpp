// Columns: fallback values and what is stored, placement in bands and rows, moving with
// the cell texts, leaving the control, copying, the mask column, the editor binding and
// the cells painted through the column's view data.
#include <memory>

#include "classlib/Filer.h"
#include "tests/support/TestSupport.h"
#include "tests/treelist/TreeListControlTestSupport.h"
#include "treelist/DxTreeListEditStyle.h"

namespace {

// The names of the published and defined properties a column stores.
std::vector<std::string> StoredNames(TPersistent* instance) {
  TFilerData data;
  TWriter(data).WriteProperties(instance);
  std::vector<std::string> names;
  for (const TFilerProperty& p : data)
    names.push_back(p.Name);
  return names;
}

bool Stores(TPersistent* instance, const std::string& name) {
  const std::vector<std::string> names = StoredNames(instance);
  return std::find(names.begin(), names.end(), name) != names.end();
}

using DxTreeListColumnTest = TreeListControlFixture;

// Paints a windowless control into `dc` as its paint message would.
struct TControlPainter : TCustomdxTreeListControl {
  static void Paint(TCustomdxTreeListControl* control, HDC dc) { (control->*&TControlPainter::PaintWindow)(dc); }
};

TEST_F(DxTreeListColumnTest, AFreshColumnStoresNeitherWidthNorCaption) {
  TdxTreeListColumn* column = Tree->CreateColumn(&TdxTreeListColumn::MetaClass(), Form);
  EXPECT_EQ(column->GetName(), "TreeColumn1");
  EXPECT_EQ(column->GetTreeList(), Tree);
  EXPECT_EQ(column->GetWidth(), 100);
  EXPECT_EQ(column->GetMinWidth(), 20);
  EXPECT_EQ(StoredNames(column), (std::vector<std::string>{"BandIndex", "RowIndex"}));
  // A caption set on a column whose width was never set keeps the default width.
  column->SetCaption("Name");
  EXPECT_EQ(column->GetWidth(), 100);
  EXPECT_FALSE(column->GetAssignedValues().Contains(cavWidth));
  EXPECT_TRUE(Stores(column, "Caption"));
  EXPECT_FALSE(Stores(column, "Width"));
  // A raised minimum raises the width, which is then the column's own.
  column->SetMinWidth(150);
  EXPECT_EQ(column->GetWidth(), 150);
  EXPECT_TRUE(column->GetAssignedValues().Contains(cavWidth));
  EXPECT_TRUE(Stores(column, "Width"));
  column->SetMinWidth(-4);
  EXPECT_EQ(column->GetMinWidth(), 0);
}

TEST_F(DxTreeListColumnTest, FallbacksFollowTheControlUntilSet) {
  TdxTreeListColumn* column = Column("A");
  Tree->SetColor(clYellow);
  EXPECT_EQ(column->GetColor(), clYellow);
  EXPECT_FALSE(Stores(column, "Color"));
  column->SetColor(clYellow);
  EXPECT_FALSE(Stores(column, "Color")) << "assigned, but equal to its fallback";
  column->SetColor(clRed);
  Tree->SetColor(clWhite);
  EXPECT_EQ(column->GetColor(), clRed);
  EXPECT_TRUE(Stores(column, "Color"));

  Tree->GetFont()->SetName("Tahoma");
  EXPECT_EQ(column->GetFont()->GetName(), "Tahoma");
  EXPECT_FALSE(Tree->IsColumnOwnFont(0));
  Tree->GetFont()->SetHeight(-20);
  EXPECT_EQ(column->GetFont()->GetHeight(), -20) << "copied again when the control's changes";
  column->GetFont()->SetHeight(-9);
  EXPECT_TRUE(Tree->IsColumnOwnFont(0));
  Tree->GetFont()->SetHeight(-30);
  EXPECT_EQ(column->GetFont()->GetHeight(), -9);

  EXPECT_EQ(column->GetAlignment(), taLeftJustify);
  EXPECT_FALSE(column->GetReadOnly());
  EXPECT_EQ(column->GetMaxLength(), 0);
  column->SetReadOnly(false);
  EXPECT_FALSE(Stores(column, "ReadOnly")) << "assigned, but equal to the default";
  column->SetMaxLength(8);
  EXPECT_TRUE(Stores(column, "MaxLength"));
}

TEST_F(DxTreeListColumnTest, BandIndexIsClampedToTheBands) {
  Bands(2);
  TdxTreeListColumn* column = Column("A");
  column->SetBandIndex(-5);
  EXPECT_EQ(column->GetBandIndex(), -1);
  column->SetBandIndex(7);
  EXPECT_EQ(column->GetBandIndex(), 1);
  // Rows are limited to the header rows; the row asked for is kept as stored.
  column->SetRowIndex(3);
  EXPECT_EQ(column->GetRowIndex(), 0);
  Tree->SetHeaderPanelRowCount(3);
  Column("B", 1, 0);
  Column("C", 1, 1);
  column->SetRowIndex(3);
  EXPECT_EQ(column->GetRowIndex(), 2);
  EXPECT_EQ(column->GetStoredRowIndex(), 2);
}

TEST_F(DxTreeListColumnTest, AMovedColumnCarriesItsCellTexts) {
  Column("A");
  Column("B");
  Column("C");
  TdxTreeListTextNode* root = Node({"a", "b", "c"});
  TdxTreeListTextNode* child = Node({"x"}, root);
  Tree->GetColumn(0)->SetIndex(2);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"B", "C", "A"}));
  EXPECT_EQ(Texts(root), (std::vector<std::string>{"b", "c", "a"}));
  EXPECT_EQ(Texts(child), (std::vector<std::string>{"", "", "x"})) << "short lists grow with empty texts";
  EXPECT_EQ(Tree->GetColumn(2)->GetIndex(), 2);
  std::string text;
  Tree->GetCellText(root, 2, text);
  EXPECT_EQ(text, "a");

  // ColIndex moves the column among the visible columns of its band row.
  Tree->GetColumn(2)->SetColIndex(0);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(Texts(root), (std::vector<std::string>{"a", "b", "c"}));
  Tree->GetColumn(0)->SetColIndex(9);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"B", "C", "A"}));
  EXPECT_EQ(Tree->GetColumn(2)->GetColIndex(), 2);
}

// Regression: a column taken out of the control (not freed) left its texts behind, so
// every later column showed the texts of the column before it.
TEST_F(DxTreeListColumnTest, AColumnLeavingTheControlTakesItsTexts) {
  Column("A");
  TdxTreeListColumn* b = Column("B");
  Column("C");
  TdxTreeListTextNode* node = Node({"a", "b", "c"});
  b->SetTreeList(nullptr);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "C"}));
  std::string text;
  Tree->GetCellText(node, 1, text);
  EXPECT_EQ(text, "c");
  delete b;
  delete Tree->GetColumn(0);
  EXPECT_EQ(Texts(node), (std::vector<std::string>{"c"}));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"C"}));
}

TEST_F(DxTreeListColumnTest, AssignCopiesAssignedValuesAndPlacement) {
  Bands(2);
  TdxTreeListColumn* source = Column("Source", 1);
  source->SetWidth(140);
  source->SetSorted(csDown);
  source->SetHeaderAlignment(taRightJustify);
  source->SetDisableEditor(true);
  TdxTreeListColumn* target = Column("Target");
  target->SetColor(clRed);
  target->Assign(source);
  EXPECT_EQ(target->GetCaption(), "Source");
  EXPECT_EQ(target->GetWidth(), 140);
  EXPECT_FALSE(target->GetAssignedValues().Contains(cavColor)) << "not assigned in the source: back to its fallback";
  EXPECT_EQ(target->GetColor(), Tree->GetColor());
  EXPECT_EQ(target->GetBandIndex(), 1);
  EXPECT_EQ(target->GetHeaderAlignment(), taRightJustify);
  EXPECT_TRUE(target->GetDisableEditor());
  EXPECT_EQ(target->GetSorted(), csDown);
  EXPECT_EQ(source->GetSorted(), csNone) << "without multi-sort one column is sorted";
  EXPECT_EQ(Tree->GetSortedColumnListCount(), 1);
}

TEST_F(DxTreeListColumnTest, AssigningAMaskColumnCopiesTheMaskButNotIgnoreMaskBlank) {
  auto* source = static_cast<TdxTreeListMaskColumn*>(Column("S", 0, 0, &TdxTreeListMaskColumn::MetaClass()));
  auto* target = static_cast<TdxTreeListMaskColumn*>(Column("T", 0, 0, &TdxTreeListMaskColumn::MetaClass()));
  source->SetEditMask("000-0000;0;_");
  source->SetIgnoreMaskBlank(true);
  target->Assign(source);
  EXPECT_EQ(target->GetEditMask(), "000-0000;0;_");
  EXPECT_FALSE(target->GetIgnoreMaskBlank());
  target->RestoreDefaults();
  EXPECT_EQ(target->GetEditMask(), "");
  EXPECT_EQ(target->GetEditorClass(), &TdxInplaceTreeListMaskEdit::MetaClass());
}

TEST_F(DxTreeListColumnTest, EditorsTakeTheColumnsPropertiesAndReturnTheText) {
  auto* column = static_cast<TdxTreeListMaskColumn*>(Column("M", 0, 0, &TdxTreeListMaskColumn::MetaClass()));
  column->SetEditMask("000;0;_");
  column->SetIgnoreMaskBlank(true);
  column->SetReadOnly(true);
  column->SetCharCase(ecUpperCase);
  column->SetPasswordChar('*');
  Tree->SetFocusedColumn(0);
  TdxInplaceEdit* editor = Tree->CreateInplaceEdit(0);
  ASSERT_TRUE(editor->Is<TdxInplaceTreeListMaskEdit>());
  EXPECT_EQ(Tree->GetEditor(), editor);
  EXPECT_EQ(Tree->GetEditorCount(), 1);
  column->InitEditProperties(editor);
  auto* mask = static_cast<TdxInplaceTreeListMaskEdit*>(editor);
  EXPECT_TRUE(mask->GetReadOnly());
  EXPECT_EQ(mask->GetEditMask(), "000;0;_");
  EXPECT_TRUE(mask->GetIgnoreMaskBlank());
  EXPECT_EQ(mask->GetCharCase(), ecUpperCase);
  EXPECT_EQ(mask->GetPasswordChar(), '*');
  EXPECT_TRUE(mask->OnChange.Assigned());
  EXPECT_TRUE(mask->OnValidate.Assigned());

  // The editor's style follows the tree list's look: no border while grid lines show.
  Tree->SetShowGrid(true);
  EXPECT_TRUE(editor->GetStyle()->Is<TdxTreeListEditStyle>());
  EXPECT_EQ(editor->GetStyle()->GetBorderStyle(), xbsNone);
  Tree->SetShowGrid(false);
  EXPECT_EQ(editor->GetStyle()->GetBorderStyle(), xbsSingle);
  Tree->SetLookAndFeel(lfFramed);
  EXPECT_EQ(editor->GetStyle()->GetButtonStyle(), btsHotFlat);
}

TEST_F(DxTreeListColumnTest, EditValuesGoThroughTheNodeText) {
  TdxTreeListColumn* column = Column("A");
  TdxTreeListTextNode* node = Node({"first"});
  auto editor = std::make_unique<TdxInplaceTreeListTextEdit>(nullptr);
  Variant value;
  column->LoadEditValue(node, editor.get(), value);
  EXPECT_EQ(value.AsString(), "first");
  editor->SetText("second");
  column->AssignEditValue(node, editor.get(), value);
  EXPECT_EQ(value.AsString(), "second");
  EXPECT_EQ(Texts(node), (std::vector<std::string>{"second"}));
}

// Regression (F26): IgnoreMaskBlank of the mask column had no counterpart in the mask
// editor, so the blanks of a cell left unfilled were stored with its text.
TEST_F(DxTreeListColumnTest, AMaskColumnIgnoringBlanksStoresNone) {
  auto* column = static_cast<TdxTreeListMaskColumn*>(Column("M", 0, 0, &TdxTreeListMaskColumn::MetaClass()));
  column->SetEditMask("999-9999;1;_");
  TdxTreeListTextNode* node = Node({"old"});
  auto editor = std::make_unique<TdxInplaceTreeListMaskEdit>(nullptr);
  column->InitEditProperties(editor.get());
  editor->SetEditText("12_-3___");
  Variant value;
  column->AssignEditValue(node, editor.get(), value);
  EXPECT_EQ(Texts(node), (std::vector<std::string>{"12_-3___"})) << "off: the edit text as it stands";
  column->SetIgnoreMaskBlank(true);
  column->InitEditProperties(editor.get());
  column->AssignEditValue(node, editor.get(), value);
  EXPECT_EQ(Texts(node), (std::vector<std::string>{"12-3"}));
  EXPECT_EQ(value.AsString(), "12-3");
  editor->SetEditText("___-____");
  column->AssignEditValue(node, editor.get(), value);
  EXPECT_EQ(Texts(node), (std::vector<std::string>{""})) << "a wholly blank value is no value";
}

TEST_F(DxTreeListColumnTest, ChangeAndValidationReachTheControlUnlessLocked) {
  TdxTreeListColumn* column = Column("A");
  int controlChanges = 0;
  int columnChanges = 0;
  struct TCounter {
    int& Count;
    void Changed(TObject*) { ++Count; }
  } control{controlChanges}, own{columnChanges};
  Tree->OnEditChange = TNotifyEvent::Bind<&TCounter::Changed>(&control);
  column->OnChange = TNotifyEvent::Bind<&TCounter::Changed>(&own);
  column->DoChange(nullptr);
  EXPECT_EQ(controlChanges, 1);
  EXPECT_EQ(columnChanges, 1);
  Tree->BeginUpdate();
  column->DoChange(nullptr);
  Tree->EndUpdate();
  EXPECT_EQ(controlChanges, 1);
  EXPECT_EQ(columnChanges, 1);
}

// A cell is painted by the column's editor class from the view data the column fills;
// an editor of that class showing the cell's text, colour, font and alignment, with the
// tree list's margins and its border-less style, draws the very same pixels in its
// content area (an editor window is 2 pixels larger than its content on every side).
TEST_F(DxTreeListColumnTest, ACellPaintsAsItsTextEditorDraws) {
  Tree->SetBounds(0, 0, 320, 120);
  Option(aoBandHeaderWidth, false);
  Tree->SetShowGrid(true);
  TdxTreeListColumn* plain = Column("Plain");
  plain->SetWidth(140);
  TdxTreeListColumn* dressed = Column("Dressed");
  dressed->SetWidth(150);
  dressed->SetAlignment(taRightJustify);
  dressed->SetColor(TColor(RGB(255, 255, 0)));
  dressed->GetFont()->SetName("Arial");
  dressed->GetFont()->SetHeight(-15);
  dressed->GetFont()->SetColor(TColor(RGB(0, 0, 128)));
  dressed->SetCharCase(ecUpperCase);
  Node({"first", "first"});
  TdxTreeListTextNode* node = Node({"Cell text", "Mixed Case"});
  ASSERT_NE(Tree->GetFocusedNode(), node) << "the compared row is painted without highlight";

  TDibSurface grid(320, 120);
  grid.Fill(RGB(1, 2, 3));
  TControlPainter::Paint(Tree, grid.DC());

  for (int column = 0; column < 2; ++column) {
    SCOPED_TRACE(column);
    TdxTreeListColumn* c = Tree->GetColumn(column);
    const TRect cell = Tree->GetLayoutBuilder().GetCellRect(node, column);
    ASSERT_GT(RectWidth(cell), 20);
    ASSERT_GT(RectHeight(cell), 10);
    TdxInplaceEdit* editor = Tree->CreateInplaceEdit(column);  // owned by the control
    ASSERT_EQ(editor->ClassType(), c->GetEditorClass());
    c->InitEditProperties(editor);
    editor->SetBounds(0, 0, RectWidth(cell) + 4, RectHeight(cell) + 4);
    editor->SetColor(c->GetColor());
    editor->SetFont(c->GetFont());
    editor->SetAlignment(c->GetAlignment());
    editor->SetEditMargins(TRect{1, 0, 0, 0});
    Variant value;
    c->LoadEditValue(node, editor, value);
    std::unique_ptr<TdxEditViewData> own(editor->CreateViewData(/*forPainting=*/true));
    ASSERT_EQ(own->BorderStyle, xbsNone) << "no border while the grid lines show";
    TDibSurface drawn(RectWidth(cell) + 4, RectHeight(cell) + 4);
    drawn.Fill(RGB(1, 2, 3));
    editor->EditClass()->Draw(drawn.DC(), own->Bounds, own.get(), nullptr);

    // All but the cell's last pixel column, where the vertical grid line is drawn.
    int differing = 0;
    for (int y = 0; y < RectHeight(cell); ++y)
      for (int x = 0; x < RectWidth(cell) - 1; ++x)
        differing += grid.Color(cell.left + x, cell.top + y) != drawn.Color(2 + x, 2 + y);
    EXPECT_EQ(differing, 0);
    // Both drew the text: the cell holds pixels of the text colour.
    const COLORREF ink = ColorToRGB(c->GetFont()->GetColor());
    int inked = 0;
    for (int y = 0; y < RectHeight(cell); ++y)
      for (int x = 0; x < RectWidth(cell); ++x)
        inked += grid.Color(cell.left + x, cell.top + y) == ink;
    EXPECT_GT(inked, 10);
  }
}

}  // namespace
