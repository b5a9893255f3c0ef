// Bands: fixed sides, moving with their columns, deleting, widths, visible and absolute
// indices, and the customizing actions on bands.
#include "tests/treelist/TreeListControlTestSupport.h"

namespace {

class DxTreeListBandsTest : public TreeListControlFixture {
 protected:
  TdxTreeListBand* Band(int index) { return Tree->GetBands()->GetItem(index); }
  // Three captioned bands, each with one column of the same caption in lower case.
  void ThreeBands() {
    Bands(3);
    for (int i = 0; i < 3; ++i) {
      Band(i)->SetCaption(std::string(1, char('A' + i)));
      Column(std::string(1, char('a' + i)), i);
    }
  }
  std::vector<std::string> BandCaptions() {
    std::vector<std::string> captions;
    for (int i = 0; i < Tree->GetBands()->GetCount(); ++i)
      captions.push_back(Band(i)->GetCaption());
    return captions;
  }
  std::vector<int> ColumnBands() {
    std::vector<int> bands;
    for (int i = 0; i < Tree->GetColumnCount(); ++i)
      bands.push_back(Tree->GetColumn(i)->GetBandIndex());
    return bands;
  }
};

TEST_F(DxTreeListBandsTest, ANewBandHasTheDefaults) {
  ASSERT_EQ(Tree->GetBands()->GetCount(), 1);
  EXPECT_EQ(Tree->GetBands()->GetOwner(), Tree);
  TdxTreeListBand* band = Band(0);
  EXPECT_EQ(band->GetAlignment(), taCenter);
  EXPECT_EQ(band->GetWidth(), 250);
  EXPECT_EQ(band->GetMinWidth(), 30);
  EXPECT_TRUE(band->GetVisible() && band->GetSizing());
  EXPECT_EQ(band->GetFixed(), bfNone);
  band->SetWidth(10);
  EXPECT_EQ(band->GetWidth(), 30);
  band->SetMinWidth(80);
  EXPECT_EQ(band->GetWidth(), 80);
}

TEST_F(DxTreeListBandsTest, ABandFixedLeftMovesToTheFrontWithItsColumns) {
  ThreeBands();
  Band(0)->SetFixed(bfLeft);
  Band(2)->SetFixed(bfLeft);
  EXPECT_EQ(BandCaptions(), (std::vector<std::string>{"C", "A", "B"}));
  EXPECT_EQ(Band(0)->GetFixed(), bfLeft);
  EXPECT_EQ(Band(1)->GetFixed(), bfNone) << "one band per side";
  EXPECT_EQ(ColumnBands(), (std::vector<int>{1, 2, 0})) << "the columns follow their bands";
  EXPECT_EQ(Tree->GetLeftFixedBand(), 0);
  // A fixed band does not move; a band fixed right goes to the end.
  Band(0)->SetIndex(2);
  EXPECT_EQ(BandCaptions(), (std::vector<std::string>{"C", "A", "B"}));
  Band(1)->SetFixed(bfRight);
  EXPECT_EQ(BandCaptions(), (std::vector<std::string>{"C", "B", "A"}));
  EXPECT_EQ(Tree->GetRightFixedBand(), 2);
  EXPECT_EQ(RowCaptions(2, 0), (std::vector<std::string>{"a"}));
}

TEST_F(DxTreeListBandsTest, HiddenBandsAreNeverFixed) {
  ThreeBands();
  Band(1)->SetVisible(false);
  Band(1)->SetFixed(bfLeft);
  EXPECT_EQ(Band(1)->GetFixed(), bfNone);
  Band(2)->SetFixed(bfRight);
  Band(2)->SetVisible(false);
  EXPECT_EQ(Band(2)->GetFixed(), bfNone);
  EXPECT_EQ(Tree->GetRightFixedBand(), -1);
}

TEST_F(DxTreeListBandsTest, DeletingABandRenumbersTheColumns) {
  ThreeBands();
  Tree->GetBands()->Delete(1);
  EXPECT_EQ(ColumnBands(), (std::vector<int>{0, -1, 1}));
  EXPECT_EQ(Tree->GetWidths().GetShownColumnCount(), 2);
  EXPECT_TRUE(Tree->IsColumnOutOfHeader(1));
}

TEST_F(DxTreeListBandsTest, MovingABandCarriesItsColumnsBothWays) {
  ThreeBands();
  Band(0)->SetIndex(2);
  EXPECT_EQ(BandCaptions(), (std::vector<std::string>{"B", "C", "A"}));
  EXPECT_EQ(ColumnBands(), (std::vector<int>{2, 0, 1}));
  Band(2)->SetIndex(0);
  EXPECT_EQ(BandCaptions(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(ColumnBands(), (std::vector<int>{0, 1, 2}));
}

TEST_F(DxTreeListBandsTest, VisibleAndAbsoluteIndicesSkipHiddenBands) {
  ThreeBands();
  Band(1)->SetVisible(false);
  TdxTreeListBands* bands = Tree->GetBands();
  // Computed (the maps are dropped and not built while locked), then from the
  // control's maps: the same answers.
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 0)
      Tree->BeginUpdate();
    else
      Tree->EndUpdate();
    EXPECT_EQ(bands->GetVisibleCount(), 2);
    EXPECT_EQ(bands->GetAbsoluteIndex(1), 2);
    EXPECT_EQ(bands->GetAbsoluteIndex(2), -1);
    EXPECT_EQ(bands->GetVisibleIndex(1), -1);
    EXPECT_EQ(bands->GetVisibleIndex(2), 1);
    EXPECT_EQ(bands->GetVisibleIndex(-1), -1);
    EXPECT_EQ(bands->GetVisibleItem(1), Band(2));
    EXPECT_EQ(bands->GetVisibleItem(5), nullptr);
    EXPECT_EQ(RowCaptions(1, 0), (std::vector<std::string>{"c"}));
    EXPECT_EQ(Band(2)->GetColumnAt(0, 0), 2);
  }
}

TEST_F(DxTreeListBandsTest, CustomizingActionsActAndReport) {
  ThreeBands();
  std::vector<std::string> log;
  struct TLog {
    std::vector<std::string>& Lines;
    void Hidden(TObject*, TdxTreeListBand* band) { Lines.push_back("hide " + band->GetCaption()); }
    void Shown(TObject*, TdxTreeListBand* band, int position) {
      Lines.push_back("show " + band->GetCaption() + " at " + std::to_string(position));
    }
    void Moved(TObject*, TdxTreeListBand* band) { Lines.push_back("move " + band->GetCaption()); }
  } recorder{log};
  Tree->OnHideBand = TdxTreeListBandEvent::Bind<&TLog::Hidden>(&recorder);
  Tree->OnShowBand = TdxTreeListShowBandEvent::Bind<&TLog::Shown>(&recorder);
  Tree->OnBandMoved = TdxTreeListBandEvent::Bind<&TLog::Moved>(&recorder);

  Tree->HideBand(0);
  EXPECT_TRUE(Tree->IsBandHidden(0));
  // Shown again before the band now at visible position 1 (C).
  Tree->ShowBand(1, 0);
  EXPECT_EQ(BandCaptions(), (std::vector<std::string>{"B", "A", "C"}));
  Tree->MoveBand(0, 2);
  EXPECT_EQ(BandCaptions(), (std::vector<std::string>{"A", "C", "B"}));
  EXPECT_EQ(ColumnBands(), (std::vector<int>{0, 2, 1}));
  EXPECT_EQ(log, (std::vector<std::string>{"hide A", "show A at 1", "move B"}));

  Tree->SetBandWidth(0, 120);
  EXPECT_EQ(Band(0)->GetWidth(), 120);
  Band(1)->SetSizing(false);
  Tree->ScaleBandWidths(1, 2);
  EXPECT_EQ(Band(0)->GetWidth(), 60);
  EXPECT_EQ(Band(1)->GetWidth(), 250) << "a band that cannot be sized keeps its width";
  EXPECT_EQ(Band(2)->GetWidth(), 125);

  // Moving: off by the option, a fixed band, a band that refuses dragging.
  Option(aoBandMoving, true);
  EXPECT_TRUE(Tree->CanBandMoving(2));
  Band(2)->SetDisableDragging(true);
  EXPECT_FALSE(Tree->CanBandMoving(2));
  Band(0)->SetFixed(bfLeft);
  EXPECT_FALSE(Tree->CanBandMoving(0));
}

TEST_F(DxTreeListBandsTest, AssignCopiesLookAndPlacementButNotTheDisableFlags) {
  ThreeBands();
  Band(0)->SetWidth(300);
  Band(0)->SetAlignment(taRightJustify);
  Band(0)->SetDisableDragging(true);
  Band(1)->Assign(Band(0));
  EXPECT_EQ(Band(1)->GetCaption(), "A");
  EXPECT_EQ(Band(1)->GetWidth(), 300);
  EXPECT_EQ(Band(1)->GetAlignment(), taRightJustify);
  EXPECT_FALSE(Band(1)->GetDisableDragging());
}

}  // namespace
