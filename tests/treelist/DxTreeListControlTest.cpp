// The column-bound control: header rows and the default layout, the placement the base
// is answered from (computed and cached), sorting by header clicks, copying columns,
// best fit, custom-draw chains and node images.
#include "classlib/Filer.h"
#include "tests/support/MemoryRecorder.h"
#include "tests/treelist/TreeListControlTestSupport.h"
#include "treelist/DxTreeListDropDownColumns.h"
#include "treelist/DxTreeListPictureColumns.h"

namespace {

using DxTreeListControlTest = TreeListControlFixture;

TEST_F(DxTreeListControlTest, RowCountsStayInTheirRanges) {
  Tree->SetBandRowCountSetting(9);
  EXPECT_EQ(Tree->GetBandRowCountSetting(), 5);
  Tree->SetBandMaxRowCount(2);
  EXPECT_EQ(Tree->GetBandRowCountSetting(), 2);
  Tree->SetHeaderPanelRowCount(0);
  EXPECT_EQ(Tree->GetHeaderPanelRowCountSetting(), 1);
  Tree->SetHeaderMinRowCount(-3);
  EXPECT_EQ(Tree->GetHeaderMinRowCount(), 1);
}

TEST_F(DxTreeListControlTest, SettingHeaderRowsEndsTheDefaultLayoutAndTheAutomaticRows) {
  Option(aoAutoHeaderRows, true);
  ASSERT_TRUE(Tree->GetDefaultLayout());
  EXPECT_TRUE(Tree->IsColumnAutoWidth()) << "the default layout sizes the band by its columns";
  Tree->SetHeaderPanelRowCount(3);
  EXPECT_FALSE(Tree->GetDefaultLayout());
  EXPECT_FALSE(Tree->GetOptionsEx().Contains(aoAutoHeaderRows));
  EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 3);
}

TEST_F(DxTreeListControlTest, TheDefaultLayoutCollapsesToOneBand) {
  Bands(3);
  Tree->SetShowBands(true);
  Tree->GetBands()->GetItem(0)->SetVisible(false);
  Tree->SetHeaderPanelRowCount(2);
  Column("a", 1, 1);
  Column("b", 2);
  EXPECT_FALSE(Tree->GetDefaultLayout()) << "more than one band";
  Tree->SetDefaultLayout(true);
  EXPECT_TRUE(Tree->GetDefaultLayout());
  EXPECT_EQ(Tree->GetBands()->GetCount(), 1);
  EXPECT_TRUE(Tree->GetBands()->GetItem(0)->GetVisible());
  EXPECT_FALSE(Tree->GetShowBands());
  EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 1);
  EXPECT_EQ(RowCaptions(0, 0), (std::vector<std::string>{"a", "b"}));
}

TEST_F(DxTreeListControlTest, PlacementQueriesAnswerTheSameComputedAndCached) {
  Bands(2);
  Tree->SetHeaderPanelRowCount(2);
  Column("a", 0, 0);
  Column("b", 1, 0);
  Column("c", 0, 1);
  Column("d", 1, 0);
  Column("e", 0, 0)->SetVisible(false);
  auto check = [&](const char* how) {
    SCOPED_TRACE(how);
    EXPECT_EQ(RowCaptions(0, 0), (std::vector<std::string>{"a"}));
    EXPECT_EQ(RowCaptions(0, 1), (std::vector<std::string>{"c"}));
    EXPECT_EQ(Tree->GetBandRowCount(0), 2);
    EXPECT_EQ(RowCaptions(1, 0), (std::vector<std::string>{"b", "d"}));
    EXPECT_EQ(Tree->GetBandRowCount(1), 1);
    EXPECT_EQ(Tree->GetColumnAt(1, 0, 2), -1);
    EXPECT_EQ(Tree->GetColumnAt(5, 0, 0), -1);
    EXPECT_EQ(Tree->GetWidths().GetShownColumnCount(), 4);
    EXPECT_EQ(Tree->GetColumnColIndex(3), 1);
    EXPECT_EQ(Tree->GetColumnDisplayWidth(4), 100) << "hidden in a shown band: its own width";
  };
  Tree->BeginUpdate();  // the caches are dropped and not built while locked
  check("computed");
  Tree->EndUpdate();
  check("cached");

  // A band row left without a visible column closes up.
  Tree->GetColumn(1)->SetRowIndex(1);
  EXPECT_EQ(RowCaptions(1, 1), (std::vector<std::string>{"b"}));
  Tree->GetColumn(3)->SetVisible(false);
  EXPECT_EQ(RowCaptions(1, 0), (std::vector<std::string>{"b"}));
  EXPECT_EQ(Tree->GetColumn(1)->GetStoredRowIndex(), 0);
  Tree->GetColumn(3)->SetVisible(true);

  // The layout of the base is made from these answers.
  Tree->SetBounds(0, 0, 600, 200);
  Option(aoBandHeaderWidth, false);
  EXPECT_EQ(Tree->GetColumnDisplayWidth(0), Tree->GetWidths().GetBandDisplayWidth(0));
  EXPECT_EQ(Tree->GetColumnDisplayWidth(2), Tree->GetWidths().GetBandDisplayWidth(0));
  EXPECT_EQ(Tree->GetColumnDisplayWidth(1) + Tree->GetColumnDisplayWidth(3), Tree->GetWidths().GetBandDisplayWidth(1));
}

TEST_F(DxTreeListControlTest, AutomaticHeaderRowsFollowTheHighestStoredRow) {
  Tree->SetHeaderPanelRowCount(3);
  Column("a", 0, 0);
  Column("b", 0, 1);
  Column("c", 0, 2);
  // Fewer header rows show every column in row 0, but the stored rows are kept.
  Tree->SetHeaderPanelRowCount(1);
  EXPECT_EQ(RowCaptions(0, 0), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Tree->GetColumn(2)->GetStoredRowIndex(), 2);
  Option(aoAutoHeaderRows, true);
  Tree->RefreshBands();
  EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 3);
  EXPECT_EQ(RowCaptions(0, 2), (std::vector<std::string>{"c"}));
  EXPECT_TRUE(Tree->GetOptionsEx().Contains(aoAutoHeaderRows)) << "applying them keeps the option";
}

TEST_F(DxTreeListControlTest, HeaderClicksCycleTheSortArrow) {
  TdxTreeListColumn* column = Column("a");
  Tree->GetMouse().ClickColumnHeader(0, {});
  EXPECT_EQ(Tree->GetColumnSorted(0), csUp);
  Tree->GetMouse().ClickColumnHeader(0, {});
  EXPECT_EQ(Tree->GetColumnSorted(0), csDown);
  Tree->GetMouse().ClickColumnHeader(0, {});
  EXPECT_EQ(Tree->GetColumnSorted(0), csUp);
  EXPECT_EQ(Tree->GetSortedColumnCount(), 1);
  EXPECT_FALSE(Tree->GetSortedColumnDesc(0));
  Tree->GetMouse().ClickColumnHeader(0, {ssCtrl});
  EXPECT_EQ(column->GetSorted(), csNone);
  EXPECT_EQ(Tree->GetSortedColumnCount(), 0);
  EXPECT_FALSE(Tree->GetMouse().GetSortClearFlag()) << "the modifiers last only for the click";
  // A column that does not sort, or an event that refuses, leaves the arrow alone.
  column->SetSortingDisabled(true);
  Tree->GetMouse().ClickColumnHeader(0, {});
  EXPECT_EQ(column->GetSorted(), csNone);
}

// Regression (F17): the add-to-sort modifier was never read, so a plain click on a
// second column left the first one sorted as well.
TEST_F(DxTreeListControlTest, APlainClickSortsByTheClickedColumnAlone) {
  Option(aoMultiSort, true);
  TdxTreeListColumn* a = Column("a");
  TdxTreeListColumn* b = Column("b");
  Tree->GetMouse().ClickColumnHeader(0, {});
  Tree->GetMouse().ClickColumnHeader(1, {});
  EXPECT_EQ(a->GetSorted(), csNone);
  EXPECT_EQ(b->GetSorted(), csUp);
  Tree->GetMouse().ClickColumnHeader(0, {ssShift});
  EXPECT_EQ(a->GetSorted(), csUp);
  EXPECT_EQ(b->GetSorted(), csUp);
  ASSERT_EQ(Tree->GetSortedColumnCount(), 2);
  EXPECT_EQ(Tree->GetSortedColumnIndex(0), 1);
  EXPECT_EQ(Tree->GetSortedColumnIndex(1), 0);
  // Without multi-sort Shift adds nothing.
  Option(aoMultiSort, false);
  Tree->GetMouse().ClickColumnHeader(1, {ssShift});
  EXPECT_EQ(a->GetSorted(), csNone);
  EXPECT_EQ(b->GetSorted(), csDown);
}

TEST_F(DxTreeListControlTest, LoadingRestoresTheStoredSortOrder) {
  Option(aoMultiSort, true);
  BeginLoading(Form);
  TdxTreeListColumn* a = Column("a");
  TdxTreeListColumn* b = Column("b");
  a->SetSorted(csUp);
  b->SetSorted(csDown);
  // As read from a stored form: b was sorted first.
  TFilerData order{{"SortedOrder", false, {int32_t(1)}}};
  TReader(order).ReadProperties(a);
  order[0].Values[0] = int32_t(0);
  TReader(order).ReadProperties(b);
  EndLoading(Form);
  ASSERT_EQ(Tree->GetSortedColumnCount(), 2);
  EXPECT_EQ(Tree->GetSortedColumn(0), b);
  EXPECT_EQ(Tree->GetSortedColumn(1), a);
  EXPECT_TRUE(Tree->GetSortedColumnDesc(0));
}

// Regression: AssignColumns from the control itself destroyed every column before
// copying from the emptied list.
TEST_F(DxTreeListControlTest, AssigningColumnsFromItselfKeepsThem) {
  Column("a");
  Column("b");
  Tree->AssignColumns(Tree);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(DxTreeListControlTest, AssignColumnsCopiesClassesAndNames) {
  TComponent other(nullptr);
  auto* source = new TCustomdxTreeListControl(&other);
  source->SetName("Source");
  TdxTreeListColumn* plain = source->CreateColumn(&TdxTreeListColumn::MetaClass(), &other);
  plain->SetCaption("Plain");
  plain->SetWidth(60);
  auto* mask =
      static_cast<TdxTreeListMaskColumn*>(source->CreateColumn(&TdxTreeListMaskColumn::MetaClass(), &other));
  mask->SetEditMask("00");
  Column("old");
  Tree->AssignColumns(source);
  ASSERT_EQ(Tree->GetColumnCount(), 2);
  EXPECT_EQ(Tree->GetColumn(0)->GetName(), "SourceColumn1");
  EXPECT_EQ(Tree->GetColumn(0)->GetCaption(), "Plain");
  EXPECT_EQ(Tree->GetColumn(0)->GetWidth(), 60);
  EXPECT_EQ(Tree->GetColumn(0)->GetOwner(), Form);
  ASSERT_TRUE(Tree->GetColumn(1)->Is<TdxTreeListMaskColumn>());
  EXPECT_EQ(static_cast<TdxTreeListMaskColumn*>(Tree->GetColumn(1))->GetEditMask(), "00");
  // A name already taken in the owner stays the control's own.
  Tree->GetColumn(1)->SetName("Renamed");
  (new TComponent(Form))->SetName("SourceColumn2");
  Tree->AssignColumns(source);
  EXPECT_EQ(Tree->GetColumn(0)->GetName(), "SourceColumn1");
  EXPECT_EQ(Tree->GetColumn(1)->GetName(), "TreeColumn2");
}

TEST_F(DxTreeListControlTest, CreateColumnSkipsNamesInUse) {
  auto* squatter = new TComponent(Form);
  squatter->SetName("TreeColumn1");
  TdxTreeListColumn* column = Tree->CreateColumn(&TdxTreeListColumn::MetaClass(), Form);
  EXPECT_EQ(column->GetName(), "TreeColumn2");
  EXPECT_THROW(Tree->CreateColumn(&TComponent::MetaClass(), Form), EInvaliddxTreeListOperation);
}

TEST_F(DxTreeListControlTest, BestFitTakesTheWidestTextAndTheHeader) {
  TdxTreeListColumn* column = Column("Hd");
  Node({"short"});
  TdxTreeListTextNode* parent = Node({"a rather long text"});
  Node({"the widest text of all, hidden in a collapsed node"}, parent);
  Tree->ColumnEdgeDblClick(0);
  TClientDC dc(nullptr);
  TCanvas canvas;
  canvas.SetHandle(dc.Get());
  canvas.SetFont(Tree->GetFont());
  const int text = canvas.TextWidth("a rather long text") + Tree->GetIndentWidth();  // the tree column's button
  const int zero = canvas.TextWidth("0");
  canvas.SetHandle(nullptr);
  EXPECT_EQ(column->GetWidth(), text + 2 * ((zero + 1) / 2 + 1));
  column->SetSizing(false);
  column->SetWidth(50);
  Tree->ApplyBestFit(nullptr);
  EXPECT_EQ(column->GetWidth(), 50) << "a column that cannot be sized keeps its width";
}

TEST_F(DxTreeListControlTest, CustomDrawHandlersRunInTurnUntilDone) {
  TdxTreeListColumn* column = Column("a");
  std::vector<std::string> calls;
  struct TRecorder {
    std::vector<std::string>& Calls;
    bool StopAt = false;
    void Control(TObject*, TCanvas*, const TRect&, TdxTreeListNode*, TdxTreeListColumn*, bool, bool, bool,
                 std::string& text, TColor&, TFont*, TAlignment&, bool& done) {
      Calls.push_back("control:" + text);
      text = "changed";
    }
    void ControlEx(TObject*, TCanvas*, const TRect&, TdxTreeListNode*, TdxTreeListColumn*, bool, bool, bool,
                   std::string& text, TColor&, TFont*, TAlignment&, bool& done) {
      Calls.push_back("ex:" + text);
      done = StopAt;
    }
    void Column(TObject*, TCanvas*, const TRect&, TdxTreeListNode*, TdxTreeListColumn*, bool, bool, bool,
                std::string& text, TColor&, TFont*, TAlignment&, bool&) {
      Calls.push_back("column:" + text);
    }
  } recorder{calls};
  EXPECT_FALSE(Tree->IsCustomDrawCell(nullptr, 0));
  column->OnCustomDrawCell = TdxTLCustomDrawCell::Bind<&TRecorder::Column>(&recorder);
  EXPECT_TRUE(Tree->IsCustomDrawCell(nullptr, 0));
  Tree->OnCustomDrawCell = TdxTLCustomDrawCell::Bind<&TRecorder::Control>(&recorder);
  Tree->OnCustomDrawCellEx = TdxTLCustomDrawCell::Bind<&TRecorder::ControlEx>(&recorder);
  auto draw = [&] {
    std::string text = "t";
    TColor color = clWindow;
    TAlignment alignment = taLeftJustify;
    bool done = false;
    Tree->DoCustomDrawCell(nullptr, TRect{}, nullptr, 0, false, false, false, false, false, nullptr, text, color,
                           nullptr, alignment, done);
  };
  draw();
  EXPECT_EQ(calls, (std::vector<std::string>{"control:t", "ex:changed", "column:changed"}));
  calls.clear();
  recorder.StopAt = true;
  draw();
  EXPECT_EQ(calls, (std::vector<std::string>{"control:t", "ex:changed"}));
}

TEST_F(DxTreeListControlTest, NodeImagesAndValuesComeFromTheTextNodes) {
  Column("a");
  TdxTreeListTextNode* node = Node({"x"});
  EXPECT_EQ(Tree->GetNodeImageIndex(node), 0);
  EXPECT_EQ(Tree->GetNodeSelectedIndex(node), -1);
  node->SetImageIndex(4);
  EXPECT_EQ(node->ImageIndex, 4);
  struct TImages {
    void Get(TObject*, TdxTreeListNode*, int& index) { index += 10; }
  } images;
  Tree->OnGetImageIndex = TdxTreeListGetIndexEvent::Bind<&TImages::Get>(&images);
  EXPECT_EQ(Tree->GetNodeImageIndex(node), 14);
  node->SetValue(3, Variant("v"));
  EXPECT_EQ(Texts(node), (std::vector<std::string>{"x", "", "", "v"}));
  EXPECT_EQ(node->GetValue(3).AsString(), "v");
  EXPECT_EQ(node->GetString(7), "");
}

TEST_F(DxTreeListControlTest, ColumnActionsPlaceTheColumnAndReport) {
  Bands(2);
  Tree->SetHeaderPanelRowCount(2);
  Column("a", 0);
  Column("b", 1);
  Column("c", 1);
  std::vector<std::string> log;
  struct TLog {
    std::vector<std::string>& Lines;
    void Hidden(TObject*, TdxTreeListColumn* c) { Lines.push_back("hide " + c->GetCaption()); }
    void Moved(TObject*, TdxTreeListColumn* c) { Lines.push_back("move " + c->GetCaption()); }
    void Shown(TObject*, TdxTreeListColumn* c, int position, int row, int band) {
      Lines.push_back("show " + c->GetCaption() + " " + std::to_string(band) + "/" + std::to_string(row) + "/" +
                      std::to_string(position));
    }
  } recorder{log};
  Tree->OnHideHeader = TdxTreeListColumnEvent::Bind<&TLog::Hidden>(&recorder);
  Tree->OnHeaderMoved = TdxTreeListColumnEvent::Bind<&TLog::Moved>(&recorder);
  Tree->OnShowHeader = TdxTreeListShowColumnEvent::Bind<&TLog::Shown>(&recorder);

  Tree->HideColumn(0);
  EXPECT_TRUE(Tree->IsColumnOutOfHeader(0));
  Tree->ShowColumn(1, 0, 1, 0);  // band 1, row 0, between b and c
  EXPECT_EQ(RowCaptions(1, 0), (std::vector<std::string>{"b", "a", "c"}));
  Tree->MoveColumn(2, 0, 0, 0);  // c alone into band 0
  EXPECT_EQ(RowCaptions(0, 0), (std::vector<std::string>{"c"}));
  EXPECT_EQ(RowCaptions(1, 0), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(log, (std::vector<std::string>{"hide a", "show a 1/0/1", "move c"}));

  Tree->SetColumnWidth(1, 5);
  EXPECT_EQ(Tree->GetColumnWidth(1), 20) << "not below the minimum";
  EXPECT_TRUE(Tree->GetColumn(1)->GetAssignedValues().Contains(cavWidth));
  Tree->GetColumn(0)->SetSizing(false);
  Tree->ColumnsWidthQuery(1, 3, 2);
  EXPECT_EQ(Tree->GetColumnWidth(0), 100) << "a column that cannot be sized keeps its width";
  EXPECT_EQ(Tree->GetColumnWidth(1), 30);
  EXPECT_EQ(Tree->GetColumnMinWidth(0), 100);

  TdxTreeListOptions options = Tree->GetOptions();
  Tree->SetOptions(options.Include(aoColumnMoving));
  EXPECT_TRUE(Tree->CanColumnMoving(1));
  Tree->GetColumn(1)->SetDisableDragging(true);
  EXPECT_FALSE(Tree->CanColumnMoving(1));
}

TEST_F(DxTreeListControlTest, CachedDisplayWidthsFollowTheClientWidth) {
  Column("a");
  Column("b")->SetWidth(300);
  TdxTreeListOptions options = Tree->GetOptions();
  Tree->SetOptions(options.Include(aoAutoWidth));
  Tree->SetBounds(0, 0, 604, 200);
  const int wide = Tree->GetColumnDisplayWidth(0) + Tree->GetColumnDisplayWidth(1);
  Tree->SetBounds(0, 0, 304, 200);
  const int narrow = Tree->GetColumnDisplayWidth(0) + Tree->GetColumnDisplayWidth(1);
  EXPECT_EQ(wide - narrow, 300) << "the bands fill the client, whatever was cached";
  EXPECT_EQ(narrow, Tree->GetWidths().GetBandDisplayWidth(0));
}

TEST_F(DxTreeListControlTest, CellTextsAreMeasuredThroughTheColumn) {
  Column("a");
  TdxTreeListTextNode* node = Node({"one two three four five six seven eight nine ten"});
  int32_t lines = 0;
  int32_t height = 0;
  ASSERT_TRUE(Tree->MeasureCellText(node, 0, lines, height, 1000, -1));
  EXPECT_EQ(lines, 1);
  const int oneLine = height;
  EXPECT_GT(oneLine, 0);
  ASSERT_TRUE(Tree->MeasureCellText(node, 0, lines, height, 60, -1));
  EXPECT_GT(lines, 2);
  EXPECT_EQ(height, lines * oneLine);
  ASSERT_TRUE(Tree->MeasureCellText(node, 0, lines, height, 60, 2));
  EXPECT_EQ(lines, 2);
  EXPECT_FALSE(Tree->MeasureCellText(node, 5, lines, height, 60, 2)) << "no such column";
}

TEST_F(DxTreeListControlTest, TheFocusedColumnMayRefuseEditing) {
  Column("a");
  Column("b")->SetDisableEditor(true);
  TdxTreeListTextNode* node = Node({"x", "y"});
  TdxTreeListOptions options = Tree->GetOptions();
  Tree->SetOptions(options.Exclude(aoRowSelect));  // with row selection the focused column is 0
  bool allow = true;
  Tree->SetFocusedColumn(0);
  Tree->DoEditing(node, allow);
  EXPECT_TRUE(allow);
  Tree->SetFocusedColumn(1);
  Tree->DoEditing(node, allow);
  EXPECT_FALSE(allow);
}

// Fault: the tree list, the column-bound control and the image, button and graphic
// columns held the objects they make in their constructors by raw pointers, so an
// allocation failing later in the construction left the earlier ones allocated.
TEST(TreeListConstruction, AnAllocationFailingOnTheWayLeavesNothingAllocated) {
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TCustomdxTreeList(nullptr); }), 9);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TCustomdxTreeListControl(nullptr); }), 10);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxTreeListImageColumn(nullptr); }), 5);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxTreeListButtonColumn(nullptr); }), 2);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TdxTreeListGraphicColumn(nullptr); }), 2);
}

}  // namespace
