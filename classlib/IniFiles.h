// Settings stores of the INI kind: sections of named text values.
//
// TCustomIniFile is the common base, so that one routine can save to a file or to
// the registry (TRegistryIniFile, Registry.h). Integers are stored as decimal text
// and Booleans as "1"/"0"; a value that is no decimal integer reads as the default.
//
// TIniFile works on a Windows INI file directly: the file is read once, at the first
// call, and every write reads it again, changes it and rewrites it at once (so a write
// is on disk when the call returns, and keeps what others wrote meanwhile); UpdateFile
// has nothing left to do. The TIniFile objects of one process on one file share what
// was read, so each sees the others' writes. TMemIniFile reads the file once when made
// and writes it only on UpdateFile. Both keep the file's lines, comments and key order;
// sections and keys are matched without regard to case (and found through an index, so
// a file of many keys reads in linear time); new keys go after the section's last key
// and new sections at the end of the file.
//
// File format: "[Section]" lines, "key=value" lines (split at the first "="; key and
// value trimmed of blanks and control characters), ";" comment lines. A value with
// leading or trailing blanks, or one that begins and ends with a double quote, is written
// inside double quotes, which reading removes again, so every one-line value survives a
// round trip. The format has no way to store anything else that reading would change, and
// the writers refuse it rather than write it changed: a key that IniKeyFault rejects (one
// that would read back as another key, a section, a comment or no key at all), a line
// break in a value, and a section name with a line break, a "]" or blanks at its ends.
// Such a write raises EIniFileException (code ERROR_INVALID_DATA) naming the key and why,
// and changes nothing. Lines already in a file are kept and read as they are.
// Failures: a file that exists but cannot be read raises EIniFileException
// "Unable to read %s"; a failed write raises EIniFileException "Unable to write to %s"
// (a missing folder is not created); the exception carries the Windows error code,
// ERROR_DISK_FULL for a write the disk could not hold. A file is written whole or not at
// all (classlib/FileReplacement.h): a failed write leaves the earlier file as it was.
// A missing file reads as empty. The file name is
// used as given (unlike the Windows profile functions, a bare name is not looked for
// in the Windows folder).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/Object.h"

class TStrings;

// Carries the Windows error code of the failed read or write.
KIVO_CODED_EXCEPTION(EIniFileException, Exception);

class TCustomIniFile : public TObject {
  KIVO_CLASS(TCustomIniFile, TObject)
 public:
  explicit TCustomIniFile(const std::string& fileName) : FFileName(fileName) {}
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  const std::string& GetFileName() const { return FFileName; }

  virtual std::string ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) = 0;
  virtual void WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) = 0;
  virtual int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
  virtual void WriteInteger(const std::string& section, const std::string& ident, int value);
  virtual bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
  virtual void WriteBool(const std::string& section, const std::string& ident, bool value);

  // The keys of a section in their stored order (ReadSection).
  virtual std::vector<std::string> ReadSectionKeys(const std::string& section) = 0;
  // The section names (ReadSections).
  virtual std::vector<std::string> ReadSectionNames() = 0;
  // The section's "key=value" lines (ReadSectionValues).
  virtual std::vector<std::string> ReadSectionPairs(const std::string& section) = 0;
  virtual void EraseSection(const std::string& section) = 0;
  virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
  // Writes what is pending to the store.
  virtual void UpdateFile() = 0;

  // The same into a string list (its strings are replaced, inside one update).
  void ReadSection(const std::string& section, TStrings& strings);
  void ReadSections(TStrings& strings);
  void ReadSectionValues(const std::string& section, TStrings& strings);

  // True when the section holds at least one key.
  bool SectionExists(const std::string& section);
  bool ValueExists(const std::string& section, const std::string& ident);

 private:
  std::string FFileName;
};

// The parsed lines of an INI file (shared by the file kinds).
class TIniDocument;
// What the TIniFile objects on one file share.
struct TIniFileShare;

class TIniFile : public TCustomIniFile {
  KIVO_CLASS(TIniFile, TCustomIniFile)
 public:
  explicit TIniFile(const std::string& fileName);
  ~TIniFile() override;

  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
  void WriteString(const std::string& section, const std::string& ident,
                   const std::string& value) override;
  std::vector<std::string> ReadSectionKeys(const std::string& section) override;
  std::vector<std::string> ReadSectionNames() override;
  std::vector<std::string> ReadSectionPairs(const std::string& section) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  void UpdateFile() override {}

 private:
  // The file as read, reading it at the first call.
  const TIniDocument& Document();
  // Reads the file again, changes it, writes it and keeps it; a failed write keeps
  // nothing. `change` answers whether it changed anything (nothing is written if not).
  template <class F>
  void Change(F&& change);

  std::shared_ptr<TIniFileShare> FShare;
};

class TMemIniFile : public TCustomIniFile {
  KIVO_CLASS(TMemIniFile, TCustomIniFile)
 public:
  explicit TMemIniFile(const std::string& fileName);
  // Refuses a file of more than `maxBytes` (one that reads on without end too) with
  // EIniFileException, code ERROR_FILE_TOO_LARGE, instead of reading it.
  TMemIniFile(const std::string& fileName, uint64_t maxBytes);
  ~TMemIniFile() override;

  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
  void WriteString(const std::string& section, const std::string& ident,
                   const std::string& value) override;
  std::vector<std::string> ReadSectionKeys(const std::string& section) override;
  std::vector<std::string> ReadSectionNames() override;
  std::vector<std::string> ReadSectionPairs(const std::string& section) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  void UpdateFile() override;
  // Every line of the file as read, changed as it would be written.
  void GetStrings(TStrings& strings) const;

 private:
  std::unique_ptr<TIniDocument> FDocument;
};

// Why `ident` cannot be a key of an INI file, in words that finish a sentence
// "... because ": an empty key; a line break; a blank or control character at either
// end; "[" or ";" first; an "=" anywhere. Empty when it can be one. Keys are matched
// without regard to case, so two keys that differ only in case are one key.
std::string IniKeyFault(std::string_view ident);

// Replaces the strings of `strings` by `lines`, inside one update.
void AssignLines(TStrings& strings, const std::vector<std::string>& lines);

// The integer a stored value holds: optional sign and decimal digits, nothing else
// (surrounding blanks allowed), within 32 bits; otherwise `defaultValue`.
int IniValueToInt(std::string_view text, int defaultValue);
