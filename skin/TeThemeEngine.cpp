#include "skin/TeThemeEngine.h"

#include <cstring>
#include <memory>

#include "classlib/Filer.h"
#include "classlib/Forms.h"
#include "classlib/PublishedProperties.h"
#include "skin/KsButtons.h"
#include "skin/KsCheckBoxes.h"
#include "skin/KsGroupBox.h"
#include "skin/KsThemeForms.h"
#include "skin/KsThemeItems.h"
#include "skin/TeThemeLuna.h"
#include "skin/TeThemeXP.h"

TTeThemeEngine::TTeThemeEngine(TComponent* AOwner) : TComponent(AOwner) {
  FTheme = new TTeThemeLuna();
}

TTeThemeEngine::~TTeThemeEngine() { FreeAndNil(FTheme); }

void TTeThemeEngine::SetTheme(TTeTheme* value) {
  if (value == FTheme)
    return;
  delete FTheme;
  FTheme = value;
  ApplyThemeToForms();
}

void TTeThemeEngine::SetDeltaHue(int value) {
  if (value == FDeltaHue)
    return;
  FDeltaHue = value;
  if (!ThemeAvailable())
    return;
  FTheme->SetDeltaHue(value);
  if (!GetComponentState().Contains(csLoading))
    ApplyThemeToForms();
}

void TTeThemeEngine::SetDeltaBrightness(int value) {
  if (value == FDeltaBrightness)
    return;
  FDeltaBrightness = value;
  if (!ThemeAvailable())
    return;
  FTheme->SetDeltaBrightness(value);
  if (!GetComponentState().Contains(csLoading))
    ApplyThemeToForms();
}

void TTeThemeEngine::SelectThemeClass(const TTeThemeClass* themeClass) {
  if (themeClass && IsThemeRegistered(themeClass)) {
    // Made before the old one goes, so a failing constructor leaves the engine whole.
    std::unique_ptr<TTeTheme> made(themeClass->Create());
    delete FTheme;
    FTheme = made.release();
  }
  if (ThemeAvailable())
    FTheme->SetDeltaHue(FDeltaHue);
  if (ThemeAvailable())
    FTheme->SetDeltaBrightness(FDeltaBrightness);
  ApplyThemeToForms();
}

void TTeThemeEngine::ApplyThemeToForms() {
  if (!Screen)
    return;
  bool designing = GetComponentState().Contains(csDesigning);
  for (int f = 0; f < Screen->GetFormCount(); ++f) {
    TForm* form = Screen->GetForms(f);
    for (int c = 0; c < form->GetComponentCount(); ++c) {
      auto* themed = dynamic_cast<ITeThemedForm*>(form->GetComponent(c));
      if (!themed || themed->GetThemeEngine() != this)
        continue;
      themed->ThemeChanged();
      form->SetColor(ThemeAvailable() && !designing ? FTheme->GetColor(6) : clBtnFace);
      if (form->GetFormStyle() == fsMDIForm && form->GetClientHandle()) {
        RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        InvalidateRect(form->GetClientHandle(), &screen, TRUE);
      }
    }
  }
}

void TTeThemeEngine::Loaded() {
  inherited::Loaded();
  // The native theme is registered only where the system draws visual styles; elsewhere
  // the current theme stays.
  if (FUseNativeXPTheme)
    SelectThemeClass(&TTeThemeXP::MetaClass());
}

void TTeThemeEngine::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  filer.DefineBinaryProperty("ThemeClass",
                             TBinaryReadProc::Bind<&TTeThemeEngine::ReadThemeClass>(this),
                             TBinaryWriteProc::Bind<&TTeThemeEngine::WriteThemeClass>(this),
                             true);
}

void TTeThemeEngine::ReadThemeClass(std::string_view bytes) {
  if (bytes.size() < 4)
    return;
  uint8_t raw[4];
  std::memcpy(raw, bytes.data(), 4);
  int32_t length = int32_t(uint32_t(raw[0]) | uint32_t(raw[1]) << 8 | uint32_t(raw[2]) << 16 |
                           uint32_t(raw[3]) << 24);
  // A length that is negative or runs past the stored bytes is not a name: keep the theme.
  if (length < 0 || size_t(length) > bytes.size() - 4)
    return;
  if (const TTeThemeClass* found = FindThemeClass(std::string(bytes.substr(4, length))))
    SelectThemeClass(found);
}

void TTeThemeEngine::WriteThemeClass(std::string& bytes) {
  if (!FTheme)
    return;
  std::string name = FTheme->ThemeClass()->ThemeName();
  uint32_t length = uint32_t(name.size());
  for (int i = 0; i < 4; ++i)
    bytes += char(length >> (8 * i) & 0xFF);
  bytes += name;
}

// ---- The published "ThemeEngine" of the classes that draw through an engine ----------------

namespace {

TPropInfo GroupBoxThemeEngine() {
  // The group box's own setter also tells the buttons of a radio group.
  TPropInfo info;
  info.Name = "ThemeEngine";
  info.PropClass = TTeThemeEngine::StaticClass();
  info.Get = [](const TObject* instance) -> TObject* {
    return static_cast<const TTeThemeGroupBox*>(instance)->GetThemeEngine();
  };
  info.Set = [](TObject* instance, TObject* value) {
    static_cast<TTeThemeGroupBox*>(instance)->SetThemeEngine(static_cast<TTeThemeEngine*>(value));
  };
  return info;
}

}  // namespace

void InitializeTeThemeEngine() {
  RegisterPublishedProperties(TTeThemeButton::StaticClass(),
                              {ObjectProperty<&TTeThemeButton::GetThemeEngine, &TTeThemeButton::SetThemeEngine>(
                                  "ThemeEngine")});
  RegisterPublishedProperties(
      TTeThemeCheckBox::StaticClass(),
      {ObjectProperty<&TTeThemeCheckBox::GetThemeEngine, &TTeThemeCheckBox::SetThemeEngine>("ThemeEngine")});
  RegisterPublishedProperties(
      TTeThemeRadioButton::StaticClass(),
      {ObjectProperty<&TTeThemeRadioButton::GetThemeEngine, &TTeThemeRadioButton::SetThemeEngine>("ThemeEngine")});
  RegisterPublishedProperties(TTeThemeGroupBox::StaticClass(), {GroupBoxThemeEngine()});
  RegisterPublishedProperties(
      TTeThemeForm::StaticClass(),
      {ObjectProperty<&TTeThemeForm::GetThemeEngine, &TTeThemeForm::SetThemeEngine>("ThemeEngine")});
  RegisterPublishedProperties(
      TTeThemeItem::StaticClass(),
      {ObjectProperty<&TTeThemeItem::GetThemeEngine, &TTeThemeItem::SetThemeEngine>("ThemeEngine")});
}

void FinalizeTeThemeEngine() {
  for (TClass cls : {TTeThemeButton::StaticClass(), TTeThemeCheckBox::StaticClass(),
                     TTeThemeRadioButton::StaticClass(), TTeThemeGroupBox::StaticClass(),
                     TTeThemeForm::StaticClass(), TTeThemeItem::StaticClass()})
    UnRegisterPublishedProperties(cls);
}
