// A disk that is (nearly) full, for the writes of one module: while a TDiskFull lives,
// the module's calls of WriteFile (through its import table) to files under `folder`
// share the bytes still free. A write larger than what is left is cut short, as on a disk
// with a page left (the call succeeds with fewer bytes written); with nothing left it
// fails with ERROR_DISK_FULL. Other files, consoles and pipes are written as ever. One
// at a time in a process; it is the host's failure injection (KivoHost --disk-full) and
// the tests'.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Win.h"

namespace standin {

class TDiskFull {
 public:
  TDiskFull(HMODULE module, const std::string& folder, uint64_t freeBytes);
  ~TDiskFull();
  TDiskFull(const TDiskFull&) = delete;
  TDiskFull& operator=(const TDiskFull&) = delete;

  // False when the module imports no WriteFile from kernel32 (nothing is then changed).
  bool Installed() const { return FSlot != nullptr; }

 private:
  void** FSlot = nullptr;
  void* FOriginal = nullptr;
};

}  // namespace standin
