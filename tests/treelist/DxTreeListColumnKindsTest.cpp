// The column kinds: each hands out its own editor class, copies its settings into the
// editor, converts between the node's text and the editor's value (and leaves a cell
// only visited as it was), paints its cells, copies and streams by class name; the
// graphic, blob and wrapper columns.
#include <algorithm>
#include <memory>
#include <set>

#include "classlib/ClassRegistry.h"
#include "classlib/Filer.h"
#include "classlib/FloatFormat.h"
#include "editors/DxPictureValues.h"
#include "tests/support/TestSupport.h"
#include "tests/treelist/TreeListControlTestSupport.h"
#include "treelist/DxTreeListCheckColumn.h"
#include "treelist/DxTreeListColumns.h"
#include "treelist/DxTreeListDropDownColumns.h"
#include "treelist/DxTreeListPictureColumns.h"
#include "treelist/DxTreeListTextColumns.h"
#include "treelist/DxTreeListWrapperColumn.h"

namespace {

// Paints a windowless control into `dc` as its paint message would.
struct TControlPainter : TCustomdxTreeListControl {
  static void Paint(TCustomdxTreeListControl* control, HDC dc) { (control->*&TControlPainter::PaintWindow)(dc); }
};

// Every kind with the name of its editor's library class.
struct TKind {
  TdxTreeListColumnClass Class;
  const char* EditorClass;
  const char* LibraryClass;
};
const TKind kKinds[] = {
    {&TdxTreeListMemoColumn::MetaClass(), "TdxInplaceTreeListMemoEdit", "TdxInplaceMemoEdit"},
    {&TdxTreeListDropDownColumn::MetaClass(), "TdxInplaceTreeListDropDownEdit", "TdxInplaceDropDownEdit"},
    {&TdxTreeListDateColumn::MetaClass(), "TdxInplaceTreeListDateEdit", "TdxInplaceDateEdit"},
    {&TdxTreeListButtonColumn::MetaClass(), "TdxInplaceTreeListButtonEdit", "TdxInplaceButtonEdit"},
    {&TdxTreeListCheckColumn::MetaClass(), "TdxInplaceTreeListCheckEdit", "TdxInplaceCheckEdit"},
    {&TdxTreeListImageColumn::MetaClass(), "TdxInplaceTreeListImageEdit", "TdxInplaceImageEdit"},
    {&TdxTreeListSpinColumn::MetaClass(), "TdxInplaceTreeListSpinEdit", "TdxInplaceSpinEdit"},
    {&TdxTreeListPickColumn::MetaClass(), "TdxInplaceTreeListPickEdit", "TdxInplacePickEdit"},
    {&TdxTreeListCalcColumn::MetaClass(), "TdxInplaceTreeListCalcEdit", "TdxInplaceCalcEdit"},
    {&TdxTreeListHyperLinkColumn::MetaClass(), "TdxInplaceTreeListHyperLinkEdit", "TdxInplaceHyperLinkEdit"},
    {&TdxTreeListTimeColumn::MetaClass(), "TdxInplaceTreeListTimeEdit", "TdxInplaceTimeEdit"},
    {&TdxTreeListCurrencyColumn::MetaClass(), "TdxInplaceTreeListCurrencyEdit", "TdxInplaceCurrencyEdit"},
    {&TdxTreeListGraphicColumn::MetaClass(), "TdxInplaceTreeListGraphicEdit", "TdxInplaceGraphicEdit"},
    {&TdxTreeListMRUColumn::MetaClass(), "TdxInplaceTreeListMRUEdit", "TdxInplaceMRUEdit"},
    {&TdxTreeListBlobColumn::MetaClass(), "TdxInplaceTreeListBlobEdit", "TdxInplaceBlobEdit"},
};

class DxTreeListColumnKindsTest : public TreeListControlFixture {
 protected:
  // An editor of the column's class, made by the control and dressed by the column.
  template <class E>
  E* Editor(TdxTreeListColumn* column) {
    Tree->SetFocusedColumn(column->GetIndex());
    TdxInplaceEdit* editor = Tree->FindEditor(column->GetEditorClass());
    if (!editor)
      editor = Tree->CreateInplaceEdit(column->GetIndex());
    column->InitEditProperties(editor);
    auto* typed = ObjectAs<E>(editor);
    EXPECT_NE(typed, nullptr) << editor->ClassName();
    return typed;
  }
  // The editor loaded from the node as the control loads it (the modified flag cleared
  // afterwards), so that the next store is a visit unless something changes it.
  static void Load(TdxTreeListColumn* column, TdxTreeListNode* node, TdxInplaceEdit* editor) {
    Variant value;
    column->LoadEditValue(node, editor, value);
    editor->SetModified(false);
  }
  static void Store(TdxTreeListColumn* column, TdxTreeListNode* node, TdxInplaceEdit* editor) {
    Variant value;
    column->AssignEditValue(node, editor, value);
  }
  TCanvas* Canvas() { return FBitmap.GetCanvas(); }
  TBitmap FBitmap;
  // The column's view data as a cell of `node` is painted from.
  static TdxEditViewData* Prepare(TdxTreeListColumn* column, TdxTreeListNode* node, bool selected = false) {
    TdxTreeListCellViewData cell;
    cell.Node = node;
    cell.Text = column->GetNodeText(node);
    cell.Highlighted = selected;
    cell.Bounds = TRect{0, 0, 80, 18};
    TdxEditViewData* view = column->GetCellViewData(node);
    column->PrepareViewData(view, &cell);
    return view;
  }
};

TEST_F(DxTreeListColumnKindsTest, EveryKindHandsOutItsOwnEditorClass) {
  for (const TKind& kind : kKinds) {
    SCOPED_TRACE(kind.EditorClass);
    TdxTreeListColumn* column = Column("c", 0, 0, kind.Class);
    const TdxInplaceEditClass* cls = column->GetEditorClass();
    EXPECT_STREQ(cls->ClassName(), kind.EditorClass);
    EXPECT_STREQ(cls->ClassParent()->ClassName(), kind.LibraryClass) << "derives from the library editor";
    TdxInplaceEdit* editor = Editor<TdxInplaceEdit>(column);
    EXPECT_EQ(editor->ClassType(), cls);
    EXPECT_EQ(Tree->FindEditor(cls), editor) << "the control finds the editor by the column's class";
    EXPECT_TRUE(column->GetViewData()->ClassType()->InheritsFrom(cls->GetViewDataClass()));
  }
  EXPECT_EQ(Tree->GetEditorCount(), int(std::size(kKinds)));
}

TEST_F(DxTreeListColumnKindsTest, ColumnClassesStreamByName) {
  for (const TKind& kind : kKinds)
    Column("c", 0, 0, kind.Class);
  Column("w", 0, 0, &TdxTreeListWrapperColumn::MetaClass());
  auto* memo = static_cast<TdxTreeListMemoColumn*>(Tree->GetColumn(0));
  memo->SetScrollBars(ssVertical);
  auto* check = static_cast<TdxTreeListCheckColumn*>(Tree->GetColumn(4));
  check->SetValueChecked("Yes");
  check->SetValueGrayed("?");
  auto* image = static_cast<TdxTreeListImageColumn*>(Tree->GetColumn(5));
  image->GetValues()->SetText("a\r\nb\r\n");
  image->GetDescriptions()->SetText("Alpha\r\nBeta\r\n");
  auto* spin = static_cast<TdxTreeListSpinColumn*>(Tree->GetColumn(6));
  spin->SetIncrement(0.25);
  spin->SetMaxValue(10.5);
  spin->SetValueType(vtFloat);
  auto* pick = static_cast<TdxTreeListPickColumn*>(Tree->GetColumn(7));
  pick->GetItems()->SetText("one\r\ntwo\r\n");
  pick->SetItemsSorted(true);
  auto* button = static_cast<TdxTreeListButtonColumn*>(Tree->GetColumn(3));
  button->GetButtons()->Add()->SetKind(bkDown);
  auto* currency = static_cast<TdxTreeListCurrencyColumn*>(Tree->GetColumn(11));
  currency->SetDisplayFormat("0.00 EUR");
  auto* blob = static_cast<TdxTreeListBlobColumn*>(Tree->GetColumn(14));
  blob->SetBlobEditKind(bekPict);
  blob->SetPopupWidth(321);
  auto* mru = static_cast<TdxTreeListMRUColumn*>(Tree->GetColumn(13));
  mru->SetImmediateDropDown(true);

  const TFilerObject stored = TWriter::WriteRootComponent(Tree);
  std::set<std::string> names;
  for (const TFilerObject& child : stored.Children)
    names.insert(child.ClassName);
  EXPECT_TRUE(names.count("TdxTreeListWrapperColumn"));
  EXPECT_TRUE(names.count("TdxTreeListCheckColumn"));

  // The drop-down column alone is not registered: a stored form cannot name it.
  EXPECT_EQ(GetClass("TdxTreeListDropDownColumn"), nullptr);
  EXPECT_EQ(GetClass("TdxTreeListBlobColumn"), TdxTreeListBlobColumn::StaticClass());
  TFilerObject named = stored;
  named.Children.erase(named.Children.begin() + 1);  // the drop-down column
  TComponent other(nullptr);
  auto* copy = new TCustomdxTreeListControl(&other);
  TReader::ReadRootComponent(named, copy);
  ASSERT_EQ(copy->GetColumnCount(), int(std::size(kKinds)));
  EXPECT_EQ(std::string(copy->GetColumn(0)->ClassName()), "TdxTreeListMemoColumn");
  EXPECT_EQ(static_cast<TdxTreeListMemoColumn*>(copy->GetColumn(0))->GetScrollBars(), ssVertical);
  auto* check2 = ObjectAs<TdxTreeListCheckColumn>(copy->GetColumn(3));
  ASSERT_NE(check2, nullptr);
  EXPECT_EQ(check2->GetValueChecked(), "Yes");
  EXPECT_EQ(check2->GetValueGrayed(), "?");
  EXPECT_EQ(check2->GetValueUnchecked(), "False");
  auto* image2 = ObjectAs<TdxTreeListImageColumn>(copy->GetColumn(4));
  ASSERT_NE(image2, nullptr);
  EXPECT_EQ(image2->GetDescriptions()->GetCount(), 2);
  EXPECT_EQ(image2->GetValues()->Get(1), "b");
  auto* spin2 = ObjectAs<TdxTreeListSpinColumn>(copy->GetColumn(5));
  ASSERT_NE(spin2, nullptr);
  EXPECT_EQ(spin2->GetIncrement(), 0.25);
  EXPECT_EQ(spin2->GetMaxValue(), 10.5);
  EXPECT_EQ(spin2->GetValueType(), vtFloat);
  auto* pick2 = ObjectAs<TdxTreeListPickColumn>(copy->GetColumn(6));
  ASSERT_NE(pick2, nullptr);
  EXPECT_EQ(pick2->GetItems()->GetCount(), 2);
  EXPECT_TRUE(pick2->GetItemsSorted());
  EXPECT_TRUE(pick2->GetImmediateDropDown());
  auto* button2 = ObjectAs<TdxTreeListButtonColumn>(copy->GetColumn(2));
  ASSERT_NE(button2, nullptr);
  ASSERT_EQ(button2->GetButtons()->GetCount(), 2);
  EXPECT_EQ(button2->GetButtons()->GetItem(1)->GetKind(), bkDown);
  auto* currency2 = ObjectAs<TdxTreeListCurrencyColumn>(copy->GetColumn(10));
  ASSERT_NE(currency2, nullptr);
  EXPECT_EQ(currency2->GetDisplayFormat(), "0.00 EUR");
  auto* blob2 = ObjectAs<TdxTreeListBlobColumn>(copy->GetColumn(13));
  ASSERT_NE(blob2, nullptr);
  EXPECT_EQ(blob2->GetBlobEditKind(), bekPict);
  EXPECT_EQ(blob2->GetPopupWidth(), 321);
  auto* mru2 = ObjectAs<TdxTreeListMRUColumn>(copy->GetColumn(12));
  ASSERT_NE(mru2, nullptr);
  EXPECT_TRUE(mru2->GetImmediateDropDown());
  EXPECT_TRUE(copy->GetColumn(14)->Is<TdxTreeListWrapperColumn>());
}

TEST_F(DxTreeListColumnKindsTest, CheckCellsShowTheStateOfTheirText) {
  auto* check = Kind<TdxTreeListCheckColumn>("Done");
  TdxTreeListTextNode* yes = Node({"true"});
  TdxTreeListTextNode* maybe = Node({"maybe"});
  TdxTreeListTextNode* no = Node({"FALSE"});
  std::string text;
  Tree->GetCellText(yes, 0, text);
  EXPECT_EQ(text, "True");
  Tree->GetCellText(maybe, 0, text);
  EXPECT_EQ(text, "") << "the ValueGrayed text, empty by default";
  check->SetValueGrayed("(unknown)");
  Tree->GetCellText(maybe, 0, text);
  EXPECT_EQ(text, "(unknown)");
  EXPECT_EQ(Prepare(check, yes)->Value.AsInteger(), cbsChecked);
  EXPECT_EQ(Prepare(check, maybe)->Value.AsInteger(), cbsGrayed);
  EXPECT_EQ(Prepare(check, no)->Value.AsInteger(), cbsUnchecked);

  auto* editor = Editor<TdxInplaceCheckEdit>(check);
  Load(check, yes, editor);
  EXPECT_EQ(editor->GetState(), cbsChecked);
  EXPECT_EQ(editor->GetAlignment(), taCenter);
  Store(check, yes, editor);
  Load(check, maybe, editor);
  EXPECT_EQ(editor->GetState(), cbsGrayed);
  Store(check, maybe, editor);
  EXPECT_EQ(Texts(yes), (std::vector<std::string>{"true"})) << "a visit keeps the text";
  EXPECT_EQ(Texts(maybe), (std::vector<std::string>{"maybe"})) << "a visit keeps the text";

  // A toggle stores the text of the new state and tells OnToggleClick.
  struct TToggles {
    std::vector<std::string> Seen;
    void Toggle(TObject*, const std::string& text, TdxCheckBoxState state) {
      Seen.push_back(text + "/" + std::to_string(state));
    }
  } toggles;
  check->OnToggleClick = TdxToggleEvent::Bind<&TToggles::Toggle>(&toggles);
  Load(check, yes, editor);
  editor->SetState(cbsUnchecked);
  editor->SetModified(true);
  Store(check, yes, editor);
  EXPECT_EQ(Texts(yes), (std::vector<std::string>{"False"}));
  EXPECT_EQ(toggles.Seen, (std::vector<std::string>{"False/0"}));
}

// Regression (F2): the tree list stored every editor's value when it hid the editor, so
// a visit rewrote the cell through the kind's conversion ("maybe" became the empty
// ValueGrayed, an amount that did not parse became empty, a spin text "0").
TEST_F(DxTreeListColumnKindsTest, AVisitLeavesEveryKindsTextAsItWas) {
  for (const TKind& kind : kKinds) {
    SCOPED_TRACE(kind.EditorClass);
    Tree->DestroyColumns();
    Tree->ClearNodes();
    TdxTreeListColumn* column = Column("c", 0, 0, kind.Class);
    TdxTreeListTextNode* node = Node({"odd text 1,2"});
    TdxInplaceEdit* editor = Editor<TdxInplaceEdit>(column);
    Load(column, node, editor);
    Store(column, node, editor);
    EXPECT_EQ(Texts(node), (std::vector<std::string>{"odd text 1,2"}));
  }
}

TEST_F(DxTreeListColumnKindsTest, TimeAndCurrencyStoreZeroAsEmptyText) {
  auto* time = Kind<TdxTreeListTimeColumn>("Time");
  auto* currency = Kind<TdxTreeListCurrencyColumn>("Price");
  TdxTreeListTextNode* node = Node({"10:30:00", "12.5"});

  auto* timeEditor = Editor<TdxInplaceTimeEdit>(time);
  Load(time, node, timeEditor);
  EXPECT_EQ(timeEditor->GetText(), "10:30:00");
  timeEditor->SetValue(0);
  timeEditor->SetModified(true);
  Store(time, node, timeEditor);
  EXPECT_EQ(node->GetString(0), "");
  timeEditor->SetValue(DxTimeConstants().OneHour * 7 + DxTimeConstants().OneMinute * 5);
  timeEditor->SetModified(true);
  Store(time, node, timeEditor);
  EXPECT_EQ(node->GetString(0), "07:05:00");
  Load(time, node, timeEditor);
  EXPECT_EQ(timeEditor->GetText(), "07:05:00") << "the stored time reads back";

  auto* currencyEditor = Editor<TdxInplaceCurrencyEdit>(currency);
  Load(currency, node, currencyEditor);
  EXPECT_DOUBLE_EQ(currencyEditor->GetValue(), 12.5);
  EXPECT_EQ(currencyEditor->GetDisplayFormat(), "") << "the editor shows the plain number";
  currencyEditor->SetValue(0);
  currencyEditor->SetModified(true);
  Store(currency, node, currencyEditor);
  EXPECT_EQ(node->GetString(1), "");
  Load(currency, node, currencyEditor);
  EXPECT_DOUBLE_EQ(currencyEditor->GetValue(), 0) << "an empty text loads 0";
  currencyEditor->SetValue(1234.75);
  currencyEditor->SetModified(true);
  Store(currency, node, currencyEditor);
  EXPECT_EQ(node->GetString(1), "1234.75");
  Load(currency, node, currencyEditor);
  EXPECT_DOUBLE_EQ(currencyEditor->GetValue(), 1234.75) << "the stored amount reads back";

  // The cell shows the amount through the column's display format.
  currency->SetDisplayFormat("#,##0.00 'EUR'");
  EXPECT_EQ(Prepare(currency, node)->Value.AsString(), FormatFloat("#,##0.00 'EUR'", 1234.75));
  node->SetString(1, "");
  EXPECT_EQ(Prepare(currency, node)->Value.AsString(), FormatFloat("#,##0.00 'EUR'", 0));
  node->SetString(1, "n/a");
  EXPECT_EQ(Prepare(currency, node)->Value.AsString(), "n/a") << "no amount shows as it is";
}

TEST_F(DxTreeListColumnKindsTest, SpinNumbersAreStoredByTheirValueType) {
  auto* spin = Kind<TdxTreeListSpinColumn>("Qty");
  TdxTreeListTextNode* node = Node({""});
  auto* editor = Editor<TdxInplaceSpinEdit>(spin);
  Load(spin, node, editor);
  EXPECT_EQ(editor->GetText(), "0") << "an empty text loads 0";
  editor->SetValue(2.6);
  editor->SetModified(true);
  Store(spin, node, editor);
  EXPECT_EQ(node->GetString(0), "3") << "an integer is rounded";

  spin->SetValueType(vtFloat);
  editor = Editor<TdxInplaceSpinEdit>(spin);
  editor->SetValue(0.1 + 0.2);
  editor->SetModified(true);
  Store(spin, node, editor);
  EXPECT_EQ(node->GetString(0), FloatToStrF(0.1 + 0.2, ffGeneral, 15, 0));
  EXPECT_EQ(node->GetString(0), "0.3");
  Load(spin, node, editor);
  EXPECT_DOUBLE_EQ(editor->GetValue(), 0.3) << "the stored number reads back";
}

TEST_F(DxTreeListColumnKindsTest, PickAndButtonColumnsKeepTheirSettings) {
  auto* pick = Kind<TdxTreeListPickColumn>("Pick");
  EXPECT_TRUE(pick->GetImmediateDropDown());
  EXPECT_FALSE(Kind<TdxTreeListMRUColumn>("MRU")->GetImmediateDropDown());
  pick->SetItemsSorted(true);
  pick->GetItems()->SetText("b\r\na\r\n");
  auto* other = Kind<TdxTreeListPickColumn>("Other");
  other->Assign(pick);
  EXPECT_TRUE(other->GetItemsSorted()) << "ItemsSorted is copied with the other flags";
  EXPECT_EQ(other->GetItems()->GetCount(), 2);
  auto* editor = Editor<TdxInplacePickEdit>(other);
  EXPECT_TRUE(editor->GetItemsSorted());
  EXPECT_EQ(editor->GetItems()->Get(0), "a");

  auto* button = Kind<TdxTreeListButtonColumn>("Button");
  TdxTreeListTextNode* node = Node({"", "", "", "x"});
  Tree->SetFocusedNode(node, 0, false);
  ASSERT_EQ(button->GetButtons()->GetCount(), 1);
  button->SetEditButtonStyle(ebsSimple);
  EXPECT_EQ(button->GetButtons()->GetCount(), 0) << "ebsSimple leaves the column without buttons";
  auto* view = ObjectAs<TdxButtonEditViewData>(Prepare(button, node));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->EditButtons ? view->EditButtons->GetCount() : 0, 0);
  button->SetEditButtonStyle(ebsDown);
  ASSERT_EQ(button->GetButtons()->GetCount(), 1);
  EXPECT_EQ(button->GetButtons()->GetItem(0)->GetKind(), bkDown);
}

// Regression (F14): the button column's RestoreDefaults added one more button on every
// call, and the ninth call raised "Too many buttons ( >= 8)".
TEST_F(DxTreeListColumnKindsTest, RestoringTheButtonColumnsDefaultsDoesNotAddButtons) {
  auto* button = Kind<TdxTreeListButtonColumn>("Button");
  button->GetButtons()->GetItem(0)->SetKind(bkGlyph);
  for (int i = 0; i < 12; ++i)
    button->RestoreDefaults();
  ASSERT_EQ(button->GetButtons()->GetCount(), 1);
  EXPECT_EQ(button->GetButtons()->GetItem(0)->GetKind(), bkEllipsis);
  button->SetEditButtonStyle(ebsSimple);
  button->RestoreDefaults();
  EXPECT_EQ(button->GetButtons()->GetCount(), 1) << "an emptied collection gets its one button back";
}

// Regression (F25): the cell edit buttons followed the tree's expand-button setting, so
// hiding the tree's expand buttons hid every drop-down and spin button as well.
TEST_F(DxTreeListColumnKindsTest, CellButtonsFollowTheirStyleNotTheExpandButtons) {
  auto* date = Kind<TdxTreeListDateColumn>("Date");
  auto* spin = Kind<TdxTreeListSpinColumn>("Spin");
  TdxTreeListTextNode* focused = Node({"", ""});
  TdxTreeListTextNode* other = Node({"", ""});
  Tree->SetFocusedNode(focused, 0, false);
  Tree->SetShowButtons(false);
  EXPECT_TRUE(date->ShowEditButton(focused));
  EXPECT_FALSE(date->ShowEditButton(other)) << "sbDefault: the focused node only";
  EXPECT_TRUE(spin->ShowEditButton(focused));
  EXPECT_FALSE(ObjectAs<TdxDropDownEditViewData>(Prepare(date, focused))->HideButtons);
  EXPECT_TRUE(ObjectAs<TdxDropDownEditViewData>(Prepare(date, other))->HideButtons);
  EXPECT_TRUE(ObjectAs<TdxSpinEditViewData>(Prepare(spin, focused))->ShowButtons);
  date->SetShowButtonStyle(TdxShowButtonStyle::sbAlways);
  EXPECT_TRUE(date->ShowEditButton(other));
  EXPECT_TRUE(date->ButtonQuery(false));
  date->SetShowButtonStyle(TdxShowButtonStyle::sbNone);
  EXPECT_FALSE(date->ShowEditButton(focused));
  EXPECT_FALSE(date->ButtonQuery(true));
  // A grid whose cells cannot be edited shows no buttons.
  Tree->SetOptions(Tree->GetOptions().Exclude(aoEditing));
  EXPECT_FALSE(spin->ShowEditButton(focused));
}

TEST_F(DxTreeListColumnKindsTest, ImageAndHyperLinkCellsShowTheirOwnLook) {
  auto* image = Kind<TdxTreeListImageColumn>("Image");
  image->GetValues()->SetText("r\r\ng\r\n");
  image->GetDescriptions()->SetText("Red\r\nGreen\r\n");
  TImageList images(nullptr, 12, 14);
  image->SetImages(&images);
  auto* link = Kind<TdxTreeListHyperLinkColumn>("Link");
  TdxTreeListTextNode* node = Node({"g", "http://example.invalid/"});
  TdxTreeListTextNode* unknown = Node({"x", ""});
  std::string text;
  Tree->GetCellText(node, 0, text);
  EXPECT_EQ(text, "Green");
  Tree->GetCellText(unknown, 0, text);
  EXPECT_EQ(text, "x") << "a value without description shows itself";
  EXPECT_EQ(image->GetMinCellHeight(), 14);
  EXPECT_EQ(image->GetNodeTextWidth(Canvas(), node), Canvas()->TextWidth("Green") + 12);

  TCursor cursor = crDefault;
  link->GetCellCursor(node, cursor);
  EXPECT_EQ(cursor, crDefault) << "without SingleClick";
  link->SetSingleClick(true);
  link->GetCellCursor(node, cursor);
  EXPECT_EQ(cursor, crDxHandPoint);
  cursor = crDefault;
  link->GetCellCursor(unknown, cursor);
  EXPECT_EQ(cursor, crDefault) << "an empty cell has no link";
  TdxEditViewData* view = Prepare(link, node);
  EXPECT_EQ(view->TextColor, ColorToRGB(clBlue));
  EXPECT_TRUE(link->GetLinkFont()->GetStyle().Contains(fsUnderline));
  EXPECT_EQ(view->Font, link->GetLinkFont()->GetHandle());
  view = Prepare(link, node, /*selected=*/true);
  EXPECT_NE(view->TextColor, ColorToRGB(clBlue)) << "a selected cell keeps the selection's colour";
  image->SetImages(nullptr);
}

// Regression (F10): a graphic cell whose text was no picture raised from painting
// (the bitmap reader's EInvalidGraphic), on every repaint of the grid.
TEST_F(DxTreeListColumnKindsTest, GraphicCellsWithBytesThatAreNoPicturePaintEmpty) {
  auto* graphic = Kind<TdxTreeListGraphicColumn>("Picture");
  int classQueries = 0;
  struct TCounter {
    int& Count;
    void Query(TObject*, TdxTreeListNode*, TGraphicClass&) { ++Count; }
  } counter{classQueries};
  graphic->OnGetGraphicClass = TdxTLGetGraphicClassEvent::Bind<&TCounter::Query>(&counter);
  TdxTreeListTextNode* bad = Node({"this is no bitmap at all"});
  TBitmap bitmap;
  bitmap.SetSize(9, 7);
  TPicture picture;
  picture.SetBitmap(&bitmap);
  std::string bytes;
  SavePictureToString(&picture, bytes);
  TdxTreeListTextNode* good = Node({bytes});
  auto* view = ObjectAs<TdxGraphicEditViewData>(Prepare(graphic, bad));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(IsPictureEmpty(view->Picture));
  EXPECT_NO_THROW(Prepare(graphic, bad));
  view = ObjectAs<TdxGraphicEditViewData>(Prepare(graphic, good));
  EXPECT_EQ(view->Picture->GetWidth(), 9);
  EXPECT_TRUE(view->Stretch);
  EXPECT_EQ(graphic->GetNodeTextWidth(Canvas(), good), 0) << "stretched pictures ask for no width";
  graphic->SetStretch(false);
  EXPECT_EQ(graphic->GetNodeTextWidth(Canvas(), good), 9);
  EXPECT_GE(classQueries, 3);

  // The whole grid paints with the bad cell in it, which shows nothing but its colour.
  Tree->SetBounds(0, 0, 200, 80);
  TDibSurface surface(200, 80);
  surface.Fill(RGB(1, 2, 3));
  EXPECT_NO_THROW(TControlPainter::Paint(Tree, surface.DC()));
  const TRect cell = Tree->GetLayoutBuilder().GetCellRect(bad, 0);
  ASSERT_GT(RectWidth(cell), 10);
  const COLORREF background = ColorToRGB(clWindow);
  int foreign = 0;
  for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
    for (int x = cell.left + 1; x < cell.right - 1; ++x)
      foreign += surface.Color(x, y) != background;
  EXPECT_EQ(foreign, 0) << "the bytes are not shown as text";

  // The editor takes the picture and stores it back when it was changed.
  auto* editor = Editor<TdxInplaceGraphicEdit>(graphic);
  Load(graphic, good, editor);
  EXPECT_EQ(editor->GetPicture()->GetWidth(), 9);
  EXPECT_EQ(editor->GetEditMargins(), (TRect{0, 0, 0, 0}));
  Load(graphic, bad, editor);
  EXPECT_TRUE(IsPictureEmpty(editor->GetPicture())) << "loading bytes that are no picture raises nothing";
  Store(graphic, bad, editor);
  EXPECT_EQ(bad->GetString(0), "this is no bitmap at all") << "an unchanged editor stores nothing";
  editor->GetPicture()->SetBitmap(&bitmap);
  editor->SetModified(true);
  Store(graphic, bad, editor);
  EXPECT_EQ(bad->GetString(0), bytes);
}

// Regression: a graphic-class handler that raised while a picture was loaded left the
// editor marked as loading with its modified flag lost (both were put back by hand).
TEST_F(DxTreeListColumnKindsTest, AGraphicLoadThatRaisesGivesTheEditorsFlagsBack) {
  auto* graphic = Kind<TdxTreeListGraphicColumn>("Picture");
  TdxTreeListTextNode* node = Node({""});
  auto* editor = Editor<TdxInplaceGraphicEdit>(graphic);
  struct TThrower {
    void Choose(TObject*, TdxTreeListNode*, TGraphicClass&) { throw Exception("bad class"); }
  } thrower;
  graphic->OnGetGraphicClass = TdxTLGetGraphicClassEvent::Bind<&TThrower::Choose>(&thrower);
  editor->SetModified(true);
  Variant value;
  EXPECT_THROW(graphic->LoadEditValue(node, editor, value), Exception);
  EXPECT_FALSE(editor->LoadingValue);
  EXPECT_TRUE(editor->GetModified());
}

TEST_F(DxTreeListColumnKindsTest, BlobCellsShowEmptinessAndKeepThePopupSize) {
  auto* blob = Kind<TdxTreeListBlobColumn>("Notes");
  TdxTreeListTextNode* empty = Node({""});
  TdxTreeListTextNode* full = Node({"some notes"});
  TdxTreeListTextNode* junk = Node({std::string("\x01\x00\x00\x01garbage", 11)});
  auto* view = ObjectAs<TdxBlobEditViewData>(Prepare(blob, empty));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->Empty);
  EXPECT_EQ(view->BlobPaintStyle, bpsIcon);
  EXPECT_FALSE(ObjectAs<TdxBlobEditViewData>(Prepare(blob, full))->Empty);
  blob->SetBlobEditKind(bekPict);
  EXPECT_NO_THROW(Prepare(blob, junk));
  blob->SetBlobEditKind(bekMemo);

  auto* editor = Editor<TdxInplaceBlobEdit>(blob);
  Load(blob, full, editor);
  EXPECT_EQ(editor->GetBlobValue(), "some notes");
  editor->SetEditValue(Variant("other notes"));
  editor->SetModified(true);
  Store(blob, full, editor);
  EXPECT_EQ(full->GetString(0), "other notes");
  editor->SetPopupSize(300, 222);
  EXPECT_EQ(blob->GetPopupWidth(), 300);
  EXPECT_EQ(blob->GetPopupHeight(), 222);
  editor = Editor<TdxInplaceBlobEdit>(blob);
  EXPECT_EQ(editor->GetPopupWidth(), 300) << "the next editing opens with the new size";
}

TEST_F(DxTreeListColumnKindsTest, AWrapperWithoutHandlerIsATextColumn) {
  auto* wrapper = Kind<TdxTreeListWrapperColumn>("Wrapper");
  TdxTreeListTextNode* node = Node({"plain"});
  Tree->SetFocusedNode(node, 0, false);
  EXPECT_EQ(wrapper->GetEditorClass(), &TdxInplaceTreeListTextEdit::MetaClass());
  auto* editor = Editor<TdxInplaceTreeListTextEdit>(wrapper);
  Load(wrapper, node, editor);
  EXPECT_EQ(editor->GetText(), "plain");
  editor->SetText("changed");
  editor->SetModified(true);
  Store(wrapper, node, editor);
  EXPECT_EQ(node->GetString(0), "changed");
  EXPECT_TRUE(Prepare(wrapper, node)->Is<TdxTextEditViewData>());
}

// Regression (F11): a handler answering the wrapper itself (or a chain that came back)
// recursed without end, and an exception in the reference column's conversion left its
// index override set, so that the column went on reading and writing the wrapper's cells.
TEST_F(DxTreeListColumnKindsTest, AWrapperLendsItsCellsToTheReferenceColumn) {
  auto* check = Kind<TdxTreeListCheckColumn>("Check");
  auto* wrapper = Kind<TdxTreeListWrapperColumn>("Wrapper");
  auto* second = Kind<TdxTreeListWrapperColumn>("Second");
  TdxTreeListTextNode* node = Node({"False", "true", "x"});
  Tree->SetFocusedNode(node, 0, false);
  struct TChooser {
    TdxTreeListColumn* Answer;
    void Choose(TObject*, TdxTreeListNode*, TdxTreeListColumn*& column) { column = Answer; }
  } chooseCheck{check}, chooseSecond{second}, chooseWrapper{wrapper};
  wrapper->OnGetReferenceColumn = TdxTLGetReferenceColumnEvent::Bind<&TChooser::Choose>(&chooseCheck);
  EXPECT_EQ(wrapper->GetEditorClass(), check->GetEditorClass());
  EXPECT_EQ(Prepare(wrapper, node)->Value.AsInteger(), cbsChecked) << "the wrapper's own text, read by the check";
  EXPECT_EQ(check->GetIndexOverride(), -1);
  auto* editor = Editor<TdxInplaceCheckEdit>(wrapper);
  Load(wrapper, node, editor);
  EXPECT_EQ(editor->GetState(), cbsChecked);
  editor->SetState(cbsUnchecked);
  editor->SetModified(true);
  Store(wrapper, node, editor);
  EXPECT_EQ(Texts(node), (std::vector<std::string>{"False", "False", "x"}));
  EXPECT_EQ(check->GetIndexOverride(), -1);

  // A conversion that raises leaves the reference column on its own cells.
  check->OnToggleClick = nullptr;
  struct TThrower {
    void Choose(TObject*, TdxTreeListNode*, TGraphicClass&) { throw Exception("bad class"); }
  } thrower;
  auto* graphic = Kind<TdxTreeListGraphicColumn>("Graphic");
  graphic->OnGetGraphicClass = TdxTLGetGraphicClassEvent::Bind<&TThrower::Choose>(&thrower);
  TChooser chooseGraphic{graphic};
  wrapper->OnGetReferenceColumn = TdxTLGetReferenceColumnEvent::Bind<&TChooser::Choose>(&chooseGraphic);
  EXPECT_THROW(Prepare(wrapper, node), Exception);
  EXPECT_EQ(graphic->GetIndexOverride(), -1);

  // An answer of the wrapper itself, or a chain back to it, counts as no reference.
  wrapper->OnGetReferenceColumn = TdxTLGetReferenceColumnEvent::Bind<&TChooser::Choose>(&chooseWrapper);
  EXPECT_EQ(wrapper->GetReferenceColumn(node), nullptr);
  EXPECT_EQ(wrapper->GetEditorClass(), &TdxInplaceTreeListTextEdit::MetaClass());
  wrapper->OnGetReferenceColumn = TdxTLGetReferenceColumnEvent::Bind<&TChooser::Choose>(&chooseSecond);
  second->OnGetReferenceColumn = TdxTLGetReferenceColumnEvent::Bind<&TChooser::Choose>(&chooseWrapper);
  EXPECT_EQ(wrapper->GetReferenceColumn(node), nullptr);
  EXPECT_EQ(second->GetReferenceColumn(node), nullptr);
  EXPECT_TRUE(Prepare(wrapper, node)->Is<TdxTextEditViewData>());
  // A chain that ends in a real column lends the cells to it.
  second->OnGetReferenceColumn = TdxTLGetReferenceColumnEvent::Bind<&TChooser::Choose>(&chooseCheck);
  EXPECT_EQ(wrapper->GetReferenceColumn(node), second);
  EXPECT_EQ(wrapper->GetEditorClass(), check->GetEditorClass());
}

TEST_F(DxTreeListColumnKindsTest, AssignCopiesTheKindsOwnSettings) {
  auto* memo = Kind<TdxTreeListMemoColumn>("Memo");
  memo->SetScrollBars(ssBoth);
  memo->SetWordWrap(false);
  auto* memo2 = Kind<TdxTreeListMemoColumn>("Memo2");
  memo2->Assign(memo);
  EXPECT_EQ(memo2->GetScrollBars(), ssBoth);
  EXPECT_FALSE(memo2->GetWordWrap());
  EXPECT_EQ(memo2->GetHeaderMaxLineCount(), 0);

  auto* check = Kind<TdxTreeListCheckColumn>("Check");
  check->SetValueChecked("on");
  check->SetAllowGrayed(true);
  auto* check2 = Kind<TdxTreeListCheckColumn>("Check2");
  check2->Assign(check);
  EXPECT_EQ(check2->GetValueChecked(), "on");
  EXPECT_TRUE(check2->GetAllowGrayed());
  EXPECT_EQ(check2->GetMinWidth(), 16);
  check2->RestoreDefaults();
  EXPECT_EQ(check2->GetValueChecked(), "True");

  auto* currency = Kind<TdxTreeListCurrencyColumn>("Money");
  EXPECT_FALSE(currency->IsDisplayFormatAssigned());
  EXPECT_FALSE(currency->GetDisplayFormat().empty()) << "the locale's currency format";
  auto* calc = Kind<TdxTreeListCalcColumn>("Calc");
  calc->SetPrecision(7);
  auto* calc2 = Kind<TdxTreeListCalcColumn>("Calc2");
  calc2->Assign(calc);
  EXPECT_EQ(calc2->GetPrecision(), 7);
  EXPECT_EQ(Editor<TdxInplaceCalcEdit>(calc2)->GetPrecision(), 7);
  // Another column kind copies only the base settings.
  calc2->SetCaption("kept?");
  memo2->Assign(calc2);
  EXPECT_EQ(memo2->GetCaption(), "kept?");
}

// Every kind paints its cells through its own editor class: the pixels of each cell
// show what the kind means (a checked and an unchecked box differ, the value's image,
// the picture, the link colour, the cell buttons of the focused node, the blob icons).
TEST_F(DxTreeListColumnKindsTest, EveryKindPaintsItsCells) {
  Tree->SetBounds(0, 0, 900, 120);
  Option(aoBandHeaderWidth, true);
  auto solid = [](COLORREF color, int width, int height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(width, height);
    HDC dc = bitmap->GetCanvas()->GetHandle();
    HBRUSH brush = CreateSolidBrush(color);
    RECT r{0, 0, width, height};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    return bitmap;
  };
  const COLORREF red = RGB(220, 0, 0), green = RGB(0, 180, 0);
  TImageList images(nullptr, 12, 12);
  images.AddMasked(solid(red, 12, 12).get(), TColor(RGB(255, 0, 255)));
  TPicture picture;
  picture.SetBitmap(solid(green, 20, 10).get());
  std::string bytes;
  SavePictureToString(&picture, bytes);

  auto* check = Kind<TdxTreeListCheckColumn>("Check");
  auto* image = Kind<TdxTreeListImageColumn>("Image");
  image->SetImages(&images);
  image->GetValues()->SetText("r\r\n");
  image->GetImageIndexes()->SetText("0\r\n");
  image->SetDefaultImages(false);
  auto* graphic = Kind<TdxTreeListGraphicColumn>("Graphic");
  graphic->SetStretch(false);
  auto* link = Kind<TdxTreeListHyperLinkColumn>("Link");
  link->SetSingleClick(true);
  auto* date = Kind<TdxTreeListDateColumn>("Date");
  auto* spin = Kind<TdxTreeListSpinColumn>("Spin");
  auto* blob = Kind<TdxTreeListBlobColumn>("Blob");
  for (TdxTreeListColumn* c : std::initializer_list<TdxTreeListColumn*>{check, image, graphic, link, date, spin, blob})
    c->SetWidth(110);
  TdxTreeListTextNode* first = Node({"True", "r", bytes, "", "", "1", "memo text"});
  TdxTreeListTextNode* second = Node({"False", "x", "", "WWWWWWWW", "", "2", ""});
  Tree->SetFocusedNode(first, 0, false);

  TDibSurface surface(900, 120);
  surface.Fill(RGB(1, 2, 3));
  TControlPainter::Paint(Tree, surface.DC());
  // The pixels of a cell (less its grid line) and how many are of `color`.
  auto cell = [&](TdxTreeListNode* node, TdxTreeListColumn* column) {
    const TRect r = Tree->GetLayoutBuilder().GetCellRect(node, Tree->GetVisibleIndexOfColumn(column->GetIndex()));
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.bottom - 1; ++y)
      for (int x = r.left; x < r.right - 1; ++x)
        pixels.push_back(surface.Color(x, y));
    return pixels;
  };
  auto count = [](const std::vector<COLORREF>& pixels, COLORREF color) {
    return int(std::count(pixels.begin(), pixels.end(), color));
  };
  const COLORREF window = ColorToRGB(clWindow), face = ColorToRGB(clBtnFace);

  const std::vector<COLORREF> unchecked = cell(second, check);
  second->SetString(0, "True");
  TControlPainter::Paint(Tree, surface.DC());
  EXPECT_NE(cell(second, check), unchecked) << "a checked box differs from an unchecked one";
  EXPECT_LT(count(unchecked, window), int(unchecked.size())) << "the box is drawn";
  EXPECT_EQ(count(cell(second, image), red), 0) << "a value without an entry has no image";
  EXPECT_EQ(count(cell(first, image), red), 144) << "the value's image";
  EXPECT_EQ(count(cell(first, graphic), green), 200) << "the picture at its size";
  EXPECT_EQ(count(cell(second, graphic), green), 0);
  EXPECT_GT(count(cell(second, link), ColorToRGB(clBlue)), 20) << "the link in the link colour";
  EXPECT_EQ(count(cell(first, link), ColorToRGB(clBlue)), 0);
  EXPECT_GT(count(cell(second, blob), window), 0);
  // The focused node's cells show their buttons, the other's not.
  EXPECT_GT(count(cell(first, date), face), 20);
  EXPECT_EQ(count(cell(second, date), face), 0);
  EXPECT_GT(count(cell(first, spin), face), 20);
  EXPECT_EQ(count(cell(second, spin), face), 0);
  EXPECT_NE(cell(first, blob), cell(second, blob)) << "a filled and an empty blob show different icons";
  image->SetImages(nullptr);
}

// Regression: the mask column loaded a cell with the editor's SetText, which lays no
// mask into an editor that has no window yet (the tree list prepares its editor before
// showing it), so typing stopped at the mask's first literal; and a value stored with
// its literals got them a second time.
TEST_F(DxTreeListColumnKindsTest, AMaskCellLoadsWithItsMaskLaidIn) {
  auto* saving = Kind<TdxTreeListMaskColumn>("Saving");
  saving->SetEditMask("00-00;1;_");
  auto* bare = Kind<TdxTreeListMaskColumn>("Bare");
  bare->SetEditMask("00-00;0;_");
  TdxTreeListTextNode* node = Node({"12-34", "1234"});
  TdxTreeListTextNode* partial = Node({"1", ""});
  auto* editor = Editor<TdxInplaceMaskEdit>(saving);
  ASSERT_FALSE(editor->HandleAllocated());
  Load(saving, node, editor);
  EXPECT_EQ(editor->GetEditText(), "12-34");
  Load(saving, partial, editor);
  EXPECT_EQ(editor->GetEditText(), "1_-__");
  bare->InitEditProperties(editor);
  Load(bare, node, editor);
  EXPECT_EQ(editor->GetEditText(), "12-34");
  Load(bare, partial, editor);
  EXPECT_EQ(editor->GetEditText(), "__-__");
}

TEST_F(DxTreeListColumnKindsTest, TheCurrencyColumnsDefaultFormatFollowsTheLocale) {
  auto* money = Kind<TdxTreeListCurrencyColumn>("Money");
  auto* fixed = Kind<TdxTreeListCurrencyColumn>("Fixed");
  fixed->SetDisplayFormat("0.00");
  char saved[32] = "";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, saved, sizeof saved);
  struct TRestore {
    TCustomdxTreeListControl* Tree;
    const char* Saved;
    ~TRestore() {
      SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, Saved);
      Tree->Perform(CM_WININICHANGE, 0, 0);
    }
  } restore{Tree, saved};
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, "Kr"));
  Tree->Perform(CM_WININICHANGE, 0, 0);
  EXPECT_NE(money->GetDisplayFormat().find("Kr"), std::string::npos) << money->GetDisplayFormat();
  EXPECT_EQ(fixed->GetDisplayFormat(), "0.00") << "a format the user set stays";
}

}  // namespace
