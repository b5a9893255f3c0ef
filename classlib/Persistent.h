// TPersistent: the base of objects that can copy themselves from one another
// (Assign/AssignTo) and name extra stored data to a filer (DefineProperties).
// The default Assign asks the source to AssignTo; the default AssignTo raises
// EConvertError "Cannot assign a <source class> to a <destination class>".
#pragma once

#include "classlib/Object.h"

class TFiler;

class TPersistent : public TObject {
  KIVO_CLASS(TPersistent, TObject)
 public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
  ~TPersistent() override = default;

  // Copies `source` into this object. The default hands the work to
  // source->AssignTo(this); a null source raises the conversion error.
  virtual void Assign(TPersistent* source);

 protected:
  // Copies this object into `dest`; the default raises the conversion error.
  virtual void AssignTo(TPersistent* dest);
  // Names the extra data properties this object stores (see Filer.h); none by default.
  virtual void DefineProperties(TFiler& filer) {}
  // The object that owns this one, when there is one.
  virtual TPersistent* GetOwner() const { return nullptr; }

 private:
  [[noreturn]] void AssignError(const TPersistent* source) const;

  friend class TReader;
  friend class TWriter;
};
