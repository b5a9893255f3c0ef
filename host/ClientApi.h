// The host's side of the plug-in: the "ClientApi_"/"ClientAPI_" entry points of the
// host executable, bound by name at start-up, and the small operations built on the
// host's IClient: running a named host process, the host's main window, opening a text
// file in the host's editor.
//
// A missing entry point leaves its slot empty; its wrapper then does nothing and
// answers False or an empty text. Texts the host writes into 4096-byte buffers are read
// only up to a terminator forced at the buffer's last byte.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "classlib/Interfaces.h"
#include "host/HostInterfaces.h"

// Resolves all 77 entry points on the host executable's module, re-resolving the whole
// table on every call.
void BindClientApi();
// The 77 names in binding order.
std::span<const char* const> ClientApiNames();
// The bound entry point of a name of the table; null when the host lacks it.
FARPROC ClientApiEntry(std::string_view name);

// "ClientAPI_GetClientInterface": the host's client, nil when unbound.
TInterfacePtr<IClient> ClientApiGetClientInterface();
// "ClientAPI_ExistSpecific": False when unbound.
bool ClientApiExistSpecific(const std::string& fileName);
// "ClientAPI_ExtractFileNameFromPath": empty when unbound.
std::string ClientApiExtractFileNameFromPath(const std::string& path);
// "ClientAPI_ForceFileNameExtension": empty when unbound.
std::string ClientApiForceFileNameExtension(const std::string& name, const std::string& extension);

// Runs the host process `processName` with the parameter string in `parameters`
// (a buffer of `bufferSize` bytes that the host answers into). False, with the buffer
// untouched, when there is no client. Raises EIntfCastError when the client offers no
// IClientCommandRunner.
bool RunClientProcess(const std::string& processName, char* parameters, int32_t bufferSize,
                      IUnknown* context);

// The module handle of the process's executable: the host.
HMODULE HostModuleHandle();
// The module holding the framework's code: LoadKIVO.dll in the plug-in.
HMODULE PluginModuleHandle();
// Equal without regard to case, where only a to z fold to A to Z.
bool StringsEqual(std::string_view a, std::string_view b);
// The host's main window (IClient position 15), parent of every dialog; 0 without a
// client.
HWND HostMainWindow();
// Opens an existing file in the host's editor, or shows it again when the host has it
// open already (moving the cursor to the top of a "TextEdit" view). Nothing happens
// for a missing file, without a client, or when the host answers nil on the way.
void OpenDocumentInEditor(const std::string& fileName, int32_t ignored = 0);

// Unit start-up: binds the entry points and fetches the host's client into the
// process-wide client reference. Shut-down clears the reference and the bindings.
void InitializeClientApi();
void FinalizeClientApi();
