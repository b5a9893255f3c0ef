// The host executable's "ClientAPI_" entry points that a plug-in uses. They are
// exported by undecorated name (HostExports.def); the bare build leaves them out.
#include <algorithm>
#include <cstring>

#include "classlib/Boundary.h"
#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"

namespace standin {

constexpr size_t kNameBuffer = 4096;

// Under the stand-in's "unterminated" switch the whole buffer is filled, with no zero.
void FillNameBuffer(char* buffer, const std::string& text) {
  if (HostOptions().UnterminatedNames) {
    std::memset(buffer, 'x', kNameBuffer);
    std::memcpy(buffer, text.data(), std::min(text.size(), kNameBuffer));
    return;
  }
  size_t length = std::min(text.size(), kNameBuffer - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

std::string NamePart(const std::string& path) {
  size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace standin

using standin::FillNameBuffer;
using standin::NamePart;

extern "C" {

void __stdcall ClientAPI_GetClientInterface(IUnknown** client) {
  GuardBoundary("ClientAPI_GetClientInterface", [&] {
    standin::LogCall("ClientAPI_GetClientInterface");
    IUnknown* object = standin::ClientUnknown();
    if (object)
      object->AddRef();
    *client = object;
  });
}

uint8_t __stdcall ClientAPI_ExistSpecific(const char* fileName) {
  return GuardBoundaryResult<uint8_t>("ClientAPI_ExistSpecific", 0, [&]() -> uint8_t {
    DWORD attributes = fileName ? GetFileAttributesA(fileName) : INVALID_FILE_ATTRIBUTES;
    bool exists = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    standin::LogCall("ClientAPI_ExistSpecific(" + standin::Quote(fileName) + ") -> " +
                     (exists ? "True" : "False"));
    return exists ? 1 : 0;
  });
}

void __stdcall ClientAPI_ExtractFileNameFromPath(const char* path, char* buffer) {
  GuardBoundary("ClientAPI_ExtractFileNameFromPath", [&] {
    std::string name = NamePart(path ? path : "");
    standin::LogCall("ClientAPI_ExtractFileNameFromPath(" + standin::Quote(path) + ") -> " +
                     standin::Quote(name.c_str()));
    FillNameBuffer(buffer, name);
  });
}

// Replaces the extension of the name part (after the last "." that follows the last
// separator) or appends one; `extension` may come with or without its ".".
void __stdcall ClientAPI_ForceFileNameExtension(const char* name, const char* extension,
                                                char* buffer) {
  GuardBoundary("ClientAPI_ForceFileNameExtension", [&] {
    std::string result = name ? name : "";
    size_t separator = result.find_last_of("\\/:");
    size_t dot = result.rfind('.');
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator))
      result.erase(dot);
    std::string ext = extension ? extension : "";
    if (!ext.empty() && ext[0] != '.')
      ext.insert(ext.begin(), '.');
    result += ext;
    standin::LogCall("ClientAPI_ForceFileNameExtension(" + standin::Quote(name) + ", " +
                     standin::Quote(extension) + ") -> " + standin::Quote(result.c_str()));
    FillNameBuffer(buffer, result);
  });
}

}  // extern "C"
