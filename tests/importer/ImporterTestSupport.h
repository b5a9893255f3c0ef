// Shared pieces of the importer's tests: a scratch folder with files written from
// text, a KIVO file opened for the tokenizer, the stand-in host's virtual folder, and
// the progress steps counted by the stand-in PCB server. The test executable is the
// host: the stand-in host's exports are linked into it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classlib/Win.h"
#include "importer/KivoReadingHooks.h"
#include "importer/KivoSource.h"

// "<temp>\kivo-<test executable>\", emptied and created on first use, with an empty
// folder "virtual" in it.
const std::string& ScratchFolder();
// Writes `bytes` to `name` in the scratch folder; answers the full name.
std::string WriteScratchFile(const std::string& name, const std::string& bytes);
// Writes `head`, then `chunk` `count` times, then `tail`; answers the full name.
std::string WriteRepeatedFile(const std::string& name, const std::string& head,
                              const std::string& chunk, int count, const std::string& tail);
// The whole content of a file, or "<missing>".
std::string ReadWholeFile(const std::string& path);
// The heap `work` takes at its peak beyond what was held before, counted through the
// module's memory manager (the model's objects, made in the reader's arena, are not
// counted).
int64_t PeakHeapOf(const std::function<void()>& work);
// The same for the reading of `text` alone (TKivoFile::ReadModel); its report in `report`.
int64_t PeakHeapOfReading(const std::string& text, std::string& report);
// The load warnings of the reading of `text` alone (made with `controls`), at detail
// `level`: from "Load Warnings : " to the list's end.
std::string LoadWarningsAlone(const std::string& text, uint8_t level = 4,
                              const TKivoReadingControls& controls = {});

// A KIVO text written to a scratch file and opened for reading by a source of its own,
// made with `controls`.
class TKivoTextFile {
 public:
  explicit TKivoTextFile(const std::string& text, const std::string& name = "tokens.pdf",
                         const TKivoReadingControls& controls = {});
  // Opens a file that exists already.
  static TKivoTextFile Open(const std::string& path);
  TKivoSource& File() { return FFile; }
  const std::string& Path() const { return FPath; }

 private:
  struct TExisting {};
  TKivoTextFile(TExisting, const std::string& path, const TKivoReadingControls& controls);
  std::string FPath;
  TKivoSource FFile;
};

// Controls that cap the bytes the readers of quoted values may look at to `steps`: a
// reading that looks at them again and again raises as soon as it goes over, and fails
// its test in a moment rather than at ctest's timeout.
inline TKivoReadingControls StepBudget(uint64_t steps) { return {nullptr, steps}; }

// The folder of the stand-in host's virtual file system in these tests: names
// beginning with "VFS:\" live there.
const std::string& VirtualFolder();

// Progress steps taken since the stand-in PCB server's call log was last cleared.
int ProgressSteps();
void ClearProgressSteps();

// Keeps the runtime's application window over a scope: an import makes the host's
// application window the runtime's, and the next test starts from its own.
class TApplicationHandleScope {
 public:
  TApplicationHandleScope();
  ~TApplicationHandleScope();
  TApplicationHandleScope(const TApplicationHandleScope&) = delete;
  TApplicationHandleScope& operator=(const TApplicationHandleScope&) = delete;

 private:
  HWND FSaved;
};
