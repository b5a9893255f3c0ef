// The oracle's keys of board objects: what an object is, whose and where, relative to
// the board's origin, and what the drawing state, the nets and the pad stack gave it; the
// lines a warning names, and a net known again under its new name.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

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

TEST(MutationOracle, ObjectKeysHoldTheDrawingStateButNotTheMove) {
  const std::string here = "X=0(0mil) Y=0(0mil)", moved = "X=100(0.01mil) Y=200(0.02mil)";
  const std::string track = "#2 track owner=#1 net=- layer=1(TopLayer) X=10(0mil) Y=20(0mil) "
                            "X2=30(0mil) Y2=40(0mil) Width=5(0mil)\n";
  const auto with = [](std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
  };
  const struct {
    const char* Name;
    std::string A, B;
    bool Same, SameUnplaced, SameBase;
  } cases[] = {
      {"a track moved with the board", Dump(here, track),
       Dump(moved, "#9 track owner=#1 net=- layer=1(TopLayer) X=110(0mil) Y=220(0mil) X2=130(0mil) "
                   "Y2=240(0mil) Width=5(0mil)\n"),
       true, true, true},
      {"a track on another layer", Dump(here, track), Dump(here, with(track, "layer=1(", "layer=33(")),
       false, false, true},
      {"a wider track (a width scales with the unit: not compared without places)", Dump(here, track),
       Dump(here, with(track, "Width=5(", "Width=9(")), false, true, true},
      {"a track elsewhere on the same side of the origin", Dump(here, track),
       Dump(here, with(track, "X=10(", "X=11(")), false, true, false},
      {"a track mirrored", Dump(here, track), Dump(here, with(track, "X=10(", "X=-10(")), false, false, false},
      {"a track of a net and one of none",
       Dump(here, std::string(kNet) + with(track, "net=-", "net=#5")), Dump(here, std::string(kNet) + track),
       false, false, true},
      {"a text turned otherwise (its place follows)",
       Dump(here, "#2 text owner=#1 net=- layer=33(TopOverlay) X=5(0mil) Y=6(0mil) Size=50(0mil) "
                  "Rotation=0 MirrorFlag=0 Text=\"A \\\"B\\\" C\"\n"),
       Dump(here, "#3 text owner=#1 net=- layer=33(TopOverlay) X=7(0mil) Y=8(0mil) Size=50(0mil) "
                  "Rotation=90 MirrorFlag=0 Text=\"A \\\"B\\\" C\"\n"),
       false, false, true},
      {"a pad of another shape",
       Dump(here, std::string(kNet) + kComponent +
                      "#8 pad owner=#6 net=#5 layer=74(MultiLayer) X=1(0mil) Y=2(0mil) "
                      "TopXSize=50(0mil) TopShape=1 Name=\"1\" Rotation=90\n"),
       Dump(here, std::string(kNet) + kComponent +
                      "#8 pad owner=#6 net=#5 layer=74(MultiLayer) X=1(0mil) Y=2(0mil) "
                      "TopXSize=50(0mil) TopShape=2 Name=\"1\" Rotation=90\n"),
       false, false, true},
      {"a pad without its net",
       Dump(here, std::string(kNet) + kComponent +
                      "#8 pad owner=#6 net=#5 layer=74(MultiLayer) X=1(0mil) Y=2(0mil) Name=\"1\"\n"),
       Dump(here, std::string(kNet) + kComponent +
                      "#8 pad owner=#6 net=- layer=74(MultiLayer) X=1(0mil) Y=2(0mil) Name=\"1\"\n"),
       false, false, true},
      {"a component of another definition", Dump(here, kComponent),
       Dump(here, std::string(kComponent).replace(std::string(kComponent).find("RES0805"), 7, "CAP0805")),
       false, false, false},
      {"a polygon's outline moved with the board",
       Dump(here, "#2 polygon owner=#1 net=- layer=1(TopLayer) PolygonByte2=3 TrackWidth=5(0mil) "
                  "PointCount=1 [0 10(0mil) 20(0mil)] [0 30(0mil) 40(0mil)]\n"),
       Dump(moved, "#2 polygon owner=#1 net=- layer=1(TopLayer) PolygonByte2=3 TrackWidth=5(0mil) "
                   "PointCount=1 [0 110(0mil) 220(0mil)] [0 130(0mil) 240(0mil)]\n"),
       true, true, true},
  };
  for (const auto& c : cases) {
    const TObjectKeys a = ObjectKeys(c.A, /*placed=*/true), b = ObjectKeys(c.B, /*placed=*/true);
    EXPECT_EQ(a == b, c.Same) << c.Name;
    EXPECT_EQ(ObjectKeys(c.A, /*placed=*/false) == ObjectKeys(c.B, /*placed=*/false), c.SameUnplaced)
        << c.Name;
    // The objects known again.
    const auto bases = [](const TObjectKeys& keys) {
      std::set<std::string> known;
      for (const auto& [key, count] : keys)
        known.insert(KeyBase(key));
      return known;
    };
    EXPECT_EQ(bases(a) == bases(b), c.SameBase) << c.Name;
  }
}

// Rule 7 reads the lines a warning names in each of the report's ways of naming them.
TEST(MutationOracle, NamedLinesAreEveryLineAWarningNames) {
  using TSpans = std::vector<std::pair<long, long>>;
  const struct {
    const char* Warning;
    TSpans Lines;
  } cases[] = {
      {"WARNING: Text \"%\" at line 12 left out: a coordinate or size could not be read", {{12, 12}}},
      {"WARNING: The PAD_DEF SMD0805 at line 150 is given again: the one at line 140 holds",
       {{150, 150}, {140, 140}}},
      {"WARNING: The block ZZ at line 327 lies inside the CN block: it was skipped with what follows "
       "it (lines 327 to 453)",
       {{327, 327}, {327, 453}}},
      {"WARNING: The layer COMP is declared at lines 26 and 41", {{26, 26}, {41, 41}}},
      {"WARNING: Pins at line 4 and line 9, lines 11, 12 and 14",
       {{4, 4}, {9, 9}, {11, 11}, {12, 12}, {14, 14}}},
      {"WARNING: Mismatch on number of nets and number of pin on component D1", {}},
      {"WARNING: the deadline 3 and the outline 4 name no line", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NamedLines(c.Warning), c.Lines) << c.Warning;
}

// A net renamed everywhere is known again under its new name: on its pads and tracks, as
// itself, and in the text that shows it on the net (not a text that only reads alike).
TEST(MutationOracle, ARenamedNetIsKnownAgainUnderItsNewName) {
  const auto board = [](const std::string& name) {
    return Dump("X=0(0mil) Y=0(0mil)",
                "#5 net owner=#1 net=- layer=0(NoLayer) Flags=0 Name=\"" + name + "\" NetByte1=0\n" +
                    kComponent +
                    "#8 pad owner=#6 net=#5 layer=74(MultiLayer) X=1(0mil) Y=2(0mil) Name=\"1\"\n"
                    "#9 track owner=#1 net=#5 layer=1(TopLayer) X=10(0mil) Y=20(0mil) X2=30(0mil) "
                    "Y2=40(0mil) Width=5(0mil)\n"
                    "#10 text owner=#1 net=#5 layer=33(TopOverlay) X=5(0mil) Y=6(0mil) Size=50(0mil) "
                    "Rotation=0 MirrorFlag=0 Text=\"" + name + "\"\n"
                    "#11 text owner=#1 net=- layer=33(TopOverlay) X=5(0mil) Y=6(0mil) Size=50(0mil) "
                    "Rotation=0 MirrorFlag=0 Text=\"GND\"\n");
  };
  TObjectKeys renamed;
  for (const auto& [key, count] : ObjectKeys(board("GND"), /*placed=*/true))
    renamed[RenamedKey(key, {{"GND", "1"}})] += count;
  EXPECT_EQ(renamed, ObjectKeys(board("1"), /*placed=*/true));
}

}  // namespace
