#include "skin/KsCommonConst.h"

HINSTANCE SkinResourceInstance() {
  static HINSTANCE instance = [] {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&SkinResourceInstance), &module);
    return static_cast<HINSTANCE>(module);
  }();
  return instance;
}

std::string KsLoadStr(int id) {
  char buffer[256];
  const int length = LoadStringA(SkinResourceInstance(), UINT(id), buffer, int(sizeof buffer));
  return std::string(buffer, length > 0 ? size_t(length) : 0);
}
