// Exception barriers. C++ exceptions must never unwind through Windows or host
// frames (DW2 unwinding cannot cross user32), so every window procedure, hook, timer,
// callback and export runs its body through GuardBoundary. What is caught goes to the
// process's boundary handler: the application's exception handler once the class
// library's application object exists, a recorder in tests, stderr otherwise.
#pragma once

#include <exception>
#include <utility>

using TBoundaryHandler = void (*)(const char* where, const std::exception* error);

// Installs `handler` (null restores the default) and returns the previous one.
TBoundaryHandler SetBoundaryHandler(TBoundaryHandler handler) noexcept;

// Hands the exception being handled to the boundary handler. Call only from a catch block.
void ReportBoundaryException(const char* where) noexcept;

// Runs f(); true when it returned normally, false when it threw (reported).
template <class F>
bool GuardBoundary(const char* where, F&& f) noexcept {
  try {
    std::forward<F>(f)();
    return true;
  } catch (...) {
    ReportBoundaryException(where);
    return false;
  }
}

// Runs f() and returns its result, or `onFailure` when it threw (reported).
template <class R, class F>
R GuardBoundaryResult(const char* where, R onFailure, F&& f) noexcept {
  try {
    return std::forward<F>(f)();
  } catch (...) {
    ReportBoundaryException(where);
    return onFailure;
  }
}
