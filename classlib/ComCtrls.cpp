#include "classlib/ComCtrls.h"

#include <algorithm>

#include "classlib/Exceptions.h"
#include "classlib/GdiHandles.h"

namespace {

HMODULE gRichEditModule = nullptr;
bool gRichEditTried = false;
int gRichEditWindows = 0;  // live rich edit windows: the library stays while any is there

// Loads "RICHED20.DLL" once (without the system's error box); raises when it is missing.
void NeedRichEdit() {
  if (!gRichEditTried) {
    gRichEditTried = true;
    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA("RICHED20.DLL");
    SetErrorMode(oldMode);
    if (reinterpret_cast<UINT_PTR>(module) >= 32)
      gRichEditModule = module;
  }
  if (!gRichEditModule)
    throw EOutOfResources("RICHED20.DLL could not be loaded; a rich edit cannot be shown");
}

// A tab item carrying `text` (which must outlive it).
TCITEMA TabItem(std::string& text) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  return item;
}

}  // namespace

void InitializeComCtrls() {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_TAB_CLASSES};
  InitCommonControlsEx(&init);
}

void FinalizeComCtrls() {
  // A window whose code is gone would crash at its next message; keep the library then.
  if (gRichEditModule && gRichEditWindows == 0)
    FreeLibrary(gRichEditModule);
  gRichEditModule = nullptr;
  gRichEditTried = false;
}

// ---- TTabSheet --------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetColor(clBtnFace);
  SetVisible(false);  // the page control shows the active page only
}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* value) {
  if (value == FPageControl)
    return;
  if (FPageControl)
    FPageControl->RemovePage(this);
  SetParent(value);
  if (value)
    value->InsertPage(this);
}

int TTabSheet::GetPageIndex() const {
  if (!FPageControl)
    return -1;
  const auto& pages = FPageControl->FPages;
  return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::Dispatch(TMessage& message) {
  inherited::Dispatch(message);
  if (message.Msg == CM_TEXTCHANGED && FPageControl)
    FPageControl->UpdateTab(this);
}

// ---- TPageControl -----------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks});
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
}

TPageControl::~TPageControl() {
  for (TTabSheet* page : FPages)
    page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

TTabSheet* TPageControl::GetPage(int index) const {
  if (index < 0 || index >= GetPageCount())
    ListIndexError(index);
  return FPages[index];
}

void TPageControl::InsertPage(TTabSheet* page) {
  FPages.push_back(page);
  page->FPageControl = this;
  if (HandleAllocated())
    InsertTab(GetPageCount() - 1, page);
  if (!FActivePage)
    SetActivePage(page);
  else
    Realign();
}

void TPageControl::RemovePage(TTabSheet* page) {
  const int index = page->GetPageIndex();
  if (index < 0 || index >= GetPageCount())
    return;
  if (page == FActivePage) {
    const int next = index + 1 < GetPageCount() ? index + 1 : index - 1;
    SetActivePage(next >= 0 ? FPages[next] : nullptr);
  }
  FPages.erase(FPages.begin() + index);
  page->FPageControl = nullptr;
  if (HandleAllocated())
    SendMessageA(GetHandle(), TCM_DELETEITEM, index, 0);
  if (FActivePage && HandleAllocated())
    SendMessageA(GetHandle(), TCM_SETCURSEL, FActivePage->GetPageIndex(), 0);
}

void TPageControl::InsertTab(int index, TTabSheet* page) {
  std::string text = page->GetText();
  TCITEMA item = TabItem(text);
  SendMessageA(GetHandle(), TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
}

void TPageControl::UpdateTab(TTabSheet* page) {
  if (!HandleAllocated())
    return;
  std::string text = page->GetText();
  TCITEMA item = TabItem(text);
  SendMessageA(GetHandle(), TCM_SETITEMA, page->GetPageIndex(), reinterpret_cast<LPARAM>(&item));
  Realign();  // the tab rows may have changed
}

void TPageControl::SetActivePage(TTabSheet* value) {
  if (value && value->FPageControl != this)
    throw EInvalidOperation(Format("Tab sheet '%s' is not a page of '%s'", value->GetName().c_str(),
                                   GetName().c_str()));
  if (value == FActivePage)
    return;
  TTabSheet* old = FActivePage;
  FActivePage = value;
  if (value) {
    Realign();
    value->BringToFront();
    value->SetVisible(true);
    if (HandleAllocated())
      SendMessageA(GetHandle(), TCM_SETCURSEL, value->GetPageIndex(), 0);
  }
  if (!old)
    return;
  // Keys must not go on to a control on a hidden page.
  if (old->HandleAllocated() && IsChild(old->GetHandle(), GetFocus()) && CanFocus())
    SetFocus();
  old->SetVisible(false);
}

void TPageControl::SetActivePageIndex(int value) {
  SetActivePage(value >= 0 && value < GetPageCount() ? FPages[value] : nullptr);
}

void TPageControl::CreateParams(TCreateParams& params) {
  InitializeComCtrls();
  inherited::CreateParams(params);
  CreateSubClass(params, WC_TABCONTROLA);
  params.Style |= TCS_OWNERDRAWFIXED;
}

void TPageControl::CreateWnd() {
  inherited::CreateWnd();
  for (int i = 0; i < GetPageCount(); ++i)
    InsertTab(i, FPages[i]);
  if (FActivePage)
    SendMessageA(GetHandle(), TCM_SETCURSEL, FActivePage->GetPageIndex(), 0);
  Realign();
}

void TPageControl::AdjustClientRect(TRect& rect) {
  if (HandleAllocated()) {
    RECT display = rect;
    SendMessageA(GetHandle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    rect = display;
  }
  inherited::AdjustClientRect(rect);
}

void TPageControl::AlignControls(TControl* control, TRect& rect) {
  inherited::AlignControls(control, rect);
  for (TTabSheet* page : FPages)
    page->SetBoundsRect(rect);
}

void TPageControl::DrawTab(const DRAWITEMSTRUCT& item) {
  const int index = int(item.itemID);
  TTabSheet* page = index >= 0 && index < GetPageCount() ? FPages[index] : nullptr;
  HDC dc = item.hDC;
  TBrushHandle face(CreateSolidBrush(ColorToRGB(page ? page->GetColor() : GetColor())));
  FillRect(dc, &item.rcItem, face.Get());
  if (!page)
    return;
  const WORD hidden = GetUIState();
  TSelectGuard font(dc, GetFont()->GetHandle());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
  RECT text = item.rcItem;
  const bool plain = hidden & UISF_HIDEACCEL;
  const std::string caption = plain ? WithoutAccel(page->GetText()) : page->GetText();
  DrawTextA(dc, caption.c_str(), int(caption.size()), &text,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | (plain ? DT_NOPREFIX : 0));
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  if ((item.itemState & ODS_FOCUS) && Focused() && !(hidden & UISF_HIDEFOCUS)) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
}

void TPageControl::Dispatch(TMessage& message) {
  if (message.Msg == WM_UPDATEUISTATE) {
    inherited::Dispatch(message);
    Invalidate();  // the tabs draw the cues themselves
    return;
  }
  if (message.Msg == CN_DRAWITEM) {
    if (const auto* item = MessageAs<TWMDrawItem>(message).DrawItemStruct)
      DrawTab(*item);
    message.Result = TRUE;
    return;
  }
  if (message.Msg == CN_NOTIFY) {
    const NMHDR* header = MessageAs<TWMNotify>(message).NMHdr;
    if (header->code == UINT(TCN_SELCHANGE)) {
      const int index = int(SendMessageA(GetHandle(), TCM_GETCURSEL, 0, 0));
      if (index >= 0 && index < GetPageCount() && FPages[index] != FActivePage) {
        SetActivePage(FPages[index]);
        Change();
      }
    }
    return;
  }
  inherited::Dispatch(message);
}

// ---- TCustomRichEdit --------------------------------------------------------------------

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  SetBounds(0, 0, 185, 89);
  SetAutoSelect(false);
}

void TCustomRichEdit::CreateParams(TCreateParams& params) {
  NeedRichEdit();
  inherited::CreateParams(params);
  CreateSubClass(params, "RichEdit20A");
  // Multi-line and word-wrapped: no horizontal scrolling.
  params.Style = (params.Style & ~ES_AUTOHSCROLL) | ES_MULTILINE | ES_AUTOVSCROLL;
}

void TCustomRichEdit::CreateWnd() {
  const std::string text = GetStoredText();
  inherited::CreateWnd();
  ++gRichEditWindows;
  HWND wnd = GetHandle();
  // The text mode can only change while the control is empty.
  SetWindowTextA(wnd, "");
  SendMessageA(wnd, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
  SetWindowTextA(wnd, text.c_str());
  SendMessageA(wnd, EM_SETEVENTMASK, 0, ENM_CHANGE);
  SendMessageA(wnd, EM_SETMODIFY, FALSE, 0);
  SetBackgroundColor();
}

void TCustomRichEdit::SetBackgroundColor() {
  SendMessageA(GetHandle(), EM_SETBKGNDCOLOR, 0, ColorToRGB(GetColor()));
}

void TCustomRichEdit::Dispatch(TMessage& message) {
  inherited::Dispatch(message);
  if (message.Msg == WM_NCDESTROY)
    --gRichEditWindows;
  if ((message.Msg == CM_COLORCHANGED || message.Msg == CM_SYSCOLORCHANGE) && HandleAllocated())
    SetBackgroundColor();
}
