// Decisions taken here:
// - The menu items take their button's state by the button they stand for (their Tag),
//   whatever buttons the menu was built from. Fixed item positions pointed at other
//   items, or past the end, as soon as the button set was not the default one.
// - The custom button's item is mirrored too (it is always enabled), like the others.
// - The window is shown and hidden with ShowWindow only; the form's Visible and its
//   showing logic stay out of it, so that showing never activates it.
#include "editors/DxPopupToolBar.h"

#include <algorithm>
#include <cassert>

#include "classlib/Clipboard.h"
#include "classlib/GdiHandles.h"
#include "editors/DxInplaceGraphicEdit.h"
#include "editors/DxUtils.h"

namespace {

constexpr int sdxToolBoxCaption = 38926;  // "Toolbox"
constexpr int kItemHeight = 22;
constexpr int kButtonMargin = 4;

bool IsVertical(TdxPopupToolBarAlignment alignment) { return alignment == ptaLeft || alignment == ptaRight; }

// Where a window of `size` goes on one axis beside an editor at `anchor` of
// `editorSize`: before it (`before`) unless that leaves the work area (`low`), else
// after it unless that leaves the work area (`high`); the other side otherwise.
int PlaceOnAxis(bool before, int anchor, int editorSize, int size, int low, int high) {
  const int ahead = anchor - size, behind = anchor + editorSize;
  if (before)
    return ahead < low ? behind : ahead;
  return behind + size > high ? ahead : behind;
}

// Image `index` of the tool glyphs on the button face; the face colour stays the
// transparent colour the button draws around.
void LoadToolGlyph(TBitmap* glyph, int index) {
  TImageList* images = DxToolGlyphs();
  const int width = images && images->GetCount() > 0 ? images->GetWidth() : 16;
  const int height = images && images->GetCount() > 0 ? images->GetHeight() : 16;
  glyph->SetSize(width, height);
  TCanvas* canvas = glyph->GetCanvas();
  canvas->GetBrush()->SetColor(clBtnFace);
  canvas->FillRect(Rect(0, 0, width, height));
  if (images && index < images->GetCount())
    images->Draw(canvas, 0, 0, index);
}

}  // namespace

// ---- TdxPopupToolBar ----------------------------------------------------------------

TdxPopupToolBar::TdxPopupToolBar(TComponent* AOwner) : TForm(AOwner), FPasteFormat(CF_PICTURE()) {
  SetBorderIcons({biSystemMenu});
  SetBorderStyle(bsToolWindow);
  SetCaption(DxLoadStr(sdxToolBoxCaption));
  SetFormStyle(fsStayOnTop);
  SetShowHint(true);
  const TDxToolTexts& captions = DxToolCaptions();
  const TDxToolTexts& hints = DxToolHints();
  for (int i = 0; i < kDxToolButtonCount; ++i) {
    auto* button = new TSpeedButton(this);
    FButtonControls[i] = button;
    button->SetCaption(captions[size_t(i)]);
    button->SetHint(hints[size_t(i)]);
    TBitmap glyph;
    LoadToolGlyph(&glyph, i);
    button->SetGlyph(&glyph);
    button->SetFlat(true);
    button->SetMargin(kButtonMargin);
    button->SetParent(this);
    button->OnClick = TNotifyEvent::Bind<&TdxPopupToolBar::ButtonClick>(this);
  }
  Relayout();
}

TdxPopupToolBar::~TdxPopupToolBar() {
  Destroying();
  if (HandleAllocated())
    LeaveClipboardChain();
  delete FPopupMenu;
  FPopupMenu = nullptr;
}

TSpeedButton* TdxPopupToolBar::GetButton(int index) const {
  assert(index >= 0 && index < kDxToolButtonCount && "a tool-bar button index");
  return FButtonControls[index];
}

void TdxPopupToolBar::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.WindowClass.style |= CS_SAVEBITS;
}

void TdxPopupToolBar::CreateWnd() {
  inherited::CreateWnd();
  HWND wnd = GetHandle();
  FInClipboardChain = true;
  FNextClipboardViewer = SetClipboardViewer(wnd);
  if (HMENU menu = GetSystemMenu(wnd, FALSE)) {
    for (UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
      DeleteMenu(menu, command, MF_BYCOMMAND);
  }
}

void TdxPopupToolBar::DestroyWnd() {
  LeaveClipboardChain();
  inherited::DestroyWnd();
}

void TdxPopupToolBar::LeaveClipboardChain() {
  if (!FInClipboardChain)
    return;
  FInClipboardChain = false;
  ChangeClipboardChain(GetHandle(), FNextClipboardViewer);
  FNextClipboardViewer = nullptr;
}

// ---- Showing and placing ------------------------------------------------------------

void TdxPopupToolBar::ShowToolBar() {
  if (!FVisibleWanted || FClosed)
    return;
  HWND wnd = GetHandle();
  SendMessageA(wnd, WM_NCACTIVATE, 1, 0);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TdxPopupToolBar::HideToolBar() {
  if (HandleAllocated())
    ShowWindow(GetHandle(), SW_HIDE);
}

bool TdxPopupToolBar::Showing() { return HandleAllocated() && IsWindowVisible(GetHandle()); }

void TdxPopupToolBar::PlaceBeside(const TPoint& point) {
  auto* editor = ObjectAs<TControl>(GetOwner());
  const int editorWidth = editor ? editor->GetWidth() : 0;
  const int editorHeight = editor ? editor->GetHeight() : 0;
  TRect area;
  GetWorkArea(point, area);
  const int width = GetWidth(), height = GetHeight();
  int x = point.x, y = point.y;
  if (IsVertical(FAlignment))
    x = PlaceOnAxis(FAlignment == ptaLeft, point.x, editorWidth, width, area.left, area.right);
  else
    y = PlaceOnAxis(FAlignment == ptaTop, point.y, editorHeight, height, area.top, area.bottom);
  x = std::max(std::min(x, int(area.right) - width), int(area.left));
  y = std::max(std::min(y, int(area.bottom) - height), int(area.top));
  SetBounds(x, y, width, height);
}

// ---- Layout and states --------------------------------------------------------------

void TdxPopupToolBar::SetAlignment(TdxPopupToolBarAlignment value) {
  if (value == FAlignment)
    return;
  FAlignment = value;
  Relayout();
}

void TdxPopupToolBar::SetButtons(TdxPopupToolBarButtons value) {
  if (value == FButtons)
    return;
  FButtons = value;
  Relayout();
}

void TdxPopupToolBar::SetShowCaptions(bool value) {
  if (value == FShowCaptions)
    return;
  FShowCaptions = value;
  Relayout();
}

void TdxPopupToolBar::SetCustomCaption(const std::string& value) {
  FCustomCaption = value;
  Relayout();
}

void TdxPopupToolBar::SetCustomGlyph(TBitmap* value) {
  if (value && !value->GetEmpty()) {
    FButtonControls[ptbCustom]->SetGlyph(value);
    return;
  }
  TBitmap blank;
  LoadToolGlyph(&blank, ptbCustom);
  FButtonControls[ptbCustom]->SetGlyph(&blank);
}

void TdxPopupToolBar::SetPopupMenu(TPopupMenu* value) {
  if (value == FPopupMenu)
    return;
  delete FPopupMenu;
  FPopupMenu = value;
}

void TdxPopupToolBar::Relayout() {
  const bool captions = FShowCaptions && IsVertical(FAlignment);
  int height = kItemHeight;
  TClientDC screen(nullptr);
  const TSelectGuard font(screen, GetFont()->GetHandle());
  auto textWidth = [&](const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(screen, text.c_str(), int(text.size()), &size);
    return size;
  };
  if (captions)
    height = std::max(height, int(textWidth("Wg").cy) + 9);
  int width = height + 1;
  int widest = 0, count = 0;
  const TDxToolTexts& texts = DxToolCaptions();
  for (int i = 0; i < kDxToolButtonCount; ++i) {
    if (!FButtons.Contains(TdxPopupToolBarButton(i)))
      continue;
    const std::string caption = !captions ? std::string() : i == ptbCustom ? FCustomCaption : texts[size_t(i)];
    FButtonControls[i]->SetCaption(caption);
    widest = std::max(widest, int(textWidth(caption).cx));
    ++count;
  }
  if (IsVertical(FAlignment)) {
    if (widest != 0)
      width += widest;
    SetClientWidth(width);
    SetClientHeight(count * height);
  } else {
    SetClientHeight(height);
    SetClientWidth(width * count);
  }
  int x = 0, y = 0;
  for (int i = 0; i < kDxToolButtonCount; ++i) {
    TSpeedButton* button = FButtonControls[i];
    if (!FButtons.Contains(TdxPopupToolBarButton(i))) {
      button->SetVisible(false);
      continue;
    }
    button->SetBounds(x, y, width, height);
    button->SetVisible(true);
    if (IsVertical(FAlignment))
      y += height;
    else
      x += width;
  }
  UpdateButtonStates();
}

void TdxPopupToolBar::UpdateButtonStates() {
  const bool picture = !FPictureEmpty;
  const bool canPaste = !FReadOnly && Clipboard()->HasFormat(FPasteFormat);
  const bool enabled[kDxToolButtonCount] = {picture && !FReadOnly, picture, canPaste, picture && !FReadOnly,
                                            !FReadOnly, picture, true};
  for (int i = 0; i < kDxToolButtonCount; ++i)
    FButtonControls[i]->SetEnabled(enabled[i]);
  if (!FIsPopupMenu || !FPopupMenu)
    return;
  TMenuItem* items = FPopupMenu->GetItems();
  for (int i = 0; i < items->GetCount(); ++i) {
    TMenuItem* item = items->GetItem(i);
    const int button = item->GetTag();
    if (!item->IsLine() && button >= 0 && button < kDxToolButtonCount)
      item->SetEnabled(enabled[button]);
  }
}

void TdxPopupToolBar::ButtonClick(TObject* sender) {
  for (int i = 0; i < kDxToolButtonCount; ++i) {
    if (FButtonControls[i] == sender) {
      OnButtonClick(this, i);
      return;
    }
  }
}

// ---- Messages -----------------------------------------------------------------------

void TdxPopupToolBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ACTIVATE: WMActivate(message); return;
    case WM_CHANGECBCHAIN: WMChangeCBChain(message); return;
    case WM_DRAWCLIPBOARD: WMDrawClipboard(message); return;
    case WM_KILLFOCUS: WMKillFocus(message); return;
    case WM_CLOSE: WMClose(message); return;
    case WM_MOUSEACTIVATE: message.Result = MA_NOACTIVATE; return;
    case WM_NCDESTROY:
      LeaveClipboardChain();
      break;
    case CM_SHOWINGCHANGED: return;  // the tool bar shows and hides itself
  }
  inherited::Dispatch(message);
}

void TdxPopupToolBar::WMActivate(TMessage& message) {
  // The editor's form keeps an active caption while the tool bar is used.
  if (auto* editor = ObjectAs<TControl>(GetOwner()))
    if (TCustomForm* form = GetParentForm(editor); form && form->HandleAllocated())
      SendMessageA(form->GetHandle(), WM_NCACTIVATE, 1, 0);
  inherited::Dispatch(message);
  UpdateButtonStates();
}

void TdxPopupToolBar::WMChangeCBChain(TMessage& message) {
  const auto removed = reinterpret_cast<HWND>(message.WParam);
  if (removed == FNextClipboardViewer) {
    FNextClipboardViewer = reinterpret_cast<HWND>(message.LParam);
    return;
  }
  if (FNextClipboardViewer)
    SendMessageA(FNextClipboardViewer, message.Msg, message.WParam, message.LParam);
}

void TdxPopupToolBar::WMDrawClipboard(TMessage& message) {
  UpdateButtonStates();
  if (FNextClipboardViewer)
    SendMessageA(FNextClipboardViewer, message.Msg, message.WParam, message.LParam);
}

void TdxPopupToolBar::WMKillFocus(TMessage& message) {
  inherited::Dispatch(message);
  auto* editor = ObjectAs<TWinControl>(GetOwner());
  const auto focused = reinterpret_cast<HWND>(message.WParam);
  if (!editor || !editor->HandleAllocated() || focused != editor->GetHandle())
    HideToolBar();
}

void TdxPopupToolBar::WMClose(TMessage& message) {
  inherited::Dispatch(message);
  FClosed = true;
  HideToolBar();
}

// ---- TdxPopupToolBarWindow ----------------------------------------------------------

TdxPopupToolBarWindow::~TdxPopupToolBarWindow() { delete FCustomButtonGlyph; }

TBitmap* TdxPopupToolBarWindow::GetCustomButtonGlyph() {
  if (!FCustomButtonGlyph)
    FCustomButtonGlyph = new TBitmap;
  return FCustomButtonGlyph;
}

void TdxPopupToolBarWindow::SetCustomButtonGlyph(TBitmap* value) {
  if (!value) {
    delete FCustomButtonGlyph;
    FCustomButtonGlyph = nullptr;
    return;
  }
  GetCustomButtonGlyph()->Assign(value);
}

void TdxPopupToolBarWindow::SetIsPopupMenu(bool value) {
  FIsPopupMenu = value;
  if (FEditor)
    FEditor->GetToolBar()->SetIsPopupMenu(value);
}

void TdxPopupToolBarWindow::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxPopupToolBarWindow>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  FAlignment = other->FAlignment;
  FButtons = other->FButtons;
  FCustomButtonCaption = other->FCustomButtonCaption;
  SetCustomButtonGlyph(other->FCustomButtonGlyph);
  SetIsPopupMenu(other->FIsPopupMenu);
  FShowCaptions = other->FShowCaptions;
  FVisible = other->FVisible;
}
