// The oracle of the mutation campaign: whether a mutant's import kept every object of
// the sample that its edits may not have lost, and made none the sample does not have.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/importer/HostileImportSupport.h"
#include "tests/importer/KivoMutation.h"

// The objects of a board dump as the oracle compares them, each a key with its count.
// A key holds what the object is and whose (its component's designator), then where it
// lies relative to the board's origin (so the move into positive space does not count),
// then what the drawing state, the nets and the pad stack gave it: its net, layer,
// widths and sizes, rotation, mirror and pad shapes. An object drawn on another layer,
// with another width or on another net is another object. Without `placed` each place
// is only its signs and sizes and widths are left out, for mutants whose edits may
// change the file's unit or grid (which scale every place and size alike).
using TObjectKeys = std::map<std::string, int>;
TObjectKeys ObjectKeys(const std::string& dump, bool placed);
// What knows an object again whatever the drawing state, the nets and the pad stack gave
// it: what it is and whose, and, for an object without a name of its own (a track, arc,
// via, fill or polygon), where.
std::string KeyBase(const std::string& key);
// What the object is, whose and where: the key without what the drawing state, the nets
// and the pad stack gave it.
std::string KeyPlace(const std::string& key);

// The rule, for a mutant of a sample:
//
// 1. The sample is taken apart into sections (the top-level blocks but DETAIL, and
//    the blocks of DETAIL), units (the blocks of ANNOTATE, NET_DEF and SUBCOMP: the
//    annotation primitives, nets, component definitions and instances) and global
//    blocks (the items of ENVIRONMENT and PAD_STACK). Each object of the sample's
//    import belongs to the unit whose removal from the sample removes or changes it
//    (found by importing the sample without that unit: a net's removal changes the
//    pads on it); what that import has instead is what the unit's loss leaves. A
//    definition's objects are those of its instances. Units are the blocks the reader
//    makes objects from one by one: a net's members and an instance's pads and drawing
//    share its name and place and stand or fall with it, and a section is too coarse
//    (one edit would excuse all). Warnings are those the report writes at its default
//    detail, as the user reads it; the sample's own do not count.
// 2. An edit is a span of the sample that the mutant deleted, changed or wrote into,
//    widened to whole lines (a comment mark or a line end joining two lines reaches
//    the next one). It touches the units whose lines it overlaps.
// 3. Damage (mkDamage) may lose or change, untold, the objects of the units it touches,
//    and of the instances of a definition it touches. After an edit of an attribute,
//    of ENVIRONMENT or of PAD_STACK it may change what the drawing state and the
//    declarations give the objects that follow (a new width or pad size is valid), not
//    lose them.
// 4. Beyond them an edit may lose the objects of a unit only when the report tells a
//    new warning naming a line (" at line N", or the lines of the objects it tells
//    left out: "(lines A to B)") at or after the edit's first line and in or before
//    the unit's block, the unit lying in the edit's reach:
//    a) structure: the rest of each section the edit overlaps, or when it lies between
//       sections the next section. An unbalanced brace makes the rest of the enclosing
//       blocks part of the damaged one, to the end of the file. An edit of the file's
//       first lines (up to COMPONENT's) reaches the whole file. A warning at the end of
//       the file ("it may have been cut short") thus tells only the loss of the blocks
//       that a cut leaves open, where the file now ends: a block the reader lost
//       further up must be told where it was lost;
//    b) drawing state: from an attribute the edit overlaps, the objects up to the next
//       layer attribute (a misspelt layer leaves them on a layer the file does not
//       declare);
//    c) declarations: from an edit of ENVIRONMENT or PAD_STACK (unit, grid, layers,
//       pads that every later object reads), the rest of the file, told at a place
//       where objects are read (a unit, an attribute, an item of those blocks, the
//       first line of DETAIL), not only at a section's line or the end. An edit from
//       COMPONENT's first line to the last of KIVOVREV, DBUNIT and DBGRID may change
//       the unit or grid: a mutant of damage there is compared without places;
//    d) any unit whose lines the warning's lines overlap, after the first edit.
//    What a lost unit leaves in its place (the pads of a lost net, or of an instance
//    whose connections are lost, without their net) goes with it.
// 5. An object the sample's import does not have is a failure, beyond what rules 3 and
//    4 let go with a unit: a mutant of damage may write new objects, but not restate
//    one of the sample's that it may not change (the same object, at the same place,
//    with another layer, width, net...). An object that a told loss changed (one of the
//    same kind and owner, and name where it has one, with another place, drawing state,
//    net or pad: a pad of a definition that lost a graphic, the drawing of a component
//    whose placement block was skipped) goes with its unit, as many as the unit had,
//    where rule 4 accounts for that unit by a warning that tells a loss; a warning that says a
//    block was read ("it was read", "it was applied") promises it whole and accounts for
//    no change. A block read after a missing "}" with the drawing state of the block
//    before it makes such objects, told only as read.
// 6. A valid but unusual mutant (mkUnusual) must import as the sample does: answered
//    True, no new warning, every object the same (but the texts its edits changed, as
//    they now read), none more. A mutant of damage that must be told (mkMustTell) may
//    lose only by rule 4, even in the units it touches, and may make no object the
//    sample does not have; one that states something twice (MustWarn) tells it even
//    when it keeps every object.
// 7. Damage to be named (mkMustName: a reference renamed to a name the file does not
//    define, a definition given twice with other contents, another word in an
//    enumerated or numeric field, a net named as a pin that starts a connection list,
//    a connection list short of a name) is held to rule 6's second sentence, but may,
//    as damage does (rules 3 and 5), change what the drawing state and declarations
//    give the objects after an edited attribute or declaration. Besides, where what its
//    edit decides differs from the sample's import, one new warning names the edited
//    lines (" at line N", "lines N and M", "(lines A to B)" in the mutant's lines): the
//    line of the name or value, or the lines of both definitions. What an edit decides
//    is the objects of the unit holding the edited place (a definition's: its
//    instances'), or every object for an attribute's value, a place outside units (a
//    declaration) and a definition given twice, which is named even when nothing
//    differs. A net the edits renamed everywhere is expected under its new name, an
//    instance given another designator under it (and the text that shows either,
//    wherever its length puts it). An object differs when the import lacks it or makes
//    one of the same kind and owner (and name) that the sample's import does not have.
//    A comment line right before a value is valid but unusual (rule 6): it excuses no
//    loss and no warning.
class TMutationOracle {
 public:
  using TImport = std::function<THostileOutcome(const std::string& text, const std::string& label)>;
  TMutationOracle(std::string sample, TImport import);

  // What the mutant's import lost or made beyond what it may, as text; empty when nothing.
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
    int Named = 0;       // to be named, differed where a new warning named the edit (rule 7)
  };
  const TFigures& GetFigures() const { return FFigures; }

 private:
  struct TEdit {
    size_t From, To;  // widened to whole lines, [From, To]
    bool WritesAttribute = false;  // the bytes it wrote hold a "["
  };
  std::vector<TEdit> EditsOf(const TMutant& mutant) const;
  bool Overlaps(size_t block, const TEdit& edit) const;
  size_t WidenedStart(size_t block) const;
  size_t WidenedEnd(size_t block) const;
  // What an edit reaches (rule 4): the last offset of its structure's reach and of its
  // drawing state's (npos for none), whether it declares what every later object reads,
  // whether it may change the unit or grid, and whether it overlaps or writes an
  // attribute.
  struct TReach {
    size_t Structure = 0, Drawing = std::string::npos;
    bool Declaration = false, Scale = false, Attribute = false;
  };
  TReach ReachOf(const TEdit& edit) const;
  // Whether a warning's line names a place where objects are read: a unit, an
  // attribute, an item of ENVIRONMENT or PAD_STACK, DETAIL's first line (not another
  // section's first line, a gap or the end).
  bool NamesPlace(size_t at) const;
  // The units' objects and what their loss leaves instead (attributed on first use), and
  // the units a block stands for.
  struct TUnitObjects {
    TObjectKeys Objects, Leaves, UnplacedObjects, UnplacedLeaves;
  };
  const TUnitObjects& UnitObjectsOf(size_t unit);
  std::vector<size_t> UnitsOf(size_t block) const;
  // The innermost unit holding `offset`; npos when none.
  size_t UnitAt(size_t offset) const;
  // Where the mutant's new warnings (`added`) naming a line stand in the sample: [first,
  // last] offset of each such line; with `lossesOnly`, of those that tell a loss
  // (PromisesWhole).
  std::vector<std::pair<size_t, size_t>> ToldSpans(const TMutant& mutant,
                                                   const std::vector<std::string>& added,
                                                   bool lossesOnly = false) const;
  // The sample's objects as the mutant's valid text changes, designators and net renames
  // make them.
  TObjectKeys Expected(const TMutant& mutant, bool placed);
  void Rename(const TMutant& mutant, bool placed, TObjectKeys& expected);
  // The keys `keys` of unit `unit` as the mutant's designators and net renames make them.
  TObjectKeys Changed(const TMutant& mutant, size_t unit, const TObjectKeys& keys) const;
  // A text that shows a renamed net's name or a designator changed stands where its new
  // length puts it: a lost one is known again, wherever it stands, among those made.
  static void PlaceRenamedTexts(const TMutant& mutant, TObjectKeys& lost, TObjectKeys& made);
  // Rule 7: what a mutant to be named changed untold (`lost` and `made` against the
  // expected objects), as problems; counts it in the figures when it was named.
  std::string Unnamed(const TMutant& mutant, const std::vector<std::string>& added,
                      const TObjectKeys& lost, const TObjectKeys& made);
  // The units whose loss the mutant's new warnings (`told`) tell (rule 4), but the
  // `silent` ones.
  std::set<size_t> ToldUnits(const std::vector<TEdit>& edits, const std::vector<TReach>& reaches,
                             const std::vector<std::pair<size_t, size_t>>& told,
                             const std::set<size_t>& silent) const;
  // What damage may change (rule 5): takes from `missing` the objects changed where they
  // may change, and leaves in `extra` only those that restate one of the sample's
  // objects that may not.
  void LetDamageChange(const std::vector<TEdit>& edits, const std::vector<TReach>& reaches,
                       const std::set<size_t>& silent, const TObjectKeys& expected,
                       const TObjectKeys& kept, bool placed, TObjectKeys& missing,
                       TObjectKeys& extra);
  // The failure's message.
  std::string Failure(const TMutant& mutant, const std::vector<TEdit>& edits,
                      const std::vector<std::pair<size_t, size_t>>& told,
                      const std::vector<std::string>& added, const std::string& problems,
                      const TObjectKeys& missing, const TObjectKeys& extra, bool placed);
  std::string Describe(const TObjectKeys& keys, const std::vector<size_t>& units, bool placed);

  TKivoSample FSample;
  TImport FImport;
  THostileOutcome FSampleOutcome;
  TObjectKeys FSampleKeys, FSampleUnplaced;
  std::map<size_t, TUnitObjects> FUnitObjects;
  size_t FComponentLineEnd = 0;
  size_t FScaleFrom = 0, FScaleTo = 0;  // where an edit may change the unit or grid
  TFigures FFigures;
};

// The line of the report's warning as the oracle reads it: the number after " at line ",
// 0 when it names none.
int WarningLine(const std::string& warning);
// The report's warnings (load and import) that `sample`'s report does not hold, compared
// with their numbers written "#" (so that the sample's own are known again wherever
// they moved).
std::vector<std::string> NewWarnings(const std::string& report, const std::string& sample);
// Whether a warning says a block was read whole ("it was read", "it was applied"), which
// tells no loss.
bool PromisesWhole(const std::string& warning);
// Where each line of `text` begins, as the reader counts lines: a CR ends one, and an LF
// unless it follows a CR.
std::vector<size_t> ReaderLineStarts(const std::string& text);
// The lines a warning names, each as a span [first, last]: every number after "line" or
// "lines" (" at line 12", "lines 12 and 30", "line 12 and line 30"), "A to B" all of
// them.
std::vector<std::pair<long, long>> NamedLines(const std::string& warning);
// The key of the same object with the nets `renames` names renamed (and the text that
// shows such a net's name).
std::string RenamedKey(std::string key, const std::vector<TMutant::TNetRename>& renames);
