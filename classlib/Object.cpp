#include "classlib/Object.h"

#include "classlib/AliveGuard.h"

bool TMetaClass::InheritsFrom(TClass ancestor) const {
  for (TClass c = this; c; c = c->ClassParent())
    if (c == ancestor)
      return true;
  return false;
}

const TObject::TMetaFor<TObject>& TObject::MetaClass() {
  static const TMetaFor<TObject> meta("TObject", nullptr);
  return meta;
}

namespace {

// The deletions running now, innermost first: locals of operator delete on the
// user-interface thread.
struct TDeletion {
  const TObject* Object;
  const TDeletion* Next;
};
const TDeletion* gDeletions = nullptr;

}  // namespace

TObject::~TObject() { TAliveGuard::ObjectFreed(this); }

// Out of line: the compiler would otherwise pair the global allocation it sees through
// with the destroying delete, and call the two a mismatch.
void* TObject::operator new(size_t size) { return ::operator new(size); }

void* TObject::operator new(size_t size, const std::nothrow_t&) noexcept {
  return ::operator new(size, std::nothrow);
}

void TObject::operator delete(void* block) noexcept { ::operator delete(block); }

void TObject::operator delete(void* block, const std::nothrow_t&) noexcept { ::operator delete(block, std::nothrow); }

void TObject::operator delete(TObject* object, std::destroying_delete_t) {
  for (const TDeletion* deletion = gDeletions; deletion; deletion = deletion->Next)
    if (deletion->Object == object)
      return;
  void* block = dynamic_cast<void*>(object);
  const TDeletion deletion{object, gDeletions};
  gDeletions = &deletion;
  object->BeforeDestruction();
  object->~TObject();
  gDeletions = deletion.Next;
  ::operator delete(block);
}

void TObject::Dispatch(TMessage& message) { DefaultHandler(message); }

void TObject::DefaultHandler(TMessage&) {}
