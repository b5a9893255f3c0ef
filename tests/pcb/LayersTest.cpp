// Layer numbers, identifiers and display names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pcb/Layers.h"

namespace {

TEST(Layers, EnumerationFollowsTheHostsNumbers) {
  static_assert(sizeof(TLayer) == 1);
  EXPECT_EQ(eIgnoreLayer, 0);
  EXPECT_EQ(eTopLayer, 1);
  EXPECT_EQ(eMidLayer1, 2);
  EXPECT_EQ(eMidLayer30, 31);
  EXPECT_EQ(eBottomLayer, 32);
  EXPECT_EQ(eTopOverlay, 33);
  EXPECT_EQ(eBottomSolder, 38);
  EXPECT_EQ(eInternalPlane1, 39);
  EXPECT_EQ(eInternalPlane16, 54);
  EXPECT_EQ(eDrillGuide, 55);
  EXPECT_EQ(eKeepOutLayer, 56);
  EXPECT_EQ(eMechanical1, 57);
  EXPECT_EQ(eMechanical16, 72);
  EXPECT_EQ(eDrillDrawing, 73);
  EXPECT_EQ(eMultiLayer, 74);
  EXPECT_EQ(eConnectLayer, 75);
  EXPECT_EQ(eBackGroundLayer, 76);
  EXPECT_EQ(eGridColor10, 80);
  EXPECT_EQ(eViaHoleLayer, 82);
  EXPECT_TRUE(IsSignalLayer(eTopLayer) && IsSignalLayer(eBottomLayer));
  EXPECT_FALSE(IsSignalLayer(eIgnoreLayer) || IsSignalLayer(eTopOverlay));
  EXPECT_TRUE(IsInternalPlane(39) && IsInternalPlane(54) && !IsInternalPlane(55));
}

TEST(Layers, NumberedNamesFollowTheirPattern) {
  for (int i = 1; i <= 30; ++i) {
    EXPECT_EQ(LayerIdentifiers[1 + i], "MidLayer" + std::to_string(i));
    EXPECT_EQ(LayerDisplayNames[1 + i], "Mid Layer " + std::to_string(i));
  }
  for (int i = 1; i <= 16; ++i) {
    EXPECT_EQ(LayerIdentifiers[38 + i], "InternalPlane" + std::to_string(i));
    EXPECT_EQ(LayerDisplayNames[38 + i], "Internal Plane " + std::to_string(i));
    EXPECT_EQ(LayerIdentifiers[56 + i], "Mechanical" + std::to_string(i));
    EXPECT_EQ(LayerDisplayNames[56 + i], "Mechanical Layer " + std::to_string(i));
  }
  for (const char* identifier : LayerIdentifiers)
    EXPECT_LE(std::strlen(identifier), 20u) << identifier;
  EXPECT_STREQ(LayerIdentifiers[0], "NoLayer");
  EXPECT_STREQ(LayerIdentifiers[76], "BackGroundLayer");
  EXPECT_STREQ(LayerIdentifiers[82], "ViaHoleLayer");
  EXPECT_STREQ(LayerDisplayNames[37], "Top Solder Mask");
  EXPECT_STREQ(LayerDisplayNames[77], "DRC Errors");
}

TEST(Layers, LayerToStringGivesDisplayNames) {
  EXPECT_EQ(LayerToString(0), "Any Layer");
  EXPECT_EQ(LayerToString(76), "BackGround");
  EXPECT_EQ(LayerToString(82), "Via Hole Layer");
  EXPECT_EQ(LayerToString(83), "");
  EXPECT_EQ(LayerToString(255), "");
}

TEST(Layers, StringToLayerIgnoresCaseButNotBlanks) {
  EXPECT_EQ(StringToLayer("background"), 76);
  EXPECT_EQ(StringToLayer("Connect Layer"), 75);
  EXPECT_EQ(StringToLayer("tOP lAYER"), 1);
  EXPECT_EQ(StringToLayer(" Top Layer"), 0);
  EXPECT_EQ(StringToLayer("Top Layer "), 0);
  EXPECT_EQ(StringToLayer(""), 0);
  EXPECT_EQ(StringToLayer("ANY LAYER"), 0);
  EXPECT_EQ(StringToLayer("TopLayer"), 0);  // identifiers are not display names
  for (int layer = 1; layer < LayerCount; ++layer)
    EXPECT_EQ(StringToLayer(LayerToString(layer)), layer) << layer;
}

}  // namespace
