// Bounding rectangles by kind, the text extent model, and unions.
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

using RaveloGeometry = RaveloTest;

TEST_F(RaveloGeometry, PrimitiveExtents) {
  EXPECT_EQ(Rect(NewTrack(100, 50, 20, 200, 11)), (TRect{15, 45, 105, 205}));  // half of 11 is 5

  const uint32_t arc = PcbApiCreateObject(1);
  TArc a;
  a.X = 1000, a.Y = 2000, a.Radius = 300, a.LineWidth = 40;
  EXPECT_EQ(a.Sync(0, arc), 0);
  EXPECT_EQ(Rect(arc), (TRect{680, 1680, 1320, 2320}));

  const uint32_t fill = PcbApiCreateObject(6);
  TFill f;
  f.X = 500, f.Y = -10, f.X2 = -500, f.Y2 = 10;
  EXPECT_EQ(f.Sync(0, fill), 0);
  EXPECT_EQ(Rect(fill), (TRect{-500, -10, 500, 10}));

  const uint32_t via = PcbApiCreateObject(3);
  TVia v;
  EXPECT_EQ(v.Sync(1, via), 0);
  v.X = 1000000, v.Y = 0;
  EXPECT_EQ(v.Sync(0, via), 0);
  EXPECT_EQ(Rect(via), (TRect{750000, -250000, 1250000, 250000}));

  const uint32_t pad = PcbApiCreateObject(2);
  TPad p;
  EXPECT_EQ(p.Sync(1, pad), 0);
  p.X = 0, p.Y = 0, p.TopXSize = 100, p.TopYSize = 60;
  EXPECT_EQ(p.Sync(0, pad), 0);
  EXPECT_EQ(Rect(pad), (TRect{-50, -30, 50, 30}));

  const uint32_t polygon = PcbApiCreateObject(10);
  TPolygon g;
  const int32_t points[4][2] = {{0, 0}, {400, -100}, {300, 700}, {0, 0}};
  for (int i = 0; i < 4; ++i)
    g.Segments[i].X = points[i][0], g.Segments[i].Y = points[i][1];
  g.PointCount = 3;
  EXPECT_EQ(g.Sync(0, polygon), 0);
  EXPECT_EQ(Rect(polygon), (TRect{0, -100, 400, 700}));
  EXPECT_EQ(Rect(PcbApiCreateObject(8)), (TRect{0, 0, 0, 0}));  // a net has no extent
}

// Three characters of size 10: W = 30, H = 10.
TEST_F(RaveloGeometry, TextExtentAtTheFourRotations) {
  EXPECT_EQ(Rect(NewText(100, 200, "abc", 10, 0)), (TRect{100, 200, 130, 210}));
  EXPECT_EQ(Rect(NewText(100, 200, "abc", 10, 90)), (TRect{90, 200, 100, 230}));
  EXPECT_EQ(Rect(NewText(100, 200, "abc", 10, 180)), (TRect{70, 190, 100, 200}));
  EXPECT_EQ(Rect(NewText(100, 200, "abc", 10, 270)), (TRect{100, 170, 110, 200}));
  EXPECT_EQ(Rect(NewText(100, 200, "abc", 10, 450)), (TRect{90, 200, 100, 230}));
}

TEST_F(RaveloGeometry, MirroredTextFlipsAboutItsX) {
  EXPECT_EQ(Rect(NewText(100, 200, "abc", 10, 0, true)), (TRect{70, 200, 100, 210}));
  EXPECT_EQ(Rect(NewText(100, 200, "abc", 10, 90, true)), (TRect{100, 200, 110, 230}));
  EXPECT_EQ(Rect(NewText(100, 200, "", 10, 0)), (TRect{100, 200, 100, 210}));
}

TEST_F(RaveloGeometry, TextAtOtherAnglesTakesTheTurnedCorners) {
  // Corners (0,0) (20,0) (20,10) (0,10) turned by 30 degrees.
  EXPECT_EQ(Rect(NewText(0, 0, "ab", 10, 30)), (TRect{-5, 0, 17, 19}));
}

TEST_F(RaveloGeometry, ComponentAndBoardAreUnions) {
  EXPECT_EQ(Rect(FBoard), (TRect{0, 0, 0, 0}));  // empty board
  const uint32_t component = PcbApiCreateObject(9);
  NewTrack(-100, 0, 100, 0, 0, 1, component);
  // The two texts are empty, at 0,0 with height 600000.
  EXPECT_EQ(Rect(component), (TRect{-100, 0, 100, 600000}));
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, component), 0);
  NewTrack(5000, 5000, 6000, 700000, 0, 1, FBoard);
  NewTrack(-7000, -7000, -7000, -7000, 0, 1);  // in no container
  EXPECT_EQ(Rect(FBoard), (TRect{-100, 0, 6000, 700000}));
}

}  // namespace
