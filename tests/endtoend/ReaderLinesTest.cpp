// The reading of the example without its voids, edited as a person's editor or a damage
// would, through the host: comment lines wherever the reader reads, and the lines that
// the warnings of a loss name.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "classlib/Win.h"
#include "tests/endtoend/EndToEndSupport.h"

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

// Fault: a stray quote in a net's ATR, which the reader skips (`{ATR "QR {CLASS "POWER"}}`
// on line 227), took the braces after it and closed the net there: 76 objects after it
// were lost, told from line 228 on and never at 227. The first warning of the loss names
// the value's line and its quote; and a polygon left out for a point that could not be
// read is told at the point's line (220), not at the line of the polygon's "}" (221).
TEST(ReaderLines, TheLineThatCausedALossIsNamed) {
  const TEditedRun quote =
      ImportEdited("quote", "{N VCC_5V\n      {ATR {", "{N VCC_5V\n      {ATR \"QR {");
  EXPECT_NE(quote.Report.find("\r\nWARNING: The block DG at line 228 is not one of the NET_DEF "
                              "block's items (N): it was skipped; the quoted value at line 227 "
                              "holds a \"{\": its quote may have taken blocks with it\r\n"),
            std::string::npos)
      << quote.Report;
  const TEditedRun point =
      ImportEdited("point", "{OL 2 -1150 -750 1150", "{OL 2 -1150 -750 ZZ 1150");
  EXPECT_TRUE(Has(point.Run, "Status dialog: \"Status: Translation Complete, 1 Warnings\"\n"))
      << point.Run.Output;
  EXPECT_NE(point.Report.find("\r\nWARNING: Polygon at line 220 left out: a coordinate or size "
                              "could not be read\r\n"),
            std::string::npos)
      << point.Report;
}

}  // namespace
