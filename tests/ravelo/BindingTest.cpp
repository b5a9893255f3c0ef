// The stand-in server loaded before start-up: the binding finds it and binds exactly
// the entry points it exports.
#include <cstring>
#include <set>
#include <string>

#include "classlib/Win.h"
#include "pcb/PcbUnit.h"
#include "tests/ravelo/RaveloTestSupport.h"
#include "tests/ravelo/TestUnits.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(RaveloBinding, StartUpBindsTheWrappedEntryPoints) {
  HMODULE server = GetModuleHandleA("Ravelo.dll");
  ASSERT_NE(server, nullptr);
  EXPECT_EQ(PcbApiModule(), server);
  int bound = 0;
  for (int i = 0; i < PcbApiEntryCount; ++i) {
    void* exported = reinterpret_cast<void*>(GetProcAddress(server, PcbApiEntryName(i)));
    EXPECT_EQ(PcbApiEntryAddress(i), exported) << PcbApiEntryName(i);
    bound += exported != nullptr;
  }
  EXPECT_EQ(bound, 70);
}

TEST(RaveloBinding, BindingAgainGivesTheSameSlots) {
  void* before[PcbApiEntryCount];
  for (int i = 0; i < PcbApiEntryCount; ++i)
    before[i] = PcbApiEntryAddress(i);
  LoadPcbApi();
  for (int i = 0; i < PcbApiEntryCount; ++i)
    EXPECT_EQ(PcbApiEntryAddress(i), before[i]) << PcbApiEntryName(i);
}

TEST_F(RaveloTest, WrappersReachTheServer) {
  EXPECT_EQ(PcbApiGetCurrentBoardHandle(), FBoard);
  const uint32_t track = PcbApiCreateObject(4);
  EXPECT_NE(track, 0u);
  EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(track), 4);
}

}  // namespace

std::span<const TUnitEntry> TestUnits() { return RaveloTestUnits(); }
