// Decisions taken here:
// - The frame and shadow are taken off the window first and the list box's own
//   non-client handling then places its scroll bar inside them, so the scroll bar
//   never covers the border.
// - A list opened for an editor gets the size of its rows and texts as its client
//   area, with its frame, shadow and (when it scrolls) scroll bar added around it: a
//   window of only the rows' height hid the last row behind the frame and a scroll
//   bar. A width the user asks for (DropDownWidth) is the window's.
#include "editors/DxPopupListBox.h"

#include <algorithm>
#include <cassert>

#include "classlib/AliveGuard.h"
#include "classlib/GdiHandles.h"
#include "editors/DxInplaceDropDownEdit.h"
#include "editors/DxInplacePopupControl.h"

bool DxTextStartsWith(const std::string& text, const std::string& prefix) {
  if (prefix.empty() || text.size() < prefix.size())
    return false;
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.data(), int(prefix.size()), prefix.data(),
                        int(prefix.size())) == CSTR_EQUAL;
}

TCustomdxPopupListBox::TCustomdxPopupListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
  SetStyle(lbOwnerDrawVariable);
}

void TCustomdxPopupListBox::SetPopupBorder(TdxPopupBorder value) {
  if (FPopupBorder == value)
    return;
  FPopupBorder = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomdxPopupListBox::SetShadow(bool value) {
  if (FShadow == value)
    return;
  FShadow = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomdxPopupListBox::SetShadowSize(int value) {
  if (FShadowSize == value)
    return;
  FShadowSize = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomdxPopupListBox::FrameSize(int& clientWidth, int& clientHeight, bool scrolls) const {
  const int border = 2 * TdxInplacePopupControl::BorderWidth(FPopupBorder);
  const int shadow = FShadow ? FShadowSize : 0;
  clientWidth += border + shadow + (scrolls ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  clientHeight += border + shadow;
}

bool TCustomdxPopupListBox::FocusEditor() {
  assert(FEditor && "a popup list drops down from its editor");
  if (FEditor->HandleAllocated() && ::GetFocus() != FEditor->GetHandle())
    ::SetFocus(FEditor->GetHandle());
  return FEditor->HandleAllocated() && ::GetFocus() == FEditor->GetHandle();
}

void TCustomdxPopupListBox::PrepareForEditor() {
  assert(FEditor && "a popup list drops down from its editor");
  SetParent(FEditor);
  SetColor(FEditor->GetColor());
  SetFont(FEditor->GetFont());
  SetPopupBorder(FEditor->GetPopupBorder());
  SetShadow(FEditor->GetStyle()->GetShadow());
  HandleNeeded();
}

void TCustomdxPopupListBox::ShowForEditor(int textWidth, int itemIndex) {
  assert(FEditor && "a popup list drops down from its editor");
  const int count = GetItems()->GetCount();
  const int rows = std::min(count, int(FEditor->DropDownRows));
  int width = textWidth;
  int height = rows * FLastItemHeight;
  FrameSize(width, height, count > rows);
  if (FEditor->DropDownWidth != 0)
    width = FEditor->DropDownWidth;
  SetBounds(GetLeft(), GetTop(), width, height);
  SetItemIndex(itemIndex);
  FEditor->PositionPopup(this, true);
  // A child window (as the list was made) is never top-most; on the desktop it can be.
  SetWindowPos(GetHandle(), HWND_TOPMOST, GetLeft(), GetTop(), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TCustomdxPopupListBox::HideForEditor() {
  if (HWND capture = GetCapture())
    SendMessageA(capture, WM_CANCELMODE, 0, 0);
  if (FEditor)
    FEditor->FocusEditor();
  if (HandleAllocated())
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void TCustomdxPopupListBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style &= ~DWORD(WS_BORDER);
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  params.WindowClass.style |= CS_SAVEBITS;
}

void TCustomdxPopupListBox::CreateWnd() {
  inherited::CreateWnd();
  // Off the editor's form onto the desktop; the list keeps the editor as the owner of
  // its notifications. It believes it has the focus, so it draws its selection so.
  ::SetParent(GetHandle(), nullptr);
  TMessage setFocus{WM_SETFOCUS, 0, 0, 0};
  DefaultHandler(setFocus);
}

void TCustomdxPopupListBox::MouseMove(TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseMove(shift, x, y); }) || !FHotTrack)
    return;
  const int index = ItemAtPos(TPoint{x, y}, true);
  if (index >= 0 && index != GetItemIndex())
    SetItemIndex(index);
}

SIZE TCustomdxPopupListBox::TextExtent(const std::string& text) {
  TClientDC screen(nullptr);
  TSelectGuard font(screen.Get(), GetFont()->GetHandle());
  SIZE extent{};
  GetTextExtentPoint32A(screen.Get(), text.data(), int(text.size()), &extent);
  return extent;
}

int TCustomdxPopupListBox::GetMaxItemWidth() {
  int width = 0;
  for (int i = 0; i < GetItems()->GetCount(); ++i)
    width = std::max(width, int(TextExtent(GetItems()->Get(i)).cx));
  return width;
}

void TCustomdxPopupListBox::MeasureItem(int index, int& height) {
  inherited::MeasureItem(index, height);
  height = TextExtent("Wg").cy;
}

void TCustomdxPopupListBox::WMNCCalcSize(TMessage& message) {
  DxPopupFrameCalcSize(*reinterpret_cast<RECT*>(message.LParam), FPopupBorder, FShadow, FShadowSize);
  inherited::Dispatch(message);
}

void TCustomdxPopupListBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_NCCALCSIZE: WMNCCalcSize(message); return;
    case WM_NCPAINT:
      inherited::Dispatch(message);
      DxPopupFramePaint(GetHandle(), FPopupBorder, FShadow, FShadowSize);
      return;
    case WM_SIZE:
      if (!Survives(this, [&] { inherited::Dispatch(message); }))
        return;
      DxPopupFrameShape(GetHandle(), FShadow, FShadowSize);
      DxPopupFramePaint(GetHandle(), FPopupBorder, FShadow, FShadowSize);
      return;
    case CN_MEASUREITEM:
      inherited::Dispatch(message);
      FLastItemHeight = int32_t(MessageAs<TWMMeasureItem>(message).MeasureItemStruct->itemHeight);
      return;
    case CM_HINTSHOW: message.Result = 1; return;
  }
  inherited::Dispatch(message);
}
