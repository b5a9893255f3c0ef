#include "host/RecentExpressionList.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Boundary.h"
#include "classlib/FileUtils.h"
#include "classlib/Lists.h"
#include "classlib/Registry.h"
#include "classlib/Streams.h"
#include "classlib/Win.h"
#include "host/Utilities.h"
#include "standin/host/DiskFull.h"
#include "tests/support/TestSupport.h"

namespace {

using TNames = std::vector<std::string>;

// A module name of the tests' own, so that its registry section clashes with nothing.
const char* const kModule = "RecentTestModule";
const char* const kSection = "Recent RecentTestModule Filter Expressions";

// Each case gets a user folder and a host folder of its own under the temporary folder,
// and starts and ends without the module's registry section.
class RecentExpressionListTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    FFolder = std::string(temp) + "kivo-recent-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++counter);
    FUserFolder = FFolder + "\\User";
    FHostFolder = FFolder + "\\Host\\";
    ForceDirectories(FUserFolder);
    ForceDirectories(FHostFolder + "System");
    DeleteRegistrySection();
  }
  void TearDown() override {
    DeleteRegistrySection();
    DeleteFile(UserFile());
    DeleteFile(ExampleFile());
    for (const std::string& folder : {FUserFolder, FHostFolder + "System", FHostFolder, FFolder})
      RemoveDirectoryA(folder.c_str());
  }
  static void DeleteRegistrySection() {
    TRegistry registry;
    registry.DeleteKey(std::string("\\") + TRecentExpressionList::RegistryKey + "\\" + kSection);
  }

  std::string UserFile() const { return FUserFolder + "\\RecentTestModuleRecentFilters.Txt"; }
  std::string ExampleFile() const { return FHostFolder + "System\\ExampleRecentTestModuleFilters.Txt"; }
  static void Put(const std::string& fileName, const std::string& bytes) {
    std::ofstream(fileName, std::ios::binary) << bytes;
  }
  static std::string OnDisk(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // An INI-form section with `count` and the given expressions under numbers first, first + 1...
  static std::string IniForm(const std::string& count, const TNames& expressions, int first = 2) {
    std::string text = std::string("[") + kSection + "]\r\nNewFileFormat=True\r\nRecentExpressionCount=" +
                       count + "\r\n";
    for (size_t i = 0; i < expressions.size(); ++i)
      text += "RecentExpression" + std::to_string(first + i) + "=" + expressions[i] + "\r\n";
    return text;
  }
  static TNames Numbered(const std::string& stem, int count) {
    TNames names;
    for (int i = 1; i <= count; ++i)
      names.push_back(stem + std::to_string(i));
    return names;
  }
  std::unique_ptr<TRecentExpressionList> MakeList() const {
    return std::make_unique<TRecentExpressionList>(kModule, FUserFolder, FHostFolder);
  }
  // The items after "(All)" as "expression/description".
  static TNames Items(const TRecentExpressionList& list) {
    TNames items;
    for (int i = 1; i < list.GetCount(); ++i) {
      const TRecentExpression* entry = list.ExpressionAt(i);
      EXPECT_EQ(list.Get(i), entry->GetExpression());
      EXPECT_FALSE(entry->GetIsAll());
      items.push_back(entry->GetExpression() + "/" + entry->GetDescription());
    }
    return items;
  }
  static TNames Sorted(TNames names) {
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string FFolder;
  std::string FUserFolder;
  std::string FHostFolder;
};

struct TListener {
  int Calls = 0;
  TObject* Sender = nullptr;
  void Changed(TObject* sender) {
    ++Calls;
    Sender = sender;
  }
};

// What the boundary handler hears while this lives.
struct TReported {
  TBoundaryHandler Previous = SetBoundaryHandler([](const char*, const std::exception* e) {
    Texts().push_back(e ? e->what() : "?");
  });
  TReported() { Texts().clear(); }
  ~TReported() { SetBoundaryHandler(Previous); }
  static TNames& Texts() {
    static TNames texts;
    return texts;
  }
};

// A second handle on a file, as another instance of the module holds it while it saves
// (GENERIC_WRITE, no sharing) or reads (GENERIC_READ, sharing reads and writes); closed
// from a thread of its own after `releaseAfterMs`, or when the holder goes.
struct THeldFile {
  HANDLE Handle;
  std::thread Closer;
  THeldFile(const std::string& fileName, bool saving, DWORD releaseAfterMs = INFINITE)
      : Handle(CreateFileA(fileName.c_str(), saving ? GENERIC_WRITE : GENERIC_READ,
                           saving ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)) {
    if (releaseAfterMs != INFINITE)
      Closer = std::thread([this, releaseAfterMs] {
        Sleep(releaseAfterMs);
        CloseHandle(Handle);
      });
  }
  ~THeldFile() {
    if (Closer.joinable())
      Closer.join();
    else
      CloseHandle(Handle);
  }
};

TEST(RecentExpressionEscaping, EscapesPipesThenLineBreaksAndUnescapesFromTheEnd) {
  EXPECT_EQ(EscapeExpression("a|b\r\nc"), "a||b|c");
  EXPECT_EQ(EscapeExpression("\r\n|"), "|||");
  EXPECT_EQ(UnescapeExpression("|||"), "\r\n|");
  EXPECT_EQ(UnescapeExpression("a||b|c"), "a|b\r\nc");
  // A lone CR or LF is no line break of the form and passes unchanged.
  EXPECT_EQ(EscapeExpression("a\nb\rc"), "a\nb\rc");

  // Texts where no line break follows a "|" or another line break come back unchanged.
  for (const std::string text : {"", "plain", "|", "||", "a|b", "\r\n", "x\r\ny\r\n", "a\r\n|b",
                                 "\r\n||a\r\n|||z", "Net = 'GND' | Net = 'VCC'\r\nand Layer = 1"})
    EXPECT_EQ(UnescapeExpression(EscapeExpression(text)), text) << text;
  // Every stored value survives a load and a save unchanged.
  for (const std::string stored : {"", "|", "||", "|||", "||||", "a|b||c|||d", "|x|", "||y||"})
    EXPECT_EQ(EscapeExpression(UnescapeExpression(stored)), stored) << stored;
  // The form is not one-to-one: a "|" before a line break comes back after it, and two
  // line breaks in a row come back as a "|".
  EXPECT_EQ(EscapeExpression("a|\r\nb"), "a|||b");
  EXPECT_EQ(UnescapeExpression("a|||b"), "a\r\n|b");
  EXPECT_EQ(EscapeExpression("x\r\n\r\ny"), "x||y");
  EXPECT_EQ(UnescapeExpression("x||y"), "x|y");
}

TEST_F(RecentExpressionListTest, StartsWithAllAloneAndDestroyingCreatesTheUserFile) {
  auto list = MakeList();
  EXPECT_EQ(list->GetModuleName(), kModule);
  EXPECT_EQ(list->SectionName(), kSection);
  EXPECT_EQ(list->RecentFileName(), UserFile());
  EXPECT_EQ(list->ExampleFileName(), ExampleFile());
  ASSERT_EQ(list->GetCount(), 1);
  const TRecentExpression* all = list->ExpressionAt(0);
  ASSERT_NE(all, nullptr);
  EXPECT_TRUE(all->GetIsAll());
  EXPECT_EQ(all->GetExpression(), "");
  EXPECT_EQ(all->GetDescription(), "(All)");
  EXPECT_EQ(list->Get(0), "");
  EXPECT_EQ(list->ExpressionAt(-1), nullptr);
  EXPECT_EQ(list->ExpressionAt(1), nullptr);

  list->AddRecentExpression("", "ignored");
  EXPECT_EQ(list->GetCount(), 1);

  list.reset();
  EXPECT_EQ(OnDisk(UserFile()),
            std::string("[") + kSection + "]\r\nNewFileFormat=True\r\nRecentExpressionCount=1\r\n");
}

TEST_F(RecentExpressionListTest, SavesToTheRegistryAndTheUserFileAndLoadsBack) {
  const std::string tricky = "Net = 'A|B'\r\nOR Layer = 'Top'";
  {
    auto list = MakeList();
    list->AddRecentExpression("a", "first");
    list->AddRecentExpression("b", "");
    list->AddRecentExpression(tricky, " spaced description ");
    EXPECT_EQ(list->GetCount(), 4);
  }
  const TNames expected = {"NewFileFormat=True",
                           "RecentExpressionCount=4",
                           "RecentExpression2=a",
                           "RecentDescription2=first",
                           "RecentExpression3=b",
                           "RecentDescription3=",
                           "RecentExpression4=Net = 'A||B'|OR Layer = 'Top'",
                           "RecentDescription4= spaced description "};
  TMemIniFile file(UserFile());
  EXPECT_EQ(file.ReadSectionPairs(kSection), expected);
  TRegistryIniFile registry(TRecentExpressionList::RegistryKey);
  EXPECT_EQ(Sorted(registry.ReadSectionPairs(kSection)), Sorted(expected));
  EXPECT_FALSE(registry.ValueExists(kSection, "RecentExpression1"));

  auto loaded = MakeList();
  EXPECT_EQ(Items(*loaded), (TNames{"a/first", "b/", tricky + "/ spaced description "}));
}

TEST_F(RecentExpressionListTest, SavingReplacesTheSectionAndKeepsOtherSections) {
  Put(UserFile(), IniForm("5", {"old1", "old2", "old3", "old4"}) + "[Other]\r\nKeep=1\r\n");
  {
    auto list = MakeList();
    ASSERT_EQ(list->GetCount(), 5);
    list->Delete(4);
    list->Delete(2);
  }
  TMemIniFile file(UserFile());
  EXPECT_EQ(file.ReadSectionPairs(kSection),
            (TNames{"NewFileFormat=True", "RecentExpressionCount=3", "RecentExpression2=old1",
                    "RecentDescription2=", "RecentExpression3=old3", "RecentDescription3="}));
  EXPECT_EQ(file.ReadString("Other", "Keep", ""), "1");
}

TEST_F(RecentExpressionListTest, HoldsAtMostOneHundredItemsKeepingTheFirst) {
  Put(UserFile(), IniForm("151", Numbered("e", 150)));
  auto loaded = MakeList();
  ASSERT_EQ(loaded->GetCount(), TRecentExpressionList::MaxRecentExpressions);
  EXPECT_EQ(loaded->Get(1), "e1");
  EXPECT_EQ(loaded->Get(99), "e99");

  loaded.reset();  // saves the hundred items back

  DeleteFile(UserFile());
  {
    auto list = MakeList();
    for (const std::string& e : Numbered("n", 150))
      list->AddRecentExpression(e, "");
    ASSERT_EQ(list->GetCount(), 100);
    EXPECT_EQ(list->Get(99), "n99");  // a full list drops the newest item
  }
  TMemIniFile file(UserFile());
  EXPECT_EQ(file.ReadString(kSection, "RecentExpressionCount", ""), "100");
  EXPECT_EQ(file.ReadString(kSection, "RecentExpression100", ""), "n99");
  EXPECT_FALSE(file.ValueExists(kSection, "RecentExpression101"));
}

TEST_F(RecentExpressionListTest, ReadsTheNumbersUpToTheCountSkippingEmptyOnes) {
  // Loading reads from number 1 (never written) and up to the count only; keys compare
  // without regard to case, and an empty expression is skipped.
  Put(UserFile(), std::string("[") + kSection +
                      "]\r\nnewfileformat=TRUE\r\nRecentExpressionCount=4\r\nRecentExpression1=one\r\n"
                      "recentexpression2=two\r\nRecentDescription2=second\r\nRecentExpression3=\r\n"
                      "RecentExpression4=fo||ur|x\r\nRecentExpression5=five\r\nRecentExpression04=no\r\n");
  auto list = MakeList();
  EXPECT_EQ(Items(*list), (TNames{"one/", "two/second", "fo|ur\r\nx/"}));
}

TEST_F(RecentExpressionListTest, HugeCountStopsAtTheLastExpressionOrAFullList) {
  // Fault: reading every number up to "RecentExpressionCount" made a corrupt count read for
  // ever; only the numbers present are read, and reading stops once the list is full.
  Put(UserFile(), IniForm("2147483647", {"a", "b", "c"}, 1) + "RecentExpression2000000000=far\r\n");
  EXPECT_EQ(Items(*MakeList()), (TNames{"a/", "b/", "c/", "far/"}));

  Put(UserFile(), IniForm("2147483647", Numbered("e", 150)));
  auto full = MakeList();
  EXPECT_EQ(full->GetCount(), 100);
  EXPECT_EQ(full->Get(99), "e99");
}

TEST_F(RecentExpressionListTest, OldTextFormKeepsAnExpressionThatEndsTheFile) {
  // Fault: the old form added an expression only at an empty line, so the last one was
  // lost when the file ended without that line.
  Put(UserFile(), "Net = 'GND'\r\nOR Net = 'VCC'\r\n\r\n\r\nLayer = 1\r\n\r\nIsPad");
  EXPECT_EQ(Items(*MakeList()), (TNames{"Net = 'GND'\r\nOR Net = 'VCC'/", "Layer = 1/", "IsPad/"}));

  Put(UserFile(), "first\r\n\r\nsecond\r\nline\r\n");
  EXPECT_EQ(Items(*MakeList()), (TNames{"first/", "second\r\nline/"}));

  // A section without "NewFileFormat" = "True" is read as plain lines too.
  Put(UserFile(), std::string("[") + kSection + "]\r\nNewFileFormat=False\r\n");
  EXPECT_EQ(Items(*MakeList()), (TNames{std::string("[") + kSection + "]\r\nNewFileFormat=False/"}));
}

TEST_F(RecentExpressionListTest, LoadsTheExampleFileOnlyWhenTheUserFileIsMissing) {
  Put(ExampleFile(), IniForm("3", {"example1", "example2"}));
  EXPECT_EQ(Items(*MakeList()), (TNames{"example1/", "example2/"}));

  Put(UserFile(), IniForm("2", {"mine"}));
  EXPECT_EQ(Items(*MakeList()), (TNames{"mine/"}));
}

TEST_F(RecentExpressionListTest, MissingUserFolderSkipsTheFileButSavesTheRegistry) {
  // Writing the user's file into a missing folder would raise; the folder is checked first.
  auto list = std::make_unique<TRecentExpressionList>(kModule, FFolder + "\\Missing", FHostFolder);
  list->AddRecentExpression("kept", "in the registry");
  list.reset();
  EXPECT_FALSE(DirectoryExists(FFolder + "\\Missing"));
  TRegistryIniFile registry(TRecentExpressionList::RegistryKey);
  EXPECT_EQ(registry.ReadString(kSection, "RecentExpression2", ""), "kept");
  EXPECT_EQ(registry.ReadString(kSection, "RecentDescription2", ""), "in the registry");
}

TEST_F(RecentExpressionListTest, MoveKeepsTheEntryAndNotifiesEveryListenerOnce) {
  auto list = MakeList();
  for (const char* e : {"a", "b", "c"})
    list->AddRecentExpression(e, std::string("about ") + e);
  TListener first, second;
  list->GetListeners().Add(TNotifyEvent::Bind<&TListener::Changed>(&first).Method());
  list->GetListeners().Add(TNotifyEvent::Bind<&TListener::Changed>(&second).Method());
  TRecentExpression* moved = list->ExpressionAt(3);

  list->Move(3, 1);
  EXPECT_EQ(Items(*list), (TNames{"c/about c", "a/about a", "b/about b"}));
  EXPECT_EQ(list->ExpressionAt(1), moved);
  EXPECT_EQ(first.Calls, 1);
  EXPECT_EQ(second.Calls, 1);
  EXPECT_EQ(first.Sender, list.get());

  list->Move(2, 2);
  EXPECT_EQ(first.Calls, 1);
  EXPECT_THROW(list->Move(1, 4), EListError);
  EXPECT_EQ(Items(*list), (TNames{"c/about c", "a/about a", "b/about b"}));
  EXPECT_EQ(first.Calls, 1);

  list->NotifyRecentExpressionsChanged();
  EXPECT_EQ(second.Calls, 2);
}

TEST_F(RecentExpressionListTest, TheProcessListIsSavedWhenFreed) {
  CreateRecentExpressionList(kModule, FUserFolder, FHostFolder);
  ASSERT_NE(GetRecentExpressionList(), nullptr);
  GetRecentExpressionList()->AddRecentExpression("global", "");
  FreeRecentExpressionList();
  EXPECT_EQ(GetRecentExpressionList(), nullptr);
  EXPECT_EQ(Items(*MakeList()), (TNames{"global/"}));
}

// Fault: with the user's folder not writable and no file there yet, the failed save went
// from the destructor to a plain task-modal system box, which hung the host's release
// of the module. It is told in plain words, naming the file, to the boundary handler
// (the host-styled box while the plug-in runs), and the destructor ends.
TEST_F(RecentExpressionListTest, AFolderThatCannotBeWrittenIsToldAndTheListStillGoes) {
  TUnwritable unwritable(FUserFolder);
  if (!unwritable.Real())
    GTEST_SKIP() << "the folder cannot be made unwritable here: " << unwritable.How();
  static std::vector<std::string> reported;
  reported.clear();
  const TBoundaryHandler previous = SetBoundaryHandler([](const char*, const std::exception* e) {
    reported.push_back(e ? e->what() : "?");
  });
  auto list = MakeList();
  list->AddRecentExpression("kept in the registry", "");
  list.reset();
  SetBoundaryHandler(previous);
  EXPECT_EQ(reported, (TNames{"Could not save the recent filter expressions to \"" + UserFile() +
                              "\" because access to it is denied (it or its folder may be "
                              "read-only)."}))
      << unwritable.How();
  TRegistryIniFile registry(TRecentExpressionList::RegistryKey);
  EXPECT_EQ(registry.ReadString(kSection, "RecentExpression2", ""), "kept in the registry");
}

// Fault: on a full disk the user's file of recent filter expressions was left cut short
// or empty, losing the expressions it held, and the failure was told as "write fault"
// (or an unrelated error): it was rewritten in place. It stays whole, and the boundary
// hears that the disk is full.
TEST_F(RecentExpressionListTest, AFullDiskKeepsTheEarlierFileAndSaysSo) {
  const std::string earlier = IniForm("3", {"kept one", "kept two"});
  for (const uint64_t free : {0ull, 20ull}) {
    SCOPED_TRACE(free);
    Put(UserFile(), earlier);
    static std::vector<std::string> reported;
    reported.clear();
    const TBoundaryHandler previous = SetBoundaryHandler([](const char*, const std::exception* e) {
      reported.push_back(e ? e->what() : "?");
    });
    {
      const standin::TDiskFull disk(GetModuleHandleA(nullptr), FUserFolder, free);
      ASSERT_TRUE(disk.Installed());
      auto list = MakeList();
      list->AddRecentExpression("new", "");
    }
    SetBoundaryHandler(previous);
    EXPECT_EQ(reported, (TNames{"Could not save the recent filter expressions to \"" + UserFile() +
                                "\" because the disk is full."}));
    EXPECT_EQ(OnDisk(UserFile()), earlier);
  }
}

// Fault: the file of recent filter expressions was read whole whatever its size, as the
// module was made (a huge file took the process's memory), and written over when the
// module went. Beyond the settings files' 16 MB it is passed over as a missing file is,
// and the save leaves it as it is and says why, as a failed save is told.
TEST_F(RecentExpressionListTest, AFileBeyondTheSettingsBoundIsNeitherReadNorWrittenOver) {
  const std::string listed = IniForm("2", {"kept in the file"});
  auto putSized = [&](const std::string& fileName, int64_t size) {
    TFileStream file(fileName, fmCreate);
    file.WriteBuffer(listed.data(), static_cast<int>(listed.size()));
    file.SetSize(size);
  };
  auto sizeOf = [](const std::string& fileName) { return int64_t(TFileStream(fileName, fmOpenRead).GetSize()); };
  const int64_t bound = int64_t(MaxSettingsFileBytes);
  static std::vector<std::string> reported;
  reported.clear();
  const TBoundaryHandler previous = SetBoundaryHandler([](const char*, const std::exception* e) {
    reported.push_back(e ? e->what() : "?");
  });
  putSized(UserFile(), bound + 1);
  auto list = MakeList();
  EXPECT_EQ(list->GetCount(), 1) << "the list goes on as without the file";
  list->AddRecentExpression("new", "");
  list.reset();
  EXPECT_EQ(reported, (TNames{"Could not save the recent filter expressions to \"" + UserFile() +
                              "\" because it is larger than 16 MB, far more than any settings file holds."}));
  EXPECT_EQ(sizeOf(UserFile()), bound + 1);
  EXPECT_EQ(OnDisk(UserFile()).substr(0, listed.size()), listed) << "the user's file is left as it was";
  TRegistryIniFile registry(TRecentExpressionList::RegistryKey);
  EXPECT_EQ(registry.ReadString(kSection, "RecentExpression2", ""), "new") << "the registry is saved all the same";

  // A huge example file is passed over too; the user's file is then made anew.
  DeleteFile(UserFile());
  putSized(ExampleFile(), bound + 1);
  reported.clear();
  EXPECT_EQ(MakeList()->GetCount(), 1);
  EXPECT_TRUE(reported.empty());
  EXPECT_TRUE(FileExists(UserFile()));

  // A file of the bound itself is read as ever.
  putSized(UserFile(), bound);
  EXPECT_EQ(Items(*MakeList()), (TNames{"kept in the file/"}));
  SetBoundaryHandler(previous);
  EXPECT_TRUE(reported.empty());
}

// Fault: with another instance of the module saving the user's file, the module did not
// start ("ServerFactory gave no module"): the save holds the file alone for a moment, and
// the read gave up at once with "Unable to read ...", which left the constructor. The
// read waits a little while and tries again.
TEST_F(RecentExpressionListTest, AReadThatMeetsAnotherInstancesSaveWaitsForIt) {
  Put(UserFile(), IniForm("3", {"first", "second"}));
  const THeldFile saving(UserFile(), /*saving=*/true, /*releaseAfterMs=*/150);
  ASSERT_NE(saving.Handle, INVALID_HANDLE_VALUE);
  std::unique_ptr<TRecentExpressionList> list;
  ASSERT_NO_THROW(list = MakeList());
  EXPECT_EQ(Items(*list), (TNames{"first/", "second/"}));
}

// Held for longer than the wait, the file does not keep the module from starting: the
// list goes on as without it, and the user's file, whose expressions were not read, is
// left as it is and told when the list goes, as a file beyond the bound is. The example
// file, which no save tells of, is told at once.
TEST_F(RecentExpressionListTest, AFileHeldLongerThanTheWaitIsLeftAsItIsAndTold) {
  const std::string earlier = IniForm("2", {"kept in the file"});
  Put(UserFile(), earlier);
  const TReported reported;
  std::unique_ptr<TRecentExpressionList> list;
  {
    const THeldFile saving(UserFile(), /*saving=*/true);
    ASSERT_NO_THROW(list = MakeList());
  }
  EXPECT_EQ(list->GetCount(), 1);
  list->AddRecentExpression("new", "");
  list.reset();
  EXPECT_EQ(reported.Texts(), (TNames{"Could not save the recent filter expressions to \"" + UserFile() +
                                      "\" because it could not be read when the module started: "
                                      "another program has it open."}));
  EXPECT_EQ(OnDisk(UserFile()), earlier);
  EXPECT_EQ(TRegistryIniFile(TRecentExpressionList::RegistryKey).ReadString(kSection, "RecentExpression2", ""),
            "new");

  DeleteFile(UserFile());
  Put(ExampleFile(), earlier);
  reported.Texts().clear();
  {
    const THeldFile held(ExampleFile(), /*saving=*/true);
    EXPECT_EQ(MakeList()->GetCount(), 1);
  }
  EXPECT_EQ(reported.Texts(), (TNames{"Could not read the recent filter expressions from \"" + ExampleFile() +
                                      "\" because another program has it open; the list starts without them."}));
  EXPECT_TRUE(FileExists(UserFile())) << "the user's file is saved";
}

// Fault: the registry save tried again for two seconds whatever refused it, so that a
// section that can never be written held up the module's end; cause: every failure was
// taken for another instance's erasure of the section. A lasting one is told at once.
TEST_F(RecentExpressionListTest, ARegistrySaveThatCannotBeMadeIsToldAtOnce) {
  int steps = 0;
  const TReported reported;
  {
    // A section name longer than a registry key's name may be.
    TRecentExpressionList list(std::string(300, 'm'), FUserFolder, FHostFolder,
                               TInstanceWait{[&] { ++steps; }});
    list.AddRecentExpression("kept", "");
  }
  EXPECT_EQ(steps, 0);
  ASSERT_FALSE(reported.Texts().empty());
  EXPECT_EQ(reported.Texts().front().rfind("Failed to create key 'Recent mmm", 0), 0u) << reported.Texts().front();
}

// Fault: the save failed ("... because another program has it open") whenever another
// instance was reading the file at that moment: the save asks for the file alone, and
// under Wine a file open for reading cannot be replaced. It waits a little while.
TEST_F(RecentExpressionListTest, ASaveThatMeetsAnotherInstancesReadWaitsForIt) {
  Put(UserFile(), IniForm("2", {"old"}));
  const TReported reported;
  auto list = MakeList();
  list->AddRecentExpression("new", "");
  {
    const THeldFile reading(UserFile(), /*saving=*/false, /*releaseAfterMs=*/150);
    ASSERT_NE(reading.Handle, INVALID_HANDLE_VALUE);
    list.reset();
  }
  EXPECT_EQ(reported.Texts(), TNames{});
  EXPECT_EQ(Items(*MakeList()), (TNames{"old/", "new/"}));
}

}  // namespace
