// Firing a user event that may free its sender. A handler may free the object that fired
// the event (a button freed from its click handler, a node deleted from its can-expand
// handler, an editor freed from its close-up handler), so code that goes on with the
// sender after firing fires through Survives and stops when it answers false:
//
//   if (!Survives(this, OnSelect))        // OnSelect(this)
//     return;
//   Change();
//
// The same holds for the steps that fire events (Click, Change, KeyDown, a message
// passed to the inherited handler): Survives(this, &TControl::Click), or a lambda around
// a step that must not be called virtually (`[&] { inherited::MouseUp(...); }`; a member
// pointer always calls the most derived override).
//
// TAliveGuard underlies it, for the rare work that must outlive the check (a lock given
// back only on an object still alive). Every TObject tells the guards watching it when it
// is destroyed (its free notification). Guards are locals of the user-interface thread
// and end in the reverse order of their making; while none exists, a destruction costs
// one test.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>

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

// Runs `work` when the scope ends (returning or raising) if `object` is still alive
// then: the bookkeeping after steps whose handlers may free the object (a lock given
// back, a flag cleared, a tool bar hidden). Alive() tells the scope's own code the same.
//
//   const TOnExitIfAlive unlock(this, [this] { --FLock; });
template <class Work>
class TOnExitIfAlive {
 public:
  TOnExitIfAlive(const TObject* object, Work work) : FAlive(object), FWork(std::move(work)) {}
  ~TOnExitIfAlive() {
    if (FAlive.Alive())
      FWork();
  }
  TOnExitIfAlive(const TOnExitIfAlive&) = delete;
  TOnExitIfAlive& operator=(const TOnExitIfAlive&) = delete;

  bool Alive() const { return FAlive.Alive(); }

 private:
  TAliveGuard FAlive;
  Work FWork;
};

// Runs `call` on behalf of `sender` and tells whether the sender outlived it. `call`
// gets the sender first when it takes it (an event of the sender, a member pointer to a
// step of its class) and the remaining arguments after it; otherwise it gets only the
// arguments (a lambda). What `call` raises passes through.
template <class T, class Call, class... Args>
[[nodiscard]] bool Survives(T* sender, Call&& call, Args&&... args) {
  const TAliveGuard alive(sender);
  if constexpr (std::is_invocable_v<Call, T*, Args...>)
    std::invoke(std::forward<Call>(call), sender, std::forward<Args>(args)...);
  else
    std::invoke(std::forward<Call>(call), std::forward<Args>(args)...);
  return alive.Alive();
}

// Runs `call` and tells whether both objects outlived it: for work after it that uses
// both (a node and the column that stored into it, a column and its control).
template <class Call>
[[nodiscard]] bool BothSurvive(const TObject* first, const TObject* second, Call&& call) {
  const TAliveGuard firstAlive(first);
  const TAliveGuard secondAlive(second);
  std::invoke(std::forward<Call>(call));
  return firstAlive.Alive() && secondAlive.Alive();
}
