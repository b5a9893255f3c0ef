#include "classlib/Interfaces.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Boundary.h"
#include "tests/classlib/ExpectError.h"

// Interfaces carry their identifiers as class members, declared at namespace scope
// like the host's.
class ICounterIntf : public IUnknown {
 public:
  KIVO_INTERFACE_ID(ICounterIntf, "{CF7702C4-5044-49E3-BE46-37B9F8FB8203}")
  virtual int __stdcall GetValue() = 0;
  virtual void __stdcall SetValue(int value) = 0;
};

class INamedIntf : public IUnknown {
 public:
  KIVO_INTERFACE_ID(INamedIntf, "{b3f5f50a-c728-462b-8c35-0af07aefe6d5}")
  virtual const char* __stdcall GetName() = 0;
};

class IMissingIntf : public IUnknown {
 public:
  KIVO_INTERFACE_ID(IMissingIntf, "{8452C443-703F-4881-B7AC-C33550794AA6}")
};

namespace {

// A counted object that hands out and releases references to itself while it is being
// built, as the server module does.
class TCounter : public TImplements<TInterfacedObject, ICounterIntf, INamedIntf> {
  KIVO_CLASS(TCounter, TInterfacedObject)
 public:
  explicit TCounter(bool* freed = nullptr) : FFreed(freed) {
    TInterfacePtr<ICounterIntf> self(this);
    CountDuringConstruction = GetRefCount();
    self->SetValue(3);
  }
  ~TCounter() override {
    if (FFreed)
      *FFreed = true;
  }
  int __stdcall GetValue() override { return FValue; }
  void __stdcall SetValue(int value) override { FValue = value; }
  const char* __stdcall GetName() override { return "counter"; }

  int CountDuringConstruction = 0;

 private:
  bool* FFreed;
  int FValue = 0;
};

// An uncounted object: its owner frees it.
class TLauncher : public TImplements<TInterfacedObjectNoRef, INamedIntf> {
  KIVO_CLASS(TLauncher, TInterfacedObjectNoRef)
 public:
  const char* __stdcall GetName() override { return "launcher"; }
};

TEST(Interfaces, IdentifiersAreReadFromTheirText) {
  constexpr GUID id = GUIDFromText("{CF7702C4-5044-49E3-BE46-37B9F8FB8203}");
  EXPECT_EQ(id.Data1, 0xCF7702C4ul);
  EXPECT_EQ(id.Data2, 0x5044);
  EXPECT_EQ(id.Data3, 0x49E3);
  const unsigned char tail[8] = {0xBE, 0x46, 0x37, 0xB9, 0xF8, 0xFB, 0x82, 0x03};
  EXPECT_EQ(memcmp(id.Data4, tail, 8), 0);
  EXPECT_TRUE(IsEqualGUID(IIDOf<ICounterIntf>(), id));
  EXPECT_TRUE(IsEqualGUID(GUIDFromText("{00000000-0000-0000-C000-000000000046}"),
                          IIDOf<IUnknown>()));
  EXPECT_EQ(IIDOf<INamedIntf>().Data1, 0xB3F5F50Aul);  // lower-case digits read too
}

TEST(Interfaces, CountedObjectSurvivesReferencesDuringConstructionAndDiesAtZero) {
  bool freed = false;
  TCounter* counter = new TCounter(&freed);
  EXPECT_EQ(counter->CountDuringConstruction, 2);
  EXPECT_FALSE(freed);
  EXPECT_EQ(counter->GetRefCount(), 1);  // the construction reference
  EXPECT_EQ(counter->GetValue(), 3);
  {
    TInterfacePtr<INamedIntf> named = InterfaceCast<INamedIntf>(static_cast<ICounterIntf*>(counter));
    EXPECT_STREQ(named->GetName(), "counter");
    EXPECT_EQ(counter->GetRefCount(), 2);
  }
  EXPECT_EQ(counter->Release(), 0u);
  EXPECT_TRUE(freed);

  freed = false;
  {
    TInterfacePtr<TCounter> made = MakeInterfaced<TCounter>(&freed);
    EXPECT_EQ(made->GetRefCount(), 1);
    TInterfacePtr<TCounter> copy = made;
    made.Reset();
    EXPECT_FALSE(freed);
  }
  EXPECT_TRUE(freed);
}

TEST(Interfaces, UncountedObjectIsNeverFreedByReleases) {
  auto* launcher = new TLauncher;
  INamedIntf* named = launcher;
  EXPECT_EQ(named->AddRef(), 0u);
  EXPECT_EQ(named->Release(), 0u);
  EXPECT_EQ(named->Release(), 0u);
  {
    TInterfacePtr<INamedIntf> held = InterfaceCast<INamedIntf>(named);
  }
  EXPECT_STREQ(named->GetName(), "launcher");  // still alive
  delete launcher;
}

TEST(Interfaces, QueryInterfaceAnswersEachImplementedInterfaceWithOneIdentity) {
  TInterfacePtr<TCounter> counter = MakeInterfaced<TCounter>();
  ICounterIntf* asCounter = counter.Get();
  INamedIntf* asNamed = counter.Get();
  void* unknown1 = nullptr;
  void* unknown2 = nullptr;
  ASSERT_EQ(asCounter->QueryInterface(IIDOf<IUnknown>(), &unknown1), S_OK);
  ASSERT_EQ(asNamed->QueryInterface(IIDOf<IUnknown>(), &unknown2), S_OK);
  EXPECT_EQ(unknown1, unknown2);
  static_cast<IUnknown*>(unknown1)->Release();
  static_cast<IUnknown*>(unknown2)->Release();

  void* missing = reinterpret_cast<void*>(1);
  EXPECT_EQ(asCounter->QueryInterface(IIDOf<IMissingIntf>(), &missing), E_NOINTERFACE);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(asCounter->QueryInterface(IIDOf<IMissingIntf>(), nullptr), E_POINTER);
  EXPECT_EQ(counter->GetRefCount(), 1);
}

TEST(Interfaces, OperationsSitAtTheirTablePositions) {
  // The host calls by position, QueryInterface being 0: SetValue is 4, GetValue 3.
  TInterfacePtr<TCounter> counter = MakeInterfaced<TCounter>();
  ICounterIntf* intf = counter.Get();
  void** table = *reinterpret_cast<void***>(intf);
  using TSetValue = void(__stdcall*)(ICounterIntf*, int);
  using TGetValue = int(__stdcall*)(ICounterIntf*);
  reinterpret_cast<TSetValue>(table[4])(intf, 42);
  EXPECT_EQ(reinterpret_cast<TGetValue>(table[3])(intf), 42);
  using TAddRef = ULONG(__stdcall*)(ICounterIntf*);
  EXPECT_EQ(reinterpret_cast<TAddRef>(table[1])(intf), 2u);
  EXPECT_EQ(reinterpret_cast<TAddRef>(table[2])(intf), 1u);
}

TEST(Interfaces, SupportsAndTheRaisingCast) {
  TInterfacePtr<TCounter> counter = MakeInterfaced<TCounter>();
  IUnknown* unknown = static_cast<ICounterIntf*>(counter.Get());
  TInterfacePtr<INamedIntf> named;
  EXPECT_TRUE(Supports(unknown, named));
  EXPECT_STREQ(named->GetName(), "counter");
  TInterfacePtr<IMissingIntf> missing;
  EXPECT_FALSE(Supports(unknown, missing));
  EXPECT_FALSE(missing);
  EXPECT_TRUE(Supports(unknown, IIDOf<ICounterIntf>()));
  EXPECT_FALSE(Supports(nullptr, IIDOf<ICounterIntf>()));
  EXPECT_FALSE(InterfaceCast<INamedIntf>(nullptr));  // nil casts to nil
  ExpectRaises<EIntfCastError>([&] { InterfaceCast<IMissingIntf>(unknown); },
                               "Interface not supported");
  named.Reset();
  EXPECT_EQ(counter->GetRefCount(), 1);  // nothing leaked a reference
}

class TThrowingLookup : public TInterfacedObject {
 protected:
  bool GetInterface(REFIID iid, void** intf) override { throw Exception("lookup failed"); }
};

std::vector<std::string> gBoundaryReports;
void RecordBoundary(const char* where, const std::exception* error) {
  gBoundaryReports.push_back(std::string(where) + ": " + (error ? error->what() : "?"));
}

TEST(Interfaces, QueryInterfaceStopsExceptionsAtTheBoundary) {
  TInterfacePtr<TThrowingLookup> object = MakeInterfaced<TThrowingLookup>();
  gBoundaryReports.clear();
  TBoundaryHandler previous = SetBoundaryHandler(&RecordBoundary);
  void* out = nullptr;
  HRESULT result = object->QueryInterface(IIDOf<IUnknown>(), &out);
  SetBoundaryHandler(previous);
  EXPECT_EQ(result, E_UNEXPECTED);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(gBoundaryReports, (std::vector<std::string>{"QueryInterface: lookup failed"}));
}

TEST(InterfaceList, HoldsCountedReferencesAndChecksIndexes) {
  bool freed1 = false;
  bool freed2 = false;
  auto* first = new TCounter(&freed1);
  auto* second = new TCounter(&freed2);
  ICounterIntf* a = first;
  ICounterIntf* b = second;
  {
    TInterfaceList list;
    EXPECT_EQ(list.Add(a), 0);
    EXPECT_EQ(list.Add(b), 1);
    list.Insert(0, b);
    EXPECT_EQ(second->GetRefCount(), 3);
    a->Release();  // the list now holds the only reference to the first
    b->Release();
    EXPECT_FALSE(freed1);
    EXPECT_EQ(list.IndexOf(a), 1);
    EXPECT_EQ(list.IndexOf(nullptr), -1);
    EXPECT_EQ(list.Get(2).Get(), b);
    ExpectRaises<EListError>([&] { list.Get(3); }, "List index out of bounds (3)");
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Put(3, a), EListError);
    EXPECT_THROW(list.Insert(4, a), EListError);
    EXPECT_EQ(list.Remove(a), 1);
    EXPECT_TRUE(freed1);
    EXPECT_EQ(list.Remove(a), -1);
    EXPECT_EQ(list.GetCount(), 2);
    list.Clear();
    EXPECT_TRUE(freed2);
    list.Add(nullptr);
    EXPECT_EQ(list.IndexOf(nullptr), 0);
  }
}

}  // namespace
