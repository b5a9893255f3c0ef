#include "importer/KivoLevels.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "importer/ReportManager.h"

namespace {

TKivoKeywordSet Keywords(std::initializer_list<int> codes) {
  TKivoKeywordSet set;
  for (int code : codes)
    set.set(static_cast<size_t>(code));
  return set;
}

bool InSet(const TKivoKeywordSet& set, int code) {
  return code > 0 && code <= KivoKeywordCount && set[static_cast<size_t>(code)];
}

// A level whose structure is every block it reads.
TKivoLevelKind Reading(std::string_view name, std::initializer_list<int> reads,
                       std::string_view list, std::string_view what = "items") {
  const TKivoKeywordSet set = Keywords(reads);
  return {name, set, set, what, list};
}

// A level that also reads blocks a missing "}" is not looked for by: attribute and
// package blocks, and blocks it reads by skipping them.
TKivoLevelKind Reading(std::string_view name, std::initializer_list<int> structure,
                       std::initializer_list<int> others, std::string_view list) {
  return {name, Keywords(structure) | Keywords(others), Keywords(structure), "items", list};
}

// A level that reads no blocks.
TKivoLevelKind Holding(std::string_view name) { return {name, {}, {}, "", ""}; }

// The blocks the sections of DETAIL read one by one, none holding another: a net, a
// component definition or instance, a pad. One that a skip passes and no level reads
// is lost with the skipped block, and told.
const TKivoKeywordSet kUnits = Keywords({kwN, kwCOMP_DEF, kwI, kwPAD, kwPAD_DEF});

}  // namespace

namespace KivoLevel {

// DETAIL's sections met directly inside COMPONENT are read there, told.
const TKivoLevelKind Component = Reading(
    "COMPONENT",
    {kwENVIRONMENT, kwUSER, kwDISPLAY, kwAPERTURE_TABLE, kwSYMBOL, kwDETAIL, kwANNOTATE,
     kwNET_DEF, kwPAD_STACK, kwSUBCOMP},
    "ENVIRONMENT, USER, DISPLAY, APERTURE_TABLE, SYMBOL, DETAIL", "sections");
const TKivoLevelKind Environment = Reading(
    "ENVIRONMENT",
    {kwKIVOVREV, kwPROGRAM, kwDBTYPE, kwDBVREV, kwDBTIME, kwDBUNIT, kwDBGRID, kwLYRSTR, kwLYRPHID,
     kwSSYMTBL, kwAPR, kwPCLR, kwPOLYAP, kwPSIZ, kwROTP, kwSSTFile},
    "KIVOVREV, PROGRAM, DBTYPE, DBVREV, DBTIME, DBUNIT, DBGRID, LYRSTR, LYRPHID, SSYMTBL, APR, "
    "PCLR, POLYAP, PSIZ, ROTP, SSTFile");
const TKivoLevelKind Display = Holding("DISPLAY");
const TKivoLevelKind Detail = Reading("DETAIL", {kwANNOTATE, kwNET_DEF, kwPAD_STACK, kwSUBCOMP},
                                      "ANNOTATE, NET_DEF, PAD_STACK, SUBCOMP", "sections");
const TKivoLevelKind Annotate =
    Reading("ANNOTATE", {kwARC, kwC, kwFR, kwL, kwR, kwT, kwPOLY}, {kwPV, kwCV, kwFL, kwDIMENSION},
            "ARC, C, FR, L, R, T, POLY, PV, CV, FL, DIMENSION");
const TKivoLevelKind Polygon = Reading("POLY", {kwOL, kwPV, kwCV}, "OL, PV, CV");
const TKivoLevelKind NetDef = Reading("NET_DEF", {kwN}, "N");
const TKivoLevelKind Net = Reading("N", {kwDG}, {kwATR}, "ATR, DG");
const TKivoLevelKind NetGraphics =
    Reading("DG", {kwV, kwNN, kwW, kwARC, kwT, kwPOLY}, "V, NN, W, ARC, T, POLY");
const TKivoLevelKind PadStack = Reading("PAD_STACK", {kwPAD, kwPAD_DEF}, "PAD, PAD_DEF");
const TKivoLevelKind PadDefinition = Reading("PAD_DEF", {kwPIC}, {kwATR}, "PIC, ATR");
const TKivoLevelKind PadPicture =
    Reading("PIC", {kwC, kwFR, kwL, kwR, kwT}, {kwPV, kwCV, kwFL, kwARC, kwPOLY, kwOL},
            "C, FR, L, R, T, PV, CV, FL, ARC, POLY, OL");
const TKivoLevelKind PadAttributes = Reading("ATR", {}, {kwIN}, "IN");
const TKivoLevelKind PadEntries = Reading("IN", {}, {kwSMD}, "SMD");
const TKivoLevelKind Subcomp = Reading("SUBCOMP", {kwCOMP_DEF, kwI}, "COMP_DEF, I");
const TKivoLevelKind Definition = Reading("COMP_DEF", {kwPIN_DEF, kwPIC}, {kwATR, kwPKG, kwSPKG},
                                          "PIN_DEF, PIC, ATR, PKG, SPKG");
const TKivoLevelKind Pins = Reading("PIN_DEF", {kwP}, "P");
const TKivoLevelKind Pin = Reading("P", {kwPT, kwPLOC}, "PT, PLOC");
const TKivoLevelKind Picture =
    Reading("PIC", {kwARC, kwC, kwFR, kwL, kwR, kwT, kwPOLY}, {kwPV, kwCV, kwFL},
            "ARC, C, FR, L, R, T, POLY, PV, CV, FL");
const TKivoLevelKind Instance = Reading("I", {kwCN}, {kwATR}, "ATR, CN");
const TKivoLevelKind InstanceAttributes = Reading("ATR", {}, {kwIN, kwEX}, "IN, EX");
const TKivoLevelKind Placement =
    Reading("IN", {kwORG, kwPL, kwRO, kwPA, kwMR, kwPS, kwNL, kwSC, kwUN},
            "ORG, PL, RO, PA, MR, PS, NL, SC, UN");
const TKivoLevelKind Connections = Holding("CN");

}  // namespace KivoLevel

TKivoLevels::TScope::TScope(TKivoLevels& levels, const TKivoLevelKind& kind) : FLevels(levels) {
  assert(levels.FDepth + 1 < kMaxLevels && "the reading's levels are nested as deep as its code");
  const int depth = ++levels.FDepth;
  TOpen& open = levels.FOpen[static_cast<size_t>(depth)];
  open.Kind = &kind;
  open.Watched = depth > 0 ? levels.FOpen[static_cast<size_t>(depth - 1)].Watched | kind.Structure
                           : kind.Structure;
}

int TKivoLevels::LevelReading(int code, int from) const {
  if (!InSet(FOpen[static_cast<size_t>(std::max(FDepth, 0))].Watched, code))
    return -1;
  for (int level = std::min(from, FDepth); level >= 0; --level)
    if (InSet(FOpen[static_cast<size_t>(level)].Kind->Structure, code))
      return level;
  return -1;
}

bool TKivoLevels::Next(int& code) {
  if (__builtin_expect(FPendingCode != 0, 0)) {
    FEndedAtEof = false;
    if (FPendingLevel < FDepth)
      return false;
    code = std::exchange(FPendingCode, 0);
    FGivenBack = true;
    return true;
  }
  FGivenBack = false;
  FInStray = false;
  TKivoSource& file = FFile;
  for (;;) {
    switch (ReadItemToken(file)) {
      case kwOpenBrace:
        code = FReader.ReadKeyword();
        // A block read where it belongs: a value holding braces before it took none of
        // the blocks (as far as can be told).
        if (InSet(Innermost().Reads, code))
          TakeBracedValue(file);
        return true;
      case kwCloseBrace:
        FEndedAtEof = false;
        return false;
      case kwOpenBracket:
        FInStray = false;
        FReader.ApplyAttribute(FReader.ReadAttribute());
        break;
      case kwPercent:
        SkipLine(file);
        break;
      case kwEmpty:  // the end of the file
        FEndedAtEof = true;
        if (FDepth >= 1)
          NoteEndedInside({});
        return false;
      default:
        // (A Ctrl+Z, which old editors end text files with, is no text.)
        if (!FInStray && GetLastTokenView(FFile) != "\x1A")
          TellStray();
        FInStray = true;
        break;
    }
  }
}

void TKivoLevels::NotRead(int code) {
  const int level = LevelReading(code, FDepth - 1);
  if (level >= 0) {
    GiveBack(code, level, Innermost().Name);
    return;
  }
  const std::string token = GetLastTokenText(FFile);
  const TKivoLevelKind& innermost = Innermost();
  TellNotRead(code, token, innermost.Name, innermost.What, innermost.List);
  FSkippedHeld.reset();
  Skip(token, TKivoContent::Lost);
}

void TKivoLevels::GiveBack(int code, int level, std::string_view block) {
  FPendingCode = code;
  FPendingLevel = level;
  TellReadInside(code, block);
}

void TKivoLevels::TellReadInside(int code, std::string_view block) {
  if (TReportManager* report = FReader.GetReport())
    report->AddLineWarning("The " + std::string(KivoKeywordText(code)) + " block",
                           FReader.LineAt(FFile.Position()),
                           " lies inside the " + std::string(block) +
                               " block: a \"}\" may be missing before it; it was read" +
                               BracedValueNote());
}

std::string TKivoLevels::BracedValueNote() {
  // The value read last as the text or keyword a warning tells names itself.
  const TKivoBracedValue value = TakeBracedValue(FFile);
  if (value.At < 0 || value.At == LastTokenStart(FFile))
    return {};
  const bool quoted = value.Opening == '"';
  return std::string(quoted ? "; the quoted value" : "; the value in brackets") + " at line " +
         std::to_string(FReader.LineAt(value.At)) + " holds a \"" + value.Holds + "\": " +
         (quoted ? "its quote" : "its \"(\"") + " may have taken blocks with it";
}

void TKivoLevels::AttributeInValues(const TKivoDisplayAttribute& attribute) {
  TellAttributeInside(FReader.LineAt(attribute.Start), Innermost().Name, /*values=*/true);
  FReader.ApplyAttribute(attribute);
}

void TKivoLevels::TellAttributeRanOnTo(int64_t line, std::string_view block) {
  if (TReportManager* report = FReader.GetReport())
    report->AddLineWarning("The attribute", line,
                           " lies inside the " + std::string(block) +
                               " block, whose value ran on over its line to it: it was not "
                               "applied");
}

void TKivoLevels::TellAttributeInside(int64_t line, std::string_view block, bool values) {
  if (TReportManager* report = FReader.GetReport())
    report->AddLineWarning("The attribute", line,
                           " lies inside the " + std::string(block) +
                               (values ? " block: a \"}\" may be missing before it; it was applied"
                                       : " block, which was skipped: it was applied"));
}

namespace {

// How a warning names the block of keyword text `token`.
std::string BlockNamed(const std::string& token) {
  return token.empty() ? "The block with no keyword" : "The block " + token;
}

// A warning's telling of a block skipped inside `block`, which reads `what` (`list`) or,
// for an empty list, no blocks at all.
std::string SkippedInside(std::string_view block, std::string_view what, std::string_view list) {
  if (list.empty())
    return " lies inside the " + std::string(block) + " block, which holds no blocks: it was skipped";
  return " is not one of the " + std::string(block) + " block's " + std::string(what) + " (" +
         std::string(list) + "): it was skipped";
}

}  // namespace

void TKivoLevels::TellNotRead(int code, const std::string& token, std::string_view block,
                              std::string_view what, std::string_view list) {
  TReportManager* report = FReader.GetReport();
  if (!report)
    return;
  // The unhandled token stays as it always was, at detail level 3; the line at the
  // default detail names the block, its line and the level that does not read it. The
  // blocks of a file of unknown blocks lie in one block: its words are made once.
  if (FNotReadRest.empty() || block != FNotReadBlock || what != FNotReadWhat ||
      list != FNotReadList) {
    FNotReadBlock.assign(block);
    FNotReadWhat = what, FNotReadList = list;
    FNotReadRest = SkippedInside(block, what, list);
  }
  const std::string note = BracedValueNote();
  report->AddNotReadWarning(token, code > 0 && code <= KivoKeywordCount, BlockNamed(token),
                            FReader.LineAt(FFile.Position()),
                            note.empty() ? FNotReadRest : FNotReadRest + note);
}

void TKivoLevels::TellStray() {
  TReportManager* report = FReader.GetReport();
  if (!report)
    return;
  // A quoted or bracketed value read as the text lies at its opening character's line.
  report->AddLineWarning("The text \"" + GetLastTokenText(FFile) + "\"",
                         FReader.LineAt(LastTokenStart(FFile)),
                         " lies between the blocks of the " + std::string(Innermost().Name) +
                             " block: it was passed over" + BracedValueNote());
}

// What a skip meets, decided by the model: a block that a level being read reads as
// structure ends it and is given back, with the attributes on the way to it; what else
// is told depends on what the skipped block holds.
class TKivoLevels::TSkipVisitor : public TKivoSkipVisitor {
 public:
  TSkipVisitor(TKivoLevels& levels, std::string_view block, TKivoContent content, bool ranOn)
      : FLevels(levels), FReader(levels.FReader), FFile(levels.FFile), FBlock(block),
        FContent(content), FRanOn(ranOn) {}

  bool WantsBlocks() const override { return true; }

  bool Block(int code, int64_t depth, int64_t lowest) override {
    Prune(lowest);
    if (depth == 2 && code > 0 && code <= KivoKeywordCount)
      FLevels.FSkippedHeld.set(static_cast<size_t>(code));
    const int level = FLevels.LevelReading(code, FLevels.FDepth);
    if (level >= 0) {
      for (TFrame& frame : FFrames)
        Apply(frame);
      TReportManager* report = FReader.GetReport();
      if (FTooDeep > 0 && report)
        report->AddLineWarning(
            "Attributes", FReader.LineAt(FTooDeepAt),
            " inside the " + FBlock + " block, in blocks nested more than " +
                std::to_string(kMaxFrames) + " deep, were not applied to the " +
                std::string(KivoKeywordText(code)) + " block read there");
      FFrames.clear();
      FLevels.GiveBack(code, level, FBlock);
      return true;
    }
    if (FContent == TKivoContent::Anything)
      return false;
    if (FContent == TKivoContent::Values && depth == 2) {
      FLevels.TellNotRead(code, GetLastTokenText(FFile), FBlock, "", "");
    } else if (FLostCode == 0 && InSet(kUnits, code)) {
      FLostCode = code;
      FLostLine = FReader.LineAt(FFile.Position());
    }
    return false;
  }

  bool Attribute(int64_t depth, int64_t lowest) override {
    Prune(lowest);
    Keep(depth, FReader.ReadAttribute());
    return true;
  }

  // After the skip: what it lost, and the attributes of a block of values. False when
  // the file ended inside the block.
  bool Finish(const TKivoSkipEnd& end) {
    TReportManager* report = FReader.GetReport();
    if (FLostCode != 0 && report)
      report->AddLineDetail(
          "The " + std::string(KivoKeywordText(FLostCode)) + " block", FLostLine,
          " lies inside the " + FBlock + " block: a \"}\" may be missing before it; it was " +
              "skipped with that block (lines " + std::to_string(FLostLine) + " to " +
              std::to_string(FReader.LineAt(FFile.Position())) + ")" + FLevels.BracedValueNote());
    if (end.Code != 0)
      return true;
    // Directly inside a block of values, an attribute can only be one whose "}" came
    // too late: it is the level's, as if the block had ended before it. The drawing
    // state holds across blocks, so those directly inside a block told as skipped are
    // applied too: the "}" the skip ended at may be another block's (its own moved),
    // and the objects after it would take the state from before them. But a block whose
    // value ran on over its line to them holds them up to its own "}", as a skip of the
    // same bytes does: they are told and not applied.
    if (end.Closed && FContent != TKivoContent::Anything && !FFrames.empty() &&
        FFrames.front().Depth == 1) {
      TFrame& frame = FFrames.front();
      if (FRanOn) {
        FLevels.TellAttributeRanOnTo(FReader.LineAt(frame.FirstAt), FBlock);
      } else {
        FLevels.TellAttributeInside(FReader.LineAt(frame.FirstAt), FBlock,
                                    FContent == TKivoContent::Values);
        Apply(frame);
      }
    }
    if (!end.Closed)
      FLevels.NoteEndedInside(FBlock);
    return end.Closed;
  }

 private:
  // The attributes met in the blocks still open at one depth, as applying them needs
  // them: for each key of the drawing state the last (an earlier one changes nothing
  // that stays), and, in the order read, those whose applying tells something (a value
  // not used, a key not known...), the first kTold of them; the rest are counted. So a
  // block of a million attributes keeps a few.
  struct TKept {
    TKivoDisplayAttribute Read;
    bool Gone = false;  // taken by a later one of its key, with nothing to tell
  };
  struct TFrame {
    int64_t Depth = 0;
    int64_t FirstAt = 0;  // where its first attribute was read
    std::vector<TKept> Kept;
    size_t Gone = 0;
    std::array<int32_t, kwTM - kwAMT + 1> LastOf;  // the entry of each key's last; -1 none
    size_t Telling = 0;  // of Kept, those kept for what they tell
    int64_t Passed = 0, PassedFirst = 0, PassedLast = 0;  // counted, and where
  };
  static constexpr size_t kTold = 64;
  static constexpr size_t kMaxFrames = 64;

  void Keep(int64_t depth, TKivoDisplayAttribute&& read) {
    if (FFrames.empty() || FFrames.back().Depth < depth) {
      if (FFrames.size() == kMaxFrames) {
        if (FTooDeep++ == 0)
          FTooDeepAt = read.Start;
        FTooDeepDepth = std::min(FTooDeepDepth, depth);
        return;
      }
      TFrame& frame = FFrames.emplace_back();
      frame.Depth = depth;
      frame.FirstAt = read.Start;
      frame.LastOf.fill(-1);
    }
    TFrame& frame = FFrames.back();
    const bool tells = read.TellsWhenApplied();
    if (read.SetsDrawingState()) {
      int32_t& last = frame.LastOf[static_cast<size_t>(read.Key - kwAMT)];
      if (last >= 0) {
        TKept& before = frame.Kept[static_cast<size_t>(last)];
        if (!before.Read.TellsWhenApplied() || !KeepsTelling(frame, before.Read)) {
          before.Gone = true;
          ++frame.Gone;
        }
      }
      last = static_cast<int32_t>(frame.Kept.size());
    } else if (!tells || !KeepsTelling(frame, read)) {
      return;
    }
    frame.Kept.push_back({std::move(read)});
    if (frame.Gone > 16 && 2 * frame.Gone > frame.Kept.size())
      Compact(frame);
  }
  // Whether `read`, which tells something when applied, is kept for it (counted else).
  static bool KeepsTelling(TFrame& frame, const TKivoDisplayAttribute& read) {
    if (frame.Telling < kTold) {
      ++frame.Telling;
      return true;
    }
    if (frame.Passed++ == 0)
      frame.PassedFirst = read.Start;
    frame.PassedLast = read.Start;
    return false;
  }
  static void Compact(TFrame& frame) {
    size_t kept = 0;
    frame.LastOf.fill(-1);
    for (TKept& entry : frame.Kept) {
      if (entry.Gone)
        continue;
      if (entry.Read.SetsDrawingState())
        frame.LastOf[static_cast<size_t>(entry.Read.Key - kwAMT)] = static_cast<int32_t>(kept);
      if (&frame.Kept[kept] != &entry)
        frame.Kept[kept] = std::move(entry);
      ++kept;
    }
    frame.Kept.resize(kept);
    frame.Gone = 0;
  }
  // Applies what the attributes of `frame` set and tells, in the order read.
  void Apply(TFrame& frame) {
    for (const TKept& entry : frame.Kept)
      if (!entry.Gone)
        FReader.ApplyAttribute(entry.Read);
    // Counted as the warnings they would have been, one each at least.
    TReportManager* report = FReader.GetReport();
    if (frame.Passed > 0 && report)
      report->AddLineWarnings(
          std::to_string(frame.Passed) + " more attributes", FReader.LineAt(frame.PassedFirst),
          " to line " + std::to_string(FReader.LineAt(frame.PassedLast)) + " inside the " + FBlock +
              " block have values or keys the reader does not use: they were passed over, not "
              "told one by one",
          frame.Passed);
  }
  // Forgets the attributes of the blocks closed since (deeper than `lowest`). They are
  // the last ones: the frames are those of the blocks still open, outermost first.
  void Prune(int64_t lowest) {
    while (!FFrames.empty() && FFrames.back().Depth > lowest)
      FFrames.pop_back();
    if (lowest < FTooDeepDepth) {
      FTooDeep = 0;
      FTooDeepDepth = INT64_MAX;
    }
  }

  TKivoLevels& FLevels;
  TKivoLevelReader& FReader;
  TKivoSource& FFile;
  std::string FBlock;
  TKivoContent FContent;
  bool FRanOn;  // a value of the block ran on over its line to what the skip passes
  std::vector<TFrame> FFrames;
  // Attributes in blocks deeper than the frames kept: whether any may still be open, the
  // first one's place, and the least depth of them.
  int64_t FTooDeep = 0, FTooDeepAt = 0, FTooDeepDepth = INT64_MAX;
  int FLostCode = 0;
  int64_t FLostLine = 0;
};

bool TKivoLevels::Skip(std::string_view block, TKivoContent content) {
  if (__builtin_expect(SkipHeldBlockEnd(FFile), 1))
    return true;
  bool ranOn = false;
  if (content == TKivoContent::Values) {
    ranOn = ValueRanOver(FFile);
    if (!ranOn && EndOfValues(block))
      return true;
  }
  FSkippedHeld.reset();
  TSkipVisitor visitor(*this, block, content, ranOn);
  return visitor.Finish(SkipBlockVisiting(FFile, visitor));
}

bool TKivoLevels::EndOfValues(std::string_view block) {
  TKivoSource& file = FFile;
  const char held = GetHeldBackChar(FFile);
  if (held == '{' || held == '}' || held == '[' || held == ' ')
    return false;
  if (held == 0) {
    SkipListGap(file);  // comment lines too
    const int next = file.Peek();
    if (next == '}') {
      char brace;
      file.Read(brace);
      return true;
    }
    if (next < 0 || next == '{' || next == '[')
      return false;
  }
  if (TReportManager* report = FReader.GetReport())
    report->AddLineWarning("The text \"" + NextWordInBuffer(file) + "\"",
                           FReader.LineAt(file.Position() - (held != 0 ? 1 : 0)),
                           " lies in the " + std::string(block) +
                               " block after the values it reads: it was passed over, with "
                               "the rest of the block");
  return false;
}

void TKivoLevels::NoteEndedInside(std::string_view block) {
  if (FEndedInside.empty())
    FEndedInside = FDepth >= 1 ? std::string(FOpen[1].Kind->Name) : std::string(block);
}
