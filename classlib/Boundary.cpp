#include "classlib/Boundary.h"

#include <cstdio>

#include "classlib/Win.h"

namespace {

void DefaultHandler(const char* where, const std::exception* error) {
  char text[1024];
  snprintf(text, sizeof text, "%s: %s\n", where ? where : "?",
           error ? error->what() : "unknown exception");
  OutputDebugStringA(text);
  fputs(text, stderr);
}

TBoundaryHandler gHandler = DefaultHandler;

}  // namespace

TBoundaryHandler SetBoundaryHandler(TBoundaryHandler handler) noexcept {
  TBoundaryHandler previous = gHandler;
  gHandler = handler ? handler : DefaultHandler;
  return previous;
}

void ReportBoundaryException(const char* where) noexcept {
  // The handler itself may throw; nothing escapes from here.
  try {
    try {
      throw;
    } catch (const std::exception& error) {
      gHandler(where, &error);
    } catch (...) {
      gHandler(where, nullptr);
    }
  } catch (...) {
    DefaultHandler(where, nullptr);
  }
}
