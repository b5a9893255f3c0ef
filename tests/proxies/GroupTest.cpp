// The group and bookkeeping proxies' own rules: a component's five calls, class members,
// and the capacities of dimensions and polygons against a host that reports more.
#include <string>
#include <vector>

#include "pcb/PcbBookkeeping.h"
#include "pcb/PcbDimension.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbPrimitives.h"
#include "tests/proxies/ProxyTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

using ProxyGroups = RaveloTest;

const std::vector<std::string> cComponentCalls = {
    "PcbApi_GetObjectBitField2",       "PcbApi_GetObjectBitField3",
    "PcbApi_QueryComponentChannelOffset", "PcbApi_QueryComponentKind",
    "PcbApi_QueryComponent",           "PcbApi_QueryComponentEx",
    "PcbApi_QueryComponentSourceLinks"};

TEST_F(ProxyGroups, ComponentMakesItsFiveCallsInOrder) {
  const uint32_t handle = PcbApiCreateObject(okComponent);
  TPcbComponent component(handle);
  for (uint8_t mode : {1, 0, 2}) {
    Control().ClearCallLog();
    EXPECT_EQ(component.Synchronize(mode), 0);
    EXPECT_EQ(CallNames(CallLog()), cComponentCalls);
    for (const std::string& line : Calls(CallLog(), "PcbApi_QueryComponent"))
      EXPECT_EQ(line, "PcbApi_QueryComponent(" + Num(mode) + ", " + Num(handle) + ") = 0");
  }
}

TEST_F(ProxyGroups, ComponentAnswersTheMainStatusWhateverFollows) {
  const uint32_t handle = PcbApiCreateObject(okComponent);
  TPcbComponent component(handle);
  Control().InjectResult("PcbApi_QueryComponentEx", 5);
  Control().InjectResult("PcbApi_QueryComponentSourceLinks", 4);
  Control().InjectResult("PcbApi_QueryComponentKind", 3);
  EXPECT_EQ(component.Synchronize(1), 0);
  EXPECT_EQ(component.Synchronize(0), 0);
  Control().InjectResult("PcbApi_QueryComponent", 7);
  Control().ClearCallLog();
  EXPECT_EQ(component.Synchronize(1), 7);
  EXPECT_EQ(CallNames(CallLog()), cComponentCalls);
}

TEST_F(ProxyGroups, ComponentNameIsItsDesignatorText) {
  const uint32_t handle = PcbApiCreateObject(okComponent);
  TPcbComponent component(handle);
  ASSERT_EQ(component.Synchronize(1), 0);
  EXPECT_EQ(component.GetName(), "");
  TPcbText designator(component.GetNameText());
  ASSERT_EQ(designator.Synchronize(1), 0);
  designator.SetText("IC7");
  ASSERT_EQ(designator.Synchronize(0), 0);
  EXPECT_EQ(component.GetName(), "IC7");
}

// Fault: members were appended without emptying the list first, so a second load listed
// every member twice (and a store after it wrote them twice into the host).
TEST_F(ProxyGroups, LoadingAClassTwiceListsEachMemberOnce) {
  const uint32_t handle = PcbApiCreateObject(okClass);
  for (const char* name : {"GND", "VCC", "CLK"})
    ASSERT_EQ(PcbApi_AddMemberToClass(handle, name), 0);
  TPCBObjectClass objectClass(handle);
  EXPECT_EQ(objectClass.Synchronize(1), 1);
  EXPECT_EQ(objectClass.Synchronize(1), 1);
  ASSERT_EQ(objectClass.GetMembers()->GetCount(), 3);
  EXPECT_EQ(objectClass.GetMembers()->Get(2), "CLK");
  EXPECT_EQ(objectClass.Synchronize(0), 0);
  EXPECT_EQ(DumpObject(handle).find("Member=\"GND\" Member=\"VCC\" Member=\"CLK\"\n") !=
                std::string::npos,
            true);
}

// Fault: the load went on "while the status is not 1", so any other failure status
// repeated the same call for ever.
TEST_F(ProxyGroups, ClassLoadStopsAtAnyFailure) {
  const uint32_t handle = PcbApiCreateObject(okClass);
  ASSERT_EQ(PcbApi_AddMemberToClass(handle, "GND"), 0);
  TPCBObjectClass objectClass(handle);
  Control().InjectResult("PcbApi_GetMemberFromClassAt", 5);
  Control().ClearCallLog();
  EXPECT_EQ(objectClass.Synchronize(1), 5);
  EXPECT_EQ(objectClass.GetMembers()->GetCount(), 0);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_GetMemberFromClassAt").size(), 1u);
}

// Fault: a host that never reports the end held the load for ever; now it stops at the cap.
TEST_F(ProxyGroups, ClassLoadStopsAtItsCap) {
  const uint32_t handle = PcbApiCreateObject(okClass);
  TPCBObjectClass objectClass(handle);
  Control().InjectResult("PcbApi_GetMemberFromClassAt", 0);
  EXPECT_EQ(objectClass.Synchronize(1), 0);
  EXPECT_EQ(objectClass.GetMembers()->GetCount(), TPCBObjectClass::MaxMembers);
  Control().ClearCallLog();
}

TEST_F(ProxyGroups, StoringAClassReplacesTheHostsMembers) {
  const uint32_t handle = PcbApiCreateObject(okClass);
  ASSERT_EQ(PcbApi_AddMemberToClass(handle, "OLD"), 0);
  TPCBObjectClass objectClass(handle);
  objectClass.GetMembers()->Add("A");
  objectClass.GetMembers()->Add("B");
  Control().ClearCallLog();
  EXPECT_EQ(objectClass.Synchronize(2), 0);
  EXPECT_EQ(CallNames(CallLog()),
            (std::vector<std::string>{"PcbApi_GetObjectBitField2", "PcbApi_GetObjectBitField3",
                                      "PcbApi_QueryClass", "PcbApi_RemoveAllMembersFromClass",
                                      "PcbApi_AddMemberToClass", "PcbApi_AddMemberToClass"}));
  EXPECT_NE(DumpObject(handle).find(" Member=\"A\" Member=\"B\"\n"), std::string::npos);
  // With no members the result is that of the removal.
  objectClass.GetMembers()->Clear();
  Control().InjectResult("PcbApi_RemoveAllMembersFromClass", 6);
  EXPECT_EQ(objectClass.Synchronize(0), 6);
}

TEST_F(ProxyGroups, DimensionWithoutReferencesAsksForNone) {
  TPcbDimension dimension(PcbApiCreateObject(okDimension));
  Control().ClearCallLog();
  EXPECT_EQ(dimension.Synchronize(1), 0);
  EXPECT_EQ(dimension.Synchronize(0), 0);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_References_Count").size(), 2u);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_References_At").size(), 0u);
}

TEST_F(ProxyGroups, DimensionAnswersTheAndOfItsTwoQueries) {
  TPcbDimension dimension(PcbApiCreateObject(okDimension));
  Control().InjectResult("PcbApi_QueryDimension", 6);
  Control().InjectResult("PcbApi_QueryExtDimension", 3);
  EXPECT_EQ(dimension.Synchronize(1), 2);
}

// Fault: a host reporting more than 200 references had the proxy write records past its
// 200; the count is cut to 200.
TEST_F(ProxyGroups, DimensionTakesAtMostTwoHundredReferences) {
  const uint32_t handle = PcbApiCreateObject(okDimension);
  int32_t v[4] = {1, 2, 3, 4};
  ASSERT_EQ(PcbApi_References_At(0, handle, 0, &v[0], &v[1], &v[2], &v[3]), 0);
  ASSERT_EQ(Control().OverstateCount(handle, 1000), 0);
  TPcbDimension dimension(handle);
  Control().ClearCallLog();
  EXPECT_EQ(dimension.Synchronize(1), 0);
  EXPECT_EQ(dimension.GetReferenceCount(), TPcbDimension::ReferenceCapacity);
  const std::vector<std::string> calls = Calls(CallLog(), "PcbApi_References_At");
  ASSERT_EQ(calls.size(), 200u);
  EXPECT_EQ(calls.back(), "PcbApi_References_At(1, " + Num(handle) + ", 199) = 4");
  EXPECT_EQ(dimension.GetReferences(0).RefValue4, 4);
}

// Fault: a host reporting more than 500 points left a PointCount beyond the 501 records
// the proxy holds; it is cut to 500 on loading.
TEST_F(ProxyGroups, PolygonPointCountIsCutToFiveHundred) {
  const uint32_t handle = PcbApiCreateObject(okPolygon);
  ASSERT_EQ(Control().OverstateCount(handle, 900), 0);
  TPcbPolygon polygon(handle);
  EXPECT_EQ(polygon.Synchronize(1), 0);
  EXPECT_EQ(polygon.GetPointCount(), TPcbPolygon::MaxPointCount);
  ASSERT_EQ(Control().OverstateCount(handle, -5), 0);
  polygon.SetPointCount(-3);
  EXPECT_EQ(polygon.GetPointCount(), 0);
  polygon.SetPointCount(501);
  EXPECT_EQ(polygon.GetPointCount(), 500);
  EXPECT_THROW(polygon.GetSegments(501), EListError);
}

TEST_F(ProxyGroups, NumberedFieldsRefuseOtherNumbers) {
  TPcbRule rule;
  EXPECT_THROW(rule.GetRuleByte(0), EListError);
  EXPECT_THROW(rule.SetRuleText(11, "x"), EListError);
  TPcbDimension dimension;
  EXPECT_THROW(dimension.GetDimLong(19), EListError);
  EXPECT_THROW(dimension.GetReferences(200), EListError);
  TPcbComponent component;
  EXPECT_THROW(component.GetSourceLinks(8), EListError);
  TPcbCoordinate coordinate;
  EXPECT_THROW(coordinate.SetCoordValue(0, 1), EListError);
}

}  // namespace
