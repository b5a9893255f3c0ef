#include "classlib/ClassRegistry.h"

#include <memory>

#include <gtest/gtest.h>

#include "classlib/Components.h"
#include "classlib/PublishedProperties.h"

namespace {

class TEngine : public TComponent {
  KIVO_CLASS(TEngine, TComponent)
 public:
  using TComponent::TComponent;
};

class TSpecialEngine : public TEngine {
  KIVO_CLASS(TSpecialEngine, TEngine)
 public:
  using TEngine::TEngine;
};

class TThemed : public TComponent {
  KIVO_CLASS(TThemed, TComponent)
 public:
  using TComponent::TComponent;
  TEngine* GetThemeEngine() const { return FThemeEngine; }
  void SetThemeEngine(TEngine* value) { FThemeEngine = value; }
  TEngine* GetVersionEngine() const { return FThemeEngine; }

 private:
  TEngine* FThemeEngine = nullptr;
};

class TThemedButton : public TThemed {  // inherits the published ThemeEngine
  KIVO_CLASS(TThemedButton, TThemed)
 public:
  using TThemed::TThemed;
};

class TPlainLabel : public TComponent {
  KIVO_CLASS(TPlainLabel, TComponent)
 public:
  using TComponent::TComponent;
};

TEST(ClassRegistry, FindGetAndUnregisterByName) {
  RegisterClasses({TEngine::StaticClass(), TThemedButton::StaticClass()});
  RegisterClass(TEngine::StaticClass());  // again: no change, no error
  EXPECT_EQ(GetClass("tengine"), TEngine::StaticClass());
  EXPECT_EQ(FindClass("TThemedButton"), TThemedButton::StaticClass());
  EXPECT_EQ(GetClass("TThemed"), nullptr);
  try {
    FindClass("TThemed");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TThemed not found");
  }
  // A registered class makes components through its virtual constructor.
  TComponent owner(nullptr);
  TComponent* made = MetaClassAs<TComponentClass>(FindClass("TThemedButton"))->Create(&owner);
  EXPECT_TRUE(made->Is<TThemedButton>());

  UnRegisterClasses({TEngine::StaticClass(), TThemedButton::StaticClass()});
  EXPECT_EQ(GetClass("TEngine"), nullptr);
  EXPECT_THROW(FindClass("TThemedButton"), EClassNotFound);
}

namespace other {
class TEngine : public TComponent {
  KIVO_CLASS(TEngine, TComponent)
 public:
  using TComponent::TComponent;
};
}  // namespace other

TEST(ClassRegistry, AnotherClassOfTheSameNameIsRefused) {
  RegisterClass(TEngine::StaticClass());
  EXPECT_THROW(RegisterClass(other::TEngine::StaticClass()), EFilerError);
  EXPECT_EQ(GetClass("TEngine"), TEngine::StaticClass());
  UnRegisterClass(TEngine::StaticClass());
}

class PublishedProperties : public testing::Test {
 protected:
  void SetUp() override {
    RegisterPublishedProperties(
        TThemed::StaticClass(),
        {ObjectProperty<&TThemed::GetThemeEngine, &TThemed::SetThemeEngine>("ThemeEngine"),
         ObjectProperty<&TThemed::GetVersionEngine>("ReadOnlyEngine")});
  }
  void TearDown() override { UnRegisterPublishedProperties(TThemed::StaticClass()); }
};

TEST_F(PublishedProperties, DescendantsInheritTheRegistration) {
  TComponent form(nullptr);
  auto* engine = new TSpecialEngine(&form);
  auto* button = new TThemedButton(&form);
  ASSERT_TRUE(IsPublishedProp(button, "themeengine"));
  EXPECT_EQ(GetObjectPropClass(button, "ThemeEngine"), TEngine::StaticClass());
  SetObjectProp(button, "ThemeEngine", engine);  // a descendant of the declared class
  EXPECT_EQ(button->GetThemeEngine(), engine);
  EXPECT_EQ(GetObjectProp(button, "ThemeEngine"), engine);
  SetObjectProp(button, "ThemeEngine", nullptr);
  EXPECT_EQ(button->GetThemeEngine(), nullptr);
}

TEST_F(PublishedProperties, UnrelatedClassesAndBadValuesAreRefused) {
  TComponent form(nullptr);
  auto* label = new TPlainLabel(&form);
  auto* button = new TThemedButton(&form);
  EXPECT_FALSE(IsPublishedProp(label, "ThemeEngine"));
  EXPECT_FALSE(IsPublishedProp(nullptr, "ThemeEngine"));
  try {
    SetObjectProp(label, "ThemeEngine", nullptr);
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_STREQ(e.what(), "Property ThemeEngine does not exist");
  }
  // A value that is no engine is refused rather than stored as one.
  EXPECT_THROW(SetObjectProp(button, "ThemeEngine", label), EPropertyError);
  EXPECT_EQ(button->GetThemeEngine(), nullptr);
  EXPECT_THROW(SetObjectProp(button, "ReadOnlyEngine", nullptr), EPropertyError);
}

}  // namespace
