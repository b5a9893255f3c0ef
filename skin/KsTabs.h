// The skinned tab control: a self-drawn row (or rows) of tabs on one of the four sides
// of a raised body, with scroll arrows when a single row is wider than the control, hot
// tracking, owner drawing, and optional pages (TKsCustomTabSheet) shown one at a time
// and kept in step with the tab captions. It paints into its buffer like every skinned
// control. Tabs holds the captions: a caption may appear only once ("A tab named X
// already exists."); side tabs (tpLeft, tpRight) always use several rows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "classlib/StringList.h"
#include "skin/KsControls.h"

class TKsCustomTabControl;
class TTimer;

enum TKsTabPosition { tpTop, tpBottom, tpLeft, tpRight };

using TKsTabChangingEvent = TEvent<TObject* /*Sender*/, bool& /*AllowChange*/>;
using TKsDrawTabEvent =
    TEvent<TObject* /*Sender*/, int /*TabIndex*/, const TRect& /*Rect*/, bool /*Active*/>;

// The tab captions of a tab control; every change tells the control.
class TKsTabStringList : public TStringList {
  KIVO_CLASS(TKsTabStringList, TStringList)
 public:
  explicit TKsTabStringList(TKsCustomTabControl* tabControl) : FTabControl(tabControl) {}

  TKsCustomTabControl* GetTabControl() const { return FTabControl; }
  void SetTabControl(TKsCustomTabControl* value) { FTabControl = value; }

  // Raise "A tab named X already exists." when X is already a tab.
  int AddObject(const std::string& s, TObject* object) override;
  void InsertObject(int index, const std::string& s, TObject* object) override;
  // Copies without the duplicate check, inside one update.
  void Assign(TPersistent* source) override;

 protected:
  void Changed() override;
  void SetUpdateState(bool updating) override;

 private:
  void CheckUnique(const std::string& s) const;

  TKsCustomTabControl* FTabControl;
  bool FAssigning = false;
};

// One page of a tab control: shown while it is the control's active page.
class TKsCustomTabSheet : public TCustomControl {
  KIVO_CLASS(TKsCustomTabSheet, TCustomControl)
 public:
  explicit TKsCustomTabSheet(TComponent* AOwner);
  ~TKsCustomTabSheet() override;

  TKsCustomTabControl* GetTabControl() const { return FTabControl; }
  // Moves the sheet to `value`'s pages (null: takes it off its tab control).
  void SetTabControl(TKsCustomTabControl* value);
  // The sheet's place in its tab control's pages, -1 without one.
  int PageIndex() const;

  void SetParentComponent(TComponent* value) override;
  void Dispatch(TMessage& message) override;

  TNotifyEvent OnHide;
  TNotifyEvent OnShow;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  friend class TKsCustomTabControl;
  void WMEraseBkgnd(TMessage& message);
  void WMPaint(TMessage& message);

  TKsCustomTabControl* FTabControl = nullptr;
};

class TKsCustomTabControl : public TKsCustomControl {
  KIVO_CLASS(TKsCustomTabControl, TKsCustomControl)
 public:
  // One row of tabs: its last tab, and the extra length that stretches its tabs over
  // the whole width (the remainder goes to the row's last tab).
  struct TTabRow {
    int LastTab;
    int Extra;
    int Remainder;
  };

  explicit TKsCustomTabControl(TComponent* AOwner);
  ~TKsCustomTabControl() override;

  TKsTabStringList* GetTabs() const { return FTabs.get(); }
  void SetTabs(TStrings* value);
  int GetTabIndex() const { return FTabIndex; }
  void SetTabIndex(int value);
  TKsTabPosition GetTabPosition() const { return FTabPosition; }
  void SetTabPosition(TKsTabPosition value);
  bool GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value);
  bool GetScrollOpposite() const { return FScrollOpposite; }
  void SetScrollOpposite(bool value);
  bool GetRaggedRight() const { return FRaggedRight; }
  void SetRaggedRight(bool value);
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value);
  bool GetOwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool value);
  int GetTabWidth() const { return FTabWidth; }
  void SetTabWidth(int value);
  int GetTabHeight() const { return FTabHeight; }
  void SetTabHeight(int value);
  bool GetUsePages() const { return FUsePages; }
  void SetUsePages(bool value);
  int GetFirstVisibleTab() const { return FFirstVisibleTab; }
  int GetHotTab() const { return FHotTab; }
  bool GetUpdating() const { return FUpdating; }
  bool GetLeftButtonHot() const { return FLeftButtonHot; }
  bool GetRightButtonHot() const { return FRightButtonHot; }
  bool GetLeftButtonPressed() const { return FLeftButtonPressed; }
  bool GetRightButtonPressed() const { return FRightButtonPressed; }
  TTimer* GetTimer() const { return FTimer; }
  const std::vector<TTabRow>& GetRows() const { return FRows; }
  int GetRowCount() const { return int(FRows.size()); }

  // Pages.
  TKsCustomTabSheet* GetPage(int index) const;
  int PageCount() const { return int(FPages.size()); }
  TKsCustomTabSheet* GetActivePage() const { return FActivePage; }
  // -1 without UsePages or without an active page.
  int GetActivePageIndex() const;
  void InsertPage(TKsCustomTabSheet* page) { InsertPageAt(PageCount(), page); }
  void InsertPageAt(int index, TKsCustomTabSheet* page);
  // Takes the page off (with its tab) and frees it.
  void RemovePage(TKsCustomTabSheet* page);
  void SetActivePage(TKsCustomTabSheet* page);
  void SetActivePageIndex(int index);

  // Geometry.
  virtual int GetLeftMargin() { return 2; }
  virtual int GetTopMargin() { return 2; }
  virtual int GetRightMargin() { return 2; }
  virtual int GetBottomMargin() { return 2; }
  virtual int GetTabLength(int index);
  virtual int GetTabRowHeight();
  virtual void GetScrollButtonSize(TSize& size);
  // Fills the rows table from the tab lengths and the control's size.
  void CalcRows();
  int GetTabExtent(int index);
  int RowOf(int index) const;
  int TabsHeight();
  int OppositeHeight();
  TRect DisplayRect();
  TRect TabRect(int index);
  bool ScrollButtonsVisible();
  TRect LeftButtonRect();
  TRect RightButtonRect();
  virtual bool InLeftButton(int x, int y);
  virtual bool InRightButton(int x, int y);
  // The tab at a client point, -1 for none.
  int TabAtPos(int x, int y);
  // Single line: the last tab shown, counting one partly visible tab.
  int LastVisibleTab();
  void ScrollTabs(int delta);

  void Dispatch(TMessage& message) override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;

  TNotifyEvent OnChange;
  TKsTabChangingEvent OnChanging;
  TKsDrawTabEvent OnDrawTab;

 protected:
  friend class TKsTabStringList;
  friend class TKsCustomTabSheet;
  virtual void DrawTab(int index);
  virtual void DrawBody();
  virtual void DrawLeftButton();
  virtual void DrawRightButton();
  // Keeps the tab index, the pages and the look in step with the captions.
  virtual void TabsChanged();
  virtual bool CanChange();
  virtual void Change();
  virtual void DoDrawTab(int index, const TRect& rect, bool active);

  void PaintBuffer() override;
  void AdjustClientRect(TRect& rect) override;
  void Loaded() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  bool Loading() const { return GetComponentState().Contains(csLoading); }
  bool IsDestroying() const { return GetComponentState().Contains(csDestroying); }
  // The margin on the tab side.
  int SideMargin();
  // The side a row's tabs sit on: the opposite one for rows moved there by
  // ScrollOpposite.
  TKsTabPosition RowSide(int row) const;
  bool OnOppositeSide(int row) const;
  int RowDistance(int row) const;
  // The last tab that lies wholly inside the control, clear of the arrows.
  bool LastTabWhollyVisibleFrom(int first);
  void UpdateHotState(int x, int y);
  bool LeftButtonDown() const { return FLeftButtonPressed && FLeftButtonHot; }
  bool RightButtonDown() const { return FRightButtonPressed && FRightButtonHot; }
  void StartTimer();
  void TimerTick(TObject* sender);
  void TimerStep();
  // Takes the page out of the pages (and its tab out of Tabs) without freeing it.
  void ExtractPage(TKsCustomTabSheet* page);
  void FreePages();
  std::string NewPageCaption() const;
  void NamePage(TKsCustomTabSheet* page);
  void SetUpdating(bool value);

  TTimer* FTimer = nullptr;
  std::unique_ptr<TKsTabStringList> FTabs;
  std::vector<TKsCustomTabSheet*> FPages;
  TKsCustomTabSheet* FActivePage = nullptr;
  std::vector<TTabRow> FRows;
  bool FLeftButtonHot = false;
  bool FRightButtonHot = false;
  bool FLeftButtonPressed = false;
  bool FRightButtonPressed = false;
  int FHotTab = -1;
  bool FUpdating = false;
  bool FMultiLine = false;
  TKsTabPosition FTabPosition = tpTop;
  int FFirstVisibleTab = 0;
  int FTabIndex = -1;
  bool FRaggedRight = false;
  bool FScrollOpposite = false;
  bool FHotTrack = false;
  int FTabWidth = 0;
  int FTabHeight = 0;
  bool FOwnerDraw = false;
  bool FUsePages = false;
};

// Start-up of the tab unit: the sheet class is registered for streaming.
void InitializeKsTabs();
void FinalizeKsTabs();
