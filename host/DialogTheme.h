// Dialog theming and the redirection of four class-library routines.
//
// Every server dialog is skinned: CreateDialogTheme (run from the dialog's Loaded) finds
// or makes its theme engine (TTeThemeEngine) and themed frame (TTeThemeForm) and sets
// them up; ApplyDialogTheme hands the engine and a fixed set of colour and font rules to
// each control on it. The host-styled message box gets the same engine and frame.
//
// Which theme: on Windows XP and later the native theme ("XP ThemeAPI") when it can draw
// here, else Luna. The native theme draws only where the system draws visual styles (only
// then is it registered). A system that reports XP or later with visual styles off, as
// Wine does by default, would otherwise leave every dialog with a theme that draws
// nothing, in the plain look; such a dialog gets the next choice, Luna, as before XP.
//
// Redirection: at start-up, unless the host process is the development environment, the
// framework puts its own routines into the class library's four replaceable slots, so
// that frames and controls placed on a server dialog later are themed too and message
// dialogs and common file dialogs appear on the monitor of the active window:
//   InsertControlProc        -> PatchedInsertControl
//   ShowingChangedProc       -> PatchedShowingChanged
//   CommonDialogHookProc     -> PatchedDialogHook
//   CommonDialogModalRunProc -> PatchedModalRun
// The slots replace the 5-byte jumps that would otherwise be written over the routines'
// first bytes: taking a slot is one pointer store, so no write can be left half done with
// a routine corrupt; no code page is made writable; and a replacement calls the routine
// it replaced directly, where a jump patch must be taken out and put back around every
// such call (which is also why jump patches are safe for one thread only). The slots are
// used on the user-interface thread alone.
//
// Removal gives each slot back exactly the value it held at installation, also when the
// slot was replaced by another component in between and has since been given back to
// us. While another component's routine still lies over ours, that routine stays (taking
// it out would silently undo that component's redirection); ours then passes every call
// straight to the routine it replaced, and leaves the slot at the first call that finds
// it on top again. Installing again while ours is still in the chain only switches it on
// again, so no routine ever calls itself through the chain.
//
// Decisions:
// - The themed frame makes the dialog's border style sizeable; whether the frame may
//   resize is decided from the border style the dialog had before (a dialog border stays
//   fixed).
// - The frame is fitted to the dialog's window, made before the frame is, so that the
//   client size the dialog was built for survives the frame.
// - The message-dialog form class is the class library's TMessageForm, and the hook and
//   modal run are the slots' own: nothing is captured from throw-away dialogs.
// - The host-styled message box is skinned like the dialogs (a close button only), and
//   its text is drawn transparently: the frame paints the theme's control face behind
//   the form, whose own colour is the theme's form face, so an opaque label would stand
//   out as a box of another colour.
// - A common dialog whose hook runs without a redirected modal run before it (no monitor
//   recorded) is placed by the class library's own hook.
#pragma once

#include <string>

#include "classlib/Dialogs.h"
#include "classlib/Win.h"
#include "skin/KsForms.h"

class TServerDialog;
class TTeThemeEngine;
class TTeThemeForm;

// A replaceable routine of the class library taken over by one of the framework's own.
template <class TProc>
class TSlotRedirect {
 public:
  // Puts `replacement` into `slot`, remembering what the slot held; when the replacement
  // is still in the slot's chain from an earlier installation it is only switched on.
  void Install(TProc& slot, TProc replacement) {
    if (FInChain && FSlot == &slot && FReplacement == replacement) {
      FActive = true;
      return;
    }
    FSlot = &slot;
    FPrevious = slot;
    FReplacement = replacement;
    slot = replacement;
    FInChain = true;
    FActive = true;
  }
  // Switches the replacement off and gives the slot its previous value when the slot
  // still holds the replacement.
  void Remove() {
    FActive = false;
    LeaveWhenOnTop();
  }
  bool Active() const { return FActive; }
  // True while the replacement is in the slot or in the chain of routines under it.
  bool InChain() const { return FInChain; }
  // The routine a call passes on to: the one the replacement replaced.
  TProc Next() {
    LeaveWhenOnTop();
    return FPrevious;
  }

 private:
  void LeaveWhenOnTop() {
    if (FActive || !FInChain || *FSlot != FReplacement)
      return;
    *FSlot = FPrevious;
    FInChain = false;
  }

  TProc* FSlot = nullptr;
  TProc FPrevious = nullptr;
  TProc FReplacement = nullptr;
  bool FInChain = false;
  bool FActive = false;
};

// Finds the engine and themed frame the dialog's build brought, or makes them, and sets
// them up (see above); keeps the dialog's client size.
void CreateDialogTheme(TServerDialog* dialog);
// Gives `component` and, recursively, its child controls and the components it owns
// the dialog's engine (when they publish "ThemeEngine") and the colour rules: grey
// labels and themed check boxes in dark shadow and "Arial", themed check boxes 19 high,
// XP edits blue on the dialog itself and plain window colours inside a themed group box
// or a frame.
void ApplyDialogTheme(TServerDialog* dialog, TComponent* component);
// The message box's engine and frame, set up as a server dialog's with a close button
// only, and the rules applied to its controls; its text is drawn over the frame's face.
void ThemeMessageForm(TCustomForm* form);

// Moves a common dialog's frame window (keeping size, Z order and activation) to the
// middle of `monitor`'s full bounds across and a third of the free height down; nothing
// when the monitor is unknown.
void PlaceDialogOnMonitor(HWND frameWindow, HMONITOR monitor);

// The framework's routines in the class library's slots.
void PatchedInsertControl(TWinControl* parent, TControl* control);
void PatchedShowingChanged(TCustomForm* form, TMessage& message);
UINT_PTR PatchedDialogHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PatchedModalRun(TCommonDialog* dialog, TOpenFileNameFunc func, OPENFILENAMEA& ofn);

// Redirects the showing, common-dialog hook and modal-run slots (the insert slot is
// taken by the start-up itself), and gives them back.
void InstallDialogPatches();
void RemoveDialogPatches();
// True while the framework's routines are installed.
bool DialogPatchesInstalled();
// The monitor recorded by the last redirected common-dialog run, or 0.
HMONITOR DialogMonitor();

// The development environment's executable (no such tool ships with the system; a host
// started under this name stands for it).
inline constexpr const char* DevelopmentEnvironmentExe = "KivoIDE.exe";
// True when the process's executable, or `exeFileName` (a path or a name), is the
// development environment, compared without regard to case.
bool IsRunningInIDE();
bool IsRunningInIDE(const std::string& exeFileName);

// Unit start-up: installs the dialog framework's theming into every server dialog and,
// unless `exeFileName` (by default the process's executable) is the development
// environment, the four redirections. Shut-down takes them all out again.
void InitializeDialogTheme();
void StartDialogTheme(const std::string& exeFileName);
void FinalizeDialogTheme();
