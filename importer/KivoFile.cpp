#include "importer/KivoFile.h"

#include <cmath>
#include <iterator>
#include <emmintrin.h>
#include <limits>

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

// The "{" less the "}" among the first `length` bytes of the file, whatever the reading
// made of them; 0 when it cannot be read again.
int64_t UnclosedBraces(const std::string& fileName, int64_t length) {
  TTextFile file;
  file.Assign(fileName);
  const TIOChecksOff quiet;
  file.Reset();
  int64_t balance = 0;
  while (length > 0 && !file.Eof()) {
    const char* p = file.BufferPos();
    const char* const end = p + std::min<int64_t>(length, file.BufferEnd() - p);
    length -= end - p;
    for (; p < end; ++p)
      balance += (*p == '{') - (*p == '}');
    file.SetBufferPos(end);
  }
  return IOResult() == 0 ? balance : 0;
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
  if (FRealCoordinates) {
    double read;
    FUnreadable |= !ReadFloatNumber(FFile, read);
    const float value = static_cast<float>(read);
    return ToCoordinate(value <= -2147483647.0f ? 0.0 : value);
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

void TKivoFile::ReportLeftOut(const std::string& object, const char* reason) {
  if (!FReport)
    return;
  if (!FLines)
    FLines = std::make_unique<TLineCounter>(FFileName.Str());
  FReport->AddLeftOutWarning(object, FLines->LineAt(FFile.Position()),
                             FBeyondRange ? "a coordinate or size lies beyond the board's range"
                             : FUnreadable ? "a coordinate or size could not be read"
                                           : reason);
}

void TKivoFile::ReportEndedInside(const std::string& block) {
  if (!FReport)
    return;
  if (!FLines)
    FLines = std::make_unique<TLineCounter>(FFileName.Str());
  // The line of the file's last character (the line end that may close it included).
  const int64_t end = FFile.Position();
  FReport->AddEndedInsideWarning(end > 0 ? FLines->LineAt(end - 1) : 1, block);
}

int TKivoFile::ReadWord() { return GetToken(FFile, WordSet(), /*skipBlanks=*/true); }

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
  // Every token read consumes input, so the loop ends at the latest at the end.
  while (!FFile.Eof()) {
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

bool TKivoFile::ReportUnhandledToken() {
  if (FReport)
    FReport->AddLoadWarning(lwUnhandledToken, GetLastTokenText());
  return SkipBlock(FFile);
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
  while (!FAborted && !FFile.Eof()) {
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
  FFile.Close();
  FLines.reset();  // its handle on the file goes with the reading
}

void TKivoFile::ParseSections() {
  // A "}" is passed over: only the end of the file ends the sections. The blocks still
  // open are counted, the COMPONENT block first: a section reads up to its own "}", so a
  // section that stops without it stopped at the end of the file. A whole file (nearly
  // every one) leaves none open and costs nothing more.
  int64_t open = 1;
  std::string openBlock = "COMPONENT";
  while (!FFile.Eof()) {
    if (!NextBlockItem()) {
      if (!FBlockEndedAtEof && open > 0)
        --open;
      continue;
    }
    int leftOpen = 0;
    const int code = ReadWord();
    std::string keyword = GetLastTokenText();
    switch (code) {
      case kwENVIRONMENT:
        ParseEnvironment();
        leftOpen = FBlockEndedAtEof;
        break;
      case kwDISPLAY:
        leftOpen = ParseDisplay();
        break;
      case kwDETAIL:
        ParseDetail();
        leftOpen = FBlockEndedAtEof;
        break;
      case kwUSER:
      case kwAPERTURE_TABLE:
      case kwSYMBOL:
        leftOpen = !SkipBlock(FFile);
        break;
      default:
        leftOpen = !ReportUnhandledToken();
        break;
    }
    if (leftOpen > 0) {
      open += leftOpen;
      openBlock = std::move(keyword);
    }
  }
  // The reading's count can be off where it read a brace as a value or a number (the
  // reading rules allow both); the file's own braces decide.
  if (open > 0 && UnclosedBraces(FFileName.Str(), FFile.Position()) > 0)
    ReportEndedInside(openBlock);
}

void TKivoFile::ParseEnvironment() {
  TKivoEnvironment& env = FBoardComponent->GetEnvironment();
  while (NextBlockItem()) {
    const int code = ReadWord();
    switch (code) {
      case kwKIVOVREV:
        env.SetVersion(ReadQuotedString(FFile));
        break;
      case kwPROGRAM:
        env.SetProgram(ReadQuotedString(FFile));
        break;
      case kwDBTYPE: {
        const std::string type = ReadQuotedString(FFile);
        env.SetDatabaseType(SameText(type, "PC-Board") ? 3 : SameText(type, "Schematic") ? 1 : 0);
        break;
      }
      case kwDBVREV:
        env.SetDatabaseVersion(ReadQuotedString(FFile));
        break;
      case kwDBTIME:
        env.SetDatabaseTime(ReadQuotedString(FFile));
        break;
      case kwDBUNIT: {
        const TKivoUnit unit = KivoUnitOf(ReadQuotedString(FFile), env.GetVersion());
        env.SetUnitCode(unit.Code);
        if (unit.Code != 0) {
          FDisplay.SetUnitScale(unit.Scale);
          FRealCoordinates = unit.RealCoordinates;
        }
        break;
      }
      case kwDBGRID: {
        const int32_t grid = ReadIntegerValue(FFile);
        FDisplay.SetGrid(grid);
        env.SetGrid(grid);
        break;
      }
      case kwLYRSTR:
        for (std::string name = ReadQuotedString(FFile); !name.empty();
             name = ReadQuotedString(FFile))
          env.AddLayerString(name, ReadIntegerValue(FFile));
        break;
      case kwLYRPHID:
        for (std::string value = ReadQuotedString(FFile); !value.empty();
             value = ReadQuotedString(FFile)) {
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
        for (std::string value = ReadQuotedString(FFile); !value.empty();
             value = ReadQuotedString(FFile)) {
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
        for (std::string value = ReadQuotedString(FFile); !value.empty();
             value = ReadQuotedString(FFile))
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
        env.SetSSTFile(ReadQuotedString(FFile));
        break;
      default:
        ReportUnhandledToken();
        PcbApiPercentUpdate();
        continue;
    }
    SkipBlock(FFile);
    PcbApiPercentUpdate();
  }
  if (env.GetDatabaseType() == 1 && FReport)
    FReport->SetLoadSection(0);
}

int TKivoFile::ParseDisplay() {
  while (!FFile.Eof()) {
    const int code = GetToken(FFile, StructuralSet(), /*skipBlanks=*/true);
    if (code == kwOpenBrace)
      return 2;
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
  switch (ReadWord()) {
    case kwAMT:
      FDisplay.SetAMT(ReadFloatValue(FFile));
      break;
    case kwAPT:
      FDisplay.SetAPT(ReadFloatValue(FFile));
      break;
    case kwLY:
      FDisplay.SetLayerName(ReadQuotedString(FFile));
      break;
    case kwLS: {
      const std::string style = ReadQuotedString(FFile);
      FDisplay.SetLineStyle(SameText(style, "DASHED") ? 1 : SameText(style, "DOTTED") ? 2 : 0);
      break;
    }
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
      const std::string j = ReadQuotedString(FFile);
      const char h = j.size() > 0 ? j[0] : 0, v = j.size() > 1 ? j[1] : 0;
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
    case kwTM: {
      const std::string m = ReadQuotedString(FFile);
      FDisplay.SetMirror(!m.empty() && m[0] == 'Y' ? 1 : 0);
      break;
    }
    default:
      break;
  }
  SkipToCloseBracket(FFile);
}

void TKivoFile::ParseDetail() {
  TKivoDetail& detail = FBoardComponent->GetDetail();
  while (NextBlockItem()) {
    switch (ReadWord()) {
      case kwANNOTATE:
        ParseAnnotate(detail.GetAnnotations());
        break;
      case kwNET_DEF:
        ParseNetDef();
        break;
      case kwPAD_STACK:
        ParsePadStack();
        break;
      case kwSUBCOMP:
        ParseSubcomp();
        break;
      default:
        ReportUnhandledToken();
        break;
    }
    PcbApiPercentUpdate();
  }
}

void TKivoFile::ParseAnnotate(TKivoDetail::TKivoList& list) {
  while (NextBlockItem()) {
    const int code = ReadWord();
    if (code != kwW && ParseGraphic(code, list))
      continue;
    if (code == kwFL || code == kwDIMENSION)
      SkipBlock(FFile);
    else
      ReportUnhandledToken();
  }
}

void TKivoFile::ParseNetDef() {
  while (NextBlockItem()) {
    if (ReadWord() != kwN) {
      ReportUnhandledToken();
      continue;
    }
    auto& nets = FBoardComponent->GetDetail().GetNets();
    auto net = std::make_unique<TKivoNetObject>(&FDisplay);
    TKivoNetObject& ref = *net;
    ReadName();
    ref.SetName(GetLastTokenText());
    nets.push_back(std::move(net));
    while (NextBlockItem()) {
      const int code = ReadWord();
      if (code == kwATR)
        SkipBlock(FFile);
      else if (code == kwDG)
        ParseNetGraphics(ref);
      else
        ReportUnhandledToken();
    }
  }
}

void TKivoFile::ParseNetGraphics(TKivoNetObject& net) {
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
        if (PlaceableDescribed([&] { return "Via of net " + net.GetName(); }))
          members.push_back(std::move(via));
        SkipBlock(FFile);
        break;
      }
      case kwNN: {
        auto text = std::make_unique<TKivoText>(&FDisplay);
        text->SetText(net.GetName());
        BeginObject();
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        text->SetPosition({x, y});
        if (PlaceableDescribed([&] { return "Name of net " + net.GetName(); }))
          members.push_back(std::move(text));
        SkipBlock(FFile);
        break;
      }
      case kwW:
      case kwARC:
      case kwT:
      case kwPOLY:
        ParseGraphic(code, members);
        break;
      default:
        ReportUnhandledToken();
        break;
    }
  }
  KeepRead(members, net.GetMembers());
}

void TKivoFile::ParsePadStack() {
  auto& stacks = FBoardComponent->GetDetail().GetPadStacks();
  stacks.push_back(std::make_unique<TKivoPadStack>(&FDisplay));
  TKivoPadStack& stack = *stacks.back();
  while (NextBlockItem()) {
    switch (ReadWord()) {
      case kwPAD: {
        const int32_t index = ReadIntegerValue(FFile);
        const std::string first = ReadQuotedString(FFile);
        const std::string second = ReadQuotedString(FFile);
        stack.GetPads().push_back(std::make_unique<TKivoPadRecord>(index, first, second));
        SkipBlock(FFile);
        break;
      }
      case kwPAD_DEF:
        ParsePadDefinition(stack);
        break;
      default:
        ReportUnhandledToken();
        break;
    }
  }
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
      for (auto& component : Components)
        std::erase_if(static_cast<TKivoComponent&>(*component).GetInstances(),
                      [&](const std::unique_ptr<TKivoInstance>& i) {
                        return Reader.FLeftOutInstances.count(i.get()) != 0;
                      });
      Reader.FLeftOutInstances.clear();
    }
  } dropLeftOut{*this, components};
  while (NextBlockItem()) {
    switch (ReadWord()) {
      case kwCOMP_DEF: {
        auto definition = std::make_unique<TKivoComponent>(&FDisplay);
        current = definition.get();
        components.push_back(std::move(definition));
        ParseComponentDefinition(*current);
        break;
      }
      case kwI:
        if (current)
          ParseInstance(*current);
        else
          SkipBlock(FFile);
        break;
      default:
        ReportUnhandledToken();
        break;
    }
  }
}

void TKivoFile::ParseComponentDefinition(TKivoComponent& definition) {
  ReadWord();  // the definition's name
  while (NextBlockItem()) {
    switch (ReadWord()) {
      case kwPIN_DEF:
        ParsePins(definition);
        break;
      case kwPIC:
        FObjectScratch.clear();
        while (NextBlockItem()) {
          const int code = ReadWord();
          if (code == kwFL)
            SkipBlock(FFile);
          else if (code == kwW || !ParseGraphic(code, FObjectScratch))
            ReportUnhandledToken();
        }
        KeepRead(FObjectScratch, definition.GetPrimitives());
        break;
      case kwATR:
        ParseInstanceAttributes(definition);
        break;
      case kwPKG:
      case kwSPKG:
        SkipBlock(FFile);
        break;
      default:
        ReportUnhandledToken();
        break;
    }
  }
}

void TKivoFile::ParsePins(TKivoComponent& definition) {
  auto& pins = FPinScratch;
  pins.clear();
  while (NextBlockItem()) {
    if (ReadWord() != kwP) {
      SkipBlock(FFile);
      continue;
    }
    auto pin = std::make_unique<TKivoPad>(&FDisplay);
    TKivoPad& ref = *pin;
    ReadName();
    ref.SetName(GetLastTokenText());
    pins.push_back(std::move(pin));
    bool leftOut = false;
    while (NextBlockItem()) {
      switch (ReadWord()) {
        case kwPT:
          ref.SetPadStackIndex(ReadIntegerValue(FFile));
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
          break;
      }
      SkipBlock(FFile);
    }
    if (leftOut)
      pins.pop_back();
  }
  KeepRead(pins, definition.GetPins());
}

void TKivoFile::ParseInstance(TKivoComponent& definition) {
  auto instance = std::make_unique<TKivoInstance>(&FDisplay);
  TKivoInstance& ref = *instance;
  ReadWord();
  ref.SetDefinitionName(GetLastTokenText());
  ReadWord();
  ref.GetDesignator().SetText(GetLastTokenText());
  definition.GetInstances().push_back(std::move(instance));
  while (NextBlockItem()) {
    switch (ReadWord()) {
      case kwATR:
        ParseInstanceAttributes(definition);
        break;
      case kwCN:
        ParseConnections(ref);
        break;
      default:
        ReportUnhandledToken();
        break;
    }
  }
}

void TKivoFile::ParseConnections(TKivoInstance& instance) {
  // The names are gathered first and the list takes its memory once (growing it name
  // by name made most of the heap calls of reading a board's components).
  size_t count = 0;
  // Every token reads something or ends at the end of the file; an empty token (a
  // delimiter held back) adds no entry.
  while (!FFile.Eof()) {
    const int code = ReadWord();
    if (code == kwCloseBrace)
      break;
    if (code == kwOpenBrace) {
      SkipBlock(FFile);
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
    SkipBlock(FFile);
    return;
  }
  TKivoInstance& instance = *definition.GetInstances().back();
  while (NextBlockItem()) {
    if (ReadWord() == kwIN)
      ParseInstanceEntries(instance);
    else
      SkipBlock(FFile);
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
    const bool readable = PlaceableDescribed(
        [&] { return "Rotation of component " + instance.GetDesignator().GetText(); },
        GetNumberError(), "it is not a whole number");
    return readable ? turn : 0;
  };
  while (NextBlockItem()) {
    BeginObject();
    switch (ReadWord()) {
      case kwORG: {
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        instance.SetX(x);
        instance.SetY(y);
        checkPlacement();
        break;
      }
      case kwPL: {
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
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
        if (ReadQuotedString(FFile) == "Y")
          instance.SetInstanceMirror(1);
        break;
      case kwPS:
        if (ReadQuotedString(FFile) != "T")
          instance.SetSide(TKivoInstance::BottomSide);
        break;
      case kwNL: {
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        instance.GetDesignator().SetPosition({x, y});
        checkPlacement();
        break;
      }
      case kwSC:
        ReadIntegerValue(FFile);
        ReadIntegerValue(FFile);
        break;
      case kwUN:
        break;
      default:
        ReportUnhandledToken();
        continue;
    }
    SkipBlock(FFile);
  }
}

void TKivoFile::ParsePadDefinition(TKivoPadStack& stack) {
  auto* definition = new TKivoPadDef(&FDisplay);
  ReadWord();
  definition->SetName(GetLastTokenText());
  stack.AddPadDefinition(definition);
  while (NextBlockItem()) {
    const int code = ReadWord();
    if (code == kwPIC) {
      while (NextBlockItem()) {
        const int item = ReadWord();
        if (item == kwARC || item == kwFL || item == kwPOLY || item == kwOL)
          SkipBlock(FFile);
        else if (item == kwW || item == kwDIMENSION ||
                 !ParseGraphic(item, definition->GetPrimitives()))
          ReportUnhandledToken();
      }
    } else if (code == kwATR) {
      ParsePadAttributes(*definition);
    } else {
      ReportUnhandledToken();
    }
  }
}

void TKivoFile::ParsePadAttributes(TKivoPadDef& definition) {
  while (NextBlockItem()) {
    if (ReadWord() != kwIN) {
      SkipBlock(FFile);
      continue;
    }
    while (NextBlockItem()) {
      if (ReadWord() == kwSMD)
        definition.SetSmd(ReadQuotedString(FFile) == "Y" ? 1 : 0);
      SkipBlock(FFile);
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
      if (Placeable("Arc"))
        list.push_back(std::move(arc));
      break;
    }
    case kwC: {
      auto circle = std::make_unique<TKivoCircle>(&FDisplay);
      BeginObject();
      const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
      circle->SetCentre({x, y});
      circle->SetRadius(ReadNextKivoCoord());
      if (Placeable("Circle", circle->GetRadius() < 0, "its radius is negative"))
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
      if (Placeable("Filled rectangle"))
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
      if (Placeable("Rectangle"))
        list.push_back(std::move(line));
      break;
    }
    case kwL:
    case kwW: {
      auto line = std::make_unique<TKivoLine>(&FDisplay);
      BeginObject();
      ReadLineVertices(*line);
      if (Placeable("Line"))
        list.push_back(std::move(line));
      return true;  // the block is closed
    }
    case kwT: {
      auto text = std::make_unique<TKivoText>(&FDisplay);
      ParseText(*text);
      if (PlaceableDescribed([&] { return "Text \"" + text->GetText() + "\""; }))
        list.push_back(std::move(text));
      break;
    }
    case kwPOLY: {
      auto poly = std::make_unique<TKivoPoly>(&FDisplay);
      ParsePoly(*poly);
      if (Placeable("Polygon", poly->GetVertices().empty(), "its outline has no points"))
        list.push_back(std::move(poly));
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
  SkipBlock(FFile);
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
    SkipBlock(FFile);
}

void TKivoFile::ParsePoly(TKivoPoly& poly) {
  // Only the outline's numbers decide whether the polygon is placed; the voids' are
  // only reported.
  bool outlineUnreadable = false, outlineBeyondRange = false;
  while (NextBlockItem()) {
    switch (ReadWord()) {
      case kwOL: {
        poly.SetOutlineKind(ReadIntegerValue(FFile));
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
          SkipBlock(FFile);
        break;
      }
      case kwPV:
        ReportPolygonVoid();
        break;
      case kwCV:
        ReportCircleVoid();
        SkipBlock(FFile);
        break;
      default:
        ReportUnhandledToken();
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
    SkipBlock(FFile);
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

void TKivoFile::ParseText(TKivoText& text) {
  std::string value = ReadQuotedString(FFile);
  if (value.size() > kTextValueLength)
    value.resize(kTextValueLength);
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
  text.SetText(value);
  text.SetPosition({x, y});
  // The words that failed as numbers belong to the value; only the position read last
  // decides whether the text can be placed.
  FUnreadable = GetNumberError() || FBeyondRange;
}
