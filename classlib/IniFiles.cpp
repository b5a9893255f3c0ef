#include "classlib/IniFiles.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "classlib/StringList.h"
#include "classlib/Strings.h"
#include "classlib/Win.h"

// One parsed INI file. Sections[0] holds the lines before the first header; it has
// no name and is never matched. Every line keeps its original text, so that lines
// the program does not change are written back as they were.
class TIniDocument {
 public:
  void Parse(std::string_view text);
  std::string Text() const;

  const std::string* Find(std::string_view section, std::string_view key) const;
  void Set(std::string_view section, std::string_view key, std::string_view value);
  bool EraseSection(std::string_view section);
  bool DeleteKey(std::string_view section, std::string_view key);
  std::vector<std::string> Keys(std::string_view section) const;
  std::vector<std::string> Sections() const;
  std::vector<std::string> Pairs(std::string_view section) const;

 private:
  struct TLine {
    std::string Raw;
    bool IsEntry = false;
    std::string Key;
    std::string Value;
  };
  struct TSection {
    bool HasHeader = false;
    std::string Name;
    std::string Header;
    std::vector<TLine> Lines;
  };
  const TSection* FindSection(std::string_view name) const;
  TSection* FindSection(std::string_view name) {
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
  }
  static const TLine* FindEntry(const TSection& section, std::string_view key);

  std::vector<TSection> FSections{TSection{}};
};

namespace {

// A line break inside a name or value would start a new line of the file.
std::string OneLine(std::string_view text) {
  std::string s(text);
  std::replace(s.begin(), s.end(), '\r', ' ');
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string EncodeValue(std::string_view value) {
  std::string v = OneLine(value);
  bool quote = !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()) ||
                              (v.size() >= 2 && v.front() == '"' && v.back() == '"'));
  return quote ? "\"" + v + "\"" : v;
}

std::string DecodeValue(std::string_view raw) {
  std::string v = Trim(raw);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
    return v.substr(1, v.size() - 2);
  return v;
}

class THandleGuard {
 public:
  explicit THandleGuard(HANDLE handle) : FHandle(handle) {}
  ~THandleGuard() {
    if (FHandle != INVALID_HANDLE_VALUE)
      CloseHandle(FHandle);
  }
  THandleGuard(const THandleGuard&) = delete;
  THandleGuard& operator=(const THandleGuard&) = delete;
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

// The file's bytes; empty for a file (or folder) that does not exist.
std::string LoadFileText(const std::string& fileName) {
  THandleGuard file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return {};
    throw EIniFileException(Format("Unable to read %s", fileName.c_str()));
  }
  std::string text;
  char buffer[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))
      throw EIniFileException(Format("Unable to read %s", fileName.c_str()));
    if (got == 0)
      return text;
    text.append(buffer, got);
  }
}

void SaveFileText(const std::string& fileName, const std::string& text) {
  THandleGuard file(CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file.Get() == INVALID_HANDLE_VALUE ||
      !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size())
    throw EIniFileException(Format("Unable to write to %s", fileName.c_str()));
}

TIniDocument LoadDocument(const std::string& fileName) {
  TIniDocument document;
  document.Parse(LoadFileText(fileName));
  return document;
}

}  // namespace

void TIniDocument::Parse(std::string_view text) {
  FSections.assign(1, TSection{});
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r')
      ++pos;
    if (pos < text.size() && text[pos] == '\n')
      ++pos;

    std::string line = Trim(raw);
    if (!line.empty() && line.front() == '[') {
      size_t close = line.find(']');
      TSection section;
      section.HasHeader = true;
      section.Name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      section.Header = std::string(raw);
      FSections.push_back(std::move(section));
      continue;
    }
    TLine entry;
    entry.Raw = std::string(raw);
    size_t equals = line.find('=');
    if (!line.empty() && line.front() != ';' && equals != std::string::npos) {
      entry.Key = Trim(line.substr(0, equals));
      entry.Value = DecodeValue(line.substr(equals + 1));
      entry.IsEntry = !entry.Key.empty();
    }
    FSections.back().Lines.push_back(std::move(entry));
  }
}

std::string TIniDocument::Text() const {
  std::string text;
  for (const TSection& section : FSections) {
    if (section.HasHeader)
      text += section.Header + "\r\n";
    for (const TLine& line : section.Lines)
      text += line.Raw + "\r\n";
  }
  return text;
}

const TIniDocument::TSection* TIniDocument::FindSection(std::string_view name) const {
  std::string wanted = Trim(name);
  for (const TSection& section : FSections)
    if (section.HasHeader && SameText(section.Name, wanted))
      return &section;
  return nullptr;
}

const TIniDocument::TLine* TIniDocument::FindEntry(const TSection& section, std::string_view key) {
  std::string wanted = Trim(key);
  for (const TLine& line : section.Lines)
    if (line.IsEntry && SameText(line.Key, wanted))
      return &line;
  return nullptr;
}

const std::string* TIniDocument::Find(std::string_view section, std::string_view key) const {
  const TSection* s = FindSection(section);
  const TLine* line = s ? FindEntry(*s, key) : nullptr;
  return line ? &line->Value : nullptr;
}

void TIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  TSection* s = FindSection(section);
  if (!s) {
    TSection added;
    added.HasHeader = true;
    added.Name = Trim(OneLine(section));
    added.Header = "[" + added.Name + "]";
    FSections.push_back(std::move(added));
    s = &FSections.back();
  }
  std::string encoded = EncodeValue(value);
  if (auto* line = const_cast<TLine*>(FindEntry(*s, key))) {
    line->Value = DecodeValue(encoded);
    line->Raw = line->Key + "=" + encoded;
    return;
  }
  TLine line;
  line.IsEntry = true;
  line.Key = Trim(OneLine(key));
  line.Value = DecodeValue(encoded);
  line.Raw = line.Key + "=" + encoded;
  // After the section's last key, so that blank lines and comments that close the
  // section stay where they are.
  auto last = std::find_if(s->Lines.rbegin(), s->Lines.rend(), [](const TLine& l) { return l.IsEntry; });
  s->Lines.insert(last.base(), std::move(line));
}

bool TIniDocument::EraseSection(std::string_view section) {
  std::string wanted = Trim(section);
  auto doomed = [&](const TSection& s) { return s.HasHeader && SameText(s.Name, wanted); };
  auto end = std::remove_if(FSections.begin(), FSections.end(), doomed);
  bool changed = end != FSections.end();
  FSections.erase(end, FSections.end());
  return changed;
}

bool TIniDocument::DeleteKey(std::string_view section, std::string_view key) {
  TSection* s = FindSection(section);
  const TLine* line = s ? FindEntry(*s, key) : nullptr;
  if (!line)
    return false;
  s->Lines.erase(s->Lines.begin() + (line - s->Lines.data()));
  return true;
}

std::vector<std::string> TIniDocument::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const TSection* s = FindSection(section);
  if (!s)
    return keys;
  for (const TLine& line : s->Lines)
    if (line.IsEntry && FindEntry(*s, line.Key) == &line)  // the first of equal keys only
      keys.push_back(line.Key);
  return keys;
}

std::vector<std::string> TIniDocument::Sections() const {
  std::vector<std::string> names;
  for (const TSection& section : FSections)
    if (section.HasHeader && FindSection(section.Name) == &section)
      names.push_back(section.Name);
  return names;
}

std::vector<std::string> TIniDocument::Pairs(std::string_view section) const {
  std::vector<std::string> pairs;
  for (const std::string& key : Keys(section))
    pairs.push_back(key + "=" + *Find(section, key));
  return pairs;
}

int IniValueToInt(std::string_view text, int defaultValue) {
  std::string s = Trim(text);
  const char* first = s.data();
  const char* last = s.data() + s.size();
  if (first != last && *first == '+')
    ++first;
  int value = 0;
  auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last || (*first == '-' && s[0] == '+'))
    return defaultValue;
  return value;
}

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                int defaultValue) {
  return IniValueToInt(ReadString(section, ident, ""), defaultValue);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, std::to_string(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident,
                              bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void AssignLines(TStrings& strings, const std::vector<std::string>& lines) {
  strings.BeginUpdate();
  try {
    strings.Clear();
    for (const std::string& line : lines)
      strings.Add(line);
  } catch (...) {
    strings.EndUpdate();
    throw;
  }
  strings.EndUpdate();
}

void TCustomIniFile::ReadSection(const std::string& section, TStrings& strings) {
  AssignLines(strings, ReadSectionKeys(section));
}

void TCustomIniFile::ReadSections(TStrings& strings) { AssignLines(strings, ReadSectionNames()); }

void TCustomIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
  AssignLines(strings, ReadSectionPairs(section));
}

bool TCustomIniFile::SectionExists(const std::string& section) {
  return !ReadSectionKeys(section).empty();
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) {
  auto keys = ReadSectionKeys(section);
  return std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return SameText(k, ident); });
}

// TIniFile: the file on disk is the only state.

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
  TIniDocument document = LoadDocument(GetFileName());
  const std::string* value = document.Find(section, ident);
  return value ? *value : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) {
  TIniDocument document = LoadDocument(GetFileName());
  document.Set(section, ident, value);
  SaveFileText(GetFileName(), document.Text());
}

std::vector<std::string> TIniFile::ReadSectionKeys(const std::string& section) {
  return LoadDocument(GetFileName()).Keys(section);
}

std::vector<std::string> TIniFile::ReadSectionNames() { return LoadDocument(GetFileName()).Sections(); }

std::vector<std::string> TIniFile::ReadSectionPairs(const std::string& section) {
  return LoadDocument(GetFileName()).Pairs(section);
}

void TIniFile::EraseSection(const std::string& section) {
  TIniDocument document = LoadDocument(GetFileName());
  if (document.EraseSection(section))
    SaveFileText(GetFileName(), document.Text());
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  TIniDocument document = LoadDocument(GetFileName());
  if (document.DeleteKey(section, ident))
    SaveFileText(GetFileName(), document.Text());
}

// TMemIniFile: the document read once, written by UpdateFile.

TMemIniFile::TMemIniFile(const std::string& fileName)
    : TCustomIniFile(fileName), FDocument(std::make_unique<TIniDocument>(LoadDocument(fileName))) {}

TMemIniFile::~TMemIniFile() = default;

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
  const std::string* value = FDocument->Find(section, ident);
  return value ? *value : defaultValue;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
  FDocument->Set(section, ident, value);
}

std::vector<std::string> TMemIniFile::ReadSectionKeys(const std::string& section) {
  return FDocument->Keys(section);
}

std::vector<std::string> TMemIniFile::ReadSectionNames() { return FDocument->Sections(); }

std::vector<std::string> TMemIniFile::ReadSectionPairs(const std::string& section) {
  return FDocument->Pairs(section);
}

void TMemIniFile::EraseSection(const std::string& section) { FDocument->EraseSection(section); }

void TMemIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  FDocument->DeleteKey(section, ident);
}

void TMemIniFile::UpdateFile() { SaveFileText(GetFileName(), FDocument->Text()); }
