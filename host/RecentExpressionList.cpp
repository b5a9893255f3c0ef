// Decisions taken here:
// - An old-form file whose last expression is not followed by an empty line keeps that
//   expression (dropping it would lose the user's data).
// - The INI form reads only the expression numbers that the section holds, in rising
//   order, and stops once the list is full; the result is what reading every number up
//   to "RecentExpressionCount" gives, but a huge or corrupt count cannot make it read
//   without end.
// - A file larger than the settings files' bound (MaxSettingsFileBytes) is not read: the
//   list goes on as without it, and the save, which would read it too, leaves it as it
//   is and is told as a failed save ("... because it is larger than 16 MB ..."), so the
//   user's expressions in it are not written over.
// - The user's file is written only when its folder exists (a write into a missing
//   folder would fail), and a failed save is reported instead of escaping the destructor:
//   in plain words, naming the file, through the boundary handler (while the plug-in
//   runs, the host-styled error box), so that the module's release always ends.
// - Other instances of the module in the same profile read and save the user's file too.
//   A save asks for the file alone for a moment, and under Wine a file open for reading
//   cannot be replaced, so a read may meet a save and a save a read: each waits, a step
//   at a time, for a short while and tries again (RetryWhileHeldByAnotherInstance, the
//   rule of every settings store). The file is read once, for either form, so that a
//   save between two reads cannot mix two files. A registry save that meets another's
//   erasure of the section is made again in the same way. Only these wait: a file that
//   is missing or may not be read, and a registry write refused for any other reason,
//   are told at once (waiting on them cost every module start two seconds).
// - A file that still cannot be read does not keep the module from starting: the list
//   goes on as without it. The user's file is then left as it is when the list goes (its
//   expressions were not read, and a save would lose them), which the save tells as it
//   tells a file beyond the bound; the example file, which no save tells of, is told at
//   once.
#include "host/RecentExpressionList.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "classlib/Boundary.h"
#include "classlib/FileUtils.h"
#include "classlib/Lists.h"
#include "classlib/Registry.h"
#include "classlib/Strings.h"
#include "classlib/SysUtils.h"
#include "classlib/UpdateScope.h"
#include "classlib/Win.h"
#include "host/Utilities.h"

namespace {

const char* const kAllDescription = "(All)";
const char* const kNewFileFormat = "NewFileFormat";
const char* const kCount = "RecentExpressionCount";
const char* const kExpression = "RecentExpression";
const char* const kDescription = "RecentDescription";

std::string ExpressionKey(int n) { return kExpression + IntToStr(n); }
std::string DescriptionKey(int n) { return kDescription + IntToStr(n); }

// The number in a key "RecentExpression<n>" written as the list writes it (decimal, no
// sign, no leading zero), or 0 for any other key.
int ExpressionNumber(const std::string& key) {
  const std::string_view prefix(kExpression);
  if (key.size() <= prefix.size() || !SameText(std::string_view(key).substr(0, prefix.size()), prefix))
    return 0;
  std::string_view digits = std::string_view(key).substr(prefix.size());
  if (digits.size() > 10 || digits.front() == '0')
    return 0;
  long long n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9')
      return 0;
    n = n * 10 + (c - '0');
  }
  return n <= 0x7FFFFFFF ? static_cast<int>(n) : 0;
}

// The expression numbers 1 .. count that the section holds, in rising order.
std::vector<int> ExpressionNumbers(TCustomIniFile& ini, const std::string& section, int count) {
  std::vector<int> numbers;
  for (const std::string& key : ini.ReadSectionKeys(section)) {
    int n = ExpressionNumber(key);
    if (n >= 1 && n <= count)
      numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

TRecentExpressionList* gRecentExpressionList = nullptr;

// The file as read, waiting for another instance's save. A file gone after it was seen
// reads as empty, and raises ERROR_FILE_NOT_FOUND.
std::unique_ptr<TMemIniFile> ReadWhenFree(const std::string& fileName, const TInstanceWait& wait) {
  return RetryWhileHeldByAnotherInstance<EIniFileException>(
      [&] {
        auto ini = std::make_unique<TMemIniFile>(fileName, MaxSettingsFileBytes);
        if (!FileExists(fileName))
          throw EIniFileException("Unable to read " + fileName, ERROR_FILE_NOT_FOUND);
        return ini;
      },
      wait);
}

}  // namespace

std::string EscapeExpression(const std::string& text) {
  std::string pipes;
  pipes.reserve(text.size());
  for (char c : text) {
    pipes += c;
    if (c == '|')
      pipes += '|';
  }
  std::string result;
  result.reserve(pipes.size());
  for (size_t i = 0; i < pipes.size(); ++i) {
    if (pipes[i] == '\r' && i + 1 < pipes.size() && pipes[i + 1] == '\n') {
      result += '|';
      ++i;
    } else {
      result += pipes[i];
    }
  }
  return result;
}

std::string UnescapeExpression(const std::string& text) {
  // From the last character back: "||" is one "|", a single "|" a line break. Built
  // backwards, then turned round.
  std::string reversed;
  reversed.reserve(text.size() + 8);
  for (int i = static_cast<int>(text.size()) - 1; i >= 0; --i) {
    if (text[i] != '|') {
      reversed += text[i];
    } else if (i > 0 && text[i - 1] == '|') {
      reversed += '|';
      --i;
    } else {
      reversed += "\n\r";
    }
  }
  return std::string(reversed.rbegin(), reversed.rend());
}

TRecentExpressionList::TRecentExpressionList(const std::string& moduleName,
                                             const std::string& userDataFolder,
                                             const std::string& hostFolder, TInstanceWait wait)
    : FModuleName(moduleName),
      FUserDataFolder(userDataFolder),
      FHostFolder(hostFolder),
      FWait(std::move(wait)),
      FListeners(new TMethodList) {
  SetCaseSensitive(false);
  AddObject("", new TRecentExpression("", kAllDescription, /*isAll=*/true));
  if (FileExists(RecentFileName()))
    LoadAtStart(RecentFileName());
  else if (FileExists(ExampleFileName()))
    LoadAtStart(ExampleFileName());
}

TRecentExpressionList::~TRecentExpressionList() {
  GuardBoundary("TRecentExpressionList: saving to the registry", [this] { SaveToRegistry(); });
  GuardBoundary("TRecentExpressionList: saving to the user's file", [this] { SaveToUserFile(); });
  for (int i = 0; i < GetCount(); ++i)
    delete GetObject(i);
  delete FListeners;
}

std::string TRecentExpressionList::RecentFileName() const {
  return FUserDataFolder + "\\" + FModuleName + "RecentFilters.Txt";
}

std::string TRecentExpressionList::ExampleFileName() const {
  return IncludeTrailingPathDelimiter(FHostFolder) + "System\\Example" + FModuleName + "Filters.Txt";
}

std::string TRecentExpressionList::SectionName() const {
  return "Recent " + FModuleName + " Filter Expressions";
}

void TRecentExpressionList::AddRecentExpression(const std::string& expression,
                                                const std::string& description) {
  if (expression.empty())
    return;
  auto entry = std::make_unique<TRecentExpression>(expression, description, /*isAll=*/false);
  AddObject(expression, entry.get());
  entry.release();
  if (GetCount() > MaxRecentExpressions)
    Delete(GetCount() - 1);
}

void TRecentExpressionList::LoadRecentExpressions(const std::string& fileName) {
  if (!FileExists(fileName))
    return;
  std::unique_ptr<TMemIniFile> ini;
  try {
    ini = ReadWhenFree(fileName, FWait);
  } catch (const EIniFileException& error) {
    // Passed over as a missing file is; the save refuses a file beyond the bound in
    // turn, and says why.
    if (error.GetErrorCode() == ERROR_FILE_TOO_LARGE || error.GetErrorCode() == ERROR_FILE_NOT_FOUND)
      return;
    throw;
  }
  if (SameText(ini->ReadString(SectionName(), kNewFileFormat, ""), "True")) {
    LoadIniForm(*ini);
    return;
  }
  TStringList lines;
  ini->GetStrings(lines);
  LoadOldTextForm(lines);
}

void TRecentExpressionList::LoadAtStart(const std::string& fileName) {
  try {
    LoadRecentExpressions(fileName);
  } catch (const EIniFileException& error) {
    if (fileName == RecentFileName()) {
      FUnreadError = error.GetErrorCode();
      return;
    }
    const std::string told = "Could not read the recent filter expressions from \"" + fileName + "\" because " +
                             SettingsFileFailureReason(fileName, error.GetErrorCode()) +
                             "; the list starts without them.";
    GuardBoundary("TRecentExpressionList: reading the example file", [&] { throw Exception(told); });
  }
}

void TRecentExpressionList::LoadIniForm(TCustomIniFile& ini) {
  const std::string section = SectionName();
  const int count = ini.ReadInteger(section, kCount, 0);
  for (int n : ExpressionNumbers(ini, section, count)) {
    if (GetCount() >= MaxRecentExpressions)
      break;
    std::string expression = UnescapeExpression(ini.ReadString(section, ExpressionKey(n), ""));
    std::string description = ini.ReadString(section, DescriptionKey(n), "");
    AddRecentExpression(expression, description);
  }
}

void TRecentExpressionList::LoadOldTextForm(const TStrings& lines) {
  std::string collected;
  for (int i = 0; i < lines.GetCount(); ++i) {
    std::string line = lines.Get(i);
    if (!line.empty()) {
      if (!collected.empty())
        collected += "\r\n";
      collected += line;
      continue;
    }
    AddRecentExpression(collected, "");
    collected.clear();
  }
  // The file may end without the empty line after its last expression.
  AddRecentExpression(collected, "");
}

void TRecentExpressionList::SaveRecentExpressions(TCustomIniFile& target) const {
  const std::string section = SectionName();
  target.EraseSection(section);
  target.WriteString(section, kNewFileFormat, "True");
  target.WriteInteger(section, kCount, GetCount());
  // Item 0 is "(All)" and has no keys; item i is stored under number i + 1.
  for (int i = 1; i < GetCount(); ++i) {
    const TRecentExpression* entry = ExpressionAt(i);
    target.WriteString(section, ExpressionKey(i + 1),
                       EscapeExpression(entry ? entry->GetExpression() : Get(i)));
    target.WriteString(section, DescriptionKey(i + 1), entry ? entry->GetDescription() : "");
  }
}

void TRecentExpressionList::SaveToRegistry() const {
  // Another instance saving at the same moment erases the section too, and a write that
  // meets its erasure fails (ERROR_KEY_DELETED): the section is written again.
  RetryWhileHeldByAnotherInstance<ERegistryException>(
      [&] {
        TRegistryIniFile registry(RegistryKey);
        SaveRecentExpressions(registry);
      },
      FWait);
}

void TRecentExpressionList::SaveToUserFile() const {
  const std::string fileName = RecentFileName();
  if (!DirectoryExists(ExtractFileDir(fileName)))
    return;
  const std::string failed = "Could not save the recent filter expressions to \"" + fileName + "\" because ";
  if (FUnreadError != 0)
    throw Exception(failed + "it could not be read when the module started: " +
                    SettingsFileFailureReason(fileName, FUnreadError) + ".");
  try {
    RetryWhileHeldByAnotherInstance<EIniFileException>(
        [&] {
          TMemIniFile file(fileName, MaxSettingsFileBytes);
          SaveRecentExpressions(file);
          file.UpdateFile();
        },
        FWait);
  } catch (const EIniFileException& error) {
    throw Exception(failed + SettingsFileFailureReason(fileName, error.GetErrorCode()) + ".");
  }
}

void TRecentExpressionList::Delete(int index) {
  delete GetObject(index);
  PutObject(index, nullptr);
  inherited::Delete(index);
}

void TRecentExpressionList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex)
    return;
  // Both indexes are checked before anything changes, so a bad target loses nothing.
  if (curIndex < 0 || curIndex >= GetCount())
    ListIndexError(curIndex);
  if (newIndex < 0 || newIndex >= GetCount())
    ListIndexError(newIndex);
  std::string expression = Get(curIndex);
  TObject* entry = GetObject(curIndex);
  {
    const TUpdateScope update(this);
    PutObject(curIndex, nullptr);  // detached, so that Delete does not free it
    Delete(curIndex);
    InsertObject(newIndex, expression, entry);
  }
  NotifyRecentExpressionsChanged();
}

void TRecentExpressionList::NotifyRecentExpressionsChanged() {
  for (int i = 0; i < FListeners->GetCount(); ++i) {
    TMethod method;
    FListeners->GetItem(i, method);
    TNotifyEvent::FromMethod(method)(this);
  }
}

TRecentExpression* TRecentExpressionList::ExpressionAt(int index) const {
  if (index < 0 || index >= GetCount())
    return nullptr;
  return static_cast<TRecentExpression*>(GetObject(index));
}

TRecentExpressionList* GetRecentExpressionList() { return gRecentExpressionList; }

void CreateRecentExpressionList(const std::string& moduleName, const std::string& userDataFolder,
                                const std::string& hostFolder) {
  FreeRecentExpressionList();
  gRecentExpressionList = new TRecentExpressionList(moduleName, userDataFolder, hostFolder);
}

void FreeRecentExpressionList() {
  TRecentExpressionList* list = gRecentExpressionList;
  gRecentExpressionList = nullptr;
  delete list;
}
