// TdxInplaceCheckEdit: a three-state check box (unchecked, checked, grayed) with an
// optional caption beside it. It has no text window: it paints the box with the
// system's frame-control drawing or with a custom glyph strip, toggles on click, Space
// or its accelerator, and exposes its value as the state number. Its style follows a
// library-wide TdxCheckEditStyleController (no border, 3D look) instead of the
// ordinary editors' default controller.
//
// The editor module's start-up (DxExEdtr.h) measures the system check box and makes that
// controller; its shut-down frees it.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Bitmap.h"
#include "editors/DxInplaceEdit.h"

enum TdxCheckBoxState : uint8_t { cbsUnchecked, cbsChecked, cbsGrayed };
enum TdxShowNullFieldStyle : uint8_t { nsUnchecked, nsInactive, nsGrayedChecked };

// Measures one image of the system check-box bitmap (OBM_CHECKBOXES, 4 x 3 images).
void MeasureDxCheckSize();
// The size of one image of the system check-box bitmap.
SIZE DxCheckSize();
// Makes and frees the library-wide check style controller.
void CreateDxCheckController();
void FreeDxCheckController();

// The controller check editors follow when they have none of their own.
class TdxCheckEditStyleController : public TdxEditStyleController {
  KIVO_CLASS(TdxCheckEditStyleController, TdxEditStyleController)
 public:
  explicit TdxCheckEditStyleController(TComponent* AOwner);
  void RestoreDefaults() override;
};

class TdxCheckEditStyle : public TdxEditStyle {
  KIVO_CLASS(TdxCheckEditStyle, TdxEditStyle)
 public:
  explicit TdxCheckEditStyle(TdxInplaceEdit* edit) : TdxEditStyle(edit, &MetaClass()) {}
  // The library-wide check style controller; null outside start-up and shut-down.
  static TdxEditStyleController* DefaultStyleController();
};

class TdxCheckEditViewData : public TdxEditViewData {
  KIVO_CLASS(TdxCheckEditViewData, TdxEditViewData)
 public:
  std::string Caption;
  bool NoPrefix = false;
  TBitmap* Glyph = nullptr;  // not owned
  int32_t GlyphCount = 0;
  TdxShowNullFieldStyle ShowNullFieldStyle = nsUnchecked;
  bool Pressed = false;
};

class TdxInplaceCheckEdit : public TdxInplaceEdit {
  KIVO_CLASS(TdxInplaceCheckEdit, TdxInplaceEdit)
 public:
  explicit TdxInplaceCheckEdit(TComponent* AOwner);
  ~TdxInplaceCheckEdit() override;

  // ---- Class operations
  static bool DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect, TdxEditViewData* viewData,
                          bool editorWindow);
  static int GetMinHeight(const TdxInplaceEditClass& cls, TdxEditViewData* viewData);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);
  static const TdxEditStyleClass* GetEditStyleClass(const TdxInplaceEditClass& cls);
  // The box size: the system check size, or one image of a custom glyph strip (then
  // the answer is true).
  static bool GlyphSize(TBitmap* glyph, int glyphCount, SIZE& size);
  // The box and caption rectangles of a cell by its alignment.
  static void CalcLayout(const TRect& rect, TAlignment alignment, SIZE box, TRect& boxRect, TRect& captionRect);

  // ---- Value
  // Unchecked goes to grayed (with AllowGrayed) or checked, checked to unchecked,
  // grayed to checked; nothing unless the editor may modify.
  virtual void Toggle();
  void SetEditValue(const Variant& value) override;
  void GetEditValue(Variant& value) override { value = int32_t(FState); }
  void GetDisplayValue(Variant& value, bool forPainting) override { value = int32_t(FState); }
  void ClickAction() override { Toggle(); }
  TdxEditViewData* CreateViewData(bool forPainting) override;
  void Dispatch(TMessage& message) override;

  TdxCheckBoxState GetState() const { return FState; }
  void SetState(TdxCheckBoxState value);
  bool GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  TBitmap* GetGlyph();
  void SetGlyph(TBitmap* value);
  int GetGlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(int value);
  TdxShowNullFieldStyle GetShowNullFieldStyle() const { return FShowNullFieldStyle; }
  void SetShowNullFieldStyle(TdxShowNullFieldStyle value);
  bool GetPressed() const { return FPressed; }

 protected:
  TdxInplaceCheckEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void Click() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void SetPressed(bool value);
  void InvalidateBox();
  void ReleaseMouse();

  bool FAllowGrayed = false;
  bool FAccelerator = false;
  TBitmap* FGlyph = nullptr;
  int32_t FGlyphCount = 6;
  bool FMultiLine = false;
  TdxShowNullFieldStyle FShowNullFieldStyle = nsGrayedChecked;
  bool FPressed = false;
  TdxCheckBoxState FState = cbsUnchecked;
  bool FMouseCaptured = false;
};
