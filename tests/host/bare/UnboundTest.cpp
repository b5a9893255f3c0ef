// The framework in a host without "ClientAPI_" exports: every slot stays empty, the
// wrappers answer False or empty text, and without a client nothing reaches the host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/ClientApi.h"
#include "host/ParameterList.h"
#include "host/ServerReferences.h"
#include "standin/host/StandinHost.h"
#include "tests/host/bare/TestUnits.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(UnboundHost, EverySlotStaysEmptyAndNoClientIsFetched) {
  for (const char* name : ClientApiNames())
    EXPECT_EQ(ClientApiEntry(name), nullptr) << name;
  EXPECT_FALSE(GetClient());
  EXPECT_FALSE(ClientApiGetClientInterface());
}

TEST(UnboundHost, WrappersAnswerFalseOrEmptyText) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  EXPECT_FALSE(ClientApiExistSpecific(exe));
  EXPECT_EQ(ClientApiExtractFileNameFromPath("C:\\boards\\demo.pdf"), "");
  EXPECT_EQ(ClientApiForceFileNameExtension("C:\\boards\\demo.pdf", "rpt"), "");
}

TEST(UnboundHost, WithoutAClientNothingReachesTheHost) {
  standin::ClearCallLog();
  char buffer[32] = "Dialog=FileOpenSave";
  EXPECT_FALSE(RunClientProcess("Client:RunCommonDialog", buffer, sizeof buffer, nullptr));
  EXPECT_STREQ(buffer, "Dialog=FileOpenSave");
  EXPECT_EQ(HostMainWindow(), nullptr);
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  OpenDocumentInEditor(exe);
  EXPECT_TRUE(standin::CallLog().empty());
}

}  // namespace

std::span<const TUnitEntry> TestUnits() { return HostBareTestUnits(); }
