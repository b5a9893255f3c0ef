// The popup window of a skinned menu: a small top-most tool window (TKsPopupWindow)
// that shows the sub-items of one TKsCustomItem in a column view (TKsPopupView) and is
// framed by a borderless skinner (TKsPopupForm) with drop shadow, translucency and
// show animation. A popup lives for one opening: ShowPopup of the item makes it, runs
// its menu loop and frees it with its view and skinner.
#pragma once

#include "classlib/Forms.h"
#include "skin/KsForms.h"
#include "skin/KsItemView.h"

class TKsCustomItem;
class TKsPopupWindow;

// The metaclass of the popup window family: the popup constructor.
class TKsPopupWindowClass : public TComponentClass {
 public:
  using TComponentClass::TComponentClass;
  // AItem: the item whose sub-items are shown; AView: the view that opens the popup
  // (null for a top popup).
  virtual TKsPopupWindow* CreatePopup(TComponent* AOwner, TKsCustomItem* AItem,
                                      TKsItemView* AView) const = 0;
};

// The column view living in a popup window.
class TKsPopupView : public TKsItemView {
  KIVO_CLASS(TKsPopupView, TKsItemView)
 public:
  explicit TKsPopupView(TKsPopupWindow* AOwner);

  TKsPopupWindow* GetHostWindow() const { return FHostWindow; }
  // Sizes the window to the items plus the skinner's borders and shadow.
  void SetViewSize(TPoint size) override;
  // Moves the window so that its item area starts at `point`.
  void SetViewPos(TPoint point) override;
  void InvalidateView() override;

 private:
  TKsPopupWindow* FHostWindow;
};

class TKsPopupWindow : public TForm {
  KIVO_CLASS(TKsPopupWindow, TForm)
 public:
  template <class T>
  class TMetaFor : public TKsPopupWindowClass {
   public:
    using TKsPopupWindowClass::TKsPopupWindowClass;
    TComponent* Create(TComponent* AOwner) const override {
      if constexpr (std::is_abstract_v<T>)
        AbstractError();
      else
        return new T(AOwner);
    }
    TKsPopupWindow* CreatePopup(TComponent* AOwner, TKsCustomItem* AItem,
                                TKsItemView* AView) const override {
      if constexpr (std::is_abstract_v<T>) {
        AbstractError();
      } else {
        T* window = new T(nullptr);
        try {
          window->InitPopup(AOwner, AItem, AView);
        } catch (...) {
          delete window;
          throw;
        }
        return window;
      }
    }
    TObject* NewInstance() const override { return Create(nullptr); }
  };

  // The window alone (without a resource); CreatePopup makes a working popup.
  explicit TKsPopupWindow(TComponent* AOwner);
  // Frees the view and the skinner, then the window.
  ~TKsPopupWindow() override;

  // The class of the skinner.
  virtual const TComponentClass* GetPopupFormClass() const;

  TKsPopupView* GetView() const { return FView; }
  TKsCustomForm* GetSkinner() const { return FForm; }
  // Measures the items; the view then sizes the window.
  void CalcViewSize();
  // The view's menu loop.
  bool TrackMenu();

  void Dispatch(TMessage& message) override;
  // The second half of the popup constructor (run by CreatePopup): skinner, activation
  // target, animation and view. The window is made without an owner and AOwner only
  // names the activation target: an owner freed while the menu loop runs must not free
  // the window under its own loop; ShowPopup frees it.
  virtual void InitPopup(TComponent* AOwner, TKsCustomItem* AItem, TKsItemView* AView);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TKsPopupView* FView = nullptr;
  TKsCustomForm* FForm = nullptr;
};

// The borderless skinner of a popup window: a fixed 3-pixel border and the items as
// its background.
class TKsPopupForm : public TKsCustomForm {
  KIVO_CLASS(TKsPopupForm, TKsCustomForm)
 public:
  explicit TKsPopupForm(TComponent* AOwner);

  TKsPopupWindow* GetPopupWindow() const { return FPopupWindow; }
  void SetPopupWindow(TKsPopupWindow* value) { FPopupWindow = value; }
  TWinControl* GetActivationTarget() const { return FActivationTarget; }
  void SetActivationTarget(TWinControl* value) { FActivationTarget = value; }

  // The client rectangle of a frame of the given size.
  static TRect FrameClientRectFor(int frameWidth, int frameHeight);
  TRect GetFrameClientRect() override;
  TPoint GetMinTrackSize() override;
  void PaintBackground(TKsBitmap& bitmap) override;
  void PaintFrame(TKsBitmap& bitmap) override;
  void Dispatch(TMessage& message) override;

 private:
  TKsPopupWindow* FPopupWindow = nullptr;
  TWinControl* FActivationTarget = nullptr;
};
