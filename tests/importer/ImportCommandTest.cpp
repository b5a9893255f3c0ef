// The whole import as the host starts it: the command "LoadKIVOPCBFile" with the
// stand-in host's file dialog, document creator and PCB server, and the import function
// that the host's import list calls. The options are answered headless; the status
// dialog and error boxes are answered through the UI automation.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "classlib/Automation.h"
#include "classlib/FileUtils.h"
#include "importer/ImporterExports.h"
#include "importer/KIVOImporterServerModule.h"
#include "importer/KivoFile.h"
#include "pcb/PcbApi.h"
#include "standin/host/DiskFull.h"
#include "standin/host/StandinHost.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"
#include "tests/support/MemoryRecorder.h"
#include "tests/support/TestSupport.h"
#include "tools/kivogen/KivoBoardGenerator.h"

namespace {

const char kBoard[] =
    "{COMPONENT \"cmd\"\n"
    "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"
    "{DETAIL {ANNOTATE [LY \"TOP\"] [WD 5] {L 0 0 100 0} {C 50 50 10}}}}\n";

// `text` as UTF-16 after `mark` (a byte-order mark, or none).
std::string Utf16(std::string_view text, std::string mark, bool bigEndian) {
  for (const char c : text)
    mark += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return mark;
}

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
  // Imports `kivo` (into the board made for it) while the disk of its folder is full but
  // for `free` bytes, closing the status dialog; the texts of the error boxes shown.
  std::vector<std::string> ImportOnAFullDisk(const std::string& kivo, uint64_t free) {
    TMessageFormRecorder boxes;
    TUIAutomation automation;
    automation.ClickButton("KIVO Translator", "Close");
    {
      const standin::TDiskFull disk(GetModuleHandleA(nullptr), ExtractFilePath(kivo), free);
      EXPECT_TRUE(disk.Installed());
      EXPECT_TRUE(ImportFileIntoPcb(kivo));
    }
    EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
    return boxes.Texts;
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

// Fault: a report that could not be written (a folder of its name, the file held open
// without sharing or read-only, the folder read-only) failed a complete import: every
// object reached the board, then a technical error box, no status dialog, and False.
// The user is told in plain words which report could not be saved and why; the
// import's own outcome follows in the status dialog, and the import answers True.
TEST_F(ImportCommandTest, AReportThatCannotBeWrittenLeavesTheImportWhole) {
  const std::string denied = "access to it is denied (it or its folder may be read-only)";
  const struct {
    const char* Name;
    const char* Reason;
  } cases[] = {{"folder-named", "it is a folder, not a file"},
               {"held-open", "another program has it open"},
               {"read-only-file", denied.c_str()},
               {"read-only-folder", denied.c_str()}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string folder = ScratchFolder() + c.Name + "\\";
    ForceDirectories(folder);
    const std::string kivo = WriteScratchFile(std::string(c.Name) + "\\board.pdf", kBoard);
    const std::string report = folder + "board.rpt";
    const uint32_t board = Control().CreateBoard(kivo.c_str());
    HANDLE held = INVALID_HANDLE_VALUE;
    std::optional<TUnwritable> unwritable;
    if (c.Name == std::string("folder-named")) {
      CreateDirectoryA(report.c_str(), nullptr);
    } else if (c.Name == std::string("held-open")) {
      WriteScratchFile(std::string(c.Name) + "\\board.rpt", "an earlier report");
      held = CreateFileA(report.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
    } else {
      if (c.Name == std::string("read-only-file"))
        WriteScratchFile(std::string(c.Name) + "\\board.rpt", "an earlier report");
      unwritable.emplace(c.Name == std::string("read-only-file") ? report : folder);
      if (!unwritable->Real()) {
        ADD_FAILURE() << "the set-up cannot be made here: " << unwritable->How();
        continue;
      }
    }
    TMessageFormRecorder boxes;
    TUIAutomation automation;
    automation.ClickButton("KIVO Translator", "Close");
    EXPECT_TRUE(ImportFileIntoPcb(kivo));
    EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
    if (held != INVALID_HANDLE_VALUE)
      CloseHandle(held);
    unwritable.reset();
    EXPECT_EQ(boxes.Texts, std::vector<std::string>{"Could not save the translation report \"" +
                                                    report + "\" because " + c.Reason + "."});
    EXPECT_NE(Objects(board).find("Radius=100000"), std::string::npos) << Dump(board);
  }
}

// Fault: on a full disk a 0-byte report stayed; with a little room left the report was
// cut short and stayed, and the box gave "because of this error: exclusive semaphore
// already owned": the text file's own short-write code was read as a Windows error.
// The box says the disk is full, no part of the report remains, the import stands.
TEST_F(ImportCommandTest, AReportCutShortByAFullDiskIsRemovedAndToldAsSuch) {
  for (const uint64_t free : {0ull, 100ull}) {
    SCOPED_TRACE(free);
    const std::string name = "full-" + std::to_string(free);
    ForceDirectories(ScratchFolder() + name);
    const std::string kivo = WriteScratchFile(name + "\\board.pdf", kBoard);
    const std::string report = ScratchFolder() + name + "\\board.rpt";
    const uint32_t board = Control().CreateBoard(kivo.c_str());
    EXPECT_EQ(ImportOnAFullDisk(kivo, free),
              std::vector<std::string>{"Could not save the translation report \"" + report +
                                       "\" because the disk is full."});
    EXPECT_EQ(ReadWholeFile(report), "<missing>");
    EXPECT_NE(Objects(board).find("Radius=100000"), std::string::npos) << Dump(board);
  }
}

// Fault: opening the report for writing emptied an earlier report of the same name, so a
// full disk lost it even though the new report was then removed: the report was
// rewritten in place. It is written beside and replaces the earlier one only when whole.
TEST_F(ImportCommandTest, AnEarlierReportSurvivesAFullDisk) {
  for (const uint64_t free : {0ull, 100ull}) {
    SCOPED_TRACE(free);
    const std::string name = "earlier-" + std::to_string(free);
    ForceDirectories(ScratchFolder() + name);
    const std::string kivo = WriteScratchFile(name + "\\board.pdf", kBoard);
    const std::string report = WriteScratchFile(name + "\\board.rpt", "an earlier report\r\n");
    Control().CreateBoard(kivo.c_str());
    EXPECT_EQ(ImportOnAFullDisk(kivo, free),
              std::vector<std::string>{"Could not save the translation report \"" + report +
                                       "\" because the disk is full."});
    EXPECT_EQ(ReadWholeFile(report), "an earlier report\r\n");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((ScratchFolder() + name + "\\*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "left behind: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
      FindClose(search);
  }
  // With room, the new report takes the earlier one's place.
  const std::string kivo = ScratchFolder() + "earlier-0\\board.pdf";
  Control().CreateBoard(kivo.c_str());
  TUIAutomation automation;
  automation.ClickButton("KIVO Translator", "Close");
  EXPECT_TRUE(ImportFileIntoPcb(kivo));
  EXPECT_EQ(ReadWholeFile(ScratchFolder() + "earlier-0\\board.rpt").rfind("Varnok Design System", 0), 0u);
}

// Fault: an allocation failing partway through an import (a board too large for the
// 32-bit process) ended it as "Unknown Error caused abort. Possibily Unexpected End Of
// File." with no word to the user: every exception of the reader was taken for that.
// It is told, in the error box and the report, as a board too large for the process,
// whether the reading or the translation ran out.
TEST_F(ImportCommandTest, AnAllocationFailingPartwayEndsTheImportAsABoardTooLarge) {
  const std::string text = GenerateKivoBoardText(64 << 10, /*seed=*/3);
  // Each import into a board of its own, found by the file's name.
  int imports = 0;
  auto freshBoard = [&](std::string& kivo) {
    kivo = WriteScratchFile("large-" + std::to_string(imports++) + ".pdf", text);
    return Control().CreateBoard(kivo.c_str());
  };
  // The allocations of the whole import, and of the reading (up to the options).
  static const TMemoryRecorder* counting = nullptr;
  static int readingAllocations;
  int allAllocations = 0;
  std::string kivo, wholeBoard;
  TKivoFile::SetImportOptionsHandler([](TKivoFile& reader, PadStackMapRecord&) {
    if (counting)
      readingAllocations = counting->GetMemCount();
    TStringList& layers = reader.GetBoardComponent().GetEnvironment().GetLayerStrings();
    for (int i = 0; i < layers.GetCount(); ++i)
      static_cast<KivoLayerEntry*>(layers.GetObject(i))->SetHostLayer(eTopLayer);
    return true;
  });
  {
    const uint32_t board = freshBoard(kivo);
    TMemoryRecorder recorder;
    counting = &recorder;
    EXPECT_TRUE(Import(kivo));
    counting = nullptr;
    allAllocations = recorder.GetMemCount();
    wholeBoard = Objects(board);
  }
  ASSERT_GT(readingAllocations, 100);
  ASSERT_GT(allAllocations, 2 * readingAllocations) << readingAllocations;
  const std::string why =
      "ran out while the " + std::to_string((text.size() + 512) >> 10) + " KB file was being imported";
  for (const int failAt : {readingAllocations / 2, readingAllocations + (allAllocations - readingAllocations) / 4}) {
    SCOPED_TRACE(failAt);
    const uint32_t board = freshBoard(kivo);
    TMessageFormRecorder boxes;
    TUIAutomation automation;
    automation.ClickButton("KIVO Translator", "Close");
    bool imported = true;
    {
      TMemoryRecorder recorder;
      TMemoryRecorder::FailGetMemAt(failAt);
      imported = ImportFileIntoPcb(kivo);
    }
    EXPECT_FALSE(imported);
    EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
    ASSERT_EQ(boxes.Texts.size(), 1u);
    EXPECT_EQ(boxes.Texts[0].rfind("Could not import \"" + kivo + "\" because the board is too large for this "
                                   "process: its ", 0), 0u) << boxes.Texts[0];
    EXPECT_NE(boxes.Texts[0].find(" of address space " + why + "."), std::string::npos) << boxes.Texts[0];
    const std::string report = ReadWholeFile(ChangeFileExt(kivo, ".rpt"));
    EXPECT_NE(report.find("Import Errors : 1\r\nERROR: The board is too large for this process: its "),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("Unknown Error"), std::string::npos) << report;
    // Ended in the reading, nothing was made; in the translation, a part of the board.
    const std::string objects = Objects(board);
    if (failAt < readingAllocations)
      EXPECT_EQ(objects, "");
    else
      EXPECT_TRUE(!objects.empty() && objects.size() < wholeBoard.size()) << objects.size();
  }
}

// Fault: a file the host knows but that cannot be opened for reading passed for a file of
// another kind and its read error was dropped; it is told in plain words, and the
// import answers False before anything is made.
TEST_F(ImportCommandTest, UnreadableFileIsShownAndAnswersFalse) {
  const std::string kivo = WriteScratchFile("locked.pdf", kBoard);
  Control().CreateBoard(kivo.c_str());
  // Held open without sharing: it exists, but nobody else may read it.
  HANDLE lock = CreateFileA(kivo.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  TMessageFormRecorder boxes;
  const bool result = ImportFileIntoPcb(kivo);
  PumpUntil([&] { return !boxes.Texts.empty(); }, 100);
  CloseHandle(lock);
  EXPECT_FALSE(result);
  EXPECT_EQ(boxes.Texts, std::vector<std::string>{"Could not read \"" + kivo +
                                                  "\" because another program has it open."});
  EXPECT_EQ(ReadWholeFile(ScratchFolder() + "locked.rpt"), "<missing>");
}

// Fault: through the command, a missing file, a folder, a file held open, a path longer
// than 255 characters and a name outside the code page ended with nothing shown, or with
// a technical text, and an empty PCB document was left open. Each is told in plain
// words naming the file, before any document is made (the host offers no way to close
// one again).
TEST_F(ImportCommandTest, TheCommandTellsWhyAFileCannotBeImportedAndMakesNoDocument) {
  const std::string held = WriteScratchFile("held.pdf", kBoard);
  HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  const std::string folder = ScratchFolder() + "a folder.pdf";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string long256 = ScratchFolder() + std::string(256 - ScratchFolder().size(), 'l');
  const std::string long300 = ScratchFolder() + std::string(300 - ScratchFolder().size(), 'l');
  const std::string unicode =
      "it is saved as Unicode text, which the importer does not read; save it as plain text (ANSI) "
      "and import it again";
  const struct {
    std::string File;
    std::string Reason;
  } cases[] = {
      {ScratchFolder() + "missing.pdf", "it does not exist"},
      {folder, "it is a folder, not a file"},
      {held, "another program has it open"},
      {long256, "its path has 256 characters, more than the 255 the importer takes"},
      {long300, "its path has 300 characters, more than the 255 the importer takes"},
      {ScratchFolder() + "board-\xE6\x97\xA5?.pdf",
       "its name holds characters outside the system's code page (they arrive as \"?\"); "
       "rename the file or its folders with letters of that code page"},
      {WriteScratchFile("other.pdf", "{ENVIRONMENT}"),
       "it is not a KIVO layout file (no \"{COMPONENT\" block begins it)"},
      // Fault: a board saved as Unicode text was told "no {COMPONENT block begins it".
      {WriteScratchFile("unicode.pdf", Utf16(kBoard, "\xFF\xFE", /*bigEndian=*/false)), unicode},
      {WriteScratchFile("unicode-be.pdf", Utf16(kBoard, "", /*bigEndian=*/true)), unicode},
      // Fault: a board named like a device was opened as the device, and told by its error.
      {ScratchFolder() + "NUL.pdf", "its name is reserved by Windows for the device NUL; rename the file"},
  };
  const int documents = standin::OpenDocumentCount();
  for (const auto& c : cases) {
    TMessageFormRecorder boxes;
    RunCommand("FileName=" + c.File);
    PumpUntil([&] { return !boxes.Texts.empty(); }, 100);
    EXPECT_EQ(boxes.Texts,
              std::vector<std::string>{"Could not import \"" + c.File + "\" because " + c.Reason + "."});
  }
  CloseHandle(lock);
  EXPECT_EQ(standin::OpenDocumentCount(), documents);
  EXPECT_TRUE(standin::CallsStartingWith("IClient#19").empty());
}

}  // namespace
