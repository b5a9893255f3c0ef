// Bands and their collection: settings, fixed sides, moving with the columns, and the
// notification of the control.
#include "treelist/DxTreeListBands.h"

#include <algorithm>

#include "classlib/PublishedProperties.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListStoredLimits.h"

// ---- TdxTreeListBand ----------------------------------------------------------------

TdxTreeListBand::TdxTreeListBand(TCollection* collection) : TCollectionItem(collection) {}

TdxTreeListBand::~TdxTreeListBand() {
  TCustomdxTreeListControl* control = GetTreeList();
  if (!control || control->IsDestroying() || control->IsLoading() ||
      control->GetComponentState().Contains(csUpdating))
    return;
  const int index = GetIndex();
  if (index < 0)
    return;
  for (int i = 0; i < control->GetColumnCount(); ++i) {
    TdxTreeListColumn* column = control->GetColumn(i);
    if (column->GetBandIndex() == index)
      column->WriteBandIndex(-1);
    else if (column->GetBandIndex() > index)
      column->WriteBandIndex(column->GetBandIndex() - 1);
  }
}

TCustomdxTreeListControl* TdxTreeListBand::GetTreeList() const {
  auto* bands = ObjectAs<TdxTreeListBands>(GetCollection());
  return bands ? bands->GetControl() : nullptr;
}

int TdxTreeListBand::GetVisibleIndex() const {
  auto* bands = ObjectAs<TdxTreeListBands>(GetCollection());
  return bands ? bands->GetVisibleIndex(GetIndex()) : -1;
}

int TdxTreeListBand::GetRowCount() const {
  TCustomdxTreeListControl* control = GetTreeList();
  const int band = GetVisibleIndex();
  return control && band >= 0 ? control->GetBandRowCount(band) : 0;
}

int TdxTreeListBand::GetColumnCountInRow(int row) const {
  TCustomdxTreeListControl* control = GetTreeList();
  const int band = GetVisibleIndex();
  return control && band >= 0 ? control->GetColumnCountInRow(band, row) : 0;
}

int TdxTreeListBand::GetColumnAt(int row, int position) const {
  TCustomdxTreeListControl* control = GetTreeList();
  const int band = GetVisibleIndex();
  return control && band >= 0 ? control->GetColumnAt(band, row, position) : -1;
}

void TdxTreeListBand::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListBand>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  const TUpdateScope update(other->GetCollection());
  RestoreDefaults();
  SetAlignment(other->FAlignment);
  SetCaption(other->FCaption);
  SetFixed(other->FFixed);
  SetMinWidth(other->FMinWidth);
  SetOnlyOwnColumns(other->FOnlyOwnColumns);
  SetSizing(other->FSizing);
  SetVisible(other->FVisible);
  SetWidth(other->FWidth);
}

void TdxTreeListBand::RestoreDefaults() {
  FAlignment = taCenter;
  FFixed = bfNone;
  FMinWidth = 30;
  FOnlyOwnColumns = false;
  FSizing = true;
  FWidth = 250;
  Changed(/*allItems=*/true);
}

void TdxTreeListBand::SetIndex(int newIndex) {
  TCollection* collection = GetCollection();
  const int old = GetIndex();
  if (!collection || old < 0)
    return;
  newIndex = std::clamp(newIndex, 0, collection->GetCount() - 1);
  if (FFixed != bfNone || newIndex == old)
    return;
  if (TCustomdxTreeListControl* control = GetTreeList()) {
    // The columns follow their band: the moved band's are parked at -2 while the bands
    // between the two places shift one place toward the old one.
    const int count = control->GetColumnCount();
    for (int i = 0; i < count; ++i) {
      TdxTreeListColumn* column = control->GetColumn(i);
      if (column->GetBandIndex() == old)
        column->WriteBandIndex(-2);
    }
    const int step = newIndex > old ? 1 : -1;
    for (int band = old + step; band != newIndex + step; band += step) {
      for (int i = 0; i < count; ++i) {
        TdxTreeListColumn* column = control->GetColumn(i);
        if (column->GetBandIndex() == band)
          column->WriteBandIndex(band - step);
      }
    }
    for (int i = 0; i < count; ++i) {
      TdxTreeListColumn* column = control->GetColumn(i);
      if (column->GetBandIndex() == -2)
        column->WriteBandIndex(newIndex);
    }
  }
  inherited::SetIndex(newIndex);
}

void TdxTreeListBand::PublishProperties() {
  using C = TdxTreeListBand;
  RegisterPublishedProperties(
      StaticClass(),
      {OrdinalProperty<&C::GetAlignment, &C::SetAlignment>("Alignment", taCenter),
       StringProperty<&C::GetCaption, &C::SetCaption>("Caption"),
       OrdinalProperty<&C::GetDisableCustomizing, &C::SetDisableCustomizing>("DisableCustomizing", false),
       OrdinalProperty<&C::GetDisableDragging, &C::SetDisableDragging>("DisableDragging", false),
       OrdinalProperty<&C::GetFixed, &C::SetFixed>("Fixed", bfNone),
       StoredSizeProperty<&C::GetMinWidth, &C::SetMinWidth>("MinWidth", 30),
       OrdinalProperty<&C::GetOnlyOwnColumns, &C::SetOnlyOwnColumns>("OnlyOwnColumns", false),
       OrdinalProperty<&C::GetSizing, &C::SetSizing>("Sizing", true),
       OrdinalProperty<&C::GetVisible, &C::SetVisible>("Visible", true),
       StoredSizeProperty<&C::GetWidth, &C::SetWidth>("Width", 250)});
}

// ---- Settings

void TdxTreeListBand::SetVisible(bool value) {
  if (value == FVisible)
    return;
  FVisible = value;
  if (!value)
    FFixed = bfNone;
  Changed(/*allItems=*/true);
}

void TdxTreeListBand::SetMinWidth(int value) {
  value = std::max(value, 0);
  if (value == FMinWidth)
    return;
  FMinWidth = value;
  SetWidth(FWidth);
}

void TdxTreeListBand::SetWidth(int value) {
  value = std::max(value, FMinWidth);
  TCustomdxTreeListControl* control = GetTreeList();
  if (value == FWidth && !(control && control->IsColumnAutoWidth()))
    return;
  FWidth = value;
  Changed(/*allItems=*/true);
}

void TdxTreeListBand::SetFixed(TdxGridBandFixed value) {
  if (value == FFixed)
    return;
  FFixed = bfNone;
  if (auto* bands = ObjectAs<TdxTreeListBands>(GetCollection()); bands && value != bfNone) {
    for (int i = 0; i < bands->GetCount(); ++i) {
      if (bands->GetItem(i)->FFixed == value)
        bands->GetItem(i)->FFixed = bfNone;
    }
    SetIndex(value == bfLeft ? 0 : bands->GetCount() - 1);
  }
  if (FVisible)
    FFixed = value;
  Changed(/*allItems=*/false);
}

// ---- TdxTreeListBands ---------------------------------------------------------------

TdxTreeListBands::TdxTreeListBands(TCustomdxTreeListControl* control, TCollectionItemClass itemClass)
    : TCollection(itemClass), FControl(control) {}

TPersistent* TdxTreeListBands::GetOwner() const { return FControl; }

int TdxTreeListBands::GetVisibleCount() const {
  if (FControl && FControl->GetPlacement().HasBandMaps())
    return static_cast<int>(FControl->GetPlacement().GetVisibleBandMap().size());
  int count = 0;
  for (int i = 0; i < GetCount(); ++i) {
    if (GetItem(i)->GetVisible())
      ++count;
  }
  return count;
}

TdxTreeListBand* TdxTreeListBands::GetVisibleItem(int index) const {
  const int absolute = GetAbsoluteIndex(index);
  return absolute >= 0 ? GetItem(absolute) : nullptr;
}

int TdxTreeListBands::GetAbsoluteIndex(int visibleIndex) const {
  if (visibleIndex < 0)
    return -1;
  if (FControl && FControl->GetPlacement().HasBandMaps()) {
    const std::vector<int>& map = FControl->GetPlacement().GetVisibleBandMap();
    return visibleIndex < static_cast<int>(map.size()) ? map[visibleIndex] : -1;
  }
  for (int i = 0; i < GetCount(); ++i) {
    if (GetItem(i)->GetVisible() && visibleIndex-- == 0)
      return i;
  }
  return -1;
}

int TdxTreeListBands::GetVisibleIndex(int absoluteIndex) const {
  if (absoluteIndex < 0 || absoluteIndex >= GetCount())
    return -1;
  if (FControl && FControl->GetPlacement().HasBandMaps()) {
    const std::vector<int>& map = FControl->GetPlacement().GetBandVisibleMap();
    return absoluteIndex < static_cast<int>(map.size()) ? map[absoluteIndex] : -1;
  }
  if (!GetItem(absoluteIndex)->GetVisible())
    return -1;
  int visible = 0;
  for (int i = 0; i < absoluteIndex; ++i) {
    if (GetItem(i)->GetVisible())
      ++visible;
  }
  return visible;
}

void TdxTreeListBands::Update(TCollectionItem* item) {
  if (!FControl)
    return;
  FControl->GetPlacement().Drop();
  if (GetCount() != 1)
    FControl->EndDefaultLayout();
  if (FControl->IsLoading() || FControl->IsDestroying())
    return;
  FControl->LayoutChanged();
  CheckFixedBands();
  FControl->RefreshBands();
}

void TdxTreeListBands::CheckFixedBands() {
  TdxTreeListBand* firstLeft = nullptr;
  TdxTreeListBand* firstRight = nullptr;
  bool wrong = false;
  const int visibleCount = GetVisibleCount();
  for (int i = 0; i < GetCount(); ++i) {
    TdxTreeListBand* band = GetItem(i);
    if (band->GetFixed() == bfLeft) {
      wrong = wrong || firstLeft || band->GetVisibleIndex() != 0;
      if (!firstLeft)
        firstLeft = band;
    } else if (band->GetFixed() == bfRight) {
      wrong = wrong || firstRight || band->GetVisibleIndex() != visibleCount - 1;
      if (!firstRight)
        firstRight = band;
    }
  }
  if (!wrong)
    return;
  for (int i = 0; i < GetCount(); ++i)
    GetItem(i)->WriteFixed(bfNone);
  TdxTreeListUpdateScope update(FControl);
  if (firstLeft)
    firstLeft->SetFixed(bfLeft);
  if (firstRight)
    firstRight->SetFixed(bfRight);
}
