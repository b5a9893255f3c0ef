// The recogniser: the start of a file decides, within 200 structural tokens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Win.h"
#include "importer/KivoRecogniser.h"
#include "standin/host/StandinHost.h"
#include "tests/importer/ImporterTestSupport.h"

namespace {

bool Recognise(const std::string& text) {
  return RecognisedPCBFile(WriteScratchFile("recognise.pdf", text));
}

std::string Repeat(const std::string& text, int count) {
  std::string result;
  for (int i = 0; i < count; ++i)
    result += text;
  return result;
}

TEST(KivoRecogniser, FirstBlock) {
  struct TCase {
    const char* Rule;
    std::string Text;
    bool Expected;
  } cases[] = {
      {"a COMPONENT block", "{COMPONENT \"b\" {ENVIRONMENT}}", true},
      {"blanks and line ends around", "  \r\n {  COMPONENT\r\n", true},
      {"the keyword in any case", "{component}", true},
      {"another word", "{COMPONENTS}", false},
      {"a first block that is not COMPONENT", "{ENVIRONMENT {COMPONENT}}", false},
      {"an empty file", "", false},
      {"no block at all", "no braces at all", false},
      {"the end right after the brace", "{", false},
      {"\"%\" lines are skipped whole", "%{ENVIRONMENT\n% more {\n{COMPONENT", true},
      {"a brace right after another character joins its token", "x{COMPONENT", false},
      {"198 tokens before the brace", Repeat("x ", 99) + "{COMPONENT", true},
      {"200 tokens before the brace", Repeat("x ", 100) + "{COMPONENT", false},
      {"each \"%\" line counts", Repeat("%\n", 199) + "{COMPONENT", true},
      {"200 \"%\" lines", Repeat("%\n", 200) + "{COMPONENT", false},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(Recognise(c.Text), c.Expected) << c.Rule;
}

TEST(KivoRecogniser, AFileTheHostDoesNotKnow) {
  standin::ClearCallLog();
  EXPECT_FALSE(RecognisedPCBFile(ScratchFolder() + "missing.pdf"));
  EXPECT_EQ(standin::CallLog(),
            std::vector<std::string>{"ClientAPI_ExistSpecific(\"" + ScratchFolder() +
                                     "missing.pdf\") -> False"});
}

TEST(KivoRecogniser, AFileThatCannotBeOpenedIsNotRecognised) {
  const std::string path = WriteScratchFile("locked.pdf", "{COMPONENT}");
  HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(RecognisedPCBFile(path));
  CloseHandle(locked);
  EXPECT_TRUE(RecognisedPCBFile(path));
}

// Fault: a brace held back from one file started the next file's first token (the
// tokenizer's state was process-wide), so a valid file read after "{ {" was refused.
TEST(KivoRecogniser, NothingHeldBackReachesTheNextFile) {
  EXPECT_FALSE(Recognise("{ {"));
  EXPECT_TRUE(Recognise("{COMPONENT}"));
}

}  // namespace
