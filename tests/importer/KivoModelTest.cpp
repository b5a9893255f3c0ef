// The model's base: drawing-state copies, host layer lookup, the geometry of arcs, the
// section containers with the distribution of the maps, and the detail's translation
// driver with its progress steps.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "importer/BaseGeometry.h"
#include "importer/KivoArena.h"
#include "importer/KivoBoardComponent.h"
#include "importer/KivoPrimitives.h"
#include "importer/PadStackMapRecord.h"
#include "pcb/PcbApi.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/importer/KivoModelTestSupport.h"
#include "tests/proxies/ProxyTestSupport.h"

namespace {

TEST(BaseGeometry, SegmentAngleTable) {
  struct TCase {
    double X2, Y2, Angle;
  };
  const TCase cases[] = {{0, 5, 90},   {0, -5, 270}, {0, 0, 270},  {5, 0, 0},
                         {-5, 0, 180}, {5, 5, 45},   {-5, 5, 135}, {-5, -5, 225},
                         {5, -5, 315}, {2, 0.0000001, 0.0000028647889756541}};
  for (const TCase& c : cases)
    EXPECT_NEAR(SegmentAngle(1, 1, 1 + c.X2, 1 + c.Y2), c.Angle, 1e-9) << c.X2 << "," << c.Y2;
  // Left and down lies between 180 and 270.
  const double a = SegmentAngle(0, 0, -3, -1);
  EXPECT_GT(a, 180);
  EXPECT_LT(a, 270);
  EXPECT_NEAR(a, 180 + std::atan(1.0 / 3) * 180 / 3.14159265358979323846, 1e-9);
  EXPECT_DOUBLE_EQ(RadToDeg(3.14159265358979323846), 180);
  EXPECT_DOUBLE_EQ(PointDistance(1, 1, 4, 5), 5);
}

TEST(KivoObject, DrawingStateCopiedFromTheTemplate) {
  TStringList map;
  PadStackMapRecord record;
  TKivoDisplay state;
  EXPECT_EQ(state.GetPadTopLayerName(), "PADCOM");
  EXPECT_EQ(state.GetPadBottomLayerName(), "PADSLD");
  EXPECT_EQ(state.GetPadInnerLayerName(), "PADINT");
  EXPECT_EQ(state.GetPadDrillLayerName(), "DRILL");
  EXPECT_EQ(state.GetPadSolderMaskLayerName(), "SLDMSK");
  EXPECT_EQ(state.GetWidth(), 0);
  state.SetAMT(1.5), state.SetAPT(2.5), state.SetLayerName("L1"), state.SetLineStyle(2);
  state.SetWidth(7), state.SetTextSize(8), state.SetHorizontalJustification(5);
  state.SetVerticalJustification(3), state.SetRotation(270), state.SetMirror(1);
  state.SetUnitScale(3937), state.SetGrid(4), state.SetLayerMap(&map);
  state.SetPadStackMap(&record);
  TKivoPadStack padStack;
  state.SetPadStackList(&padStack);
  TReportManager report("x.pdf");
  state.SetReport(&report);

  TKivoLine copy(&state);
  EXPECT_EQ(copy.GetAMT(), 1.5);
  EXPECT_EQ(copy.GetAPT(), 2.5);
  EXPECT_EQ(copy.GetLayerName(), "L1");
  EXPECT_EQ(copy.GetLineStyle(), 2);
  EXPECT_EQ(copy.GetWidth(), 7);
  EXPECT_EQ(copy.GetTextSize(), 8);
  EXPECT_EQ(copy.GetHorizontalJustification(), 5);
  EXPECT_EQ(copy.GetVerticalJustification(), 3);
  EXPECT_EQ(copy.GetRotation(), 270);
  EXPECT_EQ(copy.GetMirror(), 1);
  EXPECT_EQ(copy.GetUnitScale(), 3937);
  EXPECT_EQ(copy.GetGrid(), 4);
  EXPECT_EQ(copy.GetLayerMap(), &map);
  EXPECT_EQ(copy.GetReport(), &report);
  EXPECT_EQ(copy.GetPadStack(), nullptr) << "arrives through SetPadStackList";
  EXPECT_EQ(copy.GetPadStackMap(), nullptr) << "arrives through SetPadStackMap";
  EXPECT_EQ(copy.GetOwnerContainer(), 0u);
  EXPECT_EQ(copy.GetNetContainer(), 0u);

  TKivoLine bare;
  EXPECT_EQ(bare.GetWidth(), 10);
  EXPECT_EQ(bare.GetTextSize(), 10);
  EXPECT_EQ(bare.GetReport(), nullptr);
  EXPECT_EQ(bare.GetLayerMap(), nullptr);
  EXPECT_EQ(bare.GetLayerName(), "");
}

// Objects sharing drawing states all get the layer map, each keeping its own values,
// and an object changed afterwards changes alone. (Fault: every object of a model made
// its own copy of its state for the map, doubling a large board's model.)
TEST(KivoObject, ALayerMapSetOnObjectsThatShareStatesKeepsEachObjectsValues) {
  TStringList before, map;
  TKivoDisplay first, second;
  first.SetWidth(7), first.SetLayerMap(&before);
  second.SetWidth(9), second.SetLayerMap(&before);
  std::vector<std::unique_ptr<TKivoLine>> lines;
  for (const TKivoDisplay* state : {&first, &first, &second, &first, &first})
    lines.push_back(std::make_unique<TKivoLine>(state));
  for (auto& line : lines)
    line->SetLayerMap(&map);
  const std::vector<int32_t> widths = {7, 7, 9, 7, 7};
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i]->GetLayerMap(), &map) << i;
    EXPECT_EQ(lines[i]->GetWidth(), widths[i]) << i;
  }
  lines[0]->SetWidth(1);
  lines[4]->SetLayerMap(&before);
  EXPECT_EQ(lines[0]->GetWidth(), 1);
  EXPECT_EQ(lines[1]->GetWidth(), 7);
  EXPECT_EQ(lines[1]->GetLayerMap(), &map);
  EXPECT_EQ(lines[3]->GetLayerMap(), &map);
  EXPECT_EQ(lines[4]->GetLayerMap(), &before);
  EXPECT_EQ(first.GetLayerMap(), &before);
  EXPECT_EQ(first.GetWidth(), 7);
}

// A reader going back and forth between a few layers and widths takes states made
// before for the objects it makes (instead of a state for every change): each object
// keeps the values it was made with, whichever object or display is changed later.
TEST(KivoObject, StatesTakenAgainKeepEachObjectsValues) {
  TKivoDisplay reader;
  std::vector<std::unique_ptr<TKivoLine>> lines;
  const std::vector<std::pair<const char*, int32_t>> made = {
      {"TOP", 27}, {"BOTTOM", 27}, {"TOP", 27}, {"TOP", 8}, {"BOTTOM", 27}, {"TOP", 27}};
  for (const auto& [layer, width] : made) {
    reader.SetLayerName(layer);
    reader.SetWidth(width);
    lines.push_back(std::make_unique<TKivoLine>(&reader));
  }
  lines[0]->SetWidth(1);
  lines[1]->SetLayerName("SILK");
  reader.SetWidth(99);
  for (size_t i = 2; i < made.size(); ++i) {
    EXPECT_EQ(lines[i]->GetLayerName(), made[i].first) << i;
    EXPECT_EQ(lines[i]->GetWidth(), made[i].second) << i;
  }
  EXPECT_EQ(lines[0]->GetWidth(), 1);
  EXPECT_EQ(lines[0]->GetLayerName(), "TOP");
  EXPECT_EQ(lines[1]->GetLayerName(), "SILK");
  EXPECT_EQ(lines[1]->GetWidth(), 27);
  EXPECT_EQ(reader.GetWidth(), 99);
  EXPECT_EQ(reader.GetLayerName(), "TOP");
  // A value equal to the one held is no change; -0 is no 0, and a layer name keeps its
  // first 255 characters.
  reader.SetAMT(0.0);
  EXPECT_FALSE(std::signbit(reader.GetAMT()));
  reader.SetAMT(-0.0);
  EXPECT_TRUE(std::signbit(reader.GetAMT()));
  reader.SetLayerName(std::string(300, 'L'));
  EXPECT_EQ(reader.GetLayerName(), std::string(255, 'L'));
}

TEST(KivoObject, TranslationLinksAreMadeOnlyWhenSet) {
  // A model of a large file holds millions of objects: what only translation sets
  // takes no room in an object that was only read.
  static_assert(sizeof(TKivoLine) <= 24, "a line read from the file stays small");
  TKivoPadStack padStack;
  TKivoLine line;
  line.SetOwnerContainer(0);
  line.SetNetContainer(0);
  line.SetPadStackList(nullptr);
  EXPECT_EQ(line.GetOwnerContainer(), 0u);
  line.SetOwnerContainer(7);
  line.SetNetContainer(9);
  line.SetPadStackList(&padStack);
  EXPECT_EQ(line.GetOwnerContainer(), 7u);
  EXPECT_EQ(line.GetNetContainer(), 9u);
  EXPECT_EQ(line.GetPadStack(), &padStack);
  line.SetOwnerContainer(0);
  EXPECT_EQ(line.GetOwnerContainer(), 0u);
  EXPECT_EQ(line.GetNetContainer(), 9u);
}

TEST(KivoObject, HostLayerLookup) {
  TStringList map;
  KivoLayerEntry top(1, eTopLayer), off(2, eIgnoreLayer), empty(3, eKeepOutLayer);
  map.AddObject("Top", &top);
  map.AddObject("OFF", &off);
  TKivoDisplay state;
  TKivoArc noMap(&state);
  EXPECT_EQ(noMap.GetHostLayer(), eIgnoreLayer);
  state.SetLayerMap(&map);
  for (auto [name, layer] : {std::pair<const char*, TLayer>{"TOP", eTopLayer},
                             {"top", eTopLayer},
                             {"OFF", eIgnoreLayer},
                             {"MISSING", eIgnoreLayer},
                             {"", eIgnoreLayer}}) {
    state.SetLayerName(name);
    EXPECT_EQ(TKivoArc(&state).GetHostLayer(), layer) << name;
  }
  // A primitive read before any layer attribute finds a mapped empty name.
  map.AddObject("", &empty);
  state.SetLayerName("");
  EXPECT_EQ(TKivoArc(&state).GetHostLayer(), eKeepOutLayer);
}

// Records what the driver and the distribution of the maps do to it.
class TProbe : public TKivoObject {
 public:
  explicit TProbe(std::vector<std::string>& journal, std::string name)
      : FJournal(journal), FName(std::move(name)) {}
  void SetLayerMap(TStringList* map) override {
    inherited::SetLayerMap(map);
    FJournal.push_back(FName + " layer map");
  }
  void SetPadStackMap(PadStackMapRecord* record) override {
    inherited::SetPadStackMap(record);
    FJournal.push_back(FName + " pad-stack map");
  }
  void SetPadStackList(TKivoPadStack* padStack) override {
    inherited::SetPadStackList(padStack);
    FJournal.push_back(FName + " pad stack " + (padStack ? "given" : "none"));
  }
  void Translate() override {
    FJournal.push_back(FName + " translate in " + std::to_string(GetOwnerContainer()));
  }

 private:
  std::vector<std::string>& FJournal;
  std::string FName;
};

class KivoDetailTest : public KivoModelTest {
 protected:
  void Fill(TKivoDetail& detail, int annotations, int nets, int components) {
    for (int i = 0; i < annotations; ++i)
      detail.GetAnnotations().push_back(std::make_unique<TProbe>(FJournal, "a" + Num(i)));
    for (int i = 0; i < nets; ++i)
      detail.GetNets().push_back(std::make_unique<TProbe>(FJournal, "n" + Num(i)));
    for (int i = 0; i < components; ++i)
      detail.GetComponents().push_back(std::make_unique<TProbe>(FJournal, "c" + Num(i)));
  }
  std::vector<std::string> FJournal;
};

TEST_F(KivoDetailTest, MapsReachTheSymbolThenEveryAnnotationNetAndComponent) {
  TKivoBoardComponent model;
  model.GetSymbol().GetObjects().push_back(std::make_unique<TProbe>(FJournal, "s0"));
  Fill(model.GetDetail(), 1, 1, 1);
  model.GetDetail().GetPadStacks().push_back(std::make_unique<TKivoPadStack>());
  PadStackMapRecord record;
  model.SetLayerMap(&FLayerMap);
  model.SetPadStackMap(&record);
  EXPECT_EQ(FJournal, (std::vector<std::string>{"s0 layer map", "a0 layer map", "n0 layer map",
                                                "c0 layer map", "s0 pad-stack map",
                                                "a0 pad-stack map", "n0 pad-stack map",
                                                "c0 pad-stack map"}));
  EXPECT_EQ(model.GetSymbol().GetLayerMap(), &FLayerMap);
  EXPECT_EQ(model.GetDetail().GetPadStackMap(), &record);
  EXPECT_EQ(model.GetDetail().GetPadStacks()[0]->GetLayerMap(), nullptr) << "pad stacks get none";
}

TEST_F(KivoDetailTest, TranslationOrderAndProgressSteps) {
  TKivoDetail detail;
  detail.SetOwnerContainer(FBoard);
  Fill(detail, 2, 3, 2);
  detail.GetPadStacks().push_back(std::make_unique<TKivoPadStack>());
  detail.GetPadStacks().push_back(std::make_unique<TKivoPadStack>());
  ClearProgressSteps();
  TranslateDetail(detail);
  EXPECT_EQ(ProgressSteps(), 7);
  const std::string b = Num(FBoard);
  EXPECT_EQ(FJournal, (std::vector<std::string>{
                          "a0 translate in " + b, "a1 translate in " + b,
                          "n0 pad stack given", "n0 translate in " + b,
                          "n1 pad stack given", "n1 translate in " + b,
                          "n2 pad stack given", "n2 translate in " + b,
                          "c0 pad stack given", "c0 translate in " + b,
                          "c1 pad stack given", "c1 translate in " + b}));
  for (auto& net : detail.GetNets())
    EXPECT_EQ(net->GetPadStack(), detail.GetPadStacks()[0].get()) << "the first pad stack";
}

// Regression: nets without a PAD_STACK section ended the import on a list index error
// (the first pad stack of an empty list was handed over).
TEST_F(KivoDetailTest, WithoutPadStacksNetsAndComponentsGetNone) {
  TKivoDetail detail;
  detail.SetOwnerContainer(FBoard);
  Fill(detail, 0, 1, 1);
  ClearProgressSteps();
  ASSERT_NO_THROW(TranslateDetail(detail));
  EXPECT_EQ(ProgressSteps(), 2);
  EXPECT_EQ(FJournal[0], "n0 pad stack none");
  EXPECT_EQ(FJournal[2], "c0 pad stack none");
}

TEST_F(KivoDetailTest, AnEmptyDetailTranslatesNothing) {
  TKivoDetail detail;
  ClearProgressSteps();
  TranslateDetail(detail);
  EXPECT_EQ(ProgressSteps(), 0);
}

TEST_F(KivoDetailTest, AnnotationsLandOnTheDetailsBoard) {
  TKivoBoardComponent model;
  TKivoDetail& detail = model.GetDetail();
  detail.SetOwnerContainer(FBoard);
  auto line = std::make_unique<TKivoLine>(&FState);
  line->AddVertex(0, 0), line->AddVertex(10, 10), line->AddVertex(20, 0);
  detail.GetAnnotations().push_back(std::move(line));
  FState.SetLayerName("NOPE");
  detail.GetAnnotations().push_back(std::make_unique<TKivoCircle>(&FState));
  Control().ClearCallLog();
  TranslateDetail(detail);
  const std::string dump = Dump(FBoard);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_CreateObject").size(), 2u);
  EXPECT_NE(dump.find("loose objects 0"), std::string::npos);
  EXPECT_EQ(ProgressSteps(), 2) << "an untranslated annotation still steps";
}

TEST(KivoEnvironment, OwnsItsLayerEntries) {
  TKivoBoardComponent model;
  TKivoEnvironment& environment = model.GetEnvironment();
  environment.AddLayerString("TOP", 1);
  auto* entry = static_cast<KivoLayerEntry*>(environment.GetLayerStrings().GetObject(0));
  EXPECT_EQ(entry->GetKivoLayerId(), 1);
  EXPECT_EQ(entry->GetHostLayer(), eIgnoreLayer) << "until the options dialog sets it";
  EXPECT_EQ(environment.GetUnitCode(), 0);
  EXPECT_FALSE(environment.GetROTP());
  EXPECT_EQ(model.GetApertureTable().GetApertures().GetCount(), 0);
}

}  // namespace

namespace {

// The model's arena: objects and list storage made while it is current come from it,
// others from the heap, and either kind is given back through the same path, counted
// against its arena.
// Most of a model's objects are an odd multiple of 4 bytes long: they lie 4 bytes
// apart, not rounded up to 8, and everything else stays aligned to 8.
TEST(KivoArenaTest, ObjectsTakeTheAlignmentTheirSizeAllows) {
  TKivoArena arena;
  char* const first = static_cast<char*>(arena.Allocate(12));
  char* const second = static_cast<char*>(arena.Allocate(12));
  char* const even = static_cast<char*>(arena.Allocate(16));
  char* const odd = static_cast<char*>(arena.Allocate(3));
  char* const after = static_cast<char*>(arena.Allocate(8));
  EXPECT_EQ(second - first, 12);
  for (char* aligned : {first, even, odd, after})
    EXPECT_EQ(reinterpret_cast<uintptr_t>(aligned) % 8, 0u);
  EXPECT_EQ(after - odd, 8) << "a size that is no multiple of 4 is rounded up to 8";
  for (char* made : {first, second, even, odd, after})
    TKivoArena::Free(made);
}

TEST(KivoArenaTest, ObjectsOfTheArenaAndOfTheHeapAreDeletedAlike) {
  TKivoArena arena;
  auto heapText = std::make_unique<TKivoText>();
  std::vector<std::unique_ptr<TKivoObject>> made;
  {
    const TKivoArenaScope scope(arena);
    for (int i = 0; i < 20000; ++i) {  // more than one block
      auto line = std::make_unique<TKivoLine>();
      line->AddVertex(i, -i);
      made.push_back(std::move(line));
    }
    // Nested scopes restore the arena before them.
    TKivoArena inner;
    {
      const TKivoArenaScope innerScope(inner);
      EXPECT_EQ(TKivoArena::Current(), &inner);
      auto brief = std::make_unique<TKivoCircle>();
      EXPECT_EQ(inner.GetLiveCount(), 1u);
    }
    EXPECT_EQ(inner.GetLiveCount(), 0u);
    EXPECT_EQ(TKivoArena::Current(), &arena);
  }
  EXPECT_EQ(TKivoArena::Current(), nullptr);
  // Each line and its vertices' storage.
  EXPECT_EQ(arena.GetLiveCount(), 40000u);
  auto afterwards = std::make_unique<TKivoArc>();  // the heap again
  // Storage grown outside the scope comes from the heap; the arena's is given back.
  static_cast<TKivoLine&>(*made[0]).AddVertex(1, 1);
  EXPECT_EQ(arena.GetLiveCount(), 39999u);
  EXPECT_EQ(made[19999]->ClassType(), TKivoLine::StaticClass());
  EXPECT_EQ(static_cast<TKivoLine&>(*made[12345]).GetVertices()[0], (TKivoPoint{12345, -12345}));
  made.clear();
  EXPECT_EQ(arena.GetLiveCount(), 0u);
  // A list larger than a block gets one of its own.
  {
    const TKivoArenaScope scope(arena);
    TKivoPoints many(100000, TKivoPoint{3, 4});
    EXPECT_EQ(arena.GetLiveCount(), 1u);
    EXPECT_EQ(many[99999], (TKivoPoint{3, 4}));
  }
  EXPECT_EQ(arena.GetLiveCount(), 0u);
  // An object's translation links, set after the reading, go where the object is.
  {
    std::unique_ptr<TKivoLine> line;
    {
      const TKivoArenaScope scope(arena);
      line = std::make_unique<TKivoLine>();
    }
    line->SetOwnerContainer(7);
    heapText->SetOwnerContainer(8);
    EXPECT_EQ(arena.GetLiveCount(), 2u);
    EXPECT_EQ(line->GetOwnerContainer(), 7u);
  }
  EXPECT_EQ(arena.GetLiveCount(), 0u);
  heapText.reset();
  afterwards.reset();
}

}  // namespace
