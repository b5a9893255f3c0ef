#include "classlib/Interfaces.h"

#include "classlib/Boundary.h"

// TInterfacedObject

TInterfacedObject::~TInterfacedObject() {
  assert(FRefCount <= 1 && "interfaced object freed while references to it are held");
}

HRESULT __stdcall TInterfacedObject::QueryInterface(REFIID iid, void** object) {
  if (!object)
    return E_POINTER;
  *object = nullptr;
  // Called by the host: nothing may unwind out of it.
  return GuardBoundaryResult("QueryInterface", HRESULT(E_UNEXPECTED), [&]() -> HRESULT {
    if (!GetInterface(iid, object))
      return E_NOINTERFACE;
    static_cast<IUnknown*>(*object)->AddRef();
    return S_OK;
  });
}

ULONG __stdcall TInterfacedObject::AddRef() { return InterlockedIncrement(&FRefCount); }

ULONG __stdcall TInterfacedObject::Release() {
  LONG count = InterlockedDecrement(&FRefCount);
  if (count == 0)
    delete this;
  return count;
}

bool TInterfacedObject::GetInterface(REFIID iid, void** intf) {
  if (!IsEqualGUID(iid, IIDOf<IUnknown>()))
    return false;
  *intf = static_cast<IUnknown*>(this);
  return true;
}

// Query helpers

bool Supports(IUnknown* instance, REFIID iid) {
  void* raw = nullptr;
  if (!instance || FAILED(instance->QueryInterface(iid, &raw)) || !raw)
    return false;
  static_cast<IUnknown*>(raw)->Release();
  return true;
}

void IntfCastError() { throw EIntfCastError("Interface not supported"); }

// TInterfaceList

void TInterfaceList::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
}

int TInterfaceList::Add(IUnknown* item) {
  FList.emplace_back(item);
  return GetCount() - 1;
}

void TInterfaceList::Insert(int index, IUnknown* item) {
  if (index < 0 || index > GetCount())
    ListIndexError(index);
  FList.emplace(FList.begin() + index, item);
}

void TInterfaceList::Delete(int index) {
  CheckIndex(index);
  // Released after the list is consistent again: the release may free an object that
  // looks at this list.
  TInterfacePtr<IUnknown> doomed = std::move(FList[index]);
  FList.erase(FList.begin() + index);
}

void TInterfaceList::Clear() {
  std::vector<TInterfacePtr<IUnknown>> doomed;
  doomed.swap(FList);
}

int TInterfaceList::Remove(IUnknown* item) {
  int index = IndexOf(item);
  if (index >= 0)
    Delete(index);
  return index;
}

int TInterfaceList::IndexOf(IUnknown* item) const {
  for (int i = 0; i < GetCount(); ++i)
    if (FList[i].Get() == item)
      return i;
  return -1;
}

TInterfacePtr<IUnknown> TInterfaceList::Get(int index) const {
  CheckIndex(index);
  return FList[index];
}

void TInterfaceList::Put(int index, IUnknown* item) {
  CheckIndex(index);
  FList[index] = item;
}
