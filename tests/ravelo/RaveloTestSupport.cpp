#include "tests/ravelo/RaveloTestSupport.h"

#include <cstring>
#include <ostream>

#include "classlib/Win.h"

namespace {

template <class T>
void Find(T& slot, const char* name) {
  slot = reinterpret_cast<T>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("Ravelo.dll"), name)));
  if (!slot)
    ADD_FAILURE() << "the server does not export " << name;
}

std::string Text(int32_t (*read)(char*, int32_t, void*), void* context) {
  const int32_t length = read(nullptr, 0, context);
  std::string text(length + 1, '\0');
  read(text.data(), length + 1, context);
  text.resize(length);
  return text;
}

}  // namespace

const TRaveloControl& Control() {
  static const TRaveloControl control = [] {
    TRaveloControl c{};
    Find(c.Reset, "Ravelo_Reset");
    Find(c.CreateBoard, "Ravelo_CreateBoard");
    Find(c.SetCurrentBoard, "Ravelo_SetCurrentBoard");
    Find(c.DumpBoard, "Ravelo_DumpBoard");
    Find(c.GetCallLog, "Ravelo_GetCallLog");
    Find(c.ClearCallLog, "Ravelo_ClearCallLog");
    Find(c.InjectResult, "Ravelo_InjectResult");
    Find(c.ClearInjections, "Ravelo_ClearInjections");
    Find(c.SetCommandRunner, "Ravelo_SetCommandRunner");
    Find(c.DumpObject, "Ravelo_DumpObject");
    Find(c.DumpBoardSetup, "Ravelo_DumpBoardSetup");
    Find(c.SetLayerPairs, "Ravelo_SetLayerPairs");
    Find(c.OverstateCount, "Ravelo_OverstateCount");
    Find(c.KeepCallLog, "Ravelo_KeepCallLog");
    return c;
  }();
  return control;
}

void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.X1 << ", " << r.Y1 << ")-(" << r.X2 << ", " << r.Y2 << ")";
}

int32_t TTrack::Sync(uint8_t mode, uint32_t handle) {
  return PcbApi_QueryTrack(mode, handle, &Flags, &PrimitiveWord, &Layer, &Net, &PrimitiveByte,
                           &PrimitiveLong, &X, &Y, &X2, &Y2, &Width, &Aux1, &Aux2, &Aux3);
}

int32_t TArc::Sync(uint8_t mode, uint32_t handle) {
  return PcbApi_QueryArc(mode, handle, &Flags, &PrimitiveWord, &Layer, &Net, &PrimitiveByte,
                         &PrimitiveLong, &X, &Y, &Radius, &StartAngle, &EndAngle, &LineWidth,
                         &Aux1);
}

int32_t TVia::Sync(uint8_t mode, uint32_t handle) {
  return PcbApi_QueryVia(mode, handle, &Flags, &PrimitiveWord, &Layer, &Net, &PrimitiveByte,
                         &PrimitiveLong, &X, &Y, &Size, &HoleSize, &ByteAux1, &ByteAux2);
}

int32_t TFill::Sync(uint8_t mode, uint32_t handle) {
  return PcbApi_QueryFill(mode, handle, &Flags, &PrimitiveWord, &Layer, &Net, &PrimitiveByte,
                          &PrimitiveLong, &X, &Y, &X2, &Y2, &Aux1, &Rotation);
}

int32_t TText::Sync(uint8_t mode, uint32_t handle) {
  return PcbApi_QueryText(mode, handle, &Flags, &PrimitiveWord, &Layer, &Net, &PrimitiveByte,
                          &PrimitiveLong, &X, &Y, &Size, &TextAux, &Rotation, &MirrorFlag, &Text,
                          &LineWidth, &Aux2, &Aux3);
}

int32_t TPad::Sync(uint8_t mode, uint32_t handle) {
  return PcbApi_QueryPad(mode, handle, &Flags, &PrimitiveWord, &Layer, &Net, &PrimitiveByte,
                         &PrimitiveLong, &X, &Y, &TopXSize, &TopYSize, &MidXSize, &MidYSize,
                         &BotXSize, &BotYSize, &HoleSize, &TopShape, &MidShape, &BotShape, &Name,
                         &PadByte1, &PadByte2, &Rotation);
}

int32_t TComponent::Sync(uint8_t mode, uint32_t handle) {
  return PcbApi_QueryComponent(mode, handle, &Flags, &PrimitiveWord, &Layer, &PrimitiveByte,
                               &NameText, &CommentText, &ComponentString, &ComponentByte1,
                               &ComponentByte2, &X, &Y, &ComponentLong, &Rotation, &ComponentByte3);
}

TPolygon::TPolygon() {
  std::memset(Guard, 0x5A, sizeof Guard);
}

bool TPolygon::GuardIntact() const {
  for (uint8_t b : Guard) {
    if (b != 0x5A)
      return false;
  }
  return true;
}

int32_t TPolygon::Sync(uint8_t mode, uint32_t handle) {
  return PcbApi_QueryPolygon(mode, handle, &Flags, &PrimitiveWord, &Layer, &Net, &PrimitiveByte,
                             &PolygonFlag1, &PolygonFlag2, &PolygonFlag3, &GridSize, &TrackWidth,
                             &PolygonByte1, &PolygonByte2, &PolygonLong, &PolygonByte, &PointCount,
                             Segments);
}

int32_t TNet::Sync(uint8_t mode, uint32_t handle) {
  return PcbApi_QueryNet(mode, handle, &PrimitiveWord, &Name, &NetByte1, &NetByte2);
}

void RaveloTest::SetUp() {
  ASSERT_NE(PcbApiModule(), nullptr) << "the server is loaded and bound at start-up";
  Control().Reset();
  FBoard = Control().CreateBoard("C:\\Boards\\Test.PcbDoc");
  ASSERT_EQ(Control().SetCurrentBoard(FBoard), 0);
}

void RaveloTest::TearDown() {
  Control().Reset();
}

std::string RaveloTest::Dump(uint32_t board) {
  return Text(
      [](char* buffer, int32_t size, void* context) {
        return Control().DumpBoard(*static_cast<uint32_t*>(context), buffer, size);
      },
      &board);
}

std::string RaveloTest::DumpObject(uint32_t object) {
  return Text(
      [](char* buffer, int32_t size, void* context) {
        return Control().DumpObject(*static_cast<uint32_t*>(context), buffer, size);
      },
      &object);
}

std::string RaveloTest::DumpSetup(uint32_t board) {
  return Text(
      [](char* buffer, int32_t size, void* context) {
        return Control().DumpBoardSetup(*static_cast<uint32_t*>(context), buffer, size);
      },
      &board);
}

std::string RaveloTest::CallLog() {
  return Text([](char* buffer, int32_t size, void*) { return Control().GetCallLog(buffer, size); },
              nullptr);
}

std::vector<uint32_t> RaveloTest::Iterate(uint32_t container, uint8_t kind, uint8_t layer) {
  std::vector<uint32_t> items;
  const uint32_t iterator = PcbApiCreateIterator(container, kind, 0, layer);
  if (!iterator)
    return items;
  for (uint32_t o = PcbApiGetFirstObject(iterator); o; o = PcbApiGetNextObject(iterator))
    items.push_back(o);
  EXPECT_EQ(PcbApiDestroyIterator(iterator), 0);
  return items;
}

TRect RaveloTest::Rect(uint32_t handle) {
  TRect r;
  EXPECT_EQ(PcbApi_QueryObjectBoundingRectangle(handle, &r.X1, &r.Y1, &r.X2, &r.Y2), 0);
  return r;
}

uint32_t RaveloTest::NewTrack(int32_t x, int32_t y, int32_t x2, int32_t y2, int32_t width,
                              uint8_t layer, uint32_t container) {
  const uint32_t handle = PcbApiCreateObject(4);
  TTrack track;
  EXPECT_EQ(track.Sync(1, handle), 0);
  track.X = x, track.Y = y, track.X2 = x2, track.Y2 = y2, track.Width = width;
  track.Layer = layer;
  EXPECT_EQ(track.Sync(0, handle), 0);
  if (container) {
    EXPECT_EQ(PcbApiAddObjectToContainer(container, handle), 0);
  }
  return handle;
}

uint32_t RaveloTest::NewText(int32_t x, int32_t y, const char* text, int32_t size, double rotation,
                             bool mirror, uint32_t container) {
  const uint32_t handle = PcbApiCreateObject(5);
  TText t;
  EXPECT_EQ(t.Sync(1, handle), 0);
  t.X = x, t.Y = y, t.Text = text, t.Size = size, t.Rotation = rotation;
  t.MirrorFlag = mirror;
  t.Layer = 33;
  EXPECT_EQ(t.Sync(0, handle), 0);
  if (container) {
    EXPECT_EQ(PcbApiAddObjectToContainer(container, handle), 0);
  }
  return handle;
}
