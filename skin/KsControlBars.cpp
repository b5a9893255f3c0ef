// Readings taken here:
// - A row's layout starts each band from its saved position and width (where the user
//   left it); moves that make room for a later band and the fitting to the bar's width
//   change only the current ones, so a band pushed aside comes back when the cause goes.
// - The fitting's last step wraps the row's last band and lays the rows out again from
//   the top, so the shortened row gets its bands' widths back before it is fitted again.
// - A moved control is placed again at its band's position only while the mouse moves
//   that band; a control moved by code is placed at its own new bounds.
// - StickControls copies the saved new-row flags into the new-row flags, so a band the
//   fitting wrapped keeps its own row; building keeps both flags equal.
// - The dock-refusal flag is set while DragControl starts a drag: the drag's first step,
//   at the press, must not take the bar as the place to dock the control it leaves.
// - The empty override suppresses PositionDockRect (a dock site keeps the dock
//   rectangle inside itself): over the bar the rectangle follows the pointer.
// - A RowSize below 1 is refused: the row arithmetic divides by it.
#include "skin/KsControlBars.h"

#include <algorithm>
#include <climits>

#include "classlib/AliveGuard.h"
#include "classlib/Canvas.h"
#include "classlib/Exceptions.h"
#include "classlib/FlagScope.h"

namespace {

TRect Grown(const TRect& r, const TRect& insets) {
  return Rect(r.left - insets.left, r.top - insets.top, r.right + insets.right, r.bottom + insets.bottom);
}

int Right(const TKsBand* band) { return band->Position.x + band->Width; }

// Moves row[k] left by `amount`, pushing the bands before it just as far as they must go.
void ShiftLeft(std::vector<TKsBand*>& row, size_t k, int amount) {
  if (amount <= 0)
    return;
  row[k]->Position.x -= amount;
  for (size_t m = k; m > 0; --m) {
    const int overlap = Right(row[m - 1]) - row[m]->Position.x;
    if (overlap <= 0)
      break;
    row[m - 1]->Position.x -= overlap;
  }
}

// The free space left of row[k]: the gaps between the row's start and the band.
int FreeBefore(const std::vector<TKsBand*>& row, size_t k) {
  int widths = 0;
  for (size_t m = 0; m < k; ++m)
    widths += row[m]->Width;
  return std::max<int>(0, row[k]->Position.x - widths);
}

int MinBandWidth(const TKsBand* band) {
  return band->Control->GetConstraints()->GetMinWidth() + band->Insets.left + band->Insets.right;
}

}  // namespace

TKsCustomControlBar::TKsCustomControlBar(TComponent* AOwner) : TKsCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  // AutoSize first: an empty bar would collapse, and the bar keeps its size until it
  // has bands.
  SetAutoSize(true);
  SetBounds(GetLeft(), GetTop(), 100, 50);
  SetDockSite(true);
}

TKsCustomControlBar::~TKsCustomControlBar() {
  Destroying();
  // The children go later with the windowed base and never tell the bar: no band may
  // outlive this class.
  FBands.clear();
  FDragControl = FLastPlaced = nullptr;
}

void TKsCustomControlBar::SetRowSize(TRowSize value) {
  if (value < 1)
    throw EPropertyError(Format("RowSize must be at least 1, not %d", value));
  FRowSize = value;
}

const TKsBand& TKsCustomControlBar::GetBand(int index) const {
  if (index < 0 || index >= GetBandCount())
    ListIndexError(index);
  return *FBands[size_t(index)];
}

const TKsBand* TKsCustomControlBar::FindBand(TControl* control) const { return FirstBand(control); }

TKsBand* TKsCustomControlBar::FirstBand(TControl* control) const {
  for (const auto& band : FBands)
    if (band->Control == control && !band->PrevBand)
      return band.get();
  return nullptr;
}

bool TKsCustomControlBar::StartsRow(size_t index) const {
  return index == 0 || FBands[index]->NewLine || FBands[index]->SavedNewLine;
}

TKsBand* TKsCustomControlBar::BandAt(int x, int y) const {
  for (const auto& band : FBands) {
    if (band->PrevBand || !(band->Control->GetVisible() || Designing()))
      continue;
    if (PointInRect(Grown(band->Control->GetBoundsRect(), band->Insets), Point(x, y)))
      return band.get();
  }
  return nullptr;
}

// ---- Virtual operations ---------------------------------------------------------------------

void TKsCustomControlBar::DoBandMove(TControl* control, TRect& rect) { OnBandMove(this, control, rect); }

void TKsCustomControlBar::DoBandPaint(TControl* control, TKsBitmap& bitmap, TRect& rect,
                                      TBandPaintOptions& options) {
  if (!OnBandPaint.Assigned())
    return;
  TCanvas canvas;
  canvas.SetHandle(bitmap.GetDC());
  struct TDetach {
    TCanvas& Canvas;
    ~TDetach() { Canvas.SetHandle(nullptr); }
  } detach{canvas};
  OnBandPaint(this, control, &canvas, rect, options);
}

bool TKsCustomControlBar::DragControl(TControl* control, int x, int y, bool keepCapture) {
  bool drag = true;
  if (control && !Survives(this, OnBandDrag, control, drag))  // the handler freed the bar
    return false;
  if (!drag || !control)
    return drag;
  if (!keepCapture)
    SetMouseCapture(false);
  const TFlagScope refusing(FRefuseDock);
  BeginDragAt(control, ClientToScreen(Point(x, y)), /*immediate=*/true, /*threshold=*/-1);
  return drag;
}

void TKsCustomControlBar::DoBandInfo(TControl* control, TRect& insets, int& preferredSize, int& rowCount) {
  if (rowCount == 0)
    rowCount = 1;
  OnBandInfo(this, control, insets, preferredSize, rowCount);
  if (rowCount < 1)
    rowCount = 1;
}

void TKsCustomControlBar::PaintBackground() {
  GetBuffer()->FillRect(GetClientRect(), ColorToKsColor(GetColor(), 255));
}

void TKsCustomControlBar::PaintControlFrame(TKsBitmap& bitmap, TControl* control, TRect& rect) {
  TBandPaintOptions options{bpoGrabber, bpoFrame};
  DoBandPaint(control, bitmap, rect, options);
  if (options.Contains(bpoFrame))
    DrawEdge(bitmap.GetDC(), &rect, BDR_RAISEDINNER, BF_RECT);
  if (!options.Contains(bpoGrabber))
    return;
  const TKsColor highlight = ColorToKsColor(clBtnHighlight, 255);
  const TKsColor shadow = ColorToKsColor(clBtnShadow, 255);
  TRect g = Rect(rect.left + 3, rect.top + 2, rect.left + 5, rect.bottom - 3);
  for (int bar = 0; bar < 2; ++bar, OffsetRect(&g, 3, 0)) {
    bitmap.MoveTo(g.left + 2, g.top);
    bitmap.LineTo(g.left, g.top, highlight);
    bitmap.LineTo(g.left, g.bottom + 1, highlight);
    bitmap.MoveTo(g.right, g.top);
    bitmap.LineTo(g.right, g.bottom, shadow);
    bitmap.LineTo(g.left, g.bottom, shadow);
  }
}

void TKsCustomControlBar::StickControls() {
  for (const auto& band : FBands) {
    if (TKsBand* above = band->PrevBand)
      band->SavedPosition = Point(above->SavedPosition.x, above->SavedPosition.y + above->Height);
    else
      band->SavedPosition =
          Point(band->Control->GetLeft() - band->Insets.left, band->Control->GetTop() - band->Insets.top);
    band->SavedWidth = band->Control->GetWidth() + band->Insets.left + band->Insets.right;
    band->NewLine = band->SavedNewLine;
  }
}

// ---- Building bands -------------------------------------------------------------------------

bool TKsCustomControlBar::RemoveBands(TControl* control) {
  bool removed = false;
  for (size_t i = FBands.size(); i-- > 0;) {
    if (FBands[i]->Control != control)
      continue;
    if (StartsRow(i) && i + 1 < FBands.size() && FBands[i + 1]->Control != control)
      FBands[i + 1]->NewLine = FBands[i + 1]->SavedNewLine = true;
    FBands.erase(FBands.begin() + std::ptrdiff_t(i));
    removed = true;
  }
  return removed;
}

bool TKsCustomControlBar::BuildBands(TControl* moved) {
  FDefaultInsets.left = GetGrabberWidth();
  bool changed = false;
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    if (!FirstBand(child))
      continue;
    const bool visible = child->GetVisible() || Designing();
    for (const auto& band : FBands) {
      if (band->Control == child && band->Visible != visible) {
        band->Visible = visible;
        changed = true;
      }
    }
  }
  TRemembered remembered{};
  bool movedByBand = false;
  if (moved) {
    if (const TKsBand* band = FirstBand(moved); band && moved == FDragControl) {
      remembered = TRemembered{band->SavedPosition, band->SavedWidth};
      movedByBand = true;
    }
    RemoveBands(moved);
  }
  std::vector<TControl*> fresh;
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    if (child != moved && !FirstBand(child))
      fresh.push_back(child);
  }
  std::stable_sort(fresh.begin(), fresh.end(), [](TControl* a, TControl* b) {
    return a->GetTop() != b->GetTop() ? a->GetTop() < b->GetTop() : a->GetLeft() < b->GetLeft();
  });
  for (TControl* control : fresh)
    PlaceControl(control, false, nullptr);
  if (moved && moved->GetParent() == this)
    PlaceControl(moved, true, movedByBand ? &remembered : nullptr);
  return changed || !fresh.empty();
}

void TKsCustomControlBar::PlaceControl(TControl* control, bool moved, const TRemembered* remembered) {
  TRect insets = FDefaultInsets;
  TRect r = control->GetBoundsRect();
  if (remembered)
    r = Bounds(remembered->Position.x + insets.left, remembered->Position.y + insets.top, control->GetWidth(),
               control->GetHeight());
  int rowCount = 1;
  if (FRowSnap) {
    const int height = control->GetHeight() + insets.top + insets.bottom;
    rowCount = std::max<int>(1, height / FRowSize);
    if (moved && height > FRowSize * rowCount)
      ++rowCount;
  }
  int preferred = control->GetWidth();
  DoBandInfo(control, insets, preferred, rowCount);
  r = Grown(r, insets);
  const int bandHeight = FRowSnap ? FRowSize : control->GetHeight() + insets.top + insets.bottom;
  const bool visible = control->GetVisible() || Designing();
  TKsBand* above = nullptr;
  for (int row = 0; row < rowCount; ++row) {
    auto band = std::make_unique<TKsBand>();
    band->Control = control;
    band->Insets = insets;
    band->Visible = visible;
    band->Position = Point(r.left, r.top + row * FRowSize);
    band->Width = RectWidth(r);
    band->Height = bandHeight;
    band->RowCount = rowCount;
    band->RowInControl = row + 1;
    band->PrevBand = above;
    band->SavedPosition = band->Position;
    band->SavedWidth = remembered ? remembered->Width : band->Width;
    TKsBand* placed = band.get();
    InsertBand(std::move(band));
    if (above)
      above->NextBand = placed;
    above = placed;
  }
}

void TKsCustomControlBar::InsertBand(std::unique_ptr<TKsBand> band) {
  const int reference = band->Position.y + FRowSize / 2;
  auto insertAt = [&](size_t index, bool startsRow) {
    band->NewLine = band->SavedNewLine = startsRow;
    FBands.insert(FBands.begin() + std::ptrdiff_t(index), std::move(band));
  };
  const size_t count = FBands.size();
  int bottom = INT_MIN;
  size_t i = 0;
  while (i < count) {
    const size_t rowStart = i;
    size_t place = rowStart;
    int rowTop = INT_MAX;
    do {
      const TKsBand* b = FBands[i].get();
      if (b->Position.x < band->Position.x && b->Position.y < reference)
        place = i + 1;
      bottom = std::max<int>(bottom, b->Position.y + b->Height);
      rowTop = std::min<int>(rowTop, b->Position.y);
      ++i;
    } while (i < count && !StartsRow(i));
    if (reference >= bottom)
      continue;  // below this row: a later row, or a new one after it
    if (place == rowStart && reference < rowTop) {
      // Above the row and left of nothing in it: a new row before it.
      FBands[rowStart]->NewLine = FBands[rowStart]->SavedNewLine = true;
      insertAt(rowStart, true);
      return;
    }
    if (place == rowStart) {
      // The new first band of the row.
      FBands[rowStart]->NewLine = FBands[rowStart]->SavedNewLine = false;
      insertAt(rowStart, true);
      return;
    }
    insertAt(place, false);
    return;
  }
  insertAt(count, true);
}

// ---- Layout ---------------------------------------------------------------------------------

void TKsCustomControlBar::AlignControls(TControl* control, TRect& rect) {
  if (FAligning)
    return;
  // The bar's new size (AdjustSize) fires its OnResize, whose handler may free it.
  const TOwnedFlagScope aligning(this, FAligning);
  if (control)
    FLastPlaced = control;
  const bool changed = BuildBands(control);
  if (FBands.empty())
    return;
  // Each wrap gives a band a row of its own, so this ends within as many passes as bands.
  for (size_t pass = 0; pass <= FBands.size() && LayoutRows(RectWidth(rect)); ++pass) {
  }
  if (PlaceControls() || changed)
    Invalidate();
  AdjustSize();
}

bool TKsCustomControlBar::LayoutRows(int width) {
  const bool designing = Designing();
  int rowTop = 0;
  size_t i = 0;
  while (i < FBands.size()) {
    const size_t rowEnd = [&] {
      size_t j = i + 1;
      while (j < FBands.size() && !StartsRow(j))
        ++j;
      return j;
    }();
    int x = 0;           // the running end of the row
    int freeSpace = 0;   // the gaps left between its bands so far
    int rowBottom = rowTop;
    std::vector<TKsBand*> row;
    for (; i < rowEnd; ++i) {
      TKsBand* band = FBands[i].get();
      if (!band->Visible && !designing)
        continue;
      if (TKsBand* above = band->PrevBand) {
        band->Position.x = above->Position.x;
        band->Width = above->Width;
      } else {
        TRect insets = band->Insets;
        int preferred = band->SavedWidth - insets.left - insets.right;
        int rowCount = band->RowCount;
        DoBandInfo(band->Control, insets, preferred, rowCount);
        band->Insets = insets;
        band->Width = insets.left + preferred + insets.right;
        TRect r = Bounds(band->SavedPosition.x, rowTop, band->Width, band->Height);
        DoBandMove(band->Control, r);
        band->Position.x = r.left;
        band->Width = RectWidth(r);
      }
      band->Position.y = rowTop;
      if (band->Position.x < x) {
        // The bands before it move left into the free space; it starts after them.
        const int shift = std::min<int>(x - band->Position.x, freeSpace);
        if (!row.empty()) {
          ShiftLeft(row, row.size() - 1, shift);
          x = Right(row.back());
        }
        freeSpace -= shift;
        band->Position.x = x;
      } else {
        freeSpace += band->Position.x - x;
      }
      x = Right(band);
      if (!band->PrevBand) {
        band->SavedPosition = band->Position;
        band->SavedWidth = band->Width;
      }
      for (TKsBand* below = band->NextBand; below; below = below->NextBand) {
        below->Position.x = band->Position.x;
        below->Width = band->Width;
      }
      rowBottom = std::max<int>(rowBottom, rowTop + band->Height);
      row.push_back(band);
    }
    if (x > width && FitRow(row, width))
      return true;
    rowTop = rowBottom;
  }
  return false;
}

bool TKsCustomControlBar::FitRow(std::vector<TKsBand*>& row, int width) {
  if (row.empty())
    return false;
  // (a) Into the free space.
  TKsBand* last = row.back();
  ShiftLeft(row, row.size() - 1, std::min<int>(Right(last) - width, FreeBefore(row, row.size() - 1)));
  if (Right(last) <= width)
    return false;
  // (b) Narrower, down to the controls' minimum widths, and left, not past the bar's edge.
  int limit = width;
  for (size_t k = row.size(); k-- > 0;) {
    TKsBand* band = row[k];
    if (Right(band) > limit) {
      band->Width = std::max<int>(MinBandWidth(band), std::min<int>(band->Width, limit - band->Position.x));
      if (Right(band) > limit)
        band->Position.x = std::max<int>(0, limit - band->Width);
    }
    limit = band->Position.x;
  }
  bool overflows = false;
  limit = width;
  for (size_t k = row.size(); k-- > 0;) {
    overflows = overflows || Right(row[k]) > limit;
    limit = row[k]->Position.x;
  }
  for (TKsBand* band : row)
    for (TKsBand* below = band->NextBand; below; below = below->NextBand) {
      below->Position.x = band->Position.x;
      below->Width = band->Width;
    }
  if (!overflows || row.size() < 2)
    return false;
  // (c) The last band goes to a row of its own.
  last->SavedPosition.x = 0;
  last->SavedNewLine = true;
  return true;
}

bool TKsCustomControlBar::PlaceControls() {
  bool moved = false;
  for (const auto& band : FBands) {
    if (band->PrevBand || !(band->Visible || Designing()))
      continue;
    int height = band->Height;
    for (const TKsBand* below = band->NextBand; below; below = below->NextBand)
      height += below->Height;
    const TRect& in = band->Insets;
    const TRect r = Bounds(band->Position.x + in.left, band->Position.y + in.top,
                           band->Width - in.left - in.right, height - in.top - in.bottom);
    if (band->Control->GetBoundsRect() == r)
      continue;
    band->Control->SetBoundsRect(r);
    moved = true;
  }
  return moved;
}

bool TKsCustomControlBar::CanAutoSize(int& newWidth, int& newHeight) {
  if (Designing() && GetControlCount() == 0)
    return true;
  const bool sideways = GetAlign() == alLeft || GetAlign() == alRight;
  int extent = 0;
  for (const auto& band : FBands) {
    if (band->PrevBand || !band->Visible)
      continue;
    const TRect& in = band->Insets;
    extent = std::max<int>(extent, sideways ? band->SavedPosition.x + band->Control->GetWidth() + in.left + in.right
                                       : band->SavedPosition.y + band->Control->GetHeight() + in.top + in.bottom);
  }
  if (sideways)
    newWidth = extent + GetWidth() - GetClientWidth();
  else
    newHeight = extent + GetHeight() - GetClientHeight();
  return true;
}

void TKsCustomControlBar::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

// ---- Painting -------------------------------------------------------------------------------

void TKsCustomControlBar::PaintBuffer() {
  TKsBitmap* buffer = GetBuffer();
  if (!buffer || !buffer->GetDC())
    return;
  PaintBackground();
  OnPaint(this);
  for (const auto& band : FBands) {
    if (band->PrevBand || !(band->Control->GetVisible() || Designing()))
      continue;
    TRect r = Grown(band->Control->GetBoundsRect(), band->Insets);
    PaintControlFrame(*buffer, band->Control, r);
  }
}

// ---- Mouse and keys -------------------------------------------------------------------------

void TKsCustomControlBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    // A fresh layout from the controls' places.
    FBands.clear();
    FDragControl = nullptr;
    FLastPlaced = nullptr;
    Realign();
    if (TKsBand* band = BandAt(x, y)) {
      TControl* control = band->Control;
      bool dragged = false;
      if (shift.Contains(ssDouble) && !Designing() &&
          !Survives(this, [&] { dragged = DragControl(control, x, y, false); }))
        return;
      if (!dragged) {
        FDragControl = control;
        StickControls();
        const TKsBand* first = FirstBand(control);
        FDragOffset = Point(first->SavedPosition.x - x, first->SavedPosition.y - y);
      }
    }
  }
  inherited::MouseDown(button, shift, x, y);
}

void TKsCustomControlBar::MouseMove(TShiftState shift, int x, int y) {
  TKsBand* band = FDragControl && GetMouseCapture() ? FirstBand(FDragControl) : nullptr;
  if (band) {
    TControl* control = FDragControl;
    band->Position = band->SavedPosition = Point(x + FDragOffset.x, y + FDragOffset.y);
    band->SavedWidth = control->GetWidth() + band->Insets.left + band->Insets.right;
    const int reach = control->GetHeight();
    const TRect client = GetClientRect();
    const TPoint p = band->Position;
    const bool withinReach = p.x >= client.left - reach && p.y >= client.top - reach && p.x <= client.right + reach &&
                      p.y <= client.bottom + reach;
    bool dragged = false;
    if (!Designing() && FAutoDrag && !withinReach && !Survives(this, [&] { dragged = DragControl(control, x, y, true); }))
      return;
    if (!dragged)
      AlignControl(control);
  }
  inherited::MouseMove(shift, x, y);
}

void TKsCustomControlBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    TControl* control = FDragControl;
    FDragControl = nullptr;
    if (control != FLastPlaced)
      StickControls();
    else
      FLastPlaced = nullptr;
  }
  inherited::MouseUp(button, shift, x, y);
}

void TKsCustomControlBar::CNKeyDown(TMessage& message) {
  inherited::Dispatch(message);
  const WORD key = MessageAs<TWMKey>(message).CharCode;
  if (key != VK_CONTROL || !FDragControl || !FAutoDrag || Designing() || !GetMouseCapture() ||
      FDragControl->Dragging())
    return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint p = ScreenToClient(cursor);
  DragControl(FDragControl, p.x, p.y, true);
}

void TKsCustomControlBar::CMDesignHitTest(TMessage& message) {
  const auto& hit = MessageAs<TCMDesignHitTest>(message);
  message.Result = FDragControl || BandAt(hit.XPos, hit.YPos) ? 1 : 0;
}

// ---- Docking --------------------------------------------------------------------------------

void TKsCustomControlBar::GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock) {
  // The site's handler may free the bar: a bar gone takes nothing.
  if (!Survives(this, [&] { inherited::GetSiteInfo(client, influenceRect, mousePos, canDock); })) {
    canDock = false;
    return;
  }
  canDock = canDock && !FRefuseDock;
}

void TKsCustomControlBar::DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept) {
  if (!Survives(this, [&] { inherited::DockOver(source, x, y, state, accept); }))
    return;
  TControl* control = source->GetControl();
  if (!FAutoDrag || !FAutoDock || !accept || state != dsDragEnter || !control->GetFloating())
    return;
  // A floating control that enters the bar is docked here and its band follows the
  // mouse from now on.
  FDragControl = control;
  control->EndDrag(true);
  if (control->GetParent() != this)
    return;  // the drop went elsewhere (a handler refused it)
  FHandOverPending = true;
  PostMessageA(GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(control->GetLeft(), control->GetTop()));
}

// ---- Messages -------------------------------------------------------------------------------

void TKsCustomControlBar::ControlRemoved(TControl* control) {
  if (control == FDragControl)
    FDragControl = nullptr;
  if (control == FLastPlaced)
    FLastPlaced = nullptr;
  if (!RemoveBands(control))
    return;
  AdjustSize();
  Invalidate();
}

void TKsCustomControlBar::WndProc(TMessage& message) {
  // The button-down posted after a dock starts the band move of the control that lies
  // at that point: it belongs to the bar even over a windowless control.
  if (message.Msg == WM_LBUTTONDOWN && FHandOverPending) {
    FHandOverPending = false;
    TControl::WndProc(message);
    return;
  }
  inherited::WndProc(message);
}

void TKsCustomControlBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_CONTROLLISTCHANGE: {
      inherited::Dispatch(message);
      const auto& change = MessageAs<TCMControlListChange>(message);
      if (!change.Inserting)
        ControlRemoved(change.Control);
      return;
    }
    case CM_DESIGNHITTEST:
      CMDesignHitTest(message);
      return;
    case CN_KEYDOWN:
      CNKeyDown(message);
      return;
  }
  inherited::Dispatch(message);
}
