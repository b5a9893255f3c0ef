// Process runs, the main window and opening a file in the host's editor, checked
// against the stand-in host's call log.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "classlib/Interfaces.h"
#include "host/ClientApi.h"
#include "host/ServerReferences.h"
#include "standin/host/StandinHost.h"

namespace {

using Lines = std::vector<std::string>;

class HostCallsTest : public testing::Test {
 protected:
  void SetUp() override {
    standin::HostOptions() = standin::THostOptions();
    standin::CloseAllDocuments();
    standin::ClearAnswers();
    standin::ClearCallLog();
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    FReport = std::string(folder) + "kivo_host_calls.rpt";
    std::ofstream(FReport, std::ios::binary) << "report text\n";
  }
  void TearDown() override {
    DeleteFileA(FReport.c_str());
    standin::CloseAllDocuments();
    standin::HostOptions() = standin::THostOptions();
  }
  std::string Q(const std::string& text) { return "\"" + text + "\""; }
  // The calls that show the report again when the host has it open in a view of `kind`.
  Lines ShownAgain(const std::string& kind) {
    return {"IClient#14 GetDocumentByPath(" + Q(FReport) + ") -> open",
            "IServerDocument#18 GetView " + Q(FReport), "IServerDocument#8 Focus " + Q(FReport),
            "IClient#31 ShowDocument(" + Q(FReport) + ")",
            "IServerDocumentView#12 GetViewKind -> " + Q(kind)};
  }
  std::string FReport;
};

// While it lives, the process has no client.
class TNoClient {
 public:
  TNoClient() : FSaved(GetClient()) { SetClient(nullptr); }
  ~TNoClient() { SetClient(FSaved.Get()); }

 private:
  TInterfacePtr<IClient> FSaved;
};

TEST_F(HostCallsTest, RunClientProcessAnswersInTheSameBuffer) {
  standin::QueueAnswer("Result=True|Path=C:\\boards\\x.pdf");
  char buffer[4096] = "Dialog=FileOpenSave|Mode=0|Path=";
  EXPECT_TRUE(RunClientProcess("Client:RunCommonDialog", buffer, sizeof buffer, nullptr));
  EXPECT_STREQ(buffer, "Result=True|Path=C:\\boards\\x.pdf");
  // An empty script answers Result=False.
  std::strcpy(buffer, "Dialog=FileOpenSave|Mode=1|Path=a.cfg");
  EXPECT_TRUE(RunClientProcess("Client:RunCommonDialog", buffer, sizeof buffer, nullptr));
  EXPECT_STREQ(buffer, "Result=False");
  EXPECT_EQ(standin::CallLog(),
            (Lines{"IClient#0 QueryInterface(IClientCommandRunner) -> found",
                   "IClientCommandRunner#4 RunProcess(\"Client:RunCommonDialog\", "
                   "\"Dialog=FileOpenSave|Mode=0|Path=\", 4096, nil) -> "
                   "\"Result=True|Path=C:\\boards\\x.pdf\"",
                   "IClient#0 QueryInterface(IClientCommandRunner) -> found",
                   "IClientCommandRunner#4 RunProcess(\"Client:RunCommonDialog\", "
                   "\"Dialog=FileOpenSave|Mode=1|Path=a.cfg\", 4096, nil) -> "
                   "\"Result=False\""}));
}

TEST_F(HostCallsTest, WithoutAClientNothingRunsAndTheBufferStaysAsItWas) {
  TNoClient noClient;
  char buffer[64] = "Dialog=FileOpenSave";
  EXPECT_FALSE(RunClientProcess("Client:RunCommonDialog", buffer, sizeof buffer, nullptr));
  EXPECT_STREQ(buffer, "Dialog=FileOpenSave");
  EXPECT_EQ(HostMainWindow(), nullptr);
  OpenDocumentInEditor(FReport);
  EXPECT_TRUE(standin::CallLog().empty());
}

TEST_F(HostCallsTest, AClientWithoutTheRunnerRaisesTheInterfaceCastError) {
  // Only QueryInterface is reached before the cast fails, so a plain object will do.
  TInterfacePtr<TInterfacedObject> plain = MakeInterfaced<TInterfacedObject>();
  TInterfacePtr<IClient> saved = GetClient();
  SetClient(reinterpret_cast<IClient*>(static_cast<IUnknown*>(plain.Get())));
  char buffer[16] = "";
  EXPECT_THROW(RunClientProcess("Client:RunCommonDialog", buffer, sizeof buffer, nullptr),
               EIntfCastError);
  SetClient(saved.Get());
}

TEST_F(HostCallsTest, HostMainWindowIsTheClientsVisibleMainWindow) {
  HWND window = HostMainWindow();
  EXPECT_EQ(window, standin::MainWindowHandle());
  EXPECT_NE(window, standin::ApplicationWindowHandle());
  EXPECT_EQ(standin::CallLog(), Lines{"IClient#15 GetMainWindowHandle"});
}

TEST_F(HostCallsTest, AMissingFileCallsNothing) {
  OpenDocumentInEditor(FReport + ".missing");
  EXPECT_TRUE(standin::CallLog().empty());
}

TEST_F(HostCallsTest, AFileNotOpenIsOpenedAsItsKindAndShown) {
  OpenDocumentInEditor(FReport, 0);
  EXPECT_EQ(standin::CallLog(),
            (Lines{"IClient#14 GetDocumentByPath(" + Q(FReport) + ") -> nil",
                   "IClient#27 GetDocumentKindFromFile(" + Q(FReport) + ") -> \"TEXT\"",
                   "IClient#24 OpenDocument(\"TEXT\", " + Q(FReport) + ") -> opened",
                   "IClient#31 ShowDocument(" + Q(FReport) + ")"}));
  EXPECT_EQ(standin::CurrentDocumentName(), FReport);
  EXPECT_EQ(standin::DocumentContent(FReport), "report text\n");
}

TEST_F(HostCallsTest, WhenTheHostCannotOpenTheFileNothingIsShown) {
  standin::HostOptions().OpenFails = true;
  OpenDocumentInEditor(FReport);
  EXPECT_EQ(standin::CallsStartingWith("IClient#24").size(), 1u);
  EXPECT_TRUE(standin::CallsStartingWith("IClient#31").empty());
}

TEST_F(HostCallsTest, AnOpenTextViewIsShownAndMovedToItsTop) {
  for (const char* kind : {"TextEdit", "TEXTEDIT", "textEdit"}) {
    standin::CloseAllDocuments();
    standin::OpenDocumentInHost("TEXT", FReport, kind);
    standin::ClearCallLog();
    OpenDocumentInEditor(FReport);
    Lines expected = ShownAgain(kind);
    expected.insert(expected.end(),
                    {"IServerDocument#19 GetProcessContext(0) " + Q(FReport),
                     "IServerDocumentView#8 PrepareProcess("
                     "\"TextEdit:MoveCursorToTopOfDocument\", 0, 0, document's context)",
                     "IViewCommand#3 Run \"TextEdit:MoveCursorToTopOfDocument\" on " + Q(FReport)});
    EXPECT_EQ(standin::CallLog(), expected) << kind;
  }
}

TEST_F(HostCallsTest, AnOpenViewOfAnotherKindIsOnlyShown) {
  standin::OpenDocumentInHost("TEXT", FReport, "Preview");
  OpenDocumentInEditor(FReport);
  EXPECT_EQ(standin::CallLog(), ShownAgain("Preview"));
}

}  // namespace
