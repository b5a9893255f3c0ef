#include "classlib/StringList.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/classlib/ExpectError.h"
#include "tests/editors/GuardedHeap.h"

#include "classlib/Strings.h"
#include "classlib/Win.h"

namespace {

std::vector<std::string> Strings(const TStrings& list) {
  std::vector<std::string> strings;
  for (int i = 0; i < list.GetCount(); ++i)
    strings.push_back(list.Get(i));
  return strings;
}

using S = std::vector<std::string>;

TObject* Tag(int n) { return reinterpret_cast<TObject*>(static_cast<intptr_t>(n)); }

void Fill(TStrings& list, std::initializer_list<const char*> strings) {
  for (const char* s : strings)
    list.Add(s);
}

// Room made ahead changes neither the strings nor their objects, and room for fewer
// strings than the list holds (or a negative count) keeps them all.
TEST(StringList, CapacityKeepsTheStrings) {
  TStringList list;
  list.SetCapacity(8);
  EXPECT_EQ(list.GetCount(), 0);
  Fill(list, {"a", "b", "c"});
  list.PutObject(1, Tag(7));
  list.SetCapacity(1);
  list.SetCapacity(-5);
  EXPECT_EQ(Strings(list), (S{"a", "b", "c"}));
  EXPECT_EQ(list.GetObject(1), Tag(7));
}

// Sorted lists: search, insertion points, duplicates, case rules

TEST(SortedStringList, FindGivesTheFirstMatchOrTheInsertionPoint) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  Fill(list, {"20", "30", "20", "10", "20"});
  ASSERT_EQ(Strings(list), (S{"10", "20", "20", "20", "30"}));
  int index = -1;
  EXPECT_TRUE(list.Find("20", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("25", index));
  EXPECT_EQ(index, 4);
  EXPECT_FALSE(list.Find("05", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(list.Find("35", index));
  EXPECT_EQ(index, 5);
  EXPECT_EQ(list.IndexOf("20"), 1);
  EXPECT_EQ(list.IndexOf("25"), -1);  // a failed search is -1, not the insertion point
  TStringList empty;
  empty.SetSorted(true);
  EXPECT_FALSE(empty.Find("x", index));
  EXPECT_EQ(index, 0);
}

TEST(SortedStringList, DuplicatesAreIgnoredAcceptedOrRefused) {
  TStringList list;
  list.SetSorted(true);  // dupIgnore by default
  EXPECT_EQ(list.AddObject("Beta", Tag(1)), 0);
  EXPECT_EQ(list.AddObject("alpha", Tag(2)), 0);
  EXPECT_EQ(list.AddObject("BETA", Tag(3)), 1);  // the index of the string already there
  EXPECT_EQ(Strings(list), (S{"alpha", "Beta"}));
  EXPECT_EQ(list.GetObject(1), Tag(1));  // the first registration stays in force

  list.SetDuplicates(dupError);
  ExpectRaises<EListError>([&] { list.Add("beta"); }, "String list does not allow duplicates");
  EXPECT_EQ(Strings(list), (S{"alpha", "Beta"}));

  list.SetDuplicates(dupAccept);
  list.Add("beta");
  EXPECT_EQ(list.GetCount(), 3);
}

TEST(SortedStringList, SortAndSearchUseOneCaseRule) {
  TStringList list;
  list.SetSorted(true);
  Fill(list, {"beta", "Alpha", "GAMMA", "delta", "alpha2", "ABC"});
  EXPECT_EQ(Strings(list), (S{"ABC", "Alpha", "alpha2", "beta", "delta", "GAMMA"}));
  // A list sorted without regard to case finds any spelling.
  EXPECT_EQ(list.IndexOf("abc"), 0);
  EXPECT_EQ(list.IndexOf("Gamma"), 5);
  int index;
  EXPECT_TRUE(list.Find("ALPHA2", index));
  EXPECT_EQ(index, 2);

  // An unsorted list sorted afterwards agrees with Find as well.
  TStringList loose;
  Fill(loose, {"Zeta", "eta", "Theta", "iota", "Kappa"});
  loose.Sort();
  loose.SetSorted(true);
  for (const char* s : {"zeta", "ETA", "theta", "IOTA", "kappa"})
    EXPECT_GE(loose.IndexOf(s), 0) << s;
  EXPECT_EQ(Strings(loose), (S{"eta", "iota", "Kappa", "Theta", "Zeta"}));
}

TEST(SortedStringList, CaseSensitiveListsTellSpellingsApart) {
  TStringList list;
  list.SetCaseSensitive(true);
  list.SetSorted(true);
  Fill(list, {"ABC", "abd", "Abc"});
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.IndexOf("abc"), -1);
  EXPECT_GE(list.IndexOf("Abc"), 0);
  for (int i = 1; i < list.GetCount(); ++i)
    EXPECT_LT(AnsiCompareStr(list.Get(i - 1), list.Get(i)), 0);
}

// Regression: changing CaseSensitive on a sorted list kept the old order, so Find then
// searched an order it does not use and missed strings that are there.
TEST(SortedStringList, ChangingTheCaseRuleSortsAgain) {
  ASSERT_NE(AnsiCompareStr("abc", "ABC"), 0);
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  Fill(list, {"abc", "ABC", "abd", "ABD", "Abc"});
  list.SetCaseSensitive(true);
  for (int i = 0; i < list.GetCount(); ++i)
    EXPECT_EQ(list.IndexOf(list.Get(i)), i) << list.Get(i);
  for (int i = 1; i < list.GetCount(); ++i)
    EXPECT_LE(AnsiCompareStr(list.Get(i - 1), list.Get(i)), 0);
}

TEST(SortedStringList, PositionalChangesAreRefused) {
  TStringList list;
  list.SetSorted(true);
  Fill(list, {"a", "b", "c"});
  ExpectRaises<EListError>([&] { list.Insert(0, "z"); }, "Operation not allowed on sorted list");
  ExpectRaises<EListError>([&] { list.InsertObject(3, "z", nullptr); }, "Operation not allowed on sorted list");
  ExpectRaises<EListError>([&] { list.Put(1, "z"); }, "Operation not allowed on sorted list");
  // Regression: a refused move used to delete the string before failing to insert it.
  ExpectRaises<EListError>([&] { list.Move(0, 2); }, "Operation not allowed on sorted list");
  EXPECT_EQ(Strings(list), (S{"a", "b", "c"}));
  list.PutObject(1, Tag(7));  // objects may change
  EXPECT_EQ(list.GetObject(1), Tag(7));
}

// Unsorted lists

TEST(StringList, BadIndexesRaiseWithTheExactMessage) {
  TStringList list;
  Fill(list, {"a", "b"});
  ExpectRaises<EListError>([&] { list.Get(2); }, "List index out of bounds (2)");
  ExpectRaises<EListError>([&] { list.Put(-1, "x"); }, "List index out of bounds (-1)");
  ExpectRaises<EListError>([&] { list.GetObject(5); }, "List index out of bounds (5)");
  ExpectRaises<EListError>([&] { list.PutObject(2, nullptr); }, "List index out of bounds (2)");
  ExpectRaises<EListError>([&] { list.Delete(2); }, "List index out of bounds (2)");
  ExpectRaises<EListError>([&] { list.Insert(3, "x"); }, "List index out of bounds (3)");
  ExpectRaises<EListError>([&] { list.Exchange(0, -2); }, "List index out of bounds (-2)");
  // Regression: a move to a bad index used to delete the string before failing.
  ExpectRaises<EListError>([&] { list.Move(0, 2); }, "List index out of bounds (2)");
  EXPECT_EQ(Strings(list), (S{"a", "b"}));
}

TEST(StringList, KeepsInsertionOrderAndFindsWithoutRegardToCase) {
  TStringList list;
  list.AddObject("Top Layer", Tag(1));
  list.AddObject("Bottom Layer", Tag(32));
  list.InsertObject(1, "Mid Layer 1", Tag(2));
  list.Add("top layer");
  EXPECT_EQ(list.IndexOf("TOP LAYER"), 0);
  list.Move(0, 2);
  EXPECT_EQ(Strings(list), (S{"Mid Layer 1", "Bottom Layer", "Top Layer", "top layer"}));
  EXPECT_EQ(list.GetObject(2), Tag(1));  // the object moves with its string
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("top layer"), 3);
}

int CompareNumbers(TStringList* list, int index1, int index2) {
  return std::stoi(list->Get(index1)) - std::stoi(list->Get(index2));
}

TEST(StringList, CustomSortOrdersByTheGivenRoutine) {
  TStringList list;
  Fill(list, {"100", "9", "25", "3"});
  list.CustomSort(&CompareNumbers);
  EXPECT_EQ(Strings(list), (S{"3", "9", "25", "100"}));
}

TEST(StringList, TextJoinsWithCrLfAndSplitsAtEveryLineBreak) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(Strings(list), (S{"a", "b", "c", "d"}));
  list.SetText("one\r\n\r\ntwo\r\n");
  EXPECT_EQ(Strings(list), (S{"one", "", "two"}));
  list.SetText("last line without break");
  EXPECT_EQ(Strings(list), (S{"last line without break"}));
  list.SetText("\n\r\n");
  EXPECT_EQ(Strings(list), (S{"", ""}));
  list.SetText("");
  EXPECT_EQ(list.GetCount(), 0);

  Fill(list, {"x", "", "y"});
  EXPECT_EQ(list.GetText(), "x\r\n\r\ny\r\n");
  TStringList copy;
  copy.SetText(list.GetText());
  EXPECT_EQ(Strings(copy), Strings(list));
}

TEST(StringList, LoadFromFileReadsEveryLineForm) {
  char folder[MAX_PATH];
  ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
  std::string path = std::string(folder) + "kivo_stringlist_test.txt";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const char content[] = "Dlg_Main=12\r\nDlg_Options=Text,Topic\nlast";
  DWORD written = 0;
  WriteFile(file, content, sizeof content - 1, &written, nullptr);
  CloseHandle(file);

  TStringList list;
  list.Add("old");
  list.LoadFromFile(path);
  EXPECT_EQ(Strings(list), (S{"Dlg_Main=12", "Dlg_Options=Text,Topic", "last"}));
  DeleteFileA(path.c_str());
  EXPECT_THROW(list.LoadFromFile(path), EFOpenError);
}

// Change notification and update state

struct TChangeCounter {
  int Changes = 0;
  int Changings = 0;
  void Change(TObject*) { ++Changes; }
  void Changing(TObject*) { ++Changings; }
};

TEST(StringList, ReportsChangesOutsideUpdatesOnly) {
  TStringList list;
  TChangeCounter counter;
  list.OnChange = TNotifyEvent::Bind<&TChangeCounter::Change>(&counter);
  list.OnChanging = TNotifyEvent::Bind<&TChangeCounter::Changing>(&counter);
  list.Add("a");
  list.PutObject(0, Tag(1));
  EXPECT_EQ(counter.Changes, 2);
  EXPECT_EQ(counter.Changings, 2);

  list.BeginUpdate();  // the update opens with one OnChanging
  list.BeginUpdate();
  list.Add("b");
  list.Delete(0);
  list.SetText("x\ny");
  list.EndUpdate();
  EXPECT_EQ(counter.Changes, 2);
  list.EndUpdate();  // ... and closes with one OnChange
  EXPECT_EQ(counter.Changes, 3);
  EXPECT_EQ(counter.Changings, 3);

  list.Clear();
  list.Clear();  // nothing to clear: no notification
  EXPECT_EQ(counter.Changes, 4);
}

// Virtual change points seen by the base operations

// An entry list whose strings own their objects, freed by Delete, as the
// recent-expression list does.
class TOwningList : public TStringList {
  KIVO_CLASS(TOwningList, TStringList)
 public:
  std::vector<std::string> Log;
  void Delete(int index) override {
    Log.push_back("Delete " + Get(index));
    delete GetObject(index);
    inherited::Delete(index);
  }
  int Add(const std::string& s) override {
    Log.push_back("Add " + s);
    return inherited::Add(s);
  }
  void InsertObject(int index, const std::string& s, TObject* object) override {
    Log.push_back("Insert " + s);
    inherited::InsertObject(index, s, object);
  }
  ~TOwningList() override {
    for (int i = 0; i < GetCount(); ++i)
      delete GetObject(i);
  }
};

TEST(StringList, BaseOperationsGoThroughTheVirtualChangePoints) {
  TOwningList list;
  list.AddObject("a", new TObject);
  list.AddObject("b", new TObject);
  list.AddObject("c", new TObject);
  list.Log.clear();
  // The base Move deletes and inserts through the overridable operations, so an owning
  // list must detach the object before moving (its own Move does that).
  TObject* detached = list.GetObject(0);
  list.PutObject(0, nullptr);
  list.Move(0, 2);
  list.PutObject(2, detached);
  EXPECT_EQ(list.Log, (S{"Delete a", "Insert a"}));
  EXPECT_EQ(Strings(list), (S{"b", "c", "a"}));

  list.Log.clear();
  list.Sort();
  list.Exchange(0, 1);
  EXPECT_TRUE(list.Log.empty());  // sorting and exchanging neither delete nor insert
  for (int i = 0; i < list.GetCount(); ++i) {
    delete list.GetObject(i);
    list.PutObject(i, nullptr);
  }
  list.SetText("x");
  EXPECT_EQ(list.Log, (S{"Add x"}));  // Text goes through Clear and Add
}

// A minimal descendant of the abstract base, kept in a vector, as a window-backed
// list would be.
class TVectorStrings : public TStrings {
  KIVO_CLASS(TVectorStrings, TStrings)
 public:
  std::vector<std::string> Items;
  std::vector<bool> UpdateStates;
  std::string Get(int index) const override { return Items.at(index); }
  int GetCount() const override { return static_cast<int>(Items.size()); }
  void Insert(int index, const std::string& s) override { Items.insert(Items.begin() + index, s); }
  void Delete(int index) override { Items.erase(Items.begin() + index); }
  void Clear() override { Items.clear(); }

 protected:
  void SetUpdateState(bool updating) override { UpdateStates.push_back(updating); }
};

TEST(Strings, AbstractBaseBuildsEveryOperationOnItsChangePoints) {
  TVectorStrings strings;
  Fill(strings, {"one", "Two", "three"});
  strings.Put(1, "2");
  strings.Move(2, 0);
  EXPECT_EQ(strings.Items, (S{"three", "one", "2"}));
  EXPECT_EQ(strings.IndexOf("THREE"), 0);
  strings.Exchange(0, 2);
  EXPECT_EQ(strings.Items, (S{"2", "one", "three"}));
  EXPECT_EQ(strings.GetText(), "2\r\none\r\nthree\r\n");
  strings.UpdateStates.clear();
  strings.SetText("a\nb");
  EXPECT_EQ(strings.Items, (S{"a", "b"}));
  EXPECT_EQ(strings.UpdateStates, (std::vector<bool>{true, false}));
}

TEST(Strings, AssignCopiesStringsAndObjects) {
  TStringList source;
  source.AddObject("x", Tag(1));
  source.AddObject("y", Tag(2));
  TStringList target;
  target.Add("old");
  TChangeCounter counter;
  target.OnChange = TNotifyEvent::Bind<&TChangeCounter::Change>(&counter);
  target.Assign(&source);
  EXPECT_EQ(Strings(target), (S{"x", "y"}));
  EXPECT_EQ(target.GetObject(1), Tag(2));
  EXPECT_EQ(counter.Changes, 1);  // one update
  TPersistent other;
  EXPECT_THROW(target.Assign(&other), EConvertError);
}

// Frees the list whose change it is told of, once.
struct TListFreer {
  TStringList* List;
  bool Freed = false;
  void Free(TObject*) {
    if (!std::exchange(Freed, true))
      delete List;
  }
};

// Fault: a list freed by the handler told of a change to come went on with the change
// (an MRU column's list assigned from its editor's, freed with the column).
TEST(StringList, AListFreedByItsChangeHandlerIsTouchedNoMore) {
  TStringList other;
  other.SetText("p\nq");
  using TChange = std::function<void(TStringList&)>;
  const std::pair<const char*, TChange> changes[] = {
      {"Add", [](TStringList& l) { l.Add("x"); }},
      {"Insert", [](TStringList& l) { l.Insert(0, "x"); }},
      {"Put", [](TStringList& l) { l.Put(0, "x"); }},
      {"PutObject", [](TStringList& l) { l.PutObject(0, Tag(1)); }},
      {"Delete", [](TStringList& l) { l.Delete(0); }},
      {"Clear", [](TStringList& l) { l.Clear(); }},
      {"Exchange", [](TStringList& l) { l.Exchange(0, 1); }},
      {"Move", [](TStringList& l) { l.Move(0, 1); }},
      {"Sort", [](TStringList& l) { l.Sort(); }},
      {"SetSorted", [](TStringList& l) { l.SetSorted(true); }},
      {"Assign", [&other](TStringList& l) { l.Assign(&other); }},
      {"AddStrings", [&other](TStringList& l) { l.AddStrings(other); }},
      {"SetText", [](TStringList& l) { l.SetText("p\nq"); }},
  };
  for (const bool changing : {true, false})
    for (const auto& [name, change] : changes) {
      const TGuardedHeap guarded;
      auto* list = new TStringList;
      list->SetText("b\na");
      TListFreer freer{list};
      (changing ? list->OnChanging : list->OnChange) = TNotifyEvent::Bind<&TListFreer::Free>(&freer);
      change(*list);
      EXPECT_TRUE(freer.Freed) << name << (changing ? " told no OnChanging" : " told no OnChange");
      if (!freer.Freed)
        delete list;
    }
}

}  // namespace

TEST(StringListRevision, EveryKindOfChangeGivesANumberNoOtherListHas) {
  TStringList a, b;
  EXPECT_EQ(a.GetRevision(), 0u);
  std::vector<uint64_t> seen{0};
  auto changed = [&](const TStringList& list) {
    const uint64_t revision = list.GetRevision();
    const bool fresh = std::find(seen.begin(), seen.end(), revision) == seen.end();
    seen.push_back(revision);
    return fresh;
  };
  a.Add("x");
  EXPECT_TRUE(changed(a));
  b.Add("x");  // the same content in another list
  EXPECT_TRUE(changed(b));
  a.Put(0, "y");
  EXPECT_TRUE(changed(a));
  a.PutObject(0, &b);
  EXPECT_TRUE(changed(a));
  a.SetCaseSensitive(true);
  EXPECT_TRUE(changed(a));
  a.SetSorted(true);
  EXPECT_TRUE(changed(a));
  a.Delete(0);
  EXPECT_TRUE(changed(a));
  const uint64_t kept = a.GetRevision();
  (void)a.IndexOf("y");
  a.SetSorted(true);  // no change
  EXPECT_EQ(a.GetRevision(), kept);
}
