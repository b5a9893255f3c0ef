// Hit testing: which part of the control lies under a point. The layout is computed
// afresh and its areas are tested in a fixed order, the first match winning; sizing
// edges answer within 4 pixels.
//
// Decisions taken here:
// - "Within 4 pixels left of an edge" is the 4 pixels before it, "within 4 pixels
//   right of it" the edge's own pixel and the 3 after it; so a point exactly 4 pixels
//   left of a sizable column's edge is on the edge and 5 pixels left is not.
// - Without a shown indicator, the 4 pixels below the last row are a row edge only
//   while rows may be sized; otherwise the point is tested as any other (it lies in the
//   empty rows area) instead of answering the indicator, which is not there.
// - The zone right of a narrowed band row or header panel answers nothing unless it
//   sizes the last band or its last column.
// - Band sizing through the previous band's edge asks whether the previous band may be
//   sized.
#include "treelist/DxTreeListHitTester.h"

#include <algorithm>

#include "treelist/DxTreeList.h"

namespace {

constexpr int kSizingTolerance = 4;

// x lies in the tolerance before `edge`, or from `edge` on.
bool LeftOfEdge(int x, int edge) { return x >= edge - kSizingTolerance && x < edge; }
bool RightOfEdge(int x, int edge) { return x >= edge && x < edge + kSizingTolerance; }

bool InVertically(const TRect& r, int y) { return y >= r.top && y < r.bottom; }

// `r` grown to `left` when `corner` exists and by the tolerance below, for the lower
// sizing edge of a panel.
bool OnPanelEdge(const TRect& panel, const TRect& corner, const TPoint& p) {
  TRect zone = panel;
  if (!IsEmptyRect(corner))
    zone.left = corner.left;
  zone.bottom += kSizingTolerance;
  return PointInRect(zone, p) && p.y >= panel.bottom - kSizingTolerance;
}

}  // namespace

void TdxTreeListHitTester::GetHitInfo(const TPoint& p, TdxTreeListHitInfo& hitInfo) {
  hitInfo = TdxTreeListHitInfo{};
  hitInfo.Pos = p;
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  if (!PointInRect(layout.Client, p))
    return;
  hitInfo.HitTest = htNowhere;
  if (PointInRect(layout.TopPanel, p)) {
    hitInfo.HitTest = htTopPanel;
    return;
  }
  if (HitBandRow(layout, p, hitInfo) || HitHeaderPanel(layout, p, hitInfo))
    return;
  if (PointInRect(layout.NewItemRow, p)) {
    hitInfo.HitTest = htNewItemRow;
    for (const TdxTreeListColumnEntry& column : layout.Columns) {
      if (p.x >= column.ClippedRect.left && p.x < column.ClippedRect.right) {
        hitInfo.Band = column.Band;
        hitInfo.Column = column.Column;
        break;
      }
    }
    return;
  }
  if (HitIndicator(layout, p, hitInfo))
    return;
  if (PointInRect(layout.StatusPanel, p)) {
    hitInfo.HitTest = htFooter2;
    return;
  }
  if (PointInRect(layout.Footer, p)) {
    hitInfo.HitTest = htFooter;
    for (const TdxTreeListColumnEntry& column : layout.Columns) {
      if (PointInRect(column.FooterRect, p)) {
        hitInfo.Band = column.Band;
        hitInfo.Column = column.Column;
        break;
      }
    }
    return;
  }
  HitRows(layout, p, hitInfo);
}

TdxTreeListNode* TdxTreeListHitTester::GetNodeAt(int x, int y) {
  TdxTreeListHitInfo info;
  FControl.GetHitInfo(TPoint{x, y}, info);
  return info.Node;
}

bool TdxTreeListHitTester::ColumnsSizeBand() {
  return FControl.IsOptionsEx8() && !FControl.GetShowBands();
}

bool TdxTreeListHitTester::CanSizeBandNow(int band) {
  return FControl.GetOptionsEx().Contains(aoBandSizing) && FControl.CanSizeBand(band) && !ColumnsSizeBand();
}

// ---- Band row and header panel

bool TdxTreeListHitTester::HitPanelBorder(const TdxTreeListLayout& layout, const TRect& panel, const TRect& corner,
                                          bool sizable, TdxTreeListHitTest edgeCode, TdxTreeListHitTest cornerCode,
                                          const TPoint& p, TdxTreeListHitInfo& info) {
  if (sizable && OnPanelEdge(panel, corner, p)) {
    info.HitTest = edgeCode;
    return true;
  }
  if (PointInRect(corner, p)) {
    info.HitTest = cornerCode;
    return true;
  }
  if (layout.Bands.empty() || !InVertically(panel, p.y) || !RightOfEdge(p.x, panel.right))
    return false;
  HitPastLastBand(layout, info);
  return true;
}

int TdxTreeListHitTester::LastColumnOfBand(int band) {
  const int rows = FControl.GetBandRowCount(band);
  const int count = rows > 0 ? FControl.GetColumnCountInRow(band, rows - 1) : 0;
  return count > 0 ? FControl.GetColumnAt(band, rows - 1, count - 1) : -1;
}

bool TdxTreeListHitTester::HitBandRow(const TdxTreeListLayout& layout, const TPoint& p, TdxTreeListHitInfo& info) {
  const TRect& row = layout.BandRow;
  if (IsEmptyRect(row))
    return false;
  if (HitPanelBorder(layout, row, layout.BandIndicator, FControl.CanSizeBandPanel(), htBandPanelEdge, htBandIndicator, p,
                     info))
    return true;
  if (!PointInRect(row, p))
    return false;
  info.HitTest = htBandHeader;
  for (size_t i = 0; i < layout.Bands.size(); ++i) {
    const TdxTreeListBandEntry& band = layout.Bands[i];
    if (!PointInRect(band.Rect, p) || !PointInRect(band.ClippedRect, p)) {
      // The few pixels right of a band's edge size it too.
      if (CanSizeBandNow(band.Band) && RightOfEdge(p.x, band.Rect.right)) {
        info.Band = band.Band;
        info.HitTest = htBandEdge;
      }
      continue;
    }
    info.Band = band.Band;
    info.HitTest = htBandHeader;
    if (CanSizeBandNow(band.Band)) {
      const bool coversArea = band.Rect.left <= layout.ScrolledLeft && band.Rect.right > layout.ScrolledRight;
      if ((coversArea && LeftOfEdge(p.x, layout.ScrolledRight)) || LeftOfEdge(p.x, band.Rect.right))
        info.HitTest = htBandEdge;
    }
    if (info.HitTest != htBandEdge && i > 0) {
      const TdxTreeListBandEntry& previous = layout.Bands[i - 1];
      if (CanSizeBandNow(previous.Band) && RightOfEdge(p.x, previous.Rect.right)) {
        info.Band = previous.Band;
        info.HitTest = htBandEdge;
      }
    }
    return true;
  }
  return true;
}

void TdxTreeListHitTester::HitPastLastBand(const TdxTreeListLayout& layout, TdxTreeListHitInfo& info) {
  // Right of the last band: its edge, or with columns sizing their band, the edge of
  // its last column.
  const int band = layout.Bands.back().Band;
  if (!ColumnsSizeBand()) {
    if (CanSizeBandNow(band)) {
      info.Band = band;
      info.HitTest = htBandEdge;
    }
    return;
  }
  const int column = LastColumnOfBand(band);
  if (column >= 0 && FControl.CanColumnSizing(column)) {
    info.Band = band;
    info.Column = column;
    info.HitTest = htColumnEdge;
  }
}

bool TdxTreeListHitTester::HitHeaderPanel(const TdxTreeListLayout& layout, const TPoint& p, TdxTreeListHitInfo& info) {
  const TRect& panel = layout.HeaderPanel;
  if (IsEmptyRect(panel))
    return false;
  if (HitPanelBorder(layout, panel, layout.HeaderIndicator, FControl.CanSizeHeaderPanel(), htHeaderPanelEdge,
                     htHeaderIndicator, p, info))
    return true;
  if (!PointInRect(panel, p))
    return false;
  for (size_t i = 0; i < layout.Columns.size(); ++i) {
    const TdxTreeListColumnEntry& column = layout.Columns[i];
    if (!PointInRect(column.Rect, p) || !PointInRect(column.ClippedRect, p))
      continue;
    info.HitTest = htColumnHeader;
    info.Band = column.Band;
    info.Column = column.Column;
    const bool coversArea = column.Rect.left <= layout.ScrolledLeft && column.Rect.right > layout.ScrolledRight;
    if (LeftOfEdge(p.x, coversArea ? layout.ScrolledRight : column.Rect.right)) {
      // The last column's edge is its band's edge while columns do not size the band.
      if (column.LastInRow && !ColumnsSizeBand()) {
        if (CanSizeBandNow(column.Band))
          info.HitTest = htBandEdge;
      } else if (FControl.CanColumnSizing(column.Column)) {
        info.HitTest = htColumnEdge;
      }
      return true;
    }
    if (!column.FirstInRow) {
      // The left edge of a column sizes the column before it.
      const TdxTreeListColumnEntry& previous = layout.Columns[i - 1];
      if (RightOfEdge(p.x, previous.Rect.right) && FControl.CanColumnSizing(previous.Column)) {
        info.Column = previous.Column;
        info.HitTest = htColumnEdge;
      }
      return true;
    }
    // The left edge of a band other than the first sizes the band before it.
    const auto band = std::find_if(layout.Bands.begin(), layout.Bands.end(),
                                   [&](const TdxTreeListBandEntry& b) { return b.Band == column.Band; });
    if (band == layout.Bands.begin() || band == layout.Bands.end() || !RightOfEdge(p.x, column.Rect.left))
      return true;
    const int previousBand = std::prev(band)->Band;
    if (!ColumnsSizeBand()) {
      if (CanSizeBandNow(previousBand)) {
        info.Band = previousBand;
        info.HitTest = htBandEdge;
      }
      return true;
    }
    const int last = LastColumnOfBand(previousBand);
    if (last >= 0 && FControl.CanColumnSizing(last)) {
      info.Band = previousBand;
      info.Column = last;
      info.HitTest = htColumnEdge;
    }
    return true;
  }
  info.HitTest = htNowhere;  // below a short header or under a band without columns
  return true;
}

// ---- Indicator column and rows

bool TdxTreeListHitTester::HitIndicator(const TdxTreeListLayout& layout, const TPoint& p, TdxTreeListHitInfo& info) {
  const TRect& rows = layout.Rows;
  const auto& entries = layout.RowEntries;
  const int rowsEnd =
      entries.empty() ? rows.top : std::min<int>(entries.back().Top + entries.back().Height, rows.bottom);
  // Without an indicator the rows' own width is tested for row edges.
  const bool indicatorShown = FControl.GetMetrics().IndicatorWidth > 0;
  const TRect column = indicatorShown ? TRect{layout.Client.left, rows.top, rows.left, rowsEnd}
                                      : TRect{rows.left, rows.top, rows.right, rowsEnd};
  if (PointInRect(column, p)) {
    info.HitTest = htIndicator;
    for (size_t i = 0; i < entries.size(); ++i) {
      const TdxTreeListRowEntry& row = entries[i];
      if (p.y < row.Top || p.y >= row.Top + row.Height)
        continue;
      info.Row = static_cast<int32_t>(i);
      info.Node = row.Node;
      if (!FControl.CanSizeRows())
        break;
      if (i > 0 && p.y < row.Top + kSizingTolerance) {
        info.Row = static_cast<int32_t>(i - 1);
        info.Node = entries[i - 1].Node;
        info.HitTest = htRowEdge;
      } else if (LeftOfEdge(p.y, row.Top + row.Height)) {
        info.HitTest = htRowEdge;
      }
      break;
    }
    if (indicatorShown || info.HitTest == htRowEdge)
      return true;
    info.HitTest = htNowhere;
    info.Row = -1;
    info.Node = nullptr;
    return false;
  }
  if (p.x < column.left || p.x >= column.right || !RightOfEdge(p.y, column.bottom))
    return false;
  // Below the last row: its lower edge.
  if (!entries.empty() && FControl.CanSizeRows()) {
    info.Row = static_cast<int32_t>(entries.size() - 1);
    info.Node = entries.back().Node;
    info.HitTest = htRowEdge;
    return true;
  }
  if (!indicatorShown)
    return false;
  info.HitTest = htIndicator;
  return true;
}

void TdxTreeListHitTester::HitRows(const TdxTreeListLayout& layout, const TPoint& p, TdxTreeListHitInfo& info) {
  if (!PointInRect(layout.Rows, p))
    return;
  const TdxTreeListMetrics& m = FControl.GetMetrics();
  for (size_t i = 0; i < layout.RowEntries.size(); ++i) {
    const TdxTreeListRowEntry& row = layout.RowEntries[i];
    if (p.y < row.Top || p.y >= row.Top + row.Height)
      continue;
    info.Row = static_cast<int32_t>(i);
    info.Node = row.Node;
    info.HitTest = p.x <= layout.CellsRight ? htCell : htRowRight;
    if (!row.Node)
      return;
    // A footer line below the node.
    const int footerTop = row.Top + row.Height - row.FooterHeight;
    int footerLine = -1;
    if (p.y >= footerTop && m.NodeFooterHeight > 0) {
      footerLine = (p.y - footerTop) / m.NodeFooterHeight;
      info.SubIndex = footerLine;
      info.HitTest = htNodeFooter;
    } else {
      int levelWidth = 0;
      int fullWidth = 0;
      FControl.GetWidths().GetNodeIndent(row.Node, levelWidth, fullWidth);
      if (p.x < layout.TreeLeft + std::min<int>(fullWidth, layout.TreeAreaWidth)) {
        info.HitTest = HitNodePart(layout, row, p.x);
        return;
      }
    }
    if (info.HitTest == htCell && row.PreviewLineCount > 0) {
      const int bottom = row.Top + row.Height - layout.GridLineWidth - row.FooterHeight;
      if (p.y < bottom && p.y >= bottom - row.PreviewLineCount * m.PreviewLineHeight - 2) {
        info.HitTest = htPreview;
        return;
      }
    }
    if (info.HitTest != htCell && info.HitTest != htNodeFooter)
      return;
    for (const TdxTreeListColumnEntry& column : layout.Columns) {
      TRect cell = FControl.GetLayoutBuilder().CalcCellRect(layout, row, column);
      if (info.HitTest == htNodeFooter) {
        cell.top = footerTop + footerLine * m.NodeFooterHeight + m.FooterLineHeight * column.RowInBand;
        cell.bottom = cell.top + m.FooterLineHeight * column.LineCount;
      }
      if (PointInRect(cell, p)) {
        info.Band = column.Band;
        info.Column = column.Column;
        return;
      }
    }
    return;
  }
}

TdxTreeListHitTest TdxTreeListHitTester::HitNodePart(const TdxTreeListLayout& layout,
                                                     const TdxTreeListRowEntry& row, int x) {
  // The parts of a node's tree area, from the tree area's left edge: the indent, the
  // expand button, the state image and the image.
  struct TPart {
    int Left = 0;
    int Right = 0;
    bool Exists = false;
    bool Contains(int v) const { return Exists && v >= Left && v < Right; }
  };
  const TdxTreeListMetrics& m = FControl.GetMetrics();
  TdxTreeListNode* node = row.Node;
  const int indent = m.IndentWidth;
  const int level = node->GetLevel();
  const int shift = FControl.GetLayoutBuilder().IsRootShown() ? 0 : indent;
  // In the grid look a node without children has no level column of its own.
  const int imagesLeft = (level + 1) * indent - (!m.TreeLook && !node->GetHasChildren() ? indent : 0);

  TPart button{level * indent, (level + 1) * indent, node->GetHasChildren() && FControl.GetShowButtons()};
  TPart state{imagesLeft, imagesLeft + m.StateImageWidth, FControl.GetNodeStateIndex(node) != -1};
  const bool hasImage = FControl.GetNodeImageIndex(node) != -1 || FControl.GetNodeSelectedIndex(node) != -1;
  TPart image = state.Exists ? TPart{state.Right, state.Right + m.ImageWidth, hasImage}
                             : TPart{imagesLeft, imagesLeft + m.ImageWidth - 1, hasImage};
  for (TPart* part : {&button, &state, &image}) {
    part->Left -= shift;
    part->Right -= shift;
    if (part->Left >= layout.TreeAreaWidth)
      part->Exists = false;
    part->Right = std::min<int>(part->Right, layout.TreeAreaWidth);
  }
  int levelWidth = 0;
  int fullWidth = 0;
  FControl.GetWidths().GetNodeIndent(node, levelWidth, fullWidth);
  int indentRight = levelWidth;
  for (const TPart* part : {&button, &state, &image}) {
    if (part->Exists) {
      indentRight = part->Left;
      break;
    }
  }
  const int at = x - layout.TreeLeft;
  if (at < indentRight)
    return htIndent;
  if (button.Contains(at))
    return htButton;
  if (state.Contains(at))
    return htStateImage;
  if (image.Contains(at))
    return htNodeImage;
  return htNowhere;
}
