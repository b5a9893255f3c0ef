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
// missing ends there too, and a section (DETAIL, NET_DEF, ...) met inside a block that
// is skipped or cannot hold it is told and read where it stands.
//
// The reading loops end quietly at the end of the file; a file that ends while blocks
// are still open (cut short, or short of closing braces) gets one load warning naming
// the line it ends at and the block it ends in.
//
// A tab reads as a blank (files indented with tabs read as with blanks), inside values
// too.
//
// Coordinates: a file value becomes the nearest integer (ties to even) to
// value × unit scale × grid.
#pragma once

#include <cassert>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "classlib/ShortString.h"
#include "classlib/StringList.h"
#include "classlib/TextFile.h"
#include "importer/KivoArena.h"
#include "importer/KivoBoardComponent.h"
#include "importer/KivoGroups.h"
#include "importer/KivoPads.h"
#include "importer/KivoPrimitives.h"
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
  void ParseInstance(TKivoComponent& definition);
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
  // line (HeldBraceRanOver): it is told as `item` left out.
  bool ReadValue(const char* item, std::string& value);
  // Skips the rest of `block` (SkipBlock), named by its keyword or its code; a section
  // met inside it is told and left to be read next. False when the file ended inside
  // the block.
  bool Skip(std::string_view block);
  bool Skip(int block);
  // Skip once the block's "}" was not held back.
  [[gnu::noinline]] bool SkipRest(std::string_view block);
  // Tells that the section of `code`, just read, lies inside `block`, and has it read next.
  [[gnu::cold]] void TakeSection(int code, std::string_view block);
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
  int FDetailDepth = 0;       // DETAIL sections being read
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
