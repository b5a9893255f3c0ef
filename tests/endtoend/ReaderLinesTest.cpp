// The reading of the example without its voids, edited as a person's editor or a damage
// would, through the host: comment lines wherever the reader reads, and the lines that
// the warnings of a loss name.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "classlib/Win.h"
#include "tests/endtoend/HostRun.h"

namespace {

// The example without its voids, edited as `from` (its first occurrence) made `to`,
// imported as `name` through the host: its report, and whether its objects are the
// unedited example's.
struct TEditedRun {
  THostRun Run;
  std::string Report;
  bool SameObjects = false;
};
TEditedRun ImportEdited(const std::string& name, const std::string& from, const std::string& to) {
  static const std::string objects = [] {
    RunHost({WriteScratch("nov.pdf", ExampleWithoutVoids())});
    return ObjectLines(ReadFile(Scratch() + "nov.dump"));
  }();
  TEditedRun edited;
  edited.Run = RunHost({WriteScratch(name + ".pdf", ExampleWithoutVoids(from, to))});
  edited.Report = ReadFile(Scratch() + name + ".rpt");
  edited.SameObjects = ObjectLines(ReadFile(Scratch() + name + ".dump")) == objects;
  return edited;
}

// Fault: a comment line right before a text's value or an attribute's value was read as
// the value: the text "SENSOR NODE" was left out as the text "%", and the objects drawn
// after [LY "COMP"] as on the layer "%", which the file does not declare. Both pass.
TEST(ReaderLines, ACommentLineBeforeAValueIsPassed) {
  DeleteFileA(SavedDefaultsFile().c_str());
  for (const auto& [name, from, to] : {
           std::tuple<const char*, const char*, const char*>{
               "text", "{T \"SENSOR NODE\" -700 680}", "{T\n% c\n\"SENSOR NODE\" -700 680}"},
           {"layer", "[LY \"COMP\"]\n    {FR", "[LY\n% c\n\"COMP\"]\n    {FR"},
       }) {
    const TEditedRun edited = ImportEdited(name, from, to);
    EXPECT_TRUE(Has(edited.Run, "Status dialog: \"Status: Translation Successful\"\n"))
        << name << ": " << edited.Run.Output << edited.Report;
    EXPECT_TRUE(edited.SameObjects) << name;
  }
}

}  // namespace
