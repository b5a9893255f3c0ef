// Forms, the application object and the screen.
//
// TCustomForm is a top-level window built in code (the constructor is the "create
// without a resource" form; descendants build their controls under a loading scope and
// get Loaded afterwards, when a build in pixels of 96 pixels per inch is scaled to the
// screen's density). It keeps the focused control and sends CM_EXIT/CM_ENTER when
// the focus moves; an exception in either aborts the move and the focus stays where
// it was. ShowModal runs a nested message loop with the other windows of the thread
// disabled until ModalResult is set.
//
// TApplication is created by the Forms unit's start-up. Its Handle is the window the
// plug-in's forms are owned by (the host's main window). It handles every exception
// that reaches a window procedure or any other boundary (HandleException: OnException
// when assigned, else a message box), runs the idle step and the message loop used by
// modal forms, and shows hints. TScreen knows the forms, the cursors and the monitors;
// the monitor provider can be replaced by tests.
#pragma once

#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Icon.h"

class TCustomForm;
class TForm;
class THintWindow;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateFlag>;
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

using TCloseEvent = TEvent<TObject* /*Sender*/, TCloseAction& /*Action*/>;
using TCloseQueryEvent = TEvent<TObject* /*Sender*/, bool& /*CanClose*/>;
using TShortCutEvent = TEvent<TMessage& /*Msg*/, bool& /*Handled*/>;

// A scrolling container (forms descend from it); scrolling itself is not provided.
class TScrollingWinControl : public TWinControl {
  KIVO_CLASS(TScrollingWinControl, TWinControl)
 public:
  explicit TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {}
  bool GetAutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool value) { FAutoScroll = value; }

 private:
  bool FAutoScroll = true;
};

// A WM_CHANGEUISTATE or WM_UPDATEUISTATE `request` applied to the keyboard cues hidden in
// `state` (UISF_HIDEFOCUS, UISF_HIDEACCEL): UIS_SET hides, UIS_CLEAR shows, UIS_INITIALIZE
// hides both unless the system is set to show them always.
WORD ChangedUIState(WORD state, WPARAM request);

class TCustomForm : public TScrollingWinControl {
  KIVO_CLASS(TCustomForm, TScrollingWinControl)
 public:
  // Creates the form without a resource: hidden, 320 x 240, clBtnFace, sizeable.
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  void Show();
  void Hide() { SetVisible(false); }
  // Closes the form: a modal form gets mrCancel; otherwise CloseQuery, OnClose and
  // the close action (hide, free, minimize; the main form ends the application).
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages being handled now are done.
  void Release();
  // Shows the form modally and answers its ModalResult.
  virtual int ShowModal();
  void SetFocus() override;
  // Moves the focus to `control` (a control of this form).
  void FocusControl(TWinControl* control);
  // Records `control` as focused, sending CM_EXIT/CM_ENTER along the way; false
  // when the change was aborted (a handler raised, or moved the focus elsewhere).
  bool SetFocusedControl(TWinControl* control);
  // A control of this form is going away or cannot keep the focus.
  void DefocusControl(TWinControl* control, bool removing);
  // Sends CM_CANCELMODE to the active control (popups close).
  void SendCancelMode(TControl* sender);
  // Fires OnShortCut; true when it handled the key.
  virtual bool IsShortCut(TMessage& message);

  TWinControl* GetActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  bool GetActive() const { return FActive; }
  TBorderIcons GetBorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons value);
  TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  TFormStyle GetFormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle value);
  TFormState GetFormState() const { return FFormState; }
  TIcon* GetIcon() const { return FIcon.get(); }
  void SetIcon(TIcon* value) { FIcon->Assign(value); }
  bool GetKeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool value) { FKeyPreview = value; }
  int GetModalResult() const { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }
  TPosition GetPosition() const { return FPosition; }
  void SetPosition(TPosition value) { FPosition = value; }
  TWindowState GetWindowState() const { return FWindowState; }
  void SetWindowState(TWindowState value);
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  const std::string& GetHelpFile() const { return FHelpFile; }
  void SetHelpFile(const std::string& value) { FHelpFile = value; }
  // The pixels per inch the form's layout is given at: the density forms are designed
  // at (DesignPixelsPerInch) until the form is scaled, the screen's afterwards.
  int GetPixelsPerInch() const { return FPixelsPerInch; }
  // Whether a form built under a loading scope is scaled to the screen's density when
  // its build has loaded, should the two differ (true unless cleared before then).
  bool GetScaled() const { return FScaled; }
  void SetScaled(bool value) { FScaled = value; }
  // `pixels` of the form's design at the density the form is laid out at now: for the
  // sizes code sets after the build (column widths, heights a rule imposes).
  int ScaleFromDesign(int pixels) const { return MulDiv(pixels, FPixelsPerInch, DesignPixelsPerInch); }
  static constexpr int DesignPixelsPerInch = 96;
  // MDI: the client window of an MDI parent form and its children.
  HWND GetClientHandle() const { return FClientHandle; }
  int GetMDIChildCount() const;
  TCustomForm* GetMDIChildren(int index) const;
  TCustomForm* GetActiveMDIChild() const;

  TRect GetClientRect() override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TShortCutEvent OnShortCut;

 protected:
  friend void ShowingChangedOriginal(TCustomForm* form, TMessage& message);
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void DestroyWindowHandle() override;
  void PaintWindow(HDC dc) override;
  // Scales the form to the screen's density once its build is complete, before
  // anything measures, themes, places or shows it.
  void Loaded() override;
  // The frame stays the system's: the client area scales, not the form's place.
  void ScaleBounds(int M, int D) override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();

  void CMShowingChanged(TMessage& message);
  void CMActivate(TMessage& message);
  void CMDeactivate(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMRelease(TMessage& message);
  void WMClose(TMessage& message);
  void WMActivate(TMessage& message);
  void WMPaint(TMessage& message);
  void WMSize(TMessage& message);
  void WMGetMinMaxInfo(TMessage& message);
  // A top-level form keeps the keyboard cues of its controls: a change shows or hides
  // them in every window of the form.
  void WMChangeUIState(TMessage& message);
  void WMUpdateUIState(TMessage& message);

 private:
  void ApplyBorderStyles(DWORD& style, DWORD& exStyle) const;
  void SetActive(bool value);
  void SetWindowFocus();
  void IconChanged(TObject* sender);
  void CloseModal();
  void PositionOnShow();
  TCustomForm* MDIParent() const;
  bool DoSetFocusedControl(TWinControl* control, TWinControl*& refocus);

  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  bool FActive = false;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TFormBorderStyle FBorderStyle = bsSizeable;
  TFormStyle FFormStyle = fsNormal;
  TFormState FFormState;
  std::unique_ptr<TIcon> FIcon;
  bool FKeyPreview = false;
  int FModalResult = mrNone;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::string FHelpFile;
  HWND FClientHandle = nullptr;
  WORD FUIState = 0;
  int FPixelsPerInch = DesignPixelsPerInch;
  bool FScaled = true;
};

class TForm : public TCustomForm {
  KIVO_CLASS(TForm, TCustomForm)
 public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// Replaceable routine behind TCustomForm's CM_SHOWINGCHANGED handling (it places the
// form by Position and shows or hides it); the default is ShowingChangedOriginal.
using TShowingChangedProc = void (*)(TCustomForm* form, TMessage& message);
extern TShowingChangedProc ShowingChangedProc;
void ShowingChangedOriginal(TCustomForm* form, TMessage& message);

// ---- Hints ----------------------------------------------------------------------------

// What CM_HINTSHOW hands the control about to show a hint (LParam points to it).
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint HintPos{};
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect{};
  TPoint CursorPos{};
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  std::string HintStr;
};

// The small popup window that shows a hint text.
class THintWindow : public TCustomControl {
  KIVO_CLASS(THintWindow, TCustomControl)
 public:
  explicit THintWindow(TComponent* AOwner);
  // Shows `hint` in `rect` (screen coordinates) without activating anything.
  virtual void ActivateHint(const TRect& rect, const std::string& hint);
  // The rectangle (at 0, 0) the text needs, at most `maxWidth` wide.
  virtual TRect CalcHintRect(int maxWidth, const std::string& hint);
  void ReleaseHandle() { DestroyHandle(); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

// ---- Screen ---------------------------------------------------------------------------

// Monitor services; tests replace them to have a second monitor.
class TMonitorProvider {
 public:
  virtual ~TMonitorProvider() = default;
  virtual std::vector<HMONITOR> Enumerate();
  virtual HMONITOR FromWindow(HWND wnd, DWORD flags);
  virtual HMONITOR FromPoint(const POINT& point, DWORD flags);
  virtual bool GetInfo(HMONITOR monitor, MONITORINFO& info);
};
// Installs `provider` (null: the system's) and answers the previous one.
TMonitorProvider* SetMonitorProvider(TMonitorProvider* provider);
TMonitorProvider& MonitorProvider();

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

class TMonitor : public TObject {
  KIVO_CLASS(TMonitor, TObject)
 public:
  TMonitor(HMONITOR handle, int number) : FHandle(handle), FMonitorNum(number) {}
  HMONITOR GetHandle() const { return FHandle; }
  int GetMonitorNum() const { return FMonitorNum; }
  TRect GetBoundsRect() const;
  TRect GetWorkareaRect() const;
  bool GetPrimary() const;
  int GetLeft() const { return GetBoundsRect().left; }
  int GetTop() const { return GetBoundsRect().top; }
  int GetWidth() const { return RectWidth(GetBoundsRect()); }
  int GetHeight() const { return RectHeight(GetBoundsRect()); }

 private:
  HMONITOR FHandle;
  int FMonitorNum;
};

class TScreen : public TComponent {
  KIVO_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  int GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
  int GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }
  TRect GetWorkAreaRect() const;
  int GetWorkAreaWidth() const { return RectWidth(GetWorkAreaRect()); }
  int GetWorkAreaHeight() const { return RectHeight(GetWorkAreaRect()); }
  TRect GetDesktopRect() const;
  int GetPixelsPerInch() const { return ScreenPixelsPerInch(); }

  int GetMonitorCount();
  TMonitor* GetMonitor(int index);
  TMonitor* MonitorFromWindow(HWND wnd, TMonitorDefaultTo fallback = mdNearest);
  TMonitor* MonitorFromPoint(const TPoint& point, TMonitorDefaultTo fallback = mdNearest);

  int GetFormCount() const;
  TForm* GetForms(int index) const;
  int GetCustomFormCount() const { return int(FForms.size()); }
  TCustomForm* GetCustomForms(int index) const;
  TForm* GetActiveForm() const;
  TCustomForm* GetActiveCustomForm() const { return FActiveCustomForm; }
  TWinControl* GetActiveControl() const { return FActiveControl; }

  // The cursor table; ids are crDefault and negative numbers. Assigned cursors belong
  // to the table (counted as the library's handles from then on) and are destroyed when
  // replaced or when the screen goes.
  HCURSOR GetCursors(TCursor index) const;
  void SetCursors(TCursor index, HCURSOR handle);
  // The cursor shown over every control while not crDefault.
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor value);

 private:
  friend class TCustomForm;
  friend class TApplication;
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void RefreshMonitors();
  TMonitor* FindMonitor(HMONITOR handle);

  std::vector<TCustomForm*> FForms;
  std::vector<std::unique_ptr<TMonitor>> FMonitors;
  std::map<TCursor, HCURSOR> FCursors;  // assigned ones, owned
  HCURSOR FDefaultCursor;
  TCursor FCursor = crDefault;
  TCustomForm* FActiveCustomForm = nullptr;
  TCustomForm* FFocusedForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  std::vector<TCustomForm*> FSaveFocusedList;
};

// ---- Application ----------------------------------------------------------------------

using TExceptionEvent = TEvent<TObject* /*Sender*/, const std::exception& /*E*/>;
using TIdleEvent = TEvent<TObject* /*Sender*/, bool& /*Done*/>;
using TMessageEvent = TEvent<MSG& /*Msg*/, bool& /*Handled*/>;
using TShowHintEvent = TEvent<std::string& /*HintStr*/, bool& /*CanShow*/, THintInfo& /*HintInfo*/>;

// WinHelp as the help calls reach it; tests replace it so that no viewer starts.
using TWinHelpProc = BOOL(WINAPI*)(HWND wnd, LPCSTR helpFile, UINT command, ULONG_PTR data);
extern TWinHelpProc WinHelpProc;

class TApplication : public TComponent {
  KIVO_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // The window the application's forms are owned by (the host's main window).
  HWND GetHandle() const { return FHandle; }
  void SetHandle(HWND value) { FHandle = value; }
  const std::string& GetTitle() const { return FTitle; }
  void SetTitle(const std::string& value) { FTitle = value; }
  TIcon* GetIcon() const { return FIcon.get(); }
  void SetIcon(TIcon* value) { FIcon->Assign(value); }
  TCustomForm* GetMainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* value) { FMainForm = value; }
  bool GetTerminated() const { return FTerminated; }
  // True while a window of this thread is active.
  bool GetActive() const;
  const std::string& GetHint() const { return FHint; }
  void SetHint(const std::string& value);
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  int GetHintPause() const { return FHintPause; }
  void SetHintPause(int value) { FHintPause = value; }
  int GetHintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int value) { FHintHidePause = value; }
  const std::string& GetHelpFile() const { return FHelpFile; }
  void SetHelpFile(const std::string& value) { FHelpFile = value; }

  // Dispatches every waiting message.
  void ProcessMessages();
  // Dispatches one message, or runs the idle step (which waits) when there is none.
  void HandleMessage();
  // Takes and dispatches one message; false when the queue was empty.
  bool ProcessMessage(MSG& msg);
  // The idle step: mouse tracking, hints, OnIdle, action updates, then waiting for the
  // next message when the idle handlers are done.
  void Idle(const MSG& msg);
  void Terminate();
  void Minimize();
  void Restore();
  // Handles the exception being thrown (call from a catch block): OnException when
  // assigned, else ShowException. Never throws.
  void HandleException(TObject* sender);
  void HandleException(TObject* sender, const std::exception& error);
  // Shows the exception's message in a message box.
  void ShowException(const std::exception& error);
  // Help through WinHelpProc with HelpFile; false without a help file.
  bool HelpContext(int context);
  bool HelpCommand(UINT command, ULONG_PTR data);
  void CancelHint();
  void HintMouseMessage(TControl* control, TMessage& message);
  void ActivateHint(const TPoint& cursorPos);
  // Forgets a control that is going away.
  void ControlDestroyed(TControl* control);
  // The number of exceptions handled so far (focus changes use it to notice failures).
  int GetHandledExceptionCount() const { return FHandledExceptions; }

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;

 private:
  bool IsKeyMsg(MSG& msg);
  // A wheel message the form of its window took (CM_MOUSEWHEEL answered nonzero).
  bool IsWheelMsg(const MSG& msg);
  void TimerWndProc(TMessage& message);
  void StartHintTimer(int delay, bool show);
  void StopHintTimer();

  HWND FHandle = nullptr;
  std::string FTitle;
  std::unique_ptr<TIcon> FIcon;
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
  std::string FHint;
  bool FShowHint = true;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  std::string FHelpFile;
  int FHandledExceptions = 0;
  bool FHandlingException = false;
  // Hints.
  THintWindow* FHintWindow = nullptr;
  TControl* FHintControl = nullptr;
  bool FHintActive = false;
  TRect FHintCursorRect{};
  HWND FTimerWindow = nullptr;
  bool FHintTimerShows = false;
  bool FHintTimerRunning = false;
};

extern TApplication* Application;
extern TScreen* Screen;

// The Forms unit: creates Screen and Application (wiring the boundary handler to
// Application->HandleException) and frees them.
void InitializeForms();
void FinalizeForms();

// The text before "|" of a hint, and the text after it (the whole hint without one).
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);
