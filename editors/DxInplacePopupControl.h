// TdxInplacePopupControl: the base of the windows that drop down from an editor
// (calculator, calendar, blob popup). Shown as an editor's popup (IsPopup) it belongs
// to the editor's form, never takes the activation from it, keeps the form's caption
// active, draws its own border and drop shadow in the non-client area and shapes its
// window to them, and tells its editor with DXM_POPUPHIDDEN when it hides.
//
// The popup frame (border, shadow, window shape) is shared with the popup list boxes
// through the DxPopupFrame* routines below.
#pragma once

#include <cstdint>

#include "classlib/Controls.h"
#include "editors/DxEditStyle.h"

class TdxInplaceEdit;

// Posted by a popup to its editor when it hides.
constexpr UINT DXM_POPUPHIDDEN = 0x8065;
// Posted by a drop-down editor to itself to open its popup.
constexpr UINT DXM_DROPDOWN = 0x8066;

// The popup frame of a window with `border` and, when `shadow`, a drop shadow of
// `shadowSize` pixels at its right and bottom.
// The client rectangle `rect` (window coordinates) shrinks by the border on every side
// and by the shadow at the right and bottom.
void DxPopupFrameCalcSize(RECT& rect, TdxPopupBorder border, bool shadow, int shadowSize);
// Paints the border and the shadow on the window's device context; with both scroll
// bars it also fills the square between them.
void DxPopupFramePaint(HWND wnd, TdxPopupBorder border, bool shadow, int shadowSize);
// Shapes the window to its body and its shadow (no region without a shadow).
void DxPopupFrameShape(HWND wnd, bool shadow, int shadowSize);

class TdxInplacePopupControl : public TCustomControl {
  KIVO_CLASS(TdxInplacePopupControl, TCustomControl)
 public:
  explicit TdxInplacePopupControl(TComponent* AOwner);

  // Hides the window without activating anything and hands the focus back to the
  // editor; then posts DXM_POPUPHIDDEN to the editor (also when it was hidden).
  virtual void HidePopup();
  // Shows the window and keeps the editor's form caption active.
  virtual void ShowPopup();

  TdxPopupBorder GetPopupBorder() const { return FPopupBorder; }
  void SetPopupBorder(TdxPopupBorder value);
  bool GetShadow() const { return FShadow; }
  void SetShadow(bool value);
  int GetShadowSize() const { return FShadowSize; }
  void SetShadowSize(int value) { FShadowSize = value; }
  bool GetIsPopup() const { return FIsPopup; }
  void SetIsPopup(bool value) { FIsPopup = value; }
  bool GetDrawNCBorder() const { return FDrawNCBorder; }
  void SetDrawNCBorder(bool value) { FDrawNCBorder = value; }
  TdxInplaceEdit* GetOwnerEdit() const { return FOwnerEdit; }
  void SetOwnerEdit(TdxInplaceEdit* value) { FOwnerEdit = value; }

  // The border's width on every side.
  static int BorderWidth(TdxPopupBorder border);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  // The form that holds the owner editor, or null.
  TCustomForm* OwnerForm() const;

 private:
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMSize(TMessage& message);

  TdxPopupBorder FPopupBorder = pbDefault;
  bool FShadow = false;
  int32_t FShadowSize = 2;
  bool FIsPopup = false;
  bool FDrawNCBorder = true;
  TdxInplaceEdit* FOwnerEdit = nullptr;
};
