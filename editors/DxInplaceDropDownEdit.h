// TdxInplaceDropDownEdit: the base of every editor with buttons at its edge and a popup
// window (date, pick, image, calculator, button, blob and MRU editors). It adds to the
// mask editor up to eight buttons drawn in the frame (the non-client area), tracking of
// the hot and the pressed button, the popup's life cycle (drop down, close up with or
// without taking the value), the keys that open and close it, its placement below or
// above the editor, and the forwarding of keys to a popup that never takes the focus.
// The base opens no popup itself: DropDown and CloseUp belong to the descendants.
#pragma once

#include <cstdint>

#include "classlib/Bitmap.h"
#include "editors/DxInplaceMaskEdit.h"
#include "editors/DxInplacePopupControl.h"  // DXM_POPUPHIDDEN, DXM_DROPDOWN

enum TdxEditButtonKind : uint8_t { bkEllipsis, bkDown, bkGlyph };

// One button of a cell.
struct TdxEditButtonRecord {
  TBitmap* Glyph = nullptr;  // not owned
  TdxEditButtonKind Kind = bkEllipsis;
  bool LeftAlignment = false;  // the button sits at the left edge
  int32_t Width = 0;
};

constexpr int dxMaxEditButtons = 8;

class TdxDropDownEditViewData : public TdxTextEditViewData {
  KIVO_CLASS(TdxDropDownEditViewData, TdxTextEditViewData)
 public:
  int32_t ButtonCount = 0;
  TdxEditButtonRecord Buttons[dxMaxEditButtons];
  // The editor's own button picture, or null.
  TBitmap* Glyph = nullptr;
  // Buttons are not drawn and take no room.
  bool HideButtons = false;
  int32_t HotButton = -1;
  int32_t PressedButton = -1;
};

// The metaclass of drop-down editors: the button layout is a class operation too.
class TdxInplaceDropDownEditClass : public TdxInplaceEditClass {
 public:
  using TdxInplaceEditClass::TdxInplaceEditClass;
  virtual void FillButtons(TdxDropDownEditViewData* viewData) const = 0;
  virtual int GetButtonWidth(TdxDropDownEditViewData* viewData, const TdxEditButtonRecord& button) const = 0;
};

// (Sender, var Value, var Accept).
using TdxCloseUpEvent = TEvent<TObject* /*Sender*/, Variant& /*Value*/, bool& /*Accept*/>;

class TdxInplaceDropDownEdit : public TdxInplaceMaskEdit {
  KIVO_CLASS(TdxInplaceDropDownEdit, TdxInplaceMaskEdit)
 public:
  template <class T>
  class TDropDownMetaFor : public TEditMetaFor<T, TdxInplaceDropDownEditClass> {
   public:
    using TEditMetaFor<T, TdxInplaceDropDownEditClass>::TEditMetaFor;
    void FillButtons(TdxDropDownEditViewData* v) const override { T::FillButtons(*this, v); }
    int GetButtonWidth(TdxDropDownEditViewData* v, const TdxEditButtonRecord& b) const override {
      return T::GetButtonWidth(*this, v, b);
    }
  };
  template <class T>
  using TMetaFor = TDropDownMetaFor<T>;

  explicit TdxInplaceDropDownEdit(TComponent* AOwner);
  ~TdxInplaceDropDownEdit() override;

  // ---- Class operations
  static void CalcViewData(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, bool autoSize,
                           TdxEditDrawRecord& record);
  static void DrawBorder(const TdxInplaceEditClass& cls, HDC dc, const TdxEditDrawRecord& record,
                         TdxEditViewData* viewData);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);
  static void FillButtons(const TdxInplaceDropDownEditClass& cls, TdxDropDownEditViewData* viewData);
  static int GetButtonWidth(const TdxInplaceDropDownEditClass& cls, TdxDropDownEditViewData* viewData,
                            const TdxEditButtonRecord& button);
  // The rectangles of the buttons, index order, inside the frame of `record`.
  static void GetButtonRects(const TdxEditDrawRecord& record, TdxDropDownEditViewData* viewData,
                             TRect (&rects)[dxMaxEditButtons]);
  // Draws one button of a cell in the view data's button style.
  static void DrawDropDownButton(HDC dc, const TRect& rect, TdxDropDownEditViewData* viewData,
                                 const TdxEditButtonRecord& button, bool pressed, bool transparent, bool hot);

  // ---- Popup
  // Places the popup below (or above) the editor inside the work area; with
  // adjustWidth it is widened to the editor's inner width.
  virtual void PositionPopup(TWinControl* popup, bool adjustWidth);
  virtual void CloseUp(bool accept) {}
  virtual void DropDown() {}
  virtual void ScrollValue(int delta, bool wrap) {}
  virtual void DropDownTextChanged(const std::string& text) {}
  virtual void ButtonDown(bool noCapture, int index);
  virtual void ButtonClick(int index) {}
  virtual void DoCloseUp(Variant& value, bool& accept) { OnCloseUp(this, value, accept); }
  virtual void DoDropDown();
  virtual void DropDownKeys(WORD& key, TShiftState shift);
  // True opens the popup later (through a posted message); False closes it without
  // taking its value. Nothing when the popup already is as asked.
  void SetDroppedDown(bool value);
  bool IsPopupVisible();
  TdxPopupBorder GetPopupBorder();
  // Takes the focus back when it can (list popups after closing).
  void FocusEditor();
  // The mouse-up handler of list popups: a release of the left button closes the
  // popup, taking its value when the release lies in the popup's client area.
  void PopupMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void SetHotButton(int index);
  void StopTracking();

  // ---- Overrides
  TdxEditViewData* CreateViewData(bool forPainting) override;
  bool IsFocused() override;
  void HideEdit() override;
  void ForwardClick(int x, int y) override;
  void ClickAction() override;
  bool HandlesMouseWheel() override { return true; }
  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

  // ---- Properties
  TBitmap* GetButtonGlyph();
  // Null or an empty picture frees the glyph (the button shows the arrow again).
  void SetButtonGlyph(TBitmap* value);
  int GetHotButton() const { return FHotButton; }
  int GetPressedButton() const { return FPressedButton; }
  bool GetDroppedDown() const { return FDroppedDown; }
  TWinControl* GetPopupControl() const { return FPopupControl; }

  int32_t DropDownRows = 7;
  int32_t DropDownWidth = 0;
  bool ImmediateDropDown = false;
  TAlignment PopupAlignment = taLeftJustify;
  TdxPopupBorder PopupBorder = pbDefault;
  bool ForwardKeysToPopup = true;
  bool EditWhileDropped = false;
  TdxCloseUpEvent OnCloseUp;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnContainerDropDown;

 protected:
  TdxInplaceDropDownEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void AfterShow() override;
  void SetMouseInside(bool value) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  // Set by a descendant's DropDown and CloseUp.
  void SetPopupControl(TWinControl* value) { FPopupControl = value; }
  void SetDroppedDownFlag(bool value) { FDroppedDown = value; }

 private:
  void WMNCHitTest(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMMouseWheel(TMessage& message);
  bool PopupHasFocus();
  // `wnd` is the popup's window or one of its children.
  bool IsPopupWindow(HWND wnd);

  int32_t FHotButton = -1;
  TBitmap* FButtonGlyph = nullptr;
  int32_t FPressedButton = -1;
  TWinControl* FPopupControl = nullptr;
  bool FDroppedDown = false;
};
