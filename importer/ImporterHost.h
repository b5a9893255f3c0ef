// The host's helpers that the recogniser and the report call: whether the host knows a
// file, the name part of a path, a name with its extension forced, and today's date
// and the time of day as texts. They are replaceable routines; until the host's
// client binding installs its own, they answer from the runtime.
#pragma once

#include <string>

struct TImporterHost {
  bool (*ExistSpecific)(const std::string& fileName);
  std::string (*ExtractFileNameFromPath)(const std::string& path);
  std::string (*ForceFileNameExtension)(const std::string& name, const std::string& extension);
  std::string (*CurrentDateText)();
  std::string (*CurrentTimeText)();
};

TImporterHost& ImporterHost();
