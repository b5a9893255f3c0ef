// TKsCustomForm: a component dropped on a form that takes over the form's whole
// non-client area. The hook (TKsHookComponent) offers every message of the form's
// window to this component first; the skinner measures the frame itself
// (WM_NCCALCSIZE), answers the hit tests, paints borders, caption and caption buttons
// into an off-screen bitmap (its own when translucent, else the process-wide paint
// buffer) and copies the four frame bands to the window. The look of this class is the
// classic system look; themed skinners override the frame operations.
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
#include "skin/KsHooks.h"

class TCanvas;
class TCustomForm;
class TFont;
class TCustomImageList;
class TPopupMenu;
class TKsCustomItem;
class TKsCustomMenuBar;

enum TKsBorderIcon { kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray };
using TKsBorderIcons = TSet<TKsBorderIcon>;
enum TKsWindowState { kwsNormal, kwsMaximized, kwsMinimized, kwsRollup, kwsTray };

using TPaintEvent = TEvent<TCanvas* /*Canvas*/>;

// Frame hit codes (the system's own numbering of the frame's areas).
enum : uint8_t {
  khtNone = 0,
  khtCaption = 1,
  khtLeft = 2,
  khtTop = 3,
  khtRight = 4,
  khtBottom = 5,
  khtTopLeft = 7,
  khtTopRight = 8,
  khtBottomLeft = 9,
  khtBottomRight = 10,
  khtClose = 11,
  khtHelp = 12,
  khtMinimize = 13,
  khtMaximize = 14,
  khtRollup = 15,
  khtTray = 16,
  khtSystemMenu = 17,
};

// The hit code of a caption button.
uint8_t KsBorderIconHitCode(TKsBorderIcon icon);

// Private messages of the skinner.
constexpr UINT KM_CAPTIONCHANGED = 0x56D;  // wParam 13: give WS_CAPTION back; repaint
constexpr UINT KM_MAXIMIZE = 0x56E;
constexpr UINT KM_ISBLENDED = 0x637;  // 1 when the form is translucent
constexpr UINT KM_TRAYCALLBACK = 0x56C;

// The transparent key of the paint buffer: pixels of this colour fall outside the window.
constexpr TKsColor KsTransparentKey = KsColorARGB(255, 127, 0, 127);

class TKsCustomForm : public TKsHookComponent {
  KIVO_CLASS(TKsCustomForm, TKsHookComponent)
 public:
  explicit TKsCustomForm(TComponent* AOwner);
  ~TKsCustomForm() override;

  void Loaded() override;

  bool GetBlend() const { return FBlend; }
  void SetBlend(bool value);
  int GetBlendValue() const { return FBlendValue; }
  void SetBlendValue(int value);
  TKsBorderIcons GetBorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TKsBorderIcons value);
  TKsBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TKsBorderStyle value);
  bool GetCanResize() const { return FCanResize; }
  void SetCanResize(bool value);
  bool GetCanMove() const { return FCanMove; }
  void SetCanMove(bool value);
  bool GetDropShadow() const { return FDropShadow; }
  void SetDropShadow(bool value) { FDropShadow = value; }
  int GetShadowWidth() const { return FShadowWidth; }
  void SetShadowWidth(int value) { FShadowWidth = value; }
  bool GetMagnetic() const { return FMagnetic; }
  void SetMagnetic(bool value) { FMagnetic = value; }
  int GetMagneticValue() const { return FMagneticValue; }
  void SetMagneticValue(int value) { FMagneticValue = value; }
  TKsCustomMenuBar* GetMenuBar() const { return FMenuBar; }
  void SetMenuBar(TKsCustomMenuBar* value);
  bool GetMinimizeApplication() const { return FMinimizeApplication; }
  void SetMinimizeApplication(bool value) { FMinimizeApplication = value; }
  bool GetSimpleDrag() const { return FSimpleDrag; }
  void SetSimpleDrag(bool value) { FSimpleDrag = value; }
  TKsAnimation GetShowAnimation() const { return FShowAnimation; }
  void SetShowAnimation(TKsAnimation value) { FShowAnimation = value; }
  int GetShowAnimationTime() const { return FShowAnimationTime; }
  void SetShowAnimationTime(int value) { FShowAnimationTime = value; }
  bool GetStayOnTop() const { return FStayOnTop; }
  void SetStayOnTop(bool value);
  bool GetSysMenuBlend() const { return FSysMenuBlend; }
  void SetSysMenuBlend(bool value) { FSysMenuBlend = value; }
  int GetSysMenuBlendValue() const { return FSysMenuBlendValue; }
  void SetSysMenuBlendValue(int value) { FSysMenuBlendValue = value; }
  bool GetSysMenuDropShadow() const { return FSysMenuDropShadow; }
  void SetSysMenuDropShadow(bool value) { FSysMenuDropShadow = value; }
  int GetSysMenuShadowWidth() const { return FSysMenuShadowWidth; }
  void SetSysMenuShadowWidth(int value) { FSysMenuShadowWidth = value; }
  TKsAnimation GetSysMenuShowAnimation() const { return FSysMenuShowAnimation; }
  void SetSysMenuShowAnimation(TKsAnimation value) { FSysMenuShowAnimation = value; }
  int GetSysMenuShowAnimationTime() const { return FSysMenuShowAnimationTime; }
  void SetSysMenuShowAnimationTime(int value) { FSysMenuShowAnimationTime = value; }
  TPopupMenu* GetTrayMenu() const { return FTrayMenu; }
  void SetTrayMenu(TPopupMenu* value);
  TKsWindowState GetWindowState() const { return FWindowState; }
  // While loading the state is kept for the end of loading; otherwise a change runs
  // the command of the new state.
  void SetWindowState(TKsWindowState value);
  TKsWindowState GetPrevState() const { return FPrevState; }

  // Called with a canvas on the paint buffer after the client background is painted.
  TPaintEvent OnPaint;

  // Run-time state the frame's painting and tests read.
  int GetFrameWidth() const { return FFrameWidth; }
  int GetFrameHeight() const { return FFrameHeight; }
  int GetWindowWidth() const { return FWindowWidth; }
  int GetWindowHeight() const { return FWindowHeight; }
  bool GetActiveLook() const { return FActiveLook; }
  uint8_t GetDownCode() const { return FDownCode; }
  uint8_t GetHotCode() const { return FHotCode; }
  bool GetDragging() const { return FDragging; }
  bool GetPaintEnabled() const { return FPaintEnabled; }
  TKsCustomItem* GetSystemMenu() const { return FSystemMenu; }
  TKsBitmap* GetBackground() const { return FBackground.get(); }
  HWND GetTrayWindow() const { return FTrayWindow; }
  const NOTIFYICONDATAA& GetTrayIcon() const { return FTrayIcon; }
  bool GetAppHooked() const { return FAppHooked; }

  // The form's own buffer when translucent, else the shared paint buffer.
  TKsBitmap* GetBuffer() const;
  void DisablePaint() { FPaintEnabled = false; }
  void EnablePaint() { FPaintEnabled = true; }
  // Paints the whole frame to the window.
  void PaintNonClient();
  // Makes the form measure its frame again, keeping its client size.
  void UpdateFrame();
  void UpdateTrayIcon();

  // Frame metrics of the classic look.
  int FrameBorderWidth() const;
  int CaptionHeight() const;
  // The caption band: the client's left and right, above the client top.
  TRect GetCaptionRect();

  // Commands of the caption buttons, the system menu, the tray icon and the menu bar
  // (KsFormStates.cpp). Maximize, Minimize, Rollup and MinimizeToTray toggle: called
  // in their own state they restore. Commands on a form that is not hooked do nothing.
  virtual void CloseForm();
  virtual void Restore();
  virtual void Maximize();
  virtual void Minimize();
  virtual void Rollup();
  virtual void MinimizeToTray();
  virtual void ShowSystemMenu();
  // Rebuilds the system menu's root with the items that fit the state and buttons.
  void BuildSystemMenu();
  // Runs the command that the clicked system-menu item names by its caption.
  void SystemMenuClick(TObject* sender);
  const TRect& GetRestoreBounds() const { return FRestoreBounds; }
  TPoint GetSysMenuPos() const { return FSysMenuPos; }
  void SetSysMenuPos(TPoint value) { FSysMenuPos = value; }

  // MDI support. The parent form of an MDI child and its skinner; whether a skinned
  // child of the same parent (or, for a parent, of this form) is maximized; the parent's
  // caption with the maximized child's caption merged in; restoring maximized children.
  TCustomForm* GetMDIParent() const;
  TKsCustomForm* GetMDIParentSkinner() const;
  bool HasMaximizedMDIChild() const;
  void UpdateMDICaption();
  void RestoreMDIChildren();

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

  // Mouse on the frame, in frame coordinates.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  void InitializeSkin();
  // The tray icon's hidden window; the tray commands answer its callback.
  virtual void TrayWndProc(TMessage& message);
  // Chained to the application's minimize and restore events.
  void AppMinimize(TObject* sender);
  void AppRestore(TObject* sender);
  void ChainApplicationEvents();
  // Chained to the form's OnShortCut: the menu bar's short cuts first.
  void FormShortCut(TMessage& message, bool& handled);
  void UnchainApplicationEvents();
  // Opens the system menu's root as a popup at a screen point and runs its menu loop.
  virtual void PopupSystemMenu(TPoint at);
  // The window procedure that replaces the MDI client window's.
  void MDIClientWndProc(TMessage& message);
  void HookMDIClient();
  void UnhookMDIClient();
  void WMMDIActivate(TMessage& message);
  // The menu bar shows the maximized child's buttons; nothing without a menu bar.
  void ShowParentMDIButtons();
  void HideParentMDIButtons();
  bool IsModalForm() const;
  // The hooked form when the commands may act on it.
  TCustomForm* CommandForm() const;
  void CaptureBackground(const TRect& rect);
  // Shows the window with the show animation over the captured background.
  void ShowAnimated();
  void SetFormBounds(const TRect& bounds);
  // The form's icon (else the application's, else the stock one) at the small-icon
  // size, at the rectangle's top-left or centred in it.
  void DrawFormIcon(TKsBitmap& bitmap, const TRect& rect, bool centred);
  // One caption button of the classic look into the bitmap's DC.
  void DrawCaptionButton(TKsBitmap& bitmap, TKsBorderIcon icon, bool pressed);
  bool ButtonPressed(uint8_t code) const;
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
  void ReMeasure();
  void SyncFrameSize();
  void DrawOutline(const TRect& frame);
  void Snap(TRect& bounds);

  void WMNCCalcSize(TMessage& message);
  void WMNCActivate(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMNCButton(TMessage& message);
  void WMMouse(TMessage& message);
  void WMPaint(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMWindowPosChanging(TMessage& message);
  void WMSysCommand(TMessage& message);

  bool FBlend = false;
  int FBlendValue = 150;
  TKsBorderIcons FBorderIcons{kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiRollup, kbiTray};
  TKsBorderStyle FBorderStyle = kbsStandard;
  bool FCanResize = true;
  bool FCanMove = true;
  bool FDropShadow = false;
  int FShadowWidth = 4;
  bool FMagnetic = true;
  int FMagneticValue = 20;
  TKsCustomMenuBar* FMenuBar = nullptr;
  bool FMinimizeApplication = true;
  bool FSimpleDrag = false;
  TKsAnimation FShowAnimation = kaNone;
  int FShowAnimationTime = 400;
  bool FStayOnTop = false;
  bool FSysMenuBlend = false;
  int FSysMenuBlendValue = 150;
  bool FSysMenuDropShadow = false;
  int FSysMenuShadowWidth = 4;
  TKsAnimation FSysMenuShowAnimation = kaNone;
  int FSysMenuShowAnimationTime = 300;
  TPopupMenu* FTrayMenu = nullptr;

  std::unique_ptr<TKsBitmap> FBuffer;
  std::unique_ptr<TKsBitmap> FBackground;
  TPoint FDownPoint{0, 0};
  TPoint FLastPoint{0, 0};
  TRect FRestoreBounds{0, 0, 0, 0};
  TKsWindowState FPrevState = kwsNormal;
  TKsWindowState FWindowState = kwsNormal;
  TKsWindowState FLoadedState = kwsNormal;
  NOTIFYICONDATAA FTrayIcon{};
  HWND FTrayWindow = nullptr;
  TKsCustomItem* FSystemMenu = nullptr;
  TNotifyEvent FSavedOnRestore;
  TNotifyEvent FSavedOnMinimize;
  bool FAppHooked = false;
  bool FAppMinimizing = false;
  TShortCutEvent FOldShortCut;
  TPoint FSysMenuPos{0, 0};
  bool FRenderToBitmap = false;
  TRect FBackgroundRect{0, 0, 0, 0};
  std::unique_ptr<TKsBitmap> FAnimBitmap;
  bool FDragging = false;
  TRect FDragFrame{0, 0, 0, 0};
  bool FOutlineDrag = false;
  bool FUpdatingFrame = false;
  int FSavedClientWidth = 0;
  int FSavedClientHeight = 0;
  bool FInitialized = false;
  bool FPaintEnabled = true;
  bool FActiveLook = false;
  uint8_t FDownCode = 0;
  uint8_t FHotCode = 0;
  int FFrameWidth = 0;
  int FFrameHeight = 0;
  int FWindowWidth = 0;
  int FWindowHeight = 0;
  uint8_t FMouseButtons = 0;
  std::string FCaption;
  WNDPROC FOldClientProc = nullptr;
  WNDPROC FClientInstance = nullptr;
  HWND FClientWnd = nullptr;
};

// The first active skinner among the components of `form`, or null.
TKsCustomForm* FindFormSkinner(TComponent* form);

// The unit's fonts and glyphs; null outside start-up and shut-down.
TFont* KsCaptionFont();
TFont* KsSmallCaptionFont();
TCustomImageList* KsSystemMenuGlyphs();

// Start-up: the caption fonts, the system menu's glyph list, then the shared paint
// buffer. Shut-down frees them in the opposite order. Repeated calls do nothing.
void InitializeKsForms();
void FinalizeKsForms();
