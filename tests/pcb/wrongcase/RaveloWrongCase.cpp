// A PCB server library for the exact-case binding test: three names in the right case
// and three whose case differs from the names the plug-in binds. Its command entry point
// fills the whole parameter buffer without a terminating zero.
#include <cstdint>
#include <cstring>

extern "C" {

uint32_t __stdcall PcbApi_CreateObject(uint8_t kind) {
  return 40u + kind / 2;
}
uint32_t __stdcall PCBAPI_GetBinaryRuleForPrimitive() {
  return 1;
}
int32_t __stdcall PcbApi_SendCommand(const char*, char* parameters, uint16_t size, uint32_t) {
  std::memset(parameters, 'x', size);
  return 1;
}

uint32_t __stdcall PCBAPI_GetCurrentBoardHandle() {
  return 77;
}
uint32_t __stdcall PcbApi_GetUnaryRuleForPrimitive() {
  return 1;
}
void __stdcall pcbapi_percent_init(uint8_t*, int32_t) {}
}
