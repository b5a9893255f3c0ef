#include "host/DialogTheme.h"

#include <memory>

#include "classlib/ComCtrls.h"
#include "classlib/FileUtils.h"
#include "classlib/Frames.h"
#include "classlib/PublishedProperties.h"
#include "classlib/StdCtrls.h"
#include "classlib/Strings.h"
#include "host/EDAClientMessageForm.h"
#include "host/ServerDialog.h"
#include "host/Utilities.h"
#include "skin/KsCheckBoxes.h"
#include "skin/KsGroupBox.h"
#include "skin/KsThemeForms.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeLuna.h"
#include "skin/TeThemeXP.h"
#include "xpcontrols/XPEdit.h"

namespace {

TSlotRedirect<TInsertControlProc> gInsertControl;
TSlotRedirect<TShowingChangedProc> gShowingChanged;
TSlotRedirect<TCommonDialogHookProcType> gDialogHook;
TSlotRedirect<TCommonDialogModalRunProcType> gModalRun;
HMONITOR gDialogMonitor = nullptr;
bool gInstalled = false;

constexpr int kShowCommands[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};

// The theme of a dialog on XP and later: the native one where it can draw, else Luna.
TTeTheme* NewXPDialogTheme() {
  if (IsThemeRegistered(&TTeThemeXP::MetaClass())) {
    auto native = std::make_unique<TTeThemeXP>();
    if (native->IsAvailable())
      return native.release();
  }
  return new TTeThemeLuna();
}

template <class T>
T* FirstOwned(TComponent* owner) {
  for (int i = 0; i < owner->GetComponentCount(); ++i)
    if (auto* found = ObjectAs<T>(owner->GetComponent(i)))
      return found;
  return nullptr;
}

// Steps shared by dialogs and message boxes: the engine and frame the form owns, or new
// ones, set up with `icons` as caption buttons; the client size is kept.
void CreateFormTheme(TCustomForm* form, TKsBorderIcons icons, TTeThemeEngine*& engine,
                     TTeThemeForm*& themeForm) {
  // The frame is fitted to the window the form has, so the window is made first.
  form->HandleNeeded();
  const TRect oldClient = form->GetClientRect();

  TTeThemeEngine* foundEngine = FirstOwned<TTeThemeEngine>(form);
  TTeThemeForm* foundForm = FirstOwned<TTeThemeForm>(form);
  engine = foundEngine ? foundEngine : new TTeThemeEngine(form);
  engine->SetDeltaBrightness(0);
  engine->SetDeltaHue(0);
  if (IsWindowsXPOrLater()) {
    engine->SetTheme(NewXPDialogTheme());
    engine->SetUseNativeXPTheme(true);
  } else {
    engine->SetTheme(new TTeThemeLuna());
  }

  // The frame makes the form's border sizeable; whether it may resize follows the
  // border the form was built with.
  const TFormBorderStyle builtBorder = form->GetBorderStyle();
  themeForm = foundForm ? foundForm : new TTeThemeForm(form);
  themeForm->SetActive(true);
  themeForm->SetBlend(false);
  themeForm->SetBlendValue(150);
  themeForm->SetBorderIcons(icons);
  themeForm->SetBorderStyle(kbsStandard);
  themeForm->SetDropShadow(false);
  themeForm->SetShadowWidth(4);
  themeForm->SetMagnetic(true);
  themeForm->SetMagneticValue(20);
  themeForm->SetSimpleDrag(false);
  themeForm->SetShowAnimation(kaNone);
  themeForm->SetShowAnimationTime(400);
  themeForm->SetStayOnTop(false);
  themeForm->SetSysMenuBlend(false);
  themeForm->SetSysMenuBlendValue(150);
  themeForm->SetSysMenuDropShadow(false);
  themeForm->SetSysMenuShadowWidth(4);
  themeForm->SetSysMenuShowAnimation(kaNone);
  themeForm->SetSysMenuShowAnimationTime(300);
  themeForm->SetWindowState(kwsNormal);
  themeForm->SetThemeEngine(engine);
  themeForm->SetCanMove(true);
  if (!foundForm)
    themeForm->SetCanResize(builtBorder == bsSizeable || builtBorder == bsSizeToolWin);

  // Measured on the window as the frame has it (made again if the border change took it).
  form->HandleNeeded();
  const TRect newClient = form->GetClientRect();
  form->SetBounds(form->GetLeft(), form->GetTop(),
                  form->GetWidth() + RectWidth(oldClient) - RectWidth(newClient),
                  form->GetHeight() + RectHeight(oldClient) - RectHeight(newClient));
}

bool IsGrey(TFont* font) { return font->GetColor() == clGrayText; }

void MakeDarkArial(TFont* font) {
  font->SetColor(cl3DDkShadow);
  font->SetName("Arial");
}

// The frame paints the dialog's client in the theme's face (colour 11), so a control
// that would show another face takes that one: whatever was made in the system's button
// face (pages, panels, texts on the face), and a page control, whose strip beside its
// tabs would show the form's colour. One face across the dialog.
void ApplyFaceColour(TTeThemeEngine* engine, TControl* control) {
  if (!engine || !engine->ThemeAvailable() || control->Is<TCustomForm>())
    return;
  const bool buttonFace = !control->GetParentColor() && control->GetColor() == clBtnFace;
  if (buttonFace || control->Is<TPageControl>())
    control->SetColor(engine->GetTheme()->GetColor(11));
}

// `form` is the dialog or message box being themed: the heights the rules give are in
// its design's pixels.
void ApplyThemeRules(const TCustomForm* form, TTeThemeEngine* engine, TComponent* component) {
  if (auto* control = ObjectAs<TControl>(component))
    ApplyFaceColour(engine, control);
  if (IsPublishedProp(component, "ThemeEngine"))
    SetObjectProp(component, "ThemeEngine", engine);
  if (auto* win = ObjectAs<TWinControl>(component))
    for (int i = 0; i < win->GetControlCount(); ++i)
      ApplyThemeRules(form, engine, win->GetControl(i));
  for (int i = 0; i < component->GetComponentCount(); ++i)
    ApplyThemeRules(form, engine, component->GetComponent(i));

  if (auto* label = ObjectAs<TLabel>(component)) {
    if (IsGrey(label->GetFont()))
      MakeDarkArial(label->GetFont());
    return;
  }
  if (auto* box = ObjectAs<TTeThemeCheckBox>(component)) {
    box->SetHeight(form->ScaleFromDesign(19));
    if (IsGrey(box->GetFont()))
      MakeDarkArial(box->GetFont());
    return;
  }
  if (auto* edit = ObjectAs<TCustomXPEdit>(component)) {
    TWinControl* parent = edit->GetParent();
    const bool framed = parent && (parent->Is<TTeThemeGroupBox>() || parent->Is<TCustomFrame>());
    if (!framed) {
      edit->GetFont()->SetColor(TColor(0xFF0000));
      return;
    }
    edit->GetColors()->SetFrameColor(clBtnShadow);
    edit->GetColors()->SetColor(clWindow);
    edit->GetFont()->SetColor(clWindowText);
    edit->SetTransparent(false);
  }
}

TServerDialog* ServerDialogOf(TControl* control) {
  for (TControl* c = control; c; c = c->GetParent())
    if (auto* dialog = ObjectAs<TServerDialog>(c))
      return dialog;
  return nullptr;
}

}  // namespace

void CreateDialogTheme(TServerDialog* dialog) {
  TTeThemeEngine* engine = nullptr;
  TTeThemeForm* themeForm = nullptr;
  CreateFormTheme(dialog, dialog->GetThemeBorderIcons(), engine, themeForm);
  dialog->SetThemeEngine(engine);
  dialog->SetThemeForm(themeForm);
}

void ApplyDialogTheme(TServerDialog* dialog, TComponent* component) {
  ApplyThemeRules(dialog, dialog->GetThemeEngine(), component);
}

void ThemeMessageForm(TCustomForm* form) {
  TTeThemeEngine* engine = nullptr;
  TTeThemeForm* themeForm = nullptr;
  CreateFormTheme(form, {kbiClose}, engine, themeForm);
  engine->Loaded();
  themeForm->Loaded();
  ApplyThemeRules(form, engine, form);
  // The frame paints the theme's control face behind the text; an opaque label would
  // show the form face (another colour) as a box around it.
  if (auto* message = ObjectAs<TLabel>(form->FindComponent("Message")))
    message->SetTransparent(true);
}

// ---- Common dialogs on the active window's monitor ----------------------------------------

void PlaceDialogOnMonitor(HWND frameWindow, HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !MonitorProvider().GetInfo(monitor, info))
    return;
  RECT frame{};
  if (!GetWindowRect(frameWindow, &frame))
    return;
  const RECT& bounds = info.rcMonitor;
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = (bounds.left + bounds.right - width) / 2;
  const int y = bounds.top + (bounds.bottom - bounds.top - height) / 3;
  SetWindowPos(frameWindow, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- The framework's routines in the class library's slots --------------------------------

void PatchedInsertControl(TWinControl* parent, TControl* control) {
  gInsertControl.Next()(parent, control);
  if (!gInsertControl.Active())
    return;
  TServerDialog* dialog = ServerDialogOf(control);
  if (!dialog)
    return;
  if (control->Is<TFrame>() && dialog->GetThemeEngine())
    if (TTeTheme* theme = dialog->GetThemeEngine()->GetTheme())
      control->SetColor(theme->GetColor(11));
  ApplyDialogTheme(dialog, control);
}

void PatchedShowingChanged(TCustomForm* form, TMessage& message) {
  if (!gShowingChanged.Active() || !form->GetShowing() || !form->Is<TMessageForm>()) {
    gShowingChanged.Next()(form, message);
    return;
  }
  CenterOnActiveMonitor(form);
  ShowWindow(form->GetHandle(), kShowCommands[form->GetWindowState()]);
}

UINT_PTR PatchedDialogHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const bool initDone = msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == UINT(CDN_INITDONE);
  // Without a recorded run (a dialog not run through the class library's modal run)
  // the class library places the dialog itself.
  if (!gDialogHook.Active() || !initDone || !gDialogMonitor)
    return gDialogHook.Next()(wnd, msg, wParam, lParam);
  PlaceDialogOnMonitor(reinterpret_cast<HWND>(GetWindowLongPtrA(wnd, GWLP_HWNDPARENT)), gDialogMonitor);
  return 0;
}

BOOL PatchedModalRun(TCommonDialog* dialog, TOpenFileNameFunc func, OPENFILENAMEA& ofn) {
  if (gModalRun.Active())
    gDialogMonitor = MonitorProvider().FromWindow(GetActiveWindow(), MONITOR_DEFAULTTONEAREST);
  return gModalRun.Next()(dialog, func, ofn);
}

// ---- Installation --------------------------------------------------------------------------

void InstallDialogPatches() {
  gShowingChanged.Install(ShowingChangedProc, PatchedShowingChanged);
  gDialogHook.Install(CommonDialogHookProc, PatchedDialogHook);
  gModalRun.Install(CommonDialogModalRunProc, PatchedModalRun);
}

void RemoveDialogPatches() {
  gInsertControl.Remove();
  gShowingChanged.Remove();
  gDialogHook.Remove();
  gModalRun.Remove();
}

bool DialogPatchesInstalled() { return gInstalled; }

HMONITOR DialogMonitor() { return gDialogMonitor; }

bool IsRunningInIDE(const std::string& exeFileName) {
  return SameText(ExtractFileName(exeFileName), DevelopmentEnvironmentExe);
}

bool IsRunningInIDE() { return IsRunningInIDE(GetModuleName(nullptr)); }

// ---- Unit ------------------------------------------------------------------------------------

void StartDialogTheme(const std::string& exeFileName) {
  DialogThemeHooks.CreateDialogTheme = CreateDialogTheme;
  DialogThemeHooks.ApplyDialogTheme = ApplyDialogTheme;
  DialogThemeHooks.ThemeMessageForm = ThemeMessageForm;
  if (gInstalled || IsRunningInIDE(exeFileName))
    return;
  gInsertControl.Install(InsertControlProc, PatchedInsertControl);
  InstallDialogPatches();
  gInstalled = true;
}

void InitializeDialogTheme() { StartDialogTheme(GetModuleName(nullptr)); }

void FinalizeDialogTheme() {
  if (gInstalled)
    RemoveDialogPatches();
  gInstalled = false;
  gDialogMonitor = nullptr;
  DialogThemeHooks = TDialogThemeHooks{};
}
