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
// edge) and move the whole board's origin. An unreadable text rotation or component
// rotation is passed over with such a warning too.
//
// The reading loops end quietly at the end of the file; a file that ends while blocks
// are still open (cut short, or short of closing braces) gets one load warning naming
// the line it ends at and the block it ends in.
//
// Coordinates: a file value becomes the nearest integer (ties to even) to
// value × unit scale × grid.
#pragma once

#include <cassert>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
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
// Whether a board coordinate of that product (before rounding) fits the 32-bit range.
inline bool KivoCoordinateFits(double product) {
  return product >= -2147483648.5 && product < 2147483647.5;  // false for NaN
}

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
  // Reports the last token as unhandled and skips its block; false when the file ended
  // inside it.
  bool ReportUnhandledToken();

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
  void ParseText(TKivoText& text);
  void ReportPolygonVoid();
  void ReportCircleVoid();
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
