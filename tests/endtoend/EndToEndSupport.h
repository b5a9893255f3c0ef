// What the end-to-end tests share: the stand-in host run as a process of its own, a
// scratch folder for the files it imports and writes, and the example board edited.
#pragma once

#include <string>
#include <vector>

// What a run of the stand-in host printed and how it ended.
struct THostRun {
  long ExitCode = -1;
  std::string Output;  // stdout and stderr together
};

// The folder of the test executable, where the host lies.
std::string BinaryFolder();
// "<temp>\kivo-endtoend\", emptied on first use.
const std::string& Scratch();
std::string ReadFile(const std::string& path);
// Writes `text` to `name` in the scratch folder; answers the full name.
std::string WriteScratch(const std::string& name, const std::string& text);
// The source tree's file `relative`, read.
std::string SourceFile(const std::string& relative);
// The layer map the importer's options dialog saves as the user's defaults.
std::string SavedDefaultsFile();
// Runs the stand-in host with `arguments` in the binary folder and collects what it
// prints; a run that has not ended after two minutes is ended and fails.
THostRun RunHost(const std::vector<std::string>& arguments);
bool Has(const THostRun& run, const std::string& text);
// The objects of a board's dump, without the progress indicator's log.
std::string ObjectLines(const std::string& dump);
// The example without its voids (lines 221 to 223), which imports as "Translation
// Successful", with `from` (its first occurrence) made `to`.
std::string ExampleWithoutVoids(const std::string& from = "", const std::string& to = "");
