#include "importer/KivoFile.h"

#include <algorithm>

#include "importer/KivoReading.h"
#include "importer/ReportManager.h"
#include "pcb/BoardUnits.h"

using namespace KivoReading;

void TKivoFile::ParsePadStack() {
  auto& stacks = FBoardComponent->GetDetail().GetPadStacks();
  const int64_t at = FFile.Position();
  stacks.push_back(std::make_unique<TKivoPadStack>(&FDisplay));
  TKivoPadStack& stack = *stacks.back();
  {
    const TKivoLevels::TScope level(FLevels, KivoLevel::PadStack);
    ReadPadStack(stack);
  }
  // The translation takes its pads from the first pad stack.
  if (!FPadIndices) {
    FPadStackAt = at;
    CheckPadStackReferences(stack);
    KeepPadStackIndices(stack);
  } else if (FReport) {
    FReport->AddLineWarning(
        "The PAD_STACK block", LineAt(at),
        " is not the file's first: " + std::string(KivoReference(rkPadStack).Twice) + " (line " +
            std::to_string(LineAt(FPadStackAt)) + "), and its " +
            std::to_string(stack.GetPads().size()) + " PAD and " +
            std::to_string(stack.GetPadDefinitions().GetCount()) + " PAD_DEF blocks are not used");
  }
}

void TKivoFile::ReadPadStack(TKivoPadStack& stack) {
  for (int code; FLevels.Next(code);) {
    switch (code) {
      case kwPAD: {
        const TBlockAttributes own(*this);
        // One whose index is no number is left out: no pin or via can name it.
        const int64_t at = FFile.Position();
        const int32_t index = ReadListWhole(kwPAD, kfPAD);
        const bool readable = !GetNumberError(FFile);
        std::string first, second;
        if (ReadListValue(kwPAD, "Value of PAD", first) &&
            ReadListValue(kwPAD, "Value of PAD", second) && readable) {
          stack.GetPads().push_back(std::make_unique<TKivoPadRecord>(index, first, second));
          stack.GetPads().back()->SetReadAt(at);
        }
        FLevels.Skip(kwPAD, TKivoContent::Values);
        break;
      }
      case kwPAD_DEF:
        ParsePadDefinition(stack);
        break;
      default:
        FLevels.NotRead(code);
        break;
    }
  }
}

void TKivoFile::ParsePadDefinition(TKivoPadStack& stack) {
  // Its graphics are placed through the pad-stack map, not by their layers (which files
  // often leave undeclared): they count on no layer.
  FInPadDefinition = true;
  FCountingKnown = false;
  const TBlockAttributes own(*this);
  auto* definition = new TKivoPadDef(&FDisplay);
  const int64_t at = FFile.Position();
  definition->SetReadAt(at);
  // Without a name it is read as a definition still (what it holds is no one else's),
  // but no pad record can name it.
  definition->SetName(ReadBlockName(
      kwPAD_DEF, "no PAD record can name it, so no pad or via takes it"));
  stack.AddPadDefinition(definition);
  const TKivoLevels::TScope level(FLevels, KivoLevel::PadDefinition);
  for (int code; FLevels.Next(code);) {
    if (code == kwPIC) {
      ParseGraphics(KivoLevel::PadPicture, definition->GetPrimitives(),
                    {kwFL, kwARC, kwPOLY, kwOL});
    } else if (code == kwATR) {
      ParsePadAttributes(*definition);
    } else {
      FLevels.NotRead(code);
    }
  }
  FInPadDefinition = false;
  FCountingKnown = false;
  // One that no pad record can name (no name, or the name of one before it) makes no pad.
  const std::string name = definition->GetName();
  if (!name.empty() && stack.FindPadDefinition(name) == definition)
    TellHole(*definition, at);
  FOtherDrillTexts.clear();
}

void TKivoFile::NoteDrillText(const TKivoText& text, int64_t position) {
  int32_t value = 0;
  if (text.GetLayerName() == text.GetPadDrillLayerName() && !TryKivoWholeNumber(text.GetText(), value))
    FOtherDrillTexts.emplace_back(position, text.GetText());
}

void TKivoFile::TellHole(const TKivoPadDef& definition, int64_t position) {
  // Its DRILL texts that are no number, and a through-hole one that gives no hole: its
  // pads and vias take the name's hole, or the 32 mil of a name that encodes none.
  const bool told = !FOtherDrillTexts.empty();
  if (__builtin_expect(!told && (definition.GetSmd() || definition.GivesHole()), 1))
    return;
  const std::string object = PadDefinitionNamed(definition.GetName());
  const std::string hole = CoordToUnitString(/*imperial=*/true, definition.GetThroughHoleSize());
  for (const auto& [at, text] : FOtherDrillTexts)
    TellValue(kfDrillText, text, at, object, hole);
  if (!told)
    TellValue(kfDrillText, {}, position, object, hole);
}

void TKivoFile::ParsePadAttributes(TKivoPadDef& definition) {
  const TKivoLevels::TScope level(FLevels, KivoLevel::PadAttributes);
  for (int code; FLevels.Next(code);) {
    if (code != kwIN) {
      FLevels.NotRead(code);
      continue;
    }
    const TKivoLevels::TScope entriesLevel(FLevels, KivoLevel::PadEntries);
    for (int entry; FLevels.Next(entry);) {
      if (entry != kwSMD) {
        FLevels.NotRead(entry);
        continue;
      }
      const TBlockAttributes own(*this);
      std::string smd;
      if (ReadListValue(kwSMD, "Value of SMD", smd)) {
        definition.SetSmd(smd == "Y" ? 1 : 0);
        if (__builtin_expect(!IsKivoWord(KivoValueField(kfSMD), smd), 0))
          TellValue(kfSMD, smd, FFile.Position(), PadDefinitionNamed(definition.GetName()));
      }
      FLevels.Skip(kwSMD, TKivoContent::Values);
    }
  }
}

void TKivoFile::CheckPadStackIndexFurther(TPendingIndex index, bool readable, std::string_view text,
                                          bool pin) {
  // A readable index gets here only when it is not known: a pin's small pad index is.
  if (!readable)
    TellValue(pin ? kfPT : kfV, text, index.Position, index.Object);
  else if (!FPadIndices)
    FPendingIndices.push_back(std::move(index));
  else
    ReportUnknownPadStackIndex(index);
}

void TKivoFile::ReportUnknownPadStackIndex(const TPendingIndex& index) {
  ReportLeftOutAt(index.Position,
                  "Pad stack index " + std::to_string(index.Index) + " of " + index.Object,
                  KivoReference(FPadIndices ? rkPinPadIndex : rkPadStack).Undefined);
}

void TKivoFile::KeepPadStackIndices(const TKivoPadStack& stack) {
  FPadIndices.emplace();
  for (const auto& record : stack.GetPads())
    FPadIndices->push_back(record->GetIndex());
  std::sort(FPadIndices->begin(), FPadIndices->end());
  CheckPendingPadStackIndices();
}

void TKivoFile::CheckPendingPadStackIndices() {
  // A file without PAD_STACK makes every pad and via without definition, told.
  for (const TPendingIndex& pending : FPendingIndices)
    if (!FPadIndices || !std::binary_search(FPadIndices->begin(), FPadIndices->end(), pending.Index))
      ReportUnknownPadStackIndex(pending);
  FPendingIndices.clear();
}

