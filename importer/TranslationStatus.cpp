#include "importer/TranslationStatus.h"

#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "skin/KsButtons.h"
#include "skin/KsCheckBoxes.h"
#include "skin/TeThemeEngine.h"

namespace {

template <class T>
T* Place(TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* control = new T(parent);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace

TTranslationStatus::TTranslationStatus(TComponent* AOwner) : TServerDialog(AOwner) {
  // Built while loading so that the dialog is themed and centred once, when complete.
  TLoadingScope loading(this);
  SetName("TranslationStatus");
  SetCaption("KIVO Translator");
  SetBorderStyle(bsDialog);
  SetBorderIcons({});
  SetPosition(poScreenCenter);
  SetColor(clBtnFace);
  GetFont()->SetName("MS Sans Serif");
  // A height in pixels of the design, which scales with the rest of it.
  GetFont()->SetPixelsPerInch(GetPixelsPerInch());
  GetFont()->SetHeight(-11);
  SetClientWidth(239);
  SetClientHeight(100);
  OnActivate = TNotifyEvent::Bind<&TTranslationStatus::FormActivate>(this);
  OnKeyDown = TKeyEvent::Bind<&TTranslationStatus::ButtonOKKeyDown>(this);

  // The label sizes itself to its caption.
  FLabelStatus = Place<TLabel>(this, "LabelStatus", 13, 9, 143, 13);
  FLabelStatus->SetCaption("Status: Translation Successful");
  FLabelStatus->SetTransparent(true);

  FBevelDesignRules = Place<TBevel>(this, "BevelDesignRules", 7, 59, 226, 9);
  FBevelDesignRules->SetShape(bsTopLine);

  FTeThemeEngine1 = new TTeThemeEngine(this);
  FTeThemeEngine1->SetName("TeThemeEngine1");
  FTeThemeEngine1->SetUseNativeXPTheme(true);
  // The native theme exists only where the system draws visual styles; elsewhere the
  // engine keeps the theme it was made with.
  if (const TTeThemeClass* native = FindThemeClass("XP ThemeAPI"))
    FTeThemeEngine1->SelectThemeClass(native);
  FTeThemeEngine1->SetDeltaBrightness(0);
  FTeThemeEngine1->SetDeltaHue(0);

  const TKeyEvent keyDown = TKeyEvent::Bind<&TTranslationStatus::ButtonOKKeyDown>(this);

  FCheckBoxViewReport = Place<TTeThemeCheckBox>(this, "CheckBoxViewReport", 13, 34, 89, 17);
  FCheckBoxViewReport->SetCaption("&View Report");
  FCheckBoxViewReport->SetAlignment(taRightJustify);
  FCheckBoxViewReport->SetSpacing(5);
  FCheckBoxViewReport->SetChecked(false);
  FCheckBoxViewReport->SetTransparent(true);
  FCheckBoxViewReport->SetBlend(false);
  FCheckBoxViewReport->SetBlendValue(150);
  FCheckBoxViewReport->SetTabOrder(0);
  FCheckBoxViewReport->SetThemeEngine(FTeThemeEngine1);
  FCheckBoxViewReport->OnKeyDown = keyDown;

  FButtonOK = Place<TTeThemeButton>(this, "ButtonOK", 155, 70, 75, 24);
  FButtonOK->SetCaption("Close");
  FButtonOK->SetDefault(true);
  FButtonOK->SetTransparent(true);
  FButtonOK->SetBlend(false);
  FButtonOK->SetBlendValue(150);
  FButtonOK->SetTabOrder(1);
  FButtonOK->SetThemeEngine(FTeThemeEngine1);
  FButtonOK->OnClick = TNotifyEvent::Bind<&TTranslationStatus::ButtonOKClick>(this);
  FButtonOK->OnKeyDown = keyDown;
}

void TTranslationStatus::ShowOutcome(bool success, int warnings) {
  if (!success) {
    FLabelStatus->SetCaption("Status: Translation Failed");
    FCheckBoxViewReport->SetChecked(true);
    return;
  }
  if (warnings <= 0)
    return;
  FLabelStatus->SetCaption("Status: Translation Complete, " + std::to_string(warnings) + " Warnings");
  FCheckBoxViewReport->SetChecked(true);
}

bool TTranslationStatus::Execute() {
  const int result = ShowModal();
  return result == mrOk && FCheckBoxViewReport->GetChecked();
}

void TTranslationStatus::ButtonOKClick(TObject*) { SetModalResult(mrOk); }

void TTranslationStatus::ButtonOKKeyDown(TObject*, WORD& Key, TShiftState) {
  if (Key == VK_ESCAPE)
    SetModalResult(mrCancel);
}

void TTranslationStatus::FormActivate(TObject*) {
  if (FButtonOK->CanFocus())
    FButtonOK->SetFocus();
}
