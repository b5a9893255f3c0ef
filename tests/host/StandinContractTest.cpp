// The binary contract from the plug-in's side: every IClient position the framework and
// the importer call, made through the plug-in's declarations, arrives at the stand-in
// host's implementation of that position with its arguments (the stand-in declares the
// tables on its own).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/HostInterfaces.h"
#include "host/ServerReferences.h"
#include "standin/host/StandinHost.h"

namespace {

using Lines = std::vector<std::string>;

class StandinContractTest : public testing::Test {
 protected:
  void SetUp() override {
    standin::HostOptions() = standin::THostOptions();
    standin::ClearCallLog();
    standin::ClearAnswers();
    FClient = GetClient();
    ASSERT_TRUE(FClient);
  }
  void TearDown() override {
    standin::HostOptions() = standin::THostOptions();
    standin::CloseAllDocuments();
  }
  TInterfacePtr<IClient> FClient;
};

TEST_F(StandinContractTest, WindowsAndHelpPositions) {
  EXPECT_EQ(FClient->GetApplicationHandle(), standin::ApplicationWindowHandle());
  EXPECT_EQ(FClient->GetMainWindowHandle(), standin::MainWindowHandle());
  EXPECT_TRUE(IsWindowVisible(standin::MainWindowHandle()));
  EXPECT_FALSE(IsWindowVisible(standin::ApplicationWindowHandle()));
  TInterfacePtr<IClientHelpHook> hook;
  FClient->GetHelpHook(-1, "", hook.OutRef());
  ASSERT_TRUE(hook);
  hook->Invoke();
  standin::SetHelpTopic("Pcb:Import", "PcbImport");
  EXPECT_STREQ(FClient->GetHelpFileForTopic("Pcb:Import"), "PcbImport");
  EXPECT_STREQ(FClient->GetHelpFileForTopic("Unknown"), "");
  EXPECT_EQ(standin::CallLog(),
            (Lines{"IClient#9 GetApplicationHandle", "IClient#15 GetMainWindowHandle",
                   "IClient#17 GetHelpHook(-1, \"\")", "IClientHelpHook#12 Invoke",
                   "IClient#39 GetHelpFileForTopic(\"Pcb:Import\") -> \"PcbImport\"",
                   "IClient#39 GetHelpFileForTopic(\"Unknown\") -> \"\""}));
}

TEST_F(StandinContractTest, StartingThePcbServerLoadsTheStandInServer) {
  standin::HostOptions().PcbServerFails = true;
  EXPECT_EQ(FClient->StartServer("PCB"), 0);
  standin::HostOptions().PcbServerFails = false;
  EXPECT_EQ(FClient->StartServer("Sch"), 0);
  EXPECT_NE(FClient->StartServer("PCB"), 0);
  EXPECT_NE(GetModuleHandleA("Ravelo.dll"), nullptr);
  EXPECT_EQ(standin::CallLog(), (Lines{"IClient#25 StartServer(\"PCB\") -> False",
                                       "IClient#25 StartServer(\"Sch\") -> False",
                                       "IClient#25 StartServer(\"PCB\") -> True"}));
}

TEST_F(StandinContractTest, ANewPcbDocumentGetsABoardThatBecomesCurrentWhenShown) {
  ASSERT_NE(FClient->StartServer("PCB"), 0);
  HMODULE server = GetModuleHandleA("Ravelo.dll");
  using TCurrentBoard = uint32_t(__stdcall*)();
  auto currentBoard = reinterpret_cast<TCurrentBoard>(
      reinterpret_cast<void*>(GetProcAddress(server, "PcbApi_GetCurrentBoardHandle")));
  ASSERT_NE(currentBoard, nullptr);
  standin::ClearCallLog();

  TInterfacePtr<IDocumentCreator> creator;
  FClient->GetDocumentCreator("PCB", "PCB", "C:\\boards\\demo.pdf", creator.OutRef());
  ASSERT_TRUE(creator);
  TInterfacePtr<IServerDocument> document;
  creator->CreateDocument(document.OutRef());
  ASSERT_TRUE(document);
  FClient->ShowDocument(document.Get());
  EXPECT_NE(currentBoard(), 0u);
  ASSERT_EQ(standin::CallLog().size(), 3u);
  EXPECT_EQ(standin::CallLog()[0],
            "IClient#19 GetDocumentCreator(\"PCB\", \"PCB\", \"C:\\boards\\demo.pdf\")");
  EXPECT_THAT(standin::CallLog()[1],
              testing::StartsWith("IDocumentCreator#5 CreateDocument -> \"PCB"));
  EXPECT_THAT(standin::CallLog()[2], testing::StartsWith("IClient#31 ShowDocument(\"PCB"));
  EXPECT_THAT(standin::CurrentDocumentName(), testing::EndsWith(".PcbDoc"));
}

TEST_F(StandinContractTest, ThePcbServerForwardsTheCommonDialogToTheHost) {
  ASSERT_NE(FClient->StartServer("PCB"), 0);
  using TSendCommand = int32_t(__stdcall*)(const char*, char*, uint16_t, uint32_t);
  auto send = reinterpret_cast<TSendCommand>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("Ravelo.dll"), "PcbApi_SendCommand")));
  ASSERT_NE(send, nullptr);
  standin::QueueAnswer("Result=True|Path=C:\\cfg\\a.cfg");
  char buffer[4096] = "Dialog=FileOpenSave|Mode=1|Path=a.cfg";
  EXPECT_EQ(send("Client:RunCommonDialog", buffer, sizeof buffer, 0), 1);
  EXPECT_STREQ(buffer, "Result=True|Path=C:\\cfg\\a.cfg");
  EXPECT_EQ(standin::CallsStartingWith("PcbApi_SendCommand").size(), 1u);
}

TEST_F(StandinContractTest, AnAnswerThatDoesNotFitIsRefused) {
  standin::QueueAnswer("Result=True|Path=C:\\a-rather-long-name.pdf");
  TInterfacePtr<IClientCommandRunner> runner;
  ASSERT_TRUE(Supports(FClient.Get(), runner));
  char buffer[16] = "Dialog=x";
  EXPECT_EQ(runner->RunProcess("Client:RunCommonDialog", buffer, sizeof buffer, nullptr), 0);
  EXPECT_STREQ(buffer, "Dialog=x");
}

}  // namespace

namespace {

// A call to a position the plug-in has no business calling ends the host's run: the
// slot cannot know how many arguments were pushed, so it may not return.
TEST(StandinContractDeathTest, AnUnexpectedPositionEndsTheRun) {
  EXPECT_EXIT(GetClient()->Reserved3(), testing::ExitedWithCode(3), "IClient position 3");
  EXPECT_EXIT(GetClient()->Reserved38(), testing::ExitedWithCode(3), "IClient position 38");
}

}  // namespace
