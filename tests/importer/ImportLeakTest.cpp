// What repeated imports leave behind: the whole import as the host's import list runs
// it (the options dialog answered OK, the status dialog closed with its report shown),
// counted from the system after each run.
#include <gtest/gtest.h>

#include <string>

#include "classlib/Automation.h"
#include "importer/ImportSettings.h"
#include "importer/ImporterExports.h"
#include "standin/host/StandinHost.h"
#include "tests/importer/GoldenFiles.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"
#include "tests/support/ResourceCounts.h"
#include "tests/support/TestSupport.h"

namespace {

class ImportLeakTest : public RaveloTest {
 protected:
  void TearDown() override {
    standin::CloseAllDocuments();
    RaveloTest::TearDown();
  }

  struct TCounts {
    int Windows, GdiObjects, KernelHandles;
    bool operator==(const TCounts&) const = default;
  };
  static TCounts Counts() {
    return {ThreadWindowCount(), ProcessGdiObjectCount(), ProcessKernelHandleCount()};
  }

  // One import of `path` into a new board, answered as a user answers it.
  static void ImportOnce(const std::string& path) {
    Control().CreateBoard(path.c_str());
    TUIAutomation automation;
    automation.ClickButton("KIVO Importer", "ButtonOK");
    automation.ClickButton("KIVO Translator", "Close");
    EXPECT_TRUE(ImportFileIntoPcb(path));
    EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  }
};

// The first import loads what stays for the process (fonts, theme sheets, the dialogs'
// classes); every import after it must leave the windows, GDI objects and kernel
// handles as they were, and neither the board file nor its report may stay open.
TEST_F(ImportLeakTest, RepeatedImportsLeaveNoWindowGdiObjectOrHandle) {
  DefaultLayerTable();  // the built-in defaults, whatever other tests saved
  const std::string demo = ReadWholeFile(SourcePath("examples/demo.pdf"));
  ASSERT_NE(demo, "<missing>");
  const std::string path = WriteScratchFile("leak.pdf", demo);

  ImportOnce(path);
  standin::CloseAllDocuments();
  const TCounts before = Counts();
  for (int run = 0; run < 5; ++run) {
    ImportOnce(path);
    standin::CloseAllDocuments();
  }
  const TCounts after = Counts();
  EXPECT_EQ(after.Windows, before.Windows);
  EXPECT_EQ(after.GdiObjects, before.GdiObjects);
  EXPECT_EQ(after.KernelHandles, before.KernelHandles);

  // Nothing holds either file: both can be opened without sharing.
  for (const std::string& file : {path, ScratchFolder() + "leak.rpt"}) {
    HANDLE alone = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(alone, INVALID_HANDLE_VALUE) << file << " is still open";
    if (alone != INVALID_HANDLE_VALUE)
      CloseHandle(alone);
  }
}

}  // namespace
