// TKsCustomForm: a component dropped on a form that takes over the form's whole
// non-client area. The hook (TKsHookComponent) offers every message of the form's
// window to this component first; the skinner measures the frame itself
// (WM_NCCALCSIZE), answers the hit tests, paints borders, caption and caption buttons
// into an off-screen bitmap (its own when translucent, else the process-wide paint
// buffer) and copies the four frame bands to the window. The look of this class is the
// classic system look; themed skinners override the frame operations.
//
// The component holds the properties, the look (the frame's geometry and painting)
// and the dispatch of the form's messages; the work is done by its parts, each in a
// file of its own: TKsFormMetrics (frame measuring), TKsFormPainter (frame painting),
// TKsFormAnimator (show animation), TKsFormMouse (hit codes, caption buttons, dragging
// and snapping), TKsFormStates (window states and their commands), TKsFormSystemMenu,
// TKsFormTray, TKsFormAppEvents (the application's and the form's events it chains
// into) and TKsFormMDI.
// The unit's start-up makes the caption fonts, the system menu's glyph list and the
// shared paint buffer.
#pragma once

#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "classlib/Events.h"
#include "classlib/Forms.h"
#include "classlib/Geometry.h"
#include "classlib/Set.h"
#include "classlib/Win.h"
#include "skin/KsBitmap.h"
#include "skin/KsBorderStyle.h"
#include "skin/KsEffects.h"
#include "skin/KsFormAnimator.h"
#include "skin/KsFormAppEvents.h"
#include "skin/KsFormMDI.h"
#include "skin/KsFormMetrics.h"
#include "skin/KsFormMouse.h"
#include "skin/KsFormPainter.h"
#include "skin/KsFormStates.h"
#include "skin/KsFormSystemMenu.h"
#include "skin/KsFormTray.h"
#include "skin/KsFormTypes.h"
#include "skin/KsHooks.h"

class TCanvas;
class TCustomForm;
class TFont;
class TCustomImageList;
class TPopupMenu;
class TKsCustomItem;
class TKsCustomMenuBar;

using TPaintEvent = TEvent<TCanvas* /*Canvas*/>;

class TKsCustomForm : public TKsHookComponent {
  KIVO_CLASS(TKsCustomForm, TKsHookComponent)
 public:
  explicit TKsCustomForm(TComponent* AOwner);
  ~TKsCustomForm() override;

  void Loaded() override;

  bool GetBlend() const { return FPainter.GetBlend(); }
  void SetBlend(bool value);
  int GetBlendValue() const { return FPainter.GetBlendValue(); }
  void SetBlendValue(int value);
  TKsBorderIcons GetBorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TKsBorderIcons value);
  TKsBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TKsBorderStyle value);
  bool GetCanResize() const { return FMouse.GetCanResize(); }
  void SetCanResize(bool value);
  bool GetCanMove() const { return FMouse.GetCanMove(); }
  void SetCanMove(bool value);
  bool GetDropShadow() const { return FPainter.GetDropShadow(); }
  void SetDropShadow(bool value) { FPainter.SetDropShadow(value); }
  int GetShadowWidth() const { return FPainter.GetShadowWidth(); }
  void SetShadowWidth(int value) { FPainter.SetShadowWidth(value); }
  bool GetMagnetic() const { return FMouse.GetMagnetic(); }
  void SetMagnetic(bool value) { FMouse.SetMagnetic(value); }
  int GetMagneticValue() const { return FMouse.GetMagneticValue(); }
  void SetMagneticValue(int value) { FMouse.SetMagneticValue(value); }
  TKsCustomMenuBar* GetMenuBar() const { return FMenuBar; }
  void SetMenuBar(TKsCustomMenuBar* value);
  bool GetMinimizeApplication() const { return FStates.GetMinimizeApplication(); }
  void SetMinimizeApplication(bool value) { FStates.SetMinimizeApplication(value); }
  bool GetSimpleDrag() const { return FMouse.GetSimpleDrag(); }
  void SetSimpleDrag(bool value) { FMouse.SetSimpleDrag(value); }
  TKsAnimation GetShowAnimation() const { return FAnimator.GetShowAnimation(); }
  void SetShowAnimation(TKsAnimation value) { FAnimator.SetShowAnimation(value); }
  int GetShowAnimationTime() const { return FAnimator.GetShowAnimationTime(); }
  void SetShowAnimationTime(int value) { FAnimator.SetShowAnimationTime(value); }
  bool GetStayOnTop() const { return FStayOnTop; }
  void SetStayOnTop(bool value);
  bool GetSysMenuBlend() const { return FSystemMenu.GetBlend(); }
  void SetSysMenuBlend(bool value) { FSystemMenu.SetBlend(value); }
  int GetSysMenuBlendValue() const { return FSystemMenu.GetBlendValue(); }
  void SetSysMenuBlendValue(int value) { FSystemMenu.SetBlendValue(value); }
  bool GetSysMenuDropShadow() const { return FSystemMenu.GetDropShadow(); }
  void SetSysMenuDropShadow(bool value) { FSystemMenu.SetDropShadow(value); }
  int GetSysMenuShadowWidth() const { return FSystemMenu.GetShadowWidth(); }
  void SetSysMenuShadowWidth(int value) { FSystemMenu.SetShadowWidth(value); }
  TKsAnimation GetSysMenuShowAnimation() const { return FSystemMenu.GetShowAnimation(); }
  void SetSysMenuShowAnimation(TKsAnimation value) { FSystemMenu.SetShowAnimation(value); }
  int GetSysMenuShowAnimationTime() const { return FSystemMenu.GetShowAnimationTime(); }
  void SetSysMenuShowAnimationTime(int value) { FSystemMenu.SetShowAnimationTime(value); }
  TPopupMenu* GetTrayMenu() const { return FTray.GetTrayMenu(); }
  void SetTrayMenu(TPopupMenu* value) { FTray.SetTrayMenu(value); }
  TKsWindowState GetWindowState() const { return FStates.GetWindowState(); }
  // While loading the state is kept for the end of loading; otherwise a change runs
  // the command of the new state.
  void SetWindowState(TKsWindowState value);
  TKsWindowState GetPrevState() const { return FStates.GetPrevState(); }

  // Called with a canvas on the paint buffer after the client background is painted.
  TPaintEvent OnPaint;

  // Run-time state the frame's painting and tests read.
  int GetFrameWidth() const { return FMetrics.GetFrameWidth(); }
  int GetFrameHeight() const { return FMetrics.GetFrameHeight(); }
  int GetWindowWidth() const { return FMetrics.GetWindowWidth(); }
  int GetWindowHeight() const { return FMetrics.GetWindowHeight(); }
  bool GetActiveLook() const { return FPainter.GetActiveLook(); }
  uint8_t GetDownCode() const { return FMouse.GetDownCode(); }
  uint8_t GetHotCode() const { return FMouse.GetHotCode(); }
  bool GetDragging() const { return FMouse.GetDragging(); }
  bool GetPaintEnabled() const { return FPainter.GetPaintEnabled(); }
  TKsCustomItem* GetSystemMenu() const { return FSystemMenu.GetRoot(); }
  TKsBitmap* GetBackground() const { return FPainter.GetBackground(); }
  HWND GetTrayWindow() const { return FTray.GetWindow(); }
  const NOTIFYICONDATAA& GetTrayIcon() const { return FTray.GetIcon(); }
  bool GetAppHooked() const { return FAppEvents.GetAppHooked(); }
  // True while the window measures its frame again (UpdateFrame).
  bool GetUpdatingFrame() const { return FMetrics.GetUpdatingFrame(); }

  // The form's own buffer when translucent, else the shared paint buffer.
  TKsBitmap* GetBuffer() const { return FPainter.GetBuffer(); }
  void DisablePaint() { FPainter.SetPaintEnabled(false); }
  void EnablePaint() { FPainter.SetPaintEnabled(true); }
  // Paints the whole frame to the window.
  void PaintNonClient() { FPainter.PaintNonClient(); }
  // Makes the form measure its frame again, keeping its client size.
  void UpdateFrame() { FMetrics.UpdateFrame(); }
  void UpdateTrayIcon() { FTray.UpdateIcon(Designing()); }

  // Frame metrics of the classic look.
  int FrameBorderWidth() const;
  int CaptionHeight() const;
  // The caption band: the client's left and right, above the client top.
  TRect GetCaptionRect();

  // Commands of the caption buttons, the system menu, the tray icon and the menu bar
  // (TKsFormStates). Maximize, Minimize, Rollup and MinimizeToTray toggle: called in
  // their own state they restore. Commands on a form that is not hooked do nothing.
  virtual void CloseForm();
  virtual void Restore();
  virtual void Maximize();
  virtual void Minimize();
  virtual void Rollup();
  virtual void MinimizeToTray();
  virtual void ShowSystemMenu();
  // Rebuilds the system menu's root with the items that fit the state and buttons.
  void BuildSystemMenu() { FSystemMenu.Build(); }
  // Runs the command that the clicked system-menu item names by its caption.
  void SystemMenuClick(TObject* sender) { FSystemMenu.Click(sender); }
  const TRect& GetRestoreBounds() const { return FStates.GetRestoreBounds(); }
  TPoint GetSysMenuPos() const { return FSystemMenu.GetPos(); }
  void SetSysMenuPos(TPoint value) { FSystemMenu.SetPos(value); }

  // MDI support (TKsFormMDI). The parent form of an MDI child and its skinner; whether
  // a skinned child of the same parent (or, for a parent, of this form) is maximized;
  // the parent's caption with the maximized child's caption merged in; restoring
  // maximized children.
  TCustomForm* GetMDIParent() const { return FMDI.GetParent(); }
  TKsCustomForm* GetMDIParentSkinner() const { return FMDI.GetParentSkinner(); }
  bool HasMaximizedMDIChild() const { return FMDI.HasMaximizedChild(); }
  void UpdateMDICaption() { FMDI.UpdateCaption(); }
  void RestoreMDIChildren() { FMDI.RestoreChildren(); }

  // Frame operations, overridden by themed skinners.
  virtual void UpdateRegion();
  virtual HRGN GetFormRegion();
  virtual TKsCustomItem* CreateMenuItem(TComponent* AOwner);
  virtual TRect GetCaptionButtonRect(TKsBorderIcon index);
  virtual TRect GetFrameClientRect();
  virtual TRect GetRollupRect();
  virtual TRect GetMinimizedRect();
  virtual TRect GetMaximizedRect();
  virtual TPoint GetMaxTrackSize();
  virtual TPoint GetMinTrackSize();
  virtual void PaintFrame(TKsBitmap& bitmap);
  virtual void PaintBackground(TKsBitmap& bitmap);
  virtual uint8_t HitTest(int x, int y);

  void Dispatch(TMessage& message) override;

 protected:
  void Notification(TComponent* AComponent, TOperation operation) override;
  void Activate() override;
  void AfterMessage(TObject* sender, TMessage& message, bool& handled) override;

  // Mouse on the frame, in frame coordinates (TKsFormMouse).
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  void InitializeSkin();
  // The tray icon's hidden window; the tray commands answer its callback.
  virtual void TrayWndProc(TMessage& message);
  // Opens the system menu's root as a popup at a screen point and runs its menu loop.
  virtual void PopupSystemMenu(TPoint at);
  // Shows the window with the show animation over the captured background.
  void ShowAnimated() { FAnimator.ShowAnimated(); }
  // The form's icon (else the application's, else the stock one) at the small-icon
  // size, at the rectangle's top-left or centred in it.
  void DrawFormIcon(TKsBitmap& bitmap, const TRect& rect, bool centred);
  // One caption button of the classic look into the bitmap's DC.
  void DrawCaptionButton(TKsBitmap& bitmap, TKsBorderIcon icon, bool pressed);
  bool ButtonPressed(uint8_t code) const { return FMouse.ButtonPressed(code); }
  // The work area within the virtual screen.
  static TRect ScreenWorkArea();
  bool IsMDIChild() const;
  bool IsMaximizedMDIChild() const;
  bool Designing() const;
  // The frame point of a screen point.
  TPoint ScreenToFrame(TPoint screen) const;
  // The frame point of a point in the form's client coordinates.
  TPoint ClientToFrame(TPoint client);

 private:
  friend class TKsFormAnimator;
  friend class TKsFormAppEvents;
  friend class TKsFormMDI;
  friend class TKsFormMetrics;
  friend class TKsFormMouse;
  friend class TKsFormPainter;
  friend class TKsFormStates;
  friend class TKsFormSystemMenu;
  friend class TKsFormTray;

  TKsFormPainter& Painter() { return FPainter; }
  TKsFormStates& States() { return FStates; }
  TKsFormTray& Tray() { return FTray; }
  TKsFormMDI& MDI() { return FMDI; }
  // The capture of the background after a maximized state: see TKsFormStates.
  void ForgetMaximizedPrevState() { FStates.ForgetMaximizedPrevState(); }
  void ReMeasure();

  void WMNCActivate(TMessage& message);
  void WMWindowPosChanging(TMessage& message);
  void WMSysCommand(TMessage& message);
  void CaptionChanged(TMessage& message);

  TKsBorderIcons FBorderIcons{kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiRollup, kbiTray};
  TKsBorderStyle FBorderStyle = kbsStandard;
  TKsCustomMenuBar* FMenuBar = nullptr;
  bool FStayOnTop = false;
  bool FInitialized = false;
  // The caption last read from the window, to notice its changes.
  std::string FCaption;

  TKsFormMetrics FMetrics{*this};
  TKsFormPainter FPainter{*this};
  TKsFormAnimator FAnimator{*this};
  TKsFormMouse FMouse{*this};
  TKsFormStates FStates{*this};
  TKsFormSystemMenu FSystemMenu{*this};
  TKsFormTray FTray{*this};
  TKsFormAppEvents FAppEvents{*this};
  TKsFormMDI FMDI{*this};
};

// The first active skinner among the components of `form`, or null.
TKsCustomForm* FindFormSkinner(TComponent* form);

// The icon of the form, else of the application; null when neither has one.
HICON KsFormIcon(TCustomForm* form);

// The unit's fonts and glyphs; null outside start-up and shut-down.
TFont* KsCaptionFont();
TFont* KsSmallCaptionFont();
TCustomImageList* KsSystemMenuGlyphs();

// Start-up: the caption fonts, the system menu's glyph list, then the shared paint
// buffer. Shut-down frees them in the opposite order. Repeated calls do nothing.
void InitializeKsForms();
void FinalizeKsForms();
