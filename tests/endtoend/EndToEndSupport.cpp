// What the end-to-end tests share: running the stand-in host, the scratch folder they
// write in, and the example board and its dump.
#include "tests/endtoend/EndToEndSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "classlib/FileUtils.h"
#include "classlib/Win.h"
#include "tests/importer/ExampleWithoutVoids.h"
#include "tests/support/TestSupport.h"

namespace {

std::string BinaryFolder() { return ExtractFilePath(GetModuleName(nullptr)); }

}  // namespace

const std::string& Scratch() {
  static const std::string folder = EmptiedTempFolder("kivo-endtoend");
  return folder;
}

std::string ReadFile(const std::string& path) { return FileBytes(path); }

std::string WriteScratch(const std::string& name, const std::string& text) {
  const std::string path = Scratch() + name;
  ForceDirectories(ExtractFileDir(path));
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  return path;
}

std::string SourceFile(const std::string& relative) {
  return ReadFile(std::string("Z:") + KIVO_SOURCE_DIR + "/" + relative);
}

// The layer map the importer's options dialog saves as the user's defaults.
std::string SavedDefaultsFile() {
  char folder[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE);
  return std::string(folder) + "\\Zorvan\\LoadKIVO.ini";
}

// Runs the stand-in host with `arguments` in the binary folder and collects what it
// prints; a run that has not ended after two minutes is ended and fails.
THostRun RunHost(const std::vector<std::string>& arguments) {
  THostRun run;
  std::string commandLine = "\"" + BinaryFolder() + "KivoHost.exe\"";
  for (const std::string& argument : arguments)
    commandLine += " \"" + argument + "\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
    return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, BinaryFolder().c_str(), &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return run;
  }
  const DWORD deadline = GetTickCount() + 120000;
  bool ended = false;
  for (;;) {
    DWORD waiting = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr))
      break;  // the host and its pipe are gone
    if (waiting > 0) {
      std::string chunk(waiting, '\0');
      DWORD got = 0;
      ::ReadFile(readEnd, chunk.data(), waiting, &got, nullptr);
      run.Output.append(chunk.data(), got);
    } else if (ended) {
      break;  // everything it wrote is read (Wine's console may keep the pipe open)
    } else if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
      ended = true;  // one more look for what it wrote last
    } else if (GetTickCount() > deadline) {
      TerminateProcess(process.hProcess, 99);
      run.Output += "\n<the host did not end within two minutes>";
      break;
    } else {
      Sleep(20);
    }
  }
  WaitForSingleObject(process.hProcess, 10000);
  DWORD exitCode = DWORD(-1);
  GetExitCodeProcess(process.hProcess, &exitCode);
  run.ExitCode = long(exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(readEnd);
  // Lines end as the console writes them; the tests compare "\n" only.
  std::string output;
  for (char c : run.Output)
    if (c != '\r')
      output += c;
  run.Output = output;
  return run;
}

bool Has(const THostRun& run, const std::string& text) {
  return run.Output.find(text) != std::string::npos;
}


// The dump without its first line, which names the board (a new document's own name on
// the command road, the file's on the direct road).
std::string DumpObjects(const std::string& dump) {
  const size_t end = dump.find('\n');
  return end == std::string::npos ? std::string() : dump.substr(end + 1);
}


// The objects of a board's dump, without the progress indicator's log.
std::string ObjectLines(const std::string& dump) {
  std::string objects;
  for (size_t start = 0, end; start < dump.size(); start = end + 1) {
    end = std::min(dump.find('\n', start), dump.size());
    if (dump[start] == '#')
      objects.append(dump, start, end - start + 1);
  }
  return objects;
}


// The lines of `objects` (ObjectLines) that `other` does not have, each line once.
int MissingLines(const std::string& objects, const std::string& other) {
  std::multiset<std::string> kept;
  for (size_t start = 0, end; start < other.size(); start = end + 1) {
    end = other.find('\n', start);
    kept.insert(other.substr(start, end - start));
  }
  int missing = 0;
  for (size_t start = 0, end; start < objects.size(); start = end + 1) {
    end = objects.find('\n', start);
    const auto at = kept.find(objects.substr(start, end - start));
    if (at == kept.end())
      ++missing;
    else
      kept.erase(at);
  }
  return missing;
}


// The example without its voids (lines 221 to 223), which imports as "Translation
// Successful", with `from` (its first occurrence) made `to`.
std::string ExampleWithoutVoids(const std::string& from, const std::string& to) {
  return ExampleWithoutVoidsOf(SourceFile("examples/demo.pdf"), from, to);
}
