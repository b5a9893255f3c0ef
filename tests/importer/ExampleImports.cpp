#include "tests/importer/ExampleImports.h"

#include <gtest/gtest.h>

#include "standin/ravelo/RaveloControl.h"
#include "tests/importer/ExampleWithoutVoids.h"
#include "tests/importer/GoldenFiles.h"
#include "tests/importer/ImporterTestSupport.h"

std::string ExampleWithoutVoids(const std::string& from, const std::string& to) {
  return ExampleWithoutVoidsOf(ReadWholeFile(SourcePath("examples/demo.pdf")), from, to);
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
