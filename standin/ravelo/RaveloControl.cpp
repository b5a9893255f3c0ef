#include "standin/ravelo/RaveloControl.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "classlib/Boundary.h"
#include "classlib/Win.h"
#include "standin/ravelo/RaveloServer.h"
#include "standin/ravelo/RaveloTextWriter.h"

namespace {

TRaveloServer& Server() {
  return TRaveloServer::Instance();
}

int32_t CopyOut(const std::string& text, char* buffer, int32_t size) {
  if (buffer && size > 0) {
    const size_t length = std::min<size_t>(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = 0;
  }
  return static_cast<int32_t>(text.size());
}

}  // namespace

extern "C" {

// The server is never destroyed (RaveloServer.h): only when the library is unloaded and
// its process goes on are its boards freed.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr)
    GuardBoundary("Ravelo DllMain", [] { Server().Reset(); });
  return TRUE;
}

void __stdcall Ravelo_Reset() {
  GuardBoundary("Ravelo_Reset", [] { Server().Reset(); });
}

uint32_t __stdcall Ravelo_CreateBoard(const char* fullName) {
  return GuardBoundaryResult("Ravelo_CreateBoard", uint32_t{0},
                             [&] { return Server().CreateBoard(fullName ? fullName : ""); });
}

int32_t __stdcall Ravelo_SetCurrentBoard(uint32_t board) {
  return GuardBoundaryResult("Ravelo_SetCurrentBoard", int32_t{rsFailure}, [&] {
    return Server().SetCurrentBoard(board) ? int32_t{rsOk} : int32_t{rsUnknownHandle};
  });
}

// The dump is copied into the buffer as it is written and only counted past its end:
// the whole text of a large board need never be held.
int32_t __stdcall Ravelo_DumpBoard(uint32_t board, char* buffer, int32_t size) {
  return GuardBoundaryResult("Ravelo_DumpBoard", int32_t{0}, [&] {
    struct TCopy {
      char* Buffer;
      size_t Room;  // characters that still fit before the terminating zero
      size_t Length = 0;
    } copy{buffer, buffer && size > 0 ? static_cast<size_t>(size) - 1 : 0};
    TRaveloTextWriter writer(
        [](void* context, const char* text, size_t length) {
          TCopy& to = *static_cast<TCopy*>(context);
          const size_t taken = std::min(length, to.Room);
          std::memcpy(to.Buffer + to.Length, text, taken);
          to.Room -= taken;
          to.Length += length;
          return true;
        },
        &copy);
    Server().Dump(board, writer);
    writer.Finish();
    if (buffer && size > 0)
      buffer[std::min(copy.Length, static_cast<size_t>(size) - 1)] = 0;
    return static_cast<int32_t>(std::min<size_t>(copy.Length, INT32_MAX));
  });
}

int32_t __stdcall Ravelo_DumpBoardTo(uint32_t board, TRaveloDumpSink sink, void* context) {
  return GuardBoundaryResult("Ravelo_DumpBoardTo", int32_t{rsFailure}, [&] {
    if (!sink)
      return int32_t{rsBadArgument};
    struct TTarget {
      TRaveloDumpSink Sink;
      void* Context;
    } target{sink, context};
    TRaveloTextWriter writer(
        [](void* to, const char* text, size_t length) {
          const TTarget& t = *static_cast<TTarget*>(to);
          return t.Sink(t.Context, text, static_cast<int32_t>(length)) != 0;
        },
        &target);
    if (!Server().Dump(board, writer))
      return int32_t{rsUnknownHandle};
    return writer.Finish() ? int32_t{rsOk} : int32_t{rsFailure};
  });
}

int32_t __stdcall Ravelo_GetCallLog(char* buffer, int32_t size) {
  return GuardBoundaryResult("Ravelo_GetCallLog", int32_t{0},
                             [&] { return CopyOut(Server().CallLogText(), buffer, size); });
}

void __stdcall Ravelo_ClearCallLog() {
  GuardBoundary("Ravelo_ClearCallLog", [] { Server().ClearCallLog(); });
}

void __stdcall Ravelo_KeepCallLog(int32_t keep) {
  GuardBoundary("Ravelo_KeepCallLog", [&] { Server().SetCallLogKept(keep != 0); });
}

void __stdcall Ravelo_InjectResult(const char* entry, uint32_t result) {
  GuardBoundary("Ravelo_InjectResult", [&] {
    if (entry)
      Server().Inject(entry, result);
  });
}

void __stdcall Ravelo_ClearInjections() {
  GuardBoundary("Ravelo_ClearInjections", [] { Server().ClearInjections(); });
}

int32_t __stdcall Ravelo_DumpObject(uint32_t object, char* buffer, int32_t size) {
  return GuardBoundaryResult("Ravelo_DumpObject", int32_t{0},
                             [&] { return CopyOut(Server().DumpOne(object), buffer, size); });
}

int32_t __stdcall Ravelo_DumpBoardSetup(uint32_t board, char* buffer, int32_t size) {
  return GuardBoundaryResult("Ravelo_DumpBoardSetup", int32_t{0},
                             [&] { return CopyOut(Server().DumpSetup(board), buffer, size); });
}

int32_t __stdcall Ravelo_SetLayerPairs(uint32_t board, int32_t count, const uint8_t* records) {
  return GuardBoundaryResult("Ravelo_SetLayerPairs", int32_t{rsFailure}, [&] {
    if (count < 0 || (count > 0 && !records))
      return int32_t{rsBadArgument};
    std::vector<TRaveloPair> pairs;
    for (int32_t i = 0; i < count; ++i) {
      const uint8_t* r = records + 4 * i;
      pairs.push_back(TRaveloPair{r[0], r[1], r[2], r[3]});
    }
    return Server().SetLayerPairs(board, pairs) ? int32_t{rsOk} : int32_t{rsUnknownHandle};
  });
}

int32_t __stdcall Ravelo_OverstateCount(uint32_t object, int32_t count) {
  return GuardBoundaryResult("Ravelo_OverstateCount", int32_t{rsFailure}, [&] {
    TRaveloObject* o = Server().FindObject(object);
    if (!o)
      return int32_t{rsUnknownHandle};
    if (o->Kind != rkDimension && o->Kind != rkPolygon && o->Kind != rkBoardOutline)
      return int32_t{rsWrongKind};
    o->SetOverstatedCount(count);
    return int32_t{rsOk};
  });
}

void __stdcall Ravelo_SetCommandRunner(TRaveloCommandRunnerProc runner) {
  GuardBoundary("Ravelo_SetCommandRunner", [&] { Server().SetCommandRunner(runner); });
}

}  // extern "C"
