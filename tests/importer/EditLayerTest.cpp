// The options dialog's layer drop-down list, without a window: its State read from the
// text and written as an index among the offered layers.
#include <gtest/gtest.h>

#include "importer/EditLayer.h"

namespace {

TEST(EditLayer, StateIsTheLayerNamedByTheText) {
  TEditLayer box(nullptr);
  box.SetText("Bottom Layer");
  EXPECT_EQ(box.GetState(), eBottomLayer);
  box.SetText("Not Imported");
  EXPECT_EQ(box.GetState(), eIgnoreLayer);
  box.SetText("");
  EXPECT_EQ(box.GetState(), eIgnoreLayer);
}

TEST(EditLayer, WritingStateSelectsByTheOfferedLayersUpToIt) {
  TEditLayer box(nullptr);
  EXPECT_TRUE(box.GetOfferedLayers().none());
  box.SetState(eTopLayer);
  EXPECT_EQ(box.GetItemIndex(), -1) << "nothing offered: no selection";

  TEditLayer::TLayerSet offered;
  for (TLayer layer : {eIgnoreLayer, eTopLayer, eBottomLayer, eTopOverlay})
    offered.set(layer);
  box.SetOfferedLayers(offered);
  for (const char* name : {"Any Layer", "Top Layer", "Bottom Layer", "Top Overlay"})
    box.GetItems()->Add(name);
  box.SetState(eIgnoreLayer);
  EXPECT_EQ(box.GetItemIndex(), 0);
  box.SetState(eBottomLayer);
  EXPECT_EQ(box.GetItemIndex(), 2);
  box.SetState(eMidLayer5);  // not offered: the last offered entry below it
  EXPECT_EQ(box.GetItemIndex(), 1);
  box.SetState(eViaHoleLayer);
  EXPECT_EQ(box.GetItemIndex(), 3);
}

}  // namespace
