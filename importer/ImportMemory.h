// The room an import leaves in the process's address space. A board too large for a
// 32-bit process uses the address space up while it is made into host objects; the
// host's allocations then fail inside the host, out of the importer's sight, and no room
// is left to tell the user. So the import looks at the address space left as it makes and
// moves host objects, and ends as on a failed allocation (std::bad_alloc) while a reserve
// is still free; the reading, which asks the host for nothing, ends on its own first
// failed allocation. `ImportFileIntoPcb` tells either as a board too large.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What the import leaves free for the host, the report and the dialogs.
inline constexpr size_t ImportMemoryReserve = 64 << 20;
// How many steps of the import (host objects made or moved) go between two checks: some
// 2 MB of memory at most, far less than the reserve.
inline constexpr uint32_t ImportMemoryCheckSteps = 4096;

// Whether ImportMemoryReserve of the address space is free, in pieces of a megabyte at
// least.
bool ImportMemoryFree();
// Raises std::bad_alloc unless ImportMemoryFree().
void CheckImportMemory();
// One step of the import (a host object made or moved): every ImportMemoryCheckSteps-th
// step checks.
void ImportMemoryStep();

// Why the board of `fileName` could not be imported, in words that finish a sentence
// "... because the board is too large for this process: ".
std::string BoardTooLargeReason(const std::string& fileName);
// Why a host whose address space is short of the reserve failed, in words that finish a
// sentence "... because the host could not start its PCB server: ".
std::string AddressSpaceShortReason();
