#include "classlib/HandleCounter.h"

#include <unordered_map>

namespace {

struct TCounts {
  std::unordered_map<const void*, THandleKind> Live;
  int PerKind[kHandleKindCount] = {};
  int Mismatches = 0;
};

TCounts& Counts() {
  static TCounts counts;
  return counts;
}

}  // namespace

void HandleCreated(THandleKind kind, const void* handle) noexcept {
  if (!handle)
    return;
  try {
    TCounts& c = Counts();
    auto [it, inserted] = c.Live.emplace(handle, kind);
    if (!inserted) {
      // Windows reuses a value only after it was destroyed; a live duplicate means a
      // destruction was never reported.
      ++c.Mismatches;
      --c.PerKind[static_cast<int>(it->second)];
      it->second = kind;
    }
    ++c.PerKind[static_cast<int>(kind)];
  } catch (...) {
    // Out of memory for the bookkeeping: the count is lost, the program goes on.
  }
}

void HandleDestroyed(THandleKind kind, const void* handle) noexcept {
  if (!handle)
    return;
  TCounts& c = Counts();
  auto it = c.Live.find(handle);
  if (it == c.Live.end() || it->second != kind) {
    ++c.Mismatches;
    return;
  }
  c.Live.erase(it);
  --c.PerKind[static_cast<int>(kind)];
}

int LiveHandleCount(THandleKind kind) noexcept { return Counts().PerKind[static_cast<int>(kind)]; }

int LiveGdiHandleCount() noexcept {
  int total = 0;
  for (int k = 0; k < kHandleKindCount; ++k)
    if (IsGdiHandleKind(static_cast<THandleKind>(k)))
      total += Counts().PerKind[k];
  return total;
}

int LiveUserHandleCount() noexcept {
  int total = 0;
  for (int k = 0; k < kHandleKindCount; ++k)
    if (!IsGdiHandleKind(static_cast<THandleKind>(k)))
      total += Counts().PerKind[k];
  return total;
}

int HandleMismatchCount() noexcept { return Counts().Mismatches; }

bool IsLiveHandle(const void* handle) noexcept { return Counts().Live.count(handle) != 0; }
