// TKsCustomControlBar: a skinned container that arranges its child controls as bands in
// rows, each band with a grabber at its left and a raised frame. The user moves bands
// with the mouse (within the bar, between rows, or out of the bar by drag-and-dock,
// which Ctrl starts at once) and the bar sizes itself to its rows (AutoSize).
//
// Bands are records the bar owns and rebuilds from its children at every layout; their
// saved positions and widths carry the user's arrangement from one layout to the next.
// A control spanning several rows (RowSnap) has one band per row, linked. The layout
// never re-enters itself. Every band is painted into the control's buffer.
#pragma once

#include <memory>
#include <vector>

#include "classlib/DragDrop.h"
#include "skin/KsControls.h"

class TCanvas;

enum TBandPaintOption { bpoGrabber, bpoFrame };
using TBandPaintOptions = TSet<TBandPaintOption>;
// The height of one row: 1 up to the largest positive 32-bit value.
using TRowSize = int;

using TBandDragEvent = TEvent<TObject* /*Sender*/, TControl* /*Control*/, bool& /*Drag*/>;
using TBandInfoEvent = TEvent<TObject* /*Sender*/, TControl* /*Control*/, TRect& /*Insets*/,
                              int& /*PreferredSize*/, int& /*RowCount*/>;
using TBandMoveEvent = TEvent<TObject* /*Sender*/, TControl* /*Control*/, TRect& /*ARect*/>;
using TBandPaintEvent = TEvent<TObject* /*Sender*/, TControl* /*Control*/, TCanvas* /*Canvas*/,
                               TRect& /*ARect*/, TBandPaintOptions& /*Options*/>;

// One band: a child control in one row (positions in the bar's client coordinates).
struct TKsBand {
  TControl* Control = nullptr;
  TRect Insets{};        // around the control inside the band: left, top, right, bottom
  bool Visible = false;  // the control was visible (or the bar designed) at the last build
  bool NewLine = false;  // the band starts a row
  TPoint Position{};
  int Width = 0;         // control width plus the left and right insets
  int Height = 0;        // the row height
  int RowCount = 1;      // rows the control spans
  int RowInControl = 1;  // which of them this band is (1 for the first)
  TKsBand* PrevBand = nullptr;  // the control's band in the row above, for further rows
  TKsBand* NextBand = nullptr;  // the control's band in the row below
  bool SavedNewLine = false;    // the new-row flag as it was before the current layout
  TPoint SavedPosition{};       // where the user left the band
  int SavedWidth = 0;           // the width where the user left it
};

class TKsCustomControlBar : public TKsCustomControl {
  KIVO_CLASS(TKsCustomControlBar, TKsCustomControl)
 public:
  explicit TKsCustomControlBar(TComponent* AOwner);
  ~TKsCustomControlBar() override;

  bool GetAutoDrag() const { return FAutoDrag; }
  void SetAutoDrag(bool value) { FAutoDrag = value; }
  bool GetAutoDock() const { return FAutoDock; }
  void SetAutoDock(bool value) { FAutoDock = value; }
  TRowSize GetRowSize() const { return FRowSize; }
  // Raises EPropertyError below 1 (the row arithmetic divides by it).
  void SetRowSize(TRowSize value);
  bool GetRowSnap() const { return FRowSnap; }
  void SetRowSnap(bool value) { FRowSnap = value; }
  // The bands in row order.
  int GetBandCount() const { return int(FBands.size()); }
  const TKsBand& GetBand(int index) const;
  // The first band of `control`, or null.
  const TKsBand* FindBand(TControl* control) const;
  // The control whose band the mouse moves, or null.
  TControl* GetDragControl() const { return FDragControl; }

  void GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock) override;
  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

  TBandDragEvent OnBandDrag;
  TBandInfoEvent OnBandInfo;
  TBandMoveEvent OnBandMove;
  TBandPaintEvent OnBandPaint;
  TNotifyEvent OnPaint;

 protected:
  virtual void DoBandMove(TControl* control, TRect& rect);
  virtual void DoBandPaint(TControl* control, TKsBitmap& bitmap, TRect& rect, TBandPaintOptions& options);
  // Offers a drag of `control` starting at (x, y) (client coordinates): OnBandDrag may
  // refuse; a drag starts at once. KeepCapture false gives up the bar's capture first.
  virtual bool DragControl(TControl* control, int x, int y, bool keepCapture);
  virtual void DoBandInfo(TControl* control, TRect& insets, int& preferredSize, int& rowCount);
  virtual void PaintControlFrame(TKsBitmap& bitmap, TControl* control, TRect& rect);
  virtual void PaintBackground();
  virtual int GetGrabberWidth() { return 11; }
  // The bands take the controls' places as the user's arrangement.
  virtual void StickControls();

  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void CreateParams(TCreateParams& params) override;
  void PaintBuffer() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept) override;
  // The rectangle stays where the drag put it: the band move takes over on entry.
  void PositionDockRect(TDragDockObject*) override {}

 private:
  using TBandList = std::vector<std::unique_ptr<TKsBand>>;
  // What a moved control's first band held before it was taken out.
  struct TRemembered {
    TPoint Position;
    int Width;
  };

  bool Designing() const { return GetComponentState().Contains(csDesigning); }
  bool StartsRow(size_t index) const;
  TKsBand* FirstBand(TControl* control) const;
  // The first band whose control (grown by the insets) holds the point.
  TKsBand* BandAt(int x, int y) const;
  // Takes out the control's bands; the next band starts the row of a first one.
  bool RemoveBands(TControl* control);
  bool BuildBands(TControl* moved);
  // `moved`: the control the layout places again; `remembered`: its band's place.
  void PlaceControl(TControl* control, bool moved, const TRemembered* remembered);
  void InsertBand(std::unique_ptr<TKsBand> band);
  // One pass over the rows; true when a band was wrapped and the rows must be laid out again.
  bool LayoutRows(int width);
  bool FitRow(std::vector<TKsBand*>& row, int width);
  bool PlaceControls();
  void ControlRemoved(TControl* control);
  void CNKeyDown(TMessage& message);
  void CMDesignHitTest(TMessage& message);

  bool FAligning = false;
  bool FAutoDrag = true;
  bool FAutoDock = true;
  TControl* FLastPlaced = nullptr;
  TControl* FDragControl = nullptr;
  TPoint FDragOffset{};
  bool FRefuseDock = false;
  TBandList FBands;
  TRowSize FRowSize = 26;
  bool FRowSnap = false;
  TRect FDefaultInsets{11, 2, 2, 2};
  // A button-down the bar posted to itself to start a band move after a dock.
  bool FHandOverPending = false;
};
