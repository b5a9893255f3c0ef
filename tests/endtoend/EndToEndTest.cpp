// The whole import from outside: each test starts KivoHost.exe as its own process, which
// loads LoadKIVO.dll and the stand-in PCB server Ravelo.dll, imports a file in batch
// with the dialogs answered from outside, and prints its summary; the tests read that,
// the call log, the report and the board dump the host writes beside the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "classlib/FileUtils.h"
#include "classlib/Win.h"
#include "tests/endtoend/EndToEndSupport.h"
#include "tests/importer/BoardAsWritten.h"
#include "tests/support/TestSupport.h"
#include "tools/kivogen/KivoBoardGenerator.h"
#include "tools/kivogen/KivoSampleBoard.h"

std::span<const TUnitEntry> TestUnits() { return {}; }

namespace {

// The name of a temporary file left in `folder` (a replacement not cleared away), or "".
std::string TemporaryFileIn(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return "";
  FindClose(search);
  return found.cFileName;
}

// A board with one line on "TOP" and the map that imports that layer.
const char kOneTrack[] =
    "{COMPONENT \"one\"\n"
    "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"
    "{DETAIL {ANNOTATE [LY \"TOP\"] [WD 8] {L 0 0 300 0}}}}\n";
// Two blocks the reader does not know: two load warnings, the line still imported.
const char kTwoWarnings[] =
    "{COMPONENT \"warned\"\n"
    "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"
    "{GADGET 1 2} {WIDGET \"x\"}\n"
    "{DETAIL {ANNOTATE [LY \"TOP\"] [WD 8] {L 0 0 300 0}}}}\n";
// Recognised by the "{COMPONENT" inside the display attribute, which the reader reads
// as an attribute: its first block is no component, and it gives up.
// Its first block is DETAIL; the recogniser's scan takes each "x{" for one token and
// finds the COMPONENT block after them.
const char kBroken[] = "x{DETAIL x{ANNOTATE}}\n{COMPONENT \"x\"}\n";
const char kTopMap[] = "[Layer]\r\nTOP=Top Layer\r\n";

class EndToEndTest : public testing::Test {
 protected:
  void SetUp() override { FMap = WriteScratch("top.cfg", kTopMap); }
  // Imports `text` written as `name`, with the TOP map and `more` arguments.
  THostRun Import(const std::string& name, const std::string& text,
                  std::vector<std::string> more = {}) {
    std::vector<std::string> arguments{WriteScratch(name, text), "--config", FMap};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunHost(arguments);
  }
  std::string FMap;
};

// The example as on a fresh machine (the options dialog's built-in layer map), by the
// command and directly: the same board, and the one reviewed for the reader.
TEST_F(EndToEndTest, ExampleBoardGivesTheReviewedDumpByTheCommandAndDirectly) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const std::string example = WriteScratch("demo.pdf", SourceFile("examples/demo.pdf"));
  const std::string dumpPath = Scratch() + "demo.dump";

  // The command with "FileName": the file dialog is answered "Result=False", which keeps it.
  THostRun command = RunHost({example, "--calls"});
  EXPECT_EQ(command.ExitCode, 0) << command.Output;
  EXPECT_TRUE(Has(command, "Import of \"" + example + "\" through the command LoadKIVOPCBFile\n"))
      << command.Output;
  EXPECT_TRUE(Has(command, "|Path=" + example + "\", 4096, nil) -> \"Result=False\"\n"))
      << command.Output;
  EXPECT_TRUE(Has(command, "IClient#19 GetDocumentCreator(\"PCB\", \"PCB\", \"" + example + "\")"));
  EXPECT_TRUE(Has(command, "Options dialog: OK\n"));
  EXPECT_TRUE(Has(command, "Errors: 0 (load 0, import 0)\n"));
  EXPECT_TRUE(Has(command, "Report: " + Scratch() + "demo.rpt\n"));
  EXPECT_TRUE(Has(command, "Dump: " + dumpPath + "\n"));
  EXPECT_TRUE(Has(command, " track")) << "the example's lines became tracks: " << command.Output;
  const std::string commandDump = ReadFile(dumpPath);
  EXPECT_EQ(commandDump.rfind("board #1 \"PCB1.PcbDoc\" current\n", 0), 0u) << commandDump;

  THostRun direct = RunHost({"--direct", example});
  EXPECT_EQ(direct.ExitCode, 0) << direct.Output;
  EXPECT_TRUE(Has(direct, "RecognisedPCBFile: True\nImportFileIntoPcb: True\n")) << direct.Output;
  const std::string directDump = ReadFile(dumpPath);
  EXPECT_NE(DumpObjects(directDump).find(" track owner="), std::string::npos);
  EXPECT_EQ(DumpObjects(directDump), DumpObjects(commandDump));

  // The dump quotes the folder's backslashes; the reviewed one names it "<scratch>".
  std::string scratch, objects = DumpObjects(directDump);
  for (char c : Scratch())
    scratch += c == '\\' ? std::string("\\\\") : std::string(1, c);
  for (size_t at; (at = objects.find(scratch)) != std::string::npos;)
    objects.replace(at, scratch.size(), "<scratch>\\\\");
  EXPECT_EQ(objects, DumpObjects(SourceFile("tests/importer/golden/demo.dump")));
}

// The plug-in creates a track in the stand-in board through its wrappers and the host
// prints it: 300 mil long, 8 mil wide, on the top layer.
TEST_F(EndToEndTest, OneLineBecomesOneTrackInTheDump) {
  THostRun run = Import("one.pdf", kOneTrack, {"--calls"});
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Successful\"\n")) << run.Output;
  // A clean import leaves the report box clear: nothing is opened on Close.
  EXPECT_FALSE(Has(run, "IClient#24"));
  EXPECT_TRUE(Has(run, "Objects: 1 track\n")) << run.Output;
  const std::string dump = ReadFile(Scratch() + "one.dump");
  const size_t track = dump.find(" track owner=#1 net=- layer=1(TopLayer) ");
  ASSERT_NE(track, std::string::npos) << dump;
  const std::string line = dump.substr(track, dump.find('\n', track) - track);
  EXPECT_NE(line.find(" Width=80000(8mil) "), std::string::npos) << line;
  auto field = [&](const std::string& name) {
    const size_t at = line.find(" " + name + "=");
    return at == std::string::npos ? -1L : atol(line.c_str() + at + name.size() + 2);
  };
  EXPECT_EQ(std::labs(field("X2") - field("X")), 3000000L) << line;
  EXPECT_EQ(field("Y2"), field("Y")) << line;
}

// The hostile-input campaign's sample board, which writes every field the reader takes,
// through the host with the configuration of the generated boards: a clean import whose
// board holds every object written, each field as the format's and the host's rules make it.
TEST_F(EndToEndTest, TheSampleBoardImportsAsWritten) {
  std::vector<TKivoBoardObject> written;
  const std::string board = WriteScratch("sample.pdf", GenerateKivoSampleBoard(/*seed=*/7, &written));
  const std::string map = WriteScratch("sample.cfg", KivoBoardConfigurationText());
  THostRun run = RunHost({board, "--config", map});
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Successful\"\n")) << run.Output;
  const auto hostLayer = [](const std::string& name) {
    for (const TKivoBoardLayer& layer : cKivoBoardLayers)
      if (name == layer.Name)
        return layer.HostLayerNumber;
    return 0;
  };
  EXPECT_EQ(BoardAsWritten(written, hostLayer, ReadFile(Scratch() + "sample.dump")), "");
}

// Fault (the campaign's mutant 9937 of seed 1): a net whose name was missing ("{N  {DG")
// became a host net named "", untold, and the pins its instances leave without a net
// (U3's pin 4 and U11's pin 8, left out of lists of pairs) joined it: the lookup of an
// empty name found it, and as connected pins they took their pad record's first pad
// (C62R38) instead of the second (60X40). It is told; its objects are imported without a
// net, the place of its name is left out, told; everything else is as written.
TEST_F(EndToEndTest, TheSampleBoardWithANetsNameMissingImportsItsObjectsWithoutANet) {
  std::vector<TKivoBoardObject> written;
  std::string text = GenerateKivoSampleBoard(/*seed=*/7, &written);
  const size_t at = text.find("{N NET3\r\n    {DG");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, std::strlen("{N NET3\r\n    {DG"), "{N  {DG");
  std::vector<TKivoBoardObject> expected;
  for (TKivoBoardObject object : written) {
    if (object.Name == "NET3" && (object.Kind == "net" || object.Kind == "text"))
      continue;  // the net, and the place of its name
    if (object.Net == "NET3")
      object.Net.clear();
    expected.push_back(object);
  }
  const THostRun run = RunHost({WriteScratch("nameless.pdf", text), "--config",
                                WriteScratch("nameless.cfg", KivoBoardConfigurationText())});
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 6 Warnings\"\n")) << run.Output;
  const std::string report = ReadFile(Scratch() + "nameless.rpt");
  for (const char* told :
       {"The N block at line 77 has no name: its objects were imported without a net",
        "The NN block at line 84 left out: its net has no name to place",
        "The connection of pin 1 of component U3 at line 246 names the net \"NET3\", which the "
        "file does not define: the pin was imported without a net"})
    EXPECT_NE(report.find(std::string("WARNING: ") + told + "\r\n"), std::string::npos) << report;
  const auto hostLayer = [](const std::string& name) {
    for (const TKivoBoardLayer& layer : cKivoBoardLayers)
      if (name == layer.Name)
        return layer.HostLayerNumber;
    return 0;
  };
  EXPECT_EQ(BoardAsWritten(expected, hostLayer, ReadFile(Scratch() + "nameless.dump")), "");
}

TEST_F(EndToEndTest, WarningsTickTheBoxAndCloseOpensTheReportInTheTextEditor) {
  THostRun run = Import("warned.pdf", kTwoWarnings, {"--calls"});
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 2 Warnings\"\n"))
      << run.Output;
  EXPECT_TRUE(Has(run, "Warnings: 2 (load 2, import 0)\n"));
  const std::string report = Scratch() + "warned.rpt";
  EXPECT_TRUE(Has(run, "IClient#24 OpenDocument(\"TEXT\", \"" + report + "\") -> opened\n"));
  EXPECT_TRUE(Has(run, "Report shown in the host's \"TextEdit\" view\n")) << run.Output;

  // The host cannot open the report: nothing is shown, the import stands.
  THostRun unopened = Import("warned.pdf", kTwoWarnings, {"--calls", "--open-fails"});
  EXPECT_EQ(unopened.ExitCode, 0) << unopened.Output;
  EXPECT_TRUE(Has(unopened, "IClient#24 OpenDocument(\"TEXT\", \"" + report + "\") -> nil\n"));
  EXPECT_FALSE(Has(unopened, "IClient#31 ShowDocument(\"" + report));
  EXPECT_FALSE(Has(unopened, "Report shown"));

  // The box cleared before Close: nothing is opened.
  THostRun cleared = Import("warned.pdf", kTwoWarnings, {"--calls", "--toggle-view-report"});
  EXPECT_TRUE(Has(cleared, "Status dialog: \"Status: Translation Complete, 2 Warnings\"\n"));
  EXPECT_FALSE(Has(cleared, "IClient#24")) << cleared.Output;
}

// The report check boxes and the detail level as the options dialog sets them.
TEST_F(EndToEndTest, ReportSettingsChosenInTheOptionsShapeTheReport) {
  const std::string report = Scratch() + "settings.rpt";
  THostRun detailed =
      Import("settings.pdf", kTwoWarnings, {"--tick", "View Events", "--detail", "Detailed"});
  EXPECT_EQ(detailed.ExitCode, 0) << detailed.Output;
  EXPECT_FALSE(Has(detailed, "Dialog not answered as asked")) << detailed.Output;
  std::string text = ReadFile(report);
  EXPECT_NE(text.find("WARNING: Unhandled Token found GADGET"), std::string::npos) << text;
  EXPECT_NE(text.find("Track Added At: 0mil, 0mil To 300mil, 0mil"), std::string::npos) << text;

  Import("settings.pdf", kTwoWarnings, {"--untick", "View Warnings", "--detail", "Detailed"});
  text = ReadFile(report);
  EXPECT_NE(text.find("Load Warnings : 2"), std::string::npos) << text;
  EXPECT_EQ(text.find("Unhandled Token"), std::string::npos) << text;
  EXPECT_EQ(text.find("Track Added At"), std::string::npos) << text;

  // What the dialog does not offer is said, and the import goes on.
  THostRun unknown = Import("settings.pdf", kTwoWarnings, {"--detail", "Verbose"});
  EXPECT_EQ(unknown.ExitCode, 0) << unknown.Output;
  EXPECT_TRUE(Has(unknown, "Dialog not answered as asked: no detail level \"Verbose\"\n"))
      << unknown.Output;
}

TEST_F(EndToEndTest, FailedTranslationsAreShownAndEndTheRunWithAnError) {
  // The reader gives up on the second block: its error box, then the status.
  THostRun broken = Import("broken.pdf", kBroken);
  EXPECT_EQ(broken.ExitCode, 2) << broken.Output;
  EXPECT_TRUE(Has(broken, "Error box: \"Couldn't recognise the file as KIVO\"\n")) << broken.Output;
  EXPECT_TRUE(Has(broken, "Status dialog: \"Status: Translation Failed\"\n")) << broken.Output;
  EXPECT_TRUE(Has(broken, "Errors: 1 (load 0, import 1)\n"));
  EXPECT_TRUE(Has(broken, "Result: failed\n"));

  // Cancel in the options: nothing translated, the failure reported and shown.
  THostRun cancelled = Import("cancelled.pdf", kOneTrack, {"--options-cancel", "--calls"});
  EXPECT_EQ(cancelled.ExitCode, 2) << cancelled.Output;
  EXPECT_TRUE(Has(cancelled, "Options dialog: Cancel\n"));
  EXPECT_TRUE(Has(cancelled, "Status dialog: \"Status: Translation Failed\"\n")) << cancelled.Output;
  EXPECT_TRUE(Has(cancelled, "Objects: none\n")) << cancelled.Output;
  EXPECT_NE(ReadFile(Scratch() + "cancelled.rpt").find("ERROR: User Canceled Abort."),
            std::string::npos);
  // A failed import ticks the box: Close opens the report.
  EXPECT_TRUE(Has(cancelled, "Report shown in the host's \"TextEdit\" view\n"));
}

TEST_F(EndToEndTest, CommandRunsThatImportNothing) {
  // No file and the dialog cancelled: no document.
  THostRun nothing = RunHost({"--batch", "--calls"});
  EXPECT_EQ(nothing.ExitCode, 2) << nothing.Output;
  EXPECT_TRUE(Has(nothing, "-> \"Result=False\"\n")) << nothing.Output;
  EXPECT_TRUE(Has(nothing, "New PCB document: none\n"));
  EXPECT_TRUE(Has(nothing, "Status dialog: not shown\n"));
  EXPECT_FALSE(Has(nothing, "IClient#19"));

  // The host's PCB server refuses to start: the command ends silently.
  const std::string file = WriteScratch("refused.pdf", kOneTrack);
  THostRun refused = RunHost({file, "--pcb-fails", "--calls"});
  EXPECT_EQ(refused.ExitCode, 2) << refused.Output;
  EXPECT_TRUE(Has(refused, "IClient#25 StartServer(\"PCB\") -> False\n"));
  EXPECT_FALSE(Has(refused, "Error box:"));
  EXPECT_FALSE(Has(refused, "IClient#19"));

  // The host's document creator makes no document: the error box, nothing imported.
  THostRun uncreated = RunHost({file, "--create-fails"});
  EXPECT_EQ(uncreated.ExitCode, 2) << uncreated.Output;
  EXPECT_TRUE(Has(uncreated,
                  "Error box: \"Could not create new file\\rShutdown server and try again\"\n"))
      << uncreated.Output;
  EXPECT_TRUE(Has(uncreated, "Options dialog: not shown\n"));
  EXPECT_TRUE(Has(uncreated, "Report: none\n"));
}

// Fault: through the command, a file that is missing, a folder, held open by another
// process, on a path longer than 255 characters or named outside the code page ended
// with nothing shown (exit 2) or a technical text, and left an empty PCB document open.
// Each is told in plain words naming the file, and no document is made.
TEST_F(EndToEndTest, TheCommandTellsWhyAFileCannotBeImported) {
  const std::string locked = WriteScratch("locked.pdf", kOneTrack);
  HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  const std::string folder = Scratch() + "folder.pdf";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string longPath = Scratch() + std::string(300 - Scratch().size(), 'p');
  // A name with a letter outside the code page, as the host's command line hands it on.
  const std::wstring wideFolder(Scratch().begin(), Scratch().end());
  HANDLE wide = CreateFileW((wideFolder + L"board-\u65E5.pdf").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(wide, INVALID_HANDLE_VALUE);
  CloseHandle(wide);
  const std::string outsideCodePage = Scratch() + "board-?.pdf";
  const struct {
    std::string File;
    std::string Reason;
  } cases[] = {
      {Scratch() + "missing.pdf", "it does not exist"},
      {folder, "it is a folder, not a file"},
      {locked, "another program has it open"},
      {longPath, "its path has 300 characters, more than the 255 the importer takes"},
      {outsideCodePage,
       "its name holds characters outside the system's code page (they arrive as \"?\"); "
       "rename the file or its folders with letters of that code page"},
      // Fault: named like a device, the board was handed over as the device ("\\.\CON")
      // and told by the device's error.
      {Scratch() + "CON.pdf", "its name is reserved by Windows for the device CON; rename the file"},
  };
  for (const auto& c : cases) {
    THostRun run = RunHost({c.File, "--calls"});
    EXPECT_EQ(run.ExitCode, 2) << run.Output;
    EXPECT_TRUE(Has(run, "Error box: \"Could not import \"" + c.File + "\" because " + c.Reason +
                             ".\"\n"))
        << run.Output;
    EXPECT_TRUE(Has(run, "New PCB document: none\n")) << run.Output;
    EXPECT_FALSE(Has(run, "IClient#19")) << run.Output;
    EXPECT_TRUE(Has(run, "Options dialog: not shown\n"));
    EXPECT_TRUE(Has(run, "Report: none\n"));
  }
  CloseHandle(lock);
}

// Fault: a board file named "board.rpt" (the file dialog's "All Files" offers it) was
// imported and then overwritten by its own report; the stand-in host wrote its dump
// over an input named "board.dump" the same way. Both files stay; the report and the
// dump go beside them under other names, which the run names.
TEST_F(EndToEndTest, AnInputNamedLikeItsReportOrDumpIsKept) {
  const std::string rpt = WriteScratch("named.rpt", kOneTrack);
  THostRun report = RunHost({rpt, "--config", FMap});
  EXPECT_EQ(report.ExitCode, 0) << report.Output;
  EXPECT_EQ(ReadFile(rpt), kOneTrack);
  EXPECT_TRUE(Has(report, "Report: " + Scratch() + "named-report.rpt\n")) << report.Output;
  EXPECT_NE(ReadFile(Scratch() + "named-report.rpt")
                .find("Note     : the KIVO file is itself named named.rpt, so this report is "
                      "named-report.rpt\r\n"),
            std::string::npos);

  const std::string dump = WriteScratch("plate.dump", kOneTrack);
  THostRun dumped = RunHost({dump, "--config", FMap});
  EXPECT_EQ(dumped.ExitCode, 0) << dumped.Output;
  EXPECT_EQ(ReadFile(dump), kOneTrack);
  EXPECT_TRUE(Has(dumped, "Dump: " + Scratch() + "plate-board.dump\n")) << dumped.Output;
  EXPECT_NE(ReadFile(Scratch() + "plate-board.dump").find(" track owner="), std::string::npos);
}

// Fault: with "board.rpt" a hard or symbolic link to "board.pdf", importing "board.pdf"
// wrote the report through the link and destroyed the board: the guard compared names.
// The files themselves are compared now, for the report and for the stand-in's dump.
TEST_F(EndToEndTest, AReportOrDumpNameThatLinksToTheInputIsKept) {
  const std::string hard = WriteScratch("linked\\hard.pdf", kOneTrack);
  ASSERT_TRUE(CreateHardLinkA((Scratch() + "linked\\hard.rpt").c_str(), hard.c_str(), nullptr));
  const std::string soft = WriteScratch("linked\\soft.pdf", kOneTrack);
  ASSERT_TRUE(MakeSymbolicLink(soft, Scratch() + "linked\\soft.rpt"));
  for (const std::string& input : {hard, soft}) {
    THostRun run = RunHost({input, "--config", FMap});
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(ReadFile(input), kOneTrack) << input;
    const std::string report = ChangeFileExt(input, "") + "-report.rpt";
    EXPECT_TRUE(Has(run, "Report: " + report + "\n")) << run.Output;
    EXPECT_NE(ReadFile(report).find("Note     : " + ExtractFileName(ChangeFileExt(input, ".rpt")) +
                                    " is the KIVO file " + ExtractFileName(input) +
                                    " under another name, so this report is " +
                                    ExtractFileName(report) + "\r\n"),
              std::string::npos)
        << ReadFile(report);
  }

  const std::string plate = WriteScratch("linked\\plate.pdf", kOneTrack);
  ASSERT_TRUE(CreateHardLinkA((Scratch() + "linked\\plate.dump").c_str(), plate.c_str(), nullptr));
  THostRun dumped = RunHost({plate, "--config", FMap});
  EXPECT_EQ(ReadFile(plate), kOneTrack);
  EXPECT_TRUE(Has(dumped, "Dump: " + Scratch() + "linked\\plate-board.dump\n")) << dumped.Output;
}

// Fault: the example board cut at half its length imported as "Translation Successful"
// with no warning and a third of its objects: the reading loops end quietly at the end
// of the file. A file that ends inside an open block says so, naming its last line.
TEST_F(EndToEndTest, ABoardCutShortSaysWhereItEnds) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const std::string demo = SourceFile("examples/demo.pdf");
  const std::string half = WriteScratch("half.pdf", demo.substr(0, demo.size() / 2));
  THostRun run = RunHost({half});
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 1 Warnings\"\n"))
      << run.Output;
  const int lastLine = 1 + static_cast<int>(std::count(demo.begin(), demo.begin() + demo.size() / 2 - 1, '\n'));
  EXPECT_NE(ReadFile(Scratch() + "half.rpt")
                .find("WARNING: The file ends at line " + std::to_string(lastLine) +
                      " inside the DETAIL block: it may have been cut short\r\n"),
            std::string::npos)
      << ReadFile(Scratch() + "half.rpt");
}

// The example board with one edit: `from` (its first occurrence) becomes `to`.
std::string EditedExample(const std::string& from, const std::string& to) {
  const std::string demo = SourceFile("examples/demo.pdf");
  const size_t at = demo.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? demo : demo.substr(0, at) + to + demo.substr(at + from.size());
}

// An edited example imported as `name`: its objects and report are the example's (three
// warnings), but for the file's name and the dump's edits `dumpEdits` (pairs of a text
// of the example's dump and what it becomes).
void ExpectTheExampleBoard(const std::string& name, const std::string& text,
                           const std::vector<std::pair<std::string, std::string>>& dumpEdits = {}) {
  // The example's own objects and report, imported once.
  struct TImported {
    std::string Objects, Report;
  };
  static const TImported example = [] {
    RunHost({WriteScratch("demo.pdf", SourceFile("examples/demo.pdf"))});
    return TImported{DumpObjects(ReadFile(Scratch() + "demo.dump")),
                     ReadFile(Scratch() + "demo.rpt")};
  }();
  const std::string& report = example.Report;
  const THostRun run = RunHost({WriteScratch(name, text)});
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 3 Warnings\"\n"))
      << name << ": " << run.Output;
  const std::string base = name.substr(0, name.size() - 4);
  std::string rpt = ReadFile(Scratch() + base + ".rpt");
  std::string dump = DumpObjects(ReadFile(Scratch() + base + ".dump"));
  for (std::string* text : {&dump, &rpt})
    for (size_t at; (at = text->find(name)) != std::string::npos;)
      text->replace(at, name.size(), "demo.pdf");
  std::string expected = example.Objects;
  for (const auto& [from, to] : dumpEdits) {
    const size_t at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, from.size(), to);
  }
  EXPECT_TRUE(dump == expected) << name << " imports otherwise than the example: " << run.Output;
  EXPECT_EQ(rpt.substr(rpt.find("\r\n\r\n")), report.substr(report.find("\r\n\r\n"))) << name;
}

// Faults: skips took escaped and quoted braces and the braces of comment lines for
// blocks, so valid boards lost the nets or components after them, and a cut board whose
// skipped values held "}" was not told as cut; a board indented with tabs imported
// nothing. Each board is the example with one edit.
TEST_F(EndToEndTest, BracesInSkippedValuesAndTabsReadAsTheFileMeansThem) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const std::string demo = SourceFile("examples/demo.pdf");
  std::string tabbed;
  for (size_t i = 0; i < demo.size(); ++i)
    tabbed += demo[i] == ' ' && (i == 0 || demo[i - 1] == '\n' || tabbed.back() == '\t') ? '\t' : demo[i];
  ExpectTheExampleBoard("escaped.pdf", EditedExample("{CLASS \"POWER\"}", "{CLASS \"PO\\}WER\"}"));
  ExpectTheExampleBoard("quoted.pdf", EditedExample("{CLASS \"POWER\"}", "{CLASS \"PO{WER\"}"));
  ExpectTheExampleBoard("comment.pdf", EditedExample("{ATR {CLASS", "{ATR\n  % {\n{CLASS"));
  ExpectTheExampleBoard("package.pdf", EditedExample("{PKG \"0805\"}", "{PKG \"08\\}05\"}"));
  ExpectTheExampleBoard("tabs.pdf", tabbed);

  const std::string cut =
      "{COMPONENT \"m\"\n"
      "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"COMP\" 1} {LYRPHID \"1\" 1 0}}\n"
      "{DETAIL\n"
      "{NET_DEF\n"
      "{N B {DG [LY \"COMP\"] [WD 10] {W 0 100 100 100}}}\n"
      "{N A {ATR {CLASS \"\\}\\}\\}\\}\"}}\n";
  const THostRun run = RunHost({WriteScratch("cut.pdf", cut)});
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 1 Warnings\"\n"))
      << run.Output;
  const std::string rpt = ReadFile(Scratch() + "cut.rpt");
  EXPECT_NE(rpt.find("WARNING: The file ends at line 6 inside the DETAIL block: it may have been "
                     "cut short\r\n"),
            std::string::npos)
      << rpt;
}

// Fault: every warning was told on a line of its own and kept while the file was read, so
// that a file of unknown blocks took the host's memory with its report (16 MB of them
// took 674 MiB, a 200 MB report), and a valid board with a block of the format's own in
// every pin was told once per pin. A kind of warning is told ten times and the rest of
// it counted with their lines, in kinds that alternate too; a block of the format's own
// table that its block does not read is told once with its count.
TEST_F(EndToEndTest, WarningsOfOneKindAreToldAFewTimesAndTheRestCounted) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const std::string demo = SourceFile("examples/demo.pdf");
  const size_t annotate = demo.find('\n', demo.find("{ANNOTATE")) + 1;  // line 83 on
  auto inAnnotate = [&](const std::string& line, int count) {
    std::string text = demo.substr(0, annotate);
    for (int i = 0; i < count; ++i)
      text += line;
    return text + demo.substr(annotate);
  };
  auto warningLines = [](const std::string& report) {
    size_t count = 0;
    for (size_t at = report.find("\r\nWARNING: "); at != std::string::npos;
         at = report.find("\r\nWARNING: ", at + 2))
      ++count;
    return count;
  };
  const std::string objects = "Objects: 8 arc, 10 component, 2 fill, 8 net, 30 pad, 3 polygon, "
                              "30 text, 80 track, 13 via\n";

  const THostRun unknown = RunHost({WriteScratch("unknown.pdf", inAnnotate("{XYZ 1 2 3}\n", 20000))});
  EXPECT_TRUE(Has(unknown, "Status dialog: \"Status: Translation Complete, 20003 Warnings\"\n"))
      << unknown.Output;
  EXPECT_TRUE(Has(unknown, objects)) << unknown.Output;
  const std::string report = ReadFile(Scratch() + "unknown.rpt");
  EXPECT_LT(report.size(), 4000u);
  EXPECT_EQ(warningLines(report), 3u + 10u);
  EXPECT_NE(report.find("WARNING: The block XYZ at line 92 is not one of the ANNOTATE block's items "
                        "(ARC, C, FR, L, R, T, POLY, PV, CV, FL, DIMENSION): it was skipped; 19990 "
                        "more of this kind are counted, not told one by one (lines 93 to 20082)\r\n"),
            std::string::npos)
      << report;

  // Two kinds in turn, a block and stray text after it; and a run of stray values each
  // closing a block ("a} "a} ...), which ends the board's blocks one after the other.
  const THostRun alternate = RunHost({WriteScratch("alternate.pdf", inAnnotate("{XYZ 1} x\n", 5000))});
  EXPECT_TRUE(Has(alternate, "Status dialog: \"Status: Translation Complete, 10003 Warnings\"\n"))
      << alternate.Output;
  const std::string alternated = ReadFile(Scratch() + "alternate.rpt");
  EXPECT_EQ(warningLines(alternated), 3u + 20u);
  EXPECT_NE(alternated.find("WARNING: The text \"x\" at line 92 lies between the blocks of the "
                            "ANNOTATE block: it was passed over; 4990 more of this kind are "
                            "counted, not told one by one (lines 93 to 5082)\r\n"),
            std::string::npos)
      << alternated;
  const THostRun quotes = RunHost({WriteScratch("quotes.pdf", inAnnotate("\"a} ", 100000))});
  const size_t count = quotes.Output.find("Warnings: ");
  ASSERT_NE(count, std::string::npos) << quotes.Output;
  EXPECT_GT(atol(quotes.Output.c_str() + count + 10), 100000L) << quotes.Output;
  EXPECT_LT(ReadFile(Scratch() + "quotes.rpt").size(), 8000u);

  // A block of the format's own in every pin of a valid board: one line.
  std::string pins = demo;
  for (size_t at = 0; (at = pins.find("{PLOC ", at)) != std::string::npos; at += 6)
    pins.insert(pins.find('}', at) + 1, " {PNL 2}");
  const THostRun pinned = RunHost({WriteScratch("pins.pdf", pins)});
  EXPECT_TRUE(Has(pinned, "Status dialog: \"Status: Translation Complete, 25 Warnings\"\n"))
      << pinned.Output;
  EXPECT_TRUE(Has(pinned, objects)) << pinned.Output;
  const std::string told = ReadFile(Scratch() + "pins.rpt");
  EXPECT_EQ(warningLines(told), 3u + 1u) << told;
  EXPECT_NE(told.find("WARNING: The block PNL at line 314 is not one of the P block's items (PT, "
                      "PLOC): it was skipped; 21 more of this kind are counted, not told one by "
                      "one (lines 315 to 437)\r\n"),
            std::string::npos)
      << told;
}

// Fault: an unknown block holding many attributes took time growing with their square
// (each attribute met searched those before it for the ones of blocks closed since): a
// block of 500,000 ran past the host's deadline. The attributes directly in it are
// applied and told once, as before.
TEST_F(EndToEndTest, AnUnknownBlockOfManyAttributesIsReadWithinTheDeadline) {
  DeleteFileA(SavedDefaultsFile().c_str());
  std::string attributes = "{XYZ\n";
  for (int i = 0; i < (1 << 19); ++i)
    attributes += "[WD 5]\n";
  const THostRun run = RunHost({WriteScratch("attributes.pdf",
                                             EditedExample("  {ANNOTATE\n", "  {ANNOTATE\n" + attributes + "}\n")),
                                "--deadline", "10"});
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 5 Warnings\"\n")) << run.Output;
  EXPECT_NE(ReadFile(Scratch() + "attributes.rpt")
                .find("WARNING: The attribute at line 84 lies inside the XYZ block, which was "
                      "skipped: it was applied\r\n"),
            std::string::npos);
}

// Fault: the reader's own records grew with the file, whatever the report kept: one for
// each [LY] whose value could not be read, one for each layer name met and every
// attribute of a block it skips (16 MB of each took the host 310, 170 and 592 MB, and
// 100 MB of attributes ran it out of its 4 GB of address space). Each board of 16 MB
// imports with no more than 128 MB of address space left, and tells what it told.
TEST_F(EndToEndTest, TheReadersRecordsOfAHostileFileFitASmallAddressSpace) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const auto board = [](const std::string& before, const std::string& unit, const std::string& after) {
    std::string units = before;
    for (int i = 0; units.size() < (16u << 20); ++i) {
      const size_t at = unit.find("%d");
      units += at == std::string::npos ? unit : unit.substr(0, at) + std::to_string(i) + unit.substr(at + 2);
    }
    return EditedExample("  {ANNOTATE\n", "  {ANNOTATE\n" + units + after);
  };
  const struct {
    const char* Name;
    std::string Text;
    const char* Warnings;
  } cases[] = {
      {"unreadable", board("", "[LY \"x\n", ""), "2396749"},
      {"names", board("", "[LY a%d]\n", ""), "3"},
      {"attributes", board("{XYZ\n", "[WD 5]\n", "}\n"), "5"},
  };
  for (const auto& c : cases) {
    const THostRun run = RunHost({WriteScratch(std::string(c.Name) + "16.pdf", c.Text), "--memory-left",
                                  "128", "--deadline", "60"});
    EXPECT_EQ(run.ExitCode, 0) << c.Name << ": " << run.Output;
    EXPECT_TRUE(Has(run, std::string("Status dialog: \"Status: Translation Complete, ") + c.Warnings +
                             " Warnings\"\n"))
        << c.Name << ": " << run.Output;
    DeleteFileA((Scratch() + c.Name + "16.pdf").c_str());
  }
}

// Fault: a line asked for before the last one asked for was counted again from the
// file's start, so that 2 MB of blocks each telling an attribute before a block inside
// it took the host two minutes (the time grew with the square of the file). It is read
// within the deadline and tells what it told.
TEST_F(EndToEndTest, WarningsNamingEarlierLinesAreToldWithinTheDeadline) {
  DeleteFileA(SavedDefaultsFile().c_str());
  std::string units;
  while (units.size() < (2u << 20))
    units += "{C 0 0 1 [WD 5] {X}}\n";
  const THostRun run = RunHost({WriteScratch("earlier.pdf", EditedExample("  {ANNOTATE\n", "  {ANNOTATE\n" + units)),
                                "--deadline", "10"});
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 199733 Warnings\"\n")) << run.Output;
}

// Faults: a text holding two tabs ended at the first ("SENSOR\t\tNODE" gave the text
// `SENSOR" NODE`: tabs were blanks inside values too); a text holding "}" ended there and
// took the block's end, so that 11 objects after it were lost under warnings naming other
// causes; a value continued on a line starting with "%" was told as two faults, and one
// continued on a line holding "}" lost 92 objects (the reading and the skips each ended
// quoted values by rules of their own). One rule now ends them, and each board keeps every
// object of the example and its three warnings.
TEST_F(EndToEndTest, QuotedValuesAndTabsInTextsKeepWhatTheFileWrites) {
  DeleteFileA(SavedDefaultsFile().c_str());
  ExpectTheExampleBoard("tab.pdf", EditedExample("\"SENSOR NODE\"", "\"SENSOR\t\tNODE\""),
                        {{"Text=\"SENSOR NODE\"", "Text=\"SENSOR\\x09\\x09NODE\""}});
  ExpectTheExampleBoard("brace.pdf", EditedExample("{T \"REV B\"", "{T \"REV}B\""),
                        {{"Text=\"REV B\"", "Text=\"REV}B\""}});
  ExpectTheExampleBoard("percent.pdf", EditedExample("{CLASS \"POWER\"}", "{CLASS \"POW\n%ER\"}"));
  ExpectTheExampleBoard("closing.pdf", EditedExample("{CLASS \"POWER\"}", "{CLASS \"POW\nE}R\"}"));
}

// Faults of the example board changed in one place, each imported under "Translation
// Successful" or with only the board's own three warnings while it lost or misplaced
// objects: an instance of a definition the file does not have was made as the last
// definition read; the tracks and vias of a misspelt layer were dropped; the silkscreen
// after an unreadable layer was drawn on the layer before; DBGRID 0 put every object at
// the origin; a misspelt DETAIL lost the whole board, told only at detail level 3 (its
// sections are now read where they stand). Each is now told in the report at its default
// detail, naming its line.
TEST_F(EndToEndTest, FaultsOfTheExampleBoardAreToldWithTheirLine) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const std::string demo = SourceFile("examples/demo.pdf");
  const struct {
    const char* Name;
    const char* Was;  // its first occurrence is changed
    const char* Becomes;
    int Warnings;
    const char* Line;
  } cases[] = {
      {"instance", "{I RES0805 R1", "{I NOSUCH R1", 4,
       "WARNING: Component R1 at line 324 left out: the file has no definition NOSUCH before it"},
      {"layer", "[LY \"COMP\"] [WD 20]", "[LY \"CMOP\"] [WD 20]", 4,
       "WARNING: The layer \"CMOP\" at line 204 is not declared by the file's LYRSTR: 10 objects "
       "drawn on it were left out (lines 206 to 215)"},
      {"unreadable", "[LY \"SLKSCR\"] [WD 8] [TS 60]", "[LY (\"SLKSCR\"\n[WD 8] [TS 60]", 4,
       "WARNING: Layer at line 92 left out: its \"(\" is not closed before the next attribute; "
       "8 objects drawn after it were left out (lines 94 to 104)"},
      {"grid", "{DBGRID 1}", "{DBGRID 0}", 4,
       "WARNING: DBGRID \"0\" at line 24 is not a whole number above 0: a grid of 1 was used"},
      {"section", "{DETAIL", "{DETIAL", 8,
       "WARNING: The block DETIAL at line 78 is not one of the COMPONENT block's sections "
       "(ENVIRONMENT, USER, DISPLAY, APERTURE_TABLE, SYMBOL, DETAIL): it was skipped"},
      // A line without its "}" took the picture's and then the definition's: the
      // instances after it lay inside the definition and were lost. They are read where
      // they belong, and every object of the example stays (the package blocks met in the
      // picture are told).
      {"brace", "{L -10 40 10 40}", "{L -10 40 10 40", 6,
       "WARNING: The I block at line 324 lies inside the COMP_DEF block: a \"}\" may be missing "
       "before it; it was read"},
  };
  for (const auto& c : cases) {
    std::string changed = demo;
    const size_t at = changed.find(c.Was);
    ASSERT_NE(at, std::string::npos) << c.Name;
    changed.replace(at, std::string_view(c.Was).size(), c.Becomes);
    THostRun run = RunHost({WriteScratch(std::string(c.Name) + ".pdf", changed)});
    EXPECT_EQ(run.ExitCode, 0) << c.Name << ": " << run.Output;
    EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, " +
                             std::to_string(c.Warnings) + " Warnings\"\n"))
        << c.Name << ": " << run.Output;
    const std::string report = ReadFile(Scratch() + c.Name + ".rpt");
    EXPECT_NE(report.find(std::string(c.Line) + "\r\n"), std::string::npos) << c.Name << ":\n" << report;
    if (std::string_view(c.Name) == "brace") {
      EXPECT_TRUE(Has(run, "Objects: 8 arc, 10 component, 2 fill, 8 net, 30 pad, 3 polygon, 30 "
                           "text, 80 track, 13 via\n"))
          << run.Output;
    }
  }
  // A grid taken as 1 gives the example's own board (the dump names the file it read).
  std::string scratch, objects = DumpObjects(ReadFile(Scratch() + "grid.dump"));
  for (char c : Scratch())
    scratch += c == '\\' ? std::string("\\\\") : std::string(1, c);
  for (size_t at; (at = objects.find(scratch + "grid.pdf")) != std::string::npos;)
    objects.replace(at, scratch.size() + 8, "<scratch>\\\\demo.pdf");
  EXPECT_EQ(objects, DumpObjects(SourceFile("tests/importer/golden/demo.dump")));
}

// Faults of the example changed in one line, as the report's default detail showed them:
// a block the reader does not read (a misspelt pin, pin place, pin type, placement, net,
// net graphics, picture or line, one with a no-break space after its "{") was told only
// at detail level 3, so the example without its voids ("Translation Successful" whole)
// read "Successful" while it lost or moved objects; a block read after a missing "}" took
// the drawing state before the attributes between (tracks on the other copper, the
// silkscreen on the outline's layer, a text unmirrored, the notes imported); a "}"
// missing before a comment line lost the block after it without a word; the connection
// list's own skip lost the components after an unknown block left open in it; a second
// PAD_STACK, a negative DBGRID and an instance without designator went untold. Each is
// told at the default detail with its line, and a recovered block keeps the objects of
// the example as they are.
TEST_F(EndToEndTest, WhatTheReaderPassesOverIsToldAndRecoveredBlocksKeepTheirDrawingState) {
  DeleteFileA(SavedDefaultsFile().c_str());
  TExampleLines example;
  const struct {
    const char* Name;
    int Line;  // of the example, from 1
    const char* Was;  // in that line; empty: the line's last character, a "}"
    const char* Becomes;
    bool Voids;  // false: the example without its voids (lines 221 to 223), which
                 // alone imports as "Translation Successful"
    bool Same;   // the example's objects, as they are
    std::string Told;
  } cases[] = {
      {"pin", 314, "{P 1", "{PP 1", false, false,
       "The block PP at line 311 is not one of the PIN_DEF block's items (P): it was skipped"},
      {"place", 314, "{PLOC", "{PLOCC", false, false,
       "The block PLOCC at line 311 is not one of the P block's items (PT, PLOC): it was skipped"},
      {"type", 314, "{PT", "{PTT", false, false,
       "The block PTT at line 311 is not one of the P block's items (PT, PLOC): it was skipped"},
      {"placement", 325, "{IN ", "{INN ", false, false,
       "The block INN at line 322 is not one of the ATR block's items (IN, EX): it was skipped"},
      {"net", 229, "{N ", "{NN ", false, false,
       "The block NN at line 226 is not one of the NET_DEF block's items (N): it was skipped"},
      {"graphics", 204, "{DG", "{DGG", false, false,
       "The block DGG at line 204 is not one of the N block's items (ATR, DG): it was skipped"},
      {"pins", 313, "PIN_DEF", "PINDEF", false, false,
       "The block PINDEF at line 310 is not one of the COMP_DEF block's items (PIN_DEF, PIC, ATR, "
       "PKG, SPKG): it was skipped"},
      {"picture", 317, "{PIC", "{PICC", false, false,
       "The block PICC at line 314 is not one of the COMP_DEF block's items (PIN_DEF, PIC, ATR, "
       "PKG, SPKG): it was skipped"},
      {"track", 206, "{W ", "{XW ", false, false,
       "The block XW at line 206 is not one of the DG block's items (V, NN, W, ARC, T, POLY): it "
       "was skipped"},
      {"space", 206, "{W ", "{\xa0W ", false, false,
       "The block \xa0W at line 206 is not one of the DG block's items (V, NN, W, ARC, T, POLY): it "
       "was skipped"},
      {"via", 252, "", "", true, true,
       "The W block at line 254 lies inside the V block: a \"}\" may be missing before it; it was "
       "read"},
      {"circle", 89, "", "", true, true,
       "The T block at line 93 lies inside the C block: a \"}\" may be missing before it; it was "
       "read"},
      {"arc", 103, "", "", true, true,
       "The T block at line 106 lies inside the ARC block: a \"}\" may be missing before it; it was "
       "read"},
      {"text", 115, "", "", true, true,
       "The T block at line 117 lies inside the T block: a \"}\" may be missing before it; it was "
       "read"},
      {"comment", 250, "", "", true, true,
       "The V block at line 252 lies inside the W block: a \"}\" may be missing before it; it was "
       "read"},
      {"connections", 327, "{CN VCC_3V3 SDA}", "{CN VCC_3V3 SDA {ZZ {YY", true, true,
       "The I block at line 329 lies inside the ZZ block: a \"}\" may be missing before it; it was "
       "read"},
      {"stack", 136, "}", "}\n  }\n  {PAD_STACK", true, false,
       "The PAD_STACK block at line 138 is not the file's first: pads and vias take the first "
       "one's (line 127), and its 0 PAD and 9 PAD_DEF blocks are not used"},
      {"grid", 24, "{DBGRID 1}", "{DBGRID -1}", true, true,
       "DBGRID \"-1\" at line 24 is not a whole number above 0: a grid of 1 was used"},
      {"designator", 324, "{I RES0805 R1", "{I RES0805", false, false,
       "The RES0805 component at line 321 has no designator: it was imported without one"},
  };
  const THostRun whole = RunHost({WriteScratch("nov.pdf", example.Text(/*voids=*/false))});
  EXPECT_TRUE(Has(whole, "Status dialog: \"Status: Translation Successful\"\n")) << whole.Output;
  RunHost({WriteScratch("example.pdf", example.Text(/*voids=*/true))});
  const std::string objects = ObjectLines(ReadFile(Scratch() + "example.dump"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string text = example.Edited(c.Line, c.Was, c.Becomes, c.Voids);
    ASSERT_FALSE(text.empty());
    const THostRun run = RunHost({WriteScratch(std::string(c.Name) + ".pdf", text)});
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_FALSE(Has(run, "Translation Successful")) << run.Output;
    const std::string report = ReadFile(Scratch() + c.Name + ".rpt");
    EXPECT_NE(report.find("WARNING: " + c.Told + "\r\n"), std::string::npos) << report;
    if (c.Same) {
      EXPECT_EQ(ObjectLines(ReadFile(Scratch() + c.Name + ".dump")), objects);
    }
  }
}

// Faults of the example without its voids (which alone imports as "Translation
// Successful") where a value that a block holds was neither taken as what it is nor told:
// a pin connected to a net the file does not define lost it, and a name beyond the pins
// passed, silently, while a quoted name lost its net; an attribute in a pad-stack entry
// or in place of a block's name was taken for the value or name (J1's pads the server's
// default, a net "[WD" with GND's objects, a definition or pin lost) and its setting
// outlived the block (every pad and via grew); a net given twice made a second host net
// of its name, a designator given twice a second component, untold; a comment line in a
// list of layers was read as layers, and the count of physical ids named no line. Each is
// told at the default detail with its line, and the board is the example's but for what
// the change itself makes.
TEST_F(EndToEndTest, EveryValueABlockHoldsIsTakenAsWhatItIsOrTold) {
  DeleteFileA(SavedDefaultsFile().c_str());
  TExampleLines example;
  const std::string kSummary =
      "Objects: 8 arc, 10 component, 2 fill, 8 net, 30 pad, 3 polygon, 30 text, 80 track, 13 via\n";
  const std::string held = ": it holds for that block alone, up to its \"}\"";
  const std::string noNet = "\", which the file does not define: the pin was imported without a net";
  const struct {
    const char* Name;
    int Line;  // of the example, from 1
    const char* Was;  // in that line
    std::string Becomes;
    int Warnings;
    std::vector<std::string> Told;  // the lines of the report, "WARNING: " left out
    std::string Summary;            // empty: the example's
    int Changed;  // the example's objects this import changes; -1: not compared
    std::string Dumped = {};  // a part of a line that the import's dump holds
  } cases[] = {
      {"undefined", 448, "GND}", "GNDX}", 1,
       {"The connection of pin 2 of component D1 at line 445 names the net \"GNDX" + noNet}, "", 1},
      {"beyond", 448, "GND}", "GND LED_A}", 1,
       {"The name \"LED_A\" in the connections of component D1 at line 445 stands beyond the 2 "
        "pins of its definition LED3MM: it was passed over"},
       "", 0},
      {"quoted", 448, "GND}", "\"GND\"}", 0, {}, "", 0},
      {"quoted pairs", 388, "4 GND", "4 \"GND\"", 0, {}, "", 0},
      {"pad entry", 129, "1 \"C62X38\"", "1 [WD 33] \"C62X38\"", 1,
       {"The attribute at line 129 stands among the PAD block's values" + held}, "", 0},
      {"pad entry end", 134, "\"SMDSOIC\" \"\"", "\"SMDSOIC\" [WD 33] \"\"", 1,
       {"The attribute at line 134 stands among the PAD block's values" + held}, "", 0},
      {"net", 202, "{N GND", "{N [WD 33] GND", 1,
       {"The attribute at line 202 stands in place of the N block's name" + held}, "", 0},
      // The pads of C62X38 alone (J1's connected pins 2 to 4) take the width, drawn in it.
      {"pad definition", 137, "{PAD_DEF C62X38", "{PAD_DEF [WD 33] C62X38", 1,
       {"The attribute at line 137 stands in place of the PAD_DEF block's name" + held}, "", 3},
      {"definition", 311, "{COMP_DEF", "{COMP_DEF [WD 33]", 1,
       {"The attribute at line 308 stands in place of the COMP_DEF block's name" + held}, "", 0},
      {"instance", 324, "{I", "{I [WD 33]", 1,
       {"The attribute at line 321 stands in place of the I block's name" + held}, "", 0},
      {"pin", 314, "{P 1", "{P [WD 3] 1", 1,
       {"The attribute at line 311 stands in place of the P block's name" + held}, "", 0},
      {"net twice", 268, "}", "}\n    {N sda {DG [LY \"COMP\"] [WD 10] {W -1000 -100 -870 -100}}}",
       1, {"The net sda at line 266 was given before (line 256): its objects were added to that net"},
       "Objects: 8 arc, 10 component, 2 fill, 8 net, 30 pad, 3 polygon, 30 text, 81 track, 13 via\n",
       -1},
      {"designator twice", 333, "}",
       "}\n    {I RES0805 R2 {ATR {IN {ORG 350 -350}}} {CN VCC_3V3 SCL}}", 1,
       {"Component R2 at line 331 has the designator of the component at line 326: both were "
        "imported"},
       "Objects: 8 arc, 11 component, 2 fill, 8 net, 32 pad, 3 polygon, 32 text, 82 track, 13 via\n",
       -1},
      {"layer comment", 26, "1", "1\n    % inner layers follow", 0, {}, "", 0},
      {"layer comment braces", 26, "1", "1\n% {note}", 0, {}, "", 0},
      // A block whose name is missing: told; what it holds imported as it is, named by
      // nothing. Before, the net without a name was a host net "" that J1's pin 5 (left
      // out of its list of pairs) joined, taking C62X38 in place of C50X38.
      {"net without a name", 259, "{N SDA", "{N", 4,
       {"The N block at line 256 has no name: its objects were imported without a net",
        "The connection of pin 2 of component J1 at line 427 names the net \"SDA" + noNet},
       "Objects: 8 arc, 10 component, 2 fill, 7 net, 30 pad, 3 polygon, 30 text, 80 track, 13 via\n",
       -1,
       " net=- layer=74(MultiLayer) Flags=0 PrimitiveWord=0 PrimitiveByte=0 "
       "PrimitiveLong=0 BitField2=0 BitField3=0 X=3050000(305mil) Y=11050000(1105mil) "
       "TopXSize=500000(50mil) "},
      {"definition without a name", 311, "{COMP_DEF RES0805", "{COMP_DEF", 5,
       {"The COMP_DEF block at line 308 has no name: no I block can name it, so no component "
        "was made of it",
        "Component R1 at line 321 left out: the file has no definition RES0805 before it"},
       "Objects: 8 arc, 6 component, 2 fill, 8 net, 22 pad, 3 polygon, 22 text, 72 track, 13 via\n",
       -1},
      {"instance without names", 333, "}",
       "}\n    {COMP_DEF {PIN_DEF {P 1 {PT 5} {PLOC -40 0}}}}\n    {I {ATR {IN {ORG 350 -350}}} {CN GND}}",
       2,
       {"The COMP_DEF block at line 331 has no name: no I block can name it, so no component "
        "was made of it",
        "Component without designator at line 332 left out: its I block names no definition"},
       "", 0},
      {"pin without a name", 314, "{P 1", "{P", 3,
       {"The P block at line 311 has no name: its pin was imported without one, and a "
        "connection list of pin names gives it no net",
        "The name \"1\" in the connections of component R3 at line 334 connects no pin of its "
        "definition RES0805: it was passed over"},
       "", 4},
      {"pad definition without a name", 137, "{PAD_DEF C62X38", "{PAD_DEF", 2,
       {"The PAD_DEF block at line 137 has no name: no PAD record can name it, so no pad or via "
        "takes it",
        "The PAD 1 at line 129 names the pad definition \"C62X38\", which its PAD_STACK does not "
        "give: the pins and vias of its index were made without a pad definition (pins as the "
        "default pad or the component graphics over them, vias as the host's default via)"},
       "", -1},
      {"component without a name", 16, "{COMPONENT \"SENSOR_NODE\"", "{COMPONENT", 1,
       {"The COMPONENT block at line 16 has no name: the import needs none, and nothing was left "
        "out"},
       "", 0},
      {"physical ids", 42, "0", "0\n    \"1\" 1 0", 1,
       {"Number of Layer Strings does not Physical ID Map",
        "The LYRPHID block at line 41 lists 15 physical layer ids for the 14 layer strings of "
        "LYRSTR"},
       "", 0},
  };
  // The example without its voids: told lines after them are 3 less.
  const THostRun whole = RunHost({WriteScratch("nov.pdf", example.Text(/*voids=*/false))});
  ASSERT_TRUE(Has(whole, "Status dialog: \"Status: Translation Successful\"\n")) << whole.Output;
  ASSERT_TRUE(Has(whole, kSummary)) << whole.Output;
  const std::string objects = ObjectLines(ReadFile(Scratch() + "nov.dump"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string text = example.Edited(c.Line, c.Was, c.Becomes, /*voids=*/false);
    ASSERT_FALSE(text.empty());
    const THostRun run = RunHost({WriteScratch(std::string(c.Name) + ".pdf", text)});
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_TRUE(Has(run, c.Warnings == 0 ? std::string("Status: Translation Successful\"\n")
                                         : "Status: Translation Complete, " +
                                               std::to_string(c.Warnings) + " Warnings\"\n"))
        << run.Output;
    EXPECT_TRUE(Has(run, c.Summary.empty() ? kSummary : c.Summary)) << run.Output;
    const std::string report = ReadFile(Scratch() + c.Name + ".rpt");
    for (const std::string& told : c.Told)
      EXPECT_NE(report.find("WARNING: " + told + "\r\n"), std::string::npos) << report;
    const std::string dump = ReadFile(Scratch() + c.Name + ".dump");
    if (c.Changed >= 0) {
      EXPECT_EQ(MissingLines(objects, ObjectLines(dump)), c.Changed);
    }
    EXPECT_NE(dump.find(c.Dumped), std::string::npos) << dump;
  }
  // A comment line after every line, holding every character of structure.
  std::string commented;
  for (const std::string& line : example.Lines())
    commented += line + "\n% c { } [ \" \\\n";
  const THostRun run = RunHost({WriteScratch("commented.pdf", commented)});
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 3 Warnings\"\n")) << run.Output;
  EXPECT_EQ(ObjectLines(ReadFile(Scratch() + "commented.dump")),
            ObjectLines(SourceFile("tests/importer/golden/demo.dump")));
}

// Faults of the example without its voids, each under "Translation Successful": a quoted
// text with two blanks in a row ended at the first blank, the words after it read as its
// position ("LOT  2024 12" gave the text "LOT" at 2024, 12); a text whose position could
// not be read was joined to the words after its value by a '"' and a blank
// (x"SENSOR NODE" gave `x"SENSOR" NODE`, a quote never closed `NEVER" CLOSED`); what a
// block held after the values it reads was passed over. A text is the file's characters
// up to its position, or told, and what is left in a block is told.
TEST_F(EndToEndTest, TextsAreTheFilesCharactersUpToTheirPositionOrTold) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const THostRun whole = RunHost({WriteScratch("nov.pdf", ExampleWithoutVoids())});
  EXPECT_TRUE(Has(whole, "Status dialog: \"Status: Translation Successful\"\n")) << whole.Output;
  const std::string objects = ObjectLines(ReadFile(Scratch() + "nov.dump"));
  const std::string sensor = "Text=\"SENSOR NODE\"";
  const struct {
    const char* Name;
    const char* Becomes;  // in place of {T "SENSOR NODE" -700 680}
    const char* Status;
    const char* Told;  // empty: nothing
    const char* Text;  // the text's dump in place of the example's; empty: left out
  } cases[] = {
      {"blanks", "{T \"LOT  2024 12\" -700 680}", "Translation Successful", "",
       "Text=\"LOT  2024 12\""},
      {"rest", "{T \"SENSOR NODE\" -700 680 5}", "Translation Complete, 1 Warnings",
       "The text \"5\" at line 93 lies in the T block after the values it reads: it was passed "
       "over, with the rest of the block",
       "Text=\"SENSOR NODE\""},
      {"unclosed", "{T \"NEVER  CLOSED -700 680}", "Translation Complete, 1 Warnings",
       "Text \"NEVER  CLOSED -700 680\" at line 93 left out: its quote is not closed before the "
       "\"}\" after it",
       ""},
      {"bare", "{T x\"SENSOR NODE\" -700 680}", "Translation Complete, 1 Warnings",
       "Text \"x\"SENSOR NODE\"\" at line 93 goes on after its value: it was read up to its "
       "position",
       "Text=\"x\\\"SENSOR NODE\\\"\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string name = std::string(c.Name) + ".pdf";
    const THostRun run =
        RunHost({WriteScratch(name, ExampleWithoutVoids("{T \"SENSOR NODE\" -700 680}", c.Becomes))});
    EXPECT_TRUE(Has(run, "Status dialog: \"Status: " + std::string(c.Status) + "\"\n")) << run.Output;
    const std::string report = ReadFile(Scratch() + c.Name + ".rpt");
    if (*c.Told != 0) {
      EXPECT_NE(report.find("WARNING: " + std::string(c.Told) + "\r\n"), std::string::npos) << report;
    }
    if (*c.Text == 0) {
      EXPECT_TRUE(Has(run, "Objects: 8 arc, 10 component, 2 fill, 8 net, 30 pad, 3 polygon, 29 "
                           "text, 80 track, 13 via\n"))
          << run.Output;
      continue;
    }
    std::string expected = objects;
    expected.replace(expected.find(sensor), sensor.size(), c.Text);
    EXPECT_EQ(ObjectLines(ReadFile(Scratch() + c.Name + ".dump")), expected);
  }
}

// Faults: a text whose value ran on over its line to a block or an attribute ended its
// block there ({T "SENSOR<line end>NODE {X} ...): its own "}" then closed ANNOTATE, and
// 11 objects after it were lost; [LY "COMP"] in place of {X} moved 7 silkscreen objects
// to the top copper. A quote right after a block's "{", or between blocks, began no value
// in reading, and the "}" inside closed ANNOTATE. The same bytes in a block the reader
// skips (FL) lost and moved nothing. Read, they now end where a skip ends them: a block
// whose value ran on stays open to its own "}".
TEST_F(EndToEndTest, ReadBytesEndWhereASkipOfTheSameBytesEnds) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const std::string sensor = "{T \"SENSOR NODE\" -700 680}";
  const std::string ranOn = " \"SENSOR\n  NODE %s -700 680\n  END\" -700 680}";
  const auto with = [&](std::string text, const std::string& inside) {
    return text.replace(text.find("%s"), 2, inside);
  };
  const struct {
    std::string Name, Read, Skipped;  // in place of the text; Skipped empty: left as it is
    int Warnings;
  } cases[] = {
      {"ranon-block", "{T" + with(ranOn, "{X}"), "{FL" + with(ranOn, "{X}"), 2},
      {"ranon-attribute", "{T" + with(ranOn, "[LY \"COMP\"]"), "{FL" + with(ranOn, "[LY \"COMP\"]"),
       2},
      {"keyword", "{\"T} x\" -700 680}", "{FL {\"T} x\" -700 680}}", 1},
      {"stray", sensor + "\n    \"} x\"", "", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string dumps[2];
    for (const int skipped : {0, 1}) {
      const std::string name = c.Name + (skipped ? "-skipped" : "-read");
      const THostRun run = RunHost({WriteScratch(
          name + ".pdf", ExampleWithoutVoids(sensor, skipped ? c.Skipped.empty() ? sensor : c.Skipped
                                                             : c.Read))});
      EXPECT_TRUE(Has(run, skipped ? "Status dialog: \"Status: Translation Successful\"\n"
                                   : "Status dialog: \"Status: Translation Complete, " +
                                         std::to_string(c.Warnings) + " Warnings\"\n"))
          << run.Output;
      dumps[skipped] = ObjectLines(ReadFile(Scratch() + name + ".dump"));
    }
    EXPECT_TRUE(dumps[0] == dumps[1]) << "the read bytes end otherwise than the skipped";
  }
}

// Fault: a skip took the braces inside a "("-bracketed value for structure where the
// reading took them as the value's: `{FL (REV}B) 1150 -300}` ended at the "}" inside the
// brackets and its own "}" closed ANNOTATE (3 sections told as misplaced), and a read
// block whose "(" was left open ran on over the lines after it. A bracketed value now
// ends where one rule ends it, read or skipped, wherever it stands: as a text, among
// numbers or points, between blocks, as a keyword or a name. Each board is compared
// with one whose reading is known (the same bytes skipped, or quoted).
TEST_F(EndToEndTest, BracketedValuesEndWhereASkipOfTheSameBytesEnds) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const std::string text = "{T \"REV B\" 1150 -300}", arc = "{ARC 950 550 990 550 910 550}";
  const std::string line = "{L -1120 300 -1060 300}";
  const struct {
    std::string Name, From, Read, Reference;  // From replaced by Read, and by Reference
    int ReadWarnings, ReferenceWarnings;
  } cases[] = {
      {"skipped", text, text + " {FL (REV}B) 1150 -300}", text, 0, 0},
      {"text", text, "{T (REV}B) 1150 -300}", "{T \"(REV}B)\" 1150 -300}", 0, 0},
      {"open", text, "{T (REV B 1150 -300}", "{FL (REV B 1150 -300}", 1, 0},
      {"numbers", arc, "{ARC 950 (5}50) 990 550 910 550}", "{FL 950 (5}50) 990 550 910 550}", 2, 0},
      {"points", line, "{L -1120 300 -1060 300 (1}2) 5}", line, 1, 0},
      {"between", line, line + " (a}b)", line, 1, 0},
      {"keyword", line, line + " {(a}b) 1}", line, 1, 0},
      {"name", "{N SCL", "{N (S}CL)", "{N \"(S}CL)\"", 3, 3},
      {"connection", "{CN VCC_3V3 SDA}", "{CN VCC_3V3 (S}DA)}", "{CN VCC_3V3 \"(S}DA)\"}", 1, 1},
  };
  const auto status = [](int warnings) {
    return "Status dialog: \"Status: Translation " +
           (warnings == 0 ? std::string("Successful") : "Complete, " + std::to_string(warnings) + " Warnings") +
           "\"\n";
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string dumps[2];
    for (const int reference : {0, 1}) {
      const std::string name = c.Name + (reference ? "-reference" : "-read");
      const THostRun run = RunHost(
          {WriteScratch(name + ".pdf", ExampleWithoutVoids(c.From, reference ? c.Reference : c.Read))});
      EXPECT_TRUE(Has(run, status(reference ? c.ReferenceWarnings : c.ReadWarnings))) << run.Output;
      dumps[reference] = ObjectLines(ReadFile(Scratch() + name + ".dump"));
    }
    EXPECT_TRUE(dumps[0] == dumps[1]) << "the read bytes end otherwise than the reference";
  }
}

// Faults: a name longer than the 65,536 characters the reader keeps was cut without a
// word; and a net whose name is longer than the 255 characters the host keeps lost its
// pins (they were looked up by the whole name). The example's net NRST named by 70,000
// characters, where it is defined and in both connection lists: each name is told with
// its line, and the board keeps every object and connection, the net named by its first
// 255 characters.
TEST_F(EndToEndTest, ANameLongerThanTheReaderKeepsIsTold) {
  DeleteFileA(SavedDefaultsFile().c_str());
  std::string board = SourceFile("examples/demo.pdf");
  const std::string name = "NRST" + std::string(69996, 'X');
  for (size_t at = 0; (at = board.find("NRST", at)) != std::string::npos; at += name.size())
    board.replace(at, 4, name);
  const THostRun run = RunHost({WriteScratch("longname.pdf", board)});
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 6 Warnings\"\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Objects: 8 arc, 10 component, 2 fill, 8 net, 30 pad, 3 polygon, 30 text, "
                       "80 track, 13 via\n"))
      << run.Output;
  const std::string report = ReadFile(Scratch() + "longname.rpt");
  const std::string shown = " \"NRSTXXXXXXXXXXXXXXXXXXXXXXXXXXXX...\" at line ";
  const std::string told = " has more than 65536 characters: only the first 65536 were kept, the "
                           "rest was passed over\r\n";
  for (const std::string& warning : {"Name of the N block" + shown + "282" + told,
                                     "Name of a net in the CN block" + shown + "337" + told,
                                     "Name of a net in the CN block" + shown + "388" + told})
    EXPECT_NE(report.find("WARNING: " + warning), std::string::npos) << warning;
  RunHost({WriteScratch("shortname.pdf", SourceFile("examples/demo.pdf"))});
  const std::string kept = ObjectLines(ReadFile(Scratch() + "longname.dump"));
  std::string expected = ObjectLines(ReadFile(Scratch() + "shortname.dump"));
  expected.replace(expected.find("Name=\"NRST\""), 11, "Name=\"" + name.substr(0, 255) + "\"");
  EXPECT_TRUE(kept == expected) << "the long-named net's objects or pins differ";
}

// Fault: a comment line among the numbers of a block ({C -1100 -700<line end>% note<line
// end>62.5}) was read as a number that could not be read: the circle, the via, the
// component and the text were left out, told as unreadable coordinates. It is passed as
// a comment, as between blocks and in lists, and the board is the one without it.
TEST_F(EndToEndTest, ACommentLineAmongABlocksNumbersIsPassed) {
  DeleteFileA(SavedDefaultsFile().c_str());
  RunHost({WriteScratch("nocomment.pdf", ExampleWithoutVoids())});
  const std::string clean = ObjectLines(ReadFile(Scratch() + "nocomment.dump"));
  std::string board = ExampleWithoutVoids();
  for (const auto& [from, to] : std::initializer_list<std::pair<std::string, std::string>>{
           {"{C -1100 -700 62.5}", "{C -1100 -700\n% note\n 62.5}"},
           {"{V -1080 100 3}", "{V -1080\n        % via\n        100 3}"},
           {"{ORG 250 350}", "{ORG\n% origin\n\n % again\n 250 350}"},
           {"{T \"REV B\" 1150 -300}", "{T \"REV B\"\n% at\n 1150 -300}"},
           {"{P 1 {PT 5} {PLOC -40 0}}", "{P 1 {PT\n% pad\n5} {PLOC -40\n% y\n0}}"},
           {"{OL 1 900 520", "{OL\n% kind\n1\n% points\n900 520"}}) {
    const size_t at = board.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    board.replace(at, from.size(), to);
  }
  const THostRun run = RunHost({WriteScratch("comments.pdf", board)});
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Successful\"\n")) << run.Output;
  EXPECT_TRUE(ObjectLines(ReadFile(Scratch() + "comments.dump")) == clean)
      << "the board with comment lines differs from the board without";
}

// Fault: a text holding 0x1A left out of the board made the run print no counts and end
// "Result: failed": the report quoted the text as it was, and the host read the report
// in text mode, where 0x1A ends the file. The report writes it as "\x1A", and the host
// reads the report as bytes.
TEST_F(EndToEndTest, AControlCharacterInAReportedTextKeepsTheReportWhole) {
  const std::string board =
      "{COMPONENT \"sensor\"\n"
      "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"
      "{DETAIL {ANNOTATE [LY \"TOP\"] [WD 8] {L 0 0 300 0} {T \"SENSOR\x1ANODE\" 0 9999999999}}}}\n";
  THostRun run = Import("sensor.pdf", board);
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 1 Warnings\"\n"))
      << run.Output;
  EXPECT_TRUE(Has(run, "Warnings: 1 (load 1, import 0)\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Result: imported\n")) << run.Output;
  const std::string report = ReadFile(Scratch() + "sensor.rpt");
  EXPECT_NE(report.find("WARNING: Text \"SENSOR\\x1ANODE\" at line 3 left out: a coordinate or size "
                        "lies beyond the board's range\r\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(report.find('\x1A'), std::string::npos);
}

// Fault: a board too large for the host's 32-bit address space (450 MB with its
// configuration) ran the process out of memory while it was placed: the host's
// allocations failed inside the host, each failure logged and passed over, for more than
// a quarter of an hour, with no box and no report. The import now watches the address
// space left and ends while there is room to say so: the box, the report's error,
// "Translation Failed", exit 2. Here the host leaves a 10 MB board too little room.
TEST_F(EndToEndTest, ABoardTooLargeForTheProcessEndsWithABoxAndTheReport) {
  const std::string board = Scratch() + "too-large.pdf";
  GenerateKivoBoard(board, 10 << 20, /*seed=*/1);
  const std::string map = WriteScratch("too-large.cfg", KivoBoardConfigurationText());
  THostRun run = RunHost({board, "--config", map, "--memory-left", "80"});
  EXPECT_EQ(run.ExitCode, 2) << run.Output;
  EXPECT_TRUE(Has(run, "Error box: \"Could not import \"" + board +
                           "\" because the board is too large for this process: its 4 GB of address space "
                           "ran out while the 10 MB file was being imported.\"\n"))
      << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Failed\"\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Errors: 1 (load 0, import 1)\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Result: failed\n")) << run.Output;
  EXPECT_FALSE(Has(run, "bad_alloc")) << "the host ran out first: " << run.Output;
  const std::string report = ReadFile(Scratch() + "too-large.rpt");
  EXPECT_NE(report.find("Import Errors : 1\r\nERROR: The board is too large for this process: its 4 GB of "
                        "address space ran out while the 10 MB file was being imported\r\n"),
            std::string::npos)
      << report;
}

// Fault: a host out of address space before the import (too little left to load its PCB
// server) ended the command without a word: the server's refusal ended it silently, and
// with nearly nothing left the error box could not be built, its failure swallowed at
// the boundaries. The box says why (the system's box where the plug-in's cannot be
// made), and the host says it could not start its server.
TEST_F(EndToEndTest, AHostOutOfAddressSpaceBeforeTheImportSaysWhy) {
  const std::string file = WriteScratch("no-room.pdf", kOneTrack);
  for (const char* left : {"0", "30"}) {
    SCOPED_TRACE(left);
    THostRun run = RunHost({file, "--memory-left", left});
    EXPECT_EQ(run.ExitCode, 2) << run.Output;
    EXPECT_TRUE(Has(run, "Error box: \"Could not import \"" + file +
                             "\" because the host could not start its PCB server: this process's 4 GB of "
                             "address space is nearly used up.\"\n"))
        << run.Output;
    EXPECT_TRUE(Has(run, "KivoHost: cannot start the PCB server: Ravelo.dll does not load")) << run.Output;
    EXPECT_TRUE(Has(run, "New PCB document: none\n")) << run.Output;
  }
}

// Fault: on a full disk the error box was right but a 0-byte report stayed; with a page
// free the box gave "because of this error: exclusive semaphore already owned" (the
// text file's own short-write code read as a Windows error) and a report cut mid-word
// stayed. The box says the disk is full, and no part of the report remains.
TEST_F(EndToEndTest, AFullDiskLeavesNoReportAndSaysSo) {
  for (const char* free : {"0", "100"}) {
    SCOPED_TRACE(free);
    const std::string folder = Scratch() + "full-" + free + "\\";
    const std::string kivo = WriteScratch("full-" + std::string(free) + "\\board.pdf", kTwoWarnings);
    THostRun run = RunHost({kivo, "--config", FMap, "--disk-full", free});
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_TRUE(Has(run, "Error box: \"Could not save the translation report \"" + folder +
                             "board.rpt\" because the disk is full.\"\n"))
        << run.Output;
    EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 2 Warnings\"\n"));
    EXPECT_TRUE(Has(run, "Report: not written (" + folder + "board.rpt)\n")) << run.Output;
    EXPECT_EQ(ReadFile(folder + "board.rpt"), "<missing>");
  }
}

// Fault: on a full disk an earlier report and an earlier configuration of the same names
// were lost (emptied, or cut short and then removed), and the configuration's failure
// was told as "write fault": both were rewritten in place. Each is written beside and
// replaces the earlier one only when whole; the boxes say the disk is full.
TEST_F(EndToEndTest, AFullDiskKeepsTheEarlierReportAndConfiguration) {
  for (const char* free : {"0", "100"}) {
    SCOPED_TRACE(free);
    const std::string folder = Scratch() + "kept-" + free + "\\";
    const std::string kivo = WriteScratch("kept-" + std::string(free) + "\\board.pdf", kTwoWarnings);
    const std::string report = WriteScratch("kept-" + std::string(free) + "\\board.rpt", "an earlier report\r\n");
    const std::string saved = WriteScratch("kept-" + std::string(free) + "\\saved.cfg", kTopMap);
    THostRun run = RunHost({kivo, "--config", FMap, "--save-config", saved, "--disk-full", free});
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_TRUE(Has(run, "Error box: \"Could not save the configuration file \"" + saved +
                             "\" because the disk is full.\"\n"))
        << run.Output;
    EXPECT_TRUE(Has(run, "Error box: \"Could not save the translation report \"" + folder +
                             "board.rpt\" because the disk is full.\"\n"))
        << run.Output;
    EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 2 Warnings\"\n")) << run.Output;
    EXPECT_EQ(ReadFile(report), "an earlier report\r\n");
    EXPECT_EQ(ReadFile(saved), kTopMap);
    EXPECT_EQ(TemporaryFileIn(folder), "");
  }
}

// A dump the disk cannot hold whole is not left cut short: the report, written first,
// takes nearly all the room; the dump then fails partway and is removed.
TEST_F(EndToEndTest, ADumpTheDiskCannotHoldWholeIsNotLeft) {
  const std::string kivo = WriteScratch("dump-room\\board.pdf", kTwoWarnings);
  const std::string folder = ExtractFilePath(kivo);
  THostRun roomy = RunHost({kivo, "--config", FMap});
  ASSERT_TRUE(Has(roomy, "Dump: " + folder + "board.dump\n")) << roomy.Output;
  const size_t reportSize = ReadFile(folder + "board.rpt").size();
  ASSERT_GT(ReadFile(folder + "board.dump").size(), 64u);
  DeleteFileA((folder + "board.rpt").c_str());
  DeleteFileA((folder + "board.dump").c_str());

  THostRun run = RunHost({kivo, "--config", FMap, "--disk-full", std::to_string(reportSize + 64)});
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Report: " + folder + "board.rpt\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Objects: ")) << run.Output;
  EXPECT_TRUE(Has(run, "Dump: not written\n")) << run.Output;
  EXPECT_EQ(ReadFile(folder + "board.dump"), "<missing>");

  // Fault: an earlier dump of the name went too, emptied as the new one began: the dump
  // was written in place. It is written beside and takes the earlier one's place only
  // once whole, as the report is.
  WriteScratch("dump-room\\board.dump", "an earlier dump\n");
  THostRun again = RunHost({kivo, "--config", FMap, "--disk-full", std::to_string(reportSize + 64)});
  EXPECT_TRUE(Has(again, "Dump: not written\n")) << again.Output;
  EXPECT_EQ(ReadFile(folder + "board.dump"), "an earlier dump\n");
  EXPECT_EQ(TemporaryFileIn(folder), "");
}

// Fault: "Load Configuration" (the host's --config) read a configuration of any size
// whole, unlike "LoadKIVO.ini": a 1.6 GB file was read into the 32-bit process. It is
// not read beyond 16 MB; the box names the file and why, and the import goes on with
// the built-in map.
TEST_F(EndToEndTest, AConfigurationLargerThanAnySettingsFileIsNotReadAndSaysWhy) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const std::string huge = WriteScratch("huge.cfg", kTopMap);
  {
    HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 1600ll << 20;
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
  }
  const std::string board = WriteScratch("huge-config.pdf", kOneTrack);
  THostRun run = RunHost({board, "--config", huge});
  DeleteFileA(huge.c_str());
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Error box: \"Could not read the configuration file \"" + huge +
                           "\" because it is larger than 16 MB, far more than any settings file holds.\"\n"))
      << run.Output;
  EXPECT_TRUE(Has(run, "Options dialog: OK\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Errors: 0 (load 0, import 0)\n")) << run.Output;
}

// Fault: a "LoadKIVO.ini" of 1.6 GB failed the import as "Unknown Error ... Possibily
// Unexpected End Of File" without naming it, and one of random bytes left every layer
// "Not Imported" without a word. The settings file is named with the cause, the
// built-in layer map serves, the report says so, and the file is left as it was.
TEST_F(EndToEndTest, AnUnreadableSettingsFileIsNamedAndTheBuiltInMapServes) {
  const std::string settings = SavedDefaultsFile();
  ForceDirectories(ExtractFileDir(settings));
  const std::string board = WriteScratch(
      "padcom.pdf",
      "{COMPONENT \"pad\"\n"
      "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"PADCOM\" 1}}\n"
      "{DETAIL {ANNOTATE [LY \"PADCOM\"] [WD 8] {L 0 0 300 0}}}}\n");
  std::string noise(65536, '\0');
  uint32_t seed = 12345;
  for (char& c : noise)
    c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
  const struct {
    const char* Name;
    int64_t Size;  // a sparse file of that size, or the noise
    const char* Cause;
  } cases[] = {{"1.6 GB", 1600ll << 20, "it is larger than 16 MB, far more than any settings file holds"},
               {"random bytes", 0, "it holds no [Layer] section (it may be damaged, or saved as Unicode text)"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    HANDLE file = CreateFileA(settings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    LARGE_INTEGER size;
    size.QuadPart = c.Size;
    if (c.Size > 0)
      ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    else
      WriteFile(file, noise.data(), static_cast<DWORD>(noise.size()), &written, nullptr);
    CloseHandle(file);
    THostRun run = RunHost({board});
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_TRUE(Has(run, "Error box: \"Could not read the default layer map from the settings file \"" +
                             settings + "\" because " + c.Cause +
                             ". The built-in layer map is used instead.\"\n"))
        << run.Output;
    EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 1 Warnings\"\n"))
      << run.Output;
    EXPECT_TRUE(Has(run, "Objects: 1 track\n")) << run.Output;
    EXPECT_NE(ReadFile(Scratch() + "padcom.rpt")
                  .find("WARNING: The default layer map in " + settings + " could not be read: " +
                        c.Cause + "; the built-in layer map was used\r\n"),
              std::string::npos);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(settings.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ((int64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
              c.Size > 0 ? c.Size : int64_t(noise.size()));
  }
  DeleteFileA(settings.c_str());
}

// Fault: a report that could not be written (held open by another program, its folder
// read-only) failed the whole import after every object had reached the board: an error
// box with "Access denied (I/O error 5)", no status dialog, exit 2. The run now ends
// with the import's own outcome, and the user is told which report was not saved.
TEST_F(EndToEndTest, AReportThatCannotBeWrittenLeavesTheImportWhole) {
  const std::string held = WriteScratch("held\\board.pdf", kOneTrack);
  const std::string heldReport = WriteScratch("held\\board.rpt", "an earlier report");
  HANDLE lock = CreateFileA(heldReport.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  THostRun run = RunHost({held, "--config", FMap});
  CloseHandle(lock);
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Error box: \"Could not save the translation report \"" + heldReport +
                           "\" because another program has it open.\"\n"))
      << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Successful\"\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Report: not written (" + heldReport + ")\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Objects: 1 track\n")) << run.Output;
  EXPECT_EQ(ReadFile(heldReport), "an earlier report");

  const std::string folder = Scratch() + "read-only\\";
  const std::string file = WriteScratch("read-only\\board.pdf", kOneTrack);
  const std::string map = WriteScratch("read-only-map.cfg", kTopMap);
  TUnwritable unwritable(folder);
  ASSERT_TRUE(unwritable.Real()) << unwritable.How();
  THostRun readOnly = RunHost({file, "--config", map});
  EXPECT_EQ(readOnly.ExitCode, 0) << readOnly.Output;
  EXPECT_TRUE(Has(readOnly, "Error box: \"Could not save the translation report \"" + folder +
                                "board.rpt\" because access to it is denied (it or its folder "
                                "may be read-only).\"\n"))
      << readOnly.Output;
  EXPECT_TRUE(Has(readOnly, "Status dialog: \"Status: Translation Successful\"\n"));
  EXPECT_TRUE(Has(readOnly, "Dump: not written\n")) << readOnly.Output;
}

// Fault: with the settings folder not writable and no recent-filters file yet, the import
// finished but the host never got past releasing the module: the failed save went to a
// plain task-modal system box. It goes to the host-styled error box, in plain words,
// and the run ends.
TEST_F(EndToEndTest, ASettingsFolderThatCannotBeWrittenDoesNotHangTheRelease) {
  const std::string settings = ExtractFilePath(SavedDefaultsFile());
  ForceDirectories(settings);
  const std::string recent = settings + "KIVOImporterRecentFilters.Txt";
  DeleteFileA(recent.c_str());
  TUnwritable unwritable(settings);
  ASSERT_TRUE(unwritable.Real()) << unwritable.How();
  THostRun run = Import("settings-locked.pdf", kOneTrack);
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Module released\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Error box after the import: \"Could not save the recent filter expressions "
                       "to \"" + recent + "\" because access to it is denied (it or its folder "
                       "may be read-only).\"\n"))
      << run.Output;
}

// Fault: a host started while another instance saved the recent filter expressions
// ended with the error box "Unable to read ...KIVOImporterRecentFilters.Txt" and
// "ServerFactory gave no module", and imported nothing. Held by another program for
// longer than the read waits, the file is passed over: the module starts and imports, and
// the file is left as it is, which the box tells when the module goes.
TEST_F(EndToEndTest, ARecentFiltersFileHeldByAnotherProgramDoesNotStopTheModule) {
  const std::string settings = ExtractFilePath(SavedDefaultsFile());
  ForceDirectories(settings);
  const std::string recent = settings + "KIVOImporterRecentFilters.Txt";
  const std::string earlier =
      "[Recent KIVOImporter Filter Expressions]\r\nNewFileFormat=True\r\nRecentExpressionCount=2\r\n"
      "RecentExpression2=IsPad\r\n";
  std::ofstream(recent, std::ios::binary | std::ios::trunc) << earlier;
  HANDLE saving = CreateFileA(recent.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(saving, INVALID_HANDLE_VALUE);
  THostRun run = Import("recent-held.pdf", kOneTrack);
  CloseHandle(saving);
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(Has(run, "Objects: 1 track\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Error box after the import: \"Could not save the recent filter expressions to \"" +
                           recent + "\" because it could not be read when the module started: another "
                           "program has it open.\"\n"))
      << run.Output;
  EXPECT_EQ(ReadFile(recent), earlier);
}

// Fault: "Load Configuration" of a folder named like a configuration opened a plain
// system box over the options dialog, which painted black and stayed blocked (the
// stand-in's own press waited inside it). The host-styled box tells why, the options
// dialog goes on, and the import ends.
TEST_F(EndToEndTest, AConfigurationThatIsAFolderIsToldAndTheOptionsGoOn) {
  const std::string folder = Scratch() + "folder.cfg";
  CreateDirectoryA(folder.c_str(), nullptr);
  THostRun run = RunHost({WriteScratch("cfg-folder.pdf", kOneTrack), "--config", folder});
  EXPECT_TRUE(Has(run, "Error box: \"Could not read the configuration file \"" + folder +
                           "\" because it is a folder, not a file.\"\n"))
      << run.Output;
  EXPECT_TRUE(Has(run, "Options dialog: OK\n")) << run.Output;
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: ")) << run.Output;
  EXPECT_FALSE(Has(run, "Dialog not answered as asked")) << run.Output;
}

// The batch run's watcher answers plain system boxes too, and its deadline ends a run
// whose user-interface thread is stuck, from a thread of its own.
TEST_F(EndToEndTest, TheWatcherAnswersPlainBoxesAndEndsAStuckRun) {
  THostRun boxed = Import("boxed.pdf", kOneTrack, {"--message-box", "A plain box"});
  EXPECT_EQ(boxed.ExitCode, 0) << boxed.Output;
  EXPECT_TRUE(Has(boxed, "Plain message box answered: OK\n")) << boxed.Output;
  EXPECT_TRUE(Has(boxed, "Message box: KivoHost: A plain box\n")) << boxed.Output;

  const DWORD start = GetTickCount();
  THostRun stuck = Import("stuck.pdf", kOneTrack, {"--hang", "--deadline", "1"});
  EXPECT_EQ(stuck.ExitCode, 4) << stuck.Output;
  EXPECT_TRUE(Has(stuck, "the import did not end within 2000 ms; the run ends")) << stuck.Output;
  EXPECT_LT(GetTickCount() - start, 60000u);
}

TEST_F(EndToEndTest, UnrecognisedFileIsNotImportedDirectly) {
  const std::string other = WriteScratch("other.pdf", "{ENVIRONMENT {KIVOVREV \"3.0\"}}\n");
  THostRun run = RunHost({"--direct", other});
  EXPECT_EQ(run.ExitCode, 2) << run.Output;
  EXPECT_TRUE(Has(run, "RecognisedPCBFile: False\n")) << run.Output;
  EXPECT_FALSE(Has(run, "ImportFileIntoPcb:"));
  EXPECT_TRUE(Has(run, "Report: none\n"));
  EXPECT_EQ(ReadFile(Scratch() + "other.rpt"), "<missing>");
}

}  // namespace
