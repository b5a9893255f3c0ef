// Screenshots of the plug-in's dialogs: a batch run with --screenshots drives each
// dialog through the states a person sees (the options dialog as opened, its layer list
// dropped for a top row and a lower row, its detail-level list dropped; the status
// dialog; the error box) and saves each window, captured through its own handle, as a
// PNG file. A window whose capture is one flat colour (never painted) is a failure, and
// so is a lower row's list that shows another row's layer chosen (a click off its row).
//
// Like the dialog watcher, a thread timer finds the dialogs by caption and acts from
// outside, through plain Win32, inside the plug-in's modal loops.
#pragma once

#include <string>
#include <vector>

#include "classlib/Win.h"
#include "standin/host/DialogWatcher.h"
#include "standin/host/ShotImage.h"

namespace standin {

// Which shots a run takes and where they go.
struct TShotScript {
  std::string Folder;  // where the PNG files are written; empty: no shots
  // The shots to take, by file name without ".png"; empty takes every one. The options
  // dialog's are "options", "options-layer-list-top", "options-layer-list-lower" and
  // "options-detail-list"; the status dialog is shot under the first name that begins
  // with "status" ("status-complete"); the error box is "error-box".
  std::vector<std::string> Shots;
  bool CancelOptions = false;  // the options dialog is closed with Cancel, not OK
  unsigned DeadlineMs = 60000;
};

// Where a string grid of the class library has its rows and its third column, read from
// the grid lines in its picture (client pixels): the pitch from one row's top to the
// next's, and the left edge of the third column. Read, not assumed, because the dialog
// scales them to the screen's density. False when the grid shows fewer than two lines
// either way.
struct TGridGeometry {
  int RowPitch = 0;
  int LayerColumnLeft = 0;
};
bool ReadGridGeometry(HWND grid, TGridGeometry& geometry);

// Drives and shoots dialogs while alive; one dialog at a time.
class TDialogShooter {
 public:
  explicit TDialogShooter(TShotScript script);
  ~TDialogShooter();
  TDialogShooter(const TDialogShooter&) = delete;
  TDialogShooter& operator=(const TDialogShooter&) = delete;

  // What was shown; Failures also holds shots that could not be taken or came out flat.
  const TDialogLog& Log() const { return FLog; }
  // The files written, in order.
  const std::vector<std::string>& Written() const { return FWritten; }

 private:
  // One move on the current dialog; false while it must wait for the next tick.
  using TMove = bool (TDialogShooter::*)();
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
  void Step();
  void Begin(HWND dialog, const std::string& caption);
  bool Wants(const std::string& shot) const;
  std::string StatusShotName() const;
  // Saves `wnd` (and a dropped list over it) as `name`.png.
  void Shoot(const std::string& name, HWND wnd, HWND list = nullptr);

  bool Settle();
  bool ShootOptions();
  bool DropTopRowList();
  bool DropLowerRowList();
  bool DropDetailList();
  bool ShootDroppedList();
  bool CloseDroppedList();
  bool AnswerOptions();
  bool ShootStatus();
  bool AnswerStatus();
  bool ShootErrorBox();
  bool AnswerErrorBox();
  // Shows the layer list for `row` of the layer grid as a person does: a click in the
  // row's layer cell, then F4.
  bool DropLayerList(int row, const std::string& shot);

  TShotScript FScript;
  TDialogLog FLog;
  std::vector<std::string> FWritten;
  UINT_PTR FTimer = 0;
  DWORD FStarted = 0;
  bool FStepping = false;
  std::vector<HWND> FDone;
  HWND FDialog = nullptr;
  std::vector<TMove> FMoves;
  size_t FNextMove = 0;
  DWORD FWaitUntil = 0;
  HWND FDroppedCombo = nullptr;
  std::string FDroppedShot;
  // The layer whose list is dropped and the host layer its list shows chosen; empty:
  // not checked.
  std::string FDroppedLayer, FDroppedMapping;
};

}  // namespace standin
