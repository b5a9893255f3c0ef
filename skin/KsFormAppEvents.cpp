// The events a skinned form chains into.
//
// Decision taken here: the application's minimize and restore handlers are chained by
// every skinner that sees its form activated. A skinner freed out of order (not the
// last to chain) is unlinked from the chain instead of writing its saved handlers back,
// which would leave the application calling a freed skinner.
#include "skin/KsFormAppEvents.h"

#include <algorithm>
#include <vector>

#include "skin/KsForms.h"
#include "skin/KsMenus.h"

namespace {

// The skinners whose handlers are chained into the application's events, oldest first.
std::vector<TKsFormAppEvents*>& AppChain() {
  static std::vector<TKsFormAppEvents*> chain;
  return chain;
}

}  // namespace

void TKsFormAppEvents::ChainApplication() {
  if (FAppHooked || !Application)
    return;
  FSavedOnMinimize = Application->OnMinimize;
  FSavedOnRestore = Application->OnRestore;
  Application->OnMinimize = TNotifyEvent::Bind<&TKsFormAppEvents::AppMinimize>(this);
  Application->OnRestore = TNotifyEvent::Bind<&TKsFormAppEvents::AppRestore>(this);
  FAppHooked = true;
  AppChain().push_back(this);
}

void TKsFormAppEvents::UnchainApplication() {
  if (!FAppHooked)
    return;
  FAppHooked = false;
  auto& chain = AppChain();
  chain.erase(std::remove(chain.begin(), chain.end(), this), chain.end());
  if (!Application)
    return;
  const TNotifyEvent mine = TNotifyEvent::Bind<&TKsFormAppEvents::AppMinimize>(this);
  const TNotifyEvent mineRestore = TNotifyEvent::Bind<&TKsFormAppEvents::AppRestore>(this);
  if (Application->OnMinimize == mine)
    Application->OnMinimize = FSavedOnMinimize;
  if (Application->OnRestore == mineRestore)
    Application->OnRestore = FSavedOnRestore;
  // A skinner that chained later calls this one next: it calls this one's saved
  // handler instead.
  for (TKsFormAppEvents* other : chain) {
    if (other->FSavedOnMinimize == mine)
      other->FSavedOnMinimize = FSavedOnMinimize;
    if (other->FSavedOnRestore == mineRestore)
      other->FSavedOnRestore = FSavedOnRestore;
  }
}

void TKsFormAppEvents::AppMinimize(TObject* sender) {
  const TKsWindowState state = FForm.GetWindowState();
  if (state != kwsMinimized && state != kwsTray && FForm.GetMinimizeApplication())
    FForm.States().MinimizeWithApplication();
  if (FSavedOnMinimize)
    FSavedOnMinimize(sender);
}

void TKsFormAppEvents::AppRestore(TObject* sender) {
  if (FForm.GetWindowState() == kwsMinimized && FForm.GetMinimizeApplication()) {
    FForm.Restore();
    FForm.PaintNonClient();
  }
  if (FSavedOnRestore)
    FSavedOnRestore(sender);
}

void TKsFormAppEvents::ChainShortCut(TCustomForm* form) {
  FOldShortCut = form->OnShortCut;
  form->OnShortCut = TShortCutEvent::Bind<&TKsFormAppEvents::FormShortCut>(this);
}

void TKsFormAppEvents::UnchainShortCut(TCustomForm* form) {
  // A form that is going away keeps whatever handler it has.
  if (form && !form->GetComponentState().Contains(csDestroying) &&
      form->OnShortCut == TShortCutEvent::Bind<&TKsFormAppEvents::FormShortCut>(this))
    form->OnShortCut = FOldShortCut;
}

void TKsFormAppEvents::FormShortCut(TMessage& message, bool& handled) {
  TKsCustomMenuBar* menuBar = FForm.GetMenuBar();
  if (menuBar && menuBar->IsShortCut(message)) {
    handled = true;
    return;
  }
  if (FOldShortCut)
    FOldShortCut(message, handled);
}
