// Binding on demand, by exact name: a server library whose exports differ from the
// bound names only in case leaves those slots empty.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pcb/PcbApi.h"
#include "pcb/PcbUnit.h"
#include "tests/pcb/TestUnits.h"
#include "tests/support/TestSupport.h"

namespace {

std::string WrongCaseServerPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + "wrongcase\\Ravelo.dll";
}

void* Bound(const char* name) {
  for (int i = 0; i < PcbApiEntryCount; ++i) {
    if (std::strcmp(PcbApiEntryName(i), name) == 0)
      return PcbApiEntryAddress(i);
  }
  ADD_FAILURE() << name << " is not in the binding table";
  return nullptr;
}

TEST(PcbApiExactCase, BindsOnlyNamesOfTheSameCase) {
  ASSERT_EQ(GetModuleHandleA("Ravelo.dll"), nullptr);
  EXPECT_EQ(PcbApiCreateObject(4), 0u);  // started without the server

  HMODULE server = LoadLibraryA(WrongCaseServerPath().c_str());
  ASSERT_NE(server, nullptr) << WrongCaseServerPath() << " error " << GetLastError();
  ASSERT_EQ(GetModuleHandleA("Ravelo.dll"), server);
  EXPECT_EQ(PcbApiCreateObject(4), 0u);  // nothing changes before the binding runs again

  LoadPcbApi();
  EXPECT_EQ(PcbApiModule(), server);
  EXPECT_NE(Bound("PcbApi_CreateObject"), nullptr);
  EXPECT_NE(Bound("PCBAPI_GetBinaryRuleForPrimitive"), nullptr);
  EXPECT_EQ(Bound("PcbApi_GetCurrentBoardHandle"), nullptr);
  EXPECT_EQ(Bound("PCBAPI_GetUnaryRuleForPrimitive"), nullptr);
  EXPECT_EQ(Bound("PcbApi_Percent_Init"), nullptr);
  int bound = 0;
  for (int i = 0; i < PcbApiEntryCount; ++i)
    bound += PcbApiEntryAddress(i) != nullptr;
  EXPECT_EQ(bound, 3);

  EXPECT_EQ(PcbApiCreateObject(4), 42u);
  EXPECT_EQ(PcbApiGetCurrentBoardHandle(), 0u);
  PcbApiPercentInit("caption", 1);  // unbound: nothing happens

  // A host answer that fills the whole buffer cannot make a reader run past it.
  char parameters[17] = "Dialog=FileOpen";
  EXPECT_EQ(PcbApiSendCommand("Client:RunCommonDialog", parameters, 16, 0), 1);
  EXPECT_EQ(std::string(parameters), std::string(15, 'x'));

  // Binding again without the library clears every slot.
  ASSERT_TRUE(FreeLibrary(server));
  LoadPcbApi();
  EXPECT_EQ(PcbApiModule(), nullptr);
  EXPECT_EQ(Bound("PcbApi_CreateObject"), nullptr);
  EXPECT_EQ(PcbApiCreateObject(4), 0u);
}

}  // namespace

std::span<const TUnitEntry> TestUnits() { return PcbTestUnits(); }
