// Each instance is a 32-byte slot in a page of executable memory:
//
//   58              pop  eax            ; return address
//   68 <slot>       push slot           ; becomes the first argument
//   50              push eax            ; return address back on top
//   E9 <rel32>      jmp  InstanceWndProc
//
// InstanceWndProc is __stdcall with five arguments, so its `ret 20` removes the four
// arguments Windows pushed plus the slot pointer the thunk inserted. The bound method
// sits in the same slot after the code. Pages are kept for the life of the process;
// freed slots go on a free list and are reused.
#include "classlib/WndProcThunk.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <vector>

#include "classlib/Boundary.h"
#include "classlib/Exceptions.h"

namespace {

struct TInstanceSlot {
  uint8_t Code[16];
  TMethod Method;
  TInstanceSlot* NextFree;
  uint32_t Magic;
};
static_assert(sizeof(TInstanceSlot) == 32, "instance slots are 32 bytes");

constexpr uint32_t kLiveMagic = 0x4B57494E;  // a slot in use
constexpr uint32_t kFreeMagic = 0x46524545;  // a slot on the free list
constexpr size_t kPageSize = 4096;

std::vector<TInstanceSlot*> gPages;
TInstanceSlot* gFreeList = nullptr;
int gLiveCount = 0;

LRESULT __stdcall InstanceWndProc(TInstanceSlot* slot, HWND, UINT msg, WPARAM wParam,
                                  LPARAM lParam) {
  TMessage message;
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  GuardBoundary("window procedure",
                [&] { TWndMethod::FromMethod(slot->Method)(message); });
  return message.Result;
}

void AddPage() {
  void* memory = VirtualAlloc(nullptr, kPageSize, MEM_COMMIT | MEM_RESERVE,
                              PAGE_EXECUTE_READWRITE);
  if (!memory)
    throw EOutOfResources(
        Format("No executable memory for a window procedure (error %lu)", GetLastError()));
  auto* slots = static_cast<TInstanceSlot*>(memory);
  gPages.push_back(slots);
  for (size_t i = kPageSize / sizeof(TInstanceSlot); i-- > 0;) {
    slots[i].NextFree = gFreeList;
    slots[i].Magic = kFreeMagic;
    gFreeList = &slots[i];
  }
}

bool IsOurSlot(const void* p) {
  auto address = reinterpret_cast<uintptr_t>(p);
  for (TInstanceSlot* page : gPages) {
    auto start = reinterpret_cast<uintptr_t>(page);
    if (address >= start && address < start + kPageSize)
      return (address - start) % sizeof(TInstanceSlot) == 0;
  }
  return false;
}

}  // namespace

WNDPROC MakeObjectInstance(TWndMethod method) {
  assert(method.Assigned() && "a window procedure needs a method");
  if (!gFreeList)
    AddPage();
  TInstanceSlot* slot = gFreeList;
  gFreeList = slot->NextFree;

  uint8_t* code = slot->Code;
  const auto target = reinterpret_cast<uintptr_t>(&InstanceWndProc);
  const auto slotAddress = reinterpret_cast<uint32_t>(slot);
  code[0] = 0x58;
  code[1] = 0x68;
  memcpy(code + 2, &slotAddress, 4);
  code[6] = 0x50;
  code[7] = 0xE9;
  const int32_t displacement = static_cast<int32_t>(target - (reinterpret_cast<uintptr_t>(code) + 12));
  memcpy(code + 8, &displacement, 4);
  memset(code + 12, 0xCC, sizeof slot->Code - 12);
  slot->Method = method.Method();
  slot->NextFree = nullptr;
  slot->Magic = kLiveMagic;
  FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
  ++gLiveCount;
  return reinterpret_cast<WNDPROC>(slot);
}

void FreeObjectInstance(WNDPROC instance) {
  if (!instance)
    return;
  auto* slot = reinterpret_cast<TInstanceSlot*>(instance);
  assert(IsOurSlot(slot) && slot->Magic == kLiveMagic && "freeing a live window-procedure instance");
  if (!IsOurSlot(slot) || slot->Magic != kLiveMagic)
    return;
  // A stray call through a freed instance hits int3 instead of a stale object.
  memset(slot->Code, 0xCC, sizeof slot->Code);
  slot->Method = TMethod{};
  slot->Magic = kFreeMagic;
  slot->NextFree = gFreeList;
  gFreeList = slot;
  FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
  --gLiveCount;
}

TWndMethod ObjectInstanceMethod(WNDPROC proc) {
  auto* slot = reinterpret_cast<TInstanceSlot*>(proc);
  if (!proc || !IsOurSlot(slot) || slot->Magic != kLiveMagic)
    return TWndMethod();
  return TWndMethod::FromMethod(slot->Method);
}

int ObjectInstanceCount() { return gLiveCount; }
