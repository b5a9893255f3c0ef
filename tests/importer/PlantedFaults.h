// Faults that the hostile-input campaign's own tests plant in the reader, through the
// reader's hooks (TKivoReadingHooks), to show that the campaign finds such faults by
// itself. None is planted unless a test makes a reader with one.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "importer/KivoReadingHooks.h"

enum class TKivoPlantedFault : uint8_t {
  None,
  DropEveryThirdVia,         // every third via read is not kept, and nothing says so
  SkipCountsEscapedBrace,    // a skip takes "\{" for the "{" of a block
  ConnectionListSkipsToEnd,  // a block met in a CN list is skipped by its braces alone
  EveryFifthTextUnturned,    // every fifth text read loses its rotation
  ConnectionSwapsPins2And3,  // a CN list of more than three names gives pins 2 and 3
                             // each other's nets
};

// The hooks that plant a fault in the readings made with them.
class TPlantedFault final : public TKivoReadingHooks {
 public:
  explicit TPlantedFault(TKivoPlantedFault fault) : FFault(fault) {}
  TPlantedFault(const TPlantedFault&) = delete;
  TPlantedFault& operator=(const TPlantedFault&) = delete;

 private:
  void BeginReading() override { FVias = FTexts = 0; }
  bool SkipEscapes(char next) override;
  bool KeepVia() override;
  void TextRead(TKivoText& text) override;
  bool BlockInConnections(TKivoSource& file) override;
  void ConnectionsRead(std::span<std::string> names) override;

  TKivoPlantedFault FFault;
  int FVias = 0, FTexts = 0;  // of the reading, kept and read
};
