// Logs and forwarding: progress, event router, call log, injected results, the host's
// command runner, and the dump as a whole.
#include <cstring>
#include <string>

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
