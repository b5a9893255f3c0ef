// The host executable's "VFSAPI_" entry points that the translation report uses. The
// stand-in's virtual file system is one folder: a name beginning with "VFS:\" stands
// for the same name in the folder of the "VirtualFolder" switch (names are taken as
// they are while the switch is empty). Exported by undecorated name (HostExports.def);
// the bare build leaves them out.
#include <string>
#include <string_view>

#include "classlib/Boundary.h"
#include "classlib/FileUtils.h"
#include "classlib/Strings.h"
#include "classlib/TextFile.h"
#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"

namespace {

constexpr std::string_view kVirtualDrive = "VFS:\\";

std::string RealName(const char* name) {
  std::string text = name ? name : "";
  const std::string& folder = standin::HostOptions().VirtualFolder;
  const bool virtualName = SameText(std::string_view(text).substr(0, kVirtualDrive.size()),
                                   kVirtualDrive);
  if (folder.empty() || !virtualName)
    return text;
  return IncludeTrailingPathDelimiter(folder) + text.substr(kVirtualDrive.size());
}

// The folder part with its trailing separator.
std::string PathPart(const std::string& name) {
  return name.substr(0, name.size() - standin::NamePart(name).size());
}

}  // namespace

extern "C" {

// Names the plug-in's text-file record: the real path goes into its name field, which
// the plug-in then opens itself.
int32_t __stdcall VFSAPI_VFSAssignFile(HostTextFile* file, const char* name) {
  return GuardBoundaryResult<int32_t>("VFSAPI_VFSAssignFile", 0, [&]() -> int32_t {
    const std::string real = RealName(name);
    standin::LogCall("VFSAPI_VFSAssignFile(" + standin::Quote(name) + ") -> " +
                     standin::Quote(real.c_str()));
    standin::FillNameBuffer(file->name, real);
    return 0;
  });
}

void __stdcall VFSAPI_VFS_ExtractFilePath(const char* name, char* buffer) {
  GuardBoundary("VFSAPI_VFS_ExtractFilePath", [&] {
    const std::string path = PathPart(name ? name : "");
    standin::LogCall("VFSAPI_VFS_ExtractFilePath(" + standin::Quote(name) + ") -> " +
                     standin::Quote(path.c_str()));
    standin::FillNameBuffer(buffer, path);
  });
}

void __stdcall VFSAPI_VFS_ExtractFileName(const char* name, char* buffer) {
  GuardBoundary("VFSAPI_VFS_ExtractFileName", [&] {
    const std::string part = standin::NamePart(name ? name : "");
    standin::LogCall("VFSAPI_VFS_ExtractFileName(" + standin::Quote(name) + ") -> " +
                     standin::Quote(part.c_str()));
    standin::FillNameBuffer(buffer, part);
  });
}

uint8_t __stdcall VFSAPI_VFS_FileExists(const char* name) {
  return GuardBoundaryResult<uint8_t>("VFSAPI_VFS_FileExists", 0, [&]() -> uint8_t {
    const bool exists = FileExists(RealName(name));
    standin::LogCall("VFSAPI_VFS_FileExists(" + standin::Quote(name) + ") -> " +
                     (exists ? "True" : "False"));
    return exists ? 1 : 0;
  });
}

}  // extern "C"
