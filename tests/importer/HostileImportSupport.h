// Whole imports of hostile files: the reader's road of ImportFileIntoPcb run headless
// against the stand-in PCB server, with an error box answered when one appears, a
// deadline watched by another thread, and the checks every hostile input must pass.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class TKivoReadingHooks;

// What one import did.
struct THostileOutcome {
  bool Result = false;      // what the import answers: no load or import errors
  bool ReportSays = false;  // what the written report says: "Load Errors : 0" and "Import Errors : 0"
  bool ReportWritten = false;
  int ErrorBoxes = 0;       // error boxes answered
  int BracketBegins = 0;    // board-modify bracket opened (event 7) and closed (event 8)
  int BracketEnds = 0;
  double Seconds = 0;
  std::string ReportError;  // why the report could not be written (the outcome stands)
  std::string ReportPath;   // the report written, empty when none
  int LoadWarnings = 0;
  bool EndsEarly = false;   // the report says the file ends inside an open block
  std::string Report;       // the report written, at its default detail
  std::map<std::string, int> Objects;  // the board's objects by kind ("track", "via"...)
  std::string Dump;                    // the board's dump (the stand-in server's)
};

// The host layer a hostile import puts the file's layer `index` (its place among the
// LYRSTR entries, from 0) on: each a layer of its own (the signal layers from the top,
// then the mechanical ones), so that an object drawn on another layer of the file lies
// on another host layer.
int HostileHostLayer(int index);
// Imports `path` into `board` with each layer of the file mapped by HostileHostLayer,
// under a deadline: past it the process is ended with a message naming `label` (a hang cannot
// be caught any other way). The report is written beside the file. The reader consults
// `hooks` (a fault planted in it, PlantedFaults.h), none when null.
THostileOutcome ImportHostileFile(const std::string& path, uint32_t board, const std::string& label,
                                  double deadlineSeconds, TKivoReadingHooks* hooks = nullptr);
// The outcome's failures as text, empty when the outcome is sound: the answer agrees
// with the report (or the report's failure names it), the bracket is closed, and at
// most one error box was shown.
std::string HostileOutcomeFailures(const THostileOutcome& outcome);

// The files below a folder with their sizes and write times, to see what an import wrote.
using TFileSnapshot = std::map<std::string, std::string>;
TFileSnapshot SnapshotFiles(const std::string& folder);
// Names in `after` that are new or changed against `before`.
std::vector<std::string> ChangedFiles(const TFileSnapshot& before, const TFileSnapshot& after);
