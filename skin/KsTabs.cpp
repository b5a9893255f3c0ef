// Decisions taken here:
// - Single-line mode lays all tabs out in one row; only multi-line mode breaks them
//   into rows (there is no limit on the number of rows).
// - A page removed from the control is taken out of the pages before its tab is
//   deleted, so that the tab change cannot remove (and free) the same page a second
//   time; the active page never outlives its place in the pages (it was left pointing
//   at a freed sheet when no page took its place).
// - A new page without caption gets "New Page " + the first number from 1 that is no
//   tab yet, so that the caption never collides with an existing tab.
// - An index beyond the pages inserts at the end; a tab index without a page of its
//   own activates no page.
// - Mouse down works out which arrow is under the point, as mouse moves do, so that
//   a click without a preceding move still presses the arrow.
// - A page freed by its OnShow as it becomes active is not brought to the front.
#include "skin/KsTabs.h"

#include <algorithm>
#include <cmath>

#include "classlib/AliveGuard.h"
#include "classlib/ClassRegistry.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/Timer.h"
#include "skin/KsUtils.h"

namespace {

TKsColor Sys(TColor color) { return ColorToKsColor(color, 255); }

bool Horizontal(TKsTabPosition side) { return side == tpTop || side == tpBottom; }

TKsTabPosition OppositeSide(TKsTabPosition side) {
  switch (side) {
    case tpTop: return tpBottom;
    case tpBottom: return tpTop;
    case tpLeft: return tpRight;
    case tpRight: return tpLeft;
  }
  return tpTop;
}

bool Overlaps(const TRect& a, const TRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Contains(const TRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// A tab's pixels addressed along it (u, from its start) and across it (v, from its
// outer edge toward the body).
struct TTabFrame {
  TRect R;
  TKsTabPosition Side;
  int Length() const { return Horizontal(Side) ? RectWidth(R) : RectHeight(R); }
  int Depth() const { return Horizontal(Side) ? RectHeight(R) : RectWidth(R); }
  TPoint At(int u, int v) const {
    switch (Side) {
      case tpTop: return {R.left + u, R.top + v};
      case tpBottom: return {R.left + u, R.bottom - 1 - v};
      case tpLeft: return {R.left + v, R.top + u};
      case tpRight: return {R.right - 1 - v, R.top + u};
    }
    return {0, 0};
  }
};

}  // namespace

// ---- TKsTabStringList ----------------------------------------------------------------------

void TKsTabStringList::CheckUnique(const std::string& s) const {
  if (!FAssigning && IndexOf(s) >= 0)
    throw Exception("A tab named " + s + " already exists.");
}

int TKsTabStringList::AddObject(const std::string& s, TObject* object) {
  CheckUnique(s);
  return inherited::AddObject(s, object);
}

void TKsTabStringList::InsertObject(int index, const std::string& s, TObject* object) {
  CheckUnique(s);
  inherited::InsertObject(index, s, object);
}

void TKsTabStringList::Assign(TPersistent* source) {
  const TFlagScope assigning(FAssigning);
  inherited::Assign(source);
}

void TKsTabStringList::Changed() {
  // The list's change handler may free the tab control, and the list with it.
  if (Survives(this, [&] { inherited::Changed(); }) && FTabControl)
    FTabControl->TabsChanged();
}

void TKsTabStringList::SetUpdateState(bool updating) {
  inherited::SetUpdateState(updating);
  if (!FTabControl)
    return;
  FTabControl->SetUpdating(updating);
  if (!updating) {
    FTabControl->Invalidate();
    FTabControl->TabsChanged();
  }
}

// ---- TKsCustomTabSheet ---------------------------------------------------------------------

TKsCustomTabSheet::TKsCustomTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
  SetAlign(alClient);
  TControlStyle style = GetControlStyle();
  style.Include(csAcceptsControls);
  style.Include(csNoDesignVisible);
  SetControlStyle(style);
  SetVisible(false);
}

TKsCustomTabSheet::~TKsCustomTabSheet() {
  // Leaves the tab control without being freed a second time.
  if (FTabControl)
    FTabControl->ExtractPage(this);
}

void TKsCustomTabSheet::SetTabControl(TKsCustomTabControl* value) {
  if (value == FTabControl)
    return;
  if (FTabControl)
    FTabControl->ExtractPage(this);
  if (value)
    value->InsertPage(this);
}

int TKsCustomTabSheet::PageIndex() const {
  if (!FTabControl)
    return -1;
  const auto& pages = FTabControl->FPages;
  auto it = std::find(pages.begin(), pages.end(), this);
  return it == pages.end() ? -1 : int(it - pages.begin());
}

void TKsCustomTabSheet::SetParentComponent(TComponent* value) {
  if (auto* tabControl = ObjectAs<TKsCustomTabControl>(value)) {
    SetTabControl(tabControl);
    return;
  }
  inherited::SetParentComponent(value);
}

void TKsCustomTabSheet::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TKsCustomTabSheet::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND: WMEraseBkgnd(message); return;
    case WM_PAINT: WMPaint(message); return;
    case CM_SHOWINGCHANGED:
      inherited::Dispatch(message);
      if (GetShowing())
        OnShow(this);
      else
        OnHide(this);
      return;
  }
  inherited::Dispatch(message);
}

void TKsCustomTabSheet::WMEraseBkgnd(TMessage& message) {
  if (HDC dc = reinterpret_cast<HDC>(message.WParam))
    DrawParentBackgroundWin(this, dc);
  message.Result = 1;
}

void TKsCustomTabSheet::WMPaint(TMessage& message) {
  TPaintScope paint(GetHandle(), reinterpret_cast<HDC>(message.WParam));
  if (FTabControl && FTabControl->GetActivePage() == this) {
    DrawParentBackgroundWin(this, paint.DC());
    PaintControls(paint.DC(), nullptr);
  }
  message.Result = 0;
}

// ---- TKsCustomTabControl: construction, properties -------------------------------------

TKsCustomTabControl::TKsCustomTabControl(TComponent* AOwner)
    : TKsCustomControl(AOwner), FTabs(std::make_unique<TKsTabStringList>(this)) {
  SetControlStyle({csAcceptsControls, csDoubleClicks, csOpaque});
  SetBounds(GetLeft(), GetTop(), 289, 193);
  SetTabStop(true);
  Realign();
}

TKsCustomTabControl::~TKsCustomTabControl() {
  Destroying();
  FTabs->SetTabControl(nullptr);
  // The sheets are freed as children (or by their owner); they no longer know us.
  for (TKsCustomTabSheet* page : FPages)
    page->FTabControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
  FTabs.reset();
}

void TKsCustomTabControl::SetTabs(TStrings* value) { FTabs->Assign(value); }

void TKsCustomTabControl::SetTabIndex(int value) {
  if (value == FTabIndex || value < 0 || value >= FTabs->GetCount())
    return;
  const int old = FTabIndex;
  FTabIndex = value;
  // The changing handler may free the control.
  bool allow = false;
  if (!Survives(this, [&] { allow = CanChange(); }))
    return;
  if (!allow) {
    FTabIndex = old;
    return;
  }
  CalcRows();
  const int last = FTabs->GetCount() - 1;
  while (FFirstVisibleTab < last && ScrollButtonsVisible() &&
         (Overlaps(TabRect(FTabIndex), LeftButtonRect()) ||
          Overlaps(TabRect(FTabIndex), RightButtonRect())))
    ++FFirstVisibleTab;
  while (FFirstVisibleTab > FTabIndex)
    --FFirstVisibleTab;
  Invalidate();
  Realign();
  Change();
}

void TKsCustomTabControl::SetTabPosition(TKsTabPosition value) {
  if (value == FTabPosition)
    return;
  FTabPosition = value;
  if (!Horizontal(value))
    FMultiLine = true;
  Realign();
  Invalidate();
}

void TKsCustomTabControl::SetMultiLine(bool value) {
  if (!value && !Horizontal(FTabPosition))
    throw Exception("MultiLine must be True when TabPosition is tpLeft or tpRight");
  if (value == FMultiLine)
    return;
  FMultiLine = value;
  Realign();
  Invalidate();
}

void TKsCustomTabControl::SetScrollOpposite(bool value) {
  if (value == FScrollOpposite)
    return;
  FScrollOpposite = value;
  if (value)
    FMultiLine = true;
  Realign();
  Invalidate();
}

void TKsCustomTabControl::SetRaggedRight(bool value) {
  if (value == FRaggedRight)
    return;
  FRaggedRight = value;
  Invalidate();
}

void TKsCustomTabControl::SetHotTrack(bool value) {
  if (value == FHotTrack)
    return;
  FHotTrack = value;
  Invalidate();
}

void TKsCustomTabControl::SetOwnerDraw(bool value) {
  if (value == FOwnerDraw)
    return;
  FOwnerDraw = value;
  Invalidate();
}

void TKsCustomTabControl::SetTabWidth(int value) {
  if (value == FTabWidth)
    return;
  FTabWidth = value;
  Realign();
  Invalidate();
}

void TKsCustomTabControl::SetTabHeight(int value) {
  if (value == FTabHeight)
    return;
  FTabHeight = value;
  Realign();
  Invalidate();
}

void TKsCustomTabControl::SetUsePages(bool value) {
  if (value == FUsePages)
    return;
  FUsePages = value;
  if (!Loading()) {
    if (value) {
      while (GetControlCount() > 0)
        delete GetControl(GetControlCount() - 1);
    }
    TabsChanged();
  }
  Invalidate();
}

void TKsCustomTabControl::SetUpdating(bool value) { FUpdating = value; }

// ---- Geometry ------------------------------------------------------------------------------

int TKsCustomTabControl::SideMargin() {
  switch (FTabPosition) {
    case tpTop: return GetTopMargin();
    case tpBottom: return GetBottomMargin();
    case tpLeft: return GetLeftMargin();
    case tpRight: return GetRightMargin();
  }
  return 0;
}

int TKsCustomTabControl::GetTabRowHeight() {
  if (FTabHeight > 0)
    return FTabHeight;
  return int(std::nearbyint(GetFont()->GetSize() * 1.7)) + 4;
}

int TKsCustomTabControl::GetTabLength(int index) {
  if (FTabWidth != 0)
    return FTabWidth;
  TKsBitmap measure;
  TKsBitmap* buffer = GetBuffer();
  if (!buffer || buffer->Empty()) {
    measure.SetSize(1, 1);
    buffer = &measure;
  }
  buffer->SetFont(GetFont());
  const int text = buffer->TextWidth(FTabs->Get(index), 0) + 12;
  return std::max(text, 2 * (GetTabRowHeight() + SideMargin()));
}

void TKsCustomTabControl::GetScrollButtonSize(TSize& size) {
  size.cx = GetFont()->GetSize() * 2;
  size.cy = size.cx;
}

void TKsCustomTabControl::CalcRows() {
  FRows.clear();
  const int count = FTabs->GetCount();
  if (count == 0)
    return;
  if (!FMultiLine) {
    FRows.push_back({count - 1, 0, 0});
    return;
  }
  const int extent = Horizontal(FTabPosition) ? GetWidth() : GetHeight();
  const int avail = extent - GetLeftMargin() - GetRightMargin();
  int first = 0;
  int w = GetTabLength(0);
  auto closeRow = [&](int last) {
    const int n = last - first + 1;
    const int extra = (avail - w) / n;
    FRows.push_back({last, extra, (avail - w) - extra * n});
  };
  for (int i = 1; i < count; ++i) {
    const int length = GetTabLength(i);
    if (w + length >= avail) {
      closeRow(i - 1);
      first = i;
      w = length;
    } else {
      w += length;
    }
  }
  closeRow(count - 1);
}

int TKsCustomTabControl::RowOf(int index) const {
  if (FRows.empty())
    return -1;
  for (int row = 0; row < int(FRows.size()); ++row)
    if (index <= FRows[row].LastTab)
      return row;
  return int(FRows.size()) - 1;
}

int TKsCustomTabControl::GetTabExtent(int index) {
  const int length = GetTabLength(index);
  if (!FMultiLine || FRaggedRight || FTabWidth != 0)
    return length;
  const int row = RowOf(index);
  if (row < 0)
    return length;
  const TTabRow& r = FRows[row];
  return length + r.Extra + (index == r.LastTab ? r.Remainder : 0);
}

int TKsCustomTabControl::TabsHeight() {
  if (FTabs->GetCount() == 0)
    return 0;
  CalcRows();
  int rows = GetRowCount();
  if (FScrollOpposite)
    rows -= std::max(RowOf(FTabIndex), 0);
  return GetTabRowHeight() * rows + SideMargin();
}

int TKsCustomTabControl::OppositeHeight() {
  if (!FScrollOpposite)
    return 0;
  return std::max(RowOf(FTabIndex), 0) * GetTabRowHeight();
}

TRect TKsCustomTabControl::DisplayRect() {
  CalcRows();
  TRect r{0, 0, GetWidth(), GetHeight()};
  const int tabs = TabsHeight(), opposite = OppositeHeight();
  switch (FTabPosition) {
    case tpTop: r.top += tabs; r.bottom -= opposite; break;
    case tpBottom: r.bottom -= tabs; r.top += opposite; break;
    case tpLeft: r.left += tabs; r.right -= opposite; break;
    case tpRight: r.right -= tabs; r.left += opposite; break;
  }
  return r;
}

void TKsCustomTabControl::AdjustClientRect(TRect& rect) {
  rect = DisplayRect();
  rect.left += GetLeftMargin() + 1;
  rect.top += GetTopMargin() + 1;
  rect.right -= GetRightMargin() + 1;
  rect.bottom -= GetBottomMargin() + 1;
}

bool TKsCustomTabControl::OnOppositeSide(int row) const {
  return FScrollOpposite && row < std::max(RowOf(FTabIndex), 0);
}

TKsTabPosition TKsCustomTabControl::RowSide(int row) const {
  return OnOppositeSide(row) ? OppositeSide(FTabPosition) : FTabPosition;
}

int TKsCustomTabControl::RowDistance(int row) const {
  const int s = std::max(RowOf(FTabIndex), 0);
  if (FScrollOpposite)
    return row < s ? s - row : row - s + 1;
  return row >= s ? row - s + 1 : row + GetRowCount() - s + 1;
}

TRect TKsCustomTabControl::TabRect(int index) {
  CalcRows();
  const int row = RowOf(index);
  int along = Horizontal(FTabPosition) ? GetLeftMargin() : GetTopMargin();
  if (FMultiLine) {
    const int first = row > 0 ? FRows[row - 1].LastTab + 1 : 0;
    for (int i = first; i < index; ++i)
      along += GetTabExtent(i);
  } else {
    const int first = std::max(FFirstVisibleTab, 0);
    for (int i = first; i < index; ++i)
      along += GetTabExtent(i);
    for (int i = index; i < first; ++i)
      along -= GetTabExtent(i);
  }
  const int length = GetTabExtent(index);
  const bool opposite = OnOppositeSide(row);
  const int base = opposite ? OppositeHeight() : TabsHeight();
  const int d = base - RowDistance(row) * GetTabRowHeight();
  const int w = GetWidth(), h = GetHeight();
  switch (opposite ? OppositeSide(FTabPosition) : FTabPosition) {
    case tpTop: return TRect{along, d, along + length, base + GetTopMargin()};
    case tpBottom: return TRect{along, h - base - GetBottomMargin(), along + length, h - d};
    case tpLeft: return TRect{d, along, base + GetLeftMargin(), along + length};
    case tpRight: return TRect{w - base - GetRightMargin(), along, w - d, along + length};
  }
  return TRect{};
}

bool TKsCustomTabControl::ScrollButtonsVisible() {
  const int count = FTabs->GetCount();
  if (!Horizontal(FTabPosition) || FMultiLine || count < 2)
    return false;
  return FFirstVisibleTab > 0 || TabRect(count - 1).right > GetWidth();
}

TRect TKsCustomTabControl::LeftButtonRect() {
  TSize s{};
  GetScrollButtonSize(s);
  const int y = FTabPosition == tpTop ? TabsHeight() - s.cy - GetTopMargin()
                                      : GetHeight() - TabsHeight() + GetBottomMargin();
  return TRect{GetWidth() - 2 * s.cx, y, GetWidth() - s.cx, y + s.cy};
}

TRect TKsCustomTabControl::RightButtonRect() {
  TRect r = LeftButtonRect();
  const int size = RectWidth(r);
  return TRect{r.left + size, r.top, r.right + size, r.bottom};
}

bool TKsCustomTabControl::InLeftButton(int x, int y) {
  return ScrollButtonsVisible() && Contains(LeftButtonRect(), x, y);
}

bool TKsCustomTabControl::InRightButton(int x, int y) {
  return ScrollButtonsVisible() && Contains(RightButtonRect(), x, y);
}

int TKsCustomTabControl::LastVisibleTab() {
  const int count = FTabs->GetCount();
  if (count == 0)
    return -1;
  const int avail = GetWidth() - GetLeftMargin() - GetRightMargin();
  int w = 0, i = std::max(FFirstVisibleTab, 0);
  int last = i - 1;
  while (i < count && w + GetTabLength(i) <= avail) {
    w += GetTabLength(i);
    last = i++;
  }
  return i < count ? i : last;
}

bool TKsCustomTabControl::LastTabWhollyVisibleFrom(int first) {
  TSize s{};
  GetScrollButtonSize(s);
  int right = GetLeftMargin();
  for (int i = first; i < FTabs->GetCount(); ++i)
    right += GetTabExtent(i);
  return right <= GetWidth() - 2 * s.cx;
}

void TKsCustomTabControl::ScrollTabs(int delta) {
  const int count = FTabs->GetCount();
  if (count == 0) {
    FFirstVisibleTab = -1;
    Invalidate();
    return;
  }
  CalcRows();
  FFirstVisibleTab = std::clamp(FFirstVisibleTab + delta, 0, count - 1);
  while (FFirstVisibleTab > 0 && LastTabWhollyVisibleFrom(FFirstVisibleTab - 1))
    --FFirstVisibleTab;
  Invalidate();
}

int TKsCustomTabControl::TabAtPos(int x, int y) {
  const int count = FTabs->GetCount();
  if (count == 0)
    return -1;
  CalcRows();
  if (ScrollButtonsVisible()) {
    TSize s{};
    GetScrollButtonSize(s);
    const int band = TabsHeight();
    const bool inBand = FTabPosition == tpTop ? y < band : y >= GetHeight() - band;
    if (inBand && x >= GetWidth() - 2 * s.cx)
      return -1;
  }
  if (FTabIndex >= 0 && Contains(TabRect(FTabIndex), x, y))
    return FTabIndex;
  if (!FMultiLine) {
    const int last = LastVisibleTab();
    for (int i = std::max(FFirstVisibleTab, 0); i <= last; ++i) {
      TRect r = TabRect(i);
      switch (FTabPosition) {
        case tpTop: r.bottom -= GetTopMargin(); break;
        case tpBottom: r.top += GetBottomMargin(); break;
        case tpLeft: r.right -= GetLeftMargin(); break;
        case tpRight: r.left += GetRightMargin(); break;
      }
      if (Contains(r, x, y))
        return i;
    }
    return -1;
  }
  // Rows in the order they lie going away from the body.
  const int rows = GetRowCount(), s = std::max(RowOf(FTabIndex), 0);
  std::vector<int> order;
  if (FScrollOpposite)
    for (int row = s - 1; row >= 0; --row)
      order.push_back(row);
  for (int k = 0; k < rows; ++k) {
    const int row = (s + k) % rows;
    if (!FScrollOpposite || row >= s)
      order.push_back(row);
  }
  for (int row : order) {
    const int first = row > 0 ? FRows[row - 1].LastTab + 1 : 0;
    for (int i = first; i <= FRows[row].LastTab; ++i)
      if (Contains(TabRect(i), x, y))
        return i;
  }
  return -1;
}

// ---- Painting ------------------------------------------------------------------------------

void TKsCustomTabControl::PaintBuffer() {
  inherited::PaintBuffer();
  if (!GetBuffer() || GetBuffer()->Empty())
    return;
  CalcRows();
  const int count = FTabs->GetCount();
  if (count > 0 && !FMultiLine) {
    const int last = LastVisibleTab();
    for (int i = std::max(FFirstVisibleTab, 0); i <= last; ++i)
      if (i != FTabIndex)
        DrawTab(i);
  } else if (count > 0) {
    // Farthest rows first, so that nearer rows cover them.
    std::vector<int> rows(FRows.size());
    for (int row = 0; row < int(rows.size()); ++row)
      rows[row] = row;
    std::stable_sort(rows.begin(), rows.end(),
                     [this](int a, int b) { return RowDistance(a) > RowDistance(b); });
    for (int row : rows) {
      const int first = row > 0 ? FRows[row - 1].LastTab + 1 : 0;
      for (int i = first; i <= FRows[row].LastTab; ++i)
        if (i != FTabIndex)
          DrawTab(i);
    }
  }
  DrawBody();
  if (FTabIndex >= 0 && FTabIndex < count)
    DrawTab(FTabIndex);
  if (ScrollButtonsVisible()) {
    DrawLeftButton();
    DrawRightButton();
  }
}

void TKsCustomTabControl::DrawBody() {
  TKsBitmap& buffer = *GetBuffer();
  const TRect r = DisplayRect();
  buffer.FillRect(r, Sys(clBtnFace));
  buffer.Draw3DFrame(r, Sys(clBtnHighlight), Sys(cl3DDkShadow));
  const TRect inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  buffer.Draw3DFrame(inner, Sys(clBtnFace), Sys(clBtnShadow));
}

void TKsCustomTabControl::DrawLeftButton() {
  TRect r = LeftButtonRect();
  DrawFrameControl(GetBuffer()->GetDC(), &r, DFC_SCROLL,
                   DFCS_SCROLLLEFT | (LeftButtonDown() ? DFCS_PUSHED : 0));
}

void TKsCustomTabControl::DrawRightButton() {
  TRect r = RightButtonRect();
  DrawFrameControl(GetBuffer()->GetDC(), &r, DFC_SCROLL,
                   DFCS_SCROLLRIGHT | (RightButtonDown() ? DFCS_PUSHED : 0));
}

void TKsCustomTabControl::DrawTab(int index) {
  TKsBitmap& buffer = *GetBuffer();
  const bool selected = index == FTabIndex;
  const TKsTabPosition side = RowSide(RowOf(index));
  TRect r = TabRect(index);
  if (selected) {
    // Grows on its three outer sides.
    if (side != tpRight) r.left -= 2;
    if (side != tpBottom) r.top -= 2;
    if (side != tpLeft) r.right += 2;
    if (side != tpTop) r.bottom += 2;
  }
  const TKsColor face = Sys(clBtnFace), light = Sys(clBtnHighlight), dark = Sys(cl3DDkShadow),
                 shadow = Sys(clBtnShadow);
  buffer.FillRoundRect(r, 4, face);
  TRect half = r;
  switch (side) {
    case tpTop: half.top = (r.top + r.bottom) / 2; break;
    case tpBottom: half.bottom = (r.top + r.bottom) / 2; break;
    case tpLeft: half.left = (r.left + r.right) / 2; break;
    case tpRight: half.right = (r.left + r.right) / 2; break;
  }
  buffer.FillRect(half, face);

  if (selected && GetFocused()) {
    const TRect focus{r.left + GetLeftMargin() + 1, r.top + GetTopMargin() + 1,
                      r.right - GetRightMargin() - 1, r.bottom - GetBottomMargin() - 1};
    buffer.DrawFocusRect(focus, Sys(clBlack));
  }

  if (FOwnerDraw) {
    DoDrawTab(index, r, selected);
  } else {
    TRect text = r;
    if (selected) {
      text = TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    } else {
      const int away = side == tpTop || side == tpLeft ? -1 : 1;
      if (Horizontal(side)) {
        text.top += away;
        text.bottom += away;
      } else {
        text.left += away;
        text.right += away;
      }
    }
    const int rowHeight = GetTabRowHeight();
    switch (side) {
      case tpTop: text.bottom = text.top + rowHeight; break;
      case tpBottom: text.top = text.bottom - rowHeight; break;
      case tpLeft: text.right = text.left + rowHeight; break;
      case tpRight: text.left = text.right - rowHeight; break;
    }
    buffer.SetFont(GetFont());
    if (FHotTrack && index == FHotTab)
      buffer.GetFont()->SetColor(clHighlight);
    const UINT flags = UINT(DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
    if (Horizontal(side))
      buffer.DrawText(FTabs->Get(index), text, flags);
    else
      buffer.DrawVerticalText(FTabs->Get(index), text, /*clockwise=*/side == tpRight, flags);
  }

  // The three outer edges: facing up or left in the light colour, facing down or right
  // dark outside and shadowed inside; short diagonals at the two outer corners.
  GdiFlush();
  const TTabFrame frame{r, side};
  const int length = frame.Length(), depth = frame.Depth();
  const bool outerLight = side == tpTop || side == tpLeft;
  auto put = [&](int u, int v, TKsColor c) {
    const TPoint p = frame.At(u, v);
    buffer.SetPixel(p.x, p.y, c);
  };
  for (int u = 2; u < length - 2; ++u) {
    put(u, 0, outerLight ? light : dark);
    if (!outerLight)
      put(u, 1, shadow);
  }
  for (int v = 2; v < depth; ++v) {
    put(0, v, light);
    put(length - 1, v, dark);
    put(length - 2, v, shadow);
  }
  put(1, 1, light);
  put(length - 2, 1, dark);
}

void TKsCustomTabControl::DoDrawTab(int index, const TRect& rect, bool active) {
  OnDrawTab(this, index, rect, active);
}

// ---- Changes ---------------------------------------------------------------------------------

bool TKsCustomTabControl::CanChange() {
  bool allow = true;
  OnChanging(this, allow);
  return allow;
}

void TKsCustomTabControl::Change() {
  if (FUsePages && FTabIndex >= 0 && FTabIndex < PageCount())
    SetActivePage(FPages[FTabIndex]);
  OnChange(this);
}

void TKsCustomTabControl::TabsChanged() {
  if (IsDestroying())
    return;
  const int count = FTabs->GetCount();
  if (FTabIndex >= count)
    FTabIndex = count - 1;
  // The first shown tab stays a tab (scrolled-out tabs may have been deleted).
  FFirstVisibleTab = std::clamp(FFirstVisibleTab, 0, std::max(count - 1, 0));
  if (FUsePages && !Loading()) {
    if (count == 0) {
      FreePages();
      FTabIndex = -1;
    } else if (count < PageCount()) {
      const std::vector<TKsCustomTabSheet*> pages = FPages;
      for (TKsCustomTabSheet* page : pages)
        if (FTabs->IndexOf(page->GetCaption()) < 0)
          RemovePage(page);
    } else if (count > PageCount()) {
      for (int i = 0; i < FTabs->GetCount(); ++i) {
        const std::string caption = FTabs->Get(i);
        const bool hasPage = std::any_of(FPages.begin(), FPages.end(), [&](TKsCustomTabSheet* p) {
          return p->GetCaption() == caption;
        });
        if (hasPage)
          continue;
        auto* sheet = new TKsCustomTabSheet(GetOwner());
        sheet->SetCaption(caption);
        InsertPageAt(i, sheet);
        SetActivePage(sheet);
      }
    }
  } else if (!FUsePages && !Loading()) {
    FreePages();
  }
  if (!FUpdating) {
    Invalidate();
    Realign();
  }
}

// ---- Pages -----------------------------------------------------------------------------------

TKsCustomTabSheet* TKsCustomTabControl::GetPage(int index) const {
  if (index < 0 || index >= PageCount())
    ListIndexError(index);
  return FPages[index];
}

int TKsCustomTabControl::GetActivePageIndex() const {
  if (!FUsePages || !FActivePage)
    return -1;
  return FActivePage->PageIndex();
}

std::string TKsCustomTabControl::NewPageCaption() const {
  for (int n = 1;; ++n) {
    std::string caption = "New Page " + std::to_string(n);
    if (FTabs->IndexOf(caption) < 0)
      return caption;
  }
}

void TKsCustomTabControl::NamePage(TKsCustomTabSheet* page) {
  TCustomForm* form = GetParentForm(this);
  if (!GetComponentState().Contains(csDesigning) || !page->GetName().empty() || !form)
    return;
  for (int n = 1;; ++n) {
    std::string name = std::string(page->ClassName()) + std::to_string(n);
    if (!form->FindComponent(name)) {
      page->SetName(name);
      return;
    }
  }
}

void TKsCustomTabControl::InsertPageAt(int index, TKsCustomTabSheet* page) {
  if (!page || page->FTabControl == this)
    return;
  if (page->FTabControl)
    page->FTabControl->ExtractPage(page);
  index = std::clamp(index, 0, PageCount());
  FPages.insert(FPages.begin() + index, page);
  page->FTabControl = this;
  page->SetParent(this);
  page->SetVisible(false);
  NamePage(page);
  if (page->GetCaption().empty()) {
    const std::string caption = NewPageCaption();
    page->SetCaption(caption);
    FTabs->Add(caption);
    // Without pages in use the tab change has freed every page, this one too.
    if (std::find(FPages.begin(), FPages.end(), page) == FPages.end())
      return;
  }
  if (PageCount() == 1)
    SetActivePage(page);
  Invalidate();
}

void TKsCustomTabControl::ExtractPage(TKsCustomTabSheet* page) {
  auto it = std::find(FPages.begin(), FPages.end(), page);
  if (it == FPages.end())
    return;
  const int index = int(it - FPages.begin());
  const bool hadTab = FTabs->IndexOf(page->GetCaption()) >= 0;
  const bool wasActive = page == FActivePage;
  FPages.erase(it);
  page->FTabControl = nullptr;
  if (!page->GetComponentState().Contains(csDestroying))
    page->SetCaption("");
  if (wasActive)
    FActivePage = nullptr;
  if (hadTab && index < FTabs->GetCount())
    FTabs->Delete(index);
  if (wasActive) {
    if (FTabs->GetCount() == 0) {
      FTabIndex = -1;
    } else {
      FTabIndex = 0;
      SetActivePageIndex(0);
    }
  }
  Invalidate();
}

void TKsCustomTabControl::RemovePage(TKsCustomTabSheet* page) {
  if (std::find(FPages.begin(), FPages.end(), page) == FPages.end())
    return;
  ExtractPage(page);
  if (!page->GetComponentState().Contains(csDestroying))
    delete page;
}

void TKsCustomTabControl::FreePages() {
  const std::vector<TKsCustomTabSheet*> pages = FPages;
  FPages.clear();
  FActivePage = nullptr;
  for (TKsCustomTabSheet* page : pages) {
    page->FTabControl = nullptr;
    if (!page->GetComponentState().Contains(csDestroying))
      delete page;
  }
}

void TKsCustomTabControl::SetActivePage(TKsCustomTabSheet* page) {
  if (page == FActivePage)
    return;
  if (page && page->FTabControl != this)
    return;
  TKsCustomTabSheet* old = FActivePage;
  FActivePage = page;
  if (old)
    old->SetVisible(false);
  if (page) {
    // A page its OnShow freed has left the pages, and the control has gone on to
    // another: nothing of it is left to show.
    if (!Survives(page, [page] { page->SetVisible(true); }))
      return;
    page->BringToFront();
    FTabIndex = page->PageIndex();
  }
  Invalidate();
}

void TKsCustomTabControl::SetActivePageIndex(int index) {
  if (index >= 0 && index < PageCount())
    SetActivePage(FPages[index]);
}

void TKsCustomTabControl::GetChildren(TGetChildProc proc, TComponent* root) {
  if (!FUsePages) {
    inherited::GetChildren(proc, root);
    return;
  }
  for (TKsCustomTabSheet* page : FPages)
    proc(page);
}

void TKsCustomTabControl::Loaded() {
  inherited::Loaded();
  if (FUsePages)
    SetActivePageIndex(FTabIndex);
}

// ---- Input -----------------------------------------------------------------------------------

void TKsCustomTabControl::UpdateHotState(int x, int y) {
  const bool leftHot = InLeftButton(x, y), rightHot = InRightButton(x, y);
  const int hotTab = TabAtPos(x, y);
  if (leftHot == FLeftButtonHot && rightHot == FRightButtonHot && hotTab == FHotTab)
    return;
  FLeftButtonHot = leftHot;
  FRightButtonHot = rightHot;
  FHotTab = hotTab;
  Invalidate();
}

void TKsCustomTabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseDown(button, shift, x, y); }) || button != mbLeft)
    return;
  UpdateHotState(x, y);
  if (InLeftButton(x, y) || InRightButton(x, y)) {
    FLeftButtonPressed = InLeftButton(x, y);
    FRightButtonPressed = InRightButton(x, y);
    if (LeftButtonDown() || RightButtonDown()) {
      Invalidate();
      StartTimer();
    }
    return;
  }
  const int index = TabAtPos(x, y);
  if (index < 0)
    return;
  if (!GetComponentState().Contains(csDesigning) && CanFocus() && !Survives(this, [this] { SetFocus(); }))
    return;  // OnEnter freed the control
  SetTabIndex(index);
}

void TKsCustomTabControl::MouseMove(TShiftState shift, int x, int y) {
  if (Survives(this, [&] { inherited::MouseMove(shift, x, y); }))
    UpdateHotState(x, y);
}

void TKsCustomTabControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseUp(button, shift, x, y); }) || button != mbLeft)
    return;
  FLeftButtonPressed = false;
  FRightButtonPressed = false;
  if (FTimer)
    FTimer->SetEnabled(false);
  Invalidate();
}

void TKsCustomTabControl::MouseLeave() {
  if (!Survives(this, [&] { inherited::MouseLeave(); }))
    return;
  const bool anySet = FLeftButtonHot || FRightButtonHot || FHotTab != -1;
  FLeftButtonHot = false;
  FRightButtonHot = false;
  FHotTab = -1;
  if (anySet)
    Invalidate();
}

void TKsCustomTabControl::KeyDown(WORD& key, TShiftState shift) {
  if (!Survives(this, [&] { inherited::KeyDown(key, shift); }))
    return;
  if (key == VK_LEFT || key == VK_UP)
    SetTabIndex(FTabIndex - 1);
  else if (key == VK_RIGHT || key == VK_DOWN)
    SetTabIndex(FTabIndex + 1);
}

void TKsCustomTabControl::StartTimer() {
  if (!FTimer) {
    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetOnTimer(TNotifyEvent::Bind<&TKsCustomTabControl::TimerTick>(this));
  }
  TimerStep();
  FTimer->SetInterval(300);
  FTimer->SetEnabled(true);
}

void TKsCustomTabControl::TimerTick(TObject*) {
  try {
    FTimer->SetInterval(100);
    TimerStep();
  } catch (...) {
    // A failing step stops the scrolling; it is not passed on.
    FTimer->SetEnabled(false);
  }
}

void TKsCustomTabControl::TimerStep() {
  if (LeftButtonDown())
    ScrollTabs(-1);
  else if (RightButtonDown())
    ScrollTabs(1);
}

void TKsCustomTabControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS;
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      inherited::Dispatch(message);
      Invalidate();
      return;
    case CM_DESIGNHITTEST:
      if (GetKeyState(VK_LBUTTON) < 0) {
        const auto& mouse = MessageAs<TCMDesignHitTest>(message);
        MouseDown(mbLeft, TShiftState{}, mouse.XPos, mouse.YPos);
      }
      message.Result = 0;
      return;
  }
  inherited::Dispatch(message);
}

// ---- Unit ------------------------------------------------------------------------------------

void InitializeKsTabs() { RegisterClasses({TKsCustomTabSheet::StaticClass()}); }

void FinalizeKsTabs() { UnRegisterClasses({TKsCustomTabSheet::StaticClass()}); }
