// The example board without its voids ("Translation Successful" whole) with a reference
// that names nothing, a definition given twice or a connection list of two readings,
// imported through the host: each is told with its lines at the report's default detail,
// and the board is the example's but for what the change itself makes.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "classlib/Win.h"
#include "tests/endtoend/EndToEndSupport.h"

namespace {

// The example without its voids with each `from` (its first occurrence, or every one
// for `all`) made `to`.
std::string NovWith(const std::vector<std::pair<std::string, std::string>>& edits, bool all = false) {
  std::string text = ExampleWithoutVoids();
  for (const auto& [from, to] : edits) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    for (; at != std::string::npos; at = all ? text.find(from, at + to.size()) : std::string::npos)
      text.replace(at, from.size(), to);
  }
  return text;
}

// Faults of the example, each under "Translation Successful": a pad-stack entry naming a
// pad definition the file does not give made R1 to R4, C1 and C2 pads of 10 mil (J1's
// free pin 5 a pad of the server's default for a second name); a pad definition, a pad
// entry of an index or a layer of LYRSTR given twice held the first or the second by
// kind, and a second RES0805 before R1 moved R1 to R4's pins and lost their silkscreen,
// silently; a second DBUNIT scaled every object after it by 39.37; a net named "1" made
// R4's list of two nets a list of pairs (pin 2 without its net); a list short of names
// was told without pin or line. Each is told with its lines; what the board takes once
// keeps the first (the board is the example's), a COMP_DEF serves the instances after it.
TEST(ReferencesTest, AReferenceToNothingOrADefinitionGivenTwiceIsToldWithItsLines) {
  DeleteFileA(SavedDefaultsFile().c_str());
  const std::string kSummary =
      "Objects: 8 arc, 10 component, 2 fill, 8 net, 30 pad, 3 polygon, 30 text, 80 track, 13 via\n";
  const std::string notUsed = "the first, and this one was not used";
  const struct {
    const char* Name;
    std::string Text;
    std::string Told;  // the report's line, "WARNING: " left out
    int Changed;       // the example's objects this import changes; -1: not compared
    std::string Summary = {};  // empty: the example's
  } cases[] = {
      {"pad entry", NovWith({{"{PAD 5 \"SMD0805\" \"\"}", "{PAD 5 \"SMDXX\" \"\"}"}}),
       "The PAD 5 at line 133 names the pad definition \"SMDXX\", which its PAD_STACK does not "
       "give: the pins and vias of its index were made without a pad definition (pins as the "
       "default pad or the component graphics over them, vias as the host's default via)",
       -1},
      {"free pad entry", NovWith({{"\"C62X38\" \"C50X38\"}", "\"C62X38\" \"XX\"}"}}),
       "The PAD 1 at line 129 names the pad definition \"XX\" for its pins without a net, which "
       "its PAD_STACK does not give: the pins of its index without a net were made without a "
       "pad definition (as the default pad or the component graphics over them)",
       -1},
      {"pad definition twice",
       NovWith({{"    }\n    {PAD_DEF SMDSOIC",
                 "    }\n    {PAD_DEF smd0805 {PIC [LY \"PADCOM\"] {FR -5 -5 5 5}}}\n    {PAD_DEF SMDSOIC"}}),
       "The PAD_DEF smd0805 at line 180 was given before (line 176): pads and vias take " + notUsed,
       0},
      {"pad index twice",
       NovWith({{"{PAD 5 \"SMD0805\" \"\"}", "{PAD 5 \"SMD0805\" \"\"}\n    {PAD 5 \"SMDSOIC\" \"\"}"}}),
       "The PAD 5 at line 134 was given before (line 133): pins and vias of its index take " + notUsed,
       0},
      {"definition twice",
       NovWith({{"    {I RES0805 R1",
                 "    {COMP_DEF RES0805 {PIN_DEF {P 1 {PT 5} {PLOC 0 0}} {P 2 {PT 5} {PLOC 10 0}}}}\n"
                 "    {I RES0805 R1"}}),
       "The COMP_DEF RES0805 at line 321 was given before (line 308): the instances after it take "
       "this one, those before it the one before",
       -1, "Objects: 8 arc, 10 component, 2 fill, 8 net, 30 pad, 3 polygon, 30 text, 72 track, 13 via\n"},
      {"unit twice", NovWith({{"{DBGRID 1}", "{DBGRID 1} {DBUNIT \"MM\"}"}}),
       "DBUNIT \"MM\" at line 24 was given before (line 23): the first holds, and this one was not "
       "used",
       0},
      {"layer twice",
       NovWith({{"\"NOTES\" 14\n", "\"NOTES\" 14\n    \"comp\" 15\n"},
                {"\"14\" 0 8\n", "\"14\" 0 8\n    \"15\" 1 0\n"}}),
       "The layer \"comp\" of LYRSTR at line 40 was given before (line 26): objects on it take the "
       "first one's host layer, and this one was not used",
       0},
      {"short list", NovWith({{"{CN LED_A GND}", "{CN LED_A}"}}),
       "Mismatch on number of nets and number of pin on component D1: its connections at line "
       "445 name no net for pin 2, which was imported without a net",
       1},
  };
  const THostRun whole = RunHost({WriteScratch("nov.pdf", ExampleWithoutVoids())});
  ASSERT_TRUE(Has(whole, "Status dialog: \"Status: Translation Successful\"\n")) << whole.Output;
  const std::string objects = ObjectLines(ReadFile(Scratch() + "nov.dump"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const THostRun run = RunHost({WriteScratch(std::string(c.Name) + ".pdf", c.Text)});
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 1 Warnings\"\n")) << run.Output;
    EXPECT_TRUE(Has(run, c.Summary.empty() ? kSummary : c.Summary)) << run.Output;
    const std::string report = ReadFile(Scratch() + c.Name + ".rpt");
    EXPECT_NE(report.find("WARNING: " + c.Told + "\r\n"), std::string::npos) << report;
    if (c.Changed >= 0) {
      EXPECT_EQ(MissingLines(objects, ObjectLines(ReadFile(Scratch() + c.Name + ".dump"))), c.Changed);
    }
  }

  // A net named "1": R4's {CN 1 LED_A} names a net for each of its two pins, and its first
  // name is a pin's too. Read by position, told: the board is the example's, the net renamed.
  const THostRun run = RunHost({WriteScratch("one.pdf", NovWith({{"LED_DRV", "1"}}, /*all=*/true))});
  EXPECT_TRUE(Has(run, "Status dialog: \"Status: Translation Complete, 1 Warnings\"\n")) << run.Output;
  const std::string report = ReadFile(Scratch() + "one.rpt");
  EXPECT_NE(report.find("WARNING: The connections of component R4 at line 339 begin with \"1\", the "
                        "name of a pin of its definition RES0805 and of a net, and name a net for "
                        "each of its 2 pins: they were read by position, not as pairs of pin and "
                        "net names\r\n"),
            std::string::npos)
      << report;
  std::string renamed = objects;
  const std::string net = "Name=\"LED_DRV\"";
  ASSERT_NE(renamed.find(net), std::string::npos);
  renamed.replace(renamed.find(net), net.size(), "Name=\"1\"");
  EXPECT_EQ(ObjectLines(ReadFile(Scratch() + "one.dump")), renamed);
}

}  // namespace
