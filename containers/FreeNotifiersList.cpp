#include "containers/FreeNotifiersList.h"

#include "classlib/Boundary.h"

TFreeNotifier::TFreeNotifier(void* Block) : FBlock(Block), FCallbacks(std::make_unique<TList>()) {}

TFreeNotifier::~TFreeNotifier() {
  for (int i = 0, count = FCallbacks->GetCount(); i < count; ++i)
    delete static_cast<TFreeNotifyCallback*>(FCallbacks->Get(i));
}

int TFreeNotifiersList::CompareKey(void* Entry, void* Key) const {
  return CompareAddresses(static_cast<TFreeNotifier*>(Entry)->GetBlock(), Key);
}

int TFreeNotifiersList::CompareItems(void* Entry1, void* Entry2) const {
  return CompareAddresses(static_cast<TFreeNotifier*>(Entry1)->GetBlock(),
                          static_cast<TFreeNotifier*>(Entry2)->GetBlock());
}

void TFreeNotifiersList::AddNotification(void* Block, const TFreeNotifyEvent& Callback) {
  TChangeGuard guard(this);
  int index;
  TFreeNotifier* notifier;
  if (FindKey(Block, index)) {
    notifier = static_cast<TFreeNotifier*>(GetItems(index));
  } else {
    notifier = new TFreeNotifier(Block);
    try {
      Insert(index, notifier);
    } catch (...) {
      delete notifier;
      throw;
    }
  }
  auto* callback = new TFreeNotifyCallback(Callback.Method());
  try {
    notifier->GetCallbacks()->Add(callback);
  } catch (...) {
    delete callback;
    throw;
  }
}

TFreeNotifier* FindFreeNotifier(const TFreeNotifiersList* List, void* Address) noexcept {
  if (!List || List->GetCount() == 0)
    return nullptr;
  int index = List->IndexOfKey(Address);
  return index < 0 ? nullptr : static_cast<TFreeNotifier*>(List->GetItems(index));
}

namespace {

using TFreeCallbackCode = void (*)(void* data, void* address);

// Runs one callback; what it raises is reported and ends there.
void CallFreeCallback(const TMethod& method, void* address) noexcept {
  if (!method.Assigned())
    return;
  GuardBoundary("free notification", [&] {
    reinterpret_cast<TFreeCallbackCode>(method.Code)(method.Data, address);
  });
}

}  // namespace

void NotifyBlockFreed(TFreeNotifiersList* List, void* Address) noexcept {
  if (!List || List->GetChanging())
    return;
  TFreeNotifier* notifier;
  {
    TFreeNotifiersList::TChangeGuard guard(List);
    notifier = FindFreeNotifier(List, Address);
    if (!notifier)
      return;
    // Out of the list before any callback runs: a callback that releases memory, or
    // this address released again, does not find it.
    List->Remove(notifier);
  }
  TList* callbacks = notifier->GetCallbacks();
  int index = 0;
  while (index < callbacks->GetCount()) {
    void* item = callbacks->Get(index);
    if (item)
      CallFreeCallback(static_cast<TFreeNotifyCallback*>(item)->GetMethod(), notifier->GetBlock());
    // A callback that took itself out of the list has moved the next one into this
    // position: stay, so that one is not skipped.
    if (index < callbacks->GetCount() && callbacks->Get(index) == item)
      ++index;
  }
  delete notifier;
}

void FreeNotifierList(TFreeNotifiersList*& List) noexcept {
  if (!List)
    return;
  while (List->GetCount() > 0) {
    auto* notifier = static_cast<TFreeNotifier*>(List->GetItems(0));
    List->Delete(0);
    delete notifier;
  }
  delete List;
  List = nullptr;
}
