#include "importer/ImportMemory.h"

#include <array>
#include <new>

#include "classlib/Win.h"

namespace {

uint32_t gSteps = 0;

// "450 MB", "12 KB".
std::string SizeText(uint64_t bytes) {
  return bytes >= (1u << 20) ? std::to_string((bytes + (1u << 19)) >> 20) + " MB"
                             : std::to_string((bytes + 512) >> 10) + " KB";
}

// The process's whole address space: "4 GB".
std::string AddressSpaceText() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  const uint64_t space = GlobalMemoryStatusEx(&status) ? status.ullTotalVirtual : uint64_t{1} << 32;
  return space >= (uint64_t{1} << 30) ? std::to_string((space + (uint64_t{1} << 29)) >> 30) + " GB"
                                      : SizeText(space);
}

}  // namespace

bool ImportMemoryFree() {
  // The room is tried rather than asked for: the system's count of the address space
  // left is off under Wine (its resident memory is taken for what is used). One piece
  // first, which is all a roomy process costs; then pieces of a megabyte, the room the
  // heap grows by, so that a process whose free space is cut up is not taken for full.
  // Reserved and given back at once, nothing is committed.
  if (void* whole = VirtualAlloc(nullptr, ImportMemoryReserve, MEM_RESERVE, PAGE_NOACCESS)) {
    VirtualFree(whole, 0, MEM_RELEASE);
    return true;
  }
  constexpr size_t kPiece = size_t{1} << 20;
  std::array<void*, ImportMemoryReserve / kPiece> pieces{};
  size_t count = 0;
  while (count < pieces.size() &&
         (pieces[count] = VirtualAlloc(nullptr, kPiece, MEM_RESERVE, PAGE_NOACCESS)) != nullptr)
    ++count;
  for (size_t i = 0; i < count; ++i)
    VirtualFree(pieces[i], 0, MEM_RELEASE);
  return count == pieces.size();
}

void CheckImportMemory() {
  if (!ImportMemoryFree())
    throw std::bad_alloc();
}

void ImportMemoryStep() {
  if ((++gSteps & (ImportMemoryCheckSteps - 1)) == 0)
    CheckImportMemory();
}

std::string BoardTooLargeReason(const std::string& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::string file =
      GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data)
          ? "the " + SizeText((uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow) + " file"
          : std::string("the file");
  return "its " + AddressSpaceText() + " of address space ran out while " + file + " was being imported";
}

std::string AddressSpaceShortReason() {
  return "this process's " + AddressSpaceText() + " of address space is nearly used up";
}
