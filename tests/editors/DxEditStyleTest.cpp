// Edit styles and style controllers: where a style value comes from, which editors a
// controller tells, and how updates and assignment bundle the notifications.
#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "editors/DxEditStyle.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

class DxEditStyleTest : public testing::Test {
 protected:
  void SetUp() override { Default = TdxEditStyle::DefaultStyleController(); }
  void TearDown() override { Default->RestoreDefaults(); }
  TdxEditStyleController* Default = nullptr;
};

// Counts the controller's OnStyleChanged per listener.
struct TStyleEventLog {
  std::vector<TObject*> Links;
  void Changed(TObject* /*sender*/, TObject* link) { Links.push_back(link); }
};

TEST_F(DxEditStyleTest, NewEditorReadsTheDefaultControllersValues) {
  ASSERT_NE(Default, nullptr);
  TRecordingEdit edit(nullptr);
  TdxEditStyle* style = edit.GetStyle();
  EXPECT_EQ(style->GetBorderStyle(), xbs3D);
  EXPECT_EQ(style->GetEdges(), dxAllEdges);
  EXPECT_EQ(style->GetBorderColor(), clWindowFrame);
  EXPECT_EQ(style->GetButtonStyle(), btsDefault);
  EXPECT_EQ(style->GetButtonTransparence(), ebtNone);
  EXPECT_FALSE(style->GetHotTrack());
  EXPECT_FALSE(style->GetShadow());
  EXPECT_TRUE(style->GetAssignedValues().Empty());
}

TEST_F(DxEditStyleTest, ValuesComeFromTheLocalValueThenOwnControllerThenDefault) {
  TRecordingEdit edit(nullptr);
  TdxEditStyleController own(nullptr);
  Default->SetBorderStyle(xbsFlat);
  EXPECT_EQ(edit.GetStyle()->GetBorderStyle(), xbsFlat);
  own.SetBorderStyle(xbsSingle);
  edit.SetStyleController(&own);
  EXPECT_EQ(edit.GetStyle()->GetBorderStyle(), xbsSingle);
  edit.GetStyle()->SetBorderStyle(xbsThick);
  EXPECT_EQ(edit.GetStyle()->GetBorderStyle(), xbsThick);
  EXPECT_TRUE(edit.GetStyle()->IsStored(svBorderStyle));
  EXPECT_FALSE(edit.GetStyle()->IsStored(svEdges));
  // Clearing the bit makes the value follow the controller again.
  edit.GetStyle()->SetAssignedValues({});
  EXPECT_EQ(edit.GetStyle()->GetBorderStyle(), xbsSingle);
  edit.SetStyleController(nullptr);
  EXPECT_EQ(edit.GetStyle()->GetBorderStyle(), xbsFlat);
}

TEST_F(DxEditStyleTest, DefaultControllerChangeRestylesOnlyFollowingEditors) {
  TRecordingEdit follower(nullptr), local(nullptr), linked(nullptr);
  TdxEditStyleController own(nullptr);
  local.GetStyle()->SetBorderStyle(xbsSingle);
  linked.SetStyleController(&own);
  TStyleEventLog log;
  Default->OnStyleChanged = TdxStyleChangedEvent::Bind<&TStyleEventLog::Changed>(&log);
  follower.StyleChanges = local.StyleChanges = linked.StyleChanges = 0;

  Default->SetBorderStyle(xbsNone);
  Default->OnStyleChanged = nullptr;

  EXPECT_EQ(follower.StyleChanges, 1);
  EXPECT_EQ(follower.GetStyle()->GetBorderStyle(), xbsNone);
  EXPECT_EQ(local.GetStyle()->GetBorderStyle(), xbsSingle);
  EXPECT_EQ(linked.StyleChanges, 0) << "an editor linked to another controller does not react";
  EXPECT_EQ(std::count(log.Links.begin(), log.Links.end(), &linked), 0);
  EXPECT_EQ(std::count(log.Links.begin(), log.Links.end(), &follower), 1);
}

TEST_F(DxEditStyleTest, WritingAnAssignedValueAgainChangesNothing) {
  TRecordingEdit edit(nullptr);
  edit.StyleChanges = 0;
  edit.GetStyle()->SetShadow(true);
  edit.GetStyle()->SetShadow(true);
  EXPECT_EQ(edit.StyleChanges, 1);
  // A value equal to the controller's is still assigned locally.
  edit.GetStyle()->SetBorderStyle(xbs3D);
  EXPECT_EQ(edit.StyleChanges, 2);
  EXPECT_TRUE(edit.GetStyle()->IsStored(svBorderStyle));
  Default->SetBorderStyle(xbsFlat);
  EXPECT_EQ(edit.GetStyle()->GetBorderStyle(), xbs3D);
}

TEST_F(DxEditStyleTest, UpdatesAndAssignTellEachListenerOnce) {
  TdxEditStyleController own(nullptr);
  TRecordingEdit a(nullptr), b(nullptr);
  a.SetStyleController(&own);
  b.SetStyleController(&own);
  a.StyleChanges = b.StyleChanges = 0;
  own.BeginUpdate();
  own.SetBorderColor(clRed);
  own.SetHotTrack(true);
  own.SetEdges(TdxEditEdges{edgLeft});
  EXPECT_EQ(a.StyleChanges, 0) << "no listener is told inside an update";
  own.EndUpdate();
  EXPECT_EQ(a.StyleChanges, 1);
  EXPECT_EQ(b.StyleChanges, 1);

  TdxEditStyleController source(nullptr);
  source.SetShadow(true);
  own.Assign(&source);
  EXPECT_EQ(a.StyleChanges, 2);
  EXPECT_TRUE(own.GetShadow());
  EXPECT_FALSE(own.GetHotTrack());
  EXPECT_EQ(own.GetEdges(), dxAllEdges);

  own.SetShadow(true);  // unchanged value: nobody is told
  EXPECT_EQ(a.StyleChanges, 2);
  own.RestoreDefaults();
  EXPECT_EQ(a.StyleChanges, 3);
  EXPECT_FALSE(own.GetShadow());
}

TEST_F(DxEditStyleTest, AssignMarksAllSevenValuesAssigned) {
  TRecordingEdit a(nullptr), b(nullptr);
  a.GetStyle()->SetHotTrack(true);
  b.GetStyle()->Assign(a.GetStyle());
  EXPECT_EQ(b.GetStyle()->GetAssignedValues().Bits(), 0x7Fu);
  EXPECT_TRUE(b.GetStyle()->GetHotTrack());
  EXPECT_EQ(b.GetStyle()->GetBorderStyle(), xbs3D);
  b.GetStyle()->RestoreDefaults();
  EXPECT_TRUE(b.GetStyle()->GetAssignedValues().Empty());
  EXPECT_FALSE(b.GetStyle()->GetHotTrack());
}

TEST_F(DxEditStyleTest, FreedControllerUnlinksItsEditors) {
  TRecordingEdit edit(nullptr);
  auto* own = new TdxEditStyleController(nullptr);
  own->SetBorderStyle(xbsSingle);
  edit.SetStyleController(own);
  EXPECT_EQ(own->GetListenerCount(), 1);
  delete own;
  EXPECT_EQ(edit.GetStyleController(), nullptr);
  EXPECT_EQ(edit.GetStyle()->GetBorderStyle(), xbs3D);
}

TEST_F(DxEditStyleTest, FreedEditorLeavesItsControllers) {
  TdxEditStyleController own(nullptr);
  const int defaults = Default->GetListenerCount();
  auto* edit = new TRecordingEdit(nullptr);
  edit->SetStyleController(&own);
  EXPECT_EQ(Default->GetListenerCount(), defaults + 1);
  delete edit;
  EXPECT_EQ(own.GetListenerCount(), 0);
  EXPECT_EQ(Default->GetListenerCount(), defaults);
}

TEST_F(DxEditStyleTest, ListenerLeavingWhileTheControllerTellsEndsTheRound) {
  // Regression: the listener loop read past the list when a listener left it while
  // being told (the count was read once before the loop).
  TdxEditStyleController own(nullptr);
  auto* first = new TRecordingEdit(nullptr);
  TRecordingEdit second(nullptr);
  first->SetStyleController(&own);
  second.SetStyleController(&own);
  struct TFreer {
    TRecordingEdit* Doomed;
    void Changed(TObject*, TObject* link) {
      if (link == Doomed) {
        Doomed = nullptr;
        delete static_cast<TRecordingEdit*>(link);
      }
    }
  } freer{first};
  own.OnStyleChanged = TdxStyleChangedEvent::Bind<&TFreer::Changed>(&freer);
  EXPECT_NO_THROW(own.SetShadow(true));
  EXPECT_EQ(own.GetListenerCount(), 1);
}

TEST_F(DxEditStyleTest, LoadingControllerWaitsForLoaded) {
  TComponent root(nullptr);
  TRecordingEdit edit(nullptr);
  BeginLoading(&root);
  auto* own = new TdxEditStyleController(&root);
  edit.SetStyleController(own);
  edit.StyleChanges = 0;
  own->SetBorderStyle(xbsFlat);
  EXPECT_EQ(edit.StyleChanges, 0);
  EndLoading(&root);
  EXPECT_EQ(edit.StyleChanges, 1);
  edit.SetStyleController(nullptr);
}

}  // namespace
