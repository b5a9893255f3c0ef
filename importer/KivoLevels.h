// The blocks of a KIVO file being read, what each reads, and how the reading recovers
// when the file's braces do not say where a block ends. One model for every level:
//
// The reader reads a stack of levels, one for each block it reads as a loop of items
// (COMPONENT, DETAIL, NET_DEF, N, DG, ...). What each level reads is data (TKivoLevelKind):
// the blocks it reads, and among them its structure, the blocks that hold objects or
// numbers and that a missing "}" may put elsewhere (not attribute or package blocks,
// which may hold anything and so are not looked for).
//
// A block met at a level is
// - read there, when the level reads it;
// - else read by the nearest enclosing level that reads it as structure: a "}" is taken
//   to be missing before it, the levels inside that one end there (told);
// - else told, with its line, at the report's default detail, and skipped.
//
// There is one skip. Whatever the reader passes over of a block (the rest of a block whose
// values it read, a block it reads by skipping, a block no level reads) is skipped the
// same way, looking for the blocks that an open level reads as structure: the first met
// ends the skip and the blocks left open around it, and its level reads it (told as
// above). What else the skip tells depends on what the skipped block holds (TKivoContent).
//
// The drawing state ([LY], [WD], [TS]...) is the reading's own, as attributes set it, and
// holds across blocks. Attributes that a skip passes on its way to a block it gives back,
// outside the blocks it passed whole, stand between that block and the level that reads
// it: they are applied before the block is read. Those directly inside a block of values
// or a block told as skipped are applied and told (the "}" the skip ended at may be
// another's); those of a block the reader reads by skipping it are not.
//
// Between a level's items, comments and attributes are read; any other text is passed
// over and told, once for each run of it.
//
// A quoted or bracketed value that holds braces or brackets of its own may be a stray
// quote's, which took those of the blocks after it: the first warning of a loss after
// it (a block not read or read elsewhere, stray text) names the value's line, unless a
// block read where it belongs came between (TakeBracedValue).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "importer/KivoDisplayAttribute.h"
#include "importer/KivoScanner.h"
#include "importer/KivoSource.h"

class TReportManager;

// What the levels ask of the reader whose blocks they read (TKivoFile): a block's
// keyword, the attributes met between and inside blocks, and where to tell what they
// find.
class TKivoLevelReader {
 public:
  // The keyword after a "{" just read.
  virtual int ReadKeyword() = 0;
  // An attribute, its "[" just read; applied when it is known to stand at a level read.
  virtual TKivoDisplayAttribute ReadAttribute() = 0;
  // Sets the drawing state as the attribute says, or tells why it does not.
  virtual void ApplyAttribute(const TKivoDisplayAttribute& attribute) = 0;
  // The report warnings go to; null for none.
  virtual TReportManager* GetReport() const = 0;
  // The line of the byte at `position`, for a warning.
  virtual int64_t LineAt(int64_t position) = 0;

 protected:
  ~TKivoLevelReader() = default;
};

// What a level of the reading reads.
struct TKivoLevelKind {
  std::string_view Name;  // its block's keyword
  TKivoKeywordSet Reads;
  TKivoKeywordSet Structure;  // of Reads, those looked for where a "}" is missing
  // How a warning names what the level reads: "sections" or "items" and their list;
  // an empty list for a block that reads no blocks (values, attributes or names).
  std::string_view What;
  std::string_view List;
};

// The levels of the reading, one for each block read as a loop of items. Blocks of the
// same keyword read apart (a pad definition's PIC and a component definition's) have
// kinds of their own.
namespace KivoLevel {
extern const TKivoLevelKind Component, Environment, Display, Detail, Annotate, Polygon, NetDef,
    Net, NetGraphics, PadStack, PadDefinition, PadPicture, PadAttributes, PadEntries, Subcomp,
    Definition, Pins, Pin, Picture, Instance, InstanceAttributes, Placement, Connections;
}  // namespace KivoLevel

// What a block being skipped holds, which decides what its skip tells besides the blocks
// it gives back.
enum class TKivoContent : uint8_t {
  // Values only: the rest of a block whose values were read (V, W, PT, DBUNIT...). What
  // is left in it is told: text, and a block, skipped; attributes in it are applied and
  // told, unless a value ran on over its line to them.
  Values,
  // Anything: a block the reader reads by skipping it (USER, SYMBOL, FL, PKG, a net's
  // ATR...). Nothing in it is told.
  Anything,
  // A block told as not read or left out: the nets, definitions, instances and pads lost
  // with it are told too; attributes directly in it are applied and told.
  Lost,
};

class TKivoLevels {
 public:
  // Reads the blocks of `file` for `reader`.
  TKivoLevels(TKivoLevelReader& reader, TKivoSource& file) : FReader(reader), FFile(file) {}
  TKivoLevels(const TKivoLevels&) = delete;
  TKivoLevels& operator=(const TKivoLevels&) = delete;

  // A level being read, for as long as its item loop runs.
  class TScope {
   public:
    TScope(TKivoLevels& levels, const TKivoLevelKind& kind);
    ~TScope() { --FLevels.FDepth; }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    TKivoLevels& FLevels;
  };

  // The innermost level's next block: true with its keyword's code once its "{" and
  // keyword are read (or once it was given back to this level); false at the level's "}"
  // or the end of the file, and while a block given back waits for an outer level.
  bool Next(int& code);
  // Whether the block Next answered last was given back to this level.
  bool GivenBack() const { return FGivenBack; }
  // The innermost level does not read the block `code` just met: the nearest enclosing
  // level that reads it as structure takes it (told), else it is told and skipped.
  void NotRead(int code);
  // Skips the rest of the block `code` (or of the block named `block`), which holds
  // `content`. False when the file ended inside it.
  bool Skip(int code, TKivoContent content) { return Skip(KivoKeywordText(code), content); }
  bool Skip(std::string_view block, TKivoContent content);
  // An attribute, just read, met at the end of the innermost level's list of values:
  // the level's, as one directly inside a block of values whose "}" came late; applied
  // and told.
  void AttributeInValues(const TKivoDisplayAttribute& attribute);
  // Whether the block skipped last held a block of `code` directly (a block of PIN_DEF
  // that holds PT or PLOC blocks was a pin).
  bool SkippedHeld(int code) const {
    return code > 0 && code <= KivoKeywordCount && FSkippedHeld[static_cast<size_t>(code)];
  }
  // Tells that the block `code`, just read, lies inside `block` and is read where it
  // stands (a "}" may be missing before it).
  [[gnu::cold]] void TellReadInside(int code, std::string_view block);
  // A block given back waits for the level that reads it: the levels inside it end, and
  // whatever reads values stops.
  bool Pending() const { return FPendingCode != 0; }
  // The section (a block directly inside COMPONENT) the file ended in; empty while the
  // reading met no end of the file inside one.
  const std::string& EndedInside() const { return FEndedInside; }
  // Whether Next answered false last at the end of the file.
  bool EndedAtEof() const { return FEndedAtEof; }
  const TKivoLevelKind& Innermost() const { return *FOpen[static_cast<size_t>(FDepth)].Kind; }

 private:
  class TSkipVisitor;
  struct TOpen {
    const TKivoLevelKind* Kind = nullptr;
    TKivoKeywordSet Watched;  // the structure of this level and every level around it
  };
  static constexpr int kMaxLevels = 16;

  // The nearest level, from `from` outward, that reads `code` as structure; -1 for none.
  int LevelReading(int code, int from) const;
  // Hands `code`, just read inside `block`, to level `level` (told): the levels inside
  // it end, and it reads the block next.
  [[gnu::cold]] void GiveBack(int code, int level, std::string_view block);
  // Tells the block just read, of keyword `code` and text `token`, that `block` does not
  // read: it reads `what` (`list`), or no blocks for an empty list.
  [[gnu::cold]] void TellNotRead(int code, const std::string& token, std::string_view block,
                                 std::string_view what, std::string_view list);
  // Tells the run of text outside any block that starts with the token just read.
  [[gnu::cold]] void TellStray();
  // Tells an attribute at `line` directly inside `block`, which was read as values (else
  // skipped); it was applied.
  [[gnu::cold]] void TellAttributeInside(int64_t line, std::string_view block, bool values);
  // Tells an attribute at `line` inside `block`, whose value ran on over its line to it:
  // it was not applied.
  [[gnu::cold]] void TellAttributeRanOnTo(int64_t line, std::string_view block);
  // The rest of a block of values, its values read: true once its "}" is read, blanks,
  // line ends and comment lines before it passed; false, reading nothing more, before
  // anything else, which is told unless it is a block or an attribute (the skip tells
  // those).
  bool EndOfValues(std::string_view block);
  // Notes that the file ended inside `block`, skipped at the innermost level, or inside
  // the section being read.
  void NoteEndedInside(std::string_view block);
  // What a warning of a loss adds when a value noted before it holds braces or brackets
  // of its own (TakeBracedValue): the value's line and its quote or "(", which may have
  // taken the blocks; empty for none.
  [[gnu::cold]] std::string BracedValueNote();

  TKivoLevelReader& FReader;
  TKivoSource& FFile;
  std::array<TOpen, kMaxLevels> FOpen{};
  int FDepth = -1;
  int FPendingCode = 0;
  int FPendingLevel = -1;
  bool FGivenBack = false;
  bool FEndedAtEof = false;
  bool FInStray = false;  // the items passed last were text outside any block
  std::string FEndedInside;
  TKivoKeywordSet FSkippedHeld;
  // The block, what it reads and its list of the last block told as not read, and what
  // its warning says after its line.
  std::string FNotReadBlock;
  std::string_view FNotReadWhat, FNotReadList;
  std::string FNotReadRest;
};
