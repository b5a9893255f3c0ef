// The proxies in a process without the PCB server: every host call keeps its default, so
// fields keep their values and Synchronize reports 0.
#include <gtest/gtest.h>

#include "pcb/PcbBoard.h"
#include "pcb/PcbBookkeeping.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbObjectFactory.h"
#include "pcb/PcbPad.h"
#include "pcb/PcbPrimitives.h"

namespace {

TEST(ProxyUnbound, FieldsKeepTheirValues) {
  TPcbTrack track(5);
  track.SetX(10);
  track.SetWidth(20);
  EXPECT_EQ(track.Synchronize(1), 0);
  EXPECT_EQ(track.GetX(), 10);
  EXPECT_EQ(track.GetWidth(), 20);
  TPcbPad pad(5);
  pad.SetStackMode(2);
  pad.SetLayerXSize(3, 7);
  EXPECT_EQ(pad.Synchronize(1), 0);
  EXPECT_EQ(pad.GetLayerXSize(3), 7);
  EXPECT_EQ(pad.GetXSizeOnLayer(3), 7);  // status 0 from the unbound query, nothing written
  TPcbComponent component(5);
  EXPECT_EQ(component.Synchronize(2), 0);
}

TEST(ProxyUnbound, ClassMembersReportThePastTheEndStatus) {
  TPCBObjectClass objectClass(5);
  objectClass.GetMembers()->Add("kept until loaded");
  EXPECT_EQ(objectClass.Synchronize(0), 1);
  EXPECT_EQ(objectClass.Synchronize(1), 1);
  EXPECT_EQ(objectClass.GetMembers()->GetCount(), 0);
}

TEST(ProxyUnbound, FactoryAndAccessorsGiveNothing) {
  EXPECT_EQ(CreatePcbObjectFromHandle(5), nullptr);
  EXPECT_EQ(GetObjectX(5), 0);
  EXPECT_EQ(GetObjectText(5), "");
  SetObjectX(5, 3);
}

TEST(ProxyUnbound, BoardKeepsItsDefaultsAndHasNoPairs) {
  TPcbBoard board(5);
  EXPECT_EQ(board.Synchronize(1), 0);
  EXPECT_EQ(board.GetLayerPairCount(), 0);
  EXPECT_EQ(board.GetLayers(1)->GetName(), "TopLayer");
  EXPECT_EQ(board.GetLayers(82)->GetName(), "ViaHoleLayer");
  EXPECT_EQ(board.GetLayers(7)->GetCopperThickness(), 14000);
  EXPECT_TRUE(board.GetLayers(39)->Is<TInternalPlane>());
  EXPECT_FALSE(board.GetLayers(55)->Is<TInternalPlane>());
  EXPECT_EQ(ObjectAs<TInternalPlane>(board.GetLayers(54))->GetNetName(), "(No Net)");
  EXPECT_EQ(board.GetTopDielectricMaterial(), "FR-4");
  EXPECT_EQ(board.GetBottomDielectricHeight(), 126000);
  EXPECT_THROW(board.GetLayers(0), EListError);
  EXPECT_THROW(board.GetLayers(83), EListError);
}

}  // namespace
