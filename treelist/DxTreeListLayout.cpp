// The layout record's lookups, and the triggers of the metrics pass: the recomputation of
// the metrics and rows, and a change of the control's font.
#include "treelist/DxTreeList.h"

// ---- The layout record's lookups

const TdxTreeListColumnEntry* TdxTreeListLayout::FindColumn(int32_t column) const {
  for (const TdxTreeListColumnEntry& entry : Columns) {
    if (entry.Column == column)
      return &entry;
  }
  return nullptr;
}

const TdxTreeListBandEntry* TdxTreeListLayout::FindBand(int32_t band) const {
  for (const TdxTreeListBandEntry& entry : Bands) {
    if (entry.Band == band)
      return &entry;
  }
  return nullptr;
}

const TdxTreeListRowEntry* TdxTreeListLayout::FindRow(const TdxTreeListNode* node) const {
  for (const TdxTreeListRowEntry& entry : RowEntries) {
    if (entry.Node == node)
      return &entry;
  }
  return nullptr;
}

// ---- Metrics

void TCustomdxTreeList::RecalcMetrics() {
  if (IsLoading() || IsDestroying())
    return;
  GetLayoutBuilder().CalcMetrics();
  LayoutChanged();
  RebuildRows();
  NodesChanged();
  if (!GetRows().GetRowsBuilt())
    RebuildRows();
}

void TCustomdxTreeList::FontChanged(TObject* sender) {
  inherited::FontChanged(sender);
  UpdateGuarded();
}
