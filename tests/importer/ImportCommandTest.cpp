// The whole import as the host starts it: the command "LoadKIVOPCBFile" with the
// stand-in host's file dialog, document creator and PCB server, and the import function
// that the host's import list calls. The options are answered headless; the status
// dialog and error boxes are answered through the UI automation.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "classlib/Automation.h"
#include "importer/ImporterExports.h"
#include "importer/KIVOImporterServerModule.h"
#include "importer/KivoFile.h"
#include "pcb/PcbApi.h"
#include "standin/host/StandinHost.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

const char kBoard[] =
    "{COMPONENT \"cmd\"\n"
    "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"
    "{DETAIL {ANNOTATE [LY \"TOP\"] [WD 5] {L 0 0 100 0} {C 50 50 10}}}}\n";

class ImportCommandTest : public RaveloTest {
 protected:
  void SetUp() override {
    RaveloTest::SetUp();
    FApplicationHandle.emplace();
    SetActiveWindow(standin::MainWindowHandle());
    standin::ClearAnswers();
    standin::ClearCallLog();
    TKivoFile::SetImportOptionsHandler([](TKivoFile& reader, PadStackMapRecord&) {
      TStringList& layers = reader.GetBoardComponent().GetEnvironment().GetLayerStrings();
      for (int i = 0; i < layers.GetCount(); ++i)
        static_cast<KivoLayerEntry*>(layers.GetObject(i))->SetHostLayer(eTopLayer);
      return FOptionsOk;
    });
    FOptionsOk = true;
  }
  void TearDown() override {
    TKivoFile::SetImportOptionsHandler(nullptr);
    standin::ClearAnswers();
    standin::CloseAllDocuments();
    FApplicationHandle.reset();
    RaveloTest::TearDown();
  }
  // Runs the command; `automation` must have answered everything it was given.
  void RunCommand(const std::string& parameters, TUIAutomation* automation = nullptr) {
    RunLoadKivoPcbFile(nullptr, parameters.c_str());
    if (automation) {
      EXPECT_TRUE(automation->GetDone()) << automation->GetFailure();
    }
    EXPECT_EQ(CurrentBoardHandle(), 0u);
  }
  bool Import(const std::string& path) {
    TUIAutomation automation;
    automation.ClickButton("KIVO Translator", "Close");
    const bool result = ImportFileIntoPcb(path);
    EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
    return result;
  }
  // The board's tracks and arcs without their handles and owners.
  std::string Objects(uint32_t board) {
    std::string dump = Dump(board), lines;
    size_t at = 0;
    while (at < dump.size()) {
      size_t end = dump.find('\n', at);
      if (end == std::string::npos)
        end = dump.size();
      const std::string line = dump.substr(at, end - at);
      if (line.find("track") != std::string::npos || line.find("arc") != std::string::npos)
        lines += line.substr(line.find(' '), line.find(" owner=") - line.find(' ')) +
                 line.substr(line.find(" net=")) + "\n";
      at = end + 1;
    }
    return lines;
  }

  static inline bool FOptionsOk = true;
  std::optional<TApplicationHandleScope> FApplicationHandle;
};

TEST_F(ImportCommandTest, CommandImportsIntoANewDocumentAsTheDirectCallDoes) {
  const std::string kivo = WriteScratchFile("command.pdf", kBoard);
  // The dialog is cancelled: the FileName parameter stays and its file is imported.
  TUIAutomation automation;
  automation.ClickButton("KIVO Translator", "Close");
  RunCommand("FileName=" + kivo, &automation);
  const std::vector<std::string> dialog = standin::CallsStartingWith("Client:RunCommonDialog");
  ASSERT_EQ(standin::CallsStartingWith("IClient#19").size(), 1u);
  EXPECT_EQ(standin::CallsStartingWith("IClient#25"),
            std::vector<std::string>{"IClient#25 StartServer(\"PCB\") -> True"});
  const uint32_t commandBoard = PcbApiGetCurrentBoardHandle();
  ASSERT_NE(commandBoard, FBoard);
  const std::string commandObjects = Objects(commandBoard);
  EXPECT_NE(commandObjects.find("Radius=100000"), std::string::npos) << Dump(commandBoard);
  EXPECT_NE(ReadWholeFile(ScratchFolder() + "command.rpt"), "<missing>");

  // The direct road imports into the host's board open under the file name.
  const uint32_t direct = Control().CreateBoard(kivo.c_str());
  EXPECT_TRUE(Import(kivo));
  EXPECT_EQ(Objects(direct), commandObjects);
}

TEST_F(ImportCommandTest, DialogAnswerReplacesTheFileName) {
  const std::string kivo = WriteScratchFile("chosen.pdf", kBoard);
  standin::QueueAnswer("Result=True|Path=" + kivo);
  TUIAutomation automation;
  automation.ClickButton("KIVO Translator", "Close");
  RunCommand("FileName=" + ScratchFolder() + "missing.pdf", &automation);
  EXPECT_EQ(standin::CallsStartingWith("IClient#19").size(), 1u);
  // An answer other than exactly "True" keeps the name; a missing file ends the command.
  standin::ClearCallLog();
  standin::QueueAnswer("Result=true|Path=" + kivo);
  RunCommand("");
  EXPECT_TRUE(standin::CallsStartingWith("IClient#19").empty());
}

TEST_F(ImportCommandTest, NoFileAndACancelledDialogMakeNoDocument) {
  const int documents = standin::OpenDocumentCount();
  RunCommand("");
  EXPECT_EQ(standin::OpenDocumentCount(), documents);
  EXPECT_TRUE(standin::CallsStartingWith("IClient#19").empty());
}

TEST_F(ImportCommandTest, PcbServerRefusedEndsTheCommandSilently) {
  const std::string kivo = WriteScratchFile("refused.pdf", kBoard);
  standin::HostOptions().PcbServerFails = true;
  RunCommand("FileName=" + kivo);
  standin::HostOptions().PcbServerFails = false;
  EXPECT_TRUE(standin::CallsStartingWith("IClient#19").empty());
}

TEST_F(ImportCommandTest, CancelInTheOptionsFailsTheImport) {
  const std::string kivo = WriteScratchFile("cancel.pdf", kBoard);
  Control().CreateBoard(kivo.c_str());
  FOptionsOk = false;
  EXPECT_FALSE(Import(kivo));
  EXPECT_NE(ReadWholeFile(ScratchFolder() + "cancel.rpt").find("ERROR: User Canceled Abort."),
            std::string::npos);
}

TEST_F(ImportCommandTest, UnrecognisedFileIsRefusedWithoutReportOrDialog) {
  const std::string other = WriteScratchFile("other.pdf", "{ENVIRONMENT}");
  EXPECT_FALSE(ImportFileIntoPcb(other));
  EXPECT_EQ(ReadWholeFile(ScratchFolder() + "other.rpt"), "<missing>");
}

// Fault: a failure outside the reader (here the report cannot be written, as its name is
// a folder) escaped the import; it is shown in the error box and answers False.
TEST_F(ImportCommandTest, FailureOutsideTheReaderIsShownAndAnswersFalse) {
  const std::string kivo = WriteScratchFile("blocked.pdf", kBoard);
  Control().CreateBoard(kivo.c_str());
  CreateDirectoryA((ScratchFolder() + "blocked.rpt").c_str(), nullptr);
  TUIAutomation automation;
  automation.ClickButton("Vantor Suite Error", "OK");
  EXPECT_FALSE(ImportFileIntoPcb(kivo));
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
}

// Fault: a file the host knows but that cannot be opened for reading passed for a file of
// another kind and its read error was dropped; it is shown in the error box, answers False.
TEST_F(ImportCommandTest, UnreadableFileIsShownAndAnswersFalse) {
  const std::string kivo = WriteScratchFile("locked.pdf", kBoard);
  Control().CreateBoard(kivo.c_str());
  // Held open without sharing: it exists, but nobody else may read it.
  HANDLE lock = CreateFileA(kivo.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  TUIAutomation automation;
  automation.ClickButton("Vantor Suite Error", "OK");
  const bool result = ImportFileIntoPcb(kivo);
  CloseHandle(lock);
  EXPECT_FALSE(result);
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  EXPECT_EQ(ReadWholeFile(ScratchFolder() + "locked.rpt"), "<missing>");
}

}  // namespace
