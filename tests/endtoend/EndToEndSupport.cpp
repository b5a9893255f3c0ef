#include "tests/endtoend/EndToEndSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "classlib/FileUtils.h"
#include "classlib/Win.h"
#include "tests/support/TestSupport.h"

std::string BinaryFolder() { return ExtractFilePath(GetModuleName(nullptr)); }

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

std::string SavedDefaultsFile() {
  char folder[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE);
  return std::string(folder) + "\\Zorvan\\LoadKIVO.ini";
}

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

std::string ObjectLines(const std::string& dump) {
  std::string objects;
  for (size_t start = 0, end; start < dump.size(); start = end + 1) {
    end = std::min(dump.find('\n', start), dump.size());
    if (dump[start] == '#')
      objects.append(dump, start, end - start + 1);
  }
  return objects;
}

std::string ExampleWithoutVoids(const std::string& from, const std::string& to) {
  const std::string demo = SourceFile("examples/demo.pdf");
  std::string text;
  int line = 1;
  for (size_t start = 0, end; start < demo.size(); start = end + 1, ++line) {
    end = std::min(demo.find('\n', start), demo.size());
    if (line < 221 || line > 223)
      text.append(demo, start, end - start + 1);
  }
  const size_t at = from.empty() ? std::string::npos : text.find(from);
  EXPECT_TRUE(from.empty() || at != std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

