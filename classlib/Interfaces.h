// COM-compatible interfaces: identifiers, counted references, the interfaced objects
// that implement them, a list of interface references, and the query helpers.
//
// An interface is an abstract class deriving from the platform's IUnknown (__stdcall
// QueryInterface, AddRef, Release; no virtual destructor), so its operation table is the
// one the host expects. It names its identifier inside its declaration:
//
//   class IModuleIntf : public IUnknown {
//    public:
//     KIVO_INTERFACE_ID(IModuleIntf, "{CF7702C4-5044-49E3-BE46-37B9F8FB8203}")
//     virtual void __stdcall Idle() = 0;
//   };
//
// An object implements interfaces by deriving from TImplements<Base, IFoo, IBar...>, where
// Base is TInterfacedObject (counted) or TInterfacedObjectNoRef (uncounted).
//
// Lifetime of a counted object: a new TInterfacedObject starts with one reference, the
// construction reference, owned by whoever made it. References handed out and released
// while it is being built therefore never free it. The maker ends its reference with
// Release(), by adopting it into a TInterfacePtr (MakeInterfaced does both steps), or by
// handing it on as an out-reference, for instance to the host. The object frees itself
// when the last reference is released.
#pragma once

#include <cassert>
#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

#include "classlib/Object.h"
#include "classlib/Win.h"

namespace interfaces_detail {

[[noreturn]] void BadInterfaceIdText();  // not constexpr: a bad text fails to compile

consteval unsigned HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  BadInterfaceIdText();
}

consteval unsigned long HexAt(const char* text, int first, int digits) {
  unsigned long value = 0;
  for (int i = 0; i < digits; ++i)
    value = value * 16 + HexDigit(text[first + i]);
  return value;
}

}  // namespace interfaces_detail

// The identifier written as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", read at compile time.
consteval GUID GUIDFromText(const char (&text)[39]) {
  using namespace interfaces_detail;
  if (text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' ||
      text[24] != '-' || text[37] != '}')
    BadInterfaceIdText();
  GUID id{};
  id.Data1 = HexAt(text, 1, 8);
  id.Data2 = static_cast<unsigned short>(HexAt(text, 10, 4));
  id.Data3 = static_cast<unsigned short>(HexAt(text, 15, 4));
  id.Data4[0] = static_cast<unsigned char>(HexAt(text, 20, 2));
  id.Data4[1] = static_cast<unsigned char>(HexAt(text, 22, 2));
  for (int i = 0; i < 6; ++i)
    id.Data4[2 + i] = static_cast<unsigned char>(HexAt(text, 25 + 2 * i, 2));
  return id;
}

// Declares the identifier of the interface `Name` inside its class body.
#define KIVO_INTERFACE_ID(Name, Text)                      \
  using TIdentifiedInterface = Name;                       \
  static constexpr GUID InterfaceId = GUIDFromText(Text);

// The identifier of interface I: its KIVO_INTERFACE_ID, or the platform's for IUnknown
// and the other system interfaces.
template <class I>
constexpr const GUID& IIDOf() {
  if constexpr (requires { typename I::TIdentifiedInterface; }) {
    static_assert(std::is_same_v<typename I::TIdentifiedInterface, I>,
                  "the interface must declare its own KIVO_INTERFACE_ID");
    return I::InterfaceId;
  } else {
    return __uuidof(I);
  }
}

// A counted reference to an interface, released when it goes away.
template <class I>
class TInterfacePtr {
 public:
  TInterfacePtr() = default;
  TInterfacePtr(std::nullptr_t) {}
  // Takes a new reference.
  TInterfacePtr(I* intf) : FIntf(intf) {
    if (FIntf)
      FIntf->AddRef();
  }
  TInterfacePtr(const TInterfacePtr& other) : TInterfacePtr(other.FIntf) {}
  TInterfacePtr(TInterfacePtr&& other) noexcept : FIntf(std::exchange(other.FIntf, nullptr)) {}
  TInterfacePtr& operator=(TInterfacePtr other) noexcept {
    std::swap(FIntf, other.FIntf);
    return *this;
  }
  ~TInterfacePtr() { Reset(); }

  // Takes over a reference that is already counted (a construction reference, or one
  // received through an out-reference).
  static TInterfacePtr Adopt(I* intf) {
    TInterfacePtr ptr;
    ptr.FIntf = intf;
    return ptr;
  }
  // Gives the reference to the caller, who must release it.
  I* Detach() { return std::exchange(FIntf, nullptr); }
  void Reset() {
    if (I* intf = std::exchange(FIntf, nullptr))
      intf->Release();
  }
  // Releases the reference and returns the slot for an out-reference to fill.
  I** OutRef() {
    Reset();
    return &FIntf;
  }

  I* Get() const { return FIntf; }
  I* operator->() const {
    assert(FIntf && "call through a nil interface");
    return FIntf;
  }
  explicit operator bool() const { return FIntf != nullptr; }
  friend bool operator==(const TInterfacePtr& a, const TInterfacePtr& b) { return a.FIntf == b.FIntf; }

 private:
  I* FIntf = nullptr;
};

// The counted interfaced object. QueryInterface answers through GetInterface.
class TInterfacedObject : public TObject, public IUnknown {
  KIVO_CLASS(TInterfacedObject, TObject)
 public:
  TInterfacedObject() = default;
  TInterfacedObject(const TInterfacedObject&) = delete;
  TInterfacedObject& operator=(const TInterfacedObject&) = delete;
  ~TInterfacedObject() override;

  HRESULT __stdcall QueryInterface(REFIID iid, void** object) override;
  ULONG __stdcall AddRef() override;
  ULONG __stdcall Release() override;

  int GetRefCount() const { return FRefCount; }

 protected:
  // Sets *intf to this object's interface `iid` (not counted) and answers true, or
  // answers false. The base knows IUnknown.
  virtual bool GetInterface(REFIID iid, void** intf);

 private:
  LONG FRefCount = 1;  // the construction reference
};

// An interfaced object without reference counting: AddRef and Release answer 0 and never
// free it. Whoever made it frees it.
class TInterfacedObjectNoRef : public TInterfacedObject {
  KIVO_CLASS(TInterfacedObjectNoRef, TInterfacedObject)
 public:
  ULONG __stdcall AddRef() override { return 0; }
  ULONG __stdcall Release() override { return 0; }
};

// Base with the interfaces Intfs... implemented: one IUnknown behaviour (Base's) for all
// of them, and QueryInterface answering each of their identifiers.
template <class Base, class... Intfs>
class TImplements : public Base, public Intfs... {
 public:
  using Base::Base;

  HRESULT __stdcall QueryInterface(REFIID iid, void** object) override {
    return Base::QueryInterface(iid, object);
  }
  ULONG __stdcall AddRef() override { return Base::AddRef(); }
  ULONG __stdcall Release() override { return Base::Release(); }

 protected:
  bool GetInterface(REFIID iid, void** intf) override {
    return (Offer<Intfs>(iid, intf) || ...) || Base::GetInterface(iid, intf);
  }

 private:
  template <class I>
  bool Offer(REFIID iid, void** intf) {
    if (!IsEqualGUID(iid, IIDOf<I>()))
      return false;
    *intf = static_cast<I*>(this);
    return true;
  }
};

// Makes a counted object and returns the only reference to it.
template <class T, class... Args>
TInterfacePtr<T> MakeInterfaced(Args&&... args) {
  static_assert(!std::is_base_of_v<TInterfacedObjectNoRef, T>,
                "an uncounted object is freed by its owner, not by its last reference");
  return TInterfacePtr<T>::Adopt(new T(std::forward<Args>(args)...));
}

// True when `instance` offers I; the counted reference goes to `intf` (nil otherwise).
template <class I>
bool Supports(IUnknown* instance, TInterfacePtr<I>& intf) {
  intf.Reset();
  void* raw = nullptr;
  if (!instance || FAILED(instance->QueryInterface(IIDOf<I>(), &raw)) || !raw)
    return false;
  intf = TInterfacePtr<I>::Adopt(static_cast<I*>(raw));
  return true;
}

// True when `instance` offers the interface `iid`.
bool Supports(IUnknown* instance, REFIID iid);

// Raises EIntfCastError "Interface not supported".
[[noreturn]] void IntfCastError();

// The "as" cast: the counted reference to I, nil for a nil instance; raises
// EIntfCastError "Interface not supported" when the instance does not offer I.
template <class I>
TInterfacePtr<I> InterfaceCast(IUnknown* instance) {
  TInterfacePtr<I> intf;
  if (instance && !Supports(instance, intf))
    IntfCastError();
  return intf;
}

// A list of counted interface references, kept as given (no query).
class TInterfaceList : public TObject {
  KIVO_CLASS(TInterfaceList, TObject)
 public:
  TInterfaceList() = default;
  TInterfaceList(const TInterfaceList&) = delete;
  TInterfaceList& operator=(const TInterfaceList&) = delete;

  int Add(IUnknown* item);
  void Insert(int index, IUnknown* item);
  void Delete(int index);
  // Removes the first occurrence of `item`; returns its former index or -1.
  int Remove(IUnknown* item);
  int IndexOf(IUnknown* item) const;
  // Releases every reference.
  void Clear();

  int GetCount() const { return static_cast<int>(FList.size()); }
  // Items[Index], a counted copy.
  TInterfacePtr<IUnknown> Get(int index) const;
  void Put(int index, IUnknown* item);

 private:
  void CheckIndex(int index) const;

  std::vector<TInterfacePtr<IUnknown>> FList;
};
