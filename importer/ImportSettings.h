// The importer's settings files: "LoadKIVO.ini" in the per-user folder holds the
// default mapping from KIVO layer names to host layers (created with a built-in table
// of 77 rows on first use), and the host's file dialog names the "*.cfg" files in which
// the options dialog keeps whole configurations. Host layers are stored by their
// display names. Reading never raises for missing keys or files; a failed write of
// the INI file raises EIniFileException, and leaves the earlier file as it was.
//
// A "LoadKIVO.ini" that cannot be read, is far larger than any settings file, or holds
// no section "Layer" (random bytes, Unicode text) is not the user's map: the built-in
// rows serve as for a missing file, the file is left as it is, and the caller is told
// why so that the user can be.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/IniFiles.h"
#include "classlib/ShortString.h"
#include "host/Utilities.h"
#include "pcb/Layers.h"

// One row of a layer map: a KIVO layer name and the host layer it goes to.
struct TLayerMapping {
  std::string Name;
  TLayer Layer = eIgnoreLayer;
};
using TLayerMap = std::vector<TLayerMapping>;

// The user's folder + "\LoadKIVO.ini".
ShortString<255> ImportSettingsFileName();

// The 77 built-in rows, in order; also writes them into section "Layer" of
// "LoadKIVO.ini" (layer 0 as "Any Layer").
TLayerMap DefaultLayerTable();

// The mapping of "LoadKIVO.ini" section "Layer", keys in file order; when the file does
// not exist, DefaultLayerTable (which creates it). When it exists but cannot be used
// (above), the 77 built-in rows, and `problem` (when given) says why, in words that
// finish a sentence "... because "; otherwise `problem` is emptied. A file another host
// holds for a moment is waited for (RetryWhileHeldByAnotherInstance), as `wait` says.
TLayerMap LoadDefaultLayerMap(std::string* problem = nullptr, const TInstanceWait& wait = {});

// The layer `name` maps to in `map` (case-insensitive), or eIgnoreLayer.
TLayer FindMappedLayer(const TLayerMap& map, const std::string& name);

// A row of a layer map that a settings file cannot keep: its index among the rows
// given, its name, and why, in words that finish a sentence "... because ".
struct TUnsavedLayer {
  int Row = 0;
  std::string Name;
  std::string Reason;
};
using TUnsavedLayers = std::vector<TUnsavedLayer>;

// The rows of `rows` that a section of a settings file cannot keep as they are: a name
// that is no key (IniKeyFault), and a name that an earlier row has, letter case aside,
// with another layer (the file keeps one mapping per name: the first row's).
TUnsavedLayers LayersASettingsFileCannotKeep(const TLayerMap& rows);

// Writes every row whose layer is not 0 into section "Layer" of "LoadKIVO.ini"; rows
// left at 0 are not written, so an older entry for them stays. Rows the file cannot
// keep (LayersASettingsFileCannotKeep) are not written either, and are answered (Row
// counts in `rows`); the others are saved. Waits for another host as
// LoadDefaultLayerMap does; raises EIniFileException when it cannot be written.
TUnsavedLayers SaveDefaultLayerMap(const TLayerMap& rows, const TInstanceWait& wait = {});

// How a host layer appears in a grid and a configuration file: its display name, and
// "Not Imported" for layer 0.
std::string MappedLayerText(TLayer layer);

// Asks the host's file dialog for a configuration file, starting at `shownName` with
// its extension changed to "cfg" (mode 0 opens, 1 saves). True with `path` set when the
// host answers "Result=True".
bool ChooseConfigurationFile(int mode, const std::string& shownName, std::string& path);
