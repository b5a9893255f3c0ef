// Throughput of the KIVO tokenizer over a generated 50 MB KIVO file, as a ratio to a
// plain loop that reads the same bytes in 64 KB blocks and sums them. Three reading
// patterns: keyword tokens only, the block structure (blocks skipped whole), and the
// reader's mix of keywords, values and numbers.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/PlainRead.h"
#include "classlib/FileUtils.h"
#include "classlib/Streams.h"
#include "classlib/TextFile.h"
#include "classlib/Win.h"
#include "importer/KivoScanner.h"
#include "importer/KivoTokenizer.h"

namespace {

constexpr int64_t kTargetSize = 50LL << 20;
constexpr int kRuns = 3;

// One detail item of each common kind, CR LF line ends.
const char kItems[] =
    " {ANNOTATE\r\n"
    "  {L 1200 3400 1500 3400 1500 3900 1750.5 3900}\r\n"
    "  {T \"U12 \\\"A\\\"\" -900 400}\r\n"
    "  {C 100.5 200.25 50}\r\n"
    "  [LY \"TOP_SILK\"] [WD 10] [TJ \"LB\"]\r\n"
    "  {FR 0 0 2500 1250}\r\n"
    " }\r\n"
    " {PAD_STACK {PAD 3 \"RECT 60 x 40\" \"SMD\"} {PAD_DEF P1 {ATR {IN {SMD Y}}}}}\r\n";

int64_t MakeFile(const std::string& path) {
  std::string block = "{COMPONENT \"bench\"\r\n {DETAIL\r\n";
  while (block.size() < (1 << 20))
    block += kItems;
  TFileStream stream(path, fmCreate);
  int64_t size = 0;
  for (; size < kTargetSize; size += block.size())
    stream.WriteBuffer(block.data(), static_cast<int32_t>(block.size()));
  return size;
}

// The file opened for the tokenizer, with a fresh tokenizer state.
struct TKivoFile {
  explicit TKivoFile(const std::string& path) {
    File.Assign(path);
    File.Reset();
  }
  TKivoSource File;
};

// Every token read with the word set, skipping blanks.
int64_t Keywords(const std::string& path) {
  TKivoFile kivo(path);
  TKivoSource& file = kivo.File;
  int64_t sum = 0;
  while (!file.Eof())
    sum += GetToken(file, WordSet(), true);
  return sum;
}

// The structure: each "{" followed by its keyword; detail items skipped whole.
int64_t Structure(const std::string& path) {
  TKivoFile kivo(path);
  TKivoSource& file = kivo.File;
  int64_t sum = 0;
  while (!file.Eof()) {
    const int code = GetToken(file, StructuralSet(), true);
    if (code == kwPercent) {
      SkipLine(file);
    } else if (code == kwOpenBrace) {
      const int keyword = GetToken(file, WordSet(), true);
      sum += keyword;
      if (keyword != kwCOMPONENT && keyword != kwDETAIL)
        SkipBlock(file);
    }
  }
  return sum;
}

// As the reader goes: keywords, then string values, numbers and attributes.
int64_t Values(const std::string& path) {
  TKivoFile kivo(path);
  TKivoSource& file = kivo.File;
  int64_t sum = 0;
  while (!file.Eof()) {
    const int code = GetToken(file, StructuralSet(), true);
    if (code == kwOpenBracket) {
      GetToken(file, WordSet(), true);
      sum += ReadQuotedString(file).size();
      SkipToCloseBracket(file);
      continue;
    }
    if (code != kwOpenBrace)
      continue;
    switch (GetToken(file, WordSet(), true)) {
      case kwL:
      case kwC:
      case kwFR:
        for (double value = ReadFloatValue(file); !GetNumberError(file); value = ReadFloatValue(file))
          sum += static_cast<int64_t>(value);
        break;
      case kwT:
      case kwPAD:
        for (std::string value = ReadQuotedString(file); !value.empty();
             value = ReadQuotedString(file))
          sum += value.size();
        break;
    }
  }
  return sum;
}

double Best(int64_t (*run)(const std::string&), const std::string& path, int64_t& result) {
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    result = run(path);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main() {
  InitializeKivoTokenizer();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = IncludeTrailingPathDelimiter(temp) + "kivo-tokenizer-bench.pdf";
  const double mb = MakeFile(path) / double(1 << 20);
  int64_t result = 0;
  PlainRead(path);  // warm the file cache
  const double plain = Best(PlainRead, path, result);
  printf("file size             %8.1f MB (best of %d runs)\n", mb, kRuns);
  printf("plain read loop       %8.1f MB/s\n", mb / plain);
  const struct {
    const char* Name;
    int64_t (*Run)(const std::string&);
  } patterns[] = {{"keyword tokens", Keywords}, {"block structure", Structure},
                  {"keywords and values", Values}};
  for (const auto& pattern : patterns) {
    const double seconds = Best(pattern.Run, path, result);
    printf("%-21s %8.1f MB/s   ratio to plain read %.2f\n", pattern.Name, mb / seconds,
           plain / seconds);
  }
  DeleteFile(path);
  return 0;
}
