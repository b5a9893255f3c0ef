// Driving the stand-in PCB server through the plug-in's own wrappers: field sets that
// load and store one object kind, the server's control entry points, and a fixture
// that starts every case on a fresh board.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pcb/PcbApi.h"
#include "standin/ravelo/RaveloControl.h"

struct TRaveloControl {
  TRaveloReset Reset;
  TRaveloCreateBoard CreateBoard;
  TRaveloSetCurrentBoard SetCurrentBoard;
  TRaveloDumpBoard DumpBoard;
  TRaveloGetCallLog GetCallLog;
  TRaveloClearCallLog ClearCallLog;
  TRaveloInjectResult InjectResult;
  TRaveloClearInjections ClearInjections;
  TRaveloSetCommandRunner SetCommandRunner;
  TRaveloDumpObject DumpObject;
  TRaveloDumpBoardSetup DumpBoardSetup;
  TRaveloSetLayerPairs SetLayerPairs;
  TRaveloOverstateCount OverstateCount;
  TRaveloKeepCallLog KeepCallLog;
};
// The control entry points of the loaded server (a test fails when one is missing).
const TRaveloControl& Control();

struct TRect {
  int32_t X1 = -1, Y1 = -1, X2 = -1, Y2 = -1;
  bool operator==(const TRect&) const = default;
};
void PrintTo(const TRect& r, std::ostream* os);

// The common head of the primitive kinds.
struct THead {
  uint16_t Flags = 0;
  int16_t PrimitiveWord = 0;
  uint8_t Layer = 0;
  int32_t Net = 0;
  uint8_t PrimitiveByte = 0;
  int32_t PrimitiveLong = 0;
  int32_t X = 0, Y = 0;
};

struct TTrack : THead {
  int32_t X2 = 0, Y2 = 0, Width = 0, Aux1 = 0, Aux2 = 0, Aux3 = 0;
  int32_t Sync(uint8_t mode, uint32_t handle);
};

struct TArc : THead {
  int32_t Radius = 0;
  double StartAngle = 0, EndAngle = 0;
  int32_t LineWidth = 0, Aux1 = 0;
  int32_t Sync(uint8_t mode, uint32_t handle);
};

struct TVia : THead {
  int32_t Size = 0, HoleSize = 0;
  uint8_t ByteAux1 = 0, ByteAux2 = 0;
  int32_t Sync(uint8_t mode, uint32_t handle);
};

struct TFill : THead {
  int32_t X2 = 0, Y2 = 0, Aux1 = 0;
  double Rotation = 0;
  int32_t Sync(uint8_t mode, uint32_t handle);
};

struct TText : THead {
  int32_t Size = 0, TextAux = 0;
  double Rotation = 0;
  uint8_t MirrorFlag = 0;
  ShortString<254> Text;
  int32_t LineWidth = 0, Aux2 = 0, Aux3 = 0;
  int32_t Sync(uint8_t mode, uint32_t handle);
};

struct TPad : THead {
  int32_t TopXSize = 0, TopYSize = 0, MidXSize = 0, MidYSize = 0, BotXSize = 0, BotYSize = 0;
  int32_t HoleSize = 0;
  uint8_t TopShape = 0, MidShape = 0, BotShape = 0;
  ShortString<20> Name;
  uint8_t PadByte1 = 0, PadByte2 = 0;
  double Rotation = 0;
  int32_t Sync(uint8_t mode, uint32_t handle);
};

struct TComponent {
  uint16_t Flags = 0;
  int16_t PrimitiveWord = 0;
  uint8_t Layer = 0, PrimitiveByte = 0;
  int32_t NameText = 0, CommentText = 0;
  ShortString<250> ComponentString;
  uint8_t ComponentByte1 = 0, ComponentByte2 = 0;
  int32_t X = 0, Y = 0, ComponentLong = 0;
  double Rotation = 0;
  uint8_t ComponentByte3 = 0;
  int32_t Sync(uint8_t mode, uint32_t handle);
};

struct TPolygon {
  uint16_t Flags = 0;
  int16_t PrimitiveWord = 0;
  uint8_t Layer = 0;
  int32_t Net = 0;
  uint8_t PrimitiveByte = 0, PolygonFlag1 = 0, PolygonFlag2 = 0, PolygonFlag3 = 0;
  int32_t GridSize = 0, TrackWidth = 0;
  uint8_t PolygonByte1 = 0, PolygonByte2 = 0;
  int32_t PolygonLong = 0;
  uint8_t PolygonByte = 0;
  int32_t PointCount = 0;
  TPolygonSegment Segments[501] = {};
  uint8_t Guard[64];  // must never be written
  TPolygon();
  bool GuardIntact() const;
  int32_t Sync(uint8_t mode, uint32_t handle);
};

struct TNet {
  int16_t PrimitiveWord = 0;
  ShortString<255> Name;
  uint8_t NetByte1 = 0, NetByte2 = 0;
  int32_t Sync(uint8_t mode, uint32_t handle);
};

class RaveloTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Dump(uint32_t board);
  // One object's line of the dump, and a board's setup dump.
  std::string DumpObject(uint32_t object);
  std::string DumpSetup(uint32_t board);
  std::string CallLog();
  // Every object an iterator over `container` yields, in order.
  std::vector<uint32_t> Iterate(uint32_t container, uint8_t kind = 0, uint8_t layer = 0);
  TRect Rect(uint32_t handle);
  // New objects, stored and (when `container` is given) added to it.
  uint32_t NewTrack(int32_t x, int32_t y, int32_t x2, int32_t y2, int32_t width, uint8_t layer = 1,
                    uint32_t container = 0);
  uint32_t NewText(int32_t x, int32_t y, const char* text, int32_t size, double rotation,
                   bool mirror = false, uint32_t container = 0);

  uint32_t FBoard = 0;
};
