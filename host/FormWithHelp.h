// Context help for the plug-in's dialogs.
//
// TFormWithHelp gives a dialog F1 help for its pages and what's-this help for its
// controls. Help lives in WinHelp files of the host's "Help\" folder: the form-level
// file (the plug-in's base name + ".hlp") and the control-level file (the same with
// "wth" before ".hlp"), each with a ".id" key map beside it. A map line "Key=Number"
// gives Key that context; "Key=Text,Topic" makes Key lead to a host help topic, whose
// file the host names (IClient position 39) and whose own map is then searched. Keys
// are "Dlg_" + component name, or "Dlg_" + container name + "_" + control name,
// compared without regard to case. Help with no context falls back to a popup of
// context 1 in "Help\qmvmaster.hlp". Every help call goes through WinHelpProc. The
// help viewer runs until every window that asked it for help has told it to quit, so a
// dialog tells it so (HELP_QUIT) for each window it asked through when its window goes.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/StringList.h"

// Help files under the host executable's folder.
std::string HostHelpFolder();           // host folder + "Help\"
std::string PluginHelpFile();           // form level: Help\LoadKIVO.hlp
std::string PluginWhatsThisHelpFile();  // control level: Help\LoadKIVOwth.hlp
std::string FallbackHelpFile();         // Help\qmvmaster.hlp

// Reads the ".id" map beside `helpFile` into `map` (key -> context in the object) and
// `topics` (host help topics), sorted; a missing file leaves both as they were.
void LoadHelpIdMap(TStringList* map, TStringList* topics, const std::string& helpFile);
// The context of `key` (with a non-empty `suffix`: of "Dlg_" + suffix + "_" + key) in
// `map`, read from `helpFile`'s ".id" file while empty; 0 for none. A key that leads
// to a host topic answers that topic's context and leaves its file in `helpFile`.
int LookupHelpContext(const std::string& key, const std::string& suffix, std::string& helpFile,
                      TStringList* topics, TStringList* map);
// The context of a host help topic in the file the host names for it (that file goes
// into `helpFile`); 0 when the host names none, the file is missing, or the topics
// lead back to a file already on the way.
int HostTopicHelpContext(const std::string& topic, std::string& helpFile);
// Forms, frames, tab sheets and skinned tab controls carry page help of their own.
bool IsHelpContainer(TControl* control);
// Tells the host that what's-this help was asked for (IClient position 17, then the
// hook's position 12); nothing without a client.
void RequestHostHelpHook();

class TFormWithHelp : public TForm {
  KIVO_CLASS(TFormWithHelp, TForm)
 public:
  explicit TFormWithHelp(TComponent* AOwner);
  ~TFormWithHelp() override;

  // Opens the help topic of the page `control` lies on (the form's own when it has
  // none), or the fallback popup when no page has a context.
  virtual void ShowHelp(TControl* control);

  bool GetHelpRequested() const { return FHelpRequested; }
  bool GetHelpEnabled() const { return FHelpEnabled; }
  void SetHelpEnabled(bool value) { FHelpEnabled = value; }

  void Dispatch(TMessage& message) override;

 protected:
  void CMChildKey(TMessage& message);
  void WMHelp(TMessage& message);

 private:
  // The context of `container`'s page: "Dlg_" + its name in the form-level file for a
  // form, in the control-level file otherwise; the file used goes into `helpFile`.
  int GetHelpContext(TControl* container, std::string& helpFile);
  // The first help container among `parent`'s children that has a context, searching
  // depth first through containers without one; null when there is none.
  TControl* FindContainerWithHelp(TControl* parent);
  // The what's-this popup for the control of `wnd` at the screen point `pos`.
  void ShowControlPopup(HWND wnd, const POINT& pos);
  int ControlContext(const std::string& name, TControl* container, const std::string& classBase,
                     std::string& helpFile);
  // A help request to the viewer on behalf of `owner`, which is remembered.
  void AskHelpViewer(HWND owner, const std::string& helpFile, UINT command, ULONG_PTR data);
  // HELP_QUIT for every window the viewer was asked through.
  void QuitHelpViewer();

  std::unique_ptr<TStringList> FFormHelpMap;
  std::unique_ptr<TStringList> FFormHelpTopics;
  std::unique_ptr<TStringList> FControlHelpMap;
  std::unique_ptr<TStringList> FControlHelpTopics;
  // The windows help was asked through, each with the last file it asked for.
  std::vector<std::pair<HWND, std::string>> FHelpOwners;
  bool FHelpRequested = false;
  bool FHelpEnabled = true;
};
