#include "skin/KsMenuForm.h"

#include "classlib/Boundary.h"
#include "skin/KsBitmap.h"
#include "skin/KsItems.h"

namespace {

TKsColor SysOpaque(TColor color) { return ColorToKsColor(color, 255); }

}  // namespace

// ---- TKsPopupView ------------------------------------------------------------------------

TKsPopupView::TKsPopupView(TKsPopupWindow* AOwner)
    : TKsItemView(AOwner, /*horizontal=*/false, /*rowLayout=*/false), FHostWindow(AOwner) {}

void TKsPopupView::SetViewSize(TPoint size) {
  auto* skinner = static_cast<TKsPopupForm*>(FHostWindow->GetSkinner());
  if (!skinner)
    return;
  // The margins are those of a large frame: the border does not depend on the size.
  const TRect client = TKsPopupForm::FrameClientRectFor(1000, 1000);
  const int shadow = skinner->GetDropShadow() ? skinner->GetShadowWidth() : 0;
  FHostWindow->SetBounds(FHostWindow->GetLeft(), FHostWindow->GetTop(),
                         size.x + client.left + (1000 - client.right) + shadow,
                         size.y + client.top + (1000 - client.bottom) + shadow);
}

void TKsPopupView::SetViewPos(TPoint point) {
  const TRect client = TKsPopupForm::FrameClientRectFor(1000, 1000);
  FHostWindow->SetBounds(point.x - client.left, point.y - client.top, FHostWindow->GetWidth(),
                         FHostWindow->GetHeight());
}

void TKsPopupView::InvalidateView() { FHostWindow->Invalidate(); }

// ---- TKsPopupWindow ----------------------------------------------------------------------

TKsPopupWindow::TKsPopupWindow(TComponent* AOwner) : TForm(AOwner) {}

TKsPopupWindow::~TKsPopupWindow() {
  FreeAndNil(FView);
  FreeAndNil(FForm);
}

const TComponentClass* TKsPopupWindow::GetPopupFormClass() const {
  return &TKsPopupForm::MetaClass();
}

void TKsPopupWindow::InitPopup(TComponent* AOwner, TKsCustomItem* AItem, TKsItemView* AView) {
  auto* skinner = static_cast<TKsPopupForm*>(GetPopupFormClass()->Create(this));
  FForm = skinner;
  skinner->Loaded();
  skinner->SetPopupWindow(this);
  skinner->SetStayOnTop(true);
  if (AItem) {
    skinner->SetBlend(AItem->GetPopupBlend());
    skinner->SetBlendValue(AItem->GetPopupBlendValue());
    skinner->SetDropShadow(AItem->GetDropShadow());
    skinner->SetShadowWidth(AItem->GetShadowWidth());
  }
  TComponent* owner = AOwner;
  TComponent* ownersOwner = owner ? owner->GetOwner() : nullptr;
  if (auto* target = ObjectAs<TWinControl>(ownersOwner))
    skinner->SetActivationTarget(target);
  else
    skinner->SetActivationTarget(ObjectAs<TWinControl>(owner));
  if (AItem && (!AItem->GetAnimateOnce() || AItem->GetAnimatePending())) {
    skinner->SetShowAnimation(AItem->GetShowAnimation());
    skinner->SetShowAnimationTime(AItem->GetShowAnimationTime());
    if (TKsCustomItem* parent = AItem->GetParent())
      parent->SetAnimatePendingAll(false);
    else
      AItem->SetAnimatePendingAll(false);
  }
  FView = new TKsPopupView(this);
  FView->SetBitmap(skinner->GetBuffer());
  FView->SetHost(this);
  FView->SetItem(AItem);
  FView->SetParentView(AView);
  FView->SetControl(this);
}

void TKsPopupWindow::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

void TKsPopupWindow::Dispatch(TMessage& message) {
  if (message.Msg != CM_SHOWINGCHANGED) {
    inherited::Dispatch(message);
    return;
  }
  // Shown and hidden in place, never activated: the menu loop keeps the keyboard of the
  // window that opened the menu.
  constexpr UINT kShow = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;
  constexpr UINT kHide = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW;
  SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0, GetShowing() ? kShow : kHide);
}

void TKsPopupWindow::CalcViewSize() {
  if (FView && FForm && FForm->GetBuffer())
    FView->CalcSize();
}

bool TKsPopupWindow::TrackMenu() { return FView ? FView->TrackMenu() : false; }

// ---- TKsPopupForm ------------------------------------------------------------------------

TKsPopupForm::TKsPopupForm(TComponent* AOwner) : TKsCustomForm(AOwner) {
  SetBorderIcons(TKsBorderIcons{});
  SetBorderStyle(kbsNone);
  SetCanMove(false);
  SetCanResize(false);
  SetActive(true);
}

TRect TKsPopupForm::FrameClientRectFor(int frameWidth, int frameHeight) {
  return TRect{3, 3, frameWidth - 3, frameHeight - 3};
}

TRect TKsPopupForm::GetFrameClientRect() {
  return FrameClientRectFor(GetFrameWidth(), GetFrameHeight());
}

TPoint TKsPopupForm::GetMinTrackSize() { return TPoint{10, 10}; }

void TKsPopupForm::PaintBackground(TKsBitmap& bitmap) {
  TKsPopupView* view = FPopupWindow ? FPopupWindow->GetView() : nullptr;
  if (!view)
    return;
  const TRect client = GetFrameClientRect();
  view->SetOriginX(client.left);
  view->SetOriginY(client.top);
  view->PaintItems(bitmap);
  view->SetOriginX(0);
  view->SetOriginY(0);
}

void TKsPopupForm::PaintFrame(TKsBitmap& bitmap) {
  TKsPopupView* view = FPopupWindow ? FPopupWindow->GetView() : nullptr;
  if (!view || !view->GetItem())
    return;
  TRect r{0, 0, GetFrameWidth(), GetFrameHeight()};
  bitmap.Draw3DFrame(r, SysOpaque(clBtnFace), SysOpaque(clBlack));
  r = TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  bitmap.Draw3DFrame(r, SysOpaque(clBtnHighlight), SysOpaque(clBtnShadow));
  r = TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  bitmap.Draw3DFrame(r, SysOpaque(clMenu), SysOpaque(clMenu));
}

void TKsPopupForm::Dispatch(TMessage& message) {
  if ((message.Msg == WM_ACTIVATE || message.Msg == WM_MOUSEACTIVATE) && FActivationTarget &&
      FActivationTarget->HandleAllocated())
    SendMessageA(FActivationTarget->GetHandle(), WM_NCACTIVATE, 1, 0);
  inherited::Dispatch(message);
}
