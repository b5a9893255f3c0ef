// The message record, the class library's own message numbers and typed views of
// the messages its handlers decode.
//
// TMessage is the one record every handler receives: message number, the two
// parameters and the result. A typed view (TWMMouse, TWMKey...) has the same 16-byte
// layout and is reached with MessageAs<T>(message); its fields read and write the
// record itself, so a handler that sets Result or zeroes CharCode changes the message
// its caller sees.
//
// Component messages (CM_*) start at CM_BASE and are numbered in one fixed order;
// the skin library owns 0xB0DE and 0xB0DF, so every number here stays below them.
// Notifications reflected to the control that owns a child window (CN_*) are
// CN_BASE plus the original window-message number.
#pragma once

#include <cstdint>

#include "classlib/Win.h"

#define KIVO_MESSAGE_VIEW __attribute__((__may_alias__))

struct KIVO_MESSAGE_VIEW TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  WORD WParamLo() const { return LOWORD(WParam); }
  WORD WParamHi() const { return HIWORD(WParam); }
  WORD LParamLo() const { return LOWORD(LParam); }
  WORD LParamHi() const { return HIWORD(LParam); }
};
static_assert(sizeof(TMessage) == 16, "the message record is four 32-bit words");

// The message record seen through a typed view of the same layout.
template <class T>
T& MessageAs(TMessage& message) {
  static_assert(sizeof(T) == sizeof(TMessage), "a message view has the record's layout");
  return reinterpret_cast<T&>(message);
}

// ---- Component messages -------------------------------------------------------------

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
// CM_MOUSEWHEEL: a wheel message (its wParam and lParam) posted to a window of the form,
// offered to the form before the window gets it; nonzero when the form took it.
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;
constexpr UINT CM_LAST = CM_ISSHORTCUT;
// 0xB0DE and 0xB0DF belong to the skin library's hook list.
static_assert(CM_LAST < 0xB0DE, "component messages stay below the skin library's private ones");

// CM_DRAG sub-messages (the LOWORD of WParam).
enum TDragMessage : uint8_t { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

// ---- Reflected notifications -------------------------------------------------------

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
static_assert(CN_KEYDOWN == 0xBD00, "key notifications keep their reflected numbers");

// ---- Typed views ---------------------------------------------------------------------
// Fields are named as the handlers use them; unused halves keep the layout.

class TControl;
class TWinControl;

struct KIVO_MESSAGE_VIEW TWMNoParams {
  UINT Msg;
  WPARAM Unused0;
  LPARAM Unused1;
  LRESULT Result;
};
using TWMGetDlgCode = TWMNoParams;
using TWMCancelMode = TWMNoParams;

// Mouse messages: key flags in WParam, client position in LParam.
struct KIVO_MESSAGE_VIEW TWMMouse {
  UINT Msg;
  WPARAM Keys;
  short XPos;
  short YPos;
  LRESULT Result;
  POINT Pos() const { return POINT{XPos, YPos}; }
};
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMMouseMove = TWMMouse;
using TCMDesignHitTest = TWMMouse;

struct KIVO_MESSAGE_VIEW TWMMouseWheel {
  UINT Msg;
  short Keys;
  short WheelDelta;
  short XPos;  // screen coordinates
  short YPos;
  LRESULT Result;
};

// Key messages; a handler that zeroes CharCode has consumed the key.
struct KIVO_MESSAGE_VIEW TWMKey {
  UINT Msg;
  WORD CharCode;
  WORD Unused;
  LPARAM KeyData;
  LRESULT Result;
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

// CM_CHILDKEY: the key and the control it was pressed in.
struct KIVO_MESSAGE_VIEW TCMChildKey {
  UINT Msg;
  WORD CharCode;
  WORD Unused;
  TWinControl* Sender;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TCMFocusChanged {
  UINT Msg;
  WPARAM Unused;
  TWinControl* Sender;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TCMControlListChange {
  UINT Msg;
  TControl* Control;
  LPARAM Inserting;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TCMCancelMode {
  UINT Msg;
  WPARAM Unused;
  TControl* Sender;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TCMHitTest {
  UINT Msg;
  WPARAM Unused;
  short XPos;
  short YPos;
  LRESULT Result;
};

// WM_PAINT and WM_ERASEBKGND: a DC in WParam means "paint into this DC".
struct KIVO_MESSAGE_VIEW TWMPaint {
  UINT Msg;
  HDC DC;
  LPARAM Unused;
  LRESULT Result;
};
using TWMEraseBkgnd = TWMPaint;
using TWMPrintClient = TWMPaint;

struct KIVO_MESSAGE_VIEW TWMNCHitTest {
  UINT Msg;
  WPARAM Unused;
  short XPos;  // screen coordinates
  short YPos;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMNCCalcSize {
  UINT Msg;
  WPARAM CalcValidRects;
  NCCALCSIZE_PARAMS* CalcSize_Params;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMWindowPosMsg {
  UINT Msg;
  WPARAM Unused;
  WINDOWPOS* WindowPos;
  LRESULT Result;
};
using TWMWindowPosChanging = TWMWindowPosMsg;
using TWMWindowPosChanged = TWMWindowPosMsg;

struct KIVO_MESSAGE_VIEW TWMSysCommand {
  UINT Msg;
  WPARAM CmdType;
  short XPos;
  short YPos;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMCommand {
  UINT Msg;
  WORD ItemID;
  WORD NotifyCode;
  HWND Ctl;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMNotify {
  UINT Msg;
  WPARAM IDCtrl;
  NMHDR* NMHdr;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMDrawItem {
  UINT Msg;
  WPARAM Ctl;
  DRAWITEMSTRUCT* DrawItemStruct;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMMeasureItem {
  UINT Msg;
  WPARAM IDCtl;
  MEASUREITEMSTRUCT* MeasureItemStruct;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMCtlColor {
  UINT Msg;
  HDC ChildDC;
  HWND ChildWnd;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMSize {
  UINT Msg;
  WPARAM SizeType;
  WORD Width;
  WORD Height;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMMove {
  UINT Msg;
  WPARAM Unused;
  short XPos;
  short YPos;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMSetFocus {
  UINT Msg;
  HWND FocusedWnd;  // the window that lost (WM_SETFOCUS) or gets (WM_KILLFOCUS) the focus
  LPARAM Unused;
  LRESULT Result;
};
using TWMKillFocus = TWMSetFocus;

struct KIVO_MESSAGE_VIEW TWMActivate {
  UINT Msg;
  WORD Active;  // WA_INACTIVE, WA_ACTIVE, WA_CLICKACTIVE
  WORD Minimized;
  HWND ActiveWindow;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMNCActivate {
  UINT Msg;
  WPARAM Active;
  LPARAM Unused;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMMouseActivate {
  UINT Msg;
  HWND TopLevel;
  WORD HitTestCode;
  WORD MouseMsg;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMSetCursor {
  UINT Msg;
  HWND CursorWnd;
  WORD HitTest;
  WORD MouseMsg;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMTimer {
  UINT Msg;
  WPARAM TimerID;
  TIMERPROC TimerProc;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMScroll {
  UINT Msg;
  WORD ScrollCode;
  short Pos;
  HWND ScrollBar;
  LRESULT Result;
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;

struct KIVO_MESSAGE_VIEW TWMContextMenu {
  UINT Msg;
  HWND hWnd;
  short XPos;
  short YPos;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMShowWindow {
  UINT Msg;
  WPARAM Show;
  LPARAM Status;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMSetText {
  UINT Msg;
  WPARAM Unused;
  const char* Text;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMGetMinMaxInfo {
  UINT Msg;
  WPARAM Unused;
  MINMAXINFO* MinMaxInfo;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMHelp {
  UINT Msg;
  WPARAM Unused;
  HELPINFO* HelpInfo;
  LRESULT Result;
};

struct KIVO_MESSAGE_VIEW TWMClose {
  UINT Msg;
  WPARAM Unused0;
  LPARAM Unused1;
  LRESULT Result;
};
