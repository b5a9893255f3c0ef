#include "tests/importer/ImporterTestSupport.h"

#include <algorithm>
#include <cstring>

#include "classlib/FileUtils.h"
#include "classlib/Streams.h"
#include "classlib/Win.h"
#include "importer/KivoTokenizer.h"
#include "standin/ravelo/RaveloControl.h"

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = IncludeTrailingPathDelimiter(temp) + "kivo-importer-tests";
    std::string doomed = path + '\0';  // the shell wants a list ending with two zeros
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = doomed.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
    ForceDirectories(path + "\\virtual");
    return path + "\\";
  }();
  return folder;
}

std::string WriteScratchFile(const std::string& name, const std::string& bytes) {
  const std::string path = ScratchFolder() + name;
  TFileStream stream(path, fmCreate);
  if (!bytes.empty())
    stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
  return path;
}

std::string WriteRepeatedFile(const std::string& name, const std::string& head,
                              const std::string& chunk, int count, const std::string& tail) {
  const std::string path = ScratchFolder() + name;
  TFileStream stream(path, fmCreate);
  stream.WriteBuffer(head.data(), static_cast<int32_t>(head.size()));
  // Chunks are written in batches of about a megabyte: small writes one by one are slow.
  const int perBatch = std::max<int>(1, (1 << 20) / std::max<size_t>(1, chunk.size()));
  std::string batch;
  for (int i = 0; i < perBatch; ++i)
    batch += chunk;
  for (int done = 0; done < count; done += perBatch) {
    const int n = std::min(perBatch, count - done);
    stream.WriteBuffer(batch.data(), static_cast<int32_t>(n * chunk.size()));
  }
  stream.WriteBuffer(tail.data(), static_cast<int32_t>(tail.size()));
  return path;
}

std::string ReadWholeFile(const std::string& path) {
  if (!FileExists(path))
    return "<missing>";
  TFileStream stream(path, fmOpenRead | fmShareDenyNone);
  std::string bytes(static_cast<size_t>(stream.GetSize()), '\0');
  if (!bytes.empty())
    stream.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
  return bytes;
}

TKivoText::TKivoText(const std::string& text, const std::string& name)
    : TKivoText(TExisting{}, WriteScratchFile(name, text)) {}

TKivoText::TKivoText(TExisting, const std::string& path) : FPath(path) {
  ResetTokenizerState();
  FFile.Assign(FPath);
  FFile.Reset();
}

TKivoText TKivoText::Open(const std::string& path) { return TKivoText(TExisting{}, path); }

const std::string& VirtualFolder() {
  static const std::string folder = ScratchFolder() + "virtual\\";
  return folder;
}

std::vector<std::string>& HostFileSystemLog() {
  static std::vector<std::string> log;
  return log;
}

bool UnterminatedHostNames = false;

namespace {

constexpr std::string_view kVirtualPrefix = "VFS:\\";

std::string RealName(const char* name) {
  std::string_view text = name ? name : "";
  if (text.substr(0, kVirtualPrefix.size()) == kVirtualPrefix)
    return VirtualFolder() + std::string(text.substr(kVirtualPrefix.size()));
  return std::string(text);
}

void Answer(char* buffer, const std::string& text) {
  if (UnterminatedHostNames) {
    std::memset(buffer, 'x', 4096);
    std::memcpy(buffer, text.data(), std::min<size_t>(text.size(), 4096));
    return;
  }
  size_t length = std::min<size_t>(text.size(), 4095);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

size_t NamePart(const std::string& name) {
  size_t separator = name.find_last_of("\\/:");
  return separator == std::string::npos ? 0 : separator + 1;
}

}  // namespace

// The host's file system as this executable exports it (TestHostExports.def).
extern "C" {

int32_t __stdcall VFSAPI_VFSAssignFile(HostTextFile* file, const char* name) {
  HostFileSystemLog().push_back("AssignFile " + std::string(name));
  Answer(file->name, RealName(name));
  return 7;
}

void __stdcall VFSAPI_VFS_ExtractFilePath(const char* name, char* buffer) {
  HostFileSystemLog().push_back("ExtractFilePath " + std::string(name));
  std::string text = name;
  Answer(buffer, text.substr(0, NamePart(text)));
}

void __stdcall VFSAPI_VFS_ExtractFileName(const char* name, char* buffer) {
  HostFileSystemLog().push_back("ExtractFileName " + std::string(name));
  std::string text = name;
  Answer(buffer, text.substr(NamePart(text)));
}

uint8_t __stdcall VFSAPI_VFS_FileExists(const char* name) {
  HostFileSystemLog().push_back("FileExists " + std::string(name));
  return FileExists(RealName(name)) ? 1 : 0;
}

}  // extern "C"

namespace {

std::string CallLog() {
  auto getLog = reinterpret_cast<TRaveloGetCallLog>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("Ravelo.dll"), "Ravelo_GetCallLog")));
  if (!getLog)
    return {};
  std::string log(getLog(nullptr, 0) + 1, '\0');
  log.resize(getLog(log.data(), static_cast<int32_t>(log.size())));
  return log;
}

}  // namespace

int ProgressSteps() {
  const std::string log = CallLog();
  int steps = 0;
  for (size_t at = log.find("PcbApi_Percent_Update"); at != std::string::npos;
       at = log.find("PcbApi_Percent_Update", at + 1))
    ++steps;
  return steps;
}

void ClearProgressSteps() {
  auto clear = reinterpret_cast<TRaveloClearCallLog>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("Ravelo.dll"), "Ravelo_ClearCallLog")));
  if (clear)
    clear();
}
