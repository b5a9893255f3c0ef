// TKsFormMDI: MDI support of a skinned form. For an MDI child: its parent form and the
// parent's skinner, the parent's caption with a maximized child's caption merged in,
// the parent's menu bar showing a maximized child's buttons, and a child activated
// while another is maximized being maximized too. For an MDI parent: its client window
// is subclassed so that it paints with the parent's background and lets the mouse
// through to the frame. A part of TKsCustomForm.
#pragma once

#include "classlib/Messages.h"
#include "classlib/Object.h"
#include "classlib/Win.h"

class TCustomForm;
class TKsCustomForm;

class TKsFormMDI : public TObject {
  KIVO_CLASS(TKsFormMDI, TObject)
 public:
  explicit TKsFormMDI(TKsCustomForm& form) : FForm(form) {}

  // The parent form of an MDI child, and its skinner.
  TCustomForm* GetParent() const;
  TKsCustomForm* GetParentSkinner() const;
  // A skinned child of the same parent (or, for a parent, of this form) is maximized.
  bool HasMaximizedChild() const;
  // The parent's caption with the maximized child's caption merged in.
  void UpdateCaption();
  // Restores the maximized skinned children (for a child: its siblings).
  void RestoreChildren();
  // The parent's menu bar shows this child's buttons, or none; nothing without a bar.
  void ShowParentButtons();
  void HideParentButtons();
  // WM_MDIACTIVATE of a child.
  void Activated(TMessage& message);
  // The MDI parent's client window, subclassed and given back.
  void HookClient();
  void UnhookClient();

 private:
  void ClientWndProc(TMessage& message);

  TKsCustomForm& FForm;
  WNDPROC FOldClientProc = nullptr;
  WNDPROC FClientInstance = nullptr;
  HWND FClientWnd = nullptr;
};
