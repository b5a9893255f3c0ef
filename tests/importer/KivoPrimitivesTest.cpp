// The graphic primitives translated into a board of the stand-in PCB server: what each
// creates, with which fields, in which containers, and what the report says about it.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "importer/KivoPrimitives.h"
#include "pcb/BoardUnits.h"
#include "pcb/PcbApi.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/importer/KivoModelTestSupport.h"
#include "tests/proxies/ProxyTestSupport.h"

namespace {

std::string Mil(int32_t value) { return CoordToUnitString(/*imperial=*/true, value); }
std::string At(int32_t x, int32_t y) { return Mil(x) + ", " + Mil(y); }
std::string H(uint32_t handle) { return "#" + Num(handle); }

class KivoPrimitives : public KivoModelTest {
 protected:
  // The handles the translation created, from the create calls' results in the call
  // log (the object forgets them once they are in their containers).
  std::vector<uint32_t> Created(const std::string& log) {
    std::vector<uint32_t> handles;
    for (const std::string& line : Calls(log, "PcbApi_CreateObject"))
      handles.push_back(std::stoul(line.substr(line.rfind('=') + 2)));
    return handles;
  }
};

TEST_F(KivoPrimitives, AnUnmappedLayerCreatesAndReportsNothing) {
  const uint32_t net = NewNet();
  for (const char* layer : {"NOPE", "UNUSED", ""}) {
    FState.SetLayerName(layer);
    TKivoArc arc(&FState);
    TKivoCircle circle(&FState);
    TKivoFilledRect fill(&FState);
    TKivoLine line(&FState);
    line.AddVertex(0, 0), line.AddVertex(100, 0);
    TKivoText text(&FState);
    text.SetText("T");
    TKivoPoly poly(&FState);
    poly.AddVertex(0, 0), poly.AddVertex(100, 0), poly.AddVertex(0, 100);
    for (TKivoObject* object : std::initializer_list<TKivoObject*>{&arc, &circle, &fill, &line,
                                                                   &text, &poly}) {
      Translate(*object, FBoard, net);
      EXPECT_EQ(CallLog(), "") << layer << " " << object->ClassType()->ClassName();
      EXPECT_TRUE(object->GetCreatedHandles().empty());
    }
    EXPECT_EQ(poly.GetWidth(), 200000) << "an untranslated polygon keeps its width";
  }
  // No map at all: nothing either.
  TKivoArc arc;
  Translate(arc, FBoard, net);
  EXPECT_EQ(CallLog(), "");
  EXPECT_EQ(ImportEvents(), "");
}

TEST_F(KivoPrimitives, TheLayerNameIsLookedUpWithoutRegardToCase) {
  FState.SetLayerName("silk");
  TKivoCircle circle(&FState);
  Translate(circle, FBoard);
  ASSERT_EQ(Created(CallLog()).size(), 1u);
  EXPECT_TRUE(HasField(DumpObject(Created(CallLog())[0]), "layer", "33(TopOverlay)"));
}

TEST_F(KivoPrimitives, ArcFromCentreAndEndPoints) {
  const uint32_t net = NewNet();
  FState.SetWidth(0);
  TKivoArc arc(&FState);
  arc.SetCentre({10000, 20000});
  arc.SetStartPoint({10000, 70000});  // straight above: 90
  arc.SetEndPoint({10000, -30000});   // straight below: 270
  Translate(arc, FBoard, net);
  const std::string log = CallLog();
  const std::vector<uint32_t> handles = Created(log);
  ASSERT_EQ(handles.size(), 1u);
  const uint32_t h = handles[0];
  EXPECT_EQ(Calls(log, "PcbApi_CreateObject")[0], "PcbApi_CreateObject(1) = " + Num(h));
  ExpectFields(DumpObject(h), {{"owner", H(FBoard)}, {"net", H(net)}, {"layer", "1(TopLayer)"},
                               {"X", "10000"}, {"Y", "20000"}, {"Radius", "50000"},
                               {"StartAngle", "90"}, {"EndAngle", "270"},
                               {"LineWidth", "100000"}});
  // Owner container first, then the net container.
  EXPECT_EQ(Calls(log, "PcbApi_AddObjectToContainer"),
            (std::vector<std::string>{
                "PcbApi_AddObjectToContainer(" + Num(FBoard) + ", " + Num(h) + ") = 0",
                "PcbApi_AddObjectToContainer(" + Num(net) + ", " + Num(h) + ") = 0"}));
  EXPECT_TRUE(arc.GetCreatedHandles().empty());
  EXPECT_EQ(ImportEvents(), "Arc Added At: " + At(10000, 20000) + "\r\n");
}

TEST_F(KivoPrimitives, ArcRadiusIsTheRoundedDistance) {
  TKivoArc arc(&FState);
  arc.SetCentre({0, 0});
  arc.SetStartPoint({-3, -3});  // 4.24..., to the left and down
  arc.SetEndPoint({5, 5});      // 45 degrees
  Translate(arc, FBoard);
  const std::string line = DumpObject(Created(CallLog())[0]);
  ExpectFields(line, {{"Radius", "4"}, {"StartAngle", "225"}, {"EndAngle", "45"},
                      {"LineWidth", "200000"}});
}

TEST_F(KivoPrimitives, CircleIsAFullArc) {
  TKivoCircle circle(&FState);
  circle.SetCentre({-5000, 7000});
  circle.SetRadius(500);
  Translate(circle, 0);
  const uint32_t h = Created(CallLog())[0];
  ExpectFields(DumpObject(h), {{"owner", "-"}, {"net", "-"}, {"X", "-5000"}, {"Y", "7000"},
                               {"Radius", "500"}, {"StartAngle", "0"}, {"EndAngle", "360"},
                               {"LineWidth", "200000"}});
  EXPECT_EQ(Calls(CallLog(), "PcbApi_AddObjectToContainer").size(), 0u);
  EXPECT_NE(Dump(FBoard).find("loose objects 1"), std::string::npos);
  EXPECT_TRUE(circle.GetCreatedHandles().empty()) << "cleared even with no container";
}

TEST_F(KivoPrimitives, FilledRectangleKeepsItsCornersInFileOrder) {
  FState.SetLayerName("BOTTOM");
  TKivoFilledRect fill(&FState);
  fill.SetCorner1({500000, 600000});
  fill.SetCorner2({-100000, -200000});
  Translate(fill, FBoard);
  const uint32_t h = Created(CallLog())[0];
  ExpectFields(DumpObject(h), {{"owner", H(FBoard)}, {"layer", "32(BottomLayer)"},
                               {"X", "500000"}, {"Y", "600000"}, {"X2", "-100000"},
                               {"Y2", "-200000"}});
  EXPECT_EQ(ImportEvents(),
            "Fill Added At: " + At(500000, 600000) + " And " + At(-100000, -200000) + "\r\n");
}

TEST_F(KivoPrimitives, LineMakesOneTrackPerSegmentLastFirstSkippingZeroLength) {
  const uint32_t net = NewNet();
  FState.SetWidth(0);
  TKivoLine line(&FState);
  line.AddVertex(0, 0);
  line.AddVertex(0, 0);
  line.AddVertex(100000, 0);
  line.AddVertex(100000, 55555);
  Translate(line, FBoard, net);
  const std::string log = CallLog();
  const std::vector<uint32_t> tracks = Created(log);
  ASSERT_EQ(tracks.size(), 2u);
  ExpectFields(DumpObject(tracks[0]), {{"X", "100000"}, {"Y", "0"}, {"X2", "100000"},
                                       {"Y2", "55555"}, {"Width", "100000"},
                                       {"layer", "1(TopLayer)"}, {"net", H(net)}});
  ExpectFields(DumpObject(tracks[1]),
               {{"X", "0"}, {"Y", "0"}, {"X2", "100000"}, {"Y2", "0"}, {"Width", "100000"}});
  // Both tracks are made and stored before either enters a container; each enters the
  // board, then the net.
  EXPECT_LT(CallIndex(log, "PcbApi_QueryTrack(0, " + Num(tracks[1])),
            CallIndex(log, "PcbApi_AddObjectToContainer"));
  EXPECT_EQ(Calls(log, "PcbApi_AddObjectToContainer"),
            (std::vector<std::string>{
                "PcbApi_AddObjectToContainer(" + Num(FBoard) + ", " + Num(tracks[0]) + ") = 0",
                "PcbApi_AddObjectToContainer(" + Num(net) + ", " + Num(tracks[0]) + ") = 0",
                "PcbApi_AddObjectToContainer(" + Num(FBoard) + ", " + Num(tracks[1]) + ") = 0",
                "PcbApi_AddObjectToContainer(" + Num(net) + ", " + Num(tracks[1]) + ") = 0"}));
  EXPECT_EQ(ImportEvents(), "Track Added At: " + At(100000, 0) + " To " + At(100000, 55555) +
                                "\r\nTrack Added At: " + At(0, 0) + " To " + At(100000, 0) +
                                "\r\n");
}

TEST_F(KivoPrimitives, RectangleOutlineBecomesFourTracks) {
  // The reader stores "R" x1 y1 x2 y2 as the closed polyline.
  const int32_t x1 = 10, y1 = 20, x2 = 30, y2 = 40;
  TKivoLine outline(&FState);
  for (auto [x, y] : {std::pair{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}})
    outline.AddVertex(x, y);
  Translate(outline, FBoard);
  std::vector<std::string> segments;
  for (uint32_t h : Created(CallLog())) {
    const std::string line = DumpObject(h);
    auto field = [&](const char* name) {
      const size_t at = line.find(std::string(" ") + name + "=") + strlen(name) + 2;
      return line.substr(at, line.find('(', at) - at);
    };
    segments.push_back(field("X") + "," + field("Y") + "-" + field("X2") + "," + field("Y2"));
  }
  EXPECT_EQ(segments, (std::vector<std::string>{"10,40-10,20", "30,40-10,40", "30,20-30,40",
                                                "10,20-30,20"}));
  // One vertex: no track.
  TKivoLine dot(&FState);
  dot.AddVertex(1, 1);
  Translate(dot, FBoard);
  EXPECT_TRUE(Created(CallLog()).empty());
}

TEST_F(KivoPrimitives, TextTakesFourFifthsOfTheSizeAndTheDrawingState) {
  FState.SetRotation(180);
  FState.SetMirror(1);
  FState.SetLayerName("SILK");
  const std::string longText(300, 'x');
  // Sizes whose four fifths round down, up and (2.5) to even.
  const std::pair<int32_t, std::string> sizes[] = {{13, "10"}, {16, "13"}, {25000, "20000"}};
  for (const auto& [size, height] : sizes) {
    FState.SetTextSize(size);
    TKivoText text(&FState);
    text.SetPosition({1000, 2000});
    text.SetText(longText);
    Translate(text, FBoard);
    const uint32_t h = Created(CallLog())[0];
    ExpectFields(DumpObject(h), {{"layer", "33(TopOverlay)"}, {"Size", height},
                                 {"Rotation", "180"}, {"MirrorFlag", "1"},
                                 {"Text", Quoted(std::string(254, 'x'))}, {"owner", H(FBoard)}});
  }
  EXPECT_NE(ImportEvents().find("Text Added: " + std::string(254, 'x') + "\r\n"),
            std::string::npos);
}

// The stand-in measures a text of n characters and size S as W = n x S by H = S, from
// (X, Y) to (X + W, Y + H) at rotation 0 and from (X - H, Y) to (X, Y + W) at 90.
TEST_F(KivoPrimitives, JustificationAtRotationsZeroAndNinety) {
  const int32_t x = -30001, y = 12345, size = 20000;  // text size 25000 x 0.8
  const int32_t w = 3 * size, h = size;
  for (int32_t rotation : {0, 90}) {
    for (uint8_t horizontal : {1, 2, 5}) {
      for (uint8_t vertical : {3, 4, 5}) {
        FState.SetRotation(rotation);
        FState.SetHorizontalJustification(horizontal);
        FState.SetVerticalJustification(vertical);
        TKivoText text(&FState);
        text.SetPosition({x, y});
        text.SetText("ABC");
        Translate(text, FBoard);
        // The host's box of the unjustified text.
        const int32_t x1 = rotation == 0 ? x : x - h, x2 = rotation == 0 ? x + w : x;
        const int32_t y1 = y, y2 = rotation == 0 ? y + h : y + w;
        int32_t ex = x, ey = y;
        if (horizontal == 2)
          ex -= x2 - x1;
        if (horizontal == 5)
          ex -= x2 / 2 - x1 / 2;
        if (rotation != 0)
          ex += x2 - x1;
        if (vertical == 3)
          ey -= y2 - y1;
        if (vertical == 5)
          ey -= y2 / 2 - y1 / 2;
        const std::string line = DumpObject(Created(CallLog())[0]);
        const std::string what = "rotation " + Num(rotation) + " justification " +
                                 Num(horizontal) + "/" + Num(vertical);
        EXPECT_TRUE(HasField(line, "X", Num(ex))) << what;
        EXPECT_TRUE(HasField(line, "Y", Num(ey))) << what;
      }
    }
  }
}

TEST_F(KivoPrimitives, TextEntersItsContainersBeforeItIsJustified) {
  FState.SetHorizontalJustification(2);
  TKivoText text(&FState);
  text.SetText("AB");
  Translate(text, FBoard, NewNet());
  const std::string log = CallLog();
  const uint32_t h = Created(log)[0];
  const int added = CallIndex(log, "PcbApi_AddObjectToContainer(" + Num(FBoard));
  const int measured = CallIndex(log, "PcbApi_QueryObjectBoundingRectangle(" + Num(h));
  ASSERT_GE(added, 0);
  EXPECT_LT(added, measured);
}

TEST_F(KivoPrimitives, PolygonRecordsAndTheClosingCopy) {
  const uint32_t net = NewNet();
  const std::string square = " [0 0(0mil) 0(0mil)] [0 100000(10mil) 0(0mil)]"
                             " [0 100000(10mil) 100000(10mil)] [0 0(0mil) 100000(10mil)]"
                             " [0 0(0mil) 0(0mil)]\n";
  for (bool closed : {false, true}) {
    TKivoPoly poly(&FState);
    poly.SetOutlineKind(1);
    poly.AddVertex(0, 0), poly.AddVertex(100000, 0), poly.AddVertex(100000, 100000);
    poly.AddVertex(0, 100000);
    if (closed)
      poly.AddVertex(0, 0);
    Translate(poly, FBoard, net);
    const std::string log = CallLog();
    const uint32_t h = Created(log)[0];
    const std::string line = DumpObject(h);
    ExpectFields(line, {{"PointCount", "4"}, {"PolygonFlag3", "1"}, {"layer", "1(TopLayer)"},
                        {"net", H(net)}, {"owner", H(FBoard)}});
    EXPECT_EQ(line.substr(line.find(" [")), square) << (closed ? "closed" : "open");
    EXPECT_EQ(Calls(log, "PcbApi_EventRouter_SendMessage"),
              std::vector<std::string>{"PcbApi_EventRouter_SendMessage(0, 0, 3, " + Num(h) + ")"});
    // Stored and reported before the event router hears of it, then added.
    EXPECT_LT(CallIndex(log, "PcbApi_EventRouter_SendMessage"),
              CallIndex(log, "PcbApi_AddObjectToContainer"));
  }
  EXPECT_EQ(ImportEvents(), std::string("Polygon Added: Bouding Rect: ") + At(0, 0) + "   " +
                                At(100000, 100000) + "\r\n" + "Polygon Added: Bouding Rect: " +
                                At(0, 0) + "   " + At(100000, 100000) + "\r\n");
}

TEST_F(KivoPrimitives, PolygonOutlineKinds) {
  struct TCase {
    int32_t Kind, Width;
    std::string Byte2, TrackWidth, Grid;
  };
  const TCase cases[] = {{1, 200000, "3", "200000", "100000"},
                         {2, 200000, "0", "200000", "400000"},
                         {1, 15, "3", "15", "8"},  // 7.5 to even
                         {1, 13, "3", "13", "6"},  // 6.5 to even
                         {1, 0, "3", "100000", "50000"},
                         {3, 200000, "0", "0", "0"}};  // the host's defaults stay
  for (const TCase& c : cases) {
    FState.SetWidth(c.Width);
    TKivoPoly poly(&FState);
    poly.SetOutlineKind(c.Kind);
    poly.AddVertex(0, 0), poly.AddVertex(10, 0), poly.AddVertex(0, 10);
    Translate(poly, FBoard);
    ExpectFields(DumpObject(Created(CallLog())[0]),
                 {{"PolygonByte2", c.Byte2}, {"TrackWidth", c.TrackWidth}, {"GridSize", c.Grid}});
  }
  TKivoPoly zero(&FState);
  zero.SetWidth(0);
  Translate(zero, FBoard);
  EXPECT_EQ(zero.GetWidth(), 100000) << "a zero width becomes 10 mil in the object itself";
  EXPECT_TRUE(HasField(DumpObject(Created(CallLog())[0]), "PointCount", "0"));
}

// Regression: an outline of more than 500 vertices wrote past the host's 501 records.
TEST_F(KivoPrimitives, ALongOutlineIsCutTo500VerticesAndTheClosingRecord) {
  TKivoPoly poly(&FState);
  for (int i = 0; i < 600; ++i)
    poly.AddVertex(i * 10000, i % 2 ? 50000 : 0);
  Translate(poly, FBoard);
  const std::string line = DumpObject(Created(CallLog())[0]);
  EXPECT_TRUE(HasField(line, "PointCount", "500"));
  EXPECT_NE(line.find("[0 4990000(499mil) 50000(5mil)] [0 0(0mil) 0(0mil)]"), std::string::npos);
  EXPECT_EQ(ImportWarnings(),
            "Import Warnings : 1\r\n"
            "WARNING: Polygon outline of more than 500 vertices cut to 500, starting at " +
                At(0, 0));

  // A closed outline of 501 points fits whole.
  FReport = std::make_unique<TReportManager>(ScratchFolder() + "model.pdf");
  FReport->SetImportWarningLevel(4);
  FState.SetReport(FReport.get());
  TKivoPoly closed(&FState);
  for (int i = 0; i < 500; ++i)
    closed.AddVertex(i * 10000, i == 0 ? 10000 : 0);
  closed.AddVertex(0, 10000);
  Translate(closed, FBoard);
  const std::string whole = DumpObject(Created(CallLog())[0]);
  EXPECT_TRUE(HasField(whole, "PointCount", "500"));
  EXPECT_NE(whole.find("[0 4990000(499mil) 0(0mil)] [0 0(0mil) 10000(1mil)]"), std::string::npos);
  EXPECT_EQ(ImportWarnings(), "Import Warnings : 0");
}

}  // namespace
