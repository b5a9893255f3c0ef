#include "importer/KivoFile.h"

#include <cmath>
#include <emmintrin.h>
#include <limits>

#include "host/EDAClientMessageForm.h"
#include "importer/KivoImport.h"
#include "importer/KivoNumbers.h"
#include "importer/KivoReading.h"
#include "importer/KivoReadingHooks.h"
#include "importer/KivoTokenizer.h"
#include "importer/ReportManager.h"
#include "pcb/PcbApi.h"

using namespace KivoReading;

std::string KivoReading::ObjectsLeftOut(int64_t count, const char* where, int64_t first,
                                        int64_t last) {
  return std::to_string(count) + (count == 1 ? " object drawn " : " objects drawn ") + where +
         (count == 1 ? " was left out" : " were left out") +
         (first == last ? " (line " + std::to_string(first) + ")"
                        : " (lines " + std::to_string(first) + " to " + std::to_string(last) + ")");
}

TKivoUnit KivoUnitOf(const std::string& value, const std::string& version) {
  if (value == "CMM")
    return {1, 3937, true};
  if (value == "MM")
    return {2, 393701, true};
  if (value == "UM")
    return {3, 394, true};
  if (value == "CENTIMIL")
    return {4, 10000, true};
  if (value == "MIL")
    return {5, 10000, version.empty() || version[0] != '4'};
  return {};
}

int32_t KivoCoordinate(double value, double scale, int32_t grid) {
  const double product = value * scale * static_cast<double>(grid);
  if (std::isnan(product))
    return 0;
  // Beyond the range the result is its nearer end, as the rounded product would be.
  if (product >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (product <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  // The SSE2 conversion in the default rounding mode (ties to even), not the runtime's
  // x87 routine.
  return _mm_cvtsd_si32(_mm_set_sd(product));
}

TKivoFile::TKivoFile(const std::string& fileName, uint32_t boardHandle,
                     const TKivoReadingControls& controls)
    : TKivoFile(fileName, TReadOnly{}, controls) {
  if (boardHandle == 0)
    boardHandle = PcbApiGetBoardHandleFromFullFileName(FFileName);
  FBoard = std::make_unique<TPcbBoard>(boardHandle);
  FBoard->Synchronize(1);
}

TKivoFile::TKivoFile(const std::string& fileName, TReadOnly, const TKivoReadingControls& controls)
    : FFile(controls), FBoardComponent(std::make_unique<TKivoBoardComponent>()) {
  FFileName = fileName;
  FFile.Assign(FFileName.Str());
  // Files indented with tabs read as the same files indented with blanks.
  FFile.SetTabsAsBlanks(true);
}

TKivoFile::~TKivoFile() {
  if (FFile.IsOpen())
    FFile.Close();
}

void TKivoFile::SetImportOptionsHandler(TImportOptionsHandler handler) {
  TKivoImport::SetOptionsHandler(std::move(handler));
}

PadStackMapRecord& TKivoFile::GetPadStackMap() {
  if (!FPadStackMap)
    FPadStackMap = std::make_unique<PadStackMapRecord>();
  return *FPadStackMap;
}

int32_t TKivoFile::ToCoordinate(double value) {
  if (__builtin_expect(FNoScale, 0))
    FUnscaled = true;
  const double product = value * FDisplay.GetUnitScale() * static_cast<double>(FDisplay.GetGrid());
  if (__builtin_expect(KivoCoordinateFits(product), 1))
    return _mm_cvtsd_si32(_mm_set_sd(product));
  // Clamped to the board's edge it would stand somewhere the file does not say.
  NoteUnreadable();
  FBeyondRange = true;
  return KivoCoordinate(value, FDisplay.GetUnitScale(), FDisplay.GetGrid());
}

int32_t TKivoFile::ReadNextKivoCoord() {
  // Exactly -2147483647 and -2147483648 stand for 0 (files write them so); a value below
  // them lies beyond the board's range like any other, rather than at the origin.
  if (FRealCoordinates) {
    double read;
    if (__builtin_expect(!ReadFloatNumber(FFile, read), 0))
      NoteUnreadable();
    // Held as a 32-bit float.
    double value = static_cast<float>(read);
    if (__builtin_expect(value <= -2147483647.0, 0))
      value = read == -2147483647.0 || read == -2147483648.0 ? 0.0 : read;
    return ToCoordinate(value);
  }
  int32_t value;
  if (__builtin_expect(!ReadIntegerNumber(FFile, value), 0))
    NoteUnreadable();
  return ToCoordinate(value <= -2147483647 ? 0 : value);
}

int32_t TKivoFile::ReadKivoCoord() {
  const std::string_view text = GetLastTokenView(FFile);
  if (FRealCoordinates) {
    double value = 0;
    if (!TryKivoFloat(text, value)) {
      value = kUnreadable;
      NoteUnreadable();
    }
    return ToCoordinate(static_cast<float>(value));
  }
  int32_t value = 0;
  if (!TryKivoInteger(text, value)) {
    value = kUnreadable;
    NoteUnreadable();
  }
  return ToCoordinate(value);
}

int64_t TKivoFile::LineAt(int64_t position) {
  if (!FLines)
    FLines = std::make_unique<TLineCounter>(FFileName.Str());
  return FLines->LineAt(position);
}

void TKivoFile::NoteUnscaled() {
  FUnscaledLast = FFile.Position();
  if (FUnscaledCount++ == 0)
    FUnscaledFirst = FUnscaledLast;
}

void TKivoFile::ReportUnscaled() {
  if (FUnscaledCount == 0 || !FReport)
    return;
  const int64_t at = FNoUnitAt >= 0 ? FNoUnitAt : FUnscaledFirst;
  FReport->AddLineWarning(FNoUnitAt >= 0 ? "The DETAIL block" : "The object", LineAt(at),
                          " has no known DBUNIT before it: " +
                              ObjectsLeftOut(FUnscaledCount, "without a unit",
                                             LineAt(FUnscaledFirst), LineAt(FUnscaledLast)));
}

void TKivoFile::ReportLeftOut(const std::string& object, const char* reason) {
  // One left out for its numbers is told at the line of the first that could not be used
  // (a polygon's point, not its "}").
  const char* const unplaceable = UnplaceableReason();
  const bool atNumber = unplaceable && FUnreadableAt >= 0;
  ReportLeftOutAt(atNumber ? FUnreadableAt : FFile.Position(), object,
                  unplaceable ? unplaceable : reason);
}

void TKivoFile::ReportLeftOutAt(int64_t position, const std::string& object, const char* reason) {
  if (FReport)
    FReport->AddLeftOutWarning(object, LineAt(position), reason);
}

void TKivoFile::ReportEndedInside(const std::string& block) {
  if (!FReport)
    return;
  // The line of the file's last character (the line end that may close it included).
  const int64_t end = FFile.Position();
  FReport->AddEndedInsideWarning(end > 0 ? LineAt(end - 1) : 1, block);
}

bool TKivoFile::ReadValue(const char* item, std::string& value) {
  // A value after one that ran over is empty: told once, with the first.
  if (ValueRanOver(FFile)) {
    value.clear();
    return false;
  }
  const int64_t start = FFile.Position();
  value = ReadQuotedString(FFile);
  if (__builtin_expect(!ValueRanOver(FFile), 1)) {
    if (__builtin_expect(LastValueLeftOpen(FFile), 0) && item && FReport)
      FReport->AddLineWarning(item + std::string(" \"") + value + "\"", LineAt(LastValueStart(FFile)),
                              ": " + ValueLeftOpenReason(FFile) + "; it was read up to there");
    if (__builtin_expect(LastValueCut(FFile), 0) && item)
      ReportValueCut(LastValueStart(FFile), item, value);
    // A quote left open at a line's end takes the quoted value of the next line into it.
    if (__builtin_expect(LastValueQuoteWentOn(FFile), 0) && item && FReport)
      FReport->AddLineWarning(item + std::string(" \"") + value + "\"", LineAt(LastValueStart(FFile)),
                              ": its quote is not closed on its line; it went on to a later line "
                              "and took a quote there into it: its quote may be stray, and it was "
                              "read as it stands");
    return true;
  }
  if (item)
    ReportLeftOutAt(start, item, NotClosedReason(FFile));
  value.clear();
  return false;
}

void TKivoFile::ReportValueCut(int64_t position, const std::string& item, const std::string& value) {
  if (!FReport)
    return;
  const std::string kept = std::to_string(KivoMaxTokenLength);
  FReport->AddLineWarning(item + " \"" + value.substr(0, kTextValueLength) + "...\"", LineAt(position),
                          " has more than " + kept + " characters: only the first " + kept +
                              " were kept, the rest was passed over");
}

const char* TKivoFile::UnplaceableReason() const {
  return FBeyondRange ? kBeyondRange : FUnreadable ? kUnreadableNumber : nullptr;
}

bool TKivoFile::AtEnd() { return FFile.Eof() && !IsBraceHeldBack(FFile); }

int TKivoFile::ReadWord() { return GetToken(FFile, WordSet(), /*skipBlanks=*/true); }

int TKivoFile::ReadName() {
  // A name that starts with a delimiter of the word set ("+5V") first reads as an empty
  // token holding that character back; the next read starts with it. Connection lists
  // skip empty tokens and so read such names whole: a net must be named the same way.
  const int code = ReadWord();
  const char held = GetHeldBackChar(FFile);
  if (code != 0 || held == 0 || held == '{' || held == '}')
    return code;
  return ReadWord();
}

int TKivoFile::ReadKeyword() {
  const char held = GetHeldBackChar(FFile);
  if (held == '{' || held == '}' || held == '[') {
    ForgetLastToken(FFile);
    return kwEmpty;
  }
  // A quote or "(" there begins a value, as in a skip of the same bytes: it is passed
  // whole. Keywords begin with a letter: only another first character is looked at.
  if (__builtin_expect(
          held == 0 && !KivoTokenizerDetail::KeywordStart[static_cast<unsigned char>(*FFile.BufferPos())],
          0) &&
      BracketBeginsKeyword(FFile))
    return ReadValueToken(FFile);
  const int code = ReadWord();
  const char after = GetHeldBackChar(FFile);
  if (code != kwEmpty || after == 0 || after == '{' || after == '}' || after == '[')
    return code;
  if (after == '"')
    return ReadValueToken(FFile);
  return ReadWord();  // it starts with the character held back
}

void TKivoFile::BeginReading() {
  FFile.Reset();
  FDisplay.SetReport(FReport);
  if (TKivoReadingHooks* const hooks = FFile.Hooks())
    hooks->BeginReading();
}

void TKivoFile::Load() {
  BeginReading();
  // Finished on every way out: after a refused file, an exception or the import.
  const TPcbProgressScope progress(ShortString<255>("Loading KIVO file" + FFileName.Str()),
                                   static_cast<int32_t>(FFile.FileSize() / 128));
  Read();
  if (FAborted) {
    if (FReport)
      FReport->AddImportError(ieUnknownError);
    return;
  }
  // What the translation finds given twice or not given is told with its lines after it,
  // also when it ends on an exception.
  TKivoTranslationNotes notes;
  try {
    TKivoImport(*this, &notes).Run();
  } catch (...) {
    try {
      ReportTranslationNotes(notes);
    } catch (...) {
      // The failure that ended the import is the one to report.
    }
    throw;
  }
  ReportTranslationNotes(notes);
}

bool TKivoFile::ReadModel() {
  BeginReading();
  Read();
  if (FAborted && FReport)
    FReport->AddImportError(ieUnknownError);
  return !FAborted;
}

void TKivoFile::SkipComponentName() {
  // A value (mostly quoted), not kept. One that is missing or empty loses nothing, but
  // is told as every block's name is: the damage that took it may have taken more.
  const int64_t at = FFile.Position();
  const int next = PassToValue(kwCOMPONENT, /*name=*/true);
  std::string name;
  // A quoted name that ran on is told as left out already.
  const bool read = next == 0 || next == '{' || next == '}' || ReadValue("Name of COMPONENT", name);
  if (name.empty() && read)
    ReportNameless(kwCOMPONENT, at, "the import needs none, and nothing was left out");
}

void TKivoFile::Read() {
  const TKivoArenaScope arena(FArena);
  // What stands before the first block is passed over, as the recogniser passes it.
  while (!FAborted && !AtEnd()) {
    const int item = ReadItemToken(FFile);
    if (item == kwPercent)
      SkipLine(FFile);
    else if (item == kwOpenBracket)
      ParseDisplayAttribute();
    if (item != kwOpenBrace)
      continue;
    if (ReadKeyword() != kwCOMPONENT) {
      if (FBoard)
        ShowErrorBox("Couldn't recognise the file as KIVO");
      FAborted = true;
      break;
    }
    const TBlockAttributes own(*this);
    SkipComponentName();
    ParseSections();
  }
  CheckPendingPadStackIndices();
  if (!FAborted) {
    ReportUnscaled();
    ReportLayers();
  }
  FFile.Close();
  FLines.reset();  // its handle on the file goes with the reading
}

