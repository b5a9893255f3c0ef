#include "treelist/DxTreeListPlacement.h"

#include <utility>

#include "classlib/FlagScope.h"
#include "treelist/DxTreeListControl.h"

void TdxTreeListPlacement::Drop() {
  FVisibleBandMap.clear();
  FBandVisibleMap.clear();
  FColumnGrid.clear();
  FColumnWidths.clear();
}

void TdxTreeListPlacement::Build() {
  Drop();
  {
    const TFlagScope building(FBuildingBandMaps);
    std::vector<int> visibleBands;
    std::vector<int> bandVisible(static_cast<size_t>(FControl.GetBands()->GetCount()), -1);
    for (int i = 0; i < FControl.GetBands()->GetCount(); ++i) {
      if (!FControl.GetBands()->GetItem(i)->GetVisible())
        continue;
      bandVisible[static_cast<size_t>(i)] = static_cast<int>(visibleBands.size());
      visibleBands.push_back(i);
    }
    FVisibleBandMap = std::move(visibleBands);
    FBandVisibleMap = std::move(bandVisible);
  }
  const TFlagScope building(FBuildingGrid);
  std::vector<std::vector<std::vector<int>>> grid(
      FVisibleBandMap.size(),
      std::vector<std::vector<int>>(static_cast<size_t>(FControl.GetHeaderPanelRowCountSetting())));
  for (int i = 0; i < FControl.GetColumnCount(); ++i) {
    TdxTreeListColumn* column = FControl.ColumnAt(i);
    column->SetCachedIndex(i);
    if (!FControl.IsColumnShown(column))
      continue;
    const int band = FBandVisibleMap[static_cast<size_t>(column->GetBandIndex())];
    grid[static_cast<size_t>(band)][static_cast<size_t>(column->GetRowIndex())].push_back(i);
  }
  FColumnGrid = std::move(grid);
}

void TdxTreeListPlacement::BuildColumnWidths() {
  const TFlagScope building(FBuildingColumnWidths);
  std::vector<int> widths(static_cast<size_t>(FControl.GetColumnCount()), 0);
  // The base's width of each column, not the cached one.
  for (int i = 0; i < FControl.GetColumnCount(); ++i)
    widths[static_cast<size_t>(i)] = FControl.GetWidths().GetColumnDisplayWidth(i);
  FColumnWidths = std::move(widths);
  FColumnWidthsClientWidth = FControl.GetClientWidth();
}

bool TdxTreeListPlacement::CachedColumnWidth(int32_t column, int32_t& width) {
  if (FBuildingColumnWidths)
    return false;
  const bool stale = FColumnWidths.size() != static_cast<size_t>(FControl.GetColumnCount()) ||
                     FColumnWidthsClientWidth != FControl.GetClientWidth();
  // Stale widths are built again only while the control is settled; a build leaves them
  // valid for the present columns and client width.
  if (stale) {
    if (FControl.IsLocked() || FControl.IsLoading() || FControl.IsDestroying())
      return false;
    BuildColumnWidths();
  }
  if (column < 0 || static_cast<size_t>(column) >= FColumnWidths.size())
    return false;
  width = FColumnWidths[static_cast<size_t>(column)];
  return true;
}
