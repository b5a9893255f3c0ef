// What the end-to-end tests share: running the stand-in host (KivoHost.exe, which loads
// LoadKIVO.dll and Ravelo.dll) and reading what it prints and writes, the scratch folder
// the tests write in, and the example board (examples/demo.pdf) with one of its lines
// changed.
#pragma once

#include <cstring>
#include <string>
#include <vector>

struct THostRun {
  long ExitCode = -1;
  std::string Output;  // stdout and stderr together
};

// The scratch folder, emptied once per run; a file written there by name.
const std::string& Scratch();
std::string WriteScratch(const std::string& name, const std::string& text);
std::string ReadFile(const std::string& path);
// A file of the source tree, by its path from the root.
std::string SourceFile(const std::string& relative);
// The layer map the importer's options dialog saves as the user's defaults.
std::string SavedDefaultsFile();
// Runs the stand-in host with `arguments` in the binary folder and collects what it
// prints; a run that has not ended after two minutes is ended and fails.
THostRun RunHost(const std::vector<std::string>& arguments);
bool Has(const THostRun& run, const std::string& text);
// The dump without its first line, which names the board (a new document's own name on
// the command road, the file's on the direct road).
std::string DumpObjects(const std::string& dump);
// The objects of a board's dump, without the progress indicator's log.
std::string ObjectLines(const std::string& dump);
// The lines of `objects` (ObjectLines) that `other` does not have, each line once.
int MissingLines(const std::string& objects, const std::string& other);
// The example without its voids (lines 221 to 223), which imports as "Translation
// Successful", with `from` (its first occurrence) made `to`.
std::string ExampleWithoutVoids(const std::string& from = "", const std::string& to = "");

// The example's lines, for tests that change one of them and import the result.
class TExampleLines {
 public:
  TExampleLines() {
    const std::string demo = SourceFile("examples/demo.pdf");
    for (size_t start = 0, end; start < demo.size(); start = end + 1) {
      end = demo.find('\n', start);
      FLines.push_back(demo.substr(start, end - start));
    }
  }
  const std::vector<std::string>& Lines() const { return FLines; }
  // The example, or the example without its voids (lines 221 to 223), which alone
  // imports as "Translation Successful"; told lines after them are 3 less.
  std::string Text(bool voids) const {
    std::string text;
    for (size_t i = 0; i < FLines.size(); ++i)
      if (voids || i + 1 < 221 || i + 1 > 223)
        text += FLines[i] + (i + 1 < FLines.size() ? "\n" : "");
    return text;
  }
  // The same with the first `was` of line `line` (from 1) made `becomes`; an empty `was`
  // drops the line's last character, a "}". Empty where the line has no such text.
  std::string Edited(int line, const char* was, const std::string& becomes, bool voids) {
    std::string& edited = FLines.at(static_cast<size_t>(line - 1));
    const std::string kept = edited;
    if (*was == 0) {
      if (edited.empty() || edited.back() != '}')
        return {};
      edited.pop_back();
    } else {
      const size_t at = edited.find(was);
      if (at == std::string::npos)
        return {};
      edited.replace(at, strlen(was), becomes);
    }
    std::string text = Text(voids);
    edited = kept;
    return text;
  }

 private:
  std::vector<std::string> FLines;
};
