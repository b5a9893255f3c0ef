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
// warning naming its line: placed, it would stand far off the board (or clamped to its
// edge) and move the whole board's origin. So is a graphic or pin of a component that
// its placement would carry beyond the range (for that placement). An unreadable text
// rotation, component rotation or scale, polygon outline kind or pad-stack index, and
// a pad-stack index that no PAD of the file's pad stack holds, are passed over with
// such a warning too.
//
// Damage to the blocks is told and read past: a value whose "(" runs on over a line
// holding a brace ends before that brace and is left out, an attribute whose "]" is
// missing ends there too (or at the next attribute), and a section (DETAIL, NET_DEF, ...)
// met inside a block that is skipped or cannot hold it is told and read where it
// stands. So is a block that a block being read reads as an item (a net, an instance, a
// line...), met inside a block that cannot hold it or in the rest of a block the reader
// knows holds no such blocks: a "}" is missing before it, and the blocks between end
// there, also in the rest of an unknown block. Attribute and package blocks (ATR, PKG,
// ...) may hold anything and are not looked for; a net, definition, instance or pad met
// where no block being read reads it is told and skipped.
//
// The reading loops end quietly at the end of the file; a file that ends while blocks
// are still open (cut short, or short of closing braces) gets one load warning naming
// the line it ends at and the block it ends in.
//
// A tab reads as a blank (files indented with tabs read as with blanks), inside values
// too.
//
// Coordinates: a file value becomes the nearest integer (ties to even) to
// value × unit scale × grid. A DBGRID of 0, or one that is not a whole number, would
// put every object at the origin: it is told and a grid of 1 is used. A DBUNIT the
// importer does not know is told, and so is a DETAIL section read while the unit scale
// or the grid is still 0.
//
// An instance belongs to the definition its first word names (ignoring case): the most
// recent one when it has that name, else the latest of that name read before it in the
// file; an instance of a definition the file does not have before it is left out, told.
//
// Objects drawn on a layer that no LYRSTR entry declares are not translated: each such
// layer is told once, at the end of the reading (an ENVIRONMENT after the DETAIL still
// declares), with the line of its first [LY] and the count of objects left out. A [LY]
// whose value cannot be read sets no layer, so that what follows is left out rather
// than drawn on the layer before; its warning counts those objects. A block directly
// inside COMPONENT or DETAIL that is none of its sections is told at detail level 2 too.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "classlib/ShortString.h"
#include "classlib/StringList.h"
#include "classlib/TextFile.h"
#include "importer/KivoArena.h"
#include "importer/KivoBoardComponent.h"
#include "importer/KivoGroups.h"
#include "importer/KivoPads.h"
#include "importer/KivoPrimitives.h"
#include "importer/KivoTokenizer.h"
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

class TKivoFile : public TObject {
  KIVO_CLASS(TKivoFile, TObject)

 public:
  // Answers the options of one import the way the options dialog does: fills the layer
  // map's host layers and the pad-stack map; true for OK.
  using TImportOptionsHandler = std::function<bool(TKivoFile& reader, PadStackMapRecord& map)>;

  // A board handle of 0 stands for the host's board open under `fileName`. The board
  // proxy loads itself from the host.
  TKivoFile(const std::string& fileName, uint32_t boardHandle);
  // A reader alone, for tests and tools that read without importing: it asks the host
  // for no board and shows nothing; only ReadModel may be called, not Load.
  struct TReadOnly {};
  TKivoFile(const std::string& fileName, TReadOnly);
  ~TKivoFile() override;

  void SetReport(TReportManager* report) { FReport = report; }
  TReportManager* GetReport() const { return FReport; }

  // The whole import; exceptions pass to the caller.
  void Load();
  // Only the reading of the file into the model, with the load warnings of the report
  // attached, and no box: false when the file's first block is no COMPONENT (recorded
  // in the report as Load does). Exceptions pass to the caller.
  bool ReadModel();

  // While a block item goes on: "%" skips a line, "[" reads a display attribute; "{"
  // answers true, "}" or the end of the file false.
  bool NextBlockItem();
  // Reports the token of `code` met in `block` as unhandled and skips its block; false
  // when the file ended inside it. A section is taken instead: told, and read next.
  bool ReportUnhandledToken(int code, std::string_view block);

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
  // Opens the file for reading and hands the display the report.
  void BeginReading();
  // Reads the file into the model; a first block that is not COMPONENT aborts (with the
  // error box unless the reader is TReadOnly).
  void Read();
  void ParseSections();
  void ParseEnvironment();
  // The blocks it leaves open: 0 once the DISPLAY block is closed, 1 at the end of the
  // file, 2 when it stops at a "{" (which it consumes).
  int ParseDisplay();
  void ParseDisplayAttribute();
  void ParseDetail();
  // ANNOTATE, NET_DEF, PAD_STACK or SUBCOMP; false for any other code.
  bool ParseDetailSection(int code);
  void ParseAnnotate(TKivoDetail::TKivoList& list);
  void ParseNetDef();
  void ParseNetGraphics(TKivoNetObject& net);
  void ParsePadStack();
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
  void ParsePadDefinition(TKivoPadStack& stack);
  void ParsePadAttributes(TKivoPadDef& definition);
  // One graphic primitive of a graphics block by its code; false when it is none.
  bool ParseGraphic(int code, TKivoObjectList& list);
  void ReadLineVertices(TKivoLine& line);
  void ReadPolyPoints(std::vector<TKivoPoint>& points, bool& closed);
  void ParsePoly(TKivoPoly& poly);
  // False when its value ran over its line (told).
  bool ParseText(TKivoText& text);
  void ReportPolygonVoid();
  void ReportCircleVoid();
  // A string value into `value`; false, with `value` empty, for one that ran over its
  // line (HeldBraceRanOver): it is told as `item` left out (not told when `item` is null).
  bool ReadValue(const char* item, std::string& value);
  // ReportUnhandledToken; for a block directly inside COMPONENT or DETAIL (`block`), a
  // line at detail level 2 names it among the block's `sections` (not counted again).
  bool ReportUnhandled(int code, std::string_view block, const char* sections);
  // DBGRID's value into the display and the environment: one of 0 or not a whole number
  // is told and taken as 1.
  void ReadGrid();
  // Tells once that the DETAIL section starts while every coordinate reads as 0.
  void CheckUnitScale();
  // Skips the rest of `block` (SkipBlock), named by its keyword or its code; a section
  // met inside it is told and left to be read next. False when the file ended inside
  // the block. For blocks whose contents the reader does not know.
  bool Skip(std::string_view block);
  bool Skip(int block);
  // Skip for the rest of a block the reader knows, which holds no blocks of the file's
  // structure: a block met in it that a block being read reads (a "}" missing before
  // it) is told and read there, as a section is.
  bool SkipKnown(std::string_view block);
  bool SkipKnown(int block);
  // Skip or SkipKnown once the block's "}" was not held back: a skip stops at the
  // sections (only at the COMPONENT block's own in the sections it skips, USER, SYMBOL
  // and APERTURE_TABLE), and at the blocks being read read as items for SkipKnown and
  // for a block no level reads (swUnknown), whose skip also tells the units of sections
  // it passes over.
  enum TSkipWatch { swTopSections, swSections, swItems, swUnknown };
  [[gnu::noinline]] bool SkipRest(std::string_view block, TSkipWatch watch);
  // Skips the block of `code`, an item the level being read reads nothing of; a section,
  // or a block that an enclosing level reads, is told and read there instead.
  bool SkipItem(int code, std::string_view block);
  // Tells a block of `code`, just read inside `block`, that is a section or that an
  // enclosing level reads, and has it read there. False for any other block.
  bool TakeWhereItBelongs(int code, std::string_view block);
  // Tells that the section of `code`, just read, lies inside `block`, and has it read next.
  [[gnu::cold]] void TakeSection(int code, std::string_view block);
  // The load warning of a block of `code`, just read, that lies inside `block`.
  [[gnu::cold]] void TellMisplaced(int code, std::string_view block);
  // The same for the block of `code` when a level being read, from level `from` outward,
  // reads it: that level reads it next, the levels inside it and `skippedOpen` blocks
  // of a skip left open. False when none reads it.
  [[gnu::cold]] bool TakeMisplaced(int code, std::string_view block, int from, int64_t skippedOpen);
  // A section or block taken, still to be read: the reading loops end up to the one
  // that reads it.
  bool Pending() const { return (FPendingSection | FPendingItem) != 0; }
  // NextBlockItem while something is pending: true, handing the item over to ReadWord,
  // at the level that reads it; false elsewhere.
  [[gnu::cold]] bool TakePending();
  // The blocks being read as item loops, innermost last, each with the blocks it reads
  // as items that hold objects or numbers (not attribute or package blocks, which may
  // hold anything), and with those of the levels around it.
  struct TLevel {
    const TKivoKeywordSet* Items;
    TKivoKeywordSet Open;
  };
  class TLevelScope;
  static constexpr int kMaxLevels = 16;
  // The pad-stack index read at `position` for the object `describe()` names: an
  // unreadable one is told now; whether the file's pad stack holds it is checked once
  // the pad stack is read. `pin`: pins of the indices that make small pads by rule are
  // not checked.
  template <class F>
  void CheckPadStackIndex(int32_t index, bool readable, bool pin, int64_t position, F&& describe);
  struct TPendingIndex;
  // What CheckPadStackIndex does for an index not plainly known.
  [[gnu::cold]] void CheckPadStackIndexFurther(TPendingIndex index, bool readable, bool pin);
  // The indices of the file's first pad stack, once it is read; and the checks of the
  // indices met before.
  [[gnu::cold]] void KeepPadStackIndices(const TKivoPadStack& stack);
  void CheckPendingPadStackIndices();
  [[gnu::cold]] void ReportUnknownPadStackIndex(const TPendingIndex& index);
  // Leaves out, for `instance` only, what its placement would carry beyond the board's
  // range; told with the line at `position`.
  [[gnu::noinline]] void CheckPlacedChildren(TKivoComponent& definition,
                                             TKivoInstance& instance, int64_t position);
  // The load warning of a file that ends while `block` (the innermost block known) is open.
  void ReportEndedInside(const std::string& block);
  // The layers set by [LY], each with where it was first set and how many of the
  // objects the reader kept were drawn on it (objects that the translation places by
  // the layer; not the graphics of pad definitions, placed through the pad-stack map);
  // and one for each [LY] whose value could not be read, counting what was drawn until
  // the next readable one. Told at the end of the reading.
  struct TLayerRecord {
    std::string Name;  // as the display holds it; empty for an unreadable value
    int64_t Position = 0;
    int64_t Count = 0;
    bool Unreadable = false;
    int64_t FirstAt = 0, LastAt = 0;  // where the first and the last object counted were read
    bool Quoted = false;  // an unreadable value's quote (not its "(") was left open
  };
  // The display's layer name from [LY] at `position`, and its record current.
  void SetLayer(const std::string& name, int64_t position) {
    FDisplay.SetLayerName(name);
    if (__builtin_expect(FLayer && FLayer->Name == FDisplay.LayerNameRef() && !FLayer->Unreadable, 1))
      return;
    SwitchLayer(position);
  }
  [[gnu::cold]] void SwitchLayer(int64_t position);
  // A [LY] at `position` whose value could not be read: no layer, a record of its own.
  [[gnu::cold]] void SetUnreadableLayer(int64_t position);
  // Counts an object kept (just read) while `layer` was the counting record.
  void CountOn(TLayerRecord* layer) {
    if (!layer)
      return;
    layer->LastAt = FFile.Position();
    if (layer->Count++ == 0)
      layer->FirstAt = layer->LastAt;
  }
  // The warnings of undeclared layers and unreadable [LY] values that objects were drawn on.
  void ReportLayers();
  // Starts an object's numbers: forgets earlier unreadable ones.
  void BeginObject() { FUnreadable = FBeyondRange = false; }
  // Whether the object read since BeginObject may be placed; otherwise a load warning
  // names `object`, the line and the reason (an unreadable number before `reason`).
  bool Placeable(const char* object, bool refused = false, const char* reason = "") {
    return PlaceableDescribed([object] { return std::string(object); }, refused, reason);
  }
  // The same for an object whose name `describe()` makes: only for the warning, not for
  // each of the millions of objects that are placed.
  template <class F>
  bool PlaceableDescribed(F&& describe, bool refused = false, const char* reason = "") {
    if (!FUnreadable && !refused)
      return true;
    ReportLeftOut(describe(), reason);
    return false;
  }
  // Placeable, for an object that the translation places by the display's layer: one
  // kept counts against the current layer's record.
  bool Kept(const char* object, bool refused = false, const char* reason = "") {
    if (!Placeable(object, refused, reason))
      return false;
    CountOn(FCounting);
    return true;
  }
  template <class F>
  bool KeptDescribed(F&& describe) {
    if (!PlaceableDescribed(std::forward<F>(describe)))
      return false;
    CountOn(FCounting);
    return true;
  }
  void ReportLeftOut(const std::string& object, const char* reason);
  [[gnu::cold]] void ReportLeftOutAt(int64_t position, const std::string& object,
                                     const char* reason);
  // The line of the byte at `position`, for a warning.
  int64_t LineAt(int64_t position);
  // The end of the file, where no brace is left held back to be read.
  bool AtEnd();
  int ReadWord();
  int ReadName();
  // The board coordinate of a file value; one beyond the 32-bit range makes the object
  // unplaceable (FBeyondRange).
  int32_t ToCoordinate(double value);

  ShortString<255> FFileName;
  TTextFile FFile;
  std::unique_ptr<TPcbBoard> FBoard;
  TReportManager* FReport = nullptr;
  bool FAborted = false;
  bool FRealCoordinates = false;
  std::vector<TKivoPoint> FPointScratch;  // the vertices of the line being read
  std::vector<std::string> FNameScratch;  // the net names of the connection list being read
  bool FUnreadable = false;   // a coordinate since BeginObject was not a number, or not in range
  bool FBeyondRange = false;  // ... and it was one beyond the board's range
  bool FBlockEndedAtEof = false;  // NextBlockItem last answered false at the end of the file
  std::unique_ptr<TLineCounter> FLines;   // made for the first warning naming a line
  std::unordered_set<const TKivoInstance*> FLeftOutInstances;  // of the SUBCOMP being read
  // A section met where it cannot lie, told, to be read next: the reading loops end
  // (NextBlockItem answers false) up to the one that reads it.
  int FPendingSection = 0;
  // A block met where it cannot lie, told, to be read next by the level FPendingItemLevel;
  // handed to ReadWord as FDeliveredItem.
  int FPendingItem = 0;
  int FPendingItemLevel = -1;
  int FDeliveredItem = 0;
  std::array<TLevel, kMaxLevels> FLevels{};
  int FDepth = -1;  // the innermost level being read
  int64_t FSkippedOpen = 0;   // blocks left open by skips that stopped at a section
  int64_t FPlacementAt = 0;   // where the placement of the instance being read was read
  // The pad records' indices of the file's first pad stack (the one the translation
  // uses), sorted, once it is read; and the checks of indices met before.
  std::optional<std::vector<int32_t>> FPadIndices;
  struct TPendingIndex {
    int32_t Index;
    int64_t Position;
    std::string Object;
  };
  std::vector<TPendingIndex> FPendingIndices;
  // The component definitions read so far by their upper-cased names, the latest of each.
  std::unordered_map<std::string, TKivoComponent*> FDefinitions;
  // See TLayerRecord. FLayer is the display's (none before the first [LY]); FCounting
  // the one kept objects count on: FLayer, or none while a pad definition is read.
  std::unordered_map<std::string, TLayerRecord> FLayers;
  std::deque<TLayerRecord> FUnreadableLayers;
  TLayerRecord* FLayer = nullptr;
  TLayerRecord* FCounting = nullptr;
  bool FInPadDefinition = false;
  bool FToldUnitScale = false;  // the DETAIL read with every coordinate 0 was told
  TKivoDisplay FDisplay;
  // The memory of the model's objects read from the file; goes after the model.
  TKivoArena FArena;
  // The objects of the net, picture or pin list being read (KeepRead in KivoFile.cpp);
  // they go before the arena.
  TKivoObjectList FObjectScratch;
  TKivoArenaVector<std::unique_ptr<TKivoPad>> FPinScratch;
  std::unique_ptr<TKivoBoardComponent> FBoardComponent;
  std::unique_ptr<PadStackMapRecord> FPadStackMap;
};
