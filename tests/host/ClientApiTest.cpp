// The binding of the host's entry points and the wrappers over them, run against the
// stand-in host linked into this executable.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/ClientApi.h"
#include "standin/host/StandinHost.h"

namespace {

class ClientApiTest : public testing::Test {
 protected:
  void SetUp() override {
    standin::HostOptions() = standin::THostOptions();
    standin::ClearCallLog();
  }
  void TearDown() override { standin::HostOptions() = standin::THostOptions(); }
};

TEST_F(ClientApiTest, BindsTheSeventySevenNamesAndFindsTheHostsExports) {
  auto names = ClientApiNames();
  ASSERT_EQ(names.size(), 77u);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 77u);
  EXPECT_STREQ(names.front(), "ClientApi_GetCurrentUserID");
  EXPECT_STREQ(names.back(), "ClientAPI_ConvertFileNameToExeFileName");
  for (const char* used : {"ClientAPI_GetClientInterface", "ClientAPI_ExistSpecific",
                           "ClientAPI_ExtractFileNameFromPath", "ClientAPI_ForceFileNameExtension"})
    EXPECT_NE(ClientApiEntry(used), nullptr) << used;
  // Names the host does not export stay unbound.
  EXPECT_EQ(ClientApiEntry("ClientApi_ShowDocument"), nullptr);
  EXPECT_EQ(ClientApiEntry("ClientAPI_EraseFile"), nullptr);
  EXPECT_EQ(HostModuleHandle(), GetModuleHandleA(nullptr));
  // Binding again changes nothing and calls nothing on the host.
  BindClientApi();
  EXPECT_NE(ClientApiEntry("ClientAPI_ExistSpecific"), nullptr);
  EXPECT_TRUE(standin::CallLog().empty());
}

TEST_F(ClientApiTest, FileNameHelpersGoThroughTheHost) {
  EXPECT_EQ(ClientApiExtractFileNameFromPath("C:\\boards\\demo.pdf"), "demo.pdf");
  EXPECT_EQ(ClientApiForceFileNameExtension("C:\\boards\\demo.pdf", "rpt"), "C:\\boards\\demo.rpt");
  EXPECT_EQ(ClientApiForceFileNameExtension("C:\\v1.2\\demo", ".cfg"), "C:\\v1.2\\demo.cfg");
  EXPECT_EQ(standin::CallLog(),
            (std::vector<std::string>{
                "ClientAPI_ExtractFileNameFromPath(\"C:\\boards\\demo.pdf\") -> \"demo.pdf\"",
                "ClientAPI_ForceFileNameExtension(\"C:\\boards\\demo.pdf\", \"rpt\") -> "
                "\"C:\\boards\\demo.rpt\"",
                "ClientAPI_ForceFileNameExtension(\"C:\\v1.2\\demo\", \".cfg\") -> "
                "\"C:\\v1.2\\demo.cfg\""}));
}

// Regression: the host-filled 4096-byte buffer was read up to the first zero, so a host
// that wrote no terminator made the plug-in read past the buffer.
TEST_F(ClientApiTest, UnterminatedHostTextIsReadOnlyToTheBuffersLastByte) {
  standin::HostOptions().UnterminatedNames = true;
  std::string name = ClientApiExtractFileNameFromPath("C:\\a\\report.rpt");
  EXPECT_EQ(name.size(), 4095u);
  EXPECT_EQ(name.substr(0, 10), "report.rpt");
  EXPECT_EQ(ClientApiForceFileNameExtension("x", "rpt").size(), 4095u);
}

TEST_F(ClientApiTest, ExistSpecificAsksTheHost) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  EXPECT_TRUE(ClientApiExistSpecific(exe));
  EXPECT_FALSE(ClientApiExistSpecific(std::string(exe) + ".missing"));
  EXPECT_EQ(standin::CallsStartingWith("ClientAPI_ExistSpecific").size(), 2u);
}

TEST(StringsEqual, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(StringsEqual("TextEdit", "TEXTEDIT"));
  EXPECT_TRUE(StringsEqual("textedit", "TextEdit"));
  EXPECT_FALSE(StringsEqual("TextEdit", "TextEdit "));
  EXPECT_FALSE(StringsEqual("\xE9t\xE9", "\xC9T\xC9"));  // accented letters keep their case
  EXPECT_TRUE(StringsEqual("", ""));
}

}  // namespace
