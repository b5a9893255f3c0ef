// Component streaming through the filer: published ordinal, Boolean, set and text
// properties with their defaults and stored predicates, owned objects and collections,
// and whole components with children made from the class registry.
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
         ObjectProperty<&TPart::GetPins>("Pins")});
    TPart::LoadedOrder().clear();
  }
  void TearDown() override {
    UnRegisterPublishedProperties(TPart::StaticClass());
    UnRegisterPublishedProperties(TPin::StaticClass());
    UnRegisterClass(TPart::StaticClass());
    FinalizeGraphicsObjects();
  }
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

}  // namespace
