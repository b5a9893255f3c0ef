// Common controls: the page control with its tab sheets, and the rich edit.
//
// TPageControl sits on comctl32's tab control; its pages are TTabSheet containers,
// one tab each, laid over the tab control's display area. Only the active page is
// visible; choosing a tab makes its page active and fires OnChange. The page control
// draws each tab itself in the colour of its page, so that a tab and its page are one
// surface whatever their colour (the system fills tabs with the button face).
//
// TRichEdit sits on "RichEdit20A" in plain-text mode, multi-line and word-wrapped.
// "RICHED20.DLL" is loaded once, when the first rich edit makes its window, and freed
// by FinalizeComCtrls unless a rich edit window is still there (the unit therefore
// starts before the Forms unit and stops after it); when it cannot be loaded, making
// the window raises EOutOfResources naming the library.
#pragma once

#include <vector>

#include "classlib/Controls.h"
#include "classlib/StdCtrls.h"

class TPageControl;

class TTabSheet : public TWinControl {
  KIVO_CLASS(TTabSheet, TWinControl)
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  TPageControl* GetPageControl() const { return FPageControl; }
  // Puts the sheet on `value` as its last page (null takes it off).
  void SetPageControl(TPageControl* value);
  // The sheet's place among the pages, -1 without a page control.
  int GetPageIndex() const;
  void Dispatch(TMessage& message) override;

 private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
};

class TPageControl : public TWinControl {
  KIVO_CLASS(TPageControl, TWinControl)
 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  int GetPageCount() const { return int(FPages.size()); }
  // Raises EListError for a bad index.
  TTabSheet* GetPage(int index) const;
  TTabSheet* GetActivePage() const { return FActivePage; }
  // Shows `value` (one of the pages, or null) and hides the others; OnChange does not
  // fire for a change made from code.
  void SetActivePage(TTabSheet* value);
  int GetActivePageIndex() const { return FActivePage ? FActivePage->GetPageIndex() : -1; }
  void SetActivePageIndex(int value);
  void Dispatch(TMessage& message) override;

  // The user chose another tab.
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // The tab control's display area.
  void AdjustClientRect(TRect& rect) override;
  // Lays every page over the display area.
  void AlignControls(TControl* control, TRect& rect) override;
  virtual void Change() { OnChange(this); }
  // One tab: its page's colour, the caption centred in the control's font, and the
  // focus rectangle while the control has the focus and the focus cue shows.
  virtual void DrawTab(const DRAWITEMSTRUCT& item);

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void UpdateTab(TTabSheet* page);
  void InsertTab(int index, TTabSheet* page);
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
};

class TCustomRichEdit : public TCustomEdit {
  KIVO_CLASS(TCustomRichEdit, TCustomEdit)
 public:
  explicit TCustomRichEdit(TComponent* AOwner);
  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  void SetBackgroundColor();
};

class TRichEdit : public TCustomRichEdit {
  KIVO_CLASS(TRichEdit, TCustomRichEdit)
 public:
  explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};

// Unit start-up (the common-control classes) and shut-down (frees "RICHED20.DLL"
// after every rich edit window is gone).
void InitializeComCtrls();
void FinalizeComCtrls();
