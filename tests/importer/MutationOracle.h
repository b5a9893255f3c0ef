// The oracle of the mutation campaign: whether a mutant's import kept every object of
// the sample that its edits may not have lost.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/importer/HostileImportSupport.h"
#include "tests/importer/KivoMutation.h"

// The objects of a board dump as the oracle compares them, each a key with its count.
// A key holds what the object is, whose it is (its net, its component's designator) and
// where it lies relative to the board's origin (so the move into positive space does
// not count); not what the drawing state or the pad stack gave it (layer, widths and
// sizes, a text's size, turn and place), so that an object found again is the same one
// whatever attribute an edit changed. Without `placed` the place is left out too, for
// mutants whose edits may change the file's unit or grid.
using TObjectKeys = std::map<std::string, int>;
TObjectKeys ObjectKeys(const std::string& dump, bool placed);

// The rule, for a mutant of a sample:
//
// 1. The sample is taken apart into sections (the top-level blocks but DETAIL, and
//    the blocks of DETAIL), units (the blocks of ANNOTATE, NET_DEF and SUBCOMP: the
//    annotation primitives, nets, component definitions and instances) and global
//    blocks (the items of ENVIRONMENT and PAD_STACK). Each object of the sample's
//    import belongs to the unit whose removal from the sample removes it (found by
//    importing the sample without that unit); a definition's objects are those of its
//    instances. Units are the blocks the reader makes objects from one by one: a
//    net's members and an instance's pads and drawing share its name and place and
//    stand or fall with it, and a section is too coarse (one edit would excuse all).
//    An import that answered False told that it failed: it is not compared.
// 2. An edit is a span of the sample that the mutant deleted, changed or wrote into,
//    widened to whole lines (a comment mark or a line end joining two lines reaches
//    the next one). It touches the units whose lines it overlaps.
// 3. Damage (mkDamage) may lose, untold, the objects of the units it touches, and of
//    the instances of a definition it touches.
// 4. Beyond them an edit may lose objects only when the report tells a warning naming
//    a line (" at line N") that the sample's report does not hold, at or after the
//    edit's first line, as follows:
//    a) structure: the rest of each section the edit overlaps, or when it lies between
//       sections the next section, told no later than the first line of the section
//       that follows, or at the end of the file. An unbalanced brace makes the rest of
//       the enclosing blocks part of the damaged one, until the reader reads a section
//       met where it cannot stand (told at that section's line) or reaches the end of
//       the file (told at the last line); a section beyond must be read whole. An edit
//       of the file's first lines (up to COMPONENT's) reaches the whole file;
//    b) drawing state: from an attribute the edit overlaps, the objects up to the next
//       layer attribute (a misspelt layer leaves them on a layer the file does not
//       declare), told within that stretch;
//    c) declarations: from an edit of ENVIRONMENT or PAD_STACK (unit, grid, layers,
//       pads that every later object reads), the rest of the file, told at a place
//       where objects are read (a unit, an attribute, an item of those blocks, the
//       first line of DETAIL), not only at a section's line or the end. An edit from
//       COMPONENT's first line to the last of KIVOVREV, DBUNIT and DBGRID may change
//       the unit or grid: its mutant is compared without places;
//    d) a unit named by such a warning (the warning's line lies in its lines, or the
//       lines it gives the objects it tells left out: "(lines A to B)").
// 5. A valid but unusual mutant (mkUnusual) must keep every object of the sample; a
//    mutant of damage that must be told (mkMustTell) may lose only by rule 4, even in
//    the units it touches.
class TMutationOracle {
 public:
  using TImport = std::function<THostileOutcome(const std::string& text, const std::string& label)>;
  TMutationOracle(std::string sample, TImport import);

  // What the mutant's import lost beyond what it may, as text; empty when nothing.
  std::string Check(const TMutant& mutant, const THostileOutcome& outcome);

  const TKivoSample& GetSample() const { return FSample; }
  const THostileOutcome& GetSampleOutcome() const { return FSampleOutcome; }
  struct TFigures {
    int Refused = 0;     // answered False: not compared
    int KeptAll = 0;     // kept every object of the sample
    int LostInside = 0;  // lost objects only in the units their edits touched
    int LostTold = 0;    // lost objects beyond them, told
    int Failed = 0;
    int Unplaced = 0;    // compared without places
  };
  const TFigures& GetFigures() const { return FFigures; }

 private:
  struct TEdit {
    size_t From, To;  // widened to whole lines, [From, To]
  };
  std::vector<TEdit> EditsOf(const TMutant& mutant) const;
  bool Overlaps(size_t block, const TEdit& edit) const;
  size_t WidenedStart(size_t block) const;
  size_t WidenedEnd(size_t block) const;
  // What an edit reaches (rule 4): the last offset of its structure's reach and of its
  // drawing state's (npos for none), whether it declares what every later object reads,
  // and whether it may change the unit or grid.
  struct TReach {
    size_t Structure = 0, Drawing = std::string::npos;
    bool Declaration = false, Scale = false;
  };
  TReach ReachOf(const TEdit& edit) const;
  // The last offset a warning telling the losses of a structure's reach may name: the
  // first line of the section after it.
  size_t TellingLimit(size_t reachEnd) const;
  // Whether a warning's line names a place where objects are read: a unit, an
  // attribute, an item of ENVIRONMENT or PAD_STACK, DETAIL's first line (not another
  // section's first line, a gap or the end).
  bool NamesPlace(size_t at) const;
  // The units' objects (attributed on first use), and the units a block stands for.
  const TObjectKeys& ObjectsOf(size_t unit);
  std::vector<size_t> UnitsOf(size_t block) const;
  // Where the mutant's new warnings naming a line stand in the sample: [first, last]
  // offset of each such line.
  std::vector<std::pair<size_t, size_t>> ToldSpans(const TMutant& mutant,
                                                   const THostileOutcome& outcome) const;
  std::string Describe(const TObjectKeys& missing, const std::vector<size_t>& units, bool placed);

  TKivoSample FSample;
  TImport FImport;
  THostileOutcome FSampleOutcome;
  TObjectKeys FSampleKeys;
  std::map<size_t, TObjectKeys> FUnitObjects;
  size_t FComponentLineEnd = 0, FComponentClose = 0;
  size_t FScaleFrom = 0, FScaleTo = 0;  // where an edit may change the unit or grid
  TFigures FFigures;
};

// The line of the report's warning as the oracle reads it: the number after " at line ",
// 0 when it names none.
int WarningLine(const std::string& warning);
