#include "importer/KivoFile.h"

#include "classlib/Strings.h"
#include "importer/KivoPlantedFaults.h"
#include "importer/KivoReading.h"
#include "importer/ReportManager.h"

using namespace KivoReading;

void TKivoFile::ParseNetDef() {
  const TKivoLevels::TScope level(FLevels, KivoLevel::NetDef);
  for (int code; FLevels.Next(code);) {
    if (code != kwN) {
      FLevels.NotRead(code);
      continue;
    }
    const TBlockAttributes own(*this);
    const int64_t at = FFile.Position();
    auto net = std::make_unique<TKivoNetObject>(&FDisplay);
    net->SetName(ReadBlockName(kwN));
    // A second host net of the name would split the net's objects and pins between two.
    std::string key = UpperCase(net->GetName());
    TKivoNetObject* first = nullptr;
    if (const auto known = FNetsByName.find(key); known != FNetsByName.end()) {
      first = known->second.Net;
      if (FReport)
        FReport->AddLineWarning(net->GetName().empty() ? std::string("The net without a name")
                                                       : "The net " + net->GetName(),
                                LineAt(at),
                                " was given before (line " +
                                    std::to_string(LineAt(known->second.Position)) +
                                    "): its objects were added to that net");
    } else {
      first = net.get();
      FBoardComponent->GetDetail().GetNets().push_back(std::move(net));
      FNetsByName.emplace(std::move(key), TNetRecord{first, at});
    }
    TKivoNetObject& ref = *first;
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
        const bool readable = !GetNumberError();
        if (KeptDescribed([&] { return "Via of net " + net.GetName(); }) &&
            !(__builtin_expect(gKivoPlantedFault == TKivoPlantedFault::DropEveryThirdVia, 0) &&
              ++FPlantedVias % 3 == 0)) {
          CheckPadStackIndex(via->GetPadStackIndex(), readable, /*pin=*/false, FFile.Position(),
                             [&] { return "via of net " + net.GetName(); });
          members.push_back(std::move(via));
        }
        FLevels.Skip(kwV, TKivoContent::Values);
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

