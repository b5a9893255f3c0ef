// The command launcher as the host calls it: look-up without regard to case, state
// presets, first registration kept, and failures stopped at the launcher.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/Boundary.h"
#include "host/CommandLauncher.h"

namespace {

struct TCall {
  std::string Handler;
  IUnknown* Context;
  std::string Parameters;
};
std::vector<TCall> gCalls;

int32_t RunFirst(IUnknown* context, const char* parameters) {
  gCalls.push_back({"first", context, parameters});
  return 42;
}
int32_t RunSecond(IUnknown* context, const char* parameters) {
  gCalls.push_back({"second", context, parameters});
  return 7;
}
int32_t RunFailing(IUnknown*, const char*) { throw Exception("Board is locked"); }
int32_t RunFailingOddly(IUnknown*, const char*) { throw 5; }

void ReportState(IUnknown*, const char* parameters, int32_t& v1, int32_t& v2, int32_t& v3, bool& f1,
                 bool& f2) {
  v2 = 5;
  f1 = std::string(parameters) == "Enabled=True";
}

std::vector<std::string> gShown;
std::vector<std::string> gBoundary;

class CommandLauncherTest : public testing::Test {
 protected:
  void SetUp() override {
    gCalls.clear();
    gShown.clear();
    gBoundary.clear();
    FPreviousHandler = SetCommandErrorHandler(nullptr);
    FPreviousBoundary = SetBoundaryHandler([](const char* where, const std::exception* e) {
      gBoundary.push_back(std::string(where) + ": " + (e ? e->what() : "?"));
    });
  }
  void TearDown() override {
    SetCommandErrorHandler(FPreviousHandler);
    SetBoundaryHandler(FPreviousBoundary);
  }

  struct TState {
    int32_t V1 = 99, V2 = 99, V3 = 99;
    TBoolByte F1 = 9, F2 = 9;
  };
  TState State(const char* command, const char* parameters = "") {
    TState s;
    FIntf->GetCommandState(command, parameters, nullptr, &s.V1, &s.V2, &s.V3, &s.F1, &s.F2);
    return s;
  }

  TCommandLauncher FLauncher;
  ICommandLauncherIntf* FIntf = &FLauncher;  // as the host sees it
  TCommandErrorHandler FPreviousHandler = nullptr;
  TBoundaryHandler FPreviousBoundary = nullptr;
};

TEST_F(CommandLauncherTest, LaunchFindsTheCommandWithoutRegardToCase) {
  RegisterCommand(FLauncher, "LoadKIVOPCBFile", RunFirst, nullptr);
  IUnknown* context = reinterpret_cast<IUnknown*>(0x1234);
  EXPECT_EQ(FIntf->LaunchCommand("loadkivopcbfile", "FileName=a.pdf", 99, context), 42);
  ASSERT_EQ(gCalls.size(), 1u);
  EXPECT_EQ(gCalls[0].Context, context);
  EXPECT_EQ(gCalls[0].Parameters, "FileName=a.pdf");
  EXPECT_EQ(FindCommandHandler(FLauncher, "LOADKIVOPCBFILE"), &RunFirst);
}

TEST_F(CommandLauncherTest, AnUnknownCommandAnswersZeroAndRunsNothing) {
  RegisterCommand(FLauncher, "LoadKIVOPCBFile", RunFirst, nullptr);
  EXPECT_EQ(FIntf->LaunchCommand("LoadKIVOPCBFil", "", 0, nullptr), 0);
  EXPECT_EQ(FIntf->LaunchCommand(nullptr, nullptr, 0, nullptr), 0);
  EXPECT_TRUE(gCalls.empty());
  EXPECT_EQ(FindCommandHandler(FLauncher, "Other"), nullptr);
  EXPECT_TRUE(gBoundary.empty());
}

TEST_F(CommandLauncherTest, StatePresetsUnlessAStateProcedureChangesThem) {
  RegisterCommand(FLauncher, "Plain", RunFirst, nullptr);
  RegisterCommand(FLauncher, "Stated", RunFirst, ReportState);
  for (const char* command : {"Plain", "Unknown"}) {
    TState s = State(command);
    EXPECT_EQ(s.V1, -1) << command;
    EXPECT_EQ(s.V2, 0) << command;
    EXPECT_EQ(s.V3, -1) << command;
    EXPECT_EQ(s.F1, 0) << command;
    EXPECT_EQ(s.F2, 0) << command;
  }
  TState s = State("STATED", "Enabled=True");
  EXPECT_EQ(s.V1, -1);
  EXPECT_EQ(s.V2, 5);
  EXPECT_EQ(s.F1, 1);
  EXPECT_EQ(s.F2, 0);
  EXPECT_EQ(FindCommandStateProc(FLauncher, "stated"), &ReportState);
  EXPECT_EQ(FindCommandStateProc(FLauncher, "plain"), nullptr);
  EXPECT_TRUE(gCalls.empty());  // asking for a state runs no command
}

TEST_F(CommandLauncherTest, ASecondRegistrationOfANameKeepsTheFirst) {
  RegisterCommand(FLauncher, "Run", RunFirst, nullptr);
  RegisterCommand(FLauncher, "RUN", RunSecond, ReportState);
  RegisterCommand(FLauncher, "Another", RunSecond, nullptr);
  EXPECT_EQ(FLauncher.GetCommands().GetCount(), 2);
  EXPECT_EQ(FLauncher.GetCommands().Get(0), "Another");  // kept sorted
  EXPECT_EQ(FIntf->LaunchCommand("run", "", 0, nullptr), 42);
  EXPECT_EQ(FindCommandStateProc(FLauncher, "Run"), nullptr);
}

// Regression: a command's exception passed through LaunchCommand into the host, which
// cannot catch it across the module boundary; it now stops at the launcher.
TEST_F(CommandLauncherTest, AFailingCommandAnswersZeroAndItsMessageIsShown) {
  RegisterCommand(FLauncher, "Fail", RunFailing, nullptr);
  SetCommandErrorHandler([](const std::string& message) { gShown.push_back(message); });
  EXPECT_EQ(FIntf->LaunchCommand("Fail", "", 0, nullptr), 0);
  EXPECT_EQ(FLauncher.GetLastCommandError(), "Board is locked");
  EXPECT_EQ(gShown, std::vector<std::string>{"Board is locked"});
  EXPECT_TRUE(gBoundary.empty());
}

TEST_F(CommandLauncherTest, WithoutAnErrorHandlerTheFailureGoesToTheBoundaryHandler) {
  RegisterCommand(FLauncher, "Fail", RunFailing, nullptr);
  RegisterCommand(FLauncher, "Odd", RunFailingOddly, nullptr);
  EXPECT_EQ(FIntf->LaunchCommand("fail", "", 0, nullptr), 0);
  EXPECT_EQ(gBoundary, std::vector<std::string>{"fail: Board is locked"});
  EXPECT_EQ(FIntf->LaunchCommand("Odd", "", 0, nullptr), 0);
  EXPECT_EQ(FLauncher.GetLastCommandError(), "Command Odd failed");
  // The launcher goes on working.
  RegisterCommand(FLauncher, "Run", RunFirst, nullptr);
  EXPECT_EQ(FIntf->LaunchCommand("Run", "", 0, nullptr), 42);
}

}  // namespace
