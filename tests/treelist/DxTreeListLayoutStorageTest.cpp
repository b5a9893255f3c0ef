// The column-bound control's layout in an INI file and under a registry key: the
// sections and keys written, the round trip, what saving erases, the stored orders.
#include "classlib/Forms.h"
#include "classlib/IniFiles.h"
#include "classlib/Registry.h"
#include "classlib/StringList.h"
#include "tests/support/TestSupport.h"
#include "tests/treelist/TreeListControlTestSupport.h"

namespace {

const std::string& Folder() {
  static const std::string folder = EmptiedTempFolder("kivo-treelist-layout-tests");
  return folder;
}

class DxTreeListLayoutStorageTest : public TreeListControlFixture {
 protected:
  DxTreeListLayoutStorageTest() {
    Tree->SetName("Grid1");
    DeleteFileA(File.c_str());
  }
  // Three columns over two bands, two header rows, column c sorted before a.
  void Layout() {
    Bands(2);
    Tree->SetHeaderPanelRowCount(2);
    Option(aoMultiSort, true);
    Column("a", 0, 0)->SetWidth(80);
    Column("b", 1, 0)->SetWidth(120);
    Column("c", 1, 0)->SetWidth(60);
    Tree->GetColumn(1)->SetRowIndex(1);  // below c (alone, it would move up to row 0)
    Tree->GetBands()->GetItem(1)->SetWidth(200);
    Tree->GetColumn(2)->SetSorted(csDown);
    Tree->GetColumn(0)->SetSorted(csUp);
  }
  std::vector<std::string> Sections(TCustomIniFile& ini) {
    TStringList list;
    ini.ReadSections(list);
    std::vector<std::string> names;
    for (int i = 0; i < list.GetCount(); ++i)
      names.push_back(list.Get(i));
    return names;
  }
  std::string File = Folder() + "layout.ini";
};

TEST_F(DxTreeListLayoutStorageTest, SavingWritesTheSectionsAndKeysOfTheLayout) {
  Layout();
  {
    TMemIniFile ini(File);
    Tree->SaveLayout(&ini, "Grid1_Form1\\\\");  // trailing backslashes go, a leading one comes
    ini.UpdateFile();
  }
  TMemIniFile ini(File);
  EXPECT_EQ(Sections(ini), (std::vector<std::string>{"\\Grid1_Form1", "\\Grid1_Form1\\Band\\Band0",
                                                     "\\Grid1_Form1\\Band\\Band1", "\\Grid1_Form1\\Columns\\Grid1Column1",
                                                     "\\Grid1_Form1\\Columns\\Grid1Column2",
                                                     "\\Grid1_Form1\\Columns\\Grid1Column3"}));
  const std::string p = "\\Grid1_Form1";
  EXPECT_EQ(ini.ReadInteger(p, "HeaderPanelRowCount", 0), 2);
  EXPECT_EQ(ini.ReadInteger(p, "BandRowCount", 0), 1);
  EXPECT_EQ(ini.ReadInteger(p, "DefaultRowHeight", 0), Tree->GetDefaultRowHeight());
  EXPECT_EQ(ini.ReadInteger(p + "\\Band\\Band1", "Width", 0), 200);
  EXPECT_EQ(ini.ReadInteger(p + "\\Band\\Band1", "Index", -1), 1);
  EXPECT_EQ(ini.ReadInteger(p + "\\Band\\Band1", "ID", -1), Tree->GetBands()->GetItem(1)->GetID());
  const std::string b = p + "\\Columns\\Grid1Column2";
  EXPECT_EQ(ini.ReadInteger(b, "BandIndex", -1), 1);
  EXPECT_EQ(ini.ReadInteger(b, "RowIndex", -1), 1);
  EXPECT_EQ(ini.ReadInteger(b, "Index", -1), 1);
  EXPECT_EQ(ini.ReadInteger(b, "Width", -1), 120);
  EXPECT_EQ(ini.ReadInteger(b, "Sorted", -1), 0);
  EXPECT_EQ(ini.ReadInteger(b, "SortedOrder", 0), -1);
  const std::string c = p + "\\Columns\\Grid1Column3";
  EXPECT_EQ(ini.ReadInteger(c, "Sorted", -1), 1);
  EXPECT_EQ(ini.ReadInteger(c, "SortedOrder", -1), 0);
  EXPECT_EQ(ini.ReadInteger(c, "ColIndex", -1), 0);
  EXPECT_EQ(ini.ReadInteger(p + "\\Columns\\Grid1Column1", "SortedOrder", -1), 1);
  // Automatic header rows are stored as -1.
  Option(aoAutoHeaderRows, true);
  Tree->SaveLayout(&ini, "\\Grid1_Form1");
  EXPECT_EQ(ini.ReadInteger(p, "HeaderPanelRowCount", 0), -1);
}

// Regression (F7): the sort positions were read but the sorted-column list kept the
// column-list order, so a saved multi-column sort came back in another priority.
TEST_F(DxTreeListLayoutStorageTest, TheLayoutRoundTripsThroughAnIniFileWithItsSortPriority) {
  Layout();
  Node({"x", "", "2"});
  Node({"y", "", "1"});
  Node({"x", "", "1"});
  Tree->GetBands()->GetItem(1)->SetIndex(0);  // bands swapped
  Tree->GetColumn(2)->SetIndex(0);            // c, a, b
  Tree->SaveToIniFile(File);                  // IniSectionName empty: "Grid1_" (no form)
  {
    TMemIniFile ini(File);
    ASSERT_TRUE(ini.SectionExists("\\Grid1_"));
  }
  // Everything changed afterwards comes back.
  Tree->GetBands()->GetItem(0)->SetIndex(1);
  Tree->GetBands()->GetItem(0)->SetVisible(false);
  Tree->GetColumn(0)->SetIndex(2);  // a, b, c
  Tree->GetColumn(0)->SetWidth(300);
  Tree->GetColumn(1)->SetVisible(false);
  Tree->GetColumn(1)->SetRowIndex(0);
  Tree->GetColumn(0)->SetSorted(csNone);
  Tree->GetColumn(2)->SetSorted(csNone);
  Tree->GetColumn(1)->SetSorted(csUp);
  Tree->SetHeaderPanelRowCount(3);
  Tree->LoadFromIniFile(File);

  EXPECT_EQ(Captions(), (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_EQ(Tree->GetBands()->GetItem(0)->GetWidth(), 200) << "the bands in their saved order";
  EXPECT_TRUE(Tree->GetBands()->GetItem(0)->GetVisible());
  EXPECT_TRUE(Tree->GetBands()->GetItem(1)->GetVisible());
  EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 2);
  TdxTreeListColumn* a = Tree->GetColumn(1);
  TdxTreeListColumn* bColumn = Tree->GetColumn(2);
  TdxTreeListColumn* c = Tree->GetColumn(0);
  EXPECT_EQ(a->GetWidth(), 80);
  EXPECT_TRUE(a->GetVisible());
  EXPECT_EQ(bColumn->GetRowIndex(), 1);
  EXPECT_EQ(bColumn->GetSorted(), csNone);
  ASSERT_EQ(Tree->GetSortedColumnListCount(), 2);
  EXPECT_EQ(Tree->GetSortedColumn(0), c) << "the saved priority, not the column order";
  EXPECT_EQ(Tree->GetSortedColumn(1), a);
  EXPECT_EQ(c->GetSorted(), csDown);
  // The nodes follow the loaded sort: c descending, then a ascending.
  std::vector<std::string> rows;
  for (int row = 0; row < Tree->GetRowCount(); ++row) {
    TdxTreeListNode* node = Tree->GetNodeAtRow(row);
    rows.push_back(node->GetString(a->GetIndex()) + node->GetString(c->GetIndex()));
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"x2", "x1", "y1"}));
}

TEST_F(DxTreeListLayoutStorageTest, StoredIndexesPlaceColumnsInNumericOrder) {
  Column("a");
  Column("b");
  Column("c");
  TMemIniFile ini(File);
  ini.WriteInteger("\\G\\Columns\\Grid1Column1", "Index", 10);
  ini.WriteInteger("\\G\\Columns\\Grid1Column2", "Index", 2);
  ini.WriteInteger("\\G\\Columns\\Grid1Column3", "Index", 7);
  ini.WriteInteger("\\G\\Columns\\Grid1Column3", "Sorted", 9);  // no sort state: ignored
  Tree->LoadLayout(&ini, "G");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"b", "c", "a"}));
  EXPECT_EQ(Tree->GetColumn(1)->GetSorted(), csNone);
  // No section for the control: nothing changes; a storage of another kind is refused.
  Tree->LoadLayout(&ini, "Other");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"b", "c", "a"}));
  TStringList notAStorage;
  EXPECT_THROW(Tree->SaveLayout(&notAStorage, "G"), EInvaliddxTreeListOperation);
  EXPECT_THROW(Tree->LoadLayout(nullptr, "G"), EInvaliddxTreeListOperation);
}

// Regression (F6): saving erased every section whose name began with the layout's name,
// so saving "Grid1_Form1" deleted the stored layout of "Grid1_Form10".
TEST_F(DxTreeListLayoutStorageTest, SavingErasesOnlyTheLayoutsOwnSections) {
  Column("a");
  Column("b");
  TMemIniFile ini(File);
  ini.WriteInteger("\\Grid1_Form10", "BandRowCount", 1);
  ini.WriteInteger("\\Grid1_Form10\\Columns\\X", "Width", 55);
  ini.WriteInteger("\\Grid1_Form1\\Columns\\Deleted", "Width", 10);
  ini.WriteInteger("\\Grid1_Form1", "Stale", 1);
  ini.WriteInteger("Other", "Key", 1);
  Tree->SaveLayout(&ini, "Grid1_Form1");
  EXPECT_EQ(ini.ReadInteger("\\Grid1_Form10\\Columns\\X", "Width", 0), 55);
  EXPECT_TRUE(ini.SectionExists("\\Grid1_Form10"));
  EXPECT_FALSE(ini.SectionExists("\\Grid1_Form1\\Columns\\Deleted")) << "a deleted column's section goes";
  EXPECT_FALSE(ini.ValueExists("\\Grid1_Form1", "Stale"));
  // Saving twice after a column went leaves no section of it.
  delete Tree->GetColumn(1);
  Tree->SaveLayout(&ini, "Grid1_Form1");
  EXPECT_FALSE(ini.SectionExists("\\Grid1_Form1\\Columns\\Grid1Column2"));
  EXPECT_TRUE(ini.SectionExists("\\Grid1_Form1\\Columns\\Grid1Column1"));
  // An empty name erases its own sections only, not every layout's.
  Tree->SaveLayout(&ini, "");
  EXPECT_TRUE(ini.SectionExists("\\Grid1_Form1\\Columns\\Grid1Column1"));
  EXPECT_TRUE(ini.SectionExists("\\Grid1_Form10\\Columns\\X"));
  EXPECT_TRUE(ini.SectionExists("Other"));
  EXPECT_TRUE(ini.SectionExists("\\Columns\\Grid1Column1"));
}

// Regression: widths read back from a stored layout were bounded only from below, and
// the band widths are summed in 32 bits: two bands stored 2000000000 wide overflowed.
TEST_F(DxTreeListLayoutStorageTest, StoredSizesBeyondAnyScreenAreCutDownWhenRead) {
  Bands(2);
  Tree->SetDefaultLayout(false);
  Option(aoBandHeaderWidth, false);
  Column("a", 0, 0);
  Column("b", 1, 0);
  TMemIniFile ini(File);
  auto store = [&](int band0, int band1, int column, int rowHeight, int storedRow) {
    for (int i = 0; i < 2; ++i) {
      const std::string section = "\\G\\Band\\Band" + std::to_string(i);
      ini.WriteInteger(section, "ID", Tree->GetBands()->GetItem(i)->GetID());
      ini.WriteInteger(section, "Width", i == 0 ? band0 : band1);
    }
    ini.WriteInteger("\\G\\Columns\\Grid1Column1", "Width", column);
    ini.WriteInteger("\\G\\Columns\\Grid1Column2", "StoredRowIndex", storedRow);
    ini.WriteInteger("\\G", "DefaultRowHeight", rowHeight);
    Tree->LoadLayout(&ini, "G");
  };
  store(2000000000, 2000000000, INT32_MAX, INT32_MAX, INT32_MAX);
  EXPECT_EQ(Tree->GetBands()->GetItem(0)->GetWidth(), 100000);
  EXPECT_EQ(Tree->GetBands()->GetItem(1)->GetWidth(), 100000);
  EXPECT_EQ(Tree->GetWidths().GetBandsTotalWidth(), 200000);
  EXPECT_EQ(Tree->GetColumn(0)->GetWidth(), 100000);
  EXPECT_EQ(Tree->GetDefaultRowHeight(), 100000);
  EXPECT_EQ(Tree->GetColumn(1)->GetStoredRowIndex(), 1000);
  Tree->SetBounds(0, 0, 400, 200);
  TDibSurface surface(400, 200);
  EXPECT_NO_THROW(TControlPaint::Into(Tree, surface.DC()));
  // Values within the limits read back as they were stored.
  store(100000, 99999, 12345, 40, 2);
  EXPECT_EQ(Tree->GetBands()->GetItem(0)->GetWidth(), 100000);
  EXPECT_EQ(Tree->GetBands()->GetItem(1)->GetWidth(), 99999);
  EXPECT_EQ(Tree->GetColumn(0)->GetWidth(), 12345);
  EXPECT_EQ(Tree->GetDefaultRowHeight(), 40);
  EXPECT_EQ(Tree->GetColumn(1)->GetStoredRowIndex(), 2);
}

TEST_F(DxTreeListLayoutStorageTest, TheLayoutRoundTripsThroughTheRegistry) {
  const std::string key = "Software\\KIVO Tests\\TreeListLayout";
  TRegistry cleanup;
  cleanup.DeleteKey("\\" + key);
  Layout();
  Tree->SaveToRegistry(key);
  {
    TRegIniFile registry(key);
    EXPECT_EQ(registry.ReadInteger("\\" + key + "\\Columns\\Grid1Column2", "Width", 0), 120);
    EXPECT_EQ(registry.ReadInteger("\\" + key + "\\Band\\Band1", "Width", 0), 200);
    EXPECT_EQ(registry.ReadInteger("\\" + key, "HeaderPanelRowCount", 0), 2);
  }
  Tree->GetColumn(1)->SetWidth(33);
  Tree->GetColumn(0)->SetIndex(2);
  Tree->GetBands()->GetItem(1)->SetWidth(90);
  Tree->LoadFromRegistry(key);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Tree->GetColumn(1)->GetWidth(), 120);
  EXPECT_EQ(Tree->GetBands()->GetItem(1)->GetWidth(), 200);
  ASSERT_EQ(Tree->GetSortedColumnListCount(), 2);
  EXPECT_EQ(Tree->GetSortedColumn(0)->GetCaption(), "c");
  // A key that does not exist loads nothing.
  Tree->GetColumn(1)->SetWidth(33);
  Tree->LoadFromRegistry(key + "\\Missing");
  EXPECT_EQ(Tree->GetColumn(1)->GetWidth(), 33);
  EXPECT_FALSE(cleanup.KeyExists("\\" + key + "\\Missing"));
  cleanup.DeleteKey("\\" + key);
}

TEST_F(DxTreeListLayoutStorageTest, TheAutomaticHooksSaveOnceAtDestructionAndLoadOnceWhenLoaded) {
  TForm* form = new TForm(Form);
  form->SetName("Form1");
  Tree->SetParent(form);
  EXPECT_EQ(Tree->GetRecordedFormName(), "Form1");
  Column("a")->SetWidth(140);
  Tree->SetOptions(Tree->GetOptions().Include(aoStoreToIniFile));
  Tree->SetIniFileName(File);
  Tree->SetParent(nullptr);
  delete Tree;
  Tree = nullptr;
  {
    TMemIniFile ini(File);
    EXPECT_EQ(ini.ReadInteger("\\Grid1_Form1\\Columns\\Grid1Column1", "Width", 0), 140);
  }

  BeginLoading(Form);
  Tree = new TCustomdxTreeListControl(Form);
  Tree->SetName("Grid1");
  Tree->SetOptions(Tree->GetOptions().Include(aoStoreToIniFile));
  Tree->SetIniFileName(File);
  Tree->SetIniSectionName("Grid1_Form1");
  TdxTreeListColumn* column = Tree->CreateColumn(&TdxTreeListColumn::MetaClass(), Form);
  EndLoading(Form);
  EXPECT_EQ(column->GetWidth(), 140);
  // The hook acts once: loading the form again keeps what was changed since.
  column->SetWidth(50);
  BeginLoading(Form);
  EndLoading(Form);
  EXPECT_EQ(column->GetWidth(), 50);
}

}  // namespace
