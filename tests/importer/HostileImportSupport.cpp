#include "tests/importer/HostileImportSupport.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "classlib/Automation.h"
#include "classlib/FileUtils.h"
#include "classlib/StringList.h"
#include "classlib/Win.h"
#include "importer/KivoFile.h"
#include "importer/ReportManager.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

// One watchdog thread for the process: armed with a deadline and a label before an
// import, disarmed after it. Past the deadline it ends the process with a message,
// which ctest shows as the test's failure.
class TDeadlineWatch {
 public:
  static TDeadlineWatch& Instance() {
    static TDeadlineWatch watch;
    return watch;
  }
  void Arm(const std::string& label, double seconds) {
    std::lock_guard<std::mutex> lock(FLock);
    FLabel = label;
    FDeadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    FArmed = true;
  }
  void Disarm() {
    std::lock_guard<std::mutex> lock(FLock);
    FArmed = false;
  }

 private:
  TDeadlineWatch() {
    HANDLE thread = CreateThread(nullptr, 0, &TDeadlineWatch::Run, this, 0, nullptr);
    if (thread)
      CloseHandle(thread);
  }
  static DWORD WINAPI Run(void* self) {
    auto* watch = static_cast<TDeadlineWatch*>(self);
    for (;;) {
      Sleep(100);
      std::lock_guard<std::mutex> lock(watch->FLock);
      if (watch->FArmed && GetTickCount64() > watch->FDeadline) {
        fprintf(stderr, "FAILED: the import of %s did not end within its deadline\n",
                watch->FLabel.c_str());
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    }
  }

  std::mutex FLock;
  std::string FLabel;
  ULONGLONG FDeadline = 0;
  bool FArmed = false;
};

bool MapEveryLayerToTop(TKivoFile& reader, PadStackMapRecord&) {
  TStringList& layers = reader.GetBoardComponent().GetEnvironment().GetLayerStrings();
  for (int i = 0; i < layers.GetCount(); ++i)
    static_cast<KivoLayerEntry*>(layers.GetObject(i))->SetHostLayer(eTopLayer);
  return true;
}

std::string BoardDump(uint32_t board) {
  const int32_t length = Control().DumpBoard(board, nullptr, 0);
  std::string dump(static_cast<size_t>(length) + 1, '\0');
  dump.resize(static_cast<size_t>(Control().DumpBoard(board, dump.data(), length + 1)));
  return dump;
}

// The objects of a board's dump by kind: the word after each line's "#N ".
std::map<std::string, int> ObjectsByKind(const std::string& dump) {
  std::map<std::string, int> kinds;
  for (size_t line = 0; line < dump.size(); line = dump.find('\n', line) + 1) {
    if (dump[line] == '#') {
      const size_t kind = dump.find(' ', line) + 1;
      ++kinds[dump.substr(kind, dump.find(' ', kind) - kind)];
    }
    if (dump.find('\n', line) == std::string::npos)
      break;
  }
  return kinds;
}

// The lines of a report's warning lists, and the warnings counted without a line.
struct TToldWarnings {
  std::multiset<std::string> Lines;
  int Lineless = 0;
};

TToldWarnings ToldWarnings(const std::string& report) {
  TToldWarnings told;
  for (const char* list : {"\r\nLoad Warnings : ", "\r\nImport Warnings : "}) {
    size_t at = report.find(list);
    if (at == std::string::npos)
      continue;
    at += std::strlen(list);
    int count = std::atoi(report.c_str() + at);
    for (at = report.find("\r\n", at) + 2; at < report.size();) {
      const size_t end = report.find("\r\n", at);
      if (end == std::string::npos || end == at)
        break;
      const std::string line = report.substr(at, end - at);
      count -= line.rfind("WARNING:", 0) == 0;
      told.Lines.insert(line);
      at = end + 2;
    }
    told.Lineless += count;
  }
  return told;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string CallLogText() {
  const int32_t length = Control().GetCallLog(nullptr, 0);
  std::string log(static_cast<size_t>(length) + 1, '\0');
  log.resize(static_cast<size_t>(Control().GetCallLog(log.data(), length + 1)));
  return log;
}

int Occurrences(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

std::string ReadText(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "rb"), fclose);
  if (!file)
    return {};
  std::string text;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, file.get())) > 0;)
    text.append(buffer, got);
  return text;
}

void Snapshot(const std::string& folder, TFileSnapshot& files) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..")
      continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Snapshot(folder + name + "\\", files);
      continue;
    }
    files[folder + name] = std::to_string(found.nFileSizeLow) + "/" +
                           std::to_string(found.ftLastWriteTime.dwLowDateTime) + "/" +
                           std::to_string(found.ftLastWriteTime.dwHighDateTime);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

THostileOutcome ImportHostileFile(const std::string& path, uint32_t board, const std::string& label,
                                  double deadlineSeconds) {
  THostileOutcome outcome;
  Control().ClearCallLog();
  const std::string reportPath = ChangeFileExt(path, ".rpt");
  if (!SameFile(reportPath, path))
    DeleteFileA(reportPath.c_str());
  TKivoFile::SetImportOptionsHandler(MapEveryLayerToTop);
  // The unrecognised file's error box is answered when it comes; nothing else may show one.
  TUIAutomation automation(/*deadlineMs=*/static_cast<unsigned>(deadlineSeconds * 1000) + 1000);
  automation.ClickButton("Vantor Suite Error", "OK");

  TDeadlineWatch::Instance().Arm(label, deadlineSeconds);
  const auto start = std::chrono::steady_clock::now();
  {
    // The reader's road of ImportFileIntoPcb: what the reader raises is an unknown
    // import error, and the report is written.
    TReportManager report(path);
    // Every warning's lines are written, for the oracle of the mutation campaign.
    report.SetLoadWarningLevel(4);
    report.SetImportWarningLevel(4);
    try {
      TKivoFile reader(path, board);
      reader.SetReport(&report);
      reader.Load();
    } catch (...) {
      report.AddImportError(0);
    }
    try {
      report.WriteReport();
    } catch (const std::exception& error) {
      // ImportFileIntoPcb tells the user; the import's outcome stands.
      outcome.ReportError = error.what();
    }
    outcome.Result = report.GetLoadErrorCount() + report.GetImportErrorCount() == 0;
    outcome.ReportPath = report.GetReportPath();
    outcome.LoadWarnings = report.GetLoadWarningCount();
  }
  outcome.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  TDeadlineWatch::Instance().Disarm();
  TKivoFile::SetImportOptionsHandler(nullptr);

  outcome.ErrorBoxes = automation.GetDone() ? 1 : 0;
  const std::string report = outcome.ReportPath.empty() ? std::string() : ReadText(outcome.ReportPath);
  outcome.ReportWritten = !report.empty();
  outcome.EndsEarly = report.find("\r\nWARNING: The file ends") != std::string::npos;
  outcome.ReportSays = report.find("\r\nLoad Errors : 0\r\n") != std::string::npos &&
                       report.find("\r\nImport Errors : 0\r\n") != std::string::npos;
  const std::string log = CallLogText();
  outcome.BracketBegins = Occurrences(log, "PcbApi_EventRouter_SendMessage(0, 0, 7, 0)");
  outcome.BracketEnds = Occurrences(log, "PcbApi_EventRouter_SendMessage(0, 0, 8, 0)");
  outcome.Report = report;
  outcome.Objects = ObjectsByKind(BoardDump(board));
  return outcome;
}

std::string HostileOutcomeFailures(const THostileOutcome& outcome) {
  std::string failures;
  if (!outcome.ReportError.empty() && outcome.ReportError.find(".rpt") == std::string::npos)
    failures += " the report failed without naming it: " + outcome.ReportError + ";";
  else if (!outcome.ReportWritten && outcome.ReportError.empty())
    failures += " no report was written;";
  else if (outcome.ReportWritten && outcome.Result != outcome.ReportSays)
    failures += std::string(" the import answered ") + (outcome.Result ? "True" : "False") +
                " but its report says otherwise;";
  if (outcome.BracketBegins != outcome.BracketEnds || outcome.BracketBegins > 1)
    failures += " the board-modify bracket was opened " + std::to_string(outcome.BracketBegins) +
                " and closed " + std::to_string(outcome.BracketEnds) + " times;";
  if (outcome.ErrorBoxes > 0 && outcome.Result)
    failures += " an error box was shown yet the import answered True;";
  return failures;
}

TFileSnapshot SnapshotFiles(const std::string& folder) {
  TFileSnapshot files;
  Snapshot(IncludeTrailingPathDelimiter(folder), files);
  return files;
}

std::vector<std::string> ChangedFiles(const TFileSnapshot& before, const TFileSnapshot& after) {
  std::vector<std::string> changed;
  for (const auto& [name, stamp] : after) {
    auto old = before.find(name);
    if (old == before.end() || old->second != stamp)
      changed.push_back(name);
  }
  return changed;
}

TMutationOracle::TMutationOracle(std::string sample) : FSample(std::move(sample)) {
  // The sample's blocks as the reading takes them: braces outside comments (the
  // samples hold no brace in a text).
  std::vector<size_t> open;  // indices into FBlocks
  constexpr size_t kNone = std::string::npos;
  char before = '\n';  // the last character on the line that is no blank
  for (size_t i = 0; i < FSample.size(); ++i) {
    const char c = FSample[i];
    const bool commentMayStart = IsLineEnd(before) || before == '}' || before == ']';
    before = c == ' ' ? before : c;
    if (IsLineEnd(c)) {
      for (size_t b : open)
        if (FBlocks[b].HeaderEnd == kNone)
          FBlocks[b].HeaderEnd = i;
    } else if (c == '%' && commentMayStart) {
      while (i + 1 < FSample.size() && !IsLineEnd(FSample[i + 1]))
        ++i;
    } else if (c == '[') {
      FAttributes.push_back(i);
    } else if (c == '{') {
      if (!open.empty()) {
        TBlock& parent = FBlocks[open.back()];
        parent.Leaf = false;
        if (parent.HeaderEnd == kNone)
          parent.HeaderEnd = i;
      }
      const size_t word = FSample.find_first_not_of(' ', i + 1);
      const size_t end = FSample.find_first_of(" {}\r\n", word);
      FBlocks.push_back({i, kNone, kNone, true, open.empty() ? kNone : open.back(),
                         FSample.substr(word, end - word)});
      open.push_back(FBlocks.size() - 1);
    } else if (c == '}' && !open.empty()) {
      TBlock& block = FBlocks[open.back()];
      block.Close = i;
      if (block.HeaderEnd == kNone)
        block.HeaderEnd = i;
      open.pop_back();
    }
  }
  assert(open.empty() && "a sample closes its blocks");
}

std::string TMutationOracle::Reference(const std::string& mutant) const {
  // The edited bytes of the sample, [first, last), widened to whole lines.
  size_t first = 0;
  while (first < FSample.size() && first < mutant.size() && FSample[first] == mutant[first])
    ++first;
  size_t same = 0;  // bytes alike at the ends, after `first`
  while (same < FSample.size() - first && same < mutant.size() - first &&
         FSample[FSample.size() - 1 - same] == mutant[mutant.size() - 1 - same])
    ++same;
  size_t from = first, to = FSample.size() - same;
  while (from > 0 && !IsLineEnd(FSample[from - 1]))
    --from;
  while (to < FSample.size() && !IsLineEnd(FSample[to]))
    ++to;
  // An edit at a line's end reaches the line after when it joins them.
  const auto touches = [&](size_t begin, size_t end) { return begin <= to && end >= from; };
  // An edited attribute sets what every block after it is drawn with.
  size_t allAfter = std::string::npos;
  for (size_t attribute : FAttributes)
    if (attribute >= from && attribute <= to) {
      allAfter = attribute;
      break;
    }
  std::vector<bool> out(FSample.size(), false);
  const auto takeOut = [&](const TBlock& block) {
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(block.Open),
              out.begin() + static_cast<std::ptrdiff_t>(block.Close) + 1, true);
  };
  for (size_t b = 0; b < FBlocks.size(); ++b) {
    const TBlock& block = FBlocks[b];
    const bool touched = block.Leaf ? touches(block.Open, block.Close)
                                    : touches(block.Open, block.HeaderEnd);
    if (!touched && block.Open < allAfter)
      continue;
    takeOut(block);
    if (block.Keyword != "COMP_DEF")
      continue;
    for (size_t next = b + 1; next < FBlocks.size(); ++next) {
      if (FBlocks[next].Parent != block.Parent)
        continue;
      if (FBlocks[next].Keyword == "COMP_DEF")
        break;
      if (FBlocks[next].Keyword == "I")
        takeOut(FBlocks[next]);
    }
  }
  std::string reference;
  for (size_t i = 0; i < FSample.size(); ++i)
    if (!out[i])
      reference += FSample[i];
  return reference;
}

bool TMutationOracle::ToldNoMore(const THostileOutcome& mutant, const THostileOutcome& sample) {
  if (!mutant.Result || !mutant.ReportWritten)
    return false;
  const TToldWarnings told = ToldWarnings(mutant.Report), before = ToldWarnings(sample.Report);
  return told.Lineless <= before.Lineless &&
         std::includes(before.Lines.begin(), before.Lines.end(), told.Lines.begin(),
                       told.Lines.end());
}

std::string TMutationOracle::Losses(const THostileOutcome& mutant,
                                    const THostileOutcome& reference) {
  std::string losses;
  for (const auto& [kind, count] : reference.Objects) {
    const auto kept = mutant.Objects.find(kind);
    const int keptCount = kept == mutant.Objects.end() ? 0 : kept->second;
    if (keptCount < count)
      losses += " " + std::to_string(count - keptCount) + " " + kind + " of " +
                std::to_string(count) + ";";
  }
  return losses;
}

uint64_t TKivoMutator::Next() {
  uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::string TKivoMutator::Mutate(const std::string& sample) {
  static const char* const kInjected[] = {"{", "}", "[", "]", "\"", "(", ")", "\\", "%",
                                          "{{", "}}", "\"\"", "\r", "\n", "" /* a NUL */};
  static const char* const kInComments[] = {"{", "}", "[", "]", "(", ")"};
  static const char* const kBeyond[] = {"-1e12",       "1e12",         "-1e308", "1e308",
                                        "-2147483649", "2147483648",   "nan",    "-2147483648",
                                        "214748.3648", "-214748.3648", "1e-400", "-2147483647"};
  std::string text = sample;
  const int edits = 1 + static_cast<int>(Below(4));
  for (int e = 0; e < edits; ++e) {
    const size_t at = Below(text.size() + 1);
    switch (Below(11)) {
      case 0:  // bit flips
        if (!text.empty())
          for (int n = 1 + static_cast<int>(Below(3)); n > 0; --n)
            text[Below(text.size())] ^= static_cast<char>(1 << Below(8));
        break;
      case 1:  // random bytes inserted
        for (int n = 1 + static_cast<int>(Below(8)); n > 0; --n)
          text.insert(text.begin() + static_cast<std::ptrdiff_t>(Below(text.size() + 1)),
                      static_cast<char>(Next() & 0xFF));
        break;
      case 2:  // bytes deleted
        text.erase(std::min(at, text.size()), 1 + Below(16));
        break;
      case 3: {  // a chunk duplicated in place
        const size_t length = 1 + Below(256);
        text.insert(at, text.substr(std::min(at, text.size()), length));
        break;
      }
      case 4: {  // structure injected
        const size_t which = Below(std::size(kInjected));
        text.insert(at, which + 1 == std::size(kInjected) ? std::string(1, '\0')
                                                          : std::string(kInjected[which]));
        break;
      }
      case 5: {  // a number made very long
        size_t digit = text.find_first_of("0123456789", at);
        if (digit == std::string::npos)
          digit = text.find_first_of("0123456789");
        if (digit != std::string::npos)
          text.insert(digit, std::string(100 + Below(400), static_cast<char>('0' + Below(10))));
        break;
      }
      case 6:  // cut
        text.resize(at);
        break;
      case 7: {  // a line end changed
        const size_t end = text.find_first_of("\r\n", at);
        if (end != std::string::npos)
          text[end] = text[end] == '\n' ? '\r' : '\n';
        break;
      }
      case 8: {  // a brace, bracket or parenthesis inside a comment or a string
        const size_t opening = text.find_first_of("%\"", at);
        if (opening == std::string::npos)
          break;
        const size_t closing = std::min(text.find_first_of(text[opening] == '%' ? "\r\n" : "\"",
                                                           opening + 1),
                                        text.size());
        text.insert(opening + 1 + Below(closing - opening),
                    kInComments[Below(std::size(kInComments))]);
        break;
      }
      case 9: {  // a number beyond the range, or no number
        const size_t start = text.find_first_of("-0123456789", at);
        if (start != std::string::npos)
          text.replace(start, text.find_first_not_of("-.0123456789", start + 1) - start,
                       kBeyond[Below(std::size(kBeyond))]);
        break;
      }
      default: {  // a "}" moved to the end
        const size_t brace = text.find('}', at);
        if (brace != std::string::npos) {
          text.erase(brace, 1);
          text += "}\n";
        }
        break;
      }
    }
  }
  return text;
}
