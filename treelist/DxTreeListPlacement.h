// TdxTreeListPlacement: the placement caches of the column-bound control: the visible <->
// absolute band maps, the columns of every visible band's header rows, and the columns'
// display widths with the client width they were computed for. Built with the rows and
// dropped by every change of the layout; while a cache is empty or being built it answers
// nothing, and the control's queries compute their answers directly (with the same
// result). A part of TCustomdxTreeListControl; it reads the bands and columns through the
// control.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/Object.h"

class TCustomdxTreeListControl;

class TdxTreeListPlacement : public TObject {
  KIVO_CLASS(TdxTreeListPlacement, TObject)
 public:
  explicit TdxTreeListPlacement(TCustomdxTreeListControl& control) : FControl(control) {}
  TdxTreeListPlacement(const TdxTreeListPlacement&) = delete;
  TdxTreeListPlacement& operator=(const TdxTreeListPlacement&) = delete;

  // Every cache emptied.
  void Drop();
  // Every cache built again from the bands and columns (and each column's list position
  // remembered).
  void Build();
  void BuildColumnWidths();
  // The column widths emptied (the band maps and the column grid stay).
  void ClearWidths() { FColumnWidths.clear(); }

  // The band maps when they are valid (used by the band collection).
  bool HasBandMaps() const { return !FBuildingBandMaps && !FVisibleBandMap.empty(); }
  const std::vector<int>& GetVisibleBandMap() const { return FVisibleBandMap; }
  const std::vector<int>& GetBandVisibleMap() const { return FBandVisibleMap; }
  // The header rows of visible band `band` (each the column indices from left to right),
  // none while the grid is being built or holds no such band.
  const std::vector<std::vector<int>>* GetBandRows(int32_t band) const {
    if (!FBuildingGrid && band >= 0 && band < static_cast<int>(FColumnGrid.size()))
      return &FColumnGrid[static_cast<size_t>(band)];
    return nullptr;
  }
  // The cached display width of `column` into `width` (the widths built first when they
  // are stale and the control is settled); false when there is none.
  bool CachedColumnWidth(int32_t column, int32_t& width);

 private:
  TCustomdxTreeListControl& FControl;
  std::vector<int> FVisibleBandMap;
  std::vector<int> FBandVisibleMap;
  bool FBuildingBandMaps = false;
  // Per visible band, per header row, the column indices from left to right.
  std::vector<std::vector<std::vector<int>>> FColumnGrid;
  bool FBuildingGrid = false;
  std::vector<int> FColumnWidths;
  // The client width the column widths were computed for.
  int FColumnWidthsClientWidth = -1;
  bool FBuildingColumnWidths = false;
};
