// Runs of the stand-in host for the end-to-end tests: each starts KivoHost.exe as its
// own process in the binary folder and collects what it prints; and the files those runs
// read and write.
#pragma once

#include <string>
#include <vector>

struct THostRun {
  long ExitCode = -1;
  std::string Output;  // stdout and stderr together
};

std::string BinaryFolder();
// The tests' scratch folder (emptied once per run of the executable), with a trailing "\".
const std::string& Scratch();
std::string ReadFile(const std::string& path);
// Writes `text` to `name` in the scratch folder; answers the full name.
std::string WriteScratch(const std::string& name, const std::string& text);
// A file of the source tree, by its path relative to the tree's root.
std::string SourceFile(const std::string& relative);
// The layer map the importer's options dialog saves as the user's defaults.
std::string SavedDefaultsFile();
// Runs the stand-in host with `arguments` in the binary folder and collects what it
// prints; a run that has not ended after two minutes is ended and fails.
THostRun RunHost(const std::vector<std::string>& arguments);
bool Has(const THostRun& run, const std::string& text);
// The name of a temporary file left in `folder` (a replacement not cleared away), or "".
std::string TemporaryFileIn(const std::string& folder);
// The dump without its first line, which names the board (a new document's own name on
// the command road, the file's on the direct road).
std::string DumpObjects(const std::string& dump);
// The objects of a board's dump, without the progress indicator's log.
std::string ObjectLines(const std::string& dump);
// The example without its voids (lines 221 to 223), which imports as "Translation
// Successful", with `from` (its first occurrence) made `to`.
std::string ExampleWithoutVoids(const std::string& from = "", const std::string& to = "");
