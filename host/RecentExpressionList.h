// The recent filter expressions of a server module: a string list of expressions, each
// with its TRecentExpression entry (owned by the list), headed by the fixed "(All)"
// entry and holding at most 100 items.
//
// The list is filled when made, from the user's file ("<user folder>\<module>
// RecentFilters.Txt") or, failing that, from the host's example file ("<host folder>
// System\Example<module>Filters.Txt"); missing files, files larger than the settings
// files' bound and files that cannot be read (after a short wait for another instance
// saving them) leave "(All)" alone. When freed it saves itself, in the same INI form, to
// the registry key "Software\Zorvan\VantorSuite" of the current user and to the user's
// file (when the file's folder exists, and the file was read or missing and is within the
// bound). A save that fails is reported to the boundary handler and does not stop the
// other one.
//
// Expressions may hold line breaks; stored values are one line, escaped by
// EscapeExpression ("|" -> "||", then CR LF -> "|"). Files and the registry keep that
// form, although it is not one-to-one: a line break right after a "|" or after another
// line break does not come back ("a|<CR LF>b" loads as "a<CR LF>|b", "a<CR LF><CR LF>b"
// as "a|b"). Every other text, and every stored value, survives a save and a load.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/IniFiles.h"
#include "classlib/StringList.h"
#include "containers/MethodList.h"
#include "host/Utilities.h"

class TRecentExpression : public TObject {
  KIVO_CLASS(TRecentExpression, TObject)

 public:
  TRecentExpression(const std::string& expression, const std::string& description, bool isAll)
      : FExpression(expression), FDescription(description), FIsAll(isAll) {}

  const std::string& GetExpression() const { return FExpression; }
  void SetExpression(const std::string& value) { FExpression = value; }
  const std::string& GetDescription() const { return FDescription; }
  void SetDescription(const std::string& value) { FDescription = value; }
  // True only for the "(All)" entry.
  bool GetIsAll() const { return FIsAll; }

 private:
  std::string FExpression;
  std::string FDescription;
  bool FIsAll;
};

class TRecentExpressionList : public TStringList {
  KIVO_CLASS(TRecentExpressionList, TStringList)

 public:
  // The most items the list holds, "(All)" included.
  static constexpr int MaxRecentExpressions = 100;
  static constexpr const char* RegistryKey = "Software\\Zorvan\\VantorSuite";

  // `userDataFolder` is the per-user folder (without a trailing "\"), `hostFolder` the
  // host executable's folder. Loads the user's file or the example file. `wait` is how its
  // reads and saves wait for another instance (a test's step; the module's has none).
  TRecentExpressionList(const std::string& moduleName, const std::string& userDataFolder,
                        const std::string& hostFolder, TInstanceWait wait = {});
  // Saves to the registry and to the user's file, then frees every entry.
  ~TRecentExpressionList() override;

  const std::string& GetModuleName() const { return FModuleName; }
  // Change notifications (TNotifyEvent methods), called with the list as sender.
  TMethodList& GetListeners() { return *FListeners; }

  std::string RecentFileName() const;
  std::string ExampleFileName() const;
  // "Recent " + module name + " Filter Expressions", in files and the registry alike.
  std::string SectionName() const;

  // Appends an entry (an empty expression is ignored); a full list then drops its last item.
  void AddRecentExpression(const std::string& expression, const std::string& description);
  // Adds the expressions of an existing file, in the INI form when its section says
  // "NewFileFormat" = "True", else in the old text form.
  void LoadRecentExpressions(const std::string& fileName);
  // Replaces the list's section of `target` by the list.
  void SaveRecentExpressions(TCustomIniFile& target) const;

  // Frees the entry with the item.
  void Delete(int index) override;
  // Moves string and entry together and notifies the listeners once.
  void Move(int curIndex, int newIndex) override;
  void NotifyRecentExpressionsChanged();

  // The entry of item `index`; null outside 0 .. Count - 1.
  TRecentExpression* ExpressionAt(int index) const;

 private:
  // Loads a file as the list is made; one that cannot be read leaves the list as it was.
  void LoadAtStart(const std::string& fileName);
  void LoadIniForm(TCustomIniFile& ini);
  void LoadOldTextForm(const TStrings& lines);
  void SaveToRegistry() const;
  void SaveToUserFile() const;

  std::string FModuleName;
  std::string FUserDataFolder;
  std::string FHostFolder;
  TInstanceWait FWait;
  TMethodList* FListeners;
  // The Windows error that kept the user's file from being read as the list was made; 0
  // when it was read or missing.
  uint32_t FUnreadError = 0;
};

std::string EscapeExpression(const std::string& text);
std::string UnescapeExpression(const std::string& text);

// The process's one list, made by the server module after its name is known and freed
// (which saves it) first when the module goes. Creating frees a list already there.
TRecentExpressionList* GetRecentExpressionList();
void CreateRecentExpressionList(const std::string& moduleName, const std::string& userDataFolder,
                                const std::string& hostFolder);
void FreeRecentExpressionList();
