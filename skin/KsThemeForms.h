// TTeThemeForm: the form skinner whose frame metrics, frame, caption buttons, window
// region, background and system-menu items come from the current theme of a theme
// engine. While it is not themed (loading, destroying, no engine, no theme, or a theme
// that cannot draw now) every operation is the classic skinner's. A timer polls the
// mouse ten times a second to give the caption button under it a hot look.
#pragma once

#include <cstdint>
#include <string>

#include "skin/KsForms.h"
#include "skin/TeThemeEngine.h"

class TTimer;
class TTeTheme;

class TTeThemeForm : public TKsCustomForm, public ITeThemedForm {
  KIVO_CLASS(TTeThemeForm, TKsCustomForm)
 public:
  // Active from birth; the hover timer runs unless designing.
  explicit TTeThemeForm(TComponent* AOwner);
  ~TTeThemeForm() override;

  void Loaded() override;

  TTeThemeEngine* GetThemeEngine() const override { return FThemeEngine; }
  void SetThemeEngine(TTeThemeEngine* value);
  std::string GetVersion() const { return "2.7.9"; }
  void SetVersion(const std::string&) {}
  uint8_t GetHoverCode() const { return FHoverCode; }
  TTimer* GetHoverTimer() const { return FHoverTimer; }

  // An engine with a theme that can draw now, and the form neither loading nor
  // being destroyed.
  bool IsThemed() const;
  // Repaints the frame and the form and hands the form's reading order to the theme.
  void RefreshFrame();
  // Invalidates every control among the form's components.
  void RepaintControls();
  // The engine's theme changed: measure the frame again and repaint everything.
  void ThemeChanged() override;

  HRGN GetFormRegion() override;
  TKsCustomItem* CreateMenuItem(TComponent* AOwner) override;
  TRect GetCaptionButtonRect(TKsBorderIcon index) override;
  TRect GetFrameClientRect() override;
  TRect GetMaximizedRect() override;
  void PaintFrame(TKsBitmap& bitmap) override;
  void PaintBackground(TKsBitmap& bitmap) override;
  uint8_t HitTest(int x, int y) override;

  void Dispatch(TMessage& message) override;

 protected:
  void Notification(TComponent* AComponent, TOperation operation) override;
  // Every 100 ms: the caption button under the mouse becomes hot.
  void HoverTimer(TObject* sender);

 private:
  TTeTheme* Theme() const;
  int Size(uint8_t kind) const;
  bool IsXPThemeAPI() const;
  bool Busy() const;
  void DrawButton(TKsBitmap& bitmap, TKsBorderIcon icon);
  void PaintBorderWidthBand();

  TTeThemeEngine* FThemeEngine = nullptr;
  uint8_t FHoverCode = 0;
  uint8_t FLastHoverCode = 0;
  TTimer* FHoverTimer = nullptr;
};
