// TKsFormTray: the tray icon of a skinned form in the tray state. It owns a hidden
// window that receives the icon's callbacks (a double click restores, a right click
// opens the system menu or the tray menu) and the icon's data: the form's icon (else
// the application's) and a tip of at most 63 characters. A part of TKsCustomForm.
#pragma once

#include <string>

#include "classlib/Messages.h"
#include "classlib/Object.h"
#include "classlib/Win.h"

class TComponent;
class TKsCustomForm;
class TPopupMenu;

class TKsFormTray : public TObject {
  KIVO_CLASS(TKsFormTray, TObject)
 public:
  explicit TKsFormTray(TKsCustomForm& form) : FForm(form) {}

  TPopupMenu* GetTrayMenu() const { return FTrayMenu; }
  void SetTrayMenu(TPopupMenu* value);
  HWND GetWindow() const { return FWindow; }
  const NOTIFYICONDATAA& GetIcon() const { return FIcon; }

  // Makes the callback window (its procedure is the form's TrayWndProc) and, unless
  // the form is being designed, the icon's data.
  void AllocateWindow(bool designing);
  // Takes the icon away and frees the window.
  void ReleaseWindow(bool designing);
  // The icon shows the form's current icon.
  void UpdateIcon(bool designing);
  // Shows the icon with `tip` (cut to 63 characters) / takes it away.
  void AddIcon(const std::string& tip);
  void RemoveIcon();
  // The callback window's messages.
  void WndProc(TMessage& message);
  // The tray menu went away.
  void Removed(TComponent* component);

 private:
  TKsCustomForm& FForm;
  TPopupMenu* FTrayMenu = nullptr;
  HWND FWindow = nullptr;
  NOTIFYICONDATAA FIcon{};
};
