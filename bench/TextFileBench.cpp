// Throughput of the text-file character reader against a plain ReadFile loop over the
// same 50 MB file. Both sum the bytes so that neither loop can be optimised away.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "classlib/FileUtils.h"
#include "classlib/TextFile.h"
#include "classlib/Win.h"

namespace {

constexpr int64_t kFileSize = 50LL * 1024 * 1024;
constexpr int kRuns = 3;

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// KIVO-like text: short tokens, blanks, braces and CR LF line ends.
bool MakeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::string line = "{T \"J1 12\" CABLE -900 400 {PT 12.5 -3.25}}\r\n";
  std::string block;
  while (block.size() < 1024 * 1024) block += line;
  block.resize(1024 * 1024);
  bool ok = true;
  for (int64_t written = 0; ok && written < kFileSize; written += block.size()) {
    DWORD done = 0;
    ok = WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &done, nullptr) &&
         done == block.size();
  }
  CloseHandle(file);
  return ok;
}

uint32_t RawSum(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  constexpr DWORD kBuffer = 64 * 1024;
  auto buffer = std::make_unique<unsigned char[]>(kBuffer);
  uint32_t sum = 0;
  DWORD got = 0;
  while (ReadFile(file, buffer.get(), kBuffer, &got, nullptr) && got > 0)
    for (DWORD i = 0; i < got; ++i) sum += buffer[i];
  CloseHandle(file);
  return sum;
}

uint32_t TextFileSum(const std::string& path) {
  TTextFile f;
  f.Assign(path);
  f.Reset();
  uint32_t sum = 0;
  while (!f.Eof()) {
    char c;
    f.Read(c);
    sum += static_cast<unsigned char>(c);
  }
  f.Close();
  return sum;
}

// Best time of kRuns runs; the sums must agree between runs.
double Best(uint32_t (*run)(const std::string&), const std::string& path, uint32_t& sum) {
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    double start = Seconds();
    sum = run(path);
    best = std::min(best, Seconds() - start);
  }
  return best;
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string path = IncludeTrailingPathDelimiter(temp) + "kivo-textfile-bench.txt";
  if (!MakeFile(path)) {
    fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  uint32_t rawSum = 0, textSum = 0;
  RawSum(path);  // warm the file cache
  double raw = Best(RawSum, path, rawSum);
  double text = Best(TextFileSum, path, textSum);
  DeleteFile(path);
  if (rawSum != textSum) {
    fprintf(stderr, "sums differ: raw %u, text file %u\n", rawSum, textSum);
    return 1;
  }
  double mb = kFileSize / (1024.0 * 1024.0);
  printf("file size          %.0f MB (best of %d runs)\n", mb, kRuns);
  printf("ReadFile loop      %8.1f MB/s\n", mb / raw);
  printf("TTextFile.Read     %8.1f MB/s\n", mb / text);
  printf("ratio text/raw     %8.2f (target >= 0.33)\n", raw / text);
  return 0;
}
