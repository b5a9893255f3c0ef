// A block's name and the values of its lists, read by one rule wherever they stand (a
// net's, definition's, instance's, pin's or pad definition's name, a connection list,
// a pad-stack entry, ENVIRONMENT's values and lists): what stands there is taken as what
// it is, or told. An attribute read as a name or value became one ("[WD" a net's name,
// a pad's shape) and its setting outlived its block; it is now told, the name or values
// after it are the block's, and it holds for that block alone, up to its "}". One just
// before the block's "}" stays the level's, as the skip of a block of values takes it:
// that "}" may be another's, moved. A comment line among values, read as values before,
// is passed as between blocks. A name that is missing (the block's items, its end or the
// end of the file where it should stand, or only attributes) or empty ("") names nothing:
// a net without one made a host net named "" that every pin left without a net joined.
// It is told with the block's line and what the block's reading does without it.
#include "importer/KivoFile.h"

#include <exception>
#include <optional>
#include <vector>

#include "importer/KivoReading.h"
#include "importer/ReportManager.h"

using namespace KivoReading;

int TKivoFile::NextValueCharacter() {
  SkipListGap(FFile);  // passes nothing while a character is held back
  const char held = GetHeldBackChar(FFile);
  if (held != 0)
    return ValueRanOver(FFile) ? '}' : static_cast<unsigned char>(held);
  // SkipListGap leaves one blank before a character of a token, which tokens pass.
  int next = FFile.Peek();
  if (next == ' ') {
    char blank;
    FFile.Read(blank);
    next = FFile.Peek();
  }
  return next < 0 ? 0 : next;
}

int TKivoFile::PassToValue(int code, bool name) {
  const int next = NextValueCharacter();
  if (__builtin_expect(next != '[', 1))
    return next;
  return PassAttributes(code, name);
}

int TKivoFile::PassAttributes(int code, bool name) {
  // Where a run of attributes stands is known at its end. A run longer than kRun is taken
  // by parts, each but the last as standing where no name or value follows, so that no
  // run, however long, is kept whole.
  constexpr size_t kRun = 64;
  std::vector<TKivoDisplayAttribute> run;
  const auto take = [&](bool valueFollows) {
    for (const TKivoDisplayAttribute& attribute : run) {
      if (valueFollows)
        ApplyBlockAttribute(attribute, code, name);
      else if (!name)
        FLevels.AttributeInValues(attribute);
      else
        ApplyAttribute(attribute);  // one of the block's items
    }
    run.clear();
  };
  int next = '[';
  while (next == '[') {
    if (run.size() == kRun)
      take(/*valueFollows=*/false);
    ReadItemToken(FFile);  // the "["
    run.push_back(ReadAttribute());
    next = NextValueCharacter();
  }
  take(next != '{' && next != '}' && next != 0);
  return next;
}

std::string TKivoFile::ReadBlockName(int code, const char* withoutName) {
  const int64_t at = FFile.Position();
  const int next = PassToValue(code, /*name=*/true);
  std::string name;
  if (next == '"') {
    ReadValue(("Name of the " + std::string(KivoKeywordText(code)) + " block").c_str(), name);
  } else if (next == '(') {
    ReadBracketedName(("Name of the " + std::string(KivoKeywordText(code)) + " block").c_str(),
                      name);
  } else if (next != '{' && next != '}' && next != 0) {
    ReadName();
    name = GetLastTokenView(FFile);
    if (__builtin_expect(LastTokenCut(FFile), 0))
      ReportValueCut(FFile.Position(), "Name of the " + std::string(KivoKeywordText(code)) + " block",
                     name);
  }
  if (__builtin_expect(name.empty(), 0) && withoutName)
    ReportNameless(code, at, withoutName);
  return name;
}

void TKivoFile::ReportNameless(int code, int64_t position, const char* withoutName) {
  if (FReport)
    FReport->AddLineWarning("The " + std::string(KivoKeywordText(code)) + " block",
                            LineAt(position), std::string(" has no name: ") + withoutName);
}

bool TKivoFile::ReadBracketedName(const char* item, std::string& name) {
  if (!ReadValue(item, name))
    return false;
  name.insert(0, 1, '(');
  if (LastValueLeftOpen(FFile))
    return true;
  name += ')';
  // What a word holds after it stays the name's, as when names were read as words.
  if (const int next = FFile.Peek(); next > 0 && !WordSet().Contains(static_cast<unsigned char>(next))) {
    GetToken(FFile, WordSet(), /*skipBlanks=*/false);
    name += GetLastTokenView(FFile);
  }
  return true;
}

void TKivoFile::TellValue(TKivoField field, std::string_view value, int64_t position,
                          std::string_view object, std::string_view used) {
  if (!FReport)
    return;
  const TKivoValueField& row = KivoValueField(field);
  std::string usedText = row.Used;
  if (const size_t at = usedText.find("%s"); at != std::string::npos)
    usedText.replace(at, 2, used);
  std::string subject = row.Name;
  if (!value.empty())
    subject.append(" \"").append(value).append("\"");
  if (!object.empty())
    subject.append(" of ").append(object);
  FReport->AddLineWarning(subject, LineAt(position),
                          value.empty() ? " has no value: " + usedText
                                        : " is not " + std::string(row.Values) + ": " + usedText);
}

std::string TKivoFile::ReadNumberText() {
  if (const std::string_view token = GetLastTokenView(FFile); !token.empty())
    return std::string(token);
  // A delimiter of numbers where the number begins.
  const char held = GetHeldBackChar(FFile);
  if (held == 0 || held == ' ' || held == '{' || held == '}' || held == '[' || held == ']')
    return {};
  if (held != '"' && held != '(')
    return NextWordInBuffer(FFile);
  // One whose quote or "(" is left open is told as such too.
  std::string value;
  if (!ReadValue("Value", value) || LastValueLeftOpen(FFile))
    return (held == '"' ? "\"" : "(") + value;
  return held == '"' ? "\"" + value + "\"" : "(" + value + ")";
}

bool TKivoFile::ReadListValue(int code, const char* item, std::string& value) {
  PassToValue(code, /*name=*/false);
  return ReadValue(item, value);
}

int32_t TKivoFile::ReadListInteger(int code) {
  PassToValue(code, /*name=*/false);
  return ReadIntegerValue(FFile);
}

double TKivoFile::ReadListFloat(int code) {
  PassToValue(code, /*name=*/false);
  return ReadFloatValue(FFile);
}

int32_t TKivoFile::ReadListWhole(int code, TKivoField field) {
  const int32_t value = ReadListInteger(code);
  if (__builtin_expect(GetNumberError(FFile), 0))
    TellValue(field, ReadNumberText(), FFile.Position());
  return value;
}

std::optional<double> TKivoFile::ReadListNumber(int code, TKivoField field) {
  const double value = ReadListFloat(code);
  if (__builtin_expect(!GetNumberError(FFile), 1))
    return value;
  TellValue(field, ReadNumberText(), FFile.Position());
  return std::nullopt;
}

int32_t TKivoFile::WholeOfValue(std::string_view value, TKivoField field) {
  int32_t whole = 0;
  if (__builtin_expect(TryKivoWholeNumber(value, whole), 1))
    return whole;
  TellValue(field, value, FFile.Position());
  return kUnreadable;
}

void TKivoFile::ApplyBlockAttribute(const TKivoDisplayAttribute& attribute, int code, bool name) {
  // The block keeps the drawing state from before its first attribute of a key, or from
  // before the first after one of the key that holds on (Overridden); a key the drawing
  // state does not hold needs none.
  const bool kept = attribute.SetsDrawingState();
  TBlockAttribute* before = nullptr;
  if (kept) {
    for (size_t i = FBlockMark; i < FBlockAttributes.size() && !before; ++i)
      if (FBlockAttributes[i].Key == attribute.Key)
        before = &FBlockAttributes[i];
    if (!before)
      before = &FBlockAttributes.emplace_back();
    else if (!before->Overridden)
      before = nullptr;
  }
  if (before) {
    before->Key = attribute.Key;
    before->Overridden = false;
    before->LayerName = FDisplay.GetLayerName();
    before->Layer = FLayer;
    before->LineStyle = FDisplay.GetLineStyle();
    before->HorizontalJustification = FDisplay.GetHorizontalJustification();
    before->VerticalJustification = FDisplay.GetVerticalJustification();
    before->Mirror = FDisplay.GetMirror();
    before->Width = FDisplay.GetWidth();
    before->TextSize = FDisplay.GetTextSize();
    before->Rotation = FDisplay.GetRotation();
    before->AMT = FDisplay.GetAMT();
    before->APT = FDisplay.GetAPT();
  }
  FApplyingBlockAttribute = true;
  ApplyAttribute(attribute);
  FApplyingBlockAttribute = false;
  if (FReport) {
    const std::string block(KivoKeywordText(code));
    FReport->AddLineWarning("The attribute", LineAt(attribute.Start),
                            (name ? " stands in place of the " + block + " block's name"
                                  : " stands among the " + block + " block's values") +
                                ": it holds for that block alone, up to its \"}\"");
  }
}

void TKivoFile::NoteAttributeApplied(int key) {
  if (FApplyingBlockAttribute)
    return;
  for (TBlockAttribute& before : FBlockAttributes)
    if (before.Key == key)
      before.Overridden = true;
}

void TKivoFile::EndBlockAttributes(size_t mark) {
  // While an exception passes the reading has ended: nothing is put back.
  for (size_t i = FBlockAttributes.size(); i-- > mark && std::uncaught_exceptions() == 0;) {
    const TBlockAttribute& before = FBlockAttributes[i];
    if (before.Overridden)
      continue;
    switch (before.Key) {
      case kwAMT:
        FDisplay.SetAMT(before.AMT);
        break;
      case kwAPT:
        FDisplay.SetAPT(before.APT);
        break;
      case kwLY:
        FDisplay.SetLayerName(before.LayerName);
        FLayer = before.Layer;
        FCountingKnown = false;
        break;
      case kwLS:
        FDisplay.SetLineStyle(before.LineStyle);
        break;
      case kwWD:
        FDisplay.SetWidth(before.Width);
        break;
      case kwTS:
        FDisplay.SetTextSize(before.TextSize);
        break;
      case kwTJ:
        FDisplay.SetHorizontalJustification(before.HorizontalJustification);
        FDisplay.SetVerticalJustification(before.VerticalJustification);
        break;
      case kwTR:
        FDisplay.SetRotation(before.Rotation);
        break;
      case kwTM:
        FDisplay.SetMirror(before.Mirror);
        break;
      default:
        break;
    }
  }
  FBlockAttributes.resize(mark);
}
