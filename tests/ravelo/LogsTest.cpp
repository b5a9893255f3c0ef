// Logs and forwarding: progress, event router, call log, injected results, the host's
// command runner, and the dump as a whole.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/Win.h"

#include "tests/ravelo/RaveloTestSupport.h"

namespace {

using RaveloLogs = RaveloTest;

std::string gCommand;

uint32_t __stdcall Runner(const char* command, char* parameters, uint16_t size) {
  gCommand = std::string(command) + "|" + parameters + "|" + std::to_string(size);
  std::strcpy(parameters, "Result=True|Path=C:\\x.cfg");
  return 1;
}

TEST_F(RaveloLogs, ProgressAndEventsAreLoggedInOrder) {
  PcbApiPercentInit("Loading KIVO fileC:\\a.pdf", 12);
  PcbApiPercentUpdate();
  PcbApiPercentUpdate();
  PcbApiEventRouterSendMessage(0, 0, 14, 0);
  PcbApiEventRouterSendMessage(0, 0, 12, FBoard);
  PcbApiPercentUpdate();
  PcbApiPercentFinish();
  EXPECT_EQ(Dump(FBoard),
            "board #1 \"C:\\\\Boards\\\\Test.PcbDoc\" current\n"
            "origin X=0(0mil) Y=0(0mil)\n"
            "loose objects 0\n"
            "progress init \"Loading KIVO fileC:\\\\a.pdf\" 12\n"
            "progress update 3\n"
            "progress finish\n"
            "event 0 0 14 0\n"
            "event 0 0 12 1\n");
}

TEST_F(RaveloLogs, DumpListsEveryObjectWithItsFields) {
  const uint32_t net = PcbApiCreateObject(8);
  TNet n;
  n.Name = "GND";
  EXPECT_EQ(n.Sync(0, net), 0);
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, net), 0);
  const uint32_t track = NewTrack(25000, 0, 1000000, -5, 100000, 1, FBoard);
  EXPECT_EQ(PcbApiAddObjectToContainer(net, track), 0);
  NewTrack(0, 0, 0, 0, 0);  // loose
  EXPECT_EQ(Dump(FBoard),
            "board #1 \"C:\\\\Boards\\\\Test.PcbDoc\" current\n"
            "#2 net owner=#1 net=- layer=0(NoLayer) Flags=0 PrimitiveWord=0 PrimitiveByte=0 "
            "PrimitiveLong=0 BitField2=0 BitField3=0 Name=\"GND\" NetByte1=0 NetByte2=0\n"
            "#3 track owner=#1 net=#2 layer=1(TopLayer) Flags=0 PrimitiveWord=0 PrimitiveByte=0 "
            "PrimitiveLong=0 BitField2=0 BitField3=0 X=25000(2.5mil) Y=0(0mil) "
            "X2=1000000(100mil) Y2=-5(0mil) Width=100000(10mil) Aux1=0 Aux2=0 Aux3=0\n"
            "origin X=0(0mil) Y=0(0mil)\n"
            "loose objects 1\n");
  EXPECT_EQ(Dump(4242), "");
}

// What Ravelo_DumpBoardTo hands over, piece by piece.
struct TDumpPieces {
  std::vector<std::string> Pieces;
  size_t Bytes = 0;
  size_t ObjectLines = 0;
  bool Keep = true;       // the pieces themselves, not only their counts
  size_t StopAfter = 0;   // answers 0 after this many pieces (0: never)
  static int32_t __stdcall Take(void* context, const char* text, int32_t length) {
    auto& taken = *static_cast<TDumpPieces*>(context);
    const std::string_view piece(text, static_cast<size_t>(length));
    taken.Bytes += piece.size();
    for (size_t at = 0; at < piece.size(); at = piece.find('\n', at) + 1)
      taken.ObjectLines += piece[at] == '#';
    if (taken.Keep)
      taken.Pieces.emplace_back(piece);
    return taken.StopAfter == 0 || taken.Pieces.size() < taken.StopAfter;
  }
};

TRaveloDumpBoardTo DumpBoardTo() {
  return reinterpret_cast<TRaveloDumpBoardTo>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("Ravelo.dll"), "Ravelo_DumpBoardTo")));
}

TEST_F(RaveloLogs, DumpIsHandedOverAsItIsWrittenInPiecesOfWholeLines) {
  ASSERT_NE(DumpBoardTo(), nullptr);
  for (int i = 0; i < 3000; ++i)
    NewTrack(i, 0, i, 10, 2, 1, FBoard);
  TDumpPieces whole;
  EXPECT_EQ(DumpBoardTo()(FBoard, TDumpPieces::Take, &whole), 0);
  ASSERT_GT(whole.Pieces.size(), 3u);
  std::string joined;
  for (const std::string& piece : whole.Pieces) {
    EXPECT_EQ(piece.back(), '\n');
    joined += piece;
  }
  EXPECT_EQ(joined, Dump(FBoard));
  EXPECT_EQ(whole.ObjectLines, 3000u);

  TDumpPieces none;
  EXPECT_EQ(DumpBoardTo()(4242, TDumpPieces::Take, &none), 2);
  EXPECT_TRUE(none.Pieces.empty());
  EXPECT_EQ(DumpBoardTo()(FBoard, nullptr, nullptr), 4);
  TDumpPieces stopped;
  stopped.StopAfter = 1;
  EXPECT_EQ(DumpBoardTo()(FBoard, TDumpPieces::Take, &stopped), 5);
  EXPECT_EQ(stopped.Pieces.size(), 1u);
}

// Fault: the dump was made as one string (and made again to be copied), which failed for
// want of memory on a net of two million wire points, and the host had no dump at all.
TEST_F(RaveloLogs, ADumpLargerThanTheProcessCouldHoldIsMeasuredAndHandedOver) {
  Control().KeepCallLog(0);
  const uint32_t net = PcbApiCreateObject(8);
  ASSERT_EQ(PcbApiAddObjectToContainer(FBoard, net), 0);
  constexpr int32_t kTracks = 2000000;
  TTrack t;
  t.Layer = 1, t.Width = 100000;
  for (int32_t i = 0; i < kTracks; ++i) {
    const uint32_t track = PcbApiCreateObject(4);
    t.X = 10000 * (i % 20000), t.Y = 70000 * (i / 20000), t.X2 = t.X + 70000, t.Y2 = t.Y;
    ASSERT_EQ(t.Sync(0, track), 0);
    ASSERT_EQ(PcbApiAddObjectToContainer(FBoard, track), 0);
    ASSERT_EQ(PcbApiAddObjectToContainer(net, track), 0);
  }
  const int32_t length = Control().DumpBoard(FBoard, nullptr, 0);
  EXPECT_GT(length, 400000000);
  ASSERT_NE(DumpBoardTo(), nullptr);
  TDumpPieces counted;
  counted.Keep = false;
  EXPECT_EQ(DumpBoardTo()(FBoard, TDumpPieces::Take, &counted), 0);
  EXPECT_EQ(counted.Bytes, static_cast<size_t>(length));
  EXPECT_EQ(counted.ObjectLines, static_cast<size_t>(kTracks) + 1);
}

TEST_F(RaveloLogs, CallLogRecordsArgumentsAndResults) {
  Control().ClearCallLog();
  const uint32_t track = PcbApiCreateObject(4);
  TTrack t;
  t.Sync(1, track);
  PcbApiEventRouterSendMessage(track, 0, 3, 0);
  EXPECT_EQ(CallLog(),
            "PcbApi_CreateObject(4) = 2\n"
            "PcbApi_QueryTrack(1, 2) = 0\n"
            "PcbApi_EventRouter_SendMessage(2, 0, 3, 0)\n");
  Control().ClearCallLog();
  EXPECT_EQ(CallLog(), "");
}

TEST_F(RaveloLogs, InjectedStatusReplacesTheWork) {
  const uint32_t pad = PcbApiCreateObject(2);
  Control().InjectResult("PcbApi_QueryPad", 7);
  TPad p;
  EXPECT_EQ(p.Sync(1, pad), 7);
  EXPECT_EQ(p.TopXSize, 0);  // nothing written
  Control().ClearInjections();
  EXPECT_EQ(p.Sync(1, pad), 0);
  EXPECT_EQ(p.TopXSize, 600000);
}

TEST_F(RaveloLogs, CommonDialogGoesToTheHostsRunner) {
  char parameters[4096] = "Dialog=FileOpenSave|Mode=0";
  EXPECT_EQ(PcbApiSendCommand("Client:RunCommonDialog", parameters, 4096, 0), 0);  // no runner
  Control().SetCommandRunner(Runner);
  gCommand.clear();
  EXPECT_EQ(PcbApiSendCommand("PCB:Zoom", parameters, 4096, 0), 0);
  EXPECT_EQ(gCommand, "");
  EXPECT_EQ(PcbApiSendCommand("Client:RunCommonDialog", parameters, 4096, 0), 1);
  EXPECT_EQ(gCommand, "Client:RunCommonDialog|Dialog=FileOpenSave|Mode=0|4096");
  EXPECT_STREQ(parameters, "Result=True|Path=C:\\x.cfg");
  Control().SetCommandRunner(nullptr);
}

}  // namespace
