// The stand-in host run as its own process, as the end-to-end tests start it: KivoHost.exe
// of the binary folder with the test's arguments, its output collected.
#pragma once

#include <string>
#include <vector>

struct THostRun {
  long ExitCode = -1;
  std::string Output;  // stdout and stderr together
};

// Runs the stand-in host with `arguments` in the binary folder and collects what it
// prints; a run that has not ended after two minutes is ended and fails.
THostRun RunHost(const std::vector<std::string>& arguments);

// Whether the run printed `text`.
bool Has(const THostRun& run, const std::string& text);
