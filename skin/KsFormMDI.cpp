// MDI support of a skinned form.
//
// Decision taken here: a maximized child's caption is merged into the parent's as
// " - [child]"; only such a trailing suffix is taken off again, so a parent caption that
// holds "[" of its own stays whole.
#include "skin/KsFormMDI.h"

#include <string>

#include "classlib/Boundary.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/WndProcThunk.h"
#include "skin/KsForms.h"
#include "skin/KsMenus.h"

namespace {

// The maximized-child suffix " - [...]" at the end of an MDI parent's caption.
std::string WithoutChildSuffix(const std::string& caption) {
  if (caption.empty() || caption.back() != ']')
    return caption;
  const size_t at = caption.rfind(" - [");
  return at == std::string::npos ? caption : caption.substr(0, at);
}

}  // namespace

TCustomForm* TKsFormMDI::GetParent() const {
  TCustomForm* form = FForm.GetForm();
  if (!form || form->GetFormStyle() != fsMDIChild)
    return nullptr;
  if (auto* owner = ObjectAs<TCustomForm>(form->GetOwner()); owner && owner->GetFormStyle() == fsMDIForm)
    return owner;
  if (Application && Application->GetMainForm() && Application->GetMainForm()->GetFormStyle() == fsMDIForm)
    return Application->GetMainForm();
  return nullptr;
}

TKsCustomForm* TKsFormMDI::GetParentSkinner() const { return FindFormSkinner(GetParent()); }

bool TKsFormMDI::HasMaximizedChild() const {
  TCustomForm* form = FForm.GetForm();
  if (!form)
    return false;
  const bool child = form->GetFormStyle() == fsMDIChild;
  TCustomForm* parent = child ? GetParent() : form;
  if (!parent || parent->GetFormStyle() != fsMDIForm)
    return false;
  for (int i = 0; i < parent->GetMDIChildCount(); ++i) {
    TCustomForm* sibling = parent->GetMDIChildren(i);
    if (child && sibling->HandleAllocated() && IsZoomed(sibling->GetHandle()))
      return true;
    if (TKsCustomForm* skinner = FindFormSkinner(sibling); skinner && skinner->GetWindowState() == kwsMaximized)
      return true;
  }
  return false;
}

void TKsFormMDI::UpdateCaption() {
  TCustomForm* parent = GetParent();
  if (!parent)
    return;
  const std::string base = WithoutChildSuffix(parent->GetCaption());
  // The child that shows maximized: this one when it is, else the first that is.
  TCustomForm* maximized = FForm.GetWindowState() == kwsMaximized ? FForm.GetForm() : nullptr;
  for (int i = 0; !maximized && i < parent->GetMDIChildCount(); ++i)
    if (TKsCustomForm* skinner = FindFormSkinner(parent->GetMDIChildren(i));
        skinner && skinner->GetWindowState() == kwsMaximized)
      maximized = parent->GetMDIChildren(i);
  if (!maximized) {
    parent->SetCaption(base);
    return;
  }
  parent->SetCaption(base + " - [" + maximized->GetCaption() + "]");
  if (parent->HandleAllocated())
    PostMessageA(parent->GetHandle(), KM_CAPTIONCHANGED, 0, 0);
}

void TKsFormMDI::RestoreChildren() {
  TCustomForm* form = FForm.GetForm();
  if (!form)
    return;
  const bool child = form->GetFormStyle() == fsMDIChild;
  TCustomForm* parent = child ? GetParent() : form;
  if (!parent || parent->GetFormStyle() != fsMDIForm)
    return;
  for (int i = 0; i < parent->GetMDIChildCount(); ++i)
    if (TKsCustomForm* skinner = FindFormSkinner(parent->GetMDIChildren(i));
        skinner && skinner->GetWindowState() == kwsMaximized)
      skinner->Restore();
  if (child)
    UpdateCaption();
}

void TKsFormMDI::ShowParentButtons() {
  if (TKsCustomForm* parent = GetParentSkinner(); parent && parent->GetMenuBar())
    parent->GetMenuBar()->ShowMDIButtons(&FForm);
}

void TKsFormMDI::HideParentButtons() {
  if (TKsCustomForm* parent = GetParentSkinner(); parent && parent->GetMenuBar())
    parent->GetMenuBar()->HideMDIButtons();
}

void TKsFormMDI::Activated(TMessage& message) {
  if (!FForm.IsMDIChild() || !HasMaximizedChild())
    return;
  UpdateCaption();
  if (reinterpret_cast<HWND>(message.WParam) == FForm.GetFormHandle()) {
    ShowParentButtons();
    return;
  }
  // The child activated while another was maximized is maximized like it.
  if (FForm.GetWindowState() != kwsMaximized)
    PostMessageA(FForm.GetFormHandle(), KM_MAXIMIZE, 0, 0);
}

void TKsFormMDI::HookClient() {
  TCustomForm* form = FForm.GetForm();
  if (FClientInstance || !form || !form->GetClientHandle())
    return;
  FClientWnd = form->GetClientHandle();
  FClientInstance = MakeObjectInstance(TWndMethod::Bind<&TKsFormMDI::ClientWndProc>(this));
  FOldClientProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(FClientWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FClientInstance)));
}

void TKsFormMDI::UnhookClient() {
  if (!FClientInstance)
    return;
  if (IsWindow(FClientWnd)) {
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FClientWnd, GWLP_WNDPROC));
    // A subclass installed later still calls ours: the instance must stay alive.
    if (current != FClientInstance)
      return;
    SetWindowLongPtrA(FClientWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldClientProc));
  }
  FreeObjectInstance(FClientInstance);
  FClientInstance = nullptr;
  FOldClientProc = nullptr;
  FClientWnd = nullptr;
}

void TKsFormMDI::ClientWndProc(TMessage& message) {
  GuardBoundary("MDI client window", [&] {
    TCustomForm* form = FForm.GetForm();
    auto callOld = [&] {
      message.Result = CallWindowProcA(FOldClientProc, FClientWnd, message.Msg, message.WParam, message.LParam);
    };
    if (!form || !form->HandleAllocated()) {
      callOld();
      return;
    }
    switch (message.Msg) {
      case WM_PAINT: {
        TPaintScope paint(FClientWnd, reinterpret_cast<HDC>(message.WParam));
        SendMessageA(form->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(paint.DC()), 0);
        message.Result = 0;
        return;
      }
      case WM_ERASEBKGND:
        if (!HasMaximizedChild())
          SendMessageA(form->GetHandle(), WM_ERASEBKGND, message.WParam, KsEraseForMDIClient);
        message.Result = 0;
        return;
      case WM_MDICALCCHILDSCROLL:
        if (form->GetFormStyle() == fsMDIForm) {
          const LONG exStyle = GetWindowLongA(FClientWnd, GWL_EXSTYLE);
          if (exStyle & WS_EX_CLIENTEDGE) {
            SetWindowLongA(FClientWnd, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
            SetWindowPos(FClientWnd, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
          }
        }
        callOld();
        return;
      case WM_NCHITTEST:
        callOld();
        if (message.Result == HTCLIENT)
          message.Result = HTTRANSPARENT;
        return;
      default: callOld();
    }
  });
}
