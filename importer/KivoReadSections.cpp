#include "importer/KivoFile.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "classlib/Strings.h"
#include "importer/KivoReading.h"
#include "importer/ReportManager.h"
#include "pcb/PcbApi.h"

using namespace KivoReading;

void TKivoFile::ParseSections() {
  // A "}" is passed over: only the end of the file ends the sections. The file was cut
  // short (or is short of braces) when it ends inside a section, or before the COMPONENT
  // block's "}". Only the braces the reading takes for blocks count, not those of
  // comments, texts or values.
  const TKivoLevels::TScope level(FLevels, KivoLevel::Component);
  bool closed = false;
  for (;;) {
    int code;
    if (!FLevels.Next(code)) {
      if (FLevels.EndedAtEof())
        break;
      closed = true;
      continue;
    }
    switch (code) {
      case kwENVIRONMENT:
        // A second one declares more layers; what it gives again (a unit, a grid...) is
        // told, and the first holds.
        if (FEnvironmentAt < 0)
          FEnvironmentAt = FFile.Position();
        else if (FReport)
          FReport->AddLineWarning("The ENVIRONMENT block", LineAt(FFile.Position()),
                                  " is not the file's first (line " +
                                      std::to_string(LineAt(FEnvironmentAt)) +
                                      "): " + KivoReference(rkEnvironment).Twice);
        ParseEnvironment();
        break;
      case kwDISPLAY:
        ParseDisplay();
        break;
      case kwDETAIL:
        CheckUnitScale();
        ParseDetail();
        break;
      case kwUSER:
      case kwAPERTURE_TABLE:
      case kwSYMBOL:
        FLevels.Skip(code, TKivoContent::Anything);
        break;
      case kwANNOTATE:
      case kwNET_DEF:
      case kwPAD_STACK:
      case kwSUBCOMP:
        // A section of DETAIL outside it: told (unless the block it lay in told it), read.
        if (!FLevels.GivenBack())
          FLevels.TellReadInside(code, "COMPONENT");
        ParseDetailSection(code);
        break;
      default:
        FLevels.NotRead(code);
        break;
    }
  }
  if (!FLevels.EndedInside().empty())
    ReportEndedInside(FLevels.EndedInside());
  else if (!closed)
    ReportEndedInside("COMPONENT");
}

void TKivoFile::ParseEnvironment() {
  const TKivoLevels::TScope level(FLevels, KivoLevel::Environment);
  TKivoEnvironment& env = FBoardComponent->GetEnvironment();
  std::string value;
  // An entry of one value given again (in this block or another ENVIRONMENT) is told and
  // not used: the first holds.
  const auto first = [&](int code, int64_t at, const char* key) {
    return FirstEnvironmentValue(code, at, value, std::string(key) + " \"" + value + "\"");
  };
  for (int code; FLevels.Next(code);) {
    const TBlockAttributes own(*this);
    const int64_t at = FFile.Position();
    switch (code) {
      case kwKIVOVREV:
        if (ReadListValue(code, "Value of KIVOVREV", value) && first(code, at, "KIVOVREV"))
          env.SetVersion(value);
        break;
      case kwPROGRAM:
        if (ReadListValue(code, "Value of PROGRAM", value) && first(code, at, "PROGRAM"))
          env.SetProgram(value);
        break;
      case kwDBTYPE:
        if (ReadListValue(code, "Value of DBTYPE", value) && first(code, at, "DBTYPE")) {
          env.SetDatabaseType(SameText(value, "PC-Board") ? 3 : SameText(value, "Schematic") ? 1 : 0);
          if (__builtin_expect(env.GetDatabaseType() == 0, 0))
            TellValue(kfDBTYPE, value, FFile.Position());
        }
        break;
      case kwDBVREV:
        if (ReadListValue(code, "Value of DBVREV", value) && first(code, at, "DBVREV"))
          env.SetDatabaseVersion(value);
        break;
      case kwDBTIME:
        if (ReadListValue(code, "Value of DBTIME", value) && first(code, at, "DBTIME"))
          env.SetDatabaseTime(value);
        break;
      case kwDBUNIT: {
        if (!ReadListValue(code, "Value of DBUNIT", value))
          break;
        const TKivoUnit unit = KivoUnitOf(value, env.GetVersion());
        if (unit.Code == 0) {
          TellValue(kfDBUNIT, value, FFile.Position());
          break;
        }
        // The first unit known holds: a later one would scale what follows otherwise.
        if (!FirstEnvironmentValue(code, at, value, "DBUNIT \"" + value + "\"", rkUnit))
          break;
        env.SetUnitCode(unit.Code);
        FDisplay.SetUnitScale(unit.Scale);
        FRealCoordinates = unit.RealCoordinates;
        CheckScale();
        break;
      }
      case kwDBGRID:
        PassToValue(code, /*name=*/false);
        if (!EnvironmentValue(code)) {
          ReadGrid();
          FirstEnvironmentValue(code, at, GetLastTokenText(FFile), "", rkGrid);
        } else {
          ReadIntegerValue(FFile);
          FirstEnvironmentValue(code, at, GetLastTokenText(FFile), "DBGRID " + GetLastTokenText(FFile), rkGrid);
        }
        break;
      case kwLYRSTR:
        while (ReadListValue(code, "Value of LYRSTR", value) && !value.empty()) {
          const int64_t named = FFile.Position();
          const int32_t id = ReadListWhole(code, kfLYRSTR);
          CheckLayerName(value, id, named);
          env.AddLayerString(value, id);
        }
        break;
      case kwLYRPHID: {
        const int64_t at = FFile.Position();
        while (ReadListValue(code, "Value of LYRPHID", value) && !value.empty()) {
          TKivoPhysicalId id;
          id.Value1 = WholeOfValue(value, kfLYRPHID);
          id.Value2 = ReadListWhole(code, kfLYRPHID);
          id.Value3 = ReadListWhole(code, kfLYRPHID);
          env.GetPhysicalIds().push_back(id);
        }
        const size_t ids = env.GetPhysicalIds().size();
        const int strings = env.GetLayerStrings().GetCount();
        if (ids != static_cast<size_t>(strings) && FReport) {
          FReport->AddLoadWarning(lwLayerCountMismatch);
          FReport->AddLineDetail(
              "The LYRPHID block", LineAt(at),
              " lists " + std::to_string(ids) + (ids == 1 ? " physical layer id" : " physical layer ids") +
                  " for the " + std::to_string(strings) +
                  (strings == 1 ? " layer string of LYRSTR" : " layer strings of LYRSTR"));
        }
        break;
      }
      case kwSSYMTBL:
        while (ReadListValue(code, "Value of SSYMTBL", value) && !value.empty()) {
          TKivoSymbolEntry entry;
          entry.Id = WholeOfValue(value, kfSSYMTBL);
          const int32_t flag = ReadListWhole(code, kfSSYMTBLFlag);
          entry.Flag = flag == -2 ? 2 : flag == -1 ? 1 : 0;
          if (__builtin_expect(flag < -2 || flag > 0, 0) && !GetNumberError(FFile))
            TellValue(kfSSYMTBLFlag, std::to_string(flag), FFile.Position());
          entry.Value1 = ReadListWhole(code, kfSSYMTBL);
          entry.Value2 = ReadListWhole(code, kfSSYMTBL);
          env.GetSymbolTable().push_back(entry);
        }
        break;
      case kwAPR:
        while (ReadListValue(code, "Value of APR", value) && !value.empty())
          env.GetApertures().push_back(WholeOfValue(value, kfAPR));
        break;
      case kwPCLR:
      case kwPOLYAP:
      case kwPSIZ:
      case kwROTP: {
        const TKivoField field = code == kwPCLR     ? kfPCLR
                                 : code == kwPOLYAP ? kfPOLYAP
                                 : code == kwPSIZ   ? kfPSIZ
                                                    : kfROTP;
        const std::optional<double> number = ReadListNumber(code, field);
        const std::string text = GetLastTokenText(FFile);
        if (!number || !FirstEnvironmentValue(code, at, text, std::string(KivoKeywordText(code)) + " " + text))
          break;
        if (code == kwPCLR)
          env.SetPCLR(*number);
        else if (code == kwPOLYAP)
          env.SetPOLYAP(*number);
        else if (code == kwPSIZ)
          env.SetPSIZ(*number);
        else
          env.SetROTP(*number == 0);
        break;
      }
      case kwSSTFile:
        if (ReadListValue(code, "Value of SSTFile", value) && first(code, at, "SSTFile"))
          env.SetSSTFile(value);
        break;
      default:
        FLevels.NotRead(code);
        PcbApiPercentUpdate();
        continue;
    }
    FLevels.Skip(code, TKivoContent::Values);
    PcbApiPercentUpdate();
  }
  if (env.GetDatabaseType() == 1 && FReport)
    FReport->SetLoadSection(0);
}

void TKivoFile::ReadGrid() {
  int32_t grid = ReadIntegerValue(FFile);
  const bool readable = !GetNumberError(FFile);
  if (__builtin_expect(!readable || grid <= 0, 0)) {
    // Every coordinate is multiplied by the grid: 0 (or the -32000 of an unreadable
    // number) would put every object at the origin, or mirror and scale it off the
    // board. A negative one would turn the board about the origin and make every width
    // and size negative (refused): the board keeps its shape at the grid's size.
    const std::string text = readable ? std::to_string(grid) : ReadNumberText();
    grid = !readable || grid == 0 ? 1 : grid == INT32_MIN ? INT32_MAX : -grid;
    TellValue(kfDBGRID, text, FFile.Position(), {}, std::to_string(grid));
  }
  FDisplay.SetGrid(grid);
  FBoardComponent->GetEnvironment().SetGrid(grid);
  CheckScale();
}

void TKivoFile::CheckUnitScale() {
  if (__builtin_expect(!FNoScale, 1))
    return;
  if (FDisplay.GetGrid() == 0) {
    // As a DBGRID of 0 is: the board keeps its shape at the unit's own step.
    FDisplay.SetGrid(1);
    FBoardComponent->GetEnvironment().SetGrid(1);
    if (FReport)
      FReport->AddLineWarning("The DETAIL block", LineAt(FFile.Position()),
                              " has no DBGRID before it: a grid of 1 was used");
  }
  // There is no sound unit to assume: what is drawn without one is left out, told once.
  if (FDisplay.GetUnitScale() == 0 && FNoUnitAt < 0)
    FNoUnitAt = FFile.Position();
  CheckScale();
}

void TKivoFile::ParseDisplay() {
  // Attributes only: a block in it is read where it belongs, or told and skipped.
  const TKivoLevels::TScope level(FLevels, KivoLevel::Display);
  for (int code; FLevels.Next(code);)
    FLevels.NotRead(code);
}

namespace {

// The display keywords an attribute may have that the reader does not use: passed over
// without a word.
bool IsOtherDisplayKey(int code) { return code >= kwVIEW && code <= kwPFC; }

}  // namespace

bool TKivoDisplayAttribute::TellsWhenApplied() const {
  return Refused || OtherValue || !OpenQuote.empty() || Cut || EndsAt != 0 ||
         (!SetsDrawingState() && !IsOtherDisplayKey(Key));
}

namespace {

// The field of an attribute's key.
TKivoField AttributeField(int key) {
  switch (key) {
    case kwAMT:
      return kfAMT;
    case kwAPT:
      return kfAPT;
    case kwLS:
      return kfLS;
    case kwWD:
      return kfWD;
    case kwTS:
      return kfTS;
    case kwTJ:
      return kfTJ;
    case kwTR:
      return kfTR;
    default:
      return kfTM;
  }
}

}  // namespace

void TKivoFile::NoteOtherNumber(TKivoDisplayAttribute& attribute) {
  attribute.OtherValue = true;
  attribute.Text = ReadNumberText();
}

void TKivoFile::TellOtherValue(const TKivoDisplayAttribute& attribute) {
  const std::string& value = attribute.Text;
  switch (attribute.Key) {
    case kwTJ:
      TellValue(kfTJ, value, attribute.ValueAt, {}, KivoJustificationTaken(value));
      break;
    case kwTM:
      TellValue(kfTM, value, attribute.ValueAt, {}, !value.empty() && value[0] == 'Y' ? "Y" : "N");
      break;
    case kwLS:
      TellValue(kfLS, value, attribute.ValueAt);
      break;
    default:  // a number
      TellValue(AttributeField(attribute.Key), value, attribute.End);
      break;
  }
}

TKivoDisplayAttribute TKivoFile::ReadAttribute() {
  TKivoDisplayAttribute attribute;
  attribute.Start = FFile.Position();
  SkipListGap(FFile);  // a comment line before the key is passed, as between blocks
  attribute.Key = ReadWord();
  attribute.ValueAt = FFile.Position();
  switch (attribute.Key) {
    case kwAMT:
    case kwAPT:
      attribute.Real = ReadFloatValue(FFile);
      if (__builtin_expect(GetNumberError(FFile), 0))
        NoteOtherNumber(attribute);
      break;
    case kwLY:
    case kwLS:
    case kwTJ:
    case kwTM:
      // A value that ran over is told when applied (an unreadable layer at the end of
      // the reading, with what it left out).
      if (!ReadValue(/*item=*/nullptr, attribute.Text))
        attribute.Refused = NotClosedReason(FFile);
      else if (LastValueLeftOpen(FFile))
        attribute.OpenQuote = ValueLeftOpenReason(FFile);
      attribute.Cut = LastValueCut(FFile);
      if (!attribute.Refused && attribute.Key != kwLY)
        attribute.OtherValue = !IsKivoWord(KivoValueField(AttributeField(attribute.Key)), attribute.Text);
      break;
    case kwWD:
    case kwTS:
      // One that is no length, is negative or lies beyond the board's range is passed over.
      BeginObject();
      attribute.Number = ReadNextKivoCoord();
      if (__builtin_expect(UnplaceableReason() || attribute.Number < 0, 0))
        NoteOtherNumber(attribute);
      break;
    case kwTR: {
      // An unreadable rotation would turn the texts that follow by -32000 degrees.
      const int32_t r = ReadIntegerValue(FFile);
      attribute.Number = r == 1 ? 90 : r == 2 ? 180 : r == 3 ? 270 : r;
      if (__builtin_expect(GetNumberError(FFile), 0))
        NoteOtherNumber(attribute);
      break;
    }
    default:
      attribute.KeyText = GetLastTokenText(FFile);
      break;
  }
  attribute.End = FFile.Position();
  // An attribute that runs on into the next attribute or the blocks after it ends where
  // they begin (a value that ran over into them is told already, by its own reason).
  if (!ValueRanOver(FFile) && !SkipToCloseBracket(FFile)) {
    if (GetHeldBackChar(FFile) == '[')
      attribute.EndsAt = '[';
    else if (IsBraceHeldBack(FFile))
      attribute.EndsAt = '{';
  }
  return attribute;
}

void TKivoFile::ApplyAttribute(const TKivoDisplayAttribute& attribute) {
  if (__builtin_expect(!FBlockAttributes.empty(), 0))
    NoteAttributeApplied(attribute.Key);
  const std::string& value = attribute.Text;
  const char* refused = attribute.Refused;
  if (__builtin_expect(!attribute.OpenQuote.empty(), 0) && FReport)
    FReport->AddLineWarning("Value of " + std::string(KivoKeywordText(attribute.Key)) + " \"" +
                                value + "\"",
                            LineAt(attribute.ValueAt),
                            ": " + attribute.OpenQuote + "; it was read up to there");
  if (__builtin_expect(attribute.Cut, 0))
    ReportValueCut(attribute.ValueAt, "Value of " + std::string(KivoKeywordText(attribute.Key)),
                   value);
  if (__builtin_expect(attribute.OtherValue, 0))
    TellOtherValue(attribute);
  switch (attribute.Key) {
    case kwAMT:
      if (!attribute.OtherValue)
        FDisplay.SetAMT(attribute.Real);
      break;
    case kwAPT:
      if (!attribute.OtherValue)
        FDisplay.SetAPT(attribute.Real);
      break;
    case kwLY:
      if (refused)
        SetUnreadableLayer(attribute.ValueAt, refused);
      else
        SetLayer(value, attribute.ValueAt);
      break;
    case kwLS:
      if (refused)
        ReportLeftOutAt(attribute.ValueAt, "Line style", refused);
      else
        FDisplay.SetLineStyle(SameText(value, "DASHED") ? 1 : SameText(value, "DOTTED") ? 2 : 0);
      break;
    case kwWD:
      if (!attribute.OtherValue)
        FDisplay.SetWidth(attribute.Number);
      break;
    case kwTS:
      if (!attribute.OtherValue)
        FDisplay.SetTextSize(attribute.Number);
      break;
    case kwTJ: {
      if (refused) {
        ReportLeftOutAt(attribute.ValueAt, "Text justification", refused);
        break;
      }
      const char h = value.size() > 0 ? value[0] : 0, v = value.size() > 1 ? value[1] : 0;
      FDisplay.SetHorizontalJustification(h == 'L' ? 1 : h == 'R' ? 2 : h == 'C' ? 5 : 0);
      FDisplay.SetVerticalJustification(v == 'T' ? 3 : v == 'B' ? 4 : v == 'C' ? 5 : 0);
      break;
    }
    case kwTR:
      if (!attribute.OtherValue)
        FDisplay.SetRotation(attribute.Number);
      break;
    case kwTM:
      if (refused)
        ReportLeftOutAt(attribute.ValueAt, "Text mirror", refused);
      else
        FDisplay.SetMirror(!value.empty() && value[0] == 'Y' ? 1 : 0);
      break;
    default:
      // A misspelt key would leave the objects after it in the drawing state before it.
      if (!IsOtherDisplayKey(attribute.Key) && FReport)
        FReport->AddLineWarning(attribute.KeyText.empty()
                                    ? std::string("The attribute with no key")
                                    : "The attribute " + attribute.KeyText,
                                LineAt(attribute.Start),
                                " is not one of those the reader knows: it was passed over");
      break;
  }
  if (attribute.EndsAt != 0 && FReport)
    FReport->AddLineWarning("The attribute", LineAt(attribute.Start),
                            attribute.EndsAt == '['
                                ? " is not closed by \"]\": it ends where the next attribute begins"
                                : " is not closed by \"]\": it ends where the next block begins");
}

void TKivoFile::ParseDetail() {
  const TKivoLevels::TScope level(FLevels, KivoLevel::Detail);
  for (int code; FLevels.Next(code);) {
    if (!ParseDetailSection(code))
      FLevels.NotRead(code);
    PcbApiPercentUpdate();
  }
}

bool TKivoFile::ParseDetailSection(int code) {
  switch (code) {
    case kwANNOTATE:
      ParseGraphics(KivoLevel::Annotate, FBoardComponent->GetDetail().GetAnnotations(),
                    {kwFL, kwDIMENSION});
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

