#include "classlib/IniFiles.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/FileUtils.h"
#include "classlib/StringList.h"
#include "classlib/Win.h"
#include "standin/host/DiskFull.h"
#include "tests/classlib/TempFiles.h"

namespace {

using TNames = std::vector<std::string>;

// Each case gets a fresh folder of its own under the temporary folder.
class IniFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    FFolder = std::string(temp) + "kivo-ini-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++counter);
    CreateDirectoryA(FFolder.c_str(), nullptr);
    FFile = FFolder + "\\Settings.ini";
  }
  void TearDown() override {
    DeleteFileA(FFile.c_str());
    RemoveDirectoryA(FFolder.c_str());
  }
  // The file as plain bytes, read without the INI classes.
  std::string OnDisk() const {
    std::ifstream in(FFile, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void PutOnDisk(const std::string& text) const {
    std::ofstream(FFile, std::ios::binary) << text;
  }
  std::string FFolder;
  std::string FFile;
};

TEST_F(IniFilesTest, WritesReachTheDiskAtOnceAndReadBackInFileOrder) {
  {
    TIniFile ini(FFile);
    ini.WriteString("Layer", "PADCOM", "Top Layer");
    // On disk right after the call, before the object goes.
    EXPECT_EQ(OnDisk(), "[Layer]\r\nPADCOM=Top Layer\r\n");
    ini.WriteString("Layer", "FLCOMP", "Top Layer");
    ini.WriteString("Report", "ReportDetailLevel", "Full");
    ini.WriteString("Layer", "PADSLD", "Bottom Layer");
    ini.WriteString("layer", "padcom", "Multi Layer");  // same key, other case: replaced in place
  }
  EXPECT_EQ(OnDisk(),
            "[Layer]\r\nPADCOM=Multi Layer\r\nFLCOMP=Top Layer\r\nPADSLD=Bottom Layer\r\n"
            "[Report]\r\nReportDetailLevel=Full\r\n");
  TIniFile again(FFile);
  TStringList keys;
  keys.Add("stale");  // replaced, not appended to
  again.ReadSection("LAYER", keys);
  EXPECT_EQ(keys.GetText(), "PADCOM\r\nFLCOMP\r\nPADSLD\r\n");
  EXPECT_EQ(again.ReadSectionNames(), (TNames{"Layer", "Report"}));
  EXPECT_EQ(again.ReadString("Layer", "Padsld", "Not Imported"), "Bottom Layer");
  EXPECT_EQ(again.ReadString("Layer", "FLSOLD", "Not Imported"), "Not Imported");
  EXPECT_EQ(again.ReadString("Missing", "PADCOM", "x"), "x");
  TStringList lines;
  again.ReadSectionValues("Report", lines);
  EXPECT_EQ(lines.GetText(), "ReportDetailLevel=Full\r\n");
  again.ReadSections(lines);
  EXPECT_EQ(lines.GetText(), "Layer\r\nReport\r\n");
  EXPECT_TRUE(again.SectionExists("report"));
  EXPECT_TRUE(again.ValueExists("Layer", "flcomp"));
  EXPECT_FALSE(again.ValueExists("Layer", "FLSOLD"));
}

TEST_F(IniFilesTest, HandWrittenFilesKeepTheirLinesAndComments) {
  PutOnDisk("; user settings\n[Layer]\n  PADCOM = Bottom Layer  \n; keep me\nFLCOMP=Top\n\n[Other]\nA=1");
  TIniFile ini(FFile);
  EXPECT_EQ(ini.ReadString("Layer", "PADCOM", ""), "Bottom Layer");
  EXPECT_EQ(ini.ReadSectionKeys("Layer"), (TNames{"PADCOM", "FLCOMP"}));
  ini.WriteString("Layer", "DRILL", "Drill Guide");  // after the last key, before the blank line
  EXPECT_EQ(OnDisk(),
            "; user settings\r\n[Layer]\r\n  PADCOM = Bottom Layer  \r\n; keep me\r\nFLCOMP=Top\r\n"
            "DRILL=Drill Guide\r\n\r\n[Other]\r\nA=1\r\n");

  // A TMemIniFile gives every line, blank ones and comments too, changed as it would write them.
  TMemIniFile memory(FFile);
  memory.WriteString("Other", "A", "2");
  TStringList lines;
  memory.GetStrings(lines);
  EXPECT_EQ(lines.GetText(), "; user settings\r\n[Layer]\r\n  PADCOM = Bottom Layer  \r\n; keep me\r\nFLCOMP=Top\r\n"
                             "DRILL=Drill Guide\r\n\r\n[Other]\r\nA=2\r\n");
}

TEST_F(IniFilesTest, ValuesWithEqualsSignsBlanksAndQuotesSurvive) {
  const TNames values = {"a=b=c", "  padded  ", "\"quoted\"", "", "x|y||z", "tab\tinside"};
  {
    TIniFile ini(FFile);
    for (size_t i = 0; i < values.size(); ++i)
      ini.WriteString("Values", "V" + std::to_string(i), values[i]);
  }
  TIniFile ini(FFile);
  for (size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(ini.ReadString("Values", "V" + std::to_string(i), "default"), values[i]) << i;
}

// Regression: a value holding a line break wrote a line of its own, which could
// add keys or sections to the file ("x\r\n[Injected]"). It is refused, and nothing written.
TEST_F(IniFilesTest, LineBreaksInValuesCannotBreakTheFile) {
  TIniFile ini(FFile);
  EXPECT_THROW(ini.WriteString("S", "Description", "x\r\n[Injected]\r\nKey=1"), EIniFileException);
  EXPECT_EQ(ini.ReadSectionNames(), TNames{});
  EXPECT_FALSE(FileExists(FFile));
}

// Fault: a configuration grew by a line "=" at every save; cause: a key without a name
// was added again at every write, as no read finds such a line. Such keys are refused
// now; the lines of a file that holds them already are kept and are no keys.
TEST_F(IniFilesTest, WritingTheSameKeysAgainLeavesTheFileAsItWas) {
  auto save = [&] {
    TMemIniFile ini(FFile);
    ini.WriteString("PadStack", "Top Layer", "PADCOM");
    for (const char* nameless : {"", " ", "two\r\nlines"})
      EXPECT_THROW(ini.WriteString("PadStack", nameless, ""), EIniFileException);
    ini.UpdateFile();
  };
  save();
  const std::string once = OnDisk();
  EXPECT_EQ(once, "[PadStack]\r\nTop Layer=PADCOM\r\n");
  save();
  EXPECT_EQ(OnDisk(), once);
  PutOnDisk("[PadStack]\r\nTop Layer=PADCOM\r\n=\r\n=\r\n=x\r\n");
  TIniFile(FFile).WriteString("PadStack", "Top Layer", "PADSLD");
  EXPECT_EQ(OnDisk(), "[PadStack]\r\nTop Layer=PADSLD\r\n=\r\n=\r\n=x\r\n");
  TMemIniFile ini(FFile);
  EXPECT_EQ(ini.ReadSectionKeys("PadStack"), (TNames{"Top Layer"}));
  EXPECT_EQ(ini.ReadString("PadStack", "", "none"), "none");
}

// Fault: a configuration saved and loaded again lost or changed layer mappings untold;
// cause: the writer wrote keys that read back as something else ("A=B" split at its "=",
// "[INNER" a section that took every key after it, ";C" a comment, " X" trimmed).
TEST_F(IniFilesTest, WhatWouldNotReadBackIsRefusedAndChangesNothing) {
  const std::string written = "[Layer]\r\nbefore=1\r\n";
  struct {
    const char* Section;
    std::string Key;
    const char* Value;
    std::string Message;
  } const refused[] = {
      {"Layer", "A=B", "v", "the key \"A=B\" to " + FFile + " because it holds \"=\", which reading takes for the end of the key"},
      {"Layer", "[INNER", "v", "the key \"[INNER\" to " + FFile + " because it begins with \"[\", which reading takes for the start of a section"},
      {"Layer", ";C", "v", "the key \";C\""},
      {"Layer", " LEAD", "v", "the key \" LEAD\""},
      {"Layer", "TRAIL\x01", "v", "the key \"TRAIL\x01\""},
      {"Layer", "", "v", "the key \"\""},
      {"Layer", "two\nlines", "v", "the key \"two\nlines\""},
      {"Layer", "K", "a\rb", "the value of the key \"K\""},
      {"a]b", "K", "v", "the section \"a]b\""},
      {" Layer", "K", "v", "the section \" Layer\""},
  };
  PutOnDisk(written);
  TIniFile file(FFile);
  TMemIniFile memory(FFile);
  for (const auto& c : refused) {
    for (TCustomIniFile* ini : {static_cast<TCustomIniFile*>(&file), static_cast<TCustomIniFile*>(&memory)}) {
      try {
        ini->WriteString(c.Section, c.Key, c.Value);
        ADD_FAILURE() << c.Key << " was written";
      } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Unable to write " + c.Message, 0), 0u) << e.what();
        EXPECT_EQ(e.GetErrorCode(), static_cast<uint32_t>(ERROR_INVALID_DATA));
      }
    }
  }
  memory.UpdateFile();
  EXPECT_EQ(OnDisk(), written);
  // What may be written reads back as written, here and through the system's profile functions.
  const TNames kept = {"#H", "a;b", "x[y]", "in\tside", "\"Q\"", "a]b", "\xE9t\xE9"};
  for (const std::string& key : kept)
    file.WriteString("Layer", key, " " + key + " ");
  EXPECT_EQ(TMemIniFile(FFile).ReadSectionKeys("Layer"), (TNames{"before", "#H", "a;b", "x[y]", "in\tside", "\"Q\"", "a]b", "\xE9t\xE9"}));
  for (const std::string& key : kept) {
    char value[64] = {};
    GetPrivateProfileStringA("Layer", key.c_str(), "", value, sizeof value, FFile.c_str());
    EXPECT_EQ(value, " " + key + " ");
  }
}

TEST_F(IniFilesTest, EraseSectionAndDeleteKey) {
  TIniFile ini(FFile);
  ini.WriteString("Recent", "NewFileFormat", "True");
  ini.WriteString("Recent", "RecentExpression2", "a");
  ini.WriteString("Keep", "K", "v");
  ini.DeleteKey("RECENT", "newfileformat");
  EXPECT_EQ(ini.ReadSectionKeys("Recent"), (TNames{"RecentExpression2"}));
  ini.EraseSection("recent");
  EXPECT_FALSE(ini.SectionExists("Recent"));
  EXPECT_EQ(OnDisk(), "[Keep]\r\nK=v\r\n");
  // Erasing in a file that does not exist creates nothing.
  TIniFile absent(FFolder + "\\absent.ini");
  absent.EraseSection("Recent");
  EXPECT_EQ(GetFileAttributesA((FFolder + "\\absent.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(IniFilesTest, IntegersAndBooleans) {
  TIniFile ini(FFile);
  ini.WriteInteger("Grid", "HeaderPanelRowCount", -1);
  ini.WriteBool("Grid", "ShowGrid", true);
  ini.WriteBool("Grid", "ShowPreviewGrid", false);
  ini.WriteString("Grid", "Bad", "12abc");
  ini.WriteString("Grid", "Huge", "99999999999");
  EXPECT_EQ(OnDisk(),
            "[Grid]\r\nHeaderPanelRowCount=-1\r\nShowGrid=1\r\nShowPreviewGrid=0\r\nBad=12abc\r\n"
            "Huge=99999999999\r\n");
  EXPECT_EQ(ini.ReadInteger("Grid", "HeaderPanelRowCount", 5), -1);
  EXPECT_EQ(ini.ReadInteger("Grid", "Bad", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Grid", "Huge", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Grid", "Missing", 7), 7);
  EXPECT_TRUE(ini.ReadBool("Grid", "ShowGrid", false));
  EXPECT_FALSE(ini.ReadBool("Grid", "ShowPreviewGrid", true));
  EXPECT_TRUE(ini.ReadBool("Grid", "Missing", true));
  EXPECT_EQ(IniValueToInt(" +42 ", 0), 42);
  EXPECT_EQ(IniValueToInt("0x10", 0), 0);
  EXPECT_EQ(IniValueToInt("+-3", 0), 0);
}

TEST_F(IniFilesTest, TwoObjectsOnOneFileSeeEachOthersWrites) {
  TIniFile first(FFile);
  TIniFile second(FFile);
  first.WriteString("S", "A", "1");
  EXPECT_EQ(second.ReadString("S", "A", ""), "1");
  second.WriteString("S", "B", "2");
  EXPECT_EQ(first.ReadSectionKeys("S"), (TNames{"A", "B"}));
}

// Fault: every ReadString loaded and parsed the whole file, and looked its section and
// key up line by line, so reading a file of n keys took time in n squared (5,000 keys
// added seconds to an import). The file is read once, and found through indexes.
TEST_F(IniFilesTest, TheFileIsReadOnceAndManyKeysAreFoundByIndex) {
  std::string text = "[Layer]\r\n";
  for (int i = 0; i < 20000; ++i)
    text += "K" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
  text += "k7=second of its key\r\n[layer]\r\nK1=in a second section of that name\r\n";
  PutOnDisk(text);
  TIniFile ini(FFile);
  const TNames keys = ini.ReadSectionKeys("LAYER");
  ASSERT_EQ(keys.size(), 20000u);  // "k7" again, and the second section, add nothing
  for (int i = 0; i < 20000; ++i)
    ASSERT_EQ(ini.ReadString("layer", "k" + std::to_string(i), ""), "v" + std::to_string(i)) << i;
  EXPECT_EQ(ini.ReadSectionPairs("Layer")[7], "K7=v7");
  // Read once: the file gone, the object still answers from what it read.
  ASSERT_TRUE(DeleteFileA(FFile.c_str()));
  EXPECT_EQ(ini.ReadString("Layer", "K19999", ""), "v19999");
}

TEST_F(IniFilesTest, TheIndexFollowsDeletionsAndErasures) {
  PutOnDisk("[S]\r\nA=1\r\nB=2\r\na=3\r\n[T]\r\nX=1\r\n[s]\r\nC=4\r\n");
  TMemIniFile ini(FFile);
  ini.DeleteKey("S", "A");  // the first "A" goes; the later "a" is found now
  EXPECT_EQ(ini.ReadString("S", "A", ""), "3");
  EXPECT_EQ(ini.ReadSectionKeys("S"), (TNames{"B", "a"}));
  ini.WriteString("S", "D", "5");
  EXPECT_EQ(ini.ReadSectionKeys("S"), (TNames{"B", "a", "D"}));
  ini.EraseSection("S");  // both sections of the name
  EXPECT_EQ(ini.ReadSectionNames(), (TNames{"T"}));
  EXPECT_EQ(ini.ReadString("T", "X", ""), "1");
  ini.WriteString("S", "E", "6");
  EXPECT_EQ(ini.ReadSectionNames(), (TNames{"T", "S"}));
  EXPECT_EQ(ini.ReadString("s", "e", ""), "6");
}

TEST_F(IniFilesTest, ErrorsCarryTheSystemsCode) {
  const std::string folderNamedIni = FFolder + "\\folder.ini";
  CreateDirectoryA(folderNamedIni.c_str(), nullptr);
  TIniFile ini(folderNamedIni);
  try {
    ini.ReadString("S", "K", "");
    FAIL() << "a folder read as an INI file";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to read " + folderNamedIni);
    EXPECT_EQ(e.GetErrorCode(), static_cast<uint32_t>(ERROR_ACCESS_DENIED));
  }
  RemoveDirectoryA(folderNamedIni.c_str());
}

TEST_F(IniFilesTest, WriteIntoAMissingFolderRaises) {
  TIniFile ini(FFolder + "\\no-such-folder\\x.ini");
  try {
    ini.WriteString("S", "K", "v");
    FAIL();
  } catch (const EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + FFolder + "\\no-such-folder\\x.ini");
    EXPECT_EQ(e.GetErrorCode(), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
  }
  EXPECT_EQ(ini.ReadString("S", "K", "none"), "none");
}

TEST_F(IniFilesTest, MemIniFileWritesOnlyOnUpdateFile) {
  PutOnDisk("[Grid1_Form1]\r\nShowGrid=0\r\n");
  {
    TMemIniFile ini(FFile);
    EXPECT_FALSE(ini.ReadBool("Grid1_Form1", "ShowGrid", true));
    ini.WriteBool("Grid1_Form1", "ShowGrid", true);
    ini.WriteInteger("\\Grid1_Form1\\Band\\Band0", "ID", 0);
    EXPECT_EQ(OnDisk(), "[Grid1_Form1]\r\nShowGrid=0\r\n");  // not yet
    ini.UpdateFile();
    ini.EraseSection("Grid1_Form1");  // after the update: lost with the object
  }
  TMemIniFile again(FFile);
  EXPECT_EQ(again.ReadSectionNames(), (TNames{"Grid1_Form1", "\\Grid1_Form1\\Band\\Band0"}));
  EXPECT_TRUE(again.ReadBool("Grid1_Form1", "ShowGrid", false));
  EXPECT_EQ(again.ReadInteger("\\GRID1_FORM1\\Band\\Band0", "id", -1), 0);
}

TEST_F(IniFilesTest, TheKindsShareOneBase) {
  std::unique_ptr<TCustomIniFile> stores[] = {std::make_unique<TIniFile>(FFile),
                                              std::make_unique<TMemIniFile>(FFile)};
  for (auto& store : stores) {
    store->WriteString("S", "K", "v");
    EXPECT_EQ(store->ReadString("S", "k", ""), "v");
    EXPECT_EQ(store->GetFileName(), FFile);
  }
  EXPECT_TRUE(stores[0]->Is<TIniFile>());
  EXPECT_FALSE(stores[1]->Is<TIniFile>());
}

// Fault: a settings file written on a full disk was left cut short (or empty), losing
// the settings it held, and a write the system took only in part was told as "write
// fault": the file was rewritten in place. It is written beside and replaces the old
// one only when whole; a write the disk cannot hold is told as a full disk.
TEST_F(IniFilesTest, AWriteTheDiskCannotHoldLeavesTheEarlierFileWhole) {
  const std::string earlier = "[Layer]\r\nPADCOM=Bottom Layer\r\n";
  for (const uint64_t free : {0ull, 10ull}) {
    SCOPED_TRACE(free);
    PutOnDisk(earlier);
    {
      const standin::TDiskFull disk(GetModuleHandleA(nullptr), FFolder, free);
      ASSERT_TRUE(disk.Installed());
      TMemIniFile mem(FFile);
      mem.WriteString("Layer", "PADSLD", "Top Layer");
      try {
        mem.UpdateFile();
        FAIL() << "a full disk took the file";
      } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + FFile);
        EXPECT_EQ(e.GetErrorCode(), static_cast<uint32_t>(ERROR_DISK_FULL));
      }
      TIniFile ini(FFile);
      EXPECT_THROW(ini.WriteString("Layer", "PADSLD", "Top Layer"), EIniFileException);
      EXPECT_EQ(ini.ReadString("Layer", "PADSLD", "none"), "none");
    }
    EXPECT_EQ(OnDisk(), earlier);
    EXPECT_EQ(FileNamesIn(FFolder), TNames{"Settings.ini"}) << "nothing of the failed writes is left";
  }
  TIniFile(FFile).WriteString("Layer", "PADSLD", "Top Layer");
  EXPECT_EQ(OnDisk(), earlier + "PADSLD=Top Layer\r\n");
  EXPECT_EQ(FileNamesIn(FFolder), TNames{"Settings.ini"});
}

}  // namespace
