// The oracle's keys of board objects: what an object is, whose and where, relative to
// the board's origin, without what the drawing state gave it.
#include <gtest/gtest.h>

#include <string>

#include "tests/importer/MutationOracle.h"

namespace {

// A dump of one object (and the objects it refers to) on a board moved to `origin`.
std::string Dump(const std::string& origin, const std::string& objects) {
  return "board #1 \"C:\\\\Boards\\\\Hostile.PcbDoc\" current\n" + objects + "origin " + origin +
         "\nloose objects 0\n";
}

const char kNet[] = "#5 net owner=#1 net=- layer=0(NoLayer) Flags=0 Name=\"GND\" NetByte1=0\n";
const char kComponent[] =
    "#6 component owner=#1 net=- layer=1(TopLayer) X=1000(0.1mil) Y=2000(0.2mil) Rotation=90 "
    "NameText=#7 CommentText=#8 ComponentString=\"RES0805\"\n"
    "#7 text owner=- of=#6 net=- layer=33(TopOverlay) X=1(0mil) Y=2(0mil) Size=5(0mil) "
    "Text=\"R1\"\n";

TEST(MutationOracle, ObjectKeysLeaveOutTheDrawingStateAndTheMove) {
  const std::string here = "X=0(0mil) Y=0(0mil)", moved = "X=100(0.01mil) Y=200(0.02mil)";
  const struct {
    const char* Name;
    std::string A, B;
    bool Same, SameUnplaced;
  } cases[] = {
      {"a track moved with the board, wider, on another layer",
       Dump(here, "#2 track owner=#1 net=- layer=1(TopLayer) X=10(0mil) Y=20(0mil) X2=30(0mil) "
                  "Y2=40(0mil) Width=5(0mil)\n"),
       Dump(moved, "#9 track owner=#1 net=- layer=33(TopOverlay) X=110(0mil) Y=220(0mil) "
                   "X2=130(0mil) Y2=240(0mil) Width=9(0mil)\n"),
       true, true},
      {"a track elsewhere on the board",
       Dump(here, "#2 track owner=#1 net=- layer=1(TopLayer) X=10(0mil) Y=20(0mil) X2=30(0mil) "
                  "Y2=40(0mil)\n"),
       Dump(here, "#2 track owner=#1 net=- layer=1(TopLayer) X=11(0mil) Y=20(0mil) X2=30(0mil) "
                  "Y2=40(0mil)\n"),
       false, true},
      {"a track of a net and one of none",
       Dump(here, std::string(kNet) + "#2 track owner=#1 net=#5 layer=1(TopLayer) X=1(0mil) "
                                      "Y=2(0mil) X2=3(0mil) Y2=4(0mil)\n"),
       Dump(here, std::string(kNet) + "#2 track owner=#1 net=- layer=1(TopLayer) X=1(0mil) "
                                      "Y=2(0mil) X2=3(0mil) Y2=4(0mil)\n"),
       false, false},
      {"a text justified, sized and turned otherwise",
       Dump(here, "#2 text owner=#1 net=- layer=33(TopOverlay) X=5(0mil) Y=6(0mil) Size=50(0mil) "
                  "Rotation=0 MirrorFlag=0 Text=\"A \\\"B\\\" C\"\n"),
       Dump(moved, "#3 text owner=#1 net=- layer=34(BottomOverlay) X=7(0mil) Y=8(0mil) "
                   "Size=60(0mil) Rotation=90 MirrorFlag=1 Text=\"A \\\"B\\\" C\"\n"),
       true, true},
      {"a pad of a component with its net or without (the pad stack's sizes aside)",
       Dump(here, std::string(kNet) + kComponent +
                      "#8 pad owner=#6 net=#5 layer=1(TopLayer) X=1(0mil) Y=2(0mil) "
                      "TopXSize=50(0mil) Name=\"1\" Rotation=90\n"),
       Dump(here, std::string(kNet) + kComponent +
                      "#8 pad owner=#6 net=- layer=1(TopLayer) X=1(0mil) Y=2(0mil) "
                      "TopXSize=60(0mil) Name=\"1\" Rotation=90\n"),
       true, true},
      {"a component of another definition",
       Dump(here, kComponent),
       Dump(here, std::string(kComponent).replace(std::string(kComponent).find("RES0805"), 7, "CAP0805")),
       false, false},
      {"a polygon's outline moved with the board",
       Dump(here, "#2 polygon owner=#1 net=- layer=1(TopLayer) PolygonByte2=3 TrackWidth=5(0mil) "
                  "PointCount=1 [0 10(0mil) 20(0mil)] [0 30(0mil) 40(0mil)]\n"),
       Dump(moved, "#2 polygon owner=#1 net=- layer=1(TopLayer) PolygonByte2=3 TrackWidth=8(0mil) "
                   "PointCount=1 [0 110(0mil) 220(0mil)] [0 130(0mil) 240(0mil)]\n"),
       true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ObjectKeys(c.A, /*placed=*/true) == ObjectKeys(c.B, /*placed=*/true), c.Same) << c.Name;
    EXPECT_EQ(ObjectKeys(c.A, /*placed=*/false) == ObjectKeys(c.B, /*placed=*/false), c.SameUnplaced)
        << c.Name;
  }
}

}  // namespace
