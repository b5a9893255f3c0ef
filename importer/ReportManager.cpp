// Decisions where the report's rules would lose it:
// - When the host's file system does not report the KIVO file as existing (or is not
//   there), the report's folder and base name come from the runtime's split of the
//   file name, so the report still lands beside the KIVO file; an empty answer of the
//   host's extension helper falls back on the runtime's ChangeFileExt.
// - The report path is kept whole: cutting it to 255 characters would write the
//   report somewhere else.
// - A KIVO file named "*.rpt", or one that "<name>.rpt" links to, would be overwritten
//   by its own report: the files are compared (not their names), and the report then
//   goes to "<name>-report.rpt" and says so in a line after its time.
// - A report cut short (a full disk) would pass for the whole report, and rewriting the
//   report in place lost the earlier one: it is written beside and replaces the earlier
//   report only when whole.
// - Texts of the KIVO file reach the report as they are, and a control character in one
//   (0x1A, which ends a file for text-mode readers, or a line break inside a line) would
//   cut the report short or break its lines for whoever reads it: every control
//   character of a line is written as "\xNN" (0x1A as "\x1A").
// - Every block the reader passes over is told, so a file of unknown blocks (or of a
//   stray quote and brace repeated) made a warning for every few bytes, each kept while
//   the file was read: 16 MB of them took the host 674 MiB and wrote a 200 MB report. The
//   load warnings are bounded by kind instead (TReportWarnings): a kind is what the
//   warning says after its line (and the first word before it, the object a left-out
//   warning names), the values it quotes aside. Runs of one kind alone would not bound a
//   file where two kinds take turns (an unknown block, then stray text, repeated), so
//   each kind tells its first ten wherever they stand and counts the rest, and the lines
//   told have a room of their own. A block of the format's own keyword table that its
//   block does not read (a PNL in every pin of a valid board) is told once for each
//   block it lies in, with its count. The count of load warnings stays the number of
//   warnings, told or counted; a polygon void lists its first 100 points.
#include "importer/ReportManager.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>

#include "classlib/Exceptions.h"
#include "classlib/FileReplacement.h"
#include "classlib/FileUtils.h"
#include "classlib/Strings.h"
#include "classlib/TextFile.h"
#include "host/ClientApi.h"
#include "host/Utilities.h"
#include "pcb/BoardUnits.h"
#include "pcb/HostFileSystem.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbObjectFactory.h"

namespace {

constexpr size_t kPadLineLength = 41;
constexpr std::string_view kPadLead = "Component Pad Added: ";

// A board coordinate as the report shows it: mils with up to three decimals.
std::string Coord(int32_t value) { return CoordToUnitString(/*imperial=*/true, value); }

std::string Point(int32_t x, int32_t y) { return Coord(x) + ", " + Coord(y); }

// The reference points of a loaded proxy; 0 without one (a kind without a proxy class).
struct TPoints {
  explicit TPoints(const TPCBObject* object) {
    if (!object)
      return;
    X = object->GetX(), Y = object->GetY(), X2 = object->GetX2(), Y2 = object->GetY2();
  }
  int32_t X = 0, Y = 0, X2 = 0, Y2 = 0;
};

// " at line N", or nothing when the line is not known (0).
std::string AtLine(int64_t line) {
  return line > 0 ? " at line " + std::to_string(line) : std::string();
}

std::string TextOf(const TPCBObject* object) { return object ? object->GetText() : std::string(); }

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// `text` with every control character written as "\xNN"; `text` itself when it holds
// none (most lines), else a view of `buffer`.
std::string_view Visible(std::string_view text, std::string& buffer) {
  if (std::none_of(text.begin(), text.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); }))
    return text;
  static constexpr char kHex[] = "0123456789ABCDEF";
  buffer.clear();
  for (const unsigned char c : text) {
    if (!IsControl(c)) {
      buffer += static_cast<char>(c);
      continue;
    }
    const char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    buffer.append(escaped, sizeof escaped);
  }
  return buffer;
}

// The designator: the text of the component's name text object.
std::string Designator(uint32_t component) {
  uint32_t nameText = 0;
  bool isComponent = false;
  WithPcbObjectFromHandle(component, [&](TPCBObject* proxy) {
    if (const TPcbComponent* asComponent = ObjectAs<TPcbComponent>(proxy)) {
      isComponent = true;
      nameText = static_cast<uint32_t>(asComponent->GetNameText());
    }
  });
  return isComponent ? GetObjectText(nameText) : std::string();
}

}  // namespace

TReportManager::TReportManager(std::string_view kivoFileName) : FFileName(kivoFileName) {}

void TReportManager::Add(TLines& lines, std::string_view text, uint8_t level) {
  lines.Add(text, level);
}

bool TReportManager::TellLoadWarning(std::string_view key, int64_t line, size_t size,
                                     uint8_t level, bool detail, uint8_t tellEach) {
  if (!detail)
    ++FLoadWarningCount;
  return FLoadWarnings.Tell(key, line, size, level, tellEach);
}

void TReportManager::AddLoadWarning(uint8_t kind, std::string_view tokenText) {
  AddLoadWarningLines(kind, tokenText, {}, nullptr, 0);
}

void TReportManager::AddLoadWarning(uint8_t kind, std::span<const TReportPoint> points,
                                    int64_t line) {
  AddLoadWarningLines(kind, {}, points, nullptr, line);
}

void TReportManager::AddLoadWarning(uint8_t kind, const TReportCircle& circle, int64_t line) {
  AddLoadWarningLines(kind, {}, {}, &circle, line);
}

void TReportManager::AddLoadWarningLines(uint8_t kind, std::string_view tokenText,
                                         std::span<const TReportPoint> points,
                                         const TReportCircle* circle, int64_t line) {
  if (kind == lwUnhandledToken && tokenText.empty()) {
    ++FLoadWarningCount;  // no line to tell
    return;
  }
  // The kinds are told apart by a letter: the key's digits are values.
  const char key[] = {'K', static_cast<char>('a' + kind), 0};
  const size_t listed = std::min(points.size(), kMaxVoidPoints);
  const uint8_t level = kind == lwUnhandledToken ? 3 : 1;
  if (!TellLoadWarning(key, line, 120 + tokenText.size() + 40 * listed, level))
    return;
  switch (kind) {
    case lwUnhandledToken:
      AddWarningLine("WARNING: Unhandled Token found " + std::string(tokenText), 3, true);
      AddWarningLine("         This could be caused by missing/extra brackets \"{}\"", 4);
      return;
    case lwPolygonVoid:
      AddWarningLine("WARNING: Polygon Voids are not imported", 1, true);
      for (size_t i = 0; i < listed; ++i)
        AddWarningLine("    Coord " + std::to_string(i) + " x: " + std::to_string(points[i].X) +
                           " y: " + std::to_string(points[i].Y),
                       2);
      if (listed < points.size())
        AddWarningLine("    and " + std::to_string(points.size() - listed) + " more points", 2);
      return;
    case lwCircleVoid:
      AddWarningLine("WARNING: Circle Voids are not imported", 1, true);
      if (circle)
        AddWarningLine("    x: " + std::to_string(circle->X) + " y: " + std::to_string(circle->Y) +
                           " radius " + std::to_string(circle->Radius),
                       2);
      return;
    case lwLayerCountMismatch:
      AddWarningLine("WARNING: Number of Layer Strings does not Physical ID Map", 1, true);
      AddWarningLine("         Possible cause is an Invalid KIVO file", 2);
      return;
  }
}

const std::string& TReportManager::KindKey(char form, std::string_view subject,
                                           std::string_view rest) {
  FKindKey.assign(1, form);
  FKindKey.append(subject.substr(0, subject.find(' ')));
  FKindKey += '\x01';
  FKindKey.append(rest);
  return FKindKey;
}

void TReportManager::AddNotReadWarning(std::string_view token, bool keyword,
                                       std::string_view subject, int64_t line,
                                       std::string_view rest) {
  // A keyword of the format's own is told once in each block: what a valid board writes
  // where its reader needs nothing would be told for every pin or item. Other names, told
  // ten times, are one kind in each block, whatever their spelling.
  const size_t size = 120 + 2 * token.size() + subject.size() + rest.size();
  if (!TellLoadWarning(KindKey('N', keyword ? token : std::string_view(), rest), line, size, 2,
                       /*detail=*/false, keyword ? 1 : TReportWarnings::kTellEach))
    return;
  if (!token.empty()) {
    AddWarningLine("WARNING: Unhandled Token found " + std::string(token), 3);
    AddWarningLine("         This could be caused by missing/extra brackets \"{}\"", 4);
  }
  AddWarningLine("WARNING: " + std::string(subject) + AtLine(line) + std::string(rest), 2, true);
}

void TReportManager::AddLeftOutWarning(std::string_view object, int64_t line,
                                       std::string_view reason) {
  if (!TellLoadWarning(KindKey('L', object, reason), line, 40 + object.size() + reason.size(), 1))
    return;
  AddWarningLine(
      "WARNING: " + std::string(object) + AtLine(line) + " left out: " + std::string(reason), 1,
      true);
}

void TReportManager::AddLineWarnings(std::string_view subject, int64_t line,
                                     std::string_view rest, int64_t count) {
  AddLineWarning(subject, line, rest);
  FLoadWarningCount += static_cast<int32_t>(std::clamp<int64_t>(count - 1, 0, INT32_MAX - FLoadWarningCount));
}

void TReportManager::AddLineWarning(std::string_view subject, int64_t line,
                                    std::string_view rest) {
  if (!TellLoadWarning(KindKey('W', subject, rest), line, 40 + subject.size() + rest.size(), 1))
    return;
  AddWarningLine("WARNING: " + std::string(subject) + AtLine(line) + std::string(rest), 1, true);
}

void TReportManager::AddLineDetail(std::string_view subject, int64_t line,
                                   std::string_view rest) {
  if (!TellLoadWarning(KindKey('D', subject, rest), line, 40 + subject.size() + rest.size(), 2,
                       /*detail=*/true))
    return;
  AddWarningLine("WARNING: " + std::string(subject) + AtLine(line) + std::string(rest), 2, true);
}

void TReportManager::AddEndedInsideWarning(int64_t line, std::string_view block) {
  if (!TellLoadWarning("E", line, 100 + block.size(), 1))
    return;
  AddWarningLine("WARNING: The file ends" + AtLine(line) + " inside the " + std::string(block) +
                     " block: it may have been cut short",
                 1, true);
}

void TReportManager::AddSettingsWarning(std::string_view settingsFile, std::string_view why) {
  if (!TellLoadWarning("S", 0, 120 + settingsFile.size() + why.size(), 1))
    return;
  AddWarningLine("WARNING: The default layer map in " + std::string(settingsFile) +
                     " could not be read: " + std::string(why) + "; the built-in layer map was used",
                 1, true);
}

void TReportManager::AddImportWarning(uint8_t kind, uint32_t object) {
  if (kind == 0) {
    AddMismatchWarning(Designator(object), {});
    return;
  }
  ++FImportWarningCount;
  switch (kind) {
    case 1:
      Add(FImportWarnings,
          "WARNING: No Component Primitives Translated for component " +
              Designator(object) + ". Component Removed",
          1);
      return;
    case 2: {
      const std::unique_ptr<TPCBObject> proxy = CreatePcbObjectFromHandle(object);
      const TPcbPolygon* polygon = ObjectAs<TPcbPolygon>(proxy.get());
      const TPolygonSegment first = polygon ? polygon->GetSegments(0) : TPolygonSegment{};
      Add(FImportWarnings,
          "WARNING: Polygon outline of more than 500 vertices cut to 500, starting at " +
              Point(first.X, first.Y),
          1);
      return;
    }
  }
}

void TReportManager::AddMismatchWarning(std::string_view designator, std::string_view detail) {
  ++FImportWarningCount;
  Add(FImportWarnings,
      "WARNING: Mismatch on number of nets and number of pin on component " +
          std::string(designator) + std::string(detail),
      1);
}

void TReportManager::AddImportError(uint8_t kind) {
  ++FImportErrorCount;
  switch (kind) {
    case ieUnknownError:
      Add(FImportErrors, "ERROR: Unknown Error caused abort.", 1);
      Add(FImportErrors, "       Possibily Unexpected End Of File.", 2);
      return;
    case ieUserCancelled:
      Add(FImportErrors, "ERROR: User Canceled Abort.", 1);
      return;
  }
}

void TReportManager::AddBoardTooLargeError(std::string_view why) {
  ++FImportErrorCount;
  Add(FImportErrors, "ERROR: The board is too large for this process: " + std::string(why), 1);
}

void TReportManager::AddEvent(TEventForm form, const TPCBObject* object) {
  const TPoints p(object);
  const int32_t points[] = {p.X, p.Y, p.X2, p.Y2};
  size_t count = form == efArc || form == efVia ? 2 : 4;
  if (form == efTrack) {
    // A large board reports millions of tracks, most of them joined to the one before.
    if (FHasLastTrack && p.X2 == FLastTrackX && p.Y2 == FLastTrackY)
      form = efJoinedTrack, count = 2;
    FHasLastTrack = true;
    FLastTrackX = p.X, FLastTrackY = p.Y;
  }
  FImportEvents.Add(std::string_view(reinterpret_cast<const char*>(points), count * sizeof(int32_t)),
                    form);
}

void TReportManager::AddEvent(TEventForm form, std::string_view text) {
  FImportEvents.Add(text, form);
}

void TReportManager::AddTrackOrArcEvent(const TPCBObject* object) {
  if (object && object->GetObjectId() == okTrack)
    AddEvent(efTrack, object);
  else if (object && object->GetObjectId() == okArc)
    AddEvent(efArc, object);
}

void TReportManager::AddImportEvent(uint8_t kind, uint32_t object) {
  if (kind > 10)
    return;
  // Every event is read back now, while its object is as the import left it, and kept
  // as a record of its values: the lines are made only when the report is written, and
  // only those its import-event level writes then.
  if (kind == 3) {
    AddEvent(efComponent, Designator(object));
    return;
  }
  WithPcbObjectFromHandle(object, [&](TPCBObject* o) { AddLoadedEvent(kind, o); });
}

void TReportManager::AddImportEvent(uint8_t kind, TPCBObject& loaded) {
  if (kind == 3 || kind > 10)
    AddImportEvent(kind, loaded.GetHandle());  // a component asks its designator
  else
    AddLoadedEvent(kind, &loaded);
}

void TReportManager::AddLoadedEvent(uint8_t kind, TPCBObject* o) {
  switch (kind) {
    case 0:
      AddEvent(efAddedToComponent, std::string_view());
      AddTrackOrArcEvent(o);
      return;
    case 1:
      AddEvent(efAddedToComponent, std::string_view());
      AddEvent(efText, TextOf(o));
      return;
    case 2:
      // Only the part of the name that its line shows is kept.
      AddEvent(efPad, std::string_view(o ? o->GetName() : std::string())
                          .substr(0, kPadLineLength - kPadLead.size()));
      return;
    case 4:
      AddEvent(efFill, o);
      return;
    case 5:
      AddEvent(efArc, o);
      return;
    case 6:
      AddEvent(efTrack, o);
      return;
    case 7:
      AddEvent(efVia, o);
      return;
    case 8:
      AddEvent(efText, TextOf(o));
      return;
    case 9:
      AddTrackOrArcEvent(o);
      return;
    case 10: {
      // Each corner asks the host afresh.
      int32_t corners[4] = {};
      if (o) {
        corners[0] = o->GetBoundingX1();
        corners[1] = o->GetBoundingY1();
        corners[2] = o->GetBoundingX2();
        corners[3] = o->GetBoundingY2();
      }
      FImportEvents.Add(
          std::string_view(reinterpret_cast<const char*>(corners), sizeof corners), efPolygon);
      return;
    }
  }
}

uint8_t TReportManager::EventLevel(uint8_t form) {
  return form == efText || form == efComponent ? 2 : 3;
}

std::string TReportManager::EventLine(uint8_t form, std::string_view record) {
  int32_t v[4] = {};
  std::memcpy(v, record.data(), std::min(record.size(), sizeof v));
  switch (form) {
    case efAddedToComponent:
      return "Added To Component";
    case efTrack:
      return "Track Added At: " + Point(v[0], v[1]) + " To " + Point(v[2], v[3]);
    case efArc:
      return "Arc Added At: " + Point(v[0], v[1]);
    case efFill:
      return "Fill Added At: " + Point(v[0], v[1]) + " And " + Point(v[2], v[3]);
    case efVia:
      return "Via Added at " + Point(v[0], v[1]);
    case efPolygon:
      return "Polygon Added: Bouding Rect: " + Point(v[0], v[1]) + "   " + Point(v[2], v[3]);
    case efText:
      return "Text Added: " + std::string(record);
    case efPad:
      return (std::string(kPadLead) + std::string(record)).substr(0, kPadLineLength);
    case efComponent:
      return "Component Added: " + std::string(record);
    case efJoinedTrack:
      break;  // made whole by the writer
  }
  assert(false && "an import event of no known form");
  return std::string();
}

void TReportManager::SetLoadSection(uint8_t section) {
  if (section == FLoadSection)
    return;
  FLoadSection = section;
  Add(FLoadEvents, "", 1);
  Add(FLoadEvents, section == 0 ? "Load Events: Header Infomation." : "", 1);
  Add(FLoadEvents, "", 1);
}

std::string TReportManager::MakeReportPath(const std::string& suffix) const {
  const std::string& fileName = FFileName;
  std::string folder = ExtractFilePath(fileName);
  if (VfsFileExists(fileName))
    VfsExtractFilePath(fileName, folder);
  std::string name = ExtractFileName(fileName);
  VfsExtractFileName(fileName, name);
  if (!suffix.empty())
    name = ChangeFileExt(name, "") + suffix;
  std::string reportName = ClientApiForceFileNameExtension(name, "rpt");
  if (reportName.empty())
    reportName = ChangeFileExt(name, ".rpt");
  return folder + reportName;
}

bool TReportManager::IsKivoFile(const std::string& reportFile) const {
  // The files themselves are compared, not their names: a report name that is a hard or
  // symbolic link to the KIVO file is the KIVO file. A report that does not exist yet is
  // no file at all. A KIVO file's name that the system does not know may be the host's,
  // which maps it to a file.
  if (!FileExists(reportFile))
    return false;
  if (SameFile(reportFile, FFileName))
    return true;
  if (FileExists(FFileName))
    return false;
  TTextFile kivo;
  VfsAssignFile(kivo, FFileName);
  return SameFile(reportFile, kivo.Name());
}

void TReportManager::WriteReport() {
  const uint8_t levels[] = {FLoadErrorLevel,  FLoadWarningLevel,  FLoadEventLevel,
                            FImportErrorLevel, FImportWarningLevel, FImportEventLevel};
  bool any = false;
  for (uint8_t level : levels)
    any = any || level != 0;
  if (!any)
    return;

  std::string path = MakeReportPath("");
  auto file = std::make_unique<TTextFile>();
  VfsAssignFile(*file, path);
  std::string note;
  if (IsKivoFile(file->Name())) {
    const std::string taken = ExtractFileName(file->Name());
    path = MakeReportPath("-report");
    VfsAssignFile(*file, path);
    const std::string kivoName = ExtractFileName(FFileName);
    note = (SameText(taken, kivoName) ? "Note     : the KIVO file is itself named " + kivoName
                                      : "Note     : " + taken + " is the KIVO file " + kivoName +
                                            " under another name")
           + ", so this report is " + ExtractFileName(file->Name());
    FTargetPath = file->Name();
    if (IsKivoFile(FTargetPath))
      throw EInOutError("Text file \"" + FTargetPath + "\" is the KIVO file itself",
                        ReportIsKivoFileCode);
  }
  FTargetPath = file->Name();
  // Written beside the report and put in its place only when whole: a report cut short
  // (the disk full, say) would pass for the report, and an earlier report is kept. The
  // sharing asked of an earlier report is the text file's own.
  TFileReplacement replacement(FTargetPath, FILE_SHARE_READ);
  auto fail = [&](uint32_t error) {
    return EInOutError("Text file \"" + FTargetPath + "\" could not be written (error " + std::to_string(error) + ")",
                       error);
  };
  if (replacement.GetError())
    throw fail(replacement.GetError());
  file->Assign(replacement.GetWriteName());
  file->Rewrite();
  try {
    WriteLines(*file, note);
  } catch (...) {
    file.reset();  // closed quietly, so that the new file can go with the replacement
    throw;
  }
  if (const uint32_t error = replacement.Commit())
    throw fail(error);
  FReportPath = path;
}

void TReportManager::WriteLines(TTextFile& file, const std::string& note) const {
  std::string buffer;
  auto writeLine = [&](std::string_view text) { file.WriteLn(Visible(text, buffer)); };
  auto writeList = [&](const auto& lines, uint8_t level) {
    lines.ForEach([&](std::string_view text, uint8_t lineLevel) {
      if (lineLevel <= level)
        writeLine(text);
    });
  };
  file.WriteLn("Varnok Design System: KIVO Version 9.x To Varnok QMV Translator Report");
  writeLine("PCB File : " + ClientApiExtractFileNameFromPath(FFileName));
  file.WriteLn("Date     : " + CurrentDateText());
  file.WriteLn("Time     : " + CurrentTimeText());
  if (!note.empty())
    writeLine(note);
  file.WriteLn();
  file.WriteLn();
  file.WriteLn("Load Errors : " + std::to_string(FLoadErrorCount));
  writeList(FLoadErrors, FLoadErrorLevel);
  file.WriteLn();
  file.WriteLn("Import Errors : " + std::to_string(FImportErrorCount));
  writeList(FImportErrors, FImportErrorLevel);
  file.WriteLn();
  file.WriteLn("Load Warnings : " + std::to_string(FLoadWarningCount));
  writeList(FLoadWarnings, FLoadWarningLevel);
  file.WriteLn();
  file.WriteLn("Import Warnings : " + std::to_string(FImportWarningCount));
  writeList(FImportWarnings, FImportWarningLevel);
  file.WriteLn();
  if (FLoadEventLevel > 0)
    file.WriteLn("Load Event List :");
  writeList(FLoadEvents, FLoadEventLevel);
  file.WriteLn();
  if (FImportEventLevel > 0)
    file.WriteLn("Import Event List :");
  int32_t track[4] = {};  // the track reported last, for the joined ones
  FImportEvents.ForEach([&](std::string_view record, uint8_t form) {
    if (form == efTrack || form == efJoinedTrack) {
      const int32_t last[2] = {track[0], track[1]};
      std::memcpy(track, record.data(), std::min(record.size(), sizeof track));
      if (form == efJoinedTrack) {
        track[2] = last[0], track[3] = last[1];
        form = efTrack;
        record = std::string_view(reinterpret_cast<const char*>(track), sizeof track);
      }
    }
    if (EventLevel(form) <= FImportEventLevel)
      writeLine(EventLine(form, record));
  });
  file.Close();
}
