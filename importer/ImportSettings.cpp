#include "importer/ImportSettings.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <unordered_map>

#include "classlib/FileUtils.h"
#include "classlib/IniFiles.h"
#include "classlib/Strings.h"
#include "classlib/Win.h"
#include "host/ClientApi.h"
#include "host/ParameterList.h"
#include "host/Utilities.h"
#include "pcb/PcbApi.h"

namespace {

const char* const cLayerSection = "Layer";

struct TDefaultRow {
  const char* Name;
  TLayer Layer;
};

// clang-format off
const TDefaultRow cDefaultRows[] = {
    {"PADCOM", TLayer(1)}, {"FLCOMP", TLayer(1)}, {"PADSLD", TLayer(32)}, {"FLSOLD", TLayer(32)},
    {"FLSLD", TLayer(32)}, {"PADINT", TLayer(74)}, {"FLINT", TLayer(74)}, {"FLINT1", TLayer(2)},
    {"FLINT2", TLayer(3)}, {"FLINT3", TLayer(4)}, {"FLINT4", TLayer(5)}, {"FLINT5", TLayer(6)},
    {"FLINT6", TLayer(7)}, {"GNDCON", TLayer(39)}, {"FLGCON", TLayer(39)}, {"CLEAR", TLayer(56)},
    {"FLCLER", TLayer(56)}, {"PWRCON", TLayer(40)}, {"FLPCON", TLayer(40)}, {"SLDMSK", TLayer(37)},
    {"FLSMSK", TLayer(38)}, {"DRILL", TLayer(55)}, {"FLDRLL", TLayer(55)}, {"PIN", TLayer(74)},
    {"BRDOUT", TLayer(56)}, {"FLTARG", TLayer(59)}, {"SLKSCR", TLayer(33)}, {"DEVICE", TLayer(33)},
    {"ATTR", TLayer(57)}, {"REFDES", TLayer(33)}, {"COMP", TLayer(1)}, {"SOLDER", TLayer(32)},
    {"INT1", TLayer(2)}, {"INT2", TLayer(3)}, {"INT3", TLayer(4)}, {"INT4", TLayer(5)},
    {"INT5", TLayer(6)}, {"INT6", TLayer(7)}, {"INT7", TLayer(8)}, {"INT8", TLayer(9)},
    {"INT9", TLayer(10)}, {"INT10", TLayer(11)}, {"INT11", TLayer(12)}, {"INT12", TLayer(13)},
    {"INT13", TLayer(14)}, {"INT14", TLayer(15)}, {"INT15", TLayer(16)}, {"DRLGIN", TLayer(73)},
    {"DRLFIN", TLayer(73)}, {"TITBLK", TLayer(58)}, {"PINTOP", TLayer(1)}, {"PINBOT", TLayer(32)},
    {"MSKGTP", TLayer(37)}, {"MSKGBT", TLayer(38)}, {"MSKFTP", TLayer(38)}, {"MSKFBT", TLayer(37)},
    {"PSTGTP", TLayer(35)}, {"PSTGBT", TLayer(36)}, {"PSTFTP", TLayer(36)}, {"PSTFBT", TLayer(35)},
    {"SLKTOP", TLayer(33)}, {"SLKBOT", TLayer(34)}, {"DVCTOP", TLayer(33)}, {"DVCBOT", TLayer(34)},
    {"REFDTP", TLayer(57)}, {"REFDBT", TLayer(57)}, {"$CONT", TLayer(58)}, {"$DRC", TLayer(58)},
    {"ASSY", TLayer(60)}, {"FRAME", TLayer(56)}, {"ATTR2", TLayer(58)}, {"PWRMRG", TLayer(42)},
    {"REDR", TLayer(58)}, {"IEEE", TLayer(58)}, {"BUS1", TLayer(8)}, {"BUS2", TLayer(9)},
    {"$$NULL", TLayer(0)},
};
// clang-format on
static_assert(std::size(cDefaultRows) == 77, "the built-in table has 77 rows");

TLayerMap BuiltInLayerTable() {
  TLayerMap result;
  for (const TDefaultRow& row : cDefaultRows)
    result.push_back({row.Name, row.Layer});
  return result;
}

}  // namespace

ShortString<255> ImportSettingsFileName() {
  return ShortString<255>(GetUserDataFolder() + "\\" + "LoadKIVO.ini");
}

TLayerMap DefaultLayerTable() {
  TLayerMap result = BuiltInLayerTable();
  // Writing the rows down is for the next run: a settings folder that cannot be made or
  // written must not stop this import, which goes on with the built-in rows.
  try {
    TMemIniFile ini(ImportSettingsFileName(), MaxSettingsFileBytes);
    for (const TLayerMapping& row : result)
      ini.WriteString(cLayerSection, row.Name, LayerToString(row.Layer));
    ini.UpdateFile();
  } catch (const Exception&) {
  }
  return result;
}

TLayerMap LoadDefaultLayerMap(std::string* problem, const TInstanceWait& wait) {
  if (problem)
    problem->clear();
  const std::string fileName = ImportSettingsFileName();
  // A file that is not the user's map is left as it is (it may be theirs to mend), and
  // the built-in rows serve for this import.
  auto builtIn = [&](std::string why) {
    if (problem)
      *problem = std::move(why);
    return BuiltInLayerTable();
  };
  // A folder of the file's name is no missing file: the built-in rows could not be
  // written there, and the user would never learn why their map is not read.
  if (DirectoryExists(fileName))
    return builtIn(FileFailureReason(fileName, ERROR_ACCESS_DENIED));
  if (!FileExists(fileName))
    return DefaultLayerTable();
  std::unique_ptr<TMemIniFile> ini;
  try {
    // Another host saving its defaults holds the file for a moment.
    ini = RetryWhileHeldByAnotherInstance<EIniFileException>(
        [&] { return std::make_unique<TMemIniFile>(fileName, MaxSettingsFileBytes); }, wait);
  } catch (const EIniFileException& error) {
    return builtIn(SettingsFileFailureReason(fileName, error.GetErrorCode()));
  }
  const std::vector<std::string> sections = ini->ReadSectionNames();
  const bool hasLayers = std::any_of(sections.begin(), sections.end(),
                                     [](const std::string& name) { return SameText(name, cLayerSection); });
  if (!hasLayers)
    return builtIn("it holds no [Layer] section (it may be damaged, or saved as Unicode text)");
  TLayerMap result;
  for (const std::string& key : ini->ReadSectionKeys(cLayerSection)) {
    const std::string value = ini->ReadString(cLayerSection, key, "Not Imported");
    result.push_back({key, TLayer(StringToLayer(value))});
  }
  return result;
}

TLayer FindMappedLayer(const TLayerMap& map, const std::string& name) {
  for (const TLayerMapping& row : map)
    if (SameText(row.Name, name))
      return row.Layer;
  return eIgnoreLayer;
}

TUnsavedLayers LayersASettingsFileCannotKeep(const TLayerMap& rows) {
  TUnsavedLayers unsaved;
  std::unordered_map<std::string, TLayer> firstOfName;
  for (int row = 0; row < int(rows.size()); ++row) {
    const TLayerMapping& mapping = rows[row];
    if (std::string why = IniKeyFault(mapping.Name); !why.empty()) {
      unsaved.push_back({row, mapping.Name, std::move(why)});
      continue;
    }
    const auto [first, isFirst] = firstOfName.emplace(UpperCase(mapping.Name), mapping.Layer);
    if (!isFirst && first->second != mapping.Layer)
      unsaved.push_back({row, mapping.Name,
                         "a layer before it has the same name, letter case aside, and another host layer, "
                         "and a settings file keeps one host layer for a name"});
  }
  return unsaved;
}

TUnsavedLayers SaveDefaultLayerMap(const TLayerMap& rows, const TInstanceWait& wait) {
  // Only the rows written can disagree with each other.
  TLayerMap written;
  std::vector<int> rowOf;
  for (int row = 0; row < int(rows.size()); ++row)
    if (rows[row].Layer != eIgnoreLayer) {
      written.push_back(rows[row]);
      rowOf.push_back(row);
    }
  TUnsavedLayers unsaved = LayersASettingsFileCannotKeep(written);
  std::vector<bool> skipped(written.size());
  for (TUnsavedLayer& layer : unsaved) {
    skipped[layer.Row] = true;
    layer.Row = rowOf[layer.Row];
  }
  // Written once: a write per row would rewrite the file as often as it has rows.
  // Another host saving or reading the file holds it for a moment.
  RetryWhileHeldByAnotherInstance<EIniFileException>(
      [&] {
        TMemIniFile ini(ImportSettingsFileName(), MaxSettingsFileBytes);
        for (size_t i = 0; i < written.size(); ++i)
          if (!skipped[i])
            ini.WriteString(cLayerSection, written[i].Name, LayerToString(written[i].Layer));
        ini.UpdateFile();
      },
      wait);
  return unsaved;
}

std::string MappedLayerText(TLayer layer) {
  return layer == eIgnoreLayer ? std::string("Not Imported") : LayerToString(layer);
}

bool ChooseConfigurationFile(int mode, const std::string& shownName, std::string& path) {
  constexpr uint16_t cBufferSize = 4096;
  auto buffer = std::make_unique<char[]>(cBufferSize);
  const std::string name = ClientApiForceFileNameExtension(shownName, "cfg");
  const std::string request =
      "Dialog=FileOpenSave|Mode=" + std::to_string(mode) +
      "|Prompt=KIVO Configuaration File|DocumentType=All|FileType1=KIVO CFG File (*.cfg)"
      "|FileType2=All Files (*.*)|Path=" + name;
  // The request is cut to the buffer, as the host reads no further.
  lstrcpynA(buffer.get(), request.c_str(), cBufferSize);
  PcbApiSendCommand("Client:RunCommonDialog", buffer.get(), cBufferSize, 0);
  ShortString<255> result, chosen;
  if (!LookupParameter(buffer.get(), "Result", result) || result.View() != "True")
    return false;
  LookupParameter(buffer.get(), "Path", chosen);
  path = chosen.Str();
  return !path.empty();
}
