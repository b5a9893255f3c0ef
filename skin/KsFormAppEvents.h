// TKsFormAppEvents: the events a skinned form chains into. The application's minimize
// and restore events minimize and restore the form with the application; the form's
// OnShortCut gives the menu bar's short cuts the first say. Each keeps the handler it
// replaced and calls it after its own work. A part of TKsCustomForm.
#pragma once

#include "classlib/Events.h"
#include "classlib/Forms.h"
#include "classlib/Messages.h"
#include "classlib/Object.h"

class TKsCustomForm;

class TKsFormAppEvents : public TObject {
  KIVO_CLASS(TKsFormAppEvents, TObject)
 public:
  explicit TKsFormAppEvents(TKsCustomForm& form) : FForm(form) {}

  bool GetAppHooked() const { return FAppHooked; }
  // Chains this form's handlers into the application's minimize and restore events.
  void ChainApplication();
  // Takes them out again, wherever they are in the chain of skinners.
  void UnchainApplication();
  // The form's OnShortCut passes through the menu bar first.
  void ChainShortCut(TCustomForm* form);
  void UnchainShortCut(TCustomForm* form);

 private:
  void AppMinimize(TObject* sender);
  void AppRestore(TObject* sender);
  void FormShortCut(TMessage& message, bool& handled);

  TKsCustomForm& FForm;
  TNotifyEvent FSavedOnRestore;
  TNotifyEvent FSavedOnMinimize;
  bool FAppHooked = false;
  TShortCutEvent FOldShortCut;
};
