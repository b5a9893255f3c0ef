#include "importer/KivoFile.h"

#include "importer/KivoReading.h"
#include "importer/KivoReadingHooks.h"

using namespace KivoReading;

void TKivoFile::ParseNetDef() {
  const TKivoLevels::TScope level(FLevels, KivoLevel::NetDef);
  for (int code; FLevels.Next(code);) {
    if (code != kwN) {
      FLevels.NotRead(code);
      continue;
    }
    const TBlockAttributes own(*this);
    auto& nets = FBoardComponent->GetDetail().GetNets();
    auto net = std::make_unique<TKivoNetObject>(&FDisplay);
    TKivoNetObject& ref = *net;
    ref.SetReadAt(FFile.Position());
    // Without a name it is no net: its objects are imported as they are, without one.
    ref.SetName(ReadBlockName(kwN, "its objects were imported without a net"));
    nets.push_back(std::move(net));
    const TKivoLevels::TScope netLevel(FLevels, KivoLevel::Net);
    for (int item; FLevels.Next(item);) {
      if (item == kwATR)
        FLevels.Skip(kwATR, TKivoContent::Anything);
      else if (item == kwDG)
        ParseNetGraphics(ref);
      else
        FLevels.NotRead(item);
    }
  }
}

void TKivoFile::ParseNetGraphics(TKivoNetObject& net) {
  const TKivoLevels::TScope level(FLevels, KivoLevel::NetGraphics);
  TKivoObjectList& members = FObjectScratch;
  members.clear();
  for (int code; FLevels.Next(code);) {
    switch (code) {
      case kwV: {
        auto via = std::make_unique<TKivoVia>(&FDisplay);
        BeginObject();
        via->SetX(ReadNextKivoCoord());
        via->SetY(ReadNextKivoCoord());
        via->SetPadStackIndex(ReadIntegerValue(FFile));
        const bool readable = !GetNumberError(FFile);
        const std::string text = readable ? std::string() : ReadNumberText();
        TKivoReadingHooks* const hooks = FFile.Hooks();
        if (KeptDescribed([&] { return "Via of " + NetNamed(net.GetName()); }) &&
            (__builtin_expect(hooks == nullptr, 1) || hooks->KeepVia())) {
          CheckPadStackIndex(via->GetPadStackIndex(), readable, text, /*pin=*/false, FFile.Position(),
                             [&] { return "via of " + NetNamed(net.GetName()); });
          members.push_back(std::move(via));
        }
        FLevels.Skip(kwV, TKivoContent::Values);
        break;
      }
      case kwNN: {
        auto text = std::make_unique<TKivoText>(&FDisplay);
        text->SetText(net.GetName());
        const int64_t at = FFile.Position();
        BeginObject();
        const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
        text->SetPosition({x, y});
        // The place of a name the net does not have would be an empty text.
        if (__builtin_expect(net.GetNameView().empty(), 0))
          ReportLeftOutAt(at, "The NN block", "its net has no name to place");
        else if (KeptDescribed([&] { return "Name of " + NetNamed(net.GetName()); }))
          members.push_back(std::move(text));
        FLevels.Skip(kwNN, TKivoContent::Values);
        break;
      }
      case kwW:
      case kwARC:
      case kwT:
      case kwPOLY:
        ParseGraphic(code, members);
        break;
      default:
        FLevels.NotRead(code);
        break;
    }
  }
  KeepRead(members, net.GetMembers());
}

