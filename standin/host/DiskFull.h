// A disk that is (nearly) full, for the writes of some modules: while a TDiskFull lives,
// the modules' calls of WriteFile (through their import tables) to files under `folder`
// share the bytes still free. A write larger than what is left is cut short, as on a disk
// with a page left (the call succeeds with fewer bytes written); with nothing left it
// fails with ERROR_DISK_FULL. Other files, consoles and pipes are written as ever. One
// at a time in a process; it is the host's failure injection (KivoHost --disk-full) and
// the tests'.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "classlib/Win.h"

namespace standin {

class TDiskFull {
 public:
  TDiskFull(HMODULE module, const std::string& folder, uint64_t freeBytes)
      : TDiskFull({module}, folder, freeBytes) {}
  TDiskFull(std::initializer_list<HMODULE> modules, const std::string& folder, uint64_t freeBytes);
  ~TDiskFull();
  TDiskFull(const TDiskFull&) = delete;
  TDiskFull& operator=(const TDiskFull&) = delete;

  // False when no module imports WriteFile from kernel32 (nothing is then changed).
  bool Installed() const { return !FSlots.empty(); }

 private:
  std::vector<void**> FSlots;  // each module's import slot, now the full disk's
};

}  // namespace standin
