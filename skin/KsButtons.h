// Skinned push buttons. TKsCustomButton paints background, glyph and caption into the
// control's buffer instead of letting the system draw: a plain raised frame, one cell
// of a glyph with up to four cells, and the caption, with standard kinds that bring
// their caption, glyph and modal result. It clicks on Space, on a mouse release over
// it, on Enter while it is the active default or focused button, on Escape when its
// modal result is mrCancel, and on its accelerator. TTeThemeButton draws the background
// through the theme of its engine when one is usable and like the plain button otherwise;
// either way the focus rectangle and the accelerator's underline follow the form's
// keyboard cues (the theme's focused look alone is the default button's look too).
//
// A click hands the modal result to the parent form; a button with no parent form
// skips that step.
#pragma once

#include <memory>

#include "classlib/Bitmap.h"
#include "skin/KsButtonKinds.h"
#include "skin/KsControls.h"

class TTeThemeEngine;

class TKsCustomButton : public TKsCustomControl {
  KIVO_CLASS(TKsCustomButton, TKsCustomControl)
 public:
  explicit TKsCustomButton(TComponent* AOwner);
  ~TKsCustomButton() override;

  TButtonLayout GetLayout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  TBitBtnKind GetKind() const { return FKind; }
  void SetKind(TBitBtnKind value);
  int GetNumGlyphs() const { return FNumGlyphs; }
  // Kept within 1..4.
  void SetNumGlyphs(int value);
  int GetSpacing() const { return FSpacing; }
  void SetSpacing(int value);
  TBitmap* GetGlyph() const { return FGlyph.get(); }
  // Copies the picture and derives NumGlyphs from it.
  void SetGlyph(TBitmap* value);
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool value);
  int GetModalResult() const { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }
  bool GetBlackAndWhiteGlyph() const { return FBlackAndWhiteGlyph; }
  void SetBlackAndWhiteGlyph(bool value);

  bool GetDown() const { return FDown; }
  bool GetTracking() const { return FTracking; }
  bool GetActive() const { return FActive; }

  void Click() override;
  void Dispatch(TMessage& message) override;

  // Layout of the content (public for drawing code and tests).
  virtual TRect GetContentRect();
  virtual TRect GetCaptionRect();
  virtual TRect GetGlyphRect();

 protected:
  virtual void DrawBackground();
  // The focus rectangle 4 pixels inside the edge, while the focus cue shows.
  void DrawFocusCue();
  virtual void DrawGlyph();
  virtual void DrawCaption();
  void PaintBuffer() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  // The look follows the mouse (the hot state, the grey glyph): repainted on entry and exit.
  void MouseEnter() override;
  void MouseLeave() override;
  // Caption and click follow the action (inherited); the image of the action in its
  // action list's images becomes the glyph, drawn on the key colour $FF00FF.
  void ActionChange(TObject* sender, bool checkDefaults) override;
  // One cell's size; (0, 0) without a glyph.
  TSize GlyphSize() const;
  TSize CaptionSize();

 private:
  void GlyphChanged(TObject* sender);
  void SetDown(bool value);
  void FocusChanged(TControl* focused);
  void DialogKey(TMessage& message);

  TButtonLayout FLayout = blGlyphLeft;
  TBitBtnKind FKind = bkCustom;
  int FNumGlyphs = 1;
  int FSpacing = 4;
  std::unique_ptr<TBitmap> FGlyph;
  bool FDefault = false;
  int FModalResult = 0;
  bool FBlackAndWhiteGlyph = false;
  bool FDown = false;
  bool FTracking = false;
  bool FActive = false;
};

// True when `control` may draw through `engine`'s theme now: neither loading nor being
// destroyed, and the engine has a theme that is available.
bool ThemeUsable(const TComponent* control, const TTeThemeEngine* engine);
// Points a themed control's `field` at `value`, moving the free notification along.
void ChangeThemeEngine(TComponent* owner, TTeThemeEngine*& field, TTeThemeEngine* value);
// True when `component` is `engine` (engine may be null).
bool IsThemeEngine(const TComponent* component, const TTeThemeEngine* engine);

// The link every themed control keeps to its theme engine: not owned, cleared when the
// engine goes away, repainting when it changes or after loading; Version always reads
// "2.7.9". Descendants draw through the theme while ThemeUsable() holds.
template <class Base>
class TThemeEngineLink : public Base {
 public:
  using Base::Base;
  ~TThemeEngineLink() override { ChangeThemeEngine(this, FThemeEngine, nullptr); }

  TTeThemeEngine* GetThemeEngine() const { return FThemeEngine; }
  void SetThemeEngine(TTeThemeEngine* value) {
    if (value == FThemeEngine)
      return;
    ChangeThemeEngine(this, FThemeEngine, value);
    this->Invalidate();
  }
  std::string GetVersion() const { return "2.7.9"; }
  void SetVersion(const std::string&) {}

 protected:
  bool ThemeUsable() const { return ::ThemeUsable(this, FThemeEngine); }
  void Loaded() override {
    Base::Loaded();
    this->Invalidate();
  }
  void Notification(TComponent* AComponent, TOperation operation) override {
    Base::Notification(AComponent, operation);
    if (operation == opRemove && IsThemeEngine(AComponent, FThemeEngine))
      FThemeEngine = nullptr;
  }

 private:
  TTeThemeEngine* FThemeEngine = nullptr;
};

class TTeThemeButton : public TThemeEngineLink<TKsCustomButton> {
  KIVO_CLASS(TTeThemeButton, TKsCustomButton)
 public:
  using TThemeEngineLink::TThemeEngineLink;

 protected:
  void DrawBackground() override;
};
