// Faults that the hostile-input campaign's own tests plant in the reader, to show that the
// campaign finds such faults by itself. None is planted unless a test plants one.
#pragma once

#include <cstdint>

enum class TKivoPlantedFault : uint8_t {
  None,
  DropEveryThirdVia,         // every third via read is not kept, and nothing says so
  SkipCountsEscapedBrace,    // a skip takes "\{" for the "{" of a block
  ConnectionListSkipsToEnd,  // a block met in a CN list is skipped by its braces alone
  EveryFifthTextUnturned,    // every fifth text read loses its rotation
  ConnectionSwapsPins2And3,  // a CN list of more than three names gives pins 2 and 3
                             // each other's nets
};

// The fault planted; set by tests only.
inline TKivoPlantedFault gKivoPlantedFault = TKivoPlantedFault::None;
