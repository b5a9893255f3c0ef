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

TObject::~TObject() { TAliveGuard::ObjectFreed(this); }

void TObject::Dispatch(TMessage& message) { DefaultHandler(message); }

void TObject::DefaultHandler(TMessage&) {}
