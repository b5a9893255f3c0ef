// TTeThemeEngine: the non-visual component that owns the current theme of a form and
// of the themed controls that point to it. It makes themes by class from the theme
// registry, keeps the hue and brightness shift, stores the theme's name as the data
// property "ThemeClass" and re-applies the theme to every themed form using it.
//
// The engine never keeps a freed theme: assigning the current theme again changes
// nothing, a new theme is made before the old one is freed, a null theme counts as not
// available, and a stored "ThemeClass" whose length does not fit its data is ignored.
#pragma once

#include <string>
#include <string_view>

#include "classlib/Colors.h"
#include "classlib/Components.h"
#include "skin/TeTheme.h"

class TTeThemeEngine;

// What the engine needs of a themed form (the component that themes a form's window):
// the engine it uses, and redrawing its frame and controls after a theme change.
class ITeThemedForm {
 public:
  virtual TTeThemeEngine* GetThemeEngine() const = 0;
  // Updates the frame, refreshes it and repaints the form's controls.
  virtual void ThemeChanged() = 0;

 protected:
  ~ITeThemedForm() = default;
};

class TTeThemeEngine : public TComponent {
  KIVO_CLASS(TTeThemeEngine, TComponent)

 public:
  explicit TTeThemeEngine(TComponent* AOwner);
  ~TTeThemeEngine() override;

  TTeTheme* GetTheme() const { return FTheme; }
  // Takes ownership of `value`; the old theme is freed unless it is `value` itself.
  void SetTheme(TTeTheme* value);
  int GetDeltaHue() const { return FDeltaHue; }
  void SetDeltaHue(int value);
  bool GetUseNativeXPTheme() const { return FUseNativeXPTheme; }
  // Takes effect in Loaded.
  void SetUseNativeXPTheme(bool value) { FUseNativeXPTheme = value; }
  int GetDeltaBrightness() const { return FDeltaBrightness; }
  void SetDeltaBrightness(int value);
  std::string GetVersion() const { return "2.7.9"; }
  void SetVersion(const std::string&) {}

  // True when there is a theme and it can draw now.
  bool ThemeAvailable() const { return FTheme && FTheme->IsAvailable(); }
  // Makes a theme of a registered class the current one (an unregistered class keeps
  // the current theme), hands it the shifts and re-applies it to the forms.
  void SelectThemeClass(const TTeThemeClass* themeClass);
  void ApplyThemeToForms();

  void Loaded() override;

 protected:
  void DefineProperties(TFiler& filer) override;

 private:
  void ReadThemeClass(std::string_view bytes);
  void WriteThemeClass(std::string& bytes);

  TTeTheme* FTheme = nullptr;
  int FDeltaHue = 0;
  bool FUseNativeXPTheme = false;
  int FDeltaBrightness = 0;
};

// Unit start-up: the classes that draw through an engine (themed buttons, check boxes,
// radio buttons, group boxes and radio groups, the themed form and themed menu items)
// publish it as "ThemeEngine", so that a dialog can hand its engine to every control
// that takes one. Shut-down withdraws the entries.
void InitializeTeThemeEngine();
void FinalizeTeThemeEngine();
