// TAliveGuard: tells whether an object outlived a call that may free it. An event
// handler may free the object that fired the event (a node deleted from its can-expand
// handler, an editor freed from its close-up handler); the firing code makes a guard on
// the object before the event and asks it afterwards, instead of touching freed memory:
//
//   const TAliveGuard guard(this);
//   OnCloseUp(this, value, accept);
//   if (!guard.Alive())
//     return;
//
// Every TObject tells the guards watching it when it is destroyed (its free
// notification). Guards are locals of the user-interface thread and end in the reverse
// order of their making; while none exists, a destruction costs one test.
#pragma once

class TObject;

class TAliveGuard {
 public:
  // Watches `object`; a guard of no object is never alive.
  explicit TAliveGuard(const TObject* object) noexcept;
  ~TAliveGuard();
  TAliveGuard(const TAliveGuard&) = delete;
  TAliveGuard& operator=(const TAliveGuard&) = delete;

  // False once the object has been destroyed.
  bool Alive() const { return FObject != nullptr; }

  // Called by the destructor of TObject: the guards watching `object` learn that it is gone.
  static void ObjectFreed(const TObject* object) noexcept {
    if (FTop)
      Forget(object);
  }

 private:
  static void Forget(const TObject* object) noexcept;

  static inline TAliveGuard* FTop = nullptr;
  const TObject* FObject;
  TAliveGuard* FNext;
};
