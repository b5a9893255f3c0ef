// The stand-in host: loads LoadKIVO.dll as the real host would and drives it.
#include <cstdio>

#include "classlib/Win.h"

namespace {

using TGetDescription = const char*(__stdcall*)();

int Run() {
  HMODULE plugin = LoadLibraryA("LoadKIVO.dll");
  if (!plugin) {
    fprintf(stderr, "KivoHost: cannot load LoadKIVO.dll (error %lu)\n", GetLastError());
    return 1;
  }
  auto describe = reinterpret_cast<TGetDescription>(
      reinterpret_cast<void*>(GetProcAddress(plugin, "GetPcbImporterDescription")));
  if (!describe) {
    fprintf(stderr, "KivoHost: LoadKIVO.dll has no GetPcbImporterDescription\n");
    FreeLibrary(plugin);
    return 1;
  }
  printf("Importer: %s\n", describe());
  FreeLibrary(plugin);
  return 0;
}

}  // namespace

int main() { return Run(); }
