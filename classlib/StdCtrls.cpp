#include "classlib/StdCtrls.h"

#include <algorithm>
#include <cassert>

#include "classlib/AliveGuard.h"
#include "classlib/Exceptions.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"

namespace {

bool IsCommand(TMessage& message, WORD code) {
  return message.Msg == CN_COMMAND && MessageAs<TWMCommand>(message).NotifyCode == code;
}

// The size `text` needs in `font` with DrawText `flags`, measured on the screen's DC
// (a control need not have a window to be measured).
SIZE MeasureText(TFont* font, const std::string& text, int flags, int width) {
  TClientDC dc(nullptr);
  TSelectGuard selected(dc, font->GetHandle());
  RECT r{0, 0, width, 0};
  DrawTextA(dc, text.c_str(), int(text.size()), &r, flags | DT_CALCRECT);
  return SIZE{r.right, r.bottom};
}

// Ticks or clears a check box or radio button. The system redraws only the mark and
// toggles the focus rectangle around the text as it does (under Wine a focused box
// lost its rectangle at every other change); the whole button is drawn again then.
void SetButtonCheck(TWinControl* button, WPARAM state) {
  SendMessageA(button->GetHandle(), BM_SETCHECK, state, 0);
  if (button->Focused())
    InvalidateRect(button->GetHandle(), nullptr, TRUE);
}

// `caption` as the system's button draws it without an underline: the accelerator marks
// taken out, a doubled "&" (drawn as one) kept.
std::string WithoutAccelMark(const std::string& caption) {
  std::string text;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      if (caption[i + 1] != '&')
        continue;
      text += caption[i++];
    }
    text += caption[i];
  }
  return text;
}

bool HidesAccelerators(TWinControl* control) { return control && (control->GetUIState() & UISF_HIDEACCEL); }

}  // namespace

// ---- TButtonControl ---------------------------------------------------------------------

void TButtonControl::SendToWindow(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!HandleAllocated())
    return;
  TMessage message{msg, wParam, lParam, 0};
  inherited::DefaultHandler(message);
}

void TButtonControl::UpdateCues() {
  if (!HandleAllocated())
    return;
  const WORD hidden = GetUIState();
  const bool plain = (hidden & UISF_HIDEACCEL) != 0;
  if (plain != FPlainCaption) {
    if (plain)
      SetStoredText(GetText());
    FPlainCaption = plain;
    const std::string caption = plain ? WithoutAccelMark(GetStoredText()) : GetStoredText();
    SendToWindow(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
  }
  const bool focus = Focused() && !(hidden & UISF_HIDEFOCUS);
  if (focus != FWindowFocus) {
    FWindowFocus = focus;
    SendToWindow(focus ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
  }
}

void TButtonControl::CreateWnd() {
  inherited::CreateWnd();
  UpdateCues();
}

void TButtonControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_UPDATEUISTATE:
      inherited::Dispatch(message);
      UpdateCues();
      return;
    case WM_DESTROY:
      // The whole caption stays with the control as the window goes.
      inherited::Dispatch(message);
      FPlainCaption = FWindowFocus = false;
      return;
  }
  inherited::Dispatch(message);
}

void TButtonControl::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case WM_SETFOCUS:
      FWindowFocus = !(GetUIState() & UISF_HIDEFOCUS);
      if (!FWindowFocus) {
        message.Result = 0;
        return;
      }
      break;
    case WM_KILLFOCUS:
      if (!FWindowFocus) {
        message.Result = 0;
        return;
      }
      FWindowFocus = false;
      break;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      // The control keeps the whole caption while the window holds it without its mark.
      if (FPlainCaption) {
        TControl::DefaultHandler(message);
        return;
      }
      break;
    case WM_SETTEXT:
      if (FPlainCaption) {
        TControl::DefaultHandler(message);
        const std::string caption = WithoutAccelMark(GetStoredText());
        SendToWindow(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
        return;
      }
      break;
  }
  inherited::DefaultHandler(message);
}

// ---- TButton ----------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  // Clicks come from BN_CLICKED, not from the mouse handling of TControl.
  SetControlStyle({csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::SetDefault(bool value) {
  if (value == FDefault)
    return;
  FDefault = value;
  if (!HandleAllocated())
    return;
  // Every button of the form works out again which one is active.
  if (TCustomForm* form = GetParentForm(this))
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->GetActiveControl()));
  else
    SetButtonStyle(value);
}

void TButton::SetButtonStyle(bool active) {
  FActive = active;
  if (!HandleAllocated())
    return;
  const bool shown = (GetWindowLongA(GetHandle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  if (shown != active)
    SendMessageA(GetHandle(), BM_SETSTYLE, active ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TCustomForm* form = GetParentForm(this))
      form->SetModalResult(FModalResult);
  inherited::Click();
}

void TButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (IsCommand(message, BN_CLICKED))
        Click();
      return;
    case CM_DIALOGKEY: {
      const auto& key = MessageAs<TCMDialogKey>(message);
      const bool mine = (key.CharCode == VK_RETURN && FActive) || (key.CharCode == VK_ESCAPE && FCancel);
      if (mine && CanFocus()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    }
    case CM_FOCUSCHANGED: {
      TWinControl* focused = MessageAs<TCMFocusChanged>(message).Sender;
      SetButtonStyle(dynamic_cast<TButton*>(focused) ? focused == this : FDefault);
      break;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(MessageAs<TCMDialogChar>(message).CharCode, GetText()) && CanFocus()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
  }
  inherited::Dispatch(message);
}

void TButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, "BUTTON");
  params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  inherited::CreateWnd();
  FActive = FDefault;
}

// ---- TCheckBox --------------------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetControlStyle({csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCheckBox::SetState(TCheckBoxState value) {
  if (value == FState)
    return;
  FState = value;
  if (HandleAllocated())
    SetButtonCheck(this, FState);
  Click();
}

void TCheckBox::SetAlignment(TAlignment value) {
  if (value == FAlignment)
    return;
  FAlignment = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCheckBox::Toggle() { SetChecked(!GetChecked()); }

void TCheckBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (IsCommand(message, BN_CLICKED))
        Toggle();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(MessageAs<TCMDialogChar>(message).CharCode, GetText()) && CanFocus()) {
        message.Result = 1;
        if (Survives(this, [this] { SetFocus(); }))  // OnEnter may free the check box
          Toggle();
        return;
      }
      break;
  }
  inherited::Dispatch(message);
}

void TCheckBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, "BUTTON");
  params.Style |= BS_3STATE;
  if (FAlignment == taLeftJustify)
    params.Style |= BS_LEFTTEXT;
}

void TCheckBox::CreateWnd() {
  inherited::CreateWnd();
  SendMessageA(GetHandle(), BM_SETCHECK, FState, 0);
}

// ---- TRadioButton -----------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool value) {
  if (value == FChecked)
    return;
  FChecked = value;
  SetTabStop(value);
  if (HandleAllocated())
    SetButtonCheck(this, value ? BST_CHECKED : BST_UNCHECKED);
  if (!value)
    return;
  if (TWinControl* parent = GetParent())
    for (int i = 0; i < parent->GetControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(parent->GetControl(i)); other && other != this)
        other->SetChecked(false);
  Click();
}

void TRadioButton::Dispatch(TMessage& message) {
  if (IsCommand(message, BN_CLICKED)) {
    SetChecked(true);
    return;
  }
  if (message.Msg == CN_COMMAND)
    return;
  inherited::Dispatch(message);
}

void TRadioButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, "BUTTON");
  params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
  inherited::CreateWnd();
  SendMessageA(GetHandle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// ---- TListControlStrings ----------------------------------------------------------------

void TListControlStrings::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
}

std::string TListControlStrings::Get(int index) const {
  CheckIndex(index);
  return FItems[index].first;
}

TObject* TListControlStrings::GetObject(int index) const {
  CheckIndex(index);
  return FItems[index].second;
}

void TListControlStrings::PutObject(int index, TObject* object) {
  CheckIndex(index);
  FItems[index].second = object;
}

int TListControlStrings::AddObject(const std::string& s, TObject* object) {
  const int index = GetCount();
  InsertObject(index, s, object);
  return index;
}

void TListControlStrings::InsertObject(int index, const std::string& s, TObject* object) {
  if (index < 0 || index > GetCount())
    ListIndexError(index);
  FItems.insert(FItems.begin() + index, {s, object});
  if (FControl->HandleAllocated())
    SendMessageA(FControl->GetHandle(), FMessages.InsertString, index, reinterpret_cast<LPARAM>(s.c_str()));
}

void TListControlStrings::Delete(int index) {
  CheckIndex(index);
  FItems.erase(FItems.begin() + index);
  if (FControl->HandleAllocated())
    SendMessageA(FControl->GetHandle(), FMessages.DeleteString, index, 0);
}

void TListControlStrings::Clear() {
  FItems.clear();
  Cleared();
  if (FControl->HandleAllocated())
    SendMessageA(FControl->GetHandle(), FMessages.ResetContent, 0, 0);
}

void TListControlStrings::FillWindow(HWND wnd) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    SendMessageA(wnd, FMessages.InsertString, i, reinterpret_cast<LPARAM>(FItems[i].first.c_str()));
}

// ---- TComboBoxStrings -------------------------------------------------------------------

TComboBoxStrings::TComboBoxStrings(TCustomComboBox* comboBox)
    : TListControlStrings(comboBox, {CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT}), FComboBox(comboBox) {}

void TComboBoxStrings::Cleared() { FComboBox->FItemIndex = -1; }

// ---- TCustomComboBox --------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  FItems = new TComboBoxStrings(this);
}

TCustomComboBox::~TCustomComboBox() {
  DestroyHandle();
  delete FItems;
}

int TCustomComboBox::GetItemIndex() {
  if (HandleAllocated())
    return int(SendMessageA(GetHandle(), CB_GETCURSEL, 0, 0));
  return FItemIndex;
}

void TCustomComboBox::SetItemIndex(int value) {
  if (value < -1 || value >= FItems->GetCount())
    value = -1;
  FItemIndex = value;
  if (HandleAllocated())
    SendMessageA(GetHandle(), CB_SETCURSEL, value, 0);
  else if (value >= 0)
    SetStoredText(FItems->Get(value));
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == FStyle)
    return;
  FStyle = value;
  if (HandleAllocated())
    RecreateWnd();
}

bool TCustomComboBox::GetDroppedDown() {
  return HandleAllocated() && SendMessageA(GetHandle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) {
  SendMessageA(GetHandle(), CB_SHOWDROPDOWN, value, 0);
}

void TCustomComboBox::Change() { OnChange(this); }

void TCustomComboBox::Select() {
  if (Survives(this, OnSelect))
    Change();
}

void TCustomComboBox::Dispatch(TMessage& message) {
  if (message.Msg == CM_WANTSPECIALKEY) {
    const WPARAM key = message.WParam;
    if ((key == VK_RETURN || key == VK_ESCAPE) && GetDroppedDown()) {
      message.Result = 1;  // the open list takes them: they close it
      return;
    }
  }
  if (message.Msg == CN_COMMAND) {
    switch (MessageAs<TWMCommand>(message).NotifyCode) {
      case CBN_SELCHANGE:
        FItemIndex = GetItemIndex();
        Select();
        break;
      case CBN_EDITCHANGE:
        Change();
        break;
      case CBN_DROPDOWN:
        OnDropDown(this);
        break;
      case CBN_CLOSEUP:
        OnCloseUp(this);
        break;
      case CBN_SELENDOK:
        OnSelEndOk(this);
        break;
      case CBN_SELENDCANCEL:
        OnSelEndCancel(this);
        break;
    }
    return;
  }
  inherited::Dispatch(message);
}

void TCustomComboBox::DefaultHandler(TMessage& message) {
  // What is left of a typed character after OnKeyPress. The system's list takes it as a
  // choice and closes (it sets its "keep open" mark for the arrow keys only).
  const bool letterInDroppedList = message.Msg == WM_CHAR && FStyle == csDropDownList &&
                                   uint8_t(message.WParam) >= ' ' && GetDroppedDown();
  if (!letterInDroppedList) {
    inherited::DefaultHandler(message);
    return;
  }
  StepToLetter(char(message.WParam));
  message.Result = 0;
}

void TCustomComboBox::StepToLetter(char letter) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(GetHandle(), &info) || !info.hwndList)
    return;
  const char text[2] = {letter, '\0'};
  // From the entry after the selected one, round the end, as the list searches.
  const LRESULT current = SendMessageA(info.hwndList, LB_GETCARETINDEX, 0, 0);
  const LRESULT found = SendMessageA(info.hwndList, LB_FINDSTRING, WPARAM(current), reinterpret_cast<LPARAM>(text));
  if (found == LB_ERR || found == SendMessageA(info.hwndList, LB_GETCURSEL, 0, 0))
    return;
  SendMessageA(info.hwndList, LB_SETCURSEL, WPARAM(found), 0);
  // The box's own face shows the selected entry.
  InvalidateRect(GetHandle(), nullptr, FALSE);
  FItemIndex = int(found);
  Select();
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, "COMBOBOX");
  static constexpr DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST};
  params.Style |= styles[FStyle] | WS_VSCROLL | CBS_AUTOHSCROLL;
  // The drop-down list's height is part of the window's height.
  params.Height = GetHeight() + FDropDownCount * FDropDownItemHeight;
}

void TCustomComboBox::ChangeScale(int M, int D) {
  inherited::ChangeScale(M, D);
  FDropDownItemHeight = MulDiv(FDropDownItemHeight, M, D);
}

void TCustomComboBox::CreateWnd() {
  const std::string text = GetStoredText();
  inherited::CreateWnd();
  FItems->FillWindow(GetHandle());
  if (FItemIndex >= 0)
    SendMessageA(GetHandle(), CB_SETCURSEL, FItemIndex, 0);
  else if (FStyle != csDropDownList)
    SetWindowTextA(GetHandle(), text.c_str());
}

void TCustomComboBox::DestroyWnd() {
  FItemIndex = GetItemIndex();
  inherited::DestroyWnd();
}

// ---- TListBoxStrings -------------------------------------------------------------------

TListBoxStrings::TListBoxStrings(TCustomListBox* listBox)
    : TListControlStrings(listBox, {LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT}), FListBox(listBox) {}

void TListBoxStrings::Cleared() { FListBox->FItemIndex = -1; }

// ---- TCustomListBox ---------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner) {
  // Clicks come from LBN_SELCHANGE, not from the mouse handling of TControl.
  SetControlStyle({csSetCaption, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FItems = std::make_unique<TListBoxStrings>(this);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
}

TCustomListBox::~TCustomListBox() {
  DestroyHandle();
}

int TCustomListBox::GetItemIndex() {
  if (HandleAllocated())
    return int(SendMessageA(GetHandle(), LB_GETCURSEL, 0, 0));
  return FItemIndex;
}

void TCustomListBox::SetItemIndex(int value) {
  if (value < -1 || value >= FItems->GetCount())
    value = -1;
  FItemIndex = value;
  if (HandleAllocated())
    SendMessageA(GetHandle(), LB_SETCURSEL, value, 0);
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  if (value == FStyle)
    return;
  FStyle = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomListBox::SetItemHeight(int value) {
  if (value <= 0 || value == FItemHeight)
    return;
  FItemHeight = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool value) {
  if (value == FIntegralHeight)
    return;
  FIntegralHeight = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle)
    return;
  FBorderStyle = value;
  if (HandleAllocated())
    RecreateWnd();
}

TRect TCustomListBox::ItemRect(int index) {
  RECT r{};
  if (index < 0 || index >= FItems->GetCount() ||
      SendMessageA(GetHandle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) == LB_ERR)
    return TRect{};
  return r;
}

int TCustomListBox::ItemAtPos(const TPoint& pos, bool existing) {
  const int count = FItems->GetCount();
  const TRect client = GetClientRect();
  if (PtInRect(&client, pos))
    for (int i = int(SendMessageA(GetHandle(), LB_GETTOPINDEX, 0, 0)); i >= 0 && i < count; ++i) {
      const TRect r = ItemRect(i);
      if (r.top >= client.bottom)
        break;
      if (PtInRect(&r, pos))
        return i;
    }
  return existing ? -1 : count;
}

void TCustomListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem.Assigned()) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  FCanvas->FillRect(rect);
  if (index >= 0 && index < FItems->GetCount())
    FCanvas->TextOut(rect.left + 2, rect.top, FItems->Get(index));
}

void TCustomListBox::MeasureItem(int index, int& height) { OnMeasureItem(this, index, height); }

void TCustomListBox::ChangeScale(int M, int D) {
  inherited::ChangeScale(M, D);
  SetItemHeight(MulDiv(FItemHeight, M, D));
}

void TCustomListBox::CNDrawItem(TMessage& message) {
  const DRAWITEMSTRUCT& item = *MessageAs<TWMDrawItem>(message).DrawItemStruct;
  TOwnerDrawState state;
  for (int flag = odSelected; flag <= odComboBoxEdit; ++flag)
    if (item.itemState & (1u << flag))
      state.Include(TOwnerDrawStateFlag(flag));
  const int index = int(item.itemID);
  const TRect rect = item.rcItem;
  TCanvasPaintScope scope(FCanvas.get(), item.hDC);
  FCanvas->SetFont(GetFont());
  if (state.Contains(odSelected)) {
    FCanvas->GetBrush()->SetColor(clHighlight);
    FCanvas->GetFont()->SetColor(clHighlightText);
  } else {
    FCanvas->GetBrush()->SetColor(GetColor());
  }
  if (index >= 0)
    DrawItem(index, rect, state);
  else
    FCanvas->FillRect(rect);
  if (state.Contains(odFocused))
    FCanvas->DrawFocusRect(rect);
  message.Result = TRUE;
}

void TCustomListBox::CNMeasureItem(TMessage& message) {
  MEASUREITEMSTRUCT& item = *MessageAs<TWMMeasureItem>(message).MeasureItemStruct;
  int height = FItemHeight;
  if (FStyle == lbOwnerDrawVariable)
    MeasureItem(int(item.itemID), height);
  item.itemHeight = UINT(std::max(height, 1));
  message.Result = TRUE;
}

void TCustomListBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (IsCommand(message, LBN_SELCHANGE)) {
        FItemIndex = GetItemIndex();
        Click();
      }
      return;
    case CN_DRAWITEM:
      CNDrawItem(message);
      return;
    case CN_MEASUREITEM:
      CNMeasureItem(message);
      return;
  }
  inherited::Dispatch(message);
}

void TCustomListBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, "LISTBOX");
  static constexpr DWORD styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE};
  params.Style |= styles[FStyle] | LBS_HASSTRINGS | LBS_NOTIFY | WS_VSCROLL;
  if (!FIntegralHeight)
    params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FBorderStyle == bsSingle)
    params.Style |= WS_BORDER;
}

void TCustomListBox::CreateWnd() {
  inherited::CreateWnd();
  FItems->FillWindow(GetHandle());
  if (FItemIndex >= 0)
    SendMessageA(GetHandle(), LB_SETCURSEL, FItemIndex, 0);
}

void TCustomListBox::DestroyWnd() {
  FItemIndex = GetItemIndex();
  inherited::DestroyWnd();
}

// ---- TCustomEdit ------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
}

void TCustomEdit::SetReadOnly(bool value) {
  FReadOnly = value;
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetMaxLength(int value) {
  FMaxLength = value;
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_LIMITTEXT, value, 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle)
    return;
  FBorderStyle = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::Change() { OnChange(this); }

void TCustomEdit::Dispatch(TMessage& message) {
  if (message.Msg == CN_COMMAND) {
    if (MessageAs<TWMCommand>(message).NotifyCode == EN_CHANGE)
      Change();
    return;
  }
  inherited::Dispatch(message);
  if (message.Msg == WM_SETFOCUS && FAutoSelect)
    SelectAll();
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, "EDIT");
  params.Style |= ES_AUTOHSCROLL;
  if (FReadOnly)
    params.Style |= ES_READONLY;
  if (FBorderStyle == bsSingle)
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  inherited::CreateWnd();
  if (FMaxLength > 0)
    SendMessageA(GetHandle(), EM_LIMITTEXT, FMaxLength, 0);
}

// ---- TCustomLabel -----------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(GetControlStyle() + TControlStyle{csOpaque});
  SetBounds(0, 0, 65, 17);
  TControl::SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  FAlignment = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == FWordWrap)
    return;
  FWordWrap = value;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == FTransparent)
    return;
  FTransparent = value;
  SetControlStyle(value ? GetControlStyle() - TControlStyle{csOpaque} : GetControlStyle() + TControlStyle{csOpaque});
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  FShowAccelChar = value;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
  ReplaceReference(FFocusControl, value);
}

void TCustomLabel::SetAutoSize(bool value) {
  inherited::SetAutoSize(value);
  AdjustSize();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == FFocusControl)
    FFocusControl = nullptr;
}

int TCustomLabel::TextFlags() const {
  static constexpr int alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  int flags = DT_EXPANDTABS | alignments[FAlignment];
  if (FWordWrap)
    flags |= DT_WORDBREAK;
  if (!FShowAccelChar)
    flags |= DT_NOPREFIX;
  return DrawTextBiDiModeFlags(flags);
}

bool TCustomLabel::CanAutoSize(int& newWidth, int& newHeight) {
  std::string text = GetStoredText();
  if (text.empty() || (FShowAccelChar && text == "&"))
    text.assign(1, ' ');  // an empty label keeps a line's height
  const SIZE size = MeasureText(GetFont(), text, TextFlags(), FWordWrap ? GetWidth() : 0);
  newWidth = FWordWrap ? GetWidth() : size.cx;
  newHeight = size.cy;
  return true;
}

void TCustomLabel::Paint() {
  TCanvas* canvas = GetCanvas();
  const TRect client = GetClientRect();
  if (!FTransparent) {
    // Solid again: the text below leaves the brush clear, and setting the same colour
    // does not change its style.
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(client);
  }
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->SetFont(GetFont());
  canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
  int flags = TextFlags();
  const std::string text = ShownText(flags);
  RECT r = client;
  if (!GetEnabled()) {
    OffsetRect(&r, 1, 1);
    SetTextColor(canvas->GetHandle(), ColorToRGB(clBtnHighlight));
    DrawTextA(canvas->GetHandle(), text.c_str(), int(text.size()), &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(canvas->GetHandle(), ColorToRGB(clBtnShadow));
  }
  DrawTextA(canvas->GetHandle(), text.c_str(), int(text.size()), &r, flags);
}

std::string TCustomLabel::ShownText(int& flags) {
  if (!FShowAccelChar || !HidesAccelerators(GetParent()))
    return GetStoredText();
  flags |= DT_NOPREFIX;
  return WithoutAccel(GetStoredText());
}

void TCustomLabel::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      inherited::Dispatch(message);
      AdjustSize();
      Invalidate();
      return;
    case WM_UPDATEUISTATE:
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl && GetEnabled() && FShowAccelChar &&
          IsAccel(MessageAs<TCMDialogChar>(message).CharCode, GetStoredText()) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        message.Result = 1;
        return;
      }
      break;
  }
  inherited::Dispatch(message);
}

// ---- TCustomGroupBox --------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) {
  inherited::AdjustClientRect(rect);
  InflateRect(&rect, -1, -1);
  rect.top += MeasureText(GetFont(), "0", DT_SINGLELINE, 0).cy;
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  const int textHeight = canvas->TextHeight("0");
  TRect r = GetClientRect();
  r.top += textHeight / 2;
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(GetClientRect());
  RECT edge = r;
  DrawEdge(canvas->GetHandle(), &edge, EDGE_ETCHED, BF_RECT);
  const std::string text = GetText();
  if (text.empty())
    return;
  canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
  RECT textRect{8, 0, 8, textHeight};
  DrawTextA(canvas->GetHandle(), text.c_str(), int(text.size()), &textRect, DT_SINGLELINE | DT_CALCRECT);
  canvas->FillRect(TRect{textRect.left - 1, 0, textRect.right + 1, textHeight});
  DrawTextA(canvas->GetHandle(), text.c_str(), int(text.size()), &textRect, DT_SINGLELINE);
}

void TCustomGroupBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      inherited::Dispatch(message);
      Realign();
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(MessageAs<TCMDialogChar>(message).CharCode, GetText()) && CanFocus()) {
        SelectNext(nullptr, true, true);
        message.Result = 1;
        return;
      }
      break;
  }
  inherited::Dispatch(message);
}
