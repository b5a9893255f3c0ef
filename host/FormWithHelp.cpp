#include "host/FormWithHelp.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

#include "classlib/ComCtrls.h"
#include "classlib/Exceptions.h"
#include "classlib/Frames.h"
#include "classlib/FileUtils.h"
#include "classlib/Strings.h"
#include "classlib/SysUtils.h"
#include "host/ClientApi.h"
#include "host/ServerReferences.h"
#include "skin/KsTabs.h"

// ---- Help files and maps ------------------------------------------------------------------

std::string HostHelpFolder() { return ExtractFilePath(GetModuleName(HostModuleHandle())) + "Help\\"; }

std::string PluginHelpFile() {
  return HostHelpFolder() + ChangeFileExt(ExtractFileName(GetModuleName(PluginModuleHandle())), ".hlp");
}

std::string PluginWhatsThisHelpFile() { return ChangeFileExt(PluginHelpFile(), "") + "wth.hlp"; }

std::string FallbackHelpFile() { return HostHelpFolder() + "qmvmaster.hlp"; }

namespace {

TObject* ContextObject(int32_t context) { return reinterpret_cast<TObject*>(intptr_t(context)); }
int32_t ObjectContext(TObject* object) { return int32_t(reinterpret_cast<intptr_t>(object)); }

// The host help files on the way of one look-up, so that topics leading back to a
// file already searched end instead of going round for ever.
using TVisitedFiles = std::vector<std::string>;

int LookupHelpContextVia(const std::string& key, const std::string& suffix, std::string& helpFile,
                         TStringList* topics, TStringList* map, TVisitedFiles& visited);

int HostTopicHelpContextVia(const std::string& topic, std::string& helpFile, TVisitedFiles& visited) {
  TInterfacePtr<IClient> client = GetClient();
  if (!client)
    return 0;
  const char* answer = client->GetHelpFileForTopic(topic.c_str());
  if (!answer || !*answer)
    return 0;
  helpFile = HostHelpFolder() + ChangeFileExt(ExtractFileName(answer), ".hlp");
  if (!FileExists(helpFile))
    return 0;
  for (const std::string& file : visited)
    if (SameText(file, helpFile))
      return 0;
  visited.push_back(helpFile);
  std::string key = topic;
  for (char& c : key)
    if (c == ':')
      c = '_';
  auto map = std::make_unique<TStringList>();
  auto topics = std::make_unique<TStringList>();
  return LookupHelpContextVia(key, "", helpFile, topics.get(), map.get(), visited);
}

int LookupHelpContextVia(const std::string& key, const std::string& suffix, std::string& helpFile,
                         TStringList* topics, TStringList* map, TVisitedFiles& visited) {
  if (map->GetCount() == 0)
    LoadHelpIdMap(map, topics, helpFile);
  const std::string lookup = suffix.empty() ? key : "Dlg_" + suffix + "_" + key;
  const int index = map->IndexOf(lookup);
  if (index < 0)
    return 0;
  const int32_t context = ObjectContext(map->GetObject(index));
  if (context >= 0)
    return context;
  const int topic = -(context + 1);
  if (topic >= topics->GetCount())
    return 0;
  return HostTopicHelpContextVia(topics->Get(topic), helpFile, visited);
}

}  // namespace

void LoadHelpIdMap(TStringList* map, TStringList* topics, const std::string& helpFile) {
  const std::string idFile = ChangeFileExt(helpFile, ".id");
  if (!FileExists(idFile))
    return;
  TStringList lines;
  try {
    lines.LoadFromFile(idFile);
  } catch (const EStreamError&) {
    return;  // unreadable: as if missing, tried again at the next look-up
  }
  for (int i = 0; i < lines.GetCount(); ++i) {
    const std::string line = lines.Get(i);
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
      continue;
    const std::string value = line.substr(equals + 1);
    int32_t context = 0;
    if (const size_t comma = value.find(','); comma != std::string::npos)
      context = -(topics->Add(value.substr(comma + 1)) + 1);
    else if (!TryStrToInt(value, context))
      context = 0;
    map->AddObject(line.substr(0, equals), ContextObject(context));
  }
  if (map->GetCount() > 0) {
    map->SetCaseSensitive(false);
    map->SetSorted(true);
  }
}

int LookupHelpContext(const std::string& key, const std::string& suffix, std::string& helpFile,
                      TStringList* topics, TStringList* map) {
  TVisitedFiles visited;
  return LookupHelpContextVia(key, suffix, helpFile, topics, map, visited);
}

int HostTopicHelpContext(const std::string& topic, std::string& helpFile) {
  TVisitedFiles visited;
  return HostTopicHelpContextVia(topic, helpFile, visited);
}

// Forms and frames carry form-level help; tab sheets and skinned tab controls carry
// control-level help.
bool IsHelpContainer(TControl* control) {
  return control && (control->Is<TCustomForm>() || control->Is<TCustomFrame>() ||
                     control->Is<TTabSheet>() || control->Is<TKsCustomTabSheet>() ||
                     control->Is<TKsCustomTabControl>());
}

void RequestHostHelpHook() {
  TInterfacePtr<IClient> client = GetClient();
  if (!client)
    return;
  TInterfacePtr<IClientHelpHook> hook;
  client->GetHelpHook(-1, "", hook.OutRef());
  if (hook)
    hook->Invoke();
}

// ---- TFormWithHelp ------------------------------------------------------------------------

TFormWithHelp::TFormWithHelp(TComponent* AOwner)
    : TForm(AOwner),
      FFormHelpMap(std::make_unique<TStringList>()),
      FFormHelpTopics(std::make_unique<TStringList>()),
      FControlHelpMap(std::make_unique<TStringList>()),
      FControlHelpTopics(std::make_unique<TStringList>()) {}

TFormWithHelp::~TFormWithHelp() {
  // The window goes only in the base destructor, whose messages no longer reach this class.
  QuitHelpViewer();
}

void TFormWithHelp::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_CHILDKEY: CMChildKey(message); return;
    case WM_HELP: WMHelp(message); return;
    case WM_DESTROY: QuitHelpViewer(); break;
  }
  inherited::Dispatch(message);
}

int TFormWithHelp::GetHelpContext(TControl* container, std::string& helpFile) {
  const bool formLevel = container->Is<TCustomForm>() || container->Is<TCustomFrame>();
  helpFile = formLevel ? PluginHelpFile() : PluginWhatsThisHelpFile();
  return LookupHelpContext("Dlg_" + container->GetName(), "", helpFile,
                           formLevel ? FFormHelpTopics.get() : FControlHelpTopics.get(),
                           formLevel ? FFormHelpMap.get() : FControlHelpMap.get());
}

TControl* TFormWithHelp::FindContainerWithHelp(TControl* parent) {
  auto* winParent = ObjectAs<TWinControl>(parent);
  if (!winParent)
    return nullptr;
  for (int i = 0; i < winParent->GetControlCount(); ++i) {
    TControl* child = winParent->GetControl(i);
    if (!IsHelpContainer(child))
      continue;
    std::string helpFile;
    if (GetHelpContext(child, helpFile) != 0)
      return child;
    return FindContainerWithHelp(child);
  }
  return nullptr;
}

void TFormWithHelp::ShowHelp(TControl* control) {
  TControl* container = control;
  while (container && !IsHelpContainer(container))
    container = container->GetParent();
  if (!container || container == this)
    container = FindContainerWithHelp(this);
  // A skinned tab control's help is that of its active page.
  if (auto* tabControl = ObjectAs<TKsCustomTabControl>(container)) {
    const int page = tabControl->GetActivePageIndex();
    container = page >= 0 ? tabControl->GetPage(page) : nullptr;
  }
  std::string helpFile;
  if (container && GetHelpContext(container, helpFile) == 0)
    container = FindContainerWithHelp(container);
  if (!container)
    container = this;
  int context = GetHelpContext(container, helpFile);
  if (context == 0 && container != this)
    context = GetHelpContext(this, helpFile);
  if (context != 0) {
    TInterfacePtr<IClient> client = GetClient();
    AskHelpViewer(client ? client->GetApplicationHandle() : nullptr, helpFile, HELP_CONTEXT, ULONG_PTR(context));
    return;
  }
  POINT pos{};
  GetCursorPos(&pos);
  const std::string fallback = FallbackHelpFile();
  AskHelpViewer(GetHandle(), fallback, HELP_SETPOPUP_POS, ULONG_PTR(MAKELONG(pos.x, pos.y)));
  AskHelpViewer(GetHandle(), fallback, HELP_CONTEXTPOPUP, 1);
}

void TFormWithHelp::AskHelpViewer(HWND owner, const std::string& helpFile, UINT command, ULONG_PTR data) {
  auto known = std::find_if(FHelpOwners.begin(), FHelpOwners.end(),
                            [owner](const auto& asked) { return asked.first == owner; });
  if (known == FHelpOwners.end())
    FHelpOwners.emplace_back(owner, helpFile);
  else
    known->second = helpFile;
  WinHelpProc(owner, helpFile.c_str(), command, data);
}

void TFormWithHelp::QuitHelpViewer() {
  for (const auto& [owner, helpFile] : std::exchange(FHelpOwners, {}))
    WinHelpProc(owner, helpFile.c_str(), HELP_QUIT, 0);
}

void TFormWithHelp::CMChildKey(TMessage& message) {
  const auto& key = MessageAs<TCMChildKey>(message);
  if (FHelpEnabled && key.CharCode == VK_F1) {
    FHelpRequested = true;
    ShowHelp(key.Sender);
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

void TFormWithHelp::WMHelp(TMessage& message) {
  const HELPINFO* info = MessageAs<TWMHelp>(message).HelpInfo;
  if (!FHelpEnabled || !info || info->iContextType != HELPINFO_WINDOW) {
    inherited::Dispatch(message);
    return;
  }
  // The help request that F1 itself raises is answered by the page help already shown.
  if (!FHelpRequested)
    ShowControlPopup(static_cast<HWND>(info->hItemHandle), info->MousePos);
  FHelpRequested = false;
  message.Result = 1;
}

int TFormWithHelp::ControlContext(const std::string& name, TControl* container,
                                  const std::string& classBase, std::string& helpFile) {
  int context = LookupHelpContext(name, container->GetName(), helpFile, FControlHelpTopics.get(), FControlHelpMap.get());
  if (context <= 0 && !SameText(container->GetName(), classBase))
    context = LookupHelpContext(name, classBase, helpFile, FControlHelpTopics.get(), FControlHelpMap.get());
  return context;
}

void TFormWithHelp::ShowControlPopup(HWND wnd, const POINT& pos) {
  RequestHostHelpHook();
  TWinControl* control = FindControl(wnd);
  if (!control)
    return;
  std::string helpFile = PluginWhatsThisHelpFile();
  TControl* container = control->GetParent();
  while (container && !container->Is<TCustomForm>() && !container->Is<TCustomFrame>())
    container = container->GetParent();
  if (!container)
    container = this;
  const std::string classBase = std::string(container->ClassName()).substr(1);
  int context = ControlContext(control->GetName(), container, classBase, helpFile);
  if (context == 0 && control->GetParent() && control->GetParent() != container)
    context = ControlContext(control->GetParent()->GetName(), container, classBase, helpFile);
  AskHelpViewer(GetHandle(), helpFile, HELP_SETPOPUP_POS, ULONG_PTR(MAKELONG(pos.x, pos.y)));
  AskHelpViewer(GetHandle(), helpFile, HELP_CONTEXTPOPUP, ULONG_PTR(context));
}
