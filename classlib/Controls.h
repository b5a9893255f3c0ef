// Controls: the visual components of the class library.
//
// TControl is anything placed on a parent: bounds, visibility, enabled state, text,
// font and colour (both can follow the parent), mouse handling and message dispatch
// by number (WndProc -> Dispatch -> handlers -> DefaultHandler). TWinControl owns a
// window, made lazily: its procedure is a per-object instance that calls MainWndProc,
// so exceptions stop there and go to the application's exception handler; the window
// may be destroyed by anyone and is made again when needed, keeping text, bounds and
// state. Windowless children (TGraphicControl) are painted by their parent's
// PaintControls and get mouse messages in their own coordinates. Notifications of
// child windows (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM...) are reflected as CN_* to the
// control that owns the child window, found by its handle or id. TCustomControl is a
// windowed control that paints itself on a canvas.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Canvas.h"
#include "classlib/Colors.h"
#include "classlib/Components.h"
#include "classlib/Events.h"
#include "classlib/Geometry.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/Messages.h"
#include "classlib/Set.h"
#include "classlib/WndProcThunk.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;
class TCustomImageList;
class TDragObject;
class TDragDockObject;
class TDragManager;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TDragMode { dmManual, dmAutomatic };
// A drag moves data to a target (dkDrag) or the control itself to a dock site (dkDock).
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

enum TControlStyleFlag {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
};
using TControlStyle = TSet<TControlStyleFlag>;

enum TControlStateFlag {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking,
};
using TControlState = TSet<TControlStateFlag>;

// Cursor numbers: 0 is the default, negative numbers the screen's table.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

using TMouseEvent = TEvent<TObject* /*Sender*/, TMouseButton, TShiftState, int /*X*/, int /*Y*/>;
using TMouseMoveEvent = TEvent<TObject* /*Sender*/, TShiftState, int /*X*/, int /*Y*/>;
using TKeyEvent = TEvent<TObject* /*Sender*/, WORD& /*Key*/, TShiftState>;
using TKeyPressEvent = TEvent<TObject* /*Sender*/, char& /*Key*/>;
// Drag and dock events. A drag's Source is the dragged control for a control drag, else
// the drag object; Target is the control that took the drop, or null.
using TStartDragEvent = TEvent<TObject* /*Sender*/, TDragObject*& /*DragObject*/>;
using TDragOverEvent =
    TEvent<TObject* /*Sender*/, TObject* /*Source*/, int /*X*/, int /*Y*/, TDragState, bool& /*Accept*/>;
using TDragDropEvent = TEvent<TObject* /*Sender*/, TObject* /*Source*/, int /*X*/, int /*Y*/>;
using TEndDragEvent = TEvent<TObject* /*Sender*/, TObject* /*Target*/, int /*X*/, int /*Y*/>;
using TStartDockEvent = TEvent<TObject* /*Sender*/, TDragDockObject*& /*DragObject*/>;
using TDockOverEvent = TEvent<TObject* /*Sender*/, TDragDockObject* /*Source*/, int /*X*/, int /*Y*/,
                              TDragState, bool& /*Accept*/>;
using TDockDropEvent = TEvent<TObject* /*Sender*/, TDragDockObject* /*Source*/, int /*X*/, int /*Y*/>;
using TGetSiteInfoEvent = TEvent<TObject* /*Sender*/, TControl* /*DockClient*/, TRect& /*InfluenceRect*/,
                                 TPoint /*MousePos*/, bool& /*CanDock*/>;

// Shift state from mouse key flags (plus Alt from the keyboard) and from key data.
TShiftState KeysToShiftState(WORD keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
// True when `caption` marks `key` as its accelerator ("&x", compared without case).
bool IsAccel(WORD key, const std::string& caption);
// `caption` as it reads without its accelerator mark ("&x" reads x, "&&" one "&"): drawn
// with DT_NOPREFIX where the underline is to be hidden (Wine ignores DT_HIDEPREFIX).
std::string WithoutAccel(const std::string& caption);

// Minimum and maximum sizes of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
  KIVO_CLASS(TSizeConstraints, TPersistent)
 public:
  explicit TSizeConstraints(TControl* control) : FControl(control) {}
  void Assign(TPersistent* source) override;
  int GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(int value);
  int GetMinHeight() const { return FMinHeight; }
  void SetMinHeight(int value);
  int GetMaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int value);
  int GetMaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int value);
  // Limits a width and height to the constraints.
  void Apply(int& width, int& height) const;
  TNotifyEvent OnChange;

 private:
  void Changed();
  TControl* FControl;
  int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

class TControl : public TComponent {
  KIVO_CLASS(TControl, TComponent)
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // ---- Messages
  // Sends a message straight to the control's WindowProc and answers its Result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The entry of every message; WndProc unless replaced.
  TWndMethod GetWindowProc() const { return FWindowProc; }
  void SetWindowProc(TWndMethod value) { FWindowProc = value; }
  // Framework work (mouse state, capture...) then Dispatch.
  virtual void WndProc(TMessage& message);
  void Dispatch(TMessage& message) override;
  // Text messages answered from the control's own text.
  void DefaultHandler(TMessage& message) override;

  // ---- Placement
  TWinControl* GetParent() const { return FParent; }
  virtual void SetParent(TWinControl* value);
  int GetLeft() const { return FLeft; }
  void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
  int GetTop() const { return FTop; }
  void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
  int GetWidth() const { return FWidth; }
  void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
  int GetHeight() const { return FHeight; }
  void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect GetBoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, RectWidth(r), RectHeight(r)); }
  virtual TRect GetClientRect();
  int GetClientWidth() { return RectWidth(GetClientRect()); }
  void SetClientWidth(int value);
  int GetClientHeight() { return RectHeight(GetClientRect()); }
  void SetClientHeight(int value);
  virtual TPoint GetClientOrigin();
  TPoint ClientToScreen(const TPoint& point);
  TPoint ScreenToClient(const TPoint& point);
  TAlign GetAlign() const { return FAlign; }
  void SetAlign(TAlign value);
  TAnchors GetAnchors() const { return FAnchors; }
  void SetAnchors(TAnchors value);
  TSizeConstraints* GetConstraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* value) { FConstraints->Assign(value); }
  bool GetAutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool value);
  // Moves the control to the end (front) or start (back) of its parent's children;
  // a top-level window comes to the top.
  void BringToFront() { MoveInParent(true); }
  void SendToBack() { MoveInParent(false); }

  // ---- State
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  void Show();
  void Hide() { SetVisible(false); }
  virtual bool GetEnabled() const { return FEnabled; }
  virtual void SetEnabled(bool value);
  std::string GetText();
  void SetText(const std::string& value);
  std::string GetCaption() { return GetText(); }
  void SetCaption(const std::string& value) { SetText(value); }
  TFont* GetFont() const { return FFont.get(); }
  void SetFont(TFont* value) { FFont->Assign(value); }
  bool GetParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  bool GetParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  const std::string& GetHint() const { return FHint; }
  void SetHint(const std::string& value) { FHint = value; }
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  bool GetParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool value);
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor value);
  int GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(int value) { FHelpContext = value; }
  TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* value);
  TBiDiMode GetBiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode value) { FBiDiMode = value; }
  bool GetParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool value) { FParentBiDiMode = value; }
  bool UseRightToLeftAlignment() const;
  bool UseRightToLeftReading() const;
  // DrawText flags with the right-to-left reading flag added when it applies.
  int DrawTextBiDiModeFlags(int flags) const;
  TDragMode GetDragMode() const { return FDragMode; }
  void SetDragMode(TDragMode value) { FDragMode = value; }
  TControlStyle GetControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle value) { FControlStyle = value; }
  TControlState GetControlState() const { return FControlState; }
  void SetControlState(TControlState value) { FControlState = value; }
  // The control holds the mouse capture (a windowless control through its parent).
  bool GetMouseCapture();
  void SetMouseCapture(bool value);

  // ---- Painting
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }

  // ---- Component streaming structure
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

  // ---- Action: the control shows the action's caption, state and hint, and its click
  // runs the action (Actions.h).
  TBasicAction* GetAction() const;
  void SetAction(TBasicAction* value);
  // Asks the linked action to update itself.
  void InitiateAction();

  // ---- Drag and dock (DragDrop.h, DragDrop.cpp)
  TDragKind GetDragKind() const { return FDragKind; }
  void SetDragKind(TDragKind value) { FDragKind = value; }
  // The cursor shown while a drag of this control is over a control that accepts it.
  TCursor GetDragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor value) { FDragCursor = value; }
  // Starts a drag of this control from the position of the last mouse message: at
  // once, or once the mouse has left the square of `threshold` pixels around that
  // position (-1: DefaultDragThreshold). Nothing happens while another drag runs.
  void BeginDrag(bool immediate, int threshold = -1);
  // Ends this control's drag: dropped where the mouse is, or cancelled.
  void EndDrag(bool drop);
  // True from BeginDrag until the drag of this control ends.
  bool Dragging() const;
  // The control sits alone in a floating dock form (ManualFloat).
  bool GetFloating() const;
  // Moves the control into `site` at its own screen position, kept inside the site;
  // null floats it where it is. False when `site` is no dock site.
  bool ManualDock(TWinControl* site);
  // Puts the control into a floating tool-window form whose client area is
  // `screenRect` (a form it already floats in is reused).
  void ManualFloat(const TRect& screenRect);
  // The image list whose drag image follows the mouse while this control is dragged.
  virtual TCustomImageList* GetDragImages() { return nullptr; }
  // The drop of a drag over this control (fires OnDragDrop).
  virtual void DragDrop(TObject* source, int x, int y);

  TStartDragEvent OnStartDrag;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;
  TStartDockEvent OnStartDock;
  TEndDragEvent OnEndDock;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;

 protected:
  friend class TWinControl;
  friend class TDragManager;
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // Fires OnResize after the size changed.
  virtual void Resize();
  // Asked before a size change; a descendant may adjust or refuse it.
  virtual bool CanResize(int& newWidth, int& newHeight) { return true; }
  // Asked by AutoSize for the size the control wants.
  virtual bool CanAutoSize(int& newWidth, int& newHeight) { return false; }
  virtual void AdjustSize();
  // Scales the control by M/D, as a layout made at one density is shown at another:
  // its constraints, its own font when that is given at D pixels per inch (ScaleFont),
  // and its bounds (ScaleBounds); an auto-sized control then measures itself again.
  virtual void ChangeScale(int M, int D);
  // Position and edges by M/D (MulDiv), so that controls that meet still meet; a fixed
  // width or height (csFixedWidth, csFixedHeight) stays.
  virtual void ScaleBounds(int M, int D);
  // A font of the control's own whose height is given at D pixels per inch is brought
  // to M; one made for the screen (sized in points) or followed from the parent stays.
  void ScaleFont(int M, int D);
  // Asks the parent to place the control by its Align and Anchors.
  virtual void RequestAlign();
  virtual void VisibleChanging() {}
  // The control's rectangle in its parent is invalid (windowless controls).
  void InvalidateControl(bool isVisible, bool isOpaque);
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;
  virtual void FontChanged(TObject* sender);
  // Copies the action's properties and OnExecute into the control; with checkDefaults
  // only where the control still holds its default value.
  virtual void ActionChange(TObject* sender, bool checkDefaults);
  // A drag of this control starts (fires OnStartDrag, which may hand its own object).
  virtual void DoStartDrag(TDragObject*& dragObject);
  // A drag is over this control: Accept starts true when OnDragOver is assigned, which
  // then decides.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  // This control's drag ended; `target` took the drop, or null (fires OnEndDrag).
  virtual void DoEndDrag(TObject* target, int x, int y);
  virtual void DoStartDock(TDragDockObject*& dragObject);
  virtual void DoEndDock(TObject* target, int x, int y);
  void CMDrag(TMessage& message);
  TControlActionLink* GetActionLink() const { return FActionLink.get(); }
  // Text of a windowless control, or of a windowed control without a window.
  const std::string& GetStoredText() const { return FText; }
  void SetStoredText(const std::string& value) { FText = value; }
  // Records bounds without moving anything (the window moved itself).
  void UpdateBoundsRect(const TRect& r);
  void SendCancelMode();

  void WMMouseButton(TMessage& message);
  void WMMouseMove(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMVisibleChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMColorChanged(TMessage& message);
  void CMParentFontChanged(TMessage& message);
  void CMParentColorChanged(TMessage& message);
  void CMParentShowHintChanged(TMessage& message);
  void CMHitTest(TMessage& message);

 private:
  void MoveInParent(bool toFront);
  void DoMouseDown(TMessage& message, TMouseButton button, TShiftState shift);
  void DoMouseUp(TMessage& message, TMouseButton button);
  void DoActionChange(TObject* sender);

  TWinControl* FParent = nullptr;
  TWndMethod FWindowProc;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  bool FAutoSize = false;
  std::string FText;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  TColor FColor = clWindow;
  bool FParentColor = true;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TCursor FCursor = crDefault;
  int FHelpContext = 0;
  TPopupMenu* FPopupMenu = nullptr;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TCursor FDragCursor = crDrag;

  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  std::unique_ptr<TSizeConstraints> FConstraints;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState FControlState;
  std::unique_ptr<TControlActionLink> FActionLink;
};

// Window creation parameters, filled by CreateParams.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  std::string WinClassName;
};

class TWinControl : public TControl {
  KIVO_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // ---- The window
  // The window, made (with its parents') when first asked for.
  HWND GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { GetHandle(); }
  // Destroys the windows of this control and its children; they are made again on demand.
  void DestroyHandle();
  // Destroys and makes the window again, keeping text, bounds, focus and state.
  void RecreateWnd();
  // A foreign window to be the parent of a control without a parent control.
  HWND GetParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND value);
  // The window procedure the control's own procedure passes unhandled messages to.
  WNDPROC GetDefWndProc() const { return FDefWndProc; }
  // The per-object window procedure (a distinct address for every control).
  WNDPROC GetObjectInstance() const { return FObjectInstance; }
  bool GetShowing() const { return FShowing; }

  // ---- Children, in order: windowless first, then windowed
  int GetControlCount() const { return int(FControls.size() + FWinControls.size()); }
  TControl* GetControl(int index) const;
  // Inserts `control` into the child list and makes this control its parent (through
  // InsertControlProc, which the dialog framework may replace).
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(TControl* control) const;
  // The visible child at `pos` (client coordinates), the topmost first; disabled ones
  // only with allowDisabled, windowed ones only with allowWinControls.
  TControl* ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls = false);
  // Sends `message` to every child until one answers non-zero.
  void Broadcast(TMessage& message);
  // Sends `msg` (lParam 0) to every child.
  void NotifyControls(UINT msg);
  // Paints the visible windowless children (from `first` on) into `dc`, each with the
  // DC's origin moved to it and clipped to it, through WM_PAINT with the DC.
  void PaintControls(HDC dc, TControl* first);
  // Paints the control and its children into `dc` at (x, y).
  void PaintTo(HDC dc, int x, int y);
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  void Realign();
  // Scales the control and its children by M/D (ChangeScale), placing the aligned ones
  // once, afterwards.
  void ScaleBy(int M, int D);

  // ---- Docking (DragDrop.cpp): a dock site takes controls dropped by dock drags.
  bool GetDockSite() const { return FDockSite; }
  void SetDockSite(bool value);
  // May `client` dock here, and within which screen rectangle around the site? The
  // default: yes, within the site's screen bounds grown by 10 pixels; OnGetSiteInfo
  // may change both.
  virtual void GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock);
  // A dock drag's drop: the control moves into this site at the dock rectangle.
  virtual void DockDrop(TDragDockObject* source, int x, int y);
  TDockOverEvent OnDockOver;
  TDockDropEvent OnDockDrop;
  TGetSiteInfoEvent OnGetSiteInfo;

  // ---- Focus and keys
  bool Focused() const;
  // The keyboard cues hidden now (UISF_HIDEFOCUS, UISF_HIDEACCEL), as the control's
  // form keeps them: a focus rectangle or an accelerator underline shows unless its flag
  // is set.
  WORD GetUIState() { return WORD(Perform(WM_QUERYUISTATE)); }
  virtual bool CanFocus();
  virtual void SetFocus();
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool value);
  int GetTabOrder() const;
  void SetTabOrder(int value);
  // The windowed descendants in tab order (depth first).
  void GetTabOrderList(std::vector<TWinControl*>& list);
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  // ---- Painting and look
  TBrush* GetBrush() const { return FBrush.get(); }
  int GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int value);
  bool GetCtl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  void Invalidate() override;
  void Update() override;
  void Repaint() override;

  void SetBounds(int left, int top, int width, int height) override;
  TRect GetClientRect() override;
  TPoint GetClientOrigin() override;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  // Unhandled messages go to the original window procedure.
  void DefaultHandler(TMessage& message) override;

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  friend class TControl;
  friend class TCustomForm;
  virtual void CreateParams(TCreateParams& params);
  // Bases the window on a system window class (RICHEDIT20A, LISTBOX...).
  void CreateSubClass(TCreateParams& params, const char* className);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  void CreateHandle();
  // Shows or hides the window after a visibility change of the control or a parent.
  void UpdateShowing();
  void UpdateControlState();
  // Paints the control's own face into `dc` (the original window procedure by default).
  virtual void PaintWindow(HDC dc);
  void PaintHandler(TMessage& message);
  // Places the aligned and anchored children in `rect` (the client area).
  virtual void AlignControls(TControl* control, TRect& rect);
  // The children first, then the control; its anchored children keep the places they
  // were scaled to, as the scaled client area is where their anchors start from.
  void ChangeScale(int M, int D) override;
  void ScaleControls(int M, int D);
  virtual void AdjustClientRect(TRect& rect);
  void AlignControl(TControl* control);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void DoEnter();
  virtual void DoExit();
  // A dock drag is over this site: Accept starts true; PositionDockRect places the dock
  // rectangle, then OnDockOver decides.
  virtual void DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept);
  // Moves the dock rectangle to lie inside the site's client area (the size is kept).
  virtual void PositionDockRect(TDragDockObject* source);
  // Places the children whose alignment waited for the end of loading.
  void Loaded() override;
  bool DoKeyDown(TMessage& message);
  bool DoKeyUp(TMessage& message);
  bool DoKey(TMessage& message, void (TWinControl::*handler)(WORD&, TShiftState));
  bool DoKeyPress(TMessage& message);
  template <class Preview>
  bool PreviewConsumes(Preview preview);
  // Takes the focus away from this control (and its children).
  void RemoveFocus(bool removing);
  // The form-level focus bookkeeping after a focus change is refused.
  void UpdateBounds();

  void WMPaint(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMCommand(TMessage& message);
  void WMNotify(TMessage& message);
  void WMDrawItem(TMessage& message);
  void WMMeasureItem(TMessage& message);
  void WMItemMessage(TMessage& message);
  void WMSize(TMessage& message);
  void WMMove(TMessage& message);
  void WMWindowPosChanged(TMessage& message);
  void WMSetCursor(TMessage& message);
  void WMKeyMessage(TMessage& message);
  void WMNCDestroy(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMMouseLeave(TMessage& message);
  void WMCancelMode(TMessage& message);
  void CNKeyDown(TMessage& message);
  void CNChar(TMessage& message);
  // Keys that move the focus (Tab, the arrows) show the focus cues; Alt shows them and
  // the accelerators.
  void ShowKeyboardCues(WORD key);
  void CNCtlColor(TMessage& message);
  void CMChildKey(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMDialogChar(TMessage& message);
  void CMControlListChange(TMessage& message);
  void CMShowingChanged(TMessage& message);
  void CMVisibleChanged(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMColorChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMShowHintChanged(TMessage& message);
  void CMEnter(TMessage& message);
  void CMExit(TMessage& message);
  void CMRecreateWnd(TMessage& message);
  void CMSysColorChange(TMessage& message);
  void CMDockDrag(TMessage& message);

 private:
  friend LRESULT CALLBACK InitWndProc(HWND, UINT, WPARAM, LPARAM);
  friend void InsertControlOriginal(TWinControl* parent, TControl* control);
  void MainWndProc(TMessage& message);
  void BrushChanged();
  bool IsControlMouseMsg(TMessage& message);
  bool DoControlMsg(HWND control, TMessage& message);
  void Insert(TControl* control);
  void Remove(TControl* control);
  void ApplyAnchors(int oldWidth, int oldHeight);
  // `control` is a child of this control now (an address only: it may be freed).
  bool HasChild(const TControl* control) const;
  // Anchored children move with changes of the client area from its size now on.
  void SetAnchorBase();

  HWND FHandle = nullptr;
  WNDPROC FObjectInstance = nullptr;
  WNDPROC FDefWndProc = nullptr;
  UINT FWindowId = 0;
  HWND FParentWindow = nullptr;
  bool FShowing = false;
  bool FTabStop = false;
  bool FCtl3D = true;
  int FBorderWidth = 0;
  int FAlignLevel = 0;
  bool FDockSite = false;
  int FLastClientWidth = -1, FLastClientHeight = -1;
  std::unique_ptr<TBrush> FBrush;
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FWinControls;
  std::vector<TWinControl*> FTabList;
};

// A canvas on a control: the control's window DC, or its parent's DC clipped to the
// control and with the origin moved to it for a windowless control.
class TControlCanvas : public TCanvas {
  KIVO_CLASS(TControlCanvas, TCanvas)
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* GetControl() const { return FControl; }
  void SetControl(TControl* value);
  // Releases a DC the canvas took from the window.
  void FreeHandle();
  // The window whose DC the canvas holds, or null.
  HWND GetWindowHandle() const { return FWindowHandle; }

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

// A control canvas drawing on a DC handed in for painting, for one scope: locked,
// without a DC of its own meanwhile, and detached afterwards.
class TCanvasPaintScope {
 public:
  TCanvasPaintScope(TControlCanvas* canvas, HDC dc);
  ~TCanvasPaintScope();
  TCanvasPaintScope(const TCanvasPaintScope&) = delete;
  TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

 private:
  TControlCanvas* FCanvas;
};

// A windowless control that paints itself on a canvas.
class TGraphicControl : public TControl {
  KIVO_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& message) override;

 protected:
  virtual void Paint() {}

 private:
  void WMPaint(TMessage& message);
  std::unique_ptr<TControlCanvas> FCanvas;
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
  KIVO_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& message) override;

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  void WMPaint(TMessage& message);
  std::unique_ptr<TControlCanvas> FCanvas;
};

// The control whose window is `wnd` (a window of this class library), or null.
TWinControl* FindControl(HWND wnd);
// The windowed control with window id `id`, or null.
TWinControl* FindControlById(UINT id);
// The control of the class library under the screen point (a windowless child when
// one is there), or null.
TControl* FindDragTarget(const TPoint& pos, bool allowDisabled);
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// The form a control lies on (the topmost TCustomForm parent), or null.
TCustomForm* GetParentForm(TControl* control);
// The control the mouse is over, as tracked for CM_MOUSEENTER / CM_MOUSELEAVE.
TControl* GetMouseControl();
// Finds the control under the cursor and sends CM_MOUSELEAVE to the one the mouse
// left and CM_MOUSEENTER to the one it entered (the idle step calls it too).
void UpdateMouseControl(const TPoint& screenPos);

// Replaceable routine behind TWinControl::InsertControl; the default is
// InsertControlOriginal. A replacement calls the original itself.
using TInsertControlProc = void (*)(TWinControl* parent, TControl* control);
extern TInsertControlProc InsertControlProc;
void InsertControlOriginal(TWinControl* parent, TControl* control);

// Releases the DCs control canvases took outside painting (the idle step does it).
void FreeDeviceContexts();
