// Decisions taken here:
// - TStrings::Move checks both indexes before it deletes, and TStringList::Move refuses a
//   sorted list before it deletes, so a refused move never loses the string.
// - Changing CaseSensitive re-sorts a sorted list, so Find keeps agreeing with the order.
// - Find returns the first of several equal strings whatever the Duplicates setting.
// - A change whose OnChanging handler frees the list (told as a change or an update
//   begins) is not made: the change stops, and nothing touches the freed list.
#include "classlib/StringList.h"

#include <cassert>
#include <utility>

#include "classlib/AliveGuard.h"
#include "classlib/FlagScope.h"
#include "classlib/Lists.h"
#include "classlib/Streams.h"
#include "classlib/Strings.h"
#include "classlib/UpdateScope.h"

// TStrings

void TStrings::Put(int index, const std::string& s) {
  TObject* object = GetObject(index);
  TUpdateScope update(this);
  Delete(index);
  InsertObject(index, s, object);
}

int TStrings::Add(const std::string& s) {
  int index = GetCount();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
  int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::AddStrings(const TStrings& strings) {
  TUpdateScope update(this);
  if (update.TargetFreed())
    return;
  for (int i = 0; i < strings.GetCount(); ++i)
    AddObject(strings.Get(i), strings.GetObject(i));
}

void TStrings::Assign(TPersistent* source) {
  auto* strings = ObjectAs<TStrings>(source);
  if (!strings) {
    inherited::Assign(source);
    return;
  }
  if (strings == this)
    return;
  TUpdateScope update(this);
  if (update.TargetFreed())
    return;
  Clear();
  AddStrings(*strings);
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2) {
  TUpdateScope update(this);
  std::string s = Get(index1);
  TObject* object = GetObject(index1);
  Put(index1, Get(index2));
  PutObject(index1, GetObject(index2));
  Put(index2, s);
  PutObject(index2, object);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex)
    return;
  int count = GetCount();
  if (curIndex < 0 || curIndex >= count)
    ListIndexError(curIndex);
  if (newIndex < 0 || newIndex >= count)
    ListIndexError(newIndex);
  TUpdateScope update(this);
  if (update.TargetFreed())
    return;
  std::string s = Get(curIndex);
  TObject* object = GetObject(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, object);
}

int TStrings::IndexOf(const std::string& s) const {
  for (int i = 0, count = GetCount(); i < count; ++i)
    if (CompareStrings(Get(i), s) == 0)
      return i;
  return -1;
}

std::string TStrings::GetTextStr() const {
  std::string text;
  for (int i = 0, count = GetCount(); i < count; ++i) {
    text += Get(i);
    text += "\r\n";
  }
  return text;
}

void TStrings::SetTextStr(const std::string& text) {
  TUpdateScope update(this);
  if (update.TargetFreed())
    return;
  Clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      Add(text.substr(start));
      return;
    }
    Add(text.substr(start, end - start));
    // CR LF, LF and CR each end one line.
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
}

void TStrings::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  std::string text(static_cast<size_t>(file.GetSize()), '\0');
  file.ReadBuffer(text.data(), static_cast<int32_t>(text.size()));
  SetTextStr(text);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0 && !Survives(this, [this] { SetUpdateState(true); }))
    return;
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  assert(FUpdateCount > 0 && "EndUpdate without BeginUpdate");
  --FUpdateCount;
  if (FUpdateCount == 0)
    SetUpdateState(false);
}

void TStrings::EndUpdateQuiet() {
  assert(FUpdateCount > 0 && "EndUpdateQuiet without BeginUpdate");
  if (--FUpdateCount > 0)
    return;
  const TFlagScope quiet(FUpdateEndQuiet);
  SetUpdateState(false);
}

int TStrings::CompareStrings(std::string_view s1, std::string_view s2) const {
  return AnsiCompareText(s1, s2);
}

// TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
}

void TStringList::CheckUnsorted() const {
  if (FSorted)
    throw EListError("Operation not allowed on sorted list");
}

std::string TStringList::Get(int index) const {
  CheckIndex(index);
  return FList[index].FString;
}

void TStringList::Put(int index, const std::string& s) {
  CheckUnsorted();
  CheckIndex(index);
  if (!Survives(this, &TStringList::Changing))
    return;
  FList[index].FString = s;
  Changed();
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return FList[index].FObject;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  if (!Survives(this, &TStringList::Changing))
    return;
  FList[index].FObject = object;
  Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* object) {
  int index = GetCount();
  if (FSorted && Find(s, index)) {
    if (FDuplicates == dupIgnore)
      return index;
    if (FDuplicates == dupError)
      throw EListError("String list does not allow duplicates");
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
  CheckUnsorted();
  if (index < 0 || index > GetCount())
    ListIndexError(index);
  InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
  if (!Survives(this, &TStringList::Changing))
    return;
  FList.insert(FList.begin() + index, TStringItem{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  if (!Survives(this, &TStringList::Changing))
    return;
  FList.erase(FList.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (FList.empty() || !Survives(this, &TStringList::Changing))
    return;
  FList.clear();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  if (!Survives(this, &TStringList::Changing))
    return;
  std::swap(FList[index1], FList[index2]);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  if (curIndex != newIndex)
    CheckUnsorted();
  inherited::Move(curIndex, newIndex);
}

int TStringList::IndexOf(const std::string& s) const {
  if (!FSorted)
    return inherited::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  bool found = false;
  int low = 0;
  int high = GetCount() - 1;
  while (low <= high) {
    int middle = (low + high) >> 1;
    int c = CompareStrings(FList[middle].FString, s);
    if (c < 0) {
      low = middle + 1;
      continue;
    }
    high = middle - 1;  // an equal string may still be further left
    if (c == 0)
      found = true;
  }
  index = low;
  return found;
}

void TStringList::Sort() { CustomSort(&CompareItems); }

void TStringList::CustomSort(TStringListSortCompare compare) {
  if (!FSorted)
    SortItems(compare);
}

void TStringList::SortItems(TStringListSortCompare compare) {
  if (GetCount() < 2 || !Survives(this, &TStringList::Changing))
    return;
  QuickSortRange(
      0, GetCount() - 1, [&](int a, int b) { return compare(this, a, b); },
      [&](int a, int b) { std::swap(FList[a], FList[b]); });
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == FSorted)
    return;
  if (sorted && !Survives(this, [this] { SortItems(&CompareItems); }))
    return;
  FSorted = sorted;
  NewRevision();
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == FCaseSensitive)
    return;
  FCaseSensitive = caseSensitive;
  NewRevision();
  if (FSorted)
    SortItems(&CompareItems);
}

void TStringList::Changed() {
  if (GetUpdateCount() == 0)
    OnChange(this);
}

void TStringList::NewRevision() {
  static uint64_t last = 0;  // lists live on the UI thread
  FRevision = ++last;
}

void TStringList::Changing() {
  NewRevision();
  if (GetUpdateCount() == 0)
    OnChanging(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else if (!GetUpdateEndQuiet())
    Changed();
}

int TStringList::CompareStrings(std::string_view s1, std::string_view s2) const {
  return FCaseSensitive ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

int TStringList::CompareItems(TStringList* list, int index1, int index2) {
  return list->CompareStrings(list->FList[index1].FString, list->FList[index2].FString);
}
