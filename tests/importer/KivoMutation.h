// The material of the mutation campaign: a sample's blocks as the reader takes them,
// a mutant that remembers which of its bytes came from where in the sample, and the
// project's deterministic mutator.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A valid KIVO file taken apart into its blocks (braces outside comments; a sample holds
// no brace in a text or value). The blocks that the campaign compares by are named:
// sections (the top-level blocks but DETAIL, and the blocks of DETAIL), units (the
// objects of a section: annotation primitives, nets, component definitions and
// instances) and global blocks (the items of ENVIRONMENT and PAD_STACK, which every
// later object reads: layers, units, pads).
class TKivoSample {
 public:
  enum TRole { brOther, brSection, brUnit, brGlobal };
  struct TBlock {
    size_t Open = 0, Close = 0;  // its braces
    size_t Parent = npos;        // the block that holds it
    std::string Keyword;
    TRole Role = brOther;
    bool Skipped = false;  // the reader passes over it whole
  };
  static constexpr size_t npos = std::string::npos;

  explicit TKivoSample(std::string text);
  const std::string& GetText() const { return FText; }
  const std::vector<TBlock>& GetBlocks() const { return FBlocks; }
  // Where each "[" of an attribute stands, and each of "[LY".
  const std::vector<size_t>& GetAttributes() const { return FAttributes; }
  // Whether `at` lies in a comment (its line end excluded).
  bool InComment(size_t at) const;
  const std::vector<size_t>& GetLayerAttributes() const { return FLayerAttributes; }
  // The line end the file writes ("\r\n" or "\n").
  const std::string& GetLineEnd() const { return FLineEnd; }

  // The first character of the line holding `at`, and the end of that line (its line
  // end, or the end of the text).
  size_t LineStart(size_t at) const;
  size_t LineEnd(size_t at) const;
  // The line (from 1) that holds `at`.
  size_t LineOf(size_t at) const;
  // The text without the blocks `blocks` (indices; a block inside another goes with it).
  std::string Without(const std::vector<size_t>& blocks) const;
  // The block's indices of a role, in file order.
  std::vector<size_t> BlocksOf(TRole role) const;
  // The instances that belong to component definition `definition`: those after it in
  // its SUBCOMP before the next definition (an instance belongs to the definition read
  // last).
  std::vector<size_t> InstancesOf(size_t definition) const;

 private:
  std::string FText;
  std::vector<TBlock> FBlocks;
  std::vector<size_t> FAttributes, FLayerAttributes;
  std::vector<std::pair<size_t, size_t>> FComments;
  std::string FLineEnd;
};

// A mutant of a sample: its bytes, and for each byte the offset in the sample it came
// from (-1 for a byte the edits wrote). What the edits were for decides what the oracle
// lets the import lose (TMutationOracle).
struct TMutant {
  enum TKind {
    mkDamage,    // damage of any kind: the blocks it touches may be lost
    mkUnusual,   // valid but unusual (a brace in a value or comment of a skipped block,
                 // tab indentation): every object of the sample must stay
    mkMustTell,  // damage that the reader must tell (an instance of a definition the file
                 // does not have, a layer the file does not declare): nothing may be lost
                 // untold, not even inside the edited block
    mkMustName,  // a name that refers to nothing, a definition given twice, a value that
                 // is none of its field's, a connection list that reads two ways or falls
                 // short: as mkMustTell, and what the edit decides may differ from the
                 // sample's only where a new warning names the edited lines (Namings)
  };
  explicit TMutant(const std::string& sample);
  void Insert(size_t at, const std::string& bytes);
  void Erase(size_t at, size_t count);
  void Change(size_t at, char byte);
  void Cut(size_t length);

  std::string Text;
  std::vector<int32_t> Origin;
  TKind Kind = mkDamage;
  std::string What;  // the targeted edit, for the failure's message
  // A text value a valid edit changed: the T block at `At` of the sample reads `To`
  // instead of `From`, and its objects must show it.
  struct TTextChange {
    size_t At;
    std::string From, To;
  };
  std::vector<TTextChange> TextChanges;
  // Damage that states something twice: even when the import keeps every object, it
  // must tell it.
  bool MustWarn = false;
  // What a mkMustName edit decides: the objects of the unit holding the sample's offset
  // `Unit` (npos: of the whole board). Where they differ from the sample's (or `Always`),
  // one new warning names the lines of all the mutant's offsets `At`.
  struct TNaming {
    std::vector<size_t> At;
    size_t Unit = std::string::npos;
    bool Always = false;
  };
  std::vector<TNaming> Namings;
  // A net the edits renamed everywhere: its objects are expected under the new name.
  struct TNetRename {
    std::string From, To;
  };
  std::vector<TNetRename> NetRenames;
  // An instance (its I block's "{" at `At` of the sample) given another designator: its
  // objects are expected under it.
  struct TDesignatorChange {
    size_t At;
    std::string From, To;
  };
  std::vector<TDesignatorChange> Designators;
  std::string Edit = "damage";  // the edit that made it: "damage" or a targeted edit's name
};

// The project's deterministic mutator: each call makes one mutant of a sample. Most
// mutants take one to four edits of damage: bit flips, byte inserts and deletes, a
// duplicated chunk, an injected brace, bracket or quote, a number made hundreds of
// digits long, a cut, a brace, bracket or parenthesis inside a comment or a string, a
// number beyond the 32-bit range (or no number, or -1), a "}" moved to the end. One in
// three takes one targeted edit instead. Valid ones: a brace quoted or escaped in a
// value of a block the reader skips, a comment line holding a brace inside such a
// block, lines indented by tabs, a tab or a brace inside a text, a text continued on a
// line that starts with "%" or holds a "}", a "}" moved one line over nothing but
// blanks and braces, a comment line right before a value. Damage that must be told: an
// instance naming a definition the file does not have, a misspelt layer, a "}" trimmed
// at a line's end or moved one line, a block's name misspelt, an odd byte after a "{",
// a text continued on a line holding a "{", and ENVIRONMENT or PAD_STACK given twice.
// Damage that must name its lines: a reference renamed to an undefined name, a
// definition given twice with other contents, another word in an enumerated or numeric
// field, a net named as a pin that starts a connection list, a connection list short of
// a name.
class TKivoMutator {
 public:
  explicit TKivoMutator(uint64_t seed) : FState(seed) {}
  TMutant Mutate(const TKivoSample& sample);
  uint64_t Next();

  // The targeted edits, one each (`choice` modulo the places the sample offers picks
  // the place, the quotient the way of editing it); false when the sample offers no
  // place for it.
  static bool BraceInSkippedValue(const TKivoSample& sample, size_t choice, TMutant& mutant);
  static bool BraceOnCommentLine(const TKivoSample& sample, size_t choice, TMutant& mutant);
  static bool IndentByTabs(const TKivoSample& sample, size_t firstLine, size_t lines,
                           TMutant& mutant);
  static bool UnknownDefinition(const TKivoSample& sample, size_t choice, TMutant& mutant);
  static bool UndeclaredLayer(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // A "}" that ends a line: removed, or moved to the end of the next line or of the line
  // before.
  static bool TrimClosingBrace(const TKivoSample& sample, size_t choice, TMutant& mutant);
  static bool MoveClosingBrace(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // A block's name misspelt (its last letter doubled, an "X" put before it, its "_"
  // dropped or a middle letter doubled), at any level outside the blocks the reader skips.
  static bool MisspellBlock(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // A no-break space, form feed, vertical tab or NUL right after a block's "{".
  static bool OddByteAfterBrace(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // The quoted value of a text (T in ANNOTATE, nets and component pictures), a character
  // of it replaced: by a tab; by a "}", "]" or "{"; by a "%" that starts a second line
  // it is continued on, or by a "}" or "{" that ends that line (the last one damage that
  // must be told).
  static bool TabInText(const TKivoSample& sample, size_t choice, TMutant& mutant);
  static bool BraceInText(const TKivoSample& sample, size_t choice, TMutant& mutant);
  static bool TextOverTwoLines(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // ENVIRONMENT or PAD_STACK written again right after itself.
  static bool SectionTwice(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // Damage to be named (mkMustName). A reference renamed to a name the file does not
  // define: a pad-stack entry's pad definition, a pin's or via's pad-stack index, a
  // connection's net.
  static bool UndefinedReference(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // A definition given again with other contents, right before or after the first: a pad
  // definition, component definition, pad-stack entry, net, DBUNIT, DBGRID, a layer name
  // of LYRSTR, an instance's designator. Told with both lines even where nothing differs.
  static bool DefinitionTwice(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // Another word in an enumerated or numeric field: PS, MR, UN, SMD, DBUNIT, TJ, TM, LS
  // (the value with a blank after or before it, in lower case, after a "Q", or empty);
  // ORG, PL, NL, SC, RO, PA, PT, PLOC, DBGRID, WD, TS, TR ("X", a letter after or before
  // the number, the number quoted with a blank, a half where a whole number stands); the
  // drill text (a blank after or before the number, a letter before or after it).
  static bool ForeignValue(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // A net renamed everywhere to the name of a pin of an instance whose connection list by
  // position it starts: the list then starts with a pin's name that is a net too.
  static bool NetNamedAsPin(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // A connection list short of its last name.
  static bool ShortConnectionList(const TKivoSample& sample, size_t choice, TMutant& mutant);
  // Valid but unusual: a comment line right before a value (any token of a block or an
  // attribute after its keyword).
  static bool CommentBeforeValue(const TKivoSample& sample, size_t choice, TMutant& mutant);

 private:
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }
  void Damage(TMutant& mutant);
  bool Target(const TKivoSample& sample, TMutant& mutant);
  uint64_t FState;
};
