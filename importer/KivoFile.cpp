#include "importer/KivoFile.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <emmintrin.h>
#include <limits>
#include <map>

#include "classlib/Strings.h"
#include "classlib/SysUtils.h"
#include "host/EDAClientMessageForm.h"
#include "importer/KivoImport.h"
#include "importer/KivoNumbers.h"
#include "importer/KivoTokenizer.h"
#include "importer/ReportManager.h"
#include "pcb/PcbApi.h"

namespace {

constexpr int32_t kUnreadable = -32000;
constexpr size_t kTextValueLength = 32;
constexpr size_t kTextLength = 255;

// The integer of a list value; an unreadable one counts as a failed number.
int32_t IntegerOf(const std::string& text) {
  int32_t value = 0;
  return TryStrToInt(Trim(text), value) ? value : kUnreadable;
}

// Moves the objects read into `scratch` over to the end of `list`, which grows once to
// the exact size, and empties `scratch` for the next use. Lists read object by object
// into a reused list this way keep no spare room, and the arena keeps nothing a
// growing list left behind (about as much again as the list).
template <class TList>
void KeepRead(TList& scratch, TList& list) {
  list.reserve(list.size() + scratch.size());
  std::move(scratch.begin(), scratch.end(), std::back_inserter(list));
  scratch.clear();
}

TKivoKeywordSet KeywordSet(std::initializer_list<int> codes) {
  TKivoKeywordSet set;
  for (int code : codes)
    set.set(static_cast<size_t>(code));
  return set;
}
// The sections of the COMPONENT block; those of the DETAIL block; both.
const TKivoKeywordSet kTopSections =
    KeywordSet({kwENVIRONMENT, kwUSER, kwAPERTURE_TABLE, kwSYMBOL, kwDISPLAY, kwDETAIL});
const TKivoKeywordSet kDetailSections = KeywordSet({kwANNOTATE, kwNET_DEF, kwPAD_STACK, kwSUBCOMP});
const TKivoKeywordSet kSections = kTopSections | kDetailSections;

// What each level reads as items of its own that hold objects or numbers; attribute
// and package blocks (ATR, PKG, ...) are left out, since such blocks may hold anything.
const TKivoKeywordSet kNoItems;
const TKivoKeywordSet kEnvironmentItems =
    KeywordSet({kwKIVOVREV, kwPROGRAM, kwDBTYPE, kwDBVREV, kwDBTIME, kwDBUNIT, kwDBGRID, kwLYRSTR,
                kwLYRPHID, kwSSYMTBL, kwAPR, kwPCLR, kwPOLYAP, kwPSIZ, kwROTP, kwSSTFile});
const TKivoKeywordSet kGraphicItems = KeywordSet({kwARC, kwC, kwFR, kwL, kwR, kwT, kwPOLY});
const TKivoKeywordSet kNetDefItems = KeywordSet({kwN});
const TKivoKeywordSet kNetItems = KeywordSet({kwDG});
const TKivoKeywordSet kNetGraphicItems = KeywordSet({kwV, kwNN, kwW, kwARC, kwT, kwPOLY});
const TKivoKeywordSet kPadStackItems = KeywordSet({kwPAD, kwPAD_DEF});
const TKivoKeywordSet kPadDefinitionItems = KeywordSet({kwPIC});
const TKivoKeywordSet kPadGraphicItems = KeywordSet({kwC, kwFR, kwL, kwR, kwT});
const TKivoKeywordSet kSubcompItems = KeywordSet({kwCOMP_DEF, kwI});
const TKivoKeywordSet kDefinitionItems = KeywordSet({kwPIN_DEF, kwPIC});
const TKivoKeywordSet kPinsItems = KeywordSet({kwP});
const TKivoKeywordSet kPinItems = KeywordSet({kwPT, kwPLOC});
const TKivoKeywordSet kInstanceItems = KeywordSet({kwCN});
const TKivoKeywordSet kPlacementItems =
    KeywordSet({kwORG, kwPL, kwRO, kwPA, kwMR, kwPS, kwNL, kwSC, kwUN});
const TKivoKeywordSet kPolygonItems = KeywordSet({kwOL, kwPV, kwCV});
// Every block some level reads as such an item.
const TKivoKeywordSet kItemBlocks = kEnvironmentItems | kGraphicItems | kNetDefItems | kNetItems |
                                    kNetGraphicItems | kPadStackItems | kPadDefinitionItems |
                                    kSubcompItems | kDefinitionItems | kPinsItems | kPinItems |
                                    kInstanceItems | kPlacementItems | kPolygonItems;
// The blocks the sections of DETAIL read one by one: nets, component definitions,
// instances and the pad stack's pads. None holds another.
const TKivoKeywordSet kUnitBlocks = KeywordSet({kwN, kwCOMP_DEF, kwI, kwPAD, kwPAD_DEF});

bool InSet(const TKivoKeywordSet& set, int code) {
  return code > 0 && code <= KivoKeywordCount && set[static_cast<size_t>(code)];
}

bool IsSection(int code) {
  return code > 0 && code <= KivoKeywordCount && kSections[static_cast<size_t>(code)];
}

bool IsDetailSection(int code) {
  return code > 0 && code <= KivoKeywordCount && kDetailSections[static_cast<size_t>(code)];
}

// Pins of these pad-stack indices are small default pads by rule, with or without a PAD.
bool IsSmallPadIndex(int32_t index) { return (index >= 25 && index <= 50) || index >= 200; }

const char kNotWhole[] = "it is not a whole number";
const char kNotClosed[] = "its \"(\" is not closed before the next block";
const char kQuoteNotClosed[] = "its quote is not closed before the next block";
// Why the value read last ran over into the blocks after it.
const char* NotClosedReason() { return LastValueQuoted() ? kQuoteNotClosed : kNotClosed; }
// The sections of the COMPONENT and DETAIL blocks, as a warning lists them.
const char kTopSectionNames[] = "ENVIRONMENT, USER, DISPLAY, APERTURE_TABLE, SYMBOL, DETAIL";
const char kDetailSectionNames[] = "ANNOTATE, NET_DEF, PAD_STACK, SUBCOMP";

// "1 object drawn ... was left out (line F)" or "N objects drawn ... were left out
// (lines F to L)", for `count` objects drawn `where` between the lines `first` and `last`.
std::string ObjectsLeftOut(int64_t count, const char* where, int64_t first, int64_t last) {
  return std::to_string(count) + (count == 1 ? " object drawn " : " objects drawn ") + where +
         (count == 1 ? " was left out" : " were left out") +
         (first == last ? " (line " + std::to_string(first) + ")"
                        : " (lines " + std::to_string(first) + " to " + std::to_string(last) + ")");
}

}  // namespace

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

TKivoFile::TKivoFile(const std::string& fileName, uint32_t boardHandle)
    : TKivoFile(fileName, TReadOnly{}) {
  if (boardHandle == 0)
    boardHandle = PcbApiGetBoardHandleFromFullFileName(FFileName);
  FBoard = std::make_unique<TPcbBoard>(boardHandle);
  FBoard->Synchronize(1);
}

TKivoFile::TKivoFile(const std::string& fileName, TReadOnly)
    : FBoardComponent(std::make_unique<TKivoBoardComponent>()) {
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
  const double product = value * FDisplay.GetUnitScale() * static_cast<double>(FDisplay.GetGrid());
  if (__builtin_expect(KivoCoordinateFits(product), 1))
    return _mm_cvtsd_si32(_mm_set_sd(product));
  // Clamped to the board's edge it would stand somewhere the file does not say.
  FUnreadable = FBeyondRange = true;
  return KivoCoordinate(value, FDisplay.GetUnitScale(), FDisplay.GetGrid());
}

int32_t TKivoFile::ReadNextKivoCoord() {
  // Exactly -2147483647 and -2147483648 stand for 0 (files write them so); a value below
  // them lies beyond the board's range like any other, rather than at the origin.
  if (FRealCoordinates) {
    double read;
    FUnreadable |= !ReadFloatNumber(FFile, read);
    // Held as a 32-bit float.
    double value = static_cast<float>(read);
    if (__builtin_expect(value <= -2147483647.0, 0))
      value = read == -2147483647.0 || read == -2147483648.0 ? 0.0 : read;
    return ToCoordinate(value);
  }
  int32_t value;
  FUnreadable |= !ReadIntegerNumber(FFile, value);
  return ToCoordinate(value <= -2147483647 ? 0 : value);
}

int32_t TKivoFile::ReadKivoCoord() {
  const std::string_view text = GetLastTokenView();
  if (FRealCoordinates) {
    double value = 0;
    if (!TryKivoFloat(text, value)) {
      value = kUnreadable;
      FUnreadable = true;
    }
    return ToCoordinate(static_cast<float>(value));
  }
  int32_t value = 0;
  if (!TryKivoInteger(text, value)) {
    value = kUnreadable;
    FUnreadable = true;
  }
  return ToCoordinate(value);
}

int64_t TKivoFile::LineAt(int64_t position) {
  if (!FLines)
    FLines = std::make_unique<TLineCounter>(FFileName.Str());
  return FLines->LineAt(position);
}

void TKivoFile::ReportLeftOut(const std::string& object, const char* reason) {
  ReportLeftOutAt(FFile.Position(), object,
                  FBeyondRange ? "a coordinate or size lies beyond the board's range"
                  : FUnreadable ? "a coordinate or size could not be read"
                                : reason);
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
  if (HeldBraceRanOver(FFile)) {
    value.clear();
    return false;
  }
  const int64_t start = FFile.Position();
  value = ReadQuotedString(FFile);
  if (__builtin_expect(!HeldBraceRanOver(FFile), 1))
    return true;
  if (item)
    ReportLeftOutAt(start, item, NotClosedReason());
  value.clear();
  return false;
}

bool TKivoFile::Skip(std::string_view block) {
  return __builtin_expect(SkipHeldBlockEnd(FFile), 1) || SkipRest(block, swSections);
}

bool TKivoFile::Skip(int block) {
  return __builtin_expect(SkipHeldBlockEnd(FFile), 1) ||
         SkipRest(KivoKeywordText(block), swSections);
}

bool TKivoFile::SkipKnown(std::string_view block) {
  return __builtin_expect(SkipHeldBlockEnd(FFile), 1) || SkipRest(block, swItems);
}

bool TKivoFile::SkipKnown(int block) {
  return __builtin_expect(SkipHeldBlockEnd(FFile), 1) ||
         SkipRest(KivoKeywordText(block), swItems);
}

bool TKivoFile::SkipRest(std::string_view block, TSkipWatch watch) {
  // The sections of the COMPONENT block's own skipped sections (USER, SYMBOL...), which
  // may hold blocks named as DETAIL's sections; any other block holds no section.
  TKivoKeywordSet taken = watch == swTopSections ? kTopSections : kSections;
  if ((watch == swItems || watch == swUnknown) && FDepth >= 0)
    taken |= FLevels[static_cast<size_t>(FDepth)].Open;
  // A unit of a section that no open level reads lies in a block that cannot hold it (a
  // "}" missing before it): it is lost with the block, and told.
  const TKivoKeywordSet watched = watch == swUnknown ? taken | kUnitBlocks : taken;
  int64_t open = 1;  // the skipped block and the blocks inside it left open where the skip stands
  int lostCode = 0;
  int64_t lostLine = 0;
  for (;;) {
    const TKivoSkipEnd end = SkipBlockUntil(FFile, watched);
    if (end.Code == 0 && end.Closed && --open > 0)
      continue;
    if (end.Code != 0 && !InSet(taken, end.Code)) {
      if (lostCode == 0) {
        lostCode = end.Code;
        lostLine = LineAt(FFile.Position());
      }
      open += end.Open;
      continue;
    }
    if (__builtin_expect(lostCode != 0, 0) && FReport)
      FReport->AddLineDetail("The " + std::string(KivoKeywordText(lostCode)) + " block", lostLine,
                             " lies inside the " + std::string(block) +
                                 " block: a \"}\" may be missing before it; it was skipped with "
                                 "that block (lines " + std::to_string(lostLine) + " to " +
                                 std::to_string(LineAt(FFile.Position())) + ")");
    if (end.Code == 0)
      return end.Closed;
    const int64_t around = open - 1 + end.Open;
    if (IsSection(end.Code)) {
      FSkippedOpen += around;
      TakeSection(end.Code, block);
    } else {
      TakeMisplaced(end.Code, block, FDepth, around);
    }
    return true;
  }
}

bool TKivoFile::SkipItem(int code, std::string_view block) {
  return TakeWhereItBelongs(code, block) || Skip(block);
}

bool TKivoFile::TakeWhereItBelongs(int code, std::string_view block) {
  if (!IsSection(code))
    return TakeMisplaced(code, block, FDepth - 1, 0);
  TakeSection(code, block);
  return true;
}

bool TKivoFile::TakeMisplaced(int code, std::string_view block, int from, int64_t skippedOpen) {
  if (!InSet(kItemBlocks, code))
    return false;
  int level = std::min(from, FDepth);
  while (level >= 0 && !InSet(*FLevels[static_cast<size_t>(level)].Items, code))
    --level;
  if (level < 0)
    return false;
  FSkippedOpen += skippedOpen + (FDepth - level);
  FPendingItem = code;
  FPendingItemLevel = level;
  TellMisplaced(code, block);
  return true;
}

void TKivoFile::TakeSection(int code, std::string_view block) {
  FPendingSection = code;
  TellMisplaced(code, block);
}

void TKivoFile::TellMisplaced(int code, std::string_view block) {
  if (FReport)
    FReport->AddLineWarning("The " + std::string(KivoKeywordText(code)) + " block",
                            LineAt(FFile.Position()),
                            " lies inside the " + std::string(block) +
                                " block: a \"}\" may be missing before it; it was read");
}

bool TKivoFile::TakePending() {
  FBlockEndedAtEof = false;
  // The level that reads it takes it (or, were it gone, the level reading now).
  if (FPendingItem == 0 || FPendingItemLevel < FDepth)
    return false;
  FDeliveredItem = std::exchange(FPendingItem, 0);
  return true;
}

// A level of item loops being read, for as long as its loop runs.
class TKivoFile::TLevelScope {
 public:
  TLevelScope(TKivoFile& reader, const TKivoKeywordSet& items) : FReader(reader) {
    assert(reader.FDepth + 1 < kMaxLevels && "the reading's levels are nested as deep as its code");
    const int depth = ++reader.FDepth;
    TLevel& level = reader.FLevels[static_cast<size_t>(depth)];
    level.Items = &items;
    level.Open = depth > 0 ? reader.FLevels[static_cast<size_t>(depth - 1)].Open | items : items;
  }
  ~TLevelScope() { --FReader.FDepth; }
  TLevelScope(const TLevelScope&) = delete;
  TLevelScope& operator=(const TLevelScope&) = delete;

 private:
  TKivoFile& FReader;
};

template <class F>
void TKivoFile::CheckPadStackIndex(int32_t index, bool readable, bool pin, int64_t position,
                                   F&& describe) {
  const bool known = (pin && IsSmallPadIndex(index)) ||
                     (FPadIndices && std::binary_search(FPadIndices->begin(), FPadIndices->end(), index));
  if (__builtin_expect(readable && known, 1))
    return;
  CheckPadStackIndexFurther({index, position, describe()}, readable, pin);
}

void TKivoFile::CheckPadStackIndexFurther(TPendingIndex index, bool readable, bool pin) {
  if (!readable)
    ReportLeftOutAt(index.Position, "Pad stack index of " + index.Object, kNotWhole);
  else if (!FPadIndices)
    FPendingIndices.push_back(std::move(index));
  else if (!pin || !IsSmallPadIndex(index.Index))
    ReportUnknownPadStackIndex(index);
}

void TKivoFile::ReportUnknownPadStackIndex(const TPendingIndex& index) {
  ReportLeftOutAt(index.Position,
                  "Pad stack index " + std::to_string(index.Index) + " of " + index.Object,
                  "no PAD of the pad stack has it");
}

void TKivoFile::KeepPadStackIndices(const TKivoPadStack& stack) {
  FPadIndices.emplace();
  for (const auto& record : stack.GetPads())
    FPadIndices->push_back(record->GetIndex());
  std::sort(FPadIndices->begin(), FPadIndices->end());
  CheckPendingPadStackIndices();
}

void TKivoFile::CheckPendingPadStackIndices() {
  // A file without PAD_STACK makes every pad and via by default, as it always has.
  if (FPadIndices)
    for (const TPendingIndex& pending : FPendingIndices)
      if (!std::binary_search(FPadIndices->begin(), FPadIndices->end(), pending.Index))
        ReportUnknownPadStackIndex(pending);
  FPendingIndices.clear();
}

void TKivoFile::CheckPlacedChildren(TKivoComponent& definition, TKivoInstance& instance,
                                    int64_t position) {
  if (!FLeftOutInstances.empty() && FLeftOutInstances.count(&instance) != 0)
    return;
  if (!definition.KeepsDesignatorWithinRange(instance)) {
    FLeftOutInstances.insert(&instance);
    ReportLeftOutAt(position, "Component " + instance.GetDesignator().GetText(),
                    "placed, its designator would lie beyond the board's range");
    return;
  }
  for (const std::string& child : definition.LeaveOutWhatPlacementCarriesBeyond(instance))
    ReportLeftOutAt(position, child + " of component " + instance.GetDesignator().GetText(),
                    "placed, it would lie beyond the board's range");
}

bool TKivoFile::AtEnd() { return FFile.Eof() && !IsBraceHeldBack(); }

int TKivoFile::ReadWord() {
  // A block taken where it could not lie is the keyword its level reads next.
  if (__builtin_expect(FDeliveredItem != 0, 0))
    return std::exchange(FDeliveredItem, 0);
  return GetToken(FFile, WordSet(), /*skipBlanks=*/true);
}

int TKivoFile::ReadName() {
  // A name that starts with a delimiter of the word set ("+5V") first reads as an empty
  // token holding that character back; the next read starts with it. Connection lists
  // skip empty tokens and so read such names whole: a net must be named the same way.
  const int code = ReadWord();
  const char held = GetHeldBackChar();
  if (code != 0 || held == 0 || held == '{' || held == '}')
    return code;
  return ReadWord();
}

bool TKivoFile::NextBlockItem() {
  // A section or block to be read next ends every block item loop up to the one that
  // reads it.
  if (__builtin_expect(Pending(), 0))
    return TakePending();
  // Every token read consumes input, so the loop ends at the latest at the end.
  while (!AtEnd()) {
    switch (GetToken(FFile, StructuralSet(), /*skipBlanks=*/true)) {
      case kwPercent:
        SkipLine(FFile);
        break;
      case kwOpenBracket:
        ParseDisplayAttribute();
        break;
      case kwOpenBrace:
        return true;
      case kwCloseBrace:
        FBlockEndedAtEof = false;
        return false;
      default:
        break;
    }
  }
  FBlockEndedAtEof = true;
  return false;
}

bool TKivoFile::ReportUnhandledToken(int code, std::string_view block) {
  return ReportUnhandled(code, block, nullptr);
}

bool TKivoFile::ReportUnhandled(int code, std::string_view block, const char* sections) {
  if (TakeWhereItBelongs(code, block))
    return true;
  const std::string token = GetLastTokenText();
  if (FReport) {
    FReport->AddLoadWarning(lwUnhandledToken, token);
    // A misspelt section loses all it holds, and a block that holds objects where
    // nothing being read reads it loses them; the unhandled token is shown only at
    // detail level 3: named here at level 2. (A brace read as the keyword left the
    // token text of the word before it.)
    if (sections && !token.empty() && code != kwOpenBrace && code != kwCloseBrace)
      FReport->AddLineDetail("The block " + token, LineAt(FFile.Position()),
                             " is not one of the " + std::string(block) + " block's sections (" +
                                 sections + "): it was skipped");
    else if (InSet(kUnitBlocks, code))
      FReport->AddLineDetail("The " + token + " block", LineAt(FFile.Position()),
                             " lies inside the " + std::string(block) +
                                 " block, which does not read it: a \"}\" may be missing before "
                                 "it; it was skipped");
  }
  return SkipHeldBlockEnd(FFile) || SkipRest(token, swUnknown);
}

void TKivoFile::BeginReading() {
  ResetTokenizerState();
  FFile.Reset();
  FDisplay.SetReport(FReport);
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
  TKivoImport(*this).Run();
}

bool TKivoFile::ReadModel() {
  BeginReading();
  Read();
  if (FAborted && FReport)
    FReport->AddImportError(ieUnknownError);
  return !FAborted;
}

void TKivoFile::Read() {
  const TKivoArenaScope arena(FArena);
  while (!FAborted && !AtEnd()) {
    if (!NextBlockItem())
      continue;
    if (ReadWord() != kwCOMPONENT) {
      if (FBoard)
        ShowErrorBox("Couldn't recognise the file as KIVO");
      FAborted = true;
      break;
    }
    ReadWord();  // the component's name
    ParseSections();
  }
  CheckPendingPadStackIndices();
  if (!FAborted)
    ReportLayers();
  FFile.Close();
  FLines.reset();  // its handle on the file goes with the reading
}

void TKivoFile::ParseSections() {
  // A "}" is passed over: only the end of the file ends the sections. The blocks still
  // open are counted, the COMPONENT block first: a section reads up to its own "}", so a
  // section that stops without it stopped at the end of the file; a skip that stopped
  // at a section left its blocks open. A whole file (nearly every one) leaves none open
  // and costs nothing more. Only the braces the reading takes for blocks count, not
  // those of comments, texts or values.
  const TLevelScope level(*this, kNoItems);
  int64_t open = 1;
  std::string openBlock = "COMPONENT";
  while (FPendingSection != 0 || !AtEnd()) {
    // A section met where it cannot lie (told) is read here.
    const bool taken = FPendingSection != 0;
    if (!taken && !NextBlockItem()) {
      if (!FBlockEndedAtEof && open > 0)
        --open;
      continue;
    }
    int leftOpen = 0;
    const int code = taken ? std::exchange(FPendingSection, 0) : ReadWord();
    std::string keyword = taken ? std::string(KivoKeywordText(code)) : GetLastTokenText();
    switch (code) {
      case kwENVIRONMENT:
        ParseEnvironment();
        leftOpen = FBlockEndedAtEof;
        break;
      case kwDISPLAY:
        leftOpen = ParseDisplay();
        break;
      case kwDETAIL:
        CheckUnitScale();
        ParseDetail();
        leftOpen = FBlockEndedAtEof;
        break;
      case kwUSER:
      case kwAPERTURE_TABLE:
      case kwSYMBOL:
        leftOpen = !SkipHeldBlockEnd(FFile) && !SkipRest(keyword, swTopSections);
        break;
      default:
        if (taken && IsDetailSection(code)) {
          ParseDetailSection(code);
          leftOpen = FBlockEndedAtEof;
        } else {
          leftOpen = !ReportUnhandled(code, "COMPONENT", kTopSectionNames);
        }
        break;
    }
    if (FSkippedOpen > 0) {
      open += std::exchange(FSkippedOpen, 0);
      openBlock = keyword;
    }
    if (leftOpen > 0) {
      open += leftOpen;
      openBlock = std::move(keyword);
    }
  }
  if (open > 0)
    ReportEndedInside(openBlock);
}

void TKivoFile::ParseEnvironment() {
  const TLevelScope level(*this, kEnvironmentItems);
  TKivoEnvironment& env = FBoardComponent->GetEnvironment();
  std::string value;
  while (NextBlockItem()) {
    const int code = ReadWord();
    switch (code) {
      case kwKIVOVREV:
        if (ReadValue("Value of KIVOVREV", value))
          env.SetVersion(value);
        break;
      case kwPROGRAM:
        if (ReadValue("Value of PROGRAM", value))
          env.SetProgram(value);
        break;
      case kwDBTYPE:
        if (ReadValue("Value of DBTYPE", value))
          env.SetDatabaseType(SameText(value, "PC-Board") ? 3 : SameText(value, "Schematic") ? 1 : 0);
        break;
      case kwDBVREV:
        if (ReadValue("Value of DBVREV", value))
          env.SetDatabaseVersion(value);
        break;
      case kwDBTIME:
        if (ReadValue("Value of DBTIME", value))
          env.SetDatabaseTime(value);
        break;
      case kwDBUNIT: {
        const int64_t at = FFile.Position();
        if (!ReadValue("Value of DBUNIT", value))
          break;
        const TKivoUnit unit = KivoUnitOf(value, env.GetVersion());
        env.SetUnitCode(unit.Code);
        if (unit.Code != 0) {
          FDisplay.SetUnitScale(unit.Scale);
          FRealCoordinates = unit.RealCoordinates;
        } else if (FReport) {
          FReport->AddLineWarning("DBUNIT \"" + value + "\"", LineAt(at),
                                  " is not one of the units CMM, MM, UM, CENTIMIL and MIL: "
                                  "it was passed over");
        }
        break;
      }
      case kwDBGRID:
        ReadGrid();
        break;
      case kwLYRSTR:
        while (ReadValue("Value of LYRSTR", value) && !value.empty())
          env.AddLayerString(value, ReadIntegerValue(FFile));
        break;
      case kwLYRPHID:
        while (ReadValue("Value of LYRPHID", value) && !value.empty()) {
          TKivoPhysicalId id;
          id.Value1 = IntegerOf(value);
          id.Value2 = ReadIntegerValue(FFile);
          id.Value3 = ReadIntegerValue(FFile);
          env.GetPhysicalIds().push_back(id);
        }
        if (env.GetPhysicalIds().size() != static_cast<size_t>(env.GetLayerStrings().GetCount()) &&
            FReport)
          FReport->AddLoadWarning(lwLayerCountMismatch);
        break;
      case kwSSYMTBL:
        while (ReadValue("Value of SSYMTBL", value) && !value.empty()) {
          TKivoSymbolEntry entry;
          entry.Id = IntegerOf(value);
          const int32_t flag = ReadIntegerValue(FFile);
          entry.Flag = flag == -2 ? 2 : flag == -1 ? 1 : 0;
          entry.Value1 = ReadIntegerValue(FFile);
          entry.Value2 = ReadIntegerValue(FFile);
          env.GetSymbolTable().push_back(entry);
        }
        break;
      case kwAPR:
        while (ReadValue("Value of APR", value) && !value.empty())
          env.GetApertures().push_back(IntegerOf(value));
        break;
      case kwPCLR:
        env.SetPCLR(ReadFloatValue(FFile));
        break;
      case kwPOLYAP:
        env.SetPOLYAP(ReadFloatValue(FFile));
        break;
      case kwPSIZ:
        env.SetPSIZ(ReadFloatValue(FFile));
        break;
      case kwROTP:
        env.SetROTP(ReadFloatValue(FFile) == 0);
        break;
      case kwSSTFile:
        if (ReadValue("Value of SSTFile", value))
          env.SetSSTFile(value);
        break;
      default:
        ReportUnhandledToken(code, "ENVIRONMENT");
        PcbApiPercentUpdate();
        continue;
    }
    SkipKnown(code);
    PcbApiPercentUpdate();
  }
  if (env.GetDatabaseType() == 1 && FReport)
    FReport->SetLoadSection(0);
}

void TKivoFile::ReadGrid() {
  int32_t grid = ReadIntegerValue(FFile);
  const bool readable = !GetNumberError();
  if (__builtin_expect(!readable || grid == 0, 0)) {
    // Every coordinate is multiplied by the grid: 0 (or the -32000 of an unreadable
    // number) would put every object at the origin, or mirror and scale it off the board.
    const std::string text = GetLastTokenText();
    if (FReport)
      FReport->AddLineWarning(
          readable ? "DBGRID 0" : text.empty() ? "DBGRID" : "DBGRID " + text,
          LineAt(FFile.Position()),
          std::string(readable        ? " would make every coordinate 0"
                      : text.empty() ? " has no value"
                                     : " is not a whole number") +
              ": a grid of 1 was used");
    grid = 1;
  }
  FDisplay.SetGrid(grid);
  FBoardComponent->GetEnvironment().SetGrid(grid);
}

void TKivoFile::CheckUnitScale() {
  const bool noUnit = FDisplay.GetUnitScale() == 0, noGrid = FDisplay.GetGrid() == 0;
  if (__builtin_expect(FToldUnitScale || !(noUnit || noGrid), 1))
    return;
  FToldUnitScale = true;
  // There is no sound unit to assume: the reading goes on as the file says.
  if (FReport)
    FReport->AddLineWarning("The DETAIL block", LineAt(FFile.Position()),
                            std::string(" has ") +
                                (noUnit && noGrid ? "no known DBUNIT and no DBGRID"
                                 : noUnit         ? "no known DBUNIT"
                                                  : "no DBGRID") +
                                " before it: every coordinate reads as 0");
}

void TKivoFile::SwitchLayer(int64_t position) {
  const std::string& name = FDisplay.LayerNameRef();
  auto [at, added] = FLayers.try_emplace(name);
  if (added) {
    at->second.Name = name;
    at->second.Position = position;
  }
  FLayer = &at->second;
  FCounting = FInPadDefinition ? nullptr : FLayer;
}

void TKivoFile::SetUnreadableLayer(int64_t position) {
  // No LYRSTR entry can declare the empty name (its list ends at an empty value), so
  // what is drawn now is not translated: told with this [LY], not put on the layer before.
  FDisplay.SetLayerName(std::string());
  FUnreadableLayers.push_back({std::string(), position, 0, /*Unreadable=*/true});
  FUnreadableLayers.back().Quoted = LastValueQuoted();
  FLayer = &FUnreadableLayers.back();
  FCounting = FInPadDefinition ? nullptr : FLayer;
}

void TKivoFile::ReportLayers() {
  if (!FReport)
    return;
  const TStringList& declared = FBoardComponent->GetEnvironment().GetLayerStrings();
  std::vector<const TLayerRecord*> told;
  for (const auto& [name, record] : FLayers)
    if (record.Count > 0 && declared.IndexOf(name) < 0)
      told.push_back(&record);
  for (const TLayerRecord& record : FUnreadableLayers)
    told.push_back(&record);
  std::sort(told.begin(), told.end(),
            [](const TLayerRecord* a, const TLayerRecord* b) { return a->Position < b->Position; });
  // The lines asked in rising order: one pass over the file.
  std::map<int64_t, int64_t> lines;
  for (const TLayerRecord* record : told)
    lines[record->Position] = lines[record->FirstAt] = lines[record->LastAt] = 0;
  for (auto& [position, line] : lines)
    line = LineAt(position);
  for (const TLayerRecord* record : told) {
    const auto leftOut = [&](const char* where) {
      return ObjectsLeftOut(record->Count, where, lines[record->FirstAt], lines[record->LastAt]);
    };
    if (!record->Unreadable) {
      FReport->AddLineWarning("The layer \"" + record->Name + "\"", lines[record->Position],
                              " is not declared by the file's LYRSTR: " + leftOut("on it"));
      continue;
    }
    std::string reason = record->Quoted ? kQuoteNotClosed : kNotClosed;
    if (record->Count > 0)
      reason += "; " + leftOut("after it");
    FReport->AddLeftOutWarning("Layer", lines[record->Position], reason);
  }
}

int TKivoFile::ParseDisplay() {
  while (!AtEnd()) {
    const int code = GetToken(FFile, StructuralSet(), /*skipBlanks=*/true);
    if (code == kwOpenBrace) {
      // A block there lies inside the DISPLAY block, which reads none and stays open: a
      // section is read, any other block told and skipped as the COMPONENT block's.
      const int block = ReadWord();
      if (IsSection(block))
        TakeSection(block, "DISPLAY");
      else if (!ReportUnhandled(block, "COMPONENT", kTopSectionNames))
        return 2;
      return 1;
    }
    if (code == kwCloseBrace)
      return 0;
    if (code == kwPercent)
      SkipLine(FFile);
    else if (code == kwOpenBracket)
      ParseDisplayAttribute();
  }
  return 1;
}

void TKivoFile::ParseDisplayAttribute() {
  const int64_t start = FFile.Position();
  std::string value;
  switch (ReadWord()) {
    case kwAMT:
      FDisplay.SetAMT(ReadFloatValue(FFile));
      break;
    case kwAPT:
      FDisplay.SetAPT(ReadFloatValue(FFile));
      break;
    case kwLY: {
      const int64_t at = FFile.Position();
      // An unreadable value is told at the end of the reading, with what it left out.
      if (ReadValue(/*item=*/nullptr, value))
        SetLayer(value, at);
      else
        SetUnreadableLayer(at);
      break;
    }
    case kwLS:
      if (ReadValue("Line style", value))
        FDisplay.SetLineStyle(SameText(value, "DASHED") ? 1 : SameText(value, "DOTTED") ? 2 : 0);
      break;
    case kwWD: {
      BeginObject();
      const int32_t width = ReadNextKivoCoord();
      if (Placeable("Line width", width < 0, "it is negative"))
        FDisplay.SetWidth(width);
      break;
    }
    case kwTS: {
      BeginObject();
      const int32_t size = ReadNextKivoCoord();
      if (Placeable("Text size", size < 0, "it is negative"))
        FDisplay.SetTextSize(size);
      break;
    }
    case kwTJ: {
      if (!ReadValue("Text justification", value))
        break;
      const char h = value.size() > 0 ? value[0] : 0, v = value.size() > 1 ? value[1] : 0;
      FDisplay.SetHorizontalJustification(h == 'L' ? 1 : h == 'R' ? 2 : h == 'C' ? 5 : 0);
      FDisplay.SetVerticalJustification(v == 'T' ? 3 : v == 'B' ? 4 : v == 'C' ? 5 : 0);
      break;
    }
    case kwTR: {
      BeginObject();
      const int32_t r = ReadIntegerValue(FFile);
      // An unreadable rotation would turn the texts that follow by -32000 degrees.
      if (Placeable("Text rotation", GetNumberError(), "it is not a whole number"))
        FDisplay.SetRotation(r == 1 ? 90 : r == 2 ? 180 : r == 3 ? 270 : r);
      break;
    }
    case kwTM:
      if (ReadValue("Text mirror", value))
        FDisplay.SetMirror(!value.empty() && value[0] == 'Y' ? 1 : 0);
      break;
    default:
      break;
  }
  // An attribute that runs on into the next attribute or the blocks after it ends where
  // they begin (a value that ran over was told already).
  if (HeldBraceRanOver(FFile) || SkipToCloseBracket(FFile) || !FReport)
    return;
  if (GetHeldBackChar() == '[')
    FReport->AddLineWarning("The attribute", LineAt(start),
                            " is not closed by \"]\": it ends where the next attribute begins");
  else if (IsBraceHeldBack())
    FReport->AddLineWarning("The attribute", LineAt(start),
                            " is not closed by \"]\": it ends where the next block begins");
}

void TKivoFile::ParseDetail() {
  const TLevelScope level(*this, kNoItems);
  for (;;) {
    // A section of the DETAIL block met where it cannot lie (told) is read here; any
    // other ends the DETAIL block's items.
    int code;
    if (IsDetailSection(FPendingSection))
      code = std::exchange(FPendingSection, 0);
    else if (NextBlockItem())
      code = ReadWord();
    else
      break;
    if (!ParseDetailSection(code))
      ReportUnhandled(code, "DETAIL", kDetailSectionNames);
    PcbApiPercentUpdate();
  }
}

bool TKivoFile::ParseDetailSection(int code) {
  switch (code) {
    case kwANNOTATE:
      ParseAnnotate(FBoardComponent->GetDetail().GetAnnotations());
      return true;
    case kwNET_DEF:
      ParseNetDef();
      return true;
    case kwPAD_STACK:
      ParsePadStack();
      return true;
    case kwSUBCOMP:
      ParseSubcomp();
      return true;
    default:
      return false;
  }
}

void TKivoFile::ParseAnnotate(TKivoDetail::TKivoList& list) {
  const TLevelScope level(*this, kGraphicItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    if (code != kwW && ParseGraphic(code, list))
      continue;
    if (code == kwFL || code == kwDIMENSION)
      Skip(code);
    else
      ReportUnhandledToken(code, "ANNOTATE");
  }
}

void TKivoFile::ParseNetDef() {
  const TLevelScope level(*this, kNetDefItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    if (code != kwN) {
      ReportUnhandledToken(code, "NET_DEF");
      continue;
    }
    auto& nets = FBoardComponent->GetDetail().GetNets();
    auto net = std::make_unique<TKivoNetObject>(&FDisplay);
    TKivoNetObject& ref = *net;
    ReadName();
    ref.SetName(GetLastTokenText());
    nets.push_back(std::move(net));
    const TLevelScope netLevel(*this, kNetItems);
    while (NextBlockItem()) {
      const int item = ReadWord();
      if (item == kwATR)
        SkipKnown("ATR");
      else if (item == kwDG)
        ParseNetGraphics(ref);
      else
        ReportUnhandledToken(item, "N");
    }
  }
}

void TKivoFile::ParseNetGraphics(TKivoNetObject& net) {
  const TLevelScope level(*this, kNetGraphicItems);
  TKivoObjectList& members = FObjectScratch;
  members.clear();
  while (NextBlockItem()) {
    const int code = ReadWord();
    switch (code) {
      case kwV: {
        auto via = std::make_unique<TKivoVia>(&FDisplay);
        BeginObject();
        via->SetX(ReadNextKivoCoord());
        via->SetY(ReadNextKivoCoord());
        via->SetPadStackIndex(ReadIntegerValue(FFile));
        const bool readable = !GetNumberError();
        if (KeptDescribed([&] { return "Via of net " + net.GetName(); })) {
          CheckPadStackIndex(via->GetPadStackIndex(), readable, /*pin=*/false, FFile.Position(),
                             [&] { return "via of net " + net.GetName(); });
          members.push_back(std::move(via));
        }
        SkipKnown("V");
        break;
      }
      case kwNN: {
        auto text = std::make_unique<TKivoText>(&FDisplay);
        text->SetText(net.GetName());
        BeginObject();
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        text->SetPosition({x, y});
        if (KeptDescribed([&] { return "Name of net " + net.GetName(); }))
          members.push_back(std::move(text));
        SkipKnown("NN");
        break;
      }
      case kwW:
      case kwARC:
      case kwT:
      case kwPOLY:
        ParseGraphic(code, members);
        break;
      default:
        ReportUnhandledToken(code, "DG");
        break;
    }
  }
  KeepRead(members, net.GetMembers());
}

void TKivoFile::ParsePadStack() {
  auto& stacks = FBoardComponent->GetDetail().GetPadStacks();
  stacks.push_back(std::make_unique<TKivoPadStack>(&FDisplay));
  TKivoPadStack& stack = *stacks.back();
  const TLevelScope level(*this, kPadStackItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    switch (code) {
      case kwPAD: {
        const int32_t index = ReadIntegerValue(FFile);
        std::string first, second;
        if (ReadValue("Value of PAD", first) && ReadValue("Value of PAD", second))
          stack.GetPads().push_back(std::make_unique<TKivoPadRecord>(index, first, second));
        SkipKnown("PAD");
        break;
      }
      case kwPAD_DEF:
        ParsePadDefinition(stack);
        break;
      default:
        ReportUnhandledToken(code, "PAD_STACK");
        break;
    }
  }
  // The translation takes its pads from the first pad stack.
  if (!FPadIndices)
    KeepPadStackIndices(*stacks.front());
}

void TKivoFile::ParseSubcomp() {
  auto& components = FBoardComponent->GetDetail().GetComponents();
  TKivoComponent* current = nullptr;
  // Instances whose placement could not be read go once the section is read: a later
  // attribute block may still name them.
  struct TDropLeftOut {
    TKivoFile& Reader;
    TKivoDetail::TKivoList& Components;
    ~TDropLeftOut() {
      if (Reader.FLeftOutInstances.empty())
        return;
      // The list holds component definitions only.
      for (auto& component : Components) {
        auto& definition = static_cast<TKivoComponent&>(*component);
        definition.ForgetLeftOutChildren(Reader.FLeftOutInstances);
        std::erase_if(definition.GetInstances(), [&](const std::unique_ptr<TKivoInstance>& i) {
          return Reader.FLeftOutInstances.count(i.get()) != 0;
        });
      }
      Reader.FLeftOutInstances.clear();
    }
  } dropLeftOut{*this, components};
  const TLevelScope level(*this, kSubcompItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    switch (code) {
      case kwCOMP_DEF: {
        auto definition = std::make_unique<TKivoComponent>(&FDisplay);
        current = definition.get();
        components.push_back(std::move(definition));
        ParseComponentDefinition(*current);
        break;
      }
      case kwI:
        ParseInstance(current);
        break;
      default:
        ReportUnhandledToken(code, "SUBCOMP");
        break;
    }
  }
}

void TKivoFile::ParseComponentDefinition(TKivoComponent& definition) {
  ReadWord();
  definition.SetName(GetLastTokenText());
  FDefinitions[UpperCase(definition.GetName())] = &definition;
  const TLevelScope level(*this, kDefinitionItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    switch (code) {
      case kwPIN_DEF:
        ParsePins(definition);
        break;
      case kwPIC: {
        const TLevelScope pictureLevel(*this, kGraphicItems);
        FObjectScratch.clear();
        while (NextBlockItem()) {
          const int item = ReadWord();
          if (item == kwFL)
            Skip("FL");
          else if (item == kwW || !ParseGraphic(item, FObjectScratch))
            ReportUnhandledToken(item, "PIC");
        }
        KeepRead(FObjectScratch, definition.GetPrimitives());
        break;
      }
      case kwATR:
        ParseInstanceAttributes(definition);
        break;
      case kwPKG:
      case kwSPKG:
        SkipKnown(code);
        break;
      default:
        ReportUnhandledToken(code, "COMP_DEF");
        break;
    }
  }
}

void TKivoFile::ParsePins(TKivoComponent& definition) {
  auto& pins = FPinScratch;
  pins.clear();
  const TLevelScope level(*this, kPinsItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    if (code != kwP) {
      SkipItem(code, "PIN_DEF");
      continue;
    }
    auto pin = std::make_unique<TKivoPad>(&FDisplay);
    TKivoPad& ref = *pin;
    TLayerRecord* const layer = FCounting;  // its layer, whatever [LY] its block holds
    ReadName();
    ref.SetName(GetLastTokenText());
    pins.push_back(std::move(pin));
    bool leftOut = false;
    int64_t indexAt = -1;  // where its PT was read
    bool readableIndex = true;
    const TLevelScope pinLevel(*this, kPinItems);
    while (NextBlockItem()) {
      const int item = ReadWord();
      switch (item) {
        case kwPT:
          ref.SetPadStackIndex(ReadIntegerValue(FFile));
          readableIndex = !GetNumberError();
          indexAt = FFile.Position();
          break;
        case kwPLOC: {
          BeginObject();
          const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
          ref.SetX(x);
          ref.SetY(y);
          leftOut = leftOut || !PlaceableDescribed([&] { return "Pin " + ref.GetName(); });
          break;
        }
        default:
          SkipItem(item, "P");
          continue;
      }
      SkipKnown("P");
    }
    if (leftOut) {
      pins.pop_back();
      continue;
    }
    CountOn(layer);
    // A pin without PT keeps index 0 by rule.
    if (indexAt >= 0)
      CheckPadStackIndex(ref.GetPadStackIndex(), readableIndex, /*pin=*/true, indexAt,
                         [&] { return "pin " + ref.GetName(); });
  }
  KeepRead(pins, definition.GetPins());
}

TKivoComponent* TKivoFile::DefinitionNamed(TKivoComponent* latest, const std::string& name) {
  if (__builtin_expect(latest && SameText(latest->GetName(), name), 1))
    return latest;
  const auto found = FDefinitions.find(UpperCase(name));
  return found == FDefinitions.end() ? nullptr : found->second;
}

void TKivoFile::ParseInstance(TKivoComponent* latest) {
  const int64_t start = FFile.Position();
  ReadWord();
  const std::string definitionName = GetLastTokenText();
  const int designatorCode = ReadWord();
  TKivoComponent* const found = DefinitionNamed(latest, definitionName);
  if (!found) {
    // Made as another definition it would stand on the board with pads and graphics the
    // file does not give it. Its attributes and connections go with it, touching no
    // other instance.
    const std::string reason = "the file has no definition " + definitionName + " before it";
    ReportLeftOutAt(start, "Component " + GetLastTokenText(), reason.c_str());
    if (designatorCode == kwCloseBrace)
      return;
    if (designatorCode == kwOpenBrace && (!SkipKnown("I") || Pending()))
      return;
    SkipKnown("I");
    return;
  }
  TKivoComponent& definition = *found;
  auto instance = std::make_unique<TKivoInstance>(&FDisplay);
  TKivoInstance& ref = *instance;
  FPlacementAt = start;
  ref.SetDefinitionName(definitionName);
  ref.GetDesignator().SetText(GetLastTokenText());
  definition.GetInstances().push_back(std::move(instance));
  const TLevelScope level(*this, kInstanceItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    switch (code) {
      case kwATR:
        ParseInstanceAttributes(definition);
        break;
      case kwCN:
        ParseConnections(ref);
        break;
      default:
        ReportUnhandledToken(code, "I");
        break;
    }
  }
  CheckPlacedChildren(definition, ref, FPlacementAt);
}

void TKivoFile::ParseConnections(TKivoInstance& instance) {
  // The names are gathered first and the list takes its memory once (growing it name
  // by name made most of the heap calls of reading a board's components).
  size_t count = 0;
  // Every token reads something or ends at the end of the file; an empty token (a
  // delimiter held back) adds no entry.
  while (!AtEnd()) {
    const int code = ReadWord();
    if (code == kwCloseBrace)
      break;
    if (code == kwOpenBrace) {
      // CN holds names: a block in it that the reader reads lies there because the CN's
      // "}" is missing (told, and read where it belongs); another is skipped.
      const int keyword = ReadWord();
      if (IsSection(keyword)) {
        ++FSkippedOpen;
        TakeSection(keyword, "CN");
        break;
      }
      if (TakeMisplaced(keyword, "CN", FDepth, /*skippedOpen=*/1))
        break;
      Skip("CN");
      if (Pending())
        break;
      continue;
    }
    const std::string_view name = GetLastTokenView();
    if (name.empty())
      continue;
    if (count == FNameScratch.size())
      FNameScratch.emplace_back();
    FNameScratch[count++].assign(name);
  }
  TStringList& connections = instance.GetConnections();
  connections.SetCapacity(connections.GetCount() + static_cast<int>(count));
  for (size_t i = 0; i < count; ++i)
    connections.Add(FNameScratch[i]);
}

void TKivoFile::ParseInstanceAttributes(TKivoComponent& definition) {
  if (definition.GetInstances().empty()) {
    SkipKnown("ATR");
    return;
  }
  TKivoInstance& instance = *definition.GetInstances().back();
  const TLevelScope level(*this, kNoItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    if (code == kwIN)
      ParseInstanceEntries(instance);
    else
      SkipItem(code, "ATR");
  }
}

void TKivoFile::ParseInstanceEntries(TKivoInstance& instance) {
  // A placement that cannot be read leaves the whole instance out, reported once.
  auto checkPlacement = [&] {
    if (FLeftOutInstances.count(&instance) == 0 &&
        !PlaceableDescribed([&] { return "Component " + instance.GetDesignator().GetText(); }))
      FLeftOutInstances.insert(&instance);
  };
  // A rotation step that cannot be read is passed over, told.
  auto readableTurn = [&](int64_t turn) {
    FPlacementAt = FFile.Position();
    const bool readable = PlaceableDescribed(
        [&] { return "Rotation of component " + instance.GetDesignator().GetText(); },
        GetNumberError(), kNotWhole);
    return readable ? turn : 0;
  };
  std::string value;
  const TLevelScope level(*this, kPlacementItems);
  while (NextBlockItem()) {
    BeginObject();
    const int code = ReadWord();
    switch (code) {
      case kwORG: {
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        instance.SetX(x);
        instance.SetY(y);
        FPlacementAt = FFile.Position();
        checkPlacement();
        break;
      }
      case kwPL: {
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        FPlacementAt = FFile.Position();
        const int64_t placedX = int64_t{instance.GetX()} + x, placedY = int64_t{instance.GetY()} + y;
        if (!KivoCoordinateFits(static_cast<double>(placedX)) ||
            !KivoCoordinateFits(static_cast<double>(placedY)))
          FUnreadable = FBeyondRange = true;
        instance.SetX(static_cast<int32_t>(placedX));
        instance.SetY(static_cast<int32_t>(placedY));
        checkPlacement();
        break;
      }
      case kwRO: {
        const int64_t turn = readableTurn(90 * int64_t{ReadIntegerValue(FFile)});
        instance.SetInstanceRotation(static_cast<int32_t>(instance.GetInstanceRotation() + turn));
        break;
      }
      case kwPA: {
        const int64_t turn = readableTurn(ReadIntegerValue(FFile));
        instance.SetInstanceRotation(static_cast<int32_t>(instance.GetInstanceRotation() + turn));
        break;
      }
      case kwMR:
        if (ReadValue("Value of MR", value) && value == "Y")
          instance.SetInstanceMirror(1);
        break;
      case kwPS:
        if (ReadValue("Value of PS", value) && value != "T")
          instance.SetSide(TKivoInstance::BottomSide);
        break;
      case kwNL: {
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        instance.GetDesignator().SetPosition({x, y});
        checkPlacement();
        break;
      }
      case kwSC: {
        // Read and not used; one that cannot be read is told all the same.
        ReadIntegerValue(FFile);
        const bool readable = !GetNumberError();
        ReadIntegerValue(FFile);
        PlaceableDescribed([&] { return "Scale of component " + instance.GetDesignator().GetText(); },
                           !readable || GetNumberError(), kNotWhole);
        break;
      }
      case kwUN:
        break;
      default:
        ReportUnhandledToken(code, "IN");
        continue;
    }
    SkipKnown(code);
  }
}

void TKivoFile::ParsePadDefinition(TKivoPadStack& stack) {
  // Its graphics are placed through the pad-stack map, not by their layers (which files
  // often leave undeclared): they count on no layer.
  FInPadDefinition = true;
  FCounting = nullptr;
  auto* definition = new TKivoPadDef(&FDisplay);
  ReadWord();
  definition->SetName(GetLastTokenText());
  stack.AddPadDefinition(definition);
  const TLevelScope level(*this, kPadDefinitionItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    if (code == kwPIC) {
      const TLevelScope pictureLevel(*this, kPadGraphicItems);
      while (NextBlockItem()) {
        const int item = ReadWord();
        if (item == kwFL)
          Skip(item);
        else if (item == kwARC || item == kwPOLY || item == kwOL)
          SkipKnown(item);
        else if (item == kwW || item == kwDIMENSION ||
                 !ParseGraphic(item, definition->GetPrimitives()))
          ReportUnhandledToken(item, "PIC");
      }
    } else if (code == kwATR) {
      ParsePadAttributes(*definition);
    } else {
      ReportUnhandledToken(code, "PAD_DEF");
    }
  }
  FInPadDefinition = false;
  FCounting = FLayer;
}

void TKivoFile::ParsePadAttributes(TKivoPadDef& definition) {
  const TLevelScope level(*this, kNoItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    if (code != kwIN) {
      SkipItem(code, "ATR");
      continue;
    }
    const TLevelScope entriesLevel(*this, kNoItems);
    while (NextBlockItem()) {
      const int entry = ReadWord();
      if (entry != kwSMD) {
        SkipItem(entry, "IN");
        continue;
      }
      std::string smd;
      if (ReadValue("Value of SMD", smd))
        definition.SetSmd(smd == "Y" ? 1 : 0);
      SkipKnown("IN");
    }
  }
}

bool TKivoFile::ParseGraphic(int code, TKivoObjectList& list) {
  switch (code) {
    case kwARC: {
      auto arc = std::make_unique<TKivoArc>(&FDisplay);
      BeginObject();
      const int32_t cx = ReadNextKivoCoord(), cy = ReadNextKivoCoord();
      const int32_t sx = ReadNextKivoCoord(), sy = ReadNextKivoCoord();
      const int32_t ex = ReadNextKivoCoord(), ey = ReadNextKivoCoord();
      arc->SetCentre({cx, cy});
      arc->SetStartPoint({sx, sy});
      arc->SetEndPoint({ex, ey});
      if (Kept("Arc"))
        list.push_back(std::move(arc));
      break;
    }
    case kwC: {
      auto circle = std::make_unique<TKivoCircle>(&FDisplay);
      BeginObject();
      const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
      circle->SetCentre({x, y});
      circle->SetRadius(ReadNextKivoCoord());
      if (Kept("Circle", circle->GetRadius() < 0, "its radius is negative"))
        list.push_back(std::move(circle));
      break;
    }
    case kwFR: {
      auto rect = std::make_unique<TKivoFilledRect>(&FDisplay);
      BeginObject();
      const int32_t x1 = ReadNextKivoCoord(), y1 = ReadNextKivoCoord();
      const int32_t x2 = ReadNextKivoCoord(), y2 = ReadNextKivoCoord();
      rect->SetCorner1({x1, y1});
      rect->SetCorner2({x2, y2});
      if (Kept("Filled rectangle"))
        list.push_back(std::move(rect));
      break;
    }
    case kwR: {
      auto line = std::make_unique<TKivoLine>(&FDisplay);
      BeginObject();
      const int32_t x1 = ReadNextKivoCoord(), y1 = ReadNextKivoCoord();
      const int32_t x2 = ReadNextKivoCoord(), y2 = ReadNextKivoCoord();
      line->GetVertices().reserve(5);
      line->AddVertex(x1, y1);
      line->AddVertex(x2, y1);
      line->AddVertex(x2, y2);
      line->AddVertex(x1, y2);
      line->AddVertex(x1, y1);
      if (Kept("Rectangle"))
        list.push_back(std::move(line));
      break;
    }
    case kwL:
    case kwW: {
      auto line = std::make_unique<TKivoLine>(&FDisplay);
      BeginObject();
      ReadLineVertices(*line);
      if (Kept("Line"))
        list.push_back(std::move(line));
      return true;  // the block is closed
    }
    case kwT: {
      auto text = std::make_unique<TKivoText>(&FDisplay);
      if (ParseText(*text) && KeptDescribed([&] { return "Text \"" + text->GetText() + "\""; }))
        list.push_back(std::move(text));
      break;
    }
    case kwPOLY: {
      auto poly = std::make_unique<TKivoPoly>(&FDisplay);
      TLayerRecord* const layer = FCounting;  // its layer, whatever [LY] it holds
      ParsePoly(*poly);
      if (Placeable("Polygon", poly->GetVertices().empty(), "its outline has no points")) {
        CountOn(layer);
        list.push_back(std::move(poly));
      }
      return true;
    }
    case kwPV:
      ReportPolygonVoid();
      return true;
    case kwCV:
      ReportCircleVoid();
      break;
    default:
      return false;
  }
  SkipKnown(code);
  return true;
}

void TKivoFile::ReadPolyPoints(std::vector<TKivoPoint>& points, bool& closed) {
  const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
  points.push_back({x, y});
  closed = false;
  for (;;) {
    const int code = ReadWord();
    if (code == kwCloseBrace) {
      closed = true;
      return;
    }
    if (code == kwEmpty)
      return;
    const int32_t nx = ReadKivoCoord();
    points.push_back({nx, ReadNextKivoCoord()});
  }
}

void TKivoFile::ReadLineVertices(TKivoLine& line) {
  // Read into a reused list and copied once at the exact size: a model of many lines
  // then holds no spare capacity and reading makes no growth copies.
  bool closed = false;
  FPointScratch.clear();
  ReadPolyPoints(FPointScratch, closed);
  line.GetVertices().assign(FPointScratch.begin(), FPointScratch.end());
  if (!closed)
    SkipKnown("L");
}

void TKivoFile::ParsePoly(TKivoPoly& poly) {
  // Only the outline's numbers decide whether the polygon is placed; the voids' are
  // only reported.
  bool outlineUnreadable = false, outlineBeyondRange = false;
  const TLevelScope level(*this, kPolygonItems);
  while (NextBlockItem()) {
    const int code = ReadWord();
    switch (code) {
      case kwOL: {
        // An outline kind that cannot be read leaves the host's (as any unknown kind).
        const int32_t kind = ReadIntegerValue(FFile);
        if (GetNumberError())
          ReportLeftOutAt(FFile.Position(), "Outline kind of polygon", kNotWhole);
        else
          poly.SetOutlineKind(kind);
        bool closed = false;
        BeginObject();
        // Through the reused list, as a line's vertices: no spare capacity is kept.
        TKivoPoints& vertices = poly.GetVertices();
        FPointScratch.assign(vertices.begin(), vertices.end());
        ReadPolyPoints(FPointScratch, closed);
        vertices.assign(FPointScratch.begin(), FPointScratch.end());
        outlineUnreadable = outlineUnreadable || FUnreadable;
        outlineBeyondRange = outlineBeyondRange || FBeyondRange;
        if (!closed)
          SkipKnown("OL");
        break;
      }
      case kwPV:
        ReportPolygonVoid();
        break;
      case kwCV:
        ReportCircleVoid();
        SkipKnown("CV");
        break;
      default:
        ReportUnhandledToken(code, "POLY");
        break;
    }
  }
  FUnreadable = outlineUnreadable;
  FBeyondRange = outlineBeyondRange;
}

void TKivoFile::ReportPolygonVoid() {
  std::vector<TKivoPoint> points;
  bool closed = false;
  ReadPolyPoints(points, closed);
  if (!closed)
    SkipKnown("PV");
  if (FReport) {
    std::vector<TReportPoint> reported;
    for (const TKivoPoint& p : points)
      reported.push_back({p.X, p.Y});
    FReport->AddLoadWarning(lwPolygonVoid, reported);
  }
}

void TKivoFile::ReportCircleVoid() {
  const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
  const int32_t radius = ReadNextKivoCoord();
  if (FReport)
    FReport->AddLoadWarning(lwCircleVoid, TReportCircle{x, y, radius});
}

bool TKivoFile::ParseText(TKivoText& text) {
  std::string value;
  if (!ReadValue("Text", value))
    return false;
  if (value.size() > kTextValueLength)
    value.resize(kTextValueLength);
  const size_t readLength = value.size();  // the words failed as numbers come after it
  int32_t x = 0, y = 0;
  auto readPosition = [&] {
    FBeyondRange = false;
    x = ReadNextKivoCoord();
    if (!GetNumberError())
      y = ReadNextKivoCoord();
  };
  readPosition();
  // A value holding a double quote ends early; the words that failed as numbers are
  // put back, joined by the quote and a blank. A failed token that is only the closing
  // quote adds nothing. An empty failed token is the end of the block or the file.
  while (GetNumberError()) {
    const std::string failed = GetLastTokenText();
    if (failed.empty() || FFile.Eof())
      break;
    if (failed != "\"") {
      value += "\" " + failed;
      if (value.size() > kTextLength)
        value.resize(kTextLength);
    }
    readPosition();
  }
  text.SetPosition({x, y});
  // The words that failed as numbers belong to the value; only the position read last
  // decides whether the text can be placed. One left out is named by its value as read.
  FUnreadable = GetNumberError() || FBeyondRange;
  if (FUnreadable)
    value.resize(readLength);
  text.SetText(value);
  return true;
}
