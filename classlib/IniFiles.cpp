#include "classlib/IniFiles.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <unordered_map>
#include <utility>

#include "classlib/FileReplacement.h"
#include "classlib/FileUtils.h"
#include "classlib/StringList.h"
#include "classlib/Strings.h"
#include "classlib/UpdateScope.h"
#include "classlib/Win.h"

// One parsed INI file. Sections[0] holds the lines before the first header; it has
// no name and is never matched. Every line keeps its original text, so that lines
// the program does not change are written back as they were. Sections and entries are
// found through indexes of their upper-cased names, so that a file of many keys is read
// and looked up in linear time.
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
    // The first entry line of each upper-cased key.
    std::unordered_map<std::string, size_t> Entries;

    // Indexes line `index` unless an earlier line has its key.
    void IndexEntry(size_t index) {
      if (Lines[index].IsEntry)
        Entries.emplace(UpperCase(Lines[index].Key), index);
    }
    void Reindex() {
      Entries.clear();
      for (size_t i = 0; i < Lines.size(); ++i)
        IndexEntry(i);
    }
    const TLine* FindEntry(std::string_view key) const {
      auto found = Entries.find(UpperCase(Trim(key)));
      return found == Entries.end() ? nullptr : &Lines[found->second];
    }
    bool IsFirstOfItsKey(size_t index) const {
      auto found = Entries.find(UpperCase(Lines[index].Key));
      return found != Entries.end() && found->second == index;
    }
  };
  const TSection* FindSection(std::string_view name) const;
  TSection* FindSection(std::string_view name) {
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
  }
  // Indexes section `index` unless an earlier section has its name.
  void IndexSection(size_t index) {
    if (FSections[index].HasHeader)
      FSectionIndex.emplace(UpperCase(FSections[index].Name), index);
  }

  std::vector<TSection> FSections{TSection{}};
  // The first section of each upper-cased name.
  std::unordered_map<std::string, size_t> FSectionIndex;
};

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

bool HoldsLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Why `section` cannot be the name of a section: its header line would read back as
// another name. Empty when it can.
std::string IniSectionFault(std::string_view section) {
  if (HoldsLineBreak(section))
    return "it holds a line break, which would end its line";
  if (!section.empty() && (IsBlank(section.front()) || IsBlank(section.back())))
    return "it begins or ends with a blank or a control character, which reading drops";
  if (section.find(']') != std::string_view::npos)
    return "it holds \"]\", which reading takes for the end of a section's name";
  return {};
}

// Refuses what would not read back as written, before anything changes.
void CheckWritable(const std::string& fileName, std::string_view section, std::string_view ident,
                   std::string_view value) {
  auto refuse = [&](const char* what, std::string_view name, const std::string& why) {
    return EIniFileException(Format("Unable to write %s \"%s\" to %s because %s", what, std::string(name).c_str(),
                                    fileName.c_str(), why.c_str()),
                             ERROR_INVALID_DATA);
  };
  if (std::string why = IniSectionFault(section); !why.empty())
    throw refuse("the section", section, why);
  if (std::string why = IniKeyFault(ident); !why.empty())
    throw refuse("the key", ident, why);
  if (HoldsLineBreak(value))
    throw refuse("the value of the key", ident, "it holds a line break, which would end its line");
}

std::string EncodeValue(std::string_view value) {
  std::string v(value);
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

// The file's bytes; empty for a file (or folder) that does not exist. A file of more
// than `maxBytes` is refused (by its size, or, for one that reads on without end, once
// more has been read).
std::string LoadFileText(const std::string& fileName, uint64_t maxBytes) {
  TFileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return {};
    throw EIniFileException(Format("Unable to read %s", fileName.c_str()), error);
  }
  auto tooLarge = [&] {
    return EIniFileException(Format("%s is larger than %llu bytes", fileName.c_str(),
                                    static_cast<unsigned long long>(maxBytes)),
                             ERROR_FILE_TOO_LARGE);
  };
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.Get(), &size) && static_cast<uint64_t>(size.QuadPart) > maxBytes)
    throw tooLarge();
  std::string text;
  char buffer[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))
      throw EIniFileException(Format("Unable to read %s", fileName.c_str()), GetLastError());
    if (got == 0)
      return text;
    if (text.size() + got > maxBytes)
      throw tooLarge();
    text.append(buffer, got);
  }
}

// Writes the file whole or not at all: a write cut short (a full disk) leaves the earlier
// file as it was, and is told as the full disk it is rather than a write fault.
void SaveFileText(const std::string& fileName, const std::string& text) {
  auto fail = [&](DWORD error) {
    return EIniFileException(Format("Unable to write to %s", fileName.c_str()), error ? error : ERROR_WRITE_FAULT);
  };
  TFileReplacement replacement(fileName);
  if (replacement.GetError())
    throw fail(replacement.GetError());
  {
    TFileHandle file(CreateFileA(replacement.GetWriteName().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
      throw fail(GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
      throw fail(GetLastError());
    if (written != text.size())
      throw fail(ERROR_DISK_FULL);  // the system took only a part
    if (!file.Close())
      throw fail(GetLastError());
  }
  if (const uint32_t error = replacement.Commit())
    throw fail(error);
}

TIniDocument LoadDocument(const std::string& fileName, uint64_t maxBytes = UINT64_MAX) {
  TIniDocument document;
  document.Parse(LoadFileText(fileName, maxBytes));
  return document;
}

}  // namespace

void TIniDocument::Parse(std::string_view text) {
  FSections.assign(1, TSection{});
  FSectionIndex.clear();
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
      IndexSection(FSections.size() - 1);
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
    TSection& current = FSections.back();
    current.Lines.push_back(std::move(entry));
    current.IndexEntry(current.Lines.size() - 1);
  }
}

std::string TIniDocument::Text() const {
  size_t size = 0;
  for (const TSection& section : FSections) {
    size += section.Header.size() + 2;
    for (const TLine& line : section.Lines)
      size += line.Raw.size() + 2;
  }
  std::string text;
  text.reserve(size);
  for (const TSection& section : FSections) {
    if (section.HasHeader)
      text += section.Header + "\r\n";
    for (const TLine& line : section.Lines)
      text += line.Raw + "\r\n";
  }
  return text;
}

const TIniDocument::TSection* TIniDocument::FindSection(std::string_view name) const {
  auto found = FSectionIndex.find(UpperCase(Trim(name)));
  return found == FSectionIndex.end() ? nullptr : &FSections[found->second];
}

const std::string* TIniDocument::Find(std::string_view section, std::string_view key) const {
  const TSection* s = FindSection(section);
  const TLine* line = s ? s->FindEntry(key) : nullptr;
  return line ? &line->Value : nullptr;
}

void TIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  // The writers have refused what would not read back (CheckWritable).
  TSection* s = FindSection(section);
  if (!s) {
    TSection added;
    added.HasHeader = true;
    added.Name = std::string(section);
    added.Header = "[" + added.Name + "]";
    FSections.push_back(std::move(added));
    IndexSection(FSections.size() - 1);
    s = &FSections.back();
  }
  const std::string encoded = EncodeValue(value);
  if (auto* found = const_cast<TLine*>(s->FindEntry(key))) {
    found->Value = DecodeValue(encoded);
    found->Raw = found->Key + "=" + encoded;
    return;
  }
  TLine line;
  line.Raw = std::string(key) + "=" + encoded;
  line.IsEntry = true;
  line.Key = std::string(key);
  line.Value = DecodeValue(encoded);
  // After the section's last key, so that blank lines and comments that close the
  // section stay where they are. No entry follows that place, so no index moves.
  auto last = std::find_if(s->Lines.rbegin(), s->Lines.rend(), [](const TLine& l) { return l.IsEntry; });
  const size_t at = static_cast<size_t>(last.base() - s->Lines.begin());
  s->Lines.insert(s->Lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  s->IndexEntry(at);
}

bool TIniDocument::EraseSection(std::string_view section) {
  std::string wanted = Trim(section);
  auto doomed = [&](const TSection& s) { return s.HasHeader && SameText(s.Name, wanted); };
  auto end = std::remove_if(FSections.begin(), FSections.end(), doomed);
  bool changed = end != FSections.end();
  FSections.erase(end, FSections.end());
  if (changed) {
    FSectionIndex.clear();
    for (size_t i = 0; i < FSections.size(); ++i)
      IndexSection(i);
  }
  return changed;
}

bool TIniDocument::DeleteKey(std::string_view section, std::string_view key) {
  TSection* s = FindSection(section);
  const TLine* line = s ? s->FindEntry(key) : nullptr;
  if (!line)
    return false;
  s->Lines.erase(s->Lines.begin() + (line - s->Lines.data()));
  s->Reindex();
  return true;
}

std::vector<std::string> TIniDocument::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const TSection* s = FindSection(section);
  if (!s)
    return keys;
  for (size_t i = 0; i < s->Lines.size(); ++i)
    if (s->Lines[i].IsEntry && s->IsFirstOfItsKey(i))  // the first of equal keys only
      keys.push_back(s->Lines[i].Key);
  return keys;
}

std::vector<std::string> TIniDocument::Sections() const {
  std::vector<std::string> names;
  for (size_t i = 0; i < FSections.size(); ++i) {
    const TSection& section = FSections[i];
    auto first = FSectionIndex.find(UpperCase(section.Name));
    if (section.HasHeader && first != FSectionIndex.end() && first->second == i)
      names.push_back(section.Name);
  }
  return names;
}

std::vector<std::string> TIniDocument::Pairs(std::string_view section) const {
  std::vector<std::string> pairs;
  const TSection* s = FindSection(section);
  if (!s)
    return pairs;
  for (size_t i = 0; i < s->Lines.size(); ++i)
    if (s->Lines[i].IsEntry && s->IsFirstOfItsKey(i))
      pairs.push_back(s->Lines[i].Key + "=" + s->Lines[i].Value);
  return pairs;
}

std::string IniKeyFault(std::string_view ident) {
  if (ident.empty())
    return "it is empty, and a key needs a name";
  if (HoldsLineBreak(ident))
    return "it holds a line break, which would end its line";
  if (IsBlank(ident.front()) || IsBlank(ident.back()))
    return "it begins or ends with a blank or a control character, which reading drops";
  if (ident.front() == '[')
    return "it begins with \"[\", which reading takes for the start of a section";
  if (ident.front() == ';')
    return "it begins with \";\", which reading takes for the start of a comment";
  if (ident.find('=') != std::string_view::npos)
    return "it holds \"=\", which reading takes for the end of the key";
  return {};
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
  const TUpdateScope update(&strings);
  strings.Clear();
  for (const std::string& line : lines)
    strings.Add(line);
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

// TIniFile: the file as read, shared by the objects on one file.

struct TIniFileShare {
  std::string Key;  // in the table of shares
  TIniDocument Document;
  bool Read = false;
};

namespace {

// The shares of the TIniFile objects alive, by upper-cased full file name. Only the
// user-interface thread makes settings objects.
std::map<std::string, std::weak_ptr<TIniFileShare>>& Shares() {
  static std::map<std::string, std::weak_ptr<TIniFileShare>> shares;
  return shares;
}

std::string ShareKey(const std::string& fileName) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(fileName.c_str(), MAX_PATH, full, nullptr);
  return UpperCase(length > 0 && length < MAX_PATH ? std::string(full, length) : fileName);
}

}  // namespace

TIniFile::TIniFile(const std::string& fileName) : TCustomIniFile(fileName) {
  const std::string key = ShareKey(fileName);
  std::weak_ptr<TIniFileShare>& slot = Shares()[key];
  FShare = slot.lock();
  if (!FShare) {
    FShare = std::make_shared<TIniFileShare>();
    FShare->Key = key;
    slot = FShare;
  }
}

TIniFile::~TIniFile() {
  const std::string key = FShare->Key;
  FShare.reset();
  auto slot = Shares().find(key);
  if (slot != Shares().end() && slot->second.expired())
    Shares().erase(slot);
}

const TIniDocument& TIniFile::Document() {
  if (!FShare->Read) {
    FShare->Document = LoadDocument(GetFileName());
    FShare->Read = true;
  }
  return FShare->Document;
}

template <class F>
void TIniFile::Change(F&& change) {
  TIniDocument document = LoadDocument(GetFileName());
  if (change(document))
    SaveFileText(GetFileName(), document.Text());
  FShare->Document = std::move(document);
  FShare->Read = true;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
  const std::string* value = Document().Find(section, ident);
  return value ? *value : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) {
  CheckWritable(GetFileName(), section, ident, value);
  Change([&](TIniDocument& document) {
    document.Set(section, ident, value);
    return true;
  });
}

std::vector<std::string> TIniFile::ReadSectionKeys(const std::string& section) {
  return Document().Keys(section);
}

std::vector<std::string> TIniFile::ReadSectionNames() { return Document().Sections(); }

std::vector<std::string> TIniFile::ReadSectionPairs(const std::string& section) {
  return Document().Pairs(section);
}

void TIniFile::EraseSection(const std::string& section) {
  Change([&](TIniDocument& document) { return document.EraseSection(section); });
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  Change([&](TIniDocument& document) { return document.DeleteKey(section, ident); });
}

// TMemIniFile: the document read once, written by UpdateFile.

TMemIniFile::TMemIniFile(const std::string& fileName)
    : TMemIniFile(fileName, UINT64_MAX) {}

TMemIniFile::TMemIniFile(const std::string& fileName, uint64_t maxBytes)
    : TCustomIniFile(fileName),
      FDocument(std::make_unique<TIniDocument>(LoadDocument(fileName, maxBytes))) {}

TMemIniFile::~TMemIniFile() = default;

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
  const std::string* value = FDocument->Find(section, ident);
  return value ? *value : defaultValue;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
  CheckWritable(GetFileName(), section, ident, value);
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

void TMemIniFile::GetStrings(TStrings& strings) const { strings.SetText(FDocument->Text()); }
