// Free notifications: who is to be told when a watched memory block is released.
//
// TFreeNotifiersList holds one TFreeNotifier per watched block address, in ascending
// address order; each notifier holds the callbacks registered for its block. When the
// block is released, NotifyBlockFreed takes the notifier out of the list, calls each
// callback once with the block's address, and frees the notifier. A callback that
// raises is reported through the boundary handler and the remaining callbacks still
// run: nothing escapes from a memory release.
//
// The list allocates while it changes and every release of memory reads it, so while
// it changes (registration, or taking a notifier out) releases are not looked up in
// it: the only memory released then is the list's own.
#pragma once

#include <memory>

#include "classlib/Events.h"
#include "classlib/Lists.h"
#include "containers/CustomSortedList.h"

// A free callback: the object of the method, then the released block's address.
using TFreeNotifyEvent = TEvent<void*>;

// One registered callback of a notifier.
class TFreeNotifyCallback : public TObject {
  KIVO_CLASS(TFreeNotifyCallback, TObject)

 public:
  explicit TFreeNotifyCallback(const TMethod& Method) : FMethod(Method) {}
  const TMethod& GetMethod() const { return FMethod; }

 private:
  TMethod FMethod;
};

// The watch on one block: its address and its callbacks (owned; slots may be null).
class TFreeNotifier : public TObject {
  KIVO_CLASS(TFreeNotifier, TObject)

 public:
  explicit TFreeNotifier(void* Block);
  TFreeNotifier(const TFreeNotifier&) = delete;
  TFreeNotifier& operator=(const TFreeNotifier&) = delete;
  ~TFreeNotifier() override;

  void* GetBlock() const { return FBlock; }
  // TFreeNotifyCallback items; the notifier frees those still held when it is freed.
  TList* GetCallbacks() const { return FCallbacks.get(); }

 private:
  void* FBlock;
  std::unique_ptr<TList> FCallbacks;
};

// The notifiers by block address. Owns nothing by itself: FreeNotifierList frees the
// notifiers with the list.
class TFreeNotifiersList : public TCustomSortedList {
  KIVO_CLASS(TFreeNotifiersList, TCustomSortedList)

 public:
  // Entry's block address against the address Key.
  int CompareKey(void* Entry, void* Key) const override;
  int CompareItems(void* Entry1, void* Entry2) const override;

  // Registers Callback for Block: the block's notifier (made when missing, at the
  // position that keeps the address order) gets one more callback.
  void AddNotification(void* Block, const TFreeNotifyEvent& Callback);

  // True while the list itself is being changed.
  bool GetChanging() const { return FChanging; }

 private:
  friend void NotifyBlockFreed(TFreeNotifiersList* List, void* Address) noexcept;
  // Marks the list as changing for the life of the guard.
  class TChangeGuard {
   public:
    explicit TChangeGuard(TFreeNotifiersList* list) : FList(list) { FList->FChanging = true; }
    ~TChangeGuard() { FList->FChanging = false; }

   private:
    TFreeNotifiersList* FList;
  };
  bool FChanging = false;
};

// The notifier of Address, or null (no list, empty list, or no such address).
TFreeNotifier* FindFreeNotifier(const TFreeNotifiersList* List, void* Address) noexcept;

// Reports that the block at Address has been released: its notifier leaves the list,
// each of its callbacks is called once with Address, and the notifier is freed.
void NotifyBlockFreed(TFreeNotifiersList* List, void* Address) noexcept;

// Frees every notifier of List, then List itself, and sets List to null.
void FreeNotifierList(TFreeNotifiersList*& List) noexcept;
