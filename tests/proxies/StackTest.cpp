// The stack across the host boundary: every entry point of the server removes exactly
// the argument bytes that the plug-in's wrapper pushes (stdcall), measured call by call,
// and ten thousand proxy queries leave the stack pointer where it was.
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "classlib/Win.h"
#include "pcb/PcbApi.h"
#include "pcb/PcbPrimitives.h"
#include "tests/ravelo/RaveloTestSupport.h"

// Calls `entry` with `count` 32-bit arguments (after eight zero words, so that an entry
// point expecting more arguments reads zeros) and returns how many bytes the callee
// removed beyond `count` × 4: 0 for a stdcall callee with exactly that many arguments.
extern "C" int32_t StdcallStackDrift(void* entry, const uint32_t* args, int32_t count);

asm(R"(
    .text
    .globl _StdcallStackDrift
_StdcallStackDrift:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl $8, %ecx
0:  pushl $0
    decl %ecx
    jnz 0b
    movl %esp, %esi
    movl 16(%ebp), %ecx
    movl 12(%ebp), %edx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%edx,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl %esp, %eax
    subl %esi, %eax
    leal -12(%ebp), %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace {

// The 32-bit argument slots a wrapper pushes (every parameter takes one slot).
template <class P>
constexpr int SlotsOf() {
  if constexpr (std::is_reference_v<P>)
    return 1;
  else
    return (static_cast<int>(sizeof(P)) + 3) / 4;
}
template <class R, class... P>
constexpr int Slots(R (*)(P...)) {
  return (0 + ... + SlotsOf<P>());
}

struct TEntry {
  const char* Name;
  int Slots;
};

// Each exported entry point with the argument slots of the plug-in's wrapper for it.
const TEntry cEntries[] = {
    {"PcbApi_GetCurrentBoardHandle", Slots(PcbApiGetCurrentBoardHandle)},
    {"PcbApi_GetBoardHandleFromFullFileName", Slots(PcbApiGetBoardHandleFromFullFileName)},
    {"PcbApi_SendCommand", Slots(PcbApiSendCommand)},
    {"PcbApi_Percent_Init", Slots(PcbApiPercentInit)},
    {"PcbApi_Percent_Update", Slots(PcbApiPercentUpdate)},
    {"PcbApi_Percent_Finish", Slots(PcbApiPercentFinish)},
    {"PcbApi_EventRouter_SendMessage", Slots(PcbApiEventRouterSendMessage)},
    {"PcbApi_CreateObject", Slots(PcbApiCreateObject)},
    {"PcbApi_DestroyObject", Slots(PcbApiDestroyObject)},
    {"PcbApi_AddObjectToContainer", Slots(PcbApiAddObjectToContainer)},
    {"PcbApi_DeleteObjectFromContainer", Slots(PcbApiDeleteObjectFromContainer)},
    {"PcbApi_CreateIterator", Slots(PcbApiCreateIterator)},
    {"PcbApi_GetFirstObject", Slots(PcbApiGetFirstObject)},
    {"PcbApi_GetNextObject", Slots(PcbApiGetNextObject)},
    {"PcbApi_DestroyIterator", Slots(PcbApiDestroyIterator)},
    {"PcbApi_GetObjectIdFromObjectHandle", Slots(PcbApiGetObjectIdFromObjectHandle)},
    {"PcbApi_GetObjectBitField2", Slots(PcbApi_GetObjectBitField2)},
    {"PcbApi_GetObjectBitField3", Slots(PcbApi_GetObjectBitField3)},
    {"PcbApi_QueryObjectBoundingRectangle", Slots(PcbApi_QueryObjectBoundingRectangle)},
    {"PcbApi_QueryObjectImport_FromUser", Slots(PcbApi_QueryObjectImport_FromUser)},
    {"PcbApi_QueryObjectGraphicallyInvalidate", Slots(PcbApi_QueryObjectGraphicallyInvalidate)},
    {"PcbApi_QueryPrimitive", Slots(PcbApi_QueryPrimitive)},
    {"PcbApi_QueryTrack", Slots(PcbApi_QueryTrack)},
    {"PcbApi_QueryArc", Slots(PcbApi_QueryArc)},
    {"PcbApi_QueryVia", Slots(PcbApi_QueryVia)},
    {"PcbApi_QueryFill", Slots(PcbApi_QueryFill)},
    {"PcbApi_QueryText", Slots(PcbApi_QueryText)},
    {"PcbApi_QueryPad", Slots(PcbApi_QueryPad)},
    {"PcbApi_QueryPadStackMode", Slots(PcbApi_QueryPadStackMode)},
    {"PcbApi_QueryPadOrViaShapeOnLayer", Slots(PcbApi_QueryPadOrViaShapeOnLayer)},
    {"PcbApi_QueryPadOrViaSizeOnLayer", Slots(PcbApi_QueryPadOrViaSizeOnLayer)},
    {"PcbApi_SetPadShapeOnLayer", Slots(PcbApi_SetPadShapeOnLayer)},
    {"PcbApi_SetPadSizeOnLayer", Slots(PcbApi_SetPadSizeOnLayer)},
    {"PcbApi_QueryNet", Slots(PcbApi_QueryNet)},
    {"PcbApi_QueryClass", Slots(PcbApi_QueryClass)},
    {"PcbApi_GetMemberFromClassAt", Slots(PcbApi_GetMemberFromClassAt)},
    {"PcbApi_AddMemberToClass", Slots(PcbApi_AddMemberToClass)},
    {"PcbApi_RemoveAllMembersFromClass", Slots(PcbApi_RemoveAllMembersFromClass)},
    {"PcbApi_QueryComponentChannelOffset", Slots(PcbApi_QueryComponentChannelOffset)},
    {"PcbApi_QueryComponentKind", Slots(PcbApi_QueryComponentKind)},
    {"PcbApi_QueryComponent", Slots(PcbApi_QueryComponent)},
    {"PcbApi_QueryComponentEx", Slots(PcbApi_QueryComponentEx)},
    {"PcbApi_QueryComponentSourceLinks", Slots(PcbApi_QueryComponentSourceLinks)},
    {"PcbApi_QueryPolygon", Slots(PcbApi_QueryPolygon)},
    {"PcbApi_QueryFromTo", Slots(PcbApi_QueryFromTo)},
    {"PcbApi_QueryManualFromTo", Slots(PcbApi_QueryManualFromTo)},
    {"PcbApi_QueryCoordinate", Slots(PcbApi_QueryCoordinate)},
    {"PcbApi_QueryDimension", Slots(PcbApi_QueryDimension)},
    {"PcbApi_QueryExtDimension", Slots(PcbApi_QueryExtDimension)},
    {"PcbApi_References_Count", Slots(PcbApi_References_Count)},
    {"PcbApi_References_At", Slots(PcbApi_References_At)},
    {"PcbApi_QueryRule", Slots(PcbApi_QueryRule)},
    {"PcbApi_QueryBoard", Slots(PcbApi_QueryBoard)},
    {"PcbApi_QueryBoardLayerInfo", Slots(PcbApi_QueryBoardLayerInfo)},
    {"PcbApi_QueryBoardGridsEx", Slots(PcbApi_QueryBoardGridsEx)},
    {"PcbApi_QueryBoardOutputOptions", Slots(PcbApi_QueryBoardOutputOptions)},
    {"PcbApi_QueryBoardOutputOptionsPlotLayers", Slots(PcbApi_QueryBoardOutputOptionsPlotLayers)},
    {"PcbApi_QueryBoardOutputOptionsFlipLayers", Slots(PcbApi_QueryBoardOutputOptionsFlipLayers)},
    {"PcbApi_QueryBoardGerberOptions", Slots(PcbApi_QueryBoardGerberOptions)},
    {"PcbApi_QueryBoardPrinterOptions", Slots(PcbApi_QueryBoardPrinterOptions)},
    {"PcbApi_QueryBoardPrinterOptionsPlotterPen", Slots(PcbApi_QueryBoardPrinterOptionsPlotterPen)},
    {"PcbApi_QueryBoardPrinterOptionsCompositeLayer",
     Slots(PcbApi_QueryBoardPrinterOptionsCompositeLayer)},
    {"PcbApi_QueryBoardAdvancedPlacerOptions", Slots(PcbApi_QueryBoardAdvancedPlacerOptions)},
    {"PcbApi_QueryBoardEngineeringChangeOrderOptions",
     Slots(PcbApi_QueryBoardEngineeringChangeOrderOptions)},
    {"PcbApi_QueryBoardLayerPairsCount", Slots(PcbApi_QueryBoardLayerPairsCount)},
    {"PcbApi_QueryBoardLayerPairAt", Slots(PcbApi_QueryBoardLayerPairAt)},
    {"PcbApi_QueryBoardExternalDielectrics", Slots(PcbApi_QueryBoardExternalDielectrics)},
    {"PcbApi_QueryLayer", Slots(PcbApi_QueryLayer)},
    {"PcbApi_QueryInternalPlane", Slots(PcbApi_QueryInternalPlane)},
    {"PcbApi_QueryLayerDielectric", Slots(PcbApi_QueryLayerDielectric)},
};
static_assert(std::size(cEntries) == 70, "every wrapped entry point");

[[gnu::always_inline]] inline uint32_t StackPointer() {
  uint32_t esp;
  asm volatile("movl %%esp, %0" : "=r"(esp));
  return esp;
}

using ProxyStack = RaveloTest;

// With handle 0 and null addresses every call is answered without touching memory.
TEST_F(ProxyStack, EveryEntryPointRemovesExactlyTheWrappersArguments) {
  HMODULE server = GetModuleHandleA("Ravelo.dll");
  const uint32_t zeros[32] = {};
  int calls = 0;
  while (calls < 10000) {
    for (const TEntry& entry : cEntries) {
      void* address = reinterpret_cast<void*>(GetProcAddress(server, entry.Name));
      ASSERT_NE(address, nullptr) << entry.Name;
      ASSERT_EQ(StdcallStackDrift(address, zeros, entry.Slots), 0) << entry.Name;
      ++calls;
    }
  }
}

// The probe itself tells a mismatch: a stdcall callee given one argument too many
// leaves four bytes behind.
TEST_F(ProxyStack, ProbeSeesAnArgumentCountMismatch) {
  void* address =
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("Ravelo.dll"), "PcbApi_DestroyObject"));
  const uint32_t zeros[2] = {};
  EXPECT_EQ(StdcallStackDrift(address, zeros, 1), 0);
  EXPECT_EQ(StdcallStackDrift(address, zeros, 2), -4);
}

TEST_F(ProxyStack, TenThousandProxyQueriesKeepTheStackPointer) {
  const uint32_t handle = PcbApiCreateObject(okTrack);
  TPcbTrack track(handle);
  volatile uint32_t canary = 0xC0FFEE11;
  const uint32_t before = StackPointer();
  for (int i = 0; i < 5000; ++i) {
    track.SetWidth(i);
    ASSERT_EQ(track.Synchronize(0), 0);
    ASSERT_EQ(track.Synchronize(1), 0);
  }
  const uint32_t after = StackPointer();
  EXPECT_EQ(after, before);
  EXPECT_EQ(canary, 0xC0FFEE11u);
  EXPECT_EQ(track.GetWidth(), 4999);
  Control().ClearCallLog();
}

}  // namespace
