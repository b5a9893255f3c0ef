// The example board without its polygon voids (lines 221 to 223), which imports without a
// warning, edited as a person's editor or a damage would, and imported in-process through
// the reader's road of ImportFileIntoPcb with each of its layers on a host layer of its
// own (ImportHostileFile).
#pragma once

#include <string>

#include "tests/importer/HostileImportSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

// The example without its voids, with `from` (its first occurrence) made `to`.
std::string ExampleWithoutVoids(const std::string& from = "", const std::string& to = "");

class ExampleImportTest : public RaveloTest {
 protected:
  // Imports `text` into a fresh board.
  THostileOutcome Import(const std::string& text);
  // The board's objects in its dump (the dump without the line naming the board).
  static std::string Objects(const std::string& dump);
};
