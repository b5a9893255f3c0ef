// Component placement: direction 2 carries members and texts along, 0 does not.
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

class RaveloPlacement : public RaveloTest {
 protected:
  void SetUp() override {
    RaveloTest::SetUp();
    FComponent = PcbApiCreateObject(9);
    ASSERT_EQ(FPlace.Sync(1, FComponent), 0);
    FTrack = NewTrack(100, 0, 200, 0, 10, 1, FComponent);
    TText name;
    ASSERT_EQ(name.Sync(1, FPlace.NameText), 0);
    name.X = 0, name.Y = -50, name.Text = "U1";
    ASSERT_EQ(name.Sync(0, FPlace.NameText), 0);
  }
  void Place(uint8_t mode, int32_t x, int32_t y, double rotation) {
    FPlace.X = x, FPlace.Y = y, FPlace.Rotation = rotation;
    ASSERT_EQ(FPlace.Sync(mode, FComponent), 0);
  }
  TTrack Track() {
    TTrack t;
    EXPECT_EQ(t.Sync(1, FTrack), 0);
    return t;
  }
  TText Text(uint32_t handle) {
    TText t;
    EXPECT_EQ(t.Sync(1, handle), 0);
    return t;
  }

  uint32_t FComponent = 0, FTrack = 0;
  TComponent FPlace;
};

// A name text that is also a member of its component is carried once, not once as a
// member and again as the component's text.
TEST_F(RaveloPlacement, ATextThatIsAlsoAMemberMovesOnce) {
  ASSERT_EQ(PcbApiAddObjectToContainer(FComponent, FPlace.NameText), 0);
  Place(2, 1000, 0, 0);
  EXPECT_EQ(Text(FPlace.NameText).X, 1000);
  EXPECT_EQ(Track().X, 1100);
}

TEST_F(RaveloPlacement, DirectionTwoMovesAndTurnsMembersAndTexts) {
  Place(2, 1000, 2000, 90);
  TTrack t = Track();
  EXPECT_EQ(t.X, 1000);
  EXPECT_EQ(t.Y, 2100);
  EXPECT_EQ(t.X2, 1000);
  EXPECT_EQ(t.Y2, 2200);
  TText name = Text(FPlace.NameText);
  EXPECT_EQ(name.X, 1050);
  EXPECT_EQ(name.Y, 2000);
  EXPECT_EQ(name.Rotation, 90.0);
  TText comment = Text(FPlace.CommentText);
  EXPECT_EQ(comment.X, 1000);
  EXPECT_EQ(comment.Y, 2000);
  EXPECT_EQ(comment.Rotation, 90.0);

  // Placed again from where it stands: only the change counts.
  Place(2, 1000, 2000, 90);
  EXPECT_EQ(Track().Y, 2100);
  Place(2, 1000, 2000, 180);
  t = Track();
  EXPECT_EQ(t.X, 900);
  EXPECT_EQ(t.Y, 2000);
  EXPECT_EQ(Text(FPlace.NameText).Rotation, 180.0);
}

TEST_F(RaveloPlacement, PlacedPointsRoundTiesToEven) {
  auto via = [&](int32_t x) {
    const uint32_t handle = PcbApiCreateObject(3);
    TVia v;
    EXPECT_EQ(v.Sync(1, handle), 0);
    v.X = x, v.Y = 0;
    EXPECT_EQ(v.Sync(0, handle), 0);
    EXPECT_EQ(PcbApiAddObjectToContainer(FComponent, handle), 0);
    return handle;
  };
  const uint32_t one = via(1), three = via(3);
  Place(2, 1, 0, 60);  // x: 1 + 0.5 and 1 + 1.5
  TVia v;
  EXPECT_EQ(v.Sync(1, one), 0);
  EXPECT_EQ(v.X, 2);
  EXPECT_EQ(v.Y, 1);
  EXPECT_EQ(v.Sync(1, three), 0);
  EXPECT_EQ(v.X, 2);
  EXPECT_EQ(v.Y, 3);
}

TEST_F(RaveloPlacement, DirectionZeroStoresTheComponentOnly) {
  Place(0, 500, 600, 45);
  TTrack t = Track();
  EXPECT_EQ(t.X, 100);
  EXPECT_EQ(t.Y, 0);
  EXPECT_EQ(Text(FPlace.NameText).Y, -50);
  TComponent loaded;
  EXPECT_EQ(loaded.Sync(1, FComponent), 0);
  EXPECT_EQ(loaded.X, 500);
  EXPECT_EQ(loaded.Rotation, 45.0);
}

TEST_F(RaveloPlacement, LayerChangeDoesNotFlipMembers) {
  FPlace.Layer = 32;
  Place(2, 0, 0, 0);
  EXPECT_EQ(Track().Layer, 1);
  EXPECT_EQ(Track().X, 100);
}

TEST_F(RaveloPlacement, FullCirclesKeepTheirAnglesOtherArcsTurn) {
  auto arc = [&](double start, double end) {
    const uint32_t handle = PcbApiCreateObject(1);
    TArc a;
    a.X = 10, a.StartAngle = start, a.EndAngle = end, a.Radius = 5;
    EXPECT_EQ(a.Sync(0, handle), 0);
    EXPECT_EQ(PcbApiAddObjectToContainer(FComponent, handle), 0);
    return handle;
  };
  const uint32_t circle = arc(0, 360), quarter = arc(300, 390);
  Place(2, 0, 0, 90);
  TArc a;
  EXPECT_EQ(a.Sync(1, circle), 0);
  EXPECT_EQ(a.StartAngle, 0.0);
  EXPECT_EQ(a.EndAngle, 360.0);
  EXPECT_EQ(a.X, 0);
  EXPECT_EQ(a.Y, 10);
  EXPECT_EQ(a.Sync(1, quarter), 0);
  EXPECT_EQ(a.StartAngle, 30.0);
  EXPECT_EQ(a.EndAngle, 120.0);
}

TEST_F(RaveloPlacement, PolygonVerticesAreCarried) {
  const uint32_t polygon = PcbApiCreateObject(10);
  TPolygon g;
  g.Segments[0].X = 10, g.Segments[1].X = 20, g.Segments[1].Y = 5, g.Segments[2].X = 10;
  g.PointCount = 2;
  EXPECT_EQ(g.Sync(0, polygon), 0);
  EXPECT_EQ(PcbApiAddObjectToContainer(FComponent, polygon), 0);
  Place(2, 100, 100, 180);
  EXPECT_EQ(g.Sync(1, polygon), 0);
  EXPECT_EQ(g.Segments[0].X, 90);
  EXPECT_EQ(g.Segments[1].X, 80);
  EXPECT_EQ(g.Segments[1].Y, 95);
  EXPECT_EQ(g.Segments[2].X, 90);
}

}  // namespace
