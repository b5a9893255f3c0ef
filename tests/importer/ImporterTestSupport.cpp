#include "tests/importer/ImporterTestSupport.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <functional>

#include "classlib/FileUtils.h"
#include "classlib/Forms.h"
#include "classlib/MemoryManager.h"
#include "classlib/Streams.h"
#include "classlib/Win.h"
#include "importer/KivoFile.h"
#include "importer/ReportManager.h"
#include "standin/ravelo/RaveloControl.h"
#include "tests/support/TestSupport.h"

const std::string& ScratchFolder() {
  // One folder per test executable, so that executables running side by side do not
  // empty each other's.
  static const std::string folder = [] {
    std::string path =
        EmptiedTempFolder("kivo-" + ChangeFileExt(ExtractFileName(GetModuleName(nullptr)), ""));
    ForceDirectories(path + "virtual");
    return path;
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

int64_t PeakHeapOf(const std::function<void()>& work) {
  static TMemoryManager saved;
  static int64_t now = 0, peak = 0;
  struct TCounting {
    static void* Get(size_t size) {
      void* block = saved.GetMem(size);
      if (block)
        peak = std::max(peak, now += static_cast<int64_t>(_msize(block)));
      return block;
    }
    static int Free(void* block) {
      if (block)
        now -= static_cast<int64_t>(_msize(block));
      return saved.FreeMem(block);
    }
    static void* Realloc(void* block, size_t size) {
      const int64_t before = block ? static_cast<int64_t>(_msize(block)) : 0;
      void* moved = saved.ReallocMem(block, size);
      if (moved)
        peak = std::max(peak, now += static_cast<int64_t>(_msize(moved)) - before);
      return moved;
    }
  };
  GetMemoryManager(saved);
  SetMemoryManager({TCounting::Get, TCounting::Free, TCounting::Realloc});
  peak = now = 0;
  try {
    work();
  } catch (...) {
    SetMemoryManager(saved);
    throw;
  }
  SetMemoryManager(saved);
  return peak;
}

int64_t PeakHeapOfReading(const std::string& text, std::string& report) {
  const std::string path = WriteScratchFile("heap.pdf", text);
  TReportManager manager(path);
  const int64_t peak = PeakHeapOf([&] {
    TKivoFile reader(path, TKivoFile::TReadOnly{});
    reader.SetReport(&manager);
    reader.ReadModel();
  });
  manager.WriteReport();
  report = ReadWholeFile(manager.GetReportPath());
  return peak;
}

std::string LoadWarningsAlone(const std::string& text, uint8_t level,
                              const TKivoReadingControls& controls) {
  const std::string path = WriteScratchFile("alone.pdf", text);
  TReportManager report(path);
  TKivoFile reader(path, TKivoFile::TReadOnly{}, controls);
  reader.SetReport(&report);
  EXPECT_TRUE(reader.ReadModel());
  report.SetLoadWarningLevel(level);
  report.WriteReport();
  const std::string all = ReadWholeFile(report.GetReportPath());
  const size_t from = all.find("Load Warnings : ");
  return all.substr(from, all.find("\r\n\r\n", from) - from + 2);
}

TKivoTextFile::TKivoTextFile(const std::string& text, const std::string& name,
                             const TKivoReadingControls& controls)
    : TKivoTextFile(TExisting{}, WriteScratchFile(name, text), controls) {}

TKivoTextFile::TKivoTextFile(TExisting, const std::string& path, const TKivoReadingControls& controls)
    : FPath(path), FFile(controls) {
  FFile.Assign(FPath);
  FFile.Reset();
}

TKivoTextFile TKivoTextFile::Open(const std::string& path) {
  return TKivoTextFile(TExisting{}, path, {});
}

const std::string& VirtualFolder() {
  static const std::string folder = ScratchFolder() + "virtual\\";
  return folder;
}

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

TApplicationHandleScope::TApplicationHandleScope() : FSaved(Application->GetHandle()) {}

TApplicationHandleScope::~TApplicationHandleScope() { Application->SetHandle(FSaved); }
