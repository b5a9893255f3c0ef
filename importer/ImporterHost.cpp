#include "importer/ImporterHost.h"

#include "classlib/DateUtils.h"
#include "classlib/FileUtils.h"

namespace {

bool RuntimeExists(const std::string& fileName) { return FileExists(fileName); }

std::string RuntimeFileName(const std::string& path) { return ExtractFileName(path); }

std::string RuntimeForceExtension(const std::string& name, const std::string& extension) {
  return ChangeFileExt(name, extension.empty() || extension[0] == '.' ? extension : "." + extension);
}

std::string RuntimeDate() { return DateToStr(Date()); }

std::string RuntimeTime() { return TimeToStr(Time()); }

}  // namespace

TImporterHost& ImporterHost() {
  static TImporterHost host = {RuntimeExists, RuntimeFileName, RuntimeForceExtension,
                               RuntimeDate, RuntimeTime};
  return host;
}
