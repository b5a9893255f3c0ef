// Values of the enumerated and numeric fields through the host: the example without its
// voids with one value changed, each imported by the stand-in host.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "classlib/Win.h"
#include "tests/endtoend/EndToEndSupport.h"

namespace {

// Faults of the example without its voids, each under "Translation Successful": a value
// that is none of its field's values fell to a default without a word ({PS "T "} put R1
// on the bottom side; a DRILL text "X35" gave D1's holes 32 mil), a number with blanks
// around it in its quotes (" 35") was no number (D1's holes 32 mil instead of 35), and a
// bracketed text lost its brackets ((SENSOR NODE) gave the text SENSOR NODE). Such a
// value is told, with what was used; " 35" is 35; a text is the file's characters.
TEST(EndToEndValues, AValueThatIsNoneOfItsFieldsValuesIsToldWithWhatWasUsed) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const THostRun whole = RunHost({WriteScratch("nov.pdf", ExampleWithoutVoids())});
  ASSERT_TRUE(Has(whole, "Status dialog: \"Status: Translation Successful\"\n")) << whole.Output;
  const std::string objects = ObjectLines(ReadFile(Scratch() + "nov.dump"));
  const std::string r1 = "component owner=#1 net=- layer=1(TopLayer)";
  const std::string hole = "HoleSize=350000(35mil)";
  const struct {
    const char* Name;
    const char* From;  // its first occurrence becomes To
    const char* To;
    const char* Told;  // empty: nothing, under "Translation Successful"
    std::vector<std::pair<std::string, std::string>> DumpEdits;  // each first occurrence
  } cases[] = {
      {"side", "{PS \"T\"}", "{PS \"T \"}",
       "PS \"T \" of component R1 at line 322 is not one of T and B: the component was placed on "
       "the bottom side",
       {{r1, "component owner=#1 net=- layer=32(BottomLayer)"}}},
      {"drill", "{T \"35\" 0 0}", "{T \"X35\" 0 0}",
       "Drill text \"X35\" of pad definition OVAL90X60 at line 194 is not a whole number: its "
       "through-hole pads and vias take a hole of 32mil",
       {{hole, "HoleSize=320000(32mil)"}, {hole, "HoleSize=320000(32mil)"}}},
      {"blank", "{T \"35\" 0 0}", "{T \" 35\" 0 0}", "", {}},
      {"bracketed", "{T \"SENSOR NODE\" -700 680}", "{T (SENSOR NODE) -700 680}", "",
       {{"Text=\"SENSOR NODE\"", "Text=\"(SENSOR NODE)\""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string name = std::string(c.Name) + ".pdf";
    const THostRun run = RunHost({WriteScratch(name, ExampleWithoutVoids(c.From, c.To))});
    const bool told = *c.Told != 0;
    EXPECT_TRUE(Has(run, told ? "Status dialog: \"Status: Translation Complete, 1 Warnings\"\n"
                              : "Status dialog: \"Status: Translation Successful\"\n"))
        << run.Output;
    if (told) {
      const std::string report = ReadFile(Scratch() + c.Name + ".rpt");
      EXPECT_NE(report.find("WARNING: " + std::string(c.Told) + "\r\n"), std::string::npos) << report;
    }
    std::string expected = objects;
    for (const auto& [from, to] : c.DumpEdits) {
      const size_t at = expected.find(from);
      ASSERT_NE(at, std::string::npos) << from;
      expected.replace(at, from.size(), to);
    }
    EXPECT_TRUE(ObjectLines(ReadFile(Scratch() + c.Name + ".dump")) == expected)
        << "the board differs otherwise";
  }
}

}  // namespace
