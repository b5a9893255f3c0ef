// The KIVO reader: reads one KIVO file from start to end into the import model (the
// board component's environment and detail, with the drawing state every primitive
// takes over). What it cannot read goes to the report manager as load warnings; the
// host's progress indicator runs while it works. `Load` is the whole import: it reads,
// then hands the model to the import driver (TKivoImport, KivoImport.h), which works
// inside the host's board-modify bracket; the progress indicator is finished on every
// way out.
//
// A number that cannot be read counts as -32000, but an object whose coordinates or
// size could not be read or lie beyond the board's 32-bit range, or whose radius or
// size is negative, or a polygon without outline points, is left out with a load
// warning naming its line (that of the first number that could not be used): placed,
// it would stand far off the board (or clamped to its edge) and move the whole board's
// origin. So is a graphic or pin of a component that its placement would carry beyond
// the range (for that placement). A value of an enumerated or numeric field that is
// none of its field's values (an unreadable rotation, a PS other than T and B...) is
// told with what was used, by one table of the fields (KivoValueFields.h, TellValue); a
// pad-stack index that no PAD of the file's pad stack holds is told too.
//
// Damage to the blocks is told and read past, as one model does it for every level
// (KivoLevels.h): a block met where its level does not read it is read by the enclosing
// level that does (a "}" missing before it) or told and skipped; one skip, looking for
// the blocks being read, passes over what the reader does not read; attributes on the
// way to a block given back are applied before it. A value whose "(" runs on over a line
// holding a brace ends before that brace and is left out, and an attribute whose "]" is
// missing ends there too (or at the next attribute); the block of such a value stays
// open to its own "}". What a block holds after the values it reads is told, and so is a
// quoted value its quote leaves open. A text is the file's characters from its value's
// start to its position, or told (ParseText).
//
// The reading loops end quietly at the end of the file; a file that ends while a block
// is still open (cut short, or short of closing braces) gets one load warning naming
// the line it ends at and the section it ends in.
//
// A tab reads as a blank between tokens (files indented with tabs read as with blanks).
//
// Coordinates: a file value becomes the nearest integer (ties to even) to
// value × unit scale × grid. A DBGRID of 0, none, or one that is not a whole number would
// put every object at the origin, and a negative one turn the board about it and refuse
// every width: it is told and a grid of 1 (or the negative one's size) is used. A DBUNIT
// the importer does not know is told; what is drawn while no known unit was given cannot
// be placed and is left out, told once with its count.
//
// An instance belongs to the definition its first word names (ignoring case): the most
// recent one when it has that name, else the latest of that name read before it in the
// file; an instance of a definition the file does not have before it is left out, told.
//
// A definition given again otherwise than before is told with both lines, and a
// reference to nothing with its line (KivoReferences.h, which says which one holds): a
// PAD_DEF, a PAD's index, a COMP_DEF, a pin's name, a LYRSTR name and an ENVIRONMENT
// value (DBUNIT, DBGRID...) given twice; a PAD naming a pad definition its PAD_STACK does
// not give, and a pin's or via's index in a file without PAD_STACK.
//
// Objects drawn on a layer that no LYRSTR entry declares are not translated: each such
// layer is told once, at the end of the reading (an ENVIRONMENT after the DETAIL still
// declares), with the line of its first [LY] and the count of objects left out. A [LY]
// whose value cannot be read sets no layer, so that what follows is left out rather
// than drawn on the layer before; its warning counts those objects. So is a layer other
// than the pads' own that pad definitions draw on. A second ENVIRONMENT, a second
// PAD_STACK (whose pads are not used) and an instance without designator are told. A
// pin left out keeps its place in net lists by position.
//
// What stands where a block's name or the values of its lists are read is taken as what
// it is, or told (KivoReadValues.cpp): a comment line there is passed, a quoted name is
// what its quotes hold, and an attribute is no name or value: told, it holds for that
// block alone. What the translation finds given twice or not given is told after it with
// the lines it was read at (TKivoTranslationNotes): a net named as one before (without
// regard to case, as the host names nets), whose objects join that net; a designator
// given twice (both components imported); a pin connected to a net the file does not
// define; a name of a connection list that connects no pin.
//
// The reading is split by concern: KivoFile.cpp reads the file's numbers and values and
// drives the reading, KivoLevels.cpp recovers from damage, KivoReadValues.cpp reads the
// names and values of blocks, KivoReadLayers.cpp counts and tells the layers drawn on,
// KivoReadSections.cpp, KivoReadGraphics.cpp, KivoReadNets.cpp, KivoReadPads.cpp and
// KivoReadComponents.cpp read the blocks they name, and KivoReadReferences.cpp tells what
// the references and definitions leave unresolved.
#pragma once

#include <cassert>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "classlib/ShortString.h"
#include "classlib/StringList.h"
#include "classlib/TextFile.h"
#include "importer/KivoArena.h"
#include "importer/KivoBoardComponent.h"
#include "importer/KivoDisplayAttribute.h"
#include "importer/KivoGroups.h"
#include "importer/KivoLayerRecords.h"
#include "importer/KivoLevels.h"
#include "importer/KivoPads.h"
#include "importer/KivoPrimitives.h"
#include "importer/KivoReadingHooks.h"
#include "importer/KivoReferences.h"
#include "importer/KivoSource.h"
#include "importer/KivoTokenizer.h"
#include "importer/KivoValueFields.h"
#include "importer/PadStackMapRecord.h"
#include "pcb/PcbBoard.h"

class TReportManager;

// The board-units factor of a DBUNIT value and whether it reads real coordinates.
struct TKivoUnit {
  uint8_t Code = 0;  // 0 unknown
  double Scale = 0;
  bool RealCoordinates = false;
};
// "CMM", "MM", "UM", "CENTIMIL", "MIL" (exact); `version` decides MIL: a KIVOVREV
// beginning with "4" reads integer coordinates.
TKivoUnit KivoUnitOf(const std::string& value, const std::string& version);
// The nearest integer to value × scale × grid, ties to even, saturated to int32.
int32_t KivoCoordinate(double value, double scale, int32_t grid);

class TKivoFile final : public TObject, private TKivoLevelReader {
  KIVO_CLASS(TKivoFile, TObject)

 public:
  // Answers the options of one import the way the options dialog does: fills the layer
  // map's host layers and the pad-stack map; true for OK.
  using TImportOptionsHandler = std::function<bool(TKivoFile& reader, PadStackMapRecord& map)>;

  // A board handle of 0 stands for the host's board open under `fileName`. The board
  // proxy loads itself from the host. `controls` are a test's (KivoReadingHooks.h); the
  // plug-in's readers are made without.
  TKivoFile(const std::string& fileName, uint32_t boardHandle,
            const TKivoReadingControls& controls = {});
  // A reader alone, for tests and tools that read without importing: it asks the host
  // for no board and shows nothing; only ReadModel may be called, not Load.
  struct TReadOnly {};
  TKivoFile(const std::string& fileName, TReadOnly, const TKivoReadingControls& controls = {});
  ~TKivoFile() override;

  void SetReport(TReportManager* report) { FReport = report; }
  TReportManager* GetReport() const override { return FReport; }

  // The whole import; exceptions pass to the caller.
  void Load();
  // Only the reading of the file into the model, with the load warnings of the report
  // attached, and no box: false when the file's first block is no COMPONENT (recorded
  // in the report as Load does). Exceptions pass to the caller.
  bool ReadModel();

  int32_t ReadNextKivoCoord();
  int32_t ReadKivoCoord();

  // A set handler answers the options of every import instead of the dialog (tests and
  // tools import headless through it); an empty one gives the dialog back.
  static void SetImportOptionsHandler(TImportOptionsHandler handler);

  bool GetAborted() const { return FAborted; }
  bool GetRealCoordinates() const { return FRealCoordinates; }
  TKivoDisplay& GetDisplay() { return FDisplay; }
  TKivoBoardComponent& GetBoardComponent() { return *FBoardComponent; }
  TPcbBoard& GetBoard() {
    assert(FBoard && "a reader made TReadOnly has no board");
    return *FBoard;
  }
  // The pad-stack map the options fill and the model reads, made on first use.
  PadStackMapRecord& GetPadStackMap();
  std::string GetFileName() const { return FFileName.Str(); }

 private:
  // --- Reading the file's tokens, values and numbers (KivoFile.cpp) ---
  // Opens the file for reading and hands the display the report.
  void BeginReading();
  // Reads the file into the model; a first block that is not COMPONENT aborts (with the
  // error box unless the reader is TReadOnly).
  void Read();
  // The end of the file, where no brace is left held back to be read.
  bool AtEnd();
  int ReadWord();
  // The COMPONENT block's name, which is not kept.
  void SkipComponentName();
  // A name: a word, also one that starts with a character that ends words ("+5V").
  int ReadName();
  // A name or a name of a list that begins with "(", the "(" next: read as a skip reads
  // it, a bracketed value (ReadValue, told as `item`), kept with its brackets and the
  // characters of a word glued after its ")" ("(NC)", "(NC)2"). False, with `name`
  // empty, for one that ran over its line.
  bool ReadBracketedName(const char* item, std::string& name);
  // The keyword after a "{": a word, glued to the odd character it starts with (a form
  // feed, a NUL...) so that a warning names it whole; kwEmpty, reading nothing, before
  // a brace or a bracket. One that begins with a quote or "(" is a quoted or bracketed
  // value, passed whole as a skip passes it (ReadValueToken).
  int ReadKeyword() override;
  // A string value into `value`; false, with `value` empty, for one that ran over its
  // line (HeldBraceRanOver): it is told as `item` left out (not told when `item` is null).
  // A quoted or bracketed value whose quote or "(" is left open on its line is kept as
  // read, up to the bracket that ended it, and told; so is one cut to its first
  // KivoMaxTokenLength characters (neither when `item` is null).
  bool ReadValue(const char* item, std::string& value);
  // Tells the value `value`, named `item`, read at `position`, cut to its first
  // KivoMaxTokenLength characters.
  [[gnu::cold]] void ReportValueCut(int64_t position, const std::string& item,
                                    const std::string& value);
  // The board coordinate of a file value; one beyond the 32-bit range makes the object
  // unplaceable (FBeyondRange).
  int32_t ToCoordinate(double value);
  // Starts an object's numbers: forgets earlier unreadable ones.
  void BeginObject() {
    FUnreadable = FBeyondRange = FUnscaled = false;
    FUnreadableAt = -1;
  }
  // A number since BeginObject, just read, could not be read or placed: the first one's
  // place is kept for the warning.
  void NoteUnreadable() {
    if (!FUnreadable)
      FUnreadableAt = FFile.Position() - 1;
    FUnreadable = true;
  }
  // Why the numbers read since BeginObject do not place an object; null when they do.
  const char* UnplaceableReason() const;
  // Whether the object read since BeginObject may be placed; otherwise a load warning
  // names `object`, the line and the reason (an unreadable number before `reason`).
  bool Placeable(const char* object, bool refused = false, const char* reason = "") {
    return PlaceableDescribed([object] { return std::string(object); }, refused, reason);
  }
  // The same for an object whose name `describe()` makes: only for the warning, not for
  // each of the millions of objects that are placed.
  template <class F>
  bool PlaceableDescribed(F&& describe, bool refused = false, const char* reason = "") {
    if (!FUnreadable && !refused && !FUnscaled)
      return true;
    if (!FUnreadable && !refused)
      NoteUnscaled();  // told once for all (ReportUnscaled)
    else
      ReportLeftOut(describe(), reason);
    return false;
  }
  // An object left out because no known unit came before its coordinates; and the one
  // warning that tells them all, at the end of the reading.
  [[gnu::cold]] void NoteUnscaled();
  void ReportUnscaled();
  // Sets FNoScale after the unit or the grid changed.
  void CheckScale() { FNoScale = FDisplay.GetUnitScale() == 0 || FDisplay.GetGrid() == 0; }
  // Placeable, for an object that the translation places by the display's layer: one
  // kept counts against the current layer's record.
  bool Kept(const char* object, bool refused = false, const char* reason = "") {
    if (!Placeable(object, refused, reason))
      return false;
    CountOn(Counting());
    return true;
  }
  template <class F>
  bool KeptDescribed(F&& describe) {
    if (!PlaceableDescribed(std::forward<F>(describe)))
      return false;
    CountOn(Counting());
    return true;
  }
  void ReportLeftOut(const std::string& object, const char* reason);
  [[gnu::cold]] void ReportLeftOutAt(int64_t position, const std::string& object,
                                     const char* reason);
  // The line of the byte at `position`, for a warning.
  int64_t LineAt(int64_t position) override;
  // The load warning of a file that ends while `block` (the section it ends in) is open.
  void ReportEndedInside(const std::string& block);

  // --- A block's name and the values of its lists (KivoReadValues.cpp) ---
  // What stands where a block's name or a value of its list is read is taken as what it
  // is, or told. Comment lines there are passed, as between blocks. An attribute there
  // is no name or value: one that a name or value follows is the block's, told, and
  // holds for that block alone (TBlockAttributes); one that the block's end or a block
  // follows is read as it would be there: in a list of values as one directly inside a
  // block of values whose "}" came late (applied, told), before a block's items as one
  // of its items.
  //
  // Passes what stands before the name (`name`) or the next value of the block `code`,
  // and answers the character the name or value begins with, held back or next: "{" or
  // "}" also where a value that ran over ended, and 0 at the end of the file.
  int PassToValue(int code, bool name);
  // A block's name, its first word, or what a quoted name's quotes hold; empty where
  // the block's items or its end come first (or the quotes hold nothing). An empty name
  // names nothing: it is told, with the block's line and what the block's reading does
  // without it (`withoutName`), unless that is null (the caller tells it).
  std::string ReadBlockName(int code, const char* withoutName);
  [[gnu::cold]] void ReportNameless(int code, int64_t position, const char* withoutName);
  // Tells that `value` of `field` (KivoValueFields.h), read at `position`, of `object`
  // when it is not empty, is none of the field's values, with what was used: the row's,
  // with `used` in place of its "%s". An empty value is told as none.
  [[gnu::cold]] void TellValue(TKivoField field, std::string_view value, int64_t position,
                               std::string_view object = {}, std::string_view used = {});
  // What stands where the number just read (ReadIntegerValue, ReadFloatValue) could not
  // be: its token; or a quoted or bracketed value that begins there, which is read (it
  // stands in the number's place), with its quotes or brackets ("\"5\""); or the word
  // there up to a blank or a bracket; empty for none.
  [[gnu::cold]] std::string ReadNumberText();
  // ReadValue, ReadIntegerValue and ReadFloatValue for the values of the block `code`.
  bool ReadListValue(int code, const char* item, std::string& value);
  int32_t ReadListInteger(int code);
  double ReadListFloat(int code);
  // The same for a value of `field` (KivoValueFields.h): one that is no number is told
  // (TellValue); ReadListWhole answers -32000 for it, ReadListNumber none.
  int32_t ReadListWhole(int code, TKivoField field);
  std::optional<double> ReadListNumber(int code, TKivoField field);
  // The whole number of a string value `value` of `field` (TryKivoWholeNumber); -32000,
  // told, for one that is none.
  int32_t WholeOfValue(std::string_view value, TKivoField field);
  // Made where the reading of a block begins: at the block's end, puts back the drawing
  // state that attributes met among its name and values changed, unless an attribute
  // of the same key changed it again meanwhile (which holds after the block, as in a
  // valid file).
  class TBlockAttributes {
   public:
    explicit TBlockAttributes(TKivoFile& reader)
        : FReader(reader), FMark(reader.FBlockAttributes.size()), FOuterMark(reader.FBlockMark) {
      reader.FBlockMark = FMark;
    }
    // Puts nothing back while an exception passes (the reading has ended).
    ~TBlockAttributes() noexcept(false) {
      FReader.FBlockMark = FOuterMark;
      if (__builtin_expect(FReader.FBlockAttributes.size() > FMark, 0))
        FReader.EndBlockAttributes(FMark);
    }
    TBlockAttributes(const TBlockAttributes&) = delete;
    TBlockAttributes& operator=(const TBlockAttributes&) = delete;

   private:
    TKivoFile& FReader;
    size_t FMark, FOuterMark;
  };
  // The character a name or value would begin with (PassToValue), comment lines passed.
  int NextValueCharacter();
  // The attributes before a name or value, the first one's "[" next (PassToValue).
  [[gnu::cold]] int PassAttributes(int code, bool name);
  // Applies an attribute that holds for the block being read alone, and tells it.
  [[gnu::cold]] void ApplyBlockAttribute(const TKivoDisplayAttribute& attribute, int code,
                                         bool name);
  // An attribute of `key` applied: the drawing state it sets holds after the blocks
  // whose own attributes set it before.
  [[gnu::cold]] void NoteAttributeApplied(int key);
  // Puts back what the attributes of a block, from `mark` on, set.
  [[gnu::cold]] void EndBlockAttributes(size_t mark);

  // --- Sections, the display and its attributes (KivoReadSections.cpp) ---
  void ParseSections();
  void ParseEnvironment();
  // DBGRID's value into the display and the environment: one of 0 or not a whole number
  // is told and taken as 1, a negative one is told and taken as its size.
  void ReadGrid();
  // At the start of the DETAIL section: without a DBGRID the grid is taken as 1, told;
  // without a known DBUNIT what it draws is left out (ReportUnscaled).
  void CheckUnitScale();
  void ParseDisplay();
  // An attribute, its "[" just read: read and applied.
  void ParseDisplayAttribute() { ApplyAttribute(ReadAttribute()); }
  TKivoDisplayAttribute ReadAttribute() override;
  // Sets the drawing state as the attribute says, or tells why it does not.
  void ApplyAttribute(const TKivoDisplayAttribute& attribute) override;
  // An attribute whose number is none (OtherValue), with what stood there; and the
  // warning of an attribute whose value is none of its key's values.
  [[gnu::cold]] void NoteOtherNumber(TKivoDisplayAttribute& attribute);
  [[gnu::cold]] void TellOtherValue(const TKivoDisplayAttribute& attribute);
  void ParseDetail();
  // ANNOTATE, NET_DEF, PAD_STACK or SUBCOMP; false for any other code.
  bool ParseDetailSection(int code);
  // What is told of layers at the end of the reading: how many of the objects the reader
  // kept were drawn on each layer set by [LY] (objects that the translation places by the
  // layer; not the graphics of pad definitions, placed through the pad-stack map), and
  // after each [LY] whose value could not be read, until the next [LY]. A layer's record
  // is made when its first object is counted, with the line of the [LY] before it: a file
  // of [LY] of names without end, drawn on or not, keeps no record for each. Each [LY]
  // whose value could not be read is told, and is kept in 8 bytes; those that objects
  // were drawn after have their counts beside. The records of named layers are small
  // (TKivoLayerRecords), and of the layers told, the first ten of each warning are told
  // one by one and the rest in one line (KivoReadLayers.cpp).
  using TLayerCounts = TKivoLayerCounts;
  // The display's layer: none (before the first [LY]), one named by the display, or the
  // value of a [LY] that could not be read.
  struct TLayerState {
    enum TKind : uint8_t { lsNone, lsNamed, lsUnreadable };
    TKind Kind = lsNone;
    int64_t At = 0;       // where its [LY] was read
    size_t Unreadable = 0;  // lsUnreadable: its entry of FUnreadableLayers
    TLayerCounts* Counts = nullptr;  // lsUnreadable: its counts, once an object counted
  };
  // The display's layer name from [LY] at `position`.
  void SetLayer(const std::string& name, int64_t position) {
    if (__builtin_expect(FLayer.Kind == TLayerState::lsNamed && IsDisplayLayer(name), 1))
      return;
    FDisplay.SetLayerName(name);
    FLayer = {TLayerState::lsNamed, position};
    FCountingKnown = false;
  }
  // Whether the display's layer name is `name`, as it keeps it (its first 255 characters).
  bool IsDisplayLayer(const std::string& name) const {
    const std::string& current = FDisplay.LayerNameRef();
    return name.size() <= 255 ? name == current : name.compare(0, 255, current) == 0;
  }
  // The counts kept objects count on now: the display's layer's, or, in a pad definition,
  // those of a layer pads are not made of, else none.
  TLayerCounts* Counting() {
    return __builtin_expect(FCountingKnown, 1) ? FCounting : ResolveCounting();
  }
  [[gnu::cold]] TLayerCounts* ResolveCounting();
  // A [LY] at `position` whose value could not be read, for `reason`: no layer.
  [[gnu::cold]] void SetUnreadableLayer(int64_t position, const char* reason);
  // Counts an object kept (just read) while `layer` was the counting record.
  void CountOn(TLayerCounts* layer) {
    if (!layer)
      return;
    layer->LastAt = FFile.Position();
    if (layer->Count++ == 0)
      layer->FirstAt = layer->LastAt;
  }
  // The warnings of undeclared layers and unreadable [LY] values that objects were drawn on.
  void ReportLayers();
  // The records of `layers` to tell (`undeclared`: those no LYRSTR entry declares, else
  // those of pad definitions) that objects were drawn on, in the order of their [LY]:
  // the first ten, then the rest together (TLayersTold, KivoReadLayers.cpp).
  struct TLayersTold;
  TLayersTold LayersToTell(const TKivoLayerRecords& layers, bool undeclared);

  // --- Graphic primitives (KivoReadGraphics.cpp) ---
  // The graphic primitives of a block read as `kind` (ANNOTATE, a definition's or a pad
  // definition's PIC) into `list`; the blocks of `skipped` are read by skipping them.
  void ParseGraphics(const TKivoLevelKind& kind, TKivoObjectList& list,
                     std::initializer_list<int> skipped);
  // One graphic primitive of a graphics block by its code; false when it is none.
  bool ParseGraphic(int code, TKivoObjectList& list);
  // The points of the line of keyword `code` (L or W), to its "}".
  void ReadLineVertices(int code, TKivoLine& line);
  // A point and the points after it up to the block's "}" (true) or something that is no
  // number (false, read up to it): a comment line is passed.
  bool ReadPolyPoints(std::vector<TKivoPoint>& points);
  void ParsePoly(TKivoPoly& poly);
  // False when it was left out for its value (told): one that ran over its line or whose
  // quote is left open. A text that goes on past its value to its position, or is cut, is
  // told.
  bool ParseText(TKivoText& text);
  // Tells the text read at `position` cut to its first `kept` characters.
  [[gnu::cold]] void ReportTextCut(int64_t position, const std::string& text, size_t kept);
  void ReportPolygonVoid();
  void ReportCircleVoid();

  // --- Nets (KivoReadNets.cpp) ---
  void ParseNetDef();
  void ParseNetGraphics(TKivoNetObject& net);

  // --- The pad stack (KivoReadPads.cpp) ---
  // A PAD_STACK section: a second one is read and told (the translation uses the first).
  void ParsePadStack();
  void ReadPadStack(TKivoPadStack& stack);
  void ParsePadDefinition(TKivoPadStack& stack);
  void ParsePadAttributes(TKivoPadDef& definition);
  // A text of a pad definition kept, read at `position`: one on "DRILL" that is no whole
  // number is noted, and told at the definition's end with the hole used (TellHole),
  // as is a through-hole definition, read at `position`, that gives no hole (unless no
  // pad record can name it).
  [[gnu::cold]] void NoteDrillText(const TKivoText& text, int64_t position);
  void TellHole(const TKivoPadDef& definition, int64_t position);
  // The pad-stack index read at `position` for the object `describe()` names: an
  // unreadable one is told now; whether the file's pad stack holds it is checked once
  // the pad stack is read. `pin`: pins of the indices that make small pads by rule are
  // not checked.
  // An unreadable one is told with `text`, what stood there.
  template <class F>
  void CheckPadStackIndex(int32_t index, bool readable, std::string_view text, bool pin,
                          int64_t position, F&& describe);
  struct TPendingIndex {
    int32_t Index;
    int64_t Position;
    std::string Object;
  };
  // What CheckPadStackIndex does for an index not plainly known.
  [[gnu::cold]] void CheckPadStackIndexFurther(TPendingIndex index, bool readable,
                                               std::string_view text, bool pin);
  // The indices of the file's first pad stack, once it is read; and the checks of the
  // indices met before.
  [[gnu::cold]] void KeepPadStackIndices(const TKivoPadStack& stack);
  void CheckPendingPadStackIndices();
  // An index that no PAD of the pad stack holds, or any index of a file without PAD_STACK.
  [[gnu::cold]] void ReportUnknownPadStackIndex(const TPendingIndex& index);

  // --- Component definitions and instances (KivoReadComponents.cpp) ---
  void ParseSubcomp();
  void ParseComponentDefinition(TKivoComponent& definition);
  void ParsePins(TKivoComponent& definition);
  // An instance of the definition its first word names; `latest` is the SUBCOMP's most
  // recent definition (none before its first).
  void ParseInstance(TKivoComponent* latest);
  // The definition named `name` (ignoring case) for an instance: `latest` when it has
  // that name, else the latest of that name read so far; none when the file has none.
  TKivoComponent* DefinitionNamed(TKivoComponent* latest, const std::string& name);
  // The attributes of the definition's most recent instance; skipped while it has none.
  void ParseInstanceAttributes(TKivoComponent& definition);
  void ParseInstanceEntries(TKivoInstance& instance);
  void ParseConnections(TKivoInstance& instance);
  // Tells what the translation noted (TKivoTranslationNotes), with the lines of the file
  // it was read at.
  void ReportTranslationNotes(const TKivoTranslationNotes& notes);

  // --- References and definitions (KivoReadReferences.cpp, KivoReferences.h) ---
  // Tells `subject`, a definition of kind `kind` read at `position`, given before at
  // `first`: the first holds.
  [[gnu::cold]] void ReportGivenTwice(const std::string& subject, int64_t position, int64_t first,
                                      TKivoReferenceKind kind);
  // The same with the lines of both counted already.
  [[gnu::cold]] void ReportGivenTwiceAtLines(const std::string& subject, int64_t line,
                                             int64_t firstLine, TKivoReferenceKind kind);
  // The file's first pad stack, once read: its PAD_DEF names and PAD indices given twice,
  // and the names of its PAD entries that it does not define.
  [[gnu::cold]] void CheckPadStackReferences(const TKivoPadStack& stack);
  // The pin names of `definition` given twice (FPinAt holds where its pins were read).
  void CheckPinNames(const TKivoComponent& definition);
  // A LYRSTR name of layer id `id` read at `position`: told when given before otherwise.
  void CheckLayerName(const std::string& name, int32_t id, int64_t position);
  // Whether ENVIRONMENT's entry `code` (of one value), read at `position` with `value`, is
  // the file's first: a later one is not used, and told as `subject` of kind `kind` when
  // its value is another.
  bool FirstEnvironmentValue(int code, int64_t position, const std::string& value,
                             const std::string& subject, TKivoReferenceKind kind = rkEnvironmentValue);
  // ENVIRONMENT's entry `code` as first given; null when it was not.
  struct TEnvironmentValue {
    int Code;
    int64_t Position;
    std::string Value;
  };
  const TEnvironmentValue* EnvironmentValue(int code) const;
  // Leaves out, for `instance` only, what its placement would carry beyond the board's
  // range; told with the line at `position`.
  [[gnu::noinline]] void CheckPlacedChildren(TKivoComponent& definition,
                                             TKivoInstance& instance, int64_t position);

  ShortString<255> FFileName;
  // The file with the tokenizer's and the scanner's state of its reading.
  TKivoSource FFile;
  std::unique_ptr<TPcbBoard> FBoard;
  TReportManager* FReport = nullptr;
  bool FAborted = false;
  bool FRealCoordinates = false;
  // The blocks being read and the reading's recovery.
  TKivoLevels FLevels{*this, FFile};
  std::vector<TKivoPoint> FPointScratch;  // the vertices of the line being read
  std::vector<std::string> FNameScratch;  // the net names of the connection list being read
  bool FUnreadable = false;   // a coordinate since BeginObject was not a number, or not in range
  int64_t FUnreadableAt = -1;  // where the first of them was read; -1: where it is told
  bool FBeyondRange = false;  // ... and it was one beyond the board's range
  // No known unit (or no grid) yet: coordinates cannot be placed. FUnscaled: a
  // coordinate was read so since BeginObject. Counted objects left out for it, and where
  // the DETAIL block without a unit began (-1 for none).
  bool FNoScale = true;
  bool FUnscaled = false;
  int64_t FUnscaledCount = 0, FUnscaledFirst = 0, FUnscaledLast = 0;
  int64_t FNoUnitAt = -1;
  int64_t FEnvironmentAt = -1;  // where the first ENVIRONMENT block was read
  std::unique_ptr<TLineCounter> FLines;   // made for the first warning naming a line
  std::unordered_set<const TKivoInstance*> FLeftOutInstances;  // of the SUBCOMP being read
  int64_t FPlacementAt = 0;   // where the placement of the instance being read was read
  // The pad records' indices of the file's first pad stack (the one the translation
  // uses), sorted, once it is read; and the checks of indices met before.
  std::optional<std::vector<int32_t>> FPadIndices;
  std::vector<TPendingIndex> FPendingIndices;
  int64_t FPadStackAt = -1;  // where the first PAD_STACK block was read
  // The component definitions read so far by their upper-cased names, the latest of each.
  std::unordered_map<std::string, TKivoComponent*> FDefinitions;
  // Where the pins of the definition being read were read, by their index; and the order
  // CheckPinNames sorts them in.
  std::vector<int64_t> FPinAt;
  std::vector<uint32_t> FPinOrder;
  // The LYRSTR names read, upper-cased, with the first of each: where it was read, its
  // layer id and its name as written.
  struct TLayerString {
    int64_t At;
    int32_t Id;
    std::string Name;
  };
  std::unordered_map<std::string, TLayerString> FLayerStrings;
  // ENVIRONMENT's entries of one value that were given, the first of each.
  std::vector<TEnvironmentValue> FEnvironmentValues;
  // See TLayerCounts. The layers drawn on; the layers other than the pads' own that pad
  // definitions drew on.
  TKivoLayerRecords FLayers, FPadLayers;
  // The [LY] whose value could not be read, in the order applied: the position, and the
  // reason's entry of KivoReading::kLayerUnreadable in the top byte; and the counts of
  // those objects were drawn after, by entry.
  std::deque<uint64_t> FUnreadableLayers;
  std::deque<std::pair<size_t, TLayerCounts>> FUnreadableCounts;
  TLayerState FLayer;
  // The counts kept objects count on (Counting), while FCountingKnown; found again when
  // the layer changes.
  TLayerCounts* FCounting = nullptr;
  bool FCountingKnown = true;
  // The drawing state before the attributes that hold for the blocks being read alone,
  // one for each key of a block, innermost last (TBlockAttributes); the innermost block's
  // from FBlockMark on.
  struct TBlockAttribute {
    int Key = 0;
    bool Overridden = false;  // an attribute of its key was applied after it
    std::string LayerName;
    TLayerState Layer;
    uint8_t LineStyle = 0, HorizontalJustification = 0, VerticalJustification = 0, Mirror = 0;
    int32_t Width = 0, TextSize = 0, Rotation = 0;
    double AMT = 0, APT = 0;
  };
  std::vector<TBlockAttribute> FBlockAttributes;
  size_t FBlockMark = 0;
  bool FApplyingBlockAttribute = false;
  bool FInPadDefinition = false;
  std::vector<std::pair<int64_t, std::string>> FOtherDrillTexts;  // NoteDrillText
  TKivoDisplay FDisplay;
  // The memory of the model's objects read from the file; goes after the model.
  TKivoArena FArena;
  // The objects of the net, picture or pin list being read (KeepRead in KivoReading.h);
  // they go before the arena.
  TKivoObjectList FObjectScratch;
  TKivoArenaVector<std::unique_ptr<TKivoPad>> FPinScratch;
  std::unique_ptr<TKivoBoardComponent> FBoardComponent;
  std::unique_ptr<PadStackMapRecord> FPadStackMap;
};
