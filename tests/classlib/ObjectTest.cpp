#include "classlib/Object.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

class TShape : public TObject {
  KIVO_CLASS(TShape, TObject)
 public:
  static const char* Kind() { return "shape"; }
};

class TCircle : public TShape {
  KIVO_CLASS(TCircle, TShape)
 public:
  static const char* Kind() { return "circle"; }
};

// A family with a class-level virtual and a constructor argument.
class TNamed;
class TNamedClass : public TMetaClass {
 public:
  using TMetaClass::TMetaClass;
  virtual TNamed* Create(int size) const = 0;
  virtual std::string Kind() const = 0;
};

class TNamed : public TObject {
  KIVO_CLASS(TNamed, TObject)
 public:
  template <class T>
  class TMetaFor : public TNamedClass {
   public:
    using TNamedClass::TNamedClass;
    TNamed* Create(int size) const override {
      if constexpr (std::is_abstract_v<T>)
        AbstractError();
      else
        return new T(size);
    }
    std::string Kind() const override { return T::Kind(); }
  };
  explicit TNamed(int size) : Size(size) {}
  static std::string Kind() { return "named"; }
  int Size;
};

class TLabelled : public TNamed {
  KIVO_CLASS(TLabelled, TNamed)
 public:
  using TNamed::TNamed;
  static std::string Kind() { return "labelled"; }
};

class TPlainLabelled : public TLabelled {  // inherits the class-level operation
  KIVO_CLASS(TPlainLabelled, TLabelled)
 public:
  using TLabelled::TLabelled;
};

TEST(ObjectModel, ClassNamesAndAncestry) {
  TCircle circle;
  TObject& object = circle;
  EXPECT_STREQ(object.ClassName(), "TCircle");
  EXPECT_EQ(object.ClassType(), TCircle::StaticClass());
  EXPECT_TRUE(object.Is<TShape>());
  EXPECT_TRUE(object.Is<TObject>());
  EXPECT_FALSE(TShape().Is<TCircle>());
  EXPECT_EQ(TCircle::StaticClass()->ClassParent(), TShape::StaticClass());
  EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
  EXPECT_EQ(ObjectAs<TCircle>(&object), &circle);
  TShape shape;
  EXPECT_EQ(ObjectAs<TCircle>(&shape), nullptr);
}

TEST(ObjectModel, ClassReferencesMakeInstances) {
  TClass cls = TCircle::StaticClass();
  std::unique_ptr<TObject> made(cls->NewInstance());
  EXPECT_STREQ(made->ClassName(), "TCircle");
  // A class that needs arguments cannot be made by the plain constructor.
  EXPECT_THROW(TNamed::StaticClass()->NewInstance(), EAbstractError);
}

TEST(ObjectModel, FamilyMetaclassCarriesConstructorsAndClassOperations) {
  const TNamedClass* cls = MetaClassAs<TNamedClass>(TPlainLabelled::StaticClass());
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(cls->Kind(), "labelled");
  std::unique_ptr<TNamed> made(cls->Create(7));
  EXPECT_STREQ(made->ClassName(), "TPlainLabelled");
  EXPECT_EQ(made->Size, 7);
  EXPECT_EQ(MetaClassAs<TNamedClass>(TNamed::StaticClass())->Kind(), "named");
  EXPECT_EQ(MetaClassAs<TNamedClass>(TCircle::StaticClass()), nullptr);
}

TEST(Exceptions, ListIndexMessageAndFormat) {
  try {
    ListIndexError(-3);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (-3)");
  }
  EXPECT_EQ(Format("%s-%04d", "x", 12), "x-0012");
  EXPECT_EQ(Format("%s", std::string(1000, 'a').c_str()).size(), 1000u);
}

}  // namespace
