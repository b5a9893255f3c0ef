#include "tests/importer/ExampleImports.h"

#include <gtest/gtest.h>

#include "standin/ravelo/RaveloControl.h"
#include "tests/importer/GoldenFiles.h"
#include "tests/importer/ImporterTestSupport.h"

std::string ExampleWithoutVoids(const std::string& from, const std::string& to) {
  const std::string demo = ReadWholeFile(SourcePath("examples/demo.pdf"));
  std::string text;
  int line = 1;
  for (size_t start = 0, end; start < demo.size(); start = end + 1, ++line) {
    end = std::min(demo.find('\n', start), demo.size());
    if (line < 221 || line > 223)
      text.append(demo, start, end - start + 1);
  }
  const size_t at = from.empty() ? std::string::npos : text.find(from);
  EXPECT_TRUE(from.empty() || at != std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

THostileOutcome ExampleImportTest::Import(const std::string& text) {
  Control().Reset();
  FBoard = Control().CreateBoard("C:\\Boards\\Example.PcbDoc");
  Control().SetCurrentBoard(FBoard);
  return ImportHostileFile(WriteScratchFile("example.pdf", text), FBoard, "the edited example", 20);
}

std::string ExampleImportTest::Objects(const std::string& dump) {
  return dump.substr(dump.find('\n') + 1);
}
