// TUpdateScope: a BeginUpdate/EndUpdate bracket for the length of a scope. The bracket
// opens when the scope is made and closes when it ends, returning or raising:
// - ended normally, it closes through EndUpdate, which reports the change (events, a
//   repaint) and may raise like any call;
// - ended by an exception, it closes through EndUpdateQuiet: the count and the state
//   come back, and nothing that could reach user code (an event, a change report) runs,
//   since a second exception leaving a destructor while the first one passes would end
//   the process. What the quiet end still raises goes to the boundary handler and the
//   first exception goes on.
//
// The target is an object with BeginUpdate, EndUpdate and EndUpdateQuiet (string lists,
// collections, style controllers, the tree list); a bracket of other names gives its own
// calls as the second argument (see TUpdateCalls). A null target opens nothing, and a
// target that a handler frees inside the scope is not touched again.
#pragma once

#include <exception>
#include <type_traits>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/Object.h"

// The calls of the usual bracket.
struct TUpdateCalls {
  template <class T>
  static void Begin(T& target) {
    target.BeginUpdate();
  }
  template <class T>
  static void End(T& target) {
    target.EndUpdate();
  }
  template <class T>
  static void EndQuiet(T& target) {
    target.EndUpdateQuiet();
  }
};

template <class T, class Calls = TUpdateCalls>
class TUpdateScope {
  static_assert(std::is_base_of_v<TObject, T>, "the target's liveness is watched");

 public:
  // Opens the bracket of `target` unless it is null or `open` is false. When opening
  // raises, nothing is left open.
  explicit TUpdateScope(T* target, bool open = true)
      : FTarget(open ? target : nullptr), FAlive(FTarget), FExceptions(std::uncaught_exceptions()) {
    if (FTarget)
      Calls::Begin(*FTarget);
  }
  ~TUpdateScope() noexcept(false) {
    if (!FAlive.Alive())
      return;
    if (std::uncaught_exceptions() == FExceptions) {
      Calls::End(*FTarget);
      return;
    }
    GuardBoundary("ending an update while an exception passes", [this] { Calls::EndQuiet(*FTarget); });
  }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

  // True once a handler freed the target (the bracket's opening tells a handler of the
  // change to come, which may free it): the scope's work stops.
  bool TargetFreed() const { return FTarget && !FAlive.Alive(); }

 private:
  T* FTarget;
  TAliveGuard FAlive;
  int FExceptions;
};
