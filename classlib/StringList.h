// TStrings, the abstract list of strings with an object per string, and TStringList,
// its stored implementation.
//
// Every change goes through a virtual change point (Put, PutObject, Insert,
// InsertObject, Add, AddObject, Delete, Move, Exchange, Clear, SetUpdateState,
// SetTextStr), so a descendant sees what the base operations do: TStrings::Move is a
// Delete followed by an InsertObject, Text and LoadFromFile clear and add. The strings
// do not own their objects. Bad indexes raise EListError "List index out of bounds (%d)".
//
// A sorted TStringList keeps its strings in CompareStrings order: Add inserts at the
// place Find returns, Insert and Put raise "Operation not allowed on sorted list", and
// Duplicates decides what happens to an equal string. Find, IndexOf and Sort use one
// comparison, CompareStrings: locale-aware, without regard to case unless CaseSensitive.
#pragma once

#include <cstdint>

#include <string>
#include <string_view>
#include <vector>

#include "classlib/Events.h"
#include "classlib/Lists.h"
#include "classlib/Persistent.h"

class TStrings : public TPersistent {
  KIVO_CLASS(TStrings, TPersistent)
 public:
  TStrings() = default;

  // Strings[Index].
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& s);
  // Objects[Index].
  virtual TObject* GetObject(int index) const { return nullptr; }
  virtual void PutObject(int index, TObject* object) {}
  virtual int GetCount() const = 0;

  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, TObject* object);
  virtual void AddStrings(const TStrings& strings);
  // Copies the strings and objects of a TStrings, inside one update; any other source
  // goes to TPersistent::Assign (EConvertError unless it can AssignTo a string list).
  void Assign(TPersistent* source) override;
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void InsertObject(int index, const std::string& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  // Delete(curIndex) then InsertObject(newIndex) inside one update; both indexes are
  // checked first so that a bad target loses nothing.
  virtual void Move(int curIndex, int newIndex);
  // The first index of `s` under CompareStrings, or -1.
  virtual int IndexOf(const std::string& s) const;

  // Text: every string followed by CR LF. Setting it splits at CR LF, LF or CR; a last
  // line without a line break is a line too.
  std::string GetText() const { return GetTextStr(); }
  void SetText(const std::string& text) { SetTextStr(text); }
  // Replaces the strings by the lines of a file; raises EFOpenError when it cannot be read.
  virtual void LoadFromFile(const std::string& fileName);

  // Nested updates: SetUpdateState(true) when the first begins, (false) when the last ends.
  void BeginUpdate();
  void EndUpdate();
  // Ends an update left by an exception: as EndUpdate, but the last end is quiet
  // (GetUpdateEndQuiet answers true meanwhile), so that no change is reported.
  void EndUpdateQuiet();

 protected:
  virtual std::string GetTextStr() const;
  virtual void SetTextStr(const std::string& text);
  virtual void SetUpdateState(bool updating) {}
  // The comparison of IndexOf (and of sorting in TStringList).
  virtual int CompareStrings(std::string_view s1, std::string_view s2) const;
  int GetUpdateCount() const { return FUpdateCount; }
  // True while SetUpdateState(false) runs for EndUpdateQuiet: restore the state, report
  // nothing.
  bool GetUpdateEndQuiet() const { return FUpdateEndQuiet; }

 private:
  int FUpdateCount = 0;
  bool FUpdateEndQuiet = false;
};


class TStringList;
// Compare routine of CustomSort: orders the strings at index1 and index2 of `list`.
using TStringListSortCompare = int (*)(TStringList* list, int index1, int index2);

class TStringList : public TStrings {
  KIVO_CLASS(TStringList, TStrings)
 public:
  TStringList() = default;
  ~TStringList() override;

  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  int GetCount() const override { return static_cast<int>(FList.size()); }
  // Room for `capacity` strings without growing (never less than the count): a list
  // filled with a known number of strings then takes its memory once.
  void SetCapacity(int capacity) { FList.reserve(capacity < 0 ? 0 : static_cast<size_t>(capacity)); }

  int Add(const std::string& s) override;
  // Unsorted: appends. Sorted: inserts at the Find position, or applies Duplicates when
  // an equal string is there (dupIgnore returns its index, dupError raises).
  int AddObject(const std::string& s, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void InsertObject(int index, const std::string& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;
  int IndexOf(const std::string& s) const override;

  // Binary search of a sorted list: true with the index of the first equal string, or
  // false with the index where `s` would be inserted.
  virtual bool Find(const std::string& s, int& index) const;
  // Sorts an unsorted list with CompareStrings (a sorted one is in order already).
  virtual void Sort();
  virtual void CustomSort(TStringListSortCompare compare);

  bool GetSorted() const { return FSorted; }
  void SetSorted(bool sorted);
  TDuplicates GetDuplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates duplicates) { FDuplicates = duplicates; }
  bool GetCaseSensitive() const { return FCaseSensitive; }
  // A sorted list is sorted again under the new rule.
  void SetCaseSensitive(bool caseSensitive);
  // A number that changes with every change of the list's strings, objects, order or
  // rules, unique in the process: a lookup remembered with it stays good while it is
  // the same. 0 for a list never changed (empty, with the default rules).
  uint64_t GetRevision() const { return FRevision; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Fire OnChange / OnChanging unless an update is open (the end of an update fires
  // OnChange, unless it is quiet).
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool updating) override;
  int CompareStrings(std::string_view s1, std::string_view s2) const override;

 private:
  struct TStringItem {
    std::string FString;
    TObject* FObject;
  };
  void CheckIndex(int index) const;
  void CheckUnsorted() const;
  void NewRevision();
  void InsertItem(int index, const std::string& s, TObject* object);
  void SortItems(TStringListSortCompare compare);
  // The compare routine of Sort: CompareStrings of the two strings.
  static int CompareItems(TStringList* list, int index1, int index2);

  std::vector<TStringItem> FList;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
  uint64_t FRevision = 0;
};
