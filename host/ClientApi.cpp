#include "host/ClientApi.h"

#include <cassert>
#include <cstring>
#include <type_traits>
#include <vector>

#include "classlib/FileUtils.h"
#include "classlib/Strings.h"
#include "host/ServerReferences.h"

namespace {

// The host's entry points in binding order, spelled exactly as the host exports them.
constexpr const char* kClientApiNames[] = {
    "ClientApi_GetCurrentUserID",
    "ClientApi_QueryEntity",
    "ClientApi_QueryDocumentEntity",
    "ClientApi_GetDocumentEntityAbsoluteAddress",
    "ClientApi_GetDocumentOwnerBinder",
    "ClientApi_GetEditorKindByAddress",
    "ClientApi_CreateIterator",
    "ClientApi_DestroyIterator",
    "ClientApi_GetFirstEntity",
    "ClientApi_GetNextEntity",
    "ClientApi_OpenDocumentEntity",
    "ClientApi_SetAsCurrentDocument",
    "ClientApi_RunDocumentPropertiesDialog",
    "ClientApi_RepopulateDocumentEntity",
    "ClientApi_FindChildDocumentInBinder",
    "ClientApi_FindDocumentByNameInSameFolder",
    "ClientApi_FindDocumentInstanceAlreadyOpen",
    "ClientApi_FindBinderFromAnyDataHandle",
    "ClientApi_FindEntityByStorageName",
    "ClientApi_FindEntityByDataHandle",
    "ClientApi_PerformBackupSaveForDocumentEntity",
    "ClientApi_SendCommandToModule",
    "ClientApi_PerformSaveForDocumentEntity",
    "ClientApi_PerformLoadForDocumentEntity",
    "ClientAPI_CreateDocumentLoader",
    "ClientApi_DestroyDocumentLoader",
    "ClientApi_DestroyDocumentLoaderEx",
    "ClientApi_LoadDocument",
    "ClientApi_ShowDocument",
    "ClientAPI_AddKeyStrokeDontLaunch",
    "ClientAPI_LaunchCurrentHotkey",
    "ClientAPI_AddKeyStrokeAndLaunch",
    "ClientAPI_CheckProcessParameters",
    "ClientAPI_GetClientInterface",
    "ClientAPI_GetPrefAnimatedPanels",
    "ClientAPI_GetPrefSaveToolsLayout",
    "ClientAPI_GetPrefAutoTransparency",
    "ClientAPI_GetPrefDynamicAutoTransparency",
    "ClientAPI_GetPrefSuppressStartupScreen",
    "ClientAPI_GetPrefSuppressProductStartup",
    "ClientAPI_GetPrefTransparencyHighest",
    "ClientAPI_GetPrefTransparencyLowest",
    "ClientAPI_GetPrefTransparencyForce",
    "ClientAPI_SetPrefAnimatedPanels",
    "ClientAPI_SetPrefSaveToolsLayout",
    "ClientAPI_SetPrefAutoTransparency",
    "ClientAPI_SetPrefDynamicAutoTransparency",
    "ClientAPI_SetPrefSuppressStartupScreen",
    "ClientAPI_SetPrefSuppressProductStartup",
    "ClientAPI_SetPrefTransparencyHighest",
    "ClientAPI_SetPrefTransparencyLowest",
    "ClientAPI_SetPrefTransparencyForce",
    "ClientAPI_GetPrefPopupDelay",
    "ClientAPI_SetPrefPopupDelay",
    "ClientAPI_GetPrefHideDelay",
    "ClientAPI_SetPrefHideDelay",
    "ClientAPI_GetPrefAnimationSpeed",
    "ClientAPI_SetPrefAnimationSpeed",
    "ClientAPI_ShowProductStartup",
    "ClientAPI_HideProductStartup",
    "ClientAPI_ConvertFileNameToWildCard",
    "ClientAPI_EraseFile",
    "ClientAPI_ExistSpecific",
    "ClientAPI_ExtractFileDirFromPath",
    "ClientAPI_ExtractFileExtFromPath",
    "ClientAPI_ExtractFileNameFromPath",
    "ClientAPI_ExtractWholeFileNameFromPath",
    "ClientAPI_FilePathInShort",
    "ClientAPI_GetPCharFromFile",
    "ClientAPI_ForceFileNameExtension",
    "ClientAPI_GetFileSize",
    "ClientAPI_IsFileReadOnly",
    "ClientAPI_MakeNewBackUp",
    "ClientAPI_RemoveModuleFromMemory",
    "ClientAPI_SameFileName",
    "ClientAPI_SetFileFromPChar",
    "ClientAPI_ConvertFileNameToExeFileName",
};
constexpr size_t kClientApiCount = sizeof kClientApiNames / sizeof kClientApiNames[0];
static_assert(kClientApiCount == 77);

FARPROC gEntries[kClientApiCount] = {};

// The slot of a name of the table; an unknown name is a bug of the caller.
size_t SlotOf(std::string_view name) {
  for (size_t i = 0; i < kClientApiCount; ++i)
    if (name == kClientApiNames[i])
      return i;
  assert(false && "not a ClientApi entry point");
  return 0;
}

template <class F>
F Entry(std::string_view name) {
  static_assert(std::is_pointer_v<F>);
  return reinterpret_cast<F>(reinterpret_cast<void*>(gEntries[SlotOf(name)]));
}

using TGetClientInterface = void(__stdcall*)(IClient** client);
using TExistSpecific = TBoolByte(__stdcall*)(const char* fileName);
using TExtractFileNameFromPath = void(__stdcall*)(const char* path, char* buffer);
using TForceFileNameExtension = void(__stdcall*)(const char* name, const char* extension,
                                                 char* buffer);

constexpr size_t kNameBufferSize = 4096;

// Lets the host fill a 4096-byte buffer and takes its text; the last byte is forced to
// a terminator first, so a host that writes no terminator cannot make us read past it.
template <class Fill>
std::string HostFilledText(Fill&& fill) {
  std::vector<char> buffer(kNameBufferSize, '\0');
  fill(buffer.data());
  buffer[kNameBufferSize - 1] = '\0';
  return std::string(buffer.data());
}

}  // namespace

void BindClientApi() {
  HMODULE host = HostModuleHandle();
  for (size_t i = 0; i < kClientApiCount; ++i)
    gEntries[i] = host ? GetProcAddress(host, kClientApiNames[i]) : nullptr;
}

std::span<const char* const> ClientApiNames() { return kClientApiNames; }

FARPROC ClientApiEntry(std::string_view name) {
  for (size_t i = 0; i < kClientApiCount; ++i)
    if (name == kClientApiNames[i])
      return gEntries[i];
  return nullptr;
}

TInterfacePtr<IClient> ClientApiGetClientInterface() {
  TInterfacePtr<IClient> client;
  if (auto get = Entry<TGetClientInterface>("ClientAPI_GetClientInterface"))
    get(client.OutRef());
  return client;
}

bool ClientApiExistSpecific(const std::string& fileName) {
  auto exist = Entry<TExistSpecific>("ClientAPI_ExistSpecific");
  return exist && exist(fileName.c_str()) != 0;
}

std::string ClientApiExtractFileNameFromPath(const std::string& path) {
  auto extract = Entry<TExtractFileNameFromPath>("ClientAPI_ExtractFileNameFromPath");
  if (!extract)
    return std::string();
  return HostFilledText([&](char* buffer) { extract(path.c_str(), buffer); });
}

std::string ClientApiForceFileNameExtension(const std::string& name, const std::string& extension) {
  auto force = Entry<TForceFileNameExtension>("ClientAPI_ForceFileNameExtension");
  if (!force)
    return std::string();
  return HostFilledText([&](char* buffer) { force(name.c_str(), extension.c_str(), buffer); });
}

HMODULE HostModuleHandle() { return GetModuleHandleA(nullptr); }

HMODULE PluginModuleHandle() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&PluginModuleHandle), &module);
  return module;
}

bool StringsEqual(std::string_view a, std::string_view b) { return SameText(a, b); }

bool RunClientProcess(const std::string& processName, char* parameters, int32_t bufferSize,
                      IUnknown* context) {
  TInterfacePtr<IClient> client = GetClient();
  if (!client)
    return false;
  TInterfacePtr<IClientCommandRunner> runner = InterfaceCast<IClientCommandRunner>(client.Get());
  return runner->RunProcess(processName.c_str(), parameters, bufferSize, context) != 0;
}

HWND HostMainWindow() {
  TInterfacePtr<IClient> client = GetClient();
  return client ? client->GetMainWindowHandle() : nullptr;
}

namespace {

// Shows a document the host has open already; a text view goes back to its top.
void ShowOpenDocument(IClient& client, IServerDocument& document) {
  TInterfacePtr<IServerDocumentView> view;
  document.GetView(view.OutRef());
  document.Focus();
  client.ShowDocument(&document);
  if (!view)
    return;
  const char* kind = view->GetViewKind();
  if (!StringsEqual(kind ? kind : "", "TextEdit"))
    return;
  TInterfacePtr<IUnknown> context;
  document.GetProcessContext(0, context.OutRef());
  TInterfacePtr<IViewCommand> command;
  view->PrepareProcess("TextEdit:MoveCursorToTopOfDocument", 0, 0, context.Get(), command.OutRef());
  if (command)
    command->Execute();
}

}  // namespace

void OpenDocumentInEditor(const std::string& fileName, int32_t ignored) {
  if (!FileExists(fileName))
    return;
  TInterfacePtr<IClient> client = GetClient();
  if (!client)
    return;
  TInterfacePtr<IServerDocument> document;
  client->GetDocumentByPath(fileName.c_str(), document.OutRef());
  if (document) {
    ShowOpenDocument(*client.Get(), *document.Get());
    return;
  }
  const char* kind = client->GetDocumentKindFromFile(fileName.c_str());
  std::string kindText = kind ? kind : "";  // the host's text lives only until its next call
  client->OpenDocument(kindText.c_str(), fileName.c_str(), document.OutRef());
  if (document)
    client->ShowDocument(document.Get());
}

void InitializeClientApi() {
  BindClientApi();
  // Held without counting: the local reference goes at once.
  SetClient(ClientApiGetClientInterface().Get());
}

void FinalizeClientApi() {
  SetClient(nullptr);
  for (FARPROC& entry : gEntries)
    entry = nullptr;
}
