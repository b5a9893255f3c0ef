// The line a warning of a loss names is the line that caused it: a stray quote or "("
// whose value took braces, and with them blocks; a quote that took the next line's value
// into its own; text between blocks that begins with a quote; an object's number that
// could not be read.
#include <gtest/gtest.h>

#include <string>

#include "tests/importer/ExampleImports.h"

namespace {

class KivoLossLines : public ExampleImportTest {
 protected:
  // The example, edited, imported: its report at the default detail, which must hold
  // each warning of `told` on a line of its own.
  void ExpectTold(const std::string& from, const std::string& to,
                  std::initializer_list<std::string> told) {
    const THostileOutcome outcome = Import(ExampleWithoutVoids(from, to));
    for (const std::string& warning : told)
      EXPECT_NE(outcome.Report.find("\r\nWARNING: " + warning + "\r\n"), std::string::npos)
          << to << "\n" << warning << "\n" << outcome.Report;
  }
};

// Fault: a stray quote in a block the reader skips (a net's ATR, an instance's EX) began a
// value that took the braces after it (`{ATR "QR {CLASS "POWER"}}` closed the net, and 76
// objects after it were lost; `{EX "QR {AT ...}}}` the instance, and 87): the warnings told
// the blocks lost from the next line on, never the line of the quote. The first warning
// of the loss names the value's line and its quote, or its "(".
TEST_F(KivoLossLines, AValueHoldingBracesThatTookBlocksIsNamedByTheLoss) {
  ExpectTold("{N VCC_5V\n      {ATR {", "{N VCC_5V\n      {ATR \"QR {",
             {"The block DG at line 228 is not one of the NET_DEF block's items (N): it was "
              "skipped; the quoted value at line 227 holds a \"{\": its quote may have taken "
              "blocks with it"});
  ExpectTold("{EX {AT \"VALUE\" \"4k7\"}}}", "{EX \"QR {AT \"VALUE\" \"4k7\"}}}",
             {"The block CN at line 324 is not one of the SUBCOMP block's items (COMP_DEF, I): it "
              "was skipped; the quoted value at line 323 holds a \"{\": its quote may have taken "
              "blocks with it"});
  ExpectTold("{N VCC_5V\n      {ATR {CLASS \"POWER\"}}",
             "{N VCC_5V\n      {ATR (QR {CLASS \"POWER\") }}",
             {"The block DG at line 228 is not one of the NET_DEF block's items (N): it was "
              "skipped; the value in brackets at line 227 holds a \"{\": its \"(\" may have "
              "taken blocks with it"});
}

// A value holding a brace that takes no block (a valid one) is named by no warning: not
// by one of a loss after the next block read where it belongs.
TEST_F(KivoLossLines, AValueHoldingBracesBeforeABlockReadWhereItBelongsIsNamedByNoLoss) {
  const THostileOutcome outcome = Import(ExampleWithoutVoids(
      "{CLASS \"POWER\"}}\n      {DG [LY \"COMP\"] [WD 25]",
      "{CLASS \"PO{WER\"}}\n      {DG [LY \"COMP\"] [WD 25] {ZZ 1}"));
  EXPECT_NE(outcome.Report.find("\r\nWARNING: The block ZZ at line 228 is not one of the DG block's "
                                "items (V, NN, W, ARC, T, POLY): it was skipped\r\n"),
            std::string::npos)
      << outcome.Report;
  EXPECT_EQ(outcome.Report.find("holds a"), std::string::npos) << outcome.Report;
}

// Fault: a quote left open at the end of LYRSTR's line took the next line's "COMP" into
// its value ("QR"COMP"), and the objects drawn on COMP were told as on a layer LYRSTR does
// not declare, naming neither line. The value is told at its line.
TEST_F(KivoLossLines, AQuoteThatTookTheNextLinesValueIsToldAtItsLine) {
  ExpectTold("{LYRSTR", "{LYRSTR \"QR",
             {"Value of LYRSTR \"QR\"COMP\" at line 25: its quote is not closed on its line; it "
              "went on to a later line and took a quote there into it: its quote may be stray, "
              "and it was read as it stands",
              "The layer \"COMP\" at line 109 is not declared by the file's LYRSTR: 36 objects "
              "drawn on it were left out (lines 110 to 297)"});
}

// Fault: text between blocks that begins with a quote at a line's end (line 92), read as a
// value that ran on to the next line's block, was told at that next line (93).
TEST_F(KivoLossLines, TextBetweenBlocksIsToldAtTheLineItBegins) {
  ExpectTold("[TJ \"LB\"]\n", "[TJ \"LB\"] \"\n",
             {"The text \"\"\" at line 92 lies between the blocks of the ANNOTATE block: it was "
              "passed over"});
}

// Fault: a polygon whose outline held a point that could not be read was told at the line
// of the POLY's "}" (221), not at the point's (220). An object left out for a number is
// told at the line of the first number that could not be used.
TEST_F(KivoLossLines, AnObjectLeftOutForANumberIsToldAtThatNumbersLine) {
  ExpectTold("{OL 2 -1150 -750 1150", "{OL 2 -1150 -750 ZZ 1150",
             {"Polygon at line 220 left out: a coordinate or size could not be read"});
  ExpectTold("{W -1000 -200 -800 -200 -800 300 -645 300}",
             "{W -1000 -200 -800 -200\n  -800 x300\n  -645 300\n}",
             {"Line at line 231 left out: a coordinate or size could not be read"});
}

}  // namespace
