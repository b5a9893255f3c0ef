// A primitive's host layer follows the layer map as it stands at each asking, although
// the map's answers are remembered between primitives.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "classlib/StringList.h"
#include "importer/KivoObject.h"

namespace {

class HostLayer : public testing::Test {
 protected:
  void SetUp() override {
    Add(FMap, "TOP", eTopLayer);
    Add(FMap, "SILK", eTopOverlay);
  }
  void Add(TStringList& map, const char* name, TLayer layer) {
    FEntries.push_back(std::make_unique<KivoLayerEntry>(0, layer));
    map.AddObject(name, FEntries.back().get());
  }
  TLayer Of(TStringList& map, const char* layerName) {
    TKivoObject object;
    object.SetLayerMap(&map);
    object.SetLayerName(layerName);
    return object.GetHostLayer();
  }

  std::vector<std::unique_ptr<KivoLayerEntry>> FEntries;
  TStringList FMap;
};

TEST_F(HostLayer, FollowsChangesOfTheMapsStringsAndCaseRule) {
  EXPECT_EQ(Of(FMap, "silk"), eTopOverlay);
  EXPECT_EQ(Of(FMap, "SILK"), eTopOverlay);
  EXPECT_EQ(Of(FMap, "BOTTOM"), eIgnoreLayer);
  FMap.SetCaseSensitive(true);
  EXPECT_EQ(Of(FMap, "silk"), eIgnoreLayer);
  FMap.SetCaseSensitive(false);
  FMap.Put(1, "OTHER");
  EXPECT_EQ(Of(FMap, "silk"), eIgnoreLayer);
  Add(FMap, "BOTTOM", eBottomLayer);
  EXPECT_EQ(Of(FMap, "BOTTOM"), eBottomLayer);
  FMap.Delete(0);  // the same name now stands at another index
  EXPECT_EQ(Of(FMap, "bottom"), eBottomLayer);
  EXPECT_EQ(Of(FMap, "TOP"), eIgnoreLayer);
}

TEST_F(HostLayer, AnotherMapWithTheSameNamesGivesItsOwnEntries) {
  EXPECT_EQ(Of(FMap, "TOP"), eTopLayer);
  TStringList other;
  Add(other, "TOP", eBottomLayer);
  Add(other, "SILK", eBottomOverlay);
  EXPECT_EQ(Of(other, "TOP"), eBottomLayer);
  static_cast<KivoLayerEntry*>(FMap.GetObject(0))->SetHostLayer(eMidLayer1);
  EXPECT_EQ(Of(FMap, "TOP"), eMidLayer1);
}

}  // namespace
