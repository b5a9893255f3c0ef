// Whole imports of hostile files: the reader's road of ImportFileIntoPcb run headless
// against the stand-in PCB server, with an error box answered when one appears, a
// deadline watched by another thread, and the checks every hostile input must pass.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// What one import did.
struct THostileOutcome {
  bool Result = false;      // what the import answers: no load or import errors
  bool ReportSays = false;  // what the written report says: "Load Errors : 0" and "Import Errors : 0"
  bool ReportWritten = false;
  int ErrorBoxes = 0;       // error boxes answered
  int BracketBegins = 0;    // board-modify bracket opened (event 7) and closed (event 8)
  int BracketEnds = 0;
  double Seconds = 0;
  std::string ReportError;  // why the report could not be written (the outcome stands)
  std::string ReportPath;   // the report written, empty when none
  int LoadWarnings = 0;
  bool EndsEarly = false;   // the report says the file ends inside an open block
  std::string Report;       // the report written, every warning shown
  std::map<std::string, int> Objects;  // the board's objects by kind ("track", "via"...)
};

// Imports `path` into `board` with every layer mapped to the top layer, under a
// deadline: past it the process is ended with a message naming `label` (a hang cannot
// be caught any other way). The report is written beside the file.
THostileOutcome ImportHostileFile(const std::string& path, uint32_t board, const std::string& label,
                                  double deadlineSeconds);
// The outcome's failures as text, empty when the outcome is sound: the answer agrees
// with the report (or the report's failure names it), the bracket is closed, and at
// most one error box was shown.
std::string HostileOutcomeFailures(const THostileOutcome& outcome);

// The files below a folder with their sizes and write times, to see what an import wrote.
using TFileSnapshot = std::map<std::string, std::string>;
TFileSnapshot SnapshotFiles(const std::string& folder);
// Names in `after` that are new or changed against `before`.
std::vector<std::string> ChangedFiles(const TFileSnapshot& before, const TFileSnapshot& after);

// Whether a mutant's import kept what it should: the oracle of the mutation campaign.
// A mutant whose import told nothing that the sample's did not (no error, no warning
// beyond the sample's) must keep every object of the sample that its edits did not
// touch. What they touched is taken out of the sample by blocks (its reference): the
// blocks on the lines the edits cover, those whose first line they cover with all they
// hold, with the instances after a component definition taken out (an instance
// belongs to the definition read last), and after an edited attribute every block
// (what it sets holds for all of them).
// The reference imported keeps at least as many objects of each kind as the mutant
// must.
class TMutationOracle {
 public:
  explicit TMutationOracle(std::string sample);
  // The sample without the blocks that `mutant`'s edits touched.
  std::string Reference(const std::string& mutant) const;
  // Whether the mutant's import told no more than the sample's: no error, and no
  // warning that the sample's report does not hold.
  static bool ToldNoMore(const THostileOutcome& mutant, const THostileOutcome& sample);
  // The kinds of object the mutant kept fewer of than its reference, as text; empty
  // when none.
  static std::string Losses(const THostileOutcome& mutant, const THostileOutcome& reference);

 private:
  struct TBlock {
    size_t Open, Close;  // its braces
    size_t HeaderEnd;    // where its first line or its first inner block begins
    bool Leaf;           // it holds no block
    size_t Parent;       // the block that holds it (npos for none)
    std::string Keyword;
  };
  std::string FSample;
  std::vector<TBlock> FBlocks;
  std::vector<size_t> FAttributes;  // where each "[" stands
};

// The project's deterministic mutator: each call makes one mutant of `sample` by one to
// four edits: bit flips, byte inserts and deletes, a duplicated chunk, an injected
// brace, bracket or quote, a number made hundreds of digits long, a cut, a brace,
// bracket or parenthesis inside a comment or a string, a number beyond the 32-bit range
// (or no number), a "}" moved to the end.
class TKivoMutator {
 public:
  explicit TKivoMutator(uint64_t seed) : FState(seed) {}
  std::string Mutate(const std::string& sample);
  uint64_t Next();

 private:
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }
  uint64_t FState;
};
