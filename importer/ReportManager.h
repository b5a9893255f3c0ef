// The translation report of one import: what happened while the KIVO file was read
// ("load") and while host objects were made ("import"), in six lists of lines that each
// carry a detail level 1 to 4, with the counts of warnings and errors. `WriteReport`
// writes it as "<name>.rpt" beside the KIVO file, through the host's file system;
// file-system failures raise EInOutError, and a report that could not be written whole
// is removed, leaving an earlier report of the same name as it was. When "<name>.rpt" is the KIVO file itself (its own name, or a link to it),
// the report goes to "<name>-report.rpt" and says so, so that it never overwrites the
// file it reports on. Import events and warnings read their host objects back through
// the PCB object proxies. Control characters of the texts it reports are written as
// "\xNN", so that no text of the KIVO file can end the report or break its lines. Load
// warnings are kept within a bound, whatever the file: each kind's first are told and the
// rest counted (TReportWarnings).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/Object.h"
#include "classlib/ShortString.h"
#include "classlib/TextFile.h"
#include "importer/ReportLines.h"
#include "pcb/PcbObject.h"

// The coordinates a polygon-void or circle-void warning lists.
struct TReportPoint {
  int32_t X;
  int32_t Y;
};
struct TReportCircle {
  int32_t X;
  int32_t Y;
  int32_t Radius;
};

// The code of the EInOutError WriteReport raises when both the report's name and its
// "-report" name are the KIVO file itself (links to it): Windows leaves codes with bit 29
// to applications.
inline constexpr uint32_t ReportIsKivoFileCode = 0x20000001;

// The kinds of load warning the reader reports.
enum TLoadWarningKind : uint8_t {
  lwUnhandledToken = 0,
  lwPolygonVoid = 1,
  lwCircleVoid = 2,
  lwLayerCountMismatch = 3,
};

// The kinds of import error: the import stopped (the file is no KIVO file, or an
// exception ended it), or the user cancelled the options.
enum TImportErrorKind : uint8_t {
  ieUnknownError = 0,
  ieUserCancelled = 1,
};

class TReportManager : public TObject {
  KIVO_CLASS(TReportManager, TObject)

 public:
  explicit TReportManager(std::string_view kivoFileName);

  // The points a polygon void's warning lists; the rest are counted.
  static constexpr size_t kMaxVoidPoints = 100;

  // Detail levels: a line is written when its level is at most its list's level.
  void SetLoadErrorLevel(uint8_t level) { FLoadErrorLevel = level; }
  void SetLoadWarningLevel(uint8_t level) { FLoadWarningLevel = level; }
  void SetLoadEventLevel(uint8_t level) { FLoadEventLevel = level; }
  void SetImportErrorLevel(uint8_t level) { FImportErrorLevel = level; }
  void SetImportWarningLevel(uint8_t level) { FImportWarningLevel = level; }
  void SetImportEventLevel(uint8_t level) { FImportEventLevel = level; }
  uint8_t GetLoadErrorLevel() const { return FLoadErrorLevel; }
  uint8_t GetLoadWarningLevel() const { return FLoadWarningLevel; }
  uint8_t GetLoadEventLevel() const { return FLoadEventLevel; }
  uint8_t GetImportErrorLevel() const { return FImportErrorLevel; }
  uint8_t GetImportWarningLevel() const { return FImportWarningLevel; }
  uint8_t GetImportEventLevel() const { return FImportEventLevel; }

  // Load warnings (TLoadWarningKind): an unhandled token (its text), polygon voids
  // (their points, of which the first kMaxVoidPoints are listed), a circle void, layer
  // strings that do not match the physical ids; `line` (0 when not known) is not written,
  // but counts in the lines of the warnings of its kind that are not told one by one.
  void AddLoadWarning(uint8_t kind, std::string_view tokenText = {});
  void AddLoadWarning(uint8_t kind, std::span<const TReportPoint> points, int64_t line = 0);
  void AddLoadWarning(uint8_t kind, const TReportCircle& circle, int64_t line = 0);
  // A block the reader passes over, of keyword text `token` (a keyword of the format's
  // own table when `keyword`), at `line`: "WARNING: Unhandled Token found <token>" at
  // detail level 3 (and a hint at 4), and "WARNING: " + `subject` + " at line N" + `rest`
  // at the default detail. One of the format's own keywords is told once for each `rest`
  // (the block it lies in), with the count of the others.
  void AddNotReadWarning(std::string_view token, bool keyword, std::string_view subject,
                         int64_t line, std::string_view rest);
  // A load warning about an object the reader left out, naming it, its line (0 when not
  // known) and why: "WARNING: Circle at line 12 left out: its radius is negative".
  void AddLeftOutWarning(std::string_view object, int64_t line, std::string_view reason);
  // A load warning about what was read at `line` (0 when not known): "WARNING: " +
  // `subject` + " at line 78" + `rest`, as "WARNING: The DETAIL block at line 78 lies
  // inside the APERTURE_TABLE block: ...".
  void AddLineWarning(std::string_view subject, int64_t line, std::string_view rest);
  // The same line for `count` load warnings the reader told together (it kept no more of
  // them than their count and lines): counted as `count`.
  void AddLineWarnings(std::string_view subject, int64_t line, std::string_view rest,
                       int64_t count);
  // The same line at detail level 2 and not counted: it tells more of a load warning
  // counted already.
  void AddLineDetail(std::string_view subject, int64_t line, std::string_view rest);
  // A load warning about a file that ends while `block` is open, at `line` (0 when not
  // known): "WARNING: The file ends at line 57 inside the DETAIL block: it may have been
  // cut short".
  void AddEndedInsideWarning(int64_t line, std::string_view block);
  // A load warning about a settings file that could not serve as the default layer map,
  // and why: "WARNING: The default layer map in <file> could not be read: <why>; the
  // built-in layer map was used".
  void AddSettingsWarning(std::string_view settingsFile, std::string_view why);
  // Import warnings about a component: 0 nets and pins mismatch, 1 nothing translated;
  // about a polygon: 2 its outline was cut to the host's 500 vertices.
  void AddImportWarning(uint8_t kind, uint32_t object);
  // Import warning 0 about the component of designator `designator`, with `detail` after
  // its words: which pin has no net, and the line of the connection list.
  void AddMismatchWarning(std::string_view designator, std::string_view detail);
  // Import errors (TImportErrorKind): an unknown error, cancelled by the user.
  void AddImportError(uint8_t kind);
  // An import error about a board too large for the process, and why: "ERROR: The board
  // is too large for this process: <why>".
  void AddBoardTooLargeError(std::string_view why);
  // Import events 0 to 10 about a host object; later kinds add nothing. The object is
  // read back at once and its values kept; the event's lines are made when the report
  // is written, at the import-event level of that moment.
  void AddImportEvent(uint8_t kind, uint32_t object);
  // The same about the object of `loaded`, a proxy just loaded from its host object (the
  // translation's own, read back after it was stored).
  void AddImportEvent(uint8_t kind, TPCBObject& loaded);
  // Makes `section` current, heading it in the load-event list when it changes.
  void SetLoadSection(uint8_t section);

  // Writes the report file, unless every detail level is 0. A report that could not be
  // written whole is removed before the failure passes on; an earlier report stays.
  void WriteReport();

  int32_t GetLoadErrorCount() const { return FLoadErrorCount; }
  int32_t GetLoadWarningCount() const { return FLoadWarningCount; }
  int32_t GetImportErrorCount() const { return FImportErrorCount; }
  int32_t GetImportWarningCount() const { return FImportWarningCount; }
  // The report file written; empty before `WriteReport` or when nothing was written.
  const std::string& GetReportPath() const { return FReportPath; }
  // The file the last `WriteReport` wrote or tried to write, as the host's file system
  // resolved it; empty when none.
  const std::string& GetTargetPath() const { return FTargetPath; }

 private:
  using TLines = TReportLines;

  static void Add(TLines& lines, std::string_view text, uint8_t level);
  // Tells a load warning of kind `key` at `line` (counted unless `detail`), whose lines
  // take about `size` bytes and carry its kind's count at `level`: true when its lines
  // are to be added (AddWarningLine), false when it was only counted.
  bool TellLoadWarning(std::string_view key, int64_t line, size_t size, uint8_t level,
                       bool detail = false, uint8_t tellEach = TReportWarnings::kTellEach);
  void AddWarningLine(std::string_view text, uint8_t level, bool carries = false) {
    FLoadWarnings.AddLine(text, level, carries);
  }
  // The key of a warning's kind: its `form`, the first word of `subject` (the object or
  // value it names) and `rest`, what it says after its line.
  const std::string& KindKey(char form, std::string_view subject, std::string_view rest);
  // The forms of the import events' lines, each kept as a record of its values: two
  // or four coordinates, or a text.
  enum TEventForm : uint8_t {
    efAddedToComponent,
    efTrack,
    efArc,
    efFill,
    efVia,
    efPolygon,
    efText,
    efPad,
    efComponent,
    // A track whose second point is the first point of the track reported before it
    // (the tracks of one line): only its first point is kept.
    efJoinedTrack,
  };
  void AddEvent(TEventForm form, const TPCBObject* object);  // its reference points
  void AddEvent(TEventForm form, std::string_view text);
  void AddTrackOrArcEvent(const TPCBObject* object);
  // The records of import event `kind` (not 3) about the loaded proxy `o` (null when the
  // object has no proxy class).
  void AddLoadedEvent(uint8_t kind, TPCBObject* o);
  static uint8_t EventLevel(uint8_t form);
  static std::string EventLine(uint8_t form, std::string_view record);
  void AddLoadWarningLines(uint8_t kind, std::string_view tokenText,
                           std::span<const TReportPoint> points, const TReportCircle* circle,
                           int64_t line);
  // Beside the KIVO file: its name with `suffix` added and the extension "rpt".
  std::string MakeReportPath(const std::string& suffix) const;
  // Whether writing `reportFile` (a real path) would overwrite the KIVO file: the same
  // file, by whatever name.
  bool IsKivoFile(const std::string& reportFile) const;
  // The report's lines into the open `file`, which it closes; `note` (when not empty)
  // follows the time.
  void WriteLines(TTextFile& file, const std::string& note) const;

  uint8_t FLoadErrorLevel = 2;
  uint8_t FLoadWarningLevel = 2;
  uint8_t FLoadEventLevel = 0;
  uint8_t FImportErrorLevel = 2;
  uint8_t FImportWarningLevel = 2;
  uint8_t FImportEventLevel = 0;
  std::string FFileName;  // whole: a cut name would put the report elsewhere
  TLines FLoadEvents;
  TLines FLoadErrors;
  TReportWarnings FLoadWarnings;
  std::string FKindKey;  // made for each load warning
  TLines FImportEvents;  // records tagged with their TEventForm
  // The first point of the track reported last, for efJoinedTrack.
  bool FHasLastTrack = false;
  int32_t FLastTrackX = 0, FLastTrackY = 0;
  TLines FImportErrors;
  TLines FImportWarnings;
  uint8_t FLoadSection = 1;
  std::string FReportPath;
  std::string FTargetPath;
  int32_t FLoadErrorCount = 0;
  int32_t FLoadWarningCount = 0;
  int32_t FImportErrorCount = 0;
  int32_t FImportWarningCount = 0;
};
