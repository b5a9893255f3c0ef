// A PCB server library for the exact-case binding test: two names in the right case
// and three whose case differs from the names the plug-in binds.
#include <cstdint>

extern "C" {

uint32_t __stdcall PcbApi_CreateObject(uint8_t kind) { return 40u + kind / 2; }
uint32_t __stdcall PCBAPI_GetBinaryRuleForPrimitive() { return 1; }

uint32_t __stdcall PCBAPI_GetCurrentBoardHandle() { return 77; }
uint32_t __stdcall PcbApi_GetUnaryRuleForPrimitive() { return 1; }
void __stdcall pcbapi_percent_init(uint8_t*, int32_t) {}

}
