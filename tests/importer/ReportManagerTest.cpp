// The translation report, written to real files: its texts, detail levels, header,
// empty lines, counters and where the file lands.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "classlib/DateUtils.h"
#include "classlib/Exceptions.h"
#include "classlib/FileUtils.h"
#include "importer/ReportManager.h"
#include "pcb/HostFileSystem.h"
#include "pcb/PcbApi.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbObjectFactory.h"
#include "standin/host/StandinHost.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

// Host objects made in the stand-in PCB server, read back by the report through the
// proxies.
struct THostObjects {
  uint32_t Track, Arc, Via, Text, Pad, Component, Fill, Polygon;
};

// Makes an object of `kind`, sets it through its proxy and stores it.
template <class F>
uint32_t MakeObject(uint8_t kind, F&& set) {
  const uint32_t handle = PcbApiCreateObject(kind);
  std::unique_ptr<TPCBObject> proxy = CreatePcbObjectFromHandle(handle);
  if (!proxy)  // fails the test instead of reading through null
    throw std::logic_error("no proxy for object kind " + std::to_string(kind));
  set(*proxy);
  proxy->Synchronize(/*Mode=*/0);
  return handle;
}

THostObjects MakeHostObjects() {
  auto at = [](int32_t x, int32_t y, int32_t x2, int32_t y2) {
    return [=](TPCBObject& o) { o.SetX(x), o.SetY(y), o.SetX2(x2), o.SetY2(y2); };
  };
  THostObjects objects;
  objects.Track = MakeObject(okTrack, at(10000, 25000, -5000, 0));
  objects.Arc = MakeObject(okArc, at(12340, 0, 0, 0));
  objects.Via = MakeObject(okVia, at(30000, 40000, 0, 0));
  objects.Fill = MakeObject(okFill, at(0, 0, 100000, 200000));
  objects.Text = MakeObject(okText, [](TPCBObject& o) { o.SetText("REF \"1\""); });
  objects.Pad = MakeObject(okPad, [](TPCBObject& o) { o.SetName("PAD-NAME-THAT-IS-RAT"); });
  objects.Polygon = MakeObject(okPolygon, [](TPCBObject& o) {
    auto& polygon = static_cast<TPcbPolygon&>(o);
    polygon.SetPointCount(2);
    polygon.SetSegments(0, TPolygonSegment{0, -10000, -20000, {}});
    polygon.SetSegments(1, TPolygonSegment{0, 10000, 20000, {}});
    polygon.SetSegments(2, TPolygonSegment{0, -10000, -20000, {}});
  });
  // The designator is the text of the component's own name text object.
  objects.Component = MakeObject(okComponent, [](TPCBObject&) {});
  auto component = CreatePcbObjectFromHandle(objects.Component);
  const auto nameText =
      static_cast<uint32_t>(static_cast<TPcbComponent&>(*component).GetNameText());
  auto name = CreatePcbObjectFromHandle(nameText);
  name->SetText("U1");
  name->Synchronize(/*Mode=*/0);
  return objects;
}

enum TList {
  lLoadErrors, lImportErrors, lLoadWarnings, lImportWarnings, lLoadEvents, lImportEvents
};

struct TEntry {
  TList List;
  uint8_t Level;
  const char* Text;
};

// Every line FillReport adds, in order.
const TEntry cEntries[] = {
    {lLoadWarnings, 3, "WARNING: Unhandled Token found FOO"},
    {lLoadWarnings, 4, "         This could be caused by missing/extra brackets \"{}\""},
    {lLoadWarnings, 1, "WARNING: Polygon Voids are not imported"},
    {lLoadWarnings, 2, "    Coord 0 x: 1 y: 2"},
    {lLoadWarnings, 2, "    Coord 1 x: -3 y: 40"},
    {lLoadWarnings, 1, "WARNING: Circle Voids are not imported"},
    {lLoadWarnings, 2, "    x: 5 y: 6 radius 7"},
    {lLoadWarnings, 1, "WARNING: Number of Layer Strings does not Physical ID Map"},
    {lLoadWarnings, 2, "         Possible cause is an Invalid KIVO file"},
    {lImportWarnings, 1, "WARNING: Mismatch on number of nets and number of pin on component U1"},
    {lImportWarnings, 1,
     "WARNING: No Component Primitives Translated for component U1. Component Removed"},
    {lImportErrors, 1, "ERROR: Unknown Error caused abort."},
    {lImportErrors, 2, "       Possibily Unexpected End Of File."},
    {lImportErrors, 1, "ERROR: User Canceled Abort."},
    {lLoadEvents, 1, ""},
    {lLoadEvents, 1, "Load Events: Header Infomation."},
    {lLoadEvents, 1, ""},
    {lImportEvents, 3, "Added To Component"},
    {lImportEvents, 3, "Track Added At: 1mil, 2.5mil To -0.5mil, 0mil"},
    {lImportEvents, 3, "Added To Component"},
    {lImportEvents, 3, "Arc Added At: 1.234mil, 0mil"},
    {lImportEvents, 3, "Added To Component"},
    {lImportEvents, 3, "Added To Component"},
    {lImportEvents, 2, "Text Added: REF \"1\""},
    {lImportEvents, 3, "Component Pad Added: PAD-NAME-THAT-IS-RAT"},
    {lImportEvents, 2, "Component Added: U1"},
    {lImportEvents, 3, "Fill Added At: 0mil, 0mil And 10mil, 20mil"},
    {lImportEvents, 3, "Arc Added At: 1.234mil, 0mil"},
    {lImportEvents, 3, "Track Added At: 1mil, 2.5mil To -0.5mil, 0mil"},
    {lImportEvents, 3, "Via Added at 3mil, 4mil"},
    {lImportEvents, 2, "Text Added: REF \"1\""},
    {lImportEvents, 3, "Track Added At: 1mil, 2.5mil To -0.5mil, 0mil"},
    {lImportEvents, 3, "Arc Added At: 1.234mil, 0mil"},
    {lImportEvents, 3, "Polygon Added: Bouding Rect: -1mil, -2mil   1mil, 2mil"},
};

void FillReport(TReportManager& report, const THostObjects& h) {
  const TReportPoint points[] = {{1, 2}, {-3, 40}};
  report.AddLoadWarning(0, "FOO");
  report.AddLoadWarning(0, "");  // counted, no line
  report.AddLoadWarning(1, points);
  report.AddLoadWarning(2, TReportCircle{5, 6, 7});
  report.AddLoadWarning(3);
  report.AddImportWarning(0, h.Component);
  report.AddImportWarning(1, h.Component);
  report.AddImportError(0);
  report.AddImportError(1);
  report.SetLoadSection(1);  // the current section: nothing
  report.SetLoadSection(0);
  report.SetLoadSection(0);
  for (uint32_t object : {h.Track, h.Arc, h.Via})
    report.AddImportEvent(0, object);
  report.AddImportEvent(1, h.Text);
  report.AddImportEvent(2, h.Pad);
  report.AddImportEvent(3, h.Component);
  report.AddImportEvent(4, h.Fill);
  report.AddImportEvent(5, h.Arc);
  report.AddImportEvent(6, h.Track);
  report.AddImportEvent(7, h.Via);
  report.AddImportEvent(8, h.Text);
  report.AddImportEvent(9, h.Track);
  report.AddImportEvent(9, h.Arc);
  report.AddImportEvent(9, h.Via);  // neither track nor arc: nothing
  report.AddImportEvent(10, h.Polygon);
  report.AddImportEvent(11, h.Track);
}

using TLevels = std::array<uint8_t, 6>;  // indexed by TList

void SetLevels(TReportManager& report, const TLevels& levels) {
  report.SetLoadErrorLevel(levels[lLoadErrors]);
  report.SetImportErrorLevel(levels[lImportErrors]);
  report.SetLoadWarningLevel(levels[lLoadWarnings]);
  report.SetImportWarningLevel(levels[lImportWarnings]);
  report.SetLoadEventLevel(levels[lLoadEvents]);
  report.SetImportEventLevel(levels[lImportEvents]);
}

std::string Lines(TList list, uint8_t level) {
  std::string text;
  for (const TEntry& entry : cEntries)
    if (entry.List == list && entry.Level <= level)
      text += std::string(entry.Text) + "\r\n";
  return text;
}

// The report's body after its date and time lines, for the entries of FillReport.
std::string ExpectedBody(const TLevels& levels) {
  return "\r\n\r\n"
         "Load Errors : 0\r\n" + Lines(lLoadErrors, levels[lLoadErrors]) + "\r\n" +
         "Import Errors : 2\r\n" + Lines(lImportErrors, levels[lImportErrors]) + "\r\n" +
         "Load Warnings : 5\r\n" + Lines(lLoadWarnings, levels[lLoadWarnings]) + "\r\n" +
         "Import Warnings : 2\r\n" + Lines(lImportWarnings, levels[lImportWarnings]) + "\r\n" +
         (levels[lLoadEvents] ? "Load Event List :\r\n" : "") +
         Lines(lLoadEvents, levels[lLoadEvents]) + "\r\n" +
         (levels[lImportEvents] ? "Import Event List :\r\n" : "") +
         Lines(lImportEvents, levels[lImportEvents]);
}

class ReportManagerTest : public testing::Test {
 protected:
  void SetUp() override { FObjects = MakeHostObjects(); }

  // Writes the report of FillReport at `levels`, set after the events; answers the
  // file's text, or "<missing>" when no file was written.
  std::string Write(const TLevels& levels) {
    TReportManager report(FKivoFile);
    FillReport(report, FObjects);
    SetLevels(report, levels);
    DeleteFile(ScratchFolder() + "board.rpt");
    FBefore = Now();
    report.WriteReport();
    FAfter = Now();
    FPath = report.GetReportPath();
    return ReadWholeFile(ScratchFolder() + "board.rpt");
  }

  // The header with date and time as the locale functions give them at some instant
  // of the writing; the rest is returned.
  std::string CheckHeader(const std::string& text) {
    const std::string title =
        "Varnok Design System: KIVO Version 9.x To Varnok QMV Translator Report\r\n"
        "PCB File : board.pdf\r\n";
    EXPECT_EQ(text.substr(0, title.size()), title);
    size_t at = title.size();
    auto line = [&] {
      size_t end = text.find("\r\n", at);
      std::string result = text.substr(at, end - at);
      at = end == std::string::npos ? text.size() : end + 2;
      return result;
    };
    const std::string date = line(), time = line();
    EXPECT_TRUE(date == "Date     : " + DateToStr(FBefore) ||
                date == "Date     : " + DateToStr(FAfter))
        << date;
    EXPECT_TRUE(time == "Time     : " + TimeToStr(FBefore) ||
                time == "Time     : " + TimeToStr(FAfter))
        << time;
    return text.substr(at);
  }

  THostObjects FObjects{};
  std::string FKivoFile = WriteScratchFile("board.pdf", "{COMPONENT}");
  std::string FPath;
  TDateTime FBefore = 0, FAfter = 0;
};

// Every import event is kept whatever the level while it happens: a level raised
// afterwards writes them all, and one lowered writes fewer. (Fault: the events were
// dropped when the level chosen before them did not write them.)
TEST_F(ReportManagerTest, LevelsSetAfterTheEventsChooseTheirLines) {
  for (const auto& [before, after] : {std::pair<uint8_t, uint8_t>{0, 4}, {2, 3}, {4, 2}}) {
    TReportManager report(FKivoFile);
    SetLevels(report, {0, 0, 0, 0, 0, before});
    FillReport(report, FObjects);
    SetLevels(report, {0, 0, 0, 0, 0, after});
    DeleteFile(ScratchFolder() + "board.rpt");
    report.WriteReport();
    const std::string written = ReadWholeFile(ScratchFolder() + "board.rpt");
    const std::string tail = "Import Event List :\r\n" + Lines(lImportEvents, after);
    EXPECT_EQ(written.substr(written.size() - std::min(written.size(), tail.size())), tail);
  }
}

// Tracks whose second point is the first point of the track reported before keep only
// their first point; each line still shows its own two points, across other events, a
// chain broken by a track of its own and a report written twice.
TEST_F(ReportManagerTest, ChainedTracksWriteTheirOwnPoints) {
  auto track = [](int32_t x, int32_t y, int32_t x2, int32_t y2) {
    return MakeObject(okTrack,
                      [=](TPCBObject& o) { o.SetX(x), o.SetY(y), o.SetX2(x2), o.SetY2(y2); });
  };
  TReportManager report(FKivoFile);
  SetLevels(report, {0, 0, 0, 0, 0, 4});
  report.AddImportEvent(6, track(20000, 0, 30000, 0));
  report.AddImportEvent(6, track(10000, 0, 20000, 0));   // joined
  report.AddImportEvent(7, FObjects.Via);
  report.AddImportEvent(6, track(0, 0, 10000, 0));       // joined across the via
  report.AddImportEvent(6, track(0, 0, 0, 0));           // joined to itself: a point
  report.AddImportEvent(6, track(50000, 0, 60000, 0));   // a chain of its own
  report.AddImportEvent(0, track(40000, 0, 50000, 0));   // joined, added to a component
  const std::string expected =
      "Import Event List :\r\n"
      "Track Added At: 2mil, 0mil To 3mil, 0mil\r\n"
      "Track Added At: 1mil, 0mil To 2mil, 0mil\r\n"
      "Via Added at 3mil, 4mil\r\n"
      "Track Added At: 0mil, 0mil To 1mil, 0mil\r\n"
      "Track Added At: 0mil, 0mil To 0mil, 0mil\r\n"
      "Track Added At: 5mil, 0mil To 6mil, 0mil\r\n"
      "Added To Component\r\n"
      "Track Added At: 4mil, 0mil To 5mil, 0mil\r\n";
  for (int written = 0; written < 2; ++written) {
    report.WriteReport();
    const std::string text = ReadWholeFile(ScratchFolder() + "board.rpt");
    ASSERT_GE(text.size(), expected.size());
    EXPECT_EQ(text.substr(text.size() - expected.size()), expected);
  }
}

// Fault: texts of the KIVO file went into the report as they were, so a 0x1A in one ended
// the report for text-mode readers and a line break split its line. Every control
// character is written as "\xNN"; the lines around stay as they were.
TEST_F(ReportManagerTest, ControlCharactersOfReportedTextsAreWrittenVisibly) {
  const std::string sensor("SENSOR\x1ANODE", 11);
  const uint32_t text = MakeObject(okText, [&](TPCBObject& o) { o.SetText(std::string("A\r\nB\tC\x7F", 7)); });
  TReportManager report(FKivoFile);
  SetLevels(report, {0, 0, 4, 0, 0, 4});
  report.AddLeftOutWarning("Text \"" + sensor + "\"", 93, "a coordinate or size lies beyond the board's range");
  report.AddLoadWarning(lwUnhandledToken, std::string("X\0Y", 3));
  report.AddImportEvent(8, text);
  report.WriteReport();
  const std::string written = ReadWholeFile(ScratchFolder() + "board.rpt");
  EXPECT_NE(written.find("Load Warnings : 2\r\n"
                         "WARNING: Text \"SENSOR\\x1ANODE\" at line 93 left out: a coordinate or "
                         "size lies beyond the board's range\r\n"
                         "WARNING: Unhandled Token found X\\x00Y\r\n"),
            std::string::npos)
      << written;
  EXPECT_NE(written.find("Import Event List :\r\nText Added: A\\x0D\\x0AB\\x09C\\x7F\r\n"), std::string::npos)
      << written;
  EXPECT_EQ(std::count_if(written.begin(), written.end(),
                          [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n'; }),
            0);
}

TEST_F(ReportManagerTest, DefaultLevels) {
  TReportManager report(FKivoFile);
  FillReport(report, FObjects);
  EXPECT_EQ(report.GetLoadErrorCount(), 0);
  EXPECT_EQ(report.GetLoadWarningCount(), 5);
  EXPECT_EQ(report.GetImportErrorCount(), 2);
  EXPECT_EQ(report.GetImportWarningCount(), 2);
  EXPECT_EQ(report.GetReportPath(), "");

  EXPECT_EQ(CheckHeader(Write({2, 2, 2, 2, 0, 0})),
            "\r\n"
            "\r\n"
            "Load Errors : 0\r\n"
            "\r\n"
            "Import Errors : 2\r\n"
            "ERROR: Unknown Error caused abort.\r\n"
            "       Possibily Unexpected End Of File.\r\n"
            "ERROR: User Canceled Abort.\r\n"
            "\r\n"
            "Load Warnings : 5\r\n"
            "WARNING: Polygon Voids are not imported\r\n"
            "    Coord 0 x: 1 y: 2\r\n"
            "    Coord 1 x: -3 y: 40\r\n"
            "WARNING: Circle Voids are not imported\r\n"
            "    x: 5 y: 6 radius 7\r\n"
            "WARNING: Number of Layer Strings does not Physical ID Map\r\n"
            "         Possible cause is an Invalid KIVO file\r\n"
            "\r\n"
            "Import Warnings : 2\r\n"
            "WARNING: Mismatch on number of nets and number of pin on component U1\r\n"
            "WARNING: No Component Primitives Translated for component U1. Component Removed\r\n"
            "\r\n"
            "\r\n");
  EXPECT_EQ(FPath, ScratchFolder() + "board.rpt");
}

TEST_F(ReportManagerTest, EventListsHaveTheirHeadingsAndNoEmptyLineAtTheEnd) {
  EXPECT_EQ(CheckHeader(Write({0, 0, 0, 0, 1, 2})),
            "\r\n\r\n"
            "Load Errors : 0\r\n\r\n"
            "Import Errors : 2\r\n\r\n"
            "Load Warnings : 5\r\n\r\n"
            "Import Warnings : 2\r\n\r\n"
            "Load Event List :\r\n"
            "\r\n"
            "Load Events: Header Infomation.\r\n"
            "\r\n"
            "\r\n"
            "Import Event List :\r\n"
            "Text Added: REF \"1\"\r\n"
            "Component Added: U1\r\n"
            "Text Added: REF \"1\"\r\n");
}

TEST_F(ReportManagerTest, EveryListAtEveryLevel) {
  for (uint8_t level = 1; level <= 4; ++level) {
    const TLevels all = {level, level, level, level, level, level};
    EXPECT_EQ(CheckHeader(Write(all)), ExpectedBody(all)) << "all lists at " << int(level);
    for (int list = lLoadErrors; list <= lImportEvents; ++list) {
      TLevels one = {};
      one[list] = level;
      EXPECT_EQ(CheckHeader(Write(one)), ExpectedBody(one))
          << "list " << list << " at " << int(level);
    }
  }
}

TEST_F(ReportManagerTest, AllLevelsZeroWriteNothing) {
  EXPECT_EQ(Write({0, 0, 0, 0, 0, 0}), "<missing>");
  EXPECT_EQ(FPath, "");
}

TEST_F(ReportManagerTest, AnOldReportIsOverwritten) {
  const std::string fresh = Write({4, 4, 4, 4, 4, 4});
  WriteScratchFile("board.rpt", std::string(100000, 'o'));
  TReportManager report(FKivoFile);
  report.WriteReport();
  const std::string text = ReadWholeFile(ScratchFolder() + "board.rpt");
  EXPECT_LT(text.size(), fresh.size());
  EXPECT_EQ(text.find('o' + std::string(20, 'o')), std::string::npos);
  const std::string end = "Import Warnings : 0\r\n\r\n\r\n";
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
}

// The report is "<name>.rpt" in the KIVO file's folder, whatever the file's extension.
TEST_F(ReportManagerTest, ReportNames) {
  for (auto [kivo, rpt] : {std::pair{"plain", "plain.rpt"},
                          std::pair{"my.board.pdf", "my.board.rpt"}, std::pair{"x.PDF", "x.rpt"}}) {
    TReportManager report(WriteScratchFile(kivo, "{COMPONENT}"));
    report.WriteReport();
    EXPECT_EQ(report.GetReportPath(), ScratchFolder() + rpt);
    EXPECT_TRUE(FileExists(ScratchFolder() + rpt)) << rpt;
  }
}

// A file in the host's virtual file system gets its report there, through the host.
TEST_F(ReportManagerTest, TheReportGoesThroughTheHostsFileSystem) {
  WriteScratchFile("virtual\\vboard.pdf", "{COMPONENT}");
  standin::ClearCallLog();
  TReportManager report("VFS:\\vboard.pdf");
  report.WriteReport();
  EXPECT_EQ(report.GetReportPath(), "VFS:\\vboard.rpt");
  EXPECT_EQ(standin::CallsStartingWith("VFSAPI_"),
            (std::vector<std::string>{
                R"(VFSAPI_VFS_FileExists("VFS:\vboard.pdf") -> True)",
                R"(VFSAPI_VFS_ExtractFilePath("VFS:\vboard.pdf") -> "VFS:\")",
                R"(VFSAPI_VFS_ExtractFileName("VFS:\vboard.pdf") -> "vboard.pdf")",
                R"(VFSAPI_VFSAssignFile("VFS:\vboard.rpt") -> ")" + VirtualFolder() +
                    "vboard.rpt\""}));
  EXPECT_NE(ReadWholeFile(VirtualFolder() + "vboard.rpt").find("PCB File : vboard.pdf"),
            std::string::npos);
}

// Fault: without the host's file system the report's path had no folder (the whole
// KIVO name served as its prefix) and the report was not assigned; it now lands
// beside the KIVO file.
TEST_F(ReportManagerTest, WithoutTheHostsFileSystemTheReportStillLandsBesideTheFile) {
  ClearVfsApi();
  DeleteFile(ScratchFolder() + "board.rpt");
  TReportManager report(FKivoFile);
  report.WriteReport();
  LoadVfsApi();
  EXPECT_EQ(report.GetReportPath(), ScratchFolder() + "board.rpt");
  EXPECT_NE(ReadWholeFile(ScratchFolder() + "board.rpt"), "<missing>");
}

// Fault: a KIVO file named "board.rpt" (the file dialog's "All Files" offers it) was
// overwritten by its own report: the board was lost. The report goes to
// "board-report.rpt" and says so; the KIVO file stays as it was, also when the host's
// file system maps its name.
TEST_F(ReportManagerTest, AKivoFileNamedLikeItsReportIsNeverOverwritten) {
  const std::string board = "{COMPONENT \"kept\"}";
  const std::string kivo = WriteScratchFile("Board.RPT", board);
  TReportManager report(kivo);
  report.WriteReport();
  EXPECT_EQ(ReadWholeFile(kivo), board);
  EXPECT_EQ(report.GetReportPath(), ScratchFolder() + "Board-report.rpt");
  const std::string text = ReadWholeFile(ScratchFolder() + "Board-report.rpt");
  EXPECT_NE(text.find("PCB File : Board.RPT\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nNote     : the KIVO file is itself named Board.RPT, so this report "
                      "is Board-report.rpt\r\n\r\n\r\nLoad Errors : 0"),
            std::string::npos)
      << text;

  WriteScratchFile("virtual\\vboard.rpt", board);
  TReportManager virtualReport("VFS:\\vboard.rpt");
  virtualReport.WriteReport();
  EXPECT_EQ(ReadWholeFile(VirtualFolder() + "vboard.rpt"), board);
  EXPECT_EQ(virtualReport.GetReportPath(), "VFS:\\vboard-report.rpt");
}

// Fault: a report name that is a hard or symbolic link to the KIVO file (board.rpt to
// board.pdf) was written through, destroying the board: the guard compared names only.
// The files are compared; when both names are links to it, nothing is written.
TEST_F(ReportManagerTest, AReportNameThatLinksToTheKivoFileIsNeverWrittenThrough) {
  const std::string board = "{COMPONENT \"linked\"}";
  ForceDirectories(ScratchFolder() + "links");
  const std::string hard = WriteScratchFile("links\\hard.pdf", board);
  ASSERT_TRUE(CreateHardLinkA((ScratchFolder() + "links\\hard.rpt").c_str(), hard.c_str(), nullptr));
  const std::string soft = WriteScratchFile("links\\soft.pdf", board);
  ASSERT_TRUE(MakeSymbolicLink(soft, ScratchFolder() + "links\\soft.rpt"));
  for (const std::string& kivo : {hard, soft}) {
    TReportManager report(kivo);
    report.WriteReport();
    EXPECT_EQ(ReadWholeFile(kivo), board) << kivo;
    EXPECT_EQ(report.GetReportPath(), ChangeFileExt(kivo, "") + "-report.rpt");
    EXPECT_NE(ReadWholeFile(report.GetReportPath())
                  .find("\r\nNote     : " + ExtractFileName(ChangeFileExt(kivo, ".rpt")) +
                        " is the KIVO file " + ExtractFileName(kivo) + " under another name"),
              std::string::npos);
  }

  DeleteFile(ScratchFolder() + "links\\hard-report.rpt");
  ASSERT_TRUE(CreateHardLinkA((ScratchFolder() + "links\\hard-report.rpt").c_str(), hard.c_str(),
                              nullptr));
  TReportManager both(hard);
  try {
    both.WriteReport();
    ADD_FAILURE() << "written although both names are the KIVO file";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.GetErrorCode(), ReportIsKivoFileCode);
  }
  EXPECT_EQ(ReadWholeFile(hard), board);
  EXPECT_EQ(both.GetReportPath(), "");
}

// A kind of load warning is what it says after its line and the first word before it:
// the twelve vias left out are told ten times and counted, the component beside them is
// told, numbers and quoted texts make no kinds of their own, a block of the format's own
// is told once with its count, and a polygon void lists its first points.
TEST_F(ReportManagerTest, LoadWarningsAreToldByKindAndTheRestCounted) {
  TReportManager report(FKivoFile);
  for (int line = 1; line <= 12; ++line)
    report.AddLeftOutWarning("Via of net N" + std::to_string(line), line, "a size could not be read");
  report.AddLeftOutWarning("Component U1", 13, "a size could not be read");
  for (int line = 14; line <= 26; ++line)
    report.AddLineWarning("DBGRID -" + std::to_string(line), line,
                          " is negative: a grid of " + std::to_string(line) + " was used");
  report.AddNotReadWarning("PNL", true, "The block PNL", 30, " is not one of the P block's items");
  report.AddNotReadWarning("PNL", true, "The block PNL", 40, " is not one of the P block's items");
  report.AddNotReadWarning("PNL", true, "The block PNL", 45, " lies inside the PT block");
  std::vector<TReportPoint> points;
  for (int32_t i = 0; i < 150; ++i)
    points.push_back({i, -i});
  report.AddLoadWarning(lwPolygonVoid, points, 50);
  report.SetLoadWarningLevel(3);
  EXPECT_EQ(report.GetLoadWarningCount(), 30);
  report.WriteReport();
  const std::string written = ReadWholeFile(ScratchFolder() + "board.rpt");
  const size_t from = written.find("Load Warnings : 30\r\n");
  ASSERT_NE(from, std::string::npos) << written;
  std::string body = written.substr(from, written.find("\r\n\r\n", from) - from);
  const size_t voidAt = body.find("WARNING: Polygon Voids");
  EXPECT_EQ(body.substr(0, voidAt),
            "Load Warnings : 30\r\n"
            "WARNING: Via of net N1 at line 1 left out: a size could not be read\r\n"
            "WARNING: Via of net N2 at line 2 left out: a size could not be read\r\n"
            "WARNING: Via of net N3 at line 3 left out: a size could not be read\r\n"
            "WARNING: Via of net N4 at line 4 left out: a size could not be read\r\n"
            "WARNING: Via of net N5 at line 5 left out: a size could not be read\r\n"
            "WARNING: Via of net N6 at line 6 left out: a size could not be read\r\n"
            "WARNING: Via of net N7 at line 7 left out: a size could not be read\r\n"
            "WARNING: Via of net N8 at line 8 left out: a size could not be read\r\n"
            "WARNING: Via of net N9 at line 9 left out: a size could not be read\r\n"
            "WARNING: Via of net N10 at line 10 left out: a size could not be read; 2 more of this "
            "kind are counted, not told one by one (lines 11 to 12)\r\n"
            "WARNING: Component U1 at line 13 left out: a size could not be read\r\n" +
                [] {
                  std::string grids;
                  for (int line = 14; line <= 23; ++line)
                    grids += "WARNING: DBGRID -" + std::to_string(line) + " at line " +
                             std::to_string(line) + " is negative: a grid of " +
                             std::to_string(line) + " was used" +
                             (line == 23 ? "; 3 more of this kind are counted, not told one by "
                                           "one (lines 24 to 26)"
                                         : "") +
                             "\r\n";
                  return grids;
                }() +
                "WARNING: Unhandled Token found PNL\r\n"
                "WARNING: The block PNL at line 30 is not one of the P block's items; 1 more of "
                "this kind is counted, not told one by one (line 40)\r\n"
                "WARNING: Unhandled Token found PNL\r\n"
                "WARNING: The block PNL at line 45 lies inside the PT block\r\n");
  ASSERT_NE(voidAt, std::string::npos);
  body = body.substr(voidAt);
  EXPECT_EQ(std::count(body.begin(), body.end(), '\n'), 101) << body;
  EXPECT_NE(body.find("    Coord 99 x: 99 y: -99\r\n    and 50 more points"), std::string::npos)
      << body;
}

TEST_F(ReportManagerTest, AFolderThatCannotBeWrittenRaises) {
  TReportManager report(ScratchFolder() + "no such folder\\board.pdf");
  EXPECT_THROW(report.WriteReport(), EInOutError);
  EXPECT_EQ(report.GetReportPath(), "");
}

}  // namespace
