// Streaming a column-bound tree list through the class library's filer: a banded layout
// written and read back into a control on another form comes back the same, extra
// values are stored only when they mean something, and bad data is refused clearly.
#include <sstream>

#include "classlib/Filer.h"
#include "tests/support/TestSupport.h"
#include "tests/treelist/TreeListControlTestSupport.h"

namespace {

class DxTreeListStreamingTest : public TreeListControlFixture {
 protected:
  // Everything of a control's layout that streaming carries, as text.
  static std::string Describe(TCustomdxTreeListControl* tree) {
    std::ostringstream out;
    out << "rows " << tree->GetHeaderPanelRowCountSetting() << "/" << tree->GetBandRowCountSetting()
        << " default " << tree->GetDefaultLayout() << " bands shown " << tree->GetShowBands() << " options "
        << tree->GetOptionsEx().Bits() << "\n";
    TdxTreeListBands* bands = tree->GetBands();
    for (int i = 0; i < bands->GetCount(); ++i) {
      TdxTreeListBand* b = bands->GetItem(i);
      out << "band " << b->GetCaption() << " w" << b->GetWidth() << " min" << b->GetMinWidth() << " vis"
          << b->GetVisible() << " fixed" << int(b->GetFixed()) << " align" << int(b->GetAlignment()) << "\n";
    }
    for (int i = 0; i < tree->GetColumnCount(); ++i) {
      TdxTreeListColumn* c = tree->GetColumn(i);
      out << c->ClassName() << " " << c->GetName() << " '" << c->GetCaption() << "' band" << c->GetBandIndex()
          << " row" << c->GetRowIndex() << "/" << c->GetStoredRowIndex() << " col" << c->GetColIndex() << " w"
          << c->GetWidth() << (c->GetAssignedValues().Contains(cavWidth) ? "!" : "") << " vis"
          << c->GetVisible() << " sorted" << int(c->GetSorted()) << " font"
          << (c->IsFontAssigned() ? c->GetFont()->GetName() + std::to_string(c->GetFont()->GetHeight()) : "-")
          << " glyph" << (c->HasHeaderGlyph() ? c->GetHeaderGlyph()->GetWidth() : 0);
      if (auto* mask = ObjectAs<TdxTreeListMaskColumn>(c))
        out << " mask " << mask->GetEditMask() << " " << mask->GetIgnoreMaskBlank();
      out << "\n";
    }
    for (int i = 0; i < tree->GetSortedColumnCount(); ++i)
      out << "sort " << tree->GetSortedColumnIndex(i) << (tree->GetSortedColumnDesc(i) ? " desc" : " asc") << "\n";
    return out.str();
  }
  // The header cells of the control's layout, as text.
  static std::string HeaderCells(TCustomdxTreeListControl* tree) {
    tree->SetBounds(0, 0, 900, 300);
    TdxTreeListLayout layout;
    tree->CalcLayout(layout);
    std::ostringstream out;
    for (const TdxTreeListBandEntry& b : layout.Bands)
      out << "band " << b.Band << " " << b.Rect.left << "," << b.Rect.top << "-" << b.Rect.right << "\n";
    for (const TdxTreeListColumnEntry& c : layout.Columns)
      out << "column " << c.Column << " " << c.Rect.left << "," << c.Rect.top << "-" << c.Rect.right << ","
          << c.Rect.bottom << "\n";
    return out.str();
  }
  static const TFilerObject* Child(const TFilerObject& object, const std::string& name) {
    for (const TFilerObject& child : object.Children)
      if (child.Name == name)
        return &child;
    return nullptr;
  }
  static bool HasProperty(const TFilerObject& object, const std::string& name) {
    return std::any_of(object.Properties.begin(), object.Properties.end(),
                       [&](const TFilerProperty& p) { return p.Name == name; });
  }
};

TEST_F(DxTreeListStreamingTest, ABandedLayoutComesBackTheSame) {
  Option(aoMultiSort, true);
  Option(aoBandHeaderWidth, false);
  Tree->SetShowBands(true);
  Bands(4);
  const char* captions[] = {"Left", "Middle", "Right", "Hidden"};
  for (int i = 0; i < 4; ++i)
    Tree->GetBands()->GetItem(i)->SetCaption(captions[i]);
  Tree->GetBands()->GetItem(1)->SetWidth(320);
  Tree->GetBands()->GetItem(3)->SetVisible(false);
  Tree->GetBands()->GetItem(2)->SetFixed(bfLeft);  // "Right" moves to the front
  Tree->SetHeaderPanelRowCount(2);
  Column("Name", 0, 0)->SetWidth(140);
  Column("Size", 1, 0);
  Column("Date", 1, 1)->SetMinWidth(70);
  auto* code = static_cast<TdxTreeListMaskColumn*>(Column("Code", 2, 0, &TdxTreeListMaskColumn::MetaClass()));
  code->SetEditMask("000-0000;0;_");
  code->SetIgnoreMaskBlank(true);
  code->GetFont()->SetName("Tahoma");
  code->GetFont()->SetHeight(-15);
  TBitmap glyph;
  glyph.SetSize(7, 5);
  code->SetHeaderGlyph(&glyph);
  Column("Lost", 3, 0)->SetVisible(false);
  Tree->GetColumn(2)->SetSorted(csDown);
  Tree->GetColumn(0)->SetSorted(csUp);
  ASSERT_EQ(Tree->GetSortedColumnCount(), 2);

  const TFilerObject stored = TWriter::WriteRootComponent(Tree);
  EXPECT_EQ(stored.ClassName, "TCustomdxTreeListControl");
  ASSERT_EQ(stored.Children.size(), 5u);
  EXPECT_TRUE(HasProperty(stored, "Bands"));

  TComponent other(nullptr);
  auto* copy = new TCustomdxTreeListControl(&other);
  TReader::ReadRootComponent(stored, copy);
  EXPECT_FALSE(copy->IsLoading());
  EXPECT_EQ(copy->GetName(), "Tree");
  EXPECT_EQ(Describe(copy), Describe(Tree));
  EXPECT_EQ(HeaderCells(copy), HeaderCells(Tree));
  EXPECT_EQ(copy->GetColumn(0)->GetOwner(), &other);
  EXPECT_EQ(copy->GetSortedColumn(0), copy->GetColumn(2)) << "the sort order as it was, not the list order";
}

TEST_F(DxTreeListStreamingTest, SortedOrderIsWrittenOnlyWithTwoSortedColumns) {
  Option(aoMultiSort, true);
  Column("a")->SetSorted(csUp);
  Column("b");
  TFilerObject stored = TWriter::WriteRootComponent(Tree);
  EXPECT_FALSE(HasProperty(*Child(stored, "TreeColumn1"), "SortedOrder"));
  Tree->GetColumn(1)->SetSorted(csUp);
  stored = TWriter::WriteRootComponent(Tree);
  const TFilerObject* a = Child(stored, "TreeColumn1");
  const TFilerObject* b = Child(stored, "TreeColumn2");
  ASSERT_TRUE(HasProperty(*a, "SortedOrder") && HasProperty(*b, "SortedOrder"));
  for (const TFilerProperty& p : b->Properties) {
    if (p.Name == "SortedOrder") {
      EXPECT_EQ(std::get<int32_t>(p.Values[0]), 1);
    }
  }
  // Without multi-sort nothing of the order is stored.
  Option(aoMultiSort, false);
  stored = TWriter::WriteRootComponent(Tree);
  EXPECT_FALSE(HasProperty(*Child(stored, "TreeColumn1"), "SortedOrder"));
  // A row beyond the control's header rows is kept as stored.
  EXPECT_FALSE(HasProperty(*Child(stored, "TreeColumn1"), "StoredRowIndex"));
}

// Regression: sizes read from a stored form were bounded only from below: a column
// stored with MinWidth 2147483647 made every paint raise "Cannot create a 2147483647 x
// 19 bitmap", and two bands stored that wide overflowed the sum of their widths.
TEST_F(DxTreeListStreamingTest, StoredSizesBeyondAnyScreenAreCutDownWhenRead) {
  auto paints = [](TCustomdxTreeListControl* copy) {
    copy->SetBounds(0, 0, 400, 200);
    TDibSurface surface(400, 200);
    TControlPaint::Into(copy, surface.DC());
  };
  // The form the fault was found with: one column of the largest minimum width.
  Column("a");
  {
    TFilerObject single = TWriter::WriteRootComponent(Tree);
    single.Children[0].Properties.push_back(TFilerProperty{"MinWidth", false, {int32_t(INT32_MAX)}});
    TComponent owner(nullptr);
    auto* copy = new TCustomdxTreeListControl(&owner);
    TReader::ReadRootComponent(single, copy);
    EXPECT_EQ(copy->GetColumn(0)->GetMinWidth(), 100000);
    EXPECT_NO_THROW(paints(copy));
  }

  // Every size and count of two bands, two columns and the header.
  Bands(2);
  Option(aoBandHeaderWidth, false);
  Column("b", 1);
  const TFilerObject stored = TWriter::WriteRootComponent(Tree);
  // The stored form with the sizes and counts given, read into a new control.
  auto read = [&](TComponent& owner, int32_t size, int32_t count) {
    TFilerObject object = stored;
    auto set = [](TFilerObject& target, const std::string& name, int32_t value) {
      for (TFilerProperty& p : target.Properties) {
        if (p.Name == name) {
          p.Values = {value};
          return;
        }
      }
      target.Properties.push_back(TFilerProperty{name, false, {value}});
    };
    for (const char* name : {"BandMaxRowCount", "BandRowCount", "HeaderMinRowCount", "HeaderPanelMaxRowCount"})
      set(object, name, count);
    for (TFilerProperty& p : object.Properties) {
      if (p.Name == "Bands") {
        for (TFilerObject& band : std::get<TFilerObjects>(p.Values[0])) {
          set(band, "MinWidth", size);
          set(band, "Width", size);
        }
      }
    }
    set(object.Children[0], "MinWidth", size);
    set(object.Children[1], "Width", size);
    set(object.Children[1], "HeaderMaxLineCount", count);
    set(object.Children[1], "StoredRowIndex", count);
    auto* copy = new TCustomdxTreeListControl(&owner);
    TReader::ReadRootComponent(object, copy);
    return copy;
  };
  auto expect = [](TCustomdxTreeListControl* copy, int32_t size, int32_t count) {
    EXPECT_EQ(copy->GetBandMaxRowCountSetting(), count);
    EXPECT_EQ(copy->GetHeaderPanelMaxRowCountSetting(), count);
    EXPECT_EQ(copy->GetHeaderMinRowCountSetting(), count);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(copy->GetBands()->GetItem(i)->GetMinWidth(), size) << i;
      EXPECT_EQ(copy->GetBands()->GetItem(i)->GetWidth(), size) << i;
    }
    EXPECT_EQ(copy->GetColumn(0)->GetMinWidth(), size);
    EXPECT_EQ(copy->GetColumn(0)->GetWidth(), size);
    EXPECT_EQ(copy->GetColumn(1)->GetWidth(), size);
    EXPECT_EQ(copy->GetColumn(1)->GetHeaderMaxLineCount(), count);
    EXPECT_EQ(copy->GetColumn(1)->GetStoredRowIndex(), count);
  };
  {
    TComponent owner(nullptr);
    TCustomdxTreeListControl* copy = read(owner, INT32_MAX, INT32_MAX);
    expect(copy, 100000, 1000);
    EXPECT_EQ(copy->GetWidths().GetBandsTotalWidth(), 200000);
    EXPECT_NO_THROW(paints(copy));
  }
  // Values within the limits read back as they were stored.
  TComponent owner(nullptr);
  expect(read(owner, 99999, 7), 99999, 7);
}

TEST_F(DxTreeListStreamingTest, BadDataIsRefusedWithAClearMessage) {
  Column("a");
  TFilerObject stored = TWriter::WriteRootComponent(Tree);
  // Each reading into a new control on a form of its own.
  auto read = [](const TFilerObject& object) {
    TComponent other(nullptr);
    TReader::ReadRootComponent(object, new TCustomdxTreeListControl(&other));
    return other.GetComponentCount();
  };

  TFilerObject unknown = stored;
  unknown.Children[0].Properties.push_back(TFilerProperty{"Colour", false, {int32_t(1)}});
  try {
    read(unknown);
    FAIL() << "an unknown property is refused";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Property Colour does not exist in TdxTreeListColumn");
  }
  {
    TComponent other(nullptr);
    EXPECT_THROW(TReader::ReadRootComponent(unknown, new TCustomdxTreeListControl(&other)), EReadError);
    EXPECT_EQ(other.GetComponentCount(), 1) << "the column that could not be read is freed";
  }

  TFilerObject wrongType = stored;
  wrongType.Children[0].Properties.push_back(TFilerProperty{"Width", false, {std::string("wide")}});
  EXPECT_THROW(read(wrongType), EReadError);

  TFilerObject unregistered = stored;
  unregistered.Children[0].ClassName = "TdxTreeListUnknownColumn";
  EXPECT_THROW(read(unregistered), EClassNotFound);
  EXPECT_EQ(read(stored), 2);

  TComponent plain(nullptr);
  EXPECT_THROW(TReader::ReadRootComponent(stored, &plain), EReadError) << "another class";
}

}  // namespace
