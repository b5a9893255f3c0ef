// The recogniser as the host calls it: LoadKIVO.dll loaded into this process (the
// stand-in host), the export found by its plain name, a short string in, one byte out.
#include <gtest/gtest.h>

#include <string>

#include "classlib/ShortString.h"
#include "classlib/Win.h"
#include "standin/host/StandinHost.h"
#include "tests/importer/ImporterTestSupport.h"

namespace {

using TRecognised = uint8_t(__stdcall*)(const uint8_t*);

uint8_t Call(TRecognised recognised, const std::string& fileName) {
  const ShortString<255> name(fileName);
  return recognised(reinterpret_cast<const uint8_t*>(&name));
}

TEST(ImporterExports, RecognisedPCBFile) {
  HMODULE plugin = LoadLibraryA("LoadKIVO.dll");
  ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
  auto recognised = reinterpret_cast<TRecognised>(
      reinterpret_cast<void*>(GetProcAddress(plugin, "RecognisedPCBFile")));
  ASSERT_NE(recognised, nullptr);
  EXPECT_EQ(GetProcAddress(plugin, "RecognisedPCBFile@4"), nullptr);

  const std::string kivo = WriteScratchFile("export.pdf", "{COMPONENT \"x\"}");
  standin::ClearCallLog();
  EXPECT_EQ(Call(recognised, kivo), 1);
  EXPECT_EQ(standin::CallLog(),
            std::vector<std::string>{"ClientAPI_ExistSpecific(\"" + kivo + "\") -> True"});
  EXPECT_EQ(Call(recognised, WriteScratchFile("export-other.pdf", "{ENVIRONMENT}")), 0);
  EXPECT_EQ(Call(recognised, ScratchFolder() + "export-missing.pdf"), 0);
  EXPECT_EQ(recognised(nullptr), 0);

  // A file the host knows but that cannot be opened answers False.
  HANDLE locked =
      CreateFileA(kivo.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Call(recognised, kivo), 0);
  CloseHandle(locked);
  EXPECT_EQ(Call(recognised, kivo), 1);
  EXPECT_TRUE(FreeLibrary(plugin));
}

}  // namespace
