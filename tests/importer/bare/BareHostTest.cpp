// The importer in a host that exports none of the "ClientAPI_" and "VFSAPI_" names: no
// file is recognised (the host knows none), and the report still lands beside its KIVO
// file.
#include <gtest/gtest.h>

#include "classlib/FileUtils.h"
#include "classlib/FormatSettings.h"
#include "host/ClientApi.h"
#include "importer/KivoRecogniser.h"
#include "importer/KivoTokenizer.h"
#include "importer/ReportManager.h"
#include "pcb/HostFileSystem.h"
#include "standin/host/StandinHost.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/importer/bare/TestUnits.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(BareHost, NoFileIsRecognised) {
  EXPECT_FALSE(RecognisedPCBFile(WriteScratchFile("bare.pdf", "{COMPONENT}")));
}

// Fault: without the host's file system and name helpers the report had no folder, no
// name and no assigned file; it now lands beside the KIVO file under the runtime's
// names.
TEST(BareHost, TheReportLandsBesideTheKivoFile) {
  for (int i = 0; i < VfsApiEntryCount; ++i)
    ASSERT_EQ(VfsApiEntryAddress(i), nullptr) << VfsApiEntryName(i);
  TReportManager report(WriteScratchFile("bare.pdf", "{COMPONENT}"));
  report.AddImportError(1);
  report.WriteReport();
  EXPECT_EQ(report.GetReportPath(), ScratchFolder() + "bare.rpt");
  const std::string text = ReadWholeFile(ScratchFolder() + "bare.rpt");
  EXPECT_EQ(text.substr(0, text.find("Date")),
            "Varnok Design System: KIVO Version 9.x To Varnok QMV Translator Report\r\n"
            "PCB File : \r\n");
  EXPECT_NE(text.find("Import Errors : 1\r\nERROR: User Canceled Abort.\r\n"), std::string::npos);
  EXPECT_TRUE(standin::CallLog().empty());
}

}  // namespace

std::span<const TUnitEntry> TestUnits() { return ImporterBareTestUnits(); }
