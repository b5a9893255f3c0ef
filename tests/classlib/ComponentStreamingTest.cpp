// Component streaming through the filer: published ordinal, Boolean, set and text
// properties with their defaults and stored predicates, owned objects and collections,
// whole components with children made from the class registry, and references to
// components held, not owned, resolved by name once everything is read.
#include <gtest/gtest.h>

#include "classlib/ClassRegistry.h"
#include "classlib/Collections.h"
#include "classlib/Components.h"
#include "classlib/Filer.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/PublishedProperties.h"

namespace {

enum TShape : uint8_t { shSquare, shRound, shStar };
enum TMark : uint8_t { mkA, mkB, mkC };
using TMarks = TSet<TMark>;

class TPin : public TCollectionItem {
  KIVO_CLASS(TPin, TCollectionItem)
 public:
  explicit TPin(TCollection* collection) : TCollectionItem(collection) {}
  int GetNumber() const { return FNumber; }
  void SetNumber(int value) { FNumber = value; }

 private:
  int FNumber = 1;
};

class TPart : public TComponent {
  KIVO_CLASS(TPart, TComponent)
 public:
  explicit TPart(TComponent* AOwner) : TComponent(AOwner), FPins(&TPin::MetaClass()) {}
  ~TPart() override { delete FFont; }

  int GetSize() const { return FSize; }
  void SetSize(int value) { FSize = value; }
  bool GetLocked() const { return FLocked; }
  void SetLocked(bool value) { FLocked = value; }
  TShape GetShape() const { return FShape; }
  void SetShape(TShape value) { FShape = value; }
  TMarks GetMarks() const { return FMarks; }
  void SetMarks(TMarks value) { FMarks = value; }
  const std::string& GetLabel() const { return FLabel; }
  void SetLabel(const std::string& value) { FLabel = value; }
  int GetSecret() const { return FSecret; }
  void SetSecret(int value) { FSecret = value; }
  bool IsSecretStored() const { return FSecret > 100; }
  TFont* GetFont() {
    if (!FFont)
      FFont = new TFont();
    return FFont;
  }
  bool HasFont() const { return FFont != nullptr; }
  TCollection* GetPins() { return &FPins; }
  TPart* GetPartner() const { return FPartner; }
  void SetPartner(TPart* value) { FPartner = value; }
  TComponent* GetAnchor() const { return FAnchor; }

  // The children it streams: the parts owned by the root whose Holder it is.
  void GetChildren(TGetChildProc proc, TComponent* root) override {
    for (int i = 0; i < root->GetComponentCount(); ++i)
      if (auto* part = ObjectAs<TPart>(root->GetComponent(i)); part && part->Holder == this)
        proc(part);
  }
  void ReadState(TReader& reader) override {
    inherited::ReadState(reader);
    Holder = ObjectAs<TPart>(reader.GetParent());
  }
  void Loaded() override {
    inherited::Loaded();
    LoadedOrder().push_back(GetName());
  }
  static std::vector<std::string>& LoadedOrder() {
    static std::vector<std::string> order;
    return order;
  }

  TPart* Holder = nullptr;

 private:
  int FSize = 10;
  bool FLocked = false;
  TShape FShape = shSquare;
  TMarks FMarks;
  std::string FLabel;
  int FSecret = 0;
  TFont* FFont = nullptr;
  TCollection FPins;
  TPart* FPartner = nullptr;

 public:
  TComponent* FAnchor = nullptr;  // read-only: never stored
};

class ComponentStreaming : public testing::Test {
 protected:
  void SetUp() override {
    InitializeGraphicsObjects();
    RegisterClass(TPart::StaticClass());
    RegisterPublishedProperties(TPin::StaticClass(), {OrdinalProperty<&TPin::GetNumber, &TPin::SetNumber>("Number", 1)});
    RegisterPublishedProperties(
        TPart::StaticClass(),
        {OrdinalProperty<&TPart::GetSize, &TPart::SetSize>("Size", 10),
         OrdinalProperty<&TPart::GetLocked, &TPart::SetLocked>("Locked", false),
         OrdinalProperty<&TPart::GetShape, &TPart::SetShape>("Shape"),
         OrdinalProperty<&TPart::GetMarks, &TPart::SetMarks>("Marks", 0),
         StringProperty<&TPart::GetLabel, &TPart::SetLabel>("Label"),
         StoredWhen<&TPart::IsSecretStored>(OrdinalProperty<&TPart::GetSecret, &TPart::SetSecret>("Secret")),
         StoredWhen<&TPart::HasFont>(ObjectProperty<&TPart::GetFont>("Font")),
         ObjectProperty<&TPart::GetPins>("Pins"),
         ObjectProperty<&TPart::GetPartner, &TPart::SetPartner>("Partner"),
         ObjectProperty<&TPart::GetAnchor>("Anchor")});
    TPart::LoadedOrder().clear();
    FSavedFindGlobalComponent = FindGlobalComponentProc;
  }
  void TearDown() override {
    FindGlobalComponentProc = FSavedFindGlobalComponent;
    UnRegisterPublishedProperties(TPart::StaticClass());
    UnRegisterPublishedProperties(TPin::StaticClass());
    UnRegisterClass(TPart::StaticClass());
    FinalizeGraphicsObjects();
  }
  TFindGlobalComponentProc FSavedFindGlobalComponent = nullptr;
  static std::vector<std::string> Names(const TFilerData& data) {
    std::vector<std::string> names;
    for (const TFilerProperty& p : data)
      names.push_back(p.Name);
    return names;
  }
};

TEST_F(ComponentStreaming, OnlyValuesThatDifferFromTheirDefaultsAreStored) {
  TPart part(nullptr);
  TFilerData data;
  TWriter(data).WriteProperties(&part);
  // Shape has no default: always stored; an empty collection is stored as empty.
  EXPECT_EQ(Names(data), (std::vector<std::string>{"Shape", "Pins"}));
  part.SetSize(12);
  part.SetLocked(true);
  part.SetMarks(TMarks{mkA, mkC});
  part.SetLabel("R1");
  part.SetSecret(50);
  data.clear();
  TWriter(data).WriteProperties(&part);
  EXPECT_EQ(Names(data), (std::vector<std::string>{"Size", "Locked", "Shape", "Marks", "Label", "Pins"}));
  EXPECT_EQ(std::get<int32_t>(data[3].Values[0]), 5);
  EXPECT_TRUE(std::get<bool>(data[1].Values[0]));
  EXPECT_EQ(GetOrdProp(&part, "marks"), 5);
  EXPECT_EQ(GetStrProp(&part, "Label"), "R1");
  EXPECT_THROW(GetStrProp(&part, "Size"), EPropertyError);
}

TEST_F(ComponentStreaming, OwnedObjectsAndCollectionsComeBack) {
  TPart source(nullptr);
  source.GetFont()->SetName("Tahoma");
  source.GetFont()->SetStyle(TFontStyles{fsBold});
  static_cast<TPin*>(source.GetPins()->Add())->SetNumber(3);
  source.GetPins()->Add();
  source.SetSecret(200);
  TFilerData data;
  TWriter(data).WriteProperties(&source);

  TPart target(nullptr);
  target.GetPins()->Add();
  target.GetPins()->Add();
  target.GetPins()->Add();
  TReader(data).ReadProperties(&target);
  EXPECT_EQ(target.GetFont()->GetName(), "Tahoma");
  EXPECT_TRUE(target.GetFont()->GetStyle().Contains(fsBold));
  ASSERT_EQ(target.GetPins()->GetCount(), 2) << "the stored items replace the present ones";
  EXPECT_EQ(static_cast<TPin*>(target.GetPins()->GetItem(0))->GetNumber(), 3);
  EXPECT_EQ(static_cast<TPin*>(target.GetPins()->GetItem(1))->GetNumber(), 1);
  EXPECT_EQ(target.GetSecret(), 200);
}

TEST_F(ComponentStreaming, AComponentTreeIsRebuiltFromTheRegistry) {
  TComponent form(nullptr);
  auto* board = new TPart(&form);
  board->SetName("Board");
  auto* r1 = new TPart(&form);
  r1->SetName("R1");
  r1->Holder = board;
  r1->SetSize(33);
  auto* pad = new TPart(&form);
  pad->SetName("Pad");
  pad->Holder = r1;
  (new TPart(&form))->SetName("Loose");  // not a child of the board: not written

  const TFilerObject stored = TWriter::WriteRootComponent(board);
  ASSERT_EQ(stored.Children.size(), 1u);
  EXPECT_EQ(stored.Children[0].Name, "R1");
  ASSERT_EQ(stored.Children[0].Children.size(), 1u);

  TComponent other(nullptr);
  auto* copy = new TPart(&other);
  TReader::ReadRootComponent(stored, copy);
  EXPECT_EQ(copy->GetName(), "Board");
  auto* readR1 = ObjectAs<TPart>(other.FindComponent("R1"));
  ASSERT_TRUE(readR1);
  EXPECT_EQ(readR1->GetSize(), 33);
  EXPECT_EQ(readR1->Holder, copy) << "placed on its parent component";
  auto* readPad = ObjectAs<TPart>(other.FindComponent("Pad"));
  ASSERT_TRUE(readPad);
  EXPECT_EQ(readPad->Holder, readR1);
  EXPECT_EQ(TPart::LoadedOrder(), (std::vector<std::string>{"Board", "R1", "Pad"}));
  EXPECT_FALSE(readPad->GetComponentState().Contains(csLoading));

  // A child whose name is taken in the owner fails and is freed.
  auto* second = new TPart(&other);
  second->SetName("Board2");
  EXPECT_THROW(TReader::ReadRootComponent(stored, second), EComponentError);
  EXPECT_EQ(other.GetComponentCount(), 4);
  EXPECT_FALSE(second->GetComponentState().Contains(csLoading));
}

// The reference a property was written as, or "" when it was not written.
std::string StoredReference(const TFilerData& data, const std::string& property) {
  for (const TFilerProperty& p : data)
    if (p.Name == property)
      return std::get<TFilerReference>(p.Values.at(0)).Name;
  return "";
}

TComponent* gLibrary = nullptr;
TComponent* FindLibrary(const std::string& name) { return name == "Library" ? gLibrary : nullptr; }

TEST_F(ComponentStreaming, ReferencesAreWrittenByNameAndResolvedInTheRootReadInto) {
  // The written form: a board and three parts; a library root of its own.
  TComponent form(nullptr);
  TComponent library(nullptr);
  library.SetName("Library");
  auto* board = new TPart(&form);
  board->SetName("Board");
  auto* r1 = new TPart(&form);
  r1->SetName("R1");
  r1->Holder = board;
  auto* r2 = new TPart(&form);
  r2->SetName("R2");
  r2->Holder = board;
  auto* r3 = new TPart(&form);
  r3->SetName("R3");
  r3->Holder = board;
  auto* shared = new TPart(&library);
  shared->SetName("Shared");
  TPart unnamed(nullptr);
  board->SetPartner(r2);      // a part of the same form: its name alone
  r1->SetPartner(shared);     // of another root: qualified with that root's name
  r2->SetPartner(&unnamed);   // nothing could find it again: not written
  r3->SetPartner(r1);
  r3->FAnchor = r1;           // a property that cannot take it back: not written
  const TFilerObject stored = TWriter::WriteRootComponent(board);
  EXPECT_EQ(StoredReference(stored.Properties, "Partner"), "R2");
  EXPECT_EQ(StoredReference(stored.Children.at(0).Properties, "Partner"), "Library.Shared");
  EXPECT_EQ(StoredReference(stored.Children.at(1).Properties, "Partner"), "");
  EXPECT_EQ(StoredReference(stored.Children.at(2).Properties, "Partner"), "R1");
  EXPECT_EQ(StoredReference(stored.Children.at(2).Properties, "Anchor"), "");

  // Read into another form: the names find that form's parts, the qualified one the
  // library that the global look-up finds.
  gLibrary = &library;
  FindGlobalComponentProc = FindLibrary;
  TComponent other(nullptr);
  auto* copy = new TPart(&other);
  const std::vector<std::string> unresolved = TReader::ReadRootComponent(stored, copy);
  EXPECT_TRUE(unresolved.empty()) << unresolved.at(0);
  auto* readR1 = ObjectAs<TPart>(other.FindComponent("R1"));
  auto* readR2 = ObjectAs<TPart>(other.FindComponent("R2"));
  auto* readR3 = ObjectAs<TPart>(other.FindComponent("R3"));
  ASSERT_TRUE(readR1 && readR2 && readR3);
  EXPECT_EQ(copy->GetPartner(), readR2) << "R2 comes after the board, and is found once all is read";
  EXPECT_EQ(readR1->GetPartner(), shared);
  EXPECT_EQ(readR2->GetPartner(), nullptr);
  EXPECT_EQ(readR3->GetPartner(), readR1);
}

TEST_F(ComponentStreaming, AReferenceThatFindsNothingStaysNilAndTheRestLoads) {
  TComponent form(nullptr);
  auto* board = new TPart(&form);
  board->SetName("Board");
  auto* wrongClass = new TComponent(&form);
  wrongClass->SetName("Plain");
  TFilerObject stored = TWriter::WriteRootComponent(board);
  stored.Properties.push_back(TFilerProperty{"Partner", false, {TFilerReference{"Gone"}}});
  TFilerObject child;
  child.ClassName = "TPart";
  child.Name = "R1";
  child.Properties.push_back(TFilerProperty{"Partner", false, {TFilerReference{"Plain"}}});
  child.Properties.push_back(TFilerProperty{"Size", false, {int32_t(44)}});
  stored.Children.push_back(child);
  child.Name = "R2";
  child.Properties = {TFilerProperty{"Partner", false, {TFilerReference{"Nowhere.R1"}}}};
  stored.Children.push_back(child);

  TComponent other(nullptr);
  (new TComponent(&other))->SetName("Plain");  // found, but no part
  auto* copy = new TPart(&other);
  const std::vector<std::string> unresolved = TReader::ReadRootComponent(stored, copy);
  EXPECT_EQ(unresolved, (std::vector<std::string>{"Board.Partner: Gone not found", "R1.Partner: Plain is no TPart",
                                                  "R2.Partner: Nowhere.R1 not found"}));
  EXPECT_EQ(copy->GetPartner(), nullptr);
  auto* readR1 = ObjectAs<TPart>(other.FindComponent("R1"));
  ASSERT_TRUE(readR1);
  EXPECT_EQ(readR1->GetPartner(), nullptr);
  EXPECT_EQ(readR1->GetSize(), 44) << "the properties after the reference still load";
  EXPECT_TRUE(other.FindComponent("R2"));
  EXPECT_EQ(TPart::LoadedOrder(), (std::vector<std::string>{"Board", "R1", "R2"}));

  // A reference where the property holds owned objects is bad data.
  TFilerData bad{TFilerProperty{"Font", false, {TFilerReference{"R1"}}}};
  TPart target(nullptr);
  EXPECT_THROW(TReader(bad).ReadProperties(&target), EReadError);
}

TEST_F(ComponentStreaming, PropertiesReadOnTheirOwnResolveAmongTheOwnersComponents) {
  TComponent form(nullptr);
  auto* a = new TPart(&form);
  a->SetName("A");
  auto* b = new TPart(&form);
  b->SetName("B");
  a->SetPartner(b);
  TFilerData data;
  TWriter(data).WriteProperties(a);
  EXPECT_EQ(StoredReference(data, "Partner"), "B");

  TComponent other(nullptr);
  auto* otherB = new TPart(&other);
  otherB->SetName("b");
  TReader reader(data);
  reader.SetOwner(&other);
  TPart target(nullptr);
  reader.ReadProperties(&target);
  EXPECT_EQ(target.GetPartner(), otherB);
  EXPECT_TRUE(reader.GetUnresolvedReferences().empty());
}

}  // namespace
