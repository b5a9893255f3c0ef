// Answers the plug-in's dialogs for a batch run of the stand-in host, through plain
// Win32 from outside: the plug-in carries its own class library, so its controls are
// known to the host only as windows. A thread timer, which fires inside the plug-in's
// modal loops too, finds the dialogs by caption and presses their controls, found by
// window text. Labels have no window of their own; what they show is read from the
// texts the plug-in draws (its imported DrawTextA is watched). Any system message box
// (plain MessageBox) is answered with its default button; one under the error box's
// caption, which the plug-in shows when it cannot make its own, is logged as an error box.
//
// Presses are posted, never sent: a press whose handler runs a modal loop then runs it
// from the dialog's own loop, and the timer goes on answering what that loop shows.
// Every dialog gets its answer within a deadline: a window the script cannot answer is
// closed. A run that does not end all the same is the run's watchdog's to end
// (standin/host/RunWatchdog.h).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "classlib/Win.h"

namespace standin {

// How the batch run answers the dialogs.
struct TDialogScript {
  bool CancelOptions = false;  // "KIVO Importer" closed with Cancel instead of OK
  // Report check boxes of "KIVO Importer" by caption ("View Events"), ticked or not.
  std::vector<std::pair<std::string, bool>> ReportBoxes;
  std::string DetailLevel;        // an item of the detail-level list; empty keeps it
  std::string ConfigurationFile;  // loaded through "Load Configuration" before OK
  std::string SavedConfigurationFile;  // saved through "Save Configuration", after the load
  bool ToggleViewReport = false;  // "View Report" of "KIVO Translator" clicked once
  unsigned DeadlineMs = 30000;
};

// What the watcher saw and did.
struct TDialogLog {
  bool OptionsShown = false;
  bool StatusShown = false;
  std::string StatusText;               // the status label's text
  std::vector<std::string> ErrorBoxes;    // texts of the error boxes answered
  std::vector<std::string> MessageBoxes;  // "caption: text" of the system boxes answered
  std::vector<std::string> Failures;      // windows that could not be answered
};

// Watches the texts `plugin` draws from now on (once per loaded module).
void WatchDrawnTexts(HMODULE plugin);

// Answers dialogs while alive; one at a time.
class TDialogWatcher {
 public:
  explicit TDialogWatcher(TDialogScript script);
  ~TDialogWatcher();
  TDialogWatcher(const TDialogWatcher&) = delete;
  TDialogWatcher& operator=(const TDialogWatcher&) = delete;

  const TDialogLog& Log() const { return FLog; }
  // What was logged so far; the lists of texts start empty again.
  TDialogLog TakeLog();

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
  void Step();
  // Each answers one window; false while it must wait for the next tick.
  bool AnswerOptions(HWND dialog);
  // Waits for the status label to be drawn unless `force`d.
  bool AnswerStatus(HWND dialog, bool force);
  bool AnswerErrorBox(HWND dialog);
  bool AnswerMessageBox(HWND dialog);
  void GiveUp(HWND dialog, const std::string& why);

  TDialogScript FScript;
  TDialogLog FLog;
  UINT_PTR FTimer = 0;
  bool FStepping = false;
  bool FConfigurationLoaded = false;  // "Load Configuration" pressed
  bool FConfigurationSaved = false;   // "Save Configuration" pressed
  std::vector<HWND> FAnswered;
  std::vector<std::pair<HWND, DWORD>> FFirstSeen;
};

}  // namespace standin
